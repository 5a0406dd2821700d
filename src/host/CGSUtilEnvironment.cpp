// Menus, resources, project, place and databases of CGSUtil.

#include "CGSUtil.h"
#include "CGSUtilText.h"
#include "HostHandles.h"

#include "host_environment.h"
#include "host_errors.h"
#include "host_goodies.h"
#include "host_interface.h"

#include <cmath>
#include <cstddef>
#include <numbers>

namespace {

GSErrCode ReadMenuFlags(API_MenuItemRef& item, Int32* flags)
{
  return ACAPI_Interface('GMIF', &item, flags);
}

// Applies change to the item's check mark; answers the mark now shown.
template <typename Change>
bool ChangeMenuItemMark(short menuResId, short itemIndex, Change change)
{
  API_MenuItemRef item{menuResId, itemIndex};
  Int32 flags = 0;
  if (ReadMenuFlags(item, &flags) != NoError)
    return false;
  const bool marked = change((flags & API_MenuItemChecked) != 0);
  flags = marked ? (flags | API_MenuItemChecked) : (flags & ~API_MenuItemChecked);
  if (ACAPI_Interface('SMIF', &item, &flags) != NoError)
    return false;
  return marked;
}

GSErrCode ReadPlace(API_PlaceInfo* place)
{
  return ACAPI_Environment('GPLA', place);
}

}  // namespace

// A string that can't be read leaves the menu text as it was rather than
// blanking the item.
GSErrCode CGSUtil::SetPaletteMenuTexts(short menuResId, short itemIndex, short strResId, short strIndex)
{
  GS::UniString text;
  if (!RSGetIndString(&text, strResId, strIndex, ACAPI_GetOwnResModule()))
    return APIERR_BADINDEX;
  API_MenuItemRef item{menuResId, itemIndex};
  return ACAPI_Interface('SMIT', &item, &text);
}

GS::UniString CGSUtil::GetStringFromResourceU(short resId, short index)
{
  GS::UniString text;
  if (!RSGetIndString(&text, resId, index, ACAPI_GetOwnResModule()))
    return GS::UniString();
  return text;
}

bool CGSUtil::SetMenuItemMark(short menuResId, short itemIndex, bool mark)
{
  return ChangeMenuItemMark(menuResId, itemIndex, [mark](bool) { return mark; });
}

bool CGSUtil::InvertMenuItemMark(short menuResId, short itemIndex)
{
  return ChangeMenuItemMark(menuResId, itemIndex, [](bool marked) { return !marked; });
}

IO::Location CGSUtil::GetProjectPathName()
{
  API_ProjectInfo info;
  if (ACAPI_Environment('PROJ', &info) != NoError || info.untitled || info.teamwork)
    return IO::Location();
  return info.location;
}

std::string CGSUtil::GetProjectPathName2()
{
  const IO::Location location = GetProjectPathName();
  GS::UniString path;
  if (location.IsEmpty() || location.ToPath(&path) != NoError)
    return std::string();
  return path.ToStdString(CC_UTF8);
}

GSErrCode CGSUtil::GetCityInfo2(double& longitude, double& latitude)
{
  API_PlaceInfo place;
  const GSErrCode err = ReadPlace(&place);
  if (err == NoError) {
    longitude = place.longitude;
    latitude = place.latitude;
  }
  return err;
}

GSErrCode CGSUtil::GetNorth(double& north)
{
  API_PlaceInfo place;
  const GSErrCode err = ReadPlace(&place);
  if (err == NoError)
    north = place.north;
  return err;
}

GSErrCode CGSUtil::SetNorth(double north)
{
  constexpr double fullTurn = 2.0 * std::numbers::pi;
  double folded = std::fmod(north, fullTurn);
  if (folded < 0.0)
    folded += fullTurn;
  // fmod of a tiny negative angle can round up to a full turn.
  if (folded >= fullTurn)
    folded = 0.0;
  API_PlaceInfo place;
  const GSErrCode err = ReadPlace(&place);
  if (err != NoError)
    return err;
  place.north = folded;
  return ACAPI_Environment('CPLA', &place);
}

GSErrCode CGSUtil::GetMasterLayoutDataBaseInfo(int i, API_WindowInfo& window)
{
  pln::gsutil::HandleHolder<API_DatabaseUnId> layouts;
  API_DatabaseUnId**& ids = layouts.handle;
  GSErrCode err = ACAPI_Database('GMDI', &ids);
  if (err != NoError)
    return err;
  API_DatabaseInfo info;
  if (i < 0 || static_cast<std::size_t>(i) >= pln::gsutil::EntriesIn(ids))
    err = APIERR_BADINDEX;
  else
    info.databaseUnId = (*ids)[i];
  if (err == NoError)
    err = ACAPI_Database('GDBI', &info);
  if (err == NoError) {
    window.typeID = info.typeID;
    window.databaseUnId = info.databaseUnId;
    window.title = info.title;
  }
  return err;
}

GSErrCode CGSUtil::CreateNewDatabase(API_WindowInfo& master, const unsigned short* name, API_WindowInfo& result)
{
  result = API_WindowInfo{};
  result.typeID = APIWind_LayoutID;
  result.title = pln::gsutil::FromUShort(name);
  API_DatabaseInfo info;
  info.typeID = APIWind_LayoutID;
  info.masterLayoutUnId = master.databaseUnId;
  info.name = result.title;
  info.title = result.title;
  const GSErrCode err = ACAPI_Database('NDAT', &info);
  if (err == NoError)
    result.databaseUnId = info.databaseUnId;
  return err;
}

GSErrCode CGSUtil::ChangeDatabaseFloorPlan()
{
  API_DatabaseInfo plan;
  plan.typeID = APIWind_FloorPlanID;
  return ACAPI_Database('CDAT', &plan);
}

// Placed figures and the sources of automatic areas are elements of the
// floor plan, which the host lists, selects and places into only while it
// is the current database; a worksheet may be in front.
GSErrCode CGSUtil::OnFloorPlan(const std::function<GSErrCode()>& body)
{
  API_DatabaseInfo front;
  if (GSErrCode err = ACAPI_Database('GDAT', &front); err != NoError)
    return err;
  if (front.typeID == APIWind_FloorPlanID)
    return body();
  if (GSErrCode err = ChangeDatabaseFloorPlan(); err != NoError)
    return err;
  const GSErrCode err = body();
  const GSErrCode back = ACAPI_Database('CDAT', &front);
  return err != NoError ? err : back;
}

// The floor plan is the database the callers switch away from, so it needs
// no switching back.
GSErrCode CGSUtil::RestoreDatabase(int, API_WindowInfo& saved, API_WindowInfo&)
{
  if (saved.typeID == APIWind_FloorPlanID)
    return NoError;
  API_DatabaseInfo info;
  info.typeID = saved.typeID;
  info.databaseUnId = saved.databaseUnId;
  return ACAPI_Database('CDAT', &info);
}
