#include "CKelAreaCoord2D.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "CKelArchiveCore.h"
#include "CKelFileIO.h"
#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelOutlineIndex.h"
#include "KelRecord.h"
#include "KelTolerance.h"
#include "host_assert.h"

namespace {

// A vertex record: f64 x, f64 y.
constexpr int kVertexRecordBytes = 16;
// A polygon record at its smallest: marker and count.
constexpr int kPolygonRecordMinBytes = 8;
// A polygon in the archive at its smallest: count, area and the four bounds.
constexpr std::uint64_t kPolygonArchiveMinBytes = sizeof(int) + 5 * sizeof(double);

// Bytes between the read position and the end of the file: a record cannot
// claim more elements than these bytes can hold.
std::uint64_t RemainingFileBytes(CKelFileIO& f)
{
  const unsigned int size = f.GetFileSize();
  const unsigned int position = f.GetFilePosition();
  return size > position ? size - position : 0;
}

// Reads the marker and the count that open both records. False for a failed
// read, a wrong marker or a negative count.
bool ReadRecordHead(CKelFileIO& f, int& count)
{
  int marker = 0;
  if (!KelRecord::Read(f, marker) || marker != CKelAreaCoord2D::kRecordMarker)
    return false;
  return KelRecord::Read(f, count) && count >= 0;
}

bool CountFitsFile(CKelFileIO& f, int count, int elementBytes)
{
  return static_cast<std::uint64_t>(count) * static_cast<std::uint64_t>(elementBytes) <= RemainingFileBytes(f);
}

// Both records: the marker, then the list's count and its elements' records.
template <class List>
bool SaveMarkedList(CKelFileIO& f, const List& list)
{
  return KelRecord::Write(f, CKelAreaCoord2D::kRecordMarker) && KelRecord::SaveList(f, list);
}

// Reads either record, each element by loadOne(element). An empty record
// leaves the list as it was; a count whose elements, at minElementBytes each,
// the rest of the file cannot hold is refused before anything is resized.
// Stops at the first element that fails (those read before it stay).
template <class List, class LoadOne>
bool LoadMarkedList(CKelFileIO& f, List& list, int minElementBytes, LoadOne loadOne)
{
  int count = 0;
  if (!ReadRecordHead(f, count))
    return false;
  if (count == 0)
    return true;
  if (!CountFitsFile(f, count, minElementBytes))
    return false;
  list.resize(static_cast<std::size_t>(count));
  for (auto& element : list) {
    if (!loadOne(element))
      return false;
  }
  return true;
}

CKelCoord3D Flat(const CKelCoord2D& p)
{
  return CKelCoord3D(p.m_x, p.m_y, 0);
}

}  // namespace

// --- CKelObject -------------------------------------------------------------

int CKelAreaCoord2D::GetSize() const
{
  return static_cast<int>(m_pt.size());
}

std::size_t CKelAreaCoord2D::Wrap(int i) const
{
  const int n = GetSize();
  PLN_ASSERT(n > 0);
  return static_cast<std::size_t>(CyclicIndex(i, n));
}

CKelCoord3D CKelAreaCoord2D::GetCoord3D(int i) const
{
  return Flat(m_pt[Wrap(i)]);
}

CKelCoord3D CKelAreaCoord2D::GetFrontCoord3D() const
{
  PLN_ASSERT(!m_pt.empty());
  return Flat(m_pt.front());
}

CKelCoord3D CKelAreaCoord2D::GetBackCoord3D() const
{
  PLN_ASSERT(!m_pt.empty());
  return Flat(m_pt.back());
}

void CKelAreaCoord2D::Append(const CKelCoord3D& p)
{
  m_pt.emplace_back(p.m_x, p.m_y);
}

void CKelAreaCoord2D::Clear()
{
  m_pt.clear();
}

void CKelAreaCoord2D::InsertPoint(int i, const CKelCoord3D& p)
{
  PLN_ASSERT(-1 <= i && i < GetSize());
  m_pt.insert(m_pt.begin() + (i + 1), CKelCoord2D(p.m_x, p.m_y));
}

void CKelAreaCoord2D::MovePoint(int i, const CKelCoord3D& p)
{
  PLN_ASSERT(0 <= i && i < GetSize());
  m_pt[static_cast<std::size_t>(i)] = CKelCoord2D(p.m_x, p.m_y);
}

void CKelAreaCoord2D::MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b)
{
  const double dx = a.m_x - b.m_x;
  const double dy = a.m_y - b.m_y;
  for (CKelCoord2D& v : m_pt) {
    v.m_x += dx;
    v.m_y += dy;
  }
}

void CKelAreaCoord2D::DeletePoint(int i)
{
  PLN_ASSERT(0 <= i && i < GetSize());
  m_pt.erase(m_pt.begin() + i);
}

void CKelAreaCoord2D::SwapCoord(int i, int j)
{
  PLN_ASSERT(0 <= i && i < GetSize());
  PLN_ASSERT(0 <= j && j < GetSize());
  std::swap(m_pt[static_cast<std::size_t>(i)], m_pt[static_cast<std::size_t>(j)]);
}

// --- Edges --------------------------------------------------------------------

void CKelAreaCoord2D::MoveLine(int i, const CKelCoord3D& p)
{
  PLN_ASSERT(0 <= i && i < GetSize());
  CKelCoord2D& a = m_pt[static_cast<std::size_t>(i)];
  CKelCoord2D& b = m_pt[Wrap(i + 1)];
  CalcMoveLine(a, b, CKelCoord2D(p.m_x, p.m_y));
}

void CKelAreaCoord2D::MoveLine(int i, double d)
{
  PLN_ASSERT(0 <= i && i < GetSize());
  CKelCoord2D& a = m_pt[static_cast<std::size_t>(i)];
  CKelCoord2D& b = m_pt[Wrap(i + 1)];
  CalcMoveLine(a, b, d);
}

bool CKelAreaCoord2D::IsOnline(const CKelCoord2D& p) const
{
  const std::size_t n = m_pt.size();
  for (std::size_t i = 0, prev = n - 1; i < n; prev = i++) {
    if (KelEdge::IsOn(m_pt[prev], m_pt[i], p))
      return true;
  }
  return false;
}

// Vertex i against the line through its cyclic neighbours. When the two
// neighbours coincide there is no line, and the three points are trivially
// collinear.
bool CKelAreaCoord2D::IsCollinearVertex(std::size_t i) const
{
  const std::size_t n = m_pt.size();
  const CKelCoord2D& prev = m_pt[i == 0 ? n - 1 : i - 1];
  const CKelCoord2D& next = m_pt[i + 1 == n ? 0 : i + 1];
  const CKelCoord2D& v = m_pt[i];
  double ux = 0, uy = 0;
  if (!CalcCosSin(prev, next, &ux, &uy, nullptr))
    return true;
  const double c = (v.m_x - prev.m_x) * uy - (v.m_y - prev.m_y) * ux;
  return -KelTol::Collinear < c && c < KelTol::Collinear;
}

bool CKelAreaCoord2D::DeleteOnLine()
{
  bool removed = false;
  std::size_t i = 0;
  while (i < m_pt.size()) {
    if (IsCollinearVertex(i)) {
      m_pt.erase(m_pt.begin() + static_cast<std::ptrdiff_t>(i));
      removed = true;
    } else {
      ++i;
    }
  }
  return removed;
}

// --- Arc pieces ------------------------------------------------------------

// The counter-clockwise sweep from start to end about the centre, in degrees.
double CKelAreaCoord2D::ArcSweepDegrees() const
{
  const CKelCoord2D& c = m_pt[0];
  const CKelCoord2D& s = m_pt[1];
  const CKelCoord2D& e = m_pt[2];
  const double a1 = std::atan2(s.m_y - c.m_y, s.m_x - c.m_x);
  double a2 = std::atan2(e.m_y - c.m_y, e.m_x - c.m_x);
  if (a2 < a1)
    a2 += KelAngle::TwoPi;
  return (a2 - a1) * KelAngle::DegreesPerRadian;
}

double CKelAreaCoord2D::GetArcArea() const
{
  if (m_pt.size() < 3)
    return 0;
  const double r = length_2point(m_pt[0], m_pt[1]);
  const double w = ArcSweepDegrees();
  return w / 360 * KelAngle::Pi * r * r;
}

double CKelAreaCoord2D::GetArcCenterArea() const
{
  if (m_pt.size() < 3)
    return 0;
  const double w = ArcSweepDegrees();
  if (w >= 180)
    return 0;
  return SegmentAreaOfSweep(w);
}

double CKelAreaCoord2D::GetArcSegmentArea() const
{
  if (m_pt.size() < 3)
    return 0;
  return SegmentAreaOfSweep(ArcSweepDegrees());
}

// Sector minus the triangle of centre and chord; beyond 180 degrees the
// cosine turns negative and the triangle is added.
double CKelAreaCoord2D::SegmentAreaOfSweep(double w) const
{
  const double r = length_2point(m_pt[0], m_pt[1]);
  const double half = w / 2 / KelAngle::DegreesPerRadian;
  const double chord = 2 * r * std::sin(half);
  return w * KelAngle::Pi * r * r / 360 - 0.5 * chord * r * std::cos(half);
}

// --- Text compare ----------------------------------------------------------

void CKelAreaCoord2D::CompareData(const char* label, const CKelAreaCoord2D& other, std::vector<std::string>& out) const
{
  const std::string base = label != nullptr ? label : "";
  std::vector<char> buffer(base.size() + 64);
  if (m_pt.size() != other.m_pt.size()) {
    std::snprintf(buffer.data(), buffer.size(), "%s, 辺数, %d, %d", base.c_str(), GetSize(), other.GetSize());
    out.emplace_back(buffer.data());
    return;
  }
  for (std::size_t k = 0; k < m_pt.size(); ++k) {
    std::snprintf(buffer.data(), buffer.size(), "%s, %d", base.c_str(), static_cast<int>(k + 1));
    m_pt[k].CompareData(buffer.data(), other.m_pt[k], out);
  }
}

// --- Record ----------------------------------------------------------------

bool CKelAreaCoord2D::SaveData(CKelFileIO& f) const
{
  return SaveMarkedList(f, m_pt);
}

bool CKelAreaCoord2D::LoadData(CKelFileIO& f)
{
  return LoadMarkedList(f, m_pt, kVertexRecordBytes, [&f](CKelCoord2D& v) {
    int budget = kVertexRecordBytes;
    return v.LoadData(f, &budget);
  });
}

// --- CKelAreaCoord2DArray ----------------------------------------------------

double CKelAreaCoord2DArray::GetArea() const
{
  double sum = 0;
  for (const CKelAreaCoord2D& polygon : *this)
    sum += polygon.m_area;
  return sum;
}

bool CKelAreaCoord2DArray::IsOnline(const CKelCoord2D& p) const
{
  for (const CKelAreaCoord2D& polygon : *this) {
    if (polygon.IsOnline(p))
      return true;
  }
  return false;
}

bool CKelAreaCoord2DArray::operator==(const CKelAreaCoord2DArray& other) const
{
  return KelList::Equal(*this, other);
}

bool CKelAreaCoord2DArray::IsNearlyEqual(const CKelAreaCoord2DArray& other) const
{
  return KelList::NearlyEqual(*this, other);
}

bool CKelAreaCoord2DArray::Serialize(CKelArchiveCore& ar)
{
  // The list's tag stands twice in its stored form.
  ar.SerializeTag("CKelAreaCoord2DArray", 2);
  ar.SerializeTag("CKelAreaCoord2DArray", 2);
  // Each polygon by CKelArea<CKelCoord2D>::Serialize, the one it inherits.
  return KelList::Serialize(ar, *this, kPolygonArchiveMinBytes);
}

bool CKelAreaCoord2DArray::SaveData(CKelFileIO& f) const
{
  return SaveMarkedList(f, *this);
}

bool CKelAreaCoord2DArray::LoadData(CKelFileIO& f)
{
  return LoadMarkedList(f, *this, kPolygonRecordMinBytes, [&f](CKelAreaCoord2D& polygon) { return polygon.LoadData(f); });
}
