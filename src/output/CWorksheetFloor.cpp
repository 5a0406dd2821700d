#include "CWorksheetFloor.h"

#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "WorksheetDatabase.h"
#include "WorksheetTeamwork.h"

namespace {

WorksheetTeamwork TeamworkOf(const CPlenimetraParam& doc, short story)
{
  return WorksheetTeamwork(doc, [story](const CAreaObject& root, std::optional<API_DatabaseUnId>& found) {
    return CWorksheetFloor::GetDatabase(found, root.m_Name.GetName(story), story);
  });
}

}  // namespace

void CWorksheetFloor::GetSheetName(GS::UniString& name, short story)
{
  GS::UniString storyName = CGSUtil::GetFlrName(story);
  if (storyName.IsEmpty())
    storyName = story >= 0 ? GS::UniString::Printf("%d階", story + 1) : GS::UniString::Printf("B%d階", -story);
  name = name + u" " + storyName;
}

GSErrCode CWorksheetFloor::GetDatabase(std::optional<API_DatabaseUnId>& found, GS::UniString name, short story)
{
  GetSheetName(name, story);
  return FindWorksheet(name, found);
}

GSErrCode CWorksheetFloor::CreateDatabase(API_DatabaseUnId& created, GS::UniString name, short story)
{
  GetSheetName(name, story);
  return CreateWorksheet(name, created);
}

GSErrCode CWorksheetFloor::TeamworkReceive(short story) { return TeamworkOf(*m_pParam, story).Reserve(); }

GSErrCode CWorksheetFloor::TeamworkRelease(short story) { return TeamworkOf(*m_pParam, story).Release(); }

bool CWorksheetFloor::GetTeamworkStatus(short story) { return TeamworkOf(*m_pParam, story).IsOwned(); }
