#include "CDlgCreateTreeItem.h"

#include "CPlenimetraParam.h"
#include "DlgRoundPopUps.h"
#include "DocRecord.h"
#include "GSWriteReport.h"
#include "host_assert.h"

#include <algorithm>

using pln::host::DGItemKind;

pln::host::DGDialogDef CDlgCreateTreeItem::Layout()
{
  return {.width = 320,
          .height = 200,
          .items = {{.item = 1, .kind = DGItemKind::Button, .left = 150, .top = 168, .right = 230, .bottom = 190},
                    {.item = 2, .kind = DGItemKind::Button, .left = 234, .top = 168, .right = 314, .bottom = 190},
                    {.item = ITEM_ELEMENT, .kind = DGItemKind::RadioButton, .left = 10, .top = 10, .right = 150},
                    {.item = ITEM_FOLDER, .kind = DGItemKind::RadioButton, .left = 160, .top = 10, .right = 300},
                    {.item = ITEM_NAME, .kind = DGItemKind::TextEdit, .left = 80, .top = 40, .right = 310, .bottom = 62},
                    {.item = ITEM_TYPE1, .kind = DGItemKind::PopUp, .left = 80, .top = 80, .right = 190},
                    {.item = ITEM_DIGIT1, .kind = DGItemKind::PopUp, .left = 200, .top = 80, .right = 310},
                    {.item = ITEM_TYPE2, .kind = DGItemKind::PopUp, .left = 80, .top = 120, .right = 190},
                    {.item = ITEM_DIGIT2, .kind = DGItemKind::PopUp, .left = 200, .top = 120, .right = 310}}};
}

CDlgCreateTreeItem::CDlgCreateTreeItem(CPlenimetraParam* param) : CDGDlgCore(ResourceId), m_pParam(param)
{
  PLN_ASSERT(param != nullptr);
}

void CDlgCreateTreeItem::DoMsgInit(short dialId)
{
  SetDialogSize(dialId, 0, 0);
  FillPopUps(dialId);
  UpdateData(dialId, false);
}

// デフォルト is left out: a new node has no own item for it to fall back on.
void CDlgCreateTreeItem::FillPopUps(short dialId)
{
  for (short item : {ITEM_TYPE1, ITEM_TYPE2}) {
    for (const CRoundTypeTable& row : m_pParam->m_RoundTypeTable) {
      if (row.m_Code != CRoundTypeTable::ROUNDTYPE_DEFAULT)
        PopUpInsert(dialId, item, row.m_Name, row.m_Code);
    }
  }
  DlgRoundPopUps::FillDigitPopUp(dialId, ITEM_DIGIT1, false);
  DlgRoundPopUps::FillDigitPopUp(dialId, ITEM_DIGIT2, false);
}

bool CDlgCreateTreeItem::UpdateData(short dialId, bool save)
{
  if (save) {
    ReadControls(dialId);
    if (const GS::UniString message = Refusal(); !message.IsEmpty()) {
      GSWriteReport(message);
      return false;
    }
    return true;
  }
  SetItemText(dialId, ITEM_NAME, m_Name);
  PopUpSelectItemUserData(dialId, ITEM_TYPE1, m_RoundTypeItem1.m_Type);
  PopUpSelectItemUserData(dialId, ITEM_DIGIT1, m_RoundTypeItem1.m_Digit);
  PopUpSelectItemUserData(dialId, ITEM_TYPE2, m_RoundTypeItem2.m_Type);
  PopUpSelectItemUserData(dialId, ITEM_DIGIT2, m_RoundTypeItem2.m_Digit);
  return true;
}

void CDlgCreateTreeItem::ReadControls(short dialId)
{
  m_Name = GetItemText(dialId, ITEM_NAME);
  m_RoundTypeItem1.m_Type = static_cast<CRoundTypeTable::ROUNDTYPE>(PopUpSelectedUserData(dialId, ITEM_TYPE1));
  m_RoundTypeItem2.m_Type = static_cast<CRoundTypeTable::ROUNDTYPE>(PopUpSelectedUserData(dialId, ITEM_TYPE2));
  m_RoundTypeItem1.m_Digit = static_cast<int>(PopUpSelectedUserData(dialId, ITEM_DIGIT1));
  m_RoundTypeItem2.m_Digit = static_cast<int>(PopUpSelectedUserData(dialId, ITEM_DIGIT2));
  m_Kind = KIND_NONE;
  if (DGGetItemValLong(dialId, ITEM_ELEMENT) != 0)
    m_Kind = KIND_ELEMENT;
  if (DGGetItemValLong(dialId, ITEM_FOLDER) != 0)
    m_Kind = KIND_FOLDER;
}

GS::UniString CDlgCreateTreeItem::Refusal() const
{
  if (m_Kind == KIND_NONE)
    return u"タイプを選択してください";
  if (m_RoundTypeItem1.m_Type == CRoundTypeTable::ROUNDTYPE_NONE ||
      m_RoundTypeItem2.m_Type == CRoundTypeTable::ROUNDTYPE_NONE)
    return u"端数処理を選択してください";
  if (m_Name.IsEmpty())
    return u"名前を入力してください";
  if (const GS::UniString unheld = DocText::FirstUnheld(m_Name); !unheld.IsEmpty())
    return DocText::UnheldMessage(unheld);
  if (IsExist())
    return u"この名前は既に使用されています。";
  return GS::UniString();
}

bool CDlgCreateTreeItem::IsExist() const
{
  return std::find(m_UsedNames.begin(), m_UsedNames.end(), m_Name) != m_UsedNames.end();
}
