#include "CMyUserData.h"

#include "host_memory.h"
#include "host_userdata.h"

#include <cstring>

namespace {
constexpr GSSize kValueBytes = sizeof(Int32);
}

GSErrCode CMyUserData::SetUserData(const API_Elem_Head* head)
{
  if (m_version != kVersion) return APIERR_BADPARS;
  API_UserData record;
  record.dataVersion = static_cast<short>(m_version);
  record.platformSign = kPlatformSign;
  record.flags = 0;
  record.dataHdl = BMAllocateHandle(kValueBytes, ALLOCATE_CLEAR, 0);
  if (record.dataHdl == nullptr) return APIERR_MEMFULL;
  const Int32 value = m_type;
  std::memcpy(*record.dataHdl, &value, kValueBytes);
  const GSErrCode err = ACAPI_Element_SetUserData(head, &record);
  BMKillHandle(&record.dataHdl);
  return err;
}

GSErrCode CMyUserData::GetUserData(const API_Elem_Head* head)
{
  m_type = TYPE(0);
  m_version = 0;
  API_UserData record;
  const GSErrCode err = ACAPI_Element_GetUserData(head, &record);
  if (err != NoError && err != APIERR_DELETED) {
    BMKillHandle(&record.dataHdl);
    return err;
  }
  // Another add-on's record, or a damaged one, may be shorter than a value:
  // it is not a tag, and copying 4 bytes from it would read past its end.
  if (record.dataHdl == nullptr || BMGetHandleSize(record.dataHdl) < kValueBytes) {
    BMKillHandle(&record.dataHdl);
    return APIERR_BADPARS;
  }
  Int32 value = 0;
  std::memcpy(&value, *record.dataHdl, kValueBytes);
  m_type = TYPE(value);
  m_version = static_cast<unsigned short>(record.dataVersion);
  BMKillHandle(&record.dataHdl);
  return err;
}
