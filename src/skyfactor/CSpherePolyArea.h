#pragma once
// Registered outlines of the union and the boundary chains they leave.
//
// Chart: pool points are read as (azimuth, elevation) = (m_AD, m_AE),
// radians (CSpherePolyLine.h). A polygon is a list of pool indices, closed
// implicitly, with one flag per vertex for the edge that starts there:
//   kKept 0, kInside -1 (inside another polygon), kShared -2 (shared with
//   another polygon in the opposite direction).
// A chain is a list of pool indices, closed when its first equals its last.

#include <cfloat>
#include <cstdint>
#include <utility>
#include <vector>

#include "CKelAreaCoord2D.h"
#include "CKelCoord.h"
#include "CSphereRatioBlockParam.h"
#include "CSpherePolyLine.h"

class CKelProgressCore;
class SphereChainIndex;

class CSpherePolyAreaFlag {
public:
  static constexpr int kKept = 0;
  static constexpr int kInside = -1;
  static constexpr int kShared = -2;

  std::int32_t m_EdgeFlag = kKept;
  std::int32_t m_Idx = -1;

  CSpherePolyAreaFlag() = default;
  explicit CSpherePolyAreaFlag(int idx) : m_Idx(idx) {}
  CSpherePolyAreaFlag(const CSpherePolyAreaFlag&) = default;
  CSpherePolyAreaFlag& operator=(const CSpherePolyAreaFlag&) = default;
  virtual ~CSpherePolyAreaFlag() = default;
};

class CSearchIdxWork {
public:
  std::int32_t m_AreaNo = -1;
  std::int32_t m_EdgePos = -1;  // as SearchIdx(a, b) answers

  CSearchIdxWork() = default;
  CSearchIdxWork(int areaNo, int edgePos) : m_AreaNo(areaNo), m_EdgePos(edgePos) {}
  CSearchIdxWork(const CSearchIdxWork&) = default;
  CSearchIdxWork& operator=(const CSearchIdxWork&) = default;
  virtual ~CSearchIdxWork() = default;
};

class CSpherePolyArea;

// The boxes of a polygon's edges in a tree over runs of consecutive edges,
// to pass at once over the edges a segment cannot reach (CrossPointSpan):
// a node's span holds the end points of the edges from m_From to m_To - 1.
// Edges of a polygon lie mostly near their neighbours, so a segment is
// measured against the few runs around it. Beside the tree, the edges that
// reach the horizon band (elevation 0, where every block standing on the
// ground meets the others), for the segments lying on the horizon. Built on
// the polygon as it stands; stale once the polygon changes.
class CSpherePolyAreaReach {
public:
  struct Node {
    CrossPointSpan m_Span;
    int m_From = 0;
    int m_To = 0;
    int m_Left = -1;  // children, -1 for a run
    int m_Right = -1;
  };
  // Edge j from pool point m_From to m_To.
  struct Edge {
    int m_From = -1;
    int m_To = -1;
    CrossPointSpan m_Span;
    CrossPointSegment m_Segment;
    bool m_Measured = true;  // whether m_Segment holds the direction
    // For a cut edge on the horizon: whether contacts found at its ends come
    // back as its ends; -1 until worked out.
    std::int8_t m_EndsKept = -1;
    // For a cut edge on the horizon: whether no horizon point of the pool
    // but its ends lies within its reach; -1 until worked out.
    std::int8_t m_NoOtherPointNear = -1;
  };

  // An edge that a segment on the horizon may reach, with its span along x,
  // its ends, and whether it lies on the horizon itself (both ends at
  // elevation 0, their azimuths finite).
  struct NearHorizon {
    double m_Low = 0;
    double m_High = 0;
    int m_Edge = -1;
    int m_From = -1;
    int m_To = -1;
    bool m_OnHorizon = false;
    CKelCoord2D m_Beg;
    CKelCoord2D m_End;
  };
  // Positions of the list of such edges, m_From[k] to m_To[k] - 1; the
  // first run holds the earlier edges.
  struct HorizonRuns {
    int m_From[2] = {0, 0};
    int m_To[2] = {0, 0};
  };

  explicit CSpherePolyAreaReach(const CSpherePolyArea& area);
  // On a polygon's edges as CSpherePolyArea::CutEdges gives them, with
  // their directions worked out or not, over the pool they refer to.
  CSpherePolyAreaReach(const CSpherePolyCoordArray* pool, std::vector<Edge> edges);
  const std::vector<Node>& Nodes() const { return m_Nodes; }
  const Edge& EdgeAt(int j) const { return m_Edges[static_cast<std::size_t>(j)]; }
  // The edges, moved out of a reach no longer needed. Those measured since
  // (MeasuredAt) keep their directions, the ones a cut edge works out.
  std::vector<Edge> TakeEdges() && { return std::move(m_Edges); }
  // Edge j with its direction, worked out where first asked for: most
  // edges are never measured against another.
  const Edge& MeasuredAt(int j) const;
  // The root's number; -1 for a polygon without edges.
  int Root() const { return m_Root; }
  // Whether AlongHorizon can answer for this polygon.
  bool HasHorizonList() const { return m_HorizonWrap >= 0; }
  // For the span of a segment on the horizon (both ends at elevation 0 and
  // numbers): the runs of HorizonAt holding every edge whose span is not
  // apart from it, in edge order. The search starts at from, where the
  // previous answer's runs started (0 at first), and leaves it there for
  // the next. Only with HasHorizonList.
  HorizonRuns AlongHorizon(const CrossPointSpan& span, int& from) const;
  const NearHorizon& HorizonAt(int k) const { return m_Horizon[static_cast<std::size_t>(k)]; }
  // Whether every edge of the horizon list lies on the horizon or stands
  // on it: the same azimuth at both ends, one end on the horizon and the
  // other well off it (more than twice SkyCrossParallel). Only with
  // HasHorizonList.
  bool HorizonEdgesStand() const { return m_HorizonEdgesStand; }
  // Whether the only points on the horizon that the list's edges end at
  // within reach of the span of a segment on the horizon (kHorizonReach
  // beyond it along x) are the pool points from and to. The search starts
  // at `at`, where the previous answer's started (0 at first), and leaves
  // it there for the next.
  bool OnlyEndsNear(const CrossPointSpan& span, int from, int to, std::size_t& at) const;
  // Beyond the segment's span by this much along x, a point is neither held
  // by it (CrossPointSegment::Holds) nor within a crossing's reach
  // (SkyCrossReach), round-off of azimuths included.
  static constexpr double kHorizonReach = 10 * KelTol::SkyDisc;
  // A point on the horizon: its azimuth and pool index.
  struct HorizonPoint {
    double x = 0;
    int idx = -1;
  };

private:
  void ListHorizonPoints();
  static constexpr int kRun = 4;
  int Build(int from, int to);
  void ListNearHorizon();
  std::vector<Node> m_Nodes;
  mutable std::vector<Edge> m_Edges;  // directions kept once worked out
  const CSpherePolyCoordArray* m_pCoord = nullptr;  // not owned
  int m_Root = -1;
  // The edges not apart along y from a segment on the horizon, in the
  // order in which their lows and highs along x both rise: edge order
  // taken round from some edge, so that the edges within reach of a
  // segment along x follow each other. From m_HorizonWrap on, the list
  // holds the edges from the first on. -1 where the spans do not rise so
  // in any turn of edge order, or hold a coordinate that is not a number:
  // no list.
  std::vector<NearHorizon> m_Horizon;
  int m_HorizonWrap = -1;
  // The horizon points of the list's edges, by azimuth.
  std::vector<HorizonPoint> m_HorizonPoints;
  bool m_HorizonEdgesStand = false;
};

// The points of a pool at elevation 0 with finite azimuths, by azimuth, as
// the pool stood when last taken in. A polygon's reach lists its horizon
// points from the pool as it stood when the reach was built; so through a
// turn of contact searches, taken in at its start, these hold the horizon
// points of every reach the turn meets.
class CSphereHorizonIndex {
public:
  // Takes in the points appended since the last call; a pool cut short
  // since, before it grew again, is taken in anew.
  void TakeIn(const CSpherePolyCoordArray& pool);
  // Whether no point held but from and to lies within reach of a segment
  // on the horizon with this span (CSpherePolyAreaReach::OnlyEndsNear's
  // bounds). The search starts at `at`, where the previous answer's
  // started (0 at first), and leaves it there for the next.
  bool OnlyEndsNear(const CrossPointSpan& span, int from, int to, std::size_t& at) const;

private:
  std::vector<CSpherePolyAreaReach::HorizonPoint> m_Points;
  std::size_t m_TakenIn = 0;
};

class CSpherePolyArea {
public:
  // A polygon's edges as the contact search cuts them, in edge order. The
  // edges stay where they were stored while their order takes the
  // insertions, so an insertion moves positions, not edges.
  class CutEdgeList {
  public:
    using Edge = CSpherePolyAreaReach::Edge;
    // A polygon's turn mostly ends with a few times its edges; room for
    // them saves moving the edges as it grows.
    static constexpr std::size_t kRoom = 4;
    CutEdgeList() = default;
    // With horizon, the pool's horizon points as the turn of contact
    // searches these edges are cut in started (nullptr: not known).
    explicit CutEdgeList(std::vector<Edge> edges, const CSphereHorizonIndex* horizon = nullptr);
    Edge& operator[](int k) { return m_Stored[Stored(k)]; }
    // count new edges at positions k + 1 to k + count, those behind moved up.
    void InsertAfter(int k, int count);
    int Count() const { return static_cast<int>(m_Order.size()); }
    // The edges in edge order.
    std::vector<Edge> InOrder() const;
    // The vertices of the polygon the edges outline, from the vertices
    // the edges were cut from (CutEdges): a vertex kept is the entry it
    // was, a contact inserted a new one.
    std::vector<CSpherePolyAreaFlag> Vertices(const std::vector<CSpherePolyAreaFlag>& cutFrom) const;
    // Whether edge k, a segment on the horizon, has no horizon point of the
    // pool but its own ends within reach (CSphereHorizonIndex): then no
    // other polygon's reach does either (CSpherePolyAreaReach::OnlyEndsNear).
    // Worked out where first asked for, and kept with the edge.
    bool NoOtherPointNear(int k);

  private:
    std::size_t Stored(int k) const { return static_cast<std::size_t>(m_Order[static_cast<std::size_t>(k)]); }
    std::vector<Edge> m_Stored;
    std::vector<int> m_Order;  // position -> stored edge
    const CSphereHorizonIndex* m_Horizon = nullptr;
    std::size_t m_HorizonAt = 0;  // where the last search in m_Horizon started
  };

  std::vector<CSpherePolyAreaFlag> m_Idx;
  CSpherePolyCoordArray* m_pCoord = nullptr;  // not owned
  CKelAreaCoord2D m_AreaCoord;                // chart outline for inside tests
  CKelCoord2D m_BoxMin{DBL_MAX, DBL_MAX};
  CKelCoord2D m_BoxMax{-DBL_MAX, -DBL_MAX};

  CSpherePolyArea() = default;
  CSpherePolyArea(const CSpherePolyArea&) = default;
  CSpherePolyArea& operator=(const CSpherePolyArea&) = default;
  virtual ~CSpherePolyArea() = default;

  void SetMaxMin(int idx);
  void AddIdx(int idx);
  bool InsertIdx(int pos, const CSpherePolyAreaFlag& entry);
  // p + 1 when the edge p -> p + 1 is (a, b), -(p + 1) when it is (b, a),
  // edges taken from the closing one on; 0 when none.
  int SearchIdx(int a, int b) const;
  int SearchIdx(int a) const;
  double GetArea() const;
  // Inserts the contacts of other's edges into this polygon's edges; 1 on
  // a cancel, else 0.
  [[nodiscard]] int CalcCrossPoint(CKelProgressCore* progress, const CSpherePolyArea& other);
  // The same through a reach tree built on other as it stands, and this
  // polygon's edges as CutEdges gives them, taking in the contacts. A turn
  // of such searches cuts the edges only: the polygon takes its new
  // vertices with TakeCutEdges, once the turn is over (or cancelled).
  [[nodiscard]] int CalcCrossPoint(CKelProgressCore* progress, const CSpherePolyArea& other,
                                   const CSpherePolyAreaReach& reach, CutEdgeList& edges);
  void TakeCutEdges(const CutEdgeList& edges);
  // The edges with their ends and spans, edge k from vertex k to the next;
  // their directions are worked out where first needed and then kept.
  std::vector<CSpherePolyAreaReach::Edge> CutEdges() const;
  // Inserts own vertices lying on own edges; 0.
  int CalcCrossPoint(CKelProgressCore* progress);
  // Whether the boxes touch or overlap.
  bool BoxMeets(const CSpherePolyArea& other) const;

  int IdxAt(int pos) const { return m_Idx[static_cast<std::size_t>(pos)].m_Idx; }
  int Size() const { return static_cast<int>(m_Idx.size()); }

private:
  CKelCoord2D Chart(int pos) const { return m_pCoord->Chart(IdxAt(pos)); }
  // Edge i as the contact search measures it, one of the polygon's edges
  // kept as CutEdges gives them, worked out again whenever an insertion
  // shortens it.
  struct Cut {
    int m_I = 0;
    CutEdgeList* m_Edges = nullptr;
    CSpherePolyAreaReach::Edge* m_Own = nullptr;  // edge m_I of m_Edges
    CSpherePolyAreaReach::Edge& Edge() const { return *m_Own; }
  };
  CSpherePolyAreaReach::Edge CutEdge(int k) const { return CutEdgeBetween(IdxAt(k), IdxAt((k + 1) % Size())); }
  CSpherePolyAreaReach::Edge CutEdgeBetween(int from, int to) const;
  // Inserts into the cut edge its contacts with an edge of another
  // polygon; false when the pair is not searched at all (a point edge, or
  // the same edge).
  bool InsertContacts(Cut& cut, const CSpherePolyAreaReach& reach, int j);
  // The contacts of a pair within reach.
  void InsertCrossPoints(Cut& cut, const CSpherePolyAreaReach::Edge& edge);
  // Asks for a cancel once for each pair of a cut edge with the edges from
  // to to - 1 of other that the search would have tried; true when
  // cancelled.
  [[nodiscard]] static bool CheckAbortPerPair(CKelProgressCore* progress, const CSpherePolyArea& other,
                                              const CSpherePolyAreaReach::Edge& own, int from, int to);
  // Inserts into edge i the contacts of other's edges under a node of its
  // reach tree that is within reach of the edge, in the order of other's
  // edges; true when cancelled.
  [[nodiscard]] bool InsertContactsUnder(CKelProgressCore* progress, const CSpherePolyArea& other,
                                         const CSpherePolyAreaReach& reach, int node, Cut& cut);
  // The same for a cut edge on the horizon, through the reach's list of
  // the edges near the horizon.
  // from as AlongHorizon takes it.
  [[nodiscard]] bool InsertContactsAlongHorizon(CKelProgressCore* progress, const CSpherePolyArea& other,
                                                const CSpherePolyAreaReach& reach, Cut& cut, int& from);
  // The same from other's edge `from` on, edge by edge.
  [[nodiscard]] bool InsertContactsFrom(CKelProgressCore* progress, const CSpherePolyAreaReach& reach, int from,
                                        int to, Cut& cut);
};

class CSpherePolyAreaArray : public std::vector<CSpherePolyArea> {};

class CSphereBlkDataLineArray : public std::vector<int> {
public:
  CSphereBlkDataLineArray() = default;
  CSphereBlkDataLineArray(std::initializer_list<int> idx) : std::vector<int>(idx) {}
  template <class It>
  CSphereBlkDataLineArray(It from, It to) : std::vector<int>(from, to)
  {
  }
  virtual ~CSphereBlkDataLineArray() = default;

  bool IsClosed() const { return size() >= 2 && front() == back(); }
  static bool IsDeletable(const CSphereCoordD2D& prev, const CSphereCoordD2D& cur, const CSphereCoordD2D& next,
                          int step);
  // The closed chain as a parameter (points the step allows to drop left
  // out, but never one the boundaries pass more than once: visits counts the
  // passes per pool point); false in ok when its crossings could not be
  // shared.
  CSphereRatioBlockParam GetSphereRatioBlock(int step, const CSpherePolyCoordArray& pool,
                                             const std::vector<int>& visits, bool* ok) const;
};

class CSphereBlkDataLineArrayArray : public std::vector<CSphereBlkDataLineArray> {
public:
  std::vector<std::vector<int>> m_DeleteLine;  // pairs never to be chained

  CSphereBlkDataLineArrayArray() = default;
  CSphereBlkDataLineArrayArray(const CSphereBlkDataLineArrayArray& other) : std::vector<CSphereBlkDataLineArray>(other) {}
  CSphereBlkDataLineArrayArray& operator=(const CSphereBlkDataLineArrayArray& other);
  virtual ~CSphereBlkDataLineArrayArray() = default;

  // Adds the directed edge a -> b to the chains.
  void Add(const CSpherePolyCoordArray* pool, int a, int b);
  // The same, finding the chains through an index of them that it keeps.
  void Add(int a, int b, SphereChainIndex& index);

private:
  bool IsDeleted(int a, int b) const;
  // Whether some chain runs from a straight on to b.
  bool HasEdge(int a, int b, SphereChainIndex& index) const;
  bool CancelReversed(int a, int b, SphereChainIndex& index);
  bool SplitAtBranch(int a, int b, SphereChainIndex& index);
  // Chain c ends at position `at`; what followed becomes a chain of its own
  // when it has two points or more.
  void CutAfter(std::size_t c, std::size_t at, SphereChainIndex& index);
  void Append(const CSphereBlkDataLineArray& chain, SphereChainIndex& index);
};
