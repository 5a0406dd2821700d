#include "CSphereRatioBlock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>
#include <utility>

#include "CKelArchiveCore.h"
#include "CKelBlockCubeArray.h"
#include "CKelFileIO.h"
#include "KelGeometry.h"
#include "CKelProgressCore.h"
#include "CSphereA.h"
#include "CSphereBlkDataArrayNew.h"
#include "KelGeometry.h"
#include "KelList.h"
#include "KelRecord.h"
#include "KelTolerance.h"

namespace {

constexpr double kPi = KelAngle::Pi;
// Azimuths beyond this (four turns) are reduced before the sector walk.
constexpr double kFarAzimuth = 8 * KelAngle::Pi;
// The projection of the sky factor: orthographic (radius cos e).
constexpr int kOrthographic = 1;
// The fewest record bytes of an outline (number and two empty counts, an
// empty bow list and the area).
constexpr int kMinParamRecord = 4 + 4 + 4 + 4 + 8;

CKelCoord2D Along(const CKelCoord2D& p, double angle)
{
  return CKelCoord2D(p.m_x + std::cos(angle), p.m_y + std::sin(angle));
}

// A block whose every vertex lies this far off a ray's line is one the
// division files whole, as it stands: a hundred times its on-line
// tolerance, far beyond any difference of round-off in measuring the side.
constexpr double kClearOfLine = 100 * KelTol::BlockPoint;

// How far above an edge under it a point lowered by the expansion stays: a
// corner on the edge would leave the outline touching itself, which its
// division into triangles cannot take. It stays a hundredth of the disc's
// identity band above the edge on the chart, and on the disc twice 1e-10
// nearer the centre: near the horizon a step in elevation moves a point
// hardly at all on the disc (1 - cos e), and one standing within the
// division's coincidence distance of the edge would be taken for a corner
// on it. Over the horizon that is 2e-5 of elevation, clear of the identity
// band in which the outline's later steps take a point for a horizon point.
// The share moves by far less than 1e-8.
constexpr double kAboveFloor = KelTol::SkyDisc / 100;
constexpr double kAboveOnDisc = KelTol::SkyClearOnDisc;

double JustAbove(double elevation)
{
  // A chart line run on far past its ends can give any elevation; under the
  // horizon the disc has nothing to keep clear of.
  if (!(elevation >= 0 && elevation <= KelAngle::Pi / 2))
    return elevation + kAboveFloor;
  return std::max(elevation + kAboveFloor, std::acos(std::clamp(std::cos(elevation) - kAboveOnDisc, -1.0, 1.0)));
}

// Over how much azimuth (radians) an edge leaving a point takes over from
// the edge arriving in saying whether the expansion lowers the point. A
// tenth of a milliradian: a projected vertical edge runs along the ray to
// round-off, and edges that turn less than this are hardly ever drawn.
constexpr double kExpandRamp = 1e-4;

// 1 for a block clear of the line on its left, -1 on its right, else 0;
// (c, s) is the line's direction.
int ClearSide(const CKelBlockCube& block, const CKelCoord2D& p1, double c, double s)
{
  int side = 0;
  for (const CKelBlockCoord& v : block.m_Coord) {
    const double h = c * (v.m_y - p1.m_y) - s * (v.m_x - p1.m_x);
    const int here = h >= kClearOfLine ? 1 : (h <= -kClearOfLine ? -1 : 0);
    if (here == 0 || (side != 0 && here != side))
      return 0;
    side = here;
  }
  return side;
}

// The division of the blocks by the line p1 -> p2 into left and right, block
// by block in order as CKelBlockCubeArray::DivideBlock files them. The
// blocks come from an earlier division, so they are normalised already:
// one clear of the line moves to its side (the division would copy it and
// normalise it again, which changes nothing), the others are divided.
void DivideMoving(CKelBlockCubeArray blocks, const CKelCoord2D& p1, const CKelCoord2D& p2,
                  CKelBlockCubeArray& left, CKelBlockCubeArray& right, CKelBlockCube::ChainArea chains)
{
  double c = 1, s = 0, len = 0;
  CalcCosSin(p1, p2, &c, &s, &len);
  const auto append = [](CKelBlockCubeArray& to, CKelBlockCubeArray& from) {
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
  };
  for (CKelBlockCube& block : blocks) {
    const int side = ClearSide(block, p1, c, s);
    if (side != 0) {
      (side > 0 ? left : right).push_back(std::move(block));
      continue;
    }
    CKelBlockCubeArray one, l, r;
    one.push_back(std::move(block));
    one.DivideBlock(nullptr, p1, p2, l, r, chains);
    append(left, l);
    append(right, r);
  }
}

// Far above the round-off of a corner's offset from a line, relative to its
// distance, far below the disc's identity band.
constexpr double kOnLineRoundOff = 1e-12;

// How near (radians, seen from the check point) a corner must stand to a
// dividing line to be joined to it: four times the disc's identity band.
// Divided there, the corner would leave a piece, or a side face, whose ends
// the outline union takes for one point or for points on the line: a piece
// whose tip stood just outside the band itself lost its near face and showed
// the far one (4e-5 of sky from a 1e-9 m move). Joining moves the share by
// at most the band's wedge, under 1e-6 of the sky.
constexpr double kJoinBand = 4 * KelTol::SkyDisc;

// The division's bands are lengths (KelTol::BlockPoint on and beside a
// line), the joining band an angle: nearer the point than BlockPoint /
// kJoinBand the lengths are the wider, and within a few millimetres of it
// neighbouring sector lines lie within BlockPoint of each other. The sky
// seen from a point is the same when the scene is enlarged about it, so the
// division is made on the blocks enlarged until their nearest edge stands
// that far: by a power of two, which leaves every coordinate exact. Edges
// nearer than the last power's reach are divided at the bands that remain.
constexpr double kBandsAgree = KelTol::BlockPoint / kJoinBand;
constexpr int kMostDoublings = 20;

}  // namespace

double CSphereRatioBlock::DivisionScale(const CKelBlockCubeArray& blocks, const CKelCoord2D& p1)
{
  double nearest = kBandsAgree;
  for (const CKelBlockCube& block : blocks) {
    const std::size_t n = block.m_Coord.size();
    for (std::size_t k = 0; k < n; ++k)
      nearest = std::min(nearest, SegmentDistance(block.m_Coord[k == 0 ? n - 1 : k - 1], block.m_Coord[k], p1));
  }
  double scale = 1;
  for (int d = 0; d < kMostDoublings && !(scale * nearest >= kBandsAgree); ++d)
    scale *= 2;
  return scale;
}

void CSphereRatioBlock::ScaleAbout(CKelBlockCubeArray& blocks, const CKelCoord2D& p1, double scale)
{
  for (CKelBlockCube& block : blocks) {
    for (CKelBlockCoord& v : block.m_Coord) {
      v.m_x = p1.m_x + (v.m_x - p1.m_x) * scale;
      v.m_y = p1.m_y + (v.m_y - p1.m_y) * scale;
    }
    block.SetMinMax();
    block.GetPlaneEquation(false);
    block.GetPlaneEquation(true);
  }
}

// Moves each block corner that lies within kJoinBand of a dividing line
// through p1 (seen from p1) onto the line. Lines at angle + k step degrees,
// k = 0..; step < 1: the line at angle alone.
void CSphereRatioBlock::JoinCornersToLines(CKelBlockCubeArray& blocks, const CKelCoord2D& p1, double angle, int step)
{
  std::vector<CKelCoord2D> directions;
  const int lines = step >= 1 && step < 180 ? (179 / step) + 1 : 1;
  for (int k = 0; k < lines; ++k) {
    const double a = angle + k * step * kPi / 180;
    directions.emplace_back(std::cos(a), std::sin(a));
  }
  for (CKelBlockCube& block : blocks) {
    bool moved = false;
    for (CKelBlockCoord& v : block.m_Coord) {
      const double dx = v.m_x - p1.m_x;
      const double dy = v.m_y - p1.m_y;
      const double rho = std::hypot(dx, dy);
      if (!(rho > KelTol::BlockPoint))
        continue;
      for (const CKelCoord2D& u : directions) {
        const double across = u.m_x * dy - u.m_y * dx;
        // One on the line within round-off the division takes as it is.
        if (std::fabs(across) <= kOnLineRoundOff * rho || std::fabs(across) > kJoinBand * rho)
          continue;
        const double along = u.m_x * dx + u.m_y * dy;
        v.m_x = p1.m_x + along * u.m_x;
        v.m_y = p1.m_y + along * u.m_y;
        moved = true;
        break;
      }
    }
    if (moved) {
      block.SetMinMax();
      block.GetPlaneEquation(false);
      block.GetPlaneEquation(true);
    }
  }
}

bool CSphereRatioBlock::operator==(const CSphereRatioBlock& o) const
{
  return m_Mode == o.m_Mode && m_AngleStep == o.m_AngleStep && m_Block == o.m_Block &&
         m_bMergeFlag == o.m_bMergeFlag && m_FunShape == o.m_FunShape && m_ExpandKind == o.m_ExpandKind &&
         m_bExpandInProjection == o.m_bExpandInProjection && m_DebugPath == o.m_DebugPath && m_Ratio == o.m_Ratio &&
         m_bSide2 == o.m_bSide2;
}

bool CSphereRatioBlockArray::operator==(const CSphereRatioBlockArray& o) const
{
  return KelList::Equal(*this, o);
}

void CSphereRatioBlock::Clear()
{
  m_Block.clear();
  m_FunShape.clear();
  m_Ratio = -1.0;
}

bool CSphereRatioBlock::ExpandsAfterUnion() const
{
  return static_cast<unsigned>(m_ExpandKind) <= 1 && !m_bExpandInProjection;
}

// --- Groups ---------------------------------------------------------------------------------

std::vector<CKelBlockCubeArray> CSphereRatioBlock::DivideBlock(const CKelBlockCubeArray& blocks,
                                                              const CKelCoord3D* chkpnt, double Angle, int step)
{
  const CKelCoord2D p1(chkpnt->m_x, chkpnt->m_y);
  // A block without its planes is not divided: fit them on a copy.
  CKelBlockCubeArray work = blocks;
  for (CKelBlockCube& block : work) {
    if (!block.IsPlaneEuqationSet(false))
      block.GetPlaneEquation(false);
    if (!block.IsPlaneEuqationSet(true))
      block.GetPlaneEquation(true);
  }
  JoinCornersToLines(work, p1, Angle, step);
  const double scale = DivisionScale(work, p1);
  if (scale > 1)
    ScaleAbout(work, p1, scale);
  const auto shrunk = [&](std::vector<CKelBlockCubeArray> groups) {
    for (CKelBlockCubeArray& group : groups) {
      if (scale > 1)
        ScaleAbout(group, p1, 1 / scale);
    }
    return groups;
  };
  // A sliver beside a ray still covers sky: the groups keep every piece
  // that lies off the ray, however small its plan area.
  constexpr CKelBlockCube::ChainArea kChains = CKelBlockCube::ChainArea::kKeepSlivers;
  CKelBlockCubeArray left, right;
  work.DivideBlock(nullptr, p1, Along(p1, Angle), left, right, kChains);
  if (step < 1 || step >= 180)
    return shrunk({right, left});
  std::vector<CKelBlockCubeArray> groups;
  // The blocks left to sweep move on from ray to ray; only those a ray may
  // meet are divided.
  const auto sweep = [&](CKelBlockCubeArray rest, bool rightHalf) {
    for (int a = step; a < 180; a += step) {
      CKelBlockCubeArray l, r;
      DivideMoving(std::move(rest), p1, Along(p1, Angle + a * kPi / 180), l, r, kChains);
      groups.push_back(std::move(rightHalf ? l : r));
      rest = std::move(rightHalf ? r : l);
    }
    groups.push_back(std::move(rest));
  };
  sweep(std::move(right), true);
  sweep(std::move(left), false);
  return shrunk(std::move(groups));
}

// --- Calculation --------------------------------------------------------------------------------

namespace {

CSphereA Projector(const CKelCoord3D& chkpnt, double Angle, bool bMirror, int step)
{
  CSphereA sphere;
  sphere.SetChkPnt(&chkpnt, Angle);
  sphere.m_AngleStep = step;
  sphere.m_Kind = kOrthographic;
  sphere.m_bMirror = bMirror;
  return sphere;
}

}  // namespace

int CSphereRatioBlock::CalcSphereRatio(CKelProgressCore* progress, int nRound, double Angle, bool bMirror,
                                       const CKelBlockCubeArray& blocks, CKelCoord3D chkpnt, double* pRatio,
                                       bool bSansya, const std::vector<int>* /*unused*/)
{
  m_FunShape.clear();
  m_Ratio = -1.0;
  m_Block.clear();
  if (pRatio != nullptr)
    *pRatio = -1.0;
  // Without sectors nothing can be subdivided; in the outline method an
  // expansion by sector leaves chains of face ends only (chords).
  if (m_AngleStep < 1)
    return 1;
  if (!bSansya && static_cast<unsigned>(m_ExpandKind) <= 1)
    return 1;
  // Everything from the division on works in the check point's frame, its
  // origin at the check point: corners on or near a sector line keep their
  // offset from it whatever the model's coordinates and the frame's turn.
  const CKelBlockCubeArray local = Projector(chkpnt, Angle, bMirror, m_AngleStep).ToLocal(blocks);
  const CKelCoord3D origin(0, 0, chkpnt.m_z);
  const int r = bSansya ? CalcSectors(progress, nRound, 0, bMirror, local, origin)
                        : CalcOutlines(progress, 0, bMirror, local, origin);
  if (r != 0)
    return r;
  CalcRatio(bSansya, nRound);
  if (pRatio != nullptr)
    *pRatio = m_Ratio;
  return 0;
}

int CSphereRatioBlock::CalcOutlines(CKelProgressCore* progress, double Angle, bool bMirror,
                                    const CKelBlockCubeArray& blocks, const CKelCoord3D& chkpnt)
{
  const bool post = ExpandsAfterUnion();
  const CSphereA sphere = Projector(chkpnt, Angle, bMirror, post ? 1 : m_AngleStep);
  const int which = post ? -1 : m_ExpandKind;
  CSphereBlkDataArrayNew united;
  for (const CKelBlockCubeArray& group : DivideBlock(blocks, &chkpnt, Angle, 0)) {
    if (group.empty())
      continue;
    const int r = sphere.RegistSphereRatio2(which, m_bExpandInProjection, &chkpnt, group, united);
    if (r != 0)
      return r;
  }
  const int r = united.CalcRatio(progress, post ? 1 : m_AngleStep, m_Block);
  if (post)
    BlockExpand();
  return r;
}

int CSphereRatioBlock::CalcSectors(CKelProgressCore* progress, int nRound, double Angle, bool bMirror,
                                   const CKelBlockCubeArray& blocks, const CKelCoord3D& chkpnt)
{
  const bool post = ExpandsAfterUnion();
  CSphereA sphere = Projector(chkpnt, Angle, bMirror, post ? 1 : m_AngleStep);
  // Without expansion the sectors' triangles are the chords between the
  // united outlines' points, while the union takes the chart's lines: a
  // corner hidden just behind an edge puts the edge's line points at its
  // place, so that the chords drawn do not jump as it comes out. (The
  // outline method keeps its jumps: its half-plane unions would take the
  // points of every block at the cost of a fifth of its time.)
  sphere.m_bChordUnion = true;
  const std::vector<CKelBlockCubeArray> groups = DivideBlock(blocks, &chkpnt, Angle, m_AngleStep);
  if (progress != nullptr)
    progress->SetRange(static_cast<int>(groups.size()), "");
  for (const CKelBlockCubeArray& group : groups) {
    CSphereRatioBlock part;
    part.m_AngleStep = post ? 1 : m_AngleStep;
    part.m_ExpandKind = post ? -1 : m_ExpandKind;
    part.m_bSide2 = m_bSide2;
    part.m_bExpandInProjection = m_bExpandInProjection;
    int r = 0;
    if (!group.empty()) {
      CSphereBlkDataArrayNew united;
      r = sphere.RegistSphereRatio2(part.m_ExpandKind, m_bExpandInProjection, &chkpnt, group, united);
      if (r == 0 && part.m_ExpandKind >= 2)
        united.InsertChordPoints();
      if (r == 0)
        r = united.CalcRatio(nullptr, m_AngleStep, part.m_Block);
      if (r == 0) {
        if (post) {
          part.m_AngleStep = m_AngleStep;
          part.m_ExpandKind = m_ExpandKind;
          SplitLobes(part.m_Block);
          part.BlockExpand();
        }
        r = united.CalcSansya(nRound, part.m_Block, part.m_AngleStep, part.m_bSide2, part.m_bMergeFlag, m_FunShape);
      }
    }
    m_Block.insert(m_Block.end(), std::make_move_iterator(part.m_Block.begin()),
                   std::make_move_iterator(part.m_Block.end()));
    if (progress != nullptr) {
      progress->StepIt();
      CSphereBlkDataArrayNew::ShowStepText(progress);
      if (progress->CheckAbort())
        r = 1;
    }
    if (r != 0)
      return r;
  }
  return 0;
}

// --- Sums and ratio ----------------------------------------------------------------------------

double CSphereRatioBlock::CalcBowShapeArea(double t)
{
  if (!(t > 0))
    return 0;
  return t / 2 - std::sin(t / 2) * std::cos(t / 2);
}

void CSphereRatioBlock::CalcBlockArea()
{
  for (CSphereRatioBlockParam& param : m_Block) {
    param.m_area = param.CalcArea();
    // A stored bow running backwards covers nothing.
    for (CSphereBowShapeParam& bow : param.m_BowShape)
      bow.m_Area = bow.m_endA != bow.m_begA ? CalcBowShapeArea(bow.m_endA - bow.m_begA) : 0;
  }
}

void CSphereRatioBlock::CalcRatio(bool bSansya, int nRound)
{
  CalcBlockArea();
  if (!bSansya) {
    m_Ratio = 1 - (GetBlockArea() + GetBowShapeArea(nRound) / kPi);
    return;
  }
  const double t = GetTriangleArea(nRound);
  const double b = GetBowShapeArea(nRound);
  if (m_bSide2) {
    const double f = GetFunShapeArea(nRound);
    m_Ratio = 1 + b / kPi - (f / kPi - t / kPi);
    return;
  }
  m_Ratio = 1 - (t / kPi + b / kPi);
}

double CSphereRatioBlock::GetBlockArea() const
{
  double sum = 0;
  for (const CSphereRatioBlockParam& param : m_Block)
    sum += param.m_area;
  return sum;
}

double CSphereRatioBlock::GetTriangleArea(int nRound) const
{
  double sum = 0;
  for (const CSphereRatioBlockParam& param : m_Block) {
    for (const CSphereTriangleData& t : param.m_Triangle) {
      double base = 0, height = 0, area = 0;
      t.GetTriangleData(nRound, &base, &height, &area);
      sum += area;
    }
  }
  return sum;
}

double CSphereRatioBlock::GetBowShapeArea(int nRound) const
{
  double sum = 0;
  for (const CSphereRatioBlockParam& param : m_Block) {
    for (const CSphereBowShapeParam& bow : param.m_BowShape)
      sum += bow.GetBowArea(nRound);
  }
  return sum;
}

double CSphereRatioBlock::GetFunShapeArea(int nRound) const
{
  return m_FunShape.GetArea(nRound);
}

void CSphereRatioBlock::GetTriangleData(int i, int j, CKelCoord2D* out) const
{
  const CSphereTriangleData& t = At(i).m_Triangle[static_cast<std::size_t>(j)];
  out[0] = t.m_Vertex[0];
  out[1] = t.m_Vertex[1];
  out[2] = t.m_Vertex[2];
  out[3] = t.m_Vertex[t.m_LongSide >= 0 && t.m_LongSide <= 2 ? t.m_LongSide : 0];
  out[4] = t.m_Foot;
}

// --- Expansion after the union ---------------------------------------------------------------------

void CSphereRatioBlock::SplitLobes(std::vector<CSphereRatioBlockParam>& outlines)
{
  // Two outlines that meet at a corner are one outline passing it twice
  // once the union takes the corners for one point. The expansion reads a
  // point's edges: split, each lobe's corner keeps its own, as when apart.
  std::vector<CSphereRatioBlockParam> split;
  for (CSphereRatioBlockParam& outline : outlines) {
    std::vector<CSphereCoordD2DArray> lobes = CSphereRatioBlockParam::Lobes(outline.m_pt);
    if (lobes.empty()) {
      split.push_back(std::move(outline));
      continue;
    }
    for (CSphereCoordD2DArray& lobe : lobes) {
      CSphereRatioBlockParam part = outline;
      part.m_pt = std::move(lobe);
      part.m_area = part.CalcArea();
      split.push_back(std::move(part));
    }
  }
  outlines = std::move(split);
}

namespace {

// A point whose two edges both run off to one side in azimuth touches the
// azimuth there. Where the covered area wraps round it (the tip of a window
// of sky), or where it stands on a sector line, it is the limit of a mouth
// opening there, whose two ends were each lowered with its own edge. Such a
// point is doubled, the twins joined by an edge of no length, so that each
// twin goes with its own edge. Returns the later twins' places.
std::vector<std::size_t> DoubleTouchingPoints(CSphereCoordD2DArray& pt, double s)
{
  const std::size_t n = pt.size();
  CSphereCoordD2DArray out;
  std::vector<std::size_t> twins;
  for (std::size_t k = 0; k < n; ++k) {
    const CSphereCoordD2D& prev = pt[k == 0 ? n - 1 : k - 1];
    const CSphereCoordD2D& cur = pt[k];
    const CSphereCoordD2D& next = pt[(k + 1) % n];
    out.push_back(cur);
    const double back = prev.m_AD - cur.m_AD;
    const double on = next.m_AD - cur.m_AD;
    if (!(std::fabs(back) > KelTol::SkyDisc && std::fabs(on) > KelTol::SkyDisc && (back > 0) == (on > 0)))
      continue;
    // Outlines run counter-clockwise in the chart and holes clockwise, the
    // covered area on their left: a right turn wraps it round the point.
    const double cross = (cur.m_AD - prev.m_AD) * (next.m_AE - cur.m_AE) - (cur.m_AE - prev.m_AE) * (next.m_AD - cur.m_AD);
    if (cross < 0 || std::fabs(std::remainder(cur.m_AD, s)) <= KelTol::SkyDisc) {
      twins.push_back(out.size());
      out.push_back(cur);
    }
  }
  if (!twins.empty())
    pt = std::move(out);
  return twins;
}

// The twin whose edge runs lower into the sector is the foot of the mouth
// the twins stand for: the other, lowered, stops just above it, as the
// upper end of an open mouth stops above the lower one.
void SettleTwins(CSphereCoordD2DArray& pt, const CSphereCoordD2DArray& before, const std::vector<std::size_t>& twins)
{
  const std::size_t n = pt.size();
  for (std::size_t t : twins) {
    const std::size_t first = t - 1;
    const CSphereCoordD2D& prev = before[first == 0 ? n - 1 : first - 1];
    const CSphereCoordD2D& next = before[(t + 1) % n];
    const CSphereCoordD2D& at = before[t];
    const double slopeIn = (prev.m_AE - at.m_AE) / std::fabs(prev.m_AD - at.m_AD);
    const double slopeOut = (next.m_AE - at.m_AE) / std::fabs(next.m_AD - at.m_AD);
    const std::size_t foot = slopeIn < slopeOut ? first : t;
    const std::size_t top = foot == t ? first : t;
    const double lowest = std::min(before[top].m_AE, JustAbove(pt[foot].m_AE));
    if (pt[top].m_AE < lowest) {
      pt[top].m_AE = lowest;
      pt[top].ConvertCoordXY();
    }
  }
}

// Twins the expansion left in one place are one point again.
void MergeTwins(CSphereCoordD2DArray& pt, const std::vector<std::size_t>& twins)
{
  for (auto t = twins.rbegin(); t != twins.rend(); ++t) {
    const CSphereCoordD2D& a = pt[*t - 1];
    const CSphereCoordD2D& b = pt[*t];
    if (a.m_AD == b.m_AD && a.m_AE == b.m_AE)
      pt.erase(pt.begin() + static_cast<std::ptrdiff_t>(*t));
  }
}

}  // namespace

void CSphereRatioBlock::BlockExpand()
{
  if (m_AngleStep < 1 || static_cast<unsigned>(m_ExpandKind) > 1)
    return;
  const double s = m_AngleStep * kPi / 180;
  const int wanted = m_ExpandKind == 0 ? 1 : -1;
  std::vector<std::vector<std::size_t>> twins;
  for (CSphereRatioBlockParam& param : m_Block)
    twins.push_back(DoubleTouchingPoints(param.m_pt, s));
  const CSphereRatioBlockParamArray original = m_Block;
  for (std::size_t i = 0; i < m_Block.size(); ++i) {
    CSphereRatioBlockParam& param = m_Block[i];
    // Holes too: a window whose mouth closes on a line is a hole of its
    // own, and its edges are widened as they were while they were the
    // outline's.
    if (!(std::fabs(param.CalcArea()) > 0))
      continue;
    CSphereCoordD2DArray& pt = param.m_pt;
    const std::size_t n = pt.size();
    // The elevations the expansion would give, NaN where it moves nothing.
    std::vector<double> lowered(n, std::numeric_limits<double>::quiet_NaN());
    for (std::size_t k = 0; k < n; ++k) {
      const double share = ExpandShare(pt, k, wanted);
      if (!(share > 0) || !std::isfinite(pt[k].m_AD))
        continue;
      double x = pt[k].m_AD;
      // Outlines hold azimuths within a turn or two; a stored one far beyond
      // is brought near first, so the sector walk stays a few steps.
      if (std::fabs(x) > kFarAzimuth)
        x = std::fmod(x, s);
      double r = x;
      do {
        r = x;
        x -= s;
      } while (x > 0 || std::fabs(x) <= KelTol::SkyDisc);
      while (r < -KelTol::SkyDisc)
        r += s;
      const double offset = r - s / 2;
      if (std::fabs(offset) > s / 2 + KelTol::SkyDisc)
        continue;
      // A point the widening would take beyond the horizon goes to the
      // horizon: left where it stood, a corner a hair above the line where
      // the widening just reaches the horizon would stay whole degrees up.
      // At the sector's middle the widening moves nothing; acos(cos e) would
      // lower the point by round-off, and the twins of a tip there would no
      // longer be one point.
      if (std::cos(offset) == 1)
        continue;
      const double c = std::cos(pt[k].m_AE) / std::cos(offset);
      const double to = pt[k].m_AE + share * (std::acos(std::min(c, 1.0)) - pt[k].m_AE);
      if (pt[k].m_AE >= 0 && to < pt[k].m_AE)
        lowered[k] = to;
    }
    for (std::size_t k = 0; k < n; ++k) {
      if (std::isnan(lowered[k]))
        continue;
      const double clear = pt[k].m_AE > KelTol::SkyDisc ? std::min(pt[k].m_AE, JustAbove(0)) : 0.0;
      pt[k].m_AE = std::max({lowered[k], FloorUnder(original, i, k, lowered), clear});
      pt[k].ConvertCoordXY();
    }
  }
  for (std::size_t i = 0; i < m_Block.size(); ++i) {
    SettleTwins(m_Block[i].m_pt, original[i].m_pt, twins[i]);
    MergeTwins(m_Block[i].m_pt, twins[i]);
  }
}

double CSphereRatioBlock::ExpandShare(const CSphereCoordD2DArray& pt, std::size_t k, int wanted)
{
  // A point is lowered as its following edge runs, or as its preceding one
  // where the following edge stands along the ray. An edge turning through
  // the ray's direction would flip a whole lowering for a corner moved a
  // micrometre, so the following edge takes over gradually, over the first
  // kExpandRamp of its azimuth beyond the disc's identity band. Every point
  // is read the same way, so the outline's first point is no different.
  const std::size_t n = pt.size();
  const auto sure = [](double d) {
    return std::clamp((std::fabs(d) - KelTol::SkyDisc) / (kExpandRamp - KelTol::SkyDisc), 0.0, 1.0);
  };
  const auto runsWanted = [wanted](double d) { return (d > 0 ? 1 : -1) == wanted ? 1.0 : 0.0; };
  const double following = pt[k].m_AD - pt[(k + 1) % n].m_AD;
  const double preceding = pt[k == 0 ? n - 1 : k - 1].m_AD - pt[k].m_AD;
  const double byFollowing = sure(following);
  return byFollowing * runsWanted(following) + (1 - byFollowing) * sure(preceding) * runsWanted(preceding);
}

namespace {

// Where the ray t u from the disc's centre meets the line a-b: t, or NaN
// for a line along the ray.
double RayHit(const CKelCoord2D& u, const CKelCoord2D& a, const CKelCoord2D& b)
{
  // t (u x (b - a)) = a x (b - a).
  const double ex = b.m_x - a.m_x;
  const double ey = b.m_y - a.m_y;
  const double det = u.m_x * ey - u.m_y * ex;
  if (!(std::fabs(det) > KelTol::SkyDisc))
    return std::numeric_limits<double>::quiet_NaN();
  return (a.m_x * ey - a.m_y * ex) / det;
}

// The elevation of the chart line a-b at azimuth az; NaN for a line along
// the azimuth.
double ChartElevation(const CSphereCoordD2D& a, const CSphereCoordD2D& b, double az)
{
  const double d = b.m_AD - a.m_AD;
  if (!(std::fabs(d) > KelTol::SkyDisc))
    return std::numeric_limits<double>::quiet_NaN();
  return a.m_AE + (az - a.m_AD) / d * (b.m_AE - a.m_AE);
}

bool Between(double az, double a, double b, bool strictly)
{
  return strictly ? az > std::min(a, b) && az < std::max(a, b) : az >= std::min(a, b) && az <= std::max(a, b);
}

}  // namespace

namespace {

// The chart slope of the edge from p to q, per unit of azimuth away from p;
// NaN for an edge along p's azimuth.
double SlopeFrom(const CSphereCoordD2D& p, const CSphereCoordD2D& q)
{
  const double d = std::fabs(q.m_AD - p.m_AD);
  return d > KelTol::SkyDisc ? (q.m_AE - p.m_AE) / d : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace

bool CSphereRatioBlock::RunsUnder(const CSphereCoordD2DArray& pt, std::size_t a, const CSphereCoordD2DArray& own,
                                  std::size_t k)
{
  // A corner of another outline (or of the point's own, further round) at
  // the point itself, with an edge running off below the point's own edge
  // to that side: lowered, the point would take its edge under that one, the
  // two covering the same sky. It keeps its place, as over a corner a hair
  // below it.
  const CSphereCoordD2D& p = own[k];
  if (std::hypot(pt[a].m_AD - p.m_AD, pt[a].m_AE - p.m_AE) > KelTol::SkyDisc)
    return false;
  const std::size_t n = pt.size(), m = own.size();
  const CSphereCoordD2D* mineEdges[] = {&own[k == 0 ? m - 1 : k - 1], &own[(k + 1) % m]};
  for (const CSphereCoordD2D* f : {&pt[a == 0 ? n - 1 : a - 1], &pt[(a + 1) % n]}) {
    for (const CSphereCoordD2D* q : mineEdges) {
      if ((f->m_AD - p.m_AD) * (q->m_AD - p.m_AD) > 0 && SlopeFrom(p, *f) < SlopeFrom(p, *q))
        return true;
    }
  }
  return false;
}

double CSphereRatioBlock::FloorUnder(const std::vector<CSphereRatioBlockParam>& outlines, std::size_t i,
                                      std::size_t k, const std::vector<double>& lowered)
{
  // A point lowered by the expansion stops just above what it would pass:
  // the edge below it, of its own outline or another, and the corners its
  // own edges would sweep over. The upper edge of a floating block would
  // otherwise pass under its lower edge and turn the outline inside out, and
  // the lower edge of a floating block would sink into the block under it,
  // so that both outlines covered the same sky. The outlines are taken as
  // they stood before the expansion, both as the chart draws them (the
  // two-sided regions are cut there) and as the disc does (chords, which the
  // triangles are made of).
  const CSphereCoordD2DArray& own = outlines[i].m_pt;
  const CSphereCoordD2D& p = own[k];
  CSphereCoordD2D ray = p;
  ray.m_AE = 0;
  ray.ConvertCoordXY();
  const CKelCoord2D u = ray.m_Pos;
  const double reach = std::hypot(p.m_Pos.m_x, p.m_Pos.m_y);
  const std::size_t n = own.size();
  const std::size_t neighbours[] = {k == 0 ? n - 1 : k - 1, (k + 1) % n};
  // Where the neighbours may go: as low as the expansion takes them.
  CSphereCoordD2D reached[2];
  for (int m = 0; m < 2; ++m) {
    reached[m] = own[neighbours[m]];
    if (!std::isnan(lowered[neighbours[m]])) {
      reached[m].m_AE = lowered[neighbours[m]];
      reached[m].ConvertCoordXY();
    }
  }
  double floor = 0;
  const auto stopAtElevation = [&](double h) {
    if (h < p.m_AE - KelTol::SkyDisc)
      floor = std::max(floor, std::min(JustAbove(h), p.m_AE));
  };
  const auto stopAt = [&](const CSphereCoordD2D& a, const CSphereCoordD2D& b) {
    stopAtElevation(std::acos(std::clamp(RayHit(u, a.m_Pos, b.m_Pos), -1.0, 1.0)));
    stopAtElevation(ChartElevation(a, b, p.m_AD));
  };
  // Where the point goes unstopped: as low as its lowering, but clear of the
  // horizon.
  const double goes = std::max(lowered[k], p.m_AE > KelTol::SkyDisc ? std::min(p.m_AE, JustAbove(0)) : 0.0);
  for (std::size_t o = 0; o < outlines.size(); ++o) {
    const CSphereCoordD2DArray& pt = outlines[o].m_pt;
    // A neighbour below the point (the foot of a side at its azimuth) goes
    // down with its own lowering, and the edges and corner it makes with
    // it: else the floor the point finds hung on which side of the foot's
    // azimuth the point fell by a rounding.
    const auto moved = [&](std::size_t at) -> const CSphereCoordD2D& {
      for (int m = 0; m < 2; ++m) {
        if (o == i && at == neighbours[m] && own[at].m_AE < p.m_AE)
          return reached[m];
      }
      return pt[at];
    };
    // An edge from a neighbour at the point's azimuth (the two a side
    // apart) that leaves on the other side than the point's own other edge,
    // from a foot above where the point goes, is no floor: lowered past the
    // foot the point turns the side over, and its edge stays under that one
    // all the way to the foot. The edge meets the azimuth only at that end,
    // or just misses it, as the two azimuths round; a ledge a hair wide
    // would hold the point up. From a foot below, the point's edge passes
    // over the foot, and the edge, a chord on the disc, rises above the
    // point's place a hair from the foot: the floor stands.
    const auto beyondSide = [&](std::size_t a, std::size_t b) {
      for (int m = 0; o == i && m < 2; ++m) {
        const std::size_t q = neighbours[m];
        if ((a != q && b != q) || std::fabs(own[q].m_AD - p.m_AD) > KelTol::SkyDisc)
          continue;
        const std::size_t far = a == q ? b : a;
        if ((pt[far].m_AD - p.m_AD) * (own[neighbours[1 - m]].m_AD - p.m_AD) < 0 && reached[m].m_AE >= goes)
          return true;
      }
      return false;
    };
    for (std::size_t a = 0; a < pt.size(); ++a) {
      const std::size_t b = (a + 1) % pt.size();
      const bool mine = o == i && (a == k || b == k);
      if (!mine && Between(p.m_AD, pt[a].m_AD, pt[b].m_AD, false)) {
        if (!beyondSide(a, b))
          stopAt(moved(a), moved(b));
      }
      if (!(o == i && a == k) && RunsUnder(pt, a, own, k))
        floor = p.m_AE;
      // A corner between the azimuths of the point and a neighbour, beyond
      // the edge to it: the edge swept outwards would pass over it, the
      // neighbour going as low as its own expansion may take it.
      const CSphereCoordD2D& corner = moved(a);
      for (int m = 0; m < 2; ++m) {
        const std::size_t q = neighbours[m];
        if ((o == i && (a == k || a == q)) || !Between(pt[a].m_AD, p.m_AD, own[q].m_AD, true))
          continue;
        const bool beyondOnDisc = RayHit(u, own[q].m_Pos, corner.m_Pos) > reach;
        const bool beyondInChart = ChartElevation(own[q], corner, p.m_AD) < p.m_AE;
        if (beyondOnDisc || beyondInChart) {
          // Where the neighbour's lowering alone takes the edge under the
          // corner, the point keeps its place: raised, the edge only rises.
          const double rayHit = RayHit(u, reached[m].m_Pos, corner.m_Pos);
          const double chart = ChartElevation(reached[m], corner, p.m_AD);
          if ((beyondOnDisc && rayHit >= 0 && rayHit <= reach) || (beyondInChart && chart >= p.m_AE))
            floor = p.m_AE;
          stopAt(reached[m], corner);
        }
      }
    }
  }
  return floor;
}

// --- Stored forms -------------------------------------------------------------------------------------

bool CSphereRatioBlock::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSphereRatioBlock");
  ar.Serialize(m_Ratio);
  if (ar.GetVersion() < kVersionWithoutLegacy) {
    for (int k = 0; k < 3; ++k) {
      double dropped = 0.0;
      ar.Serialize(dropped);
    }
  }
  ar.Serialize(m_AngleStep);
  ar.Serialize(m_Mode);
  ar.Serialize(m_ExpandKind);
  ar.Serialize(m_bMergeFlag);
  ar.Serialize(m_bSide2);
  ar.Serialize(m_bExpandInProjection);
  if (ar.GetError() != 0 || !m_Block.Serialize(ar) || !m_FunShape.Serialize(ar))
    return false;
  return ar.GetError() == 0;
}

bool CSphereRatioBlock::SaveData(CKelFileIO& f) const
{
  using KelRecord::Write;
  return Write(f, kRecord) && KelRecord::SaveList(f, m_Block) && Write(f, m_Ratio) && Write(f, m_Mode) &&
         Write(f, m_AngleStep) && Write(f, m_ExpandKind) && Write(f, static_cast<std::uint8_t>(m_bSide2)) &&
         m_FunShape.SaveData(f) && Write(f, static_cast<std::uint8_t>(m_bMergeFlag)) &&
         Write(f, static_cast<std::uint8_t>(m_bExpandInProjection));
}

namespace {

bool ReadFlag(CKelFileIO& f, int* budget, bool& flag)
{
  std::uint8_t v = 0;
  if (!KelRecord::Read(f, budget, v))
    return false;
  flag = v != 0;
  return true;
}

}  // namespace

bool CSphereRatioBlock::LoadData(CKelFileIO& f, int* remaining)
{
  using KelRecord::Read;
  std::int32_t record = 0;
  if (!Read(f, remaining, record) || record < kRecordFirst || record > kRecord)
    return false;
  if (!KelRecord::LoadList(f, remaining, m_Block, kMinParamRecord) || !Read(f, remaining, m_Ratio))
    return false;
  if (record < kRecord) {
    for (int k = 0; k < 3; ++k) {
      double dropped = 0;
      if (!Read(f, remaining, dropped))
        return false;
    }
  }
  if (record == kRecordFirst) {
    m_AngleStep = m_Mode = m_ExpandKind = -1;
    m_bSide2 = false;
    return true;
  }
  if (!Read(f, remaining, m_Mode) || !Read(f, remaining, m_AngleStep) || !Read(f, remaining, m_ExpandKind))
    return false;
  if (record == 1001) {
    m_bSide2 = false;
    return true;
  }
  if (!ReadFlag(f, remaining, m_bSide2))
    return false;
  if (record >= 1003 && !m_FunShape.LoadData(f, remaining))
    return false;
  if (record >= 1004 && !ReadFlag(f, remaining, m_bMergeFlag))
    return false;
  return record < 1005 || ReadFlag(f, remaining, m_bExpandInProjection);
}

bool CSphereRatioBlock::Save() const
{
  CKelFileIO f;
  if (!f.Create(m_DebugPath.c_str()))
    return false;
  // A dump for inspection; a short file is still reported as a failure.
  const bool written = KelRecord::SaveList(f, m_Block) && std::fflush(f.GetStream()) == 0;
  f.Close();
  return written;
}

bool CSphereRatioBlock::Load()
{
  CKelFileIO f;
  if (!f.Open(m_DebugPath.c_str()))
    return false;
  int budget = static_cast<int>(f.GetFileSize()) - 4;
  std::int32_t count = 0;
  const bool ok = KelRecord::Read(f, count) && KelRecord::CountFits(&budget, count, kMinParamRecord);
  if (ok)
    m_Block.resize(static_cast<std::size_t>(count));
  bool all = ok;
  for (std::size_t k = 0; all && k < m_Block.size(); ++k)
    all = m_Block[k].LoadData(f, &budget);
  f.Close();
  return all && budget == 0;
}
