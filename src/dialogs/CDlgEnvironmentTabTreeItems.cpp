// Inserting and editing items of the pattern tree through the create-item
// and folder dialogs. Every new element or folder takes the next code of
// the pattern's one counter.

#include "CDlgEnvironmentTabTree.h"

#include "CDlgCreateTreeItem.h"
#include "CDlgEditArea4.h"
#include "CPlenimetraParam.h"
#include "CSelectList.h"

void CDlgEnvironmentTabTree::DoItemInsert()
{
  CPlenimetraParam* pattern = CurrentPattern();
  const CSelectList selection = GetSelTree();
  if (pattern == nullptr || selection.size() != 1)
    return;
  const CAreaTree* parent = NodeOf(selection.front());
  if (parent == nullptr || parent->m_AreaCode <= 0 ||
      RefuseRootChildEdit(*pattern, parent, u"この項目の下には追加できません。"))
    return;
  const int parentCode = parent->m_AreaCode;
  CDlgCreateTreeItem dialog(pattern);
  if (dialog.DoModal() != 1)
    return;
  const int code = pattern->m_LastAreaCode + 1;
  const CAreaNameArray names(dialog.m_Name);
  const bool element = dialog.m_Kind == CDlgCreateTreeItem::KIND_ELEMENT;
  // The node first: a parent too deep for another level takes no object.
  if (!pattern->m_AreaTree2.Insert2(parentCode, element ? -code : code, dialog.m_RoundTypeItem1,
                                    dialog.m_RoundTypeItem2))
    return;
  pattern->m_LastAreaCode = code;
  if (element)
    pattern->m_Area2ObjectArray.push_back(CArea2Object(m_pParam, names, code, CArea2ListTypeTable::LISTTYPE_FORMULA,
                                                       CArea2Object::SHOWTOTAL_MARK, CItemType1Table::ITEMTYPE_SQUARE,
                                                       CItemType2Table::ITEMTYPE_DECIMAL, -1, -1));
  else
    pattern->m_Area4ObjectArray.push_back(CArea4Object(m_pParam, names, code, CArea2ListTypeTable::LISTTYPE_FORMULA,
                                                       CItemType1Table::ITEMTYPE_NOMARK,
                                                       CItemType2Table::ITEMTYPE_ROMAN, -1, -1));
  SetTreeItem();
}

void CDlgEnvironmentTabTree::DoItemEdit()
{
  CPlenimetraParam* pattern = CurrentPattern();
  const CSelectList selection = GetSelTree();
  if (pattern == nullptr || selection.empty())
    return;
  if (selection.size() == 1) {
    CAreaTree* node = NodeOf(selection.front());
    // The root's parent is the top node, which names no object.
    CAreaTree* parent = node != nullptr ? pattern->m_AreaTree2.GetParent(node) : nullptr;
    if (parent == nullptr || parent->m_AreaCode == 0)
      return;
    CAreaObject* object = pattern->FindAreaObject(node->m_AreaCode);
    if (object == nullptr)
      return;
    CDlgEditArea4 dialog(pattern, true, false);
    dialog.m_Name = object->m_Name;
    dialog.m_RoundTypeItem1 = node->m_RoundTypeTotal;
    dialog.m_RoundTypeItem2 = node->m_RoundTypeFloor;
    if (dialog.DoModal() != 1)
      return;
    object->m_Name = dialog.m_Name;
    node->m_RoundTypeTotal = dialog.m_RoundTypeItem1;
    node->m_RoundTypeFloor = dialog.m_RoundTypeItem2;
    SetTreeItem();
    return;
  }
  const CAreaTree* first = NodeOf(selection.front());
  if (first == nullptr)
    return;
  CDlgEditArea4 dialog(pattern, false, false);
  dialog.m_RoundTypeItem1 = first->m_RoundTypeTotal;
  dialog.m_RoundTypeItem2 = first->m_RoundTypeFloor;
  if (dialog.DoModal() != 1)
    return;
  for (int treeItem : selection) {
    if (CAreaTree* node = NodeOf(treeItem)) {
      CDlgEditArea4::ApplyRounding(dialog.m_RoundTypeItem1, node->m_RoundTypeTotal);
      CDlgEditArea4::ApplyRounding(dialog.m_RoundTypeItem2, node->m_RoundTypeFloor);
    }
  }
  SetTreeItem();
}
