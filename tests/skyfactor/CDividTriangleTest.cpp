#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <utility>

#include "CDividTriangle.h"
#include "CKelAreaCoord2D.h"
#include "DividTriangleLiteral.h"
#include "DividTrianglePrevious.h"
#include "KelTestSupport.h"
#include "SkyOutlines.h"

namespace {

using Corners = std::vector<std::vector<std::pair<double, double>>>;

struct Division {
  bool ok = false;
  CSphereTriangleDataArray triangles;
};

Division Divide(const std::vector<CKelCoord2D>& pts, int mode)
{
  const CSphereCoordD2DArray outline = sky_test::Projected(pts);
  CDividTriangle d(&outline);
  Division r;
  r.ok = d.Do(mode);
  for (int i = 0; i < d.GetSize(); ++i)
    r.triangles.push_back(d.GetTriangle(i));
  return r;
}

Corners CornersOf(const CSphereTriangleDataArray& triangles)
{
  Corners out;
  for (const CSphereTriangleData& t : triangles)
    out.push_back({{t.m_Vertex[0].m_x, t.m_Vertex[0].m_y},
                   {t.m_Vertex[1].m_x, t.m_Vertex[1].m_y},
                   {t.m_Vertex[2].m_x, t.m_Vertex[2].m_y}});
  return out;
}

double AreaSum(const CSphereTriangleDataArray& triangles, int mode)
{
  double sum = 0;
  for (const CSphereTriangleData& t : triangles) {
    double base = 0, height = 0, area = 0;
    t.GetTriangleData(mode, &base, &height, &area);
    sum += area;
  }
  return sum;
}

// The reflex-only division of the whole outline, counter-clockwise.
Division DivideByReflexSplits(const std::vector<CKelCoord2D>& pts, int mode)
{
  const CSphereCoordD2DArray outline = sky_test::Projected(pts);
  std::vector<int> idx(pts.size());
  std::iota(idx.begin(), idx.end(), 0);
  if (outline.CalcArea() < 0)
    std::reverse(idx.begin(), idx.end());
  CDividTriangle d(&outline);
  Division r;
  r.ok = d.CreateTriangle2(mode, idx);
  EXPECT_FALSE(d.OrderFault());
  for (int i = 0; i < d.GetSize(); ++i)
    r.triangles.push_back(d.GetTriangle(i));
  return r;
}

double OutlineArea(const std::vector<CKelCoord2D>& pts)
{
  return std::fabs(sky_test::Projected(pts).CalcArea());
}

TEST(CDividTriangle, SmallOutlinesSplitAsDescribed)
{
  // The square from the origin: along 2 - 0.
  const Division square = Divide(kel_test::Pts({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), -1);
  ASSERT_TRUE(square.ok);
  EXPECT_EQ((Corners{{{1, 1}, {0, 1}, {0, 0}}, {{0, 0}, {1, 0}, {1, 1}}}), CornersOf(square.triangles));
  // A convex pentagon away from the origin: the fan from vertex 0.
  const auto pentagon = kel_test::Pts({{0.2, 0.1}, {0.6, 0.1}, {0.7, 0.4}, {0.4, 0.6}, {0.1, 0.4}});
  const Division fan = Divide(pentagon, -1);
  ASSERT_TRUE(fan.ok);
  EXPECT_EQ((Corners{{{0.2, 0.1}, {0.6, 0.1}, {0.7, 0.4}},
                     {{0.2, 0.1}, {0.7, 0.4}, {0.4, 0.6}},
                     {{0.2, 0.1}, {0.4, 0.6}, {0.1, 0.4}}}),
            CornersOf(fan.triangles));
  // The same pentagon with vertex 0 at the origin: every triangle has it.
  const Division hub = Divide(kel_test::Pts({{0, 0}, {0.6, 0.1}, {0.7, 0.4}, {0.4, 0.6}, {0.1, 0.4}}), -1);
  ASSERT_TRUE(hub.ok);
  ASSERT_EQ(3u, hub.triangles.size());
  for (const CSphereTriangleData& t : hub.triangles) {
    const bool hasOrigin = t.m_Vertex[0] == CKelCoord2D(0, 0) || t.m_Vertex[1] == CKelCoord2D(0, 0) ||
                           t.m_Vertex[2] == CKelCoord2D(0, 0);
    EXPECT_TRUE(hasOrigin);
  }
  // Clockwise input: the counter-clockwise twin's triangles.
  std::vector<CKelCoord2D> clockwise(pentagon.rbegin(), pentagon.rend());
  const Division twin = Divide(clockwise, -1);
  ASSERT_TRUE(twin.ok);
  EXPECT_EQ(CornersOf(fan.triangles), CornersOf(twin.triangles));
}

TEST(CDividTriangle, SpikesAndFlatCornersMakeNoTriangles)
{
  // An L with a spike out of its top edge and back: the split at the
  // reflex corner leaves the spike in a part, which drops it.
  const auto spiked = kel_test::Pts(
      {{0.1, 0.1}, {0.5, 0.1}, {0.5, 0.3}, {0.3, 0.3}, {0.3, 0.5}, {0.2, 0.5}, {0.2, 0.8}, {0.2, 0.5}, {0.1, 0.5}});
  const Division d = Divide(spiked, -1);
  ASSERT_TRUE(d.ok);
  EXPECT_NEAR(0.12, AreaSum(d.triangles, -1), 1e-12);
  for (const CSphereTriangleData& t : d.triangles) {
    for (const CKelCoord2D& v : t.m_Vertex)
      EXPECT_LT(v.m_y, 0.6);
  }
  literal::DividTriangle reference(spiked);
  ASSERT_TRUE(reference.Do(-1));
  EXPECT_EQ(reference.triangles.size(), d.triangles.size());
  // Collinear corners on an edge: no triangle of no extent.
  const Division flat = Divide(kel_test::Pts({{0.1, 0.1}, {0.3, 0.1}, {0.5, 0.1}, {0.5, 0.5}}), -1);
  ASSERT_TRUE(flat.ok);
  for (const CSphereTriangleData& t : flat.triangles) {
    CSphereTriangleData copy = t;
    EXPECT_GT(copy.SetTriangleParam(), 0);
  }
  EXPECT_NEAR(0.08, AreaSum(flat.triangles, -1), 1e-12);
}

TEST(CDividTriangle, RefusesWhatItCannotDivide)
{
  const double nan = std::nan("");
  const std::vector<std::vector<CKelCoord2D>> refused = {
      kel_test::Pts({{0, 0}, {1, 0}}),
      kel_test::Pts({{0.1, 0.1}, {0.5, 0.1}, {nan, 0.5}, {0.1, 0.5}}),
      // A bow tie: a quadrilateral with two reflex turns.
      kel_test::Pts({{0.1, 0.1}, {0.5, 0.5}, {0.5, 0.1}, {0.1, 0.5}}),
  };
  for (const auto& pts : refused)
    EXPECT_FALSE(Divide(pts, -1).ok);
  CDividTriangle unset;
  EXPECT_FALSE(unset.Do(-1));
}

// The division triangle for triangle as the step-by-step reference gives it.
TEST(CDividTriangle, MatchesTheStepByStepDivision)
{
  std::mt19937 rng(20261206);
  std::uniform_int_distribution<int> size(4, 300);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<std::pair<std::string, std::vector<CKelCoord2D>>> outlines;
  for (int i = 0; i < 40; ++i) {
    const int n = i < 10 ? 4 + i : size(rng);
    const bool origin = i % 2 == 1;
    const double cx = origin ? 0.2 + 0.3 * unit(rng) : 0.1 * unit(rng);
    outlines.emplace_back("star " + std::to_string(i), sky_test::Star(rng, n, cx, 0.1, 0.05, 0.5, origin));
  }
  for (int teeth : {1, 2, 5, 20, 60})
    outlines.emplace_back("comb " + std::to_string(teeth), sky_test::Comb(rng, teeth, -0.6, -0.2));
  outlines.emplace_back("comb at origin", sky_test::Comb(rng, 7, 0, 0));
  for (int n : {8, 40, 150})
    outlines.emplace_back("spiral " + std::to_string(n), sky_test::Spiral(n, 1.5, 0.05, 0.02));
  outlines.emplace_back("regular star", sky_test::RegularStar(60, 0.9, 0.3));
  outlines.emplace_back("wall", sky_test::WallOutline(120));
  for (const auto& [name, pts] : outlines) {
    for (int mode : {-1, 0, 1}) {
      SCOPED_TRACE(testing::Message() << name << " (" << pts.size() << " points) mode " << mode);
      literal::DividTriangle reference(pts);
      const bool referenceOk = reference.Do(mode);
      const Division d = Divide(pts, mode);
      EXPECT_EQ(referenceOk, d.ok);
      EXPECT_TRUE(d.ok);  // every outline here is simple
      ASSERT_EQ(reference.triangles.size(), d.triangles.size());
      for (std::size_t t = 0; t < d.triangles.size(); ++t) {
        for (int c = 0; c < 3; ++c) {
          ASSERT_EQ(reference.triangles[t].m_Vertex[c].m_x, d.triangles[t].m_Vertex[c].m_x) << "triangle " << t;
          ASSERT_EQ(reference.triangles[t].m_Vertex[c].m_y, d.triangles[t].m_Vertex[c].m_y) << "triangle " << t;
        }
      }
    }
  }
}

// The faster division against its previous form on outlines up to 1,000
// points: stars about the origin or through it, combs whose teeth stand
// close (edges near a diagonal but clear of it), and a star scaled far beyond
// the disc, where no edge may be skipped by its box.
// A gear about (cx, cy): radial flanks whose two ends lie at one angle seen
// from the gear's centre, so that seen from the origin many candidates tie
// in angle when the gear is centred there.
std::vector<CKelCoord2D> Gear(int teeth, double cx, double cy)
{
  std::vector<CKelCoord2D> pts;
  for (int q = 0; q < teeth; ++q) {
    const double a0 = 6.283185307179586 * q / teeth;
    const double a1 = 6.283185307179586 * (q + 0.5) / teeth;
    for (const auto& [r, a] : {std::pair{0.3, a0}, std::pair{0.8, a0}, std::pair{0.8, a1}, std::pair{0.3, a1}})
      pts.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
  }
  return pts;
}

// A narrow wedge seen from the origin whose near side is a fine saw:
// candidates a hundred thousandth of a radian apart in angle.
std::vector<CKelCoord2D> SawWedge(int teeth, double angle)
{
  std::vector<CKelCoord2D> pts;
  for (int q = 0; q < 2 * teeth; ++q) {
    const double r = 0.2 + 0.7 * q / (2 * teeth);
    const double a = angle + (q % 2 == 0 ? 0.0 : 1e-5);
    pts.emplace_back(r * std::cos(a), r * std::sin(a));
  }
  for (const double r : {0.9, 0.2})
    pts.emplace_back(r * std::cos(angle + 0.01), r * std::sin(angle + 0.01));
  return pts;
}

TEST(CDividTriangle, FindsWhatItsPreviousFormFound)
{
  std::mt19937 rng(20261207);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<std::pair<std::string, std::vector<CKelCoord2D>>> outlines;
  for (int n : {10, 37, 100, 260, 1000}) {
    outlines.emplace_back("star " + std::to_string(n), sky_test::Star(rng, n, 0.1 * unit(rng), 0.05, 0.3, 0.9, false));
    outlines.emplace_back("star through origin " + std::to_string(n),
                          sky_test::Star(rng, n, 0.2 + 0.3 * unit(rng), 0.1, 0.05, 0.5, true));
    outlines.emplace_back("comb " + std::to_string(n), sky_test::Comb(rng, n / 4, -0.6, -0.2));
  }
  outlines.emplace_back("gear", Gear(60, 0, 0));
  outlines.emplace_back("gear off centre", Gear(60, 0.1, -0.05));
  outlines.emplace_back("saw wedge", SawWedge(60, 0.7));
  outlines.emplace_back("saw wedge across the half turn", SawWedge(60, 3.136));
  std::vector<CKelCoord2D> far = sky_test::Star(rng, 200, 0.02, -0.01, 0.3, 0.9, false);
  for (CKelCoord2D& p : far)
    p = CKelCoord2D(p.m_x * 5e3, p.m_y * 5e3);
  outlines.emplace_back("star far out", far);
  for (const auto& [name, pts] : outlines) {
    for (int mode : {-1, 0, 1}) {
      SCOPED_TRACE(testing::Message() << name << " mode " << mode);
      const CSphereCoordD2DArray outline = sky_test::Projected(pts);
      DividTrianglePrevious previous(&outline);
      const bool previousOk = previous.Do(mode);
      const Division d = Divide(pts, mode);
      EXPECT_EQ(previousOk, d.ok);
      ASSERT_EQ(static_cast<std::size_t>(previous.GetSize()), d.triangles.size());
      for (std::size_t t = 0; t < d.triangles.size(); ++t) {
        const CSphereTriangleData& before = previous.GetTriangle(static_cast<int>(t));
        for (int c = 0; c < 3; ++c) {
          ASSERT_EQ(before.m_Vertex[c].m_x, d.triangles[t].m_Vertex[c].m_x) << "triangle " << t;
          ASSERT_EQ(before.m_Vertex[c].m_y, d.triangles[t].m_Vertex[c].m_y) << "triangle " << t;
        }
      }
    }
  }
}

// The outcome of a division by either form: whether it succeeded, whether
// it failed on candidates out of order, and its triangles' corners.
struct Outcome {
  bool ok = false;
  bool orderFault = false;
  Corners corners;
};

template <class Division>
Outcome OutcomeOf(const Division& d, bool ok)
{
  CSphereTriangleDataArray triangles;
  for (int i = 0; i < d.GetSize(); ++i)
    triangles.push_back(d.GetTriangle(i));
  return Outcome{ok, d.OrderFault(), CornersOf(triangles)};
}

// Both forms on one outline, by Do or, given positions, by CreateTriangle2.
template <class Division>
Outcome DivideBy(const CSphereCoordD2DArray& outline, int mode, const std::vector<int>* idx)
{
  Division d(&outline);
  const bool ok = idx == nullptr ? d.Do(mode) : d.CreateTriangle2(mode, *idx);
  return OutcomeOf(d, ok);
}

// Whether the outline passes one point twice.
bool TouchesItself(const std::vector<CKelCoord2D>& pts)
{
  for (std::size_t a = 0; a < pts.size(); ++a) {
    for (std::size_t b = a + 1; b < pts.size(); ++b) {
      if (pts[a].m_x == pts[b].m_x && pts[a].m_y == pts[b].m_y)
        return true;
    }
  }
  return false;
}

// The triangles, none turned over, cover the outline's area.
void ExpectTiles(const Corners& corners, double area)
{
  double sum = 0;
  for (const auto& c : corners) {
    const double twice = (c[1].first - c[0].first) * (c[2].second - c[0].second) -
                         (c[1].second - c[0].second) * (c[2].first - c[0].first);
    EXPECT_GE(twice, -1e-12);
    sum += twice / 2;
  }
  EXPECT_NEAR(std::fabs(area), sum, 1e-12);
}

void ExpectSameAsPrevious(const std::vector<CKelCoord2D>& pts, const std::vector<int>* idx = nullptr)
{
  const CSphereCoordD2DArray outline = sky_test::Projected(pts);
  for (int mode : {-1, 0, 1}) {
    SCOPED_TRACE(testing::Message() << "mode " << mode);
    const Outcome before = DivideBy<DividTrianglePrevious>(outline, mode, idx);
    const Outcome now = DivideBy<CDividTriangle>(outline, mode, idx);
    EXPECT_EQ(before.ok, now.ok);
    EXPECT_EQ(before.orderFault, now.orderFault);
    // Where the outline passes a point twice, a diagonal from the origin
    // now leaves that point from the passage whose corner it enters (the
    // previous form took either): both divisions tile the outline.
    if (idx == nullptr && before.ok && now.ok && before.corners != now.corners && TouchesItself(pts)) {
      ExpectTiles(before.corners, outline.CalcArea());
      ExpectTiles(now.corners, outline.CalcArea());
      continue;
    }
    // Exact doubles: the same triangles, corner for corner, in the same order.
    ASSERT_EQ(before.corners.size(), now.corners.size());
    for (std::size_t t = 0; t < now.corners.size(); ++t)
      ASSERT_EQ(before.corners[t], now.corners[t]) << "triangle " << t;
  }
}

// A star whose vertex k runs out to a tip and back: to itself exactly (a
// point twice, by two positions) on even k, within DividPoint on odd k.
std::vector<CKelCoord2D> WithNeedles(const std::vector<CKelCoord2D>& star, std::mt19937& rng, int needles)
{
  std::uniform_int_distribution<std::size_t> at(0, star.size() - 1);
  std::vector<bool> spiked(star.size(), false);
  for (int i = 0; i < needles; ++i)
    spiked[at(rng)] = true;
  std::vector<CKelCoord2D> out;
  for (std::size_t k = 0; k < star.size(); ++k) {
    const CKelCoord2D& p = star[k];
    out.push_back(p);
    if (!spiked[k])
      continue;
    out.emplace_back(p.m_x * 1.08, p.m_y * 1.08);
    out.emplace_back(p.m_x + (k % 2 == 0 ? 0 : 1e-12), p.m_y);
  }
  return out;
}

// A staircase of n steps falling from the top left to the bottom right,
// closed by the box's top and left sides, shifted by (dx, dy): many edges
// level with one another and many points level with and above each other.
std::vector<CKelCoord2D> Staircase(std::mt19937& rng, int n, double dx, double dy, bool even)
{
  std::uniform_int_distribution<int> step(1, 3);
  const double unit = 0.8 / (2 * n);
  std::vector<CKelCoord2D> pts;
  double x = dx, y = dy + 2 * n * unit;
  pts.emplace_back(x, y);
  for (int i = 0; i < n; ++i) {
    y -= (even ? 2 : step(rng)) * unit;
    pts.emplace_back(x, y);
    x += (even ? 2 : step(rng)) * unit;
    pts.emplace_back(x, y);
  }
  pts.emplace_back(x, dy + 2 * n * unit);
  std::reverse(pts.begin(), pts.end());
  return pts;
}

// Random points in a box: outlines that cross themselves, so that splits
// fail part way and the division stops with the triangles found before.
std::vector<CKelCoord2D> Scribble(std::mt19937& rng, int n)
{
  std::uniform_real_distribution<double> coord(-0.7, 0.7);
  std::vector<CKelCoord2D> pts;
  for (int i = 0; i < n; ++i) {
    // One draw per statement: a call's arguments come in no fixed order.
    const double x = coord(rng);
    pts.emplace_back(x, coord(rng));
  }
  return pts;
}

// Outlines where the shortcuts of the faster form have something to decide:
// needles (dropped as parts are cut, both exactly and within DividPoint),
// points that come twice, level edges and points level with a midpoint,
// outlines through the origin twice, crossing outlines, and the sizes of a
// city block's sky disc.
TEST(CDividTriangle, FindsWhatItsPreviousFormFoundOnAwkwardOutlines)
{
  std::mt19937 rng(39);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<std::pair<std::string, std::vector<CKelCoord2D>>> outlines;
  for (int n : {12, 80, 400}) {
    const auto star = sky_test::Star(rng, n, 0.05 * unit(rng), 0.02, 0.3, 0.9, false);
    outlines.emplace_back("needles " + std::to_string(n), WithNeedles(star, rng, 1 + n / 20));
    const auto hub = sky_test::Star(rng, n, 0.3, 0.1, 0.05, 0.5, true);
    outlines.emplace_back("needles through origin " + std::to_string(n), WithNeedles(hub, rng, 1 + n / 20));
  }
  for (int n : {5, 30, 200}) {
    outlines.emplace_back("even stairs " + std::to_string(n), Staircase(rng, n, -0.4, -0.4, true));
    outlines.emplace_back("stairs " + std::to_string(n), Staircase(rng, n, -0.1 * unit(rng), -0.3, false));
    outlines.emplace_back("stairs from origin " + std::to_string(n), Staircase(rng, n, 0, 0, false));
  }
  // Teeth of one height: their tops level with one another.
  std::vector<CKelCoord2D> level = sky_test::Comb(rng, 40, -0.6, -0.2);
  for (CKelCoord2D& p : level)
    p.m_y = std::min(p.m_y, 0.2);
  outlines.emplace_back("level comb", level);
  // The origin twice: a star through it whose far side is pinched back to it.
  std::vector<CKelCoord2D> pinched = sky_test::Star(rng, 60, 0.3, 0.1, 0.05, 0.5, true);
  pinched[30] = CKelCoord2D(0, 0);
  outlines.emplace_back("origin twice", pinched);
  for (int n : {6, 25, 120})
    outlines.emplace_back("scribble " + std::to_string(n), Scribble(rng, n));
  // Pinched: one vertex moved onto another, so the outline touches itself.
  for (int i = 0; i < 300; ++i) {
    const int n = 8 + i % 30;
    std::vector<CKelCoord2D> star = sky_test::Star(rng, n, 0.05, 0.02, 0.1, 0.9, i % 3 == 0);
    std::uniform_int_distribution<int> at(0, n - 1);
    star[static_cast<std::size_t>(at(rng))] = star[static_cast<std::size_t>(at(rng))];
    outlines.emplace_back("pinched " + std::to_string(i), star);
  }
  outlines.emplace_back("star 2000", sky_test::Star(rng, 2000, 0.02, -0.01, 0.3, 0.9, false));
  outlines.emplace_back("spiral 400", sky_test::Spiral(400, 2.5, 0.05, 0.02));
  outlines.emplace_back("wall 600", sky_test::WallOutline(600));
  for (const auto& [name, pts] : outlines) {
    SCOPED_TRACE(testing::Message() << name << " (" << pts.size() << " points)");
    ExpectSameAsPrevious(pts);
  }
}

// The reflex-only division by both forms, over the whole outline and over
// position lists that name a point twice or leave points out.
TEST(CDividTriangle, ReflexSplitsFindWhatTheirPreviousFormFound)
{
  std::mt19937 rng(3939);
  std::vector<std::pair<std::string, std::vector<CKelCoord2D>>> outlines;
  for (int n : {9, 60, 300})
    outlines.emplace_back("star " + std::to_string(n), sky_test::Star(rng, n, 0.04, -0.02, 0.2, 0.8, n == 60));
  outlines.emplace_back("needles", WithNeedles(sky_test::Star(rng, 90, 0.02, 0.01, 0.3, 0.9, false), rng, 6));
  outlines.emplace_back("stairs", Staircase(rng, 40, -0.2, -0.3, false));
  outlines.emplace_back("comb", sky_test::Comb(rng, 30, -0.6, -0.2));
  for (const auto& [name, pts] : outlines) {
    SCOPED_TRACE(name);
    std::vector<int> idx(pts.size());
    std::iota(idx.begin(), idx.end(), 0);
    if (sky_test::Projected(pts).CalcArea() < 0)
      std::reverse(idx.begin(), idx.end());
    ExpectSameAsPrevious(pts, &idx);
    // Every other position left out.
    std::vector<int> sparse;
    for (std::size_t k = 0; k < idx.size(); k += 2)
      sparse.push_back(idx[k]);
    ExpectSameAsPrevious(pts, &sparse);
    // A position named twice: the outline touches itself there.
    std::vector<int> twice = idx;
    twice.insert(twice.begin() + static_cast<std::ptrdiff_t>(idx.size() / 2), idx[idx.size() / 4]);
    ExpectSameAsPrevious(pts, &twice);
  }
  // Too few positions to divide, one of them twice.
  const auto square = kel_test::Pts({{0.1, 0.1}, {0.5, 0.1}, {0.5, 0.5}, {0.1, 0.5}});
  for (const std::vector<int>& few : std::vector<std::vector<int>>{{2}, {0, 1}, {3, 3}, {1, 1, 2, 2}})
    ExpectSameAsPrevious(square, &few);
}

// Exact sums never exceed the outline and fall short only by the thin
// triangles dropped; rounding up never gives less than exact, down never
// more.
TEST(CDividTriangle, AreaSumsCoverTheOutline)
{
  std::mt19937 rng(7);
  for (int i = 0; i < 20; ++i) {
    const auto pts = sky_test::Star(rng, 5 + 7 * i, 0.05, -0.05, 0.1, 0.8, i % 3 == 0);
    SCOPED_TRACE(i);
    const Division exact = Divide(pts, -1);
    const Division up = Divide(pts, 0);
    const Division down = Divide(pts, 1);
    ASSERT_TRUE(exact.ok && up.ok && down.ok);
    const double outline = OutlineArea(pts);
    const double sum = AreaSum(exact.triangles, -1);
    EXPECT_LE(sum, outline + 1e-12);
    EXPECT_NEAR(outline, sum, 1e-9);
    EXPECT_GE(AreaSum(up.triangles, 0), sum);
    EXPECT_LE(AreaSum(down.triangles, 1), sum);
  }
  // A thin sliver keeps its sky; the exact mode drops only one too small
  // to count.
  const auto sliver = kel_test::Pts({{0.1, 0.1}, {0.9, 0.1}, {0.5, 0.100005}});
  EXPECT_NEAR(2e-6, AreaSum(Divide(sliver, -1).triangles, -1), 1e-15);
  EXPECT_EQ(1u, Divide(sliver, 0).triangles.size());
  const auto speck = kel_test::Pts({{0.1, 0.1}, {0.1004, 0.1}, {0.1002, 0.100005}});
  EXPECT_TRUE(Divide(speck, -1).triangles.empty());
}

// Where the division succeeds, the reflex-only division tiles the outline
// too: its triangles add up to the outline's area and each lies inside it.
TEST(CDividTriangle, ReflexSplitsTileTheOutline)
{
  std::mt19937 rng(38);
  std::vector<std::vector<CKelCoord2D>> outlines;
  for (int i = 0; i < 16; ++i)
    outlines.push_back(sky_test::Star(rng, 4 + 9 * i, 0.05, -0.05, 0.1, 0.8, i % 3 == 0));
  for (int teeth : {1, 3, 12})
    outlines.push_back(sky_test::Comb(rng, teeth, -0.6, -0.2));
  outlines.push_back(sky_test::RegularStar(40, 0.9, 0.3));
  outlines.push_back(kel_test::Pts({{0.1, 0.1}, {0.5, 0.1}, {0.5, 0.3}, {0.3, 0.3}, {0.3, 0.5}, {0.1, 0.5}}));
  for (std::size_t o = 0; o < outlines.size(); ++o) {
    const auto& pts = outlines[o];
    SCOPED_TRACE(testing::Message() << "outline " << o << " (" << pts.size() << " points)");
    ASSERT_TRUE(Divide(pts, -1).ok);
    const Division d = DivideByReflexSplits(pts, -1);
    ASSERT_TRUE(d.ok);
    const double outline = OutlineArea(pts);
    const double sum = AreaSum(d.triangles, -1);
    EXPECT_LE(sum, outline + 1e-12);
    EXPECT_NEAR(outline, sum, 1e-9);
    CKelAreaCoord2D poly;
    poly.m_pt = pts;
    poly.SetArea();
    poly.SetMaxMin();
    for (const CSphereTriangleData& t : d.triangles) {
      const CKelCoord2D centroid((t.m_Vertex[0].m_x + t.m_Vertex[1].m_x + t.m_Vertex[2].m_x) / 3,
                                 (t.m_Vertex[0].m_y + t.m_Vertex[1].m_y + t.m_Vertex[2].m_y) / 3);
      EXPECT_NE(0, poly.InArea(centroid, 1e-9, 1e-9, CKelAreaCoord2D::Crossing::TenthTol));
    }
  }
}

TEST(CDividTriangle, ReflexSplitsFilterAndRefuseAsTheFanDoes)
{
  // A speck: dropped when exact, kept when rounded; a long sliver is kept.
  const auto speck = kel_test::Pts({{0.1, 0.1}, {0.1004, 0.1}, {0.1002, 0.100005}});
  const Division exact = DivideByReflexSplits(speck, -1);
  EXPECT_TRUE(exact.ok);
  EXPECT_TRUE(exact.triangles.empty());
  EXPECT_EQ(1u, DivideByReflexSplits(speck, 0).triangles.size());
  EXPECT_EQ(1u, DivideByReflexSplits(kel_test::Pts({{0.1, 0.1}, {0.9, 0.1}, {0.5, 0.100005}}), -1).triangles.size());
  // An L of thin arms: the arms' area stays, as the fan would keep it.
  const auto thinLPoints =
      kel_test::Pts({{0.1, 0.1}, {0.5, 0.1}, {0.5, 0.100004}, {0.100004, 0.100004}, {0.100004, 0.5}, {0.1, 0.5}});
  const Division thinL = DivideByReflexSplits(thinLPoints, -1);
  EXPECT_TRUE(thinL.ok);
  EXPECT_NEAR(OutlineArea(thinLPoints), AreaSum(thinL.triangles, -1), 1e-12);

  const CSphereCoordD2DArray square = sky_test::Projected(kel_test::Pts({{0.1, 0.1}, {0.5, 0.1}, {0.5, 0.5}, {0.1, 0.5}}));
  CDividTriangle d(&square);
  EXPECT_FALSE(d.CreateTriangle2(-1, {}));
  EXPECT_FALSE(d.CreateTriangle2(-1, {0, 1, 4}));
  EXPECT_FALSE(d.CreateTriangle2(-1, {0, 1, -1, 2}));
  EXPECT_EQ(0, d.GetSize());
  // A pentagram drawn in one stroke: every diagonal leaves a part that
  // crosses itself, so no corner splits it.
  std::vector<CKelCoord2D> pentagram;
  for (int i = 0; i < 5; ++i) {
    const double a = sky_test::kTwoPi * (2 * i) / 5;
    pentagram.emplace_back(0.2 + 0.5 * std::cos(a), 0.1 + 0.5 * std::sin(a));
  }
  EXPECT_FALSE(DivideByReflexSplits(pentagram, -1).ok);
}

}  // namespace
