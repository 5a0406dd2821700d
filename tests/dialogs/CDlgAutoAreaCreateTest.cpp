// The automatic-area create dialog: the start-number preview in the chosen
// style, the restart of the numbering for another mark or style from the
// active story's figures, the cut options with the edge options greyed
// unless cut type 4, and the refusal of a start number below 1.

#include "CDlgAutoAreaCreate.h"
#include "DialogDocTestSupport.h"

namespace {

using C = CDlgAutoAreaCreate;
using Mark = CItemType1Table::ITEMTYPE;
using Style = CItemType2Table::ITEMTYPE;

class AutoAreaCreateTest : public DialogDocTest {
protected:
  AutoAreaCreateTest() { Declare<CDlgAutoAreaCreate>(); }

  void AddFigure(short story, Mark mark, Style style, int no)
  {
    doc.m_FloorParamArray[static_cast<std::size_t>(story)].m_Area1ObjectArray.push_back(
        std::make_shared<TestKindFigure>(&doc, CArea1Object::TYPE_TRIANGLE, ++doc.m_LastArea1Code, mark, style, no));
  }
  static void Choose(DialogUser& user, short popUp, long long code)
  {
    user.SelectPopUp(popUp, EntryOf(user, popUp, code));
  }
};

TEST_F(AutoAreaCreateTest, PreviewShowsTheStartNumberInTheChosenStyle)
{
  CDlgAutoAreaCreate dialog(&doc);
  const short result = Run(dialog, [](DialogUser& user) {
    EXPECT_EQ(DGPopUpGetItemCount(user.DialogId(), C::kItemMark), 7);
    EXPECT_EQ(DGPopUpGetItemCount(user.DialogId(), C::kItemNumbering), 8);
    EXPECT_EQ(EntryOf(user, C::kItemMark, 0), 0);
    EXPECT_EQ(Value(user, C::kItemStartNo), 1);
    EXPECT_EQ(Text(user, C::kItemPreview), u"( 1 )");
    Choose(user, C::kItemNumbering, Style::ITEMTYPE_UPPER);
    EXPECT_EQ(Text(user, C::kItemPreview), u"( A )");
    const std::pair<Int32, std::u16string> typed[] = {
        {26, u"( Z )"}, {27, u"( AA )"}, {702, u"( ZZ )"}, {703, u"(  )"}};
    for (const auto& [number, preview] : typed) {
      user.SetLong(C::kItemStartNo, number);
      EXPECT_EQ(Text(user, C::kItemPreview), preview) << number;
    }
    user.SetLong(5, 1);
    Choose(user, C::kItemMark, Mark::ITEMTYPE_SQUARE);
    user.SetLong(C::kItemStartNo, 1);
    user.Click(1);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(dialog.m_CutType, 2);
  EXPECT_EQ(dialog.m_ItemType1, Mark::ITEMTYPE_SQUARE);
  EXPECT_EQ(dialog.m_ItemType2, Style::ITEMTYPE_UPPER);
  EXPECT_EQ(dialog.m_StartNo, 0);
}

// Only the active story's figures of the chosen pair count.
TEST_F(AutoAreaCreateTest, AnotherMarkOrStyleRestartsAfterTheHighestNumberInUse)
{
  AddFigure(0, Mark::ITEMTYPE_SQUARE, Style::ITEMTYPE_UPPER, 0);
  AddFigure(0, Mark::ITEMTYPE_SQUARE, Style::ITEMTYPE_UPPER, 4);
  AddFigure(0, Mark::ITEMTYPE_CIRCLE, Style::ITEMTYPE_UPPER, 7);
  AddFigure(1, Mark::ITEMTYPE_SQUARE, Style::ITEMTYPE_UPPER, 9);
  CDlgAutoAreaCreate dialog(&doc);
  dialog.m_StartNo = 12;
  Run(dialog, [](DialogUser& user) {
    EXPECT_EQ(Value(user, C::kItemStartNo), 13);
    Choose(user, C::kItemMark, Mark::ITEMTYPE_SQUARE);
    EXPECT_EQ(Value(user, C::kItemStartNo), 1);  // □ with 1,2,3: unused
    Choose(user, C::kItemNumbering, Style::ITEMTYPE_UPPER);
    EXPECT_EQ(Value(user, C::kItemStartNo), 6);
    EXPECT_EQ(Text(user, C::kItemPreview), u"( F )");
    Choose(user, C::kItemMark, Mark::ITEMTYPE_CIRCLE);
    EXPECT_EQ(Text(user, C::kItemPreview), u"( I )");
    user.Click(1);
  });
  EXPECT_EQ(dialog.m_StartNo, 8);
}

TEST_F(AutoAreaCreateTest, EdgeOptionsAreGreyedUnlessCutType4AndKeepTheirValues)
{
  CDlgAutoAreaCreate dialog(&doc);
  dialog.m_CutType = 4;
  dialog.m_bCutAcross = true;
  dialog.m_bFollowEdges = false;
  dialog.m_bWithHoles = false;
  const short result = Run(dialog, [](DialogUser& user) {
    const short options[] = {C::kItemAlongEdge, C::kItemAcrossEdge, C::kItemFollowEdges};
    EXPECT_EQ(Value(user, 7), 1);
    EXPECT_EQ(Value(user, C::kItemWithHoles), 0);
    for (const short radio : {4, 5, 6, 7, 4}) {
      user.SetLong(radio, 1);
      for (const short item : options)
        EXPECT_EQ(State(user, item).enabled, radio == 7) << radio << " " << item;
      EXPECT_EQ(Value(user, C::kItemAlongEdge), 0);
      EXPECT_EQ(Value(user, C::kItemAcrossEdge), 1);
      EXPECT_EQ(Value(user, C::kItemFollowEdges), 0);
    }
    user.SetLong(7, 1);
    user.SetLong(C::kItemAlongEdge, 1);
    user.Check(C::kItemFollowEdges, true);
    user.Check(C::kItemWithHoles, true);
    user.Click(1);
  });
  EXPECT_EQ(result, 1);
  const CAutoCutType cut = dialog.GetAutoCutType();
  EXPECT_EQ(cut.m_Type, CAutoCutType::AUTOCUTTYPE_EDGE);
  EXPECT_FALSE(cut.m_bCutAcross);
  EXPECT_TRUE(cut.m_bFollowEdges);
  EXPECT_TRUE(cut.m_bWithHoles);
}

// A start below 1 would number the new figures below -1.
TEST_F(AutoAreaCreateTest, StartNumberBelowOneIsRefused)
{
  CDlgAutoAreaCreate dialog(&doc);
  Run(dialog, [&](DialogUser& user) {
    user.SetLong(C::kItemStartNo, 5);
    for (const Int32 typed : {0, -3}) {
      user.SetLong(C::kItemStartNo, typed);
      EXPECT_EQ(Value(user, C::kItemStartNo), 5);
      EXPECT_EQ(Text(user, C::kItemPreview), u"( 5 )");
      EXPECT_EQ(dialog.m_StartNo, 4);
    }
    user.Click(1);
  });
  ASSERT_EQ(fx.Alerts().size(), 2u);
  EXPECT_EQ(fx.Alerts()[0].largeText, GS::UniString(u"入力値が正しくありません"));
  EXPECT_EQ(dialog.m_StartNo, 4);
}

}  // namespace
