// The calculation-tree page: opening, enable rules, the tree commands with
// their undo, the area-list rows, updates from the palette and the
// splitter. Project: pattern "計算" with 建物 { 居室, 共用 { 廊下, 階段 } }.

#include "GSWriteReport.h"
#include "TreePageTestSupport.h"
#include "host_charcodes.h"

#include <algorithm>
#include <functional>

namespace {

using pln::host::DialogUser;
using Page = CPlenimetraFunc2;

TEST_F(TreePageTest, OpeningShowsTheTreeTheDetailListAndTheDefaultRounding)
{
  ASSERT_NE(pageId, 0);
  EXPECT_EQ(Names(), (std::vector<GS::UniString>{u"建物", u"居室", u"共用", u"廊下", u"階段"}));
  EXPECT_EQ(Label(room), GS::UniString(u"居室[27.00/33.00] □1"));
  EXPECT_EQ(State(Page::ITEM_RADIO_DETAIL).valLong, 1);
  EXPECT_TRUE(State(Page::ITEM_DETAIL_LIST).visible);
  EXPECT_FALSE(State(Page::ITEM_AREA_LIST).visible);
  EXPECT_EQ(State(Page::ITEM_DEFAULT_ROUND).text, GS::UniString(u"端数処理デフォルト：第3位切り捨て第2位"));
  EXPECT_EQ(Headers(), (std::vector<GS::UniString>{u"記号", u"番号", u"符号", u"名前(階)", u"種類", u"集計面積",
                                                   u"計算式", u"丸目桁数(建物)", u"丸目桁数(各階)", u"改行",
                                                   u"合計欄表示", u"色", u""}));
  // Icons: folders, figures on 1F, a new record's automatic division.
  std::vector<short> icons;
  for (Int32 item : TreeItems())
    icons.push_back(State(Page::ITEM_TREE).tree.items.at(item).icon.GetResourceId());
  EXPECT_EQ(icons, (std::vector<short>{32422, 32420, 32422, 32426, 32426}));
  EXPECT_EQ(DGListGetItemCount(pageId, Page::ITEM_AREA_LIST), 5);
}

TEST_F(TreePageTest, EnableRulesFollowTheTreeSelection)
{
  struct Case {
    std::vector<int> selected;
    bool insert, copy, remove, edit, lineBreaks;
  };
  Element(corridor).m_ListType = CArea2ListTypeTable::LISTTYPE_LIST;
  const Case cases[] = {
      {{}, false, false, false, false, false},
      {{building}, true, false, false, true, true},
      {{shared}, true, true, true, true, true},
      {{room}, false, false, true, true, true},
      {{corridor}, false, false, true, true, false},
      {{room, stairs}, false, false, false, true, false},
  };
  for (const Case& c : cases) {
    Select(c.selected);
    EXPECT_EQ(State(Page::ITEM_INSERT).enabled, c.insert) << c.selected.size();
    EXPECT_EQ(State(Page::ITEM_COPY).enabled, c.copy) << c.selected.size();
    EXPECT_EQ(State(Page::ITEM_DELETE).enabled, c.remove) << c.selected.size();
    EXPECT_EQ(State(Page::ITEM_EDIT).enabled, c.edit) << c.selected.size();
    EXPECT_EQ(State(Page::ITEM_EDIT_CR).enabled, c.lineBreaks) << c.selected.size();
  }
}

TEST_F(TreePageTest, StoredListTypesChooseRadioAndList)
{
  struct Case {
    short stored, radio, list;
  };
  for (const Case& c : {Case{1, 9, 37}, Case{2, 10, 35}, Case{3, 11, 36}, Case{4, 10, 35}, Case{5, 11, 36},
                        Case{9, 0, 36}}) {
    pageUser().Click(Page::ITEM_BACK);
    doc().m_ListType = c.stored;
    user().Click(12);
    pageId = pln::host::OpenDialogId(Page::ResourceId);
    for (short radio = 9; radio <= 11; ++radio)
      EXPECT_EQ(State(radio).valLong, radio == c.radio ? 1 : 0) << c.stored;
    for (short list = 35; list <= 37; ++list)
      EXPECT_EQ(State(list).visible, list == c.list) << c.stored;
    EXPECT_EQ(doc().m_ListType, c.stored);
  }
  pageUser().SetLong(Page::ITEM_RADIO_AREA, 1);
  EXPECT_EQ(doc().m_ListType, 2);
  EXPECT_TRUE(State(Page::ITEM_AREA_COLUMNS).visible);
}

TEST_F(TreePageTest, InsertRemembersTheValuesRefusesBadInputAndUndoes)
{
  const std::vector<GS::UniString> before = Names();
  Select({building});
  QueueStorehouseInsert();
  const std::size_t steps = host.UndoNames().size();
  pageUser().Click(Page::ITEM_INSERT);
  const CAreaTree& top = doc().GetTree()->m_Child[0];
  ASSERT_EQ(top.m_Child.size(), 3u);
  const CAreaTree& added = top.m_Child.back();
  EXPECT_EQ(-added.m_AreaCode, doc().m_LastAreaCode);
  EXPECT_EQ(added.m_RoundTypeFloor, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_HALFUP, 1));
  const CArea2Object& store = Element(added.m_AreaCode);
  EXPECT_EQ(store.m_ListType, CArea2ListTypeTable::LISTTYPE_FORMULA);
  EXPECT_EQ(store.m_ShowTotal, CArea2Object::SHOWTOTAL_MARK);
  EXPECT_EQ(store.GetMarkStr(&doc()) + store.GetItemNoStr(&doc()), GS::UniString(u"□4"));
  EXPECT_EQ(doc().m_UndoParam2.size(), 1u);
  EXPECT_TRUE(State(Page::ITEM_UNDO).enabled);
  EXPECT_EQ(host.UndoNames().size(), steps + 1);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[項目挿入]"));

  // The next insert is preset but asks for the kind again.
  Select({building});
  pln::host::QueueDialogScript(CDlgCreateTreeItem::ResourceId, [&](DialogUser& u) {
    EXPECT_EQ(pln::host::DialogItemState(u.DialogId(), CDlgCreateTreeItem::ITEM_NAME)->text, GS::UniString(u"倉庫"));
    u.Click(1);
    EXPECT_EQ(NewAlerts(), std::vector<GS::UniString>{u"タイプを選択してください"});
  });
  pageUser().Click(Page::ITEM_INSERT);
  EXPECT_EQ(doc().GetTree()->m_Child[0].m_Child.size(), 3u);

  pageUser().Click(Page::ITEM_UNDO);
  EXPECT_EQ(Names(), before);
  EXPECT_FALSE(State(Page::ITEM_UNDO).enabled);
}

TEST_F(TreePageTest, CopyGivesFreshCodesAndDeleteAsksFirst)
{
  Select({shared});
  pageUser().Click(Page::ITEM_COPY);
  EXPECT_EQ(Names(), (std::vector<GS::UniString>{u"建物", u"居室", u"共用", u"廊下", u"階段", u"共用", u"廊下",
                                                 u"階段"}));
  const CAreaTree& copy = doc().GetTree()->m_Child[0].m_Child[2];
  EXPECT_NE(copy.m_AreaCode, shared);
  EXPECT_NE(copy.m_Child[0].m_AreaCode, corridor);
  EXPECT_NE(copy.m_Child[1].m_AreaCode, stairs);
  ASSERT_EQ(doc().m_UndoParam2.size(), 1u);

  Select({shared});
  pln::host::QueueAlertAnswer(2);
  pageUser().Click(Page::ITEM_DELETE);
  EXPECT_EQ(NewAlerts().back(), GS::UniString(u"選択された 1 個の項目を削除します。\nよろしいですか？"));
  EXPECT_EQ(Names().size(), 8u);
  EXPECT_EQ(doc().m_UndoParam2.size(), 1u);

  Select({shared});
  pln::host::QueueAlertAnswer(1);
  pageUser().Click(Page::ITEM_DELETE);
  EXPECT_EQ(Names(), (std::vector<GS::UniString>{u"建物", u"居室", u"共用", u"廊下", u"階段"}));
  EXPECT_EQ(DGListGetItemCount(pageId, Page::ITEM_AREA_LIST), 5);
  EXPECT_EQ(doc().m_UndoParam2.size(), 2u);
}

TEST_F(TreePageTest, EditingSeveralNodesChangesOnlyTheChosenValue)
{
  doc().GetTree()->m_Child[0].m_Child[0].m_RoundTypeTotal = {CRoundTypeTable::ROUNDTYPE_UP, 1};
  Select({room, corridor, stairs});
  pln::host::QueueDialogScript(CDlgEditArea4::ResourceId, [](DialogUser& u) {
    Choose(u, CDlgEditAreaCore::ITEM_DIGIT2, u"小数点第3位");
    u.Click(1);
  });
  pageUser().Click(Page::ITEM_EDIT);
  const CAreaTree& top = doc().GetTree()->m_Child[0];
  EXPECT_EQ(top.m_Child[0].m_RoundTypeTotal, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 1));
  for (const CAreaTree* node : {&top.m_Child[0], &top.m_Child[1].m_Child[0], &top.m_Child[1].m_Child[1]})
    EXPECT_EQ(node->m_RoundTypeFloor, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 3));
  EXPECT_EQ(top.m_Child[1].m_Child[0].m_RoundTypeTotal, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 2));
}

TEST_F(TreePageTest, EditingAnElementToAManualAreaAndTheTopNodeRenamesThePattern)
{
  Select({corridor});
  pln::host::QueueDialogScript(CDlgEditArea2::ResourceId, [](DialogUser& u) {
    u.SetLong(CDlgEditArea2::ITEM_MODE_MANUAL, 1);
    u.SetText(CDlgEditArea2::ITEM_EQUATION, u"3.5×2.0");
    u.SetText(CDlgEditArea2::ITEM_AREA, u"7");
    u.Click(1);
  });
  pageUser().Click(Page::ITEM_EDIT);
  const CArea2ObjectFloor* record = Element(corridor).m_FloorArray.FindFloor(0);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->m_Mode, CArea2ObjectFloor::MODE_MANUAL);
  EXPECT_EQ(record->m_ManualArea, 7000000);
  EXPECT_EQ(record->m_ManualEquation, GS::UniString(u"3.5×2.0"));
  EXPECT_EQ(State(Page::ITEM_TREE).tree.items.at(TreeItemOf(corridor)).icon.GetResourceId(), 32425);

  Select({building});
  pln::host::QueueDialogScript(CDlgEditArea4::ResourceId, [](DialogUser& u) {
    u.SetText(CDlgEditAreaCore::ITEM_PATTERN_NAME, u"計算2");
    u.Click(1);
  });
  pageUser().Click(Page::ITEM_EDIT);
  EXPECT_EQ(doc().GetAreaObject(doc().GetTree()->m_AreaCode)->m_Name.m_DefaultName, GS::UniString(u"計算2"));
  // Marked as changed against the stored settings.
  EXPECT_EQ(SelectedText(8), GS::UniString(u"*計算2"));
}

TEST_F(TreePageTest, LineBreaksOpenOnlyWhereAFormulaHasGaps)
{
  const std::size_t openings = pln::host::DialogOpenings().size();
  Select({room});  // one entry on 1F
  pageUser().Click(Page::ITEM_EDIT_CR);
  EXPECT_EQ(pln::host::DialogOpenings().size(), openings);

  BreakSharedByHand();
  const auto& folder = dynamic_cast<const CArea4Object&>(*doc().GetAreaObject(shared));
  ASSERT_NE(folder.m_ManualEquationArray.Search(0), nullptr);
  EXPECT_EQ(folder.m_ManualEquationArray.Search(0)->m_Equation, GS::UniString(u"廊下+階段"));
  EXPECT_EQ(doc().m_UndoParam2.size(), 1u);
}

TEST_F(TreePageTest, TreeDisplayRetextsAndEmptiesTheUndoEvenWhenCancelled)
{
  Select({shared});
  pageUser().Click(Page::ITEM_COPY);
  ASSERT_TRUE(State(Page::ITEM_UNDO).enabled);
  pageUser().Click(Page::ITEM_TREE_SHOW);  // cancelled
  EXPECT_FALSE(State(Page::ITEM_UNDO).enabled);
  pln::host::QueueDialogScript(CDlgEditTreeShowItem::ResourceId, [](DialogUser& u) {
    u.Check(CDlgEditTreeShowItem::ITEM_FLOOR_AREA, false);
    u.Click(1);
  });
  pageUser().Click(Page::ITEM_TREE_SHOW);
  EXPECT_EQ(Label(room), GS::UniString(u"居室[33.00] □1"));
}

TEST_F(TreePageTest, UntickingEveryColumnLeavesOnlyTheFiller)
{
  pln::host::QueueDialogScript(CDlgEditAreaListItem::ResourceId, [](DialogUser& u) {
    std::vector<short> rows;
    for (short row = 1; row <= CAreaListItemArray::kItemCount; ++row)
      rows.push_back(row);
    u.SelectRows(CDlgEditAreaListItem::ITEM_LIST, rows);
    u.Check(CDlgEditAreaListItem::ITEM_CHECK, false);
    u.Click(1);
  });
  pageUser().SetLong(Page::ITEM_RADIO_AREA, 1);
  pageUser().Click(Page::ITEM_AREA_COLUMNS);
  EXPECT_EQ(Headers(), std::vector<GS::UniString>{u""});
  for (short editor = 16; editor <= 31; ++editor)
    EXPECT_FALSE(State(editor).visible) << editor;
  EXPECT_TRUE(doc().m_UndoParam2.empty());
}

// Each command of the page whose save the host refuses says in one alert
// which command was not completed and why; a store not reserved says so.
TEST_F(TreePageTest, ACommandWhoseSaveIsRefusedNamesTheCommandAndTheCause)
{
  const RefusedSave cases[] = {
      {u"改行の変更を完了できませんでした。",
       [&] {
         BreakSharedByHand();
       },
       1},
      {u"項目の挿入を完了できませんでした。",
       [&] {
         Select({building});
         QueueStorehouseInsert();
         pageUser().Click(Page::ITEM_INSERT);
       }},
      {u"項目のコピーを完了できませんでした。",
       [&] {
         Select({shared});
         pageUser().Click(Page::ITEM_COPY);
       }},
      {u"項目の変更を元に戻せませんでした。", [&] { pageUser().Click(Page::ITEM_UNDO); }},
      {u"項目の編集を完了できませんでした。",
       [&] {
         Select({room, corridor});
         pln::host::QueueDialogScript(CDlgEditArea4::ResourceId, [](DialogUser& u) {
           Choose(u, CDlgEditAreaCore::ITEM_DIGIT2, u"小数点第3位");
           u.Click(1);
         });
         pageUser().Click(Page::ITEM_EDIT);
       }},
      {u"ツリー表示の変更を完了できませんでした。",
       [&] {
         pln::host::QueueDialogScript(CDlgEditTreeShowItem::ResourceId, [](DialogUser& u) {
           u.Check(CDlgEditTreeShowItem::ITEM_FLOOR_AREA, false);
           u.Click(1);
         });
         pageUser().Click(Page::ITEM_TREE_SHOW);
       }},
      {u"項目の削除を完了できませんでした。",
       [&] {
         Select({shared});
         pln::host::QueueAlertAnswer(1);
         pageUser().Click(Page::ITEM_DELETE);
       }},
  };
  ExpectEachRefusedSaveNamed(cases);
}

TEST_F(TreePageTest, PlanChangesAndStoryChangesEmptyTheTreeUndo)
{
  for (HINT hint : {Hint::ElementsChanged, Hint::StoryChanged}) {
    doc().SetUndo2();
    page().OnUpdate(hint);
    EXPECT_FALSE(State(Page::ITEM_UNDO).enabled) << hint;
    EXPECT_TRUE(doc().m_UndoParam2.empty()) << hint;
  }
  doc().SetUndo2();
  page().OnUpdate(8);
  EXPECT_EQ(doc().m_UndoParam2.size(), 1u);
}

TEST_F(TreePageTest, AreaRowsFollowTheSortIndexWithTiesInTreeOrder)
{
  doc().GetAreaObject(building)->m_SortIndex = 0;
  doc().GetAreaObject(room)->m_SortIndex = 0;
  doc().GetAreaObject(shared)->m_SortIndex = 5;
  doc().GetAreaObject(corridor)->m_SortIndex = 1;
  doc().GetAreaObject(stairs)->m_SortIndex = 1;
  page().SetAreaListItem(pageId);
  std::vector<int> codes;
  for (short row = 1; row <= DGListGetItemCount(pageId, Page::ITEM_AREA_LIST); ++row)
    codes.push_back(static_cast<int>(DGListGetItemUserData(pageId, Page::ITEM_AREA_LIST, row)));
  EXPECT_EQ(codes, (std::vector<int>{building, room, corridor, stairs, shared}));
}

TEST_F(TreePageTest, TheSplitterStopsAtItsLimitAndCatchesUpAfterwards)
{
  const short left = State(Page::ITEM_AREA_LIST).left;
  pageUser().SplitterDrag(Page::ITEM_SPLITTER, 260, 250);
  EXPECT_EQ(State(Page::ITEM_AREA_LIST).left, left);
  pageUser().SplitterDrag(Page::ITEM_SPLITTER, 250, 270);
  EXPECT_EQ(State(Page::ITEM_AREA_LIST).left, left + 20);
  EXPECT_EQ(State(Page::ITEM_RADIO_AUTO).left, 265 + 20);
}

TEST_F(TreePageTest, TreeSelectionSelectsTheFiguresOfAFolderAndTheRowsOfTheNodes)
{
  auto hall = PlaceRect(0, 10, 0, 2, 2);
  List(corridor, 0, hall);
  List(stairs, 0, hall);
  Select({shared});
  GS::Array<API_Neig> neigs;
  API_SelectionInfo info{};
  ACAPI_Selection_Get(&info, &neigs, false);
  ASSERT_EQ(neigs.GetSize(), 1u);
  EXPECT_EQ(neigs[0].guid, hall->m_Element.header.guid);
  EXPECT_EQ(DGListGetSelCount(pageId, Page::ITEM_AREA_LIST), 1);
  EXPECT_FALSE(palette().m_bIgnoreSelection);
  Select({room, shared});
  ACAPI_Selection_Get(&info, &neigs, false);
  EXPECT_EQ(neigs.GetSize(), 0u);
  EXPECT_EQ(DGListGetSelCount(pageId, Page::ITEM_AREA_LIST), 2);
}

TEST_F(TreePageTest, ChangeAreaTypeClearsWhatTheNewModeDoesNotUse)
{
  struct Case {
    CArea2ObjectFloor::MODE mode;
    long long area;
    std::size_t guids, entries;
  };
  for (const Case& c : {Case{CArea2ObjectFloor::MODE_FIGURE, 0, 0, 1}, Case{CArea2ObjectFloor::MODE_MANUAL, 5, 0, 1},
                        Case{CArea2ObjectFloor::MODE_AUTO, 0, 1, 0}, Case{CArea2ObjectFloor::MODE_BOTH, 0, 1, 0}}) {
    CArea2ObjectFloor record;
    record.m_ManualArea = 5;
    record.m_ManualEquation = u"x";
    GS::Guid zone;
    record.m_AutoAreaGuidArray.Add(zone.Generate());
    record.m_List.push_back(Element(room).m_FloorArray.FindFloor(0)->m_List.front());
    page().ChangeAreaType(&record, &Floor(0), c.mode);
    EXPECT_EQ(record.m_Mode, c.mode);
    EXPECT_EQ(record.m_ManualArea, c.area) << c.mode;
    EXPECT_EQ(record.m_ManualEquation.IsEmpty(), c.area == 0) << c.mode;
    EXPECT_EQ(record.m_AutoAreaGuidArray.size(), c.guids) << c.mode;
    EXPECT_EQ(record.m_List.size(), c.entries) << c.mode;
  }
}

// ---------------------------------------------------------------------------
// The area list

class AreaListTest : public TreePageTest {
protected:
  AreaListTest()
  {
    pageUser().SetLong(Page::ITEM_RADIO_AREA, 1);
    for (int id : {8, 13, 15})
      doc().m_AreaListItemArray.Search(id)->m_bVisible = true;
    page().SetAreaListHeader(pageId);
    page().SetAreaListItem(pageId);
  }
  short RowOf(int code)
  {
    for (short row = 1; row <= DGListGetItemCount(pageId, Page::ITEM_AREA_LIST); ++row)
      if (static_cast<int>(DGListGetItemUserData(pageId, Page::ITEM_AREA_LIST, row)) ==
          code)
        return row;
    return 0;
  }
  void SelectRows(std::vector<int> codes)
  {
    std::vector<short> rows;
    for (int code : codes)
      rows.push_back(RowOf(code));
    pageUser().SelectRows(Page::ITEM_AREA_LIST, rows);
  }
  GS::UniString MarkNo(int code)
  {
    const CAreaObject& object = *doc().GetAreaObject(code);
    return object.GetMarkStr(&doc()) + object.GetItemNoStr(&doc());
  }
};

TEST_F(AreaListTest, AMarkChangeRenumbersTheSelectedRowsInOneHostStepWithoutTreeUndo)
{
  SelectRows({corridor, stairs});
  const std::size_t steps = host.UndoNames().size();
  pageUser().SelectPopUp(16, Entry(16, u"◇"));
  EXPECT_EQ(MarkNo(corridor), GS::UniString(u"◇1"));
  EXPECT_EQ(MarkNo(stairs), GS::UniString(u"◇2"));
  EXPECT_EQ(MarkNo(room), GS::UniString(u"□1"));
  EXPECT_TRUE(doc().m_UndoParam2.empty());
  EXPECT_EQ(host.UndoNames().size(), steps + 1);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[求積図形リスト]"));

  pageUser().SelectPopUp(19, Entry(19, u"-"));
  EXPECT_EQ(Label(corridor).ToStdString(CC_UTF8).rfind("廊下▲[", 0), 0u);
}

// No mark stays "無" where it is chosen and shown as the setting, but prints
// nothing before the number: the mark-and-number cell and the tree's label.
TEST_F(AreaListTest, NoMarkIsNamedInItsCellAndPopUpButPrintsNothingBeforeTheNumber)
{
  doc().m_AreaListItemArray.Search(3)->m_bVisible = true;
  page().SetAreaListHeader(pageId);
  page().SetAreaListItem(pageId);
  SelectRows({corridor});
  pageUser().SelectPopUp(16, Entry(16, u"無"));
  EXPECT_EQ(State(16).entries[State(16).selectedEntry - 1].text, GS::UniString(u"無"));
  const GS::UniString number = doc().GetAreaObject(corridor)->GetItemNoStr(&doc());
  EXPECT_EQ(MarkNo(corridor), number);
  std::vector<GS::UniString> cells;
  const auto& row = pln::host::DialogItemState(pageId, Page::ITEM_AREA_LIST)->list.rows[RowOf(corridor) - 1];
  for (const auto& [tab, text] : row.texts)
    cells.push_back(text);
  EXPECT_NE(std::find(cells.begin(), cells.end(), GS::UniString(u"無")), cells.end());
  EXPECT_NE(std::find(cells.begin(), cells.end(), number), cells.end());
  const auto named = [](const GS::UniString& c) { return c.Std().find(u"無") != std::u16string::npos; };
  EXPECT_EQ(std::count_if(cells.begin(), cells.end(), named), 1);
  EXPECT_EQ(Label(corridor).Std().find(u"無"), std::u16string::npos);
}

// The area list's editors save at once; a save that fails is shown.
TEST_F(AreaListTest, AnEditWhoseSaveFailsIsReportedOnce)
{
  SelectRows({corridor});
  NewAlerts();
  const std::pair<short, const char16_t*> edits[] = {{16, u"◇"}, {19, u"-"}, {24, u"四捨五入"}};
  for (const auto& [item, text] : edits) {
    host.FailOnce("ACAPI_ModulData_Store", APIERR_MEMFULL);
    pageUser().SelectPopUp(item, Entry(item, text));
    const std::vector<GS::UniString> alerts = NewAlerts();
    ASSERT_EQ(alerts.size(), 1u) << item;
    EXPECT_NE(alerts[0].ToStdString(CC_UTF8).find("APIERR_MEMFULL"), std::string::npos) << item;
    EXPECT_TRUE(SaysInWords(alerts[0])) << item;
  }
}

TEST_F(AreaListTest, UndefinedOrDefaultRoundingKindsChangeNoNode)
{
  SelectRows({corridor});
  for (short item : {24, 26})
    for (const char16_t* text : {u"未定義", u"デフォルト"}) {
      pageUser().SelectPopUp(item, Entry(item, text));
      const CAreaTree* node = doc().GetTree()->Search(corridor);
      EXPECT_EQ(node->m_RoundTypeTotal, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 2));
      EXPECT_EQ(node->m_RoundTypeFloor, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 2));
      EXPECT_EQ(State(item).entries[State(item).selectedEntry - 1].text, GS::UniString(u"切り捨て"));
    }
}

TEST_F(AreaListTest, TypedAreasAreReadExactlyAndBadOnesRefused)
{
  Element(corridor).m_FloorArray.SearchFloor(0)->m_Mode = CArea2ObjectFloor::MODE_MANUAL;
  Element(corridor).m_FloorArray.SearchFloor(0)->m_ManualArea = 42;
  page().SetAreaListItem(pageId);
  SelectRows({corridor});
  struct Case {
    const char16_t* text;
    long long area;
    bool refused;
  };
  const Case cases[] = {
      {u"8.2", 8200000, false},   {u"1.005", 1005000, false}, {u"-3", -3000000, false},
      {u"1,234", 1000000, false}, {u"abc", 0, false},         {u"1e10", 0, true},
      {u"inf", 0, true},          {u"nan", 0, true},
  };
  long long stored = 42;
  for (const Case& c : cases) {
    NewAlerts();
    pageUser().SetText(30, c.text);
    const long long now = Element(corridor).m_FloorArray.FindFloor(0)->m_ManualArea;
    if (c.refused) {
      EXPECT_EQ(now, stored) << GS::UniString(c.text).ToStdString(CC_UTF8);
      EXPECT_EQ(NewAlerts(), std::vector<GS::UniString>{u"入力値が正しくありません"});
    } else {
      EXPECT_EQ(now, c.area) << GS::UniString(c.text).ToStdString(CC_UTF8);
      EXPECT_TRUE(NewAlerts().empty());
      stored = now;
    }
  }
  // The field shows the stored area again, in six digits.
  EXPECT_EQ(State(30).text, GS::UniString(u"0.000000"));
}

TEST_F(AreaListTest, AnEmptyNameIsRefusedAndAnotherStoredForTheStory)
{
  SelectRows({corridor});
  pageUser().SetText(20, u"");
  EXPECT_EQ(NewAlerts(), std::vector<GS::UniString>{u"名前を入力してください"});
  EXPECT_EQ(State(20).text, GS::UniString(u"廊下"));
  pageUser().SetText(20, u"通路");
  EXPECT_EQ(doc().GetAreaObject(corridor)->m_Name.GetName(0), GS::UniString(u"通路"));
  EXPECT_EQ(doc().GetAreaObject(corridor)->m_Name.m_DefaultName, GS::UniString(u"廊下"));
}

// Names and formulas are stored in the host's default code (Shift-JIS
// here): a text it cannot hold is refused naming the character, and neither
// the document nor the stored record changes; under UTF-8 it is taken.
TEST_F(AreaListTest, ANameOrFormulaTheDefaultCodeCannotHoldIsRefusedUnderShiftJisOnly)
{
  Element(corridor).m_FloorArray.SearchFloor(0)->m_Mode = CArea2ObjectFloor::MODE_MANUAL;
  Element(corridor).m_FloorArray.SearchFloor(0)->m_ManualEquation = u"1+2";
  page().SetAreaListItem(pageId);
  SelectRows({corridor});
  auto stored = [&] { return host.ModulData(GS::UniString(CPlenimetraParam::kRecordName)); };
  auto name = [&] { return doc().GetAreaObject(corridor)->m_Name.GetName(0); };
  auto formula = [&] { return Element(corridor).m_FloorArray.FindFloor(0)->m_ManualEquation; };
  ASSERT_EQ(doc().SaveData(), NoError);
  const auto before = stored();
  NewAlerts();
  pageUser().SetText(Page::ITEM_AREA_NAME, u"通路€");
  EXPECT_EQ(NewAlerts(), std::vector<GS::UniString>{u"使用できない文字「€」(U+20AC)が含まれています"});
  EXPECT_EQ(name(), GS::UniString(u"廊下"));
  EXPECT_EQ(State(Page::ITEM_AREA_NAME).text, GS::UniString(u"廊下"));
  pageUser().SetText(Page::ITEM_AREA_EQUATION, u"1+2😀");
  EXPECT_EQ(NewAlerts(), std::vector<GS::UniString>{u"使用できない文字「😀」(U+1F600)が含まれています"});
  EXPECT_EQ(formula(), GS::UniString(u"1+2"));
  EXPECT_TRUE(stored() == before);

  pln::host::SetDefaultCharCode(CC_UTF8);
  pageUser().SetText(Page::ITEM_AREA_NAME, u"通路€");
  pageUser().SetText(Page::ITEM_AREA_EQUATION, u"1+2😀");
  EXPECT_TRUE(NewAlerts().empty());
  EXPECT_EQ(name(), GS::UniString(u"通路€"));
  EXPECT_EQ(formula(), GS::UniString(u"1+2😀"));
  EXPECT_FALSE(stored() == before);
}

TEST_F(AreaListTest, AColourIsOneHostStepAndItsSwatchHasThePensBytes)
{
  const Int32 pen = host.AddPen(API_RGBColor{1.0, 0.5, 0.0});
  auto shared2 = PlaceRect(0, 10, 0, 2, 2);
  List(room, 0, shared2);
  List(corridor, 0, shared2);
  SelectRows({room});
  const std::size_t steps = host.UndoNames().size();
  pageUser().SetLong(31, pen);
  ASSERT_EQ(host.UndoNames().size(), steps + 1);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[]"));
  EXPECT_EQ(doc().GetAreaObject(room)->m_ColorPen, pen);
  // Every figure the element alone lists takes the pen, on every story.
  for (const auto& figure : {Figures(0).front(), Figures(1).front()})
    for (const char* name : {"area_cont_pen", "area_symbol_pen"})
      EXPECT_EQ(Pen(*figure, name), pen) << name;
  EXPECT_NE(Pen(*shared2, "area_cont_pen"), pen);
  short colourTab = 0;
  for (short h = 1; h <= DGListGetHeaderItemCount(pageId, Page::ITEM_AREA_LIST); ++h)
    if (DGListGetHeaderItemText(pageId, Page::ITEM_AREA_LIST, h) == GS::UniString(u"色"))
      colourTab = h;
  const auto swatch = pageUser().DrawListCell(Page::ITEM_AREA_LIST, RowOf(room), colourTab, 50, 18);
  ASSERT_EQ(swatch.operations.size(), 3u);
  EXPECT_EQ(swatch.operations[2].kind, NewDisplay::DrawOperation::Fill);
  EXPECT_EQ(swatch.operations[2].color, (NewDisplay::Color{255, 127, 0, 255}));
  EXPECT_TRUE(pageUser().DrawListCell(Page::ITEM_AREA_LIST, RowOf(corridor), colourTab, 50, 18).operations.empty());
}

TEST_F(AreaListTest, RowSelectionSelectsTheTreeItemsAndClearsThePlan)
{
  host.UserSelect({Figures(0).front()->m_Element.header.guid});
  SelectRows({corridor, room});
  std::vector<int> selected;
  for (int item : page().GetSelTree(pageId))
    selected.push_back(page().NodeOf(pageId, item)->m_AreaCode);
  std::sort(selected.begin(), selected.end());
  EXPECT_EQ(selected, (std::vector<int>{std::min(corridor, room), std::max(corridor, room)}));
  GS::Array<API_Neig> neigs;
  API_SelectionInfo info{};
  ACAPI_Selection_Get(&info, &neigs, false);
  EXPECT_EQ(neigs.GetSize(), 0u);
  EXPECT_FALSE(palette().m_bIgnoreSelection);
}

// ---------------------------------------------------------------------------
// Dragging

// The pattern below its top folder, as "name(children)".
std::string Shape(CPlenimetraParam& d, const CAreaTree& node)
{
  std::string text = d.GetAreaObject(node.m_AreaCode)->m_Name.m_DefaultName.ToStdString(CC_UTF8);
  if (node.m_Child.empty())
    return text;
  text += "(";
  for (std::size_t c = 0; c < node.m_Child.size(); ++c)
    text += (c > 0 ? "," : "") + Shape(d, node.m_Child[c]);
  return text + ")";
}

TEST_F(TreePageTest, TreeDropsMoveSubtreesAndRefuseImpossiblePlaces)
{
  const std::string start = "建物(居室,共用(廊下,階段))";
  struct Case {
    int dragged;
    int target;
    short position;
    const char* shape;
    const char16_t* message;
  };
  const Case cases[] = {
      {shared, corridor, DG_DRAG_INSERT_ON, nullptr, u"この項目に移動することはできません"},
      {shared, room, DG_DRAG_INSERT_ON, nullptr, u"この項目に移動することはできません"},
      {corridor, room, DG_DRAG_INSERT_UNDER, "建物(居室,廊下,共用(階段))", nullptr},
      {corridor, room, DG_DRAG_INSERT_ABOVE, "建物(廊下,居室,共用(階段))", nullptr},
      {corridor, building, DG_DRAG_INSERT_ON, nullptr, nullptr},
      {room, building, DG_DRAG_INSERT_ON, nullptr, nullptr},
      {corridor, shared, DG_DRAG_INSERT_ON, "建物(居室,共用(階段,廊下))", nullptr},
      {room, room, DG_DRAG_INSERT_UNDER, nullptr, nullptr},
      {room, room, DG_DRAG_INSERT_ABOVE, nullptr, nullptr},
      {shared, stairs, DG_DRAG_INSERT_UNDER, nullptr, u"この項目に移動することはできません"},
      {room, building, DG_DRAG_INSERT_UNDER, nullptr,
       u"小計項目以外の項目に移動することはできません"},
  };
  for (const Case& c : cases) {
    const CAreaTree saved = *doc().GetTree();
    page().SetTreeItem(pageId);
    Select({c.dragged});
    NewAlerts();
    pageUser().DragAndDrop(Page::ITEM_TREE, Page::ITEM_TREE, TreeItemOf(c.target), c.position);
    EXPECT_EQ(Shape(doc(), doc().GetTree()->m_Child[0]), c.shape != nullptr ? c.shape : start) << &c - cases;
    EXPECT_EQ(NewAlerts(), c.message != nullptr ? std::vector<GS::UniString>{c.message} : std::vector<GS::UniString>{})
        << &c - cases;
    EXPECT_EQ(Names().size(), 5u);
    *doc().GetTree() = saved;
  }
}

TEST_F(AreaListTest, DroppedRowsComeRightAfterTheTargetRowAndAreRenumbered)
{
  Add(u"倉庫", building, CAreaTree::KIND_ELEMENT_FORMULA);
  ASSERT_TRUE(doc().GetTree()->SetItemNo(&doc()));
  page().SetTreeItem(pageId);
  page().SetAreaListItem(pageId);
  std::vector<int> before;
  for (short row = 1; row <= 6; ++row)
    before.push_back(static_cast<int>(DGListGetItemUserData(pageId, Page::ITEM_AREA_LIST, row)));
  pageUser().SelectRows(Page::ITEM_AREA_LIST, {2, 5});
  const std::size_t steps = host.UndoNames().size();
  pageUser().DragAndDrop(Page::ITEM_AREA_LIST, Page::ITEM_AREA_LIST, 3, DG_DRAG_INSERT_UNDER);
  std::vector<int> after;
  for (short row = 1; row <= 6; ++row)
    after.push_back(static_cast<int>(DGListGetItemUserData(pageId, Page::ITEM_AREA_LIST, row)));
  EXPECT_EQ(after, (std::vector<int>{before[0], before[2], before[1], before[4], before[3], before[5]}));
  for (std::size_t i = 0; i < after.size(); ++i)
    EXPECT_EQ(doc().GetAreaObject(after[i])->m_SortIndex, static_cast<int>(i));
  EXPECT_EQ(host.UndoNames().size(), steps + 1);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[求積図形リスト]"));
  // The squares are numbered in the new order.
  std::vector<GS::UniString> squares;
  for (int code : after)
    if (code < 0)
      squares.push_back(MarkNo(code));
  EXPECT_EQ(squares, (std::vector<GS::UniString>{u"□1", u"□2", u"□3", u"□4"}));
}

// ---------------------------------------------------------------------------
// The page among the palette's updates

TEST_F(TreePageTest, AutomaticDivisionRebuildsTheEntriesFromTheAreasTheFiguresCameFrom)
{
  GS::Guid source;
  API_Elem_Head head{};
  head.guid = ToAPIGuid(source.Generate());
  head.floorInd = 0;
  Floor(0).m_AutoAreaParamArray.push_back(CAutoAreaParam(&head));
  auto cut1 = PlaceRect(0, 20, 0, 1, 1), cut2 = PlaceRect(0, 22, 0, 1, 1);
  for (const auto& cut : {cut1, cut2})
    cut->m_AutoArea.m_ElemGuid = source;
  CArea2ObjectFloor* record = Element(room).m_FloorArray.SearchFloor(0);
  record->m_List.push_back(CArea2List(cut1, COperatorTable::OPERATOR_PLUS));
  for (int pass = 0; pass < 2; ++pass) {
    page().ChangeAreaType(record, &Floor(0), CArea2ObjectFloor::MODE_AUTO);
    ASSERT_EQ(record->m_AutoAreaGuidArray.size(), 1u);
    EXPECT_EQ(record->m_AutoAreaGuidArray.front(), source);
    std::vector<const CArea1Object*> entries;
    for (const CArea2List& entry : record->m_List)
      entries.push_back(entry.m_pArea1.get());
    EXPECT_EQ(entries, (std::vector<const CArea1Object*>{cut1.get(), cut2.get()}));
  }
}

TEST_F(AreaListTest, AutomaticDivisionDropsHandPlacedFiguresButKeepsTheAreas)
{
  CArea2ObjectFloor* record = Element(room).m_FloorArray.SearchFloor(0);
  GS::Guid zone;
  record->m_AutoAreaGuidArray.Add(zone.Generate());
  SelectRows({room});
  pageUser().SelectPopUp(28, Entry(28, u"自動分割区画"));
  EXPECT_EQ(record->m_Mode, CArea2ObjectFloor::MODE_AUTO);
  EXPECT_TRUE(record->m_List.empty());
  EXPECT_EQ(record->m_AutoAreaGuidArray.size(), 1u);
  EXPECT_EQ(State(Page::ITEM_TREE).tree.items.at(TreeItemOf(room)).icon.GetResourceId(), 32426);
}

TEST_F(TreePageTest, APlanPickSelectsItsDetailRowButThePagesOwnSelectionNeverReturns)
{
  const auto& figure = Figures(0).front();
  ASSERT_EQ(host.UserSelect({figure->m_Element.header.guid}), NoError);
  EXPECT_EQ(DGListGetSelCount(pageId, Page::ITEM_DETAIL_LIST), 1);
  EXPECT_EQ(DGListGetSelected(pageId, Page::ITEM_DETAIL_LIST, 0), figure->m_SortIndex + 1);
  Select({room});
  GS::Array<API_Neig> neigs;
  API_SelectionInfo info{};
  ACAPI_Selection_Get(&info, &neigs, false);
  EXPECT_EQ(neigs.GetSize(), 1u);
  EXPECT_EQ(DGListGetSelCount(pageId, Page::ITEM_DETAIL_LIST), 0);
}

TEST_F(TreePageTest, DeletingAFigureOnThePlanDisablesUndo)
{
  Select({shared});
  pageUser().Click(Page::ITEM_COPY);
  ASSERT_TRUE(State(Page::ITEM_UNDO).enabled);
  ASSERT_EQ(host.UserDelete({Figures(0).front()->m_Element.header.guid}), NoError);
  EXPECT_FALSE(State(Page::ITEM_UNDO).enabled);
  EXPECT_TRUE(doc().m_UndoParam2.empty());
}

TEST_F(TreePageTest, ClosingKeepsTheColumnWidthsOfTheThreeLists)
{
  pageUser().Click(Page::ITEM_BACK);
  for (const char16_t* name : {u" 32409-35", u" 32409-36", u" 32409-37"})
    EXPECT_TRUE(host.ModulData(name).has_value()) << GS::UniString(name).ToStdString(CC_UTF8);
  EXPECT_TRUE(palette().IsOn());
}

}  // namespace
