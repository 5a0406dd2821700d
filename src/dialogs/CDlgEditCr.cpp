#include "CDlgEditCr.h"

#include "CDlgProgress.h"
#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "DlgLayout.h"
#include "DocRecord.h"
#include "host_assert.h"

#include <algorithm>

namespace {

constexpr short kItemOK = 1;
constexpr short kItemCancel = 2;

// Columns of the list: the terms, the mark, and a blank filler.
constexpr short kMarkColumnWidth = 70;
constexpr short kMarkJustification = 256;
constexpr short kFillerJustification = 512;
constexpr short kColumnCount = 3;

// Header items without an in-cell editor take the host's header font.
constexpr short kHeaderFont = 32;

// Splitter drag kinds.
constexpr short kDragStart = 0;
constexpr short kDragMove = 1;
constexpr short kDragEnd = 2;

// Resize kind of the user resizing the window.
constexpr short kUserResize = 1;

const GS::UniString kLineEnd(u"\n");

}  // namespace

// ---------------------------------------------------------------------------
// The check column

CDlgEditCrCheckBox::CDlgEditCrCheckBox(short dialId, short listItem, short checkItem, const bool* autoCr)
    : CDGListItemParamCore(dialId, listItem, kMarkColumnWidth, GS::UniString(u"改行"), kMarkJustification, checkItem,
                           0),
      m_pAutoCr(autoCr)
{
}

void CDlgEditCrCheckBox::Func(short row, short column, bool draw)
{
  const short rows = DGListGetItemCount(m_DialogID, m_ListItem);
  // The last row's mark would only end the formula with a line end, so it
  // is never offered; no selection offers nothing either.
  if (row <= 0 || row >= rows) {
    if (!draw)
      DGListSetDialItemOnTabField(m_DialogID, m_ListItem, column, DG_NO_ITEM);
    return;
  }
  const auto* mark = reinterpret_cast<const CCrMark*>(DGListGetItemUserData(m_DialogID, m_ListItem, row));
  if (draw) {
    DGListSetTabItemText(m_DialogID, m_ListItem, row, column, mark != nullptr ? mark->GetStr(false) : GS::UniString());
    return;
  }
  if (mark == nullptr || *m_pAutoCr) {
    DGListSetDialItemOnTabField(m_DialogID, m_ListItem, column, DG_NO_ITEM);
    return;
  }
  SetItemSize(row, column);
  DGListSetDialItemOnTabField(m_DialogID, m_ListItem, column, m_EditItem);
  DGSetItemValLong(m_DialogID, m_EditItem, mark->m_bCr ? 1 : 0);
}

// ---------------------------------------------------------------------------
// The shared dialog

CDlgEditCrCore::CDlgEditCrCore(short resourceId, CPlenimetraParam* param, const Items& items)
    : CDGDlgCore(resourceId), m_pParam(param), m_Items(items)
{
}

void CDlgEditCrCore::DoMsgInit(short dialId)
{
  BuildColumns(dialId);
  SetListItem(dialId);
  ShowEquation(dialId);
  UpdateData(dialId, false);
}

void CDlgEditCrCore::BuildColumns(short dialId)
{
  PLN_ASSERT(m_pListInfoParam == nullptr);
  m_pListInfoParam = std::make_unique<CDGListItemParamArray>(dialId, m_Items.list);
  CDGListItemParamArray& columns = *m_pListInfoParam;
  columns.push_back(std::make_unique<CDGListItemParamCore>(dialId, m_Items.list, m_Items.termsWidth,
                                                               GS::UniString(u"式"), 0, 0, 0));
  columns.push_back(MakeCheckBox(dialId));
  columns.push_back(std::make_unique<CDGListItemParamCore>(dialId, m_Items.list, 0, GS::UniString(),
                                                               kFillerJustification, 0, 0));
  columns.LoadHeaderPosition(m_ResourceID);
  columns.InitializeList(false);

  bool sizeable = false, clickable = false, draggable = false;
  DGListGetHeaderFlags(dialId, m_Items.list, &sizeable, &clickable, &draggable);
  DGListSetHeaderFlags(dialId, m_Items.list, sizeable, true, draggable);
  for (short column = 1; column <= kColumnCount; ++column) {
    if (!columns[static_cast<std::size_t>(column - 1)]->HasEditItem())
      DGListSetHeaderItemFont(dialId, m_Items.list, column, kHeaderFont);
  }
}

bool CDlgEditCrCore::UpdateData(short dialId, bool get)
{
  if (get)
    return true;
  DGSetItemValLong(dialId, kRadioAuto, AutoCr() ? 1 : 0);
  DGSetItemValLong(dialId, kRadioHand, AutoCr() ? 0 : 1);
  EnableItem(dialId);
  return true;
}

bool CDlgEditCrCore::ShowsTerms(short dialId) const
{
  return DGGetItemValLong(dialId, kRadioAuto) != 0 || DGGetItemValLong(dialId, kRadioHand) != 0;
}

void CDlgEditCrCore::EnableItem(short dialId)
{
  const bool terms = ShowsTerms(dialId);
  for (const short item : {m_Items.preview, m_Items.list, m_Items.splitter}) {
    if (terms)
      DGShowItem(dialId, item);
    else
      DGHideItem(dialId, item);
  }
  if (m_Items.equationText != 0) {
    if (terms)
      DGHideItem(dialId, m_Items.equationText);
    else
      DGShowItem(dialId, m_Items.equationText);
    DGEnableItem(dialId, m_Items.equationText);
  }
  DGEnableItem(dialId, kRadioAuto);
  DGEnableItem(dialId, kRadioHand);
}

void CDlgEditCrCore::DoMsgChange(short dialId, short item, long long /*msgData*/)
{
  if (item == kRadioAuto)
    ChooseAuto(dialId);
  else if (item == kRadioHand)
    ChooseHand(dialId);
  else if (item == m_Items.check)
    SetMarksByHand(dialId);
  else if (item == m_Items.list)
    RefreshColumns();
}

void CDlgEditCrCore::ChooseAuto(short dialId)
{
  AutoCr() = true;
  EnableItem(dialId);
  SetAutoMarks();
  ShowEquation(dialId);
  SetListItem(dialId);
  RefreshColumns();
}

// The marks keep their values: the automatic ones become the starting
// point for editing by hand.
void CDlgEditCrCore::ChooseHand(short dialId)
{
  AutoCr() = false;
  EnableItem(dialId);
  ShowEquation(dialId);
  if (m_Items.rowsOnHand)
    SetListItem(dialId);
  RefreshColumns();
}

void CDlgEditCrCore::RefreshColumns()
{
  if (m_pListInfoParam != nullptr)
    m_pListInfoParam->SetList(false);
}

// The value goes to every selected row with a mark, the last row included
// when it is selected with others.
void CDlgEditCrCore::SetMarksByHand(short dialId)
{
  const bool value = DGGetItemValLong(dialId, m_Items.check) != 0;
  std::vector<short> rows(static_cast<std::size_t>(std::max<short>(DGListGetSelCount(dialId, m_Items.list), 0)));
  rows.resize(static_cast<std::size_t>(
      DGListGetSelItems(dialId, m_Items.list, rows.data(), static_cast<short>(rows.size()))));

  CDlgProgress progress;
  progress.OpenProgress(GS::UniString(), false);
  progress.SetRange(static_cast<int>(rows.size()), GS::UniString());
  for (const short row : rows) {
    if (CCrMark* mark = MarkOfRow(static_cast<std::size_t>(row - 1)))
      mark->m_bCr = value;
    progress.StepIt();
    SetListItem(dialId, row);
  }
  progress.Close();
  RefreshColumns();
  ShowEquation(dialId);
}

void CDlgEditCrCore::SetListItem(short dialId)
{
  DGListDeleteItem(dialId, m_Items.list, DG_ALL_ITEMS);
  // Every row first: the check column needs the row count.
  for (std::size_t i = 0; i < m_EquationList.size(); ++i)
    DGListInsertItem(dialId, m_Items.list, DG_LIST_BOTTOM);
  for (std::size_t i = 0; i < m_EquationList.size(); ++i)
    SetListItem(dialId, static_cast<short>(i + 1));
}

void CDlgEditCrCore::SetListItem(short dialId, short row)
{
  if (row < 1 || row > DGListGetItemCount(dialId, m_Items.list))
    return;
  DGListSetTabItemText(dialId, m_Items.list, row, 1, m_EquationList[static_cast<std::size_t>(row - 1)]);
  CCrMark* mark = MarkOfRow(static_cast<std::size_t>(row - 1));
  if (mark == nullptr || m_pListInfoParam == nullptr)
    return;
  DGListSetItemUserData(dialId, m_Items.list, row, reinterpret_cast<DGUserData>(mark));
  for (std::size_t c = 0; c < m_pListInfoParam->size(); ++c) {
    if ((*m_pListInfoParam)[c]->HasEditItem())
      (*m_pListInfoParam)[c]->Func(row, static_cast<short>(c + 1), true);
  }
}

void CDlgEditCrCore::ShowEquation(short dialId)
{
  GS::UniString text;
  for (std::size_t i = 0; i < m_EquationList.size(); ++i) {
    text += m_EquationList[i];
    const CCrMark* mark = MarkOfRow(i);
    if (mark != nullptr && mark->m_bCr)
      text += kLineEnd;
  }
  DGSetItemText(dialId, m_Items.preview, text);
}

short CDlgEditCrCore::DoMsgClose(short /*dialId*/, short result)
{
  if (m_pListInfoParam != nullptr) {
    m_pListInfoParam->SaveHeaderPosition(m_ResourceID);
    m_pListInfoParam.reset();
  }
  return result;
}

short CDlgEditCrCore::DoMsgListHeaderResize(short /*dialId*/, short item, DG::ListBoxHeaderEventArg* event)
{
  if (item != m_Items.list || m_pListInfoParam == nullptr)
    return 0;
  return m_pListInfoParam->DoMsgListHeaderResize(event);
}

void CDlgEditCrCore::DoMsgResize(short dialId, DG::ResizeEventArg* event)
{
  if (event == nullptr || event->kind != kUserResize)
    return;
  const short h = event->hGrow;
  const short v = event->vGrow;
  DGBeginMoveGrowItems(dialId);
  DGMoveItem(dialId, kItemOK, h, v);
  DGMoveItem(dialId, kItemCancel, h, v);
  DGGrowItem(dialId, m_Items.preview, h, 0);
  DGGrowItem(dialId, m_Items.splitter, h, 0);
  DGGrowItem(dialId, m_Items.list, h, v);
  if (m_Items.equationText != 0)
    DGGrowItem(dialId, m_Items.equationText, h, 0);
  DGEndMoveGrowItems(dialId);
}

void CDlgEditCrCore::DoMsgSplitterDrag(short dialId, short item, DG::SplitterDragEventArg* event)
{
  if (event == nullptr)
    return;
  if (event->kind == kDragStart) {
    m_SplitterPos = event->position;
  } else if (event->kind == kDragMove && item == m_Items.splitter) {
    MoveSplitter(dialId, event->position);
  } else if (event->kind == kDragEnd && item == m_Items.splitter) {
    short width = 0, height = 0, left = 0, top = 0, right = 0, bottom = 0;
    DGGetDialogClientSize(dialId, DG_CLIENT_ORIGINAL, &width, &height);
    DGGetItemRect(dialId, m_Items.list, &left, &top, &right, &bottom);
    DGSetDialogClientMinSize(dialId, width, static_cast<short>(top + kListMinHeight));
  }
}

// Preview above and list below share the splitter's move.
void CDlgEditCrCore::MoveSplitter(short dialId, short position)
{
  short width = 0, height = 0;
  DGGetDialogClientSize(dialId, DG_CLIENT_CURRENT, &width, &height);
  if (position >= kSplitterMinTop && position <= height - kSplitterMinBottom) {
    const short d = static_cast<short>(position - m_SplitterPos);
    DGBeginMoveGrowItems(dialId);
    DGMoveItem(dialId, m_Items.splitter, 0, d);
    DGGrowItem(dialId, m_Items.preview, 0, d);
    DGMoveGrowItem(dialId, m_Items.list, 0, d, 0, static_cast<short>(-d));
    DGEndMoveGrowItems(dialId);
  }
  m_SplitterPos = position;
}

// ---------------------------------------------------------------------------
// Layouts: preview above the splitter, list below it, buttons at the bottom.

using pln::host::DGDialogDef;
using pln::host::DGItemKind;

// The radios side by side above the preview; a typed equation takes the
// preview's place.
DGDialogDef CDlgEditCrCore::MakeLayout(const Items& items)
{
  const short radios = items.equationText != 0 ? 3 : 2;
  const short radioWidth = static_cast<short>(400 / radios);
  DGDialogDef def;
  def.width = 420;
  def.height = 380;
  def.items = {
      DlgLayout::Item(kItemOK, DGItemKind::Button, 320, 345, 90, 25),
      DlgLayout::Item(kItemCancel, DGItemKind::Button, 220, 345, 90, 25),
      DlgLayout::Item(items.check, DGItemKind::CheckBox, 0, 0, 20, 18),
      DlgLayout::Item(items.preview, DGItemKind::StaticText, 10, 40, 400, 80),
      DlgLayout::Item(items.splitter, DGItemKind::Splitter, 10, 120, 400, 6),
      DlgLayout::Item(items.list, DGItemKind::ListBox, 10, 130, 400, 205),
  };
  for (short i = 0; i < radios; ++i) {
    const short left = static_cast<short>(10 + i * radioWidth);
    const short right = static_cast<short>(left + radioWidth - 10);
    const short radio = static_cast<short>(kRadioAuto + i);
    def.items.push_back(DlgLayout::Item(radio, DGItemKind::RadioButton, left, 10, right - left, 18));
  }
  if (items.equationText != 0)
    def.items.push_back(DlgLayout::Item(items.equationText, DGItemKind::TextEdit, 10, 40, 400, 80));
  return def;
}

// ---------------------------------------------------------------------------
// CDlgEditCr1: the formula of one figure

CDlgEditCr1::CDlgEditCr1(CPlenimetraParam* param, std::vector<GS::UniString> terms, const CCrMarkArray& marks,
                         bool autoCr)
    : CDlgEditCrCore(ResourceId, param, kItems), m_CrMarkArray(marks), m_bAutoCr(autoCr)
{
  m_EquationList = std::move(terms);
}

CCrMark* CDlgEditCr1::MarkOfRow(std::size_t index)
{
  return index < m_CrMarkArray.size() ? &m_CrMarkArray[index] : nullptr;
}

void CDlgEditCr1::SetAutoMarks()
{
  const int width = m_pParam->m_EnvParam.m_ListAttr1.m_ColWidth2;
  CArea1Object::SetAutoCr(m_pParam, m_EquationList, m_CrMarkArray, width);
}

std::unique_ptr<CDlgEditCrCheckBox> CDlgEditCr1::MakeCheckBox(short dialId)
{
  return std::make_unique<CDlgEditCr1CheckBox>(dialId, m_Items.list, m_Items.check, &m_bAutoCr);
}

// ---------------------------------------------------------------------------
// CDlgEditCr2: an element's formula on the active story

CDlgEditCr2::CDlgEditCr2(CPlenimetraParam* param, CArea2Object* element, CArea2ListArray2* /*unused*/)
    : CDlgEditCrCore(ResourceId, param, kItems), m_bAutoCr(element->m_AutoCr)
{
  const short story = CGSUtil::GetActStory();
  m_EquationList = CCrMarkArray::GetEquationList(element->GetEquation(param, story, true, 0));
  // Looking only: the opener adds the story's record when it writes back.
  const CArea2ObjectFloor* record = element->m_FloorArray.FindFloor(story);
  m_AreaFloor = record != nullptr ? *record : CArea2ObjectFloor(story);
}

CCrMark* CDlgEditCr2::MarkOfRow(std::size_t index)
{
  std::vector<CArea2List*> entries = CArea2Object::GetList(&m_AreaFloor);
  return index < entries.size() ? &entries[index]->m_CrMark : nullptr;
}

void CDlgEditCr2::SetAutoMarks() { m_AreaFloor.SetAutoCr(m_pParam); }

std::unique_ptr<CDlgEditCrCheckBox> CDlgEditCr2::MakeCheckBox(short dialId)
{
  return std::make_unique<CDlgEditCr2CheckBox>(dialId, m_Items.list, m_Items.check, &m_bAutoCr);
}

// ---------------------------------------------------------------------------
// CDlgEditCr4: a folder's formula on the active story, or a typed equation

CDlgEditCr4::CDlgEditCr4(CPlenimetraParam* param, const CArea4Object* folder, const CAreaTreeArray& children)
    : CDlgEditCrCore(ResourceId, param, kItems),
      m_AreaTreeArray(children),
      m_pArea4Object(std::make_unique<CArea4Object>(param, folder->m_Name, folder->m_Code, folder->m_ListType,
                                                    folder->m_ItemType1, folder->m_ItemType2, folder->m_No,
                                                    folder->m_SortIndex))
{
  m_pArea4Object->m_AutoCr = folder->m_AutoCr;
  const short story = CGSUtil::GetActStory();
  // The working folder has no typed equations, so these are always the
  // children's terms.
  m_EquationList = CCrMarkArray::GetEquationList(m_pArea4Object->GetEquation(param, story, true, 0));
  if (const CAreaObjectManualEquation* manual = folder->m_ManualEquationArray.Search(story)) {
    m_ManualEquation = manual->m_Equation;
    m_bManualEquation = true;
  }
}

CCrMark* CDlgEditCr4::MarkOfRow(std::size_t index)
{
  return index < m_AreaTreeArray.size() ? &m_AreaTreeArray[index].m_CrMark : nullptr;
}

void CDlgEditCr4::SetAutoMarks() { CArea4Object::SetAutoCr(m_pParam, m_AreaTreeArray); }

std::unique_ptr<CDlgEditCrCheckBox> CDlgEditCr4::MakeCheckBox(short dialId)
{
  return std::make_unique<CDlgEditCr4CheckBox>(dialId, m_Items.list, m_Items.check, &m_pArea4Object->m_AutoCr);
}

bool CDlgEditCr4::ShowsTerms(short dialId) const { return DGGetItemValLong(dialId, kRadioManual) == 0; }

bool CDlgEditCr4::UpdateData(short dialId, bool get)
{
  if (get)
    return !m_bManualEquation || !DocText::RefuseUnheld(m_ManualEquation);
  if (m_bManualEquation) {
    DGSetItemText(dialId, m_Items.equationText, m_ManualEquation);
    DGSetItemValLong(dialId, kRadioAuto, 0);
    DGSetItemValLong(dialId, kRadioHand, 0);
    DGSetItemValLong(dialId, kRadioManual, 1);
  } else {
    DGSetItemValLong(dialId, kRadioAuto, AutoCr() ? 1 : 0);
    DGSetItemValLong(dialId, kRadioHand, AutoCr() ? 0 : 1);
    DGSetItemValLong(dialId, kRadioManual, 0);
  }
  EnableItem(dialId);
  return true;
}

void CDlgEditCr4::DoMsgChange(short dialId, short item, long long msgData)
{
  if (item == kRadioAuto || item == kRadioHand) {
    m_bManualEquation = false;
  } else if (item == kRadioManual) {
    m_bManualEquation = true;
    EnableItem(dialId);
    return;
  } else if (item == m_Items.equationText) {
    m_ManualEquation = DGGetItemText(dialId, m_Items.equationText);
    return;
  }
  CDlgEditCrCore::DoMsgChange(dialId, item, msgData);
}
