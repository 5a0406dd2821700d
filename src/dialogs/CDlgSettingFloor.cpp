#include "CDlgSettingFloor.h"

#include "CPlenimetraParam.h"
#include "DlgLayout.h"

#include <cstdint>

namespace {

enum : short { kOk = 1, kCancel = 2, kModeBox = 3, kCheckBox = 4, kList = 5 };
constexpr short kNameWidth = 50;
constexpr short kNameJustification = 512;

}  // namespace

pln::host::DGDialogDef CDlgSettingFloor::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def;
  def.width = 260;
  def.height = 320;
  def.items = {
      DlgLayout::Item(kOk, DGItemKind::Button, 90, 290, 80, 20),
      DlgLayout::Item(kCancel, DGItemKind::Button, 175, 290, 80, 20),
      DlgLayout::Item(kModeBox, DGItemKind::CheckBox, 5, 5, 250, 20),
      DlgLayout::Item(kCheckBox, DGItemKind::CheckBox, 0, 0, 20, 18),
      DlgLayout::Item(kList, DGItemKind::ListBox, 5, 30, 250, 250),
  };
  return def;
}

CDlgSettingFloor::CDlgSettingFloor(CPlenimetraParam* param)
    : CDlgFloorCheckList(ResourceId, param, kList, kCheckBox, kNameWidth, kNameJustification),
      m_FloorParamArray(param->m_FloorParamArray), m_bFloorMode(param->m_FloorParamArray.m_bCalcPerFloor)
{
}

bool CDlgSettingFloor::UpdateData(short dialId, bool get)
{
  if (!get)
    DGSetItemValLong(dialId, kModeBox, m_bFloorMode ? 1 : 0);
  return true;
}

short CDlgSettingFloor::DoMsgClick(short /*dialId*/, short item, long long /*msgData*/)
{
  return item == kOk || item == kCancel ? item : 0;
}

void CDlgSettingFloor::DoMsgChange(short dialId, short item, long long /*msgData*/)
{
  switch (item) {
  case kModeBox:
    // The ticks follow the other mode's data; no record changes.
    m_bFloorMode = DGGetItemValLong(dialId, kModeBox) != 0;
    m_FloorParamArray.m_bCalcPerFloor = m_bFloorMode;
    SetListItem(dialId);
    SetList(false);
    break;
  case kCheckBox:
    DoMsgChangeCheck(dialId);
    break;
  case kList:
    SetList(false);
    break;
  default:
    break;
  }
}

void CDlgSettingFloor::DoMsgInit(short dialId)
{
  UpdateData(dialId, false);
  DGHideItem(dialId, kCheckBox);
  SetHeaderList(dialId);
  SetListItem(dialId);
  SetList(false);
}

// Highest story first: the last floor record is row 1.
void CDlgSettingFloor::SetListItem(short dialId)
{
  const short count = static_cast<short>(m_FloorParamArray.size());
  SetRowCount(dialId, count);
  for (short row = 1; row <= count; ++row) {
    CFloorParam& floor = m_FloorParamArray[static_cast<std::size_t>(count - row)];
    SetListRow(dialId, row, static_cast<DGUserData>(reinterpret_cast<std::intptr_t>(&floor)), floor.m_FloorName);
  }
}

CFloorParam* CDlgSettingFloor::FloorOfRow(short row) const
{
  return reinterpret_cast<CFloorParam*>(static_cast<std::intptr_t>(RowUserData(row)));
}

bool CDlgSettingFloor::IsRowChecked(short row) const
{
  const CFloorParam* floor = FloorOfRow(row);
  return floor != nullptr && floor->IsCalc(&m_FloorParamArray, m_pParam->m_CurTreeCode);
}

void CDlgSettingFloor::SetRowChecked(short row, bool on)
{
  CFloorParam* floor = FloorOfRow(row);
  if (floor == nullptr)
    return;
  if (m_bFloorMode)
    floor->m_bCalc = on;
  else if (on)
    floor->m_CalcExcludeCodes.Erase(m_pParam->m_CurTreeCode);
  else
    floor->m_CalcExcludeCodes.Add(m_pParam->m_CurTreeCode);
}
