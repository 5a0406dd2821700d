// Worksheet names and lookups, and the teamwork reservation of the output
// elements on the floor and summary worksheets.

#include "CMyUserData.h"
#include "CWorksheetFloor.h"
#include "CWorksheetTotal.h"
#include "OutputTestSupport.h"
#include "host_environment.h"
#include "host_errors.h"
#include "host_teamwork.h"

namespace {

class WorksheetTeamworkTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    host.SetTeamwork(true, true, kMe);
    doc().m_TeamworkUserId = kMe;
  }

  CPlenimetraParam& doc() { return pattern.doc; }

  // A second pattern "別案" after PatternDoc's; its code.
  int AddPattern()
  {
    const int code = ++doc().m_LastAreaCode;
    const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
    doc().m_AreaTree2.Insert(&doc(), GS::UniString(u"別案"), code, 0, CAreaTree::KIND_FOLDER, item, item);
    return code;
  }

  // A line on the worksheet, tagged as output or drawn by hand, left free.
  API_Guid Line(const API_DatabaseUnId& sheet, bool tagged)
  {
    API_DatabaseInfo database;
    database.typeID = APIWind_WorksheetID;
    database.databaseUnId = sheet;
    API_DatabaseInfo plan;
    EXPECT_EQ(ACAPI_Database('GDAT', &plan), NoError);
    EXPECT_EQ(ACAPI_Database('CDAT', &database), NoError);
    API_Element line;
    line.header.typeID = API_LineID;
    line.header.layer = 1;
    line.line.endC = {1, 1};
    EXPECT_EQ(host.AddElement(line), NoError);
    if (tagged) {
      CMyUserData tag(700, CMyUserData::kVersion);
      EXPECT_EQ(tag.SetUserData(&line.header), NoError);
    }
    EXPECT_EQ(ACAPI_Database('CDAT', &plan), NoError);
    EXPECT_EQ(host.SetOwner(line.header.guid, 0), NoError);
    return line.header.guid;
  }

  API_DatabaseUnId FloorSheet(const char16_t* name, short story)
  {
    API_DatabaseUnId sheet;
    EXPECT_EQ(CWorksheetFloor::CreateDatabase(sheet, GS::UniString(name), story), NoError);
    return sheet;
  }

  short Owner(const API_Guid& guid) const { return host.Element(guid)->element.header.userId; }

  API_DatabaseInfo Current()
  {
    API_DatabaseInfo current;
    EXPECT_EQ(ACAPI_Database('GDAT', &current), NoError);
    return current;
  }

  static constexpr short kMe = 2;
  HostFixture host;
  PatternDoc pattern{1};
};

TEST_F(WorksheetTeamworkTest, SheetNamesUseTheStoryNameOrCountStoriesFromOneAndBelowGroundWithB)
{
  ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString()), NoError);
  ASSERT_EQ(host.AddStory(2, 6.0, GS::UniString(u"屋上")), NoError);
  ASSERT_EQ(host.AddStory(-1, -3.0, GS::UniString()), NoError);
  ASSERT_EQ(host.AddStory(-2, -6.0, GS::UniString()), NoError);
  struct Case {
    short story;
    const char* name;
  };
  for (const Case& c : {Case{1, "パターン 2階"}, Case{-2, "パターン B2階"}, Case{2, "パターン 屋上"}, Case{0, "パターン 1F"}}) {
    GS::UniString name(u"パターン");
    CWorksheetFloor::GetSheetName(name, c.story);
    EXPECT_EQ(output_test::U8(name), c.name);
  }
  API_DatabaseUnId made;
  ASSERT_EQ(CWorksheetFloor::CreateDatabase(made, GS::UniString(u"パターン"), -1), NoError);
  EXPECT_EQ(host.WorksheetNamed(GS::UniString(u"パターン B1階")), made);
  API_DatabaseInfo info;
  info.databaseUnId = made;
  ASSERT_EQ(ACAPI_Database('GDBI', &info), NoError);
  EXPECT_EQ(info.ref, GS::UniString(u"求積図"));
  std::optional<API_DatabaseUnId> found;
  EXPECT_EQ(CWorksheetFloor::GetDatabase(found, GS::UniString(u"パターン"), -1), NoError);
  EXPECT_EQ(found, made);
  EXPECT_EQ(CWorksheetTotal::GetDatabase(found, GS::UniString(u"パターン")), NoError);
  EXPECT_FALSE(found.has_value());
  ASSERT_EQ(CWorksheetTotal::CreateDatabase(made, GS::UniString(u"パターン")), NoError);
  EXPECT_EQ(host.WorksheetNamed(GS::UniString(u"パターン 建物面積表")), made);
}

TEST_F(WorksheetTeamworkTest, WithoutPatternsOrSheetsNothingIsReservedAndTheDatabaseComesBack)
{
  const API_DatabaseInfo before = Current();
  CWorksheetFloor floor(&doc());
  EXPECT_EQ(floor.TeamworkReceive(0), NoError);
  EXPECT_EQ(floor.TeamworkRelease(0), NoError);
  EXPECT_TRUE(floor.GetTeamworkStatus(0));
  doc().m_AreaTree2.m_Child.clear();
  EXPECT_EQ(floor.TeamworkReceive(0), NoError);
  EXPECT_TRUE(CWorksheetTotal(&doc()).GetTeamworkStatus());
  EXPECT_EQ(Current().databaseUnId, before.databaseUnId);
}

TEST_F(WorksheetTeamworkTest, OnlyTaggedElementsAreReservedAndReleasedWithEveryEarlierPattern)
{
  AddPattern();
  const API_DatabaseUnId first = FloorSheet(u"パターン", 0);
  const API_DatabaseUnId second = FloorSheet(u"別案", 0);
  const API_Guid a = Line(first, true);
  const API_Guid typed = Line(first, false);
  const API_Guid b = Line(second, true);
  const API_DatabaseInfo before = Current();

  CWorksheetFloor floor(&doc());
  EXPECT_FALSE(floor.GetTeamworkStatus(0));
  EXPECT_EQ(floor.TeamworkReceive(0), NoError);
  EXPECT_EQ(Owner(a), kMe);
  EXPECT_EQ(Owner(b), kMe);
  EXPECT_EQ(Owner(typed), 0);
  EXPECT_TRUE(floor.GetTeamworkStatus(0));
  EXPECT_EQ(Current().databaseUnId, before.databaseUnId);

  // The first pattern's release fails; the second's names its elements too,
  // and the first error is what the caller sees.
  host.FailOnce("ACAPI_TeamworkControl_ReleaseElements", APIERR_REFUSEDCMD);
  EXPECT_EQ(floor.TeamworkRelease(0), APIERR_REFUSEDCMD);
  EXPECT_EQ(Owner(a), 0);
  EXPECT_EQ(Owner(b), 0);
}

TEST_F(WorksheetTeamworkTest, StatusFailsForAForeignOwnerAFailedLookupOrAFailedReturn)
{
  const API_Guid a = Line(FloorSheet(u"パターン", 0), true);
  CWorksheetFloor floor(&doc());
  ASSERT_EQ(floor.TeamworkReceive(0), NoError);
  ASSERT_TRUE(floor.GetTeamworkStatus(0));

  host.FailOnce("ACAPI_Database:GWDI", APIERR_GENERAL);
  EXPECT_FALSE(floor.GetTeamworkStatus(0));
  host.FailOnce("ACAPI_Database:GWDI", APIERR_GENERAL);
  EXPECT_EQ(floor.TeamworkReceive(0), APIERR_GENERAL);

  ASSERT_EQ(host.SetOwner(a, 5), NoError);
  EXPECT_FALSE(floor.GetTeamworkStatus(0));

  // Only the summary's lookup finds nothing: the one switch is the return.
  host.FailOnce("ACAPI_Database:CDAT", APIERR_BADDATABASE);
  EXPECT_EQ(CWorksheetTotal(&doc()).TeamworkReceive(), APIERR_BADDATABASE);
  host.FailOnce("ACAPI_Database:CDAT", APIERR_BADDATABASE);
  EXPECT_FALSE(CWorksheetTotal(&doc()).GetTeamworkStatus());
}

TEST_F(WorksheetTeamworkTest, OutsideTeamworkTheStatusAsksNoOwner)
{
  Line(FloorSheet(u"パターン", 0), true);
  host.SetTeamwork(false, false, 0);
  doc().m_TeamworkUserId = 0;
  EXPECT_TRUE(CWorksheetFloor(&doc()).GetTeamworkStatus(0));
}

TEST_F(WorksheetTeamworkTest, SummarySheetsAreFoundByThePatternsDefaultName)
{
  API_DatabaseUnId sheet;
  ASSERT_EQ(CWorksheetTotal::CreateDatabase(sheet, GS::UniString(u"パターン")), NoError);
  const API_Guid a = Line(sheet, true);
  EXPECT_EQ(CWorksheetTotal(&doc()).TeamworkReceive(), NoError);
  EXPECT_EQ(Owner(a), kMe);
  EXPECT_TRUE(CWorksheetTotal(&doc()).GetTeamworkStatus());
  EXPECT_EQ(host.ElementsIn(sheet, API_LineID).size(), 1u);
  EXPECT_TRUE(host.ElementsIn(sheet, API_TextID).empty());
}

}  // namespace
