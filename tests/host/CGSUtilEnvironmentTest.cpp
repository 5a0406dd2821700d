// Teamwork status, menus and resources, place, databases, libraries and
// element information.

#include "CGSUtil.h"
#include "HostTestSupport.h"
#include "host_environment.h"
#include "host_goodies.h"

#include <numbers>

namespace {

using CGSUtilEnvironmentTest = HostTest;

TEST_F(CGSUtilEnvironmentTest, TeamworkUserAndOwnership)
{
  short user = -1;
  EXPECT_FALSE(CGSUtil::IsTeamworkProject(&user));
  EXPECT_EQ(user, 0);

  host.SetTeamwork(true, true, 3);
  EXPECT_TRUE(CGSUtil::IsTeamworkProject(&user));
  EXPECT_EQ(user, 3);
  API_Guid guid = AddLine();
  ASSERT_EQ(host.SetOwner(guid, 3), NoError);
  EXPECT_TRUE(CGSUtil::TeamworkControl_GetLockableStatus(3, guid));
  ASSERT_EQ(host.SetOwner(guid, 5), NoError);
  EXPECT_FALSE(CGSUtil::TeamworkControl_GetLockableStatus(3, guid));
  API_Guid unknown;
  unknown.bytes[0] = 0x42;
  EXPECT_FALSE(CGSUtil::TeamworkControl_GetLockableStatus(3, unknown));
}

TEST_F(CGSUtilEnvironmentTest, MenuTextsAndMarks)
{
  host.SetResourceString(32501, 2, GS::UniString(u"メンセラ"));
  ASSERT_EQ(CGSUtil::SetPaletteMenuTexts(32500, 1, 32501, 2), NoError);
  EXPECT_EQ(pln::host::MenuItemText(32500, 1), GS::UniString(u"メンセラ"));
  // A missing string leaves the item's text as it was.
  EXPECT_NE(CGSUtil::SetPaletteMenuTexts(32500, 1, 32501, 9), NoError);
  EXPECT_EQ(pln::host::MenuItemText(32500, 1), GS::UniString(u"メンセラ"));
  EXPECT_EQ(CGSUtil::GetStringFromResourceU(32501, 2), GS::UniString(u"メンセラ"));
  EXPECT_TRUE(CGSUtil::GetStringFromResourceU(32501, 3).IsEmpty());

  EXPECT_TRUE(CGSUtil::SetMenuItemMark(32500, 1, true));
  EXPECT_EQ(pln::host::MenuItemFlags(32500, 1) & API_MenuItemChecked, API_MenuItemChecked);
  EXPECT_FALSE(CGSUtil::InvertMenuItemMark(32500, 1));
  EXPECT_EQ(pln::host::MenuItemFlags(32500, 1) & API_MenuItemChecked, 0);
  EXPECT_TRUE(CGSUtil::InvertMenuItemMark(32500, 1));
}

TEST_F(CGSUtilEnvironmentTest, NorthIsFoldedIntoOneTurn)
{
  const double turn = 2.0 * std::numbers::pi;
  double north = -1.0;
  ASSERT_EQ(CGSUtil::SetNorth(-std::numbers::pi / 2.0), NoError);
  ASSERT_EQ(CGSUtil::GetNorth(north), NoError);
  EXPECT_DOUBLE_EQ(north, 1.5 * std::numbers::pi);
  ASSERT_EQ(CGSUtil::SetNorth(turn + 0.5), NoError);
  ASSERT_EQ(CGSUtil::GetNorth(north), NoError);
  EXPECT_NEAR(north, 0.5, 1e-12);
  ASSERT_EQ(CGSUtil::SetNorth(-1e-300), NoError);  // must not fold to a whole turn
  ASSERT_EQ(CGSUtil::GetNorth(north), NoError);
  EXPECT_GE(north, 0.0);
  EXPECT_LT(north, turn);
}

TEST_F(CGSUtilEnvironmentTest, DatabasesSwitchAndLayoutsAreMadeOnTheirMaster)
{
  const API_DatabaseUnId master = pln::host::AddMasterLayout(GS::UniString(u"A3"));
  API_WindowInfo masterInfo;
  ASSERT_EQ(CGSUtil::GetMasterLayoutDataBaseInfo(0, masterInfo), NoError);
  EXPECT_EQ(masterInfo.databaseUnId, master);
  EXPECT_EQ(CGSUtil::GetMasterLayoutDataBaseInfo(1, masterInfo), APIERR_BADINDEX);
  EXPECT_EQ(CGSUtil::GetMasterLayoutDataBaseInfo(-1, masterInfo), APIERR_BADINDEX);

  API_WindowInfo layout;
  ASSERT_EQ(CGSUtil::CreateNewDatabase(masterInfo, UName(u"求積図"), layout), NoError);
  EXPECT_EQ(layout.typeID, APIWind_LayoutID);
  EXPECT_EQ(layout.title, GS::UniString(u"求積図"));
  API_DatabaseInfo info;
  info.databaseUnId = layout.databaseUnId;
  ASSERT_EQ(ACAPI_Database('GDBI', &info), NoError);
  EXPECT_EQ(info.masterLayoutUnId, master);

  API_WindowInfo current;
  ASSERT_EQ(CGSUtil::RestoreDatabase(0, layout, current), NoError);
  API_DatabaseInfo now;
  ASSERT_EQ(ACAPI_Database('GDAT', &now), NoError);
  EXPECT_EQ(now.databaseUnId, layout.databaseUnId);
  ASSERT_EQ(CGSUtil::ChangeDatabaseFloorPlan(), NoError);
  ASSERT_EQ(ACAPI_Database('GDAT', &now), NoError);
  EXPECT_EQ(now.typeID, APIWind_FloorPlanID);
  // Restoring to the floor plan asks nothing of the host.
  host.ClearCallLog();
  API_WindowInfo plan;
  EXPECT_EQ(CGSUtil::RestoreDatabase(0, plan, current), NoError);
  EXPECT_EQ(Calls("ACAPI_Database:CDAT"), 0);
}

TEST_F(CGSUtilEnvironmentTest, AddLibraryAppendsTheFolderBesideTheAddOnOnce)
{
  const std::size_t before = pln::host::ActiveLibraries().size();
  ASSERT_EQ(CGSUtil::AddLibrary("Parts"), NoError);
  ASSERT_EQ(pln::host::ActiveLibraries().size(), before + 1);
  IO::Location own;
  ASSERT_EQ(ACAPI_GetOwnLocation(&own), NoError);
  own.DeleteLastLocalName();
  own.AppendToLocal(IO::Name(u"Parts"));
  EXPECT_EQ(pln::host::ActiveLibraries().back().location, own);
  ASSERT_EQ(CGSUtil::AddLibrary("Parts"), NoError);
  EXPECT_EQ(pln::host::ActiveLibraries().size(), before + 1);

  const int reloads = pln::host::LibraryReloadCount();
  ASSERT_EQ(CGSUtil::ReloadLibrary(), NoError);
  EXPECT_EQ(pln::host::LibraryReloadCount(), reloads + 1);
  EXPECT_EQ(pln::host::ActiveLibraries().size(), before + 1);
}

TEST_F(CGSUtilEnvironmentTest, ElementInformation)
{
  const std::pair<API_ElemTypeID, int> neigs[] = {{API_WallID, 1},          {API_ObjectID, 13},
                                                   {API_ElemTypeID(28), 0},  {API_ElemTypeID(32), 58},
                                                   {API_ElemTypeID(33), 0},  {API_ZombieElemID, 0}};
  for (const auto& [type, neig] : neigs)
    EXPECT_EQ(CGSUtil::Elem_To_NeigID(type), neig) << type;

  char name[256] = "x";
  EXPECT_TRUE(CGSUtil::GetElementTypeString(API_ZoneID, name));
  EXPECT_STREQ(name, "Zone");

  double c = 9, s = 9, len = 9;
  EXPECT_TRUE(CGSUtil::CalcCosSin(API_Coord3D{1, 1, 5}, API_Coord3D{4, 5, -2}, &c, &s, &len));
  EXPECT_DOUBLE_EQ(c, 0.6);
  EXPECT_DOUBLE_EQ(s, 0.8);
  EXPECT_DOUBLE_EQ(len, 5.0);
  // Points on one vertical have no plan direction.
  c = 9;
  EXPECT_FALSE(CGSUtil::CalcCosSin(API_Coord{2, 2}, API_Coord{2, 2}, &c, nullptr, nullptr));
  EXPECT_EQ(c, 9);

  API_Guid line = AddLine();
  EXPECT_FALSE(CGSUtil::IsHotlinkElement(line));
  API_Guid node;
  node.bytes[3] = 7;
  ASSERT_EQ(host.SetHotlinkNode(line, node), NoError);
  EXPECT_TRUE(CGSUtil::IsHotlinkElement(line));
}

TEST_F(CGSUtilEnvironmentTest, WallOpeningsAreCountedAndCopied)
{
  API_Element wall;
  wall.header.typeID = API_WallID;
  wall.header.layer = 1;
  wall.wall.endC = API_Coord{5.0, 0.0};
  ASSERT_EQ(host.AddElement(wall), NoError);
  API_Element window;
  window.header.typeID = API_WindowID;
  window.header.layer = 1;
  window.window.owner = wall.header.guid;
  ASSERT_EQ(host.AddElement(window), NoError);

  int n = -1;
  API_Guid** list = nullptr;
  ASSERT_EQ(CGSUtil::GetWindowLinks(wall.header.guid, &list, &n), NoError);
  ASSERT_EQ(n, 1);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ((*list)[0], window.header.guid);
  BMKillHandle(reinterpret_cast<GSHandle*>(&list));
  ASSERT_EQ(CGSUtil::GetDoorLinks(wall.header.guid, nullptr, &n), NoError);
  EXPECT_EQ(n, 0);
}

}  // namespace
