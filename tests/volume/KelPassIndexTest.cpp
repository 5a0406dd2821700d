// The index of the pass test: an operand it leaves out for a box passes
// every block inside the box, by the plain test, including blocks whose
// vertices lie at the edge of the on-line band of an operand's line.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "KelGeometry.h"
#include "KelPassIndex.h"
#include "KelTolerance.h"

namespace {

using Points = std::vector<CKelCoord2D>;

// The plain test's sides of points by one line: 1 left, 2 right, 0 mixed
// or within the band.
int SidesOf(const KelPassIndex::Line& line, const Points& points)
{
  int sides = 0;
  for (const CKelCoord2D& v : points) {
    const double h = line.c * (v.m_y - line.p.m_y) - line.s * (v.m_x - line.p.m_x);
    if (h >= KelTol::BlockPoint)
      sides |= 1;
    else if (h <= -KelTol::BlockPoint)
      sides |= 2;
    else
      return 0;
  }
  return sides == 1 || sides == 2 ? sides : 0;
}

bool Passes(const Points& block, const KelPassIndex::Operand& operand)
{
  for (const std::vector<KelPassIndex::Line>& piece : operand.pieces) {
    bool out = false;
    for (const KelPassIndex::Line& line : piece) {
      const int side = SidesOf(line, block);
      if (side == 2) {
        out = true;
        break;
      }
      if (side != 1)
        return false;
    }
    if (!out)
      return false;
  }
  return true;
}

// A convex quadrilateral turned by one of a few angles, as one piece.
KelPassIndex::Operand QuadOf(const Points& corners)
{
  KelPassIndex::Operand operand;
  operand.usable = true;
  operand.vertices = corners;
  std::vector<KelPassIndex::Line>& lines = operand.pieces.emplace_back();
  for (std::size_t k = 0; k < corners.size(); ++k) {
    const CKelCoord2D& a = corners[(k + corners.size() - 1) % corners.size()];
    const CKelCoord2D& b = corners[k];
    KelPassIndex::Line line;
    double len = 0;
    CalcCosSin(a, b, &line.c, &line.s, &len);
    line.p = a;
    lines.push_back(line);
  }
  return operand;
}

TEST(KelPassIndexTest, OperandsLeftOutPassEveryBlockInTheBoxEvenAtTheBandsEdge)
{
  std::mt19937 rng(4101);
  const double band = KelTol::BlockPoint;
  // Offsets of a block's vertex from an operand's edge line: the band's
  // edge and the smallest steps either side of it, and well clear.
  const std::vector<double> offsets = {band, -band, std::nextafter(band, 0.0), std::nextafter(band, 1.0),
                                       -std::nextafter(band, 0.0), 2 * band, 0.0, 0.7, -1.3};
  std::uniform_int_distribution<std::size_t> offsetOf(0, offsets.size() - 1);
  std::uniform_int_distribution<int> turnOf(0, 3);
  std::uniform_real_distribution<double> at(-40, 40);
  int leftOut = 0;
  for (int trial = 0; trial < 60; ++trial) {
    const double turn = 0.3 * turnOf(rng);
    const double c = std::cos(turn);
    const double s = std::sin(turn);
    const auto place = [&](double u, double v) { return CKelCoord2D(u * c - v * s + 1000, u * s + v * c - 500); };
    const Points block = {place(0, 0), place(3, 0), place(3, 1.5), place(1.5, 1.5), place(1.5, 3), place(0, 3)};
    std::vector<KelPassIndex::Operand> operands;
    for (int n = 0; n < 30; ++n) {
      // Edge lines through a block vertex's u or v at a chosen offset, or
      // anywhere; some operands over the block itself.
      const double d = offsets[offsetOf(rng)];
      const double u0 = n % 3 == 0 ? 1.5 + d : at(rng);
      const double v0 = n % 3 == 1 ? 3 + d : at(rng);
      const double w = 1 + n % 4;
      operands.push_back(QuadOf({place(u0, v0), place(u0 + w, v0), place(u0 + w, v0 + 2), place(u0, v0 + 2)}));
    }
    operands.emplace_back();  // not usable: never left out
    const KelPassIndex index(operands);
    std::vector<std::size_t> candidates;
    ASSERT_TRUE(index.Candidates(KelPassIndex::ExtentsOf(block), 0, candidates));
    for (std::size_t i = 0; i < operands.size(); ++i) {
      if (std::binary_search(candidates.begin(), candidates.end(), i))
        continue;
      ++leftOut;
      EXPECT_TRUE(Passes(block, operands[i])) << "trial " << trial << " operand " << i;
    }
    EXPECT_TRUE(std::binary_search(candidates.begin(), candidates.end(), operands.size() - 1));
  }
  EXPECT_GT(leftOut, 400);  // the index does leave most operands out
}

TEST(KelPassIndexTest, CandidatesStartAtTheOperandAskedForAndABoxOfNoNumbersIsRefused)
{
  std::vector<KelPassIndex::Operand> operands(4);  // none usable
  const KelPassIndex index(operands);
  std::vector<std::size_t> candidates;
  ASSERT_TRUE(index.Candidates({0, 1, 0, 1}, 2, candidates));
  EXPECT_EQ(candidates, (std::vector<std::size_t>{2, 3}));
  EXPECT_FALSE(index.Candidates({0, NAN, 0, 1}, 0, candidates));
}

}  // namespace
