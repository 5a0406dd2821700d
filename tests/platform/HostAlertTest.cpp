#include "host_alert.h"
#include "host_calllog.h"
#include "host_foundation.h"
#include "host_interface.h"

#include <gtest/gtest.h>

namespace {

class HostAlertTest : public testing::Test {
protected:
  void SetUp() override
  {
    pln::host::ResetFoundation();
    pln::host::ResetCallLog();
    pln::host::ResetLibraryAndInterface();
  }
};

TEST_F(HostAlertTest, AnswersComeFromTheQueueInOrderThenTheFirstButton)
{
  pln::host::QueueAlertAnswer(2);
  pln::host::QueueAlertAnswer(1);
  const GS::UniString title(u"メンセラ");
  const GS::UniString question(u"更新を適用します。よろしいですか？");
  EXPECT_EQ(DGAlert(-3, title, question, GS::UniString(), u"はい", u"いいえ"), 2);
  EXPECT_EQ(DGAlert(-3, title, question, GS::UniString(), u"はい", u"いいえ"), 1);
  EXPECT_EQ(pln::host::PendingAlertAnswers(), 0u);
  EXPECT_EQ(DGAlert(-3, title, GS::UniString(u"(-2130313213)APIERR_CANCEL"), GS::UniString(), "Ok"), 1);

  const auto& alerts = pln::host::Alerts();
  ASSERT_EQ(alerts.size(), 3u);
  EXPECT_EQ(alerts[0].kind, -3);
  EXPECT_EQ(alerts[0].title, title);
  EXPECT_EQ(alerts[0].largeText, question);
  EXPECT_EQ(alerts[0].buttons[1], GS::UniString(u"いいえ"));
  EXPECT_EQ(alerts[0].answer, 2);
  EXPECT_EQ(alerts[2].buttons[0], GS::UniString("Ok"));
  EXPECT_TRUE(alerts[2].buttons[1].IsEmpty());
  EXPECT_EQ(pln::host::CallLog().size(), 3u);
  EXPECT_EQ(pln::host::CallLog().front(), "DGAlert");
}

TEST_F(HostAlertTest, AResetForgetsTheAlertsAndTheQueuedAnswers)
{
  pln::host::QueueAlertAnswer(3);
  DGAlert(-3, u"t", u"l", u"s", u"1", u"2", u"3");
  pln::host::QueueAlertAnswer(2);
  pln::host::ResetLibraryAndInterface();
  EXPECT_TRUE(pln::host::Alerts().empty());
  EXPECT_EQ(DGAlert(-3, u"t", u"l", u"s", u"1", u"2", u"3"), 1);
}

}  // namespace
