// Division of blocks by a line: the exact pieces and their order for small
// outlines, the tolerance of vertices on the line, heights of crossing
// vertices, refusals, and the invariants over random outlines (pieces on one
// side, counter-clockwise, areas and volumes summing to the block's).

#include "CKelBlockCube.h"

#include <gtest/gtest.h>

#include <random>

#include "VolumeShapeSupport.h"
#include "VolumeTestSupport.h"

namespace {

using vol_shape::BlockOver;
using vol_shape::Plan;
using vol_shape::PlanOf;
using vol_shape::Volume;
using Mask = CKelBlockCube::DELETEMASK;

const Plan kSquare{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
const Plan kU{{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}};

CKelBlockCubeList Pieces(const CKelBlockCube& block, CKelCoord2D p1, CKelCoord2D p2, int mask = 0)
{
  CKelBlockCubeList out;
  EXPECT_TRUE(block.Divide(nullptr, p1, p2, out, mask));
  return out;
}

// --- Exact pieces ---------------------------------------------------------------------------

TEST(CKelBlockCubeDivideTest, SquareGivesLowerThenUpperHalfAndMasksDropASide)
{
  const CKelBlockCube square = BlockOver(kSquare, {3});
  const Plan lower{{-1, 0}, {-1, -1}, {1, -1}, {1, 0}};
  const Plan upper{{1, 0}, {1, 1}, {-1, 1}, {-1, 0}};
  struct Case {
    int mask;
    std::vector<Plan> plans;
  } cases[] = {{0, {lower, upper}}, {Mask::DEL_TOP, {lower}}, {Mask::DEL_BOT, {upper}}};
  for (const Case& c : cases) {
    const CKelBlockCubeList out = Pieces(square, {0, 0}, {1, 0}, c.mask);
    ASSERT_EQ(out.size(), c.plans.size()) << c.mask;
    for (std::size_t k = 0; k < out.size(); ++k) {
      EXPECT_EQ(PlanOf(out[k]), c.plans[k]) << c.mask;
      EXPECT_DOUBLE_EQ(out[k].Menseki(), 2.0);
      EXPECT_EQ(out[k].XMin(), -1.0);
      EXPECT_DOUBLE_EQ(out[k].m_Coord[0].m_z, 3.0);
    }
  }
}

TEST(CKelBlockCubeDivideTest, UShapeGivesBaseThenRightLegThenLeftLeg)
{
  const CKelBlockCubeList out = Pieces(BlockOver(kU, {1}), {0, 2}, {1, 2});
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(PlanOf(out[0]), (Plan{{2, 2}, {2, 1}, {1, 1}, {1, 2}, {0, 2}, {0, 0}, {3, 0}, {3, 2}}));
  EXPECT_DOUBLE_EQ(out[0].Menseki(), 5.0);
  EXPECT_EQ(PlanOf(out[1]), (Plan{{3, 2}, {3, 3}, {2, 3}, {2, 2}}));
  EXPECT_EQ(PlanOf(out[2]), (Plan{{1, 2}, {1, 3}, {0, 3}, {0, 2}}));
  EXPECT_DOUBLE_EQ(out[1].Menseki(), 1.0);
  EXPECT_DOUBLE_EQ(out[2].Menseki(), 1.0);
}

TEST(CKelBlockCubeDivideTest, LinesThatMissOrTouchLeaveTheListAloneAndAnEdgeOnTheLineGivesTheBlock)
{
  const CKelBlockCube square = BlockOver(kSquare, {3});
  const CKelBlockCube sentinel = BlockOver({{5, 5}, {6, 5}, {6, 6}}, {1});
  // One line misses, one touches the corner (-1, 1) only.
  for (const auto& [p1, p2] : {std::pair{CKelCoord2D(0, 5), CKelCoord2D(1, 5)},
                               std::pair{CKelCoord2D(-1, 1), CKelCoord2D(0, 2)}}) {
    CKelBlockCubeList out{sentinel};
    EXPECT_FALSE(square.Divide(nullptr, p1, p2, out, 0));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0], sentinel);
  }
  const CKelBlockCubeList along = Pieces(square, {5, -1}, {6, -1});
  ASSERT_EQ(along.size(), 1u);
  EXPECT_DOUBLE_EQ(along[0].Menseki(), 4.0);
  CKelBlockCubeList masked;
  EXPECT_TRUE(square.Divide(nullptr, {5, -1}, {6, -1}, masked, Mask::DEL_TOP));
  EXPECT_TRUE(masked.empty());
}

TEST(CKelBlockCubeDivideTest, AVertexWithinTheBandLiesExactlyOnTheLineInThePieces)
{
  // (2, 1e-5) counts as on the line y = 0; (0, 3e-5) would not.
  const CKelBlockCube block = BlockOver({{0, -1}, {2, 1e-5}, {0, 1}, {-2, 0}}, {1});
  const CKelBlockCubeList out = Pieces(block, {0, 0}, {1, 0});
  ASSERT_EQ(out.size(), 2u);
  for (const CKelBlockCube& piece : out) {
    ASSERT_EQ(piece.GetSize(), 3);
    const auto on = std::count_if(piece.m_Coord.begin(), piece.m_Coord.end(),
                                  [](const CKelBlockCoord& c) { return c.m_y == 0.0; });
    EXPECT_EQ(on, 2);
  }
  const CKelBlockCube wider = BlockOver({{0, -1}, {2, 3e-5}, {0, 1}, {-2, 0}}, {1});
  const CKelBlockCubeList cut = Pieces(wider, {0, 0}, {1, 0});
  ASSERT_EQ(cut.size(), 2u);
  EXPECT_EQ(cut[0].GetSize() + cut[1].GetSize(), 7);  // a crossing vertex was added
}

TEST(CKelBlockCubeDivideTest, CrossingVerticesTakeInterpolatedTopsAndBottomsOnlyWithTheirOwnBottom)
{
  const Plan box{{0, 0}, {4, 0}, {4, 4}, {0, 4}};
  // Towards +y along x = 2: the right piece (x > 2) comes first.
  const CKelBlockCubeList out = Pieces(BlockOver(box, {5, 1, 0}), {2, 0}, {2, 1});
  ASSERT_EQ(out.size(), 2u);
  EXPECT_DOUBLE_EQ(out[0].XMin(), 2.0);
  EXPECT_DOUBLE_EQ(out[1].XMax(), 2.0);
  for (const CKelBlockCube& piece : out) {
    for (const CKelBlockCoord& c : piece.m_Coord) {
      EXPECT_DOUBLE_EQ(c.m_z, 5 + c.m_x);
      EXPECT_EQ(c.m_zL, 0.0);
    }
  }
  const CKelBlockCubeList own = Pieces(BlockOver(box, {5, 1, 0}, {1, 0, 0.5}), {2, 0}, {2, 1});
  for (const CKelBlockCube& piece : own) {
    for (const CKelBlockCoord& c : piece.m_Coord) {
      EXPECT_DOUBLE_EQ(c.m_zL, 1 + 0.5 * c.m_y);
      if (c.m_x == 2.0) {  // a crossing vertex: floor 0 without a profile
        EXPECT_EQ(c.m_OffL, c.m_zL);
      }
    }
  }
}

TEST(CKelBlockCubeDivideTest, CrossingHeightsSplitIntoFloorAndOffsetByTheGivenProfile)
{
  CPrfPlanItem item;
  item.m_T = 2;
  item.m_G = 2;
  item.SBCalcEx(0, 3);  // levels 0, 3, 6
  CPrfPlanParam prf;
  prf.push_back(item);
  const CKelBlockCube block = BlockOver({{0, 0}, {4, 0}, {4, 4}, {0, 4}}, {2, 1, 0});
  CKelBlockCubeList out;
  ASSERT_TRUE(block.Divide(&prf, {2, 0}, {2, 1}, out, 0));
  const CKelBlockCoord& crossing = *std::find_if(out[0].m_Coord.begin(), out[0].m_Coord.end(),
                                                 [](const CKelBlockCoord& c) { return c.m_x == 2.0; });
  EXPECT_DOUBLE_EQ(crossing.m_z, 4.0);
  EXPECT_EQ(crossing.m_FlrH, 1);
  EXPECT_DOUBLE_EQ(crossing.m_OffH, 1.0);
}

// --- Refusals ------------------------------------------------------------------------------------

TEST(CKelBlockCubeDivideTest, DegenerateAndSelfCrossingBlocksAreNotDivided)
{
  const CKelBlockCube collinear = vol_test::Block({{0, 0, 1, 0}, {1, 0, 1, 0}, {2, 0, 1, 0}});
  const CKelBlockCube bowTie = BlockOver({{0, 0}, {2, 2}, {2, 0}, {0, 2}}, {1});
  CKelBlockCube unset = BlockOver(kSquare, {1});
  unset.SetTopPlaneParam(0, 0, 0, 0);
  for (const CKelBlockCube* block : {&collinear, &bowTie, static_cast<const CKelBlockCube*>(&unset)}) {
    CKelBlockCubeList out;
    EXPECT_FALSE(block->Divide(nullptr, {0.5, -5}, {0.5, 5}, out, 0));
    EXPECT_TRUE(out.empty());
  }
  const CKelBlockCube square = BlockOver(kSquare, {1});
  CKelBlockCubeList out;
  EXPECT_FALSE(square.Divide(nullptr, {0, 0}, {0, 0}, out, 0));
  // A self-crossing outline of area 4: the search breaks down, nothing half made stays.
  const CKelBlockCube crossing = BlockOver({{0, 0}, {4, 4}, {4, 0}, {0, 6}}, {1});
  for (double y : {0.5, 2.0}) {
    EXPECT_FALSE(crossing.Divide(nullptr, {0, y}, {1, y}, out, 0));
    EXPECT_TRUE(out.empty());
  }
}

// --- Sides and clean-up --------------------------------------------------------------------------

TEST(CKelBlockCubeDivideTest, WhitchSideNamesTheOccupiedSides)
{
  const CKelBlockCube square = BlockOver({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {1});
  struct Case {
    CKelCoord2D p1, p2;
    int sides;
  } cases[] = {
      {{0, 0}, {1, 0}, Mask::DEL_TOP},                     // on the bottom edge, the rest left
      {{0, -2e-5}, {1, -2e-5}, Mask::DEL_TOP},             // within the band
      {{1, 0}, {0, 0}, Mask::DEL_BOT},
      {{0, 0.5}, {1, 0.5}, Mask::DEL_TOP | Mask::DEL_BOT},  // both, answered
  };
  for (const Case& c : cases)
    EXPECT_EQ(square.WhitchSide(c.p1, c.p2), c.sides);
  const CKelBlockCube flat = vol_test::Block({{0, 0, 1, 0}, {1, 1e-5, 1, 0}, {2, 0, 1, 0}});
  EXPECT_EQ(flat.WhitchSide({0, 0}, {1, 0}), 0);
}

TEST(CKelBlockCubeDivideTest, EraseSamePointRemovesTheEarlierOfEachRepeatedPair)
{
  CKelBlockCube block = vol_test::Block({{0, 0, 1, 0}, {1, 0, 2, 0}, {1, 1e-5, 3, 0}, {0, 1, 4, 0}, {0, 0, 5, 0}});
  block.EraseSamePoint();
  ASSERT_EQ(block.GetSize(), 3);
  EXPECT_EQ(block.m_Coord[0].m_z, 1.0);  // the first stays, the closing repeat goes
  EXPECT_EQ(block.m_Coord[1].m_z, 3.0);
  CKelBlockCube single = vol_test::Block({{0, 0, 1, 0}});
  single.EraseSamePoint();
  EXPECT_EQ(single.GetSize(), 0);
}

TEST(CKelBlockCubeDivideTest, PositionsStayAscendingAndDistinct)
{
  std::vector<double> xpos;
  for (double x : {3.0, 1.0, 2.0, 1.0, 3.0, 0.5})
    CKelBlockCube::DivideAddXpos(xpos, x);
  EXPECT_EQ(xpos, (std::vector<double>{0.5, 1.0, 2.0, 3.0}));
}

// --- Invariants ------------------------------------------------------------------------------------

void ExpectSoundPieces(const CKelBlockCube& block, const CKelBlockCubeList& out, CKelCoord2D p1, CKelCoord2D p2,
                       double tolerance)
{
  double area = 0;
  double volume = 0;
  for (const CKelBlockCube& piece : out) {
    ASSERT_GE(piece.GetSize(), 3);
    EXPECT_NE(piece.WhitchSide(p1, p2), 3);
    EXPECT_TRUE(piece.CheckSamePoint());
    EXPECT_GT(piece.CalcArea(), 0.0);
    EXPECT_DOUBLE_EQ(piece.Menseki(), piece.CalcArea());
    area += piece.Menseki();
    volume += Volume(piece);
  }
  EXPECT_NEAR(area, block.Menseki(), tolerance * vol_shape::Perimeter(block));
  EXPECT_NEAR(volume, Volume(block), tolerance * vol_shape::Perimeter(block) * vol_shape::MaxHeight(block));
}

TEST(CKelBlockCubeDivideTest, PiecesOfRandomStarsLieOnOneSideAndSumToTheBlock)
{
  std::mt19937 rng(16);
  std::uniform_int_distribution<int> count(3, 40);
  std::uniform_real_distribution<double> unit(-1, 1);
  int divided = 0;
  for (int trial = 0; trial < 400; ++trial) {
    const Plan plan = vol_shape::Star(rng, count(rng));
    // One plane per statement: a call's arguments come in no fixed order.
    const vol_shape::Planar top{20, unit(rng), unit(rng)};
    const vol_shape::Planar bottom{1, 0.1 * unit(rng), 0.1 * unit(rng)};
    const CKelBlockCube block = BlockOver(plan, top, bottom);
    const auto& v = plan[static_cast<std::size_t>(trial) % plan.size()];
    const CKelCoord2D through(v.first, v.second);
    const double angle = 3.14159 * unit(rng);
    const CKelCoord2D lines[3][2] = {{through, {through.m_x + 1, through.m_y}},
                                     {through, {through.m_x + std::cos(angle), through.m_y + std::sin(angle)}},
                                     {{unit(rng), unit(rng)}, {unit(rng) + 2, unit(rng) - 2}}};
    for (const auto& line : lines) {
      CKelBlockCubeList out;
      if (!block.Divide(nullptr, line[0], line[1], out, 0))
        continue;
      ++divided;
      ExpectSoundPieces(block, out, line[0], line[1], 2.5e-5);
    }
  }
  EXPECT_GT(divided, 800);
}

TEST(CKelBlockCubeDivideTest, OrthogonalOutlinesCutThroughVerticesSumExactly)
{
  std::mt19937 rng(7);
  for (int trial = 0; trial < 100; ++trial) {
    const Plan plan = vol_shape::OrthoSkyline(rng, 2 + trial % 9);
    const CKelBlockCube block = BlockOver(plan, {4}, {-2});
    for (const auto& [x, y] : plan) {
      for (const CKelCoord2D& dir : {CKelCoord2D(1, 0), CKelCoord2D(0, 1)}) {
        CKelBlockCubeList out;
        if (!block.Divide(nullptr, {x, y}, {x + dir.m_x, y + dir.m_y}, out, 0))
          continue;
        ExpectSoundPieces(block, out, {x, y}, {x + dir.m_x, y + dir.m_y}, 0.0);
      }
    }
  }
}

// The document's cut of a zone into rectangles: horizontal cuts through every
// vertex, the pieces cleaned of on-line vertices after each cut.
TEST(CKelBlockCubeDivideTest, RepeatedCutsWithCleanUpEndInRectanglesSummingExactly)
{
  std::mt19937 rng(11);
  for (int trial = 0; trial < 60; ++trial) {
    const CKelBlockCube block = BlockOver(vol_shape::OrthoSkyline(rng, 3 + trial % 8), {0});
    std::vector<CKelBlockCube> todo{block};
    std::vector<CKelBlockCube> done;
    while (!todo.empty()) {
      const CKelBlockCube piece = todo.back();
      todo.pop_back();
      bool cut = false;
      for (const CKelBlockCoord& v : piece.m_Coord) {
        CKelBlockCubeList out;
        if (piece.Divide(nullptr, v, {v.m_x + 1, v.m_y}, out, 0) && out.size() >= 2) {
          for (CKelBlockCube& p : out) {
            p.DeleteOnLine();
            todo.push_back(p);
          }
          cut = true;
          break;
        }
      }
      if (!cut)
        done.push_back(piece);
    }
    double area = 0;
    for (const CKelBlockCube& r : done) {
      EXPECT_EQ(r.GetSize(), 4);
      EXPECT_EQ(r.Menseki(), r.Wx() * r.Wy());
      area += r.Menseki();
    }
    EXPECT_EQ(area, block.Menseki());
  }
}

}  // namespace
