// Automatic areas placed as real figures: the cut of an outline, placed
// piece by piece with the default preset (lengths cut to 0.1 mm, pi 3.14,
// angles to 0.01 degree), gives the raw areas (1e-8 m2) computed by hand
// from the rounded lengths.

#include "CAutoAreaCut.h"
#include "CGSUtil.h"
#include "CSelectList.h"
#include "FiguresTestSupport.h"

#include <cmath>

namespace {

class AutoAreaPlacementTest : public FigureTest {
protected:
  // Cuts and places the outline; the placed figures with their operators.
  std::vector<CArea1ObjectWork> PlaceOutline(const CKelCoord3DCrsPntArrayArray& outline, const CAutoCutType& cut)
  {
    CAutoAreaPieceArray pieces;
    EXPECT_TRUE(CAutoAreaCut::CutOutline(outline, cut, pieces).IsWhole());
    std::vector<CArea1ObjectWork> placed;
    CSelectList freed;
    int start = 0;
    EXPECT_EQ(doc().PlacePieces(pieces, &placed, freed, start, doc().m_CurItemType1, doc().m_CurItemType2, 0),
              NoError);
    return placed;
  }

  std::vector<CArea1ObjectWork> PlacePolygon(const std::vector<CKelCoord2D>& points, const CAutoCutType& cut)
  {
    CKelCoord3DCrsPntArray contour;
    for (const CKelCoord2D& p : points)
      contour.push_back(CKelCoord3DCrsPnt(CKelCoord3D(p.m_x, p.m_y, 0)));
    contour.push_back(contour.front());
    CKelCoord3DCrsPntArrayArray outline;
    outline.push_back(contour);
    return PlaceOutline(outline, cut);
  }

  long long SignedRaw(const std::vector<CArea1ObjectWork>& placed)
  {
    long long sum = 0;
    for (const CArea1ObjectWork& w : placed)
      sum += w.m_Operator == COperatorTable::OPERATOR_PLUS ? w.m_pArea1->GetOrgArea(&doc()) : -w.m_pArea1->GetOrgArea(&doc());
    return sum;
  }

  static CAutoCutType Cut(CAutoCutType::AUTOCUTTYPE type, bool across = false, bool follow = true)
  {
    CAutoCutType cut;
    cut.m_Type = type;
    cut.m_bCutAcross = across;
    cut.m_bFollowEdges = follow;
    return cut;
  }

  void ClearFloor()
  {
    std::vector<GS::Guid> placedGuids;
    for (const auto& figure : doc().m_FloorParamArray[0].m_Area1ObjectArray)
      placedGuids.push_back(ToGSGuid(figure->m_Element.header.guid));
    CGSUtil::GSDeleteObject(placedGuids);
    doc().m_FloorParamArray[0].m_Area1ObjectArray.clear();
  }
};

TEST_F(AutoAreaPlacementTest, ARectangleIsOneRectangleAtItsCornerOrTwoTriangles)
{
  const std::vector<CKelCoord2D> rect{{0, 0}, {6, 0}, {6, 4.5}, {0, 4.5}};
  for (auto type : {CAutoCutType::AUTOCUTTYPE_HORIZONTAL, CAutoCutType::AUTOCUTTYPE_VERTICAL,
                    CAutoCutType::AUTOCUTTYPE_EDGE}) {
    const auto placed = PlacePolygon(rect, Cut(type));
    ASSERT_EQ(placed.size(), 1u) << type;
    EXPECT_EQ(placed[0].m_pArea1->m_Type, CArea1Object::TYPE_RECTSLANT);
    EXPECT_EQ(placed[0].m_pArea1->GetOrgArea(&doc()), 2700000000LL) << type;
    EXPECT_EQ(placed[0].m_pArea1->m_Element.object.pos.x, 0.0);
    EXPECT_EQ(placed[0].m_pArea1->m_Element.object.pos.y, 0.0);
    ClearFloor();
  }
  const auto triangles = PlacePolygon(rect, Cut(CAutoCutType::AUTOCUTTYPE_TRIANGLE));
  ASSERT_EQ(triangles.size(), 2u);
  for (const CArea1ObjectWork& t : triangles)
    EXPECT_EQ(t.m_pArea1->GetOrgArea(&doc()), 1350000000LL);
}

TEST_F(AutoAreaPlacementTest, TheLShapeAndTheHexagonGiveTheirRawAreas)
{
  const std::vector<CKelCoord2D> l{{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}};
  for (const CAutoCutType& cut : {Cut(CAutoCutType::AUTOCUTTYPE_HORIZONTAL), Cut(CAutoCutType::AUTOCUTTYPE_VERTICAL),
                                  Cut(CAutoCutType::AUTOCUTTYPE_EDGE, true), Cut(CAutoCutType::AUTOCUTTYPE_EDGE)}) {
    const auto placed = PlacePolygon(l, cut);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(SignedRaw(placed), 300000000LL) << cut.m_Type << cut.m_bCutAcross;
    ClearFloor();
  }
  // Slanted edges: each triangle loses a little to the cut lengths.
  const auto hexagon = PlacePolygon({{0, 0}, {2, 0}, {3, 1}, {2, 2}, {0, 2}, {-1, 1}},
                                    Cut(CAutoCutType::AUTOCUTTYPE_EDGE, true, false));
  ASSERT_EQ(hexagon.size(), 3u);
  std::vector<long long> raw;
  for (const CArea1ObjectWork& w : hexagon)
    raw.push_back(w.m_pArea1->GetOrgArea(&doc()));
  EXPECT_EQ(raw, (std::vector<long long>{99998082, 99998082, 400000000}));
  EXPECT_EQ(SignedRaw(hexagon), 599996164LL);
}

TEST_F(AutoAreaPlacementTest, ATurnedRectangleIsOneRectangleEitherWay)
{
  std::vector<CKelCoord2D> turned;
  const double a = KelAngle::Pi / 6;
  for (const CKelCoord2D& p : {CKelCoord2D(0, 0), CKelCoord2D(3, 0), CKelCoord2D(3, 2), CKelCoord2D(0, 2)})
    turned.emplace_back(p.m_x * std::cos(a) - p.m_y * std::sin(a), p.m_x * std::sin(a) + p.m_y * std::cos(a));
  for (bool follow : {true, false}) {
    const auto placed = PlacePolygon(turned, Cut(CAutoCutType::AUTOCUTTYPE_EDGE, false, follow));
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].m_pArea1->m_Type, CArea1Object::TYPE_RECTSLANT);
    EXPECT_EQ(placed[0].m_pArea1->GetOrgArea(&doc()), 600000000LL);
    ClearFloor();
  }
}

TEST_F(AutoAreaPlacementTest, ATriangleOnOneLineLeavesNoFigureAndNoError)
{
  CKelAreaCoord2D flat;
  flat.m_pt = {{0, 0}, {1, 0}, {2, 0}};
  std::vector<CArea1ObjectWork> out;
  int number = 0;
  const int codeBefore = doc().m_LastArea1Code;
  EXPECT_EQ(doc().AddTriangle(flat, COperatorTable::OPERATOR_PLUS, &out, number, doc().m_CurItemType1,
                              doc().m_CurItemType2, 0),
            NoError);
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(doc().m_FloorParamArray[0].m_Area1ObjectArray.empty());
  EXPECT_EQ(doc().m_LastArea1Code, codeBefore);
  EXPECT_TRUE(host.ElementsOfType(API_ObjectID).empty());
}

// The 4 x 2 m rectangle [0,4] x [-1,1] with a bay of radius 1 centred at
// (2,1), from (3,1) to (1,1), outward or inward, turned about the origin.
CKelCoord3DCrsPntArrayArray Bay(bool inward, double turn)
{
  const auto at = [&](double x, double y) {
    return CKelCoord3D(x * std::cos(turn) - y * std::sin(turn), x * std::sin(turn) + y * std::cos(turn), 0);
  };
  CKelCoord3DCrsPntArray c;
  for (const CKelCoord3D& p : {at(0, -1), at(4, -1), at(4, 1), at(3, 1)})
    c.push_back(CKelCoord3DCrsPnt(p));
  c.push_back(CKelCoord3DCrsPnt(at(2, 1), inward ? CKelCoord3DCrsPnt::TYPE_CW : CKelCoord3DCrsPnt::TYPE_CCW));
  c.push_back(CKelCoord3DCrsPnt(at(1, 1)));
  c.push_back(CKelCoord3DCrsPnt(at(0, 1)));
  c.push_back(c.front());
  CKelCoord3DCrsPntArrayArray outline;
  outline.push_back(c);
  return outline;
}

TEST_F(AutoAreaPlacementTest, ASemicircularBayIsOneSegmentAtEveryWholeDegree)
{
  listPlaced = true;
  for (bool inward : {false, true}) {
    for (int degree = 0; degree < 360; degree += 1) {
      const auto placed = PlaceOutline(Bay(inward, degree * KelAngle::Pi / 180), Cut(CAutoCutType::AUTOCUTTYPE_EDGE));
      int segments = 0;
      for (const CArea1ObjectWork& w : placed) {
        if (w.m_pArea1->m_Type != CArea1Object::TYPE_ARCCENTER)
          continue;
        ++segments;
        EXPECT_EQ(w.m_Operator, inward ? COperatorTable::OPERATOR_MINUS : COperatorTable::OPERATOR_PLUS) << degree;
        EXPECT_EQ(w.m_pArea1->GetOrgArea(&doc()), 157000000LL) << degree;
      }
      ASSERT_EQ(segments, 1) << (inward ? "inward " : "outward ") << degree;
      ClearFloor();
    }
  }
}

}  // namespace
