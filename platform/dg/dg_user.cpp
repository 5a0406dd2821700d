// The user's side: every action changes what the user changed, then
// delivers the messages the host would send for it. Actions the window
// cannot take (an unknown item, a row that is not there) are recorded as
// misuses like the add-on's, so a script's mistake shows.

#include "dg_internal.h"

#include <algorithm>
#include <cstdint>

namespace pln::host {
namespace {

using namespace dg;

// Whether the window can take the action. A window that no longer exists
// refuses it with a misuse: the message would reach an object that may be
// gone with its window. One that is closing stays silent (its close
// message is on the way).
bool Live(short dialId, const char* action)
{
  const DGDialogState* window = FindDialog(dialId);
  if (window == nullptr && dialId != 0)
    Misuse(action, "window " + std::to_string(dialId) + " does not exist");
  return window != nullptr && !window->closing;
}

DGItemState* UserItem(const char* action, short dialId, short item, std::initializer_list<DGItemKind> kinds)
{
  DGItemState* state = FindItem(dialId, item);
  if (state == nullptr) {
    Misuse(action, "no item " + std::to_string(item) + " in dialog " + std::to_string(dialId));
    return nullptr;
  }
  if (kinds.size() != 0 && std::find(kinds.begin(), kinds.end(), state->def.kind) == kinds.end()) {
    Misuse(action, "item " + std::to_string(item) + " does not take this action");
    return nullptr;
  }
  return state;
}

bool CanSelect(const char* action, std::size_t count, bool single)
{
  if (single && count > 1) {
    Misuse(action, "several items chosen in a single-selection item");
    return false;
  }
  return true;
}

bool RowsExist(const char* action, const DGListState& list, const std::vector<short>& rows)
{
  for (short row : rows)
    if (row < 1 || static_cast<std::size_t>(row) > list.rows.size()) {
      Misuse(action, "no row " + std::to_string(row));
      return false;
    }
  return true;
}

bool TreeItemsExist(const char* action, const DGTreeState& tree, const std::vector<Int32>& items)
{
  for (Int32 item : items)
    if (item == DG_TVI_ROOT || tree.items.count(item) == 0) {
      Misuse(action, "no tree item " + std::to_string(item));
      return false;
    }
  return true;
}

DGMessageData Address(const void* record)
{
  return static_cast<DGMessageData>(reinterpret_cast<std::intptr_t>(record));
}

short TreeChange(short dialId, short tree, short kind, Int32 treeItem)
{
  DG::TreeViewChangeEventArg change{kind, treeItem};
  return Deliver(dialId, DG_MSG_CHANGE, tree, Address(&change));
}

// The user opens or closes a tree item: the item changes first, then the
// dialog hears of it.
short ExpandOrCollapse(const char* action, short dialId, short tree, Int32 treeItem, bool expand)
{
  DGItemState* state = UserItem(action, dialId, tree, {DGItemKind::TreeView});
  if (state == nullptr || !TreeItemsExist(action, state->tree, {treeItem}))
    return 0;
  state->tree.items.at(treeItem).expanded = expand;
  return TreeChange(dialId, tree, expand ? DG_TVCF_EXPANDED : DG_TVCF_COLLAPSED, treeItem);
}

short Header(short dialId, short message, short list, DG::ListBoxHeaderEventArg header)
{
  return Deliver(dialId, message, list, Address(&header));
}

// Moves the end of the tab field by change and every later field with it.
void ResizeTabField(DGListState& list, short tabField, short change)
{
  for (std::size_t i = static_cast<std::size_t>(tabField - 1); i < list.tabFields.size(); ++i) {
    DGTabFieldData& data = list.tabFields[i].data;
    if (i + 1 != static_cast<std::size_t>(tabField))
      data.begin = static_cast<short>(data.begin + change);
    data.end = static_cast<short>(data.end + change);
  }
}

}  // namespace

bool DialogUser::IsOpen() const
{
  const DGDialogState* window = FindDialog(dialId_);
  return window != nullptr && !window->closing;
}

DialogUser DialogUser::TabPage(short tabControl, short tabIndex) const
{
  const DGItemState* control = UserItem("TabPage", dialId_, tabControl, {DGItemKind::TabControl});
  if (control == nullptr || tabIndex < 1 || static_cast<std::size_t>(tabIndex) > control->tabPageIds.size())
    return DialogUser(0);
  return DialogUser(control->tabPageIds[static_cast<std::size_t>(tabIndex - 1)]);
}

short DialogUser::Click(short item)
{
  if (!Live(dialId_, __func__))
    return 0;
  DGItemState* state = nullptr;
  if (item != DG_CLOSEBOX && (state = UserItem("Click", dialId_, item, {})) == nullptr)
    return 0;
  if (state != nullptr && state->def.kind == DGItemKind::ValueButton)
    state->valLong = 1;
  const short owner = CallbackOwner(dialId_);
  const short answer = Deliver(dialId_, DG_MSG_CLICK, item, 0);
  if (answer != 0)
    CloseWindow(owner, answer);
  return answer;
}

short DialogUser::DoubleClick(short item)
{
  if (!Live(dialId_, __func__) || UserItem("DoubleClick", dialId_, item, {}) == nullptr)
    return 0;
  return Deliver(dialId_, DG_MSG_DOUBLECLICK, item, 0);
}

short DialogUser::SetLong(short item, Int32 value)
{
  if (!Live(dialId_, __func__))
    return 0;
  DGItemState* state = UserItem("SetLong", dialId_, item,
                                {DGItemKind::LongEdit, DGItemKind::CheckBox, DGItemKind::RadioButton,
                                 DGItemKind::UserControl, DGItemKind::PopUp});
  if (state == nullptr)
    return 0;
  if (state->def.kind == DGItemKind::PopUp && (value < 1 || static_cast<std::size_t>(value) > state->entries.size())) {
    Misuse("SetLong", "no pop-up entry " + std::to_string(value));
    return 0;
  }
  if (state->def.kind == DGItemKind::LongEdit)
    value = std::clamp(value, state->def.minLong, state->def.maxLong);
  StoreLong(dialId_, *state, value);
  return Deliver(dialId_, DG_MSG_CHANGE, item, 0);
}

short DialogUser::SetDouble(short item, double value)
{
  if (!Live(dialId_, __func__))
    return 0;
  DGItemState* state = UserItem("SetDouble", dialId_, item, {DGItemKind::DoubleEdit});
  if (state == nullptr)
    return 0;
  state->valDouble = value;
  return Deliver(dialId_, DG_MSG_CHANGE, item, 0);
}

short DialogUser::SetText(short item, const GS::UniString& text)
{
  if (!Live(dialId_, __func__))
    return 0;
  DGItemState* state = UserItem("SetText", dialId_, item, {DGItemKind::TextEdit});
  if (state == nullptr)
    return 0;
  state->text = text;
  return Deliver(dialId_, DG_MSG_CHANGE, item, 0);
}

short DialogUser::Track(short item, Int32 value)
{
  if (!Live(dialId_, __func__))
    return 0;
  DGItemState* state = UserItem("Track", dialId_, item, {DGItemKind::UserControl, DGItemKind::LongEdit});
  if (state == nullptr)
    return 0;
  state->valLong = value;
  return Deliver(dialId_, DG_MSG_TRACK, item, 0);
}

short DialogUser::SelectTab(short tabControl, short tabIndex)
{
  if (!Live(dialId_, __func__))
    return 0;
  DGItemState* state = UserItem("SelectTab", dialId_, tabControl, {DGItemKind::TabControl});
  if (state == nullptr)
    return 0;
  if (tabIndex < 1 || static_cast<std::size_t>(tabIndex) > state->tabPageIds.size()) {
    Misuse("SelectTab", "no tab page " + std::to_string(tabIndex));
    return 0;
  }
  state->valLong = tabIndex;
  return Deliver(dialId_, DG_MSG_CHANGE, tabControl, 0);
}

short DialogUser::SelectRows(short list, const std::vector<short>& rows)
{
  if (!Live(dialId_, __func__))
    return 0;
  DGItemState* state = UserItem("SelectRows", dialId_, list, {DGItemKind::ListBox});
  if (state == nullptr || !RowsExist("SelectRows", state->list, rows) ||
      !CanSelect("SelectRows", rows.size(), state->def.singleSelection))
    return 0;
  SelectOnlyRows(state->list, rows);
  return Deliver(dialId_, DG_MSG_CHANGE, list, 0);
}

short DialogUser::SelectTreeItems(short tree, const std::vector<Int32>& treeItems)
{
  if (!Live(dialId_, __func__))
    return 0;
  DGItemState* state = UserItem("SelectTreeItems", dialId_, tree, {DGItemKind::TreeView});
  if (state == nullptr || !TreeItemsExist("SelectTreeItems", state->tree, treeItems) ||
      !CanSelect("SelectTreeItems", treeItems.size(), state->def.singleSelection))
    return 0;
  SelectOnlyTreeItems(state->tree, treeItems);
  return TreeChange(dialId_, tree, DG_TVCF_SELECTION, treeItems.empty() ? 0 : treeItems.front());
}

short DialogUser::ExpandTreeItem(short tree, Int32 treeItem)
{
  return Live(dialId_, __func__) ? ExpandOrCollapse("ExpandTreeItem", dialId_, tree, treeItem, true) : 0;
}

short DialogUser::CollapseTreeItem(short tree, Int32 treeItem)
{
  return Live(dialId_, __func__) ? ExpandOrCollapse("CollapseTreeItem", dialId_, tree, treeItem, false) : 0;
}

short DialogUser::HeaderClick(short list, short headerItem)
{
  if (!Live(dialId_, __func__))
    return 0;
  const DGItemState* state = UserItem("HeaderClick", dialId_, list, {DGItemKind::ListBox});
  if (state == nullptr || headerItem < 1 || headerItem > HeaderCount(state->list)) {
    Misuse("HeaderClick", "no header item " + std::to_string(headerItem));
    return 0;
  }
  return Header(dialId_, DG_MSG_LISTHEADERCLICK, list, {0, headerItem, 0});
}

short DialogUser::HeaderResize(short list, short headerItem, short widthChange)
{
  if (!Live(dialId_, __func__))
    return 0;
  DGItemState* state = UserItem("HeaderResize", dialId_, list, {DGItemKind::ListBox});
  if (state == nullptr || headerItem < 1 || static_cast<std::size_t>(headerItem) > state->list.tabFields.size()) {
    Misuse("HeaderResize", "no tab field under header item " + std::to_string(headerItem));
    return 0;
  }
  ResizeTabField(state->list, headerItem, widthChange);
  const short answer = Header(dialId_, DG_MSG_LISTHEADERRESIZE, list, {1, headerItem, widthChange});
  Header(dialId_, DG_MSG_LISTHEADERRESIZE, list, {2, headerItem, 0});
  return answer;
}

short DialogUser::SendDragDrop(short item, DG::DragDropEventArg& arg)
{
  if (!Live(dialId_, __func__))
    return 0;
  return Deliver(dialId_, DG_MSG_DRAGDROP, item, Address(&arg));
}

short DialogUser::DragAndDrop(short sourceItem, short targetItem, Int32 insertPos, short relativePos)
{
  if (!Live(dialId_, __func__) || UserItem("DragAndDrop", dialId_, sourceItem, {}) == nullptr ||
      UserItem("DragAndDrop", dialId_, targetItem, {}) == nullptr)
    return 0;
  DG::DragDropEventArg arg;
  const auto send = [&](short item, short subMessage) {
    arg.subMessage = subMessage;
    return SendDragDrop(item, arg);
  };
  if (send(sourceItem, DG_DRAG_STARTING) == 0)
    return 0;
  send(sourceItem, DG_DRAG_START);
  arg.insertPos = insertPos;
  arg.relativePos = relativePos;
  send(targetItem, DG_DRAG_ENTER);
  send(targetItem, DG_DRAG_OVER);
  const short answer = send(targetItem, DG_DRAG_DROP);
  send(sourceItem, DG_DRAG_END);
  return answer;
}

short DialogUser::Resize(short hGrow, short vGrow)
{
  if (!Live(dialId_, __func__))
    return 0;
  DGDialogState* window = FindDialog(dialId_);
  window->width = static_cast<short>(window->width + hGrow);
  window->height = static_cast<short>(window->height + vGrow);
  DG::ResizeEventArg resize{1, hGrow, vGrow};
  return Deliver(dialId_, DG_MSG_RESIZE, 0, Address(&resize));
}

// Low 16 bits the horizontal growth, the next 16 the vertical one, as the
// callback unpacks them (an arithmetic shift keeps the sign).
short DialogUser::Grow(short hGrow, short vGrow)
{
  if (!Live(dialId_, __func__))
    return 0;
  const auto low = static_cast<UInt32>(static_cast<UInt16>(hGrow));
  const auto high = static_cast<UInt32>(static_cast<UInt16>(vGrow)) << 16;
  const auto packed = static_cast<Int32>(low | high);
  return Deliver(dialId_, DG_MSG_GROW, 0, static_cast<DGMessageData>(packed));
}

short DialogUser::SplitterDrag(short splitter, short from, short to)
{
  if (!Live(dialId_, __func__) || UserItem("SplitterDrag", dialId_, splitter, {DGItemKind::Splitter}) == nullptr)
    return 0;
  DG::SplitterDragEventArg drag{0, from};
  Deliver(dialId_, DG_MSG_SPLITTERDRAG, splitter, Address(&drag));
  drag = {1, to};
  Deliver(dialId_, DG_MSG_SPLITTERDRAG, splitter, Address(&drag));
  drag = {2, to};
  Deliver(dialId_, DG_MSG_SPLITTERDRAG, splitter, Address(&drag));
  return 0;
}

short DialogUser::Activate(bool active)
{
  return Live(dialId_, __func__) ? Deliver(dialId_, DG_MSG_ACTIVATE, 0, active ? 1 : 0) : 0;
}

short DialogUser::HotKey(short key) { return Live(dialId_, __func__) ? Deliver(dialId_, DG_MSG_HOTKEY, key, 0) : 0; }

short DialogUser::TopStatusChange(bool isTop)
{
  if (!Live(dialId_, __func__))
    return 0;
  DG::PanelTopStatusChangeEventArg status{isTop};
  return Deliver(dialId_, DG_MSG_TOPSTATUSCHANGE, 0, Address(&status));
}

NewDisplay::DrawSurface DialogUser::DrawListCell(short list, short row, short tabField, double width, double height)
{
  NewDisplay::DrawSurface surface{width, height, {}};
  if (!Live(dialId_, __func__))
    return surface;
  const DGItemState* state = UserItem("DrawListCell", dialId_, list, {DGItemKind::ListBox});
  if (state == nullptr || row < 1 || static_cast<std::size_t>(row) > state->list.rows.size()) {
    Misuse("DrawListCell", "no row " + std::to_string(row));
    return surface;
  }
  // The host asks only owner-drawn tab fields to draw themselves.
  const auto& fields = state->list.tabFields;
  if (tabField < 1 || static_cast<std::size_t>(tabField) > fields.size() ||
      !fields[static_cast<std::size_t>(tabField - 1)].ownerDraw) {
    Misuse("DrawListCell", "tab field " + std::to_string(tabField) + " is not owner-drawn");
    return surface;
  }
  DG::ItemUpdateEventArg update{row, tabField, &surface};
  Deliver(dialId_, DG_MSG_UPDATE, list, Address(&update));
  return surface;
}

NewDisplay::DrawSurface DialogUser::DrawUserItem(short item, double width, double height)
{
  NewDisplay::DrawSurface surface{width, height, {}};
  if (!Live(dialId_, __func__) || UserItem("DrawUserItem", dialId_, item, {DGItemKind::UserItem}) == nullptr)
    return surface;
  DG::ItemUpdateEventArg update{0, 0, &surface};
  Deliver(dialId_, DG_MSG_UPDATE, item, Address(&update));
  return surface;
}

NewDisplay::DrawSurface DialogUser::PaintBackground(double width, double height)
{
  NewDisplay::DrawSurface surface{width, height, {}};
  if (!Live(dialId_, __func__))
    return surface;
  DG::PanelBackgroundPaintEventArg paint{&surface};
  Deliver(dialId_, DG_MSG_BACKGROUNDPAINT, 0, Address(&paint));
  return surface;
}

short DialogUser::Send(short message, short item, DGMessageData msgData)
{
  return Live(dialId_, __func__) ? Deliver(dialId_, message, item, msgData) : 0;
}

}  // namespace pln::host
