#include "CDlgEditArea4.h"

#include "CPlenimetraParam.h"
#include "DlgRoundPopUps.h"

using pln::host::DGItemKind;

pln::host::DGDialogDef CDlgEditArea4::Layout()
{
  return {.width = 360,
          .height = 190,
          .items = {{.item = 1, .kind = DGItemKind::Button, .left = 190, .top = 158, .right = 270, .bottom = 180},
                    {.item = 2, .kind = DGItemKind::Button, .left = 274, .top = 158, .right = 354, .bottom = 180},
                    {.item = ITEM_PATTERN_NAME, .kind = DGItemKind::TextEdit, .left = 100, .top = 10, .right = 350},
                    {.item = ITEM_NAME, .kind = DGItemKind::TextEdit, .left = 100, .top = 40, .right = 350},
                    {.item = ITEM_TYPE1, .kind = DGItemKind::PopUp, .left = 100, .top = 70, .right = 220},
                    {.item = ITEM_DIGIT1, .kind = DGItemKind::PopUp, .left = 230, .top = 70, .right = 350},
                    {.item = ITEM_TYPE2, .kind = DGItemKind::PopUp, .left = 100, .top = 100, .right = 220},
                    {.item = ITEM_DIGIT2, .kind = DGItemKind::PopUp, .left = 230, .top = 100, .right = 350},
                    {.item = ITEM_LAYER, .kind = DGItemKind::UserControl, .left = 100, .top = 130, .right = 350}}};
}

CDlgEditArea4::CDlgEditArea4(CPlenimetraParam* param, bool editName, bool editPatternName)
    : CDlgEditAreaCore(ResourceId, param, editName, editPatternName)
{
}

void CDlgEditArea4::DoMsgInit(short dialId)
{
  SetDialogSize(dialId, 0, 0);
  if (IsSeveralItems()) {
    m_RoundTypeItem1 = {CRoundTypeTable::ROUNDTYPE_NONE, DlgRoundPopUps::kKeepDigit};
    m_RoundTypeItem2 = m_RoundTypeItem1;
  }
  FillRoundPopUps(dialId, IsSeveralItems());
  SetUserControlLayer(dialId, ITEM_LAYER);
  UpdateData(dialId, false);
}

bool CDlgEditArea4::UpdateData(short dialId, bool get)
{
  if (get) {
    if (!ReadNames(dialId, GetItemText(dialId, ITEM_NAME), u"小計名を入力してください"))
      return false;
    ReadRounding(dialId);
    return true;
  }
  ShowNamesAndRounding(dialId);
  DGSetItemValLong(dialId, ITEM_LAYER, m_pParam->GetLayer());
  EnableItems(dialId);
  return true;
}

void CDlgEditArea4::DoMsgChange(short dialId, short item, long long /*msgData*/)
{
  if (item == ITEM_TYPE1 || item == ITEM_TYPE2)
    ChangeRoundType(dialId, item, AcceptsType(SelectedType(dialId, item)));
  EnableItems(dialId);
}

bool CDlgEditArea4::AcceptsType(CRoundTypeTable::ROUNDTYPE type) const
{
  if (type == CRoundTypeTable::ROUNDTYPE_DEFAULT)
    return false;
  return type != CRoundTypeTable::ROUNDTYPE_NONE || IsSeveralItems();
}

void CDlgEditArea4::EnableItems(short dialId)
{
  EnableNameItems(dialId);
  if (m_bEditPatternName) {
    DGShowItem(dialId, ITEM_LAYER);
    DGDisableItem(dialId, ITEM_LAYER);
  } else {
    DGHideItem(dialId, ITEM_LAYER);
  }
}

void CDlgEditArea4::ApplyRounding(const CRoundTypeItem& chosen, CRoundTypeItem& node)
{
  if (chosen.m_Type != CRoundTypeTable::ROUNDTYPE_NONE)
    node.m_Type = chosen.m_Type;
  if (chosen.m_Digit >= 0)
    node.m_Digit = chosen.m_Digit;
}
