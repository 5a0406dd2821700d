#pragma once
// Teamwork reservation of the output worksheets: the elements the output
// tagged (objects, lines, texts with user data 700) on one worksheet per
// pattern, reserved, released or tested for ownership together. Untagged
// elements a user drew there are never touched.

#include "host_api_types.h"

#include <functional>
#include <optional>

class CAreaObject;
class CPlenimetraParam;

// The worksheet of a pattern, given its root folder: nothing when it was
// never written; the host's error when it could not be looked up.
using WorksheetLookup = std::function<GSErrCode(const CAreaObject& root, std::optional<API_DatabaseUnId>& found)>;

class WorksheetTeamwork {
public:
  WorksheetTeamwork(const CPlenimetraParam& doc, WorksheetLookup lookup) : m_Doc(doc), m_Lookup(std::move(lookup)) {}

  // Each request names the elements of every pattern handled so far. The
  // first error of a lookup, switch, listing or request is returned (the
  // other patterns still run), as is a failed return to the database that
  // was current; 0 without any pattern or worksheet.
  [[nodiscard]] GSErrCode Reserve();
  [[nodiscard]] GSErrCode Release();
  // True when every pattern's worksheet could be looked up, switched to and
  // listed, the current database came back, and this user holds every
  // element found; outside teamwork the holding is not asked.
  bool IsOwned();

private:
  enum class Action { Reserve, Release, Status };
  [[nodiscard]] GSErrCode Run(Action action, bool* owned);
  [[nodiscard]] GSErrCode Collect(const API_DatabaseUnId& sheet, GS::Array<API_Guid>& guids);

  const CPlenimetraParam& m_Doc;
  WorksheetLookup m_Lookup;
};
