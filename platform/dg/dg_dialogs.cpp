// Windows: opening, running, closing, showing, sizes and help locations.

#include "dg_internal.h"
#include "dg_manager.h"

#include "host_calllog.h"

using namespace pln::host;
using namespace pln::host::dg;

namespace {

// What the user does when a modal dialog's script leaves it open: cancel.
constexpr short kCancelItem = 2;

void RunModal(short dialId, short resId)
{
  DeliverInit(dialId);
  if (FindDialog(dialId) != nullptr) {
    if (DialogScript script = TakeScript(resId)) {
      DialogUser user(dialId);
      script(user);
    }
  }
  CloseWindow(dialId, kCancelItem);
}

}  // namespace

short DGModalDialog(GSResModule /*resModule*/, short resId, GSResModule /*iconModule*/, DGDialCallBack callback,
                    DGUserData userData)
{
  LogCall("DGModalDialog");
  const short id = OpenWindow("DGModalDialog", resId, DGWindowKind::Modal, callback, userData);
  if (id == 0)
    return 0;
  RunModal(id, resId);
  const DGOpening* opening = OpeningOf(id);
  return opening != nullptr ? opening->closeItem : 0;
}

short DGModelessInit(GSResModule /*resModule*/, short resId, GSResModule /*iconModule*/, DGDialCallBack callback,
                     DGUserData userData, short /*flag*/)
{
  LogCall("DGModelessInit");
  const short id = OpenWindow("DGModelessInit", resId, DGWindowKind::Modeless, callback, userData);
  if (id != 0)
    DeliverInit(id);
  return id;
}

short DGCreateDockablePalette(GSResModule /*resModule*/, short resId, GSResModule /*iconModule*/,
                              DGDialCallBack callback, DGUserData userData, const GS::Guid& guid)
{
  LogCall("DGCreateDockablePalette");
  const short id = OpenWindow("DGCreateDockablePalette", resId, DGWindowKind::Palette, callback, userData);
  if (DGDialogState* window = FindDialog(id)) {
    window->processingEvents = false;
    window->visible = false;
    window->paletteGuid = guid;
  }
  return id;
}

void DGBeginProcessEvents(short dialId)
{
  DGDialogState* window = Dialog("DGBeginProcessEvents", dialId);
  if (window == nullptr)
    return;
  window->processingEvents = true;
  DeliverInit(dialId);
}

void DGDisablePaletteDock(const GS::Guid& guid, short /*flag*/)
{
  LogCall("DGDisablePaletteDock");
  for (const auto& [id, window] : TheRegistry().windows)
    if (window.kind == DGWindowKind::Palette && window.paletteGuid == guid)
      return;
  Misuse("DGDisablePaletteDock", "no palette with guid " + guid.ToUniString().ToStdString(CC_UTF8));
}

void DGModelessClose(short dialId)
{
  const DGDialogState* window = Dialog("DGModelessClose", dialId);
  if (window == nullptr)
    return;
  if (window->kind == DGWindowKind::Modal || window->kind == DGWindowKind::TabPage) {
    Misuse("DGModelessClose", "dialog " + std::to_string(dialId) + " is not modeless");
    return;
  }
  CloseWindow(dialId, 0);
}

bool DGIsDialogOpen(short dialId)
{
  LogCall("DGIsDialogOpen");
  const DGDialogState* window = FindDialog(dialId);
  return window != nullptr && !window->closing;
}

DGUserData DGGetDialogUserData(short dialId)
{
  const DGDialogState* window = Dialog("DGGetDialogUserData", dialId);
  if (window == nullptr)
    return 0;
  const DGDialogState* owner = FindDialog(CallbackOwner(dialId));
  return owner != nullptr ? owner->userData : 0;
}

void DGShowModelessDialog(short dialId, short /*referenceDialId*/)
{
  if (DGDialogState* window = Dialog("DGShowModelessDialog", dialId))
    window->visible = true;
}

void DGHideModelessDialog(short dialId)
{
  if (DGDialogState* window = Dialog("DGHideModelessDialog", dialId))
    window->visible = false;
}

bool DGIsModelessDialogVisible(short dialId)
{
  const DGDialogState* window = Dialog("DGIsModelessDialogVisible", dialId);
  return window != nullptr && window->visible;
}

void DGSetFocus(short dialId, short item)
{
  DGDialogState* window = Dialog("DGSetFocus", dialId);
  if (window == nullptr)
    return;
  // -1 puts the focus nowhere in particular; any other number names an item.
  if (item != -1 && item != 0 && window->items.count(item) == 0) {
    Misuse("DGSetFocus", "no item " + std::to_string(item) + " in dialog " + std::to_string(dialId));
    return;
  }
  window->focusItem = item;
}

void DGEnableMessage(short dialId, short item, short message, short flag)
{
  if (DGDialogState* window = Dialog("DGEnableMessage", dialId))
    window->enabledMessages.push_back(DGEnabledMessage{item, message, flag});
}

// ---------------------------------------------------------------------------
// Sizes

void DGGetDialogClientSize(short dialId, short sizeType, short* width, short* height)
{
  const DGDialogState* window = Dialog("DGGetDialogClientSize", dialId);
  short w = 0;
  short h = 0;
  if (window != nullptr) {
    if (sizeType == DG_CLIENT_CURRENT) {
      w = window->width;
      h = window->height;
    } else if (sizeType == DG_CLIENT_MINIMUM) {
      w = window->minWidth;
      h = window->minHeight;
    } else if (sizeType == DG_CLIENT_ORIGINAL) {
      const auto& resources = TheRegistry().resources;
      const auto def = resources.find(window->resId);  // declared when it opened
      w = def != resources.end() ? def->second.width : window->width;
      h = def != resources.end() ? def->second.height : window->height;
    } else {
      Misuse("DGGetDialogClientSize", "unknown size type " + std::to_string(sizeType));
    }
  }
  if (width != nullptr)
    *width = w;
  if (height != nullptr)
    *height = h;
}

void DGGetDialogClientSize(GSResModule /*resModule*/, short dialId, short sizeType, short* width, short* height)
{
  DGGetDialogClientSize(dialId, sizeType, width, height);
}

void DGSetDialogClientMinSize(short dialId, short width, short height)
{
  if (DGDialogState* window = Dialog("DGSetDialogClientMinSize", dialId)) {
    window->minWidth = width;
    window->minHeight = height;
  }
}

void DGGrowDialog(short dialId, short hGrow, short vGrow)
{
  if (DGDialogState* window = Dialog("DGGrowDialog", dialId)) {
    window->width = static_cast<short>(window->width + hGrow);
    window->height = static_cast<short>(window->height + vGrow);
  }
}

short DGGetDialogGrowType(short dialId)
{
  const DGDialogState* window = Dialog("DGGetDialogGrowType", dialId);
  return window != nullptr ? window->growType : 0;
}

void DGSetDialogGrowType(short dialId, short growType)
{
  if (DGDialogState* window = Dialog("DGSetDialogGrowType", dialId))
    window->growType = growType;
}

void DGSetTabPageFixPoint(short dialId, short fixPoint)
{
  if (DGDialogState* window = Dialog("DGSetTabPageFixPoint", dialId))
    window->tabPageFixPoint = fixPoint;
}

void DGSetTabPageGrowType(short dialId, short growType)
{
  if (DGDialogState* window = Dialog("DGSetTabPageGrowType", dialId))
    window->tabPageGrowType = growType;
}

short DGTabControlGetTabPageId(short dialId, short tabControl, short tabIndex)
{
  const DGItemState* item = ItemOf("DGTabControlGetTabPageId", dialId, tabControl, {DGItemKind::TabControl});
  if (item == nullptr)
    return 0;
  if (tabIndex < 1 || static_cast<std::size_t>(tabIndex) > item->tabPageIds.size()) {
    Misuse("DGTabControlGetTabPageId", "no tab page " + std::to_string(tabIndex));
    return 0;
  }
  return item->tabPageIds[static_cast<std::size_t>(tabIndex - 1)];
}

// ---------------------------------------------------------------------------
// Help locations

GSErrCode DG::RegisterAdditionalHelpLocation(UInt32 developerId, UInt32 localId, const IO::Location& localLocation,
                                             const GS::UniString& /*webTitle*/, const GS::UniString& /*webUrl*/)
{
  LogCall("DG::RegisterAdditionalHelpLocation");
  TheRegistry().helpLocations[{developerId, localId}] = localLocation;
  return NoError;
}

GSErrCode DG::UnregisterAdditionalHelpLocation(UInt32 developerId, UInt32 localId)
{
  LogCall("DG::UnregisterAdditionalHelpLocation");
  TheRegistry().helpLocations.erase({developerId, localId});
  return NoError;
}
