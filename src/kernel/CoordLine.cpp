#include "CoordLine.h"

#include "CKelArchiveCore.h"
#include "CKelFileIO.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelRecord.h"
#include "host_assert.h"

#include <cmath>
#include <cstdint>

// ---------------------------------------------------------------------------
// CoordLine2D
// ---------------------------------------------------------------------------

CoordLine2D::CoordLine2D(double x1, double y1, double x2, double y2) : m_Beg(x1, y1), m_End(x2, y2)
{
  SetCosSin();
}

CoordLine2D::CoordLine2D(const CKelCoord2D& beg, const CKelCoord2D& end) : m_Beg(beg), m_End(end)
{
  SetCosSin();
}

void CoordLine2D::SetCosSin()
{
  double c = 0;
  double s = 0;
  double len = 0;
  // A degenerate line keeps its previous direction: dividing by a zero length
  // would leave NaN in every later local coordinate.
  if (CalcCosSin(m_Beg, m_End, &c, &s, &len)) {
    m_Cos = c;
    m_Sin = s;
  }
  m_Length = len;
}

void CoordLine2D::SetDistance(double d)
{
  CalcMoveLine(m_Beg, m_End, d);
}

double CoordLine2D::GetLocalCoordX(const CKelCoord2D& p) const
{
  return (p.m_x - m_Beg.m_x) * m_Cos + (p.m_y - m_Beg.m_y) * m_Sin;
}

double CoordLine2D::GetLocalCoordY(const CKelCoord2D& p) const
{
  return m_Cos * (p.m_y - m_Beg.m_y) - m_Sin * (p.m_x - m_Beg.m_x);
}

bool CoordLine2D::IsOnLine(const CKelCoord2D& p, const double* tol) const
{
  const double t = GetLocalCoordX(p);
  const double d = std::fabs(GetLocalCoordY(p));
  return t >= 0 && d <= *tol && t <= m_Length;
}

bool CoordLine2D::CheckRange(const CKelCoord2D& p, double* io) const
{
  const double t = GetLocalCoordX(p);
  const double d = std::fabs(GetLocalCoordY(p));
  if (t >= 0 && d < *io && t <= m_Length) {
    *io = m_Length;
    return true;
  }
  return false;
}

bool CoordLine2D::operator==(const CoordLine2D& other) const
{
  return m_Beg == other.m_Beg && m_End == other.m_End && m_Cos == other.m_Cos && m_Sin == other.m_Sin &&
         m_Length == other.m_Length;
}

bool CoordLine2D::operator!=(const CoordLine2D& other) const
{
  return !(*this == other);
}

bool CoordLine2D::IsNearlyEqual(const CoordLine2D& other) const
{
  return m_Beg.IsNearlyEqual(other.m_Beg) && m_End.IsNearlyEqual(other.m_End) && fcmpNearly(m_Cos - other.m_Cos) == 0 &&
         fcmpNearly(m_Sin - other.m_Sin) == 0 && fcmpNearly(m_Length - other.m_Length) == 0;
}

bool CoordLine2D::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CoordLine2D", 2);
  ar.Serialize(m_Cos);
  ar.Serialize(m_Sin);
  ar.Serialize(m_Length);
  if (!m_Beg.Serialize(ar) || !m_End.Serialize(ar))
    return false;
  return ar.GetError() == 0;
}

bool CoordLine2D::SaveData(CKelFileIO& f) const
{
  return m_Beg.SaveData(f) && m_End.SaveData(f);
}

bool CoordLine2D::LoadData(CKelFileIO& f, int* budget)
{
  if (!m_Beg.LoadData(f, budget) || !m_End.LoadData(f, budget))
    return false;
  SetCosSin();
  return true;
}

// ---------------------------------------------------------------------------
// CoordLine3D
// ---------------------------------------------------------------------------

bool CoordLine3D::operator==(const CoordLine3D& other) const
{
  return CoordLine2D::operator==(other) && m_Beg3D == other.m_Beg3D && m_End3D == other.m_End3D;
}

bool CoordLine3D::operator!=(const CoordLine3D& other) const
{
  return !(*this == other);
}

bool CoordLine3D::IsNearlyEqual(const CoordLine3D& other) const
{
  return CoordLine2D::IsNearlyEqual(other) && m_Beg3D.IsNearlyEqual(other.m_Beg3D) &&
         m_End3D.IsNearlyEqual(other.m_End3D);
}

bool CoordLine3D::Serialize(CKelArchiveCore& ar)
{
  // Lines in space joined the archive with version 9; older archives hold
  // nothing of them.
  if (ar.GetVersion() < 9)
    return ar.GetError() == 0;
  ar.SerializeTag("CoordLine3D", 9);
  if (!CoordLine2D::Serialize(ar) || !m_Beg3D.Serialize(ar) || !m_End3D.Serialize(ar))
    return false;
  return ar.GetError() == 0;
}

bool CoordLine3D::SaveData(CKelFileIO& f) const
{
  return CoordLine2D::SaveData(f) && m_Beg3D.SaveData(f) && m_End3D.SaveData(f);
}

bool CoordLine3D::LoadData(CKelFileIO& f, int* budget)
{
  return CoordLine2D::LoadData(f, budget) && m_Beg3D.LoadData(f, budget) && m_End3D.LoadData(f, budget);
}

// The point-list view is read-only: a line has exactly its two ends.
void CoordLine3D::InsertPoint(int, const CKelCoord2D&)
{
  PLN_ASSERT(false);
}

void CoordLine3D::MovePoint(int, const CKelCoord2D&)
{
  PLN_ASSERT(false);
}

void CoordLine3D::SwapCoord(int, int)
{
  PLN_ASSERT(false);
}

void CoordLine3D::Append(const CKelCoord2D&)
{
  PLN_ASSERT(false);
}

void CoordLine3D::DeletePoint(int)
{
  PLN_ASSERT(false);
}

CKelCoord3D CoordLine3D::GetCoord3D(int index) const
{
  PLN_ASSERT(index == 0 || index == 1);
  return index == 0 ? m_Beg3D : m_End3D;
}

int CoordLine3D::GetSize() const
{
  return 2;
}

bool CoordLine3D::IsClosed() const
{
  return false;
}

void CoordLine3D::Clear()
{
  PLN_ASSERT(false);
}

void CoordLine3D::InsertPoint(int, const CKelCoord3D&)
{
  PLN_ASSERT(false);
}

void CoordLine3D::MovePoint(int, const CKelCoord3D&)
{
  PLN_ASSERT(false);
}

void CoordLine3D::Append(const CKelCoord3D&)
{
  PLN_ASSERT(false);
}

void CoordLine3D::MoveBlock(const CKelCoord2D&, const CKelCoord3D&)
{
  PLN_ASSERT(false);
}

// ---------------------------------------------------------------------------
// CoordLine3DArray
// ---------------------------------------------------------------------------

namespace {

// The numbers of one line in the archive (cos, sin, length, two plan points,
// two 3D points): a lower bound on its bytes however its tags are spelt.
constexpr std::uint64_t kLineArchiveMinBytes = 13 * sizeof(double);
// Below version 9 a line transfers nothing, so its count cannot be weighed
// against the bytes that remain; this caps what such a count may allocate.
constexpr std::int64_t kMaxEmptyLines = 1 << 16;

bool CountAcceptable(CKelArchiveCore& ar, int count)
{
  if (ar.GetVersion() < 9)
    return count >= 0 && count <= kMaxEmptyLines;
  return KelList::CountFits(ar, count, kLineArchiveMinBytes);
}

}  // namespace

bool CoordLine3DArray::operator==(const CoordLine3DArray& other) const
{
  return KelList::Equal(*this, other);
}

bool CoordLine3DArray::operator!=(const CoordLine3DArray& other) const
{
  return !(*this == other);
}

bool CoordLine3DArray::IsNearlyEqual(const CoordLine3DArray& other) const
{
  return KelList::NearlyEqual(*this, other);
}

bool CoordLine3DArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CoordLine3DArray", 2);
  return KelList::SerializeAccepting(ar, *this, [&ar](int count) { return CountAcceptable(ar, count); });
}

bool CoordLine3DArray::SaveData(CKelFileIO& f) const
{
  return KelRecord::SaveList(f, *this);
}

bool CoordLine3DArray::LoadData(CKelFileIO& f, int* budget)
{
  return KelRecord::LoadList(f, budget, *this, CoordLine3D::kRecordBytes);
}
