#pragma once
// The points of a closed outline that enclose something. A survey list may
// give a point again right after itself (the closing point repeating the
// first is the common case) or a spike of no width: a point the outline goes
// out to and comes straight back from, to the very point it left. Neither
// encloses anything, yet an edge of no length has no direction and a
// spike's tip turns by half a circle, so every reader of a site outline
// (roads, deemed sites, distances, check lines, the slant line's cuts)
// takes the outline without them, from this one place.
//
// Only exact repeats count: a point apart by any amount is a corner of its
// own, and what is merely small is the survey folding's business
// (CKelSiteWorkOutline).

#include <vector>

// The indices of the points kept, in outline order. Of a repeated point the
// last listing is kept (the edge of no length is the one before it); of a
// spike both the tip and the edge back go. An outline that would keep fewer
// than three points is kept whole.
template <class Point>
std::vector<int> KeptOutlinePoints(const std::vector<Point>& pts)
{
  const int n = static_cast<int>(pts.size());
  std::vector<int> all(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    all[static_cast<std::size_t>(i)] = i;
  if (n < 3)
    return all;
  const auto same = [&](int a, int b) {
    const Point& p = pts[static_cast<std::size_t>(a)];
    const Point& q = pts[static_cast<std::size_t>(b)];
    return p.m_x == q.m_x && p.m_y == q.m_y;
  };
  std::vector<int> prev(all.size()), next(all.size());
  std::vector<bool> alive(all.size(), true);
  for (int i = 0; i < n; ++i) {
    prev[static_cast<std::size_t>(i)] = (i + n - 1) % n;
    next[static_cast<std::size_t>(i)] = (i + 1) % n;
  }
  int count = n;
  const auto drop = [&](int v) {
    const int u = prev[static_cast<std::size_t>(v)], w = next[static_cast<std::size_t>(v)];
    next[static_cast<std::size_t>(u)] = w;
    prev[static_cast<std::size_t>(w)] = u;
    alive[static_cast<std::size_t>(v)] = false;
    --count;
  };
  std::vector<int> todo(all.rbegin(), all.rend());
  while (!todo.empty()) {
    const int v = todo.back();
    todo.pop_back();
    if (!alive[static_cast<std::size_t>(v)])
      continue;
    if (count <= 3)
      return all;
    const int u = prev[static_cast<std::size_t>(v)], w = next[static_cast<std::size_t>(v)];
    // A repeat: v's edge has no length. A spike: the outline leaves u for v
    // and comes back to u's very point at w.
    if (same(v, w) || same(u, w)) {
      drop(v);
      todo.push_back(w);
      todo.push_back(u);
    }
  }
  std::vector<int> kept;
  for (int i = 0; i < n; ++i) {
    if (alive[static_cast<std::size_t>(i)])
      kept.push_back(i);
  }
  return kept;
}
