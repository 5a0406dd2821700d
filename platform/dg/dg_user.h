#pragma once
// The test side of the dialog manager: declaring dialog resources, acting
// as the user on open windows, and reading what the windows hold.
//
// A modal dialog runs the next script queued for its resource between its
// DG_MSG_INIT and DG_MSG_CLOSE. A script is a function that acts through a
// DialogUser; when it returns with the dialog still open (or when no script
// is queued), the user cancels: the dialog closes with item 2. A modeless
// window or palette is driven by making a DialogUser for its id at any
// time. Every action delivers its messages to the window's callback
// (a tab page's messages go to the callback of the dialog that holds it,
// with the page's id) and answers the callback's answer; on a window that
// is not open (or that closed during the action) an action does nothing
// and answers 0, and on one that no longer exists it is also refused as a
// misuse. A click whose answer is nonzero closes the window with that
// item.

#include "dg_drawing.h"
#include "dg_state.h"
#include "dg_types.h"
#include "gs_unistring.h"
#include "io_location.h"

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pln::host {

// Declares (or replaces) a dialog resource for every later opening.
void DefineDialog(short resId, DGDialogDef def);
// Items with the default size and settings: {{1, DGItemKind::Button}, ...}.
void DefineDialog(short resId, const std::vector<std::pair<short, DGItemKind>>& items);

class DialogUser {
public:
  explicit DialogUser(short dialId) : dialId_(dialId) {}
  short DialogId() const { return dialId_; }
  bool IsOpen() const;
  // The panel of page tabIndex of the tab control.
  DialogUser TabPage(short tabControl, short tabIndex) const;

  // --- Buttons and values -------------------------------------------------
  short Click(short item);
  short CloseBox() { return Click(DG_CLOSEBOX); }
  short DoubleClick(short item);
  // Sets the value as the user would, then DG_MSG_CHANGE of the item. Long
  // values go to edit fields, check boxes (0/1), radio buttons (1 turns the
  // others of the group off), user controls and pop-ups (the entry).
  short SetLong(short item, Int32 value);
  short SetDouble(short item, double value);
  short SetText(short item, const GS::UniString& text);
  short Check(short item, bool on) { return SetLong(item, on ? 1 : 0); }
  short SelectPopUp(short item, short entry) { return SetLong(item, entry); }
  // A user control reporting its value while the user tracks: DG_MSG_TRACK.
  short Track(short item, Int32 value);
  short SelectTab(short tabControl, short tabIndex);

  // --- Lists and trees ------------------------------------------------------
  // Replaces the selection, then DG_MSG_CHANGE of the list.
  short SelectRows(short list, const std::vector<short>& rows);
  // Replaces the selection, then DG_MSG_CHANGE with a tree-view change of
  // kind DG_TVCF_SELECTION.
  short SelectTreeItems(short tree, const std::vector<Int32>& treeItems);
  short ExpandTreeItem(short tree, Int32 treeItem);
  short CollapseTreeItem(short tree, Int32 treeItem);
  short HeaderClick(short list, short headerItem);
  // The header's tab field grows by widthChange and the later ones shift;
  // then DG_MSG_LISTHEADERRESIZE of kind 1 and of kind 2. Answers kind 1's.
  short HeaderResize(short list, short headerItem, short widthChange);

  // --- Drag and drop ----------------------------------------------------------
  // DG_DRAG_STARTING at the source (an answer of 0 ends the drag there),
  // DG_DRAG_START at the source, DG_DRAG_ENTER, DG_DRAG_OVER and
  // DG_DRAG_DROP at the target, DG_DRAG_END at the source; one record
  // travels through all of them. Answers the drop's answer.
  short DragAndDrop(short sourceItem, short targetItem, Int32 insertPos, short relativePos);
  short SendDragDrop(short item, DG::DragDropEventArg& arg);

  // --- The window ---------------------------------------------------------------
  // The client size grows, then DG_MSG_RESIZE (kind 1).
  short Resize(short hGrow, short vGrow);
  // DG_MSG_GROW with the growth packed into the data word.
  short Grow(short hGrow, short vGrow);
  // DG_MSG_SPLITTERDRAG of kind 0 at from, 1 at to and 2 at to; answers 0.
  short SplitterDrag(short splitter, short from, short to);
  short Activate(bool active);
  short HotKey(short key);
  short TopStatusChange(bool isTop);

  // --- Drawing: DG_MSG_UPDATE / DG_MSG_BACKGROUNDPAINT on a fresh surface ------
  // Only a tab field flagged owner-drawn is asked to draw a cell.
  NewDisplay::DrawSurface DrawListCell(short list, short row, short tabField, double width, double height);
  NewDisplay::DrawSurface DrawUserItem(short item, double width, double height);
  NewDisplay::DrawSurface PaintBackground(double width, double height);

  // Any message, as given.
  short Send(short message, short item, DGMessageData msgData);

private:
  short dialId_;
};

using DialogScript = std::function<void(DialogUser&)>;
// Scripts queue up per resource, oldest first.
void QueueDialogScript(short resId, DialogScript script);
std::size_t PendingDialogScripts(short resId);

// --- Reading ---------------------------------------------------------------------
// The last opened window of the resource that is still open; 0 when none.
short OpenDialogId(short resId);
// The openings since the reset, oldest first; once there are many, those of
// windows closed since are forgotten.
const std::vector<DGOpening>& DialogOpenings();
// Null when the window is not open / has no such item.
const DGDialogState* DialogState(short dialId);
const DGItemState* DialogItemState(short dialId, short item);
// The help location registered for the identifier pair; null when none.
const IO::Location* HelpLocation(UInt32 developerId, UInt32 localId);
// Calls the add-on made on windows or items that do not exist or do not
// fit the item's kind, each as "<call>: <reason>".
const std::vector<std::string>& DialogMisuses();

}  // namespace pln::host

namespace pln::host::internal {
// Forgets resources, windows, scripts, file-dialog answers and records.
void ResetDialogManager();
}  // namespace pln::host::internal
