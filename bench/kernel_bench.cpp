// How the cost of the kernel's two heaviest plan operations grows with the
// size of the outline: triangulation (convex and concave outlines) and the
// area of outlines with arcs, at 10, 100 and 1,000 vertices; stars and combs
// of up to 10,000 vertices cut by the triangulation and, beside it, by the
// search it replaced (former::). Run by hand:
//   ./kernel_bench --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

#include "CKelAreaCoord2D.h"
#include "CKelCoord3DCrsPntArray.h"
#include "FormerTriangulate.h"
#include "KelTolerance.h"

namespace {

// A regular n-gon of radius 10, counter-clockwise.
CKelAreaCoord2D RegularPolygon(int n)
{
  CKelAreaCoord2D poly;
  for (int i = 0; i < n; ++i) {
    const double a = KelAngle::TwoPi * i / n;
    poly.Append(CKelCoord3D(10 * std::cos(a), 10 * std::sin(a), 0));
  }
  poly.SetArea();
  return poly;
}

// A star of n vertices (n even), counter-clockwise: every second vertex is
// pulled in, so half of them are concave.
CKelAreaCoord2D Star(int n)
{
  CKelAreaCoord2D poly;
  for (int i = 0; i < n; ++i) {
    const double a = KelAngle::TwoPi * i / n;
    const double r = (i % 2 == 0) ? 10.0 : 7.0;
    poly.Append(CKelCoord3D(r * std::cos(a), r * std::sin(a), 0));
  }
  poly.SetArea();
  return poly;
}

// A comb of n / 4 teeth 1 wide and 10 high over a base, counter-clockwise.
CKelAreaCoord2D Comb(int n)
{
  const int teeth = std::max(1, n / 4);
  CKelAreaCoord2D poly;
  poly.m_pt = {{0, -1}, {2.0 * teeth - 1, -1}};
  for (int t = teeth - 1; t >= 0; --t) {
    poly.m_pt.emplace_back(2.0 * t + 1, 10);
    poly.m_pt.emplace_back(2.0 * t, 10);
    if (t > 0) {
      poly.m_pt.emplace_back(2.0 * t, 0);
      poly.m_pt.emplace_back(2.0 * t - 1, 0);
    }
  }
  poly.SetArea();
  return poly;
}

// A closed outline of n vertices on a circle of radius 10, every second edge
// an arc about the circle's centre and the others chords.
CKelCoord3DCrsPntArray ArcOutline(int n)
{
  CKelCoord3DCrsPntArray outline;
  const CKelCoord3D centre(0, 0, 0);
  for (int i = 0; i <= n; ++i) {
    const double a = KelAngle::TwoPi * (i % n) / n;
    if (i > 0 && i % 2 == 1)
      outline.push_back(CKelCoord3DCrsPnt(centre, CKelCoord3DCrsPnt::TYPE_CCW));
    outline.push_back(CKelCoord3DCrsPnt(CKelCoord3D(10 * std::cos(a), 10 * std::sin(a), 0)));
  }
  return outline;
}

void RunTriangulate(benchmark::State& state, const CKelAreaCoord2D& poly)
{
  bool done = true;
  for (auto _ : state) {
    CKelAreaCoord2DArray out;
    done = poly.Triangulate(out) && done;
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["vertices"] = static_cast<double>(poly.GetSize());
  state.counters["done"] = done ? 1 : 0;
}

void BM_TriangulateConvex(benchmark::State& state)
{
  RunTriangulate(state, RegularPolygon(static_cast<int>(state.range(0))));
}

void BM_TriangulateConcave(benchmark::State& state)
{
  RunTriangulate(state, Star(static_cast<int>(state.range(0))));
}

void RunFormer(benchmark::State& state, const CKelAreaCoord2D& poly)
{
  bool done = true;
  for (auto _ : state) {
    CKelAreaCoord2DArray out;
    done = former::Triangulate(poly, out) == KelTriangulateResult::kDone && done;
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["vertices"] = static_cast<double>(poly.GetSize());
  state.counters["done"] = done ? 1 : 0;
}

void BM_TriangulateStar(benchmark::State& state) { RunTriangulate(state, Star(static_cast<int>(state.range(0)))); }
void BM_TriangulateStarFormer(benchmark::State& state) { RunFormer(state, Star(static_cast<int>(state.range(0)))); }
void BM_TriangulateComb(benchmark::State& state) { RunTriangulate(state, Comb(static_cast<int>(state.range(0)))); }
void BM_TriangulateCombFormer(benchmark::State& state) { RunFormer(state, Comb(static_cast<int>(state.range(0)))); }

void BM_ArcOutlineArea(benchmark::State& state)
{
  const CKelCoord3DCrsPntArray outline = ArcOutline(static_cast<int>(state.range(0)));
  double area = 0;
  for (auto _ : state) {
    area = outline.GetArea();
    benchmark::DoNotOptimize(area);
  }
  state.counters["area"] = area;
}

}  // namespace

BENCHMARK(BM_TriangulateConvex)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TriangulateConcave)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TriangulateStar)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TriangulateStarFormer)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TriangulateComb)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TriangulateCombFormer)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArcOutlineArea)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
