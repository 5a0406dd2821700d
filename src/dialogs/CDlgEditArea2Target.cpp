#include "CDlgEditArea2Target.h"

#include "CArea2Object.h"

GS::UniString CDlgEditArea2Target::RowName(short index) const
{
  const CArea2Object* element = m_WorkArray.at(index).m_pArea2;
  return element != nullptr ? element->m_Name.m_DefaultName : GS::UniString();
}

DGUserData CDlgEditArea2Target::RowUserData(short index)
{
  return reinterpret_cast<DGUserData>(&m_WorkArray.at(index));
}
