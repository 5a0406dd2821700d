// The error alert: which codes are silent, which text each code shows.

#include "GSWriteReport.h"
#include "HostTestSupport.h"

namespace {

using GSWriteReportTest = HostTest;

TEST_F(GSWriteReportTest, TheAlertHasItsTitleAndOneOkButtonAndSuccessAndCancelShowNothing)
{
  GSWriteReport(0);
  GSWriteReport(APIERR_CANCEL);
  EXPECT_TRUE(host.Alerts().empty());
  GSWriteReport(GS::UniString(u"保存できません"));
  ASSERT_EQ(host.Alerts().size(), 1u);
  const pln::host::AlertRecord& alert = host.Alerts()[0];
  EXPECT_EQ(alert.kind, -3);
  EXPECT_EQ(alert.title, GS::UniString(u"メンセラ"));
  EXPECT_EQ(alert.largeText, GS::UniString(u"保存できません"));
  EXPECT_EQ(alert.smallText, GS::UniString());
  EXPECT_EQ((std::vector<GS::UniString>(alert.buttons, alert.buttons + 3)),
            (std::vector<GS::UniString>{u"Ok", GS::UniString(), GS::UniString()}));
}

TEST_F(GSWriteReportTest, CodesShowTheSignedCodeAndThePaddedNameButAMissingObjectASentence)
{
  GSWriteReport(APIERR_NOTMINE);
  GSWriteReport(int(0x810601F9));  // just past the last name
  GSWriteReport(APIERR_IRREGULARPOLY);
  GSWriteReport(APIERR_BADNAME);
  ASSERT_EQ(host.Alerts().size(), 4u);
  const std::string notMine = "(-2130312910)APIERR_NOTMINE" + std::string(31 - 14, ' ');
  EXPECT_EQ(host.Alerts()[0].largeText, GS::UniString(notMine.c_str()));
  EXPECT_EQ(host.Alerts()[1].largeText, GS::UniString("(-2130312711)???"));
  EXPECT_EQ(host.Alerts()[2].largeText, GS::UniString("(-2130313102)APIERR_IRREGULARPOLY"));
  EXPECT_EQ(host.Alerts()[3].largeText, GS::UniString(u"必要なオブジェクトが見つかりません"));
}

// A user's action is told what was not done, then why: the refusals a user
// can mend in words of what to do, any other code after the words.
TEST_F(GSWriteReportTest, AFailureLeadsWithWhatWasNotDoneAndSaysInWordsWhatTheUserCanMend)
{
  const GS::UniString notDone(u"項目の挿入を完了できませんでした。");
  GSWriteFailure(notDone, NoError);
  GSWriteFailure(notDone, APIERR_CANCEL);
  EXPECT_TRUE(host.Alerts().empty());
  GSWriteFailure(notDone, APIERR_NOTMINE);
  GSWriteFailure(notDone, APIERR_LOCKEDLAY);
  GSWriteFailure(notDone, APIERR_HIDDENLAY);
  GSWriteFailure(notDone, APIERR_GENERAL);
  GSWriteFailure(notDone, APIERR_BADNAME);
  ASSERT_EQ(host.Alerts().size(), 5u);
  const auto text = [&](std::size_t i) { return host.Alerts()[i].largeText.ToStdString(CC_UTF8); };
  EXPECT_EQ(text(0),
            "項目の挿入を完了できませんでした。確保されていない要素があります（フロア未確保）。"
            "パレットの「確保」で確保してから、もう一度操作してください。");
  EXPECT_EQ(text(1), "項目の挿入を完了できませんでした。レイヤーがロックされています。ロックを解除してから、もう一度操作してください。");
  EXPECT_EQ(text(2), "項目の挿入を完了できませんでした。レイヤーが非表示です。表示してから、もう一度操作してください。");
  EXPECT_EQ(text(3), "項目の挿入を完了できませんでした。(-2130313215)APIERR_GENERAL" + std::string(31 - 14, ' '));
  EXPECT_EQ(text(4), "項目の挿入を完了できませんでした。必要なオブジェクトが見つかりません");
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_EQ(text(i).find("APIERR"), std::string::npos) << text(i);
}

}  // namespace
