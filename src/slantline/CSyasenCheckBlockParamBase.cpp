// Base blocks: the source blocks cut to the part of the permitted volume that
// the check of one edge looks at. At each end of the edge a cut (half cut
// along the corner's bisector, vertical cut at the corner, extension cut
// along the edge) and a base line (at right angles to the base line through
// the end point or an offset from it, or, in the radial form, the ray from
// the end point to the check point) bound the blocks.

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>

#include "CKelHSite.h"
#include "CSyasenCheckSiteRuns.h"
#include "CSyasenCheckBlockParam.h"
#include "KelGeometry.h"
#include "KelOutlineIndex.h"
#include "KelSurveyPoints.h"
#include "KelTolerance.h"

namespace {

enum Side { kNone = 0, kLeft = 1, kRight = 2 };
enum CutKind { kCutNone = 0, kCutHalf = 1, kCutVert = 2, kCutHorz = 3 };
enum BaseKind { kBaseBoundary = 0, kBaseArbitrary = 3, kBaseRadial = 4 };

CKelCoord2D Plus(const CKelCoord2D& p, double dx, double dy) { return CKelCoord2D(p.m_x + dx, p.m_y + dy); }

const CKelCoord2D& EdgeStart(const CKelHSite* site, int i) { return site->Vertex(i).m_Sphere.m_EdgePos[0]; }

// Moves the blocks lying wholly on `side` of p -> q from `from` to `to`.
void MoveSide(CKelBlockCubeList& from, CKelBlockCubeList& to, const CKelCoord2D& p, const CKelCoord2D& q, int side)
{
  const auto onSide = [&](const CKelBlockCube& b) { return b.WhitchSide(p, q) == side; };
  std::copy_if(from.begin(), from.end(), std::back_inserter(to), onSide);
  from.erase(std::remove_if(from.begin(), from.end(), onSide), from.end());
}

// The unit direction from the start of edge j to the start of edge j + 1.
bool EdgeDirection(const CKelHSite* site, int j, double* c, double* s)
{
  const CKelCoord2D& a = EdgeStart(site, j);
  const CKelCoord2D& b = EdgeStart(site, j + 1);
  if (length_2point(a, b) <= KelTol::SlantPiece)
    return false;
  CalcCosSin(a, b, c, s, nullptr);
  return true;
}

// The radial cuts read a block's outline without the points a survey adds,
// so the pieces of a cut merge back and the rays meet the corners of the
// clean outline.
void DropRadialSurveyPoints(CKelBlockCube& block) { (void)kel_survey::DropSurveyPoints(block.m_Coord, KelTol::BlockSurveyPoint); }

}  // namespace

bool CSyasenCheckBlockParam::ValidEdge(const CKelHSite* site, int edge) const
{
  return site != nullptr && edge >= 0 && edge < site->GetSize();
}

void CSyasenCheckBlockParam::CutBlock(CKelBlockCubeList& blocks, const CKelCoord2D& p, const CKelCoord2D& q, int del)
{
  std::size_t i = 0;
  while (i < blocks.size()) {
    CKelBlockCubeList pieces;
    if (blocks[i].Divide(nullptr, p, q, pieces, del)) {
      blocks.erase(blocks.begin() + static_cast<std::ptrdiff_t>(i));
      blocks.insert(blocks.begin() + static_cast<std::ptrdiff_t>(i), pieces.begin(), pieces.end());
      i += pieces.size();
    } else if (blocks[i].WhitchSide(p, q) == del) {
      blocks.erase(blocks.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

void CSyasenCheckBlockParam::DoBegHalfCut(CSyasenCheck*, const CKelHSite* site, CKelBlockCubeList& blocks,
                                          int edge) const
{
  DoBegHalfCut(CSyasenCheckSiteRuns(site), blocks, edge);
}

void CSyasenCheckBlockParam::DoBegHalfCut(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks, int edge) const
{
  if (!ValidEdge(runs.Stored(), edge))
    return;
  const CKelHSite* site = runs.Site();
  const int run = runs.Edge(edge);
  double c = 1, s = 0;
  if (runs.InnerCut(run, m_BegPoint, &c, &s)) {
    CutBlock(blocks, m_BegPoint, Plus(m_BegPoint, -c, -s), kRight);
    return;
  }
  const int side = runs.SideBefore(run);
  site->CalcBegHalfCutAngleFrom(side >= 0 ? side : site->Prev(run), run, &c, &s);
  CutBlock(blocks, m_BegPoint, Plus(m_BegPoint, c, s), kRight);
}

void CSyasenCheckBlockParam::DoEndHalfCut(CSyasenCheck*, const CKelHSite* site, CKelBlockCubeList& blocks,
                                          int edge) const
{
  DoEndHalfCut(CSyasenCheckSiteRuns(site), blocks, edge);
}

void CSyasenCheckBlockParam::DoEndHalfCut(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks, int edge) const
{
  if (!ValidEdge(runs.Stored(), edge))
    return;
  const CKelHSite* site = runs.Site();
  const int run = runs.Edge(edge);
  double c = 1, s = 0;
  if (runs.InnerCut(run, m_EndPoint, &c, &s)) {
    CutBlock(blocks, m_EndPoint, Plus(m_EndPoint, c, s), kRight);
    return;
  }
  const int side = runs.SideAfter(run);
  site->CalcEndHalfCutAngleTo(m_EndPoint, run, side >= 0 ? side : site->Next(run), &c, &s);
  CutBlock(blocks, m_EndPoint, Plus(m_EndPoint, c, s), kRight);
}

void CSyasenCheckBlockParam::DoHorzCut(CSyasenCheck*, const CKelHSite* site, CKelBlockCubeList& blocks,
                                       int edge) const
{
  DoHorzCut(CSyasenCheckSiteRuns(site), blocks, edge);
}

// Along the line of the edge's whole run.
void CSyasenCheckBlockParam::DoHorzCut(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks, int edge) const
{
  if (!ValidEdge(runs.Stored(), edge))
    return;
  const CKelSiteTable& v = runs.Site()->Vertex(runs.Edge(edge));
  const CKelCoord2D& p = v.m_Sphere.m_EdgePos[0];
  CutBlock(blocks, p, Plus(p, v.m_Sphere.m_EdgeCos, v.m_Sphere.m_EdgeSin), kRight);
}

namespace {

// A corner of the outline as a vertical cut reads it: where it lies, the
// unit direction of the checked side there and of the side beyond it (the
// one before at the begin, the one after at the end).
struct VertCorner {
  CKelCoord2D m_Own;
  double m_OwnCos = 1, m_OwnSin = 0;
  double m_Cos = 1, m_Sin = 0;
};

// The vertical cut at p where the checked side meets the side beyond the
// corner: what lies on that side's outside (right of its line through p)
// stays whole, the rest is cut square to it at p, `away` of the square
// deleted. keepOwn first keeps whole what lies on the site side of the
// checked side's own line.
void VertCut(CKelBlockCubeList& blocks, const CKelCoord2D& p, const VertCorner& k, int away, bool keepOwn)
{
  CKelBlockCubeList work;
  work.swap(blocks);
  if (keepOwn) {
    const CKelCoord2D q = Plus(k.m_Own, k.m_OwnCos, k.m_OwnSin);
    CSyasenCheckBlockParam::CutBlock(work, k.m_Own, q, kNone);
    MoveSide(work, blocks, k.m_Own, q, kLeft);
  }
  const CKelCoord2D along = Plus(p, k.m_Cos, k.m_Sin);
  CSyasenCheckBlockParam::CutBlock(work, p, along, kNone);
  MoveSide(work, blocks, p, along, kRight);
  CSyasenCheckBlockParam::CutBlock(work, p, Plus(p, -k.m_Sin, k.m_Cos), away);
  blocks.insert(blocks.end(), work.begin(), work.end());
}

// The begin's cut: none where the checked side turns towards the site from
// the side before; the checked side's own line is kept whole where it turns
// back by more than a right angle.
void BegVertCut(CKelBlockCubeList& blocks, const CKelCoord2D& p, const VertCorner& k)
{
  const double cross = k.m_Cos * k.m_OwnSin - k.m_Sin * k.m_OwnCos;
  if (cross > 0)
    return;
  VertCut(blocks, p, k, kLeft, k.m_Cos * k.m_OwnCos + k.m_Sin * k.m_OwnSin < 0);
}

// The end's cut: only where the side after turns away from the site; a
// straight continuation is cut at the begin side only.
void EndVertCut(CKelBlockCubeList& blocks, const CKelCoord2D& p, const VertCorner& k)
{
  const double cross = k.m_OwnCos * k.m_Sin - k.m_OwnSin * k.m_Cos;
  if (cross >= 0)
    return;
  VertCut(blocks, p, k, kRight, k.m_Cos * k.m_OwnCos + k.m_Sin * k.m_OwnSin > 0);
}

}  // namespace

// The corner at the begin of the edge turns away from the site (right): the
// blocks beyond the previous edge's line are cut off square to it.
void CSyasenCheckBlockParam::DoBegVertCut(CSyasenCheck*, const CKelHSite* stored, CKelBlockCubeList& blocks,
                                          int storedEdge) const
{
  DoBegVertCut(CSyasenCheckSiteRuns(stored), blocks, storedEdge);
}

// An end inside the run is read at its own joint, as the run's corner there
// is read once the bend outgrows the tiny size: the cut stays continuous as
// the bend grows. On a side, a straight continuation, a begin is cut square
// to it on the site's side and an end is not cut (the base line's square
// bounds it), as at a corner.
void CSyasenCheckBlockParam::DoBegVertCut(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks,
                                          int storedEdge) const
{
  if (!ValidEdge(runs.Stored(), storedEdge))
    return;
  const CKelHSite* site = runs.Site();
  const int edge = runs.Edge(storedEdge);
  CKelCoord2D before, after;
  if (runs.InnerSides(edge, m_BegPoint, &before, &after)) {
    BegVertCut(blocks, m_BegPoint, {m_BegPoint, after.m_x, after.m_y, before.m_x, before.m_y});
    return;
  }
  const int j = runs.SideBefore(edge);
  double c = 1, s = 0;
  if (j < 0 || !EdgeDirection(site, j, &c, &s))
    return;
  const CKelCoord2D& next = EdgeStart(site, edge + 1);
  const CKelCoord2D& corner = EdgeStart(site, j + 1);
  // The turn is read towards the run's end, from the corner the side before
  // ends at (a corner cut between them included).
  const double vx = next.m_x - corner.m_x, vy = next.m_y - corner.m_y;
  if (c * vy - s * vx > 0)
    return;
  const CKelSiteTable& own = site->Vertex(edge);
  const CKelCoord2D& p = EdgeStart(site, edge);
  VertCut(blocks, p, {p, own.m_Sphere.m_EdgeCos, own.m_Sphere.m_EdgeSin, c, s}, kLeft, vx * c + vy * s < 0);
}

void CSyasenCheckBlockParam::DoEndVertCut(CSyasenCheck*, const CKelHSite* stored, CKelBlockCubeList& blocks,
                                          int storedEdge) const
{
  DoEndVertCut(CSyasenCheckSiteRuns(stored), blocks, storedEdge);
}

// An end inside the run: as a begin inside it.
void CSyasenCheckBlockParam::DoEndVertCut(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks,
                                          int storedEdge) const
{
  if (!ValidEdge(runs.Stored(), storedEdge))
    return;
  const CKelHSite* site = runs.Site();
  const int edge = runs.Edge(storedEdge);
  CKelCoord2D before, after;
  if (runs.InnerSides(edge, m_EndPoint, &before, &after)) {
    EndVertCut(blocks, m_EndPoint, {m_EndPoint, before.m_x, before.m_y, after.m_x, after.m_y});
    return;
  }
  const int j = runs.SideAfter(edge);
  double c = 1, s = 0;
  if (j < 0 || !EdgeDirection(site, j, &c, &s))
    return;
  const CKelCoord2D& own = EdgeStart(site, edge);
  const CKelCoord2D& corner = EdgeStart(site, j);
  const double vx = own.m_x - corner.m_x, vy = own.m_y - corner.m_y;
  // A straight continuation is cut at the begin side only.
  if (c * vy - s * vx >= 0)
    return;
  const CKelSiteTable& v = site->Vertex(edge);
  VertCut(blocks, m_EndPoint, {own, v.m_Sphere.m_EdgeCos, v.m_Sphere.m_EdgeSin, c, s}, kRight,
          vx * c + vy * s < 0);
}

bool CSyasenCheckBlockParam::SearchSiteNo(CSyasenCheck*, const CKelHSite* site, const CKelCoord2D& point,
                                          int* no) const
{
  return SearchSiteNo(CSyasenCheckSiteRuns(site), point, no);
}

bool CSyasenCheckBlockParam::SearchSiteNo(const CSyasenCheckSiteRuns& runs, const CKelCoord2D& point, int* no) const
{
  const int run = runs.RunStartingAt(point);
  if (run < 0)
    return false;
  *no = runs.FirstStoredEdge(run);
  return true;
}

void CSyasenCheckBlockParam::CutBegin(CSyasenCheck*, const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks,
                                      const RadialPoint* cpnt) const
{
  switch (m_CalcKind.m_BegCutKind) {
    case kCutHalf: {
      int edge = m_SiteNo;
      if (m_CalcKind.m_CalcType != 0 && cpnt != nullptr && cpnt->m_bPosSet)
        (void)SearchSiteNo(runs, cpnt->m_Pos1, &edge);  // none found: the checked edge
      DoBegHalfCut(runs, blocks, edge);
      break;
    }
    case kCutVert: DoBegVertCut(runs, blocks, m_SiteNo); break;
    case kCutHorz: DoHorzCut(runs, blocks, m_SiteNo); break;
    default: break;
  }
}

void CSyasenCheckBlockParam::CutEnd(CSyasenCheck*, const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks,
                                    const RadialPoint* cpnt) const
{
  const CKelHSite* site = runs.Stored();
  switch (m_CalcKind.m_EndCutKind) {
    case kCutHorz: DoHorzCut(runs, blocks, m_SiteNo); break;
    case kCutVert: DoEndVertCut(runs, blocks, m_SiteNo); break;
    case kCutHalf: {
      int edge = m_SiteNo;
      int found = 0;
      if (m_CalcKind.m_CalcType != 0 && cpnt != nullptr && cpnt->m_bPosSet &&
          SearchSiteNo(runs, cpnt->m_Pos2, &found))
        edge = found > 0 ? found - 1 : site->GetSize() - 1;
      DoEndHalfCut(runs, blocks, edge);
      break;
    }
    default: break;
  }
}

// The radial base line through p towards the check point: the blocks on
// takenSide of it are cut off; when the check point asks for it they come
// back trimmed to the edge and to the square through p.
void CSyasenCheckBlockParam::CutRadial(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks,
                                       const CKelCoord2D& p, const RadialPoint& cpnt, int takenSide) const
{
  const double len = length_2point(p, cpnt.m_Position);
  if (len <= KelTol::SlantPiece)
    return;
  const double ux = (cpnt.m_Position.m_x - p.m_x) / len, uy = (cpnt.m_Position.m_y - p.m_y) / len;
  const CKelCoord2D q = Plus(p, ux, uy);
  CutBlock(blocks, p, q, kNone);
  CKelBlockCubeList taken;
  MoveSide(blocks, taken, p, q, takenSide);
  if (!cpnt.m_bBaseCut || !ValidEdge(runs.Stored(), m_SiteNo))
    return;
  const CKelSiteTable& v = runs.Site()->Vertex(runs.Edge(m_SiteNo));
  const CKelCoord2D& e = v.m_Sphere.m_EdgePos[0];
  CutBlock(taken, e, Plus(e, v.m_Sphere.m_EdgeCos, v.m_Sphere.m_EdgeSin), kRight);
  CutBlock(taken, p, Plus(p, -uy, ux), kLeft);
  blocks.insert(blocks.end(), taken.begin(), taken.end());
}

void CSyasenCheckBlockParam::CutBegBase(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks,
                                        const CRoadLineParam* line, const RadialPoint* cpnt) const
{
  const int kind = m_CalcKind.m_BegBaseKind;
  if ((kind == kBaseBoundary || kind == kBaseArbitrary) && line != nullptr) {
    const double c = line->m_Cos, s = line->m_Sin;
    const double off = kind == kBaseArbitrary ? m_CalcKind.m_BegBaseOffset : 0.0;
    const CKelCoord2D p = Plus(m_BegPoint, -off * c, -off * s);
    CutBlock(blocks, p, Plus(p, -s, c), kLeft);
  } else if (kind == kBaseRadial && cpnt != nullptr) {
    CutRadial(runs, blocks, cpnt->m_bPosSet ? cpnt->m_Pos1 : m_BegPoint, *cpnt, kRight);
  }
}

void CSyasenCheckBlockParam::CutEndBase(const CSyasenCheckSiteRuns& runs, CKelBlockCubeList& blocks,
                                        const CRoadLineParam* line, const RadialPoint* cpnt) const
{
  const int kind = m_CalcKind.m_EndBaseKind;
  if ((kind == kBaseBoundary || kind == kBaseArbitrary) && line != nullptr) {
    const double c = line->m_Cos, s = line->m_Sin;
    const double off = kind == kBaseArbitrary ? m_CalcKind.m_EndBaseOffset : 0.0;
    const CKelCoord2D p = Plus(m_EndPoint, off * c, off * s);
    CutBlock(blocks, p, Plus(p, -s, c), kRight);
  } else if (kind == kBaseRadial && cpnt != nullptr) {
    CutRadial(runs, blocks, cpnt->m_bPosSet ? cpnt->m_Pos2 : m_EndPoint, *cpnt, kLeft);
  }
}

bool CSyasenCheckBlockParam::BaseLine(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk,
                                      CRoadLineParam& line)
{
  return blk != nullptr && blk->GetBaseLine(check, site, this, 1, line, 0.0);
}

CKelBlockCubeArray CSyasenCheckBlockParam::CreateBaseBlockSub(CSyasenCheck* check, CKelHSite* site,
                                                              CSyasenCheckBlock* blk, const CKelBlockCubeArray& blocks,
                                                              bool plan, const RadialPoint* cpnt,
                                                              const CSyasenCheckSiteRuns& runs, bool dropped)
{
  CKelBlockCubeArray result;
  CRoadLineParam line;
  const bool hasLine = BaseLine(check, site, blk, line);
  for (const CKelBlockCube& block : blocks) {
    if (block.m_Coord.empty())
      continue;
    // The radial cuts read the outline without the points a survey adds:
    // pieces of an outline with a doubled point or a tiny loop do not merge
    // back, and the vertices a cut made on them then pass for the blocks'
    // corners. The basic form's base blocks keep every point, so its check
    // points follow the building's real extent.
    CKelBlockCubeList list{block};
    if (cpnt != nullptr && !dropped)
      DropRadialSurveyPoints(list.front());
    CutBegin(check, runs, list, cpnt);
    CutEnd(check, runs, list, cpnt);
    CutBegBase(runs, list, hasLine ? &line : nullptr, cpnt);
    CutEndBase(runs, list, hasLine ? &line : nullptr, cpnt);
    for (CKelBlockCube& b : list) {
      if (plan)
        b.SetPlanBlock();
      else
        b.SetBaseBlock();
      b.GetPlaneEquation(false);
      b.GetPlaneEquation(true);
      result.AddBlock(b);
    }
  }
  return result;
}

CKelBlockCubeArray CSyasenCheckBlockParam::CreateYouhekiBlock(double bottom) const
{
  CKelBlockCubeArray result;
  if (!(m_GrdHeight > m_GrdLevel1 || m_GrdHeight > m_GrdLevel2) || !(bottom < m_GrdHeight))
    return result;
  for (const CKelBlockCube& wall : m_YouhekiBlock) {
    if (wall.m_Coord.empty() || !(wall.m_Coord[0].m_zL < KelTol::PointEqual))
      continue;
    CKelBlockCube b = wall;
    b.m_pPrfPlanParam = nullptr;
    b.SetZH(nullptr, m_GrdHeight);
    b.SetZL(nullptr, bottom);
    b.SetType();
    result.AddBlock(b);
  }
  result.DeleteOnLine();
  result.CombineBlock(nullptr);
  return result;
}

CSyasenCheckBlockParam::RadialPoint CSyasenCheckBlockParam::RadialOf(const CSphereRatioParam& cpnt)
{
  RadialPoint r;
  r.m_Position = cpnt.GetCoord3D(0);
  r.m_Pos1 = cpnt.m_BegPoint;
  r.m_Pos2 = cpnt.m_EndPoint;
  r.m_bPosSet = cpnt.m_bUsePoint;
  r.m_bBaseCut = cpnt.m_bBaseCut;
  return r;
}

CKelBlockCubeArray CSyasenCheckBlockParam::CreateBaseBlock(CSyasenCheck* check, CKelHSite* site,
                                                           CSyasenCheckBlock* blk, const CKelBlockCubeArray& blocks,
                                                           bool plan, const CSphereRatioParam* cpnt)
{
  return CreateBaseBlock(check, site, blk, blocks, plan, cpnt, CSyasenCheckSiteRuns(site));
}

CKelBlockCubeArray CSyasenCheckBlockParam::CreateBaseBlock(CSyasenCheck* check, CKelHSite* site,
                                                           CSyasenCheckBlock* blk, const CKelBlockCubeArray& blocks,
                                                           bool plan, const CSphereRatioParam* cpnt,
                                                           const CSyasenCheckSiteRuns& runs, bool dropped)
{
  if (cpnt == nullptr)
    return CreateBaseBlockSub(check, site, blk, blocks, plan, nullptr, runs, false);
  const RadialPoint radial = RadialOf(*cpnt);
  return CreateBaseBlockSub(check, site, blk, blocks, plan, &radial, runs, dropped);
}

// The check line of [start, end] and the check points on it, at the pitch
// (half the check-point distance unless given); m_TgtPitch keeps the
// largest spacing used.
void CSyasenCheckBlockParam::LayCheckPoints(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk,
                                            double start, double end, CSphereRatioParamArray& points,
                                            const CSyasenCheckSiteRuns& runs)
{
  CalcChkPntEx(check, site, blk, start, end, runs);
  GetCpntPitch();
  m_TgtPitch = m_CpntPitch;
  m_Cpntline.CreateCheckPoint(m_CalcKind.m_bUniform, &m_TgtPitch, points);
}

namespace {

// What the check reads of a site corner: its place and the edge data stored
// with it (the edge's start, direction and length).
bool SiteVertexFinite(const CKelSiteTable& v)
{
  const CKelHsiteSphereTable& sp = v.m_Sphere;
  const auto finite = [](const CKelCoord2D& p) { return std::isfinite(p.m_x) && std::isfinite(p.m_y); };
  return finite(v) && std::all_of(std::begin(sp.m_EdgePos), std::end(sp.m_EdgePos), finite) &&
         std::isfinite(sp.m_EdgeCos) && std::isfinite(sp.m_EdgeSin) && std::isfinite(sp.m_EdgeLen);
}

}  // namespace

static_assert(CSyasenCheckBlockParam::kNotFinite == CKelHSite::kNotFinite, "one code for numbers not finite");

int CSyasenCheckBlockParam::CheckError(const CKelHSite* site, double bottom, bool checkPoints) const
{
  return CheckError(CSyasenCheckSiteRuns(site), bottom, checkPoints);
}

// The runs are made only once every number they read is known finite.
int CSyasenCheckBlockParam::CheckError(const CSyasenCheckSiteRuns& runs, double bottom, bool checkPoints) const
{
  const CKelHSite* site = runs.Stored();
  if (!ValidEdge(site, m_SiteNo))
    return kNoEdge;
  const auto finite = [](std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
  };
  const CSyasenCheckCalcKind& k = m_CalcKind;
  if (!finite({m_BegPoint.m_x, m_BegPoint.m_y, m_EndPoint.m_x, m_EndPoint.m_y, m_GrdHeight, m_GrdLevel1,
               m_GrdLevel2, k.m_BegBaseOffset, k.m_EndBaseOffset, bottom}) ||
      (checkPoints && !finite({m_CpntPitch, m_CpntDistance, k.m_BegCpntValue, k.m_EndCpntValue, m_CheckLength,
                               m_CheckStart, m_CheckEnd})) ||
      !std::all_of(site->m_pt.begin(), site->m_pt.end(), SiteVertexFinite))
    return kNotFinite;
  // Along the checked side as the cuts read it: the run of the edge.
  const int run = runs.Edge(m_SiteNo);
  const CKelSiteTable& side = run >= 0 ? runs.Site()->Vertex(run) : site->Vertex(m_SiteNo);
  const double along = (m_EndPoint.m_x - m_BegPoint.m_x) * side.m_Sphere.m_EdgeCos +
                       (m_EndPoint.m_y - m_BegPoint.m_y) * side.m_Sphere.m_EdgeSin;
  return along <= -KelTol::PointEqual ? kBegAfterEnd : 0;
}

// A refused check keeps no results of an earlier run.
void CSyasenCheckBlockParam::ClearResults(CSphereRatioParamArray& points)
{
  m_BaseBlock.Clear();
  m_Cpntline.clear();
  points.clear();
}

int CSyasenCheckBlockParam::CreateBlock1(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, double bottom,
                                         bool bCreateChkPnt)
{
  const bool points = check != nullptr && bCreateChkPnt;
  const CSyasenCheckSiteRuns runs(site);
  const OperationRuns lent(*this, runs);
  if (const int error = CheckError(runs, bottom, points); error != 0) {
    ClearResults(m_SphereRatio);
    return error;
  }
  m_BaseBlock.Clear();
  m_BaseBlock.AddBlock(CreateBaseBlock(check, site, blk, m_SrcBlock, false, nullptr, runs));
  m_BaseBlock.AddBlock(CreateBaseBlock(check, site, blk, CreateYouhekiBlock(bottom), false, nullptr, runs));
  m_BaseBlock.CombineBlock(nullptr);
  // Check points need the driver's base line.
  if (!points)
    return 0;
  m_SphereRatio.clear();
  double start = 0, end = 0;
  CreateChkPntPos(runs, &start, &end);
  LayCheckPoints(check, site, blk, start, end, m_SphereRatio, runs);
  return 0;
}

int CSyasenCheckBlockParam::CreateBlock2(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk, double bottom)
{
  const CSyasenCheckSiteRuns runs(site);
  const OperationRuns lent(*this, runs);
  if (const int error = CheckError(runs, bottom, true); error != 0) {
    ClearResults(m_SphereRatio2);
    return error;
  }
  m_SphereRatio2.clear();
  double from = 0, to = 0;
  GetCheckRange(&from, &to);
  // The range runs from the begin point, measured as the basic form's
  // stretch is: along the run's line from its start.
  CRoadLineParam line;
  if (CheckBaseLine(runs, line)) {
    const double begin = (m_BegPoint.m_x - line.m_Beg.m_x) * line.m_Cos + (m_BegPoint.m_y - line.m_Beg.m_y) * line.m_Sin;
    from += begin;
    to += begin;
  }
  LayCheckPoints(check, site, blk, from, to, m_SphereRatio2, runs);
  for (CSphereRatioParam& cpnt : m_SphereRatio2) {
    if (cpnt.m_bUsePoint)
      continue;
    cpnt.m_BegPoint = m_BegPoint;
    cpnt.m_EndPoint = m_EndPoint;
    cpnt.m_bUsePoint = true;
  }
  CreateBlock2(check, site, blk, m_SrcBlock, false, runs);
  CreateBlock2(check, site, blk, CreateYouhekiBlock(bottom), false, runs);
  return 0;
}

void CSyasenCheckBlockParam::CreateBlock2(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk,
                                          const CKelBlockCubeArray& blocks, bool plan)
{
  CreateBlock2(check, site, blk, blocks, plan, CSyasenCheckSiteRuns(site));
}

void CSyasenCheckBlockParam::CreateBlock2(CSyasenCheck* check, CKelHSite* site, CSyasenCheckBlock* blk,
                                          const CKelBlockCubeArray& blocks, bool plan,
                                          const CSyasenCheckSiteRuns& runs)
{
  // Every check point cuts the same outlines: read without their survey
  // points once.
  CKelBlockCubeArray clean = blocks;
  for (CKelBlockCube& b : clean) {
    if (!b.m_Coord.empty())
      DropRadialSurveyPoints(b);
  }
  for (CSphereRatioParam& cpnt : m_SphereRatio2) {
    cpnt.m_BlockList.AddBlock(CreateBaseBlock(check, site, blk, clean, plan, &cpnt, runs, true));
    cpnt.m_BlockList.CombineBlock(nullptr);
  }
}

void CSyasenCheckBlockParam::GetCheckRange(double* from, double* to) const
{
  if (m_CheckStart >= m_CheckLength || m_CheckEnd < 0) {
    *from = 0;
    *to = m_CheckLength;
    return;
  }
  *from = std::max(0.0, m_CheckStart);
  *to = std::min(m_CheckLength, m_CheckEnd);
}

void CSyasenCheckBlockParam::GetCpntPitch()
{
  if (m_CpntPitch == 0.0)
    m_CpntPitch = m_CpntDistance * 0.5;
}

void CSyasenCheckRoadDistanceArray::Add(double d)
{
  if (std::find(begin(), end(), d) == end())
    push_back(d);
}
