#include "CPlenimetraFunc2.h"

#include "CArea2Object.h"
#include "CArea4Object.h"
#include "CAreaListItem.h"
#include "CAreaTree.h"
#include "CAutoAreaParam.h"
#include "CDGDlgCore.h"
#include "CDlgProgress.h"
#include "CElementChange.h"
#include "CFloorParam.h"
#include "CGSUtil.h"
#include "CPlenimetraFunc2Items.h"
#include "CPlenimetraFunc2ListItems.h"
#include "CPlenimetraPalette.h"
#include "CPlenimetraParam.h"
#include "DlgLayout.h"
#include "GSWriteReport.h"
#include "host_assert.h"
#include "host_errors.h"
#include "host_selection.h"

#include <algorithm>
#include <utility>

namespace {

using DlgLayout::DGItemKind;
using enum CPlenimetraFunc2::Item;

// An editor column of class T, handed out as the base its list keeps.
template <class Core>
using ColumnMaker = std::unique_ptr<Core> (*)(short, short, short, const GS::UniString&, short, short, short);
template <class Core, class T>
std::unique_ptr<Core> MakeColumn(short dialId, short list, short width, const GS::UniString& header,
                                 short justification, short editItem, short id)
{
  return std::make_unique<T>(dialId, list, width, header, justification, editItem, id);
}
using ItemMaker = ColumnMaker<CPlenimetraFunc2ItemCore>;
template <class T>
constexpr ItemMaker MakeItem = &MakeColumn<CPlenimetraFunc2ItemCore, T>;
using ListItemMaker = ColumnMaker<CPlenimetraFunc2ListItem>;
template <class T>
constexpr ListItemMaker MakeListItem = &MakeColumn<CPlenimetraFunc2ListItem, T>;

// Area-list columns by id: width, justification, editor item and the
// editor's maker (none for the columns the page writes itself).
struct AreaColumn {
  int id;
  short width;
  short justification;
  short editItem;
  ItemMaker maker;
};

const AreaColumn kAreaColumns[] = {
    {1, 40, 0, ITEM_AREA_ITEMTYPE1, MakeItem<CPlenimetraFunc2ItemType1>},
    {2, 60, 0, ITEM_AREA_ITEMTYPE2, MakeItem<CPlenimetraFunc2ItemType2>},
    {3, 60, 0, 0, nullptr},
    {4, 40, 256, ITEM_AREA_OPERATOR, MakeItem<CPlenimetraFunc2Operator>},
    {5, 100, 0, ITEM_AREA_NAME, MakeItem<CPlenimetraFunc2Name>},
    {6, 70, 0, ITEM_AREA_LIST_TYPE, MakeItem<CPlenimetraFunc2ListType>},
    {17, 70, 0, ITEM_AREA_TYPE, MakeItem<CPlenimetraFunc2AreaType>},
    {7, 100, 0, ITEM_AREA_EQUATION, MakeItem<CPlenimetraFunc2Equation>},
    {13, 70, 0, ITEM_AREA_BLD_ROUND_TYPE, MakeItem<CPlenimetraFunc2BldRoundType>},
    {14, 70, 0, ITEM_AREA_BLD_ROUND_DIGIT, MakeItem<CPlenimetraFunc2BldRoundDigit>},
    {15, 70, 0, ITEM_AREA_FLR_ROUND_TYPE, MakeItem<CPlenimetraFunc2FlrRoundType>},
    {16, 70, 0, ITEM_AREA_FLR_ROUND_DIGIT, MakeItem<CPlenimetraFunc2FlrRoundDigit>},
    {12, 70, 256, ITEM_AREA_AUTO_CR, MakeItem<CPlenimetraFunc2AutoCr>},
    {8, 80, 512, ITEM_AREA_ORG_AREA, MakeItem<CPlenimetraFunc2OrgArea>},
    {9, 70, 256, ITEM_AREA_ROUND_TYPE, MakeItem<CPlenimetraFunc2RoundType>},
    {10, 90, 512, 0, nullptr},
    {11, 70, 256, ITEM_AREA_SHOW_TOTAL, MakeItem<CPlenimetraFunc2ShowTotal>},
    {18, 50, 0, ITEM_AREA_COLOR, MakeItem<CPlenimetraFunc2AreaColor>},
};
constexpr int kColorColumnId = 18;
constexpr int kMarkNoColumnId = 3;
constexpr int kRoundAreaColumnId = 10;
constexpr short kFillerJustification = 512;
constexpr short kPlainHeaderFont = 32;

const AreaColumn* FindAreaColumn(int id)
{
  for (const AreaColumn& column : kAreaColumns)
    if (column.id == id)
      return &column;
  return nullptr;
}

// A column of the detail or automatic-area list: {header, width,
// justification, editor item, the editor's maker}; the texts are written by
// those lists' own handlers.
struct PlainColumn {
  const char16_t* header;
  short width;
  short justification;
  short editItem;
  ListItemMaker maker = nullptr;
};

const PlainColumn kDetailColumns[] = {
    {u"求積図形", 50, 0, 0},
    {u"計算式", 100, 512, ITEM_DETAIL_OPERATOR, MakeListItem<CPlenimetraDetail2Operator>},
    {u"面積", 80, 512, 0},
    {u"端数処理", 70, 256, ITEM_DETAIL_ROUND, MakeListItem<CPlenimetraDetail2RoundType>},
    {u"端数処理後面積", 80, 512, 0},
    {u"自動", 80, 512, 0},
    {u"割当先", 80, 0, 0},
    {u"", 0, 512, 0},
};
const PlainColumn kAutoAreaColumns[] = {
    {u"ｿﾞｰﾝ名", 60, 0, 0},
    {u"ｿﾞｰﾝｶﾃｺﾞﾘ", 60, 0, 0},
    {u"ﾚｲﾔｰ", 100, 0, 0},
    {u"計算式", 100, 512, ITEM_AUTO_OPERATOR, MakeListItem<CPlenimetraAutoAreaOperator>},
    {u"割当先", 100, 0, 0},
    {u"", 20, 0, ITEM_AUTO_TARGET, MakeListItem<CPlenimetraAutoAreaTarget>},
    {u"", 0, 512, 0},
};

// Area types in the order the area-type pop-up offers them.
const CArea2ObjectFloor::MODE kAreaTypeOrder[] = {CArea2ObjectFloor::MODE_FIGURE, CArea2ObjectFloor::MODE_AUTO,
                                                  CArea2ObjectFloor::MODE_BOTH, CArea2ObjectFloor::MODE_MANUAL};

short ActStory() { return CGSUtil::GetActStory(); }

// The second header flag (clickable) on, the others kept; editor-less
// headers in the plain font.
void FinishList(CDGListItemParamArray& columns, short resId)
{
  columns.LoadHeaderPosition(resId);
  columns.InitializeList(false);
  bool sizeable = false, clickable = false, draggable = false;
  DGListGetHeaderFlags(columns.m_DialogID, columns.m_ListItem, &sizeable, &clickable, &draggable);
  DGListSetHeaderFlags(columns.m_DialogID, columns.m_ListItem, sizeable, true, draggable);
  for (std::size_t c = 0; c < columns.size(); ++c)
    if (!columns[c]->HasEditItem())
      DGListSetHeaderItemFont(columns.m_DialogID, columns.m_ListItem, static_cast<short>(c + 1), kPlainHeaderFont);
}

// Columns with an editor item take the editor class their row names.
void AppendPlainColumns(CDGListItemParamArray& columns, const PlainColumn* begin, const PlainColumn* end,
                        CPlenimetraParam* param, CPlenimetraFunc2* page)
{
  for (const PlainColumn* c = begin; c != end; ++c) {
    const short dialId = columns.m_DialogID, list = columns.m_ListItem;
    const GS::UniString header(c->header);
    if (c->maker == nullptr) {
      columns.push_back(std::make_unique<CDGListItemParamCore>(dialId, list, c->width, header, c->justification, 0, 0));
      continue;
    }
    std::unique_ptr<CPlenimetraFunc2ListItem> editor =
        c->maker(dialId, list, c->width, header, c->justification, c->editItem, 0);
    editor->m_pParam = param;
    editor->m_pPage = page;
    DGShowItem(dialId, c->editItem);
    columns.push_back(std::move(editor));
  }
}

// Makes the list exactly count rows long, deleting from the end.
void ResizeList(short dialId, short list, short count)
{
  while (DGListGetItemCount(dialId, list) > count)
    DGListDeleteItem(dialId, list, DG_LIST_BOTTOM);
  while (DGListGetItemCount(dialId, list) < count)
    DGListInsertItem(dialId, list, DG_LIST_BOTTOM);
}

void DeselectRows(short dialId, short list) { DGListDeselectItem(dialId, list, DG_ALL_ITEMS); }

}  // namespace

// ---------------------------------------------------------------------------
// Layout and lifetime

pln::host::DGDialogDef CPlenimetraFunc2::Layout()
{
  pln::host::DGDialogDef def;
  def.width = 560;
  def.height = 420;
  for (short item = ITEM_BACK; item <= ITEM_TREE_SHOW; ++item)
    def.items.push_back(DlgLayout::Item(item, DGItemKind::Button, static_cast<short>(5 + (item - 1) * 32), 5, 30, 20));
  for (short item = ITEM_RADIO_AUTO; item <= ITEM_RADIO_DETAIL; ++item)
    def.items.push_back(DlgLayout::Item(item, DGItemKind::RadioButton, static_cast<short>(265 + (item - 9) * 60), 30, 58, 18));
  def.items.push_back(DlgLayout::Item(ITEM_AREA_COLUMNS, DGItemKind::Button, 450, 30, 50, 18));
  def.items.push_back(DlgLayout::Item(ITEM_DEFAULT_ROUND, DGItemKind::StaticText, 265, 50, 290, 18));
  for (short item = 14; item <= 33; ++item) {
    DGItemKind kind = DGItemKind::PopUp;
    if (item == 20 || item == 29 || item == 30)
      kind = DGItemKind::TextEdit;
    else if (item == 31)
      kind = DGItemKind::UserControl;
    else if (item == 33)
      kind = DGItemKind::Button;
    def.items.push_back(DlgLayout::Item(item, kind, 265, 400, 60, 18));
  }
  def.items.push_back(DlgLayout::Item(ITEM_TREE, DGItemKind::TreeView, 5, 30, 250, 385));
  for (short item = ITEM_AREA_LIST; item <= ITEM_AUTO_LIST; ++item)
    def.items.push_back(DlgLayout::Item(item, DGItemKind::ListBox, 265, 70, 290, 345));
  def.items.push_back(DlgLayout::Item(ITEM_SPLITTER, DGItemKind::Splitter, 257, 30, 6, 385));
  return def;
}

std::unique_ptr<CPlenimetraPage> CPlenimetraFunc2::Make(CPlenimetraPalette& palette)
{
  return std::make_unique<CPlenimetraFunc2>(palette);
}

CPlenimetraFunc2::CPlenimetraFunc2(CPlenimetraPalette& palette)
    : CPlenimetraPage(palette, ResourceId), m_pParam(&palette.m_Param), m_bIgnoreSelection(&palette.m_bIgnoreSelection)
{
}

CPlenimetraFunc2::~CPlenimetraFunc2() = default;

GSErrCode CPlenimetraFunc2::OpenPalette()
{
  CmdOpenPalette();
  return NoError;
}

void CPlenimetraFunc2::ClosePalette() { DoPaletteClose(); }

// ---------------------------------------------------------------------------
// Messages

void CPlenimetraFunc2::DoMsgInit(short dialId)
{
  FillPopUps(dialId);
  CDGDlgCore::SetUserControlPenWithNull(dialId, ITEM_AREA_COLOR);
  SetAreaListHeader(dialId);
  SetDetailListHeader(dialId);
  SetAutoAreaListHeader(dialId);
  UpdateData(dialId, false);
  const short listType = m_pParam->m_ListType == 4 ? 2 : m_pParam->m_ListType == 5 ? 3 : m_pParam->m_ListType;
  for (short item = ITEM_RADIO_AUTO; item <= ITEM_RADIO_DETAIL; ++item)
    DGSetItemValLong(dialId, item, listType == item - ITEM_RADIO_AUTO + 1 ? 1 : 0);
  // A snapshot taken before the page opened may predate plan edits.
  m_pParam->ClearUndo2();
  DoChangeListType(dialId);
  SetTreeItem(dialId);
  SetAreaListItem(dialId);
  SetDetailListItem(dialId);
  SetAutoAreaListItem(dialId);
  EnableItem(dialId);
  for (auto* columns : {m_pAreaListInfoParam.get(), m_pDetailListInfoParam.get(), m_pAutoAreaListInfoParam.get()})
    columns->SetList(false);
  DGEnableMessage(dialId, 0, DG_MSG_DRAGDROP, 0);
  m_LastItemName = GS::UniString();
  m_LastItemType = -1;
  m_LastBldRoundType = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_NONE, 0);
  m_LastFlrRoundType = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_NONE, 0);
  UpdateData(dialId, false);
  EnableItem(dialId);
}

void CPlenimetraFunc2::FillPopUps(short dialId)
{
  const CPlenimetraParam& p = *m_pParam;
  for (const auto& row : p.m_ItemType1Table)
    CDGDlgCore::PopUpInsert(dialId, ITEM_AREA_ITEMTYPE1, row.m_Text, row.m_Code);
  for (const auto& row : p.m_ItemType2Table)
    CDGDlgCore::PopUpInsert(dialId, ITEM_AREA_ITEMTYPE2, row.m_Text, row.m_Code);
  for (const auto& row : p.m_OperatorTable)
    if (row.m_Code != COperatorTable::OPERATOR_NONE)
      CDGDlgCore::PopUpInsert(dialId, ITEM_AREA_OPERATOR, row.m_Text, row.m_Code);
  for (const auto& row : p.m_OperatorTable)
    CDGDlgCore::PopUpInsert(dialId, ITEM_DETAIL_OPERATOR, row.m_Text, row.m_Code);
  for (const auto& row : p.m_RoundTypeTable)
    for (short item : {18, 14})
      CDGDlgCore::PopUpInsert(dialId, item, row.m_Name, row.m_Code);
  for (const auto& row : p.m_Area2ListTypeTable)
    CDGDlgCore::PopUpInsert(dialId, ITEM_AREA_LIST_TYPE, row.m_Text, row.m_Code);
  for (const auto& row : p.m_OperatorTable)
    if (row.m_Code != COperatorTable::OPERATOR_MINUS)
      CDGDlgCore::PopUpInsert(dialId, ITEM_AUTO_OPERATOR, row.m_Text, row.m_Code);
  for (const auto& row : p.m_AutoCrTable)
    CDGDlgCore::PopUpInsert(dialId, ITEM_AREA_AUTO_CR, row.m_Text, row.m_Code ? 1 : 0);
  for (const auto& row : p.m_RoundTypeTable)
    for (short item : {24, 26})
      CDGDlgCore::PopUpInsert(dialId, item, row.m_Name, row.m_Code);
  for (int d = CPlenimetraParam::GetDigitMin(); d <= 6; ++d)
    for (short item : {25, 27})
      CDGDlgCore::PopUpInsert(dialId, item, DigitText(d), d);
  for (CArea2ObjectFloor::MODE mode : kAreaTypeOrder)
    CDGDlgCore::PopUpInsert(dialId, ITEM_AREA_TYPE, CArea2ObjectFloor::GetAreaTypeName(mode), mode);
  for (const auto& row : m_ShowTotalTable)
    CDGDlgCore::PopUpInsert(dialId, ITEM_AREA_SHOW_TOTAL, row.m_Text, row.m_Code);
}

bool CPlenimetraFunc2::UpdateData(short dialId, bool get)
{
  if (!get)
    EnableItem(dialId);
  return true;
}

void CPlenimetraFunc2::EnableItem(short dialId)
{
  for (short item = ITEM_RADIO_AUTO; item <= ITEM_SPLITTER; ++item)
    DGEnableItem(dialId, item);
  DGEnableItem(dialId, ITEM_BACK);
  const CSelectList selection = GetSelTree(dialId);
  const bool one = selection.size() == 1;
  const CAreaTree* node = one ? NodeOf(dialId, selection.front()) : nullptr;
  const bool folder = node != nullptr && node->m_AreaCode >= 1;
  const bool hasParent = one && DGTreeViewGetItem(dialId, ITEM_TREE, selection.front(), DG_TVG_PARENT) != 0;
  CDGDlgCore::EnableItem(dialId, ITEM_INSERT, folder);
  CDGDlgCore::EnableItem(dialId, ITEM_COPY, folder && hasParent);
  CDGDlgCore::EnableItem(dialId, ITEM_DELETE, hasParent);
  CDGDlgCore::EnableItem(dialId, ITEM_EDIT, !selection.empty());
  CDGDlgCore::EnableItem(dialId, ITEM_UNDO, !m_pParam->m_UndoParam2.empty());
  bool lineBreaks = folder;
  if (node != nullptr && node->m_AreaCode < 0) {
    const CAreaObject* object = m_pParam->FindAreaObject(node->m_AreaCode);
    lineBreaks = object != nullptr && object->m_ListType == CArea2ListTypeTable::LISTTYPE_FORMULA;
  }
  CDGDlgCore::EnableItem(dialId, ITEM_EDIT_CR, lineBreaks);
}

// What a button's command could not do, for its alert.
const char16_t* CPlenimetraFunc2::CommandNotDone(short item)
{
  switch (item) {
  case ITEM_INSERT: return u"項目の挿入を完了できませんでした。";
  case ITEM_COPY: return u"項目のコピーを完了できませんでした。";
  case ITEM_DELETE: return u"項目の削除を完了できませんでした。";
  case ITEM_EDIT: return u"項目の編集を完了できませんでした。";
  case ITEM_UNDO: return u"項目の変更を元に戻せませんでした。";
  case ITEM_EDIT_CR: return u"改行の変更を完了できませんでした。";
  case ITEM_TREE_SHOW: return u"ツリー表示の変更を完了できませんでした。";
  case ITEM_AREA_COLUMNS: return u"一覧の表示項目の変更を完了できませんでした。";
  case ITEM_AUTO_TARGET: return kTargetNotChanged;
  default: return u"";
  }
}

short CPlenimetraFunc2::DoMsgClick(short dialId, short item, long long /*msgData*/)
{
  short answer = 0;
  GSErrCode err = NoError;
  if (item == ITEM_BACK || item == DG_CLOSEBOX) {
    m_Palette.ShowPalette();
    answer = item;
  } else {
    err = RunCommand(dialId, item);
  }
  EnableItem(dialId);
  GSWriteFailure(GS::UniString(CommandNotDone(item)), err);
  m_Palette.SetTreeItem();
  return answer;
}

GSErrCode CPlenimetraFunc2::RunCommand(short dialId, short item)
{
  switch (item) {
  case ITEM_INSERT: return DoItemInsert(dialId);
  case ITEM_COPY: return DoItemCopy(dialId);
  case ITEM_DELETE: return DoItemDelete(dialId);
  case ITEM_EDIT: return DoItemEdit(dialId);
  case ITEM_UNDO: return DoUndo(dialId);
  case ITEM_EDIT_CR: return DoEditCr(dialId);
  case ITEM_TREE_SHOW: {
    const GSErrCode err = DoTreeEdit(dialId);
    m_pParam->ClearUndo2();
    return err;
  }
  case ITEM_AREA_COLUMNS: return DoEditAreaListItem(dialId);
  case ITEM_AUTO_TARGET: return DoMsgClickAutoAreaTarget(dialId);
  default: return NoError;
  }
}

void CPlenimetraFunc2::DoMsgChange(short dialId, short item, long long msgData)
{
  if (item >= ITEM_RADIO_AUTO && item <= ITEM_RADIO_DETAIL)
    DoChangeRadio(dialId, item);
  else if (item >= 16 && item <= 31)
    DoMsgChangeAreaEditor(dialId, item);
  else if (item == ITEM_AREA_LIST)
    DoMsgChangeAreaList(dialId);
  else if (item == ITEM_DETAIL_ROUND)
    DoMsgChangeDetailRoundType(dialId);
  else if (item == ITEM_DETAIL_OPERATOR)
    DoMsgChangeDetailOperator(dialId);
  else if (item == ITEM_DETAIL_LIST)
    DoMsgChangeDetailList(dialId);
  else if (item == ITEM_AUTO_OPERATOR)
    DoMsgChangeAutoAreaOperator(dialId);
  else if (item == ITEM_AUTO_LIST)
    DoMsgChangeAutoAreaList(dialId);
  else if (item == ITEM_TREE && msgData != 0)
    DoMsgChangeTree(dialId, *reinterpret_cast<const DG::TreeViewChangeEventArg*>(msgData));
  EnableItem(dialId);
  m_Palette.SetTreeItem();
}

void CPlenimetraFunc2::DoChangeRadio(short dialId, short item)
{
  m_pParam->m_ListType = static_cast<short>(item - ITEM_RADIO_AUTO + 1);
  DoChangeListType(dialId);
}

void CPlenimetraFunc2::DoMsgClose(short /*dialId*/, short /*item*/) { SaveHeaders(); }

void CPlenimetraFunc2::SaveHeaders()
{
  for (auto* columns : {&m_pAreaListInfoParam, &m_pDetailListInfoParam, &m_pAutoAreaListInfoParam})
    SaveAndReleaseColumns(*columns, ResourceId);
}

void CPlenimetraFunc2::OnUpdate(HINT hint)
{
  const short dialId = m_PaletteID;
  switch (hint) {
  case Hint::StoryChanged:
  case Hint::ElementsChanged:
    // A snapshot would restore the figure lists as they were before the
    // plan changed.
    m_pParam->ClearUndo2();
    // The tree first: the detail rows read the elements through it.
    if (hint == Hint::ElementsChanged)
      SetTreeItem(dialId);
    SetDetailListItem(dialId);
    SetAutoAreaListItem(dialId);
    SetAreaListItem(dialId);
    EnableItem(dialId);
    break;
  case Hint::TextsChanged:
    SetDetailListItem(dialId);
    SetAreaListItem(dialId);
    break;
  case Hint::TreeChanged:
    SetTreeItem(dialId);
    SetAreaListItem(dialId);
    break;
  case Hint::SettingsApplied:
  case Hint::PatternChanged:
    SetTreeItem(dialId);
    SetDetailListItem(dialId);
    SetAutoAreaListItem(dialId);
    SetAreaListItem(dialId);
    break;
  case Hint::PatternDeleted:
    SetTreeItem(dialId);
    {
      IgnoreSelection ignore(*m_bIgnoreSelection);
      static_cast<void>(TreeChangeSelection(dialId));  // the plan's selection only: nothing stored
      SetAreaListItem(dialId);
      SetDetailListItem(dialId);
      SetAutoAreaListItem(dialId);
      SetArea1Selection(dialId);
    }
    m_pDetailListInfoParam->SetList(false);
    break;
  case kHintTreeShown:
    UpdateTreeItem(dialId, 0);
    SetAreaListItem(dialId);
    break;
  default:
    break;
  }
}

void CPlenimetraFunc2::DoMsgSplitterDrag(short dialId, short item, DG::SplitterDragEventArg* arg)
{
  if (arg->kind == 0) {
    m_SplitterPos = arg->position;
    return;
  }
  if (arg->kind != 1)
    return;
  if (item == ITEM_SPLITTER && arg->position >= kMinSplitterPos)
    MoveSplitter(dialId, static_cast<short>(arg->position - m_SplitterPos));
  m_SplitterPos = arg->position;
}

void CPlenimetraFunc2::MoveSplitter(short dialId, short delta)
{
  DGBeginMoveGrowItems(dialId);
  DGGrowItem(dialId, ITEM_TREE, delta, 0);
  DGMoveItem(dialId, ITEM_SPLITTER, delta, 0);
  for (short list = ITEM_AREA_LIST; list <= ITEM_AUTO_LIST; ++list) {
    DGMoveItem(dialId, list, delta, 0);
    DGGrowItem(dialId, list, static_cast<short>(-delta), 0);
  }
  for (short item = ITEM_RADIO_AUTO; item <= ITEM_DEFAULT_ROUND; ++item)
    DGMoveItem(dialId, item, delta, 0);
  DGEndMoveGrowItems(dialId);
}

short CPlenimetraFunc2::DoMsgListHeaderResize(short /*dialId*/, short item, DG::ListBoxHeaderEventArg* arg)
{
  switch (item) {
  case ITEM_AREA_LIST: return m_pAreaListInfoParam->DoMsgListHeaderResize(arg);
  case ITEM_DETAIL_LIST: return m_pDetailListInfoParam->DoMsgListHeaderResize(arg);
  case ITEM_AUTO_LIST: return m_pAutoAreaListInfoParam->DoMsgListHeaderResize(arg);
  default: return 0;
  }
}

GSErrCode CPlenimetraFunc2::SelectionChangeHandler(const API_Neig* /*neig*/)
{
  ElementSelectionChange(m_PaletteID);
  return NoError;
}

// ---------------------------------------------------------------------------
// Tree view

// Items carry node codes: a node of the current pattern, or null when the
// item names none (the view's root, an item of a tree since replaced).
CAreaTree* CPlenimetraFunc2::NodeOf(short dialId, int treeItem) const
{
  CAreaTree* pattern = m_pParam->GetTree();
  return pattern != nullptr ? pattern->NodeOfItem(dialId, ITEM_TREE, treeItem) : nullptr;
}

CSelectList CPlenimetraFunc2::GetSelTree(short dialId) const
{
  CSelectList selection;
  const Int32 count = DGTreeViewGetSelCount(dialId, ITEM_TREE);
  if (count <= 0)
    return selection;
  std::vector<Int32> items(static_cast<std::size_t>(count));
  items.resize(static_cast<std::size_t>(DGTreeViewGetSelItems(dialId, ITEM_TREE, items.data(), count)));
  selection.assign(items.begin(), items.end());
  return selection;
}

CAreaTree* CPlenimetraFunc2::GetSelectedTreeItem(short dialId) const
{
  const CSelectList selection = GetSelTree(dialId);
  return selection.size() == 1 ? NodeOf(dialId, selection.front()) : nullptr;
}

void CPlenimetraFunc2::SetTreeID(short dialId, int treeItem, CSelectList& ids) const
{
  for (Int32 item = FirstChild(dialId, treeItem); item != 0; item = NextSibling(dialId, item)) {
    ids.push_back(item);
    SetTreeID(dialId, item, ids);
  }
}

void CPlenimetraFunc2::SetTreeItem(short dialId)
{
  const CAreaTree* tree = m_pParam->GetTree();
  PLN_ASSERT(tree != nullptr && tree->m_Child.size() == 1);
  DGTreeViewDeleteItem(dialId, ITEM_TREE, DG_ALL_ITEMS);
  tree->m_Child.front().UpdateTree(m_pParam, dialId, ITEM_TREE, DG_TVI_ROOT);
  // The view names no children of its root: a probe put first finds the
  // top item as its next sibling.
  const Int32 probe = DGTreeViewInsertItem(dialId, ITEM_TREE, DG_TVI_ROOT, DG_TVI_TOP);
  m_TopTreeItem = DGTreeViewGetItem(dialId, ITEM_TREE, probe, DG_TVG_NEXT);
  DGTreeViewDeleteItem(dialId, ITEM_TREE, probe);
}

Int32 CPlenimetraFunc2::FirstChild(short dialId, Int32 treeItem) const
{
  if (treeItem == DG_TVI_ROOT)
    return m_TopTreeItem;
  return DGTreeViewGetItem(dialId, ITEM_TREE, treeItem, DG_TVG_CHILD);
}

Int32 CPlenimetraFunc2::NextSibling(short dialId, Int32 treeItem) const
{
  // The top item is the root's only child.
  return treeItem == m_TopTreeItem ? 0 : DGTreeViewGetItem(dialId, ITEM_TREE, treeItem, DG_TVG_NEXT);
}

void CPlenimetraFunc2::UpdateTreeItem(short dialId, int treeItem)
{
  if (treeItem == -1)
    return;
  // The view's root carries no node: start with its first child.
  if (treeItem == DG_TVI_ROOT)
    treeItem = m_TopTreeItem;
  for (Int32 item = treeItem; item != 0; item = NextSibling(dialId, item)) {
    if (const CAreaTree* node = NodeOf(dialId, item); node != nullptr) {
      CAreaObject* object = m_pParam->GetAreaObject(node->m_AreaCode);
      PLN_ASSERT(object != nullptr);
      CDlgProgress progress;
      progress.OpenProgress("", false);
      const GS::UniString label = node->GetText(m_pParam, progress);
      progress.Close();
      DGTreeViewSetItemText(dialId, ITEM_TREE, item, object->m_Name.m_DefaultName + label);
      node->SetIcon(object, dialId, ITEM_TREE, item);
    }
    if (const Int32 child = FirstChild(dialId, item); child != 0)
      UpdateTreeItem(dialId, child);
  }
}

bool CPlenimetraFunc2::SelectTreeItem(short dialId, int treeItem, const CAreaTree* node)
{
  if (treeItem == -1)
    return false;
  if (treeItem == DG_TVI_ROOT)
    treeItem = m_TopTreeItem;
  for (Int32 item = treeItem; item != 0; item = NextSibling(dialId, item)) {
    if (NodeOf(dialId, item) == node) {
      DGTreeViewSelectItem(dialId, ITEM_TREE, item);
      return true;
    }
    const Int32 child = FirstChild(dialId, item);
    if (child != 0 && SelectTreeItem(dialId, child, node))
      return true;
  }
  return false;
}

void CPlenimetraFunc2::DoMsgChangeTree(short dialId, const DG::TreeViewChangeEventArg& change)
{
  if (change.kind == DG_TVCF_EXPANDED || change.kind == DG_TVCF_COLLAPSED) {
    if (CAreaTree* node = NodeOf(dialId, change.treeItem); node != nullptr)
      node->m_Expand = change.kind == DG_TVCF_EXPANDED;
    return;
  }
  if (change.kind != DG_TVCF_SELECTION || *m_bIgnoreSelection)
    return;
  FollowTreeSelection(dialId);
}

void CPlenimetraFunc2::FollowTreeSelection(short dialId)
{
  IgnoreSelection ignore(*m_bIgnoreSelection);
  static_cast<void>(TreeChangeSelection(dialId));  // the plan's selection only: nothing stored
  SetDetailListItem(dialId);
  SetAutoAreaListItem(dialId);
  m_pAreaListInfoParam->SetList(false);
  SetArea1Selection(dialId);
}

// ---------------------------------------------------------------------------
// Lists

void CPlenimetraFunc2::SetAreaListHeader(short dialId)
{
  m_pAreaListInfoParam = std::make_unique<CDGListItemParamArray>(dialId, ITEM_AREA_LIST);
  for (short item = 16; item <= 31; ++item)
    DGHideItem(dialId, item);
  for (CAreaListItem& entry : m_pParam->m_AreaListItemArray) {
    entry.m_pColumn = nullptr;
    const AreaColumn* column = FindAreaColumn(entry.m_Id);
    if (column == nullptr || !entry.m_bVisible)
      continue;
    std::unique_ptr<CDGListItemParamCore> made;
    if (column->maker != nullptr) {
      auto item = column->maker(dialId, ITEM_AREA_LIST, column->width, entry.m_Title, column->justification,
                                column->editItem, static_cast<short>(column->id));
      item->m_pParam = m_pParam;
      item->m_pPage = this;
      DGShowItem(dialId, column->editItem);
      made = std::move(item);
    } else {
      made = std::make_unique<CDGListItemParamCore>(dialId, ITEM_AREA_LIST, column->width, entry.m_Title,
                                                    column->justification, 0, static_cast<short>(column->id));
    }
    entry.m_pColumn = made.get();
    m_pAreaListInfoParam->push_back(std::move(made));
  }
  m_pAreaListInfoParam->push_back(std::make_unique<CDGListItemParamCore>(dialId, ITEM_AREA_LIST, 0, GS::UniString(),
                                                                          kFillerJustification, 0, 0));
  FinishList(*m_pAreaListInfoParam, ResourceId);
  for (std::size_t c = 0; c < m_pAreaListInfoParam->size(); ++c)
    if ((*m_pAreaListInfoParam)[c]->m_Extra == kColorColumnId)
      DGListSetTabFieldOwnerDrawFlag(dialId, ITEM_AREA_LIST, static_cast<short>(c + 1), true);
}

void CPlenimetraFunc2::SetDetailListHeader(short dialId)
{
  PLN_ASSERT(m_pDetailListInfoParam == nullptr);
  m_pDetailListInfoParam = std::make_unique<CDGListItemParamArray>(dialId, ITEM_DETAIL_LIST);
  AppendPlainColumns(*m_pDetailListInfoParam, std::begin(kDetailColumns), std::end(kDetailColumns), m_pParam, this);
  FinishList(*m_pDetailListInfoParam, ResourceId);
}

void CPlenimetraFunc2::SetAutoAreaListHeader(short dialId)
{
  PLN_ASSERT(m_pAutoAreaListInfoParam == nullptr);
  m_pAutoAreaListInfoParam = std::make_unique<CDGListItemParamArray>(dialId, ITEM_AUTO_LIST);
  AppendPlainColumns(*m_pAutoAreaListInfoParam, std::begin(kAutoAreaColumns), std::end(kAutoAreaColumns), m_pParam,
                     this);
  FinishList(*m_pAutoAreaListInfoParam, ResourceId);
}

void CPlenimetraFunc2::SetAreaListItem(short dialId)
{
  CSelectList ids;
  SetTreeID(dialId, DG_TVI_ROOT, ids);
  ResizeList(dialId, ITEM_AREA_LIST, static_cast<short>(ids.size()));
  // Rows follow the sort index; equal indices keep tree order, so a
  // document with repeated indices still gives every node its own row.
  std::vector<std::pair<int, CAreaTree*>> rows;
  for (int id : ids) {
    CAreaTree* node = NodeOf(dialId, id);
    PLN_ASSERT(node != nullptr);
    const CAreaObject* object = m_pParam->GetAreaObject(node->m_AreaCode);
    rows.emplace_back(object != nullptr ? object->m_SortIndex : 0, node);
  }
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t r = 0; r < rows.size(); ++r)
    FillAreaRow(dialId, static_cast<short>(r + 1), rows[r].second);
  UpdateTreeItem(dialId, DG_TVI_ROOT);
  ShowDefaultRoundType(dialId);
  m_pAreaListInfoParam->SetList(false);
}

void CPlenimetraFunc2::FillAreaRow(short dialId, short row, CAreaTree* node)
{
  DGListSetItemUserData(dialId, ITEM_AREA_LIST, row, static_cast<DGUserData>(node->m_AreaCode));
  CAreaObject* pAreaObject = m_pParam->GetAreaObject(node->m_AreaCode);
  PLN_ASSERT(pAreaObject != nullptr);
  // The last column is the filler.
  for (std::size_t c = 0; c + 1 < m_pAreaListInfoParam->size(); ++c) {
    CDGListItemParamCore& column = *(*m_pAreaListInfoParam)[c];
    const short tab = static_cast<short>(c + 1);
    if (column.HasEditItem())
      column.Func(row, tab, true);
    else if (column.m_Extra == kMarkNoColumnId)
      DGListSetTabItemText(dialId, ITEM_AREA_LIST, row, tab,
                           pAreaObject->GetMarkStr(m_pParam) + pAreaObject->GetItemNoStr(m_pParam));
    else if (column.m_Extra == kRoundAreaColumnId)
      DGListSetTabItemText(dialId, ITEM_AREA_LIST, row, tab, pAreaObject->GetRoundAreaStr(m_pParam, node, ActStory()));
  }
}

void CPlenimetraFunc2::SetDetailListItem(short dialId)
{
  const CFloorParam* floor = m_pParam->m_FloorParamArray.Search(ActStory());
  std::vector<CArea1Object*> figures;
  if (floor != nullptr)
    for (const auto& figure : floor->m_Area1ObjectArray)
      figures.push_back(figure.get());
  // Rows in sort-index order, every figure in a row of its own: after a
  // reload that could not read every element two figures may share an
  // index, and a row left empty would hold no figure to click.
  std::stable_sort(figures.begin(), figures.end(),
                   [](const CArea1Object* a, const CArea1Object* b) { return a->m_SortIndex < b->m_SortIndex; });
  ResizeList(dialId, ITEM_DETAIL_LIST, static_cast<short>(figures.size()));
  for (std::size_t i = 0; i < figures.size(); ++i)
    DGListSetItemUserData(dialId, ITEM_DETAIL_LIST, static_cast<short>(i + 1),
                          reinterpret_cast<DGUserData>(figures[i]));
  for (std::size_t i = 0; i < figures.size(); ++i)
    SetDetailListItem(dialId, static_cast<short>(i + 1), figures[i]);
  m_pDetailListInfoParam->HideItem();
  DeselectRows(dialId, ITEM_DETAIL_LIST);
  ShowDefaultRoundType(dialId);
}

void CPlenimetraFunc2::SetAutoAreaListItem(short dialId)
{
  CFloorParam* floor = m_pParam->m_FloorParamArray.Search(ActStory());
  const short count = floor != nullptr ? static_cast<short>(floor->m_AutoAreaParamArray.size()) : 0;
  ResizeList(dialId, ITEM_AUTO_LIST, count);
  for (short row = 1; row <= count; ++row)
    SetAutoAreaListItem(dialId, row, &floor->m_AutoAreaParamArray[static_cast<std::size_t>(row - 1)]);
  m_pAutoAreaListInfoParam->HideItem();
  DeselectRows(dialId, ITEM_AUTO_LIST);
}

void CPlenimetraFunc2::DoChangeListType(short dialId)
{
  for (short item : {ITEM_AREA_LIST, ITEM_DEFAULT_ROUND, ITEM_DETAIL_LIST, ITEM_AUTO_LIST, ITEM_AREA_COLUMNS})
    DGHideItem(dialId, item);
  // 4 shows what the area-list radio stands for, 5 and anything else the
  // detail list: every stored value shows some list.
  switch (m_pParam->m_ListType) {
  case 1:
    DGShowItem(dialId, ITEM_AUTO_LIST);
    break;
  case 2:
  case 4:
    DGShowItem(dialId, ITEM_AREA_LIST);
    DGShowItem(dialId, ITEM_AREA_COLUMNS);
    break;
  default:
    DGShowItem(dialId, ITEM_DEFAULT_ROUND);
    DGShowItem(dialId, ITEM_DETAIL_LIST);
    break;
  }
}

void CPlenimetraFunc2::ShowDefaultRoundType(short dialId)
{
  // Without a rounding table for the pattern there is no default to show.
  const CRoundTypeItem* item = m_pParam->GetArea2ListDefaultRoundType();
  DGSetItemText(dialId, ITEM_DEFAULT_ROUND, item != nullptr ? m_pParam->GetDefaultStr(*item) : GS::UniString());
}

void CPlenimetraFunc2::DeselectAreaRows(short dialId)
{
  m_pAreaListInfoParam->HideItem();
  DeselectRows(dialId, ITEM_AREA_LIST);
}
