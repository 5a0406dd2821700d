#pragma once
// CSyasenCheckBlockParam: the settings and results of the slant-line
// (Syasen) check of one site edge: which edge, how the base blocks are cut
// at its two ends (m_CalcKind), the source blocks and the base blocks cut
// from them, the retaining-wall (Youheki) outlines, the check lines, the
// edge points and section lines.
//
// Vocabulary:
//   base line   the line of the checked edge the check measures from (a
//               CRoadLineParam: A -> B, unit direction (c, s), length L);
//               positions along it are t(P) = (P - A).(c, s);
//   base block  a block of the permitted volume (Syasen flag only);
//   plan block  a block of the planned building (Hikage flag only); a block
//               with both flags or neither is neither here;
//   side        of a directed line p -> q: 1 left, 2 right; a cut names the
//               side it deletes (0 none).
// Units: metres; the site's stored edge data (m_Sphere of each vertex) gives
// the reference start points and directions of the edges.
//
// Stored selectors out of range (edge index, calculation type, cut,
// base-line and check-point kinds) make no cut, no stretch and no arc.
//
// Stored forms (CSyasenCheckBlockParamRecords.cpp):
//   archive      tag from version 2; numbers, the road distances (below
//                version 16 only the first), the extras from 26 and 27, the
//                lists, the section lines from 14;
//   record 1023  written by SaveData; LoadData reads 1000 to 1023 and
//                migrates the older layouts (CSyasenCheckBlockParamLoad.cpp).
// Copies and comparisons leave m_RefPoint out; the record keeps it.

#include <cstdint>
#include <string>
#include <vector>

#include "CKelBlockCubeArray.h"
#include "CKelCoord.h"
#include "CRoadLineParam.h"
#include "CSphereRatioParam.h"
#include "CSyasenCheck.h"
#include "CSyasenCheckCalcKind.h"
#include "CSyasenCheckCpntline.h"
#include "CSyasenCheckSectionLine.h"
#include "CoordLine.h"

class CKelHSite;
class CSyasenCheckSiteRuns;

class CSyasenCheckRoadDistanceArray : public std::vector<double> {
public:
  // Appends d unless a value exactly equal to it is present.
  void Add(double d);
  // Tag from version 2, i32 count, the values.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};

class CSyasenCheckBlockParam {
public:
  // The check-point geometry the radial form cuts by: the point's position,
  // its two ray ends (taken when set) and whether the cut-off side is kept
  // after the base cuts.
  struct RadialPoint {
    CKelCoord3D m_Position;
    CKelCoord2D m_Pos1;
    CKelCoord2D m_Pos2;
    bool m_bPosSet = false;
    bool m_bBaseCut = false;
  };

  enum DATATYPE : std::int32_t { DATATYPE_AUTO = 0, DATATYPE_FREE = 1, DATATYPE_COMPOSITE = 2, DATATYPE_REDISTRICT = 3 };
  static constexpr std::int32_t kRecord = 1023;
  static constexpr std::int32_t kRecordFirst = 1000;

  // --- Members, in declaration order ---
  std::int32_t m_No = -1;
  std::int32_t m_SiteNo = 0;
  std::int32_t m_SiteNo2 = -1;
  double m_Extra1 = 0, m_Extra2 = 0, m_Extra3 = 1.0;
  std::int32_t m_ExtraNo = -1;
  CSyasenCheckRoadDistanceArray m_RoadDistance;
  double m_GrdHeight = 0;
  std::int32_t m_OptNo = -1;
  double m_Value1 = 0, m_Value2 = 0, m_Value3 = 0;
  CSyasenCheckCalcKind m_CalcKind;
  CKelBlockCubeArray m_BaseBlock;
  CSphereRatioParamArray m_SphereRatio;   // check points of the basic form
  CSphereRatioParamArray m_SphereRatio2;  // check points of the radial form
  CKelBlockCubeArray m_SrcBlock;
  CKelBlockCubeArray m_YouhekiBlock;
  CSyasenCheckCpntlineArray m_Cpntline;
  CSyasenCheckBlockEdgePointBase m_EdgePointBase;
  CSyasenCheckBlockEdgePointPlan m_EdgePointPlan;
  double m_CpntDistance = 0;
  double m_CpntPitch = 0;
  double m_GrdLevel1 = 0, m_GrdLevel2 = 0;
  CKelCoord2D m_BegPoint, m_EndPoint;
  double m_CheckLength = 0, m_CheckStart = 0, m_CheckEnd = 0;
  bool m_bFlag = false;
  CKelCoord3D m_RefPoint;
  double m_TgtPitch = 0;
  std::int32_t m_DataType = 0;
  CSyasenCheckSectionLineArray m_SectionLine;

  CSyasenCheckBlockParam() = default;
  CSyasenCheckBlockParam(const CSyasenCheckBlockParam& other);
  CSyasenCheckBlockParam& operator=(const CSyasenCheckBlockParam& other);
  ~CSyasenCheckBlockParam() = default;

  // Every member but m_RefPoint: reals exactly, the two points within
  // 2.5e-5, lists element by element.
  bool operator==(const CSyasenCheckBlockParam& other) const;
  bool operator!=(const CSyasenCheckBlockParam& other) const { return !(*this == other); }

  // --- Settings ---
  // "自動", "任意", "複合隣地", "再地区"; "不明" for any other type.
  static std::string GetDataTypeName(std::int32_t type);
  std::string GetDataTypeName() const { return GetDataTypeName(m_DataType); }
  // A pitch of exactly 0 becomes half the check-point distance.
  void GetCpntPitch();
  // The first stored edge of the run (CSyasenCheckSiteRuns) whose line
  // starts at point, a corner the survey moved by less than the site's tiny
  // size included; the stored edge before it lies in the run ending there.
  [[nodiscard]] bool SearchSiteNo(CSyasenCheck* check, const CKelHSite* site, const CKelCoord2D& point, int* no) const;

  // --- Base blocks (CSyasenCheckBlockParamBase.cpp) ---
  // The cuts and arcs that read the edges beside the checked one read the
  // site's runs (CSyasenCheckSiteRuns). Each public step below makes them for
  // its own call; the operations that repeat steps (CreateBlock1,
  // CreateBlock2, CreatePlanBlock) make them once and pass them down.

  // Each block cut by p -> q; pieces on side del dropped, a block wholly on
  // that side removed. A block the division refuses yet lying on both sides
  // is kept whole.
  static void CutBlock(CKelBlockCubeList& blocks, const CKelCoord2D& p, const CKelCoord2D& q, int del);
  void DoBegHalfCut(CSyasenCheck* check, const CKelHSite* site, CKelBlockCubeList& blocks, int edge) const;
  void DoEndHalfCut(CSyasenCheck* check, const CKelHSite* site, CKelBlockCubeList& blocks, int edge) const;
  void DoBegVertCut(CSyasenCheck* check, const CKelHSite* site, CKelBlockCubeList& blocks, int edge) const;
  void DoEndVertCut(CSyasenCheck* check, const CKelHSite* site, CKelBlockCubeList& blocks, int edge) const;
  void DoHorzCut(CSyasenCheck* check, const CKelHSite* site, CKelBlockCubeList& blocks, int edge) const;
  // The base (or, with plan, plan) blocks cut from blocks at both ends;
  // radial cuts need the check point (null: none are made).
  CKelBlockCubeArray CreateBaseBlock(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk,
                                     const CKelBlockCubeArray& blocks, bool plan, const CSphereRatioParam* cpnt);
  static RadialPoint RadialOf(const CSphereRatioParam& cpnt);
  // Retaining-wall blocks from the ground height down to bottom; empty when
  // the ground is not above either level or bottom is not below it.
  CKelBlockCubeArray CreateYouhekiBlock(double bottom) const;
  // Whether the check can be made of site: 0, or the first of
  //   kNoEdge       the checked edge (m_SiteNo) is no edge of the site, or
  //                 there is no site;
  //   kBegAfterEnd  the begin point lies past the end point along the
  //                 checked side (by more than the point band);
  //   kNotFinite    the site check's code for the same: a site corner or
  //                 the edge data stored with it, a begin or end point, the
  //                 ground height or levels, a base-line offset or the
  //                 bottom height, and with checkPoints the pitch, the
  //                 check-point distance and values or the checked range,
  //                 not finite.
  static constexpr int kNoEdge = 1;
  static constexpr int kBegAfterEnd = 2;
  static constexpr int kNotFinite = 5;
  [[nodiscard]] int CheckError(const CKelHSite* site, double bottom, bool checkPoints) const;
  // The basic form: m_BaseBlock from the source and retaining-wall blocks;
  // with bCreateChkPnt (and a driver) also the check line and m_SphereRatio.
  // Answers CheckError's code; a check it refuses makes no blocks, check
  // line or check points.
  int CreateBlock1(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, double bottom,
                   bool bCreateChkPnt = false);
  // The radial form: the check points of the checked range first, then
  // the base blocks of each in its own block list. Refuses as CreateBlock1.
  int CreateBlock2(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, double bottom);
  void CreateBlock2(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, const CKelBlockCubeArray& blocks,
                    bool plan);
  // The stretch of the radial form: [0, m_CheckLength] unless the start
  // and end name a sub-range of it.
  void GetCheckRange(double* from, double* to) const;

  // --- Check-point positions (CSyasenCheckBlockParamCpnt.cpp) ---
  // The checked stretch along CheckBaseLine's line, from its start; 1e38 /
  // -1e38 when there is none.
  void CreateChkPntPos(CSyasenCheck* check, const CKelHSite* site, double* start, double* end) const;
  // Replaces m_Cpntline by the check line over [start, end], a stretch of
  // CheckBaseLine's line: its ends are laid at their feet on the driver's
  // base line, so the driver may give the run's line or the checked stored
  // edge's own and the check points stay where they were measured.
  void CalcChkPntEx(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, double start, double end);
  [[nodiscard]] bool GetBegArcParam(CSyasenCheck* check, const CKelHSite* site, const CRoadLineParam& line, bool bisect,
                                    CKelCoord2D* out) const;
  [[nodiscard]] bool GetEndArcParam(CSyasenCheck* check, const CKelHSite* site, const CRoadLineParam& line, bool bisect,
                                    CKelCoord2D* out) const;

  // --- Plan blocks (CSyasenCheckBlockParamPlan.cpp) ---
  // mode bit 1: m_BaseBlock; bit 2: the block list of every radial check
  // point (a check point whose plan blocks changed loses its plan results).
  // True when the plan blocks changed; an empty plan removes the old ones
  // and answers false. refused, when given, is set to the number of base
  // (and retaining-wall) blocks that could not be split into convex pieces:
  // none of the plan over them became plan blocks, and the check over them
  // cannot be trusted.
  bool CreatePlanBlock(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, CKelBlockCubeArray& plan,
                       int mode, double bottom, CKelBlockCubeArray& plan2, int* refused = nullptr);
  // The steps answer the number of blocks refused, as CreatePlanBlock.
  // Each step reads one work outline of the site, and CreatePlanBlock one
  // for both.
  int CreatePlanBlock1(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, CKelBlockCubeArray& plan,
                       double bottom, CKelBlockCubeArray& plan2);
  int CreatePlanBlock2(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, CKelBlockCubeArray& plan,
                       double bottom, CKelBlockCubeArray& plan2);
  bool CreateGroupPlanBlock(CSyasenCheck* check, CKelBlockCubeArray& plan, int mode, double bottom,
                            CKelBlockCubeArray& plan2, CSyasenCheckGroupParam* group, int* refused = nullptr);
  int CreateGroupPlanBlock1(CSyasenCheck* check, CKelBlockCubeArray& plan, double bottom,
                            CKelBlockCubeArray& plan2, CSyasenCheckGroupParam* group);
  int CreateGroupPlanBlock2(CSyasenCheck* check, CKelBlockCubeArray& plan, double bottom,
                            CKelBlockCubeArray& plan2, CSyasenCheckGroupParam* group);
  static int CreatePlanBlockSub(bool withYouheki, CKelBlockCubeArray plan, const CKelBlockCubeArray& youheki,
                                CKelBlockCubeArray plan2, CKelBlockCubeArray* target, double grdHeight,
                                double bottom);
  // The parts of blocks over the base, bottoms at bottom; blocks keeps the
  // rest. Each base block is split into convex pieces as its outline stands
  // without the points a survey adds; one that cannot be split clips
  // nothing and is counted into refused (when given).
  static CKelBlockCubeArray ClipBlock(const CKelBlockCubeArray& base, CKelBlockCubeArray& blocks, double bottom,
                                      int* refused = nullptr);
  // blocks keeps the parts over the convex base (read without its survey
  // points), the rest goes to outside.
  static void ClipBlock(const CKelBlockCube* base, double bottom, CKelBlockCubeArray& blocks,
                        CKelBlockCubeArray& outside);
  static void ClearPlan(CKelBlockCubeArray& blocks, CKelBlockCubeArray* removed);
  static bool IsPlanBlockChanged(const CKelBlockCubeArray& blocks, const CKelBlockCubeArray& old);
  // The option of the checked edge's condition decides whether planned
  // blocks over the retaining walls count (no edge: they do).
  bool WithYouheki(const CKelHSite* site) const;

  // --- Edge lines (CSyasenCheckBlockParamEdge.cpp) ---
  // The distance lines of every check line (plain frame: the base line;
  // with angle: the origin and that direction, north-side lines). Only
  // while m_OptNo is negative and there are check points.
  void CreateAreaEdgeLine3(const CRoadLineParam& line, std::vector<CoordLine3D>& out, const double* angle) const;
  // Where the two rays of a radial check point first meet a vertex of its
  // base blocks (within KelTol::SlantRayCorner of the ray, taken at its foot
  // on the ray); the ray's end when none lies on it.
  void CreateAreaEdgeLine2(const CSphereRatioParam& cpnt, CKelCoord2D& out1, CKelCoord2D& out2) const;
  // The line from point to the nearest base-block side across the line
  // frame (origin, (c, s)); its foot on the base line when there is none.
  void CreateAreaEdgeLineDistance(const CKelCoord2D& origin, double c, double s, const CKelCoord3D& point,
                                  std::vector<CoordLine3D>& out) const;
  // The line to the farthest base-block vertex behind point on its cross
  // line; none when there is none.
  void CreateAreaEdgeLineDistanceNorthside(const CKelCoord2D& origin, double c, double s, const CKelCoord3D& point,
                                           std::vector<CoordLine3D>& out) const;
  // Twice-signed shoelace over outline, halved: positive counter-clockwise.
  static double CalcArea(const std::vector<CKelCoord3DEx>& outline);

  // --- Stored forms ---
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  // Fields read before a failure keep their new values.
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
  // i32 outline count; per outline an i32 point count and the points.
  [[nodiscard]] static bool SaveBlockData(CKelFileIO& f, const std::vector<std::vector<CKelCoord3DEx>>& outlines);

  // The base/plan kind as this code reads it: exactly one flag set.
  static bool IsBaseOnly(const CKelBlockCube& b) { return b.IsSyasen() && !b.IsHikage(); }
  static bool IsPlanOnly(const CKelBlockCube& b) { return b.IsHikage() && !b.IsSyasen(); }

  // The base line the check point stretch is measured along: the checked
  // edge's run's road line (its far side), else the run. Asked by the
  // driver during an operation on the same site, it reads that operation's
  // runs.
  [[nodiscard]] bool CheckBaseLine(const CKelHSite* site, CRoadLineParam& line) const;

private:
  // The runs of the operation under way (CreateBlock1, CreateBlock2,
  // CreatePlanBlock and its steps), for the driver's questions; null
  // between operations, never copied.
  mutable const CSyasenCheckSiteRuns* m_pRuns = nullptr;
  // Lends an operation's runs to the check's own questions while it lasts.
  class OperationRuns {
  public:
    OperationRuns(const CSyasenCheckBlockParam& param, const CSyasenCheckSiteRuns& runs)
        : m_Param(param), m_Before(param.m_pRuns)
    {
      m_Param.m_pRuns = &runs;
    }
    ~OperationRuns() { m_Param.m_pRuns = m_Before; }
    OperationRuns(const OperationRuns&) = delete;
    OperationRuns& operator=(const OperationRuns&) = delete;

  private:
    const CSyasenCheckBlockParam& m_Param;
    const CSyasenCheckSiteRuns* m_Before;
  };

  // One operation reads one work outline (CSyasenCheckSiteRuns): these are
  // the public steps above on the runs it made.
  [[nodiscard]] int CheckError(const CSyasenCheckSiteRuns& runs, double bottom, bool checkPoints) const;
  [[nodiscard]] bool CheckBaseLine(const CSyasenCheckSiteRuns& runs, CRoadLineParam& line) const;
  void CreateChkPntPos(const CSyasenCheckSiteRuns& runs, double* start, double* end) const;
  // The steps above on runs made by the operation that calls them.
  void DoBegHalfCut(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks, int edge) const;
  void DoEndHalfCut(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks, int edge) const;
  void DoBegVertCut(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks, int edge) const;
  void DoEndVertCut(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks, int edge) const;
  void DoHorzCut(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks, int edge) const;
  [[nodiscard]] bool SearchSiteNo(const CSyasenCheckSiteRuns& runs, const CKelCoord2D& point, int* no) const;
  // dropped: the radial form's blocks already read without their survey
  // points (done once for all check points).
  CKelBlockCubeArray CreateBaseBlock(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk,
                                     const CKelBlockCubeArray& blocks, bool plan, const CSphereRatioParam* cpnt,
                                     const CSyasenCheckSiteRuns& runs, bool dropped = false);
  void CreateBlock2(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, const CKelBlockCubeArray& blocks,
                    bool plan, const CSyasenCheckSiteRuns& runs);
  int CreatePlanBlock1(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, CKelBlockCubeArray& plan,
                       double bottom, CKelBlockCubeArray& plan2, const CSyasenCheckSiteRuns& runs);
  int CreatePlanBlock2(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, CKelBlockCubeArray& plan,
                       double bottom, CKelBlockCubeArray& plan2, const CSyasenCheckSiteRuns& runs);
  void CalcChkPntEx(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, double start, double end,
                    const CSyasenCheckSiteRuns& runs);
  [[nodiscard]] bool GetBegArcParam(const CSyasenCheckSiteRuns& runs, const CRoadLineParam& line, bool bisect,
                                    CKelCoord2D* out) const;
  [[nodiscard]] bool GetEndArcParam(const CSyasenCheckSiteRuns& runs, const CRoadLineParam& line, bool bisect,
                                    CKelCoord2D* out) const;
  CKelBlockCubeArray CreateBaseBlockSub(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk,
                                        const CKelBlockCubeArray& blocks, bool plan, const RadialPoint* cpnt,
                                        const CSyasenCheckSiteRuns& runs, bool dropped);
  [[nodiscard]] bool LoadRecord(CKelFileIO& f, int* budget);
  [[nodiscard]] bool LoadHead(CKelFileIO& f, int* budget, std::int32_t record);
  [[nodiscard]] bool LoadCalcKind(CKelFileIO& f, int* budget, std::int32_t record);
  [[nodiscard]] bool LoadCheckPoints(CKelFileIO& f, int* budget, std::int32_t record);
  [[nodiscard]] bool LoadOldCheckPoint(CKelFileIO& f, int* budget, std::int32_t record, CSphereRatioParam& cpnt);
  [[nodiscard]] bool LoadBlocks(CKelFileIO& f, int* budget, std::int32_t record);
  [[nodiscard]] bool LoadTail(CKelFileIO& f, int* budget, std::int32_t record);
  void CopyFrom(const CSyasenCheckBlockParam& other);
  void LayCheckPoints(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, double start, double end,
                      CSphereRatioParamArray& points, const CSyasenCheckSiteRuns& runs);
  bool ValidEdge(const CKelHSite* site, int edge) const;
  void ClearResults(CSphereRatioParamArray& points);
  [[nodiscard]] bool BaseLine(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, CRoadLineParam& line);
  void CutBegin(CSyasenCheck* check, const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks,
                const RadialPoint* cpnt) const;
  void CutEnd(CSyasenCheck* check, const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks,
              const RadialPoint* cpnt) const;
  void CutBegBase(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks, const CRoadLineParam* line,
                  const RadialPoint* cpnt) const;
  void CutEndBase(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks, const CRoadLineParam* line,
                  const RadialPoint* cpnt) const;
  void CutRadial(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks, const CKelCoord2D& p,
                 const RadialPoint& cpnt, int takenSide) const;
};

// The checks of one site with their archive form and the callbacks of the
// block file (the list behind an untyped pointer, a second pointer unused).
class CSyasenCheckBlockParamArray : public std::vector<CSyasenCheckBlockParam> {
public:
  // The number of automatic checks (data type 0).
  int GetCurrentAutoBlockSize() const;
  // A count the archive cannot hold is refused before the list grows.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  // i32 count, each record with m_No its position; true only when the size
  // is used up exactly. The list is replaced by fresh records.
  [[nodiscard]] static bool ReadData(CKelFileIO& f, int size, void* list, void*);
  [[nodiscard]] static bool ReadData2(CKelFileIO& f, int size, void* list, void*);
  [[nodiscard]] static bool SaveData(CKelFileIO& f, void* list, void*);
};
