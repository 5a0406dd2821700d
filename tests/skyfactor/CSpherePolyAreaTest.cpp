// The union's contact search through reach trees against its former form:
// the same pool, bit for bit, the same vertex lists, and the same cancels.

#include "CSpherePolyArea.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "CSphereBlkDataArrayNew.h"
#include "SkyProgress.h"
#include "SkyScene.h"
#include "SkyUnion.h"
#include "UnionLiteral.h"

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The number of vertices compared, so that a caller can tell the comparison
// covered contacts at all.
std::size_t ExpectSameCut(const CSphereBlkDataArrayNew& fast, const CSphereBlkDataArrayNew& former,
                          const std::string& where)
{
  EXPECT_EQ(former.m_PolyCoord.size(), fast.m_PolyCoord.size()) << where;
  for (std::size_t k = 0; k < std::min(fast.m_PolyCoord.size(), former.m_PolyCoord.size()); ++k) {
    const CSphereCoordD2D& f = fast.m_PolyCoord[k];
    const CSphereCoordD2D& o = former.m_PolyCoord[k];
    EXPECT_TRUE(SameBits(f.m_AD, o.m_AD) && SameBits(f.m_AE, o.m_AE)) << where << " pool point " << k;
  }
  std::size_t vertices = 0;
  EXPECT_EQ(former.m_PolyArea.size(), fast.m_PolyArea.size()) << where;
  for (std::size_t j = 0; j < std::min(fast.m_PolyArea.size(), former.m_PolyArea.size()); ++j) {
    std::vector<int> f, o;
    for (int k = 0; k < fast.m_PolyArea[j].Size(); ++k)
      f.push_back(fast.m_PolyArea[j].IdxAt(k));
    for (int k = 0; k < former.m_PolyArea[j].Size(); ++k)
      o.push_back(former.m_PolyArea[j].IdxAt(k));
    EXPECT_EQ(o, f) << where << " polygon " << j;
    vertices += f.size();
  }
  return vertices;
}

std::size_t ExpectSameContacts(const CSphereBlkDataArrayNew& registered, const std::string& where)
{
  CSphereBlkDataArrayNew fast = registered, former = registered;
  EXPECT_EQ(0, fast.CalcCrossPoint(nullptr)) << where;
  EXPECT_EQ(0, union_literal::CalcCrossPoint(former, nullptr)) << where;
  return ExpectSameCut(fast, former, where);
}

TEST(CSpherePolyArea, ContactsAsTheFormerSearchOnRandomScenes)
{
  std::size_t vertices = 0;
  for (std::uint64_t seed = 1; seed <= 60; ++seed) {
    const sky_test::Scene scene = sky_test::RandomScene(seed);
    vertices += ExpectSameContacts(sky_test::RegisteredUnion(scene.blocks, CKelCoord3D(0, 0, 0), scene.angle),
                                   "seed " + std::to_string(seed));
  }
  EXPECT_GT(vertices, 3000u);
}

TEST(CSpherePolyArea, ContactsAsTheFormerSearchOnADenseSite)
{
  const CKelBlockCubeArray blocks = sky_test::SceneBlocks(48);
  const std::vector<CKelCoord3D> points = sky_test::ScenePoints(100);
  for (const std::size_t k : {0, 37, 99}) {
    const CSphereBlkDataArrayNew registered = sky_test::RegisteredUnion(blocks, points[k], 0);
    std::size_t before = 0;
    for (const CSpherePolyArea& area : registered.m_PolyArea)
      before += static_cast<std::size_t>(area.Size());
    // Contacts were inserted, so the comparison covered them.
    EXPECT_GT(ExpectSameContacts(registered, "point " + std::to_string(k)), before + 100);
  }
}

// Skylines: outlines standing on the horizon side by side and behind each
// other, as blocks on the ground project, their bottoms cut at shared
// azimuths (the sector lines) and at their own. Some bottom points lie
// at -0 or a hair above the horizon, some outlines have a notch in their
// bottom (their edges near the horizon do not rise in any turn), run
// clockwise, or hold a coordinate that is not a number; a few new points are
// pushed past Add, so that the pool counts no point after them as
// separated (hints go unused) though all lie apart.
CSphereBlkDataArrayNew Skylines(std::uint64_t seed)
{
  std::mt19937_64 rng(seed);
  const auto u = [&rng] { return static_cast<double>(rng() >> 11) * 0x1.0p-53; };
  CSphereBlkDataArrayNew united;
  const int count = 2 + static_cast<int>(rng() % 10);
  for (int p = 0; p < count; ++p) {
    const double x0 = 0.3 * u(), x1 = x0 + 0.02 + 0.3 * u();
    std::vector<CKelCoord2D> pts;
    // The bottom, left to right: the sector lines every 0.01 between, and
    // points of the outline's own.
    const auto level = [&] {
      switch (rng() % 12) {
        case 0: return -0.0;
        case 1: return 1e-7 * static_cast<double>(1 + rng() % 30);
        default: return 0.0;
      }
    };
    pts.emplace_back(x0, 0.0);
    for (double x = std::ceil(x0 / 0.01) * 0.01; x < x1; x += 0.01) {
      // One draw per statement: a call's arguments come in no fixed order.
      if (rng() % 4 != 0) {
        const double at = x + (rng() % 8 == 0 ? 4e-7 : 0.0);
        pts.emplace_back(at, level());
      }
      if (rng() % 5 == 0) {
        const double at = x + 0.01 * u();
        pts.emplace_back(at, level());
      }
    }
    if (rng() % 6 == 0 && pts.size() > 2)
      pts.insert(pts.end() - 1, CKelCoord2D(pts[pts.size() - 2].m_x - 0.004, 0.0));  // a notch back
    pts.emplace_back(x1, 0.0);
    // Up the right side, a roof back to the left, down the left side.
    const double top = 0.05 + 0.4 * u();
    pts.emplace_back(x1, top * u());
    for (double x = x1; x > x0; x -= 0.01 + 0.03 * u())
      pts.emplace_back(x, top + 0.1 * u());
    pts.emplace_back(x0, top);
    if (rng() % 15 == 0)
      pts[rng() % pts.size()].m_y = std::nan("");
    if (rng() % 5 == 0)
      std::reverse(pts.begin(), pts.end());
    CSpherePolyArea area = united.NewPolyArea();
    for (const CKelCoord2D& c : pts) {
      const CSphereCoordD2D point(0, 0, c.m_x, c.m_y, 1);
      if (rng() % 200 == 0 && united.m_PolyCoord.Search(point) < 0) {
        united.m_PolyCoord.push_back(point);
        area.AddIdx(static_cast<int>(united.m_PolyCoord.size()) - 1);
        continue;
      }
      area.AddIdx(united.m_PolyCoord.Add(point));
    }
    united.m_PolyArea.push_back(area);
  }
  return united;
}

TEST(CSpherePolyArea, ContactsAsTheFormerSearchOnSkylinesSharingTheHorizon)
{
  std::size_t vertices = 0, before = 0;
  int listed = 0, unlisted = 0;
  for (std::uint64_t seed = 1; seed <= 300; ++seed) {
    const CSphereBlkDataArrayNew registered = Skylines(seed);
    for (const CSpherePolyArea& area : registered.m_PolyArea) {
      before += static_cast<std::size_t>(area.Size());
      (CSpherePolyAreaReach(area).HasHorizonList() ? listed : unlisted) += 1;
    }
    vertices += ExpectSameContacts(registered, "seed " + std::to_string(seed));
  }
  // Contacts were inserted, and both kinds of outline met.
  EXPECT_GT(vertices, before + 3000);
  EXPECT_GT(listed, 500);
  EXPECT_GT(unlisted, 50);
}

// Skylines with outlines among them whose edges cross the horizon instead
// of standing on it: slanted, upright but with no end on it, or upright to
// within a hair. Their crossings fall inside the skylines' bottom edges,
// so a search along the horizon must not be passed over for an edge near
// the horizon that neither lies on it nor stands on it.
TEST(CSpherePolyArea, ContactsAsTheFormerSearchWhereOutlinesCrossTheHorizon)
{
  std::size_t vertices = 0, before = 0;
  for (std::uint64_t seed = 1; seed <= 200; ++seed) {
    CSphereBlkDataArrayNew registered = Skylines(seed);
    std::mt19937_64 rng(seed + 1000);
    const auto u = [&rng] { return static_cast<double>(rng() >> 11) * 0x1.0p-53; };
    for (int p = 0; p < 1 + static_cast<int>(rng() % 3); ++p) {
      const double x0 = 0.05 + 0.4 * u();
      const double x1 = x0 + 0.02 + 0.1 * u();
      const double lean = rng() % 3 == 0 ? 0.0 : rng() % 2 == 0 ? 1e-9 : 0.01 * u();
      const std::vector<CKelCoord2D> pts{
          {x0 + lean, -0.05 - 0.1 * u()}, {x1 - lean, -0.05 - 0.1 * u()}, {x1, 0.05 + 0.2 * u()}, {x0, 0.05 + 0.2 * u()}};
      CSpherePolyArea area = registered.NewPolyArea();
      for (const CKelCoord2D& c : pts)
        area.AddIdx(registered.m_PolyCoord.Add(CSphereCoordD2D(0, 0, c.m_x, c.m_y, 1)));
      const auto at = registered.m_PolyArea.begin() + static_cast<std::ptrdiff_t>(rng() % (registered.m_PolyArea.size() + 1));
      registered.m_PolyArea.insert(at, area);
    }
    for (const CSpherePolyArea& area : registered.m_PolyArea)
      before += static_cast<std::size_t>(area.Size());
    vertices += ExpectSameContacts(registered, "seed " + std::to_string(seed));
  }
  EXPECT_GT(vertices, before + 2000);
}

// The runs along the horizon hold, in edge order, every edge whose span is
// not apart from a horizon segment's, wherever the cursor was left.
TEST(CSpherePolyAreaReach, HorizonRunsHoldEveryEdgeWithinReach)
{
  int compared = 0;
  for (std::uint64_t seed = 1; seed <= 200; ++seed) {
    const CSphereBlkDataArrayNew registered = Skylines(seed);
    std::mt19937_64 rng(seed);
    const auto u = [&rng] { return static_cast<double>(rng() >> 11) * 0x1.0p-53; };
    for (const CSpherePolyArea& area : registered.m_PolyArea) {
      const CSpherePolyAreaReach reach(area);
      if (!reach.HasHorizonList())
        continue;
      int from = 0;
      for (int q = 0; q < 40; ++q) {
        const double a = 0.65 * u() - 0.02, b = q % 3 == 0 ? a + 0.02 * u() : 0.65 * u() - 0.02;
        const CrossPointSpan span(CKelCoord2D(a, q % 2 == 0 ? 0.0 : -0.0), CKelCoord2D(b, 0.0));
        std::vector<int> expected, got;
        for (int j = 0; j < area.Size(); ++j) {
          if (!span.Apart(reach.EdgeAt(j).m_Span))
            expected.push_back(j);
        }
        const CSpherePolyAreaReach::HorizonRuns runs = reach.AlongHorizon(span, from);
        for (int r = 0; r < 2; ++r) {
          for (int k = runs.m_From[r]; k < runs.m_To[r]; ++k) {
            const int j = reach.HorizonAt(k).m_Edge;
            ASSERT_TRUE(got.empty() || got.back() < j) << "seed " << seed << ": runs out of edge order";
            got.push_back(j);
          }
        }
        // The runs may hold edges apart along y only where the list would
        // have left them out; here none is.
        std::vector<int> gotWithinReach;
        for (const int j : got) {
          if (!span.Apart(reach.EdgeAt(j).m_Span))
            gotWithinReach.push_back(j);
        }
        ASSERT_EQ(expected, gotWithinReach) << "seed " << seed << " query " << q;
        compared += !expected.empty();
      }
    }
  }
  EXPECT_GT(compared, 3000);
}

// A cancel at any ask leaves what the former search left at the same ask.
TEST(CSpherePolyArea, ACancelStopsWhereTheFormerSearchStopped)
{
  struct Counting : sky_test::Progress {
    int asked = 0;
    int cancelAtAsk = -1;
    bool CheckAbort() override { return ++asked == cancelAtAsk; }
  };
  for (const CSphereBlkDataArrayNew& registered :
       {sky_test::RegisteredUnion(sky_test::RandomScene(7).blocks, CKelCoord3D(0, 0, 0), sky_test::RandomScene(7).angle),
        Skylines(11)}) {
  Counting all;
  CSphereBlkDataArrayNew whole = registered;
  ASSERT_EQ(0, whole.CalcCrossPoint(&all));
  ASSERT_GT(all.asked, 500);
  for (const int cancelAt : {1, 2, 50, all.asked / 3, all.asked / 2, all.asked - 1, all.asked}) {
    Counting fastProgress, formerProgress;
    fastProgress.cancelAtAsk = formerProgress.cancelAtAsk = cancelAt;
    CSphereBlkDataArrayNew fast = registered, former = registered;
    EXPECT_EQ(1, fast.CalcCrossPoint(&fastProgress)) << cancelAt;
    EXPECT_EQ(1, union_literal::CalcCrossPoint(former, &formerProgress)) << cancelAt;
    EXPECT_EQ(cancelAt, fastProgress.asked);
    EXPECT_EQ(cancelAt, formerProgress.asked);
    ExpectSameCut(fast, former, "cancel at " + std::to_string(cancelAt));
  }
  }
}

// The pool's horizon points hold every reach's: where none but a segment's
// own ends lies near it there, none does in any reach built on the pool as
// it was taken in, which lets the contact search pass over the segment for
// every polygon of a turn. Segments between the pool's horizon points, and
// between them and points off the pool; both answers met.
TEST(CSphereHorizonIndex, NoOtherPointNearItMeansNoneNearItInAnyReach)
{
  int noneNear = 0, some = 0;
  for (std::uint64_t seed = 1; seed <= 150; ++seed) {
    const CSphereBlkDataArrayNew registered = Skylines(seed);
    const CSpherePolyCoordArray& pool = registered.m_PolyCoord;
    std::vector<CSpherePolyAreaReach> reaches;
    for (const CSpherePolyArea& area : registered.m_PolyArea)
      reaches.emplace_back(area);
    CSphereHorizonIndex index;
    index.TakeIn(pool);
    std::vector<int> onHorizon;
    for (int k = 0; k < static_cast<int>(pool.size()); ++k) {
      if (pool.Chart(k).m_y == 0)
        onHorizon.push_back(k);
    }
    if (onHorizon.size() < 2)
      continue;
    std::mt19937_64 rng(seed);
    for (int q = 0; q < 300; ++q) {
      const int a = onHorizon[rng() % onHorizon.size()];
      int b = onHorizon[rng() % onHorizon.size()];
      CKelCoord2D end = pool.Chart(b);
      if (q % 4 == 0) {
        // An end off the pool: a contact still to be added.
        b = static_cast<int>(pool.size()) + 5;
        end.m_x += 1e-4 * static_cast<double>(rng() % 100);
      }
      const CrossPointSpan span(pool.Chart(a), end);
      // The answer does not hang on where the search starts.
      std::size_t at = rng() % (onHorizon.size() + 2);
      const bool none = index.OnlyEndsNear(span, a, b, at);
      std::size_t fromStart = 0;
      ASSERT_EQ(none, index.OnlyEndsNear(span, a, b, fromStart)) << "seed " << seed << " query " << q;
      if (!none) {
        ++some;
        continue;
      }
      ++noneNear;
      for (const CSpherePolyAreaReach& reach : reaches) {
        std::size_t reachAt = rng() % 4;
        ASSERT_TRUE(reach.OnlyEndsNear(span, a, b, reachAt)) << "seed " << seed << " query " << q;
      }
    }
  }
  EXPECT_GT(noneNear, 1500);
  EXPECT_GT(some, 3000);
}

// Near means within kHorizonReach beyond either end of the span (whose own
// high end holds a margin of as much), at elevation 0 exactly;
// a point appended to the pool counts once taken in, and a pool cut short
// is taken in anew (before it grows again).
TEST(CSphereHorizonIndex, HoldsThePointsOnTheHorizonAsThePoolStoodWhenTakenIn)
{
  CSpherePolyCoordArray pool;
  const int a = pool.Add(CSphereCoordD2D(0, 0, 0.1, 0.0, 1));
  const int b = pool.Add(CSphereCoordD2D(0, 0, 0.2, -0.0, 1));
  pool.Add(CSphereCoordD2D(0, 0, 0.15, 1e-12, 1));  // above the horizon: never held
  CSphereHorizonIndex index;
  index.TakeIn(pool);
  const CrossPointSpan span(pool.Chart(a), pool.Chart(b));
  std::size_t at = 0;
  EXPECT_TRUE(index.OnlyEndsNear(span, a, b, at));
  EXPECT_FALSE(index.OnlyEndsNear(span, a, -1, at));
  const double reach = CSpherePolyAreaReach::kHorizonReach;
  const int near = pool.Add(CSphereCoordD2D(0, 0, 0.1 - 0.5 * reach, 0.0, 1));
  EXPECT_TRUE(index.OnlyEndsNear(span, a, b, at)) << "appended after the pool was taken in";
  index.TakeIn(pool);
  EXPECT_FALSE(index.OnlyEndsNear(span, a, b, at));
  EXPECT_FALSE(index.OnlyEndsNear(span, near, b, at)) << "a lies near, not only near's own";
  pool.resize(3);
  index.TakeIn(pool);
  EXPECT_TRUE(index.OnlyEndsNear(span, a, b, at)) << "the point cut off the pool";
  pool.Add(CSphereCoordD2D(0, 0, 0.5, 0.0, 1));
  index.TakeIn(pool);
  EXPECT_TRUE(index.OnlyEndsNear(span, a, b, at));
  pool.Add(CSphereCoordD2D(0, 0, 0.1 - 2 * reach, 0.0, 1));
  pool.Add(CSphereCoordD2D(0, 0, 0.2 + 3 * reach, 0.0, 1));
  index.TakeIn(pool);
  EXPECT_TRUE(index.OnlyEndsNear(span, a, b, at)) << "points beyond reach";
}

// The contact search inserts vertices; the vertices it cut keep their
// entries as they were.
TEST(CSpherePolyArea, AContactSearchKeepsTheEntriesOfTheVerticesItCut)
{
  CSpherePolyCoordArray pool;
  const auto polygon = [&pool](const std::vector<CKelCoord2D>& pts) {
    CSpherePolyArea area;
    area.m_pCoord = &pool;
    for (const CKelCoord2D& p : pts)
      area.AddIdx(pool.Add(CSphereCoordD2D(0, 0, p.m_x, p.m_y, 1)));
    return area;
  };
  CSpherePolyArea square = polygon({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  const CSpherePolyArea across = polygon({{0.5, 0.25}, {1.5, 0.25}, {1.5, 0.75}, {0.5, 0.75}});
  square.m_Idx[1].m_EdgeFlag = CSpherePolyAreaFlag::kShared;
  square.m_Idx[2].m_EdgeFlag = CSpherePolyAreaFlag::kInside;
  ASSERT_EQ(0, square.CalcCrossPoint(nullptr, across));
  ASSERT_EQ(6, square.Size());
  const std::vector<CKelCoord2D> expected{{0, 0}, {1, 0}, {1, 0.25}, {1, 0.75}, {1, 1}, {0, 1}};
  const std::vector<int> flags{CSpherePolyAreaFlag::kKept, CSpherePolyAreaFlag::kShared, CSpherePolyAreaFlag::kKept,
                               CSpherePolyAreaFlag::kKept, CSpherePolyAreaFlag::kInside, CSpherePolyAreaFlag::kKept};
  for (int k = 0; k < 6; ++k) {
    const CKelCoord2D p = pool.Chart(square.IdxAt(k));
    EXPECT_NEAR(expected[static_cast<std::size_t>(k)].m_x, p.m_x, 1e-12) << k;
    EXPECT_NEAR(expected[static_cast<std::size_t>(k)].m_y, p.m_y, 1e-12) << k;
    EXPECT_EQ(flags[static_cast<std::size_t>(k)], square.m_Idx[static_cast<std::size_t>(k)].m_EdgeFlag) << k;
  }
}

// The runs of a reach tree cover the edges once each, in order, and every
// node's span keeps its edges' ends.
TEST(CSpherePolyAreaReach, RunsCoverTheEdgesInOrderUnderBoxesHoldingTheirEnds)
{
  for (const int n : {1, 3, 4, 5, 9, 17, 64, 101}) {
    CSpherePolyCoordArray pool;
    CSpherePolyArea area;
    area.m_pCoord = &pool;
    for (int k = 0; k < n; ++k)
      area.AddIdx(pool.Add(CSphereCoordD2D(0, 0, 0.01 * k, 0.001 * (k % 7), 0)));
    const CSpherePolyAreaReach reach(area);
    std::vector<int> edges;
    const auto walk = [&](const auto& self, int node) -> void {
      const CSpherePolyAreaReach::Node& at = reach.Nodes()[static_cast<std::size_t>(node)];
      for (int j = at.m_From; j <= at.m_To; ++j) {
        const CKelCoord2D p = pool.Chart(area.IdxAt(j % n));
        EXPECT_FALSE(at.m_Span.Apart(CrossPointSpan(p, p))) << n << " node " << node << " vertex " << j;
      }
      if (at.m_Left < 0) {
        for (int j = at.m_From; j < at.m_To; ++j)
          edges.push_back(j);
        return;
      }
      self(self, at.m_Left);
      self(self, at.m_Right);
    };
    walk(walk, reach.Root());
    std::vector<int> expected(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k)
      expected[static_cast<std::size_t>(k)] = k;
    EXPECT_EQ(expected, edges) << n;
  }
  const CSpherePolyArea empty;
  EXPECT_EQ(-1, CSpherePolyAreaReach(empty).Root());
}

}  // namespace
