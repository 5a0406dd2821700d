// Calculation-tree nodes: comparison, queries and the editing operations.
// Searches run depth first, a node before its children; a node carrying the
// delete mark (set between DeleteMask and Delete within one move) is never
// entered, so a move cannot land inside the subtree being moved.

#include "CAreaTree.h"

#include "CArea2Object.h"
#include "CArea4Object.h"
#include "CAreaObject.h"
#include "CPlenimetraParam.h"
#include "host_assert.h"

#include <algorithm>
#include <climits>
#include <map>

// ---- node and queries -------------------------------------------------------

bool CAreaTree::operator==(const CAreaTree& other) const
{
  // Children first, as the stored order of comparison has it.
  if (m_Child != other.m_Child)
    return false;
  return m_AreaCode == other.m_AreaCode && m_Expand == other.m_Expand && m_Layer == other.m_Layer &&
         m_DeleteMask == other.m_DeleteMask && m_CrMark == other.m_CrMark && m_Operator == other.m_Operator &&
         m_RoundTypeId == other.m_RoundTypeId && m_RoundTypeTotal == other.m_RoundTypeTotal &&
         m_RoundTypeFloor == other.m_RoundTypeFloor;
}

bool CAreaTree::ChangeCheck(const CAreaTree& other) const
{
  if (m_Child.size() != other.m_Child.size())
    return true;
  for (std::size_t i = 0; i < m_Child.size(); ++i)
    if (m_Child[i].ChangeCheck(other.m_Child[i]))
      return true;
  return m_AreaCode != other.m_AreaCode || m_Layer != other.m_Layer || m_Operator != other.m_Operator ||
         m_RoundTypeId != other.m_RoundTypeId || m_RoundTypeTotal != other.m_RoundTypeTotal ||
         m_RoundTypeFloor != other.m_RoundTypeFloor;
}

void CAreaTree::Clear()
{
  m_Child.clear();
  m_AreaCode = 0;
}

CAreaTree* CAreaTree::Search(int code)
{
  if (m_DeleteMask)
    return nullptr;
  if (m_AreaCode == code)
    return this;
  for (CAreaTree& child : m_Child)
    if (CAreaTree* found = child.Search(code))
      return found;
  return nullptr;
}

const CAreaTree* CAreaTree::Search(int code) const { return const_cast<CAreaTree*>(this)->Search(code); }

CAreaTree* CAreaTree::GetParent(const CAreaTree* node)
{
  if (node == nullptr)
    return nullptr;
  for (CAreaTree& child : m_Child) {
    if (child.m_AreaCode == node->m_AreaCode)
      return this;
    if (CAreaTree* found = child.GetParent(node))
      return found;
  }
  return nullptr;
}

bool CAreaTree::HoldsPatternShape() const
{
  return m_AreaCode > 0 && m_Child.size() == 1 && m_Child.front().m_AreaCode > 0;
}

void CAreaTree::GetFlat(const CAreaTree& node, int depth, CAreaTreeIndentArray& out)
{
  for (const CAreaTree& child : node.m_Child)
    GetFlat(child, depth + 1, out);
  out.emplace_back(node, depth);
}

std::vector<CAreaTreeIndentArray> CAreaTree::GetFlat() const
{
  std::vector<CAreaTreeIndentArray> flats(m_Child.size());
  for (std::size_t i = 0; i < m_Child.size(); ++i)
    GetFlat(m_Child[i], 0, flats[i]);
  return flats;
}

GS::UniString CAreaTree::GetOperatorStr(const CPlenimetraParam* param) const
{
  return param->m_OperatorTable.GetOperatorStr(COperatorTable::OPERATOR(m_Operator));
}

// ---- comparison of patterns -------------------------------------------------

bool CAreaTree::IsTreeChanged(CPlenimetraParam* param, const CAreaTree& other, CPlenimetraParam* otherParam) const
{
  if (m_AreaCode != other.m_AreaCode || m_RoundTypeTotal != other.m_RoundTypeTotal ||
      m_RoundTypeFloor != other.m_RoundTypeFloor || m_RoundTypeId != other.m_RoundTypeId)
    return true;
  const CAreaObject* mine = param->FindAreaObject(m_AreaCode);
  const CAreaObject* theirs = otherParam->FindAreaObject(other.m_AreaCode);
  if (mine != nullptr && theirs != nullptr && !(mine->m_Name == theirs->m_Name))
    return true;
  if (m_Child.size() != other.m_Child.size())
    return true;
  for (std::size_t i = 0; i < m_Child.size(); ++i)
    if (m_Child[i].IsTreeChanged(param, other.m_Child[i], otherParam))
      return true;
  return false;
}

bool CAreaTreeArray::IsTreeChanged(CPlenimetraParam* param, const CAreaTreeArray& other,
                                   CPlenimetraParam* otherParam) const
{
  if (size() != other.size())
    return true;
  for (std::size_t i = 0; i < size(); ++i)
    if ((*this)[i].IsTreeChanged(param, other[i], otherParam))
      return true;
  return false;
}

// ---- editing ----------------------------------------------------------------

namespace {

// A node found with its depth below the node searched from (0 for that one).
struct Found {
  CAreaTree* node = nullptr;
  int depth = 0;
};

// Search with the depth, in Search's order; a marked node is never entered.
Found SearchDepth(CAreaTree& node, int code, int depth)
{
  if (node.m_DeleteMask)
    return {};
  if (node.m_AreaCode == code)
    return {&node, depth};
  for (CAreaTree& child : node.m_Child)
    if (const Found found = SearchDepth(child, code, depth + 1); found.node != nullptr)
      return found;
  return {};
}

// Whether a subtree of the given height fits with its top at that depth.
bool Fits(int depth, int height) { return depth + height <= CAreaTree::kMaxTreeDepth; }

}  // namespace

int CAreaTree::GetHeight() const
{
  int height = 0;
  for (const CAreaTree& child : m_Child)
    height = std::max(height, 1 + child.GetHeight());
  return height;
}

bool CAreaTree::Insert2(int parentCode, int code, CRoundTypeItem total, CRoundTypeItem floor)
{
  const Found parent = SearchDepth(*this, parentCode, 0);
  if (parent.node == nullptr || !Fits(parent.depth + 1, 0))
    return false;
  CAreaTree node;
  node.m_AreaCode = code;
  node.m_RoundTypeTotal = total;
  node.m_RoundTypeFloor = floor;
  parent.node->m_Child.push_back(node);
  return true;
}

bool CAreaTree::Insert(CPlenimetraParam* param, const GS::UniString& name, int code, int parentCode, int kind,
                       CRoundTypeItem total, CRoundTypeItem floor)
{
  // A missing parent still gets the object (without a node); a node too
  // deep gets neither.
  const Found parent = SearchDepth(*this, parentCode, 0);
  if (parent.node != nullptr && !Fits(parent.depth + 1, 0))
    return false;
  const CAreaNameArray names(name);
  switch (kind) {
  case KIND_ELEMENT_LIST:
  case KIND_ELEMENT_FORMULA: {
    const auto listType = kind == KIND_ELEMENT_LIST ? CArea2ListTypeTable::LISTTYPE_LIST
                                                    : CArea2ListTypeTable::LISTTYPE_FORMULA;
    param->m_Area2ObjectArray.push_back(CArea2Object(param, names, code, listType, CArea2Object::SHOWTOTAL_MARK,
                                                     CItemType1Table::ITEMTYPE_SQUARE,
                                                     CItemType2Table::ITEMTYPE_DECIMAL, -1, -1));
    return Insert2(parentCode, -code, total, floor);
  }
  case KIND_FOLDER:
    param->m_Area4ObjectArray.push_back(CArea4Object(param, names, code, CArea2ListTypeTable::LISTTYPE_FORMULA,
                                                     CItemType1Table::ITEMTYPE_NOMARK,
                                                     CItemType2Table::ITEMTYPE_ROMAN, -1, -1));
    return Insert2(parentCode, code, total, floor);
  default:
    return false;
  }
}

namespace {

// Where a copy goes relative to the found child.
enum class Place { Above, Under };

// Inserts a copy of node beside the first unmarked child with the code,
// searching children before their own subtrees; the parent is at depth.
// A copy that would reach deeper than the bound is refused.
bool InsertBeside(CAreaTree& parent, int code, const CAreaTree& node, Place place, int depth)
{
  for (std::size_t i = 0; i < parent.m_Child.size(); ++i) {
    CAreaTree& child = parent.m_Child[i];
    if (child.m_DeleteMask)
      continue;
    if (child.m_AreaCode == code) {
      if (!Fits(depth + 1, node.GetHeight()))
        return false;
      const std::size_t at = place == Place::Above ? i : i + 1;
      parent.m_Child.insert(parent.m_Child.begin() + static_cast<std::ptrdiff_t>(at), node);
      return true;
    }
    if (InsertBeside(child, code, node, place, depth + 1))
      return true;
  }
  return false;
}

Found FindUnmarkedChild(CAreaTree& parent, int code, int depth)
{
  for (CAreaTree& child : parent.m_Child) {
    if (child.m_DeleteMask)
      continue;
    if (child.m_AreaCode == code)
      return {&child, depth + 1};
    if (const Found found = FindUnmarkedChild(child, code, depth + 1); found.node != nullptr)
      return found;
  }
  return {};
}

}  // namespace

bool CAreaTree::MoveAbove(int code, const CAreaTree& node) { return InsertBeside(*this, code, node, Place::Above, 0); }

bool CAreaTree::MoveUnder(int code, const CAreaTree& node) { return InsertBeside(*this, code, node, Place::Under, 0); }

bool CAreaTree::MoveChild(int code, const CAreaTree& node)
{
  // Copy first: node may live inside this tree and move when the vector grows.
  const CAreaTree copy = node;
  const Found target = FindUnmarkedChild(*this, code, 0);
  if (target.node == nullptr || !Fits(target.depth + 1, copy.GetHeight()))
    return false;
  target.node->m_Child.push_back(copy);
  return true;
}

bool CAreaTree::DeleteMask(int code)
{
  if (m_DeleteMask)
    return false;
  if (m_AreaCode == code) {
    m_DeleteMask = true;
    return true;
  }
  for (CAreaTree& child : m_Child)
    if (child.DeleteMask(code))
      return true;
  return false;
}

void CAreaTree::ClearDeleteMask()
{
  m_DeleteMask = false;
  for (CAreaTree& child : m_Child)
    child.ClearDeleteMask();
}

bool CAreaTree::Delete()
{
  for (auto it = m_Child.begin(); it != m_Child.end(); ++it) {
    if (it->m_DeleteMask) {
      m_Child.erase(it);
      return true;
    }
    if (it->Delete())
      return true;
  }
  return false;
}

bool CAreaTree::Remove(int code)
{
  for (auto it = m_Child.begin(); it != m_Child.end(); ++it) {
    if (it->m_AreaCode == code) {
      m_Child.erase(it);
      return true;
    }
  }
  for (CAreaTree& child : m_Child)
    if (child.Remove(code))
      return true;
  return false;
}

void CAreaTree::Remove(const CArea2ObjectPtrArray& elements)
{
  for (const CArea2Object* element : elements)
    if (element != nullptr)
      Remove(-element->m_Code);
}

// ---- copies with new objects ------------------------------------------------

namespace {

// Gives node a new object in dst that copies source (found under the node's
// code in its own document), and the new signed code. One counter serves
// elements and folders.
void GiveNewObject(CAreaTree& node, int sourceCode, CAreaObject* source, CPlenimetraParam* dst)
{
  PLN_ASSERT(source != nullptr);
  // Readers keep the counter below INT_MAX (they refuse that code).
  PLN_ASSERT(dst->m_LastAreaCode < INT_MAX);
  const int code = ++dst->m_LastAreaCode;
  if (sourceCode < 0) {
    auto* from = dynamic_cast<CArea2Object*>(source);
    PLN_ASSERT(from != nullptr);
    CArea2Object copy(dst, from->m_Name, code, from->m_ListType, from->m_ShowTotal, from->m_ItemType1,
                      from->m_ItemType2, from->m_No, from->m_SortIndex);
    copy.Duplicate(from);
    dst->m_Area2ObjectArray.push_back(copy);
    node.m_AreaCode = -code;
  } else {
    auto* from = dynamic_cast<CArea4Object*>(source);
    PLN_ASSERT(from != nullptr);
    CArea4Object copy(dst, from->m_Name, code, from->m_ListType, from->m_ItemType1, from->m_ItemType2, from->m_No,
                      from->m_SortIndex);
    copy.Duplicate(from);
    dst->m_Area4ObjectArray.push_back(copy);
    node.m_AreaCode = code;
  }
}

GS::UniString BaseName(const GS::UniString& name)
{
  const UIndex cut = name.FindFirst(GS::UniString(u" ("));
  return cut == GS::MaxUIndex ? name : name.GetPrefix(cut);
}

}  // namespace

void CAreaTree::Duplicate(CPlenimetraParam* param)
{
  GiveNewObject(*this, m_AreaCode, param->GetAreaObject(m_AreaCode), param);
  for (CAreaTree& child : m_Child)
    child.Duplicate(param);
}

void CAreaTree::CopyTree(CPlenimetraParam* dst, CPlenimetraParam& src, const CAreaTree& srcNode)
{
  GiveNewObject(*this, srcNode.m_AreaCode, src.GetAreaObject(srcNode.m_AreaCode), dst);
  m_RoundTypeId = srcNode.m_RoundTypeId;
  m_RoundTypeTotal = srcNode.m_RoundTypeTotal;
  m_RoundTypeFloor = srcNode.m_RoundTypeFloor;
  m_Child.resize(srcNode.m_Child.size());
  for (std::size_t i = 0; i < m_Child.size(); ++i)
    m_Child[i].CopyTree(dst, src, srcNode.m_Child[i]);
}

int CAreaTree::InsertTree(CPlenimetraParam* dst, CPlenimetraParam& src, const CAreaTree& srcNode)
{
  if (srcNode.m_Child.empty())
    return 1;
  CAreaTree copy;
  copy.CopyTree(dst, src, srcNode);
  CAreaObject* object = dst->GetAreaObject(copy.m_AreaCode);
  const GS::UniString base = BaseName(object->m_Name.m_DefaultName);
  int clashes = 0;
  for (const CAreaTree& child : m_Child) {
    const CAreaObject* sibling = dst->FindAreaObject(child.m_AreaCode);
    if (sibling != nullptr && BaseName(sibling->m_Name.m_DefaultName) == base)
      ++clashes;
  }
  if (clashes > 0)
    object->m_Name.m_DefaultName = base + GS::UniString::Printf(" (%d)", clashes + 1);
  m_Child.push_back(copy);
  Dump(dst, 0);
  return 1;
}

// ---- numbering --------------------------------------------------------------

void CWorkSetItemArrayArray::Add(CItemType1Table::ITEMTYPE mark, CItemType2Table::ITEMTYPE numbering)
{
  for (CWorkSetItemArray& entry : *this) {
    if (entry.m_ItemType1 == mark && entry.m_ItemType2 == numbering) {
      ++entry.m_Count;
      return;
    }
  }
  push_back(CWorkSetItemArray{mark, numbering, 1});
}

namespace {

// The objects of a flattened subtree in numbering order: first those whose
// sort index is free (by index), then, in flat order, those without one or
// whose index an earlier object had taken.
std::vector<CAreaObject*> NumberingOrder(CPlenimetraParam* param, const CAreaTreeIndentArray& flat)
{
  // Sorted slots instead of a vector of max + 1 entries: a stored sort index
  // may be huge, and only the order of the taken slots matters.
  std::map<int, CAreaObject*> slots;
  for (const CAreaTreeIndent& node : flat) {
    CAreaObject* object = param->GetAreaObject(node.m_AreaCode);
    if (object->m_SortIndex < 0)
      continue;
    auto [it, inserted] = slots.emplace(object->m_SortIndex, object);
    if (!inserted && it->second != object)
      object->m_SortIndex = -1;
  }
  std::vector<CAreaObject*> order;
  for (const auto& slot : slots)
    order.push_back(slot.second);
  for (const CAreaTreeIndent& node : flat) {
    CAreaObject* object = param->GetAreaObject(node.m_AreaCode);
    if (object->m_SortIndex < 0) {
      object->m_SortIndex = 0;  // placed now; the final index follows below
      order.push_back(object);
    }
  }
  return order;
}

}  // namespace

bool CAreaTree::SetItemNo(CPlenimetraParam* param)
{
  if (m_Child.empty())
    return false;
  const CAreaTreeIndentArray flat = GetFlat()[0];
  for (const CAreaTreeIndent& node : flat)
    if (param->FindAreaObject(node.m_AreaCode) == nullptr)
      return false;

  const std::vector<CAreaObject*> order = NumberingOrder(param, flat);
  CWorkSetItemArrayArray pairs;
  for (std::size_t i = 0; i < order.size(); ++i) {
    order[i]->m_SortIndex = static_cast<int>(i);
    pairs.Add(order[i]->m_ItemType1, order[i]->m_ItemType2);
  }
  for (const CWorkSetItemArray& pair : pairs) {
    int next = 0;
    for (CAreaObject* object : order)
      if (object->m_ItemType1 == pair.m_ItemType1 && object->m_ItemType2 == pair.m_ItemType2)
        object->m_No = next++;
  }
  return true;
}

bool CAreaTreeIndentArray::IsLeftLine(const CAreaTreeIndent* entry, const CAreaTreeIndent* previous, int level) const
{
  if (entry == data())
    return true;
  if (entry == nullptr || previous == nullptr || entry < data() || entry >= data() + size())
    return false;
  const int a = previous->m_Indent;
  const int b = entry->m_Indent;
  if (std::min(a, level) != std::min(b, level))
    return true;
  if (std::min(a, level + 1) < std::min(b, level + 1))
    return true;
  if (b > level)
    return false;
  return entry->m_Child.empty();
}
