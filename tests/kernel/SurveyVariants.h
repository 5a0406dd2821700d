#pragma once
// A clean outline as a survey delivers it: edges split into pieces (on the
// line or with a little noise), points doubled a hair apart, millimetre
// notches, another first vertex, plane-rectangular coordinates far from the
// origin. A result that depends on the outline's shape must not move when
// its outline is replaced by one of these.
//
// Every variant keeps, for each of its edges, the clean edge it lies on, so
// a test can mark "the same frontage" on both; the pieces a survey adds that
// are no frontage of their own (the edge between a point and its double, a
// notch's sides) are flagged tiny.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstddef>
#include <numbers>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "CKelCoord.h"

namespace survey {

using Outline = std::vector<CKelCoord2D>;

struct Variant {
  std::string m_Name;
  Outline m_Pts;
  std::vector<int> m_From;    // per edge k (m_Pts[k] to m_Pts[k+1]): the clean edge it lies on
  std::vector<bool> m_Tiny;   // per edge: a piece the survey added, no frontage of its own
  CKelCoord2D m_Shift;        // added to every clean coordinate
  double m_Moves = 0;         // how far the survey may move a corner (a double's gap)

  std::size_t Size() const { return m_Pts.size(); }
  // The variant's edges that lie on clean edge e; with tiny, its tiny pieces too.
  std::vector<int> EdgesOf(int e, bool tiny) const
  {
    std::vector<int> out;
    for (std::size_t k = 0; k < m_Pts.size(); ++k)
      if (m_From[k] == e && (tiny || !m_Tiny[k]))
        out.push_back(static_cast<int>(k));
    return out;
  }
  CKelCoord2D Back(const CKelCoord2D& p) const { return {p.m_x - m_Shift.m_x, p.m_y - m_Shift.m_y}; }
};

inline Variant Clean(const Outline& pts)
{
  Variant v{"clean", pts, {}, {}, {}, 0};
  for (std::size_t k = 0; k < pts.size(); ++k) {
    v.m_From.push_back(static_cast<int>(k));
    v.m_Tiny.push_back(false);
  }
  return v;
}

// Every edge cut into `pieces` pieces; the inner points lie off the line by
// up to `noise` either way (0: exactly on it, up to round-off).
inline Variant Split(const Variant& in, int pieces, double noise, std::mt19937& rng)
{
  std::uniform_real_distribution<double> off(-noise, noise);
  Variant v{in.m_Name + " split", {}, {}, {}, in.m_Shift, in.m_Moves};
  const std::size_t n = in.Size();
  for (std::size_t k = 0; k < n; ++k) {
    const CKelCoord2D& a = in.m_Pts[k];
    const CKelCoord2D& b = in.m_Pts[(k + 1) % n];
    const double len = a.GetLength(b);
    const double nx = len > 0 ? -(b.m_y - a.m_y) / len : 0, ny = len > 0 ? (b.m_x - a.m_x) / len : 0;
    for (int i = 0; i < pieces; ++i) {
      CKelCoord2D p = a.GetCoord(b, static_cast<double>(i) / pieces);
      if (i > 0) {
        const double o = off(rng);
        p = {p.m_x + o * nx, p.m_y + o * ny};
      }
      v.m_Pts.push_back(p);
      v.m_From.push_back(in.m_From[k]);
      v.m_Tiny.push_back(in.m_Tiny[k]);
    }
  }
  return v;
}

// Vertex `at` doubled: a copy moved by `offset` follows it. The edge between
// them is tiny and belongs to the edge that leaves the vertex.
inline Variant Doubled(const Variant& in, std::size_t at, const CKelCoord2D& offset)
{
  Variant v = in;
  v.m_Name += " doubled";
  const CKelCoord2D& p = in.m_Pts[at];
  v.m_Pts.insert(v.m_Pts.begin() + static_cast<std::ptrdiff_t>(at) + 1, {p.m_x + offset.m_x, p.m_y + offset.m_y});
  v.m_From.insert(v.m_From.begin() + static_cast<std::ptrdiff_t>(at), in.m_From[at]);
  v.m_Tiny.insert(v.m_Tiny.begin() + static_cast<std::ptrdiff_t>(at), true);
  return v;
}

// Every vertex doubled `gap` away in a random direction (0: exactly).
inline Variant DoubledAll(const Variant& in, double gap, std::mt19937& rng)
{
  std::uniform_real_distribution<double> turn(0, 2 * std::numbers::pi);
  Variant v = in;
  for (std::size_t k = in.Size(); k-- > 0;) {
    const double a = turn(rng);
    v = Doubled(v, k, {gap * std::cos(a), gap * std::sin(a)});
  }
  char gapText[32];
  std::snprintf(gapText, sizeof gapText, " doubled %g", gap);
  v.m_Name = in.m_Name + gapText;
  v.m_Moves = std::max(in.m_Moves, gap);
  return v;
}

// A V notch `width` wide and `depth` deep at the middle of edge `edge`,
// into the site for a positive depth (the left of a counter-clockwise edge),
// out of it for a negative one. Its two sides are tiny pieces of that edge.
inline Variant Notched(const Variant& in, std::size_t edge, double width, double depth)
{
  const CKelCoord2D& a = in.m_Pts[edge];
  const CKelCoord2D& b = in.m_Pts[(edge + 1) % in.Size()];
  const double len = a.GetLength(b);
  const double ux = (b.m_x - a.m_x) / len, uy = (b.m_y - a.m_y) / len;
  const CKelCoord2D mid = a.GetCoord(b, 0.5);
  const Outline add = {{mid.m_x - ux * width / 2, mid.m_y - uy * width / 2},
                       {mid.m_x - uy * depth, mid.m_y + ux * depth},
                       {mid.m_x + ux * width / 2, mid.m_y + uy * width / 2}};
  Variant v = in;
  v.m_Name += " notched";
  const auto at = static_cast<std::ptrdiff_t>(edge) + 1;
  v.m_Pts.insert(v.m_Pts.begin() + at, add.begin(), add.end());
  v.m_From.insert(v.m_From.begin() + at, {in.m_From[edge], in.m_From[edge], in.m_From[edge]});
  v.m_Tiny.insert(v.m_Tiny.begin() + at, {true, true, false});
  return v;
}

// The same outline starting at vertex k.
inline Variant StartingAt(const Variant& in, std::size_t k)
{
  Variant v{in.m_Name + " from " + std::to_string(k), {}, {}, {}, in.m_Shift, in.m_Moves};
  for (std::size_t i = 0; i < in.Size(); ++i) {
    const std::size_t j = (k + i) % in.Size();
    v.m_Pts.push_back(in.m_Pts[j]);
    v.m_From.push_back(in.m_From[j]);
    v.m_Tiny.push_back(in.m_Tiny[j]);
  }
  return v;
}

// The outline moved by (dx, dy), as plane-rectangular coordinates put a site.
inline Variant Moved(const Variant& in, double dx, double dy)
{
  Variant v = in;
  v.m_Name += " moved";
  for (CKelCoord2D& p : v.m_Pts)
    p = {p.m_x + dx, p.m_y + dy};
  v.m_Shift = {in.m_Shift.m_x + dx, in.m_Shift.m_y + dy};
  return v;
}

// The usual survey variants of a clean counter-clockwise outline, each built
// from a fixed seed so every run checks the same cases.
inline std::vector<Variant> SurveyVariants(const Outline& pts, unsigned seed = 1)
{
  std::mt19937 rng(seed);
  const Variant clean = Clean(pts);
  std::vector<Variant> out;
  out.push_back(Split(clean, 3, 0, rng));
  out.push_back(Doubled(clean, 1, {0, 0}));
  for (const double gap : {1e-7, 1e-6, 1e-3})
    out.push_back(DoubledAll(clean, gap, rng));
  out.push_back(Doubled(clean, 0, {-4.33e-8, 9.01e-8}));
  out.push_back(Notched(clean, 0, 3e-4, 3e-4));
  out.push_back(Notched(clean, 0, 3e-4, -3e-4));
  out.push_back(StartingAt(clean, pts.size() / 2));
  out.push_back(Moved(clean, 3e5, -3e5));
  out.push_back(Moved(DoubledAll(Split(clean, 2, 0, rng), 1e-6, rng), 3e5, 3e5));
  return out;
}

}  // namespace survey
