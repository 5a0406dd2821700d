// Division of a block by an infinite directed line p1 -> p2.
//
// Vocabulary
//   frame      a point's position u along the line from p1 and its signed
//              distance v from it (positive on the left), KelEdge::Measure.
//   on-line    |v| < KelTol::BlockPoint; such a vertex gets v = 0.0 exactly
//              in the working list, so the piece search can find it by value.
//   position   the u of an on-line vertex; the ascending list of distinct
//              positions names the chords the search tries.
//   chord      the stretch of the line between two positions; it cuts the
//              outline into chain A (first position forward to the second)
//              and chain B (the rest), each closed by the chord.
//
// The search is depth first, chain A before chain B, so for a convex block
// cut once the piece right of the line comes first. Every chord removes one
// position, which bounds the recursion by the number of positions.

#include <algorithm>
#include <cmath>
#include <utility>

#include "CKelBlockCube.h"
#include "KelBlockCutSearch.h"
#include "KelEdge.h"
#include "KelBlockOutlineClean.h"
#include "KelOutlineIndex.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

// The line's direction and length; the frame of a point is KelEdge::Measure.
struct LineFrame {
  CKelCoord2D p1;
  CKelCoord2D p2;
  double c = 1;
  double s = 0;
  double len = 0;
};

using KelPieceSearch::IndexChain;
using KelPieceSearch::SideOf;

// Step 4 of a division: the vertices in frame coordinates, on-line ones snapped.
void ToFrame(CKelBlockCoordArray& coords, const LineFrame& line)
{
  const KelEdge::Direction d(line.p1, line.p2);
  for (CKelBlockCoord& c : coords) {
    const KelEdge::Frame f = KelEdge::Measure(line.p1, d, c);
    c.m_x = f.t;
    c.m_y = std::fabs(f.h) < KelTol::BlockPoint ? 0.0 : f.h;
  }
}

void FromFrame(CKelBlockCoordArray& coords, const LineFrame& line)
{
  for (CKelBlockCoord& c : coords) {
    const double u = c.m_x;
    const double v = c.m_y;
    c.m_x = line.p1.m_x + u * line.c - v * line.s;
    c.m_y = line.p1.m_y + u * line.s + v * line.c;
  }
}

CKelBlockCoordArray Vertices(const CKelBlockCoordArray& coords, const IndexChain& chain)
{
  CKelBlockCoordArray out;
  out.reserve(chain.size());
  for (const int i : chain)
    out.push_back(coords[static_cast<std::size_t>(i)]);
  return out;
}

bool MaskDrops(const CKelBlockCoordArray& coords, int mask)
{
  for (const CKelBlockCoord& c : coords) {
    const bool off = std::fabs(c.m_y) > KelTol::BlockAreaSign;
    if ((mask & CKelBlockCube::DEL_TOP) != 0 && c.m_y > 0 && off)
      return true;
    if ((mask & CKelBlockCube::DEL_BOT) != 0 && c.m_y <= 0 && off)
      return true;
  }
  return false;
}

}  // namespace

bool CKelBlockCube::IsDegenerate() const
{
  // An area that overflowed is no area either.
  return m_Coord.size() < 3 || !IsPlaneEuqationSet(false) || !IsPlaneEuqationSet(true) ||
         !(m_Menseki > KelTol::BlockMinArea) || !std::isfinite(m_Menseki);
}

// --- Division -----------------------------------------------------------------------------

namespace {

// The vertex where the edge a -> b (frame coordinates, on opposite sides)
// crosses the line, its heights interpolated by the share of the edge.
CKelBlockCoord CrossingVertex(const CKelBlockCoord& a, const CKelBlockCoord& b, bool tyuku, const CPrfPlanItem* item)
{
  const double x = a.m_x + (0 - a.m_y) * (b.m_x - a.m_x) / (b.m_y - a.m_y);
  const double t = std::hypot(x - a.m_x, 0 - a.m_y) / std::hypot(b.m_x - a.m_x, b.m_y - a.m_y);
  CKelBlockCoord c(x, 0.0, 0, 0);
  c.SetZH(a.m_z + t * (b.m_z - a.m_z), item);
  if (tyuku)
    c.SetZL(a.m_zL + t * (b.m_zL - a.m_zL), item);
  return c;
}

// Each crossing goes right after the edge's first vertex; built in one pass,
// since inserting into the middle of the outline is quadratic. The vertices
// move over (the closing edge ends at the first one, already moved).
void InsertCrossings(CKelBlockCoordArray& coords, bool tyuku, const CPrfPlanItem* item)
{
  const std::size_t n = coords.size();
  CKelBlockCoordArray out;
  out.reserve(n + n / 2 + 1);
  for (std::size_t i = 0; i < n; ++i) {
    out.push_back(std::move(coords[i]));
    const CKelBlockCoord& a = out.back();
    const CKelBlockCoord& b = i + 1 == n ? out.front() : coords[i + 1];
    const int si = SideOf(a.m_y);
    const int sj = SideOf(b.m_y);
    if (si != CKelBlockCube::DEL_NONE && sj != CKelBlockCube::DEL_NONE && si != sj)
      out.push_back(CrossingVertex(a, b, tyuku, item));
  }
  coords = std::move(out);
}

}  // namespace

bool CKelBlockCube::Divide(const CPrfPlanParam* prf, CKelCoord2D p1, CKelCoord2D p2, CKelBlockCubeList& out,
                           int mask, ChainArea chains) const
{
  if (IsDegenerate())
    return false;
  LineFrame line{p1, p2};
  if (!CalcCosSin(p1, p2, &line.c, &line.s, &line.len) || !std::isfinite(line.len))
    return false;

  // Pieces are copies of the block with their own outline: a shell without
  // vertices spares a copy of the whole outline per piece, and the outline
  // it gives up becomes the working list.
  CKelBlockCube shell(*this);
  CKelBlockCoordArray coords = std::move(shell.m_Coord);
  shell.m_Coord.clear();
  ToFrame(coords, line);
  InsertCrossings(coords, m_bTyuku, ItemOf(prf, m_PpNo));
  if (!KelPieceSearch::HasTwoPositions(coords))
    return false;

  const std::size_t first = out.size();
  bool done = false;
  if (shell.DividSub(coords, out, &done, chains) == SearchEnd::kBroken || !done) {
    out.erase(out.begin() + static_cast<std::ptrdiff_t>(first), out.end());
    return false;
  }
  for (std::size_t k = first; k < out.size();) {
    CKelBlockCube& piece = out[k];
    if (MaskDrops(piece.m_Coord, mask)) {
      out.erase(out.begin() + static_cast<std::ptrdiff_t>(k));
      continue;
    }
    FromFrame(piece.m_Coord, line);
    piece.EraseSamePoint();
    if (piece.m_Coord.size() < 3) {
      out.erase(out.begin() + static_cast<std::ptrdiff_t>(k));
      continue;
    }
    piece.SetMinMax();
    ++k;
  }
  return true;
}

// --- Piece search --------------------------------------------------------------------------

bool CKelBlockCube::EmitPiece(CKelBlockCoordArray coords, bool eraseSame, CKelBlockCubeList& out) const
{
  CKelBlockCube piece(*this);
  piece.m_Coord = std::move(coords);
  if (eraseSame)
    piece.EraseSamePoint();
  // A piece whose ends coincide means the search lost the outline's order.
  if (piece.m_Coord.size() < 2 || static_cast<CKelCoord2D>(piece.m_Coord.front()) == piece.m_Coord.back())
    return false;
  out.push_back(std::move(piece));
  return true;
}

CKelBlockCube::SearchEnd CKelBlockCube::DividSub(const CKelBlockCoordArray& coords, CKelBlockCubeList& out,
                                                 bool* done, ChainArea chains) const
{
  IndexChain whole(coords.size());
  for (std::size_t i = 0; i < whole.size(); ++i)
    whole[i] = static_cast<int>(i);
  return DividSub(coords, whole, nullptr, out, done, chains);
}

CKelBlockCube::SearchEnd CKelBlockCube::DividSub(const CKelBlockCoordArray& coords, const std::vector<int>& chain,
                                                 const double* lower, CKelBlockCubeList& out, bool* done,
                                                 ChainArea chains) const
{
  auto emit = [&](IndexChain&& piece, bool eraseSame) { return EmitPiece(Vertices(coords, piece), eraseSame, out); };
  return KelPieceSearch::Search(coords, chain, lower, emit, done, chains) ? SearchEnd::kDone : SearchEnd::kBroken;
}

void CKelBlockCube::DivideAddXpos(std::vector<double>& xpos, double x)
{
  const auto at = std::lower_bound(xpos.begin(), xpos.end(), x);
  if (at != xpos.end() && *at == x)
    return;
  xpos.insert(at, x);
}

int CKelBlockCube::DividSearch(const CKelBlockCoordArray& coords, double x)
{
  for (std::size_t i = 0; i < coords.size(); ++i) {
    if (coords[i].m_x == x && coords[i].m_y == 0.0)
      return static_cast<int>(i);
  }
  return -1;
}

void CKelBlockCube::Replace(const CKelBlockCoordArray& coords) { m_Coord = coords; }

// --- Side and clean-up ------------------------------------------------------------------------

int CKelBlockCube::WhitchSide(CKelCoord2D p1, CKelCoord2D p2) const
{
  int sides = 0;
  const KelEdge::Direction d(p1, p2);
  for (const CKelBlockCoord& c : m_Coord)
    sides |= SideOf(KelEdge::Measure(p1, d, c).h);
  return sides;
}

void CKelBlockCube::EraseSamePoint() { kel_outline::EraseSamePoints(m_Coord); }
