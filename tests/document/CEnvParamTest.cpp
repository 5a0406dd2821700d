// The settings record: its defaults, equality over every member (a member
// left out of the comparison would let changed settings pass unnoticed),
// copies that share nothing with their source, the figure attribute
// records' exact equality and the find-or-add row of a mark and numbering.

#include "CEnvParam.h"
#include "DocTestSupport.h"

namespace {

const GS::UniString kGothic(u"ＭＳ ゴシック 日本語");

class CEnvParamTest : public ::testing::Test {
protected:
  HostFixture host;
};

TEST_F(CEnvParamTest, NewSettingsHoldTheDefaults)
{
  const CEnvParam env;
  EXPECT_EQ(env.m_Area1Layer, 0);
  EXPECT_EQ(env.m_ListLayer, 0);
  EXPECT_TRUE(env.m_BlankDecimals);
  EXPECT_TRUE(env.m_LengthTenthDigit);
  EXPECT_FALSE(env.m_NumberFillGaps || env.m_LengthComma || env.m_AreaComma || env.m_FillPenOff);
  EXPECT_EQ(env.m_SnapType, 1);
  EXPECT_EQ(env.m_TuboFactor, 0.3025);
  EXPECT_TRUE(env.m_AttributeCommonParamArray.empty());
  EXPECT_TRUE(env.m_PatternArray.empty());
  EXPECT_TRUE(env.m_TreeShowItem.m_bShowArea && env.m_TreeShowItem.m_bShowTotal && env.m_TreeShowItem.m_bShowMarkNo);
  EXPECT_TRUE(env.m_RoundTypeParamArray == CRoundTypeParamArray());  // the standard preset alone

  // The four table styles differ only in the first one's vertical gap.
  const CAreaListAttr& style = env.m_ListAttr2;
  EXPECT_EQ(style.m_ColWidth2, 45);  // the formula column the automatic breaks measure
  EXPECT_EQ(style.m_FramePen, 4);
  EXPECT_EQ(style.m_MinusPen, 20);
  EXPECT_TRUE(style.m_bTitle && style.m_bHeader && style.m_bTotal && style.m_bShowMark);
  EXPECT_EQ(style.m_Font, kGothic);
  EXPECT_EQ(style.m_GapV, 10);
  EXPECT_EQ(style.m_RowLimit, 100);
  EXPECT_TRUE(env.m_ListAttr3 == style && env.m_ListAttr4 == style);
  CAreaListAttr first = env.m_ListAttr1;
  EXPECT_EQ(first.m_GapV, 1);
  first.m_GapV = 10;
  EXPECT_TRUE(first == style);

  const CAttributeTotalAreaParam& total = env.m_TotalAreaParam;
  EXPECT_EQ(total.m_ColWidth, 15);
  EXPECT_EQ(total.m_Font, kGothic);
  EXPECT_EQ(total.m_ColOffset, 2);
  EXPECT_EQ(total.m_RowOffset, 1);
}

TEST_F(CEnvParamTest, FiguresStartFromTheirKindsLinesAndOnlyTriangleAndTrapezoidPerLinePensAre20)
{
  const CEnvParam env;
  EXPECT_EQ(env.m_TriangleAttr.m_area_perline_pen, 20);
  EXPECT_EQ(env.m_TrapezoidAttr.m_area_perline_pen, 20);
  for (short pen : {env.m_TriangleAttr.m_area_in_pen, env.m_RectAttr.m_area_in_pen, env.m_ArcAttr.m_area_fan_pen,
                    env.m_ArcAttr.m_area_perline_pen, env.m_ArcAttr.m_area_angle_pen, env.m_TrapezoidAttr.m_area_in_pen,
                    env.m_CircleAttr.m_area_fan_pen, env.m_EllipseAttr.m_area_fan_pen})
    EXPECT_EQ(pen, 1);
  EXPECT_EQ(env.m_TriangleAttr.m_area_in_type, GS::UniString(u"なし"));
  EXPECT_EQ(env.m_TriangleAttr.m_area_perline_form, GS::UniString(u"ﾀｲﾌﾟ2"));
  EXPECT_EQ(env.m_RectAttr.m_area_in_type, GS::UniString(u"×"));
  EXPECT_EQ(env.m_TrapezoidAttr.m_area_in_type, GS::UniString(u"×"));
  EXPECT_EQ(env.m_TrapezoidAttr.m_area_perline_type, 1);
  EXPECT_EQ(env.m_ArcAttr.m_area_fan_line, 4);
  EXPECT_EQ(env.m_CircleAttr.m_area_fan_line, 4);
  EXPECT_EQ(env.m_EllipseAttr.m_area_fan_line, 4);
  EXPECT_EQ(env.m_TriangleAttr.m_area_perline_Size, 0.2);
  EXPECT_TRUE(env.m_RectAttr.m_area_size_f_b && env.m_RectAttr.m_area_size_f_r);
  EXPECT_FALSE(env.m_RectAttr.m_area_size_f_t || env.m_RectAttr.m_area_size_f_l || env.m_TriangleAttr.m_bVertexOrder);
}

// One change per member: each must make the records differ, so no member
// can drop out of the comparison unseen.
TEST_F(CEnvParamTest, EveryMemberTakesPartInEquality)
{
  const std::vector<std::pair<const char*, std::function<void(CEnvParam&)>>> changes = {
      {"Area1Layer", [](CEnvParam& e) { e.m_Area1Layer = 3; }},
      {"ListLayer", [](CEnvParam& e) { e.m_ListLayer = 3; }},
      {"BlankDecimals", [](CEnvParam& e) { e.m_BlankDecimals = false; }},
      {"LengthTenthDigit", [](CEnvParam& e) { e.m_LengthTenthDigit = false; }},
      {"NumberFillGaps", [](CEnvParam& e) { e.m_NumberFillGaps = true; }},
      {"LengthComma", [](CEnvParam& e) { e.m_LengthComma = true; }},
      {"AreaComma", [](CEnvParam& e) { e.m_AreaComma = true; }},
      {"SnapType", [](CEnvParam& e) { e.m_SnapType = 2; }},
      {"FillPenOff", [](CEnvParam& e) { e.m_FillPenOff = true; }},
      {"TuboFactor", [](CEnvParam& e) { e.m_TuboFactor = 0.3026; }},
      {"Presets", [](CEnvParam& e) { e.m_RoundTypeParamArray[0].m_PaiCode = 2; }},
      {"Triangle", [](CEnvParam& e) { e.m_TriangleAttr.m_bVertexOrder = true; }},
      {"Rect", [](CEnvParam& e) { e.m_RectAttr.m_area_symbol_y = 1; }},
      {"Arc", [](CEnvParam& e) { e.m_ArcAttr.m_size_p_y = 1; }},
      {"Trapezoid", [](CEnvParam& e) { e.m_TrapezoidAttr.m_area_perline_form = u"ﾀｲﾌﾟ1"; }},
      {"Circle", [](CEnvParam& e) { e.m_CircleAttr.m_size_r_y = 1; }},
      {"Ellipse", [](CEnvParam& e) { e.m_EllipseAttr.m_size_ry_y = 1; }},
      {"CommonRows",
       [](CEnvParam& e) {
         e.m_AttributeCommonParamArray.Search(CItemType1Table::ITEMTYPE(2), CItemType2Table::ITEMTYPE(1));
       }},
      {"ListAttr1", [](CEnvParam& e) { e.m_ListAttr1.m_bShowMark = false; }},
      {"ListAttr2", [](CEnvParam& e) { e.m_ListAttr2.m_ColWidth2 = 40; }},
      {"ListAttr3", [](CEnvParam& e) { e.m_ListAttr3.m_Font = u"明朝"; }},
      {"ListAttr4", [](CEnvParam& e) { e.m_ListAttr4.m_RowLimit = 50; }},
      {"TotalArea", [](CEnvParam& e) { e.m_TotalAreaParam.m_RowOffset = 2; }},
      {"Patterns", [](CEnvParam& e) { e.m_PatternArray.resize(1); }},
      {"TreeShow", [](CEnvParam& e) { e.m_TreeShowItem.m_bShowMarkNo = false; }},
  };
  const CEnvParam base;
  EXPECT_TRUE(base == CEnvParam());
  for (const auto& [name, change] : changes) {
    CEnvParam changed;
    change(changed);
    EXPECT_FALSE(changed == base) << name;
    EXPECT_TRUE(changed != base) << name;
  }
}

TEST_F(CEnvParamTest, ACopySharesNothingWithItsSource)
{
  PatternDoc pattern;
  pattern.AddElement(PatternDoc::kBuildingCode, u"1階");
  CEnvParam source;
  source.m_PatternArray.push_back(pattern.doc);
  source.m_AttributeCommonParamArray.Search(CItemType1Table::ITEMTYPE(3), CItemType2Table::ITEMTYPE(2));
  source.m_TuboFactor = 0.5;

  CEnvParam copy(source);
  EXPECT_TRUE(copy == source);
  copy.m_RoundTypeParamArray[0].m_Name = u"変更";
  copy.m_PatternArray[0].m_AreaTree2.m_Child[0].m_RoundTypeId = 4;
  copy.m_AttributeCommonParamArray[0].m_Fill = 1;
  EXPECT_EQ(source.m_RoundTypeParamArray[0].m_Name, GS::UniString(u"標準設定"));
  EXPECT_EQ(source.m_PatternArray[0].m_AreaTree2.m_Child[0].m_RoundTypeId, 0);
  EXPECT_EQ(source.m_AttributeCommonParamArray[0].m_Fill, 65);
  EXPECT_FALSE(copy == source);

  CEnvParam assigned;
  assigned = source;
  EXPECT_TRUE(assigned == source);
  assigned.m_PatternArray.clear();
  EXPECT_EQ(source.m_PatternArray.size(), 1u);

  const CEnvParam before = source;
  CEnvParam& self = source;
  source = self;
  EXPECT_TRUE(source == before);

  CEnvParam moved(std::move(assigned));
  EXPECT_TRUE(moved.m_PatternArray.empty());
  EXPECT_EQ(moved.m_TuboFactor, 0.5);
}

TEST_F(CEnvParamTest, FigureAttributesCompareExactly)
{
  CAreaTriangleAttr a, b;
  b.m_size_p_y = 1e-300;  // no tolerance: the smallest change counts
  EXPECT_FALSE(a == b);
}

TEST_F(CEnvParamTest, SearchFindsOrAddsTheRowOfAMarkAndNumberingPair)
{
  CAttributeCommonParamArray rows;
  CAttributeCommonParam* row = rows.Search(CItemType1Table::ITEMTYPE(2), CItemType2Table::ITEMTYPE(3));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(row, &rows[0]);
  EXPECT_EQ(row->m_ItemType1, CItemType1Table::ITEMTYPE(2));
  EXPECT_EQ(row->m_ItemType2, CItemType2Table::ITEMTYPE(3));
  EXPECT_EQ(row->m_SymbolFont, kGothic);
  EXPECT_EQ(row->m_Fill, 65);
  EXPECT_EQ(row->m_FillPen, 19);

  row->m_Fill = 7;
  EXPECT_EQ(rows.Search(CItemType1Table::ITEMTYPE(2), CItemType2Table::ITEMTYPE(3))->m_Fill, 7);
  EXPECT_EQ(rows.size(), 1u);
  // The same mark with another numbering is another row.
  rows.Search(CItemType1Table::ITEMTYPE(2), CItemType2Table::ITEMTYPE(1));
  EXPECT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows.Search(CItemType1Table::ITEMTYPE(2), CItemType2Table::ITEMTYPE(3))->m_Fill, 7);
  EXPECT_EQ(rows.size(), 2u);
}

}  // namespace
