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
#include "SiteTestSupport.h"
#include "SurveyVariants.h"

namespace {

using site_test::MakeCut;
using site_test::MakeRoad;

constexpr double kSame = 1e-3;  // far sides and distances: within 1 mm
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

void ExpectNear(const CKelCoord2D& clean, const CKelCoord2D& got, const char* what)
{
  EXPECT_NEAR(clean.m_x, got.m_x, kSame) << what;
  EXPECT_NEAR(clean.m_y, got.m_y, kSame) << what;
}

// The road of the variant standing for the clean road on clean edge e.
template <class Roads>
auto RoadOn(Roads& roads, const survey::Variant& v, int e) -> decltype(&roads[0])
{
  for (auto& r : roads) {
    if (r.m_no >= 0 && v.m_From[static_cast<std::size_t>(r.m_no)] == e)
      return &r;
  }
  return nullptr;
}

void ExpectSameRoads(const CKelHSite& clean, const survey::Variant& v, const CKelHSite& site)
{
  ASSERT_EQ(clean.m_Road.size(), site.m_Road.size());
  for (const CSiteRoadTable& c : clean.m_Road) {
    const CSiteRoadTable* r = RoadOn(site.m_Road, v, c.m_no);
    ASSERT_NE(nullptr, r) << "road on clean edge " << c.m_no;
    EXPECT_EQ(c.m_Flag, r->m_Flag);
    ExpectNear(c.m_SiteBeg, v.Back(r->m_SiteBeg), "site begin");
    ExpectNear(c.m_SiteEnd, v.Back(r->m_SiteEnd), "site end");
    ExpectNear(c.m_FarBeg, v.Back(r->m_FarBeg), "far begin");
    ExpectNear(c.m_FarEnd, v.Back(r->m_FarEnd), "far end");
    // Every piece of the frontage names the road.
    for (int k : v.EdgesOf(c.m_no, false))
      EXPECT_EQ(&site.m_Road[static_cast<std::size_t>(site.m_pt[static_cast<std::size_t>(k)].optno)], r);
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
      ExpectNear(c.m_Pt[p].m_pt, v.Back(same->m_Pt[p].m_pt), "crossing point");
  }
}

// Twice the signed area of a, b, c, about a so far coordinates keep digits.
double Turn(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c)
{
  return (b.m_x - a.m_x) * (c.m_y - a.m_y) - (b.m_y - a.m_y) * (c.m_x - a.m_x);
}

bool BoxesMeet(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c, const CKelCoord2D& d)
{
  return std::max(a.m_x, b.m_x) >= std::min(c.m_x, d.m_x) && std::max(c.m_x, d.m_x) >= std::min(a.m_x, b.m_x) &&
         std::max(a.m_y, b.m_y) >= std::min(c.m_y, d.m_y) && std::max(c.m_y, d.m_y) >= std::min(a.m_y, b.m_y);
}

// Whether two edges that share no vertex cross or touch.
bool SelfCrosses(const std::vector<CKelCoord2D>& pts)
{
  const std::size_t n = pts.size();
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 2; j < n; ++j) {
      if (i == 0 && j == n - 1)
        continue;
      const CKelCoord2D &a = pts[i], &b = pts[(i + 1) % n], &c = pts[j], &d = pts[(j + 1) % n];
      if (!BoxesMeet(a, b, c, d))
        continue;
      const double t1 = Turn(a, b, c), t2 = Turn(a, b, d), t3 = Turn(c, d, a), t4 = Turn(c, d, b);
      if (((t1 <= 0 && t2 >= 0) || (t1 >= 0 && t2 <= 0)) && ((t3 <= 0 && t4 >= 0) || (t3 >= 0 && t4 <= 0)))
        return true;
    }
  }
  return false;
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
  EXPECT_NEAR(clean.m_DeemedArea, deemed.m_area, 1e-6 * clean.m_DeemedArea);
  EXPECT_FALSE(SelfCrosses(deemed.m_pt));
  for (const CKelCoord2D& p : Probes())
    EXPECT_NEAR(cleanDeemed.CalcSiteDistance3(p), deemed.CalcSiteDistance3(Moved(v, p)), kSame)
        << p.m_x << ", " << p.m_y;
}

double SegmentDistance(const CKelCoord2D& p, const CKelCoord2D& a, const CKelCoord2D& b)
{
  const double dx = b.m_x - a.m_x, dy = b.m_y - a.m_y;
  const double len2 = dx * dx + dy * dy;
  const double t = len2 > 0 ? std::clamp(((p.m_x - a.m_x) * dx + (p.m_y - a.m_y) * dy) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(p.m_x - a.m_x - t * dx, p.m_y - a.m_y - t * dy);
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
                                    : SegmentDistance(p, a, b));
  }
  return best;
}

// Each line's element ends lie within 1 mm of the other line, and the
// lengths agree.
void ExpectSameLine(const CClineData& clean, const CClineData& got, const survey::Variant& v)
{
  ASSERT_FALSE(clean.Elements().empty());
  EXPECT_NEAR(clean.GetLength(), got.GetLength(), kSame);
  for (const ClineElement& e : clean.Elements())
    EXPECT_NEAR(0, LineDistance(got, Moved(v, clean[static_cast<std::size_t>(e.start)])), kSame);
  for (const ClineElement& e : got.Elements())
    EXPECT_NEAR(0, LineDistance(clean, v.Back(got[static_cast<std::size_t>(e.start)])), kSame);
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

// Each band on both sides: the turn between two road pieces, the widths
// running on linearly, the length of a survey's piece, and the kinds.
TEST(CKelSiteWorkOutline, JoinsOnlyWithinItsBands)
{
  const double turn9 = 10 * std::tan(0.009 * KelAngle::Pi / 180);
  const double turn11 = 10 * std::tan(0.011 * KelAngle::Pi / 180);
  struct Row {
    const char* m_Name;
    double m_Y;         // (20, y) ends the second piece
    double m_W[4];      // begin and end widths of the two pieces
    bool m_SecondIsCut;
    int m_Edges;        // edges of the working outline
  };
  const Row rows[] = {{"turn 0.009 deg", turn9, {6, 6, 6, 6}, false, 4},
                      {"turn 0.011 deg", turn11, {6, 6, 6, 6}, false, 5},
                      {"widths on a line", 0, {6, 7, 7, 8}, false, 4},
                      {"widths bend", 0, {6, 8, 8, 8}, false, 5},
                      {"road then cut", 0, {6, 6, 6, 6}, true, 5}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.m_Name);
    CKelHSite site = site_test::Site({{0, 0}, {10, 0}, {20, r.m_Y}, {20, 30}, {0, 30}});
    MakeRoad(site, 0, r.m_W[0], r.m_W[1]);
    MakeRoad(site, 1, r.m_W[2], r.m_W[3]);
    if (r.m_SecondIsCut)
      MakeCut(site, 1);
    EXPECT_EQ(r.m_Edges, CKelSiteWorkOutline(site).Site().GetSize());
  }
  for (const double gap : {0.001, 0.0011}) {
    CKelHSite site = site_test::Site({{0, 0}, {20, 0}, {20, gap}, {20, 30}, {0, 30}});
    MakeRoad(site, 0, 6, 6);
    const CKelSiteWorkOutline work(site);
    EXPECT_EQ(gap <= 0.001 ? 4 : 5, work.Site().GetSize()) << gap;
    EXPECT_EQ(gap <= 0.001 ? -1 : 1, work.WorkEdge(1)) << gap;
    EXPECT_EQ(gap <= 0.001 ? 2 : 1, work.StoredEdge(1)) << gap;
  }
}

// Pieces off the line by up to 0.05 mm turn by less than 0.01 degree, even
// the 1.4 m pieces of the corner cut: still one road and one cut.
TEST(SiteSurveyVariants, NoisySplitFrontageIsOneRoad)
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

// A road's ends cut by the user end at its frontage's ends, not at the ends
// of the piece the road is stored on.
TEST(SiteSurveyVariants, ReshapeTheWholeFrontage)
{
  ForEachVariant([](const CleanSite&, const CKelHSite& cleanSite, const survey::Variant& v, CKelHSite& site) {
    site_test::BuildRoads(site);
    CKelHSite reshaped = cleanSite;
    for (CSiteRoadTable& r : reshaped.m_Road) {
      const bool ok = reshaped.ChangeRoadStatus(&r, CSiteRoadTable::kBegCut | CSiteRoadTable::kEndCut);
      CSiteRoadTable* same = RoadOn(site.m_Road, v, r.m_no);
      ASSERT_NE(nullptr, same);
      EXPECT_EQ(ok, site.ChangeRoadStatus(same, CSiteRoadTable::kBegCut | CSiteRoadTable::kEndCut));
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
