// The automatic-area page: its window, list, selection in both directions,
// header sort and update messages. The commands are in
// CPlenimetraFunc3Commands.cpp.

#include "CPlenimetraFunc3.h"

#include "CGSUtil.h"
#include "CPlenimetraPalette.h"
#include "DlgLayout.h"
#include "GSWriteReport.h"
#include "ListHeaderSort.h"
#include "host_assert.h"
#include "host_selection.h"

#include <algorithm>

namespace {

constexpr short kColumnCount = 5;
constexpr short kChangedColumn = 4;
constexpr DGColor16 kRed{65535, 0, 0};
constexpr DGColor16 kBlack{0, 0, 0};
const GS::UniString kChanged(u"有");
const GS::UniString kUnchanged(u"無");

UInt16 Channel16(double channel) { return static_cast<UInt16>(static_cast<unsigned int>(channel * 65535.0)); }

const GS::UniString& ChangedText(const CAutoAreaParam& record) { return record.m_bChanged ? kChanged : kUnchanged; }

GS::UniString NumberingName(const CPlenimetraParam& param, const CAutoAreaParam& record)
{
  const CItemType2Table* row = param.m_ItemType2Table.SearchFromCode(record.m_ItemType2);
  return row != nullptr ? row->m_Text : GS::UniString();
}

}  // namespace

std::unique_ptr<CPlenimetraPage> CPlenimetraFunc3::Make(CPlenimetraPalette& palette)
{
  return std::make_unique<CPlenimetraFunc3>(palette);
}

CPlenimetraFunc3::CPlenimetraFunc3(CPlenimetraPalette& palette)
    : CPlenimetraPage(palette, ResourceId), m_pPalette(&palette), m_pParam(&palette.m_Param),
      m_bIgnoreSelection(&palette.m_bIgnoreSelection)
{
}

CPlenimetraFunc3::~CPlenimetraFunc3() = default;

pln::host::DGDialogDef CPlenimetraFunc3::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def;
  def.width = 260;
  def.height = 300;
  def.items = {
      DlgLayout::Item(kBack, DGItemKind::Button, 5, 5, 45, 20),
      DlgLayout::Item(kCreate, DGItemKind::Button, 55, 5, 45, 20),
      DlgLayout::Item(kRelease, DGItemKind::Button, 105, 5, 45, 20),
      DlgLayout::Item(kCheck, DGItemKind::Button, 155, 5, 45, 20),
      DlgLayout::Item(kUpdate, DGItemKind::Button, 205, 5, 50, 20),
      DlgLayout::Item(kList, DGItemKind::ListBox, 5, 30, 250, 265),
  };
  return def;
}

// ---------------------------------------------------------------------------
// Messages

bool CPlenimetraFunc3::UpdateData(short dialId, bool get)
{
  if (!get)
    EnableItem(dialId);
  return true;
}

short CPlenimetraFunc3::DoMsgClick(short dialId, short item, long long /*msgData*/)
{
  short answer = 0;
  GSErrCode err = NoError;
  const char16_t* notDone = u"";
  switch (item) {
  case kBack:
  case DG_CLOSEBOX:
    m_pPalette->ShowPalette();
    answer = item;
    break;
  // The sources and their figures are elements of the floor plan, which
  // the commands reach whatever window is in front.
  case kCreate:
    err = CGSUtil::OnFloorPlan([&] { return DoCreate(dialId); });
    notDone = u"自動作成区画の作成を完了できませんでした。";
    break;
  case kRelease:
    err = DoDelete(dialId);
    notDone = u"自動作成区画の解除を完了できませんでした。";
    break;
  case kCheck:
    err = CGSUtil::OnFloorPlan([&] { return DoCheck(dialId); });
    notDone = u"自動作成区画の変更チェックを完了できませんでした。";
    break;
  case kUpdate:
    err = CGSUtil::OnFloorPlan([&] { return DoUpdate(dialId); });
    notDone = u"自動作成区画の更新を完了できませんでした。";
    break;
  default:
    break;
  }
  EnableItem(dialId);
  GSWriteFailure(GS::UniString(notDone), err);
  return answer;
}

void CPlenimetraFunc3::DoMsgChange(short dialId, short item, long long /*msgData*/)
{
  if (item == kList && !*m_bIgnoreSelection) {
    {
      IgnoreSelection ignore(*m_bIgnoreSelection);
      // The plan's selection only: nothing stored.
      static_cast<void>(CGSUtil::OnFloorPlan([&] { return ListChangeSelection(dialId); }));
      m_pListInfoParam->SetList(false);
    }
  }
  EnableItem(dialId);
}

void CPlenimetraFunc3::DoMsgClose(short /*dialId*/, short /*item*/) { SaveAndReleaseColumns(m_pListInfoParam, ResourceId); }

void CPlenimetraFunc3::DoMsgInit(short dialId)
{
  PLN_ASSERT(m_pListInfoParam == nullptr);
  m_pListInfoParam = std::make_unique<CDGListItemParamArray>(dialId, kList);
  SetListHeader(dialId);
  bool sizeable = false;
  bool clickable = false;
  bool draggable = false;
  DGListGetHeaderFlags(dialId, kList, &sizeable, &clickable, &draggable);
  DGListSetHeaderFlags(dialId, kList, sizeable, true, draggable);
  UpdateData(dialId, false);
  SetAreaListItem(dialId);
  EnableItem(dialId);
  m_pListInfoParam->SetList(false);
  DGEnableMessage(dialId, 0, DG_MSG_DRAGDROP, 0);
  UpdateData(dialId, false);
  EnableItem(dialId);
}

void CPlenimetraFunc3::SetListHeader(short dialId)
{
  struct Column {
    short width;
    const char16_t* header;
    short justification;
  };
  static constexpr Column kColumns[kColumnCount] = {
      {60, u"ｿﾞｰﾝ名", 0}, {50, u"記号", 0}, {50, u"番号", 0}, {50, u"変更", 0}, {0, u"", 512}};
  for (const Column& column : kColumns)
    m_pListInfoParam->push_back(std::make_unique<CDGListItemParamCore>(
        dialId, kList, column.width, GS::UniString(column.header), column.justification, 0, 0));
  m_pListInfoParam->LoadHeaderPosition(ResourceId);
  m_pListInfoParam->InitializeList(false);
}

void CPlenimetraFunc3::EnableItem(short dialId)
{
  DGEnableItem(dialId, kBack);
  const bool selected = DGListGetSelCount(dialId, kList) > 0;
  for (short item : {kRelease, kUpdate}) {
    if (selected)
      DGEnableItem(dialId, item);
    else
      DGDisableItem(dialId, item);
  }
}

void CPlenimetraFunc3::DoMsgResize(short dialId, DG::ResizeEventArg* arg)
{
  if (arg == nullptr || arg->kind != 1)
    return;
  DGBeginMoveGrowItems(dialId);
  DGGrowItem(dialId, kList, arg->hGrow, arg->vGrow);
  DGEndMoveGrowItems(dialId);
}

void CPlenimetraFunc3::DoMsgSplitterDrag(short /*dialId*/, short /*item*/, DG::SplitterDragEventArg* arg)
{
  if (arg != nullptr && (arg->kind == 0 || arg->kind == 1))
    m_SplitterPos = arg->position;
}

short CPlenimetraFunc3::DoMsgListHeaderResize(short /*dialId*/, short item, DG::ListBoxHeaderEventArg* arg)
{
  if (item != kList || m_pListInfoParam == nullptr)
    return 0;
  return m_pListInfoParam->DoMsgListHeaderResize(arg);
}

GSErrCode CPlenimetraFunc3::SelectionChangeHandler(const API_Neig* /*neig*/)
{
  ElementSelectionChange(m_PaletteID);
  return NoError;
}

GSErrCode CPlenimetraFunc3::OpenPalette()
{
  CmdOpenPalette();
  return NoError;
}

void CPlenimetraFunc3::ClosePalette() { DoPaletteClose(); }

void CPlenimetraFunc3::OnUpdate(HINT hint)
{
  switch (hint) {
  case Hint::ElementsChanged:
    DropDeadRecords();
    [[fallthrough]];
  case Hint::StoryChanged:
  case Hint::TextsChanged:
  case Hint::TreeChanged:
  case Hint::SettingsApplied:
    SetAreaListItem(m_PaletteID);
    break;
  default:
    break;
  }
}

// ---------------------------------------------------------------------------
// The list

CAutoAreaParamArray* CPlenimetraFunc3::ActiveRecords() const
{
  CFloorParam* floor = m_pParam->m_FloorParamArray.Search(CGSUtil::GetActStory());
  return floor != nullptr ? &floor->m_AutoAreaParamArray : nullptr;
}

CAutoAreaParam* CPlenimetraFunc3::RowRecord(short dialId, short row) const
{
  return reinterpret_cast<CAutoAreaParam*>(DGListGetItemUserData(dialId, kList, row));
}

CSelectList CPlenimetraFunc3::GetSelList(short dialId) const
{
  CSelectList rows;
  const short count = DGListGetSelCount(dialId, kList);
  if (count <= 0)
    return rows;
  std::vector<short> selected(static_cast<std::size_t>(count));
  const short got = DGListGetSelItems(dialId, kList, selected.data(), count);
  rows.assign(selected.begin(), selected.begin() + std::max<short>(got, 0));
  return rows;
}

void CPlenimetraFunc3::SetAreaListItem(short dialId)
{
  if (m_pListInfoParam == nullptr)
    return;
  CAutoAreaParamArray* records = ActiveRecords();
  const short wanted = records != nullptr ? static_cast<short>(records->size()) : 0;
  while (DGListGetItemCount(dialId, kList) > wanted)
    DGListDeleteItem(dialId, kList, DG_LIST_BOTTOM);
  while (DGListGetItemCount(dialId, kList) < wanted)
    DGListInsertItem(dialId, kList, DG_LIST_BOTTOM);
  for (short row = 1; row <= wanted; ++row)
    SetAreaListItem(dialId, row, &(*records)[static_cast<std::size_t>(row - 1)]);
  m_pListInfoParam->SetList(false);
}

void CPlenimetraFunc3::SetAreaListItem(short dialId, short row, CAutoAreaParam* record)
{
  DGListSetItemUserData(dialId, kList, row, reinterpret_cast<DGUserData>(record));
  const API_RGBColor rgb = record->GetColor();
  const DGColor16 background{Channel16(rgb.f_red), Channel16(rgb.f_green), Channel16(rgb.f_blue)};
  for (short column = 1; column <= kColumnCount; ++column)
    DGListSetTabItemBackgroundColor(dialId, kList, row, column, background);
  DGListSetTabItemText(dialId, kList, row, 1, record->GetName());
  DGListSetTabItemText(dialId, kList, row, 2, m_pParam->m_ItemType1Table.GetMarkStr(record->m_ItemType1));
  DGListSetTabItemText(dialId, kList, row, 3, NumberingName(*m_pParam, *record));
  DGListSetTabItemText(dialId, kList, row, kChangedColumn, ChangedText(*record));
  DGListSetTabItemColor(dialId, kList, row, kChangedColumn, record->m_bChanged ? kRed : kBlack);
}

// ---------------------------------------------------------------------------
// Selection

GSErrCode CPlenimetraFunc3::ListChangeSelection(short dialId)
{
  const GSErrCode deselected = ACAPI_Element_DeselectAll();
  const CSelectList rows = GetSelList(dialId);
  if (rows.empty())
    return deselected;
  GS::Array<API_Neig> neigs;
  for (int row : rows) {
    const CAutoAreaParam* record = RowRecord(dialId, static_cast<short>(row));
    PLN_ASSERT(record != nullptr);
    API_Neig neig;
    neig.guid = record->GetGuid();
    neigs.Push(neig);
  }
  return ACAPI_Element_Select(neigs, true);
}

void CPlenimetraFunc3::ElementSelectionChange(short dialId)
{
  API_SelectionInfo info;
  GS::Array<API_Neig> selection;
  if (ACAPI_Selection_Get(&info, &selection, false, true) != NoError)
    selection.Clear();
  CSelectList wanted;
  const short count = DGListGetItemCount(dialId, kList);
  for (const API_Neig& neig : selection) {
    for (short row = 1; row <= count; ++row) {
      const CAutoAreaParam* record = RowRecord(dialId, row);
      PLN_ASSERT(record != nullptr);
      if (record->GetGuid() == neig.guid)
        wanted.push_back(row);
    }
  }
  if (wanted == GetSelList(dialId))
    return;
  PLN_ASSERT(!*m_bIgnoreSelection);
  SelectRows(dialId, wanted);
  m_pListInfoParam->SetList(false);
  EnableItem(dialId);
}

void CPlenimetraFunc3::SelectRows(short dialId, const CSelectList& rows)
{
  m_pListInfoParam->HideItem();
  DGListDeselectItem(dialId, kList, DG_ALL_ITEMS);
  for (int row : rows)
    DGListSelectItem(dialId, kList, static_cast<short>(row));
}

// ---------------------------------------------------------------------------
// Sorting by header click

// Sorting exchanges the records' contents, so the rows to select again are
// found by their source GUIDs, not by the record addresses.
bool CPlenimetraFunc3::DoMsgListHeaderClick(short dialId, short item, DG::ListBoxHeaderEventArg* arg)
{
  if (item != kList || arg == nullptr)
    return true;
  std::vector<API_Guid> selected;
  for (int row : GetSelList(dialId))
    if (const CAutoAreaParam* record = RowRecord(dialId, static_cast<short>(row)))
      selected.push_back(record->GetGuid());
  PLN_ASSERT(!*m_bIgnoreSelection);
  SelectRows(dialId, CSelectList());
  const short column = arg->headerItem;
  const short direction = ListHeaderSort::ClickHeader(dialId, kList, column);
  ListHeaderSort::ExchangeSort(
      DGListGetItemCount(dialId, kList),
      [&](int i, int j) { return CheckSortAutoAreaList(dialId, column, i, j, direction); },
      [&](int i, int j) {
        std::swap(*RowRecord(dialId, static_cast<short>(i)), *RowRecord(dialId, static_cast<short>(j)));
      });
  SetAreaListItem(dialId);
  CSelectList again;
  const short count = DGListGetItemCount(dialId, kList);
  for (short row = 1; row <= count; ++row)
    if (std::find(selected.begin(), selected.end(), RowRecord(dialId, row)->GetGuid()) != selected.end())
      again.push_back(row);
  SelectRows(dialId, again);
  m_pListInfoParam->SetList(false);
  EnableItem(dialId);
  // The new order reaches the host with the save: that is the sort's undo
  // step, as for the lists of the calculation-tree page.
  GSWriteFailure(GS::UniString(u"自動作成区画の並べ替えを保存できませんでした。"), SaveAsStep(*m_pParam, u"メンセラ[求積図形リスト]"));
  return true;
}

bool CPlenimetraFunc3::CheckSortAutoAreaList(short dialId, short column, int row1, int row2, short direction) const
{
  const CAutoAreaParam* a = RowRecord(dialId, static_cast<short>(row1));
  const CAutoAreaParam* b = RowRecord(dialId, static_cast<short>(row2));
  if (a == nullptr || b == nullptr)
    return false;
  int comparison = 0;
  switch (column) {
  case 1:
    comparison = ListHeaderSort::CompareText(a->GetName(), b->GetName());
    break;
  case 2:
    comparison = ListHeaderSort::CompareText(m_pParam->m_ItemType1Table.GetMarkStr(a->m_ItemType1),
                                             m_pParam->m_ItemType1Table.GetMarkStr(b->m_ItemType1));
    break;
  case 3:
    comparison = ListHeaderSort::CompareText(NumberingName(*m_pParam, *a), NumberingName(*m_pParam, *b));
    break;
  case kChangedColumn:
    comparison = ListHeaderSort::CompareText(ChangedText(*a), ChangedText(*b));
    break;
  default:
    return false;
  }
  return ListHeaderSort::MustExchange(comparison, direction);
}
