// The indices over the union's polygons, and the union's edge flags through
// them against the first form that asked every polygon in turn.

#include "CSpherePolyAreaIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstdint>
#include <string>
#include <random>
#include <vector>

#include "CSphereBlkDataArrayNew.h"
#include "KelTolerance.h"
#include "SkyScene.h"
#include "SkyUnion.h"
#include "UnionLiteral.h"

namespace {

// Polygons over a small pool, so that edges repeat within and across them.
CSpherePolyAreaArray RandomPolygons(std::mt19937_64& rng, CSpherePolyCoordArray& pool)
{
  for (int k = 0; k < 6; ++k)
    pool.Add(CSphereCoordD2D(0, 0, 0.1 * k, 0.05 * (k % 3), 0));
  CSpherePolyAreaArray areas;
  for (int j = 0; j < 5; ++j) {
    CSpherePolyArea area;
    area.m_pCoord = &pool;
    const int n = 1 + static_cast<int>(rng() % 9);
    for (int k = 0; k < n; ++k)
      area.m_Idx.emplace_back(static_cast<int>(rng() % 6));
    areas.push_back(area);
  }
  return areas;
}

// Every owner of every edge over the points first ... first + count - 1, in
// the order and with the positions that each polygon's own search gives.
void ExpectOwnersAsTheirSearch(const CSpherePolyAreaArray& areas, int first, int count, const std::string& where)
{
  const SphereEdgeOwners owners(areas);
  for (int a = first - 1; a <= first + count; ++a) {
    for (int b = first - 1; b <= first + count; ++b) {
      std::vector<int> expected, got;
      for (std::size_t j = 0; j < areas.size(); ++j) {
        if (const int pos = areas[j].SearchIdx(a, b); pos != 0) {
          expected.push_back(static_cast<int>(j));
          expected.push_back(pos);
        }
      }
      for (const SphereEdgeOwners::Owner& o : owners.Of(a, b)) {
        got.push_back(o.m_AreaNo);
        got.push_back(o.SearchIdx(a));
      }
      ASSERT_EQ(expected, got) << where << " edge " << a << ", " << b;
    }
  }
}

TEST(SphereEdgeOwners, EachOwnerAnswersAsItsOwnSearch)
{
  for (std::uint64_t seed = 0; seed < 200; ++seed) {
    std::mt19937_64 rng(seed);
    CSpherePolyCoordArray pool;
    ExpectOwnersAsTheirSearch(RandomPolygons(rng, pool), 0, 6, "seed " + std::to_string(seed));
  }
}

// Many polygons over few points, so that one point ends far more edges than
// a short run holds, with the points numbered from anywhere (the owners file
// by point number, never by the pool).
TEST(SphereEdgeOwners, CrowdedPointsAndPointsNumberedFromAnywhere)
{
  for (std::uint64_t seed = 0; seed < 40; ++seed) {
    std::mt19937_64 rng(seed);
    const int first = seed % 2 == 0 ? 0 : -3 + static_cast<int>(seed) * 1000;
    CSpherePolyAreaArray areas;
    areas.resize(30);
    for (CSpherePolyArea& area : areas) {
      for (int k = 0, n = 1 + static_cast<int>(rng() % 12); k < n; ++k)
        area.m_Idx.emplace_back(first + static_cast<int>(rng() % 5));
    }
    ExpectOwnersAsTheirSearch(areas, first, 5, "seed " + std::to_string(seed));
  }
  ExpectOwnersAsTheirSearch(CSpherePolyAreaArray(), 0, 2, "no polygons");
}

// Every polygon whose grown box holds a point is among the point's cell,
// once, before and after the cells are ordered by a key; ordered, each cell
// runs by key and then by number.
TEST(SphereBoxGrid, ACellHoldsEveryPolygonWhoseGrownBoxHoldsThePoint)
{
  const double grow = 1e-3;
  for (std::uint64_t seed = 0; seed < 50; ++seed) {
    std::mt19937_64 rng(seed);
    const auto u = [&rng] { return static_cast<double>(rng() >> 11) * 0x1.0p-53; };
    CSpherePolyAreaArray areas;
    std::vector<double> keys;
    for (int j = 0, n = 1 + static_cast<int>(rng() % 40); j < n; ++j) {
      CSpherePolyArea area;
      const double x = u(), y = u(), w = 0.3 * u(), h = 0.3 * u();
      area.m_AreaCoord.m_pt = {CKelCoord2D(x, y), CKelCoord2D(x + w, y), CKelCoord2D(x, y + h)};
      area.m_AreaCoord.SetMaxMin();
      areas.push_back(area);
      keys.push_back(static_cast<double>(rng() % 4));
    }
    SphereBoxGrid grid(areas, grow);
    for (const bool ordered : {false, true}) {
      if (ordered)
        grid.OrderCellsBy(keys);
      for (int k = 0; k < 200; ++k) {
        const CKelCoord2D p{1.4 * u() - 0.1, 1.4 * u() - 0.1};  // braced: drawn in order
        const auto near = grid.Near(p);
        ASSERT_TRUE(near.has_value()) << seed;
        std::vector<std::size_t> cell(near->begin(), near->end());
        for (std::size_t j = 0; j < areas.size(); ++j) {
          const CKelAreaCoord2D& o = areas[j].m_AreaCoord;
          const bool holds = p.m_x >= o.m_xmin - grow && p.m_x <= o.m_xmax + grow && p.m_y >= o.m_ymin - grow &&
                             p.m_y <= o.m_ymax + grow;
          ASSERT_TRUE(!holds || std::count(cell.begin(), cell.end(), j) == 1) << seed << " polygon " << j;
        }
        const auto byKey = [&keys](std::size_t x, std::size_t y) { return std::pair{keys[x], x} < std::pair{keys[y], y}; };
        ASSERT_TRUE(ordered ? std::is_sorted(cell.begin(), cell.end(), byKey) : std::is_sorted(cell.begin(), cell.end()))
            << seed;
      }
    }
  }
  CSpherePolyAreaArray open;
  open.resize(1);
  open[0].m_AreaCoord.m_pt = {CKelCoord2D(0, 0), CKelCoord2D(std::nan(""), 1), CKelCoord2D(1, 1)};
  open[0].m_AreaCoord.SetMaxMin();
  open[0].m_AreaCoord.m_xmax = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(SphereBoxGrid(open, grow).Near(CKelCoord2D(0.5, 0.5)).has_value());
}

// Polygons whose lower vertices crowd their lowest level within a few
// location bands, where a crossing count could go wrong.
CSpherePolyArea FlatBottomed(std::mt19937_64& rng, CSpherePolyCoordArray& pool)
{
  const auto u = [&rng] { return static_cast<double>(rng() >> 11) * 0x1.0p-53; };
  CSpherePolyArea area;
  area.m_pCoord = &pool;
  const int n = 3 + static_cast<int>(rng() % 10);
  for (int k = 0; k < n; ++k) {
    const double x = 0.1 * k + 0.05 * u();
    double y = 0;
    if (rng() % 2 == 0) {
      y = 0.2 + 0.1 * u();
    } else {
      // One draw per statement: operands come in no fixed order.
      const double steps = static_cast<double>(rng() % 4);
      y = 1e-10 * steps * u();
    }
    area.m_AreaCoord.m_pt.emplace_back(x, y);
  }
  area.m_AreaCoord.SetMaxMin();
  return area;
}

TEST(SphereFloors, NoPointAtOrBelowTheFloorIsInside)
{
  using Crossing = CKelArea<CKelCoord2D>::Crossing;
  CSpherePolyCoordArray pool;
  int onOutline = 0;
  for (std::uint64_t seed = 0; seed < 400; ++seed) {
    std::mt19937_64 rng(seed);
    CSpherePolyAreaArray areas;
    areas.push_back(FlatBottomed(rng, pool));
    const double floor = SphereFloors(areas)[0];
    const CKelAreaCoord2D& outline = areas[0].m_AreaCoord;
    for (int k = 0; k <= 40; ++k) {
      for (const double below : {0.0, 1e-11, 1e-10, 1e-9}) {
        const CKelCoord2D p(0.025 * k - 0.01, floor - below);
        for (const Crossing crossing : {Crossing::TenthTol, Crossing::WholeTol}) {
          const int r = outline.InArea(p, KelTol::SkyUnionInside, KelTol::SkyUnionInside, crossing);
          ASSERT_NE(1, r) << "seed " << seed << " at " << p.m_x << ", " << p.m_y;
          onOutline += r == -1;
        }
      }
    }
  }
  EXPECT_GT(onOutline, 100);
}

TEST(SphereFloors, LowestVertexLevelOrNothingWithANonFiniteVertex)
{
  CSpherePolyCoordArray pool;
  CSpherePolyAreaArray areas;
  areas.resize(3);
  areas[0].m_AreaCoord.m_pt = {CKelCoord2D(0, 0.3), CKelCoord2D(1, 0.1), CKelCoord2D(1, 0.5)};
  areas[1].m_AreaCoord.m_pt = {CKelCoord2D(0, 0.3), CKelCoord2D(std::nan(""), 0.1), CKelCoord2D(1, 0.5)};
  const std::vector<double> floors = SphereFloors(areas);
  EXPECT_EQ(0.1, floors[0]);
  EXPECT_EQ(-std::numeric_limits<double>::infinity(), floors[1]);
  EXPECT_EQ(std::numeric_limits<double>::infinity(), floors[2]);
}

// The union as the outline method registers it at one check point, cut.
CSphereBlkDataArrayNew Registered(const CKelBlockCubeArray& blocks, const CKelCoord3D& point, double angle)
{
  CSphereBlkDataArrayNew united = sky_test::RegisteredUnion(blocks, point, angle);
  united.CalcCrossPoint(nullptr);
  return united;
}

// The number of edges flagged, so that a caller can tell the comparison
// covered flags at all.
int ExpectSameFlags(const CSphereBlkDataArrayNew& registered, const std::string& where)
{
  CSphereBlkDataArrayNew fast = registered, first = registered;
  EXPECT_EQ(CSphereBlkDataArrayNew::kDone, fast.DeletePointInArea(nullptr));
  union_literal::DeletePointInArea(first);
  int flagged = 0;
  if (first.m_PolyArea.size() != fast.m_PolyArea.size()) {
    ADD_FAILURE() << where;
    return flagged;
  }
  for (std::size_t j = 0; j < fast.m_PolyArea.size(); ++j) {
    const CSpherePolyArea& f = fast.m_PolyArea[j];
    const CSpherePolyArea& o = first.m_PolyArea[j];
    EXPECT_EQ(o.Size(), f.Size()) << where;
    for (int k = 0; k < std::min(f.Size(), o.Size()); ++k) {
      const std::size_t at = static_cast<std::size_t>(k);
      EXPECT_EQ(o.m_Idx[at].m_EdgeFlag, f.m_Idx[at].m_EdgeFlag) << where << " polygon " << j << " edge " << k;
      flagged += f.m_Idx[at].m_EdgeFlag != 0;
    }
  }
  return flagged;
}

TEST(CSphereBlkDataArrayNew, EdgeFlagsAsTheFirstFormOnRandomScenes)
{
  int flagged = 0;
  for (std::uint64_t seed = 1; seed <= 60; ++seed) {
    const sky_test::Scene scene = sky_test::RandomScene(seed);
    flagged += ExpectSameFlags(Registered(scene.blocks, CKelCoord3D(0, 0, 0), scene.angle), "seed " + std::to_string(seed));
  }
  EXPECT_GT(flagged, 100);
}

TEST(CSphereBlkDataArrayNew, EdgeFlagsAsTheFirstFormOnADenseSite)
{
  const CKelBlockCubeArray blocks = sky_test::SceneBlocks(48);
  const std::vector<CKelCoord3D> points = sky_test::ScenePoints(100);
  for (const std::size_t k : {0, 37, 99})
    EXPECT_GT(ExpectSameFlags(Registered(blocks, points[k], 0), "point " + std::to_string(k)), 100);
}

// --- Chains ---------------------------------------------------------------------------------

using ChainList = std::vector<CSphereBlkDataLineArray>;

const ChainList& Chains(const CSphereBlkDataLineArrayArray& chains) { return chains; }

// Edges over a handful of points, so that chains close, branch, run back
// over their own edges and lose pieces: each added through the index kept
// over the whole run and through the former scan, with the same chains after
// every edge.
TEST(SphereChainIndex, ChainsAsTheFormerScanEdgeByEdge)
{
  int cancelled = 0, split = 0;
  for (std::uint64_t seed = 0; seed < 300; ++seed) {
    std::mt19937_64 rng(seed);
    const int points = 3 + static_cast<int>(seed % 6);
    CSphereBlkDataLineArrayArray fast, former;
    SphereChainIndex index(fast);
    for (int e = 0; e < 60; ++e) {
      const int a = static_cast<int>(rng() % static_cast<unsigned>(points));
      const int b = static_cast<int>(rng() % static_cast<unsigned>(points));
      const std::size_t before = former.size();
      fast.Add(a, b, index);
      union_literal::AddLine(former, a, b);
      ASSERT_EQ(Chains(former), Chains(fast)) << "seed " << seed << " edge " << e;
      cancelled += former.size() < before;
      split += former.size() >= before + 2;
    }
  }
  EXPECT_GT(cancelled, 100);
  EXPECT_GT(split, 100);
}

// Point numbers beyond the pool's own (negative, or past any pool) chain as
// the small ones do.
TEST(SphereChainIndex, PointsNumberedFromAnywhereChainAsTheFormerScan)
{
  const int numbers[] = {-7, -1, 0, 3, (1 << 20) - 1, 1 << 20, (1 << 20) + 1, std::numeric_limits<int>::max()};
  for (std::uint64_t seed = 0; seed < 100; ++seed) {
    std::mt19937_64 rng(seed);
    CSphereBlkDataLineArrayArray fast, former;
    SphereChainIndex index(fast);
    for (int e = 0; e < 60; ++e) {
      const int a = numbers[rng() % std::size(numbers)];
      const int b = numbers[rng() % std::size(numbers)];
      fast.Add(a, b, index);
      union_literal::AddLine(former, a, b);
      ASSERT_EQ(Chains(former), Chains(fast)) << "seed " << seed << " edge " << e;
    }
  }
}

// An edge added on its own indexes the chains as they stand, however they
// were built.
TEST(SphereChainIndex, ASingleEdgeFindsChainsBuiltWithoutTheIndex)
{
  for (std::uint64_t seed = 0; seed < 200; ++seed) {
    std::mt19937_64 rng(seed);
    CSphereBlkDataLineArrayArray fast, former;
    for (int c = 0; c < 4; ++c) {
      CSphereBlkDataLineArray chain;
      for (int k = 0; k < 1 + static_cast<int>(rng() % 5); ++k)
        chain.push_back(static_cast<int>(rng() % 6));
      fast.push_back(chain);
      former.push_back(chain);
    }
    const int a = static_cast<int>(rng() % 6), b = static_cast<int>(rng() % 6);
    fast.Add(nullptr, a, b);
    union_literal::AddLine(former, a, b);
    ASSERT_EQ(Chains(former), Chains(fast)) << "seed " << seed;
  }
}

// The chains of the union's kept edges, on scenes, as the former scan
// chains them.
TEST(SphereChainIndex, UnionChainsAsTheFormerScan)
{
  std::size_t points = 0;
  const auto expectSame = [&points](const CSphereBlkDataArrayNew& registered, const std::string& where) {
    CSphereBlkDataArrayNew fast = registered;
    ASSERT_EQ(CSphereBlkDataArrayNew::kDone, fast.DeletePointInArea(nullptr)) << where;
    CSphereBlkDataArrayNew former = fast;
    ASSERT_EQ(CSphereBlkDataArrayNew::kDone, fast.AddLineArray(nullptr)) << where;
    union_literal::AddLineArray(former);
    EXPECT_EQ(Chains(former.m_BlkLine), Chains(fast.m_BlkLine)) << where;
    for (const CSphereBlkDataLineArray& chain : fast.m_BlkLine)
      points += chain.size();
  };
  for (std::uint64_t seed = 1; seed <= 60; ++seed) {
    const sky_test::Scene scene = sky_test::RandomScene(seed);
    expectSame(Registered(scene.blocks, CKelCoord3D(0, 0, 0), scene.angle), "seed " + std::to_string(seed));
  }
  const CKelBlockCubeArray blocks = sky_test::SceneBlocks(48);
  const std::vector<CKelCoord3D> sitePoints = sky_test::ScenePoints(100);
  for (const std::size_t k : {0, 37, 99})
    expectSame(Registered(blocks, sitePoints[k], 0), "point " + std::to_string(k));
  EXPECT_GT(points, 5000u);
}

}  // namespace
