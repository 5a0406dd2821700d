// Shape operations of a block: area and orientation, plane fits, reflex
// vertices, inserted and moved vertices, conversions to and from polygons,
// and the point-list (CKelObject) slots.

#include <algorithm>
#include <cmath>
#include <utility>

#include "CKelBlockCube.h"
#include "KelGeometry.h"
#include "KelBlockOutlineClean.h"
#include "KelSurveyPoints.h"
#include "KelTolerance.h"
#include "host_assert.h"

// --- Area, orientation and planes ---------------------------------------------------------

void CKelBlockCube::SetMinMax()
{
  if (m_Coord.empty()) {
    m_XMin = m_XMax = m_YMin = m_YMax = m_Menseki = 0;
    return;
  }
  m_Menseki = CalcArea();
  if (m_Menseki < 0) {
    // The area is summed again in the new order: negating the clockwise sum
    // can differ in the last bit from the sum that a reload of the turned
    // outline gives, and the stored area must be what its outline says. An
    // outline of round-off area negative both ways keeps its order, so that
    // a second call changes nothing.
    std::reverse(m_Coord.begin(), m_Coord.end());
    const double turned = CalcArea();
    if (turned < 0)
      std::reverse(m_Coord.begin(), m_Coord.end());
    m_Menseki = turned < 0 ? -m_Menseki : turned;
  }
  m_XMin = m_XMax = m_Coord.front().m_x;
  m_YMin = m_YMax = m_Coord.front().m_y;
  for (const CKelBlockCoord& c : m_Coord) {
    m_XMin = std::min(m_XMin, c.m_x);
    m_XMax = std::max(m_XMax, c.m_x);
    m_YMin = std::min(m_YMin, c.m_y);
    m_YMax = std::max(m_YMax, c.m_y);
  }
}

// The plane of the face over the outline at the chosen heights, fitted as
// a CKelAreaCoord3D of those points fits it.
bool CKelBlockCube::GetPlaneEquation(bool bottom)
{
  return FitNewellPlane(
      m_Coord.size(),
      [this, bottom](std::size_t i) {
        const CKelBlockCoord& c = m_Coord[i];
        return CKelCoord3D(c.m_x, c.m_y, c.GetZ(bottom));
      },
      bottom ? m_Bot : m_Top);
}

std::vector<int> CKelBlockCube::IsOukata() const
{
  std::vector<int> reflex;
  const int n = GetSize();
  for (int i = 0; i < n; ++i) {
    const CKelBlockCoord& prev = m_Coord[static_cast<std::size_t>(PrevPos(i))];
    const CKelBlockCoord& cur = m_Coord[static_cast<std::size_t>(i)];
    const CKelBlockCoord& next = m_Coord[static_cast<std::size_t>(NextPos(i))];
    const double cross = (cur.m_x - prev.m_x) * (next.m_y - cur.m_y) - (cur.m_y - prev.m_y) * (next.m_x - cur.m_x);
    if (cross < -KelTol::BlockAreaSign)
      reflex.push_back(i);
  }
  return reflex;
}

bool CKelBlockCube::DropSurveyPoints()
{
  if (!kel_survey::DropSurveyPoints(m_Coord, KelTol::BlockSurveyPoint))
    return false;
  SetMinMax();
  return true;
}

// --- Vertices placed on the planes ---------------------------------------------------------

void CKelBlockCube::PlaceOnPlanes(CKelBlockCoord& c) const
{
  const CPrfPlanItem* item = CurrentItem();
  c.SetZH(PlaneHeight(false, c), item);
  c.SetZL(PlaneHeight(true, c), item);
}

CKelBlockCoord CKelBlockCube::VertexOnPlanes(const CKelCoord2D& p) const
{
  CKelBlockCoord c(p.m_x, p.m_y, 0, 0);
  PlaceOnPlanes(c);
  return c;
}

void CKelBlockCube::InsertCoord(const CPrfPlanItem* item, int pos, CKelBlockCoord c)
{
  PLN_ASSERT(0 <= pos && pos < GetSize());
  const CKelBlockCoord& start = m_Coord[static_cast<std::size_t>(pos)];
  const CKelBlockCoord& end = m_Coord[static_cast<std::size_t>(NextPos(pos))];
  const double along = length_2point(start, c);
  const double length = length_2point(start, end);
  // On an edge of length 0 there is nothing to interpolate along.
  const auto interpolate = [&](double from, double to) {
    return length > 0 ? from + (to - from) / length * along : from;
  };
  c.SetZH(interpolate(start.m_z, end.m_z), item);
  if (m_bTyuku)
    c.SetZL(interpolate(start.m_zL, end.m_zL), item);
  m_Coord.insert(m_Coord.begin() + pos + 1, std::move(c));
}

void CKelBlockCube::MoveEdge(int i, const CKelCoord2D& a, const CKelCoord2D& b)
{
  CKelBlockCoord& first = m_Coord[static_cast<std::size_t>(i)];
  first.m_x = a.m_x;
  first.m_y = a.m_y;
  PlaceOnPlanes(first);
  CKelBlockCoord& second = m_Coord[static_cast<std::size_t>(NextPos(i))];
  second.m_x = b.m_x;
  second.m_y = b.m_y;
  PlaceOnPlanes(second);
}

void CKelBlockCube::MoveLine(int i, const CKelCoord3D& p)
{
  PLN_ASSERT(0 <= i && i < GetSize());
  CKelCoord2D a = m_Coord[static_cast<std::size_t>(i)];
  CKelCoord2D b = m_Coord[static_cast<std::size_t>(NextPos(i))];
  CalcMoveLine(a, b, p);
  MoveEdge(i, a, b);
}

void CKelBlockCube::MoveLine(int i, double d)
{
  PLN_ASSERT(0 <= i && i < GetSize());
  CKelCoord2D a = m_Coord[static_cast<std::size_t>(i)];
  CKelCoord2D b = m_Coord[static_cast<std::size_t>(NextPos(i))];
  CalcMoveLine(a, b, d);
  MoveEdge(i, a, b);
}

void CKelBlockCube::MoveFaceZ(double dz)
{
  const CPrfPlanItem* item = CurrentItem();
  for (CKelBlockCoord& c : m_Coord)
    c.SetZH(c.m_z + dz, item);
  GetPlaneEquation(false);
}

void CKelBlockCube::MoveFaceZL(double dz)
{
  const CPrfPlanItem* item = CurrentItem();
  for (CKelBlockCoord& c : m_Coord)
    c.SetZL(c.m_zL + dz, item);
  GetPlaneEquation(true);
  SetType();
}

CKelBlockCoord CKelBlockCube::SSBCutZ2(const CKelBlockCoord& a, const CKelBlockCoord& b)
{
  CKelBlockCoord cut;
  const double rise = b.m_z - a.m_z;
  cut.m_x = a.m_x;
  cut.m_y = a.m_y;
  if (rise != 0) {
    cut.m_x += (b.m_x - a.m_x) * (0 - a.m_z) / rise;
    cut.m_y += (b.m_y - a.m_y) * (0 - a.m_z) / rise;
  }
  return cut;
}

// --- Polygons ------------------------------------------------------------------------------------

CKelAreaCoord3D CKelBlockCube::ToArea() const
{
  CKelAreaCoord3D area;
  for (const CKelBlockCoord& c : m_Coord)
    area.m_pt.emplace_back(c.m_x, c.m_y, c.m_z);
  area.SetArea();
  area.SetMaxMin();
  // The points are the top heights, so the polygon carries the top plane.
  area.m_A = m_Top[0];
  area.m_B = m_Top[1];
  area.m_C = m_Top[2];
  area.m_D = m_Top[3];
  return area;
}

CKelAreaCoord2D CKelBlockCube::ToArea2D() const
{
  CKelAreaCoord2D area;
  for (const CKelBlockCoord& c : m_Coord)
    area.m_pt.emplace_back(c.m_x, c.m_y);
  area.SetArea();
  area.SetMaxMin();
  return area;
}

void CKelBlockCube::FromArea(const CKelAreaCoord2D& area)
{
  m_Coord.clear();
  for (const CKelCoord2D& p : area.m_pt)
    m_Coord.emplace_back(p.m_x, p.m_y, 0, 0);
  SetMinMax();
  GetPlaneEquation(false);
  GetPlaneEquation(true);
}

// --- CKelObject --------------------------------------------------------------------------------------

void CKelBlockCube::InsertPoint(int i, const CKelCoord3D& p)
{
  PLN_ASSERT(0 <= i && i < GetSize());
  m_Coord.insert(m_Coord.begin() + i + 1, VertexOnPlanes(p));
}

void CKelBlockCube::MovePoint(int i, const CKelCoord3D& p)
{
  PLN_ASSERT(0 <= i && i < GetSize());
  CKelBlockCoord& c = m_Coord[static_cast<std::size_t>(i)];
  c.m_x = p.m_x;
  c.m_y = p.m_y;
  PlaceOnPlanes(c);
}

void CKelBlockCube::SwapCoord(int i, int j)
{
  PLN_ASSERT(0 <= i && i < GetSize() && 0 <= j && j < GetSize());
  std::swap(m_Coord[static_cast<std::size_t>(i)], m_Coord[static_cast<std::size_t>(j)]);
}

void CKelBlockCube::Append(const CKelCoord3D& p) { m_Coord.push_back(VertexOnPlanes(p)); }

void CKelBlockCube::DeletePoint(int i) { Erase(i); }

CKelCoord3D CKelBlockCube::GetCoord3D(int i) const
{
  PLN_ASSERT(0 < m_Coord.size());
  const int n = GetSize();
  const int wrapped = ((i % n) + n) % n;
  const CKelBlockCoord& c = m_Coord[static_cast<std::size_t>(wrapped)];
  return CKelCoord3D(c.m_x, c.m_y, c.m_z);
}

CKelCoord3D CKelBlockCube::GetFrontCoord3D() const { return GetCoord3D(0); }

CKelCoord3D CKelBlockCube::GetBackCoord3D() const { return GetCoord3D(-1); }

void CKelBlockCube::Clear()
{
  SetTopPlaneParam(0, 0, 0, 0);
  SetBotPlaneParam(0, 0, 0, 0);
  m_Coord.clear();
  m_No = -1;
}

void CKelBlockCube::MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b)
{
  const double dx = a.m_x - b.m_x;
  const double dy = a.m_y - b.m_y;
  for (CKelBlockCoord& c : m_Coord) {
    c.m_x += dx;
    c.m_y += dy;
  }
  GetPlaneEquation(false);
  GetPlaneEquation(true);
}
