#pragma once
// The dialog manager's shared vocabulary: the message callback, message
// numbers, special item numbers, colours, icons and the records that the
// messages point to.
//
// A dialog is an open window made from a dialog resource; its id (a
// positive short, never reused while the host runs) names it in every
// call. Items are numbered by the resource; rows, columns (tab fields),
// header items, pop-up entries and tab pages count from 1.

#include "gs_unistring.h"
#include "host_environment.h"
#include "host_types.h"

// The value the add-on attaches to a dialog and the message's data word;
// for the records below the data word carries the record's address.
using DGUserData = long long;
using DGMessageData = long long;

// Answers the message; what the answer means depends on the message (a
// click's nonzero answer closes the window with that item).
using DGDialCallBack = short (*)(short message, short dialId, short item, DGUserData userData, DGMessageData msgData);

// ---------------------------------------------------------------------------
// Message numbers

constexpr short DG_MSG_INIT = 1;
constexpr short DG_MSG_CLOSEREQUEST = 2;
constexpr short DG_MSG_CLOSE = 3;
constexpr short DG_MSG_CLICK = 4;
constexpr short DG_MSG_DOUBLECLICK = 5;
constexpr short DG_MSG_CHANGE = 6;
constexpr short DG_MSG_TRACK = 7;
constexpr short DG_MSG_HOTKEY = 11;
// Data word: the horizontal growth in its low 16 bits, the vertical growth
// in the next 16 bits (both signed).
constexpr short DG_MSG_GROW = 12;
constexpr short DG_MSG_RESIZE = 13;          // DG::ResizeEventArg*
constexpr short DG_MSG_ACTIVATE = 14;        // data: 1 activated, 0 deactivated
constexpr short DG_MSG_TOPSTATUSCHANGE = 15; // DG::PanelTopStatusChangeEventArg*
constexpr short DG_MSG_UPDATE = 16;          // owner drawing: DG::ItemUpdateEventArg* (dg_drawing.h)
constexpr short DG_MSG_DRAGDROP = 17;        // DG::DragDropEventArg*
constexpr short DG_MSG_BACKGROUNDPAINT = 22; // DG::PanelBackgroundPaintEventArg* (dg_drawing.h)
constexpr short DG_MSG_LISTHEADERCLICK = 23; // DG::ListBoxHeaderEventArg*
constexpr short DG_MSG_LISTHEADERDRAG = 24;  // DG::ListBoxHeaderEventArg*
constexpr short DG_MSG_LISTHEADERRESIZE = 25; // DG::ListBoxHeaderEventArg*
constexpr short DG_MSG_SPLITTERDRAG = 27;    // DG::SplitterDragEventArg*
// Messages from this number on are the add-on's own.
constexpr short DG_USERMSG = 16383;

// ---------------------------------------------------------------------------
// Special numbers

constexpr short DG_CLOSEBOX = -1;     // the window's close box, as a clicked item
constexpr short DG_ALL_ITEMS = 0;     // every item / every row / every entry
constexpr short DG_LIST_BOTTOM = -1;  // insert after, or delete, the last row or entry
constexpr short DG_NO_ITEM = 0;       // no dialog item (detaches an editor from a tab field)
// Item types of DGAppendDialogItem.
constexpr short DG_ITM_CHECKBOX = 5;
constexpr short DG_ITM_LISTBOX = 17;
// The reference window for showing a modeless window in front of all others.
constexpr short DG_TOPMOST_REFERENCE = -32768;

// Client sizes of a dialog.
constexpr short DG_CLIENT_CURRENT = 0;
constexpr short DG_CLIENT_MINIMUM = 1;
constexpr short DG_CLIENT_ORIGINAL = 2;  // as the resource gives it

// Header arrows.
constexpr short DG_ARROW_NONE = 0;
constexpr short DG_ARROW_UP = 1;
constexpr short DG_ARROW_DOWN = 2;

// Tree views: item 0 is the invisible root; insertion places.
constexpr Int32 DG_TVI_ROOT = 0;
constexpr Int32 DG_TVI_BOTTOM = -1;  // after the parent's last child
constexpr Int32 DG_TVI_TOP = -2;     // before the parent's first child
// Relations for DGTreeViewGetItem.
constexpr short DG_TVG_CHILD = 1;     // the first child
constexpr short DG_TVG_NEXT = 2;      // the next sibling
constexpr short DG_TVG_PARENT = 3;    // the parent (0 for a top-level item)
constexpr short DG_TVG_PREVIOUS = 4;  // the previous sibling

// Drag and drop sub-messages and drop positions.
constexpr short DG_DRAG_STARTING = 0;  // may a drag start here? nonzero answer: yes
constexpr short DG_DRAG_START = 1;
constexpr short DG_DRAG_END = 2;
constexpr short DG_DRAG_SETDELAYEDDATA = 3;
constexpr short DG_DRAG_ENTER = 4;
constexpr short DG_DRAG_OVER = 5;
constexpr short DG_DRAG_LEAVE = 6;
constexpr short DG_DRAG_DROP = 7;
constexpr short DG_DRAG_INSERT_ON = 0;
constexpr short DG_DRAG_INSERT_UNDER = 1;  // after the target
constexpr short DG_DRAG_INSERT_ABOVE = 2;  // before the target

// A list colour, 16 bits per component.
struct DGColor16 {
  UInt16 red = 0;
  UInt16 green = 0;
  UInt16 blue = 0;
  bool operator==(const DGColor16&) const = default;
};

// A list tab field as DGListSetTabData takes it; positions in pixels from
// the list's left edge.
struct DGTabFieldData {
  short begin = 0;
  short end = 0;
  short justification = 0;  // passed through as given
  short truncation = 0;
  bool separator = false;
  bool disabled = false;
  bool operator==(const DGTabFieldData&) const = default;
};

namespace DG {

// An image of the add-on's resource module, named by its resource id.
class Icon {
public:
  Icon() = default;  // no image
  Icon(GSResModule module, short resId) : module_(module), resId_(resId) {}
  GSResModule GetModule() const { return module_; }
  short GetResourceId() const { return resId_; }
  bool IsEmpty() const { return resId_ == 0; }
  bool operator==(const Icon&) const = default;

private:
  GSResModule module_ = 0;
  short resId_ = 0;
};

// ---------------------------------------------------------------------------
// Records the messages point to

// DG_MSG_RESIZE.
struct ResizeEventArg {
  short kind = 1;  // 1: the user resized the window
  short hGrow = 0;
  short vGrow = 0;
};

// DG_MSG_LISTHEADERCLICK / DRAG / RESIZE.
struct ListBoxHeaderEventArg {
  short kind = 0;        // resize: 1 while resizing, 2 when the resize ends
  short headerItem = 0;  // 1-based
  short widthChange = 0; // resize kind 1: how much the column grew
};

// DG_MSG_SPLITTERDRAG.
struct SplitterDragEventArg {
  short kind = 0;      // 0 the drag starts, 1 the splitter moved, 2 the drag ends
  short position = 0;  // the splitter's position in the client area
};

// DG_MSG_DRAGDROP. The add-on may write effect, feedback and data back.
struct DragDropEventArg {
  short subMessage = DG_DRAG_STARTING;
  short effect = 0;
  short feedback = 0;
  Int32 data = 0;
  Int32 insertPos = 0;  // the drop target: a row or a tree item
  short relativePos = DG_DRAG_INSERT_ON;
};

// DG_MSG_TOPSTATUSCHANGE.
struct PanelTopStatusChangeEventArg {
  bool isTop = false;  // whether the window became the top one
};

// DG_MSG_CHANGE of a tree view.
struct TreeViewChangeEventArg {
  short kind = 0;       // 0 selection changed, 3 item expanded, 4 item collapsed
  Int32 treeItem = 0;   // the expanded or collapsed item
};

}  // namespace DG

// Tree view change kinds.
constexpr short DG_TVCF_SELECTION = 0;
constexpr short DG_TVCF_EXPANDED = 3;
constexpr short DG_TVCF_COLLAPSED = 4;
