#pragma once
// Which operands of a subtraction may fail to pass a block whole.
//
// An operand passes a block whole when, for every convex piece of it, the
// block lies strictly right of one edge line (by the on-line band
// KelTol::BlockPoint or more) after edge lines it lies strictly left of
// (CKelBlockCubeArraySet.cpp). Testing every operand against every block
// grows with the square of the list; this index answers, for a plan box,
// the operands whose test is not settled by the box alone:
//   - an operand that is not usable, or whose lines or vertices are not
//     finite numbers, or that has a piece without edges;
//   - an operand with an edge line whose on-line band, widened by a bound
//     on the test's round-off, meets the box: the line may not leave every
//     point of the box strictly on one side;
//   - an operand whose pieces' vertex box meets the box.
// Every other operand passes any block whose plan points lie in the box:
// each edge line leaves all of them strictly on one side, and a point
// strictly left of every edge of a closed outline is wound round by it, so
// lies inside its vertices' box; so every piece has an edge the block lies
// strictly right of, and the first such edge comes after edges it lies
// strictly left of only.
//
// Edge lines are kept in groups of one exact direction (cosine and sine as
// the test works them out), sorted by their offset along the direction's
// normal, so a box finds the lines near it by two binary searches per
// group. Buildings have few directions; the lines of an operand with a
// direction beyond kMaxGroups make it a candidate for every box.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "CKelCoord.h"
#include "KelEdge.h"

class KelPassIndex {
public:
  // An edge line as the pass test measures it: h = c (y - p.y) - s (x - p.x).
  struct Line {
    double c = 1;
    double s = 0;
    CKelCoord2D p;
  };
  // One operand: usable, its pieces' edge lines piece by piece, and its
  // pieces' vertices.
  struct Operand {
    bool usable = false;
    std::vector<std::vector<Line>> pieces;
    std::vector<CKelCoord2D> vertices;
  };

  static constexpr std::size_t kMaxGroups = 32;

  // The plan extents of points (coordinates that are not numbers left out).
  template <class Points>
  static KelEdge::Extents ExtentsOf(const Points& points)
  {
    KelEdge::Extents box{HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL};
    for (const CKelCoord2D& p : points) {
      box.xmin = std::min(box.xmin, p.m_x);
      box.xmax = std::max(box.xmax, p.m_x);
      box.ymin = std::min(box.ymin, p.m_y);
      box.ymax = std::max(box.ymax, p.m_y);
    }
    return box;
  }

  // Operands are numbered in the order they are given.
  explicit KelPassIndex(const std::vector<Operand>& operands);

  // The operands numbered from `from` on that may fail the test of a block
  // whose plan points lie in box, ascending; false (out untouched) when the
  // box is not finite.
  bool Candidates(const KelEdge::Extents& box, std::size_t from, std::vector<std::size_t>& out) const;

private:
  struct Entry {
    double offset = 0;
    std::size_t operand = 0;
  };
  struct Group {
    double c = 1;
    double s = 0;
    double scale = 0;  // the largest |x| + |y| of its lines' points
    std::vector<Entry> entries;
  };
  struct BoxEntry {
    KelEdge::Extents box;
    std::size_t operand = 0;
  };

  void Add(std::size_t number, const Operand& operand);
  bool GroupLines(const Operand& operand, std::vector<std::size_t>& groups);
  void LinesNear(const KelEdge::Extents& box, std::size_t from, std::vector<std::size_t>& out) const;
  void BoxesMeeting(const KelEdge::Extents& box, std::size_t from, std::vector<std::size_t>& out) const;

  std::vector<std::size_t> m_Always;  // ascending
  std::vector<Group> m_Groups;        // entries by offset
  std::vector<BoxEntry> m_Boxes;      // by xmin
  double m_MaxWidth = 0;
};
