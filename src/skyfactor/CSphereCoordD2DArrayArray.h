#pragma once
// CSphereCoordD2DArrayArray: the projected outlines seen from one check
// point, for drawing and picking: the side-face outlines of every block
// rising above the check point, in block order, and the united outlines as
// polygons in the (azimuth, elevation) chart. It finds the outline point
// nearest to a drawing position, tells whether a direction is covered by a
// block, toggles angle marks on picked points and gathers the candidate
// points for angle labels.
//
// Projection: orthographic, angle step 10 degrees, the frame angle of the
// base parameters; angles in radians.

#include <vector>

#include "CKelAreaCoord2D.h"
#include "CKelCoord.h"
#include "CSphereAngleParam.h"
#include "CSphereCoordD2D.h"

class CKelBaseParam;
class CKelBlockCubeArray;

// The drawing port of the caller; passed through and never used here.
class CWindowPort {};

class CSphereCoordD2DArrayArray {
public:
  std::vector<CSphereCoordD2DArray> m_Outline;  // per block side face, block order
  std::vector<CKelAreaCoord2D> m_Area;          // united outlines, (azimuth, elevation)

  CSphereCoordD2DArrayArray() = default;
  CSphereCoordD2DArrayArray(const CSphereCoordD2DArrayArray&) = default;
  CSphereCoordD2DArrayArray& operator=(const CSphereCoordD2DArrayArray&) = default;
  virtual ~CSphereCoordD2DArrayArray() = default;

  // Rebuilds both lists for the check point chk. Stops at the first block
  // whose registration fails, keeping what was built before.
  void SetSphereCoord(const CKelBaseParam& base, const CKelBlockCubeArray& blocks, const CKelCoord3D* chk,
                      bool mirror);

  // The outline point whose disc position (turned by angle unless raw) is
  // nearest to p and closer than maxDist; out, when given, receives its
  // mark (world point moved by origin). False, out untouched, for none.
  [[nodiscard]] bool SearchPoint(CWindowPort* port, const CKelCoord2D& p, double maxDist, const CKelCoord3D& origin,
                                 bool raw, double angle, CSphereAngleParam* out) const;
  // The first outline point at disc position p (within 1e-6); a copy.
  [[nodiscard]] bool SearchPoint(const CKelCoord2D& p, CSphereCoordD2D& out) const;
  // Whether the chart point q lies inside a united outline (edges excluded).
  bool IsInArea(const CKelCoord2D& q) const;

  // Toggles the mark of the outline point at the picked world point.
  void SetAngleParam(CSphereAngleParamArray* marks, const CKelCoord3D& chk, double cosA, double sinA,
                     const CKelCoord3D& pick) const;
  // Candidate points for angle labels: outline ends at local turns not
  // covered by a block, one per azimuth, by descending azimuth.
  CSphereCoordD2DArray SearchAngleParam(CSphereAngleParamArray* marks) const;
  // Keeps the higher of two candidates at one azimuth (within 1e-6, across
  // +-pi); pt's azimuth is brought into [-pi, pi) in place.
  static void AddAngleParam(CSphereCoordD2DArray& list, std::vector<double>& keys, CSphereCoordD2D& pt, double key);
};
