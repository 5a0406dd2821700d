// The figure list's commands on long stories. Triangles placed one after
// another, as a user traces them: each is its own undo step, numbered,
// listed and saved, and the time per figure must not grow with the figures
// already placed faster than their logarithm. The mark editor on every row
// of 1,000 figures.

#include "BenchFigures.h"
#include "CPlenimetraFunc1.h"
#include "CPlenimetraPalette.h"
#include "HostFixture.h"
#include "PlenimetraEntry.h"
#include "dg_user.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <stdexcept>
#include <vector>

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

// A story of rectangles in one project, the figure list open on it.
struct Story {
  explicit Story(int count, bool teamwork = false)
  {
    host.LoadAddOnLibraryParts();
    if (teamwork)
      host.SetTeamwork(true, true, 3);
    PlenimetraModuleLoad();
    host.LoadAddOn(PlenimetraEntryPoints(), PlenimetraResources());
    static_cast<void>(host.UserChooseMenuItem(32500, 1));
    CPlenimetraParam& doc = PlenimetraPalette().m_Param;
    CArea1ObjectArray& list = PlaceBenchRectangles(doc, count);
    // In a shared project this user holds every figure; the numbers fill
    // gaps, so a deletion or a move renumbers the story.
    doc.m_EnvParam.m_NumberFillGaps = teamwork;
    if (list.SetSortIndex() != NoError || doc.SaveData() != NoError)
      throw std::runtime_error("the project could not be saved");
    for (const auto& figure : list)
      if (teamwork && host.SetOwner(figure->m_Element.header.guid, 3) != NoError)
        throw std::runtime_error("a figure could not be reserved");
    pln::host::DialogUser(PlenimetraPalette().m_PaletteID).Click(11);
    page = pln::host::OpenDialogId(CPlenimetraFunc1::ResourceId);
  }
  ~Story()
  {
    static_cast<void>(host.UnloadAddOn());
    PlenimetraModuleUnload();
  }
  void SelectAll() const
  {
    std::vector<short> rows;
    for (short row = 1; row <= DGListGetItemCount(page, CPlenimetraFunc1::kList); ++row)
      rows.push_back(row);
    pln::host::DialogUser(page).SelectRows(CPlenimetraFunc1::kList, rows);
  }

  HostFixture host;
  short page = 0;
};

// Each iteration gives every figure the other of two marks.
void BM_MarkEditorOnEveryRow(benchmark::State& state)
{
  Story story(static_cast<int>(state.range(0)));
  short entry = 2;
  for (auto _ : state) {
    story.SelectAll();
    pln::host::DialogUser(story.page).SelectPopUp(CPlenimetraFunc1::kMarkEditor, entry);
    entry = entry == 2 ? 3 : 2;
  }
}
BENCHMARK(BM_MarkEditorOnEveryRow)->Arg(1000)->Unit(benchmark::kMillisecond);

// The first figure dragged below the last, every number behind it moving up.
void BM_DragFirstBelowLastInTeamwork(benchmark::State& state)
{
  Story story(static_cast<int>(state.range(0)), true);
  pln::host::DialogUser user(story.page);
  for (auto _ : state) {
    user.SelectRows(CPlenimetraFunc1::kList, {1});
    user.DragAndDrop(CPlenimetraFunc1::kList, CPlenimetraFunc1::kList,
                     DGListGetItemCount(story.page, CPlenimetraFunc1::kList), DG_DRAG_INSERT_UNDER);
  }
}
BENCHMARK(BM_DragFirstBelowLastInTeamwork)->Arg(1000)->Unit(benchmark::kMillisecond);

// The first figure deleted and the deletion undone.
void BM_DeleteFirstInTeamwork(benchmark::State& state)
{
  Story story(static_cast<int>(state.range(0)), true);
  pln::host::DialogUser user(story.page);
  for (auto _ : state) {
    user.SelectRows(CPlenimetraFunc1::kList, {1});
    story.host.QueueAlertAnswer(1);
    user.Click(CPlenimetraFunc1::kDelete);
    state.PauseTiming();
    if (PlenimetraPalette().m_Param.m_FloorParamArray.Search(0)->m_Area1ObjectArray.size() + 1 !=
        static_cast<std::size_t>(state.range(0)))
      state.SkipWithError("the figure was not deleted");
    static_cast<void>(story.host.UserUndo());
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteFirstInTeamwork)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
