// Slopes through points, the slant cut (Syasen = slant line) under a surface
// folded along a diagonal, the cut into convex pieces, and merging tops.
//
// Convex cut vocabulary: a reflex vertex turns clockwise on the
// counter-clockwise outline (IsOukata); a diagonal joins it to a vertex seen
// inside its reflex angle and splits the outline into piece A (the reflex
// vertex forward to the candidate) and piece B (the rest), both closed by the
// diagonal. Each trial of a diagonal costs one unit of a budget of n^2 for
// the whole cut: simple outlines need about n, and the budget keeps a
// hopeless outline from backtracking without end.

#include <algorithm>
#include <cmath>

#include "CKelBlockCube.h"
#include "CKelBlockSlope.h"
#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

// --- Slopes ---------------------------------------------------------------------------------

void CKelBlockCube::CutSlopeOneBlock(const CPrfPlanItem* item, const std::vector<CKelCoord3D>& pts, double bottom)
{
  if (pts.size() != 3)
    return;
  CKelBlockSlopeItem slope;
  slope.m_Face = CKelBlockSlopeItem::kFaceTop;
  for (std::size_t k = 0; k < 3; ++k)
    slope.m_Top[k] = CCoordBldSurf(pts[k].m_x, pts[k].m_y, pts[k].m_z);
  for (CKelBlockCoord& c : m_Coord) {
    c.CutSlope(&slope);
    c.SetZH(c.m_z, item);
    if (bottom < 0)
      c.m_zL = bottom;
  }
  GetPlaneEquation(false);
  GetPlaneEquation(true);
}

namespace {

// The side of p0 -> p3 a block lies on. A block reported on both sides (a
// self-crossing outline Divide refused) is filed once, by its plan centroid.
int FoldSide(const CKelBlockCube& block, const CKelCoord2D& p0, const CKelCoord2D& p3)
{
  const int side = block.WhitchSide(p0, p3);
  if (side != (CKelBlockCube::DEL_TOP | CKelBlockCube::DEL_BOT))
    return side;
  CKelCoord2D centroid;
  for (const CKelBlockCoord& c : block.m_Coord) {
    centroid.m_x += c.m_x / static_cast<double>(block.m_Coord.size());
    centroid.m_y += c.m_y / static_cast<double>(block.m_Coord.size());
  }
  return KelEdge::Measure(p0, p3, centroid).h >= 0 ? CKelBlockCube::DEL_TOP : CKelBlockCube::DEL_BOT;
}

}  // namespace

CKelBlockCubeList CKelBlockCube::CutSyasenSlope(const CPrfPlanParam* prf, const std::vector<CKelCoord3D>& pts,
                                                double bottom, double limit, double offset) const
{
  if (IsDegenerate())
    return {*this};
  const CPrfPlanItem* item = ItemOf(prf, m_PpNo);
  CKelBlockCubeList result;
  if (pts.size() == 4) {
    const int side = FoldSide(*this, pts[0], pts[3]);
    // The right half takes the plane through p0, p1, p3, the left p0, p2, p3.
    const struct {
      int drop;
      int keep;
      std::size_t middle;
    } halves[2] = {{DEL_TOP, DEL_BOT, 1}, {DEL_BOT, DEL_TOP, 2}};
    for (const auto& half : halves) {
      CKelBlockCubeList pieces;
      (void)Divide(prf, pts[0], pts[3], pieces, half.drop);  // no pieces: handled just below
      if (pieces.empty() && (side & half.keep) != 0)
        pieces.push_back(*this);
      for (CKelBlockCube& piece : pieces) {
        piece.CutSlopeOneBlock(item, {pts[0], pts[half.middle], pts[3]}, bottom);
        result.push_back(std::move(piece));
      }
    }
  } else {
    result.push_back(*this);
    result.back().CutSlopeOneBlock(item, pts, bottom);
  }
  for (CKelBlockCube& block : result) {
    block.SetType();
    block.SetMinMax();
    block.GetPlaneEquation(false);
    block.GetPlaneEquation(true);
  }
  if (!(limit > 0))
    return result;
  CKelBlockCubeList limited;
  for (const CKelBlockCube& block : result) {
    const CKelBlockCubeList below = block.GetCutHorzPlane(prf, true, false, limit + offset);
    limited.insert(limited.end(), below.begin(), below.end());
  }
  return limited;
}

// --- Convex pieces ------------------------------------------------------------------------------

namespace {

// Appends vertex j unless it repeats the piece's last or first vertex.
void CloseWith(CKelBlockCube& piece, const CKelBlockCoord& j)
{
  if (piece.m_Coord.empty() || (static_cast<const CKelCoord2D&>(j) != piece.m_Coord.back() &&
                                static_cast<const CKelCoord2D&>(j) != piece.m_Coord.front()))
    piece.m_Coord.push_back(j);
}

CKelBlockCube PieceBetween(const CKelBlockCube& block, int from, int to, bool inclusive)
{
  CKelBlockCube piece(block);
  piece.m_Coord.clear();
  const int n = block.GetSize();
  for (int i = from;; i = (i + 1) % n) {
    if (!inclusive && i == to)
      break;
    piece.m_Coord.push_back(block.m_Coord[static_cast<std::size_t>(i)]);
    if (i == to)
      break;
  }
  CloseWith(piece, block.m_Coord[static_cast<std::size_t>(to)]);
  return piece;
}

// The diagonal closes the piece (its last vertex back to the first). When the
// parent already passed the free-edge test, only what the diagonal adds can
// fail it: the diagonal against every edge, and every edge against it.
bool DiagonalFree(const CKelBlockCube& piece, bool parentChecked)
{
  if (!parentChecked)
    return piece.CheckCross2();
  const int n = piece.GetSize();
  const CKelCoord2D& d1 = piece.m_Coord[static_cast<std::size_t>(n - 1)];
  const CKelCoord2D& d2 = piece.m_Coord[0];
  if (!piece.CheckCross2(d1, d2, n - 1, 0))
    return false;
  for (int k = 1; k < n; ++k) {
    const CKelCoord2D& s = piece.m_Coord[static_cast<std::size_t>(k - 1)];
    const CKelCoord2D& e = piece.m_Coord[static_cast<std::size_t>(k)];
    if (length_2point(d1, s) <= KelTol::BlockAreaSign || CKelBlockCube::IsLineCrossed2(s, e, d1, d2))
      return false;
  }
  return true;
}

}  // namespace

bool CKelBlockCube::CutBlock(const CPrfPlanParam* prf, CKelBlockCubeList& out, int depth) const
{
  const long long n = GetSize();
  long long budget = n * n;
  return ConvexSplit(prf, out, depth, budget, false);
}

bool CKelBlockCube::ConvexSplit(const CPrfPlanParam* prf, CKelBlockCubeList& out, int depth, long long& budget,
                                bool checked) const
{
  if (IsDegenerate())
    return false;
  const std::vector<int> reflex = IsOukata();
  if (reflex.empty()) {
    out.push_back(*this);
    return true;
  }
  for (int r : reflex) {
    for (int j : CutBlockSearchNearistPoint(prf, r)) {
      if (budget-- <= 0)
        return false;
      CKelBlockCube a = PieceBetween(*this, r, j, false);
      CKelBlockCube b = PieceBetween(*this, j, r, true);
      if (!(CalcArea(a.m_Coord) > 0 && CalcArea(b.m_Coord) > 0) || !DiagonalFree(a, checked) ||
          !DiagonalFree(b, checked))
        continue;
      a.SetMinMax();
      b.SetMinMax();
      CKelBlockCubeList work;
      if (a.ConvexSplit(prf, work, depth + 1, budget, true) && b.ConvexSplit(prf, work, depth + 1, budget, true)) {
        out.insert(out.end(), std::make_move_iterator(work.begin()), std::make_move_iterator(work.end()));
        return true;
      }
      if (budget <= 0)
        return false;
    }
  }
  return false;
}

std::vector<int> CKelBlockCube::CutBlockSearchNearistPoint(const CPrfPlanParam* /*prf*/, int r) const
{
  std::vector<int> candidates;
  const int n = GetSize();
  if (r < 0 || r >= n || n < 4)
    return candidates;
  const int prev = PrevPos(r);
  const int next = NextPos(r);
  const CKelBlockCoord& origin = m_Coord[static_cast<std::size_t>(r)];
  // Angles seen from r, measured from the incoming edge's direction.
  const auto angle = [&](int i) {
    const KelEdge::Frame f = KelEdge::Measure(m_Coord[static_cast<std::size_t>(prev)], origin,
                                              m_Coord[static_cast<std::size_t>(i)]);
    return std::atan2(f.h, f.t - f.len);
  };
  const double nextAngle = angle(next);
  for (int i = 0; i < n; ++i) {
    if (i != prev && i != r && i != next && angle(i) > nextAngle)
      candidates.push_back(i);
  }
  return candidates;
}

namespace {

// Height at p on the edge a -> b, interpolated along its longer axis.
double EdgeHeight(const CKelBlockCoord& a, const CKelBlockCoord& b, const CKelCoord2D& p, bool bottom)
{
  const double dx = b.m_x - a.m_x;
  const double dy = b.m_y - a.m_y;
  const double t = std::fabs(dx) >= std::fabs(dy) ? (p.m_x - a.m_x) / dx : (p.m_y - a.m_y) / dy;
  return a.GetZ(bottom) + t * (b.GetZ(bottom) - a.GetZ(bottom));
}

}  // namespace

int CKelBlockCube::CutBlockSearchNextPoint(const CPrfPlanParam* prf, int r, CKelBlockCoord& hit) const
{
  const int n = GetSize();
  if (r < 0 || r >= n || n < 3)
    return -1;
  const double tol = KelTol::BlockAreaSign;
  const CKelBlockCoord& o = m_Coord[static_cast<std::size_t>(r)];
  const CKelBlockCoord& next = m_Coord[static_cast<std::size_t>(NextPos(r))];
  const CKelBlockCoord& prev = m_Coord[static_cast<std::size_t>(PrevPos(r))];
  // The inner angle runs counter-clockwise from the edge to next to the edge
  // to prev; the ray halves it.
  const double toNext = std::atan2(next.m_y - o.m_y, next.m_x - o.m_x);
  double inner = std::atan2(prev.m_y - o.m_y, prev.m_x - o.m_x) - toNext;
  if (inner <= 0)
    inner += KelAngle::TwoPi;
  const double ray = toNext + inner / 2;
  const CKelCoord2D far(o.m_x + std::cos(ray), o.m_y + std::sin(ray));

  int found = -1;
  double best = 0;
  const CPrfPlanItem* item = ItemOf(prf, m_PpNo);
  for (int step = 1; step <= n; ++step) {
    const int k = (r + step) % n;
    const CKelBlockCoord& a = m_Coord[static_cast<std::size_t>(PrevPos(k))];
    const CKelBlockCoord& b = m_Coord[static_cast<std::size_t>(k)];
    const KelEdge::Frame fa = KelEdge::Measure(o, far, a);
    const KelEdge::Frame fb = KelEdge::Measure(o, far, b);
    if ((fa.h > tol && fb.h > tol) || (fa.h < -tol && fb.h < -tol))
      continue;
    if (std::fabs(fa.h) <= tol && std::fabs(fb.h) <= tol) {
      // An edge on the ray: its nearer end ahead of r.
      const bool aNearer = fa.t > 0 && (fb.t <= 0 || fa.t <= fb.t);
      const double d = aNearer ? fa.t : fb.t;
      if (d > 0 && (found < 0 || d < best)) {
        found = k;
        best = d;
        hit = aNearer ? a : b;
      }
      continue;
    }
    const double t = fa.h / (fa.h - fb.h);
    const CKelCoord2D p = a.CKelCoord2D::GetCoord(b, t);
    const double d = KelEdge::Measure(o, far, p).t;
    if (d > tol && (found < 0 || d < best)) {
      found = k;
      best = d;
      hit = CKelBlockCoord(p.m_x, p.m_y, 0, 0);
      hit.SetZH(EdgeHeight(a, b, p, false), item);
      hit.SetZL(EdgeHeight(a, b, p, true), item);
    }
  }
  return found;
}

// --- Merging -----------------------------------------------------------------------------------

bool CKelBlockCube::MergeBlock(const CKelBlockCube& other)
{
  if (other.m_Coord.size() != m_Coord.size())
    return false;
  for (std::size_t i = 0; i < m_Coord.size(); ++i) {
    const CKelBlockCoord& a = m_Coord[i];
    const CKelBlockCoord& b = other.m_Coord[i];
    if (!(std::fabs(a.m_x - b.m_x) < KelTol::BlockPoint && std::fabs(a.m_y - b.m_y) < KelTol::BlockPoint &&
          std::fabs(a.m_z - b.m_z) < KelTol::BlockPoint))
      return false;
  }
  for (std::size_t i = 0; i < m_Coord.size(); ++i) {
    m_Coord[i].m_z = other.m_Coord[i].m_z;
    m_Coord[i].m_OffH = other.m_Coord[i].m_OffH;
    m_Coord[i].m_FlrH = other.m_Coord[i].m_FlrH;
  }
  return true;
}
