// Set operations of block lists: division, cutting, subtraction, union,
// intersection and the clipping under other tops.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "CKelBlockCubeArray.h"
#include "KelConvexOperand.h"
#include "KelTolerance.h"
#include "VolumeTestSupport.h"

namespace {

using vol_test::Area;
using vol_test::Block;
using vol_test::Box;
using vol_test::ListOf;
using vol_test::Volume;

std::vector<double> SortedAreas(const CKelBlockCubeArray& list)
{
  std::vector<double> areas;
  for (const CKelBlockCube& b : list)
    areas.push_back(b.CalcArea());
  std::sort(areas.begin(), areas.end());
  return areas;
}

// --- A hole is never swallowed -----------------------------------------------------------------

TEST(CKelBlockCubeSetTest, SquareTakenFromTheMiddleLeavesARingOfTwoBlocks)
{
  const CKelBlockCube hole = Box(1, 1, 2, 2, 3);
  for (int start = 0; start < 4; ++start) {
    CKelBlockCube square = hole;
    std::rotate(square.m_Coord.begin(), square.m_Coord.begin() + start, square.m_Coord.end());
    CKelBlockCubeArray removed;
    const CKelBlockCubeArray ring = ListOf({Box(0, 0, 3, 3, 3)}).SubBlock(nullptr, square, &removed);
    ASSERT_EQ(ring.Size(), 2) << start;
    const std::vector<double> areas = SortedAreas(ring);
    EXPECT_NEAR(areas[0], 3, 1e-9) << start;
    EXPECT_NEAR(areas[1], 5, 1e-9) << start;
    EXPECT_NEAR(Area(removed), 1, 1e-9) << start;
  }
}

// --- Division and cutting --------------------------------------------------------------------------

TEST(CKelBlockCubeSetTest, DivideBlockFilesPiecesBySideAndLeavesTheList)
{
  const CKelBlockCubeArray list = ListOf({Box(0, 0, 2, 2, 3), Box(3, 0, 4, 1, 3), Box(-3, 0, -2, 1, 3)});
  CKelBlockCubeArray left;
  CKelBlockCubeArray right;
  left.AddBlock(Box(9, 9, 10, 10, 1));  // emptied first
  // x = 1 upwards: left is x < 1.
  list.DivideBlock(nullptr, CKelCoord2D(1, -5), CKelCoord2D(1, 5), left, right);
  EXPECT_EQ(list.Size(), 3);
  ASSERT_EQ(left.Size(), 2);
  ASSERT_EQ(right.Size(), 2);
  EXPECT_NEAR(Area(left), 3, 1e-12);
  EXPECT_NEAR(Area(right), 3, 1e-12);
}

TEST(CKelBlockCubeSetTest, UndividableBlocksGoByTheirCentroidOrNowhere)
{
  // A self-crossing outline cannot be divided; the line x = 1 leaves most
  // of it on the right. One lying on the line has no side.
  CKelBlockCube bow = Block({{0, 0, 1, 0}, {4, 2, 1, 0}, {4, 0, 1, 0}, {0, 1, 1, 0}});
  bow.SetMinMax();
  CKelBlockCubeArray list;
  list.push_back(bow);
  list.push_back(Block({{1, 0, 1, 0}, {1, 1, 1, 0}, {1, 2, 1, 0}}));
  CKelBlockCubeArray left;
  CKelBlockCubeArray right;
  list.DivideBlock(nullptr, CKelCoord2D(1, -5), CKelCoord2D(1, 5), left, right);
  EXPECT_EQ(left.Size(), 0);
  ASSERT_EQ(right.Size(), 1);
  EXPECT_EQ(right[0].GetSize(), 4);
}

TEST(CKelBlockCubeSetTest, DivideBlockMarksPiecesInPlace)
{
  CKelBlockCubeArray list = ListOf({Box(-3, 0, -2, 1, 3), Box(0, 0, 2, 2, 3), Box(3, 0, 4, 1, 3)});
  for (CKelBlockCube& b : list)
    b.SetWork(16);
  list.DivideBlock(nullptr, CKelCoord2D(1, -5), CKelCoord2D(1, 5), 1, 2);
  ASSERT_EQ(list.Size(), 4);
  EXPECT_EQ(list[0].m_Work, 17);
  EXPECT_EQ(list[3].m_Work, 18);
  EXPECT_EQ(list[1].m_Work | list[2].m_Work, 19);
  EXPECT_NE(list[1].m_Work, list[2].m_Work);
}

TEST(CKelBlockCubeSetTest, CutBlockPieceOrdersAndRemovedParts)
{
  // A U-shape cut across both legs: two upper pieces and one lower.
  CKelBlockCube u = Block({{0, 0, 3, 0}, {3, 0, 3, 0}, {3, 3, 3, 0}, {2, 3, 3, 0}, {2, 1, 3, 0}, {1, 1, 3, 0},
                           {1, 3, 3, 0}, {0, 3, 3, 0}});
  u.SetMinMax();
  CKelBlockCubeList produced;
  ASSERT_TRUE(u.Divide(nullptr, CKelCoord2D(-1, 2), CKelCoord2D(5, 2), produced, CKelBlockCube::DEL_TOP));
  ASSERT_EQ(produced.size(), 1u);  // the part below y = 2 (the right side)

  // Without a removed list the kept pieces stand in reverse order.
  CKelBlockCubeList both;
  ASSERT_TRUE(u.Divide(nullptr, CKelCoord2D(5, 2), CKelCoord2D(-1, 2), both, CKelBlockCube::DEL_TOP));
  ASSERT_EQ(both.size(), 2u);  // the two legs above y = 2 (right of the reversed line)
  CKelBlockCubeArray list = ListOf({u});
  list.CutBlock(nullptr, CKelCoord2D(5, 2), CKelCoord2D(-1, 2), CKelBlockCube::DEL_TOP, nullptr);
  ASSERT_EQ(list.Size(), 2);
  EXPECT_DOUBLE_EQ(list[0].XMin(), both[1].XMin());
  EXPECT_DOUBLE_EQ(list[1].XMin(), both[0].XMin());

  // With one, in the order produced; the masked side moves over.
  CKelBlockCubeArray kept = ListOf({u});
  CKelBlockCubeArray removed;
  kept.CutBlock(nullptr, CKelCoord2D(5, 2), CKelCoord2D(-1, 2), CKelBlockCube::DEL_TOP, &removed);
  ASSERT_EQ(kept.Size(), 2);
  EXPECT_DOUBLE_EQ(kept[0].XMin(), both[0].XMin());
  EXPECT_NEAR(Area(removed), 5, 1e-12);

  // Mask 0 erases a block lying wholly on the line.
  CKelBlockCubeArray flat;
  flat.push_back(Block({{0, 0, 1, 0}, {1, 0, 1, 0}, {2, 0, 1, 0}}));
  flat.CutBlock(nullptr, CKelCoord2D(-1, 0), CKelCoord2D(5, 0), 0, nullptr);
  EXPECT_TRUE(flat.empty());
}

// --- Subtraction, union, intersection ---------------------------------------------------------------

TEST(CKelBlockCubeSetTest, PlanOperationsOfSimpleCases)
{
  const CKelBlockCubeArray set = ListOf({Box(0, 0, 2, 2, 3)});
  CKelBlockCubeArray removed;
  const CKelBlockCubeArray apart = set.SubBlock(nullptr, Box(5, 5, 6, 6, 1), &removed);
  EXPECT_TRUE(removed.empty());
  ASSERT_EQ(apart.Size(), 1);
  EXPECT_DOUBLE_EQ(apart[0].Menseki(), 4);

  // Concave subtrahend: an L over the corner.
  const CKelBlockCube ell = Block({{1, 1, 1, 0}, {3, 1, 1, 0}, {3, 3, 1, 0}, {0, 3, 1, 0}, {0, 1.5, 1, 0}, {1, 1.5, 1, 0}});
  const CKelBlockCubeArray rest = set.SubBlock(nullptr, ell, nullptr);
  EXPECT_NEAR(Area(rest), 4 - 1 - 0.5, 1e-9);

  EXPECT_TRUE(set.AndBlock(nullptr, Box(5, 5, 6, 6, 1)).empty());
  EXPECT_NEAR(Area(set.AndBlock(nullptr, ell)), 1.5, 1e-9);

  // Degenerate operands remove nothing and intersect to nothing.
  const CKelBlockCube sliver = Block({{0, 0, 1, 0}, {1, 0, 1, 0}, {2, 0, 1, 0}});
  EXPECT_NEAR(Area(set.SubBlock(nullptr, sliver, nullptr)), 4, 1e-12);
  EXPECT_TRUE(set.AndBlock(nullptr, sliver).empty());

  const CKelBlockCubeArray both = set.AddBlock(nullptr, ListOf({Box(1, 1, 3, 3, 3)}));
  EXPECT_NEAR(Area(both), 7, 1e-9);
  EXPECT_LE(both.Size(), 2);
}

// A box of the given size standing `along` metres down the line through p
// in direction angle, one edge on the line, on its left or right.
CKelBlockCube BoxDownTheLine(double px, double py, double angle, double along, bool left)
{
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const double ax = px + c * along;
  const double ay = py + s * along;
  const double bx = ax + 3 * c;
  const double by = ay + 3 * s;
  const double h = left ? 2 : -2;
  CKelBlockCube box = Block({{ax, ay, 5, 0}, {bx, by, 5, 0}, {bx - s * h, by + c * h, 5, 0}, {ax - s * h, ay + c * h, 5, 0}});
  if (!left)
    std::reverse(box.m_Coord.begin(), box.m_Coord.end());
  box.SetMinMax();
  box.SetType();
  box.GetPlaneEquation(false);
  box.GetPlaneEquation(true);
  return box;
}

bool SameOutline(const CKelBlockCube& a, const CKelBlockCube& b)
{
  if (a.m_Coord.size() != b.m_Coord.size())
    return false;
  for (std::size_t i = 0; i < a.m_Coord.size(); ++i) {
    const CKelBlockCoord& p = a.m_Coord[i];
    const CKelBlockCoord& q = b.m_Coord[i];
    if (!(p.m_x == q.m_x && p.m_y == q.m_y && p.m_z == q.m_z && p.m_zL == q.m_zL))
      return false;
  }
  return a.Menseki() == b.Menseki();
}

// A block subtracted far away leaves a block as it is, although the lines
// of its edges run through it: not moved by the round-off of a division and
// merge, not snapped onto a line that passes within the on-line band of one
// of its vertices, not left in two pieces where the merge refuses. The
// lines pass through each vertex, and within and beyond the band of it.
TEST(CKelBlockCubeSetTest, ABlockTakenAwayFarOffLeavesTheBlocksItsEdgeLinesCrossAsTheyAre)
{
  CKelBlockCube star = Block({{4.0223034292739941, 1.7344557361535131, 3, 0},
                              {1.5709208321611881, 4.6199361989856333, 3, 0},
                              {-1.0093463940802261, 0.86010991576010798, 3, 0},
                              {-4.7209172821584238, -4.902085129337781, 3, 0},
                              {0.096042418905739849, -3.3433959893111989, 3, 0},
                              {2.3284690731588347, -2.1903150004058989, 3, 0}});
  star.SetMinMax();
  star.SetType();
  const CKelBlockCube ell =
      Block({{10.25, 20.5, 6, 1}, {17.75, 20.5, 6, 1}, {17.75, 23.125, 6, 1}, {13.5, 23.125, 6, 1}, {13.5, 27.3, 6, 1}, {10.25, 27.3, 6, 1}});
  int cases = 0;
  for (const CKelBlockCube& block : {star, ell}) {
    const CKelBlockCubeArray list = ListOf({block});
    for (const CKelBlockCoord& v : block.m_Coord) {
      for (int k = 0; k < 7; ++k) {
        const double angle = 0.3 + k * 3.14159 / 7;
        for (const double off : {0.0, 1e-5, -2e-5, 3e-5, 1e-4}) {
          const double px = v.m_x - std::sin(angle) * off;
          const double py = v.m_y + std::cos(angle) * off;
          // Up or down the line, so that the clip meets the line before or
          // after an edge that files the block outside.
          const double along = (k % 3 == 0 ? 1 : -1) * (40 + 7 * k);
          const CKelBlockCube far = BoxDownTheLine(px, py, angle, along, k % 2 == 0);
          CKelBlockCubeArray removed;
          const CKelBlockCubeArray one = list.SubBlock(nullptr, far, &removed);
          EXPECT_TRUE(removed.empty());
          ASSERT_EQ(one.Size(), 1) << cases;
          EXPECT_TRUE(SameOutline(one[0], list[0])) << cases;
          const CKelBlockCubeArray many = list.SubBlock(nullptr, ListOf({far}));
          ASSERT_EQ(many.Size(), 1) << cases;
          EXPECT_TRUE(SameOutline(many[0], list[0])) << cases;
          const CKelBlockCubeArray both = ListOf({far}).AddBlock(nullptr, list);
          ASSERT_EQ(both.Size(), 2) << cases;
          EXPECT_TRUE(SameOutline(both[0], list[0])) << cases;
          ++cases;
        }
      }
    }
  }
  // A line 4.6e-5 off a vertex: the merge of the division's two pieces was
  // refused and the block was left in two.
  const CKelBlockCube far = Block({{-26.920957359822268, 71.702522460796786, 5, 0},
                                   {-25.814235440662099, 72.107320841990855, 5, 0},
                                   {-27.672426065931152, 77.187628448204549, 5, 0},
                                   {-28.779147985091321, 76.78283006701048, 5, 0}});
  const CKelBlockCubeArray list = ListOf({star});
  const CKelBlockCubeArray rest = list.SubBlock(nullptr, far, nullptr);
  ASSERT_EQ(rest.Size(), 1);
  EXPECT_TRUE(SameOutline(rest[0], list[0]));
}

// Only a block farther than the on-line band from the operand's extents
// counts as apart; one within it is still divided and snapped as before.
TEST(CKelBlockCubeSetTest, ABlockIsApartFromAnOperandOnlyBeyondTheOnLineBand)
{
  const KelEdge::Extents operand{0, 2, 0, 2};
  const double band = KelTol::BlockPoint;
  const auto apart = [&](double x0, double y0) {
    const std::vector<CKelCoord2D> points{{x0, y0}, {x0 + 1, y0}, {x0 + 1, y0 + 1}, {x0, y0 + 1}};
    return kel_set::ApartFromOperand(points, operand);
  };
  EXPECT_TRUE(apart(2 + 2 * band, 0.5));
  EXPECT_TRUE(apart(-1 - 2 * band, 0.5));
  EXPECT_TRUE(apart(0.5, 2 + 2 * band));
  EXPECT_TRUE(apart(0.5, -1 - 2 * band));
  EXPECT_FALSE(apart(2 + band / 2, 0.5));
  EXPECT_FALSE(apart(0.5, -1 - band / 2));
  EXPECT_FALSE(apart(1, 1));
  const std::vector<CKelCoord2D> unknown{{10, 10}, {std::nan(""), 11}, {11, 11}};
  EXPECT_FALSE(kel_set::ApartFromOperand(unknown, operand));
  EXPECT_FALSE(kel_set::ApartFromOperand(std::vector<CKelCoord2D>{}, operand));
}

// Random non-overlapping sets of boxes and L shapes with planar (possibly
// sloped) tops on a 1/4 m lattice.
CKelBlockCubeArray RandomSet(std::mt19937& rng, double dx)
{
  std::uniform_int_distribution<int> cell(0, 1);
  std::uniform_int_distribution<int> height(2, 8);
  CKelBlockCubeArray set;
  for (int gy = 0; gy < 3; ++gy) {
    for (int gx = 0; gx < 3; ++gx) {
      if (cell(rng) == 0)
        continue;
      const double x0 = gx * 4 + dx;
      const double y0 = gy * 4 + dx / 2;
      const double w = 1 + (rng() % 12) * 0.25;
      const double h = 1 + (rng() % 12) * 0.25;
      const double z = height(rng);
      const double slope = (rng() % 3) * 0.25;
      auto top = [&](double x) { return z + slope * (x - x0); };
      if (rng() % 2 == 0) {
        set.AddBlock(Block({{x0, y0, top(x0), 0}, {x0 + w, y0, top(x0 + w), 0}, {x0 + w, y0 + h, top(x0 + w), 0},
                            {x0, y0 + h, top(x0), 0}}));
      } else {
        const double a = w / 2;
        const double b = h / 2;
        set.AddBlock(Block({{x0, y0, top(x0), 0}, {x0 + w, y0, top(x0 + w), 0}, {x0 + w, y0 + b, top(x0 + w), 0},
                            {x0 + a, y0 + b, top(x0 + a), 0}, {x0 + a, y0 + h, top(x0 + a), 0},
                            {x0, y0 + h, top(x0), 0}}));
      }
    }
  }
  return set;
}

TEST(CKelBlockCubeSetTest, SetOperationsSumToTheirOperands)
{
  std::mt19937 rng(112);
  for (int trial = 0; trial < 30; ++trial) {
    const CKelBlockCubeArray A = RandomSet(rng, 0);
    const CKelBlockCubeArray B = RandomSet(rng, 1.5);
    const CKelBlockCubeArray copyA = A;
    const double tolA = 1e-9;  // a 1/4 m lattice: every cut lands exactly
    const double tolV = 1e-8;
    const CKelBlockCubeArray sub = A.SubBlock(nullptr, B);
    const CKelBlockCubeArray andAB = A.AndBlock(nullptr, B);
    const CKelBlockCubeArray andBA = B.AndBlock(nullptr, A);
    const CKelBlockCubeArray add = A.AddBlock(nullptr, B);
    EXPECT_NEAR(Area(sub) + Area(andAB), Area(A), tolA) << trial;
    EXPECT_NEAR(Volume(sub) + Volume(andAB), Volume(A), tolV) << trial;
    EXPECT_NEAR(Area(add) + Area(andAB), Area(A) + Area(B), tolA) << trial;
    EXPECT_NEAR(Volume(add) + Volume(andBA), Volume(A) + Volume(B), tolV) << trial;
    EXPECT_TRUE(A == copyA) << trial;  // operands are left as they were
  }
}

// --- Clipping under other tops ----------------------------------------------------------------------

TEST(CKelBlockCubeSetTest, BlockSubBlockRemovesOrLowersWhatRisesAbove)
{
  struct Case {
    const char* name;
    double otherTop;
    bool lower;
  } cases[] = {
      {"removed", 2, false},
      {"lowered", 2, true},
      {"at level 0, removed", 0, false},
      {"at level 0, lowered", 0, true},
  };
  // The tall box (0,0)-(3,2) at 6, the other (2,0)-(4,2) at otherTop: the
  // overlap (2,0)-(3,2) of area 2 is taken away or brought down.
  for (const Case& c : cases) {
    CKelBlockCubeArray set = ListOf({Box(0, 0, 3, 2, 6)});
    const CKelBlockCube other = Box(2, 0, 4, 2, c.otherTop);
    const bool changed = c.lower ? other.SubBlock2(set, other) : other.SubBlock(set, other);
    EXPECT_TRUE(changed) << c.name;
    const double kept = 4 * 6;
    const double expected = kept + (c.lower ? 2 * c.otherTop : 0);
    EXPECT_NEAR(Volume(set), expected, 1e-9) << c.name;
    EXPECT_NEAR(Area(set), c.lower && c.otherTop > 0 ? 6 : 4, 1e-9) << c.name;
  }
  // A piece on both sides of the other's top stays as it is.
  CKelBlockCubeArray sloped = ListOf({Block({{0, 0, 2, 0}, {4, 0, 6, 0}, {4, 1, 6, 0}, {0, 1, 2, 0}})});
  const CKelBlockCube cover = Box(-1, -1, 5, 2, 4);
  EXPECT_FALSE(cover.SubBlock(sloped, cover));
  EXPECT_FALSE(cover.SubBlock2(sloped, cover));
  EXPECT_NEAR(Volume(sloped), 16, 1e-9);

  // A lower box does not rise above a taller one: nothing changes.
  CKelBlockCubeArray low = ListOf({Box(0, 0, 3, 2, 1)});
  EXPECT_FALSE(Box(2, 0, 4, 2, 5).SubBlock(low, Box(2, 0, 4, 2, 5)));
  EXPECT_NEAR(Area(low), 6, 1e-12);
}

TEST(CKelBlockCubeSetTest, SolidSubtractionKeepsTheLowerOfCrossingTops)
{
  // Two boxes over the same plan with tops sloping against each other:
  // z = 2 + x and z = 6 - x cross at x = 2.
  const CKelBlockCube rising = Block({{0, 0, 2, 0}, {4, 0, 6, 0}, {4, 1, 6, 0}, {0, 1, 2, 0}});
  const CKelBlockCube falling = Block({{0, 0, 6, 0}, {4, 0, 2, 0}, {4, 1, 2, 0}, {0, 1, 6, 0}});
  const CKelBlockCubeArray both = ListOf({rising, falling});
  const CKelBlockCubeArray clipped = both.SolidSubBlock(both);
  // Each keeps only its part below the other: rising on x < 2, falling on x > 2.
  EXPECT_NEAR(Area(clipped), 4, 1e-9);
  EXPECT_NEAR(Volume(clipped), 2 * (2 + 4) / 2.0 * 2, 1e-9);
  for (const CKelBlockCube& b : clipped)
    for (const CKelBlockCoord& c : b.m_Coord)
      EXPECT_LE(c.m_z, 4 + 1e-9);
}

}  // namespace
