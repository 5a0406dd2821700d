#include "dg_internal.h"

#include "dg_filedialog.h"
#include "host_calllog.h"

#include <algorithm>

namespace pln::host::dg {
namespace {

const char* KindName(DGItemKind kind)
{
  switch (kind) {
    case DGItemKind::Button: return "button";
    case DGItemKind::CheckBox: return "check box";
    case DGItemKind::RadioButton: return "radio button";
    case DGItemKind::LongEdit: return "long edit";
    case DGItemKind::DoubleEdit: return "double edit";
    case DGItemKind::TextEdit: return "text edit";
    case DGItemKind::StaticText: return "static text";
    case DGItemKind::PopUp: return "pop-up";
    case DGItemKind::ListBox: return "list box";
    case DGItemKind::TreeView: return "tree view";
    case DGItemKind::UserControl: return "user control";
    case DGItemKind::TabControl: return "tab control";
    case DGItemKind::Splitter: return "splitter";
    case DGItemKind::Icon: return "icon";
    case DGItemKind::UserItem: return "user item";
    case DGItemKind::ValueButton: return "value button";
  }
  return "item";
}

// Ids stay unique while the host runs; after the last short they start
// again at 1, skipping windows still open.
short NewWindowId()
{
  Registry& registry = TheRegistry();
  do {
    registry.lastId = registry.lastId == 32767 ? 1 : static_cast<short>(registry.lastId + 1);
  } while (registry.windows.count(registry.lastId) != 0);
  return registry.lastId;
}

}  // namespace

DGItemState MakeItem(const DGItemDef& def)
{
  DGItemState item;
  item.def = def;
  item.left = def.left;
  item.top = def.top;
  item.right = def.right;
  item.bottom = def.bottom;
  if (def.kind == DGItemKind::TabControl && !def.tabPages.empty())
    item.valLong = 1;  // the first tab shows
  item.tree.items[DG_TVI_ROOT] = DGTreeItem{};
  return item;
}

namespace {

// A window or page of the resource, not yet in the registry.
DGDialogState MakeWindow(short id, short resId, const DGDialogDef& def, DGWindowKind kind)
{
  DGDialogState window;
  window.id = id;
  window.resId = resId;
  window.kind = kind;
  window.width = def.width;
  window.height = def.height;
  for (const DGItemDef& itemDef : def.items)
    window.items[itemDef.item] = MakeItem(itemDef);
  return window;
}

// Gives every tab control of the window its page panels.
void OpenTabPages(const char* call, DGDialogState& window)
{
  Registry& registry = TheRegistry();
  for (auto& [number, item] : window.items) {
    for (short pageResId : item.def.tabPages) {
      const auto found = registry.resources.find(pageResId);
      if (found == registry.resources.end()) {
        Misuse(call, "tab page resource " + std::to_string(pageResId) + " is not declared");
        item.tabPageIds.push_back(0);
        continue;
      }
      const short pageId = NewWindowId();
      DGDialogState page = MakeWindow(pageId, pageResId, found->second, DGWindowKind::TabPage);
      page.ownerId = window.id;
      registry.windows.emplace(pageId, std::move(page));
      item.tabPageIds.push_back(pageId);
    }
  }
}

// A long session opens dialogs without end: once the openings reach the
// limit, those of closed windows are forgotten. Open ones always stay, for
// they are how a window is found by its resource.
constexpr std::size_t kOpeningsLimit = 256;

void ForgetClosedOpenings(std::vector<DGOpening>& openings)
{
  if (openings.size() >= kOpeningsLimit)
    std::erase_if(openings, [](const DGOpening& opening) { return !opening.open; });
}

void EraseWindow(short dialId)
{
  Registry& registry = TheRegistry();
  std::vector<short> pages;
  for (const auto& [id, window] : registry.windows)
    if (window.ownerId == dialId)
      pages.push_back(id);
  for (short page : pages)
    registry.windows.erase(page);
  registry.windows.erase(dialId);
}

}  // namespace

Registry& TheRegistry()
{
  static Registry registry;
  return registry;
}

void Misuse(const char* call, const std::string& reason)
{
  TheRegistry().misuses.push_back(std::string(call) + ": " + reason);
}

DGDialogState* FindDialog(short dialId)
{
  auto& windows = TheRegistry().windows;
  const auto found = windows.find(dialId);
  return found == windows.end() ? nullptr : &found->second;
}

DGItemState* FindItem(short dialId, short item)
{
  DGDialogState* window = FindDialog(dialId);
  if (window == nullptr)
    return nullptr;
  const auto found = window->items.find(item);
  return found == window->items.end() ? nullptr : &found->second;
}

DGDialogState* Dialog(const char* call, short dialId)
{
  LogCall(call);
  DGDialogState* window = FindDialog(dialId);
  if (window == nullptr)
    Misuse(call, "no open dialog " + std::to_string(dialId));
  return window;
}

DGItemState* Item(const char* call, short dialId, short item)
{
  DGDialogState* window = Dialog(call, dialId);
  if (window == nullptr)
    return nullptr;
  DGItemState* state = FindItem(dialId, item);
  if (state == nullptr)
    Misuse(call, "no item " + std::to_string(item) + " in dialog " + std::to_string(dialId));
  return state;
}

DGItemState* ItemOf(const char* call, short dialId, short item, std::initializer_list<DGItemKind> kinds)
{
  DGItemState* state = Item(call, dialId, item);
  if (state == nullptr)
    return nullptr;
  if (std::find(kinds.begin(), kinds.end(), state->def.kind) == kinds.end()) {
    Misuse(call, "item " + std::to_string(item) + " is a " + KindName(state->def.kind));
    return nullptr;
  }
  return state;
}

short CallbackOwner(short dialId)
{
  const DGDialogState* window = FindDialog(dialId);
  if (window == nullptr)
    return 0;
  return window->ownerId != 0 ? window->ownerId : dialId;
}

short Deliver(short dialId, short message, short item, DGMessageData msgData)
{
  const DGDialogState* owner = FindDialog(CallbackOwner(dialId));
  if (owner == nullptr || !owner->processingEvents || owner->callback == nullptr)
    return 0;
  // Copies: the callback may close the window and so free the state.
  const DGDialCallBack callback = owner->callback;
  const DGUserData userData = owner->userData;
  return callback(message, dialId, item, userData, msgData);
}

short OpenWindow(const char* call, short resId, DGWindowKind kind, DGDialCallBack callback, DGUserData userData)
{
  Registry& registry = TheRegistry();
  const auto found = registry.resources.find(resId);
  if (found == registry.resources.end()) {
    Misuse(call, "dialog resource " + std::to_string(resId) + " is not declared");
    return 0;
  }
  const short id = NewWindowId();
  DGDialogState window = MakeWindow(id, resId, found->second, kind);
  window.callback = callback;
  window.userData = userData;
  OpenTabPages(call, window);
  registry.windows.emplace(id, std::move(window));
  ForgetClosedOpenings(registry.openings);
  registry.openings.push_back(DGOpening{resId, id, kind, true, 0});
  return id;
}

void DeliverInit(short dialId)
{
  DGDialogState* window = FindDialog(dialId);
  if (window == nullptr || window->initDelivered)
    return;
  window->initDelivered = true;
  Deliver(dialId, DG_MSG_INIT, 0, 0);
}

void CloseWindow(short dialId, short item)
{
  DGDialogState* window = FindDialog(dialId);
  if (window == nullptr || window->closing)
    return;
  window->closing = true;
  if (DGOpening* opening = OpeningOf(dialId))
    opening->closeItem = item;
  Deliver(dialId, DG_MSG_CLOSE, item, 0);
  EraseWindow(dialId);
  if (DGOpening* opening = OpeningOf(dialId))
    opening->open = false;
}

DGOpening* OpeningOf(short dialId)
{
  auto& openings = TheRegistry().openings;
  for (auto it = openings.rbegin(); it != openings.rend(); ++it)
    if (it->dialId == dialId)
      return &*it;
  return nullptr;
}

DialogScript TakeScript(short resId)
{
  auto& scripts = TheRegistry().scripts;
  const auto found = scripts.find(resId);
  if (found == scripts.end() || found->second.empty())
    return {};
  DialogScript script = std::move(found->second.front());
  found->second.pop_front();
  return script;
}

}  // namespace pln::host::dg

namespace pln::host {

void DefineDialog(short resId, DGDialogDef def) { dg::TheRegistry().resources[resId] = std::move(def); }

void DefineDialog(short resId, const std::vector<std::pair<short, DGItemKind>>& items)
{
  DGDialogDef def;
  for (const auto& [item, kind] : items)
    def.items.push_back(DGItemDef{.item = item, .kind = kind});
  DefineDialog(resId, std::move(def));
}

void QueueDialogScript(short resId, DialogScript script)
{
  dg::TheRegistry().scripts[resId].push_back(std::move(script));
}

std::size_t PendingDialogScripts(short resId)
{
  const auto& scripts = dg::TheRegistry().scripts;
  const auto found = scripts.find(resId);
  return found == scripts.end() ? 0 : found->second.size();
}

short OpenDialogId(short resId)
{
  const auto& openings = dg::TheRegistry().openings;
  for (auto it = openings.rbegin(); it != openings.rend(); ++it)
    if (it->resId == resId && it->open)
      return it->dialId;
  return 0;
}

const std::vector<DGOpening>& DialogOpenings() { return dg::TheRegistry().openings; }

const DGDialogState* DialogState(short dialId) { return dg::FindDialog(dialId); }

const DGItemState* DialogItemState(short dialId, short item) { return dg::FindItem(dialId, item); }

const std::vector<std::string>& DialogMisuses() { return dg::TheRegistry().misuses; }

const IO::Location* HelpLocation(UInt32 developerId, UInt32 localId)
{
  const auto& locations = dg::TheRegistry().helpLocations;
  const auto found = locations.find({developerId, localId});
  return found == locations.end() ? nullptr : &found->second;
}

}  // namespace pln::host

namespace pln::host::internal {

void ResetDialogManager()
{
  dg::TheRegistry() = dg::Registry{};
  ResetFileDialogs();
}

}  // namespace pln::host::internal
