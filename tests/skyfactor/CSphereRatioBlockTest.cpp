#include "CSphereRatioBlock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <random>
#include <utility>
#include <vector>

#include "CDividTriangle.h"
#include "DividTriangleLiteral.h"
#include "KelTestSupport.h"
#include "SkyBlocks.h"
#include "SkyProgress.h"

namespace {

using kel_test::ByteBuilder;
using kel_test::Bytes;
using sky_test::Blocks;
using sky_test::Box;

struct Settings {
  int step = 10;
  bool sansya = false;
  int nRound = -1;
  bool side2 = false;
  int kind = 2;
  bool inProjection = false;
  bool mirror = false;
  double angle = 0;
  CKelCoord3D chk{0, 0, 0};
};

struct Result {
  int code = -1;
  double ratio = -2;
  CSphereRatioBlock block;
};

Result Calc(const CKelBlockCubeArray& blocks, const Settings& s, CKelProgressCore* progress = nullptr)
{
  Result r;
  r.block.m_AngleStep = s.step;
  r.block.m_bSide2 = s.side2;
  r.block.m_ExpandKind = s.kind;
  r.block.m_bExpandInProjection = s.inProjection;
  r.code = r.block.CalcSphereRatio(progress, s.nRound, s.angle, s.mirror, blocks, s.chk, &r.ratio, s.sansya);
  return r;
}

struct Golden {
  const char* name;
  CKelBlockCubeArray blocks;
  double step10, step1, exact;
};

std::vector<Golden> Goldens()
{
  return {
      {"G2 box", Blocks({Box(-5, 5, 10, 20, 20)}), 0.883702486, 0.883731869, 0.883732223},
      {"G3 wall", Blocks({Box(-50, 50, 10, 15, 10)}), 0.852930593, 0.854329932, 0.854344921},
      {"G4 box aside", Blocks({Box(10, 20, 10, 20, 15)}), 0.955786901, 0.955983455, 0.955986601},
      {"G6 half the sky", Blocks({Box(-1000, 1000, 0.5, 1000, 1e5)}), 0.500159171, 0.500159171, 0.500159171},
      {"G7 floating box", Blocks({Box(-5, 5, 10, 20, 20, 10)}), 0.921899334, 0.921526399, 0.921518646},
  };
}

TEST(CSphereRatioBlock, GoldenRatiosOfTheOutlineMethod)
{
  for (const Golden& g : Goldens()) {
    for (int step : {10, 1}) {
      Settings s;
      s.step = step;
      const Result r = Calc(g.blocks, s);
      ASSERT_EQ(0, r.code) << g.name;
      EXPECT_NEAR(step == 10 ? g.step10 : g.step1, r.ratio, 1e-9) << g.name << " step " << step;
      EXPECT_EQ(r.ratio, r.block.GetRatio());
      if (step == 1) {
        EXPECT_NEAR(g.exact, r.ratio, 2e-5) << g.name;
      }
    }
  }
  for (const CKelBlockCubeArray& open : {Blocks({}), Blocks({Box(-5, 5, 10, 20, -1, -5)})}) {
    for (bool sansya : {false, true}) {
      Settings s;
      s.sansya = sansya;
      const Result r = Calc(open, s);
      EXPECT_EQ(0, r.code);
      EXPECT_EQ(1.0, r.ratio);
    }
  }
}

TEST(CSphereRatioBlock, BowsRoundedAtTheSeventhDecimal)
{
  const CKelBlockCubeArray g2 = Goldens()[0].blocks;
  for (const auto& [nRound, ratio] : {std::pair{0, 0.8837024399}, {1, 0.8837026309}}) {
    Settings s;
    s.nRound = nRound;
    EXPECT_NEAR(ratio, Calc(g2, s).ratio, 1e-10) << nRound;
  }
}

TEST(CSphereRatioBlock, SectorMethodsAgreeWithTheOutlineMethod)
{
  for (const Golden& g : Goldens()) {
    if (std::string(g.name).find("G6") == 0)
      continue;
    Settings s;
    const double outline = Calc(g.blocks, s).ratio;
    // The two-sided fans count the sky under a block's upper boundary as
    // covered: the floating box has the sky of the same box on the ground.
    const bool floating = std::string(g.name).find("G7") == 0;
    const double grounded = floating ? Calc(Goldens()[0].blocks, s).ratio : outline;
    s.sansya = true;
    for (bool side2 : {false, true}) {
      s.side2 = side2;
      s.nRound = -1;
      const Result exact = Calc(g.blocks, s);
      ASSERT_EQ(0, exact.code) << g.name;
      EXPECT_NEAR(side2 ? grounded : outline, exact.ratio, 1e-9) << g.name << " side2 " << side2;
      if (!side2) {
        s.nRound = 0;
        EXPECT_LE(Calc(g.blocks, s).ratio, exact.ratio) << g.name;
        s.nRound = 1;
        EXPECT_GE(Calc(g.blocks, s).ratio, exact.ratio) << g.name;
      }
    }
  }
}

TEST(CSphereRatioBlock, MirrorTurnAndMoveLeaveTheRatio)
{
  const double angle = 0.7;
  const CKelBlockCubeArray base = Blocks({Box(-5, 5, 10, 20, 20), Box(10, 20, 10, 20, 15)});
  const CKelBlockCubeArray turned =
      Blocks({Box(-5, 5, 10, 20, 20, 0, angle, 1000, 2000, 50), Box(10, 20, 10, 20, 15, 0, angle, 1000, 2000, 50)});
  for (bool sansya : {false, true}) {
    Settings s;
    s.sansya = sansya;
    const double plain = Calc(base, s).ratio;
    s.mirror = true;
    EXPECT_EQ(plain, Calc(base, s).ratio) << sansya;
    s.mirror = false;
    s.angle = angle;
    s.chk = CKelCoord3D(1000, 2000, 50);
    const Result moved = Calc(turned, s);
    ASSERT_EQ(0, moved.code);
    EXPECT_NEAR(plain, moved.ratio, 1e-9) << sansya;
  }
}

TEST(CSphereRatioBlock, AngularGroups)
{
  const CKelBlockCubeArray blocks = Blocks({Box(-5, 5, 10, 20, 20), Box(-20, -10, -20, -10, 5)});
  const CKelCoord3D chk(0, 0, 0);
  EXPECT_EQ(36u, CSphereRatioBlock::DivideBlock(blocks, &chk, 0.3, 10).size());
  EXPECT_EQ(2u, CSphereRatioBlock::DivideBlock(blocks, &chk, 0.3, 0).size());
  EXPECT_EQ(2u, CSphereRatioBlock::DivideBlock(blocks, &chk, 0.3, 180).size());
  const std::vector<CKelBlockCubeArray> seven = CSphereRatioBlock::DivideBlock(blocks, &chk, 0, 7);
  ASSERT_EQ(52u, seven.size());
  // The box ahead lies in the left half (the second 26 groups), between
  // 63 and 117 degrees: the sectors 9 ... 16 of width 7.
  for (std::size_t g = 0; g < seven.size(); ++g) {
    const bool expected = g >= 26 + 9 && g <= 26 + 16;
    EXPECT_EQ(expected, !seven[g].empty() && seven[g][0].ZMax() == 20) << g;
  }
}

TEST(CSphereRatioBlock, RefusedCalculationsKeepMinusOne)
{
  const CKelBlockCubeArray g3 = Goldens()[1].blocks;
  struct Case {
    const char* name;
    Settings s;
    CKelBlockCubeArray blocks;
  };
  Settings noStep;
  noStep.step = 0;
  Settings recordStep;
  recordStep.step = -1;
  recordStep.sansya = true;
  Settings kind0;
  kind0.kind = 0;
  Settings kind1InProjection;
  kind1InProjection.kind = 1;
  kind1InProjection.inProjection = true;
  Settings under;
  under.sansya = true;
  const Case cases[] = {
      {"angle step 0", noStep, g3},
      {"angle step of an old record", recordStep, g3},
      {"outline method, expansion 0", kind0, g3},
      {"outline method, expansion 1 in projection", kind1InProjection, g3},
      {"check point under a block", under, Blocks({Box(-5, 5, -5, 5, 10)})},
  };
  for (const Case& c : cases) {
    const Result r = Calc(c.blocks, c.s);
    EXPECT_EQ(1, r.code) << c.name;
    EXPECT_EQ(-1.0, r.ratio) << c.name;
    EXPECT_EQ(-1.0, r.block.m_Ratio) << c.name;
  }
  // The sector method keeps its pieces within one sector: the expansions run.
  for (int kind : {0, 1}) {
    for (bool inProjection : {false, true}) {
      Settings s;
      s.sansya = true;
      s.kind = kind;
      s.inProjection = inProjection;
      const Result r = Calc(g3, s);
      EXPECT_EQ(0, r.code) << kind << inProjection;
      EXPECT_GT(r.ratio, 0.85293) << kind << inProjection;
      EXPECT_LT(r.ratio, 1) << kind << inProjection;
    }
  }
}

TEST(CSphereRatioBlock, CancelKeepsTheOutlinesSoFar)
{
  const CKelBlockCubeArray blocks = Blocks({Box(-50, 50, 10, 15, 10), Box(10, 20, -20, -10, 15)});
  for (bool sansya : {false, true}) {
    for (int at : {1, 3, sansya ? 20 : 2}) {
      sky_test::Progress progress;
      progress.cancelAtStep = at;
      Settings s;
      s.sansya = sansya;
      const Result r = Calc(blocks, s, &progress);
      EXPECT_EQ(1, r.code) << sansya << at;
      EXPECT_EQ(-1.0, r.ratio);
      if (sansya && at == 20) {
        EXPECT_FALSE(r.block.m_Block.empty());
      }
    }
    sky_test::Progress quiet;
    Settings s;
    s.sansya = sansya;
    const Result done = Calc(blocks, s, &quiet);
    EXPECT_EQ(0, done.code);
    EXPECT_FALSE(quiet.texts.empty());
    EXPECT_EQ(Calc(blocks, s).ratio, done.ratio);
  }
}

TEST(CSphereRatioBlock, OutlinesDivideAsTheLiteralDivision)
{
  for (const Golden& g : Goldens()) {
    for (bool sansya : {false, true}) {
      Settings s;
      s.sansya = sansya;
      const Result r = Calc(g.blocks, s);
      ASSERT_EQ(0, r.code);
      for (const CSphereRatioBlockParam& param : r.block.m_Block) {
        std::vector<CKelCoord2D> xy;
        for (const CSphereCoordD2D& p : param.m_pt)
          xy.push_back(p.m_Pos);
        literal::DividTriangle reference(xy);
        CDividTriangle division(&param.m_pt);
        ASSERT_EQ(reference.Do(-1), division.Do(-1)) << g.name;
        ASSERT_EQ(reference.triangles.size(), division.m_Triangles.size()) << g.name;
        for (std::size_t t = 0; t < reference.triangles.size(); ++t)
          EXPECT_EQ(reference.triangles[t], division.m_Triangles[t]) << g.name << " " << t;
        if (sansya) {
          EXPECT_EQ(division.m_Triangles, param.m_Triangle) << g.name;
        }
      }
    }
  }
}

TEST(CSphereRatioBlock, SumsAndBows)
{
  EXPECT_DOUBLE_EQ(3.141592653589793 / 2, CSphereRatioBlock::CalcBowShapeArea(3.141592653589793));
  EXPECT_DOUBLE_EQ(3.141592653589793, CSphereRatioBlock::CalcBowShapeArea(2 * 3.141592653589793));
  EXPECT_EQ(0.0, CSphereRatioBlock::CalcBowShapeArea(0));
  EXPECT_EQ(0.0, CSphereRatioBlock::CalcBowShapeArea(-1));
  CSphereRatioBlock r;
  r.CalcRatio(false, 0);
  EXPECT_EQ(1.0, r.m_Ratio);
  CSphereRatioBlockParam flat;
  flat.m_BowShape.emplace_back(0.5, 0.5, 9);
  flat.m_BowShape.emplace_back(0.7, 0.5, 9);  // stored backwards: covers nothing
  r.m_Block.push_back(flat);
  r.CalcRatio(false, -1);
  EXPECT_EQ(1.0, r.m_Ratio);
  EXPECT_EQ(0.0, r.GetBowShapeArea(-1));
}

TEST(CSphereRatioBlock, ExpansionOfStoredOutlines)
{
  // Found by fuzzing: a stored azimuth of 1e300 walked the sectors without
  // end.
  const auto outline = [](std::initializer_list<std::pair<double, double>> azimuthElevation) {
    CSphereRatioBlockParam p;
    for (const auto& [ad, ae] : azimuthElevation) {
      CSphereCoordD2D q(0, 0, ad, ae, 0);
      q.ConvertCoordXY();
      p.m_pt.push_back(q);
    }
    return p;
  };
  CSphereRatioBlock r;
  r.m_ExpandKind = 0;
  r.m_Block.push_back(outline({{1e300, 0.2}, {-1e300, 0.2}, {0.5, 0.5}}));
  r.BlockExpand();
  // A point falling along the outline at the middle of its 10 degree sector
  // keeps its elevation; one at the sector's start is lowered.
  const double deg = 3.141592653589793 / 180;
  CSphereRatioBlock e;
  e.m_ExpandKind = 0;
  e.m_Block.push_back(outline({{25 * deg, 0.5}, {20 * deg, 0.5}, {20 * deg, 0}, {25 * deg, 0}}));
  ASSERT_GT(e.m_Block[0].CalcArea(), 0);
  e.BlockExpand();
  EXPECT_NEAR(0.5, e.m_Block[0].m_pt[0].m_AE, 1e-15);
  EXPECT_NEAR(std::acos(std::cos(0.5) / std::cos(5 * deg)), e.m_Block[0].m_pt[1].m_AE, 1e-15);
}

// The elevation the expansion of kind 0 at 10 degrees gives each point of
// an outline of (azimuth, elevation) points, in degrees and radians.
std::vector<double> Expanded(const std::vector<std::pair<double, double>>& points)
{
  const double deg = 3.141592653589793 / 180;
  CSphereRatioBlockParam p;
  for (const auto& [ad, ae] : points) {
    CSphereCoordD2D q(0, 0, ad * deg, ae, 0);
    q.ConvertCoordXY();
    p.m_pt.push_back(q);
  }
  CSphereRatioBlock r;
  r.m_ExpandKind = 0;
  r.m_Block.push_back(p);
  r.BlockExpand();
  std::vector<double> out;
  for (const CSphereCoordD2D& q : r.m_Block[0].m_pt)
    out.push_back(q.m_AE);
  return out;
}

TEST(CSphereRatioBlock, ExpansionMovesNoPointFarForASmallMove)
{
  const double deg = 3.141592653589793 / 180;
  // A low corner 4.5 degrees off its sector's middle, just above and just
  // below the elevation at which the widening reaches the horizon: both go
  // there, neither stays whole degrees up.
  for (double e : {4.5 * deg - 1e-9, 4.5 * deg + 1e-9}) {
    const std::vector<double> low = Expanded({{25, 0.5}, {20.5, e}, {20.5, 0}, {25, 0}});
    EXPECT_LT(low[1], 1e-4) << e;
    EXPECT_GT(low[1], 0) << e;
  }
  // A top corner whose side turns through the ray, either way: the corner
  // is lowered as far, give or take a few hundredths, as with the side
  // standing along the ray.
  const auto corner = [](double tilt) { return Expanded({{25, 0.5}, {21, 0.5}, {21 + tilt, 0.2}, {25, 0.2}})[1]; };
  const double along = corner(0);
  const double full = 0.5 - along;
  ASSERT_GT(full, 1e-3);
  for (double tilt : {-3e-6, -1e-6, -1e-9, 1e-9, 1e-6, 3e-6})
    EXPECT_NEAR(along, corner(tilt / deg), 0.03 * full) << tilt;
  // Where an outline's points start changes nothing.
  std::vector<std::pair<double, double>> ring{{25, 0.3}, {22, 0.5}, {20.5, 0.3}, {22, 0.1}, {24, 0.15}};
  const std::vector<double> first = Expanded(ring);
  ASSERT_NE(first, (std::vector<double>{0.3, 0.5, 0.3, 0.1, 0.15}));
  for (std::size_t k = 1; k < ring.size(); ++k) {
    std::rotate(ring.begin(), ring.begin() + 1, ring.end());
    std::vector<double> turned = Expanded(ring);
    std::rotate(turned.rbegin(), turned.rbegin() + static_cast<std::ptrdiff_t>(k), turned.rend());
    EXPECT_EQ(first, turned) << k;
  }
}

TEST(CSphereRatioBlock, LobesMeetingAtACornerAreExpandedAsApart)
{
  // Two outlines meeting at a corner on a sector line, and the one outline
  // passing that corner twice that the union makes of them once it takes
  // the two corners for one point.
  const double deg = 3.141592653589793 / 180;
  const auto point = [deg](double ad, double ae) {
    CSphereCoordD2D q(0, 0, ad * deg, ae, 0);
    q.ConvertCoordXY();
    return q;
  };
  const auto outline = [](std::initializer_list<CSphereCoordD2D> points) {
    CSphereCoordD2DArray a;
    a.insert(a.end(), points.begin(), points.end());
    return a;
  };
  const CSphereCoordD2D corner = point(-180, 0.43);
  const CSphereCoordD2DArray upper = outline({corner, point(-179, 0.47), point(-179, 1.4), point(-180, 1.42)});
  const CSphereCoordD2DArray lower =
      outline({corner, point(-180, 0), point(-174, 0), point(-174, 0.31), point(-176, 0.44)});
  const auto expanded = [](const std::vector<CSphereCoordD2DArray>& outlines) {
    CSphereRatioBlock r;
    r.m_ExpandKind = 0;
    for (const CSphereCoordD2DArray& pts : outlines) {
      CSphereRatioBlockParam p;
      p.m_pt = pts;
      p.m_area = p.CalcArea();
      r.m_Block.push_back(p);
    }
    CSphereRatioBlock::SplitLobes(r.m_Block);
    r.BlockExpand();
    std::vector<std::vector<double>> out;
    for (const CSphereRatioBlockParam& p : r.m_Block) {
      out.emplace_back();
      for (const CSphereCoordD2D& q : p.m_pt)
        out.back().push_back(q.m_AE);
    }
    return out;
  };
  const std::vector<std::vector<double>> apart = expanded({upper, lower});
  ASSERT_GT(CSphereRatioBlockParam::CalcArea(upper) * CSphereRatioBlockParam::CalcArea(lower), 0);
  CSphereCoordD2DArray joined = upper;
  joined.insert(joined.end(), lower.begin(), lower.end());
  EXPECT_EQ(apart, expanded({joined}));
  // A hole reached through the corner stays in its outline.
  CSphereCoordD2DArray holed = upper;
  holed.insert(holed.end(), lower.rbegin(), lower.rend());
  EXPECT_EQ(1u, expanded({holed}).size());
}

CSphereRatioBlock Sample()
{
  Settings s;
  s.sansya = true;
  s.side2 = true;
  CSphereRatioBlock r = Calc(Goldens()[0].blocks, s).block;
  r.m_Mode = 3;
  r.m_bMergeFlag = true;
  r.m_bExpandInProjection = true;
  return r;
}

TEST(CSphereRatioBlock, RecordsArchivesAndTheDebugDump)
{
  const CSphereRatioBlock r = Sample();
  ASSERT_FALSE(r.m_Block.empty());
  ASSERT_FALSE(r.m_FunShape.empty());
  const CSphereRatioBlock copy = r;
  EXPECT_EQ(r, copy);

  const Bytes saved = kel_test::SavedRecord(r);
  CSphereRatioBlock back;
  int left = -1;
  ASSERT_TRUE(kel_test::LoadRecord(back, saved, static_cast<int>(saved.size()), &left));
  EXPECT_EQ(0, left);
  EXPECT_EQ(r, back);
  EXPECT_FALSE(kel_test::LoadRecord(back, saved, static_cast<int>(saved.size()) - 1));

  // 1000: outlines, ratio and three dropped doubles; the settings read -1.
  const Bytes v1000 = ByteBuilder().I32(1000).I32(0).F64s({0.75, 1, 2, 3}).bytes;
  CSphereRatioBlock old = r;
  ASSERT_TRUE(kel_test::LoadRecord(old, v1000, 40, &left));
  EXPECT_EQ(0, left);
  EXPECT_EQ(0.75, old.m_Ratio);
  EXPECT_EQ(-1, old.m_AngleStep);
  EXPECT_EQ(-1, old.m_Mode);
  EXPECT_EQ(-1, old.m_ExpandKind);
  EXPECT_FALSE(old.m_bSide2);
  // The ratio refuses the step of such a record.
  EXPECT_EQ(1, old.CalcSphereRatio(nullptr, -1, 0, false, Goldens()[0].blocks, CKelCoord3D(0, 0, 0), nullptr, true));
  // 1002: no fans, no flags after the two-sided one.
  const Bytes v1002 = ByteBuilder().I32(1002).I32(0).F64s({0.5, 1, 2, 3}).I32(1).I32(7).I32(2).Append({1}).bytes;
  CSphereRatioBlock mid;
  ASSERT_TRUE(kel_test::LoadRecord(mid, v1002, 53, &left));
  EXPECT_EQ(0, left);
  EXPECT_EQ(7, mid.m_AngleStep);
  EXPECT_TRUE(mid.m_bSide2);
  EXPECT_FALSE(kel_test::LoadRecord(mid, ByteBuilder().I32(1007).bytes, 4));
  EXPECT_FALSE(kel_test::LoadRecord(mid, ByteBuilder().I32(1006).I32(1 << 28).bytes, 1 << 20));

  for (int version : {1, 2, 31, 32, 40}) {
    CSphereRatioBlock a;
    ASSERT_TRUE(kel_test::Unarchive(a, kel_test::Archived(r, version), version)) << version;
    CSphereRatioBlock expected = r;
    if (version < 2) {
      for (CSphereRatioBlockParam& p : expected.m_Block)
        p.m_Triangle.clear();
    }
    a.m_DebugPath = expected.m_DebugPath;
    EXPECT_EQ(expected, a) << version;
  }

  CSphereRatioBlock dump = r;
  dump.m_DebugPath = kel_test::TestFilePath("debug.dat");
  ASSERT_TRUE(dump.Save());
  CSphereRatioBlock loaded;
  loaded.m_DebugPath = dump.m_DebugPath;
  ASSERT_TRUE(loaded.Load());
  EXPECT_EQ(r.m_Block, loaded.m_Block);
  loaded.m_DebugPath = kel_test::TestFilePath("missing.dat");
  EXPECT_FALSE(loaded.Load());
}

// Random block sets: boxes and concave or sloped blocks, floating, touching,
// sharing faces, nested in projection, below the check point.
CKelBlockCubeArray RandomBlocks(std::mt19937& rng)
{
  std::uniform_real_distribution<double> u(0, 1);
  std::uniform_int_distribution<int> count(1, 12);
  std::vector<CKelBlockCube> list;
  const int n = count(rng);
  for (int i = 0; i < n; ++i) {
    const int grid = static_cast<int>(u(rng) * 8);
    const double x0 = -40 + 10 * (grid % 8) + (u(rng) < 0.5 ? 0 : 5 * u(rng));
    const double side = u(rng) < 0.5 ? 1 : -1;  // drawn first: operands come in no fixed order
    const double y0 = side * (5 + 30 * u(rng));
    const double w = 5 + 10 * u(rng), d = 5 + 10 * u(rng);
    const double kind = u(rng);
    const double top = kind < 0.1 ? -2 : 3 + 30 * u(rng);
    const double bottom = kind > 0.8 ? 2 + 5 * u(rng) : 0;
    if (kind > 0.6 && kind <= 0.8) {
      CKelBlockCube l;
      const double slope = u(rng) * 0.8;
      for (const auto& [x, y] : std::vector<std::pair<double, double>>{
               {0, 0}, {w, 0}, {w, d / 2}, {w / 2, d / 2}, {w / 2, d}, {0, d}})
        l.Append(CKelBlockCoord(x0 + x, y0 + y, top - slope * y, 0));
      l.SetType();
      list.push_back(l);
    } else {
      list.push_back(Box(x0, x0 + w, y0, y0 + d, top, std::min(bottom, top - 1)));
    }
  }
  CKelBlockCubeArray blocks;
  for (const CKelBlockCube& b : list)
    blocks.AddBlock(b);
  return blocks;
}

TEST(CSphereRatioBlock, RandomBlockSetsGiveARatioOrACode)
{
  std::mt19937 rng(29);
  for (int round = 0; round < 12; ++round) {
    const CKelBlockCubeArray blocks = RandomBlocks(rng);
    for (bool sansya : {false, true}) {
      for (int kind : {-1, 0, 1, 2}) {
        for (bool inProjection : {false, true}) {
          Settings s;
          s.sansya = sansya;
          s.kind = kind;
          s.inProjection = inProjection;
          s.side2 = round % 2 == 1;
          s.step = round % 4 == 0 ? 1 : 10;
          if (s.step == 1 && kind != 2)
            continue;
          const Result r = Calc(blocks, s);
          ASSERT_FALSE(std::isnan(r.ratio));
          if (r.code == 0) {
            EXPECT_GE(r.ratio, -1e-5) << round << " sansya " << sansya << " kind " << kind << " in " << inProjection;
            EXPECT_LE(r.ratio, 1.0) << round;
          } else {
            EXPECT_EQ(-1.0, r.ratio) << round;
          }
        }
      }
    }
  }
}

TEST(CSphereRatioBlock, SectorEdgesAlongTheirLineStayOnTheirSide)
{
  // Cut into sectors, this block's pieces have edges running along the
  // sector lines; their crossings with those lines once fell behind the
  // check point and widened the fans to half the sky (ratio -1.25).
  const CKelBlockCubeArray blocks = Blocks({Box(0, 11.9493, -13.8593, -1.0341, 4.37817)});
  for (int kind : {1, 2}) {
    Settings s;
    s.sansya = true;
    s.side2 = true;
    s.kind = kind;
    s.inProjection = true;
    const Result r = Calc(blocks, s);
    ASSERT_EQ(0, r.code);
    EXPECT_GT(r.ratio, 0.5) << kind;
    EXPECT_LT(r.ratio, 1.0) << kind;
    // The fans stay within the block's own azimuths, -90 to 0 degrees.
    for (const CSphereBowShapeParam& fan : r.block.m_FunShape) {
      EXPECT_GE(fan.m_begA, -3.141592653589793 / 2 - 1e-9) << kind;
      EXPECT_LE(fan.m_endA, 1e-9) << kind;
    }
  }
}

}  // namespace

namespace {

// A diamond 40 m high whose corner lies `across` metres left of the ray from
// the origin at `bearing` (negative: right of it), `along` metres out (ahead
// when positive), its body on the other side: the part beyond the line is a
// sliver of across² in plan.
CKelBlockCubeArray CornerByRay(double bearing, double along, double across)
{
  const double side = across > 0 ? -1 : 1;  // towards the body
  const double h = 1.5;
  const double c = std::cos(bearing), s = std::sin(bearing);
  CKelBlockCube block;
  for (const auto& [u, v] : {std::pair{along, across}, std::pair{along + h, across + side * h},
                             std::pair{along, across + side * 2 * h}, std::pair{along - h, across + side * h}}) {
    block.Append(CKelBlockCoord(c * u - s * v, s * u + c * v, 40, 0));
  }
  block.SetType();
  return Blocks({block});
}

double PlanArea(const std::vector<CKelBlockCubeArray>& groups)
{
  double area = 0;
  for (const CKelBlockCubeArray& g : groups) {
    for (const CKelBlockCube& b : g)
      area += std::fabs(CKelBlockCube::CalcArea(b.m_Coord));
  }
  return area;
}

}  // namespace

// A piece beside a dividing ray is kept however small: the groups cover the
// blocks' whole plan, the sliver included.
TEST(CSphereRatioBlock, AngularGroupsKeepSliversBesideTheirRays)
{
  const CKelCoord3D chk(0, 0, 0);
  const double thirty = 3.141592653589793 / 6;
  for (double across : {0.0001, 0.0008, -0.0005, 0.002}) {
    for (double bearing : {0.0, thirty, 3.141592653589793}) {
      const CKelBlockCubeArray blocks = CornerByRay(bearing, 2, across);
      const double whole = CKelBlockCube::CalcArea(blocks[0].m_Coord);
      for (int step : {0, 10}) {
        if (step == 0 && bearing == thirty)
          continue;  // no dividing line there
        const std::vector<CKelBlockCubeArray> groups = CSphereRatioBlock::DivideBlock(blocks, &chk, 0, step);
        EXPECT_NEAR(whole, PlanArea(groups), 1e-12 * whole) << across << " " << bearing << " " << step;
      }
    }
  }
}

// As a corner crosses a dividing ray, the ratio changes by the sky its
// sliver covers and no more: over corners 3 mm apart the ratio is straight
// within the method's own discretisation, ahead of the check point and
// behind it, left of the ray and right of it.
TEST(CSphereRatioBlock, RatioIsContinuousAsACornerCrossesADividingRay)
{
  const double pi = 3.141592653589793;
  struct Method {
    const char* name;
    bool sansya;
    int step;
    std::vector<double> bearings;
  };
  const Method methods[] = {{"outlines", false, 1, {0, pi}}, {"sectors", true, 10, {0, pi / 6, pi, 7 * pi / 6}}};
  for (const Method& m : methods) {
    Settings s;
    s.sansya = m.sansya;
    s.step = m.step;
    for (double bearing : m.bearings) {
      for (double across : {0.0001, 0.0005, 0.0008, 0.00099, 0.002, -0.0001, -0.0008}) {
        const double away = across > 0 ? 0.003 : -0.003;
        double ratio[3];
        for (int k = 0; k < 3; ++k) {
          const Result r = Calc(CornerByRay(bearing, 2, across + k * away), s);
          ASSERT_EQ(0, r.code) << m.name << " " << bearing << " " << across;
          ratio[k] = r.ratio;
        }
        // Moving the corner 3 mm out covers about 3e-3 / (4 pi 2) more sky.
        EXPECT_NEAR(ratio[0] - ratio[1], 1.2e-4, 0.3e-4) << m.name << " " << bearing << " " << across;
        EXPECT_NEAR(ratio[0] - ratio[1], ratio[1] - ratio[2], 1e-6) << m.name << " " << bearing << " " << across;
      }
    }
  }
}

// The debug dump answered success whatever its writes did.
TEST(CSphereRatioBlockTest, DebugDumpReportsAFailedWrite)
{
  if (!std::filesystem::exists("/dev/full"))
    GTEST_SKIP() << "needs /dev/full, a device that refuses every write";
  // The file opens; every byte written to it fails.
  const std::string path = kel_test::TestFilePath("full.dat");
  std::filesystem::remove(path);
  std::filesystem::create_symlink("/dev/full", path);
  CSphereRatioBlock dump;
  dump.m_Block.resize(2);
  dump.m_DebugPath = path;
  EXPECT_FALSE(dump.Save());
}
