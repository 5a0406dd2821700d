// Library parts, active libraries and teamwork status of CGSUtil.

#include "CGSUtil.h"
#include "CGSUtilText.h"

#include "host_assert.h"
#include "host_elements.h"
#include "host_environment.h"
#include "host_errors.h"
#include "host_teamwork.h"
#include "io_filesystem.h"

#include <algorithm>

GSErrCode CGSUtil::GetLibPartInd(API_LibTypeID type, const unsigned short* name, int* index)
{
  *index = 0;
  API_LibPart part;
  part.typeID = type;
  const GS::UniString text = pln::gsutil::FromUShort(name);
  // A name longer than the record's field can't name a loaded part.
  if (text.GetLength() >= static_cast<USize>(API_UniLongNameLen))
    return APIERR_BADNAME;
  std::copy_n(text.ToUStr(), text.GetLength(), part.docuName);
  const GSErrCode err = ACAPI_LibPart_Search(&part, false);
  if (err == NoError)
    *index = part.index;
  return err;
}

GSErrCode CGSUtil::GetLibInd(const unsigned short* name, int* index)
{
  return GetLibPartInd(APILib_PartID, name, index);
}

// Setting the active libraries again, unchanged, makes the host reload them.
GSErrCode CGSUtil::ReloadLibrary()
{
  GS::Array<API_LibraryInfo> libraries;
  const GSErrCode err = ACAPI_Environment('GLIB', &libraries);
  if (err != NoError)
    return err;
  return ACAPI_Environment('SLIB', &libraries);
}

GSErrCode CGSUtil::AddLibrary(const char* folderName)
{
  GS::Array<API_LibraryInfo> libraries;
  GSErrCode err = ACAPI_Environment('GLIB', &libraries);
  if (err != NoError)
    return err;
  API_LibraryInfo added;
  err = ACAPI_GetOwnLocation(&added.location);
  if (err == NoError)
    err = added.location.DeleteLastLocalName();
  if (err == NoError)
    err = added.location.AppendToLocal(IO::Name(GS::UniString(folderName)));
  if (err != NoError)
    return err;
  for (UIndex i = 0; i < libraries.GetSize(); ++i) {
    if (libraries[i].location == added.location)
      return NoError;
  }
  libraries.Push(added);
  return ACAPI_Environment('ALIB', &libraries);
}

bool CGSUtil::IsTeamworkProject(short* userId)
{
  API_ProjectInfo info;
  const bool teamwork = ACAPI_Environment('PROJ', &info) == NoError && info.teamwork;
  if (userId != nullptr)
    *userId = teamwork ? info.userId : 0;
  return teamwork;
}

bool CGSUtil::TeamworkControl_GetLockableStatus(short userId, API_Guid& guid)
{
  PLN_ASSERT(userId > 0);
  API_Elem_Head head;
  head.guid = guid;
  return ACAPI_Element_GetHeader(&head) == NoError && head.userId == userId;
}
