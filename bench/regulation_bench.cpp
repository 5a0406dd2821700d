// The regulation chain at the size of a city block: a site of 1,000 outline
// vertices (a gentle polygon of radius about 60 m) with two roads, 50
// buildings of mixed shapes (boxes, L-shapes, sloped tops, one floating),
// and 200 check points taken along its check line. Each stage is timed on
// its own; the chain runs them all in turn: check line, deemed site, block
// set, sky factor at step 1 by the outline and by the sector method.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "CClineData.h"
#include "CKelHSite.h"
#include "CKelMSite.h"
#include "CSphereRatioBlock.h"
#include "CombinePrevious.h"
#include "SectorLiteral.h"
#include "SkyScene.h"

namespace {

constexpr int kOutline = 1000;
constexpr int kBuildings = 50;
constexpr int kCheckPoints = 200;

std::vector<CKelCoord2D> Outline()
{
  std::vector<CKelCoord2D> pts;
  for (int k = 0; k < kOutline; ++k) {
    const double a = 6.283185307179586 * k / kOutline;
    const double r = 60 + 1.5 * std::sin(7 * a) + (k % 2 == 0 ? 0 : -0.4);
    pts.emplace_back(r * std::cos(a), r * std::sin(a));
  }
  return pts;
}

// Roads along two stretches of the outline, 6 m and 8 m wide.
CKelHSite Site()
{
  CKelHSite site(Outline());
  site.SetArea();
  site.SetMaxMin();
  for (int k = 0; k < kOutline; ++k) {
    CKelSiteTable& v = site.m_pt[static_cast<std::size_t>(k)];
    const bool south = k >= 650 && k < 850;
    const bool east = k < 120 || k >= 950;
    if (!south && !east)
      continue;
    v.COND = CKelSiteTable::kRoad;
    v.m_RoadWidthBeg = v.m_RoadWidthEnd = south ? 6 : 8;
    v.CheckRoadWuser();
  }
  site.m_Road = site.CalcRoadData();
  site.m_Cross = site.SetCrossRoad(site.m_Road);
  return site;
}

CClineData CheckLine()
{
  CKelArea<CKelCoord2D> outline;
  outline.m_pt = Outline();
  CClineData line(0, 5);
  (void)line.CreateCheckline(outline);
  return line;
}

// Buildings on a grid inside the site, 6 to 45 m high.
CKelBlockCubeArray Buildings()
{
  CKelBlockCubeArray blocks;
  const int cols = 8;
  const double cell = 10;
  for (int k = 0; k < kBuildings; ++k) {
    const double x0 = -40 + (k % cols) * cell + 1;
    const double y0 = -32 + (k / cols) * cell + 1;
    const double w = 7 + (k % 3);
    const double d = 6 + (k % 2);
    const double top = 6 + 39 * ((k * 7) % 12) / 11.0;
    switch (k % 6) {
      case 1: blocks.AddBlock(sky_test::SlopedBlock(x0, y0, w, d, top)); break;
      case 3: blocks.AddBlock(sky_test::LBlock(x0, y0, w, d, top)); break;
      case 5: blocks.AddBlock(sky_test::Box(x0, x0 + w, y0, y0 + d, top, k == 5 ? 0.3 * top : 0)); break;
      default: blocks.AddBlock(sky_test::Box(x0, x0 + w, y0, y0 + d, top)); break;
    }
  }
  return blocks;
}

// Check points spread evenly over the check line's points, at ground level.
std::vector<CKelCoord3D> CheckPoints(const CClineData& line)
{
  std::vector<CKelCoord3D> points;
  if (line.empty())
    return points;
  for (int k = 0; k < kCheckPoints; ++k) {
    const CCrspnt& p = line[static_cast<std::size_t>(k) * line.size() / kCheckPoints];
    points.emplace_back(p.m_x, p.m_y, 0);
  }
  return points;
}

double SkyAll(const CKelBlockCubeArray& blocks, const std::vector<CKelCoord3D>& points, bool sector)
{
  double sum = 0;
  for (const CKelCoord3D& p : points) {
    CSphereRatioBlock r;
    r.m_AngleStep = 1;
    r.m_ExpandKind = 2;
    r.m_bExpandInProjection = sector;
    double ratio = 0;
    r.CalcSphereRatio(nullptr, -1, 0, false, blocks, p, &ratio, sector);
    sum += ratio;
  }
  return sum;
}

CKelBlockCubeArray BlockSet(const CKelBlockCubeArray& buildings)
{
  CKelBlockCubeArray set = buildings;
  set.CombineBlock(nullptr);
  return set;
}

void BM_CheckLine(benchmark::State& state)
{
  for (auto _ : state) {
    const CClineData line = CheckLine();
    state.counters["points"] = static_cast<double>(line.size());
  }
}

void BM_DeemedSite(benchmark::State& state)
{
  const CKelHSite site = Site();
  for (auto _ : state) {
    CKelMSite deemed;
    benchmark::DoNotOptimize(deemed.SiteMAutoSet(site));
  }
}

void BM_BlockSet(benchmark::State& state)
{
  const CKelBlockCubeArray buildings = Buildings();
  for (auto _ : state)
    benchmark::DoNotOptimize(BlockSet(buildings).data());
}

// The block set by the combination before its pairs were indexed.
void BM_BlockSetPrevious(benchmark::State& state)
{
  const CKelBlockCubeArray buildings = Buildings();
  for (auto _ : state) {
    CKelBlockCubeArray set = buildings;
    combine_previous::Combine(set, nullptr);
    benchmark::DoNotOptimize(set.data());
  }
}

void BM_SkyOutline(benchmark::State& state)
{
  const CKelBlockCubeArray blocks = BlockSet(Buildings());
  const std::vector<CKelCoord3D> points = CheckPoints(CheckLine());
  for (auto _ : state)
    state.counters["mean"] = SkyAll(blocks, points, false) / static_cast<double>(points.size());
}

void BM_SkySector(benchmark::State& state)
{
  const CKelBlockCubeArray blocks = BlockSet(Buildings());
  const std::vector<CKelCoord3D> points = CheckPoints(CheckLine());
  for (auto _ : state)
    state.counters["mean"] = SkyAll(blocks, points, true) / static_cast<double>(points.size());
}

// The sector method with its sweep, projection and trace in their first
// forms (over today's union), for old and new figures in one run.
void BM_SkySectorFormerSteps(benchmark::State& state)
{
  const CKelBlockCubeArray blocks = BlockSet(Buildings());
  const std::vector<CKelCoord3D> points = CheckPoints(CheckLine());
  CSphereRatioBlock settings;
  settings.m_AngleStep = 1;
  settings.m_ExpandKind = 2;
  settings.m_bExpandInProjection = true;
  for (auto _ : state) {
    double sum = 0;
    for (const CKelCoord3D& p : points)
      sum += sector_literal::SectorRatio(settings, -1, 0, false, blocks, p);
    state.counters["mean"] = sum / static_cast<double>(points.size());
  }
}

void BM_Chain(benchmark::State& state)
{
  const CKelHSite site = Site();
  const CKelBlockCubeArray buildings = Buildings();
  for (auto _ : state) {
    const CClineData line = CheckLine();
    CKelMSite deemed;
    benchmark::DoNotOptimize(deemed.SiteMAutoSet(site));
    const CKelBlockCubeArray blocks = BlockSet(buildings);
    const std::vector<CKelCoord3D> points = CheckPoints(line);
    benchmark::DoNotOptimize(SkyAll(blocks, points, false) + SkyAll(blocks, points, true));
  }
}

}  // namespace

BENCHMARK(BM_CheckLine)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DeemedSite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlockSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlockSetPrevious)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SkyOutline)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SkySector)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SkySectorFormerSteps)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Chain)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
