// Solid subtraction: clipping blocks under the tops of other blocks, so that
// where blocks overlap in plan only the lower top remains. A block's
// SubBlock / SubBlock2 work on a set passed in and use neither the block
// itself nor a profile; SolidSubBlock first cuts along the line where the
// two tops meet, so that every piece inside the other's plan lies wholly
// above or wholly below its top.

#include <cmath>

#include "CKelBlockCubeArray.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

// The line where two top planes meet runs far beyond any block.
constexpr double kCutLineReach = 1000.0;

enum class Rise { kNowhere, kAbove, kBothSides };

// Whether the piece rises above other's top anywhere (heights within
// KelTol::BlockPlaneFit of the top count as on it).
Rise RiseAbove(const CKelBlockCube& piece, const CKelBlockCube& other)
{
  bool below = false;
  for (const CKelBlockCoord& c : piece.m_Coord) {
    double dz = other.Check_CalcZH(c) - c.m_z;
    if (std::fabs(dz) <= KelTol::BlockPlaneFit)
      dz = 0;
    if (dz < 0)
      return below ? Rise::kBothSides : Rise::kAbove;
    below = below || dz > 0;
  }
  return Rise::kNowhere;
}

// Lowers the piece onto other's top; false when nothing of it would stay
// above its own bottom (the block would be inverted).
bool LowerOnto(CKelBlockCube& piece, const CKelBlockCube& other)
{
  bool stands = false;
  for (CKelBlockCoord& c : piece.m_Coord) {
    c.SetZH2(other.Check_CalcZH(c));
    stands = stands || c.m_z - c.m_zL > KelTol::BlockPlaneFit;
  }
  if (!stands)
    return false;
  piece.SetTopPlaneParam(other.PlaneA(false), other.PlaneB(false), other.PlaneC(false), other.PlaneD(false));
  piece.SetWork(other.m_Work);
  return true;
}

}  // namespace

bool CKelBlockCube::ClipUnder(CKelBlockCubeArray& set, const CKelBlockCube& other, bool lower) const
{
  CKelBlockCubeArray inside;
  const CKelBlockCubeArray kept = set.SubBlock(nullptr, other, &inside);
  if (inside.empty())
    return false;
  bool changed = false;
  for (int k = 0; k < inside.Size();) {
    CKelBlockCube& piece = inside[static_cast<std::size_t>(k)];
    // A piece on both sides of the top stays whole rather than being
    // guessed at; the cut along the tops' meeting line normally prevents it.
    if (RiseAbove(piece, other) != Rise::kAbove) {
      ++k;
      continue;
    }
    changed = true;
    if (lower && LowerOnto(piece, other))
      ++k;
    else
      inside.Erase(k);
  }
  if (!changed)
    return false;
  set.Clear();
  set.AddBlock(kept);
  set.AddBlock(inside);
  return true;
}

bool CKelBlockCube::SubBlock(CKelBlockCubeArray& set, const CKelBlockCube& other) const
{
  return ClipUnder(set, other, false);
}

bool CKelBlockCube::SubBlock2(CKelBlockCubeArray& set, const CKelBlockCube& other) const
{
  return ClipUnder(set, other, true);
}

CKelBlockCubeArray CKelBlockCube::SolidClip(const CKelBlockCubeArray& others, bool lower) const
{
  CKelBlockCubeArray result;
  result.AddBlock(*this);
  for (const CKelBlockCube& other : others) {
    if (&other == this)
      continue;
    const CKelBlockCubeArray before = result;
    CKelCoord3D p;
    CKelCoord3D q;
    double c = 0;
    double s = 0;
    double len = 0;
    if (LineEquatinFromPlanes(m_Top[0], m_Top[1], m_Top[2], m_Top[3], other.m_Top[0], other.m_Top[1],
                              other.m_Top[2], other.m_Top[3], &p, &q) &&
        CalcCosSin(p, q, &c, &s, &len)) {
      const CKelCoord2D from(p.m_x - kCutLineReach * c, p.m_y - kCutLineReach * s);
      const CKelCoord2D to(q.m_x + kCutLineReach * c, q.m_y + kCutLineReach * s);
      result.CutBlock(nullptr, from, to, DEL_NONE, nullptr);
    }
    if (!ClipUnder(result, other, lower))
      result = before;
  }
  result.CombineBlock(nullptr);
  return result;
}

CKelBlockCubeArray CKelBlockCube::SolidSubBlock(const CKelBlockCubeArray& others) const
{
  return SolidClip(others, false);
}

CKelBlockCubeArray CKelBlockCube::SolidSubBlock2(const CKelBlockCubeArray& others) const
{
  return SolidClip(others, true);
}
