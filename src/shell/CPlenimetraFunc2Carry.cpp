// The calculation-tree page's actions across a re-read of the document:
// Undo or Redo of a step that changed only the project record puts back a
// record the page did not show, and the page reads it again before the
// user's next action. What the action was aimed at is known by node codes,
// which the re-read keeps while it rebuilds every tree item and row: the
// selected tree items, the selected area-list rows and the value the user
// set on the item. They are set again on the rebuilt view and the action
// goes ahead on the re-read calculation. Figure and automatic-area rows
// are known only by records the re-read replaced, so actions on them are
// refused with a word instead.

#include "CPlenimetraFunc2.h"

#include "CAreaTree.h"
#include "CPlenimetraPalette.h"
#include "CarriedInput.h"

#include <optional>

namespace {

bool IsAreaEditor(short item) { return item >= CPlenimetraFunc2::ITEM_AREA_ITEMTYPE1 && item <= CPlenimetraFunc2::ITEM_AREA_COLOR; }

// The value the message reports, for the actions the page can carry;
// nothing for those it cannot.
std::optional<CarriedInput> InputOf(short dialId, short message, short item)
{
  using Page = CPlenimetraFunc2;
  if (message == DG_MSG_CLICK)
    return (item >= Page::ITEM_BACK && item <= Page::ITEM_TREE_SHOW) || item == Page::ITEM_AREA_COLUMNS
               ? std::optional<CarriedInput>(CarriedInput())
               : std::nullopt;
  if (message != DG_MSG_CHANGE)
    return std::nullopt;
  if (item == Page::ITEM_AREA_NAME || item == Page::ITEM_AREA_EQUATION || item == Page::ITEM_AREA_ORG_AREA)
    return CarriedInput::Text(dialId, item);
  if (item == Page::ITEM_AREA_COLOR || (item >= Page::ITEM_RADIO_AUTO && item <= Page::ITEM_RADIO_DETAIL))
    return CarriedInput::Value(dialId, item);
  if (IsAreaEditor(item))
    return CarriedInput::PopUp(dialId, item);
  if (item == Page::ITEM_TREE || item == Page::ITEM_AREA_LIST)
    return CarriedInput();
  return std::nullopt;
}

// Where each code is shown (find answers 0 where it is not); nothing when
// one is not shown, so that a selection is set back whole or not at all.
template <class Code, class Find>
std::optional<std::vector<Int32>> EveryShown(const std::vector<Code>& codes, Find find)
{
  std::vector<Int32> shown;
  for (const Code& code : codes) {
    const Int32 place = find(code);
    if (place == 0)
      return std::nullopt;
    shown.push_back(place);
  }
  return shown;
}

}  // namespace

bool CPlenimetraFunc2::RefreshBeforeUserAction(short message, short item)
{
  const short dialId = m_PaletteID;
  const std::optional<CarriedInput> input = InputOf(dialId, message, item);
  if (!input)
    return CPlenimetraPage::RefreshBeforeUserAction(message, item);
  const std::vector<int> treeCodes = SelectedTreeCodes(dialId);
  const std::vector<DGUserData> rowCodes = SelectedRowCodes(dialId);
  if (!m_Palette.ReloadBeforeUserAction())
    return false;
  // The re-read set back the view as it was (KeepView); the tree's own
  // change carries its new selection, which the lists then follow, and an
  // editor, which acts on the rows, needs them all.
  bool found = SelectTreeItemsOfCodes(dialId, treeCodes);
  if (found && IsAreaEditor(item))
    found = !rowCodes.empty() && SelectedRowCodes(dialId) == rowCodes;
  // A typed text stays in its cell even when it cannot be taken.
  const bool putBack = input->PutBack(dialId);
  if (found && putBack)
    return false;
  ReportActionNotCarried(NotCarried::TargetGone, input->Shown());
  return true;
}

std::vector<int> CPlenimetraFunc2::SelectedTreeCodes(short dialId) const
{
  std::vector<int> codes;
  for (int treeItem : GetSelTree(dialId))
    if (const CAreaTree* node = NodeOf(dialId, treeItem); node != nullptr)
      codes.push_back(node->m_AreaCode);
  return codes;
}

std::function<void()> CPlenimetraFunc2::KeepView()
{
  const short dialId = m_PaletteID;
  return [this, dialId, treeCodes = SelectedTreeCodes(dialId), rowCodes = SelectedRowCodes(dialId)] {
    if (!SelectTreeItemsOfCodes(dialId, treeCodes))
      return;
    FollowTreeSelection(dialId);
    if (!rowCodes.empty())
      static_cast<void>(SelectRowsOfCodes(dialId, rowCodes));
  };
}

// The rows' node codes, in the list's order.
std::vector<DGUserData> CPlenimetraFunc2::SelectedRowCodes(short dialId) const
{
  std::vector<DGUserData> codes;
  for (int row : GetSelAreaList(dialId))
    codes.push_back(DGListGetItemUserData(dialId, ITEM_AREA_LIST, static_cast<short>(row)));
  return codes;
}

// Selects the rows of the codes as the user would; false, selecting
// nothing, when one of them is no longer listed.
bool CPlenimetraFunc2::SelectRowsOfCodes(short dialId, const std::vector<DGUserData>& codes)
{
  const short count = DGListGetItemCount(dialId, ITEM_AREA_LIST);
  const std::optional<std::vector<Int32>> rows = EveryShown(codes, [&](DGUserData code) {
    for (short row = 1; row <= count; ++row)
      if (DGListGetItemUserData(dialId, ITEM_AREA_LIST, row) == code)
        return Int32{row};
    return Int32{0};
  });
  if (!rows)
    return false;
  DGListDeselectItem(dialId, ITEM_AREA_LIST, DG_ALL_ITEMS);
  for (Int32 row : *rows)
    DGListSelectItem(dialId, ITEM_AREA_LIST, static_cast<short>(row));
  IgnoreSelection ignore(*m_bIgnoreSelection);
  ListChangeSelection(dialId);
  RefreshEditors();
  return true;
}

bool CPlenimetraFunc2::SelectTreeItemsOfCodes(short dialId, const std::vector<int>& codes)
{
  const std::optional<std::vector<Int32>> items =
      EveryShown(codes, [&](int code) { return TreeItemOfCode(dialId, m_TopTreeItem, code); });
  if (!items)
    return false;
  DGTreeViewDeselectItem(dialId, ITEM_TREE, DG_ALL_ITEMS);
  for (Int32 treeItem : *items)
    DGTreeViewSelectItem(dialId, ITEM_TREE, treeItem);
  return true;
}

// Depth first from firstItem and its later siblings; 0 when no item shows
// a node of the code.
Int32 CPlenimetraFunc2::TreeItemOfCode(short dialId, Int32 firstItem, int code) const
{
  for (Int32 treeItem = firstItem; treeItem != 0; treeItem = NextSibling(dialId, treeItem)) {
    if (const CAreaTree* node = NodeOf(dialId, treeItem); node != nullptr && node->m_AreaCode == code)
      return treeItem;
    if (const Int32 child = FirstChild(dialId, treeItem); child != 0)
      if (const Int32 found = TreeItemOfCode(dialId, child, code); found != 0)
        return found;
  }
  return 0;
}
