// Every reader of a site outline sees the outline without the points that
// enclose nothing, and moves no more than a survey stub moves the outline.
// Nine lots, each at the origin, turned, and turned 3e5 m away, get at every
// corner and along every edge a point listed again (exactly or 1e-12 to
// 1e-7 m away), a spike (its sides meeting up to 9e-7 m apart), a run back
// along the edge (10 cm, more than the tiny size, is refused) or a stub
// below the tiny size. Each reader's result (the site check, the road of
// each road edge, the road union, the crossings, the deemed site and the
// distance from it, the check line, the slant-line check of each road edge
// with half and vertical cuts and its check points) is compared with the
// clean lot's at the same placement, and that with the lot at the origin;
// a point on an edge changes none. Repeats, spikes and back-tracks give the
// clean results within 1e-9 m and what they move; a stub of size s moves
// lengths by at most 20 s and areas by at most 400 s.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "CClineData.h"
#include "CKelMSite.h"
#include "CSyasenCheck.h"
#include "SiteAreaJudge.h"
#include "SitePlacement.h"
#include "SlantFixtures.h"

namespace {

using site_test::AreaJudge;
using site_test::Polygon;
using site_test::PolygonSet;

struct Lot {
  const char* m_Name;
  std::vector<CKelCoord2D> m_Pts;
  std::vector<int> m_Kind;  // per edge: 0 neighbour, 1 road, 2 corner cut
  std::vector<std::pair<double, double>> m_Width;
};

// A frontage drawn as twelve 1.31 m chords of a 30 m arc, as CAD outlines of
// curved roads arrive; its chords tie for the farthest point from the chord.
Lot ArcOfShortChords()
{
  const double radius = 30;
  const double step = 2 * std::asin(1.31 / 2 / radius);
  Lot lot{"arc of short chords", {}, {}, {}};
  for (int i = 0; i <= 12; ++i) {
    lot.m_Pts.push_back({radius * std::sin(i * step), radius - radius * std::cos(i * step)});
    if (i < 12) {
      lot.m_Kind.push_back(1);
      lot.m_Width.push_back({6, 6});
    }
  }
  lot.m_Pts.push_back({lot.m_Pts.back().m_x, 25});
  lot.m_Pts.push_back({0, 25});
  lot.m_Kind.insert(lot.m_Kind.end(), {0, 0, 0});
  lot.m_Width.insert(lot.m_Width.end(), 3, {0, 0});
  return lot;
}

std::vector<Lot> Lots()
{
  const std::pair<double, double> none{0, 0};
  return {
      ArcOfShortChords(),
      {"convex bend 20 | 4", {{0, 0}, {16, 0}, {30, 8}, {30, 33}, {0, 33}}, {1, 1, 0, 0, 0},
       {{20, 20}, {4, 4}, none, none, none}},
      {"reflex bend 6 | 8", {{0, 0}, {15, 0}, {29.48888739433602, -3.882285676537811}, {29.48888739433602, 25}, {0, 25}},
       {1, 1, 0, 0, 0}, {{6, 6}, {8, 8}, none, none, none}},
      {"three roads with cuts", {{0, 2}, {2, 0}, {18, 0}, {20, 2}, {20, 30}, {0, 30}}, {2, 1, 2, 1, 0, 1},
       {none, {6, 6}, none, {4, 4}, none, {8, 8}}},
      {"crank", {{0, 0}, {12, 0}, {12, -4}, {25, -4}, {25, 20}, {0, 20}}, {1, 1, 1, 0, 0, 0},
       {{4, 4}, {6, 6}, {8, 8}, none, none, none}},
      {"taper", {{0, 0}, {24, 0}, {24, 18}, {0, 18}}, {1, 0, 0, 0}, {{4, 8}, none, none, none}},
      {"triangle", {{0, 0}, {25, 0}, {10, 18}}, {1, 0, 0}, {{6, 6}, none, none}},
      {"tapered bend", {{0, 0}, {16, 0}, {30, 8}, {30, 33}, {0, 33}}, {1, 1, 0, 0, 0},
       {{12, 12}, {20, 4.5}, none, none, none}},
      {"equal roads at a corner", {{0, 0}, {20, 0}, {20, 25}, {0, 25}}, {1, 1, 0, 0}, {{6, 6}, {6, 6}, none, none}},
      {"rectangle", {{0, 0}, {20, 0}, {20, 25}, {0, 25}}, {1, 0, 0, 0}, {{6, 6}, none, none, none}},
  };
}

// One listed point: where it is and the clean edge whose record it carries.
struct Pt {
  CKelCoord2D m_P;
  int m_From;
};
using Outline = std::vector<Pt>;

CKelCoord2D Along(const CKelCoord2D& a, const CKelCoord2D& b, double along, double across)
{
  const double len = a.GetLength(b);
  const double ux = (b.m_x - a.m_x) / len, uy = (b.m_y - a.m_y) / len;
  return {a.m_x + along * ux - across * uy, a.m_y + along * uy + across * ux};
}

// --- The changes ---------------------------------------------------------------

enum class Kind { Repeat, Spike, Stub, RunsBack };

struct Change {
  std::string m_Name;
  Outline m_Outline;
  Kind m_Kind;
  double m_S;  // a stub's size
  // What it is compared with: the clean lot, or for a change along an edge
  // the lot with the edge split at the changed point.
  Outline m_Reference;
};

// At corner k: the point listed again (the edge of no length carrying the
// arriving or the leaving edge's record), a spike 1.5 m in or out along
// the bisector, or a stub: a point 2 mm (or 1e-6 m) before or after the
// corner and half that off the line, outwards.
std::vector<Change> AtCorner(const Lot& lot, int k)
{
  const int n = static_cast<int>(lot.m_Pts.size());
  const CKelCoord2D& v = lot.m_Pts[static_cast<std::size_t>(k)];
  const CKelCoord2D& prev = lot.m_Pts[static_cast<std::size_t>((k + n - 1) % n)];
  const CKelCoord2D& next = lot.m_Pts[static_cast<std::size_t>((k + 1) % n)];
  const int before = (k + n - 1) % n;
  const CKelCoord2D a = Along(v, prev, 1, 0), b = Along(v, next, 1, 0);
  const CKelCoord2D in = Along(v, CKelCoord2D((a.m_x + b.m_x) / 2, (a.m_y + b.m_y) / 2), 1.5, 0);
  const CKelCoord2D out(2 * v.m_x - in.m_x, 2 * v.m_y - in.m_y);
  const std::string at = " at corner " + std::to_string(k);
  std::vector<Change> c;
  c.push_back({"repeat, arriving record" + at, {{v, before}, {v, k}}, Kind::Repeat, 0, {}});
  c.push_back({"repeat, leaving record" + at, {{v, k}, {v, k}}, Kind::Repeat, 0, {}});
  c.push_back({"spike in" + at, {{v, k}, {in, k}, {v, k}}, Kind::Spike, 0, {}});
  c.push_back({"spike out" + at, {{v, before}, {out, before}, {v, k}}, Kind::Spike, 0, {}});
  for (const double g : {1e-12, 1e-9, 1e-7}) {
    const std::string gap = " " + std::to_string(g) + " away";
    c.push_back({"near repeat" + gap + at, {{Along(v, prev, g, 0), before}, {v, k}}, Kind::Repeat, g, {}});
    c.push_back({"near repeat after" + gap + at, {{v, k}, {Along(v, next, g, g), k}}, Kind::Repeat, g, {}});
  }
  for (const double g : {1e-9, 9e-7}) {
    const std::string gap = " " + std::to_string(g) + " apart";
    c.push_back({"near spike in" + gap + at, {{v, k}, {in, k}, {Along(v, next, g, 0), k}}, Kind::Spike, g, {}});
    c.push_back({"near spike out" + gap + at, {{v, before}, {out, before}, {Along(v, prev, g, 0), k}}, Kind::Spike, g, {}});
  }
  for (const double s : {0.002, 1e-6}) {
    const std::string size = " of " + std::to_string(s);
    c.push_back({"stub before" + size + at, {{Along(prev, v, prev.GetLength(v) - s, -s / 2), before}, {v, k}}, Kind::Stub, s, {}});
    c.push_back({"stub after" + size + at, {{v, k}, {Along(v, next, s, -s / 2), k}}, Kind::Stub, s, {}});
  }
  return c;
}

// Along edge k: its midpoint listed twice, a spike from it, a stub there;
// each against the lot with the edge split at the midpoint.
std::vector<Change> AlongEdge(const Lot& lot, int k)
{
  const int n = static_cast<int>(lot.m_Pts.size());
  const CKelCoord2D& a = lot.m_Pts[static_cast<std::size_t>(k)];
  const CKelCoord2D& b = lot.m_Pts[static_cast<std::size_t>((k + 1) % n)];
  const double half = a.GetLength(b) / 2;
  const CKelCoord2D m = Along(a, b, half, 0);
  const std::string at = " on edge " + std::to_string(k);
  const Outline split{{a, k}, {m, k}};
  std::vector<Change> c{
      {"repeat" + at, {{a, k}, {m, k}, {m, k}}, Kind::Repeat, 0, split},
      {"spike in" + at, {{a, k}, {m, k}, {Along(a, b, half, 0.7), k}, {m, k}}, Kind::Spike, 0, split},
      {"stub" + at, {{a, k}, {m, k}, {Along(a, b, half + 0.002, -0.001), k}}, Kind::Stub, 0.002, split}};
  // A tapered road's widths where it runs back to move the road in proportion.
  for (const double back : {0.0005, 0.002, 0.1}) {
    c.push_back({"back " + std::to_string(back) + at, {{a, k}, {m, k}, {Along(a, b, half - back, 0), k}},
                 back > 0.01 ? Kind::RunsBack : Kind::Repeat, back, split});
  }
  return c;
}

// The clean outline with corner k's point replaced by the given points.
Outline Changed(const Lot& lot, int k, const Outline& points)
{
  Outline out;
  for (int j = 0; j < static_cast<int>(lot.m_Pts.size()); ++j) {
    if (j != k)
      out.push_back({lot.m_Pts[static_cast<std::size_t>(j)], j});
    else
      out.insert(out.end(), points.begin(), points.end());
  }
  return out;
}

std::vector<Change> Changes(const Lot& lot)
{
  std::vector<Change> out;
  for (int k = 0; k < static_cast<int>(lot.m_Pts.size()); ++k) {
    for (Change c : AtCorner(lot, k)) {
      c.m_Outline = Changed(lot, k, c.m_Outline);
      c.m_Reference = Changed(lot, k, {{lot.m_Pts[static_cast<std::size_t>(k)], k}});
      out.push_back(c);
    }
    for (Change c : AlongEdge(lot, k)) {
      c.m_Outline = Changed(lot, k, c.m_Outline);
      c.m_Reference = Changed(lot, k, c.m_Reference);
      out.push_back(c);
    }
  }
  return out;
}

// --- Placements and the site ------------------------------------------------------

using site_test::Placement;

constexpr Placement kPlacements[] = {{0, 0, 0}, {0, 0, 2.2}, {3e5, -1.2e5, 0.5235987755982988}};

// Each point's edge takes its clean edge's kind; a road's widths run on
// linearly along the clean edge.
CKelHSite SiteOf(const Lot& lot, const Outline& outline, const Placement& at)
{
  std::vector<CKelCoord2D> pts;
  for (const Pt& p : outline)
    pts.push_back(at.To(p.m_P));
  CKelHSite site = slant_test::Site(pts);
  site.SetArea();
  site.SetMaxMin();
  for (std::size_t k = 0; k < outline.size(); ++k) {
    const auto from = static_cast<std::size_t>(outline[k].m_From);
    CKelSiteTable& v = site.m_pt[k];
    if (lot.m_Kind[from] == 2)
      v.COND = CKelSiteTable::kSumikiri;
    if (lot.m_Kind[from] != 1)
      continue;
    const CKelCoord2D& a = lot.m_Pts[from];
    const CKelCoord2D& b = lot.m_Pts[(from + 1) % lot.m_Pts.size()];
    auto width = [&](const CKelCoord2D& p) {
      const double t = std::clamp(((p.m_x - a.m_x) * (b.m_x - a.m_x) + (p.m_y - a.m_y) * (b.m_y - a.m_y)) /
                                      (a.GetLength(b) * a.GetLength(b)),
                                  0.0, 1.0);
      return lot.m_Width[from].first + t * (lot.m_Width[from].second - lot.m_Width[from].first);
    };
    v.COND = CKelSiteTable::kRoad;
    v.m_RoadWidthBeg = width(outline[k].m_P);
    v.m_RoadWidthEnd = width(outline[(k + 1) % outline.size()].m_P);
    v.CheckRoadWuser();
  }
  site.m_Road = site.CalcRoadData();
  site.m_Cross = site.SetCrossRoad(site.m_Road);
  return site;
}

// --- What every reader gives ----------------------------------------------------

struct Slant {
  double m_HalfCut = 0, m_VertCut = 0;
  std::vector<CKelCoord2D> m_Cpnts;
};

struct Results {
  int m_Check = 0;
  std::vector<PolygonSet> m_RoadOf;  // per clean edge
  PolygonSet m_Roads;
  std::vector<std::vector<CKelCoord2D>> m_Crossings;
  Polygon m_Deemed;
  std::vector<double> m_Distance;
  bool m_LineMade = false;
  double m_LineLength = 0;
  double m_LineNearest = 1e300;  // from the clean lot's corners
  std::vector<Slant> m_Slant;  // per clean road edge
};

struct Driver : CSyasenCheck {};

double Volume(const CKelBlockCubeArray& blocks) { return 10 * slant_test::PlanArea(blocks); }

// The slant-line check of stored edge e from clean corner a to b.
Slant SlantOf(CKelHSite& site, int e, const Polygon& lot, const CKelCoord2D& a, const CKelCoord2D& b,
              const Placement& at)
{
  Slant out;
  auto check = [&](int cut, int cpnt, bool points) {
    CSyasenCheckBlockParam p;
    p.m_SiteNo = e;
    p.m_BegPoint = a;
    p.m_EndPoint = b;
    p.m_CalcKind.m_BegCutKind = p.m_CalcKind.m_EndCutKind = cut;
    p.m_CalcKind.m_BegCpntKind = p.m_CalcKind.m_EndCpntKind = cpnt;
    p.m_CpntPitch = 1.0;
    CKelBlockCube src;
    for (const CKelCoord2D& q : lot)
      src.Append(CKelBlockCoord(q.m_x, q.m_y, 10, 0));
    src.SetType();
    src.SetMinMax();
    src.GetPlaneEquation(false);
    src.GetPlaneEquation(true);
    p.m_SrcBlock.AddBlock(src);
    slant_test::TestCheckBlock blk;
    Driver drv;
    p.CreateBlock1(&drv, &site, &blk, 0, points);
    return p;
  };
  out.m_HalfCut = Volume(check(1, 0, false).m_BaseBlock);
  out.m_VertCut = Volume(check(2, 0, false).m_BaseBlock);
  const CSyasenCheckBlockParam withPoints = check(1, 4, true);
  for (const CSphereRatioParam& c : withPoints.m_SphereRatio)
    out.m_Cpnts.push_back(at.Back(c.GetCoord3D(0)));
  return out;
}

Results Read(const Lot& lot, const Outline& outline, const Placement& at)
{
  Results r;
  CKelHSite site = SiteOf(lot, outline, at);
  r.m_Check = site.CheckError(true);
  r.m_RoadOf.resize(lot.m_Pts.size());
  for (const CSiteRoadTable& road : site.m_Road) {
    const Polygon quad{at.Back(road.m_SiteBeg), at.Back(road.m_SiteEnd), at.Back(road.m_FarEnd), at.Back(road.m_FarBeg)};
    r.m_RoadOf[static_cast<std::size_t>(outline[static_cast<std::size_t>(road.m_no)].m_From)].push_back(quad);
    r.m_Roads.push_back(quad);
  }
  for (const CSiteCrossTable& c : site.m_Cross) {
    r.m_Crossings.emplace_back();
    for (const CoordRoadCross& x : c.m_Pt)
      r.m_Crossings.back().push_back(at.Back(x.m_pt));
  }
  CKelMSite deemed;
  deemed.SiteMAutoSet(site);
  for (const CKelCoord2D& p : deemed.m_pt)
    r.m_Deemed.push_back(at.Back(p));
  for (double x = -9; x <= 40; x += 3.1)
    for (double y = -13; y <= 40; y += 3.1)
      r.m_Distance.push_back(deemed.CalcSiteDistance3(at.To(CKelCoord2D(x, y))));
  CKelArea<CKelCoord2D> listed;
  for (const CKelSiteTable& v : site.m_pt)
    listed.m_pt.push_back(v);
  CClineData line(0, 5);
  r.m_LineMade = line.CreateCheckline(listed);
  r.m_LineLength = line.empty() ? 0 : line.GetLength();
  for (std::size_t k = 0; r.m_LineMade && k < lot.m_Pts.size(); ++k)
    line.FindChkLinePoint(at.To(lot.m_Pts[k]), &r.m_LineNearest, nullptr);
  // The checked edge of each clean road edge: its longest stored edge along
  // it (a spike's side may be longer than a short chord).
  Polygon placedLot;
  for (const CKelCoord2D& p : lot.m_Pts)
    placedLot.push_back(at.To(p));
  const std::size_t n = lot.m_Pts.size();
  for (std::size_t e = 0; e < n; ++e) {
    if (lot.m_Kind[e] != 1)
      continue;
    int best = -1;
    double len = -1;
    for (int k = 0; k < site.GetSize(); ++k) {
      const double l = length_2point(site.Vertex(k), site.Vertex(k + 1));
      const CKelCoord2D mid = outline[static_cast<std::size_t>(k)].m_P.GetCoord(outline[(static_cast<std::size_t>(k) + 1) % outline.size()].m_P, 0.5);
      const bool along = linedist(lot.m_Pts[e], lot.m_Pts[(e + 1) % n], mid, nullptr) < 0.01;
      if (outline[static_cast<std::size_t>(k)].m_From == static_cast<int>(e) && along && l > len) {
        best = k;
        len = l;
      }
    }
    r.m_Slant.push_back(SlantOf(site, best, placedLot, placedLot[e], placedLot[(e + 1) % n], at));
  }
  return r;
}

void ExpectNearPoints(const std::vector<CKelCoord2D>& a, const std::vector<CKelCoord2D>& b, double tol,
                      const char* what)
{
  ASSERT_EQ(a.size(), b.size()) << what;
  for (std::size_t k = 0; k < a.size(); ++k) {
    EXPECT_NEAR(a[k].m_x, b[k].m_x, tol) << what << " " << k;
    EXPECT_NEAR(a[k].m_y, b[k].m_y, tol) << what << " " << k;
  }
}

void ExpectSame(const Results& clean, const Results& got, double len, double area)
{
  EXPECT_EQ(clean.m_Check, got.m_Check);
  for (std::size_t e = 0; e < clean.m_RoadOf.size(); ++e)
    EXPECT_LE(AreaJudge::XorArea(clean.m_RoadOf[e], got.m_RoadOf[e]), area) << "road of edge " << e;
  EXPECT_LE(AreaJudge::XorArea(clean.m_Roads, got.m_Roads), area) << "road union";
  // Crossings follow the road table, whose order starts where the listing
  // does: each is matched with the nearest.
  ASSERT_EQ(clean.m_Crossings.size(), got.m_Crossings.size());
  for (const std::vector<CKelCoord2D>& c : clean.m_Crossings) {
    const auto apart = [&](const std::vector<CKelCoord2D>& x) { return length_2point(c[0], x[0]); };
    ExpectNearPoints(c, *std::min_element(got.m_Crossings.begin(), got.m_Crossings.end(),
                                          [&](const auto& x, const auto& y) { return apart(x) < apart(y); }),
                     len, "crossing");
  }
  EXPECT_FALSE(site_test::SelfCrosses(got.m_Deemed) || site_test::TurnsStraightBack(got.m_Deemed)) << "deemed site";
  EXPECT_LE(AreaJudge::XorArea({clean.m_Deemed}, {got.m_Deemed}), area) << "deemed site";
  for (std::size_t k = 0; k < clean.m_Distance.size(); ++k)
    EXPECT_NEAR(clean.m_Distance[k], got.m_Distance[k], len) << "distance " << k;
  EXPECT_EQ(clean.m_LineMade, got.m_LineMade);
  EXPECT_NEAR(clean.m_LineLength, got.m_LineLength, 10 * len) << "check line";
  ASSERT_EQ(clean.m_Slant.size(), got.m_Slant.size());
  for (std::size_t e = 0; e < clean.m_Slant.size(); ++e) {
    EXPECT_NEAR(clean.m_Slant[e].m_HalfCut, got.m_Slant[e].m_HalfCut, 10 * area) << "half cuts, road " << e;
    EXPECT_NEAR(clean.m_Slant[e].m_VertCut, got.m_Slant[e].m_VertCut, 10 * area) << "vertical cuts, road " << e;
    ExpectNearPoints(clean.m_Slant[e].m_Cpnts, got.m_Slant[e].m_Cpnts, len, "check points");
  }
}

}  // namespace

TEST(SiteOutlineReaders, RepeatsSpikesAndBackTracksChangeNothingAndStubsMoveResultsInProportion)
{
  for (const Lot& lot : Lots()) {
    Outline clean;
    for (int k = 0; k < static_cast<int>(lot.m_Pts.size()); ++k)
      clean.push_back({lot.m_Pts[static_cast<std::size_t>(k)], k});
    const Results atOrigin = Read(lot, clean, kPlacements[0]);
    for (const Placement& at : kPlacements) {
      SCOPED_TRACE(std::string(lot.m_Name) + " placed at " + std::to_string(at.m_X) + " turned " +
                   std::to_string(at.m_Turn));
      const Results cleanResults = Read(lot, clean, at);
      ExpectSame(atOrigin, cleanResults, 1e-6, 1e-5);
      for (const Change& c : Changes(lot)) {
        SCOPED_TRACE(c.m_Name);
        const Results ref = Read(lot, c.m_Reference, at);
        ASSERT_EQ(0, ref.m_Check);
        ExpectSame(cleanResults, ref, 1e-9, 1e-7);
        const Results got = Read(lot, c.m_Outline, at);
        if (c.m_Kind == Kind::RunsBack) {
          EXPECT_EQ(CKelHSite::kRunsBack, got.m_Check);
          continue;
        }
        const bool stub = c.m_Kind == Kind::Stub;
        ExpectSame(ref, got, (stub ? 0 : 1e-9) + 20 * c.m_S, (stub ? 0 : 1e-7) + 400 * c.m_S);
        EXPECT_GE(got.m_LineNearest, 5 - 1e-7 - c.m_S) << "check line";
      }
    }
  }
}
