// The piece search with chains cut in place against the same search copying
// every chain: the same pieces, flags and answers, on outlines in a line's
// frame that the line crosses many times, through vertices, along edges and
// at equal positions, including outlines that cross themselves.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "KelBlockCutSearch.h"

namespace {

struct FramePoint {
  double m_x = 0;
  double m_y = 0;
};

using Frame = std::vector<FramePoint>;
using Pieces = std::vector<std::pair<KelPieceSearch::IndexChain, bool>>;

struct Outcome {
  bool answer = false;
  bool done = false;
  Pieces pieces;
};

// refuseEvery > 0: emit refuses every so many pieces, as a broken piece does.
Outcome SearchOf(const Frame& frame, CKelBlockCube::ChainArea chains, std::size_t longFrom, int refuseEvery)
{
  Outcome out;
  KelPieceSearch::IndexChain whole(frame.size());
  for (std::size_t i = 0; i < whole.size(); ++i)
    whole[i] = static_cast<int>(i);
  auto emit = [&](KelPieceSearch::IndexChain&& chain, bool eraseSame) {
    out.pieces.emplace_back(std::move(chain), eraseSame);
    return refuseEvery == 0 || out.pieces.size() % static_cast<std::size_t>(refuseEvery) != 0;
  };
  out.answer = KelPieceSearch::Search(frame, whole, nullptr, emit, &out.done, chains, longFrom);
  return out;
}

// The outline as the division hands it to the search: a vertex inserted
// where an edge crosses the line from side to side.
Frame WithCrossings(const Frame& ring)
{
  Frame out;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const FramePoint& a = ring[i];
    const FramePoint& b = ring[i + 1 == ring.size() ? 0 : i + 1];
    out.push_back(a);
    if (a.m_y != 0.0 && b.m_y != 0.0 && (a.m_y > 0) != (b.m_y > 0))
      out.push_back({a.m_x + (0 - a.m_y) * (b.m_x - a.m_x) / (b.m_y - a.m_y), 0.0});
  }
  return out;
}

// Combs whose teeth the line crosses (some gap floors on the line, some
// teeth ending on it), zigzags with on-line vertices and equal positions,
// and random polygons, which mostly cross themselves.
Frame RandomFrame(std::mt19937_64& rng, int kind, int n)
{
  const auto pick = [&](int m) { return static_cast<int>(rng() % static_cast<std::uint64_t>(m)); };
  Frame frame;
  if (kind == 0) {
    const int teeth = std::max(1, n / 4);
    frame.push_back({0, -6});
    frame.push_back({2.0 * teeth - 1, -6});
    for (int t = teeth - 1; t >= 0; --t) {
      const double top = pick(6) == 0 ? 0.0 : 5.0;
      frame.push_back({2.0 * t + 1, top});
      frame.push_back({2.0 * t, top});
      if (t > 0) {
        const double floor = pick(3) == 0 ? 0.0 : -5.0;
        frame.push_back({2.0 * t, floor});
        frame.push_back({2.0 * t - 1, floor});
      }
    }
    return WithCrossings(frame);
  }
  for (int i = 0; i < n; ++i) {
    if (kind == 1)
      frame.push_back({i + 0.5 * pick(3), ((i / 2) % 2 != 0 ? 3.0 : -3.0) + pick(3) - 1});
    else
      frame.push_back({pick(40) * 0.5, pick(7) - 3.0});
  }
  return WithCrossings(frame);
}

TEST(KelPieceSearch, ChainsCutInPlaceGiveTheCopyingSearchsPieces)
{
  std::mt19937_64 rng(39);
  int compared = 0;
  int withPieces = 0;
  for (int trial = 0; trial < 300; ++trial) {
    const int kind = trial % 3;
    const int n = 8 + static_cast<int>(rng() % (trial % 5 == 0 ? 900 : 120));
    const Frame frame = RandomFrame(rng, kind, n);
    for (const auto chains : {CKelBlockCube::ChainArea::kModel, CKelBlockCube::ChainArea::kKeepSlivers}) {
      for (const int refuseEvery : {0, 7}) {
        const Outcome copying = SearchOf(frame, chains, std::numeric_limits<std::size_t>::max(), refuseEvery);
        const Outcome inPlace = SearchOf(frame, chains, 4, refuseEvery);
        ASSERT_EQ(copying.answer, inPlace.answer) << "trial " << trial;
        ASSERT_EQ(copying.done, inPlace.done) << "trial " << trial;
        ASSERT_EQ(copying.pieces, inPlace.pieces) << "trial " << trial;
        ++compared;
        withPieces += copying.answer && copying.pieces.size() > 2 ? 1 : 0;
      }
    }
  }
  EXPECT_EQ(compared, 1200);
  EXPECT_GT(withPieces, 100);
}

}  // namespace
