// The main palette's answer to the user on a story of 5,000 figures: the
// batch after moving one figure (collectors, the pages' update, the save),
// the batch after deleting one (every other figure rewritten), and a story
// change in a shared project (update and the status over every figure's
// owner).

#include "BenchFigures.h"
#include "CPlenimetraFunc1.h"
#include "CPlenimetraPalette.h"
#include "HostFixture.h"
#include "PlenimetraEntry.h"
#include "dg_user.h"
#include "host_errors.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <stdexcept>

namespace {

constexpr int kFigures = 5000;

struct Project {
  explicit Project(bool teamwork)
  {
    host.LoadAddOnLibraryParts();
    host.AddStory(1, 3.0, u"2F");
    if (teamwork)
      host.SetTeamwork(true, true, 3);
    PlenimetraModuleLoad();
    host.LoadAddOn(PlenimetraEntryPoints(), PlenimetraResources());
    host.UserChooseMenuItem(32500, 1);
    CPlenimetraParam& doc = PlenimetraPalette().m_Param;
    CArea1ObjectArray& list = PlaceBenchRectangles(doc, kFigures);
    if (list.SetSortIndex() != NoError || doc.SaveData() != NoError)
      throw std::runtime_error("the project could not be saved");
  }
  ~Project()
  {
    host.UnloadAddOn();
    PlenimetraModuleUnload();
  }
  API_Guid Figure(int i) const
  {
    return PlenimetraPalette().m_Param.m_FloorParamArray.Search(0)->m_Area1ObjectArray[i]->m_Element.header.guid;
  }

  HostFixture host;
};

void BM_MoveOneFigure(benchmark::State& state)
{
  Project project(false);
  const API_Guid guid = project.Figure(kFigures / 2);
  double dx = 0.5;
  for (auto _ : state) {
    project.host.UserMove({guid}, API_Coord{dx, 0.0});
    dx = -dx;
  }
}
BENCHMARK(BM_MoveOneFigure)->Unit(benchmark::kMillisecond);

void BM_DeleteOneFigure(benchmark::State& state)
{
  Project project(false);
  const API_Guid guid = project.Figure(kFigures / 2);
  for (auto _ : state) {
    project.host.UserDelete({guid});
    state.PauseTiming();
    project.host.UserUndo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteOneFigure)->Unit(benchmark::kMillisecond);

// Each iteration goes up to the empty story and back to the full one.
void BM_StoryChangeInTeamwork(benchmark::State& state)
{
  Project project(true);
  for (auto _ : state) {
    project.host.UserChangeStory(1);
    project.host.UserChangeStory(0);
  }
}
BENCHMARK(BM_StoryChangeInTeamwork)->Unit(benchmark::kMillisecond);

// The figure list open on the full story.
short OpenFigureList()
{
  pln::host::DialogUser(PlenimetraPalette().m_PaletteID).Click(11);
  return pln::host::OpenDialogId(CPlenimetraFunc1::ResourceId);
}

void BM_FigureListRebuild(benchmark::State& state)
{
  Project project(false);
  OpenFigureList();
  for (auto _ : state)
    PlenimetraPalette().SendUpdateMessage(Hint::ElementsChanged);
}
BENCHMARK(BM_FigureListRebuild)->Unit(benchmark::kMillisecond);

// Each click turns the order round, so every figure moves and is saved.
void BM_FigureListSortByFormula(benchmark::State& state)
{
  Project project(false);
  const short page = OpenFigureList();
  for (auto _ : state)
    pln::host::DialogUser(page).HeaderClick(CPlenimetraFunc1::kList, 4);
}
BENCHMARK(BM_FigureListSortByFormula)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
