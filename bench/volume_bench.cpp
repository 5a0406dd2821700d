// Speed of the block division by a line and of the cut into convex pieces,
// on stars (one chord) and combs whose every tooth the line crosses.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "CKelBlockCube.h"
#include "DivideLiteral.h"

namespace {

CKelBlockCube BlockOver(const std::vector<CKelCoord2D>& plan)
{
  CKelBlockCube block;
  for (const CKelCoord2D& p : plan)
    block.Append(CKelBlockCoord(p.m_x, p.m_y, 10, 0));
  block.SetMinMax();
  block.SetType();
  block.GetPlaneEquation(false);
  block.GetPlaneEquation(true);
  return block;
}

CKelBlockCube Star(int n)
{
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> radius(1.0, 10.0);
  std::vector<CKelCoord2D> plan;
  for (int i = 0; i < n; ++i) {
    const double angle = (i + 0.5) * 6.283185307179586 / n;
    const double r = radius(rng);
    plan.emplace_back(r * std::cos(angle), r * std::sin(angle));
  }
  return BlockOver(plan);
}

// n / 4 teeth of height 10 over a base of height 1.
CKelBlockCube Comb(int n)
{
  const int teeth = std::max(1, n / 4);
  std::vector<CKelCoord2D> plan{{0, -1}, {2.0 * teeth - 1, -1}};
  for (int t = teeth - 1; t >= 0; --t) {
    plan.emplace_back(2.0 * t + 1, 10);
    plan.emplace_back(2.0 * t, 10);
    if (t > 0) {
      plan.emplace_back(2.0 * t, 0);
      plan.emplace_back(2.0 * t - 1, 0);
    }
  }
  return BlockOver(plan);
}

// A line through the centre crosses a star's outline twice.
void BM_DivideStar(benchmark::State& state)
{
  const CKelBlockCube block = Star(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CKelBlockCubeList out;
    benchmark::DoNotOptimize(block.Divide(nullptr, {-20, 0}, {20, 0}, out, 0));
  }
}

void BM_DivideComb(benchmark::State& state)
{
  const CKelBlockCube block = Comb(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CKelBlockCubeList out;
    benchmark::DoNotOptimize(block.Divide(nullptr, {0, 5}, {1, 5}, out, 0));
    if (out.size() != static_cast<std::size_t>(std::max(1, static_cast<int>(state.range(0)) / 4) + 1))
      state.SkipWithError("a tooth was missed");
  }
}

// The comb by its first, copying division (tests/volume/DivideLiteral.h).
void BM_DivideCombFirstForm(benchmark::State& state)
{
  const CKelBlockCube block = Comb(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(divide_literal::Divide(block, {0, 5}, {1, 5}).size());
}

void BM_ConvexStar(benchmark::State& state)
{
  const CKelBlockCube block = Star(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CKelBlockCubeList out;
    if (!block.CutBlock(nullptr, out, 0))
      state.SkipWithError("no convex cut");
  }
}

void BM_ConvexComb(benchmark::State& state)
{
  const CKelBlockCube block = Comb(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CKelBlockCubeList out;
    if (!block.CutBlock(nullptr, out, 0))
      state.SkipWithError("no convex cut");
  }
}

}  // namespace

BENCHMARK(BM_DivideStar)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DivideComb)->Arg(10)->Arg(100)->Arg(1000)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DivideCombFirstForm)->Arg(10)->Arg(100)->Arg(1000)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvexStar)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvexComb)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
