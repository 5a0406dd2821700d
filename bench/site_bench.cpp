// Check lines of comb and star outlines, whose narrow gaps each leave a loop to cut,
// and the automatic deemed site of a many-sided site with roads all round.

#include <benchmark/benchmark.h>

#include <cmath>

#include "CClineData.h"
#include "CKelHSite.h"
#include "CKelMSite.h"
#include "SiteOutlines.h"

namespace {

using site_test::Comb;
using site_test::Star;

void CheckLineOfComb(benchmark::State& state)
{
  const CKelArea<CKelCoord2D> comb = Comb(static_cast<int>((state.range(0) - 2) / 4));
  for (auto _ : state) {
    CClineData line(0, 5);
    (void)line.CreateCheckline(comb);
    benchmark::DoNotOptimize(line.GetLength());
  }
  state.counters["vertices"] = static_cast<double>(comb.m_pt.size());
}
BENCHMARK(CheckLineOfComb)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void CheckLineOfStar(benchmark::State& state)
{
  const CKelArea<CKelCoord2D> star = Star(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CClineData line(0, 5);
    (void)line.CreateCheckline(star);
    benchmark::DoNotOptimize(line.GetLength());
  }
  state.counters["vertices"] = static_cast<double>(star.m_pt.size());
}
BENCHMARK(CheckLineOfStar)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// Surveyed boundaries at the largest check distance: the arcs of the teeth
// all cross each other, so the time shows whether the cutting follows the
// line or the crossings.
void CheckLineOfSurveyedBoundary(benchmark::State& state, CKelArea<CKelCoord2D> (*outline)(int))
{
  const CKelArea<CKelCoord2D> o = outline(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CClineData line(0, 31);
    (void)line.CreateCheckline(o);
    benchmark::DoNotOptimize(line.GetLength());
  }
  state.counters["vertices"] = static_cast<double>(o.m_pt.size());
}
BENCHMARK_CAPTURE(CheckLineOfSurveyedBoundary, FineComb, site_test::FineComb)
    ->Arg(1250)
    ->Arg(2500)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CheckLineOfSurveyedBoundary, Sawtooth, site_test::Sawtooth)
    ->Arg(1250)
    ->Arg(2500)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond);

void DeemedSiteOfPolygon(benchmark::State& state)
{
  const int n = static_cast<int>(state.range(0));
  std::vector<CKelCoord2D> pts;
  for (int k = 0; k < n; ++k) {
    const double a = 6.283185307179586 * k / n;
    pts.emplace_back(100 * std::cos(a), 100 * std::sin(a));
  }
  CKelHSite site(pts);
  site.SetArea();
  site.SetMaxMin();
  for (int k = 0; k < n; ++k) {
    CKelSiteTable& v = site.m_pt[static_cast<std::size_t>(k)];
    v.COND = CKelSiteTable::kRoad;
    v.m_RoadWidthBeg = k % 2 == 0 ? 6 : 12;
    v.m_RoadWidthEnd = k % 3 == 0 ? 8 : 14;
    v.CheckRoadWuser();
  }
  site.m_Road = site.CalcRoadData();
  site.m_Cross = site.SetCrossRoad(site.m_Road);
  for (auto _ : state) {
    CKelMSite deemed;
    benchmark::DoNotOptimize(deemed.SiteMAutoSet(site));
  }
}
BENCHMARK(DeemedSiteOfPolygon)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
