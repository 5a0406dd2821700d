// Dragging on the calculation-tree page: tree items within the tree and
// rows within the area list. A tree move works on a copy: the dragged node
// is marked, the copy inserted at its new place, and only an insert that
// succeeded removes the marked original; otherwise the marks are cleared
// and the tree stays as it was.

#include "CPlenimetraFunc2.h"

#include "CAreaTree.h"
#include "CDlgProgress.h"
#include "CPlenimetraPalette.h"
#include "CPlenimetraParam.h"
#include "GSWriteReport.h"
#include "host_assert.h"
#include "host_notify.h"

#include <algorithm>

namespace {

constexpr short kDropEffect = 7;
constexpr short kAreaListFeedback = 256;

const char16_t* const kNotIntoFolder = u"小計項目以外の項目に移動することはできません";
const char16_t* const kNotHere = u"この項目に移動することはできません";

}  // namespace

short CPlenimetraFunc2::DoMsgDragDrop(short dialId, short item, DG::DragDropEventArg* event)
{
  switch (event->subMessage) {
  case DG_DRAG_STARTING:
    return 1;
  case DG_DRAG_START:
    event->data = 0;
    m_DragSource = item;
    break;
  case DG_DRAG_END:
    if (item == ITEM_TREE || m_DragSource == ITEM_TREE)
      DGRedrawItem(dialId, ITEM_TREE);
    if (item == ITEM_AUTO_LIST || m_DragSource == ITEM_AUTO_LIST)
      DGRedrawItem(dialId, ITEM_AUTO_LIST);
    break;
  case DG_DRAG_ENTER:
    if (item == ITEM_AREA_LIST) {
      event->effect = kDropEffect;
      event->feedback = kAreaListFeedback;
    } else if (item == ITEM_TREE) {
      event->effect = kDropEffect;
    }
    break;
  case DG_DRAG_OVER:
    if (item == ITEM_AREA_LIST)
      event->feedback = kAreaListFeedback;
    else if (item == ITEM_TREE)
      event->feedback = 0;
    break;
  case DG_DRAG_DROP:
    if (item == ITEM_AREA_LIST && m_DragSource == ITEM_AREA_LIST)
      DoMsgDragDropAreaList(dialId, event);
    else if (item == ITEM_TREE && m_DragSource == ITEM_TREE)
      DoMsgDragDropTree(dialId, event);
    else if (item == ITEM_TREE && m_DragSource == ITEM_DETAIL_LIST)
      DoDragDropDetailListToTree(dialId, event);
    else if (item == ITEM_TREE && m_DragSource == ITEM_AUTO_LIST)
      DoDragDropAutoAreaListToTree(dialId, event);
    break;
  default:
    break;
  }
  return 0;
}

bool CPlenimetraFunc2::CheckDelete(short dialId, int treeItem) const
{
  if (treeItem == DG_TVI_ROOT)
    return false;
  for (Int32 up = DGTreeViewGetItem(dialId, ITEM_TREE, treeItem, DG_TVG_PARENT); up != DG_TVI_ROOT;
       up = DGTreeViewGetItem(dialId, ITEM_TREE, up, DG_TVG_PARENT))
    if (const CAreaTree* node = NodeOf(dialId, up); node != nullptr && node->m_DeleteMask)
      return true;
  return false;
}

short CPlenimetraFunc2::DoMsgDragDropTree(short dialId, DG::DragDropEventArg* event)
{
  const Int32 source = DGTreeViewGetSelected(dialId, ITEM_TREE, DG_TVI_ROOT);
  const Int32 target = event->insertPos;
  // No dragged item, or a drop onto or beside itself: nothing moves.
  if (source == 0 || target == 0 || source == target)
    return 0;
  m_pParam->SetUndo2();
  const CAreaTree* dragged = NodeOf(dialId, source);
  const CAreaTree* onto = NodeOf(dialId, target);
  PLN_ASSERT(dragged != nullptr && onto != nullptr);
  const Int32 parentItem = DGTreeViewGetItem(dialId, ITEM_TREE, target, DG_TVG_PARENT);
  const bool intoTarget = event->relativePos == DG_DRAG_INSERT_ON;
  // The top node stands for the whole pattern: a drop onto it moves
  // nothing. Beside it there is no sibling list to join.
  if (intoTarget && parentItem == DG_TVI_ROOT) {
    SetAreaListItem(dialId);
    return 0;
  }
  const CAreaTree* parent = parentItem != DG_TVI_ROOT ? NodeOf(dialId, parentItem) : nullptr;
  if (parent == nullptr || parent->m_AreaCode <= 0) {
    RefuseTreeMove(dialId, kNotIntoFolder, intoTarget);
    return 0;
  }
  MoveTreeNode(dialId, *dragged, target, event->relativePos);
  return 0;
}

void CPlenimetraFunc2::MoveTreeNode(short dialId, const CAreaTree& dragged, Int32 target, short relativePos)
{
  CAreaTree* tree = m_pParam->GetTree();
  const CAreaTree copy = dragged;
  const int targetCode = NodeOf(dialId, target)->m_AreaCode;
  tree->DeleteMask(dragged.m_AreaCode);
  const bool intoTarget = relativePos == DG_DRAG_INSERT_ON;
  if (CheckDelete(dialId, target) || (intoTarget && targetCode < 0)) {
    tree->ClearDeleteMask();
    RefuseTreeMove(dialId, kNotHere, intoTarget);
    return;
  }
  bool inserted = false;
  switch (relativePos) {
  case DG_DRAG_INSERT_ON: inserted = tree->MoveChild(targetCode, copy); break;
  case DG_DRAG_INSERT_UNDER: inserted = tree->MoveUnder(targetCode, copy); break;
  case DG_DRAG_INSERT_ABOVE: inserted = tree->MoveAbove(targetCode, copy); break;
  default: break;
  }
  if (!inserted) {
    tree->ClearDeleteMask();
    RefuseTreeMove(dialId, kNotHere, intoTarget);
    return;
  }
  tree->Delete();
  SetTreeItem(dialId);
  SetAreaListItem(dialId);
  SaveListEdit();
  m_Palette.SetTreeItem();
  EnableItem(dialId);
}

void CPlenimetraFunc2::RefuseTreeMove(short dialId, const char16_t* message, bool intoTarget)
{
  GSWriteReport(GS::UniString(message));
  if (intoTarget)
    SetAreaListItem(dialId);
  else
    EnableItem(dialId);
}

short CPlenimetraFunc2::DoMsgDragDropAreaList(short dialId, DG::DragDropEventArg* event)
{
  if (event->relativePos == DG_DRAG_INSERT_ON) {
    SetAreaListItem(dialId);
    return 0;
  }
  if (event->relativePos != DG_DRAG_INSERT_UNDER && event->relativePos != DG_DRAG_INSERT_ABOVE)
    return 0;
  // The renumbering and the save belong to the step: its undo gives back
  // the order with the record, and its redo brings both again.
  const auto reorder = [&]() -> GSErrCode {
    m_pParam->SetUndo2();
    ReorderAreaRows(dialId, static_cast<short>(event->insertPos));
    return NoError;
  };
  GSWriteFailure(GS::UniString(u"並び順の変更を保存できませんでした。"), RunAsOneStep(GS::UniString(kListStep), reorder, [&] {
    m_pParam->GetTree()->SetItemNo(m_pParam);
    SetAreaListItem(dialId);
    return m_pParam->SaveData();
  }));
  return 0;
}

void CPlenimetraFunc2::ReorderAreaRows(short dialId, short targetRow)
{
  const short rows = DGListGetItemCount(dialId, ITEM_AREA_LIST);
  std::vector<short> selected(static_cast<std::size_t>(DGListGetSelCount(dialId, ITEM_AREA_LIST)));
  selected.resize(static_cast<std::size_t>(
      DGListGetSelItems(dialId, ITEM_AREA_LIST, selected.data(), static_cast<short>(selected.size()))));
  const auto isSelected = [&](short row) { return std::find(selected.begin(), selected.end(), row) != selected.end(); };
  // The moved rows come right after the target row, whichever side it was
  // dropped on.
  std::vector<short> order;
  for (short row = 1; row <= rows && row <= targetRow; ++row)
    if (!isSelected(row))
      order.push_back(row);
  order.insert(order.end(), selected.begin(), selected.end());
  for (short row = static_cast<short>(std::max<int>(targetRow + 1, 1)); row <= rows; ++row)
    if (!isSelected(row))
      order.push_back(row);
  CDlgProgress progress;
  progress.OpenProgress("", false);
  progress.SetRange(rows, "");
  for (std::size_t place = 0; place < order.size(); ++place) {
    CAreaObject* object = m_pParam->GetAreaObject(RowNode(dialId, order[place])->m_AreaCode);
    PLN_ASSERT(object != nullptr);
    object->m_SortIndex = static_cast<int>(place);
    progress.StepIt();
  }
  progress.Close();
}
