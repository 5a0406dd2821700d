#include "CHekimenIndex.h"

#include <algorithm>
#include <utility>

#include "CKelBlockCubeArray.h"
#include "KelList.h"
#include "host_assert.h"

// --- CHekimenIndex ----------------------------------------------------------------------

bool CHekimenIndex::operator==(const CHekimenIndex& other) const
{
  return m_pWall->m_Item.m_IdxNo == other.m_pWall->m_Item.m_IdxNo &&
         m_pWall->m_Item.m_PntNo == other.m_pWall->m_Item.m_PntNo;
}

void CHekimenIndex::InsertPoint(int, const CKelCoord3D&) { PLN_ASSERT(false); }
void CHekimenIndex::MovePoint(int, const CKelCoord3D&) { PLN_ASSERT(false); }
void CHekimenIndex::SwapCoord(int, int) { PLN_ASSERT(false); }
void CHekimenIndex::Append(const CKelCoord3D&) { PLN_ASSERT(false); }
void CHekimenIndex::DeletePoint(int) { PLN_ASSERT(false); }
void CHekimenIndex::Clear() { PLN_ASSERT(false); }
void CHekimenIndex::MoveBlock(const CKelCoord2D&, const CKelCoord3D&) { PLN_ASSERT(false); }

CKelCoord3D CHekimenIndex::GetCoord3D(int) const
{
  PLN_ASSERT(false);
  return {};
}

int CHekimenIndex::GetSize() const
{
  PLN_ASSERT(false);
  return 0;
}

// --- CHekimenIndexArray -------------------------------------------------------------------

bool CHekimenIndexArray::operator==(const CHekimenIndexArray& other) const { return KelList::Equal(*this, other); }

int CHekimenIndexArray::SearchIndex(int IdxNo, int PntNo) const
{
  for (std::size_t k = 0; k < size(); ++k) {
    const CHikageWallTable& item = (*this)[k].GetWall()->m_Item;
    if (item.m_IdxNo == IdxNo && item.m_PntNo == PntNo)
      return static_cast<int>(k);
  }
  return -1;
}

int CHekimenIndexArray::GetMasSortNo() const
{
  int highest = -1;
  for (const CHekimenIndex& entry : *this)
    highest = std::max(highest, static_cast<int>(entry.GetWall()->m_Item.m_SortNo));
  return highest;
}

void CHekimenIndexArray::SetHekimenIndex(CKelBlockCubeArray* pKelSrcBlock)
{
  clear();
  if (pKelSrcBlock == nullptr)
    return;
  // 1. Every live wall, re-bound to the place it is kept in.
  for (std::size_t b = 0; b < pKelSrcBlock->size(); ++b) {
    CKelBlockCoordArray& vertices = (*pKelSrcBlock)[b].m_Coord;
    for (std::size_t v = 0; v < vertices.size(); ++v) {
      CHikageWall& wall = vertices[v].m_HikageWall;
      if (!(wall.XMax() > 0))
        continue;
      wall.m_Item.m_IdxNo = static_cast<std::int32_t>(b);
      wall.m_Item.m_PntNo = static_cast<std::int32_t>(v);
      emplace_back(&wall);
    }
  }
  // 2. Exchange sort by the current sort numbers: new walls (-1) first, and
  // numbered walls keep their order from one rebuild to the next.
  const auto sortNo = [this](std::size_t k) { return (*this)[k].GetWall()->m_Item.m_SortNo; };
  for (std::size_t i = 0; i < size(); ++i) {
    for (std::size_t j = i + 1; j < size(); ++j) {
      if (sortNo(i) > sortNo(j))
        std::swap((*this)[i], (*this)[j]);
    }
  }
  // 3. Renumber.
  for (std::size_t k = 0; k < size(); ++k)
    (*this)[k].GetWall()->m_Item.m_SortNo = static_cast<std::int32_t>(k);
}

// --- CSSHekimenParamOld ----------------------------------------------------------------------

bool CSSHekimenParamOld::operator==(const CSSHekimenParamOld& other) const { return KelList::Equal(*this, other); }

int CSSHekimenParamOld::Search(int IdxNo, int PntNo) const
{
  const auto found = std::find_if(begin(), end(), [&](const CHikageWall& wall) {
    return wall.m_Item.m_IdxNo == IdxNo && wall.m_Item.m_PntNo == PntNo;
  });
  return found == end() ? -1 : static_cast<int>(found - begin());
}

void CSSHekimenParamOld::CheckWallCoord(const CKelBlockCubeArray& blocks)
{
  // A wall that is kept may be re-bound on the way, so this walks by hand.
  std::size_t i = 0;
  while (i < size()) {
    CHikageWall& wall = (*this)[i];
    if (wall.CompareWallParam(blocks) || wall.SearchSameParam(blocks))
      ++i;
    else
      erase(begin() + static_cast<std::ptrdiff_t>(i));
  }
}
