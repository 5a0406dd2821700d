// The block list's build data, clean-up and check passes, totals and the
// extraction of the shadow-casting (Hikage) blocks.
//
// Build data: every vertex height is held twice, absolute and as floor plus
// offset in the block's floor profile; SetupBuildFlr derives the second from
// the first, SetupBuildZ2 the first from the second (or checks that they
// still agree after a profile changed).

#include <algorithm>
#include <cmath>
#include <utility>

#include "CKelBlockCubeArray.h"
#include "KelTolerance.h"
#include "host_assert.h"

namespace {

const CPrfPlanItem* ProfileOf(const CPrfPlanParam* prf, int ppNo)
{
  return prf != nullptr ? prf->GetCurProf(ppNo) : nullptr;
}

// The level of the top of the storey that floor number flr names; without
// an item the floor carries no level.
double FloorLevel(const CPrfPlanItem* item, int flr)
{
  if (item == nullptr)
    return 0.0;
  double low = 0.0;
  double high = 0.0;
  item->SBGetFlrL(item->GetConvFlr(1, flr), &low, &high);
  return high;
}

// Sets (check false) or compares (check true) one height; false on a mismatch.
bool Rebuild(double& height, double recomputed, bool check)
{
  if (!check) {
    height = recomputed;
    return true;
  }
  return std::fabs(height - recomputed) <= KelTol::BlockOnEdge;
}

}  // namespace

void CKelBlockCubeArray::BuildOverWrite(int BlkNo, CKelBlockCoordArray coords)
{
  PLN_ASSERT(0 <= BlkNo && BlkNo < Size());
  CKelBlockCube& block = (*this)[static_cast<std::size_t>(BlkNo)];
  block.m_Coord = std::move(coords);
  block.SetMinMax();
}

// --- Build data -------------------------------------------------------------------------------

void CKelBlockCubeArray::SetupBuildFlr(const CPrfPlanParam* prf)
{
  for (CKelBlockCube& block : *this) {
    const CPrfPlanItem* item = ProfileOf(prf, block.PpNo());
    for (CKelBlockCoord& c : block.m_Coord) {
      c.SetZH(c.m_z, item);
      if (block.IsTyuku())
        c.SetZL(c.m_zL, item);
    }
  }
}

bool CKelBlockCubeArray::SetupBuildZ2(const CPrfPlanParam* prf, bool check)
{
  bool agrees = true;
  for (CKelBlockCube& block : *this) {
    // A profile index outside the list (or no list) means the offsets are
    // the heights: floor 0 stands on level 0.
    const CPrfPlanItem* item = ProfileOf(prf, block.PpNo());
    for (CKelBlockCoord& c : block.m_Coord) {
      agrees = Rebuild(c.m_z, c.m_OffH + FloorLevel(item, c.m_FlrH), check) && agrees;
      if (block.IsTyuku())
        agrees = Rebuild(c.m_zL, c.m_OffL + FloorLevel(item, c.m_FlrL), check) && agrees;
    }
  }
  return agrees;
}

// --- Clean-up and checks ------------------------------------------------------------------------

void CKelBlockCubeArray::CheckBuildData()
{
  for (int i = 0; i < Size();) {
    CKelBlockCube& block = (*this)[static_cast<std::size_t>(i)];
    block.EraseSamePoint();
    if (block.GetSize() < 3)
      Erase(i);
    else
      ++i;
  }
}

void CKelBlockCubeArray::CheckBuildSlopeMode()
{
  for (CKelBlockCube& block : *this)
    block.CheckSlope();
}

void CKelBlockCubeArray::ClearBuildErrorFlag()
{
  for (CKelBlockCube& block : *this)
    block.SetError(false);
}

bool CKelBlockCubeArray::CheckError(const CKelObject* site, bool checkSite)
{
  bool any = false;
  for (CKelBlockCube& block : *this)
    any = block.CheckBlock3(site, checkSite) || any;  // every block is checked
  return any;
}

bool CKelBlockCubeArray::CheckSamePoint() const
{
  return std::all_of(begin(), end(), [](const CKelBlockCube& b) { return b.CheckSamePoint(); });
}

void CKelBlockCubeArray::DeleteOnLine()
{
  for (int i = 0; i < Size();) {
    CKelBlockCube& block = (*this)[static_cast<std::size_t>(i)];
    if (block.DeleteOnLine() && block.GetSize() < 3)
      Erase(i);
    else
      ++i;
  }
}

namespace {

bool SameBlock(const CKelBlockCube& a, const CKelBlockCube& b)
{
  return a.m_Coord.size() == b.m_Coord.size() && a.IsSyasen() == b.IsSyasen() && a.IsHikage() == b.IsHikage() &&
         std::equal(a.m_Coord.begin(), a.m_Coord.end(), b.m_Coord.begin());
}

}  // namespace

void CKelBlockCubeArray::EraseSameBlock()
{
  for (int i = 0; i < Size(); ++i) {
    for (int k = i + 1; k < Size();) {
      if (SameBlock((*this)[static_cast<std::size_t>(i)], (*this)[static_cast<std::size_t>(k)]))
        Erase(k);
      else
        ++k;
    }
  }
}

bool CKelBlockCubeArray::IsInsideBlock(const CKelBlockCube& block) const
{
  return std::any_of(begin(), end(), [&](const CKelBlockCube& b) { return b.IsInsideBlock(block); });
}

bool CKelBlockCubeArray::MergeBlock(const CKelBlockCube& block)
{
  return std::any_of(begin(), end(), [&](CKelBlockCube& b) { return b.MergeBlock(block); });
}

// --- Totals ---------------------------------------------------------------------------------------

double CKelBlockCubeArray::GetZMax() const
{
  double z = 0.0;
  for (const CKelBlockCube& block : *this)
    z = std::max(z, block.ZMax());
  return z;
}

double CKelBlockCubeArray::GetMaxZ() const
{
  double z = 0.0;
  for (const CKelBlockCube& block : *this)
    for (const CKelBlockCoord& c : block.m_Coord)
      z = std::max(z, c.m_z);
  return z;
}

double CKelBlockCubeArray::GetArea() const
{
  double area = 0.0;
  for (const CKelBlockCube& block : *this)
    area += block.Menseki();
  return area;
}

CKelBlockCubeArray CKelBlockCubeArray::GetHikageBlock() const
{
  CKelBlockCubeArray result;
  for (const CKelBlockCube& block : *this) {
    if (!block.IsHikage())
      continue;
    CKelBlockCubeList pieces;
    if (block.CutBlock(nullptr, pieces, 0)) {
      for (const CKelBlockCube& piece : pieces)
        result.AddBlock(piece);
    } else {
      result.AddBlock(block);
    }
  }
  return result;
}
