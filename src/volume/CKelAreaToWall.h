#pragma once
// The collector that reduces plan outlines to their visible walls.
//
// Collinear segments running the same way survive once; segments running
// against each other cancel (the overlapped stretch stays once, its flag
// set); what either covers alone stays uncancelled. Fed the counter-clockwise
// outlines of touching blocks, the uncancelled segments outline their union:
// a shared edge is met once in each direction. Arcs of one circle (centres
// within 0.001, radii within KelTol::WallMinLength) are collected the same
// way in angle space, after a split at the seam direction pi; an arc met in
// both directions gets its mark set.
//
// Tolerance: eps (KelTol::WallEval until SetEval) for ends, collinearity and
// overlaps. Segments shorter than KelTol::WallMinLength are not collected;
// remainders whose ends are nearly equal are dropped. A segment's re-entry
// of its remainders is bounded, so no input can make it run on.

#include "CKelWallLine.h"
#include "KelTolerance.h"

class CKelAreaToWall {
public:
  CKelWallLineArray m_Lines;
  CKelWallArcArray m_Arcs;

  void SetEval(double eps) { m_Eval = eps; }
  double GetEval() const { return m_Eval; }
  // 0 when |d| <= eps, else the sign of d.
  int fcmp(double d) const;
  // Both coordinates within eps.
  bool IsEqual(const CKelCoord2D& a, const CKelCoord2D& b) const;
  // The first collected segment with these ends in either order; null.
  CKelWallLine* Search(const CKelCoord2D& p1, const CKelCoord2D& p2);
  // Empties the segments; the arcs stay.
  void Clear() { m_Lines.clear(); }

  // --- Segments ------------------------------------------------------------------
  // Collects p1 -> p2, merging and cancelling against the first overlapping
  // collinear segment and entering the remainders again.
  void AddLine(CKelCoord2D p1, CKelCoord2D p2);
  // Cancels the stretch of the first overlapping segment that p1 -> p2
  // covers; p1 -> p2 itself is never collected.
  void AddLine2(CKelCoord2D p1, CKelCoord2D p2);
  // Splits the first segment passing through p strictly inside.
  void AddPoint(CKelCoord2D p);

  // --- Arcs ----------------------------------------------------------------------
  // The centre of the arc from p1 to p2 opening by the signed angle; false
  // and (0, 0) for an angle within KelTol::HostArcAngle of 0.
  [[nodiscard]] static bool ArcGetOrigo(const CKelCoord2D* p1, const CKelCoord2D* p2, double angle,
                                        CKelCoord2D* centre);
  // The arc's angles run in its direction (end after begin when
  // counter-clockwise, before it when clockwise).
  bool CheckAngle(const CKelWallArc* arc) const;
  // Begin and end angles within eps (a begin of exactly -pi read as pi).
  bool IsEqualAngle(const CKelWallArc* arc) const;
  void AddArc(CKelCoord2D p1, CKelCoord2D p2, const CKelCoord2D& centre, bool ccw);
  void AddArc2(CKelCoord2D p1, CKelCoord2D p2, const CKelCoord2D& centre, bool ccw);

private:
  double m_Eval = KelTol::WallEval;

  struct Overlap;
  // One step of AddLine / AddLine2: the remainders to enter by AddLine.
  CKelWallLineArray LineStep(const CKelCoord2D& p1, const CKelCoord2D& p2, bool cancelOnly);
  CKelWallArcArray ArcStep(const CKelWallArc& arc, bool cancelOnly);
  long ReentryBudget(std::size_t collected) const;
  template <class Step>
  void WalkArcs(const CKelWallArc& first, Step&& step);
};
