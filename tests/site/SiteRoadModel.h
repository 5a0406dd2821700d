#pragma once
// The roads and the deemed site of a clean generated lot (SiteLotSweep.h),
// laid from its corners, side kinds and widths alone, for the sweep to judge
// the readers against (SiteSweepJudge.h: JudgeByModel). The roads are one
// quadrilateral a road side: site begin, site end, far end, far begin; the
// deemed site is built by GEOS (ModelDeemedSite).
//
// The far side lies w1 from the side's start and w2 from its end (a road
// widening along the side tilts it). Each end follows the corner it lies
// at, its class decided by the turn there (of the far sides where two roads
// meet, of the sides elsewhere) against a band of KelTol::SiteStraightCorner:
//
//   corner between         convex                  straight / reflex
//   road | road            a crossing              far sides meet where they cross
//   road | cut | road      a crossing across it    (as beside a neighbour)
//   road | neighbour       5 m straight on past    straight: the far side's own end;
//                                                  reflex: cut at the neighbour's line
//
// At a crossing each road runs on along its own lines 5 m past the other's
// far side. Lots the readers see at the survey's scale are not modelled
// (None): a stretch of road sides whose corners lie within about the tiny
// size of its chord (read as one run along the chord: RoadCornerNearChord;
// its roads are laid side by side for a judge allowing what joining moves,
// JoinMoves), a corner turning at the band, a cut with no road beyond.

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "CKelMSite.h"
#include "KelTolerance.h"
#include "SiteGeos.h"
#include "SiteLotSweep.h"

namespace site_sweep {

namespace road_model {

using P = CKelCoord2D;
inline constexpr double kRunPast = 5.0;

struct Seg {
  P m_A, m_B;
  P Dir() const
  {
    const double len = m_A.GetLength(m_B);
    return {(m_B.m_x - m_A.m_x) / len, (m_B.m_y - m_A.m_y) / len};
  }
};

inline P At(const P& p, const P& d, double t) { return {p.m_x + t * d.m_x, p.m_y + t * d.m_y}; }
inline double Cross(const P& u, const P& v) { return u.m_x * v.m_y - u.m_y * v.m_x; }
inline double Dot(const P& u, const P& v) { return u.m_x * v.m_x + u.m_y * v.m_y; }
inline P Minus(const P& a, const P& b) { return {a.m_x - b.m_x, a.m_y - b.m_y}; }

// Where the lines of two segments cross; none when parallel.
inline std::optional<P> Meet(const Seg& l, const Seg& m)
{
  const P u = Minus(l.m_B, l.m_A), v = Minus(m.m_B, m.m_A);
  const double d = Cross(u, v);
  if (d == 0)
    return std::nullopt;
  return At(l.m_A, u, Cross(Minus(m.m_A, l.m_A), v) / d);
}

// Whether x lies on the segment, within round-off.
inline bool Within(const Seg& s, const P& x)
{
  const double len = s.m_A.GetLength(s.m_B), t = Dot(Minus(x, s.m_A), s.Dir());
  return t >= -KelTol::Geometry && t <= len + KelTol::Geometry;
}

inline Seg Lengthened(const Seg& s, double by) { return {At(s.m_A, s.Dir(), -by), At(s.m_B, s.Dir(), by)}; }

// The lot's side k as a road: its site side and its far side.
struct Lines {
  Seg m_Site, m_Far;
};

// The far side of a road from p to q of widths w1, w2: p lies w1 and q w2
// from it, its unit normal m away from the lot (m.(q - p) = w1 - w2).
inline Seg FarSide(const P& p, const P& q, double w1, double w2, double inset = 0)
{
  const P u = Seg{p, q}.Dir(), right{u.m_y, -u.m_x};
  const double s = std::clamp((w1 - w2) / p.GetLength(q), -1.0, 1.0), c = std::sqrt(1 - s * s);
  const P m{s * u.m_x + c * right.m_x, s * u.m_y + c * right.m_y};
  return {At(p, m, w1 - inset), At(q, m, w2 - inset)};
}

inline Lines RoadLines(const Lot& lot, std::size_t k)
{
  const P &p = lot.m_Corners[k], &q = lot.m_Corners[(k + 1) % lot.m_Corners.size()];
  return {{p, q}, FarSide(p, q, lot.m_Sides[k].m_W1, lot.m_Sides[k].m_W2)};
}

enum class Corner { Convex, Straight, Reflex };

// The class of corner k (side k - 1 to side k): by the sides' turn, or,
// where two roads meet at a corner that is not straight, by their far
// sides'; none within round-off of the band, or within what joining may
// turn the sides (turn, radians) and move the far sides across (span).
inline std::optional<Corner> ClassOf(const Lot& lot, std::size_t k, double turnMargin = 0, double spanMargin = 0)
{
  const std::size_t n = lot.m_Corners.size(), j = (k + n - 1) % n;
  const double band = KelTol::SiteStraightCorner;
  const auto turn = [](const Seg& a, const Seg& b) {  // left, away from the lot
    return std::atan2(Cross(a.Dir(), b.Dir()), Dot(a.Dir(), b.Dir()));
  };
  const auto near = [&](double t) { return std::fabs(std::fabs(t) - band) <= 1e-7 + turnMargin; };
  const double sides = turn({lot.m_Corners[j], lot.m_Corners[k]}, {lot.m_Corners[k], lot.m_Corners[(k + 1) % n]});
  if (near(sides))
    return std::nullopt;
  if (std::fabs(sides) <= band)
    return Corner::Straight;
  if (lot.m_Sides[j].m_Kind != SideKind::Road || lot.m_Sides[k].m_Kind != SideKind::Road)
    return sides > band ? Corner::Convex : Corner::Reflex;
  const Seg a = RoadLines(lot, j).m_Far, b = RoadLines(lot, k).m_Far;
  // Far sides keeping their distance from each other run on straight.
  const auto span = [](const Seg& from, const Seg& s) {
    const P u = from.Dir();
    return std::fabs(Cross(u, Minus(s.m_A, from.m_A)) - Cross(u, Minus(s.m_B, from.m_A)));
  };
  const double least = std::min(span(a, b), span(b, a));
  const double fars = turn(a, b);
  if (std::fabs(least - KelTol::SiteOnLine) <= 1e-9 + spanMargin || near(fars) || near(KelAngle::Pi - std::fabs(fars)))
    return std::nullopt;
  if (least <= KelTol::SiteOnLine)
    return Corner::Straight;
  if (std::fabs(fars) > KelAngle::Pi - band || fars > band)
    return Corner::Convex;
  return fars < -band ? Corner::Reflex : Corner::Straight;
}

// One road under construction: its four points.
struct Quad {
  P m_SiteBeg, m_SiteEnd, m_FarEnd, m_FarBeg;
};

// Road a's end and road b's begin at their crossing: each runs on along
// its own lines 5 m past the other's far side, where that lies ahead;
// nothing where two of the lines are parallel.
inline void CrossAt(Quad& a, const Lines& la, Quad& b, const Lines& lb)
{
  const auto siteFar = Meet(la.m_Site, lb.m_Far), farSite = Meet(la.m_Far, lb.m_Site), farFar = Meet(la.m_Far, lb.m_Far);
  if (!siteFar || !farSite || !farFar || !Meet(la.m_Site, lb.m_Site))
    return;
  // `to` moves 5 m past x, away from `from`, when that lies ahead of it.
  const auto stretch = [](const P& from, P& to, const P& x) {
    const P end = At(x, Seg{from, x}.Dir(), kRunPast);
    if (Dot(Minus(end, from), Minus(to, from)) > 0)
      to = end;
  };
  stretch(a.m_SiteBeg, a.m_SiteEnd, *siteFar);
  stretch(a.m_FarBeg, a.m_FarEnd, *farFar);
  stretch(b.m_SiteEnd, b.m_SiteBeg, *farSite);
  stretch(b.m_FarEnd, b.m_FarBeg, *farFar);
}

}  // namespace road_model

// The readers take a stretch of road sides, widths running on, whose inner
// corners all lie within the tiny size of its chord for one run along the
// chord; the models keep clear of that by a tenth of it.
inline double RunReach(const Lot& lot) { return 1.1 * lot.Tiny(); }

// Beyond kFewCorners corners (an arc of hundreds of chords) a stretch only
// grows off its chord: the search stops at the first beyond reach.
inline constexpr std::size_t kFewCorners = 40;

// What joining may move in a lot: how many stretches lie within reach of
// their chords, how far their corners lie off them at most (m_Off), and
// how far each side's line may turn onto one (m_Turn, radians).
struct JoinedMoves {
  int m_Stretches = 0;
  double m_Off = 0;
  std::vector<double> m_Turn;
};

inline JoinedMoves JoinMoves(const Lot& lot, double reach)
{
  const std::vector<CKelCoord2D>& c = lot.m_Corners;
  const std::size_t n = c.size();
  JoinedMoves out{0, 0, std::vector<double>(n, 0.0)};
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t k = i + 2; k < i + n && lot.RoadRunsOn(k - 2); ++k) {
      double worst = 0;
      for (std::size_t j = i + 1; j < k; ++j)
        worst = std::max(worst, OffLine(c[i], c[k % n], c[j % n]));
      if (worst > reach && n > kFewCorners)
        break;
      if (worst > reach)
        continue;
      ++out.m_Stretches;
      out.m_Off = std::max(out.m_Off, worst);
      const double chord = std::atan2(c[k % n].m_y - c[i].m_y, c[k % n].m_x - c[i].m_x);
      for (std::size_t j = i; j < k; ++j) {
        const CKelCoord2D &a = c[j % n], &b = c[(j + 1) % n];
        const double turn = std::remainder(std::atan2(b.m_y - a.m_y, b.m_x - a.m_x) - chord, 2 * KelAngle::Pi);
        out.m_Turn[j % n] = std::max(out.m_Turn[j % n], std::fabs(turn));
      }
    }
  }
  return out;
}

// Whether the readers may take a stretch of the lot's roads for one run.
inline bool RoadCornerNearChord(const Lot& lot, double reach) { return JoinMoves(lot, reach).m_Stretches > 0; }

// The roads of the lot as the rule lays them, one a side (none for a side
// that is no road); none for lots not modelled. With `joined`, a lot read
// at the survey's scale is laid too, but not where joining may turn a
// corner across the band.
inline std::optional<std::vector<site_geos::Polygon>> ModelRoads(const Lot& lot, const JoinedMoves* joined = nullptr)
{
  using namespace road_model;
  const std::size_t n = lot.m_Corners.size();
  if (joined == nullptr && RoadCornerNearChord(lot, RunReach(lot)))
    return std::nullopt;
  const auto kind = [&](std::size_t k) { return lot.m_Sides[k % n].m_Kind; };
  std::vector<Lines> lines(n);
  std::vector<Quad> quads(n);
  std::vector<Corner> corner(n);
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t j = (k + n - 1) % n;
    const double turn = joined ? joined->m_Turn[j] + joined->m_Turn[k] : 0;
    const double span = joined ? 2 * joined->m_Off + turn * std::max(lot.m_Corners[j].GetLength(lot.m_Corners[k]),
                                                                     lot.m_Corners[k].GetLength(lot.m_Corners[(k + 1) % n]))
                               : 0;
    const std::optional<Corner> c = ClassOf(lot, k, turn, span);
    if (!c)
      return std::nullopt;
    corner[k] = *c;
    if (kind(k) != SideKind::Road)
      continue;
    lines[k] = RoadLines(lot, k);
    const Seg &site = lines[k].m_Site, &far = lines[k].m_Far;
    // A road widening by its length or more has a far side of no length.
    if (!(far.m_A.GetLength(far.m_B) > 0))
      return std::nullopt;
    const Seg s5 = Lengthened(site, kRunPast), f5 = Lengthened(far, kRunPast);
    quads[k] = {s5.m_A, s5.m_B, f5.m_B, f5.m_A};
  }
  // Ends at straight and reflex corners: at the corner, the far side cut
  // at the line beyond (the next road's far side, the neighbour's side)
  // where it crosses within 5 m of the far side's own end at a reflex
  // corner, else left at its own end.
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t j = (k + n - 1) % n;
    if (corner[k] == Corner::Convex)
      continue;
    const auto lineOf = [&](std::size_t s) {
      return kind(s) == SideKind::Road ? lines[s].m_Far : Seg{lot.m_Corners[s], lot.m_Corners[(s + 1) % n]};
    };
    const auto cut = [&](std::size_t road, std::size_t other, P& site, P& far, const P& own) {
      site = lot.m_Corners[k];
      far = own;
      const std::optional<P> x = Meet(lineOf(other), lines[road].m_Far);
      if (corner[k] == Corner::Reflex && x && Within(Lengthened(lines[road].m_Far, kRunPast), *x))
        far = *x;
    };
    if (kind(k) == SideKind::Road)
      cut(k, j, quads[k].m_SiteBeg, quads[k].m_FarBeg, lines[k].m_Far.m_A);
    if (kind(j) == SideKind::Road)
      cut(j, k, quads[j].m_SiteEnd, quads[j].m_FarEnd, lines[j].m_Far.m_B);
  }
  // Crossings: two roads at a convex corner, or either side of a cut whose
  // site lines cross outside the lot beyond the first road's end and
  // before the second's begin.
  const site_geos::Geometry region = site_geos::Make(lot.m_Corners);
  for (std::size_t j = 0; j < n; ++j) {
    const std::size_t k = (j + 1) % n, l = (j + 2) % n;
    if (kind(j) != SideKind::Road)
      continue;
    if (kind(k) == SideKind::Road && corner[k] == Corner::Convex) {
      CrossAt(quads[j], lines[j], quads[k], lines[k]);
      continue;
    }
    if (kind(k) != SideKind::Cut)
      continue;
    // A cut with no road beyond: the readers look for the next road on.
    if (kind(l) != SideKind::Road)
      return std::nullopt;
    const Seg &sj = lines[j].m_Site, &sl = lines[l].m_Site;
    const std::optional<P> x = Meet(sj, sl);
    if (x && site_geos::Distance(region.get(), *x) > KelTol::Geometry && x->GetLength(sj.m_B) < x->GetLength(sj.m_A) &&
        x->GetLength(sl.m_A) < x->GetLength(sl.m_B))
      CrossAt(quads[j], lines[j], quads[l], lines[l]);
  }
  // Two roads meeting at a cut end: their far sides, as laid, meet where
  // they cross, when that lies on both or ahead of the first and behind the
  // second. A join can stretch a far side to reach the crossing at its
  // other end: the ends left open are tried again until no more meet.
  std::vector<std::size_t> open;
  for (std::size_t k = 0; k < n; ++k)
    if (corner[k] != Corner::Convex && kind(k + n - 1) == SideKind::Road && kind(k) == SideKind::Road)
      open.push_back(k);
  for (std::size_t before = open.size() + 1; open.size() < before;) {
    before = open.size();
    const std::vector<Quad> laid = quads;
    std::vector<std::size_t> still;
    for (std::size_t k : open) {
      const std::size_t j = (k + n - 1) % n;
      const Seg a{laid[j].m_FarBeg, laid[j].m_FarEnd}, b{laid[k].m_FarBeg, laid[k].m_FarEnd};
      const std::optional<P> x = Meet(a, b);
      if (x && ((Within(a, *x) && Within(b, *x)) ||
                (x->GetLength(a.m_B) < x->GetLength(a.m_A) && x->GetLength(b.m_A) < x->GetLength(b.m_B))))
        quads[j].m_FarEnd = quads[k].m_FarBeg = *x;
      else
        still.push_back(k);
    }
    open = std::move(still);
  }
  std::vector<site_geos::Polygon> out(n);
  for (std::size_t k = 0; k < n; ++k)
    if (kind(k) == SideKind::Road)
      out[k] = {quads[k].m_SiteBeg, quads[k].m_SiteEnd, quads[k].m_FarEnd, quads[k].m_FarBeg};
  return out;
}

namespace road_model {

// The foot of p on the segment's line.
inline P Foot(const Seg& s, const P& p)
{
  const P u = s.Dir();
  return At(s.m_A, u, Dot(Minus(p, s.m_A), u));
}

// The deemed line beyond a road from p to q of widths w1, w2 (on one side
// of 10 m): from 10 m on, 5 m inside its far side; below, its centre line,
// as far from the site side's line as from the far side's. It runs from
// the foot of p to the foot of q.
inline Seg DeemedLine(const P& p, const P& q, double w1, double w2)
{
  const auto wide = [](double w) { return w >= CKelMSite::kWideRoad - CKelMSite::kWidthBand; };
  if (wide(w1) && wide(w2))
    return FarSide(p, q, w1, w2, CKelMSite::kFarSideInset);
  // A point at depth d below the side lies d from it and w - c d from the
  // far side (c the cosine of the far side's tilt).
  const P u = Seg{p, q}.Dir(), right{u.m_y, -u.m_x};
  const double s = std::clamp((w1 - w2) / p.GetLength(q), -1.0, 1.0), c = std::sqrt(1 - s * s);
  const Seg centre{At(p, right, w1 / (1 + c)), At(q, right, w2 / (1 + c))};
  return {Foot(centre, p), Foot(centre, q)};
}

}  // namespace road_model

// The deemed site of a clean lot as GEOS builds it from the lot alone: the
// lot with, beyond each road, the strip out to its deemed line (a road
// whose width crosses 10 m split there). Where two roads' lines meet (across
// a cut, too), they cross ahead of the first one's start and short of the
// second one's end: at a reflex joint both strips end there; a convex one
// adds the corner out to the crossing, or straight from the first line's
// end to the second one's start where they do not cross so. None where
// the readers see the lot at the survey's scale (RoadCornerNearChord), a
// road ends at a reflex corner of a neighbour, lines turn back without
// crossing, a cut has no road on one side, or no side is a neighbour. With
// nearChord the first is laid too, side by side, for a judge that allows
// for what joining moves.
inline std::optional<site_geos::Geometry> ModelDeemedSite(const Lot& lot, bool nearChord = false)
{
  using namespace road_model;
  const std::size_t n = lot.m_Corners.size();
  const auto kind = [&](std::size_t k) { return lot.m_Sides[k % n].m_Kind; };
  bool neighbour = false;
  for (std::size_t k = 0; k < n; ++k)
    neighbour = neighbour || kind(k) == SideKind::Neighbour;
  if (!neighbour || (!nearChord && RoadCornerNearChord(lot, RunReach(lot))))
    return std::nullopt;
  // The road pieces, each with its deemed line; a cut between two roads
  // joins them.
  struct Piece {
    P m_P, m_Q;
    Seg m_Line;
    bool m_After = false;  // it goes on the piece before, directly or across a cut
  };
  std::vector<Piece> pieces;
  site_geos::PolygonSet parts{lot.m_Corners};
  const double wide = CKelMSite::kWideRoad, band = CKelMSite::kWidthBand;
  for (std::size_t k = 0; k < n; ++k) {
    const std::size_t j = (k + n - 1) % n;
    if (kind(k) == SideKind::Cut && (kind(j) != SideKind::Road || kind(k + 1) != SideKind::Road))
      return std::nullopt;
    if (kind(k) != SideKind::Road)
      continue;
    const std::optional<Corner> beg = ClassOf(lot, k), end = ClassOf(lot, k + 1);
    if (!beg || !end || (kind(j) == SideKind::Neighbour && *beg == Corner::Reflex) ||
        (kind(k + 1) == SideKind::Neighbour && *end == Corner::Reflex))
      return std::nullopt;
    const P &p = lot.m_Corners[k], &q = lot.m_Corners[(k + 1) % n];
    const double w1 = lot.m_Sides[k].m_W1, w2 = lot.m_Sides[k].m_W2;
    std::vector<std::pair<P, double>> ends{{p, w1}, {q, w2}};
    if ((w1 > wide + band && w2 < wide - band) || (w1 < wide - band && w2 > wide + band))
      ends.insert(ends.begin() + 1, {At(p, Minus(q, p), (wide - w1) / (w2 - w1)), wide});
    for (std::size_t e = 0; e + 1 < ends.size(); ++e) {
      const P &a = ends[e].first, &b = ends[e + 1].first;
      pieces.push_back({a, b, DeemedLine(a, b, ends[e].second, ends[e + 1].second), e > 0 || kind(j) != SideKind::Neighbour});
    }
  }
  // Joints: a reflex one cuts both strips where the lines cross, a convex
  // one adds the corner.
  std::vector<Seg> strip;
  for (const Piece& piece : pieces)
    strip.push_back(piece.m_Line);
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    const std::size_t i = (k + pieces.size() - 1) % pieces.size();
    const Piece &a = pieces[i], &b = pieces[k];
    if (!b.m_After)
      continue;
    const std::optional<P> x = Meet(a.m_Line, b.m_Line);
    const bool meets = x && Dot(Minus(*x, a.m_Line.m_A), a.m_Line.Dir()) > 0 &&
                       Dot(Minus(*x, b.m_Line.m_A), b.m_Line.Dir()) < b.m_Line.m_A.GetLength(b.m_Line.m_B);
    if (Cross(a.m_Line.Dir(), b.m_Line.Dir()) < 0) {
      // Lines turning back without crossing so (a road tapering steeply
      // across 10 m) leave the deemed outline to the readers' walk.
      if (!meets)
        return std::nullopt;
      strip[i].m_B = strip[k].m_A = *x;
      continue;
    }
    site_geos::Polygon wedge{a.m_Q, a.m_Line.m_B};
    if (meets)
      wedge.push_back(*x);
    wedge.insert(wedge.end(), {b.m_Line.m_A, b.m_P});
    parts.push_back(wedge);
  }
  for (std::size_t k = 0; k < pieces.size(); ++k)
    parts.push_back({pieces[k].m_P, pieces[k].m_Q, strip[k].m_B, strip[k].m_A});
  return site_geos::Union(parts);
}

}  // namespace site_sweep
