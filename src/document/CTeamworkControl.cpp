#include "CTeamworkControl.h"

#include "host_teamwork.h"

CTeamworkControl::CTeamworkControl(const API_Guid& guid)
{
  if (!ACAPI_TeamworkControl_HasConnection() || !ACAPI_TeamworkControl_IsOnline())
    return;
  m_Guids.Push(guid);
  // An element left unreserved refuses the writes, which report it.
  (void)ACAPI_TeamworkControl_ReserveElements(m_Guids, nullptr, true);
}

CTeamworkControl::~CTeamworkControl()
{
  // A destructor has no one to answer; the server frees what stays reserved.
  if (!m_Guids.IsEmpty())
    (void)ACAPI_TeamworkControl_ReleaseElements(m_Guids, true);
}
