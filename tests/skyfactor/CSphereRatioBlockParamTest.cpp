#include "CSphereRatioBlockParam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "KelTestSupport.h"
#include "ParamCutPrevious.h"

namespace {

using kel_test::ByteBuilder;
using kel_test::Bytes;

constexpr double kPi = 3.141592653589793;

CSphereCoordD2D Disc(double x, double y)
{
  return CSphereCoordD2D(x, y, 0, 0, 0);
}

CSphereCoordD2D Angles(double ad, double ae)
{
  CSphereCoordD2D p(0, 0, ad, ae, 0);
  p.ConvertCoordXY();
  return p;
}

CSphereRatioBlockParam Outline(std::initializer_list<CSphereCoordD2D> pts)
{
  CSphereRatioBlockParam p;
  p.m_pt.assign(pts.begin(), pts.end());
  return p;
}

using Pairs = std::vector<std::pair<double, double>>;

Pairs AnglesOf(const CSphereCoordD2DArray& pts)
{
  std::vector<std::pair<double, double>> out;
  for (const CSphereCoordD2D& p : pts)
    out.emplace_back(p.m_AD, p.m_AE);
  return out;
}

TEST(CSphereBowShapeParam, AreasRoundAtTheSeventhDecimal)
{
  struct Case {
    double area;
    int nRound;
    double expected;
  };
  const Case cases[] = {
      {0.12345678, 0, 0.1234568},
      {0.12345678, 1, 0.1234567},
      {0.12345678, -1, 0.12345678},
      {0.12345678, 7, 0.12345678},
      // One round-off above a step stays on it in both directions.
      {0.1234567 + 1e-17, 0, 0.1234567},
      {0.3, 1, 0.3},
      {-0.12345678, 0, -0.1234567},
  };
  for (const Case& c : cases) {
    CSphereBowShapeParam bow(0, 1, c.area);
    EXPECT_DOUBLE_EQ(c.expected, bow.GetBowArea(c.nRound)) << c.area << " " << c.nRound;
    EXPECT_EQ(bow.GetBowArea(c.nRound), bow.GetFunArea(c.nRound));
  }
}

TEST(CSphereFunShapeParamArray, AddFunShapeJoinsNeighbours)
{
  CSphereFunShapeParamArray fans;
  fans.AddFunShape(0.0, 0.5);
  fans.AddFunShape(0.5, 1.0);
  ASSERT_EQ(1u, fans.size());
  EXPECT_EQ(CSphereBowShapeParam(0.0, 1.0, 0.5), fans[0]);
  fans.AddFunShape(-1.0, 0.0 + 0.5e-6);
  ASSERT_EQ(1u, fans.size());
  EXPECT_EQ(-1.0, fans[0].m_begA);
  EXPECT_DOUBLE_EQ(1.0, fans[0].m_Area);
  fans.AddFunShape(2.0, 3.0);
  EXPECT_EQ(2u, fans.size());
  EXPECT_DOUBLE_EQ(1.5, fans.GetArea(-1));
}

TEST(CSphereRatioBlockParam, SharesOfTheDiscAndInsideTests)
{
  const CSphereRatioBlockParam cw = Outline({Disc(0, 0), Disc(0, 1), Disc(1, 1), Disc(1, 0)});
  const CSphereRatioBlockParam ccw = Outline({Disc(0, 0), Disc(1, 0), Disc(1, 1), Disc(0, 1)});
  EXPECT_DOUBLE_EQ(1 / kPi, cw.CalcArea());
  EXPECT_DOUBLE_EQ(-1 / kPi, ccw.CalcArea());
  EXPECT_EQ(0.0, CSphereRatioBlockParam().CalcArea());
  const CSphereRatioBlockParam chart = Outline({Angles(0, 0), Angles(1, 0), Angles(1, 1), Angles(0, 1)});
  EXPECT_DOUBLE_EQ(1 / kPi, CSphereRatioBlockParam::CalcAreaAngle(chart.m_pt));

  struct Case {
    CKelCoord2D p;
    bool inside;
  };
  const Case cases[] = {
      {{0.5, 0.5}, true},  {{1.5, 0.5}, false}, {{-0.5, 0.5}, false},
      // On an edge: decided by the other crossings alone.
      {{1.0, 0.5}, true}, {{0.0, 0.5}, false},
      // Level with a vertex.
      {{-0.5, 0.0}, false}, {{0.5, 1.0}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.inside, ccw.InBlock(c.p)) << c.p.m_x << "," << c.p.m_y;
    EXPECT_EQ(c.inside, cw.InBlock(c.p)) << c.p.m_x << "," << c.p.m_y;
  }
  EXPECT_FALSE(CSphereRatioBlockParam().InBlock({0, 0}));
}

TEST(CSphereRatioBlockParam, UpkeepOperations)
{
  const double deg = kPi / 180;
  // Horizon points with horizon neighbours go; the others stay.
  CSphereRatioBlockParam horz =
      Outline({Angles(0, 0), Angles(15 * deg, 0), Angles(20 * deg, 0), Angles(30 * deg, 0), Angles(30 * deg, 0.5)});
  CSphereRatioBlockParam coarse = horz;
  horz.DeleteHorzPoint();
  EXPECT_EQ(3u, horz.m_pt.size());
  // With a step only the points off the sector lines go, and bows follow.
  ASSERT_TRUE(coarse.DeleteHorzPoint(10));
  const Pairs kept{{0, 0}, {20 * deg, 0}, {30 * deg, 0}, {30 * deg, 0.5}};
  EXPECT_EQ(kept, AnglesOf(coarse.m_pt));
  ASSERT_EQ(2u, coarse.m_BowShape.size());
  EXPECT_EQ(20 * deg, coarse.m_BowShape[1].m_begA);

  CSphereRatioBlockParam vert = Outline({Angles(0, 0), Angles(1, 0), Angles(1, 0.3), Angles(1, 0.6), Angles(0, 0.6)});
  vert.DeleteVertPoint();
  EXPECT_EQ(4u, vert.m_pt.size());

  CSphereRatioBlockParam same = Outline({Angles(0, 0), Angles(0, 0.5e-6)});
  same.DeleteSamePoint(0);
  EXPECT_EQ(1u, same.m_pt.size());
  CSphereRatioBlockParam same2 = Outline({Disc(0, 0), Disc(1, 0), Disc(1, 0), Disc(0, 1), Disc(0, 0)});
  same2.DeleteSamePoint(1);
  EXPECT_EQ(3u, same2.m_pt.size());
  // One on the disc, a corner 2e-5 above the horizon and the horizon's
  // point under it: the horizon's stays, whichever way the outline runs
  // and wherever it starts, so its horizon edge keeps its bow.
  const CSphereCoordD2D low = Angles(0.2, 2e-5), foot = Angles(0.2, 0);
  for (const CSphereRatioBlockParam& hair :
       {Outline({Angles(0, 0), foot, low, Angles(0.3, 0.5)}), Outline({low, Angles(0.3, 0.5), Angles(0, 0), foot}),
        Outline({Angles(0.3, 0.5), low, foot, Angles(0, 0)}), Outline({foot, Angles(0, 0), Angles(0.3, 0.5), low})}) {
    CSphereRatioBlockParam one = hair;
    one.DeleteSamePoint(1);
    ASSERT_EQ(3u, one.m_pt.size());
    EXPECT_EQ(1, std::count_if(one.m_pt.begin(), one.m_pt.end(),
                               [](const CSphereCoordD2D& q) { return q.m_AD == 0.2 && q.m_AE == 0; }));
  }

  CSphereRatioBlockParam parallel = Outline({Disc(0, 0), Disc(0.5, 0), Disc(1, 0), Disc(0, 1)});
  parallel.DeleteParallelPoint(1);
  EXPECT_EQ(3u, parallel.m_pt.size());

  CSphereRatioBlockParam needle = Outline({Disc(0, 0), Disc(1, 0), Disc(2, 0), Disc(1, 0), Disc(1, 1)});
  needle.DeleteNeedleShape();
  EXPECT_EQ(3u, needle.m_pt.size());
  CSphereRatioBlockParam two = Outline({Disc(0, 0), Disc(1, 0)});
  two.DeleteNeedleShape();
  EXPECT_EQ(2u, two.m_pt.size());

  CSphereRatioBlockParam x = Outline({Angles(0, 0), Angles(1, 0), Angles(0.5, 0.5)});
  x.InsertXCoord();
  const Pairs inserted{{0, 0}, {0.5, 0}, {1, 0}, {0.5, 0.5}};
  EXPECT_EQ(inserted, AnglesOf(x.m_pt));
  EXPECT_TRUE(x.IsExistSameADPoint(0.5));
  EXPECT_FALSE(x.IsExistSameADPoint(1.0));
  EXPECT_TRUE(x.IsExist(x.m_pt[2].m_Pos));

  CSphereRatioBlockParam noHorizon = Outline({Angles(0, 0.1), Angles(1, 0.1), Angles(0.5, 0.5)});
  EXPECT_TRUE(noHorizon.SetBowShape());
  EXPECT_TRUE(noHorizon.m_BowShape.empty());
  // A horizon edge running back is no boundary's: refused, not asserted.
  CSphereRatioBlockParam back = Outline({Angles(1, 0), Angles(0, 0), Angles(0.5, 0.5)});
  EXPECT_FALSE(back.SetBowShape());
  EXPECT_FALSE(back.CheckAngle());
}

TEST(CSphereRatioBlockParam, CrossingsOfSegmentsAndSharedVertices)
{
  const CSphereRatioBlockParam square = Outline({Disc(0, 0), Disc(1, 0), Disc(1, 1), Disc(0, 1)});
  EXPECT_EQ(0, square.CheckCross({0.5, -1}, {0.5, 0.5}, -1));
  EXPECT_EQ(-1, square.CheckCross({0.5, 0.2}, {0.5, 0.8}, -1));
  // Through a vertex only: no edge is crossed strictly inside.
  EXPECT_EQ(-1, square.CheckCross({-1, -1}, {0, 0}, -1));
  // A collinear edge overlapping the open segment.
  EXPECT_EQ(0, square.CheckCross({0.2, 0}, {2, 0}, -1));
  EXPECT_EQ(-1, square.CheckCross({1, 0}, {2, 0}, -1));
  // Edges at the skipped vertex are not looked at.
  EXPECT_EQ(-1, square.CheckCross({0.5, -1}, {0.5, 0.5}, 0));

  // A vertex ending on another edge: that edge receives it.
  CSphereRatioBlockParam touch =
      Outline({Angles(0, 0), Angles(2, 0), Angles(2, 1), Angles(1, 0), Angles(0, 1)});
  const double area = CSphereRatioBlockParam::CalcAreaAngle(touch.m_pt);
  ASSERT_TRUE(touch.CheckCross());
  const Pairs shared{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 0}, {0, 1}};
  EXPECT_EQ(shared, AnglesOf(touch.m_pt));
  EXPECT_NEAR(area, CSphereRatioBlockParam::CalcAreaAngle(touch.m_pt), 1e-15);
}

// Outlines that wander over a small lattice of the chart, along it and
// across it, so that edges overlap, cross, end on each other and repeat;
// long ones too, whose far edges are passed over. The same vertices, bit
// for bit, and the same answer as measuring every edge against every edge;
// mirrored and started elsewhere, the mirrored vertices.
TEST(CSphereRatioBlockParam, SharedVerticesAsWhenEveryEdgeIsMeasured)
{
  std::mt19937_64 rng(2718);
  int inserted = 0, refused = 0;
  for (int round = 0; round < 1200; ++round) {
    // Mostly jumps anywhere; every fourth a walk by neighbouring cells
    // drifting along the azimuth, whose distant edges lie out of reach of
    // each other.
    const bool walk = round % 4 == 0;
    const int n = 3 + static_cast<int>(rng() % (walk ? 160 : 24));
    const double cell = round % 3 == 0 ? 0.01 : 0.2;
    CSphereRatioBlockParam fast;
    bool nudged = false;
    int x = 0, y = 0;
    for (int k = 0; k < n; ++k) {
      x = walk ? x + static_cast<int>(rng() % 4) - 1 : static_cast<int>(rng() % 12);
      y = walk ? std::abs(y + static_cast<int>(rng() % 3) - 1) % 6 : static_cast<int>(rng() % 6);
      const bool nudge = rng() % 5 == 0;
      nudged = nudged || nudge;
      const double ad = cell * static_cast<double>(x) - 1.0 + (nudge ? 1e-13 : 0.0);
      fast.m_pt.push_back(Angles(ad, cell * static_cast<double>(y)));
    }
    CSphereRatioBlockParam former = fast;
    // Mirrored, and started at another vertex.
    CSphereRatioBlockParam mirrored;
    const std::size_t start = rng() % fast.m_pt.size();
    for (std::size_t k = 0; k < fast.m_pt.size(); ++k) {
      const CSphereCoordD2D& p = fast.m_pt[(start + fast.m_pt.size() - k) % fast.m_pt.size()];
      mirrored.m_pt.push_back(Angles(-p.m_AD, p.m_AE));
    }
    const std::size_t before = fast.m_pt.size();
    const bool ok = fast.CheckCross();
    const std::string where = "round " + std::to_string(round);
    // Corners nudged by round-off off a lattice line may fall either side
    // of a contact band, and a mirrored walk may measure the other way.
    const bool mirroredOk = mirrored.CheckCross();
    if (!nudged) {
      ASSERT_EQ(ok, mirroredOk) << where;
    }
    if (ok && !nudged) {
      ASSERT_EQ(fast.m_pt.size(), mirrored.m_pt.size()) << where;
      const std::size_t count = fast.m_pt.size();
      // Read backwards from some place, the mirrored outline's vertices
      // (outlines repeat vertices: any place may be the one).
      const auto mirrorsFrom = [&](std::size_t at) {
        for (std::size_t k = 0; k < count; ++k) {
          const CSphereCoordD2D &f = fast.m_pt[(at + count - k) % count], &g = mirrored.m_pt[k];
          if (!(std::fabs(f.m_AD + g.m_AD) <= 1e-12 && std::fabs(f.m_AE - g.m_AE) <= 1e-12))
            return false;
        }
        return true;
      };
      std::size_t at = 0;
      while (at < count && !mirrorsFrom(at))
        ++at;
      EXPECT_LT(at, count) << where;
    }
    inserted += ok && fast.m_pt.size() > before;
    refused += !ok;
  }
  EXPECT_GT(inserted, 300);
  EXPECT_GT(refused, 0);
}

TEST(CSphereRatioBlockParam, DivideASquareIntoPiecesThatSumToTheWhole)
{
  const CSphereRatioBlockParam square = Outline({Angles(0, 0), Angles(2, 0), Angles(2, 1), Angles(0, 1)});
  std::vector<CSphereCoordD2DArray> pieces;
  ASSERT_TRUE(square.Divide({1, -1}, {1, 2}, pieces));
  ASSERT_EQ(2u, pieces.size());
  const double whole = CSphereRatioBlockParam::CalcAreaAngle(square.m_pt);
  EXPECT_NEAR(whole, CSphereRatioBlockParam::CalcAreaAngle(pieces[0]) + CSphereRatioBlockParam::CalcAreaAngle(pieces[1]),
              1e-12);
  EXPECT_NEAR(whole / 2, CSphereRatioBlockParam::CalcAreaAngle(pieces[0]), 1e-12);
  // A line missing the square cuts nothing.
  pieces.clear();
  EXPECT_FALSE(square.Divide({5, -1}, {5, 2}, pieces));
  EXPECT_TRUE(pieces.empty());
}

double SumOfAreas(const std::vector<CSphereCoordD2DArray>& outlines)
{
  double sum = 0;
  for (const CSphereCoordD2DArray& o : outlines)
    sum += CSphereRatioBlockParam::CalcArea(o);
  return sum;
}

// A hole bridged to its outline that touches the outline at two corners
// splits the covered area in two; where its side passes beyond the
// outline's between those corners, the sliver between them covers nothing.
TEST(CSphereRatioBlockParam, FacesOfAnOutlineWhoseHoleTouchesIt)
{
  const CSphereRatioBlockParam split =
      Outline({Disc(0, 0), Disc(2, 1), Disc(4, 2), Disc(2, 3), Disc(0, 2), Disc(2, 1), Disc(0, 0), Disc(0, 2),
               Disc(0, 4), Disc(4, 4), Disc(4, 2), Disc(4, 0)});
  const std::vector<CSphereCoordD2DArray> halves = CSphereRatioBlockParam::Faces(split.m_pt);
  ASSERT_EQ(2u, halves.size());
  EXPECT_NEAR(split.CalcArea(), SumOfAreas(halves), 1e-15);
  for (const CSphereCoordD2DArray& half : halves) {
    EXPECT_EQ(5u, half.size());
    EXPECT_NEAR(6 / kPi, CSphereRatioBlockParam::CalcArea(half), 1e-15);
  }

  const CSphereRatioBlockParam sliver =
      Outline({Disc(0, 0), Disc(0, 4), Disc(2, 2), Disc(1, 0), Disc(2, 0.2), Disc(3, 0), Disc(2, 2), Disc(0, 4),
               Disc(4, 4), Disc(4, 0), Disc(3, 0), Disc(2, 0.5), Disc(1, 0)});
  const std::vector<CSphereCoordD2DArray> covered = CSphereRatioBlockParam::Faces(sliver.m_pt);
  ASSERT_EQ(1u, covered.size());
  EXPECT_NEAR(14 / kPi, CSphereRatioBlockParam::CalcArea(covered[0]), 1e-15);
  EXPECT_NEAR(sliver.CalcArea() + 0.3 / kPi, CSphereRatioBlockParam::CalcArea(covered[0]), 1e-15);

  // A hole that touches nothing but its bridge stays a hole: no faces.
  const CSphereRatioBlockParam bridged =
      Outline({Disc(0, 0), Disc(1, 1), Disc(3, 1), Disc(3, 3), Disc(1, 3), Disc(1, 1), Disc(0, 0), Disc(0, 4),
               Disc(4, 4), Disc(4, 0)});
  EXPECT_TRUE(CSphereRatioBlockParam::Faces(bridged.m_pt).empty());
}

TEST(CSphereRatioBlockParam, ChordTest)
{
  // Horizon points at azimuths 0 and 1 and a point between them: near the
  // centre it is inside the chord, out at the circle it is not.
  CSphereRatioBlockParam p = Outline({Angles(0, 0), Angles(0.5, 1.2), Angles(1, 0)});
  EXPECT_TRUE(p.CheckNearPoint(0, 2));
  p.m_pt[1] = Angles(0.5, 0.01);
  EXPECT_FALSE(p.CheckNearPoint(0, 2));
  EXPECT_TRUE(p.CheckNearPoint(0, 1, 2));
}

CSphereRatioBlockParam Sample()
{
  CSphereRatioBlockParam p = Outline({Angles(0, 0), Angles(1, 0), Angles(0.5, 0.5)});
  p.m_Triangle.emplace_back(CKelCoord2D(0, 0), CKelCoord2D(1, 0), CKelCoord2D(0, 1));
  p.m_Triangle.back().SetTriangleParam();
  p.m_BowShape.emplace_back(0, 1, 0.25);
  p.m_area = 0.125;
  p.m_bFlag = true;
  return p;
}

TEST(CSphereRatioBlockParam, RecordsAndArchivesRoundTrip)
{
  const CSphereRatioBlockParam p = Sample();
  const Bytes saved = kel_test::SavedRecord(p);
  const int size = 4 + 4 + 3 * CSphereCoordD2D::kRecordBytes + 4 + CSphereTriangleData::kRecordBytes + 4 + 28 + 8;
  ASSERT_EQ(static_cast<std::size_t>(size), saved.size());
  CSphereRatioBlockParam back;
  int left = -1;
  ASSERT_TRUE(kel_test::LoadRecord(back, saved, size, &left));
  EXPECT_EQ(0, left);
  back.m_bFlag = true;  // not part of the binary record
  EXPECT_EQ(p, back);
  EXPECT_FALSE(kel_test::LoadRecord(back, saved, size - 1));

  // 1000 carries one more double after the area.
  Bytes old = saved;
  old[0] = 0xE8;  // 1000 = 0x3E8
  ByteBuilder tail;
  tail.F64s({9.5});
  old.insert(old.end(), tail.bytes.begin(), tail.bytes.end());
  CSphereRatioBlockParam fromOld;
  ASSERT_TRUE(kel_test::LoadRecord(fromOld, old, size + 8, &left));
  EXPECT_EQ(0, left);
  EXPECT_EQ(0.125, fromOld.m_area);

  // A count beyond the bytes left is refused before anything is resized.
  const Bytes huge = ByteBuilder().I32(1001).I32(1 << 30).bytes;
  EXPECT_FALSE(kel_test::LoadRecord(back, huge, 1 << 20));
  const Bytes badBow = ByteBuilder().I32(999).F64s({0, 1, 2}).bytes;
  CSphereBowShapeParam bow;
  EXPECT_FALSE(kel_test::LoadRecord(bow, badBow, 28));

  for (int version : {1, 2, 31, 32, 40}) {
    CSphereRatioBlockParam a;
    ASSERT_TRUE(kel_test::Unarchive(a, kel_test::Archived(p, version), version)) << version;
    CSphereRatioBlockParam expected = p;
    if (version < 2)
      expected.m_Triangle.clear();
    EXPECT_EQ(expected, a) << version;
    CSphereFunShapeParamArray fans, fansBack;
    fans.AddFunShape(0, 1);
    ASSERT_TRUE(kel_test::Unarchive(fansBack, kel_test::Archived(fans, version), version));
    EXPECT_EQ(fans, fansBack);
  }
  // Fans carry a dropped double up to version 31 only.
  CSphereFunShapeParamArray fans;
  EXPECT_EQ(kel_test::Archived(fans, 31).size(), kel_test::Archived(fans, 32).size() + 8);
}

}  // namespace
