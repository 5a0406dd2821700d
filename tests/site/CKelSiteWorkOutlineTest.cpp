// A survey's extra points change no road, corner cut, deemed site or
// distance: each clean site is compared with its survey variants, the same
// frontage marked with and without the tiny pieces the survey added.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "CKelHSite.h"
#include "CKelMSite.h"
#include "CKelSiteWorkOutline.h"
#include "KelOutlineClean.h"
#include "KelTolerance.h"
#include "SiteAreaJudge.h"
#include "SitePlacement.h"
#include "SiteTestSupport.h"
#include "SurveyVariants.h"

namespace {

using site_test::MakeCut;
using site_test::MakeRoad;

constexpr double kSame = 1e-3;  // far sides and distances: within 1 mm
// A corner doubled g aside turns the sides beside it by up to g over their
// length: they meet where their lines cross, up to about g from the clean
// corner, and the results move as far (the lengths and areas by so much
// per corner and per metre of the outline).
double Same(const survey::Variant& v) { return kSame + 4 * v.m_Moves; }
constexpr double kAreaPerMove = 100;  // m2 per metre a corner moves
// Doubled points fall in new random directions with every seed.
constexpr unsigned kSeeds = 4;

struct CleanSite {
  const char* m_Name;
  survey::Outline m_Pts;
  std::vector<std::pair<int, double>> m_Roads;  // clean edge, width
  std::vector<int> m_Cuts;
  double m_DeemedArea;
};

// 20 x 30 with a 6 m or 12 m road on its south edge; a corner cut between a
// south and an east road.
std::vector<CleanSite> CleanSites()
{
  const survey::Outline rect = {{0, 0}, {20, 0}, {20, 30}, {0, 30}};
  return {{"6 m road", rect, {{0, 6.0}}, {}, 660},
          {"12 m road", rect, {{0, 12.0}}, {}, 740},
          {"corner cut", {{0, 0}, {17, 0}, {20, 3}, {20, 30}, {0, 30}}, {{0, 6.0}, {2, 6.0}}, {1}, 759}};
}

// The site of a variant with the clean site's frontage marked on the pieces
// that lie on it, the tiny ones only when asked.
CKelHSite Marked(const CleanSite& clean, const survey::Variant& v, bool tiny)
{
  CKelHSite site(v.m_Pts);
  site.SetArea();
  site.SetMaxMin();
  for (const auto& [edge, width] : clean.m_Roads) {
    for (int k : v.EdgesOf(edge, tiny))
      MakeRoad(site, k, width, width);
  }
  for (int edge : clean.m_Cuts) {
    for (int k : v.EdgesOf(edge, tiny))
      MakeCut(site, k);
  }
  return site;
}

// Every variant of every clean site, marked both ways; the clean one first.
template <class F>
void ForEachVariant(F check)
{
  for (const CleanSite& clean : CleanSites()) {
    const survey::Variant cleanVariant = survey::Clean(clean.m_Pts);
    CKelHSite cleanSite = Marked(clean, cleanVariant, false);
    site_test::BuildRoads(cleanSite);
    std::vector<survey::Variant> variants;
    for (unsigned seed = 1; seed <= kSeeds; ++seed) {
      const std::vector<survey::Variant> more = survey::SurveyVariants(clean.m_Pts, seed);
      variants.insert(variants.end(), more.begin(), more.end());
    }
    for (const survey::Variant& v : variants) {
      for (const bool tiny : {false, true}) {
        const std::string name = std::string(clean.m_Name) + ": " + v.m_Name + (tiny ? " (tiny marked)" : "");
        SCOPED_TRACE(name);
        CKelHSite site = Marked(clean, v, tiny);
        check(clean, cleanSite, v, site);
      }
    }
  }
}

void ExpectNear(const CKelCoord2D& clean, const CKelCoord2D& got, const char* what, double within = kSame)
{
  EXPECT_NEAR(clean.m_x, got.m_x, within) << what;
  EXPECT_NEAR(clean.m_y, got.m_y, within) << what;
}

// The roads of the variant standing for the clean road on clean edge e, in
// table order: one per piece of the frontage.
template <class Roads>
auto RoadsOn(Roads& roads, const survey::Variant& v, int e) -> std::vector<decltype(&roads[0])>
{
  std::vector<decltype(&roads[0])> out;
  for (auto& r : roads) {
    if (r.m_no >= 0 && v.m_From[static_cast<std::size_t>(r.m_no)] == e)
      out.push_back(&r);
  }
  return out;
}

constexpr std::uint16_t kBegBits = 0x2222;  // begin shape, computed shape, joins
constexpr std::uint16_t kEndBits = 0x1111;

// The frontage's first piece begins and its last piece ends as the clean
// road; every road edge's optno names its own road, one road per road edge.
void ExpectSameRoads(const CKelHSite& clean, const survey::Variant& v, const CKelHSite& site)
{
  for (std::size_t k = 0; k < site.m_pt.size(); ++k) {
    const CKelSiteTable& p = site.m_pt[k];
    if (!p.IsRoad())
      continue;
    ASSERT_GE(p.optno, 0) << "road edge " << k;
    ASSERT_LT(p.optno, static_cast<int>(site.m_Road.size()));
    EXPECT_EQ(static_cast<int>(k), site.m_Road[static_cast<std::size_t>(p.optno)].m_no);
  }
  for (const CSiteRoadTable& c : clean.m_Road) {
    const std::vector<const CSiteRoadTable*> pieces = RoadsOn(site.m_Road, v, c.m_no);
    ASSERT_FALSE(pieces.empty()) << "road on clean edge " << c.m_no;
    const CSiteRoadTable& first = *pieces.front();
    const CSiteRoadTable& last = *pieces.back();
    EXPECT_EQ(c.m_Flag & kBegBits, first.m_Flag & kBegBits);
    EXPECT_EQ(c.m_Flag & kEndBits, last.m_Flag & kEndBits);
    ExpectNear(c.m_SiteBeg, v.Back(first.m_SiteBeg), "site begin", Same(v));
    ExpectNear(c.m_SiteEnd, v.Back(last.m_SiteEnd), "site end", Same(v));
    ExpectNear(c.m_FarBeg, v.Back(first.m_FarBeg), "far begin", Same(v));
    ExpectNear(c.m_FarEnd, v.Back(last.m_FarEnd), "far end", Same(v));
  }
  ASSERT_EQ(clean.m_Cross.size(), site.m_Cross.size());
  for (std::size_t k = 0; k < clean.m_Cross.size(); ++k) {
    const CSiteCrossTable& c = clean.m_Cross[k];
    const int e1 = clean.m_Road[static_cast<std::size_t>(c.m_Road1)].m_no;
    const auto same = std::find_if(site.m_Cross.begin(), site.m_Cross.end(), [&](const CSiteCrossTable& x) {
      return v.m_From[static_cast<std::size_t>(site.m_Road[static_cast<std::size_t>(x.m_Road1)].m_no)] == e1;
    });
    ASSERT_NE(site.m_Cross.end(), same);
    EXPECT_EQ(c.m_Flag, same->m_Flag);
    for (int p = 0; p < 4; ++p)
      ExpectNear(c.m_Pt[p].m_pt, v.Back(same->m_Pt[p].m_pt), "crossing point", Same(v));
  }
}

std::vector<CKelCoord2D> Probes()
{
  std::vector<CKelCoord2D> out;
  for (double x : {-9.0, -2.0, 1.0, 10.0, 19.0, 21.0, 24.0, 27.0})
    for (double y : {-11.0, -5.0, -1.0, 1.0, 15.0, 29.0, 31.0, 36.0})
      out.emplace_back(x, y);
  return out;
}

CKelCoord2D Moved(const survey::Variant& v, const CKelCoord2D& p)
{
  return {p.m_x + v.m_Shift.m_x, p.m_y + v.m_Shift.m_y};
}

void ExpectSameDeemedSite(const CleanSite& clean, const CKelHSite& cleanSite, const survey::Variant& v,
                          const CKelHSite& site)
{
  CKelMSite cleanDeemed;
  CKelMSite deemed;
  ASSERT_GT(cleanDeemed.SiteMAutoSet(cleanSite), 2);
  ASSERT_GT(deemed.SiteMAutoSet(site), 2);
  EXPECT_DOUBLE_EQ(clean.m_DeemedArea, cleanDeemed.m_area);
  EXPECT_NEAR(clean.m_DeemedArea, deemed.m_area, 1e-6 * clean.m_DeemedArea + kAreaPerMove * v.m_Moves);
  EXPECT_FALSE(site_test::SelfCrosses(deemed.m_pt));
  for (const CKelCoord2D& p : Probes())
    EXPECT_NEAR(cleanDeemed.CalcSiteDistance3(p), deemed.CalcSiteDistance3(Moved(v, p)), Same(v))
        << p.m_x << ", " << p.m_y;
}

// Distance of p from an arc running counter-clockwise about c from a to b.
double ArcDistance(const CKelCoord2D& p, const CKelCoord2D& a, const CKelCoord2D& c, const CKelCoord2D& b)
{
  auto angle = [&](const CKelCoord2D& q) { return std::atan2(q.m_y - c.m_y, q.m_x - c.m_x); };
  auto sweep = [](double from, double to) { return std::fmod(to - from + 4 * KelAngle::Pi, 2 * KelAngle::Pi); };
  if (sweep(angle(a), angle(p)) <= sweep(angle(a), angle(b)))
    return std::fabs(std::hypot(p.m_x - c.m_x, p.m_y - c.m_y) - std::hypot(a.m_x - c.m_x, a.m_y - c.m_y));
  return std::min(std::hypot(p.m_x - a.m_x, p.m_y - a.m_y), std::hypot(p.m_x - b.m_x, p.m_y - b.m_y));
}

double LineDistance(const CClineData& line, const CKelCoord2D& p)
{
  double best = 1e300;
  for (const ClineElement& e : line.Elements()) {
    const CKelCoord2D& a = line[static_cast<std::size_t>(e.start)];
    const CKelCoord2D& b = line[static_cast<std::size_t>(e.end)];
    best = std::min(best, e.IsArc() ? ArcDistance(p, a, line[static_cast<std::size_t>(e.centre)], b)
                                    : SegmentDistance(a, b, p));
  }
  return best;
}

// Each line's element ends lie within 1 mm of the other line, and the
// lengths agree.
void ExpectSameLine(const CClineData& clean, const CClineData& got, const survey::Variant& v)
{
  ASSERT_FALSE(clean.Elements().empty());
  EXPECT_NEAR(clean.GetLength(), got.GetLength(), Same(v));
  for (const ClineElement& e : clean.Elements())
    EXPECT_NEAR(0, LineDistance(got, Moved(v, clean[static_cast<std::size_t>(e.start)])), Same(v));
  for (const ClineElement& e : got.Elements())
    EXPECT_NEAR(0, LineDistance(clean, v.Back(got[static_cast<std::size_t>(e.start)])), Same(v));
}

}  // namespace

TEST(SiteSurveyVariants, GiveTheCleanRoadsCornerCutsAndDeemedSite)
{
  ForEachVariant([](const CleanSite& clean, const CKelHSite& cleanSite, const survey::Variant& v, CKelHSite& site) {
    EXPECT_EQ(0, site.CheckError(true));
    site_test::BuildRoads(site);
    ExpectSameRoads(cleanSite, v, site);
    ExpectSameDeemedSite(clean, cleanSite, v, site);
  });
}

// What is tiny is judged by the site's size: a point 1 mm off a 20 x 30
// site's frontage joins its two pieces into one run, 0.3 m off it does not;
// widths that bend, or a cut after a road, end a run; a 1 mm edge folds into
// its neighbour of the same kind, and stays an edge of its own alone
// between edges of another kind.
TEST(CKelSiteWorkOutline, JudgesTinyBySiteSize)
{
  struct Row {
    const char* m_Name;
    double m_Y;         // (10, y) joins the two pieces of the south edge
    double m_W[4];      // begin and end widths of the two pieces
    bool m_SecondIsCut;
    int m_Runs;         // edges of the runs
  };
  const Row rows[] = {{"1 mm off", 0.001, {6, 6, 6, 6}, false, 4},
                      {"0.3 m off", 0.3, {6, 6, 6, 6}, false, 5},
                      {"widths on a line", 0, {6, 7, 7, 8}, false, 4},
                      {"widths bend", 0, {6, 8, 8, 8}, false, 5},
                      {"road then cut", 0, {6, 6, 6, 6}, true, 5}};
  for (const double far : {0.0, 3e5}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(std::string(r.m_Name) + (far > 0 ? " far" : ""));
      CKelHSite site = site_test::Site({{far, far}, {far + 10, far - r.m_Y}, {far + 20, far}, {far + 20, far + 30}, {far, far + 30}});
      MakeRoad(site, 0, r.m_W[0], r.m_W[1]);
      MakeRoad(site, 1, r.m_W[2], r.m_W[3]);
      if (r.m_SecondIsCut)
        MakeCut(site, 1);
      const CKelSiteWorkOutline work(site);
      EXPECT_EQ(5, work.Pieces().GetSize());
      EXPECT_EQ(r.m_Runs, work.Runs().GetSize());
      EXPECT_EQ(r.m_Runs == 5, work.IsIdentity());
    }
  }
  for (const bool lone : {false, true}) {
    CKelHSite site = site_test::Site({{0, 0}, {10, 0}, {10.001, 0}, {20, 0}, {20, 30}, {0, 30}});
    MakeRoad(site, 1, 6, 6);
    if (!lone) {
      MakeRoad(site, 0, 6, 6);
      MakeRoad(site, 2, 6, 6);
    }
    const CKelSiteWorkOutline work(site);
    EXPECT_EQ(!lone, work.IsFolded(1)) << lone;
    EXPECT_EQ(lone ? 6 : 5, work.Pieces().GetSize()) << lone;
  }
}

// The tiny size is a share of the lot's diameter up to a few centimetres:
// a step of 0.1 m in the frontage and a run back along it of 0.1 m are the
// lot's own on a 600 x 400 m lot as on a 20 x 25 m one, a 10 mm step is a
// survey's noise on both.
TEST(CKelSiteWorkOutline, TinySizeStopsAtAFewCentimetres)
{
  struct Row {
    double m_W, m_H;
    double m_Tiny;
  };
  const Row rows[] = {{20, 25, 1e-3 * std::hypot(20, 25)}, {600, 400, KelTol::SiteSurveyTinyMax}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.m_W) + " x " + std::to_string(r.m_H));
    const double w = r.m_W, h = r.m_H;
    for (const double step : {0.01, 0.1, 0.5}) {
      CKelHSite site = site_test::Site({{0, 0}, {w / 2, 0}, {w / 2, step}, {w, step}, {w, h}, {0, h}});
      for (int k = 0; k < 3; ++k)
        MakeRoad(site, k, 6, 6);
      EXPECT_DOUBLE_EQ(r.m_Tiny, SiteTinySize(site.m_pt));
      const CKelSiteWorkOutline work(site);
      EXPECT_EQ(step > r.m_Tiny ? 6 : 5, work.Pieces().GetSize()) << step;
    }
    CKelHSite back = site_test::Site({{0, 0}, {w / 2, 0}, {w / 2 - 0.1, 0}, {w, 0}, {w, h}, {0, h}});
    MakeRoad(back, 0, 6, 6);
    int edge = -1;
    EXPECT_EQ(CKelHSite::kRunsBack, back.CheckError(true, &edge));
    EXPECT_EQ(1, edge);
  }
}

// Pieces off the line by up to 0.05 mm, even the 1.4 m pieces of the
// corner cut: the frontage's roads end as the clean road, the cut is one.
TEST(SiteSurveyVariants, NoisySplitFrontageEndsAsTheCleanRoad)
{
  std::mt19937 rng(7);
  for (const CleanSite& clean : CleanSites()) {
    SCOPED_TRACE(clean.m_Name);
    CKelHSite cleanSite = Marked(clean, survey::Clean(clean.m_Pts), false);
    site_test::BuildRoads(cleanSite);
    const survey::Variant v = survey::Split(survey::Clean(clean.m_Pts), 3, 5e-5, rng);
    CKelHSite site = Marked(clean, v, false);
    EXPECT_EQ(0, site.CheckError(true));
    site_test::BuildRoads(site);
    ExpectSameRoads(cleanSite, v, site);
  }
}

// A road's ends cut by the user on every piece of a frontage end at the
// frontage's ends, not at the ends of the pieces.
TEST(SiteSurveyVariants, ReshapeTheWholeFrontage)
{
  ForEachVariant([](const CleanSite&, const CKelHSite& cleanSite, const survey::Variant& v, CKelHSite& site) {
    site_test::BuildRoads(site);
    CKelHSite reshaped = cleanSite;
    for (CSiteRoadTable& r : reshaped.m_Road) {
      const bool ok = reshaped.ChangeRoadStatus(&r, CSiteRoadTable::kBegCut | CSiteRoadTable::kEndCut);
      // The frontage takes the shape when every piece does, as the clean
      // road takes it or refuses it whole.
      const std::vector<CSiteRoadTable*> pieces = RoadsOn(site.m_Road, v, r.m_no);
      const bool all = std::all_of(pieces.begin(), pieces.end(), [](const CSiteRoadTable* piece) {
        return piece->CheckEnableRoadShape(CSiteRoadTable::kBegCut | CSiteRoadTable::kEndCut);
      });
      EXPECT_EQ(ok, all);
      for (CSiteRoadTable* piece : all ? pieces : std::vector<CSiteRoadTable*>{})
        EXPECT_TRUE(site.ChangeRoadStatus(piece, CSiteRoadTable::kBegCut | CSiteRoadTable::kEndCut));
    }
    ExpectSameRoads(reshaped, v, site);
  });
}

// The deemed site's check lines, built from the variants' deemed sites.
TEST(SiteSurveyVariants, GiveTheCleanDeemedSiteCheckLines)
{
  ForEachVariant([](const CleanSite&, const CKelHSite& cleanSite, const survey::Variant& v, CKelHSite& site) {
    CKelMSite cleanDeemed;
    CKelMSite deemed;
    ASSERT_GT(cleanDeemed.SiteMAutoSet(cleanSite), 2);
    site_test::BuildRoads(site);
    ASSERT_GT(deemed.SiteMAutoSet(site), 2);
    ASSERT_TRUE(cleanDeemed.CreateCheckLine());
    ASSERT_TRUE(deemed.CreateCheckLine());
    ExpectSameLine(cleanDeemed.m_ChkLine1, deemed.m_ChkLine1, v);
    ExpectSameLine(cleanDeemed.m_ChkLine2, deemed.m_ChkLine2, v);
  });
}

// The listing a survey gives round a 20 x 25 lot's corner (0, 0), road on
// the south edge: what cleaning keeps and what the site check refuses.
// The lot's tiny size is 32 mm however it is turned (its box's diagonal
// grows to 45 mm); a hair is 1e-6 m. A 1e-5 m needle is a lot's own, a run
// back by more than the tiny size is refused at the edge that runs back.
TEST(CKelSiteWorkOutline, CleansRepeatsSpikesAndBackTracksAndRefusesRunsBack)
{
  struct Row {
    const char* m_Name;
    std::vector<std::pair<double, double>> m_Head;  // listed after (0, 0)
    int m_Runs;
    int m_RunsBack;
  };
  const Row rows[] = {{"clean", {}, 4, -1},
                      {"repeat 1e-7 m away", {{1e-7, 0}}, 4, -1},
                      {"spike, sides 9e-7 m apart", {{1.5, 1.5}, {9e-7, 0}}, 4, -1},
                      {"needle 1e-5 m wide", {{1.5, 1.5}, {1e-5, 0}}, 6, -1},
                      {"back 2 mm", {{7, 0}, {6.998, 0}}, 4, -1},
                      {"back 30 mm", {{7, 0}, {6.97, 0}}, 4, -1},
                      {"back 40 mm", {{7, 0}, {6.96, 0}}, 4, 1},
                      {"back 10 cm", {{7, 0}, {6.9, 0}}, 4, 1},
                      {"back over the corner", {{7, 0}, {14, 0}, {0, 0}}, 4, 2}};
  for (const double turn : {0.0, 2.2}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(std::string(r.m_Name) + (turn > 0 ? " turned" : ""));
      std::vector<std::pair<double, double>> pts = {{0, 0}};
      pts.insert(pts.end(), r.m_Head.begin(), r.m_Head.end());
      pts.insert(pts.end(), {{20, 0}, {20, 25}, {0, 25}});
      CKelHSite site = site_test::Site({});
      for (const auto& [x, y] : pts)
        site.m_pt.emplace_back(CKelCoord2D(3e5 + x * std::cos(turn) - y * std::sin(turn), x * std::sin(turn) + y * std::cos(turn)));
      for (int k = 0; k < static_cast<int>(pts.size()) - 3; ++k)
        MakeRoad(site, k, 6, 6);
      const CKelSiteWorkOutline work(site);
      EXPECT_EQ(r.m_Runs, work.Runs().GetSize());
      EXPECT_EQ(r.m_RunsBack, work.RunsBack());
      int edge = -1;
      EXPECT_EQ(r.m_RunsBack < 0 ? 0 : CKelHSite::kRunsBack, site.CheckError(true, &edge));
      EXPECT_EQ(r.m_RunsBack, edge);
    }
  }
}

// A 3.6 m frontage (0, 0) -> (3.6, 0) on a 4 x 260 lot, a 0.57 m chamfer
// nobody marked at its east end, with one point more, a hair from the
// lot's sides: a corner listed again before itself (its edge of no length of
// the side before) or after itself (of the side after), or a point on the
// chamfer. As listed and mirrored (listed the other way round), far away
// and turned, every run lies on a side of the clean lot, both its ends
// within round-off of that side's line: the corner is where the listing
// changes sides, and a point on the chamfer splits it on its line. The
// slant-line check carries these lines 260 m across the lot, so a run
// turned by the hair (up to 4e-6 on the chamfer) moves its volumes.
TEST(CKelSiteWorkOutline, APointAHairFromASideLeavesEveryRunOnItsSide)
{
  struct Row {
    const char* m_Name;
    int m_Edge;          // the listed edge the point splits, of whose side it is
    CKelCoord2D m_Point;
  };
  const std::vector<CKelCoord2D> corners = {{0, 0}, {3.6, 0}, {4, 0.4}, {4, 260}, {0, 260}};
  const Row rows[] = {{"west corner again after it, beyond it along the west side", 0, {-7.6e-8, -4.5e-7}},
                      {"west corner again before it, beyond it along the west side", 4, {-7.6e-8, -4.5e-7}},
                      {"west corner again after it, inside the lot", 0, {6e-7, 7e-7}},
                      {"west corner again before it, off the frontage", 4, {2e-7, -9e-7}},
                      {"chamfer's start again after it", 1, {3.6 + 3e-7, -8e-7}},
                      {"chamfer's start again before it, along the frontage", 0, {3.6 - 9e-7, 1e-7}},
                      {"a point on the chamfer 4.8e-7 off", 1, {3.6 + 0.24 + 3.4e-7, 0.24 - 3.4e-7}}};
  const site_test::Placement places[] = {{0, 0, 0}, {3e5, -1.2e5, 2.3237}};
  for (const Row& r : rows) {
    for (const bool mirror : {false, true}) {
      for (const site_test::Placement& at : places) {
        SCOPED_TRACE(std::string(r.m_Name) + (mirror ? ", mirrored" : "") + (at.m_X > 0 ? ", far" : ""));
        // Per listed point: where it lies, and whether the edge from it is the frontage.
        std::vector<std::pair<CKelCoord2D, bool>> listed;
        for (std::size_t k = 0; k < corners.size(); ++k)
          listed.push_back({corners[k], k == 0});
        listed.insert(listed.begin() + r.m_Edge + 1, {r.m_Point, r.m_Edge == 0});
        const std::size_t n = listed.size();
        if (mirror) {
          // x -> -x, listed the other way: each edge keeps its side.
          const std::vector<std::pair<CKelCoord2D, bool>> ahead = listed;
          for (std::size_t j = 0; j < n; ++j)
            listed[j] = {CKelCoord2D(-ahead[n - 1 - j].first.m_x, ahead[n - 1 - j].first.m_y), ahead[(2 * n - 2 - j) % n].second};
        }
        CKelHSite site = site_test::Site({});
        for (const auto& [p, frontage] : listed)
          site.m_pt.emplace_back(at.To(p));
        for (std::size_t k = 0; k < n; ++k) {
          if (listed[k].second)
            MakeRoad(site, static_cast<int>(k), 6, 6);
        }
        site_test::FillEdgeData(site);
        const CKelSiteWorkOutline work(site);
        const CKelHSite& runs = work.Runs();
        const auto back = [&](int k) {
          const CKelCoord2D p = at.Back(runs.EdgeStart(k));
          return CKelCoord2D(mirror ? -p.m_x : p.m_x, p.m_y);
        };
        for (int k = 0; k < runs.GetSize(); ++k) {
          const CKelCoord2D a = back(k), b = back(k + 1);
          bool onSide = false;
          for (std::size_t s = 0; s < corners.size() && !onSide; ++s) {
            const CKelCoord2D& c = corners[s];
            const CKelCoord2D& d = corners[(s + 1) % corners.size()];
            const auto off = [&](const CKelCoord2D& p) {
              return std::fabs((d.m_x - c.m_x) * (p.m_y - c.m_y) - (d.m_y - c.m_y) * (p.m_x - c.m_x)) / c.GetLength(d);
            };
            onSide = off(a) <= 1e-9 && off(b) <= 1e-9;
          }
          EXPECT_TRUE(onSide) << "run " << k << " from " << a.m_x << ", " << a.m_y << " to " << b.m_x << ", " << b.m_y;
        }
      }
    }
  }
}

// A frontage of two 20 m roads bending 3 degrees (1 degree), a survey
// point on the second a tiny size or less past the bend, up to half the
// on-line distance off it and more than that distance off the first side's
// line (nearer the second side's line, yet within the on-line distance of
// both). The tiny edge from the bend to the point lies nearer the second
// side's line: it belongs to that side's run however the lot is listed,
// placed or mirrored, and so does a check made through it.
TEST(CKelSiteWorkOutline, ATinyEdgeOnASideJustPastABendStaysInThatSidesRun)
{
  for (const double degrees : {3.0, 1.0}) {
    const double bend = degrees * KelAngle::Pi / 180;
    const CKelCoord2D c1(20, 0), c2(20 + 20 * std::cos(bend), 20 * std::sin(bend));
    const site_test::Placement places[] = {{0, 0, 0}, {3e5, -1.2e5, 2.3237}};
    for (const double along : {0.025, 0.035}) {
      for (const double off : {2e-5, -2e-4, 5e-4}) {
        const CKelCoord2D p(c1.m_x + along * std::cos(bend) - off * std::sin(bend),
                            c1.m_y + along * std::sin(bend) + off * std::cos(bend));
        for (const bool mirror : {false, true}) {
          for (const site_test::Placement& at : places) {
            SCOPED_TRACE(std::to_string(degrees) + " degrees, " + std::to_string(along) + " along, " +
                         std::to_string(off) + " off" + (mirror ? ", mirrored" : "") + (at.m_X > 0 ? ", far" : ""));
            std::vector<CKelCoord2D> listed = {{0, 0}, c1, p, c2, {c2.m_x, 30}, {0, 30}};
            if (mirror) {
              std::reverse(listed.begin(), listed.end());
              for (CKelCoord2D& q : listed)
                q.m_x = -q.m_x;
            }
            CKelHSite site = site_test::Site({});
            for (const CKelCoord2D& q : listed)
              site.m_pt.emplace_back(at.To(q));
            const int n = static_cast<int>(listed.size());
            // The roads are the three edges along y near 0, listed either way.
            for (int k = 0; k < n; ++k) {
              if (std::fabs(listed[static_cast<std::size_t>(k)].m_y) < 2 && std::fabs(listed[static_cast<std::size_t>((k + 1) % n)].m_y) < 2)
                MakeRoad(site, k, 6, 6);
            }
            site_test::FillEdgeData(site);
            const CKelSiteWorkOutline work(site);
            const auto runOf = [&](int edge) {
              for (int r = 0; r < work.Runs().GetSize(); ++r) {
                const std::vector<int>& of = work.PiecesOfRun(r);
                if (std::find(of.begin(), of.end(), work.PieceOf(edge)) != of.end())
                  return r;
              }
              return -1;
            };
            // The tiny edge, and the long edge of its side beside it.
            const int tiny = mirror ? 3 : 1, rest = 2;
            EXPECT_EQ(runOf(tiny), runOf(rest));
          }
        }
      }
    }
  }
}

// A 20 x 25 lot, road on the south, whose east side runs back 3 mm, out
// along a 0.89 m near spike and back, then 30 mm further back: 33 mm in
// all, over its 32 mm tiny size. Listed from every point, either way, it
// keeps the same points and is refused at the same edge, the 30 mm one:
// the back-tracks go shortest first, and an edge out and back is named at
// either of its turns.
TEST(CKelSiteWorkOutline, RunsBackAtTheSameEdgeFromEveryStart)
{
  const std::vector<CKelCoord2D> listed = {{0, 0},
                                           {20, 0},
                                           {20, 21.3139738168},
                                           {20, 21.310998325},
                                           {20.8867766358, 21.310998325},
                                           {20, 21.3109982405},
                                           {20, 21.2807517813},
                                           {20, 25},
                                           {0, 25}};
  const int n = static_cast<int>(listed.size());
  for (const bool reversed : {false, true}) {
    for (int start = 0; start < n; ++start) {
      SCOPED_TRACE(std::string(reversed ? "reversed, " : "") + "from point " + std::to_string(start));
      // Listed point k is the original point at(k); its edge the original
      // edge edgeAt(k).
      const auto at = [&](int k) { return reversed ? ((n - 1 - k - start) % n + n) % n : (k + start) % n; };
      const auto edgeAt = [&](int k) { return reversed ? (at(k) + n - 1) % n : at(k); };
      CKelHSite site = site_test::Site({});
      for (int k = 0; k < n; ++k)
        site.m_pt.emplace_back(listed[static_cast<std::size_t>(at(k))]);
      for (int k = 0; k < n; ++k) {
        if (site.Vertex(k).m_y == 0 && site.Vertex(k + 1).m_y == 0)
          MakeRoad(site, k, 6, 6);
      }
      int edge = -1;
      EXPECT_EQ(CKelHSite::kRunsBack, site.CheckError(true, &edge));
      ASSERT_GE(edge, 0);
      EXPECT_EQ(5, edgeAt(edge));
      std::vector<std::pair<double, double>> kept;
      for (const int k : CleanOutline(site.m_pt, SiteTinySize(site.m_pt)).m_At)
        kept.emplace_back(site.Vertex(k).m_x, site.Vertex(k).m_y);
      std::sort(kept.begin(), kept.end());
      const std::vector<std::pair<double, double>> expected = {
          {0, 0}, {0, 25}, {20, 0}, {20, 21.2807517813}, {20, 21.3139738168}, {20, 25}};
      EXPECT_EQ(expected, kept);
    }
  }
}

// A 20 x 15 lot, road on the south, whose west side carries survey points
// (along, out) or whose south-west corner is rounded (r metres in k chords,
// each joint within 1 mm of its neighbours' line). Turned, moved 3e5 m,
// mirrored, listed from every fourth point: the same points stay where
// listed and the same are put on their sides. An evenly chorded arc keeps
// its joints as listed, but for its first, which lies nearer the line from
// the west side's far corner than the arc's joints lie to theirs; a point
// within 1 mm of its side goes onto it.
TEST(CKelSiteWorkOutline, PutsTheSamePointsOnTheirSidesWhereverTheLotLies)
{
  struct Row {
    const char* m_Name;
    double m_R;
    int m_Chords;
    std::vector<std::pair<double, double>> m_West;
    std::size_t m_Moved;
  };
  const Row rows[] = {{"r 1 m in 48 chords", 1, 48, {}, 1},
                      {"r 10 m in 120 chords", 10, 120, {}, 1},
                      {"a point 0.5 mm out", 0, 0, {{7, 5e-4}}, 1},
                      {"points 0.4 mm out and in", 0, 0, {{4, 4e-4}, {8, -4e-4}}, 2},
                      {"a point 2 mm out", 0, 0, {{7, 2e-3}}, 0}};
  const site_test::Placement places[] = {{0, 0, 0}, {0, 0, 0.3}, {3e5, -1.2e5, 0.5235987755982988}, {-2.5e5, 3e5, 2.3}};
  for (const Row& r : rows) {
    std::vector<CKelCoord2D> lot = {{r.m_R, 0}};  // counter-clockwise from the road's begin
    lot.insert(lot.end(), {{20, 0}, {20, 15}, {0, 15}});
    for (auto w = r.m_West.rbegin(); w != r.m_West.rend(); ++w)
      lot.emplace_back(-w->second, w->first);
    for (int i = 0; i < r.m_Chords; ++i) {
      const double t = KelAngle::Pi + KelAngle::HalfPi * i / r.m_Chords;
      lot.emplace_back(r.m_R + r.m_R * std::cos(t), r.m_R + r.m_R * std::sin(t));
    }
    const std::size_t n = lot.size();
    std::vector<std::size_t> first;
    for (const site_test::Placement& at : places) {
      for (const bool mirrored : {false, true}) {
        for (std::size_t start = 0; start < n; start += 4) {
          SCOPED_TRACE(std::string(r.m_Name) + ", placement " + std::to_string(&at - places) +
                       (mirrored ? ", mirrored" : "") + ", from point " + std::to_string(start));
          const auto flip = [&](const CKelCoord2D& p) { return mirrored ? CKelCoord2D(-p.m_x, p.m_y) : p; };
          CKelHSite site = site_test::Site({});
          std::vector<std::size_t> from;  // listed point -> lot point
          for (std::size_t k = 0; k < n; ++k) {
            from.push_back(mirrored ? (2 * n + start - k) % n : (start + k) % n);
            site.m_pt.emplace_back(at.To(flip(lot[from.back()])));
          }
          for (std::size_t k = 0; k < n; ++k) {
            if (from[mirrored ? (k + 1) % n : k] == 0)
              MakeRoad(site, static_cast<int>(k), 6, 6);
          }
          site.SetArea();
          site.SetMaxMin();
          const CKelSiteWorkOutline work(site);
          std::vector<std::size_t> moved;
          for (int q = 0; q < work.Pieces().GetSize(); ++q) {
            const CKelCoord2D p = flip(at.Back(work.Pieces().Vertex(q)));
            const auto near = std::min_element(lot.begin(), lot.end(), [&](const CKelCoord2D& a, const CKelCoord2D& b) {
              return a.GetLength(p) < b.GetLength(p);
            });
            if (near->GetLength(p) > KelTol::SiteSurveyRepeat)
              moved.push_back(static_cast<std::size_t>(near - lot.begin()));
          }
          std::sort(moved.begin(), moved.end());
          EXPECT_EQ(r.m_Moved, moved.size());
          if (first.empty() && &at == places && !mirrored && start == 0)
            first = moved;
          EXPECT_EQ(first, moved);
        }
      }
    }
  }
}
