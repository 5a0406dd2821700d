// The triangle division of sky outlines: stars, a comb and the outline of a
// long wall, against the step-by-step reference on the smaller sizes.

#include <benchmark/benchmark.h>

#include <random>

#include "CDividTriangle.h"
#include "DividTriangleLiteral.h"
#include "SkyOutlines.h"

namespace {

std::vector<CKelCoord2D> StarOf(int n)
{
  std::mt19937 rng(static_cast<unsigned>(n));
  return sky_test::Star(rng, n, 0.02, -0.01, 0.3, 0.9, false);
}

std::vector<CKelCoord2D> CombOf(int n)
{
  std::mt19937 rng(5);
  return sky_test::Comb(rng, n / 4, -0.6, -0.2);
}

void Divide(benchmark::State& state, const std::vector<CKelCoord2D>& pts)
{
  const CSphereCoordD2DArray outline = sky_test::Projected(pts);
  for (auto _ : state) {
    CDividTriangle d(&outline);
    benchmark::DoNotOptimize(d.Do(-1));
    benchmark::DoNotOptimize(d.GetSize());
  }
}

void Reference(benchmark::State& state, const std::vector<CKelCoord2D>& pts)
{
  for (auto _ : state) {
    literal::DividTriangle d(pts);
    benchmark::DoNotOptimize(d.Do(-1));
  }
}

void BM_DivideStar(benchmark::State& state) { Divide(state, StarOf(static_cast<int>(state.range(0)))); }
void BM_DivideComb(benchmark::State& state) { Divide(state, CombOf(static_cast<int>(state.range(0)))); }
void BM_DivideWall(benchmark::State& state) { Divide(state, sky_test::WallOutline(static_cast<int>(state.range(0)))); }
void BM_ReferenceStar(benchmark::State& state) { Reference(state, StarOf(static_cast<int>(state.range(0)))); }

BENCHMARK(BM_DivideStar)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DivideComb)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DivideWall)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceStar)->Arg(10)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
