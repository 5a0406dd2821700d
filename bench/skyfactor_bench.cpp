// The triangle division of sky outlines: stars, a comb and the outline of a
// long wall, against the step-by-step reference on the smaller sizes. The
// sky factor of a realistic scene by both methods and by ray sampling.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "CDividTriangle.h"
#include "DividTriangleLiteral.h"
#include "DividTrianglePrevious.h"
#include "SkyOutlines.h"
#include "CSphereRatioBlock.h"
#include "SectorLiteral.h"
#include "SkyRayReference.h"
#include "SkyScene.h"
#include "SkyUnion.h"
#include "UnionPrevious.h"

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

// Division is the division or its form before the speed-ups, for old and
// new figures in one run.
template <class Division = CDividTriangle>
void Divide(benchmark::State& state, const std::vector<CKelCoord2D>& pts)
{
  const CSphereCoordD2DArray outline = sky_test::Projected(pts);
  for (auto _ : state) {
    Division d(&outline);
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
void BM_PreviousStar(benchmark::State& state) { Divide<DividTrianglePrevious>(state, StarOf(static_cast<int>(state.range(0)))); }
void BM_PreviousComb(benchmark::State& state) { Divide<DividTrianglePrevious>(state, CombOf(static_cast<int>(state.range(0)))); }
void BM_ReferenceStar(benchmark::State& state) { Reference(state, StarOf(static_cast<int>(state.range(0)))); }

// 3,000 points for the growth beyond the sizes of a city block's disc.
BENCHMARK(BM_DivideStar)->Arg(10)->Arg(100)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DivideComb)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DivideWall)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviousStar)->Arg(10)->Arg(100)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviousComb)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceStar)->Arg(10)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

// --- The sky factor of a realistic scene ----------------------------------------------
// Check points along the road in turn; times are per check point.

struct Method {
  int step;
  bool sansya;
  int kind;
  bool inProjection;
};

double SceneRatio(const CKelBlockCubeArray& blocks, const CKelCoord3D& point, const Method& m)
{
  CSphereRatioBlock r;
  r.m_AngleStep = m.step;
  r.m_ExpandKind = m.kind;
  r.m_bExpandInProjection = m.inProjection;
  double ratio = -1;
  r.CalcSphereRatio(nullptr, -1, 0, false, blocks, point, &ratio, m.sansya);
  return ratio;
}

void ScenePerPoint(benchmark::State& state, const Method& m)
{
  const CKelBlockCubeArray blocks = sky_test::SceneBlocks(12);
  const std::vector<CKelCoord3D> points = sky_test::ScenePoints(100);
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(SceneRatio(blocks, points[k], m));
    k = (k + 1) % points.size();
  }
}

void BM_SceneOutlineStep10(benchmark::State& state) { ScenePerPoint(state, {10, false, 2, false}); }
void BM_SceneOutlineStep1(benchmark::State& state) { ScenePerPoint(state, {1, false, 2, false}); }
void BM_SceneSectorStep10Kind2(benchmark::State& state) { ScenePerPoint(state, {10, true, 2, true}); }
void BM_SceneSectorStep10Kind0(benchmark::State& state) { ScenePerPoint(state, {10, true, 0, true}); }

// The sector method with its sweep, projection and trace in their first
// forms (over today's union), for old and new figures in one run.
void SectorFormerSteps(benchmark::State& state, int kind)
{
  const CKelBlockCubeArray blocks = sky_test::SceneBlocks(12);
  const std::vector<CKelCoord3D> points = sky_test::ScenePoints(100);
  CSphereRatioBlock settings;
  settings.m_AngleStep = 10;
  settings.m_ExpandKind = kind;
  settings.m_bExpandInProjection = true;
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(sector_literal::SectorRatio(settings, -1, 0, false, blocks, points[k]));
    k = (k + 1) % points.size();
  }
}

void BM_SceneSectorStep10Kind2FormerSteps(benchmark::State& state) { SectorFormerSteps(state, 2); }
void BM_SceneSectorStep10Kind0FormerSteps(benchmark::State& state) { SectorFormerSteps(state, 0); }

// Blocks x points at step 1 by the outline method: one iteration computes
// every point (the growth over 3, 12, 48 blocks and 1, 10, 100 points).
void BM_SceneOutlineStep1All(benchmark::State& state)
{
  const CKelBlockCubeArray blocks = sky_test::SceneBlocks(static_cast<int>(state.range(0)));
  const std::vector<CKelCoord3D> points = sky_test::ScenePoints(static_cast<int>(state.range(1)));
  for (auto _ : state) {
    for (const CKelCoord3D& p : points)
      benchmark::DoNotOptimize(SceneRatio(blocks, p, {1, false, 2, false}));
  }
}

// Per check point at step 1 by the outline method as the scene grows to
// the dozens of buildings of a city block.
void BM_SceneOutlineStep1Blocks(benchmark::State& state)
{
  const CKelBlockCubeArray blocks = sky_test::SceneBlocks(static_cast<int>(state.range(0)));
  const std::vector<CKelCoord3D> points = sky_test::ScenePoints(100);
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(SceneRatio(blocks, points[k], {1, false, 2, false}));
    k = (k + 5) % points.size();
  }
}

// The same with the union's steps in their former forms (over today's pool
// and projection), for old and new figures in one run.
double PreviousSceneRatio(const CKelBlockCubeArray& blocks, const CKelCoord3D& point)
{
  return union_previous::OutlineRatio(blocks, point, 0, false, 1, 2, false, -1).result.m_Ratio;
}

void BM_PreviousSceneOutlineStep1Blocks(benchmark::State& state)
{
  const CKelBlockCubeArray blocks = sky_test::SceneBlocks(static_cast<int>(state.range(0)));
  const std::vector<CKelCoord3D> points = sky_test::ScenePoints(100);
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PreviousSceneRatio(blocks, points[k]));
    k = (k + 5) % points.size();
  }
}

// Every one of 200 check points along the road at step 1, one iteration.
template <bool kPrevious>
void Points200(benchmark::State& state)
{
  const CKelBlockCubeArray blocks = sky_test::SceneBlocks(static_cast<int>(state.range(0)));
  const std::vector<CKelCoord3D> points = sky_test::ScenePoints(200);
  for (auto _ : state) {
    for (const CKelCoord3D& p : points)
      benchmark::DoNotOptimize(kPrevious ? PreviousSceneRatio(blocks, p) : SceneRatio(blocks, p, {1, false, 2, false}));
  }
}

void BM_SceneOutlineStep1Points200(benchmark::State& state) { Points200<false>(state); }
void BM_PreviousSceneOutlineStep1Points200(benchmark::State& state) { Points200<true>(state); }

// The union's contact search alone, on the outlines registered at every
// fifth of 100 check points in turn, and its former form, for old and new
// figures of that step in one run.
template <bool kPrevious>
void Contacts(benchmark::State& state)
{
  const CKelBlockCubeArray blocks = sky_test::SceneBlocks(static_cast<int>(state.range(0)));
  const std::vector<CKelCoord3D> points = sky_test::ScenePoints(100);
  std::vector<CSphereBlkDataArrayNew> registered;
  for (std::size_t k = 0; k < points.size(); k += 5)
    registered.push_back(sky_test::RegisteredUnion(blocks, points[k], 0));
  std::size_t k = 0;
  for (auto _ : state) {
    state.PauseTiming();
    CSphereBlkDataArrayNew united = registered[k];
    state.ResumeTiming();
    benchmark::DoNotOptimize(kPrevious ? union_literal::CalcCrossPoint(united, nullptr) : united.CalcCrossPoint(nullptr));
    k = (k + 1) % registered.size();
  }
}

void BM_SceneContacts(benchmark::State& state) { Contacts<false>(state); }
void BM_PreviousSceneContacts(benchmark::State& state) { Contacts<true>(state); }

// The reference at n x n rays at one check point; with replicas > 1 the
// counter sd is the spread of that many seeded replicas, and 4 sd must not
// exceed 1e-5 for the count to serve as the reference.
void BM_SceneReference(benchmark::State& state)
{
  const CKelBlockCubeArray blocks = sky_test::SceneBlocks(12);
  const CKelCoord3D point = sky_test::ScenePoints(100)[50];
  const int n = static_cast<int>(state.range(0));
  const int replicas = static_cast<int>(state.range(1));
  const sky_test::RayReference reference(blocks, point);
  double sum = 0, squares = 0;
  for (auto _ : state) {
    sum = squares = 0;
    for (int r = 0; r < replicas; ++r) {
      const double v = reference.SkyFactor(n, static_cast<std::uint64_t>(r + 1));
      sum += v;
      squares += v * v;
    }
  }
  const double mean = sum / replicas;
  state.counters["ratio"] = mean;
  state.counters["analytic"] = SceneRatio(blocks, point, {1, false, 2, false});
  if (replicas > 1)
    state.counters["sd"] = std::sqrt(std::max(0.0, (squares - replicas * mean * mean) / (replicas - 1)));
}

BENCHMARK(BM_SceneOutlineStep10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneOutlineStep1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneSectorStep10Kind2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneSectorStep10Kind0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneSectorStep10Kind2FormerSteps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneSectorStep10Kind0FormerSteps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneOutlineStep1All)
    ->ArgsProduct({{3, 12, 48}, {1, 10, 100}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneOutlineStep1Blocks)->Arg(12)->Arg(48)->Arg(96)->Arg(192)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviousSceneOutlineStep1Blocks)->Arg(12)->Arg(48)->Arg(96)->Arg(192)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneContacts)->Arg(12)->Arg(48)->Arg(96)->Arg(192)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviousSceneContacts)->Arg(12)->Arg(48)->Arg(96)->Arg(192)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneOutlineStep1Points200)->Arg(96)->Arg(192)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviousSceneOutlineStep1Points200)->Arg(192)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SceneReference)
    ->Args({1000, 1})
    ->Args({3162, 1})
    ->Args({1000, 8})
    ->Args({3162, 8})
    ->Args({10000, 8})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
