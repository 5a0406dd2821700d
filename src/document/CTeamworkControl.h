#pragma once
// Reservation of one placed element for the length of a change, in a
// shared (Teamwork) project; nothing happens in a project without one.

#include "gs_containers.h"
#include "host_api_types.h"

#include <functional>
#include <vector>

class CPlenimetraParam;

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

// Reservation for a command that rewrites elements it may leave as they
// were (every figure rewritten for new settings, a record stored again
// with the bytes it has): the elements are taken together before the
// command, so that a refusal changes nothing, and those it left as they
// were are given back after it, so that the user ends holding only what
// the command changed. Elements the user held before are kept.
class CTeamworkTaking {
public:
  // Runs the command after taking the elements: the reservation's refusal
  // (APIERR_NOTMINE when one stays another's) without running it, else
  // the command's result. Without an online shared project it just runs.
  [[nodiscard]] static GSErrCode Run(const CPlenimetraParam& param, const GS::Array<API_Guid>& guids,
                                     const std::function<GSErrCode()>& command);

private:
  // What a change can alter of an element: its record, its parameters
  // and its user data. Empty when the element cannot be read.
  struct State {
    bool read = false;
    API_Element element{};
    std::vector<char> params;
    std::vector<char> userData;
    bool operator==(const State&) const = default;
  };
  static State StateOf(const API_Guid& guid);
};
