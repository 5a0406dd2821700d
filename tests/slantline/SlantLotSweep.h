#pragma once
// The slant-line check over the site sweep's generated lots (SiteLotSweep.h):
// a road side of each lot checked in the four forms (half cuts, vertical
// cuts, check points on arcs round both ends, the radial form), clean at
// the origin and then changed as a survey changes it, placed elsewhere, or
// checked through another piece of its run; every reading judged against
// the clean one. Shared by the slant-line tests and the sweep's fuzz target.
//
// What a change may move: nothing, up to round-off (volumes 1e-6 relative,
// points 1e-6 of the lot's diameter). The changes judged are those that
// mean the same lot: another placement, another first point or direction
// of the listing, a point listed again up to KelTol::SiteSurveyRepeat away,
// and a point put on a side within kOnSideMost of it (on the checked side,
// the check is made through the piece after it). A point that lies off its
// side by as much as a corner beside it lies off the line to the point
// draws another lot as well (TellsPointFromCorners): that listing must read
// alike at every placement. A corner listed again inside one side may be
// read at either copy (OtherCopyLot).
// The driver gives the run's base line or, in every other reading, the
// checked stored edge's own: the check points must not tell them apart.
// The clean lot's half cuts are also judged against the half-plane model
// (SlantHalfPlane.h), read on the lot's corners or, where a reader may join
// a stretch ending at one of the side's corners, on either reading of it;
// and each lot's checked side is bent at a joint inside
// it by 0.05 to 5 degrees, each part checked on its own against the model
// with half cuts and with vertical cuts:
// a bend whose sagitta falls below the tiny size joins the parts into one
// run, which must not move the cuts to the run's far corners.
// Widened (a stream of its own, so the seeds above keep their lots): a side
// of any kind listed every 1 mm to 10 cm with a scatter of 0 to 1 mm, on
// the seed's lot or on one whose two roads of one width meet at a bend of
// 2 to 60 degrees or at a reflex corner, judged within the survey's own
// scale (DenseJudge); and every clean lot whose cuts a half-plane model
// can tell (ModelCuts) judged against that model, not only against itself.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "CSyasenCheck.h"
#include "KelGeometry.h"
#include "SiteLotSweep.h"
#include "SlantFixtures.h"
#include "SlantHalfPlane.h"

namespace slant_sweep {

using namespace site_sweep;

// How far off the checked side the point a survey puts on it lies at most:
// the survey's on-line distance, within which a point is no corner.
inline constexpr double kOnSideMost = KelTol::SiteOnLine;

// Per form: 0 half cuts' volume, 1 vertical cuts' volume, 2 the check
// points on arcs (x, y pairs), 3 the radial volumes, 4 the radial points;
// points in the lot's own frame, in the clean order from the side's begin.
using Readings = std::vector<std::vector<double>>;
inline constexpr int kForms = 5;

struct Driver : CSyasenCheck {};

// The listing as the site stores it: counter-clockwise.
inline Listing Stored(const Listing& listing)
{
  return listing.size() >= 3 && SignedArea(listing) < 0 ? Reversed(listing) : listing;
}

// The stored edge of side `side` to check through: the first piece from the
// side's begin, or the last; a driver checks an edge that has a length, never
// a repeated point's.
inline int PieceOf(const Listing& stored, int side, const CKelCoord2D& beg, bool last)
{
  int best = -1;
  double bestGap = 0;
  for (std::size_t k = 0; k < stored.size(); ++k) {
    if (stored[k].m_Side != side || stored[k].m_P.GetLength(stored[(k + 1) % stored.size()].m_P) <= KelTol::SiteOnLine)
      continue;
    const double gap = stored[k].m_P.GetLength(beg);
    if (best < 0 || (last ? gap > bestGap : gap < bestGap)) {
      best = static_cast<int>(k);
      bestGap = gap;
    }
  }
  return best;
}

// The site of a placed listing with each edge's stored data (start,
// direction, length) taken from its outline, as the driver stores them.
inline CKelHSite SiteWithEdgeData(const Lot& lot, const Listing& placed, const Placement& at)
{
  CKelHSite site = SiteOf(lot, placed, at);
  const int n = site.GetSize();
  for (int i = 0; i < n; ++i) {
    CKelSiteTable& v = site.m_pt[static_cast<std::size_t>(i)];
    const CKelCoord2D& next = site.m_pt[static_cast<std::size_t>((i + 1) % n)];
    v.m_Sphere.m_EdgePos[0] = v;
    CalcCosSin(v, next, &v.m_Sphere.m_EdgeCos, &v.m_Sphere.m_EdgeSin, &v.m_Sphere.m_EdgeLen);
  }
  return site;
}

inline Readings Read(const Lot& lot, const Listing& listing, const Placement& at, int side, bool lastPiece,
                     bool ownLine = false)
{
  const std::size_t m = lot.m_Corners.size();
  const Listing placed = Stored(Placed(listing, at));
  CKelHSite site = SiteWithEdgeData(lot, placed, at);
  const CKelCoord2D a = at.To(lot.m_Corners[static_cast<std::size_t>(side)]);
  const CKelCoord2D b = at.To(lot.m_Corners[(static_cast<std::size_t>(side) + 1) % m]);
  const CKelCoord2D beg = at.m_Mirror ? b : a, end = at.m_Mirror ? a : b;
  CKelBlockCube src;
  for (const CKelCoord2D& c : lot.m_Corners) {
    const CKelCoord2D p = at.To(c);
    src.Append(CKelBlockCoord(p.m_x, p.m_y, 10, 0));
  }
  src.SetType();
  src.SetMinMax();
  src.GetPlaneEquation(false);
  src.GetPlaneEquation(true);
  Readings out(kForms);
  for (int form = 0; form < 4; ++form) {
    CSyasenCheckBlockParam p;
    p.m_SiteNo = PieceOf(placed, side, beg, lastPiece);
    p.m_BegPoint = beg;
    p.m_EndPoint = end;
    CSyasenCheckCalcKind& kind = p.m_CalcKind;
    kind.m_BegCutKind = kind.m_EndCutKind = form == 1 ? 2 : 1;
    kind.m_BegCpntKind = kind.m_EndCpntKind = form == 2 ? 3 : 0;
    kind.m_CalcType = form == 3 ? 1 : 0;
    kind.m_BegBaseKind = kind.m_EndBaseKind = form == 3 ? 4 : 0;
    p.m_SrcBlock.AddBlock(src);
    slant_test::TestCheckBlock blk;
    blk.ownEdge = ownLine;
    Driver drv;
    // The checked stretch measured along its base line, as the driver does.
    CRoadLineParam line;
    if (!blk.GetBaseLine(&drv, &site, &p, 1, line, 0.0))
      return out;
    p.m_CheckLength = (end.m_x - beg.m_x) * line.m_Cos + (end.m_y - beg.m_y) * line.m_Sin;
    p.m_CheckEnd = -1;
    p.m_CpntPitch = p.m_CheckLength / (form == 3 ? 4 : 8);
    const auto back = [&](const CSphereRatioParamArray& points, std::vector<double>& to) {
      for (const CSphereRatioParam& c : points) {
        const CKelCoord2D q = at.Back(c.GetCoord3D(0));
        to.insert(to.end(), {q.m_x, q.m_y});
      }
    };
    if (form == 3) {
      p.CreateBlock2(&drv, &site, &blk, 0);
      for (const CSphereRatioParam& c : p.m_SphereRatio2)
        out[3].push_back(10 * slant_test::PlanArea(c.m_BlockList));
      back(p.m_SphereRatio2, out[4]);
    } else {
      p.CreateBlock1(&drv, &site, &blk, 0, form == 2);
      if (form == 2)
        back(p.m_SphereRatio, out[2]);
      else
        out[static_cast<std::size_t>(form)] = {10 * slant_test::PlanArea(p.m_BaseBlock)};
    }
  }
  // Mirrored, the side runs from the lot's other corner: points and radial
  // volumes come the other way round.
  for (std::size_t f = 2; at.m_Mirror && f < out.size(); ++f) {
    std::vector<double>& r = out[f];
    const bool pairs = f != 3;
    for (std::size_t j = 0; pairs && j + 1 < r.size(); j += 2)
      std::swap(r[j], r[j + 1]);
    std::reverse(r.begin(), r.end());
  }
  return out;
}

// The first reading that differs from the clean one; empty when none does.
inline std::string Judge(const Readings& clean, const Readings& got, double diameter)
{
  static const char* const forms[] = {"half cuts", "vertical cuts", "check points", "radial volumes",
                                      "radial points"};
  for (std::size_t f = 0; f < clean.size(); ++f) {
    if (clean[f].size() != got[f].size())
      return std::string(forms[f]) + ": " + std::to_string(got[f].size()) + " values for " +
             std::to_string(clean[f].size());
    const bool points = f == 2 || f == 4;
    for (std::size_t j = 0; j < clean[f].size(); ++j) {
      const double tol = 1e-6 * (points ? std::max(1.0, diameter) : std::max(1.0, std::fabs(clean[f][j])));
      if (!(std::fabs(clean[f][j] - got[f][j]) <= tol))
        return std::string(forms[f]) + " value " + std::to_string(j) + ": " + Num(got[f][j]) + " for " +
               Num(clean[f][j]);
    }
  }
  return {};
}

// Whether a listing with point p put `off` off side `side` tells p from the
// corners beside it. Where a corner that may lie inside a longer side (its
// two sides of one kind and, for roads, one width) lies no farther from the
// line through the corner beyond it and p than p lies off its own side, the
// listing draws two slight bends as well as one bend and a point on a side:
// it is also the listing of a lot whose corner is p, with a survey point
// where this lot's corner is. Those lots read differently, so no reading
// can be both; the nearer of the two to its line is the one on a side.
inline bool TellsPointFromCorners(const Lot& lot, int side, const CKelCoord2D& p, double off)
{
  const std::size_t m = lot.m_Corners.size();
  const auto at = [&](int k) { return static_cast<std::size_t>((k % static_cast<int>(m) + static_cast<int>(m)) % static_cast<int>(m)); };
  const auto oneSide = [&](int before, int after) { return OneSide(lot.m_Sides[at(before)], lot.m_Sides[at(after)]); };
  const double near = std::fabs(off) + 2 * KelTol::SiteOnLineExactly;
  const CKelCoord2D &a = lot.m_Corners[at(side)], &b = lot.m_Corners[at(side + 1)];
  if (oneSide(side - 1, side) && OffLine(lot.m_Corners[at(side - 1)], p, a) <= near)
    return false;
  return !(oneSide(side, side + 1) && OffLine(p, lot.m_Corners[at(side + 2)], b) <= near);
}

// A point on side `side`, 2 % to 98 % along it, up to `most` off it; the
// piece after it is the one checked. m_Told: whether the listing tells the
// point from the corners beside it (TellsPointFromCorners).
struct PointChange {
  Change m_Change;
  bool m_Told = true;
};

inline PointChange PointOnSide(const Lot& lot, int side, double most, Rng& rng)
{
  Listing out = lot.m_Listing;
  const auto at = std::find_if(out.begin(), out.end(), [side](const Pt& p) { return p.m_Side == side; });
  const std::size_t m = lot.m_Corners.size();
  const CKelCoord2D& a = lot.m_Corners[static_cast<std::size_t>(side)];
  const CKelCoord2D& b = lot.m_Corners[(static_cast<std::size_t>(side) + 1) % m];
  const double t = Uniform(rng, 0.02, 0.98), off = Coin(rng, 0.5) ? 0.0 : Offset(rng, most);
  // After the side's last listed point before t, so the listing stays in order.
  auto before = at;
  while (before + 1 != out.end() && (before + 1)->m_Side == side &&
         (before + 1)->m_P.GetLength(a) < t * a.GetLength(b))
    ++before;
  const CKelCoord2D p = Along(a, b, t * a.GetLength(b), off);
  out.insert(before + 1, {p, side});
  const bool told = TellsPointFromCorners(lot, side, p, off);
  return {{ChangeKind::OnSide,
           "point on side " + std::to_string(side) + " at " + Num(t) + ", " + Num(off) + " off" +
               (told ? "" : " (as near its line as a corner beside it)"),
           out, std::fabs(off)},
          told};
}

// The half cuts' volume (over the outline's own volume, 10 high) of the
// stored edge starting nearest beg, checked from beg to end, and the
// model's; the lot at the origin.
struct ModelReading {
  double m_Got = 0, m_Model = 0;
};

// The stored edge starting nearest beg of the listing at the origin,
// checked from beg to end with the cut kinds `setKinds` gives: its outline,
// base line and base block volume (10 high); m_Made false where the check
// refuses.
struct CheckedPart {
  std::vector<CKelCoord2D> m_Outline;
  CRoadLineParam m_Line;
  double m_Volume = 0;
  bool m_Made = false;
};

template <class SetKinds>
CheckedPart CheckPart(const Lot& lot, const Listing& listing, int side, const CKelCoord2D& beg, const CKelCoord2D& end,
                      bool ownLine, const SetKinds& setKinds)
{
  const Listing stored = Stored(listing);
  CKelHSite site = SiteWithEdgeData(lot, stored, Placement{"origin", 0, 0, 0, false});
  CheckedPart part;
  for (const Pt& q : stored)
    part.m_Outline.push_back(q.m_P);
  CSyasenCheckBlockParam p;
  p.m_SiteNo = PieceOf(stored, side, beg, false);
  p.m_BegPoint = beg;
  p.m_EndPoint = end;
  setKinds(p.m_CalcKind);
  p.m_SrcBlock.AddBlock(slant_test::LotBlock(site, 10));
  slant_test::TestCheckBlock blk;
  blk.ownEdge = ownLine;
  Driver drv;
  if (p.m_SiteNo < 0 || !blk.GetBaseLine(&drv, &site, &p, 1, part.m_Line, 0.0) ||
      p.CreateBlock1(&drv, &site, &blk, 0) != 0)
    return part;
  part.m_Volume = 10 * slant_test::PlanArea(p.m_BaseBlock);
  part.m_Made = true;
  return part;
}

// The corner at beg (or, with farAtEnd, at end) is read on the lot's own
// corners: a bend whose sagitta lies within the tiny size joins its side
// into one run, whose corner the check reads along the side's chord.
inline ModelReading ReadHalfCuts(const Lot& lot, const Listing& listing, int side, const CKelCoord2D& beg,
                                 const CKelCoord2D& end, bool ownLine, bool joined = false, bool farAtEnd = false)
{
  const CheckedPart part = CheckPart(lot, listing, side, beg, end, ownLine, [](CSyasenCheckCalcKind& kind) {
    kind.m_BegCutKind = kind.m_EndCutKind = 1;
  });
  ModelReading r;
  if (!part.m_Made)
    return r;
  const std::vector<CKelCoord2D>& outline = part.m_Outline;
  const CRoadLineParam& line = part.m_Line;
  r.m_Got = part.m_Volume;
  if (!joined) {
    r.m_Model = 10 * slant_model::HalfCutArea(outline, outline, beg, end, line.m_Cos, line.m_Sin);
    return r;
  }
  const std::vector<CKelCoord2D>& corners = lot.m_Corners;
  r.m_Model = 10 * (farAtEnd ? slant_model::HalfCutArea(outline, outline, beg, end, line.m_Cos, line.m_Sin, &corners)
                             : slant_model::HalfCutArea(corners, outline, beg, end, line.m_Cos, line.m_Sin, &outline));
  return r;
}

// The stretches of the lot a reader may join into one run, touching side
// `side`'s corners: three corners whose middle one lies within reach of
// the line between the others (the 1.25 tiny sizes keep clear of where a
// reader joins), and road sides running on whose inner corners all lie
// that near their chord, however clear each corner is of its neighbours'
// line (the sweep's seed 11148: a frontage bent 3.5 to 3.9 degrees in 21 m
// pieces, the last three within 5 cm of their chord; the end cut took the
// chord's direction). Each as the corners (i, j) ending it, unwrapped.
inline std::vector<std::pair<int, int>> JoinableStretches(const Lot& lot, int side)
{
  const int m = static_cast<int>(lot.m_Sides.size());
  const auto at = [&](int k) { return static_cast<std::size_t>(((k % m) + m) % m); };
  const double reach = 1.25 * lot.Tiny();
  const auto joined = [&](int i, int j) {
    for (int k = i; k + 1 < j && j > i + 2; ++k) {
      if (!lot.RoadRunsOn(at(k)))
        return false;
    }
    for (int k = i + 1; k < j; ++k) {
      if (OffLine(lot.m_Corners[at(i)], lot.m_Corners[at(j)], lot.m_Corners[at(k)]) > reach)
        return false;
    }
    return true;
  };
  std::vector<std::pair<int, int>> out;
  for (int i = side + 1 - m; i <= side + 1; ++i) {
    for (int j = std::max(i + 2, side); j < i + m; ++j) {
      if (joined(i, j))
        out.emplace_back(i, j);
    }
  }
  return out;
}

// Whether the model reads side `side` as the check does on the lot's own
// corners: no corner cut beside it, whose cut takes the direction of the
// side beyond, and no stretch a reader may join at its corners
// (JoinableStretches). The others are judged on JoinedReadings.
inline bool ModelReads(const Lot& lot, int side)
{
  const int m = static_cast<int>(lot.m_Sides.size());
  const auto at = [&](int k) { return static_cast<std::size_t>(((k % m) + m) % m); };
  return lot.m_Sides[at(side - 1)].m_Kind != SideKind::Cut && lot.m_Sides[at(side + 1)].m_Kind != SideKind::Cut &&
         JoinableStretches(lot, side).empty();
}

// The outlines the corners of side `side` may be read on, at its begin and
// at its end: the lot's own, and the lot with each stretch a reader may
// join there (ending at the corner) drawn as its chord. A corner cut beside
// the side is read with the direction of the side beyond the cut, as the
// check turns a half cut there: the lot's own outline gets a point 1 mm
// along that side before the corner. None where a stretch runs through
// one of the side's corners.
inline std::optional<std::array<std::vector<std::vector<CKelCoord2D>>, 2>> JoinedReadings(const Lot& lot, int side)
{
  const int m = static_cast<int>(lot.m_Sides.size());
  const auto at = [&](int k) { return static_cast<std::size_t>(((k % m) + m) % m); };
  std::array<std::vector<std::vector<CKelCoord2D>>, 2> out{{{lot.m_Corners}, {lot.m_Corners}}};
  const auto dir = [&](int k) { return slant_model::Unit(lot.m_Corners[at(k)], lot.m_Corners[at(k + 1)]); };
  const double step = KelTol::SiteOnLine;
  if (lot.m_Sides[at(side - 1)].m_Kind == SideKind::Cut) {
    const slant_model::Dir u = dir(side - 2);
    const CKelCoord2D& a = lot.m_Corners[at(side)];
    out[0][0].insert(out[0][0].begin() + static_cast<long>(at(side)), {a.m_x - step * u.x, a.m_y - step * u.y});
  }
  if (lot.m_Sides[at(side + 1)].m_Kind == SideKind::Cut) {
    const slant_model::Dir v = dir(side + 2);
    const CKelCoord2D& b = lot.m_Corners[at(side + 1)];
    out[1][0].insert(out[1][0].begin() + static_cast<long>(at(side + 1)) + 1, {b.m_x + step * v.x, b.m_y + step * v.y});
  }
  for (const auto& [i, j] : JoinableStretches(lot, side)) {
    const bool atBeg = j == side, atEnd = i == side + 1;
    if (!atBeg && !atEnd)
      return std::nullopt;
    std::vector<CKelCoord2D> joined;
    for (int k = j; k < i + m + 1; ++k)
      joined.push_back(lot.m_Corners[at(k)]);
    out[atBeg ? 0 : 1].push_back(std::move(joined));
  }
  return out;
}

inline std::string JudgeModel(const ModelReading& r, double share, const std::string& cuts = "half cuts")
{
  if (std::fabs(r.m_Got - r.m_Model) <= share * std::max(1.0, r.m_Model))
    return {};
  return cuts + " " + Num(r.m_Got) + " for the model's " + Num(r.m_Model);
}

// --- The widened sweep ----------------------------------------------------------

// A lot whose frontage meets a road of its width at a bend: turning 2 to 60
// degrees away from the lot, or, an L lot, at its reflex corner.
inline Lot BendLot(Rng& rng)
{
  const double w = LogUniform(rng, 8, 120), h = std::max(8.0, w * Uniform(rng, 0.6, 1.2));
  const double road = RoadWidth(rng);
  const SideKind R = SideKind::Road;
  if (Coin(rng, 0.3)) {
    const double a = Uniform(rng, 0.3, 0.7), b = Uniform(rng, 0.3, 0.7);
    return LotBuilder("reflex road corner " + Num(w) + " x " + Num(h) + ", road " + Num(road))
        .Corner(0, 0).Corner(w, 0).Corner(w, a * h, R, road).Corner(b * w, a * h, R, road).Corner(b * w, h)
        .Corner(0, h).Done();
  }
  const double bend = Uniform(rng, 2, 60) * KelAngle::Pi / 180, next = w * Uniform(rng, 0.5, 1);
  return LotBuilder("roads at a bend of " + Num(bend * 180 / KelAngle::Pi) + " deg, " + Num(w) + " x " + Num(h) +
                    ", road " + Num(road))
      .Corner(0, 0, R, road).Corner(w, 0, R, road).Corner(w + next * std::cos(bend), next * std::sin(bend))
      .Corner(0, h).Done();
}

// Side `side` of the listing surveyed: points every 1 mm to 10 cm, each off
// its line by up to a scatter of 0 to 1 mm either way, between its listed
// points along the whole side or, where that would list more than
// kDensePoints, along a stretch of that many from one of its ends (a case
// stays quick, however long the side or however many points it already
// lists; beyond the stretch the side keeps its own listing).
inline constexpr int kDensePoints = 200;
inline Change DenseSurvey(const Lot& lot, int side, Rng& rng)
{
  const double pitch = LogUniform(rng, 0.001, 0.1);
  const double scatter = Coin(rng, 0.2) ? 0.0 : LogUniform(rng, 1e-9, KelTol::SiteOnLine);
  const bool fromEnd = Coin(rng);
  const std::size_t m = lot.m_Corners.size();
  const CKelCoord2D& from = lot.m_Corners[static_cast<std::size_t>(fromEnd ? (side + 1) % static_cast<int>(m) : side)];
  const double reach = kDensePoints * pitch;
  Listing out;
  for (std::size_t e = 0; e < lot.m_Listing.size(); ++e) {
    const Pt& at = lot.m_Listing[e];
    out.push_back(at);
    if (at.m_Side != side)
      continue;
    const CKelCoord2D& a = at.m_P;
    const CKelCoord2D& b = lot.m_Listing[(e + 1) % lot.m_Listing.size()].m_P;
    const double len = a.GetLength(b);
    for (int j = 1; j * pitch < len - pitch / 2; ++j) {
      const CKelCoord2D p = Along(a, b, j * pitch, Uniform(rng, -scatter, scatter));
      if (p.GetLength(from) < reach)
        out.push_back({p, side});
    }
  }
  return {ChangeKind::Surveyed, "side " + std::to_string(side) + " surveyed every " + Num(pitch) + ", scatter " +
                                    Num(scatter),
          out, scatter};
}

// What a change of size s may move a reading of a lot of diameter d by: its
// departure at the survey's scale, 1e-6 d + 20 s for points and
// 1e-6 d^2 + 2 d s for areas (times the blocks' 10 m height for volumes).
// A corner the survey may read anywhere within `slide` along its sides
// (CornerSlide) moves the readings by as much: 2 slide for points,
// 2 d slide for areas.
inline std::string DenseJudge(const Readings& clean, const Readings& got, double d, double s, double slide)
{
  static const char* const forms[] = {"half cuts", "vertical cuts", "check points", "radial volumes",
                                      "radial points"};
  for (std::size_t f = 0; f < clean.size(); ++f) {
    if (clean[f].size() != got[f].size())
      return std::string(forms[f]) + ": " + std::to_string(got[f].size()) + " values for " +
             std::to_string(clean[f].size());
    const bool points = f == 2 || f == 4;
    const double tol = points ? 1e-6 * std::max(1.0, d) + 20 * s + 2 * slide
                              : 10 * (1e-6 * std::max(1.0, d * d) + 2 * d * (s + slide));
    for (std::size_t j = 0; j < clean[f].size(); ++j) {
      if (!(std::fabs(clean[f][j] - got[f][j]) <= tol + 1e-6 * std::fabs(clean[f][j])))
        return std::string(forms[f]) + " value " + std::to_string(j) + ": " + Num(got[f][j]) + " for " +
               Num(clean[f][j]) + " (within " + Num(tol) + ")";
    }
  }
  return {};
}

// How far along its sides the survey may read corner k of the lot: where
// the sides beside it are of one kind, so nothing but their bend tells them
// apart, a listed point within (SiteOnLine + scatter) / sin(turn) of the
// corner lies within the on-line distance of both sides' lines. The work
// outline puts such a corner where the lines fitted to the two whole sides
// cross, which holds it to the scatter's share (none is allowed for here)
// at a bend it pins (KelTol::SitePinnedSlide) while the scatter stays
// within half the on-line distance, where both sides list points of their
// own (beside a side listed by its ends alone the corner stays as listed,
// and a listed point near it may be read on either side); beyond that,
// points of the side lie off the chord between its scattered ends by more
// than the distance, the side is read in pieces, and which listed point
// the corner is stays the survey's to say (at a bend of 2 degrees, up to
// 6 cm along). Zero where the kind changes at the corner.
inline double CornerSlide(const Lot& lot, const Listing& listing, int k, double scatter)
{
  const int m = static_cast<int>(lot.m_Corners.size());
  const auto at = [&](int j) { return static_cast<std::size_t>(((j % m) + m) % m); };
  if (lot.m_Sides[at(k - 1)].m_Kind != lot.m_Sides[at(k)].m_Kind)
    return 0;
  const CKelCoord2D &p = lot.m_Corners[at(k - 1)], &q = lot.m_Corners[at(k)], &r = lot.m_Corners[at(k + 1)];
  const double cross = (q.m_x - p.m_x) * (r.m_y - q.m_y) - (q.m_y - p.m_y) * (r.m_x - q.m_x);
  const double sine = std::fabs(cross) / (p.GetLength(q) * q.GetLength(r));
  const auto listsOwn = [&](int j) {
    return std::any_of(listing.begin(), listing.end(), [&](const Pt& t) {
      return static_cast<std::size_t>(t.m_Side) == at(j) && t.m_P.GetLength(lot.m_Corners[at(j)]) > 0;
    });
  };
  if (scatter <= KelTol::SiteOnLine / 2 && KelTol::SiteOnLine < KelTol::SitePinnedSlide * sine && listsOwn(k - 1) &&
      listsOwn(k))
    return 0;
  return sine > 0 ? (KelTol::SiteOnLine + scatter) / sine : std::numeric_limits<double>::infinity();
}

// The half-cut and vertical-cut volumes of the lot's block (its outline,
// 10 m high) checked along side `side`, from the corners alone: the half
// cut at each end is the bisector of the corner between the side and the
// nearest side that is no corner cut, keeping the half with the side's
// other end; both forms keep what lies square between the side's ends (the
// base line's cuts), and the vertical cut adds nothing at a corner that
// turns into the lot. None where the model does not hold: a tapering road
// (its base line is not parallel to the side), a vertical cut at a reflex
// corner, sides that may join the checked one's run (arcs, bent frontages).
inline std::array<std::optional<double>, 2> ModelCuts(const Lot& lot, int side)
{
  const int m = static_cast<int>(lot.m_Corners.size());
  const auto at = [&](int k) { return static_cast<std::size_t>(((k % m) + m) % m); };
  const Side& own = lot.m_Sides[at(side)];
  if (own.m_W1 != own.m_W2 || lot.m_Name.rfind("arc", 0) == 0 || lot.m_Name.rfind("bent", 0) == 0)
    return {};
  int before = side - 1, after = side + 1;
  while (lot.m_Sides[at(before)].m_Kind == SideKind::Cut)
    --before;
  while (lot.m_Sides[at(after)].m_Kind == SideKind::Cut)
    ++after;
  const auto unit = [&](int k) {
    const CKelCoord2D &a = lot.m_Corners[at(k)], &b = lot.m_Corners[at(k + 1)];
    const double len = a.GetLength(b);
    return std::array<double, 2>{(b.m_x - a.m_x) / len, (b.m_y - a.m_y) / len};
  };
  const auto u = unit(side), p = unit(before), q = unit(after);
  const CKelCoord2D &beg = lot.m_Corners[at(side)], &end = lot.m_Corners[at(side + 1)];
  // Square to the side at both ends, towards the other.
  using slant_model::KeepRight;
  std::vector<CKelCoord2D> slab = KeepRight(lot.m_Corners, beg, -u[1], u[0]);
  slab = KeepRight(slab, end, u[1], -u[0]);
  // The bisectors: the sum of the two sides' inward normals.
  std::vector<CKelCoord2D> half = KeepRight(slab, beg, -p[1] - u[1], p[0] + u[0]);
  half = KeepRight(half, end, u[1] + q[1], -u[0] - q[0]);
  const bool convex = p[0] * u[1] - p[1] * u[0] > 0 && u[0] * q[1] - u[1] * q[0] > 0;
  return {10 * slant_model::Area(half), convex ? std::optional<double>(10 * slant_model::Area(slab)) : std::nullopt};
}

struct Case {
  std::string m_Lot, m_Change, m_Placement, m_Listing;
  int m_Side = -1;
  std::string m_Violation;  // empty when the invariant holds
  // What the reading was judged against: "clean", "other copy" (a repeated
  // corner read at its other copy, OtherCopyLot) or "itself" (at the origin,
  // TellsPointFromCorners).
  std::string m_Against = "clean";
  std::string Text() const
  {
    return m_Lot + ", side " + std::to_string(m_Side) + ", " + m_Change + ", " + m_Placement + ": " + m_Violation +
           "\n  listing: " + m_Listing;
  }
};

// The widened cases of a seed (a stream of its own): the seed's lot or a lot
// of roads at a bend, its road side judged clean against the half-plane
// model, then with one of its sides surveyed densely, at a placement drawn,
// against the clean reading at the origin.
inline void Widened(std::uint64_t seed, std::vector<Case>& cases)
{
  Rng rng(seed ^ 0x9e3779b97f4a7c15ULL);
  Rng own(seed);
  const Lot lot = Coin(rng) ? BendLot(rng) : MakeLot(own);
  const std::vector<Placement> places = Placements(rng);
  std::vector<int> roads;
  for (std::size_t s = 0; s < lot.m_Sides.size(); ++s) {
    if (lot.m_Sides[s].m_Kind == SideKind::Road)
      roads.push_back(static_cast<int>(s));
  }
  if (roads.empty())
    return;
  const int side = roads[static_cast<std::size_t>(Pick(rng, static_cast<int>(roads.size())))];
  const Readings clean = Read(lot, lot.m_Listing, places.front(), side, false);
  Case model{lot.m_Name, "clean", places.front().m_Name, Describe(lot.m_Listing), side, {}, "half-plane model"};
  const std::array<std::optional<double>, 2> cuts = ModelCuts(lot, side);
  for (std::size_t f = 0; f < cuts.size() && model.m_Violation.empty(); ++f) {
    if (!cuts[f])
      continue;
    const double want = *cuts[f];
    if (clean[f].size() != 1 || !(std::fabs(clean[f][0] - want) <= 1e-6 * std::max(1.0, std::fabs(want))))
      model.m_Violation = std::string(f == 0 ? "half cuts " : "vertical cuts ") +
                          (clean[f].empty() ? std::string("none") : Num(clean[f][0])) + " for " + Num(want);
  }
  if (cuts[0] || cuts[1])
    cases.push_back(model);
  const int surveyed = Coin(rng) ? side : Pick(rng, static_cast<int>(lot.m_Sides.size()));
  const Change change = DenseSurvey(lot, surveyed, rng);
  const Placement& at = places[static_cast<std::size_t>(Pick(rng, static_cast<int>(places.size())))];
  const bool lastPiece = surveyed == side && Coin(rng);
  const std::size_t m = lot.m_Corners.size();
  const CKelCoord2D& a = lot.m_Corners[static_cast<std::size_t>(surveyed)];
  const CKelCoord2D& b = lot.m_Corners[(static_cast<std::size_t>(surveyed) + 1) % m];
  const double slideA = CornerSlide(lot, change.m_Listing, surveyed, change.m_Size);
  const double slideB = CornerSlide(lot, change.m_Listing, surveyed + 1, change.m_Size);
  // The checked side's end piece read as part of the side beside it, where
  // the corner between them slides past a listed point, is a check of that
  // side: no reading of this one to judge (either end, as a mirror image
  // checks the other).
  if (surveyed == side) {
    for (const Pt& q : change.m_Listing) {
      if (q.m_Side == surveyed && ((q.m_P.GetLength(a) > 0 && q.m_P.GetLength(a) <= slideA) ||
                                   (q.m_P.GetLength(b) > 0 && q.m_P.GetLength(b) <= slideB)))
        return;
    }
  }
  Case c{lot.m_Name, change.m_Name + (lastPiece ? ", its last piece checked" : ""), at.m_Name,
         Describe(change.m_Listing), side, {}};
  c.m_Violation = DenseJudge(clean, Read(lot, change.m_Listing, at, side, lastPiece), lot.Diameter(), change.m_Size,
                             std::max(slideA, slideB));
  cases.push_back(c);
}

// The clean lot's half cuts of a side with a stretch a reader may join at a
// corner, against the model of each way its corners may be read: the
// reading must be one of them.
inline void JudgeJoinedByModel(const Lot& lot, int side, std::vector<Case>& cases)
{
  const auto readings = JoinedReadings(lot, side);
  if (!readings)
    return;
  const CKelCoord2D& a = lot.m_Corners[static_cast<std::size_t>(side)];
  const CKelCoord2D& b = lot.m_Corners[(static_cast<std::size_t>(side) + 1) % lot.m_Corners.size()];
  const CheckedPart part = CheckPart(lot, lot.m_Listing, side, a, b, false, [](CSyasenCheckCalcKind& kind) {
    kind.m_BegCutKind = kind.m_EndCutKind = 1;
  });
  if (!part.m_Made)
    return;
  ModelReading nearest{part.m_Volume, std::numeric_limits<double>::infinity()};
  for (const std::vector<CKelCoord2D>& atBeg : (*readings)[0]) {
    for (const std::vector<CKelCoord2D>& atEnd : (*readings)[1]) {
      const double model =
          10 * slant_model::HalfCutArea(atBeg, part.m_Outline, a, b, part.m_Line.m_Cos, part.m_Line.m_Sin, &atEnd);
      if (std::fabs(model - nearest.m_Got) < std::fabs(nearest.m_Model - nearest.m_Got))
        nearest.m_Model = model;
    }
  }
  Case c{lot.m_Name, "clean, against the model of its corners read joined or not", "origin", Describe(lot.m_Listing),
         side, {}, "model"};
  c.m_Violation = JudgeModel(nearest, 1e-9);
  cases.push_back(c);
}

// The clean lot's half cuts, and the checked side bent at a joint inside
// it, each part checked on its own, against the model (the bend's draws
// from their own generator, so the seed's other cases stay as they were).
inline void JudgeByModel(const Lot& lot, int side, std::uint64_t seed, std::vector<Case>& cases)
{
  if (!ModelReads(lot, side)) {
    JudgeJoinedByModel(lot, side, cases);
    return;
  }
  const std::size_t m = lot.m_Corners.size();
  const CKelCoord2D& a = lot.m_Corners[static_cast<std::size_t>(side)];
  const CKelCoord2D& b = lot.m_Corners[(static_cast<std::size_t>(side) + 1) % m];
  Case clean{lot.m_Name, "clean, against the model", "origin", Describe(lot.m_Listing), side, {}, "model"};
  clean.m_Violation = JudgeModel(ReadHalfCuts(lot, lot.m_Listing, side, a, b, false), 1e-9);
  cases.push_back(clean);
  Rng rng(seed ^ 0x5eedbe17ULL);
  const double len = a.GetLength(b), t = Uniform(rng, 0.25, 0.75);
  const double turn = LogUniform(rng, 0.05, 5) * (Coin(rng) ? 1 : -1) * KelAngle::Pi / 180;
  // The joint's offset that turns the side by `turn` there.
  const double off = std::tan(turn) / (1 / (t * len) + 1 / ((1 - t) * len));
  const CKelCoord2D joint = Along(a, b, t * len, off);
  // A side between chords of an arc turning a few degrees at each corner
  // takes a bend of that order as another of the arc's even joints, which
  // the model, reading straight sides, cannot tell.
  const auto turnAt = [&](std::size_t k) {
    const CKelCoord2D& p = lot.m_Corners[(k + m - 1) % m];
    const CKelCoord2D& q = lot.m_Corners[k];
    const CKelCoord2D& r = lot.m_Corners[(k + 1) % m];
    const double cross = (q.m_x - p.m_x) * (r.m_y - q.m_y) - (q.m_y - p.m_y) * (r.m_x - q.m_x);
    const double dot = (q.m_x - p.m_x) * (r.m_x - q.m_x) + (q.m_y - p.m_y) * (r.m_y - q.m_y);
    return std::fabs(std::atan2(cross, dot));
  };
  const std::size_t s0 = static_cast<std::size_t>(side);
  if (std::min(turnAt(s0), turnAt((s0 + 1) % m)) < 10 * KelAngle::Pi / 180)
    return;
  Listing bent = lot.m_Listing;
  const auto at = std::find_if(bent.begin(), bent.end(), [side](const Pt& q) { return q.m_Side == side; });
  if (at == bent.end() || std::any_of(at + 1, bent.end(), [side](const Pt& q) { return q.m_Side == side; }))
    return;  // a side listed with points of its own: left to the changes above
  bent.insert(at + 1, {joint, side});
  // Either side of the tiny size the far corner reads another line: a
  // sagitta about that size is not judged here, nor one within the on-line
  // distance, a point on the side (the changes above judge those).
  const double sagitta = std::fabs(off) / std::hypot(1.0, std::tan(turn) * t / (1 - t));
  if ((sagitta > 0.8 * lot.Tiny() && sagitta < 1.25 * lot.Tiny()) || sagitta <= 2 * KelTol::SiteOnLine)
    return;
  const bool joined = sagitta <= lot.Tiny();
  // The part's vertical cuts, the base line's squares 2 m beyond its ends:
  // at the joint they read its own corner, as a half cut does.
  const auto vertical = [&](const CKelCoord2D& beg, const CKelCoord2D& end, bool ownLine, bool farAtEnd) {
    const CheckedPart part = CheckPart(lot, bent, side, beg, end, ownLine, [](CSyasenCheckCalcKind& kind) {
      kind.m_BegCutKind = kind.m_EndCutKind = 2;
      kind.m_BegBaseKind = kind.m_EndBaseKind = 3;
      kind.m_BegBaseOffset = kind.m_EndBaseOffset = 2;
    });
    ModelReading r;
    if (!part.m_Made)
      return r;
    const std::vector<CKelCoord2D>& outline = part.m_Outline;
    const CRoadLineParam& line = part.m_Line;
    r.m_Got = part.m_Volume;
    const std::vector<CKelCoord2D>& corners = joined ? lot.m_Corners : outline;
    r.m_Model = 10 * (farAtEnd ? slant_model::VertCutArea(outline, outline, beg, end, line.m_Cos, line.m_Sin, 2, 2, &corners)
                               : slant_model::VertCutArea(corners, outline, beg, end, line.m_Cos, line.m_Sin, 2, 2, &outline));
    return r;
  };
  for (const bool first : {true, false}) {
    const std::string part = "side bent " + Num(turn * 180 / KelAngle::Pi) + " degrees at " + Num(t) +
                             (first ? ", first" : ", second") + " part";
    Case c{lot.m_Name, part, "origin", Describe(bent), side, {}, "model"};
    const ModelReading r = first ? ReadHalfCuts(lot, bent, side, a, joint, !first, joined, false)
                                 : ReadHalfCuts(lot, bent, side, joint, b, !first, joined, true);
    c.m_Violation = JudgeModel(r, 0.01);
    cases.push_back(c);
    Case v{lot.m_Name, part + ", vertical cuts", "origin", Describe(bent), side, {}, "model"};
    const ModelReading w = first ? vertical(a, joint, !first, false) : vertical(joint, b, !first, true);
    v.m_Violation = JudgeModel(w, 0.01, "vertical cuts");
    cases.push_back(v);
  }
}

// One lot of the seed: a road side checked clean at every placement, then
// `changes` changes each at a placement drawn from them.
inline std::vector<Case> Sweep(std::uint64_t seed, int changes)
{
  Rng rng(seed);
  const Lot lot = MakeLot(rng);
  const std::vector<Placement> places = Placements(rng);
  std::vector<int> roads;
  for (std::size_t s = 0; s < lot.m_Sides.size(); ++s) {
    if (lot.m_Sides[s].m_Kind == SideKind::Road)
      roads.push_back(static_cast<int>(s));
  }
  std::vector<Case> cases;
  if (roads.empty())
    return cases;
  const int side = roads[static_cast<std::size_t>(Pick(rng, static_cast<int>(roads.size())))];
  const Readings clean = Read(lot, lot.m_Listing, places.front(), side, false);
  // A listing that does not tell a point from a corner is judged against its
  // own reading at the origin, mirrored as it is: steady wherever it lies. A
  // near-repeat of a corner inside one side may read as either copy's lot.
  int readings = 0;
  const auto judge = [&](const Change& change, const Placement& at, bool lastPiece, bool told = true) {
    Case c{lot.m_Name, change.m_Name, at.m_Name, Describe(change.m_Listing), side, {}};
    const Placement home{at.m_Mirror ? "mirrored" : "origin", 0, 0, 0, at.m_Mirror};
    if (!told)
      c.m_Against = "itself";
    // The piece after a point put exactly on a side that is a run of its
    // own has the run's line for its own; elsewhere the piece's own line may be another line (a
    // point off the side tilts it, a run of chords is read along its
    // chord), and the base line's squares with it.
    const bool ownLine =
        ++readings % 2 == 0 && change.m_Kind == ChangeKind::OnSide && change.m_Size == 0 && ModelReads(lot, side);
    if (ownLine)
      c.m_Change += " (the edge's own base line)";
    const Readings against = told ? clean : Read(lot, change.m_Listing, home, side, lastPiece);
    const Readings got = Read(lot, change.m_Listing, at, side, lastPiece, ownLine);
    c.m_Violation = Judge(against, got, lot.Diameter());
    const std::optional<Listing> other =
        change.m_Kind == ChangeKind::NearRepeat ? OtherCopyLot(lot, change.m_Listing) : std::nullopt;
    if (!c.m_Violation.empty() && other &&
        Judge(Read(lot, *other, places.front(), side, lastPiece), got, lot.Diameter()).empty()) {
      c.m_Violation.clear();
      c.m_Against = "other copy";
    }
    cases.push_back(c);
  };
  for (const Placement& at : places)
    judge({ChangeKind::None, "clean", lot.m_Listing, 0}, at, false);
  const ChangeKind kinds[] = {ChangeKind::Start, ChangeKind::Reverse, ChangeKind::NearRepeat, ChangeKind::OnSide};
  for (int k = 0; k < changes; ++k) {
    const ChangeKind kind = kinds[Pick(rng, 4)];
    const Placement& at = places[static_cast<std::size_t>(Pick(rng, static_cast<int>(places.size())))];
    // A point on the checked side, checked through the piece after it, or
    // on any side of the lot.
    const bool own = Coin(rng);
    const int onSide = own ? side : Pick(rng, static_cast<int>(lot.m_Sides.size()));
    if (kind == ChangeKind::OnSide) {
      const PointChange point = PointOnSide(lot, onSide, kOnSideMost, rng);
      judge(point.m_Change, at, onSide == side, point.m_Told);
    } else
      judge(MakeChange(lot, kind, rng), at, false);
  }
  JudgeByModel(lot, side, seed, cases);
  Widened(seed, cases);
  return cases;
}

}  // namespace slant_sweep
