// Every command that makes, deletes, moves, renumbers, reorders or
// recolours figures, and the plan edits the add-on follows, on the
// example's house, with a worksheet or a layout in front, and in a shared
// project whose elements another user holds, nobody holds, or this user
// holds but for one figure. One judge for all: the command is done on the
// floor plan or refused whole (nothing changed in memory, in an element, in
// who holds it or in the stored record, and the alert says how to reserve,
// after which a retry is done); a command the user cancels or that finds
// nothing to change changes nothing and says nothing of reserving; Undo
// gives back the state before; save and reopen give the state the add-on
// showed; the figures a command keeps keep their order unless it is the
// list's order that the command changes; a command takes only what it
// changes, and one not done ends holding what the user held before.

#include "../AlertWords.h"
#include "LayoutWindow.h"
#include "CDlgAutoAreaCreate.h"
#include "CDlgAutoAreaRelease.h"
#include "CDlgEditArea2Target.h"
#include "CDlgEditCr.h"
#include "CDlgEnvironment.h"
#include "CDlgFloorCopy.h"
#include "CDlgOutputToWorksheet.h"
#include "CDlgRenumbering.h"
#include "CDlgSelectTree.h"
#include "CPlenimetraFunc1.h"
#include "CPlenimetraFunc2.h"
#include "CPlenimetraFunc3.h"
#include "CPlenimetraPalette.h"
#include "PlenimetraEntry.h"
#include "Workflow.h"
#include "dg_user.h"
#include "host_errors.h"
#include "host_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using pln::host::DialogUser;

constexpr short kMenuResId = 32500;
constexpr short kOtherUser = 7, kThisUser = 3;

CPlenimetraPalette& Palette() { return PlenimetraPalette(); }
CPlenimetraParam& Doc() { return Palette().m_Param; }
DialogUser PaletteUser() { return DialogUser(Palette().m_PaletteID); }

enum class Front {
  Sheet,
  Layout,
  HeldByOther,
  HeldByNobody,
  FirstFigureHeldByOther,
  Reserved,
  // This user holds every element but figure 5 of 1階.
  LaterFigureHeldByOther,
  LaterFigureHeldByNobody
};
// Cancelled: by the user at a question or in a dialog, or the user's own
// plan edit refused by the host; said nothing.
// Stopped: in a progress window, said what was not done.
// Unchanged: found nothing to change; may say why, but not of reserving.
// NumbersKept: a plan edit followed without moving a number of the story,
// as one figure could not be taken; the alert says how to reserve.
enum class Outcome { Done, Refused, Cancelled, Stopped, Unchanged, NumbersKept };

// The story's figures in list order.
std::vector<CArea1Object*> InListOrder(const CFloorParam& floor)
{
  std::vector<CArea1Object*> figures;
  for (const auto& figure : floor.m_Area1ObjectArray)
    figures.push_back(figure.get());
  std::stable_sort(figures.begin(), figures.end(),
                   [](const CArea1Object* a, const CArea1Object* b) { return a->m_SortIndex < b->m_SortIndex; });
  return figures;
}

// Where the figure's copy of its element says it is placed, to the
// millimetre.
std::string Place(const CArea1Object& figure)
{
  char text[64];
  std::snprintf(text, sizeof text, "@%.3f,%.3f", figure.m_Element.object.pos.x, figure.m_Element.object.pos.y);
  return text;
}

// What the add-on shows: the totals, and per story its figures in list
// order (code, mark, numbering, number) and its automatic areas with the
// number of their figures.
std::string Shown(const Workflow& flow)
{
  std::string text = flow.Totals();
  for (const CFloorParam& floor : Doc().m_FloorParamArray) {
    text += std::to_string(floor.m_FloorNo) + ":";
    for (CArea1Object* f : InListOrder(floor))
      text += " " + std::to_string(f->m_Code) + "/" + std::to_string(int(f->m_ItemType1)) + "/" +
              std::to_string(int(f->m_ItemType2)) + "/" + std::to_string(f->m_No) + "/" +
              f->GetEquation(&Doc(), false, 0).ToStdString(CC_UTF8) + Place(*f);
    text += "\n  areas:";
    for (const CAutoAreaParam& record : floor.m_AutoAreaParamArray)
      text += " " + record.GetName().ToStdString(CC_UTF8) + "=" + std::to_string(record.GetAutoArea(&Doc()).size());
    text += "\n";
  }
  // The elements' colours, which their figures take.
  text += "pens:";
  for (const CArea2Object& element : Doc().m_Area2ObjectArray)
    text += " " + std::to_string(element.m_ColorPen);
  text += "\n";
  // A setting that every figure's rewrite follows.
  text += "total-area row height: " + std::to_string(Doc().m_EnvParam.m_TotalAreaParam.m_RowHeight) + "\n";
  text += "fill pens off: " + std::to_string(Doc().m_EnvParam.m_FillPenOff) + "\n";
  if (const CAreaTree* pattern = Doc().GetTree())
    text += "rounding table: " + std::to_string(pattern->m_RoundTypeId) + "\n";
  // The sheets' elements: only the output writes there.
  const API_DatabaseUnId plan = pln::host::FloorPlanDatabaseId();
  std::size_t elsewhere = 0;
  for (const auto& [guid, element] : pln::host::TheModel().elements)
    elsewhere += !element.deleted && !(element.database == plan) ? 1 : 0;
  return text + "elements off the plan: " + std::to_string(elsewhere) + "\n";
}

// The lines of b that a lacks, for a short failure message.
std::string NewLines(const std::string& a, const std::string& b)
{
  std::set<std::string> had;
  std::istringstream in(a);
  for (std::string line; std::getline(in, line);)
    had.insert(line);
  std::string out;
  std::istringstream now(b);
  for (std::string line; std::getline(now, line);)
    if (had.count(line) == 0)
      out += line + "\n";
  return out.empty() ? "(the same)" : out;
}

// Per story, the figures' codes in list order.
using Orders = std::map<short, std::vector<int>>;
Orders ListOrders()
{
  Orders orders;
  for (const CFloorParam& floor : Doc().m_FloorParamArray)
    for (const CArea1Object* figure : InListOrder(floor))
      orders[floor.m_FloorNo].push_back(figure->m_Code);
  return orders;
}

// The stories whose figures kept before and after are not in the same
// order.
std::string OrderFaults(const Orders& before, const Orders& after)
{
  // The codes of a that b lists too, in a's order.
  const auto common = [](const std::vector<int>& a, const std::vector<int>& b) {
    std::vector<int> kept;
    std::copy_if(a.begin(), a.end(), std::back_inserter(kept),
                 [&](int code) { return std::find(b.begin(), b.end(), code) != b.end(); });
    return kept;
  };
  std::string faults;
  for (const auto& [story, codes] : after)
    if (const auto then = before.find(story);
        then != before.end() && common(then->second, codes) != common(codes, then->second))
      faults += "story " + std::to_string(story) + " reordered; ";
  return faults;
}

// Every listed figure is a live element of the floor plan, and every live
// element of the plan carrying user data is listed or is a source.
std::string PlanFaults()
{
  const auto& model = pln::host::TheModel();
  const API_DatabaseUnId plan = pln::host::FloorPlanDatabaseId();
  std::set<API_Guid> listed;
  std::string faults;
  for (const CFloorParam& floor : Doc().m_FloorParamArray)
    for (const auto& figure : floor.m_Area1ObjectArray) {
      listed.insert(figure->m_Element.header.guid);
      const auto found = model.elements.find(figure->m_Element.header.guid);
      if (found == model.elements.end() || found->second.deleted || !(found->second.database == plan))
        faults += "figure " + std::to_string(figure->m_Code) + " is not on the plan; ";
    }
  for (const auto& [guid, element] : model.elements)
    if (!element.deleted && element.database == plan && element.element.header.typeID == API_ObjectID &&
        element.userData.has_value() && listed.count(guid) == 0)
      faults += "an unlisted figure element on the plan; ";
  return faults;
}

// The live elements and the stored record: what a refusal leaves alone.
struct HostState {
  std::map<API_Guid, pln::host::StoredElement> live;
  std::vector<char> record;
  bool operator==(const HostState&) const = default;
};

// How the host's elements differ, for a failure message.
std::string HostChanges(const HostState& a, const HostState& b)
{
  std::string out = a.record == b.record ? "" : "the record; ";
  for (const auto& [guid, element] : a.live) {
    const auto found = b.live.find(guid);
    if (found == b.live.end())
      out += "deleted type " + std::to_string(int(element.element.header.typeID)) + "; ";
    else if (!(found->second == element))
      out += "changed type " + std::to_string(int(element.element.header.typeID)) +
             (found->second.userData == element.userData ? "" : " (user data)") +
             (found->second.element.header.userId == element.element.header.userId ? "" : " (owner)") + "; ";
  }
  for (const auto& [guid, element] : b.live)
    if (a.live.count(guid) == 0)
      out += "added type " + std::to_string(int(element.element.header.typeID)) + "; ";
  return out;
}

HostState Host(HostFixture& host)
{
  HostState state;
  for (const auto& [guid, element] : pln::host::TheModel().elements)
    if (!element.deleted)
      state.live.emplace(guid, element);
  if (const auto record = host.ModulData(GS::UniString("PLENIMETRA")))
    state.record = record->bytes;
  return state;
}

// Undo gives back what the elements were, not who holds them.
HostState Unowned(HostState state)
{
  for (auto& [guid, element] : state.live)
    element.element.header.userId = 0;
  return state;
}

class FigureCommandPlanTest;
using Action = std::function<void(FigureCommandPlanTest&)>;

struct Command {
  const char* name;
  Action prepare;  // part of the state before; may be empty
  Action act;
  // With a worksheet or a layout in front: the palette's commands act on
  // the plan only.
  Outcome sheet;
  // With every element held by another user.
  Outcome held;
  // With every element held by nobody: a command that reserves what it
  // changes takes them; one that asks for no reservation is refused.
  Outcome free;
  // With every element held by nobody but the first figure of 1階, which
  // another user holds: a command that would change or recolour it is
  // refused and takes nothing.
  Outcome first;
  // With every element held by this user but figure 5 of 1階, which
  // another user holds, and which nobody holds.
  Outcome later;
  Outcome laterFree;
  // Held after: how many elements this user holds after the command where
  // nobody held any before; 0 where it is not done.
  int heldAfter;
};

class FigureCommandPlanTest : public ::testing::TestWithParam<std::tuple<const char*, Front>> {
public:
  void TearDown() override { ExpectAlertsInWords(host.Alerts()); }
  FigureCommandPlanTest()
  {
    host.SetUndoDepth(1000);
    flow.OpenProject();
    flow.Settings();
    flow.InsertPatterns();
    flow.CreateAutomaticAreas();
    // Row 12 of 1階: a triangle to rotate.
    host.QueuePick({100, 100, 0});
    host.QueuePick({104, 100, 0});
    host.QueuePick({101, 103, 0});
    FigurePage().Click(CPlenimetraFunc1::kTriangle);
  }

  // The page of the palette's button, every other page closed.
  DialogUser Page(short resourceId, short button)
  {
    for (short other : {CPlenimetraFunc1::ResourceId, CPlenimetraFunc2::ResourceId, CPlenimetraFunc3::ResourceId})
      if (const short id = pln::host::OpenDialogId(other); id != 0 && other != resourceId)
        DialogUser(id).Click(1);
    if (pln::host::OpenDialogId(resourceId) == 0)
      PaletteUser().Click(button);
    DialogUser page(pln::host::OpenDialogId(resourceId));
    EXPECT_NE(page.DialogId(), 0);
    return page;
  }
  DialogUser FigurePage() { return Page(CPlenimetraFunc1::ResourceId, 11); }
  DialogUser TreePage() { return Page(CPlenimetraFunc2::ResourceId, 12); }
  DialogUser AutoAreaPage() { return Page(CPlenimetraFunc3::ResourceId, 10); }
  void ClosePages() { Page(CPlenimetraPalette::ResourceId, 0); }

  // The source of 1階's first automatic area.
  API_Guid FirstZone() { return Doc().m_FloorParamArray.Search(0)->m_AutoAreaParamArray.front().GetGuid(); }

  void Output(bool csv)
  {
    host.QueueDialogScript(CDlgOutputToWorksheet::ResourceId, [csv](DialogUser& dialog) {
      dialog.Check(csv ? 4 : 5, true);
      dialog.Click(1);
    });
    ClosePages();
    PaletteUser().Click(CPlenimetraPalette::kOutput);
  }

  void ShowPlan()
  {
    API_WindowInfo plan;
    plan.typeID = APIWind_FloorPlanID;
    ASSERT_EQ(host.UserShowWindow(plan), NoError);
  }

  // The worksheet output leaves its last sheet in front; in a shared
  // project every element of the plan is held by the owner given.
  void SetFront(Front front)
  {
    if (front == Front::Sheet) {
      ShowPlan();
      Output(false);
      ASSERT_NE(pln::host::TheModel().currentDatabase.typeID, APIWind_FloorPlanID);
      return;
    }
    if (front == Front::Layout) {
      API_WindowInfo window;
      window.typeID = APIWind_LayoutID;
      window.databaseUnId = NewLayout();
      ASSERT_EQ(host.UserShowWindow(window), NoError);
      return;
    }
    host.SetTeamwork(true, true, kThisUser);
    ClosePages();
    ASSERT_EQ(host.UserChooseMenuItem(kMenuResId, 1), NoError);
    if (!Palette().IsToolPaletteOpened()) {
      ASSERT_EQ(host.UserChooseMenuItem(kMenuResId, 1), NoError);
    }
    const bool later = front == Front::LaterFigureHeldByOther || front == Front::LaterFigureHeldByNobody;
    SetOwners(front == Front::HeldByOther                 ? kOtherUser
              : front == Front::Reserved || later ? kThisUser
                                                          : 0);
    const auto& figures = Doc().m_FloorParamArray.Search(0)->m_Area1ObjectArray;
    if (front == Front::FirstFigureHeldByOther)
      host.SetOwner(figures.front()->m_Element.header.guid, kOtherUser);
    if (later)
      host.SetOwner(LaterFigure(), front == Front::LaterFigureHeldByOther ? kOtherUser : 0);
    Palette().ElementReservationChangeHandler();
  }

  // Figure 5 of 1階 in list order.
  API_Guid LaterFigure() { return InListOrder(*Doc().m_FloorParamArray.Search(0)).at(4)->m_Element.header.guid; }

  // The last alert since the count given, the questions the user answers
  // aside.
  std::string LastAlert(std::size_t from) const
  {
    std::string last;
    for (std::size_t a = from; a < host.Alerts().size(); ++a)
      if (host.Alerts()[a].buttons[1].IsEmpty())
        last = host.Alerts()[a].largeText.ToStdString(CC_UTF8);
    return last;
  }

  void SetOwners(short owner)
  {
    const API_DatabaseUnId plan = pln::host::FloorPlanDatabaseId();
    for (const auto& [guid, element] : pln::host::TheModel().elements)
      if (!element.deleted && element.database == plan)
        host.SetOwner(guid, owner);
    Palette().ElementReservationChangeHandler();
  }

  // Done: something changed without an alert; Undo of the command's steps
  // gives the state before, Redo the state after, and a reopen what was
  // shown.
  void ExpectDone(const std::string& before, const Orders& orderBefore, const HostState& hostBefore,
                  const std::string& shown, std::size_t steps, const std::string& alert)
  {
    ASSERT_FALSE(shown == before) << "nothing was done; alert: " << alert;
    EXPECT_EQ(alert, "");
    EXPECT_EQ(PlanFaults(), "");
    ASSERT_GT(host.UndoNames().size(), steps);
    // Only the list's own step puts the figures in another order.
    const auto& names = host.UndoNames();
    if (std::find(names.begin() + static_cast<std::ptrdiff_t>(steps), names.end(),
                  GS::UniString(CPlenimetraFunc2::kListStep)) == names.end()) {
      EXPECT_EQ(OrderFaults(orderBefore, ListOrders()), "");
    }
    const std::size_t added = host.UndoNames().size() - steps;
    for (std::size_t k = 0; k < added; ++k)
      ASSERT_EQ(host.UserUndo(), NoError);
    EXPECT_TRUE(Shown(flow) == before) << "Undo does not give the state before: " << NewLines(before, Shown(flow));
    const HostState undone = Unowned(Host(host));
    EXPECT_TRUE(undone.live == Unowned(hostBefore).live)
        << "Undo does not give the elements before: " << HostChanges(Unowned(hostBefore), undone);
    for (std::size_t k = 0; k < added; ++k)
      ASSERT_EQ(host.UserRedo(), NoError);
    EXPECT_TRUE(Shown(flow) == shown) << "Redo does not give the state after: " << NewLines(shown, Shown(flow));
    EXPECT_EQ(PlanFaults(), "");
    SaveCloseReopen();
    EXPECT_TRUE(Shown(flow) == shown) << "a reopen does not give the state shown: " << NewLines(shown, Shown(flow));
  }

  // The plan edit is followed (the figure gone), no figure is renumbered,
  // the alert says how to reserve, nobody's holding changes but for what
  // the edit removed, and Undo and a reopen agree with what was shown.
  void ExpectNumbersKept(const std::string& before, const HostState& hostBefore, const std::string& shown,
                         std::size_t steps, const std::string& alert)
  {
    ASSERT_FALSE(shown == before) << "the plan edit was not followed";
    EXPECT_NE(alert.find("確保"), std::string::npos) << "the kept numbers are not told: " << alert;
    EXPECT_EQ(PlanFaults(), "");
    const HostState after = Host(host);
    for (const auto& [guid, element] : after.live)
      if (const auto then = hostBefore.live.find(guid); then != hostBefore.live.end()) {
        EXPECT_EQ(element.element.header.userId, then->second.element.header.userId);
        EXPECT_TRUE(element.userData == then->second.userData) << "a figure's record was rewritten";
      }
    ASSERT_GT(host.UndoNames().size(), steps);
    SaveCloseReopen();
    EXPECT_TRUE(Shown(flow) == shown) << "a reopen does not give the state shown: " << NewLines(shown, Shown(flow));
  }

  void SaveCloseReopen()
  {
    ClosePages();
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

// The live elements this user holds.
std::set<API_Guid> HeldBy(const HostState& state, short user)
{
  std::set<API_Guid> held;
  for (const auto& [guid, element] : state.live)
    if (element.element.header.userId == user)
      held.insert(guid);
  return held;
}

// The elements the user took that the command left as they were: a
// command takes only what it changes.
std::string TakenUnchanged(const HostState& before, const HostState& after, short user)
{
  const HostState was = Unowned(before), is = Unowned(after);
  std::string out;
  for (const API_Guid& guid : HeldBy(after, user))
    if (const auto then = before.live.find(guid);
        then != before.live.end() && then->second.element.header.userId != user &&
        was.live.at(guid) == is.live.at(guid))
      out += "type " + std::to_string(int(then->second.element.header.typeID)) + "; ";
  return out;
}

void SelectFigures(DialogUser page, std::vector<short> rows) { page.SelectRows(CPlenimetraFunc1::kList, rows); }

void Release(FigureCommandPlanTest& t, bool deleteFigures)
{
  DialogUser page = t.AutoAreaPage();
  page.SelectRows(CPlenimetraFunc3::kList, {1});
  t.host.QueueDialogScript(CDlgAutoAreaRelease::ResourceId, [deleteFigures](DialogUser& dialog) {
    dialog.Check(CDlgAutoAreaRelease::kItemDeleteFigures, deleteFigures);
    dialog.Click(1);
  });
  page.Click(CPlenimetraFunc3::kRelease);
}

// The first zone of 1階 half a metre wider, as the user drags its edge.
void WidenFirstZone(FigureCommandPlanTest& t)
{
  const API_Guid zone = t.FirstZone();
  const auto* stored = t.host.Element(zone);
  std::vector<API_Coord> corners(stored->memo.coords.begin() + 1, stored->memo.coords.end() - 1);
  double right = corners.front().x;
  for (const API_Coord& c : corners)
    right = std::max(right, c.x);
  for (API_Coord& c : corners)
    if (c.x == right)
      c.x += 0.5;
  PolygonMemo outline({corners});
  ASSERT_EQ(t.host.UserSetOutline(zone, outline), NoError);
}

// The pattern 床面積, which calculates both stories, is current.
void FloorAreaPattern(FigureCommandPlanTest& t)
{
  t.ClosePages();
  ASSERT_EQ(t.host.UserChangeStory(0), NoError);
  const auto& patterns = pln::host::DialogItemState(Palette().m_PaletteID, CPlenimetraPalette::kPatterns)->entries;
  for (std::size_t entry = 0; entry < patterns.size(); ++entry)
    // A pattern whose tree changed since the last output is starred.
    if (patterns[entry].text == GS::UniString(u"床面積") || patterns[entry].text == GS::UniString(u"*床面積"))
      PaletteUser().SelectPopUp(CPlenimetraPalette::kPatterns, static_cast<short>(entry + 1));
}

// The tree page of 床面積 with the list of the radio button given.
DialogUser TreeList(FigureCommandPlanTest& t, short radio)
{
  DialogUser page = t.TreePage();
  page.SetLong(radio, 1);
  return page;
}

Int32 TreeElement(DialogUser page, const char16_t* name)
{
  const GS::UniString prefix = GS::UniString(name) + u"[";
  for (const auto& [id, item] : pln::host::DialogItemState(page.DialogId(), CPlenimetraFunc2::ITEM_TREE)->tree.items)
    if (item.text.GetPrefix(prefix.GetLength()) == prefix)
      return id;
  ADD_FAILURE() << "no tree element " << GS::UniString(name).ToStdString(CC_UTF8);
  return 0;
}

short EntryNamed(DialogUser page, short item, const char16_t* text)
{
  const auto& entries = pln::host::DialogItemState(page.DialogId(), item)->entries;
  for (std::size_t entry = 0; entry < entries.size(); ++entry)
    if (entries[entry].text == GS::UniString(text))
      return static_cast<short>(entry + 1);
  ADD_FAILURE() << "no entry " << GS::UniString(text).ToStdString(CC_UTF8);
  return 1;
}

// The row (from 1) of the list item whose some column reads the text.
short RowNamed(short dialogId, short list, const char16_t* text)
{
  const auto& rows = pln::host::DialogItemState(dialogId, list)->list.rows;
  for (std::size_t row = 0; row < rows.size(); ++row)
    for (const auto& [column, cell] : rows[row].texts)
      if (cell == GS::UniString(text))
        return static_cast<short>(row + 1);
  ADD_FAILURE() << "no row " << GS::UniString(text).ToStdString(CC_UTF8);
  return 1;
}

void SelectAreaRow(DialogUser page, const char16_t* name)
{
  const short list = CPlenimetraFunc2::ITEM_AREA_LIST;
  page.SelectRows(list, {RowNamed(page.DialogId(), list, name)});
}

// 非居室 of 床面積 takes placed figures on 1階 instead of automatic areas.
void NonLivingTakesFigures(FigureCommandPlanTest& t)
{
  FloorAreaPattern(t);
  DialogUser page = TreeList(t, CPlenimetraFunc2::ITEM_RADIO_AREA);
  SelectAreaRow(page, u"非居室");
  const short figuresOnly = EntryNamed(page, CPlenimetraFunc2::ITEM_AREA_TYPE, u"求積区画");
  page.SelectPopUp(CPlenimetraFunc2::ITEM_AREA_TYPE, figuresOnly);
  t.ClosePages();
}

// 居室 and 非居室 of 床面積 in colours of their own, which the figures
// entering or leaving them change to or from; their figures take them.
void ColourElements(FigureCommandPlanTest& t)
{
  DialogUser page = TreeList(t, CPlenimetraFunc2::ITEM_RADIO_AREA);
  SelectAreaRow(page, u"居室");
  page.SetLong(CPlenimetraFunc2::ITEM_AREA_COLOR, 5);
  SelectAreaRow(page, u"非居室");
  page.SetLong(CPlenimetraFunc2::ITEM_AREA_COLOR, 6);
  t.ClosePages();
}

void ColouredElements(FigureCommandPlanTest& t)
{
  FloorAreaPattern(t);
  ColourElements(t);
}

void ColouredNonLivingTakesFigures(FigureCommandPlanTest& t)
{
  NonLivingTakesFigures(t);
  ColourElements(t);
}

// The automatic-area rows of 1階 given to the element by the operator
// pop-up, or taken from it.
void AutoAreaOperator(FigureCommandPlanTest& t, const char16_t* element, std::vector<short> rows,
                      const char16_t* op)
{
  DialogUser page = TreeList(t, CPlenimetraFunc2::ITEM_RADIO_AUTO);
  page.SelectTreeItems(CPlenimetraFunc2::ITEM_TREE, {TreeElement(page, element)});
  page.SelectRows(CPlenimetraFunc2::ITEM_AUTO_LIST, rows);
  page.SelectPopUp(CPlenimetraFunc2::ITEM_AUTO_OPERATOR, EntryNamed(page, CPlenimetraFunc2::ITEM_AUTO_OPERATOR, op));
}

// Figures 1 and 2 of 1階 selected in the detail list, with 非居室 selected
// in the tree.
DialogUser NonLivingDetail(FigureCommandPlanTest& t)
{
  DialogUser page = TreeList(t, CPlenimetraFunc2::ITEM_RADIO_DETAIL);
  page.SelectTreeItems(CPlenimetraFunc2::ITEM_TREE, {TreeElement(page, u"非居室")});
  page.SelectRows(CPlenimetraFunc2::ITEM_DETAIL_LIST, {1, 2});
  return page;
}

// The target dialog of 1階's first automatic area: 非居室 checked, then
// OK or Cancel.
void TargetDialog(FigureCommandPlanTest& t, short button)
{
  DialogUser page = TreeList(t, CPlenimetraFunc2::ITEM_RADIO_AUTO);
  page.SelectRows(CPlenimetraFunc2::ITEM_AUTO_LIST, {1});
  t.host.QueueDialogScript(CDlgEditArea2Target::ResourceId, [button](DialogUser& dialog) {
    dialog.SelectRows(4, {RowNamed(dialog.DialogId(), 4, u"非居室")});
    dialog.Check(3, true);
    dialog.Click(button);
  });
  page.Click(CPlenimetraFunc2::ITEM_AUTO_TARGET);
}

// The user drags row 1 of 1階's figure list below row 5.
void ReorderFigures(FigureCommandPlanTest& t)
{
  ASSERT_EQ(t.host.UserChangeStory(0), NoError);
  DialogUser page = t.FigurePage();
  SelectFigures(page, {1});
  page.DragAndDrop(CPlenimetraFunc1::kList, CPlenimetraFunc1::kList, 5, DG_DRAG_INSERT_UNDER);
  t.ClosePages();
}

// The settings with another row height of the total-area table, which every
// figure's rewrite follows; the question to apply them answered.
void RowHeightSettings(FigureCommandPlanTest& t, short answer)
{
  t.host.QueueDialogScript(CDlgEnvironment::ResourceId, [](DialogUser& dialog) {
    dialog.TabPage(7, 6).SetLong(4, 9);
    dialog.Click(1);
  });
  t.ClosePages();
  t.host.QueueAlertAnswer(answer);
  PaletteUser().Click(CPlenimetraPalette::kSettings);
}

void FillPensOffSettings(FigureCommandPlanTest& t)
{
  t.host.QueueDialogScript(CDlgEnvironment::ResourceId, [](DialogUser& dialog) {
    dialog.TabPage(7, 4).Check(28, true);
    dialog.Click(1);
  });
  t.ClosePages();
  t.host.QueueAlertAnswer(1);
  PaletteUser().Click(CPlenimetraPalette::kSettings);
}

void PlaceTriangle(FigureCommandPlanTest& t)
{
  t.host.QueuePick({110, 100, 0});
  t.host.QueuePick({114, 100, 0});
  t.host.QueuePick({111, 103, 0});
  t.FigurePage().Click(CPlenimetraFunc1::kTriangle);
}

// A rounding table that cuts lengths to millimetres, offered on the
// palette.
void AddRoundingTable(FigureCommandPlanTest& t)
{
  CRoundTypeParam& table = Doc().m_EnvParam.m_RoundTypeParamArray.AddNew(GS::UniString(u"3桁"));
  table.m_LengthRoundType = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 3);
  t.ClosePages();
  Palette().SetRoundTypeItem(Palette().m_PaletteID);
  ASSERT_EQ(Doc().SaveData(), NoError);
}

void ChooseLastRoundingTable(FigureCommandPlanTest& t)
{
  t.ClosePages();
  const short palette = Palette().m_PaletteID;
  PaletteUser().SelectPopUp(CPlenimetraPalette::kRounding, DGPopUpGetItemCount(palette, CPlenimetraPalette::kRounding));
}

// Numbers fill the gaps a deleted figure leaves.
void FillGaps(FigureCommandPlanTest& t)
{
  t.ClosePages();
  Doc().m_EnvParam.m_NumberFillGaps = true;
  ASSERT_EQ(Doc().SaveData(), NoError);
}

// Figure k (from 1) of 1階 in list order, its layer shown and open, as the
// user makes it before editing the figure on the plan.
API_Guid PlanFigure(FigureCommandPlanTest& t, std::size_t k)
{
  const API_Guid guid = InListOrder(*Doc().m_FloorParamArray.Search(0)).at(k - 1)->m_Element.header.guid;
  EXPECT_EQ(t.host.SetLayerFlags(t.host.Element(guid)->element.header.layer, 0), NoError);
  return guid;
}

// Outcomes with a worksheet or layout in front, held by another user, by
// nobody, the first figure held by another user, figure 5 held by another
// user and by nobody, and the elements this user holds after the command
// where nobody held any.
using enum Outcome;

const Command kCommands[] = {
    // Placing needs the plan in front, where the user picks the points.
    {"Place", {}, PlaceTriangle, Refused, Done, Done, Done, Done, Done, 1},
    // The new figure comes last; the others keep the user's order.
    {"PlaceAfterReorder", ReorderFigures, PlaceTriangle, Refused, Done, Done, Done, Done, Done, 1},
    {"Rotate", {},
     [](auto& t) {
       DialogUser page = t.FigurePage();
       SelectFigures(page, {12});
       page.Click(CPlenimetraFunc1::kRotate);
     },
     Done, Refused, Done, Done, Done, Done, 1},
    // Only the triangle turns: the rectangle selected with it is neither
    // taken nor able to refuse it.
    {"RotateWithRectangle", {},
     [](auto& t) {
       DialogUser page = t.FigurePage();
       SelectFigures(page, {1, 12});
       page.Click(CPlenimetraFunc1::kRotate);
     },
     Done, Refused, Done, Done, Done, Done, 1},
    {"Delete", {},
     [](auto& t) {
       DialogUser page = t.FigurePage();
       SelectFigures(page, {2, 6});
       page.Click(CPlenimetraFunc1::kDelete);
     },
     Done, Refused, Done, Done, Refused, Done, 9},
    {"Mark", {},
     [](auto& t) {
       DialogUser page = t.FigurePage();
       SelectFigures(page, {1});
       const auto& entries = pln::host::DialogItemState(page.DialogId(), CPlenimetraFunc1::kMarkEditor)->entries;
       page.SelectPopUp(CPlenimetraFunc1::kMarkEditor, static_cast<short>(entries.size()));
     },
     Done, Refused, Done, Refused, Done, Done, 1},
    // Takes what it reorders, as the page's other commands do.
    {"Sort", {}, [](auto& t) { t.FigurePage().HeaderClick(CPlenimetraFunc1::kList, 5); }, Done, Refused, Done,
     Refused, Refused, Done, 12},
    {"Drag", {},
     [](auto& t) {
       DialogUser page = t.FigurePage();
       SelectFigures(page, {6});
       page.DragAndDrop(CPlenimetraFunc1::kList, CPlenimetraFunc1::kList, 0, DG_DRAG_INSERT_ABOVE);
     },
     Done, Refused, Done, Refused, Refused, Done, 6},
    {"RenumberSelection", {},
     [](auto& t) {
       t.host.QueueDialogScript(CDlgRenumbering::ResourceId, [](DialogUser& dialog) {
         dialog.SetLong(CDlgRenumbering::kItemStartNo, 20);
         dialog.Click(1);
       });
       DialogUser page = t.FigurePage();
       SelectFigures(page, {12});
       page.Click(CPlenimetraFunc1::kRenumber);
     },
     Done, Refused, Done, Done, Done, Done, 1},
    // Takes what it reorders, as the page's other commands do.
    {"DetailSort", {},
     [](auto& t) {
       DialogUser page = t.TreePage();
       page.SetLong(CPlenimetraFunc2::ITEM_RADIO_DETAIL, 1);
       page.HeaderClick(CPlenimetraFunc2::ITEM_DETAIL_LIST, 6);
     },
     Done, Refused, Done, Refused, Done, Done, 9},
    {"AutoAreaCreate", {},
     [](auto& t) {
       DialogUser page = t.AutoAreaPage();
       ASSERT_EQ(t.host.UserSelect({t.FirstZone()}), NoError);
       t.host.QueueDialogScript(CDlgAutoAreaCreate::ResourceId, [](DialogUser& dialog) {
         dialog.SetLong(CDlgAutoAreaCreate::kItemCutFirst, 1);
         dialog.Click(1);
       });
       page.Click(CPlenimetraFunc3::kCreate);
     },
     Done, Refused, Done, Refused, Refused, Done, 15},
    // Cut again, the last zone renumbers none of the story's other figures:
    // guarded while it cuts, they are given back.
    {"AutoAreaCreateLastZone", {},
     [](auto& t) {
       DialogUser page = t.AutoAreaPage();
       ASSERT_EQ(t.host.UserSelect({Doc().m_FloorParamArray.Search(0)->m_AutoAreaParamArray.back().GetGuid()}), NoError);
       t.host.QueueDialogScript(CDlgAutoAreaCreate::ResourceId, [](DialogUser& dialog) {
         dialog.SetLong(CDlgAutoAreaCreate::kItemCutFirst + 1, 1);
         dialog.Click(1);
       });
       page.Click(CPlenimetraFunc3::kCreate);
     },
     Done, Refused, Done, Refused, Refused, Done, 3},
    {"AutoAreaUpdate", WidenFirstZone,
     [](auto& t) {
       DialogUser page = t.AutoAreaPage();
       page.SelectRows(CPlenimetraFunc3::kList, {1});
       page.Click(CPlenimetraFunc3::kUpdate);
     },
     Done, Refused, Done, Refused, Refused, Done, 12},
    {"ReleaseDeleting", {}, [](auto& t) { Release(t, true); }, Done, Refused, Done, Refused, Refused, Done, 11},
    // The kept figures keep their places: no other figure is taken.
    {"ReleaseKeeping", {}, [](auto& t) { Release(t, false); }, Done, Refused, Done, Refused, Done, Done, 3},
    // 1階 onto 2階, which the pattern 床面積 calculates.
    {"FloorCopy", FloorAreaPattern,
     [](auto& t) {
       t.host.QueueDialogScript(CDlgFloorCopy::ResourceId, [](DialogUser& dialog) {
         dialog.SelectRows(7, {RowNamed(dialog.DialogId(), 7, u"2階")});
         dialog.Check(6, true);
         dialog.Click(1);
       });
       t.ClosePages();
       PaletteUser().Click(CPlenimetraPalette::kFloorCopy);
     },
     Refused, Refused, Done, Done, Done, Done, 12},
    // The tree page's lists: each recolours the figures of the element it
    // changes, on every story, and the figures it takes out.
    {"AutoAreaDrop", ColouredElements,
     [](auto& t) {
       DialogUser page = TreeList(t, CPlenimetraFunc2::ITEM_RADIO_AUTO);
       page.SelectRows(CPlenimetraFunc2::ITEM_AUTO_LIST, {1, 2});
       page.DragAndDrop(CPlenimetraFunc2::ITEM_AUTO_LIST, CPlenimetraFunc2::ITEM_TREE, TreeElement(page, u"非居室"),
                        DG_DRAG_INSERT_ON);
     },
     Done, Refused, Done, Refused, Done, Done, 3},
    {"AutoAreaOperator", ColouredElements, [](auto& t) { AutoAreaOperator(t, u"非居室", {1, 2}, u"+"); }, Done,
     Refused, Done, Refused, Done, Done, 3},
    // 居室's areas taken out lose its colour.
    {"AutoAreaOperatorOut", ColouredElements, [](auto& t) { AutoAreaOperator(t, u"居室", {1, 2, 3}, u"未定義"); },
     Done, Refused, Done, Refused, Done, Done, 3},
    {"AutoAreaTarget", ColouredElements, [](auto& t) { TargetDialog(t, 1); }, Done, Refused, Done, Refused, Done, Done, 2},
    {"AreaPen", FloorAreaPattern,
     [](auto& t) {
       DialogUser page = TreeList(t, CPlenimetraFunc2::ITEM_RADIO_AREA);
       SelectAreaRow(page, u"居室");
       page.SetLong(CPlenimetraFunc2::ITEM_AREA_COLOR, 5);
     },
     Done, Refused, Done, Refused, Done, Done, 7},
    {"DetailOperator", ColouredNonLivingTakesFigures,
     [](auto& t) {
       DialogUser page = NonLivingDetail(t);
       page.SelectPopUp(CPlenimetraFunc2::ITEM_DETAIL_OPERATOR,
                        EntryNamed(page, CPlenimetraFunc2::ITEM_DETAIL_OPERATOR, u"+"));
     },
     Done, Refused, Done, Refused, Done, Done, 2},
    {"DetailDrop", ColouredNonLivingTakesFigures,
     [](auto& t) {
       DialogUser page = NonLivingDetail(t);
       page.DragAndDrop(CPlenimetraFunc2::ITEM_DETAIL_LIST, CPlenimetraFunc2::ITEM_TREE, TreeElement(page, u"非居室"),
                        DG_DRAG_INSERT_ON);
     },
     Done, Refused, Done, Refused, Done, Done, 2},
    // Cancelled by the user: nothing changes, nothing is held.
    {"RenumberAnsweredNo", {},
     [](auto& t) {
       t.host.QueueAlertAnswer(2);
       t.FigurePage().Click(CPlenimetraFunc1::kRenumber);
     },
     Cancelled, Cancelled, Cancelled, Cancelled, Cancelled, Cancelled, 0},
    {"RenumberDialogCancelled", {},
     [](auto& t) {
       t.host.QueueDialogScript(CDlgRenumbering::ResourceId, [](DialogUser& dialog) { dialog.Click(2); });
       DialogUser page = t.FigurePage();
       SelectFigures(page, {12});
       page.Click(CPlenimetraFunc1::kRenumber);
     },
     Cancelled, Cancelled, Cancelled, Cancelled, Cancelled, Cancelled, 0},
    {"AutoAreaTargetCancelled", FloorAreaPattern, [](auto& t) { TargetDialog(t, 2); }, Cancelled, Cancelled,
     Cancelled, Cancelled, Cancelled, Cancelled, 0},
    {"ReleaseStopped", {},
     [](auto& t) {
       t.host.QueueProgressCancel();
       Release(t, true);
     },
     Stopped, Stopped, Stopped, Stopped, Stopped, Stopped, 0},
    {"FloorCopyCancelled", FloorAreaPattern,
     [](auto& t) {
       t.host.QueueDialogScript(CDlgFloorCopy::ResourceId, [](DialogUser& dialog) { dialog.Click(2); });
       t.ClosePages();
       PaletteUser().Click(CPlenimetraPalette::kFloorCopy);
     },
     Cancelled, Cancelled, Cancelled, Cancelled, Cancelled, Cancelled, 0},
    {"SettingsAnsweredNo", {}, [](auto& t) { RowHeightSettings(t, 2); }, Cancelled, Cancelled, Cancelled, Cancelled, Cancelled, Cancelled, 0},
    // A rounding table that rounds lengths otherwise rewrites every figure;
    // to millimetres it gives the house's figures the texts they have, and
    // each is given back.
    {"RoundingTable", AddRoundingTable, ChooseLastRoundingTable, Done, Refused, Done, Refused, Refused, Done, 0},
    // Settings that rewrite every figure: the total-area table's row height.
    // The rewrites give the house's figures the texts they have: taken for
    // the rewrite, each is given back.
    {"Settings", {}, [](auto& t) { RowHeightSettings(t, 1); }, Refused, Refused, Done, Refused, Refused, Done, 0},
    // The figures' fill pens off: every figure's part changes and is taken.
    {"SettingsFillPensOff", {}, FillPensOffSettings, Refused, Refused, Done, Refused, Refused, Done, 22},
    // The sheets take no figure: a shared project's output is done.
    {"Output", {}, [](auto& t) { t.Output(false); }, Refused, Done, Done, Done, Done, Done, 72},
    // A pattern names no element: done whatever is in front.
    {"PatternInsert", {},
     [](auto& t) {
       t.host.QueueDialogScript(CDlgSelectTree::ResourceId, [](DialogUser& dialog) { dialog.Click(1); });
       t.ClosePages();
       PaletteUser().Click(CPlenimetraPalette::kInsert);
     },
     Done, Done, Done, Done, Done, Done, 0},
    // Commands that find nothing to change: 非居室 taking figures only, the
    // target dialog answered OK as it opened, the mark a figure has, a list
    // already numbered in order, the output dialog cancelled.
    {"AutoAreaDropNotTaken", NonLivingTakesFigures,
     [](auto& t) {
       DialogUser page = TreeList(t, CPlenimetraFunc2::ITEM_RADIO_AUTO);
       page.SelectRows(CPlenimetraFunc2::ITEM_AUTO_LIST, {1, 2});
       page.DragAndDrop(CPlenimetraFunc2::ITEM_AUTO_LIST, CPlenimetraFunc2::ITEM_TREE, TreeElement(page, u"非居室"),
                        DG_DRAG_INSERT_ON);
     },
     Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, 0},
    {"AutoAreaOperatorNotTaken", NonLivingTakesFigures, [](auto& t) { AutoAreaOperator(t, u"非居室", {1, 2}, u"+"); },
     Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, 0},
    {"AutoAreaTargetUnchanged", FloorAreaPattern,
     [](auto& t) {
       DialogUser page = TreeList(t, CPlenimetraFunc2::ITEM_RADIO_AUTO);
       page.SelectRows(CPlenimetraFunc2::ITEM_AUTO_LIST, {1});
       t.host.QueueDialogScript(CDlgEditArea2Target::ResourceId, [](DialogUser& dialog) { dialog.Click(1); });
       page.Click(CPlenimetraFunc2::ITEM_AUTO_TARGET);
     },
     Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, 0},
    {"MarkUnchanged", {},
     [](auto& t) {
       DialogUser page = t.FigurePage();
       SelectFigures(page, {1});
       page.SelectPopUp(CPlenimetraFunc1::kMarkEditor,
                        DGPopUpGetSelected(page.DialogId(), CPlenimetraFunc1::kMarkEditor));
     },
     Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, 0},
    // A rectangle has no base to turn.
    {"RotateRectangle", {},
     [](auto& t) {
       DialogUser page = t.FigurePage();
       SelectFigures(page, {1});
       page.Click(CPlenimetraFunc1::kRotate);
     },
     Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, 0},
    {"LineBreaksUnchanged", {},
     [](auto& t) {
       t.host.DefineDialog(CDlgEditCr1::ResourceId, CDlgEditCr1::Layout());
       t.host.QueueDialogScript(CDlgEditCr1::ResourceId, [](DialogUser& dialog) { dialog.Click(1); });
       DialogUser page = t.FigurePage();
       SelectFigures(page, {1});
       page.Click(CPlenimetraFunc1::kEditCr);
       EXPECT_EQ(pln::host::PendingDialogScripts(CDlgEditCr1::ResourceId), 0u) << "the dialog did not open";
     },
     Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, 0},
    {"AreaPenUnchanged", ColouredElements,
     [](auto& t) {
       DialogUser page = TreeList(t, CPlenimetraFunc2::ITEM_RADIO_AREA);
       SelectAreaRow(page, u"居室");
       page.SetLong(CPlenimetraFunc2::ITEM_AREA_COLOR, 5);
     },
     Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, 0},
    {"RenumberInOrder", {},
     [](auto& t) {
       t.host.QueueAlertAnswer(1);
       t.FigurePage().Click(CPlenimetraFunc1::kRenumber);
     },
     Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, Unchanged, 0},
    {"OutputCancelled", {},
     [](auto& t) {
       t.host.QueueDialogScript(CDlgOutputToWorksheet::ResourceId, [](DialogUser& dialog) { dialog.Click(2); });
       t.ClosePages();
       PaletteUser().Click(CPlenimetraPalette::kOutput);
     },
     Cancelled, Cancelled, Cancelled, Cancelled, Cancelled, Cancelled, 0},
    // Plan edits the add-on follows, numbers filling gaps: the host refuses
    // the user's edit of a figure the user does not hold. Deleting figure 1
    // moves every later number up, figure 5's too: taken when free, else no
    // number of the story moves. Deleting figure 8 leaves figure 5 alone.
    {"PlanDelete", FillGaps, [](auto& t) { static_cast<void>(t.host.UserDelete({PlanFigure(t, 1)})); }, Done,
     Cancelled, Cancelled, Cancelled, NumbersKept, Done, 0},
    {"PlanDeleteAfterHeld", FillGaps, [](auto& t) { static_cast<void>(t.host.UserDelete({PlanFigure(t, 8)})); },
     Done, Cancelled, Cancelled, Cancelled, Done, Done, 0},
    {"PlanMove", FillGaps,
     [](auto& t) { static_cast<void>(t.host.UserMove({PlanFigure(t, 1)}, API_Coord{0.5, 0.25})); }, Done,
     Cancelled, Cancelled, Cancelled, Done, Done, 0},
};

const Command& CommandNamed(const std::string& name)
{
  return *std::find_if(std::begin(kCommands), std::end(kCommands),
                       [&](const Command& command) { return command.name == name; });
}

TEST_P(FigureCommandPlanTest, IsDoneOnThePlanOrRefusedWholeAndUndoAndReopenAgree)
{
  const Command& command = CommandNamed(std::get<0>(GetParam()));
  const Front front = std::get<1>(GetParam());
  if (command.prepare)
    command.prepare(*this);
  SetFront(front);
  // Held by this user, a command goes as held by nobody, where only one
  // that asks for no reservation is refused.
  const Outcome expected = front == Front::Sheet || front == Front::Layout ? command.sheet
                           : front == Front::HeldByOther                 ? command.held
                           : front == Front::HeldByNobody                ? command.free
                           : front == Front::FirstFigureHeldByOther      ? command.first
                           : front == Front::LaterFigureHeldByOther      ? command.later
                           : front == Front::LaterFigureHeldByNobody     ? command.laterFree
                           : command.laterFree == Outcome::Refused       ? Outcome::Done
                                                                         : command.laterFree;
  const std::string before = Shown(flow);
  const Orders orderBefore = ListOrders();
  // The record as this state writes it: a refusal that saves the document
  // it did not change writes the same bytes.
  ASSERT_EQ(Doc().SaveData(), NoError);
  const HostState hostBefore = Host(host);
  const API_DatabaseInfo current = pln::host::TheModel().currentDatabase;
  const std::size_t alerts = host.Alerts().size();
  const std::size_t steps = host.UndoNames().size();

  command.act(*this);
  const std::string shown = Shown(flow);
  const HostState hostAfter = Host(host);
  if (front == Front::HeldByNobody) {
    EXPECT_EQ(HeldBy(hostAfter, kThisUser).size(), std::size_t(command.heldAfter));
  }
  EXPECT_EQ(TakenUnchanged(hostBefore, hostAfter, kThisUser), "") << "taken, not changed";
  if (expected == Outcome::NumbersKept) {
    ExpectNumbersKept(before, hostBefore, shown, steps, LastAlert(alerts));
    return;
  }
  // The window in front is the current database again; the output
  // leaves its last sheet in front.
  const bool output = std::string(command.name) == "Output";
  if (!output || expected != Outcome::Done) {
    EXPECT_TRUE(pln::host::TheModel().currentDatabase.databaseUnId == current.databaseUnId);
  }
  const std::string alert = LastAlert(alerts);
  if (expected == Outcome::Done) {
    ExpectDone(before, orderBefore, hostBefore, shown, steps, alert);
    return;
  }
  EXPECT_TRUE(shown == before) << "not done, yet the calculation changed: " << NewLines(before, shown)
                               << "alert: " << alert;
  EXPECT_TRUE(hostAfter == hostBefore) << "not done, yet the host changed: " << HostChanges(hostBefore, hostAfter)
                                       << "alert: " << alert;
  EXPECT_EQ(host.UndoNames().size(), steps) << "a step was recorded: " << host.UndoNames().back().ToStdString(CC_UTF8);
  if (expected == Outcome::Cancelled || expected == Outcome::Stopped) {
    EXPECT_EQ(alert.empty(), expected == Outcome::Cancelled) << alert;
    return;
  }
  if (expected == Outcome::Unchanged) {
    EXPECT_EQ(alert.find("確保"), std::string::npos) << alert;
    return;
  }
  if (front == Front::Sheet || front == Front::Layout)
    return;
  EXPECT_NE(alert.find("確保"), std::string::npos) << "the refusal does not say how to reserve: " << alert;
  // The user reserves as told and tries again: the command is done.
  SetOwners(kThisUser);
  const HostState reserved = Host(host);
  const std::size_t retried = host.Alerts().size();
  command.act(*this);
  ExpectDone(before, orderBefore, reserved, Shown(flow), steps, LastAlert(retried));
}

std::string FrontName(Front front)
{
  switch (front) {
  case Front::Sheet: return "_SheetInFront";
  case Front::Layout: return "_LayoutInFront";
  case Front::HeldByOther: return "_HeldByOther";
  case Front::HeldByNobody: return "_HeldByNobody";
  case Front::FirstFigureHeldByOther: return "_FirstFigureHeldByOther";
  case Front::LaterFigureHeldByOther: return "_LaterFigureHeldByOther";
  case Front::LaterFigureHeldByNobody: return "_LaterFigureHeldByNobody";
  default: return "_Reserved";
  }
}

std::vector<const char*> CommandNames()
{
  std::vector<const char*> names;
  for (const Command& command : kCommands)
    names.push_back(command.name);
  return names;
}

INSTANTIATE_TEST_SUITE_P(
    EveryFigureCommand, FigureCommandPlanTest,
    ::testing::Combine(::testing::ValuesIn(CommandNames()),
                       ::testing::Values(Front::Sheet, Front::Layout, Front::HeldByOther, Front::HeldByNobody,
                                         Front::FirstFigureHeldByOther, Front::Reserved,
                                         Front::LaterFigureHeldByOther, Front::LaterFigureHeldByNobody)),
    [](const auto& testInfo) {
      return std::string(std::get<0>(testInfo.param)) + FrontName(std::get<1>(testInfo.param));
    });

}  // namespace

namespace {

using FigureCommandSheetTest = FigureCommandPlanTest;

// A closed polyline the user draws on the worksheet in front and selects
// belongs to no story: the creation cuts nothing from it, anywhere.
TEST_F(FigureCommandSheetTest, AnOutlineDrawnOnAWorksheetIsNoSource)
{
  SetFront(Front::Sheet);
  DialogUser page = AutoAreaPage();
  PolygonMemo outline({{API_Coord{100, 100}, API_Coord{102, 100}, API_Coord{102, 103}, API_Coord{100, 103}}});
  API_Element polyline;
  polyline.header.typeID = API_PolyLineID;
  polyline.header.layer = 1;
  polyline.polyLine.poly = outline.Polygon();
  ASSERT_EQ(host.UserPlace(polyline, outline.Memo()), NoError);
  ASSERT_EQ(host.UserSelect({polyline.header.guid}), NoError);
  const std::string before = Shown(flow);
  const HostState hostBefore = Host(host);
  host.QueueDialogScript(CDlgAutoAreaCreate::ResourceId, [](DialogUser& dialog) { dialog.Click(1); });
  page.Click(CPlenimetraFunc3::kCreate);
  EXPECT_EQ(Shown(flow), before);
  EXPECT_TRUE(Host(host).live == hostBefore.live);
  EXPECT_EQ(PlanFaults(), "");
}

}  // namespace
