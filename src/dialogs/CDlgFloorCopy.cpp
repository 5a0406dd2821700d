#include "CDlgFloorCopy.h"

#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "DlgLayout.h"

namespace {

enum : short { kOk = 1, kCancel = 2, kSource = 4, kCheckBox = 6, kList = 7 };
constexpr short kNameWidth = 200;
constexpr short kNameJustification = 0;

}  // namespace

pln::host::DGDialogDef CDlgFloorCopy::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def;
  def.width = 300;
  def.height = 320;
  def.items = {
      DlgLayout::Item(kOk, DGItemKind::Button, 130, 290, 80, 20),
      DlgLayout::Item(kCancel, DGItemKind::Button, 215, 290, 80, 20),
      DlgLayout::Item(3, DGItemKind::StaticText, 5, 8, 75, 18),
      DlgLayout::Item(kSource, DGItemKind::PopUp, 85, 5, 210, 22),
      DlgLayout::Item(5, DGItemKind::StaticText, 5, 32, 290, 18),
      DlgLayout::Item(kCheckBox, DGItemKind::CheckBox, 0, 0, 20, 18),
      DlgLayout::Item(kList, DGItemKind::ListBox, 5, 55, 290, 225),
  };
  return def;
}

CDlgFloorCopy::CDlgFloorCopy(CPlenimetraParam* param)
    : CDlgFloorCheckList(ResourceId, param, kList, kCheckBox, kNameWidth, kNameJustification),
      m_SrcFloor(CGSUtil::GetActStory()), m_bCopyFloor(param->m_FloorParamArray.size(), false),
      m_pFloorParamArray(&param->m_FloorParamArray)
{
}

bool CDlgFloorCopy::UpdateData(short dialId, bool get)
{
  if (!get) {
    PopUpSelectItemUserData(dialId, kSource, m_SrcFloor);
    EnableItem(dialId);
  }
  return true;
}

void CDlgFloorCopy::EnableItem(short dialId) { DGDisableItem(dialId, kSource); }

short CDlgFloorCopy::DoMsgClick(short dialId, short item, long long /*msgData*/)
{
  if (item == kOk) {
    UpdateData(dialId, true);
    return kOk;
  }
  return item == kCancel ? kCancel : 0;
}

void CDlgFloorCopy::DoMsgChange(short dialId, short item, long long /*msgData*/)
{
  if (item == kCheckBox)
    DoMsgChangeCheck(dialId);
  else if (item == kList)
    SetList(false);
}

void CDlgFloorCopy::DoMsgInit(short dialId)
{
  DGPopUpDeleteItem(dialId, kSource, DG_ALL_ITEMS);
  for (const CFloorParam& floor : *m_pFloorParamArray)
    if (floor.IsCalc(m_pFloorParamArray, m_pParam->m_CurTreeCode))
      PopUpInsert(dialId, kSource, floor.m_FloorName, floor.m_FloorNo);
  SetHeaderList(dialId);
  SetList(false);
  UpdateData(dialId, false);
  SetListItem(dialId);
  DGHideItem(dialId, kCheckBox);
}

// Highest story first. A row carries the floor's position in the list, not
// a story difference: a list read without some of its stories has gaps.
void CDlgFloorCopy::SetListItem(short dialId)
{
  const short source = static_cast<short>(PopUpSelectedUserData(dialId, kSource));
  std::vector<int> positions;
  for (int i = static_cast<int>(m_pFloorParamArray->size()) - 1; i >= 0; --i) {
    const CFloorParam& floor = (*m_pFloorParamArray)[static_cast<std::size_t>(i)];
    if (floor.IsCalc(m_pFloorParamArray, m_pParam->m_CurTreeCode) && floor.m_FloorNo != source)
      positions.push_back(i);
  }
  SetRowCount(dialId, static_cast<short>(positions.size()));
  for (std::size_t r = 0; r < positions.size(); ++r) {
    const CFloorParam& floor = (*m_pFloorParamArray)[static_cast<std::size_t>(positions[r])];
    // Position + 1, so that no row's user data is the empty 0.
    SetListRow(dialId, static_cast<short>(r + 1), positions[r] + 1, floor.m_FloorName);
  }
}

int CDlgFloorCopy::PositionOfRow(short row) const
{
  const DGUserData data = RowUserData(row);
  if (data < 1 || data > static_cast<DGUserData>(m_bCopyFloor.size()))
    return -1;
  return static_cast<int>(data - 1);
}

bool CDlgFloorCopy::IsRowChecked(short row) const
{
  const int position = PositionOfRow(row);
  return position >= 0 && m_bCopyFloor[static_cast<std::size_t>(position)];
}

void CDlgFloorCopy::SetRowChecked(short row, bool on)
{
  if (const int position = PositionOfRow(row); position >= 0)
    m_bCopyFloor[static_cast<std::size_t>(position)] = on;
}

bool CDlgFloorCopyChoice::DoModal(CPlenimetraParam* param, short& source, std::vector<bool>& targets)
{
  CDlgFloorCopy dialog(param);
  if (dialog.DoModal() != 1)
    return false;
  source = dialog.m_SrcFloor;
  targets = dialog.m_bCopyFloor;
  return true;
}
