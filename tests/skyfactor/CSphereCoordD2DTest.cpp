#include <gtest/gtest.h>

#include <random>

#include "CAreaRgl.h"
#include "CAreaUsg.h"
#include "CKelAreaCoord2D.h"
#include "CKelHSite.h"
#include "CKelMSite.h"
#include "CSphereCoordD2D.h"
#include "KelRecord.h"
#include "KelTestSupport.h"

namespace {

using kel_test::ByteBuilder;
using kel_test::Bytes;

CSphereCoordD2D SamplePoint()
{
  CSphereCoordD2D p(0.25, -0.5, 1.25, 0.75, 7);
  p.m_Coord3D = CKelCoord3D(3, 4, 5);
  p.m_PntKind = CSphereCoordD2D::kInserted;
  return p;
}

TEST(CSphereCoordD2D, RecordBytesAndOlderRecords)
{
  const CSphereCoordD2D p = SamplePoint();
  const Bytes expected = ByteBuilder()
                             .I32(1002)
                             .F64s({0.25, -0.5, 1.25, 0.75})
                             .I32(7)
                             .F64s({3, 4, 5})
                             .Append({0})
                             .bytes;
  ASSERT_EQ(expected, kel_test::SavedRecord(p));
  ASSERT_EQ(static_cast<std::size_t>(CSphereCoordD2D::kRecordBytes), expected.size());

  CSphereCoordD2D back;
  int left = -1;
  ASSERT_TRUE(kel_test::LoadRecord(back, expected, CSphereCoordD2D::kRecordBytes, &left));
  EXPECT_EQ(0, left);
  EXPECT_EQ(p, back);
  // One byte short of the budget fails.
  EXPECT_FALSE(kel_test::LoadRecord(back, expected, CSphereCoordD2D::kRecordBytes - 1));

  // 1000: the disc position only, the tag cleared, the rest kept.
  CSphereCoordD2D old = SamplePoint();
  const Bytes v1000 = ByteBuilder().I32(1000).F64s({0.5, 0.125}).bytes;
  ASSERT_TRUE(kel_test::LoadRecord(old, v1000, 20, &left));
  EXPECT_EQ(0, left);
  EXPECT_EQ(0.5, old.m_Pos.m_x);
  EXPECT_EQ(0, old.m_Tag);
  EXPECT_EQ(1.25, old.m_AD);
  EXPECT_EQ(5.0, old.m_Coord3D.m_z);
  // 1001: angles and tag, no source point.
  CSphereCoordD2D mid;
  const Bytes v1001 = ByteBuilder().I32(1001).F64s({0.5, 0.125, 2, 3}).I32(9).bytes;
  ASSERT_TRUE(kel_test::LoadRecord(mid, v1001, 40, &left));
  EXPECT_EQ(0, left);
  EXPECT_EQ(9, mid.m_Tag);
  EXPECT_EQ(3.0, mid.m_AE);
  EXPECT_EQ(CSphereCoordD2D::kEnd, mid.m_PntKind);
  for (int bad : {999, 1003}) {
    EXPECT_FALSE(kel_test::LoadRecord(mid, ByteBuilder().I32(bad).F64s({0, 0}).bytes, 100));
  }
}

TEST(CSphereCoordD2D, ArchivesRoundTripAtBothVersions)
{
  CSphereCoordD2DArray outline;
  outline.push_back(SamplePoint());
  outline.emplace_back(-0.5, 0.5, 2.0, 0.1, 3);
  for (int version : {1, 2}) {
    SCOPED_TRACE(version);
    const Bytes stored = kel_test::Archived(outline, version);
    CSphereCoordD2DArray back;
    ASSERT_TRUE(kel_test::Unarchive(back, stored, version));
    EXPECT_EQ(outline, back);
  }
  // Version 1: no tags, the angles before the points.
  const Bytes one = kel_test::Archived(SamplePoint(), 1);
  const Bytes expected =
      ByteBuilder().F64s({1.25, 0.75}).I32(7).Append({0}).F64s({0.25, -0.5}).F64(5).F64s({3, 4}).bytes;
  EXPECT_EQ(expected, one);
  // A count the bytes cannot hold is refused before anything is resized.
  CSphereCoordD2DArray big;
  EXPECT_FALSE(kel_test::Unarchive(big, ByteBuilder().I32(1000000).bytes, 1));
  EXPECT_FALSE(kel_test::Unarchive(big, ByteBuilder().I32(-1).bytes, 1));
  EXPECT_TRUE(big.empty());
}

TEST(CSphereCoordD2D, ComparesAndConverts)
{
  CSphereCoordD2D a = SamplePoint();
  CSphereCoordD2D b = a;
  b.m_Pos.m_x += 2e-5;  // within the point tolerance
  EXPECT_EQ(a, b);
  for (auto change : {+[](CSphereCoordD2D& p) { p.m_AD += 1e-15; }, +[](CSphereCoordD2D& p) { p.m_Tag = 8; },
                      +[](CSphereCoordD2D& p) { p.m_PntKind = 2; },
                      +[](CSphereCoordD2D& p) { p.m_Coord3D.m_z += 1e-4; }}) {
    b = a;
    change(b);
    EXPECT_NE(a, b);
  }
  CSphereCoordD2D c(0, 0, 0.5, 0.25, 0);
  c.ConvertCoordXY();
  EXPECT_DOUBLE_EQ(-std::cos(0.25) * std::cos(0.5), c.m_Pos.m_x);
  EXPECT_DOUBLE_EQ(std::cos(0.25) * std::sin(0.5), c.m_Pos.m_y);
}

TEST(CSphereCoordD2D, DiscArea)
{
  CSphereCoordD2DArray square;
  for (const auto& [x, y] : {std::pair{0.0, 0.0}, {1.0, 0.0}, {1.0, 1.0}, {0.0, 1.0}})
    square.emplace_back(x, y, 0, 0, 0);
  EXPECT_EQ(1.0, square.CalcArea());
  std::reverse(square.begin(), square.end());
  EXPECT_EQ(-1.0, square.CalcArea());
  square.resize(1);
  EXPECT_EQ(0.0, square.CalcArea());
  EXPECT_EQ(0.0, CSphereCoordD2DArray().CalcArea());
}

// The tenth-of-tol crossing count sees a point just above a vertex's level
// as above it; the whole-tol count takes it as level and misses the edge.
TEST(InArea, TenthOfTolCountsPointsNearAVertexLevel)
{
  CKelAreaCoord2D outline = kel_test::Prepared(kel_test::Poly({{-1, 0}, {0, 2}, {-1, 4}, {3, 4}, {3, 0}}));
  using Crossing = CKelAreaCoord2D::Crossing;
  EXPECT_EQ(1, outline.InArea(CKelCoord2D(0.2, 2.2), 0, 0.25, Crossing::TenthTol));
  EXPECT_EQ(0, outline.InArea(CKelCoord2D(0.2, 2.2), 0, 0.25, Crossing::WholeTol));
  // Elsewhere both forms agree: inside, outside, on an edge, on a vertex,
  // level with a vertex the outline passes through or only touches.
  const CKelAreaCoord2D notch = kel_test::Prepared(kel_test::Poly({{0, 0}, {4, 0}, {4, 4}, {2, 2}, {0, 4}}));
  const struct {
    double x, y;
    int where;
  } rows[] = {{1, 1, 1}, {5, 1, 0}, {2, 0, -1}, {4, 4, -1}, {1, 2, 1}, {3, 2, 1}, {2, 3, 0}, {-1, 2, 0}, {2, 2.5, 0}};
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.x << ", " << r.y);
    EXPECT_EQ(r.where, notch.InArea(CKelCoord2D(r.x, r.y), 0, 1e-5, Crossing::WholeTol));
    EXPECT_EQ(r.where, notch.InArea(CKelCoord2D(r.x, r.y), 0, 1e-5, Crossing::TenthTol));
  }
}

// The zoning, regulation and deemed-site areas count with the tenth: the
// same outline at the scale of their 1e-5 band.
TEST(InArea, RegulationZoningAndDeemedSiteAreasCountWithTheTenth)
{
  constexpr double kScale = 4e-5;  // 0.25 x kScale is the areas' band
  std::vector<CKelCoord2D> outline;
  for (const auto& [x, y] : {std::pair{-1.0, 0.0}, {0.0, 2.0}, {-1.0, 4.0}, {3.0, 4.0}, {3.0, 0.0}})
    outline.emplace_back(x * kScale, y * kScale);
  const CKelCoord2D p(0.2 * kScale, 2.2 * kScale);

  CAreaRgl rgl;
  rgl.m_pt = outline;
  rgl.SetArea();
  rgl.SetMaxMin();
  CAreaRglArray rgls;
  rgls.push_back(rgl);
  rgls.push_back(rgl);
  EXPECT_EQ(0, rgls.GetRegArea2(p));

  CAreaUsg usg;
  usg.m_pt = outline;
  usg.SetArea();
  usg.SetMaxMin();
  CAreaUsgArray usgs;
  usgs.push_back(usg);
  usgs.push_back(usg);
  EXPECT_EQ(0, usgs.check_usage(CKelHSite(), p, nullptr));

  CKelMSite deemed;
  deemed.m_pt = outline;
  deemed.SetArea();
  deemed.SetMaxMin();
  EXPECT_EQ(0.0, deemed.CalcSiteDistance3(p));
}

// Point location step by step over every edge, as the two forms describe
// it, against the kernel's, which leaves out edges far from the level.
int LocateEveryEdge(const std::vector<CKelCoord2D>& v, const CKelCoord2D& p, double tol, bool tenth)
{
  const double ray = tenth ? 0.1 * tol : tol;
  double xmin = 1e300, xmax = -1e300, ymin = 1e300, ymax = -1e300;
  for (const CKelCoord2D& q : v) {
    xmin = std::min(xmin, q.m_x), xmax = std::max(xmax, q.m_x);
    ymin = std::min(ymin, q.m_y), ymax = std::max(ymax, q.m_y);
  }
  const double box = 0.1 * tol;
  if (p.m_y < ymin - box || p.m_y > ymax + box || p.m_x < xmin - box || p.m_x > xmax + box)
    return 0;
  const int n = static_cast<int>(v.size());
  int count = 0;
  for (int k = 0; k < n; ++k) {
    const CKelCoord2D& s = v[(k + n - 1) % n];
    const CKelCoord2D& e = v[k];
    double c = 1, sn = 0, len = 0;
    CalcCosSin(s, e, &c, &sn, &len);
    const double along = c * (p.m_x - s.m_x) + sn * (p.m_y - s.m_y);
    const double across = c * (p.m_y - s.m_y) - sn * (p.m_x - s.m_x);
    const double dist = along < 0 ? std::hypot(along, across)
                                  : along >= len ? std::hypot(along - len, across) : std::fabs(across);
    if (dist <= tol)
      return -1;
    int dir = 0;
    const int level = XCross3(s, e, p, dir, ray);
    if (level == 1 && SignOf(across, ray) != 0 && SignOf(across, ray) != dir)
      ++count;
    if (level == -1) {
      int back = (k + n - 2) % n;
      while (std::fabs(s.m_y - v[back].m_y) < ray)
        back = (back + n - 1) % n;
      const bool left = tenth ? s.m_x - p.m_x < -ray : s.m_x <= p.m_x - ray;
      if (SignOf(s.m_y - v[back].m_y, ray) == dir && left)
        ++count;
    }
  }
  return count % 2;
}

TEST(InArea, EveryEdgeMeasuredGivesTheSameLocations)
{
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const double tol = 1e-5;
  using Crossing = CKelAreaCoord2D::Crossing;
  for (int round = 0; round < 30; ++round) {
    std::vector<CKelCoord2D> v;
    const int n = 5 + round;
    for (int i = 0; i < n; ++i) {
      const double a = 6.283185307179586 * (i + unit(rng) * 0.8) / n;
      const double r = 0.2 + unit(rng);
      // Every third vertex level with the one before: horizontal edges.
      const double y = i % 3 == 2 ? v.back().m_y : r * std::sin(a);
      v.emplace_back(r * std::cos(a), y);
    }
    CKelAreaCoord2D outline;
    outline.m_pt = v;
    outline.SetMaxMin();
    for (int k = 0; k < 200; ++k) {
      // Near a vertex's level, inside and outside the bands, or anywhere.
      const CKelCoord2D& near = v[static_cast<std::size_t>(k % n)];
      const double offsets[] = {0, 0.5e-6, 1e-6, 2e-6, 0.9e-5, 1e-5, 3e-5, 1e-3};
      const double dy = offsets[k % 8] * (k % 16 < 8 ? 1 : -1);
      // Braced: the draws come in order whatever the compiler.
      const CKelCoord2D p{2.4 * unit(rng) - 1.2, k % 5 == 4 ? 2.4 * unit(rng) - 1.2 : near.m_y + dy};
      for (bool tenth : {false, true}) {
        SCOPED_TRACE(testing::Message() << "round " << round << " point " << k << (tenth ? " tenth" : " whole"));
        EXPECT_EQ(LocateEveryEdge(v, p, tol, tenth),
                  outline.InArea(p, 0, tol, tenth ? Crossing::TenthTol : Crossing::WholeTol));
      }
    }
  }
}

}  // namespace
