// The user's own edits of the plan with the host's tools (deleting a zone,
// the slab, the site polyline, every zone of a story or a figure; moving a
// zone or a figure) on the example's house after its automatic areas were
// cut and assigned, then Undo, or Undo and Redo, with the plan, a worksheet
// or a layout in front. What the add-on shows and
// writes then (the totals, every story's figures and automatic areas in
// their order, the CSV) is what the step's state was, and what saving,
// closing and reopening the project loads.

#include "../AlertWords.h"
#include "LayoutWindow.h"
#include "CDlgOutputToWorksheet.h"
#include "CPlenimetraPalette.h"
#include "PlenimetraEntry.h"
#include "Workflow.h"
#include "dg_user.h"
#include "host_errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using pln::host::DialogUser;

constexpr short kOutputCommand = 3, kModeCsv = 4;

std::string Guid(const GS::Guid& guid) { return APIGuidToString(ToAPIGuid(guid)).ToStdString(CC_UTF8); }
std::string Guid(const API_Guid& guid) { return APIGuidToString(guid).ToStdString(CC_UTF8); }

// What the add-on shows and writes.
struct Shown {
  std::string totals;
  // A line per story: its automatic areas in order (changed ones marked),
  // then its figures in order with code, number, sort index and link.
  std::vector<std::string> stories;
  std::string csv;

};

// Field by field, so that a failure shows which one differs.
void ExpectSame(const Shown& shown, const Shown& wanted, const char* against)
{
  SCOPED_TRACE(against);
  EXPECT_EQ(shown.totals, wanted.totals);
  EXPECT_EQ(shown.stories, wanted.stories);
  EXPECT_TRUE(shown.csv == wanted.csv) << shown.csv << "\n---\n" << wanted.csv;
}

struct HostEdit {
  const char* name;
  // The user's edit of the plan, by the host's own tools.
  std::function<GSErrCode(HostFixture&)> run;
};

std::vector<API_Guid> OnStory(const HostFixture& host, API_ElemTypeID type, short story)
{
  std::vector<API_Guid> found;
  for (const API_Guid& guid : host.ElementsOfType(type))
    if (host.Element(guid)->element.header.floorInd == story)
      found.push_back(guid);
  return found;
}

// The figures cut from the site, on the layer of the pattern shown: the
// other patterns' layers are hidden, and the host refuses edits there.
std::vector<API_Guid> SiteFigures(const HostFixture& host)
{
  const API_Guid site = host.ElementsOfType(API_PolyLineID).front();
  std::vector<API_Guid> figures;
  for (const auto& figure : PlenimetraPalette().m_Param.m_FloorParamArray.Search(0)->m_Area1ObjectArray)
    if (ToAPIGuid(figure->m_AutoArea.m_ElemGuid) == site)
      figures.push_back(figure->m_Element.header.guid);
  return figures;
}
API_Guid SiteFigure(const HostFixture& host) { return SiteFigures(host).front(); }

// The first zone of 1階 grows by 0.5 m to the right.
GSErrCode WidenFirstZone(HostFixture& host)
{
  const API_Guid zone = OnStory(host, API_ZoneID, 0).front();
  const auto& coords = host.Element(zone)->memo.coords;
  // The host's coordinates count from 1 and repeat the first at the end.
  std::vector<API_Coord> outline(coords.begin() + 1, coords.end() - 1);
  double right = outline.front().x;
  for (const API_Coord& c : outline)
    right = std::max(right, c.x);
  for (API_Coord& c : outline)
    if (c.x == right)
      c.x += 0.5;
  PolygonMemo memo({outline});
  return host.UserSetOutline(zone, memo);
}

const HostEdit kEdits[] = {
    {"ZoneDeleted", [](HostFixture& h) { return h.UserDelete({OnStory(h, API_ZoneID, 0).front()}); }},
    {"SlabDeleted", [](HostFixture& h) { return h.UserDelete(h.ElementsOfType(API_SlabID)); }},
    {"SitePolylineDeleted", [](HostFixture& h) { return h.UserDelete(h.ElementsOfType(API_PolyLineID)); }},
    {"EveryZoneOfTheUpperStoryDeleted", [](HostFixture& h) { return h.UserDelete(OnStory(h, API_ZoneID, 1)); }},
    {"ZoneAndAFigureDeleted",
     [](HostFixture& h) { return h.UserDelete({OnStory(h, API_ZoneID, 0).back(), SiteFigure(h)}); }},
    {"SiteWithItsFiguresDeleted",
     [](HostFixture& h) {
       std::vector<API_Guid> both = SiteFigures(h);
       both.push_back(h.ElementsOfType(API_PolyLineID).front());
       return h.UserDelete(both);
     }},
    {"FigureDeleted", [](HostFixture& h) { return h.UserDelete({SiteFigure(h)}); }},
    {"ZoneMoved", [](HostFixture& h) { return h.UserMove({OnStory(h, API_ZoneID, 0).front()}, {0.5, 0.0}); }},
    {"FigureMoved", [](HostFixture& h) { return h.UserMove({SiteFigure(h)}, {0.0, 0.25}); }},
    {"ZoneWidened", [](HostFixture& h) { return WidenFirstZone(h); }},
    {"ZoneCopied", [](HostFixture& h) { return h.UserCopy({OnStory(h, API_ZoneID, 0).front()}, {20.0, 0.0}); }},
};

// The window the user brings to the front before Undo.
enum class Front { Plan, Worksheet, Layout };
const char* const kFrontNames[] = {"", "WithAWorksheetInFront", "WithALayoutInFront"};

struct HistoryCase {
  HostEdit edit;
  bool redo;  // Undo, then Redo
  Front front;
};

void PrintTo(const HistoryCase& c, std::ostream* out)
{
  *out << c.edit.name << (c.redo ? " undone and redone" : " undone") << kFrontNames[int(c.front)];
}

class HostEditHistoryTest : public ::testing::TestWithParam<HistoryCase> {
protected:
  HostEditHistoryTest()
  {
    flow.OpenProject();
    flow.Settings();
    flow.InsertPatterns();
    flow.CreateAutomaticAreas();
    host.UserSaveProject();
  }
  // The window to bring to the front later: the output's worksheets are
  // written now, a layout made now.
  void MakeWindow(Front front)
  {
    window.typeID = APIWind_FloorPlanID;
    if (front == Front::Worksheet) {
      flow.OutputWorksheetsAndCsv();
      window.typeID = APIWind_WorksheetID;
      window.databaseUnId = flow.Worksheets().front().second;
    } else if (front == Front::Layout) {
      window.typeID = APIWind_LayoutID;
      window.databaseUnId = NewLayout();
    }
    ShowPlan();
  }
  void ShowPlan()
  {
    API_WindowInfo plan;
    plan.typeID = APIWind_FloorPlanID;
    ASSERT_EQ(host.UserShowWindow(plan), NoError);
  }

  Shown Now()
  {
    Shown shown;
    shown.totals = flow.Totals();
    for (const CFloorParam& floor : PlenimetraPalette().m_Param.m_FloorParamArray) {
      std::string line = "story " + std::to_string(floor.m_FloorNo) + " areas:";
      for (const CAutoAreaParam& record : floor.m_AutoAreaParamArray)
        line += " " + Guid(record.GetGuid()) + (record.m_bChanged ? "*" : "");
      line += "; figures:";
      for (const auto& f : floor.m_Area1ObjectArray)
        line += " " + std::to_string(f->m_Code) + "/" + std::to_string(f->m_No) + "/" + std::to_string(f->m_SortIndex) +
                "/" + std::to_string(int(f->m_AutoArea.m_Operator)) + Guid(f->m_AutoArea.m_ElemGuid);
      shown.stories.push_back(line);
    }
    shown.csv = Csv();
    return shown;
  }
  // The palette's output works with the plan in front.
  std::string Csv()
  {
    ShowPlan();
    std::filesystem::remove(flow.CsvPath());
    host.QueueDialogScript(CDlgOutputToWorksheet::ResourceId, [](DialogUser& dialog) {
      dialog.Check(kModeCsv, true);
      dialog.Click(1);
    });
    DialogUser(PlenimetraPalette().m_PaletteID).Click(kOutputCommand);
    return ReadBytes(flow.CsvPath());
  }
  void Reopen()
  {
    host.UserSaveProject();
    host.UserCloseProject();
    ASSERT_EQ(host.UserReopenProject(), NoError);
    if (!PlenimetraPalette().IsToolPaletteOpened()) {
      ASSERT_EQ(host.UserChooseMenuItem(32500, 1), NoError);
    }
  }

  HostFixture host;
  Workflow flow{host, [](const std::string&) {}};
  API_WindowInfo window;
};

// Undo gives the state before the edit and Redo the state after it,
// whatever window is in front, and either is what a reopen loads.
TEST_P(HostEditHistoryTest, UndoAndRedoShowWhatAReopenLoads)
{
  const HistoryCase& c = GetParam();
  MakeWindow(c.front);
  const Shown before = Now();
  const std::size_t steps = host.UndoNames().size();
  ASSERT_EQ(c.edit.run(host), NoError);
  const Shown after = Now();
  // The edit's step is the last: writing the CSV adds none.
  ASSERT_EQ(host.UndoNames().size(), steps + 1);
  ASSERT_EQ(host.UserShowWindow(window), NoError);
  const std::size_t alerts = host.Alerts().size();
  ASSERT_EQ(host.UserUndo(), NoError);
  if (c.redo) {
    ASSERT_EQ(host.UserRedo(), NoError);
  }
  EXPECT_EQ(host.Alerts().size(), alerts);
  const Shown shown = Now();
  ExpectSame(shown, c.redo ? after : before, c.redo ? "the state after the edit" : "the state before the edit");
  Reopen();
  ExpectSame(Now(), shown, "the state reopened");
}

std::vector<HistoryCase> Cases()
{
  std::vector<HistoryCase> cases;
  for (const HostEdit& edit : kEdits)
    for (bool redo : {false, true})
      for (Front front : {Front::Plan, Front::Worksheet, Front::Layout})
        cases.push_back({edit, redo, front});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Edits, HostEditHistoryTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<HistoryCase>& param) {
                           const HistoryCase& c = param.param;
                           return std::string(c.edit.name) + (c.redo ? "UndoneAndRedone" : "Undone") +
                                  kFrontNames[int(c.front)];
                         });

}  // namespace
