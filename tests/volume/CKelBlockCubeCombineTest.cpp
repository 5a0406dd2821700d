// Block combination: pairs, the set pass and the outline union.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "CKelBlockCubeArray.h"
#include "CKelBlockEdgeArray.h"
#include "SurveyVariants.h"
#include "VolumeTestSupport.h"

namespace {

using vol_test::Area;
using vol_test::Box;
using vol_test::ListOf;

CKelBlockCube Numbered(CKelBlockCube b, int work)
{
  b.m_Work = work;
  return b;
}

TEST(CKelBlockCubeCombineTest, TwoSquaresBecomeOneRectangleAtTheEarlierPosition)
{
  CKelBlockCubeArray list =
      ListOf({Box(10, 10, 11, 11, 5), Numbered(Box(0, 0, 1, 1, 3), 1), Numbered(Box(1, 0, 2, 1, 3), 2)});
  list.CombineBlock(nullptr);
  ASSERT_EQ(list.Size(), 2);
  EXPECT_EQ(list[1].m_Work, 1);
  EXPECT_EQ(list[1].GetSize(), 4);
  EXPECT_DOUBLE_EQ(list[1].Menseki(), 2);
  EXPECT_DOUBLE_EQ(list[1].XMax(), 2);
  for (const CKelBlockCoord& c : list[1].m_Coord)
    EXPECT_DOUBLE_EQ(c.m_z, 3);
}

struct PairCase {
  const char* name;
  CKelBlockCube a;
  CKelBlockCube b;
  int blocks;      // after the combination
  double area;     // of the first block
};

CKelBlockCube WithPpNo(CKelBlockCube b, int ppNo)
{
  b.SetPpNo(nullptr, ppNo, -1);
  return b;
}

CKelBlockCube RaisedCorners(double dz)
{
  // The shared edge x = 1 is dz higher on the right block; its plane stays
  // within the 0.001 fit of the left block's.
  // (Heights near 8 hold a step of 2.5e-5 exactly enough to test it.)
  return vol_test::Block({{1, 0, 8 + dz, 0}, {2, 0, 8, 0}, {2, 1, 8, 0}, {1, 1, 8 + dz, 0}});
}

TEST(CKelBlockCubeCombineTest, PairsMergeOnlyAlongARunOnCommonPlanes)
{
  const PairCase cases[] = {
      {"partial edge", Box(0, 0, 3, 1, 3), Box(1, 1, 2, 2, 3), 1, 4},
      {"corner touch", Box(0, 0, 1, 1, 3), Box(1, 1, 2, 2, 3), 2, 1},
      {"other PpNo", Box(0, 0, 1, 1, 3), WithPpNo(Box(1, 0, 2, 1, 3), 1), 2, 1},
      {"other top plane", Box(0, 0, 1, 1, 3), Box(1, 0, 2, 1, 3.002), 2, 1},
      {"other bottom plane", Box(0, 0, 1, 1, 3, 1), Box(1, 0, 2, 1, 3, 1.5), 2, 1},
      {"corners 2.5e-5 apart", Box(0, 0, 1, 1, 8), RaisedCorners(2.5e-5), 2, 1},
      {"corners 2e-5 apart", Box(0, 0, 1, 1, 8), RaisedCorners(2e-5), 1, 2},
      {"apart", Box(0, 0, 1, 1, 3), Box(3, 0, 4, 1, 3), 2, 1},
  };
  for (const PairCase& c : cases) {
    CKelBlockCubeArray list = ListOf({c.a, c.b});
    list.CombineBlock(nullptr);
    ASSERT_EQ(list.Size(), c.blocks) << c.name;
    EXPECT_NEAR(list[0].Menseki(), c.area, 1e-9) << c.name;
  }
}

TEST(CKelBlockCubeCombineTest, ABlockFillingANotchLeavesAPlainRectangle)
{
  // The square shares three edges, all its vertices, with the U around it.
  const CKelBlockCube u = vol_test::Block({{0, 0, 3, 0}, {3, 0, 3, 0}, {3, 2, 3, 0}, {2, 2, 3, 0}, {2, 1, 3, 0},
                                           {1, 1, 3, 0}, {1, 2, 3, 0}, {0, 2, 3, 0}});
  for (bool squareFirst : {false, true}) {
    CKelBlockCubeArray list = squareFirst ? ListOf({Box(1, 1, 2, 2, 3), u}) : ListOf({u, Box(1, 1, 2, 2, 3)});
    list.CombineBlock(nullptr);
    ASSERT_EQ(list.Size(), 1) << squareFirst;
    EXPECT_EQ(list[0].GetSize(), 4) << squareFirst;
    EXPECT_DOUBLE_EQ(list[0].Menseki(), 6) << squareFirst;
  }
}

TEST(CKelBlockCubeCombineTest, ThreeInARowMergeInEveryOrder)
{
  std::array<int, 3> order{0, 1, 2};
  do {
    CKelBlockCubeArray list;
    for (int k : order)
      list.AddBlock(Box(k, 0, k + 1, 1, 3));
    list.CombineBlock(nullptr);
    ASSERT_EQ(list.Size(), 1) << order[0] << order[1] << order[2];
    EXPECT_EQ(list[0].GetSize(), 4);
    EXPECT_DOUBLE_EQ(list[0].Menseki(), 3);
  } while (std::next_permutation(order.begin(), order.end()));
}

TEST(CKelBlockCubeCombineTest, ASingleBlockIsOnlyRefitted)
{
  CKelBlockCubeArray list = ListOf({Box(0, 0, 2, 1, 3)});
  list[0].SetTopPlaneParam(0, 0, 0, 0);
  const CKelBlockCoordArray before = list[0].m_Coord;
  list.CombineBlock(nullptr);
  ASSERT_EQ(list.Size(), 1);
  EXPECT_TRUE(list[0].m_Coord == before);
  ASSERT_GT(list[0].PlaneC(false), 0);
  EXPECT_NEAR(-list[0].PlaneD(false) / list[0].PlaneC(false), 3, 1e-12);
}

TEST(CKelBlockCubeCombineTest, MergedHeightsAreSplitByTheCommonProfile)
{
  CPrfPlanItem item;
  item.m_T = 3;
  item.m_B = 0;
  item.m_G = 3;
  item.SBCalcEx(0, 3);
  CPrfPlanParam prf;
  prf.push_back(CPrfPlanItem{});  // profile 0 would give floor 0
  prf.push_back(item);
  for (double bottom : {0.0, 4.0}) {
    CKelBlockCubeArray list =
        ListOf({WithPpNo(Box(0, 0, 1, 1, 7, bottom), 1), WithPpNo(Box(1, 0, 2, 1, 7, bottom), 1)});
    list.CombineBlock(&prf);
    ASSERT_EQ(list.Size(), 1);
    EXPECT_EQ(list[0].PpNo(), 1);
    for (const CKelBlockCoord& c : list[0].m_Coord) {
      EXPECT_EQ(c.m_FlrH, 2);
      EXPECT_NEAR(c.m_OffH, 1, 1e-12);
      // Only a block with its own bottom holds it as floor and offset.
      EXPECT_EQ(c.m_FlrL, bottom > 0 ? 1 : 0);
      EXPECT_NEAR(c.m_OffL, bottom > 0 ? 1 : 0, 1e-12);
    }
  }
}

TEST(CKelBlockCubeCombineTest, TwoBlockFormLeavesItsOperandsAndTakesPlainVertices)
{
  const CKelBlockCube a = Box(0, 0, 1, 1, 3);
  const CKelBlockCube b = Box(1, 0, 2, 1, 3);
  CKelBlockCube r;
  ASSERT_TRUE(CKelBlockCubeArray::CombineBlock(nullptr, a, b, &r));
  EXPECT_EQ(r.GetSize(), 4);
  EXPECT_DOUBLE_EQ(r.CalcArea(), 2);
  EXPECT_EQ(r.PpNo(), 0);
  EXPECT_EQ(a.GetSize(), 4);
  CKelBlockCube none;
  EXPECT_FALSE(CKelBlockCubeArray::CombineBlock(nullptr, CKelBlockCube(), b, &none));
  EXPECT_EQ(none.GetSize(), 0);
}

TEST(CKelBlockCubeCombineTest, OutlineUnionOfTwoSquaresIsTheRectangle)
{
  CKelBlockCubeArray list = ListOf({Box(0, 0, 1, 1, 3), Box(1, 0, 2, 1, 3)});
  list.CombineBlock2(nullptr);
  ASSERT_EQ(list.Size(), 1);
  EXPECT_DOUBLE_EQ(list[0].Menseki(), 2);
  EXPECT_DOUBLE_EQ(list[0].XMax(), 2);
  for (const CKelBlockCoord& c : list[0].m_Coord)
    EXPECT_NEAR(c.m_z, 3, 1e-12);
  list[0].DeleteOnLine();  // the collector keeps the ends of collinear runs
  EXPECT_EQ(list[0].GetSize(), 4);

  CKelBlockEdgeArray edges;
  edges.Add(0, 1);
  edges.Add(0, 1);
  edges.Add(1, 0);
  edges.Add(1, 2);
  ASSERT_EQ(edges.size(), 2u);
  EXPECT_TRUE(edges[0].m_bCancel);
  EXPECT_FALSE(edges[1].m_bCancel);
}

// A block over the points with a level top, normalised as a list adds it.
CKelBlockCube Over(const survey::Outline& pts, double top)
{
  CKelBlockCube b;
  for (const CKelCoord2D& p : pts)
    b.Append(CKelBlockCoord(p.m_x, p.m_y, top, 0));
  b.GetPlaneEquation(false);
  b.GetPlaneEquation(true);
  b.SetMinMax();
  return b;
}

// Every vertex doubled a gap along the edge it starts.
survey::Variant DoubledAlong(const survey::Variant& in, double gap)
{
  survey::Variant v = in;
  for (std::size_t k = in.Size(); k-- > 0;) {
    const CKelCoord2D& p = in.m_Pts[k];
    const CKelCoord2D& q = in.m_Pts[(k + 1) % in.Size()];
    const double len = p.GetLength(q);
    v = survey::Doubled(v, k, {gap * (q.m_x - p.m_x) / len, gap * (q.m_y - p.m_y) / len});
  }
  return v;
}

TEST(CKelBlockCubeCombineTest, OutlineUnionMergesBoxesWhoseSharedFaceCarriesDoubledPoints)
{
  const survey::Variant left = survey::Clean({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  const survey::Variant right = survey::Clean({{10, 0}, {20, 0}, {20, 10}, {10, 10}});
  for (const double gap : {1e-6, 1e-5, 1e-4, 1e-3}) {
    const survey::Variant a = DoubledAlong(left, gap);
    const survey::Variant b = DoubledAlong(right, gap);
    for (const auto& [l, r] : {std::pair{a, right}, std::pair{left, b}, std::pair{a, b}}) {
      CKelBlockCubeArray list = ListOf({Over(l.m_Pts, 5), Over(r.m_Pts, 5)});
      list.CombineBlock2(nullptr);
      ASSERT_EQ(list.Size(), 1) << gap;
      EXPECT_NEAR(list[0].Menseki(), 200, 1e-9) << gap;
      list[0].DeleteOnLine();
      EXPECT_EQ(list[0].GetSize(), 4) << gap;
    }
  }
}

// Pieces of a surveyed L (3 mm noise) that radial cuts split, one 2 mm past
// a vertex of its top arm, 3e5 m out. Merged, the clean-up drops that vertex
// (micrometres off the line through the cut's end) rather than the cut's
// end, which moves the area past the band, and the area's round-off at
// these coordinates exceeded the band alone. Neither swallowed a hole: the
// two parts keep the area, and the merge holds.
TEST(CKelBlockCubeCombineTest, PiecesOfACutBesideASurveyedVertexMergeBack)
{
  const CKelBlockCube arm = vol_test::Block({{-299997.00020766666, 120011.99916933205, 19.998961665055063, 0},
                                             {-299998, 120012, 20, 0},
                                             {-299997.99727775296, 120011.27550629443, 19.094382868042885, 0},
                                             {-299997.9982370041, 120008.00705198271, 15.008814978395062, 0}});
  const CKelBlockCube rest = vol_test::Block({{-299989.50093228038, 120002.00019626958, 7.5002453369740065, 0},
                                              {-299988, 120002, 7.5, 0},
                                              {-299987.99827866786, 120005.25890044669, 11.57362555835789, 0},
                                              {-299988, 120006, 12.5, 0},
                                              {-299992.24920299248, 120006.0001680592, 12.500210073994822, 0},
                                              {-299992.67486052198, 120006.00248775212, 12.503109690151177, 0},
                                              {-299994, 120006, 12.5, 0},
                                              {-299994.00211957144, 120007.55724909068, 14.446561363347428, 0},
                                              {-299994, 120012, 20, 0},
                                              {-299994.67485074676, 120012.00128773991, 20.00160967489137, 0},
                                              {-299996.99813028891, 120011.99916760607, 19.998959507593099, 0},
                                              {-299997.00020766666, 120011.99916933205, 19.998961665055063, 0},
                                              {-299997.9982370041, 120008.00705198271, 15.008814978395062, 0},
                                              {-299997.99947484391, 120003.78936312509, 9.7367039063667562, 0}});
  const CKelBlockCube foot = vol_test::Block({{-299997.99947484391, 120003.78936312509, 9.7367039063667562, 0},
                                              {-299998, 120002, 7.5, 0},
                                              {-299997.18963733065, 120002.00150452511, 7.5018806563821272, 0},
                                              {-299997.19162994047, 120002.00120194453, 7.5015024306594569, 0},
                                              {-299989.50093228038, 120002.00019626958, 7.5002453369740065, 0}});
  CKelBlockCubeArray list = ListOf({arm, rest, foot});
  const double area = list.GetArea();
  list.CombineBlock(nullptr);
  ASSERT_EQ(list.Size(), 1);
  EXPECT_NEAR(list[0].Menseki(), area, 1e-5);
}

TEST(CKelBlockCubeCombineTest, GroupsAndSamePointsOfTheWorkList)
{
  CKelBlockCubeArrayList groups;
  CKelBlockCubeArray::AddCombineWork(groups, Box(0, 0, 1, 1, 3));
  CKelBlockCubeArray::AddCombineWork(groups, Box(5, 0, 6, 1, 4));
  CKelBlockCubeArray::AddCombineWork(groups, Box(1, 0, 2, 1, 3));
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].size(), 2u);
  EXPECT_TRUE(CKelBlockCubeArray::CheckCombineSameCoord(CKelCoord3DEx(0, 0, 1, 0), CKelCoord3DEx(0.001, 0, 1, 0)));
  EXPECT_FALSE(CKelBlockCubeArray::CheckCombineSameCoord(CKelCoord3DEx(0, 0, 1, 0), CKelCoord3DEx(0, 0, 1, 0.0011)));

  CKelBlockCubeList plain{Box(0, 0, 1, 1, 3), Box(1, 0, 2, 1, 3), Box(2, 0, 3, 1, 3)};
  CKelBlockCubeArray().CombineBlock(nullptr, plain);
  ASSERT_EQ(plain.size(), 1u);  // each merge cascades down the pass
  EXPECT_DOUBLE_EQ(plain[0].Menseki(), 3);
}

// --- Property: unit grids ----------------------------------------------------------------------

CKelBlockCubeList Grid(int k)
{
  CKelBlockCubeList cells;
  for (int y = 0; y < k; ++y)
    for (int x = 0; x < k; ++x)
      cells.push_back(Box(x, y, x + 1, y + 1, 3));
  return cells;
}

TEST(CKelBlockCubeCombineTest, ShuffledGridCombinesIntoOneRectangle)
{
  std::mt19937 rng(25);
  for (int k = 1; k <= 10; ++k) {
    CKelBlockCubeList cells = Grid(k);
    std::shuffle(cells.begin(), cells.end(), rng);
    CKelBlockCubeArray list;
    for (const CKelBlockCube& c : cells)
      list.AddBlock(c);
    list.CombineBlock(nullptr);
    ASSERT_EQ(list.Size(), 1) << k;
    EXPECT_EQ(list[0].GetSize(), 4) << k;
    EXPECT_DOUBLE_EQ(list[0].Menseki(), k * k) << k;
  }
}

TEST(CKelBlockCubeCombineTest, RandomSubsetsKeepAreaAndLeaveSimpleUnmergeableOutlines)
{
  std::mt19937 rng(7);
  for (int trial = 0; trial < 40; ++trial) {
    const int k = 3 + trial % 6;
    CKelBlockCubeArray list;
    for (const CKelBlockCube& c : Grid(k))
      if (rng() % 3 != 0)
        list.AddBlock(c);
    std::shuffle(list.begin(), list.end(), rng);
    const double area = Area(list);
    list.CombineBlock(nullptr);
    EXPECT_NEAR(Area(list), area, 1e-9) << trial;
    for (int i = 0; i < list.Size(); ++i) {
      EXPECT_TRUE(list[i].CheckCross() && list[i].CheckSameCoord()) << trial;
      for (int j = i + 1; j < list.Size(); ++j) {
        CKelBlockCube r;
        EXPECT_FALSE(CKelBlockCubeArray::CombineBlock(nullptr, list[i], list[j], &r)) << trial;
      }
    }
  }
}

}  // namespace
