#pragma once
// The free plane-geometry functions of the kernel: tolerant compares, lengths
// and directions, bearings, feet of perpendiculars, side tests, distances,
// offsets, crossings of lines, circles and arcs, plane equations and the
// on-segment tests that work on plain numbers.
//
// Points are CKelCoord2D (metres) unless said otherwise; angles are radians.
// Each function owns one fixed tolerance from KelTolerance.h; they are not
// interchangeable. Crossing results are point vectors, empty when there is
// none. Every function is stateless except the SetCPlane/CPlane pair.
//
// Arcs are read counter-clockwise from start s to end e about centre c unless
// a function says otherwise.

#include <optional>
#include <vector>

#include "CKelArchiveCore.h"  // XY_FPAIR
#include "CKelCoord.h"

// A point of the single-precision records.
struct PNT3D {
  float x = 0;
  float y = 0;
  float z = 0;
};

// --- Compares and small values ----------------------------------------------
// 0 when |d| <= 0.0005, else the sign of d.
int fcmpNearly(double d);
// 0 when |v| < tol; 1 for v > 0, -1 otherwise.
int SignOf(double v, double tol);
// 1 when a - b > 0.0002, -1 when a - b < -0.0002, else 0.
int check_value(double a, double b);
// Both components closer than 0.001.
bool check_point(const CKelCoord2D& a, const CKelCoord2D& b);
// p inside the box of a and b grown by margin + 0.0002 (boundary included).
bool check_range(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p, double margin);
// sqrt(x) for x > 0, else 0.
double asqrt(double x);
// The two roots (-b + sqrt(b^2 - 4ac)) / 2a and (-b - sqrt(...)) / 2a; empty
// when the discriminant is negative or a is 0, so the caller can tell.
std::optional<double> CalcSub1(double a, double b, double c);
std::optional<double> CalcSub2(double a, double b, double c);
// A monotone pseudo-angle of (dx, dy) without trigonometry.
double SSTCang(double dx, double dy);

// --- Lengths, directions and bearings ---------------------------------------
double length_2point(const CKelCoord2D& a, const CKelCoord2D& b);
// Unit direction and length of a->b, each written only when its pointer is
// given. Coinciding points have no direction: the result is false and the
// outputs are cos 1, sin 0, length 0 (finite values, so a zero-length edge
// measures as its single point instead of spreading NaN). True otherwise.
bool CalcCosSin(const CKelCoord2D& a, const CKelCoord2D& b, double* cos, double* sin, double* len);
// mode != 0: atan2(dy, dx); mode 0: the bearing atan2(-dx, dy) from +y
// counter-clockwise. Components under 1e-5 count as 0; both 0 gives 0.
double arc_radian(int mode, const CKelCoord2D& a, const CKelCoord2D& b);
// Counter-clockwise angle about c from c->a to c->b, in [0, 2 pi).
double arc_radian1(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c);
// Radius |a - c| times the clockwise sweep about c from a to b.
double length_arc(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c);
// The bearing of a->b minus angle, wrapped into [-pi, pi], lies strictly
// inside (-pi/2, pi/2).
bool check_north(double angle, const CKelCoord2D& a, const CKelCoord2D& b);
// The largest distance between two of the points (those that are numbers):
// the same however the points are turned or moved, up to round-off, as a
// box's diagonal is not. 0 for fewer than two points.
double PointsDiameter(const std::vector<CKelCoord2D>& pts);
// The corners of the points' convex hull, counter-clockwise from the
// lowest-leftmost (the monotone chain), without points on its edges; the
// points themselves when fewer than three.
std::vector<CKelCoord2D> ConvexHull(std::vector<CKelCoord2D> pts);

// --- Feet, sides and distances ------------------------------------------------
// Foot of the perpendicular from p on line ab (axis-parallel lines within 1e-5
// are taken as exactly vertical or horizontal).
CKelCoord2D get_vtpoint(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p);
// 0 (out = foot) when the foot lies on segment ab; otherwise -1 (out = a) or
// 1 (out = b) for the nearer end. out is optional.
int check_3side(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p, CKelCoord2D* out);
// 1 when p lies right of a->b, -1 left, 0 within 1e-5 of the line (also for a
// degenerate line a = b, which has no sides).
int HalfPlane(double x, double y, double x1, double y1, double x2, double y2);
int HalfPlane(const CKelCoord2D& p, const CKelCoord2D& a, const CKelCoord2D& b);
// 1 when a, b, p turn counter-clockwise, -1 clockwise, 0 when the doubled
// area is within 1e-5.
int check_side(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p);
// One step of a ray-crossing count for the edge a->b and the level of p:
// dir = SignOf(b.y - a.y, tol) (always written). Result 0 when dir is 0;
// -1 when p.y is within tol of a.y; -2 when within tol of b.y; 1 when p.y
// lies strictly between a.y and b.y; otherwise 0.
int XCross3(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p, int& dir, double tol);
// Distance from p to segment ab, foot the nearest point; a segment with
// |b - a|^2 <= 1e-5 gives |a - p| and leaves foot unset.
double linedist(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p, CKelCoord2D* foot);
// linedist without its rule for short segments: the distance to the segment
// at any length, to a when a and b coincide. Clean-ups that measure
// millimetre pieces need the segment itself.
double SegmentDistance(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p, CKelCoord2D* foot = nullptr);
// Distance from p to the arc of radius r about c from a to b; kNoArcDistance
// when neither the wedge nor an end applies.
inline constexpr double kNoArcDistance = 3.4e38;
double arcdist(double r, const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c, const CKelCoord2D& p,
               CKelCoord2D* foot);
// out = a moved by d along the left normal of a->b; 1 (out = a) for a
// segment shorter than 1e-5, else 0.
[[nodiscard]] int CalcVlinepos(const CKelCoord2D& a, const CKelCoord2D& b, CKelCoord2D* out, double d);
// Moves a and b along the normal of ab so that the line passes through p.
void CalcMoveLine(CKelCoord2D& a, CKelCoord2D& b, const CKelCoord2D& p);
// Moves a and b by d along the left normal: (x - d sin, y + d cos).
void CalcMoveLine(CKelCoord2D& a, CKelCoord2D& b, double d);

// --- Crossings ------------------------------------------------------------------
// Crossing of the infinite lines a1a2 and b1b2; parallel lines give none and
// set *flag to 1; a degenerate b gives b1 when it lies on line a.
std::vector<CKelCoord2D> cross_line0(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& b1,
                                     const CKelCoord2D& b2, int* flag = nullptr);
// cross_line0 kept only when on both segments (margin 1e-5).
std::vector<CKelCoord2D> cross_line(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& b1,
                                    const CKelCoord2D& b2, int* flag = nullptr);
// Line a1a2 against the line through p with bearing angle.
std::vector<CKelCoord2D> angle_line0(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& p,
                                     double angle);
// angle_line0 kept only ahead of p along the bearing and on segment a1a2.
std::vector<CKelCoord2D> angle_line(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& p,
                                    double angle);
// Circle (radius r about c) against the infinite line pq.
std::vector<CKelCoord2D> cross_circleline(double r, const CKelCoord2D& c, const CKelCoord2D& p, const CKelCoord2D& q);
// The same for the circle about c through s.
std::vector<CKelCoord2D> cross_circleline(const CKelCoord2D& s, const CKelCoord2D& c, const CKelCoord2D& p,
                                          const CKelCoord2D& q);
// Circle about c1 through p1 against the circle about c2 through p2.
std::vector<CKelCoord2D> cross_circle(const CKelCoord2D& p1, const CKelCoord2D& c1, const CKelCoord2D& p2,
                                      const CKelCoord2D& c2);
// Arc s->e about c against segment pq.
std::vector<CKelCoord2D> cross_arcline(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& c,
                                       const CKelCoord2D& p, const CKelCoord2D& q);
// Arc s->e about c against the infinite line through p with bearing angle.
std::vector<CKelCoord2D> arc_line(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& c,
                                  const CKelCoord2D& p, double angle);
// Two arcs against each other.
std::vector<CKelCoord2D> cross_arc(const CKelCoord2D& s1, const CKelCoord2D& e1, const CKelCoord2D& c1,
                                   const CKelCoord2D& s2, const CKelCoord2D& e2, const CKelCoord2D& c2);
// Centre of the arc from p1 to p2 that opens by the signed angle (radians,
// counter-clockwise positive). An angle within HostArcAngle of 0 bends
// nothing: false and centre (0, 0). Within HostArcAngle of pi in size the
// centre is the chord's midpoint, where the tangent formula loses accuracy.
[[nodiscard]] bool ArcCentreOfAngle(const CKelCoord2D& p1, const CKelCoord2D& p2, double angle, CKelCoord2D* centre);
// Box test of an arc: true when the sweep is at most pi and [lo, hi] is the
// arc's box; false when [lo, hi] is the box of the complementary arc.
bool get_ArcRange(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& c, CKelCoord2D* lo,
                  CKelCoord2D* hi);
// First crossing of two edges, each a segment (type < 11: a->b) or an arc
// (type >= 11: start a, end b, centre c).
inline constexpr int kClineArcType = 11;
[[nodiscard]] bool calc_cross_cline(int type1, const CKelCoord2D& a1, const CKelCoord2D& b1, const CKelCoord2D& c1,
                                    int type2, const CKelCoord2D& a2, const CKelCoord2D& b2, const CKelCoord2D& c2,
                                    CKelCoord2D* out);

// --- Planes ---------------------------------------------------------------------
// The line shared by two planes a x + b y + c z + d = 0: p has one coordinate
// 0, q = p + 100 * (n1 x n2). False for parallel planes, and false when the
// constructed points do not lie on both planes within 2.5e-5 (a numerically
// hopeless pair), so the caller never works on with a wrong line.
[[nodiscard]] bool LineEquatinFromPlanes(double a1, double b1, double c1, double d1, double a2, double b2, double c2,
                                         double d2, CKelCoord3D* p, CKelCoord3D* q);
// Plane through three points as a unit normal and d; false (all 0) when the
// points are collinear.
[[nodiscard]] bool V3SetPlane(const CKelCoord3D pts[3], double* a, double* b, double* c, double* d);
// Stores a reference line process-wide for CPlane.
void SetCPlane(double x1, double y1, double x2, double y2);
// Crossing of the line (x1,y1)-(x2,y2) with the stored reference line; false
// and (x, y) = (x1, y1) when they are parallel.
[[nodiscard]] bool CPlane(double x1, double y1, double x2, double y2, double* x, double* y);
// Splits the straight run from the first to the last point of line by the
// line through o with direction (c, s).
[[nodiscard]] bool DivideLine(const std::vector<CKelCoord2D>& line, const CKelCoord2D& o, double c, double s,
                              std::vector<CKelCoord2D>* out1, std::vector<CKelCoord2D>* out2);
// Where a circle at distance d along (c, s) touches a turned rectangle of half
// sizes w and h, or (0, 0) when the rectangle does not reach the x axis.
CKelCoord2D CalcCantactCoordRectAndCircle(double d, double c, double s, double w, double h);

// --- Crossing points of lines given by numbers -----------------------------------
// Line a1a2 against segment b1b2: 0 none, 1 inside b, 2 at b1, 4 at b2.
[[nodiscard]] int CalCrossPoint(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
                                double* x, double* y);
// Crossing of two lines; 0 (outputs untouched) when parallel.
[[nodiscard]] int CalCrossPoint2(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                                 float* x, float* y);
// Crossing written when not parallel; true only when on both segments.
[[nodiscard]] bool CalCrossPoint4(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                                  float* x, float* y);
[[nodiscard]] bool CalCrossPoint4(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                                  double y4, double* x, double* y);
// As CalCrossPoint4 with the strict on-segment test.
[[nodiscard]] bool CalCrossPoint5(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                                  float* x, float* y);
[[nodiscard]] int CalCrossPoint10(const XY_FPAIR* a1, const XY_FPAIR* a2, const XY_FPAIR* b1, const XY_FPAIR* b2,
                                  XY_FPAIR* out);
[[nodiscard]] bool CalCrossPoint10(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& b1,
                                   const CKelCoord2D& b2, CKelCoord2D* out);

// --- On-segment tests ---------------------------------------------------------------
// The dominant axis of a segment is x when |x2 - x1| >= |y2 - y1|, else y;
// only that coordinate of p is compared unless said otherwise.
bool CheckOnLine(float x1, float y1, float x2, float y2, float px, float py);
bool CheckOnLine(double x1, double y1, double x2, double y2, double px, double py);
bool CheckOnLine2(float x1, float y1, float x2, float y2, float px, float py);
bool CheckOnLine3(float v, float a, float b);
bool CheckOnLine4(float x1, float y1, float x2, float y2, float px, float py);
// 1 near a, 2 near b (0.001 in x and y), else 0.
int CheckOnLine5(const PNT3D* a, const PNT3D* b, const PNT3D* p);
bool CheckOnLine6(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p);
// Sets p.z by interpolation between a.z and b.z, then tests strictly inside.
bool CheckOnLine7(const CKelCoord3D& a, const CKelCoord3D& b, CKelCoord3D& p);
bool CheckOnLine10(const PNT3D* a, const PNT3D* b, const float p[2]);
