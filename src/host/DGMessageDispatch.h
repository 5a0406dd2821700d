#pragma once
// The half of the message dispatch that dialogs (CDGDlgCore) and palettes
// (CDGPaletteCore) share. The host packs each message's arguments into one
// data word; both kinds of window unpack it the same way and call an
// operation of the same name and form. The messages whose operations differ
// between the two (init, close, hot key, activate, top status, header drag)
// stay with each window's own dispatcher.

#include <optional>

#include "dg_manager.h"

namespace DGMessageDispatch {

// The message's data word carries a pointer to the message's record.
template <typename Record>
Record* RecordOf(DGMessageData msgData)
{
  return reinterpret_cast<Record*>(msgData);
}

// Grow messages pack the horizontal growth into the low 16 bits and the
// vertical growth above them, both signed.
inline short LowGrowth(DGMessageData msgData) { return static_cast<short>(msgData & 0xFFFF); }
inline short HighGrowth(DGMessageData msgData) { return static_cast<short>(msgData >> 16); }

// The callback's answer for a message the window handles like every other
// window; nullopt leaves the message to the window's own dispatcher.
template <typename Window>
std::optional<short> DispatchShared(Window& window, short message, short dialId, short item, DGMessageData msgData)
{
  if (message >= DG_USERMSG)
    return window.DoMsgUser(message, dialId, item, msgData);
  switch (message) {
  case DG_MSG_CLICK:
    return window.DoMsgClick(dialId, item, msgData);
  case DG_MSG_DOUBLECLICK:
    window.DoMsgDoubleClick(dialId, item, msgData);
    return 0;
  case DG_MSG_CHANGE:
    window.DoMsgChange(dialId, item, msgData);
    return 0;
  case DG_MSG_TRACK:
    window.DoMsgTrack(dialId, item, msgData);
    return 0;
  case DG_MSG_UPDATE:
    window.DoMsgUpdate(dialId, item, msgData);
    return 0;
  case DG_MSG_GROW:
    window.DoMsgGrow(dialId, LowGrowth(msgData), HighGrowth(msgData));
    return 0;
  case DG_MSG_RESIZE:
    window.DoMsgResize(dialId, RecordOf<DG::ResizeEventArg>(msgData));
    return 0;
  case DG_MSG_DRAGDROP:
    return window.DoMsgDragDrop(dialId, item, RecordOf<DG::DragDropEventArg>(msgData));
  case DG_MSG_BACKGROUNDPAINT:
    return window.DoMsgBackgroundPaint(dialId, item, RecordOf<DG::PanelBackgroundPaintEventArg>(msgData));
  case DG_MSG_LISTHEADERCLICK:
    return window.DoMsgListHeaderClick(dialId, item, RecordOf<DG::ListBoxHeaderEventArg>(msgData)) ? 1 : 0;
  case DG_MSG_LISTHEADERRESIZE:
    return window.DoMsgListHeaderResize(dialId, item, RecordOf<DG::ListBoxHeaderEventArg>(msgData));
  case DG_MSG_SPLITTERDRAG:
    window.DoMsgSplitterDrag(dialId, item, RecordOf<DG::SplitterDragEventArg>(msgData));
    return 0;
  default:
    return std::nullopt;
  }
}

}  // namespace DGMessageDispatch
