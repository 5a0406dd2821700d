// Every method gives a ratio at every check point outside the blocks, the
// ratio agrees with an exact integral of the projected sky (SkyPrisms.h)
// within the method's own step, and it moves only as far as the blocks'
// corners move when a corner crosses a whole-degree or a sector line.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "CKelBlockCoord.h"
#include "CKelBlockCube.h"
#include "CKelBlockCubeArray.h"
#include "CSphereRatioBlock.h"
#include "SkyMethod.h"
#include "SkyPrisms.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = kPi / 180;

using sky_test::Blocks;
using sky_test::Describe;
using sky_test::EveryMethod;
using sky_test::ExactRatio;
using sky_test::Method;
using sky_test::Prism;
using sky_test::Ratio;
using sky_test::XY;
using sky_test::PrismBox;

// Low blocks along both sides of a road, some raised on pillars (a floating
// storey), seen from points 1.5 m up along the road: low faces far away
// project to slivers near the horizon, which the expansions make touch.
std::vector<Prism> LowStreet()
{
  std::vector<Prism> street;
  for (int k = 0; k < 4; ++k) {
    const double x0 = -60 + 32 * k;
    const double top = 3 + 0.5 * k;
    street.push_back(PrismBox(x0, x0 + 30, 6, 30, top, k == 2 ? 2 : 0));
    street.push_back(PrismBox(x0 + 8, x0 + 38, -30, -6, 8 - top, k == 1 ? 2.5 : 0));
  }
  return street;
}

// Every method and setting gives a ratio on the road, and each one-sided
// ratio lies within its step's discretisation of the exact one.
TEST(SkyFactorEveryPoint, LowStreetGivesARatioEverywhere)
{
  const std::vector<Prism> street = LowStreet();
  const CKelBlockCubeArray blocks = Blocks(street);
  for (double x : {-50.0, -23.0, 41.0}) {
    for (double y : {-4.0, 3.0}) {
      const CKelCoord3D eye(x, y, 1.5);
      const double exact = ExactRatio(street, eye);
      const double upper = ExactRatio(street, eye, true);
      for (const Method& m : EveryMethod({10, 7})) {
        const double r = Ratio(blocks, eye, m);
        EXPECT_GT(r, 0) << Describe(m) << " at " << x << ", " << y << " code " << -100 - r;
        EXPECT_NEAR(m.side2 ? upper : exact, r, 5e-3) << Describe(m) << " at " << x << ", " << y;
      }
    }
  }
}

// One box 30 x 24 m, 3 to 5 m tall, seen from 1.5 m up 30 to 50 m in front:
// every sector setting of step 10 gives a ratio near the exact one.
TEST(SkyFactorEveryPoint, LowBoxAheadGivesARatio)
{
  for (double top : {3.0, 3.5, 4.0, 5.0}) {
    const std::vector<Prism> box{PrismBox(-15, 15, 0, 24, top)};
    const CKelBlockCubeArray blocks = Blocks(box);
    for (double x : {0.0, 3.0, 7.5, 20.0}) {
      for (double d : {30.0, 50.0}) {
        const CKelCoord3D eye(x, -d, 1.5);
        const double exact = ExactRatio(box, eye);
        for (const Method& m : EveryMethod({10})) {
          const double r = Ratio(blocks, eye, m);
          ASSERT_GT(r, 0) << Describe(m) << " top " << top << " at " << x << ", " << -d << " code " << -100 - r;
          EXPECT_NEAR(exact, r, 1.5e-3) << Describe(m) << " top " << top << " at " << x << ", " << -d;
        }
      }
    }
  }
}

// A floating block (4 to 15 m) whose front wall is broken by a recess 2 m
// wide and 1.2 m deep, seen from a ground point on the wall's line a hair
// to either side of it: the two wall pieces are seen edge-on within the
// disc's identity band, where their outline once could not be traced (4).
TEST(SkyFactorEveryPoint, PointInLineWithARecessedWallGivesARatio)
{
  for (double d : {4.5, 15.780926266258858}) {
    for (double turn : {0.1, 1.195262785738584, 2.7}) {
      for (double off : {-1e-5, 1e-7, 1e-6, 3e-5, 5e-5}) {
        const double c = std::cos(turn), s = std::sin(turn);
        Prism block{{}, 15, 4};
        for (const XY& v : std::initializer_list<XY>{{d, 0}, {d + 3, 0}, {d + 3, 1.2}, {d + 5, 1.2}, {d + 5, 0},
                                                     {d + 10, 0}, {d + 10, 8}, {d, 8}})
          block.outline.push_back({c * v.x - s * (v.y + off), s * v.x + c * (v.y + off)});
        const std::vector<Prism> scene{block};
        const CKelCoord3D eye(0, 0, 0);
        const double exact = ExactRatio(scene, eye);
        for (const Method& m : EveryMethod({10})) {
          const double r = Ratio(Blocks(scene), eye, m, -2.0356117173839103);
          ASSERT_GT(r, 0) << Describe(m) << " at " << d << " turned " << turn << " off " << off;
          if (!m.side2) {
            EXPECT_NEAR(exact, r, 1.5e-3) << Describe(m) << " at " << d << " turned " << turn << " off " << off;
          }
        }
      }
    }
  }
}

// Random boxes, turned, a fifth of them raised on pillars, and check
// points 10 to 40 m from the nearest one; doubles from the generator's top
// 53 bits so every platform draws the same scenes.
struct RandomScene {
  std::vector<Prism> prisms;
  std::vector<CKelCoord3D> eyes;
};

RandomScene MakeRandomScene(std::uint64_t seed)
{
  std::mt19937_64 rng(seed);
  const auto u = [&rng] { return static_cast<double>(rng() >> 11) * 0x1.0p-53; };
  RandomScene scene;
  for (int b = 0, n = 3 + static_cast<int>(rng() % 6); b < n; ++b) {
    const double cx = 60 * (u() - 0.5), cy = 60 * (u() - 0.5), w = 2 + 8 * u(), d = 2 + 8 * u(), turn = kPi * u();
    const double c = std::cos(turn), sn = std::sin(turn);
    Prism p;
    for (const auto& [x, y] : {std::pair{-w, -d}, std::pair{w, -d}, std::pair{w, d}, std::pair{-w, d}})
      p.outline.push_back({cx + c * x - sn * y, cy + sn * x + c * y});
    p.top = 3 + 27 * u();
    p.bottom = u() < 0.2 ? 1 + 0.5 * (p.top - 1) * u() : 0;
    scene.prisms.push_back(p);
  }
  while (scene.eyes.size() < 4) {
    const double x = 140 * (u() - 0.5), y = 140 * (u() - 0.5);
    double nearest = 1e300;
    for (const Prism& p : scene.prisms) {
      for (std::size_t k = 0; k < p.outline.size(); ++k)
        nearest = std::min(nearest, std::hypot(p.outline[k].x - x, p.outline[k].y - y));
    }
    // Corners 12 m away keep the point well outside every box (half
    // diagonals stay under 12.8 m, and a point inside lies within one).
    if (nearest >= 13 && nearest <= 40)
      scene.eyes.emplace_back(x, y, u() < 0.5 ? 0 : 1.5);
  }
  return scene;
}

// Each one-sided ratio lies within its step's discretisation of the exact
// one, every two-sided ratio is given.
TEST(SkyFactorEveryPoint, RandomScenesAgreeWithTheExactIntegral)
{
  for (std::uint64_t seed : {3, 8, 21}) {
    const RandomScene scene = MakeRandomScene(seed);
    const CKelBlockCubeArray blocks = Blocks(scene.prisms);
    for (const CKelCoord3D& eye : scene.eyes) {
      const double exact = ExactRatio(scene.prisms, eye);
      const double upper = ExactRatio(scene.prisms, eye, true);
      for (const Method& m : EveryMethod({10})) {
        const double r = Ratio(blocks, eye, m);
        EXPECT_GT(r, 0) << Describe(m) << " seed " << seed << " code " << -100 - r;
        EXPECT_NEAR(m.side2 ? upper : exact, r, 1.5e-3) << Describe(m) << " seed " << seed;
      }
    }
  }
}

// Scenes reduced from random ones to the blocks a failure needed. Each
// gave no ratio for some setting: a floating block's lower edge lowered
// after the union into the block under it (on the chart, where the disc's
// chord still cleared it), or its edge swept over a corner of its own
// outline; a floating block seen whole in a two-sided sector (an island);
// a block nearly all below the eye whose pieces a run along the horizon
// joins; a floating block whose lower edge crosses the top of the block
// under it, so that the two-sided region above them touches itself; faces
// of a jagged block seen edge-on along one degree line, whose boxes of no
// width differ by round-off alone; a floating block seen whole over a
// block whose region runs to the zenith, the bridge to it from the corner
// the zenith's diagonal could leave two ways; a floating block seen whole
// low over the horizon, beyond the chord the disc draws for it; a floating
// block whose expanded outline touches the horizon at one point, and one
// whose lower edge stands on the horizon at two, under the line over its
// top; a corner lowered after the union to within the disc's identity
// band of the horizon; a window of sky between three blocks whose corner
// touches the side of the outline around it; blocks with a corner less
// than the identity band past a line the blocks are divided at (a sector
// line, a degree line, the line behind the check point).
struct Reduced {
  const char* what;
  CKelCoord3D eye;
  double turn;
  std::vector<Prism> prisms;
};

const std::vector<Reduced>& ReducedScenes()
{
  static const std::vector<Reduced> scenes{
      {"lowered into the block under it",
       CKelCoord3D(-57.709548728780426, -30.710979066392095, 1.5),
       1.0160859161607749,
       {{{{-17.739044974203111, 38.844836215309229},
          {-12.611395984756003, 25.680129665948513},
          {-12.154700926703764, 27.345801358031792}},
         29.450811774553568,
         7.8775634505410546},
        {{{-29.793977893422465, 22.112352322034241},
          {-34.215219353861187, 19.614425830683352},
          {-29.805500000028875, 11.809378683151513}},
         4.6981495410040521,
         0}}},
      {"swept over its own corner",
       CKelCoord3D(9.8684547924257906, 22.94047858728025, 0),
       0,
       {{{{3.7856619774100717, -12.459199037569142},
          {2.8202242546159293, -9.4019852865185563},
          {3.8799704474087138, -13.316414233916182}},
         30.628503578229324,
         8.9701533534757179},
        {{{5.9371071846154964, 7.7523841212986397},
          {8.0902458746076729, 7.0117591127013128},
          {7.6299680032477326, 9.4222406504818359}},
         35.707670114705394,
         13.57371603376694}}},
      {"island",
       CKelCoord3D(52.548220399234935, 0.71498191705647862, 1.5),
       0,
       {{{{20.080878950214807, 13.925728916450591},
          {5.6594345988710346, -1.2340233411970081},
          {16.521795141596559, -11.567366883280501}},
         57.66896656285715,
         30.989235188671852},
        {{{4.0669636672614864, -15.009798423412892},
          {4.3358057216431787, -14.836473466793588},
          {5.3708587001783421, -13.650852210749028}},
         14.071286065235526,
         7.2604601082739553}}},
      {"lower edge crossing the top under it",
       CKelCoord3D(-48.069805628538298, -9.0267605355830032, 0),
       3.0531943233313998,
       {{{{-7.3846769092195261, 20.993093446491638},
          {-6.9484810895537752, 18.590300560917647},
          {-6.8029452884721087, 19.107650549481082}},
         17.163205824476872,
         7.8812484401943816},
        {{{-30.674894605801121, 5.0498747725163415},
          {-26.076797977831131, 2.4522681505766499},
          {-23.199859623059574, 4.7184610374283213}},
         3.6483359639935786,
         0}}},
      {"faces edge-on along one degree line",
       CKelCoord3D(9.3759490132797083, -8.2253376336828445, 1.5),
       1.2609899831957676,
       {{{{10.367961590268362, 13.805154114153719},
          {5.3291828794811922, 3.3875364906686123},
          {14.421634192226493, 2.3056681952968843},
          {13.48419613913685, 4.3495629156858229},
          {15.633017635562103, 3.5292431040174659}},
         52.343373392123304,
         27.551220304954334}}},
      {"island bridged beside the zenith's diagonal",
       CKelCoord3D(-56.735024446509883, -23.087368966600046, 1.5),
       -3.0030159495190398,
       {{{{0.77891110302181055, -18.0192665493467},
          {-1.2319442373651963, -22.144166689932295},
          {20.921303191984229, -27.662579864358229}},
         18.656366770633689,
         0},
        {{{1.5168002792511357, -19.329455412530674},
          {0.66769961675087419, -19.807025802718957},
          {3.731339284931785, -21.952308587410236}},
         42.366835911919921,
         21.341895148683179}}},
      {"island low over the horizon",
       CKelCoord3D(-56.090484711920034, 43.647939700357455, 1.5),
       1.0491830370475994,
       {{{{19.287152603914716, -5.3820834501802066},
          {19.824310185920265, -5.0228699343483871},
          {19.670841500995007, -4.6382832452978375}},
         10.454358801751233,
         4.5243632249017756},
        {{{-2.0246213873091179, 30.880080290170735},
          {-11.320586673138942, 27.773266270881553},
          {-7.120841558875874, 15.207118265519094}},
         46.909578950419842,
         0},
        {{{25.578905622069545, -24.488171821362446},
          {19.257137543379518, -18.227393900679832},
          {16.085745108586114, -21.42968085499653}},
         26.858256807199211,
         0}}},
      {"touching the horizon at one point",
       CKelCoord3D(-13.518733847896801, 22.327765841743247, 0),
       1.5141024143202173,
       {{{{15.530003694764854, -23.263101665933505},
          {15.621144876411106, -28.944004011442232},
          {20.207305134171033, -29.91423566746754}},
         6.0983790496955903,
         1.7936087443175632},
        {{{-6.9037763751015717, 5.0701587542633728},
          {-1.9588863877635612, 4.5527649855710237},
          {-1.738011604080798, 4.125588273752351}},
         25.065771389673088,
         8.246053228236665}}},
      {"lower edge standing on the horizon",
       CKelCoord3D(-13.518733847896801, 22.327765841743247, 0),
       1.5141024143202173,
       {{{{19.523233495906592, -22.028032938376949},
          {15.621144876411106, -28.944004011442232},
          {20.207305134171033, -29.91423566746754}},
         6.0983790496955903,
         1.7936087443175632},
        {{{-2.169536957215537, 13.068971538871118},
          {-6.9037763751015717, 5.0701587542633728},
          {-1.738011604080798, 4.125588273752351}},
         25.065771389673088,
         8.246053228236665}}},
      {"pieces joined along the horizon",
       CKelCoord3D(-11.021055841384907, 18.225665192475219, 1.5),
       0,
       {{{{18.010113655860621, -7.9020392139793589},
          {25.547643090803692, -13.65949115131265},
          {31.61727108388699, -9.6691929902657225}},
         3.0618119001624846,
         1.0327397163350862}}},
      // The near block's face seen edge-on along the horizon runs there and
      // back in its outline; that pair must not also cancel the far block's
      // lower edge lying along it.
      {"face edge-on along another's lower edge",
       CKelCoord3D(47.175278130608199, 8.9944329361037312, 1.5),
       -0.26313102840614111,
       {{{{-7.1680236930837431, 19.942390503733414},
          {-1.8500805539776612, 12.132426447931998},
          {-1.9554954098035369, 12.338754921623799}},
         3.6970947759047865,
         0},
        {{{-0.70050991840317556, 21.590300162932088},
          {-5.8843894713161156, 24.049942914290604},
          {-7.937067967078546, 19.723770718344753}},
         36.976386382888037,
         0},
        {{{-5.4567291899919743, 16.143499665410474},
          {-13.22345381193254, 39.674074379991033},
          {-18.265389705603134, 19.315676910749829}},
         3.4514592544270082,
         1.2213699494697363}}},
      // A floating block's lower edge crosses the top of the block under it
      // beside that block's corner; lowered after the union, the crossing
      // and its neighbour would take the edge under the corner.
      {"lowered edge beside a corner under it",
       CKelCoord3D(27.874200529025181, 37.329015272552617, 1.5),
       -1.8048628465073415,
       {{{{21.675994964288485, -12.685422879826397},
          {23.66610463470963, -10.000016541080758},
          {24.25945974667663, -8.7758995800728634}},
         16.962409428415796,
         6.5580499992738721},
        {{{24.524588223343756, 5.7053898656756825},
          {19.046473218296249, 6.998475758796852},
          {20.730122057197264, 3.7429931163772463}},
         4.7508484390112402,
         0}}},
      // A floating block's lower edge, lowered after the union, stops just
      // above the chart line of the top under it, but under the chord the
      // disc draws for that top: the top is given a vertex under the edge's
      // end only after the edges before it were measured against it.
      {"lowered edge between cuts of the top under it",
       CKelCoord3D(7.9457506547479255, 50.493740691852892, 1.5),
       -0.73030077217913392,
       {{{{-17.729244442065813, 6.1171494176218655},
          {-34.302473000615564, 16.420835961861378},
          {-38.32033518811172, 9.9582026059042992}},
         5.1543083686078432,
         1.2299836636637484},
        {{{-35.574163605823145, 1.8871757847953616},
          {-36.31492403047757, 0.30763347420438936},
          {-21.909578800342345, -1.3948351838446249}},
         29.440867203870898,
         6.3619874071872111}}},
      {"corner lowered into the horizon's band",
       CKelCoord3D(-17.841346840332275, 23.892354549564057, 1.5),
       1.1875143303185065,
       {{{{17.356003352293293, 9.3375757945196103},
          {16.531258819539406, 5.7890484004773972},
          {30.71752324879305, -6.2882707366421133},
          {39.127456391279878, 2.7952267182777373}},
         4.4938500528246141,
         0}}},
      {"window whose corner touches the side around it",
       CKelCoord3D(41.309445597952426, 44.019499107976124, 0),
       -2.7983058153622777,
       {{{{8.8093845302957252, 25.158900620135604},
          {-10.526277217867252, 8.1075550875939104},
          {7.7254697362284732, 7.0170729747746368}},
         21.750529424558373,
         0},
        {{{8.1213607524141853, 16.019683417053393},
          {12.024105893209683, 11.713834557134449},
          {13.942119399313064, 11.600855987170746}},
         46.875207755509756,
         21.655009192854013},
        {{{1.0176661620098741, 0.99206262803494094},
          {19.129946349877535, -0.3808475497984336},
          {19.561644664598717, 1.2750605039150189}},
         37.083373780758045,
         0}}},
      {"corner just past the line behind the check point",
       CKelCoord3D(11.495796518946584, -0.75488400916444154, 1.5),
       -2.4345846964139812,
       {{{{25.013664464440843, 16.055773111661999},
          {38.454346787877547, 17.80690500428107},
          {36.262989918748765, 19.268833080764455}},
         7.1694954014380148,
         0},
        {{{25.284065456681368, 10.217820111418323},
          {21.668749332677859, 12.398726015369254},
          {17.801331428274516, 3.2774731383452056}},
         17.17349051299724,
         0},
        {{{19.939588264816713, 16.844671585796611},
          {26.92118773899367, 15.092819533122949},
          {32.742724057019679, 17.397211054651621}},
         47.540757852473646,
         0},
        {{{22.75790134377883, 10.71855510740485},
          {31.827100343112004, -3.2517910688084743},
          {35.295832653944011, -0.35498450411478633}},
         20.179842404960088,
         0}}},
      {"corner just past a degree line",
       CKelCoord3D(15.684013025524147, 61.882651398260769, 1.5),
       -2.3499356477542022,
       {{{{-9.3753691691993239, 21.214986612890936},
          {-10.399807612908525, 20.457015419013764},
          {-14.364764351390411, 13.571859303841162},
          {-14.260296093941152, 12.559293970410863},
          {-0.31555548780286991, 12.854986048916123}},
         16.720339662036842,
         5.396511276547769}}},
      {"corner just past a sector line",
       CKelCoord3D(-17.966437576460006, 39.10480675749173, 1.5),
       3.0487302358141823,
       {{{{-15.524849742872266, -13.067309032875214},
          {-27.391445349174941, -7.1795954685310779},
          {-36.327413078713313, -25.189900188444017}},
         52.089329555004483,
         0}}},
  };
  return scenes;
}

TEST(SkyFactorEveryPoint, ReducedScenesGiveARatio)
{
  for (const Reduced& scene : ReducedScenes()) {
    const CKelBlockCubeArray blocks = Blocks(scene.prisms);
    const double exact = ExactRatio(scene.prisms, scene.eye);
    // The two-sided method counts the sky under the blocks' upper boundary
    // as covered (a floating block's gap, a window): less sky, never more.
    const double upper = ExactRatio(scene.prisms, scene.eye, true);
    for (const Method& m : EveryMethod({10, 7, 1})) {
      const double r = Ratio(blocks, scene.eye, m, scene.turn);
      EXPECT_GT(r, 0) << scene.what << ", " << Describe(m) << " code " << -100 - r;
      EXPECT_NEAR(m.side2 ? upper : exact, r, 1.5e-3) << scene.what << ", " << Describe(m);
    }
  }
}

// Two blocks of a random scene, seen from a point 1.5 m up in a frame
// turned by kTurn: the near one's first corner stands on the -50 degree
// line of the frame (a whole degree, no line of the 7 degree sectors,
// which start at 180 degrees), and the far one's top crosses that corner's
// edge where the one-degree subdivision of its top puts a point of its own.
// The corner is walked across the line at its distance.
constexpr double kTurn = -2.1134851449077656;
const CKelCoord3D kEye(43.123393184330709, -2.7450571080563013, 1.5);

std::vector<Prism> CornerOnDegreeLine(double offset)
{
  constexpr double rho = 12.413743821481724;
  const double a = kTurn + (-50 + offset) * kDeg;
  const XY corner{kEye.m_x + rho * std::cos(a), kEye.m_y + rho * std::sin(a)};
  return {{{corner, {32.227594948468059, -2.759272220537893}, {32.539978636109005, -2.0569358513181224}},
           10.457897879606172,
           0},
          {{{-13.514737743381055, -15.056724708246236},
            {-26.460410485686928, -8.2124252406830713},
            {-40.144222791310327, -34.094717039175833}},
           13.676843315360166,
           0}};
}

// The ratios of a corner walked through offsets (degrees) at distance rho
// (metres): a move below 1e-6 m moves the ratio by at most 1e-6, a longer
// one by at most a small multiple of it. Every ratio is given. The ratios
// are returned in walk order.
template <class Scene>
std::vector<double> ExpectSmoothWalk(const Method& m, const std::vector<double>& offsets, double rho, Scene scene,
                                     const CKelCoord3D& eye, double turn)
{
  std::vector<double> r;
  for (double off : offsets) {
    r.push_back(Ratio(Blocks(scene(off)), eye, m, turn));
    EXPECT_GT(r.back(), 0) << Describe(m) << " offset " << off;
  }
  for (std::size_t k = 0; k + 1 < r.size(); ++k) {
    const double move = rho * (offsets[k + 1] - offsets[k]) * kDeg;
    const double allowed = move < 1e-6 ? 1e-6 : 1e-6 + 10 * move;
    EXPECT_NEAR(r[k], r[k + 1], allowed) << Describe(m) << " offsets " << offsets[k] << ".." << offsets[k + 1];
  }
  return r;
}

TEST(SkyFactorEveryPoint, CornerWalkedAcrossADegreeLineMovesTheRatioSmoothly)
{
  // At 12.4 m, 1e-5 degrees is 2.2e-6 m.
  const std::vector<double> offsets{-1e-4, -1e-5, -1e-7, -1e-10, 0, 1e-10, 1e-7, 1e-5, 1e-4};
  for (const Method& m : EveryMethod({7, 10})) {
    const std::vector<double> r = ExpectSmoothWalk(m, offsets, 12.414, CornerOnDegreeLine, kEye, kTurn);
    if (!m.side2) {
      EXPECT_NEAR(ExactRatio(CornerOnDegreeLine(0), kEye), r[4], m.step == 10 ? 1.5e-3 : 1e-3) << Describe(m);
    }
  }
}

// A floating block of a random scene 37 m away, one corner walked across
// the 90 degree line of the frame, where the sector rays of every step lie:
// from 1e-4 degrees on, that line is walked as a point of the corner's
// edges, 1.7e-6 rad from the corner, which the two-sided regions once
// merged with it and lost the region above the block.
constexpr double kFarTurn = 2.0199023311567923;
const CKelCoord3D kFarEye(10.92871879221741, -10.294847980362054, 1.5);

std::vector<Prism> CornerBesideARay(double offset)
{
  constexpr double rho = 37.32472359280878;
  const double a = kFarTurn + (90 + offset) * kDeg;
  const XY corner{kFarEye.m_x + rho * std::cos(a), kFarEye.m_y + rho * std::sin(a)};
  return {{{{-23.366209828402297, -26.011373553817695},
            {-22.70698998390813, -25.907282733836812},
            corner,
            {-23.610077350359532, -24.094135695009903}},
           28.232132387538375,
           2.5947869507709895}};
}

TEST(SkyFactorEveryPoint, CornerWalkedAcrossABandEdgeMovesTheRatioSmoothly)
{
  // At 37 m, 1e-9 degrees is 6.5e-10 m.
  const std::vector<double> offsets{-1e-4, -1e-10, 0, 1e-10, 9.9e-5, 9.9999e-5, 1e-4, 1.00001e-4, 1.1e-4};
  for (const Method& m : EveryMethod({1, 7}))
    ExpectSmoothWalk(m, offsets, 37.325, CornerBesideARay, kFarEye, kFarTurn);
}

// A low triangular block 31 to 52 m away, one corner walked across the
// edges of the band within which a corner is joined to the 355 degree
// sector line (seen from the check point): a corner kept just outside the
// band once left a piece whose near face the union dropped, and a 1e-9 m
// move gave 4e-5 more sky.
constexpr double kBandTurn = 2.3582436850765234;
const CKelCoord3D kBandEye(-442.7677944483126, -426.64556997914093, 0);

std::vector<Prism> CornerBesideASectorLine(double offset)
{
  constexpr double rho = 31.308321;
  const double a = kBandTurn + (-5 + offset) * kDeg;
  const XY corner{kBandEye.m_x + rho * std::cos(a), kBandEye.m_y + rho * std::sin(a)};
  return {{{{-480.14900262304775, -390.59569060568566}, corner, {-459.70205643365188, -398.09934998746724}},
           3.44,
           0}};
}

TEST(SkyFactorEveryPoint, CornerWalkedAcrossTheJoiningBandMovesTheRatioSmoothly)
{
  // Offsets in degrees: 1e-6 and 4e-6 rad, on both sides, a hair apart.
  std::vector<double> offsets;
  for (double rad : {-1e-5, -4.0001e-6, -3.9999e-6, -1.0001e-6, -0.9999e-6, 0.0, 0.9999e-6, 1.0001e-6, 1.9999e-6,
                     3.9999e-6, 4.0001e-6, 1e-5})
    offsets.push_back(rad / kDeg);
  for (const Method& m : EveryMethod({7, 10}))
    ExpectSmoothWalk(m, offsets, 31.31, CornerBesideASectorLine, kBandEye, kBandTurn);
}

// A low round block of 39 surveyed corners, 4.5 m tall and 40 m away. One
// corner stands where the widening of its 10 degree sector just reaches the
// horizon, over the block's own foot. The check point is walked across that
// place: the corner goes to the horizon on both sides, and its outline, cut
// in two there, is divided as two.
TEST(SkyFactorEveryPoint, CornerWidenedOntoTheHorizonMovesTheRatioSmoothly)
{
  const std::vector<Prism> block{{{
      {{39.05397965986579, 4.6416911268676655}, {38.856998437002, 6.727136146510839},
       {38.659701483335205, 8.37304041048306}, {37.891958596791106, 9.99919340616858},
       {36.79866396649324, 11.712078980589272}, {35.900534839124944, 13.013387007925273},
       {34.436778931290554, 14.252737112647647}, {32.86169159742718, 15.485728515718227},
       {31.084295808628845, 15.893762060603855}, {28.87029243776334, 16.028694398708595},
       {27.476219699425993, 16.713448205050327}, {25.536323821411465, 16.304433134294744},
       {23.47555798746008, 15.586096574882033}, {22.111762750056926, 14.547411027936942},
       {20.372753239072544, 13.757827777700651}, {19.132786293113785, 12.16039808131},
       {17.962844364684614, 11.28820829698484}, {17.356003352293293, 9.33757579451961},
       {16.65838163581521, 7.259736714042544}, {16.531258819539406, 5.789048400477397},
       {15.97553924082899, 3.9448314937592337}, {16.768447912711178, 2.3438880842054832},
       {16.82470744324859, 0.39041400150475614}, {17.627652983239976, -1.5117623769637767},
       {19.243143244485687, -2.8086714316090085}, {20.279397036111128, -4.064066025343394},
       {21.963655737787338, -5.205218394028847}, {23.514356110265577, -5.70802506113168},
       {25.320875664763353, -6.776971229714009}, {27.068831562251386, -6.793373295286559},
       {28.89412734375771, -6.8975554142728495}, {30.71752324879305, -6.288270736642113},
       {32.50377638150956, -5.613141062383365}, {34.053116468272584, -4.713543373254044},
       {35.77422369457204, -3.584329719889741}, {36.78261455504364, -2.224125883848912},
       {38.21360880802937, -0.872269272658448}, {38.48391029855079, 1.0777192910203741},
       {39.12745639127988, 2.7952267182777373}},
                                  },
                                  4.4938500528246141,
                                  0}};
  const CKelBlockCubeArray blocks = Blocks(block);
  const XY eye{-17.841346840333589, 23.892354549509118};
  constexpr double dir = 1.5468845599824848, turn = 1.1875143303185065;
  const double exact = ExactRatio(block, CKelCoord3D(eye.x, eye.y, 1.5));
  const std::vector<double> offsets{-1e-6, -1e-7, -5e-8, -1e-8, 0, 5e-10, 1e-9, 2e-9, 1e-8, 1e-6};
  for (const Method& m : EveryMethod({10, 7})) {
    double previous = -1;
    for (double off : offsets) {
      const CKelCoord3D at(eye.x + off * std::cos(dir), eye.y + off * std::sin(dir), 1.5);
      const double r = Ratio(blocks, at, m, turn);
      EXPECT_NEAR(exact, r, 1.5e-3) << Describe(m) << " offset " << off;
      if (previous >= 0) {
        EXPECT_NEAR(previous, r, 1e-6) << Describe(m) << " offset " << off;
      }
      previous = r;
    }
  }
}

// A floating block 2.5 m beside a check point on the ground, and a lower
// block behind it. Walked 20 micrometres, the check point sees the lower
// block's corner and the floating block's edge meet on the 180 degree line:
// the union joins the two outlines there into one that touches itself at
// that corner. Divided whole, the triangles took the sky between the two
// lobes for covered (1.1e-2 at step 10).
TEST(SkyFactorEveryPoint, OutlineTouchingItselfAtACornerCoversOnlyItsLobes)
{
  const std::vector<Prism> scene{
      {{{19.158083678408296, -9.1164270693171172},
        {19.03690553272466, -7.9906317978263353},
        {18.175449501170561, -6.8312173685253921},
        {16.856189488418146, -6.2571358311451135},
        {15.502554902552934, -6.1623072353075621},
        {14.037725243092073, -6.9376795554443698},
        {13.345468413055301, -7.8560542062097261},
        {12.972653825268644, -9.0761023568131005},
        {13.202306138771949, -10.518605479922277},
        {14.073329923957626, -11.468185692796038},
        {15.451533217209068, -12.290252989203358},
        {16.765985558754096, -12.220874823799809},
        {18.135804217831197, -11.53466447768151},
        {18.853327602029211, -10.607958831287915}},
       38.85060569436456,
       3.360152970777214},
      {{{34.23392661300776, 24.784175444722877},
        {35.52018606896678, 25.106822574278446},
        {34.194165649928451, 26.354769589167915},
        {32.606609116090276, 27.583481322737082},
        {32.389134243170012, 29.457206753176933},
        {27.925246248323429, 32.576844432006155},
        {23.536623974399578, 17.470504944977968},
        {29.062578265516493, 16.576392365175526},
        {31.322716458506676, 18.112588990131812}},
       16.021717868553569,
       0}};
  const CKelBlockCubeArray blocks = Blocks(scene);
  const XY eye{10.468754320796393, -13.837945448966455};
  constexpr double dir = 0.12878494629672066, turn = -2.0360400392396065;
  const std::vector<double> offsets{-1e-6, 0, 1.2e-7, 1e-6, 1e-5, 3e-5, 1e-4};
  for (const Method& m : EveryMethod({10, 7, 1})) {
    if (m.side2)
      continue;
    double previous = -1;
    for (double off : offsets) {
      const CKelCoord3D at(eye.x + off * std::cos(dir), eye.y + off * std::sin(dir), 0);
      const double r = Ratio(blocks, at, m, turn);
      EXPECT_NEAR(ExactRatio(scene, at), r, m.step == 1 ? 3e-5 : 1.5e-3) << Describe(m) << " offset " << off;
      if (previous >= 0 && m.kind == 2) {
        EXPECT_NEAR(previous, r, 1e-6) << Describe(m) << " offset " << off;
      }
      previous = r;
    }
  }
}

// A floating block low over the horizon, seen past three others: with
// the expansion in the projection the union returns its outline with a
// bridged hole that touches the outline at two more corners, and whose
// side passes a sliver beyond the outline's between them. Divided whole,
// that outline was refused over a band half a metre wide.
TEST(SkyFactorEveryPoint, HoleTouchingItsOutlineAtCornersIsDivided)
{
  const std::vector<Prism> scene{
      {{{3.8968604588799174, -20.457831590615392}, {2.4186761958402005, -18.619239901354902}, {2.3639792277733473, -16.909258130865702}, {0.19974742604918783, -16.53208930856951}, {-0.16045960411878868, -16.786184930308369}, {-0.16850149445115825, -16.65064265746474}, {-2.7970840005542117, -15.576425111231096}, {-3.932356195403508, -15.532674009052799}, {-5.2520991255253966, -17.16717948646787}, {-6.8011794616213477, -14.691043409784886}, {-8.656488878563998, -16.847976124614497}, {-8.4108000303408605, -20.467747024865204}, {-10.008522385136509, -20.675615844551629}, {-11.136520367656075, -20.966126706340759}, {-8.7321531398217473, -21.792627289729289}, {-9.3381874466867067, -23.120265427079566}, {-8.3300944229988616, -23.563178278874982}, {-8.9449500231129342, -25.07519220593602}, {-8.352840491161551, -25.674536312467861}, {-7.2038328473152724, -25.376158847297813}, {-8.6855216067880257, -27.305229464611532}, {-2.4503303225280408, -25.949981424982294}, {0.029356857633901612, -27.982560698724814}, {-0.2018097366911582, -25.621212161595274}, {0.95728578494296013, -23.050110096362705}, {1.8218608609584033, -22.439560569177409}},
       5.252348303529514,
       2.0296351888705626},
      {{{14.216526643385702, -2.0531300716954544}, {12.93088121689116, -1.8089470909114684}, {12.339708288115613, 0.26664986714379646}, {2.8981197057090258, 4.3893368618817963}, {-1.3026097129156176, 0.83614038714808503}, {-0.30270767023253953, -0.86143005188890509}, {0.92540706697944053, -7.1181428571365242}, {2.728850713849881, -9.3476870353930419}, {3.6621590443250702, -9.6257312591261108}, {2.7855263430898285, -12.917249427979812}, {7.9362288951612303, -9.4770595796585901}, {10.636557169962559, -9.9395881054469299}, {13.395577831084928, -3.4398926127719087}},
       34.989394744208695,
       0},
      {{{-8.9689773198134191, -25.428561904248518}, {-4.4408429924290997, -22.454055634723822}, {-5.7736579092767863, -20.425092025246457}, {-10.301792236661104, -23.399598294771152}},
       58.945108793118131,
       0},
      {{{-3.985785897072871, -3.2394149965372243}, {-1.2659392168655312, 17.109231564020217}, {-13.069556620006461, 18.686930086269793}, {-15.789403300213801, -1.6617164742876458}},
       49.138444032046948,
       6.0877942476437905}};
  const CKelBlockCubeArray blocks = Blocks(scene);
  const XY eye{-15.649400108073664, 60.567043446221476};
  constexpr double turn = -1.7901002773592356;
  const std::vector<XY> offsets{{0, 0}, {0.1, 0.1}, {-0.3, 0.25}};
  for (const Method& m : EveryMethod({10, 7, 1})) {
    for (const XY& off : offsets) {
      const CKelCoord3D at(eye.x + off.x, eye.y + off.y, 1.5);
      const double r = Ratio(blocks, at, m, turn);
      if (m.side2) {
        // Its fans count the sky under the floating block as covered.
        Method oneSided = m;
        oneSided.side2 = false;
        EXPECT_GE(r, 0) << Describe(m) << " offset " << off.x;
        EXPECT_LE(r, Ratio(blocks, at, oneSided, turn)) << Describe(m) << " offset " << off.x;
      } else {
        EXPECT_NEAR(ExactRatio(scene, at), r, m.step == 1 ? 3e-5 : 1.5e-3) << Describe(m) << " offset " << off.x;
      }
    }
  }
  // Across the edge of the band the whole outline and its parts agree.
  const Method k0{10, true, 0, true, false};
  const double y = eye.y + 0.2536371574821849;
  EXPECT_NEAR(Ratio(blocks, CKelCoord3D(eye.x - 0.3, y - 1e-9, 1.5), k0, turn),
              Ratio(blocks, CKelCoord3D(eye.x - 0.3, y + 1e-9, 1.5), k0, turn), 1e-6);
}

// A window of sky between blocks whose mouth closes on the 180 degree line
// when the frame is turned a few microdegrees: open, its edges are the
// outline's and the expansion after the union widens them; closed, it is a
// hole of its own, which the expansion must widen alike.
TEST(SkyFactorEveryPoint, WindowClosingOnASectorLineIsExpandedAlike)
{
  const std::vector<Prism> scene{
      {{{12.746569905085133, 17.914603869397062}, {12.473667753279942, 19.691417141816945}, {12.050089840630649, 21.51351108347675}, {11.642757403363685, 22.976936099676642}, {10.724686574476486, 24.047732291942943}, {9.5076349281510524, 25.512710306607719}, {8.3223138680332394, 26.242501846427402}, {6.6766970523314182, 27.472404457101593}, {5.2781567268756922, 27.740263088755626}, {3.5736113385161601, 28.200045128914802}, {2.1874523446717071, 28.402382823244871}, {0.11810305219887951, 28.038221442474281}, {-1.3928477814669624, 27.439345364105339}, {-2.7061622548527855, 26.748825270150288}, {-3.6856649146114777, 25.458466143811663}, {-5.0977099315681009, 24.183482284260133}, {-6.1890239175992985, 22.773810140447218}, {-6.9883998138025181, 21.267233473699871}, {-6.828479150174438, 19.623442413834415}, {-7.1741813526610869, 18.037342680077192}, {-6.7518742188766918, 16.38810731049902}, {-6.7505349837156903, 14.702334091356366}, {-6.2399468457969931, 13.4664975623982}, {-5.2897285050955176, 11.854027293719231}, {-3.8948377319648331, 10.951962434110309}, {-2.8204385726425412, 9.8756772359161076}, {-1.1830060392453383, 8.7640723502294691}, {0.39584746384350122, 8.2181457409778815}, {2.0024378594337242, 8.0868913358396934}, {3.6359354392448364, 7.9932438271424573}, {5.4291977225885608, 8.3981585998760568}, {6.6384399838459904, 8.8948426722892417}, {8.3466178003102183, 10.005325713581405}, {9.8045781476726184, 10.824531775147795}, {10.550094711778646, 11.815710599845213}, {11.830861720887849, 13.396705614808642}, {12.460004988247734, 15.016971086907761}, {12.673354378494285, 16.304435443119825}},
       15.925241690280453,
       3.1543004513647834},
      {{{28.650218053881197, 20.594971444915622}, {24.923754397701327, 25.225180646043587}, {23.797102780265469, 23.077240595164056}, {23.783198208416511, 24.21080003528558}, {17.627067991214766, 23.654802880459684}, {18.951682655016516, 22.059480900220734}},
       35.144222271570541,
       0},
      {{{13.471683904640773, 11.994492266843594}, {14.826422763738968, 13.04649059650521}, {14.041956372938202, 12.764417243444139}, {14.795956267768069, 14.267955597436485}, {13.2487312345856, 14.241977435231728}, {11.38949150165571, 15.874171640239204}, {10.833214984469983, 16.235137931914689}, {9.3582620598852309, 16.491489756486075}, {7.8703188072085943, 15.381154778171492}, {7.0305636813085473, 16.259178819076357}, {6.8132704026279214, 15.200538751522618}, {5.9865115600823344, 14.360805497947434}, {5.0114113059256518, 12.975944013028215}, {5.4884269869556155, 12.072827456141161}, {4.1527313408766151, 10.666366794672191}, {9.546766144779081, 7.817626799386014}, {11.776727237135455, 6.1636567840985625}, {12.287904921054263, 7.1638941598286356}, {11.946396410363496, 8.3010688712047784}, {13.413587094970117, 8.3469983573572257}, {14.21210484221584, 8.5873144647031729}, {15.497381549565759, 10.017970915226106}},
       11.058465345611184,
       0},
      {{{36.138047579131083, 26.567350766721237}, {35.609371313693913, 27.733809256359081}, {35.233840139579812, 29.317107631136359}, {34.966181476623078, 31.051136513582975}, {34.149641239714477, 32.098395134129191}, {33.308906386274572, 33.386763047973716}, {32.10789725386509, 34.303095152719152}, {30.427420707945505, 34.959774745096588}, {28.946816469638705, 35.758484404611174}, {27.507604270822906, 36.131399108619277}, {26.187545568138358, 35.97664588561554}, {24.660564455105234, 35.920947789941387}, {23.178203004060951, 35.497043314862637}, {21.653187888125323, 34.469080729621751}, {20.194411076358804, 33.766269073735764}, {19.300297741860337, 32.709250253190611}, {18.502703970400461, 31.678540934128094}, {17.556227282371914, 30.421056339241918}, {17.321092082824165, 28.532744095580526}, {16.852411434703512, 27.120098432877224}, {16.662041207701765, 25.542648164484191}, {17.357578816383779, 24.134848416392948}, {17.364613017740403, 22.464961332503393}, {18.439145226697093, 21.506281712963776}, {18.969250041376373, 20.079873695125137}, {20.022200057852796, 18.9508140211972}, {21.612746873198503, 18.137694211816573}, {22.957302329057747, 17.227234109607739}, {24.669541910283968, 16.894431012955167}, {25.963443600058778, 16.626955234519365}, {27.55870056728617, 16.72551645792246}, {29.190786938425454, 17.285151445886797}, {30.240676737755667, 17.824559787121967}, {31.855240838249781, 18.293284407845391}, {32.963884055482495, 19.349160313741503}, {33.934316628200691, 20.99508969728355}, {34.997622812266769, 21.659847252501375}, {35.633344865599497, 23.33098869317552}, {35.802214897536906, 25.088924265734409}},
       53.001550505239322,
       9.4850816930620159}};
  const CKelBlockCubeArray blocks = Blocks(scene);
  const CKelCoord3D eye(25.084606432141626, 44.69532504654358, 1.5);
  const double toCorner = std::atan2(23.654802880459684 - eye.m_y, 17.627067991214766 - eye.m_x) / kDeg;
  const double exact = ExactRatio(scene, eye);
  const double upper = ExactRatio(scene, eye, true);
  const std::vector<double> offsets{-1e-4, -7.2e-5, -7.1e-5, -5e-5};
  for (const Method& m : EveryMethod({10, 7})) {
    if (!m.sansya || m.kind == 2 || m.inProjection)
      continue;
    double previous = -1;
    for (double off : offsets) {
      const double r = Ratio(blocks, eye, m, (toCorner - 180 - off) * kDeg);
      EXPECT_NEAR(m.side2 ? upper : exact, r, 1.5e-3) << Describe(m) << " offset " << off;
      if (previous >= 0) {
        EXPECT_NEAR(previous, r, 1e-6) << Describe(m) << " offset " << off;
      }
      previous = r;
    }
  }
}

// Three blocks of a random scene, one floating, whose expansion after the
// union lowered the floating block's lower edge into the block under it:
// the two-sided regions then lost the floating block and gave 5.8e-3 more
// sky than the one-sided method.
TEST(SkyFactorEveryPoint, TwoSidedGivesNoMoreSkyThanOneSided)
{
  const std::vector<Prism> scene{
      {{{-21.462709912860035, -10.643213567229649},
        {-15.214852994222799, -7.8729663536670698},
        {-13.415524393005969, -4.4171926867924993}},
       5.3061585044899013,
       0},
      {{{-8.7509730186628847, -23.573350860606133},
        {-23.086826241932528, -29.844355480343737},
        {-12.207173067618234, -32.418752171285632}},
       45.63461286936262,
       9.9081664466011894},
      {{{13.639823033217493, 23.090660017493136},
        {0.72699181857468798, 35.659392787491889},
        {-11.217370702274938, 23.388025417314921}},
       49.806682371218443,
       0}};
  const CKelBlockCubeArray blocks = Blocks(scene);
  const CKelCoord3D eye(-13.929149118178664, 56.080033806582115, 1.5);
  constexpr double turn = -0.91985884563040654;
  const double exact = ExactRatio(scene, eye);
  for (const Method& m : EveryMethod({10})) {
    if (!m.sansya || m.side2)
      continue;
    const double one = Ratio(blocks, eye, m, turn);
    Method two = m;
    two.side2 = true;
    const double both = Ratio(blocks, eye, two, turn);
    EXPECT_NEAR(exact, one, 1.5e-3) << Describe(m);
    EXPECT_LE(both, one + 1e-4) << Describe(two);
    EXPECT_NEAR(exact, both, 1.5e-3) << Describe(two);
  }
}


// A window of sky behind the check point: a floating storey over a low
// block, closed at its ends by two pillars. One pillar's inner face is
// walked across the 180 degree line, where the fans part, so the window
// opens onto a fan's side; the other pillar is walked off the storey's end,
// so the window opens onto the sky beside it through a slit. The two-sided
// fans count the window as covered before and after: the ratio moves no
// more than the faces do, and stays with the upper boundary's integral.
TEST(SkyFactorEveryPoint, TwoSidedWindowOpeningOntoASideOrTheSkyMovesNoRatio)
{
  const auto scene = [](double inner, double slit) {
    return std::vector<Prism>{PrismBox(-26, -20, -10, 10, 5), PrismBox(-26, -20, -2, 8, 14, 8),
                              PrismBox(-26, -20, -4, inner, 10), PrismBox(-26, -20, 8 + slit, 10, 10)};
  };
  const CKelCoord3D eye(0, 0, 1.5);
  const std::vector<double> offsets{-1e-3, -1e-6, -1e-9, 0, 1e-9, 1e-6, 1e-3};
  for (const Method& m : EveryMethod({10, 7, 1})) {
    if (!m.side2)
      continue;
    for (bool walkSlit : {false, true}) {
      double previous = -1, previousOffset = 0;
      for (double off : offsets) {
        const std::vector<Prism> prisms = walkSlit ? scene(0.5, off) : scene(off, -0.5);
        const double r = Ratio(Blocks(prisms), eye, m);
        ASSERT_GT(r, 0) << Describe(m) << " offset " << off << " code " << -100 - r;
        EXPECT_NEAR(ExactRatio(prisms, eye, true), r, m.step == 10 ? 1.5e-3 : 1e-3) << Describe(m);
        if (previous >= 0) {
          EXPECT_NEAR(previous, r, 1e-6 + 1e-2 * (off - previousOffset))
              << Describe(m) << (walkSlit ? " slit " : " side ") << previousOffset << " to " << off;
        }
        previous = r;
        previousOffset = off;
      }
    }
  }
}

// Every method gives the same ratio, within 1e-6, at two check points a
// hair apart.
void ExpectEveryMethodAgrees(const CKelBlockCubeArray& blocks, const CKelCoord3D& a, const CKelCoord3D& b, double turn)
{
  for (const Method& m : EveryMethod({10, 7, 1}))
    EXPECT_NEAR(Ratio(blocks, a, m, turn), Ratio(blocks, b, m, turn), 1e-6) << Describe(m);
}

// A side of a block comes down onto the horizon a hair past a whole degree.
// Whether the corner where it reaches the horizon was a point of the
// subdivision or a crossing of another face's outline decided whether the
// union kept it; dropped, the side was drawn on to the next corner kept, over
// the sky beside it (1.2e-5 for a move of 2e-9 m).
TEST(SkyFactorEveryPoint, SideComingDownOntoTheHorizonKeepsItsCorner)
{
  const std::vector<Prism> scene{
      {{{-11.82131894446761, 16.652725854231779}, {-10.501283502567134, 17.15039354625819}, {-10.11334581355794, 17.197547117395732}, {-12.037030685116797, 17.260870129167998}, {-12.263974044959269, 19.020963789091361}, {-11.50214726346281, 20.41862105287797}, {-12.626808196996132, 20.903004940446294}, {-13.807544952015521, 20.960511538375968}, {-14.80867154199213, 20.000231729481385}, {-15.643589588702156, 21.510552317840322}, {-18.057364009447532, 22.859066567397171}, {-18.666083585727861, 19.5197235095876}, {-21.855288719068941, 19.548742575322674}, {-21.257111901902107, 16.760756859276452}, {-22.906533635302861, 16.515549661380899}, {-22.620295110111876, 15.85802251166986}, {-21.194271079209415, 13.796576079472441}, {-20.408342191577006, 13.865573216431425}, {-20.571919054036073, 13.406395366619748}, {-19.821739331519762, 12.405090421851636}, {-19.453941617722485, 12.417121231953171}, {-19.475250164378572, 11.029310512619343}, {-17.958773025865725, 12.751153284534784}, {-14.386002299048636, 13.114445823521445}, {-12.350332785773199, 11.986534630399539}},
       18.298290459664692,
       3.6560163454248031}};
  const CKelBlockCubeArray blocks = Blocks(scene);
  const XY eye{-66.399031768433687 + 0.0068531943349813057, -11.441093882868346 + 0.018387167465964784};
  constexpr double turn = -1.2045978863495479, dir = 1.2140294346143903;
  for (const Method& m : EveryMethod({10, 7, 1})) {
    const double before = Ratio(blocks, CKelCoord3D(eye.x, eye.y, 1.5), m, turn);
    const double after = Ratio(blocks, CKelCoord3D(eye.x + 2e-9 * std::cos(dir), eye.y + 2e-9 * std::sin(dir), 1.5), m, turn);
    EXPECT_NEAR(before, after, 1e-6) << Describe(m);
  }
}

// Two blocks whose outlines cross a hair from the 156 degree line: where
// their points on that line fall within the union's band of each other the
// crossing is that point, and the union kept it only as a point of the
// subdivision, which it drops. Over 0.1 mm of check point the ratio lost
// 6.6e-5 at step 7.
TEST(SkyFactorEveryPoint, OutlinesMeetingWithinTheUnionsBandKeepTheirCrossing)
{
  const std::vector<Prism> scene{
      {{{-6.0941185673586817, -10.490131846091602}, {-2.4594593758182004, -8.8569816474723773}, {-6.4652093916675621, -8.7298369354806873}, {-4.8803671311167367, -3.0543350912908309}, {-5.1119278552747494, -3.1261709928994001}, {-11.075720004889384, -1.9833080868396937}, {-15.139633786709974, -3.2955269478193792}, {-16.202933277064915, -0.77626013556710305}, {-16.736434089266922, -1.4515668723547659}, {-20.029762225951242, -4.3569018835718225}, {-21.012363474643514, -4.8297760769750431}, {-22.346810312306978, -7.6812359905981946}, {-18.3532345950658, -15.835170797012351}, {-17.662728689235848, -16.843999526316182}, {-17.462968588143553, -17.629843654921764}, {-16.4455169104872, -17.262681115013656}, {-15.418665163358746, -18.76864923172506}, {-13.969847051422089, -19.451116559777894}, {-14.139531444806657, -23.237838147182572}, {-13.037481105862136, -20.29461331593361}, {-11.536910666384712, -22.8126158967886}, {-11.306623267336326, -20.394071348842296}, {-8.0388287128314673, -17.268395161827584}, {-7.6099316452332451, -17.413737325570867}, {-3.1621245495222041, -13.400738924141953}},
       19.557915316697141,
       0},
      {{{8.7397579138623858, -24.798601948642936}, {7.7920728609809178, -21.428133837013064}, {6.6399802352194008, -18.689453120121946}, {4.1035433696174426, -15.969127147149306}, {-0.00064876043962192043, -14.496902014906972}, {-3.4464210534737179, -14.250243377716144}, {-6.6805754567017788, -15.029696505888458}, {-9.3357010129910165, -16.993125387218011}, {-11.622929999794531, -19.503308843936651}, {-12.82873022502595, -22.762451821023671}, {-13.166203231134496, -26.487504260953006}, {-11.636219915361721, -30.703517660084078}, {-9.1508067870182721, -33.337307236695636}, {-7.0311731398519299, -34.724035961518709}, {-2.7153929466313844, -35.529437171437337}, {0.38989029873555303, -35.482884357933855}, {3.723546281245234, -33.667681191559502}, {6.2225814264956263, -31.270964651189722}, {8.0459297872358349, -28.62277154189503}},
       36.723499099391738,
       0}};
  const CKelBlockCubeArray blocks = Blocks(scene);
  const XY eye{-35.320584420944662, 11.35055215423545 - 0.004};
  constexpr double turn = 2.0903640185370533;
  for (const Method& m : EveryMethod({10, 7, 1})) {
    const auto at = [&](double dx) { return Ratio(blocks, CKelCoord3D(eye.x + dx, eye.y, 1.5), m, turn); };
    const double before = at(-0.0038), inside = at(-0.00374), after = at(-0.0036);
    EXPECT_NEAR((before + after) / 2, inside, 1e-6) << Describe(m);
  }
}

// Outlines that meet only along the horizon, where their points at one
// azimuth fall within the union's band of each other: that point is no
// crossing and stays a point of the subdivision, whichever outline's bits
// the union kept.
TEST(SkyFactorEveryPoint, OutlinesMeetingOnTheHorizonAddNoCorner)
{
  const std::vector<Prism> scene{
      {{{12.649519465885845, -25.162965421189899}, {22.967134354529627, -24.803887864231417}, {22.749803605542631, -18.559178530399212}, {12.43218871689885, -18.918256087357694}},
       19.541527704292186,
       0},
      {{{22.626476141422959, 1.934426062700114}, {22.690393062739076, 3.162643597355276}, {21.970870072099402, 5.1701442563344902}, {21.272838896661579, 6.5225623280755105}, {20.18765104725491, 7.9702437374737745}, {19.235194077111512, 8.9623537565390663}, {17.52477638305519, 9.5534948766080543}, {15.921384982586062, 10.187447137919696}, {14.281057289385574, 10.593119134109269}, {13.020817494086089, 10.59313014942504}, {11.151748795565334, 10.461271391758109}, {9.5582207323607129, 9.6362355434952303}, {8.4838975814381143, 8.7474528364560804}, {7.0988212587688926, 8.0039636675284633}, {6.0033133499468363, 6.288798288915638}, {5.3738371216471457, 5.0027934689548612}, {4.7431279719349426, 3.3680955123417582}, {5.0337763148058752, 1.7714378966392772}, {5.181996756921718, -0.090541895969803221}, {5.4335284924475058, -1.7327354600261957}, {6.0484542628075673, -3.1909088232642366}, {7.2097554012414689, -4.3233280559017642}, {8.3495364347069287, -5.0758954954350397}, {9.5193674681460827, -6.366514758173075}, {11.18286560723341, -6.674330658629243}, {13.008753700800913, -6.9985994222976178}, {14.498395952780108, -7.370595401854354}, {16.317482995187703, -6.9590936610870564}, {17.823435274100596, -6.4141806824036625}, {19.182676013926958, -5.3063939575974501}, {20.350175431744503, -4.4499962611956576}, {21.211552662314126, -2.6729568882650829}, {21.879265370349849, -1.43754261328559}, {22.667077227287688, 0.27830691500104465}},
       3.3840238731936392,
       0}};
  const CKelBlockCubeArray blocks = Blocks(scene);
  const XY eye{11.949547213713757 + 0.02787035619235851, 45.197814924291102 - 0.004334614557492441};
  constexpr double turn = -0.92260043759534127;
  const XY move{0.027870358168599785 - 0.02787035619235851, -0.004334614864852854 + 0.004334614557492441};
  for (const Method& m : EveryMethod({10, 7, 1})) {
    EXPECT_NEAR(Ratio(blocks, CKelCoord3D(eye.x, eye.y, 1.5), m, turn),
                Ratio(blocks, CKelCoord3D(eye.x + move.x, eye.y + move.y, 1.5), m, turn), 1e-6)
        << Describe(m);
  }
}

// A vertical side of the outline: the expansion after the union lowers its
// top and its foot alike, and the top stopped above its foot's former place
// or not as the two azimuths, equal but for rounding, fell.
TEST(SkyFactorEveryPoint, TopOfASideIsLoweredWithItsFoot)
{
  const std::vector<Prism> scene{
      {{{25.222618592778566, 3.6348459626265806}, {24.365360877940944, 3.9509629303452334}, {21.172176164978147, 5.004823684533978}, {20.997656695897909, 8.0811850878028988}, {21.556185215690643, 9.0513577862596577}, {20.696448957218436, 8.8258722504724894}, {19.30877172855957, 9.6112796101290847}, {18.923517554524967, 8.7604332793898081}, {19.153213062112055, 9.6250178118022269}, {15.625680718978462, 10.813571072902146}, {15.252723356197706, 8.6906662566884609}, {14.649813762786478, 10.528160251852579}, {11.910309345383254, 6.0772452584240959}, {9.7851541946224962, 2.8479748854825808}, {8.9848566542509847, -0.94566878908932805}, {10.396976715332521, -0.46698629160784888}, {15.291064302678702, -3.9571949326833833}, {15.828113978570524, -2.5156459450204789}, {18.541757204675786, -2.7655314558721873}, {20.08562264756014, -5.4563948427073035}, {21.751393877391582, -4.5078105227773166}, {24.317555359750166, -0.93882718235105855}, {25.108690649220211, 0.10788444688981258}, {22.823992817994185, 1.5610634374648895}},
       8.4763398311045179,
       0}};
  const CKelBlockCubeArray blocks = Blocks(scene);
  const XY eye{-2.4167991116711396, 50.652601538420896};
  constexpr double turn = -1.0625455779111015;
  const XY before{-0.01179972216486763, -0.00811427157015187}, after{-0.01179972381282351, -0.00811427270339563};
  ExpectEveryMethodAgrees(blocks, CKelCoord3D(eye.x + before.x, eye.y + before.y, 1.5),
                          CKelCoord3D(eye.x + after.x, eye.y + after.y, 1.5), turn);
}

// Two blocks, one floating over the other, and a third behind: as the check
// point moves, the sky between the first two closes to a point on or just
// inside the 21 degree sector line.
std::vector<Prism> ClosingWindowScene()
{
  return {
      {{{8.8093845302957252, 25.158900620135604}, {-9.4423624238000006, 26.249382732954878}, {-10.526277217867252, 8.1075550875939104}, {7.7254697362284732, 7.0170729747746368}},
       21.750529424558373,
       0},
      {{{13.167786400947337, 22.573999526633081}, {10.343076477515529, 22.414874603126904}, {6.2739495858889525, 19.641343987422569}, {8.1213607524141853, 16.019683417053393}, {12.024105893209683, 11.713834557134449}, {13.942119399313064, 11.600855987170746}},
       46.875207755509756,
       21.655009192854013},
      {{{19.637658719495278, 2.6395368619948374}, {19.634597401510284, 4.2475781822479863}, {18.998762195224575, 5.2673712965818247}, {18.760370482852757, 6.7905105406545463}, {17.893719204396618, 8.0907063777886599}, {16.769882061053188, 9.2157174387937442}, {15.84494665835291, 9.9580964639193876}, {14.391834994872177, 10.585396496442225}, {13.207378148212198, 11.442852256610539}, {11.784613025107348, 11.53491667760013}, {10.228205164138117, 12.03486249813961}, {8.9127007267526821, 11.704615419708807}, {7.4777108499429783, 11.254424249435541}, {5.7827960361408302, 10.992600414555316}, {4.7351744863651755, 10.227060781213954}, {3.9166065667114189, 8.9907486962594128}, {2.9044391929557349, 8.0106874536964803}, {1.9458431755119197, 6.6613431475660683}, {1.3188434461975298, 5.3900260467928174}, {0.85782220993617919, 4.0350520906684197}, {0.93394491178395533, 2.5978343522520029}, {1.0176661620098741, 0.99206262803494094}, {1.31212884593503, -0.31415007682987728}, {1.8368200197315669, -1.888461760930122}, {2.5410827874013968, -2.9486801468821033}, {3.8103857850274636, -4.1197175921896276}, {5.0391297927730276, -4.9291816541488256}, {5.8403388380882566, -5.7292964713112902}, {7.4792059094463026, -6.3719441522238682}, {8.9427248868695663, -6.8321095732833665}, {10.116707615608581, -6.7565389034091066}, {11.832638085852624, -6.495538494040046}, {13.028603139639218, -6.3082065845296729}, {14.687494036271559, -5.7426177794725639}, {15.86134994351697, -5.1169144708046321}, {16.84889620871667, -4.3156084342346102}, {17.645569042735161, -2.7636555561402645}, {18.386338356196291, -1.4165956071868067}, {19.129946349877535, -0.3808475497984336}, {19.561644664598717, 1.2750605039150189}},
       37.083373780758045,
       0}};
}

// Every method agrees at two check points a hair apart (offsets from the
// scene's own check point) as the window closes.
void ExpectClosingWindowAgrees(const std::vector<Prism>& scene, const XY& before, const XY& after)
{
  const XY eye{41.314382467669866, 44.002189361663916};
  ExpectEveryMethodAgrees(Blocks(scene), CKelCoord3D(eye.x + before.x, eye.y + before.y, 0),
                          CKelCoord3D(eye.x + after.x, eye.y + after.y, 0), -2.7983058153622777);
}

// A window of sky between two blocks whose mouth closes on the 21 degree
// line: open, the lower end of its mouth is lowered with the window's floor
// and the upper end stays; closed, the one point where it touches the line
// is both, and the hole it leaves lies along the outline's side, which the
// division once covered twice.
TEST(SkyFactorEveryPoint, WindowClosingOnASectorLineIsLoweredAsItsMouthWas)
{
  ExpectClosingWindowAgrees(ClosingWindowScene(), {-0.004908514003895965, 0.01721032497114181}, {-0.004908514552437045, 0.017210326894446955});
}

// A corner of a block a micro-radian off the 150 degree line, its side
// standing over a ledge of the union a hair wide or not as the frame turns by
// a rounding. The expansion after the union lowers the corner; the ledge
// held it up by its whole lowering.
TEST(SkyFactorEveryPoint, LedgeAHairWideHoldsNoCornerUp)
{
  const std::vector<Prism> scene{
      {{{-0.7235079182008386, 22.265516292167405}, {-0.84807218946941276, 23.884647280644984}, {-1.5335027804443717, 23.401931011774995}, {-5.2369522039387491, 22.568663720873701}, {-6.7263794943089925, 22.861395900719337}, {-7.1374625293410965, 21.403933907878603}, {-6.0739475428396865, 18.639568030484646}, {-5.5950514837659497, 18.594980328987823}, {-4.7376396922098269, 19.393372350636685}, {-4.2357524926859398, 18.687024362414004}, {-2.6975526163542147, 18.564349114023525}, {-0.88440553129125243, 20.160128694201429}, {-0.42716645603748082, 20.614146718119894}, {0.13126203736398212, 20.573173521632182}},
       15.158870228555521,
       0}};
  const CKelBlockCubeArray blocks = Blocks(scene);
  const CKelCoord3D eye(38.211512923157635, -5.7136466291434287, 1.5);
  // Two turns a rounding apart at each of the two places where the ledge
  // comes and goes.
  const std::pair<double, double> turns[] = {{0.0018807028150147345, 0.0018807028150147342},
                                             {0.0018807396593814032, 0.001880739659381403}};
  for (const Method& m : EveryMethod({10, 7, 1})) {
    for (const auto& [before, after] : turns)
      EXPECT_NEAR(Ratio(blocks, eye, m, before), Ratio(blocks, eye, m, after), 1e-6) << Describe(m) << " " << before;
  }
}

// The same window a little on, narrowing to a point just inside the sector
// as the union takes the two blocks' corners for one: the tip of the window
// opens under the expansion as the mouth it had been a micrometre before.
TEST(SkyFactorEveryPoint, WindowNarrowingToAPointOpensAsItsMouthDid)
{
  std::vector<Prism> scene = ClosingWindowScene();
  scene.pop_back();
  ExpectClosingWindowAgrees(scene, {-0.004974620575954991, 0.017442109088893338}, {-0.004974621124496071, 0.01744211101219848});
}

// A floating block whose lower corner stands on the side of a lower block,
// both a hair off one azimuth. Lowered to the horizon, the corner's edge
// would cross the chord of the lower block's horizon edge on the disc,
// though not in the chart: the chord holds it up, and the outline stays
// one that can be divided.
TEST(SkyFactorEveryPoint, CornerLoweredBesideAFootStaysAboveItsChord)
{
  const std::vector<Prism> scene{
      {{{7.5180676951794254, 13.086925837806678}, {-4.3039262352839991, 27.746030312613939}, {-25.495495413867072, 10.65585931091646}, {-13.673501483403648, -4.003245163890802}},
       36.907563527188891,
       2.4714122992944167},
      {{{-0.55963168244479, -21.352937627202358}, {-0.65244468197428507, -20.481141251110461}, {-1.0831782435329749, -19.683807513249882}, {-1.3180517647404493, -18.965421992268034}, {-1.7322783199342173, -18.386171750293673}, {-2.4270050962708503, -17.892139784424636}, {-3.2745109737381917, -17.493458432505911}, {-3.9597626385502629, -17.286244586129271}, {-4.7989219397854672, -17.179387615285542}, {-5.6604604024283462, -17.148409029002028}, {-6.4536625369547629, -17.359423507107302}, {-7.1067310914043222, -17.683708491794331}, {-7.892772637731543, -18.397294916109168}, {-8.2621219091235965, -18.916620998417613}, {-8.6507819363585359, -19.71836383285191}, {-8.9199817976701432, -20.483684569054248}, {-8.9755256670717181, -21.223775189461879}, {-8.8842221205686833, -22.244620536195168}, {-8.7781573031118789, -22.949124388623044}, {-8.2666590795769448, -23.627074986665551}, {-7.6240415261631931, -24.278605480546929}, {-7.1032202758825251, -24.75882620984504}, {-6.5441861415522027, -25.229162441187032}, {-5.6737962587168713, -25.496691843318722}, {-4.881373608613977, -25.544849047556628}, {-3.9663261814436717, -25.326801321827087}, {-3.172385488296023, -25.316671454877675}, {-2.3914232346812856, -24.823872164703786}, {-1.9009253183980097, -24.253074850091501}, {-1.281656465541845, -23.738249703523248}, {-0.83644782811802054, -22.930562800521219}, {-0.75291402525187312, -22.217297229795317}},
       15.610600587676291,
       0}};
  const CKelBlockCubeArray blocks = Blocks(scene);
  const CKelCoord3D eye(-44.373102391250534, 32.973870023993022, 0);
  constexpr double turn = -1.0819451340932944;
  for (const Method& m : EveryMethod({10, 7, 1})) {
    const double r = Ratio(blocks, eye, m, turn);
    if (m.side2) {
      EXPECT_GE(r, 0) << Describe(m);
    } else {
      EXPECT_NEAR(ExactRatio(scene, eye), r, m.step == 1 ? 3e-5 : 1.5e-3) << Describe(m);
    }
  }
}

// With a third block behind, the window closes into a hole of its own
// whose tip lies just inside the sector: the tip of a hole opens as the tip
// of a window in the outline does.
TEST(SkyFactorEveryPoint, HoleNarrowingToAPointOpensAsItsMouthDid)
{
  ExpectClosingWindowAgrees(ClosingWindowScene(), {-0.004974620575954991, 0.017442109088893338}, {-0.004974621124496071, 0.01744211101219848});
}

}  // namespace
