#pragma once
// A seeded sweep of street scenes for the sky factor and the invariants
// every setting keeps on them (the sky-factor tests and fuzz_sky_sweep):
//   - a ratio wherever the outline method gives one;
//   - steady: the check point, or every corner, moved by 1e-9 m or 1e-6 m
//     changes the ratio by no more than 1e-6 beyond the exact sky's change;
//   - the same ratio within 1e-6 moved 3e5 m and turned, and mirrored
//     (where the step's sector lines map onto each other);
//   - the unexpanded settings within their chords of the exact sky;
//   - steady along seeded walks of the point over +-1 mm and +-3 cm.
//   - on a dense street, kind 2 no lower than the outline method at its
//     step (both tell corners by the chart's lines; kind 2 may draw an
//     edge through a hidden corner's place, which only adds sky).
//
// Scenes: two or three blocks on the far side of a road along the x axis,
// 6 to 40 m off it: boxes, sloped (mansard) faces, hipped roof ends, blocks
// touching another's corner or side, raised blocks and canopies on
// another's roof edge. Wider scenes add blocks on the near side and a
// raised slab at an angle whose bottom crosses a block's top. Check points
// on the road line y = 0.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "KelTolerance.h"
#include "SitePlacement.h"
#include "SkyMethod.h"
#include "SkyPrisms.h"

namespace sky_test {

struct SweepScene {
  std::vector<Prism> prisms;
  std::vector<XY> points;  // on the road, z 0
  double frame = 0;
};

// Uniform doubles from the generator's top 53 bits, the same on every
// platform.
class SweepDraw {
public:
  explicit SweepDraw(std::uint64_t seed) : m_Rng(seed) {}
  double U(double lo, double hi) { return lo + (hi - lo) * static_cast<double>(m_Rng() >> 11) * 0x1.0p-53; }
  int Pick(int n) { return static_cast<int>(m_Rng() % static_cast<std::uint64_t>(n)); }

private:
  std::mt19937_64 m_Rng;
};

// A block of kind 0 box, 1 sloped face, 2 hipped end, its front at y0,
// x from x0 to x1.
inline Prism SweepBlock(SweepDraw& d, int kind, double x0, double x1, double y0, double y1, double bottom)
{
  const double eaves = bottom + d.U(3, 14);
  if (kind == 1) {
    // A mansard face: the back rises.
    const double ridge = eaves + d.U(1, 4), in = d.U(0.3, 0.45) * (x1 - x0);
    return {{{x0, y0}, {x1, y0}, {x1 - in, y1}, {x0 + in, y1}}, ridge, bottom, {eaves, eaves, ridge, ridge}};
  }
  if (kind == 2) {
    // A hipped end: a triangle rising to its ridge at the back.
    const double ridge = eaves + d.U(2, 5);
    return {{{x0, y0}, {x1, y0}, {(x0 + x1) / 2, y1}}, ridge, bottom, {eaves, eaves, ridge}};
  }
  return {{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, eaves, bottom};
}

// A block of SweepBlock's on the near side of the road (y0 and y1 taken
// as distances from it), mirrored in the road line.
inline Prism NearSideBlock(SweepDraw& d, int kind, double x0, double x1, double y0, double y1, double bottom)
{
  Prism p = SweepBlock(d, kind, x0, x1, y0, y1, bottom);
  for (XY& v : p.outline)
    v.y = -v.y;
  std::reverse(p.outline.begin(), p.outline.end());
  std::reverse(p.tops.begin(), p.tops.end());
  return p;
}

// A slab raised over block under at an angle, its bottom below that
// block's top, so that on the disc its bottom crosses the block's top.
inline Prism CrossingSlab(SweepDraw& d, const Prism& under)
{
  const double length = d.U(15, 40), depth = d.U(4, 8), turn = d.U(-0.8, 0.8);
  const double bottom = under.top - d.U(0.3, 2), top = bottom + d.U(3, 10);
  const double cx = under.outline[0].x + d.U(-5, 10);
  const double cy = std::max(under.outline[0].y + d.U(0, 12), 8 + (length * std::fabs(std::sin(turn)) + depth) / 2);
  const double c = std::cos(turn), s = std::sin(turn);
  Prism p{{}, top, bottom};
  for (const auto& [u, v] : {std::pair{-0.5, -0.5}, {0.5, -0.5}, {0.5, 0.5}, {-0.5, 0.5}})
    p.outline.push_back({cx + c * u * length - s * v * depth, cy + s * u * length + c * v * depth});
  return p;
}

// wide: blocks on the near side too and a raised slab crossing a block's
// top, drawn after everything else, so a seed's narrow scene stays as it
// was.
inline SweepScene MakeSweepScene(std::uint64_t seed, int points, bool wide = false)
{
  SweepDraw d(seed);
  SweepScene s;
  double x = d.U(-20, -5);
  const int count = 2 + d.Pick(2);
  for (int b = 0; b < count; ++b) {
    const double w = d.U(4, 12), y0 = d.U(6, 40), depth = d.U(4, 10);
    const int kind = d.Pick(3);
    const double bottom = d.Pick(5) == 0 ? d.U(2, 5) : 0;
    s.prisms.push_back(SweepBlock(d, kind, x, x + w, y0, y0 + depth, bottom));
    const int next = d.Pick(4);
    if (next == 0 && kind == 0) {
      // A canopy on the roof's front edge, its bottom the roof.
      const Prism& roof = s.prisms.back();
      const double over = d.U(0.5, 1.5);
      s.prisms.push_back(PrismBox(x + 1, x + w - 1, y0 - over, y0 + 0.5, roof.top + d.U(0.2, 0.6), roof.top));
    }
    // The next block touches this one's corner (1), side (2) or stands apart.
    x += next == 1 ? w : (next == 2 ? w : w + d.U(0.5, 8));
    if (next == 1) {
      const double y = y0 + depth;
      s.prisms.push_back(PrismBox(x, x + d.U(3, 8), y, y + d.U(4, 8), d.U(3, 12)));
      x = s.prisms.back().outline[1].x + d.U(0.5, 6);
    }
  }
  s.frame = d.U(-3, 3);
  for (int k = 0; k < points; ++k)
    s.points.push_back({d.U(-25, 25), 0});
  if (wide) {
    const std::size_t far = s.prisms.size();
    double near = d.U(-20, 0);
    for (int b = 1 + d.Pick(2); b > 0; --b) {
      const double w = d.U(4, 12), y0 = d.U(6, 25);
      s.prisms.push_back(NearSideBlock(d, d.Pick(3), near, near + w, y0, y0 + d.U(4, 10), 0));
      near += w + d.U(0.5, 8);
    }
    s.prisms.push_back(CrossingSlab(d, s.prisms[static_cast<std::size_t>(d.Pick(static_cast<int>(far)))]));
  }
  return s;
}

// A dense street: rows of boxes, mansard faces and hipped ends on both
// sides, some touching, and check points along the road.
inline SweepScene MakeDenseStreet(std::uint64_t seed, int points)
{
  SweepDraw d(seed);
  SweepScene s;
  for (int side : {1, -1}) {
    for (int row = 0; row < 2; ++row) {
      double x = d.U(-40, -30);
      while (x < 40) {
        const double w = d.U(4, 9), y0 = 6 + row * 10 + d.U(0, 2);
        const double y1 = y0 + d.U(4, 8), bottom = d.Pick(8) == 0 ? d.U(2, 4) : 0;
        const int kind = d.Pick(3);
        s.prisms.push_back(side > 0 ? SweepBlock(d, kind, x, x + w, y0, y1, bottom)
                                    : NearSideBlock(d, kind, x, x + w, y0, y1, bottom));
        x += w + (d.Pick(4) == 0 ? 0.0 : d.U(0.3, 3));
      }
    }
  }
  s.frame = d.U(-3, 3);
  for (int k = 0; k < points; ++k)
    s.points.push_back({d.U(-20, 20), 0});
  return s;
}

// The scene mirrored in the y axis (outlines turned back to counter-
// clockwise), its point and frame with it.
inline std::vector<Prism> MirroredPrisms(std::vector<Prism> prisms)
{
  for (Prism& p : prisms) {
    for (XY& v : p.outline)
      v.x = -v.x;
    std::reverse(p.outline.begin(), p.outline.end());
    std::reverse(p.tops.begin(), p.tops.end());
  }
  return prisms;
}

// Every corner moved by up to jitter in x and y.
inline std::vector<Prism> JitteredPrisms(std::vector<Prism> prisms, double jitter, std::uint64_t seed)
{
  SweepDraw d(seed);
  for (Prism& p : prisms) {
    for (XY& v : p.outline) {
      v.x += d.U(-jitter, jitter);
      v.y += d.U(-jitter, jitter);
    }
  }
  return prisms;
}

inline double ChordTolerance(int step)
{
  return step == 1 ? 5e-4 : (step == 7 ? 1e-3 : 1.5e-3);
}

// How far a ratio may stray from another beyond the exact sky's change.
constexpr double kSweepSteady = 1e-6;

// The exact sky at a point of the sweep and its changes under the moves,
// for one- and two-sided counting.
struct SweepExact {
  double at[2] = {0, 0};
  double point[2][2] = {{0, 0}, {0, 0}};    // point moved by 1e-9, 1e-6 m
  double corners[2][2] = {{0, 0}, {0, 0}};  // corners moved by 1e-9, 1e-6 m
};

constexpr double kSweepMoves[2] = {1e-9, 1e-6};

inline XY SweepMovedPoint(const XY& at, double by)
{
  return {at.x + by * 0.6, at.y - by * 0.8};
}

inline SweepExact SweepExactAt(const SweepScene& s, const XY& at)
{
  SweepExact e;
  for (int side = 0; side < 2; ++side) {
    e.at[side] = ExactRatio(s.prisms, CKelCoord3D(at.x, at.y, 0), side == 1);
    for (int k = 0; k < 2; ++k) {
      const XY p = SweepMovedPoint(at, kSweepMoves[k]);
      e.point[side][k] = ExactRatio(s.prisms, CKelCoord3D(p.x, p.y, 0), side == 1);
      e.corners[side][k] = ExactRatio(JitteredPrisms(s.prisms, kSweepMoves[k], 11), CKelCoord3D(at.x, at.y, 0), side == 1);
    }
  }
  return e;
}

// The invariants at one point for one setting; each violation as a line.
// outline: the outline method's ratio there.
inline std::vector<std::string> SweepViolations(const SweepScene& s, const XY& at, const SweepExact& e, double outline,
                                                const Method& m)
{
  std::vector<std::string> out;
  const auto ratio = [&](const std::vector<Prism>& prisms, const XY& p, const site_test::Placement& place, double frame) {
    const CKelCoord2D w = place.To(CKelCoord2D(p.x, p.y));
    return Ratio(Blocks(prisms, place), CKelCoord3D(w.m_x, w.m_y, 0), m, frame + place.m_Turn);
  };
  const site_test::Placement drawn{0, 0, 0};
  const std::string where = Describe(m) + " at x " + std::to_string(at.x);
  const double r = ratio(s.prisms, at, drawn, s.frame);
  if (!(r > 0)) {
    if (outline > 0)
      out.push_back(where + ": no ratio, code " + std::to_string(-100 - r));
    return out;
  }
  const int side = m.side2 ? 1 : 0;
  const auto steady = [&](double moved, double exactChange, const std::string& what) {
    if (!(moved > 0))
      out.push_back(where + ", " + what + ": no ratio");
    else if (!(std::fabs(moved - r) <= kSweepSteady + std::fabs(exactChange)))
      out.push_back(where + ", " + what + ": moved by " + std::to_string(moved - r));
  };
  for (int k = 0; k < 2; ++k) {
    const double by = kSweepMoves[k];
    steady(ratio(s.prisms, SweepMovedPoint(at, by), drawn, s.frame), e.point[side][k] - e.at[side],
           "point moved by " + std::to_string(by) + " m");
    steady(ratio(JitteredPrisms(s.prisms, by, 11), at, drawn, s.frame), e.corners[side][k] - e.at[side],
           "corners moved by " + std::to_string(by) + " m");
  }
  steady(ratio(s.prisms, at, {293729.73326881905, -61015.111192461285, 4.6352926491197497}, s.frame), 0,
         "moved 3e5 m and turned");
  // Mirrored in the frame's direction, the sector lines map onto each
  // other only where the step divides the half turn (step 7's lines of
  // the right half start from the back, 180 degrees).
  if (180 % m.step == 0)
    steady(ratio(MirroredPrisms(s.prisms), {-at.x, at.y}, drawn, KelAngle::Pi - s.frame), 0, "mirrored");
  if (m.kind == 2 && !(std::fabs(r - e.at[side]) <= ChordTolerance(m.step)))
    out.push_back(where + ": " + std::to_string(r) + " against the exact " + std::to_string(e.at[side]));
  return out;
}

// A seeded walk of the check point along x over +-reach about at (at
// itself and a hair past it among the points): each ratio against its
// neighbour's, allowed the exact sky's change beyond kSweepSteady. Each
// violation as a line.
inline std::vector<std::string> SweepWalkViolations(const SweepScene& s, const XY& at, const Method& m, double reach,
                                                    int points, std::uint64_t seed)
{
  SweepDraw d(seed);
  std::vector<double> xs{at.x, at.x + 2e-9};
  for (int k = 0; k < points; ++k)
    xs.push_back(at.x + d.U(-reach, reach));
  std::sort(xs.begin(), xs.end());
  const CKelBlockCubeArray blocks = Blocks(s.prisms);
  const auto ratio = [&](double x) { return Ratio(blocks, CKelCoord3D(x, at.y, 0), m, s.frame); };
  const auto exact = [&](double x) { return ExactRatio(s.prisms, CKelCoord3D(x, at.y, 0), m.side2); };
  // Kind 2 tells corners inside or out by the chart's lines, as the outline
  // method at its step does: beside a corner on an edge it moves as that
  // does, faster than the sky may (a tenth per metre at most: the outline
  // method's own jumps are no allowance).
  const Method outlines{m.step, false, 2, false};
  const auto outline = [&](double x) { return m.kind == 2 ? Ratio(blocks, CKelCoord3D(x, at.y, 0), outlines, s.frame) : 0.0; };
  std::vector<std::string> out;
  double before = ratio(xs[0]), exactBefore = exact(xs[0]), outlineBefore = outline(xs[0]);
  for (std::size_t k = 1; k < xs.size(); ++k) {
    const double r = ratio(xs[k]), e = exact(xs[k]), o = outline(xs[k]);
    const double allowed =
        kSweepSteady + std::min(std::fabs(o - outlineBefore), 1e-1 * (xs[k] - xs[k - 1])) + std::fabs(e - exactBefore);
    if (!(r > 0))
      out.push_back(Describe(m) + " at x " + std::to_string(xs[k]) + ": no ratio");
    else if (!(std::fabs(r - before) <= allowed))
      out.push_back(Describe(m) + " from x " + std::to_string(xs[k - 1]) + " by " + std::to_string(xs[k] - xs[k - 1]) +
                    " m: moved by " + std::to_string(r - before));
    before = r;
    exactBefore = e;
    outlineBefore = o;
  }
  return out;
}

}  // namespace sky_test
