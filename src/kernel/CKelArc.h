#pragma once
// A circular arc in the plan: begin, end and centre points with a sense.
// Heights ride along (begin, end and centre each keep their own z) and no
// plan computation reads them.
//
// Angles are radians. The sweep (GetAngleEx) is measured from begin to end
// in the arc's sense and lies in [0, 2 pi): begin and end in the same
// direction from the centre make a sweep of 0, never a full circle.
//
// Point-list view: index 0 = begin, 1 = centre, 2 = end. The list has a fixed
// shape, so every operation that adds or removes points is a programming
// error.

#include "CKelCoord.h"
#include "CKelObject.h"

class CDrawCore;
class CWindowPort;

class CKelArc : public CKelObject {
public:
  CKelCoord3D m_Beg;
  CKelCoord3D m_End;
  CKelCoord3D m_Center;
  bool m_bCCW = true;

  CKelArc() = default;
  CKelArc(const CKelCoord3D& beg, const CKelCoord3D& end, const CKelCoord3D& center, bool ccw);
  CKelArc(const CKelArc&) = default;
  CKelArc& operator=(const CKelArc&) = default;
  ~CKelArc() override = default;

  // --- Geometry ---
  double GetRadius() const;
  double GetBegAng() const;
  double GetEndAng() const;
  double GetAngleEx() const;
  // Orders two angles in the arc's sense: CCW and beg > end adds 2 pi to end;
  // clockwise and end > beg takes 2 pi from end.
  void AngleNormalize(double& beg, double& end) const;
  double GetArcLength() const;
  // Puts begin and end at distance r from the centre in their own directions
  // (plan only). An end on the centre has no direction and stays where it is.
  void SetRadius(double r);
  // Plan distance from p to the arc; foot (optional) gets the nearest point
  // at the centre's height.
  double GetDistance(const CKelCoord2D& p, CKelCoord3D* foot) const;

  // --- Comparison ---
  bool IsNearlyEqual(const CKelArc& other) const;
  bool operator==(const CKelArc& other) const;
  bool operator!=(const CKelArc& other) const;

  // Hands the counter-clockwise run of the arc to the drawing interface.
  void Draw(CDrawCore* draw, CWindowPort* port) const;

  // --- Point list ---
  void InsertPoint(int index, const CKelCoord3D& p) override;
  void MovePoint(int index, const CKelCoord3D& p) override;
  void SwapCoord(int i, int j) override;
  void Append(const CKelCoord3D& p) override;
  void DeletePoint(int index) override;
  CKelCoord3D GetCoord3D(int index) const override;
  int GetSize() const override;
  bool IsClosed() const override;
  void Clear() override;
  bool IsCenter(int index) const override;
  bool IsCCW() const override;
  void MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b) override;
  virtual void AddCenter(const CKelCoord3D& p);
  virtual void InsertCenter(int index, const CKelCoord3D& p);

private:
  // The counter-clockwise run: (begin, end) for a CCW arc, (end, begin) else.
  const CKelCoord3D& RunStart() const { return m_bCCW ? m_Beg : m_End; }
  const CKelCoord3D& RunEnd() const { return m_bCCW ? m_End : m_Beg; }
};
