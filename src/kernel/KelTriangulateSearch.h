#pragma once
// KelTriangulateSearch: the diagonal search of CKelAreaCoord2D::Triangulate
// over one outline, without copying pieces.
//
// Vocabulary: a piece is a closed run of the outline's vertices, kept as a
// ring of nodes linked forward and back; its positions count from its first
// node. Cutting a piece along a diagonal c - j relinks its ring into piece A
// (c .. j) and piece B (j .. c), adding a node for each end that both keep;
// backtracking relinks them as they were. Every piece's vertices stay in the
// outline's cyclic order, so whether a vertex lies in the run c .. j of a
// piece follows from its index alone.
//
// The search runs on a stack of its own: a star of thousands of points nests
// one level per point, which no call stack should carry. The levels are
// tried, and their triangles come out, exactly as the recursive description
// has them.

#include <cstddef>
#include <vector>

#include "CKelAreaCoord2D.h"

// Backtracks left to the whole Triangulate call, and the nesting of the
// convex path's hand-backs.
struct CKelAreaCoord2D::TriangulateBudget {
  int backtracksLeft = 0;
  int depth = 0;
};

class KelTriangulateSearch {
public:
  using Result = KelTriangulateResult;
  using Budget = CKelAreaCoord2D::TriangulateBudget;
  using Simplicity = CKelAreaCoord2D::Simplicity;

  // outline must outlive the search; the triangles are appended to out.
  KelTriangulateSearch(const CKelAreaCoord2D& outline, CKelAreaCoord2DArray& out, Budget& budget);

  Result Run(Simplicity simplicity);

private:
  struct Node {
    int v = 0;  // index into the outline's vertices
    int prev = 0;
    int next = 0;
  };
  // One cut, with what undoing it needs.
  struct Cut {
    int c = 0;
    int j = 0;
    int beforeC = 0;
    int beforeJ = 0;
  };
  // The wedge of a concave vertex in the frame of its arriving edge.
  struct Wedge {
    double cs = 1;
    double sn = 0;
    double qx = 0;  // the leaving edge in that frame
    double qy = 0;
    double a0 = 0;  // its angle
    bool valid = false;  // false: the vertex has no candidates
  };
  enum class Phase { kStart, kSearch, kCutA, kCutB };
  // One piece being cut, and where its search stands.
  struct Level {
    int start = 0;
    int size = 0;
    Simplicity simplicity = Simplicity::kUnknown;
    Phase phase = Phase::kStart;
    int c = -1;  // the concave vertex tried, and its position
    int cPos = 0;
    int j = -1;  // the candidate end tried, and its position
    int jPos = 0;
    Wedge wedge;
    int blocker = -1;  // the start of the edge that refused the last candidate
    std::size_t outMark = 0;
    std::size_t cutMark = 0;
    std::size_t nodeMark = 0;
    int bStart = 0;  // piece B of the cut in hand, cut after A
    int bSize = 0;
  };

  // --- Levels
  void Push(int start, int size, Simplicity simplicity);
  // Advances the top level; returns a result when it has finished.
  bool Step(Level& level, Result& result);
  bool Begin(Level& level, Result& result);
  bool Resume(Level& level, Result child, Result& result);
  bool Search(Level& level, Result& result);

  // --- Concave vertices and candidates, in position order
  bool IsConcave(int node) const;
  bool NextConcave(Level& level) const;
  bool WedgeOf(const Level& level, Wedge& wedge) const;
  bool NextCandidate(Level& level) const;
  bool InWedge(const Wedge& wedge, int c, int k) const;

  // --- Diagonals
  // Whether the diagonal c - j of a piece known to be simple leaves two
  // pieces that are: the closing-edge test of each, on the piece's edges.
  bool DiagonalClear(Level& level);
  bool EdgeRefuses(const Level& level, int k) const;
  bool InRunCToJ(const Level& level, int k) const;
  // The piece's vertices from node from, size of them, as a polygon.
  CKelAreaCoord2D Materialize(int from, int size) const;
  bool PiecesPass(const Level& level, bool closesAtJ) const;
  void CutAlong(Level& level, bool closesAtJ, int& aStart, int& aSize);
  void Undo(const Level& level);
  void EmitTriangle(int start);
  Result CutConvex(const Level& level);

  const CKelAreaCoord2D& m_outline;
  const std::vector<CKelCoord2D>& m_pt;
  CKelAreaCoord2DArray& m_out;
  Budget& m_budget;
  std::vector<Node> m_node;
  std::vector<Cut> m_cuts;
  std::vector<Level> m_stack;
};
