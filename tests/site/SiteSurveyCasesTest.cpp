// Surveyed sites that once went wrong: a corner cut split by survey points,
// a notch splitting the road strip, a point beside a reflex corner running a
// road into the site, a run back along the frontage; and clean sites whose
// road table and deemed site must stay exactly as the algorithms give them.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "CKelHSite.h"
#include "CKelMSite.h"
#include "SiteAreaJudge.h"
#include "SiteTestSupport.h"

namespace {

using site_test::AreaJudge;
using site_test::PolygonSet;

CKelHSite Site(const std::vector<CKelCoord2D>& pts, const std::vector<int>& roads, const std::vector<int>& cuts = {})
{
  CKelHSite s(pts);
  s.SetArea();
  s.SetMaxMin();
  for (int e : roads)
    site_test::MakeRoad(s, e, 6, 6);
  for (int e : cuts)
    site_test::MakeCut(s, e);
  return s;
}

PolygonSet Quads(const CKelHSite& site)
{
  PolygonSet out;
  for (const CSiteRoadTable& r : site.m_Road)
    out.push_back({r.m_SiteBeg, r.m_SiteEnd, r.m_FarEnd, r.m_FarBeg});
  return out;
}

// The area the road quads cover inside the site's outline.
double RoadInside(const CKelHSite& site)
{
  const PolygonSet roads = Quads(site);
  site_test::Polygon outline(site.m_pt.begin(), site.m_pt.end());
  PolygonSet both = roads;
  both.push_back(outline);
  return AreaJudge::UnionArea(roads) + AreaJudge::UnionArea({outline}) - AreaJudge::UnionArea(both);
}

struct Built {
  int m_Check;
  CKelHSite m_Site;
};

Built Build(CKelHSite site)
{
  const int check = site.CheckError(true);
  site_test::BuildRoads(site);
  return {check, site};
}

}  // namespace

// A 2.83 m corner cut split by one survey point (on the line, 0.1 mm or 1 mm
// beside it) or by three points alternately 0.1 mm either side: every piece
// is marked, and the run is one corner cut between its two roads.
TEST(SiteSurveyCases, CornerCutWithSurveyPointsIsOneCut)
{
  const double h = 0.0001 / std::sqrt(2.0), k = 0.001 / std::sqrt(2.0);
  struct Row {
    const char* m_Name;
    std::vector<CKelCoord2D> m_Pts;
    std::vector<int> m_Roads, m_Cuts;
  };
  const Row rows[] = {
      {"on the line", {{0, 0}, {18, 0}, {19, 1}, {20, 2}, {20, 30}, {0, 30}}, {0, 3}, {1, 2}},
      {"0.1 mm outside", {{0, 0}, {18, 0}, {19 + h, 1 - h}, {20, 2}, {20, 30}, {0, 30}}, {0, 3}, {1, 2}},
      {"0.1 mm inside", {{0, 0}, {18, 0}, {19 - h, 1 + h}, {20, 2}, {20, 30}, {0, 30}}, {0, 3}, {1, 2}},
      {"1 mm outside", {{0, 0}, {18, 0}, {19 + k, 1 - k}, {20, 2}, {20, 30}, {0, 30}}, {0, 3}, {1, 2}},
      {"in four, 0.1 mm either side",
       {{0, 0}, {18, 0}, {18.5 + h, 0.5 - h}, {19 - h, 1 + h}, {19.5 + h, 1.5 - h}, {20, 2}, {20, 30}, {0, 30}},
       {0, 5},
       {1, 2, 3, 4}},
      {"far away",
       {{3e5, 1e5}, {3e5 + 18, 1e5}, {3e5 + 19 + h, 1e5 + 1 - h}, {3e5 + 20, 1e5 + 2}, {3e5 + 20, 1e5 + 30}, {3e5, 1e5 + 30}},
       {0, 3},
       {1, 2}}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.m_Name);
    const Built b = Build(Site(r.m_Pts, r.m_Roads, r.m_Cuts));
    EXPECT_EQ(0, b.m_Check);
    ASSERT_EQ(2u, b.m_Site.m_Road.size());
    EXPECT_EQ(1u, b.m_Site.m_Cross.size());
    // The crossing across the cut is found from each of its pieces.
    for (int cut : r.m_Cuts)
      EXPECT_EQ(0, b.m_Site.SCrossTargetNo(cut));
    CKelMSite deemed;
    deemed.SiteMAutoSet(b.m_Site);
    EXPECT_NEAR(759.0, deemed.m_area, 1e-6);
  }
  // A cut piece with a neighbour edge beyond it is still refused.
  EXPECT_EQ(4, Build(Site({{0, 0}, {18, 0}, {19, 1}, {20, 2}, {20, 30}, {0, 30}}, {0}, {1, 2})).m_Check);
}

// A notch 0.9 mm deep and 1, 2 or 5 mm wide on a road edge (its pieces
// marked road): no gap in the road strip and no road inside the site.
TEST(SiteSurveyCases, NotchKeepsTheRoadStrip)
{
  const Built clean = Build(Site({{0, 0}, {20, 0}, {20, 30}, {0, 30}}, {0, 1}));
  for (const double w : {0.001, 0.002, 0.005}) {
    SCOPED_TRACE(w);
    const Built b = Build(Site({{0, 0}, {20, 0}, {20, 11.1}, {19.9991, 11.1}, {19.9991, 11.1 + w}, {20, 11.1 + w}, {20, 30}, {0, 30}},
                               {0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(0, b.m_Check);
    EXPECT_EQ(6u, b.m_Site.m_Road.size());  // one road per road edge
    EXPECT_LE(AreaJudge::XorArea(Quads(clean.m_Site), Quads(b.m_Site)), 400 * 0.0009 + 0.001);
    EXPECT_LE(RoadInside(b.m_Site), 400 * 0.0009 + 0.001);
  }
}

// A frontage with a reflex step, every frontage edge a 6 m road; one survey
// point on an edge, on the line or 1 mm beside it. The road on the split
// edge once began 5 m inside the site.
TEST(SiteSurveyCases, PointBesideAReflexCornerKeepsTheRoadOutside)
{
  const Built clean = Build(Site({{0, 0}, {12, 0}, {12, -4}, {25, -4}, {25, 20}, {0, 20}}, {0, 1, 2}));
  ASSERT_EQ(0.0, RoadInside(clean.m_Site));
  const std::vector<CKelCoord2D> rows[] = {
      {{0, 0}, {12, 0}, {12, -2}, {12, -4}, {25, -4}, {25, 20}, {0, 20}},
      {{0, 0}, {12, 0}, {12.001, -2}, {12, -4}, {25, -4}, {25, 20}, {0, 20}},
      {{0, 0}, {12, 0}, {11.999, -2}, {12, -4}, {25, -4}, {25, 20}, {0, 20}},
      {{0, 0}, {6, 0.001}, {12, 0}, {12, -4}, {25, -4}, {25, 20}, {0, 20}},
      {{0, 0}, {6, -0.001}, {12, 0}, {12, -4}, {25, -4}, {25, 20}, {0, 20}}};
  for (const auto& pts : rows) {
    SCOPED_TRACE(std::to_string(pts[1].m_x) + ", " + std::to_string(pts[2].m_x));
    const Built b = Build(Site(pts, {0, 1, 2, 3}));
    EXPECT_EQ(0, b.m_Check);
    EXPECT_LE(RoadInside(b.m_Site), 400 * 0.001 + 0.001);
    EXPECT_LE(AreaJudge::XorArea(Quads(clean.m_Site), Quads(b.m_Site)), 400 * 0.001 + 0.001);
  }
}

// A 2 mm run back along the frontage, landing on a 10 micrometre piece: the
// road no longer runs 81 m out, and the deemed site stays the clean one.
TEST(SiteSurveyCases, BacktrackAlongTheFrontageChangesNothing)
{
  const Built clean = Build(Site({{0, 0}, {20, 0}, {20, 30}, {0, 30}}, {0}));
  const Built b = Build(Site({{0, 0}, {3.86, 0}, {3.86, 0.0003}, {3.862, 0.0003}, {3.862, 0}, {3.86001, 0}, {20, 0}, {20, 30}, {0, 30}},
                             {0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(0, b.m_Check);
  EXPECT_LE(AreaJudge::XorArea(Quads(clean.m_Site), Quads(b.m_Site)), 400 * 0.002 + 0.001);
  EXPECT_LE(RoadInside(b.m_Site), 400 * 0.002 + 0.001);
  CKelMSite cleanDeemed, deemed;
  cleanDeemed.SiteMAutoSet(clean.m_Site);
  deemed.SiteMAutoSet(b.m_Site);
  EXPECT_NEAR(cleanDeemed.m_area, deemed.m_area, 300 * 0.002 + 0.002);
}

// Clean input keeps one road per road edge: a frontage entered as two
// collinear road edges with widths and heights in line is two roads, each
// cut at the joint with its own far side, optno 0 and 1.
TEST(SiteSurveyCases, CollinearRoadEdgesAreTwoRoads)
{
  for (const bool heights : {false, true}) {
    CKelHSite s = Site({{0, 0}, {10, 0}, {20, 0}, {20, 30}, {0, 30}}, {0, 1});
    if (heights) {
      s.m_pt[0].m_RoadHeight1 = 0;
      s.m_pt[0].m_RoadHeight2 = 1;
      s.m_pt[1].m_RoadHeight1 = 1;
      s.m_pt[1].m_RoadHeight2 = 2;
    }
    const Built b = Build(s);
    ASSERT_EQ(2u, b.m_Site.m_Road.size());
    EXPECT_EQ(0, b.m_Site.m_pt[0].optno);
    EXPECT_EQ(1, b.m_Site.m_pt[1].optno);
    const CSiteRoadTable& r0 = b.m_Site.m_Road[0];
    const CSiteRoadTable& r1 = b.m_Site.m_Road[1];
    EXPECT_EQ(0, r0.m_no);
    EXPECT_EQ(1, r1.m_no);
    EXPECT_EQ(0x1111, r0.m_Flag);
    EXPECT_EQ(0x2222, r1.m_Flag);
    EXPECT_EQ(-5.0, r0.m_SiteBeg.m_x);
    EXPECT_EQ(10.0, r0.m_SiteEnd.m_x);
    EXPECT_EQ(10.0, r0.m_FarEnd.m_x);
    EXPECT_EQ(-6.0, r0.m_FarEnd.m_y);
    EXPECT_EQ(10.0, r1.m_SiteBeg.m_x);
    EXPECT_EQ(25.0, r1.m_SiteEnd.m_x);
    EXPECT_EQ(25.0, r1.m_FarEnd.m_x);
    EXPECT_TRUE(b.m_Site.m_Cross.empty());
  }
}

// A lone road edge of 1 or 2 mm between neighbour edges gets its road, and
// the deemed site keeps the rest of the outline.
TEST(SiteSurveyCases, LoneShortRoadEdgeGetsItsRoad)
{
  for (const double len : {0.001, 0.002}) {
    SCOPED_TRACE(len);
    const Built b = Build(Site({{0, 0}, {10, 0}, {10 + len, 0}, {20, 0}, {20, 30}, {0, 30}}, {1}));
    ASSERT_EQ(1u, b.m_Site.m_Road.size());
    EXPECT_EQ(1, b.m_Site.m_Road[0].m_no);
    EXPECT_EQ(0, b.m_Site.m_pt[1].optno);
    CKelMSite deemed;
    EXPECT_EQ(8, deemed.SiteMAutoSet(b.m_Site));
    EXPECT_NEAR(600 + 3 * len, deemed.m_area, 1e-9);
  }
}

// A road piece 0.5 mm long left by a doubled point after a corner cut has
// its own road, and the cut's crossing target is that road's crossing.
TEST(SiteSurveyCases, EveryRoadEdgeNamesARoad)
{
  const Built b = Build(Site({{0, 0}, {17, 0}, {20, 3}, {20, 3.0005}, {20, 30}, {0, 30}}, {0, 2, 3}, {1}));
  EXPECT_EQ(0, b.m_Check);
  ASSERT_EQ(3u, b.m_Site.m_Road.size());
  for (int e : {0, 2, 3})
    EXPECT_EQ(e, b.m_Site.m_Road[static_cast<std::size_t>(b.m_Site.m_pt[static_cast<std::size_t>(e)].optno)].m_no);
  EXPECT_EQ(0, b.m_Site.SCrossTargetNo(1));
  ASSERT_EQ(1u, b.m_Site.m_Cross.size());
  EXPECT_EQ(1, b.m_Site.m_Cross[0].m_Road2);
}

// A frontage bent by 0.005 or 0.01 degrees is two frontages: the deemed
// site keeps the bend, so a point 0.5 m beyond the first road's centre line
// at the bend is 0.5 m from it.
TEST(SiteSurveyCases, SlightBendKeepsItsDeemedLines)
{
  for (const double degrees : {0.005, 0.01}) {
    SCOPED_TRACE(degrees);
    const double t = degrees * KelAngle::Pi / 180, L = 50;
    const Built b = Build(Site({{0, 0}, {L, 0}, {L + L * std::cos(t), L * std::sin(t)}, {L + L * std::cos(t), 30}, {0, 30}}, {0, 1}));
    EXPECT_EQ(2u, b.m_Site.m_Road.size());
    CKelMSite deemed;
    deemed.SiteMAutoSet(b.m_Site);
    EXPECT_NEAR(0.5, deemed.CalcSiteDistance3(CKelCoord2D(L - 1, -3.5)), 1e-9);
  }
}

// One to three tiny edges, each marked road or left unmarked, in every
// order, round the corner at the end of a 20 m frontage: some on the
// frontage's line before the corner, the others up the neighbour edge after
// it. Every road edge names its own road. Where the road reaches the corner
// and no road edge runs on past it, the roads and the deemed site are the
// clean ones; otherwise they move no more than the tiny edges are long.
// A road listed to a hair before the corner, the corner then listed again
// on the neighbour edge, ends where it is listed, whichever way round the
// outline runs: the deemed site moves by that hair along its 30 m depth.
TEST(SiteSurveyCases, TinyEdgesInEveryOrderAroundACornerKeepTheirRoads)
{
  const Built clean = Build(Site({{0, 0}, {20, 0}, {20, 30}, {0, 30}}, {0}));
  const double gaps[] = {0.003, 1e-7, 0.002};
  for (int count = 1; count <= 3; ++count) {
    for (int marks = 0; marks < (1 << count); ++marks) {
      for (int before = 0; before <= count; ++before) {
        double x = 20;
        for (int k = 0; k < before; ++k)
          x -= gaps[k];
        std::vector<CKelCoord2D> pts = {{0, 0}, {x, 0}};
        double y = 0;
        for (int k = 0; k < count; ++k) {
          if (k < before)
            x = k + 1 == before ? 20 : x + gaps[k];
          else
            y += gaps[k];
          pts.emplace_back(x, y);
        }
        pts.insert(pts.end(), {{20, 30}, {0, 30}});
        // Edge 0 is the frontage, edge k + 1 the tiny edge k. An edge of
        // 1e-7 m is a point listed again: its mark goes with it.
        std::vector<int> roads = {0};
        bool pastCorner = false;
        int last = -1;  // the last tiny edge before the corner that is no repeat
        for (int k = 0; k < count; ++k) {
          const bool repeat = gaps[k] <= KelTol::SiteSurveyRepeat;
          last = k < before && !repeat ? k : last;
          if ((marks >> k & 1) != 0) {
            roads.push_back(k + 1);
            pastCorner = pastCorner || (k >= before && !repeat);
          }
        }
        const bool toCorner = last < 0 || (marks >> last & 1) != 0;
        SCOPED_TRACE(std::to_string(count) + " tiny edges, marks " + std::to_string(marks) + ", " +
                     std::to_string(before) + " before the corner");
        const Built b = Build(Site(pts, roads));
        EXPECT_EQ(0, b.m_Check);
        ASSERT_EQ(roads.size(), b.m_Site.m_Road.size());
        for (int e : roads) {
          const int optno = b.m_Site.m_pt[static_cast<std::size_t>(e)].optno;
          ASSERT_GE(optno, 0) << e;
          EXPECT_EQ(e, b.m_Site.m_Road[static_cast<std::size_t>(optno)].m_no);
        }
        const bool exact = toCorner && !pastCorner;
        EXPECT_LE(AreaJudge::XorArea(Quads(clean.m_Site), Quads(b.m_Site)), exact ? 1e-3 : 400 * 0.005 + 0.001);
        CKelMSite deemed;
        deemed.SiteMAutoSet(b.m_Site);
        EXPECT_NEAR(660, deemed.m_area, exact ? 1e-6 + 30 * KelTol::SiteSurveyRepeat : 300 * 0.005 + 0.002);
      }
    }
  }
}

// A corner lot on a 6 m and a 12 m road whose survey gives, just before the
// corner on the first road's line, one to three tiny edges of every kind in
// every order (a piece of either road, a corner cut, an unmarked edge), 1e-6
// or 0.01 m each; the same where the east side is a neighbour's. No road
// edge is left without its own road, and the deemed site moves no more than
// the tiny edges do (it once folded to four points, losing the strips, and
// a tiny road between two tiny cuts made a second corner of 28 m2).
TEST(SiteSurveyCases, TinyEdgesOfEveryKindAtARoadCornerKeepTheirRoads)
{
  constexpr int kCut = -1;
  const int kinds[] = {6, 12, kCut, 0};
  for (const int east : {12, 0})
  for (const bool up : {false, true})  // the tiny edges up the east line
  for (const double s : {1e-6, 0.01}) {
    for (int count = 1; count <= 3; ++count) {
      const int orders = count == 1 ? 4 : count == 2 ? 16 : 64;
      for (int code = 0; code < orders; ++code) {
        std::vector<CKelCoord2D> pts = {{0, 0}};
        std::vector<int> kind = {6};
        for (int k = 0, c = code; k < count; ++k, c /= 4) {
          pts.push_back(up ? CKelCoord2D(20, k * s) : CKelCoord2D(20 - (count - k) * s, 0));
          kind.push_back(kinds[c % 4]);
        }
        pts.insert(pts.end(), {{20, up ? count * s : 0}, {20, 15}, {0, 15}});
        kind.insert(kind.end(), {east, 0, 0});
        CKelHSite site(pts);
        site.SetArea();
        site.SetMaxMin();
        for (std::size_t e = 0; e < kind.size(); ++e) {
          if (kind[e] == kCut)
            site_test::MakeCut(site, static_cast<int>(e));
          else if (kind[e] > 0)
            site_test::MakeRoad(site, static_cast<int>(e), kind[e], kind[e]);
        }
        SCOPED_TRACE(std::to_string(east) + " m east, up " + std::to_string(up) + ", " + std::to_string(s) + " m, order " + std::to_string(code) +
                     " of " + std::to_string(count));
        const Built b = Build(site);
        if (b.m_Check != 0)
          continue;  // refused: nothing to read
        for (int e = 0; e < b.m_Site.GetSize(); ++e) {
          if (!b.m_Site.IsRoad(e))
            continue;
          const int optno = b.m_Site.m_pt[static_cast<std::size_t>(e)].optno;
          ASSERT_GE(optno, 0) << "road edge " << e;
          EXPECT_EQ(e, b.m_Site.m_Road[static_cast<std::size_t>(optno)].m_no);
        }
        CKelMSite deemed;
        deemed.SiteMAutoSet(b.m_Site);
        EXPECT_GE(deemed.m_pt.size(), east > 0 ? 6u : 4u);
        // The clean lot's 486 (or 360) m2, moved by edges of at most 3 s
        // along strips of at most 12 m.
        EXPECT_NEAR(east > 0 ? 486 : 360, deemed.m_area, 1e-6 + 3 * s * 12 * 2);
      }
    }
  }
}
