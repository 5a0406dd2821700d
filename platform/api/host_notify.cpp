#include "host_notify.h"

#include "host_calllog.h"
#include "host_errors.h"
#include "host_model.h"

#include <cstddef>
#include <set>
#include <utility>

using namespace pln::host;

namespace {

bool IsLive(const ElementState& state) { return state != nullptr && !state->deleted; }

// What a step did to one element, seen from before to after.
enum class Change { None, Created, Deleted, Modified };

Change ChangeOf(const ElementState& before, const ElementState& after)
{
  const bool wasLive = IsLive(before);
  const bool isLive = IsLive(after);
  if (!wasLive && isLive)
    return Change::Created;
  if (wasLive && !isLive)
    return Change::Deleted;
  return wasLive ? Change::Modified : Change::None;
}

// Notifications of one batch, grouped by the handler that receives them.
class Batch {
public:
  void Add(APIElementEventHandlerProc* handler, API_NotifyElementID id, const API_Elem_Head& head)
  {
    if (handler == nullptr)
      return;
    API_NotifyElementType notification;
    notification.notifID = id;
    notification.elemHead = head;
    for (auto& [proc, list] : groups_)
      if (proc == handler) {
        list.push_back(notification);
        return;
      }
    groups_.push_back({handler, {notification}});
  }

  void Deliver() const
  {
    CallLogResume addOnCalls;
    for (const auto& [proc, list] : groups_) {
      API_NotifyElementType edge;
      edge.notifID = APINotifyElement_BeginEvents;
      proc(&edge);
      for (const API_NotifyElementType& notification : list)
        proc(&notification);
      edge.notifID = APINotifyElement_EndEvents;
      proc(&edge);
    }
  }

private:
  std::vector<std::pair<APIElementEventHandlerProc*, std::vector<API_NotifyElementType>>> groups_;
};

const API_Elem_Head& HeadOf(const ElementState& before, const ElementState& after)
{
  return after != nullptr ? after->element.header : before->element.header;
}

bool Observed(const ElementState& before, const ElementState& after)
{
  return (before != nullptr && before->observed) || (after != nullptr && after->observed);
}

APIElementEventHandlerProc* NewElementHandler(API_ElemTypeID type)
{
  const Handlers& handlers = TheModel().handlers;
  if (handlers.newElementType.has_value() && *handlers.newElementType != type)
    return nullptr;
  return handlers.newElement;
}

APIElementEventHandlerProc* ObserverFor(const ElementState& before, const ElementState& after)
{
  return Observed(before, after) ? TheModel().handlers.observer : nullptr;
}

void ReportUserStep(const UndoStep& step, bool asCopy)
{
  Batch batch;
  for (const auto& [guid, states] : step.elements) {
    const auto& [before, after] = states;
    const API_Elem_Head& head = HeadOf(before, after);
    switch (ChangeOf(before, after)) {
    case Change::Created:
      batch.Add(NewElementHandler(head.typeID), asCopy ? APINotifyElement_Copy : APINotifyElement_New, head);
      break;
    case Change::Deleted:
      batch.Add(ObserverFor(before, after), APINotifyElement_Delete, head);
      break;
    case Change::Modified:
      batch.Add(ObserverFor(before, after), APINotifyElement_Edit, head);
      break;
    case Change::None:
      break;
    }
  }
  batch.Deliver();
}

// Undo runs a step backwards: what it created is taken away again (undo of
// a creation), what it deleted comes back (undo of a deletion).
void ReportHistoryStep(const UndoStep& step, bool undo)
{
  Batch batch;
  for (const auto& [guid, states] : step.elements) {
    const auto& [before, after] = states;
    APIElementEventHandlerProc* observer = ObserverFor(before, after);
    const API_Elem_Head& head = HeadOf(before, after);
    switch (ChangeOf(before, after)) {
    case Change::Created:
      batch.Add(observer, undo ? APINotifyElement_Undo_Created : APINotifyElement_Redo_Created, head);
      break;
    case Change::Deleted:
      batch.Add(observer, undo ? APINotifyElement_Undo_Deleted : APINotifyElement_Redo_Deleted, head);
      break;
    case Change::Modified:
      batch.Add(observer, undo ? APINotifyElement_Undo_Modified : APINotifyElement_Redo_Modified, head);
      break;
    case Change::None:
      break;
    }
  }
  batch.Deliver();
}

// Drops the oldest steps beyond the depth; what only they could bring back
// goes with them.
// Only the elements of the steps dropped can have lost the last step that
// could bring them back.
void AddElementsOf(const std::vector<UndoStep>& steps, std::set<API_Guid>& guids)
{
  for (const UndoStep& step : steps)
    for (const auto& entry : step.elements)
      guids.insert(entry.first);
}

void TrimHistory(std::set<API_Guid> dropped)
{
  Model& model = TheModel();
  const std::size_t excess = model.undoSteps.size() > model.undoDepth ? model.undoSteps.size() - model.undoDepth : 0;
  AddElementsOf(std::vector<UndoStep>(model.undoSteps.begin(), model.undoSteps.begin() + std::ptrdiff_t(excess)),
                dropped);
  model.undoSteps.erase(model.undoSteps.begin(), model.undoSteps.begin() + std::ptrdiff_t(excess));
  if (!dropped.empty())
    ForgetUnreachableElements(dropped);
}

void Record(const UndoStep& step)
{
  if (step.IsEmpty())
    return;
  Model& model = TheModel();
  model.undoSteps.push_back(step);
  std::set<API_Guid> dropped;
  AddElementsOf(model.redoSteps, dropped);
  model.redoSteps.clear();
  TrimHistory(std::move(dropped));
}

std::vector<GS::UniString> NamesOf(const std::vector<UndoStep>& steps)
{
  std::vector<GS::UniString> names;
  for (const UndoStep& step : steps)
    names.push_back(step.name);
  return names;
}

}  // namespace

GSErrCode ACAPI_Notify_CatchProjectEvent(UInt32 eventTypes, APIProjectEventHandlerProc* handler)
{
  if (GSErrCode err = Enter("ACAPI_Notify_CatchProjectEvent"); err != NoError)
    return err;
  auto& events = TheModel().handlers.projectEvents;
  for (UInt32 bit = 1; bit != 0; bit <<= 1) {
    if ((eventTypes & bit) == 0)
      continue;
    if (handler != nullptr)
      events[bit] = handler;
    else
      events.erase(bit);
  }
  return NoError;
}

GSErrCode ACAPI_Notify_CatchNewElement(const API_ElemTypeID* elemType, APIElementEventHandlerProc* handler)
{
  if (GSErrCode err = Enter("ACAPI_Notify_CatchNewElement"); err != NoError)
    return err;
  Handlers& handlers = TheModel().handlers;
  handlers.newElement = handler;
  handlers.newElementType = elemType != nullptr ? std::optional<API_ElemTypeID>(*elemType) : std::nullopt;
  return NoError;
}

GSErrCode ACAPI_Notify_InstallElementObserver(APIElementEventHandlerProc* handler)
{
  if (GSErrCode err = Enter("ACAPI_Notify_InstallElementObserver"); err != NoError)
    return err;
  TheModel().handlers.observer = handler;
  return NoError;
}

GSErrCode ACAPI_Notify_CatchSelectionChange(APISelectionChangeHandlerProc* handler)
{
  if (GSErrCode err = Enter("ACAPI_Notify_CatchSelectionChange"); err != NoError)
    return err;
  TheModel().handlers.selection = handler;
  return NoError;
}

GSErrCode ACAPI_Notify_CatchElementReservationChange(APIReservationChangeHandlerProc* handler)
{
  if (GSErrCode err = Enter("ACAPI_Notify_CatchElementReservationChange"); err != NoError)
    return err;
  TheModel().handlers.reservation = handler;
  return NoError;
}

GSErrCode ACAPI_CallUndoableCommand(const GS::UniString& undoString, const APICommandProc& command)
{
  if (GSErrCode err = Enter("ACAPI_CallUndoableCommand"); err != NoError)
    return err;
  Model& model = TheModel();
  if (model.commandDepth > 0)
    return command();
  ++model.commandDepth;
  BeginJournal();
  const GSErrCode result = command();
  UndoStep step = EndJournal(undoString);
  --model.commandDepth;
  Record(step);
  return result;
}

namespace pln::host {

void DeliverProjectEvent(API_NotifyEventID event)
{
  const auto& events = TheModel().handlers.projectEvents;
  auto found = events.find(static_cast<UInt32>(event));
  if (found != events.end())
    found->second(event, 0);
}

void DeliverSelectionChange()
{
  APISelectionChangeHandlerProc* handler = TheModel().handlers.selection;
  if (handler == nullptr)
    return;
  CallLogResume addOnCalls;
  API_Neig neig;
  if (!TheModel().selection.empty())
    neig.guid = TheModel().selection.front();
  handler(&neig);
}

void DeliverReservationChange(const GS::HashTable<API_Guid, short>& reserved, const GS::HashSet<API_Guid>& released,
                              const GS::HashSet<API_Guid>& deleted)
{
  if (APIReservationChangeHandlerProc* handler = TheModel().handlers.reservation; handler != nullptr)
    handler(reserved, released, deleted);
}

GSErrCode RunUserAction(const GS::UniString& undoName, bool asCopy, const std::function<GSErrCode()>& action)
{
  Model& model = TheModel();
  if (model.commandDepth > 0)
    return APIERR_REFUSEDCMD;
  ++model.commandDepth;
  BeginJournal();
  const GSErrCode result = action();
  // Reported while the journal is still open: what the handlers write
  // (and any command they run) joins the user's step, so undo and redo
  // take the add-on's answer along with the action.
  const UndoStep reported = PeekJournal(undoName);
  if (!reported.IsEmpty())
    ReportUserStep(reported, asCopy);
  UndoStep step = EndJournal(undoName);
  --model.commandDepth;
  Record(step);
  return result;
}

namespace {

// Takes the newest step of from, puts the project back to before it (undo)
// or after it (redo), and files the step in to for the way back.
GSErrCode ReplayStep(std::vector<UndoStep>& from, std::vector<UndoStep>& to, bool undo)
{
  if (from.empty() || TheModel().commandDepth > 0)
    return APIERR_UNDOEMPTY;
  UndoStep step = std::move(from.back());
  from.pop_back();
  const bool selectionChanged = RestoreStep(step, undo);
  to.push_back(step);
  ReportHistoryStep(step, undo);
  if (selectionChanged)
    DeliverSelectionChange();
  {
    CallLogResume addOnCalls;
    DeliverProjectEvent(APINotify_ChangeProjectDB);
  }
  return NoError;
}

}  // namespace

GSErrCode UndoLastStep()
{
  Model& model = TheModel();
  return ReplayStep(model.undoSteps, model.redoSteps, true);
}

GSErrCode RedoLastStep()
{
  Model& model = TheModel();
  return ReplayStep(model.redoSteps, model.undoSteps, false);
}

std::vector<GS::UniString> UndoStepNames() { return NamesOf(TheModel().undoSteps); }

std::vector<GS::UniString> RedoStepNames() { return NamesOf(TheModel().redoSteps); }

void ClearUndoHistory()
{
  TheModel().undoSteps.clear();
  TheModel().redoSteps.clear();
}

void SetUndoDepth(std::size_t depth)
{
  TheModel().undoDepth = depth;
  TrimHistory({});
}

}  // namespace pln::host
