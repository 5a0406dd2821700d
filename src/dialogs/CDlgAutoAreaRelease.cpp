#include "CDlgAutoAreaRelease.h"

#include "DlgLayoutItem.h"

pln::host::DGDialogDef CDlgAutoAreaRelease::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def;
  def.width = 300;
  def.height = 100;
  def.items = {
      DlgLayoutItem(1, DGItemKind::Button, 200, 65, 290, 90),
      DlgLayoutItem(2, DGItemKind::Button, 100, 65, 190, 90),
      DlgLayoutItem(kItemDeleteFigures, DGItemKind::CheckBox, 20, 30, 280, 48),
  };
  return def;
}

void CDlgAutoAreaRelease::DoMsgInit(short dialId)
{
  SetDialogSize(dialId, 0, 0);
  UpdateData(dialId, false);
}

bool CDlgAutoAreaRelease::UpdateData(short dialId, bool get)
{
  if (get)
    m_bDeleteFigures = DGGetItemValLong(dialId, kItemDeleteFigures) != 0;
  else
    DGSetItemValLong(dialId, kItemDeleteFigures, m_bDeleteFigures ? 1 : 0);
  return true;
}
