// Check lines, walks along them and deemed sites.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "CClineDataPickup.h"
#include "CKelMSite.h"
#include "SiteOutlines.h"
#include "SiteTestSupport.h"

using namespace site_test;

namespace {

CKelArea<CKelCoord2D> Outline(std::initializer_list<std::pair<double, double>> pts)
{
  CKelArea<CKelCoord2D> a;
  a.m_pt = kel_test::Pts(pts);
  return a;
}

int CountKind(const CClineData& l, int kind)
{
  return static_cast<int>(std::count_if(l.begin(), l.end(), [kind](const CCrspnt& p) { return p.m_Kind == kind; }));
}

// The distance from p to the outline's edges.
double DistanceToOutline(const CKelArea<CKelCoord2D>& o, const CKelCoord2D& p)
{
  double best = 1e300;
  for (std::size_t k = 0; k < o.m_pt.size(); ++k) {
    CKelCoord2D foot;
    const CKelCoord2D& a = o.m_pt[k];
    const CKelCoord2D& b = o.m_pt[(k + 1) % o.m_pt.size()];
    best = std::min(best, linedist(a, b, p, &foot));
  }
  return best;
}

CKelHSite RoadSite(double w1, double w2)
{
  CKelHSite site = Site({{0, 0}, {20, 0}, {20, 15}, {0, 15}});
  MakeRoad(site, 0, w1, w2);
  BuildRoads(site);
  return site;
}

}  // namespace

// --- Check lines ----------------------------------------------------------------------

TEST(Cline, SquareHasFourRunsAndFourArcs)
{
  CClineData line(0, 5);
  ASSERT_TRUE(line.CreateCheckline(Outline({{0, 0}, {10, 0}, {10, 10}, {0, 10}})));
  EXPECT_EQ(4, CountKind(line, CCrspnt::kCentre));
  EXPECT_EQ(CCrspnt::kEnd, line.back().m_Kind);
  EXPECT_EQ(static_cast<int>(line.size()), line.CheckData());
  EXPECT_NEAR(40 + 10 * KelAngle::Pi, line.GetLength(), 1e-9);
  EXPECT_NEAR(71.415927, line.GetLength(), 1e-6);
}

TEST(Cline, ConcaveCornerGetsOneMitre)
{
  CClineData line(0, 5);
  ASSERT_TRUE(line.CreateCheckline(Outline({{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}})));
  EXPECT_EQ(5, CountKind(line, CCrspnt::kCentre));
  EXPECT_NEAR(70 + 12.5 * KelAngle::Pi, line.GetLength(), 1e-9);
  EXPECT_NEAR(109.269908, line.GetLength(), 1e-6);
  const auto mitre = std::find_if(line.begin(), line.end(), [](const CCrspnt& p) { return p == CKelCoord2D(15, 15); });
  ASSERT_NE(line.end(), mitre);
  EXPECT_EQ(CCrspnt::kLinePoint, mitre->m_Kind);

  // A corner of 179.95 degrees is mitred, not rounded.
  const double t = (180 - 179.95) * KelAngle::Pi / 180;
  CClineData flat(0, 5);
  ASSERT_TRUE(flat.CreateCheckline(Outline({{0, 0}, {10, 0}, {20, 10 * std::tan(t)}, {20, 20}, {0, 20}})));
  EXPECT_EQ(4, CountKind(flat, CCrspnt::kCentre));
}

TEST(Cline, NarrowNotchLosesItsLoop)
{
  const CKelArea<CKelCoord2D> o = Outline({{0, 0}, {30, 0}, {30, 10}, {16, 10}, {16, 4}, {14, 4}, {14, 10}, {0, 10}});
  CClineData raw(0, 5);
  raw.set_checkline(o);
  CClineData line(0, 5);
  ASSERT_TRUE(line.CreateCheckline(o));
  EXPECT_LT(line.GetLength(), raw.GetLength());
  EXPECT_FALSE(CClineData(line).check_cline());
  for (const ClineElement& e : line.Elements()) {
    if (!e.IsArc()) {
      EXPECT_GT(DistanceToOutline(o, line[static_cast<std::size_t>(e.end)]), 5 - 1e-6);
    }
  }
  EXPECT_NEAR(78 + 10 * std::asin(0.2) + 10 * KelAngle::Pi, line.GetLength(), 1e-9);
}

// The length of the line at distance d outside the star, found apart from
// the check line: on rays from the origin, where the distance to the star's
// nearby edges reaches d.
double StarOffsetLength(const CKelArea<CKelCoord2D>& star, double d, int rays)
{
  const int n = static_cast<int>(star.m_pt.size());
  const int window = n / 40 + 2;  // the edges within about 0.16 rad
  const auto distance = [&](const CKelCoord2D& p, int near) {
    double best = 1e300;
    for (int k = near - window; k <= near + window; ++k) {
      CKelCoord2D foot;
      best = std::min(best, linedist(star.m_pt[static_cast<std::size_t>((k % n + n) % n)],
                                     star.m_pt[static_cast<std::size_t>(((k + 1) % n + n) % n)], p, &foot));
    }
    return best;
  };
  double length = 0;
  CKelCoord2D first, last;
  for (int r = 0; r < rays; ++r) {
    const double a = KelAngle::TwoPi * r / rays;
    const int near = static_cast<int>(std::lround(a / KelAngle::TwoPi * n));
    double lo = 100, hi = 100 + 2 * d;
    for (int i = 0; i < 50; ++i) {
      const double mid = 0.5 * (lo + hi);
      (distance(CKelCoord2D(mid * std::cos(a), mid * std::sin(a)), near) < d ? lo : hi) = mid;
    }
    const CKelCoord2D p(lo * std::cos(a), lo * std::sin(a));
    if (r == 0)
      first = p;
    else
      length += length_2point(last, p);
    last = p;
  }
  return length + length_2point(last, first);
}

// The check line is closed, keeps its distance from the outline at every
// point, crosses itself nowhere and is about as long as the expected line.
void ExpectCleanCheckLine(const CKelArea<CKelCoord2D>& o, const CClineData& line, double expectedLength)
{
  ASSERT_EQ(static_cast<int>(line.size()), line.CheckData());
  const std::vector<ClineElement> elements = line.Elements();
  ASSERT_FALSE(elements.empty());
  EXPECT_EQ(static_cast<const CKelCoord2D&>(line[0]), line[static_cast<std::size_t>(elements.back().end)]);
  for (const ClineElement& e : elements)
    EXPECT_GE(DistanceToOutline(o, line[static_cast<std::size_t>(e.end)]), line.m_Distance - 1e-5);
  EXPECT_FALSE(CClineData(line).check_cline());
  EXPECT_NEAR(expectedLength, line.GetLength(), 0.03 * expectedLength);
}

// Round a many-sided outline the check line is mostly arcs: cutting a loop
// must keep the part that is longer with its arcs, not by its straight runs
// (which left ten points and 33 m of a 660 m line).
TEST(Cline, ManySidedStarsKeepTheirWholeLine)
{
  for (int n : {100, 200, 300, 500, 1000}) {
    SCOPED_TRACE(n);
    const CKelArea<CKelCoord2D> star = Star(n);
    CClineData line(0, 5);
    ASSERT_TRUE(line.CreateCheckline(star));
    ExpectCleanCheckLine(star, line, StarOffsetLength(star, 5, 2000));
  }
}

TEST(Cline, CombOfManyTeethIsBridgedAcrossItsGaps)
{
  for (int teeth : {10, 249}) {
    SCOPED_TRACE(teeth);
    const CKelArea<CKelCoord2D> comb = Comb(teeth);
    CClineData line(0, 5);
    ASSERT_TRUE(line.CreateCheckline(comb));
    // The gaps are bridged: about the line round the comb's convex hull.
    const double w = 4.0 * teeth;
    const double hull = w + std::hypot(2, 15) + (w - 2) + 15;
    ExpectCleanCheckLine(comb, line, hull + KelAngle::TwoPi * 5);
  }
}

TEST(Cline, RandomConvexOutlinesMeasurePerimeterPlusCircle)
{
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> ang(0, KelAngle::TwoPi);
  std::uniform_real_distribution<double> rad(5, 20);
  for (int round = 0; round < 60; ++round) {
    std::vector<double> a;
    for (int k = 0; k < 3 + round % 9; ++k)
      a.push_back(ang(rng));
    std::sort(a.begin(), a.end());
    const double r = rad(rng);
    CKelArea<CKelCoord2D> o;
    for (double x : a)
      o.m_pt.emplace_back(r * std::cos(x), r * std::sin(x));
    bool straight = false;
    double perimeter = 0;
    for (int k = 0; k < static_cast<int>(o.m_pt.size()); ++k) {
      straight |= std::fabs(o.get_pointangle2(k) - KelAngle::Pi) < 0.1 * KelAngle::Pi / 180;
      perimeter += length_2point(o.m_pt[static_cast<std::size_t>(k)], o.m_pt[(static_cast<std::size_t>(k) + 1) % a.size()]);
    }
    if (straight)
      continue;
    const double d = 1 + round % 4;
    CClineData line(0, d);
    ASSERT_TRUE(line.CreateCheckline(o));
    SCOPED_TRACE(round);
    EXPECT_NEAR(perimeter + KelAngle::TwoPi * d, line.GetLength(), 1e-6);
    for (const ClineElement& e : line.Elements()) {
      if (e.IsArc()) {
        const CKelCoord2D& c = line[static_cast<std::size_t>(e.centre)];
        EXPECT_TRUE(std::any_of(o.m_pt.begin(), o.m_pt.end(), [&c](const CKelCoord2D& v) { return v == c; }));
      }
      EXPECT_NEAR(d, DistanceToOutline(o, line[static_cast<std::size_t>(e.end)]), 1e-9);
    }
  }
}

TEST(Cline, StoredLinesOfAnyShapeAreReadSafely)
{
  CClineData line(3, 5);
  line.emplace_back(0, 0, 1);
  line.emplace_back(3, 0, 7);   // an unknown kind reads as a line point
  line.emplace_back(3, 4, 2);
  line.emplace_back(9, 9, 11);  // a trailing centre ends the chain
  EXPECT_EQ(7.0, line.GetLength());
  EXPECT_EQ(-1, line.CheckData());
  double dist = 0.5;
  CKelCoord2D foot(-1, -1);
  EXPECT_EQ(-1, line.FindChkLinePoint(CKelCoord2D(1.5, 1.0), &dist, &foot));
  EXPECT_EQ(0.5, dist);
  EXPECT_EQ(-1.0, foot.m_x);
  dist = 2;
  EXPECT_EQ(0, line.FindChkLinePoint(CKelCoord2D(1.5, 1.0), &dist, &foot));
  EXPECT_EQ(1.0, dist);

  CClineData other(line);
  other.m_LineNo = 9;
  EXPECT_EQ(line, other);
  for (int v : {1, 2, 30}) {
    CClineData back;
    ASSERT_TRUE(kel_test::Unarchive(back, kel_test::Archived(line, v), v));
    EXPECT_EQ(line, back);
    EXPECT_EQ(3, back.m_LineNo);
  }
  const std::vector<CRS_PNT> old = line.GetOldParam();
  CClineData fromOld;
  EXPECT_FALSE(fromOld.FromOldParam(5, old.data(), 4));
  ASSERT_TRUE(fromOld.FromOldParam(4, old.data(), 4));
  EXPECT_EQ(7, fromOld[1].m_Kind);
}

// --- Walks ---------------------------------------------------------------------------------

namespace {

// An open line of segments along the x axis at the given stations.
CClineData Straight(std::initializer_list<double> xs)
{
  CClineData line(0, 5);
  for (double x : xs)
    line.emplace_back(x, 0, line.empty() ? 1 : 2);
  line.emplace_back(0, 0, 0);
  return line;
}

std::vector<double> Xs(const CClineDataPickup& pick)
{
  std::vector<double> xs;
  for (const CKelCoord2D& p : pick.m_Points)
    xs.push_back(p.m_x);
  return xs;
}

}  // namespace

TEST(ClineWalk, PitchCarriesOverPieces)
{
  CClineData one = Straight({0, 10, 0});
  CClineDataPickup p1;
  one.pickup_points(&p1, CClineCoord(CKelCoord2D(0, 0), 0), CClineCoord(CKelCoord2D(10, 0), 0), 0, 3);
  EXPECT_EQ((std::vector<double>{0, 3, 6, 9, 10}), Xs(p1));
  EXPECT_EQ(2.0, p1.m_Rest);

  CClineData two = Straight({0, 4, 8, 0});
  CClineDataPickup p2;
  two.pickup_points(&p2, CClineCoord(CKelCoord2D(0, 0), 0), CClineCoord(CKelCoord2D(8, 0), 1), 0, 3);
  EXPECT_EQ((std::vector<double>{0, 3, 6, 8}), Xs(p2));

  // An exact multiple still ends on the walk's end.
  CClineDataPickup p3;
  one.pickup_points(&p3, CClineCoord(CKelCoord2D(0, 0), 0), CClineCoord(CKelCoord2D(9, 0), 0), 0, 3);
  EXPECT_EQ((std::vector<double>{0, 3, 6, 9}), Xs(p3));

  // A pitch that cannot place anything stops the walk.
  for (double pitch : {0.0, 1e-6, std::nan(""), HUGE_VAL}) {
    CClineDataPickup bad;
    EXPECT_EQ(1, one.pickup_points(&bad, CClineCoord(CKelCoord2D(0, 0), 0), CClineCoord(CKelCoord2D(9, 0), 0), 0, pitch));
    EXPECT_TRUE(bad.m_Points.empty());
  }
}

TEST(ClineWalk, ArcsBehindAndProperty)
{
  CClineData square(0, 5);
  ASSERT_TRUE(square.CreateCheckline(Outline({{0, 0}, {10, 0}, {10, 10}, {0, 10}})));
  // The first arc, walked at a pitch of an eighth of a turn.
  const std::vector<ClineElement> el = square.Elements();
  const auto arc = std::find_if(el.begin(), el.end(), [](const ClineElement& e) { return e.IsArc(); });
  ASSERT_NE(el.end(), arc);
  CClineDataPickup pa;
  square.pickup_points(&pa, CClineCoord(square[static_cast<std::size_t>(arc->start)], arc->start),
                       CClineCoord(square[static_cast<std::size_t>(arc->end)], arc->start), 0, 5 * KelAngle::Pi / 4);
  ASSERT_EQ(3u, pa.m_Points.size());
  const CKelCoord2D& c = square[static_cast<std::size_t>(arc->centre)];
  for (std::size_t k = 1; k < 3; ++k) {
    const double a0 = std::atan2(pa.m_Points[k - 1].m_y - c.m_y, pa.m_Points[k - 1].m_x - c.m_x);
    const double a1 = std::atan2(pa.m_Points[k].m_y - c.m_y, pa.m_Points[k].m_x - c.m_x);
    EXPECT_NEAR(KelAngle::Pi / 4, std::remainder(a1 - a0, KelAngle::TwoPi), 1e-12);
  }

  // to behind from on one segment: once round, every step one pitch apart.
  const CKelCoord2D from = square[0].GetCoord(square[1], 0.5);
  const CKelCoord2D to = square[0].GetCoord(square[1], 0.25);
  CClineDataPickup round;
  const double pitch = 1.7;
  square.pickup_points(&round, CClineCoord(from, 0), CClineCoord(to, 0), 0, pitch);
  const double total = square.GetLength() - 2.5;
  EXPECT_EQ(static_cast<std::size_t>(std::floor(total / pitch)) + 2, round.m_Points.size());
  // Consecutive points on one straight run are one pitch apart.
  for (std::size_t k = 1; k + 1 < round.m_Points.size(); ++k) {
    const double d = length_2point(round.m_Points[k - 1], round.m_Points[k]);
    EXPECT_LE(d, pitch + 1e-9);
  }
  kel_test::ExpectXY(to.m_x, to.m_y, round.m_Points.back());

  CClineDataPickup2 copy;
  CKelCoord2D a(1, 0), b(0, 1), cc(0, 0);
  copy.from_circle(CClineDataPickupCore::kClockwise, &a, &b, &cc, 1);
  ASSERT_EQ(3u, copy.m_Points.size());
  EXPECT_EQ(CCrspnt(0, 1, 1), copy.m_Points[0]);
  EXPECT_EQ(CCrspnt(0, 0, 11), copy.m_Points[1]);
  EXPECT_EQ(CCrspnt(1, 0, 2), copy.m_Points[2]);
}

// --- Deemed sites ----------------------------------------------------------------------------

TEST(MSite, RoadEdgesByWidth)
{
  struct Row {
    double w1, w2;
    std::vector<std::pair<double, double>> pts;
    double area;
  } rows[] = {
      {6, 6, {{0, 0}, {0, -3}, {20, -3}, {20, 0}, {20, 15}, {0, 15}}, 360},
      {12, 12, {{0, 0}, {0, -7}, {20, -7}, {20, 0}, {20, 15}, {0, 15}}, 440},
      {8, 14, {{0, 0}, {-0.614144, -4.0}, {5.898987, -5.0}, {17.3, -8.585453}, {20, 0}, {20, 15}, {0, 15}}, 417.115126},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.w2);
    CKelMSite m;
    EXPECT_EQ(static_cast<int>(r.pts.size()), m.SiteMAutoSet(RoadSite(r.w1, r.w2)));
    ASSERT_EQ(r.pts.size(), m.m_pt.size());
    for (std::size_t k = 0; k < r.pts.size(); ++k)
      kel_test::ExpectXY(r.pts[k].first, r.pts[k].second, m.m_pt[k], 1e-6);
    EXPECT_NEAR(r.area, m.m_area, 1e-6);
  }
  CKelMSite m;
  m.SiteMAutoSet(RoadSite(6, 6));
  ASSERT_TRUE(m.CreateCheckLine());
  EXPECT_NEAR(107.415927, m.m_ChkLine1.GetLength(), 1e-6);
  EXPECT_NEAR(138.831853, m.m_ChkLine2.GetLength(), 1e-6);

  CKelMSite untouched = m;
  EXPECT_EQ(0, untouched.SiteMAutoSet(Square()));  // no roads
  EXPECT_EQ(m, untouched);
}

TEST(MSite, DistancesCompareAndArchive)
{
  CKelMSite m;
  ASSERT_EQ(1, m.default_minashi_data(Square()));
  EXPECT_EQ(2500.0, m.CalcSiteDistance(CKelCoord2D(5, 5)));
  EXPECT_EQ(0.0, m.CalcSiteDistance3(CKelCoord2D(5, 5)));
  EXPECT_EQ(2.0, m.CalcSiteDistance(CKelCoord2D(5, -2)));
  EXPECT_EQ(2.0, m.CalcSiteDistance3(CKelCoord2D(5, -2)));

  m.m_ChkLine1.m_Distance = 0;
  ASSERT_TRUE(m.CreateCheckLine());
  EXPECT_EQ(0.01, m.m_ChkLine1.m_Distance);
  CKelMSite other = m;
  other.m_area += 2e-5;
  EXPECT_NE(m, other);
  for (int v : {1, 2, 30}) {
    CKelMSite back;
    ASSERT_TRUE(kel_test::Unarchive(back, kel_test::Archived(m, v), v));
    EXPECT_EQ(m, back);
  }
  std::vector<XY_FPAIR> pts = {{0, 0}, {4, 0}, {4, 3}};
  SITEAREA old;
  old.count = 4;
  EXPECT_FALSE(other.FromOldParam(old, pts.data(), 3, 5, 10));
  old.count = 3;
  ASSERT_TRUE(other.FromOldParam(old, pts.data(), 3, 6, 12));
  EXPECT_EQ(6.0, other.m_area);
  EXPECT_EQ(12.0, other.m_ChkLine2.m_Distance);

  // An old record can hold a point beyond any site: its lines cannot be
  // traced, and the deemed site says so instead of keeping raw lines.
  pts[2] = {4, 3e12f};
  ASSERT_TRUE(other.FromOldParam(old, pts.data(), 3, 6, 12));
  EXPECT_FALSE(other.CreateCheckLine());
  EXPECT_TRUE(other.m_ChkLine1.empty());
  EXPECT_TRUE(other.m_ChkLine2.empty());
}

TEST(ClineWalk, PlacedPointsArePitchApartAlongStraightRuns)
{
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> seg(0.2, 6);
  std::uniform_real_distribution<double> pitchOf(0.3, 2.5);
  for (int round = 0; round < 40; ++round) {
    CClineData line(0, 5);
    double x = 0;
    line.emplace_back(0, 0, 1);
    for (int k = 0; k < 5; ++k) {
      x += seg(rng);
      line.emplace_back(x, 0, 2);
    }
    line.emplace_back(0, 0, 0);
    const double pitch = pitchOf(rng);
    CClineDataPickup pick;
    line.pickup_points(&pick, CClineCoord(line[0], 0), CClineCoord(line[5], 4), 0, pitch);
    SCOPED_TRACE(round);
    ASSERT_GE(pick.m_Points.size(), 2u);
    for (std::size_t k = 1; k + 1 < pick.m_Points.size(); ++k)
      EXPECT_NEAR(pitch, pick.m_Points[k].m_x - pick.m_Points[k - 1].m_x, 1e-9);
    EXPECT_EQ(x, pick.m_Points.back().m_x);
    EXPECT_LE(pick.m_Points.back().m_x - pick.m_Points[pick.m_Points.size() - 2].m_x, pitch + 1e-9);
  }
}

TEST(MSite, CornerCutVanishesBetweenRoads)
{
  CKelHSite site = Site({{0, 0}, {18, 0}, {20, 2}, {20, 15}, {0, 15}});
  MakeRoad(site, 0, 6, 6);
  MakeCut(site, 1);
  MakeRoad(site, 2, 6, 6);
  BuildRoads(site);
  CKelMSite m;
  m.SiteMAutoSet(site);
  kel_test::ExpectPoints({{0, 0}, {0, -3}, {23, -3}, {23, 15}, {20, 15}, {0, 15}}, m.m_pt, 1e-9);

  // Widths straddling 10 m with no split fit no rule.
  CKelHSite odd = RoadSite(12, 8);
  CXYtemp2 line;
  EXPECT_EQ(CKelMSite::kNoLine, CKelMSite::create_auto_line1(odd, 0, &line));
  EXPECT_EQ(CKelMSite::kLine, CKelMSite::create_auto_line1(RoadSite(10.0005, 8), 0, &line));
}

TEST(MSite, SelfCrossingOutlineKeepsOnePart)
{
  // A bow tie: the crossing goes into both crossing edges once.
  CKelAreaCoord2D bow = kel_test::Poly({{0, 0}, {10, 10}, {10, 0}, {0, 10}});
  ASSERT_TRUE(CKelMSite::CheckCrossLine(bow));
  EXPECT_EQ(6u, bow.m_pt.size());
  EXPECT_EQ(2, std::count(bow.m_pt.begin(), bow.m_pt.end(), CKelCoord2D(5, 5)));
  EXPECT_FALSE(CKelMSite::CheckCrossLine(bow));
  CKelMSite::DeleteReveseArea(bow);
  EXPECT_EQ(3u, bow.m_pt.size());
  EXPECT_NEAR(25.0, bow.Area(), 1e-12);

  // Deemed lines missing each other at a sharp bend, joined end to start:
  // three pinches, the same part kept from whichever vertex it starts.
  const std::vector<CKelCoord2D> bend{{0, 0}, {0, -6.5}, {3.5, -6.5}, {-2, -3.5}, {0.2, -7}, {5.7, -3.7}, {5.7, 12}, {0, 12}};
  for (std::size_t start = 0; start < bend.size(); ++start) {
    CKelAreaCoord2D outline;
    outline.m_pt.assign(bend.begin() + static_cast<long>(start), bend.end());
    outline.m_pt.insert(outline.m_pt.end(), bend.begin(), bend.begin() + static_cast<long>(start));
    ASSERT_TRUE(CKelMSite::CheckCrossLine(outline));
    for (std::size_t before = outline.m_pt.size() + 1; outline.m_pt.size() < before;) {
      before = outline.m_pt.size();
      CKelMSite::DeleteReveseArea(outline);
    }
    EXPECT_NEAR(101.284090909, outline.Area(), 1e-9) << start;
  }
}

TEST(ClineWalk, TinyArcPlacesItsEnds)
{
  CClineDataPickup pick;
  pick.m_Pitch = 1;
  pick.m_AnglePitch = 1e6;
  CKelCoord2D a(1, 0), b(0, 1), c(0, 0);  // a radius given as tiny
  EXPECT_EQ(0, pick.from_circle(CClineDataPickupCore::kLastPiece, &a, &b, &c, 1e-6));
  EXPECT_EQ(2u, pick.m_Points.size());
}

TEST(Cline, CrossingsWithRaysAndElements)
{
  CClineData line(0, 5);
  ASSERT_TRUE(line.CreateCheckline(Outline({{0, 0}, {10, 0}, {10, 10}, {0, 10}})));
  CKelCoord2D x;
  // North from the centre: the top run at y = 15.
  const int top = line.cross_checkline(0, CKelCoord2D(5, 5), CKelCoord2D(5, 100), &x);
  ASSERT_GE(top, 0);
  kel_test::ExpectXY(5, 15, x, 1e-9);
  // Towards the north-east corner: its arc, found by its centre.
  const double r = 5 / std::sqrt(2.0);
  const int corner = line.cross_checkline(-KelAngle::Pi / 4, CKelCoord2D(5, 5), CKelCoord2D(100, 100), &x);
  ASSERT_GE(corner, 0);
  EXPECT_TRUE(line.IsCenter(corner));
  kel_test::ExpectXY(10 + r, 10 + r, x, 1e-9);
  EXPECT_THROW(CClineData().cross_checkline(0, x, x, nullptr), std::out_of_range);

  int kind = -1;
  const int hit = line.check_cross_cline(2, CKelCoord2D(5, 5), CKelCoord2D(5, -20), CKelCoord2D(), 0, &kind, &x);
  ASSERT_GE(hit, 0);
  kel_test::ExpectXY(5, -5, x, 1e-9);
  EXPECT_EQ(CCrspnt::kLinePoint, kind);
  EXPECT_EQ(-1, line.check_cross_cline(2, CKelCoord2D(1, 1), CKelCoord2D(2, 2), CKelCoord2D(), 0, nullptr, nullptr));
}
