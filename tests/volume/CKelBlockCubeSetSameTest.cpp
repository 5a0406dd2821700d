// The set operations, the list combination, the crossing test and the
// insertion of shared vertices against their first forms (SetLiteral.h): the
// same block lists, vertex for vertex and bit for bit, in the same order, on
// grids of L-shapes and boxes (aligned, so that edges' lines run through far
// blocks, and jittered), shuffled grids of cells, and random outlines.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <tuple>
#include <utility>

#include "CKelAreaCoord3D.h"
#include "CKelBlockCubeArray.h"
#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelTolerance.h"
#include "SetLiteral.h"
#include "VolumeShapeSupport.h"
#include "VolumeTestSupport.h"

namespace {

using vol_shape::Plan;

CKelBlockCube BlockOf(const Plan& plan, double height)
{
  return vol_shape::BlockOver(plan, {height});
}

bool SameBits(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

void ExpectSameBlocks(const CKelBlockCubeArray& got, const CKelBlockCubeArray& expected, const char* what)
{
  ASSERT_EQ(got.size(), expected.size()) << what;
  for (std::size_t k = 0; k < got.size(); ++k) {
    const CKelBlockCoordArray& a = got[k].m_Coord;
    const CKelBlockCoordArray& b = expected[k].m_Coord;
    ASSERT_EQ(a.size(), b.size()) << what << " block " << k;
    for (std::size_t i = 0; i < a.size(); ++i) {
      EXPECT_TRUE(a[i].m_x == b[i].m_x && a[i].m_y == b[i].m_y && a[i].m_z == b[i].m_z && a[i].m_zL == b[i].m_zL)
          << what << " block " << k << " vertex " << i;
    }
    EXPECT_EQ(got[k].Menseki(), expected[k].Menseki()) << what << " block " << k;
    EXPECT_EQ(got[k].IsTopSlope(), expected[k].IsTopSlope()) << what << " block " << k;
    EXPECT_EQ(got[k].IsBotSlope(), expected[k].IsBotSlope()) << what << " block " << k;
    EXPECT_TRUE(got[k].XMin() == expected[k].XMin() && got[k].XMax() == expected[k].XMax() &&
                got[k].YMin() == expected[k].YMin() && got[k].YMax() == expected[k].YMax())
        << what << " block " << k;
    // The planes that the next combination tests blocks against.
    for (const bool bottom : {false, true}) {
      const CKelBlockCube& g = got[k];
      const CKelBlockCube& e = expected[k];
      EXPECT_TRUE(SameBits(g.PlaneA(bottom), e.PlaneA(bottom)) && SameBits(g.PlaneB(bottom), e.PlaneB(bottom)) &&
                  SameBits(g.PlaneC(bottom), e.PlaneC(bottom)) && SameBits(g.PlaneD(bottom), e.PlaneD(bottom)))
          << what << " block " << k << (bottom ? " bottom" : " top") << " plane";
    }
  }
}

// The difference of blocks and operands, block for block, and the union
// of operands and blocks, against the first forms.
void ExpectFirstFormsDifferenceAndUnion(const CKelBlockCubeArray& blocks, const CKelBlockCubeArray& operands,
                                        int trial)
{
  const CKelBlockCubeArray difference = blocks.SubBlock(nullptr, operands);
  const CKelBlockCubeArray expected = set_literal::Sub(blocks, nullptr, operands);
  ExpectSameBlocks(difference, expected, "difference");
  ASSERT_EQ(difference.size(), expected.size());
  for (std::size_t k = 0; k < difference.size(); ++k)
    EXPECT_TRUE(difference[k] == expected[k]) << "trial " << trial << " block " << k;
  ExpectSameBlocks(operands.AddBlock(nullptr, blocks), set_literal::Add(operands, nullptr, blocks), "union");
}

// k x k L-shapes at a 4 m pitch and boxes overlapping two of them each;
// jitter moves every shape off the common lines.
void Grids(std::mt19937& rng, int k, double jitter, CKelBlockCubeArray& ells, CKelBlockCubeArray& boxes)
{
  std::uniform_real_distribution<double> shift(-jitter, jitter);
  std::uniform_int_distribution<int> height(0, 2);
  for (int j = 0; j < k; ++j) {
    for (int i = 0; i < k; ++i) {
      const double x = 4.0 * i + shift(rng);
      const double y = 4.0 * j + shift(rng);
      ells.AddBlock(BlockOf({{x, y}, {x + 3, y}, {x + 3, y + 1.5}, {x + 1.5, y + 1.5}, {x + 1.5, y + 3}, {x, y + 3}},
                            3 + height(rng)));
      const double bx = x + 2 + shift(rng);
      const double by = y + 1 + shift(rng);
      boxes.AddBlock(BlockOf({{bx, by}, {bx + 3, by}, {bx + 3, by + 2.5}, {bx, by + 2.5}}, 3 + height(rng)));
    }
  }
}

TEST(CKelBlockCubeSetSameTest, UnionDifferenceAndIntersectionOfGridsGiveTheFirstFormsLists)
{
  std::mt19937 rng(391);
  for (const double jitter : {0.0, 0.3}) {
    for (const int k : {2, 3, 5}) {
      CKelBlockCubeArray ells;
      CKelBlockCubeArray boxes;
      Grids(rng, k, jitter, ells, boxes);
      ExpectSameBlocks(ells.AddBlock(nullptr, boxes), set_literal::Add(ells, nullptr, boxes), "union");
      ExpectSameBlocks(ells.SubBlock(nullptr, boxes), set_literal::Sub(ells, nullptr, boxes), "difference");
      ExpectSameBlocks(ells.AndBlock(nullptr, boxes), set_literal::And(ells, nullptr, boxes), "intersection");
      ExpectSameBlocks(boxes.SubBlock(nullptr, ells), set_literal::Sub(boxes, nullptr, ells), "difference back");
    }
  }
}

TEST(CKelBlockCubeSetSameTest, RandomOutlinesGiveTheFirstFormsLists)
{
  std::mt19937 rng(392);
  std::uniform_real_distribution<double> at(-6, 6);
  std::uniform_real_distribution<double> size(0.5, 4);
  for (int trial = 0; trial < 12; ++trial) {
    CKelBlockCubeArray a;
    CKelBlockCubeArray b;
    for (int n = 0; n < 6; ++n) {
      const double x = at(rng);
      const double y = at(rng);
      a.AddBlock(BlockOf({{x, y}, {x + size(rng), y}, {x + size(rng), y + size(rng)}, {x, y + size(rng)}}, 3));
      Plan star = vol_shape::Star(rng, 5 + n);
      for (auto& [px, py] : star) {
        px = px * 0.3 + at(rng) * 0.1 + x;
        py = py * 0.3 + y;
      }
      b.AddBlock(BlockOf(star, 3));
    }
    ExpectSameBlocks(a.AddBlock(nullptr, b), set_literal::Add(a, nullptr, b), "union");
    ExpectSameBlocks(a.SubBlock(nullptr, b), set_literal::Sub(a, nullptr, b), "difference");
    ExpectSameBlocks(a.AndBlock(nullptr, b), set_literal::And(a, nullptr, b), "intersection");
  }
}

// Sloped tops, own bottoms and a floor profile, on blocks as a caller may
// hand them over: some clockwise, some without planes or slope flags. The
// set operations then normalise a block that passes an operand whole
// themselves, and divide and merge heights through the profile.
TEST(CKelBlockCubeSetSameTest, SlopedBlocksWithOwnBottomsAndAProfileGiveTheFirstFormsLists)
{
  CPrfPlanParam prf;
  prf.push_back(CPrfPlanItem{});  // profile 0: floor 0, offsets are heights
  prf.push_back(vol_test::SampleProfile());
  std::mt19937 rng(395);
  std::uniform_real_distribution<double> shift(-0.3, 0.3);
  std::uniform_int_distribution<int> kind(0, 3);
  auto raw = [&](const Plan& plan, vol_shape::Planar top, vol_shape::Planar bottom) {
    CKelBlockCube block;
    for (const auto& [x, y] : plan)
      block.Append(CKelBlockCoord(x, y, top.At(x, y), bottom.At(x, y)));
    return block;
  };
  for (const int k : {2, 4}) {
    CKelBlockCubeArray ells;
    CKelBlockCubeArray boxes;
    for (int j = 0; j < k; ++j) {
      for (int i = 0; i < k; ++i) {
        const double x = 4.0 * i + shift(rng);
        const double y = 4.0 * j + shift(rng);
        const int how = kind(rng);
        const vol_shape::Planar top{6, how == 1 ? 0.05 : 0, how == 2 ? -0.04 : 0};
        const vol_shape::Planar bottom{how == 3 ? 1.0 : 0, 0, how == 3 ? 0.02 : 0};
        Plan ell = {{x, y}, {x + 3, y}, {x + 3, y + 1.5}, {x + 1.5, y + 1.5}, {x + 1.5, y + 3}, {x, y + 3}};
        if (how == 0) {
          // Clockwise, sloped and with bottoms, but no planes and no flags.
          std::reverse(ell.begin(), ell.end());
          ells.push_back(raw(ell, {6, 0.03, 0.02}, {0.5, 0, 0.01}));
        } else {
          CKelBlockCube block = vol_shape::BlockOver(ell, top, bottom);
          block.SetPpNo(&prf, how % 2, 0);
          ells.AddBlock(block);
        }
        const double bx = x + 2 + shift(rng);
        const double by = y + 1 + shift(rng);
        CKelBlockCube box =
            vol_shape::BlockOver({{bx, by}, {bx + 3, by}, {bx + 3, by + 2.5}, {bx, by + 2.5}}, top, bottom);
        box.SetPpNo(&prf, how % 2, 0);
        boxes.AddBlock(box);
      }
    }
    // One that no line of the others reaches, so it is never divided.
    ells.push_back(raw({{-10, -9}, {-9, -9}, {-9, -10}, {-10, -10}}, {6, 0.03, 0.02}, {0.5, 0, 0.01}));
    ExpectSameBlocks(ells.SubBlock(&prf, boxes), set_literal::Sub(ells, &prf, boxes), "difference");
    ExpectSameBlocks(boxes.SubBlock(&prf, ells), set_literal::Sub(boxes, &prf, ells), "difference back");
    ExpectSameBlocks(ells.AddBlock(&prf, boxes), set_literal::Add(ells, &prf, boxes), "union");
    ExpectSameBlocks(ells.AndBlock(&prf, boxes), set_literal::And(ells, &prf, boxes), "intersection");
  }
}

// The planes the combinations compare are fitted straight from the
// outline: they are those of a face of the same points, bit for bit, for
// sloped tops and bottoms, collinear and coinciding points, and fewer than
// three points.
TEST(CKelBlockCubeSetSameTest, BlockPlanesAreThoseOfTheFaceOfTheirPoints)
{
  std::mt19937 rng(398);
  std::uniform_real_distribution<double> unit(-1, 1);
  for (int trial = 0; trial < 300; ++trial) {
    const int n = trial % 9;
    CKelBlockCube block;
    for (int k = 0; k < n; ++k) {
      const double x = trial % 4 == 1 ? k : 100 * unit(rng);  // a line when 1
      const double y = trial % 4 == 1 ? 2 * k : 100 * unit(rng);
      // Braced: the draws come in order whatever the compiler.
      block.Append(CKelBlockCoord{x, y, 7 + 0.3 * x - 0.2 * y + 1e-9 * unit(rng), trial % 4 == 2 ? 0 : unit(rng)});
    }
    for (const bool bottom : {false, true}) {
      CKelAreaCoord3D face;
      for (const CKelBlockCoord& c : block.m_Coord)
        face.Append(CKelCoord3D(c.m_x, c.m_y, c.GetZ(bottom)));
      const bool faceFitted = face.CalcPlaneEquation();
      EXPECT_EQ(block.GetPlaneEquation(bottom), faceFitted) << trial;
      EXPECT_TRUE(SameBits(block.PlaneA(bottom), face.m_A) && SameBits(block.PlaneB(bottom), face.m_B) &&
                  SameBits(block.PlaneC(bottom), face.m_C) && SameBits(block.PlaneD(bottom), face.m_D))
          << trial << (bottom ? " bottom" : " top");
    }
  }
}

TEST(CKelBlockCubeSetSameTest, ShuffledCellsCombineInTheSameOrder)
{
  std::mt19937 rng(393);
  for (const int k : {3, 6, 12}) {
    CKelBlockCubeArray cells;
    std::vector<CKelBlockCube> list;
    std::uniform_int_distribution<int> height(0, 1);
    for (int y = 0; y < k; ++y)
      for (int x = 0; x < k; ++x)
        list.push_back(BlockOf({{1.0 * x, 1.0 * y}, {x + 1.0, 1.0 * y}, {x + 1.0, y + 1.0}, {1.0 * x, y + 1.0}},
                               3 + (k == 6 ? height(rng) : 0)));
    std::shuffle(list.begin(), list.end(), rng);
    for (const CKelBlockCube& c : list)
      cells.AddBlock(c);
    CKelBlockCubeArray fast = cells;
    fast.CombineBlock(nullptr);
    CKelBlockCubeArray first = cells;
    set_literal::Combine(first, nullptr);
    ExpectSameBlocks(fast, first, "combination");
  }
}

// An edge nearly in line with a long edge, wholly beyond its end, whose
// line meets the long edge inside its span: the crossing test counts it.
TEST(CKelBlockCubeSetSameTest, ANearlyCollinearEdgeBeyondALongEdgeStillCountsAsCrossing)
{
  CKelBlockCube block;
  block.Append(CKelBlockCoord(0, 0, 3, 0));
  block.Append(CKelBlockCoord(10, 0, 3, 0));
  for (int i = 0; i <= 14; ++i)
    block.Append(CKelBlockCoord(10 - i, 5 + 0.1 * std::sin(i), 3, 0));
  block.Append(CKelBlockCoord(-4, 5e-5, 3, 0));
  block.Append(CKelBlockCoord(-1, 2e-5, 3, 0));
  ASSERT_GE(block.GetSize(), 16);
  EXPECT_FALSE(set_literal::CheckCross(block));
  EXPECT_FALSE(block.CheckCross());
}

// The removal of on-line vertices as first written: erased one at a time,
// each test against the outline as it then stands.
bool DeleteOnLineFirstForm(CKelBlockCube& block)
{
  bool removed = false;
  int i = 0;
  while (i < block.GetSize()) {
    const CKelCoord2D& a = block.m_Coord[static_cast<std::size_t>(block.PrevPos(i))];
    const CKelCoord2D& b = block.m_Coord[static_cast<std::size_t>(block.NextPos(i))];
    const CKelCoord2D& p = block.m_Coord[static_cast<std::size_t>(i)];
    if (length_2point(a, b) < KelTol::Collinear || std::fabs(KelEdge::Measure(a, b, p).h) < KelTol::Collinear) {
      block.Erase(i);
      removed = true;
    } else {
      ++i;
    }
  }
  return removed;
}

// Outlines of 1 to 12 vertices with runs along a line, points in the band
// of the line, spikes and repeated vertices, at the start, in the middle and
// across the closing edge: the same vertices go, the same remain.
TEST(CKelBlockCubeSetSameTest, OnLineVerticesGoAsInTheFirstForm)
{
  std::mt19937 rng(397);
  std::uniform_real_distribution<double> unit(-1, 1);
  std::uniform_int_distribution<int> pick(0, 5);
  int removals = 0;
  for (int trial = 0; trial < 2000; ++trial) {
    const int n = 1 + trial % 12;
    CKelBlockCube block;
    double x = 10 * unit(rng);
    double y = 10 * unit(rng);
    for (int k = 0; k < n; ++k) {
      switch (pick(rng)) {
      case 0:  // on with the last step, within the band or not
        x += 1.0;
        y += KelTol::Collinear * 2 * unit(rng);
        break;
      case 1:  // back onto the previous point
        break;
      case 2:
        x -= 2.0;
        break;
      default:
        x += 3 * unit(rng);
        y += 3 * unit(rng);
        break;
      }
      block.Append(CKelBlockCoord(x, y, 3 + k, 0));
    }
    CKelBlockCube first = block;
    const bool removed = block.DeleteOnLine();
    EXPECT_EQ(removed, DeleteOnLineFirstForm(first)) << trial;
    ASSERT_EQ(block.m_Coord.size(), first.m_Coord.size()) << trial;
    for (std::size_t i = 0; i < first.m_Coord.size(); ++i)
      EXPECT_TRUE(block.m_Coord[i].m_x == first.m_Coord[i].m_x && block.m_Coord[i].m_y == first.m_Coord[i].m_y &&
                  block.m_Coord[i].m_z == first.m_Coord[i].m_z)
          << trial;
    removals += removed ? 1 : 0;
  }
  EXPECT_GT(removals, 600);
  EXPECT_LT(removals, 1900);
}

// Vertices at the edge of the band, the smallest steps either side of it,
// between neighbours about the band apart or far apart, on turned lines
// far from the origin: the quick test of a vertex that surely stays keeps
// only what the full test keeps.
TEST(CKelBlockCubeSetSameTest, OnLineVerticesAtTheBandsEdgeGoAsInTheFirstForm)
{
  std::mt19937 rng(399);
  std::uniform_real_distribution<double> angleOf(0, 6.2831853);
  const double band = KelTol::Collinear;
  const std::vector<double> spans = {1.4 * band, 2 * band, 2.0001 * band, 3 * band, 0.5, 40.0};
  const std::vector<double> offsets = {band, std::nextafter(band, 0.0), std::nextafter(band, 1.0), band * (1 + 1e-12),
                                       band * (1 - 1e-12), band * (1 + 1e-9), 1.5 * band, 3 * band};
  int removals = 0;
  int kept = 0;
  for (int trial = 0; trial < 400; ++trial) {
    const double turn = trial % 4 == 0 ? 0.0 : angleOf(rng);
    const double origin = trial % 2 == 0 ? 0.0 : 12345.678;
    const double c = std::cos(turn);
    const double s = std::sin(turn);
    for (const double span : spans) {
      for (const double off : offsets) {
        const double along = span * (trial % 3) / 2;  // at a, halfway, at b
        const auto place = [&](double u, double v) {
          return CKelBlockCoord(origin + u * c - v * s, origin + u * s + v * c, 3, 0);
        };
        CKelBlockCube block;
        block.Append(place(0, 0));
        block.Append(place(along, trial % 5 == 0 ? -off : off));
        block.Append(place(span, 0));
        block.Append(place(span / 2, -30 * span));
        CKelBlockCube first = block;
        const bool removed = block.DeleteOnLine();
        ASSERT_EQ(removed, DeleteOnLineFirstForm(first)) << trial << " " << span << " " << off;
        ASSERT_EQ(block.m_Coord.size(), first.m_Coord.size()) << trial;
        for (std::size_t i = 0; i < first.m_Coord.size(); ++i)
          EXPECT_TRUE(block.m_Coord[i].m_x == first.m_Coord[i].m_x && block.m_Coord[i].m_y == first.m_Coord[i].m_y)
              << trial;
        (removed ? removals : kept) += 1;
      }
    }
  }
  EXPECT_GT(removals, 2000);
  EXPECT_GT(kept, 2000);
}

// Short outlines take the same sweep as long ones: stars of 3 to 15
// vertices, some with a vertex pulled across, a spike folded back along an
// edge, a repeated vertex or a vertex within the tolerance of an edge.
TEST(CKelBlockCubeSetSameTest, CrossingTestOfShortOutlinesAgreesWithTheFirstForm)
{
  std::mt19937 rng(396);
  std::uniform_real_distribution<double> unit(-1, 1);
  int crossed = 0;
  for (int trial = 0; trial < 600; ++trial) {
    const int n = 3 + trial % 13;
    Plan plan = vol_shape::Star(rng, n);
    const std::size_t at = static_cast<std::size_t>(trial / 13) % plan.size();
    const std::size_t next = (at + 1) % plan.size();
    switch (trial % 5) {
    case 1:
      plan[at] = {12 * unit(rng), 12 * unit(rng)};
      break;
    case 2:  // back along the edge to the previous vertex
      plan.insert(plan.begin() + static_cast<std::ptrdiff_t>(next),
                  {plan[at].first + 0.5 * (plan[next].first - plan[at].first),
                   plan[at].second + 0.5 * (plan[next].second - plan[at].second)});
      plan.insert(plan.begin() + static_cast<std::ptrdiff_t>(next) + 1, plan[at]);
      break;
    case 3:
      plan.insert(plan.begin() + static_cast<std::ptrdiff_t>(at), plan[at]);
      break;
    case 4: {  // a vertex of the next edge within the band of this one
      const auto [x0, y0] = plan[at];
      const auto [x1, y1] = plan[next];
      plan.insert(plan.begin() + static_cast<std::ptrdiff_t>(next),
                  {x0 + 0.5 * (x1 - x0) + 2e-5 * unit(rng), y0 + 0.5 * (y1 - y0) + 2e-5 * unit(rng)});
      break;
    }
    default:
      break;
    }
    CKelBlockCube block;
    for (const auto& [x, y] : plan)
      block.Append(CKelBlockCoord(x, y, 3, 0));
    EXPECT_EQ(block.CheckCross(), set_literal::CheckCross(block)) << trial;
    crossed += set_literal::CheckCross(block) ? 0 : 1;
  }
  EXPECT_GT(crossed, 120);
  EXPECT_LT(crossed, 480);

  // The short form of the nearly collinear edge beyond a long edge.
  CKelBlockCube notch;
  for (const auto& [x, y] : Plan{{0, 0}, {10, 0}, {10, 5}, {-5, 5}, {-4, 5e-5}, {-1, 2e-5}})
    notch.Append(CKelBlockCoord(x, y, 3, 0));
  EXPECT_FALSE(set_literal::CheckCross(notch));
  EXPECT_FALSE(notch.CheckCross());
}

TEST(CKelBlockCubeSetSameTest, CrossingTestAndSharedVerticesAgreeWithTheFirstForms)
{
  std::mt19937 rng(394);
  std::uniform_real_distribution<double> unit(-1, 1);
  int crossed = 0;
  int inserted = 0;
  for (int trial = 0; trial < 300; ++trial) {
    const int n = 16 + trial % 60;
    Plan plan = vol_shape::Star(rng, n);
    // Some outlines get a vertex pulled across, some a near-collinear run.
    if (trial % 3 == 0)
      plan[static_cast<std::size_t>(trial) % plan.size()] = {12 * unit(rng), 12 * unit(rng)};
    if (trial % 5 == 0) {
      const auto [x0, y0] = plan[0];
      plan[1] = {x0 + 3, y0 + 1e-5 * unit(rng)};
      plan[2] = {x0 + 7, y0 + 2e-5 * unit(rng)};
    }
    CKelBlockCube block;
    for (const auto& [x, y] : plan)
      block.Append(CKelBlockCoord(x, y, 3, 0));
    EXPECT_EQ(block.CheckCross(), set_literal::CheckCross(block)) << trial;
    crossed += set_literal::CheckCross(block) ? 0 : 1;

    // Y's vertices stand at points along X's edges, some within the band.
    CKelBlockCube x = vol_shape::BlockOver(plan, {3});
    CKelBlockCube y;
    for (int e = 0; e < x.GetSize(); e += 2) {
      const CKelBlockCoord& a = x.m_Coord[static_cast<std::size_t>(e)];
      const CKelBlockCoord& b = x.m_Coord[static_cast<std::size_t>(x.NextPos(e))];
      const double f = 0.5 + 0.49 * unit(rng);
      y.Append(CKelBlockCoord(a.m_x + f * (b.m_x - a.m_x) + 3e-5 * unit(rng), a.m_y + f * (b.m_y - a.m_y), 3, 0));
    }
    CKelBlockCube fast = x;
    CKelBlockCube first = x;
    CKelBlockCubeArray::CombineBlockSub(nullptr, fast, y);
    set_literal::CombineBlockSub(nullptr, first, y);
    ASSERT_EQ(fast.m_Coord.size(), first.m_Coord.size()) << trial;
    for (std::size_t i = 0; i < fast.m_Coord.size(); ++i)
      EXPECT_TRUE(fast.m_Coord[i].m_x == first.m_Coord[i].m_x && fast.m_Coord[i].m_y == first.m_Coord[i].m_y) << trial;
    inserted += static_cast<int>(first.m_Coord.size() - x.m_Coord.size());
  }
  EXPECT_GT(inserted, 1000);
  EXPECT_GT(crossed, 50);
  EXPECT_LT(crossed, 290);
}

}  // namespace

// Operands far from a block whose edge lines run through it, touch it or
// pass it within the on-line band, and operands within the band of its
// extents: the difference and the union still give the first forms' lists,
// down to the floors, offsets and walls of every vertex. Each block meets
// many such operands in turn, so that what one leaves is what the next one
// meets.
TEST(CKelBlockCubeSetSameTest, FarOperandsWhoseLinesRunThroughABlockGiveTheFirstFormsLists)
{
  CPrfPlanParam prf;
  prf.push_back(CPrfPlanItem{});
  prf.push_back(vol_test::SampleProfile());
  std::mt19937 rng(397);
  const double band = KelTol::BlockPoint;
  // Offsets of an operand's edge line from a vertex of the block: on it,
  // inside the band, at its edge, past it, about four bands (the clearance
  // of a direct cut) and well clear.
  const std::vector<double> offsets = {0,         0.3 * band,  -0.3 * band, band,        -band,
                                       2 * band,  3.99 * band, 4 * band,    4.01 * band, -4.01 * band,
                                       0.37,      -0.61,       1.2};
  std::uniform_int_distribution<std::size_t> offsetOf(0, offsets.size() - 1);
  std::uniform_real_distribution<double> angleOf(0, 3.14159);
  std::uniform_int_distribution<int> kindOf(0, 5);
  for (int trial = 0; trial < 24; ++trial) {
    // Trials alternate between axes the operands share with the block and
    // turned ones.
    const double turn = trial % 3 == 0 ? 0.0 : angleOf(rng);
    const double c = std::cos(turn);
    const double s = std::sin(turn);
    const auto place = [&](double x, double y) { return std::pair<double, double>{x * c - y * s, x * s + y * c}; };
    const int kind = kindOf(rng);
    Plan shape = kind % 2 == 0 ? Plan{{0, 0}, {3, 0}, {3, 1.5}, {1.5, 1.5}, {1.5, 3}, {0, 3}}
                               : Plan{{0, 0}, {2.5, 0}, {2.5, 1}, {2.5, 2}, {0, 2}};  // one vertex on an edge
    for (auto& p : shape)
      p = place(p.first, p.second);
    if (kind == 2)
      std::reverse(shape.begin(), shape.end());
    const vol_shape::Planar top{6, kind == 3 ? 0.05 : 0, 0};
    const vol_shape::Planar bottom{kind == 4 ? 1.0 : 0, 0, 0};
    CKelBlockCubeArray blocks;
    CKelBlockCube block = BlockOf(shape, 6);
    if (kind >= 3)
      block = vol_shape::BlockOver(shape, top, bottom);
    block.SetPpNo(&prf, kind == 5 ? 1 : 0, 0);
    blocks.push_back(block);
    // Operands: boxes and L-shapes ten metres and more away, each with an
    // edge line at a chosen offset from a chosen vertex of the block.
    CKelBlockCubeArray operands;
    for (int n = 0; n < 14; ++n) {
      const auto& [vx, vy] = shape[static_cast<std::size_t>(n) % shape.size()];
      const double u = vx * c + vy * s;   // the vertex in the turned axes
      const double v = -vx * s + vy * c;
      const double d = offsets[offsetOf(rng)];
      const double far = 10 + 4 * n;
      Plan plan;
      if (n % 2 == 0) {  // bottom edge on v + d, far along u
        const double x = u + far * (n % 4 == 0 ? 1 : -1);
        plan = {{x, v + d}, {x + 2, v + d}, {x + 2, v + d + 1.5}, {x, v + d + 1.5}};
      } else {  // left edge on u + d, far along v; an L with two convex pieces
        const double y = v + far * (n % 4 == 1 ? 1 : -1);
        plan = {{u + d, y}, {u + d + 3, y}, {u + d + 3, y + 1}, {u + d + 1, y + 1}, {u + d + 1, y + 3}, {u + d, y + 3}};
      }
      for (auto& p : plan)
        p = place(p.first, p.second);
      CKelBlockCube operand = BlockOf(plan, 6);
      operand.SetPpNo(&prf, kind == 5 ? 1 : 0, 0);
      operands.AddBlock(operand);
    }
    const CKelBlockCubeArray difference = blocks.SubBlock(&prf, operands);
    const CKelBlockCubeArray expected = set_literal::Sub(blocks, &prf, operands);
    ExpectSameBlocks(difference, expected, "difference");
    ASSERT_EQ(difference.size(), expected.size());
    for (std::size_t k = 0; k < difference.size(); ++k)
      EXPECT_TRUE(difference[k] == expected[k]) << "trial " << trial << " block " << k;
    ExpectSameBlocks(operands.AddBlock(&prf, blocks), set_literal::Add(operands, &prf, blocks), "union");
  }
}

// Outlines that the lines of far operands run through at more than two
// places, or along several edges at once (stars, combs, skylines), turned
// or not, with operands whose edges run along the lines of the block's own
// edges and vertices: the lists are the first forms'.
TEST(CKelBlockCubeSetSameTest, FarOperandsOverStarsCombsAndSkylinesGiveTheFirstFormsLists)
{
  std::mt19937 rng(398);
  std::uniform_real_distribution<double> angleOf(0, 3.14159);
  std::uniform_int_distribution<int> pick(0, 1000);
  for (int trial = 0; trial < 18; ++trial) {
    Plan plan = trial % 3 == 0 ? vol_shape::Star(rng, 7 + trial % 5)
                : trial % 3 == 1 ? vol_shape::Comb(2 + trial % 3)
                                 : vol_shape::OrthoSkyline(rng, 5);
    const double turn = trial % 2 == 0 ? 0.0 : angleOf(rng);
    const double c = std::cos(turn);
    const double s = std::sin(turn);
    for (auto& [x, y] : plan)
      std::tie(x, y) = std::pair<double, double>{x * c - y * s, x * s + y * c};
    CKelBlockCubeArray blocks;
    blocks.AddBlock(trial % 4 == 3 ? vol_shape::BlockOver(plan, {6, 0.01, 0}) : BlockOf(plan, 6));
    // Boxes 30 m and more away along the turned axes whose edges lie on the
    // lines of the block's vertices.
    CKelBlockCubeArray operands;
    for (int n = 0; n < 12; ++n) {
      const auto& [vx, vy] = plan[static_cast<std::size_t>(pick(rng)) % plan.size()];
      const double u = vx * c + vy * s;
      const double v = -vx * s + vy * c;
      const double far = 30 + 3 * n;
      Plan box = n % 2 == 0 ? Plan{{u + far, v}, {u + far + 2, v}, {u + far + 2, v + 1}, {u + far, v + 1}}
                            : Plan{{u, v - far - 1}, {u + 1.5, v - far - 1}, {u + 1.5, v - far}, {u, v - far}};
      for (auto& [x, y] : box)
        std::tie(x, y) = std::pair<double, double>{x * c - y * s, x * s + y * c};
      operands.AddBlock(BlockOf(box, 6));
    }
    ExpectFirstFormsDifferenceAndUnion(blocks, operands, trial);
  }
}

namespace {

// Rows of far boxes whose bottom edges run along one line through an
// L-shape, at exact coordinates or nudged by a few ulps or by a share of
// the band, and columns alternating with them.
TEST(CKelBlockCubeSetSameTest, FarOperandsAlongOneLineGiveTheFirstFormsListsWhetherOrNotTheirCutsRepeat)
{
  std::mt19937 rng(401);
  std::uniform_int_distribution<int> nudgeOf(0, 3);
  for (int trial = 0; trial < 12; ++trial) {
    const double x = trial % 2 == 0 ? 0.0 : 100.3;
    const double y = trial % 3 == 0 ? 0.0 : -52.7;
    CKelBlockCubeArray blocks;
    blocks.AddBlock(BlockOf({{x, y}, {x + 3, y}, {x + 3, y + 1.5}, {x + 1.5, y + 1.5}, {x + 1.5, y + 3}, {x, y + 3}}, 4));
    CKelBlockCubeArray operands;
    for (int n = 0; n < 16; ++n) {
      const int nudge = nudgeOf(rng);
      const double line = nudge == 0 ? y + 1 : nudge == 1 ? std::nextafter(y + 1, 9.0) : y + 1 + 0.3 * KelTol::BlockPoint;
      const double far = 10 + 4 * n;
      if (n % 3 == 2)  // a column below, its left edge through the block
        operands.AddBlock(BlockOf({{x + 2, y - far}, {x + 5, y - far}, {x + 5, y - far + 2.5}, {x + 2, y - far + 2.5}}, 4));
      else  // a row to the left, its bottom edge through the block
        operands.AddBlock(BlockOf({{x - far, line}, {x - far + 3, line}, {x - far + 3, line + 2.5}, {x - far, line + 2.5}}, 4));
    }
    ExpectFirstFormsDifferenceAndUnion(blocks, operands, trial);
  }
}

// A block whose vertices carry walls, cut again and again along one exact
// line by far rows, with near boxes between them that take the general
// way: whether a merge may leave the block's own outline in place depends
// on its vertices being the plain ones a merge made, which the general
// way and the walls are not.
TEST(CKelBlockCubeSetSameTest, FarCutsRepeatedAroundNearOperandsGiveTheFirstFormsVerticesAndWalls)
{
  for (int trial = 0; trial < 6; ++trial) {
    CKelBlockCube block = BlockOf({{0, 0}, {3, 0}, {3, 1.5}, {1.5, 1.5}, {1.5, 3}, {0, 3}}, 4);
    for (std::size_t k = 0; k < block.m_Coord.size(); ++k)
      block.m_Coord[k].m_HikageWall.m_Item.m_IdxNo = static_cast<std::int32_t>(7 + k);
    CKelBlockCubeArray blocks;
    blocks.push_back(block);
    CKelBlockCubeArray operands;
    for (int n = 0; n < 12; ++n) {
      const double far = 10 + 4 * n;
      if (n % 4 == trial % 4)  // a near box over the block's corner
        operands.AddBlock(BlockOf({{2.5, 2.0 + 0.1 * n}, {4, 2.0 + 0.1 * n}, {4, 4}, {2.5, 4}}, 4));
      else  // a row to the left, its bottom edge through the block
        operands.AddBlock(BlockOf({{-far, 1}, {-far + 3, 1}, {-far + 3, 3.5}, {-far, 3.5}}, 4));
    }
    ExpectFirstFormsDifferenceAndUnion(blocks, operands, trial);
  }
}

}  // namespace
