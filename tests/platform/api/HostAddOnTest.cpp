// The add-on's side of the host: loading and unloading the module, the
// rule that what the add-on writes while a user's action is reported joins
// that action's undo step, and the user actions that give an element a new
// outline and bring a worksheet to the front.

#include "PlatformTestSupport.h"

#include "dg_addon.h"
#include "host_environment.h"
#include "host_userdata.h"

#include <cstring>
#include <string>

namespace {

using Ids = std::vector<Int32>;

// ---------------------------------------------------------------------------
// Loading

std::vector<std::string> entryCalls;
GSErrCode checkAnswer = APIAddon_Normal;

GSErrCode TestCheckEnvironment(API_EnvirParams* envir)
{
  entryCalls.push_back("CheckEnvironment");
  RSGetIndString(&envir->addOnInfo.name, 32000, 1, ACAPI_GetOwnResModule());
  RSGetIndString(&envir->addOnInfo.description, 32000, 2, ACAPI_GetOwnResModule());
  return checkAnswer;
}
GSErrCode TestRegisterInterface()
{
  entryCalls.push_back("RegisterInterface");
  return NoError;
}
GSErrCode TestInitialize()
{
  entryCalls.push_back("Initialize");
  return APIERR_GENERAL;
}
GSErrCode TestFreeData()
{
  entryCalls.push_back("FreeData");
  return NoError;
}

class HostAddOnTest : public HostModelTest {
protected:
  void SetUp() override
  {
    HostModelTest::SetUp();
    entryCalls.clear();
    checkAnswer = APIAddon_Normal;
  }

  static pln::host::AddOnEntryPoints Entry()
  {
    return {TestCheckEnvironment, TestRegisterInterface, TestInitialize, TestFreeData};
  }

  static pln::host::AddOnResources Resources()
  {
    pln::host::AddOnResources resources;
    resources.stringLists.push_back({32000, {GS::UniString(u"名前"), GS::UniString(u"説明")}});
    pln::host::DGDialogDef layout;
    layout.width = 120;
    pln::host::DGItemDef ok;
    ok.item = 1;
    layout.items = {ok};
    resources.dialogs.push_back({32508, layout});
    resources.icons = {2701, 2702};
    return resources;
  }
};

TEST_F(HostAddOnTest, LoadingDeclaresTheResourcesAndCallsTheEntryFunctionsInOrder)
{
  const HostFixture::AddOnLoad load = host.LoadAddOn(Entry(), Resources());
  EXPECT_EQ(entryCalls, (std::vector<std::string>{"CheckEnvironment", "RegisterInterface", "Initialize"}));
  EXPECT_EQ(load.checkEnvironment, APIAddon_Normal);
  EXPECT_EQ(load.initialize, APIERR_GENERAL);
  EXPECT_EQ(load.environment.addOnInfo.name, GS::UniString(u"名前"));
  EXPECT_EQ(load.environment.addOnInfo.description, GS::UniString(u"説明"));
  EXPECT_TRUE(host.HasIconResource(2702));
  EXPECT_FALSE(host.HasIconResource(2703));

  DgRecorder recorder;
  const short dialId = DGModelessInit(1, 32508, 1, DgRecorder::Callback, recorder.UserData(), 0);
  ASSERT_NE(dialId, 0);
  short width = 0, height = 0;
  DGGetDialogClientSize(dialId, DG_CLIENT_CURRENT, &width, &height);
  EXPECT_EQ(width, 120);
  DGModelessClose(dialId);

  EXPECT_EQ(host.UnloadAddOn(), NoError);
  EXPECT_EQ(entryCalls.back(), "FreeData");
  EXPECT_EQ(host.UnloadAddOn(), APIERR_GENERAL);
}

TEST_F(HostAddOnTest, AModuleThatRefusesTheEnvironmentIsNeitherInitialisedNorFreed)
{
  checkAnswer = 0;
  const HostFixture::AddOnLoad load = host.LoadAddOn(Entry(), Resources());
  EXPECT_EQ(load.checkEnvironment, 0);
  EXPECT_EQ(entryCalls, std::vector<std::string>{"CheckEnvironment"});
  EXPECT_EQ(host.UnloadAddOn(), APIERR_GENERAL);
}

// ---------------------------------------------------------------------------
// Writes of the handlers

std::vector<Int32> adoptedNotifications;

// Answers a new object by tagging it and observing it, a copy by making it
// plain, as an add-on adopting pasted objects does.
GSErrCode AdoptingHandler(const API_NotifyElementType* notification)
{
  adoptedNotifications.push_back(notification->notifID);
  API_Elem_Head head = notification->elemHead;
  if (notification->notifID == APINotifyElement_New) {
    API_UserData data;
    data.dataVersion = 1;
    data.dataHdl = BMAllocateHandle(4, 0, 0);
    const Int32 tag = 42;
    std::memcpy(*data.dataHdl, &tag, 4);
    ACAPI_Element_SetUserData(&head, &data);
    BMKillHandle(&data.dataHdl);
    return ACAPI_Element_AttachObserver(head.guid);
  }
  if (notification->notifID == APINotifyElement_Copy) {
    ACAPI_Element_DetachObserver(head.guid);
    return ACAPI_Element_DeleteUserData(&head);
  }
  return NoError;
}

class HostHandlerWritesTest : public HostModelTest {
protected:
  void SetUp() override
  {
    HostModelTest::SetUp();
    adoptedNotifications.clear();
    ACAPI_Notify_CatchNewElement(nullptr, AdoptingHandler);
    ACAPI_Notify_InstallElementObserver(AdoptingHandler);
  }

  API_Guid UserPlaceObject()
  {
    API_Element placed;
    placed.header.typeID = API_ObjectID;
    placed.header.layer = 1;
    placed.object.libInd = 1;
    EXPECT_EQ(host.UserPlace(placed), NoError);
    return placed.header.guid;
  }
};

TEST_F(HostHandlerWritesTest, WhatAHandlerWritesForAPlacementIsUndoneAndRedoneWithIt)
{
  host.ClearCallLog();
  const API_Guid guid = UserPlaceObject();
  adoptedNotifications.clear();
  EXPECT_TRUE(host.Element(guid)->observed);
  // The user's own calls are not logged, the handler's are.
  EXPECT_EQ(host.CallLog(), (std::vector<std::string>{"ACAPI_Element_SetUserData", "ACAPI_Element_AttachObserver"}));
  EXPECT_EQ(host.UndoNames(), std::vector<GS::UniString>{u"Place"});

  // The observer the handler attached belongs to the step, so the undo of
  // the placement is reported.
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(adoptedNotifications, (Ids{-1, 11, -2}));
  adoptedNotifications.clear();
  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_EQ(adoptedNotifications, (Ids{-1, 14, -2}));
  EXPECT_TRUE(host.Element(guid)->observed);
  EXPECT_TRUE(host.Element(guid)->userData.has_value());
}

TEST_F(HostHandlerWritesTest, ACopyMadePlainByTheHandlerComesBackPlainByRedo)
{
  const API_Guid original = UserPlaceObject();
  std::vector<API_Guid> copies;
  ASSERT_EQ(host.UserCopy({original}, API_Coord{1, 0}, &copies), NoError);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_FALSE(host.Element(copies[0])->userData.has_value());
  ASSERT_EQ(host.UserUndo(), NoError);
  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_EQ(Read(copies[0]), NoError);
  EXPECT_FALSE(host.Element(copies[0])->userData.has_value());
  EXPECT_FALSE(host.Element(copies[0])->observed);
  EXPECT_TRUE(host.Element(original)->userData.has_value());
}

TEST_F(HostHandlerWritesTest, ACommandRunByAHandlerJoinsTheUsersStep)
{
  ACAPI_Notify_CatchNewElement(nullptr, [](const API_NotifyElementType* notification) -> GSErrCode {
    if (notification->notifID != APINotifyElement_New)
      return NoError;
    return ACAPI_CallUndoableCommand(GS::UniString(u"Adopt"), [&]() {
      API_Elem_Head head = notification->elemHead;
      return ACAPI_Element_AttachObserver(head.guid);
    });
  });
  const API_Guid guid = UserPlaceObject();
  EXPECT_EQ(host.UndoNames(), std::vector<GS::UniString>{u"Place"});
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_NE(Read(guid), NoError);
  EXPECT_TRUE(host.UndoNames().empty());
}

// ---------------------------------------------------------------------------
// User actions

TEST_F(HostModelTest, ANewOutlineIsAnEditThatUndoPutsBack)
{
  InstallElementRecorder();
  API_Element zone;
  zone.header.typeID = API_ZoneID;
  zone.header.layer = 1;
  PolygonMemo square({{{0, 0}, {4, 0}, {4, 4}, {0, 4}}});
  ASSERT_EQ(host.AddPolygonElement(zone, square), NoError);
  ASSERT_EQ(ACAPI_Element_AttachObserver(zone.header.guid), NoError);

  PolygonMemo wide({{{0, 0}, {6, 0}, {6, 4}, {0, 4}}});
  ASSERT_EQ(host.UserSetOutline(zone.header.guid, wide), NoError);
  EXPECT_EQ(TakeNotifiedIds(), (Ids{-1, 4, -2}));
  EXPECT_EQ(host.Element(zone.header.guid)->memo.coords[2], (API_Coord{6, 0}));
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(host.Element(zone.header.guid)->memo.coords[2], (API_Coord{4, 0}));

  // Only polygon elements have an outline; a broken one is refused.
  PolygonMemo open({{{0, 0}, {6, 0}}});
  EXPECT_EQ(host.UserSetOutline(zone.header.guid, open), APIERR_IRREGULARPOLY);
  const API_Guid object = AddObject(0, 0);
  EXPECT_EQ(host.UserSetOutline(object, wide), APIERR_BADELEMENTTYPE);
}

TEST_F(HostModelTest, AWorksheetBroughtToTheFrontBecomesTheCurrentDatabase)
{
  API_DatabaseInfo sheet;
  sheet.typeID = APIWind_WorksheetID;
  ASSERT_EQ(ACAPI_Database('NDAT', &sheet), NoError);
  API_WindowInfo window;
  window.typeID = APIWind_WorksheetID;
  window.databaseUnId = sheet.databaseUnId;
  ASSERT_EQ(host.UserShowWindow(window), NoError);
  API_DatabaseInfo current;
  ASSERT_EQ(ACAPI_Database('GDAT', &current), NoError);
  EXPECT_EQ(current.typeID, APIWind_WorksheetID);
  window.typeID = APIWind_FloorPlanID;
  ASSERT_EQ(host.UserShowWindow(window), NoError);
  ASSERT_EQ(ACAPI_Database('GDAT', &current), NoError);
  EXPECT_EQ(current.typeID, APIWind_FloorPlanID);
}

}  // namespace
