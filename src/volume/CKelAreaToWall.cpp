// Merging and cancelling of collinear segments and concentric arcs.
//
// Both work in one dimension: a segment in the frame of the new segment p1
// -> p2 (positions 0 ... L along it), an arc in angle space along the new
// arc's direction. The first collected piece that overlaps the new one
// decides, by where it starts and ends relative to [0, L], which stretch it
// keeps and which remainders are entered again (the table in PlanOf).

#include "CKelAreaToWall.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "KelEdge.h"
#include "KelGeometry.h"

namespace {

// The four ends of a decision: the new piece's p1 and p2, the collected
// piece's begin A and end B.
enum Label { kP1, kP2, kA, kB };

struct Stretch {
  Label from = kP1;
  Label to = kP2;
};

struct Plan {
  bool bothInside = false;  // the collected piece starts and ends inside
  bool keepEnds = false;    // it keeps its ends
  Stretch k;                // otherwise its new ends
  bool cancel = false;      // it gets its flag (mark) set
  std::vector<Stretch> rest;
};

// Decision for a collected piece at positions ax (begin) and bx (end) along
// the new piece [0, len]; none when they do not overlap by more than eps.
// cancelOnly: the new piece only cancels what it covers (AddLine2).
std::optional<Plan> PlanOf(double ax, double bx, double len, double eps, bool cancelOnly)
{
  const bool same = ax <= bx;
  const double lo = std::min(ax, bx);
  const double hi = std::max(ax, bx);
  if (!(hi > eps && lo < len - eps))
    return std::nullopt;
  const bool startsInside = lo > 0 || std::fabs(lo) <= eps;
  const bool endsBeyond = hi > len + eps;
  Plan p;
  p.bothInside = startsInside && !endsBeyond;
  p.keepEnds = p.bothInside;
  p.cancel = cancelOnly || !same;
  if (cancelOnly) {
    if (p.bothInside)
      return p;
    if (startsInside) {
      p.k = same ? Stretch{kA, kP2} : Stretch{kP2, kB};
      p.rest = {same ? Stretch{kP2, kB} : Stretch{kA, kP2}};
    } else if (endsBeyond) {
      p.k = Stretch{kP1, kP2};
      p.rest = same ? std::vector<Stretch>{{kA, kP1}, {kP2, kB}} : std::vector<Stretch>{{kA, kP2}, {kP1, kB}};
    } else {
      p.k = same ? Stretch{kP1, kB} : Stretch{kA, kP1};
      p.rest = {same ? Stretch{kA, kP1} : Stretch{kP1, kB}};
    }
    return p;
  }
  if (same) {
    if (p.bothInside)
      p.rest = {{kP1, kA}, {kB, kP2}};
    else if (startsInside)
      p.k = {kA, kP2}, p.rest = {{kP1, kA}, {kP2, kB}};
    else if (endsBeyond)
      p.k = {kA, kP1}, p.rest = {{kP1, kP2}, {kP2, kB}};
    else
      p.k = {kP1, kB}, p.rest = {{kA, kP1}, {kB, kP2}};
    return p;
  }
  if (p.bothInside)
    p.rest = {{kP1, kB}, {kA, kP2}};
  else if (startsInside)
    p.k = {kP2, kB}, p.rest = {{kP1, kB}, {kA, kP2}};
  else if (endsBeyond)
    p.k = {kP1, kP2}, p.rest = {{kA, kP2}, {kP1, kB}};
  else
    p.k = {kA, kP1}, p.rest = {{kP1, kB}, {kA, kP2}};
  return p;
}

struct Ends {
  CKelCoord2D point[4];
  double position[4] = {0, 0, 0, 0};
};

CKelCoord2D SeamPoint(const CKelCoord2D& p, const CKelCoord2D& centre)
{
  return CKelCoord2D(centre.m_x - p.GetLength(centre), centre.m_y);
}

// Read in its own direction, the arc runs past the seam direction pi.
bool CrossesSeam(const CKelWallArc& arc)
{
  const double b = arc.GetBegAng();
  const double e = arc.GetEndAng();
  return arc.m_bCCW ? b > e : b < e;
}

// Steps 6 and 7 of a merge: the collected piece k, unless it started and
// ended inside, is removed when it shrank to a point and nothing remains, or
// takes the first remainder's place; the other remainders are entered again.
template <class List>
List Settle(List& list, std::size_t k, bool bothInside, bool shrunk, List scratch)
{
  if (bothInside || !shrunk)
    return scratch;
  if (scratch.empty()) {
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(k));
  } else {
    list[k] = scratch.front();
    scratch.erase(scratch.begin());
  }
  return scratch;
}

}  // namespace

int CKelAreaToWall::fcmp(double d) const
{
  if (std::fabs(d) <= m_Eval)
    return 0;
  return d > 0 ? 1 : -1;
}

bool CKelAreaToWall::IsEqual(const CKelCoord2D& a, const CKelCoord2D& b) const
{
  return fcmp(a.m_x - b.m_x) == 0 && fcmp(a.m_y - b.m_y) == 0;
}

CKelWallLine* CKelAreaToWall::Search(const CKelCoord2D& p1, const CKelCoord2D& p2)
{
  for (CKelWallLine& line : m_Lines) {
    if ((IsEqual(line.m_p1, p1) && IsEqual(line.m_p2, p2)) || (IsEqual(line.m_p1, p2) && IsEqual(line.m_p2, p1)))
      return &line;
  }
  return nullptr;
}

// Every step resolves at least one stretch between two of the ends met on
// the line; far more steps than that mean round-off is feeding itself.
long CKelAreaToWall::ReentryBudget(std::size_t collected) const { return 16L * (static_cast<long>(collected) + 4); }

// --- Segments --------------------------------------------------------------------------------

CKelWallLineArray CKelAreaToWall::LineStep(const CKelCoord2D& p1, const CKelCoord2D& p2, bool cancelOnly)
{
  if (length_2point(p1, p2) <= KelTol::WallMinLength)
    return {};
  for (std::size_t k = 0; k < m_Lines.size(); ++k) {
    CKelWallLine& seg = m_Lines[k];
    const KelEdge::Frame a = KelEdge::Measure(p1, p2, seg.m_p1);
    const KelEdge::Frame b = KelEdge::Measure(p1, p2, seg.m_p2);
    if (std::fabs(a.h) > m_Eval || std::fabs(b.h) > m_Eval)
      continue;
    const std::optional<Plan> plan = PlanOf(a.t, b.t, a.len, m_Eval, cancelOnly);
    if (!plan)
      continue;
    const CKelCoord2D ends[4] = {p1, p2, seg.m_p1, seg.m_p2};
    if (!plan->keepEnds) {
      seg.m_p1 = ends[plan->k.from];
      seg.m_p2 = ends[plan->k.to];
    }
    if (plan->cancel)
      seg.m_bFlag = true;
    CKelWallLineArray scratch;
    for (const Stretch& r : plan->rest) {
      if (!IsEqual(ends[r.from], ends[r.to]))
        scratch.Add(ends[r.from], ends[r.to], false);
    }
    return Settle(m_Lines, k, plan->bothInside, IsEqual(seg.m_p1, seg.m_p2), std::move(scratch));
  }
  if (!cancelOnly)
    m_Lines.Add(p1, p2, false);
  return {};
}

void CKelAreaToWall::AddLine(CKelCoord2D p1, CKelCoord2D p2)
{
  // Depth first: each remainder is collected whole before the next.
  std::vector<CKelWallLine> pending{CKelWallLine(p1, p2, false)};
  for (long budget = ReentryBudget(m_Lines.size()); !pending.empty() && budget > 0; --budget) {
    const CKelWallLine line = pending.back();
    pending.pop_back();
    const CKelWallLineArray rest = LineStep(line.m_p1, line.m_p2, false);
    pending.insert(pending.end(), rest.rbegin(), rest.rend());
  }
}

void CKelAreaToWall::AddLine2(CKelCoord2D p1, CKelCoord2D p2)
{
  for (const CKelWallLine& rest : LineStep(p1, p2, true))
    AddLine(rest.m_p1, rest.m_p2);
}

void CKelAreaToWall::AddPoint(CKelCoord2D p)
{
  for (std::size_t k = 0; k < m_Lines.size(); ++k) {
    const KelEdge::Frame f = KelEdge::Measure(m_Lines[k].m_p1, m_Lines[k].m_p2, p);
    if (std::fabs(f.h) <= m_Eval && f.t > m_Eval && f.t < f.len - m_Eval) {
      const CKelWallLine tail(p, m_Lines[k].m_p2, m_Lines[k].m_bFlag);
      m_Lines[k].m_p2 = p;
      m_Lines.insert(m_Lines.begin() + static_cast<std::ptrdiff_t>(k) + 1, tail);
      return;
    }
  }
}

// --- Arcs ------------------------------------------------------------------------------------

bool CKelAreaToWall::ArcGetOrigo(const CKelCoord2D* p1, const CKelCoord2D* p2, double angle, CKelCoord2D* centre)
{
  return ArcCentreOfAngle(*p1, *p2, angle, centre);
}

bool CKelAreaToWall::CheckAngle(const CKelWallArc* arc) const
{
  double b = arc->GetBegAng();
  double e = arc->GetEndAng();
  if (arc->m_bCCW) {
    if (b == KelAngle::Pi)
      b = -KelAngle::Pi;
    if (e == -KelAngle::Pi)
      e = KelAngle::Pi;
    return b < e;
  }
  if (b == -KelAngle::Pi)
    b = KelAngle::Pi;
  if (e == KelAngle::Pi)
    e = -KelAngle::Pi;
  return b > e;
}

bool CKelAreaToWall::IsEqualAngle(const CKelWallArc* arc) const
{
  double b = arc->GetBegAng();
  if (b == -KelAngle::Pi)
    b = KelAngle::Pi;
  return std::fabs(b - arc->GetEndAng()) <= m_Eval;
}

// The arc does not cross the seam; angles are read along its direction.
CKelWallArcArray CKelAreaToWall::ArcStep(const CKelWallArc& arc, bool cancelOnly)
{
  const double sign = arc.m_bCCW ? 1.0 : -1.0;
  const double b0 = arc.GetBegAng();
  const double len = (arc.GetEndAng() - b0) * sign;
  const double radius = arc.Radius();
  if (!CheckAngle(&arc) || len * radius <= KelTol::WallMinLength)
    return {};
  for (std::size_t k = 0; k < m_Arcs.size(); ++k) {
    CKelWallArc& old = m_Arcs[k];
    if (!check_point(old.m_Center, arc.m_Center) || std::fabs(old.Radius() - radius) > KelTol::WallMinLength ||
        !CheckAngle(&old))
      continue;
    Ends ends{{arc.m_p1, arc.m_p2, old.m_p1, old.m_p2},
              {0, len, (old.GetBegAng() - b0) * sign, (old.GetEndAng() - b0) * sign}};
    const std::optional<Plan> plan = PlanOf(ends.position[kA], ends.position[kB], len, m_Eval, cancelOnly);
    if (!plan)
      continue;
    // A piece runs with the new arc when its positions increase.
    const auto piece = [&](const Stretch& s, bool mark) {
      const bool forward = ends.position[s.to] >= ends.position[s.from];
      return CKelWallArc(ends.point[s.from], ends.point[s.to], old.m_Center, forward ? arc.m_bCCW : !arc.m_bCCW,
                         mark);
    };
    if (!plan->keepEnds)
      old = piece(plan->k, old.m_bMark);
    if (plan->cancel)
      old.m_bMark = true;
    CKelWallArcArray scratch;
    for (const Stretch& r : plan->rest) {
      if (!IsEqual(ends.point[r.from], ends.point[r.to])) {
        const CKelWallArc rest = piece(r, false);
        scratch.Add(rest.m_p1, rest.m_p2, rest.m_Center, rest.m_bCCW, false);
      }
    }
    return Settle(m_Arcs, k, plan->bothInside, IsEqualAngle(&old), std::move(scratch));
  }
  if (!cancelOnly)
    m_Arcs.Add(arc.m_p1, arc.m_p2, arc.m_Center, arc.m_bCCW, false);
  return {};
}

// The arcs of `first` split at the seam, depth first and the earlier half
// first, each handed to `step`, which may push arcs to work on next. The
// walk is bounded like the re-entries: a split makes no progress on an arc
// whose start is its centre (the seam is then the start again), so an
// unbounded walk would never end.
template <class Step>
void CKelAreaToWall::WalkArcs(const CKelWallArc& first, Step&& step)
{
  std::vector<CKelWallArc> pending{first};
  for (long budget = ReentryBudget(m_Arcs.size()); !pending.empty() && budget > 0; --budget) {
    const CKelWallArc arc = pending.back();
    pending.pop_back();
    if (arc.m_p1.IsNearlyEqual(arc.m_p2))
      continue;
    if (CrossesSeam(arc)) {
      const CKelCoord2D seam = SeamPoint(arc.m_p1, arc.m_Center);
      pending.emplace_back(seam, arc.m_p2, arc.m_Center, arc.m_bCCW, false);
      pending.emplace_back(arc.m_p1, seam, arc.m_Center, arc.m_bCCW, false);
      continue;
    }
    step(arc, pending);
  }
}

void CKelAreaToWall::AddArc(CKelCoord2D p1, CKelCoord2D p2, const CKelCoord2D& centre, bool ccw)
{
  WalkArcs(CKelWallArc(p1, p2, centre, ccw, false), [this](const CKelWallArc& arc, std::vector<CKelWallArc>& pending) {
    const CKelWallArcArray rest = ArcStep(arc, false);
    pending.insert(pending.end(), rest.rbegin(), rest.rend());
  });
}

void CKelAreaToWall::AddArc2(CKelCoord2D p1, CKelCoord2D p2, const CKelCoord2D& centre, bool ccw)
{
  if (!ccw)
    std::swap(p1, p2);
  WalkArcs(CKelWallArc(p1, p2, centre, true, false), [this](const CKelWallArc& arc, std::vector<CKelWallArc>&) {
    for (const CKelWallArc& rest : ArcStep(arc, true))
      AddArc(rest.m_p1, rest.m_p2, rest.m_Center, rest.m_bCCW);
  });
}
