#include "CSpherePolyLine.h"

#include <gtest/gtest.h>

#include "CSpherePolyArea.h"

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
  ASSERT_EQ(0, lines.Create2());
  EXPECT_EQ(Pairs({{1, 0}, {1, 1}, {0, 1}, {0, 0}}), Charts(lines.m_PolyCoord, lines.m_OutlineIdx));
  EXPECT_DOUBLE_EQ(1.0, lines.GetArea());
}

TEST(CSpherePolyLineArray, RepeatedAndDegenerateSegmentsLeaveTheSetAsItIs)
{
  CSpherePolyLineArray lines = Square();
  lines.AddLine(At(1, 1), At(1, 0));
  lines.AddLine(At(0, 0), At(0, 0.5e-6));
  EXPECT_EQ(4u, lines.size());
  EXPECT_EQ(4u, lines.m_PolyCoord.size());
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
      {"not between", 0, 40 * deg, 30 * deg, 0, 0, 10, false},
      {"no sectors", 0, 15 * deg, 30 * deg, 0, 0, 0, false},
      {"unknown kind", 0, 15 * deg, 30 * deg, 0, 7, 10, false},
  };
  for (const Case& c : cases) {
    CSphereCoordD2D prev = At(c.prevAd, 0), cur = At(c.curAd, c.curAe), next = At(c.nextAd, 0);
    cur.m_PntKind = c.kind;
    EXPECT_EQ(c.deletable, CSphereBlkDataLineArray::IsDeletable(prev, cur, next, c.step)) << c.name;
  }
}

}  // namespace
