// Databases, stories, project information and the request-code calls:
// worksheets list in creation order; element lists are per database while
// reads by GUID work in any; stories come in a handle.

#include "PlatformTestSupport.h"

#include "host_environment.h"
#include "host_goodies.h"
#include "host_interface.h"

namespace {

using HostEnvironmentTest = HostModelTest;

API_DatabaseUnId NewWorksheet(const char16_t* name)
{
  API_DatabaseInfo info;
  info.typeID = APIWind_WorksheetID;
  info.name = GS::UniString(name);
  info.ref = GS::UniString(u"求積図");
  EXPECT_EQ(ACAPI_Database('NDAT', &info), NoError);
  return info.databaseUnId;
}

std::vector<GS::UniString> WorksheetNames()
{
  API_DatabaseUnId** ids = nullptr;
  EXPECT_EQ(ACAPI_Database('GWDI', &ids), NoError);
  std::vector<GS::UniString> names;
  const GSSize count = BMGetHandleSize(reinterpret_cast<GSHandle>(ids)) / static_cast<GSSize>(sizeof(API_DatabaseUnId));
  for (GSSize i = 0; i < count; ++i) {
    API_DatabaseInfo info;
    info.databaseUnId = (*ids)[i];
    EXPECT_EQ(ACAPI_Database('GDBI', &info), NoError);
    names.push_back(info.name);
  }
  Kill(ids);
  return names;
}

TEST_F(HostEnvironmentTest, WorksheetsListInCreationOrderAndElementListsArePerDatabase)
{
  EXPECT_TRUE(WorksheetNames().empty());
  const API_Guid onPlan = AddObject(0, 0);
  const API_DatabaseUnId second = NewWorksheet(u"B 2F");
  NewWorksheet(u"A 1F");
  EXPECT_EQ(WorksheetNames(), (std::vector<GS::UniString>{GS::UniString(u"B 2F"), GS::UniString(u"A 1F")}));

  API_WindowInfo window;
  window.typeID = APIWind_WorksheetID;
  window.databaseUnId = second;
  ASSERT_EQ(pln::host::SetDatabaseScale(second, 200.0), NoError);
  ASSERT_EQ(ACAPI_Automate('CHWD', &window), NoError);
  API_DatabaseInfo current;
  ASSERT_EQ(ACAPI_Database('GDAT', &current), NoError);
  EXPECT_EQ(current.typeID, APIWind_WorksheetID);
  EXPECT_EQ(current.ref, GS::UniString(u"求積図"));
  double scale = 0.0;
  ASSERT_EQ(ACAPI_Database('GSCL', &scale), NoError);
  EXPECT_EQ(scale, 200.0);
  const API_Guid onSheet = AddObject(1, 1);

  GS::Array<API_Guid> list;
  ASSERT_EQ(ACAPI_Element_GetElemList(API_ObjectID, &list), NoError);
  EXPECT_EQ(list, (GS::Array<API_Guid>{onSheet}));
  EXPECT_EQ(Read(onPlan), NoError);

  // The 3D window in front leaves the floor plan the current database.
  window.typeID = APIWind_3DModelID;
  ASSERT_EQ(ACAPI_Automate('CHWD', &window), NoError);
  API_WindowInfo front;
  ASSERT_EQ(ACAPI_Database('GWIN', &front), NoError);
  EXPECT_EQ(front.typeID, APIWind_3DModelID);
  ASSERT_EQ(ACAPI_Database('GDAT', &current), NoError);
  EXPECT_EQ(current.typeID, APIWind_FloorPlanID);
  ASSERT_EQ(ACAPI_Database('GSCL', &scale), NoError);
  EXPECT_EQ(scale, 100.0);
  ASSERT_EQ(ACAPI_Element_GetElemList(API_ZombieElemID, &list), NoError);
  EXPECT_EQ(list, (GS::Array<API_Guid>{onPlan}));
  EXPECT_EQ(Read(onSheet), NoError);
  API_DatabaseInfo plan;
  plan.typeID = APIWind_FloorPlanID;
  EXPECT_EQ(ACAPI_Database('CDAT', &plan), NoError);

  API_DatabaseInfo unknown;
  unknown.typeID = APIWind_WorksheetID;
  unknown.databaseUnId.elemSetId[0] = 999;
  EXPECT_EQ(ACAPI_Database('CDAT', &unknown), APIERR_BADDATABASE);
  EXPECT_EQ(ACAPI_Database('GDBI', &unknown), APIERR_BADDATABASE);
}

TEST_F(HostEnvironmentTest, TheModelDatabaseCanBeCurrentAndListsAndTakesNoElements)
{
  const API_Guid onPlan = AddObject(0, 0);
  API_DatabaseInfo model;
  model.typeID = APIWind_3DModelID;
  ASSERT_EQ(ACAPI_Database('CDAT', &model), NoError);
  API_DatabaseInfo current;
  ASSERT_EQ(ACAPI_Database('GDAT', &current), NoError);
  EXPECT_EQ(current.typeID, APIWind_3DModelID);
  EXPECT_FALSE(current.databaseUnId == pln::host::FloorPlanDatabaseId());
  API_DatabaseInfo asked;
  asked.databaseUnId = current.databaseUnId;
  ASSERT_EQ(ACAPI_Database('GDBI', &asked), NoError);
  EXPECT_EQ(asked.typeID, APIWind_3DModelID);

  GS::Array<API_Guid> list;
  ASSERT_EQ(ACAPI_Element_GetElemList(API_ZombieElemID, &list), NoError);
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_FALSE(ACAPI_Element_Filter(onPlan, APIFilt_InCurrentDatabase));
  EXPECT_EQ(Read(onPlan), NoError);
  API_Element element;
  element.header.typeID = API_ObjectID;
  element.header.layer = 1;
  element.object.libInd = 1;
  EXPECT_EQ(ACAPI_Element_Create(&element, nullptr), APIERR_BADDATABASE);

  // What 'GDAT' answered makes it current again, as callers restore it.
  API_DatabaseInfo plan;
  plan.typeID = APIWind_FloorPlanID;
  ASSERT_EQ(ACAPI_Database('CDAT', &plan), NoError);
  ASSERT_EQ(ACAPI_Element_GetElemList(API_ZombieElemID, &list), NoError);
  EXPECT_EQ(list, (GS::Array<API_Guid>{onPlan}));
  ASSERT_EQ(ACAPI_Database('CDAT', &current), NoError);
  API_DatabaseInfo again;
  ASSERT_EQ(ACAPI_Database('GDAT', &again), NoError);
  EXPECT_EQ(again.typeID, APIWind_3DModelID);
}

TEST_F(HostEnvironmentTest, LayoutsNeedAnExistingMasterLayout)
{
  const API_DatabaseUnId master = pln::host::AddMasterLayout(GS::UniString(u"A3"));
  API_DatabaseUnId** masters = nullptr;
  ASSERT_EQ(ACAPI_Database('GMDI', &masters), NoError);
  ASSERT_EQ(BMGetHandleSize(reinterpret_cast<GSHandle>(masters)), static_cast<GSSize>(sizeof(API_DatabaseUnId)));
  EXPECT_EQ((*masters)[0], master);
  Kill(masters);

  API_DatabaseInfo layout;
  layout.typeID = APIWind_LayoutID;
  layout.title = GS::UniString(u"Sheet 1");
  EXPECT_EQ(ACAPI_Database('NDAT', &layout), APIERR_BADDATABASE);
  layout.masterLayoutUnId = master;
  EXPECT_EQ(ACAPI_Database('NDAT', &layout), NoError);
  // A layout is not a worksheet.
  EXPECT_TRUE(WorksheetNames().empty());
}

TEST_F(HostEnvironmentTest, StoriesComeInAHandleAndGoToChecksTheIndex)
{
  ASSERT_EQ(host.AddStory(1, 3.2, GS::UniString(u"2階")), NoError);
  ASSERT_EQ(host.AddStory(-1, -3.0, GS::UniString(u"B1")), NoError);
  EXPECT_EQ(host.AddStory(5, 9.0, GS::UniString(u"gap")), APIERR_BADINDEX);

  API_StoryCmdType go;
  go.index = 1;
  ASSERT_EQ(ACAPI_Environment('CSTO', &go), NoError);
  go.index = 2;
  EXPECT_EQ(ACAPI_Environment('CSTO', &go), APIERR_BADINDEX);

  API_StoryInfo info;
  ASSERT_EQ(ACAPI_Environment('GSTO', &info), NoError);
  EXPECT_EQ(info.firstStory, -1);
  EXPECT_EQ(info.lastStory, 1);
  EXPECT_EQ(info.actStory, 1);
  ASSERT_EQ(BMGetHandleSize(reinterpret_cast<GSHandle>(info.data)), static_cast<GSSize>(3 * sizeof(API_StoryType)));
  EXPECT_EQ((*info.data)[0].level, -3.0);
  EXPECT_EQ((*info.data)[2].index, 1);
  EXPECT_EQ(GS::UniString((*info.data)[2].uName), GS::UniString(u"2階"));
  Kill(info.data);
}

TEST_F(HostEnvironmentTest, RequestCallsAreLoggedWithTheirCodeAndCanFailOnceAndPlaceNorthLiesInOneTurn)
{
  host.ClearCallLog();
  host.FailOnce("ACAPI_Environment:PROJ", APIERR_GENERAL);
  API_ProjectInfo project;
  EXPECT_EQ(ACAPI_Environment('PROJ', &project), APIERR_GENERAL);
  ASSERT_EQ(ACAPI_Environment('PROJ', &project), NoError);
  EXPECT_TRUE(project.untitled);
  EXPECT_FALSE(project.teamwork);
  EXPECT_EQ(ACAPI_Environment('XXXX', &project), APIERR_BADPARS);
  const std::vector<std::string> expected{"ACAPI_Environment:PROJ", "ACAPI_Environment:PROJ", "ACAPI_Environment:XXXX"};
  EXPECT_EQ(host.CallLog(), expected);

  API_PlaceInfo place;
  ASSERT_EQ(ACAPI_Environment('GPLA', &place), NoError);
  place.north = 7.0;
  EXPECT_EQ(ACAPI_Environment('CPLA', &place), APIERR_BADVALUE);
  place.north = 1.0;
  place.latitude = 35.5;
  ASSERT_EQ(ACAPI_Environment('CPLA', &place), NoError);
  API_PlaceInfo read;
  ASSERT_EQ(ACAPI_Environment('GPLA', &read), NoError);
  EXPECT_EQ(read.north, 1.0);
  EXPECT_EQ(read.latitude, 35.5);
}

TEST_F(HostEnvironmentTest, LibrariesResourcesAndMenuItems)
{
  GS::Array<API_LibraryInfo> libraries;
  ASSERT_EQ(ACAPI_Environment('GLIB', &libraries), NoError);
  EXPECT_TRUE(libraries.IsEmpty());
  libraries.Push(API_LibraryInfo{IO::Location(GS::UniString(u"AddOns/Library"))});
  ASSERT_EQ(ACAPI_Environment('ALIB', &libraries), NoError);
  ASSERT_EQ(ACAPI_Environment('SLIB', &libraries), NoError);
  EXPECT_EQ(pln::host::LibraryReloadCount(), 1);
  GS::Array<API_LibraryInfo> read;
  ASSERT_EQ(ACAPI_Environment('GLIB', &read), NoError);
  EXPECT_EQ(read, libraries);

  host.SetResourceString(32000, 1, GS::UniString(u"メンセラ"));
  GS::UniString text;
  EXPECT_TRUE(RSGetIndString(&text, 32000, 1, ACAPI_GetOwnResModule()));
  EXPECT_EQ(text, GS::UniString(u"メンセラ"));
  EXPECT_FALSE(RSGetIndString(&text, 32000, 2, ACAPI_GetOwnResModule()));
  EXPECT_TRUE(text.IsEmpty());

  API_MenuItemRef item{32500, 1};
  Int32 flags = API_MenuItemChecked;
  ASSERT_EQ(ACAPI_Interface('SMIF', &item, &flags), NoError);
  GS::UniString title(u"メンセラ");
  ASSERT_EQ(ACAPI_Interface('SMIT', &item, &title), NoError);
  Int32 readFlags = 0;
  ASSERT_EQ(ACAPI_Interface('GMIF', &item, &readFlags), NoError);
  EXPECT_EQ(readFlags, API_MenuItemChecked);
  EXPECT_EQ(host.CallLog().back(), "ACAPI_Interface:GMIF");
  EXPECT_EQ(pln::host::MenuItemText(32500, 1), title);
  EXPECT_EQ(ACAPI_Interface('ZZZZ', &item, &readFlags), APIERR_BADPARS);
}

}  // namespace
