// The figure-list page: its rows, placing figures from its buttons, the
// selection in both directions and the main palette's updates.

#include "FigureListTestSupport.h"

namespace {

using pln::host::DialogUser;

TEST_F(FigureListTest, AnEmptyStoryShowsNoRowsAndStartNumberOne)
{
  EXPECT_FALSE(pln::host::DialogState(dialId())->visible);
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(PageItem(22).valLong, 1);
  EXPECT_EQ(PageItem(23).text, GS::UniString(u"( 1 )"));
  EXPECT_EQ(PageItem(24).text, GS::UniString(u"端数処理デフォルト：第7位切り捨て第6位"));
  const auto& styles = PageItem(20).entries;
  const auto abc = std::find_if(styles.begin(), styles.end(), [](const auto& e) { return e.text == GS::UniString(u"A,B,C"); });
  ASSERT_NE(abc, styles.end());
  page().SelectPopUp(20, static_cast<short>(abc - styles.begin() + 1));
  EXPECT_EQ(PageItem(23).text, GS::UniString(u"( A )"));
  EXPECT_EQ(doc().m_CurItemType2, CItemType2Table::ITEMTYPE_UPPER);

  page().Click(1);
  EXPECT_EQ(pageId(), 0);
  EXPECT_TRUE(pln::host::DialogState(dialId())->visible);
}

TEST_F(FigureListTest, ThreeTrianglesAreThreeStepsNumberedInTurnAndTheCancelIsSilent)
{
  PlaceTriangles(3);
  EXPECT_EQ(UndoTail(3), std::vector<GS::UniString>(3, GS::UniString(u"メンセラ[求積図形作成]")));
  EXPECT_EQ(Numbers(0), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(PageItem(22).valLong, 4);
  EXPECT_TRUE(pln::host::Alerts().empty());
  ASSERT_EQ(Rows().size(), 3u);
  EXPECT_EQ(RowTexts(1), (std::vector<GS::UniString>{u"○", u"1,2,3", u"○1", u"4.000×3.000÷2", u"6.00000000",
                                                      u"デフォルト", u"6.000000", u"", u"自動"}));
  EXPECT_EQ(PageItem(6).valLong, 1);
}
}  // namespace
