#pragma once
// A building block: a vertical prism over a closed plan outline whose
// vertices each carry a top height and, for a block with its own bottom
// (Tyuku), a bottom height. Top and bottom may be level or sloped; each is
// also held as a plane A x + B y + C z + D = 0 (all four 0 while unset).
//
// Outline: counter-clockwise after SetMinMax; the closing edge runs from the
// last vertex to the first. Metres; areas in square metres.
// Kinds: a base block (Syasen = slant line) has m_bSyasen set and m_bHikage
// clear, a plan block (Hikage = shadow) the reverse. A new block has both.
// Profiles: heights refer to m_pPrfPlanParam (not owned, may be null) item
// PpNo; a missing or unusable item means floor 0 and offset = height.
// Planes: an operation that needs a plane height where the plane's C is 0
// (unset or vertical) uses height 0; the Check_CalcZ* family answers
// kNoPlaneHeight instead, which no vertex lies near.
//
// Stored forms (CKelBlockCubeRecords.cpp):
//   archive      tag "CKelBlockCube" from version 2; m_Work; the planes, the
//                extents and m_Menseki; PpNo; the eight flags; the outline.
//                Loading replaces the stored extents and area by SetMinMax's.
//   record 1002  122 bytes plus 60 per vertex (1000 and 1001 are read too).
//   old record   BldIndexTag.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <vector>

#include "CKelAreaCoord2D.h"
#include "CKelAreaCoord3D.h"
#include "CKelBlockCoord.h"
#include "CKelObject.h"
#include "CPrfPlanParam.h"
#include "KelBlockOldRecords.h"
#include "KelTolerance.h"

class CKelArchiveCore;
class CKelFileIO;
class CKelBlockCube;
class CKelBlockCubeArray;

using CKelBlockCubeList = std::vector<CKelBlockCube>;

// The switches of a block selection; 0 off, anything else on.
struct CBlockSelectParam {
  std::int32_t m_nReserved = 0;   // not consulted
  std::int32_t m_nNoBottom = 0;   // blocks without their own bottom
  std::int32_t m_nTyuku = 0;      // blocks with their own bottom
  std::int32_t m_nSlope = 0;      // a sloped top or bottom
  std::int32_t m_nMark = 0;       // marked blocks
  std::int32_t m_nError = 0;      // blocks flagged as erroneous
  std::int32_t m_nNoKind = 0;     // neither base nor plan flag
  std::int32_t m_nHikage = 0;     // plan flag only
  std::int32_t m_nSyasen = 0;     // base flag only
  std::int32_t m_nBothKinds = 0;  // both flags
};

class CKelBlockCube : public CKelObject {
public:
  static constexpr int kRecordNo = 1002;
  static constexpr int kRecordNoNoPlanes = 1000;
  static constexpr int kRecordNoOldPlanes = 1001;
  static constexpr double kNoPlaneHeight = DBL_MAX;

  // --- Fields, in stored order ------------------------------------------------
  std::int32_t m_Work = 0;  // a work value of the caller
  std::int32_t m_No = -1;   // copied, never compared or stored
  CKelBlockCoordArray m_Coord;
  std::uint32_t m_Value = 0;  // compared, never stored
  CPrfPlanParam* m_pPrfPlanParam = nullptr;

  CKelBlockCube() = default;
  CKelBlockCube(const CKelBlockCube&) = default;
  CKelBlockCube& operator=(const CKelBlockCube&) = default;
  CKelBlockCube(CKelBlockCube&&) = default;
  CKelBlockCube& operator=(CKelBlockCube&&) = default;
  ~CKelBlockCube() override = default;

  // --- Accessors ----------------------------------------------------------------
  double XMin() const { return m_XMin; }
  double XMax() const { return m_XMax; }
  double YMin() const { return m_YMin; }
  double YMax() const { return m_YMax; }
  double Menseki() const { return m_Menseki; }
  int PpNo() const { return m_PpNo; }
  void SetXMin(double v) { m_XMin = v; }
  void SetXMax(double v) { m_XMax = v; }
  void SetYMin(double v) { m_YMin = v; }
  void SetYMax(double v) { m_YMax = v; }
  double Cx() const { return (m_XMin + m_XMax) * 0.5; }
  double Cy() const { return (m_YMin + m_YMax) * 0.5; }
  double Wx() const { return m_XMax - m_XMin; }
  double Wy() const { return m_YMax - m_YMin; }
  void SetWork(int work) { m_Work = work; }

  bool IsMark() const { return m_bMark; }
  bool IsTyuku() const { return m_bTyuku; }
  bool IsTopSlope() const { return m_bTopSlope; }
  bool IsBotSlope() const { return m_bBotSlope; }
  bool IsShow() const { return m_bShow; }
  bool IsError() const { return m_bError; }
  bool IsHikage() const { return m_bHikage; }
  bool IsSyasen() const { return m_bSyasen; }
  void SetMark(bool v) { m_bMark = v; }
  void SetShow(bool v) { m_bShow = v; }
  void SetError(bool v) { m_bError = v; }
  void SetHikage(bool v) { m_bHikage = v; }
  void SetSyasen(bool v) { m_bSyasen = v; }
  void SetBaseBlock();
  void SetPlanBlock();
  // False for a block with both or neither kind flag (stored flags can say so).
  bool IsBaseBlock() const;
  bool IsPlanBlock() const;
  // m_bSyasen + 2 x m_bHikage; m_bTopSlope + 2 x m_bBotSlope.
  int AttrType() const;
  int KeisyaMode() const;

  // --- Planes -----------------------------------------------------------------------
  double PlaneA(bool bottom) const { return Plane(bottom)[0]; }
  double PlaneB(bool bottom) const { return Plane(bottom)[1]; }
  double PlaneC(bool bottom) const { return Plane(bottom)[2]; }
  double PlaneD(bool bottom) const { return Plane(bottom)[3]; }
  void SetTopPlaneParam(double a, double b, double c, double d);
  void SetBotPlaneParam(double a, double b, double c, double d);
  // Any of the four coefficients not 0.
  bool IsPlaneEuqationSet(bool bottom) const;
  // True when both planes are set or the outline has fewer than 3 vertices.
  bool CheckPlaneParameter() const;
  // Fits the top (false) or bottom (true) plane through the vertices (Newell
  // normal, D through the last vertex); false (plane 0) when the heights
  // give no normal. Fewer than 3 vertices: plane 0 and true.
  bool GetPlaneEquation(bool bottom);
  // The plane's height at p; kNoPlaneHeight where C is 0.
  double Check_CalcZH(const CKelCoord2D& p) const;
  double Check_CalcZL(const CKelCoord2D& p) const;
  static double Check_CalcZ(const CKelCoord2D& p, double A, double B, double C, double D);
  // The top plane's height at p; 0 where C is 0.
  double GetSlopeZH(const CKelCoord2D& p) const;

  // --- Outline ----------------------------------------------------------------------
  int NextPos(int i) const;
  int PrevPos(int i) const;
  // One wrap: i + count for i < 0, i - count for i >= count.
  int GetNextNo(int i) const;
  static double CalcArea(const CKelBlockCoordArray& vertices);
  double CalcArea() const { return CalcArea(m_Coord); }
  // Precondition for these four: 0 <= PntNo < vertex count.
  void SetX(int PntNo, double x);
  void SetY(int PntNo, double y);
  void SetCoord(int PntNo, const CKelBlockCoord& c);
  void Erase(int PntNo);
  // Appends a copy of c as it is.
  void Append(const CKelBlockCoord& c);

  // --- Heights (the current profile item) ----------------------------------------------
  void SetZH(const CPrfPlanParam* prof, double z);
  void SetZL(const CPrfPlanParam* prof, double zL);
  void SetFlrH(const CPrfPlanParam* prof, int flr);
  void SetFlrL(const CPrfPlanParam* prof, int flr);
  void SetOffH(double off);
  void SetOffL(double off);
  // The first vertex's values (0 for no vertices). Top ones need a level
  // top, bottom ones a level bottom.
  double ZH() const;
  int FlrH() const;
  double OffH() const;
  double ZL() const;
  int FlrL() const;
  double OffL() const;
  // The first vertex's top for a level top, else the largest top.
  double ZMax() const;
  // Mode 0 re-splits the heights, mode 1 recomputes them from floor and
  // offset, any other mode only sets PpNo.
  void SetPpNo(const CPrfPlanParam* prof, int ppNo, int mode);

  // --- Flags from the vertices ----------------------------------------------------------
  // Clearing the own bottom zeroes every bottom height, floor and offset.
  void SetType(bool tyuku);
  // All three shape flags derived from the heights.
  void SetType();
  // Whether vertices give a block its own bottom, as SetType() decides it.
  // A bottom height that is not a number is kept for the block check to
  // refuse, never read as ground level.
  template <class Ring>
  static bool HasOwnBottom(const Ring& vertices)
  {
    return std::any_of(vertices.begin(), vertices.end(),
                       [](const CKelCoord3DEx& c) { return !(std::fabs(c.m_zL) < KelTol::BlockPoint); });
  }
  void SetTopSlope(bool slope);
  void SetBotSlope(bool slope);
  void CheckSlope();

  // --- Shape ----------------------------------------------------------------------------
  // Area and extents from the vertices, reversing a clockwise outline (whole
  // vertices, walls included).
  void SetMinMax();
  // Reflex vertices of the counter-clockwise outline, ascending.
  std::vector<int> IsOukata() const;
  // Removes the points a survey adds to the outline (vertices within
  // KelTol::BlockSurveyPoint of the segment between their neighbours: a
  // doubled point, a point splitting an edge, a millimetre notch's corners),
  // the one that moves the area least first; area and extents follow. An
  // outline without such points is left as it is. True when any went.
  bool DropSurveyPoints();
  // Inserts c after vertex pos, its heights interpolated along the edge (the
  // start vertex's heights on an edge of length 0).
  void InsertCoord(const CPrfPlanItem* item, int pos, CKelBlockCoord c);
  // The top heights as a counter-clockwise polygon carrying the top plane.
  CKelAreaCoord3D ToArea() const;
  CKelAreaCoord2D ToArea2D() const;
  // A plain outline from the polygon: all heights 0, planes fitted.
  void FromArea(const CKelAreaCoord2D& area);
  void MoveFaceZ(double dz);
  void MoveFaceZL(double dz);
  // Moves edge i -> NextPos(i) parallel to itself through p, or by d along
  // its left normal; both ends take their heights from the planes.
  void MoveLine(int i, const CKelCoord3D& p);
  void MoveLine(int i, double d);
  // The vertex where a -> b meets height 0 (by the top heights); a's plan
  // point when both are level.
  static CKelBlockCoord SSBCutZ2(const CKelBlockCoord& a, const CKelBlockCoord& b);

  // --- Checks ----------------------------------------------------------------------------
  // Every vertex's top (bottom) within KelTol::BlockPlaneFit of the plane.
  bool Check_SBlockChkPlane(bool bottom, double A, double B, double C, double D) const;
  // Refits the sloped planes: 1 when the top (or the sloped bottom) fails to
  // fit, -1 when the bottom vertices leave the bottom plane, else 0.
  int Check_PlaneStat();
  // 2 when some top lies below its bottom by KelTol::BlockPoint or more.
  int Check_ChukuBlock() const;
  // 16 for a top below a bottom, plus 256 (top plane) or 384 (bottom plane).
  int Check_block_status();

  // --- Selection (a null parameter passes) -------------------------------------------------
  bool Select_CheckBuildType(const CBlockSelectParam* p) const;
  bool Select_CheckMode(const CBlockSelectParam* p) const;
  bool Select_SetShow(const CBlockSelectParam* p);

  // --- Compares ----------------------------------------------------------------------------
  // PpNo, flags, m_Value and the vertices; not planes, extents or area.
  bool operator==(const CKelBlockCube& other) const;
  bool operator!=(const CKelBlockCube& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CKelBlockCube& other) const;

  // --- CKelObject ----------------------------------------------------------------------------
  // New vertices take their heights from the planes; p's z is not used.
  void InsertPoint(int i, const CKelCoord3D& p) override;
  void MovePoint(int i, const CKelCoord3D& p) override;
  void SwapCoord(int i, int j) override;
  void Append(const CKelCoord3D& p) override;
  void DeletePoint(int i) override;
  // Any index, wrapped into the outline; precondition: not empty.
  CKelCoord3D GetCoord3D(int i) const override;
  CKelCoord3D GetFrontCoord3D() const override;
  CKelCoord3D GetBackCoord3D() const override;
  int GetSize() const override { return static_cast<int>(m_Coord.size()); }
  bool IsClosed() const override { return true; }
  // Planes 0, no vertices, m_No -1.
  void Clear() override;
  // Adds (a - b) in plan to every vertex, then refits both planes.
  void MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b) override;

  // --- Division by a line (CKelBlockCubeDivide.cpp) ----------------------------------------
  // The sides of a directed line p1 -> p2: DEL_TOP its left, DEL_BOT its
  // right. As a mask it names the side whose pieces are discarded.
  enum DELETEMASK { DEL_NONE = 0, DEL_TOP = 1, DEL_BOT = 2 };
  // No plane can be used and nothing divided: too few vertices, unset planes
  // or a stored area not above KelTol::BlockMinArea.
  bool IsDegenerate() const;
  // Appends to out (empty on entry) the pieces of the block on either side of
  // the line, those of the side named by mask left out; each a copy of the
  // block with its own counter-clockwise outline, area and extents. Crossing
  // vertices take heights interpolated along their edge, split by prf's
  // profile PpNo (prf may be null). True when the line met the outline at two
  // or more positions and the piece search finished; false with out empty
  // otherwise (also for a degenerate block, a line of no length, or a
  // self-crossing outline). The block is not changed.
  //
  // How the piece search weighs a chain that a chord closes: kModel takes an
  // area within KelTol::BlockAreaSign as none and drops the chain, so a
  // sliver of up to 1e-6 m² beside the line is lost; kKeepSlivers gives a
  // chain with a vertex off the line the sign of its area however small, so
  // nothing further than KelTol::BlockPoint from the line is lost (the sky
  // factor, where a sliver's share of the sky counts).
  enum class ChainArea { kModel, kKeepSlivers };
  [[nodiscard]] bool Divide(const CPrfPlanParam* prf, CKelCoord2D p1, CKelCoord2D p2, CKelBlockCubeList& out, int mask,
                            ChainArea chains = ChainArea::kModel) const;
  // The sides of p1 -> p2 the vertices occupy (within KelTol::BlockPoint of
  // the line counts as on it): 0, DEL_TOP, DEL_BOT, or both bits.
  int WhitchSide(CKelCoord2D p1, CKelCoord2D p2) const;
  // Removes repeated consecutive vertices, the closing pair included.
  void EraseSamePoint();
  // Inserts x into the ascending list unless it holds exactly x.
  static void DivideAddXpos(std::vector<double>& xpos, double x);
  // The first vertex exactly on the line (v == 0.0) at position x; -1.
  static int DividSearch(const CKelBlockCoordArray& coords, double x);
  // Replaces the outline by a copy of coords.
  void Replace(const CKelBlockCoordArray& coords);

  // --- Outline checks and clean-up (CKelBlockCubeOutline.cpp) --------------------------------
  // Removes vertices within KelTol::Collinear of their neighbours' line (and
  // those whose neighbours coincide); true when some vertex went.
  bool DeleteOnLine();
  // No two vertices (any pair) coincide.
  bool CheckSameCoord() const;
  // No vertex coincides with its successor.
  bool CheckSamePoint() const;
  // q1-q2 against p1-p2, strict: meetings within KelTol::BlockPoint of p1 or
  // p2 do not count; a collinear q counts when an end lies inside p1-p2.
  static bool IsLineCrossed(const CKelCoord2D& p1, const CKelCoord2D& p2, const CKelCoord2D& q1,
                            const CKelCoord2D& q2, CKelCoord2D* unused = nullptr);
  // No edge but the one starting at skip crosses p1-p2 (IsLineCrossed).
  bool CheckCross(const CKelCoord2D& p1, const CKelCoord2D& p2, int skip, int unused = 0) const;
  // No edge crosses another.
  bool CheckCross() const;
  // The closed variant with KelTol::BlockAreaSign: an end of q on the inside
  // of p1-p2 counts, a meeting at p1 or p2 does not.
  static bool IsLineCrossed2(const CKelCoord2D& p1, const CKelCoord2D& p2, const CKelCoord2D& q1,
                             const CKelCoord2D& q2, CKelCoord2D* unused = nullptr);
  // No vertex but skip1 and skip2 lies inside p1-p2, no edge but the one
  // starting at skip1 starts at p1 or crosses it (IsLineCrossed2).
  bool CheckCross2(const CKelCoord2D& p1, const CKelCoord2D& p2, int skip1, int skip2) const;
  bool CheckCross2() const;
  // The crossing of the lines through (x1, y1)-(x2, y2) and (x3, y3)-(x4, y4);
  // false, outputs untouched, for parallel lines. Either output may be null.
  [[nodiscard]] static bool CalCrossPoint(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                                          double y4, double* x, double* y);
  // p within KelTol::BlockOnEdge of segment a-b.
  static bool OnLinePoint(const CKelCoord2D& p, const CKelCoord2D& a, const CKelCoord2D& b);
  // 1 inside, 0 outside, -1 within KelTol::BlockOnEdge of the outline; the
  // stored extents reject first.
  int InArea(const CKelCoord2D& p) const;

  // --- Cutting by planes (CKelBlockCubeCutPlane.cpp) ----------------------------------------------
  // A cutting plane A x + B y + C z + D = 0 with C not 0; prf may be null and
  // supplies the profile PpNo for the heights written. A degenerate block is
  // not cut: the list cuts answer a copy of it, the others nothing.
  // Divides along the line where the plane meets the top (or bottom) face.
  void CutByPlane2(const CPrfPlanParam* prf, double A, double B, double C, double D, bool top,
                   CKelBlockCubeList& out) const;
  // The parts below (lower) or above the plane, clipped to it.
  void CutByPlane1(const CPrfPlanParam* prf, double A, double B, double C, double D, bool lower,
                   CKelBlockCubeList& out) const;
  // Divides along the line where the two top planes meet; false when they
  // are parallel or the line misses the block.
  [[nodiscard]] bool CutCrossLine(const CPrfPlanParam* prf, const CKelBlockCube* other, CKelBlockCubeList& out) const;
  // Divides a sloped top (bottom) where it crosses the level h; out is
  // emptied first. Pieces lying above or below are dropped as asked.
  void CutTopSlope(const CPrfPlanParam* prf, double h, CKelBlockCubeList& out, bool dropUpper, bool dropLower) const;
  void CutBotSlope(const CPrfPlanParam* prf, double h, CKelBlockCubeList& out, bool dropUpper, bool dropLower) const;
  // The parts above and below the level h, for the blocks taken from the last
  // to the first each upper part before its lower part.
  CKelBlockCubeList CutBlock(const CPrfPlanParam* prf, double h, bool dropUpper, bool dropLower) const;
  CKelBlockCubeList GetCutHorzPlane(const CPrfPlanParam* prf, bool dropUpper, bool dropLower, double h) const;
  // As CutBlock with the coarser KelTol::BlockLevelCut.
  CKelBlockCubeList CutPlaneBlock(const CPrfPlanParam* prf, double h, int dropUpper, int dropLower) const;

  // --- Cutting by slopes, convex pieces, merging (CKelBlockCubeCutSlope.cpp) ---------------------
  // With exactly three points: the tops onto their plane, bottoms to a
  // negative bottom; both planes refitted. Other counts change nothing.
  void CutSlopeOneBlock(const CPrfPlanItem* item, const std::vector<CKelCoord3D>& pts, double bottom);
  // Four points p0..p3: the surface folded along p0-p3 (p1 right of it, p2
  // left); three: one plane; other counts: a plain copy. Above a positive
  // limit height + offset everything is cut away.
  CKelBlockCubeList CutSyasenSlope(const CPrfPlanParam* prf, const std::vector<CKelCoord3D>& pts, double bottom,
                                   double limit, double offset) const;
  // Appends convex pieces cut along diagonals from reflex vertices; false
  // (out unchanged) when no such cut is found within n^2 diagonal trials.
  [[nodiscard]] bool CutBlock(const CPrfPlanParam* prf, CKelBlockCubeList& out, int depth) const;
  // The vertices seen from reflex vertex r inside its reflex angle, in order.
  std::vector<int> CutBlockSearchNearistPoint(const CPrfPlanParam* prf, int r) const;
  // Where the bisector of vertex r's inner angle first meets the outline:
  // the end index of the edge hit, hit filled; -1 when nothing is hit.
  int CutBlockSearchNextPoint(const CPrfPlanParam* prf, int r, CKelBlockCoord& hit) const;
  // Takes over the other's tops when both outlines and tops agree.
  [[nodiscard]] bool MergeBlock(const CKelBlockCube& other);

  // --- Site containment (CKelBlockCubeSite.cpp) ----------------------------------------------------
  // The site is read as its points (GetSize, GetCoord3D), closed from the
  // last back to the first; a null site contains nothing.
  // Validates the block into m_Value's check bits (1 top below bottom, 2 a
  // plane fit, also for a vertex or plane not finite, 4 coinciding vertices,
  // 8 self-crossing, 16 outside the site, consulted for base blocks and when
  // checkSite) and m_bError; answers it.
  bool CheckBlock3(const CKelObject* site, bool checkSite);
  // Every vertex inside or on the site, no edge crossing a site edge.
  bool CheckInSite(const CKelObject* site) const;
  // For a base block every vertex inside or on the site; true otherwise.
  bool CheckInSiteSyasenBlock(const CKelObject* site) const;
  // Every vertex of other strictly inside this outline and between its
  // planes within KelTol::BlockPlaneFit; false for a degenerate block.
  bool IsInsideBlock(const CKelBlockCube& other) const;

  // --- Solid subtraction (CKelBlockCubeSolid.cpp) --------------------------------------------
  // The parts of set inside other's plan that rise above other's top are
  // removed (SubBlock) or lowered onto it (SubBlock2); true when set changed.
  // A piece still lying on both sides of the top stays as it is; SubBlock2
  // erases a piece whose lowered top is nowhere above its own bottom by more
  // than KelTol::BlockPlaneFit. Neither this block nor a profile is used.
  bool SubBlock(CKelBlockCubeArray& set, const CKelBlockCube& other) const;
  bool SubBlock2(CKelBlockCubeArray& set, const CKelBlockCube& other) const;
  // This block clipped under the tops of the other blocks.
  CKelBlockCubeArray SolidSubBlock(const CKelBlockCubeArray& others) const;
  CKelBlockCubeArray SolidSubBlock2(const CKelBlockCubeArray& others) const;

  // --- Stored forms (CKelBlockCubeRecords.cpp) ------------------------------------------------
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
  // The index record, first-point index 0.
  BldIndexTag OldIndex() const;

private:
  double m_Top[4] = {0, 0, 0, 0};  // A, B, C, D
  double m_Bot[4] = {0, 0, 0, 0};
  double m_XMax = 0;
  double m_XMin = 0;
  double m_YMax = 0;
  double m_YMin = 0;
  double m_Menseki = 0;
  std::int16_t m_PpNo = 0;
  bool m_bMark = false;
  bool m_bTyuku = false;
  bool m_bTopSlope = false;
  bool m_bBotSlope = false;
  bool m_bShow = true;
  bool m_bError = false;
  bool m_bHikage = true;
  bool m_bSyasen = true;

  const double* Plane(bool bottom) const { return bottom ? m_Bot : m_Top; }
  const CPrfPlanItem* CurrentItem() const;
  static const CPrfPlanItem* ItemOf(const CPrfPlanParam* prof, int ppNo);
  // The plane's height at p, 0 where C is 0.
  double PlaneHeight(bool bottom, const CKelCoord2D& p) const;
  // A vertex at p's plan point with both heights from the planes.
  CKelBlockCoord VertexOnPlanes(const CKelCoord2D& p) const;
  void PlaceOnPlanes(CKelBlockCoord& c) const;
  void MoveEdge(int i, const CKelCoord2D& a, const CKelCoord2D& b);
  bool HeightsDiffer(bool bottom) const;
  [[nodiscard]] bool SerializeFields(CKelArchiveCore& ar);
  [[nodiscard]] bool LoadPlanes(CKelFileIO& f, int* budget, int recordNo);
  std::uint8_t FlagBits(int index) const;
  bool* FlagAt(int index);
  // Division and cutting helpers.
  enum class [[nodiscard]] SearchEnd { kDone, kBroken };
  // The piece search over the frame outline (on-line vertices snapped).
  SearchEnd DividSub(const CKelBlockCoordArray& coords, CKelBlockCubeList& out, bool* done,
                     ChainArea chains) const;
  // The search on the piece made of coords' vertices at the chain's indices,
  // with the positions up to *lower (null: none) already taken.
  SearchEnd DividSub(const CKelBlockCoordArray& coords, const std::vector<int>& chain, const double* lower,
                     CKelBlockCubeList& out, bool* done, ChainArea chains) const;
  [[nodiscard]] bool EmitPiece(CKelBlockCoordArray coords, bool eraseSame, CKelBlockCubeList& out) const;
  [[nodiscard]] bool ConvexSplit(const CPrfPlanParam* prf, CKelBlockCubeList& out, int depth, long long& budget,
                                 bool checked) const;
  void CutAtLevel(const CPrfPlanParam* prf, double h, bool bottom, CKelBlockCubeList& out, bool dropUpper,
                  bool dropLower) const;
  bool ClipUnder(CKelBlockCubeArray& set, const CKelBlockCube& other, bool lower) const;
  CKelBlockCubeArray SolidClip(const CKelBlockCubeArray& others, bool lower) const;
};
