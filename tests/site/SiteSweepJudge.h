#pragma once
// What the site's readers give for a listing of a generated lot
// (SiteLotSweep.h), and the judge of it against the clean lot: the site
// check, the roads' union, the deemed site (simple, its area and its
// distances) and the check line. Results are taken back into the lot's own
// frame, so every placement is compared with the lot at the origin.
//
// A change of size s (how far it moves the outline) may move a length by
// 20 s and an area by a strip of width 2 s along the lot's diameter D (the
// roads' by one along their own extent too, and by what a side the change
// turns sweeps along them: RoadsArea); on top of that,
// round-off: 1e-6 of D in lengths, 1e-6 of D^2 in areas.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "CClineData.h"
#include "CKelHSite.h"
#include "CKelMSite.h"
#include "SiteAreaJudge.h"
#include "SiteGeos.h"
#include "SiteLotSweep.h"
#include "SiteRoadModel.h"

namespace site_sweep {

using site_test::AreaJudge;
using site_test::Polygon;
using site_test::PolygonSet;

struct Readings {
  int m_Check = 0;
  int m_Edge = -1;
  PolygonSet m_Roads;
  std::vector<int> m_RoadEdge;  // the listed edge of each road
  Polygon m_Deemed;
  std::vector<double> m_Distance;  // from the deemed site, at the probes
  bool m_LineMade = false;
  double m_LineLength = 0;
};

// Points in and around the lot, in its own frame.
inline std::vector<CKelCoord2D> Probes(const Lot& lot)
{
  double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
  for (const CKelCoord2D& p : lot.m_Corners) {
    x0 = std::min(x0, p.m_x);
    x1 = std::max(x1, p.m_x);
    y0 = std::min(y0, p.m_y);
    y1 = std::max(y1, p.m_y);
  }
  std::vector<CKelCoord2D> out;
  for (int i = 0; i <= 5; ++i)
    for (int j = 0; j <= 5; ++j)
      out.emplace_back(x0 - 13 + (x1 - x0 + 26) * (i + 0.37) / 6, y0 - 13 + (y1 - y0 + 26) * (j + 0.29) / 6);
  return out;
}

inline Readings Read(const Lot& lot, const Listing& listing, const Placement& at,
                     const std::vector<CKelCoord2D>& probes)
{
  Readings r;
  CKelHSite site = SiteOf(lot, Placed(listing, at), at);
  r.m_Check = site.CheckError(true, &r.m_Edge);
  for (const CSiteRoadTable& road : site.m_Road) {
    r.m_Roads.push_back({at.Back(road.m_SiteBeg), at.Back(road.m_SiteEnd), at.Back(road.m_FarEnd), at.Back(road.m_FarBeg)});
    r.m_RoadEdge.push_back(road.m_no);
  }
  CKelMSite deemed;
  deemed.SiteMAutoSet(site);
  for (const CKelCoord2D& p : deemed.m_pt)
    r.m_Deemed.push_back(at.Back(p));
  for (const CKelCoord2D& p : probes)
    r.m_Distance.push_back(deemed.CalcSiteDistance3(at.To(p)));
  CKelArea<CKelCoord2D> listed;
  for (const CKelSiteTable& v : site.m_pt)
    listed.m_pt.push_back(v);
  CClineData line(0, 5);
  r.m_LineMade = line.CreateCheckline(listed);
  r.m_LineLength = line.empty() ? 0 : line.GetLength();
  return r;
}

// The invariant a change tests.
inline std::string Invariant(ChangeKind change, const Placement& at)
{
  switch (change) {
  case ChangeKind::OnSide:
  case ChangeKind::Surveyed:
  case ChangeKind::DenseSide:
  case ChangeKind::ChordPoints:
    return "points on a side";
  case ChangeKind::NearRepeat:
  case ChangeKind::Stub:
  case ChangeKind::CornerOutside:
    return "tiny moves";
  case ChangeKind::Start:
  case ChangeKind::Reverse:
    return "listing order";
  case ChangeKind::None:
  case ChangeKind::Count:
    break;
  }
  return at.m_Mirror ? "mirror" : "placement";
}

// One broken invariant: which, by which reader, the values.
struct Violation {
  std::string m_Invariant;
  std::string m_Reader;
  double m_Got = 0, m_Clean = 0, m_Tolerance = 0;
  std::string Text() const
  {
    return m_Invariant + ", " + m_Reader + ": " + Num(m_Got) + " against " + Num(m_Clean) + " (tolerance " +
           Num(m_Tolerance) + ")";
  }
};

struct Tolerance {
  double m_Length, m_Area;
  double m_Size = 0;  // the change's
  double m_Turn = 0;  // the change's (Change::m_Turn, m_Near)
  CKelCoord2D m_Near{};
  double m_Reach = 0;  // how far a deemed line lies off its side at most
};

// How far a deemed line lies off its road side at most: on the centre line
// below 10 m wide, 5 m inside the far side from 10 m on.
inline double DeemedReach(const Lot& lot)
{
  double reach = 0;
  for (const Side& side : lot.m_Sides) {
    if (side.m_Kind != SideKind::Road)
      continue;
    const double w = std::max(side.m_W1, side.m_W2);
    reach = std::max(reach, w >= CKelMSite::kWideRoad ? w - CKelMSite::kFarSideInset : w / 2);
  }
  return reach;
}

inline Tolerance TolerancesFor(const Lot& lot, double size)
{
  const double d = lot.Diameter();
  return {1e-6 * d + 20 * size, 1e-6 * d * d + 2 * d * size, size};
}

inline Tolerance TolerancesFor(const Lot& lot, const Change& change)
{
  Tolerance tol = TolerancesFor(lot, change.m_Size);
  tol.m_Turn = change.m_Turn;
  tol.m_Near = change.m_Near;
  tol.m_Reach = DeemedReach(lot);
  return tol;
}

// The diameter of the roads' corners.
inline double Extent(const PolygonSet& roads)
{
  double d = 0;
  for (const Polygon& p : roads)
    for (const Polygon& q : roads)
      for (const CKelCoord2D& a : p)
        for (const CKelCoord2D& b : q)
          d = std::max(d, std::hypot(b.m_x - a.m_x, b.m_y - a.m_y));
  return d;
}

// How far p lies from the segment a b.
inline double FromSegment(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  const double dx = b.m_x - a.m_x, dy = b.m_y - a.m_y, len2 = dx * dx + dy * dy;
  const double t = len2 > 0 ? std::clamp(((p.m_x - a.m_x) * dx + (p.m_y - a.m_y) * dy) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(a.m_x + t * dx - p.m_x, a.m_y + t * dy - p.m_y);
}

// The integral of the distance from c along the edges of the roads a turn
// at c may move: every edge of a road whose site side runs through c (it
// lies on the turned line or its far line, or closes them), and the edges
// of the other roads that lie on such a road's far line (a neighbour's end,
// cut by that line). The distance is convex along an edge, so the
// trapezoid rule bounds each integral from above. eps: round-off.
inline double TurnedEdgesDistance(const PolygonSet& roads, const CKelCoord2D& c, double eps)
{
  const auto along = [&](const CKelCoord2D& a, const CKelCoord2D& b) {
    return a.GetLength(b) * (a.GetLength(c) + b.GetLength(c)) / 2;
  };
  std::vector<bool> turned(roads.size(), false);
  for (std::size_t r = 0; r < roads.size(); ++r)
    turned[r] = roads[r].size() == 4 && FromSegment(roads[r][0], roads[r][1], c) <= eps;
  double sum = 0;
  for (std::size_t r = 0; r < roads.size(); ++r) {
    const Polygon& p = roads[r];
    for (std::size_t k = 0; k < p.size(); ++k) {
      const CKelCoord2D& a = p[k];
      const CKelCoord2D& b = p[(k + 1) % p.size()];
      bool moves = turned[r];
      for (std::size_t q = 0; q < roads.size() && !moves; ++q) {
        if (!turned[q] || roads[q][2].GetLength(roads[q][3]) <= eps)
          continue;
        const CKelCoord2D &f0 = roads[q][3], &f1 = roads[q][2];
        const double len = f0.GetLength(f1);
        const auto off = [&](const CKelCoord2D& x) {
          return std::fabs((f1.m_x - f0.m_x) * (x.m_y - f0.m_y) - (f1.m_y - f0.m_y) * (x.m_x - f0.m_x)) / len;
        };
        moves = off(a) <= eps && off(b) <= eps;
      }
      if (moves)
        sum += along(a, b);
    }
  }
  return sum;
}

// The roads' area allowance: a strip of width 2 s along the clean roads'
// own extent as well as along the lot. A road runs out past the lot's
// corner to where it meets the next road's line, tens of metres at a
// shallow bend; a change that moves a road's line at the lot moves it all
// along that run-out, so the change's size times the length over which
// the line is carried is what "in proportion" means for the roads.
// A change that turns a side's line by t (a stub: Change::m_Turn) about a
// far end P moves a point x of it, or of its far line, by t |x - P| across.
// P lies along the line at least the side's length L from the corner c the
// change lies at, and t = o / L for the change's offset o, so the move is
// at most o + t |x - c|: o is in the strip above, and the turn adds
// t |x - c| along the road edges on the turned lines (TurnedEdgesDistance),
// the roads' areas changing by at most its integral over them. The clean
// roads' own run-outs carry the shallow bends: two far lines meeting at an
// angle b cross about w / sin b out, and it is that far that a turned line
// is carried.
inline double RoadsArea(const Tolerance& tol, const Readings& clean)
{
  const double extent = Extent(clean.m_Roads);
  double area = tol.m_Area + 2 * extent * tol.m_Size;
  if (tol.m_Turn > 0)
    area += tol.m_Turn * TurnedEdgesDistance(clean.m_Roads, tol.m_Near, 1e-6 * extent);
  return area;
}

// got judged against clean (the lot's clean listing at the origin); the
// roads, the deemed site and its distances only where `whole`.
inline std::vector<Violation> Judge(const Readings& clean, const Readings& got, const std::string& invariant,
                                    const Tolerance& tol, bool whole = true)
{
  std::vector<Violation> out;
  auto expect = [&](const char* reader, double g, double c, double t) {
    if (!(std::fabs(g - c) <= t))
      out.push_back({invariant, reader, g, c, t});
  };
  expect("site check", got.m_Check, clean.m_Check, 0);
  if (got.m_Check != 0 || clean.m_Check != 0)
    return out;
  expect("check line made", got.m_LineMade ? 1 : 0, clean.m_LineMade ? 1 : 0, 0);
  expect("check line length", got.m_LineLength, clean.m_LineLength, 10 * tol.m_Length);
  if (!whole)
    return out;
  expect("roads (area off the clean roads' union)", AreaJudge::XorArea(clean.m_Roads, got.m_Roads), 0,
         RoadsArea(tol, clean));
  const bool simple = got.m_Deemed.size() >= 3 && !site_test::SelfCrosses(got.m_Deemed) && !site_test::TurnsStraightBack(got.m_Deemed);
  expect("deemed site simple", simple ? 1 : 0, 1, 0);
  // A side the change turns by t turns its deemed line about it: the line's
  // end across the side's end moves by t times the reach, sweeping a
  // triangle of t reach^2 / 2 (twice that, for either end).
  const double turned = tol.m_Turn * tol.m_Reach;
  expect("deemed site (area off the clean one)", AreaJudge::XorArea({clean.m_Deemed}, {got.m_Deemed}), 0,
         tol.m_Area + turned * tol.m_Reach);
  double worst = 0, at = 0;
  for (std::size_t k = 0; k < clean.m_Distance.size() && k < got.m_Distance.size(); ++k) {
    const double off = std::fabs(clean.m_Distance[k] - got.m_Distance[k]);
    if (off > worst) {
      worst = off;
      at = clean.m_Distance[k];
    }
  }
  expect("distance from the deemed site", at + worst, at, tol.m_Length + turned);
  return out;
}

// The change kinds a sweep judges, for the test and the fuzz target alike.
// A stub is folded where the long sides beside it cross (so its road runs
// out along their lines; see RoadsArea), its corner judged whole unless it
// may cross the tiny size (CornerNearTinyThreshold). A side surveyed every
// few centimetres with up to 1 mm of scatter keeps every reading: every
// piece lying within the on-line distance of the side reads as the side.
inline std::vector<ChangeKind> JudgedChanges()
{
  return {ChangeKind::None,   ChangeKind::Start,      ChangeKind::Reverse, ChangeKind::OnSide,
          ChangeKind::NearRepeat, ChangeKind::Surveyed, ChangeKind::Stub};
}

// Whether a corner inside a frontage (road sides running on, one width)
// lies off the chord of two others of it within reach of the tiny size.
// A frontage's pieces make one run where their corners lie within the tiny
// size of its chord: below it a bend is survey noise, above it a corner,
// and the roads and the deemed site jump where a corner crosses it (a jump
// at the survey's own scale). A stub of size s moves the corner it is
// folded into to where the long sides' lines cross: along a side by up to
// s over the bend's sine, off the chord (at about half the bend to it) by
// about s. Within 2 s of the threshold it may carry the corner across, so
// only the site check and the check line are judged then.
inline bool CornerNearTinyThreshold(const Lot& lot, double reach)
{
  const std::vector<CKelCoord2D>& c = lot.m_Corners;
  const std::size_t n = c.size();
  const double tiny = lot.Tiny();
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t k = i + 2; k < i + n && lot.RoadRunsOn(k - 2); ++k) {
      const CKelCoord2D& a = c[i];
      const CKelCoord2D& b = c[k % n];
      const double len = std::hypot(b.m_x - a.m_x, b.m_y - a.m_y);
      for (std::size_t j = i + 1; j < k && len > 0; ++j) {
        const CKelCoord2D& p = c[j % n];
        const double off = std::fabs((b.m_x - a.m_x) * (p.m_y - a.m_y) - (b.m_y - a.m_y) * (p.m_x - a.m_x)) / len;
        if (std::fabs(off - tiny) <= reach)
          return true;
      }
    }
  }
  return false;
}

// Whether a corner beside a road turns within reach of the straight-corner
// angle (KelTol::SiteStraightCorner): at or below it the roads run on
// straight there, above it they meet at a corner, so they jump where a
// change turns a side across it. A change of size s turns a side of length
// L by up to s / L.
inline bool CornerNearStraightThreshold(const Lot& lot, double reach)
{
  const std::vector<CKelCoord2D>& c = lot.m_Corners;
  const std::size_t n = c.size();
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t prev = (k + n - 1) % n, next = (k + 1) % n;
    if (lot.m_Sides[prev].m_Kind != SideKind::Road && lot.m_Sides[k].m_Kind != SideKind::Road)
      continue;
    const double a = std::atan2(c[k].m_y - c[prev].m_y, c[k].m_x - c[prev].m_x);
    const double b = std::atan2(c[next].m_y - c[k].m_y, c[next].m_x - c[k].m_x);
    const double turn = std::fabs(std::remainder(b - a, 2 * KelAngle::Pi));
    const double len = std::min(c[k].GetLength(c[prev]), c[k].GetLength(c[next]));
    if (len > 0 && std::fabs(turn - KelTol::SiteStraightCorner) <= reach / len)
      return true;
  }
  return false;
}

// Whether a corner between two sides of one kind lies off the chord of the
// corners beside it within reach of the on-line distance: at or below it
// the corner is a point on a side, above it a corner (an arc whose chords
// sag 1.01 mm), so a fold of size s beside it, swaying it by about s, may
// carry it across, and its joint moves by the distance itself.
inline bool CornerNearOnLineThreshold(const Lot& lot, double reach)
{
  const std::vector<CKelCoord2D>& c = lot.m_Corners;
  const std::size_t n = c.size();
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t prev = (k + n - 1) % n, next = (k + 1) % n;
    if (lot.m_Sides[prev].m_Kind != lot.m_Sides[k].m_Kind)
      continue;
    const double off = OffLine(c[prev], c[next], c[k]);
    if (std::fabs(off - KelTol::SiteOnLine) <= reach)
      return true;
  }
  return false;
}

// One case of a sweep: a lot, a change, a placement.
struct Case {
  std::string m_Lot;
  std::string m_Change;
  ChangeKind m_Kind = ChangeKind::None;
  std::string m_Placement;
  std::vector<Violation> m_Violations;
  std::string Text() const
  {
    std::string s = m_Lot + "; " + m_Change + "; " + m_Placement + ":";
    for (const Violation& v : m_Violations)
      s += "\n    " + v.Text();
    return s;
  }
};

// The deemed site of a lot whose roads are one chain of sides of one
// width, met at both ends by neighbour sides at right angles, as GEOS
// builds it: the lot with the strip out to the deemed line along the chain
// (DeemedReach), its lines meeting at mitres. None for other lots.
inline std::optional<site_geos::Geometry> ModelDeemed(const Lot& lot)
{
  const std::size_t n = lot.m_Sides.size();
  const auto kind = [&](std::size_t k) { return lot.m_Sides[k % n].m_Kind; };
  std::size_t first = n;
  for (std::size_t k = 0; k < n; ++k) {
    if (kind(k) != SideKind::Road || kind(k + n - 1) == SideKind::Road)
      continue;
    if (first != n)
      return std::nullopt;
    first = k;
  }
  if (first == n || kind(first + n - 1) != SideKind::Neighbour)
    return std::nullopt;
  const std::vector<CKelCoord2D>& c = lot.m_Corners;
  const double width = lot.m_Sides[first].m_W1;
  site_geos::Polygon line{c[first]};
  std::size_t k = first;
  for (; kind(k) == SideKind::Road; ++k) {
    if (lot.m_Sides[k % n].m_W1 != width || lot.m_Sides[k % n].m_W2 != width)
      return std::nullopt;
    line.push_back(c[(k + 1) % n]);
  }
  const auto square = [](const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& d) {
    const double dot = (b.m_x - a.m_x) * (d.m_x - b.m_x) + (b.m_y - a.m_y) * (d.m_y - b.m_y);
    return std::fabs(dot) <= 1e-9 * a.GetLength(b) * b.GetLength(d);
  };
  if (kind(k) != SideKind::Neighbour || !square(c[(first + n - 1) % n], line[0], line[1]) ||
      !square(line[line.size() - 2], line.back(), c[(k + 1) % n]))
    return std::nullopt;
  const double reach = width >= CKelMSite::kWideRoad ? width - CKelMSite::kFarSideInset : width / 2;
  return site_geos::Union(site_geos::Make(c).get(), site_geos::RightStrip(line, reach).get());
}

// The deemed site as GEOS builds it: the one chain's strip (ModelDeemed)
// where it is one, else the lot with its roads' strips and corners
// (ModelDeemedSite).
inline std::optional<site_geos::Geometry> ModelDeemedAny(const Lot& lot, bool nearChord = false)
{
  std::optional<site_geos::Geometry> chain = ModelDeemed(lot);
  return chain ? std::move(chain) : ModelDeemedSite(lot, nearChord);
}

// How far the roads of the clean listing, read at the origin, lie off the
// model (ModelRoads), side by side: the area of each road side's reading
// (its listed pieces' union) off the side's modelled road, summed; none for
// lots not modelled. A piece's road listed on no side, or a modelled side
// with no reading, counts whole.
inline std::optional<double> RoadsOffModel(const Lot& lot, const Readings& clean)
{
  const std::optional<PolygonSet> model = ModelRoads(lot);
  if (!model)
    return std::nullopt;
  std::vector<PolygonSet> read(model->size());
  double off = 0;
  for (std::size_t r = 0; r < clean.m_Roads.size(); ++r) {
    const auto e = static_cast<std::size_t>(clean.m_RoadEdge[r]);
    const std::size_t side = e < lot.m_Listing.size() ? static_cast<std::size_t>(lot.m_Listing[e].m_Side) : model->size();
    if (side < model->size() && (*model)[side].size() == 4)
      read[side].push_back(clean.m_Roads[r]);
    else
      off += site_geos::UnionArea({clean.m_Roads[r]});
  }
  for (std::size_t k = 0; k < model->size(); ++k)
    if (!read[k].empty() || !(*model)[k].empty())
      off += site_geos::XorArea(read[k], {(*model)[k]});
  return off;
}

// What joining may move the roads laid side by side (ModelRoads) by: a
// strip of the corners' departure along the lot and the roads' extent, as
// for a change of that size (RoadsArea), and each side's turn onto a
// chord. At a straight corner the far sides of a turned side and the
// next meet close by, so its far line keeps within the departure of the
// side's own, shifted along by about w t / 2; at any other corner the
// turned lines run out past the lot, and the road edges on them move by t
// times their distance from it (TurnedEdgesDistance).
inline double JoinedRoadsArea(const Lot& lot, const PolygonSet& laid, const JoinedMoves& moves)
{
  const double extent = Extent(laid);
  double area = TolerancesFor(lot, moves.m_Off).m_Area + 2 * extent * moves.m_Off;
  const std::size_t n = lot.m_Corners.size();
  for (std::size_t k = 0; k < n; ++k) {
    const double t = moves.m_Turn[k];
    if (!(t > 0))
      continue;
    const Side& side = lot.m_Sides[k];
    for (const std::size_t c : {k, (k + 1) % n}) {
      if (road_model::ClassOf(lot, c) == road_model::Corner::Straight)
        area += lot.m_Corners[k].GetLength(lot.m_Corners[(k + 1) % n]) * std::max(side.m_W1, side.m_W2) * t * t;
      else
        area += t * TurnedEdgesDistance(laid, lot.m_Corners[c], 1e-6 * extent);
    }
  }
  return area;
}

// The clean lot judged against GEOS: the distances from its deemed site at
// the probes (measured on the reading's own outline), and, where the model
// builds them (ModelDeemedAny, ModelRoads), the deemed site itself and the
// distances from it, and the roads.
inline std::vector<Violation> JudgeByModel(const Lot& lot, const Readings& clean, const std::vector<CKelCoord2D>& probes)
{
  std::vector<Violation> out;
  const Tolerance tol = TolerancesFor(lot, 0.0);
  // A lot with a road stretch within the tiny size of its chord is read as
  // one run along the chord: the model lays its sides one by one, so the
  // reading may part from it by what joining moves, as a survey departing
  // by that much; its roads, by what the run's turn moves them where they
  // run out past the lot (JoinedRoadsArea), and, as a corner the turn
  // takes across the straight-corner band reads either way, not at all
  // there (ModelRoads).
  const JoinedMoves moves = JoinMoves(lot, RunReach(lot));
  const bool nearChord = moves.m_Stretches > 0;
  const Tolerance modelTol = nearChord ? TolerancesFor(lot, moves.m_Off) : tol;
  const auto expect = [&](const char* reader, double got, double model, double t) {
    if (!(std::fabs(got - model) <= t))
      out.push_back({"GEOS model", reader, got, model, t});
  };
  if (clean.m_Check != 0 || clean.m_Distance.size() != probes.size())
    return out;
  const site_geos::Geometry read = site_geos::Make(clean.m_Deemed);
  const std::optional<site_geos::Geometry> model = ModelDeemedAny(lot, nearChord);
  for (std::size_t k = 0; k < probes.size(); ++k) {
    expect("distance from the deemed site", clean.m_Distance[k], site_geos::Distance(read.get(), probes[k]), tol.m_Length);
    if (model)
      expect("distance from the modelled deemed site", clean.m_Distance[k], site_geos::Distance(model->get(), probes[k]),
             modelTol.m_Length);
  }
  if (model)
    expect("deemed site (area off the model)", site_geos::XorArea(read.get(), model->get()), 0, modelTol.m_Area);
  if (!nearChord) {
    if (const std::optional<double> off = RoadsOffModel(lot, clean))
      expect("roads (area off the model)", *off, 0, tol.m_Area);
  } else if (const std::optional<PolygonSet> roads = ModelRoads(lot, &moves)) {
    PolygonSet laid;
    for (const Polygon& p : *roads)
      if (p.size() == 4)
        laid.push_back(p);
    expect("roads of a lot read at the survey's scale (area off the model)", site_geos::XorArea(clean.m_Roads, laid),
           0, JoinedRoadsArea(lot, laid, moves));
  }
  return out;
}

// The wider listings, one a lot: a dense stretch of a side, points exactly
// on chords, a corner listed again outside. Dense listings are slow to read,
// so each lot gets one; they are drawn from a generator of their own
// (WideSeed), as are the wider families, so the draws of the first changes
// (and the slant-line sweep's, which shares the generator) stay as they were.
inline constexpr ChangeKind kWideChanges[] = {ChangeKind::DenseSide, ChangeKind::ChordPoints, ChangeKind::CornerOutside};
inline Rng WideSeed(std::uint64_t seed) { return Rng(seed ^ 0x3c1de5a17ULL); }

// A change judged at a placement against the lot's clean readings.
inline Case JudgeChange(const Lot& lot, const Readings& clean, const std::vector<CKelCoord2D>& probes,
                        const Change& change, const Placement& at, std::uint64_t seed)
{
  const ChangeKind kind = change.m_Kind;
  Case one{lot.m_Name + " (seed " + std::to_string(seed) + ")", change.m_Name, kind, at.m_Name, {}};
  const bool folds = kind == ChangeKind::Stub || kind == ChangeKind::CornerOutside;
  const bool nearThreshold = CornerNearTinyThreshold(lot, 2 * change.m_Size) ||
                             CornerNearStraightThreshold(lot, 2 * change.m_Size) ||
                             CornerNearOnLineThreshold(lot, 2 * change.m_Size);
  const bool whole = !(folds && nearThreshold);
  const Readings got = Read(lot, change.m_Listing, at, probes);
  one.m_Violations = Judge(clean, got, Invariant(kind, at), TolerancesFor(lot, change), whole);
  // Points put on sides that draw two lots (TellsPointsFromCorners) may
  // read as either; the listing must read alike wherever it lies.
  const bool onSides = kind == ChangeKind::OnSide || kind == ChangeKind::Surveyed || kind == ChangeKind::DenseSide ||
                       kind == ChangeKind::ChordPoints;
  if (!one.m_Violations.empty() && onSides && !TellsPointsFromCorners(lot, change.m_Listing)) {
    const Placement home{at.m_Mirror ? "mirrored" : "origin", 0, 0, 0, at.m_Mirror};
    one.m_Violations = Judge(Read(lot, change.m_Listing, home, probes), got, Invariant(ChangeKind::None, at),
                             TolerancesFor(lot, 0.0), whole);
  }
  // A corner listed again inside one side may be read at either copy.
  const std::optional<Listing> other =
      one.m_Violations.empty() || kind != ChangeKind::NearRepeat ? std::nullopt : OtherCopyLot(lot, change.m_Listing);
  if (other)
    one.m_Violations = Judge(Read(lot, *other, Placement{}, probes), got, Invariant(kind, at), TolerancesFor(lot, 0.0),
                             whole);
  return one;
}

// The lot from seed (now and then one of the wider families instead), its
// clean readings, then `changes` random changes of the kinds `judged`
// allows, each at a random placement (none on a wider lot), and one of the
// wider listings; every case judged.
inline std::vector<Case> Sweep(std::uint64_t seed, int changes, const std::vector<ChangeKind>& judged)
{
  Rng rng(seed);
  Rng wide = WideSeed(seed);
  Lot lot = MakeLot(rng);
  // A wider lot (up to 400 chords) is slow to judge: it takes the wider
  // change alone.
  const bool wideLot = Coin(wide, 0.2);
  if (wideLot)
    lot = MakeWideLot(wide);
  const std::vector<Placement> placements = Placements(rng);
  const std::vector<CKelCoord2D> probes = Probes(lot);
  const Readings clean = Read(lot, lot.m_Listing, placements[0], probes);
  std::vector<Case> out{{lot.m_Name + " (seed " + std::to_string(seed) + ")", "clean, against GEOS", ChangeKind::None,
                         placements[0].m_Name, JudgeByModel(lot, clean, probes)}};
  for (int c = 0; c < changes && !judged.empty() && !wideLot; ++c) {
    const ChangeKind kind = judged[static_cast<std::size_t>(Pick(rng, static_cast<int>(judged.size())))];
    const Change change = MakeChange(lot, kind, rng);
    const Placement& at = placements[static_cast<std::size_t>(Pick(rng, static_cast<int>(placements.size())))];
    out.push_back(JudgeChange(lot, clean, probes, change, at, seed));
  }
  const ChangeKind kind = kWideChanges[Pick(wide, static_cast<int>(std::size(kWideChanges)))];
  const Change change = MakeChange(lot, kind, wide);
  out.push_back(JudgeChange(lot, clean, probes, change, placements[static_cast<std::size_t>(Pick(wide, static_cast<int>(placements.size())))], seed));
  return out;
}

}  // namespace site_sweep
