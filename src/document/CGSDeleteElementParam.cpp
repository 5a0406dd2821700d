#include "CGSDeleteElementParam.h"

#include "CGSUtil.h"
#include "CMyUserData.h"
#include "host_environment.h"
#include "host_errors.h"

namespace {

// The window kinds the output may be collected from.
constexpr API_DatabaseTypeID kFloorPlan = APIWind_FloorPlanID;
constexpr API_DatabaseTypeID kModel = API_DatabaseTypeID(4);

}  // namespace

template <class Body> GSErrCode CGSDeleteElementParamArray::OnFloorPlan(Body body)
{
  API_DatabaseInfo current;
  if (ACAPI_Database('GDAT', &current) != NoError)
    return APIERR_CANCEL;
  if (current.typeID != kFloorPlan && current.typeID != kModel)
    return APIERR_CANCEL;
  const bool switched = current.typeID != kFloorPlan;
  if (switched) {
    if (GSErrCode err = CGSUtil::ChangeDatabaseFloorPlan(); err != NoError)
      return err;
  }
  GSErrCode err = body();
  if (switched) {
    const GSErrCode back = ACAPI_Database('CDAT', &current);
    if (err == NoError)
      err = back;
  }
  return err;
}

GSErrCode CGSDeleteElementParamArray::SetList(CMyUserDataCore* tag, CKelProgressCore* progress, CSelectList* layers,
                                              short* story)
{
  m_Heads.Clear();
  return OnFloorPlan([&]() -> GSErrCode {
    for (const CGSDeleteElementParam& rule : *this) {
      if (GSErrCode err = CGSUtil::GSGetElement(rule.m_Type, tag, 0, CMyUserDataCore::TYPE(rule.m_UserType), layers,
                                                story, progress, &m_Heads);
          err != NoError)
        return err;
    }
    return NoError;
  });
}

GS::Array<API_Guid> CGSDeleteElementParamArray::GetGuids() const
{
  GS::Array<API_Guid> guids;
  for (const API_Elem_Head& head : m_Heads)
    guids.Push(head.guid);
  return guids;
}

GSErrCode CGSDeleteElementParamArray::Delete()
{
  return OnFloorPlan([&] { return CGSUtil::GSDeleteElement(&m_Heads); });
}
