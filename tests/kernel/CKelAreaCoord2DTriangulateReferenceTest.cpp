// The triangulation against the search it replaced: the former exhaustive
// form (every tried diagonal followed by a whole simplicity test of both
// pieces) is kept here, and both must give the same triangles in the same
// order, with the same result, on random outlines of every shape the cut of
// zone outlines meets.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "CKelAreaCoord2D.h"
#include "KelOutlineText.h"

namespace {

// --- The former search --------------------------------------------------------------

struct ReferenceBudget {
  int backtracksLeft = 0;
  int depth = 0;
};

using Result = KelTriangulateResult;

Result ReferenceInto(const CKelAreaCoord2D& poly, CKelAreaCoord2DArray& out, ReferenceBudget& budget);

CKelAreaCoord2D ReferencePiece(const CKelAreaCoord2D& poly, std::size_t from, std::size_t to)
{
  CKelAreaCoord2D piece(poly);
  piece.m_pt.clear();
  const std::size_t n = poly.m_pt.size();
  for (std::size_t k = from;; k = k + 1 == n ? 0 : k + 1) {
    piece.m_pt.push_back(poly.m_pt[k]);
    if (k == to)
      break;
  }
  return piece;
}

Result ReferenceDiagonal(const CKelAreaCoord2D& poly, int c, int j, CKelAreaCoord2DArray& out,
                         ReferenceBudget& budget)
{
  const std::size_t n = poly.m_pt.size();
  const auto uc = static_cast<std::size_t>(c);
  const auto uj = static_cast<std::size_t>(j);
  CKelAreaCoord2D a = ReferencePiece(poly, uc, uj == 0 ? n - 1 : uj - 1);
  if (!(poly.m_pt[uj] == a.m_pt.back()) && !(poly.m_pt[uj] == a.m_pt.front()))
    a.m_pt.push_back(poly.m_pt[uj]);
  const CKelAreaCoord2D b = ReferencePiece(poly, uj, uc);
  if (!a.CheckCross2() || !b.CheckCross2())
    return Result::kNotCut;
  CKelAreaCoord2DArray scratch;
  const CKelAreaCoord2D* const pieces[] = {&a, &b};
  for (const CKelAreaCoord2D* piece : pieces) {
    const Result r = ReferenceInto(*piece, scratch, budget);
    if (r == Result::kGaveUp)
      return r;
    if (r == Result::kNotCut)
      return --budget.backtracksLeft < 0 ? Result::kGaveUp : Result::kNotCut;
  }
  out.insert(out.end(), scratch.begin(), scratch.end());
  return Result::kDone;
}

Result ReferenceConvex(const CKelAreaCoord2D& poly, CKelAreaCoord2DArray& out, ReferenceBudget& budget)
{
  CKelAreaCoord2D current(poly);
  for (;;) {
    const int k = CKelAreaCoord2D::FirstEdgeApex(current.m_pt);
    if (k < 0)
      return Result::kNotCut;
    const std::vector<CKelCoord2D>& v = current.m_pt;
    CKelAreaCoord2D triangle;
    triangle.m_pt = {v[0], v[1], v[static_cast<std::size_t>(k)]};
    out.push_back(triangle);
    CKelAreaCoord2D head;
    head.m_pt.assign(v.begin() + 1, v.begin() + k + 1);
    if (head.m_pt.size() == 3)
      out.push_back(head);
    else if (head.m_pt.size() >= 4 && ReferenceInto(head, out, budget) != Result::kDone)
      return Result::kNotCut;
    CKelAreaCoord2D tail;
    tail.m_pt.assign(v.begin() + k, v.end());
    tail.m_pt.push_back(v[0]);
    if (tail.m_pt.size() == 3)
      out.push_back(tail);
    if (tail.m_pt.size() <= 3)
      return Result::kDone;
    if (!tail.IsOukata().empty())
      return ReferenceInto(tail, out, budget);
    current = std::move(tail);
  }
}

Result ReferenceInto(const CKelAreaCoord2D& poly, CKelAreaCoord2DArray& out, ReferenceBudget& budget)
{
  ++budget.depth;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{budget.depth};
  if (budget.depth > CKelAreaCoord2D::kTriangulateMaxDepth)
    return Result::kGaveUp;
  const std::vector<int> concave = poly.IsOukata();
  if (!concave.empty()) {
    for (int c : concave) {
      for (int j : poly.CutBlockSearchNearistPoint(c)) {
        const Result r = ReferenceDiagonal(poly, c, j, out, budget);
        if (r != Result::kNotCut)
          return r;
      }
    }
    return Result::kNotCut;
  }
  if (poly.m_pt.size() < 3)
    return Result::kNotCut;
  if (poly.m_pt.size() == 3) {
    out.push_back(poly);
    return Result::kDone;
  }
  return ReferenceConvex(poly, out, budget);
}

Result ReferenceTriangulate(const CKelAreaCoord2D& poly, CKelAreaCoord2DArray& out)
{
  ReferenceBudget budget;
  budget.backtracksLeft =
      CKelAreaCoord2D::kTriangulateBacktracksPerVertex * poly.GetSize() + CKelAreaCoord2D::kTriangulateBacktracksFloor;
  const Result r = ReferenceInto(poly, out, budget);
  if (r != Result::kDone)
    out.clear();
  return r;
}

// --- Outlines ------------------------------------------------------------------------

CKelAreaCoord2D RandomStar(std::mt19937& rng, int n, bool gridded)
{
  std::uniform_real_distribution<double> within(0.05, 0.95);
  std::uniform_real_distribution<double> radius(0.2, 10.0);
  CKelAreaCoord2D star;
  for (int i = 0; i < n; ++i) {
    const double a = (i + within(rng)) * 6.283185307179586 / n;
    double x = radius(rng) * std::cos(a);
    const double half = radius(rng) * std::sin(a) * 0.5;
    double y = half + 0.5 * radius(rng) * std::sin(a);
    if (gridded) {
      // Millimetre grid: coincidences and collinear runs, as real plans have.
      x = std::round(x * 2) / 2;
      y = std::round(y * 2) / 2;
    }
    star.m_pt.emplace_back(x, y);
  }
  return star;
}

// A staircase of steps between (0,0) and (s,s), closed below: many concave
// vertices, every diagonal candidate in index order.
CKelAreaCoord2D Staircase(int steps)
{
  CKelAreaCoord2D stairs;
  stairs.m_pt.emplace_back(0, 0);
  stairs.m_pt.emplace_back(steps, 0);
  for (int k = steps; k > 0; --k) {
    stairs.m_pt.emplace_back(k, steps - k + 1);
    stairs.m_pt.emplace_back(k - 1, steps - k + 1);
  }
  return stairs;
}

// A polygon that crosses itself: the pieces of its diagonals get the whole
// test, as before.
CKelAreaCoord2D Tangled(std::mt19937& rng, int n)
{
  std::uniform_real_distribution<double> coord(0, 10);
  CKelAreaCoord2D p;
  for (int i = 0; i < n; ++i) {
    // One draw per statement: a call's arguments come in no fixed order.
    const double x = coord(rng);
    p.m_pt.emplace_back(x, coord(rng));
  }
  return p;
}

void ExpectSameAsReference(const CKelAreaCoord2D& poly, const std::string& what)
{
  CKelAreaCoord2DArray expected;
  const Result expectedResult = ReferenceTriangulate(poly, expected);
  CKelAreaCoord2DArray actual;
  Result actualResult = Result::kDone;
  poly.Triangulate(actual, &actualResult);
  ASSERT_EQ(actualResult, expectedResult) << what << ": " << KelOutlineText::ToText(poly);
  ASSERT_EQ(actual.size(), expected.size()) << what << ": " << KelOutlineText::ToText(poly);
  for (std::size_t t = 0; t < actual.size(); ++t)
    ASSERT_EQ(actual[t].m_pt, expected[t].m_pt) << what << " triangle " << t;
}

TEST(CKelAreaCoord2DTriangulateReference, SameTrianglesInTheSameOrderOnRandomOutlines)
{
  std::mt19937 rng(4711);
  int cut = 0;
  int refused = 0;
  for (int round = 0; round < 400; ++round) {
    CKelAreaCoord2D star = RandomStar(rng, 4 + round % 45, round % 3 == 0);
    if (round % 2 == 0)
      star.SetArea();  // counter-clockwise; the odd rounds stay as drawn
    ExpectSameAsReference(star, "star " + std::to_string(round));
    CKelAreaCoord2DArray out;
    (star.Triangulate(out) ? cut : refused) += 1;
  }
  for (int round = 0; round < 60; ++round)
    ExpectSameAsReference(Tangled(rng, 5 + round % 12), "tangled " + std::to_string(round));
  for (int steps : {1, 2, 3, 7, 20, 60})
    ExpectSameAsReference(Staircase(steps), "staircase " + std::to_string(steps));
  // Both kinds of outcome were compared, not only successes.
  EXPECT_GT(cut, 100);
  RecordProperty("cut", cut);
  RecordProperty("refused", refused);
}

}  // namespace
