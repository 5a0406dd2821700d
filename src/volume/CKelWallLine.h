#pragma once
// Plan outline segments and arcs as the outline-to-wall conversion collects
// them, and the plain lists the host layer fills from outlines with arcs.
//
//   CKelWallLine       a segment from m_p1 to m_p2 with its cancelled flag.
//   CKelWallArc        an arc from m_p1 to m_p2 about m_Center, counter-
//                      clockwise when m_bCCW, with its mark flag.
// Metres and radians. Directions from a centre are atan2 values in
// (-pi, pi]; an arc end on the seam (the direction pi, within
// KelTol::WallMinLength) is read as -pi at the start of a counter-clockwise
// arc and as pi at its end, the other way about for a clockwise arc.

#include <vector>

#include "CKelCoord.h"

class CKelWallLine {
public:
  CKelCoord2D m_p1;
  CKelCoord2D m_p2;
  bool m_bFlag = false;  // cancelled: met once in each direction

  CKelWallLine() = default;
  CKelWallLine(const CKelCoord2D& p1, const CKelCoord2D& p2, bool flag) : m_p1(p1), m_p2(p2), m_bFlag(flag) {}
};

class CKelWallLineArray : public std::vector<CKelWallLine> {
public:
  // Appends the segment unless its ends are nearly equal (fcmpNearly).
  void Add(const CKelCoord2D& p1, const CKelCoord2D& p2, bool flag);
};

class CKelWallArc {
public:
  CKelCoord2D m_p1;
  CKelCoord2D m_p2;
  CKelCoord2D m_Center;
  bool m_bMark = false;
  bool m_bCCW = true;

  CKelWallArc() = default;
  CKelWallArc(const CKelCoord2D& p1, const CKelCoord2D& p2, const CKelCoord2D& centre, bool ccw, bool mark)
      : m_p1(p1), m_p2(p2), m_Center(centre), m_bMark(mark), m_bCCW(ccw)
  {
  }

  // Directions from the centre with the seam rule above.
  double GetBegAng() const;
  double GetEndAng() const;
  double Radius() const { return m_p1.GetLength(m_Center); }
};

class CKelWallArcArray : public std::vector<CKelWallArc> {
public:
  // Appends the arc unless its ends are nearly equal (so a full circle
  // cannot be entered as one arc).
  void Add(const CKelCoord2D& p1, const CKelCoord2D& p2, const CKelCoord2D& centre, bool ccw, bool mark);
  // As Add, split at the seam point so that no stored arc crosses it.
  void Add2(const CKelCoord2D& p1, const CKelCoord2D& p2, const CKelCoord2D& centre, bool ccw, bool mark);
};
