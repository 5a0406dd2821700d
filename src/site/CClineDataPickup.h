#pragma once
// Walks along a finished check line and the pick-ups that receive its
// pieces. A walk (CClineData::pickup_points) hands every straight piece to
// from_line and every arc piece to from_circle of a pick-up, carrying the
// length still to go to the next placed point in m_Rest.
//
//   CClineCoord            a position on a check line: the point and the
//                          index of its element (its first point, or for
//                          an arc either its first point or its centre)
//   CClineDataPickupCore   the abstract receiver
//   CClineDataPickup       places points at a fixed pitch along the stretch
//   CClineDataPickup2      copies the stretch as check-line points
//
// Flags of a piece: bit 0 the last piece of the walk (its end is placed
// too), bit 1 an arc walked clockwise, from its end towards its start.
// A piece operation answers 0 to go on; any other answer asks to stop.

#include <vector>

#include "CClineData.h"

class CClineCoord : public CKelCoord2D {
public:
  std::int32_t m_Index = 0;

  CClineCoord() = default;
  CClineCoord(const CKelCoord2D& p, int index) : CKelCoord2D(p), m_Index(index) {}
};

class CClineDataPickupCore {
public:
  static constexpr int kLastPiece = 1;
  static constexpr int kClockwise = 2;

  double m_Rest = 0;        // length still to go to the next placed point
  double m_AnglePitch = 0;  // the pitch over the line's distance (arcs)
  double m_Pitch = 0;       // spacing of placed points

  virtual ~CClineDataPickupCore() = default;
  virtual void AddPoint(const CKelCoord2D& p) = 0;
  virtual int from_circle(int flags, CKelCoord2D* from, CKelCoord2D* to, CKelCoord2D* centre, double radius) = 0;
  virtual int from_line(int flags, CKelCoord2D* from, CKelCoord2D* to) = 0;
};

class CClineDataPickup : public CClineDataPickupCore {
public:
  // Steps one pick-up takes at most: a line of stored coordinates can be
  // any length, and past this the pick-up stops the walk (answer 1).
  static constexpr long kMaxSteps = 1L << 20;

  std::vector<CKelCoord2D> m_Points;

  // Skips a point equal to the last one placed.
  void AddPoint(const CKelCoord2D& p) override;
  // A pitch not above 1e-5, or not finite, places nothing and answers 1,
  // so that a walk ends. An arc of radius not above 1e-5 places its ends.
  // The last piece always places its end.
  int from_circle(int flags, CKelCoord2D* from, CKelCoord2D* to, CKelCoord2D* centre, double radius) override;
  int from_line(int flags, CKelCoord2D* from, CKelCoord2D* to) override;

private:
  bool PitchUsable() const;
  // Counts one step; false once kMaxSteps are spent.
  bool Step() { return ++m_Steps <= kMaxSteps; }

  long m_Steps = 0;
};

class CClineDataPickup2 : public CClineDataPickupCore {
public:
  std::vector<CCrspnt> m_Points;

  void AddPoint(const CKelCoord2D&) override {}
  int from_circle(int flags, CKelCoord2D* from, CKelCoord2D* to, CKelCoord2D* centre, double radius) override;
  int from_line(int flags, CKelCoord2D* from, CKelCoord2D* to) override;
};
