// List columns on a small test dialog: the tab fields and headers they lay
// out, the edit items they place over cells, header resizing, and the
// widths kept in module data.

#include "CDGDlgCore.h"
#include "CDGListItemParam.h"
#include "HostTestSupport.h"

#include <memory>
#include <tuple>

using pln::host::DGItemKind;
using pln::host::DialogUser;

namespace {

constexpr short kRes = 32530;
constexpr short kList = 7;
constexpr short kLongEdit = 8;
constexpr short kTextEdit = 9;
const char* const kRecordName = " 32530-7";

// A column that reports every Func call before doing what the base does.
class Column : public CDGListItemParamCore {
public:
  Column(CallList& calls, short dialId, short width, const char16_t* header, short justification, short editItem)
      : CDGListItemParamCore(dialId, kList, width, GS::UniString(header), justification, editItem, 0), calls_(calls)
  {
  }
  void Func(short row, short column, bool text) override
  {
    calls_.push_back(Line("Func", row, column, text));
    CDGListItemParamCore::Func(row, column, text);
  }

private:
  CallList& calls_;
};

// Uses its columns in the order every list dialog does.
class ListDialog : public CDGDlgCore {
public:
  ListDialog() : CDGDlgCore(kRes) {}

  void DoMsgInit(short dialId) override
  {
    columns = std::make_unique<CDGListItemParamArray>(dialId, kList);
    columns->push_back(std::make_unique<Column>(calls, dialId, 100, u"名称", 0, kTextEdit));
    columns->push_back(std::make_unique<Column>(calls, dialId, 30, u"数", 256, 0));
    columns->push_back(std::make_unique<Column>(calls, dialId, 40, u"面積", 512, kLongEdit));
    columns->LoadHeaderPosition(m_ResourceID);
    columns->InitializeList(false);
  }
  void DoMsgChange(short, short, long long) override {}
  short DoMsgListHeaderResize(short, short item, DG::ListBoxHeaderEventArg* event) override
  {
    return item == kList ? columns->DoMsgListHeaderResize(event) : 0;
  }
  short DoMsgClose(short, short) override
  {
    columns->SaveHeaderPosition(m_ResourceID);
    return 0;
  }

  CallList calls;
  std::unique_ptr<CDGListItemParamArray> columns;
};

// A list dialog, open for the test; it closes, and so stores its widths, at
// the end unless the test closed it.
class CDGListItemParamTest : public HostTest {
protected:
  CDGListItemParamTest()
  {
    const pln::host::DGItemDef list{.item = kList, .kind = DGItemKind::ListBox, .left = 10, .top = 40, .right = 310,
                                    .bottom = 240, .rowHeight = 18};
    const pln::host::DGItemDef longEdit{.item = kLongEdit, .kind = DGItemKind::LongEdit};
    host.DefineDialog(kRes, {.items = {{.item = 1}, {.item = 2}, list, longEdit,
                                       {.item = kTextEdit, .kind = DGItemKind::TextEdit}}});
    id = dialog.DoModeless();
  }
  ~CDGListItemParamTest() override
  {
    if (DGIsDialogOpen(id))
      DGModelessClose(id);
  }

  const pln::host::DGListState& List() const { return pln::host::DialogItemState(id, kList)->list; }
  const pln::host::DGItemState& Item(short item) const { return *pln::host::DialogItemState(id, item); }
  std::vector<DGTabFieldData> TabFields() const
  {
    std::vector<DGTabFieldData> fields;
    for (const auto& field : List().tabFields)
      fields.push_back(field.data);
    return fields;
  }
  // Each header's text, button flag and size flag.
  std::vector<std::tuple<GS::UniString, bool, short>> Headers() const
  {
    std::vector<std::tuple<GS::UniString, bool, short>> headers;
    for (const auto& [index, header] : List().headers)
      headers.emplace_back(header.text, header.buttonFlag, header.sizeFlag);
    return headers;
  }
  void AddRows(short count)
  {
    for (short i = 0; i < count; ++i)
      DGListInsertItem(id, kList, DG_LIST_BOTTOM);
  }

  ListDialog dialog;
  short id = 0;
};

DGTabFieldData Field(short begin, short end, short justification)
{
  return DGTabFieldData{.begin = begin, .end = end, .justification = justification};
}

// The record of the stored widths: the count as i32, each width as i16.
std::vector<char> WidthRecord(int count, const std::vector<short>& widths)
{
  std::vector<char> bytes(sizeof count + widths.size() * sizeof(short));
  std::memcpy(bytes.data(), &count, sizeof count);
  std::memcpy(bytes.data() + sizeof count, widths.data(), widths.size() * sizeof(short));
  return bytes;
}

// ---------------------------------------------------------------------------
// Layout

TEST_F(CDGListItemParamTest, EachTabFieldBeginsWhereThePreviousEndsUnderAnEditItemHiddenOnIt)
{
  EXPECT_EQ(TabFields(), (std::vector<DGTabFieldData>{Field(0, 100, 0), Field(100, 130, 256), Field(130, 170, 512)}));
  EXPECT_EQ(DGListGetHeaderItemCount(id, kList), 3);  // one header item per tab field
  EXPECT_EQ(pln::host::DialogState(id)->tabPageFixPoint, 1);
  EXPECT_EQ(pln::host::DialogState(id)->tabPageGrowType, 3);

  EXPECT_FALSE(Item(kTextEdit).visible);
  EXPECT_FALSE(Item(kLongEdit).visible);
  EXPECT_EQ(List().tabFields[0].dialItem, kTextEdit);
  EXPECT_EQ(List().tabFields[1].dialItem, DG_NO_ITEM);
  EXPECT_EQ(List().tabFields[2].dialItem, kLongEdit);
  dialog.columns->HideItem();
  for (const auto& field : List().tabFields)
    EXPECT_EQ(field.dialItem, DG_NO_ITEM);
}

TEST_F(CDGListItemParamTest, HeadersGetTheirTextsAndBecomeButtonsButTheFillerStaysBlank)
{
  using Header = std::tuple<GS::UniString, bool, short>;
  EXPECT_EQ(Headers(), (std::vector<Header>{{u"名称", true, 0}, {u"数", true, 0}, {GS::UniString(), false, 0}}));

  // All headers: the third gets its text too, and every size flag stays.
  DGListSetHeaderItemFlags(id, kList, 2, 5, false);
  DGListSetHeaderItemFlags(id, kList, 3, 6, false);
  DGSetItemFont(id, kList, 0x3D);
  dialog.columns->InitializeList(true);
  EXPECT_EQ(Headers(), (std::vector<Header>{{u"名称", true, 0}, {u"数", true, 5}, {u"面積", true, 6}}));
  for (short i = 1; i <= 3; ++i)
    EXPECT_EQ(List().headers.at(i).font, 0x0C) << "header " << i;  // only the size bits of the list's font

  // One column without all headers has a blank header.
  CDGListItemParamArray single(id, kList);
  single.push_back(std::make_unique<CDGListItemParamCore>(id, kList, 80, GS::UniString(u"名称"), 0, 0, 0));
  single.InitializeList(false);
  EXPECT_EQ(TabFields(), (std::vector<DGTabFieldData>{Field(0, 80, 0)}));
  EXPECT_EQ(List().headers.at(1).text, GS::UniString());
  dialog.columns->InitializeList(false);  // the dialog stores its own three columns when it closes
}

TEST_F(CDGListItemParamTest, EditItemSitsOnePixelInsideTheCellInTheRowsStyle)
{
  AddRows(3);
  DGSetItemFont(id, kList, 0x0D);
  DGListSetItemStyle(id, kList, 2, 0x40);
  ASSERT_TRUE((*dialog.columns)[2]->SetItemSize(2, 3));

  short rowLeft = 0, rowTop = 0, rowRight = 0, rowBottom = 0;
  DGListGetItemRect(id, kList, 2, &rowLeft, &rowTop, &rowRight, &rowBottom);
  const auto& edit = Item(kLongEdit);
  EXPECT_EQ(std::tuple(edit.left, edit.top, edit.right, edit.bottom, edit.font),
            std::tuple(short(131), short(rowTop + 1), short(169), short(rowBottom - 1), short(0x4C)));

  EXPECT_FALSE((*dialog.columns)[2]->SetItemSize(9, 3));  // no such row: nothing moves
  EXPECT_EQ(Item(kLongEdit).left, 131);
  DGModelessClose(id);
  host.Reset();  // the refused row was a misuse on purpose
}

// ---------------------------------------------------------------------------
// Selection and content

TEST_F(CDGListItemParamTest, SetListVisitsEveryColumnAtTheFirstSelectedRow)
{
  AddRows(4);
  DGListSelectItem(id, kList, 3);
  DGListSelectItem(id, kList, 4);
  dialog.calls.clear();
  dialog.columns->SetList(false);
  EXPECT_EQ(dialog.calls, (CallList{"Func 3 1 0", "Func 3 2 0", "Func 3 3 0"}));
  for (const auto& row : List().rows)
    EXPECT_EQ(row.redraws, 1);

  DGListDeselectItem(id, kList, DG_ALL_ITEMS);
  DGDisableItem(id, kLongEdit);
  DGDisableItem(id, kTextEdit);
  DGDisableItem(id, 1);
  dialog.calls.clear();
  dialog.columns->SetList(true);
  EXPECT_EQ(dialog.calls, (CallList{"Func 0 1 0", "Func 0 2 0", "Func 0 3 0"}));
  EXPECT_TRUE(Item(kLongEdit).enabled);
  EXPECT_TRUE(Item(kTextEdit).enabled);
  EXPECT_FALSE(Item(1).enabled);
  EXPECT_EQ(List().rows[0].redraws, 1);  // enabling redraws nothing

  dialog.calls.clear();
  dialog.columns->UpdateEditItem(id, 2);
  EXPECT_EQ(dialog.calls, (CallList{"Func 2 1 1", "Func 2 3 1"}));
}

TEST_F(CDGListItemParamTest, HeaderResizeGrowsTheEditItemThenPlacesTheEditorsAgain)
{
  AddRows(2);
  DGListSelectItem(id, kList, 2);
  const short right = Item(kLongEdit).right;
  const short textRight = Item(kTextEdit).right;
  const int batches = pln::host::DialogState(id)->moveGrowBatches;
  dialog.calls.clear();

  EXPECT_EQ(DialogUser(id).HeaderResize(kList, 3, 12), 0);
  EXPECT_EQ(Item(kLongEdit).right, right + 12);
  EXPECT_EQ(Item(kTextEdit).right, textRight);
  EXPECT_EQ(pln::host::DialogState(id)->moveGrowBatches, batches + 1);
  EXPECT_EQ(dialog.calls, (CallList{"Func 2 1 0", "Func 2 2 0", "Func 2 3 0"}));  // kind 2
  EXPECT_EQ(List().rows[0].redraws, 1);

  // A column without an edit item grows nothing.
  DialogUser(id).HeaderResize(kList, 2, 7);
  EXPECT_EQ(Item(kLongEdit).right, right + 12);
  EXPECT_EQ(pln::host::DialogState(id)->moveGrowBatches, batches + 1);
}

// ---------------------------------------------------------------------------
// Stored widths

TEST_F(CDGListItemParamTest, WidthsTheUserLeftAreStoredAndComeBackAtTheNextOpening)
{
  DialogUser(id).HeaderResize(kList, 1, 20);
  DialogUser(id).HeaderResize(kList, 3, -5);
  DGModelessClose(id);
  const auto stored = host.ModulData(GS::UniString(kRecordName));
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->dataVersion, 1000);
  EXPECT_EQ(stored->bytes, WidthRecord(3, {120, 30, 35}));

  ListDialog again;
  id = again.DoModeless();
  EXPECT_EQ(TabFields(), (std::vector<DGTabFieldData>{Field(0, 120, 0), Field(120, 150, 256), Field(150, 185, 512)}));
  DGModelessClose(id);
}

using CDGListItemParamArrayTest = HostTest;

TEST_F(CDGListItemParamArrayTest, RecordNameRightAlignsTheResourceIdInSixPlaces)
{
  CDGListItemParamArray columns(1, 12);
  EXPECT_EQ(columns.HeaderRecordName(325), "   325-12");
  EXPECT_EQ(columns.HeaderRecordName(32530), " 32530-12");
  EXPECT_EQ(columns.HeaderRecordName(-1), "    -1-12");
}

struct StoredCase {
  const char* what;
  std::vector<char> bytes;
  Int32 version;
  std::vector<short> widths;  // what the columns hold afterwards
};

TEST_F(CDGListItemParamArrayTest, StoredWidthsAreUsedOnlyWhenTheyFitTheList)
{
  std::vector<char> truncated = WidthRecord(3, {50, 60});
  truncated.push_back('\x01');
  const std::vector<StoredCase> cases = {
      {"matching", WidthRecord(3, {50, 60, 70}), 1000, {50, 60, 70}},
      {"column count changed", WidthRecord(2, {50, 60}), 1000, {100, 30, 40}},
      {"more columns stored", WidthRecord(4, {50, 60, 70, 80}), 1000, {100, 30, 40}},
      {"another version", WidthRecord(3, {50, 60, 70}), 999, {100, 30, 40}},
      {"truncated: the widths read stay", truncated, 1000, {50, 60, 40}},
      {"no data", {}, 1000, {100, 30, 40}},
      {"negative width refused", WidthRecord(3, {50, -1, 70}), 1000, {50, 30, 40}},
      {"zero width kept", WidthRecord(3, {0, 60, 70}), 1000, {0, 60, 70}},
      {"list exactly as wide as it can be", WidthRecord(3, {30000, 2727, 40}), 1000, {30000, 2727, 40}},
      {"list too wide refused", WidthRecord(3, {30000, 2728, 40}), 1000, {30000, 30, 40}},
      // Found by fuzzing: a wide first width, then the record ends; the
      // widths kept as constructed would have carried the list too far.
      {"wide width before the damage refused", WidthRecord(3, {32700}), 1000, {100, 30, 40}},
  };
  for (const StoredCase& c : cases) {
    host.Reset();
    StoreModulData(kRecordName, c.bytes, c.version);
    CDGListItemParamArray columns(1, kList);
    for (short width : {100, 30, 40})
      columns.push_back(std::make_unique<CDGListItemParamCore>(1, kList, width, GS::UniString(), 0, 0, 0));
    columns.LoadHeaderPosition(kRes);
    std::vector<short> widths;
    for (const auto& column : columns)
      widths.push_back(column->m_Width);
    EXPECT_EQ(widths, c.widths) << c.what;
  }
}

}  // namespace
