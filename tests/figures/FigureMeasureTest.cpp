// Areas, formulas and labels of placed figures: the exact integers and
// texts of each kind from picked points, and the rounding boundaries they
// rest on.

#include "FiguresTestSupport.h"

#include <cmath>

namespace {

constexpr double kWide = 1000.0;  // a formula width that never breaks

class MeasureTest : public FigureTest {};

}  // namespace

TEST_F(MeasureTest, TriangleGoldenValuesAndVertexOrder)
{
  WholeMillimetres();
  auto t = Place<CAreaTriangle>(Points({{0, 0}, {4, 0}, {1, 3}}));
  EXPECT_EQ(t->GetOrgArea(&doc()), 600000000);
  EXPECT_EQ(S(t->GetEquation(&doc(), false, kWide)), u"4.000×3.000÷2");
  EXPECT_EQ(S(t->GetEquation(&doc(), true, kWide)), u"4.000#×3.000#÷2");
  EXPECT_EQ(Text(*t, "Base_S"), u"4000");
  EXPECT_EQ(Text(*t, "Height_S"), u"3000");
  EXPECT_FALSE(t->CheckStringParameter(&doc()));

  preset().m_LengthRoundType.m_Digit = CRoundTypeParam::kLengthDigitTenthMm;
  doc().m_EnvParam.m_TriangleAttr.m_bVertexOrder = true;
  auto turned = Place<CAreaTriangle>(Points({{0, 0}, {4, 0}, {5, 3}}));
  EXPECT_EQ(turned->m_Element.object.pos.x, 5.0);
  EXPECT_EQ(turned->m_Element.object.pos.y, 3.0);
  EXPECT_EQ(turned->GetLength(&doc()), 58309);
  EXPECT_EQ(turned->GetHeight(&doc()), 20579);
  EXPECT_EQ(turned->GetOrgArea(&doc()), 599970455);

  doc().m_EnvParam.m_TriangleAttr.m_bVertexOrder = false;
  auto asPicked = Place<CAreaTriangle>(Points({{0, 0}, {4, 0}, {5, 3}}));
  EXPECT_EQ(asPicked->m_Element.object.pos.x, 0.0);
  EXPECT_EQ(Real(*asPicked, "dx"), 5.0);
}

TEST_F(MeasureTest, StraightKindsCutTheHalfUnitOfAnOddProduct)
{
  // Rounded lengths 3 and 3 (0.1 mm units): 9 / 2 is 4.
  auto t = Place<CAreaTriangle>(Points({{0, 0}, {0.0003, 0}, {0.0001, 0.0003}}));
  EXPECT_EQ(t->GetOrgArea(&doc()), 4);
  // Bottom 5, top 2, height 3: 21 / 2 is 10.
  auto z = Place<CAreaTrapezoid>(Points({{0, 0}, {0.0005, 0}, {0.0003, 0.0003}, {0.0001, 0.0003}}));
  EXPECT_EQ(z->GetLength(&doc()), 5);
  EXPECT_EQ(z->GetLength2(&doc()), 2);
  EXPECT_EQ(z->GetOrgArea(&doc()), 10);
}

TEST_F(MeasureTest, TriangleThreeRotationsRestoreTheVertices)
{
  auto t = Place<CAreaTriangle>(Points({{1, 1}, {5, 2}, {2, 4}}));
  const CKelAreaCoord2D before = t->GetCoord();
  const long long area = t->GetOrgArea(&doc());
  for (int i = 0; i < 3; ++i)
    ASSERT_EQ(t->Rotation(&doc()), NoError);
  const CKelAreaCoord2D after = t->GetCoord();
  ASSERT_EQ(after.m_pt.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_TRUE(after.m_pt[i] == before.m_pt[i]) << i;
  EXPECT_NEAR(static_cast<double>(t->GetOrgArea(&doc())), static_cast<double>(area), 2.0);
}

TEST_F(MeasureTest, RectangleAndTrapezoidGoldenValues)
{
  WholeMillimetres();
  auto r = Place<CAreaRectSlant>(Points({{0, 0}, {6, 0}, {6, 4.5}, {0, 4.5}}));
  EXPECT_EQ(r->GetOrgArea(&doc()), 2700000000);
  EXPECT_EQ(S(r->GetEquation(&doc(), false, kWide)), u"6.000×4.500");
  EXPECT_EQ(Text(*r, "x_S"), u"6000");
  EXPECT_EQ(Text(*r, "y_S"), u"4500");

  auto z = Place<CAreaTrapezoid>(Points({{0, 0}, {5, 0}, {4, 2}, {1, 2}}));
  EXPECT_EQ(z->GetOrgArea(&doc()), 800000000);
  EXPECT_EQ(S(z->GetEquation(&doc(), false, kWide)), u"(3.000＋5.000)×2.000÷2");
  EXPECT_EQ(Text(*z, "t_S"), u"3000");
  EXPECT_FALSE(z->CheckStringParameter(&doc()));
  // Two turns bring the first base back, with the same area.
  ASSERT_EQ(z->Rotation(&doc()), NoError);
  EXPECT_EQ(z->GetLength(&doc()), 30000);
  EXPECT_EQ(z->GetOrgArea(&doc()), 800000000);
  ASSERT_EQ(z->Rotation(&doc()), NoError);
  EXPECT_EQ(z->GetLength(&doc()), 50000);
  EXPECT_NEAR(z->m_Element.object.pos.x, 0.0, 1e-9);
  EXPECT_NEAR(z->m_Element.object.pos.y, 0.0, 1e-9);
  EXPECT_EQ(z->GetOrgArea(&doc()), 800000000);
}

TEST_F(MeasureTest, CircleAndEllipseGoldenValues)
{
  struct Case {
    double radius;
    bool mm;
    long long area;
  };
  for (const Case& c : {Case{5.0, true, 7850000000}, Case{1.2345, false, 478532938}, Case{0.0, true, 0}}) {
    preset().m_LengthRoundType.m_Digit = c.mm ? 3 : 4;
    auto circle = Place<CAreaCircle>(Points({{1, 1}, {1 + c.radius, 1}}));
    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(circle->GetOrgArea(&doc()), c.area) << c.radius;
    EXPECT_FALSE(circle->CheckStringParameter(&doc()));
  }
  auto zero = doc().m_FloorParamArray[0].m_Area1ObjectArray.back();
  EXPECT_EQ(S(zero->GetEquation(&doc(), false, kWide)), u"0.000×0.000×3.14");
  auto five = std::dynamic_pointer_cast<CAreaCircle>(doc().m_FloorParamArray[0].m_Area1ObjectArray.front());
  EXPECT_EQ(S(five->GetEquation(&doc(), false, kWide)), u"5.000×5.000×3.14");
  EXPECT_EQ(Text(*five, "radius_S"), u"5000");

  auto e = Place<CAreaEllipse>(Points({{0, 0}, {2, 0}, {0.5, 1}}));
  EXPECT_EQ(e->GetOrgArea(&doc()), 628000000);
  EXPECT_EQ(S(e->GetEquation(&doc(), false, kWide)), u"2.000×1.000×3.14");
  EXPECT_EQ(Text(*e, "radiusY_S"), u"1000");
  preset().m_PaiCode = 8;
  EXPECT_EQ(S(e->GetEquation(&doc(), false, kWide)), u"2.000×1.000×3.141592653");
  auto flat = Place<CAreaEllipse>(Points({{0, 0}, {0, 3}, {0, -1}}));
  EXPECT_EQ(flat->GetOrgArea(&doc()), 0);
  EXPECT_NEAR(flat->m_Element.object.angle, KelAngle::HalfPi, 1e-12);
}

TEST_F(MeasureTest, SectorGoldenValuesAndSweepDirection)
{
  WholeMillimetres();
  const double a = 120.4 * KelAngle::Pi / 180.0;
  auto s = Place<CAreaArc>(Points({{0, 0}, {1.5, 0}, {std::cos(a), std::sin(a)}}));
  EXPECT_EQ(s->GetOrgArea(&doc()), 236285000);
  EXPECT_EQ(S(s->GetEquation(&doc(), false, kWide)), u"1.500×1.500×3.14×120.40÷360");
  EXPECT_EQ(Text(*s, "arcAngle_S"), u"120.40");
  preset().m_AngleRoundType = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_HALFUP, 0);
  EXPECT_EQ(s->GetOrgArea(&doc()), 235500000);
  EXPECT_TRUE(s->CheckStringParameter(&doc()));  // the label still shows 120.40

  auto clockwise = Place<CAreaArc>(Points({{0, 0}, {2, 0}, {0, -3}}));
  EXPECT_EQ(S(clockwise->GetAngle(&doc()).GetStr()), u"270");
}

TEST_F(MeasureTest, EndsOnTheStartRaySweepNothingAtEveryRotation)
{
  for (int degrees = 0; degrees < 360; degrees += 7) {
    const double a = degrees * KelAngle::Pi / 180.0;
    const CKelCoord2D start{3 * std::cos(a), 3 * std::sin(a)};
    const CKelCoord2D farther{7 * std::cos(a), 7 * std::sin(a)};
    double rotation = 0;
    double radius = 0;
    double sweep = 0;
    CAreaArc::GetArcCenterParameter(Points({{0, 0}, start, farther}), &rotation, &radius, &sweep);
    EXPECT_EQ(sweep, 0.0) << degrees;
    EXPECT_TRUE(CAreaArcCenter::GetArcCenterParameter(Points({{0, 0}, start, farther}), &rotation, &radius, &sweep))
        << degrees;
  }
}

TEST_F(MeasureTest, SegmentGoldenValuesAndHalfCircleLimit)
{
  auto quarter = Place<CAreaArcCenter>(Points({{0, 0}, {5, 0}, {0, 5}}));
  EXPECT_EQ(quarter->GetOrgArea(&doc()), 712523975);
  EXPECT_EQ(S(quarter->GetEquation(&doc(), false, kWide)), u"5.000×5.000×3.14×90.00÷360－7.071×3.5355÷2");
  EXPECT_EQ(Text(*quarter, "base_S"), u"7071");
  EXPECT_EQ(Text(*quarter, "radius_S"), u"5000");
  EXPECT_EQ(Text(*quarter, "arcAngle_S"), u"90.00");
  EXPECT_EQ(Text(*quarter, "height_S"), u"3535.5");

  auto eighth = Place<CAreaArcCenter>(Points({{0, 0}, {3, 0}, {3, 3}}));
  EXPECT_EQ(eighth->GetOrgArea(&doc()), 35056462);
  auto half = Place<CAreaArcCenter>(Points({{0, 0}, {10, 0}, {-10, 0}}));
  EXPECT_EQ(half->GetOrgArea(&doc()), 15700000000);

  GSErrCode err = NoError;
  EXPECT_EQ(Place<CAreaArcCenter>(Points({{0, 0}, {5, 0}, {0, -5}}), &err), nullptr);
  EXPECT_EQ(err, APIERR_CANCEL);
  // A half circle whose opposite point carries round-off is still one.
  int accepted = 0;
  for (int k = 0; k < 360; ++k) {
    const double a = k * KelAngle::Pi / 180.0;
    const CKelCoord2D start{10 * std::cos(a), 10 * std::sin(a)};
    double rotation = 0;
    double radius = 0;
    double sweep = 0;
    accepted += CAreaArcCenter::GetArcCenterParameter(Points({{0, 0}, start, {-start.m_x, -start.m_y}}), &rotation,
                                                      &radius, &sweep);
  }
  EXPECT_EQ(accepted, 360);
}

TEST_F(MeasureTest, ArcThroughThreePointsOnBothSidesOfTheChord)
{
  WholeMillimetres();
  const std::u16string minor = u"1.250×1.250×3.14×106.26÷360－2.000×0.750÷2";
  for (double side : {0.5, -0.5}) {
    auto arc = Place<CAreaArc3Point>(Points({{0, 0}, {2, 0}, {1, side}}));
    EXPECT_EQ(arc->GetOrgArea(&doc()), 69816145) << side;
    EXPECT_EQ(S(arc->GetEquation(&doc(), false, kWide)), minor) << side;
  }
  auto major = Place<CAreaArc3Point>(Points({{0, 0}, {2, 0}, {1, 2}}));
  EXPECT_EQ(major->GetOrgArea(&doc()), 420795225);
  EXPECT_EQ(S(major->GetEquation(&doc(), false, kWide)), u"1.250×1.250×3.14×253.73÷360＋2.000×0.750÷2");
  EXPECT_FALSE(major->CheckStringParameter(&doc()));
}

TEST_F(MeasureTest, PicksWithoutDirectionAreRefusedAndNothingIsPlaced)
{
  GSErrCode err = NoError;
  EXPECT_EQ(Place<CAreaTriangle>(Points({{1, 1}, {1, 1}, {3, 4}}), &err), nullptr);
  EXPECT_EQ(err, APIERR_CANCEL);
  EXPECT_EQ(Place<CAreaRectSlant>(Points({{1, 1}, {1, 1}, {1, 3}, {1, 3}}), &err), nullptr);
  EXPECT_EQ(err, APIERR_CANCEL);
  EXPECT_EQ(Place<CAreaTrapezoid>(Points({{0, 0}, {0, 0.00001}, {1, 1}, {0, 1}}), &err), nullptr);
  EXPECT_EQ(err, APIERR_CANCEL);
  EXPECT_EQ(Place<CAreaEllipse>(Points({{2, 2}, {2, 2}, {3, 3}}), &err), nullptr);
  EXPECT_EQ(err, APIERR_CANCEL);
  EXPECT_EQ(Place<CAreaArc>(Points({{2, 2}, {2, 2}, {3, 3}}), &err), nullptr);
  EXPECT_EQ(err, APIERR_CANCEL);
  EXPECT_EQ(Place<CAreaArcCenter>(Points({{2, 2}, {3, 2}, {2, 2}}), &err), nullptr);
  EXPECT_EQ(err, APIERR_CANCEL);
  // Within the chord-side band on either side, and just outside it.
  EXPECT_EQ(Place<CAreaArc3Point>(Points({{0, 0}, {2, 0}, {1, 1e-6}}), &err), nullptr);
  EXPECT_EQ(err, APIERR_CANCEL);
  EXPECT_EQ(Place<CAreaArc3Point>(Points({{0, 0}, {2, 0}, {1, -1e-6}}), &err), nullptr);
  EXPECT_EQ(err, APIERR_CANCEL);
  EXPECT_NE(Place<CAreaArc3Point>(Points({{0, 0}, {2, 0}, {1, 2e-6}}), &err), nullptr);
  EXPECT_EQ(host.ElementsOfType(API_ObjectID).size(), 1u);
}

TEST_F(MeasureTest, UnsoundStoredDimensionsMeasureAsAZeroFigure)
{
  auto r = Place<CAreaRectSlant>(Points({{0, 0}, {6, 0}, {6, 4}, {0, 4}}));
  for (double bad : {std::nan(""), HUGE_VAL, 1.0e5 + 1.0, -2.0e7}) {
    r->m_Element.object.xRatio = bad;
    EXPECT_EQ(r->GetOrgArea(&doc()), 0) << bad;
    EXPECT_EQ(S(r->GetEquation(&doc(), false, kWide)), u"0.000×0.000") << bad;
  }
  r->m_Element.object.xRatio = 1.0e5;  // the limit itself is a length
  EXPECT_EQ(r->GetOrgArea(&doc()), 1000000000LL * 40000);
}

TEST_F(MeasureTest, AnotherPiRowChangesOnlyFormulaAndArea)
{
  auto c = Place<CAreaCircle>(Points({{0, 0}, {1, 0}}));
  const long long before = c->GetOrgArea(&doc());
  host.ClearChangeRecords();
  preset().m_PaiCode = 4;
  EXPECT_EQ(c->GetOrgArea(&doc()), 314159LL * 10000 * 10000 / 100000);
  EXPECT_NE(c->GetOrgArea(&doc()), before);
  EXPECT_EQ(S(c->GetEquation(&doc(), false, kWide)), u"1.000×1.000×3.14159");
  EXPECT_FALSE(c->CheckStringParameter(&doc()));
  EXPECT_TRUE(host.ParamChanges().empty());
  EXPECT_TRUE(host.ElementChanges().empty());
}

TEST_F(MeasureTest, WithoutAPresetPiIsANewPresetsAndNothingAsserts)
{
  auto c = Place<CAreaCircle>(Points({{0, 0}, {5, 0}}));
  auto s = Place<CAreaArc>(Points({{0, 0}, {5, 0}, {0, 5}}));
  doc().m_CurTreeCode = 0;  // no pattern: no preset, no pi row
  ASSERT_EQ(doc().GetPai(), nullptr);
  EXPECT_EQ(c->GetOrgArea(&doc()), 7850000000);
  EXPECT_EQ(S(c->GetEquation(&doc(), false, kWide)), u"5.000×5.000×3.14");
  EXPECT_EQ(s->GetOrgArea(&doc()), 1962500000);
  EXPECT_EQ(S(s->GetEquation(&doc(), false, kWide)), u"5.000×5.000×3.14×90.00÷360");
}
