#pragma once
// KelVertexTree: a tree of boxes over a closed outline's vertices in index
// order. Leaf v holds vertex v and the edge that leaves it (v to v + 1, the
// last vertex to the first); every inner node the boxes of its leaves. A
// search hands in a test that rules out a whole box and skips what it rules
// out, so asking about the few vertices or edges near one place costs about
// the logarithm of the outline's size instead of a pass over all of it.
//
// The tree is complete over a power of two of leaves; leaves past the last
// vertex hold empty boxes and are never visited. A coordinate that is not
// finite gives its boxes no bounds, and the searches' callers rule out no
// such box, so that nothing is ever skipped on a comparison with NaN.

#include <cmath>
#include <cstddef>
#include <vector>

#include "CKelCoord.h"

struct KelBox {
  double xmin = 0;
  double ymin = 0;
  double xmax = -1;
  double ymax = -1;

  bool Empty() const { return !(xmin <= xmax && ymin <= ymax); }
};

// The four corners of a box, relative to a point o.
struct KelBoxCorners {
  double dx[4];
  double dy[4];
  double reach = 0;  // the largest |dx| + |dy| among them

  KelBoxCorners(const KelBox& box, const CKelCoord2D& o)
      : dx{box.xmin - o.m_x, box.xmin - o.m_x, box.xmax - o.m_x, box.xmax - o.m_x},
        dy{box.ymin - o.m_y, box.ymax - o.m_y, box.ymin - o.m_y, box.ymax - o.m_y}
  {
    for (int k = 0; k < 4; ++k)
      reach = std::fmax(reach, std::fabs(dx[k]) + std::fabs(dy[k]));
  }

  // Whether f(dx, dy) holds at every corner: for a condition linear in the
  // point, at every point of the box.
  template <class F>
  bool All(const F& f) const
  {
    for (int k = 0; k < 4; ++k)
      if (!f(dx[k], dy[k]))
        return false;
    return true;
  }
};

class KelVertexTree {
public:
  explicit KelVertexTree(const std::vector<CKelCoord2D>& pt);

  // Whether every coordinate is finite: only then may a box rule anything out.
  bool Finite() const { return m_finite; }

  // The first vertex v in [lo, hi), ascending, that accept(v) takes, or -1.
  // Subtrees whose vertex box ruledOut(box) holds are skipped.
  template <class RuledOut, class Accept>
  int FirstVertex(int lo, int hi, const RuledOut& ruledOut, const Accept& accept) const
  {
    return FirstVertexUnder(1, 0, m_leaves, lo, hi, ruledOut, accept);
  }

  // Some edge v in [lo, hi), in no particular order, that hit(v) takes, or
  // -1. Subtrees whose edge box ruledOut(box) holds are skipped.
  template <class RuledOut, class Hit>
  int FindEdge(int lo, int hi, const RuledOut& ruledOut, const Hit& hit) const
  {
    struct Visit {
      int node;
      int from;
      int to;
    };
    Visit stack[kMaxDepth + 1];
    int top = 0;
    stack[top++] = Visit{1, 0, m_leaves};
    while (top > 0) {
      const Visit at = stack[--top];
      if (at.to <= lo || at.from >= hi)
        continue;
      const KelBox& box = m_edgeBox[static_cast<std::size_t>(at.node)];
      if (box.Empty() || ruledOut(box))
        continue;
      if (at.node >= m_leaves) {
        if (hit(at.from))
          return at.from;
        continue;
      }
      const int mid = at.from + (at.to - at.from) / 2;
      stack[top++] = Visit{2 * at.node + 1, mid, at.to};
      stack[top++] = Visit{2 * at.node, at.from, mid};
    }
    return -1;
  }

  template <class RuledOut, class Hit>
  int FindEdge(const RuledOut& ruledOut, const Hit& hit) const
  {
    return FindEdge(0, m_leaves, ruledOut, hit);
  }

private:
  // Enough for any outline an int can count.
  static constexpr int kMaxDepth = 32;

  template <class RuledOut, class Accept>
  int FirstVertexUnder(int node, int from, int to, int lo, int hi, const RuledOut& ruledOut,
                       const Accept& accept) const
  {
    if (to <= lo || from >= hi)
      return -1;
    const KelBox& box = m_vertexBox[static_cast<std::size_t>(node)];
    if (box.Empty() || ruledOut(box))
      return -1;
    if (node >= m_leaves)
      return accept(from) ? from : -1;
    const int mid = from + (to - from) / 2;
    const int left = FirstVertexUnder(2 * node, from, mid, lo, hi, ruledOut, accept);
    return left >= 0 ? left : FirstVertexUnder(2 * node + 1, mid, to, lo, hi, ruledOut, accept);
  }

  int m_leaves = 1;
  bool m_finite = true;
  std::vector<KelBox> m_vertexBox;  // by tree node, the root at 1
  std::vector<KelBox> m_edgeBox;
};
