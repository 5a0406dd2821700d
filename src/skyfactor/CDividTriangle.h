#pragma once
// CDividTriangle: divides a simple outline of projected points (sky-disc
// units) into triangles whose areas the sky-factor sums add up.
//
// Vocabulary: an index polygon is a list of positions into the point list,
// in outline order; a split divides it along a diagonal into two index
// polygons that share the diagonal's ends. The division is tuned to the sky
// disc: a vertex at the disc's centre (the origin) is the hub of the splits,
// and a reflex vertex is joined to the vertex closest in angle, seen from
// the origin, to the ray through it.
//
// Contract: the point list is set before Do and outlives it; Do appends to
// the triangle list. The outline must have at least 3 finite points; a
// clockwise outline is reversed first. A division that finds no valid split,
// a quadrilateral with two reflex turns, or a crossing that cannot be
// measured fails: Do returns false and the triangles found before stay.
//
// Rounding modes (of GetTriangleData, which also filters thin triangles):
// -1 exact, 0 up, 1 down.
//
// CreateTriangle2 divides an index polygon over the point list by reflex
// splits alone, trying every corner in turn; nothing in the sky factor
// calls it.
//
// The candidates of a split are tried in ascending angle and, at equal
// angles, ascending distance from the origin; a list found out of that
// order fails the division (OrderFault) instead of stopping the program.
//
// Cost: every split is checked for crossings against the outline, but a
// part of an outline known to be simple only needs its new diagonal
// checked, and the candidates of a reflex vertex are examined from the
// closest angle on. The crossing and inside tests pass over blocks of
// edges whose box keeps them out of the answer; what remains per split is a few
// plain passes over the part.

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "CKelCoord.h"
#include "CSphereCoordD2D.h"
#include "CSphereTriangleData.h"

class CKelAreaCoord2D;

class CDividTriangle {
public:
  const std::vector<CSphereCoordD2D>* m_pPoints = nullptr;  // not owned
  CSphereTriangleDataArray m_Triangles;

  CDividTriangle() = default;
  explicit CDividTriangle(const std::vector<CSphereCoordD2D>* points) : m_pPoints(points) {}
  CDividTriangle(const CDividTriangle&) = default;
  CDividTriangle& operator=(const CDividTriangle&) = default;
  virtual ~CDividTriangle() = default;

  [[nodiscard]] bool Do(int mode);
  // Divides the index polygon idx (positions into the point list, in
  // counter-clockwise order) by reflex splits only and appends the
  // triangles. An empty polygon, a position outside the point list, or a
  // polygon that no corner splits fails.
  [[nodiscard]] bool CreateTriangle2(int mode, const std::vector<int>& idx);
  // Whether a triangle of this base, height and area (as GetTriangleData
  // gives them in the mode) is kept: rounded, when its height is not 0;
  // unrounded, unless it is thin and too small to count.
  static bool KeepsTriangle(int mode, double base, double height, double area);
  // Whether an unrounded triangle is a needle: its base or height no more
  // than the thin band.
  static bool IsThin(double base, double height);
  // Whether the last division failed on candidates out of order.
  bool OrderFault() const { return m_bOrderFault; }
  int GetSize() const { return static_cast<int>(m_Triangles.size()); }
  // i must be below GetSize().
  const CSphereTriangleData& GetTriangle(int i) const { return m_Triangles[static_cast<std::size_t>(i)]; }

  // The points by their angle seen from the origin, and which of them the
  // part under split holds at which position (those stamped now): a large
  // part's candidates are drawn from the closest angle outwards instead of
  // being placed all at once.
  struct AngularDraw {
    std::vector<std::pair<double, int>> byAngle;  // empty: every part places all its candidates
    std::vector<int> posOf;
    std::vector<std::uint32_t> stamp;
    std::uint32_t now = 0;
  };

private:
  using Index = std::vector<int>;

  // An index polygon and what is known of it: whether every edge meets no
  // other, no point comes twice, no three positions in a row form a needle
  // (the first and third coincide), and its CalcArea (NaN: not yet worked
  // out).
  struct Part {
    Index idx;
    bool simple = false;
    bool distinct = false;
    bool needleFree = false;
    double area = NAN;
  };

  // The box of a block of consecutive edges of the part being divided.
  struct Block {
    double xmin, xmax, ymin, ymax;
  };

  // The outcome of an attempted split.
  enum class Split { Done, None, Fail };

  // The direction and length of the segment from one point to another.
  struct Frame {
    int to = -1;
    double c = 1;
    double s = 0;
    double len = 0;
  };

  // --- Work of one Do
  int m_Mode = -1;
  std::vector<CKelCoord2D> m_Pt;               // plan positions of the points
  std::vector<std::vector<int>> m_Coincident;  // other points within DividPoint of each point
  std::vector<int> m_Count;                    // positions per point in the polygon being divided
  std::vector<int> m_Seen;                     // scratch of HasRepeatedPoint, all 0 between uses
  bool m_bInvalid = false;                     // a crossing could not be measured
  bool m_bOrderFault = false;                  // candidates came out of order
  bool m_bBoxed = true;                        // every point near enough for box tests
  bool m_bCoincident = false;                  // some point has another within DividPoint
  bool m_bOrigin = false;                      // some point lies at the origin
  std::vector<Frame> m_Frame;                  // the last frame measured from each point
  AngularDraw m_Draw;

  // The part being divided, with the boxes of its edges kBlockEdges at a
  // time (edge q runs from position q to q + 1); none between parts.
  const Index* m_Current = nullptr;
  std::vector<Block> m_Blocks;
  std::vector<std::size_t> m_EdgeEnds;  // scratch of the inside test

  // --- The steps of the division
  using Level = bool (CDividTriangle::*)(Part& part, std::vector<Part>& pending);
  // Measures the points and clears the work of the last division.
  [[nodiscard]] bool Prepare(int mode);
  // Runs level on part and on every part it leaves, depth first.
  [[nodiscard]] bool DivideFrom(Part whole, Level level);
  // One level: triangles, or a split whose parts are pushed in order.
  [[nodiscard]] bool Divid(Part& part, std::vector<Part>& pending);
  [[nodiscard]] bool Divid2(Part& part, std::vector<Part>& pending);
  Split SearchIndex2(const Part& part, Part& out1, Part& out2);
  Split SearchIndex(const Part& part, int i, int j, int k, Part& out1, Part& out2);
  // The draw of part's candidates by angle, its positions stamped; null
  // where the part places all its candidates at once (a small part, one
  // with a point twice, or points at the origin or beyond the box reach).
  const AngularDraw* DrawFor(const Part& part);
  Split CheckIndex(const Part& part, int a, int b, Part& out1, Part& out2);
  int CheckCross(const Index& idx, int a, int b);
  bool CheckPoint2(const Index& idx, int m) const;
  // Whether the diagonal from position at to position to leaves a point
  // that has coincident copies outside the corner there.
  bool LeavesOutwards(const Index& idx, int at, int to) const;
  bool CheckInnerLine(const Index& idx, int j) const { return CheckPoint2(idx, j); }
  bool EraseNeedleShape(Index& idx) const;
  // EraseNeedleShape for a part cut from a needle-free parent, which can
  // only hold a needle across its closing edge; sets p.needleFree.
  bool EraseNeedles(Part& p, bool parentNeedleFree) const;
  bool HasNeedle(const Index& idx) const;
  // Whether positions i and i + 2 (wrapping) hold coincident points.
  bool NeedleAt(const Index& idx, std::size_t i) const;
  double CalcArea(const Index& idx) const;
  [[nodiscard]] bool CreateTriangle(const Index& idx);
  // Keeps the triangle a, b, c unless the filter of the rounding mode drops
  // it; false when its corners run clockwise beyond round-off.
  [[nodiscard]] bool AddTriangle(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c);

  // --- Helpers of the steps
  const CKelCoord2D& P(const Index& idx, int k) const { return m_Pt[static_cast<std::size_t>(idx[static_cast<std::size_t>(k)])]; }
  void FindCoincidentPoints();
  // The frame from position a to position b, measured once per pair of
  // points in turn: the edges of a part are its parent's.
  const Frame& FrameOf(const Index& idx, int a, int b);
  void CountPositions(const Index& idx, int delta);
  // Whether CheckPoint2 needs the position counts of part: without points
  // within DividPoint of another, a part of distinct points has none twice.
  bool NeedsCounts(const Part& part) const { return m_bCoincident || !part.distinct; }
  int FindOrigin(const Index& idx) const;
  double TurnAt(const Index& idx, int prev, int cur, int next);
  bool IsSimple(const Index& idx);
  // part is parent's positions from start on; parent is being split.
  bool PartStaysSimple(const Index& parent, int start, const Index& part);
  bool PartStaysSimpleFar(const Index& part);

  // --- Blocks of edges (CDividTriangleCross.cpp)
  // Small enough that a block's box stays near its edges, large enough
  // that the boxes of a part are few to pass over.
  static constexpr int kBlockEdges = 8;
  // Parts of fewer positions place all their candidates at once.
  static constexpr std::size_t kDrawFrom = 64;
  void PrepareDraw();
  // Makes idx the current part and measures its blocks.
  void MeasureBlocks(const Index& idx);
  bool IsCurrent(const Index& idx) const { return m_Current == &idx; }
  // The box of the points of idx, as SetMaxMin gives it, into outline.
  void PartBox(const Index& idx, CKelAreaCoord2D& outline) const;
  // Calls visit(q) for the edges q = from, from + 1, ... of idx (count of
  // them, wrapping) in turn until it answers true; of the current part
  // the blocks that skip(block) rules out are passed over.
  template <class Skip, class Visit>
  bool VisitEdges(const Index& idx, int from, int count, Skip&& skip, Visit&& visit) const;
  // InArea of the outline gathered from idx (reversed or in idx's order)
  // with the division's inside tolerances.
  int InsideOutline(const CKelAreaCoord2D& outline, bool reversed, const Index& idx, const CKelCoord2D& p);

  bool HasRepeatedPoint(const Index& idx);
  Split QuadrilateralSplit(const Part& part, int origin, Part& out1, Part& out2);
};
