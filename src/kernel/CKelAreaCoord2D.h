#pragma once
// CKelAreaCoord2D: a closed plan polygon of straight edges (CKelArea over
// CKelCoord2D) that also offers the CKelObject point-list interface, and
// CKelAreaCoord2DArray, a list of such polygons.
//
// Units: model metres. Vertices are indexed from 0; neighbours are cyclic
// (prev(0) = n - 1, next(n - 1) = 0). Heights given through the interface are
// dropped; points read through it have z = 0.
//
// Triangulation (CKelAreaCoord2DTriangulate.cpp) expects a counter-clockwise
// outline (SetArea) free of collinear vertices (DeleteOnLine). Concave
// outlines are split along diagonals from their concave vertices; convex ones
// are peeled triangle by triangle from their first edge (TriangulateOld).
// The diagonal search backtracks when a piece cannot be cut; the backtracking
// is bounded, and an outline that exhausts the bound is reported as given up.
//
// Records (SaveData/LoadData): marker 1000, i32 count, then the vertices as
// (f64 x, f64 y); neither area nor box is stored, and LoadData does not
// recompute them. The list record is marker 1000, i32 count, then one polygon
// record each.

#include <string>
#include <vector>

#include "CKelArea.h"
#include "CKelCoord.h"
#include "CKelObject.h"
#include "CKelVectorArray.h"

class CKelAreaCoord2DArray;
class CKelArchiveCore;
class CKelFileIO;
class KelVertexTree;

// How a triangulation ended. Triangulate's bool is true only for kDone.
enum class [[nodiscard]] KelTriangulateResult {
  kDone,     // the whole outline was cut; its triangles were appended
  kNotCut,   // no cut was found (too few vertices, or every diagonal refused)
  kGaveUp,   // the search exceeded its backtracking bound and stopped
};

class CKelAreaCoord2D : public CKelArea<CKelCoord2D>, public CKelObject {
public:
  // Marker that opens a polygon record and a list record.
  static constexpr int kRecordMarker = 1000;
  // Backtracks (a piece that passed the simplicity test but could not be cut)
  // allowed per Triangulate call: per vertex, plus a floor for small outlines.
  static constexpr int kTriangulateBacktracksPerVertex = 8;
  static constexpr int kTriangulateBacktracksFloor = 64;
  // Nesting of convex pieces handing concave ones back to the diagonal
  // search, beyond which it gives up, so that no outline exhausts the stack.
  static constexpr int kTriangulateMaxDepth = 2000;

  CKelAreaCoord2D() = default;

  // --- CKelObject
  int GetSize() const override;
  bool IsClosed() const override { return true; }
  // Vertex i as (x, y, 0); i is wrapped once (-1 is the last, n the first).
  CKelCoord3D GetCoord3D(int i) const override;
  CKelCoord3D GetFrontCoord3D() const override;
  CKelCoord3D GetBackCoord3D() const override;
  void Append(const CKelCoord3D& p) override;
  // Removes the vertices; area and box keep their values.
  void Clear() override;
  void InsertPoint(int i, const CKelCoord3D& p) override;
  void MovePoint(int i, const CKelCoord3D& p) override;
  void MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b) override;
  void DeletePoint(int i) override;
  void SwapCoord(int i, int j) override;

  // --- Edges
  // Moves the edge from vertex i to vertex i + 1 (wrapping) parallel to
  // itself so that its line passes through p.
  void MoveLine(int i, const CKelCoord3D& p);
  // Offsets the same edge by d along its left normal.
  void MoveLine(int i, double d);
  // True when p lies on some edge (within KelTol::OnEdge across and along).
  bool IsOnline(const CKelCoord2D& p) const;
  // Removes every vertex that lies on the line through its two neighbours
  // (KelTol::Collinear), testing the same index again after a removal. A
  // vertex whose neighbours coincide has no line to leave, so it goes too:
  // a polygon of one or two vertices is emptied. True when any was removed.
  bool DeleteOnLine();

  // --- Arc pieces: vertices [centre, start, end]; 0 with fewer than three.
  // The sector of the counter-clockwise arc from start to end.
  double GetArcArea() const;
  // The segment between that arc and its chord; 0 from a sweep of 180
  // degrees on.
  double GetArcCenterArea() const;
  // The same segment without the cut: from 180 degrees on it is half the
  // disc or more.
  double GetArcSegmentArea() const;

  // --- Text compare: "%s, 辺数, %d, %d" when the counts differ, otherwise
  // the vertices' own lines under the label "%s, %d" (index from 1).
  void CompareData(const char* label, const CKelAreaCoord2D& other, std::vector<std::string>& out) const;

  // --- Record
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  // False for a wrong marker, a count the rest of the file cannot hold, or a
  // failed read (the vertices read before it stay). A count below 1 leaves
  // the polygon as it was and succeeds.
  [[nodiscard]] bool LoadData(CKelFileIO& f);

  // --- Triangulation
  // Indices of the concave vertices (a right turn, no tolerance), ascending.
  std::vector<int> IsOukata() const;
  // Appends triangles covering the polygon to out. On any failure out is left
  // as it was. result (optional) tells a refused outline from one given up.
  [[nodiscard]] bool Triangulate(CKelAreaCoord2DArray& out, KelTriangulateResult* result = nullptr) const;
  // The convex path: peels the triangle at the first edge, then cuts the two
  // remaining pieces.
  [[nodiscard]] bool TriangulateOld(CKelAreaCoord2DArray& out) const;
  // Candidate ends of a diagonal from concave vertex c: the vertices inside
  // its interior wedge, ascending (no distance ordering).
  std::vector<int> CutBlockSearchNearistPoint(int c) const;
  // True when no two edges cross and no two vertices coincide (KelTol::Crossing).
  bool CheckCross2() const;
  // The edge s-e against every edge except the one starting at vertex skip.
  bool CheckCross2(const CKelCoord2D& s, const CKelCoord2D& e, int skip) const;
  // True when segment b crosses the inside of segment a; touching at an end
  // and parallel segments do not cross. The pointer is not used.
  static bool IsLineCrossed2(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& b1,
                             const CKelCoord2D& b2, CKelCoord2D* reserved = nullptr);

private:
  struct TriangulateBudget;

  // Whether the outline is already known to pass CheckCross2. A piece cut
  // from such an outline differs from it by one closing edge only, so only
  // that edge needs testing.
  enum class Simplicity { kUnknown, kKnown };

  // One way of cutting the outline (TriangulateInto or TriangulateConvex).
  using CutMethod = KelTriangulateResult (CKelAreaCoord2D::*)(CKelAreaCoord2DArray&, TriangulateBudget&,
                                                              Simplicity) const;

  std::size_t Wrap(int i) const;
  bool IsCollinearVertex(std::size_t i) const;
  double ArcSweepDegrees() const;
  double SegmentAreaOfSweep(double w) const;

  KelTriangulateResult CutWholly(CKelAreaCoord2DArray& out, CutMethod method) const;
  KelTriangulateResult TriangulateInto(CKelAreaCoord2DArray& out, TriangulateBudget& budget,
                                       Simplicity simplicity) const;
  KelTriangulateResult TriangulateConvex(CKelAreaCoord2DArray& out, TriangulateBudget& budget,
                                         Simplicity simplicity) const;
  // CheckCross2 of a piece whose every edge but the closing one (last vertex
  // to first) is an edge of an outline that passed CheckCross2.
  bool ClosingEdgeClear() const;
  // CheckCross2 with tree, a KelVertexTree of this outline.
  bool CheckCross2(const KelVertexTree& tree) const;
  bool Finite() const;
  // CheckCross2 of a larger outline, by a sweep or through a tree.
  bool EdgePairsClear() const;
  bool EdgePairsClear(const KelVertexTree& tree) const;
  static bool EdgesMeet(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& b1, const CKelCoord2D& b2);
  static constexpr int kSweepFrom = 32;
  static constexpr int kEdgeTreeFrom = 200;

  friend class KelTriangulateSearch;
};

class CKelAreaCoord2DArray : public CKelVectorArray<CKelAreaCoord2D> {
public:
  // Sum of the stored area members (nothing is recomputed); 0 when empty.
  double GetArea() const;
  // True when p lies on the outline of any polygon.
  bool IsOnline(const CKelCoord2D& p) const;

  // Polygon by polygon through CKelArea<CKelCoord2D>.
  bool operator==(const CKelAreaCoord2DArray& other) const;
  bool operator!=(const CKelAreaCoord2DArray& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CKelAreaCoord2DArray& other) const;

  // From version 2 the tag "CKelAreaCoord2DArray" twice, then i32 count and
  // each polygon by CKelArea<CKelCoord2D>::Serialize.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  // Same rules as the polygon record; stops at the first polygon that fails.
  [[nodiscard]] bool LoadData(CKelFileIO& f);
};
