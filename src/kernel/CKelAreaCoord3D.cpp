#include "CKelAreaCoord3D.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <optional>

#include "CAffine.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelTolerance.h"
#include "host_assert.h"

static_assert(CKelAreaCoord3D::kVerticalPlaneZ == DBL_MAX);

namespace {

// printf-style formatting into a std::string of any length (labels are the
// caller's and may be long).
template <class... Args>
std::string Format(const char* format, Args... args)
{
  const int size = std::snprintf(nullptr, 0, format, args...);
  if (size <= 0)
    return {};
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, args...);
  text.resize(static_cast<std::size_t>(size));
  return text;
}

int Wrap(int index, int n)
{
  return ((index % n) + n) % n;
}

}  // namespace

// --- Point list ------------------------------------------------------------

int CKelAreaCoord3D::GetSize() const
{
  return static_cast<int>(m_pt.size());
}

bool CKelAreaCoord3D::IsClosed() const
{
  return true;
}

CKelCoord3D CKelAreaCoord3D::GetCoord3D(int index) const
{
  const int n = GetSize();
  PLN_ASSERT(n > 0);
  if (index < 0)
    index += n;
  else if (index >= n)
    index -= n;
  PLN_ASSERT(0 <= index && index < n);
  return m_pt[static_cast<std::size_t>(index)];
}

CKelCoord3D CKelAreaCoord3D::GetFrontCoord3D() const
{
  PLN_ASSERT(!m_pt.empty());
  return m_pt.front();
}

CKelCoord3D CKelAreaCoord3D::GetBackCoord3D() const
{
  PLN_ASSERT(!m_pt.empty());
  return m_pt.back();
}

void CKelAreaCoord3D::Append(const CKelCoord3D& p)
{
  m_pt.push_back(p);
}

void CKelAreaCoord3D::Clear()
{
  m_pt.clear();
}

void CKelAreaCoord3D::InsertPoint(int index, const CKelCoord3D& p)
{
  PLN_ASSERT(-1 <= index && index < GetSize());
  const CKelCoord3D onPlane(p.m_x, p.m_y, CalcZ(p));
  m_pt.insert(m_pt.begin() + (index + 1), onPlane);
}

void CKelAreaCoord3D::MovePoint(int index, const CKelCoord3D& p)
{
  PLN_ASSERT(0 <= index && index < GetSize());
  m_pt[static_cast<std::size_t>(index)] = CKelCoord3D(p.m_x, p.m_y, CalcZ(p));
}

void CKelAreaCoord3D::MoveZ(int index, double z)
{
  PLN_ASSERT(0 <= index && index < GetSize());
  m_pt[static_cast<std::size_t>(index)].m_z = z;
}

void CKelAreaCoord3D::MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b)
{
  const double dx = a.m_x - b.m_x;
  const double dy = a.m_y - b.m_y;
  for (CKelCoord3D& v : m_pt) {
    v.m_x += dx;
    v.m_y += dy;
  }
}

void CKelAreaCoord3D::DeletePoint(int index)
{
  PLN_ASSERT(0 <= index && index < GetSize());
  m_pt.erase(m_pt.begin() + index);
}

void CKelAreaCoord3D::SwapCoord(int i, int j)
{
  PLN_ASSERT(0 <= i && i < GetSize());
  PLN_ASSERT(0 <= j && j < GetSize());
  std::swap(m_pt[static_cast<std::size_t>(i)], m_pt[static_cast<std::size_t>(j)]);
}

void CKelAreaCoord3D::MoveLine(int index, const CKelCoord3D& p)
{
  const int n = GetSize();
  PLN_ASSERT(0 <= index && index < n);
  const auto i0 = static_cast<std::size_t>(index);
  const auto i1 = static_cast<std::size_t>(index + 1 == n ? 0 : index + 1);
  // Plan copies, so a one-vertex face (both ends the same vertex) moves once.
  CKelCoord2D a(m_pt[i0].m_x, m_pt[i0].m_y);
  CKelCoord2D b(m_pt[i1].m_x, m_pt[i1].m_y);
  CalcMoveLine(a, b, p);
  m_pt[i0] = CKelCoord3D(a.m_x, a.m_y, CalcZ(a));
  m_pt[i1] = CKelCoord3D(b.m_x, b.m_y, CalcZ(b));
}

// --- Plane -------------------------------------------------------------------

// Newell's method: the sum over the edges is twice the projected area on each
// coordinate plane, so it stays right for any planar outline, convex or not,
// and averages out small deviations from planarity.
bool CKelAreaCoord3D::CalcPlaneEquation()
{
  double plane[4];
  const bool fitted =
      FitNewellPlane(m_pt.size(), [this](std::size_t i) -> const CKelCoord3D& { return m_pt[i]; }, plane);
  m_A = plane[0];
  m_B = plane[1];
  m_C = plane[2];
  m_D = plane[3];
  return fitted;
}

bool CKelAreaCoord3D::GetPlaneEquation()
{
  return CalcPlaneEquation();
}

CKelVector3D CKelAreaCoord3D::GetVector() const
{
  return CKelVector3D(m_A, m_B, m_C);
}

double CKelAreaCoord3D::GetDistance(const CKelCoord3D& p) const
{
  return m_A * p.m_x + m_B * p.m_y + m_C * p.m_z + m_D;
}

double CKelAreaCoord3D::CalcZ(const CKelCoord2D& p) const
{
  return Check_CalcZ(p.m_x, p.m_y, m_A, m_B, m_C, m_D);
}

double CKelAreaCoord3D::Check_CalcZ(double x, double y, double A, double B, double C, double D)
{
  if (C == 0)
    return kVerticalPlaneZ;
  return (-D - A * x - B * y) / C;
}

bool CKelAreaCoord3D::IsSamePlane(const CKelAreaCoord3D& other) const
{
  return std::fabs(m_A - other.m_A) <= KelTol::SamePlane && std::fabs(m_B - other.m_B) <= KelTol::SamePlane &&
         std::fabs(m_C - other.m_C) <= KelTol::SamePlane && std::fabs(m_D - other.m_D) <= KelTol::SamePlane;
}

// --- Compare -------------------------------------------------------------------

void CKelAreaCoord3D::CompareData(const char* label, const CKelAreaCoord3D& other,
                                  std::vector<std::string>& out) const
{
  if (m_pt.size() != other.m_pt.size()) {
    out.push_back(Format("%s, 辺数, %d, %d", label, GetSize(), other.GetSize()));
    return;
  }
  for (std::size_t k = 0; k < m_pt.size(); ++k) {
    const std::string vertexLabel = Format("%s, %d", label, static_cast<int>(k + 1));
    m_pt[k].CompareData(vertexLabel.c_str(), other.m_pt[k], out);
  }
}

// --- Merge -------------------------------------------------------------------

namespace {

// A run of equal vertices: this face's i, i + 1, ... against the other face's
// j, j - 1, ..., count pairs long.
struct SharedRun {
  int i = 0;
  int j = 0;
  int count = 0;
};

bool SameVertex(const CKelAreaCoord3D& a, int i, const CKelAreaCoord3D& b, int j)
{
  return a.m_pt[static_cast<std::size_t>(Wrap(i, a.GetSize()))] ==
         b.m_pt[static_cast<std::size_t>(Wrap(j, b.GetSize()))];
}

// The walk stops after cap pairs: two faces that coincide vertex for vertex
// would otherwise match forever around their outlines.
int RunLength(const CKelAreaCoord3D& a, int i, const CKelAreaCoord3D& b, int j, int cap)
{
  int count = 0;
  while (count < cap && SameVertex(a, i + count, b, j - count))
    ++count;
  return count;
}

// The first pair (in this face's order, then the other's) that starts a run of
// at least two, i.e. a shared edge. A run found at vertex 0 may have begun at
// the end of the outline; it is grown backwards so that its interior vertices
// really drop out of the joined outline.
std::optional<SharedRun> FindSharedRun(const CKelAreaCoord3D& a, const CKelAreaCoord3D& b)
{
  const int n = a.GetSize();
  const int m = b.GetSize();
  const int cap = std::min(n, m);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < m; ++j) {
      if (!SameVertex(a, i, b, j))
        continue;
      SharedRun run{i, j, RunLength(a, i, b, j, cap)};
      if (run.count < 2)
        continue;
      while (run.count < cap && SameVertex(a, run.i - 1, b, run.j + 1)) {
        run.i = Wrap(run.i - 1, n);
        run.j = Wrap(run.j + 1, m);
        ++run.count;
      }
      return run;
    }
  }
  return std::nullopt;
}

}  // namespace

// The joined outline: this face from the run's last vertex e round to just
// before its first vertex i, then the other face from j round to just before
// its match of e. The run's ends appear once each, its interior not at all.
bool CKelAreaCoord3D::Merge(const CKelAreaCoord3D& other)
{
  if (!IsSamePlane(other) || m_pt.empty())
    return false;
  const std::optional<SharedRun> run = FindSharedRun(*this, other);
  if (!run)
    return false;
  const int n = GetSize();
  const int m = other.GetSize();
  // Two faces that coincide entirely share every edge: nothing is left to join.
  if (run->count >= n && run->count >= m)
    return false;

  const int e = Wrap(run->i + run->count - 1, n);
  const int otherEnd = Wrap(run->j - (run->count - 1), m);
  std::vector<CKelCoord3D> joined;
  joined.reserve(static_cast<std::size_t>(n + m));
  for (int k = e; k != run->i; k = Wrap(k + 1, n))
    joined.push_back(m_pt[static_cast<std::size_t>(k)]);
  for (int k = run->j; k != otherEnd; k = Wrap(k + 1, m))
    joined.push_back(other.m_pt[static_cast<std::size_t>(k)]);

  m_pt = std::move(joined);
  m_area = m_xmin = m_xmax = m_ymin = m_ymax = 0;
  return true;
}

// --- Triangulation -----------------------------------------------------------

namespace {

CKelAreaCoord3D MakeFace(std::vector<CKelCoord3D> vertices)
{
  CKelAreaCoord3D face;
  face.m_pt = std::move(vertices);
  return face;
}

// Cuts the triangle (0, 1, k) off the piece v and leaves the pieces 1..k and
// k..n-1,0 on the stack, the first on top. Two-vertex pieces are a bare edge
// of the outline: nothing to cut.
bool CutAtFirstEdge(const std::vector<CKelCoord3D>& v, CKelAreaCoord3DArray& out,
                    std::vector<std::vector<CKelCoord3D>>& pending)
{
  const int k = CKelAreaCoord3D::FirstEdgeApex(v);
  if (k < 0)
    return false;
  out.push_back(MakeFace({v[0], v[1], v[static_cast<std::size_t>(k)]}));
  std::vector<CKelCoord3D> first(v.begin() + 1, v.begin() + k + 1);
  std::vector<CKelCoord3D> second(v.begin() + k, v.end());
  second.push_back(v[0]);
  if (second.size() >= 3)
    pending.push_back(std::move(second));
  if (first.size() >= 3)
    pending.push_back(std::move(first));
  return true;
}

}  // namespace

// The pieces wait on an explicit stack rather than in recursion, so that a
// face of many vertices cannot exhaust the call stack; the triangles still
// come out in the order of a depth-first cut. A three-vertex piece is taken
// as it is; only the whole face has to show a positive triangle first.
bool CKelAreaCoord3D::Triangulate(CKelAreaCoord3DArray& out) const
{
  if (m_pt.size() < 3)
    return false;
  std::vector<std::vector<CKelCoord3D>> pending;
  if (!CutAtFirstEdge(m_pt, out, pending))
    return false;
  while (!pending.empty()) {
    std::vector<CKelCoord3D> v = std::move(pending.back());
    pending.pop_back();
    if (v.size() == 3)
      out.push_back(MakeFace(std::move(v)));
    else if (!CutAtFirstEdge(v, out, pending))
      return false;
  }
  return true;
}

// --- Affine maps -------------------------------------------------------------

// The turn t brings the normal's plan direction onto +x, the tilt s then
// brings the normal onto +z.
void CKelAreaCoord3D::GetAffine(CAffine3D* toPlane, CAffine3D* fromPlane) const
{
  if (toPlane != nullptr)
    toPlane->Init();
  if (fromPlane != nullptr)
    fromPlane->Init();
  if (m_pt.size() < 3)
    return;
  const double turn = (m_A == 0 && m_B == 0) ? 0.0 : std::atan2(m_B, m_A);
  // A normal of rounding length just over 1 must not make acos NaN.
  const double tilt = std::acos(std::clamp(m_C, -1.0, 1.0));
  const CKelCoord3D& origin = m_pt.front();
  if (toPlane != nullptr) {
    toPlane->Trans(-origin.m_x, -origin.m_y, -origin.m_z);
    toPlane->RotateZ(-turn);
    toPlane->RotateY2(-tilt);
  }
  if (fromPlane != nullptr) {
    fromPlane->RotateY2(tilt);
    fromPlane->RotateZ(turn);
    fromPlane->Trans(origin.m_x, origin.m_y, origin.m_z);
  }
}

// --- CKelAreaCoord3DArray ------------------------------------------------------

double CKelAreaCoord3DArray::GetArea() const
{
  double sum = 0;
  for (const CKelAreaCoord3D& face : *this)
    sum += face.m_area;
  return sum;
}

bool CKelAreaCoord3DArray::operator==(const CKelAreaCoord3DArray& other) const
{
  return KelList::Equal(*this, other);
}

bool CKelAreaCoord3DArray::operator!=(const CKelAreaCoord3DArray& other) const
{
  return !(*this == other);
}

bool CKelAreaCoord3DArray::IsNearlyEqual(const CKelAreaCoord3DArray& other) const
{
  return KelList::NearlyEqual(*this, other);
}
