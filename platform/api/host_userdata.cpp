#include "host_userdata.h"

#include "host_calllog.h"
#include "host_errors.h"
#include "host_model.h"

#include <cstring>

using namespace pln::host;

namespace {

std::vector<char> BytesOf(GSConstHandle handle)
{
  if (handle == nullptr)
    return {};
  return std::vector<char>(*handle, *handle + BMGetHandleSize(handle));
}

// A fresh handle of the bytes (an empty one for no bytes); null when memory
// runs out.
GSHandle HandleOf(const std::vector<char>& bytes)
{
  GSHandle handle = BMAllocateHandle(static_cast<GSSize>(bytes.size()), 0, 0);
  if (handle != nullptr && !bytes.empty())
    std::memcpy(*handle, bytes.data(), bytes.size());
  return handle;
}

// The live element of the header, checked for writing.
GSErrCode WritableElement(const API_Elem_Head* head, StoredElement** stored)
{
  if (head == nullptr)
    return APIERR_BADPARS;
  if (GSErrCode err = CheckLive(head->guid); err != NoError)
    return err;
  *stored = FindElement(head->guid);
  return CheckWritable(**stored);
}

GSErrCode SetObserved(const API_Guid& guid, bool observed)
{
  if (GSErrCode err = CheckLive(guid); err != NoError)
    return err;
  TouchElement(guid);
  FindElement(guid)->observed = observed;
  return NoError;
}

}  // namespace

GSErrCode ACAPI_Element_GetUserData(const API_Elem_Head* head, API_UserData* userData)
{
  if (GSErrCode err = Enter("ACAPI_Element_GetUserData"); err != NoError)
    return err;
  if (head == nullptr || userData == nullptr)
    return APIERR_BADPARS;
  const StoredElement* stored = FindElement(head->guid);
  if (stored == nullptr)
    return APIERR_BADID;
  if (!stored->userData.has_value())
    return APIERR_NOUSERDATA;
  const StoredUserData& data = *stored->userData;
  GSHandle handle = HandleOf(data.bytes);
  if (handle == nullptr)
    return APIERR_MEMFULL;
  userData->dataVersion = data.dataVersion;
  userData->platformSign = data.platformSign;
  userData->flags = data.flags;
  userData->dataHdl = handle;
  return stored->deleted ? APIERR_DELETED : NoError;
}

GSErrCode ACAPI_Element_SetUserData(const API_Elem_Head* head, const API_UserData* userData)
{
  if (GSErrCode err = Enter("ACAPI_Element_SetUserData"); err != NoError)
    return err;
  if (userData == nullptr)
    return APIERR_BADPARS;
  StoredElement* stored = nullptr;
  if (GSErrCode err = WritableElement(head, &stored); err != NoError)
    return err;
  TouchElement(head->guid);
  stored->userData = StoredUserData{userData->dataVersion, userData->platformSign, userData->flags, BytesOf(userData->dataHdl)};
  return NoError;
}

GSErrCode ACAPI_Element_DeleteUserData(const API_Elem_Head* head)
{
  if (GSErrCode err = Enter("ACAPI_Element_DeleteUserData"); err != NoError)
    return err;
  StoredElement* stored = nullptr;
  if (GSErrCode err = WritableElement(head, &stored); err != NoError)
    return err;
  TouchElement(head->guid);
  stored->userData.reset();
  return NoError;
}

GSErrCode ACAPI_Element_AttachObserver(const API_Guid& guid)
{
  if (GSErrCode err = Enter("ACAPI_Element_AttachObserver"); err != NoError)
    return err;
  return SetObserved(guid, true);
}

GSErrCode ACAPI_Element_DetachObserver(const API_Guid& guid)
{
  if (GSErrCode err = Enter("ACAPI_Element_DetachObserver"); err != NoError)
    return err;
  return SetObserved(guid, false);
}

GSErrCode ACAPI_ModulData_GetInfo(API_ModulData* info, const GS::UniString& name)
{
  if (GSErrCode err = Enter("ACAPI_ModulData_GetInfo"); err != NoError)
    return err;
  if (info == nullptr)
    return APIERR_BADPARS;
  const auto& records = TheModel().modulData;
  auto found = records.find(name);
  if (found == records.end())
    return APIERR_NOMODULEDATA;
  info->dataVersion = found->second.dataVersion;
  info->platformSign = found->second.platformSign;
  info->dataHdl = nullptr;
  return NoError;
}

GSErrCode ACAPI_ModulData_Get(API_ModulData* data, const GS::UniString& name)
{
  if (GSErrCode err = Enter("ACAPI_ModulData_Get"); err != NoError)
    return err;
  if (data == nullptr)
    return APIERR_BADPARS;
  const auto& records = TheModel().modulData;
  auto found = records.find(name);
  if (found == records.end())
    return APIERR_NOMODULEDATA;
  GSHandle handle = HandleOf(found->second.bytes);
  if (handle == nullptr)
    return APIERR_MEMFULL;
  data->dataVersion = found->second.dataVersion;
  data->platformSign = found->second.platformSign;
  data->dataHdl = handle;
  return NoError;
}

GSErrCode ACAPI_ModulData_Store(const API_ModulData* data, const GS::UniString& name)
{
  if (GSErrCode err = Enter("ACAPI_ModulData_Store"); err != NoError)
    return err;
  if (data == nullptr || name.IsEmpty())
    return APIERR_BADPARS;
  TouchModule(name);
  TheModel().modulData[name] = StoredModulData{data->dataVersion, data->platformSign, BytesOf(data->dataHdl)};
  return NoError;
}
