#pragma once
// The slant planes of the slant-line check that start at a site edge:
// over a road edge the road slope, starting at the road's far boundary (or at
// a line at the smaller road width); over a neighbour (Rinchi) edge the
// neighbour slope, starting at the boundary. Each plane is given by three or
// four 3D points.
//
//   CLineCondSlope      a site vertex record with the slope operations; it
//                       reads the edge from the per-edge data (m_EdgePos[0],
//                       m_EdgeCos, m_EdgeSin, m_EdgeLen).
//   CLineCondSlopeArea  one per vertex of a site, with the corner points.
//
// Directions: (cos, sin) along the edge, (sin, -cos) to its outer side, away
// from the counter-clockwise site, (-sin, cos) to its inner side.
// In the slope operations p1 is the ground reference of the road heights,
// p3 the slope (rise per unit run) and p2 a run multiplied by it.

#include <vector>

#include "CKelCoord.h"
#include "CKelSiteTable.h"

class CKelHSite;

class CLineCondSlope : public CKelSiteTable {
public:
  CLineCondSlope() = default;
  explicit CLineCondSlope(const CKelSiteTable& v) : CKelSiteTable(v) {}

  double GetBegRoadOnlyWidth() const;
  double GetEndRoadOnlyWidth() const;
  double GetBegRoadWidth() const;
  double GetEndRoadWidth() const;

  // The far boundary: the line wb from the edge's start and we from its end
  // on the outer side. False, outputs untouched, when the widths differ so
  // much that no such line exists.
  [[nodiscard]] bool CalcRoadLineParam(CKelCoord2D* point, double* cos, double* sin, double* len, bool roadOnly) const;
  // Both empty when the far boundary does not exist (CalcRoadLineParam).
  std::vector<CKelCoord3D> GetRoadSlopeParamOnRoad(double p1, double p2, double p3) const;
  std::vector<CKelCoord3D> GetRoadSlopeParamOnSite2(double p1, double p2, double p3) const;
  // p4 the neighbour's level, p5 a height added to the plane.
  std::vector<CKelCoord3D> GetRinchiSlopeParam(double p1, double p2, double p3, double p4, double p5) const;

private:
  CKelCoord2D Start() const { return m_Sphere.m_EdgePos[0]; }
  CKelCoord2D Along(const CKelCoord2D& from, double d) const;
  // The points at the relief position k and one unit either side, or at the
  // start and one unit on, along the line from base in direction (c, s),
  // then a point one unit inwards and p3 higher. Road heights are taken at
  // each point, or at the matching position along the edge.
  std::vector<CKelCoord3D> SlopePoints(const CKelCoord2D& base, double c, double s, double scale, double p1,
                                       double h, double p3, bool heightAtPoint) const;
};

class CLineCondSlopeArea : public std::vector<CLineCondSlope> {
public:
  CLineCondSlopeArea() = default;
  explicit CLineCondSlopeArea(const CKelHSite& site);

  // The points standing for edge i's start and end (an alternative corner
  // point across a corner cut in mode 1 or 2). An index outside the list
  // throws std::out_of_range.
  CKelCoord2D GetBegC(int i) const;
  CKelCoord2D GetEndC(int i) const;
};
