// Teamwork: reserving and releasing everything of the active story the
// calculation edits, and showing whether this user holds it all.

#include "CGSUtil.h"
#include "CPlenimetraPalette.h"
#include "CWorksheetFloor.h"
#include "CWorksheetTotal.h"
#include "host_elements.h"
#include "host_teamwork.h"

namespace {

enum : short { kTeamIcon = 14, kTeamStatus = 15, kTeamButton = 16 };
constexpr short kIconNotReserved = 2701;
constexpr short kIconReserved = 2702;

// A host that names no user (0) gives this session nothing to hold.
bool IsMine(short userId, API_Guid guid)
{
  return userId > 0 && CGSUtil::TeamworkControl_GetLockableStatus(userId, guid);
}

// The story's sources that teamwork can reserve: not from hot-linked modules.
GS::Array<API_Guid> Sources(const CFloorParam& floor)
{
  GS::Array<API_Guid> guids;
  for (const CAutoAreaParam& record : floor.m_AutoAreaParamArray)
    if (!CHotLinkParamArray::IsHotLink(record.GetGuid()))
      guids.Push(record.GetGuid());
  return guids;
}

// A record's source may lie on another story than the figures cut from it;
// releasing the active story must leave such a source with its own story.
bool LiesOnStory(const API_Guid& guid, short story)
{
  API_Elem_Head head{};
  head.guid = guid;
  return ACAPI_Element_GetHeader(&head) == NoError && head.floorInd == story;
}

// The story's floor record. A story added since the palette opened has
// none yet and so no figures and no sources, but its worksheets and the
// summary sheets still belong to it; reading never makes the record.
const CFloorParam& FloorOf(const CPlenimetraParam& param, short story)
{
  static const CFloorParam kNoRecord;
  const CFloorParam* floor = param.m_FloorParamArray.Search(story);
  return floor != nullptr ? *floor : kNoRecord;
}

}  // namespace

bool CPlenimetraPalette::GetTeamworkStatus2()
{
  const short story = CGSUtil::GetActStory();
  const CFloorParam& floor = FloorOf(m_Param, story);
  const short user = m_Param.m_TeamworkUserId;
  for (const auto& figure : floor.m_Area1ObjectArray)
    if (!IsMine(user, figure->m_Element.header.guid))
      return false;
  for (const API_Guid& guid : Sources(floor))
    if (!IsMine(user, guid))
      return false;
  if (!CWorksheetFloor(&m_Param).GetTeamworkStatus(story))
    return false;
  return !m_Param.m_bTeamworkTotal || CWorksheetTotal(&m_Param).GetTeamworkStatus();
}

void CPlenimetraPalette::SetTeamworkStatus2(short dialId)
{
  const bool mine = m_bFloorEditable;
  DGSetItemText(dialId, kTeamStatus, GS::UniString(mine ? u"フロア編集可能" : u"フロア未確保"));
  DGSetItemText(dialId, kTeamButton, GS::UniString(mine ? u"解放" : u"確保"));
  DGSetItemImage(dialId, kTeamIcon, DG::Icon(ACAPI_GetOwnResModule(), mine ? kIconReserved : kIconNotReserved));
}

void CPlenimetraPalette::RecomputeTeamworkStatus(short dialId)
{
  m_bFloorEditable = ACAPI_TeamworkControl_IsOnline() && GetTeamworkStatus2();
  SetTeamworkStatus2(dialId);
}

GSErrCode CPlenimetraPalette::ElementReservationChangeHandler()
{
  // A project shared since the palette opened names its user only now.
  CGSUtil::IsTeamworkProject(&m_Param.m_TeamworkUserId);
  if (ACAPI_TeamworkControl_HasConnection())
    RecomputeTeamworkStatus(m_PaletteID);
  return NoError;
}

GSErrCode CPlenimetraPalette::DoTeamwork(short /*dialId*/)
{
  if (!ACAPI_TeamworkControl_HasConnection() || !ACAPI_TeamworkControl_IsOnline())
    return NoError;
  const short story = CGSUtil::GetActStory();
  const CFloorParam& floor = FloorOf(m_Param, story);
  const short user = m_Param.m_TeamworkUserId;
  if (!m_bFloorEditable) {
    GS::Array<API_Guid> missing;
    for (const auto& figure : floor.m_Area1ObjectArray)
      if (!IsMine(user, figure->m_Element.header.guid))
        missing.Push(figure->m_Element.header.guid);
    GSErrCode err = missing.IsEmpty() ? NoError : ACAPI_TeamworkControl_ReserveElements(missing, nullptr, true);
    if (err == NoError)
      err = CWorksheetFloor(&m_Param).TeamworkReceive(story);
    if (err == NoError && m_Param.m_bTeamworkTotal)
      err = CWorksheetTotal(&m_Param).TeamworkReceive();
    const GS::Array<API_Guid> sources = Sources(floor);
    if (err == NoError && !sources.IsEmpty())
      err = ACAPI_TeamworkControl_ReserveElements(sources, nullptr, true);
    return err;
  }
  GS::Array<API_Guid> held;
  for (const auto& figure : floor.m_Area1ObjectArray)
    if (IsMine(user, figure->m_Element.header.guid))
      held.Push(figure->m_Element.header.guid);
  for (const API_Guid& guid : Sources(floor))
    if (LiesOnStory(guid, story))
      held.Push(guid);
  GSErrCode err = ACAPI_TeamworkControl_ReleaseElements(held, true);
  if (err == NoError)
    err = CWorksheetFloor(&m_Param).TeamworkRelease(story);
  if (err == NoError && m_Param.m_bTeamworkTotal)
    err = CWorksheetTotal(&m_Param).TeamworkRelease();
  return err;
}
