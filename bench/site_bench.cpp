// Check lines of comb and star outlines, whose narrow gaps each leave a loop to cut,
// and the automatic deemed site of a many-sided site with roads all round.

#include <benchmark/benchmark.h>

#include <cmath>

#include "CClineData.h"
#include "CKelHSite.h"
#include "CKelMSite.h"

namespace {

// 2 + 4 x teeth vertices: teeth 2 wide and 10 high with gaps of 2, narrower
// than twice the check distance.
CKelArea<CKelCoord2D> Comb(int teeth)
{
  CKelArea<CKelCoord2D> comb;
  comb.m_pt = {{0, 0}, {4.0 * teeth, 0}};
  for (int i = teeth - 1; i >= 0; --i) {
    const double x = 4.0 * i;
    comb.m_pt.insert(comb.m_pt.end(), {{x + 2, 5}, {x + 2, 15}, {x, 15}, {x, 5}});
  }
  return comb;
}

void CheckLineOfComb(benchmark::State& state)
{
  const CKelArea<CKelCoord2D> comb = Comb(static_cast<int>((state.range(0) - 2) / 4));
  for (auto _ : state) {
    CClineData line(0, 5);
    line.CreateCheckline(comb);
    benchmark::DoNotOptimize(line.GetLength());
  }
  state.counters["vertices"] = static_cast<double>(comb.m_pt.size());
}
BENCHMARK(CheckLineOfComb)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// A gentle star, radii 100 and 98 alternating: at 5 m its check line is
// mostly arcs, and many vertices leave as many small loops to cut.
CKelArea<CKelCoord2D> Star(int n)
{
  CKelArea<CKelCoord2D> star;
  for (int k = 0; k < n; ++k) {
    const double a = 6.283185307179586 * k / n;
    const double r = k % 2 == 0 ? 100 : 98;
    star.m_pt.emplace_back(r * std::cos(a), r * std::sin(a));
  }
  return star;
}

void CheckLineOfStar(benchmark::State& state)
{
  const CKelArea<CKelCoord2D> star = Star(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    CClineData line(0, 5);
    line.CreateCheckline(star);
    benchmark::DoNotOptimize(line.GetLength());
  }
  state.counters["vertices"] = static_cast<double>(star.m_pt.size());
}
BENCHMARK(CheckLineOfStar)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

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
