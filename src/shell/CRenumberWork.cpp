#include "CRenumberWork.h"

#include "CDlgProgress.h"
#include "host_errors.h"

#include <set>

bool CRenumberWorkItem::IsSamePair(const CArea1Object& figure) const
{
  const CArea1Object& first = *front().m_pObject;
  return first.m_ItemType1 == figure.m_ItemType1 && first.m_ItemType2 == figure.m_ItemType2;
}

void CRenumberWorkItem::Sort()
{
  for (std::size_t i = 0; i < size(); ++i) {
    if (!(*this)[i].m_bSelected)
      continue;
    for (std::size_t j = i + 1; j < size(); ++j)
      if ((*this)[j].m_bSelected && (*this)[i].m_pObject->m_SortIndex > (*this)[j].m_pObject->m_SortIndex)
        std::swap((*this)[i], (*this)[j]);
  }
}

GSErrCode CRenumberWorkItem::SetItemNo(CPlenimetraParam* document, CDlgProgress* progress, int start)
{
  if (progress != nullptr)
    progress->SetRange(static_cast<int>(size()), GS::UniString());
  GSErrCode first = NoError;
  int no = start;
  for (const CRenumberWork& work : *this) {
    if (work.m_bSelected) {
      if (work.m_pObject->m_No != no) {
        work.m_pObject->m_No = no;
        GSErrCode err = work.m_pObject->ChangeParam(document, true);
        if (err == NoError)
          err = work.m_pObject->Save();
        if (first == NoError)
          first = err;
      }
      ++no;
    }
    if (progress != nullptr)
      progress->StepIt();
  }
  return first;
}

bool CRenumberWorkItem::Overlaps(int start) const
{
  std::set<int> held;
  int selected = 0;
  for (const CRenumberWork& work : *this)
    if (work.m_bSelected)
      ++selected;
    else
      held.insert(work.m_pObject->m_No);
  for (int no = start; no < start + selected; ++no)
    if (held.contains(no))
      return true;
  return false;
}

void CRenumberWorkItemArray::Add(const CRenumberWork& work)
{
  for (CRenumberWorkItem& pair : *this)
    if (pair.IsSamePair(*work.m_pObject)) {
      pair.push_back(work);
      return;
    }
  emplace_back(work);
}

void CRenumberWorkItem::AddRenumbered(int start, GS::Array<API_Guid>& guids) const
{
  int no = start;
  for (const CRenumberWork& work : *this)
    if (work.m_bSelected && work.m_pObject->m_No != no++)
      guids.Push(work.m_pObject->m_Element.header.guid);
}
