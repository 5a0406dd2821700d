// The automatic cut of an outline into figure pieces, per cut type, on
// staircase outlines of 10, 100 and 1,000 vertices (half of them concave).
// Target: 1,000 vertices within 100 ms for every cut type. Run by hand in a
// Release build:
//   ./auto_cut_bench --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>

#include "CAutoAreaCut.h"

namespace {

// Steps of 0.3 m between (0,0) and the far corner, closed below, as the host
// gives an outline: counter-clockwise, the first point repeated at the end.
CKelCoord3DCrsPntArrayArray Staircase(int vertices)
{
  const int steps = vertices / 2 - 1;
  const double step = 0.3;
  CKelCoord3DCrsPntArray c;
  const auto add = [&](double x, double y) { c.push_back(CKelCoord3DCrsPnt(CKelCoord3D(x * step, y * step, 0))); };
  add(0, 0);
  add(steps, 0);
  for (int k = steps; k > 0; --k) {
    add(k, steps - k + 1);
    add(k - 1, steps - k + 1);
  }
  c.push_back(c.front());
  CKelCoord3DCrsPntArrayArray outline;
  outline.push_back(c);
  return outline;
}

void RunCut(benchmark::State& state, CAutoCutType::AUTOCUTTYPE type, bool across)
{
  const CKelCoord3DCrsPntArrayArray outline = Staircase(static_cast<int>(state.range(0)));
  CAutoCutType cut;
  cut.m_Type = type;
  cut.m_bCutAcross = across;
  std::size_t pieces = 0;
  bool whole = true;
  for (auto _ : state) {
    CAutoAreaPieceArray out;
    whole = CAutoAreaCut::CutOutline(outline, cut, out).IsWhole() && whole;
    pieces = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["pieces"] = static_cast<double>(pieces);
  state.counters["whole"] = whole ? 1 : 0;
}

void BM_AutoCutTriangles(benchmark::State& state) { RunCut(state, CAutoCutType::AUTOCUTTYPE_TRIANGLE, false); }
void BM_AutoCutHorizontal(benchmark::State& state) { RunCut(state, CAutoCutType::AUTOCUTTYPE_HORIZONTAL, false); }
void BM_AutoCutVertical(benchmark::State& state) { RunCut(state, CAutoCutType::AUTOCUTTYPE_VERTICAL, false); }
void BM_AutoCutRaysAcross(benchmark::State& state) { RunCut(state, CAutoCutType::AUTOCUTTYPE_EDGE, true); }
void BM_AutoCutRaysAlong(benchmark::State& state) { RunCut(state, CAutoCutType::AUTOCUTTYPE_EDGE, false); }

}  // namespace

BENCHMARK(BM_AutoCutTriangles)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutoCutHorizontal)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutoCutVertical)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutoCutRaysAcross)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutoCutRaysAlong)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
