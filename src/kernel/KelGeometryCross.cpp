// Crossings of lines, circles and arcs, and the edge crossing of check lines.

#include <cmath>

#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

using Points = std::vector<CKelCoord2D>;

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

// The far point of the line through p with bearing angle (from +y,
// counter-clockwise); ten units keep the direction well conditioned.
constexpr double kBearingReach = 10.0;

CKelCoord2D AlongBearing(const CKelCoord2D& p, double angle)
{
  return CKelCoord2D(p.m_x + kBearingReach * -std::sin(angle), p.m_y + kBearingReach * std::cos(angle));
}

bool NearlyZeroVector(double dx, double dy)
{
  return std::fabs(dx) < KelTol::Geometry && std::fabs(dy) < KelTol::Geometry;
}

// True when pt lies on the counter-clockwise arc s->e about c by the box
// test: inside the arc's box for a sweep up to pi, outside the box of the
// complementary arc otherwise.
bool InArcRange(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& c, const CKelCoord2D& pt)
{
  CKelCoord2D lo;
  CKelCoord2D hi;
  const bool minor = get_ArcRange(s, e, c, &lo, &hi);
  const bool inBox = check_range(lo, hi, pt, KelTol::Geometry);
  return minor ? inBox : !inBox;
}

// An arc keeps a crossing at one of its ends (0.001) or inside its range.
bool OnArc(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& c, const CKelCoord2D& pt)
{
  return check_point(pt, s) || check_point(pt, e) || InArcRange(s, e, c, pt);
}

template <class Keep>
Points KeepIf(const Points& candidates, Keep keep)
{
  Points kept;
  for (const auto& pt : candidates) {
    if (keep(pt))
      kept.push_back(pt);
  }
  return kept;
}

// Does the counter-clockwise arc from a to b contain direction theta? Both
// ends and theta are in [0, 2 pi).
bool ContainsDirection(double a, double b, double theta)
{
  if (a <= b)
    return a <= theta && theta <= b;
  return theta >= a || theta <= b;
}

double PositiveAngle(const CKelCoord2D& p, const CKelCoord2D& c)
{
  double t = std::atan2(p.m_y - c.m_y, p.m_x - c.m_x);
  if (t < 0)
    t += KelAngle::TwoPi;
  return t;
}

}  // namespace

Points cross_line0(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& b1, const CKelCoord2D& b2,
                   int* flag)
{
  const double bx = b2.m_x - b1.m_x;
  const double by = b2.m_y - b1.m_y;
  if (NearlyZeroVector(bx, by)) {
    if (HalfPlane(b1, a1, a2) == 0 && !NearlyZeroVector(a2.m_x - a1.m_x, a2.m_y - a1.m_y))
      return {b1};
    return {};
  }
  double ac = 1;
  double as = 0;
  double bc = 1;
  double bs = 0;
  const bool aHasDirection = CalcCosSin(a1, a2, &ac, &as, nullptr);
  CalcCosSin(b1, b2, &bc, &bs, nullptr);
  // Lines whose directions differ by less than the tolerance are parallel;
  // a line a of no length is treated alike (it has no direction to cross).
  if (!aHasDirection || std::fabs(Cross(ac, as, bc, bs)) < KelTol::Geometry) {
    if (flag != nullptr)
      *flag = 1;
    return {};
  }
  const double ax = a2.m_x - a1.m_x;
  const double ay = a2.m_y - a1.m_y;
  const double t = Cross(b1.m_x - a1.m_x, b1.m_y - a1.m_y, bx, by) / Cross(ax, ay, bx, by);
  return {CKelCoord2D(a1.m_x + t * ax, a1.m_y + t * ay)};
}

Points cross_line(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& b1, const CKelCoord2D& b2,
                  int* flag)
{
  return KeepIf(cross_line0(a1, a2, b1, b2, flag), [&](const CKelCoord2D& pt) {
    return check_range(a1, a2, pt, KelTol::Geometry) && check_range(b1, b2, pt, KelTol::Geometry);
  });
}

Points angle_line0(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& p, double angle)
{
  return cross_line0(a1, a2, p, AlongBearing(p, angle), nullptr);
}

Points angle_line(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& p, double angle)
{
  const double wrapped = std::remainder(angle, KelAngle::TwoPi);
  const bool northward = std::fabs(wrapped) <= KelAngle::HalfPi;
  return KeepIf(angle_line0(a1, a2, p, angle), [&](const CKelCoord2D& pt) {
    const bool behind = northward ? p.m_y > pt.m_y : pt.m_y > p.m_y;
    return !behind && check_range(a1, a2, pt, KelTol::Geometry);
  });
}

Points cross_circleline(double r, const CKelCoord2D& c, const CKelCoord2D& p, const CKelCoord2D& q)
{
  double ux = q.m_x - p.m_x;
  double uy = q.m_y - p.m_y;
  CKelCoord2D origin = p;
  // A nearly vertical line is taken as exactly vertical through p.
  if (std::fabs(ux) < KelTol::Geometry)
    ux = 0;
  const double length = std::hypot(ux, uy);
  if (length == 0)
    return {};
  ux /= length;
  uy /= length;
  const double along = (c.m_x - origin.m_x) * ux + (c.m_y - origin.m_y) * uy;
  const CKelCoord2D foot(origin.m_x + along * ux, origin.m_y + along * uy);
  const double offset = std::hypot(c.m_x - foot.m_x, c.m_y - foot.m_y);
  const double halfChordSquared = r * r - offset * offset;
  if (halfChordSquared < 0)
    return {};
  const double halfChord = std::sqrt(halfChordSquared);
  if (halfChord < KelTol::Geometry)
    return {foot};
  return {CKelCoord2D(foot.m_x - halfChord * ux, foot.m_y - halfChord * uy),
          CKelCoord2D(foot.m_x + halfChord * ux, foot.m_y + halfChord * uy)};
}

Points cross_circleline(const CKelCoord2D& s, const CKelCoord2D& c, const CKelCoord2D& p, const CKelCoord2D& q)
{
  return cross_circleline(length_2point(s, c), c, p, q);
}

Points cross_circle(const CKelCoord2D& p1, const CKelCoord2D& c1, const CKelCoord2D& p2, const CKelCoord2D& c2)
{
  const double r1 = length_2point(p1, c1);
  const double r2 = length_2point(p2, c2);
  const double d = length_2point(c1, c2);
  if (d < KelTol::Geometry)
    return {};
  // Circles that miss each other by more than the tolerance do not meet;
  // a touch within it is one point.
  if (d > r1 + r2 + KelTol::Geometry || d < std::fabs(r1 - r2) - KelTol::Geometry)
    return {};
  const double ux = (c2.m_x - c1.m_x) / d;
  const double uy = (c2.m_y - c1.m_y) / d;
  const double along = (r1 * r1 - r2 * r2 + d * d) / (2.0 * d);
  const double halfChord = asqrt(r1 * r1 - along * along);
  const CKelCoord2D base(c1.m_x + along * ux, c1.m_y + along * uy);
  if (halfChord < KelTol::Geometry)
    return {base};
  return {CKelCoord2D(base.m_x - halfChord * uy, base.m_y + halfChord * ux),
          CKelCoord2D(base.m_x + halfChord * uy, base.m_y - halfChord * ux)};
}

Points cross_arcline(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& c, const CKelCoord2D& p,
                     const CKelCoord2D& q)
{
  return KeepIf(cross_circleline(s, c, p, q), [&](const CKelCoord2D& pt) {
    return check_range(p, q, pt, KelTol::Geometry) && OnArc(s, e, c, pt);
  });
}

Points arc_line(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& c, const CKelCoord2D& p, double angle)
{
  return KeepIf(cross_circleline(s, c, p, AlongBearing(p, angle)),
                [&](const CKelCoord2D& pt) { return OnArc(s, e, c, pt); });
}

Points cross_arc(const CKelCoord2D& s1, const CKelCoord2D& e1, const CKelCoord2D& c1, const CKelCoord2D& s2,
                 const CKelCoord2D& e2, const CKelCoord2D& c2)
{
  return KeepIf(cross_circle(s1, c1, s2, c2),
                [&](const CKelCoord2D& pt) { return OnArc(s1, e1, c1, pt) && OnArc(s2, e2, c2, pt); });
}

bool get_ArcRange(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& c, CKelCoord2D* lo, CKelCoord2D* hi)
{
  const double r = length_2point(s, c);
  const double t1 = PositiveAngle(s, c);
  const double t2 = PositiveAngle(e, c);
  double sweep = t2 - t1;
  if (sweep < 0)
    sweep += KelAngle::TwoPi;
  const bool minor = sweep <= KelAngle::Pi;
  // The box is built for the arc itself when it is at most a half circle,
  // otherwise for the complementary arc (which is).
  const double from = minor ? t1 : t2;
  const double to = minor ? t2 : t1;
  double left = std::fmin(s.m_x, e.m_x);
  double right = std::fmax(s.m_x, e.m_x);
  double bottom = std::fmin(s.m_y, e.m_y);
  double top = std::fmax(s.m_y, e.m_y);
  if (ContainsDirection(from, to, KelAngle::HalfPi))
    top = c.m_y + r;
  if (ContainsDirection(from, to, KelAngle::ThreeHalfPi))
    bottom = c.m_y - r;
  if (ContainsDirection(from, to, KelAngle::Pi))
    left = c.m_x - r;
  if (from > to)
    right = c.m_x + r;
  if (lo != nullptr)
    *lo = CKelCoord2D(left, bottom);
  if (hi != nullptr)
    *hi = CKelCoord2D(right, top);
  return minor;
}

namespace {

struct ClineEdge {
  int type;
  const CKelCoord2D& a;  // start
  const CKelCoord2D& b;  // end
  const CKelCoord2D& c;  // centre of an arc
  bool IsArc() const { return type >= kClineArcType; }
  // A crossing more than half a turn past an arc's start is dropped.
  bool Reaches(const CKelCoord2D& pt) const { return !IsArc() || arc_radian1(a, pt, c) <= KelAngle::Pi; }
};

Points CrossCandidates(const ClineEdge& one, const ClineEdge& two)
{
  if (!one.IsArc() && !two.IsArc())
    return cross_line(one.a, one.b, two.a, two.b, nullptr);
  if (one.IsArc() && two.IsArc())
    return cross_arc(one.a, one.b, one.c, two.a, two.b, two.c);
  const ClineEdge& arc = one.IsArc() ? one : two;
  const ClineEdge& segment = one.IsArc() ? two : one;
  return cross_arcline(arc.a, arc.b, arc.c, segment.a, segment.b);
}

}  // namespace

bool calc_cross_cline(int type1, const CKelCoord2D& a1, const CKelCoord2D& b1, const CKelCoord2D& c1, int type2,
                      const CKelCoord2D& a2, const CKelCoord2D& b2, const CKelCoord2D& c2, CKelCoord2D* out)
{
  const ClineEdge one{type1, a1, b1, c1};
  const ClineEdge two{type2, a2, b2, c2};
  const Points kept = KeepIf(CrossCandidates(one, two),
                             [&](const CKelCoord2D& pt) { return one.Reaches(pt) && two.Reaches(pt); });
  // Two arcs that cross twice are taken as not crossing.
  if (kept.empty() || (one.IsArc() && two.IsArc() && kept.size() == 2))
    return false;
  if (out != nullptr)
    *out = kept.front();
  return true;
}
