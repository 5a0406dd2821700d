// The union's contact search through reach trees against its former form:
// the same pool, bit for bit, the same vertex lists, and the same cancels.

#include "CSpherePolyArea.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
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

// A cancel at any ask leaves what the former search left at the same ask.
TEST(CSpherePolyArea, ACancelStopsWhereTheFormerSearchStopped)
{
  struct Counting : sky_test::Progress {
    int asked = 0;
    int cancelAtAsk = -1;
    bool CheckAbort() override { return ++asked == cancelAtAsk; }
  };
  const sky_test::Scene scene = sky_test::RandomScene(7);
  const CSphereBlkDataArrayNew registered = sky_test::RegisteredUnion(scene.blocks, CKelCoord3D(0, 0, 0), scene.angle);
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
