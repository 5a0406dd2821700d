// Base blocks and plan blocks of one slant-line check: 20 concave (L-shaped)
// source blocks on a 200 x 100 site cut at both ends of its first edge, and
// 50 planned blocks clipped over the base blocks they give. Then the base
// blocks and check line of a surveyed lot against its number of outline
// points and of source blocks, and the whole check of both forms on a large
// corner lot surveyed all round and placed far from the origin.

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

// A large corner lot as surveys deliver it, far from the origin: 400 x 300 m,
// a 6 m road along its south side and a 4 m road along its east side meeting
// at a 0.8 m corner cut, every long side listed as points at an even spacing
// and scattered up to 1 mm across it (a fixed seed), the whole placed
// 320 km out in the plane's frame and turned 30 degrees. Its source block
// is the lot's own outline under a sloping top.
class FarCornerLot {
public:
  explicit FarCornerLot(int points)
  {
    const double leg = 0.8 / std::sqrt(2.0);
    const std::vector<CKelCoord2D> corners{{0, 0}, {400 - leg, 0}, {400, leg}, {400, 300}, {0, 300}};
    const bool cut[] = {false, true, false, false, false};
    double around = 0;
    for (std::size_t k = 0; k < corners.size(); ++k)
      around += cut[k] ? 0 : corners[k].GetLength(corners[(k + 1) % corners.size()]);
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> scatter(-0.001, 0.001);
    const double pitch = around / (points - static_cast<int>(corners.size()));
    std::vector<CKelCoord2D> local;
    std::vector<int> sideOf;
    for (std::size_t k = 0; k < corners.size(); ++k) {
      const CKelCoord2D& a = corners[k];
      const CKelCoord2D& b = corners[(k + 1) % corners.size()];
      const double len = a.GetLength(b), nx = -(b.m_y - a.m_y) / len, ny = (b.m_x - a.m_x) / len;
      const int inner = cut[k] ? 0 : static_cast<int>(std::lround(len / pitch));
      local.push_back(a);
      sideOf.push_back(static_cast<int>(k));
      for (int i = 1; i <= inner; ++i) {
        const double t = static_cast<double>(i) / (inner + 1), off = scatter(rng);
        local.emplace_back(a.m_x + t * (b.m_x - a.m_x) + off * nx, a.m_y + t * (b.m_y - a.m_y) + off * ny);
        sideOf.push_back(static_cast<int>(k));
      }
    }
    std::vector<CKelCoord2D> placed;
    for (const CKelCoord2D& q : local)
      placed.push_back(To(q));
    m_Site = Site(placed);
    for (std::size_t i = 0; i < placed.size(); ++i) {
      CKelSiteTable& v = m_Site.m_pt[i];
      const int side = sideOf[i];
      if (side == 1)
        v.COND = CKelSiteTable::kSumikiri;
      if (side == 0 || side == 2) {
        v.COND = CKelSiteTable::kRoad;
        v.m_RoadWidthBeg = v.m_RoadWidthEnd = side == 0 ? 6 : 4;
        v.CheckRoadWuser();
      }
    }
    m_Site.SetArea();
    m_Site.SetMaxMin();
    m_Site.m_Road = m_Site.CalcRoadData();
    m_Site.m_Cross = m_Site.SetCrossRoad(m_Site.m_Road);
    for (const CKelCoord2D& q : local) {
      const CKelCoord2D w = To(q);
      m_Source.Append(CKelBlockCoord(w.m_x, w.m_y, 9 + 0.025 * q.m_x + 0.05 * q.m_y, 0));
    }
    m_Source.SetType();
    m_Source.SetMinMax();
    m_Source.GetPlaneEquation(false);
    m_Source.GetPlaneEquation(true);
    m_Beg = To(corners[0]);
    m_End = To(corners[1]);
  }

  // The check of the south road from corner to corner cut: half cuts,
  // check points every 2 m.
  CSyasenCheckBlockParam SouthCheck() const
  {
    CSyasenCheckBlockParam p;
    p.m_SiteNo = 0;
    p.m_BegPoint = m_Beg;
    p.m_EndPoint = m_End;
    p.m_CalcKind.m_BegCutKind = p.m_CalcKind.m_EndCutKind = 1;
    p.m_CpntPitch = 2;
    p.m_SrcBlock.AddBlock(m_Source);
    return p;
  }

  CKelHSite m_Site;
  CKelBlockCube m_Source;

private:
  static CKelCoord2D To(const CKelCoord2D& q)
  {
    const double c = std::cos(KelAngle::Pi / 6), s = std::sin(KelAngle::Pi / 6);
    return CKelCoord2D(3.2e5 + c * q.m_x - s * q.m_y, -1.2e5 + s * q.m_x + c * q.m_y);
  }

  CKelCoord2D m_Beg, m_End;
};

// The whole basic-form check with half cuts and check points on arcs, as a
// driver makes it: a fresh driver (whose base line reads the check's runs)
// and the site check's refusals included. Argument: the outline points.
void BM_BasicFormCheckSurveyedLot(benchmark::State& state)
{
  const FarCornerLot lot(static_cast<int>(state.range(0)));
  CKelHSite work = lot.m_Site;
  CSyasenCheckBlockParam p = lot.SouthCheck();
  p.m_CalcKind.m_BegCpntKind = p.m_CalcKind.m_EndCpntKind = 3;
  CSyasenCheck driver;
  int code = 0;
  for (auto _ : state) {
    TestCheckBlock blk;
    code = p.CreateBlock1(&driver, &work, &blk, 0, true);
    benchmark::DoNotOptimize(p.m_BaseBlock.size());
  }
  state.counters["code"] = code;
  state.counters["outline"] = static_cast<double>(work.GetSize());
  state.counters["points"] = static_cast<double>(p.m_SphereRatio.size());
}
BENCHMARK(BM_BasicFormCheckSurveyedLot)->Arg(11200)->Arg(20000)->Unit(benchmark::kMillisecond);

// The radial form over the lot's own outline of 20,000 points as its source
// block, check points every 25 m along the south road.
void BM_CreateBlock2SurveyedSource(benchmark::State& state)
{
  const FarCornerLot lot(static_cast<int>(state.range(0)));
  CKelHSite work = lot.m_Site;
  CSyasenCheckBlockParam p = lot.SouthCheck();
  p.m_CalcKind.m_CalcType = 1;
  p.m_CalcKind.m_BegBaseKind = p.m_CalcKind.m_EndBaseKind = 4;
  p.m_CheckLength = p.m_BegPoint.GetLength(p.m_EndPoint);
  p.m_CheckEnd = -1;
  p.m_CpntPitch = 25;
  CSyasenCheck driver;
  int code = 0;
  for (auto _ : state) {
    TestCheckBlock blk;
    code = p.CreateBlock2(&driver, &work, &blk, 0);
    benchmark::DoNotOptimize(p.m_SphereRatio2.size());
  }
  state.counters["code"] = code;
  state.counters["source"] = static_cast<double>(lot.m_Source.m_Coord.size());
  state.counters["points"] = static_cast<double>(p.m_SphereRatio2.size());
}
BENCHMARK(BM_CreateBlock2SurveyedSource)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
