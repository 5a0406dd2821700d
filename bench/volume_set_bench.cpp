// Speed of the block set operations (union, difference, intersection) on a
// k x k grid of L-shapes against a k x k grid of boxes that each overlap two
// L-shapes, beside their first forms (kept in tests/volume/SetLiteral.h),
// which give the same lists; and on the same grids with surveyed corners.

#include <benchmark/benchmark.h>

#include <vector>

#include "CKelBlockCubeArray.h"
#include "SetLiteral.h"

namespace {

using Ring = std::vector<CKelCoord2D>;

CKelBlockCube BlockOf(const Ring& ring)
{
  CKelBlockCube b;
  for (const CKelCoord2D& p : ring)
    b.Append(CKelBlockCoord(p.m_x, p.m_y, 3, 0));
  b.GetPlaneEquation(false);
  b.GetPlaneEquation(true);
  b.SetMinMax();
  b.SetType();
  return b;
}

// A block's offset from the exact grid in millimetres, up to `range`, the
// same on every run: surveyed corners seldom lie on binary fractions, so
// the frames of the cutting lines move them by round-off, and no two
// blocks share an edge line.
double Offset(bool surveyed, int i, int j, int a, int b, int range)
{
  return surveyed ? 0.001 * ((i * a + j * b) % range) : 0.0;
}

CKelBlockCubeArray Ells(int k, bool surveyed)
{
  CKelBlockCubeArray list;
  for (int j = 0; j < k; ++j)
    for (int i = 0; i < k; ++i) {
      const double x = 4.0 * i + Offset(surveyed, i, j, 7919, 104729, 97);
      const double y = 4.0 * j + Offset(surveyed, i, j, 6271, 3989, 89);
      list.AddBlock(BlockOf({{x, y}, {x + 3, y}, {x + 3, y + 1.5}, {x + 1.5, y + 1.5}, {x + 1.5, y + 3}, {x, y + 3}}));
    }
  return list;
}

CKelBlockCubeArray Boxes(int k, bool surveyed)
{
  CKelBlockCubeArray list;
  for (int j = 0; j < k; ++j)
    for (int i = 0; i < k; ++i) {
      const double x = 4.0 * i + 2 + Offset(surveyed, i, j, 1237, 5557, 83);
      const double y = 4.0 * j + 1 + Offset(surveyed, i, j, 331, 7717, 79);
      list.AddBlock(BlockOf({{x, y}, {x + 3, y}, {x + 3, y + 2.5}, {x, y + 2.5}}));
    }
  return list;
}

enum class Op { Union, Difference, Intersection };

CKelBlockCubeArray Apply(Op op, bool first, const CKelBlockCubeArray& a, const CKelBlockCubeArray& b)
{
  if (first)
    return op == Op::Union        ? set_literal::Add(a, nullptr, b)
           : op == Op::Difference ? set_literal::Sub(a, nullptr, b)
                                  : set_literal::And(a, nullptr, b);
  return op == Op::Union ? a.AddBlock(nullptr, b) : op == Op::Difference ? a.SubBlock(nullptr, b) : a.AndBlock(nullptr, b);
}

void RunSet(benchmark::State& state, Op op, bool first, bool surveyed = false)
{
  const int k = static_cast<int>(state.range(0));
  const CKelBlockCubeArray a = Ells(k, surveyed);
  const CKelBlockCubeArray b = Boxes(k, surveyed);
  std::size_t pieces = 0;
  for (auto _ : state) {
    const CKelBlockCubeArray result = Apply(op, first, a, b);
    pieces = result.size();
    benchmark::DoNotOptimize(result.data());
  }
  state.counters["blocks"] = static_cast<double>(a.size() + b.size());
  state.counters["pieces"] = static_cast<double>(pieces);
}

void BM_Union(benchmark::State& state) { RunSet(state, Op::Union, false); }
void BM_Difference(benchmark::State& state) { RunSet(state, Op::Difference, false); }
void BM_Intersection(benchmark::State& state) { RunSet(state, Op::Intersection, false); }
void BM_UnionFirstForm(benchmark::State& state) { RunSet(state, Op::Union, true); }
void BM_DifferenceFirstForm(benchmark::State& state) { RunSet(state, Op::Difference, true); }
void BM_IntersectionFirstForm(benchmark::State& state) { RunSet(state, Op::Intersection, true); }
void BM_UnionSurveyed(benchmark::State& state) { RunSet(state, Op::Union, false, true); }
void BM_DifferenceSurveyed(benchmark::State& state) { RunSet(state, Op::Difference, false, true); }
void BM_IntersectionSurveyed(benchmark::State& state) { RunSet(state, Op::Intersection, false, true); }

}  // namespace

BENCHMARK(BM_Union)->Arg(4)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnionFirstForm)->Arg(4)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Difference)->Arg(4)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DifferenceFirstForm)->Arg(4)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Intersection)->Arg(4)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IntersectionFirstForm)->Arg(4)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnionSurveyed)->Arg(4)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DifferenceSurveyed)->Arg(4)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IntersectionSurveyed)->Arg(4)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
