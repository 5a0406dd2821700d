#include "DividTrianglePrevious.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

#include "CDividTriangle.h"
#include "CKelAreaCoord2D.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

// Every tolerance of the division is absolute, in sky-disc units: the outlines
// it divides lie in the unit disc, where 2e-12 is a few hundred round-offs.

namespace {

constexpr double kTol = KelTol::DividPoint;

bool Coincide(const CKelCoord2D& a, const CKelCoord2D& b)
{
  return std::fabs(a.m_x - b.m_x) <= kTol && std::fabs(a.m_y - b.m_y) <= kTol;
}

bool IsRightTurn(double cross)
{
  return cross <= 0 && std::fabs(cross) > kTol;
}

// The segment A -> B with its direction and length.
struct Segment {
  CKelCoord2D a;
  double c = 1;
  double s = 0;
  double len = 0;
};


enum class Meet { No, Yes, Invalid };

// An edge end farther than this from a segment's line is clear of it,
// beyond DividPoint and every round-off of the crossing's position.
constexpr double kClearOfLine = kTol + 1e-9;

// Whether the edge P -> Q meets the open segment: a collinear edge when it
// overlaps the segment's inside, another edge when its line crosses the
// segment strictly inside and the crossing lies on the edge. Touching an end
// of the segment is no meeting.
Meet EdgeMeets(const Segment& seg, const CKelCoord2D& p, const CKelCoord2D& q, bool endsAtEnd = false)
{
  const CKelCoord2D& a = seg.a;
  const double sideP = seg.c * (p.m_y - a.m_y) - seg.s * (p.m_x - a.m_x);
  double sideQ = seg.c * (q.m_y - a.m_y) - seg.s * (q.m_x - a.m_x);
  if (endsAtEnd)
    sideQ = std::fabs(sideP) <= kTol ? sideP : 0.0;
  // Both ends on one side, clear of the line: the lines cross beyond the
  // nearer end by at least its distance, so the crossing is off the edge.
  if (sideP != sideQ && (sideP > 0) == (sideQ > 0) && std::fmin(std::fabs(sideP), std::fabs(sideQ)) > kClearOfLine)
    return Meet::No;
  const double alongP = (p.m_x - a.m_x) * seg.c + (p.m_y - a.m_y) * seg.s;
  const double alongQ = endsAtEnd ? seg.len : (q.m_x - a.m_x) * seg.c + (q.m_y - a.m_y) * seg.s;
  const double len = seg.len;
  if (sideP == sideQ) {
    if (!(std::fabs(sideP) <= kTol && std::fabs(sideQ) <= kTol))
      return Meet::No;
    const bool inside = (alongP > kTol && alongP < len - kTol) || (alongQ > kTol && alongQ < len - kTol);
    const bool covers = (alongP < -kTol && alongQ > len + kTol) || (alongQ < -kTol && alongP > len + kTol);
    return inside || covers ? Meet::Yes : Meet::No;
  }
  const double t = alongP + (alongQ - alongP) * (0 - sideP) / (sideQ - sideP);
  if (std::isnan(t))
    return Meet::Invalid;
  // Off the segment nothing else can make it a meeting; the edge's own frame
  // (a square root) is measured only for crossings inside the segment.
  if (!(t > kTol && t < len - kTol))
    return Meet::No;
  const CKelCoord2D x(a.m_x + t * seg.c, a.m_y + t * seg.s);
  double ce = 1, se = 0, le = 0;
  CalcCosSin(p, q, &ce, &se, &le);
  const double off = ce * (x.m_y - p.m_y) - se * (x.m_x - p.m_x);
  if (std::isnan(off))
    return Meet::Invalid;
  if (std::fabs(off) > KelTol::DividCrossLine)
    return Meet::No;
  const double alongEdge = (x.m_x - p.m_x) * ce + (x.m_y - p.m_y) * se;
  return alongEdge >= -kTol && alongEdge <= le + kTol ? Meet::Yes : Meet::No;
}

// The positions a forward to b, both included, wrapping.
std::vector<int> Run(const std::vector<int>& idx, int a, int b)
{
  const int n = static_cast<int>(idx.size());
  std::vector<int> out;
  out.reserve(static_cast<std::size_t>((b - a + n) % n + 1));
  for (int k = a;; k = (k + 1) % n) {
    out.push_back(idx[static_cast<std::size_t>(k)]);
    if (k == b)
      break;
  }
  return out;
}

// The box of an edge, for the sweep of the simplicity test.
struct EdgeBox {
  double xmin, xmax, ymin, ymax;
  int end;  // the position the edge ends at
};

// Boxes farther apart than this cannot hold edges that meet: a meeting
// lies within DividCrossLine and DividPoint of both.
constexpr double kBoxMargin = 1e-5;

// A vertex that a reflex vertex may be joined to: its position, its place
// (a, b) in the frame of the ray through the reflex vertex seen from the
// origin, and from it its angle |atan2(b, a)| from that ray and its
// distance from the origin. The angle's square root and arc tangent are
// only taken for the candidates that get near the front.
struct Candidate {
  int m = 0;
  double a = 0;
  double b = 0;
  double key = 0;    // grows with the angle, without trigonometry
  double angle = 0;  // set when the candidate leaves the heap
  double Length() const { return std::hypot(a, b); }
};

// A monotone stand-in for |atan2(b, a)| over [0, pi], with a slope between
// 1/2 and 1 against the angle.
double AngleKey(double a, double b)
{
  const double sum = std::fabs(a) + std::fabs(b);
  if (sum == 0)
    return 0;
  const double share = std::fabs(b) / sum;
  return a > 0 ? share : 2 - share;
}

// Keys closer than this may come in either order of their angles.
constexpr double kKeySlack = 1e-12;

// The candidates in groups by angle: a group is a run of angles each within
// DividPoint of the one before, and every angle of a later group exceeds
// every angle of an earlier one by more than that. Groups come out from the
// smallest angle on, each in position order.
class CandidateQueue {
public:
  explicit CandidateQueue(std::vector<Candidate> all) : m_Heap(std::move(all))
  {
    m_Unordered =
        std::any_of(m_Heap.begin(), m_Heap.end(), [](const Candidate& c) { return std::isnan(c.a) || std::isnan(c.b); });
    if (!m_Unordered)
      std::make_heap(m_Heap.begin(), m_Heap.end(), LaterKey);
  }

  bool NextCluster(std::vector<Candidate>& cluster)
  {
    cluster.clear();
    if (m_Unordered) {
      // Without a direction the candidates keep the order they were found in.
      cluster.swap(m_Heap);
      for (Candidate& c : cluster)
        c.angle = std::fabs(std::atan2(c.b, c.a));
      return !cluster.empty();
    }
    for (;;) {
      if (m_Ready.empty()) {
        if (m_Heap.empty())
          return false;
        Fill(m_Heap.front().key + kKeySlack);
      }
      // The run from the smallest angle known; complete once every candidate
      // that could still join it or precede it has left the heap.
      std::size_t end = 1;
      double lastKey = m_Ready[0].key;
      while (end < m_Ready.size() && m_Ready[end].angle - m_Ready[end - 1].angle <= kTol)
        lastKey = std::fmax(lastKey, m_Ready[end++].key);
      const double reach = lastKey + kTol + kKeySlack;
      if (!m_Heap.empty() && m_Heap.front().key <= reach) {
        Fill(reach);
        continue;
      }
      cluster.assign(m_Ready.begin(), m_Ready.begin() + static_cast<std::ptrdiff_t>(end));
      m_Ready.erase(m_Ready.begin(), m_Ready.begin() + static_cast<std::ptrdiff_t>(end));
      std::sort(cluster.begin(), cluster.end(), [](const Candidate& l, const Candidate& r) { return l.m < r.m; });
      return true;
    }
  }

private:
  static bool LaterKey(const Candidate& l, const Candidate& r) { return l.key > r.key; }

  // Moves every candidate with a key up to limit into the ready list, which
  // stays sorted by angle.
  void Fill(double limit)
  {
    while (!m_Heap.empty() && m_Heap.front().key <= limit) {
      std::pop_heap(m_Heap.begin(), m_Heap.end(), LaterKey);
      Candidate c = m_Heap.back();
      m_Heap.pop_back();
      c.angle = std::fabs(std::atan2(c.b, c.a));
      const auto at = std::upper_bound(m_Ready.begin(), m_Ready.end(), c.angle,
                                       [](double angle, const Candidate& e) { return angle < e.angle; });
      m_Ready.insert(at, c);
    }
  }

  std::vector<Candidate> m_Heap;
  std::vector<Candidate> m_Ready;
  bool m_Unordered = false;
};

// The order in which the candidates of one group, taken in position order,
// stand after each is inserted before the first that has a larger angle
// (beyond DividPoint) or, at an equal angle, a greater distance.
std::vector<Candidate> InsertionOrder(const std::vector<Candidate>& byPosition)
{
  std::vector<Candidate> order;
  for (const Candidate& x : byPosition) {
    const auto at = std::find_if(order.begin(), order.end(), [&x](const Candidate& e) {
      return e.angle - x.angle > kTol || (std::fabs(e.angle - x.angle) <= kTol && e.Length() > x.Length());
    });
    order.insert(at, x);
  }
  return order;
}

// Whether candidate next may not follow candidate before: a larger angle
// first, or at an equal angle (within DividPoint) a longer one first.
bool OutOfOrder(const Candidate& before, const Candidate& next)
{
  if (before.angle - next.angle > kTol)
    return true;
  return std::fabs(before.angle - next.angle) <= kTol && before.Length() > next.Length();
}

// Every position but the three of the reflex corner, with its angle from
// the ray through the reflex vertex j.
std::vector<Candidate> CandidatesOf(const std::vector<CKelCoord2D>& pt, const std::vector<int>& idx, int i, int j, int k)
{
  const auto at = [&](int pos) -> const CKelCoord2D& { return pt[static_cast<std::size_t>(idx[static_cast<std::size_t>(pos)])]; };
  const CKelCoord2D& pj = at(j);
  const double norm = std::hypot(pj.m_x, pj.m_y);
  const double ux = pj.m_x / norm;
  const double uy = pj.m_y / norm;
  std::vector<Candidate> all;
  const int n = static_cast<int>(idx.size());
  for (int m = 0; m < n; ++m) {
    if (m == i || m == j || m == k)
      continue;
    const CKelCoord2D& p = at(m);
    const double a = ux * p.m_x + uy * p.m_y;
    const double b = ux * p.m_y - uy * p.m_x;
    all.push_back({m, a, b, AngleKey(a, b), 0});
  }
  return all;
}

}  // namespace

// --- Driver ------------------------------------------------------------------

bool DividTrianglePrevious::Do(int mode)
{
  if (!Prepare(mode))
    return false;
  Part whole;
  whole.idx.resize(m_Pt.size());
  std::iota(whole.idx.begin(), whole.idx.end(), 0);
  if (CalcArea(whole.idx) < 0)
    std::reverse(whole.idx.begin(), whole.idx.end());
  return DivideFrom(std::move(whole), &DividTrianglePrevious::Divid);
}

bool DividTrianglePrevious::CreateTriangle2(int mode, const std::vector<int>& idx)
{
  if (idx.empty() || !Prepare(mode))
    return false;
  const int n = static_cast<int>(m_Pt.size());
  if (std::any_of(idx.begin(), idx.end(), [n](int v) { return v < 0 || v >= n; }))
    return false;
  return DivideFrom(Part{idx, false}, &DividTrianglePrevious::Divid2);
}

bool DividTrianglePrevious::Prepare(int mode)
{
  if (m_pPoints == nullptr || m_pPoints->size() < 3)
    return false;
  m_Mode = mode;
  m_bInvalid = false;
  m_bOrderFault = false;
  m_Pt.clear();
  for (const CSphereCoordD2D& p : *m_pPoints) {
    if (!std::isfinite(p.m_Pos.m_x) || !std::isfinite(p.m_Pos.m_y))
      return false;
    m_Pt.push_back(p.m_Pos);
  }
  FindCoincidentPoints();
  m_Count.assign(m_Pt.size(), 0);
  m_Seen.assign(m_Pt.size(), 0);
  m_Frame.assign(m_Pt.size(), Frame{});
  return true;
}

// Depth first, the first part of a split before the second: the order the
// triangles come out in. The parts wait on a list of their own rather than
// on the call stack, so an outline of many reflex corners cannot exhaust it.
bool DividTrianglePrevious::DivideFrom(Part whole, Level level)
{
  whole.simple = IsSimple(whole.idx);
  std::vector<Part> pending;
  pending.push_back(std::move(whole));
  while (!pending.empty()) {
    Part part = std::move(pending.back());
    pending.pop_back();
    if (!(this->*level)(part, pending) || m_bInvalid)
      return false;
  }
  return true;
}

bool DividTrianglePrevious::Divid(Part& part, std::vector<Part>& pending)
{
  const int n = static_cast<int>(part.idx.size());
  if (n == 3)
    return CreateTriangle(part.idx);
  Part out1, out2;
  Split split = SearchIndex2(part, out1, out2);
  if (split == Split::None) {
    CountPositions(part.idx, 1);
    int reflex = -1;
    for (int i = 0; i < n && reflex < 0; ++i) {
      const int j = (i + 1) % n;
      if (!CheckInnerLine(part.idx, j) && IsRightTurn(TurnAt(part.idx, i, j, (i + 2) % n)))
        reflex = i;
    }
    CountPositions(part.idx, -1);
    if (reflex < 0)
      return CreateTriangle(part.idx);
    split = SearchIndex(part, reflex, (reflex + 1) % n, (reflex + 2) % n, out1, out2);
    if (split == Split::None)
      return false;
  }
  if (split == Split::Fail)
    return false;
  if (out2.idx.size() >= 3)
    pending.push_back(std::move(out2));
  if (out1.idx.size() >= 3)
    pending.push_back(std::move(out1));
  return true;
}

// A triangle as the fan would keep it; a larger part split at the first
// corner whose reflex search finds a diagonal. A part that a split emptied
// (no extent) makes no triangles.
bool DividTrianglePrevious::Divid2(Part& part, std::vector<Part>& pending)
{
  const int n = static_cast<int>(part.idx.size());
  if (n == 3)
    return AddTriangle(P(part.idx, 0), P(part.idx, 1), P(part.idx, 2));
  for (int i = 0; i < n; ++i) {
    Part out1, out2;
    const Split split = SearchIndex(part, i, (i + 1) % n, (i + 2) % n, out1, out2);
    if (split == Split::Fail)
      return false;
    if (split == Split::None)
      continue;
    if (out2.idx.size() >= 3)
      pending.push_back(std::move(out2));
    if (out1.idx.size() >= 3)
      pending.push_back(std::move(out1));
    return true;
  }
  return false;
}

// --- Splits ------------------------------------------------------------------

DividTrianglePrevious::Split DividTrianglePrevious::SearchIndex2(const Part& part, Part& out1, Part& out2)
{
  const int n = static_cast<int>(part.idx.size());
  const int origin = FindOrigin(part.idx);
  if (n == 4)
    return QuadrilateralSplit(part, origin, out1, out2);
  if (origin == n)
    return Split::None;
  for (int s = 0; s < n; ++s) {
    // A diagonal to a neighbour of the origin leaves a part of two vertices.
    if (s == origin || (s + 1) % n == origin || (origin + 1) % n == s)
      continue;
    const int crossing = CheckCross(part.idx, s, origin);
    if (m_bInvalid)
      return Split::Fail;
    if (crossing >= 0)
      continue;
    const Split split = CheckIndex(part, s, origin, out1, out2);
    if (split != Split::None)
      return split;
  }
  return Split::None;
}

// In a quadrilateral the diagonal is fixed: from its reflex vertex, else
// from the vertex opposite the origin, else 2 - 0. Every start but the
// origin tries the same diagonal.
DividTrianglePrevious::Split DividTrianglePrevious::QuadrilateralSplit(const Part& part, int origin, Part& out1, Part& out2)
{
  int reflex = -1;
  for (int cur = 0; cur < 4; ++cur) {
    if (!IsRightTurn(TurnAt(part.idx, (cur + 3) % 4, cur, (cur + 1) % 4)))
      continue;
    if (reflex >= 0)
      return Split::Fail;  // two reflex turns: the outline crosses itself
    reflex = cur;
  }
  int a = 2, b = 0;
  if (reflex >= 0) {
    a = reflex;
    b = (reflex + 2) % 4;
  } else if (origin < 4) {
    a = (origin + 2) % 4;
    b = origin;
  }
  const int crossing = CheckCross(part.idx, a, b);
  if (m_bInvalid)
    return Split::Fail;
  if (crossing >= 0)
    return Split::None;
  return CheckIndex(part, a, b, out1, out2);
}

DividTrianglePrevious::Split DividTrianglePrevious::SearchIndex(const Part& part, int i, int j, int k, Part& out1, Part& out2)
{
  CKelAreaCoord2D outline;
  outline.m_pt.reserve(part.idx.size());
  for (int v : part.idx)
    outline.m_pt.push_back(m_Pt[static_cast<std::size_t>(v)]);
  outline.SetArea();
  outline.SetMaxMin();
  const CKelCoord2D& pj = P(part.idx, j);
  CountPositions(part.idx, 1);
  // A candidate m is tried when the diagonal m - j meets no edge, m is no
  // point where the outline touches itself, and the diagonal's midpoint
  // lies inside or on the outline.
  const auto admissible = [&](int m) {
    if (CheckCross(part.idx, m, j) >= 0 || m_bInvalid || CheckPoint2(part.idx, m))
      return false;
    const CKelCoord2D& pm = P(part.idx, m);
    const CKelCoord2D mid((pm.m_x + pj.m_x) / 2, (pm.m_y + pj.m_y) / 2);
    return outline.InArea(mid, KelTol::DividInside, KelTol::DividInside, CKelAreaCoord2D::Crossing::TenthTol) != 0;
  };
  Split result = Split::None;
  CandidateQueue queue(CandidatesOf(m_Pt, part.idx, i, j, k));
  std::vector<Candidate> cluster;
  std::optional<Candidate> last;
  while (result == Split::None && !m_bInvalid && queue.NextCluster(cluster)) {
    std::erase_if(cluster, [&](const Candidate& c) { return !admissible(c.m); });
    for (const Candidate& c : InsertionOrder(cluster)) {
      if (last && OutOfOrder(*last, c)) {
        m_bOrderFault = m_bInvalid = true;
        break;
      }
      last = c;
      result = CheckIndex(part, c.m, j, out1, out2);
      if (result != Split::None)
        break;
    }
  }
  CountPositions(part.idx, -1);
  return m_bInvalid ? Split::Fail : result;
}

DividTrianglePrevious::Split DividTrianglePrevious::CheckIndex(const Part& part, int a, int b, Part& out1, Part& out2)
{
  Part first{Run(part.idx, a, b), false};
  Part second{Run(part.idx, b, a), false};
  if (first.idx.size() <= 2 || second.idx.size() <= 2)
    return Split::None;
  for (Part* p : {&first, &second}) {
    p->simple = part.simple ? PartStaysSimple(p->idx) : IsSimple(p->idx);
    if (m_bInvalid)
      return Split::Fail;
    if (!p->simple)
      return Split::None;
  }
  for (Part* p : {&first, &second}) {
    // A part that lost a needle has a new edge: known simple no more.
    if (EraseNeedleShape(p->idx))
      p->simple = false;
    if (HasRepeatedPoint(p->idx))
      return Split::None;
  }
  for (Part* p : {&first, &second}) {
    const double area = CalcArea(p->idx);
    if (area < -kTol)
      return Split::None;
    if (area <= kTol)
      p->idx.clear();  // no extent: no triangles
  }
  out1 = std::move(first);
  out2 = std::move(second);
  return Split::Done;
}

// --- Tests of diagonals and outlines ----------------------------------------

int DividTrianglePrevious::CheckCross(const Index& idx, int a, int b)
{
  const int n = static_cast<int>(idx.size());
  const Frame& f = FrameOf(idx, a, b);
  const Segment seg{P(idx, a), f.c, f.s, f.len};
  for (int m = 0; m < n; ++m) {
    const int prev = m == 0 ? n - 1 : m - 1;
    if (m == a || prev == a || prev == b)
      continue;
    const Meet meet = EdgeMeets(seg, P(idx, prev), P(idx, m), m == b);
    if (meet == Meet::Invalid)
      m_bInvalid = true;
    if (meet != Meet::No)
      return prev;
  }
  return -1;
}

// Every edge tested against every edge that does not share a vertex
// position with it, in both directions; boxes sorted by x keep the pairs
// tested to those that come close.
bool DividTrianglePrevious::IsSimple(const Index& idx)
{
  const int n = static_cast<int>(idx.size());
  std::vector<EdgeBox> boxes;
  boxes.reserve(static_cast<std::size_t>(n));
  for (int m = 0; m < n; ++m) {
    const CKelCoord2D& p = P(idx, m == 0 ? n - 1 : m - 1);
    const CKelCoord2D& q = P(idx, m);
    boxes.push_back({std::fmin(p.m_x, q.m_x), std::fmax(p.m_x, q.m_x), std::fmin(p.m_y, q.m_y),
                     std::fmax(p.m_y, q.m_y), m});
  }
  std::sort(boxes.begin(), boxes.end(), [](const EdgeBox& l, const EdgeBox& r) { return l.xmin < r.xmin; });
  const auto adjacent = [n](int e1, int e2) {
    return e1 == e2 || (e1 + 1) % n == e2 || (e2 + 1) % n == e1;
  };
  const auto meets = [&](int segEnd, int edgeEnd) {
    const int segStart = segEnd == 0 ? n - 1 : segEnd - 1;
    const int edgeStart = edgeEnd == 0 ? n - 1 : edgeEnd - 1;
    const Frame& f = FrameOf(idx, segStart, segEnd);
    const Meet meet = EdgeMeets(Segment{P(idx, segStart), f.c, f.s, f.len}, P(idx, edgeStart), P(idx, edgeEnd));
    if (meet == Meet::Invalid)
      m_bInvalid = true;
    return meet != Meet::No;
  };
  for (std::size_t u = 0; u < boxes.size(); ++u) {
    for (std::size_t v = u + 1; v < boxes.size() && boxes[v].xmin <= boxes[u].xmax + kBoxMargin; ++v) {
      const EdgeBox& e1 = boxes[u];
      const EdgeBox& e2 = boxes[v];
      if (e2.ymin > e1.ymax + kBoxMargin || e1.ymin > e2.ymax + kBoxMargin || adjacent(e1.end, e2.end))
        continue;
      if (meets(e1.end, e2.end) || meets(e2.end, e1.end))
        return false;
    }
  }
  return true;
}

// A part of a simple outline: its edges met no other edge there, and
// adjacent edges stay adjacent, so only the pairs with the closing edge (the
// new diagonal) are new.
bool DividTrianglePrevious::PartStaysSimple(const Index& part)
{
  const int n = static_cast<int>(part.size());
  if (CheckCross(part, n - 1, 0) >= 0 || m_bInvalid)
    return false;
  const CKelCoord2D& d0 = P(part, n - 1);
  const CKelCoord2D& d1 = P(part, 0);
  for (int m = 2; m <= n - 2; ++m) {
    const Frame& f = FrameOf(part, m - 1, m);
    const Meet meet = EdgeMeets(Segment{P(part, m - 1), f.c, f.s, f.len}, d0, d1);
    if (meet == Meet::Invalid)
      m_bInvalid = true;
    if (meet != Meet::No)
      return false;
  }
  return true;
}

bool DividTrianglePrevious::CheckPoint2(const Index& idx, int m) const
{
  const int v = idx[static_cast<std::size_t>(m)];
  if (m_Count[static_cast<std::size_t>(v)] > 1)
    return true;
  const auto& others = m_Coincident[static_cast<std::size_t>(v)];
  return std::any_of(others.begin(), others.end(), [this](int w) { return m_Count[static_cast<std::size_t>(w)] > 0; });
}

bool DividTrianglePrevious::HasRepeatedPoint(const Index& idx)
{
  bool repeated = false;
  for (int v : idx) {
    if (++m_Seen[static_cast<std::size_t>(v)] > 1)
      repeated = true;
  }
  for (int v : idx)
    m_Seen[static_cast<std::size_t>(v)] = 0;
  return repeated;
}

// A needle runs out to a vertex and straight back: p[i] and p[i + 2]
// coincide. Its two vertices go, and the test steps back one position,
// since the removal may close a needle before it.
bool DividTrianglePrevious::EraseNeedleShape(Index& idx) const
{
  bool erased = false;
  std::size_t i = 0;
  while (i < idx.size()) {
    const std::size_t n = idx.size();
    const std::size_t k = (i + 2) % n;
    if (!Coincide(m_Pt[static_cast<std::size_t>(idx[i])], m_Pt[static_cast<std::size_t>(idx[k])])) {
      ++i;
      continue;
    }
    erased = true;
    if (n < 2) {
      idx.clear();
      break;
    }
    const std::size_t from = k == 1 ? 0 : i;
    idx.erase(idx.begin() + static_cast<std::ptrdiff_t>(from), idx.begin() + static_cast<std::ptrdiff_t>(from + 2));
    i = i > 0 ? i - 1 : 0;
  }
  return erased;
}

double DividTrianglePrevious::CalcArea(const Index& idx) const
{
  const std::size_t n = idx.size();
  double sum = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const CKelCoord2D& prev = m_Pt[static_cast<std::size_t>(idx[k == 0 ? n - 1 : k - 1])];
    const CKelCoord2D& cur = m_Pt[static_cast<std::size_t>(idx[k])];
    sum += (prev.m_y + cur.m_y) * (prev.m_x - cur.m_x);
  }
  return 0.5 * sum;
}

// --- Triangles ---------------------------------------------------------------

// The fan (0, 1, 2), (0, 2, 3), ... of a convex part; thin triangles are
// dropped by the rounding mode's filter.
bool DividTrianglePrevious::CreateTriangle(const Index& idx)
{
  const double area = CalcArea(idx);
  if (std::fabs(area) <= KelTol::DividEmptyArea)
    return true;
  if (area < 0)
    return false;
  for (std::size_t k = 1; k + 1 < idx.size(); ++k) {
    if (!AddTriangle(P(idx, 0), P(idx, static_cast<int>(k)), P(idx, static_cast<int>(k + 1))))
      return false;
  }
  return true;
}

bool DividTrianglePrevious::AddTriangle(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c)
{
  CSphereTriangleData t(a, b, c);
  const double squared = t.SetTriangleParam();
  // Heron's product of a flat triangle is round-off around 0; far below it
  // the corners cannot form a triangle of a counter-clockwise part.
  if (squared < -KelTol::DividHeronFloor)
    return false;
  if (squared <= 0)
    return true;
  double base = 0, height = 0, triangleArea = 0;
  t.GetTriangleData(m_Mode, &base, &height, &triangleArea);
  if (CDividTriangle::KeepsTriangle(m_Mode, base, height, triangleArea))
    m_Triangles.push_back(t);
  return true;
}

// --- Helpers -----------------------------------------------------------------

// For every point, the other points within DividPoint of it: points sorted
// by x, each compared with those that follow within the tolerance.
void DividTrianglePrevious::FindCoincidentPoints()
{
  const int n = static_cast<int>(m_Pt.size());
  m_Coincident.assign(static_cast<std::size_t>(n), {});
  std::vector<int> byX(static_cast<std::size_t>(n));
  std::iota(byX.begin(), byX.end(), 0);
  std::sort(byX.begin(), byX.end(), [this](int l, int r) {
    return m_Pt[static_cast<std::size_t>(l)].m_x < m_Pt[static_cast<std::size_t>(r)].m_x;
  });
  for (std::size_t u = 0; u < byX.size(); ++u) {
    const CKelCoord2D& a = m_Pt[static_cast<std::size_t>(byX[u])];
    for (std::size_t v = u + 1; v < byX.size(); ++v) {
      const CKelCoord2D& b = m_Pt[static_cast<std::size_t>(byX[v])];
      if (b.m_x - a.m_x > kTol)
        break;
      if (Coincide(a, b)) {
        m_Coincident[static_cast<std::size_t>(byX[u])].push_back(byX[v]);
        m_Coincident[static_cast<std::size_t>(byX[v])].push_back(byX[u]);
      }
    }
  }
}

void DividTrianglePrevious::CountPositions(const Index& idx, int delta)
{
  for (int v : idx)
    m_Count[static_cast<std::size_t>(v)] += delta;
}

int DividTrianglePrevious::FindOrigin(const Index& idx) const
{
  const int n = static_cast<int>(idx.size());
  for (int k = 0; k < n; ++k) {
    const CKelCoord2D& p = P(idx, k);
    if (std::fabs(p.m_x) <= kTol && std::fabs(p.m_y) <= kTol)
      return k;
  }
  return n;
}

// The turn prev -> cur -> next: positive to the left.
double DividTrianglePrevious::TurnAt(const Index& idx, int prev, int cur, int next)
{
  const CKelCoord2D& a = P(idx, prev);
  const CKelCoord2D& c = P(idx, next);
  const Frame& f = FrameOf(idx, prev, cur);
  return f.c * (c.m_y - a.m_y) - f.s * (c.m_x - a.m_x);
}

const DividTrianglePrevious::Frame& DividTrianglePrevious::FrameOf(const Index& idx, int a, int b)
{
  const int from = idx[static_cast<std::size_t>(a)];
  const int to = idx[static_cast<std::size_t>(b)];
  Frame& f = m_Frame[static_cast<std::size_t>(from)];
  if (f.to != to) {
    f = Frame{to, 1, 0, 0};
    CalcCosSin(m_Pt[static_cast<std::size_t>(from)], m_Pt[static_cast<std::size_t>(to)], &f.c, &f.s, &f.len);
  }
  return f;
}
