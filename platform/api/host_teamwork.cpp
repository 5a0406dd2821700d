#include "host_teamwork.h"

#include "host_calllog.h"
#include "host_errors.h"
#include "host_model.h"
#include "host_notify.h"

using namespace pln::host;

namespace {

GSErrCode CheckOnline()
{
  const Model& model = TheModel();
  if (!model.teamworkConnected)
    return APIERR_NOTEAMWORKPROJECT;
  return model.teamworkOnline ? NoError : APIERR_REFUSEDCMD;
}

GSErrCode CheckAllLive(const GS::Array<API_Guid>& elements)
{
  for (const API_Guid& guid : elements)
    if (GSErrCode err = CheckLive(guid); err != NoError)
      return err;
  return NoError;
}

// What a reservation call checks before it changes any owner: a failure a
// test queued for it, the connection, and that every element is there.
GSErrCode StartReservationCall(const char* call, const GS::Array<API_Guid>& elements)
{
  if (GSErrCode err = Enter(call); err != NoError)
    return err;
  if (GSErrCode err = CheckOnline(); err != NoError)
    return err;
  return CheckAllLive(elements);
}

}  // namespace

bool ACAPI_TeamworkControl_HasConnection()
{
  LogCall("ACAPI_TeamworkControl_HasConnection");
  return TheModel().teamworkConnected;
}

bool ACAPI_TeamworkControl_IsOnline()
{
  LogCall("ACAPI_TeamworkControl_IsOnline");
  return TheModel().teamworkConnected && TheModel().teamworkOnline;
}

GSErrCode ACAPI_TeamworkControl_ReserveElements(const GS::Array<API_Guid>& elements,
                                                GS::HashTable<API_Guid, short>* conflicts, bool /*enableDialogs*/)
{
  if (GSErrCode err = StartReservationCall("ACAPI_TeamworkControl_ReserveElements", elements); err != NoError)
    return err;
  const short me = TheModel().project.userId;
  GS::HashTable<API_Guid, short> reserved;
  bool anyConflict = false;
  for (const API_Guid& guid : elements) {
    API_Elem_Head& head = FindElement(guid)->element.header;
    if (head.userId == 0) {
      head.userId = me;
      reserved.Put(guid, me);
    } else if (head.userId != me) {
      anyConflict = true;
      if (conflicts != nullptr)
        conflicts->Put(guid, head.userId);
    }
  }
  if (!reserved.IsEmpty())
    DeliverReservationChange(reserved, {}, {});
  return anyConflict && conflicts == nullptr ? APIERR_NOTMINE : NoError;
}

GSErrCode ACAPI_TeamworkControl_ReleaseElements(const GS::Array<API_Guid>& elements, bool /*enableDialogs*/)
{
  if (GSErrCode err = StartReservationCall("ACAPI_TeamworkControl_ReleaseElements", elements); err != NoError)
    return err;
  const short me = TheModel().project.userId;
  GS::HashSet<API_Guid> released;
  for (const API_Guid& guid : elements) {
    API_Elem_Head& head = FindElement(guid)->element.header;
    if (head.userId == me) {
      head.userId = 0;
      released.Add(guid);
    }
  }
  if (!released.IsEmpty())
    DeliverReservationChange({}, released, {});
  return NoError;
}

namespace pln::host {

void SetTeamwork(bool connected, bool online, short userId)
{
  Model& model = TheModel();
  model.teamworkConnected = connected;
  model.teamworkOnline = online;
  model.teamworkUserId = connected ? userId : 0;
  model.project.teamwork = connected;
  model.project.userId = connected ? userId : 0;
}

GSErrCode SetElementOwner(const API_Guid& guid, short userId)
{
  if (GSErrCode err = CheckLive(guid); err != NoError)
    return err;
  FindElement(guid)->element.header.userId = userId;
  GS::HashTable<API_Guid, short> reserved;
  GS::HashSet<API_Guid> released;
  if (userId != 0)
    reserved.Put(guid, userId);
  else
    released.Add(guid);
  DeliverReservationChange(reserved, released, {});
  return NoError;
}

}  // namespace pln::host
