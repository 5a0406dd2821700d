#pragma once
// CKelArea<T>: a closed polygon over a vertex type T, with its cached area and
// plan bounding box.
//
// Vertex type: any T whose leading fields are m_x and m_y (doubles, metres);
// every operation reads only those two and copies vertices whole, so heights
// or edge data carried by T travel with their vertex.
//
// Outline: the edge from the last vertex back to the first is always part of
// it and is never stored as a repeated vertex. After SetArea the vertices run
// counter-clockwise and m_area >= 0.
//
// Cache: m_area and the box change only through SetArea and SetMaxMin. Editing
// and reading leave them stale; callers recompute.
//
// Tolerances (KelTolerance.h): vertex identity by T::operator== (PointEqual);
// the cached numbers of operator== within PolygonCache, of IsNearlyEqual by
// fcmpNearly; InArea takes its own tol from the caller.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "CKelArchiveCore.h"
#include "CKelCoord.h"
#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelOutlineIndex.h"
#include "KelTolerance.h"

template <class T>
class CKelArea {
public:
  std::vector<T> m_pt;  // the outline, in order
  double m_area = 0;    // set by SetArea
  double m_xmin = 0;    // the box, set by SetMaxMin
  double m_xmax = 0;
  double m_ymin = 0;
  double m_ymax = 0;

  CKelArea() = default;
  CKelArea(const CKelArea&) = default;
  CKelArea& operator=(const CKelArea&) = default;
  CKelArea(CKelArea&&) = default;
  CKelArea& operator=(CKelArea&&) = default;
  virtual ~CKelArea() = default;

  // --- Area and box
  // Signed shoelace area (positive counter-clockwise, 0 when empty); stores nothing.
  double Area() const;
  // Stores |Area()|, reversing a clockwise outline first.
  void SetArea();
  // The box of the vertices; an empty outline keeps the sentinels
  // (DBL_MAX for the minima, -DBL_MAX for the maxima).
  void SetMaxMin();

  // --- Point location
  // The band of the crossing count. WholeTol counts with tol itself and takes
  // a vertex at p's level as left of p at tol or more; TenthTol counts with a
  // tenth of tol and takes it as left only beyond that tenth. TenthTol is the
  // sound one: with tol itself a point less than tol above or below a
  // vertex's level is counted as level with it, and an edge leaving that
  // vertex towards p's side is missed. The regulation outlines use it; the
  // kernel's own callers keep WholeTol.
  enum class Crossing { WholeTol, TenthTol };

  // 1 inside, 0 outside, -1 within tol of the outline. The box test grows
  // the cached box by a tenth of tol in both forms. The first double is
  // accepted for the callers' sake and not used. Uses the cached box as it is.
  int InArea(const CKelCoord2D& p, double reserved, double tol, Crossing crossing = Crossing::WholeTol) const;
  // InArea's answer through an index of this outline's edges built with
  // InAreaBand(tol, crossing) (KelEdge::LevelIndex), for many points.
  int InArea(const CKelCoord2D& p, const KelEdge::LevelIndex& index, double tol, Crossing crossing) const;
  static KelEdge::LocateTol InAreaBand(double tol, Crossing crossing);

  // --- Corners
  // The counter-clockwise angle at vertex i from the direction to the next
  // vertex to the direction to the previous one, in [0, 2 pi): the interior
  // angle of a counter-clockwise outline.
  double get_pointangle2(int i) const;
  // The corner class of that angle (KelTol::Geometry bands): 4 above
  // 3/2 pi, 3 at it, 2 above pi, 1 at pi, 0 above pi/2, -1 at it, -2 below.
  // Classes below 1 are convex corners.
  int check_pointtype2(int i) const;

  // --- Compares
  bool operator==(const CKelArea& other) const;
  bool operator!=(const CKelArea& other) const { return !(*this == other); }
  // Vertices still by operator==; only the cached numbers by fcmpNearly.
  bool IsNearlyEqual(const CKelArea& other) const;

  // --- Cutting at the first edge
  // The apex k of the triangle (0, 1, k) cut off the outline v at its first
  // edge: the vertex no farther from vertex 0 and from vertex 1 than every
  // earlier choice, with the triangle turning counter-clockwise; later
  // vertices win ties. -1 when there is none.
  static int FirstEdgeApex(const std::vector<T>& v) { return FirstEdgeApex(std::span<const T>(v)); }
  static int FirstEdgeApex(std::span<const T> v);

  // --- Archive: no tag of its own; i32 count, the vertices, then area, xmin,
  // xmax, ymin, ymax. A count that is negative or cannot fit in the bytes
  // left is refused before anything is resized.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);

private:
  // The bytes every stored vertex takes at least: its x and y.
  static constexpr std::uint64_t kMinVertexBytes = 2 * sizeof(double);

  // The signed shoelace area of the triangle (a, b, c), summed in the order
  // Area sums a three-vertex outline.
  static double TriangleArea(const T& a, const T& b, const T& c);
  bool CachedNumbersEqual(const CKelArea& other, bool nearly) const;
};

// ---------------------------------------------------------------------------

template <class T>
double CKelArea<T>::Area() const
{
  return SignedShoelaceArea(m_pt);
}

template <class T>
void CKelArea<T>::SetArea()
{
  const double a = Area();
  if (a < 0) {
    std::reverse(m_pt.begin(), m_pt.end());
    m_area = -a;
  } else {
    m_area = a;
  }
}

template <class T>
void CKelArea<T>::SetMaxMin()
{
  m_xmin = m_ymin = DBL_MAX;
  m_xmax = m_ymax = -DBL_MAX;
  for (const T& v : m_pt) {
    m_xmin = std::min(m_xmin, v.m_x);
    m_xmax = std::max(m_xmax, v.m_x);
    m_ymin = std::min(m_ymin, v.m_y);
    m_ymax = std::max(m_ymax, v.m_y);
  }
}

template <class T>
double CKelArea<T>::TriangleArea(const T& a, const T& b, const T& c)
{
  double sum = 0;
  sum += (c.m_x - a.m_x) * (c.m_y + a.m_y);
  sum += (a.m_x - b.m_x) * (a.m_y + b.m_y);
  sum += (b.m_x - c.m_x) * (b.m_y + c.m_y);
  return 0.5 * sum;
}

template <class T>
int CKelArea<T>::FirstEdgeApex(std::span<const T> v)
{
  // A squared distance clearly beyond the best one so far rules a vertex
  // out without its square root; the margin dwarfs the round-off of both.
  constexpr double kClearlyFarther = 1 + 1e-9;
  const auto clearlyFarther = [](const T& p, const T& q, double best) {
    const double dx = p.m_x - q.m_x;
    const double dy = p.m_y - q.m_y;
    return dx * dx + dy * dy > best * best * kClearlyFarther;
  };
  int choice = -1;
  double best0 = DBL_MAX;
  double best1 = DBL_MAX;
  for (std::size_t k = 2; k < v.size(); ++k) {
    if (choice >= 0 && (clearlyFarther(v[k], v[0], best0) || clearlyFarther(v[k], v[1], best1)))
      continue;
    const double d0 = length_2point(v[k], v[0]);
    const double d1 = length_2point(v[k], v[1]);
    if (d0 <= best0 && d1 <= best1 && TriangleArea(v[0], v[1], v[k]) > 0) {
      choice = static_cast<int>(k);
      best0 = d0;
      best1 = d1;
    }
  }
  return choice;
}

template <class T>
KelEdge::LocateTol CKelArea<T>::InAreaBand(double tol, Crossing crossing)
{
  const double tenth = KelTol::InAreaBoxFraction * tol;
  return crossing == Crossing::TenthTol ? KelEdge::LocateTol{tenth, tol, tenth, true}
                                        : KelEdge::LocateTol{tenth, tol, tol, false};
}

template <class T>
int CKelArea<T>::InArea(const CKelCoord2D& p, double /*reserved*/, double tol, Crossing crossing) const
{
  const KelEdge::Extents box{m_xmin, m_xmax, m_ymin, m_ymax};
  return KelEdge::Locate(m_pt, box, p, InAreaBand(tol, crossing));
}

template <class T>
int CKelArea<T>::InArea(const CKelCoord2D& p, const KelEdge::LevelIndex& index, double tol, Crossing crossing) const
{
  const KelEdge::Extents box{m_xmin, m_xmax, m_ymin, m_ymax};
  return KelEdge::LocateNear(m_pt, index, box, p, InAreaBand(tol, crossing));
}

template <class T>
double CKelArea<T>::get_pointangle2(int i) const
{
  const int n = static_cast<int>(m_pt.size());
  const T& next = m_pt[static_cast<std::size_t>(i + 1 >= n ? 0 : i + 1)];
  const T& prev = m_pt[static_cast<std::size_t>(i == 0 ? n - 1 : i - 1)];
  return arc_radian1(next, prev, m_pt[static_cast<std::size_t>(i)]);
}

template <class T>
int CKelArea<T>::check_pointtype2(int i) const
{
  const double a = get_pointangle2(i);
  const double tol = KelTol::Geometry;
  const double bounds[] = {KelAngle::ThreeHalfPi, KelAngle::Pi, KelAngle::HalfPi};
  int type = 4;
  for (double b : bounds) {
    if (a > b + tol)
      return type;
    if (a >= b - tol)
      return type - 1;
    type -= 2;
  }
  return -2;
}

template <class T>
bool CKelArea<T>::operator==(const CKelArea& other) const
{
  return KelList::Equal(m_pt, other.m_pt) && CachedNumbersEqual(other, false);
}

template <class T>
bool CKelArea<T>::IsNearlyEqual(const CKelArea& other) const
{
  return KelList::Equal(m_pt, other.m_pt) && CachedNumbersEqual(other, true);
}

// xmin, xmax, ymin, ymax, then area.
template <class T>
bool CKelArea<T>::CachedNumbersEqual(const CKelArea& other, bool nearly) const
{
  const double diffs[] = {m_xmin - other.m_xmin, m_xmax - other.m_xmax, m_ymin - other.m_ymin,
                          m_ymax - other.m_ymax, m_area - other.m_area};
  for (double d : diffs) {
    const bool same = nearly ? fcmpNearly(d) == 0 : std::fabs(d) <= KelTol::PolygonCache;
    if (!same)
      return false;
  }
  return true;
}

template <class T>
bool CKelArea<T>::Serialize(CKelArchiveCore& ar)
{
  if (!KelList::Serialize(ar, m_pt, kMinVertexBytes))
    return false;
  ar.Serialize(m_area);
  ar.Serialize(m_xmin);
  ar.Serialize(m_xmax);
  ar.Serialize(m_ymin);
  ar.Serialize(m_ymax);
  return ar.GetError() == 0;
}
