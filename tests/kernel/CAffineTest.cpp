#include "CAffine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;
// Round-off of a few sines and cosines of composed turns.
constexpr double kRound = 1e-12;

void ExpectNear2D(double x, double y, const CKelCoord2D& p)
{
  EXPECT_NEAR(x, p.m_x, kRound);
  EXPECT_NEAR(y, p.m_y, kRound);
}

void ExpectNear3D(const CKelCoord3D& expected, const CKelCoord3D& p)
{
  EXPECT_NEAR(expected.m_x, p.m_x, kRound);
  EXPECT_NEAR(expected.m_y, p.m_y, kRound);
  EXPECT_NEAR(expected.m_z, p.m_z, kRound);
}

}  // namespace

TEST(CAffine, FirstAddedMapAppliesFirst)
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
}

TEST(CAffine, ElementaryMapsGiveExactResults)
{
  CAffine shear;
  shear.Shear(0.5, 0);
  EXPECT_EQ(1.0, shear.Conv(CKelCoord2D(0, 2)).m_x);
  EXPECT_EQ(2.0, shear.Conv(CKelCoord2D(0, 2)).m_y);
  shear.Init();
  shear.Shear(0, 0.25);
  EXPECT_EQ(2.0, shear.Conv(CKelCoord2D(4, 1)).m_y);

  // Rotate2 takes its numbers as given, unnormalised: (2, 0) only scales.
  CAffine doubling;
  doubling.Rotate2(2, 0);
  EXPECT_EQ(2.0, doubling.Conv(CKelCoord2D(1, 3)).m_x);
  EXPECT_EQ(6.0, doubling.Conv(CKelCoord2D(1, 3)).m_y);

  CAffine scale;
  scale.Scale(2, -3);
  scale.Trans(1, 1);
  double x = 1, y = 1;
  scale.DConv(&x, &y);
  EXPECT_EQ(3.0, x);
  EXPECT_EQ(-2.0, y);
  CKelCoord2D p(1, 1);
  scale.DConv(p);
  EXPECT_EQ(3.0, p.m_x);
  EXPECT_EQ(-2.0, p.m_y);
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

TEST(CAffine3D, QuarterTurnsAboutEachAxis)
{
  CAffine3D y;
  y.RotateY2(kPi / 2);
  ExpectNear3D(CKelCoord3D(0, 0, -1), y.Conv(CKelCoord3D(1, 0, 0)));
  ExpectNear3D(CKelCoord3D(1, 0, 0), y.Conv(CKelCoord3D(0, 0, 1)));

  CAffine3D x;
  x.RotateX(kPi / 2);
  ExpectNear3D(CKelCoord3D(0, 0, 1), x.Conv(CKelCoord3D(0, 1, 0)));
  ExpectNear3D(CKelCoord3D(0, -1, 0), x.Conv(CKelCoord3D(0, 0, 1)));

  CAffine3D z;
  z.RotateZ(kPi / 2);
  ExpectNear3D(CKelCoord3D(0, 1, 0), z.Conv(CKelCoord3D(1, 0, 0)));
  ExpectNear3D(CKelCoord3D(0, 0, 1), z.Conv(CKelCoord3D(0, 0, 1)));
}

TEST(CAffine3D, CosineSineFormsMatchAngleForms)
{
  const double a = 0.9;
  CAffine3D byAngle, byPair;
  byAngle.RotateZ(a);
  byAngle.RotateX(a);
  byAngle.RotateY2(a);
  byPair.RotateZ(std::cos(a), std::sin(a));
  byPair.RotateX(std::cos(a), std::sin(a));
  byPair.RotateY(std::cos(a), std::sin(a));
  for (int r = 0; r < 4; ++r)
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(byAngle.m[r][k], byPair.m[r][k]);
}

TEST(CAffine3D, TranslationThenTurnAppliesInOrder)
{
  CAffine3D a;
  a.Trans(1, 0, 2);
  a.RotateZ(kPi / 2);
  ExpectNear3D(CKelCoord3D(0, 1, 2), a.Conv(CKelCoord3D(0, 0, 0)));

  a.Init();
  a.RotateZ(kPi / 2);
  a.Trans(1, 0, 2);
  ExpectNear3D(CKelCoord3D(1, 0, 2), a.Conv(CKelCoord3D(0, 0, 0)));
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
