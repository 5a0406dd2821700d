// Calculation elements: entries, floor records, areas, formulas and texts.
// The stored form is in CArea2ObjectRecord.cpp.

#include "CArea2Object.h"

#include "CArea1Object.h"
#include "CAreaTree.h"
#include "CAutoAreaParam.h"
#include "CPlenimetraParam.h"
#include "host_assert.h"

#include <algorithm>
#include <utility>

namespace {

// A leading plus is not written, so the first adding entry counts its two
// characters of mark and number alone.
constexpr int kTermWidth = 2;

GS::UniString Starred(bool isDefault, const GS::UniString& text)
{
  return isDefault ? text : GS::UniString(u"*") + text;
}

}  // namespace

// ---- CArea2List ------------------------------------------------------------

long long CArea2List::GetOrgArea(const CPlenimetraParam* param) const
{
  PLN_ASSERT(m_pArea1 != nullptr);
  return m_pArea1->GetRoundArea(param);
}

long long CArea2List::GetRoundArea(const CPlenimetraParam* param) const
{
  return param->GetRoundArea3(GetOrgArea(param), m_RoundType, param->GetArea2ListDefaultRoundType());
}

bool CArea2List::IsDefaultRoundType(const CPlenimetraParam* param) const
{
  if (m_RoundType == CRoundTypeTable::ROUNDTYPE_DEFAULT)
    return true;
  const CRoundTypeItem* item = param->GetArea2ListDefaultRoundType();
  return item != nullptr && m_RoundType == item->m_Type;
}

GS::UniString CArea2List::GetOrgAreaStr(const CPlenimetraParam* param) const
{
  const int digits = CRoundTypeItem::DigitOf(param->GetArea1DefaultRoundType(), CRoundTypeParam::kDefaultArea1);
  return param->GetAreaStr(GetOrgArea(param), digits);
}

GS::UniString CArea2List::GetRoundAreaStr(const CPlenimetraParam* param) const
{
  const int digits = CRoundTypeItem::DigitOf(param->GetArea2ListDefaultRoundType(), CRoundTypeParam::kDefaultArea2List);
  return Starred(IsDefaultRoundType(param), param->GetAreaStr(GetRoundArea(param), digits));
}

GS::UniString CArea2List::GetRoundTypeStr(const CPlenimetraParam* param) const
{
  return param->m_RoundTypeTable.GetRoundTypeStr(m_RoundType);
}

GS::UniString CArea2List::GetOperatorStr(const CPlenimetraParam* param) const
{
  return param->m_OperatorTable.GetOperatorStr(m_Operator);
}

// ---- CArea2ListArray -------------------------------------------------------

CArea2List* CArea2ListArray::Search(const CArea1Object* figure)
{
  auto it = std::find_if(begin(), end(), [figure](const CArea2List& e) { return e.m_pArea1.get() == figure; });
  return it != end() ? &*it : nullptr;
}

CArea2List* CArea2ListArray::Search(int code)
{
  auto it = std::find_if(begin(), end(), [code](const CArea2List& e) { return e.m_pArea1->m_Code == code; });
  return it != end() ? &*it : nullptr;
}

int CArea2ListArray::SearchIndex(const CArea1Object* figure) const
{
  for (std::size_t i = 0; i < size(); ++i) {
    if ((*this)[i].m_pArea1.get() == figure)
      return static_cast<int>(i);
  }
  return -1;
}

bool CArea2ListArray::RemoveArea1(const API_Elem_Head* head)
{
  auto it = std::find_if(begin(), end(),
                         [head](const CArea2List& e) { return e.m_pArea1->m_Element.header.guid == head->guid; });
  if (it == end())
    return false;
  erase(it);
  return true;
}

void CArea2ListArray::Remove(const CArea1ObjectPtrArray& figures, CArea1ObjectPtrArray* removed)
{
  for (const auto& figure : figures) {
    if (RemoveArea1(&figure->m_Element.header) && removed != nullptr)
      removed->push_back(figure);
  }
}

void CArea2ListArray::SetAutoArea(const CArea1ObjectPtrArray& figures)
{
  for (const auto& figure : figures) {
    if (figure == nullptr)
      continue;
    const COperatorTable::OPERATOR op = figure->m_AutoArea.m_Operator;
    if (CArea2List* entry = Search(figure.get())) {
      entry->m_Operator = op;
    } else {
      emplace_back(figure, op);
    }
  }
}

bool CArea2List::operator==(const CArea2List& other) const
{
  const bool sameFigure = m_pArea1 == nullptr || other.m_pArea1 == nullptr
                              ? m_pArea1 == other.m_pArea1
                              : m_pArea1->m_Code == other.m_pArea1->m_Code;
  return sameFigure && m_RoundType == other.m_RoundType && m_Operator == other.m_Operator &&
         m_CrMark == other.m_CrMark;
}

bool CArea2ListArray2::operator==(const CArea2ListArray2& other) const
{
  return m_Floor == other.m_Floor &&
         static_cast<const CArea2ListArray&>(*this) == static_cast<const CArea2ListArray&>(other);
}

void CArea2ObjectAutoAreaGuidArray::Add(const GS::Guid& guid)
{
  if (std::find(begin(), end(), guid) == end())
    push_back(guid);
}

void CArea2ObjectAutoAreaGuidArray::Remove(const GS::Guid& guid)
{
  auto it = std::find(begin(), end(), guid);
  if (it != end())
    erase(it);
}

// ---- CArea2ObjectFloor -----------------------------------------------------

GS::UniString CArea2ObjectFloor::GetAreaTypeName(MODE mode)
{
  switch (mode) {
  case MODE_FIGURE:
    return u"求積区画";
  case MODE_MANUAL:
    return u"手動入力";
  case MODE_AUTO:
    return u"自動分割区画";
  case MODE_BOTH:
    return u"自動+求積";
  }
  return u"未定義";
}

void CArea2ObjectFloor::SetAutoCr(const CPlenimetraParam* param)
{
  const int limit = param->m_EnvParam.m_ListAttr2.m_ColWidth2;
  int running = 0;
  CArea2List* previous = nullptr;
  for (CArea2List& entry : m_List) {
    int width = kTermWidth;
    if (previous != nullptr || entry.m_Operator != COperatorTable::OPERATOR_PLUS) {
      width += static_cast<int>(entry.GetOperatorStr(param).GetLength());
    }
    if (previous != nullptr) {
      previous->m_CrMark.m_bCr = running + width > limit;
      if (previous->m_CrMark.m_bCr)
        running = kTermWidth;
    }
    running += width;
    previous = &entry;
  }
}

long long CArea2ObjectFloor::GetOrgArea(const CPlenimetraParam* param) const
{
  if (m_Mode == MODE_MANUAL)
    return m_ManualArea;
  if (!IsValidMode(m_Mode))
    return 0;
  long long sum = 0;
  for (const CArea2List& entry : m_List) {
    if (entry.m_Operator == COperatorTable::OPERATOR_PLUS) {
      sum += entry.GetRoundArea(param);
    } else if (entry.m_Operator == COperatorTable::OPERATOR_MINUS) {
      sum -= entry.GetRoundArea(param);
    }
  }
  return sum;
}

void CArea2ObjectFloor::Duplicate(const CArea2ObjectFloor& other)
{
  m_Floor = other.m_Floor;
  m_Mode = other.m_Mode;
}

CArea2ObjectFloor* CArea2ObjectFloorArray::SearchFloor(short floor)
{
  auto it = std::find_if(begin(), end(), [floor](const CArea2ObjectFloor& f) { return f.m_Floor == floor; });
  if (it != end())
    return &*it;
  CArea2ObjectFloor& created = emplace_back(floor);
  created.m_List.m_Floor = floor;
  return &created;
}

const CArea2ObjectFloor* CArea2ObjectFloorArray::FindFloor(short floor) const
{
  auto it = std::find_if(begin(), end(), [floor](const CArea2ObjectFloor& f) { return f.m_Floor == floor; });
  return it != end() ? &*it : nullptr;
}

CArea2ObjectFloor* CArea2ObjectFloorArray::FindFloor(short floor)
{
  return const_cast<CArea2ObjectFloor*>(std::as_const(*this).FindFloor(floor));
}

// ---- CArea2Object ----------------------------------------------------------

CArea2Object::CArea2Object(CPlenimetraParam* param, CAreaNameArray names, int code,
                           CArea2ListTypeTable::LISTTYPE listType, SHOWTOTAL showTotal, CItemType1Table::ITEMTYPE mark,
                           CItemType2Table::ITEMTYPE numbering, int itemNo, int sortIndex)
    : CAreaObject(param, std::move(names), code, listType, mark, numbering, itemNo, sortIndex), m_ShowTotal(showTotal)
{
}

long long CArea2Object::GetOrgArea(const CPlenimetraParam* param, short floor) const
{
  const CArea2ObjectFloor* record = m_FloorArray.FindFloor(floor);
  return record != nullptr ? record->GetOrgArea(param) : 0;
}

long long CArea2Object::GetRoundArea(const CPlenimetraParam* param, const CAreaTree* node, short floor) const
{
  PLN_ASSERT(node != nullptr && node->m_AreaCode == -m_Code);
  return param->GetRoundArea3(GetOrgArea(param, floor), m_RoundType, &node->m_RoundTypeFloor);
}

GS::UniString CArea2Object::GetItemNoStr(const CPlenimetraParam* param) const
{
  return param->m_ItemType2Table.GetItemNoStr(m_ItemType2, m_No);
}

GS::UniString CArea2Object::GetOrgAreaStr(const CPlenimetraParam* param, short floor) const
{
  const int digits = CRoundTypeItem::DigitOf(param->GetArea2ListDefaultRoundType(), CRoundTypeParam::kDefaultArea2List);
  return param->GetAreaStr(GetOrgArea(param, floor), digits);
}

GS::UniString CArea2Object::GetRoundAreaStr(const CPlenimetraParam* param, const CAreaTree* node, short floor) const
{
  const GS::UniString text = param->GetAreaStr(GetRoundArea(param, node, floor), node->m_RoundTypeFloor.m_Digit);
  return Starred(IsDefaultRoundType(param, node), text);
}

GS::UniString CArea2Object::GetRoundTypeStr(const CPlenimetraParam* param) const
{
  return param->m_RoundTypeTable.GetRoundTypeStr(m_RoundType);
}

bool CArea2Object::IsDefaultRoundType(const CPlenimetraParam*, const CAreaTree* node) const
{
  PLN_ASSERT(node != nullptr);
  return m_RoundType == CRoundTypeTable::ROUNDTYPE_DEFAULT || m_RoundType == node->m_RoundTypeFloor.m_Type;
}

std::vector<CArea2List*> CArea2Object::GetList(CArea2ObjectFloor* floor)
{
  std::vector<CArea2List*> ordered;
  for (CArea2List& entry : floor->m_List)
    ordered.push_back(&entry);
  // Stable, so entries of equal sort index keep their list order.
  std::stable_sort(ordered.begin(), ordered.end(), [](const CArea2List* a, const CArea2List* b) {
    return a->m_pArea1->m_SortIndex < b->m_pArea1->m_SortIndex;
  });
  return ordered;
}

GS::UniString CArea2Object::GetEquation(CPlenimetraParam* param, short floor, bool breakAll, char)
{
  // A story without a record has no entries, so no formula either.
  CArea2ObjectFloor* record = m_FloorArray.FindFloor(floor);
  if (record == nullptr)
    return {};
  if (record->m_Mode == CArea2ObjectFloor::MODE_MANUAL)
    return record->m_ManualEquation;
  if (m_ListType == CArea2ListTypeTable::LISTTYPE_LIST)
    return GetListEquation(param, record, breakAll);
  if (m_ListType == CArea2ListTypeTable::LISTTYPE_FORMULA)
    return GetFormulaEquation(param, record, breakAll);
  return {};
}

GS::UniString CArea2Object::GetListEquation(const CPlenimetraParam* param, CArea2ObjectFloor* floor, bool breakAll)
{
  GS::UniString text;
  const CArea2List* previous = nullptr;
  for (const CArea2List* entry : GetList(floor)) {
    if (!text.IsEmpty())
      text += previous->m_CrMark.GetStr(breakAll) + u", ";
    if (entry->m_Operator == COperatorTable::OPERATOR_MINUS)
      text += entry->GetOperatorStr(param);
    text += entry->m_pArea1->GetMarkStr(param) + entry->m_pArea1->GetItemNoStr(param);
    previous = entry;
  }
  return text;
}

GS::UniString CArea2Object::GetFormulaEquation(const CPlenimetraParam* param, CArea2ObjectFloor* floor, bool breakAll)
{
  if (m_AutoCr)
    floor->SetAutoCr(param);
  GS::UniString text;
  const CArea2List* previous = nullptr;
  for (const CArea2List* entry : GetList(floor)) {
    if (!text.IsEmpty()) {
      text += previous->m_CrMark.GetStr(breakAll) + entry->GetOperatorStr(param);
    } else if (entry->m_Operator != COperatorTable::OPERATOR_PLUS) {
      text += entry->GetOperatorStr(param);
    }
    text += entry->m_pArea1->GetMarkStr(param) + entry->m_pArea1->GetItemNoStr(param);
    previous = entry;
  }
  return text;
}

int CArea2Object::SearchAutoAreaIndex(const CAutoAreaParam* record, const CArea2ObjectAutoAreaGuidArray* guids)
{
  if (record == nullptr || guids == nullptr)
    return -1;
  const GS::Guid guid = ToGSGuid(record->GetGuid());
  auto it = std::find(guids->begin(), guids->end(), guid);
  return it != guids->end() ? static_cast<int>(it - guids->begin()) : -1;
}

bool CArea2Object::IsIncluded(const CArea1Object* figure, short floor) const
{
  const CArea2ObjectFloor* record = m_FloorArray.FindFloor(floor);
  if (record == nullptr || record->m_Mode == CArea2ObjectFloor::MODE_MANUAL)
    return false;
  return std::any_of(record->m_List.begin(), record->m_List.end(),
                     [figure](const CArea2List& e) { return e.m_pArea1->m_Code == figure->m_Code; });
}

void CArea2Object::Duplicate(const CAreaObject* source)
{
  const auto* element = dynamic_cast<const CArea2Object*>(source);
  PLN_ASSERT(element != nullptr);
  CAreaObject::Duplicate(source);
  CArea2ObjectFloorArray floors;
  for (const CArea2ObjectFloor& record : element->m_FloorArray) {
    CArea2ObjectFloor& copy = floors.emplace_back();
    copy.Duplicate(record);
    copy.m_List.m_Floor = record.m_Floor;
  }
  m_FloorArray = std::move(floors);
}

bool CArea2Object::operator==(const CArea2Object& other) const
{
  return CAreaObject::operator==(other) && m_FloorArray == other.m_FloorArray && m_ShowTotal == other.m_ShowTotal;
}

// ---- CArea2ObjectArray -----------------------------------------------------

CArea2Object* CArea2ObjectArray::Search(int code)
{
  auto it = std::find_if(begin(), end(), [code](const CArea2Object& e) { return e.m_Code == code; });
  return it != end() ? &*it : nullptr;
}

const CArea2Object* CArea2ObjectArray::Search(int code) const
{
  return const_cast<CArea2ObjectArray*>(this)->Search(code);
}

void CArea2ObjectArray::Remove(const CArea1ObjectPtrArray& figures)
{
  for (const auto& figure : figures)
    RemoveArea1(&figure->m_Element.header);
}

void CArea2ObjectArray::Remove(const CAutoAreaParam* record)
{
  const GS::Guid guid = ToGSGuid(record->GetGuid());
  for (CArea2Object& element : *this)
    if (CArea2ObjectFloor* floor = element.m_FloorArray.FindFloor(record->GetFloor()))
      floor->m_AutoAreaGuidArray.Remove(guid);
}

void CArea2ObjectArray::RemoveArea1(const API_Elem_Head* head)
{
  for (CArea2Object& element : *this)
    if (CArea2ObjectFloor* floor = element.m_FloorArray.FindFloor(head->floorInd))
      floor->m_List.RemoveArea1(head);
}

void CArea2ObjectArray::Remove(const CArea2ObjectPtrArray& elements)
{
  // The codes first: a pointer may name an element erased a moment before.
  std::vector<int> codes;
  for (const CArea2Object* element : elements)
    codes.push_back(element->m_Code);
  for (int code : codes) {
    auto it = std::find_if(begin(), end(), [code](const CArea2Object& e) { return e.m_Code == code; });
    if (it != end())
      erase(it);
  }
}

bool CArea2ObjectArray::operator==(const CArea2ObjectArray& other) const
{
  return static_cast<const std::list<CArea2Object>&>(*this) == static_cast<const std::list<CArea2Object>&>(other);
}

CArea2Object* CArea2ObjectPtrArray::Search(int code) const
{
  auto it = std::find_if(begin(), end(), [code](const CArea2Object* e) { return e->m_Code == code; });
  return it != end() ? *it : nullptr;
}

CArea2ObjectAutoArea::CArea2ObjectAutoArea(short floor, const GS::Guid& guid) : m_Floor(floor)
{
  if (!guid.IsNull())
    m_AutoAreaGuidArray.push_back(guid);
}
