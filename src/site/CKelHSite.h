#pragma once
// CKelHSite: the building site: a closed, counter-clockwise outline of site
// vertex records (CKelSiteTable), each carrying the edge that starts at it,
// with the site-wide zoning values and the road and crossing tables derived
// from its road edges. CKelHSiteArray: a list of sites.
//
// Vocabulary: edge i runs from vertex i to vertex i + 1 (the last to the
// first); vertex indices wrap around the outline where an operation says so.
// A road lies right of its edge, outside the site; a corner cut
// (Sumikiri) is a short edge bevelling the corner between two roads; a
// neighbour (Rinchi) edge borders another plot. Units: metres, radians.
//
// Cache: area and bounds are what SetArea and SetMaxMin last computed; the
// point-list edits leave them stale, and the road and crossing builders
// refresh the bounds before they test points against the outline.
//
// Stored data: a loaded site must hold together (every road index, edge
// number, crossing index and crossing road resolves), or it is refused.
// Selectors stored out of range are kept and read as their neutral value.
//
// Members are spread over themed sources: CKelHSite.cpp (outline and
// checks), CKelHSiteStore.cpp (stored forms), CKelHSiteRoads.cpp (road and
// crossing tables), CKelHSiteCorners.cpp (corner cuts and edge angles),
// CKelHSiteShapes.cpp (road shapes, heights and adopted roads).

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "CKelArea.h"
#include "CKelObject.h"
#include "CKelSiteTable.h"
#include "CKelVectorArray.h"
#include "CSiteRoad.h"
#include "CXYtemp2.h"
#include "KelOldSiteRecords.h"

class CKelArchiveCore;
class CKelSiteWorkOutline;

class CKelHSite : public CKelArea<CKelSiteTable>, public CKelObject {
public:
  float m_FloorAreaRatio = 0;
  float m_CoverageRatio = 0;
  std::int16_t m_DeemedRoadNo = 0;
  float m_DeemedRoadWidth = 0;
  std::int16_t m_CapacityRoadNo = 0;
  float m_CapacityRoadWidth = 0;
  float m_KanwaWidth = 0;
  float m_DefTokuteiDistance = CKelSiteTable::kDefaultTokuteiDistance;
  CSiteRoad m_Road;
  CSiteCross m_Cross;

  CKelHSite() = default;
  // One default vertex per point; area and bounds not computed.
  explicit CKelHSite(const std::vector<CKelCoord2D>& pts);
  CKelHSite(const CKelHSite&) = default;
  CKelHSite& operator=(const CKelHSite&) = default;
  // Empties vertices, roads and crossings; values back to their defaults.
  int Init();

  // --- CKelObject (points carry x and y; z reads as 0)
  int GetSize() const override { return static_cast<int>(m_pt.size()); }
  bool IsClosed() const override { return true; }
  CKelCoord3D GetCoord3D(int i) const override;
  CKelCoord3D GetFrontCoord3D() const override;
  CKelCoord3D GetBackCoord3D() const override;
  // Removes the vertices; roads and crossings stay.
  void Clear() override { m_pt.clear(); }
  // Splits edge i at p (the new vertex copies vertex i, road heights
  // interpolated); later roads are renumbered.
  void InsertPoint(int i, const CKelCoord3D& p) override;
  void MovePoint(int i, const CKelCoord3D& p) override;
  void MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b) override;
  // Removes vertex i; a road on edge i is dropped with it and every road
  // index is remapped, and the crossings are rebuilt.
  void DeletePoint(int i) override;
  void Append(const CKelCoord3D& p) override;
  // Swaps the points only; each record keeps its attributes.
  void SwapCoord(int i, int j) override;
  void MoveLine(int i, const CKelCoord2D& p);
  void MoveLine(int i, double d);

  // --- Queries
  bool IsRoad(int i) const;
  bool IsRinchi(int i) const;
  bool IsSumikiri(int i) const;
  int GetRoadShape(int i) const;
  // Height of the road centre line of edge i at the foot of p; 0.0 when i is
  // no vertex.
  double ChangeHeight(const CKelCoord2D& p, int i) const;
  // The vertex with the index wrapped once into range.
  const CKelSiteTable& Vertex(int i) const;
  int Next(int i) const;
  int Prev(int i) const;

  // --- Checks and per-edge maintenance
  // 0, or the first edge's code (that edge in *failedEdge when given): 1 a
  // bad road (no positive width, no length, widths differing by the edge's
  // length or more, or a width or height not finite), 2 a specific-road
  // distance on a road not from 6.0 to below 12.0 wide, 3 a distance
  // negative or not finite, 4 a corner cut not between two roads, kRunsBack
  // the outline running straight back over the edge before by more than its
  // tiny size. Before any edge, kNotFinite: a corner, the edge data stored
  // with it or a neighbour edge's height not finite. A survey's piece folded
  // into its neighbour (CKelSiteWorkOutline) is judged with it, and a run of
  // consecutive corner-cut edges between two roads is one corner cut. After
  // every edge, kNotALot: an outline that crosses or touches itself (within
  // a hair), encloses no area or has fewer than three corners, naming the
  // first stored edge involved (-1 with no edge).
  static constexpr int kNotFinite = 5;
  static constexpr int kRunsBack = 6;
  static constexpr int kNotALot = 7;
  [[nodiscard]] int CheckError(bool bCheckOnly, int* failedEdge = nullptr);
  // Marks (0x0100) the runs of road and corner-cut edges 2.0 or more long.
  void CheckRoadWidth();
  void SetBldBack();
  bool IsSphereParamChanged(const CKelHSite& other) const;
  std::vector<bool> GetLineCondChangeFlag(const CKelHSite& other) const;

  // --- Compares
  bool operator==(const CKelHSite& other) const;
  bool operator!=(const CKelHSite& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CKelHSite& other) const;
  bool CheckSyasenCheckCondition(const CKelHSite& other) const;
  void CompareData(const CKelHSite& other, std::vector<std::string>& lines) const;

  // --- Stored forms
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar, int reserved = 0, void* p1 = nullptr, void* p2 = nullptr);
  [[nodiscard]] bool Serialize2(CKelArchiveCore& ar);
  // Builds the outline from the old records: the vertex count stored in
  // area must fit both arrays (given with their lengths), else false and
  // nothing changes.
  [[nodiscard]] bool FromOldParam(const XY_FPAIR* pts, int ptCount, const SITECELL& cell, const SITEAREA& area,
                                  const LCONDITION* conds, int condCount, const MTG_CELL& mtg);
  std::vector<LCONDITION> GetOldLineCond() const;
  SITECELL GetOldSiteInf() const;
  MTG_CELL GetOldSiteMtg() const;

  // --- Roads and crossings
  // Both tables are built on the working outline (CKelSiteWorkOutline): a
  // survey's doubled points, notches, backtracks and noisy points move no
  // road by more than they move the outline. The road table keeps one road
  // per road edge (m_no its edge, in edge order); the corners of a frontage
  // split into pieces are those of the whole frontage.
  // A new road table from the road edges; rewrites every vertex's optno.
  CSiteRoad CalcRoadData();
  // A new crossing table; sets the roads' crossing indices and join flags.
  CSiteCross SetCrossRoad(CSiteRoad& roads);
  // 0 none, 1 r1's end meets r2's start, 2 the reverse; -1 / -2 collinear
  // with r1 / r2 first.
  int CheckNewCross(const CSiteRoadTable& r1, const CSiteRoadTable& r2) const;
  // Corner class at vertex i: -1 convex, 1 reflex, 0 straight.
  int check_point0(int i) const;
  // 0..3 from the corner classes at both ends of edge i (see CSiteRoadTable).
  int get_roadflag(int i, int* a, int* b) const;
  CKelCoord2D CalcRoadDataPrev(int i, const CKelCoord2D& farBeg, const CKelCoord2D& farEnd, const CXYtemp2& far,
                               int cls) const;
  CKelCoord2D CalcRoadDataNext(int j, const CKelCoord2D& farBeg, const CKelCoord2D& farEnd, const CXYtemp2& far,
                               int cls) const;
  // The interior angle at vertex i, in [0, 2 pi).
  double get_pointangle(int i) const;
  // Non-zero when p lies on edge i (its line and its extent).
  int check_sideline(int i, const CKelCoord2D& p) const;

  // --- Corner cuts and edge angles (read the per-edge data of m_Sphere)
  bool CheckEnableCut(int i) const;
  bool CheckEnableCut(const std::vector<int>& list) const;
  void CheckSumikiri(int i);
  void CalcBegHalfCutAngle(int i, double* c, double* s) const;
  void CalcEndHalfCutAngle(int i, double* c, double* s) const;
  void CalcEndHalfCutAngle(const CKelCoord2D& p, int i, double* c, double* s) const;
  // The same bisectors against a given neighbouring edge, for a caller that
  // reads more than corner cuts as part of the corner (a rounded corner).
  void CalcBegHalfCutAngleFrom(int prev, int i, double* c, double* s) const;
  void CalcEndHalfCutAngleTo(const CKelCoord2D& p, int i, int next, double* c, double* s) const;
  // m_EdgePos[0] of edge i, the index wrapped any number of times.
  const CKelCoord2D& EdgeStart(int i) const;
  double GetAngle(int i) const;
  double GetPrevAngle(int i) const;
  double GetNextAngle(int i) const;
  bool CheckGroupAngle(int i, double limit) const;
  bool IsCrankBeg(int i) const;
  bool IsCrankEnd(int i) const;
  CKelCoord2D GetBegC(int i) const;
  CKelCoord2D GetEndC(int i) const;
  int GetBegEdgeType(int i) const;
  int GetEndEdgeType(int i) const;

  // --- Road shapes, heights and adopted roads
  void ResetRoadCrossData();
  void ResetCrossData();
  [[nodiscard]] bool ChangeRoadStatus(CSiteRoadTable* road, int shape);
  // The site and far points of edge i's road where it runs straight on
  // past its begin (or end) vertex.
  void StraightEnd(int i, bool atBegin, CKelCoord3D& site, CKelCoord3D& far) const;
  void SetRoadHeight();
  // The begin crossing of the road after corner cut i (after its run of
  // cut edges), or of road edge i marked 0x0100; -1 when none.
  int SCrossTargetNo(int i) const;
  const CSiteCrossTable* SCrossTarget(int i) const;
  void CalcSiteMaxRoad();
  double GetBegRoadWidth(int i, int j, int withBack) const;
  double GetEndRoadWidth(int i, int j, int withBack) const;
  double GetRoadAdoptiveDistance(int i, int j, int withBack) const;
  double CalcRelAngle(int i, int reverse) const;

private:
  // Each road takes back the shape the user chose for the road of its edge
  // in old, where the road's corners still allow it.
  void KeepRoadShapes(const CSiteRoad& old);
  // The steps above on this outline as it stands, edge for edge.
  CSiteRoad BuildRoadTable();
  CSiteCross BuildCrossTable(CSiteRoad& roads);
public:
  // Both tables of a surveyed outline: corners from its runs, each piece on
  // its own line, one road per stored road edge (CKelHSiteSurvey.cpp).
  struct RoadTables {
    CSiteRoad m_Road;
    CSiteCross m_Cross;
  };

private:
  RoadTables BuildSurveyedTables(const CKelSiteWorkOutline& work) const;
  std::pair<std::size_t, std::size_t> HandOut(const CKelSiteWorkOutline& work, const CKelHSite& pieces, int p,
                                              const CSiteRoadTable& r, bool first, bool last,
                                              std::vector<CSiteRoadTable>& made) const;
  // Edge i, a corner cut, lies in a run of cut edges (and a survey's folded
  // pieces) with a road at either end.
  bool IsCutBetweenRoads(const CKelSiteWorkOutline& work, int i) const;
  // CheckError's code of edge i alone.
  int EdgeError(const CKelSiteWorkOutline& work, int i, bool bCheckOnly);
  void ReshapeRoad(CSiteRoadTable& road, int shape) const;
  CKelSiteTable& At(int i);
  void ResetToRinchi(int i);
  // The nearest edge from start, stepping by step (+1 or -1), that is not a
  // corner cut; -1 when a whole round finds none.
  int FindNonCut(int start, int step) const;
  int NonCutBefore(int i) const;
  int NonCutAfter(int i) const;
  bool HasDegenerateRoad(int i) const;
  void DropRoadOfEdge(int i);
  bool ReferencesResolve() const;
  bool SiteValuesEqual(const CKelHSite& o) const;
  void ClearCrossLinks(CSiteRoad& roads) const;
  void CrossConsecutive(CSiteRoad& roads, int k, int k2, CSiteCross& crosses) const;
  bool JoinFarSides(CSiteRoad& roads, const CSiteRoad& laid, int k, int k2) const;
  void JoinAcrossCut(CSiteRoad& roads, int k, int k2, CSiteCross& crosses) const;
  const CSiteRoadTable* RoadOf(int optno) const;
  CRoadLineParam FarSide(int i) const;
  double RoadWidthAt(int i, int j, bool atEnd, int withBack) const;
};

class CKelHSiteArray : public CKelVectorArray<CKelHSite> {
public:
  bool operator==(const CKelHSiteArray& other) const;
  bool operator!=(const CKelHSiteArray& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CKelHSiteArray& other) const;
};
