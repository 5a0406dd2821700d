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

}  // namespace
