// Base blocks and plan blocks of one slant-line check: 20 concave (L-shaped)
// source blocks on a 200 x 100 site cut at both ends of its first edge, and
// 50 planned blocks clipped over the base blocks they give. Then the base
// blocks and check line of a surveyed lot against its number of outline
// points and of source blocks, the whole basic-form check on a lot surveyed
// all round, and the radial form over a densely listed source block.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "CSyasenCheck.h"
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

// A 40 x 30 lot with its road along the south side, whose north side is
// surveyed as points, evenly along the line (shape 0), along a flat arc
// bulging 3 m (1), or along a curve bending more and more towards its west
// end (2, the chord rule's hardest case: each cut takes off a few points);
// from about 900 points its edges fall below the tiny size and the survey
// folding takes them.
CKelHSite SurveyedLot(int shape, int points)
{
  std::vector<CKelCoord2D> pts{{0, 0}, {40, 0}, {40, 30}};
  const int inner = points - 4;
  for (int i = 1; i <= inner; ++i) {
    const double t = static_cast<double>(i) / (inner + 1);
    const double bulge = shape == 1 ? 12 * t * (1 - t) : shape == 2 ? 3 * std::pow(t, 8) : 0.0;
    pts.emplace_back(40 - 40 * t, 30 + bulge);
  }
  pts.emplace_back(0, 30);
  CKelHSite site = Site(pts);
  CKelSiteTable& road = site.m_pt[0];
  road.COND = CKelSiteTable::kRoad;
  road.m_RoadWidthBeg = road.m_RoadWidthEnd = 6;
  road.CheckRoadWuser();
  return site;
}

// Half cuts and check-point arcs at both ends of the road edge; the lot's own
// volume and blocks - 1 boxes inside it as the source blocks.
CSyasenCheckBlockParam LotCheck(const CKelHSite& site, int blocks)
{
  CSyasenCheckBlockParam p;
  p.m_SiteNo = 0;
  p.m_BegPoint = CKelCoord2D(0, 0);
  p.m_EndPoint = CKelCoord2D(40, 0);
  p.m_CalcKind.m_BegCutKind = p.m_CalcKind.m_EndCutKind = 1;
  p.m_CalcKind.m_BegCpntKind = p.m_CalcKind.m_EndCpntKind = 3;
  p.m_CpntPitch = 1;
  p.m_SrcBlock.AddBlock(LotBlock(site, 20));
  for (int i = 1; i < blocks; ++i) {
    const double x = 1 + 3.8 * (i % 10), y = 2 + 3.2 * (i / 10 % 8);
    p.m_SrcBlock.AddBlock(Box(x, y, x + 3, y + 2.5, 30));
  }
  return p;
}

// Arguments: the north side's shape, the outline points, the source blocks.
void BM_CreateBlock1SurveyedLot(benchmark::State& state)
{
  CKelHSite site = SurveyedLot(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  CSyasenCheckBlockParam p = LotCheck(site, static_cast<int>(state.range(2)));
  TestCheckBlock blk;
  CSyasenCheck driver;
  for (auto _ : state) {
    p.CreateBlock1(&driver, &site, &blk, 0, true);
    benchmark::DoNotOptimize(p.m_BaseBlock.size());
  }
  state.counters["base"] = static_cast<double>(p.m_BaseBlock.size());
  state.counters["points"] = static_cast<double>(p.m_SphereRatio.size());
}
BENCHMARK(BM_CreateBlock1SurveyedLot)
    ->ArgsProduct({{0, 1, 2}, {10, 100, 1000, 5000, 20000}, {1, 20, 80}})
    ->ArgNames({"shape", "outline", "blocks"})
    ->Unit(benchmark::kMillisecond);

// A 60 x 45 lot with its road along the south side, every side surveyed as
// points at an even spacing and scattered up to 1 mm across it (a fixed
// seed): the survey folding and the runs take every side.
CKelHSite ScatteredLot(int points)
{
  const std::vector<CKelCoord2D> corners{{0, 0}, {60, 0}, {60, 45}, {0, 45}};
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> scatter(-0.001, 0.001);
  std::vector<CKelCoord2D> pts;
  const int perSide = points / 4;
  for (int k = 0; k < 4; ++k) {
    const CKelCoord2D& a = corners[static_cast<std::size_t>(k)];
    const CKelCoord2D& b = corners[static_cast<std::size_t>((k + 1) % 4)];
    const double len = a.GetLength(b), nx = -(b.m_y - a.m_y) / len, ny = (b.m_x - a.m_x) / len;
    pts.push_back(a);
    for (int i = 1; i < perSide; ++i) {
      const double t = static_cast<double>(i) / perSide, off = scatter(rng);
      pts.emplace_back(a.m_x + t * (b.m_x - a.m_x) + off * nx, a.m_y + t * (b.m_y - a.m_y) + off * ny);
    }
  }
  CKelHSite site = Site(pts);
  for (int i = 0; i < perSide; ++i) {
    CKelSiteTable& road = site.m_pt[static_cast<std::size_t>(i)];
    road.COND = CKelSiteTable::kRoad;
    road.m_RoadWidthBeg = road.m_RoadWidthEnd = 6;
    road.CheckRoadWuser();
  }
  return site;
}

// The whole basic-form check with half cuts and check points on arcs, as a
// driver makes it: a fresh driver (whose base line reads the check's runs)
// and the site check's refusals included. Argument: the outline points.
void BM_BasicFormCheckScatteredLot(benchmark::State& state)
{
  const CKelHSite site = ScatteredLot(static_cast<int>(state.range(0)));
  CKelHSite work = site;
  CSyasenCheckBlockParam p;
  p.m_SiteNo = 0;
  p.m_BegPoint = CKelCoord2D(0, 0);
  p.m_EndPoint = CKelCoord2D(60, 0);
  p.m_CalcKind.m_BegCutKind = p.m_CalcKind.m_EndCutKind = 1;
  p.m_CalcKind.m_BegCpntKind = p.m_CalcKind.m_EndCpntKind = 3;
  p.m_CpntPitch = 1;
  p.m_SrcBlock.AddBlock(LotBlock(site, 20));
  CSyasenCheck driver;
  int code = 0;
  for (auto _ : state) {
    TestCheckBlock blk;
    code = p.CreateBlock1(&driver, &work, &blk, 0, true);
    benchmark::DoNotOptimize(p.m_BaseBlock.size());
  }
  state.counters["code"] = code;
  state.counters["points"] = static_cast<double>(p.m_SphereRatio.size());
}
BENCHMARK(BM_BasicFormCheckScatteredLot)->Arg(11200)->Arg(20000)->Unit(benchmark::kMillisecond);

// The radial form over one source block of `points` points (a 40 x 30 box
// whose north side is surveyed as points 1 mm apart across its line) on a
// plain lot, check points every 2 m.
void BM_CreateBlock2DenseSource(benchmark::State& state)
{
  CKelHSite site = Site({{0, 0}, {40, 0}, {40, 30}, {0, 30}});
  CKelSiteTable& road = site.m_pt[0];
  road.COND = CKelSiteTable::kRoad;
  road.m_RoadWidthBeg = road.m_RoadWidthEnd = 6;
  road.CheckRoadWuser();
  const int points = static_cast<int>(state.range(0));
  CKelBlockCube src;
  src.Append(CKelBlockCoord(1, 1, 20, 0));
  src.Append(CKelBlockCoord(39, 1, 20, 0));
  for (int i = 0; i < points - 2; ++i) {
    const double t = static_cast<double>(i) / (points - 3);
    src.Append(CKelBlockCoord(39 - 38 * t, 29 + (i % 2 == 0 ? 0.0 : 0.001), 20, 0));
  }
  src.SetType();
  src.SetMinMax();
  src.GetPlaneEquation(false);
  src.GetPlaneEquation(true);
  CSyasenCheckBlockParam p;
  p.m_SiteNo = 0;
  p.m_BegPoint = CKelCoord2D(0, 0);
  p.m_EndPoint = CKelCoord2D(40, 0);
  p.m_CalcKind.m_CalcType = 1;
  p.m_CalcKind.m_BegCutKind = p.m_CalcKind.m_EndCutKind = 1;
  p.m_CalcKind.m_BegBaseKind = p.m_CalcKind.m_EndBaseKind = 4;
  p.m_CheckLength = 40;
  p.m_CheckEnd = -1;
  p.m_CpntPitch = 2;
  p.m_SrcBlock.AddBlock(src);
  CSyasenCheck driver;
  for (auto _ : state) {
    TestCheckBlock blk;
    benchmark::DoNotOptimize(p.CreateBlock2(&driver, &site, &blk, 0));
  }
  state.counters["points"] = static_cast<double>(p.m_SphereRatio2.size());
}
BENCHMARK(BM_CreateBlock2DenseSource)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
