#include "CAreaObject.h"

#include "CArchive.h"
#include "CAreaTree.h"
#include "DocRecord.h"
#include "CPlenimetraParam.h"

#include <algorithm>

namespace {

// Smallest stored entry: a short floor and an empty text (length and NUL).
constexpr long long kMinNameBytes = 2 + 3;

}  // namespace

// ---- names -----------------------------------------------------------------

void CAreaName::Serialize(CArchive& ar)
{
  ar.Serialize(m_Floor);
  DocText::Serialize(ar, m_Name, DocVersion::kHostStringNames);
}

const GS::UniString& CAreaNameArray::GetName(short floor) const
{
  for (const CAreaName& name : *this) {
    if (name.m_Floor == floor)
      return name.m_Name;
  }
  return m_DefaultName;
}

void CAreaNameArray::SetName2(short floor, const GS::UniString& name)
{
  if (name == m_DefaultName) {
    Erase(floor);
    return;
  }
  for (CAreaName& entry : *this) {
    if (entry.m_Floor == floor) {
      entry.m_Name = name;
      return;
    }
  }
  emplace_back(name, floor);
}

void CAreaNameArray::Erase(short floor)
{
  auto it = std::find_if(begin(), end(), [floor](const CAreaName& name) { return name.m_Floor == floor; });
  if (it != end())
    erase(it);
}

bool CAreaNameArray::operator==(const CAreaNameArray& other) const
{
  return m_DefaultName == other.m_DefaultName &&
         static_cast<const std::vector<CAreaName>&>(*this) == static_cast<const std::vector<CAreaName>&>(other);
}

void CAreaNameArray::Serialize(CArchive& ar)
{
  DocText::Serialize(ar, m_DefaultName, DocVersion::kHostStringNames);
  int count = static_cast<int>(size());
  ar.Serialize(count);
  if (ar.m_bOpen) {
    if (!ar.CanHold(count, kMinNameBytes))
      throw CArchive::kPastEnd;
    resize(static_cast<std::size_t>(count));
  }
  for (CAreaName& name : *this)
    name.Serialize(ar);
}

void CGuidArray::Add(const GS::Guid& guid)
{
  if (std::find(begin(), end(), guid) == end())
    push_back(guid);
}

// ---- CAreaObject -----------------------------------------------------------

CAreaObject::CAreaObject(CPlenimetraParam*, CAreaNameArray names, int code, CArea2ListTypeTable::LISTTYPE listType,
                         CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering, int itemNo, int sortIndex)
    : m_ItemType1(mark), m_ItemType2(numbering), m_Name(std::move(names)), m_SortIndex(sortIndex), m_No(itemNo),
      m_Code(code), m_ListType(listType)
{
}

void CAreaObject::Duplicate(const CAreaObject* source)
{
  const int code = m_Code;
  *this = *source;
  m_Code = code;
}

bool CAreaObject::operator==(const CAreaObject& other) const
{
  return m_ItemType1 == other.m_ItemType1 && m_ItemType2 == other.m_ItemType2 && m_Name == other.m_Name &&
         m_RoundType == other.m_RoundType && m_SortIndex == other.m_SortIndex && m_No == other.m_No &&
         m_Code == other.m_Code && m_AutoCr == other.m_AutoCr && m_ListType == other.m_ListType &&
         m_ColorPen == other.m_ColorPen;
}

GS::UniString CAreaObject::GetMarkStr(const CPlenimetraParam* param) const
{
  return param->m_ItemType1Table.GetPrintedMarkStr(m_ItemType1);
}

bool CAreaObject::IsNull(const CPlenimetraParam* param, short floor) const
{
  const CAreaTree* node = param->m_AreaTree2.Search(m_Code);
  if (node == nullptr)
    return false;
  // A node whose object is gone has no area either.
  const CAreaObject* object = param->FindAreaObject(node->m_AreaCode);
  return object == nullptr || object->GetOrgArea(param, floor) == 0;
}

long long CAreaObject::MinStoredBytes(int version)
{
  constexpr long long kInt = 4;
  constexpr long long kEmptyText = 2 + 1;
  long long bytes = kInt + kInt;  // mark and numbering
  bytes += version < DocVersion::kNameArray ? kEmptyText : kEmptyText + kInt;
  bytes += kInt;  // rounding
  if (version != DocVersion::kObjectSortIndex - 1)
    bytes += kInt;  // sort index, or the dropped int of the oldest records
  bytes += kInt + kInt;  // number and code
  if (version >= DocVersion::kObjectAutoCr)
    bytes += 1;
  if (version >= DocVersion::kObjectPenAndListType)
    bytes += 2 + kInt;
  return bytes;
}

void CAreaObject::Serialize(CArchive& ar)
{
  if (!ar.m_bOpen) {
    ar << static_cast<int>(m_ItemType1) << static_cast<int>(m_ItemType2);
    m_Name.Serialize(ar);
    ar << static_cast<int>(m_RoundType) << m_SortIndex << m_No << m_Code << m_AutoCr << m_ColorPen
       << static_cast<int>(m_ListType);
    return;
  }
  const int version = ar.GetVersion();
  int mark = 0;
  int numbering = 0;
  ar >> mark >> numbering;
  m_ItemType1 = static_cast<CItemType1Table::ITEMTYPE>(mark);
  m_ItemType2 = static_cast<CItemType2Table::ITEMTYPE>(numbering);
  if (version < DocVersion::kNameArray) {
    DocText::ReadOld(ar, m_Name.m_DefaultName);
  } else {
    m_Name.Serialize(ar);
  }
  int roundType = 0;
  ar >> roundType;
  m_RoundType = static_cast<CRoundTypeTable::ROUNDTYPE>(roundType);
  if (version >= DocVersion::kObjectSortIndex) {
    ar >> m_SortIndex;
  } else if (version < DocVersion::kObjectSortIndex - 1) {
    int dropped = 0;  // a field of the oldest records that nothing reads
    ar >> dropped;
  }
  ar >> m_No >> m_Code;
  if (version >= DocVersion::kObjectAutoCr)
    ar >> m_AutoCr;
  if (version >= DocVersion::kObjectPenAndListType) {
    int listType = 0;
    ar >> m_ColorPen >> listType;
    m_ListType = static_cast<CArea2ListTypeTable::LISTTYPE>(listType);
  }
}
