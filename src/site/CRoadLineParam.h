#pragma once
// CRoadLineParam: the base line of a site edge: begin A and end B, the unit
// direction A -> B and its length. Heights along it run linearly from A.z to
// B.z. A line of no length has direction (1, 0).

#include "CKelCoord.h"

class CRoadLineParam {
public:
  CKelCoord3D m_Beg;
  CKelCoord3D m_End;
  double m_Cos = 1;
  double m_Sin = 0;
  double m_Len = 0;

  CRoadLineParam() = default;
  // Direction and length from the two points.
  CRoadLineParam(const CKelCoord3D& beg, const CKelCoord3D& end);

  // The height at the foot of p: linear in the position along A -> B, not
  // clamped to the segment.
  double HeightAt(const CKelCoord2D& p) const;
  // The foot of p on the line.
  CKelCoord2D FootOf(const CKelCoord2D& p) const;
};
