// Compares, lengths, directions, bearings, feet of perpendiculars, side tests,
// distances and offsets.

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

// A component that small is read as exactly zero by the bearing functions.
double SnapTiny(double v) { return std::fabs(v) < KelTol::Geometry ? 0.0 : v; }

// Moves an angle into [0, 2 pi); a result that rounds up to 2 pi is 0.
double NormalizeTurn(double angle)
{
  if (angle < 0)
    angle += KelAngle::TwoPi;
  return angle >= KelAngle::TwoPi ? 0.0 : angle;
}

}  // namespace

// --- Compares and small values ----------------------------------------------

int fcmpNearly(double d)
{
  if (std::fabs(d) <= KelTol::Nearly)
    return 0;
  return d > 0 ? 1 : -1;
}

int SignOf(double v, double tol)
{
  if (std::fabs(v) < tol)
    return 0;
  return v > 0 ? 1 : -1;
}

int check_value(double a, double b)
{
  const double d = a - b;
  if (d > KelTol::RangeSlack)
    return 1;
  if (d < -KelTol::RangeSlack)
    return -1;
  return 0;
}

bool check_point(const CKelCoord2D& a, const CKelCoord2D& b)
{
  return std::fabs(a.m_x - b.m_x) < KelTol::PointCheck && std::fabs(a.m_y - b.m_y) < KelTol::PointCheck;
}

bool check_range(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p, double margin)
{
  const double grow = margin + KelTol::RangeSlack;
  return p.m_x >= std::fmin(a.m_x, b.m_x) - grow && p.m_x <= std::fmax(a.m_x, b.m_x) + grow &&
         p.m_y >= std::fmin(a.m_y, b.m_y) - grow && p.m_y <= std::fmax(a.m_y, b.m_y) + grow;
}

double asqrt(double x) { return x > 0 ? std::sqrt(x) : 0.0; }

namespace {

// The square root of the discriminant, or nothing when there is no real
// root formula (negative discriminant, or a = 0 which leaves no quadratic).
std::optional<double> RootOfDiscriminant(double a, double b, double c)
{
  const double disc = b * b - 4.0 * a * c;
  if (a == 0 || !(disc >= 0))
    return std::nullopt;
  return std::sqrt(disc);
}

}  // namespace

std::optional<double> CalcSub1(double a, double b, double c)
{
  const auto root = RootOfDiscriminant(a, b, c);
  if (!root)
    return std::nullopt;
  return (-b + *root) / (2.0 * a);
}

std::optional<double> CalcSub2(double a, double b, double c)
{
  const auto root = RootOfDiscriminant(a, b, c);
  if (!root)
    return std::nullopt;
  return (-b - *root) / (2.0 * a);
}

double SSTCang(double dx, double dy)
{
  if (dx == 0 && dy == 0)
    return 0;
  const double t = -dx / (std::fabs(dx) + std::fabs(dy));
  if (dy <= 0)
    return t;
  return dx > 0 ? -2.0 - t : 2.0 - t;
}

// --- Lengths, directions and bearings ---------------------------------------

double length_2point(const CKelCoord2D& a, const CKelCoord2D& b) { return std::hypot(b.m_x - a.m_x, b.m_y - a.m_y); }

bool CalcCosSin(const CKelCoord2D& a, const CKelCoord2D& b, double* cos, double* sin, double* len)
{
  const double dx = b.m_x - a.m_x;
  const double dy = b.m_y - a.m_y;
  // An edge along an axis has its length exactly (hypot of a zero is the
  // other's magnitude), without the library call.
  const double length = dy == 0 ? std::fabs(dx) : dx == 0 ? std::fabs(dy) : std::hypot(dx, dy);
  const bool hasDirection = length > 0;
  if (cos != nullptr)
    *cos = hasDirection ? dx / length : 1.0;
  if (sin != nullptr)
    *sin = hasDirection ? dy / length : 0.0;
  if (len != nullptr)
    *len = length;
  return hasDirection;
}

double arc_radian(int mode, const CKelCoord2D& a, const CKelCoord2D& b)
{
  const double dx = SnapTiny(b.m_x - a.m_x);
  const double dy = SnapTiny(b.m_y - a.m_y);
  if (dx == 0 && dy == 0)
    return 0;
  return mode != 0 ? std::atan2(dy, dx) : std::atan2(-dx, dy);
}

double arc_radian1(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c)
{
  const double from = std::atan2(a.m_y - c.m_y, a.m_x - c.m_x);
  const double to = std::atan2(b.m_y - c.m_y, b.m_x - c.m_x);
  return NormalizeTurn(to - from);
}

double length_arc(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c)
{
  const double radius = length_2point(a, c);
  const double t1 = std::atan2(a.m_y - c.m_y, a.m_x - c.m_x);
  double t2 = std::atan2(b.m_y - c.m_y, b.m_x - c.m_x);
  if (t1 < t2)
    t2 -= KelAngle::TwoPi;
  return (t1 - t2) * radius;
}

bool check_north(double angle, const CKelCoord2D& a, const CKelCoord2D& b)
{
  // remainder() wraps into [-pi, pi] in one step, whatever the size of angle.
  const double d = std::remainder(arc_radian(0, a, b) - angle, KelAngle::TwoPi);
  return -KelAngle::HalfPi < d && d < KelAngle::HalfPi;
}

namespace {

// Twice the signed area of a, b, c: positive when they turn counter-clockwise.
double Turn(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c)
{
  return Cross(b.m_x - a.m_x, b.m_y - a.m_y, c.m_x - a.m_x, c.m_y - a.m_y);
}

// How nearly as far from a hull edge's line as the farthest corner another
// corner must lie to be taken with it. Taking more corners costs only time.
constexpr double kTiedShare = 1e-9;

}  // namespace

std::vector<CKelCoord2D> ConvexHull(std::vector<CKelCoord2D> pts)
{
  std::sort(pts.begin(), pts.end(), [](const CKelCoord2D& a, const CKelCoord2D& b) {
    return a.m_x < b.m_x || (a.m_x == b.m_x && a.m_y < b.m_y);
  });
  if (pts.size() < 3)
    return pts;
  std::vector<CKelCoord2D> hull(2 * pts.size());
  std::size_t k = 0;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    while (k >= 2 && Turn(hull[k - 2], hull[k - 1], pts[i]) <= 0)
      --k;
    hull[k++] = pts[i];
  }
  for (std::size_t i = pts.size() - 1, lower = k + 1; i-- > 0;) {
    while (k >= lower && Turn(hull[k - 2], hull[k - 1], pts[i]) <= 0)
      --k;
    hull[k++] = pts[i];
  }
  hull.resize(k - 1);
  return hull;
}

// The rotating calipers: for each hull edge the corner farthest from its
// line, found walking on as the edges turn, is a candidate with both ends.
// Taken about the first point, so that a lot far from the origin keeps the
// digits of its own size.
double PointsDiameter(const std::vector<CKelCoord2D>& pts)
{
  std::vector<CKelCoord2D> local;
  local.reserve(pts.size());
  const CKelCoord2D* origin = nullptr;
  for (const CKelCoord2D& p : pts) {
    if (!std::isfinite(p.m_x) || !std::isfinite(p.m_y))
      continue;
    origin = origin == nullptr ? &p : origin;
    local.emplace_back(p.m_x - origin->m_x, p.m_y - origin->m_y);
  }
  const std::vector<CKelCoord2D> hull = ConvexHull(local);
  const std::size_t n = hull.size();
  if (n < 2)
    return 0.0;
  if (n == 2)
    return length_2point(hull[0], hull[1]);
  double most = 0;
  const auto reach = [&](const CKelCoord2D& a, const CKelCoord2D& b, std::size_t k) {
    most = std::max({most, length_2point(a, hull[k]), length_2point(b, hull[k])});
  };
  std::size_t j = 1;
  for (std::size_t i = 0; i < n; ++i) {
    const CKelCoord2D& a = hull[i];
    const CKelCoord2D& b = hull[(i + 1) % n];
    while (Turn(a, b, hull[(j + 1) % n]) > Turn(a, b, hull[j]))
      j = (j + 1) % n;
    reach(a, b, j);
    // Corners as far from the edge's line up to round-off (the far side of
    // a rectangle, a side listed densely) are all antipodal to it, and the
    // diameter may end at any of them: round-off alone decides where the
    // walk stops among them, differently at each placement.
    const double level = Turn(a, b, hull[j]) * (1 - kTiedShare);
    for (std::size_t k = (j + 1) % n, m = 0; m < n && Turn(a, b, hull[k]) >= level; k = (k + 1) % n, ++m)
      reach(a, b, k);
    for (std::size_t k = (j + n - 1) % n, m = 0; m < n && Turn(a, b, hull[k]) >= level; k = (k + n - 1) % n, ++m)
      reach(a, b, k);
  }
  return most;
}

// --- Feet, sides and distances ------------------------------------------------

CKelCoord2D get_vtpoint(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  const double dx = b.m_x - a.m_x;
  const double dy = b.m_y - a.m_y;
  if (std::fabs(dx) < KelTol::Geometry)
    return CKelCoord2D(a.m_x, p.m_y);
  if (std::fabs(dy) < KelTol::Geometry)
    return CKelCoord2D(p.m_x, a.m_y);
  const double t = ((p.m_x - a.m_x) * dx + (p.m_y - a.m_y) * dy) / (dx * dx + dy * dy);
  return CKelCoord2D(a.m_x + t * dx, a.m_y + t * dy);
}

int check_3side(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p, CKelCoord2D* out)
{
  const CKelCoord2D foot = get_vtpoint(a, b, p);
  int side = 0;
  CKelCoord2D chosen = foot;
  if (!check_range(a, b, foot, KelTol::Geometry)) {
    const bool nearerA = length_2point(foot, b) > length_2point(foot, a);
    side = nearerA ? -1 : 1;
    chosen = nearerA ? a : b;
  }
  if (out != nullptr)
    *out = chosen;
  return side;
}

int HalfPlane(double x, double y, double x1, double y1, double x2, double y2)
{
  const double length = std::hypot(x2 - x1, y2 - y1);
  // A line of no length has no sides; 0 keeps NaN out of the answer.
  if (length == 0)
    return 0;
  const double s = Cross(x - x1, y - y1, x2 - x1, y2 - y1) / length;
  if (std::fabs(s) < KelTol::Geometry)
    return 0;
  return s > 0 ? 1 : -1;
}

int HalfPlane(const CKelCoord2D& p, const CKelCoord2D& a, const CKelCoord2D& b)
{
  return HalfPlane(p.m_x, p.m_y, a.m_x, a.m_y, b.m_x, b.m_y);
}

int check_side(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  const double doubledArea = Cross(b.m_x - a.m_x, b.m_y - a.m_y, p.m_x - a.m_x, p.m_y - a.m_y);
  if (std::fabs(doubledArea) <= KelTol::Geometry)
    return 0;
  return doubledArea > 0 ? 1 : -1;
}

int XCross3(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p, int& dir, double tol)
{
  dir = SignOf(b.m_y - a.m_y, tol);
  if (dir == 0)
    return 0;
  const int fromStart = SignOf(p.m_y - a.m_y, tol);
  if (fromStart == 0)
    return -1;
  // p's level lies on the other side of the start than the end does.
  if (fromStart != dir)
    return 0;
  const int toEnd = SignOf(b.m_y - p.m_y, tol);
  if (toEnd == 0)
    return -2;
  return toEnd == dir ? 1 : 0;
}

double linedist(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p, CKelCoord2D* foot)
{
  const double dx = b.m_x - a.m_x;
  const double dy = b.m_y - a.m_y;
  if (dx * dx + dy * dy <= KelTol::Geometry)
    return length_2point(a, p);
  return SegmentDistance(a, b, p, foot);
}

double SegmentDistance(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p, CKelCoord2D* foot)
{
  const double dx = b.m_x - a.m_x;
  const double dy = b.m_y - a.m_y;
  const double squared = dx * dx + dy * dy;
  double t = squared > 0 ? ((p.m_x - a.m_x) * dx + (p.m_y - a.m_y) * dy) / squared : 0.0;
  t = std::fmin(1.0, std::fmax(0.0, t));
  const CKelCoord2D nearest(a.m_x + t * dx, a.m_y + t * dy);
  if (foot != nullptr)
    *foot = nearest;
  return length_2point(nearest, p);
}

namespace {

// Distance from p to the arc's circle, with the foot on the circle along c->p.
// A p at the centre is equally far from every arc point; the start is taken.
double DistanceToCircle(double r, const CKelCoord2D& a, const CKelCoord2D& c, const CKelCoord2D& p, CKelCoord2D* foot)
{
  double cos = 1;
  double sin = 0;
  double length = 0;
  if (!CalcCosSin(c, p, &cos, &sin, &length)) {
    if (foot != nullptr)
      *foot = a;
    return std::fabs(r);
  }
  if (foot != nullptr)
    *foot = CKelCoord2D(c.m_x + r * cos, c.m_y + r * sin);
  return std::fabs(length - r);
}

}  // namespace

double arcdist(double r, const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c, const CKelCoord2D& p,
               CKelCoord2D* foot)
{
  const bool atCentre = p.m_x == c.m_x && p.m_y == c.m_y;
  if (atCentre || arc_radian1(a, p, c) <= arc_radian1(a, b, c))
    return DistanceToCircle(r, a, c, p, foot);
  // Outside the wedge: before the start (clockwise of c->a) the start is a
  // candidate, beyond the end (counter-clockwise of c->b) the end is. The
  // sides are taken exactly: a tolerance band along the rays would leave
  // points just outside an end with neither candidate.
  const bool beforeStart = Cross(a.m_x - c.m_x, a.m_y - c.m_y, p.m_x - c.m_x, p.m_y - c.m_y) < 0;
  const bool beyondEnd = Cross(b.m_x - c.m_x, b.m_y - c.m_y, p.m_x - c.m_x, p.m_y - c.m_y) > 0;
  if (!beforeStart && !beyondEnd)
    return kNoArcDistance;
  const double toStart = length_2point(a, p);
  const double toEnd = length_2point(b, p);
  const bool takeStart = beforeStart && (!beyondEnd || toStart <= toEnd);
  if (foot != nullptr)
    *foot = takeStart ? a : b;
  return takeStart ? toStart : toEnd;
}

int CalcVlinepos(const CKelCoord2D& a, const CKelCoord2D& b, CKelCoord2D* out, double d)
{
  double cos = 1;
  double sin = 0;
  double length = 0;
  CalcCosSin(a, b, &cos, &sin, &length);
  if (length < KelTol::Geometry) {
    if (out != nullptr)
      *out = a;
    return 1;
  }
  if (out != nullptr)
    *out = CKelCoord2D(a.m_x - d * sin, a.m_y + d * cos);
  return 0;
}

void CalcMoveLine(CKelCoord2D& a, CKelCoord2D& b, const CKelCoord2D& p)
{
  const CKelCoord2D foot = get_vtpoint(a, b, p);
  const double dx = p.m_x - foot.m_x;
  const double dy = p.m_y - foot.m_y;
  a = CKelCoord2D(a.m_x + dx, a.m_y + dy);
  b = CKelCoord2D(b.m_x + dx, b.m_y + dy);
}

void CalcMoveLine(CKelCoord2D& a, CKelCoord2D& b, double d)
{
  double cos = 1;
  double sin = 0;
  CalcCosSin(a, b, &cos, &sin, nullptr);
  a = CKelCoord2D(a.m_x - d * sin, a.m_y + d * cos);
  b = CKelCoord2D(b.m_x - d * sin, b.m_y + d * cos);
}

bool ArcCentreOfAngle(const CKelCoord2D& p1, const CKelCoord2D& p2, double angle, CKelCoord2D* centre)
{
  if (std::fabs(angle) < KelTol::HostArcAngle) {
    *centre = CKelCoord2D();
    return false;
  }
  if (std::fabs(std::fabs(angle) - KelAngle::Pi) < KelTol::HostArcAngle) {
    *centre = CKelCoord2D((p1.m_x + p2.m_x) / 2.0, (p1.m_y + p2.m_y) / 2.0);
    return true;
  }
  const double k = 1.0 / std::tan(angle / 2.0);
  *centre = CKelCoord2D((p1.m_x + p2.m_x - (p2.m_y - p1.m_y) * k) / 2.0, (p1.m_y + p2.m_y + (p2.m_x - p1.m_x) * k) / 2.0);
  return true;
}
