#include "DlgRoundPopUps.h"

#include "CDGDlgCore.h"
#include "CPlenimetraParam.h"

namespace DlgRoundPopUps {

namespace {

bool IsConcrete(CRoundTypeTable::ROUNDTYPE code)
{
  return code == CRoundTypeTable::ROUNDTYPE_HALFUP || code == CRoundTypeTable::ROUNDTYPE_CUT ||
         code == CRoundTypeTable::ROUNDTYPE_UP;
}

bool Offered(CRoundTypeTable::ROUNDTYPE row, CRoundTypeTable::ROUNDTYPE stored)
{
  if (IsConcrete(row))
    return true;
  if (IsConcrete(stored))
    return false;
  // 未定義 is offered only while nothing is chosen yet.
  return row == CRoundTypeTable::ROUNDTYPE_DEFAULT || stored != CRoundTypeTable::ROUNDTYPE_DEFAULT;
}

}  // namespace

void FillTypePopUp(short dialId, short item, const CRoundTypeTableArray& table, CRoundTypeTable::ROUNDTYPE stored)
{
  for (const CRoundTypeTable& row : table) {
    if (Offered(row.m_Code, stored))
      CDGDlgCore::PopUpInsert(dialId, item, row.m_Name, row.m_Code);
  }
}

void FillDigitPopUp(short dialId, short item, bool keepEntry)
{
  if (keepEntry)
    CDGDlgCore::PopUpInsert(dialId, item, GS::UniString(u"未定義"), kKeepDigit);
  for (int d = CPlenimetraParam::GetDigitMin(); d <= CPlenimetraParam::GetDigitMax(); ++d)
    CDGDlgCore::PopUpInsert(dialId, item, GS::UniString(u"小数点第") + GS::UniString::Printf("%d", d) + u"位", d);
}

void SelectIfPresent(short dialId, short item, long long data)
{
  const short entry = CDGDlgCore::PopUpSearchIndex(dialId, item, data);
  if (entry != 0)
    DGPopUpSelectItem(dialId, item, entry);
}

}  // namespace DlgRoundPopUps
