// ACAPI_Interface: picks and rubber bands, the process window and its
// cancel, and the attribute choosers of dialog items.

#include "HostFixture.h"
#include "host_calllog.h"
#include "host_errors.h"
#include "host_foundation.h"
#include "host_goodies.h"
#include "host_interface.h"
#include "host_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

class HostInterfaceTest : public testing::Test {
protected:
  void SetUp() override
  {
    pln::host::ResetFoundation();
    pln::host::ResetCallLog();
    pln::host::ResetLibraryAndInterface();
    liveAtStart_ = pln::host::LiveHandleCount();
    seen_.clear();
  }
  void TearDown() override { EXPECT_EQ(pln::host::LiveHandleCount(), liveAtStart_); }

  // A rubber band as the figures draw one: remember the cursor and draw a
  // line from the origin to it.
  static void Callback(const API_RubberLineInfo* info)
  {
    seen_.push_back(info->actCoord);
    API_RubberLineType line;
    line.c2 = info->actCoord;
    line.drawFlags = 2;
    ACAPI_Interface('DRLI', &line);
  }

  static inline std::vector<API_Coord3D> seen_;
  std::size_t liveAtStart_ = 0;
};

TEST_F(HostInterfaceTest, AnEmptyPickQueueIsTheUserCancelling)
{
  API_GetPointType point;
  API_GetLineType line;
  API_GetArcType arc;
  API_GetPolyType poly;
  poly.method = 1;
  EXPECT_EQ(ACAPI_Interface('IPOI', &point, Callback), APIERR_CANCEL);
  EXPECT_EQ(ACAPI_Interface('ILIN', &line), APIERR_CANCEL);
  EXPECT_EQ(ACAPI_Interface('IARC', &arc, nullptr), APIERR_CANCEL);
  EXPECT_EQ(ACAPI_Interface('IPOL', &poly), APIERR_CANCEL);
  EXPECT_TRUE(seen_.empty());
  EXPECT_EQ(poly.coords, nullptr);
  EXPECT_EQ(pln::host::InputRequests().size(), 4u);
}

TEST_F(HostInterfaceTest, TheCallbackSeesEachCursorPositionThenTheClick)
{
  pln::host::QueuePick({4.0, 3.0, 0.5}, {{1.0, 0.0, 0.5}, {2.0, 1.0, 0.5}});
  API_GetPointType point;
  const GS::UniString prompt(u"第3点目の頂点を指定してください");
  std::strcpy(point.prompt, prompt.ToCStr().Get());  // the default 8-bit code
  ASSERT_EQ(ACAPI_Interface('IPOI', &point, Callback), NoError);

  ASSERT_EQ(seen_.size(), 3u);
  EXPECT_EQ(seen_[0], (API_Coord3D{1.0, 0.0, 0.5}));
  EXPECT_EQ(seen_[1], (API_Coord3D{2.0, 1.0, 0.5}));
  EXPECT_EQ(seen_[2], (API_Coord3D{4.0, 3.0, 0.5}));
  EXPECT_EQ(point.pos, (API_Coord3D{4.0, 3.0, 0.5}));

  const auto& drawings = pln::host::RubberDrawings();
  ASSERT_EQ(drawings.size(), 3u);
  EXPECT_TRUE(drawings[1].duringInput);
  EXPECT_EQ(drawings[1].cursor, (API_Coord3D{2.0, 1.0, 0.5}));
  EXPECT_EQ(drawings[2].line.c2, (API_Coord3D{4.0, 3.0, 0.5}));
  EXPECT_EQ(drawings[2].line.drawFlags, 2);

  const auto& request = pln::host::InputRequests().back();
  EXPECT_EQ(request.code, static_cast<Int32>('IPOI'));
  EXPECT_EQ(request.prompt, prompt);
  EXPECT_TRUE(request.withCallback);
  EXPECT_EQ(pln::host::CallLog().front(), "ACAPI_Interface:IPOI");
}

TEST_F(HostInterfaceTest, AnArcTakesItsStartFromThePicksOnlyWhenNotGiven)
{
  pln::host::QueuePick({0.0, 5.0, 0.0});
  pln::host::QueuePick({-5.0, 0.0, 0.0});
  API_GetArcType given;
  given.startCoordGiven = true;
  given.startCoord = {5.0, 0.0, 0.0};
  ASSERT_EQ(ACAPI_Interface('IARC', &given), NoError);
  EXPECT_EQ(given.startCoord, (API_Coord3D{5.0, 0.0, 0.0}));
  EXPECT_EQ(given.pos, (API_Coord3D{0.0, 5.0, 0.0}));
  EXPECT_EQ(pln::host::PendingPicks(), 1u);

  API_GetArcType free;
  EXPECT_EQ(ACAPI_Interface('IARC', &free), APIERR_CANCEL);  // start picked, end missing
  EXPECT_EQ(free.startCoord, (API_Coord3D{-5.0, 0.0, 0.0}));
}

TEST_F(HostInterfaceTest, RectangleInputAnswersOneClosedContourInCountedHandles)
{
  pln::host::QueuePick({6.0, 4.5, 0.0});
  API_GetPolyType axis;
  axis.method = 1;
  axis.startCoord = {0.0, 0.0, 0.0};
  ASSERT_EQ(ACAPI_Interface('IPOL', &axis), NoError);
  ASSERT_EQ(axis.nCoords, 5);
  EXPECT_EQ(axis.nSubPolys, 1);
  EXPECT_EQ(axis.nArcs, 0);
  EXPECT_EQ(BMGetHandleSize(reinterpret_cast<GSHandle>(axis.coords)), static_cast<GSSize>(6 * sizeof(API_Coord)));
  EXPECT_EQ((*axis.coords)[1], (API_Coord{0.0, 0.0}));
  EXPECT_EQ((*axis.coords)[2], (API_Coord{6.0, 0.0}));
  EXPECT_EQ((*axis.coords)[3], (API_Coord{6.0, 4.5}));
  EXPECT_EQ((*axis.coords)[4], (API_Coord{0.0, 4.5}));
  EXPECT_EQ((*axis.coords)[5], (*axis.coords)[1]);
  EXPECT_EQ((*axis.parts)[0], 0);
  EXPECT_EQ((*axis.parts)[1], 5);
  BMKillHandle(reinterpret_cast<GSHandle*>(&axis.coords));
  BMKillHandle(reinterpret_cast<GSHandle*>(&axis.parts));

  // Rotated: the first side from the start to the second pick, the width
  // from the third pick's distance to that side.
  pln::host::QueuePick({3.0, 4.0, 0.0});
  pln::host::QueuePick({-4.0, 3.0, 0.0});
  API_GetPolyType rotated;
  rotated.method = 2;
  ASSERT_EQ(ACAPI_Interface('IPOL', &rotated), NoError);
  EXPECT_EQ((*rotated.coords)[2], (API_Coord{3.0, 4.0}));
  EXPECT_NEAR((*rotated.coords)[3].x, -1.0, 1e-12);
  EXPECT_NEAR((*rotated.coords)[3].y, 7.0, 1e-12);
  EXPECT_NEAR((*rotated.coords)[4].x, -4.0, 1e-12);
  EXPECT_NEAR((*rotated.coords)[4].y, 3.0, 1e-12);
  BMKillHandle(reinterpret_cast<GSHandle*>(&rotated.coords));
  BMKillHandle(reinterpret_cast<GSHandle*>(&rotated.parts));

  API_GetPolyType polygon;
  polygon.method = 3;
  EXPECT_EQ(ACAPI_Interface('IPOL', &polygon), APIERR_BADPARS);
}

TEST_F(HostInterfaceTest, ACancelledProgressStaysCancelledUntilClosed)
{
  GS::UniString title(u"検索");
  Int32 phases = 0;
  ASSERT_EQ(ACAPI_Interface('IPWD', &title, &phases), NoError);
  EXPECT_EQ(phases, 1);  // a window has at least one phase
  EXPECT_EQ(ACAPI_Interface('IPWD', &title, &phases), APIERR_NESTING);

  pln::host::QueueProgressCancel(2);
  EXPECT_EQ(ACAPI_Interface('CANC'), NoError);
  EXPECT_EQ(ACAPI_Interface('CANC'), NoError);
  EXPECT_NE(ACAPI_Interface('CANC'), NoError);
  EXPECT_NE(ACAPI_Interface('CANC'), NoError);
  EXPECT_TRUE(pln::host::Progress().cancelled);

  ASSERT_EQ(ACAPI_Interface('CPWD'), NoError);
  EXPECT_EQ(ACAPI_Interface('CANC'), NoError);
  ASSERT_EQ(ACAPI_Interface('IPWD', &title, &phases), NoError);
  EXPECT_EQ(ACAPI_Interface('CANC'), NoError);
  EXPECT_EQ(pln::host::Progress().openCount, 2);
  ACAPI_Interface('CPWD');
}

TEST_F(HostInterfaceTest, ACancelQueuedBeforeTheWindowOpensWaitsForIt)
{
  pln::host::QueueProgressCancel();
  EXPECT_EQ(ACAPI_Interface('CANC'), NoError);  // no window, nothing to cancel
  GS::UniString title(u"出力");
  Int32 phases = 3;
  ASSERT_EQ(ACAPI_Interface('IPWD', &title, &phases), NoError);
  EXPECT_EQ(phases, 3);
  EXPECT_EQ(ACAPI_Interface('CANC'), APIERR_CANCEL);
  ACAPI_Interface('CPWD');
}

TEST_F(HostInterfaceTest, PhasesRangesAndStepsFollowTheWindowAndStopAtItsEnds)
{
  Int32 maximum = 5;
  bool percent = true;
  GS::UniString text(u"3 面積計算");
  ASSERT_EQ(ACAPI_Interface('SPRP', &text, &maximum, &percent), NoError);
  EXPECT_EQ(pln::host::Progress().phase, 0);  // closed: nothing happens

  GS::UniString title(u"計算");
  Int32 phases = 3;
  ACAPI_Interface('IPWD', &title, &phases);
  ASSERT_EQ(ACAPI_Interface('SPRP', &text, &maximum, &percent), NoError);
  Int32 one = 1;
  for (int i = 0; i < 7; ++i)
    ASSERT_EQ(ACAPI_Interface('IPRV', &one), NoError);
  EXPECT_EQ(pln::host::Progress().position, 5);
  Int32 position = -3;
  ASSERT_EQ(ACAPI_Interface('SPRV', &position), NoError);
  EXPECT_EQ(position, 0);
  EXPECT_EQ(pln::host::Progress().phase, 1);
  EXPECT_EQ(pln::host::Progress().text, text);
  EXPECT_EQ(pln::host::Progress().maximum, 5);
  ACAPI_Interface('CPWD');
  EXPECT_FALSE(pln::host::Progress().open);
}

TEST_F(HostInterfaceTest, UserControlsRememberTheChooserOfEachItem)
{
  API_UserControlInfo pen{32512, 6, APIUserControlType_Pen};
  API_UserControlInfo layer{32512, 10, APIUserControlType_Layer};
  ASSERT_EQ(ACAPI_Interface('SUCC', &pen), NoError);
  ASSERT_EQ(ACAPI_Interface('SUCC', &layer), NoError);
  EXPECT_EQ(pln::host::UserControlOf(32512, 6), APIUserControlType_Pen);
  EXPECT_EQ(pln::host::UserControlOf(32512, 10), APIUserControlType_Layer);
  EXPECT_FALSE(pln::host::UserControlOf(32512, 7).has_value());

  pln::host::FailOnce("ACAPI_Interface:SUCC", APIERR_GENERAL);
  API_UserControlInfo fill{32512, 18, static_cast<API_UserControlType>(2)};
  EXPECT_EQ(ACAPI_Interface('SUCC', &fill), APIERR_GENERAL);
  EXPECT_FALSE(pln::host::UserControlOf(32512, 18).has_value());
}

TEST(HostInterfaceModelTest, CodesOfTheModelPassThroughTheSameEntryPoint)
{
  HostFixture host;
  API_MenuItemRef item{32500, 1};
  Int32 flags = API_MenuItemChecked;
  ASSERT_EQ(ACAPI_Interface('SMIF', &item, &flags), NoError);
  Int32 read = 0;
  ASSERT_EQ(ACAPI_Interface('GMIF', &item, &read), NoError);
  EXPECT_EQ(read, API_MenuItemChecked);
  EXPECT_EQ(host.CallLog().back(), "ACAPI_Interface:GMIF");
  EXPECT_EQ(ACAPI_Interface('ZZZZ', &item, &read), APIERR_BADPARS);
}

}  // namespace
