#pragma once
// Reservation of one placed element for the length of a change, in a
// shared (Teamwork) project; nothing happens in a project without one.

#include "gs_containers.h"
#include "host_api_types.h"

class CTeamworkControl {
public:
  // Reserves the element when the project is connected and online.
  explicit CTeamworkControl(const API_Guid& guid);
  // Releases what was reserved.
  ~CTeamworkControl();
  CTeamworkControl(const CTeamworkControl&) = delete;
  CTeamworkControl& operator=(const CTeamworkControl&) = delete;

private:
  GS::Array<API_Guid> m_Guids;
};
