// Tree views: items with their parent and children, texts, user data,
// icons, expansion and selection. Display order is depth first, children
// in their order, whatever is collapsed.

#include "dg_internal.h"
#include "dg_manager.h"

#include <algorithm>

using namespace pln::host;
using namespace pln::host::dg;

namespace {

DGTreeState* Tree(const char* call, short dialId, short tree)
{
  DGItemState* state = ItemOf(call, dialId, tree, {DGItemKind::TreeView});
  return state != nullptr ? &state->tree : nullptr;
}

// A real item (not the root) of the tree view.
DGTreeItem* TreeItem(const char* call, short dialId, short tree, Int32 treeItem)
{
  DGTreeState* state = Tree(call, dialId, tree);
  if (state == nullptr)
    return nullptr;
  const auto found = state->items.find(treeItem);
  if (treeItem == DG_TVI_ROOT || found == state->items.end()) {
    Misuse(call, "no tree item " + std::to_string(treeItem) + " in tree view " + std::to_string(tree));
    return nullptr;
  }
  return &found->second;
}

void DisplayOrder(const DGTreeState& tree, Int32 parent, std::vector<Int32>& order)
{
  for (Int32 child : tree.items.at(parent).children) {
    order.push_back(child);
    DisplayOrder(tree, child, order);
  }
}

std::vector<Int32> SelectedInDisplayOrder(const DGTreeState& tree)
{
  std::vector<Int32> order;
  DisplayOrder(tree, DG_TVI_ROOT, order);
  std::erase_if(order, [&tree](Int32 item) { return !tree.items.at(item).selected; });
  return order;
}

void EraseSubtree(DGTreeState& tree, Int32 item)
{
  const std::vector<Int32> children = tree.items.at(item).children;
  for (Int32 child : children)
    EraseSubtree(tree, child);
  tree.items.erase(item);
}

// The sibling at offset (+1 next, -1 previous); 0 when none.
Int32 Sibling(const DGTreeState& tree, Int32 treeItem, int offset)
{
  const auto& siblings = tree.items.at(tree.items.at(treeItem).parent).children;
  const auto at = std::find(siblings.begin(), siblings.end(), treeItem) - siblings.begin();
  const auto wanted = at + offset;
  if (wanted < 0 || wanted >= static_cast<std::ptrdiff_t>(siblings.size()))
    return 0;
  return siblings[static_cast<std::size_t>(wanted)];
}

}  // namespace

namespace pln::host::dg {

void SelectOnlyTreeItems(DGTreeState& tree, const std::vector<Int32>& treeItems)
{
  for (auto& [id, item] : tree.items)
    item.selected = false;
  for (Int32 id : treeItems)
    tree.items.at(id).selected = true;
}

}  // namespace pln::host::dg

Int32 DGTreeViewInsertItem(short dialId, short tree, Int32 parent, Int32 insertAfter)
{
  DGTreeState* state = Tree("DGTreeViewInsertItem", dialId, tree);
  if (state == nullptr)
    return 0;
  const auto parentFound = state->items.find(parent);
  if (parentFound == state->items.end()) {
    Misuse("DGTreeViewInsertItem", "no parent item " + std::to_string(parent));
    return 0;
  }
  auto& siblings = parentFound->second.children;
  auto place = siblings.end();
  if (insertAfter == DG_TVI_TOP) {
    place = siblings.begin();
  } else if (insertAfter != DG_TVI_BOTTOM) {
    place = std::find(siblings.begin(), siblings.end(), insertAfter);
    if (place == siblings.end()) {
      Misuse("DGTreeViewInsertItem", "item " + std::to_string(insertAfter) + " is not a child of the parent");
      return 0;
    }
    ++place;
  }
  const Int32 id = state->nextItem++;
  siblings.insert(place, id);
  state->items[id].parent = parent;
  return id;
}

void DGTreeViewDeleteItem(short dialId, short tree, Int32 treeItem)
{
  if (treeItem == DG_ALL_ITEMS) {
    if (DGTreeState* state = Tree("DGTreeViewDeleteItem", dialId, tree)) {
      state->items.clear();
      state->items[DG_TVI_ROOT] = DGTreeItem{};
    }
    return;
  }
  DGTreeItem* item = TreeItem("DGTreeViewDeleteItem", dialId, tree, treeItem);
  if (item == nullptr)
    return;
  DGTreeState& state = FindItem(dialId, tree)->tree;
  std::erase(state.items.at(item->parent).children, treeItem);
  EraseSubtree(state, treeItem);
}

void DGTreeViewSetItemText(short dialId, short tree, Int32 treeItem, const GS::UniString& text)
{
  if (DGTreeItem* item = TreeItem("DGTreeViewSetItemText", dialId, tree, treeItem))
    item->text = text;
}

GS::UniString DGTreeViewGetItemText(short dialId, short tree, Int32 treeItem)
{
  const DGTreeItem* item = TreeItem("DGTreeViewGetItemText", dialId, tree, treeItem);
  return item != nullptr ? item->text : GS::UniString();
}

void DGTreeViewSetItemUserData(short dialId, short tree, Int32 treeItem, DGUserData userData)
{
  if (DGTreeItem* item = TreeItem("DGTreeViewSetItemUserData", dialId, tree, treeItem))
    item->userData = userData;
}

DGUserData DGTreeViewGetItemUserData(short dialId, short tree, Int32 treeItem)
{
  const DGTreeItem* item = TreeItem("DGTreeViewGetItemUserData", dialId, tree, treeItem);
  return item != nullptr ? item->userData : 0;
}

void DGTreeViewSetItemIcon(short dialId, short tree, Int32 treeItem, const DG::Icon& icon)
{
  if (DGTreeItem* item = TreeItem("DGTreeViewSetItemIcon", dialId, tree, treeItem))
    item->icon = icon;
}

void DGTreeViewExpandItem(short dialId, short tree, Int32 treeItem)
{
  if (DGTreeItem* item = TreeItem("DGTreeViewExpandItem", dialId, tree, treeItem))
    item->expanded = true;
}

void DGTreeViewCollapseItem(short dialId, short tree, Int32 treeItem)
{
  if (DGTreeItem* item = TreeItem("DGTreeViewCollapseItem", dialId, tree, treeItem))
    item->expanded = false;
}

bool DGTreeViewIsItemExpanded(short dialId, short tree, Int32 treeItem)
{
  const DGTreeItem* item = TreeItem("DGTreeViewIsItemExpanded", dialId, tree, treeItem);
  return item != nullptr && item->expanded;
}

Int32 DGTreeViewGetItem(short dialId, short tree, Int32 treeItem, short relation)
{
  const DGTreeItem* item = TreeItem("DGTreeViewGetItem", dialId, tree, treeItem);
  if (item == nullptr)
    return 0;
  const DGTreeState& state = FindItem(dialId, tree)->tree;
  switch (relation) {
    case DG_TVG_CHILD:
      return item->children.empty() ? 0 : item->children.front();
    case DG_TVG_NEXT:
      return Sibling(state, treeItem, +1);
    case DG_TVG_PARENT:
      return item->parent;
    case DG_TVG_PREVIOUS:
      return Sibling(state, treeItem, -1);
    default:
      Misuse("DGTreeViewGetItem", "unknown relation " + std::to_string(relation));
      return 0;
  }
}

Int32 DGTreeViewGetItemCount(short dialId, short tree)
{
  const DGTreeState* state = Tree("DGTreeViewGetItemCount", dialId, tree);
  return state != nullptr ? static_cast<Int32>(state->items.size() - 1) : 0;
}

void DGTreeViewSelectItem(short dialId, short tree, Int32 treeItem)
{
  DGTreeItem* item = TreeItem("DGTreeViewSelectItem", dialId, tree, treeItem);
  if (item == nullptr)
    return;
  DGItemState* view = FindItem(dialId, tree);
  if (view->def.singleSelection)
    SelectOnlyTreeItems(view->tree, {});
  item->selected = true;
}

void DGTreeViewDeselectItem(short dialId, short tree, Int32 treeItem)
{
  if (treeItem == DG_ALL_ITEMS) {
    if (DGTreeState* state = Tree("DGTreeViewDeselectItem", dialId, tree))
      SelectOnlyTreeItems(*state, {});
    return;
  }
  if (DGTreeItem* item = TreeItem("DGTreeViewDeselectItem", dialId, tree, treeItem))
    item->selected = false;
}

Int32 DGTreeViewGetSelCount(short dialId, short tree)
{
  const DGTreeState* state = Tree("DGTreeViewGetSelCount", dialId, tree);
  return state != nullptr ? static_cast<Int32>(SelectedInDisplayOrder(*state).size()) : 0;
}

Int32 DGTreeViewGetSelItems(short dialId, short tree, Int32* treeItems, Int32 maxCount)
{
  const DGTreeState* state = Tree("DGTreeViewGetSelItems", dialId, tree);
  if (state == nullptr)
    return 0;
  Int32 written = 0;
  for (Int32 item : SelectedInDisplayOrder(*state)) {
    if (written >= maxCount)
      break;
    treeItems[written++] = item;
  }
  return written;
}

Int32 DGTreeViewGetSelected(short dialId, short tree, Int32 afterItem)
{
  const DGTreeState* state = Tree("DGTreeViewGetSelected", dialId, tree);
  if (state == nullptr)
    return 0;
  std::vector<Int32> order;
  DisplayOrder(*state, DG_TVI_ROOT, order);
  auto from = order.begin();
  if (afterItem != DG_TVI_ROOT) {
    from = std::find(order.begin(), order.end(), afterItem);
    if (from == order.end()) {
      Misuse("DGTreeViewGetSelected", "no tree item " + std::to_string(afterItem));
      return 0;
    }
    ++from;
  }
  const auto found = std::find_if(from, order.end(), [state](Int32 item) { return state->items.at(item).selected; });
  return found != order.end() ? *found : 0;
}
