#include "CDlgEditTreeShowItem.h"

using pln::host::DGItemKind;

pln::host::DGDialogDef CDlgEditTreeShowItem::Layout()
{
  return {.width = 240,
          .height = 130,
          .items = {{.item = 1, .kind = DGItemKind::Button, .left = 70, .top = 98, .right = 150, .bottom = 120},
                    {.item = 2, .kind = DGItemKind::Button, .left = 154, .top = 98, .right = 234, .bottom = 120},
                    {.item = ITEM_FLOOR_AREA, .kind = DGItemKind::CheckBox, .left = 10, .top = 10, .right = 230},
                    {.item = ITEM_TOTAL_AREA, .kind = DGItemKind::CheckBox, .left = 10, .top = 36, .right = 230},
                    {.item = ITEM_MARK, .kind = DGItemKind::CheckBox, .left = 10, .top = 62, .right = 230}}};
}

void CDlgEditTreeShowItem::DoMsgInit(short dialId)
{
  SetDialogSize(dialId, 0, 0);
  UpdateData(dialId, false);
}

bool CDlgEditTreeShowItem::UpdateData(short dialId, bool get)
{
  struct Box {
    short item;
    bool& flag;
  };
  for (const Box& box : {Box{ITEM_FLOOR_AREA, m_bShowFloorArea}, Box{ITEM_TOTAL_AREA, m_bShowTotalArea},
                         Box{ITEM_MARK, m_bShowMark}}) {
    if (get)
      box.flag = DGGetItemValLong(dialId, box.item) != 0;
    else
      DGSetItemValLong(dialId, box.item, box.flag ? 1 : 0);
  }
  return true;
}
