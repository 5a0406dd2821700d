// One whole worksheet output through the document: floors, then the
// summaries, the teamwork switch, the summary's error, and the refusal of
// two sheets of one name.

#include "COutputWorksheets.h"
#include "OutputTestSupport.h"
#include "host_errors.h"

namespace {

using output_test::U8;

class OutputWorksheetsTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    host.LoadAddOnLibraryParts();
    doc().m_EnvParam.m_Area1Layer = 1;
    doc().m_EnvParam.m_ListLayer = 1;
    doc().m_FloorParamArray[0].m_FloorName = u"1F";
  }

  CPlenimetraParam& doc() { return pattern.doc; }
  bool Sheet(const char16_t* name) const { return host.WorksheetNamed(GS::UniString(name)).has_value(); }

  HostFixture host;
  PatternDoc pattern{2};
};

TEST_F(OutputWorksheetsTest, FloorsThenSummariesAndInTeamworkTheSummaryOnlyWithTheSwitch)
{
  ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
  COutputWorksheets sheets;
  EXPECT_EQ(doc().Output(sheets), NoError);
  EXPECT_TRUE(Sheet(u"パターン 1F"));
  EXPECT_TRUE(Sheet(u"パターン 2F"));
  EXPECT_TRUE(Sheet(u"パターン 建物面積表"));

  HostFixture shared;
  shared.LoadAddOnLibraryParts();
  ASSERT_EQ(shared.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
  shared.SetTeamwork(true, true, 2);
  doc().m_TeamworkUserId = 2;
  COutputWorksheets off;
  EXPECT_EQ(doc().Output(off), NoError);
  EXPECT_TRUE(shared.WorksheetNamed(GS::UniString(u"パターン 1F")).has_value());
  EXPECT_FALSE(shared.WorksheetNamed(GS::UniString(u"パターン 建物面積表")).has_value());
  doc().m_bTeamworkTotal = true;
  COutputWorksheets on;
  EXPECT_EQ(doc().Output(on), NoError);
  EXPECT_TRUE(shared.WorksheetNamed(GS::UniString(u"パターン 建物面積表")).has_value());
}

TEST_F(OutputWorksheetsTest, TheSummarysErrorIsPassedOnWhenEveryFloorSucceeded)
{
  for (CFloorParam& floor : doc().m_FloorParamArray)
    floor.m_OutputExcludeCodes.Add(PatternDoc::kTopCode);
  host.FailOnce("ACAPI_Database:NDAT", APIERR_MEMFULL);
  COutputWorksheets sheets;
  EXPECT_EQ(doc().Output(sheets), APIERR_MEMFULL);
  EXPECT_FALSE(Sheet(u"パターン 建物面積表"));
}

TEST_F(OutputWorksheetsTest, TwoSheetsOfOneNameRefuseTheOutputBeforeAnySheetIsTouched)
{
  ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"1F")), NoError);
  COutputWorksheets sheets;
  EXPECT_EQ(doc().Output(sheets), APIERR_CANCEL);
  EXPECT_FALSE(Sheet(u"パターン 1F"));
  EXPECT_FALSE(Sheet(u"パターン 建物面積表"));
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_EQ(U8(host.Alerts()[0].largeText), "ワークシート名が重複しています：パターン 1F");

  // A floor left out of the output frees the name.
  doc().m_FloorParamArray[1].m_OutputExcludeCodes.Add(PatternDoc::kTopCode);
  COutputWorksheets again;
  EXPECT_EQ(doc().Output(again), NoError);
  EXPECT_TRUE(Sheet(u"パターン 1F"));
}

}  // namespace
