#include "CSelectList.h"

#include "CKelArchiveCore.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

void CSelectList::AddSelect(int index, bool toggle)
{
  if (!toggle) {
    assign(1, index);
    return;
  }
  if (!Delete(index))
    insert(begin(), index);
}

bool CSelectList::IsSelected(int index) const { return std::find(begin(), end(), index) != end(); }

bool CSelectList::Delete(int index)
{
  const auto found = std::find(begin(), end(), index);
  if (found == end())
    return false;
  erase(found);
  return true;
}

int CSelectList::GetSingleSel() const { return empty() ? -1 : front(); }

std::string CSelectList::GetCurSelName2() const
{
  if (empty())
    return std::string();
  if (size() > 1)
    return "**";
  char text[16];
  std::snprintf(text, sizeof(text), "%d", front() + 1);
  return text;
}

void CSelectList::Sort()
{
  std::sort(begin(), end());
}

bool CSelectList::operator==(const CSelectList& other) const
{
  return static_cast<const std::vector<int>&>(*this) == static_cast<const std::vector<int>&>(other);
}

bool CSelectList::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSelectList", 2);
  if (ar.IsLoading())
    return Load(ar);
  ar << static_cast<int>(size());
  for (int index : *this)
    ar << index;
  return ar.GetError() == 0;
}

bool CSelectList::Load(CKelArchiveCore& ar)
{
  int count = -1;
  ar >> count;
  if (ar.GetError() != 0)
    return false;
  // Four bytes per index must still be there before anything is allocated.
  if (count < 0 || static_cast<std::uint64_t>(count) * sizeof(int) > ar.RemainingBytes()) {
    ar.SetError();
    return false;
  }
  std::vector<int> indices(static_cast<std::size_t>(count));
  for (int& index : indices)
    ar >> index;
  if (ar.GetError() != 0)
    return false;
  static_cast<std::vector<int>&>(*this) = std::move(indices);
  return true;
}
