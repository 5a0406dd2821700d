#include <gtest/gtest.h>

#include <cmath>
#include <vector>
#include <string>
#include <utility>

#include "CSyasenCheckSiteRuns.h"
#include "SlantFixtures.h"
#include "SlantHalfPlane.h"

namespace {

using namespace slant_test;

CKelBlockCubeList List(std::initializer_list<CKelBlockCube> blocks) { return CKelBlockCubeList(blocks); }

double Volume(const CKelBlockCube& b)
{
  // A level top over a level bottom: the plan area times the height.
  return std::fabs(b.CalcArea()) * (b.m_Coord[0].m_z - b.m_Coord[0].m_zL);
}

TEST(BaseBlocks, HalfCutsAtBothEndsLeaveTheTriangleUnderTheBisectors)
{
  CKelHSite site = Rect20x15();
  TestCheckBlock blk;
  CSyasenCheckBlockParam p = EdgeZeroCheck();
  p.m_CalcKind.m_BegCutKind = 1;
  p.m_CalcKind.m_EndCutKind = 1;
  p.m_SrcBlock.AddBlock(Box(0, 0, 20, 15, 10));
  p.CreateBlock1(nullptr, &site, &blk, 0);
  ASSERT_EQ(p.m_BaseBlock.Size(), 1);
  const CKelBlockCube& t = p.m_BaseBlock[0];
  ASSERT_EQ(t.m_Coord.size(), 3u);
  EXPECT_NEAR(t.CalcArea(), 100, 1e-9);
  EXPECT_NEAR(Volume(t), 1000, 1e-9);
  EXPECT_NEAR(t.YMax(), 10, 1e-9);
  EXPECT_TRUE(CSyasenCheckBlockParam::IsBaseOnly(t));
  EXPECT_TRUE(t.IsPlaneEuqationSet(false));
  EXPECT_TRUE(t.IsPlaneEuqationSet(true));
}

// A road frontage in `chords` sides of `len` turning by turns[k] degrees
// after side k, closed by a back side `depth` behind it; every frontage side
// checked from its own start to its own end with half cuts over the lot's
// own volume, against the half-plane reading. Below the tiny size's sagitta
// the sides join into one run, whose far corners must not cut the side.
struct Frontage {
  std::vector<CKelCoord2D> m_Pts;
  int m_Sides = 0;
};

Frontage BentFrontage(const std::vector<double>& turns, double len, double depth)
{
  Frontage f;
  double x = 0, y = 0, dir = 0;
  for (double t : turns) {
    f.m_Pts.emplace_back(x, y);
    x += len * std::cos(dir);
    y += len * std::sin(dir);
    dir += t * KelAngle::Pi / 180;
  }
  f.m_Pts.emplace_back(x, y);
  f.m_Pts.emplace_back(x - 3, y + depth);
  f.m_Pts.emplace_back(4, depth);
  f.m_Sides = static_cast<int>(turns.size());
  return f;
}

// How each side is checked: half cuts at both ends, or vertical cuts with
// the base line's squares 2 m beyond the ends.
enum class Cuts { Half, Vertical };
constexpr double kVertOffset = 2;

// The frontage's lot, its frontage sides on a 6 m road.
CKelHSite FrontageSite(const Frontage& f)
{
  CKelHSite site = Site(f.m_Pts);
  for (int k = 0; k < f.m_Sides; ++k) {
    CKelSiteTable& v = site.m_pt[static_cast<std::size_t>(k)];
    v.COND = CKelSiteTable::kRoad;
    v.m_RoadWidthBeg = v.m_RoadWidthEnd = 6;
    v.CheckRoadWuser();
  }
  return site;
}

// Each side's area over the model's.
std::vector<double> SideShares(const Frontage& f, Cuts cuts)
{
  CKelHSite site = FrontageSite(f);
  std::vector<double> shares;
  for (int k = 0; k < f.m_Sides; ++k) {
    CSyasenCheckBlockParam p;
    p.m_SiteNo = k;
    p.m_BegPoint = f.m_Pts[static_cast<std::size_t>(k)];
    p.m_EndPoint = f.m_Pts[static_cast<std::size_t>(k + 1)];
    CSyasenCheckCalcKind& kind = p.m_CalcKind;
    kind.m_BegCutKind = kind.m_EndCutKind = cuts == Cuts::Half ? 1 : 2;
    if (cuts == Cuts::Vertical) {
      kind.m_BegBaseKind = kind.m_EndBaseKind = 3;
      kind.m_BegBaseOffset = kind.m_EndBaseOffset = kVertOffset;
    }
    p.m_SrcBlock.AddBlock(LotBlock(site, 10));
    TestCheckBlock blk;
    CSyasenCheck driver;
    EXPECT_EQ(p.CreateBlock1(&driver, &site, &blk, 0), 0);
    CRoadLineParam line;
    EXPECT_TRUE(blk.GetBaseLine(&driver, &site, &p, 1, line, 0.0));
    const double model =
        cuts == Cuts::Half
            ? slant_model::HalfCutArea(f.m_Pts, f.m_Pts, p.m_BegPoint, p.m_EndPoint, line.m_Cos, line.m_Sin)
            : slant_model::VertCutArea(f.m_Pts, f.m_Pts, p.m_BegPoint, p.m_EndPoint, line.m_Cos, line.m_Sin,
                                       kVertOffset, kVertOffset);
    shares.push_back(PlanArea(p.m_BaseBlock) / model);
  }
  return shares;
}

// Where the arc round each end of side k starts, against the model: round
// an end whose corner turns away from the site, from the outward normal of
// the side beyond, at the end's distance from the base line; none where the
// corner turns towards the site. Empty when both ends agree.
std::string ArcGap(const Frontage& f, int k)
{
  CKelHSite site = FrontageSite(f);
  CSyasenCheckBlockParam p;
  p.m_SiteNo = k;
  p.m_BegPoint = f.m_Pts[static_cast<std::size_t>(k)];
  p.m_EndPoint = f.m_Pts[static_cast<std::size_t>(k + 1)];
  TestCheckBlock blk;
  CSyasenCheck driver;
  CRoadLineParam line;
  if (!blk.GetBaseLine(&driver, &site, &p, 1, line, 0.0))
    return "no base line";
  std::string gaps;
  for (const bool atBegin : {true, false}) {
    const CKelCoord2D& c = atBegin ? p.m_BegPoint : p.m_EndPoint;
    slant_model::Dir in, out;
    slant_model::SidesAt(f.m_Pts, c, &in, &out);
    const slant_model::Dir& beyond = atBegin ? in : out;
    const double r = (c.m_y - line.m_Beg.m_y) * line.m_Cos - (c.m_x - line.m_Beg.m_x) * line.m_Sin;
    const bool away = in.x * out.y - in.y * out.x < 0;
    CKelCoord2D q;
    const bool got = atBegin ? p.GetBegArcParam(&driver, &site, line, false, &q)
                             : p.GetEndArcParam(&driver, &site, line, false, &q);
    const std::string end = atBegin ? "begin" : "end";
    if (got != away)
      gaps += end + (got ? " has an arc; " : " has none; ");
    else if (got && q.GetLength(CKelCoord2D(c.m_x + r * beyond.y, c.m_y - r * beyond.x)) > 1e-9)
      gaps += end + " arc starts at " + std::to_string(q.m_x) + ", " + std::to_string(q.m_y) + "; ";
  }
  return gaps;
}

TEST(BaseBlocks, ASideInsideARunIsCutAtItsOwnEndsAsABendGrowsThroughTheTinySize)
{
  // Four 12 m sides bending +b, -1.5b, +b: the sides join into one run below
  // about 0.4 degrees. The inner sides' cuts and arcs are those of their own
  // corners at every bend.
  for (double b : {0.05, 0.1, 0.2, 0.3, 0.4, 0.5, 1.0, 3.0, 5.0}) {
    const Frontage f = BentFrontage({b, -1.5 * b, b, 0}, 12, 22);
    for (const Cuts cuts : {Cuts::Half, Cuts::Vertical}) {
      const std::vector<double> shares = SideShares(f, cuts);
      for (std::size_t k = 1; k + 1 < shares.size(); ++k)
        EXPECT_NEAR(shares[k], 1, 0.01) << b << " degrees, side " << k << (cuts == Cuts::Half ? ", half" : ", vertical");
    }
    for (int k = 1; k + 1 < f.m_Sides; ++k)
      EXPECT_EQ(ArcGap(f, k), "") << b << " degrees, side " << k;
  }
  // A 40 m arc bulging 3 m into the road, drawn in 80 chords: each chord
  // within 5 % of its own wedge.
  const double sweep = std::atan(3.0 / 20) * 2, radius = 20 / std::sin(sweep);
  std::vector<double> turns(80, -2 * sweep / 80 * 180 / KelAngle::Pi);
  turns.back() = 0;
  Frontage arc = BentFrontage(turns, 2 * radius * std::sin(sweep / 80), 22);
  // A chord ending at a corner of the arc's runs (every ten chords or so)
  // meets that run's chord there, which the vertical cuts and the arcs read;
  // the model reads the chord beside it. Every other chord's ends lie inside a run.
  const CKelHSite arcSite = FrontageSite(arc);
  const CSyasenCheckSiteRuns runs(&arcSite);
  const std::vector<double> half = SideShares(arc, Cuts::Half), vertical = SideShares(arc, Cuts::Vertical);
  int inside = 0;
  for (std::size_t k = 1; k + 1 < half.size(); ++k) {
    EXPECT_NEAR(half[k], 1, 0.05) << "chord " << k << ", half";
    if (runs.RunStartingAt(arc.m_Pts[k]) >= 0 || runs.RunStartingAt(arc.m_Pts[k + 1]) >= 0)
      continue;
    ++inside;
    EXPECT_NEAR(vertical[k], 1, 0.05) << "chord " << k << ", vertical";
    EXPECT_EQ(ArcGap(arc, static_cast<int>(k)), "") << "chord " << k;
  }
  EXPECT_GE(inside, 40);
}

TEST(BaseBlocks, CutRemovesWhatLiesOnTheDeletedSideAndKeepsTheRest)
{
  struct Row {
    const char* what;
    CKelBlockCube block;
    std::size_t kept;
    double area;
  };
  // Cut along x = 5 upwards, deleting the right side (x > 5).
  const Row rows[] = {
      {"wholly on the deleted side", Box(6, 0, 8, 2, 3), 0, 0},
      {"wholly on the kept side", Box(0, 0, 4, 2, 3), 1, 8},
      {"straddling", Box(3, 0, 8, 2, 3), 1, 4},
      {"touching the line from the kept side", Box(1, 0, 5, 2, 3), 1, 8},
  };
  for (const Row& r : rows) {
    CKelBlockCubeList blocks = List({r.block});
    CSyasenCheckBlockParam::CutBlock(blocks, CKelCoord2D(5, 0), CKelCoord2D(5, 1), 2);
    ASSERT_EQ(blocks.size(), r.kept) << r.what;
    if (r.kept == 1) {
      EXPECT_NEAR(std::fabs(blocks[0].CalcArea()), r.area, 1e-9) << r.what;
    }
  }
}

TEST(BaseBlocks, VerticalCutAtALeftTurningCornerChangesNothing)
{
  CKelHSite site = Rect20x15();
  const CSyasenCheckBlockParam p = EdgeZeroCheck();
  CKelBlockCubeList blocks = List({Box(-5, -5, 25, 15, 10)});
  const CKelBlockCubeList before = blocks;
  p.DoBegVertCut(nullptr, &site, blocks, 0);
  p.DoEndVertCut(nullptr, &site, blocks, 0);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_FALSE(blocks[0] != before[0]);
}

TEST(BaseBlocks, VerticalCutAtARightTurningCornerCutsSquareToThePreviousEdge)
{
  // The edge before (0, 0) comes up from (-5, -5): the corner turns away.
  CKelHSite site = Site({{0, 0}, {20, 0}, {20, 15}, {-5, 15}, {-5, -5}});
  const CSyasenCheckBlockParam p = EdgeZeroCheck();
  CKelBlockCubeList blocks = List({Box(-10, -10, 20, 15, 10)});
  p.DoBegVertCut(nullptr, &site, blocks, 0);
  double area = 0;
  for (const CKelBlockCube& b : blocks)
    area += std::fabs(b.CalcArea());
  // Only what lies behind (0, 0) square to the previous edge, on its
  // outside, is cut off.
  EXPECT_LT(area, 30.0 * 25.0);
  EXPECT_GT(area, 0.0);
}

TEST(BaseBlocks, StoredSelectorsOutOfRangeMakeNoCut)
{
  CKelHSite site = Rect20x15();
  for (int edge : {-1, 4, 1000}) {
    CSyasenCheckBlockParam p = EdgeZeroCheck();
    CKelBlockCubeList blocks = List({Box(0, 0, 20, 15, 10)});
    p.DoBegHalfCut(nullptr, &site, blocks, edge);
    p.DoEndVertCut(nullptr, &site, blocks, edge);
    p.DoHorzCut(nullptr, &site, blocks, edge);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_DOUBLE_EQ(blocks[0].CalcArea(), 300);
  }
  CSyasenCheckBlockParam p = EdgeZeroCheck();
  p.m_CalcKind.m_BegCutKind = 9;
  p.m_CalcKind.m_EndBaseKind = -3;
  const CKelBlockCubeArray out = p.CreateBaseBlock(nullptr, &site, nullptr, [] {
    CKelBlockCubeArray a;
    a.AddBlock(Box(0, 0, 20, 15, 10));
    return a;
  }(), true, nullptr);
  ASSERT_EQ(out.Size(), 1);
  EXPECT_TRUE(CSyasenCheckBlockParam::IsPlanOnly(out[0]));
}

// A check that cannot be made is refused with its code by both forms, and
// leaves nothing of an earlier run: no base blocks, check line or points.
TEST(CheckRefusal, BothFormsRefuseWhatTheyCannotCheckAndMakeNothing)
{
  struct Row {
    const char* what;
    void (*set)(CSyasenCheckBlockParam&, double&);
    int code;
    void (*spoil)(CKelHSite&) = nullptr;
  };
  const auto keep = [](CSyasenCheckBlockParam&, double&) {};
  const Row rows[] = {
      {"a clean check", [](CSyasenCheckBlockParam&, double&) {}, 0},
      {"begin equal to the end", [](CSyasenCheckBlockParam& p, double&) { p.m_EndPoint = p.m_BegPoint; }, 0},
      {"edge -1", [](CSyasenCheckBlockParam& p, double&) { p.m_SiteNo = -1; }, CSyasenCheckBlockParam::kNoEdge},
      {"edge 4 of four", [](CSyasenCheckBlockParam& p, double&) { p.m_SiteNo = 4; }, CSyasenCheckBlockParam::kNoEdge},
      {"begin after the end",
       [](CSyasenCheckBlockParam& p, double&) { std::swap(p.m_BegPoint, p.m_EndPoint); },
       CSyasenCheckBlockParam::kBegAfterEnd},
      {"begin 0.1 mm past the end",
       [](CSyasenCheckBlockParam& p, double&) { p.m_BegPoint = CKelCoord2D(20.0001, 0); },
       CSyasenCheckBlockParam::kBegAfterEnd},
      {"begin x NaN", [](CSyasenCheckBlockParam& p, double&) { p.m_BegPoint.m_x = std::nan(""); },
       CSyasenCheckBlockParam::kNotFinite},
      {"end y infinite", [](CSyasenCheckBlockParam& p, double&) { p.m_EndPoint.m_y = -HUGE_VAL; },
       CSyasenCheckBlockParam::kNotFinite},
      {"ground height NaN", [](CSyasenCheckBlockParam& p, double&) { p.m_GrdHeight = std::nan(""); },
       CSyasenCheckBlockParam::kNotFinite},
      {"ground level NaN", [](CSyasenCheckBlockParam& p, double&) { p.m_GrdLevel2 = std::nan(""); },
       CSyasenCheckBlockParam::kNotFinite},
      {"base offset NaN", [](CSyasenCheckBlockParam& p, double&) { p.m_CalcKind.m_EndBaseOffset = std::nan(""); },
       CSyasenCheckBlockParam::kNotFinite},
      {"bottom NaN", [](CSyasenCheckBlockParam&, double& bottom) { bottom = std::nan(""); },
       CSyasenCheckBlockParam::kNotFinite},
      {"pitch NaN", [](CSyasenCheckBlockParam& p, double&) { p.m_CpntPitch = std::nan(""); },
       CSyasenCheckBlockParam::kNotFinite},
      {"check end infinite", [](CSyasenCheckBlockParam& p, double&) { p.m_CheckEnd = HUGE_VAL; },
       CSyasenCheckBlockParam::kNotFinite},
      {"a site corner NaN", keep, CSyasenCheckBlockParam::kNotFinite,
       [](CKelHSite& site) { site.m_pt[2].m_x = std::nan(""); }},
      {"a site edge's stored direction infinite", keep, CSyasenCheckBlockParam::kNotFinite,
       [](CKelHSite& site) { site.m_pt[3].m_Sphere.m_EdgeSin = HUGE_VAL; }},
  };
  TestCheckBlock blk;
  CSyasenCheck driver;
  for (const Row& r : rows) {
    for (int form = 0; form < 2; ++form) {
      SCOPED_TRACE(std::string(r.what) + (form == 0 ? ", basic form" : ", radial form"));
      CKelHSite site = Rect20x15();
      if (r.spoil != nullptr)
        r.spoil(site);
      CSyasenCheckBlockParam p = EdgeZeroCheck();
      p.m_CalcKind.m_BegCpntKind = p.m_CalcKind.m_EndCpntKind = 1;
      p.m_CalcKind.m_CalcType = form;
      p.m_CheckLength = 20;
      p.m_CheckEnd = -1;
      p.m_CpntPitch = 5;
      p.m_SrcBlock.AddBlock(Box(0, 0, 20, 15, 10));
      // What an earlier run left.
      p.m_BaseBlock.AddBlock(Box(0, 0, 1, 1, 1));
      p.m_SphereRatio.resize(2);
      p.m_SphereRatio2.resize(2);
      p.m_Cpntline.resize(1);
      double bottom = 0;
      r.set(p, bottom);
      EXPECT_EQ(p.CheckError(&site, bottom, true), r.code);
      const int got = form == 0 ? p.CreateBlock1(&driver, &site, &blk, bottom, true)
                                : p.CreateBlock2(&driver, &site, &blk, bottom);
      EXPECT_EQ(got, r.code);
      if (r.code == 0)
        continue;
      EXPECT_TRUE(p.m_BaseBlock.empty());
      EXPECT_TRUE(p.m_Cpntline.empty());
      EXPECT_TRUE((form == 0 ? p.m_SphereRatio : p.m_SphereRatio2).empty());
    }
  }
  // No site has no edges.
  EXPECT_EQ(EdgeZeroCheck().CheckError(nullptr, 0, false), CSyasenCheckBlockParam::kNoEdge);
}

TEST(BaseBlocks, RadialBaseLinesCutAlongTheRaysToTheCheckPoint)
{
  CKelHSite site = Rect20x15();
  CSyasenCheckBlockParam p = EdgeZeroCheck();
  p.m_CalcKind.m_CalcType = 1;
  p.m_CalcKind.m_BegBaseKind = 4;
  p.m_CalcKind.m_EndBaseKind = 4;
  CSphereRatioParam cpnt;
  cpnt.m_RatioRecord.m_x = -10;
  cpnt.m_RatioRecord.m_y = -10;
  cpnt.m_bBaseCut = false;
  CKelBlockCubeArray src;
  src.AddBlock(Box(-10, 0, 20, 15, 10));
  // The ray from (0, 0) to the check point cuts off what lies above y = x;
  // the ray from (20, 0) misses the block.
  const CKelBlockCubeArray wedge = p.CreateBaseBlock(nullptr, &site, nullptr, src, false, &cpnt);
  EXPECT_NEAR(PlanArea(wedge), 450 - 262.5, 1e-9);
  // With the base cut the part cut off comes back where it lies on the
  // site's side of the edge and behind the square to the ray through (0, 0):
  // the triangle (-10, 0), (0, 0), (-10, 10).
  cpnt.m_bBaseCut = true;
  const CKelBlockCubeArray all = p.CreateBaseBlock(nullptr, &site, nullptr, src, false, &cpnt);
  EXPECT_NEAR(PlanArea(all), 450 - 262.5 + 50, 1e-9);
  // Set positions move the rays' ends: from (-20, 0) the begin ray passes
  // below the block.
  cpnt.m_bBaseCut = false;
  cpnt.m_bUsePoint = true;
  cpnt.m_BegPoint = CKelCoord2D(-20, 0);
  cpnt.m_EndPoint = CKelCoord2D(20, 0);
  EXPECT_NEAR(PlanArea(p.CreateBaseBlock(nullptr, &site, nullptr, src, false, &cpnt)), 450, 1e-9);
}

TEST(RetainingWalls, MadeOnlyWhenTheGroundStandsAboveALevelAndAboveTheBottom)
{
  struct Row {
    double ground, level1, level2, bottom;
    bool made;
  };
  for (const Row& r : {Row{1.5, 0, 0, 0, true}, Row{1.5, 2, 0, 0, true}, Row{1.5, 2, 2, 0, false},
                       Row{0, 0, 0, -1, false}, Row{1.5, 0, 0, 1.5, false}, Row{1.5, 0, 0, 2, false}}) {
    CSyasenCheckBlockParam p;
    p.m_GrdHeight = r.ground;
    p.m_GrdLevel1 = r.level1;
    p.m_GrdLevel2 = r.level2;
    p.m_YouhekiBlock.AddBlock(Box(0, 0, 4, 1, 0));
    p.m_YouhekiBlock.AddBlock(Box(5, 0, 6, 1, 0, 0.5));  // a raised wall is not one
    const CKelBlockCubeArray walls = p.CreateYouhekiBlock(r.bottom);
    ASSERT_EQ(walls.Size(), r.made ? 1 : 0) << r.ground << " " << r.bottom;
    if (r.made) {
      for (const CKelBlockCoord& v : walls[0].m_Coord) {
        EXPECT_EQ(v.m_z, r.ground);
        EXPECT_EQ(v.m_zL, r.bottom);
      }
    }
  }
}

TEST(CheckRange, ASubRangeIsTakenOnlyWhenItLiesInTheStretch)
{
  struct Row {
    double start, end, from, to;
  };
  for (const Row& r : {Row{2, 5, 2, 4}, Row{2, -1, 0, 4}, Row{4, 5, 0, 4}, Row{-1, 3, 0, 3}}) {
    CSyasenCheckBlockParam p;
    p.m_CheckLength = 4;
    p.m_CheckStart = r.start;
    p.m_CheckEnd = r.end;
    double from = 0, to = 0;
    p.GetCheckRange(&from, &to);
    EXPECT_EQ(from, r.from);
    EXPECT_EQ(to, r.to);
  }
}

TEST(CheckSettings, PitchDefaultsToHalfTheDistanceAndRoadDistancesStayUnique)
{
  CSyasenCheckBlockParam p;
  p.m_CpntDistance = 4.0;
  p.GetCpntPitch();
  EXPECT_EQ(p.m_CpntPitch, 2.0);
  p.m_CpntPitch = 1.5;
  p.GetCpntPitch();
  EXPECT_EQ(p.m_CpntPitch, 1.5);
  CSyasenCheckRoadDistanceArray d;
  d.Add(4.0);
  d.Add(6.0);
  d.Add(4.0);
  EXPECT_EQ(d, (std::vector<double>{4.0, 6.0}));
}

}  // namespace
