#include "CDlgRenumbering.h"

#include "CPlenimetraParam.h"
#include "DlgItemNoPreview.h"
#include "DlgLayout.h"

#include <algorithm>

namespace {

constexpr int kLowestStartNo = 1;

}  // namespace

CDlgRenumbering::CDlgRenumbering(CPlenimetraParam* param, int startNo)
    : CDGDlgCore(ResourceId), m_StartNo(startNo), m_pParam(param)
{
}

pln::host::DGDialogDef CDlgRenumbering::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def;
  def.width = 260;
  def.height = 110;
  def.items = {
      DlgLayout::Item(1, DGItemKind::Button, 160, 75, 90, 25),
      DlgLayout::Item(2, DGItemKind::Button, 60, 75, 90, 25),
      DlgLayout::Item(kItemStartNo, DGItemKind::LongEdit, 110, 15, 70, 22),
      DlgLayout::Item(kItemPreview, DGItemKind::StaticText, 110, 45, 140, 20),
  };
  return def;
}

void CDlgRenumbering::DoMsgInit(short dialId)
{
  SetDialogSize(dialId, 0, 0);
  UpdateData(dialId, false);
}

bool CDlgRenumbering::UpdateData(short dialId, bool get)
{
  if (get) {
    m_StartNo = ReadStartNo(dialId);
    return true;
  }
  DGSetItemValLong(dialId, kItemStartNo, std::max(m_StartNo, kLowestStartNo));
  ShowNo(dialId);
  return true;
}

int CDlgRenumbering::ReadStartNo(short dialId)
{
  const int value = DGGetItemValLong(dialId, kItemStartNo);
  if (value >= kLowestStartNo)
    return value;
  DGSetItemValLong(dialId, kItemStartNo, kLowestStartNo);
  return kLowestStartNo;
}

void CDlgRenumbering::ShowNo(short dialId)
{
  const int index = ReadStartNo(dialId) - 1;
  DGSetItemText(dialId, kItemPreview, DlgItemNoPreview(*m_pParam, m_pParam->m_CurItemType2, index));
}

void CDlgRenumbering::DoMsgChange(short dialId, short item, long long /*msgData*/)
{
  if (item == kItemStartNo)
    ShowNo(dialId);
}
