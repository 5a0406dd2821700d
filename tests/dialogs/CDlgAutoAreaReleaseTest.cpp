// The release dialog: deleting the figures is offered ticked, and only OK
// takes the user's choice.

#include "CDlgAutoAreaRelease.h"
#include "DialogDocTestSupport.h"

namespace {

constexpr short kDelete = CDlgAutoAreaRelease::kItemDeleteFigures;

class AutoAreaReleaseTest : public DialogDocTest {
protected:
  AutoAreaReleaseTest() { Declare<CDlgAutoAreaRelease>(); }
};

TEST_F(AutoAreaReleaseTest, OkTakesTheCheckCancelLeavesTheField)
{
  CDlgAutoAreaRelease dialog;
  EXPECT_EQ(Run(dialog, [](DialogUser& user) {
              EXPECT_EQ(Value(user, kDelete), 1);
              user.Check(kDelete, false);
              user.Click(1);
            }),
            1);
  EXPECT_FALSE(dialog.m_bDeleteFigures);

  CDlgAutoAreaRelease cancelled;
  EXPECT_EQ(Run(cancelled, [](DialogUser& user) {
              user.Check(kDelete, false);
              user.Click(2);
            }),
            2);
  EXPECT_TRUE(cancelled.m_bDeleteFigures);
}

}  // namespace
