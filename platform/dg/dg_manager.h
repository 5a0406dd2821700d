#pragma once
// The host's dialog manager: dialogs, palettes and their items.
//
// Headless: a dialog resource is whatever a test (or the add-on's resource
// table) declared with pln::host::DefineDialog (dg_user.h); opening an
// undeclared resource opens nothing. The add-on's own calls never raise
// dialog messages, except that opening a window delivers DG_MSG_INIT and
// closing it DG_MSG_CLOSE; every other message comes from what the user
// does (dg_user.h). Calls on a dialog or item that does not exist, or on
// an item of the wrong kind, change nothing, answer 0 / false / empty and
// are recorded (pln::host::DialogMisuses), so tests can insist there were
// none. Every call is logged by name.
//
// Numbers: rows, tab fields, header items, pop-up entries and tab pages
// count from 1; positions and sizes are pixels.

#include "dg_drawing.h"
#include "dg_types.h"
#include "gs_guid.h"
#include "gs_unistring.h"
#include "host_environment.h"
#include "io_location.h"

// ---------------------------------------------------------------------------
// Dialogs and palettes (dg_dialogs.cpp)

// Runs the dialog modally: DG_MSG_INIT, then whatever the user does (the
// test's script for the resource), then DG_MSG_CLOSE. Answers the item
// that closed it; 0 when the resource is unknown.
short DGModalDialog(GSResModule resModule, short resId, GSResModule iconModule, DGDialCallBack callback,
                    DGUserData userData);
// Opens a modeless window (visible) and delivers DG_MSG_INIT; answers its
// id, 0 when the resource is unknown. The flag is passed through.
short DGModelessInit(GSResModule resModule, short resId, GSResModule iconModule, DGDialCallBack callback,
                     DGUserData userData, short flag);
// A dockable palette: created hidden; it receives no message, DG_MSG_INIT
// included, until DGBeginProcessEvents.
short DGCreateDockablePalette(GSResModule resModule, short resId, GSResModule iconModule, DGDialCallBack callback,
                              DGUserData userData, const GS::Guid& guid);
void DGBeginProcessEvents(short dialId);
void DGDisablePaletteDock(const GS::Guid& guid, short flag);
// Delivers DG_MSG_CLOSE (item 0), then the window is gone.
void DGModelessClose(short dialId);
bool DGIsDialogOpen(short dialId);
DGUserData DGGetDialogUserData(short dialId);

void DGShowModelessDialog(short dialId, short referenceDialId);
void DGHideModelessDialog(short dialId);
bool DGIsModelessDialogVisible(short dialId);

void DGSetFocus(short dialId, short item);
// Recorded only: this host delivers every message whatever is enabled.
void DGEnableMessage(short dialId, short item, short message, short flag);

// Client sizes: DG_CLIENT_CURRENT, DG_CLIENT_MINIMUM, DG_CLIENT_ORIGINAL.
void DGGetDialogClientSize(short dialId, short sizeType, short* width, short* height);
void DGGetDialogClientSize(GSResModule resModule, short dialId, short sizeType, short* width, short* height);
void DGSetDialogClientMinSize(short dialId, short width, short height);
// Grows the current client size; no message.
void DGGrowDialog(short dialId, short hGrow, short vGrow);
short DGGetDialogGrowType(short dialId);
void DGSetDialogGrowType(short dialId, short growType);
void DGSetTabPageFixPoint(short dialId, short fixPoint);
void DGSetTabPageGrowType(short dialId, short growType);

// The id of the panel shown as page tabIndex of the tab control.
short DGTabControlGetTabPageId(short dialId, short tabControl, short tabIndex);

// ---------------------------------------------------------------------------
// Items (dg_items.cpp). Item 0 in enable/disable/show/hide means every item.

Int32 DGGetItemValLong(short dialId, short item);
void DGSetItemValLong(short dialId, short item, Int32 value);
double DGGetItemValDouble(short dialId, short item);
void DGSetItemValDouble(short dialId, short item, double value);
GS::UniString DGGetItemText(short dialId, short item);
void DGSetItemText(short dialId, short item, const GS::UniString& text);
void DGEnableItem(short dialId, short item);
void DGDisableItem(short dialId, short item);
bool DGIsItemEnabled(short dialId, short item);
void DGShowItem(short dialId, short item);
void DGHideItem(short dialId, short item);
bool DGIsItemVisible(short dialId, short item);
void DGRedrawItem(short dialId, short item);
void DGSetItemImage(short dialId, short item, const DG::Icon& icon);
short DGGetItemFont(short dialId, short item);
void DGSetItemFont(short dialId, short item, short font);
bool DGGetItemRect(short dialId, short item, short* left, short* top, short* right, short* bottom);

// Layout. Moves and growths apply at once; the begin/end pair only groups
// them (the depth must come back to 0).
void DGBeginMoveGrowItems(short dialId);
void DGEndMoveGrowItems(short dialId);
void DGMoveItem(short dialId, short item, short hMove, short vMove);
void DGGrowItem(short dialId, short item, short hGrow, short vGrow);
void DGMoveGrowItem(short dialId, short item, short hMove, short vMove, short hGrow, short vGrow);

// Pop-ups. DGGetItemValLong / DGSetItemValLong on a pop-up read and set the
// selected entry too.
void DGPopUpInsertItem(short dialId, short item, short entry);  // DG_LIST_BOTTOM: append
void DGPopUpDeleteItem(short dialId, short item, short entry);  // DG_ALL_ITEMS: all
void DGPopUpSetItemText(short dialId, short item, short entry, const GS::UniString& text);
GS::UniString DGPopUpGetItemText(short dialId, short item, short entry);
void DGPopUpSetItemUserData(short dialId, short item, short entry, DGUserData userData);
DGUserData DGPopUpGetItemUserData(short dialId, short item, short entry);
void DGPopUpSelectItem(short dialId, short item, short entry);
short DGPopUpGetSelected(short dialId, short item);  // 0: none
short DGPopUpGetItemCount(short dialId, short item);

// ---------------------------------------------------------------------------
// List boxes (dg_lists.cpp)

short DGListGetItemCount(short dialId, short list);
// Inserts an empty row before row (DG_LIST_BOTTOM: after the last one).
bool DGListInsertItem(short dialId, short list, short row);
// DG_ALL_ITEMS: every row; DG_LIST_BOTTOM: the last one.
void DGListDeleteItem(short dialId, short list, short row);
void DGListSetItemUserData(short dialId, short list, short row, DGUserData userData);
DGUserData DGListGetItemUserData(short dialId, short list, short row);  // 0 when unset
void DGListSetTabItemText(short dialId, short list, short row, short tabField, const GS::UniString& text);
GS::UniString DGListGetItemText(short dialId, short list, short row, short tabField);
short DGListGetItemStyle(short dialId, short list, short row);
void DGListSetItemStyle(short dialId, short list, short row, short style);
// Row rectangle in the list's own coordinates (rows below the header).
bool DGListGetItemRect(short dialId, short list, short row, short* left, short* top, short* right, short* bottom);
void DGListRedrawItem(short dialId, short list, short row);

// Selection. A single-selection list keeps at most one selected row.
void DGListSelectItem(short dialId, short list, short row);
void DGListDeselectItem(short dialId, short list, short row);  // DG_ALL_ITEMS: all
short DGListGetSelCount(short dialId, short list);
// Writes up to maxCount selected rows, ascending; answers how many.
short DGListGetSelItems(short dialId, short list, short* rows, short maxCount);
// The first selected row at or after fromRow; 0 when none.
short DGListGetSelected(short dialId, short list, short fromRow);

void DGListSetItemColor(short dialId, short list, short row, const DGColor16& color);
void DGListSetTabItemColor(short dialId, short list, short row, short tabField, const DGColor16& color);
void DGListSetTabItemBackgroundColor(short dialId, short list, short row, short tabField, const DGColor16& color);

// Tab fields (columns).
void DGListSetTabFieldCount(short dialId, short list, short count);
short DGListGetTabFieldCount(short dialId, short list);
// Sets tab fields 1..count from the records.
void DGListSetTabData(short dialId, short list, short count, const DGTabFieldData* fields);
short DGListGetTabFieldBeginPosition(short dialId, short list, short tabField);
short DGListGetTabFieldEndPosition(short dialId, short list, short tabField);
void DGListSetTabFieldOwnerDrawFlag(short dialId, short list, short tabField, bool ownerDraw);
// Lays a dialog item over the tab field of the selected row (DG_NO_ITEM
// removes it).
void DGListSetDialItemOnTabField(short dialId, short list, short tabField, short dialItem);
short DGListGetDialItemOnTabField(short dialId, short list, short tabField);

// Header. Header item count 0 means one header item per tab field.
void DGListGetHeaderFlags(short dialId, short list, bool* sizeable, bool* clickable, bool* draggable);
void DGListSetHeaderFlags(short dialId, short list, bool sizeable, bool clickable, bool draggable);
void DGListSetHeaderItemCount(short dialId, short list, short count);
short DGListGetHeaderItemCount(short dialId, short list);
void DGListSetHeaderItemText(short dialId, short list, short headerItem, const GS::UniString& text);
GS::UniString DGListGetHeaderItemText(short dialId, short list, short headerItem);
void DGListGetHeaderItemFlags(short dialId, short list, short headerItem, short* sizeFlag, bool* buttonFlag);
void DGListSetHeaderItemFlags(short dialId, short list, short headerItem, short sizeFlag, bool buttonFlag);
void DGListSetHeaderItemFont(short dialId, short list, short headerItem, short font);
short DGListGetHeaderItemArrowType(short dialId, short list, short headerItem);
void DGListSetHeaderItemArrowType(short dialId, short list, short headerItem, short arrow);

// ---------------------------------------------------------------------------
// Tree views (dg_trees.cpp). Tree items are positive ids, never reused
// within one tree view while it is open; DG_TVI_ROOT is the invisible root.

// A new empty item under parent, after insertAfter (a child of parent,
// DG_TVI_BOTTOM or DG_TVI_TOP); 0 when parent or insertAfter is unknown.
Int32 DGTreeViewInsertItem(short dialId, short tree, Int32 parent, Int32 insertAfter);
// With its descendants; DG_ALL_ITEMS: every item.
void DGTreeViewDeleteItem(short dialId, short tree, Int32 treeItem);
void DGTreeViewSetItemText(short dialId, short tree, Int32 treeItem, const GS::UniString& text);
GS::UniString DGTreeViewGetItemText(short dialId, short tree, Int32 treeItem);
void DGTreeViewSetItemUserData(short dialId, short tree, Int32 treeItem, DGUserData userData);
DGUserData DGTreeViewGetItemUserData(short dialId, short tree, Int32 treeItem);
void DGTreeViewSetItemIcon(short dialId, short tree, Int32 treeItem, const DG::Icon& icon);
void DGTreeViewExpandItem(short dialId, short tree, Int32 treeItem);
void DGTreeViewCollapseItem(short dialId, short tree, Int32 treeItem);
bool DGTreeViewIsItemExpanded(short dialId, short tree, Int32 treeItem);
// The related item (DG_TVG_...); 0 when there is none.
Int32 DGTreeViewGetItem(short dialId, short tree, Int32 treeItem, short relation);
Int32 DGTreeViewGetItemCount(short dialId, short tree);

// Selection, in display order (depth first).
void DGTreeViewSelectItem(short dialId, short tree, Int32 treeItem);
void DGTreeViewDeselectItem(short dialId, short tree, Int32 treeItem);  // DG_ALL_ITEMS: all
Int32 DGTreeViewGetSelCount(short dialId, short tree);
// Writes up to maxCount selected items; answers how many.
Int32 DGTreeViewGetSelItems(short dialId, short tree, Int32* treeItems, Int32 maxCount);
// The first selected item after afterItem in display order (DG_TVI_ROOT:
// from the start); 0 when none.
Int32 DGTreeViewGetSelected(short dialId, short tree, Int32 afterItem);

// ---------------------------------------------------------------------------
// Help locations (dg_dialogs.cpp)

namespace DG {
[[nodiscard]] GSErrCode RegisterAdditionalHelpLocation(UInt32 developerId, UInt32 localId,
                                                       const IO::Location& localLocation, const GS::UniString& webTitle,
                                                       const GS::UniString& webUrl);
[[nodiscard]] GSErrCode UnregisterAdditionalHelpLocation(UInt32 developerId, UInt32 localId);
}  // namespace DG

// ---------------------------------------------------------------------------
// Items made at run time (dg_append.cpp)

// Appends an item of the type (DG_ITM_CHECKBOX, DG_ITM_LISTBOX) at the
// position and size, visible and enabled; answers its id, one above the
// dialog's highest, or 0 for an unknown type. Subtype and data are the
// host's and change nothing here.
short DGAppendDialogItem(short dialId, short itemType, short itemSubType, short itemData, short hPos, short vPos,
                         short hSize, short vSize);
// Removes an item, appended or declared.
void DGRemoveDialogItem(short dialId, short item);
// The height of every row of the list, in pixels.
void DGListSetItemHeight(short dialId, short list, short height);
