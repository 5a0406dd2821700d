#pragma once
// What the dialog manager holds: the declared dialog resources and the
// open windows with the state of every item. Tests read it through
// pln::host::DialogState / DialogItemState (dg_user.h); only the dialog
// manager's own files change it.

#include "dg_drawing.h"
#include "dg_types.h"
#include "gs_guid.h"
#include "gs_unistring.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pln::host {

// ---------------------------------------------------------------------------
// Resources

enum class DGItemKind {
  Button,
  CheckBox,
  RadioButton,
  LongEdit,    // whole numbers (DGGetItemValLong)
  DoubleEdit,  // reals, lengths, angles (DGGetItemValDouble)
  TextEdit,
  StaticText,
  PopUp,
  ListBox,
  TreeView,
  UserControl,  // becomes an attribute chooser through ACAPI_Interface 'SUCC'; a long value
  TabControl,
  Splitter,
  Icon,
  UserItem,  // owner-drawn
  ValueButton,  // a push button that keeps a long value: a click sets it to 1 first
};

struct DGItemDef {
  short item = 0;
  DGItemKind kind = DGItemKind::Button;
  // Rectangle in the client area.
  short left = 0;
  short top = 0;
  short right = 80;
  short bottom = 20;
  // Tab control: the page resources, tab 1 first (each declared itself).
  std::vector<short> tabPages{};
  // Radio buttons of one group exclude each other.
  short radioGroup = 1;
  // List box and tree view.
  bool singleSelection = false;
  short rowHeight = 18;
  // Long edit: what the user types is clamped to this range.
  Int32 minLong = INT32_MIN;
  Int32 maxLong = INT32_MAX;
};

struct DGDialogDef {
  short width = 400;  // the original client size
  short height = 300;
  std::vector<DGItemDef> items;
};

// ---------------------------------------------------------------------------
// Items

struct DGPopUpEntry {
  GS::UniString text;
  DGUserData userData = 0;
};

struct DGListRow {
  std::map<short, GS::UniString> texts;  // by tab field
  DGUserData userData = 0;
  bool selected = false;
  short style = 0;
  std::optional<DGColor16> color;
  std::map<short, DGColor16> tabColors;
  std::map<short, DGColor16> tabBackgrounds;
  int redraws = 0;
};

struct DGTabField {
  DGTabFieldData data;
  bool ownerDraw = false;
  short dialItem = DG_NO_ITEM;  // the editor laid over the selected row's cell
};

struct DGHeaderItem {
  GS::UniString text;
  short sizeFlag = 0;
  bool buttonFlag = false;
  short font = 0;
  short arrow = DG_ARROW_NONE;
};

struct DGListState {
  std::vector<DGListRow> rows;          // row r at r - 1
  std::vector<DGTabField> tabFields;    // tab field t at t - 1
  short headerItemCount = 0;            // 0: one per tab field
  std::map<short, DGHeaderItem> headers;
  bool sizeable = true;
  bool clickable = false;
  bool draggable = false;
};

struct DGTreeItem {
  Int32 parent = DG_TVI_ROOT;
  std::vector<Int32> children;
  GS::UniString text;
  DGUserData userData = 0;
  DG::Icon icon;
  bool expanded = false;
  bool selected = false;
};

struct DGTreeState {
  std::map<Int32, DGTreeItem> items;  // DG_TVI_ROOT holds the top-level items
  Int32 nextItem = 1;
};

struct DGItemState {
  DGItemDef def;
  bool enabled = true;
  bool visible = true;
  Int32 valLong = 0;
  double valDouble = 0.0;
  GS::UniString text;
  short font = 0;
  short left = 0;
  short top = 0;
  short right = 0;
  short bottom = 0;
  DG::Icon image;
  int redraws = 0;
  std::vector<DGPopUpEntry> entries;  // pop-up entry e at e - 1
  short selectedEntry = 0;
  DGListState list;
  DGTreeState tree;
  std::vector<short> tabPageIds;  // tab control: the pages' panel ids
};

// ---------------------------------------------------------------------------
// Windows

enum class DGWindowKind { Modal, Modeless, Palette, TabPage };

struct DGEnabledMessage {
  short item = 0;
  short message = 0;
  short flag = 0;
};

struct DGDialogState {
  short id = 0;
  short resId = 0;
  DGWindowKind kind = DGWindowKind::Modal;
  short ownerId = 0;  // tab pages: the dialog that holds them; messages go to its callback
  DGDialCallBack callback = nullptr;
  DGUserData userData = 0;
  bool processingEvents = true;  // dockable palettes: false until DGBeginProcessEvents
  bool initDelivered = false;
  bool closing = false;
  bool visible = true;
  short width = 0;  // current client size
  short height = 0;
  short minWidth = 0;
  short minHeight = 0;
  short growType = 0;
  short tabPageFixPoint = 0;
  short tabPageGrowType = 0;
  short focusItem = 0;
  int moveGrowDepth = 0;
  int moveGrowBatches = 0;  // begin/end pairs completed
  GS::Guid paletteGuid;
  std::vector<DGEnabledMessage> enabledMessages;
  std::map<short, DGItemState> items;
};

// One opening of a window, kept after it closed.
struct DGOpening {
  short resId = 0;
  short dialId = 0;
  DGWindowKind kind = DGWindowKind::Modal;
  bool open = true;
  short closeItem = 0;  // the item that closed it
};

}  // namespace pln::host
