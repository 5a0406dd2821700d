#include "CTeamworkControl.h"

#include "host_teamwork.h"

CTeamworkControl::CTeamworkControl(const API_Guid& guid)
{
  if (!ACAPI_TeamworkControl_HasConnection() || !ACAPI_TeamworkControl_IsOnline())
    return;
  m_Guids.Push(guid);
  ACAPI_TeamworkControl_ReserveElements(m_Guids, nullptr, true);
}

CTeamworkControl::~CTeamworkControl()
{
  if (!m_Guids.IsEmpty())
    ACAPI_TeamworkControl_ReleaseElements(m_Guids, true);
}
