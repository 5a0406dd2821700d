#include "CarriedInput.h"

#include "CDGDlgCore.h"
#include "GSWriteReport.h"
#include "dg_manager.h"

CarriedInput::CarriedInput(Kind kind, short item) : m_Kind(kind), m_Item(item) {}

CarriedInput CarriedInput::Text(short dialId, short item)
{
  CarriedInput input(Kind::Text, item);
  input.m_Text = DGGetItemText(dialId, item);
  return input;
}

CarriedInput CarriedInput::Value(short dialId, short item)
{
  CarriedInput input(Kind::Value, item);
  input.m_Value = DGGetItemValLong(dialId, item);
  return input;
}

CarriedInput CarriedInput::PopUp(short dialId, short item)
{
  CarriedInput input(Kind::PopUp, item);
  input.m_Value = CDGDlgCore::PopUpSelectedUserData(dialId, item);
  if (const short entry = DGPopUpGetSelected(dialId, item); entry > 0)
    input.m_Text = DGPopUpGetItemText(dialId, item, entry);
  return input;
}

bool CarriedInput::PutBack(short dialId) const
{
  switch (m_Kind) {
  case Kind::None:
    return true;
  case Kind::Text:
    DGSetItemText(dialId, m_Item, m_Text);
    return true;
  case Kind::Value:
    DGSetItemValLong(dialId, m_Item, static_cast<Int32>(m_Value));
    return true;
  case Kind::PopUp:
    break;
  }
  // The same entry: its user data names the choice, its text that the
  // refilled pop-up still means the same by it.
  const short count = DGPopUpGetItemCount(dialId, m_Item);
  for (short entry = 1; entry <= count; ++entry)
    if (static_cast<long long>(DGPopUpGetItemUserData(dialId, m_Item, entry)) == m_Value &&
        DGPopUpGetItemText(dialId, m_Item, entry) == m_Text) {
      DGPopUpSelectItem(dialId, m_Item, entry);
      return true;
    }
  return false;
}

void ReportActionNotCarried(NotCarried why, const GS::UniString& what)
{
  const GS::UniString action =
      what.IsEmpty() ? GS::UniString(u"操作") : GS::UniString(u"「") + what + GS::UniString(u"」");
  if (why == NotCarried::TargetGone)
    GSWriteReport(GS::UniString(u"元に戻した内容に操作した項目がないため、") + action + u"は反映されていません");
  else
    GSWriteReport(GS::UniString(u"元に戻した内容を読み直したため、") + action +
                  u"は反映されていません。表示を確かめて、もう一度操作してください");
}
