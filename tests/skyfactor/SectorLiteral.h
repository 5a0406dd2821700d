#pragma once
// The sector method's steps as first written, kept only so that tests can
// check that the faster forms give the same groups, projected faces and
// traced segments, bit for bit: the sweep that divided every remaining
// block by every ray, the projection that copied each block and fitted its
// planes whatever its top, and the trace's clean-up through ordered maps.

#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "CKelBlockCube.h"
#include "CKelBlockCubeArray.h"
#include "CSphereA.h"
#include "CSpherePolyLine.h"
#include "KelTolerance.h"

namespace sector_literal {

inline CKelCoord2D Along(const CKelCoord2D& p, double angle)
{
  return CKelCoord2D(p.m_x + std::cos(angle), p.m_y + std::sin(angle));
}

inline std::vector<CKelBlockCubeArray> DivideBlock(const CKelBlockCubeArray& blocks, const CKelCoord3D& chkpnt,
                                                   double Angle, int step)
{
  const CKelCoord2D p1(chkpnt.m_x, chkpnt.m_y);
  CKelBlockCubeArray work = blocks;
  for (CKelBlockCube& block : work) {
    if (!block.IsPlaneEuqationSet(false))
      block.GetPlaneEquation(false);
    if (!block.IsPlaneEuqationSet(true))
      block.GetPlaneEquation(true);
  }
  constexpr CKelBlockCube::ChainArea kChains = CKelBlockCube::ChainArea::kKeepSlivers;
  CKelBlockCubeArray left, right;
  work.DivideBlock(nullptr, p1, Along(p1, Angle), left, right, kChains);
  if (step < 1 || step >= 180)
    return {right, left};
  std::vector<CKelBlockCubeArray> groups;
  const auto sweep = [&](CKelBlockCubeArray rest, bool rightHalf) {
    for (int a = step; a < 180; a += step) {
      CKelBlockCubeArray l, r;
      rest.DivideBlock(nullptr, p1, Along(p1, Angle + a * KelAngle::Pi / 180), l, r, kChains);
      groups.push_back(rightHalf ? l : r);
      rest = rightHalf ? r : l;
    }
    groups.push_back(rest);
  };
  sweep(right, true);
  sweep(left, false);
  return groups;
}

inline bool AppendBlockFaces(const CSphereA& sphere, const CKelBlockCube& piece, int which, bool expand0,
                             std::vector<CSphereCoordD2DArray>& out)
{
  CKelBlockCoordArray local = piece.m_Coord;
  bool upper = false;
  for (CKelBlockCoord& v : local) {
    const CKelCoord2D p = sphere.m_ToLocal.Conv(CKelCoord2D(v.m_x, v.m_y));
    v.m_x = p.m_x;
    v.m_y = p.m_y;
    upper = upper || v.m_y >= KelTol::BlockPoint;
  }
  const int side = upper ? 1 : -1;
  const std::size_t n = local.size();
  for (std::size_t k = 0; k < n; ++k) {
    CSphereCoordD2DArray outline;
    const int r = sphere.CalcSide(local[k == 0 ? n - 1 : k - 1], local[k], side, which, expand0, outline);
    if (r < 0)
      return false;
    if (r == 1)
      out.push_back(outline);
  }
  return true;
}

inline std::vector<std::vector<CSphereCoordD2DArray>> GetSpherePieces(const CSphereA& sphere,
                                                                      const CKelBlockCube& block, int which,
                                                                      bool expand0)
{
  std::vector<std::vector<CSphereCoordD2DArray>> out;
  if (!sphere.m_bChkPnt || sphere.m_AngleStep < 1)
    return out;
  CKelBlockCube lowered = block;
  for (CKelBlockCoord& v : lowered.m_Coord) {
    v.m_z -= sphere.m_ChkPnt.m_z;
    v.m_zL -= sphere.m_ChkPnt.m_z;
  }
  lowered.GetPlaneEquation(false);
  lowered.GetPlaneEquation(true);
  CKelBlockCubeList pieces;
  if (lowered.IsTopSlope())
    lowered.CutTopSlope(nullptr, 0, pieces, false, true);
  else
    pieces.push_back(lowered);
  for (const CKelBlockCube& piece : pieces) {
    out.emplace_back();
    if (!AppendBlockFaces(sphere, piece, which, expand0, out.back()))
      return {};
  }
  return out;
}

// Create2's clean-up before its trace: of equal segments the last stays,
// then one forward pass drops the segments with an end that meets no other.
inline std::vector<CSpherePolyLine> CleanUp(const std::vector<CSpherePolyLine>& lines)
{
  std::vector<CSpherePolyLine> unique;
  std::map<std::pair<int, int>, bool> later;
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (later.emplace(std::pair(it->m_Beg, it->m_End), true).second)
      unique.push_back(*it);
  }
  std::vector<CSpherePolyLine> all(unique.rbegin(), unique.rend());
  std::map<int, int> ends;
  for (const CSpherePolyLine& l : all) {
    ++ends[l.m_Beg];
    ++ends[l.m_End];
  }
  std::vector<CSpherePolyLine> kept;
  for (const CSpherePolyLine& l : all) {
    if (ends[l.m_Beg] >= 2 && ends[l.m_End] >= 2) {
      kept.push_back(l);
      continue;
    }
    --ends[l.m_Beg];
    --ends[l.m_End];
  }
  return kept;
}

}  // namespace sector_literal
