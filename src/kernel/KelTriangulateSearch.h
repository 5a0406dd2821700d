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
//
// Index: candidates and the edges a diagonal is tested against are found
// through a box tree over the outline (KelVertexTree), so that a diagonal
// costs about the edges near it rather than a pass over its piece. Each node
// carries the label of the piece it is in; a cut gives the smaller of its two
// pieces a new label, so labelling costs the smaller piece only. The tree
// holds every vertex's edge to the next vertex; an edge a cut made (a
// diagonal, or an edge turned onto one) is listed instead with its piece's
// other such edges, its label's "extras". Outlines, and pieces, of fewer
// than kIndexFrom vertices are walked along their rings instead; the labels
// are kept only while an index exists.

#include <cstddef>
#include <optional>
#include <vector>

#include "CKelAreaCoord2D.h"
#include "KelCrossing.h"
#include "KelVertexTree.h"

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
    int label = 0;  // the piece the node is in
    int copy = -1;  // the next node made for the same vertex, newest first
    int extraPrev = -1;  // the label's list of extras, when listed
    int extraNext = -1;
    bool listed = false;
  };
  // One cut, with what undoing it needs.
  struct Cut {
    int c = 0;
    int j = 0;
    int beforeC = 0;
    int beforeJ = 0;
    int relabelled = 0;  // the start of the piece that took the new label
    int parentLabel = 0;
    int newLabel = 0;
    int extraB = -1;  // the extras the cut listed
    int extraA = -1;
    bool open = false;  // piece A does not close at j
  };
  // The wedge of a concave vertex in the frame of its arriving edge.
  struct Wedge {
    double cs = 1;
    double sn = 0;
    double qx = 0;  // the leaving edge in that frame
    double qy = 0;
    double a0 = 0;  // its angle
    bool valid = false;  // false: the vertex has no candidates
    // For ruling out boxes: c, and its edges' other ends seen from c.
    CKelCoord2D c;
    double px = 0;
    double py = 0;
    double pLen = 0;
    double qxWorld = 0;
    double qyWorld = 0;
    double qLen = 0;
    bool clear = false;  // the vertex turns right by more than round-off
  };
  enum class Phase { kStart, kSearch, kCutA, kCutB };
  // One piece being cut, and where its search stands.
  struct Level {
    int start = 0;
    int size = 0;
    int label = 0;
    Simplicity simplicity = Simplicity::kUnknown;
    Phase phase = Phase::kStart;
    int c = -1;  // the concave vertex tried, and its position
    int cPos = 0;
    int j = -1;  // the candidate end tried: its position, walking the ring,
    int jPos = 0;
    int jKey = 0;  // or how far its vertex lies past start's, through the index
    Wedge wedge;
    int blocker = -1;  // the start of the edge that refused the last candidate
    std::size_t outMark = 0;
    std::size_t cutMark = 0;
    std::size_t nodeMark = 0;
    int bStart = 0;  // piece B of the cut in hand, cut after A
    int bSize = 0;
    int bLabel = 0;
  };

  // --- Levels
  void Push(int start, int size, Simplicity simplicity, int label);
  // Advances the top level; returns a result when it has finished.
  bool Step(Level& level, Result& result);
  bool Begin(Level& level, Result& result);
  bool WholeClear(const Level& level) const;
  // The index, built before the first cut: the tree and the first label.
  void BuildIndex();
  bool Resume(Level& level, Result child, Result& result);
  bool Search(Level& level, Result& result);

  // --- Concave vertices and candidates, in position order
  bool IsConcave(int node) const;
  bool NextConcave(Level& level) const;
  bool WedgeOf(const Level& level, Wedge& wedge) const;
  bool NextCandidate(Level& level) const;
  bool NextCandidateOnRing(Level& level) const;
  bool Indexed(const Level& level) const;
  bool InWedge(const Wedge& wedge, int c, int k) const;
  // The node of vertex v in the piece labelled label, or -1.
  int NodeIn(int v, int label) const;
  // Whether no vertex in box can be a candidate that passes: each lies
  // clearly outside the wedge or on the line of one of c's edges beyond it,
  // where that edge refuses it.
  bool NoCandidateIn(const Level& level, const KelBox& box) const;

  // --- Diagonals
  // Whether the diagonal c - j of a piece known to be simple leaves two
  // pieces that are: the closing-edge test of each, on the piece's edges.
  bool DiagonalClear(Level& level);
  // The start of an edge of the piece that refuses the diagonal, or -1.
  int RefusingEdgeOnRing(const Level& level, const KelCrossing::SegmentReach& diagonal) const;
  int RefusingEdgeIndexed(const Level& level, const KelCrossing::SegmentReach& diagonal) const;
  bool Clear(const KelCrossing::SegmentReach& diagonal, int k) const;
  const CKelCoord2D& Point(int node) const;
  bool EdgeRefuses(const Level& level, int k) const;
  bool InRunCToJ(const Level& level, int k) const;
  // The piece's vertices from node from, size of them, as a polygon.
  CKelAreaCoord2D Materialize(int from, int size) const;
  // The vertices from node from up to, not including, node stop.
  CKelAreaCoord2D MaterializeUntil(int from, int stop) const;
  bool PiecesPass(const Level& level, bool closesAtJ) const;
  void CutAlong(Level& level, bool closesAtJ, int& aStart, int& aSize);
  void Undo(const Level& level);

  // --- Labels and extras
  int NewNode(int v, int prev, int next, int label);
  // Whether the ring from a is shorter than the ring from b, and its size.
  bool FirstRingSmaller(int a, int b, int& size) const;
  // Gives every node of the ring from start the label to.
  void Relabel(int start, int to);
  void List(int node);
  void Unlist(int node);
  void TakeBack(const Cut& cut);
  void EmitTriangle(int start);
  Result CutConvex(const Level& level);

  const CKelAreaCoord2D& m_outline;
  const std::vector<CKelCoord2D>& m_pt;
  CKelAreaCoord2DArray& m_out;
  Budget& m_budget;
  std::vector<Node> m_node;
  std::vector<Cut> m_cuts;
  std::vector<Level> m_stack;
  // Outlines and pieces smaller than this are searched along their rings:
  // the index would cost more than it saves.
  static constexpr std::size_t kIndexFrom = 200;
  std::optional<KelVertexTree> m_tree;
  std::vector<int> m_extras;  // by label, the first listed node or -1
  // Cuts in force whose piece A does not close at j, plus one when two
  // neighbouring vertices coincide: a candidate may then not close at j.
  int m_open = 0;
};
