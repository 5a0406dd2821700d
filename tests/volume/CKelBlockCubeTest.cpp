#include "CKelBlockCube.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "CKelBlockCubeArray.h"
#include "SurveyVariants.h"
#include "VolumeTestSupport.h"

namespace {

using vol_test::Block;
using vol_test::Box;

// Levels -6, -3, 0, 3, 6, 9, 12.
CPrfPlanParam SampleProfiles() { return vol_test::SampleList(); }

std::vector<std::pair<double, double>> PlanOf(const CKelBlockCube& block)
{
  std::vector<std::pair<double, double>> plan;
  for (const CKelBlockCoord& c : block.m_Coord)
    plan.emplace_back(c.m_x, c.m_y);
  return plan;
}

// --- Kinds and flags ------------------------------------------------------------------

TEST(CKelBlockCubeTest, NewBlockIsBothKindsAndNeitherTest)
{
  CKelBlockCube block;
  EXPECT_TRUE(block.IsShow());
  EXPECT_TRUE(block.IsHikage());
  EXPECT_TRUE(block.IsSyasen());
  EXPECT_EQ(3, block.AttrType());
  EXPECT_EQ(0, block.PpNo());
  EXPECT_EQ(0, block.GetSize());
  EXPECT_EQ(-1, block.m_No);
  // Stored flags can name both kinds or none: neither test holds then.
  EXPECT_FALSE(block.IsBaseBlock());
  EXPECT_FALSE(block.IsPlanBlock());
  block.SetBaseBlock();
  EXPECT_TRUE(block.IsBaseBlock());
  EXPECT_FALSE(block.IsPlanBlock());
  EXPECT_EQ(1, block.AttrType());
  block.SetPlanBlock();
  EXPECT_TRUE(block.IsPlanBlock());
  block.SetHikage(false);
  EXPECT_FALSE(block.IsBaseBlock());
  EXPECT_FALSE(block.IsPlanBlock());
}

TEST(CKelBlockCubeTest, SetMinMaxTurnsAClockwiseSquare)
{
  CKelBlockCube square = Block({{0, 0, 1, 0}, {0, 1, 2, 0}, {1, 1, 3, 0}, {1, 0, 4, 0}});
  square.m_Coord[0].m_HikageWall.m_Item.m_nFlag = 7;  // walls travel with their vertex
  square.SetMinMax();
  const std::vector<std::pair<double, double>> ccw = {{1, 0}, {1, 1}, {0, 1}, {0, 0}};
  EXPECT_EQ(ccw, PlanOf(square));
  EXPECT_EQ(7, square.m_Coord[3].m_HikageWall.m_Item.m_nFlag);
  EXPECT_EQ(1, square.Menseki());
  EXPECT_EQ(0, square.XMin());
  EXPECT_EQ(1, square.XMax());
  EXPECT_EQ(0, square.YMin());
  EXPECT_EQ(1, square.YMax());
  EXPECT_EQ(0.5, square.Cx());
  EXPECT_EQ(1, square.Wy());

  CKelBlockCube empty;
  empty.SetXMax(5);
  empty.SetMinMax();
  EXPECT_EQ(0, empty.XMax());
  EXPECT_EQ(0, empty.Menseki());
}

// Found by fuzzing: negating this clockwise outline's sum differs in the last
// bit from the sum of the turned outline, so a stored block read back once
// and then again came back with another area.
TEST(CKelBlockCubeTest, SetMinMaxAreaIsTheTurnedOutlinesOwnSum)
{
  CKelBlockCube block = Block({{-5, 10, 0, 0}, {5, 10, 0, 0}, {5.000000000000056, 20, 0, 0}, {0, 0, 0, 0}});
  ASSERT_LT(block.CalcArea(), 0);
  block.SetMinMax();
  EXPECT_EQ(block.CalcArea(), block.Menseki());
  CKelBlockCube again = block;
  again.SetMinMax();
  EXPECT_EQ(PlanOf(block), PlanOf(again));
  EXPECT_EQ(block.Menseki(), again.Menseki());
}

TEST(CKelBlockCubeTest, ReflexVerticesOfAnLShape)
{
  const CKelBlockCube l = Block({{0, 0, 1, 0}, {2, 0, 1, 0}, {2, 1, 1, 0}, {1, 1, 1, 0}, {1, 2, 1, 0}, {0, 2, 1, 0}});
  EXPECT_EQ(std::vector<int>{3}, l.IsOukata());
  EXPECT_TRUE(Box(0, 0, 3, 1, 1).IsOukata().empty());
}

TEST(CKelBlockCubeTest, SetTypeDerivesTheFlagsAtTheTolerance)
{
  // Bottoms within the point tolerance of 0: no own bottom, all zeroed.
  CKelBlockCube flat = Block({{0, 0, 3, 2e-5}, {1, 0, 3, -2e-5}, {1, 1, 3, 0}});
  flat.m_Coord[1].m_FlrL = 2;
  flat.m_Coord[1].m_OffL = 1;
  flat.SetBotSlope(true);
  flat.SetType();
  EXPECT_FALSE(flat.IsTyuku());
  EXPECT_FALSE(flat.IsBotSlope());
  EXPECT_FALSE(flat.IsTopSlope());
  for (const CKelBlockCoord& c : flat.m_Coord)
    EXPECT_EQ(std::make_tuple(0.0, 0, 0.0), std::make_tuple(c.m_zL, c.m_FlrL, c.m_OffL));

  CKelBlockCube raised = Block({{0, 0, 0, 2.5e-5}, {1, 0, 2.5e-5, 2.5e-5}, {1, 1, 0, 5.1e-5}});
  raised.SetType();
  EXPECT_TRUE(raised.IsTyuku());
  EXPECT_TRUE(raised.IsBotSlope());
  EXPECT_TRUE(raised.IsTopSlope());
  EXPECT_EQ(3, raised.KeisyaMode());
}

TEST(CKelBlockCubeTest, LevellingTakesTheFirstExtremeVertex)
{
  CKelBlockCube block = Block({{0, 0, 3, 1}, {1, 0, 5, 0.5}, {1, 1, 5, 0.5}});
  block.m_Coord[1].m_FlrH = 1;
  block.m_Coord[1].m_OffH = 2;
  block.m_Coord[2].m_FlrH = 7;
  block.m_Coord[1].m_FlrL = -1;
  block.m_Coord[2].m_FlrL = -2;
  block.SetTopSlope(true);
  block.SetTopSlope(false);
  block.SetBotSlope(true);
  EXPECT_TRUE(block.IsTyuku());
  block.SetBotSlope(false);
  EXPECT_FALSE(block.IsTopSlope());
  for (const CKelBlockCoord& c : block.m_Coord) {
    EXPECT_EQ(std::make_tuple(5.0, 1, 2.0), std::make_tuple(c.m_z, c.m_FlrH, c.m_OffH));
    EXPECT_EQ(std::make_tuple(0.5, -1), std::make_tuple(c.m_zL, c.m_FlrL));
  }
  EXPECT_EQ(5, block.ZH());
  EXPECT_EQ(5, block.ZMax());
}

TEST(CKelBlockCubeTest, OutlineIndicesWrap)
{
  const CKelBlockCube box = Box(0, 0, 1, 1, 1);
  EXPECT_EQ(0, box.NextPos(3));
  EXPECT_EQ(2, box.NextPos(1));
  EXPECT_EQ(3, box.PrevPos(0));
  EXPECT_EQ(0, box.PrevPos(1));
  EXPECT_EQ(3, box.GetNextNo(-1));
  EXPECT_EQ(0, box.GetNextNo(4));
  EXPECT_EQ(2, box.GetNextNo(2));
  // GetCoord3D wraps any index.
  EXPECT_EQ(kel_test::XYZ(box.GetCoord3D(1)), kel_test::XYZ(box.GetCoord3D(9)));
  EXPECT_EQ(kel_test::XYZ(box.GetCoord3D(3)), kel_test::XYZ(box.GetCoord3D(-5)));
  EXPECT_EQ(kel_test::XYZ(box.GetBackCoord3D()), kel_test::XYZ(box.GetCoord3D(3)));
}

TEST(CKelBlockCubeTest, VertexListAddFindsAnEqualPoint)
{
  CKelBlockCoordArray list;
  EXPECT_EQ(0, list.Add(CKelBlockCoord(1, 2, 3, 0)));
  EXPECT_EQ(1, list.Add(CKelBlockCoord(4, 2, 3, 0)));
  EXPECT_EQ(0, list.Add(CKelBlockCoord(1 + 2e-5, 2, 3, 0)));
  EXPECT_EQ(2, list.Add(CKelBlockCoord(1, 2, 3, 3e-5)));
  EXPECT_EQ(3u, list.size());
}

// --- Heights through the profile --------------------------------------------------------

TEST(CKelBlockCubeTest, HeightsThroughTheProfile)
{
  const CPrfPlanParam profiles = SampleProfiles();
  CKelBlockCube block = Box(0, 0, 1, 1, 0);
  block.SetZH(&profiles, 10);
  EXPECT_EQ(std::make_tuple(10.0, 3, 1.0), std::make_tuple(block.ZH(), block.FlrH(), block.OffH()));
  block.SetFlrH(&profiles, 1);
  EXPECT_EQ(std::make_tuple(4.0, 1, 1.0), std::make_tuple(block.ZH(), block.FlrH(), block.OffH()));
  block.SetOffH(2);
  EXPECT_EQ(5, block.ZH());
  block.SetZL(&profiles, -4);
  EXPECT_EQ(std::make_tuple(-4.0, -2, -1.0), std::make_tuple(block.ZL(), block.FlrL(), block.OffL()));
  block.SetFlrL(nullptr, 2);  // no profile: floor 0, offset = height
  EXPECT_EQ(std::make_tuple(-4.0, 0, -4.0), std::make_tuple(block.ZL(), block.FlrL(), block.OffL()));
}

TEST(CKelBlockCubeTest, SetPpNoModes)
{
  CPrfPlanParam profiles = SampleProfiles();
  profiles.push_back(profiles[0]);
  profiles[1].SBCalcEx(1, 4);  // levels -7, -3, 1, 5, 9, 13, 17
  CKelBlockCube block = Box(0, 0, 1, 1, 0);
  block.SetType(true);
  block.SetZH(&profiles, 10);
  block.SetZL(&profiles, 1);
  const CKelBlockCoord before = block.m_Coord[0];
  block.SetPpNo(&profiles, 1, 2);
  EXPECT_EQ(1, block.PpNo());
  EXPECT_TRUE(block.m_Coord[0] == before);
  block.SetPpNo(&profiles, 1, 0);  // same heights, new split: 10 = 9 + 1 on floor 2
  EXPECT_EQ(std::make_tuple(10.0, 2, 1.0), std::make_tuple(block.ZH(), block.FlrH(), block.OffH()));
  // The base level tops storey index 2, which floor -1 names.
  EXPECT_EQ(std::make_tuple(1.0, -1, 0.0), std::make_tuple(block.ZL(), block.FlrL(), block.OffL()));
  block.SetPpNo(&profiles, 0, 1);  // same floor and offset, new height: 6 + 1
  EXPECT_EQ(std::make_tuple(7.0, 2, 1.0), std::make_tuple(block.ZH(), block.FlrH(), block.OffH()));
  block.SetPpNo(nullptr, 0, 1);
  EXPECT_EQ(std::make_tuple(7.0, 0, 7.0), std::make_tuple(block.ZH(), block.FlrH(), block.OffH()));
}

// --- Planes and checks ----------------------------------------------------------------------

TEST(CKelBlockCubeTest, BlockStatus)
{
  CKelBlockCube inverted = Box(0, 0, 1, 1, 2, 2.1);
  EXPECT_EQ(16, inverted.Check_block_status());
  EXPECT_EQ(0, Box(0, 0, 1, 1, 2, 2 - 1e-6).Check_block_status());

  CKelBlockCube twisted = Block({{0, 0, 1, 0}, {1, 0, 2, 0}, {1, 1, 1, 0}, {0, 1, 2, 0}});
  twisted.SetType();
  EXPECT_EQ(256, twisted.Check_block_status());
  twisted.m_Coord[2].m_z = 3;  // now on one plane z = 1 + x + y
  EXPECT_EQ(0, twisted.Check_block_status());

  CKelBlockCube bottom = Block({{0, 0, 9, 1}, {1, 0, 9, 2}, {1, 1, 9, 1}, {0, 1, 9, 2}});
  bottom.SetType();
  EXPECT_EQ(384, bottom.Check_block_status());
  // A top below its bottom and off its plane: the top plane is reported
  // before the bottom is looked at.
  bottom.m_Coord[0].m_z = 1.5;
  bottom.m_Coord[0].m_zL = 1.6;
  bottom.SetType();
  EXPECT_EQ(16 + 256, bottom.Check_block_status());
}

TEST(CKelBlockCubeTest, PlaneHeightsAndTheirAbsence)
{
  CKelBlockCube block = Block({{0, 0, 1, 0}, {2, 0, 3, 0}, {2, 2, 3, 0}, {0, 2, 1, 0}});
  EXPECT_TRUE(block.CheckPlaneParameter());
  EXPECT_NEAR(2, block.Check_CalcZH(CKelCoord2D(1, 7)), 1e-12);
  EXPECT_NEAR(2, block.GetSlopeZH(CKelCoord2D(1, 7)), 1e-12);
  EXPECT_EQ(0, block.Check_CalcZL(CKelCoord2D(1, 7)));
  block.SetBotPlaneParam(0, 0, 0, 0);
  EXPECT_FALSE(block.CheckPlaneParameter());
  EXPECT_EQ(CKelBlockCube::kNoPlaneHeight, block.Check_CalcZL(CKelCoord2D(1, 7)));
  EXPECT_FALSE(block.Check_SBlockChkPlane(true, 0, 0, 0, 0));
  EXPECT_TRUE(CKelBlockCube().CheckPlaneParameter());
  block.Clear();
  EXPECT_FALSE(block.IsPlaneEuqationSet(false));
  EXPECT_EQ(0, block.GetSize());
}

TEST(CKelBlockCubeTest, RandomPlanarFacesFitTheirPlanes)
{
  std::mt19937 random(8);
  std::uniform_real_distribution<double> coefficient(-0.5, 0.5);
  std::uniform_real_distribution<double> angle(0, 6.283185307179586);
  for (int n = 0; n < 200; ++n) {
    const double a = coefficient(random), b = coefficient(random), top = 20 * coefficient(random);
    const double c = coefficient(random), d = coefficient(random);
    std::vector<double> angles(3 + n % 6);
    for (double& t : angles)
      t = angle(random);
    std::sort(angles.begin(), angles.end());
    CKelBlockCube block;
    for (double t : angles) {
      const double x = 50 * std::cos(t) + 100, y = 30 * std::sin(t) - 40;
      block.Append(CKelBlockCoord(x, y, top + a * x + b * y, top - 30 + c * x + d * y));
    }
    block.SetMinMax();
    const double area = block.Menseki();
    const CKelBlockCoordArray order = block.m_Coord;
    block.SetMinMax();
    EXPECT_EQ(area, block.Menseki());
    EXPECT_TRUE(order == block.m_Coord);
    ASSERT_TRUE(block.GetPlaneEquation(false));
    ASSERT_TRUE(block.GetPlaneEquation(true));
    EXPECT_TRUE(block.Check_SBlockChkPlane(false, block.PlaneA(false), block.PlaneB(false), block.PlaneC(false),
                                           block.PlaneD(false)));
    EXPECT_TRUE(block.Check_SBlockChkPlane(true, block.PlaneA(true), block.PlaneB(true), block.PlaneC(true),
                                           block.PlaneD(true)));
  }
}

// --- Edits that take heights from the planes ---------------------------------------------------

TEST(CKelBlockCubeTest, InsertCoordInterpolatesAlongTheEdge)
{
  CKelBlockCube block = Block({{0, 0, 10, 1}, {10, 0, 20, 3}, {10, 10, 20, 3}});
  block.SetType(true);
  block.InsertCoord(nullptr, 0, CKelBlockCoord(2.5, 0, 99, 99));
  ASSERT_EQ(4, block.GetSize());
  EXPECT_EQ(std::make_tuple(2.5, 12.5, 1.5, 12.5), std::make_tuple(block.m_Coord[1].m_x, block.m_Coord[1].m_z,
                                                                   block.m_Coord[1].m_zL, block.m_Coord[1].m_OffH));
  // An edge of length 0 gives the start vertex's heights.
  CKelBlockCube pinched = Block({{0, 0, 4, 1}, {0, 0, 8, 2}, {1, 1, 8, 2}});
  pinched.SetType(true);
  pinched.InsertCoord(nullptr, 0, CKelBlockCoord(0, 0, 0, 0));
  EXPECT_EQ(std::make_pair(4.0, 1.0), std::make_pair(pinched.m_Coord[1].m_z, pinched.m_Coord[1].m_zL));
}

TEST(CKelBlockCubeTest, PointsAndEdgesTakeHeightsFromThePlanes)
{
  const CPrfPlanParam profiles = SampleProfiles();
  // Top z = 1 + x, bottom z = -1.
  CKelBlockCube block = Block({{0, 0, 1, -1}, {2, 0, 3, -1}, {2, 2, 3, -1}, {0, 2, 1, -1}});
  block.m_pPrfPlanParam = const_cast<CPrfPlanParam*>(&profiles);
  block.InsertPoint(0, CKelCoord3D(1, -0.5, 42));
  EXPECT_EQ(std::make_tuple(1.0, -0.5, 2.0, -1.0),
            std::make_tuple(block.m_Coord[1].m_x, block.m_Coord[1].m_y, block.m_Coord[1].m_z, block.m_Coord[1].m_zL));
  EXPECT_EQ(std::make_pair(-1, 2.0), std::make_pair(block.m_Coord[1].m_FlrH, block.m_Coord[1].m_OffH));
  block.MovePoint(1, CKelCoord3D(0.5, -1, 0));
  EXPECT_NEAR(1.5, block.m_Coord[1].m_z, 1e-12);
  block.DeletePoint(1);

  block.MoveLine(1, CKelCoord3D(4, 7, 0));  // edge x = 2 moved to x = 4
  EXPECT_NEAR(4, block.m_Coord[1].m_x, 1e-12);
  EXPECT_NEAR(4, block.m_Coord[2].m_x, 1e-12);
  EXPECT_NEAR(5, block.m_Coord[1].m_z, 1e-12);
  EXPECT_NEAR(5, block.m_Coord[2].m_z, 1e-12);
  block.MoveLine(1, -1.0);  // left normal of an edge running +y points to -x
  EXPECT_NEAR(5, block.m_Coord[2].m_x, 1e-12);
  EXPECT_NEAR(6, block.m_Coord[2].m_z, 1e-12);

  // Without planes every height is 0, never a huge number.
  CKelBlockCube bare;
  bare.Append(CKelCoord3D(1, 1, 9));
  bare.Append(CKelCoord3D(2, 1, 9));
  bare.Append(CKelCoord3D(2, 2, 9));
  bare.InsertPoint(2, CKelCoord3D(3, 3, 9));
  for (const CKelBlockCoord& c : bare.m_Coord)
    EXPECT_EQ(std::make_pair(0.0, 0.0), std::make_pair(c.m_z, c.m_zL));
}

TEST(CKelBlockCubeTest, FacesMoveAndBlocksShift)
{
  CKelBlockCube block = Box(0, 0, 2, 2, 5, 1);
  block.MoveFaceZ(2);
  EXPECT_EQ(7, block.ZMax());
  EXPECT_NEAR(7, block.Check_CalcZH(CKelCoord2D(9, 9)), 1e-12);
  block.MoveFaceZL(-1);  // bottoms down to 0: no own bottom any more
  EXPECT_FALSE(block.IsTyuku());
  block.MoveBlock(CKelCoord2D(10, 0), CKelCoord3D(0, 5, 0));
  EXPECT_EQ(std::make_pair(10.0, -5.0), std::make_pair(block.m_Coord[0].m_x, block.m_Coord[0].m_y));
  block.SwapCoord(0, 2);
  EXPECT_EQ(std::make_pair(12.0, -3.0), std::make_pair(block.m_Coord[0].m_x, block.m_Coord[0].m_y));

  const CKelBlockCoord cut = CKelBlockCube::SSBCutZ2(CKelBlockCoord(0, 0, -2, 5), CKelBlockCoord(4, 8, 6, 5));
  EXPECT_EQ(std::make_tuple(1.0, 2.0, 0.0, 0.0), std::make_tuple(cut.m_x, cut.m_y, cut.m_z, cut.m_zL));
}

TEST(CKelBlockCubeTest, PolygonsToAndFrom)
{
  CKelBlockCube block = Block({{0, 0, 1, 0}, {0, 2, 1, 0}, {3, 2, 4, 0}, {3, 0, 4, 0}});  // clockwise
  const CKelAreaCoord3D area = block.ToArea();
  EXPECT_EQ(6, area.m_area);
  EXPECT_GT(area.Area(), 0);
  EXPECT_EQ(block.PlaneA(false), area.m_A);
  EXPECT_EQ(block.PlaneD(false), area.m_D);
  const CKelAreaCoord2D plan = block.ToArea2D();
  EXPECT_EQ(6, plan.m_area);
  EXPECT_EQ(3, plan.m_xmax);

  CKelBlockCube back;
  back.FromArea(plan);
  EXPECT_EQ(6, back.Menseki());
  EXPECT_EQ(0, back.m_Coord[2].m_z);
  EXPECT_TRUE(back.CheckPlaneParameter());
}

// --- Selection ----------------------------------------------------------------------------

TEST(CKelBlockCubeTest, SelectionSwitches)
{
  CKelBlockCube level = Box(0, 0, 1, 1, 3);
  level.SetBaseBlock();
  CKelBlockCube raised = Box(0, 0, 1, 1, 3, 1);
  raised.SetPlanBlock();
  raised.SetMark(true);

  // Each switch alone, against the build-type test or the kind test.
  using SelectCheck = bool (CKelBlockCube::*)(const CBlockSelectParam*) const;
  const SelectCheck build = &CKelBlockCube::Select_CheckBuildType, mode = &CKelBlockCube::Select_CheckMode;
  const struct {
    int CBlockSelectParam::*on;
    SelectCheck test;
    bool level, raised;
  } rows[] = {{&CBlockSelectParam::m_nReserved, build, false, false}, {&CBlockSelectParam::m_nNoBottom, build, true, false},
              {&CBlockSelectParam::m_nTyuku, build, false, true},     {&CBlockSelectParam::m_nSlope, build, false, false},
              {&CBlockSelectParam::m_nMark, build, false, true},      {&CBlockSelectParam::m_nError, build, false, false},
              {&CBlockSelectParam::m_nNoKind, mode, false, false},    {&CBlockSelectParam::m_nHikage, mode, false, true},
              {&CBlockSelectParam::m_nSyasen, mode, true, false},     {&CBlockSelectParam::m_nBothKinds, mode, false, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    CBlockSelectParam p;
    p.*row.on = 1;
    EXPECT_EQ(row.level, (level.*row.test)(&p));
    EXPECT_EQ(row.raised, (raised.*row.test)(&p));
  }
  CBlockSelectParam both;
  both.m_nNoBottom = 1;
  both.m_nHikage = 1;
  EXPECT_FALSE(level.Select_SetShow(&both));
  EXPECT_FALSE(level.IsShow());
  EXPECT_TRUE(level.Select_SetShow(nullptr));
  both.m_nSyasen = 1;
  EXPECT_TRUE(level.Select_SetShow(&both));
}

// --- The block list's container operations ------------------------------------------------

TEST(CKelBlockCubeArrayTest, AddBlockNormalisesWherePushBackDoesNot)
{
  const CKelBlockCube clockwise = Block({{0, 0, 1, 0}, {0, 1, 2, 0}, {1, 1, 2, 0}, {1, 0, 2, 0}});
  CKelBlockCubeArray list;
  list.AddBlock(clockwise);
  list.push_back(clockwise);
  EXPECT_EQ(1, list[0].Menseki());
  EXPECT_TRUE(list[0].IsTopSlope());
  EXPECT_GT(list[0].CalcArea(), 0);
  EXPECT_EQ(0, list[1].Menseki());
  EXPECT_LT(list[1].CalcArea(), 0);

  list.InsertBlock(Box(5, 5, 6, 6, 1), list.Size());
  EXPECT_EQ(5, list[2].XMin());
  list.InsertBlock(Box(7, 7, 8, 8, 1), 0);
  EXPECT_EQ(7, list[0].XMin());
  list.Erase(0);
  EXPECT_EQ(3, list.GetSize());
  list.AddBlock(list);
  EXPECT_EQ(6, list.Size());
  EXPECT_EQ(1, list[4].Menseki());  // the pushed block normalised on the way

  list.AddElement(list.GetElement(2));
  EXPECT_EQ(5, list[6].XMin());
  EXPECT_TRUE(list == list);
  CKelBlockCubeArray other = list;
  other[3].m_Value = 1;
  EXPECT_FALSE(list == other);
  list.Clear();
  EXPECT_EQ(0, list.Size());
}

// Survey points go, the L's corners stay (within the survey's millimetre),
// a clean outline is left exactly as it is, and a spike's tip is no survey
// point however narrow the spike.
TEST(CKelBlockCubeTest, DropSurveyPointsLeavesTheCornersOfEverySurveyVariant)
{
  const survey::Outline l{{0, 0}, {10, 0}, {10, 4}, {4, 4}, {4, 10}, {0, 10}};
  const auto over = [](const survey::Outline& pts) {
    CKelBlockCube b;
    for (const CKelCoord2D& p : pts)
      b.Append(CKelBlockCoord(p.m_x, p.m_y, 3, 0));
    b.SetMinMax();
    return b;
  };
  CKelBlockCube clean = over(l);
  EXPECT_FALSE(clean.DropSurveyPoints());
  EXPECT_EQ(clean.m_Coord, over(l).m_Coord);
  for (const survey::Variant& v : survey::SurveyVariants(l)) {
    CKelBlockCube b = over(v.m_Pts);
    b.DropSurveyPoints();
    ASSERT_EQ(b.GetSize(), 6) << v.m_Name;
    for (const CKelBlockCoord& c : b.m_Coord) {
      double nearest = HUGE_VAL;
      for (const CKelCoord2D& corner : l)
        nearest = std::min(nearest, v.Back(c).GetLength(corner));
      EXPECT_LE(nearest, KelTol::BlockSurveyPoint) << v.m_Name;
    }
    EXPECT_NEAR(b.Menseki(), 64, 0.01) << v.m_Name;
  }
  CKelBlockCube spike = over({{0, 0}, {10, 0}, {10, 10}, {5.0005, 10}, {5, 15}, {4.9995, 10}, {0, 10}});
  EXPECT_FALSE(spike.DropSurveyPoints());
}

// A curved wall 20 cm thick in 1 cm chords, with a doubled point and a
// point splitting each straight end: the survey points go and every chord
// stays, wherever the block lies (turned, moved up to 3e5 m, mirrored), so
// its area is the same to round-off. The greedy drop (the vertex moving the
// area least first) kept 36 to 44 of the chords' points by placement.
TEST(CKelBlockCubeTest, DropSurveyPointsKeepsTheSamePointsAtEveryPlacement)
{
  std::vector<CKelCoord2D> wall;
  const int chords = 100;  // 1 cm each on the outer face, radius 3.2 m
  for (int side = 0; side < 2; ++side) {
    const double r = side == 0 ? 3.2 : 3.0;
    for (int k = 0; k <= chords; ++k) {
      const double a = 0.01 / 3.2 * (side == 0 ? k : chords - k);
      wall.emplace_back(r * std::cos(a), r * std::sin(a));
    }
    // The straight end: split by a point, the corner doubled 0.1 mm away.
    const CKelCoord2D& end = wall.back();
    const double a = 0.01 / 3.2 * (side == 0 ? chords : 0), r2 = 3.1;
    wall.emplace_back(end.m_x + 2e-5, end.m_y + 1e-4);
    wall.emplace_back(r2 * std::cos(a), r2 * std::sin(a));
  }
  const std::size_t chordPoints = 2 * (chords + 1);
  double area = 0;
  std::vector<CKelCoord2D> kept;
  for (int at = 0; at < 24; ++at) {
    const double turn = 0.2618 * at + 0.01, c = std::cos(turn), s = std::sin(turn);
    const double dx = at % 3 == 0 ? 0 : 3e5 * (at % 3 == 1 ? 1 : -0.7), dy = at % 4 == 0 ? 0 : -2.1e5;
    const bool mirror = at % 2 == 1;
    CKelBlockCube b;
    for (std::size_t k = 0; k < wall.size(); ++k) {
      const CKelCoord2D& p = wall[mirror ? wall.size() - 1 - k : k];
      const double x = mirror ? -p.m_x : p.m_x;
      b.Append(CKelBlockCoord(dx + c * x - s * p.m_y, dy + s * x + c * p.m_y, 3, 0));
    }
    b.SetMinMax();
    EXPECT_TRUE(b.DropSurveyPoints());
    ASSERT_EQ(b.GetSize(), static_cast<int>(chordPoints)) << at;
    std::vector<CKelCoord2D> back;
    double twice = 0;
    for (const CKelBlockCoord& q : b.m_Coord) {
      const double x = c * (q.m_x - dx) + s * (q.m_y - dy);
      back.emplace_back(mirror ? -x : x, -s * (q.m_x - dx) + c * (q.m_y - dy));
    }
    for (std::size_t k = 0; k < back.size(); ++k) {
      const CKelCoord2D& p = back[k];
      const CKelCoord2D& q = back[(k + 1) % back.size()];
      twice += p.m_x * q.m_y - q.m_x * p.m_y;
    }
    if (mirror)
      std::reverse(back.begin(), back.end());
    std::sort(back.begin(), back.end(), [](const CKelCoord2D& p, const CKelCoord2D& q) {
      return p.m_x != q.m_x ? p.m_x < q.m_x : p.m_y < q.m_y;
    });
    if (at == 0) {
      area = std::fabs(twice) / 2;
      kept = back;
      continue;
    }
    EXPECT_NEAR(std::fabs(twice) / 2, area, 1e-9) << at;
    for (std::size_t k = 0; k < kept.size(); ++k)
      EXPECT_LE(kept[k].GetLength(back[k]), 1e-9) << at << ", point " << k;
  }
}

}  // namespace
