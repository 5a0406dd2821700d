// The cyclic index and the shoelace area that every outline type shares.

#include "KelOutlineIndex.h"

#include <gtest/gtest.h>

#include <vector>

#include "CKelCoord.h"

namespace {

TEST(KelOutlineIndex, IndicesWrapByWholeRoundsEitherWay)
{
  const struct {
    int i, n, wrapped;
  } rows[] = {{0, 4, 0}, {3, 4, 3}, {4, 4, 0}, {-1, 4, 3}, {-4, 4, 0}, {-5, 4, 3}, {9, 4, 1}, {-9, 4, 3}, {7, 1, 0}};
  for (const auto& r : rows)
    EXPECT_EQ(CyclicIndex(r.i, r.n), r.wrapped) << r.i << " of " << r.n;
}

TEST(KelOutlineIndex, ShoelaceAreaIsSignedByTurnAndStartsFromTheClosingEdge)
{
  const std::vector<CKelCoord2D> ccw{{0, 0}, {2, 0}, {2, 1}, {0, 1}};
  EXPECT_EQ(SignedShoelaceArea(ccw), 2.0);
  EXPECT_EQ(SignedShoelaceArea(std::vector<CKelCoord2D>(ccw.rbegin(), ccw.rend())), -2.0);
  EXPECT_EQ(SignedShoelaceArea(std::vector<CKelCoord2D>{}), 0.0);
  EXPECT_EQ(SignedShoelaceArea(std::vector<CKelCoord2D>{{1, 1}, {3, 5}}), 0.0);
  // Far from the origin the order of the sum shows in the last bits: the
  // closing edge comes first, then the edges in vertex order.
  const std::vector<CKelCoord2D> far{{1e7 + 0.1, 3e6 + 0.7}, {1e7 + 5.3, 3e6 + 0.2}, {1e7 + 2.9, 3e6 + 4.4}};
  double sum = (far[2].m_x - far[0].m_x) * (far[2].m_y + far[0].m_y);
  sum += (far[0].m_x - far[1].m_x) * (far[0].m_y + far[1].m_y);
  sum += (far[1].m_x - far[2].m_x) * (far[1].m_y + far[2].m_y);
  EXPECT_EQ(SignedShoelaceArea(far), 0.5 * sum);
  // A projection reaches positions held inside other records.
  struct Held {
    CKelCoord2D pos;
  };
  const std::vector<Held> held{{{0, 0}}, {{2, 0}}, {{2, 1}}, {{0, 1}}};
  EXPECT_EQ(SignedShoelaceArea(held, [](const Held& h) -> const CKelCoord2D& { return h.pos; }), 2.0);
}

}  // namespace
