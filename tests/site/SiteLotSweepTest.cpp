// The seeded sweep of generated lots (SiteLotSweep.h): rectangles, L and
// flag lots, arc and bent frontages, chamfers, dense sides and two roads at
// a corner, now and then an arc of up to 400 chords or two roads of one
// width meeting at a bend, 8 m to 600 m across, each read clean at the
// origin and judged against GEOS, then changed as a survey changes it
// (among them one dense stretch of a side, points exactly on chords or a
// corner listed again outside) and placed elsewhere; every site reader is
// judged against the clean lot (SiteSweepJudge.h, which also says which
// changes are judged). fuzz_site_sweep runs the same from fuzzed seeds.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "CKelSiteWorkOutline.h"
#include "SiteSweepJudge.h"
#include "SiteTestSupport.h"

namespace {

constexpr int kLots = 300;
constexpr int kChangesPerLot = 8;

// The seeds swept: 1 to kLots, or SITE_SWEEP_SEEDS ("first-last") for a
// wider run by hand.
std::pair<int, int> SweptSeeds()
{
  const char* seeds = std::getenv("SITE_SWEEP_SEEDS");
  int first = 1, last = kLots;
  if (seeds != nullptr && std::sscanf(seeds, "%d-%d", &first, &last) != 2)
    return {1, kLots};
  return {first, last};
}

}  // namespace

TEST(SiteLotSweep, EveryReaderGivesTheCleanLotWhereverAndHoweverItIsListed)
{
  std::map<std::string, int> broken;
  int cases = 0;
  const auto [first, last] = SweptSeeds();
  for (int seed = first; seed <= last; ++seed) {
    for (const site_sweep::Case& c : site_sweep::Sweep(static_cast<std::uint64_t>(seed), kChangesPerLot, site_sweep::JudgedChanges())) {
      ++cases;
      for (const site_sweep::Violation& v : c.m_Violations)
        ++broken[v.m_Invariant + ", " + v.m_Reader];
      EXPECT_TRUE(c.m_Violations.empty()) << c.Text();
    }
  }
  for (const auto& [what, count] : broken)
    ADD_FAILURE() << what << ": " << count << " of " << cases << " cases";
}

// Found by fuzz_site_sweep (corpus arc_surveyed): an arc frontage of 16
// chords, 14.5 m across, whose chords are surveyed every 9 cm with 2e-7 m of
// scatter. Two chords make one run; at the bend between them the far line
// of the last 9 cm piece ends before the crossing with the next chord's, and
// the deemed site kept a loop there at every chord bend, the roads 3.7e-3 m2
// off the clean ones.
TEST(SiteLotSweep, SurveyedArcChordsKeepTheCleanDeemedSite)
{
  site_sweep::Rng rng(16325552793190401ULL);
  const site_sweep::Lot lot = site_sweep::MakeLot(rng);
  const std::vector<site_sweep::Placement> placements = site_sweep::Placements(rng);
  (void)site_sweep::Pick(rng, static_cast<int>(site_sweep::JudgedChanges().size()));
  const site_sweep::Change change = site_sweep::MakeChange(lot, site_sweep::ChangeKind::Surveyed, rng);
  const std::vector<CKelCoord2D> probes = site_sweep::Probes(lot);
  const site_sweep::Readings clean = site_sweep::Read(lot, lot.m_Listing, placements[0], probes);
  for (const site_sweep::Placement& at : placements) {
    SCOPED_TRACE(lot.m_Name + "; " + change.m_Name + "; " + at.m_Name);
    const site_sweep::Readings got = site_sweep::Read(lot, change.m_Listing, at, probes);
    EXPECT_FALSE(site_test::SelfCrosses(got.m_Deemed) || site_test::TurnsStraightBack(got.m_Deemed));
    EXPECT_LE(site_test::AreaJudge::XorArea({clean.m_Deemed}, {got.m_Deemed}),
              site_sweep::TolerancesFor(lot, change.m_Size).m_Area);
    // The roads: the pieces of a chord are read as the chord, whose far
    // line meets the next chord's where the clean ones meet (5.1e-3 m2 off
    // with each 9 cm piece's own far end, 3.7e-3 with the crossing found on
    // the far lines the runs' ends had turned).
    EXPECT_LE(site_test::AreaJudge::XorArea(clean.m_Roads, got.m_Roads),
              site_sweep::TolerancesFor(lot, change.m_Size).m_Area);
  }
}

// A point listed a few centimetres from a corner (below the tiny size) and
// within the survey's on-line distance of a side is a point on that side,
// and a point listed on the frontage beyond a 20 mm step (folded halfway
// across) is a point on it: the lot reads as the clean one to round-off, at
// every placement and mirrored. Beyond the on-line distance the side turns
// to the point and the results move.
TEST(SiteLotSweep, APointOnASideBesideAFoldChangesNothing)
{
  using namespace site_sweep;
  const SideKind road = SideKind::Road;
  const Lot plain = LotBuilder("20 x 25").Corner(0, 0, road, 6).Corner(20, 0).Corner(20, 25).Corner(0, 25).Done();
  const Lot step = LotBuilder("20 x 25, step 20 mm")
                       .Corner(0, 0, road, 6).Corner(10, 0, road, 6).Corner(10, 0.02, road, 6)
                       .Corner(20, 0.02).Corner(20, 25).Corner(0, 25).Done();
  struct Row {
    const Lot* m_Lot;
    CKelCoord2D m_At;
    std::size_t m_After;  // listed after this point, on its side
    bool m_Same;
  };
  const Row rows[] = {{&plain, {1e-4, 0.02}, 3, true},   {&plain, {9e-4, 0.02}, 3, true},
                      {&plain, {-9e-4, 0.02}, 3, true},  {&plain, {0.02, 9e-4}, 0, true},
                      {&plain, {19.98, -9e-4}, 0, true}, {&plain, {3e-3, 0.02}, 3, false},
                      {&step, {12, 0.02}, 2, true},      {&step, {17, 0.02}, 2, true}};
  Rng rng(1);
  const std::vector<Placement> placements = Placements(rng);
  for (const Row& row : rows) {
    const Lot& lot = *row.m_Lot;
    const std::vector<CKelCoord2D> probes = Probes(lot);
    const Readings clean = Read(lot, lot.m_Listing, placements[0], probes);
    Listing listing = lot.m_Listing;
    listing.insert(listing.begin() + static_cast<long>(row.m_After) + 1, {row.m_At, static_cast<int>(row.m_After)});
    for (const Placement& at : placements) {
      SCOPED_TRACE(lot.m_Name + " + " + Num(row.m_At.m_x) + ", " + Num(row.m_At.m_y) + "; " + at.m_Name);
      EXPECT_EQ(row.m_Same, Judge(clean, Read(lot, listing, at, probes), "on a side", TolerancesFor(lot, 0)).empty());
    }
  }
}

// Lots drawn by hand whose roads once depended on the placement: a 600 x
// 400 lot whose frontage steps back 0.5 m beside a 12 m road, a 4 m crank
// down or up along a 6 m road, and a notch 8 m wide and 3 m deep in a
// frontage beside a 12 m road. Mirrored, the step is the edge after the
// reflex corner rather than before it. At every placement, listed from
// every point either way round, each reads as at the origin, its roads and
// deemed site within 1e-6 of their size, and its deemed site is the one
// GEOS builds. The notch's far sides meet at two reflex corners: joined in
// the listing's order, each on the roads as the join before had left them
// rather than after every crossing is laid, they read 548 m2 of roads for
// 524 at some placements and starts.
TEST(SiteLotSweep, HandmadeLotsReadTheSameAtEveryPlacement)
{
  using site_sweep::LotBuilder;
  const site_sweep::SideKind R = site_sweep::SideKind::Road;
  const site_sweep::Lot lots[] = {
      LotBuilder("600 x 400, frontage stepping back 0.5 m")
          .Corner(0, 0, R, 12).Corner(300, 0, R, 12).Corner(300, 0.5, R, 12).Corner(600, 0.5).Corner(600, 400).Corner(0, 400).Done(),
      LotBuilder("25 x 20, crank 4 m down")
          .Corner(0, 0, R, 6).Corner(12, 0, R, 6).Corner(12, -4, R, 6).Corner(25, -4).Corner(25, 20).Corner(0, 20).Done(),
      LotBuilder("25 x 20, crank 4 m up")
          .Corner(0, 0, R, 6).Corner(12, 0, R, 6).Corner(12, 4, R, 6).Corner(25, 4).Corner(25, 20).Corner(0, 20).Done(),
      LotBuilder("25 x 20, notch 8 x 3 m in the frontage")
          .Corner(0, 0, R, 12).Corner(10, 0, R, 12).Corner(10, 3, R, 12).Corner(18, 3, R, 12).Corner(18, 0, R, 12)
          .Corner(25, 0).Corner(25, 20).Corner(0, 20).Done()};
  site_sweep::Rng rng(20261210);
  const std::vector<site_sweep::Placement> placements = site_sweep::Placements(rng);
  for (const site_sweep::Lot& lot : lots) {
    const std::vector<CKelCoord2D> probes = site_sweep::Probes(lot);
    const site_sweep::Readings clean = site_sweep::Read(lot, lot.m_Listing, placements[0], probes);
    const double roads = site_test::AreaJudge::UnionArea(clean.m_Roads);
    const double deemed = site_test::AreaJudge::UnionArea({clean.m_Deemed});
    ASSERT_TRUE(site_sweep::ModelDeemed(lot)) << lot.m_Name;
    for (const site_sweep::Violation& v : site_sweep::JudgeByModel(lot, clean, probes))
      ADD_FAILURE() << lot.m_Name << ": " << v.Text();
    for (const site_sweep::Placement& at : placements) {
      for (std::size_t first = 0; first < 2 * lot.m_Listing.size(); ++first) {
        const site_sweep::Listing from = site_sweep::Rotated(lot.m_Listing, first % lot.m_Listing.size());
        const bool back = first >= lot.m_Listing.size();
        SCOPED_TRACE(lot.m_Name + "; " + at.m_Name + "; from point " + std::to_string(first % lot.m_Listing.size()) +
                     (back ? ", clockwise" : ""));
        const site_sweep::Readings got = site_sweep::Read(lot, back ? site_sweep::Reversed(from) : from, at, probes);
        for (const site_sweep::Violation& v : site_sweep::Judge(clean, got, site_sweep::Invariant(site_sweep::ChangeKind::None, at),
                                                                site_sweep::TolerancesFor(lot, 0)))
          ADD_FAILURE() << v.Text();
        EXPECT_LE(site_test::AreaJudge::XorArea(clean.m_Roads, got.m_Roads), 1e-6 * roads);
        EXPECT_LE(site_test::AreaJudge::XorArea({clean.m_Deemed}, {got.m_Deemed}), 1e-6 * deemed);
      }
    }
  }
}

// Listings no generated lot made until the sweep was widened, each judged
// at every placement against its clean lot:
//  - a 20 x 25 lot whose 12 m road side is listed every 2, 5 or 20 mm with
//    1 mm of scatter: cut into chords of two tiny sizes, its deemed line
//    was squared to the first and last 4 cm chord and ran 23 cm past the
//    lot (0.95 m2);
//  - a 5 degree triangle whose 58 m road side is listed every 2 cm with
//    1 mm of scatter: the apex moved up to 9.4 m (23.5 m2);
//  - an arc of 40 m radius over 60 degrees in 200 or 400 chords with a point
//    exactly at the middle of one chord: the joints beside it no longer
//    turned alike, were put on a line through the arc, and the deemed site
//    moved 8 to 20 mm;
//  - a corner listed again 2 um to 1 cm outside the side before it, a bow
//    tie below the tiny size: no check line was made;
//  - a neighbour's side listed evenly every 0.34 m, clean: its joints all
//    lay as far from a chord across the lot and each piece was read as a
//    side of its own (while the runs read one);
//  - a road side listed every 2 to 5 mm with 0.7 to 0.9 mm of scatter over
//    0.7 to 1.3 m of it, at its start, in its middle or at its end (found
//    by the sweep, seeds 3899, 2379, 2442): its ends 1.4 mm apart across
//    the side, the stretch was cut into chords of a few centimetres, and
//    the deemed line and the roads' far sides took their directions (the
//    deemed site 0.049 m2 off, the roads 0.093 m2);
//  - two 20 m roads of one width at a bend of 2 degrees, both listed every
//    3 mm to 10 cm with 1 mm of scatter, a point 2 to 5 cm past the bend 1
//    mm out: it lies within the on-line distance of both sides and stands
//    out of the chord across the bend farther than the bend, which was read
//    there, 2 to 5 cm along; and as the corner read there lies a few
//    centimetres along one side, the other side's joints, 1 mm off its line
//    either way, were judged against chords from it and each became a
//    corner (6 to 12 sides for 5); and a corner read 3 cm along, 1 mm out,
//    stayed there, as no other point lay within the on-line distance of
//    the chord from it.
// Each is read as the lot's own sides, and every reader takes a side's ends
// and direction from that one reading: each run begins a side, at the
// side's start, its edge data spanning to the next run's start, and each
// joint inside a side lies on the side's chord.
TEST(SiteLotSweep, DenseSidesChordPointsAndCornersListedOutsideReadAsTheCleanLot)
{
  using namespace site_sweep;
  const SideKind R = SideKind::Road;
  struct Row {
    Lot m_Lot;
    Listing m_Listing;
    double m_Size;
  };
  std::vector<Row> rows;
  Rng scatter(7);
  // Every listed point of side `side` strictly between its corners moved
  // across it by up to s.
  const auto scattered = [&](const Lot& lot, int side, double s) {
    Listing out = lot.m_Listing;
    for (Pt& p : out) {
      const auto k = static_cast<std::size_t>(p.m_Side);
      if (p.m_Side != side || IsCorner(lot, p.m_P))
        continue;
      const CKelCoord2D& a = lot.m_Corners[k];
      const CKelCoord2D& b = lot.m_Corners[(k + 1) % lot.m_Corners.size()];
      p.m_P = Along(a, b, a.GetLength(p.m_P), Uniform(scatter, -s, s));
    }
    return out;
  };
  for (double pitch : {0.002, 0.005, 0.02}) {
    const Lot lot = LotBuilder("20 x 25, road every " + Num(pitch))
                        .Corner(0, 0, R, 12).Corner(20, 0).Corner(20, 25).Corner(0, 25).Dense(0, pitch).Done();
    rows.push_back({lot, scattered(lot, 0, 1e-3), 1e-3});
  }
  const double c5 = std::cos(5 * KelAngle::Pi / 180), s5 = std::sin(5 * KelAngle::Pi / 180);
  const Lot acute = LotBuilder("5 degree triangle, 58 m road every 2 cm")
                        .Corner(0, 0, R, 6).Corner(60, 0).Corner(58 * c5, 58 * s5, R, 4).Dense(2, 0.02).Done();
  rows.push_back({acute, scattered(acute, 2, 1e-3), 1e-3});
  for (int chords : {200, 400}) {
    LotBuilder arc("arc of 40 m, " + std::to_string(chords) + " chords");
    for (int i = 0; i < chords; ++i) {
      const double a = (-120.0 + 60.0 * i / chords) * KelAngle::Pi / 180;
      arc.Corner(40 * std::cos(a), 40 + 40 * std::sin(a), R, 6);
    }
    const Lot lot = arc.Corner(20, 40 - 40 * std::sqrt(0.75)).Corner(30, 55).Corner(-30, 55).Done();
    for (int k : {2, chords - 3}) {
      Listing listing = lot.m_Listing;
      const CKelCoord2D &a = lot.m_Corners[static_cast<std::size_t>(k)], &b = lot.m_Corners[static_cast<std::size_t>(k + 1)];
      listing.insert(listing.begin() + k + 1, {{(a.m_x + b.m_x) / 2, (a.m_y + b.m_y) / 2}, k});
      rows.push_back({lot, listing, 0});
    }
  }
  const Lot plain = LotBuilder("20 x 25").Corner(0, 0, R, 6).Corner(20, 0).Corner(20, 25).Corner(0, 25).Done();
  const double c2 = std::cos(2 * KelAngle::Pi / 180), s2 = std::sin(2 * KelAngle::Pi / 180);
  for (double pitch : {0.003, 0.01, 0.03, 0.1}) {
    const Lot bend = LotBuilder("road bend of 2 degrees, every " + Num(pitch))
                         .Corner(0, 0, R, 6).Corner(20, 0, R, 6).Corner(20 + 20 * c2, 20 * s2).Corner(20 + 20 * c2, 25)
                         .Corner(0, 25).Done();
    // Both roads listed every pitch, then scattered.
    Lot dense = bend;
    dense.m_Listing.clear();
    for (const Pt& corner : bend.m_Listing) {
      dense.m_Listing.push_back(corner);
      for (int j = 1; corner.m_Side < 2 && j * pitch < 20 - pitch / 2; ++j)
        dense.m_Listing.push_back({Along(corner.m_P, bend.m_Corners[static_cast<std::size_t>(corner.m_Side) + 1], j * pitch, 0), corner.m_Side});
    }
    dense.m_Listing = scattered(dense, 0, 1e-3);
    dense.m_Listing = scattered(dense, 1, 1e-3);
    // The first point 2 cm or more past the bend, 1 mm out of the lot: it
    // stands farther out of the chord across the bend than the bend.
    const CKelCoord2D &bendAt = bend.m_Corners[1], &bendEnd = bend.m_Corners[2];
    const auto past = std::find_if(dense.m_Listing.begin(), dense.m_Listing.end(),
                                   [&](const Pt& q) { return q.m_Side == 1 && q.m_P.GetLength(bendAt) >= 0.02; });
    past->m_P = Along(bendAt, bendEnd, past->m_P.GetLength(bendAt), -1e-3);
    rows.push_back({bend, dense.m_Listing, 1e-3});
  }
  const Lot back = LotBuilder("20 x 25, back every 0.34").Corner(0, 0, R, 6).Corner(20, 0).Corner(20, 25).Corner(0, 25).Dense(2, 0.34).Done();
  rows.push_back({back, back.m_Listing, 0});
  for (double gap : {2e-6, 1e-4, 1e-2}) {
    // Behind the corner (20, 25), outside the east side.
    Listing listing = plain.m_Listing;
    listing.insert(listing.begin() + 3, {{20 + gap * 0.5, 25 - gap * std::sqrt(0.75)}, 2});
    rows.push_back({plain, listing, gap});
  }
  // Side `side` listed every `pitch` from `from` to `to` along it, each
  // point up to s across it.
  const auto stretch = [&](const Lot& lot, int side, double from, double to, double pitch, double s) {
    Listing out = lot.m_Listing;
    const auto k = static_cast<std::size_t>(side);
    const CKelCoord2D& a = lot.m_Corners[k];
    const CKelCoord2D& b = lot.m_Corners[(k + 1) % lot.m_Corners.size()];
    Listing points;
    for (double at = std::max(from, pitch); at < std::min(to, a.GetLength(b) - pitch / 2); at += pitch)
      points.push_back({Along(a, b, at, Uniform(scatter, -s, s)), side});
    out.insert(out.begin() + side + 1, points.begin(), points.end());
    return out;
  };
  const Lot frontage = LotBuilder("15.94 x 16.55, road 10").Corner(0, 0, R, 10).Corner(15.94, 0).Corner(15.94, 16.55).Corner(0, 16.55).Done();
  rows.push_back({frontage, stretch(frontage, 0, 0, 1.32, 0.0044, 0.7e-3), 0.7e-3});
  const Lot chamfer = LotBuilder("chamfer 9.05 x 11.36, road 10.5 | 10, cut 2.71")
                          .Corner(0, 0, R, 10.5).Corner(6.34, 0, SideKind::Cut).Corner(9.05, 2.71, R, 10).Corner(9.05, 11.36)
                          .Corner(0, 11.36).Done();
  rows.push_back({chamfer, stretch(chamfer, 0, 4.91, 5.78, 0.0029, 0.9e-3), 0.9e-3});
  const double turn = -40.18 * KelAngle::Pi / 180, bx = 19.17 + 12.24 * std::cos(turn), by = 12.24 * std::sin(turn);
  const Lot bent = LotBuilder("frontage of 19.17 then 12.24 at -40.18 degrees, road 5.5")
                       .Corner(0, 0, R, 5.5).Corner(19.17, 0, R, 5.5).Corner(bx, by).Corner(bx, 21.3).Corner(0, 21.3).Done();
  rows.push_back({bent, stretch(bent, 1, 11.55, 12.24, 0.0023, 0.85e-3), 0.85e-3});
  Rng rng(20261211);
  // Moved far and turned, then mirrored too: these lots are slow to read.
  const std::vector<Placement> all = Placements(rng);
  const std::vector<Placement> placements = {all[0], all[2], all[4]};
  for (const Row& row : rows) {
    const std::vector<CKelCoord2D> probes = Probes(row.m_Lot);
    const Readings clean = Read(row.m_Lot, row.m_Lot.m_Listing, placements[0], probes);
    ASSERT_TRUE(clean.m_LineMade) << row.m_Lot.m_Name;
    // The work outline reads the lot's own sides, each from corner to corner.
    CKelHSite site = SiteOf(row.m_Lot, row.m_Listing, placements[0]);
    site_test::FillEdgeData(site);
    const CKelSiteWorkOutline work(site);
    ASSERT_EQ(work.Sides().size(), row.m_Lot.m_Corners.size()) << row.m_Lot.m_Name;
    for (int r = 0; r < work.Runs().GetSize(); ++r) {
      const int first = work.PiecesOfRun(r).front();
      const CKelSiteWorkOutline::SurveyedSide& side = work.Sides()[static_cast<std::size_t>(work.SideOfPiece(first))];
      EXPECT_EQ(side.m_First, first) << row.m_Lot.m_Name << ", run " << r;
      const CKelHsiteSphereTable& edge = work.Runs().Vertex(r).m_Sphere;
      EXPECT_LE(edge.m_EdgePos[0].GetLength(side.m_Beg), 1e-9) << row.m_Lot.m_Name << ", run " << r;
      const CKelCoord2D& next = work.Runs().Vertex(r + 1).m_Sphere.m_EdgePos[0];
      EXPECT_NEAR(edge.m_EdgeLen, edge.m_EdgePos[0].GetLength(next), 1e-9);
    }
    for (const CKelSiteWorkOutline::SurveyedSide& side : work.Sides()) {
      for (int j = 1; j < side.m_Count; ++j)
        EXPECT_LE(OffLine(side.m_Beg, side.m_End, work.Pieces().Vertex(side.m_First + j)), 1e-8) << row.m_Lot.m_Name;
    }
    for (const CKelSiteWorkOutline::SurveyedSide& side : work.Sides()) {
      double nearest = 1e300;
      for (const CKelCoord2D& c : row.m_Lot.m_Corners)
        nearest = std::min(nearest, c.GetLength(side.m_Beg));
      // The bend is where the two whole sides' lines cross, to a share of
      // the scatter.
      const bool bend = row.m_Lot.m_Name.rfind("road bend", 0) == 0;
      EXPECT_LE(nearest, bend ? 3 * row.m_Size : TolerancesFor(row.m_Lot, row.m_Size).m_Length) << row.m_Lot.m_Name;
    }
    for (const Placement& at : {placements[1], placements[2]}) {
      SCOPED_TRACE(row.m_Lot.m_Name + ", listed in " + std::to_string(row.m_Listing.size()) + "; " + at.m_Name);
      for (const Violation& v : Judge(clean, Read(row.m_Lot, row.m_Listing, at, probes), "survey listing",
                                      TolerancesFor(row.m_Lot, row.m_Size)))
        ADD_FAILURE() << v.Text();
    }
  }
}

// Found by the sweep (seed 156, once stubs were judged): an arc frontage of
// 10 chords surveyed every 6.6 cm with 0.9 mm of scatter. Near both ends of
// the arc a piece a few centimetres long lies between two concave joints;
// its line reaches the crossing with the next piece's only once the
// crossing with the piece before has carried it back past its own start.
// Judged in the listing's order only, one joint was left open on each half
// of the arc (whichever way round the lot was listed), and the deemed site
// kept a loop there.
TEST(SiteLotSweep, ShortSurveyedPieceBetweenConcaveJointsKeepsTheDeemedSiteSimple)
{
  using namespace site_sweep;
  Rng rng(156);
  const Lot lot = MakeLot(rng);
  const std::vector<Placement> placements = Placements(rng);
  const std::vector<CKelCoord2D> probes = Probes(lot);
  const Readings clean = Read(lot, lot.m_Listing, placements[0], probes);
  int surveyed = 0;
  for (int c = 0; c < 8; ++c) {
    const ChangeKind kind = JudgedChanges()[static_cast<std::size_t>(Pick(rng, static_cast<int>(JudgedChanges().size())))];
    const Change change = MakeChange(lot, kind, rng);
    (void)Pick(rng, static_cast<int>(placements.size()));
    if (kind != ChangeKind::Surveyed)
      continue;
    ++surveyed;
    for (const Placement& at : placements) {
      SCOPED_TRACE(lot.m_Name + "; " + change.m_Name + "; " + at.m_Name);
      for (const Violation& v : Judge(clean, Read(lot, change.m_Listing, at, probes), Invariant(kind, at),
                                      TolerancesFor(lot, change.m_Size)))
        ADD_FAILURE() << v.Text();
    }
  }
  EXPECT_GT(surveyed, 0);
}

// Found by a wider sweep (seeds 301 to 2300): a seed and the kind of its
// change that broke; that seed's cases of the kind are judged whole at every
// placement.
//  - 321: a frontage bent 1.4 degrees in 2 m pieces, a 1 mm stub 0.34 mm off
//    after a bend. The stub turns a side by 0.17 mrad, and its road runs out
//    36 m to where the far lines cross at the shallow bend: 0.187 m2, more
//    than a strip of twice the stub's size along the roads allows, within
//    the turn's own allowance (RoadsArea).
//  - 1055: an arc of 20 chords, one surveyed every 6 cm with 1.4e-7 m of
//    scatter. A survey point beside a chord's end lay as far off a longer
//    chord as the chord's own corners, so was picked, and the corner, 0.58
//    mm off the line from it, read as a point on the side: the roads 4.6e-4
//    m2 off the clean ones.
//  - 9598: a road tapering from 4 m to 12 m, surveyed every 9 cm. Moved
//    3e5 m, a piece ending at 10 m wide up to round-off was split there,
//    leaving a piece of no length whose line had no direction: the deemed
//    site 2.5 m2 off.
//  - 56677: a point exactly on a frontage's piece 1.7 mm before a bend,
//    its edge folded into that piece. The road was cut at the bend, 7.8 mm
//    off the run's line its site side follows: 0.12 m2 of road lost.
//  - 75808: a frontage surveyed every 8 cm with up to 1 mm of scatter. The
//    road ran out past the lot along its last piece's line, turned by the
//    scatter over 8 cm: 2 cm off 5 m out, 0.21 m2 of road.
//  - 16787: an arc of 20 chords surveyed every 7 cm with 1.8e-7 m of
//    scatter. Three survey points on a chord turn alike to round-off; taken
//    for an arc's joints before the points beside them were put on the
//    chord, they cut its run: 2e-3 m2 of road.
TEST(SiteLotSweep, FoundSeedsReadAsTheCleanLot)
{
  using namespace site_sweep;
  const std::pair<std::uint64_t, ChangeKind> rows[] = {
      {321, ChangeKind::Stub}, {1055, ChangeKind::Surveyed}, {9598, ChangeKind::Surveyed}, {56677, ChangeKind::OnSide},
      {75808, ChangeKind::Surveyed}, {16787, ChangeKind::Surveyed}};
  for (const auto& [seed, kind] : rows) {
    Rng rng(seed);
    const Lot lot = MakeLot(rng);
    const std::vector<Placement> placements = Placements(rng);
    const std::vector<CKelCoord2D> probes = Probes(lot);
    const Readings clean = Read(lot, lot.m_Listing, placements[0], probes);
    const std::vector<ChangeKind> judged = JudgedChanges();
    int found = 0;
    for (int c = 0; c < kChangesPerLot; ++c) {
      const ChangeKind k = judged[static_cast<std::size_t>(Pick(rng, static_cast<int>(judged.size())))];
      const Change change = MakeChange(lot, k, rng);
      (void)Pick(rng, static_cast<int>(placements.size()));
      if (k != kind)
        continue;
      ++found;
      for (const Placement& at : placements) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + lot.m_Name + "; " + change.m_Name + "; " + at.m_Name);
        for (const Violation& v : Judge(clean, Read(lot, change.m_Listing, at, probes), Invariant(k, at),
                                        TolerancesFor(lot, change)))
          ADD_FAILURE() << v.Text();
      }
    }
    EXPECT_GT(found, 0) << seed;
  }
}

// Found by fuzz_site_sweep (corpus seed_180427) and a wider sweep: chorded
// arcs with a corner listed again just outside, each judged whole at every
// placement.
//  - 180427: 155 chords of 13 cm, the corner four chords before the arc's
//    end listed again 16 um outside. The fold there ended the sides, and the
//    four chords after it, alone too few to read as an arc, read as one
//    straight side and were put on it: the roads 0.08 m2 off the clean ones,
//    the deemed site 0.05 m2 and 19 mm.
//  - 4742: 187 chords, the arc's first corner listed again 3.5 um back
//    along the side before. The cleaning drops the short edge back and the
//    arc starts at the copy, its first joint no longer turning as the rest:
//    it was put on a side, the deemed site 15 mm off.
TEST(SiteLotSweep, CornersListedAgainOnChordedArcsReadAsTheCleanLot)
{
  using namespace site_sweep;
  for (const std::uint64_t seed : {180427ULL, 4742ULL}) {
    // The lot and its wider change as Sweep draws them.
    Rng rng(seed);
    Rng wide = WideSeed(seed);
    Lot lot = MakeLot(rng);
    ASSERT_TRUE(Coin(wide, 0.2)) << seed;
    lot = MakeWideLot(wide);
    const std::vector<Placement> placements = Placements(rng);
    const Change change = MakeChange(lot, kWideChanges[Pick(wide, static_cast<int>(std::size(kWideChanges)))], wide);
    ASSERT_EQ(change.m_Kind, ChangeKind::CornerOutside) << seed;
    const std::vector<CKelCoord2D> probes = Probes(lot);
    const Readings clean = Read(lot, lot.m_Listing, placements[0], probes);
    for (const Placement& at : placements) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ": " + lot.m_Name + "; " + change.m_Name + "; " + at.m_Name);
      for (const Violation& v : Judge(clean, Read(lot, change.m_Listing, at, probes), Invariant(change.m_Kind, at),
                                      TolerancesFor(lot, change)))
        ADD_FAILURE() << v.Text();
    }
  }
}

// Found by a wider sweep of road bends with a corner listed again (seeds
// 515, 18456): an 11.5 m road bending 54 to 58 degrees away from the lot
// after 3.4 to 4.8 m, its second leg 3 to 4.3 m. The deemed lines miss
// each other at the bend, and the outline joining them crosses itself
// three times; the part kept was the one at the first pinch in listing
// order, so read mirrored the deemed site lost another lobe (3.4 to 3.9
// m2). Every corner listed again exactly must read as the clean lot at
// every placement.
TEST(SiteLotSweep, RoadBendsWithACornerListedAgainReadAsTheCleanLot)
{
  using namespace site_sweep;
  for (const std::uint64_t seed : {515ULL, 18456ULL}) {
    // The lot as Sweep draws a wider one from the seed.
    Rng wide = WideSeed(seed);
    (void)Coin(wide, 0.2);
    const Lot lot = MakeWideLot(wide);
    Rng rng(seed);
    const std::vector<Placement> placements = Placements(rng);
    const std::vector<CKelCoord2D> probes = Probes(lot);
    const Readings clean = Read(lot, lot.m_Listing, placements[0], probes);
    for (std::size_t k = 0; k < lot.m_Listing.size(); ++k) {
      Listing twice = lot.m_Listing;
      twice.insert(twice.begin() + static_cast<long>(k) + 1, twice[k]);
      for (const Placement& at : placements) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + lot.m_Name + "; point " + std::to_string(k) +
                     " listed twice; " + at.m_Name);
        for (const Violation& v : Judge(clean, Read(lot, twice, at, probes), Invariant(ChangeKind::NearRepeat, at),
                                        TolerancesFor(lot, 0.0)))
          ADD_FAILURE() << v.Text();
      }
    }
  }
}

// Corners no family draws, each judged against the GEOS models at the
// origin (JudgeByModel): a frontage ending at a reflex corner of a
// neighbour side (its far side cut at that side's line) or running on
// straight into it, a road widening into a convex or a reflex corner with
// another road (the far sides' turn decides), a cut of 60 degrees between
// two roads and one between a road and a widening road across 10 m.
TEST(SiteLotSweep, CornersNoFamilyDrawsReadAsModelled)
{
  using site_sweep::LotBuilder;
  const site_sweep::SideKind R = site_sweep::SideKind::Road, C = site_sweep::SideKind::Cut;
  const site_sweep::Lot lots[] = {
      LotBuilder("frontage into a reflex neighbour corner").Corner(0, 0, R, 6).Corner(20, 0).Corner(22, -4).Corner(24, 20).Corner(0, 20).Done(),
      LotBuilder("frontage running on into a neighbour").Corner(0, 0, R, 6).Corner(20, 0).Corner(30, -0.5).Corner(30, 20).Corner(0, 20).Done(),
      LotBuilder("widening into a convex road corner").Corner(0, 0, R, 4, 8).Corner(20, 0, R, 6).Corner(20, 25).Corner(0, 25).Done(),
      LotBuilder("widening into a reflex road corner").Corner(0, 0, R, 4, 9).Corner(12, 0, R, 6).Corner(12, -5).Corner(25, -5).Corner(25, 20).Corner(0, 20).Done(),
      LotBuilder("60 degree cut between roads").Corner(0, 0, R, 6).Corner(18, 0, C).Corner(20, 3.4641, R, 8).Corner(12, 25).Corner(0, 25).Done(),
      LotBuilder("cut before a road widening across 10 m").Corner(0, 0, R, 4).Corner(17, 0, C).Corner(20, 3, R, 6, 14).Corner(20, 30).Corner(0, 30).Done()};
  for (const site_sweep::Lot& lot : lots) {
    const std::vector<CKelCoord2D> probes = site_sweep::Probes(lot);
    const site_sweep::Readings clean = site_sweep::Read(lot, lot.m_Listing, site_sweep::Placement{}, probes);
    // A road ending at a reflex neighbour corner has no deemed model.
    EXPECT_TRUE(site_sweep::ModelRoads(lot)) << lot.m_Name;
    EXPECT_EQ(site_sweep::ModelDeemedAny(lot).has_value(), &lot != &lots[0]) << lot.m_Name;
    for (const site_sweep::Violation& v : site_sweep::JudgeByModel(lot, clean, probes))
      ADD_FAILURE() << lot.m_Name << ": " << v.Text();
  }
}

// Lots the readers see at the survey's scale (a frontage bending 0.03
// degrees, an arc of 200 chords) are judged by the side-by-side model,
// allowing what joining moves, and that allowance still refuses roads a
// metre too wide.
TEST(SiteLotSweep, LotsReadAtTheSurveysScaleAreJudgedByTheModel)
{
  using namespace site_sweep;
  Rng rng(7);
  const Lot lots[] = {LotBuilder("bent frontage").Corner(0, 0, SideKind::Road, 6).Corner(12, 0, SideKind::Road, 6)
                          .Corner(24, 0.006, SideKind::Road, 6).Corner(35, 1.5).Corner(35, 30).Corner(0, 30).Done(),
                      ArcLot("arc", 40, 25, 8, 200, rng)};
  for (const Lot& lot : lots) {
    const JoinedMoves moves = JoinMoves(lot, RunReach(lot));
    EXPECT_TRUE(moves.m_Stretches > 0 && ModelRoads(lot, &moves)) << lot.m_Name;
    const std::vector<CKelCoord2D> probes = Probes(lot);
    Readings read = Read(lot, lot.m_Listing, Placement{}, probes);
    for (const Violation& v : JudgeByModel(lot, read, probes))
      ADD_FAILURE() << lot.m_Name << ": " << v.Text();
    for (Polygon& road : read.m_Roads) {
      const CKelCoord2D out = Along(road[0], road[1], 0, -1.0);
      for (std::size_t far : {2, 3})
        road[far] = {road[far].m_x + out.m_x - road[0].m_x, road[far].m_y + out.m_y - road[0].m_y};
    }
    EXPECT_EQ(JudgeByModel(lot, read, probes).size(), 1U) << lot.m_Name;
  }
}

// Clean lots of a wider sweep (seeds 1 to 5000) on which the GEOS models
// first parted from the readers, each judged against them again:
//  - 960, 1277: arc frontages bowed into the lot whose roads are wider
//    than the arc's radius allows their far sides to run on; a far side
//    cut at the next one's line within 5 m of its end turns back, and the
//    join with the next road is sought on the road as cut (the model had
//    joined the far sides as drawn, 757 and 16 m2 off);
//  - 3108: an arc frontage of 13 chords whose last road the model laid to
//    round-off as read: a floating GEOS overlay took the two equal quads
//    for disjoint ones (198 m2 off); overlays now snap to a fine grid;
//  - 1542: a road bend turning into the lot 2 m past the frontage's start
//    with a 7.5 m road: the second road's deemed strip, drawn whole,
//    reached past the neighbour side behind the first road; the deemed
//    lines cut each other at the bend.
TEST(SiteLotSweep, CleanLotsOnceOffTheModelsReadAsModelled)
{
  using namespace site_sweep;
  for (std::uint64_t seed : {960, 1277, 3108, 1542}) {
    Rng rng(seed);
    Rng wide = WideSeed(seed);
    Lot lot = MakeLot(rng);
    if (Coin(wide, 0.2))
      lot = MakeWideLot(wide);
    const std::vector<CKelCoord2D> probes = Probes(lot);
    const Readings clean = Read(lot, lot.m_Listing, Placement{}, probes);
    EXPECT_TRUE(ModelRoads(lot) && ModelDeemedAny(lot)) << seed;
    for (const Violation& v : JudgeByModel(lot, clean, probes))
      ADD_FAILURE() << "seed " << seed << ": " << lot.m_Name << ": " << v.Text();
  }
}
