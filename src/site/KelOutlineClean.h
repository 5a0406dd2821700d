#pragma once
// The points of a closed outline that enclose something, and the lot's tiny
// size that judges them. A survey list may give
//  - a repeat: a point again right after itself (the closing point
//    repeating the first is the common case), or a hair from itself;
//  - a spike: a point the outline goes out to and comes straight back from,
//    its sides meeting where it left, or a hair from there;
//  - a back-track: a point from which the outline turns straight back along
//    its edge (a hair off it at most), by no more than the tiny size.
// None encloses anything, yet an edge of no length has no direction, a
// spike's tip turns by half a circle and a back-track lays an edge over its
// neighbour, so every reader of a site outline (roads, deemed sites,
// distances, check lines, the slant line's cuts) takes the outline without
// them, from this one place. A hair is KelTol::SiteSurveyRepeat; the tiny
// size is KelTol::SiteSurveyShare of the lot's diameter up to
// KelTol::SiteSurveyTinyMax, so the same points go however the lot is turned
// or moved.
//
// An outline that turns straight back by more than the tiny size runs back
// over itself: no point of it is dropped, and the site check refuses it
// (RunBackPoint). Points that are merely near, or a millimetre notch, are
// corners here and the survey folding's business (CKelSiteWorkOutline).

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "KelGeometry.h"
#include "KelTolerance.h"

namespace kel_clean {

template <class Point>
double Apart(const Point& p, const Point& q)
{
  return std::hypot(q.m_x - p.m_x, q.m_y - p.m_y);
}

// How far the outline u -> v -> w runs back over itself at v when it turns
// straight back there: the shorter edge's length, when the edges point
// opposite ways and the shorter one's far end lies within a hair of the
// longer one's line; else -1.
template <class Point>
double RunBack(const Point& u, const Point& v, const Point& w)
{
  const double ax = v.m_x - u.m_x, ay = v.m_y - u.m_y;
  const double bx = w.m_x - v.m_x, by = w.m_y - v.m_y;
  const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
  if (!(ax * bx + ay * by < 0))
    return -1;
  const double off = std::fabs(ax * by - ay * bx) / std::max(la, lb);
  return off <= KelTol::SiteSurveyRepeat ? std::min(la, lb) : -1;
}

// What goes where the outline u -> v -> w turns at v, as Dropped answers.
enum class Drop { None, Before, Here, After };

// v goes when it repeats w or is a spike's tip between u and w; where the
// outline turns straight back at v by up to tiny, the short edge goes:
// Before (u -> v) or After (v -> w).
template <class Point>
Drop Dropped(const Point& u, const Point& v, const Point& w, double tiny, bool keepTips)
{
  if (Apart(v, w) <= KelTol::SiteSurveyRepeat || Apart(u, w) <= KelTol::SiteSurveyRepeat)
    return Drop::Here;
  if (!(tiny > 0))
    return Drop::None;
  const double back = RunBack(u, v, w);
  if (!(back >= 0 && back <= tiny))
    return Drop::None;
  if (!keepTips)
    return Drop::Here;
  return Apart(v, w) <= Apart(u, v) ? Drop::After : Drop::Before;
}

}  // namespace kel_clean

// The outline as kept: the listed edges that stay, in outline order, and
// the listed point each starts at.
struct KeptOutline {
  std::vector<int> m_Edges;
  std::vector<int> m_At;
};

// Listed edges a and b (b after a) as one side; without the edges' records
// every two are.
struct AnySide {
  bool operator()(int, int) const { return true; }
};

// The outline without its repeats, spikes and back-tracks of up to tiny.
// Of a repeated point the last listing is kept (the edge of no length is
// the one before it), unless that edge is of the side after it and not of
// the side before (sameSide(a, b): listed edge b runs on from edge a as one
// side): the corner is then where the side before ends as listed, so that
// side keeps its line whichever way round the outline is listed and
// whichever copy the survey listed first. Of a spike the tip goes with its
// edge. Of a back-track the short edge goes and the tip stays where it is:
// the edge after a short edge back starts at the tip, the edge before a
// short edge out runs on to it, so the outline still reaches every point it
// reached (a sharp corner listed again micrometres along its other side
// keeps its point) and each edge keeps its record. Without keepTips the tip goes
// instead, as a spike's does, so the area enclosed is kept to round-off
// (for an outline the library built itself: the deemed site). Edges are
// dropped one at a time while more than three remain, so a triangle is
// cleaned as any lot is.
template <class Point, class SameSide = AnySide>
KeptOutline CleanOutline(const std::vector<Point>& pts, double tiny, bool keepTips = true, SameSide sameSide = {})
{
  const int n = static_cast<int>(pts.size());
  const auto at = [](int i) { return static_cast<std::size_t>(i); };
  std::vector<int> prev(at(n)), next(at(n)), from(at(n));
  std::vector<bool> alive(at(n), true);
  for (int i = 0; i < n; ++i) {
    prev[at(i)] = (i + n - 1) % n;
    next[at(i)] = (i + 1) % n;
    from[at(i)] = i;
  }
  const auto point = [&](int i) -> const Point& { return pts[at(from[at(i)])]; };
  int count = n;
  const auto drop = [&](int v, kel_clean::Drop what) {
    const int gone = what == kel_clean::Drop::Before ? prev[at(v)] : v;
    if (what == kel_clean::Drop::After)
      from[at(next[at(v)])] = from[at(v)];
    const int before = prev[at(gone)], after = next[at(gone)];
    next[at(before)] = after;
    prev[at(after)] = before;
    alive[at(gone)] = false;
    --count;
    return std::array<int, 3>{gone, before, after};
  };
  // Repeats and spikes go first, back-tracks only then: a back-track at a
  // spike's foot, taken first, would part the spike's sides by more than a
  // hair, and what is kept would depend on where the listing starts.
  std::vector<int> todo;
  for (int i = n; i-- > 0;)
    todo.push_back(i);
  while (!todo.empty() && count > 3) {
    const int v = todo.back();
    todo.pop_back();
    if (!alive[at(v)])
      continue;
    kel_clean::Drop what = kel_clean::Dropped(point(prev[at(v)]), point(v), point(next[at(v)]), 0.0, keepTips);
    if (what == kel_clean::Drop::None)
      continue;
    // A repeat whose edge of no length belongs to the side after it: that
    // side's edge starts at the first listing.
    if (what == kel_clean::Drop::Here && kel_clean::Apart(point(v), point(next[at(v)])) <= KelTol::SiteSurveyRepeat &&
        sameSide(v, next[at(v)]) && !sameSide(prev[at(v)], v))
      what = kel_clean::Drop::After;
    const std::array<int, 3> link = drop(v, what);  // gone, before, after
    todo.push_back(link[2]);
    todo.push_back(link[1]);
  }
  // Back-tracks, the shortest first, so that of a chain of them the same
  // edges go whichever point the listing starts at.
  const auto backOf = [&](int v) {
    const kel_clean::Drop what = kel_clean::Dropped(point(prev[at(v)]), point(v), point(next[at(v)]), tiny, keepTips);
    return what == kel_clean::Drop::None
               ? -1.0
               : std::min(kel_clean::Apart(point(prev[at(v)]), point(v)), kel_clean::Apart(point(v), point(next[at(v)])));
  };
  std::set<std::pair<double, int>> queue;
  std::vector<double> queued(at(n), -1);
  const auto requeue = [&](int v) {
    if (queued[at(v)] >= 0)
      queue.erase({queued[at(v)], v});
    queued[at(v)] = alive[at(v)] ? backOf(v) : -1;
    if (queued[at(v)] >= 0)
      queue.insert({queued[at(v)], v});
  };
  for (int i = 0; i < n && tiny > 0; ++i)
    if (alive[at(i)])
      requeue(i);
  while (!queue.empty() && count > 3) {
    const int v = queue.begin()->second;
    queue.erase(queue.begin());
    queued[at(v)] = -1;
    const auto [gone, before, after] =
        drop(v, kel_clean::Dropped(point(prev[at(v)]), point(v), point(next[at(v)]), tiny, keepTips));
    for (const int w : {gone, v, before, after, prev[at(before)], next[at(after)]})
      requeue(w);
  }
  KeptOutline kept;
  for (int i = 0; i < n; ++i) {
    if (alive[at(i)]) {
      kept.m_Edges.push_back(i);
      kept.m_At.push_back(from[at(i)]);
    }
  }
  return kept;
}

// The lot's tiny size: KelTol::SiteSurveyShare of the diameter of its
// points without repeats and spikes (a spike's tip is no part of the lot),
// at most KelTol::SiteSurveyTinyMax.
template <class Point>
double SiteTinySize(const std::vector<Point>& pts)
{
  std::vector<CKelCoord2D> lot;
  for (int k : CleanOutline(pts, 0.0).m_At)
    lot.emplace_back(pts[static_cast<std::size_t>(k)].m_x, pts[static_cast<std::size_t>(k)].m_y);
  return std::min(KelTol::SiteSurveyShare * PointsDiameter(lot), KelTol::SiteSurveyTinyMax);
}

// The first kept edge (its index in pts) that runs straight back over the
// one before by more than tiny; -1 when none does. An edge out and back
// between two such turns is named at either turn, so the name does not
// depend on where the listing starts: the edge after its far end's turn
// runs back over it, but it is the one named.
template <class Point>
int RunBackPoint(const std::vector<Point>& pts, const KeptOutline& kept, double tiny)
{
  const std::size_t m = kept.m_At.size();
  const auto point = [&](std::size_t k) -> const Point& { return pts[static_cast<std::size_t>(kept.m_At[k % m])]; };
  const auto turns = [&](std::size_t k) { return kel_clean::RunBack(point(k + m - 1), point(k), point(k + 1)) > tiny; };
  for (std::size_t k = 0; m >= 3 && k < m; ++k) {
    if (turns(k))
      return kept.m_Edges[turns(k + m - 1) ? (k + m - 1) % m : k];
  }
  return -1;
}
