// The error alert: which codes are silent, which text each code shows.

#include "GSWriteReport.h"
#include "HostFixture.h"
#include "host_errors.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class GSWriteReportTest : public ::testing::Test {
protected:
  HostFixture host;
};

TEST_F(GSWriteReportTest, SuccessAndCancelShowNothing)
{
  GSWriteReport(0);
  GSWriteReport(APIERR_CANCEL);
  EXPECT_TRUE(host.Alerts().empty());
}

TEST_F(GSWriteReportTest, TheAlertHasItsTitleAndOneOkButton)
{
  GSWriteReport(GS::UniString(u"保存できません"));
  ASSERT_EQ(host.Alerts().size(), 1u);
  const pln::host::AlertRecord& alert = host.Alerts()[0];
  EXPECT_EQ(alert.kind, -3);
  EXPECT_EQ(alert.title, GS::UniString(u"メンセラ"));
  EXPECT_EQ(alert.largeText, GS::UniString(u"保存できません"));
  EXPECT_EQ(alert.smallText, GS::UniString());
  EXPECT_EQ(alert.buttons[0], GS::UniString(u"Ok"));
  EXPECT_EQ(alert.buttons[1], GS::UniString());
  EXPECT_EQ(alert.buttons[2], GS::UniString());
}

TEST_F(GSWriteReportTest, AMissingObjectHasASentenceOfItsOwn)
{
  GSWriteReport(APIERR_BADNAME);
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_EQ(host.Alerts()[0].largeText, GS::UniString(u"必要なオブジェクトが見つかりません"));
}

TEST_F(GSWriteReportTest, OtherCodesShowTheSignedCodeAndThePaddedName)
{
  GSWriteReport(APIERR_NOTMINE);
  GSWriteReport(int(0x810601F9));  // just past the last name
  GSWriteReport(APIERR_IRREGULARPOLY);
  ASSERT_EQ(host.Alerts().size(), 3u);
  EXPECT_EQ(host.Alerts()[0].largeText, GS::UniString(("(-2130312910)APIERR_NOTMINE" + std::string(31 - 14, ' ')).c_str()));
  EXPECT_EQ(host.Alerts()[1].largeText, GS::UniString("(-2130312711)???"));
  EXPECT_EQ(host.Alerts()[2].largeText, GS::UniString("(-2130313102)APIERR_IRREGULARPOLY"));
}

}  // namespace
