#pragma once
// CSphereBlkDataArrayNew: the union of the projected block outlines seen from
// one check point, and the preparation of its boundaries for the sky shares.
//
// Pipeline (CalcRatio): the registered outlines are cut at their mutual
// contacts, edges inside another outline or shared with one in the opposite
// direction are dropped, the rest is chained into closed boundaries, and
// each boundary becomes a sphere block parameter. CalcSansya then merges or
// drops holes (or, two-sided, takes the regions between the blocks' upper
// boundary and the zenith), divides the parameters into triangles and lifts
// the triangles whose base matches an expand line.
//
// Chart: the union works in the (azimuth, elevation) chart of the pool
// points; disc positions are set when a boundary is registered. Expand lines
// and triangles use disc positions.
//
// Results: 0 success; kCancelled 1 (a cancel, a failed phase, or a broken
// boundary that the parameters cannot carry); kDivisionFailed 5;
// kOpenChain 6. Boundaries that touch (a chain end continued twice after
// the retry) are traced apart where they touch; kAmbiguous 4 is the code of
// a block's outline that cannot be traced (CSpherePolyLineArray::Create2).
//
// Progress: a null progress shows nothing and cannot cancel.

#include <vector>

#include "CKelCoord.h"
#include "CSphereCoordD2D.h"
#include "CSpherePolyArea.h"
#include "CSpherePolyLine.h"
#include "CSphereRatioBlockParam.h"

class CKelProgressCore;
class CCrspnt;

// A point of kind 2 of a boundary (m_Mid) with the nearest points of kind 1
// before and after it; disc positions.
class CSphereExpandLine {
public:
  CKelCoord2D m_Prev;
  CKelCoord2D m_Mid;
  CKelCoord2D m_Next;

  CSphereExpandLine() = default;
  CSphereExpandLine(const CKelCoord2D& prev, const CKelCoord2D& mid, const CKelCoord2D& next)
      : m_Prev(prev), m_Mid(mid), m_Next(next)
  {
  }
  CSphereExpandLine(const CSphereExpandLine&) = default;
  CSphereExpandLine& operator=(const CSphereExpandLine&) = default;
  virtual ~CSphereExpandLine() = default;
};

class CSphereExpandLineArray : public std::vector<CSphereExpandLine> {};

// One candidate bridge from an enclosing parameter to a hole.
struct SphereRatioBlockWorkParam {
  int m_Dst = -1;
  int m_Src = -1;
  double m_Dist = 1e38;
  int m_DstIdx = -1;
  int m_SrcIdx = -1;
};

class CSphereBlkDataArrayNew {
public:
  static constexpr int kDone = 0;
  static constexpr int kCancelled = 1;
  static constexpr int kAmbiguous = 4;
  static constexpr int kDivisionFailed = 5;
  static constexpr int kOpenChain = 6;

  CSpherePolyCoordArray m_PolyCoord;
  CSpherePolyAreaArray m_PolyArea;
  CSphereBlkDataLineArrayArray m_BlkLine;
  CSphereExpandLineArray m_ExpandLine;

  CSphereBlkDataArrayNew() = default;
  CSphereBlkDataArrayNew(const CSphereBlkDataArrayNew& other);
  CSphereBlkDataArrayNew& operator=(const CSphereBlkDataArrayNew& other);
  virtual ~CSphereBlkDataArrayNew() = default;

  // --- Registration
  void AddPolyLine(const CSpherePolyLineArray& lines);
  // Whether an outline added earlier passes pool point at between the
  // chart positions prev and next, so that a path from prev through the
  // point to next crosses it there.
  bool CrossesAt(int at, const CKelCoord2D& prev, const CKelCoord2D& next) const;
  // A new empty polygon on this pool.
  CSpherePolyArea NewPolyArea();
  // Every polygon's edge that leaves the horizon and spans azimuths takes,
  // for each corner of another polygon strictly within its span that lies
  // on the polygon's side of the edge's chart line, and nearer to it than
  // half the band between the line and the chord (at the edge's middle),
  // two points on the chart line: both at the corner's azimuth while the
  // corner touches the line, parting towards the edge's ends as it draws
  // away. They change nothing the union finds; they are corners of the
  // area. The union still tells corners inside or out by the chart's
  // lines, as the outline method does, and the area is drawn by chords:
  // a corner passing the line took the boundary from the edge's chord onto
  // itself at a hair's move, and the two points, kept on the boundary while
  // the corner is hidden behind the edge, draw the edge through the
  // corner's place as the boundary over the corner does. Chord points put
  // where the disc draws the edge instead made every crossing of the edge
  // near them lie on the chord and lost sky wherever one became a corner.
  // An edge whose chart line keeps within KelTol::SkyChordSag of its chord
  // (the edges of a one-degree step) takes none.
  void InsertChordPoints();

  // --- The union
  [[nodiscard]] int CalcCrossPoint(CKelProgressCore* progress);
  [[nodiscard]] int CalcRatio(CKelProgressCore* progress, int step, std::vector<CSphereRatioBlockParam>& params);
  [[nodiscard]] int DeletePointInArea(CKelProgressCore* progress);
  [[nodiscard]] int AddLineArray(CKelProgressCore* progress);
  bool CheckDupLine() const;
  int MergeLine();
  void CheckPoint(int p);
  [[nodiscard]] int RegistBlock(int step, std::vector<CSphereRatioBlockParam>& params);
  // The boundaries' points whose azimuths lie within the disc's identity
  // band of one another (a balcony's corner a rounding beside the wall's it
  // touches) take one azimuth, the one nearest a line of the step: the
  // triangle division cannot tell a side a hair from a ray from a turn.
  void JoinAzimuths(int step);
  CSphereExpandLineArray CreateExpandLine() const;
  static void ShowStepText(CKelProgressCore* progress);
  int CutDupLine();
  static bool CutDupLineFront(CSphereBlkDataLineArray src, CSphereBlkDataLineArray dst,
                              CSpherePolyCoordArray& pool, std::vector<int>& out);
  static bool CutDupLineBack(CSphereBlkDataLineArray src, CSphereBlkDataLineArray dst,
                             CSpherePolyCoordArray& pool, std::vector<int>& out);

  // --- Sky shares (CSphereBlkDataArrayNewSansya.cpp)
  [[nodiscard]] int CalcSansya(int nRound, std::vector<CSphereRatioBlockParam>& params, int step, bool twoSided,
                               bool dropHoles, CSphereFunShapeParamArray& fans);
  // False when a bow could not be rebuilt.
  [[nodiscard]] bool Merge(std::vector<CSphereRatioBlockParam>& params, int step, bool dropHoles);
  static void MergeBlock(CSphereCoordD2DArray& outline, const CSphereCoordD2DArray& hole, int i, int j);
  static bool SearchMergeParam(const std::vector<CSphereRatioBlockParam>& params, const CSphereRatioBlockParam& hole,
                               SphereRatioBlockWorkParam* work);
  static void InsertPoint1(CSphereRatioBlockParam& target, const CSphereRatioBlockParam& source);
  // Raises the corners of a hole that dip under the chord of its outline's
  // edge beneath them (a long low edge sags towards the zenith on the disc)
  // to just above it, so that the hole keeps what lies inside the outline.
  // The outline is taken as drawn, before points were inserted into its
  // edges; the hole holds a point at every azimuth of the outline's corners.
  static void ClipToOutline(CSphereRatioBlockParam& hole, const CSphereRatioBlockParam& outline);
  static int InsertPoint1Sub1(const CSphereCoordD2D& p, const CSphereCoordD2D& q, double az,
                              CSphereRatioBlockParam& target, int k);
  [[nodiscard]] int CreateSansya(int nRound, std::vector<CSphereRatioBlockParam>& params);
  // 1 when a triangle's apex is not left of a base that matches a line.
  // The lift takes off the strip over the base within the rays from the
  // zenith through its ends, whatever the triangle's apex.
  int Expand(CKelCoord2D* a, CKelCoord2D* b, CKelCoord2D* c, bool* moved) const;
  // Empty with ok false when a region's area is negative or its bows fail.
  static std::vector<CSphereRatioBlockParam> Side2_CreateBoundaryLine(const std::vector<CSphereRatioBlockParam>& params,
                                                                      CSphereFunShapeParamArray& fans, bool* ok);
  static void Side2_EraseLine(std::vector<CKelCoord2D>& line, double azMin, double azMax);
  static int Side2_SearchSite(const std::vector<CKelCoord2D>& outline, const CKelCoord2D& p, CKelCoord2D& foot);
  [[nodiscard]] static bool Side2_DividArea(const std::vector<CKelCoord2D>& outline, std::vector<CKelCoord2D>& out1,
                                            std::vector<CKelCoord2D>& out2, const std::vector<CKelCoord2D>& line);
  static void Side2_DividArea(std::vector<std::vector<CKelCoord2D>>& first,
                              std::vector<std::vector<CKelCoord2D>>& second, const std::vector<CKelCoord2D>& line);
  [[nodiscard]] static bool Side2_AddArea(std::vector<CSphereRatioBlockParam>& params,
                                          const std::vector<CKelCoord2D>& points);
  [[nodiscard]] static bool Side2_AddArea(std::vector<CSphereRatioBlockParam>& params,
                                          const std::vector<std::vector<CKelCoord2D>>& lists);

private:
  void ResetFlags();
  // Re-chains the boundary edges into loops where chain ends continue
  // more than once, splitting the boundaries at the points they touch.
  void TraceAtBranches();
  // The steps of DeletePointInArea.
  [[nodiscard]] int ChartOutlines(CKelProgressCore* progress);
  [[nodiscard]] int FlagSharedEdges(CKelProgressCore* progress);
  [[nodiscard]] int FlagInsideEdges(CKelProgressCore* progress);
  [[nodiscard]] int StepProgress(CKelProgressCore* progress) const;
  [[nodiscard]] int RunPhases(CKelProgressCore* progress, bool withCrossings);
  [[nodiscard]] int RetryOpenChains(CKelProgressCore* progress, int startPos);
  void RepointPolygons();
};
