#include "CMyUserData.h"

#include "CHostMemoryStream.h"
#include "host_elements.h"
#include "host_memory.h"
#include "host_userdata.h"

GSErrCode CMyUserData::SetUserData(const API_Elem_Head* head)
{
  if (m_version != kVersion)
    return APIERR_BADPARS;
  CHostMemoryStream data;
  if (!data.StartWriting())
    return APIERR_MEMFULL;
  // The tag's save begins here: thrown codes end here.
  try {
    data.Put<Int32>(m_type);
  } catch (unsigned int) {
    return APIERR_MEMFULL;
  }
  API_UserData record;
  record.dataVersion = static_cast<short>(m_version);
  record.platformSign = kPlatformSign;
  record.flags = 0;
  record.dataHdl = data.GetHandle();
  const GSErrCode err = ACAPI_Element_SetUserData(head, &record);
  record.dataHdl = nullptr;  // the stream's
  return err;
}

GSErrCode CMyUserData::GetUserData(const API_Elem_Head* head)
{
  m_type = TYPE(0);
  m_version = 0;
  API_UserData record;
  const GSErrCode err = ACAPI_Element_GetUserData(head, &record);
  CHostMemoryStream data;
  data.StartReading(record.dataHdl);
  record.dataHdl = nullptr;  // the stream's
  if (err != NoError && err != APIERR_DELETED)
    return err;
  // Another add-on's record, or a damaged one, may be shorter than a value:
  // it is not a tag. The tag's load begins here: thrown codes end here.
  try {
    m_type = TYPE(data.Get<Int32>());
  } catch (unsigned int) {
    return APIERR_BADPARS;
  }
  m_version = static_cast<unsigned short>(record.dataVersion);
  return err;
}

GSErrCode TagPlacedElement(CMyUserDataCore& tag, const API_Elem_Head& head)
{
  const GSErrCode err = tag.SetUserData(&head);
  if (err != NoError) {
    GS::Array<API_Guid> untagged;
    untagged.Push(head.guid);
    static_cast<void>(ACAPI_Element_Delete(untagged));  // the tag's failure is the one reported
  }
  return err;
}
