// Validation of blocks and their containment: the check bits, the site
// consulted only when asked or for base blocks, touching the site outline
// against crossing it, and one block inside another with the height band.
// The site is read through the kernel's object interface, so every
// containment case runs on a plain outline and on the regulation site.

#include "CKelBlockCube.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <type_traits>
#include <vector>

#include "CKelAreaCoord2D.h"
#include "CKelHSite.h"
#include "VolumeShapeSupport.h"
#include "VolumeTestSupport.h"

namespace {

using vol_shape::BlockOver;
using vol_shape::Plan;

template <class SiteT>
SiteT Site(const Plan& plan)
{
  std::vector<CKelCoord2D> points;
  for (const auto& [x, y] : plan)
    points.emplace_back(x, y);
  if constexpr (std::is_same_v<SiteT, CKelHSite>) {
    CKelHSite site(points);
    site.SetArea();
    site.SetMaxMin();
    return site;
  } else {
    SiteT site;
    site.m_pt.assign(points.begin(), points.end());
    return site;
  }
}

const Plan kSquare{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
const CKelAreaCoord2D kSite = Site<CKelAreaCoord2D>(kSquare);

CKelBlockCube PlanBlock(const Plan& plan, double top = 3)
{
  CKelBlockCube block = BlockOver(plan, {top});
  block.SetPlanBlock();
  return block;
}

template <class SiteT>
class SiteContainmentTest : public ::testing::Test {};
using SiteKinds = ::testing::Types<CKelAreaCoord2D, CKelHSite>;
TYPED_TEST_SUITE(SiteContainmentTest, SiteKinds);

TYPED_TEST(SiteContainmentTest, CheckBitsAndTheSiteConsultedWhenAskedOrForBaseBlocks)
{
  const TypeParam site = Site<TypeParam>(kSquare);
  const Plan inside{{1, 1}, {3, 1}, {3, 3}, {1, 3}};
  const Plan across{{1, 1}, {12, 1}, {3, 3}, {1, 3}};
  struct Case {
    CKelBlockCube block;
    bool checkSite;
    bool error;
    std::uint32_t bits;
  } cases[] = {
      {PlanBlock(inside), true, false, 0},
      {PlanBlock(across), true, true, 16},
      {PlanBlock(across), false, false, 0},
      {BlockOver(across, {3}), false, true, 16},  // a new block is also a base block
      {PlanBlock({{0, 0}, {1, 1}, {1, 0}, {0, 1}, {0, 0}}), false, true, 12},
      {PlanBlock({{1, 1}, {3, 1}, {3, 3}, {3, 3 + 1e-5}, {1, 3}}), false, true, 4},
  };
  for (Case& c : cases) {
    c.block.m_Value = 99;
    EXPECT_EQ(c.block.CheckBlock3(&site, c.checkSite), c.error);
    EXPECT_EQ(c.block.m_Value, c.bits);
    EXPECT_EQ(c.block.IsError(), c.error);
  }
}

TEST(CKelBlockCubeSiteTest, HeightChecksSetTheirBits)
{
  CKelBlockCube inverted = vol_test::Block({{1, 1, 3, 0}, {3, 1, 3, 0}, {3, 3, -1, 0}, {1, 3, 3, 0}});
  inverted.SetMinMax();
  inverted.SetType();
  inverted.SetPlanBlock();
  EXPECT_TRUE(inverted.CheckBlock3(&kSite, false));
  EXPECT_EQ(inverted.m_Value & 1u, 1u);
  // A warped top: the fourth corner leaves the fitted plane.
  CKelBlockCube warped = vol_test::Block({{1, 1, 3, 0}, {3, 1, 4, 0}, {3, 3, 8, 0}, {1, 3, 4, 0}});
  warped.SetMinMax();
  warped.SetType();
  warped.SetPlanBlock();
  EXPECT_TRUE(warped.CheckBlock3(&kSite, false));
  EXPECT_EQ(warped.m_Value, 2u);
}

// A NaN fails every comparison the other checks make, so each number a
// plane is fitted through is tried as NaN and as either infinity.
TEST(CKelBlockCubeSiteTest, NumbersNotFiniteFailThePlaneFit)
{
  struct Row {
    const char* name;
    void (*set)(CKelBlockCube&, double);
  };
  const Row rows[] = {
      {"corner x", [](CKelBlockCube& b, double v) { b.m_Coord[2].m_x = v; }},
      {"corner y", [](CKelBlockCube& b, double v) { b.m_Coord[0].m_y = v; }},
      {"top", [](CKelBlockCube& b, double v) { b.m_Coord[1].m_z = v; }},
      {"bottom", [](CKelBlockCube& b, double v) { b.m_Coord[3].m_zL = v; }},
      // Typed as the block is built: a NaN bottom is no bottom of 0.
      {"bottom, then the type", [](CKelBlockCube& b, double v) { b.m_Coord[3].m_zL = v; b.SetType(); }},
      {"top plane", [](CKelBlockCube& b, double v) { b.SetTopPlaneParam(0, 0, 1, v); }},
  };
  for (const Row& r : rows) {
    for (const double v : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
      SCOPED_TRACE(std::string(r.name) + " " + std::to_string(v));
      CKelBlockCube block = PlanBlock({{1, 1}, {3, 1}, {3, 3}, {1, 3}});
      r.set(block, v);
      EXPECT_TRUE(block.CheckBlock3(&kSite, false));
      EXPECT_EQ(block.m_Value & 2u, 2u);
    }
  }
}

TYPED_TEST(SiteContainmentTest, TouchingTheSiteOutlinePassesAndCrossingItFails)
{
  const TypeParam site = Site<TypeParam>(kSquare);
  struct Case {
    Plan plan;
    bool inSite;
  } cases[] = {
      {{{0, 0}, {4, 0}, {4, 4}, {0, 4}}, true},          // two edges along site edges
      {{{10, 5}, {10, 7}, {8, 7}}, true},                 // an edge along a site edge
      {{{2, 2}, {10, 2}, {4, 4}}, true},                  // a vertex on a site edge
      {{{2, 2}, {10 + 5e-6, 2}, {4, 4}}, true},           // within the site's box band
      {{{2, 2}, {10 + 2e-5, 2}, {4, 4}}, false},          // beyond it (a tenth of 1e-4)
      {{{2, 2}, {10.001, 2}, {4, 4}}, false},             // a vertex outside
      {{{-1, 5}, {5, -1}, {5, 5}}, false},                // an edge across the site corner
  };
  for (const Case& c : cases) {
    const CKelBlockCube block = PlanBlock(c.plan);
    EXPECT_EQ(block.CheckInSite(&site), c.inSite) << c.plan[1].first;
  }
  // A site vertex inside a block edge's span: the site steps in at (5, 0).
  const TypeParam stepped = Site<TypeParam>({{0, 0}, {5, 0}, {5, 1}, {10, 1}, {10, 10}, {0, 10}});
  EXPECT_FALSE(PlanBlock({{0, 0}, {5, 0}, {5, 5}, {0, 5}}).CheckInSite(&stepped));
  EXPECT_TRUE(PlanBlock({{0, 1}, {5, 1}, {5, 5}, {0, 5}}).CheckInSite(&stepped));
  EXPECT_FALSE(PlanBlock({{0, 1}, {8, 1}, {8, 5}, {0, 5}}).CheckInSite(&stepped));
  EXPECT_FALSE(PlanBlock({{1, 1}, {2, 1}, {2, 2}}).CheckInSite(nullptr));
  EXPECT_TRUE(CKelBlockCube().CheckInSite(nullptr));
}

TYPED_TEST(SiteContainmentTest, BaseBlockVerticesMustStandOnTheSite)
{
  const TypeParam site = Site<TypeParam>(kSquare);
  const Plan outside{{11, 1}, {12, 1}, {12, 2}};
  EXPECT_TRUE(PlanBlock(outside).CheckInSiteSyasenBlock(&site));
  CKelBlockCube base = BlockOver(outside, {3});
  base.SetBaseBlock();
  EXPECT_FALSE(base.CheckInSiteSyasenBlock(&site));
  // Only the vertices count: this one spans the site's notch.
  const TypeParam notched = Site<TypeParam>({{0, 0}, {4, 0}, {4, 4}, {3, 4}, {3, 1}, {1, 1}, {1, 4}, {0, 4}});
  CKelBlockCube bridge = BlockOver({{0, 3}, {4, 3}, {4, 4}, {0, 4}}, {3});
  bridge.SetBaseBlock();
  EXPECT_TRUE(bridge.CheckInSiteSyasenBlock(&notched));
  EXPECT_FALSE(bridge.CheckInSite(&notched));
}

TEST(CKelBlockCubeSiteTest, BlockInsideBlockStrictlyAndWithinTheHeightBand)
{
  const CKelBlockCube outer = BlockOver({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {10}, {1});
  struct Case {
    Plan plan;
    double top, bottom;
    bool inside;
  } cases[] = {
      {{{1, 1}, {2, 1}, {2, 2}}, 10.001, 1, true},
      {{{1, 1}, {2, 1}, {2, 2}}, 10.0011, 1, false},
      {{{1, 1}, {2, 1}, {2, 2}}, 9, 0.9995, true},
      {{{1, 1}, {2, 1}, {2, 2}}, 9, 0.9985, false},
      {{{0, 1}, {2, 1}, {2, 2}}, 9, 2, false},  // a vertex on the outline
      {{{1, 1}, {12, 1}, {2, 2}}, 9, 2, false},
  };
  for (const Case& c : cases) {
    const CKelBlockCube other = BlockOver(c.plan, {c.top}, {c.bottom});
    EXPECT_EQ(outer.IsInsideBlock(other), c.inside) << c.top << " " << c.bottom;
  }
  EXPECT_TRUE(outer.IsInsideBlock(CKelBlockCube()));
  const CKelBlockCube flat = vol_test::Block({{0, 0, 5, 0}, {1, 0, 5, 0}, {2, 0, 5, 0}});
  EXPECT_FALSE(flat.IsInsideBlock(CKelBlockCube()));
}

}  // namespace
