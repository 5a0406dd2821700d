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
  page().SelectPopUp(20, Entry(20, u"A,B,C"));
  EXPECT_EQ(PageItem(23).text, GS::UniString(u"( A )"));
  EXPECT_EQ(doc().m_CurItemType2, CItemType2Table::ITEMTYPE_UPPER);

  page().Click(1);
  EXPECT_EQ(pageId(), 0);
  EXPECT_TRUE(pln::host::DialogState(dialId())->visible);
}

TEST_F(FigureListTest, ThreeTrianglesAreThreeStepsNumberedInTurnAndTheCancelIsSilent)
{
  PlaceTriangles(3);
  const auto names = host.UndoNames();
  ASSERT_GE(names.size(), 3u);
  EXPECT_EQ(std::vector<GS::UniString>(names.end() - 3, names.end()),
            std::vector<GS::UniString>(3, GS::UniString(u"メンセラ[求積図形作成]")));
  EXPECT_EQ(Numbers(0), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(PageItem(22).valLong, 4);
  EXPECT_TRUE(pln::host::Alerts().empty());
  ASSERT_EQ(Rows().size(), 3u);
  EXPECT_EQ(RowTexts(1), (std::vector<GS::UniString>{u"○", u"1,2,3", u"○1", u"4.000×3.000÷2", u"6.00000000",
                                                      u"デフォルト", u"6.000000", u"", u"自動"}));
  EXPECT_EQ(PageItem(6).valLong, 1);
}

TEST_F(FigureListTest, EachButtonPlacesItsKindAndListsItsArea)
{
  struct Case {
    short button;
    std::initializer_list<std::pair<double, double>> picks;
    const char16_t* area;
  };
  const Case cases[] = {
      {6, {{0, 0}, {4, 0}, {1, 3}}, u"6.00000000"},
      {7, {{0, 0}, {6, -4.5}}, u"27.00000000"},
      {8, {{0, 0}, {3, 4}, {-4, 3}}, u"25.00000000"},
      {9, {{0, 0}, {5, 0}, {4, 2}, {1, 2}}, u"8.00000000"},
      {10, {{0, 0}, {1.2345, 0}}, u"4.78532938"},
      {11, {{0, 0}, {2, 0}, {0, 1}}, u"6.28000000"},
      {12, {{0, 0}, {2, 0}, {0, 2}}, u"3.14000000"},
      {13, {{0, 0}, {2, 0}, {1, 0.5}}, u"0.69816145"},
      {14, {{0, 0}, {5, 0}, {0, 5}}, u"7.12523975"},
  };
  std::size_t rows = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    Picks(c.picks);
    page().Click(c.button);
    ASSERT_EQ(Rows().size(), ++rows);
    EXPECT_EQ(Cell(rows, 5).ToStdString(CC_UTF8), GS::UniString(c.area).ToStdString(CC_UTF8));
    EXPECT_EQ(Figures(0).back()->m_No, static_cast<int>(rows - 1));
    EXPECT_EQ(PageItem(22).valLong, static_cast<Int32>(rows + 1));
    for (short other = 6; other <= 14; ++other)
      EXPECT_EQ(PageItem(other).valLong, other == c.button ? 1 : 0) << other;
  }
  EXPECT_TRUE(pln::host::Alerts().empty());
}

TEST_F(FigureListTest, TheStartNumberSkipsUsedNumbersUnlessGapsAreFilled)
{
  PlaceTriangles(3);
  struct Case {
    bool sequential;
    Int32 typed;
    int expected;
  };
  // Numbers 0, 1, 2 are used; 4 (shown 5) is free.
  for (const Case& c : {Case{false, 2, 3}, Case{false, 5, 4}, Case{false, 0, 5}}) {
    SetSequential(c.sequential);
    page().SetLong(22, c.typed);
    PlaceTriangles(1);
    EXPECT_EQ(Figures(0).back()->m_No, c.expected) << c.typed;
  }
  // Typing 0 was taken as 1.
  EXPECT_EQ(PageItem(23).text, GS::UniString(u"( 7 )"));
  page().SetLong(22, 2);
  host.UserDelete(Guids({1}));
  SetSequential(true);
  PlaceTriangles(1);
  EXPECT_EQ(Figures(0).back()->m_No, 1);
}

TEST_F(FigureListTest, ASegmentOfTwoHundredSeventyDegreesEndsTheLoopSilently)
{
  Picks({{0, 0}, {5, 0}, {0, -5}});
  EXPECT_EQ(Page().DoCreate(pageId(), 14), APIERR_CANCEL);
  page().Click(14);
  EXPECT_TRUE(Rows().empty());
  EXPECT_TRUE(pln::host::Alerts().empty());
  EXPECT_TRUE(host.UndoNames().empty());
}

TEST_F(FigureListTest, AFailedCircleIsReportedListedNowhereAndUsesUpItsCode)
{
  const int code = doc().m_LastArea1Code;
  Picks({{0, 0}, {2, 0}});
  host.FailOnce("ACAPI_Element_Create", APIERR_MEMFULL);
  page().Click(10);
  EXPECT_TRUE(Rows().empty());
  EXPECT_TRUE(Figures(0).empty());
  EXPECT_EQ(doc().m_LastArea1Code, code + 1);
  ASSERT_EQ(pln::host::Alerts().size(), 1u);
  EXPECT_TRUE(SaysInWords(pln::host::Alerts()[0].largeText));
}

TEST_F(FigureListTest, AFigureOffTheFigureLayerIsGrey)
{
  PlaceTriangles(2);
  const Int32 other = host.AddLayer(u"other");
  ASSERT_EQ(host.UserEdit(Figures(0)[1]->m_Element.header.guid,
                          [&](API_Element& e) { e.header.layer = static_cast<short>(other); }),
            NoError);
  ASSERT_EQ(Rows().size(), 2u);
  EXPECT_EQ(Rows()[0].color, (DGColor16{0, 0, 0}));
  EXPECT_EQ(Rows()[1].color, (DGColor16{50000, 50000, 50000}));
}

TEST_F(FigureListTest, AStoryChangeListsThatStorysFiguresAndStartNumber)
{
  PlaceTriangles(2);
  PlaceRect(1, 0, 0, 2, 2);
  ASSERT_EQ(host.UserChangeStory(1), NoError);
  ASSERT_EQ(Rows().size(), 1u);
  EXPECT_EQ(Cell(1, 5), GS::UniString(u"4.00000000"));
  EXPECT_EQ(PageItem(22).valLong, 2);
  ASSERT_EQ(host.UserChangeStory(0), NoError);
  EXPECT_EQ(Rows().size(), 2u);
  EXPECT_EQ(PageItem(22).valLong, 3);
}

TEST_F(FigureListTest, SelectionFollowsBothWaysWithoutFeedback)
{
  PlaceTriangles(3);
  API_Element wall;
  wall.header.typeID = API_WallID;
  wall.header.layer = 1;
  wall.wall.endC = API_Coord{5.0, 0.0};
  ASSERT_EQ(host.AddElement(wall), NoError);

  ASSERT_EQ(host.UserSelect(Guids({2, 0})), NoError);
  EXPECT_EQ(SelectedRows(), (std::vector<short>{1, 3}));
  ASSERT_EQ(host.UserSelect({wall.header.guid}), NoError);
  EXPECT_TRUE(SelectedRows().empty());

  host.ClearCallLog();
  page().SelectRows(25, {2, 3});
  API_SelectionInfo info;
  GS::Array<API_Neig> neigs;
  ASSERT_EQ(ACAPI_Selection_Get(&info, &neigs, false, false), NoError);
  ASSERT_EQ(neigs.GetSize(), 2u);
  EXPECT_EQ(neigs[0].guid, Figures(0)[1]->m_Element.header.guid);
  EXPECT_EQ(neigs[1].guid, Figures(0)[2]->m_Element.header.guid);
  EXPECT_EQ(SelectedRows(), (std::vector<short>{2, 3}));
  EXPECT_FALSE(palette().m_bIgnoreSelection);
}


// A marquee that cuts across a figure does not select its row.
TEST_F(FigureListTest, AFigureSelectedOnlyInPartSelectsNoRow)
{
  PlaceTriangles(3);
  ASSERT_EQ(host.UserSelect(Guids({0, 1, 2}), Guids({1})), NoError);
  EXPECT_EQ(SelectedRows(), (std::vector<short>{1, 3}));
}

TEST_F(FigureListTest, AFigureCutFromAZoneNamesItsZone)
{
  PolygonMemo outline({{{0, 0}, {4, 0}, {4, 3}, {0, 3}}});
  API_Element zone;
  zone.header.typeID = API_ZoneID;
  zone.header.layer = 1;
  zone.zone.roomName = u"居室";
  ASSERT_EQ(host.AddPolygonElement(zone, outline), NoError);
  ASSERT_EQ(host.SetInfoString(zone.header.guid, u"Z-1"), NoError);
  Floor(0).m_AutoAreaParamArray.Add(CAutoAreaParam(&zone.header));
  PlaceRect(0, 0, 0, 4, 3)->m_AutoArea.m_ElemGuid = ToGSGuid(zone.header.guid);
  PlaceRect(0, 5, 0, 1, 1);
  palette().SendUpdateMessage(Hint::ElementsChanged);
  EXPECT_EQ(Column(8), (std::vector<GS::UniString>{u"Z-1(居室)", u""}));
}

TEST_F(FigureListTest, ColumnWidthsSurviveClosingThePage)
{
  const auto width = [this](short column) {
    const auto& field = PageItem(25).list.tabFields.at(static_cast<std::size_t>(column - 1)).data;
    return field.end - field.begin;
  };
  EXPECT_EQ(width(4), 200);
  page().HeaderResize(25, 4, 30);
  page().Click(1);
  user().Click(11);
  EXPECT_EQ(width(4), 230);
  EXPECT_EQ(width(5), 80);
}

// The pattern decides the figure layer and the rounding table.
TEST_F(FigureListTest, APatternChangeRebuildsTheRowsAndAPatternWithoutRoundingShowsNoDefault)
{
  PlaceTriangles(1);
  const Int32 other = host.AddLayer(u"other");
  doc().m_EnvParam.m_Area1Layer = static_cast<short>(other);
  doc().m_CurTreeCode = 0;
  palette().SendUpdateMessage(Hint::PatternDeleted);
  EXPECT_EQ(Rows()[0].color, (DGColor16{50000, 50000, 50000}));
  EXPECT_EQ(PageItem(24).text, GS::UniString());
}

}  // namespace
