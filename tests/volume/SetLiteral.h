#pragma once
// The block set operations and the list combination as first written: every
// pair of blocks divided edge by edge with full copies, the other operand's
// convex pieces worked out again for every block, the combination's scan
// restarted from the top after each merge, and the crossing test of every
// edge against every other (a block apart from a subtracted one is filed
// whole, as the faster forms file it). Kept only so that tests can check
// that the faster forms give the same block lists, bit for bit and in order.

#include <cmath>
#include <vector>

#include "CKelBlockCubeArray.h"
#include "CombinePrevious.h"
#include "KelConvexOperand.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace set_literal {

constexpr int kLeft = CKelBlockCube::DEL_TOP;
constexpr int kRight = CKelBlockCube::DEL_BOT;

inline bool CheckCross(const CKelBlockCube& block)
{
  for (int k = 0; k < block.GetSize(); ++k) {
    const int start = block.PrevPos(k);
    if (!block.CheckCross(block.m_Coord[static_cast<std::size_t>(start)], block.m_Coord[static_cast<std::size_t>(k)],
                          start))
      return false;
  }
  return true;
}

inline void CombineBlockSub(const CPrfPlanParam* prf, CKelBlockCube& X, const CKelBlockCube& Y)
{
  const CPrfPlanItem* item = prf != nullptr ? prf->GetCurProf(X.PpNo()) : nullptr;
  const double t = KelTol::BlockPoint;
  for (int e = 0; e < X.GetSize(); ++e) {
    for (const CKelBlockCoord& P : Y.m_Coord) {
      const CKelBlockCoord& start = X.m_Coord[static_cast<std::size_t>(e)];
      const CKelBlockCoord& end = X.m_Coord[static_cast<std::size_t>(X.NextPos(e))];
      double c = 0;
      double s = 0;
      double L = 0;
      if (!CalcCosSin(start, end, &c, &s, &L))
        break;
      const double dx = P.m_x - start.m_x;
      const double dy = P.m_y - start.m_y;
      const double along = c * dx + s * dy;
      const double across = c * dy - s * dx;
      if (t <= along && along <= L - t && -t < across && across < t)
        X.InsertCoord(item, e, P);
    }
  }
}

inline bool Touch(const CKelBlockCube& a, const CKelBlockCube& b)
{
  auto box = [](const CKelBlockCube& x) {
    double r[4] = {HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL};
    for (const CKelBlockCoord& c : x.m_Coord) {
      r[0] = std::min(r[0], c.m_x);
      r[1] = std::max(r[1], c.m_x);
      r[2] = std::min(r[2], c.m_y);
      r[3] = std::max(r[3], c.m_y);
    }
    return std::vector<double>(r, r + 4);
  };
  const std::vector<double> p = box(a);
  const std::vector<double> q = box(b);
  const double t = KelTol::BlockPoint;
  return p[0] <= q[1] + t && q[0] <= p[1] + t && p[2] <= q[3] + t && q[2] <= p[3] + t;
}

inline bool OnPlanesOf(const CKelBlockCube& block, const CKelBlockCube& planes)
{
  return block.Check_SBlockChkPlane(false, planes.PlaneA(false), planes.PlaneB(false), planes.PlaneC(false),
                                    planes.PlaneD(false)) &&
         block.Check_SBlockChkPlane(true, planes.PlaneA(true), planes.PlaneB(true), planes.PlaneC(true),
                                    planes.PlaneD(true));
}

// The combination, restarting the scan from the top after every merge.
inline void Combine(CKelBlockCubeArray& list, const CPrfPlanParam* prf)
{
  for (CKelBlockCube& block : list) {
    block.GetPlaneEquation(false);
    block.GetPlaneEquation(true);
  }
  bool merged = true;
  while (merged && list.Size() >= 2) {
    merged = false;
    for (int i = list.Size() - 1; i >= 1 && !merged; --i) {
      for (int j = i - 1; j >= 0; --j) {
        const auto ui = static_cast<std::size_t>(i);
        const auto uj = static_cast<std::size_t>(j);
        if (!Touch(list[ui], list[uj]) || !OnPlanesOf(list[ui], list[uj]))
          continue;
        CKelBlockCube R;
        if (!combine_previous::CombinePair(prf, list[ui], list[uj], &R))
          continue;
        combine_previous::TakeMerged(list, prf, i, j, R);
        merged = true;
        break;
      }
    }
  }
}

inline int SideOf(const CKelBlockCube& block, const CKelCoord2D& p1, const CKelCoord2D& p2)
{
  const int side = block.WhitchSide(p1, p2);
  if (side != (kLeft | kRight))
    return side;
  double cx = 0;
  double cy = 0;
  double twiceArea = 0;
  const int n = block.GetSize();
  for (int k = 0; k < n; ++k) {
    const CKelBlockCoord& a = block.m_Coord[static_cast<std::size_t>(k)];
    const CKelBlockCoord& b = block.m_Coord[static_cast<std::size_t>(block.NextPos(k))];
    const double cross = a.m_x * b.m_y - b.m_x * a.m_y;
    twiceArea += cross;
    cx += (a.m_x + b.m_x) * cross;
    cy += (a.m_y + b.m_y) * cross;
  }
  if (std::fabs(twiceArea) > 0) {
    cx /= 3 * twiceArea;
    cy /= 3 * twiceArea;
  } else {
    cx = cy = 0;
    for (const CKelBlockCoord& c : block.m_Coord) {
      cx += c.m_x / n;
      cy += c.m_y / n;
    }
  }
  const double s = (p2.m_x - p1.m_x) * (cy - p1.m_y) - (p2.m_y - p1.m_y) * (cx - p1.m_x);
  return s > 0 ? kLeft : s < 0 ? kRight : CKelBlockCube::DEL_NONE;
}

// A subtraction gives the extents of the block it takes away (apartFrom):
// a block apart from them is filed whole, left only when it lies strictly
// left of the line.
inline void Divide(const CKelBlockCubeArray& list, const CPrfPlanParam* prf, const CKelCoord2D& p1,
                   const CKelCoord2D& p2, CKelBlockCubeArray& left, CKelBlockCubeArray& right,
                   const KelEdge::Extents* apartFrom = nullptr)
{
  left.Clear();
  right.Clear();
  for (const CKelBlockCube& block : list) {
    if (apartFrom != nullptr && kel_set::ApartFromOperand(block.m_Coord, *apartFrom)) {
      (kel_set::StrictSides(p1, p2).Of(block) == kLeft ? left : right).AddBlock(block);
      continue;
    }
    CKelBlockCubeList pieces;
    if (!block.Divide(prf, p1, p2, pieces, 0))
      pieces.push_back(block);
    for (const CKelBlockCube& piece : pieces) {
      const int side = SideOf(piece, p1, p2);
      if (side == kLeft)
        left.AddBlock(piece);
      else if (side == kRight)
        right.AddBlock(piece);
    }
  }
}

inline bool ConvexPieces(const CKelBlockCube& block, CKelBlockCubeList& pieces)
{
  CKelBlockCube area = block;
  area.SetMinMax();
  if (!area.IsPlaneEuqationSet(false))
    area.GetPlaneEquation(false);
  if (!area.IsPlaneEuqationSet(true))
    area.GetPlaneEquation(true);
  if (!(area.Menseki() > 0))
    return false;
  return area.CutBlock(nullptr, pieces, 0);
}

inline void ClipToConvex(CKelBlockCubeArray& work, const CKelBlockCube& piece, const CPrfPlanParam* prf,
                         CKelBlockCubeArray& outside, const KelEdge::Extents* apartFrom = nullptr)
{
  for (int k = 0; k < piece.GetSize(); ++k) {
    const CKelCoord2D start = piece.m_Coord[static_cast<std::size_t>(piece.PrevPos(k))];
    const CKelCoord2D end = piece.m_Coord[static_cast<std::size_t>(k)];
    CKelBlockCubeArray inside;
    CKelBlockCubeArray out;
    Divide(work, prf, start, end, inside, out, apartFrom);
    work = std::move(inside);
    outside.AddBlock(out);
  }
}

inline void Normalise(CKelBlockCubeArray& list)
{
  for (CKelBlockCube& block : list)
    block.SetMinMax();
}

inline CKelBlockCubeArray Sub(const CKelBlockCubeArray& list, const CPrfPlanParam* prf, const CKelBlockCube& block)
{
  CKelBlockCubeArray result = list;
  CKelBlockCubeList pieces;
  if (block.GetSize() > 0 && ConvexPieces(block, pieces)) {
    const KelEdge::Extents extents = KelPassIndex::ExtentsOf(block.m_Coord);
    for (const CKelBlockCube& piece : pieces) {
      CKelBlockCubeArray work = std::move(result);
      result.Clear();
      ClipToConvex(work, piece, prf, result, &extents);
    }
  }
  Combine(result, prf);
  Normalise(result);
  return result;
}

inline CKelBlockCubeArray Sub(const CKelBlockCubeArray& list, const CPrfPlanParam* prf,
                              const CKelBlockCubeArray& others)
{
  CKelBlockCubeArray result;
  for (const CKelBlockCube& block : list) {
    CKelBlockCubeArray work;
    work.push_back(block);
    for (const CKelBlockCube& other : others)
      work = Sub(work, prf, other);
    result.insert(result.end(), work.begin(), work.end());
  }
  Combine(result, prf);
  return result;
}

inline CKelBlockCubeArray Add(const CKelBlockCubeArray& list, const CPrfPlanParam* prf,
                              const CKelBlockCubeArray& others)
{
  CKelBlockCubeArray result = Sub(others, prf, list);
  result.insert(result.end(), list.begin(), list.end());
  Combine(result, prf);
  return result;
}

inline CKelBlockCubeArray And(const CKelBlockCubeArray& list, const CPrfPlanParam* prf, const CKelBlockCube& block)
{
  CKelBlockCubeArray result;
  CKelBlockCubeList pieces;
  if (block.GetSize() == 0 || !ConvexPieces(block, pieces))
    return result;
  CKelBlockCubeArray work = list;
  for (const CKelBlockCube& piece : pieces) {
    CKelBlockCubeArray inside = std::move(work);
    work.Clear();
    ClipToConvex(inside, piece, nullptr, work);
    result.AddBlock(inside);
  }
  Combine(result, prf);
  Normalise(result);
  return result;
}

inline CKelBlockCubeArray And(const CKelBlockCubeArray& list, const CPrfPlanParam* prf,
                              const CKelBlockCubeArray& others)
{
  CKelBlockCubeArray result;
  for (const CKelBlockCube& other : others) {
    const CKelBlockCubeArray part = And(list, prf, other);
    result.insert(result.end(), part.begin(), part.end());
  }
  Combine(result, prf);
  return result;
}

}  // namespace set_literal
