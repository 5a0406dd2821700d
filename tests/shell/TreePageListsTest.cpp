// The calculation-tree page's automatic-area and detail lists: putting
// figures and automatic areas into calculation elements and taking them
// out again. Beside the tree page's pattern, 1F holds zone Z-1 and slab
// S-1, both cut; 居室 (MODE 1) has colour pen 5, 廊下 (MODE 3) pen 6.

#include "TreePageTestSupport.h"

#include "CDlgEditArea2Target.h"
#include "CElementChange.h"
#include "GSWriteReport.h"

#include <algorithm>
#include <functional>

namespace {

class TreePageListsTest : public TreePageTest {
protected:
  TreePageListsTest() : TreePageTest(false)
  {
    host.DefineDialog(CDlgEditArea2Target::ResourceId, CDlgEditArea2Target::Layout());
    sources = AddAutoAreaSources();
    Cut(sources.zone);
    Cut(sources.slab);
    Element(room).m_ColorPen = 5;
    Element(corridor).m_ColorPen = 6;
    Element(corridor).m_FloorArray.SearchFloor(0)->m_Mode = CArea2ObjectFloor::MODE_AUTO;
    EXPECT_EQ(doc().SaveData(), NoError);
    OpenTreePage();
    zoneFigures = FiguresOf(sources.zone);
    slabFigures = FiguresOf(sources.slab);
    for (const auto& figure : zoneFigures)
      settingsPen.push_back(Pen(*figure, "area_cont_pen"));
  }

  // Cuts the element as the automatic-area page does.
  void Cut(const API_Guid& guid)
  {
    CAutoAreaParam record(&host.Element(guid)->element.header);
    record.m_ItemType1 = CItemType1Table::ITEMTYPE_SQUARE;
    record.m_ItemType2 = CItemType2Table::ITEMTYPE_UPPER;
    int startNo = Figures(0).GetMaxItemNo(&doc(), record.m_ItemType1, record.m_ItemType2) + 1;
    EXPECT_EQ(record.DoCreateArea1(&doc(), startNo), NoError);
    FloorOnDemand(&doc(), 0)->m_AutoAreaParamArray.Add(record);
    EXPECT_EQ(Figures(0).SetSortIndex(), NoError);
  }
  CArea1ObjectPtrArray FiguresOf(const API_Guid& guid)
  {
    CArea1ObjectPtrArray figures;
    for (auto& figure : CAutoAreaParam(&host.Element(guid)->element.header).GetAutoArea(&doc()))
      figures.push_back(figure);
    return figures;
  }
  const CArea2ObjectFloor& Record(int code) { return *Element(code).m_FloorArray.SearchFloor(0); }
  // How many of the figures the element's 1F record lists, each with
  // rounding kind 4.
  std::size_t Listed(int code, const CArea1ObjectPtrArray& figures)
  {
    std::size_t listed = 0;
    for (const CArea2List& entry : Record(code).m_List)
      if (std::find(figures.begin(), figures.end(), entry.m_pArea1) != figures.end()) {
        EXPECT_EQ(entry.m_RoundType, CRoundTypeTable::ROUNDTYPE_DEFAULT);
        ++listed;
      }
    return listed;
  }
  bool TakesZone(int code)
  {
    const auto& guids = Record(code).m_AutoAreaGuidArray;
    return std::find(guids.begin(), guids.end(), ToGSGuid(sources.zone)) != guids.end();
  }
  std::vector<double> ZonePens()
  {
    std::vector<double> pens;
    for (const auto& figure : zoneFigures)
      pens.push_back(Pen(*figure, "area_cont_pen"));
    return pens;
  }
  const pln::host::DGListState& List(short list) { return State(list).list; }
  GS::UniString Cell(short list, short row, short column)
  {
    const auto& texts = List(list).rows.at(static_cast<std::size_t>(row - 1)).texts;
    return texts.count(column) != 0 ? texts.at(column) : GS::UniString();
  }
  void ChooseOperator(short list, short popUp, std::vector<short> rows, const char16_t* text)
  {
    pageUser().SelectRows(list, rows);
    pageUser().SelectPopUp(popUp, Entry(popUp, text));
  }

  AutoAreaSources sources;
  CArea1ObjectPtrArray zoneFigures, slabFigures;
  std::vector<double> settingsPen;
};

// ---------------------------------------------------------------------------
// The automatic-area list

class AutoAreaListTest : public TreePageListsTest {
protected:
  AutoAreaListTest() { pageUser().SetLong(Page::ITEM_RADIO_AUTO, 1); }
  void ChooseZone(const char16_t* text) { ChooseOperator(Page::ITEM_AUTO_LIST, Page::ITEM_AUTO_OPERATOR, {1}, text); }
};

TEST_F(AutoAreaListTest, TheOperatorTakesTheZoneInAndOutWithItsFiguresAndColour)
{
  ASSERT_EQ(List(Page::ITEM_AUTO_LIST).rows.size(), 2u);
  EXPECT_EQ(Cell(Page::ITEM_AUTO_LIST, 1, 1), GS::UniString(u"Z-1(LDK)"));
  EXPECT_EQ(Cell(Page::ITEM_AUTO_LIST, 1, 3), GS::UniString(u"General"));
  ASSERT_NE(settingsPen.front(), 6.0);
  Select({corridor});
  const std::size_t steps = host.UndoNames().size();
  ChooseZone(u"+");
  EXPECT_TRUE(TakesZone(corridor));
  EXPECT_EQ(Listed(corridor, zoneFigures), zoneFigures.size());
  EXPECT_EQ(host.UndoNames().size(), steps + 1);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[]"));
  EXPECT_EQ(ZonePens(), std::vector<double>(zoneFigures.size(), 6.0));
  EXPECT_EQ(Cell(Page::ITEM_AUTO_LIST, 1, 4), GS::UniString(u"+"));
  EXPECT_EQ(Cell(Page::ITEM_AUTO_LIST, 1, 5), GS::UniString(u"廊下"));
  EXPECT_EQ(Cell(Page::ITEM_AUTO_LIST, 2, 5), GS::UniString());

  ChooseZone(u"未定義");
  EXPECT_FALSE(TakesZone(corridor));
  EXPECT_EQ(Listed(corridor, zoneFigures), 0u);
  EXPECT_EQ(ZonePens(), settingsPen);
  EXPECT_EQ(Cell(Page::ITEM_AUTO_LIST, 1, 5), GS::UniString());

  // Taking in twice lists the figures once.
  ChooseZone(u"+");
  ChooseZone(u"+");
  EXPECT_EQ(Listed(corridor, zoneFigures), zoneFigures.size());
  EXPECT_EQ(Record(corridor).m_AutoAreaGuidArray.size(), 1u);
}

TEST_F(AutoAreaListTest, ElementsThatTakeNoAutomaticAreasAreLeftAloneOrRefused)
{
  Select({room});
  const std::size_t entries = Record(room).m_List.size();
  NewAlerts();
  // No pop-up over the row: nothing to choose, and a forced change changes
  // nothing and says why, as the drop below does.
  pageUser().SelectRows(Page::ITEM_AUTO_LIST, {1});
  EXPECT_EQ(Cell(Page::ITEM_AUTO_LIST, 1, 4), GS::UniString());
  pageUser().SelectPopUp(Page::ITEM_AUTO_OPERATOR, Entry(Page::ITEM_AUTO_OPERATOR, u"+"));
  EXPECT_EQ(Record(room).m_List.size(), entries);
  EXPECT_FALSE(TakesZone(room));
  EXPECT_EQ(NewAlerts(), std::vector<GS::UniString>{u"計算要素の集計面積タイプが、自動作成区画に設定されていません"});

  pageUser().DragAndDrop(Page::ITEM_AUTO_LIST, Page::ITEM_TREE, TreeItemOf(room), DG_DRAG_INSERT_ON);
  EXPECT_EQ(NewAlerts(), std::vector<GS::UniString>{u"計算要素の集計面積タイプが、自動作成区画に設定されていません"});
  EXPECT_FALSE(TakesZone(room));
  EXPECT_EQ(Record(room).m_List.size(), entries);

  // A folder: no element, no change.
  Select({shared});
  pageUser().SelectRows(Page::ITEM_AUTO_LIST, {1});
  pageUser().SelectPopUp(Page::ITEM_AUTO_OPERATOR, Entry(Page::ITEM_AUTO_OPERATOR, u"+"));
  EXPECT_FALSE(TakesZone(corridor));
}

TEST_F(AutoAreaListTest, DroppingRowsOntoAnElementTakesThemIn)
{
  pageUser().SelectRows(Page::ITEM_AUTO_LIST, {1, 2});
  pageUser().DragAndDrop(Page::ITEM_AUTO_LIST, Page::ITEM_TREE, TreeItemOf(corridor), DG_DRAG_INSERT_ON);
  EXPECT_TRUE(TakesZone(corridor));
  EXPECT_EQ(Listed(corridor, zoneFigures) + Listed(corridor, slabFigures), zoneFigures.size() + slabFigures.size());
  EXPECT_EQ(ZonePens(), std::vector<double>(zoneFigures.size(), 6.0));
}

TEST_F(AutoAreaListTest, TheTargetButtonOpensTheElementsInTreeOrderAndUntickingTakesTheZoneOut)
{
  Select({corridor});
  ChooseZone(u"+");
  pageUser().SelectRows(Page::ITEM_AUTO_LIST, {1, 2});
  EXPECT_EQ(List(Page::ITEM_AUTO_LIST).tabFields.at(5).dialItem, DG_NO_ITEM);
  pageUser().SelectRows(Page::ITEM_AUTO_LIST, {1});
  EXPECT_EQ(List(Page::ITEM_AUTO_LIST).tabFields.at(5).dialItem, Page::ITEM_AUTO_TARGET);

  std::vector<std::pair<GS::UniString, bool>> rows;
  host.QueueDialogScript(CDlgEditArea2Target::ResourceId, [&](DialogUser& dialog) {
    for (const auto& row : pln::host::DialogItemState(dialog.DialogId(), 4)->list.rows)
      rows.emplace_back(row.texts.at(1), row.texts.count(2) != 0 && row.texts.at(2) == GS::UniString(u"V"));
    dialog.SelectRows(4, {2});
    dialog.Check(3, false);
    dialog.Click(1);
  });
  pageUser().Click(Page::ITEM_AUTO_TARGET);
  EXPECT_EQ(rows, (std::vector<std::pair<GS::UniString, bool>>{{u"居室", false}, {u"廊下", true}, {u"階段", false}}));
  EXPECT_FALSE(TakesZone(corridor));
  EXPECT_EQ(Listed(corridor, zoneFigures), 0u);
  EXPECT_EQ(ZonePens(), settingsPen);
  EXPECT_EQ(Cell(Page::ITEM_AUTO_LIST, 1, 5), GS::UniString());
}

// ---------------------------------------------------------------------------
// The detail list

class DetailListTest : public TreePageListsTest {
protected:
  DetailListTest() { pageUser().SetLong(Page::ITEM_RADIO_DETAIL, 1); }
  short RowOf(const CArea1Object* figure)
  {
    for (short row = 1; row <= static_cast<short>(List(Page::ITEM_DETAIL_LIST).rows.size()); ++row)
      if (page().DetailFigure(pageId, row) == figure)
        return row;
    ADD_FAILURE() << "no row";
    return 0;
  }
  std::vector<short> RowsOf(const CArea1ObjectPtrArray& figures)
  {
    std::vector<short> rows;
    for (const auto& figure : figures)
      rows.push_back(RowOf(figure.get()));
    return rows;
  }
  GS::UniString DetailCell(const CArea1Object* figure, short column)
  {
    return Cell(Page::ITEM_DETAIL_LIST, RowOf(figure), column);
  }
  void ChooseFigures(const CArea1ObjectPtrArray& figures, const char16_t* text)
  {
    ChooseOperator(Page::ITEM_DETAIL_LIST, Page::ITEM_DETAIL_OPERATOR, RowsOf(figures), text);
  }
  const CArea2List* EntryOf(int code, const CArea1Object* figure)
  {
    return const_cast<CArea2ObjectFloor&>(Record(code)).m_List.Search(figure);
  }
  short Laid(short column) { return List(Page::ITEM_DETAIL_LIST).tabFields.at(static_cast<std::size_t>(column - 1)).dialItem; }
};

TEST_F(DetailListTest, RowsFollowTheSortIndexAndShowMarkSourceTargetsAndLayer)
{
  const CArea1ObjectArray& figures = Figures(0);
  ASSERT_EQ(List(Page::ITEM_DETAIL_LIST).rows.size(), figures.size());
  for (const auto& figure : figures)
    EXPECT_EQ(page().DetailFigure(pageId, static_cast<short>(figure->m_SortIndex + 1)), figure.get());
  EXPECT_EQ(DetailCell(zoneFigures.front().get(), 1), GS::UniString(u"□A"));
  EXPECT_EQ(DetailCell(slabFigures.front().get(), 6), GS::UniString(u"S-1(ｽﾗﾌﾞ)"));
  EXPECT_EQ(DetailCell(figures.front().get(), 7), GS::UniString(u"居室"));

  // Off the current figure layer the row turns grey.
  slabFigures.front()->m_Element.header.layer = static_cast<short>(doc().GetLayer() + 1);
  Select({room});
  const auto& rows = List(Page::ITEM_DETAIL_LIST).rows;
  EXPECT_EQ(rows.at(static_cast<std::size_t>(RowOf(slabFigures.front().get()) - 1)).color, (DGColor16{50000, 50000, 50000}));
  EXPECT_EQ(rows.at(static_cast<std::size_t>(RowOf(zoneFigures.front().get()) - 1)).color, (DGColor16{0, 0, 0}));
}

TEST_F(DetailListTest, TheOperatorPutsFiguresInAndTakesThemOutWithTheirColour)
{
  Select({room});
  const double slabPen = Pen(*slabFigures.front(), "area_cont_pen");
  ASSERT_NE(slabPen, 5.0);
  const std::size_t steps = host.UndoNames().size();
  ChooseFigures(slabFigures, u"+");
  for (const auto& figure : slabFigures) {
    const CArea2List* entry = EntryOf(room, figure.get());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->m_RoundType, CRoundTypeTable::ROUNDTYPE_DEFAULT);
    EXPECT_EQ(entry->m_Operator, COperatorTable::OPERATOR_PLUS);
    EXPECT_EQ(Pen(*figure, "area_cont_pen"), 5.0);
    EXPECT_EQ(DetailCell(figure.get(), 2), GS::UniString(u"+"));
  }
  EXPECT_EQ(host.UndoNames().size(), steps + 1);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[]"));

  // Rounding kinds change placed nothing: the save is their undo step.
  pageUser().SelectRows(Page::ITEM_DETAIL_LIST, RowsOf(slabFigures));
  pageUser().SelectPopUp(Page::ITEM_DETAIL_ROUND, Entry(Page::ITEM_DETAIL_ROUND, u"切り捨て"));
  EXPECT_EQ(EntryOf(room, slabFigures.front().get())->m_RoundType, CRoundTypeTable::ROUNDTYPE_CUT);
  EXPECT_EQ(host.UndoNames().size(), steps + 2);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[端数処理]"));

  ChooseFigures(slabFigures, u"未定義");
  for (const auto& figure : slabFigures) {
    EXPECT_EQ(EntryOf(room, figure.get()), nullptr);
    EXPECT_EQ(Pen(*figure, "area_cont_pen"), slabPen);
    EXPECT_EQ(DetailCell(figure.get(), 2), GS::UniString());
  }
}

TEST_F(DetailListTest, AFigureInTwoElementsNamesBothInTreeOrder)
{
  const CAutoAreaParam* zoneRecord = Floor(0).m_AutoAreaParamArray.Search(&sources.zone);
  page().AddTarget(zoneRecord, &Element(corridor));
  Select({room});
  ChooseFigures(CArea1ObjectPtrArray{{zoneFigures.front()}}, u"+");
  EXPECT_EQ(DetailCell(zoneFigures.front().get(), 7), GS::UniString(u"居室,廊下"));
  EXPECT_EQ(Pen(*zoneFigures.front(), "area_cont_pen"), settingsPen.front());
}

TEST_F(DetailListTest, ElementsThatTakeNoFiguresAndFoldersAreRefusedOrLeftAlone)
{
  Select({corridor});
  NewAlerts();
  ChooseFigures(slabFigures, u"+");
  EXPECT_EQ(NewAlerts(), std::vector<GS::UniString>{u"計算要素の集計面積タイプが、求積区画に設定されていません"});
  EXPECT_EQ(EntryOf(corridor, slabFigures.front().get()), nullptr);

  Select({shared});
  pageUser().SelectRows(Page::ITEM_DETAIL_LIST, {1});
  EXPECT_EQ(Laid(2), DG_NO_ITEM);
  EXPECT_EQ(Laid(4), DG_NO_ITEM);
  for (short column = 2; column <= 5; ++column)
    EXPECT_EQ(Cell(Page::ITEM_DETAIL_LIST, 1, column), GS::UniString()) << column;
}

TEST_F(DetailListTest, DroppingRowsOntoElementsAddsTurnsToPlusOrRefuses)
{
  Select({room});
  ChooseFigures(CArea1ObjectPtrArray{{slabFigures.front()}}, u"-");
  ASSERT_EQ(EntryOf(room, slabFigures.front().get())->m_Operator, COperatorTable::OPERATOR_MINUS);
  const std::size_t entries = Record(room).m_List.size();
  pageUser().SelectRows(Page::ITEM_DETAIL_LIST, RowsOf(slabFigures));
  pageUser().DragAndDrop(Page::ITEM_DETAIL_LIST, Page::ITEM_TREE, TreeItemOf(room), DG_DRAG_INSERT_ON);
  EXPECT_EQ(EntryOf(room, slabFigures.front().get())->m_Operator, COperatorTable::OPERATOR_PLUS);
  EXPECT_EQ(Record(room).m_List.size(), entries + slabFigures.size() - 1);

  NewAlerts();
  pageUser().SelectRows(Page::ITEM_DETAIL_LIST, RowsOf(slabFigures));
  pageUser().DragAndDrop(Page::ITEM_DETAIL_LIST, Page::ITEM_TREE, TreeItemOf(corridor), DG_DRAG_INSERT_ON);
  EXPECT_EQ(NewAlerts(), std::vector<GS::UniString>{u"計算要素の集計面積タイプが、求積区画に設定されていません"});
  EXPECT_EQ(EntryOf(corridor, slabFigures.front().get()), nullptr);

  const std::size_t steps = host.UndoNames().size();
  pageUser().SelectRows(Page::ITEM_DETAIL_LIST, RowsOf(slabFigures));
  pageUser().DragAndDrop(Page::ITEM_DETAIL_LIST, Page::ITEM_TREE, TreeItemOf(shared), DG_DRAG_INSERT_ON);
  EXPECT_EQ(host.UndoNames().size(), steps);
  EXPECT_EQ(Record(room).m_List.size(), entries + slabFigures.size() - 1);
}

// ---------------------------------------------------------------------------
// Sorting by header click

class ListSortTest : public DetailListTest {
protected:
  short Arrow(short list, short header)
  {
    const auto& headers = List(list).headers;
    return headers.count(header) != 0 ? headers.at(header).arrow : 0;
  }
  // The figures' element GUIDs by sort index.
  std::vector<API_Guid> FigureOrder()
  {
    std::vector<std::pair<int, API_Guid>> order;
    for (const auto& figure : Figures(0))
      order.emplace_back(figure->m_SortIndex, figure->m_Element.header.guid);
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<API_Guid> guids;
    for (const auto& entry : order)
      guids.push_back(entry.second);
    return guids;
  }
  void Reopen()
  {
    host.UserSaveProject();
    ASSERT_EQ(host.UserReopenProject(), NoError);
    ASSERT_EQ(Menu(), NoError);
  }
};

TEST_F(ListSortTest, HeaderClicksCycleTheDirectionAndClearTheOtherArrows)
{
  pageUser().HeaderClick(Page::ITEM_DETAIL_LIST, 2);
  std::vector<std::pair<short, short>> arrows;
  for (int click = 0; click < 3; ++click) {
    pageUser().HeaderClick(Page::ITEM_DETAIL_LIST, 1);
    arrows.emplace_back(Arrow(Page::ITEM_DETAIL_LIST, 1), Arrow(Page::ITEM_DETAIL_LIST, 2));
  }
  EXPECT_EQ(arrows, (std::vector<std::pair<short, short>>{{1, 0}, {2, 0}, {1, 0}}));
}

TEST_F(ListSortTest, DetailAreasSortByValueInOneStepKeepTheSelectionAndOutliveReopening)
{
  const auto ten = PlaceRect(0, 20, 0, 2, 5);
  const auto nine = PlaceRect(0, 30, 0, 3, 3);
  TreePageTest::List(room, 0, ten);
  TreePageTest::List(room, 0, nine);
  const CArea1Object* own = Record(room).m_List.front().m_pArea1.get();
  page().SetDetailListItem(pageId);
  Select({room});
  pageUser().SelectRows(Page::ITEM_DETAIL_LIST, {RowOf(ten.get())});
  const std::size_t steps = host.UndoNames().size();
  pageUser().HeaderClick(Page::ITEM_DETAIL_LIST, 3);
  EXPECT_EQ(host.UndoNames().size(), steps + 1);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[求積図形リスト]"));
  // 9 m² < 10 m² < 27 m², though "10" < "27" < "9" as texts.
  EXPECT_LT(RowOf(nine.get()), RowOf(ten.get()));
  EXPECT_LT(RowOf(ten.get()), RowOf(own));
  const auto& rows = List(Page::ITEM_DETAIL_LIST).rows;
  for (short row = 1; row <= static_cast<short>(rows.size()); ++row)
    EXPECT_EQ(rows[static_cast<std::size_t>(row - 1)].selected, row == RowOf(ten.get())) << row;

  const std::vector<API_Guid> order = FigureOrder();
  Reopen();
  EXPECT_EQ(FigureOrder(), order);
}

TEST_F(ListSortTest, TheAreaListSortsByTheColumnsIdAndTheOrderOutlivesReopening)
{
  pageUser().SetLong(Page::ITEM_RADIO_AREA, 1);
  page().NodeOf(pageId, TreeItemOf(corridor))->m_Operator = COperatorTable::OPERATOR_MINUS;
  // The third default column shows the operator.
  pageUser().HeaderClick(Page::ITEM_AREA_LIST, 3);
  pageUser().HeaderClick(Page::ITEM_AREA_LIST, 3);
  // Rows carry node codes.
  EXPECT_EQ(DGListGetItemUserData(pageId, Page::ITEM_AREA_LIST, 1), corridor);
  EXPECT_EQ(doc().GetAreaObject(corridor)->m_SortIndex, 0);
  Reopen();
  EXPECT_EQ(doc().GetAreaObject(corridor)->m_SortIndex, 0);
}

// The sort renumbers as a load would: the numbers shown after the sort are
// those a save and reopen give, and the tree labels say so at once.
TEST_F(ListSortTest, AnAreaListSortGivesTheNumbersAReopenGives)
{
  const auto numbers = [this] {
    std::vector<std::pair<int, int>> byCode;
    for (const int code : {building, room, shared, corridor, stairs})
      byCode.emplace_back(code, doc().GetAreaObject(code)->m_No);
    return byCode;
  };
  const auto before = numbers();
  pageUser().SetLong(Page::ITEM_RADIO_AREA, 1);
  // The fourth default column shows the name; descending puts 階段 before 廊下.
  pageUser().HeaderClick(Page::ITEM_AREA_LIST, 4);
  pageUser().HeaderClick(Page::ITEM_AREA_LIST, 4);
  const auto sorted = numbers();
  EXPECT_NE(sorted, before);
  const GS::UniString label = DGTreeViewGetItemText(pageId, Page::ITEM_TREE, TreeItemOf(room));
  Reopen();
  EXPECT_EQ(numbers(), sorted);
  user().Click(12);
  pageId = pln::host::OpenDialogId(Page::ResourceId);
  EXPECT_EQ(DGTreeViewGetItemText(pageId, Page::ITEM_TREE, TreeItemOf(room)), label);
}

// A sort or an operator choice on the page's lists whose save the host
// refuses says in one alert which change was not kept and why.
TEST_F(ListSortTest, ASortOrOperatorWhoseSaveIsRefusedNamesTheChangeAndTheCause)
{
  Select({room});
  pageUser().HeaderClick(Page::ITEM_DETAIL_LIST, 1);  // the next click turns the order round
  struct Case {
    const char16_t* notDone;
    const char* call;
    std::function<void()> run;
  };
  const Case cases[] = {
      {u"求積図形の並べ替えを保存できませんでした。", "ACAPI_Element_SetUserData",
       [&] { pageUser().HeaderClick(Page::ITEM_DETAIL_LIST, 1); }},
      {u"演算子の変更を完了できませんでした。", "ACAPI_ModulData_Store", [&] { ChooseFigures(slabFigures, u"+"); }},
      {u"一覧の変更を保存できませんでした。", "ACAPI_ModulData_Store",
       [&] {
         pageUser().SetLong(Page::ITEM_RADIO_AREA, 1);
         pageUser().HeaderClick(Page::ITEM_AREA_LIST, 4);
       }},
      {u"自動作成区画の対象の変更を完了できませんでした。", "ACAPI_ModulData_Store",
       [&] {
         // The corridor takes no area yet: "+" takes the zone in.
         Select({corridor});
         pageUser().SetLong(Page::ITEM_RADIO_AUTO, 1);
         ChooseOperator(Page::ITEM_AUTO_LIST, Page::ITEM_AUTO_OPERATOR, {1}, u"+");
       }},
  };
  for (const Case& c : cases) {
    const GS::UniString notDone(c.notDone);
    SCOPED_TRACE(notDone.ToStdString(CC_UTF8));
    host.FailOnce(c.call, APIERR_LOCKEDLAY);
    NewAlerts();
    c.run();
    const std::vector<GS::UniString> alerts = NewAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].ToStdString(CC_UTF8), (notDone + GSCauseText(APIERR_LOCKEDLAY)).ToStdString(CC_UTF8));
  }
}

TEST_F(ListSortTest, TheAutomaticAreaOrderFollowsTheRecordsAndOutlivesThePage)
{
  pageUser().SetLong(Page::ITEM_RADIO_AUTO, 1);
  pageUser().SelectRows(Page::ITEM_AUTO_LIST, {1});
  pageUser().HeaderClick(Page::ITEM_AUTO_LIST, 1);
  EXPECT_EQ(Cell(Page::ITEM_AUTO_LIST, 1, 1), GS::UniString(u"S-1(ｽﾗﾌﾞ)"));
  EXPECT_EQ(Cell(Page::ITEM_AUTO_LIST, 2, 1), GS::UniString(u"Z-1(LDK)"));
  EXPECT_FALSE(List(Page::ITEM_AUTO_LIST).rows[0].selected);
  EXPECT_TRUE(List(Page::ITEM_AUTO_LIST).rows[1].selected);
  EXPECT_EQ(Floor(0).m_AutoAreaParamArray.front().GetGuid(), sources.slab);

  pageUser().Click(Page::ITEM_BACK);
  OpenTreePage();
  pageUser().SetLong(Page::ITEM_RADIO_AUTO, 1);
  EXPECT_EQ(Cell(Page::ITEM_AUTO_LIST, 1, 1), GS::UniString(u"S-1(ｽﾗﾌﾞ)"));
}

}  // namespace
