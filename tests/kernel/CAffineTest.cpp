#include "CAffine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "KelTestSupport.h"

namespace {

constexpr double kPi = 3.141592653589793;
// Round-off of a few sines and cosines of composed turns.
constexpr double kRound = 1e-12;

void ExpectNear2D(double x, double y, const CKelCoord2D& p)
{
  kel_test::ExpectXY(x, y, p, kRound);
}

void ExpectNear3D(const CKelCoord3D& expected, const CKelCoord3D& p)
{
  kel_test::ExpectXYZ(expected.m_x, expected.m_y, expected.m_z, p, kRound);
}

using kel_test::XY;

}  // namespace

TEST(CAffine, FirstAddedMapAppliesFirstAndElementaryMapsAreExact)
{
  CAffine transThenRotate;
  transThenRotate.Trans(1, 0);
  transThenRotate.Rotate(kPi / 2);
  ExpectNear2D(0, 1, transThenRotate.Conv(CKelCoord2D(0, 0)));

  CAffine rotateThenTrans;
  rotateThenTrans.Rotate(kPi / 2);
  rotateThenTrans.Trans(1, 0);
  ExpectNear2D(1, 0, rotateThenTrans.Conv(CKelCoord2D(0, 0)));
  ExpectNear2D(1, 1, rotateThenTrans.Conv(CKelCoord2D(1, 0)));

  rotateThenTrans.Init();
  ExpectNear2D(1, 0, rotateThenTrans.Conv(CKelCoord2D(1, 0)));

  // Elementary maps give exact results.
  CAffine shear;
  shear.Shear(0.5, 0);
  EXPECT_EQ(XY(shear.Conv(CKelCoord2D(0, 2))), std::pair(1.0, 2.0));
  shear.Init();
  shear.Shear(0, 0.25);
  EXPECT_EQ(2.0, shear.Conv(CKelCoord2D(4, 1)).m_y);
  // Rotate2 takes its numbers as given, unnormalised: (2, 0) only scales.
  CAffine doubling;
  doubling.Rotate2(2, 0);
  EXPECT_EQ(XY(doubling.Conv(CKelCoord2D(1, 3))), std::pair(2.0, 6.0));

  CAffine scale;
  scale.Scale(2, -3);
  scale.Trans(1, 1);
  double x = 1, y = 1;
  scale.DConv(&x, &y);
  EXPECT_EQ(std::pair(x, y), std::pair(3.0, -2.0));
  CKelCoord2D p(1, 1);
  scale.DConv(p);
  EXPECT_EQ(XY(p), std::pair(3.0, -2.0));
}

// The composed matrix must agree with applying each elementary map in turn;
// a product taken on the wrong side fails this for every non-commuting pair.
TEST(CAffine, ComposedMapEqualsStepByStep)
{
  const std::vector<std::function<void(CAffine&)>> steps = {
      [](CAffine& a) { a.Trans(1.5, -2); },    [](CAffine& a) { a.Rotate(0.7); },
      [](CAffine& a) { a.Scale(2, 0.5); },     [](CAffine& a) { a.Shear(0.3, -0.2); },
      [](CAffine& a) { a.Rotate2(0.6, 0.8); }, [](CAffine& a) { a.Trans(-4, 3); },
  };
  CAffine composed;
  for (const auto& step : steps)
    step(composed);
  for (const CKelCoord2D& p : {CKelCoord2D(0, 0), CKelCoord2D(1, 0), CKelCoord2D(-2.5, 3.25)}) {
    CKelCoord2D q = p;
    for (const auto& step : steps) {
      CAffine single;
      step(single);
      single.DConv(q);
    }
    ExpectNear2D(q.m_x, q.m_y, composed.Conv(p));
  }
  // The last column is never written: the map stays affine.
  EXPECT_EQ(0.0, composed.m[0][2]);
  EXPECT_EQ(0.0, composed.m[1][2]);
  EXPECT_EQ(1.0, composed.m[2][2]);
}

TEST(CAffine3D, QuarterTurnsAboutEachAxisInOrderAndByCosineAndSine)
{
  CAffine3D x, y, z;
  x.RotateX(kPi / 2);
  y.RotateY2(kPi / 2);
  z.RotateZ(kPi / 2);
  const struct {
    const CAffine3D& map;
    CKelCoord3D from, to;
  } rows[] = {{y, {1, 0, 0}, {0, 0, -1}}, {y, {0, 0, 1}, {1, 0, 0}}, {x, {0, 1, 0}, {0, 0, 1}},
              {x, {0, 0, 1}, {0, -1, 0}}, {z, {1, 0, 0}, {0, 1, 0}}, {z, {0, 0, 1}, {0, 0, 1}}};
  for (const auto& r : rows)
    ExpectNear3D(r.to, r.map.Conv(r.from));

  CAffine3D a;
  a.Trans(1, 0, 2);
  a.RotateZ(kPi / 2);
  ExpectNear3D(CKelCoord3D(0, 1, 2), a.Conv(CKelCoord3D(0, 0, 0)));
  a.Init();
  a.RotateZ(kPi / 2);
  a.Trans(1, 0, 2);
  ExpectNear3D(CKelCoord3D(1, 0, 2), a.Conv(CKelCoord3D(0, 0, 0)));

  // The cosine-sine forms match the angle forms exactly.
  const double turn = 0.9;
  CAffine3D byAngle, byPair;
  byAngle.RotateZ(turn);
  byAngle.RotateX(turn);
  byAngle.RotateY2(turn);
  byPair.RotateZ(std::cos(turn), std::sin(turn));
  byPair.RotateX(std::cos(turn), std::sin(turn));
  byPair.RotateY(std::cos(turn), std::sin(turn));
  for (int r = 0; r < 4; ++r)
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(byAngle.m[r][k], byPair.m[r][k]);
}

// Turns keep lengths, and the same turns reversed in reverse order undo them.
TEST(CAffine3D, TurnsUndoneInReverseOrderRestoreEveryPoint)
{
  CAffine3D turn;
  turn.RotateZ(0.3);
  turn.RotateX(-1.1);
  turn.RotateY2(2.2);
  CAffine3D undo = turn;
  undo.RotateY2(-2.2);
  undo.RotateX(1.1);
  undo.RotateZ(-0.3);
  const CKelCoord3D origin;
  for (const CKelCoord3D& p : {CKelCoord3D(1, 0, 0), CKelCoord3D(0, 0, 1), CKelCoord3D(-2.5, 3.25, 8)}) {
    EXPECT_NEAR(p.GetLength(origin), turn.Conv(p).GetLength(origin), kRound);
    ExpectNear3D(p, undo.Conv(p));
  }
  EXPECT_EQ(0.0, undo.m[2][3]);
  EXPECT_EQ(1.0, undo.m[3][3]);
}
