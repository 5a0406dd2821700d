// The union of projected outlines and the preparation of its boundaries.

#include "CSphereBlkDataArrayNew.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "CSphereRatioBlock.h"
#include "KelTolerance.h"
#include "SkyProgress.h"

namespace {

using Pairs = std::vector<std::pair<double, double>>;

CSphereCoordD2D At(double ad, double ae)
{
  CSphereCoordD2D p(0, 0, ad, ae, 0);
  p.ConvertCoordXY();
  return p;
}

void Register(CSphereBlkDataArrayNew& store, const Pairs& pts)
{
  CSpherePolyArea area = store.NewPolyArea();
  for (const auto& [ad, ae] : pts)
    area.AddIdx(store.m_PolyCoord.Add(At(ad, ae)));
  store.m_PolyArea.push_back(area);
}

Pairs AnglesOf(const CSphereCoordD2DArray& pts)
{
  Pairs out;
  for (const CSphereCoordD2D& p : pts)
    out.emplace_back(p.m_AD, p.m_AE);
  return out;
}

const Pairs kLeft{{0.2, 0.1}, {0.4, 0.1}, {0.4, 0.5}, {0.2, 0.5}};
const Pairs kRight{{0.4, 0.1}, {0.6, 0.1}, {0.6, 0.5}, {0.4, 0.5}};

TEST(CSphereBlkDataArrayNew, NothingRegisteredGivesNoBoundary)
{
  CSphereBlkDataArrayNew store;
  std::vector<CSphereRatioBlockParam> params;
  EXPECT_EQ(0, store.CalcRatio(nullptr, 10, params));
  EXPECT_TRUE(params.empty());
}

TEST(CSphereBlkDataArrayNew, SharedOppositeEdgeLeavesOneBoundary)
{
  CSphereBlkDataArrayNew store;
  Register(store, kLeft);
  Register(store, kRight);
  std::vector<CSphereRatioBlockParam> params;
  ASSERT_EQ(0, store.CalcRatio(nullptr, 10, params));
  ASSERT_EQ(1u, params.size());
  EXPECT_EQ(6u, params[0].m_pt.size());
  EXPECT_EQ(-2, store.m_PolyArea[0].m_Idx[1].m_EdgeFlag);
  EXPECT_EQ(-2, store.m_PolyArea[1].m_Idx[3].m_EdgeFlag);
  // The union's share equals the sum of the two outlines' shares.
  CSphereRatioBlockParam left, right;
  for (const auto& [ad, ae] : kLeft)
    left.m_pt.push_back(At(ad, ae));
  for (const auto& [ad, ae] : kRight)
    right.m_pt.push_back(At(ad, ae));
  EXPECT_NEAR(left.CalcArea() + right.CalcArea(), params[0].m_area, 1e-15);
  EXPECT_GT(params[0].m_area, 0);
}

TEST(CSphereBlkDataArrayNew, NestedOutlineIsFlaggedAndAClockwiseOneReversed)
{
  CSphereBlkDataArrayNew store;
  Register(store, {{0.2, 0.1}, {0.2, 0.6}, {0.8, 0.6}, {0.8, 0.1}});  // clockwise
  Register(store, {{0.4, 0.2}, {0.5, 0.2}, {0.5, 0.3}, {0.4, 0.3}});
  std::vector<CSphereRatioBlockParam> params;
  ASSERT_EQ(0, store.CalcRatio(nullptr, 10, params));
  EXPECT_GT(store.m_PolyArea[0].GetArea(), 0);
  for (const CSpherePolyAreaFlag& f : store.m_PolyArea[1].m_Idx)
    EXPECT_EQ(-1, f.m_EdgeFlag);
  ASSERT_EQ(1u, params.size());
  EXPECT_EQ(4u, params[0].m_pt.size());
}

TEST(CSphereBlkDataArrayNew, OverlappingOutlinesUniteAtTheirCrossings)
{
  CSphereBlkDataArrayNew store;
  Register(store, {{0.2, 0.1}, {0.5, 0.1}, {0.5, 0.4}, {0.2, 0.4}});
  Register(store, {{0.4, 0.2}, {0.7, 0.2}, {0.7, 0.5}, {0.4, 0.5}});
  std::vector<CSphereRatioBlockParam> params;
  ASSERT_EQ(0, store.CalcRatio(nullptr, 10, params));
  ASSERT_EQ(1u, params.size());
  EXPECT_EQ(8u, params[0].m_pt.size());
  EXPECT_NEAR(0.3 * 0.3 * 2 - 0.1 * 0.2, CSphereRatioBlockParam::CalcAreaAngle(params[0].m_pt) * 3.141592653589793,
              1e-12);
}

TEST(CSphereBlkDataArrayNew, OpenChainAndProgress)
{
  CSphereBlkDataArrayNew store;
  for (const auto& [ad, ae] : kLeft)
    store.m_PolyCoord.Add(At(ad, ae));
  store.m_BlkLine.push_back({0, 1, 2});
  std::vector<CSphereRatioBlockParam> params;
  EXPECT_EQ(6, store.RegistBlock(10, params));

  sky_test::Progress progress;
  progress.Set(5, 8);
  CSphereBlkDataArrayNew::ShowStepText(&progress);
  ASSERT_EQ(1u, progress.texts.size());
  // " %3d.%d%% " of 62 and 5.
  EXPECT_EQ("  62.5% ", progress.texts[0]);
  progress.Set(5, 0);
  CSphereBlkDataArrayNew::ShowStepText(&progress);
  EXPECT_EQ(1u, progress.texts.size());
  CSphereBlkDataArrayNew::ShowStepText(nullptr);

  CSphereBlkDataArrayNew cancelled;
  Register(cancelled, kLeft);
  Register(cancelled, kRight);
  sky_test::Progress cancel;
  cancel.cancelAtStep = 1;
  EXPECT_EQ(1, cancelled.CalcRatio(&cancel, 10, params));
  EXPECT_TRUE(params.empty());
  // A copy indexes its own pool.
  const CSphereBlkDataArrayNew copy = cancelled;
  EXPECT_EQ(&copy.m_PolyCoord, copy.m_PolyArea[0].m_pCoord);
}

CSphereRatioBlockParam Param(const Pairs& pts)
{
  CSphereRatioBlockParam p;
  for (const auto& [ad, ae] : pts)
    p.m_pt.push_back(At(ad, ae));
  p.m_area = p.CalcArea();
  return p;
}

TEST(CSphereBlkDataArrayNew, HolesAreMergedOrDropped)
{
  CSphereCoordD2DArray outline = Param({{0, 0}, {1, 0}, {1, 1}, {0, 1}}).m_pt;
  const CSphereCoordD2DArray hole = Param({{0.4, 0.4}, {0.4, 0.6}, {0.6, 0.5}}).m_pt;
  CSphereBlkDataArrayNew::MergeBlock(outline, hole, 1, 2);
  const Pairs merged{{0, 0}, {1, 0}, {0.6, 0.5}, {0.4, 0.4}, {0.4, 0.6}, {0.6, 0.5}, {1, 0}, {1, 1}, {0, 1}};
  EXPECT_EQ(merged, AnglesOf(outline));

  // The hole lies inside the outline on the disc too, where the level
  // edges are chords.
  const std::vector<CSphereRatioBlockParam> both{Param({{0.3, 0.1}, {0.7, 0.1}, {0.7, 1}, {0.3, 1}}),
                                                 Param({{0.4, 0.4}, {0.4, 0.6}, {0.6, 0.6}, {0.6, 0.4}})};
  ASSERT_GT(both[0].m_area, 0);
  ASSERT_LT(both[1].m_area, 0);
  std::vector<CSphereRatioBlockParam> dropped = both;
  ASSERT_TRUE(CSphereBlkDataArrayNew().Merge(dropped, 10, true));
  ASSERT_EQ(1u, dropped.size());
  EXPECT_EQ(4u, dropped[0].m_pt.size());

  std::vector<CSphereRatioBlockParam> joined = both;
  ASSERT_TRUE(CSphereBlkDataArrayNew().Merge(joined, 10, false));
  ASSERT_EQ(1u, joined.size());
  EXPECT_TRUE(joined[0].m_bFlag);
  // The outline took the hole's azimuths on its two level edges.
  EXPECT_EQ(8u + 4u + 2u, joined[0].m_pt.size());
  // The bridged outline covers the outline less its hole.
  CSphereRatioBlockParam outer = both[0];
  CSphereBlkDataArrayNew::InsertPoint1(outer, both[1]);
  EXPECT_EQ(8u, outer.m_pt.size());
  EXPECT_NEAR(outer.CalcArea() + both[1].m_area, joined[0].CalcArea(), 1e-15);

  CSphereFunShapeParamArray fans;
  std::vector<CSphereRatioBlockParam> none;
  EXPECT_EQ(0, CSphereBlkDataArrayNew().CalcSansya(0, none, 10, true, false, fans));
  EXPECT_TRUE(fans.empty());
}

// A point another outline's corner inserts into an edge lies on the edge as
// the disc draws it, a chord, so the outline covers what it covered; on a
// stretch of horizon it stays on the horizon, under the bow.
TEST(CSphereBlkDataArrayNew, PointsInsertedAtOtherAzimuthsLeaveTheOutline)
{
  const CSphereRatioBlockParam corners = Param({{0.35, 0.5}, {0.55, 0.45}, {0.8, 0.5}});
  CSphereRatioBlockParam sloped = Param({{0.1, 0.2}, {1, 0.05}, {1, 1.2}, {0.1, 0.9}});
  const double before = sloped.CalcArea();
  CSphereBlkDataArrayNew::InsertPoint1(sloped, corners);
  EXPECT_EQ(4u + 6u, sloped.m_pt.size());
  EXPECT_NEAR(before, sloped.CalcArea(), 1e-15);

  CSphereRatioBlockParam standing = Param({{0.1, 0}, {1, 0}, {1, 1}, {0.1, 1}});
  CSphereBlkDataArrayNew::InsertPoint1(standing, corners);
  ASSERT_EQ(4u + 6u, standing.m_pt.size());
  EXPECT_EQ(3, std::count_if(standing.m_pt.begin(), standing.m_pt.end(),
                             [](const CSphereCoordD2D& p) { return p.m_AE == 0 && p.m_AD > 0.1 && p.m_AD < 1; }));
}

// The disc area an outline covers: its chords and, above its horizon
// edges, the bows out to the circle.
double Covered(const CSphereRatioBlockParam& p)
{
  double bows = 0;
  for (const CSphereBowShapeParam& bow : p.m_BowShape)
    bows += CSphereRatioBlock::CalcBowShapeArea(bow.m_endA - bow.m_begA);
  return p.CalcArea() * KelAngle::Pi + bows;
}

TEST(CSphereBlkDataArrayNew, AnOutlineThatTakesAHoleCoversItsOwnAreaLessTheHole)
{
  // An outline on the horizon over 10 degrees and a hole in it: the hole's
  // azimuths split the horizon edge, whose bow must split with it.
  std::vector<CSphereRatioBlockParam> params{Param({{0, 0}, {0.17, 0}, {0.17, 0.4}, {0, 0.4}}),
                                             Param({{0.06, 0.1}, {0.06, 0.2}, {0.11, 0.2}, {0.11, 0.1}})};
  ASSERT_TRUE(params[0].SetBowShape());
  ASSERT_EQ(1u, params[0].m_BowShape.size());
  ASSERT_LT(params[1].m_area, 0);
  // The outline as the hole's points cut it, drawn with its own bows.
  CSphereRatioBlockParam cut = params[0];
  CSphereBlkDataArrayNew::InsertPoint1(cut, params[1]);
  ASSERT_TRUE(cut.SetBowShape());
  const double expected = Covered(cut) + params[1].m_area * KelAngle::Pi;
  ASSERT_TRUE(CSphereBlkDataArrayNew().Merge(params, 10, false));
  ASSERT_EQ(1u, params.size());
  ASSERT_TRUE(params[0].m_bFlag);
  EXPECT_EQ(3u, params[0].m_BowShape.size());
  EXPECT_NEAR(expected, Covered(params[0]), 1e-15);
}

TEST(CSphereBlkDataArrayNew, TrianglesAndTheirLiftToExpandLines)
{
  CSphereBlkDataArrayNew store;
  std::vector<CSphereRatioBlockParam> params{Param({{0.1, 0.1}, {0.5, 0.1}, {0.5, 0.5}, {0.1, 0.5}}),
                                             Param({{0.1, 0.1}, {0.1 + 1e-6, 0.1}, {0.1, 0.1 + 1e-6}})};
  ASSERT_LE(std::fabs(params[1].m_area), 2e-9);
  ASSERT_EQ(0, store.CreateSansya(-1, params));
  EXPECT_EQ(2u, params[0].m_Triangle.size());
  EXPECT_TRUE(params[1].m_Triangle.empty());

  // A base a-b with its middle point at height 0.5 on the left.
  store.m_ExpandLine.emplace_back(CKelCoord2D(0, 0), CKelCoord2D(1, 0.5), CKelCoord2D(2, 0));
  CKelCoord2D a(0, 0), b(2, 0), c(1, 2);
  bool moved = false;
  ASSERT_EQ(0, store.Expand(&a, &b, &c, &moved));
  ASSERT_TRUE(moved);
  EXPECT_NEAR(0.25, a.m_x, 1e-15);
  EXPECT_NEAR(0.5, a.m_y, 1e-15);
  EXPECT_NEAR(1.75, b.m_x, 1e-15);
  EXPECT_NEAR(0.5, b.m_y, 1e-15);
  // A middle point on the base moves nothing; an apex on the right is refused.
  store.m_ExpandLine[0].m_Mid = CKelCoord2D(1, 0);
  a = CKelCoord2D(0, 0), b = CKelCoord2D(2, 0);
  ASSERT_EQ(0, store.Expand(&a, &b, &c, &moved));
  EXPECT_FALSE(moved);
  store.m_ExpandLine[0].m_Mid = CKelCoord2D(1, 0.5);
  CKelCoord2D below(1, -2);
  EXPECT_EQ(1, store.Expand(&a, &b, &below, &moved));
}

TEST(CSphereBlkDataArrayNew, TwoSidedRegionsBetweenBoundaryAndZenith)
{
  // One block on the horizon from azimuth 0.2 to 0.6, 0.3 high.
  const std::vector<CSphereRatioBlockParam> block{Param({{0.2, 0}, {0.6, 0}, {0.6, 0.3}, {0.2, 0.3}})};
  CSphereFunShapeParamArray fans;
  bool ok = false;
  const std::vector<CSphereRatioBlockParam> regions = CSphereBlkDataArrayNew::Side2_CreateBoundaryLine(block, fans, &ok);
  ASSERT_TRUE(ok);
  ASSERT_EQ(1u, regions.size());
  ASSERT_EQ(1u, fans.size());
  EXPECT_DOUBLE_EQ(0.2, fans[0].m_Area);
  // Fan less sky region is the block with its bow on the horizon.
  const double bow = 0.2 - std::sin(0.2) * std::cos(0.2);
  EXPECT_NEAR(block[0].m_area + bow / 3.141592653589793, fans[0].m_Area / 3.141592653589793 - regions[0].m_area,
              1e-15);

  const std::vector<CSphereRatioBlockParam> line{Param({{0.2, 0}, {0.2, 0.3}, {0.2, 0.5}})};
  CSphereFunShapeParamArray none;
  EXPECT_TRUE(CSphereBlkDataArrayNew::Side2_CreateBoundaryLine(line, none, &ok).empty());
  EXPECT_TRUE(none.empty());

  std::vector<CKelCoord2D> out1, out2;
  const std::vector<CKelCoord2D> rect{{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  ASSERT_TRUE(CSphereBlkDataArrayNew::Side2_DividArea(rect, out1, out2, {{1, 0.5}, {0, 0.5}}));
  EXPECT_EQ(std::vector<CKelCoord2D>({{1, 1}, {0, 1}, {0, 0.5}, {1, 0.5}}), out1);
  EXPECT_EQ(std::vector<CKelCoord2D>({{0, 0}, {1, 0}, {1, 0.5}, {0, 0.5}}), out2);
  EXPECT_FALSE(CSphereBlkDataArrayNew::Side2_DividArea(rect, out1, out2, {{2, 0.5}, {0, 0.5}}));
}

// The cancel is asked once per pair of edges the contact search tries and
// once per polygon, however many pairs are passed over at once: a square of
// 20 vertices around one of 12 (whose edges are all clear of the other's
// box one way round, and clear of most runs of edges the other way), and a
// far one of 4.
Pairs Ring(double x0, double y0, double side, int perSide)
{
  Pairs out;
  const double step = side / perSide;
  for (int k = 0; k < perSide; ++k)
    out.emplace_back(x0 + k * step, y0);
  for (int k = 0; k < perSide; ++k)
    out.emplace_back(x0 + side, y0 + k * step);
  for (int k = 0; k < perSide; ++k)
    out.emplace_back(x0 + side - k * step, y0 + side);
  for (int k = 0; k < perSide; ++k)
    out.emplace_back(x0, y0 + side - k * step);
  return out;
}

TEST(CSphereBlkDataArrayNew, ContactSearchAsksForACancelPerEdgePair)
{
  struct Counting : sky_test::Progress {
    int asked = 0;
    int cancelAtAsk = -1;
    bool CheckAbort() override { return ++asked == cancelAtAsk; }
  };
  const auto store = [] {
    CSphereBlkDataArrayNew s;
    Register(s, Ring(0.2, 0.1, 0.5, 5));
    Register(s, Ring(0.4, 0.2, 0.1, 3));
    Register(s, Ring(1.4, 0.2, 0.1, 1));
    return s;
  };
  Counting progress;
  CSphereBlkDataArrayNew all = store();
  EXPECT_EQ(0, all.CalcCrossPoint(&progress));
  EXPECT_EQ(2 * 20 * 12 + 3, progress.asked);
  for (int cancelAt : {1, 5, 17, 100, 241, 250, 483}) {
    Counting cancelling;
    cancelling.cancelAtAsk = cancelAt;
    CSphereBlkDataArrayNew s = store();
    EXPECT_NE(0, s.CalcCrossPoint(&cancelling)) << cancelAt;
    EXPECT_EQ(cancelAt, cancelling.asked);
  }
}

// Two chains that start at one point share a run while each next segment of
// one ends on the other; the shared run is collected from either end.
TEST(CSphereBlkDataArrayNew, SharedRunsOfChainsAreCollectedFromEitherEnd)
{
  CSpherePolyCoordArray pool;
  for (const auto& [ad, ae] : Pairs{{0.1, 0.1}, {0.2, 0.1}, {0.3, 0.1}, {0.3, 0.3}})
    pool.Add(At(ad, ae));
  const struct {
    const char* name;
    CSphereBlkDataLineArray src, dst;
    bool shared;
    std::vector<int> run;
  } rows[] = {
      {"same first segment, then apart", {0, 1, 2}, {0, 1, 3}, true, {0, 1}},
      {"the other ends within the longer segment", {0, 2}, {0, 1, 3}, true, {0, 1}},
      {"whole chain shared", {0, 1, 2}, {0, 1, 2}, true, {0, 1, 2}},
      {"apart at once", {0, 3}, {0, 1}, false, {0}},
      {"different starts", {1, 2}, {0, 2}, false, {}},
      {"an empty chain", {}, {0, 1}, false, {}},
  };
  for (const auto& row : rows) {
    std::vector<int> run;
    EXPECT_EQ(CSphereBlkDataArrayNew::CutDupLineFront(row.src, row.dst, pool, run), row.shared) << row.name;
    EXPECT_EQ(run, row.run) << row.name;
    // The same chains reversed share the same run from their ends.
    CSphereBlkDataLineArray src = row.src, dst = row.dst;
    std::reverse(src.begin(), src.end());
    std::reverse(dst.begin(), dst.end());
    std::vector<int> back;
    EXPECT_EQ(CSphereBlkDataArrayNew::CutDupLineBack(src, dst, pool, back), row.shared) << row.name;
    EXPECT_EQ(back, row.run) << row.name;
  }
  EXPECT_EQ(pool.size(), 4u);  // every contact was a point already held
}

TEST(CSphereBlkDataArrayNew, TheDuplicateRunPassLeavesTheChainsAsTheyWere)
{
  CSphereBlkDataArrayNew store;
  for (const auto& [ad, ae] : Pairs{{0.1, 0.1}, {0.2, 0.1}, {0.3, 0.1}, {0.3, 0.3}})
    store.m_PolyCoord.Add(At(ad, ae));
  for (const CSphereBlkDataLineArray& chain : {CSphereBlkDataLineArray{0, 1, 2}, CSphereBlkDataLineArray{0, 1, 3},
                                               CSphereBlkDataLineArray{}, CSphereBlkDataLineArray{3, 2}})
    store.m_BlkLine.push_back(chain);
  const CSphereBlkDataLineArrayArray before = store.m_BlkLine;
  EXPECT_EQ(store.CutDupLine(), 0);
  EXPECT_EQ(static_cast<const std::vector<CSphereBlkDataLineArray>&>(store.m_BlkLine),
            static_cast<const std::vector<CSphereBlkDataLineArray>&>(before));
}

}  // namespace
