#include "CDivLine.h"

#include <cstdio>
#include <stdexcept>

#include "KelGeometry.h"
#include "KelList.h"
#include "KelTolerance.h"
#include "host_assert.h"

namespace {

// What every stored point takes at least: a tag-less x and y.
constexpr std::uint64_t kMinPointBytes = 2 * sizeof(double);
// A stored line takes at least its count.
constexpr std::uint64_t kMinLineBytes = sizeof(std::int32_t);

std::string Labelled(const char* label, int k)
{
  char text[256];
  std::snprintf(text, sizeof text, "%s, %d", label, k);
  return text;
}

void AppendCountLine(const char* label, int own, int other, std::vector<std::string>& lines)
{
  char text[256];
  std::snprintf(text, sizeof text, "%s, 辺数, %d, %d", label, own, other);
  lines.emplace_back(text);
}

template <class Line>
void CheckSegment(const Line& line, int i)
{
  if (i < 0 || static_cast<std::size_t>(i) + 1 >= line.size())
    throw std::out_of_range("division line segment");
}

// Moves every point by (to - from) in plan; heights stay.
template <class Line>
void MoveAll(Line& line, const CKelCoord2D& to, const CKelCoord3D& from)
{
  for (auto& p : line) {
    p.m_x += to.m_x - from.m_x;
    p.m_y += to.m_y - from.m_y;
  }
}

// Moves segment i parallel to itself: through a point, or by a distance.
template <class Line, class Target>
void MoveSegment(Line& line, int i, const Target& target)
{
  CheckSegment(line, i);
  CalcMoveLine(line[static_cast<std::size_t>(i)], line[static_cast<std::size_t>(i) + 1], target);
}

template <class Line, class Point>
void InsertAfter(Line& line, int i, const Point& p)
{
  const int at = std::max(0, std::min(i + 1, static_cast<int>(line.size())));
  line.insert(line.begin() + at, p);
}

}  // namespace

// --- CDivLine -----------------------------------------------------------------

void CDivLine::InsertPoint(int i, const CKelCoord3D& p) { InsertAfter(*this, i, CKelCoord2D(p.m_x, p.m_y)); }

void CDivLine::MovePoint(int i, const CKelCoord3D& p) { at(static_cast<std::size_t>(i)) = CKelCoord2D(p.m_x, p.m_y); }

void CDivLine::SwapCoord(int i, int j) { std::swap(at(static_cast<std::size_t>(i)), at(static_cast<std::size_t>(j))); }

void CDivLine::Append(const CKelCoord3D& p) { emplace_back(p.m_x, p.m_y); }

void CDivLine::DeletePoint(int i) { erase(begin() + i); }

CKelCoord3D CDivLine::GetCoord3D(int i) const
{
  PLN_ASSERT(size() > 0);
  const CKelCoord2D& p = at(static_cast<std::size_t>(i));
  return {p.m_x, p.m_y, 0};
}

CKelCoord3D CDivLine::GetFrontCoord3D() const
{
  PLN_ASSERT(size() > 0);
  return {front().m_x, front().m_y, 0};
}

CKelCoord3D CDivLine::GetBackCoord3D() const
{
  PLN_ASSERT(size() > 0);
  return {back().m_x, back().m_y, 0};
}

void CDivLine::MoveBlock(const CKelCoord2D& to, const CKelCoord3D& from) { MoveAll(*this, to, from); }

void CDivLine::MoveLine(int i, const CKelCoord3D& p) { MoveSegment(*this, i, p); }

void CDivLine::MoveLine(int i, double d) { MoveSegment(*this, i, d); }

bool CDivLine::operator==(const CDivLine& other) const { return KelList::Equal(*this, other); }

bool CDivLine::IsNearlyEqual(const CDivLine& other) const { return KelList::NearlyEqual(*this, other); }

void CDivLine::CompareData(const char* label, const CDivLine& other, std::vector<std::string>& lines) const
{
  if (size() != other.size()) {
    AppendCountLine(label, GetSize(), other.GetSize(), lines);
    return;
  }
  for (std::size_t k = 0; k < size(); ++k)
    (*this)[k].CompareData(Labelled(label, static_cast<int>(k) + 1).c_str(), other[k], lines);
}

bool CDivLine::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CDivLine");
  return KelList::Serialize(ar, *this, kMinPointBytes);
}

// --- CDivLine3D -----------------------------------------------------------------

void CDivLine3D::InsertPoint(int i, const CKelCoord3D& p) { InsertAfter(*this, i, p); }

void CDivLine3D::MovePoint(int i, const CKelCoord3D& p) { at(static_cast<std::size_t>(i)) = p; }

void CDivLine3D::SwapCoord(int i, int j) { std::swap(at(static_cast<std::size_t>(i)), at(static_cast<std::size_t>(j))); }

void CDivLine3D::Append(const CKelCoord3D& p) { push_back(p); }

void CDivLine3D::DeletePoint(int i) { erase(begin() + i); }

CKelCoord3D CDivLine3D::GetCoord3D(int i) const
{
  PLN_ASSERT(size() > 0);
  return at(static_cast<std::size_t>(i));
}

void CDivLine3D::MoveBlock(const CKelCoord2D& to, const CKelCoord3D& from) { MoveAll(*this, to, from); }

void CDivLine3D::MoveLine(int i, const CKelCoord3D& p) { MoveSegment(*this, i, p); }

void CDivLine3D::MoveLine(int i, double d) { MoveSegment(*this, i, d); }

bool CDivLine3D::operator==(const CDivLine3D& other) const { return KelList::Equal(*this, other); }

bool CDivLine3D::IsNearlyEqual(const CDivLine3D& other) const { return KelList::NearlyEqual(*this, other); }

// --- CDivLineArray --------------------------------------------------------------

bool CDivLineArray::operator==(const CDivLineArray& other) const { return KelList::Equal(*this, other); }

bool CDivLineArray::IsNearlyEqual(const CDivLineArray& other) const { return KelList::NearlyEqual(*this, other); }

void CDivLineArray::CompareData(const char* label, const CDivLineArray& other, std::vector<std::string>& lines) const
{
  if (size() != other.size()) {
    AppendCountLine(label, GetSize(), other.GetSize(), lines);
    return;
  }
  for (std::size_t i = 0; i < size(); ++i)
    (*this)[i].CompareData(Labelled(label, static_cast<int>(i) + 1).c_str(), other[i], lines);
}

int CDivLineArray::Search(const CDivLine& line) const
{
  for (std::size_t i = 0; i < size(); ++i) {
    if ((*this)[i] == line)
      return static_cast<int>(i);
  }
  return -1;
}

bool CDivLineArray::AddDivLine(const CDivLine& line)
{
  if (Search(line) >= 0)
    return false;
  push_back(line);
  return true;
}

int CDivLineArray::GetPntMax() const
{
  int total = 0;
  for (const CDivLine& line : *this)
    total += line.GetSize();
  return total;
}

namespace {

bool NearPoint(const CKelCoord2D& q, const CKelCoord2D& p)
{
  const double t = KelTol::PointEqual;
  const double dx = q.m_x - p.m_x;
  const double dy = q.m_y - p.m_y;
  return -t < dx && dx < t && -t < dy && dy < t;
}

// On the segment a -> b: along from -t to len + t, across strictly inside t.
// A segment of no length has no direction and holds nothing.
bool NearSegment(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  const double t = KelTol::PointEqual;
  double ux = 0;
  double uy = 0;
  double len = 0;
  if (!CalcCosSin(a, b, &ux, &uy, &len))
    return false;
  const double wx = p.m_x - a.m_x;
  const double wy = p.m_y - a.m_y;
  const double s = ux * wx + uy * wy;
  const double c = ux * wy - uy * wx;
  return s > -t && s - len < t && -t < c && c < t;
}

}  // namespace

bool CDivLineArray::Search(const CKelCoord2D& p, bool onSegment, int* lineIndex, int* pointIndex) const
{
  for (std::size_t i = 0; i < size(); ++i) {
    const CDivLine& line = (*this)[i];
    const std::size_t last = onSegment ? line.size() - std::min<std::size_t>(line.size(), 1) : line.size();
    for (std::size_t j = 0; j < last; ++j) {
      const bool hit = onSegment ? NearSegment(line[j], line[j + 1], p) : NearPoint(line[j], p);
      if (hit) {
        if (lineIndex != nullptr)
          *lineIndex = static_cast<int>(i);
        if (pointIndex != nullptr)
          *pointIndex = static_cast<int>(j);
        return true;
      }
    }
  }
  return false;
}

bool CDivLineArray::FromOldParam(int count, const std::uint16_t* index, int indexCount, const XY_FPAIR* points,
                                 int pointCount)
{
  if (count < 1) {
    clear();
    return true;
  }
  if (index == nullptr || indexCount < count + 1 || pointCount < 0)
    return false;
  for (int i = 0; i < count; ++i) {
    if (index[i] > index[i + 1])
      return false;
  }
  if (index[count] > pointCount || (index[count] > 0 && points == nullptr))
    return false;
  CDivLineArray lines;
  for (int i = 0; i < count; ++i) {
    CDivLine line;
    for (int k = index[i]; k < index[i + 1]; ++k)
      line.emplace_back(points[k].x, points[k].y);
    lines.push_back(std::move(line));
  }
  static_cast<std::vector<CDivLine>&>(*this) = std::move(lines);
  return true;
}

bool CDivLineArray::GetOldParam(std::vector<std::uint16_t>& index, std::vector<XY_FPAIR>& points) const
{
  index.clear();
  points.clear();
  if (empty())
    return true;
  // The table holds size() + 1 entries, each at most the total.
  if (GetPntMax() > UINT16_MAX || size() > UINT16_MAX)
    return false;
  for (const CDivLine& line : *this) {
    index.push_back(static_cast<std::uint16_t>(points.size()));
    for (const CKelCoord2D& p : line)
      points.push_back(XY_FPAIR{static_cast<float>(p.m_x), static_cast<float>(p.m_y)});
  }
  index.push_back(static_cast<std::uint16_t>(points.size()));
  return true;
}

bool CDivLineArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CDivLineArray");
  return KelList::Serialize(ar, *this, kMinLineBytes);
}

// --- CDivLine3DArray --------------------------------------------------------------

bool CDivLine3DArray::operator==(const CDivLine3DArray& other) const { return KelList::Equal(*this, other); }

bool CDivLine3DArray::IsNearlyEqual(const CDivLine3DArray& other) const { return KelList::NearlyEqual(*this, other); }
