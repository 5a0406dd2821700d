// The box tree over an outline's vertices and edges: searches find what a
// pass over every vertex or edge finds, skip only what their test rules out,
// and never skip a vertex that is not finite.

#include "KelVertexTree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <vector>

#include "CKelCoord.h"

namespace {

// Vertex i at (i, i mod 3): a zigzag whose boxes overlap in y only.
std::vector<CKelCoord2D> Zigzag(int n)
{
  std::vector<CKelCoord2D> pt;
  for (int i = 0; i < n; ++i)
    pt.emplace_back(i, i % 3);
  return pt;
}

bool Inside(const KelBox& box, double x0, double x1) { return box.xmax >= x0 && box.xmin <= x1; }

TEST(KelVertexTree, FirstVertexIsTheLowestTakenInTheRangeWhateverTheSize)
{
  for (int n : {1, 2, 5, 8, 13, 64, 100}) {
    const KelVertexTree tree(Zigzag(n));
    const auto none = [](const KelBox&) { return false; };
    for (int lo = 0; lo <= n; ++lo) {
      for (int hi = lo; hi <= n; hi += 3) {
        const auto even = [](int v) { return v % 2 == 0; };
        const int expected = lo >= hi ? -1 : (lo % 2 == 0 ? lo : (lo + 1 < hi ? lo + 1 : -1));
        EXPECT_EQ(tree.FirstVertex(lo, hi, none, even), expected) << n << " [" << lo << ", " << hi << ")";
      }
    }
  }
}

TEST(KelVertexTree, RuledOutBoxesHideTheirVerticesAndEdgesOnly)
{
  const KelVertexTree tree(Zigzag(40));
  // Boxes wholly left of x = 10 are ruled out: the first vertex taken from 0
  // is then 10.
  const auto leftOfTen = [](const KelBox& box) { return box.xmax < 10; };
  const int first = tree.FirstVertex(0, 40, leftOfTen, [](int) { return true; });
  EXPECT_EQ(first, 10);
  // Edges: every edge whose box meets [20, 22] is reachable, the closing
  // edge (39 back to 0) among them; none other is visited.
  std::set<int> seen;
  const auto apart = [](const KelBox& box) { return !Inside(box, 20, 22); };
  EXPECT_EQ(tree.FindEdge(apart, [&](int v) {
    seen.insert(v);
    return false;
  }),
            -1);
  EXPECT_EQ(seen, (std::set<int>{19, 20, 21, 22, 39}));
  // A range keeps edges outside it unvisited; a hit stops the search.
  seen.clear();
  EXPECT_EQ(tree.FindEdge(21, 40, apart, [&](int v) {
    seen.insert(v);
    return v == 22;
  }),
            22);
  EXPECT_EQ(seen.count(19) + seen.count(20), 0u);
}

// The closing edge runs from the last vertex to the first: its box reaches
// back to vertex 0.
TEST(KelVertexTree, TheLastEdgeClosesTheOutline)
{
  const KelVertexTree tree(Zigzag(6));
  std::set<int> seen;
  tree.FindEdge([](const KelBox& box) { return box.xmin > 0.5; }, [&](int v) {
    seen.insert(v);
    return false;
  });
  EXPECT_EQ(seen, (std::set<int>{0, 5}));
}

TEST(KelVertexTree, AVertexThatIsNotFiniteIsNeverSkipped)
{
  std::vector<CKelCoord2D> pt = Zigzag(9);
  pt[4].m_y = std::numeric_limits<double>::quiet_NaN();
  pt[6].m_x = std::numeric_limits<double>::infinity();
  const KelVertexTree tree(pt);
  EXPECT_FALSE(tree.Finite());
  EXPECT_TRUE(KelVertexTree(Zigzag(9)).Finite());
  // Ruling out every box of finite bounds leaves the vertices and edges
  // that touch a coordinate that is not finite.
  const auto bounded = [](const KelBox& box) { return std::isfinite(box.xmin + box.xmax + box.ymin + box.ymax); };
  std::set<int> vertices;
  tree.FirstVertex(0, 9, bounded, [&](int v) {
    vertices.insert(v);
    return false;
  });
  EXPECT_EQ(vertices, (std::set<int>{4, 6}));
  std::set<int> edges;
  tree.FindEdge(bounded, [&](int v) {
    edges.insert(v);
    return false;
  });
  EXPECT_EQ(edges, (std::set<int>{3, 4, 5, 6}));
}

TEST(KelVertexTree, AnEmptyOutlineHasNothingToFind)
{
  const KelVertexTree tree(std::vector<CKelCoord2D>{});
  EXPECT_EQ(tree.FirstVertex(0, 1, [](const KelBox&) { return false; }, [](int) { return true; }), -1);
  EXPECT_EQ(tree.FindEdge([](const KelBox&) { return false; }, [](int) { return true; }), -1);
}

}  // namespace
