// The progress window over the stand-in's process window: what reaches the
// host in each mode, the counters, cancel, and closing on destruction.

#include "../AlertWords.h"
#include "CDlgProgress.h"
#include "HostTestSupport.h"

#include <stdexcept>
#include <tuple>

namespace {

class CDlgProgressTest : public HostTest {
protected:
  // What the host's process window shows: open, title, phase count, phase,
  // text, maximum and position.
  auto Window() const
  {
    const auto& p = host.Progress();
    return std::tuple(p.open, p.title, p.phaseCount, p.phase, p.text, p.maximum, p.position);
  }
};

TEST_F(CDlgProgressTest, PhasedRangeShowsThePhaseCountBeforeTheText)
{
  CDlgProgress progress;
  progress.SetPhase(3, GS::UniString(u"集計"));
  EXPECT_EQ(Window(), std::tuple(true, GS::UniString(u"集計"), 3, 0, GS::UniString(), 0, 0));
  EXPECT_EQ(progress.GetCurPhase(), GS::UniString(u"3 "));

  progress.SetRange2(10, GS::UniString(u"面積"));
  EXPECT_EQ(Window(), std::tuple(true, GS::UniString(u"集計"), 3, 1, GS::UniString(u"3 面積"), 10, 0));

  // Every range of a phased window starts the host's next phase.
  progress.IncrementPhase();
  progress.SetRange(4, "second");
  EXPECT_EQ(Window(), std::tuple(true, GS::UniString(u"集計"), 3, 2, GS::UniString(u"second"), 4, 0));
  EXPECT_EQ(progress.GetRange(), 4);
  progress.Close();
  EXPECT_FALSE(host.Progress().open);
}

TEST_F(CDlgProgressTest, SingleRangeOpensOnceAndLaterRangesOnlyResetTheCounters)
{
  CDlgProgress progress;
  EXPECT_EQ(progress.OpenProgress("タイトル", false), 0);
  EXPECT_FALSE(host.Progress().open);  // the title waits for the first range
  EXPECT_EQ(progress.GetCurPhase(), GS::UniString());

  progress.SetRange(5, "first");
  progress.StepIt();
  progress.StepIt();
  EXPECT_EQ(Window(), std::tuple(true, GS::UniString(u"タイトル"), 1, 1, GS::UniString(u"first"), 5, 2));
  EXPECT_EQ(progress.GetPos(), 2);
  progress.SetPos(4);
  EXPECT_EQ(progress.GetPos(), 4);
  progress.SetPos(9);  // the host keeps the bar within its maximum
  EXPECT_EQ(host.Progress().position, 5);
  EXPECT_EQ(progress.GetPos(), 5);

  host.ClearCallLog();
  progress.SetRange(7, "second");
  EXPECT_TRUE(host.CallLog().empty());
  EXPECT_EQ(progress.GetRange(), 7);
  EXPECT_EQ(progress.GetPos(), 0);
  EXPECT_EQ(host.Progress().maximum, 5);
  EXPECT_EQ(host.Progress().openCount, 1);
}

TEST_F(CDlgProgressTest, CloseReturnsToFirstUseSoTheObjectRunsAgain)
{
  CDlgProgress progress;
  progress.SetPhase(2, "a");
  progress.Close();
  host.ClearCallLog();
  progress.Close();  // a closed window: only the mode flags change
  EXPECT_TRUE(host.CallLog().empty());

  progress.SetRange(3, "again");  // single-range now, so it opens anew
  EXPECT_TRUE(host.Progress().open);
  EXPECT_EQ(host.Progress().openCount, 2);
  EXPECT_EQ(progress.GetCurPhase(), GS::UniString());
}

TEST_F(CDlgProgressTest, CancelIsReportedByCheckAbortAndStepItPassesTheHostErrorOn)
{
  CDlgProgress progress;
  progress.SetRange(10, "x");
  host.FailOnce("ACAPI_Interface:IPRV", APIERR_GENERAL);
  EXPECT_EQ(progress.StepIt(), APIERR_GENERAL);
  EXPECT_EQ(progress.StepIt(), NoError);
  EXPECT_EQ(progress.GetPos(), 2);

  host.QueueProgressCancel(2);
  EXPECT_FALSE(progress.CheckAbort());
  EXPECT_FALSE(progress.CheckAbort());
  EXPECT_TRUE(progress.CheckAbort());
  EXPECT_TRUE(progress.CheckAbort());  // it stays cancelled until closed
}

// An answer that the host gives once (here a failed question) stands until
// the window closes: a caller that asks without acting still ends the run.
TEST_F(CDlgProgressTest, ACancelAnsweredOnceStandsUntilTheWindowCloses)
{
  CDlgProgress progress;
  progress.SetRange(10, "x");
  host.FailOnce("ACAPI_Interface:CANC", APIERR_GENERAL);
  EXPECT_TRUE(progress.CheckAbort());
  EXPECT_TRUE(progress.CheckAbort());
  progress.Close();
  progress.SetRange(10, "y");
  EXPECT_FALSE(progress.CheckAbort());
}

// A close the host refuses once is asked again; one refused twice leaves
// the window open and tells the user once.
TEST_F(CDlgProgressTest, ARefusedCloseIsAskedAgainAndReportedWhenItStaysOpen)
{
  {
    CDlgProgress progress;
    progress.SetRange(3, "once");
    host.FailOnce("ACAPI_Interface:CPWD", APIERR_GENERAL);
    progress.Close();
    EXPECT_FALSE(host.Progress().open);
    EXPECT_TRUE(host.Alerts().empty());
  }
  CDlgProgress progress;
  progress.SetRange(3, "twice");
  host.FailOnce("ACAPI_Interface:CPWD", APIERR_GENERAL);
  host.FailOnce("ACAPI_Interface:CPWD", APIERR_GENERAL);
  progress.Close();
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_TRUE(SaysInWords(host.Alerts()[0].largeText));
  progress.Close();  // closed as far as the add-on knows: nothing asked again
  EXPECT_EQ(host.Alerts().size(), 1u);
}

TEST_F(CDlgProgressTest, AnExceptionThroughAProgressLoopClosesTheWindow)
{
  EXPECT_THROW(
      {
        CDlgProgress progress;
        progress.SetRange(3, "loop");
        throw std::runtime_error("stop");
      },
      std::runtime_error);
  EXPECT_FALSE(host.Progress().open);
  EXPECT_EQ(Calls("ACAPI_Interface:CPWD"), 1);
}

}  // namespace
