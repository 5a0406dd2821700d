#include "CWorksheetTotal.h"

#include "CPlenimetraParam.h"
#include "WorksheetDatabase.h"
#include "WorksheetTeamwork.h"

namespace {

WorksheetTeamwork TeamworkOf(const CPlenimetraParam& doc)
{
  return WorksheetTeamwork(doc, [](const CAreaObject& root, std::optional<API_DatabaseUnId>& found) {
    return CWorksheetTotal::GetDatabase(found, root.m_Name.m_DefaultName);
  });
}

}  // namespace

GSErrCode CWorksheetTotal::GetDatabase(std::optional<API_DatabaseUnId>& found, GS::UniString name)
{
  GetSheetName(name);
  return FindWorksheet(name, found);
}

GSErrCode CWorksheetTotal::CreateDatabase(API_DatabaseUnId& created, GS::UniString name)
{
  GetSheetName(name);
  return CreateWorksheet(name, created);
}

GSErrCode CWorksheetTotal::TeamworkReceive() { return TeamworkOf(*m_pParam).Reserve(); }

GSErrCode CWorksheetTotal::TeamworkRelease() { return TeamworkOf(*m_pParam).Release(); }

bool CWorksheetTotal::GetTeamworkStatus() { return TeamworkOf(*m_pParam).IsOwned(); }
