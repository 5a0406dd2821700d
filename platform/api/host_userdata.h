#pragma once
// Element user data, element observers and the project's module data.
//
// User data: one record per element (version, platform sign, flags, bytes).
// An element without one answers APIERR_NOUSERDATA; a deleted element's
// record stays readable and is handed out with APIERR_DELETED. Writing it
// is a write to the element (layer and teamwork rules of host_elements.h).
//
// Module data: named records of the project; a missing name answers
// APIERR_NOMODULEDATA. Both kinds are restored by undo and redo.

#include "host_api_types.h"

// *userData receives a fresh handle of the bytes; the caller frees it.
[[nodiscard]] GSErrCode ACAPI_Element_GetUserData(const API_Elem_Head* head, API_UserData* userData);
// Replaces the element's record with a copy of *userData (a null handle
// stores no bytes).
[[nodiscard]] GSErrCode ACAPI_Element_SetUserData(const API_Elem_Head* head, const API_UserData* userData);
// Removing a record that is not there succeeds.
[[nodiscard]] GSErrCode ACAPI_Element_DeleteUserData(const API_Elem_Head* head);

// An observed element reports the user's edits, deletions, undo and redo
// to the installed element observer.
[[nodiscard]] GSErrCode ACAPI_Element_AttachObserver(const API_Guid& guid);
[[nodiscard]] GSErrCode ACAPI_Element_DetachObserver(const API_Guid& guid);

// Version and platform sign of the record; dataHdl is left null.
[[nodiscard]] GSErrCode ACAPI_ModulData_GetInfo(API_ModulData* info, const GS::UniString& name);
// The record with a fresh handle of its bytes; the caller frees it.
[[nodiscard]] GSErrCode ACAPI_ModulData_Get(API_ModulData* data, const GS::UniString& name);
// Stores a copy under the name, replacing any record of that name.
[[nodiscard]] GSErrCode ACAPI_ModulData_Store(const API_ModulData* data, const GS::UniString& name);
