#pragma once
// A seeded generator of lots, of the changes a survey makes to their
// listings, and of placements, for sweeps that judge a reader of site
// outlines against the clean lot. Shared by the site tests, the slant-line
// tests and the fuzz targets (header only: it needs the site library).
//
// Vocabulary:
//  - a lot: the figure a survey means, as sides (corner to corner) with
//    their kinds and road widths, and the listing that draws it (a side may
//    be listed in many pieces: a dense side, an arc's chords are sides of
//    their own);
//  - a listing: the points as stored, each carrying the side the edge that
//    starts at it lies on (its road record follows that side, widths
//    running on linearly along it);
//  - a change: what a survey does to a listing without meaning another lot
//    (a point on a side up to 1 mm off, a point listed again a hair away, a
//    stub below the tiny size, another first point, the other direction, a
//    side surveyed every few centimetres with a scatter up to 1 mm, a stretch
//    of any side listed every 1 mm to 10 cm, points exactly on chords, a
//    corner listed again outside up to the tiny size away), with its size
//    s: how far it moves the outline;
//  - a placement: turned, moved 3e5 m, mirrored; results are brought back
//    into the lot's own frame (Back) to be compared.
// Lots run from 8 m to 600 m; road widths, poles and chamfers keep their
// real sizes whatever the lot's.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "CKelCoord.h"
#include "CKelHSite.h"
#include "KelTolerance.h"

namespace site_sweep {

// --- Lots ----------------------------------------------------------------------

enum class SideKind { Neighbour = 0, Road = 1, Cut = 2 };

struct Side {
  SideKind m_Kind = SideKind::Neighbour;
  double m_W1 = 0, m_W2 = 0;  // a road's widths at the side's start and end
};

// One listed point and the side its edge lies on.
struct Pt {
  CKelCoord2D m_P;
  int m_Side;
};
using Listing = std::vector<Pt>;

struct Lot {
  std::string m_Name;
  std::vector<Side> m_Sides;
  std::vector<CKelCoord2D> m_Corners;  // side k runs from corner k to k + 1
  Listing m_Listing;                   // counter-clockwise
  double Diameter() const
  {
    double d = 0;
    for (const CKelCoord2D& a : m_Corners)
      for (const CKelCoord2D& b : m_Corners)
        d = std::max(d, std::hypot(b.m_x - a.m_x, b.m_y - a.m_y));
    return d;
  }
  // The lot's tiny size as the site readers judge it.
  double Tiny() const { return std::min(KelTol::SiteSurveyShare * Diameter(), KelTol::SiteSurveyTinyMax); }
  // Sides k and k + 1 (round the lot) are roads, the width running on
  // across the corner between them.
  bool RoadRunsOn(std::size_t k) const
  {
    const Side& a = m_Sides[k % m_Sides.size()];
    const Side& b = m_Sides[(k + 1) % m_Sides.size()];
    return a.m_Kind == SideKind::Road && b.m_Kind == SideKind::Road && a.m_W2 == b.m_W1;
  }
};

using Rng = std::mt19937_64;

inline double Uniform(Rng& rng, double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); }
inline double LogUniform(Rng& rng, double a, double b) { return std::exp(Uniform(rng, std::log(a), std::log(b))); }
inline int Pick(Rng& rng, int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
inline bool Coin(Rng& rng, double p = 0.5) { return Uniform(rng, 0, 1) < p; }

inline std::string Num(double v)
{
  std::ostringstream s;
  s.precision(6);
  s << v;
  return s.str();
}

// Builds a lot corner by corner; each corner starts a side listed once.
class LotBuilder {
public:
  explicit LotBuilder(std::string name) { m_Lot.m_Name = std::move(name); }
  LotBuilder& Corner(double x, double y, SideKind kind = SideKind::Neighbour, double w1 = 0, double w2 = -1)
  {
    m_Lot.m_Corners.emplace_back(x, y);
    m_Lot.m_Sides.push_back({kind, w1, w2 < 0 ? w1 : w2});
    return *this;
  }
  // Side `side` listed every `pitch` metres (points exactly on it).
  LotBuilder& Dense(int side, double pitch)
  {
    m_Dense = side;
    m_Pitch = pitch;
    return *this;
  }
  Lot Done()
  {
    const std::size_t n = m_Lot.m_Corners.size();
    for (std::size_t k = 0; k < n; ++k) {
      const CKelCoord2D& a = m_Lot.m_Corners[k];
      const CKelCoord2D& b = m_Lot.m_Corners[(k + 1) % n];
      m_Lot.m_Listing.push_back({a, static_cast<int>(k)});
      if (static_cast<int>(k) != m_Dense)
        continue;
      const int pieces = std::max(2, static_cast<int>(std::round(a.GetLength(b) / m_Pitch)));
      for (int j = 1; j < pieces; ++j) {
        const double t = static_cast<double>(j) / pieces;
        m_Lot.m_Listing.push_back({{a.m_x + t * (b.m_x - a.m_x), a.m_y + t * (b.m_y - a.m_y)}, static_cast<int>(k)});
      }
    }
    return m_Lot;
  }

private:
  Lot m_Lot;
  int m_Dense = -1;
  double m_Pitch = 1;
};

// The families a sweep draws from. MakeLot(rng) draws from the first
// kFirstFamilies only, so the sweeps sharing it keep their lots; the later
// ones (an arc of up to 400 chords, two roads of one width meeting at a
// bend) come from MakeWideLot, on a generator of their own.
enum class Family { Rectangle, LLot, FlagLot, Arc, BentFrontage, Chamfer, DenseSide, TwoRoads, ChordedArc, RoadBend, Count };
inline constexpr int kFirstFamilies = 8;

inline const char* FamilyName(Family f)
{
  static const char* const names[] = {"rectangle", "L lot", "flag lot", "arc frontage", "bent frontage",
                                      "chamfer", "dense side", "two roads at a corner", "chorded arc", "road bend"};
  return names[static_cast<int>(f)];
}

inline double RoadWidth(Rng& rng) { return std::round(Uniform(rng, 4, 12) * 2) / 2; }

// An arc frontage of `chords` chords across w, sagging either way by 2 to
// 15 percent of w, closed by a w x h rectangle.
inline Lot ArcLot(const std::string& name, double w, double h, double road, int chords, Rng& rng)
{
  const double sag = w * Uniform(rng, 0.02, 0.15) * (Coin(rng) ? 1 : -1);
  const double radius = (w * w / 4 + sag * sag) / (2 * std::fabs(sag));
  const double half = std::asin(w / 2 / radius);
  LotBuilder b(name + ", " + std::to_string(chords) + " chords, sag " + Num(sag));
  for (int k = 0; k < chords; ++k) {
    const double t = -half + 2 * half * k / chords;
    const double y = (radius * std::cos(t) - radius * std::cos(half)) * (sag > 0 ? -1 : 1);
    b.Corner(w / 2 + radius * std::sin(t), y, SideKind::Road, road);
  }
  const double top = std::max(0.0, -sag) + h;
  return b.Corner(w, 0).Corner(w, top).Corner(0, top).Done();
}

// A lot of the family, 8 m to 600 m across, its frontage (a road) along
// the south from (0, 0).
inline Lot MakeLot(Family family, Rng& rng)
{
  const double w = LogUniform(rng, 8, 480);
  const double h = std::max(8.0, w * Uniform(rng, 0.5, 1.4));
  const double road = RoadWidth(rng);
  const std::string size = " " + Num(w) + " x " + Num(h) + ", road " + Num(road);
  const SideKind R = SideKind::Road, N = SideKind::Neighbour;
  switch (family) {
  case Family::Rectangle: {
    const double end = Coin(rng, 0.3) ? RoadWidth(rng) : road;
    return LotBuilder("rectangle" + size + (end != road ? " to " + Num(end) : ""))
        .Corner(0, 0, R, road, end).Corner(w, 0).Corner(w, h).Corner(0, h).Done();
  }
  case Family::LLot: {
    const double a = Uniform(rng, 0.3, 0.8), b = Uniform(rng, 0.3, 0.8);
    return LotBuilder("L lot" + size + ", notch " + Num(a) + " | " + Num(b))
        .Corner(0, 0, R, road).Corner(w, 0).Corner(w, a * h).Corner(b * w, a * h).Corner(b * w, h).Corner(0, h).Done();
  }
  case Family::FlagLot: {
    const double pole = Uniform(rng, 2.5, 4), length = h * Uniform(rng, 0.2, 0.6);
    const double width = std::max(w, pole + 6);
    return LotBuilder("flag lot" + size + ", pole " + Num(pole) + " x " + Num(length))
        .Corner(0, 0, R, road).Corner(pole, 0).Corner(pole, length).Corner(width, length).Corner(width, length + h)
        .Corner(0, length + h).Done();
  }
  case Family::Arc:
    return ArcLot("arc frontage" + size, w, h, road, 5 + Pick(rng, 16), rng);
  case Family::ChordedArc:
    return ArcLot("chorded arc" + size, w, h, road, static_cast<int>(std::round(LogUniform(rng, 20, 400))), rng);
  case Family::RoadBend: {
    // The frontage runs on at a bend of 2 to 60 degrees, either way, as a
    // road of the same width: nothing but the bend marks the corner.
    const double a = w * Uniform(rng, 0.3, 0.7), b = w * Uniform(rng, 0.3, 0.7);
    const double bend = (Coin(rng) ? 1 : -1) * Uniform(rng, 2, 60) * KelAngle::Pi / 180;
    const double x = a + b * std::cos(bend), y = b * std::sin(bend), top = std::max(0.0, y) + h;
    return LotBuilder("road bend" + size + ", " + Num(a) + " then " + Num(b) + " at " + Num(bend * 180 / KelAngle::Pi) +
                      " degrees")
        .Corner(0, 0, R, road).Corner(a, 0, R, road).Corner(x, y).Corner(x, top).Corner(0, top).Done();
  }
  case Family::BentFrontage: {
    const int pieces = 2 + Pick(rng, 3);
    LotBuilder b("bent frontage" + size + ", " + std::to_string(pieces) + " pieces");
    double x = 0, y = 0, dir = 0, low = 0, high = 0;
    for (int k = 0; k < pieces; ++k) {
      b.Corner(x, y, R, road);
      const double len = w / pieces;
      x += len * std::cos(dir);
      y += len * std::sin(dir);
      low = std::min(low, y);
      high = std::max(high, y);
      dir = std::clamp(dir + (Coin(rng) ? 1 : -1) * LogUniform(rng, 0.3, 30) * KelAngle::Pi / 180, -0.6, 0.6);
    }
    return b.Corner(x, y).Corner(x, high + h).Corner(0, high + h).Done();
  }
  case Family::Chamfer: {
    const double c1 = std::min(LogUniform(rng, 0.2, 6), 0.3 * std::min(w, h));
    const double c2 = Coin(rng) ? c1 : std::min(c1 * Uniform(rng, 0.5, 2), 0.3 * std::min(w, h));
    const bool marked = Coin(rng, 0.7);
    return LotBuilder("chamfer" + size + ", cut " + Num(c1) + " | " + Num(c2) + (marked ? "" : " unmarked"))
        .Corner(0, 0, R, road).Corner(w - c1, 0, marked ? SideKind::Cut : N).Corner(w, c2, R, RoadWidth(rng))
        .Corner(w, h).Corner(0, h).Done();
  }
  case Family::DenseSide: {
    const int side = Coin(rng) ? 0 : 2;
    const double pitch = std::max(LogUniform(rng, 0.05, 0.5), w / 150);
    return LotBuilder("dense side" + size + (side == 0 ? ", frontage" : ", back") + " every " + Num(pitch))
        .Corner(0, 0, R, road).Corner(w, 0).Corner(w, h).Corner(0, h).Dense(side, pitch).Done();
  }
  case Family::TwoRoads:
  case Family::Count:
    break;
  }
  const double east = RoadWidth(rng);
  return LotBuilder("two roads at a corner" + size + " | " + Num(east))
      .Corner(0, 0, R, road).Corner(w, 0, R, east).Corner(w, h).Corner(0, h).Done();
}

inline Lot MakeLot(Rng& rng) { return MakeLot(static_cast<Family>(Pick(rng, kFirstFamilies)), rng); }

inline Lot MakeWideLot(Rng& rng)
{
  return MakeLot(static_cast<Family>(kFirstFamilies + Pick(rng, static_cast<int>(Family::Count) - kFirstFamilies)), rng);
}

// --- Changes -------------------------------------------------------------------

enum class ChangeKind { None, OnSide, NearRepeat, Stub, Start, Reverse, Surveyed, DenseSide, ChordPoints, CornerOutside, Count };

inline const char* ChangeName(ChangeKind k)
{
  static const char* const names[] = {"none", "point on a side", "near repeat", "stub", "another start",
                                      "reverse listing", "surveyed side", "dense side", "points on chords",
                                      "corner listed outside"};
  return names[static_cast<int>(k)];
}

struct Change {
  ChangeKind m_Kind = ChangeKind::None;
  std::string m_Name;
  Listing m_Listing;
  double m_Size = 0;  // how far it moves the outline
  // The most it turns the line of a listed side (radians), about a far end
  // at least as far from m_Near as the side is long.
  double m_Turn = 0;
  CKelCoord2D m_Near{};
};

inline CKelCoord2D Along(const CKelCoord2D& a, const CKelCoord2D& b, double along, double across)
{
  const double len = a.GetLength(b);
  const double ux = (b.m_x - a.m_x) / len, uy = (b.m_y - a.m_y) / len;
  return {a.m_x + along * ux - across * uy, a.m_y + along * uy + across * ux};
}

// The listing in the other direction, each point carrying the side of the
// edge that now starts at it.
inline Listing Reversed(const Listing& in)
{
  const std::size_t n = in.size();
  Listing out;
  for (std::size_t k = 0; k < n; ++k)
    out.push_back({in[n - 1 - k].m_P, in[(2 * n - 2 - k) % n].m_Side});
  return out;
}

inline Listing Rotated(const Listing& in, std::size_t first)
{
  Listing out(in.begin() + static_cast<long>(first), in.end());
  out.insert(out.end(), in.begin(), in.begin() + static_cast<long>(first));
  return out;
}

// An offset up to `most`: exactly 0 a quarter of the time, else of any
// size from 1e-12 m on, either way.
inline double Offset(Rng& rng, double most)
{
  if (Coin(rng, 0.25))
    return 0;
  return (Coin(rng) ? 1 : -1) * LogUniform(rng, 1e-12, most);
}

// How far p lies off the line through a and b.
inline double OffLine(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  const double len = a.GetLength(b);
  return std::fabs((b.m_x - a.m_x) * (p.m_y - a.m_y) - (b.m_y - a.m_y) * (p.m_x - a.m_x)) / len;
}

inline Change OnSide(const Lot& lot, Rng& rng)
{
  const Listing& in = lot.m_Listing;
  const std::size_t e = static_cast<std::size_t>(Pick(rng, static_cast<int>(in.size())));
  const CKelCoord2D& a = in[e].m_P;
  const CKelCoord2D& b = in[(e + 1) % in.size()].m_P;
  const double len = a.GetLength(b);
  // Anywhere along it, now and then right beside a corner.
  double t = Uniform(rng, 0.02, 0.98);
  if (Coin(rng, 0.3))
    t = Coin(rng) ? LogUniform(rng, 1e-4, 0.02) : 1 - LogUniform(rng, 1e-4, 0.02);
  const double off = Offset(rng, KelTol::SiteOnLine);
  const CKelCoord2D p = Along(a, b, t * len, off);
  Listing out = in;
  out.insert(out.begin() + static_cast<long>(e) + 1, {p, in[e].m_Side});
  Change change{ChangeKind::OnSide, "point on edge " + std::to_string(e) + " at " + Num(t) + ", " + Num(off) + " off",
                out, std::fabs(off)};
  // Within the tiny size of a corner, the edge to the corner may be folded
  // into the edge beyond it, as a stub's is: the corner is then read at
  // the point, turning that edge.
  const bool atStart = t * len <= lot.Tiny();
  if (atStart || (1 - t) * len <= lot.Tiny()) {
    const std::size_t n = in.size();
    const CKelCoord2D& corner = atStart ? a : b;
    const CKelCoord2D& beyond = atStart ? in[(e + n - 1) % n].m_P : in[(e + 2) % n].m_P;
    change.m_Size = std::max(change.m_Size, OffLine(beyond, corner, p));
    change.m_Turn = change.m_Size / std::min(len, beyond.GetLength(corner));
    change.m_Near = corner;
  }
  return change;
}

inline Change NearRepeat(const Lot& lot, Rng& rng)
{
  const Listing& in = lot.m_Listing;
  const std::size_t n = in.size();
  const std::size_t k = static_cast<std::size_t>(Pick(rng, static_cast<int>(n)));
  const double gap = Coin(rng, 0.2) ? 0 : LogUniform(rng, 1e-12, KelTol::SiteSurveyRepeat);
  const double dir = Uniform(rng, 0, KelAngle::TwoPi);
  const CKelCoord2D p(in[k].m_P.m_x + gap * std::cos(dir), in[k].m_P.m_y + gap * std::sin(dir));
  const bool after = Coin(rng);
  Listing out = in;
  if (after)
    out.insert(out.begin() + static_cast<long>(k) + 1, {p, in[k].m_Side});
  else
    out.insert(out.begin() + static_cast<long>(k), {p, in[(k + n - 1) % n].m_Side});
  return {ChangeKind::NearRepeat,
          "point " + std::to_string(k) + " listed again " + Num(gap) + (after ? " after it" : " before it"), out, gap};
}

// Whether p is one of the lot's corners, exactly.
inline bool IsCorner(const Lot& lot, const CKelCoord2D& p)
{
  return std::any_of(lot.m_Corners.begin(), lot.m_Corners.end(),
                     [&](const CKelCoord2D& c) { return c.m_x == p.m_x && c.m_y == p.m_y; });
}

// Whether sides u and v, meeting at a corner, are one side: of one kind and,
// for roads, one width there. Nothing then marks the corner between them.
inline bool OneSide(const Side& u, const Side& v)
{
  return u.m_Kind == v.m_Kind && (u.m_Kind != SideKind::Road || u.m_W2 == v.m_W1);
}

// A corner listed again a hair away (a near-repeat) where its two sides are
// one side: of one kind and, for roads, one width. Nothing in the listing
// then tells which copy is the corner, so the reading may be that of the
// lot whose corner is the other copy, checked between the same points: that
// lot's listing, or none where the repeat is of no such corner.
inline std::optional<Listing> OtherCopyLot(const Lot& lot, const Listing& changed)
{
  const Listing& in = lot.m_Listing;
  if (changed.size() != in.size() + 1)
    return std::nullopt;
  std::size_t j = 0;
  while (j < in.size() && changed[j].m_P.m_x == in[j].m_P.m_x && changed[j].m_P.m_y == in[j].m_P.m_y)
    ++j;
  const CKelCoord2D& copy = changed[j].m_P;
  const std::size_t n = in.size();
  const std::size_t before = (j + n - 1) % n, after = j % n;
  const std::size_t k = copy.GetLength(in[before].m_P) <= copy.GetLength(in[after].m_P) ? before : after;
  const Side& u = lot.m_Sides[static_cast<std::size_t>(in[(k + n - 1) % n].m_Side)];
  const Side& v = lot.m_Sides[static_cast<std::size_t>(in[k].m_Side)];
  if (!IsCorner(lot, in[k].m_P) || !OneSide(u, v))
    return std::nullopt;
  Listing other = in;
  other[k].m_P = copy;
  return other;
}

// Whether a listing tells its survey points from the lot's corners. Where a
// corner inside a longer side (its two sides of one kind and, for roads, one
// width) lies no farther from the line through the points listed beside it
// than a survey point among them lies off its own side, the listing draws
// two slight bends as well as one bend and a point on a side: it is also the
// listing of a lot whose corner is that point, and no reading can be both.
// So does a corner within the on-line distance of that line (a shallow bend
// surveyed every few centimetres): it is no corner to a reader.
inline bool TellsPointsFromCorners(const Lot& lot, const Listing& listing)
{
  const std::size_t m = lot.m_Corners.size(), n = listing.size();
  const auto offSide = [&](const Pt& q) {
    const auto s = static_cast<std::size_t>(q.m_Side);
    return OffLine(lot.m_Corners[s], lot.m_Corners[(s + 1) % m], q.m_P);
  };
  for (std::size_t k = 0; k < n && n >= 3; ++k) {
    const Pt &q1 = listing[(k + n - 1) % n], &c = listing[k], &q2 = listing[(k + 1) % n];
    const Side &u = lot.m_Sides[static_cast<std::size_t>(q1.m_Side)], &v = lot.m_Sides[static_cast<std::size_t>(c.m_Side)];
    if (!IsCorner(lot, c.m_P) || q1.m_Side == c.m_Side || !OneSide(u, v) ||
        (IsCorner(lot, q1.m_P) && IsCorner(lot, q2.m_P)))
      continue;
    const double off = OffLine(q1.m_P, q2.m_P, c.m_P);
    if (off <= std::max(offSide(q1), offSide(q2)) + 2 * KelTol::SiteOnLineExactly || off <= KelTol::SiteOnLine)
      return false;
  }
  return true;
}

// A listed corner drawn at random, with the corners before and after it.
struct PickedCorner {
  std::size_t m_K = 0;
  CKelCoord2D m_V, m_Prev, m_Next;
};

inline PickedCorner PickCorner(const Listing& in, Rng& rng)
{
  const std::size_t n = in.size();
  const std::size_t k = static_cast<std::size_t>(Pick(rng, static_cast<int>(n)));
  return {k, in[k].m_P, in[(k + n - 1) % n].m_P, in[(k + 1) % n].m_P};
}

// The listing with p listed just after corner k (on the edge it starts) or
// just before it (on the edge before).
inline Listing WithPointBy(const Listing& in, std::size_t k, const CKelCoord2D& p, bool after)
{
  Listing out = in;
  if (after)
    out.insert(out.begin() + static_cast<long>(k) + 1, {p, in[k].m_Side});
  else
    out.insert(out.begin() + static_cast<long>(k), {p, in[(k + in.size() - 1) % in.size()].m_Side});
  return out;
}

// A point before or after corner k, up to 0.9 tiny sizes along the edge and
// up to half that off it, either way, and no farther than 0.9 tiny sizes
// from the corner (a stub as long as the tiny size is a side). It turns the
// side it starts or ends (listed from or to the point), or, read as a point
// on the side before or after, that side, by its distance off the side's
// line over the side's length, about the side's far end.
inline Change Stub(const Lot& lot, Rng& rng)
{
  const PickedCorner corner = PickCorner(lot.m_Listing, rng);
  const std::size_t k = corner.m_K;
  const CKelCoord2D &v = corner.m_V, &prev = corner.m_Prev, &next = corner.m_Next;
  const double most = 0.9 * lot.Tiny();
  double along = std::min(LogUniform(rng, 1e-6, most), 0.45 * std::min(v.GetLength(prev), v.GetLength(next)));
  double across = Uniform(rng, -0.5, 0.5) * along;
  const double shrink = std::min(1.0, most / std::hypot(along, across));
  along *= shrink;
  across *= shrink;
  const bool after = Coin(rng);
  const CKelCoord2D p = after ? Along(v, next, along, across) : Along(prev, v, prev.GetLength(v) - along, across);
  const Listing out = WithPointBy(lot.m_Listing, k, p, after);
  const double off = std::max(OffLine(prev, v, p), OffLine(v, next, p));
  const double side = std::min({prev.GetLength(v), v.GetLength(next), prev.GetLength(p), p.GetLength(next)});
  return {ChangeKind::Stub,
          "stub " + Num(along) + " x " + Num(across) + (after ? " after" : " before") + " corner " + std::to_string(k),
          out, std::hypot(along, across), off / side, v};
}

// The lot surveyed: points every 5 to 10 cm along some of its listed edges
// (at most 100 an edge, so a case stays quick), each off its line by up to a
// scatter of 1e-7 to 1e-3 m either way, as a survey lists straight sides.
inline Change Surveyed(const Lot& lot, Rng& rng)
{
  const Listing& in = lot.m_Listing;
  const double pitch = Uniform(rng, 0.05, 0.1);
  const double scatter = LogUniform(rng, 1e-7, KelTol::SiteOnLine);
  const std::size_t surely = static_cast<std::size_t>(Pick(rng, static_cast<int>(in.size())));
  Listing out;
  for (std::size_t e = 0; e < in.size(); ++e) {
    const CKelCoord2D& a = in[e].m_P;
    const CKelCoord2D& b = in[(e + 1) % in.size()].m_P;
    const double len = a.GetLength(b);
    const bool surveyed = e == surely || Coin(rng, 0.3);
    const int pieces = surveyed ? std::min(100, static_cast<int>(std::floor(len / pitch))) : 0;
    out.push_back(in[e]);
    for (int j = 1; j < pieces; ++j)
      out.push_back({Along(a, b, len * j / pieces, Uniform(rng, -scatter, scatter)), in[e].m_Side});
  }
  return {ChangeKind::Surveyed, "surveyed every " + Num(pitch) + " m or more, scatter " + Num(scatter), out, scatter};
}

// The most points DenseSide adds, so a case stays quick: every 1 mm, a
// stretch of 30 cm.
inline constexpr int kDensePoints = 300;

// One listed edge, any side, surveyed densely: a stretch of it (the whole
// edge where it fits kDensePoints) listed every 1 mm to 10 cm from its
// start, to its end or in its middle, each point off its line by a scatter
// of 0 to 1 mm either way.
inline Change DenseSide(const Lot& lot, Rng& rng)
{
  const Listing& in = lot.m_Listing;
  const std::size_t e = static_cast<std::size_t>(Pick(rng, static_cast<int>(in.size())));
  const CKelCoord2D& a = in[e].m_P;
  const CKelCoord2D& b = in[(e + 1) % in.size()].m_P;
  const double len = a.GetLength(b);
  const double pitch = LogUniform(rng, 1e-3, 0.1);
  const double scatter = Coin(rng, 0.2) ? 0 : LogUniform(rng, 1e-9, KelTol::SiteOnLine);
  const double stretch = std::min(len, kDensePoints * pitch);
  const int where = Pick(rng, 3);
  const double from = where == 0 ? 0 : where == 1 ? len - stretch : Uniform(rng, 0, len - stretch);
  const int pieces = std::max(1, static_cast<int>(std::floor(stretch / pitch)));
  Listing out(in.begin(), in.begin() + static_cast<long>(e) + 1);
  for (int j = 0; j <= pieces; ++j) {
    const double at = from + stretch * j / pieces;
    if (at > pitch / 2 && at < len - pitch / 2)
      out.push_back({Along(a, b, at, scatter > 0 ? Uniform(rng, -scatter, scatter) : 0.0), in[e].m_Side});
  }
  out.insert(out.end(), in.begin() + static_cast<long>(e) + 1, in.end());
  return {ChangeKind::DenseSide,
          "edge " + std::to_string(e) + " listed every " + Num(pitch) + " m over " + Num(stretch) + " from " +
              Num(from) + ", scatter " + Num(scatter),
          out, scatter};
}

// Points exactly on one to five listed edges (an arc's chords among them),
// at their middle or anywhere along them.
inline Change ChordPoints(const Lot& lot, Rng& rng)
{
  const Listing& in = lot.m_Listing;
  const std::size_t n = in.size();
  std::vector<bool> chosen(n, false);
  const int count = 1 + Pick(rng, 5);
  for (int k = 0; k < count; ++k)
    chosen[static_cast<std::size_t>(Pick(rng, static_cast<int>(n)))] = true;
  Listing out;
  std::string name = "points exactly on edges";
  for (std::size_t e = 0; e < n; ++e) {
    out.push_back(in[e]);
    if (!chosen[e])
      continue;
    const CKelCoord2D& a = in[e].m_P;
    const CKelCoord2D& b = in[(e + 1) % n].m_P;
    const double t = Coin(rng) ? 0.5 : Uniform(rng, 0.01, 0.99);
    out.push_back({{a.m_x + t * (b.m_x - a.m_x), a.m_y + t * (b.m_y - a.m_y)}, in[e].m_Side});
    name += " " + std::to_string(e) + " at " + Num(t) + ";";
  }
  return {ChangeKind::ChordPoints, name, out, 0};
}

// A listed point listed again outside the lot, up to the tiny size from it:
// behind it beside the edge before (listed after it), or ahead of it beside
// the edge after (listed before it), a bow tie below the tiny size. Like a
// stub, it may turn the edges at the point by its distance off their lines
// over their length.
inline Change CornerOutside(const Lot& lot, Rng& rng)
{
  const PickedCorner corner = PickCorner(lot.m_Listing, rng);
  const std::size_t k = corner.m_K;
  const CKelCoord2D &v = corner.m_V, &prev = corner.m_Prev, &next = corner.m_Next;
  const double gap = std::min(LogUniform(rng, 1e-7, lot.Tiny()), 0.45 * std::min(v.GetLength(prev), v.GetLength(next)));
  const double angle = Uniform(rng, 0.05, 0.5) * KelAngle::Pi;
  const bool behind = Coin(rng);
  // Behind the corner the copy is listed after it, ahead of it before it.
  const CKelCoord2D p = behind ? Along(prev, v, prev.GetLength(v) - gap * std::cos(angle), -gap * std::sin(angle))
                               : Along(v, next, gap * std::cos(angle), -gap * std::sin(angle));
  const Listing out = WithPointBy(lot.m_Listing, k, p, behind);
  const double off = std::max(OffLine(prev, v, p), OffLine(v, next, p));
  const double side = std::min(prev.GetLength(v), v.GetLength(next));
  return {ChangeKind::CornerOutside,
          "point " + std::to_string(k) + " listed again " + Num(gap) + " outside, " + (behind ? "behind it" : "ahead"),
          out, gap, off / side, v};
}

inline Change MakeChange(const Lot& lot, ChangeKind kind, Rng& rng)
{
  switch (kind) {
  case ChangeKind::DenseSide:
    return DenseSide(lot, rng);
  case ChangeKind::ChordPoints:
    return ChordPoints(lot, rng);
  case ChangeKind::CornerOutside:
    return CornerOutside(lot, rng);
  case ChangeKind::OnSide:
    return OnSide(lot, rng);
  case ChangeKind::NearRepeat:
    return NearRepeat(lot, rng);
  case ChangeKind::Stub:
    return Stub(lot, rng);
  case ChangeKind::Surveyed:
    return Surveyed(lot, rng);
  case ChangeKind::Start: {
    const std::size_t first = 1 + static_cast<std::size_t>(Pick(rng, static_cast<int>(lot.m_Listing.size()) - 1));
    return {kind, "listed from point " + std::to_string(first), Rotated(lot.m_Listing, first), 0};
  }
  case ChangeKind::Reverse:
    return {kind, "listed clockwise", Reversed(lot.m_Listing), 0};
  case ChangeKind::None:
  case ChangeKind::Count:
    break;
  }
  return {ChangeKind::None, "clean", lot.m_Listing, 0};
}

// --- Placements -------------------------------------------------------------------

// Mirrored (x -> -x) first, then turned about the origin, then moved. A
// mirrored listing is listed the other way, so the lot stays
// counter-clockwise.
struct Placement {
  std::string m_Name;
  double m_X = 0, m_Y = 0, m_Turn = 0;
  bool m_Mirror = false;
  CKelCoord2D To(const CKelCoord2D& p) const
  {
    const double x = m_Mirror ? -p.m_x : p.m_x;
    const double c = std::cos(m_Turn), s = std::sin(m_Turn);
    return {m_X + c * x - s * p.m_y, m_Y + s * x + c * p.m_y};
  }
  CKelCoord2D Back(const CKelCoord2D& p) const
  {
    const double c = std::cos(m_Turn), s = std::sin(m_Turn);
    const double dx = p.m_x - m_X, dy = p.m_y - m_Y;
    const double x = c * dx + s * dy;
    return {m_Mirror ? -x : x, -s * dx + c * dy};
  }
};

inline std::vector<Placement> Placements(Rng& rng)
{
  const double turn = Uniform(rng, 0, KelAngle::TwoPi);
  const double far = 3e5;
  return {{"origin", 0, 0, 0, false},
          {"turned " + Num(turn), 0, 0, turn, false},
          {"moved 3e5 m, turned " + Num(turn), far, -0.4 * far, turn, false},
          {"mirrored", 0, 0, 0, true},
          {"mirrored, moved 3e5 m, turned " + Num(turn), -0.9 * far, far, turn, true}};
}

// The listing placed: its points moved, listed the other way when mirrored.
inline Listing Placed(const Listing& in, const Placement& at)
{
  Listing out;
  for (const Pt& p : in)
    out.push_back({at.To(p.m_P), p.m_Side});
  return at.m_Mirror ? Reversed(out) : out;
}

inline double SignedArea(const Listing& in)
{
  double a = 0;
  const CKelCoord2D& o = in.front().m_P;
  for (std::size_t k = 0; k + 1 < in.size(); ++k) {
    const CKelCoord2D& p = in[k].m_P;
    const CKelCoord2D& q = in[k + 1].m_P;
    a += (p.m_x - o.m_x) * (q.m_y - o.m_y) - (q.m_x - o.m_x) * (p.m_y - o.m_y);
  }
  return a / 2;
}

// The site of a (placed) listing: a clockwise listing is turned round as
// SetArea turns it, each point keeping the record of the edge starting at
// it; each edge takes its side's kind, a road's widths running on linearly
// along the side (sides given in the lot's own frame, placed by at).
inline CKelHSite SiteOf(const Lot& lot, Listing listing, const Placement& at)
{
  if (listing.size() >= 3 && SignedArea(listing) < 0)
    listing = Reversed(listing);
  std::vector<CKelCoord2D> pts;
  for (const Pt& p : listing)
    pts.push_back(p.m_P);
  CKelHSite site(pts);
  site.SetArea();
  site.SetMaxMin();
  const std::size_t n = listing.size();
  const std::size_t sides = lot.m_Corners.size();
  for (std::size_t k = 0; k < n; ++k) {
    const auto s = static_cast<std::size_t>(listing[k].m_Side);
    const Side& side = lot.m_Sides[s];
    CKelSiteTable& v = site.m_pt[k];
    if (side.m_Kind == SideKind::Cut)
      v.COND = CKelSiteTable::kSumikiri;
    if (side.m_Kind != SideKind::Road)
      continue;
    const CKelCoord2D a = lot.m_Corners[s], b = lot.m_Corners[(s + 1) % sides];
    const double len2 = (b.m_x - a.m_x) * (b.m_x - a.m_x) + (b.m_y - a.m_y) * (b.m_y - a.m_y);
    auto width = [&](const CKelCoord2D& placed) {
      const CKelCoord2D p = at.Back(placed);
      const double t = std::clamp(((p.m_x - a.m_x) * (b.m_x - a.m_x) + (p.m_y - a.m_y) * (b.m_y - a.m_y)) / len2, 0.0, 1.0);
      return side.m_W1 + t * (side.m_W2 - side.m_W1);
    };
    // The edge's own direction along the side decides which end is which.
    const CKelCoord2D p = listing[k].m_P, q = listing[(k + 1) % n].m_P;
    v.COND = CKelSiteTable::kRoad;
    v.m_RoadWidthBeg = width(p);
    v.m_RoadWidthEnd = width(q);
    v.CheckRoadWuser();
  }
  site.m_Road = site.CalcRoadData();
  site.m_Cross = site.SetCrossRoad(site.m_Road);
  return site;
}

// The listing as text, for a failure's report: "x y side" per point.
inline std::string Describe(const Listing& in)
{
  std::ostringstream s;
  s.precision(17);
  for (const Pt& p : in)
    s << "(" << p.m_P.m_x << ", " << p.m_P.m_y << ") " << p.m_Side << "; ";
  return s.str();
}

}  // namespace site_sweep
