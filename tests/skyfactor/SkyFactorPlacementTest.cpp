// The sky factor is a property of the scene seen from its check point: moving
// the blocks and the check point together to survey coordinates, turning
// them with the frame, or both, leaves every ratio as it was for the scene
// as drawn, whatever the method, step, expansion and side.
//
// The scenes hold blocks in the air, whose sector pieces are closed
// underneath only by side faces lying on the sector lines: the case where a
// rounding of the world coordinates (about 6e-11 m at 3e5 m) used to part a
// piece's near and far bands and show sky through the block.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "CKelBlockCoord.h"
#include "CKelBlockCube.h"
#include "CKelBlockCubeArray.h"
#include "SkyMethod.h"

namespace {

using sky_test::Describe;
using sky_test::EveryMethod;
using sky_test::Method;

struct XY {
  double x, y;
};

struct Prism {
  std::vector<XY> outline;  // counter-clockwise
  double top, bottom;
};

struct Scene {
  const char* name;
  std::vector<Prism> prisms;
  XY point;
  double frame;
};

// Survey coordinates and a turn that is no multiple of any step.
struct Placement {
  const char* name;
  double turn, dx, dy;
};

const Placement kPlacements[] = {
    {"moved 3e5 m", 0, 293729.73326881905, -61015.111192461285},
    {"turned", 4.6352926491197497, 0, 0},
    {"turned and moved", 4.6352926491197497, 65364.430980231147, -292792.57361249893},
};

std::vector<Scene> Scenes()
{
  return {
      // A block on pilotis seen from 0.6 m off its front corner.
      {"pilotis",
       {{{{-11.760705056278098, 9.5923400476469016},
          {-1.1674580916346464, 10.879391843426228},
          {-2.7641235266232105, 24.020954077525872},
          {-13.357370491266662, 22.733902281746545}},
         10.494675274956091,
         4.2871225978268939}},
       {-12, 10.14413805693539},
       -1.2891715508139587},
      // A balcony slab before a house, seen from the street.
      {"balcony",
       {{{{6.775366221899092, 1.4089642138948308},
          {15.916340564758041, 1.4089642138948308},
          {15.916340564758041, 3.117196434980599},
          {6.775366221899092, 3.117196434980599}},
         14.371844111112088,
         13.271844111112088},
        {{{5, 3.117196434980599}, {18, 3.117196434980599}, {18, 12}, {5, 12}}, 17, 0}},
       {13, -2},
       0},
      // An upper storey overhanging a recessed ground floor by 1.5 m, seen
      // from 0.8 m before its front.
      {"overhang",
       {{{{0, 1.5}, {12, 1.5}, {12, 9}, {0, 9}}, 3.2, 0},
        {{{0, 0}, {12, 0}, {12, 9}, {0, 9}}, 9.6, 3.2}},
       {3.1, -0.8},
       0.35},
  };
}



XY Place(const XY& v, const Placement& p)
{
  const double c = std::cos(p.turn), s = std::sin(p.turn);
  return {c * v.x - s * v.y + p.dx, s * v.x + c * v.y + p.dy};
}

CKelBlockCubeArray Blocks(const Scene& scene, const Placement& p)
{
  CKelBlockCubeArray blocks;
  for (const Prism& prism : scene.prisms) {
    CKelBlockCube block;
    for (const XY& v : prism.outline) {
      const XY w = Place(v, p);
      block.Append(CKelBlockCoord(w.x, w.y, prism.top, prism.bottom));
    }
    block.SetType();
    block.SetMinMax();
    block.GetPlaneEquation(false);
    block.GetPlaneEquation(true);
    blocks.AddBlock(block);
  }
  return blocks;
}

double Ratio(const Scene& scene, const Placement& p, const Method& m)
{
  const XY eye = Place(scene.point, p);
  return sky_test::Ratio(Blocks(scene, p), CKelCoord3D(eye.x, eye.y, 0), m, scene.frame + p.turn);
}

TEST(SkyFactorPlacement, MovedAndTurnedScenesWithFloatingBlocksKeepEveryRatio)
{
  const Placement asDrawn{"as drawn", 0, 0, 0};
  for (const Scene& scene : Scenes()) {
    for (const Method& m : EveryMethod({1, 7, 10})) {
      const double drawn = Ratio(scene, asDrawn, m);
      ASSERT_GT(drawn, 0) << scene.name << ", " << Describe(m);
      for (const Placement& p : kPlacements)
        EXPECT_NEAR(drawn, Ratio(scene, p, m), 1e-8) << scene.name << ", " << Describe(m) << ", " << p.name;
    }
  }
}

}  // namespace
