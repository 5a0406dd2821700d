#pragma once
// Notifications and undo.
//
// Handlers are installed by the Catch/Install calls and removed by the same
// call with a null handler. Element notifications come only from the
// user's actions, undo and redo, never from the add-on's own writes. They
// arrive in batches: APINotifyElement_BeginEvents, one notification per
// element, APINotifyElement_EndEvents, delivered once per distinct handler.
// New elements and copies go to the new-element handler (when its type
// filter admits them); edits, deletions, undo and redo go to the element
// observer, for observed elements only.
//
// An undoable command runs its body at once as one undo step under its
// name; a command started inside another one joins the outer step. A step
// holds the states before and after of every element and module-data
// record written, and is not recorded when nothing changed.

#include "host_api_types.h"

#include <cstddef>
#include <functional>
#include <vector>

// Installs handler for the events whose bits are in eventTypes; a null
// handler removes those events' handler.
[[nodiscard]] GSErrCode ACAPI_Notify_CatchProjectEvent(UInt32 eventTypes, APIProjectEventHandlerProc* handler);
// elemType null: every element type.
[[nodiscard]] GSErrCode ACAPI_Notify_CatchNewElement(const API_ElemTypeID* elemType,
                                                     APIElementEventHandlerProc* handler);
[[nodiscard]] GSErrCode ACAPI_Notify_InstallElementObserver(APIElementEventHandlerProc* handler);
[[nodiscard]] GSErrCode ACAPI_Notify_CatchSelectionChange(APISelectionChangeHandlerProc* handler);
[[nodiscard]] GSErrCode ACAPI_Notify_CatchElementReservationChange(APIReservationChangeHandlerProc* handler);

// Returns the body's result; the step is kept even when the body failed
// after writing, as the host keeps what was written.
[[nodiscard]] GSErrCode ACAPI_CallUndoableCommand(const GS::UniString& undoString, const APICommandProc& command);

namespace pln::host {

void DeliverProjectEvent(API_NotifyEventID event);
// The selection handler gets the first selected element (a zero record when
// the selection is empty).
void DeliverSelectionChange();
void DeliverReservationChange(const GS::HashTable<API_Guid, short>& reserved, const GS::HashSet<API_Guid>& released,
                              const GS::HashSet<API_Guid>& deleted);

// A user's action as one undo step: the action writes through the model as
// the add-on would, then the step's elements are reported to the handlers
// (created ones as new elements, or as copies when asCopy is set; changed
// ones as edited; deleted ones as deleted). Refused inside a command.
[[nodiscard]] GSErrCode RunUserAction(const GS::UniString& undoName, bool asCopy,
                                      const std::function<GSErrCode()>& action);

// APIERR_UNDOEMPTY when there is nothing to undo or redo. A replayed step
// is reported to the element handlers (its elements), the selection
// handler (when the selection changed) and last as the project event
// APINotify_ChangeProjectDB, whatever it changed.
[[nodiscard]] GSErrCode UndoLastStep();
[[nodiscard]] GSErrCode RedoLastStep();
std::vector<GS::UniString> UndoStepNames();  // oldest first
std::vector<GS::UniString> RedoStepNames();  // the next redo last
// Forgets the history (opening a project does).
void ClearUndoHistory();
// How many steps the history keeps (the oldest go first); a new host keeps
// Model::kDefaultUndoDepth.
void SetUndoDepth(std::size_t depth);

}  // namespace pln::host
