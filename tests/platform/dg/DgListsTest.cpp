// List boxes: rows and their selection, cells, tab fields and headers.

#include "PlatformTestSupport.h"

using pln::host::DGDialogDef;
using pln::host::DGItemKind;
using pln::host::DialogUser;

namespace {

constexpr short kDialog = 32409;
constexpr short kList = 35;
constexpr short kSingle = 36;
constexpr short kEditor = 20;

class DgListsTest : public DgTest {
protected:
  void SetUp() override
  {
    pln::host::DefineDialog(
        kDialog, DGDialogDef{.items = {{.item = kList, .kind = DGItemKind::ListBox, .left = 10, .right = 210,
                                        .bottom = 300, .rowHeight = 16},
                                       {.item = kSingle, .kind = DGItemKind::ListBox, .singleSelection = true},
                                       {.item = kEditor, .kind = DGItemKind::TextEdit}}});
    id = OpenModeless(kDialog);
  }

  void AddRows(short list, short count)
  {
    for (short i = 0; i < count; ++i) {
      DGListInsertItem(id, list, DG_LIST_BOTTOM);
      const short row = DGListGetItemCount(id, list);
      DGListSetItemUserData(id, list, row, 100 + row);
    }
  }

  std::vector<short> Selected(short list)
  {
    std::vector<short> rows(static_cast<std::size_t>(DGListGetSelCount(id, list)));
    rows.resize(static_cast<std::size_t>(DGListGetSelItems(id, list, rows.data(), static_cast<short>(rows.size()))));
    return rows;
  }

  void SetColumns(std::initializer_list<std::pair<short, short>> spans)
  {
    std::vector<DGTabFieldData> fields;
    for (const auto& [begin, end] : spans)
      fields.push_back(DGTabFieldData{.begin = begin, .end = end});
    DGListSetTabFieldCount(id, kList, static_cast<short>(fields.size()));
    DGListSetTabData(id, kList, static_cast<short>(fields.size()), fields.data());
  }

  std::vector<short> Spans()
  {
    std::vector<short> spans;
    for (short field = 1; field <= DGListGetTabFieldCount(id, kList); ++field) {
      spans.push_back(DGListGetTabFieldBeginPosition(id, kList, field));
      spans.push_back(DGListGetTabFieldEndPosition(id, kList, field));
    }
    return spans;
  }

  short id = 0;
};

TEST_F(DgListsTest, RowsInsertBeforeAPlaceOrAtTheBottomAndStackBelowTheHeader)
{
  AddRows(kList, 3);  // user data 101, 102, 103
  short left = 0, top = 0, right = 0, bottom = 0;
  ASSERT_TRUE(DGListGetItemRect(id, kList, 3, &left, &top, &right, &bottom));
  EXPECT_EQ((std::vector<short>{left, top, right, bottom}), (std::vector<short>{0, 20 + 2 * 16, 200, 20 + 3 * 16}));

  DGListInsertItem(id, kList, 2);
  EXPECT_EQ(DGListGetItemUserData(id, kList, 2), 0);  // unset
  EXPECT_EQ(DGListGetItemUserData(id, kList, 3), 102);
  DGListDeleteItem(id, kList, DG_LIST_BOTTOM);
  DGListDeleteItem(id, kList, 1);
  EXPECT_EQ(DGListGetItemCount(id, kList), 2);
  EXPECT_EQ(DGListGetItemUserData(id, kList, 2), 102);
  DGListDeleteItem(id, kList, DG_ALL_ITEMS);
  EXPECT_EQ(DGListGetItemCount(id, kList), 0);
}

TEST_F(DgListsTest, SelectionTravelsWithItsRowsAndReadsAscending)
{
  AddRows(kList, 6);
  DGListSelectItem(id, kList, 5);
  DGListSelectItem(id, kList, 2);
  EXPECT_EQ(Selected(kList), (std::vector<short>{2, 5}));
  EXPECT_EQ(DGListGetSelected(id, kList, 1), 2);
  EXPECT_EQ(DGListGetSelected(id, kList, 3), 5);
  EXPECT_EQ(DGListGetSelected(id, kList, 6), 0);
  short two[2] = {0, 0};
  EXPECT_EQ(DGListGetSelItems(id, kList, two, 1), 1);  // writes no more than asked
  EXPECT_EQ(two[1], 0);

  DGListInsertItem(id, kList, 1);
  EXPECT_EQ(Selected(kList), (std::vector<short>{3, 6}));
  DGListDeselectItem(id, kList, 3);
  EXPECT_EQ(Selected(kList), (std::vector<short>{6}));
  DGListDeselectItem(id, kList, DG_ALL_ITEMS);
  EXPECT_EQ(DGListGetSelCount(id, kList), 0);
  EXPECT_EQ(DGListGetSelected(id, kList, 1), 0);
}

TEST_F(DgListsTest, UserSelectionReplacesTheOldOneThenSendsChangeAndASingleListRefusesSeveral)
{
  AddRows(kList, 4);
  DGListSelectItem(id, kList, 1);
  recorder.answer = [this](const DgMessage&) { return DGListGetSelCount(id, kList); };
  EXPECT_EQ(DialogUser(id).SelectRows(kList, {4, 2}), 2);
  EXPECT_EQ(Selected(kList), (std::vector<short>{2, 4}));
  EXPECT_EQ(recorder.messages.back(), (DgMessage{DG_MSG_CHANGE, id, kList, 0}));

  AddRows(kSingle, 3);
  DGListSelectItem(id, kSingle, 1);
  DGListSelectItem(id, kSingle, 3);
  EXPECT_EQ(Selected(kSingle), (std::vector<short>{3}));
  EXPECT_EQ(DialogUser(id).SelectRows(kSingle, {1, 2}), 0);
  EXPECT_EQ(Selected(kSingle), (std::vector<short>{3}));
  ExpectMisuses(1);
}

TEST_F(DgListsTest, CellTextsAndStylesStayPerRowAndTabField)
{
  AddRows(kList, 2);
  DGListSetTabItemText(id, kList, 2, 3, u"12.50");
  DGListSetItemStyle(id, kList, 2, 1);
  EXPECT_EQ(DGListGetItemText(id, kList, 2, 3), GS::UniString(u"12.50"));
  EXPECT_EQ(DGListGetItemText(id, kList, 1, 3), GS::UniString());
  EXPECT_EQ(DGListGetItemText(id, kList, 2, 2), GS::UniString());
  EXPECT_EQ(DGListGetItemStyle(id, kList, 2), 1);
  EXPECT_EQ(DGListGetItemStyle(id, kList, 1), 0);
}

TEST_F(DgListsTest, HeaderItemsFollowTheTabFieldsUntilCountedThemselves)
{
  SetColumns({{0, 100}, {100, 130}, {130, 170}});
  DGListSetHeaderItemCount(id, kList, 0);
  EXPECT_EQ(DGListGetHeaderItemCount(id, kList), 3);
  EXPECT_EQ(Spans(), (std::vector<short>{0, 100, 100, 130, 130, 170}));
  DGListSetHeaderItemText(id, kList, 3, u"面積");
  DGListSetHeaderItemArrowType(id, kList, 3, DG_ARROW_DOWN);
  EXPECT_EQ(DGListGetHeaderItemText(id, kList, 3), GS::UniString(u"面積"));
  EXPECT_EQ(DGListGetHeaderItemArrowType(id, kList, 3), DG_ARROW_DOWN);
  EXPECT_EQ(DGListGetHeaderItemArrowType(id, kList, 1), DG_ARROW_NONE);


  DGListSetHeaderItemCount(id, kList, 2);
  EXPECT_EQ(DGListGetHeaderItemCount(id, kList), 2);
  DGListSetHeaderItemText(id, kList, 3, u"x");
  DGListSetHeaderItemArrowType(id, kList, 1, 3);
  ExpectMisuses(2);
}

TEST_F(DgListsTest, EditorOnATabFieldIsAnItemOfTheDialog)
{
  SetColumns({{0, 60}, {60, 120}});
  DGListSetDialItemOnTabField(id, kList, 2, kEditor);
  EXPECT_EQ(DGListGetDialItemOnTabField(id, kList, 2), kEditor);
  DGListSetDialItemOnTabField(id, kList, 2, DG_NO_ITEM);
  EXPECT_EQ(DGListGetDialItemOnTabField(id, kList, 2), DG_NO_ITEM);
  DGListSetDialItemOnTabField(id, kList, 2, 99);
  DGListSetDialItemOnTabField(id, kList, 3, kEditor);
  ExpectMisuses(2);
}

TEST_F(DgListsTest, UserHeaderResizeShiftsTheLaterTabFieldsThenReportsKind1And2AndAClickNamesItsItem)
{
  SetColumns({{0, 100}, {100, 130}, {130, 170}});
  std::vector<std::pair<short, DG::ListBoxHeaderEventArg>> events;
  recorder.answer = [&](const DgMessage& m) -> short {
    events.emplace_back(m.message, *Record<DG::ListBoxHeaderEventArg>(m.data));
    return m.message == DG_MSG_LISTHEADERCLICK ? 1 : 0;
  };
  DialogUser(id).HeaderResize(kList, 2, 15);
  EXPECT_EQ(Spans(), (std::vector<short>{0, 100, 100, 145, 145, 185}));
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].first, DG_MSG_LISTHEADERRESIZE);
  EXPECT_EQ(events[0].second.kind, 1);
  EXPECT_EQ(events[0].second.headerItem, 2);
  EXPECT_EQ(events[0].second.widthChange, 15);
  EXPECT_EQ(events[1].second.kind, 2);

  EXPECT_EQ(DialogUser(id).HeaderClick(kList, 3), 1);
  EXPECT_EQ(events.back().first, DG_MSG_LISTHEADERCLICK);
  EXPECT_EQ(events.back().second.headerItem, 3);
  EXPECT_TRUE(DGIsDialogOpen(id));  // only a click's answer closes
}

}  // namespace
