// Story queries: indexes clamped to the stories there are, fallbacks when
// the story list can't be read, names as the host keeps them.

#include "CGSUtil.h"
#include "HostTestSupport.h"

namespace {

class CGSUtilStoriesTest : public HostTest {
protected:
  void SetUp() override
  {
    // Stories -1 .. 2; story 0 ("1F", level 0) comes with the project.
    ASSERT_EQ(host.AddStory(-1, -3.0, GS::UniString(u"B1F")), NoError);
    ASSERT_EQ(host.AddStory(1, 3.5, GS::UniString(u"2F")), NoError);
    ASSERT_EQ(host.AddStory(2, 6.75, GS::UniString(u"RF")), NoError);
  }
};

TEST_F(CGSUtilStoriesTest, LevelsAndHeightsClampTheIndex)
{
  EXPECT_EQ(CGSUtil::GetFlrLevel(1), 3.5);
  EXPECT_EQ(CGSUtil::GetFlrLevel(40), 6.75);  // above the last: the last
  EXPECT_EQ(CGSUtil::GetFlrLevel(-9), -3.0);
  EXPECT_EQ(CGSUtil::GetFlrHeight(-1), 3.0);
  EXPECT_EQ(CGSUtil::GetFlrHeight(1), 3.25);
  // The top story has nothing above it to measure against.
  EXPECT_EQ(CGSUtil::GetFlrHeight(2), 0.0);
  EXPECT_EQ(CGSUtil::GetFlrHeight(7), 0.0);

  std::vector<double> levels{99.0};
  ASSERT_EQ(CGSUtil::GetLayerHeight(levels), NoError);
  EXPECT_EQ(levels, (std::vector<double>{-3.0, 0.0, 3.5, 6.75}));
}

TEST_F(CGSUtilStoriesTest, FailedReadsGiveTheFallbacks)
{
  host.FailOnce("ACAPI_Environment:GSTO", APIERR_GENERAL);
  EXPECT_EQ(CGSUtil::GetFlrLevel(1), -1000.0);
  host.FailOnce("ACAPI_Environment:GSTO", APIERR_GENERAL);
  EXPECT_EQ(CGSUtil::GetFlrHeight(1), 0.0);
  host.FailOnce("ACAPI_Environment:GSTO", APIERR_GENERAL);
  EXPECT_TRUE(CGSUtil::GetFlrName(1).IsEmpty());
  ASSERT_EQ(CGSUtil::SetActStory(2), NoError);  // so the fallback is told apart
  host.FailOnce("ACAPI_Environment:GSTO", APIERR_GENERAL);
  EXPECT_EQ(CGSUtil::GetActStory(), 0);
  std::vector<double> levels{1.0};
  host.FailOnce("ACAPI_Environment:GSTO", APIERR_MEMFULL);
  EXPECT_EQ(CGSUtil::GetLayerHeight(levels), APIERR_MEMFULL);
  EXPECT_TRUE(levels.empty());
}

TEST_F(CGSUtilStoriesTest, ActiveStoryFollowsTheStoryCommandsAndNamesComeAsTheHostKeepsThem)
{
  EXPECT_EQ(CGSUtil::GetActStory(), 0);
  ASSERT_EQ(CGSUtil::SetActStory(2), NoError);
  EXPECT_EQ(CGSUtil::GetActStory(), 2);
  ASSERT_EQ(CGSUtil::ChangeFloor(-1), NoError);
  EXPECT_EQ(CGSUtil::GetActStory(), -1);
  EXPECT_NE(CGSUtil::ChangeFloor(5), NoError);
  EXPECT_EQ(CGSUtil::GetActStory(), -1);

  EXPECT_EQ(CGSUtil::GetFlrName(-1), GS::UniString(u"B1F"));
  EXPECT_EQ(CGSUtil::GetFlrName(50), GS::UniString(u"RF"));
  ASSERT_EQ(host.AddStory(3, 9.0, GS::UniString(u"屋上")), NoError);
  EXPECT_EQ(CGSUtil::GetFlrName(3), GS::UniString(u"屋上"));
  // A character Shift-JIS cannot hold is kept for its writers to refuse.
  ASSERT_EQ(host.AddStory(4, 12.0, GS::UniString(u"A\u00e9")), NoError);
  EXPECT_EQ(CGSUtil::GetFlrName(4), GS::UniString(u"A\u00e9"));
}

}  // namespace
