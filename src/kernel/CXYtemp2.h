#pragma once
// A scratch segment a -> b used to stretch road lines of a site to their
// crossings: the segment is lengthened beyond both ends so that crossings
// just past a vertex are still found.

#include "CKelCoord.h"

class CXYtemp2 {
public:
  // How far each end is pushed out along the segment (metres).
  static constexpr double kExtension = 5.0;

  CKelCoord2D m_a;
  CKelCoord2D m_b;

  CXYtemp2() = default;
  CXYtemp2(const CKelCoord2D& a, const CKelCoord2D& b) : m_a(a), m_b(b) {}

  // Lengthens the segment by kExtension at each end. A segment whose ends
  // coincide has no direction and stays as it is.
  void point_of_line1();
  // Lengthens (a, p); when its far end lies ahead of a along a -> b, b
  // becomes that end with z = 0.
  static void SetEndPos(CKelCoord3D& a, CKelCoord3D& b, const CKelCoord2D& p);
  // Lengthens (p, b); when its near end lies behind b along a -> b, a
  // becomes that end with z = 0.
  static void SetBegPos(CKelCoord3D& a, CKelCoord3D& b, const CKelCoord2D& p);
};
