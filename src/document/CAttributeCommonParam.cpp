#include "CAttributeCommonParam.h"

CAttributeCommonParam::CAttributeCommonParam(CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering)
    : m_ItemType1(mark), m_ItemType2(numbering)
{
}

CAttributeCommonParam* CAttributeCommonParamArray::Search(CItemType1Table::ITEMTYPE mark,
                                                          CItemType2Table::ITEMTYPE numbering)
{
  for (CAttributeCommonParam& row : *this)
    if (row.m_ItemType1 == mark && row.m_ItemType2 == numbering)
      return &row;
  return &emplace_back(mark, numbering);
}
