// The renumbering dialog: the preview of the start number in the current
// numbering style as the user types, the floor of 1, and Cancel.

#include "CDlgRenumbering.h"
#include "DialogDocTestSupport.h"

namespace {

constexpr short kStart = CDlgRenumbering::kItemStartNo;
constexpr short kPreview = CDlgRenumbering::kItemPreview;

class RenumberingTest : public DialogDocTest {
protected:
  RenumberingTest() { Declare<CDlgRenumbering>(); }
};

TEST_F(RenumberingTest, PreviewFollowsTheCurrentStyleAsTheUserTypes)
{
  struct Case {
    CItemType2Table::ITEMTYPE style;
    std::u16string first;
    std::u16string third;
  };
  const Case cases[] = {
      {CItemType2Table::ITEMTYPE_DECIMAL, u"( 1 )", u"( 3 )"},
      {CItemType2Table::ITEMTYPE_UPPER, u"( A )", u"( C )"},
      {CItemType2Table::ITEMTYPE_HIRAKANA2, u"( い )", u"( は )"},
  };
  for (const Case& c : cases) {
    doc.m_CurItemType2 = c.style;
    CDlgRenumbering dialog(&doc, 1);
    const short result = Run(dialog, [&](DialogUser& user) {
      EXPECT_EQ(Value(user, kStart), 1);
      EXPECT_EQ(Text(user, kPreview), c.first);
      user.SetLong(kStart, 3);
      EXPECT_EQ(Text(user, kPreview), c.third);
      user.Click(1);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(dialog.m_StartNo, 3);
  }
}

// A start of 0 would give the first figure -1, "unnumbered".
TEST_F(RenumberingTest, StartNumbersBelowOneBecomeOne)
{
  doc.m_CurItemType2 = CItemType2Table::ITEMTYPE_UPPER;
  for (const Int32 typed : {0, -5}) {
    CDlgRenumbering dialog(&doc, 4);
    Run(dialog, [&](DialogUser& user) {
      user.SetLong(kStart, typed);
      EXPECT_EQ(Value(user, kStart), 1);
      EXPECT_EQ(Text(user, kPreview), u"( A )");
      user.Click(1);
    });
    EXPECT_EQ(dialog.m_StartNo, 1);
  }
  CDlgRenumbering opened(&doc, 0);
  Run(opened, [](DialogUser& user) { EXPECT_EQ(Value(user, kStart), 1); });
}

TEST_F(RenumberingTest, CancelKeepsTheStartNumber)
{
  CDlgRenumbering dialog(&doc, 4);
  const short result = Run(dialog, [](DialogUser& user) {
    user.SetLong(kStart, 9);
    user.Click(2);
  });
  EXPECT_EQ(result, 2);
  EXPECT_EQ(dialog.m_StartNo, 4);
}

}  // namespace
