// Base blocks and plan blocks of one slant-line check: 20 concave (L-shaped)
// source blocks on a 200 x 100 site cut at both ends of its first edge, and
// 50 planned blocks clipped over the base blocks they give.

#include <benchmark/benchmark.h>

#include <random>

#include "SlantFixtures.h"

namespace {

using namespace slant_test;

CSyasenCheckBlockParam Check()
{
  CSyasenCheckBlockParam p;
  p.m_SiteNo = 0;
  p.m_BegPoint = CKelCoord2D(0, 0);
  p.m_EndPoint = CKelCoord2D(200, 0);
  p.m_CalcKind.m_BegCutKind = 1;
  p.m_CalcKind.m_EndCutKind = 1;
  for (int i = 0; i < 20; ++i) {
    const double x = 40 + 25.0 * (i % 5), y = 10 + 20.0 * (i / 5);
    p.m_SrcBlock.AddBlock(
        Outline({{x, y}, {x + 16, y}, {x + 16, y + 6}, {x + 6, y + 6}, {x + 6, y + 16}, {x, y + 16}}, 30));
  }
  return p;
}

CKelBlockCubeArray Planned()
{
  std::mt19937 rng(50);
  std::uniform_real_distribution<double> x(35, 160), y(5, 85);
  CKelBlockCubeArray plan;
  for (int i = 0; i < 50; ++i) {
    const double x0 = x(rng), y0 = y(rng);
    plan.AddBlock(Box(x0, y0, x0 + 7, y0 + 5, 12));
  }
  return plan;
}

void BM_CreateBlock1(benchmark::State& state)
{
  CKelHSite site = Site({{0, 0}, {200, 0}, {200, 100}, {0, 100}});
  TestCheckBlock blk;
  CSyasenCheckBlockParam p = Check();
  for (auto _ : state) {
    p.CreateBlock1(nullptr, &site, &blk, 0);
    benchmark::DoNotOptimize(p.m_BaseBlock.size());
  }
}
BENCHMARK(BM_CreateBlock1)->Unit(benchmark::kMillisecond);

void BM_CreatePlanBlock(benchmark::State& state)
{
  CKelHSite site = Site({{0, 0}, {200, 0}, {200, 100}, {0, 100}});
  TestCheckBlock blk;
  CSyasenCheckBlockParam p = Check();
  p.CreateBlock1(nullptr, &site, &blk, 0);
  const CKelBlockCubeArray plan = Planned();
  for (auto _ : state) {
    CKelBlockCubeArray work = plan, plan2;
    benchmark::DoNotOptimize(p.CreatePlanBlock(nullptr, &site, &blk, work, 1, 0, plan2));
  }
  state.counters["base"] = static_cast<double>(p.m_BaseBlock.size());
}
BENCHMARK(BM_CreatePlanBlock)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
