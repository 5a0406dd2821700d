// Deletion under a layer guard: the host refuses to delete on a hidden or
// locked layer, so each layer involved is shown and unlocked for the
// deletion and put back afterwards, whatever happened in between.

#include "CGSUtil.h"
#include "CKelProgressCore.h"
#include "CLayerControl.h"
#include "CLayeyStatusParam.h"
#include "GSWriteReport.h"
#include "host_attributes.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_teamwork.h"
#include "host_userdata.h"

namespace {

constexpr const char* kSearchText = "削除するエレメントを検索中";

// Saves the layer's state as the user left it (the first save of a layer
// wins), then opens it for writing.
GSErrCode SaveAndOpenLayer(short layer, CLayeyStatusParamArray& saved)
{
  API_Attribute attribute;
  attribute.header.typeID = API_LayerID;
  attribute.header.index = layer;
  if (GSErrCode err = ACAPI_Attribute_Get(&attribute); err != NoError)
    return err;
  const UInt32 flags = attribute.header.flags;
  saved.Add(CLayeyStatusParam(layer, (flags & APILay_Hidden) == 0, (flags & APILay_Locked) != 0));
  if (GSErrCode err = CGSUtil::SetLayerLockStatus(layer, false); err != NoError)
    return err;
  return CGSUtil::SetLayerVisibleStatusNew(layer, true);
}

// Putting the layers back leaves the deletion's result as it is, but a
// layer the user locked or hid that stays open is told, once, by name: the
// user's next edit could otherwise land on it unseen.
void RestoreLayers(const CLayeyStatusParamArray& saved)
{
  std::vector<short> open;
  for (const CLayeyStatusParam& state : saved) {
    const GSErrCode locked = CGSUtil::SetLayerLockStatus(state.m_nLayer, state.m_bLocked);
    const GSErrCode shown = CGSUtil::SetLayerVisibleStatusNew(state.m_nLayer, state.m_bVisible);
    if (locked != NoError || shown != NoError)
      open.push_back(state.m_nLayer);
  }
  CLayerControl::ReportLeftOpen(open);
}

void ReportFailure(GSErrCode err) { GSWriteFailure(GS::UniString(u"要素を削除できませんでした。"), err); }

// The elements of the list this user has not reserved yet.
GS::Array<API_Guid> NotYetReserved(GS::Array<API_Elem_Head>& heads, short userId)
{
  GS::Array<API_Guid> guids;
  for (API_Elem_Head& head : heads)
    if (!CGSUtil::TeamworkControl_GetLockableStatus(userId, head.guid))
      guids.Push(head.guid);
  return guids;
}

}  // namespace

GSErrCode CGSUtil::GSDeleteElement(GS::Array<API_Elem_Head>* heads)
{
  if (heads == nullptr)
    return NoError;
  GS::Array<API_Guid> guids;
  CLayeyStatusParamArray saved;
  GSErrCode err = NoError;
  for (const API_Elem_Head& head : *heads) {
    guids.Push(head.guid);
    err = SaveAndOpenLayer(head.layer, saved);
    if (err != NoError)
      break;
  }
  if (err == NoError && !guids.IsEmpty())
    err = ACAPI_Element_Delete(guids);
  RestoreLayers(saved);
  return err;
}

GSErrCode CGSUtil::GSDeleteElement3(GS::Array<API_Elem_Head>& heads)
{
  if (!ACAPI_TeamworkControl_HasConnection() || !ACAPI_TeamworkControl_IsOnline())
    return GSDeleteElement(&heads);
  short userId = 0;
  IsTeamworkProject(&userId);
  const GS::Array<API_Guid> reserved = NotYetReserved(heads, userId);
  GS::HashTable<API_Guid, short> conflicts;
  if (GSErrCode err = ACAPI_TeamworkControl_ReserveElements(reserved, &conflicts, true); err != NoError)
    return err;
  // Another user's element stops the whole deletion: a partial one would
  // leave the caller's set half removed. Deleted elements hold no
  // reservation, so only an undone deletion has anything to give back.
  if (conflicts.IsEmpty())
    return GSDeleteElement(&heads);
  if (GSErrCode err = ACAPI_TeamworkControl_ReleaseElements(reserved, true); err != NoError)
    return err;
  return APIERR_NOTMINE;
}

GSErrCode CGSUtil::GSDeleteObject(API_ElemTypeID type, CMyUserDataCore* tag, int libInd,
                                  CMyUserDataCore::TYPE userType, CSelectList* layers, CKelProgressCore* progress,
                                  bool /*unused*/)
{
  GS::Array<API_Elem_Head> heads;
  if (GSErrCode err = GSGetElement(type, tag, libInd, userType, layers, nullptr, progress, &heads); err != NoError)
    return err;
  return GSDeleteElement(&heads);
}

GSErrCode CGSUtil::GSDeleteElement2(API_ElemTypeID type, CMyUserDataCore* tag, int libInd,
                                    CMyUserDataCore::TYPE userType, CSelectList* layers, CKelProgressCore* progress)
{
  GS::Array<API_Elem_Head> heads;
  if (GSErrCode err = GSGetElement(type, tag, libInd, userType, layers, nullptr, progress, &heads); err != NoError)
    return err;
  return GSDeleteElement3(heads);
}

GSErrCode CGSUtil::GSDeleteObject(std::vector<GS::Guid>& guids)
{
  GS::Array<API_Guid> prepared;
  CLayeyStatusParamArray saved;
  GSErrCode firstFailure = NoError;
  for (const GS::Guid& guid : guids) {
    API_Element element;
    element.header.guid = ToAPIGuid(guid);
    GSErrCode err = ACAPI_Element_Get(&element);
    if (err == NoError)
      err = SaveAndOpenLayer(element.header.layer, saved);
    if (err == NoError)
      prepared.Push(element.header.guid);
    else if (firstFailure == NoError)
      firstFailure = err;
  }
  // The prepared elements go even when a later one could not be prepared;
  // the failure is still reported, never turned into success.
  GSErrCode err = prepared.IsEmpty() ? NoError : ACAPI_Element_Delete(prepared);
  RestoreLayers(saved);
  if (err == NoError)
    err = firstFailure;
  if (err != NoError)
    ReportFailure(err);
  return err;
}

GSErrCode CGSUtil::GSDeleteObject(std::vector<GS::Guid>& guids, CKelProgressCore* progress)
{
  if (progress != nullptr)
    progress->SetRange(static_cast<int>(guids.size()), kSearchText);
  return GSDeleteObject(guids);
}

GSErrCode CGSUtil::GSDeleteWhole(const std::vector<GS::Guid>& guids)
{
  GS::Array<API_Elem_Head> heads;
  for (const GS::Guid& guid : guids) {
    API_Element element;
    element.header.guid = ToAPIGuid(guid);
    if (GSErrCode err = ACAPI_Element_Get(&element); err != NoError)
      return err;
    heads.Push(element.header);
  }
  return heads.IsEmpty() ? NoError : GSDeleteElement3(heads);
}

GSErrCode CGSUtil::GSClearUserData(GS::Array<API_Guid>* guids)
{
  if (guids == nullptr)
    return NoError;
  for (const API_Guid& guid : *guids) {
    API_Element element;
    element.header.guid = guid;
    if (GSErrCode err = ACAPI_Element_Get(&element); err != NoError)
      return err;
    if (GSErrCode err = ACAPI_Element_DeleteUserData(&element.header); err != NoError)
      return err;
  }
  return NoError;
}
