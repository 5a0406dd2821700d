#include "CDlgAutoAreaRelease.h"

#include "DialogLayout.h"

pln::host::DGDialogDef CDlgAutoAreaRelease::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def;
  def.width = 300;
  def.height = 100;
  def.items = {
      LayoutItem(1, DGItemKind::Button, 200, 65, 290, 90),
      LayoutItem(2, DGItemKind::Button, 100, 65, 190, 90),
      LayoutItem(kItemDeleteFigures, DGItemKind::CheckBox, 20, 30, 280, 48),
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
