// The triangulation at the sizes of city-block outlines, against the search
// it replaced (FormerTriangulate.h): the same result and the same triangles
// in the same order wherever the former search finished, on random stars,
// combs and staircases of 10 to 2,000 vertices; and outlines whose search
// nests deeper than the former bound are cut whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "CKelAreaCoord2D.h"
#include "FormerTriangulate.h"
#include "KelOutlineText.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Sorted random angles, random radii: simple, concave at about half the
// vertices; gridded, it gains collinear runs and coincident points.
CKelAreaCoord2D RandomStar(std::mt19937& rng, int n, double inner, bool gridded)
{
  std::uniform_real_distribution<double> jitter(0.1, 0.9);
  std::uniform_real_distribution<double> radius(inner, 10.0);
  CKelAreaCoord2D star;
  for (int i = 0; i < n; ++i) {
    const double a = (i + jitter(rng)) * kTwoPi / n;
    const double r = radius(rng);
    double x = r * std::cos(a);
    double y = r * std::sin(a);
    if (gridded) {
      x = std::round(x * 200) / 200;
      y = std::round(y * 200) / 200;
    }
    star.m_pt.emplace_back(x, y);
  }
  star.SetArea();
  return star;
}

// Teeth of random widths and heights on a bar, counter-clockwise.
CKelAreaCoord2D RandomComb(std::mt19937& rng, int teeth)
{
  std::uniform_real_distribution<double> width(0.2, 2.0);
  std::uniform_real_distribution<double> height(1.0, 12.0);
  std::vector<double> x{0};
  for (int t = 0; t < 2 * teeth - 1; ++t)
    x.push_back(x.back() + width(rng));
  CKelAreaCoord2D comb;
  comb.m_pt = {{0, -1}, {x.back(), -1}};
  for (int t = teeth - 1; t >= 0; --t) {
    const double top = height(rng);
    comb.m_pt.emplace_back(x[static_cast<std::size_t>(2 * t + 1)], top);
    comb.m_pt.emplace_back(x[static_cast<std::size_t>(2 * t)], top);
    if (t > 0) {
      comb.m_pt.emplace_back(x[static_cast<std::size_t>(2 * t)], 0);
      comb.m_pt.emplace_back(x[static_cast<std::size_t>(2 * t - 1)], 0);
    }
  }
  comb.SetArea();
  return comb;
}

// Steps of random rise and run, closed below.
CKelAreaCoord2D RandomStaircase(std::mt19937& rng, int steps)
{
  std::uniform_real_distribution<double> size(0.1, 3.0);
  std::vector<double> run{0}, rise{0};
  for (int s = 0; s < steps; ++s) {
    run.push_back(run.back() + size(rng));
    rise.push_back(rise.back() + size(rng));
  }
  CKelAreaCoord2D stairs;
  stairs.m_pt = {{0, 0}, {run.back(), 0}};
  for (int s = steps; s > 0; --s) {
    stairs.m_pt.emplace_back(run[static_cast<std::size_t>(s)], rise[static_cast<std::size_t>(steps - s + 1)]);
    stairs.m_pt.emplace_back(run[static_cast<std::size_t>(s - 1)], rise[static_cast<std::size_t>(steps - s + 1)]);
  }
  stairs.SetArea();
  return stairs;
}

// The comb's outline moved vertex by vertex: each bottom between teeth off
// its line by up to 1e-3 (log-uniform, either side, so that some lie
// within the crossing tolerance of the diagonals along it and some just
// beyond); mirrored (then reversed, to stay counter-clockwise), so that the
// notches turn the other way; turned by an angle, so that nothing stays on
// the axes.
CKelAreaCoord2D Shaken(std::mt19937& rng, CKelAreaCoord2D comb, bool mirrored, double angle)
{
  std::uniform_real_distribution<double> exponent(-9, -3);
  std::bernoulli_distribution below(0.5);
  for (CKelCoord2D& p : comb.m_pt) {
    if (p.m_y == 0) {
      // One draw per statement: operands come in no fixed order.
      const double sign = below(rng) ? -1 : 1;
      p.m_y = sign * std::pow(10.0, exponent(rng));
    }
    if (mirrored)
      p.m_x = -p.m_x;
    const double x = p.m_x * std::cos(angle) - p.m_y * std::sin(angle);
    p.m_y = p.m_x * std::sin(angle) + p.m_y * std::cos(angle);
    p.m_x = x;
  }
  if (mirrored)
    std::reverse(comb.m_pt.begin(), comb.m_pt.end());
  comb.SetArea();
  return comb;
}

// Some vertices repeated within the point tolerance (2.5e-5) but beyond the
// crossing tolerance, so that the outline still passes as simple: a
// diagonal to such a vertex does not close at it.
CKelAreaCoord2D Stuttering(std::mt19937& rng, const CKelAreaCoord2D& outline)
{
  std::uniform_int_distribution<int> pick(0, 20);
  CKelAreaCoord2D out;
  for (const CKelCoord2D& p : outline.m_pt) {
    out.m_pt.push_back(p);
    if (pick(rng) == 0)
      out.m_pt.emplace_back(p.m_x + 1e-5, p.m_y + 5e-6);
  }
  out.SetArea();
  return out;
}

// Returns whether the former search finished.
bool ExpectSameAsFormer(const CKelAreaCoord2D& poly, const std::string& what)
{
  CKelAreaCoord2DArray expected;
  const KelTriangulateResult expectedResult = former::Triangulate(poly, expected);
  CKelAreaCoord2DArray actual;
  KelTriangulateResult actualResult = KelTriangulateResult::kGaveUp;
  poly.Triangulate(actual, &actualResult);
  if (expectedResult == KelTriangulateResult::kGaveUp)
    return false;
  EXPECT_EQ(expectedResult, actualResult) << what;
  EXPECT_EQ(expected.size(), actual.size()) << what;
  if (expected.size() != actual.size() || expectedResult != actualResult) {
    ADD_FAILURE() << what << ": " << KelOutlineText::ToText(poly);
    return true;
  }
  for (std::size_t t = 0; t < actual.size(); ++t) {
    if (actual[t].m_pt != expected[t].m_pt || actual[t].m_area != expected[t].m_area ||
        actual[t].m_xmin != expected[t].m_xmin || actual[t].m_ymax != expected[t].m_ymax) {
      ADD_FAILURE() << what << ": triangle " << t << " differs";
      return true;
    }
  }
  return true;
}

TEST(CKelAreaCoord2DTriangulateScale, SameTrianglesAsTheFormerSearchOnLargeOutlines)
{
  std::mt19937 rng(39);
  int compared = 0;
  for (int n : {10, 37, 120, 400, 1000, 2000}) {
    const int rounds = n <= 120 ? 12 : n <= 400 ? 4 : 1;
    for (int round = 0; round < rounds; ++round) {
      const std::string tag = std::to_string(n) + "/" + std::to_string(round);
      compared += ExpectSameAsFormer(RandomStar(rng, n, 0.5 + round % 3 * 2.5, round % 2 == 1), "star " + tag);
      compared += ExpectSameAsFormer(RandomComb(rng, std::max(1, n / 4)), "comb " + tag);
      compared += ExpectSameAsFormer(RandomStaircase(rng, std::max(1, n / 2 - 1)), "staircase " + tag);
    }
  }
  // Nearly every outline here stays within the former search's bound.
  EXPECT_GT(compared, 100);
}

// The index rules out candidates on the line of a concave vertex's edges,
// and edges wholly on one side of a diagonal, only with margins over the
// crossing tolerance: outlines whose vertices sit on either side of those
// margins, in any direction, with repeated vertices, are cut as before.
TEST(CKelAreaCoord2DTriangulateScale, SameTrianglesAsTheFormerSearchNearTheMargins)
{
  std::mt19937 rng(3900);
  std::uniform_real_distribution<double> turn(0, kTwoPi);
  int compared = 0;
  for (int teeth : {52, 80, 150, 300}) {
    for (int round = 0; round < 6; ++round) {
      const std::string tag = std::to_string(teeth) + "/" + std::to_string(round);
      const double angle = round == 0 ? 0 : turn(rng);
      const CKelAreaCoord2D comb = RandomComb(rng, teeth);
      compared += ExpectSameAsFormer(Shaken(rng, comb, round % 2 == 1, angle), "shaken comb " + tag);
      // Refused after every candidate is tried, by both searches: kept few.
      if (teeth == 52 && round < 2)
        compared += ExpectSameAsFormer(Stuttering(rng, comb), "stuttering comb " + tag);
    }
  }
  EXPECT_GT(compared, 10);
}

// The whole simplicity test of a large outline, through the index, gives the
// edge-by-edge answer: on outlines that cross themselves, touch at a vertex,
// or come within the tolerance of touching.
TEST(CKelAreaCoord2DTriangulateScale, WholeSimplicityTestAsEdgeByEdge)
{
  std::mt19937 rng(3901);
  std::uniform_real_distribution<double> coord(0, 10);
  std::uniform_int_distribution<int> size(33, 300);
  int simple = 0;
  for (int round = 0; round < 60; ++round) {
    CKelAreaCoord2D outline = RandomStar(rng, size(rng), 0.5 + round % 4, round % 3 == 0);
    if (round % 5 == 1) {
      outline.m_pt[outline.m_pt.size() / 2] = outline.m_pt[0];  // touching at a vertex
    } else if (round % 5 == 2) {
      CKelCoord2D& p = outline.m_pt[outline.m_pt.size() / 3];
      p.m_x = 0.5 * p.m_x + (round % 2 == 0 ? 1e-7 : 1e-5);  // near the tolerance of a spoke
    } else if (round % 5 == 3) {
      const double x = coord(rng) - 5;
      outline.m_pt[7] = CKelCoord2D(x, coord(rng) - 5);  // likely crossing
    }
    const bool expected = former::WholeClear(outline);
    EXPECT_EQ(outline.CheckCross2(), expected) << round << ": " << KelOutlineText::ToText(outline);
    simple += expected ? 1 : 0;
  }
  // Both answers are exercised.
  EXPECT_GT(simple, 5);
  EXPECT_LT(simple, 55);
}

// A box with a slot cut down from its top to gap above its floor, the top
// in many short edges so that the outline is large enough for the index.
CKelAreaCoord2D Slotted(double gap)
{
  CKelAreaCoord2D box;
  box.m_pt = {{0, 0}, {10, 0}, {10, 5}, {8, 5}, {8, gap}, {2, gap}, {2, 5}};
  for (int k = 1; k < 300; ++k)
    box.m_pt.emplace_back(2 - 2.0 * k / 300, 5);
  box.m_pt.emplace_back(0, 5);
  box.SetArea();
  return box;
}

// The slot's floor lies along the box's floor: within the crossing
// tolerance of it they overlap, just beyond it they do not; the index must
// not take an edge near a line for one clear of it.
TEST(CKelAreaCoord2DTriangulateScale, EdgesAlongOneAnotherNearTheTolerance)
{
  EXPECT_FALSE(Slotted(0.5e-6).CheckCross2());
  EXPECT_FALSE(former::WholeClear(Slotted(0.5e-6)));
  EXPECT_TRUE(Slotted(1.5e-6).CheckCross2());
  EXPECT_TRUE(former::WholeClear(Slotted(1.5e-6)));
  for (double gap : {0.5e-6, 1.5e-6, 3e-6, 1e-4})
    ExpectSameAsFormer(Slotted(gap), "slot " + std::to_string(gap));
}

// Clockwise outlines and outlines that cross themselves take the whole
// simplicity test at every piece, as before.
TEST(CKelAreaCoord2DTriangulateScale, SameRefusalsAsTheFormerSearch)
{
  std::mt19937 rng(3939);
  std::uniform_real_distribution<double> coord(0, 10);
  for (int round = 0; round < 40; ++round) {
    CKelAreaCoord2D tangled;
    for (int i = 0; i < 6 + round % 30; ++i) {
      const double x = coord(rng);
      tangled.m_pt.emplace_back(x, coord(rng));
    }
    ExpectSameAsFormer(tangled, "tangled " + std::to_string(round));
    CKelAreaCoord2D clockwise = RandomStar(rng, 8 + round * 3, 1, round % 2 == 0);
    std::reverse(clockwise.m_pt.begin(), clockwise.m_pt.end());
    ExpectSameAsFormer(clockwise, "clockwise star " + std::to_string(round));
  }
}

// The former search nested one level per spike of a regular star or tooth
// of a comb and gave up beyond 2,000 levels; these come out whole, their
// triangles summing to the outline's area.
TEST(CKelAreaCoord2DTriangulateScale, DeepOutlinesAreCutWhole)
{
  CKelAreaCoord2D star;
  for (int i = 0; i < 4400; ++i) {
    const double a = kTwoPi * i / 4400;
    const double r = i % 2 == 0 ? 10.0 : 7.0;
    star.m_pt.emplace_back(r * std::cos(a), r * std::sin(a));
  }
  CKelAreaCoord2D comb;
  comb.m_pt = {{0, -1}, {2.0 * 1100 - 1, -1}};
  for (int t = 1100 - 1; t >= 0; --t) {
    comb.m_pt.emplace_back(2.0 * t + 1, 10);
    comb.m_pt.emplace_back(2.0 * t, 10);
    if (t > 0) {
      comb.m_pt.emplace_back(2.0 * t, 0);
      comb.m_pt.emplace_back(2.0 * t - 1, 0);
    }
  }
  const CKelAreaCoord2D outlines[] = {star, comb};
  for (const CKelAreaCoord2D& poly : outlines) {
    CKelAreaCoord2DArray out;
    KelTriangulateResult result = KelTriangulateResult::kGaveUp;
    ASSERT_TRUE(poly.Triangulate(out, &result));
    EXPECT_EQ(KelTriangulateResult::kDone, result);
    ASSERT_EQ(poly.m_pt.size() - 2, out.size());
    double sum = 0;
    for (CKelAreaCoord2D t : out)
      sum += t.Area();
    EXPECT_NEAR(poly.Area(), sum, 1e-9 * poly.Area());
  }
}

}  // namespace
