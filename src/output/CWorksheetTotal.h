#pragma once
// The building-area summary worksheet of each calculation pattern, named
// by the pattern's name and " 建物面積表"; and the teamwork reservation of
// what the output placed on them.

#include "gs_unistring.h"
#include "host_api_types.h"

#include <optional>

class CPlenimetraParam;

class CWorksheetTotal {
public:
  explicit CWorksheetTotal(CPlenimetraParam* param) : m_pParam(param) {}

  static void GetSheetName(GS::UniString& name) { name = name + u" 建物面積表"; }
  static GSErrCode GetDatabase(std::optional<API_DatabaseUnId>& found, GS::UniString name);
  static GSErrCode CreateDatabase(API_DatabaseUnId& created, GS::UniString name);

  // The output elements of every pattern's summary worksheet, whether or
  // not the pattern's summary is still written.
  GSErrCode TeamworkReceive();
  GSErrCode TeamworkRelease();
  bool GetTeamworkStatus();

private:
  CPlenimetraParam* m_pParam;
};
