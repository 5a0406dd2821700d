// The figure-list page's frame: opening and closing, the rows, the start
// number and its preview, the selection in both directions and the main
// palette's updates.

#include "CPlenimetraFunc1.h"

#include "CDGDlgCore.h"
#include "CGSUtil.h"
#include "CPlenimetraPalette.h"
#include "GSWriteReport.h"
#include "host_assert.h"
#include "host_errors.h"
#include "host_selection.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr short kHeaderFont = 32;

// What an in-list editor's change is called in its alert.
const char16_t* EditorAction(short item)
{
  switch (item) {
  case CPlenimetraFunc1::kRoundEditor: return u"端数処理の変更";
  case CPlenimetraFunc1::kMarkEditor: return u"記号の変更";
  case CPlenimetraFunc1::kStyleEditor: return u"番号の変更";
  default: return u"改行の変更";
  }
}

// The columns in order: header, width, justification, editor item.
struct ColumnDef {
  const char16_t* header;
  short width;
  short justification;
  short editor;
};
constexpr ColumnDef kColumns[CPlenimetraFunc1::kColumnCount] = {
    {u"記号", 50, 0, CPlenimetraFunc1::kMarkEditor},
    {u"番号", 50, 0, CPlenimetraFunc1::kStyleEditor},
    {u"記号番号", 50, 0, 0},
    {u"計算式", 200, 0, 0},
    {u"面積", 80, 512, 0},
    {u"端数処理", 60, 256, CPlenimetraFunc1::kRoundEditor},
    {u"端数処理後面積", 80, 512, 0},
    {u"自動区画", 40, 256, 0},
    {u"改行", 50, 0, CPlenimetraFunc1::kAutoCrEditor},
    {u"", 0, 512, 0},
};

template <class Column>
std::unique_ptr<CDGListItemParamCore> MakeEditor(short dialId, const ColumnDef& def, CPlenimetraParam* param)
{
  return std::make_unique<Column>(dialId, CPlenimetraFunc1::kList, def.width, GS::UniString(def.header),
                                  def.justification, def.editor, param);
}

std::unique_ptr<CDGListItemParamCore> MakeColumn(short dialId, const ColumnDef& def, CPlenimetraParam* param)
{
  switch (def.editor) {
  case CPlenimetraFunc1::kMarkEditor: return MakeEditor<CPlenimetraFunc1ItemType1>(dialId, def, param);
  case CPlenimetraFunc1::kStyleEditor: return MakeEditor<CPlenimetraFunc1ItemType2>(dialId, def, param);
  case CPlenimetraFunc1::kRoundEditor: return MakeEditor<CPlenimetraFunc1RoundType>(dialId, def, param);
  case CPlenimetraFunc1::kAutoCrEditor: return MakeEditor<CPlenimetraFunc1AutoCr>(dialId, def, param);
  default:
    return std::make_unique<CDGListItemParamCore>(dialId, CPlenimetraFunc1::kList, def.width,
                                                  GS::UniString(def.header), def.justification, 0, 0);
  }
}

}  // namespace

std::unique_ptr<CPlenimetraPage> MakeFigureListPage(CPlenimetraPalette& palette)
{
  return std::make_unique<CPlenimetraFunc1>(palette);
}

CPlenimetraFunc1::CPlenimetraFunc1(CPlenimetraPalette& palette)
    : CPlenimetraPage(palette, ResourceId), m_pPalette(&palette), m_pParam(&palette.m_Param),
      m_bIgnoreSelection(&palette.m_bIgnoreSelection)
{
}

CPlenimetraFunc1::~CPlenimetraFunc1() = default;

GSErrCode CPlenimetraFunc1::OpenPalette()
{
  CmdOpenPalette();
  return NoError;
}

// ---------------------------------------------------------------------------
// Opening, closing, items

void CPlenimetraFunc1::FillPopUps(short dialId)
{
  for (const CRoundTypeTable& entry : m_pParam->m_RoundTypeTable)
    CDGDlgCore::PopUpInsert(dialId, kRoundEditor, entry.m_Name, entry.m_Code);
  for (const CItemType1Table& entry : m_pParam->m_ItemType1Table) {
    CDGDlgCore::PopUpInsert(dialId, kMarkEditor, entry.m_Text, entry.m_Code);
    if (entry.m_Code != CItemType1Table::ITEMTYPE_NONE)
      CDGDlgCore::PopUpInsert(dialId, kCurMark, entry.m_Text, entry.m_Code);
  }
  for (const CItemType2Table& entry : m_pParam->m_ItemType2Table) {
    CDGDlgCore::PopUpInsert(dialId, kStyleEditor, entry.m_Text, entry.m_Code);
    if (entry.m_Code != CItemType2Table::ITEMTYPE_NONE)
      CDGDlgCore::PopUpInsert(dialId, kCurStyle, entry.m_Text, entry.m_Code);
  }
  for (const CAutoCrTable& entry : m_pParam->m_AutoCrTable)
    CDGDlgCore::PopUpInsert(dialId, kAutoCrEditor, entry.m_Text, entry.m_Code ? 1 : 0);
  DGPopUpSelectItem(dialId, kCurMark, CDGDlgCore::PopUpSearchIndex(dialId, kCurMark, m_pParam->m_CurItemType1));
  DGPopUpSelectItem(dialId, kCurStyle, CDGDlgCore::PopUpSearchIndex(dialId, kCurStyle, m_pParam->m_CurItemType2));
}

void CPlenimetraFunc1::DoMsgInit(short dialId)
{
  FillPopUps(dialId);
  SetListHeader(dialId);
  SetListItem(dialId);
  for (short editor : {kRoundEditor, kMarkEditor, kStyleEditor, kAutoCrEditor})
    DGHideItem(dialId, editor);
  DGEnableMessage(dialId, 0, 17, 0);
  UpdateData(dialId, false);
  // The field is ranged from 1: it opens on the next free number.
  SetStartNo(dialId);
  EnableItem(dialId);
}

void CPlenimetraFunc1::DoMsgClose(short /*dialId*/, short /*item*/) { SaveAndReleaseColumns(m_pListInfoParam, ResourceId); }

void CPlenimetraFunc1::EnableItem(short dialId)
{
  for (short item = kBack; item <= kList; ++item)
    if (item != 21)
      DGEnableItem(dialId, item);
}

bool CPlenimetraFunc1::UpdateData(short dialId, bool get)
{
  if (get)
    return true;
  {
    IgnoreSelection ignore(*m_bIgnoreSelection);
    SetListItem(dialId);
  }
  EnableItem(dialId);
  return true;
}

short CPlenimetraFunc1::DoMsgClick(short dialId, short item, long long /*msgData*/)
{
  ClearPushButton(dialId, item);
  GSErrCode err = NoError;
  if (item == kBack || item == DG_CLOSEBOX) {
    m_Palette.ShowPalette();
    return item;
  }
  const char16_t* notDone = u"";
  // The figures are elements of the floor plan, which the commands reach
  // whatever window is in front; only a placement needs the plan in front,
  // where the user picks its points.
  const bool fillsGaps = m_pParam->m_EnvParam.m_NumberFillGaps;
  if (item >= kTriangle && item <= kArcCenter) {
    if (RefusesNumbering(dialId, u"求積図形の作成"))
      return 0;
    err = DoCreate(dialId, item);
    notDone = u"求積図形の作成を完了できませんでした。";
  } else if (item == kRotate) {
    err = CGSUtil::OnFloorPlan([&] { return DoRotate(dialId); });
    notDone = u"底辺の回転を完了できませんでした。";
  } else if (item == kEditCr) {
    ReportEdit(u"改行の変更", CGSUtil::OnFloorPlan([&] { return DoEditCr(dialId); }));
  } else if (item == kRenumber) {
    if (RefusesNumbering(dialId, u"リナンバリング"))
      return 0;
    ReportEdit(u"リナンバリング", CGSUtil::OnFloorPlan([&] { return DoRenumber(dialId); }));
  } else if (item == kDelete) {
    // Numbers that fill gaps close up over the deleted ones.
    if (fillsGaps && RefusesNumbering(dialId, u"求積図形の削除"))
      return 0;
    err = CGSUtil::OnFloorPlan([&] { return DoDelete(dialId); });
    notDone = u"求積図形の削除を完了できませんでした。";
    // The other open pages list figures by their records, which the
    // deletion freed.
    IgnoreSelection ignore(*m_bIgnoreSelection);
    m_Palette.SendUpdateMessage(Hint::ElementsChanged);
  }
  GSWriteFailure(GS::UniString(notDone), err);
  EnableItem(dialId);
  return 0;
}

void CPlenimetraFunc1::DoMsgChange(short dialId, short item, long long /*msgData*/)
{
  ClearPushButton(dialId, item);
  GSErrCode err = NoError;
  switch (item) {
  case kRoundEditor:
  case kMarkEditor:
  case kStyleEditor:
  case kAutoCrEditor:
    // A new mark or numbering gives the figures numbers of that pair.
    if ((item == kMarkEditor || item == kStyleEditor) && RefusesNumbering(dialId, EditorAction(item)))
      break;
    ReportEdit(EditorAction(item), CGSUtil::OnFloorPlan([&] { return DoEditorChange(dialId, item); }));
    break;
  case kCurMark:
    m_pParam->m_CurItemType1 = static_cast<CItemType1Table::ITEMTYPE>(
        DGPopUpGetItemUserData(dialId, kCurMark, DGPopUpGetSelected(dialId, kCurMark)));
    SetStartNo(dialId);
    break;
  case kCurStyle:
    m_pParam->m_CurItemType2 = static_cast<CItemType2Table::ITEMTYPE>(
        DGPopUpGetItemUserData(dialId, kCurStyle, DGPopUpGetSelected(dialId, kCurStyle)));
    SetStartNo(dialId);
    break;
  case kStartNo:
    ShowNo(dialId);
    break;
  case kList:
    if (!*m_bIgnoreSelection) {
      IgnoreSelection ignore(*m_bIgnoreSelection);
      // The figures are selected on the plan, in front or not.
      err = CGSUtil::OnFloorPlan([&] { return ListChangeSelection(dialId); });
      if (m_pListInfoParam != nullptr)
        m_pListInfoParam->SetList(false);
    }
    break;
  default:
    break;
  }
  GSWriteFailure(GS::UniString(u"図面上の求積図形を選択できませんでした。"), err);
  EnableItem(dialId);
}

void CPlenimetraFunc1::DoMsgResize(short dialId, DG::ResizeEventArg* arg)
{
  if (arg == nullptr || arg->kind != 1)
    return;
  DGBeginMoveGrowItems(dialId);
  DGGrowItem(dialId, kList, arg->hGrow, arg->vGrow);
  DGEndMoveGrowItems(dialId);
}

short CPlenimetraFunc1::DoMsgListHeaderResize(short /*dialId*/, short item, DG::ListBoxHeaderEventArg* arg)
{
  if (item != kList || m_pListInfoParam == nullptr)
    return 0;
  return m_pListInfoParam->DoMsgListHeaderResize(arg);
}

void CPlenimetraFunc1::ClearPushButton(short dialId, short item)
{
  for (short button = kTriangle; button <= kArcCenter; ++button)
    if (button != item)
      DGSetItemValLong(dialId, button, 0);
}

void CPlenimetraFunc1::OnUpdate(HINT hint)
{
  if (!IsOn())
    return;
  const short dialId = m_PaletteID;
  switch (hint) {
  case Hint::StoryChanged:
  case Hint::SettingsApplied:
    SetStartNo(dialId);
    SetListItem(dialId);
    break;
  case Hint::TextsChanged:
  case Hint::ElementsChanged:
  case Hint::PatternChanged:
  case Hint::PatternDeleted:  // the new pattern may name another figure layer
    SetListItem(dialId);
    break;
  default:
    break;
  }
}

// ---------------------------------------------------------------------------
// Rows

CFloorParam* CPlenimetraFunc1::ActiveFloor() const
{
  return m_pParam->m_FloorParamArray.Search(CGSUtil::GetActStory());
}

short CPlenimetraFunc1::RowCount(short dialId) const { return DGListGetItemCount(dialId, kList); }

CArea1Object* CPlenimetraFunc1::FigureOfRow(short dialId, short row) const
{
  return reinterpret_cast<CArea1Object*>(static_cast<std::intptr_t>(DGListGetItemUserData(dialId, kList, row)));
}

std::shared_ptr<CArea1Object> CPlenimetraFunc1::SharedFigure(const CArea1Object* figure) const
{
  if (const CFloorParam* floor = ActiveFloor(); floor != nullptr)
    for (const auto& shared : floor->m_Area1ObjectArray)
      if (shared.get() == figure)
        return shared;
  return nullptr;
}

std::vector<CArea1Object*> CPlenimetraFunc1::RowFigures(short dialId) const
{
  std::vector<CArea1Object*> figures;
  for (short row = 1; row <= RowCount(dialId); ++row) {
    CArea1Object* figure = FigureOfRow(dialId, row);
    PLN_ASSERT(figure != nullptr);
    figures.push_back(figure);
  }
  return figures;
}

void CPlenimetraFunc1::SetListHeader(short dialId)
{
  PLN_ASSERT(m_pListInfoParam == nullptr);
  m_pListInfoParam = std::make_unique<CDGListItemParamArray>(dialId, kList);
  for (const ColumnDef& def : kColumns)
    m_pListInfoParam->push_back(MakeColumn(dialId, def, m_pParam));
  m_pListInfoParam->LoadHeaderPosition(ResourceId);
  m_pListInfoParam->InitializeList(false);
  bool sizeable = false, clickable = false, draggable = false;
  DGListGetHeaderFlags(dialId, kList, &sizeable, &clickable, &draggable);
  DGListSetHeaderFlags(dialId, kList, sizeable, true, draggable);
  for (short column = 1; column <= kColumnCount; ++column)
    if (kColumns[column - 1].editor == 0)
      DGListSetHeaderItemFont(dialId, kList, column, kHeaderFont);
}

// Rows follow the sort indices; the order of a stored list whose indices
// are not 0..n-1 falls back to list order among equal indices, so every
// figure still gets a row of its own.
void CPlenimetraFunc1::SetListItem(short dialId)
{
  const CFloorParam* floor = ActiveFloor();
  std::vector<std::shared_ptr<CArea1Object>> figures;
  if (floor != nullptr)
    figures.assign(floor->m_Area1ObjectArray.begin(), floor->m_Area1ObjectArray.end());
  std::stable_sort(figures.begin(), figures.end(),
                   [](const auto& a, const auto& b) { return a->m_SortIndex < b->m_SortIndex; });
  const auto count = static_cast<short>(figures.size());
  while (RowCount(dialId) > count)
    DGListDeleteItem(dialId, kList, RowCount(dialId));
  while (RowCount(dialId) < count)
    DGListInsertItem(dialId, kList, DG_LIST_BOTTOM);
  for (short row = 1; row <= count; ++row) {
    CArea1Object* figure = figures[static_cast<std::size_t>(row - 1)].get();
    DGListSetItemUserData(dialId, kList, row, static_cast<DGUserData>(reinterpret_cast<std::intptr_t>(figure)));
    SetListItem(dialId, row, figure);
  }
  DGListDeselectItem(dialId, kList, DG_ALL_ITEMS);
  ShowDefaultRoundType(dialId);
}

void CPlenimetraFunc1::SetListItem(short dialId, short row, CArea1Object* figure)
{
  if (row < 1 || row > RowCount(dialId) || figure == nullptr)
    return;
  const UInt16 shade = figure->m_Element.header.layer == m_pParam->GetLayer() ? 0 : kGrey;
  DGListSetItemColor(dialId, kList, row, DGColor16{shade, shade, shade});
  if (m_pListInfoParam != nullptr)
    for (short column = 1; column <= kColumnCount; ++column)
      if ((*m_pListInfoParam)[static_cast<std::size_t>(column - 1)]->HasEditItem())
        (*m_pListInfoParam)[static_cast<std::size_t>(column - 1)]->Func(row, column, true);
  const double width = m_pParam->m_EnvParam.m_ListAttr1.m_ColWidth2;
  DGListSetTabItemText(dialId, kList, row, 3, figure->GetMarkStr(m_pParam) + figure->GetItemNoStr(m_pParam));
  DGListSetTabItemText(dialId, kList, row, 4, figure->GetEquation(m_pParam, false, width));
  DGListSetTabItemText(dialId, kList, row, 5, figure->GetOrgAreaStr(m_pParam));
  DGListSetTabItemText(dialId, kList, row, 7, figure->GetRoundAreaStr(m_pParam));
  GS::UniString zone;
  if (CFloorParam* floor = ActiveFloor(); floor != nullptr && !figure->m_AutoArea.m_ElemGuid.IsNull()) {
    const API_Guid guid = ToAPIGuid(figure->m_AutoArea.m_ElemGuid);
    if (const CAutoAreaParam* record = floor->m_AutoAreaParamArray.Search(&guid); record != nullptr)
      zone = record->GetName();
  }
  DGListSetTabItemText(dialId, kList, row, 8, zone);
}

int CPlenimetraFunc1::GetStartNoItem(short dialId) const { return std::max(1, DGGetItemValLong(dialId, kStartNo)); }

void CPlenimetraFunc1::ShowNo(short dialId)
{
  DGSetItemText(dialId, kPreview,
                GS::UniString(u"( ") +
                    m_pParam->m_ItemType2Table.GetItemNoStr(m_pParam->m_CurItemType2, GetStartNoItem(dialId) - 1) +
                    GS::UniString(u" )"));
}

void CPlenimetraFunc1::SetStartNo(short dialId)
{
  int highest = -1;
  if (const CFloorParam* floor = ActiveFloor(); floor != nullptr)
    highest = floor->m_Area1ObjectArray.GetMaxItemNo(m_pParam, m_pParam->m_CurItemType1, m_pParam->m_CurItemType2);
  DGSetItemValLong(dialId, kStartNo, highest + 2);
  ShowNo(dialId);
}

// Without a rounding table the pattern has no figure default to show.
void CPlenimetraFunc1::ShowDefaultRoundType(short dialId)
{
  const CRoundTypeItem* item = m_pParam->GetArea1DefaultRoundType();
  DGSetItemText(dialId, kDefaultRound, item != nullptr ? m_pParam->GetDefaultStr(*item) : GS::UniString());
}

// ---------------------------------------------------------------------------
// Selection

CSelectList CPlenimetraFunc1::GetSelList(short dialId) const
{
  CSelectList rows;
  const short count = DGListGetSelCount(dialId, kList);
  if (count <= 0)
    return rows;
  std::vector<short> selected(static_cast<std::size_t>(count));
  const short got = DGListGetSelItems(dialId, kList, selected.data(), count);
  for (short i = 0; i < got; ++i)
    rows.push_back(selected[static_cast<std::size_t>(i)]);
  return rows;
}

CArea1ObjectPtrArray CPlenimetraFunc1::GetSelection(short dialId) const
{
  CArea1ObjectPtrArray figures;
  for (int row : GetSelList(dialId)) {
    CArea1Object* figure = FigureOfRow(dialId, static_cast<short>(row));
    PLN_ASSERT(figure != nullptr);
    if (auto shared = SharedFigure(figure); shared != nullptr)
      figures.push_back(shared);
  }
  return figures;
}

GSErrCode CPlenimetraFunc1::ListChangeSelection(short dialId)
{
  GSErrCode err = ACAPI_Element_DeselectAll();
  const CSelectList rows = GetSelList(dialId);
  if (rows.empty())
    return err;
  GS::Array<API_Neig> neigs;
  for (int row : rows) {
    const CArea1Object* figure = FigureOfRow(dialId, static_cast<short>(row));
    PLN_ASSERT(figure != nullptr);
    API_Neig neig;
    neig.guid = figure->m_Element.header.guid;
    neigs.Push(neig);
  }
  return ACAPI_Element_Select(neigs, true);
}

void CPlenimetraFunc1::SelectRows(short dialId, const std::vector<short>& rows)
{
  DGListDeselectItem(dialId, kList, DG_ALL_ITEMS);
  for (short row : rows)
    DGListSelectItem(dialId, kList, row);
  if (m_pListInfoParam != nullptr)
    m_pListInfoParam->SetList(false);
}

void CPlenimetraFunc1::ElementSelectionChange(short dialId)
{
  if (m_pListInfoParam != nullptr)
    m_pListInfoParam->HideItem();
  API_SelectionInfo info;
  GS::Array<API_Neig> neigs;
  const GSErrCode err = ACAPI_Selection_Get(&info, &neigs, false, true);
  std::vector<short> rows;
  if ((err == NoError || err == APIERR_NOSEL) && info.sel_nElem > 0) {
    const std::vector<CArea1Object*> figures = RowFigures(dialId);
    for (const API_Neig& neig : neigs)
      for (std::size_t r = 0; r < figures.size(); ++r)
        if (figures[r]->m_Element.header.guid == neig.guid)
          rows.push_back(static_cast<short>(r + 1));
  }
  PLN_ASSERT(!*m_bIgnoreSelection);
  SelectRows(dialId, rows);
}

GSErrCode CPlenimetraFunc1::SelectionChangeHandler(const API_Neig* /*neig*/)
{
  if (IsOn())
    ElementSelectionChange(m_PaletteID);
  return NoError;
}

void CPlenimetraFunc1::RebuildQuietly(short dialId)
{
  IgnoreSelection ignore(*m_bIgnoreSelection);
  SetListItem(dialId);
}

// A placement adds its figure last and changes no other row: the user who
// traces figure after figure would otherwise wait for the whole list, as
// long as every figure placed, after each.
void CPlenimetraFunc1::ShowPlaced(short dialId)
{
  const CFloorParam* floor = ActiveFloor();
  const std::size_t count = floor != nullptr ? floor->m_Area1ObjectArray.size() : 0;
  CArea1Object* placed = count > 0 ? floor->m_Area1ObjectArray.back().get() : nullptr;
  if (placed == nullptr || static_cast<std::size_t>(RowCount(dialId)) + 1 != count ||
      placed->m_SortIndex != static_cast<int>(count) - 1)
    return RebuildQuietly(dialId);
  IgnoreSelection ignore(*m_bIgnoreSelection);
  DGListInsertItem(dialId, kList, DG_LIST_BOTTOM);
  const short row = RowCount(dialId);
  DGListSetItemUserData(dialId, kList, row, static_cast<DGUserData>(reinterpret_cast<std::intptr_t>(placed)));
  SetListItem(dialId, row, placed);
  DGListDeselectItem(dialId, kList, DG_ALL_ITEMS);
  ShowDefaultRoundType(dialId);
}
