#include "CSphereRatioBlock.h"

#include <gtest/gtest.h>

#include "SkyBlocks.h"

namespace {

using sky_test::Blocks;
using sky_test::Box;

double Ratio(const CKelBlockCubeArray& blocks, int step, bool sansya = false, int nRound = -1, bool side2 = false,
             int* code = nullptr)
{
  CSphereRatioBlock r;
  r.m_AngleStep = step;
  r.m_bSide2 = side2;
  double ratio = -2;
  const int c = r.CalcSphereRatio(nullptr, nRound, 0, false, blocks, CKelCoord3D(0, 0, 0), &ratio, sansya);
  if (code != nullptr)
    *code = c;
  return ratio;
}

TEST(CSphereRatioBlockTest, Scratch)
{
  const CKelBlockCubeArray g2 = Blocks({Box(-5, 5, 10, 20, 20)});
  const CKelBlockCubeArray g3 = Blocks({Box(-50, 50, 10, 15, 10)});
  const CKelBlockCubeArray g4 = Blocks({Box(10, 20, 10, 20, 15)});
  const CKelBlockCubeArray g6 = Blocks({Box(-1000, 1000, 0.5, 1000, 1e5)});
  const CKelBlockCubeArray g7 = Blocks({Box(-5, 5, 10, 20, 20, 10)});
  for (const auto* g : {&g2, &g3, &g4, &g6, &g7}) {
    for (int step : {10, 1}) {
      int c1 = 0, c2 = 0, c3 = 0;
      const double a = Ratio(*g, step, false, -1, false, &c1);
      const double b = Ratio(*g, step, true, -1, false, &c2);
      const double d = Ratio(*g, step, true, -1, true, &c3);
      printf("step %d outline %.9f (%d) sector %.9f (%d) side2 %.9f (%d)\n", step, a, c1, b, c2, d, c3);
    }
  }
}

}  // namespace
