#pragma once
// Shared by the dialog manager's own files: the registry of resources and
// windows, the lookups every call starts with, message delivery, and
// opening and closing windows.
//
// Windows live in a map by id. A callback may open or close windows, the
// one it runs for included, so nothing holds a pointer into the map across
// a callback: look the window up again afterwards.

#include "dg_state.h"
#include "dg_user.h"
#include "io_location.h"

#include <deque>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace pln::host::dg {

struct Registry {
  std::map<short, DGDialogDef> resources;
  std::map<short, DGDialogState> windows;
  short lastId = 0;
  std::map<short, std::deque<DialogScript>> scripts;
  std::vector<DGOpening> openings;
  std::vector<std::string> misuses;
  std::map<std::pair<UInt32, UInt32>, IO::Location> helpLocations;
};

Registry& TheRegistry();

void Misuse(const char* call, const std::string& reason);

// Each logs the call, then finds what it names; on failure it records the
// misuse and answers null.
DGDialogState* Dialog(const char* call, short dialId);
DGItemState* Item(const char* call, short dialId, short item);
DGItemState* ItemOf(const char* call, short dialId, short item, std::initializer_list<DGItemKind> kinds);
// Without logging or misuse records (the user's side and reading).
DGDialogState* FindDialog(short dialId);
DGItemState* FindItem(short dialId, short item);

// The window whose callback answers for dialId: itself, or for a tab page
// the dialog holding it.
short CallbackOwner(short dialId);
// Calls the callback; 0 when the window is gone or not yet processing.
short Deliver(short dialId, short message, short item, DGMessageData msgData);

// Makes the window (and the panels of its tab pages); 0 for an undeclared
// resource.
short OpenWindow(const char* call, short resId, DGWindowKind kind, DGDialCallBack callback, DGUserData userData);
void DeliverInit(short dialId);
// DG_MSG_CLOSE with the item, then the window and its pages are gone. A
// window already closing is left to the close in progress.
void CloseWindow(short dialId, short item);
DGOpening* OpeningOf(short dialId);
// A fresh item of the definition, as a window's items start.
DGItemState MakeItem(const DGItemDef& def);

// Stores a long value as the item keeps it: switches as 0/1, a radio
// button turned on turns the others of its group off, a pop-up selects the
// entry. The caller has checked the kind and, for pop-ups, the range.
void StoreLong(short dialId, DGItemState& item, Int32 value);
// Selects exactly these rows (the caller has checked them).
void SelectOnlyRows(DGListState& list, const std::vector<short>& rows);
// Selects exactly these tree items (the caller has checked them).
void SelectOnlyTreeItems(DGTreeState& tree, const std::vector<Int32>& treeItems);
// The header items a list shows: its own count, or one per tab field.
short HeaderCount(const DGListState& list);

// The next script queued for the resource; empty when none.
DialogScript TakeScript(short resId);

}  // namespace pln::host::dg
