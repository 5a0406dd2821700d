#pragma once
// Teamwork: a shared project where each element is reserved by at most one
// user (the element header's userId; 0 while free). In a connected project
// only elements reserved by this user may be written (APIERR_NOTMINE), and
// new elements start reserved by their maker.

#include "host_api_types.h"

bool ACAPI_TeamworkControl_HasConnection();
bool ACAPI_TeamworkControl_IsOnline();

// Reserves the free elements and keeps this user's own. Elements another
// user holds are conflicts: with a table they are listed there (element ->
// holder) and the call succeeds; without one it answers APIERR_NOTMINE.
// Nothing connected: APIERR_NOTEAMWORKPROJECT; offline: APIERR_REFUSEDCMD;
// an unknown or deleted element: its error, nothing reserved.
[[nodiscard]] GSErrCode ACAPI_TeamworkControl_ReserveElements(const GS::Array<API_Guid>& elements,
                                                              GS::HashTable<API_Guid, short>* conflicts,
                                                              bool enableDialogs = true);
// Gives back this user's elements among them; the others are passed over.
[[nodiscard]] GSErrCode ACAPI_TeamworkControl_ReleaseElements(const GS::Array<API_Guid>& elements,
                                                              bool enableDialogs = true);

namespace pln::host {
// Test hooks. A project is shared when connected; userId is this user's id.
void SetTeamwork(bool connected, bool online, short userId);
// Another user (or nobody, 0) takes the element; the change is reported.
[[nodiscard]] GSErrCode SetElementOwner(const API_Guid& guid, short userId);
}  // namespace pln::host
