// Parameters of library parts: the parameter-change record of the open
// transaction, an element's stored parameters, a part's value lists.

#include "CGSUtil.h"
#include "CGSUtilText.h"
#include "HostHandles.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_libpart.h"

#include <cstring>

namespace {

// Copies the name into the host's fixed field; false when it does not fit
// with its terminator.
bool CopyParamName(const char* name, char (&field)[API_NameLen])
{
  if (name == nullptr)
    return false;
  const std::size_t length = strnlen(name, API_NameLen);
  if (length >= static_cast<std::size_t>(API_NameLen))
    return false;
  std::memcpy(field, name, length + 1);
  return true;
}

GSErrCode ChangeParameter(const char* name, double real, const char16_t* text, int i1, int i2)
{
  API_ChangeParamType change{};
  if (!CopyParamName(name, change.name))
    return APIERR_BADPARS;
  change.ind1 = i1;
  change.ind2 = i2;
  change.realValue = real;
  change.uStrValue = text;
  return ACAPI_Goodies('CHGP', &change);
}

// Runs the value-list request between 'OPAR' and 'CPAR'; the list is closed
// even when the request fails, so no transaction is left open behind us.
GSErrCode GetParamValues(API_ElemTypeID type, int libInd, const char* name, API_GetParamValuesType& values)
{
  if (!CopyParamName(name, values.name))
    return APIERR_BADPARS;
  API_ParamOwnerType owner;
  owner.libInd = libInd;
  owner.typeID = type;
  pln::gsutil::ParamsEditing editing;
  if (GSErrCode err = editing.Open(owner); err != NoError)
    return err;
  const GSErrCode err = ACAPI_Goodies('GPVL', &values);
  const GSErrCode closeErr = editing.Close();
  return err != NoError ? err : closeErr;
}

}  // namespace

GSErrCode CGSUtil::ChangeObjectParameter(const char* name, bool value, int i1, int i2)
{
  return ChangeObjectParameter(name, value ? 1.0 : 0.0, i1, i2);
}

GSErrCode CGSUtil::ChangeObjectParameter(const char* name, int value, int i1, int i2)
{
  return ChangeObjectParameter(name, static_cast<double>(value), i1, i2);
}

GSErrCode CGSUtil::ChangeObjectParameter(const char* name, double value, int i1, int i2)
{
  return ChangeParameter(name, value, nullptr, i1, i2);
}

GSErrCode CGSUtil::ChangeObjectParameter(const char* name, const char* value, int i1, int i2)
{
  return ChangeObjectParameter(name, GS::UniString(value, CC_Default), i1, i2);
}

GSErrCode CGSUtil::ChangeObjectParameter(const char* name, const unsigned short* value, int i1, int i2)
{
  return ChangeObjectParameter(name, pln::gsutil::FromUShort(value), i1, i2);
}

GSErrCode CGSUtil::ChangeObjectParameter(const char* name, const GS::UniString& value, int i1, int i2)
{
  return ChangeParameter(name, 0.0, value.ToUStr(), i1, i2);
}

GSErrCode CGSUtil::GetObjectParameter(API_Guid& guid, const char* name, double* value)
{
  pln::gsutil::MemoGuard guard;
  API_ElementMemo& memo = guard.memo;
  const GSErrCode err = ACAPI_Element_GetMemo(guid, &memo, APIMemoMask_AddPars);
  if (err == NoError && name != nullptr) {
    const std::size_t count = pln::gsutil::EntriesIn(memo.params);
    for (std::size_t i = 0; i < count; ++i) {
      const API_AddParType& par = (*memo.params)[i];
      if (std::strncmp(par.name, name, API_NameLen) == 0) {
        if (value != nullptr)
          *value = par.realValue;
        break;
      }
    }
  }
  return err;
}

GSErrCode CGSUtil::GetObjectParameterList(API_ElemTypeID type, int libInd, const char* name,
                                          std::vector<GS::UniString>& values)
{
  API_GetParamValuesType list;
  const GSErrCode err = GetParamValues(type, libInd, name, list);
  if (err == NoError)
    values.assign(list.strValues.begin(), list.strValues.end());
  return err;
}

GSErrCode CGSUtil::GetObjectParameterList(API_ElemTypeID type, int libInd, const char* name,
                                          std::vector<API_VLNumType>& values)
{
  API_GetParamValuesType list;
  const GSErrCode err = GetParamValues(type, libInd, name, list);
  if (err == NoError)
    values.assign(list.realValues.begin(), list.realValues.end());
  return err;
}
