// The figure lists of a floor: searches, numbering, sort order, the project
// record of the figures, and the factory that rebuilds stored kinds.

#include "CArea1Object.h"

#include "CArchive.h"
#include "CPlenimetraParam.h"
#include "DocRecord.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace {

// The numbering group of a figure: its mark and numbering style.
using NumberingPair = std::pair<int, int>;

NumberingPair PairOf(const CArea1Object& figure)
{
  return {figure.m_ItemType1, figure.m_ItemType2};
}

// The figures of each pair, in list order.
std::map<NumberingPair, std::vector<CArea1Object*>> GroupByPair(const CArea1ObjectArray& list)
{
  std::map<NumberingPair, std::vector<CArea1Object*>> groups;
  for (const auto& figure : list)
    groups[PairOf(*figure)].push_back(figure.get());
  return groups;
}

// Gives each figure without a number the next ones after the group's
// highest; these numbers are not saved.
void NumberTheUnnumbered(const std::vector<CArea1Object*>& group)
{
  int highest = -1;
  for (const CArea1Object* figure : group)
    highest = std::max(highest, figure->m_No);
  for (CArea1Object* figure : group) {
    if (figure->m_No < 0)
      figure->m_No = ++highest;
  }
}

// Whether the group's numbers are exactly 0..k-1, each once.
bool IsClosedNumbering(const std::vector<CArea1Object*>& group)
{
  const int count = static_cast<int>(group.size());
  std::vector<bool> taken(group.size(), false);
  for (const CArea1Object* figure : group) {
    if (figure->m_No < 0 || figure->m_No >= count || taken[static_cast<std::size_t>(figure->m_No)])
      return false;
    taken[static_cast<std::size_t>(figure->m_No)] = true;
  }
  return true;
}

// Renumbers the group 0..k-1 in list order, saving each changed figure
// when asked; the first failed save is returned, the numbering is finished
// regardless.
GSErrCode CloseNumbering(const std::vector<CArea1Object*>& group, bool save)
{
  GSErrCode first = NoError;
  int next = 0;
  for (CArea1Object* figure : group) {
    const int number = next++;
    if (figure->m_No == number)
      continue;
    figure->m_No = number;
    const GSErrCode err = save ? figure->Save() : NoError;
    if (first == NoError)
      first = err;
  }
  return first;
}

// Bytes of one stored figure: its kind, and code, sort index and number
// from the version that stores them.
long long StoredFigureBytes(int version)
{
  return version >= DocVersion::kFigurePart ? 16 : 4;
}

constexpr int kDroppedFieldsOfUnknownKind = 3;

}  // namespace

// ---- CArea1ObjectFactory ---------------------------------------------------

bool CArea1ObjectFactory::Register(CArea1Object::TYPE type, Maker maker)
{
  if (type < CArea1Object::TYPE_TRIANGLE || type > CArea1Object::kTypeMax)
    return false;
  m_Makers[static_cast<std::size_t>(type)] = std::move(maker);
  return true;
}

bool CArea1ObjectFactory::IsRegistered(CArea1Object::TYPE type) const
{
  if (type < CArea1Object::TYPE_TRIANGLE || type > CArea1Object::kTypeMax)
    return false;
  if (m_Makers[static_cast<std::size_t>(type)])
    return true;
  return type == CArea1Object::TYPE_RECT && IsRegistered(CArea1Object::TYPE_RECTSLANT);
}

std::shared_ptr<CArea1Object> CArea1ObjectFactory::Create(CPlenimetraParam* param, CArea1Object::TYPE type, int code,
                                                          CItemType1Table::ITEMTYPE mark,
                                                          CItemType2Table::ITEMTYPE numbering, int no) const
{
  if (!IsRegistered(type))
    return nullptr;
  const Maker& own = m_Makers[static_cast<std::size_t>(type)];
  const Maker& maker = own ? own : m_Makers[CArea1Object::TYPE_RECTSLANT];
  return maker(param, code, mark, numbering, no);
}

// ---- CArea1ObjectPtrArray --------------------------------------------------

void CArea1ObjectPtrArray::Add(const std::shared_ptr<CArea1Object>& figure)
{
  if (std::find(begin(), end(), figure) == end())
    push_back(figure);
}

int CArea1ObjectPtrArray::SearchIndex(int code) const
{
  for (std::size_t i = 0; i < size(); ++i) {
    if ((*this)[i]->m_Code == code)
      return static_cast<int>(i);
  }
  return -1;
}

int CArea1ObjectPtrArray::GetMaxItemNo() const
{
  int highest = -1;
  for (const auto& figure : *this)
    highest = std::max(highest, figure->m_No);
  return highest;
}

// ---- CArea1ObjectArray: searches ------------------------------------------

std::shared_ptr<CArea1Object> CArea1ObjectArray::Search(int code) const
{
  for (const auto& figure : *this) {
    if (figure->m_Code == code)
      return figure;
  }
  return nullptr;
}

std::shared_ptr<CArea1Object> CArea1ObjectArray::Search(const API_Elem_Head* head) const
{
  const GS::Guid key = ToGSGuid(head->guid);
  if (auto hint = m_GuidIndex.find(key); hint != m_GuidIndex.end() && hint->second < size()) {
    const auto& figure = (*this)[hint->second];
    if (figure->m_Element.header.guid == head->guid)
      return figure;
  }
  // Not where the index says: look along the list, as for an element that
  // is no figure, and index the list again when the figure is there.
  auto found =
      std::find_if(begin(), end(), [head](const auto& figure) { return figure->m_Element.header.guid == head->guid; });
  if (found == end())
    return nullptr;
  Reindex();
  return *found;
}

void CArea1ObjectArray::Reindex() const
{
  m_GuidIndex.clear();
  m_GuidIndex.reserve(size());
  for (std::size_t i = 0; i < size(); ++i)
    m_GuidIndex.emplace(ToGSGuid((*this)[i]->m_Element.header.guid), i);
}

bool CArea1ObjectArray::Remove(const API_Elem_Head* head)
{
  auto it =
      std::find_if(begin(), end(), [head](const auto& figure) { return figure->m_Element.header.guid == head->guid; });
  if (it == end())
    return false;
  erase(it);
  return true;
}

void CArea1ObjectArray::Remove(const CArea1ObjectPtrArray& figures)
{
  for (const auto& figure : figures) {
    auto it = std::find(begin(), end(), figure);
    if (it != end())
      erase(it);
  }
}

int CArea1ObjectArray::GetSize(short layer) const
{
  return static_cast<int>(
      std::count_if(begin(), end(), [layer](const auto& figure) { return figure->m_Element.header.layer == layer; }));
}

// ---- CArea1ObjectArray: numbering ------------------------------------------

bool CArea1ObjectArray::IsExistNo(const CPlenimetraParam*, CItemType1Table::ITEMTYPE mark,
                                  CItemType2Table::ITEMTYPE style, int no) const
{
  return std::any_of(begin(), end(), [&](const auto& figure) {
    return figure->m_ItemType1 == mark && figure->m_ItemType2 == style && figure->m_No == no;
  });
}

int CArea1ObjectArray::GetMaxItemNo(const CPlenimetraParam*, CItemType1Table::ITEMTYPE mark,
                                    CItemType2Table::ITEMTYPE style) const
{
  int highest = -1;
  for (const auto& figure : *this) {
    if (figure->m_ItemType1 == mark && figure->m_ItemType2 == style)
      highest = std::max(highest, figure->m_No);
  }
  return highest;
}

int CArea1ObjectArray::GetStartNo(const CPlenimetraParam* param, CItemType1Table::ITEMTYPE mark,
                                  CItemType2Table::ITEMTYPE style, int start) const
{
  const int from = param->m_EnvParam.m_NumberFillGaps ? 0 : std::max(start, 0);
  // One pass over the figures: looking number after number up would take
  // the square of a long story's figures when the numbers fill gaps.
  std::vector<int> used;
  for (const auto& figure : *this)
    if (figure->m_ItemType1 == mark && figure->m_ItemType2 == style && figure->m_No >= from)
      used.push_back(figure->m_No);
  std::sort(used.begin(), used.end());
  int no = from;
  for (int taken : used) {
    if (taken > no)
      break;
    no = std::max(no, taken + 1);
  }
  return no;
}

GSErrCode CArea1ObjectArray::CheckItemNo(CPlenimetraParam* param, bool save)
{
  GSErrCode first = NoError;
  for (const auto& [pair, group] : GroupByPair(*this)) {
    if (!param->m_EnvParam.m_NumberFillGaps) {
      NumberTheUnnumbered(group);
    } else if (!IsClosedNumbering(group)) {
      const GSErrCode err = CloseNumbering(group, save);
      if (first == NoError)
        first = err;
    }
  }
  return first;
}

namespace {

// The figures in the order their sort indices give; equal indices keep
// their list order, unordered ones (below 0) come last.
std::vector<CArea1Object*> InIndexOrder(const CArea1ObjectArray& figures)
{
  std::vector<CArea1Object*> order;
  for (const auto& figure : figures)
    order.push_back(figure.get());
  std::stable_sort(order.begin(), order.end(), [](const CArea1Object* a, const CArea1Object* b) {
    return std::make_pair(a->m_SortIndex < 0, a->m_SortIndex) < std::make_pair(b->m_SortIndex < 0, b->m_SortIndex);
  });
  return order;
}

}  // namespace

GSErrCode CArea1ObjectArray::SetSortIndex()
{
  const int count = static_cast<int>(size());
  std::vector<bool> taken(size(), false);
  bool defect = false;
  for (const auto& figure : *this) {
    const int index = figure->m_SortIndex;
    if (index < 0 || index >= count) {
      defect = true;
    } else {
      taken[static_cast<std::size_t>(index)] = true;
    }
  }
  // n indices inside 0..n-1 that leave none free are a permutation.
  if (!defect && std::all_of(taken.begin(), taken.end(), [](bool t) { return t; }))
    return NoError;
  GSErrCode first = NoError;
  const std::vector<CArea1Object*> order = InIndexOrder(*this);
  // A figure written stores an index past the one before it, which may
  // keep a recorded index above its place (see CloseSortIndexGaps): a
  // figure added last then stays last when the records are read again.
  int before = -1;
  for (std::size_t i = 0; i < order.size(); ++i) {
    CArea1Object& figure = *order[i];
    const int place = static_cast<int>(i);
    if (figure.m_SortIndex == place) {
      before = figure.RecordSortIndex();
      continue;
    }
    const int stored = figure.RecordSortIndex();
    figure.m_SortIndex = place;
    figure.m_Recorded = {place, std::max(place, before + 1)};
    const GSErrCode err = figure.Save();
    if (err != NoError)
      figure.m_Recorded = {place, stored};  // the record keeps what it held
    before = figure.RecordSortIndex();
    if (first == NoError)
      first = err;
  }
  return first;
}

std::vector<CArea1Object*> CArea1ObjectArray::MovedWithout(CPlenimetraParam* param,
                                                          const CArea1ObjectPtrArray& leaving) const
{
  CArea1ObjectArray rest;
  std::vector<std::pair<int, int>> before;
  std::vector<CArea1Object::RecordedIndex> recorded;
  for (const auto& figure : *this)
    if (std::find(leaving.begin(), leaving.end(), figure) == leaving.end()) {
      rest.push_back(figure);
      before.emplace_back(figure->m_SortIndex, figure->m_No);
      recorded.push_back(figure->m_Recorded);
    }
  rest.CloseSortIndexGaps();
  static_cast<void>(rest.CheckItemNo(param, false));  // writes nothing, so fails for nothing
  std::vector<CArea1Object*> moved;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    CArea1Object& figure = *rest[i];
    if (std::make_pair(figure.m_SortIndex, figure.m_No) != before[i])
      moved.push_back(&figure);
    figure.m_SortIndex = before[i].first;
    figure.m_No = before[i].second;
    figure.m_Recorded = recorded[i];
  }
  return moved;
}

void CArea1ObjectArray::CloseSortIndexGaps()
{
  const std::vector<CArea1Object*> order = InIndexOrder(*this);
  for (std::size_t i = 0; i < order.size(); ++i) {
    const int stored = order[i]->RecordSortIndex();
    order[i]->m_SortIndex = static_cast<int>(i);
    order[i]->m_Recorded = {static_cast<int>(i), stored};
  }
}

// ---- the project record ------------------------------------------------------

void CArea1Object::Serialize(CArchive& ar)
{
  if (!ar.m_bOpen) {
    ar << m_Code << m_SortIndex << m_No;
  } else if (ar.GetVersion() >= DocVersion::kFigurePart) {
    ar >> m_Code >> m_SortIndex >> m_No;
  }
}

void CArea1ObjectArray::Serialize(CArchive& ar, CPlenimetraParam* param)
{
  if (!ar.m_bOpen) {
    ar << static_cast<int>(size());
    for (const auto& figure : *this) {
      ar << static_cast<int>(figure->m_Type);
      figure->Serialize(ar);
    }
    return;
  }
  const int version = ar.GetVersion();
  if (version < DocVersion::kObjectLists)
    return;
  int count = 0;
  ar >> count;
  if (!ar.CanHold(count, StoredFigureBytes(version)))
    throw CArchive::kPastEnd;
  for (int i = 0; i < count; ++i)
    ReadFigure(ar, param);
}

void CArea1ObjectArray::ReadFigure(CArchive& ar, CPlenimetraParam* param)
{
  int kind = 0;
  ar >> kind;
  if (kind < CArea1Object::TYPE_TRIANGLE || kind > CArea1Object::kTypeMax) {
    for (int i = 0; i < kDroppedFieldsOfUnknownKind; ++i) {
      int dropped = 0;
      ar >> dropped;
    }
    return;
  }
  // A kind no figure class is registered for cannot be rebuilt; dropping it
  // would lose the figure at the next save, so the record is refused.
  std::shared_ptr<CArea1Object> figure =
      param->m_Area1Factory.Create(param, static_cast<CArea1Object::TYPE>(kind), 0, CItemType1Table::ITEMTYPE_NONE,
                                   CItemType2Table::ITEMTYPE_NONE, -1);
  if (figure == nullptr)
    throw CArchive::kPastEnd;
  figure->Serialize(ar);
  const bool stored = ar.GetVersion() >= DocVersion::kFigurePart;
  if (stored && (!CArea1Object::IsValidCode(figure->m_Code) || !CArea1Object::IsValidNumber(figure->m_No) ||
                 !CArea1Object::IsValidNumber(figure->m_SortIndex)))
    throw CArchive::kPastEnd;
  push_back(std::move(figure));
}
