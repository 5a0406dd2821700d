#pragma once
// A point seen from a straight edge, and the edge rule of straight polygons,
// shared by point location, the on-outline tests of polygons and of outlines
// with arcs.

#include <cmath>

#include "CKelCoord.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace KelEdge {

// p in the frame of the edge s -> e: t along the edge from s, h across it
// (positive on its left), len the edge's length.
struct Frame {
  double t = 0;
  double h = 0;
  double len = 0;
};

// A zero-length edge gets the direction (1, 0) and length 0, so it measures
// as its single point instead of spreading NaN.
inline Frame Measure(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& p)
{
  double c = 1, sn = 0, len = 0;
  CalcCosSin(s, e, &c, &sn, &len);
  const double dx = p.m_x - s.m_x;
  const double dy = p.m_y - s.m_y;
  return Frame{dx * c + dy * sn, c * dy - sn * dx, len};
}

// On the edge: along it from -OnEdge to its length + OnEdge, and within
// OnEdge of its line.
inline bool IsOn(const CKelCoord2D& s, const CKelCoord2D& e, const CKelCoord2D& p)
{
  const Frame f = Measure(s, e, p);
  const double tol = KelTol::OnEdge;
  const bool afterStart = f.t > 0 || std::fabs(f.t) <= tol;
  const bool beyondEnd = f.t > f.len && std::fabs(f.t - f.len) > tol;
  return afterStart && std::fabs(f.h) <= tol && !beyondEnd;
}

}  // namespace KelEdge
