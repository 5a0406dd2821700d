// Results that move only as far as a survey moves the outline. Seven site
// shapes (corner lots on two and three roads with cuts, a flag lot, a
// trapezoid with a 45 degree cut, a tapered road, a crank, a frontage of
// twelve chords) are surveyed: noise on split edges, rectangular notches,
// points doubled before and after every corner, a short run back along a
// frontage, and mixes of them; each at the origin and moved 3e5 m away and
// turned. For a survey change of size s (the noise, the notch's depth, the
// double's gap, the backtrack's length) the check gives the clean code, the
// road quads' union lies within 400 s m2 (+ 0.001) of the clean one's, the
// deemed site is simple and within 300 s m2 (+ 0.002) of the clean one in
// area and symmetric difference, and its distance anywhere within 10 s
// (+ 1e-4).

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "CKelHSite.h"
#include "CKelMSite.h"
#include "SiteAreaJudge.h"
#include "SitePlacement.h"
#include "SiteTestSupport.h"

namespace {

using site_test::AreaJudge;
using site_test::Polygon;
using site_test::PolygonSet;

// One outline point and the clean edge that starts at it (or that the edge
// from it lies on).
struct Pt {
  CKelCoord2D m_P;
  int m_From;
};
using Outline = std::vector<Pt>;

struct Shape {
  const char* m_Name;
  std::vector<CKelCoord2D> m_Pts;
  std::vector<int> m_Kind;  // per edge: 0 neighbour, 1 road, 2 corner cut
  std::vector<std::pair<double, double>> m_Width;  // per edge: road widths
};

Shape Make(const char* name, std::vector<CKelCoord2D> pts, std::vector<int> kind, double w = 6)
{
  Shape s{name, std::move(pts), std::move(kind), {}};
  s.m_Width.assign(s.m_Pts.size(), {w, w});
  return s;
}

std::vector<Shape> Shapes()
{
  std::vector<Shape> out;
  out.push_back(Make("corner lot with a cut", {{0, 0}, {17, 0}, {20, 3}, {20, 30}, {0, 30}}, {1, 2, 1, 0, 0}));
  Shape three = Make("three roads with cuts", {{0, 2}, {2, 0}, {18, 0}, {20, 2}, {20, 30}, {0, 30}}, {2, 1, 2, 1, 0, 1});
  three.m_Width[3] = {4, 4};
  three.m_Width[5] = {8, 8};
  out.push_back(three);
  out.push_back(Make("flag lot", {{0, 0}, {3, 0}, {3, 15}, {20, 15}, {20, 35}, {0, 35}}, {1, 0, 0, 0, 0, 0}, 4));
  out.push_back(Make("trapezoid with a 45 degree cut", {{0, 0}, {22, 0}, {25, 3}, {20, 28}, {2, 25}}, {1, 2, 1, 0, 0}));
  Shape taper = Make("tapered road", {{0, 0}, {20, 0}, {20, 30}, {0, 30}}, {1, 0, 0, 0});
  taper.m_Width[0] = {4, 8};
  out.push_back(taper);
  out.push_back(Make("crank", {{0, 0}, {12, 0}, {12, -4}, {25, -4}, {25, 20}, {0, 20}}, {1, 1, 1, 0, 0, 0}));
  // Twelve chords of an arc of radius 60 sagging 3 m below the lot.
  std::vector<CKelCoord2D> arc;
  std::vector<int> kinds;
  for (int k = 0; k <= 12; ++k) {
    const double x = 3.0 * k;
    arc.emplace_back(x, 57 - std::sqrt(3600 - (x - 18) * (x - 18)));
    kinds.push_back(1);
  }
  kinds.back() = 0;
  arc.emplace_back(36, 25);
  arc.emplace_back(0, 25);
  kinds.push_back(0);
  kinds.push_back(0);
  out.push_back(Make("twelve chords", arc, kinds));
  return out;
}

Outline CleanOutline(const Shape& s)
{
  Outline o;
  for (std::size_t k = 0; k < s.m_Pts.size(); ++k)
    o.push_back({s.m_Pts[k], static_cast<int>(k)});
  return o;
}

CKelCoord2D Along(const CKelCoord2D& a, const CKelCoord2D& b, double along, double across)
{
  const double len = a.GetLength(b);
  const double ux = (b.m_x - a.m_x) / len, uy = (b.m_y - a.m_y) / len;
  return {a.m_x + along * ux - across * uy, a.m_y + along * uy + across * ux};
}

// --- Survey changes ---------------------------------------------------------

// Nine points on every edge, off its line by up to `noise` either way: on
// the crank's 4 m edge they lie 0.4 m apart, closer than the 1 m by which
// the crossing moves the side road's start down the edge.
Outline Noisy(const Outline& in, double noise, std::mt19937& rng)
{
  std::uniform_real_distribution<double> off(-noise, noise);
  Outline out;
  for (std::size_t k = 0; k < in.size(); ++k) {
    const CKelCoord2D& a = in[k].m_P;
    const CKelCoord2D& b = in[(k + 1) % in.size()].m_P;
    const double len = a.GetLength(b);
    out.push_back(in[k]);
    for (const double t : {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9})
      out.push_back({Along(a, b, t * len, off(rng)), in[k].m_From});
  }
  return out;
}

// A rectangular notch into the site on edge e, at 40 % of its length.
Outline Notched(const Outline& in, std::size_t e, double width, double depth)
{
  Outline out = in;
  const CKelCoord2D& a = in[e].m_P;
  const CKelCoord2D& b = in[(e + 1) % in.size()].m_P;
  const double s = 0.4 * a.GetLength(b);
  const int from = in[e].m_From;
  const Outline add = {{Along(a, b, s, 0), from},
                       {Along(a, b, s, depth), from},
                       {Along(a, b, s + width, depth), from},
                       {Along(a, b, s + width, 0), from}};
  out.insert(out.begin() + static_cast<long>(e) + 1, add.begin(), add.end());
  return out;
}

// Every corner doubled: a copy `gap` before it on the edge that arrives, or
// after it on the edge that leaves.
Outline Doubled(const Outline& in, double gap, bool before)
{
  Outline out;
  const std::size_t n = in.size();
  for (std::size_t k = 0; k < n; ++k) {
    const Pt& p = in[k];
    if (before) {
      const Pt& prev = in[(k + n - 1) % n];
      out.push_back({Along(p.m_P, prev.m_P, gap, 0), prev.m_From});
      out.push_back(p);
    } else {
      out.push_back(p);
      out.push_back({Along(p.m_P, in[(k + 1) % n].m_P, gap, 0), p.m_From});
    }
  }
  return out;
}

// The outline runs `length` along edge e 0.3 mm inside it, drops back onto
// the edge and runs back to 10 micrometres past where it started.
Outline Backtracked(const Outline& in, std::size_t e, double length)
{
  Outline out = in;
  const CKelCoord2D& a = in[e].m_P;
  const CKelCoord2D& b = in[(e + 1) % in.size()].m_P;
  const double s = 0.3 * a.GetLength(b);
  const int from = in[e].m_From;
  const Outline add = {{Along(a, b, s, 0), from},
                       {Along(a, b, s, 3e-4), from},
                       {Along(a, b, s + length, 3e-4), from},
                       {Along(a, b, s + length, 0), from},
                       {Along(a, b, s + 1e-5, 0), from}};
  out.insert(out.begin() + static_cast<long>(e) + 1, add.begin(), add.end());
  return out;
}

struct Change {
  std::string m_Name;
  Outline m_Outline;
  double m_S;
};

std::size_t LongestRoad(const Shape& shape)
{
  std::size_t best = 0;
  double len = -1;
  for (std::size_t k = 0; k < shape.m_Pts.size(); ++k) {
    const double l = shape.m_Pts[k].GetLength(shape.m_Pts[(k + 1) % shape.m_Pts.size()]);
    if (shape.m_Kind[k] == 1 && l > len) {
      len = l;
      best = k;
    }
  }
  return best;
}

std::vector<Change> Changes(const Shape& shape, std::mt19937& rng)
{
  const Outline clean = CleanOutline(shape);
  const std::size_t road = LongestRoad(shape);
  std::vector<Change> out;
  for (const double noise : {0.001, 0.003, 0.005})
    out.push_back({"noise " + std::to_string(noise), Noisy(clean, noise, rng), noise});
  for (const auto& [depth, width] : {std::pair{3e-4, 1e-3}, {6e-4, 2e-3}, {9e-4, 2e-3}, {9e-4, 5e-3}})
    out.push_back({"notch " + std::to_string(depth) + " x " + std::to_string(width), Notched(clean, road, width, depth),
                   depth});
  for (const double gap : {1e-9, 1e-6, 1e-3}) {
    for (const bool before : {true, false})
      out.push_back({std::string("doubled ") + (before ? "before " : "after ") + std::to_string(gap),
                     Doubled(clean, gap, before), gap});
  }
  out.push_back({"backtrack 2 mm", Backtracked(clean, road, 0.002), 0.002});
  // A survey does several things at once.
  out.push_back({"mix", Notched(Doubled(Noisy(clean, 0.003, rng), 1e-5, false), 2, 0.002, 0.0003), 0.003});
  out.push_back({"mix2", Backtracked(Doubled(Noisy(clean, 0.002, rng), 1e-4, true), 1, 0.002), 0.002});
  return out;
}

// --- Placements ---------------------------------------------------------------

using site_test::Placement;

constexpr Placement kPlacements[] = {{0, 0, 0}, {3e5, -1.2e5, 0.5235987755982988}, {-2.9e5, 2.9e5, 2.146754979953}};

CKelHSite Surveyed(const Shape& shape, const Outline& outline, const Placement& at)
{
  std::vector<CKelCoord2D> pts;
  for (const Pt& p : outline)
    pts.push_back(at.To(p.m_P));
  CKelHSite site(pts);
  site.SetArea();
  site.SetMaxMin();
  for (std::size_t k = 0; k < outline.size(); ++k) {
    const auto from = static_cast<std::size_t>(outline[k].m_From);
    if (shape.m_Kind[from] == 2) {
      site_test::MakeCut(site, static_cast<int>(k));
    } else if (shape.m_Kind[from] == 1) {
      // A piece's widths run on linearly along its clean edge.
      const CKelCoord2D& a = shape.m_Pts[from];
      const CKelCoord2D& b = shape.m_Pts[(from + 1) % shape.m_Pts.size()];
      const double len = a.GetLength(b);
      auto width = [&](const CKelCoord2D& p) {
        const double t = std::clamp(((p.m_x - a.m_x) * (b.m_x - a.m_x) + (p.m_y - a.m_y) * (b.m_y - a.m_y)) / (len * len), 0.0, 1.0);
        return shape.m_Width[from].first + t * (shape.m_Width[from].second - shape.m_Width[from].first);
      };
      site_test::MakeRoad(site, static_cast<int>(k), width(outline[k].m_P), width(outline[(k + 1) % outline.size()].m_P));
    }
  }
  return site;
}

// --- What is measured ----------------------------------------------------------

PolygonSet RoadQuads(const CKelHSite& site, const Placement& at)
{
  PolygonSet out;
  for (const CSiteRoadTable& r : site.m_Road)
    out.push_back({at.Back(r.m_SiteBeg), at.Back(r.m_SiteEnd), at.Back(r.m_FarEnd), at.Back(r.m_FarBeg)});
  return out;
}

Polygon Deemed(const CKelMSite& m, const Placement& at)
{
  Polygon out;
  for (const CKelCoord2D& p : m.m_pt)
    out.push_back(at.Back(p));
  return out;
}

bool IsSimple(const Polygon& pts) { return pts.size() >= 3 && !site_test::SelfCrosses(pts); }

std::vector<CKelCoord2D> Probes(const Shape& shape)
{
  double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
  for (const CKelCoord2D& p : shape.m_Pts) {
    x0 = std::min(x0, p.m_x);
    x1 = std::max(x1, p.m_x);
    y0 = std::min(y0, p.m_y);
    y1 = std::max(y1, p.m_y);
  }
  std::vector<CKelCoord2D> out;
  for (double x = x0 - 11; x <= x1 + 11; x += 3.7)
    for (double y = y0 - 11; y <= y1 + 11; y += 3.7)
      out.emplace_back(x, y);
  return out;
}

// Every road edge names its own road, in edge order; each crossing is the
// end crossing of its first road and the begin crossing of its second, the
// crossings in the order of their first roads.
void ExpectTablesHoldTogether(const CKelHSite& site)
{
  int count = 0;
  for (int i = 0; i < site.GetSize(); ++i) {
    if (!site.IsRoad(i))
      continue;
    EXPECT_EQ(count++, site.m_pt[static_cast<std::size_t>(i)].optno);
  }
  ASSERT_EQ(static_cast<std::size_t>(count), site.m_Road.size());
  for (std::size_t k = 0; k < site.m_Cross.size(); ++k) {
    const CSiteCrossTable& c = site.m_Cross[k];
    EXPECT_EQ(static_cast<int>(k), site.m_Road[static_cast<std::size_t>(c.m_Road1)].m_EndCross);
    EXPECT_EQ(static_cast<int>(k), site.m_Road[static_cast<std::size_t>(c.m_Road2)].m_BegCross);
    if (k > 0) {
      EXPECT_LT(site.m_Cross[k - 1].m_Road1, c.m_Road1);
    }
  }
}

struct Reference {
  int m_Check = 0;
  PolygonSet m_Roads;
  CKelMSite m_Deemed;
  Polygon m_DeemedPts;
};

Reference Clean(const Shape& shape)
{
  Reference ref;
  CKelHSite site = Surveyed(shape, CleanOutline(shape), kPlacements[0]);
  ref.m_Check = site.CheckError(true);
  site_test::BuildRoads(site);
  ref.m_Roads = RoadQuads(site, kPlacements[0]);
  ref.m_Deemed.SiteMAutoSet(site);
  ref.m_DeemedPts = Deemed(ref.m_Deemed, kPlacements[0]);
  return ref;
}

}  // namespace

TEST(SiteSurveySweep, ResultsMoveOnlyAsFarAsTheSurvey)
{
  std::mt19937 rng(63);
  for (const Shape& shape : Shapes()) {
    const Reference ref = Clean(shape);
    ASSERT_EQ(0, ref.m_Check) << shape.m_Name;
    ASSERT_TRUE(IsSimple(ref.m_DeemedPts)) << shape.m_Name;
    const double deemedArea = AreaJudge::UnionArea({ref.m_DeemedPts});
    const std::vector<CKelCoord2D> probes = Probes(shape);
    for (const Change& change : Changes(shape, rng)) {
      for (const Placement& at : kPlacements) {
        SCOPED_TRACE(std::string(shape.m_Name) + ": " + change.m_Name + " at " + std::to_string(at.m_X));
        const double s = change.m_S;
        CKelHSite site = Surveyed(shape, change.m_Outline, at);
        EXPECT_EQ(ref.m_Check, site.CheckError(true));
        site_test::BuildRoads(site);
        ExpectTablesHoldTogether(site);
        EXPECT_LE(AreaJudge::XorArea(ref.m_Roads, RoadQuads(site, at)), 400 * s + 0.001);
        CKelMSite deemed;
        deemed.SiteMAutoSet(site);
        const Polygon pts = Deemed(deemed, at);
        EXPECT_TRUE(IsSimple(pts));
        EXPECT_NEAR(deemedArea, AreaJudge::UnionArea({pts}), 300 * s + 0.002);
        EXPECT_LE(AreaJudge::XorArea({ref.m_DeemedPts}, {pts}), 300 * s + 0.002);
        for (const CKelCoord2D& p : probes) {
          const CKelCoord2D placed = at.To(p);
          EXPECT_NEAR(ref.m_Deemed.CalcSiteDistance3(p), deemed.CalcSiteDistance3(placed), 10 * s + 1e-4)
              << p.m_x << ", " << p.m_y;
        }
      }
    }
  }
}

namespace {

// A lot on a road bending by `degrees` at (15, 0), turning right (the lot
// on the inside of the bend, a reflex corner) or left (convex); the two
// frontage edges carry roads of widths w1 and w2.
Shape Bend(double degrees, bool right, double w1, double w2)
{
  const double t = degrees * KelAngle::Pi / 180;
  const CKelCoord2D c(15 + 15 * std::cos(t), (right ? -15 : 15) * std::sin(t));
  Shape s = Make("bend", {{0, 0}, {15, 0}, c, {c.m_x, 25}, {0, 25}}, {1, 1, 0, 0, 0});
  s.m_Width[0] = {w1, w1};
  s.m_Width[1] = {w2, w2};
  return s;
}

std::vector<std::pair<std::string, Shape>> BendsAndCorners()
{
  std::vector<std::pair<std::string, Shape>> out;
  for (const double degrees : {5.0, 15.0, 30.0}) {
    for (const bool right : {true, false}) {
      for (const auto& [w1, w2] : {std::pair{6.0, 6.0}, {6.0, 8.0}, {8.0, 4.0}, {12.0, 6.0}}) {
        const std::string name = std::to_string(degrees) + (right ? " reflex " : " convex ") + std::to_string(w1) +
                                 " | " + std::to_string(w2);
        out.emplace_back(name, Bend(degrees, right, w1, w2));
      }
    }
  }
  for (const Shape& s : Shapes())
    out.emplace_back(s.m_Name, s);
  // A road narrowing from 20 m to 4 m round a convex bend: its far side
  // crosses the frontage's line 4 m past the lot, so its quad self-crosses.
  Shape taper = Make("tapering round a bend", {{0, 0}, {16, 0}, {30, 8}, {30, 33}, {0, 33}}, {1, 1, 0, 0, 0}, 12);
  taper.m_Width[1] = {20, 4};
  out.emplace_back(taper.m_Name, taper);
  return out;
}

// The quads' areas summed, each by the shoelace formula: a self-crossing
// quad's lobes count against each other, so a split piece that takes a
// lobe of the other turn shows.
double QuadTotal(const PolygonSet& quads)
{
  double total = 0;
  for (const Polygon& q : quads) {
    double a = 0;
    for (std::size_t k = 0; k < q.size(); ++k)
      a += q[k].m_x * q[(k + 1) % q.size()].m_y - q[(k + 1) % q.size()].m_x * q[k].m_y;
    total += std::fabs(a) / 2;
  }
  return total;
}

// Places along a frontage edge of length len: a hair and a few millimetres
// from either end, 0.1 m short of its end and well inside, some of them
// between the roads' crossing and the bend.
std::vector<double> PlacesOnEdge(double len)
{
  return {1e-7, 0.003, 0.37 * len, 0.76 * len, 0.93 * len, len - 0.1, len - 0.003, len - 1e-7};
}

}  // namespace

// A survey point exactly on a frontage edge's line, anywhere on it, at road
// bends of 5 to 30 degrees either way, between roads of equal and different
// widths, on a road tapering round a bend, at corner cuts and on a frontage
// of twelve chords, near the origin and far away and turned: the roads'
// union and summed areas, the deemed site and its distances are those of
// the outline without the point.
TEST(SiteSurveySweep, PointOnAFrontageLineChangesNothing)
{
  for (const auto& [name, shape] : BendsAndCorners()) {
    const Reference ref = Clean(shape);
    ASSERT_EQ(0, ref.m_Check) << name;
    const std::vector<CKelCoord2D> probes = Probes(shape);
    const Outline clean = CleanOutline(shape);
    for (std::size_t e = 0; e < clean.size(); ++e) {
      if (shape.m_Kind[e] != 1)
        continue;
      const CKelCoord2D& a = clean[e].m_P;
      const CKelCoord2D& b = clean[(e + 1) % clean.size()].m_P;
      for (const double s : PlacesOnEdge(a.GetLength(b))) {
        Outline outline = clean;
        outline.insert(outline.begin() + static_cast<long>(e) + 1, {Along(a, b, s, 0), static_cast<int>(e)});
        for (const Placement& at : kPlacements) {
          SCOPED_TRACE(name + ": edge " + std::to_string(e) + " at " + std::to_string(s) + ", placed at " +
                       std::to_string(at.m_X));
          CKelHSite site = Surveyed(shape, outline, at);
          EXPECT_EQ(0, site.CheckError(true));
          site_test::BuildRoads(site);
          ExpectTablesHoldTogether(site);
          EXPECT_LE(AreaJudge::XorArea(ref.m_Roads, RoadQuads(site, at)), 1e-3);
          EXPECT_NEAR(QuadTotal(ref.m_Roads), QuadTotal(RoadQuads(site, at)), 1e-3);
          CKelMSite deemed;
          deemed.SiteMAutoSet(site);
          EXPECT_LE(AreaJudge::XorArea({ref.m_DeemedPts}, {Deemed(deemed, at)}), 1e-3);
          for (const CKelCoord2D& p : probes)
            EXPECT_NEAR(ref.m_Deemed.CalcSiteDistance3(p), deemed.CalcSiteDistance3(at.To(p)), 1e-4)
                << p.m_x << ", " << p.m_y;
        }
      }
    }
  }
}
