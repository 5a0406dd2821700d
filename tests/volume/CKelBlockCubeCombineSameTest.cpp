// The block combination against its form before the pairs were indexed
// (CombinePrevious.h): the same answer for every pair a list's scan tries,
// the same merged blocks vertex for vertex (points, heights, floors, offsets
// and walls, bit for bit), the same lists in the same order. Inputs: shuffled
// grids of cells with gaps and two top levels, which grow ragged blocks that
// touch along several runs, around holes and at corners; combs whose notches
// are filled; shared edges with vertices inside them, sloped tops, own
// bottoms and a floor profile; vertices at the tolerance boundaries; points
// that are far out or not numbers.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "CKelBlockCubeArray.h"
#include "CombinePrevious.h"
#include "VolumeShapeSupport.h"
#include "VolumeTestSupport.h"

namespace {

using vol_shape::Plan;

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void ExpectSameVertices(const CKelBlockCoordArray& got, const CKelBlockCoordArray& want, const std::string& what)
{
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    const CKelBlockCoord& a = got[i];
    const CKelBlockCoord& b = want[i];
    EXPECT_TRUE(SameBits(a.m_x, b.m_x) && SameBits(a.m_y, b.m_y) && SameBits(a.m_z, b.m_z) &&
                SameBits(a.m_zL, b.m_zL))
        << what << " vertex " << i;
    EXPECT_TRUE(a.m_FlrH == b.m_FlrH && a.m_FlrL == b.m_FlrL && SameBits(a.m_OffH, b.m_OffH) &&
                SameBits(a.m_OffL, b.m_OffL) && a.m_HikageWall == b.m_HikageWall)
        << what << " vertex " << i;
  }
}

void ExpectSameBlock(const CKelBlockCube& got, const CKelBlockCube& want, const std::string& what)
{
  ExpectSameVertices(got.m_Coord, want.m_Coord, what);
  EXPECT_EQ(got.PpNo(), want.PpNo()) << what;
  EXPECT_EQ(got.IsTopSlope(), want.IsTopSlope()) << what;
  EXPECT_EQ(got.IsTyuku(), want.IsTyuku()) << what;
  EXPECT_EQ(got.m_Work, want.m_Work) << what;
  EXPECT_TRUE(SameBits(got.Menseki(), want.Menseki())) << what;
  for (const bool bottom : {false, true})
    EXPECT_TRUE(SameBits(got.PlaneD(bottom), want.PlaneD(bottom))) << what;
}

void ExpectSameLists(const CKelBlockCubeArray& got, const CKelBlockCubeArray& want, const std::string& what)
{
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t k = 0; k < got.size(); ++k)
    ExpectSameBlock(got[k], want[k], what + " block " + std::to_string(k));
}

// Both two-block forms on one pair: the same answer and the same block.
void ExpectSamePair(const CPrfPlanParam* prf, const CKelBlockCube& a, const CKelBlockCube& b, const std::string& what)
{
  CKelBlockCube fast;
  CKelBlockCube previous;
  const bool merged = CKelBlockCubeArray::CombineBlock(prf, a, b, &fast);
  ASSERT_EQ(merged, combine_previous::CombinePair(prf, a, b, &previous)) << what;
  if (merged)
    ExpectSameBlock(fast, previous, what);
}

// The scan of the list combination, restarted after every merge, checking
// every pair it tries against the previous two-block form; answers the
// number of pairs tried and counts the merges.
int ScanCheckingPairs(CKelBlockCubeArray list, const CPrfPlanParam* prf, int& merges, const std::string& what)
{
  int tried = 0;
  for (CKelBlockCube& block : list) {
    block.GetPlaneEquation(false);
    block.GetPlaneEquation(true);
  }
  for (bool merged = true; merged && list.Size() >= 2;) {
    merged = false;
    for (int i = list.Size() - 1; i >= 1 && !merged && !testing::Test::HasFailure(); --i) {
      for (int j = i - 1; j >= 0; --j) {
        const auto ui = static_cast<std::size_t>(i);
        const auto uj = static_cast<std::size_t>(j);
        ++tried;
        ExpectSamePair(prf, list[ui], list[uj], what + " pair " + std::to_string(tried));
        CKelBlockCube R;
        if (!combine_previous::CombinePair(prf, list[ui], list[uj], &R))
          continue;
        list.Erase(i);
        list.BuildOverWrite(j, R.m_Coord);
        ++merges;
        merged = true;
        break;
      }
    }
  }
  return tried;
}

// k x k unit cells over (x0, y0), shuffled; a share of them left out and
// some raised to a second top.
CKelBlockCubeArray Cells(std::mt19937& rng, int k, double gaps, double raised, double x0 = 0, double y0 = 0)
{
  std::uniform_real_distribution<double> unit(0, 1);
  std::vector<CKelBlockCube> cells;
  for (int y = 0; y < k; ++y) {
    for (int x = 0; x < k; ++x) {
      if (unit(rng) < gaps)
        continue;
      const double top = unit(rng) < raised ? 4 : 3;
      cells.push_back(vol_test::Box(x0 + x, y0 + y, x0 + x + 1, y0 + y + 1, top));
    }
  }
  std::shuffle(cells.begin(), cells.end(), rng);
  CKelBlockCubeArray list;
  for (CKelBlockCube& c : cells) {
    c.m_Work = list.Size();
    list.AddBlock(c);
  }
  return list;
}

TEST(CKelBlockCubeCombineSameTest, EveryPairOfARaggedScanGivesThePreviousAnswerAndBlock)
{
  std::mt19937 rng(3901);
  int tried = 0;
  int merges = 0;
  for (const auto& [k, gaps, raised] : {std::tuple{7, 0.0, 0.0}, std::tuple{9, 0.15, 0.0}, std::tuple{8, 0.1, 0.3},
                                        std::tuple{12, 0.05, 0.0}}) {
    const CKelBlockCubeArray cells = Cells(rng, k, gaps, raised);
    tried += ScanCheckingPairs(cells, nullptr, merges, "grid " + std::to_string(k));
  }
  // Enough merges of ragged blocks, and far more refusals.
  EXPECT_GT(merges, 250);
  EXPECT_GT(tried, 20 * merges);
}

TEST(CKelBlockCubeCombineSameTest, ListsGiveThePreviousFormsBlocksInOrder)
{
  std::mt19937 rng(3902);
  const CPrfPlanParam prf = vol_test::SampleList();
  for (int trial = 0; trial < 12; ++trial) {
    const int k = 4 + trial % 5 * 4;
    const CKelBlockCubeArray cells = Cells(rng, k, trial % 3 * 0.1, trial % 2 * 0.25, 1e3 * trial, -7.5);
    CKelBlockCubeArray fast = cells;
    CKelBlockCubeArray previous = cells;
    const CPrfPlanParam* profile = trial % 4 == 3 ? &prf : nullptr;
    fast.CombineBlock(profile);
    combine_previous::Combine(previous, profile);
    ExpectSameLists(fast, previous, "trial " + std::to_string(trial));
    EXPECT_LT(fast.Size(), cells.Size());
  }
}

// A comb's notches filled by boxes that share three sides of each, and
// bars that close two teeth at their tips, sharing two runs around a hole.
TEST(CKelBlockCubeCombineSameTest, FilledNotchesMergeAndBarsAroundHolesAreRefusedAsBefore)
{
  const CKelBlockCube comb = vol_shape::BlockOver(vol_shape::Comb(12), {3});
  int merged = 0;
  for (int t = 0; t + 1 < 12; ++t) {
    const double x = 2.0 * t + 1;
    const CKelBlockCube notch = vol_test::Box(x, 0, x + 1, 10, 3);
    const CKelBlockCube bar = vol_test::Box(x - 1, 10, x + 2, 11, 3);
    const CKelBlockCube half = vol_test::Box(x, 0, x + 1, 4.5, 3);
    for (const CKelBlockCube* other : {&notch, &bar, &half}) {
      ExpectSamePair(nullptr, comb, *other, "comb first, tooth " + std::to_string(t));
      ExpectSamePair(nullptr, *other, comb, "comb second, tooth " + std::to_string(t));
      CKelBlockCube r;
      merged += CKelBlockCubeArray::CombineBlock(nullptr, comb, *other, &r) ? 1 : 0;
    }
  }
  EXPECT_EQ(merged, 22);  // the notches and the half notches; no bar
}

// Two blocks on one sloped plane along an edge of A that holds B's corners
// and extra vertices of its own, with own bottoms or not, under a profile
// or none: the inserted vertices take heights, floors and offsets alike.
TEST(CKelBlockCubeCombineSameTest, SharedEdgesWithInsertedVerticesKeepHeightsFloorsAndOffsets)
{
  std::mt19937 rng(3903);
  std::uniform_real_distribution<double> unit(0, 1);
  const CPrfPlanParam prf = vol_test::SampleList();
  for (int trial = 0; trial < 120; ++trial) {
    const vol_shape::Planar top{4 + 3 * unit(rng), 0.1 * unit(rng), -0.2 * unit(rng)};
    const vol_shape::Planar bottom{trial % 2 == 0 ? 0.0 : 1 + unit(rng), 0, 0.05 * unit(rng)};
    // A's right edge x = 4 from y = 0 to 6 with vertices inside it; B to
    // its right over part of it, its corners inside A's edge.
    Plan a{{0, 0}, {4, 0}};
    for (double y = 0.5 + 2 * unit(rng); y < 6; y += 0.5 + 2 * unit(rng))
      a.emplace_back(4, y);
    a.insert(a.end(), {{4, 6}, {0, 6}});
    const double y0 = 5 * unit(rng);
    const double y1 = y0 + 0.3 + (6 - y0) * unit(rng);
    const Plan b{{4, y0}, {5 + unit(rng), y0}, {5 + unit(rng), std::min(y1, 6.0)}, {4, std::min(y1, 6.0)}};
    CKelBlockCube ba = vol_shape::BlockOver(a, top, bottom);
    CKelBlockCube bb = vol_shape::BlockOver(b, top, bottom);
    for (CKelBlockCube* block : {&ba, &bb}) {
      block->SetType(trial % 2 == 1);
      block->m_Coord[0].m_HikageWall.m_Item.m_IdxNo = trial;  // a wall that full copies carry
    }
    const CPrfPlanParam* profile = trial % 3 == 0 ? nullptr : &prf;
    ExpectSamePair(profile, ba, bb, "trial " + std::to_string(trial));
    ExpectSamePair(profile, bb, ba, "reversed trial " + std::to_string(trial));

    CKelBlockCube fast = ba;
    CKelBlockCube previous = ba;
    CKelBlockCubeArray::CombineBlockSub(profile, fast, bb);
    combine_previous::CombineBlockSub(profile, previous, bb);
    ExpectSameVertices(fast.m_Coord, previous.m_Coord, "insertion, trial " + std::to_string(trial));
  }
}

// Corners and edges a hair either side of the point and band tolerances,
// outlines of one block shared whole (the same outline, or turned back),
// and stars long enough for the index.
TEST(CKelBlockCubeCombineSameTest, ToleranceBoundariesWholeSharesAndLongOutlinesAsBefore)
{
  std::mt19937 rng(3904);
  std::uniform_real_distribution<double> unit(-1, 1);
  for (int trial = 0; trial < 200; ++trial) {
    const double off = (trial % 5 - 2) * 1.2e-5 + 1e-7 * unit(rng);
    const CKelBlockCube a = vol_test::Box(0, 0, 1, 1, 3);
    const CKelBlockCube b = vol_test::Block(
        {{1 + off, off, 3, 0}, {2, 0, 3, 0}, {2, 1, 3, 0}, {1 - off, 1 + off * (trial % 3), 3, 0}});
    ExpectSamePair(nullptr, a, b, "boundary " + std::to_string(trial));
    ExpectSamePair(nullptr, b, a, "boundary back " + std::to_string(trial));
    // A corner doubled a hair away: the clean-up takes the double out, or
    // keeps a short edge, and the merge goes on either way.
    const double hair = (trial % 4) * 0.9e-5;
    const CKelBlockCube doubled =
        vol_test::Block({{0, 0, 3, 0}, {1, 0, 3, 0}, {1, 1, 3, 0}, {hair, 1, 3, 0}, {0, 1 - hair / 2, 3, 0}});
    ExpectSamePair(nullptr, doubled, b, "doubled corner " + std::to_string(trial));
    ExpectSamePair(nullptr, b, doubled, "doubled corner back " + std::to_string(trial));

    Plan star = vol_shape::Star(rng, 16 + trial % 40);
    const CKelBlockCube s = vol_shape::BlockOver(star, {3});
    std::reverse(star.begin(), star.end());
    ExpectSamePair(nullptr, s, s, "same star " + std::to_string(trial));
    ExpectSamePair(nullptr, s, vol_shape::BlockOver(star, {3}), "turned star " + std::to_string(trial));
    // A box over one of the star's edges, its corners on the edge's line.
    const std::size_t e = static_cast<std::size_t>(trial) % star.size();
    const auto [px, py] = star[e];
    const auto [qx, qy] = star[(e + 1) % star.size()];
    const double f = 0.2 + 0.3 * (unit(rng) + 1);
    const Plan box{{qx + f * (px - qx), qy + f * (py - qy)}, {qx, qy}, {qx + (qy - py), qy - (qx - px)}};
    ExpectSamePair(nullptr, s, vol_shape::BlockOver(box, {3}), "star and triangle " + std::to_string(trial));
  }
}

// A vertex doubled a hair along one of its edges, at every corner in turn.
Plan DoubledAt(const Plan& plan, std::size_t at, double hair)
{
  Plan out = plan;
  const auto [x, y] = plan[at];
  const auto [nx, ny] = plan[(at + 1) % plan.size()];
  const double len = std::hypot(nx - x, ny - y);
  out.insert(out.begin() + static_cast<std::ptrdiff_t>(at) + 1, {x + hair * (nx - x) / len, y + hair * (ny - y) / len});
  return out;
}

// A U and a bar over its arms share two runs around a hole; a bar over one
// arm, or a block filling the U, share one. Corners doubled a hair away,
// near the tolerance, move where the clean-up joins the two runs' points.
TEST(CKelBlockCubeCombineSameTest, SecondRunsWithDoubledCornersAsBefore)
{
  const Plan u{{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}};
  const std::vector<Plan> others{{{0, 3}, {3, 3}, {3, 4}, {0, 4}},
                                 {{2, 3}, {3, 3}, {3, 4}, {2, 4}},
                                 {{1, 1}, {2, 1}, {2, 3}, {1, 3}},
                                 {{1, 2}, {2, 2}, {2, 3.5}, {1, 3.5}}};
  int trial = 0;
  for (const double hair : {0.4e-5, 1.2e-5, 1.5e-5, 2.4e-5, 2.6e-5, 6e-5}) {
    for (std::size_t at = 0; at < u.size(); ++at) {
      for (Plan other : others) {
        // Shifted a hair, so that a doubled corner may stand between
        // points the same as the other's and points not.
        for (auto& [x, y] : other)
          x += (trial % 3 - 1) * 1.5e-5;
        const CKelBlockCube a = vol_shape::BlockOver(DoubledAt(u, at, hair), {3});
        const CKelBlockCube b = vol_shape::BlockOver(DoubledAt(other, at % other.size(), hair), {3});
        const CKelBlockCube plainB = vol_shape::BlockOver(other, {3});
        const std::string what = "trial " + std::to_string(++trial);
        ExpectSamePair(nullptr, a, plainB, what);
        ExpectSamePair(nullptr, plainB, a, what + " back");
        ExpectSamePair(nullptr, vol_shape::BlockOver(u, {3}), b, what + " doubled other");
        ExpectSamePair(nullptr, a, b, what + " both doubled");
      }
    }
  }
}

TEST(CKelBlockCubeCombineSameTest, FarAndNonNumericPointsAsBefore)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  std::mt19937 rng(3905);
  for (const double bad : {nan, inf, -inf, 1e300, 1e12}) {
    for (int trial = 0; trial < 6; ++trial) {
      CKelBlockCubeArray cells = Cells(rng, 5, 0.1, 0, trial % 2 == 0 ? 0 : 1e9, 0);
      CKelBlockCube& victim = cells[static_cast<std::size_t>(trial) % cells.size()];
      victim.m_Coord[static_cast<std::size_t>(trial) % 4].m_x = bad;
      if (trial % 3 == 0)
        victim.m_Coord[0].m_y = bad;
      for (std::size_t k = 1; k < cells.size(); ++k)
        ExpectSamePair(nullptr, cells[k], cells[k - 1], "pair " + std::to_string(k));
      CKelBlockCubeArray fast = cells;
      CKelBlockCubeArray previous = cells;
      fast.CombineBlock(nullptr);
      combine_previous::Combine(previous, nullptr);
      ExpectSameLists(fast, previous, "list " + std::to_string(trial));
    }
  }
}

}  // namespace

namespace {

CKelBlockCube FlatOutline(const std::vector<std::pair<double, double>>& points)
{
  CKelBlockCube block = vol_test::Box(0, 0, 1, 1, 3);
  const CKelBlockCoord proto = block.m_Coord.front();
  block.m_Coord.clear();
  for (const auto& [x, y] : points) {
    CKelBlockCoord c = proto;
    c.m_x = x;
    c.m_y = y;
    block.m_Coord.push_back(c);
  }
  block.SetMinMax();
  return block;
}

// A spike running out to 1e26 m: its long closing edge passes far above the
// box, yet the search margin, grown with the coordinates, offered the box's
// vertices to that edge's frame, whose round-off took them in.
TEST(CKelBlockCubeCombineSameTest, AFarFlungEdgeClearOfTheOtherBlockTakesNoneOfItsVertices)
{
  const CKelBlockCube spike = FlatOutline({{1.000000000000016, 2.1748923580365984},
                                           {1.0000000000000164, 0.49999999999999956},
                                           {0.50000000000000167, 0.49999999999999978},
                                           {-6.1480518129433544e+26, 7.1683151926457181e+25}});
  const CKelBlockCube box =
      FlatOutline({{1.0000000000000075, 0.5}, {0.5, 0.5}, {0.5, 0}, {3, 0}, {3, 0.5}});
  ExpectSamePair(nullptr, spike, box, "spike and box");
  ExpectSamePair(nullptr, box, spike, "box and spike");
}

}  // namespace
