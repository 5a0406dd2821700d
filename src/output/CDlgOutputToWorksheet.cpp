#include "CDlgOutputToWorksheet.h"

#include "CDlgProgress.h"
#include "CPlenimetraParam.h"
#include "host_assert.h"
#include "host_environment.h"

namespace {

enum Item : short {
  kOk = 1,
  kCancel = 2,
  kModeSpreadsheet = 3,
  kModeCsv = 4,
  kModeWorksheets = 5,
  kFileType = 6,
  kLayout = 7,
  kTubo = 8,
  kAutoArea = 9,
};

constexpr short kNameWidth = 50;
constexpr short kPatternWidth = 20;
constexpr short kJustLeft = 512;
constexpr short kJustCenter = 256;
constexpr short kPlainHeaderFont = 32;
constexpr short kListFont = 4;
constexpr short kRowHeight = 21;
constexpr short kCheckHeight = 18;

}  // namespace

// ---- one pattern column ------------------------------------------------------------------

CDlgOutputToWorksheetCheck::CDlgOutputToWorksheetCheck(CDlgOutputToWorksheet* dialog, short dialId, short listItem,
                                                       const GS::UniString& header, short checkItem, int code)
    : CDGListItemParamCore(dialId, listItem, kPatternWidth, header, kJustCenter, checkItem, 0),
      m_Code(code),
      m_pDialog(dialog)
{
}

void CDlgOutputToWorksheetCheck::Func(short row, short column, bool draw)
{
  if (draw) {
    DGListSetTabItemText(m_DialogID, m_ListItem, row, column,
                         m_pDialog->IsWritten(row, m_Code) ? GS::UniString(u"V") : GS::UniString());
    return;
  }
  if (row < 1 || !m_pDialog->IsEditable(row, m_Code)) {
    DGHideItem(m_DialogID, m_EditItem);
    CDGListItemParamCore::Func(row, column, draw);
    return;
  }
  DGListSetDialItemOnTabField(m_DialogID, m_ListItem, column, m_EditItem);
  SetItemSize(row, column);
  DGSetItemValLong(m_DialogID, m_EditItem, m_pDialog->IsWritten(row, m_Code) ? 1 : 0);
  DGShowItem(m_DialogID, m_EditItem);
}

// ---- the dialog ----------------------------------------------------------------------------

pln::host::DGDialogDef CDlgOutputToWorksheet::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def;
  def.width = 290;
  def.height = 180;
  def.items = {
      {.item = kOk, .kind = DGItemKind::Button, .left = 130, .top = 155, .right = 200, .bottom = 175},
      {.item = kCancel, .kind = DGItemKind::Button, .left = 210, .top = 155, .right = 280, .bottom = 175},
      {.item = kModeSpreadsheet, .kind = DGItemKind::RadioButton, .left = 10, .top = 10, .right = 120, .bottom = 28},
      {.item = kModeCsv, .kind = DGItemKind::RadioButton, .left = 10, .top = 32, .right = 120, .bottom = 50},
      {.item = kModeWorksheets, .kind = DGItemKind::RadioButton, .left = 10, .top = 54, .right = 120, .bottom = 72},
      {.item = kFileType, .kind = DGItemKind::PopUp, .left = 130, .top = 10, .right = 280, .bottom = 30},
      {.item = kLayout, .kind = DGItemKind::PopUp, .left = 130, .top = 54, .right = 280, .bottom = 74},
      {.item = kTubo, .kind = DGItemKind::CheckBox, .left = 10, .top = 78, .right = 140, .bottom = 96},
      {.item = kAutoArea, .kind = DGItemKind::CheckBox, .left = 150, .top = 78, .right = 280, .bottom = 96},
  };
  return def;
}

CDlgOutputToWorksheet::CDlgOutputToWorksheet(CPlenimetraParam* param)
    : CDGDlgCore(ResourceId),
      m_FloorParamArray(param->m_FloorParamArray),
      m_TotalExcludeCodes(param->m_TotalExcludeCodes),
      m_bTuboRow(param->m_bTuboRow),
      m_OutputLayout(param->m_OutputLayout),
      m_OutputMode(param->m_OutputMode),
      m_pParam(param),
      m_bOutputCheck(param->m_bOutputCheck),
      m_OutputFileType(param->m_OutputFileType)
{
}

const CFloorParam* CDlgOutputToWorksheet::FloorOfRow(short row) const
{
  const auto count = short(m_FloorParamArray.size());
  if (row < 1 || row > count)
    return nullptr;
  return &m_FloorParamArray[std::size_t(count - row)];
}

bool CDlgOutputToWorksheet::IsWritten(short row, int code) const
{
  if (const CFloorParam* floor = FloorOfRow(row))
    return floor->IsCalc(&m_FloorParamArray, code) && floor->IsOutputWorksheet(code);
  return !m_TotalExcludeCodes.IsExisted2(code);
}

bool CDlgOutputToWorksheet::IsEditable(short row, int code) const
{
  const CFloorParam* floor = FloorOfRow(row);
  return floor == nullptr || floor->IsCalc(&m_FloorParamArray, code);
}

bool CDlgOutputToWorksheet::UpdateData(short dialId, bool save)
{
  if (save)
    return true;
  DGSetItemValLong(dialId, kModeSpreadsheet, m_OutputMode == 1 ? 1 : 0);
  DGSetItemValLong(dialId, kModeCsv, m_OutputMode == 3 ? 1 : 0);
  DGSetItemValLong(dialId, kModeWorksheets, m_OutputMode == 2 ? 1 : 0);
  DGSetItemValLong(dialId, kAutoArea, m_bOutputCheck ? 1 : 0);
  return true;
}

void CDlgOutputToWorksheet::EnableByMode(short dialId)
{
  EnableItem(dialId, kLayout, m_OutputMode == 2);
  EnableItem(dialId, kFileType, m_OutputMode == 1);
}

void CDlgOutputToWorksheet::DoMsgInit(short dialId)
{
  API_ProjectInfo project;
  if (ACAPI_Environment('PROJ', &project) == NoError && (project.untitled || project.teamwork))
    DGHideItem(dialId, kFileType);
  PopUpInsert(dialId, kFileType, GS::UniString(u"xls"), 0);
  PopUpInsert(dialId, kFileType, GS::UniString(u"xlsx"), 1);
  PopUpSelectItemUserData(dialId, kFileType, m_OutputFileType);
  PopUpInsert(dialId, kLayout, GS::UniString(u"横に並べて出力"), 1);
  PopUpInsert(dialId, kLayout, GS::UniString(u"縦に並べて出力(位置指定)"), 2);
  PopUpInsert(dialId, kLayout, GS::UniString(u"縦に並べて出力(表間指定)"), 3);
  PopUpSelectItemUserData(dialId, kLayout, m_OutputLayout);
  DGSetItemValLong(dialId, kTubo, m_bTuboRow ? 1 : 0);

  std::vector<std::pair<short, const CAreaTree*>> checks;
  for (const CAreaTree& pattern : m_pParam->m_AreaTree2.m_Child) {
    PLN_ASSERT(m_pParam->GetAreaObject(pattern.m_AreaCode) != nullptr);
    const short check = DGAppendDialogItem(dialId, DG_ITM_CHECKBOX, 0, 0, 0, 0, 0, kCheckHeight);
    DGHideItem(dialId, check);
    checks.emplace_back(check, &pattern);
  }
  m_ListItem = DGAppendDialogItem(dialId, DG_ITM_LISTBOX, 0, 0, 0, 100, 290, 50);
  DGListSetItemHeight(dialId, m_ListItem, kRowHeight);
  DGSetItemFont(dialId, m_ListItem, kListFont);
  DGShowItem(dialId, m_ListItem);

  UpdateData(dialId, false);
  EnableByMode(dialId);

  m_pColumns = std::make_unique<CDGListItemParamArray>(dialId, m_ListItem);
  m_pColumns->push_back(std::make_unique<CDGListItemParamCore>(dialId, m_ListItem, kNameWidth,
                                                               GS::UniString(u"名前"), kJustLeft, 0, 0));
  for (const auto& [check, pattern] : checks)
    m_pColumns->push_back(std::make_unique<CDlgOutputToWorksheetCheck>(
        this, dialId, m_ListItem, m_pParam->GetAreaObject(pattern->m_AreaCode)->m_Name.m_DefaultName, check,
        pattern->m_AreaCode));
  m_pColumns->push_back(
      std::make_unique<CDGListItemParamCore>(dialId, m_ListItem, 0, GS::UniString(), kJustLeft, 0, 0));
  m_pColumns->LoadHeaderPosition(ResourceId);
  m_pColumns->InitializeList(false);
  bool sizeable = true, clickable = false, draggable = false;
  DGListGetHeaderFlags(dialId, m_ListItem, &sizeable, &clickable, &draggable);
  DGListSetHeaderFlags(dialId, m_ListItem, sizeable, true, draggable);
  for (short i = 1; i <= short(m_pColumns->size()); ++i)
    if (!(*m_pColumns)[std::size_t(i - 1)]->HasEditItem())
      DGListSetHeaderItemFont(dialId, m_ListItem, i, kPlainHeaderFont);

  SetListItem(dialId);
  m_pColumns->SetList(false);
  DGDisableItem(dialId, kModeSpreadsheet);
}

void CDlgOutputToWorksheet::SetListItem(short dialId)
{
  const auto rows = short(m_FloorParamArray.size() + 1);
  while (DGListGetItemCount(dialId, m_ListItem) > rows)
    DGListDeleteItem(dialId, m_ListItem, DG_LIST_BOTTOM);
  while (DGListGetItemCount(dialId, m_ListItem) < rows)
    DGListInsertItem(dialId, m_ListItem, DG_LIST_BOTTOM);
  for (short row = 1; row <= rows; ++row)
    SetListItem(dialId, row);
}

void CDlgOutputToWorksheet::SetListItem(short dialId, short row)
{
  m_pColumns->UpdateEditItem(dialId, row);
  const CFloorParam* floor = FloorOfRow(row);
  DGListSetTabItemText(dialId, m_ListItem, row, 1, floor != nullptr ? floor->m_FloorName : GS::UniString(u"建物面積表"));
}

void CDlgOutputToWorksheet::DoMsgChange(short dialId, short item, long long)
{
  switch (item) {
  case kModeSpreadsheet:
  case kModeCsv:
  case kModeWorksheets:
    if (DGGetItemValLong(dialId, kModeSpreadsheet) != 0)
      m_OutputMode = 1;
    else if (DGGetItemValLong(dialId, kModeCsv) != 0)
      m_OutputMode = 3;
    else if (DGGetItemValLong(dialId, kModeWorksheets) != 0)
      m_OutputMode = 2;
    EnableByMode(dialId);
    return;
  case kFileType: m_OutputFileType = int(PopUpSelectedUserData(dialId, kFileType)); return;
  case kLayout: m_OutputLayout = int(PopUpSelectedUserData(dialId, kLayout)); return;
  case kTubo: m_bTuboRow = DGGetItemValLong(dialId, kTubo) != 0; return;
  case kAutoArea: m_bOutputCheck = DGGetItemValLong(dialId, kAutoArea) != 0; return;
  default: break;
  }
  if (item == m_ListItem) {
    m_pColumns->SetList(false);
    return;
  }
  for (short column = 1; column <= short(m_pColumns->size()); ++column)
    if ((*m_pColumns)[std::size_t(column - 1)]->m_EditItem == item) {
      DoMsgChangeCheck(dialId, column, DGGetItemValLong(dialId, item) != 0);
      return;
    }
}

void CDlgOutputToWorksheet::DoMsgChangeCheck(short dialId, short column, bool on)
{
  const int code = static_cast<CDlgOutputToWorksheetCheck&>(*(*m_pColumns)[std::size_t(column - 1)]).m_Code;
  const short count = DGListGetSelCount(dialId, m_ListItem);
  std::vector<short> rows(std::size_t(std::max<short>(count, 0)));
  if (count > 0)
    DGListGetSelItems(dialId, m_ListItem, rows.data(), count);
  CDlgProgress progress;
  progress.SetRange(int(rows.size()), GS::UniString());
  for (short row : rows) {
    const CFloorParam* floor = FloorOfRow(row);
    CTreeCodeArray& codes =
        floor != nullptr ? m_FloorParamArray[m_FloorParamArray.size() - std::size_t(row)].m_OutputExcludeCodes
                         : m_TotalExcludeCodes;
    if (on)
      codes.Erase(code);
    else
      codes.Add(code);
    SetListItem(dialId, row);
    progress.StepIt();
  }
  progress.Close();
  m_pColumns->SetList(false);
}

short CDlgOutputToWorksheet::DoMsgClick(short, short item, long long)
{
  return item == kOk || item == kCancel ? item : 0;
}

void CDlgOutputToWorksheet::DoMsgResize(short dialId, DG::ResizeEventArg* arg)
{
  if (arg == nullptr || arg->kind != 1)
    return;
  DGBeginMoveGrowItems(dialId);
  DGGrowItem(dialId, m_ListItem, arg->hGrow, arg->vGrow);
  DGMoveItem(dialId, kOk, arg->hGrow, arg->vGrow);
  DGMoveItem(dialId, kCancel, arg->hGrow, arg->vGrow);
  DGEndMoveGrowItems(dialId);
}

short CDlgOutputToWorksheet::DoMsgListHeaderResize(short, short item, DG::ListBoxHeaderEventArg* arg)
{
  if (item != m_ListItem || m_pColumns == nullptr)
    return 0;
  return m_pColumns->DoMsgListHeaderResize(arg);
}

short CDlgOutputToWorksheet::DoMsgClose(short, short)
{
  if (m_pColumns != nullptr)
    m_pColumns->SaveHeaderPosition(ResourceId);
  m_pColumns.reset();
  return 0;
}
