// The outline-to-wall collector: the merge and cancel cases with their exact
// lists, tolerance boundaries, and the invariant that outlines of a
// partition leave exactly the outer boundary uncancelled and the inner edges
// cancelled, for segments and for arcs around the seam direction pi.

#include "CKelAreaToWall.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr double kPi = 3.141592653589793;

struct Seg {
  double x1, y1, x2, y2;
  bool flag;
  bool operator==(const Seg&) const = default;
};

std::vector<Seg> Segs(const CKelAreaToWall& w)
{
  std::vector<Seg> out;
  for (const CKelWallLine& l : w.m_Lines)
    out.push_back({l.m_p1.m_x, l.m_p1.m_y, l.m_p2.m_x, l.m_p2.m_y, l.m_bFlag});
  return out;
}

std::pair<double, double> Lengths(const CKelAreaToWall& w)
{
  double open = 0, cancelled = 0;
  for (const CKelWallLine& l : w.m_Lines)
    (l.m_bFlag ? cancelled : open) += l.m_p1.GetLength(l.m_p2);
  return {open, cancelled};
}

TEST(CKelAreaToWallTest, SameWaySegmentsMergeAndOppositeOnesCancel)
{
  CKelAreaToWall twice;
  twice.AddLine({0, 0}, {1, 0});
  twice.AddLine({0, 0}, {1, 0});
  EXPECT_EQ(Segs(twice), (std::vector<Seg>{{0, 0, 1, 0, false}}));

  CKelAreaToWall back;
  back.AddLine({0, 0}, {1, 0});
  back.AddLine({1, 0}, {0, 0});
  EXPECT_EQ(Segs(back), (std::vector<Seg>{{0, 0, 1, 0, true}}));

  CKelAreaToWall partial;
  partial.AddLine({0, 0}, {4, 0});
  partial.AddLine({6, 0}, {2, 0});
  EXPECT_EQ(Segs(partial), (std::vector<Seg>{{2, 0, 4, 0, true}, {6, 0, 4, 0, false}, {0, 0, 2, 0, false}}));
}

TEST(CKelAreaToWallTest, EveryCaseOfTheOverlapTableKeepsEachStretchOnce)
{
  // The collected (0, 0) -> (4, 0) against new segments in both directions
  // that start before or inside and end inside or beyond it.
  struct Case {
    double from, to;
    double open, cancelled;
  } cases[] = {
      {1, 6, 6, 0},  {-2, 3, 6, 0}, {-1, 5, 6, 0}, {1, 3, 4, 0},  // same way
      {6, 1, 3, 3},  {3, -2, 3, 3}, {5, -1, 2, 4}, {3, 1, 2, 2},  // opposite way
  };
  for (const Case& c : cases) {
    CKelAreaToWall w;
    w.AddLine({0, 0}, {4, 0});
    w.AddLine({c.from, 0}, {c.to, 0});
    const auto [open, cancelled] = Lengths(w);
    EXPECT_DOUBLE_EQ(open, c.open) << c.from << " " << c.to;
    EXPECT_DOUBLE_EQ(cancelled, c.cancelled) << c.from << " " << c.to;
  }
}

TEST(CKelAreaToWallTest, CancelOnlyLeavesTheGivenSegmentUncollected)
{
  struct Case {
    double from, to;
    std::vector<Seg> after;
  } cases[] = {
      {1, 3, {{1, 0, 3, 0, true}, {0, 0, 1, 0, false}, {3, 0, 4, 0, false}}},
      {2, 6, {{0, 0, 2, 0, false}, {2, 0, 4, 0, true}}},
      {6, 2, {{2, 0, 4, 0, true}, {0, 0, 2, 0, false}}},
      {-1, 5, {{0, 0, 4, 0, true}}},  // covering it: the whole segment is cancelled
      {9, 10, {{0, 0, 4, 0, false}}},
  };
  for (const Case& c : cases) {
    CKelAreaToWall w;
    w.AddLine({0, 0}, {4, 0});
    w.AddLine2({c.from, 0}, {c.to, 0});
    std::vector<Seg> got = Segs(w);
    std::vector<Seg> want = c.after;
    const auto order = [](const Seg& a, const Seg& b) { return std::min(a.x1, a.x2) < std::min(b.x1, b.x2); };
    std::sort(got.begin(), got.end(), order);
    std::sort(want.begin(), want.end(), order);
    EXPECT_EQ(got, want) << c.from << " " << c.to;
  }
}

TEST(CKelAreaToWallTest, TolerancesOfTheCollector)
{
  CKelAreaToWall w;
  EXPECT_EQ(w.fcmp(1e-5), 0);
  EXPECT_EQ(w.fcmp(-2e-5), -1);
  w.AddLine({0, 0}, {1e-7, 0});
  EXPECT_TRUE(w.m_Lines.empty());
  w.AddLine({0, 0}, {1, 0});
  w.AddLine({0, 2e-5}, {1, 2e-5});  // not collinear: collected apart
  EXPECT_EQ(w.m_Lines.size(), 2u);
  w.AddPoint({1 - 5e-6, 0});  // within eps of the end: nothing
  EXPECT_EQ(w.m_Lines.size(), 2u);
  w.AddPoint({0.25, 0});
  ASSERT_EQ(w.m_Lines.size(), 3u);
  EXPECT_EQ(Segs(w)[0], (Seg{0, 0, 0.25, 0, false}));
  EXPECT_EQ(Segs(w)[1], (Seg{0.25, 0, 1, 0, false}));
  EXPECT_EQ(w.Search({1, 0}, {0.25, 0}), &w.m_Lines[1]);
  EXPECT_EQ(w.Search({1, 0}, {0, 0}), nullptr);
  w.Clear();
  EXPECT_TRUE(w.m_Lines.empty());
}

TEST(CKelAreaToWallTest, ArcCentresFromTheOpeningAngle)
{
  CKelCoord2D c;
  const CKelCoord2D a(1, 0), b(-1, 0);
  EXPECT_TRUE(CKelAreaToWall::ArcGetOrigo(&a, &b, kPi, &c));
  EXPECT_EQ(c.m_x, 0.0);
  EXPECT_EQ(c.m_y, 0.0);
  EXPECT_TRUE(CKelAreaToWall::ArcGetOrigo(&a, &b, kPi / 2, &c));
  EXPECT_NEAR(c.m_x, 0.0, 1e-15);
  EXPECT_NEAR(c.m_y, -1.0, 1e-15);
  EXPECT_FALSE(CKelAreaToWall::ArcGetOrigo(&a, &b, 5e-6, &c));
  EXPECT_EQ(c.m_x, 0.0);
}

// --- Partitions ---------------------------------------------------------------------------------

struct Rect {
  int x0, y0, x1, y1;
};

void Guillotine(std::mt19937& rng, const Rect& r, int depth, std::vector<Rect>& out)
{
  const bool canX = r.x1 - r.x0 >= 2;
  const bool canY = r.y1 - r.y0 >= 2;
  if (depth == 0 || (!canX && !canY) || rng() % 5 == 0) {
    out.push_back(r);
    return;
  }
  if (canX && (!canY || rng() % 2 == 0)) {
    const int x = r.x0 + 1 + static_cast<int>(rng() % static_cast<unsigned>(r.x1 - r.x0 - 1));
    Guillotine(rng, {r.x0, r.y0, x, r.y1}, depth - 1, out);
    Guillotine(rng, {x, r.y0, r.x1, r.y1}, depth - 1, out);
  } else {
    const int y = r.y0 + 1 + static_cast<int>(rng() % static_cast<unsigned>(r.y1 - r.y0 - 1));
    Guillotine(rng, {r.x0, r.y0, r.x1, y}, depth - 1, out);
    Guillotine(rng, {r.x0, y, r.x1, r.y1}, depth - 1, out);
  }
}

TEST(CKelAreaToWallTest, PartitionsLeaveTheirBoundaryOpenAndTheirInnerEdgesCancelled)
{
  std::mt19937 rng(8);
  for (int trial = 0; trial < 200; ++trial) {
    const Rect whole{0, 0, 2 + static_cast<int>(rng() % 9), 2 + static_cast<int>(rng() % 9)};
    std::vector<Rect> parts;
    Guillotine(rng, whole, 6, parts);
    std::shuffle(parts.begin(), parts.end(), rng);
    CKelAreaToWall w;
    double allEdges = 0;
    for (const Rect& r : parts) {
      const CKelCoord2D p[4] = {{1.0 * r.x0, 1.0 * r.y0}, {1.0 * r.x1, 1.0 * r.y0}, {1.0 * r.x1, 1.0 * r.y1},
                                {1.0 * r.x0, 1.0 * r.y1}};
      for (int k = 0; k < 4; ++k)
        w.AddLine(p[(k + 3) % 4], p[k]);
      allEdges += 2.0 * ((r.x1 - r.x0) + (r.y1 - r.y0));
    }
    const double perimeter = 2.0 * (whole.x1 + whole.y1);
    const auto [open, cancelled] = Lengths(w);
    EXPECT_DOUBLE_EQ(open, perimeter) << trial;
    EXPECT_DOUBLE_EQ(cancelled, (allEdges - perimeter) / 2) << trial;
  }
}

// --- Arcs ---------------------------------------------------------------------------------------

double Span(const CKelWallArc& a)
{
  return a.m_bCCW ? a.GetEndAng() - a.GetBegAng() : a.GetBegAng() - a.GetEndAng();
}

TEST(CKelAreaToWallTest, SeamAnglesFollowTheArcsDirection)
{
  const CKelCoord2D o(0, 0), left(-1, 0), up(0, 1), down(0, -1);
  EXPECT_DOUBLE_EQ(CKelWallArc(left, down, o, true, false).GetBegAng(), -kPi);
  EXPECT_DOUBLE_EQ(CKelWallArc(left, up, o, false, false).GetBegAng(), kPi);
  EXPECT_DOUBLE_EQ(CKelWallArc(up, left, o, true, false).GetEndAng(), kPi);
  EXPECT_DOUBLE_EQ(CKelWallArc(down, left, o, false, false).GetEndAng(), -kPi);
  CKelAreaToWall w;
  const CKelWallArc ccw(up, left, o, true, false);
  const CKelWallArc backwards(up, down, o, true, false);  // through the seam
  EXPECT_TRUE(w.CheckAngle(&ccw));
  EXPECT_FALSE(w.CheckAngle(&backwards));
  const CKelWallArc point(up, CKelCoord2D(5e-6, 1), o, true, false);
  EXPECT_TRUE(w.IsEqualAngle(&point));
  EXPECT_FALSE(w.IsEqualAngle(&ccw));

  CKelWallArcArray arcs;
  arcs.Add2(up, down, o, true, false);  // runs through pi: split there
  ASSERT_EQ(arcs.size(), 2u);
  EXPECT_EQ(arcs[0].m_p2.m_x, -1.0);
  arcs.Add(up, CKelCoord2D(0.0004, 1), o, true, false);  // nearly equal ends
  EXPECT_EQ(arcs.size(), 2u);
}

TEST(CKelAreaToWallTest, RingSectorsLeaveTheirCommonArcsMarkedAndRadialsCancelled)
{
  CKelAreaToWall w;
  const CKelCoord2D o(0, 0);
  const auto at = [](double r, double angle) { return CKelCoord2D(r * std::cos(angle), r * std::sin(angle)); };
  const double radii[3] = {1, 2, 3};
  for (int ring = 0; ring < 2; ++ring) {
    for (int q = 0; q < 4; ++q) {
      const double t1 = q * kPi / 2;
      const double t2 = (q + 1) * kPi / 2;
      const double r1 = radii[ring];
      const double r2 = radii[ring + 1];
      w.AddLine(at(r1, t1), at(r2, t1));
      w.AddArc(at(r2, t1), at(r2, t2), o, true);
      w.AddLine(at(r2, t2), at(r1, t2));
      w.AddArc(at(r1, t2), at(r1, t1), o, false);
    }
  }
  double span[3] = {0, 0, 0};
  for (const CKelWallArc& a : w.m_Arcs) {
    const int r = static_cast<int>(std::lround(a.Radius())) - 1;
    ASSERT_TRUE(r >= 0 && r < 3);
    EXPECT_EQ(a.m_bMark, r == 1) << a.Radius();
    span[r] += Span(a);
  }
  for (double s : span)
    EXPECT_NEAR(s, 2 * kPi, 1e-9);
  const auto [open, cancelled] = Lengths(w);
  EXPECT_NEAR(open, 0.0, 1e-9);
  EXPECT_NEAR(cancelled, 8.0, 1e-9);
}

TEST(CKelAreaToWallTest, ArcCancelOnlyMarksTheCoveredStretch)
{
  CKelAreaToWall w;
  const CKelCoord2D o(0, 0);
  w.AddArc({1, 0}, {-1, 0}, o, true);  // the upper half
  w.AddArc2({0, 1}, {1, 0}, o, false);  // clockwise over its first quarter
  double marked = 0, open = 0;
  for (const CKelWallArc& a : w.m_Arcs)
    (a.m_bMark ? marked : open) += Span(a);
  EXPECT_NEAR(marked, kPi / 2, 1e-9);
  EXPECT_NEAR(open, kPi / 2, 1e-9);
}

// An arc that starts at its centre has its seam at its start: the split
// there gives back the same arc, and must still come to an end.
TEST(CKelAreaToWallTest, AnArcStartingAtItsCentreEndsAndLeavesTheCollectedArcs)
{
  CKelAreaToWall w;
  const CKelCoord2D o(0, 0);
  w.AddArc({1, 0}, {-1, 0}, o, true);
  ASSERT_EQ(w.m_Arcs.size(), 1u);
  w.AddArc2(o, {0, -1}, o, true);
  w.AddArc(o, {0, -1}, o, true);
  w.AddArc2({0, -1}, o, o, false);
  ASSERT_EQ(w.m_Arcs.size(), 1u);
  EXPECT_EQ(w.m_Arcs[0].m_p2.m_x, -1.0);
  EXPECT_FALSE(w.m_Arcs[0].m_bMark);
}

}  // namespace
