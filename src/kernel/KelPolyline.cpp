// The survey's reading of polylines: which points of a listed side are
// corners, which lie on an evenly listed arc, where two sides meet across
// folded edges (KelPolyline.h).
#include "KelPolyline.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "KelGeometry.h"
#include "KelTolerance.h"

namespace kel_polyline {

// Distance of p from the line through a and b (from a when they coincide),
// about a so that far coordinates keep their digits.
double OffLine(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  const double ux = b.m_x - a.m_x, uy = b.m_y - a.m_y;
  const double px = p.m_x - a.m_x, py = p.m_y - a.m_y;
  const double len = std::hypot(ux, uy);
  if (!(len > 0))
    return std::hypot(px, py);
  return std::fabs(ux * py - uy * px) / len;
}

// How far the points of pts between a and b lie off their chord at most.
double FarthestOff(const std::vector<CKelCoord2D>& pts, std::size_t a, std::size_t b)
{
  double far = 0;
  for (std::size_t j = a + 1; j < b; ++j)
    far = std::max(far, OffLine(pts[a], pts[b], pts[j]));
  return far;
}

// The width of the points' convex hull (the least of its heights over its
// edges), taken about pts[a].
double StripWidth(const std::vector<CKelCoord2D>& pts, std::size_t a, std::size_t b)
{
  std::vector<CKelCoord2D> local;
  for (std::size_t j = a; j <= b; ++j)
    local.emplace_back(pts[j].m_x - pts[a].m_x, pts[j].m_y - pts[a].m_y);
  const std::vector<CKelCoord2D> hull = ConvexHull(std::move(local));
  const std::size_t h = hull.size();
  if (h < 3)
    return 0;
  const auto cross = [](const CKelCoord2D& o, const CKelCoord2D& u, const CKelCoord2D& v) {
    return (u.m_x - o.m_x) * (v.m_y - o.m_y) - (u.m_y - o.m_y) * (v.m_x - o.m_x);
  };
  // Every hull point is weighed against every edge: the hull may keep a
  // point reflex by a hair (its turn test has a tolerance), where a walking
  // caliper would stop short of the far side, and it stays small.
  double width = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < h; ++i) {
    const CKelCoord2D &u = hull[i], &v = hull[(i + 1) % h];
    const double len = std::hypot(v.m_x - u.m_x, v.m_y - u.m_y);
    if (!(len > 0))
      continue;
    double lo = 0, hi = 0;
    for (const CKelCoord2D& p : hull) {
      lo = std::min(lo, cross(u, v, p));
      hi = std::max(hi, cross(u, v, p));
    }
    width = std::min(width, (hi - lo) / len);
  }
  return width;
}

bool DrawsSide(const std::vector<CKelCoord2D>& pts, std::size_t a, std::size_t b)
{
  constexpr double band = KelTol::SiteOnLine + KelTol::SiteOnLineExactly;
  const double ux = pts[b].m_x - pts[a].m_x, uy = pts[b].m_y - pts[a].m_y, len = std::hypot(ux, uy);
  double far = 0;
  bool left = false, right = false;
  for (std::size_t j = a + 1; j < b && len > 0; ++j) {
    const double across = (ux * (pts[j].m_y - pts[a].m_y) - uy * (pts[j].m_x - pts[a].m_x)) / len;
    far = std::max(far, std::fabs(across));
    left = left || across > KelTol::SiteOnLineExactly;
    right = right || across < -KelTol::SiteOnLineExactly;
  }
  // A stretch bowing one way off its chord is judged by its chord alone: an
  // arc, however gentle, is read as finely as one listed in chords above the
  // tiny size. The chord is no measure of a scattered side, as its ends
  // carry the scatter too.
  if (far <= band || !(left && right))
    return far <= band;
  const double zone = std::min(KelTol::SitePinnedSlide, len / 4);
  std::vector<CKelCoord2D> core;
  for (std::size_t j = a + 1; j < b; ++j) {
    const double along = ((pts[j].m_x - pts[a].m_x) * ux + (pts[j].m_y - pts[a].m_y) * uy) / len;
    if (along > zone && along < len - zone)
      core.push_back(pts[j]);
  }
  return (core.size() < 3 || StripWidth(core, 0, core.size() - 1) <= 2 * band) &&
         StripWidth(pts, a, b) <= 2 * band + KelTol::SiteSideFit;
}

// The points of the polyline pts that it merely passes through: each lying
// exactly on the segment between the points kept beside it (a point a
// survey put on a chord). Its ends are kept.
static std::vector<std::size_t> KeptThrough(const std::vector<CKelCoord2D>& pts)
{
  std::vector<std::size_t> kept;
  for (std::size_t j = 0; j < pts.size(); ++j) {
    if (j > 0 && j + 1 < pts.size()) {
      const CKelCoord2D &a = pts[kept.back()], &b = pts[j + 1], &p = pts[j];
      const double along = (p.m_x - a.m_x) * (b.m_x - a.m_x) + (p.m_y - a.m_y) * (b.m_y - a.m_y);
      const double beyond = (b.m_x - p.m_x) * (b.m_x - a.m_x) + (b.m_y - p.m_y) * (b.m_y - a.m_y);
      if (along > 0 && beyond > 0 && OffLine(a, b, p) <= KelTol::SiteOnLineExactly)
        continue;
    }
    kept.push_back(j);
  }
  return kept;
}

// The joints of the polyline pts (its ends left out) that lie on an arc
// listed evenly: runs of at least three joints each turning the same way
// off the line through the joints beside it, by the same distance to within
// round-off, within the survey's on-line distance and clearly off the line.
// A survey point on a side stands out from the corners beside it, and
// points scattered along a side turn either way; an arc's joints do
// neither, and thinning them by their round-off would turn the sides
// beside them by a chord, differently at each placement. A point lying
// exactly on a chord is weighed as no joint at all, so the joints beside it
// turn as they did without it, however finely the arc is chorded.
// A point given slack sways the turns of the joints beside it as well as
// its own by up to that slack: those joints are weighed against the run's
// own turn to within their sway, and neither start a run nor set its turn
// nor count towards its three joints.
// The run's own joints turn by more than `clear`.
static std::vector<bool> EvenArcRuns(const std::vector<CKelCoord2D>& listed, const std::vector<double>& slack,
                                     double clear)
{
  constexpr double band = KelTol::SiteOnLine + KelTol::SiteOnLineExactly;
  constexpr double tie = KelTol::SiteOnLineExactly;
  const std::vector<std::size_t> through = KeptThrough(listed);
  std::vector<CKelCoord2D> pts;
  for (std::size_t j : through)
    pts.push_back(listed[j]);
  const std::size_t n = pts.size();
  std::vector<double> turn(n, 0.0), sway(n, 0.0);
  for (std::size_t j = 1; j + 1 < n; ++j) {
    const CKelCoord2D &a = pts[j - 1], &b = pts[j + 1], &p = pts[j];
    const double ux = b.m_x - a.m_x, uy = b.m_y - a.m_y, len = std::hypot(ux, uy);
    if (len > 0)
      turn[j] = (ux * (p.m_y - a.m_y) - uy * (p.m_x - a.m_x)) / len;
    sway[j] = slack[through[j - 1]] + slack[through[j]] + slack[through[j + 1]];
  }
  const auto bends = [&](std::size_t j) {
    return (sway[j] > 0 || std::fabs(turn[j]) > clear) && std::fabs(turn[j]) <= band + sway[j];
  };
  std::vector<bool> arc(listed.size(), false);
  for (std::size_t first = 1; first + 1 < n;) {
    // The run from first: its own joints all turn alike, the swayed ones
    // within their sway of them.
    std::size_t count = 0, own = 0;
    double ref = 0, prev = 0;
    for (std::size_t j = first; j + 1 < n && bends(j); ++j) {
      if (sway[j] > 0) {
        if (own > 0 && !(std::fabs(turn[j] - ref) <= tie + sway[j]))
          break;
      } else if (own > 0) {
        if (!(std::fabs(turn[j] - ref) <= tie && std::fabs(turn[j] - prev) <= tie))
          break;
        prev = turn[j];
        ++own;
      } else {
        const auto agrees = [&](std::size_t k) { return std::fabs(turn[k] - turn[j]) <= tie + sway[k]; };
        bool all = true;
        for (std::size_t k = first; k < j; ++k)
          all = all && agrees(k);
        if (!all)
          break;
        own = 1;
        ref = prev = turn[j];
      }
      ++count;
    }
    for (std::size_t j = first; own >= 3 && j < first + count; ++j)
      arc[through[j]] = true;
    first += std::max<std::size_t>(count, 1);
  }
  return arc;
}

std::vector<bool> EvenArcJoints(const std::vector<CKelCoord2D>& listed)
{
  return EvenArcRuns(listed, std::vector<double>(listed.size(), 0.0), KelTol::SiteOnLineExactly);
}

// Weighed with slack, a run's own joints stand off their neighbours' chord
// by more than a hair (KelTol::SiteSurveyRepeat): three points of a side's
// scatter may turn alike to round-off, an arc's joints turn by far more.
std::vector<bool> EvenArcJoints(const std::vector<CKelCoord2D>& listed, const std::vector<double>& slack)
{
  return EvenArcRuns(listed, slack, KelTol::SiteSurveyRepeat);
}

// The points of the polyline pts that stay corners when every point lying
// within the survey's on-line distance of the chord between the corners
// beside it is none (a hair more, the round-off of survey coordinates, so
// that a point exactly that far off reads alike at every placement), and
// so is every point of a stretch that draws one side with its scatter
// (DrawsSide): its corners picked one by one, each would be judged against
// the chord from a scattered point beside it. An
// evenly listed arc's joints stay corners (EvenArcJoints). The farthest
// point off each chord is a corner while one lies farther, so no point left
// out lies farther than that from its line; points lying as far to within
// round-off are corners together, so the lot and its mirror image, at any
// placement, keep alike. A corner so found that lies on the line of the
// corners beside it, all points between within the distance (a point on a
// side that lay farthest from a longer chord), is then none either where it
// lies clearly nearer its line than the corners beside it lie to theirs;
// those all go at once and the rest are weighed again. A corner that lies
// off the line of the corners beside it yet is not the farthest point from
// that line (a survey point picked for its scatter, beside the corner that
// ends its side) brings the farthest in as a corner too, and the two are
// weighed again: else the side's corner would be judged against the line
// from a survey point a few centimetres away, on which any bend of less
// than the on-line distance over those centimetres vanishes.
std::vector<bool> OffLineCorners(const std::vector<CKelCoord2D>& pts)
{
  return OffLineCorners(pts, [&pts](std::size_t a, std::size_t b) { return DrawsSide(pts, a, b); });
}

std::vector<bool> OffLineCorners(const std::vector<CKelCoord2D>& pts, const StretchJudge& drawsSide)
{
  constexpr double band = KelTol::SiteOnLine + KelTol::SiteOnLineExactly;
  constexpr double tie = KelTol::SiteOnLineExactly;
  if (pts.size() < 2)
    return std::vector<bool>(pts.size(), false);
  const std::vector<bool> arc = EvenArcJoints(pts);
  std::vector<bool> corner = arc;
  corner.front() = corner.back() = true;
  std::vector<double> off(pts.size(), 0.0);
  const auto split = [&]() {
    std::vector<std::pair<std::size_t, std::size_t>> todo;
    for (std::size_t a = 0, b = 1; b < pts.size(); ++b) {
      if (corner[b]) {
        todo.push_back({a, b});
        a = b;
      }
    }
    while (!todo.empty()) {
      const auto [a, b] = todo.back();
      todo.pop_back();
      double most = 0;
      for (std::size_t j = a + 1; j < b; ++j) {
        off[j] = OffLine(pts[a], pts[b], pts[j]);
        most = std::max(most, off[j]);
      }
      if (!(most > band) || drawsSide(a, b))
        continue;
      std::size_t from = a;
      for (std::size_t j = a + 1; j < b; ++j) {
        if (off[j] > band && off[j] >= most - tie) {
          corner[j] = true;
          todo.push_back({from, j});
          from = j;
        }
      }
      todo.push_back({from, b});
    }
  };
  split();
  const double fixed = std::numeric_limits<double>::infinity();
  for (std::size_t rounds = 0;; ++rounds) {
    std::vector<std::size_t> kept;
    for (std::size_t j = 0; j < pts.size(); ++j) {
      if (corner[j])
        kept.push_back(j);
    }
    std::vector<double> far(kept.size(), fixed);
    for (std::size_t k = 1; k + 1 < kept.size(); ++k) {
      if (!arc[kept[k]])
        far[k] = FarthestOff(pts, kept[k - 1], kept[k + 1]);
    }
    bool thinned = false;
    for (std::size_t k = 1; k + 1 < kept.size(); ++k) {
      if (!(far[k] > band) && far[k] < far[k - 1] - tie && far[k] < far[k + 1] - tie) {
        corner[kept[k]] = false;
        thinned = true;
      }
    }
    if (thinned)
      continue;
    std::vector<std::size_t> farther;
    for (std::size_t k = 1; k + 1 < kept.size(); ++k) {
      const CKelCoord2D &a = pts[kept[k - 1]], &b = pts[kept[k + 1]];
      if (far[k] == fixed || !(far[k] > band) || OffLine(a, b, pts[kept[k]]) >= far[k] - tie)
        continue;
      for (std::size_t j = kept[k - 1] + 1; j < kept[k + 1]; ++j) {
        if (OffLine(a, b, pts[j]) >= far[k] - tie)
          farther.push_back(j);
      }
    }
    if (farther.empty() || rounds > pts.size())
      return corner;
    for (std::size_t j : farther)
      corner[j] = true;
    split();
  }
}

// The foot of p on the line through a and b (a when they coincide).
CKelCoord2D Foot(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  const double ux = b.m_x - a.m_x, uy = b.m_y - a.m_y;
  const double len2 = ux * ux + uy * uy;
  if (!(len2 > 0))
    return a;
  const double t = ((p.m_x - a.m_x) * ux + (p.m_y - a.m_y) * uy) / len2;
  return {a.m_x + t * ux, a.m_y + t * uy};
}

// How far p lies from the polyline pts.
double FromPolyline(const std::vector<CKelCoord2D>& pts, const CKelCoord2D& p)
{
  double best = length_2point(pts.front(), p);
  for (std::size_t k = 1; k < pts.size(); ++k)
    best = std::min(best, SegmentDistance(pts[k - 1], pts[k], p));
  return best;
}

// How far the points of chain lie off the line through a and b at most.
double ChainOff(const CKelCoord2D& a, const CKelCoord2D& b, const std::vector<CKelCoord2D>& chain)
{
  double far = 0;
  for (const CKelCoord2D& p : chain)
    far = std::max(far, OffLine(a, b, p));
  return far;
}

// Where two sides meet across the tiny edges folded between them (the
// polyline chain from b1 to a0), the sides running b0 -> b1 and a0 -> a1:
// where the sides' lines cross, X, so each keeps its line. A side whose
// listed end is a point within the survey's on-line distance of the line
// from its far end to the fold's other end (b0 -> a0, or b1 -> a1), the
// whole fold lying on that line, takes that line: a stub that close to a
// side beside a corner is a point on the side and moves nothing. Where
// both sides could (a fold short against the bend), the one whose line
// the fold lies nearer does, so the joint stays at an end of the fold
// rather than going to a crossing a shallow bend carries far along the
// frontage; at a tie (a fold symmetric about the corner) neither does.
// The crossing is taken wherever it lies within the lot's tiny size of the
// folded edges, as it does round a corner and at a shallow
// bend. Farther off it is a crossing the survey did not draw: sides
// parallel, or nearly, across a step. The joint then goes to the middle C
// of the folded edges, so both sides meet halfway across the step, the
// same for the lot and its mirror image. Where X leaves the tiny size the
// joint jumps by about the tiny size at most: at the survey's own scale.
// Neither moves the joint more than L / 3 from C, L the shorter side, so
// no piece runs back.
CKelCoord2D FoldedJoint(const CKelCoord2D& b0, const CKelCoord2D& a1, const std::vector<CKelCoord2D>& chain,
                        double tiny)
{
  const CKelCoord2D& b1 = chain.front();
  const CKelCoord2D& a0 = chain.back();
  const CKelCoord2D mid((b1.m_x + a0.m_x) / 2, (b1.m_y + a0.m_y) / 2);
  const double offB = ChainOff(b0, a0, chain), offA = ChainOff(b1, a1, chain);
  const bool bOn = offB <= KelTol::SiteOnLine && offB < offA;
  const bool aOn = offA <= KelTol::SiteOnLine && offA < offB;
  const CKelCoord2D& bTo = bOn ? a0 : b1;
  const CKelCoord2D& aFrom = aOn ? b1 : a0;
  double bc = 0, bs = 0, bl = 0, ac = 0, as = 0, al = 0;
  if (!CalcCosSin(b0, bTo, &bc, &bs, &bl) || !CalcCosSin(aFrom, a1, &ac, &as, &al))
    return mid;
  const double sine = bc * as - bs * ac;
  if (sine == 0)
    return mid;
  // X = bTo + t (bc, bs) on a's line, about C.
  const double px = aFrom.m_x - bTo.m_x, py = aFrom.m_y - bTo.m_y;
  const double t = (px * as - py * ac) / sine;
  const double dx = bTo.m_x - mid.m_x + t * bc, dy = bTo.m_y - mid.m_y + t * bs;
  const double apart = std::hypot(dx, dy);
  if (!std::isfinite(apart))
    return mid;
  const double off = FromPolyline(chain, CKelCoord2D(mid.m_x + dx, mid.m_y + dy));
  double share = off <= std::max(tiny, KelTol::SiteOnLine) ? 1.0 : 0.0;
  if (apart > 0)
    share = std::min(share, std::min(bl, al) / (3 * apart));
  return {mid.m_x + share * dx, mid.m_y + share * dy};
}

}  // namespace kel_polyline
