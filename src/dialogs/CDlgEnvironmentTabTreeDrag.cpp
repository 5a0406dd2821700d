// Moving items of the pattern tree by drag and drop. A move copies the
// dragged node with its subtree to the drop place and then erases the
// dragged node: codes, objects, children and the expanded state are kept.
// Refused: a drop whose target has no folder above it (on, above or below
// the root), a drop beside the root's only folder, a drop inside the dragged subtree or on the dragged item, and
// a drop on an element.

#include "CDlgEnvironmentTabTree.h"

#include "CPlenimetraParam.h"
#include "GSWriteReport.h"
#include "host_debug.h"

namespace {

constexpr short kTree = 13;

const char* SubMessageName(short subMessage)
{
  static const char* const names[] = {"DG_DRAG_STARTING", "DG_DRAG_START", "DG_DRAG_END",  "DG_DRAG_SETDELAYEDDATA",
                                      "DG_DRAG_ENTER",    "DG_DRAG_OVER",  "DG_DRAG_LEAVE", "DG_DRAG_DROP"};
  return subMessage >= 0 && subMessage <= DG_DRAG_DROP ? names[subMessage] : "DG_DRAG_?";
}

// What the page answers the host while a drag passes over the tree.
constexpr short kEnterEffect = 7;

}  // namespace

short CDlgEnvironmentTabTree::DoMsgDragDrop(short item, DG::DragDropEventArg* arg)
{
  if (item != kTree || arg == nullptr)
    return 0;
  DBPrintf("%s\n", SubMessageName(arg->subMessage));
  switch (arg->subMessage) {
  case DG_DRAG_STARTING:
    return 1;
  case DG_DRAG_ENTER:
    arg->effect = kEnterEffect;
    return 0;
  case DG_DRAG_OVER:
    arg->feedback = 0;
    return 0;
  case DG_DRAG_DROP:
    DoDrop(*arg);
    return 0;
  default:
    return 0;
  }
}

bool CDlgEnvironmentTabTree::CheckDelete(int treeItem) const
{
  if (treeItem == 0)
    return false;
  for (Int32 up = DGTreeViewGetItem(m_DialogID, kTree, treeItem, DG_TVG_PARENT); up != 0;
       up = DGTreeViewGetItem(m_DialogID, kTree, up, DG_TVG_PARENT)) {
    const CAreaTree* node = NodeOf(up);
    if (node != nullptr && node->m_DeleteMask)
      return true;
  }
  return false;
}

void CDlgEnvironmentTabTree::DoDrop(const DG::DragDropEventArg& arg)
{
  const Int32 target = arg.insertPos;
  CPlenimetraParam* pattern = CurrentPattern();
  const Int32 dragged = DGTreeViewGetSelected(m_DialogID, kTree, DG_TVI_ROOT);
  const CAreaTree* moved = NodeOf(dragged);
  const CAreaTree* onto = NodeOf(target);
  if (pattern == nullptr || moved == nullptr || onto == nullptr)
    return;
  DBPrintf("insert %d %s\n", static_cast<int>(target),
           DGTreeViewGetItemText(m_DialogID, kTree, target).ToStdString(CC_UTF8).c_str());
  const short where = arg.relativePos;
  if (where != DG_DRAG_INSERT_ON && where != DG_DRAG_INSERT_UNDER && where != DG_DRAG_INSERT_ABOVE)
    return;

  const CAreaTree* parent = NodeOf(DGTreeViewGetItem(m_DialogID, kTree, target, DG_TVG_PARENT));
  if (parent == nullptr || parent->m_AreaCode < 1) {
    GSWriteReport(GS::UniString(u"小計項目以外の項目に移動することはできません"));
    return;
  }
  if (where != DG_DRAG_INSERT_ON && RefuseRootChildEdit(*pattern, parent, u"この項目に移動することはできません。"))
    return;
  const CAreaTree copy = *moved;
  const int targetCode = onto->m_AreaCode;
  CAreaTree& tree = pattern->m_AreaTree2;
  tree.DeleteMask(moved->m_AreaCode);
  const bool refused = CheckDelete(target) || target == dragged ||
                       (where == DG_DRAG_INSERT_ON && targetCode < 0);
  // Insert first; the dragged node goes only once its copy has a place.
  bool inserted = false;
  if (!refused) {
    switch (where) {
    case DG_DRAG_INSERT_ON: inserted = tree.MoveChild(targetCode, copy); break;
    case DG_DRAG_INSERT_UNDER: inserted = tree.MoveUnder(targetCode, copy); break;
    default: inserted = tree.MoveAbove(targetCode, copy); break;
    }
  }
  if (!inserted) {
    tree.ClearDeleteMask();
    GSWriteReport(GS::UniString(u"この項目に移動することはできません"));
    return;
  }
  tree.Delete();
  SetTreeItem();
}
