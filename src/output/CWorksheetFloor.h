#pragma once
// The worksheets of one floor, one per calculation pattern, named by the
// pattern's name for the floor, a blank and the story's name; and the
// teamwork reservation of what the output placed on them.

#include "gs_unistring.h"
#include "host_api_types.h"

#include <optional>

class CPlenimetraParam;

class CWorksheetFloor {
public:
  explicit CWorksheetFloor(CPlenimetraParam* param) : m_pParam(param) {}

  // "<name> <story name>"; a story without a name is "1階" from story 0
  // up and "B1階" for story -1 down.
  static void GetSheetName(GS::UniString& name, short story);
  // The worksheet of the pattern name on the story; nothing when none.
  static GSErrCode GetDatabase(std::optional<API_DatabaseUnId>& found, GS::UniString name, short story);
  static GSErrCode CreateDatabase(API_DatabaseUnId& created, GS::UniString name, short story);

  // The output elements of every pattern's worksheet of the story.
  GSErrCode TeamworkReceive(short story);
  GSErrCode TeamworkRelease(short story);
  bool GetTeamworkStatus(short story);

private:
  CPlenimetraParam* m_pParam;
};
