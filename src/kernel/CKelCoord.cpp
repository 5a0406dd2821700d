#include "CKelCoord.h"

#include <cmath>
#include <cstdio>

#include "CKelArchiveCore.h"
#include "CKelFileIO.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelRecord.h"
#include "KelTolerance.h"

namespace {

// Strictly inside the point tolerance on both sides.
bool SameComponent(double a, double b)
{
  const double d = a - b;
  return -KelTol::PointEqual < d && d < KelTol::PointEqual;
}

bool NearlySameComponent(double a, double b) { return fcmpNearly(a - b) == 0; }

// The version from which the point with a second height and the tagged
// points carry anything in an archive.
constexpr int kSecondHeightVersion = 9;

bool ArchiveFine(CKelArchiveCore& ar) { return ar.GetError() == 0; }

}  // namespace

// --- CKelCoord2D ----------------------------------------------------------------

bool CKelCoord2D::operator==(const CKelCoord2D& p) const
{
  return SameComponent(m_x, p.m_x) && SameComponent(m_y, p.m_y);
}

bool CKelCoord2D::operator!=(const CKelCoord2D& p) const { return !(*this == p); }

bool CKelCoord2D::IsNearlyEqual(const CKelCoord2D& p) const
{
  return NearlySameComponent(m_x, p.m_x) && NearlySameComponent(m_y, p.m_y);
}

double CKelCoord2D::GetLength(const CKelCoord2D& p) const
{
  const double dx = p.m_x - m_x;
  const double dy = p.m_y - m_y;
  return std::sqrt(dx * dx + dy * dy);
}

CKelCoord2D CKelCoord2D::GetCoord(const CKelCoord2D& p, double t) const
{
  return CKelCoord2D(m_x + t * (p.m_x - m_x), m_y + t * (p.m_y - m_y));
}

void CKelCoord2D::CompareData(const char* label, const CKelCoord2D& other, std::vector<std::string>& out) const
{
  const auto addLine = [&](double own, double theirs) {
    char line[512];
    std::snprintf(line, sizeof(line), "%s, %lf, %lf", label, own, theirs);
    out.emplace_back(line);
  };
  if (m_x != other.m_x)
    addLine(m_x, other.m_x);
  if (m_y != other.m_y)
    addLine(m_y, other.m_y);
}

bool CKelCoord2D::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CKelCoord2D", 2);
  ar.Serialize(m_x);
  ar.Serialize(m_y);
  return ArchiveFine(ar);
}

bool CKelCoord2D::SaveData(CKelFileIO& f) const
{
  return KelRecord::Write(f, m_x) && KelRecord::Write(f, m_y);
}

bool CKelCoord2D::LoadData(CKelFileIO& f, int* budget)
{
  return KelRecord::Read(f, budget, m_x) && KelRecord::Read(f, budget, m_y);
}

// --- CKelCoord3D ----------------------------------------------------------------

bool CKelCoord3D::operator==(const CKelCoord3D& p) const
{
  return CKelCoord2D::operator==(p) && SameComponent(m_z, p.m_z);
}

bool CKelCoord3D::operator!=(const CKelCoord3D& p) const { return !(*this == p); }

bool CKelCoord3D::IsNearlyEqual(const CKelCoord3D& p) const
{
  return CKelCoord2D::IsNearlyEqual(p) && NearlySameComponent(m_z, p.m_z);
}

double CKelCoord3D::GetLength(const CKelCoord3D& p) const
{
  const double plan = CKelCoord2D::GetLength(p);
  const double dz = p.m_z - m_z;
  return std::sqrt(plan * plan + dz * dz);
}

CKelCoord3D CKelCoord3D::GetCoord(const CKelCoord3D& p, double t) const
{
  const CKelCoord2D plan = CKelCoord2D::GetCoord(p, t);
  return CKelCoord3D(plan.m_x, plan.m_y, m_z + t * (p.m_z - m_z));
}

double CKelCoord3D::CalcNaiseki(const CKelCoord3D& p) const { return m_x * p.m_x + m_y * p.m_y + m_z * p.m_z; }

bool CKelCoord3D::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CKelCoord3D", 2);
  ar.Serialize(m_z);
  return CKelCoord2D::Serialize(ar);
}

bool CKelCoord3D::SaveData(CKelFileIO& f) const { return CKelCoord2D::SaveData(f) && KelRecord::Write(f, m_z); }

bool CKelCoord3D::LoadData(CKelFileIO& f, int* budget)
{
  return CKelCoord2D::LoadData(f, budget) && KelRecord::Read(f, budget, m_z);
}

// --- CKelVector3D ---------------------------------------------------------------

bool CKelVector3D::IsNearlyEqual(const CKelVector3D& v) const
{
  return NearlySameComponent(m_x, v.m_x) && NearlySameComponent(m_y, v.m_y) && NearlySameComponent(m_z, v.m_z);
}

double CKelVector3D::CalcNaiseki(const CKelVector3D& v) const { return m_x * v.m_x + m_y * v.m_y + m_z * v.m_z; }

double CKelVector3D::GetLength() const { return std::sqrt(m_x * m_x + m_y * m_y + m_z * m_z); }

bool CKelVector3D::Normalize()
{
  const double length = GetLength();
  if (length == 0)
    return false;
  m_x /= length;
  m_y /= length;
  m_z /= length;
  return true;
}

CKelVector3D CKelVector3D::operator*(double s) const { return CKelVector3D(m_x * s, m_y * s, m_z * s); }

CKelVector3D CKelVector3D::operator+(const CKelVector3D& v) const
{
  return CKelVector3D(m_x + v.m_x, m_y + v.m_y, m_z + v.m_z);
}

CKelVector3D CKelVector3D::operator-(const CKelVector3D& v) const
{
  return CKelVector3D(m_x - v.m_x, m_y - v.m_y, m_z - v.m_z);
}

CKelVector3D& CKelVector3D::operator+=(const CKelVector3D& v)
{
  *this = *this + v;
  return *this;
}

CKelVector3D& CKelVector3D::operator-=(const CKelVector3D& v)
{
  *this = *this - v;
  return *this;
}

// --- CKelCoord3DEx --------------------------------------------------------------

bool CKelCoord3DEx::operator==(const CKelCoord3DEx& p) const
{
  return CKelCoord3D::operator==(p) && SameComponent(m_zL, p.m_zL);
}

bool CKelCoord3DEx::operator!=(const CKelCoord3DEx& p) const { return !(*this == p); }

bool CKelCoord3DEx::IsNearlyEqual(const CKelCoord3DEx& p) const
{
  return CKelCoord3D::IsNearlyEqual(p) && NearlySameComponent(m_zL, p.m_zL);
}

bool CKelCoord3DEx::Serialize(CKelArchiveCore& ar)
{
  if (ar.GetVersion() >= kSecondHeightVersion) {
    ar.SerializeTag("CKelCoord3DEx", kSecondHeightVersion);
    ar.Serialize(m_zL);
  }
  return CKelCoord3D::Serialize(ar);
}

bool CKelCoord3DEx::SaveData(CKelFileIO& f) const { return CKelCoord3D::SaveData(f) && KelRecord::Write(f, m_zL); }

bool CKelCoord3DEx::LoadData(CKelFileIO& f, int* budget)
{
  return CKelCoord3D::LoadData(f, budget) && KelRecord::Read(f, budget, m_zL);
}

// --- CKelCoord3DExCrsPnt --------------------------------------------------------

bool CKelCoord3DExCrsPnt::operator==(const CKelCoord3DExCrsPnt& p) const
{
  return m_nKind == p.m_nKind && CKelCoord3DEx::operator==(p);
}

bool CKelCoord3DExCrsPnt::operator!=(const CKelCoord3DExCrsPnt& p) const { return !(*this == p); }

bool CKelCoord3DExCrsPnt::IsNearlyEqual(const CKelCoord3DExCrsPnt& p) const
{
  return m_nKind == p.m_nKind && CKelCoord3DEx::IsNearlyEqual(p);
}

bool CKelCoord3DExCrsPnt::Serialize(CKelArchiveCore& ar)
{
  if (ar.GetVersion() < kSecondHeightVersion)
    return ArchiveFine(ar);
  ar.SerializeTag("CKelCoord3DExCrsPnt", kSecondHeightVersion);
  ar.Serialize(m_nKind);
  return CKelCoord3DEx::Serialize(ar);
}

bool CKelCoord3DExCrsPnt::SaveData(CKelFileIO& f) const
{
  return CKelCoord3DEx::SaveData(f) && KelRecord::Write(f, m_nKind);
}

bool CKelCoord3DExCrsPnt::LoadData(CKelFileIO& f, int* budget)
{
  return CKelCoord3DEx::LoadData(f, budget) && KelRecord::Read(f, budget, m_nKind);
}

// --- CKelCoord3DExCrsPntArray ---------------------------------------------------

namespace {

// Bytes one element needs at least in an archive: from version 9 on each
// element carries its kind, its second height and three coordinates.
constexpr std::uint64_t kMinArchivedElementBytes = 4 + 8 * 4;

}  // namespace

bool CKelCoord3DExCrsPntArray::operator==(const CKelCoord3DExCrsPntArray& other) const
{
  return KelList::Equal(*this, other);
}

bool CKelCoord3DExCrsPntArray::operator!=(const CKelCoord3DExCrsPntArray& other) const { return !(*this == other); }

bool CKelCoord3DExCrsPntArray::IsNearlyEqual(const CKelCoord3DExCrsPntArray& other) const
{
  return KelList::NearlyEqual(*this, other);
}

bool CKelCoord3DExCrsPntArray::Serialize(CKelArchiveCore& ar)
{
  if (ar.GetVersion() < kSecondHeightVersion)
    return ArchiveFine(ar);
  ar.SerializeTag("CKelCoord3DExCrsPntArray", kSecondHeightVersion);
  return KelList::Serialize(ar, *this, kMinArchivedElementBytes);
}

bool CKelCoord3DExCrsPntArray::SaveData(CKelFileIO& f) const
{
  return KelRecord::SaveList(f, *this);
}

bool CKelCoord3DExCrsPntArray::LoadData(CKelFileIO& f, int* budget)
{
  return KelRecord::LoadList(f, budget, *this, kRecordBytes);
}

// --- CKelCoord2DArray -----------------------------------------------------------

int CKelCoord2DArray::Add(const CKelCoord2D& p)
{
  for (std::size_t i = 0; i < size(); ++i) {
    if ((*this)[i] == p)
      return static_cast<int>(i);
  }
  push_back(p);
  return static_cast<int>(size()) - 1;
}
