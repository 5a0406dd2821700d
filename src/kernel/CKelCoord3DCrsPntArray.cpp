// Tagged points, the outline list's point-list interface, its persistence,
// and the area of an outline with arcs. Flattening, direction and offset live
// in CKelCoord3DCrsPntArrayShape.cpp.

#include "CKelCoord3DCrsPntArray.h"

#include "CKelArchiveCore.h"
#include "CKelFileIO.h"
#include "KelList.h"
#include "KelRecord.h"
#include "KelTolerance.h"
#include "host_assert.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

bool IsValidType(std::int32_t type)
{
  return type == CKelCoord3DCrsPnt::TYPE_POINT || type == CKelCoord3DCrsPnt::TYPE_CCW ||
         type == CKelCoord3DCrsPnt::TYPE_CW;
}

// The numbers of one point in the archive (TYPE, z, x, y): a lower bound on
// its bytes however its tags are spelt.
constexpr std::uint64_t kPointArchiveMinBytes = sizeof(std::int32_t) + 3 * sizeof(double);

// Counter-clockwise sweep of a piece [centre, start, end], in radians, as the
// polygon's arc-area rules measure it.
double PieceSweep(const CKelAreaCoord2D& piece)
{
  const CKelCoord2D& c = piece.m_pt[0];
  const double a1 = std::atan2(piece.m_pt[1].m_y - c.m_y, piece.m_pt[1].m_x - c.m_x);
  double a2 = std::atan2(piece.m_pt[2].m_y - c.m_y, piece.m_pt[2].m_x - c.m_x);
  if (a2 < a1)
    a2 += KelAngle::TwoPi;
  return a2 - a1;
}

}  // namespace

// ---------------------------------------------------------------------------
// CKelCoord3DCrsPnt
// ---------------------------------------------------------------------------

bool CKelCoord3DCrsPnt::operator==(const CKelCoord3DCrsPnt& p) const
{
  return m_Type == p.m_Type && CKelCoord3D::operator==(p);
}

bool CKelCoord3DCrsPnt::operator!=(const CKelCoord3DCrsPnt& p) const
{
  return !(*this == p);
}

bool CKelCoord3DCrsPnt::IsNearlyEqual(const CKelCoord3DCrsPnt& p) const
{
  return m_Type == p.m_Type && CKelCoord3D::IsNearlyEqual(p);
}

bool CKelCoord3DCrsPnt::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CKelCoord3DCrsPnt", 2);
  std::int32_t type = m_Type;
  ar.Serialize(type);
  if (ar.GetError() != 0)
    return false;
  if (ar.IsLoading()) {
    if (!IsValidType(type)) {
      ar.SetError();
      return false;
    }
    m_Type = static_cast<TYPE>(type);
  }
  if (!CKelCoord3D::Serialize(ar))
    return false;
  return ar.GetError() == 0;
}

bool CKelCoord3DCrsPnt::SaveData(CKelFileIO& f) const
{
  return CKelCoord3D::SaveData(f) && KelRecord::Write(f, static_cast<std::int32_t>(m_Type));
}

bool CKelCoord3DCrsPnt::LoadData(CKelFileIO& f, int* budget)
{
  if (!CKelCoord3D::LoadData(f, budget))
    return false;
  std::int32_t type = 0;
  if (!KelRecord::Read(f, budget, type) || !IsValidType(type))
    return false;
  m_Type = static_cast<TYPE>(type);
  return true;
}

// ---------------------------------------------------------------------------
// CKelCoord3DCrsPntArray: comparison and point list
// ---------------------------------------------------------------------------

bool CKelCoord3DCrsPntArray::operator==(const CKelCoord3DCrsPntArray& other) const
{
  return KelList::Equal(*this, other);
}

bool CKelCoord3DCrsPntArray::operator!=(const CKelCoord3DCrsPntArray& other) const
{
  return !(*this == other);
}

bool CKelCoord3DCrsPntArray::IsNearlyEqual(const CKelCoord3DCrsPntArray& other) const
{
  return KelList::NearlyEqual(*this, other);
}

void CKelCoord3DCrsPntArray::InsertPoint(int index, const CKelCoord3D& p)
{
  PLN_ASSERT(-1 <= index && index < GetSize());
  insert(begin() + index + 1, CKelCoord3DCrsPnt(p, CKelCoord3DCrsPnt::TYPE_POINT));
}

void CKelCoord3DCrsPntArray::MovePoint(int index, const CKelCoord3D& p)
{
  PLN_ASSERT(0 <= index && index < GetSize());
  CKelCoord3DCrsPnt& pt = (*this)[static_cast<std::size_t>(index)];
  pt.m_x = p.m_x;
  pt.m_y = p.m_y;
  pt.m_z = p.m_z;
}

void CKelCoord3DCrsPntArray::SwapCoord(int, int)
{
  PLN_ASSERT(false);
}

void CKelCoord3DCrsPntArray::Append(const CKelCoord3D& p)
{
  push_back(CKelCoord3DCrsPnt(p, CKelCoord3DCrsPnt::TYPE_POINT));
}

void CKelCoord3DCrsPntArray::DeletePoint(int index)
{
  PLN_ASSERT(0 <= index && index < GetSize());
  erase(begin() + index);
}

CKelCoord3D CKelCoord3DCrsPntArray::GetCoord3D(int index) const
{
  PLN_ASSERT(0 <= index && index < GetSize());
  return (*this)[static_cast<std::size_t>(index)];
}

int CKelCoord3DCrsPntArray::GetSize() const
{
  return static_cast<int>(size());
}

bool CKelCoord3DCrsPntArray::IsClosed() const
{
  return false;
}

void CKelCoord3DCrsPntArray::Clear()
{
  clear();
}

bool CKelCoord3DCrsPntArray::IsCenter(int index) const
{
  PLN_ASSERT(0 <= index && index < GetSize());
  return (*this)[static_cast<std::size_t>(index)].IsCenter();
}

bool CKelCoord3DCrsPntArray::IsCCW() const
{
  return false;
}

void CKelCoord3DCrsPntArray::MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b)
{
  const double dx = a.m_x - b.m_x;
  const double dy = a.m_y - b.m_y;
  for (CKelCoord3DCrsPnt& p : *this) {
    p.m_x += dx;
    p.m_y += dy;
  }
}

void CKelCoord3DCrsPntArray::InsertCenter(int index, const CKelCoord3D& p)
{
  PLN_ASSERT(-1 <= index && index < GetSize());
  insert(begin() + index + 1, CKelCoord3DCrsPnt(p, CKelCoord3DCrsPnt::TYPE_CCW));
}

void CKelCoord3DCrsPntArray::AddCenter(const CKelCoord3D& p)
{
  push_back(CKelCoord3DCrsPnt(p, CKelCoord3DCrsPnt::TYPE_CCW));
}

int CKelCoord3DCrsPntArray::GetNextNo(int index) const
{
  return index == GetSize() - 1 ? 0 : index;
}

// ---------------------------------------------------------------------------
// Shape: reversal, split and area
// ---------------------------------------------------------------------------

void CKelCoord3DCrsPntArray::Reverse()
{
  std::reverse(begin(), end());
  for (CKelCoord3DCrsPnt& p : *this) {
    if (p.m_Type == CKelCoord3DCrsPnt::TYPE_CCW)
      p.m_Type = CKelCoord3DCrsPnt::TYPE_CW;
    else if (p.m_Type == CKelCoord3DCrsPnt::TYPE_CW)
      p.m_Type = CKelCoord3DCrsPnt::TYPE_CCW;
  }
}

// Each arc becomes a piece read counter-clockwise: [centre, start, end] for a
// counter-clockwise arc, [centre, end, start] for a clockwise one. An arc
// beyond a half circle cannot be a segment on the straight part's chord, so
// the straight part runs through its centre and the arc counts as a sector.
void CKelCoord3DCrsPntArray::SeparateToPolygonAndArc(CKelAreaCoord2D& poly, CKelAreaCoord2DArray& a1,
                                                     CKelAreaCoord2DArray& a2, CKelAreaCoord2DArray& a3,
                                                     CKelAreaCoord2DArray& a4) const
{
  const std::size_t n = size();
  for (std::size_t i = 1; i < n; ++i) {
    const CKelCoord3DCrsPnt& p = (*this)[i];
    if (!p.IsCenter()) {
      poly.m_pt.emplace_back(p.m_x, p.m_y);
      continue;
    }
    if (i + 1 >= n)
      continue;  // a centre without an end makes no arc
    const bool ccw = p.m_Type == CKelCoord3DCrsPnt::TYPE_CCW;
    const CKelCoord3DCrsPnt& from = (*this)[ccw ? i - 1 : i + 1];
    const CKelCoord3DCrsPnt& to = (*this)[ccw ? i + 1 : i - 1];
    CKelAreaCoord2D piece;
    piece.m_pt = {CKelCoord2D(p.m_x, p.m_y), CKelCoord2D(from.m_x, from.m_y), CKelCoord2D(to.m_x, to.m_y)};
    const bool beyondHalf = PieceSweep(piece) - KelAngle::Pi > KelTol::HalfCircle;
    if (beyondHalf)
      poly.m_pt.emplace_back(p.m_x, p.m_y);
    if (ccw)
      (beyondHalf ? a3 : a4).push_back(std::move(piece));
    else
      (beyondHalf ? a1 : a2).push_back(std::move(piece));
  }
  poly.SetMaxMin();
  poly.m_area = poly.Area();
  if (poly.m_area == 0)
    poly.m_pt.clear();
}

// Segments are counted without the polygon's cut at a half circle: an arc of
// exactly half a circle, which the split keeps among the segments, would
// otherwise count nothing instead of half its disc.
double CKelCoord3DCrsPntArray::GetArea() const
{
  CKelAreaCoord2D poly;
  CKelAreaCoord2DArray a1, a2, a3, a4;
  SeparateToPolygonAndArc(poly, a1, a2, a3, a4);
  double area = poly.m_area;
  for (const CKelAreaCoord2D& piece : a1)
    area -= piece.GetArcArea();
  for (const CKelAreaCoord2D& piece : a2)
    area -= piece.GetArcSegmentArea();
  for (const CKelAreaCoord2D& piece : a3)
    area += piece.GetArcArea();
  for (const CKelAreaCoord2D& piece : a4)
    area += piece.GetArcSegmentArea();
  return area;
}

// ---------------------------------------------------------------------------
// Persistence
// ---------------------------------------------------------------------------

bool CKelCoord3DCrsPntArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CKelCoord3DCrsPntArray", 2);
  return KelList::Serialize(ar, *this, kPointArchiveMinBytes);
}

bool CKelCoord3DCrsPntArray::SaveData(CKelFileIO& f) const
{
  return KelRecord::SaveList(f, *this);
}

bool CKelCoord3DCrsPntArray::LoadData(CKelFileIO& f, int* budget)
{
  return KelRecord::LoadList(f, budget, *this, CKelCoord3DCrsPnt::kRecordBytes);
}
