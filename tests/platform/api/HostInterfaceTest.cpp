// ACAPI_Interface: picks and rubber bands, the process window and its
// cancel, the attribute choosers of dialog items; alerts.

#include "PlatformTestSupport.h"

#include "host_alert.h"
#include "host_calllog.h"
#include "host_goodies.h"
#include "host_interface.h"
#include "io_filesystem.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

class HostInterfaceTest : public HostTest {
protected:
  void SetUp() override { seen_.clear(); }

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

  // The polygon's coordinates 1..nCoords; frees its handles.
  static std::vector<API_Coord> TakeCoords(API_GetPolyType& poly)
  {
    std::vector<API_Coord> coords(*poly.coords + 1, *poly.coords + 1 + poly.nCoords);
    Kill(poly.coords);
    Kill(poly.parts);
    return coords;
  }

  static inline std::vector<API_Coord3D> seen_;
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
  host.QueuePick({4.0, 3.0, 0.5}, {{1.0, 0.0, 0.5}, {2.0, 1.0, 0.5}});
  API_GetPointType point;
  const GS::UniString prompt(u"第3点目の頂点を指定してください");
  std::strcpy(point.prompt, prompt.ToCStr().Get());  // the default 8-bit code
  ASSERT_EQ(ACAPI_Interface('IPOI', &point, Callback), NoError);
  EXPECT_EQ(seen_, (std::vector<API_Coord3D>{{1.0, 0.0, 0.5}, {2.0, 1.0, 0.5}, {4.0, 3.0, 0.5}}));
  EXPECT_EQ(point.pos, (API_Coord3D{4.0, 3.0, 0.5}));

  const auto& drawings = host.RubberDrawings();
  ASSERT_EQ(drawings.size(), 3u);
  EXPECT_TRUE(drawings[1].duringInput);
  EXPECT_EQ(drawings[1].cursor, (API_Coord3D{2.0, 1.0, 0.5}));
  EXPECT_EQ(drawings[2].line.c2, (API_Coord3D{4.0, 3.0, 0.5}));
  EXPECT_EQ(drawings[2].line.drawFlags, 2);

  const auto& request = pln::host::InputRequests().back();
  EXPECT_EQ(request.code, static_cast<Int32>('IPOI'));
  EXPECT_EQ(request.prompt, prompt);
  EXPECT_TRUE(request.withCallback);
  EXPECT_EQ(host.CallLog().front(), "ACAPI_Interface:IPOI");

  // An arc takes its start from the picks only when it is not given.
  host.QueuePick({0.0, 5.0, 0.0});
  host.QueuePick({-5.0, 0.0, 0.0});
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
  host.QueuePick({6.0, 4.5, 0.0});
  API_GetPolyType axis;
  axis.method = 1;
  ASSERT_EQ(ACAPI_Interface('IPOL', &axis), NoError);
  EXPECT_EQ(axis.nSubPolys, 1);
  EXPECT_EQ(axis.nArcs, 0);
  EXPECT_EQ(BMGetHandleSize(reinterpret_cast<GSHandle>(axis.coords)), static_cast<GSSize>(6 * sizeof(API_Coord)));
  EXPECT_EQ((*axis.parts)[0], 0);
  EXPECT_EQ((*axis.parts)[1], 5);
  EXPECT_EQ(TakeCoords(axis), (std::vector<API_Coord>{{0.0, 0.0}, {6.0, 0.0}, {6.0, 4.5}, {0.0, 4.5}, {0.0, 0.0}}));

  // Rotated: the first side from the start to the second pick, the width
  // from the third pick's distance to that side.
  host.QueuePick({3.0, 4.0, 0.0});
  host.QueuePick({-4.0, 3.0, 0.0});
  API_GetPolyType rotated;
  rotated.method = 2;
  ASSERT_EQ(ACAPI_Interface('IPOL', &rotated), NoError);
  const std::vector<API_Coord> coords = TakeCoords(rotated);
  const API_Coord expected[] = {{0.0, 0.0}, {3.0, 4.0}, {-1.0, 7.0}, {-4.0, 3.0}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(coords[i].x, expected[i].x, 1e-12) << i;
    EXPECT_NEAR(coords[i].y, expected[i].y, 1e-12) << i;
  }

  API_GetPolyType polygon;
  polygon.method = 3;
  EXPECT_EQ(ACAPI_Interface('IPOL', &polygon), APIERR_BADPARS);
}

TEST_F(HostInterfaceTest, ACancelledProgressStaysCancelledUntilClosedAndAnEarlyCancelWaitsForTheWindow)
{
  GS::UniString title(u"検索");
  Int32 phases = 0;
  ASSERT_EQ(ACAPI_Interface('IPWD', &title, &phases), NoError);
  EXPECT_EQ(phases, 1);  // a window has at least one phase
  EXPECT_EQ(ACAPI_Interface('IPWD', &title, &phases), APIERR_NESTING);

  host.QueueProgressCancel(2);
  EXPECT_EQ(ACAPI_Interface('CANC'), NoError);
  EXPECT_EQ(ACAPI_Interface('CANC'), NoError);
  EXPECT_NE(ACAPI_Interface('CANC'), NoError);
  EXPECT_NE(ACAPI_Interface('CANC'), NoError);
  EXPECT_TRUE(host.Progress().cancelled);
  ASSERT_EQ(ACAPI_Interface('CPWD'), NoError);
  EXPECT_EQ(ACAPI_Interface('CANC'), NoError);

  host.QueueProgressCancel();
  EXPECT_EQ(ACAPI_Interface('CANC'), NoError);  // no window, nothing to cancel
  phases = 3;
  ASSERT_EQ(ACAPI_Interface('IPWD', &title, &phases), NoError);
  EXPECT_EQ(phases, 3);
  EXPECT_EQ(ACAPI_Interface('CANC'), APIERR_CANCEL);
  EXPECT_EQ(host.Progress().openCount, 2);
  ACAPI_Interface('CPWD');
}

TEST_F(HostInterfaceTest, PhasesRangesAndStepsFollowTheWindowAndStopAtItsEnds)
{
  Int32 maximum = 5;
  bool percent = true;
  GS::UniString text(u"3 面積計算");
  ASSERT_EQ(ACAPI_Interface('SPRP', &text, &maximum, &percent), NoError);
  EXPECT_EQ(host.Progress().phase, 0);  // closed: nothing happens

  GS::UniString title(u"計算");
  Int32 phases = 3;
  ACAPI_Interface('IPWD', &title, &phases);
  ASSERT_EQ(ACAPI_Interface('SPRP', &text, &maximum, &percent), NoError);
  Int32 one = 1;
  for (int i = 0; i < 7; ++i)
    ASSERT_EQ(ACAPI_Interface('IPRV', &one), NoError);
  EXPECT_EQ(host.Progress().position, 5);
  Int32 position = -3;
  ASSERT_EQ(ACAPI_Interface('SPRV', &position), NoError);
  EXPECT_EQ(position, 0);
  EXPECT_EQ(host.Progress().phase, 1);
  EXPECT_EQ(host.Progress().text, text);
  EXPECT_EQ(host.Progress().maximum, 5);
  ACAPI_Interface('CPWD');
  EXPECT_FALSE(host.Progress().open);
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
}

TEST_F(HostInterfaceTest, AlertsAnswerFromTheQueueInOrderThenTheFirstButtonAndAResetForgetsThem)
{
  host.QueueAlertAnswer(2);
  host.QueueAlertAnswer(1);
  const GS::UniString title(u"メンセラ");
  const GS::UniString question(u"更新を適用します。よろしいですか？");
  EXPECT_EQ(DGAlert(-3, title, question, GS::UniString(), u"はい", u"いいえ"), 2);
  EXPECT_EQ(DGAlert(-3, title, question, GS::UniString(), u"はい", u"いいえ"), 1);
  EXPECT_EQ(pln::host::PendingAlertAnswers(), 0u);
  EXPECT_EQ(DGAlert(-3, title, GS::UniString(u"(-2130313213)APIERR_CANCEL"), GS::UniString(), "Ok"), 1);

  const auto& alerts = host.Alerts();
  ASSERT_EQ(alerts.size(), 3u);
  EXPECT_EQ(alerts[0].kind, -3);
  EXPECT_EQ(alerts[0].title, title);
  EXPECT_EQ(alerts[0].largeText, question);
  EXPECT_EQ(alerts[0].buttons[1], GS::UniString(u"いいえ"));
  EXPECT_EQ(alerts[0].answer, 2);
  EXPECT_EQ(alerts[2].buttons[0], GS::UniString("Ok"));
  EXPECT_TRUE(alerts[2].buttons[1].IsEmpty());
  EXPECT_EQ(host.CallLog(), (std::vector<std::string>(3, "DGAlert")));

  host.QueueAlertAnswer(3);
  host.Reset();
  EXPECT_TRUE(host.Alerts().empty());
  EXPECT_EQ(DGAlert(-3, u"t", u"l", u"s", u"1", u"2", u"3"), 1);
}

// Files are what one test could leave to the next: a new fixture starts
// from an empty sandbox, while Reset, a restarted host, keeps them.
TEST_F(HostInterfaceTest, ANewFixtureEmptiesTheSandboxAndResetKeepsItsFiles)
{
  namespace fs = std::filesystem;
  const fs::path root = pln::host::SandboxRoot();
  fs::create_directories(root / "c" / "temp");
  std::ofstream(root / "c" / "temp" / "Plenimetra.dat") << "exported";
  std::ofstream(root / "top.txt") << "left";
  host.Reset();
  EXPECT_TRUE(fs::exists(root / "c" / "temp" / "Plenimetra.dat"));

  HostFixture next;
  EXPECT_EQ(pln::host::SandboxRoot(), root);
  ASSERT_TRUE(fs::is_directory(root));
  EXPECT_TRUE(fs::is_empty(root));
}

// The call log of a long session keeps its newest entries within the limit
// and drops its older half at a time, so its last entry is the last call.
TEST_F(HostInterfaceTest, TheCallLogOfALongSessionStaysWithinItsLimit)
{
  host.ClearCallLog();
  for (std::size_t call = 0; call <= pln::host::kLogLimit; ++call)
    pln::host::LogCall(call == pln::host::kLogLimit ? "last" : "call");
  EXPECT_EQ(host.CallLog().size(), pln::host::kLogLimit / 2 + 1);
  EXPECT_EQ(host.CallLog().back(), "last");
}

}  // namespace
