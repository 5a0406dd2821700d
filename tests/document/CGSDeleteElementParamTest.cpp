// Deleting the drawn output while the 3D model is current: the output is
// collected and deleted on the floor plan (the 3D model lists no elements),
// and the 3D model is current again afterwards, also when a step fails.

#include "CGSUtil.h"
#include "CMyUserData.h"
#include "DocTestSupport.h"
#include "host_environment.h"
#include "host_errors.h"

#include <algorithm>
#include <functional>
#include <string>

namespace {

// A project with the output on two stories and an untagged line, and the
// 3D model current. One lives at a time: each resets the host.
struct OutputScene {
  OutputScene()
  {
    layer = static_cast<short>(host.AddLayer(GS::UniString(u"メンセラ")));
    EXPECT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
    CMyUserData tag(kOutputTag, CMyUserData::kVersion);
    API_Element made;
    EXPECT_EQ(CGSUtil::CreateText(0, 0, "A", 1, 0, false, API_AnchorID(1), APIJust_Left, 1, 1, layer, 0, nullptr,
                                  &made, &tag, false),
              NoError);
    text = made.header.guid;
    EXPECT_EQ(CGSUtil::CreateLine(0, 0, 1, 1, 1, 1, layer, 1, nullptr, nullptr, &made, &tag, false), NoError);
    line = made.header.guid;
    EXPECT_EQ(CGSUtil::CreateLine(0, 0, 2, 2, 1, 1, layer, 0, nullptr, nullptr, &made, nullptr, false), NoError);
    plain = made.header.guid;
    API_DatabaseInfo model;
    model.typeID = APIWind_3DModelID;
    EXPECT_EQ(ACAPI_Database('CDAT', &model), NoError);
    host.ClearCallLog();
  }
  ~OutputScene() { EXPECT_EQ(host.HandlesSinceReset(), 0); }

  static API_DatabaseTypeID Current()
  {
    API_DatabaseInfo current;
    EXPECT_EQ(ACAPI_Database('GDAT', &current), NoError);
    return current.typeID;
  }
  bool Deleted(const API_Guid& guid) const { return host.Element(guid)->deleted; }
  // The database switches, collections and deletions in call order.
  std::vector<std::string> DatabaseSteps() const
  {
    std::vector<std::string> steps;
    for (const std::string& call : host.CallLog())
      if (call == "ACAPI_Database:CDAT" || call == "ACAPI_Element_GetElemList" || call == "ACAPI_Element_Delete")
        steps.push_back(call);
    return steps;
  }

  static constexpr int kOutputTag = 700;
  HostFixture host;
  CPlenimetraParam doc;
  short layer = 0;
  API_Guid text, line, plain;
};

TEST(DeleteOutputTest, FromTheModelTheOutputGoesOnTheFloorPlanAndTheModelComesBack)
{
  OutputScene s;
  EXPECT_EQ(s.doc.DeleteObject(), NoError);
  EXPECT_TRUE(s.Deleted(s.text));
  EXPECT_TRUE(s.Deleted(s.line));  // on another story
  EXPECT_FALSE(s.Deleted(s.plain));
  EXPECT_EQ(OutputScene::Current(), APIWind_3DModelID);
  const std::string cdat = "ACAPI_Database:CDAT", list = "ACAPI_Element_GetElemList", del = "ACAPI_Element_Delete";
  EXPECT_EQ(s.DatabaseSteps(), (std::vector<std::string>{cdat, list, list, cdat, cdat, del, cdat}));
}

TEST(DeleteOutputTest, AFailedStepDeletesNothingAndLeavesTheModelCurrent)
{
  const std::string cdat = "ACAPI_Database:CDAT";
  struct Case {
    const char* name;
    std::function<void(OutputScene&)> arrange;
    GSErrCode result;
    API_DatabaseTypeID after;
  };
  const Case cases[] = {
      {"switching to the floor plan to collect", [&](OutputScene& t) { t.host.FailOnce(cdat, APIERR_GENERAL); },
       APIERR_GENERAL, APIWind_3DModelID},
      {"collecting", [](OutputScene& t) { t.host.FailOnce("ACAPI_Element_GetElemList", APIERR_MEMFULL); },
       APIERR_MEMFULL, APIWind_3DModelID},
      {"an output line held by another user",
       [](OutputScene& t) {
         t.host.SetTeamwork(true, true, 1);
         t.doc.m_TeamworkUserId = 1;
         EXPECT_EQ(t.host.SetOwner(t.line, 2), NoError);
       },
       APIERR_NOTMINE, APIWind_3DModelID},
      {"switching to the floor plan to delete",
       [&](OutputScene& t) {
         t.host.FailOnce(cdat, NoError);
         t.host.FailOnce(cdat, NoError);
         t.host.FailOnce(cdat, APIERR_GENERAL);
       },
       APIERR_GENERAL, APIWind_3DModelID},
      {"deleting", [](OutputScene& t) { t.host.FailOnce("ACAPI_Element_Delete", APIERR_GENERAL); },
       APIERR_GENERAL, APIWind_3DModelID},
      // The host refused to switch back: the failure is reported, not
      // followed by a deletion on a database the user did not choose.
      {"switching back after collecting",
       [&](OutputScene& t) {
         t.host.FailOnce(cdat, NoError);
         t.host.FailOnce(cdat, APIERR_GENERAL);
       },
       APIERR_GENERAL, APIWind_FloorPlanID},
  };
  for (const Case& c : cases) {
    OutputScene s;
    c.arrange(s);
    EXPECT_EQ(s.doc.DeleteObject(), c.result) << c.name;
    EXPECT_FALSE(s.Deleted(s.text) || s.Deleted(s.line) || s.Deleted(s.plain)) << c.name;
    EXPECT_EQ(OutputScene::Current(), c.after) << c.name;
  }
}

}  // namespace
