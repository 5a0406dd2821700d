#include "WorksheetTeamwork.h"

#include "CGSUtil.h"
#include "CMyUserData.h"
#include "CPlenimetraParam.h"
#include "host_assert.h"
#include "host_environment.h"
#include "host_teamwork.h"

namespace {

constexpr int kOutputTag = 700;

void KeepFirst(GSErrCode& first, GSErrCode err)
{
  if (first == NoError)
    first = err;
}

}  // namespace

GSErrCode WorksheetTeamwork::Reserve() { return Run(Action::Reserve, nullptr); }

GSErrCode WorksheetTeamwork::Release() { return Run(Action::Release, nullptr); }

bool WorksheetTeamwork::IsOwned()
{
  bool owned = true;
  return Run(Action::Status, &owned) == NoError && owned;
}

GSErrCode WorksheetTeamwork::Collect(const API_DatabaseUnId& sheet, GS::Array<API_Guid>& guids)
{
  API_DatabaseInfo database;
  database.typeID = APIWind_WorksheetID;
  database.databaseUnId = sheet;
  if (GSErrCode err = ACAPI_Database('CDAT', &database); err != NoError)
    return err;
  CMyUserData tag(kOutputTag, CMyUserData::kVersion);
  for (API_ElemTypeID type : {API_ObjectID, API_LineID, API_TextID})
    if (GSErrCode err = CGSUtil::GSGetElement(type, &tag, CMyUserDataCore::TYPE(kOutputTag), 0, guids); err != NoError)
      return err;
  return NoError;
}

GSErrCode WorksheetTeamwork::Run(Action action, bool* owned)
{
  API_DatabaseInfo current;
  if (GSErrCode err = ACAPI_Database('GDAT', &current); err != NoError)
    return err;
  GSErrCode first = NoError;
  GS::Array<API_Guid> guids;  // grows over the patterns: each request names them all
  for (const CAreaTree& pattern : m_Doc.m_AreaTree2.m_Child) {
    const CAreaObject* root = m_Doc.GetAreaObject(pattern.m_AreaCode);
    PLN_ASSERT(root != nullptr);
    std::optional<API_DatabaseUnId> sheet;
    if (GSErrCode err = m_Lookup(*root, sheet); err != NoError || !sheet) {
      KeepFirst(first, err);
      continue;
    }
    const GSErrCode collected = Collect(*sheet, guids);
    KeepFirst(first, collected);
    if (action == Action::Reserve && collected == NoError)
      KeepFirst(first, ACAPI_TeamworkControl_ReserveElements(guids, nullptr, true));
    else if (action == Action::Release && collected == NoError)
      KeepFirst(first, ACAPI_TeamworkControl_ReleaseElements(guids, true));
  }
  if (action == Action::Status && m_Doc.m_TeamworkUserId >= 1)
    for (API_Guid guid : guids)
      if (!CGSUtil::TeamworkControl_GetLockableStatus(m_Doc.m_TeamworkUserId, guid))
        *owned = false;
  KeepFirst(first, ACAPI_Database('CDAT', &current));
  return first;
}
