// Cutting a block by a plane A x + B y + C z + D = 0 and by the level z = h.
//
// Every cut first divides the plan outline along the line where the cutting
// plane meets the block's top or bottom face, so that each piece's face lies
// on one side of the plane; then heights are clipped or whole pieces dropped.
//
// Which side a piece lies on is read from its vertices off the dividing line:
// Divide snaps vertices within KelTol::BlockPoint onto the line, moving them
// in plan but not in height, so on a steep face they carry up to BlockPoint
// times the slope in height. A piece that still shows both sides is left as
// it is rather than clipped wrongly.

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "CKelBlockCube.h"
#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

struct CutPlane {
  double A = 0;
  double B = 0;
  double C = 0;
  double D = 0;
  double HeightAt(const CKelCoord2D& p) const { return -(A * p.m_x + B * p.m_y + D) / C; }
};

struct Line {
  CKelCoord2D p1;
  CKelCoord2D p2;
};

struct Sides {
  bool above = false;
  bool below = false;
};

// Classifies a vertex: 1 above, -1 below, 0 on the plane or level.
using Classifier = std::function<int(const CKelBlockCoord&)>;

bool OnLine(const std::optional<Line>& line, const CKelCoord2D& p)
{
  return line && std::fabs(KelEdge::Measure(line->p1, line->p2, p).h) < KelTol::BlockPoint;
}

Sides SidesOf(const CKelBlockCube& piece, const std::optional<Line>& line, const Classifier& classify)
{
  const bool anyOff = std::any_of(piece.m_Coord.begin(), piece.m_Coord.end(),
                                  [&](const CKelBlockCoord& c) { return !OnLine(line, c); });
  Sides sides;
  for (const CKelBlockCoord& c : piece.m_Coord) {
    if (anyOff && OnLine(line, c))
      continue;
    const int side = classify(c);
    sides.above = sides.above || side > 0;
    sides.below = sides.below || side < 0;
  }
  return sides;
}

// The line where the plane meets the top (or bottom) face, through the first
// meeting point found and the one farthest from it (the first and last found
// coincide when the face touches the plane at the closing vertex).
std::optional<Line> MeetingLine(const CKelBlockCube& block, const CutPlane& plane, bool top)
{
  const double T = KelTol::BlockPoint;
  std::vector<CKelCoord2D> points;
  const int n = block.GetSize();
  for (int k = 0; k < n; ++k) {
    const CKelBlockCoord& a = block.m_Coord[static_cast<std::size_t>(block.PrevPos(k))];
    const CKelBlockCoord& b = block.m_Coord[static_cast<std::size_t>(k)];
    const double ha = top ? a.m_z : a.m_zL;
    const double hb = top ? b.m_z : b.m_zL;
    const double e1 = plane.HeightAt(a) - ha;
    const double e2 = plane.HeightAt(b) - hb;
    // No meeting on the edge, or the edge lies in the plane.
    if ((e1 >= T && e2 >= T) || (e1 <= -T && e2 <= -T) || (std::fabs(e1) < T && std::fabs(e2) < T))
      continue;
    const double denominator = (plane.HeightAt(b) - plane.HeightAt(a)) - (hb - ha);
    if (denominator == 0)
      continue;
    const double t = (ha - plane.HeightAt(a)) / denominator;
    if (!(t >= 0 && t <= 1))
      continue;
    points.push_back(a.GetCoord(b, t));
  }
  if (points.size() < 2)
    return std::nullopt;
  const auto farthest = std::max_element(points.begin(), points.end(), [&](const CKelCoord2D& x, const CKelCoord2D& y) {
    return length_2point(points.front(), x) < length_2point(points.front(), y);
  });
  if (length_2point(points.front(), *farthest) < T)
    return std::nullopt;
  return Line{points.front(), *farthest};
}

std::optional<Line> LevelLine(const CKelBlockCube& block, bool bottom, double h)
{
  CKelCoord3D p;
  CKelCoord3D q;
  if (!LineEquatinFromPlanes(block.PlaneA(bottom), block.PlaneB(bottom), block.PlaneC(bottom), block.PlaneD(bottom),
                             0, 0, 1, -h, &p, &q))
    return std::nullopt;
  return Line{p, q};
}

void Refit(CKelBlockCube& block)
{
  block.SetType();
  block.GetPlaneEquation(false);
  block.GetPlaneEquation(true);
}

// Replaces the block at index by pieces, each inserted at the index in turn
// (so they stand in reverse order); the index after them.
std::size_t ReplaceReversed(CKelBlockCubeList& list, std::size_t index, const CKelBlockCubeList& pieces)
{
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
  for (const CKelBlockCube& piece : pieces)
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), piece);
  return index + pieces.size();
}

// 1 when the height lies above the plane at its vertex, -1 below, 0 within
// KelTol::BlockPoint of it.
int SideOfPlane(const CutPlane& plane, const CKelCoord2D& p, double height)
{
  const double d = plane.HeightAt(p) - height;
  return d <= -KelTol::BlockPoint ? 1 : (d >= KelTol::BlockPoint ? -1 : 0);
}

// One pass of a plane cut over the blocks from first: a block wholly on the
// clip side (1 above, -1 below, 0 none) has its heights set by clip and is
// refitted; one wholly on the drop side is erased; any other stays.
void ClipPass(CKelBlockCubeList& out, std::size_t first, const CPrfPlanParam* prf, const std::optional<Line>& line,
              const Classifier& side, int clipSide, int dropSide,
              const std::function<void(CKelBlockCoord&, const CPrfPlanItem*)>& clip)
{
  for (std::size_t k = first; k < out.size();) {
    CKelBlockCube& block = out[k];
    const Sides sides = SidesOf(block, line, side);
    const int only = sides.above == sides.below ? 0 : (sides.above ? 1 : -1);
    if (only != 0 && only == dropSide) {
      out.erase(out.begin() + static_cast<std::ptrdiff_t>(k));
      continue;
    }
    if (only != 0 && only == clipSide) {
      const CPrfPlanItem* item = prf != nullptr ? prf->GetCurProf(block.PpNo()) : nullptr;
      for (CKelBlockCoord& c : block.m_Coord)
        clip(c, item);
      Refit(block);
    }
    ++k;
  }
}

}  // namespace

// --- General planes ---------------------------------------------------------------------

void CKelBlockCube::CutByPlane2(const CPrfPlanParam* prf, double A, double B, double C, double D, bool top,
                                CKelBlockCubeList& out) const
{
  if (IsDegenerate() || C == 0)
    return;
  if (const std::optional<Line> line = MeetingLine(*this, CutPlane{A, B, C, D}, top))
    (void)Divide(prf, line->p1, line->p2, out, DEL_NONE);  // a failed division adds nothing: uncut
}

void CKelBlockCube::CutByPlane1(const CPrfPlanParam* prf, double A, double B, double C, double D, bool lower,
                                CKelBlockCubeList& out) const
{
  const std::size_t first = out.size();
  if (IsDegenerate() || C == 0) {
    out.push_back(*this);
    return;
  }
  const CutPlane plane{A, B, C, D};
  const std::optional<Line> topLine = MeetingLine(*this, plane, true);
  const std::optional<Line> botLine = MeetingLine(*this, plane, false);

  // 1, 2. Divide along the top's meeting line, then every piece along the bottom's.
  CutByPlane2(prf, A, B, C, D, true, out);
  if (out.size() == first)
    out.push_back(*this);
  for (std::size_t k = first; k < out.size();) {
    CKelBlockCubeList pieces;
    out[k].CutByPlane2(prf, A, B, C, D, false, pieces);
    k = pieces.empty() ? k + 1 : ReplaceReversed(out, k, pieces);
  }

  // 3. Tops: above the plane when zp - z <= -T, below when >= T. Keeping the
  // lower part clips tops above to the plane and drops pieces below it.
  ClipPass(out, first, prf, topLine, [&](const CKelBlockCoord& c) { return SideOfPlane(plane, c, c.m_z); },
           lower ? 1 : 0, lower ? 0 : -1, [&](CKelBlockCoord& c, const CPrfPlanItem* item) {
             c.SetZH(plane.HeightAt(c), item);
           });
  // 4. Bottoms: keeping the upper part clips bottoms below to the plane and
  // drops pieces above it.
  ClipPass(out, first, prf, botLine, [&](const CKelBlockCoord& c) { return SideOfPlane(plane, c, c.m_zL); },
           lower ? 0 : -1, lower ? 1 : 0, [&](CKelBlockCoord& c, const CPrfPlanItem* item) {
             c.SetZL(plane.HeightAt(c), item);
           });
}

bool CKelBlockCube::CutCrossLine(const CPrfPlanParam* prf, const CKelBlockCube* other, CKelBlockCubeList& out) const
{
  if (other == nullptr || IsDegenerate())
    return false;
  CKelCoord3D p;
  CKelCoord3D q;
  if (!LineEquatinFromPlanes(m_Top[0], m_Top[1], m_Top[2], m_Top[3], other->m_Top[0], other->m_Top[1],
                             other->m_Top[2], other->m_Top[3], &p, &q))
    return false;
  return Divide(prf, p, q, out, DEL_NONE);
}

// --- Levels -------------------------------------------------------------------------------

void CKelBlockCube::CutAtLevel(const CPrfPlanParam* prf, double h, bool bottom, CKelBlockCubeList& out,
                               bool dropUpper, bool dropLower) const
{
  out.clear();
  if (IsDegenerate()) {
    out.push_back(*this);
    return;
  }
  const std::optional<Line> line = LevelLine(*this, bottom, h);
  if (!line || !Divide(prf, line->p1, line->p2, out, DEL_NONE)) {
    out.clear();
    out.push_back(*this);
  }
  // A sloped top is cut with the coarser KelTol::BlockLevelCut (its level
  // line comes from a fitted plane), a bottom with BlockPoint inclusive.
  const Classifier side = [&](const CKelBlockCoord& c) {
    if (!bottom)
      return c.m_z - h > KelTol::BlockLevelCut ? 1 : (c.m_z - h < -KelTol::BlockLevelCut ? -1 : 0);
    const double d = c.m_zL - h;
    return d >= KelTol::BlockPoint ? 1 : (d <= -KelTol::BlockPoint ? -1 : 0);
  };
  std::erase_if(out, [&](const CKelBlockCube& piece) {
    const Sides sides = SidesOf(piece, line, side);
    // A piece at the level everywhere, or still on both sides, stays.
    if (sides.above == sides.below)
      return false;
    return sides.above ? dropUpper : dropLower;
  });
}

void CKelBlockCube::CutTopSlope(const CPrfPlanParam* prf, double h, CKelBlockCubeList& out, bool dropUpper,
                                bool dropLower) const
{
  CutAtLevel(prf, h, false, out, dropUpper, dropLower);
}

void CKelBlockCube::CutBotSlope(const CPrfPlanParam* prf, double h, CKelBlockCubeList& out, bool dropUpper,
                                bool dropLower) const
{
  CutAtLevel(prf, h, true, out, dropUpper, dropLower);
}

namespace {

// Steps 1 to 3 of the whole-block level cuts: sloped tops, then sloped
// bottoms, divided where they cross h, each block replaced at its place.
CKelBlockCubeList SlopesDividedAt(const CKelBlockCube& block, const CPrfPlanParam* prf, double h)
{
  CKelBlockCubeList list{block};
  for (bool bottom : {false, true}) {
    for (std::size_t i = list.size(); i-- > 0;) {
      if (!(bottom ? list[i].IsBotSlope() : list[i].IsTopSlope()))
        continue;
      CKelBlockCubeList pieces;
      if (bottom)
        list[i].CutBotSlope(prf, h, pieces, false, false);
      else
        list[i].CutTopSlope(prf, h, pieces, false, false);
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
      list.insert(list.begin() + static_cast<std::ptrdiff_t>(i), pieces.begin(), pieces.end());
    }
  }
  return list;
}

bool AnyTop(const CKelBlockCube& b, const std::function<bool(double)>& test)
{
  return std::any_of(b.m_Coord.begin(), b.m_Coord.end(), [&](const CKelBlockCoord& c) { return test(c.m_z); });
}

bool AnyBottom(const CKelBlockCube& b, const std::function<bool(double)>& test)
{
  return std::any_of(b.m_Coord.begin(), b.m_Coord.end(), [&](const CKelBlockCoord& c) { return test(c.m_zL); });
}

void SetBottomsAtLeast(CKelBlockCube& b, const CPrfPlanParam* prf, double h)
{
  const CPrfPlanItem* item = prf != nullptr ? prf->GetCurProf(b.PpNo()) : nullptr;
  for (CKelBlockCoord& c : b.m_Coord)
    c.SetZL(std::max(c.m_zL, h), item);
}

void SetTopsAtMost(CKelBlockCube& b, const CPrfPlanParam* prf, double h)
{
  const CPrfPlanItem* item = prf != nullptr ? prf->GetCurProf(b.PpNo()) : nullptr;
  for (CKelBlockCoord& c : b.m_Coord)
    c.SetZH(std::min(c.m_z, h), item);
}

}  // namespace

CKelBlockCubeList CKelBlockCube::CutBlock(const CPrfPlanParam* prf, double h, bool dropUpper, bool dropLower) const
{
  if (IsDegenerate())
    return {*this};
  return GetCutHorzPlane(prf, dropUpper, dropLower, h);
}

CKelBlockCubeList CKelBlockCube::GetCutHorzPlane(const CPrfPlanParam* prf, bool dropUpper, bool dropLower,
                                                 double h) const
{
  const double T = KelTol::BlockPoint;
  const CKelBlockCubeList list = SlopesDividedAt(*this, prf, h);
  CKelBlockCubeList result;
  for (std::size_t i = list.size(); i-- > 0;) {
    CKelBlockCube upper = list[i];
    CKelBlockCube lower = list[i];
    const bool upperCounts = !dropUpper && AnyTop(upper, [&](double z) { return z >= h + T; });
    const bool lowerCounts = !dropLower && AnyBottom(lower, [&](double zL) { return zL <= h - T; });
    if (upperCounts) {
      SetBottomsAtLeast(upper, prf, h);
      Refit(upper);
      result.push_back(std::move(upper));
    }
    if (lowerCounts) {
      SetTopsAtMost(lower, prf, h);
      Refit(lower);
      result.push_back(std::move(lower));
    }
  }
  return result;
}

CKelBlockCubeList CKelBlockCube::CutPlaneBlock(const CPrfPlanParam* prf, double h, int dropUpper,
                                               int dropLower) const
{
  if (IsDegenerate())
    return {*this};
  const double tol = KelTol::BlockLevelCut;
  const CKelBlockCubeList list = SlopesDividedAt(*this, prf, h);
  CKelBlockCubeList result;
  for (std::size_t i = list.size(); i-- > 0;) {
    const CKelBlockCube& block = list[i];
    const bool topAbove = AnyTop(block, [&](double z) { return z > h + tol; });
    const bool bottomAbove = AnyBottom(block, [&](double zL) { return zL > h + tol; });
    const bool bottomBelow = AnyBottom(block, [&](double zL) { return zL < h - tol; });
    if (dropUpper == 0 && topAbove) {
      CKelBlockCube upper = block;
      if (!bottomAbove)
        SetBottomsAtLeast(upper, prf, h);
      Refit(upper);
      result.push_back(std::move(upper));
    }
    if (dropLower == 0 && bottomBelow) {
      CKelBlockCube lower = block;
      if (topAbove)
        SetTopsAtMost(lower, prf, h);
      Refit(lower);
      result.push_back(std::move(lower));
    }
  }
  return result;
}
