#include "CDlgAutoAreaRelease.h"

#include "DlgLayout.h"

pln::host::DGDialogDef CDlgAutoAreaRelease::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def;
  def.width = 300;
  def.height = 100;
  def.items = {
      DlgLayout::Item(1, DGItemKind::Button, 200, 65, 90, 25),
      DlgLayout::Item(2, DGItemKind::Button, 100, 65, 90, 25),
      DlgLayout::Item(kItemDeleteFigures, DGItemKind::CheckBox, 20, 30, 260, 18),
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
