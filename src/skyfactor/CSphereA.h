#pragma once
// CSphereA: the projection of points seen from one check point onto the sky
// disc (the unit disc standing for the hemisphere above the check point:
// horizon on the unit circle, zenith at the centre).
//
// Frames: world coordinates in metres; the check point's local frame has its
// origin at the check point, x and y turned by the frame angle
// (counter-clockwise, radians), z up from the check point. Azimuths are
// atan2(Y, X) in the local frame, elevations atan2(Z, horizontal distance).
// The angle step (whole degrees) is the width of the sectors that the edge
// subdivision and Expand use; sectors start at azimuth 0.
//
// Projection kinds, r(e) being the image's distance from the centre:
//   0 stereographic  cos e / (1 + sin e)
//   1 orthographic   cos e
//   2 equidistant    2 (pi/2 - e) / pi
//   3 equisolid      sin((pi/2 - e) / 2) / sin(pi/4)
// Unmirrored, a point in the local +X direction lands on the disc's -x side;
// the mirror switch negates every projected x as the last step.
//
// Every result is finite: a point at the check point or straight above it
// projects to the centre, and a segment seen edge-on gives one of its ends.
//
// Usage: construct, set m_AngleStep, m_Kind and m_bMirror, call SetChkPnt,
// project. One instance per check point and calculation.

#include <vector>

#include "CAffine.h"
#include "CKelCoord.h"
#include "CSphereCoordD2D.h"

class CSunConst;
class CKelBaseParam;
class CKelAreaCoord3D;
class CKelBlockCoord;
class CKelBlockCoordArray;
class CKelBlockCube;
class CKelBlockCubeArray;
class CSphereBlkDataArrayNew;

// One entry of the one-degree edge subdivision.
class CSphereAWork {
public:
  // Entry kinds; kAngleLine marks an entry on an angle line.
  static constexpr int kAngleLine = 2;

  CKelCoord3DEx m_Coord;
  int m_Kind = 0;   // 0, 1 or kAngleLine
  double m_AD = 0;  // azimuth, degrees
  double m_AE = 0;  // a projected elevation, 0 for new entries
};

class CSphereA {
public:
  CAffine m_ToLocal;  // world to local
  CAffine m_ToWorld;  // local to world
  int m_AngleStep = 0;  // sector width, whole degrees
  int m_Kind = -1;      // projection kind 0..3
  // Registration without expansion (which 2 and above) puts, on the edges
  // of each block's faces and of the blocks, the line points of the
  // corners hidden just behind them (the sector method:
  // RegistSphereRatioCommon, CSphereBlkDataArrayNew::InsertChordPoints).
  bool m_bChordUnion = false;
  bool m_bMirror = false;
  bool m_bChkPnt = false;  // a check point has been set
  CKelCoord3D m_ChkPnt;    // world coordinates

  CSphereA() = default;
  CSphereA(const CSphereA&) = default;
  CSphereA& operator=(const CSphereA&) = default;
  virtual ~CSphereA() = default;

  // --- Check point
  // Sets the maps for the check point and frame angle; a null point keeps
  // the maps and the point. The result says whether a check point is set.
  bool SetChkPnt(const CKelCoord3D* pnt, double angle);
  // The world plan point in the local frame: the offset from the check
  // point first, then the turn. m_ToLocal composed into one matrix would
  // add the check point's own rounding (R v - R p): at survey coordinates
  // that is far more than a near corner's offset from a sector line.
  CKelCoord2D ToLocal(const CKelCoord2D& world) const;
  // The blocks in the local frame (plan only; heights stay world), their
  // extents and planes fitted anew.
  CKelBlockCubeArray ToLocal(const CKelBlockCubeArray& world) const;

  // --- Points
  // Azimuth and elevation of p's local point. For X < 0 the azimuth may be
  // moved across the cut at +-pi: side 1 moves a negative azimuth up by
  // 2 pi, side -1 a positive one down; other sides never move it.
  void SphereGetAngle(int side, CSphereCoordD2D* p) const;
  // SphereGetAngle, then p's disc position for m_Kind.
  void SphereAPos(int side, CSphereCoordD2D* p) const;
  // r(e) for m_Kind; the kind must be 0..3.
  double CalcRadius(double e) const;
  static double asqrt(double x);

  // --- Sun
  // The disc position of the sun at a clock time (standard time when the
  // base parameters say so); false, out untouched, while the sun is at or
  // below the horizon.
  [[nodiscard]] bool CalcSunPosition(const CKelBaseParam& base, const CSunConst& sun, double time,
                                     CKelCoord2D* out) const;

  // --- Sectors
  // Where the horizontal segment p1-p2 (local) crosses the vertical
  // half-plane at azimuth angleDeg (degrees); z and zL are 0. A segment
  // parallel to that line gives the end on the ray's side (at exactly 0 and
  // -180 degrees the ends are chosen as the stored outlines were built).
  // side does not influence the result.
  CKelCoord3DEx CalcSphereCoord(int side, const CKelCoord2D& p1, const CKelCoord2D& p2, double angleDeg) const;
  // Lowers the upper (which 0) or lower (which 1) height of the local point
  // pos to the height its sector's lower bound allows; never raises a
  // height, never lifts zL above z. Steps below 1 degree leave pos as it is.
  // Always true.
  bool Expand(CKelCoord3DEx& pos, int which) const;
  // Marks the entry within KelTol::SkyAngleLine of angle (degrees) as on an
  // angle line, or inserts a new angle-line entry in order.
  static void AddAngle(std::vector<CSphereAWork>& list, double angle, bool ascending);

  // --- Block outlines (CSphereABlock.cpp)
  // which: -1 no expansion, 0 the upper heights, 1 the lower heights, 2 and
  // above none, every point marked as an edge end. expand0 takes the
  // one-degree variant for which 0 and 1. side: +1 for a face on the local
  // +y side, -1 on the -y side (the branch of the azimuth). Nothing is
  // projected while no check point is set or the angle step is below 1.
  // An edge passing horizontally through the check point is seen edge-on
  // and projects nothing.
  //
  // The points of edge c1-c2 at azimuths a1, the multiples of step between,
  // and a2 (degrees).
  std::vector<CKelCoord3DEx> InsertAnglePoint(int side, const CSphereCoordD2D& c1, const CSphereCoordD2D& c2, double a1,
                                              double a2, int step) const;
  std::vector<CSphereAWork> InsertAnglePointExpand0(int side, const CSphereCoordD2D& c1, const CSphereCoordD2D& c2,
                                                    double a1, double a2, int mode, int step) const;
  // The outline of the side face under the block edge p1-p2 (local): 1
  // when out holds more than one point, 0 when nothing, -1 when the
  // expanded face vanishes.
  int CalcSide(const CKelBlockCoord& p1, const CKelBlockCoord& p2, int side, int which, bool expand0,
               CSphereCoordD2DArray& out) const;
  int CalcSideExpand0(const CKelBlockCoord& p1, const CKelBlockCoord& p2, int side, int which,
                      CSphereCoordD2DArray& out) const;
  // The projected polyline of one edge of a 3D face (local).
  int CalcSideArea(const CKelCoord3D& p1, const CKelCoord3D& p2, int side, CSphereCoordD2DArray& out) const;
  int CalcSideExpand0Area(const CKelCoord3D& p1, const CKelCoord3D& p2, int side, CSphereCoordD2DArray& out) const;
  // One outline per projected side face of every piece above the check
  // point (world block).
  std::vector<CSphereCoordD2DArray> GetSphereBlock(const CKelBlockCube& block, int which, bool expand0) const;
  // The same per piece above the cut; empty when a face vanished.
  std::vector<std::vector<CSphereCoordD2DArray>> GetSpherePieces(const CKelBlockCube& block, int which,
                                                                 bool expand0) const;
  // The outline of a 3D face (world); empty for an empty face or one on
  // both sides of the local x axis.
  CSphereCoordD2DArray GetSphereArea(const CKelAreaCoord3D& face, int which, bool expand0) const;
  std::vector<CSphereCoordD2DArray> GetSphereBlockArea(const CKelAreaCoord3D& face) const;
  // Registration with the union; 0, or the first non-zero code. 1 also for
  // a check point on the plan of a block rising above it, non-finite
  // coordinates, an angle step below 1, or a face without outline.
  [[nodiscard]] int RegistSphereRatio2(int which, bool expand0, const CKelCoord3D* chk,
                                       const CKelBlockCubeArray& blocks, CSphereBlkDataArrayNew& store) const;
  [[nodiscard]] int RegistSphereRatioFace(int which, bool expand0, const CKelCoord3D* chk, const CKelAreaCoord3D& face,
                                          CSphereBlkDataArrayNew& store) const;
  // chords: the outlines are drawn by the chords between their points (no
  // expansion), and their edges take the line points of the corners
  // hidden just behind them.
  [[nodiscard]] static int RegistSphereRatioCommon(const std::vector<CSphereCoordD2DArray>& outlines,
                                                   CSphereBlkDataArrayNew& store, bool chords = false);

private:
  // A local point's azimuth, moved across the cut as SphereGetAngle moves
  // it, and its horizontal distance: what the points above and below it
  // share.
  struct Bearing {
    double m_Azimuth;
    double m_Reach;
  };
  static Bearing BearingOf(int side, double x, double y);
  static void SetAngles(const Bearing& bearing, CSphereCoordD2D* p);
  // SphereAPos for the point with that bearing.
  void SetPos(const Bearing& bearing, CSphereCoordD2D* p) const;
  // The projection of a local point with the given height.
  CSphereCoordD2D Project(int side, double x, double y, double z) const;
  CSphereCoordD2D Project(const Bearing& bearing, double x, double y, double z) const;
  // The faces of a block outline already in local heights.
  [[nodiscard]] bool AppendBlockFaces(CKelBlockCoordArray local, int which, bool expand0,
                                      std::vector<CSphereCoordD2DArray>& out) const;
  bool BlockCoversCheckPoint(const CKelBlockCube& block) const;

  // The sun's disc position from the time after its clock correction.
  [[nodiscard]] bool SunPositionAtSolarTime(const CSunConst& sun, double solarTime, CKelCoord2D* out) const;
  // r of the sun for m_Kind from cos h and sin h; false for another kind.
  [[nodiscard]] bool SunRadius(double cosH, double sinH, double* rho) const;
};
