#pragma once
// A closed planar polygon in space and its list.
//
// Vertices are CKelCoord3D in metres, the edge from the last back to the first
// closing the outline (never stored twice). The template part (area, box,
// SetArea, InArea, ...) works on x and y only; heights travel with their
// vertices. The face keeps the equation of its plane,
//   A x + B y + C z + D = 0,   (A, B, C) a unit normal,
// all four 0 until CalcPlaneEquation succeeds; heights of inserted and moved
// vertices come from it. A counter-clockwise outline seen from above has C > 0.
//
// m_nFaceNo carries the number of the face a polygon was made from (0 when it
// came from nowhere); it is copied with the polygon and used by no operation
// here.

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "CKelArea.h"
#include "CKelCoord.h"
#include "CKelObject.h"
#include "CKelVectorArray.h"

class CAffine3D;
class CKelAreaCoord3DArray;

// The plane of CKelAreaCoord3D::CalcPlaneEquation for any closed loop of n
// points, point(i) giving the i-th (anything with m_x, m_y, m_z), so that a
// caller whose vertices are not CKelCoord3D fits the same plane, bit for
// bit, without copying them into a face first. plane holds A, B, C, D.
template <class PointAt>
bool FitNewellPlane(std::size_t n, PointAt point, double (&plane)[4])
{
  plane[0] = plane[1] = plane[2] = plane[3] = 0;
  if (n < 3)
    return true;
  double a = 0, b = 0, c = 0;
  for (std::size_t i = 0, prev = n - 1; i < n; prev = i++) {
    const auto& p = point(prev);
    const auto& q = point(i);
    a += (p.m_z + q.m_z) * (p.m_y - q.m_y);
    b += (p.m_x + q.m_x) * (p.m_z - q.m_z);
    c += (p.m_y + q.m_y) * (p.m_x - q.m_x);
  }
  const double length = std::sqrt(a * a + b * b + c * c);
  if (length == 0)
    return false;
  plane[0] = a / length;
  plane[1] = b / length;
  plane[2] = c / length;
  const auto& last = point(n - 1);
  plane[3] = -(plane[0] * last.m_x + plane[1] * last.m_y + plane[2] * last.m_z);
  return true;
}

class CKelAreaCoord3D : public CKelArea<CKelCoord3D>, public CKelObject {
public:
  double m_A = 0;
  double m_B = 0;
  double m_C = 0;
  double m_D = 0;
  int m_nFaceNo = 0;

  CKelAreaCoord3D() = default;
  CKelAreaCoord3D(const CKelAreaCoord3D&) = default;
  CKelAreaCoord3D& operator=(const CKelAreaCoord3D&) = default;
  ~CKelAreaCoord3D() override = default;

  // --- Point list (CKelObject) ---------------------------------------------
  int GetSize() const override;
  bool IsClosed() const override;
  // Index wrapped once: negative + n, n or more - n.
  CKelCoord3D GetCoord3D(int index) const override;
  CKelCoord3D GetFrontCoord3D() const override;
  CKelCoord3D GetBackCoord3D() const override;
  // Keeps p's own height.
  void Append(const CKelCoord3D& p) override;
  void Clear() override;
  // Inserts after vertex index; the height comes from the plane, not from p.
  void InsertPoint(int index, const CKelCoord3D& p) override;
  // Vertex index takes p's plan position and the plane's height there.
  void MovePoint(int index, const CKelCoord3D& p) override;
  void MoveZ(int index, double z) override;
  // Adds (a - b) in plan to every vertex; heights stay.
  void MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b) override;
  void DeletePoint(int index) override;
  void SwapCoord(int i, int j) override;

  // Moves the edge index -> index + 1 (wrapping) parallel to itself in plan so
  // that its line passes through p, then puts both ends on the plane.
  void MoveLine(int index, const CKelCoord3D& p);

  // --- Plane ---------------------------------------------------------------
  // Newell's normal, normalised, D through the last vertex. Fewer than three
  // vertices: true with the plane 0. A zero normal (collinear or coinciding
  // vertices): false with the plane 0.
  bool CalcPlaneEquation();
  bool GetPlaneEquation();
  CKelVector3D GetVector() const;
  // Signed distance, positive on the side the normal points to.
  double GetDistance(const CKelCoord3D& p) const;
  // Height of the plane above (p.x, p.y); kVerticalPlaneZ for a vertical
  // plane (C exactly 0), which callers test for.
  double CalcZ(const CKelCoord2D& p) const;
  static double Check_CalcZ(double x, double y, double A, double B, double C, double D);
  // A, B, C and D each within KelTol::SamePlane.
  bool IsSamePlane(const CKelAreaCoord3D& other) const;

  // --- Whole-face operations -------------------------------------------------
  // "%s, 辺数, %d, %d" when the counts differ, else each vertex's x and y under
  // the label "%s, %d" (1-based).
  void CompareData(const char* label, const CKelAreaCoord3D& other, std::vector<std::string>& out) const;
  // Joins other into this face along an edge run they share, traversed in
  // opposite directions (vertices equal by CKelCoord3D::operator==). False
  // (both unchanged) when the planes differ, this face is empty, no run of two
  // equal vertices exists, or the run covers both faces whole (nothing would
  // be left to join). On success area and box are reset to 0 for the caller
  // to recompute; the plane stays.
  [[nodiscard]] bool Merge(const CKelAreaCoord3D& other);
  // Fan-like convex cut (no concave handling); appends triangles with plane,
  // area and box 0. False with fewer than three vertices or when a piece has
  // no positive triangle at its first edge.
  [[nodiscard]] bool Triangulate(CKelAreaCoord3DArray& out) const;
  // toPlane carries the face into the XY plane with vertex 0 at the origin,
  // fromPlane carries it back; both identity with fewer than three vertices.
  // Either pointer may be null.
  void GetAffine(CAffine3D* toPlane, CAffine3D* fromPlane) const;

  static constexpr double kVerticalPlaneZ = 1.7976931348623157e308;  // DBL_MAX
};

class CKelAreaCoord3DArray : public CKelVectorArray<CKelAreaCoord3D> {
public:
  // Sum of the stored area members; nothing is recomputed.
  double GetArea() const;

  bool operator==(const CKelAreaCoord3DArray& other) const;
  bool operator!=(const CKelAreaCoord3DArray& other) const;
  bool IsNearlyEqual(const CKelAreaCoord3DArray& other) const;
};

// Faces collected per body or per block: one CKelAreaCoord3DArray each.
class CKelAreaCoord3DArrayArray : public std::vector<CKelAreaCoord3DArray> {};
