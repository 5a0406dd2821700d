// Triangulation of CKelAreaCoord2D: the segment crossing and simplicity
// tests at their tolerance, the cut of small outlines in its exact order, the
// covering property over random simple outlines, and the bound on the search.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "CKelAreaCoord2D.h"
#include "KelTestSupport.h"

namespace {

using kel_test::Poly;
using kel_test::Prepared;
using kel_test::Pts;

// --- Segment crossing and simplicity ----------------------------------------------

TEST(CKelAreaCoord2DCrossing, CrossingsTouchesOverlapsAndTheirTolerance)
{
  struct Row {
    CKelCoord2D a1, a2, b1, b2;
    bool crossed;
    const char* what;
  };
  const Row rows[] = {
      {{0, 0}, {10, 0}, {5, -1}, {5, 1}, true, "crossing"},
      {{0, 0}, {10, 0}, {5, 0}, {5, 1}, false, "touches at an end of b"},
      {{0, 0}, {10, 0}, {2, 0}, {4, 0}, true, "collinear inside a"},
      {{0, 0}, {10, 0}, {10, 0}, {12, 0}, false, "collinear, meets at a's end"},
      {{0, 0}, {10, 0}, {0, 1}, {10, 1}, false, "parallel"},
      {{0, 0}, {10, 0}, {5, 1}, {6, 2}, false, "both above"},
      {{0, 0}, {1, 0}, {0.5, -10}, {0.5, 1}, true, "10 units along b, inside b's length"},
      {{3, 3}, {3, 3}, {2, 2}, {4, 4}, false, "a zero-length segment has no inside"},
      {{0, 0}, {10, 0}, {0.5e-6, -1}, {0.5e-6, 1}, false, "0.5e-6 inside a's start"},
      {{0, 0}, {10, 0}, {2e-6, -1}, {2e-6, 1}, true, "2e-6 inside a's start"},
      {{0, 0}, {10, 0}, {5, -0.5e-6}, {5, 1}, false, "b's end 0.5e-6 beyond a's line"},
      {{0, 0}, {10, 0}, {5, -2e-6}, {5, 1}, true, "b's end 2e-6 beyond a's line"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(r.crossed, CKelAreaCoord2D::IsLineCrossed2(r.a1, r.a2, r.b1, r.b2)) << r.what;
}

TEST(CKelAreaCoord2DCrossing, SimplicityOfWholeOutlines)
{
  EXPECT_TRUE(CKelAreaCoord2D().CheckCross2());
  EXPECT_TRUE(Poly({{0, 0}, {4, 0}, {4, 4}, {0, 4}}).CheckCross2());
  EXPECT_FALSE(Poly({{0, 0}, {4, 4}, {4, 0}, {0, 4}}).CheckCross2());  // bow tie
  EXPECT_FALSE(Poly({{0, 0}, {4, 0}, {4, 0.0000001}, {0, 4}}).CheckCross2());
  EXPECT_FALSE(Poly({{0, 0}, {4, 0}, {2, 0}, {2, 3}}).CheckCross2());  // an edge folds back on the last
  // The single-edge form skips only the edge that starts at the given index.
  const CKelAreaCoord2D sq = Poly({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
  EXPECT_FALSE(sq.CheckCross2({2, -1}, {2, 1}, 3));
  EXPECT_TRUE(sq.CheckCross2({2, -1}, {2, 1}, 0));
}

// --- Concave vertices and candidates -------------------------------------------------

CKelAreaCoord2D LHexagon()
{
  // Concave at vertex 3, (2, 2).
  return Poly({{0, 0}, {4, 0}, {4, 2}, {2, 2}, {2, 4}, {0, 4}});
}

TEST(CKelAreaCoord2DConcave, RightTurnsAndTheCandidatesInsideTheirWedge)
{
  EXPECT_EQ(LHexagon().IsOukata(), std::vector<int>{3});
  EXPECT_TRUE(Poly({{0, 0}, {1, 0}, {2, 0}, {2, 2}}).IsOukata().empty());  // straight is not concave
  EXPECT_TRUE(CKelAreaCoord2D().IsOukata().empty());
  EXPECT_EQ(Poly({{0, 0}, {0, 1}, {1, 0}}).IsOukata(), (std::vector<int>{0, 1, 2}));  // clockwise

  // From (2, 2) the interior wedge runs from the leaving edge (towards (2, 4))
  // counter-clockwise round to the arriving edge reversed (towards (4, 2)):
  // every vertex but the two neighbours, in index order.
  EXPECT_EQ(LHexagon().CutBlockSearchNearistPoint(3), (std::vector<int>{0, 1, 5}));
  // A vertex in the notch above the concave vertex lies outside its wedge.
  const CKelAreaCoord2D notch = Poly({{0, 0}, {8, 0}, {8, 8}, {5, 8}, {4, 2}, {3, 8}, {4, 9}, {0, 8}});
  EXPECT_EQ(notch.CutBlockSearchNearistPoint(4), (std::vector<int>{0, 1, 2, 7}));
  // A zero-length arriving edge gives no wedge.
  EXPECT_TRUE(Poly({{0, 0}, {4, 0}, {2, 2}, {2, 2}, {2, 4}, {0, 4}}).CutBlockSearchNearistPoint(3).empty());
}

// --- Cuts of small outlines ------------------------------------------------------------

TEST(CKelAreaCoord2DTriangulate, ATriangleComesBackWholeASquareIsCutInOrderTwoVerticesFail)
{
  const CKelAreaCoord2D tri = Prepared(Poly({{0, 0}, {2, 0}, {0, 2}}));
  CKelAreaCoord2DArray out;
  ASSERT_TRUE(tri.Triangulate(out));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_TRUE(out[0] == tri);  // with its area and box

  KelTriangulateResult result = KelTriangulateResult::kDone;
  EXPECT_FALSE(Poly({{0, 0}, {1, 0}}).Triangulate(out, &result));
  EXPECT_EQ(result, KelTriangulateResult::kNotCut);
  EXPECT_EQ(out.size(), 1u);

  // A square takes the convex path, in order, after what the list held.
  ASSERT_TRUE(Prepared(Poly({{0, 0}, {1, 0}, {1, 1}, {0, 1}})).Triangulate(out, &result));
  EXPECT_EQ(result, KelTriangulateResult::kDone);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_TRUE(out[0] == tri);
  EXPECT_EQ(out[1].m_pt, Pts({{0, 0}, {1, 0}, {1, 1}}));
  EXPECT_EQ(out[2].m_pt, Pts({{1, 1}, {0, 1}, {0, 0}}));
  // Triangles of the convex path carry no cached numbers.
  EXPECT_EQ(out[1].m_area, 0.0);
  EXPECT_EQ(out[2].m_xmax, 0.0);
}

TEST(CKelAreaCoord2DTriangulate, ConcaveOutlinesAreCutAlongDiagonalsInOrder)
{
  const CKelAreaCoord2D hex = Prepared(LHexagon());
  CKelAreaCoord2DArray out;
  ASSERT_TRUE(hex.Triangulate(out));
  ASSERT_EQ(out.size(), 4u);
  // The diagonal (2,2)-(0,0) cuts the pieces (2,2),(2,4),(0,4),(0,0) and
  // (0,0),(4,0),(4,2),(2,2), each then cut by the convex path.
  EXPECT_EQ(out[0].m_pt, Pts({{2, 2}, {2, 4}, {0, 4}}));
  EXPECT_EQ(out[2].m_pt, Pts({{0, 0}, {4, 0}, {4, 2}}));
  for (CKelAreaCoord2D& t : out) {
    ASSERT_EQ(t.GetSize(), 3);
    t.SetArea();
  }
  EXPECT_DOUBLE_EQ(out.GetArea(), hex.m_area);

  // Triangle pieces of a diagonal keep the outline's cached numbers.
  CKelAreaCoord2DArray pieces;
  ASSERT_TRUE(Prepared(Poly({{0, 0}, {4, 0}, {4, 4}, {2, 1}, {0, 4}})).Triangulate(pieces));
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(pieces[0].m_pt, Pts({{2, 1}, {0, 4}, {0, 0}}));
  EXPECT_EQ(pieces[1].m_pt, Pts({{2, 1}, {0, 0}, {4, 0}}));
  EXPECT_EQ(pieces[2].m_pt, Pts({{4, 0}, {4, 4}, {2, 1}}));
  for (const CKelAreaCoord2D& t : pieces) {
    EXPECT_EQ(t.m_area, 10.0);
    EXPECT_EQ(t.m_xmax, 4.0);
  }
}

// --- Covering property ------------------------------------------------------------------

// The triangles cover the outline exactly: each is a counter-clockwise
// triangle of the outline's own vertices lying inside it, and their areas
// add up to the outline's area.
void ExpectCovered(CKelAreaCoord2D outline, const std::string& what)
{
  SCOPED_TRACE(what);
  outline.SetArea();
  outline.DeleteOnLine();
  outline.SetArea();
  outline.SetMaxMin();
  CKelAreaCoord2DArray out;
  KelTriangulateResult result = KelTriangulateResult::kNotCut;
  ASSERT_TRUE(outline.Triangulate(out, &result)) << "result " << static_cast<int>(result);
  EXPECT_EQ(out.size(), outline.m_pt.size() - 2);
  double sum = 0;
  for (const CKelAreaCoord2D& t : out) {
    ASSERT_EQ(t.GetSize(), 3);
    const double a = t.Area();
    EXPECT_GT(a, 0);
    sum += a;
    for (const CKelCoord2D& corner : t.m_pt)
      EXPECT_NE(std::find(outline.m_pt.begin(), outline.m_pt.end(), corner), outline.m_pt.end());
    const CKelCoord2D centroid((t.m_pt[0].m_x + t.m_pt[1].m_x + t.m_pt[2].m_x) / 3,
                               (t.m_pt[0].m_y + t.m_pt[1].m_y + t.m_pt[2].m_y) / 3);
    if (a > 1e-6) {
      EXPECT_NE(outline.InArea(centroid, 0, 0), 0);
    }
  }
  EXPECT_NEAR(sum, outline.m_area, 1e-9 * outline.m_area);
}

// A random star-shaped outline about the origin, concave wherever a radius
// dips. One angle per sector of 2 pi / n (n >= 4) keeps every gap under pi,
// so the origin sees the whole outline and it is simple.
TEST(CKelAreaCoord2DTriangulate, TrianglesCoverRandomStarOutlines)
{
  std::mt19937 rng(20240601);
  std::uniform_real_distribution<double> within(0.05, 0.95);
  std::uniform_real_distribution<double> radius(0.2, 10.0);
  for (int round = 0; round < 300; ++round) {
    const int n = 4 + round % 37;
    CKelAreaCoord2D star;
    for (int i = 0; i < n; ++i) {
      const double a = (i + within(rng)) * 6.283185307179586 / n;
      const double r = radius(rng);
      star.m_pt.emplace_back(r * std::cos(a), r * std::sin(a));
    }
    ExpectCovered(star, "star round " + std::to_string(round));
  }
}

int Orientation(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c)
{
  const double d = (b.m_x - a.m_x) * (c.m_y - a.m_y) - (b.m_y - a.m_y) * (c.m_x - a.m_x);
  return d > 0 ? 1 : d < 0 ? -1 : 0;
}

bool ProperlyCross(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c, const CKelCoord2D& d)
{
  return Orientation(a, b, c) * Orientation(a, b, d) < 0 && Orientation(c, d, a) * Orientation(c, d, b) < 0;
}

// A random simple outline that need not be star-shaped: random points, then
// crossing edge pairs undone by reversing the run between them until none is
// left (each reversal shortens the outline, so this ends).
CKelAreaCoord2D RandomUntangled(std::mt19937& rng, int n)
{
  std::uniform_real_distribution<double> coord(0, 100);
  CKelAreaCoord2D p;
  std::vector<CKelCoord2D>& v = p.m_pt;
  for (int i = 0; i < n; ++i) {
    // One draw per statement: a call's arguments come in no fixed order.
    const double x = coord(rng);
    v.emplace_back(x, coord(rng));
  }
  for (bool changed = true; changed;) {
    changed = false;
    for (int i = 0; i < n && !changed; ++i) {
      for (int j = i + 2; j < n && !changed; ++j) {
        if (i == 0 && j == n - 1)
          continue;
        const auto at = [&](int k) { return v[static_cast<std::size_t>(k % n)]; };
        if (ProperlyCross(at(i), at(i + 1), at(j), at(j + 1))) {
          std::reverse(v.begin() + i + 1, v.begin() + j + 1);
          changed = true;
        }
      }
    }
  }
  return p;
}

TEST(CKelAreaCoord2DTriangulate, TrianglesCoverRandomSimpleOutlines)
{
  std::mt19937 rng(77);
  for (int round = 0; round < 200; ++round)
    ExpectCovered(RandomUntangled(rng, 4 + round % 22), "outline round " + std::to_string(round));
}

// A comb with teeth notches open to the top.
CKelAreaCoord2D Comb(int teeth)
{
  CKelAreaCoord2D comb = Poly({{0, 0}, {2.0 * teeth, 0}});
  for (int k = teeth; k > 0; --k) {
    comb.m_pt.emplace_back(2 * k, 10);
    comb.m_pt.emplace_back(2 * k - 1, 1);
  }
  comb.m_pt.emplace_back(0, 10);
  return comb;
}

TEST(CKelAreaCoord2DTriangulate, TrianglesCoverCombsAndASkippedConcaveVertexHandsOver)
{
  ExpectCovered(Comb(30), "comb");
  // Two notches: vertex 3's only wedge vertex is 6, whose diagonal runs along
  // the outline through vertex 5 and is refused; vertex 5 then cuts it.
  CKelAreaCoord2D comb = Poly({{0, 0}, {6, 0}, {6, 4}, {4, 2}, {4, 4}, {2, 2}, {2, 4}, {0, 4}});
  ASSERT_TRUE(comb.CheckCross2());
  ASSERT_EQ(comb.IsOukata(), (std::vector<int>{3, 5}));
  ExpectCovered(comb, "two notches");
}

// --- Failures -----------------------------------------------------------------------------

TEST(CKelAreaCoord2DTriangulate, AFailedOrAbandonedCutLeavesTheListAsItWas)
{
  // Convex by the exact test, but the first edge has no counter-clockwise
  // apex: the convex path cannot start.
  CKelAreaCoord2D flat = Poly({{0, 0}, {1, 0}, {2, 0}, {3, 0}});
  CKelAreaCoord2DArray out;
  out.push_back(Poly({{9, 9}}));
  KelTriangulateResult result = KelTriangulateResult::kDone;
  EXPECT_FALSE(flat.Triangulate(out, &result));
  EXPECT_EQ(result, KelTriangulateResult::kNotCut);
  EXPECT_EQ(out.size(), 1u);
  EXPECT_FALSE(flat.TriangulateOld(out));
  EXPECT_EQ(out.size(), 1u);

  // Collinear vertices left on an edge (DeleteOnLine would remove them): the
  // convex path peels (0, 1, 2) and then meets a flat remainder it cannot cut;
  // the triangle it had appended is taken back.
  const CKelAreaCoord2D late = Poly({{3, 1}, {0, 3}, {0, 1}, {1, 1}, {2, 1}});
  ASSERT_TRUE(late.IsOukata().empty());
  EXPECT_FALSE(late.Triangulate(out));
  EXPECT_EQ(out.size(), 1u);
  CKelAreaCoord2D cleaned = late;
  EXPECT_TRUE(cleaned.DeleteOnLine());
  EXPECT_TRUE(cleaned.Triangulate(out));

  // A comb whose closing edge is twisted across its first tooth: every split
  // leaves pieces that pass the simplicity test yet cannot be cut, and without a
  // bound the search multiplies by about ten with every tooth (seven teeth take
  // some 10^5 backtracks; these twelve would take hours).
  CKelAreaCoord2D comb = Comb(12);
  comb.m_pt.emplace_back(1, 11);
  const std::size_t held = out.size();
  EXPECT_FALSE(comb.Triangulate(out, &result));
  EXPECT_EQ(result, KelTriangulateResult::kGaveUp);
  EXPECT_EQ(out.size(), held);
}

}  // namespace
