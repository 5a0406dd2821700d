// Triangles placed one after another on the figure list, as a user traces
// them: each is its own undo step, numbered, listed and saved. The time
// per figure must not grow with the figures already placed faster than
// their logarithm.

#include "CPlenimetraFunc1.h"
#include "CPlenimetraPalette.h"
#include "HostFixture.h"
#include "PlenimetraEntry.h"
#include "dg_user.h"

#include <benchmark/benchmark.h>

#include <optional>

namespace {

void BM_PlaceTrianglesOneAfterAnother(benchmark::State& state)
{
  const auto count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    std::optional<HostFixture> host(std::in_place);
    host->LoadAddOnLibraryParts();
    PlenimetraModuleLoad();
    host->LoadAddOn(PlenimetraEntryPoints(), PlenimetraResources());
    static_cast<void>(host->UserChooseMenuItem(32500, 1));
    pln::host::DialogUser(PlenimetraPalette().m_PaletteID).Click(11);
    const short page = pln::host::OpenDialogId(CPlenimetraFunc1::ResourceId);
    for (int i = 0; i < count; ++i) {
      const double x = 3.0 * (i % 100);
      const double y = 3.0 * (i / 100);
      host->QueuePick({x, y, 0});
      host->QueuePick({x + 2, y, 0});
      host->QueuePick({x + 1, y + 1, 0});
    }
    state.ResumeTiming();
    // The trace after the last queued pick is cancelled, which ends the run.
    pln::host::DialogUser(page).Click(CPlenimetraFunc1::kTriangle);
    state.PauseTiming();
    if (PlenimetraPalette().m_Param.m_FloorParamArray.Search(0)->m_Area1ObjectArray.size() !=
        static_cast<std::size_t>(count))
      state.SkipWithError("not every triangle was placed");
    static_cast<void>(host->UnloadAddOn());
    PlenimetraModuleUnload();
    host.reset();
    state.ResumeTiming();
  }
  // Seconds per figure: flat when the whole grows linearly.
  state.counters["s_per_figure"] =
      benchmark::Counter(count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PlaceTrianglesOneAfterAnother)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(3000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
