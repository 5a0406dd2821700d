#include "CSpherePolyLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include <cmath>
#include <limits>
#include <random>

#include "CSpherePolyArea.h"
#include "KelGeometry.h"
#include "KelTolerance.h"
#include "TracePrevious.h"

namespace {

CSphereCoordD2D At(double ad, double ae)
{
  return CSphereCoordD2D(0, 0, ad, ae, 0);
}

std::vector<std::pair<double, double>> Charts(const CSpherePolyCoordArray& pool, const std::vector<int>& idx)
{
  std::vector<std::pair<double, double>> out;
  for (int i : idx)
    out.emplace_back(pool[static_cast<std::size_t>(i)].m_AD, pool[static_cast<std::size_t>(i)].m_AE);
  return out;
}

using Pairs = std::vector<std::pair<double, double>>;

TEST(CSpherePolyCoordArray, PointsWithinTheBandAreOneAndTheFirstInPoolOrderWins)
{
  CSpherePolyCoordArray pool;
  EXPECT_EQ(0, pool.Add(At(1, 1)));
  EXPECT_EQ(1, pool.Add(At(1 + 1.5e-6, 1)));
  // Within 1e-6 of both: the first one answers, also across grid cells.
  EXPECT_EQ(0, pool.Add(At(1 + 0.7e-6, 1)));
  EXPECT_EQ(1, pool.Search(At(1 + 2.4e-6, 1)));
  EXPECT_EQ(-1, pool.Search(At(1 + 2.6e-6, 1)));
  // Appended directly, still found.
  pool.push_back(At(-3, 0.5));
  EXPECT_EQ(2, pool.Search(At(-3, 0.5 + 0.5e-6)));
  EXPECT_EQ(3u, pool.size());
}

TEST(CSpherePolyLine, FreeCrossPointContacts)
{
  struct Case {
    const char* name;
    CKelCoord2D a, b, c, d;
    Pairs expected;
  };
  const Case cases[] = {
      {"crossing", {0, 0}, {2, 0}, {1, -1}, {1, 1}, {{1, 0}}},
      {"end to end", {0, 0}, {1, 0}, {1, 0}, {2, 1}, {{1, 0}}},
      {"target short of the line", {0, 0}, {2, 0}, {1, 0.5}, {1, 2}, {}},
      {"crossing beyond the source", {0, 0}, {2, 0}, {3, -1}, {3, 1}, {}},
      {"collinear past both ends", {0, 0}, {1, 0}, {-1, 0}, {2, 0}, {}},
      {"collinear reaching in", {0, 0}, {2, 0}, {1.5, 0}, {3, 0}, {{1.5, 0}}},
      {"collinear inside, reversed", {0, 0}, {2, 0}, {1.5, 0}, {0.5, 0}, {{0.5, 0}, {1.5, 0}}},
      {"parallel off the line", {0, 0}, {2, 0}, {0, 1e-6}, {2, 1e-6}, {}},
      {"source of no length", {1, 1}, {1, 1}, {0, 0}, {2, 2}, {}},
  };
  for (const Case& c : cases) {
    CSpherePolyCoordArray pool;
    const std::vector<int> idx = CalcCrossPoint(&pool, c.a, c.b, c.c, c.d);
    const Pairs got = Charts(pool, idx);
    ASSERT_EQ(c.expected.size(), got.size()) << c.name;
    for (std::size_t k = 0; k < got.size(); ++k) {
      EXPECT_NEAR(c.expected[k].first, got[k].first, 1e-12) << c.name;
      EXPECT_NEAR(c.expected[k].second, got[k].second, 1e-12) << c.name;
    }
  }
}

CSpherePolyLineArray Square()
{
  CSpherePolyLineArray lines;
  lines.AddLine(At(0, 0), At(1, 0));
  lines.AddLine(At(1, 0), At(1, 1));
  lines.AddLine(At(1, 1), At(0, 1));
  lines.AddLine(At(0, 1), At(0, 0));
  return lines;
}

TEST(CSpherePolyLineArray, SquareTracesCounterClockwiseFromItsLowerRightCorner)
{
  CSpherePolyLineArray lines = Square();
  // A repeated and a degenerate segment leave the set as it is.
  lines.AddLine(At(1, 1), At(1, 0));
  lines.AddLine(At(0, 0), At(0, 0.5e-6));
  EXPECT_EQ(4u, lines.size());
  EXPECT_EQ(4u, lines.m_PolyCoord.size());
  ASSERT_EQ(0, lines.Create2());
  EXPECT_EQ(Pairs({{1, 0}, {1, 1}, {0, 1}, {0, 0}}), Charts(lines.m_PolyCoord, lines.m_OutlineIdx));
  EXPECT_DOUBLE_EQ(1.0, lines.GetArea());
}

TEST(CSpherePolyLineArray, OuterOutlineOfOverlappingFacesAndTheFailures)
{
  // Two squares sharing an edge: the trace runs around both, the shared
  // edge inside is passed by.
  CSpherePolyLineArray lines = Square();
  lines.AddLine(At(1, 0), At(2, 0));
  lines.AddLine(At(2, 0), At(2, 1));
  lines.AddLine(At(2, 1), At(1, 1));
  ASSERT_EQ(0, lines.Create2());
  EXPECT_EQ(Pairs({{2, 0}, {2, 1}, {1, 1}, {0, 1}, {0, 0}, {1, 0}}), Charts(lines.m_PolyCoord, lines.m_OutlineIdx));
  EXPECT_DOUBLE_EQ(2.0, lines.GetArea());

  CSpherePolyLineArray none;
  EXPECT_EQ(4, none.Create2());
  // An open path: every segment dangles in turn... but the single forward
  // pass leaves the middle one, which has no continuation.
  CSpherePolyLineArray open;
  open.AddLine(At(0, 0), At(1, 0));
  open.AddLine(At(1, 0), At(1, 1));
  open.AddLine(At(1, 1), At(2, 1));
  EXPECT_EQ(4, open.Create2());
}

TEST(CSpherePolyLineArray, SplitsAtMutualContactsAndACopyOwnsItsPool)
{
  CSpherePolyLineArray lines;
  lines.AddLine(At(0, 0), At(2, 0));
  lines.AddLine(At(1, -1), At(1, 1));
  lines.CalcCrossPoint();
  ASSERT_EQ(4u, lines.size());
  const CSpherePolyLineArray copy = lines;
  for (const CSpherePolyLine& l : copy)
    EXPECT_EQ(&copy.m_PolyCoord, l.m_pCoord);
  EXPECT_EQ(1.0, copy[0].endC().m_AD);
}

// --- Polygons and chains ---------------------------------------------------------------

TEST(CSpherePolyArea, EdgeSearchOnATriangleAndRepeatedIndices)
{
  CSpherePolyCoordArray pool;
  CSpherePolyArea tri;
  tri.m_pCoord = &pool;
  for (const auto& p : {At(0, 0), At(1, 0), At(0, 1)})
    tri.AddIdx(pool.Add(p));
  tri.AddIdx(2);
  ASSERT_EQ(3, tri.Size());
  EXPECT_EQ(1, tri.SearchIdx(0, 1));
  EXPECT_EQ(3, tri.SearchIdx(2, 0));
  EXPECT_EQ(-1, tri.SearchIdx(1, 0));
  EXPECT_EQ(0, tri.SearchIdx(0, 5));
  EXPECT_EQ(2, tri.SearchIdx(2));
  EXPECT_EQ(0.5, tri.GetArea());
  EXPECT_EQ(0.0, tri.m_BoxMin.m_x);
  EXPECT_EQ(1.0, tri.m_BoxMax.m_y);
}

TEST(CSpherePolyArea, SquaresOverlappingInACornerShareTheirCrossings)
{
  CSpherePolyCoordArray pool;
  CSpherePolyArea a, b;
  a.m_pCoord = b.m_pCoord = &pool;
  for (const auto& p : {At(0, 0), At(2, 0), At(2, 2), At(0, 2)})
    a.AddIdx(pool.Add(p));
  for (const auto& p : {At(1, 1), At(3, 1), At(3, 3), At(1, 3)})
    b.AddIdx(pool.Add(p));
  EXPECT_EQ(0, a.CalcCrossPoint(nullptr, b));
  EXPECT_EQ(0, b.CalcCrossPoint(nullptr, a));
  ASSERT_EQ(6, a.Size());
  ASSERT_EQ(6, b.Size());
  EXPECT_EQ(Pairs({{0, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}}),
            Charts(pool, {a.IdxAt(0), a.IdxAt(1), a.IdxAt(2), a.IdxAt(3), a.IdxAt(4), a.IdxAt(5)}));
  EXPECT_EQ(b.IdxAt(1), a.IdxAt(2) == b.IdxAt(1) ? b.IdxAt(1) : -1);
}

TEST(CSphereBlkDataLineArrayArray, ChainsCloseBranchAndCancel)
{
  CSphereBlkDataLineArrayArray chains;
  chains.Add(nullptr, 1, 2);
  chains.Add(nullptr, 2, 3);
  chains.Add(nullptr, 3, 1);
  ASSERT_EQ(1u, chains.size());
  EXPECT_EQ(std::vector<int>({1, 2, 3, 1}), static_cast<std::vector<int>>(chains[0]));
  EXPECT_TRUE(chains[0].IsClosed());
  // The same edge again changes nothing.
  chains.Add(nullptr, 2, 3);
  EXPECT_EQ(1u, chains.size());

  // A branch at 2 cuts the chain there.
  CSphereBlkDataLineArrayArray branch;
  branch.Add(nullptr, 1, 2);
  branch.Add(nullptr, 2, 3);
  branch.Add(nullptr, 2, 4);
  ASSERT_EQ(3u, branch.size());
  EXPECT_EQ(std::vector<int>({1, 2}), static_cast<std::vector<int>>(branch[0]));
  EXPECT_EQ(std::vector<int>({2, 3}), static_cast<std::vector<int>>(branch[1]));
  EXPECT_EQ(std::vector<int>({2, 4}), static_cast<std::vector<int>>(branch[2]));

  // A needle: running back over an edge removes both and keeps the ends.
  CSphereBlkDataLineArrayArray needle;
  needle.Add(nullptr, 1, 2);
  needle.Add(nullptr, 2, 3);
  needle.Add(nullptr, 3, 2);
  ASSERT_EQ(1u, needle.size());
  EXPECT_EQ(std::vector<int>({1, 2}), static_cast<std::vector<int>>(needle[0]));
  EXPECT_TRUE(needle.m_DeleteLine.empty());
}

TEST(CSphereBlkDataLineArray, ChainPointsTheStepAllowsToDrop)
{
  const double deg = 3.141592653589793 / 180;
  struct Case {
    const char* name;
    double prevAd, curAd, nextAd, curAe;
    std::uint8_t kind;
    int step;
    bool deletable;
  };
  const Case cases[] = {
      {"horizon between, off the sector line", 0, 15 * deg, 30 * deg, 0, 1, 10, true},
      {"horizon on a sector line", 0, 20 * deg, 30 * deg, 0, 1, 10, false},
      {"horizon, negative azimuth on a line", -30 * deg, -20 * deg, 0, 0, 1, 10, false},
      {"above the horizon", 0, 15 * deg, 30 * deg, 0.1, 1, 10, false},
      {"inserted point", 0, 20 * deg, 30 * deg, 0.1, 0, 10, true},
      {"sector-line point", 0, 20 * deg, 30 * deg, 0.1, 2, 10, true},
      {"inserted point on the horizon between horizon points", 0, 15 * deg, 30 * deg, 0, 0, 10, true},
      {"not between", 0, 40 * deg, 30 * deg, 0, 0, 10, false},
      {"no sectors", 0, 15 * deg, 30 * deg, 0, 0, 0, false},
      {"unknown kind", 0, 15 * deg, 30 * deg, 0, 7, 10, false},
  };
  for (const Case& c : cases) {
    CSphereCoordD2D prev = At(c.prevAd, 0), cur = At(c.curAd, c.curAe), next = At(c.nextAd, 0);
    cur.m_PntKind = c.kind;
    EXPECT_EQ(c.deletable, CSphereBlkDataLineArray::IsDeletable(prev, cur, next, c.step)) << c.name;
  }
  // Where a side comes down onto the horizon the point is a corner, of any
  // kind, from either side.
  for (std::uint8_t kind : {0, 1, 2}) {
    CSphereCoordD2D cur = At(15 * deg, 0);
    cur.m_PntKind = kind;
    EXPECT_FALSE(CSphereBlkDataLineArray::IsDeletable(At(0, 0.1), cur, At(30 * deg, 0), 10)) << int(kind);
    EXPECT_FALSE(CSphereBlkDataLineArray::IsDeletable(At(0, 0), cur, At(30 * deg, 0.1), 10)) << int(kind);
  }
}

// --- Quick rejections ----------------------------------------------------------------
// Random segment pairs placed around the bands of the contact search: ends
// near the source, near its ends and along its line, at distances from 1e-8
// to 1e-4, and unrelated ones.

struct Random {
  std::mt19937_64 rng;
  explicit Random(std::uint64_t seed) : rng(seed) {}
  double U() { return static_cast<double>(rng() >> 11) * 0x1.0p-53; }
  double In(double lo, double hi) { return lo + (hi - lo) * U(); }
  // 10^e for e uniform in [lo, hi], with a random sign.
  double Tiny(double lo, double hi)
  {
    const double sign = rng() % 2 ? 1 : -1;  // drawn first: operands come in no fixed order
    return sign * std::pow(10.0, In(lo, hi));
  }
};

struct SegmentPair {
  CKelCoord2D a1, a2, b1, b2;
};

SegmentPair NearPair(Random& r)
{
  // Braced, or one draw per statement, wherever a value takes two draws: a
  // call's arguments come in no fixed order, braces are read in order.
  const CKelCoord2D a1{r.In(-3, 3), r.In(-1.5, 1.5)};
  const double dir = r.In(-3.2, 3.2), len = r.U() < 0.1 ? r.Tiny(-7, -5) : r.In(0, 0.5);
  const CKelCoord2D a2(a1.m_x + len * std::cos(dir), a1.m_y + len * std::sin(dir));
  const auto along = [&](double t) {
    return CKelCoord2D(a1.m_x + (a2.m_x - a1.m_x) * t, a1.m_y + (a2.m_y - a1.m_y) * t);
  };
  const auto moved = [&](CKelCoord2D p) {
    p.m_x += r.Tiny(-8, -4);
    p.m_y += r.Tiny(-8, -4);
    return p;
  };
  switch (r.rng() % 4) {
    case 0: {  // one end close to the source, the other anywhere near
      const CKelCoord2D b1 = moved(along(r.In(-0.1, 1.1)));
      const double d = r.In(-3.2, 3.2), l = r.In(0, 0.3);
      return {a1, a2, b1, CKelCoord2D(b1.m_x + l * std::cos(d), b1.m_y + l * std::sin(d))};
    }
    case 1:  // both ends near the source's line: collinear and near parallel
      return {a1, a2, moved(along(r.In(-0.5, 1.5))), moved(along(r.In(-0.5, 1.5)))};
    case 2:  // ends near the source's ends
      return {a1, a2, moved(r.U() < 0.5 ? a1 : a2), moved(along(r.In(-1, 2)))};
    default:
      return {a1, a2, CKelCoord2D{r.In(-3, 3), r.In(-1.5, 1.5)}, CKelCoord2D{r.In(-3, 3), r.In(-1.5, 1.5)}};
  }
}

bool BoxesApart(const SegmentPair& p)
{
  return std::fmax(p.a1.m_x, p.a2.m_x) < std::fmin(p.b1.m_x, p.b2.m_x) ||
         std::fmax(p.b1.m_x, p.b2.m_x) < std::fmin(p.a1.m_x, p.a2.m_x) ||
         std::fmax(p.a1.m_y, p.a2.m_y) < std::fmin(p.b1.m_y, p.b2.m_y) ||
         std::fmax(p.b1.m_y, p.b2.m_y) < std::fmin(p.a1.m_y, p.a2.m_y);
}

TEST(CrossPointOutOfReach, RejectsOnlyPairsWithoutContacts)
{
  Random r(20240917);
  int rejected = 0, contacts = 0, contactsOfApartBoxes = 0;
  for (int k = 0; k < 200000; ++k) {
    const SegmentPair p = NearPair(r);
    CSpherePolyCoordArray pool;
    const std::size_t found = CalcCrossPoint(&pool, p.a1, p.a2, p.b1, p.b2).size() +
                              CalcCrossPoint(&pool, p.b1, p.b2, p.a1, p.a2).size();
    const bool out = CrossPointOutOfReach(p.a1, p.a2, p.b1, p.b2);
    ASSERT_EQ(out, CrossPointOutOfReach(p.b1, p.b2, p.a1, p.a2)) << k;
    if (out) {
      ++rejected;
      ASSERT_EQ(0u, found) << k;
    }
    contacts += found > 0;
    contactsOfApartBoxes += found > 0 && BoxesApart(p);
  }
  // Both outcomes are common, and contacts across a gap between the boxes
  // show the margin is needed.
  EXPECT_GT(rejected, 50000);
  EXPECT_GT(contacts, 50000);
  EXPECT_GT(contactsOfApartBoxes, 100);
}

// Spans answer as CrossPointOutOfReach for two segments, and a span of
// several segments is apart from a segment only where each of them is;
// a coordinate that is not a number keeps spans together.
TEST(CrossPointSpan, ApartAsOutOfReachForSegmentsAndSetsOfThem)
{
  Random r(4242);
  int apart = 0;
  for (int k = 0; k < 100000; ++k) {
    const SegmentPair p = NearPair(r);
    const CrossPointSpan a(p.a1, p.a2), b(p.b1, p.b2);
    ASSERT_EQ(CrossPointOutOfReach(p.a1, p.a2, p.b1, p.b2), a.Apart(b)) << k;
    ASSERT_EQ(a.Apart(b), b.Apart(a)) << k;
    apart += a.Apart(b);
    // A set holding b's segment and another.
    const SegmentPair q = NearPair(r);
    CrossPointSpan set = b;
    set.Add(CrossPointSpan(q.b1, q.b2));
    if (set.Apart(a)) {
      ASSERT_TRUE(CrossPointOutOfReach(p.a1, p.a2, q.b1, q.b2) && CrossPointOutOfReach(p.a1, p.a2, p.b1, p.b2)) << k;
    }
  }
  EXPECT_GT(apart, 20000);
  EXPECT_LT(apart, 80000);
  const double nan = std::nan("");
  const CrossPointSpan far(CKelCoord2D(10, 10), CKelCoord2D(11, 11));
  EXPECT_TRUE(far.Apart(CrossPointSpan(CKelCoord2D(0, 0), CKelCoord2D(1, 1))));
  EXPECT_FALSE(far.Apart(CrossPointSpan(CKelCoord2D(0, nan), CKelCoord2D(1, 1))));
  CrossPointSpan odd = far;
  odd.Add(CrossPointSpan(CKelCoord2D(nan, 10), CKelCoord2D(11, 11)));
  EXPECT_FALSE(odd.Apart(CrossPointSpan(CKelCoord2D(0, 0), CKelCoord2D(1, 1))));
}

// A vertex within the band of an edge: its frame position strictly inside
// and its distance from the line within the band, as the polygons test it.
bool OnEdgeInside(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  double c = 1, s = 0, len = 0;
  CalcCosSin(a, b, &c, &s, &len);
  const double dx = p.m_x - a.m_x, dy = p.m_y - a.m_y;
  const double t = dx * c + dy * s;
  return t > KelTol::SkyDisc && std::fabs(dy * c - dx * s) <= KelTol::SkyDisc && t < len - KelTol::SkyDisc;
}

TEST(CrossPointOutOfReach, RejectsOnlyPointsOffTheEdge)
{
  Random r(77);
  int rejected = 0, onEdge = 0;
  for (int k = 0; k < 100000; ++k) {
    const SegmentPair p = NearPair(r);
    const bool on = OnEdgeInside(p.a1, p.a2, p.b1);
    if (CrossPointOutOfReach(p.a1, p.a2, p.b1, p.b1)) {
      ++rejected;
      ASSERT_FALSE(on) << k;
    }
    onEdge += on;
  }
  EXPECT_GT(rejected, 20000);
  EXPECT_GT(onEdge, 1000);
}

TEST(CrossPointReach, ClearMeansEveryEdgeOfTheSetIsOutOfReach)
{
  Random r(5);
  int cleared = 0;
  for (int k = 0; k < 20000; ++k) {
    std::vector<CKelCoord2D> outline;
    const CKelCoord2D centre{r.In(-3, 3), r.In(-1.5, 1.5)};  // braced: drawn in order
    const int n = 3 + static_cast<int>(r.rng() % 8);
    CrossPointReach reach;
    for (int i = 0; i < n; ++i) {
      outline.push_back({centre.m_x + r.In(-0.2, 0.2), centre.m_y + r.In(-0.2, 0.2)});
      reach.Add(outline.back());
    }
    const SegmentPair p = NearPair(r);
    const CKelCoord2D q = r.U() < 0.5 ? p.b1 : outline[r.rng() % outline.size()];
    const CKelCoord2D e{q.m_x + r.Tiny(-8, -1), q.m_y + r.Tiny(-8, -1)};
    if (!reach.Clear(q, e))
      continue;
    ++cleared;
    for (std::size_t i = 0; i < outline.size(); ++i)
      ASSERT_TRUE(CrossPointOutOfReach(q, e, outline[i], outline[(i + 1) % outline.size()])) << k;
  }
  EXPECT_GT(cleared, 5000);
}

TEST(CrossPointReach, NotANumberIsNeverOutOfReach)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const CKelCoord2D a(0, 0), b(1, 0), far1(10, 10), far2(11, 10), odd(nan, 10), lost(nan, nan);
  EXPECT_TRUE(CrossPointOutOfReach(a, b, far1, far2));
  // The other axis still separates them; no contact is found either way.
  EXPECT_TRUE(CrossPointOutOfReach(a, b, far1, odd));
  CSpherePolyCoordArray pool;
  EXPECT_TRUE(CalcCrossPoint(&pool, a, b, far1, odd).empty());
  EXPECT_TRUE(CalcCrossPoint(&pool, far1, odd, a, b).empty());
  EXPECT_FALSE(CrossPointOutOfReach(a, b, far1, lost));
  EXPECT_FALSE(CrossPointOutOfReach(lost, b, far1, far2));
  CrossPointReach reach;
  reach.Add(far1);
  reach.Add(far2);
  EXPECT_TRUE(reach.Clear(a, b));
  reach.Add(odd);
  EXPECT_FALSE(reach.Clear(a, b));
  EXPECT_FALSE(reach.Clear(a, CKelCoord2D(0, nan)));
}

int ScanSearch(const CSpherePolyCoordArray& pool, const CSphereCoordD2D& q)
{
  for (std::size_t i = 0; i < pool.size(); ++i) {
    if (length_2point(pool.Chart(static_cast<int>(i)), CKelCoord2D(q.m_AD, q.m_AE)) <= KelTol::SkyDisc)
      return static_cast<int>(i);
  }
  return -1;
}

// The pool's grid answers as a scan over every point would, for points
// crowded around the corners of cells of several widths (among them the
// grid's own, whichever way its cells are laid) and on the horizon.
TEST(CSpherePolyCoordArray, SearchAnswersAsTheFullScan)
{
  Random r(11);
  // One draw per statement: operands come in no fixed order.
  const auto nearLine = [&](double cell) {
    const double steps = static_cast<double>(r.rng() % 5);
    return cell * steps + r.In(-3e-6, 3e-6);
  };
  const auto nearCorner = [&] {
    const double cell = KelTol::SkyDisc * std::array{10.0, 50.0, 100.0}[r.rng() % 3];
    const double y = r.rng() % 4 == 0 ? 0 : nearLine(cell);
    return CSphereCoordD2D(0, 0, nearLine(cell), y, 0);
  };
  CSpherePolyCoordArray pool;
  for (int k = 0; k < 400; ++k)
    pool.push_back(nearCorner());
  int found = 0;
  for (int k = 0; k < 20000; ++k) {
    const CSphereCoordD2D q = nearCorner();
    const int expected = ScanSearch(pool, q);
    ASSERT_EQ(expected, pool.Search(q)) << k;
    found += expected >= 0;
  }
  EXPECT_GT(found, 5000);
  EXPECT_LT(found, 19000);
}

// Points added between searches, however they were added, are found, also
// while the grid grows, and a pool cut short forgets the points it lost.
TEST(CSpherePolyCoordArray, SearchFollowsThePoolAsItGrowsAndShrinks)
{
  Random r(5);
  CSpherePolyCoordArray pool;
  // Braced: the draws come in order whatever the compiler.
  const auto point = [&] { return CSphereCoordD2D{0, 0, r.In(-3, 3), r.rng() % 3 == 0 ? 0 : r.In(0, 1.5), 0}; };
  for (int k = 0; k < 5000; ++k) {
    const CSphereCoordD2D p = point();
    const int expected = ScanSearch(pool, p);
    if (k % 7 == 0) {
      pool.push_back(p);
      ASSERT_EQ(expected < 0 ? static_cast<int>(pool.size()) - 1 : expected, pool.Search(p)) << k;
      continue;
    }
    // Read before Add: the arguments of one call come in no fixed order.
    const int answer = expected < 0 ? static_cast<int>(pool.size()) : expected;
    ASSERT_EQ(answer, pool.Add(p)) << k;
  }
  const CSphereCoordD2D last = pool.back();
  const CSpherePolyCoordArray copy = pool;
  pool.resize(pool.size() / 2);
  EXPECT_EQ(ScanSearch(pool, last), pool.Search(last));
  EXPECT_EQ(static_cast<int>(copy.size()) - 1, copy.Search(last));
  pool.clear();
  EXPECT_EQ(-1, pool.Search(last));
}

// A hint never changes what Add answers: not for a point that coincides
// with the hinted one, nor where points pushed past Add lie within the band
// of earlier ones, nor after the pool was cut short.
TEST(CSpherePolyCoordArray, HintedAddAnswersAsAdd)
{
  Random r(23);
  int hinted = 0;
  for (int round = 0; round < 200; ++round) {
    CSpherePolyCoordArray pool;
    // Braced: the draws come in order whatever the compiler.
    const auto point = [&] { return CSphereCoordD2D{0, 0, 1e-5 * static_cast<double>(r.rng() % 40), r.rng() % 2 ? 0.0 : 1e-5, 0}; };
    for (int k = 0; k < 30; ++k) {
      const CSphereCoordD2D p = point();
      if (r.rng() % 10 == 0) {
        // Past Add, and perhaps within the band of a point already held.
        pool.push_back(CSphereCoordD2D(0, 0, p.m_AD + r.In(-5e-7, 5e-7), p.m_AE, 0));
        continue;
      }
      if (r.rng() % 25 == 0) {
        // Cut short, which the next search notices.
        pool.resize(pool.size() / 2);
        pool.Search(p);
      }
      const int size = static_cast<int>(pool.size());
      const int k1 = size == 0 ? -1 : static_cast<int>(r.rng() % static_cast<unsigned>(size));
      const int k2 = size == 0 ? -1 : static_cast<int>(r.rng() % static_cast<unsigned>(size));
      // Mostly a copy of a held point, hinted or not.
      const CSphereCoordD2D q = k1 >= 0 && r.rng() % 3 != 0 ? pool[static_cast<std::size_t>(k1)] : p;
      CSpherePolyCoordArray plain = pool;
      const int scan = ScanSearch(pool, q);
      const int expected = plain.Add(q);
      ASSERT_EQ(scan < 0 ? size : scan, expected) << round << ", " << k;
      const int got = pool.Add(q, {-1, k2, k1});
      ASSERT_EQ(expected, got) << round << ", " << k;
      ASSERT_EQ(plain.size(), pool.size());
      hinted += k1 >= 0 && got == k1;
    }
  }
  EXPECT_GT(hinted, 1000);
}

// A point pushed past Add after the pool was cut short and searched is no
// separated point, though the pool once held more points that Add appended:
// a hint naming it gives way to the earlier point within the band.
TEST(CSpherePolyCoordArray, HintedAddAfterACutCountsNoPushedPointAsSeparated)
{
  CSpherePolyCoordArray pool;
  for (int k = 0; k < 20; ++k)
    ASSERT_EQ(k, pool.Add(At(1e-5 * k, 0)));
  pool.resize(10);
  EXPECT_EQ(-1, pool.Search(At(1, 1)));
  const CSphereCoordD2D near3 = At(3e-5 + 5e-7, 0);
  pool.push_back(near3);
  CSpherePolyCoordArray plain = pool;
  EXPECT_EQ(3, plain.Add(near3));
  EXPECT_EQ(3, pool.Add(near3, {10}));
  // Cut short once more, with no search before the hinted Add.
  pool.resize(5);
  EXPECT_EQ(4, pool.Add(At(4e-5, 0), {4}));
}

// Faces' edges on a small lattice, so that edges repeat, coincide at their
// ends and branch.
std::vector<std::pair<CSphereCoordD2D, CSphereCoordD2D>> LatticeEdges(Random& r, int count)
{
  std::vector<std::pair<CSphereCoordD2D, CSphereCoordD2D>> edges;
  const auto point = [&r] {
    // One draw per statement: a call's arguments come in no fixed order.
    const double ad = 0.1 * static_cast<double>(r.rng() % 4);
    return At(ad, 0.1 * static_cast<double>(r.rng() % 3));
  };
  CSphereCoordD2D from = point();
  for (int k = 0; k < count; ++k) {
    const CSphereCoordD2D to = r.rng() % 5 == 0 ? from : point();
    edges.emplace_back(from, to);
    from = r.rng() % 4 == 0 ? point() : to;
  }
  return edges;
}

// Segments added in one go are those AddLine adds one by one, and the trace
// through the segments at each point follows the search over them all.
TEST(CSpherePolyLineArray, AddedInOneGoAndTracedAsOneByOne)
{
  Random r(31);
  int traced = 0;
  for (int round = 0; round < 400; ++round) {
    const auto edges = LatticeEdges(r, 2 + static_cast<int>(r.rng() % 14));
    CSpherePolyLineArray one, all;
    all.AddLine(edges.front().second, edges.front().first);
    one.AddLine(edges.front().second, edges.front().first);
    for (const auto& [p, q] : edges)
      one.AddLine(p, q);
    all.AddLines(edges);
    ASSERT_EQ(one.size(), all.size()) << round;
    for (std::size_t k = 0; k < one.size(); ++k)
      ASSERT_TRUE(one[k].m_Beg == all[k].m_Beg && one[k].m_End == all[k].m_End) << round << ", " << k;
    // The trace as the search over every segment finds it, on the segments
    // the clean-up leaves.
    if (all.Create2() != CSpherePolyLineArray::kTraced)
      continue;
    ++traced;
    const auto end = [&all](int s) {
      const CSpherePolyLine& l = all[static_cast<std::size_t>(s > 0 ? s - 1 : -s - 1)];
      return s > 0 ? l.m_End : l.m_Beg;
    };
    int s = all.GetMinYIndex();
    std::vector<int> expected{end(-s), end(s)};
    for (s = all.Search(s); s != 0 && end(s) != expected.front() && expected.size() <= 2 * all.size();
         s = all.Search(s))
      expected.push_back(end(s));
    EXPECT_EQ(expected, all.m_OutlineIdx) << round;
  }
  EXPECT_GT(traced, 50);
}

// The same segments handed over by their numbers in the faces' pool,
// where points repeat under several numbers.
TEST(CSpherePolyLineArray, SegmentsByPoolNumberAsByPoint)
{
  Random r(37);
  for (int round = 0; round < 300; ++round) {
    const auto points = LatticeEdges(r, 2 + static_cast<int>(r.rng() % 14));
    CSpherePolyCoordArray faces;
    for (const auto& [p, q] : points) {
      faces.push_back(p);
      faces.push_back(q);
    }
    std::vector<std::pair<int, int>> numbered;
    for (std::size_t k = 0; k < points.size(); ++k) {
      // Mostly the first copy of each point, sometimes a later one.
      const auto number = [&](const CSphereCoordD2D& p, int own) {
        const int first = faces.Search(p);
        return r.rng() % 3 == 0 ? own : first;
      };
      const int first = number(points[k].first, static_cast<int>(2 * k));
      numbered.emplace_back(first, number(points[k].second, static_cast<int>(2 * k + 1)));
    }
    CSpherePolyLineArray byPoint, byNumber;
    byPoint.AddLine(points.back().first, points.front().second);
    byNumber.AddLine(points.back().first, points.front().second);
    byPoint.AddLines(points);
    byNumber.AddLines(faces, numbered);
    ASSERT_EQ(byPoint.m_PolyCoord.size(), byNumber.m_PolyCoord.size()) << round;
    for (std::size_t k = 0; k < byPoint.m_PolyCoord.size(); ++k)
      ASSERT_TRUE(byPoint.m_PolyCoord[k] == byNumber.m_PolyCoord[k]) << round << ", " << k;
    ASSERT_EQ(byPoint.size(), byNumber.size()) << round;
    for (std::size_t k = 0; k < byPoint.size(); ++k) {
      const CSpherePolyLine &p = byPoint[k], &n = byNumber[k];
      ASSERT_TRUE(p.m_Beg == n.m_Beg && p.m_End == n.m_End && p.m_Angle1 == n.m_Angle1 && p.m_Angle2 == n.m_Angle2)
          << round << ", " << k;
    }
  }
}

// Segments put in as they come (repeated, dangling, either way round): the
// clean-up keeps and the trace follows what the former forms kept and
// followed.
TEST(CSpherePolyLineArray, CleanedAndTracedAsTheFormerForms)
{
  Random r(41);
  int traced = 0, duplicated = 0, dangling = 0;
  for (int round = 0; round < 600; ++round) {
    CSpherePolyLineArray lines;
    for (int k = 0; k < 12; ++k)
      lines.m_PolyCoord.push_back(At(0.1 * static_cast<double>(k % 4), 0.1 * static_cast<double>(k / 4)));
    for (int k = 0, n = 3 + static_cast<int>(r.rng() % 16); k < n; ++k) {
      CSpherePolyLine line;
      line.m_pCoord = &lines.m_PolyCoord;
      line.m_Beg = static_cast<int>(r.rng() % 12);
      line.m_End = r.rng() % 7 == 0 ? line.m_Beg : static_cast<int>(r.rng() % 12);
      line.CalcAngle();
      lines.Insert(static_cast<int>(r.rng() % (lines.size() + 1)), line);
    }
    std::vector<std::pair<int, int>> ends;
    for (const CSpherePolyLine& l : lines)
      ends.emplace_back(l.m_Beg, l.m_End);
    std::sort(ends.begin(), ends.end());
    duplicated += std::adjacent_find(ends.begin(), ends.end()) != ends.end();
    CSpherePolyLineArray former = lines;
    const int code = lines.Create2();
    ASSERT_EQ(trace_previous::Create2(former), code) << round;
    ASSERT_EQ(former.m_OutlineIdx, lines.m_OutlineIdx) << round;
    ASSERT_EQ(former.size(), lines.size()) << round;
    for (std::size_t k = 0; k < lines.size(); ++k)
      ASSERT_TRUE(former[k].m_Beg == lines[k].m_Beg && former[k].m_End == lines[k].m_End) << round << ", " << k;
    traced += code == CSpherePolyLineArray::kTraced;
    dangling += code != CSpherePolyLineArray::kTraced;
  }
  EXPECT_GT(traced, 50);
  EXPECT_GT(dangling, 50);
  EXPECT_GT(duplicated, 100);
}

// Segments that name a point the pool does not hold: a dangling one goes
// as the former clean-up dropped it, the outline traced as before; two
// meeting there leave nothing to trace instead of reading past the pool.
TEST(CSpherePolyLineArray, ASegmentOutsideThePoolHasNoOutline)
{
  for (const int outside : {4, 100, -1}) {
    for (const int strays : {1, 2}) {
      CSpherePolyLineArray lines;
      lines.AddLine(At(0, 0), At(1, 0));
      lines.AddLine(At(1, 0), At(1, 1));
      lines.AddLine(At(1, 1), At(0, 0));
      ASSERT_EQ(3u, lines.m_PolyCoord.size());
      for (int k = 0; k < strays; ++k) {
        CSpherePolyLine stray;
        stray.m_pCoord = &lines.m_PolyCoord;
        stray.m_Beg = k;
        stray.m_End = outside;
        lines.push_back(stray);
      }
      if (strays == 1) {
        EXPECT_EQ(CSpherePolyLineArray::kTraced, lines.Create2()) << outside;
        EXPECT_EQ(3u, lines.m_OutlineIdx.size()) << outside;
        continue;
      }
      EXPECT_EQ(CSpherePolyLineArray::kNoOutline, lines.Create2()) << outside;
      EXPECT_TRUE(lines.m_OutlineIdx.empty()) << outside;
    }
  }
}

}  // namespace
