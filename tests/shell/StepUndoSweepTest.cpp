// Undo and Redo after each command of the figure list and each output, on
// the example's house once its sheets and CSV are written: Undo gives back
// the calculation as it was before the step (totals, the figures' numbers
// and order), with a worksheet or the floor plan in front; Redo gives the
// step's result again; a save and reopen after Undo keeps the state before
// the step and writes the same CSV.

#include "../AlertWords.h"
#include "CDlgOutputToWorksheet.h"
#include "CDlgRenumbering.h"
#include "CPlenimetraPalette.h"
#include "FigureListTestSupport.h"
#include "PlenimetraEntry.h"
#include "Workflow.h"
#include "dg_user.h"
#include "host_errors.h"
#include "host_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using pln::host::DialogUser;
using Page = CPlenimetraFunc1;

constexpr short kMenuResId = 32500;
constexpr short kOutputCommand = 3, kFigurePage = 11;

CPlenimetraPalette& Palette() { return PlenimetraPalette(); }
CPlenimetraParam& Doc() { return Palette().m_Param; }

// What a step may change and Undo must give back.
struct State {
  std::string totals;
  std::string numbers;
};

class StepUndoSweepTest : public ::testing::TestWithParam<std::tuple<const char*, bool>> {
public:
  // Whatever a test made fail, the user is told in words.
  void TearDown() override { ExpectAlertsInWords(host.Alerts()); }
  StepUndoSweepTest()
  {
    host.SetUndoDepth(1000);
    flow.OpenProject();
    flow.Settings();
    flow.InsertPatterns();
    flow.CreateAutomaticAreas();
    DialogUser page = FigurePage();
    PlaceTriangle(page);
    flow.OutputWorksheetsAndCsv();
  }

  State Now() const { return {flow.Totals(), FigureOrder(Doc())}; }

  DialogUser FigurePage()
  {
    for (int i = 0; i < 2 && pln::host::OpenDialogId(Page::ResourceId) == 0; ++i)
      DialogUser(Palette().m_PaletteID).Click(kFigurePage);
    DialogUser page(pln::host::OpenDialogId(Page::ResourceId));
    EXPECT_NE(page.DialogId(), 0);
    return page;
  }

  // The output as the example writes it, from the floor plan.
  void Output(bool csv)
  {
    ShowPlan();
    host.QueueDialogScript(CDlgOutputToWorksheet::ResourceId, [csv](DialogUser& dialog) {
      if (csv) {
        dialog.Check(4, true);
      } else {
        dialog.Check(5, true);
        dialog.SelectPopUp(7, 3);
        dialog.Check(8, true);
        dialog.Check(9, true);
        dialog.SelectRows(13, {3});
        dialog.Check(12, false);
      }
      dialog.Click(1);
    });
    DialogUser(Palette().m_PaletteID).Click(kOutputCommand);
  }

  // Row 12 of 1階, numbered after the rectangles.
  void PlaceTriangle(DialogUser& page)
  {
    host.QueuePick({100, 100, 0});
    host.QueuePick({104, 100, 0});
    host.QueuePick({101, 103, 0});
    page.Click(Page::kTriangle);
  }

  void ShowPlan()
  {
    API_WindowInfo plan;
    plan.typeID = APIWind_FloorPlanID;
    ASSERT_EQ(host.UserShowWindow(plan), NoError);
  }
  void ShowFront(bool plan)
  {
    if (plan) {
      ShowPlan();
      return;
    }
    API_WindowInfo sheet;
    sheet.typeID = APIWind_WorksheetID;
    sheet.databaseUnId = flow.Worksheets().back().second;
    ASSERT_EQ(host.UserShowWindow(sheet), NoError);
  }

  void SaveCloseReopen()
  {
    host.UserSaveProject();
    host.UserCloseProject();
    ASSERT_EQ(host.UserReopenProject(), NoError);
    if (!Palette().IsToolPaletteOpened()) {
      ASSERT_EQ(host.UserChooseMenuItem(kMenuResId, 1), NoError);
    }
  }

  HostFixture host;
  Workflow flow{host, [](const std::string&) {}};
};

// The figure page's list on 1階: rows 1 to 11 are the automatic areas'
// rectangles, each counted in an element, row 12 the setup's triangle.
void Select(DialogUser& page, std::vector<short> rows) { page.SelectRows(Page::kList, rows); }
short Entry(const DialogUser& page, short item, const char16_t* text) { return PopUpEntry(page.DialogId(), item, text); }
void DragSixthToTop(DialogUser& page)
{
  Select(page, {6});
  page.DragAndDrop(Page::kList, Page::kList, 0, DG_DRAG_INSERT_ABOVE);
}

using Action = std::function<void(StepUndoSweepTest&, HostFixture&, DialogUser&)>;
struct Step {
  const char* name;
  Action prepare;  // before the state the Undo must give back; may be empty
  Action act;
};

// An in-list editor's entry chosen for the rows.
Action EditRows(std::vector<short> rows, short editor, const char16_t* entry)
{
  return [=](StepUndoSweepTest&, HostFixture&, DialogUser& page) {
    Select(page, rows);
    page.SelectPopUp(editor, Entry(page, editor, entry));
  };
}

const Step kSteps[] = {
    {"Place", {}, [](auto& test, HostFixture&, DialogUser& page) { test.PlaceTriangle(page); }},
    {"Rotate", {},
     [](auto&, HostFixture&, DialogUser& page) {
       Select(page, {12});
       page.Click(Page::kRotate);
     }},
    {"Delete", {},
     [](auto&, HostFixture&, DialogUser& page) {
       Select(page, {2});
       page.Click(Page::kDelete);
     }},
    {"Mark", {}, EditRows({1}, Page::kMarkEditor, u"□")},
    {"Style", {}, EditRows({3}, Page::kStyleEditor, u"A,B,C")},
    {"Rounding", {}, EditRows({1, 4}, Page::kRoundEditor, u"切り上げ")},
    {"AutoBreak", {}, EditRows({5}, Page::kAutoCrEditor, u"手動")},
    {"LineBreaks", {},
     [](auto&, HostFixture& host, DialogUser& page) {
       QueueBreakAfterFirstTerm(host);
       Select(page, {1});
       page.Click(Page::kEditCr);
     }},
    {"Sort", {}, [](auto&, HostFixture&, DialogUser& page) { page.HeaderClick(Page::kList, 5); }},
    {"Drag", {}, [](auto&, HostFixture&, DialogUser& page) { DragSixthToTop(page); }},
    {"RenumberAll", [](auto&, HostFixture&, DialogUser& page) { DragSixthToTop(page); },
     [](auto&, HostFixture& host, DialogUser& page) {
       Select(page, {});
       host.QueueAlertAnswer(1);
       page.Click(Page::kRenumber);
     }},
    {"RenumberSelection", {},
     [](auto&, HostFixture& host, DialogUser& page) {
       host.QueueDialogScript(CDlgRenumbering::ResourceId, [](DialogUser& user) {
         user.SetLong(CDlgRenumbering::kItemStartNo, 20);
         user.Click(1);
       });
       Select(page, {12});
       page.Click(Page::kRenumber);
     }},
    {"OutputWorksheets", {}, [](auto& test, HostFixture&, DialogUser&) { test.Output(false); }},
    // After the sheets, so that the CSV's choices are a change of their own.
    {"OutputCsv", [](auto& test, HostFixture&, DialogUser&) { test.Output(false); },
     [](auto& test, HostFixture&, DialogUser&) { test.Output(true); }},
};

const Step& StepNamed(const std::string& name)
{
  return *std::find_if(std::begin(kSteps), std::end(kSteps), [&](const Step& step) { return step.name == name; });
}

TEST_P(StepUndoSweepTest, UndoGivesBackTheCalculationBeforeTheStepAndRedoItsResult)
{
  const Step& step = StepNamed(std::get<0>(GetParam()));
  const bool planInFront = std::get<1>(GetParam());
  DialogUser page = FigurePage();
  // A preparation that changes the calculation has its CSV written; the
  // setup's is that of the state before the step otherwise.
  const State setup = Now();
  if (step.prepare)
    step.prepare(*this, host, page);
  if (Now().totals != setup.totals || Now().numbers != setup.numbers)
    Output(true);
  const std::string csv = ReadBytes(flow.CsvPath());
  ShowPlan();
  const State before = Now();
  const std::size_t alerts = host.Alerts().size();
  const std::size_t steps = host.UndoNames().size();

  step.act(*this, host, page);
  ASSERT_EQ(host.UndoNames().size(), steps + 1)
      << "the step is not one undo step"
      << (host.Alerts().size() > alerts ? ": " + host.Alerts().back().largeText.ToStdString(CC_UTF8) : "");
  const State after = Now();
  ShowFront(planInFront);
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(Now().totals, before.totals);
  EXPECT_EQ(Now().numbers, before.numbers);
  // What the Undo read leaves the window in front the current database.
  EXPECT_EQ(pln::host::TheModel().currentDatabase.typeID, planInFront ? APIWind_FloorPlanID : APIWind_WorksheetID);
  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_EQ(Now().totals, after.totals);
  EXPECT_EQ(Now().numbers, after.numbers);

  ASSERT_EQ(host.UserUndo(), NoError);
  SaveCloseReopen();
  EXPECT_EQ(Now().totals, before.totals);
  EXPECT_EQ(Now().numbers, before.numbers);
  Output(true);
  EXPECT_TRUE(ReadBytes(flow.CsvPath()) == csv) << "the CSV written after reopening differs";
}

std::vector<const char*> StepNames()
{
  std::vector<const char*> names;
  for (const Step& step : kSteps)
    names.push_back(step.name);
  return names;
}

INSTANTIATE_TEST_SUITE_P(FigureListAndOutput, StepUndoSweepTest,
                         ::testing::Combine(::testing::ValuesIn(StepNames()), ::testing::Bool()),
                         [](const auto& testInfo) {
                           return std::string(std::get<0>(testInfo.param)) +
                                  (std::get<1>(testInfo.param) ? "_PlanInFront" : "_SheetInFront");
                         });

}  // namespace

namespace {

using FrontSheetUndoTest = StepUndoSweepTest;

// Without the floor plan the re-read lists no figure: it says it could
// not read, and nothing is saved over the record the Undo put back.
TEST_F(FrontSheetUndoTest, AReReadThatCannotReachTheFloorPlanKeepsTheRecord)
{
  const State before = Now();
  Output(false);
  const std::size_t alerts = host.Alerts().size();
  host.FailOnce("ACAPI_Database:CDAT", APIERR_GENERAL);
  ASSERT_EQ(host.UserUndo(), NoError);
  ASSERT_EQ(host.Alerts().size(), alerts + 1);
  EXPECT_EQ(host.Alerts().back().largeText.ToStdString(CC_UTF8).rfind("求積データを最後まで読み込めませんでした", 0), 0u);
  EXPECT_EQ(pln::host::TheModel().currentDatabase.typeID, APIWind_WorksheetID);
  SaveCloseReopen();
  EXPECT_EQ(Now().totals, before.totals);
  EXPECT_EQ(Now().numbers, before.numbers);
}

}  // namespace
