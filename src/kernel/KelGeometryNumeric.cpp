// Crossing points and on-segment tests of lines given as plain numbers, in
// single precision (the older regulation records) and in double precision.
//
// det = (y2 - y1)(x4 - x3) - (x2 - x1)(y4 - y3) for the lines a = (x1,y1)-(x2,y2)
// and b = (x3,y3)-(x4,y4); an exactly zero det means parallel lines.

#include <cmath>

#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

template <class T>
struct Line {
  T x1, y1, x2, y2;
  T Det(const Line& b) const { return (y2 - y1) * (b.x2 - b.x1) - (x2 - x1) * (b.y2 - b.y1); }
  bool XDominant() const { return std::fabs(x2 - x1) >= std::fabs(y2 - y1); }
};

// The crossing of two non-parallel lines, in the precision of T.
template <class T>
void CrossingOf(const Line<T>& a, const Line<T>& b, T det, T* x, T* y)
{
  // a1 + t (a2 - a1) lies on b; the sign of det is folded into the numerator.
  const T t = ((b.y1 - a.y1) * (b.x2 - b.x1) - (b.x1 - a.x1) * (b.y2 - b.y1)) / det;
  *x = a.x1 + t * (a.x2 - a.x1);
  *y = a.y1 + t * (a.y2 - a.y1);
}

template <class T>
bool Between(T v, T a, T b)
{
  return std::fmin(a, b) <= v && v <= std::fmax(a, b);
}

template <class T>
bool StrictlyBetween(T v, T a, T b)
{
  return std::fmin(a, b) < v && v < std::fmax(a, b);
}

template <class T>
bool OnLineInclusive(T x1, T y1, T x2, T y2, T px, T py)
{
  const Line<T> line{x1, y1, x2, y2};
  return line.XDominant() ? Between(px, x1, x2) : Between(py, y1, y2);
}

template <class T>
int CrossPointOnBoth(const Line<T>& a, const Line<T>& b, T* x, T* y, bool strict)
{
  const T det = a.Det(b);
  if (det == 0)
    return 0;
  CrossingOf(a, b, det, x, y);
  if (strict)
    return CheckOnLine2(a.x1, a.y1, a.x2, a.y2, *x, *y) && CheckOnLine2(b.x1, b.y1, b.x2, b.y2, *x, *y);
  const double cx = *x;
  const double cy = *y;
  return CheckOnLine(double(a.x1), double(a.y1), double(a.x2), double(a.y2), cx, cy) &&
         CheckOnLine(double(b.x1), double(b.y1), double(b.x2), double(b.y2), cx, cy);
}

// Height of line a at the position of an end of b, on a's dominant axis:
// y at the given x, or x at the given y.
double DistanceFromLineA(const Line<double>& a, double px, double py)
{
  if (a.XDominant())
    return std::fabs(py - (a.y1 + (px - a.x1) * (a.y2 - a.y1) / (a.x2 - a.x1)));
  return std::fabs(px - (a.x1 + (py - a.y1) * (a.x2 - a.x1) / (a.y2 - a.y1)));
}

// Where the crossing lies on segment b: 1 inside, 2 at b1, 4 at b2, 0 outside.
int PlaceOnSegment(const Line<double>& b, double x, double y)
{
  const bool alongX = b.XDominant();
  const double u = alongX ? x - b.x1 : y - b.y1;
  const double w = alongX ? x - b.x2 : y - b.y2;
  const double tol = KelTol::Geometry;
  if ((u > tol && w < -tol) || (w > tol && u < -tol))
    return 1;
  if (std::fabs(u) <= tol)
    return 2;
  if (std::fabs(w) <= tol)
    return 4;
  return 0;
}

}  // namespace

int CalCrossPoint(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4, double* x,
                  double* y)
{
  const Line<double> a{x1, y1, x2, y2};
  const Line<double> b{x3, y3, x4, y4};
  const double det = a.Det(b);
  if (det == 0) {
    *x = 0;
    *y = 0;
    return 0;
  }
  // An end of b on line a is reported as that end, exactly.
  if (DistanceFromLineA(a, x3, y3) <= KelTol::Geometry) {
    *x = x3;
    *y = y3;
    return 2;
  }
  if (DistanceFromLineA(a, x4, y4) <= KelTol::Geometry) {
    *x = x4;
    *y = y4;
    return 4;
  }
  CrossingOf(a, b, det, x, y);
  return PlaceOnSegment(b, *x, *y);
}

int CalCrossPoint2(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4, float* x, float* y)
{
  const Line<float> a{x1, y1, x2, y2};
  const Line<float> b{x3, y3, x4, y4};
  const float det = a.Det(b);
  if (det == 0)
    return 0;
  CrossingOf(a, b, det, x, y);
  return 1;
}

bool CalCrossPoint4(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4, float* x, float* y)
{
  return CrossPointOnBoth(Line<float>{x1, y1, x2, y2}, Line<float>{x3, y3, x4, y4}, x, y, false) != 0;
}

bool CalCrossPoint4(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4, double* x,
                    double* y)
{
  return CrossPointOnBoth(Line<double>{x1, y1, x2, y2}, Line<double>{x3, y3, x4, y4}, x, y, false) != 0;
}

bool CalCrossPoint5(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4, float* x, float* y)
{
  return CrossPointOnBoth(Line<float>{x1, y1, x2, y2}, Line<float>{x3, y3, x4, y4}, x, y, true) != 0;
}

int CalCrossPoint10(const XY_FPAIR* a1, const XY_FPAIR* a2, const XY_FPAIR* b1, const XY_FPAIR* b2, XY_FPAIR* out)
{
  const Line<float> a{a1->x, a1->y, a2->x, a2->y};
  const Line<float> b{b1->x, b1->y, b2->x, b2->y};
  const float det = a.Det(b);
  if (det == 0)
    return 0;
  CrossingOf(a, b, det, &out->x, &out->y);
  return 1;
}

bool CalCrossPoint10(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& b1, const CKelCoord2D& b2,
                     CKelCoord2D* out)
{
  double ac = 1;
  double as = 0;
  double bc = 1;
  double bs = 0;
  const bool aHas = CalcCosSin(a1, a2, &ac, &as, nullptr);
  const bool bHas = CalcCosSin(b1, b2, &bc, &bs, nullptr);
  // Parallel when the unit directions' cross product is within the
  // tolerance: the test then means the same for short and long edges.
  if (!aHas || !bHas || std::fabs(ac * bs - as * bc) <= KelTol::PlaneLine)
    return false;
  const Line<double> a{a1.m_x, a1.m_y, a2.m_x, a2.m_y};
  const Line<double> b{b1.m_x, b1.m_y, b2.m_x, b2.m_y};
  CrossingOf(a, b, a.Det(b), &out->m_x, &out->m_y);
  return true;
}

// --- On-segment tests ------------------------------------------------------------

bool CheckOnLine(float x1, float y1, float x2, float y2, float px, float py)
{
  return OnLineInclusive(x1, y1, x2, y2, px, py);
}

bool CheckOnLine(double x1, double y1, double x2, double y2, double px, double py)
{
  return OnLineInclusive(x1, y1, x2, y2, px, py);
}

bool CheckOnLine2(float x1, float y1, float x2, float y2, float px, float py)
{
  const Line<float> line{x1, y1, x2, y2};
  return line.XDominant() ? StrictlyBetween(px, x1, x2) : StrictlyBetween(py, y1, y2);
}

bool CheckOnLine3(float v, float a, float b) { return Between(v, a, b); }

bool CheckOnLine4(float x1, float y1, float x2, float y2, float px, float py)
{
  const double tol = KelTol::Geometry;
  const CKelCoord2D a(x1, y1);
  const CKelCoord2D b(x2, y2);
  const CKelCoord2D p(px, py);
  const auto nearEnd = [&](const CKelCoord2D& end) {
    return std::fabs(p.m_x - end.m_x) <= tol && std::fabs(p.m_y - end.m_y) <= tol;
  };
  if (nearEnd(a) || nearEnd(b))
    return true;
  double cos = 1;
  double sin = 0;
  double length = 0;
  if (!CalcCosSin(a, b, &cos, &sin, &length))
    return false;
  const double along = (p.m_x - a.m_x) * cos + (p.m_y - a.m_y) * sin;
  const double across = cos * (p.m_y - a.m_y) - sin * (p.m_x - a.m_x);
  return std::fabs(across) <= tol && along >= -tol && along <= length + tol;
}

int CheckOnLine5(const PNT3D* a, const PNT3D* b, const PNT3D* p)
{
  const auto near = [&](const PNT3D* end) {
    return std::fabs(double(p->x) - end->x) < KelTol::PointCheck && std::fabs(double(p->y) - end->y) < KelTol::PointCheck;
  };
  if (near(a))
    return 1;
  if (near(b))
    return 2;
  return 0;
}

bool CheckOnLine6(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  const Line<double> line{a.m_x, a.m_y, b.m_x, b.m_y};
  const bool alongX = line.XDominant();
  const double v = alongX ? p.m_x : p.m_y;
  const double e1 = alongX ? a.m_x : a.m_y;
  const double e2 = alongX ? b.m_x : b.m_y;
  return std::fmin(e1, e2) - KelTol::Geometry <= v && v <= std::fmax(e1, e2) + KelTol::Geometry;
}

bool CheckOnLine7(const CKelCoord3D& a, const CKelCoord3D& b, CKelCoord3D& p)
{
  const Line<double> line{a.m_x, a.m_y, b.m_x, b.m_y};
  const bool alongX = line.XDominant();
  const double v = alongX ? p.m_x : p.m_y;
  const double e1 = alongX ? a.m_x : a.m_y;
  const double e2 = alongX ? b.m_x : b.m_y;
  // A segment of no extent has no slope to interpolate: it keeps a's height.
  p.m_z = e2 != e1 ? a.m_z + (v - e1) / (e2 - e1) * (b.m_z - a.m_z) : a.m_z;
  return std::fmin(e1, e2) + KelTol::Geometry < v && v < std::fmax(e1, e2) - KelTol::Geometry;
}

bool CheckOnLine10(const PNT3D* a, const PNT3D* b, const float p[2])
{
  const Line<double> line{a->x, a->y, b->x, b->y};
  const bool alongX = line.XDominant();
  const double v = alongX ? p[0] : p[1];
  const double other = alongX ? p[1] : p[0];
  const double e1 = alongX ? a->x : a->y;
  const double e2 = alongX ? b->x : b->y;
  const double o1 = alongX ? a->y : a->x;
  const double o2 = alongX ? b->y : b->x;
  if (!Between(v, e1, e2))
    return false;
  const double onLine = e2 != e1 ? o1 + (v - e1) / (e2 - e1) * (o2 - o1) : o1;
  return std::fabs(other - onLine) <= KelTol::WideOnSegment;
}
