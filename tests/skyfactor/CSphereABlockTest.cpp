// The projection of blocks and faces onto the sky disc.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "CKelAreaCoord3D.h"
#include "CSphereA.h"
#include "CSphereBlkDataArrayNew.h"
#include "CSphereRatioBlock.h"
#include "SkyBlocks.h"
#include "SkyScene.h"
#include "TracePrevious.h"

namespace {

using sky_test::Blocks;
using sky_test::Box;

constexpr double kDeg = 3.141592653589793 / 180;

CSphereA Sphere(const CKelCoord3D& chk = CKelCoord3D(0, 0, 0), double angle = 0, int step = 10)
{
  CSphereA s;
  s.m_AngleStep = step;
  s.m_Kind = 1;
  s.SetChkPnt(&chk, angle);
  return s;
}

CSphereCoordD2D Local(double x, double y)
{
  CSphereCoordD2D p;
  p.m_Coord3D = CKelCoord3D(x, y, 0);
  return p;
}

std::vector<double> AzimuthsOf(const std::vector<CKelCoord3DEx>& pts)
{
  std::vector<double> out;
  for (const CKelCoord3DEx& p : pts)
    out.push_back(std::round(std::atan2(p.m_y, p.m_x) / kDeg * 1e6) / 1e6);
  return out;
}

TEST(CSphereABlock, EdgesAreSubdividedAtTheSectorLines)
{
  const CSphereA s = Sphere();
  const CSphereCoordD2D at5 = Local(10 * std::cos(5 * kDeg), 10 * std::sin(5 * kDeg));
  const CSphereCoordD2D at10 = Local(10 * std::cos(10 * kDeg), 10 * std::sin(10 * kDeg));
  const CSphereCoordD2D at27 = Local(12 * std::cos(27 * kDeg), 12 * std::sin(27 * kDeg));
  struct Case {
    const char* name;
    CSphereCoordD2D c1, c2;
    double a1, a2;
    std::vector<double> expected;
  };
  const Case cases[] = {
      {"rising", at5, at27, 5, 27, {5, 10, 20, 27}},
      {"starting on a line", at10, at27, 10, 27, {10, 20, 27}},
      {"falling", at27, at5, 27, 5, {27, 20, 10, 5}},
      {"one azimuth", at5, at5, 5, 5, {5, 5}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, AzimuthsOf(s.InsertAnglePoint(1, c.c1, c.c2, c.a1, c.a2, 10))) << c.name;
}

TEST(CSphereABlock, OneDegreeVariantMarksTheSectorLinesOnTheExpandedPass)
{
  const CSphereA s = Sphere();
  CKelBlockCoord p1(10 * std::cos(5 * kDeg), 10 * std::sin(5 * kDeg), 10, 0);
  CKelBlockCoord p2(12 * std::cos(27 * kDeg), 12 * std::sin(27 * kDeg), 10, 0);
  CSphereCoordD2DArray out;
  ASSERT_EQ(1, s.CalcSideExpand0(p1, p2, 1, 0, out));
  // 23 entries (5, 6 ... 26, 27); the lower pass leaves out the lines 10, 20.
  ASSERT_EQ(21u + 23u, out.size());
  std::vector<int> lines;
  for (std::size_t k = 21; k < out.size(); ++k) {
    if (out[k].m_PntKind == CSphereCoordD2D::kSectorLine)
      lines.push_back(static_cast<int>(std::lround(out[k].m_AD / kDeg)));
  }
  EXPECT_EQ(std::vector<int>({20, 10}), lines);
  EXPECT_EQ(CSphereCoordD2D::kEnd, out[21].m_PntKind);
  EXPECT_EQ(CSphereCoordD2D::kEnd, out.back().m_PntKind);
}

// The outline of the near face of the front box, whose lower edge runs from
// (-5, 10) to (5, 10).
const CSphereCoordD2DArray* NearFace(const std::vector<CSphereCoordD2DArray>& outlines)
{
  for (const CSphereCoordD2DArray& o : outlines) {
    if (!o.empty() && std::fabs(o.front().m_AD - std::atan2(10.0, -5.0)) < 1e-12 &&
        std::fabs(o.front().m_AE) < 1e-12)
      return &o;
  }
  return nullptr;
}

TEST(CSphereABlock, NearFaceOfTheFrontBox)
{
  const CSphereA s = Sphere();
  const std::vector<CSphereCoordD2DArray> outlines = s.GetSphereBlock(Box(-5, 5, 10, 20, 20), 2, false);
  ASSERT_EQ(4u, outlines.size());
  const CSphereCoordD2DArray* face = NearFace(outlines);
  ASSERT_NE(nullptr, face);
  ASSERT_EQ(14u, face->size());
  const double lower[] = {116.565051177, 110, 100, 90, 80, 70, 63.434948823};
  for (int k = 0; k < 7; ++k) {
    EXPECT_NEAR(lower[k], (*face)[static_cast<std::size_t>(k)].m_AD / kDeg, 1e-8) << k;
    EXPECT_EQ(0.0, (*face)[static_cast<std::size_t>(k)].m_AE) << k;
    EXPECT_NEAR(lower[6 - k], (*face)[static_cast<std::size_t>(7 + k)].m_AD / kDeg, 1e-8) << k;
    EXPECT_GT((*face)[static_cast<std::size_t>(7 + k)].m_AE, 0.0) << k;
  }
  for (const CSphereCoordD2D& p : *face)
    EXPECT_EQ(CSphereCoordD2D::kEnd, p.m_PntKind);
  EXPECT_NEAR(0.363339360, std::fabs(face->CalcArea()), 1e-9);
}

TEST(CSphereABlock, OutlinesFollowTheBlockWhenCheckPointAndFrameMove)
{
  const std::vector<CSphereCoordD2DArray> base = Sphere().GetSphereBlock(Box(-5, 5, 10, 20, 20), 2, false);
  const double angle = 0.7;
  const double c = std::cos(angle), sn = std::sin(angle);
  const CKelCoord3D chk(1000 * c - 2000 * sn, 1000 * sn + 2000 * c, 50);
  const CKelBlockCube moved = Box(1000 - 5, 1000 + 5, 2000 + 10, 2000 + 20, 20, 0, angle, 0, 0, 50);
  const std::vector<CSphereCoordD2DArray> turned = Sphere(chk, angle).GetSphereBlock(moved, 2, false);
  ASSERT_EQ(base.size(), turned.size());
  for (std::size_t i = 0; i < base.size(); ++i) {
    ASSERT_EQ(base[i].size(), turned[i].size());
    for (std::size_t k = 0; k < base[i].size(); ++k) {
      EXPECT_NEAR(base[i][k].m_Pos.m_x, turned[i][k].m_Pos.m_x, 1e-9);
      EXPECT_NEAR(base[i][k].m_Pos.m_y, turned[i][k].m_Pos.m_y, 1e-9);
      EXPECT_NEAR(base[i][k].m_AE, turned[i][k].m_AE, 1e-9);
    }
  }
}

TEST(CSphereABlock, RegistrationRefusalsAndEmptyProjections)
{
  CSphereBlkDataArrayNew store;
  // Wholly below the check point: no area, nothing registered.
  EXPECT_EQ(0, Sphere(CKelCoord3D(0, 0, 30)).RegistSphereRatio2(2, false, nullptr, Blocks({Box(-5, 5, 10, 20, 20)}),
                                                                 store));
  EXPECT_TRUE(store.m_PolyArea.empty());
  EXPECT_EQ(0, Sphere().RegistSphereRatio2(2, false, nullptr, Blocks({Box(-5, 5, 10, 20, 20)}), store));
  EXPECT_EQ(1u, store.m_PolyArea.size());

  const CKelBlockCubeArray under = Blocks({Box(-5, 5, -5, 5, 20)});
  const CKelBlockCubeArray onEdge = Blocks({Box(0, 5, 0, 5, 20)});
  CKelBlockCubeArray nan = Blocks({Box(-5, 5, 10, 20, 20)});
  nan[0].m_Coord[1].m_z = std::nan("");
  for (const CKelBlockCubeArray* blocks : {&under, &onEdge, static_cast<const CKelBlockCubeArray*>(&nan)}) {
    CSphereBlkDataArrayNew s2;
    EXPECT_EQ(1, Sphere().RegistSphereRatio2(2, false, nullptr, *blocks, s2));
    EXPECT_TRUE(s2.m_PolyArea.empty());
  }
  CSphereBlkDataArrayNew s4;
  EXPECT_EQ(1, Sphere(CKelCoord3D(0, std::nan(""), 0)).RegistSphereRatio2(2, false, nullptr,
                                                                         Blocks({Box(-5, 5, 10, 20, 20)}), s4));
  EXPECT_TRUE(s4.m_PolyArea.empty());
  // Without sectors nothing is subdivided: nothing is projected.
  CSphereBlkDataArrayNew s3;
  EXPECT_EQ(1, Sphere(CKelCoord3D(0, 0, 0), 0, 0).RegistSphereRatio2(2, false, nullptr,
                                                                      Blocks({Box(-5, 5, 10, 20, 20)}), s3));
  EXPECT_TRUE(Sphere(CKelCoord3D(0, 0, 0), 0, -1).GetSphereBlock(Box(-5, 5, 10, 20, 20), 2, false).empty());

  // Edges through the check point are seen edge-on.
  CSphereCoordD2DArray out;
  EXPECT_EQ(0, Sphere().CalcSide(CKelBlockCoord(-5, 0, 10, 0), CKelBlockCoord(5, 0, 10, 0), 1, 2, false, out));
  EXPECT_EQ(0, Sphere().CalcSide(CKelBlockCoord(0, 0, 10, 0), CKelBlockCoord(5, 5, 10, 0), 1, 2, false, out));
  EXPECT_TRUE(out.empty());
}

TEST(CSphereABlock, ConcaveSlopedTopLeavesTwoPiecesAboveTheCheckPoint)
{
  // A U whose arms point to +y; the top rises with y and meets the check
  // point's height at y = 22, above the base of the U.
  CKelBlockCube u;
  for (const auto& [x, y] : std::vector<std::pair<double, double>>{
           {0, 10}, {30, 10}, {30, 30}, {20, 30}, {20, 20}, {10, 20}, {10, 30}, {0, 30}})
    u.Append(CKelBlockCoord(x, y, y - 22, 0));
  u.SetType();
  const CKelBlockCubeArray blocks = Blocks({u});
  ASSERT_TRUE(blocks[0].IsTopSlope());
  const std::vector<CSphereCoordD2DArray> outlines = Sphere().GetSphereBlock(blocks[0], 2, false);
  bool left = false, right = false;
  for (const CSphereCoordD2DArray& o : outlines) {
    for (const CSphereCoordD2D& p : o) {
      left = left || p.m_Coord3D.m_x < 10 - 1e-9;
      right = right || p.m_Coord3D.m_x > 20 + 1e-9;
    }
  }
  EXPECT_TRUE(left);
  EXPECT_TRUE(right);
  CSphereBlkDataArrayNew store;
  EXPECT_EQ(0, Sphere().RegistSphereRatio2(2, false, nullptr, blocks, store));
  EXPECT_EQ(2u, store.m_PolyArea.size());
}

TEST(CSphereABlock, FacesOnOneSideOnly)
{
  CKelAreaCoord3D upper;
  upper.m_pt = {CKelCoord3D(-5, 10, 0), CKelCoord3D(5, 10, 0), CKelCoord3D(5, 10, 10), CKelCoord3D(-5, 10, 10)};
  CKelAreaCoord3D straddling;
  straddling.m_pt = {CKelCoord3D(10, -5, 0), CKelCoord3D(10, 5, 0), CKelCoord3D(10, 5, 10), CKelCoord3D(10, -5, 10)};
  const CSphereA s = Sphere();
  EXPECT_FALSE(s.GetSphereArea(upper, 2, false).empty());
  EXPECT_TRUE(s.GetSphereArea(straddling, 2, false).empty());
  EXPECT_TRUE(s.GetSphereArea(CKelAreaCoord3D(), 2, false).empty());
  CSphereBlkDataArrayNew store;
  EXPECT_EQ(1, s.RegistSphereRatioFace(2, false, nullptr, straddling, store));
  EXPECT_EQ(1, s.RegistSphereRatioFace(2, false, nullptr, CKelAreaCoord3D(), store));
  EXPECT_EQ(0, s.RegistSphereRatioFace(2, false, nullptr, upper, store));
  EXPECT_EQ(1u, store.m_PolyArea.size());
  ASSERT_EQ(1u, s.GetSphereBlockArea(upper).size());
  EXPECT_FALSE(s.GetSphereBlockArea(upper)[0].empty());
}

// The union as the outline method registers the blocks' faces, and as the
// former trace registered them: the same pool, bit for bit, and the same
// polygons. The number of polygons, so that a caller can tell the
// comparison covered any.
std::size_t ExpectRegisteredAsTheFormerTrace(const CKelBlockCubeArray& blocks, const CKelCoord3D& point, double angle,
                                             int which, const std::string& where)
{
  const CSphereA sphere = Sphere(point, angle, 1);
  CSphereBlkDataArrayNew fast, former;
  for (const CKelBlockCubeArray& group : CSphereRatioBlock::DivideBlock(blocks, &point, angle, 0)) {
    if (group.empty())
      continue;
    if (sphere.RegistSphereRatio2(which, false, &point, group, fast) != 0)
      return 0;
    for (const CKelBlockCube& block : group) {
      for (const std::vector<CSphereCoordD2DArray>& piece : sphere.GetSpherePieces(block, which, false))
        EXPECT_EQ(0, trace_previous::RegistSphereRatioCommon(piece, former)) << where;
    }
  }
  EXPECT_EQ(former.m_PolyCoord.size(), fast.m_PolyCoord.size()) << where;
  for (std::size_t k = 0; k < std::min(former.m_PolyCoord.size(), fast.m_PolyCoord.size()); ++k) {
    const CSphereCoordD2D &f = former.m_PolyCoord[k], &n = fast.m_PolyCoord[k];
    EXPECT_TRUE(f == n && std::memcmp(&f.m_AD, &n.m_AD, sizeof f.m_AD) == 0 &&
                std::memcmp(&f.m_AE, &n.m_AE, sizeof f.m_AE) == 0)
        << where << " point " << k;
  }
  EXPECT_EQ(former.m_PolyArea.size(), fast.m_PolyArea.size()) << where;
  for (std::size_t j = 0; j < std::min(former.m_PolyArea.size(), fast.m_PolyArea.size()); ++j) {
    std::vector<int> f, n;
    for (const CSpherePolyAreaFlag& e : former.m_PolyArea[j].m_Idx)
      f.push_back(e.m_Idx);
    for (const CSpherePolyAreaFlag& e : fast.m_PolyArea[j].m_Idx)
      n.push_back(e.m_Idx);
    EXPECT_EQ(f, n) << where << " polygon " << j;
  }
  return fast.m_PolyArea.size();
}

TEST(CSphereA, RegistersTheFacesAsTheFormerTrace)
{
  std::size_t polygons = 0;
  for (std::uint64_t seed = 1; seed <= 60; ++seed) {
    const sky_test::Scene scene = sky_test::RandomScene(seed);
    polygons += ExpectRegisteredAsTheFormerTrace(scene.blocks, CKelCoord3D(0, 0, 0), scene.angle,
                                                 seed % 2 == 0 ? -1 : 2, "seed " + std::to_string(seed));
  }
  const CKelBlockCubeArray blocks = sky_test::SceneBlocks(48);
  const std::vector<CKelCoord3D> points = sky_test::ScenePoints(100);
  for (const std::size_t k : {0, 37, 99})
    polygons += ExpectRegisteredAsTheFormerTrace(blocks, points[k], 0, -1, "point " + std::to_string(k));
  EXPECT_GT(polygons, 300u);
}

// Every point of a side face's outline is its source point as SphereAPos
// places it, bit for bit, for every kind, mirrored or not: the images above
// and below a point share its azimuth without changing either.
TEST(CSphereA, SideOutlinePointsAreTheirSourcesProjected)
{
  std::mt19937_64 rng(97);
  const auto u = [&rng](double lo, double hi) { return lo + (hi - lo) * static_cast<double>(rng() >> 11) * 0x1.0p-53; };
  int points = 0;
  for (int round = 0; round < 400; ++round) {
    CSphereA sphere = Sphere(CKelCoord3D(0, 0, 0), 0, 1 + round % 10);
    sphere.m_Kind = round % 4;
    sphere.m_bMirror = round % 8 >= 4;
    const int side = round % 2 == 0 ? 1 : -1;
    // Braced: the draws come in order whatever the compiler.
    const CKelBlockCoord p1{u(-30, 30), side * u(0.5, 30), u(0, 40), u(-2, 5)};
    const CKelBlockCoord p2{u(-30, 30), side * u(0.5, 30), u(0, 40), u(-2, 5)};
    CSphereCoordD2DArray out;
    if (sphere.CalcSide(p1, p2, side, 2, false, out) != 1)
      continue;
    for (const CSphereCoordD2D& got : out) {
      CSphereCoordD2D expected;
      expected.m_Coord3D = got.m_Coord3D;
      sphere.SphereAPos(side, &expected);
      ASSERT_EQ(0, std::memcmp(&expected.m_AD, &got.m_AD, sizeof got.m_AD)) << round;
      ASSERT_EQ(0, std::memcmp(&expected.m_AE, &got.m_AE, sizeof got.m_AE)) << round;
      ASSERT_EQ(0, std::memcmp(&expected.m_Pos.m_x, &got.m_Pos.m_x, sizeof got.m_Pos.m_x)) << round;
      ASSERT_EQ(0, std::memcmp(&expected.m_Pos.m_y, &got.m_Pos.m_y, sizeof got.m_Pos.m_y)) << round;
      ++points;
    }
  }
  EXPECT_GT(points, 2000);
}

}  // namespace
