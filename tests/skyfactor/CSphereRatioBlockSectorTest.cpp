// The sector method's groups, projected faces and ratios against the forms
// first written (SectorLiteral.h), bit for bit, on random scenes.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "CSphereA.h"
#include "CSphereRatioBlock.h"
#include "SectorLiteral.h"
#include "SkyBlocks.h"
#include "SkyScene.h"

namespace {

using sky_test::Box;

struct Random {
  std::mt19937_64 rng;
  explicit Random(std::uint64_t seed) : rng(seed) {}
  double U() { return static_cast<double>(rng() >> 11) * 0x1.0p-53; }
  double In(double lo, double hi) { return lo + (hi - lo) * U(); }
};

// Every field the sweep and the projection read or write, compared exactly.
std::string BlockDiff(const CKelBlockCube& a, const CKelBlockCube& b)
{
  if (!(a == b) || a.m_Work != b.m_Work || a.m_No != b.m_No || a.m_Coord.size() != b.m_Coord.size())
    return "block";
  const double boxA[] = {a.XMin(), a.XMax(), a.YMin(), a.YMax(), a.Menseki()};
  const double boxB[] = {b.XMin(), b.XMax(), b.YMin(), b.YMax(), b.Menseki()};
  for (int k = 0; k < 5; ++k) {
    if (boxA[k] != boxB[k])
      return "extents";
  }
  for (bool bottom : {false, true}) {
    if (a.PlaneA(bottom) != b.PlaneA(bottom) || a.PlaneB(bottom) != b.PlaneB(bottom) ||
        a.PlaneC(bottom) != b.PlaneC(bottom) || a.PlaneD(bottom) != b.PlaneD(bottom))
      return "plane";
  }
  for (std::size_t k = 0; k < a.m_Coord.size(); ++k) {
    const CKelBlockCoord& u = a.m_Coord[k];
    const CKelBlockCoord& v = b.m_Coord[k];
    if (u.m_x != v.m_x || u.m_y != v.m_y || u.m_z != v.m_z || u.m_zL != v.m_zL || u.m_OffL != v.m_OffL ||
        u.m_OffH != v.m_OffH || u.m_FlrL != v.m_FlrL || u.m_FlrH != v.m_FlrH)
      return "vertex " + std::to_string(k);
  }
  return "";
}

bool SamePoint(const CSphereCoordD2D& a, const CSphereCoordD2D& b)
{
  return a.m_AD == b.m_AD && a.m_AE == b.m_AE && a.m_Pos.m_x == b.m_Pos.m_x && a.m_Pos.m_y == b.m_Pos.m_y &&
         a.m_Tag == b.m_Tag && a.m_PntKind == b.m_PntKind && a.m_Coord3D.m_x == b.m_Coord3D.m_x &&
         a.m_Coord3D.m_y == b.m_Coord3D.m_y && a.m_Coord3D.m_z == b.m_Coord3D.m_z;
}

// Random scenes, the benchmark's grid with its slopes, L and floating block,
// and blocks standing right on a sector line through the check point.
std::vector<CKelBlockCubeArray> Scenes()
{
  std::vector<CKelBlockCubeArray> scenes;
  for (std::uint64_t seed = 1; seed <= 6; ++seed)
    scenes.push_back(sky_test::RandomScene(seed).blocks);
  scenes.push_back(sky_test::SceneBlocks(12));
  CKelBlockCubeArray onLines;
  onLines.AddBlock(Box(0, 8, 3, 9, 12));
  onLines.AddBlock(Box(-6, -2, -9, -3, 20, 4));
  onLines.AddBlock(Box(2, 5, -12, 0, 7, 0, 0.7853981633974483));
  scenes.push_back(onLines);
  // Sloped tops that check points at their height cut into pieces.
  CKelBlockCubeArray slopes;
  for (int k = 0; k < 6; ++k)
    slopes.AddBlock(sky_test::SlopedBlock(-12 + 4 * k, 2 + k, 3, 5, 4 + k));
  slopes.AddBlock(sky_test::LBlock(4, -9, 6, 6, 5));
  scenes.push_back(slopes);
  return scenes;
}

TEST(CSphereRatioBlockSector, GroupsAsTheSweepFirstWritten)
{
  Random r(5);
  int groups = 0, pieces = 0;
  for (const CKelBlockCubeArray& blocks : Scenes()) {
    for (int step : {1, 3, 10, 45, 90, 180}) {
      for (int trial = 0; trial < 2; ++trial) {
        // At the origin rays run along the blocks' sides in the last scene.
        // Braced: the draws come in order whatever the compiler.
        const CKelCoord3D chk = trial == 0 ? CKelCoord3D(0, 0, 0) : CKelCoord3D{r.In(-8, 8), r.In(-14, -4), 0};
        const double angle = trial == 0 ? 0 : r.In(0, 6.283185307179586);
        const std::vector<CKelBlockCubeArray> expected = sector_literal::DivideBlock(blocks, chk, angle, step);
        const std::vector<CKelBlockCubeArray> got = CSphereRatioBlock::DivideBlock(blocks, &chk, angle, step);
        ASSERT_EQ(expected.size(), got.size()) << step;
        for (std::size_t g = 0; g < got.size(); ++g) {
          ASSERT_EQ(expected[g].size(), got[g].size()) << "step " << step << " group " << g;
          for (std::size_t k = 0; k < got[g].size(); ++k)
            ASSERT_EQ("", BlockDiff(expected[g][k], got[g][k])) << "step " << step << " group " << g << " " << k;
          pieces += static_cast<int>(got[g].size());
        }
        groups += static_cast<int>(got.size());
      }
    }
  }
  EXPECT_GT(groups, 5000);
  EXPECT_GT(pieces, 3000);
}

TEST(CSphereRatioBlockSector, ProjectedPiecesAsFirstWritten)
{
  Random r(9);
  int faces = 0;
  for (const CKelBlockCubeArray& blocks : Scenes()) {
    for (int step : {1, 5, 10}) {
      CSphereA sphere;
      const CKelCoord3D chk{r.In(-8, 8), r.In(-14, -4), r.In(-1, 8)};
      sphere.SetChkPnt(&chk, r.In(0, 6.283185307179586));
      sphere.m_AngleStep = step;
      sphere.m_Kind = 1;
      for (const CKelBlockCube& block : blocks) {
        for (int which : {-1, 0, 1, 2}) {
          for (bool expand0 : {false, true}) {
            const auto expected = sector_literal::GetSpherePieces(sphere, block, which, expand0);
            const auto got = sphere.GetSpherePieces(block, which, expand0);
            ASSERT_EQ(expected.size(), got.size());
            for (std::size_t p = 0; p < got.size(); ++p) {
              ASSERT_EQ(expected[p].size(), got[p].size());
              for (std::size_t f = 0; f < got[p].size(); ++f) {
                ASSERT_EQ(expected[p][f].size(), got[p][f].size());
                for (std::size_t k = 0; k < got[p][f].size(); ++k)
                  ASSERT_TRUE(SamePoint(expected[p][f][k], got[p][f][k])) << which << " " << expand0 << " " << k;
                ++faces;
              }
            }
          }
        }
      }
    }
  }
  EXPECT_GT(faces, 2000);
}

// The whole sector method against its steps as first written: the same
// ratio, bit for bit, or the same failure, over expansion kinds in and after
// the projection, both sides, and every rounding.
TEST(CSphereRatioBlockSector, RatiosAsFirstWritten)
{
  struct Method {
    int step;
    int kind;
    bool inProjection;
    bool side2;
  };
  constexpr Method kMethods[] = {{1, 2, true, false}, {3, 0, true, false}, {5, 1, false, false},
                                 {10, 2, true, true},  {6, 0, true, true},  {15, 0, false, false}};
  Random r(29);
  const std::vector<CKelBlockCubeArray> scenes = Scenes();
  int ratios = 0;
  for (std::size_t s = 0; s < scenes.size(); ++s) {
    for (const Method& m : kMethods) {
      const CKelCoord3D chk{r.In(-8, 8), r.In(-14, -4), r.In(0, 2)};
      const double angle = r.In(0, 6.283185307179586);
      const int nRound = static_cast<int>(r.rng() % 3) - 1;
      CSphereRatioBlock settings;
      settings.m_AngleStep = m.step;
      settings.m_ExpandKind = m.kind;
      settings.m_bExpandInProjection = m.inProjection;
      settings.m_bSide2 = m.side2;
      const double expected = sector_literal::SectorRatio(settings, nRound, angle, false, scenes[s], chk);
      CSphereRatioBlock got = settings;
      double ratio = -2;
      const int code = got.CalcSphereRatio(nullptr, nRound, angle, false, scenes[s], chk, &ratio, true);
      EXPECT_EQ(expected, code == 0 ? ratio : -100.0 - code) << "scene " << s << " step " << m.step;
      ratios += code == 0;
    }
  }
  EXPECT_GT(ratios, 40);
}

}  // namespace
