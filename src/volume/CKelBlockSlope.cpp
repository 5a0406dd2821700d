#include "CKelBlockSlope.h"

#include <algorithm>
#include <cmath>

#include "CKelArchiveCore.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelTolerance.h"
#include "host_assert.h"

namespace {

// The fewest bytes an item takes in an archive (version 1, no tags).
constexpr std::uint64_t kMinArchivedItemBytes = 208;

template <class Compare>
bool AllPoints(const CKelBlockSlopeItem& a, const CKelBlockSlopeItem& b, Compare same)
{
  for (int k = 0; k < 3; ++k) {
    if (!same(a.m_Top[k], b.m_Top[k]) || !same(a.m_Bot[k], b.m_Bot[k]))
      return false;
  }
  return true;
}

}  // namespace

// --- CCoordBldSurf -------------------------------------------------------------------

bool CCoordBldSurf::operator==(const CCoordBldSurf& other) const
{
  return CKelCoord3D::operator==(other) && m_Attr == other.m_Attr &&
         std::fabs(m_Param - other.m_Param) <= KelTol::BlockOnEdge;
}

bool CCoordBldSurf::IsNearlyEqual(const CCoordBldSurf& other) const
{
  return CKelCoord3D::IsNearlyEqual(other) && m_Attr == other.m_Attr && fcmpNearly(m_Param - other.m_Param) == 0;
}

bool CCoordBldSurf::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CCoordBldSurf");
  ar.Serialize(m_Attr);
  ar.Serialize(m_Param);
  if (ar.GetError() != 0 || !CKelCoord3D::Serialize(ar))
    return false;
  return ar.GetError() == 0;
}

BldSurfPntTag CCoordBldSurf::GetOldParam() const
{
  return BldSurfPntTag{m_Attr, static_cast<float>(m_x), static_cast<float>(m_y), static_cast<float>(m_z),
                       static_cast<float>(m_Param)};
}

// --- CKelBlockSlopeItem ---------------------------------------------------------------

bool CKelBlockSlopeItem::operator==(const CKelBlockSlopeItem& other) const
{
  return m_SlopeNo == other.m_SlopeNo && m_Face == other.m_Face &&
         AllPoints(*this, other, [](const CCoordBldSurf& a, const CCoordBldSurf& b) { return a == b; });
}

bool CKelBlockSlopeItem::IsNearlyEqual(const CKelBlockSlopeItem& other) const
{
  return m_SlopeNo == other.m_SlopeNo && m_Face == other.m_Face &&
         AllPoints(*this, other, [](const CCoordBldSurf& a, const CCoordBldSurf& b) { return a.IsNearlyEqual(b); });
}

bool CKelBlockSlopeItem::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CKelBlockSlopeItem");
  ar.Serialize(m_SlopeNo);
  ar.Serialize(m_Face);
  for (CCoordBldSurf& p : m_Top) {
    if (!p.Serialize(ar))
      return false;
  }
  for (CCoordBldSurf& p : m_Bot) {
    if (!p.Serialize(ar))
      return false;
  }
  return ar.GetError() == 0;
}

BldSlope CKelBlockSlopeItem::GetOldParam() const
{
  BldSlope old;
  old.SlopeNo = m_SlopeNo;
  old.Face = m_Face;
  for (int k = 0; k < 3; ++k) {
    old.Top[k] = m_Top[k].GetOldParam();
    old.Bot[k] = m_Bot[k].GetOldParam();
  }
  return old;
}

// --- CKelBlockSlopeParam ---------------------------------------------------------------

bool CKelBlockSlopeParam::operator==(const CKelBlockSlopeParam& other) const { return KelList::Equal(*this, other); }

bool CKelBlockSlopeParam::IsNearlyEqual(const CKelBlockSlopeParam& other) const
{
  return KelList::NearlyEqual(*this, other);
}

void CKelBlockSlopeParam::AddSlope(CKelBlockSlopeItem& item, int no, int face)
{
  item.m_SlopeNo = static_cast<std::uint16_t>(no);
  item.m_Face = static_cast<std::uint16_t>(face);
  push_back(item);
}

void CKelBlockSlopeParam::ChangeSlope(const CKelBlockSlopeItem& item, int no, int index)
{
  PLN_ASSERT(0 <= index && index < static_cast<int>(size()));
  CKelBlockSlopeItem& target = (*this)[static_cast<std::size_t>(index)];
  target = item;
  target.m_SlopeNo = static_cast<std::uint16_t>(no);
}

void CKelBlockSlopeParam::DeleteSlope(int no)
{
  std::erase_if(*this, [no](const CKelBlockSlopeItem& item) { return item.m_SlopeNo == no; });
}

void CKelBlockSlopeParam::ChangeSlopeNo(int from, int to)
{
  for (CKelBlockSlopeItem& item : *this) {
    if (item.m_SlopeNo == from)
      item.m_SlopeNo = static_cast<std::uint16_t>(to);
  }
}

int CKelBlockSlopeParam::SearchSlopeNo(int no) const
{
  const auto found = std::find_if(begin(), end(), [no](const CKelBlockSlopeItem& item) { return item.m_SlopeNo == no; });
  return found == end() ? -1 : static_cast<int>(found - begin());
}

void CKelBlockSlopeParam::MoveSlopeNo(int no, int dir)
{
  for (CKelBlockSlopeItem& item : *this) {
    if (dir < 1 && item.m_SlopeNo > no)
      --item.m_SlopeNo;
    else if (dir >= 1 && item.m_SlopeNo >= no)
      ++item.m_SlopeNo;
  }
}

int CKelBlockSlopeParam::GetOldParam(std::vector<BldSlope>& out) const
{
  out.clear();
  for (const CKelBlockSlopeItem& item : *this)
    out.push_back(item.GetOldParam());
  return static_cast<int>(out.size());
}

bool CKelBlockSlopeParam::Serialize2(CKelArchiveCore& ar) { return KelList::Serialize(ar, *this, kMinArchivedItemBytes); }

bool CKelBlockSlopeParam::Serialize(CKelArchiveCore& ar, int, void* pList, void*)
{
  return static_cast<CKelBlockSlopeParam*>(pList)->Serialize2(ar);
}
