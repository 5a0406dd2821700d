#include "CKelBlockCubeArray.h"

#include <cmath>
#include <limits>

#include "CKelArchiveCore.h"
#include "CKelFileIO.h"
#include "KelList.h"
#include "KelRecord.h"
#include "KelTolerance.h"
#include "host_assert.h"

namespace {

// The fewest bytes a block takes: in an archive (version 1, no tags, no
// vertices) and as a binary record (number 1000, no planes, no vertices).
constexpr std::uint64_t kMinArchivedBlockBytes = 122;
constexpr int kMinRecordBlockBytes = 58;

bool FloatNear(double value, float stored)
{
  return std::fabs(static_cast<double>(static_cast<float>(value)) - static_cast<double>(stored)) <=
         KelTol::BlockLevelCut;
}

bool IndexMatches(const CKelBlockCube& block, const BldIndexTag& index)
{
  const BldIndexTag own = block.OldIndex();
  const std::uint16_t kinds = KelOldRecord::kAttrSyasen | KelOldRecord::kAttrHikage;
  return block.m_Coord.size() == index.PntCount && own.PpNo == index.PpNo && own.Kind == index.Kind &&
         (own.Attr & kinds) == (index.Attr & kinds) && FloatNear(block.XMax(), index.XMax) &&
         FloatNear(block.XMin(), index.XMin) && FloatNear(block.YMax(), index.YMax) &&
         FloatNear(block.YMin(), index.YMin) && FloatNear(block.Menseki(), index.Menseki);
}

bool PointMatches(const CKelBlockCoord& c, const BldPntTag& p)
{
  return FloatNear(c.m_x, p.x) && FloatNear(c.m_y, p.y) && FloatNear(c.m_z, p.z) && FloatNear(c.m_zL, p.zL);
}

}  // namespace

// --- Container -----------------------------------------------------------------------------------

CKelObject* CKelBlockCubeArray::GetElement(int index)
{
  PLN_ASSERT(0 <= index && index < Size());
  return &(*this)[static_cast<std::size_t>(index)];
}

void CKelBlockCubeArray::AddElement(const CKelObject* item)
{
  const auto* block = dynamic_cast<const CKelBlockCube*>(item);
  PLN_ASSERT(block != nullptr);
  AddBlock(*block);
}

void CKelBlockCubeArray::Erase(int BlkNo)
{
  PLN_ASSERT(0 <= BlkNo && BlkNo < Size());
  erase(begin() + BlkNo);
}

void CKelBlockCubeArray::AddBlock(CKelBlockCube block)
{
  block.SetMinMax();
  block.CheckSlope();
  push_back(std::move(block));
}

void CKelBlockCubeArray::AddBlock(const CKelBlockCubeArray& blocks)
{
  // A copy first: blocks may be this list itself.
  const CKelBlockCubeArray source = blocks;
  for (const CKelBlockCube& block : source)
    AddBlock(block);
}

void CKelBlockCubeArray::InsertBlock(const CKelBlockCube& block, int BlkNo)
{
  PLN_ASSERT(0 <= BlkNo && BlkNo <= Size());
  insert(begin() + BlkNo, block);
}

// --- Compares ------------------------------------------------------------------------------------

bool CKelBlockCubeArray::operator==(const CKelBlockCubeArray& other) const { return KelList::Equal(*this, other); }

bool CKelBlockCubeArray::IsNearlyEqual(const CKelBlockCubeArray& other) const
{
  return KelList::NearlyEqual(*this, other);
}

// --- Archive and binary record -----------------------------------------------------------------------

bool CKelBlockCubeArray::Serialize2(CKelArchiveCore& ar)
{
  ar.SerializeTag("CKelBlockCubeArray");
  return KelList::Serialize(ar, *this, kMinArchivedBlockBytes);
}

bool CKelBlockCubeArray::Serialize(CKelArchiveCore& ar, int, void* pList, void*)
{
  return static_cast<CKelBlockCubeArray*>(pList)->Serialize2(ar) && ar.GetError() == 0;
}

bool CKelBlockCubeArray::SaveData(CKelFileIO& f) const
{
  return KelRecord::Write(f, static_cast<std::int32_t>(kRecordNo)) && KelRecord::SaveList(f, *this);
}

bool CKelBlockCubeArray::LoadData(CKelFileIO& f, int* budget)
{
  std::int32_t recordNo = 0;
  if (!KelRecord::Read(f, budget, recordNo) || recordNo != kRecordNo)
    return false;
  return KelRecord::LoadList(f, budget, *this, kMinRecordBlockBytes);
}

// --- Old arrays ----------------------------------------------------------------------------------------

int CKelBlockCubeArray::GetOldParam(std::vector<BldIndexTag>& index, std::vector<BldPntTag>& points) const
{
  index.clear();
  points.clear();
  constexpr std::size_t kMax16 = std::numeric_limits<std::uint16_t>::max();
  std::vector<BldIndexTag> newIndex;
  std::vector<BldPntTag> newPoints;
  for (const CKelBlockCube& block : *this) {
    // The vertex count and first-point index are 16 bits wide.
    if (block.m_Coord.size() > kMax16 || newPoints.size() > kMax16)
      return -1;
    BldIndexTag record = block.OldIndex();
    record.FirstPnt = static_cast<std::uint16_t>(newPoints.size());
    newIndex.push_back(record);
    for (const CKelBlockCoord& c : block.m_Coord)
      newPoints.push_back(c.OldCoord());
  }
  index.swap(newIndex);
  points.swap(newPoints);
  return static_cast<int>(points.size());
}

bool CKelBlockCubeArray::OldCompare(std::span<const BldIndexTag> index, std::span<const BldPntTag> points) const
{
  if (index.size() != size())
    return false;
  for (std::size_t b = 0; b < size(); ++b) {
    const CKelBlockCube& block = (*this)[b];
    const BldIndexTag record = index[b];
    if (!IndexMatches(block, record))
      return false;
    const std::size_t first = record.FirstPnt;
    if (first > points.size() || block.m_Coord.size() > points.size() - first)
      return false;
    for (std::size_t k = 0; k < block.m_Coord.size(); ++k) {
      if (!PointMatches(block.m_Coord[k], points[first + k]))
        return false;
    }
  }
  return true;
}
