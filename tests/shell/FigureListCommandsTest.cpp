// The figure list's commands on placed figures: base rotation, formula
// line breaks, deletion, their refusal in teamwork, and the in-list edits.

#include "FigureListTestSupport.h"

#include "CDlgEditCr.h"

#include <map>
#include <optional>
#include <tuple>

namespace {

using pln::host::DialogUser;

class FigureCommandsTest : public FigureListTest {
protected:
  // Three triangles 0, 1, 2, then a circle, when asked.
  void PlaceMixed()
  {
    PlaceTriangles(1);
    Picks({{20, 0}, {22, 0}});
    page().Click(CPlenimetraFunc1::kTriangle + 4);
  }
  std::vector<GS::UniString> Formulas() const { return Column(4); }
};

// A placement adds only its own row: the list is then as a rebuild fills
// it, row by row, with the figure each row stands for, on the plan or by
// the page, after a reorder too.
TEST_F(FigureCommandsTest, APlacedFiguresRowIsTheOneARebuildGives)
{
  const auto shown = [&] {
    std::vector<std::tuple<std::map<short, GS::UniString>, DGUserData, bool, std::optional<DGColor16>>> rows;
    for (const pln::host::DGListRow& row : Rows())
      rows.emplace_back(row.texts, row.userData, row.selected, row.color);
    return rows;
  };
  PlaceMixed();
  page().SelectRows(25, {1});
  page().DragAndDrop(25, 25, 2, DG_DRAG_INSERT_UNDER);
  PlaceTriangles(1);
  ASSERT_EQ(Figures(0).size(), 3u);
  const auto placed = shown();
  palette().SendUpdateMessage(Hint::ElementsChanged);
  EXPECT_TRUE(shown() == placed);
  EXPECT_EQ(Rows().back().userData, static_cast<DGUserData>(reinterpret_cast<std::intptr_t>(Figures(0).back().get())));
}

TEST_F(FigureCommandsTest, RotationTurnsOnlyTrianglesAndThreeTurnsComeBack)
{
  PlaceMixed();
  const std::vector<GS::UniString> before = Formulas();
  page().SelectRows(25, {1, 2});
  const std::size_t steps = host.UndoNames().size();
  page().Click(CPlenimetraFunc1::kRotate);
  EXPECT_EQ(host.UndoNames().size(), steps + 1);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[底辺回転]"));
  EXPECT_NE(Formulas()[0], before[0]);
  EXPECT_EQ(Formulas()[1], before[1]);
  for (int turn = 0; turn < 2; ++turn) {
    page().SelectRows(25, {1, 2});
    page().Click(CPlenimetraFunc1::kRotate);
  }
  EXPECT_EQ(Formulas(), before);
}

TEST_F(FigureCommandsTest, LineBreaksAskForExactlyOneRowAndWriteTheRecordOnly)
{
  host.DefineDialog(CDlgEditCr1::ResourceId, CDlgEditCr1::Layout());
  PlaceTriangles(2);
  page().SelectRows(25, {1, 2});
  page().Click(CPlenimetraFunc1::kEditCr);
  EXPECT_EQ(pln::host::PendingDialogScripts(CDlgEditCr1::ResourceId), 0u);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[求積図形作成]"));

  host.QueueDialogScript(CDlgEditCr1::ResourceId, [](DialogUser& user) {
    user.SetLong(4, 1);  // by hand
    user.SelectRows(7, {1});
    user.Check(5, true);
    user.Click(1);
  });
  page().SelectRows(25, {2});
  host.ClearChangeRecords();
  page().Click(CPlenimetraFunc1::kEditCr);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[改行]"));
  const CArea1Object& figure = *Figures(0)[1];
  EXPECT_FALSE(figure.m_bAutoCr);
  ASSERT_FALSE(figure.m_Cr.empty());
  EXPECT_TRUE(figure.m_Cr[0].m_bCr);
  EXPECT_TRUE(host.ParamChanges().empty());
  EXPECT_EQ(Cell(2, 9), GS::UniString(u"手動"));
  EXPECT_EQ(Cell(2, 4).ToStdString(CC_UTF8), "4.000#×3.000÷2");
}

TEST_F(FigureCommandsTest, DeletingTheMiddleFigureClosesTheGapOnlyWhenGapsAreFilled)
{
  for (const bool sequential : {false, true}) {
    SCOPED_TRACE(sequential);
    SetSequential(sequential);
    host.UserDelete(Guids({}));
    PlaceTriangles(3);
    page().SelectRows(25, {2});
    page().Click(CPlenimetraFunc1::kDelete);
    EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[求積図形削除]"));
    EXPECT_EQ(Numbers(0), sequential ? (std::vector<int>{0, 1}) : (std::vector<int>{0, 2}));
    EXPECT_EQ(Column(3), sequential ? (std::vector<GS::UniString>{u"○1", u"○2"})
                                    : (std::vector<GS::UniString>{u"○1", u"○3"}));
    EXPECT_EQ(Label(*Figures(0)[1], "area_symbol_str"), sequential ? u"2" : u"3");
    page().SelectRows(25, {1, 2});
    page().Click(CPlenimetraFunc1::kDelete);
    EXPECT_TRUE(Rows().empty());
  }
}

TEST_F(FigureCommandsTest, AFigureHeldByAnotherUserStopsRotationLineBreaksAndDeletion)
{
  host.DefineDialog(CDlgEditCr1::ResourceId, CDlgEditCr1::Layout());
  ShareProject();
  PlaceTriangles(2);
  host.SetOwner(Figures(0)[1]->m_Element.header.guid, 7);
  const std::vector<GS::UniString> formulas = Formulas();
  const auto command = [&](short button) {
    page().SelectRows(25, {2});
    page().Click(button);
  };
  host.QueueDialogScript(CDlgEditCr1::ResourceId, [](DialogUser& user) {
    user.SetLong(4, 1);
    user.Click(1);
  });
  for (short button : {CPlenimetraFunc1::kRotate, CPlenimetraFunc1::kEditCr, CPlenimetraFunc1::kDelete})
    command(button);
  EXPECT_EQ(pln::host::Alerts().size(), 3u);
  EXPECT_FALSE(host.Progress().open);
  EXPECT_EQ(Formulas(), formulas);
  EXPECT_EQ(Numbers(0), (std::vector<int>{0, 1}));
  EXPECT_TRUE(Figures(0)[1]->m_bAutoCr);
}


TEST_F(FigureCommandsTest, AMarkChangeNumbersTheFigureInItsNewPairAndRewritesOnlyWhatChanged)
{
  struct Case {
    bool sequential;
    std::vector<int> numbers;
    std::size_t rewritten;
  };
  for (const Case& c : {Case{false, {0, 0, 2}, 1}, Case{true, {0, 0, 1}, 2}}) {
    SCOPED_TRACE(c.sequential);
    SetSequential(c.sequential);
    host.UserDelete(Guids({}));
    PlaceTriangles(3);
    page().SelectRows(25, {2});
    host.ClearCallLog();
    page().SelectPopUp(3, Entry(3, u"□"));
    EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[記号変更]"));
    EXPECT_EQ(Numbers(0), c.numbers);
    EXPECT_EQ(Column(3), (std::vector<GS::UniString>{u"○1", u"□1", c.sequential ? u"○2" : u"○3"}));
    EXPECT_EQ(std::count(host.CallLog().begin(), host.CallLog().end(), std::string("ACAPI_Goodies:OPAR")),
              static_cast<std::ptrdiff_t>(c.rewritten));
    EXPECT_EQ(PageItem(22).valLong, c.sequential ? 3 : 4);
    page().SelectRows(25, {1, 2, 3});
    page().Click(CPlenimetraFunc1::kDelete);
  }
}

TEST_F(FigureCommandsTest, TheUndefinedEntryChangesNothingAndTheEditorShowsTheValueAgain)
{
  PlaceTriangles(2);
  page().SelectRows(25, {2});
  const std::size_t steps = host.UndoNames().size();
  for (short editor : {CPlenimetraFunc1::kRoundEditor, CPlenimetraFunc1::kMarkEditor, CPlenimetraFunc1::kStyleEditor}) {
    const short shown = PageItem(editor).selectedEntry;
    page().SelectPopUp(editor, Entry(editor, u"未定義"));
    EXPECT_EQ(PageItem(editor).selectedEntry, shown) << editor;
  }
  EXPECT_EQ(host.UndoNames().size(), steps);
  EXPECT_EQ(Numbers(0), (std::vector<int>{0, 1}));
  EXPECT_EQ(Figures(0)[1]->m_ItemType1, CItemType1Table::ITEMTYPE_CIRCLE);
}

TEST_F(FigureCommandsTest, RoundingAndManualBreaksChangeTheSelectedRowsOnly)
{
  PlaceTriangles(3);
  page().SelectRows(25, {1, 3});
  host.ClearChangeRecords();
  page().SelectPopUp(2, Entry(2, u"四捨五入"));
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[端数処理]"));
  EXPECT_EQ(Column(6), (std::vector<GS::UniString>{u"四捨五入", u"デフォルト", u"四捨五入"}));
  EXPECT_EQ(Column(7), (std::vector<GS::UniString>{u"*6.000000", u"6.000000", u"*6.000000"}));
  EXPECT_TRUE(host.ParamChanges().empty());

  Figures(0)[0]->m_Cr = CCrMarkArray{CCrMark(true), CCrMark(false)};
  page().SelectPopUp(5, Entry(5, u"手動"));
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[改行]"));
  EXPECT_EQ(Column(9), (std::vector<GS::UniString>{u"手動", u"自動", u"手動"}));
  EXPECT_TRUE(Figures(0)[0]->m_Cr[0].m_bCr);
  EXPECT_TRUE(host.ParamChanges().empty());
}

// Every figure whose number may move is reserved before anything changes.
TEST_F(FigureCommandsTest, AMarkChangeReservesFirstAndAHeldFigureChangesNothing)
{
  ShareProject();
  SetSequential(true);
  PlaceTriangles(3);
  host.SetOwner(Figures(0)[2]->m_Element.header.guid, 7);
  page().SelectRows(25, {2});
  host.ClearChangeRecords();
  page().SelectPopUp(3, Entry(3, u"□"));
  ASSERT_EQ(pln::host::Alerts().size(), 1u);
  EXPECT_FALSE(host.Progress().open);
  EXPECT_EQ(Numbers(0), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Figures(0)[1]->m_ItemType1, CItemType1Table::ITEMTYPE_CIRCLE);
  EXPECT_TRUE(host.ParamChanges().empty());
  EXPECT_EQ(Label(*Figures(0)[2], "area_symbol_str"), u"3");
}

}  // namespace

namespace {

// A story added while the palette is open has no floor record until a
// command that edits takes one.
TEST_F(FigureCommandsTest, EveryButtonAndCommandWorksOnAStoryAddedWhileThePaletteIsOpen)
{
  ASSERT_EQ(host.AddStory(3, 9.0, u"4F"), NoError);
  ASSERT_EQ(host.UserChangeStory(3), NoError);
  const std::vector<std::pair<short, std::vector<API_Coord3D>>> placements = {
      {6, {{0, 0, 0}, {4, 0, 0}, {1, 3, 0}}},  {7, {{0, 0, 0}, {6, -4.5, 0}}},
      {8, {{0, 0, 0}, {3, 4, 0}, {-4, 3, 0}}}, {9, {{0, 0, 0}, {5, 0, 0}, {4, 2, 0}, {1, 2, 0}}},
      {10, {{0, 0, 0}, {1.2345, 0, 0}}},       {11, {{0, 0, 0}, {2, 0, 0}, {0, 1, 0}}},
      {12, {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}}, {13, {{0, 0, 0}, {2, 0, 0}, {1, 0.5, 0}}},
      {14, {{0, 0, 0}, {5, 0, 0}, {0, 5, 0}}},
  };
  for (const auto& [button, picks] : placements) {
    for (const API_Coord3D& pick : picks)
      host.QueuePick(pick);
    page().Click(button);
    ASSERT_TRUE(pln::host::Alerts().empty()) << button;
  }
  ASSERT_EQ(Rows().size(), 9u);
  EXPECT_EQ(Figures(3).size(), 9u);
  EXPECT_EQ(Floor(3).m_FloorName, GS::UniString(u"4F"));

  const std::vector<GS::UniString> formulas = Formulas();
  page().SelectRows(25, {1, 4});
  page().Click(CPlenimetraFunc1::kRotate);
  EXPECT_NE(Formulas()[0], formulas[0]);
  EXPECT_NE(Formulas()[3], formulas[3]);

  page().SelectRows(25, {2});
  page().SelectPopUp(3, Entry(3, u"□"));
  EXPECT_EQ(Cell(2, 1), GS::UniString(u"□"));
  page().SelectRows(25, {2});
  page().SelectPopUp(4, Entry(4, u"A,B,C"));
  EXPECT_EQ(Cell(2, 3), GS::UniString(u"□A"));

  host.DefineDialog(CDlgEditCr1::ResourceId, CDlgEditCr1::Layout());
  host.QueueDialogScript(CDlgEditCr1::ResourceId, [](DialogUser& user) {
    user.SetLong(4, 1);
    user.Click(1);
  });
  page().SelectRows(25, {3});
  page().Click(CPlenimetraFunc1::kEditCr);
  EXPECT_FALSE(Figures(3)[2]->m_bAutoCr);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[改行]"));
  EXPECT_TRUE(pln::host::Alerts().empty());
}

// A part placed with a worksheet in front would land on the sheet without
// a record: every kind is refused there in words, before any point is
// picked, and the same picks place the figure once the floor plan is back.
TEST_F(FigureCommandsTest, NoFigureIsPlacedWithAWorksheetInFront)
{
  API_WindowInfo window = ShowNewWorksheet();
  Picks({{0, 0}, {4, 0}, {1, 3}});
  const std::size_t steps = host.UndoNames().size();
  for (short button = CPlenimetraFunc1::kTriangle; button <= CPlenimetraFunc1::kArcCenter; ++button) {
    page().Click(button);
    ASSERT_EQ(pln::host::Alerts().size(), std::size_t(button - CPlenimetraFunc1::kTriangle + 1));
    EXPECT_EQ(pln::host::Alerts().back().largeText,
              GS::UniString(u"求積図形は平面図にだけ配置できます。平面図を表示してから配置してください"));
  }
  EXPECT_TRUE(host.ElementsIn(window.databaseUnId, API_ZombieElemID).empty());
  EXPECT_TRUE(Figures(0).empty());
  EXPECT_EQ(host.UndoNames().size(), steps);

  window.typeID = APIWind_FloorPlanID;
  ASSERT_EQ(host.UserShowWindow(window), NoError);
  page().Click(CPlenimetraFunc1::kTriangle);
  ASSERT_EQ(Figures(0).size(), 1u);
  EXPECT_EQ(host.Element(Figures(0)[0]->m_Element.header.guid)->database, pln::host::FloorPlanDatabaseId());
}

}  // namespace
