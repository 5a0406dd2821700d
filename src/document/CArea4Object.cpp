// Subtotal and total folders: areas summed from the children in the working
// tree, formulas built from them, the manual texts per floor, and the
// stored form inside the project record.

#include "CArea4Object.h"

#include "CArchive.h"
#include "CAreaTree.h"
#include "CPlenimetraParam.h"
#include "DocRecord.h"
#include "host_assert.h"

#include <algorithm>

namespace {

// A term counts its operator and two characters for mark and number,
// whatever their real length.
constexpr int kTermWidth = 2;
constexpr long long kMinEquationBytes = 2 + 3;  // a short floor and an empty text

// The fewest bytes a folder of the record version takes: the base record,
// an empty count of manual texts and the list type of its versions.
long long MinFolderBytes(int version)
{
  long long bytes = CAreaObject::MinStoredBytes(version);
  if (version >= DocVersion::kFolderEquations)
    bytes += 4;
  if (version >= DocVersion::kFolderListTypeFrom && version <= DocVersion::kListTypeUntil)
    bytes += 4;
  return bytes;
}

// The signed sum of the children's rounded areas. It follows the tree it is
// given, so a code repeated somewhere in a stored tree cannot lead a folder
// back to itself.
long long SumChildren(const CPlenimetraParam* param, const CAreaTree* node, short floor)
{
  if (node == nullptr)
    return 0;
  long long sum = 0;
  for (const CAreaTree& child : node->m_Child) {
    const CAreaObject* object = param->FindAreaObject(child.m_AreaCode);
    if (object == nullptr)
      continue;
    if (child.m_Operator == COperatorTable::OPERATOR_PLUS) {
      sum += object->GetRoundArea(param, &child, floor);
    } else if (child.m_Operator == COperatorTable::OPERATOR_MINUS) {
      sum -= object->GetRoundArea(param, &child, floor);
    }
  }
  return sum;
}

}  // namespace

// ---- manual equations ------------------------------------------------------

void CAreaObjectManualEquation::Serialize(CArchive& ar)
{
  ar.Serialize(m_Floor);
  DocText::Serialize(ar, m_Equation, DocVersion::kHostStringNames);
}

void CAreaObjectManualEquationArray::Add(short floor, const GS::UniString& text)
{
  for (CAreaObjectManualEquation& entry : *this) {
    if (entry.m_Floor == floor) {
      entry.m_Equation = text;
      return;
    }
  }
  emplace_back(floor, text);
}

void CAreaObjectManualEquationArray::Erase(short floor)
{
  auto it = std::find_if(begin(), end(), [floor](const CAreaObjectManualEquation& e) { return e.m_Floor == floor; });
  if (it != end())
    erase(it);
}

const CAreaObjectManualEquation* CAreaObjectManualEquationArray::Search(short floor) const
{
  auto it = std::find_if(begin(), end(), [floor](const CAreaObjectManualEquation& e) { return e.m_Floor == floor; });
  return it != end() ? &*it : nullptr;
}

void CAreaObjectManualEquationArray::Serialize(CArchive& ar)
{
  int count = static_cast<int>(size());
  ar.Serialize(count);
  if (ar.m_bOpen) {
    if (!ar.CanHold(count, kMinEquationBytes))
      throw CArchive::kPastEnd;
    assign(static_cast<std::size_t>(count), CAreaObjectManualEquation());
  }
  for (CAreaObjectManualEquation& entry : *this)
    entry.Serialize(ar);
}

// ---- CArea4Object ----------------------------------------------------------

CArea4Object::CArea4Object(CPlenimetraParam* param, CAreaNameArray names, int code,
                           CArea2ListTypeTable::LISTTYPE listType, CItemType1Table::ITEMTYPE mark,
                           CItemType2Table::ITEMTYPE numbering, int itemNo, int sortIndex)
    : CAreaObject(param, std::move(names), code, listType, mark, numbering, itemNo, sortIndex)
{
}

CAreaTree* CArea4Object::GetOwnNode(CPlenimetraParam* param) const
{
  return param->m_AreaTree2.Search(m_Code);
}

const CAreaTree* CArea4Object::GetOwnNode(const CPlenimetraParam* param) const
{
  return param->m_AreaTree2.Search(m_Code);
}

long long CArea4Object::GetOrgArea(const CPlenimetraParam* param, short floor) const
{
  return SumChildren(param, GetOwnNode(param), floor);
}

long long CArea4Object::GetRoundArea(const CPlenimetraParam* param, const CAreaTree* node, short floor) const
{
  PLN_ASSERT(node != nullptr && node->m_AreaCode == m_Code);
  return param->GetRoundArea3(SumChildren(param, node, floor), m_RoundType, &node->m_RoundTypeFloor);
}

GS::UniString CArea4Object::GetItemNoStr(const CPlenimetraParam* param) const
{
  return param->m_ItemType2Table.GetItemNoStr(m_ItemType2, m_No);
}

GS::UniString CArea4Object::GetEquation(CPlenimetraParam* param, short floor, bool breakAll, char crMark)
{
  CAreaTree* node = GetOwnNode(param);
  if (node == nullptr)
    return {};
  if (const CAreaObjectManualEquation* manual = m_ManualEquationArray.Search(floor))
    return manual->m_Equation;
  if (m_AutoCr)
    SetAutoCr(param, node->m_Child);
  GS::UniString text;
  for (std::size_t i = 0; i < node->m_Child.size(); ++i) {
    const CAreaTree& child = node->m_Child[i];
    CAreaObject* object = param->FindAreaObject(child.m_AreaCode);
    if (object == nullptr)
      continue;
    if (!text.IsEmpty()) {
      text += node->m_Child[i - 1].m_CrMark.GetStr(breakAll) + child.GetOperatorStr(param);
    } else if (child.m_Operator != COperatorTable::OPERATOR_PLUS) {
      text += child.GetOperatorStr(param);
    }
    text += object->GetMarkStr(param) + object->GetItemNoStr(param);
    if (crMark > 0)
      text += static_cast<char16_t>(crMark);
  }
  return text;
}

GS::UniString CArea4Object::GetOrgAreaStr(const CPlenimetraParam* param, short floor) const
{
  const int digits = CRoundTypeItem::DigitOf(param->GetArea2ListDefaultRoundType(), CRoundTypeParam::kDefaultArea2List);
  return param->GetAreaStr(GetOrgArea(param, floor), digits);
}

GS::UniString CArea4Object::GetRoundAreaStr(const CPlenimetraParam* param, const CAreaTree* node, short floor) const
{
  const GS::UniString text = param->GetAreaStr(GetRoundArea(param, node, floor), node->m_RoundTypeFloor.m_Digit);
  return IsDefaultRoundType(param, node) ? text : GS::UniString(u"*") + text;
}

GS::UniString CArea4Object::GetRoundTypeStr(const CPlenimetraParam* param) const
{
  return param->m_RoundTypeTable.GetRoundTypeStr(m_RoundType);
}

bool CArea4Object::IsDefaultRoundType(const CPlenimetraParam*, const CAreaTree* node) const
{
  PLN_ASSERT(node != nullptr);
  return m_RoundType == CRoundTypeTable::ROUNDTYPE_DEFAULT || m_RoundType == node->m_RoundTypeFloor.m_Type;
}

void CArea4Object::SetAutoCr(const CPlenimetraParam* param, std::vector<CAreaTree>& children, bool)
{
  const int limit = param->m_EnvParam.m_ListAttr3.m_ColWidth2;
  int running = 0;
  for (std::size_t i = 0; i < children.size(); ++i) {
    int width = kTermWidth;
    if (i > 0 || children[i].m_Operator != COperatorTable::OPERATOR_PLUS) {
      width += static_cast<int>(children[i].GetOperatorStr(param).GetLength());
    }
    if (i > 0) {
      CCrMark& previous = children[i - 1].m_CrMark;
      previous.m_bCr = running + width > limit;
      if (previous.m_bCr)
        running = kTermWidth;
    }
    running += width;
  }
}

void CArea4Object::Duplicate(const CAreaObject* source)
{
  CAreaObject::Duplicate(source);
}

void CArea4Object::Serialize(CArchive& ar)
{
  if (!ar.m_bOpen) {
    CAreaObject::Serialize(ar);
    m_ManualEquationArray.Serialize(ar);
    return;
  }
  CAreaObject::Serialize(ar);
  if (!DocCode::IsValidCode(m_Code))
    throw CArchive::kPastEnd;
  const int version = ar.GetVersion();
  if (version >= DocVersion::kFolderEquations)
    m_ManualEquationArray.Serialize(ar);
  if (version >= DocVersion::kFolderListTypeFrom && version <= DocVersion::kListTypeUntil) {
    int listType = 0;
    ar >> listType;
    m_ListType = static_cast<CArea2ListTypeTable::LISTTYPE>(listType);
  }
}

// ---- CArea4ObjectArray -----------------------------------------------------

CArea4Object* CArea4ObjectArray::Search(int code)
{
  auto it = std::find_if(begin(), end(), [code](const CArea4Object& f) { return f.m_Code == code; });
  return it != end() ? &*it : nullptr;
}

const CArea4Object* CArea4ObjectArray::Search(int code) const
{
  return const_cast<CArea4ObjectArray*>(this)->Search(code);
}

bool CArea4ObjectArray::operator==(const CArea4ObjectArray& other) const
{
  return std::equal(begin(), end(), other.begin(), other.end(), [](const CArea4Object& a, const CArea4Object& b) {
    return static_cast<const CAreaObject&>(a) == static_cast<const CAreaObject&>(b);
  });
}

void CArea4ObjectArray::Serialize(CArchive& ar, CPlenimetraParam* param)
{
  if (!ar.m_bOpen) {
    ar << static_cast<int>(size());
    for (CArea4Object& folder : *this)
      folder.Serialize(ar);
    return;
  }
  if (ar.GetVersion() < DocVersion::kObjectLists)
    return;
  int count = 0;
  ar >> count;
  if (!ar.CanHold(count, MinFolderBytes(ar.GetVersion())))
    throw CArchive::kPastEnd;
  for (int i = 0; i < count; ++i) {
    // The folder is in the list before it is read, so it stays with what
    // it read when the read throws; the rest of the data cannot be trusted
    // after a failure.
    emplace_back(param, CAreaNameArray(), 0, CArea2ListTypeTable::LISTTYPE_FORMULA, CItemType1Table::ITEMTYPE_NOMARK,
                 CItemType2Table::ITEMTYPE_ROMAN, -1, -1);
    back().Serialize(ar);
  }
}
