// Random sequences of the user's commands on the example's house (figure
// list, automatic areas, a figure deleted on the plan, Undo, Redo, reopening
// with the load cancelled or not), in a plain project and in a shared one where another user holds some of the
// figures and the connection comes and goes. After every step:
// - what saving, closing and reopening loads is what is shown (totals, and
//   every story's figures in list order with their numbers); while a load
//   is incomplete, the complete reopen has no number twice;
// - a step that leaves no undo step takes no element and stores nothing;
// - a command stopped at a cancel point of its progress is undone by one
//   Undo to what was shown before it.

#include "../AlertWords.h"
#include "CDlgAutoAreaCreate.h"
#include "CDlgRenumbering.h"
#include "CPlenimetraFunc3.h"
#include "CPlenimetraPalette.h"
#include "FigureListTestSupport.h"
#include "PlenimetraEntry.h"
#include "Workflow.h"
#include "dg_user.h"
#include "host_errors.h"
#include "host_model.h"
#include "host_progress.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using pln::host::DialogUser;
using Page = CPlenimetraFunc1;

constexpr short kMenu = 32500, kAutoAreaPage = 10, kFigurePage = 11;
constexpr short kMe = 3, kOther = 5;

CPlenimetraPalette& Palette() { return PlenimetraPalette(); }
CPlenimetraParam& Doc() { return Palette().m_Param; }

// Numbers two figures of one story and kind share.
std::string Twice()
{
  std::string text;
  for (const CFloorParam& floor : Doc().m_FloorParamArray) {
    std::set<std::tuple<int, int, int>> seen;
    for (const auto& figure : floor.m_Area1ObjectArray)
      if (figure->m_No >= 0 && !seen.insert({figure->m_ItemType1, figure->m_ItemType2, figure->m_No}).second)
        text += " story " + std::to_string(floor.m_FloorNo) + " no " + std::to_string(figure->m_No);
  }
  return text;
}

class RandomSequenceTest : public ::testing::TestWithParam<std::tuple<const char*, unsigned, bool>> {
protected:
  void TearDown() override { ExpectAlertsInWords(host.Alerts()); }
  RandomSequenceTest() : random(std::get<1>(GetParam())), shared(std::get<2>(GetParam()))
  {
    host.SetUndoDepth(1000);
    flow.OpenProject();
    flow.Settings();
    flow.InsertPatterns();
    flow.CreateAutomaticAreas();
    ClosePages();
    static_cast<void>(host.UserChangeStory(0));
    // The figures' layer shown and open, so that the user may delete one on
    // the plan.
    const auto& first = Doc().m_FloorParamArray.Search(0)->m_Area1ObjectArray.front();
    static_cast<void>(host.SetLayerFlags(host.Element(first->m_Element.header.guid)->element.header.layer, 0));
    if (!shared)
      return;
    host.SetTeamwork(true, true, kMe);
    OpenPalette();
    // Every element free but 1階's figures from row 6 on.
    for (const auto& [guid, stored] : pln::host::TheModel().elements)
      if (!stored.deleted && stored.database == pln::host::FloorPlanDatabaseId())
        static_cast<void>(host.SetOwner(guid, 0));
    const auto& figures = Doc().m_FloorParamArray.Search(0)->m_Area1ObjectArray;
    for (std::size_t i = 5; i < figures.size(); ++i)
      static_cast<void>(host.SetOwner(figures[i]->m_Element.header.guid, kOther));
  }

  std::string Shown() const { return flow.Totals() + FigureOrder(Doc()); }
  std::vector<char> Record() const
  {
    const auto record = host.ModulData(GS::UniString(CPlenimetraParam::kRecordName));
    return record.has_value() ? record->bytes : std::vector<char>{};
  }
  std::size_t Held() const
  {
    std::size_t held = 0;
    for (const auto& [guid, stored] : pln::host::TheModel().elements)
      held += !stored.deleted && stored.element.header.userId == kMe;
    return held;
  }
  int Draw(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

  void OpenPalette()
  {
    if (!Palette().IsToolPaletteOpened())
      static_cast<void>(host.UserChooseMenuItem(kMenu, 1));
  }
  void ClosePages()
  {
    for (short resource : {Page::ResourceId, CPlenimetraFunc3::ResourceId})
      if (short id = pln::host::OpenDialogId(resource); id != 0)
        DialogUser(id).Click(1);
  }
  DialogUser OpenPage(short button, short resource)
  {
    OpenPalette();
    if (pln::host::OpenDialogId(resource) == 0)
      DialogUser(Palette().m_PaletteID).Click(button);
    return DialogUser(pln::host::OpenDialogId(resource));
  }
  short Rows() const
  {
    const CFloorParam* floor = Doc().m_FloorParamArray.Search(0);
    return floor != nullptr ? static_cast<short>(floor->m_Area1ObjectArray.size()) : 0;
  }
  short AnyRow() { return static_cast<short>(1 + Draw(std::max<short>(Rows(), 1))); }

  void SaveCloseReopen(bool cancelLoad)
  {
    host.UserSaveProject();
    host.UserCloseProject();
    if (cancelLoad)
      host.QueueProgressCancel(0);
    ASSERT_EQ(host.UserReopenProject(), NoError);
    OpenPalette();
    pln::host::internal::ResetProgress();
    static_cast<void>(host.UserChangeStory(0));
  }

  // What a save, close and reopen loads, in a child process so that this
  // session goes on as it is; then the numbers it has twice.
  std::pair<std::string, std::string> Reopened()
  {
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) {
      close(pipeEnds[0]);
      host.UserSaveProject();
      host.UserCloseProject();
      std::string out = host.UserReopenProject() == NoError ? "" : "reopen failed";
      OpenPalette();
      out += Shown() + "\x1f" + Twice();
      const bool written = write(pipeEnds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size());
      _exit(written ? 0 : 1);
    }
    close(pipeEnds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
      out.append(buffer, static_cast<std::size_t>(n));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the reopening child failed";
    const std::size_t cut = out.find('\x1f');
    return {out.substr(0, cut), cut == std::string::npos ? "?" : out.substr(cut + 1)};
  }

  // One command of the figure page or the automatic-area page; true when
  // a cancel was queued for its progress.
  bool Command(char kind)
  {
    switch (kind) {
    case 'p': {
      DialogUser page = OpenPage(kFigurePage, Page::ResourceId);
      const double x = 30.0 + 6.0 * placed++;
      host.QueuePick({x, 0, 0});
      host.QueuePick({x + 4, 0, 0});
      host.QueuePick({x + 1, 3, 0});
      page.Click(Page::kTriangle);
      return false;
    }
    case 'e':
    case 'E': {  // the figure of a row (E: the second) deleted on the plan
      const short row = kind == 'E' ? 2 : AnyRow();
      std::vector<API_Guid> chosen;
      for (const auto& figure : Doc().m_FloorParamArray.Search(0)->m_Area1ObjectArray)
        if (figure->m_SortIndex == row - 1)
          chosen.push_back(figure->m_Element.header.guid);
      static_cast<void>(host.UserDelete(chosen));
      return false;
    }
    case 'd':
    case 'm':
    case 'n':
    case 'a':
    case 'g': {
      DialogUser page = OpenPage(kFigurePage, Page::ResourceId);
      page.SelectRows(Page::kList, kind == 'a' ? std::vector<short>{} : std::vector<short>{AnyRow()});
      if (kind == 'd')
        page.Click(Page::kDelete);
      if (kind == 'm')
        page.SelectPopUp(Page::kMarkEditor, PopUpEntry(page.DialogId(), Page::kMarkEditor, Draw(2) ? u"□" : u"○"));
      if (kind == 'g')
        page.DragAndDrop(Page::kList, Page::kList, 0, DG_DRAG_INSERT_ABOVE);
      if (kind == 'a')
        host.QueueAlertAnswer(1);
      if (kind == 'n') {
        const int start = 1 + Draw(30);
        host.QueueDialogScript(CDlgRenumbering::ResourceId, [start](DialogUser& dialog) {
          dialog.SetLong(CDlgRenumbering::kItemStartNo, start);
          dialog.Click(1);
        });
      }
      if (kind == 'n' || kind == 'a')
        page.Click(Page::kRenumber);
      return false;
    }
    default: {  // the automatic areas of one or two zones cut again (C: the first, cancelled after it)
      DialogUser page = OpenPage(kAutoAreaPage, CPlenimetraFunc3::ResourceId);
      std::vector<API_Guid> zones;
      for (const API_Guid& zone : host.ElementsOfType(API_ZoneID))
        if (host.Element(zone)->element.header.floorInd == 0)
          zones.push_back(zone);
      std::vector<API_Guid> chosen{kind == 'C' ? zones.front()
                                               : zones[static_cast<std::size_t>(Draw(static_cast<int>(zones.size())))]};
      if (kind == 'C' || Draw(2))
        chosen.push_back(zones.back());
      static_cast<void>(host.UserSelect(chosen));
      host.QueueDialogScript(CDlgAutoAreaCreate::ResourceId, [](DialogUser& dialog) {
        dialog.SetLong(CDlgAutoAreaCreate::kItemCutFirst + 1, 1);
        dialog.Click(1);
      });
      const int cancelAt = kind == 'C' ? 0 : Draw(3) - 1;
      if (cancelAt >= 0)
        host.QueueProgressCancel(cancelAt);
      page.Click(CPlenimetraFunc3::kCreate);
      pln::host::internal::ResetProgress();
      return cancelAt >= 0;
    }
    }
  }

  HostFixture host;
  Workflow flow{host, [](const std::string&) {}};
  std::minstd_rand random;
  bool shared;
  bool online = true;
  int placed = 0;
};

TEST_P(RandomSequenceTest, AReopenLoadsWhatIsShownAndNoStepWithoutUndoTakesOrStores)
{
  // A sequence given spells its steps; else 14 are drawn.
  const std::string given = std::get<0>(GetParam());
  const std::string kinds = shared ? "pdemnagcurlo" : "pdemnagcurl";
  std::string steps;
  for (std::size_t i = 0; i < (given.empty() ? 14 : given.size()); ++i) {
    const char kind = given.empty() ? kinds[static_cast<std::size_t>(Draw(static_cast<int>(kinds.size())))] : given[i];
    steps += kind;
    SCOPED_TRACE("steps " + steps);
    const std::string before = Shown();
    const std::vector<char> record = Record();
    const std::size_t undoSteps = host.UndoNames().size(), held = Held();
    bool cancelled = false;
    if (kind == 'u' || kind == 'r')
      static_cast<void>(kind == 'u' ? host.UserUndo() : host.UserRedo());
    else if (kind == 'l' || kind == 'L')
      SaveCloseReopen(kind == 'L' || Draw(3) == 0);
    else if (kind == 'o')
      host.SetTeamwork(true, online = !online, kMe);
    else
      cancelled = Command(kind);
    ClosePages();
    if (std::string("urolL").find(kind) == std::string::npos && host.UndoNames().size() == undoSteps) {
      EXPECT_LE(Held(), held) << "a step without an undo step took an element";
      EXPECT_TRUE(Record() == record) << "a step without an undo step stored the record";
    }
    if (cancelled && host.UndoNames().size() > undoSteps) {
      ASSERT_EQ(host.UserUndo(), NoError);
      EXPECT_EQ(Shown(), before) << "Undo after the cancel";
    }
    const auto [reopened, twice] = Reopened();
    EXPECT_EQ(twice, "") << "numbers given twice";
    if (!Doc().IsLoadIncomplete()) {
      EXPECT_EQ(reopened, Shown()) << "the reopen differs from what is shown";
    }
  }
}

// The letters of the steps: p place a triangle, d delete a row, e (E: row 2)
// delete a row's figure on the plan, m a row's mark, n renumber a row, a
// renumber all, g drag a row to the top, c (C: cancelled after the first
// zone) cut automatic areas again, u Undo, r Redo, l (L: the load
// cancelled) save, close and reopen, o go offline or online.
INSTANTIATE_TEST_SUITE_P(Given, RandomSequenceTest,
                         ::testing::Values(std::make_tuple("CrCu", 0u, false), std::make_tuple("Ln", 0u, false),
                                           std::make_tuple("EEp", 0u, true), std::make_tuple("CEEpm", 0u, true),
                                           std::make_tuple("oan", 0u, true)),
                         [](const auto& row) {
                           return std::string(std::get<0>(row.param)) + (std::get<2>(row.param) ? "_Shared" : "_Plain");
                         });

INSTANTIATE_TEST_SUITE_P(Seeds, RandomSequenceTest,
                         ::testing::Combine(::testing::Values(""), ::testing::Values(1u, 2u, 3u), ::testing::Bool()),
                         [](const auto& row) {
                           return "Seed" + std::to_string(std::get<1>(row.param)) +
                                  (std::get<2>(row.param) ? "_Shared" : "_Plain");
                         });

}  // namespace
