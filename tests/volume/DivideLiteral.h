#pragma once
// The division of a block by a line as first written: the piece search
// copies every chain of vertices and looks positions up by a linear scan,
// and crossings are inserted into the outline one at a time. Kept only so
// that tests can check that the faster search finds the same pieces in the
// same order. Blocks without a profile (floor 0, offset = height).

#include <algorithm>
#include <cmath>
#include <vector>

#include "CKelBlockCube.h"
#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace divide_literal {

inline int SideOf(double v)
{
  if (v >= KelTol::BlockPoint)
    return CKelBlockCube::DEL_TOP;
  if (v <= -KelTol::BlockPoint)
    return CKelBlockCube::DEL_BOT;
  return CKelBlockCube::DEL_NONE;
}

inline int AreaSign(const CKelBlockCoordArray& chain)
{
  const double area = CKelBlockCube::CalcArea(chain);
  if (std::fabs(area) <= KelTol::BlockAreaSign)
    return 0;
  return area > 0 ? 1 : -1;
}

inline CKelBlockCoordArray Chain(const CKelBlockCoordArray& coords, int from, int to)
{
  CKelBlockCoordArray chain;
  const int n = static_cast<int>(coords.size());
  for (int i = from;; i = (i + 1) % n) {
    chain.push_back(coords[static_cast<std::size_t>(i)]);
    if (i == to)
      break;
  }
  return chain;
}

inline int Search(const CKelBlockCoordArray& coords, double x)
{
  for (std::size_t i = 0; i < coords.size(); ++i)
    if (coords[i].m_x == x && coords[i].m_y == 0.0)
      return static_cast<int>(i);
  return -1;
}

struct Literal {
  const CKelBlockCube& block;
  std::vector<CKelBlockCoordArray>& out;

  bool Emit(CKelBlockCoordArray coords, bool eraseSame)
  {
    CKelBlockCube piece(block);
    piece.m_Coord = std::move(coords);
    if (eraseSame)
      piece.EraseSamePoint();
    if (piece.m_Coord.size() < 2 || static_cast<CKelCoord2D>(piece.m_Coord.front()) == piece.m_Coord.back())
      return false;
    out.push_back(piece.m_Coord);
    return true;
  }

  // false: broken.
  bool Sub(const CKelBlockCoordArray& coords, std::vector<double> xpos, bool* done)
  {
    int sides = 0;
    for (const CKelBlockCoord& c : coords)
      sides |= SideOf(c.m_y);
    if (sides == CKelBlockCube::DEL_TOP || sides == CKelBlockCube::DEL_BOT) {
      if (!Emit(coords, false))
        return false;
      *done = true;
      return true;
    }
    std::erase_if(xpos, [&](double x) { return Search(coords, x) < 0; });
    if (xpos.size() < 2)
      return false;
    const int i1 = Search(coords, xpos[0]);
    const int i2 = Search(coords, xpos[1]);
    CKelBlockCoordArray chainA = Chain(coords, i1, i2);
    CKelBlockCoordArray chainB = Chain(coords, i2, i1);
    const int sA = AreaSign(chainA);
    const int sB = AreaSign(chainB);
    xpos.erase(xpos.begin());
    if (sA < 0 || sB < 0)
      return Sub(coords, xpos, done);
    if (xpos.size() == 1) {
      if (sA > 0 && !Emit(std::move(chainA), true))
        return false;
      if (sB > 0 && !Emit(std::move(chainB), true))
        return false;
      *done = true;
      return true;
    }
    if (sA > 0 && !Sub(chainA, xpos, done))
      return false;
    if (sB > 0 && !Sub(chainB, xpos, done))
      return false;
    return true;
  }
};

// The pieces' outlines in plan coordinates, or nothing when the line does not
// divide the block (mask 0: every piece kept).
inline std::vector<CKelBlockCoordArray> Divide(const CKelBlockCube& block, CKelCoord2D p1, CKelCoord2D p2)
{
  std::vector<CKelBlockCoordArray> pieces;
  double c = 1;
  double s = 0;
  double len = 0;
  if (block.IsDegenerate() || !CalcCosSin(p1, p2, &c, &s, &len) || !std::isfinite(len))
    return pieces;
  CKelBlockCoordArray coords = block.m_Coord;
  for (CKelBlockCoord& v : coords) {
    const KelEdge::Frame f = KelEdge::Measure(p1, p2, v);
    v.m_x = f.t;
    v.m_y = std::fabs(f.h) < KelTol::BlockPoint ? 0.0 : f.h;
  }
  std::size_t i = 0;
  while (i < coords.size()) {
    const std::size_t j = i + 1 == coords.size() ? 0 : i + 1;
    const int si = SideOf(coords[i].m_y);
    const int sj = SideOf(coords[j].m_y);
    if (si != CKelBlockCube::DEL_NONE && sj != CKelBlockCube::DEL_NONE && si != sj) {
      const CKelBlockCoord& a = coords[i];
      const CKelBlockCoord& b = coords[j];
      const double x = a.m_x + (0 - a.m_y) * (b.m_x - a.m_x) / (b.m_y - a.m_y);
      const double t = std::hypot(x - a.m_x, 0 - a.m_y) / std::hypot(b.m_x - a.m_x, b.m_y - a.m_y);
      CKelBlockCoord cross(x, 0.0, 0, 0);
      cross.SetZH(a.m_z + t * (b.m_z - a.m_z), nullptr);
      if (block.IsTyuku())
        cross.SetZL(a.m_zL + t * (b.m_zL - a.m_zL), nullptr);
      coords.insert(coords.begin() + static_cast<std::ptrdiff_t>(i) + 1, cross);
      i += 2;
    } else {
      ++i;
    }
  }
  std::vector<double> xpos;
  for (const CKelBlockCoord& v : coords)
    if (v.m_y == 0.0)
      CKelBlockCube::DivideAddXpos(xpos, v.m_x);
  if (xpos.size() < 2)
    return pieces;
  bool done = false;
  Literal search{block, pieces};
  if (!search.Sub(coords, xpos, &done) || !done) {
    pieces.clear();
    return pieces;
  }
  for (CKelBlockCoordArray& piece : pieces) {
    for (CKelBlockCoord& v : piece) {
      const double u = v.m_x;
      const double w = v.m_y;
      v.m_x = p1.m_x + u * c - w * s;
      v.m_y = p1.m_y + u * s + w * c;
    }
    CKelBlockCube b(block);
    b.m_Coord = piece;
    b.EraseSamePoint();
    if (b.m_Coord.size() >= 3)
      b.SetMinMax();
    piece = b.m_Coord;
  }
  std::erase_if(pieces, [](const CKelBlockCoordArray& p) { return p.size() < 3; });
  return pieces;
}

}  // namespace divide_literal
