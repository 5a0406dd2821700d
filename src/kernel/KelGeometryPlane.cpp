// Planes in space, the shared reference line of CPlane, the split of a run by
// a line and the contact of a turned rectangle with a circle.

#include <cmath>

#include "KelGeometry.h"
#include "host_assert.h"
#include "KelTolerance.h"

namespace {

struct Vec3 {
  double x;
  double y;
  double z;
};

Vec3 CrossProduct(const Vec3& u, const Vec3& v)
{
  return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

// Residual of a point in the plane a x + b y + c z + d = 0.
double PlaneValue(double a, double b, double c, double d, const CKelCoord3D& p)
{
  return a * p.m_x + b * p.m_y + c * p.m_z + d;
}

bool OnPlane(double a, double b, double c, double d, const CKelCoord3D& p)
{
  return std::fabs(PlaneValue(a, b, c, d, p)) <= KelTol::PlaneLine;
}

// The point of the meeting line whose coordinate along the largest component
// of the line direction is 0: the 2x2 system left has the largest determinant.
CKelCoord3D PointWithOneZero(const Vec3& n1, double d1, const Vec3& n2, double d2, const Vec3& dir)
{
  const double ax = std::fabs(dir.x);
  const double ay = std::fabs(dir.y);
  const double az = std::fabs(dir.z);
  if (az >= ax && az >= ay) {  // z = 0; determinant n1.x n2.y - n2.x n1.y = dir.z
    return CKelCoord3D((n1.y * d2 - n2.y * d1) / dir.z, (n2.x * d1 - n1.x * d2) / dir.z, 0);
  }
  if (ay >= ax) {  // y = 0; determinant n1.z n2.x - n2.z n1.x = dir.y
    return CKelCoord3D((n2.z * d1 - n1.z * d2) / dir.y, 0, (n1.x * d2 - n2.x * d1) / dir.y);
  }
  // x = 0; determinant n1.y n2.z - n2.y n1.z = dir.x
  return CKelCoord3D(0, (n1.z * d2 - n2.z * d1) / dir.x, (n2.y * d1 - n1.y * d2) / dir.x);
}

// The reference line of CPlane, shared by every caller of the process.
struct ReferenceLine {
  double dx = 0;
  double dy = 0;
  double constant = 0;
};
ReferenceLine g_referenceLine;

// The local height of p above the line through o with direction (c, s).
double LocalY(const CKelCoord2D& p, const CKelCoord2D& o, double c, double s)
{
  return (p.m_y - o.m_y) * c - (p.m_x - o.m_x) * s;
}

}  // namespace

bool LineEquatinFromPlanes(double a1, double b1, double c1, double d1, double a2, double b2, double c2, double d2,
                           CKelCoord3D* p, CKelCoord3D* q)
{
  const Vec3 n1{a1, b1, c1};
  const Vec3 n2{a2, b2, c2};
  const Vec3 dir = CrossProduct(n1, n2);
  if (std::fabs(dir.x) <= KelTol::PlaneLine && std::fabs(dir.y) <= KelTol::PlaneLine &&
      std::fabs(dir.z) <= KelTol::PlaneLine)
    return false;
  const CKelCoord3D start = PointWithOneZero(n1, d1, n2, d2, dir);
  const CKelCoord3D end(start.m_x + 100.0 * dir.x, start.m_y + 100.0 * dir.y, start.m_z + 100.0 * dir.z);
  // Nearly parallel planes with large offsets lose the line to rounding; the
  // caller learns it here instead of working on with a wrong line.
  if (!OnPlane(a1, b1, c1, d1, start) || !OnPlane(a2, b2, c2, d2, start) || !OnPlane(a1, b1, c1, d1, end) ||
      !OnPlane(a2, b2, c2, d2, end))
    return false;
  if (p != nullptr)
    *p = start;
  if (q != nullptr)
    *q = end;
  return true;
}

bool V3SetPlane(const CKelCoord3D pts[3], double* a, double* b, double* c, double* d)
{
  const Vec3 e1{pts[1].m_x - pts[0].m_x, pts[1].m_y - pts[0].m_y, pts[1].m_z - pts[0].m_z};
  const Vec3 e2{pts[2].m_x - pts[1].m_x, pts[2].m_y - pts[1].m_y, pts[2].m_z - pts[1].m_z};
  const Vec3 n = CrossProduct(e1, e2);
  const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  const bool found = length != 0;
  const double na = found ? n.x / length : 0;
  const double nb = found ? n.y / length : 0;
  const double nc = found ? n.z / length : 0;
  const double nd = found ? -(na * pts[1].m_x + nb * pts[1].m_y + nc * pts[1].m_z) : 0;
  *a = na;
  *b = nb;
  *c = nc;
  *d = nd;
  return found;
}

void SetCPlane(double x1, double y1, double x2, double y2)
{
  g_referenceLine.dx = x2 - x1;
  g_referenceLine.dy = y2 - y1;
  g_referenceLine.constant = y1 * x2 - x1 * y2;
}

bool CPlane(double x1, double y1, double x2, double y2, double* x, double* y)
{
  // Each line as dy * x - dx * y + constant = 0.
  const ReferenceLine& ref = g_referenceLine;
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  const double constant = y1 * x2 - x1 * y2;
  const double det = ref.dx * dy - ref.dy * dx;
  if (std::fabs(det) < KelTol::Geometry) {
    *x = x1;
    *y = y1;
    return false;
  }
  *x = (ref.constant * dx - ref.dx * constant) / det;
  *y = (ref.constant * dy - ref.dy * constant) / det;
  return true;
}

bool DivideLine(const std::vector<CKelCoord2D>& line, const CKelCoord2D& o, double c, double s,
                std::vector<CKelCoord2D>* out1, std::vector<CKelCoord2D>* out2)
{
  PLN_ASSERT(out1 != nullptr && out2 != nullptr);
  if (line.empty())
    return false;
  out1->clear();
  out2->clear();
  const CKelCoord2D& first = line.front();
  const CKelCoord2D& last = line.back();
  const double yFirst = LocalY(first, o, c, s);
  const double yLast = LocalY(last, o, c, s);
  if (yFirst == yLast)
    return false;
  if (yFirst >= 0 && yLast >= 0) {
    *out1 = line;
    return true;
  }
  if (yFirst <= 0 && yLast <= 0) {
    *out2 = line;
    return true;
  }
  const CKelCoord2D cut = first.GetCoord(last, yFirst / (yFirst - yLast));
  std::vector<CKelCoord2D>* firstSide = yFirst > yLast ? out1 : out2;
  std::vector<CKelCoord2D>* lastSide = yFirst > yLast ? out2 : out1;
  firstSide->push_back(first);
  firstSide->push_back(cut);
  lastSide->push_back(cut);
  lastSide->push_back(last);
  return true;
}

CKelCoord2D CalcCantactCoordRectAndCircle(double d, double c, double s, double w, double h)
{
  const double corners[4][2] = {{w, h}, {-w, h}, {-w, -h}, {w, -h}};
  double heights[4];
  for (int i = 0; i < 4; ++i)
    heights[i] = corners[i][1] * c - corners[i][0] * s;
  for (int i = 0; i < 4; ++i) {
    const double y1 = heights[i];
    const double y2 = heights[(i + 1) % 4];
    const bool opposite = (y1 < 0 && y2 > 0) || (y1 > 0 && y2 < 0);
    const bool touches = (y1 == 0) != (y2 == 0);
    if (opposite || touches)
      return CKelCoord2D((d + w) * c, (d + w) * s);
  }
  return CKelCoord2D(0, 0);
}
