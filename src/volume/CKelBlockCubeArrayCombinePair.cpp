// The two-block combination: the merged outline of two blocks that share a
// run of outline, and the insertion of shared vertices.
//
// Vocabulary
//   same      two vertices whose plan points and top heights are equal within
//             KelTol::BlockPoint and whose bottoms differ by less than it
//             (IsSameCoord2); floors, offsets and walls are not compared.
//   run       the stretch of outline two counter-clockwise blocks share; A
//             walks it forwards while B walks it backwards.
//   work      a light copy of an outline for the pair combination: each
//             vertex's plan point and heights, which are all its tests read,
//             and the full vertex it stands for. Full vertices (walls, floors,
//             offsets) are copied only into a result that keeps them.
//
// The walk may step over up to two vertices of one outline, which lets a
// block merge across a vertex the other lacks, but can also step over a
// hole's corners: a merge is kept only when the merged outline's area is
// the sum of the two blocks' areas, so no merge ever swallows a hole.
//
// The insertion of shared vertices and the search for a first pair of same
// vertices look only at the vertices an index of the other outline finds
// near an edge or a point: the tests are those of every pair, so the
// outcome is too, without the product of the two vertex counts.

#include <algorithm>
#include <cmath>
#include <optional>

#include "CKelBlockCubeArray.h"
#include "CPrfPlanParam.h"
#include "KelCombineArea.h"
#include "KelEdge.h"
#include "KelGeometry.h"
#include "KelBlockOutlineClean.h"
#include "KelOutlineIndex.h"
#include "KelTolerance.h"

namespace {

// --- Work outlines ------------------------------------------------------------------------------------

struct WorkVertex {
  CKelCoord3DEx p;                       // plan point, top and bottom heights
  const CKelBlockCoord* base = nullptr;  // the full vertex it copies
  // Heights an insertion gave the copy: SetZH / SetZL with these items.
  const CPrfPlanItem* itemH = nullptr;
  const CPrfPlanItem* itemL = nullptr;
  bool ownH = false;
  bool ownL = false;
};

using Work = std::vector<WorkVertex>;

Work WorkOf(const CKelBlockCube& block)
{
  Work w;
  w.reserve(block.m_Coord.size() * 2);
  for (const CKelBlockCoord& c : block.m_Coord) {
    WorkVertex v;
    v.p = c;
    v.base = &c;
    w.push_back(v);
  }
  return w;
}

CKelBlockCoord Full(const WorkVertex& v)
{
  CKelBlockCoord c = *v.base;
  if (v.ownH)
    c.SetZH(v.p.m_z, v.itemH);
  if (v.ownL)
    c.SetZL(v.p.m_zL, v.itemL);
  return c;
}

// IsSameCoord2 compares exactly the point and the two heights.
bool Same(const CKelCoord3DEx& a, const CKelCoord3DEx& b) { return a == b; }

// Positions around one work outline, wrapping.
struct Ring {
  const Work& v;
  int n;
  explicit Ring(const Work& w) : v(w), n(static_cast<int>(w.size())) {}
  int Next(int i) const { return (i + 1) % n; }
  int Prev(int i) const { return (i + n - 1) % n; }
  const CKelCoord3DEx& operator[](int i) const { return v[static_cast<std::size_t>(i)].p; }
  const WorkVertex& At(int i) const { return v[static_cast<std::size_t>(i)]; }
};

// --- Points near a box ---------------------------------------------------------------------------------

struct PlanRect {
  double x0 = HUGE_VAL;
  double x1 = -HUGE_VAL;
  double y0 = HUGE_VAL;
  double y1 = -HUGE_VAL;

  void Add(const CKelCoord2D& p)
  {
    x0 = std::min(x0, p.m_x);
    x1 = std::max(x1, p.m_x);
    y0 = std::min(y0, p.m_y);
    y1 = std::max(y1, p.m_y);
  }
  // Grown by the search margin: BlockNear and BlockNearScale of the size of
  // its coordinates, times `times`.
  PlanRect Grown(double times) const
  {
    const double scale = std::max({std::fabs(x0), std::fabs(x1), std::fabs(y0), std::fabs(y1)});
    const double g = times * (KelTol::BlockNear + KelTol::BlockNearScale * scale);
    return {x0 - g, x1 + g, y0 - g, y1 + g};
  }
  bool Finite() const { return std::isfinite(x0) && std::isfinite(x1) && std::isfinite(y0) && std::isfinite(y1); }
  bool Holds(const CKelCoord2D& p) const { return x0 <= p.m_x && p.m_x <= x1 && y0 <= p.m_y && p.m_y <= y1; }
  bool Holds(const PlanRect& r) const { return x0 <= r.x0 && r.x1 <= x1 && y0 <= r.y0 && r.y1 <= y1; }
  bool Meets(const PlanRect& r) const { return x0 <= r.x1 && r.x0 <= x1 && y0 <= r.y1 && r.y0 <= y1; }
};

PlanRect RectOf(const Work& w)
{
  PlanRect r;
  for (const WorkVertex& v : w)
    r.Add(v.p);
  return r;
}

// The points of a work outline that lie inside a limit box (the other
// outline's, grown), in a uniform grid of about one point a cell. A query
// box that leaves the limit is answered by a scan of every point, so the
// answer never misses a point; a candidate too many is sorted out by the
// exact tests that follow.
class NearPoints {
public:
  NearPoints(const Work& w, const PlanRect& limit) : m_All(w), m_Limit(limit)
  {
    for (std::size_t k = 0; k < w.size(); ++k) {
      if (limit.Holds(w[k].p) && std::isfinite(w[k].p.m_x) && std::isfinite(w[k].p.m_y)) {
        m_Tight.Add(w[k].p);
        m_Inside.push_back(static_cast<int>(k));
      }
    }
    constexpr std::size_t kFew = 16;
    if (m_Inside.size() >= kFew)
      BuildGrid();
    // A box inside the limit has coordinates no larger than the limit's, so
    // its margin is at most the limit's: boxes well inside the limit and
    // that far from the points cannot find any.
    const PlanRect margin = limit.Grown(1);
    const double g = margin.x1 - limit.x1;
    m_Inner = {limit.x0 + g, limit.x1 - g, limit.y0 + g, limit.y1 - g};
    m_Reach = {m_Tight.x0 - g, m_Tight.x1 + g, m_Tight.y0 - g, m_Tight.y1 + g};
  }

  // False when no point lies within the search margin of the box of a and
  // b, found without the search: for the many edges far from the points.
  bool MayFind(const CKelCoord2D& a, const CKelCoord2D& b) const
  {
    PlanRect e;
    e.Add(a);
    e.Add(b);
    return !m_Inner.Holds(e) || (!m_Inside.empty() && m_Reach.Meets(e));
  }

  // Ascending positions above `after` of the points that may lie within the
  // search margin of the box of a and b.
  void Find(const CKelCoord2D& a, const CKelCoord2D& b, int after, std::vector<int>& out) const
  {
    out.clear();
    if (!MayFind(a, b))
      return;
    PlanRect q;
    q.Add(a);
    q.Add(b);
    q = q.Grown(1);
    const auto inQuery = [&](int k) { return k > after && q.Holds(m_All[static_cast<std::size_t>(k)].p); };
    if (!q.Finite()) {
      for (int k = after + 1; k < static_cast<int>(m_All.size()); ++k)
        out.push_back(k);
    } else if (!m_Limit.Holds(q)) {
      for (int k = after + 1; k < static_cast<int>(m_All.size()); ++k) {
        if (inQuery(k))
          out.push_back(k);
      }
    } else if (m_Inside.empty() || !m_Tight.Meets(q)) {
      return;
    } else if (m_Start.empty()) {
      for (const int k : m_Inside) {
        if (inQuery(k))
          out.push_back(k);
      }
    } else {
      FromGrid(q, inQuery, out);
    }
  }

private:
  template <class Test>
  void FromGrid(const PlanRect& q, const Test& inQuery, std::vector<int>& out) const
  {
    const int cx0 = Column(q.x0);
    const int cx1 = Column(q.x1);
    const int cy0 = Row(q.y0);
    const int cy1 = Row(q.y1);
    for (int cy = cy0; cy <= cy1; ++cy) {
      for (int cx = cx0; cx <= cx1; ++cx) {
        const auto c = static_cast<std::size_t>(cy * m_Nx + cx);
        for (int s = m_Start[c]; s < m_Start[c + 1]; ++s) {
          if (inQuery(m_Pos[static_cast<std::size_t>(s)]))
            out.push_back(m_Pos[static_cast<std::size_t>(s)]);
        }
      }
    }
    std::sort(out.begin(), out.end());
  }

  void BuildGrid()
  {
    const double width = m_Tight.x1 - m_Tight.x0;
    const double height = m_Tight.y1 - m_Tight.y0;
    const auto n = static_cast<double>(m_Inside.size());
    m_Cell = std::max({std::sqrt(width * height / n), std::max(width, height) / n, KelTol::BlockNear});
    if (!std::isfinite(width) || !std::isfinite(height) || !std::isfinite(m_Cell))
      return;  // spans beyond doubles: the list of the points serves
    m_Nx = static_cast<int>(std::min(width / m_Cell + 1, n));
    m_Ny = static_cast<int>(std::min(height / m_Cell + 1, n));
    m_Start.assign(static_cast<std::size_t>(m_Nx * m_Ny) + 1, 0);
    std::vector<int> cellOf;
    cellOf.reserve(m_Inside.size());
    for (const int k : m_Inside) {
      const CKelCoord2D& p = m_All[static_cast<std::size_t>(k)].p;
      cellOf.push_back(Row(p.m_y) * m_Nx + Column(p.m_x));
      ++m_Start[static_cast<std::size_t>(cellOf.back()) + 1];
    }
    for (std::size_t c = 1; c < m_Start.size(); ++c)
      m_Start[c] += m_Start[c - 1];
    m_Pos.resize(m_Inside.size());
    std::vector<int> fill(m_Start.begin(), m_Start.end() - 1);
    for (std::size_t i = 0; i < m_Inside.size(); ++i)  // ascending within each cell
      m_Pos[static_cast<std::size_t>(fill[static_cast<std::size_t>(cellOf[i])]++)] = m_Inside[i];
  }

  // Cells of a coordinate, clamped: floor is monotonic, so every point
  // inside a box lies in the cells of the box's corners or between them.
  int Column(double x) const { return Clamp((x - m_Tight.x0) / m_Cell, m_Nx); }
  int Row(double y) const { return Clamp((y - m_Tight.y0) / m_Cell, m_Ny); }
  static int Clamp(double u, int n) { return !(u > 0) ? 0 : u >= n - 1 ? n - 1 : static_cast<int>(u); }

  const Work& m_All;
  PlanRect m_Limit;
  PlanRect m_Inner;          // the limit less the margin of its size
  PlanRect m_Tight;          // the box of the points inside the limit
  PlanRect m_Reach;          // and that grown by the margin of the limit's size
  std::vector<int> m_Inside;  // their positions, ascending
  double m_Cell = 1;
  int m_Nx = 1;
  int m_Ny = 1;
  std::vector<int> m_Start;  // cell c holds m_Pos[m_Start[c] .. m_Start[c + 1])
  std::vector<int> m_Pos;
};

// The limit of the points of one outline that the other's edges or points
// can find: its box grown by a few search margins, so that the edges that
// insertions make, which stray from the box by at most the insertion band
// each, stay inside it.
PlanRect LimitOf(const Work& w) { return RectOf(w).Grown(4); }

// --- Shared vertices -----------------------------------------------------------------------------------

// P inserted after start: its heights interpolated along the edge as
// CKelBlockCube::InsertCoord gives them, the bottom only on a block with
// its own bottom.
WorkVertex Inserted(const WorkVertex& start, const WorkVertex& end, const WorkVertex& P, const CPrfPlanItem* item,
                    bool tyuku)
{
  const double along = length_2point(start.p, P.p);
  const double length = length_2point(start.p, end.p);
  const auto interpolate = [&](double from, double to) {
    return length > 0 ? from + (to - from) / length * along : from;
  };
  WorkVertex v = P;
  v.p.m_z = interpolate(start.p.m_z, end.p.m_z);
  v.itemH = item;
  v.ownH = true;
  if (tyuku) {
    v.p.m_zL = interpolate(start.p.m_zL, end.p.m_zL);
    v.itemL = item;
    v.ownL = true;
  }
  return v;
}

// Every vertex of Y that lies inside an edge of X goes into X, in Y's order;
// edges made by insertions are visited too, and the vertices of Y after an
// inserted one are tested against the shortened edge.
void InsertInside(Work& X, const Work& Y, const NearPoints& near, const CPrfPlanItem* item, bool tyuku)
{
  const double t = KelTol::BlockPoint;
  const PlanRect yBox = RectOf(Y);
  // An edge whose box stays clear of Y's box is passed over unmeasured.
  // The search's margin grows with the coordinates, so on a far-flung edge
  // it offers points this test keeps away from a frame whose round-off
  // could take them in.
  const auto clearOfY = [&](const CKelCoord2D& a, const CKelCoord2D& b) {
    const double margin = 2 * t;
    return std::max(a.m_x, b.m_x) + margin < yBox.x0 || std::min(a.m_x, b.m_x) - margin > yBox.x1 ||
           std::max(a.m_y, b.m_y) + margin < yBox.y0 || std::min(a.m_y, b.m_y) - margin > yBox.y1;
  };
  std::vector<int> candidates;
  for (std::size_t e = 0; e < X.size(); ++e) {
    const auto next = [&] { return e + 1 == X.size() ? 0 : e + 1; };
    if (clearOfY(X[e].p, X[next()].p) || !near.MayFind(X[e].p, X[next()].p))
      continue;
    near.Find(X[e].p, X[next()].p, -1, candidates);
    // The edge's direction, worked out again only when an insertion shortens it.
    bool framed = false;
    KelEdge::Direction d;
    for (std::size_t k = 0; k < candidates.size(); ++k) {
      const CKelCoord3DEx& start = X[e].p;
      if (!framed && !CalcCosSin(start, X[next()].p, &d.c, &d.sn, &d.len))
        break;
      framed = true;
      const WorkVertex& P = Y[static_cast<std::size_t>(candidates[k])];
      if (KelEdge::WellInside(KelEdge::Measure(start, d, P.p), t)) {
        X.insert(X.begin() + static_cast<std::ptrdiff_t>(e) + 1, Inserted(X[e], X[next()], P, item, tyuku));
        framed = false;
        near.Find(X[e].p, X[next()].p, candidates[k], candidates);
        k = static_cast<std::size_t>(-1);  // the new list from its start
      }
    }
  }
}

const CPrfPlanItem* ItemOf(const CPrfPlanParam* prf, const CKelBlockCube& block)
{
  return prf != nullptr ? prf->GetCurProf(block.PpNo()) : nullptr;
}

// --- The walk along a run --------------------------------------------------------------------------------

// A vertex that keeps only its point and heights; the heights are their own
// offsets until the caller splits them again.
CKelBlockCoord Plain(const CKelCoord3DEx& c)
{
  CKelBlockCoord p(c.m_x, c.m_y, c.m_z, c.m_zL);
  p.m_OffH = c.m_z;
  p.m_OffL = c.m_zL;
  return p;
}

void AppendPlain(CKelBlockCoordArray& out, const CKelCoord3DEx& c)
{
  CKelBlockCoord p = Plain(c);
  if (out.empty() || !(out.back() == p))
    out.push_back(std::move(p));
}

struct ForwardRun {
  enum class End { kEnded, kWholeA, kWholeB, kMismatch } end = End::kEnded;
  int eA = 0;  // last matched pair of the run
  int eB = 0;
};

// Step 2 of the walk: the match at (a, b), stepping over up to two vertices.
bool MatchAt(const Ring& A, const Ring& B, int& a, int& b)
{
  if (Same(A[a], B[b]))
    return true;
  if (Same(A[a], B[B.Prev(b)])) {
    b = B.Prev(b);
  } else if (Same(A[a], B[B.Prev(B.Prev(b))])) {
    b = B.Prev(B.Prev(b));
  } else if (Same(A[A.Next(a)], B[b])) {
    a = A.Next(a);
  } else if (Same(A[A.Next(A.Next(a))], B[b])) {
    a = A.Next(A.Next(a));
  } else {
    return false;
  }
  return true;
}

// The plan area of the matched vertices of one outline, in walk order.
double MatchedArea(const Ring& r, const std::vector<int>& matched)
{
  return SignedShoelaceArea(matched, [&r](int k) -> const CKelCoord2D& { return r[k]; });
}

ForwardRun WalkForward(const Ring& A, const Ring& B, int i, int j)
{
  int a = i;
  int b = j;
  std::vector<int> pa;
  std::vector<int> pb;
  for (int k = 1;; ++k) {
    if (!MatchAt(A, B, a, b))
      return {ForwardRun::End::kEnded, A.Prev(a), B.Next(b)};
    pa.push_back(a);
    pb.push_back(b);
    const int lastA = a;
    const int lastB = b;
    a = A.Next(a);
    b = B.Prev(b);
    if (k == A.n || k == B.n) {
      const bool sameArea = std::fabs(MatchedArea(A, pa) - MatchedArea(B, pb)) <= KelTol::BlockMinArea;
      if (!sameArea)
        return {ForwardRun::End::kMismatch, 0, 0};
      return {k == A.n ? ForwardRun::End::kWholeA : ForwardRun::End::kWholeB, lastA, lastB};
    }
  }
}

// The first pair of the run: back from (i, j) without stepping over.
std::pair<int, int> WalkBackward(const Ring& A, const Ring& B, int i, int j)
{
  int a = i;
  int b = j;
  for (int step = 0; step < A.n; ++step) {  // bounded: the run cannot exceed A
    const int pa = A.Prev(a);
    const int nb = B.Next(b);
    if (!Same(A[pa], B[nb]))
      break;
    a = pa;
    b = nb;
  }
  return {a, b};
}

// The merged outline before full vertices are made: work vertices that are
// copied whole when one block is shared whole, as plain vertices otherwise.
struct Merged {
  Work v;
  bool whole = false;
  // Where the parts of a merge along a run come from: A from aFrom up to,
  // not including, aTo; then B from bFrom up to, not including, bTo.
  int aFrom = 0;
  int aTo = 0;
  int bFrom = 0;
  int bTo = 0;
};

// Ring r from `from` forwards to `to`, both included.
void CopyAround(Work& out, const Ring& r, int from, int to)
{
  for (int idx = from, steps = 0; steps < r.n; idx = r.Next(idx), ++steps) {
    out.push_back(r.At(idx));
    if (idx == to)
      break;
  }
}

// Ring r from `from` forwards up to, not including, `to`.
void AppendUpTo(Work& out, const Ring& r, int from, int to)
{
  for (int idx = from, steps = 0; idx != to && steps < r.n; idx = r.Next(idx), ++steps)
    out.push_back(r.At(idx));
}

CKelBlockCoordArray Materialise(const Merged& merged)
{
  CKelBlockCoordArray out;
  out.reserve(merged.v.size());
  for (const WorkVertex& v : merged.v) {
    if (merged.whole)
      out.push_back(Full(v));
    else
      AppendPlain(out, v.p);
  }
  return out;
}

// The merged outline's clean-up: false when it is not a simple polygon.
bool CleanMerged(CKelBlockCoordArray& outline)
{
  kel_outline::EraseSamePoints(outline);
  if (kel_outline::HasSamePoints(outline) || kel_outline::Crosses(outline))
    return false;
  kel_outline::DeleteOnLine(outline);
  return outline.size() > 2;
}

// --- Sure refusals ---------------------------------------------------------------------------------------
// Full vertices cost, and most merged outlines that the scan of a list tries
// are refused: two plan-point tests prove a refusal from the work vertices
// alone. Neither ever refuses an outline the clean-up and the area test
// would keep; what they cannot prove goes the full way.

// An area so far from the two blocks' sum that the area test refuses the
// outline whatever the clean-up removes. Each vertex it removes lies within
// BlockPoint of a neighbour or within Collinear of its neighbours' line,
// which moves the area by less than that band times the outline's length;
// the length only shrinks as vertices go.
bool AreaSurelyOff(const Work& w, double wholeArea)
{
  const auto position = [](const WorkVertex& v) -> const CKelCoord2D& { return v.p; };
  double length = 0;
  double terms = 0;
  for (std::size_t k = 0; k < w.size(); ++k) {
    const CKelCoord2D& prev = position(w[k == 0 ? w.size() - 1 : k - 1]);
    const CKelCoord2D& cur = position(w[k]);
    length += std::fabs(cur.m_x - prev.m_x) + std::fabs(cur.m_y - prev.m_y);
    terms += std::fabs(ShoelaceTerm(prev.m_x, prev.m_y, cur.m_x, cur.m_y));
  }
  const double area = SignedShoelaceArea(w, position);
  const double removals = static_cast<double>(w.size()) * length * (KelTol::BlockPoint + KelTol::Collinear);
  const double slack = KelTol::BlockAreaSign + removals + KelTol::BlockAreaRound * (terms + std::fabs(wholeArea));
  return std::fabs(area - wholeArea) > slack;  // false for a NaN anywhere
}

// --- Two blocks ------------------------------------------------------------------------------------------

// The outline merged along the run through (i, j): empty when the run is a
// single point; false when the blocks cannot merge at all.
bool MergeAlongRun(const Ring& ra, const Ring& rb, int i, int j, Merged& merged)
{
  const ForwardRun run = WalkForward(ra, rb, i, j);
  merged.whole = run.end == ForwardRun::End::kWholeA || run.end == ForwardRun::End::kWholeB;
  switch (run.end) {
  case ForwardRun::End::kMismatch:
    return false;
  case ForwardRun::End::kWholeA:
    CopyAround(merged.v, rb, j, run.eB);
    return true;
  case ForwardRun::End::kWholeB:
    CopyAround(merged.v, ra, run.eA, i);
    return true;
  case ForwardRun::End::kEnded:
    break;
  }
  const auto [sA, sB] = WalkBackward(ra, rb, i, j);
  if (Same(ra[run.eA], ra[sA]))
    return true;  // the blocks touch at one point only
  merged.v.reserve(static_cast<std::size_t>(ra.n + rb.n));
  AppendUpTo(merged.v, ra, run.eA, sA);
  AppendUpTo(merged.v, rb, sB, run.eB);
  merged.aFrom = run.eA;
  merged.aTo = sA;
  merged.bFrom = sB;
  merged.bTo = run.eB;
  return true;
}

// Two vertices that the clean-up keeps and that are the same point, so
// CheckSameCoord refuses the outline. The clean-up removes only a vertex
// the same as its neighbour; a vertex is lone when no other lies within the
// search margin of it. So two same vertices near no others, with a lone
// vertex on either way round between them, never become neighbours and both
// stay. Such pairs come from a second run the blocks share: a vertex of the
// A part and one of the B part.
class SameKept {
public:
  SameKept(const Merged& merged, int sizeA, int sizeB) : m_W(merged.v), m_Merged(merged), m_SizeA(sizeA), m_SizeB(sizeB)
  {
  }

  // Whether A's vertex a and B's vertex b, the same point, are such a pair.
  bool Proves(int a, int b) const
  {
    const int partA = Forward(m_Merged.aFrom, m_Merged.aTo, m_SizeA);
    const int atA = Forward(m_Merged.aFrom, a, m_SizeA);
    const int atB = Forward(m_Merged.bFrom, b, m_SizeB);
    if (m_Merged.whole || atA >= partA || atB >= Forward(m_Merged.bFrom, m_Merged.bTo, m_SizeB))
      return false;
    const auto i = static_cast<std::size_t>(atA);
    const auto k = static_cast<std::size_t>(partA + atB);
    return NearOnly(i, k) && NearOnly(k, i) && LoneBetween(i, k) && LoneBetween(k, i);
  }

private:
  static int Forward(int from, int to, int n) { return (to - from + n) % n; }

  bool Near(std::size_t i, std::size_t k) const
  {
    const double reach = KelTol::BlockNear;
    return std::fabs(m_W[i].p.m_x - m_W[k].p.m_x) <= reach && std::fabs(m_W[i].p.m_y - m_W[k].p.m_y) <= reach;
  }
  // No vertex but `other` near vertex i (a point that is not a number is
  // near none).
  bool NearOnly(std::size_t i, std::size_t other) const
  {
    for (std::size_t k = 0; k < m_W.size(); ++k) {
      if (k != i && k != other && Near(i, k))
        return false;
    }
    return true;
  }
  // A lone vertex strictly between `from` and `to` forwards, tried at a few
  // places spread over the way (the middle first: the ends of the way are
  // often points of a shared run); enough unless the outline is crowded.
  bool LoneBetween(std::size_t from, std::size_t to) const
  {
    const std::size_t n = m_W.size();
    const std::size_t gap = (to + n - from) % n;  // steps from `from` to `to`
    for (const std::size_t step : {gap / 2, gap / 4, gap * 3 / 4, std::size_t{1}}) {
      if (step > 0 && step < gap && NearOnly((from + step) % n, (from + step) % n))
        return true;
    }
    return false;
  }

  const Work& m_W;
  const Merged& m_Merged;
  int m_SizeA;
  int m_SizeB;
};

// Whether the merged outline holds a pair of same vertices that the
// clean-up keeps, found among the points of the A part that B's index has
// the same as a point of the B part.
bool KeepsTwoSame(const Ring& ra, const Ring& rb, const NearPoints& nearB, const Merged& merged)
{
  if (merged.whole)
    return false;
  const SameKept proof(merged, ra.n, rb.n);
  std::vector<int> candidates;
  for (int a = merged.aFrom, steps = 0; a != merged.aTo && steps < ra.n; a = ra.Next(a), ++steps) {
    if (!nearB.MayFind(ra[a], ra[a]))
      continue;
    nearB.Find(ra[a], ra[a], -1, candidates);
    for (const int b : candidates) {
      if (static_cast<const CKelCoord2D&>(ra[a]) == rb[b] && proof.Proves(a, b))
        return true;
    }
  }
  return false;
}

// The merged outline cleaned up into *result, when it keeps the two blocks'
// summed area (measured from origin, see AreaFrom) as the two parts make it
// or as the clean-up leaves it.
bool FinishMerged(const Merged& merged, const CKelCoord2D& origin, double wholeArea, CKelBlockCube* result)
{
  CKelBlockCube out;
  out.m_Coord = Materialise(merged);
  const bool partsKeepArea = kel_combine::KeepsArea(out.m_Coord, origin, wholeArea);
  // A block filling a notch of the other is shared whole; the notch's
  // ends then stand on a straight edge and are cleaned up as well.
  if (!CleanMerged(out.m_Coord))
    return false;
  if (!partsKeepArea && !kel_combine::KeepsArea(out.m_Coord, origin, wholeArea))
    return false;
  out.SetType();
  out.SetPpNo(nullptr, 0, -1);
  out.SetMark(false);
  *result = std::move(out);
  return true;
}

}  // namespace

bool CKelBlockCubeArray::CombineBlock(const CPrfPlanParam* prf, const CKelBlockCube& A, const CKelBlockCube& B,
                                      CKelBlockCube* result)
{
  if (result == nullptr || A.PpNo() != B.PpNo())
    return false;
  const double wholeArea = A.CalcArea() + B.CalcArea();
  const CKelCoord2D origin = kel_combine::AreaOrigin(A);
  const double wholeFrom = kel_combine::AreaFrom(A.m_Coord, origin) + kel_combine::AreaFrom(B.m_Coord, origin);
  Work wa = WorkOf(A);
  Work wb = WorkOf(B);
  std::optional<NearPoints> nearB(std::in_place, wb, LimitOf(wa));
  InsertInside(wa, wb, *nearB, ItemOf(prf, A), A.IsTyuku());
  const std::size_t sizeB = wb.size();
  InsertInside(wb, wa, NearPoints(wa, LimitOf(wb)), ItemOf(prf, B), B.IsTyuku());
  if (wa.empty() || wb.empty())
    return false;
  if (wb.size() != sizeB)  // B took vertices: its index is out of date
    nearB.emplace(wb, LimitOf(wa));
  const Ring ra(wa);
  const Ring rb(wb);
  std::vector<int> candidates;
  for (int i = 0; i < ra.n; ++i) {
    if (!nearB->MayFind(ra[i], ra[i]))
      continue;
    nearB->Find(ra[i], ra[i], -1, candidates);
    for (const int j : candidates) {
      if (!Same(ra[i], rb[j]))
        continue;
      Merged merged;
      if (!MergeAlongRun(ra, rb, i, j, merged))
        return false;
      if (merged.v.empty())
        continue;
      if (AreaSurelyOff(merged.v, wholeArea) || KeepsTwoSame(ra, rb, *nearB, merged))
        return false;
      return FinishMerged(merged, origin, wholeFrom, result);
    }
  }
  return false;
}

void CKelBlockCubeArray::CombineBlockSub(const CPrfPlanParam* prf, CKelBlockCube& X, const CKelBlockCube& Y)
{
  Work wx = WorkOf(X);
  const Work wy = WorkOf(Y);
  InsertInside(wx, wy, NearPoints(wy, LimitOf(wx)), ItemOf(prf, X), X.IsTyuku());
  if (wx.size() == X.m_Coord.size())
    return;
  CKelBlockCoordArray coords;
  coords.reserve(wx.size());
  for (const WorkVertex& v : wx)
    coords.push_back(Full(v));
  X.m_Coord = std::move(coords);
}
