// The text form of outlines: every double back exactly, arc centres with
// their turn, refusals that leave the outline as it was, and an outline
// from a failure message turned into a one-line test.

#include "KelTestSupport.h"

#include <bit>
#include <cmath>
#include <limits>

namespace {

using namespace kel_test;
using KelOutlineText::FromText;
using KelOutlineText::ToText;

TEST(KelOutlineTextTest, PlainOutlinesReadBackEveryDoubleExactly)
{
  CKelAreaCoord2D outline;
  outline.m_pt = {{0.1 + 0.2, -0.0}, {1e-300, -123456.789}, {std::nextafter(1.0, 2.0), 5}};
  const std::string text = ToText(outline);
  CKelAreaCoord2D back;
  ASSERT_TRUE(FromText(text, back)) << text;
  ASSERT_EQ(back.m_pt.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(back.m_pt[i].m_x), std::bit_cast<std::uint64_t>(outline.m_pt[i].m_x));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(back.m_pt[i].m_y), std::bit_cast<std::uint64_t>(outline.m_pt[i].m_y));
  }
  EXPECT_EQ(ToText(Poly({{0, 0}, {10, 0}, {10, 5.5}})), "(0 0) (10 0) (10 5.5)");
}

TEST(KelOutlineTextTest, ArcCentresCarryTheirTurn)
{
  const std::string text = "(0 0 0) (10 0 0) ccw(10 5 0) (10 10 0) cw(5 10 1.5) (0 10 0)";
  CKelCoord3DCrsPntArray outline;
  ASSERT_TRUE(FromText(text, outline));
  ASSERT_EQ(outline.size(), 6u);
  EXPECT_EQ(outline[2].m_Type, CKelCoord3DCrsPnt::TYPE_CCW);
  EXPECT_EQ(outline[4].m_Type, CKelCoord3DCrsPnt::TYPE_CW);
  EXPECT_EQ(outline[4].m_z, 1.5);
  EXPECT_EQ(ToText(outline), text);
  CKelCoord3DCrsPntArray none;
  ASSERT_TRUE(FromText("  ", none));
  EXPECT_TRUE(none.empty());
}

TEST(KelOutlineTextTest, AnythingButPointsIsRefusedAndTheOutlineStays)
{
  const char* const bad2D[] = {
      "(1)", "(1 2 3)", "ccw(1 2)", "(1 2", "1 2)", ")(", "(1 2)x", "(1 2)(3 a)", "(nan 1)", "(1e999 1)",
      "((1 2))", "(1, 2)",
  };
  for (const char* text : bad2D) {
    CKelAreaCoord2D outline = Poly({{7, 7}, {8, 7}, {8, 8}});
    EXPECT_FALSE(FromText(text, outline)) << text;
    EXPECT_EQ(outline.m_pt.size(), 3u) << text;
  }
  const char* const bad3D[] = {"(1 2)", "left(1 2 3)", "ccw (1 2 3)", "(1 2 3) cw", "(inf 0 0)"};
  for (const char* text : bad3D) {
    CKelCoord3DCrsPntArray outline;
    ASSERT_TRUE(FromText("(1 1 1)", outline));
    EXPECT_FALSE(FromText(text, outline)) << text;
    EXPECT_EQ(outline.size(), 1u) << text;
  }
}

// A failing outline printed by a test is one line: here a notch whose
// triangles must still cover its area.
TEST(KelOutlineTextTest, AnOutlineFromAFailureMessageIsAOneLineTest)
{
  CKelAreaCoord2D notch;
  ASSERT_TRUE(FromText("(0 0) (10 0) (10 10) (5 2) (0 10)", notch));
  notch = Prepared(notch);
  CKelAreaCoord2DArray triangles;
  ASSERT_TRUE(notch.Triangulate(triangles)) << ::testing::PrintToString(notch);
  double sum = 0;
  for (CKelAreaCoord2D& t : triangles) {
    t.SetArea();
    sum += t.m_area;
  }
  EXPECT_NEAR(sum, notch.m_area, 1e-9);
  EXPECT_EQ(::testing::PrintToString(notch).find("(5 2)") != std::string::npos, true);
}

}  // namespace
