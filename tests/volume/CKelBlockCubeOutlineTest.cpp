// Outline clean-up and tests: the band of DeleteOnLine, repeated vertices,
// the end rules of the two crossing tests, self-crossing, crossing points,
// points on segments and the point location's tolerance boundaries.

#include "CKelBlockCube.h"

#include <gtest/gtest.h>

#include "VolumeShapeSupport.h"

namespace {

using vol_shape::BlockOver;
using vol_shape::Plan;
using vol_shape::PlanOf;

CKelBlockCube Outline(const Plan& plan)
{
  CKelBlockCube block;
  for (const auto& [x, y] : plan)
    block.Append(CKelBlockCoord(x, y, 1, 0));
  return block;
}

TEST(CKelBlockCubeOutlineTest, DeleteOnLineRemovesVerticesWithinTheBand)
{
  struct Case {
    Plan plan;
    bool removed;
    Plan after;
  } cases[] = {
      {{{0, 0}, {0.5, 0}, {1, 0}, {1, 1}, {0, 1}}, true, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
      {{{0, 0}, {0.5, 1e-5}, {1, 0}, {1, 1}, {0, 1}}, true, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
      {{{0, 0}, {0.5, 1e-4}, {1, 0}, {1, 1}, {0, 1}}, false, {{0, 0}, {0.5, 1e-4}, {1, 0}, {1, 1}, {0, 1}}},
      // A repeated vertex: the earlier copy goes.
      {{{0, 0}, {1, 0}, {1, 0}, {1, 1}, {0, 1}}, true, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
      // A spike whose neighbours coincide has no direction and goes.
      {{{0, 0}, {1, 0}, {1, 1}, {5, 5}, {1, 1}, {0, 1}}, true, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
      {{{0, 0}, {1, 0}}, true, {}},
  };
  for (const Case& c : cases) {
    CKelBlockCube block = Outline(c.plan);
    EXPECT_EQ(block.DeleteOnLine(), c.removed);
    EXPECT_EQ(PlanOf(block), c.after);
  }
}

TEST(CKelBlockCubeOutlineTest, RepeatedVerticesAreFoundAnywhereOrBetweenNeighbours)
{
  const CKelBlockCube square = Outline({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  const CKelBlockCube revisits = Outline({{0, 0}, {1, 0}, {1, 1}, {0, 0}, {-1, 1}, {-1, 0}});
  const CKelBlockCube closing = Outline({{0, 0}, {1, 0}, {1, 1}, {0, 1e-5}});
  EXPECT_TRUE(square.CheckSameCoord());
  EXPECT_TRUE(square.CheckSamePoint());
  EXPECT_FALSE(revisits.CheckSameCoord());
  EXPECT_TRUE(revisits.CheckSamePoint());
  EXPECT_FALSE(closing.CheckSamePoint());
  EXPECT_TRUE(CKelBlockCube().CheckSameCoord());
}

TEST(CKelBlockCubeOutlineTest, CrossingTestsKeepTheirEndRules)
{
  const CKelCoord2D p1(0, 0), p2(4, 0);
  struct Case {
    CKelCoord2D q1, q2;
    bool strict, closed;
  } cases[] = {
      {{2, -1}, {2, 1}, true, true},            // a proper crossing
      {{0, -1}, {0, 1}, false, false},          // through p1
      {{4, 1}, {4, 1e-5}, false, false},        // touching p2
      {{2, 0}, {2, 1}, true, true},             // an end on the inside
      {{1e-5, 0}, {1e-5, 1}, false, true},      // an end within the strict band of p1
      {{1, 0}, {3, 0}, true, true},             // collinear inside
      {{5, 0}, {6, 0}, false, false},           // collinear beyond
      {{2, 1}, {3, 1}, false, false},           // parallel
      {{2, 1}, {2, 0.5}, false, false},         // short of the line
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CKelBlockCube::IsLineCrossed(p1, p2, c.q1, c.q2), c.strict) << c.q1.m_x << "," << c.q1.m_y;
    EXPECT_EQ(CKelBlockCube::IsLineCrossed2(p1, p2, c.q1, c.q2), c.closed) << c.q1.m_x << "," << c.q1.m_y;
  }
}

TEST(CKelBlockCubeOutlineTest, SelfCrossingAndFreeEdges)
{
  const CKelBlockCube square = Outline({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  const CKelBlockCube bowTie = Outline({{0, 0}, {1, 1}, {1, 0}, {0, 1}});
  // A vertex touching another edge's inside.
  const CKelBlockCube touching = Outline({{0, 0}, {4, 0}, {4, 4}, {2, 0}, {0, 4}});
  EXPECT_TRUE(square.CheckCross());
  EXPECT_TRUE(square.CheckCross2());
  EXPECT_FALSE(bowTie.CheckCross());
  EXPECT_FALSE(bowTie.CheckCross2());
  EXPECT_FALSE(touching.CheckCross());
  EXPECT_FALSE(touching.CheckCross2());
  EXPECT_TRUE(CKelBlockCube().CheckCross());
  // The segment (0.5, -1)-(0.5, 2) crosses the square, skipping no edge.
  EXPECT_FALSE(square.CheckCross({0.5, -1}, {0.5, 2}, -1));
  EXPECT_TRUE(square.CheckCross({0.5, 0.2}, {0.5, 0.8}, -1));
  EXPECT_FALSE(square.CheckCross2({0, 0}, {1, 1}, 0, 2) && square.CheckCross2({0, 0}, {2, 0}, 0, 1));
}

TEST(CKelBlockCubeOutlineTest, CrossPointsAndPointsOnSegments)
{
  double x = 7, y = 7;
  EXPECT_TRUE(CKelBlockCube::CalCrossPoint(0, 0, 2, 2, 0, 2, 2, 0, &x, &y));
  EXPECT_DOUBLE_EQ(x, 1.0);
  EXPECT_DOUBLE_EQ(y, 1.0);
  x = y = 7;
  EXPECT_FALSE(CKelBlockCube::CalCrossPoint(0, 0, 1, 0, 0, 1, 1, 1, &x, &y));
  EXPECT_EQ(x, 7.0);
  EXPECT_TRUE(CKelBlockCube::CalCrossPoint(0, 0, 2, 2, 0, 2, 2, 0, nullptr, &y));

  const CKelCoord2D a(0, 0), b(1, 0);
  struct Case {
    CKelCoord2D p;
    bool on;
  } cases[] = {{{0.5, 0}, true}, {{1 + 5e-6, 0}, true}, {{-5e-6, 0}, true}, {{1 + 2e-5, 0}, false},
               {{-2e-5, 0}, false}, {{0.5, 5e-6}, true}, {{0.5, 2e-5}, false}};
  for (const Case& c : cases)
    EXPECT_EQ(CKelBlockCube::OnLinePoint(c.p, a, b), c.on) << c.p.m_x << "," << c.p.m_y;
}

TEST(CKelBlockCubeOutlineTest, InAreaOfTheUnitSquareAtItsBoundaries)
{
  const CKelBlockCube square = BlockOver({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {1});
  struct Case {
    CKelCoord2D p;
    int where;
  } cases[] = {
      {{0.5, 0.5}, 1},       {{2, 0.5}, 0},         {{1, 0.5}, -1},      {{1.0000005, 0.5}, -1},
      {{0.5, 1}, -1},        {{1.000005, 0.5}, 0},  {{0.999995, 0.5}, -1}, {{0.99998, 0.5}, 1},
      {{-0.0000005, 0}, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(square.InArea(c.p), c.where) << c.p.m_x << "," << c.p.m_y;
  EXPECT_EQ(CKelBlockCube().InArea({0, 0}), 0);
}

TEST(CKelBlockCubeOutlineTest, InAreaCountsAVertexLevelWithThePointOnlyWhereTheOutlinePassesThrough)
{
  // A local bottom at (2, 1) and a pass-through vertex at (0, 2).
  const CKelBlockCube vee = BlockOver({{0, 0}, {4, 0}, {4, 3}, {2, 1}, {0, 3}}, {1});
  EXPECT_EQ(vee.InArea({3, 1}), 1);    // level with the turning vertex to its left
  EXPECT_EQ(vee.InArea({-0.5, 1}), 0);
  const CKelBlockCube step = BlockOver({{0, 0}, {2, 0}, {2, 2}, {1, 2}, {1, 4}, {0, 4}}, {1});
  EXPECT_EQ(step.InArea({1.5, 2}), -1);
  EXPECT_EQ(step.InArea({0.5, 2}), 1);  // level with the step's vertices
  EXPECT_EQ(step.InArea({1.5, 3}), 0);
}

}  // namespace
