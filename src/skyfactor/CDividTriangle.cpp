#include "CDividTriangle.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <numeric>
#include <optional>

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

// Points this close to the origin keep the round-off of every crossing far
// below the crossing tests' box margin, so an edge whose box stays clear of
// a segment's grown box is known not to meet it, without measuring it.
constexpr double kBoxedReach = 1e3;

// The positions a forward to b, both included, wrapping.
std::vector<int> Run(const std::vector<int>& idx, int a, int b)
{
  const auto from = idx.begin() + a;
  const auto to = idx.begin() + b + 1;
  if (a <= b)
    return std::vector<int>(from, to);
  std::vector<int> out;
  out.reserve(idx.size() - static_cast<std::size_t>(a - b) + 1);
  out.insert(out.end(), from, idx.end());
  out.insert(out.end(), idx.begin(), to);
  return out;
}

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

// The smallest key any point at least `angle` from the ray can get: the
// key of that angle less a margin far beyond the round-off of a place, of
// an angle seen from the origin and of their difference.
double KeyBelow(double angle)
{
  constexpr double kMargin = 1e-9;
  const double a = std::fmax(angle - kMargin, 0.0);
  return a >= 3.141592653589793 ? 2 - kMargin : AngleKey(std::cos(a), std::sin(a)) - kMargin;
}

// The candidates in groups by angle: a group is a run of angles each within
// DividPoint of the one before, and every angle of a later group exceeds
// every angle of an earlier one by more than that. Groups come out from the
// smallest angle on, each in position order.
class CandidateQueue {
public:
  // Every position of idx but i, j and k, placed in the frame of the ray
  // through position j seen from the origin. With draw, the candidates are
  // placed only as the queue reaches them: from the points in order of
  // their angle seen from the origin, outwards on both sides of the ray.
  CandidateQueue(const std::vector<CKelCoord2D>& pt, const std::vector<int>& idx, int i, int j, int k,
                 const CDividTriangle::AngularDraw* draw)
      : m_Pt(pt), m_Idx(idx)
  {
    const CKelCoord2D& pj = At(j);
    const double norm = std::hypot(pj.m_x, pj.m_y);
    m_ux = pj.m_x / norm;
    m_uy = pj.m_y / norm;
    if (draw != nullptr && norm > 0 && std::isfinite(m_ux) && std::isfinite(m_uy)) {
      StartDraw(*draw, std::atan2(pj.m_y, pj.m_x), i, j, k);
      return;
    }
    // The heap holds keys and positions only, and of a thousand candidates
    // a split takes a few: the heap starts with the keys nearest the
    // smallest and takes more (in ever wider steps) only as it empties.
    // What leaves it up to a limit is every key up to that limit, as from
    // one heap of all; keys without an order (overflowed places) all go in
    // at once. One pass places every candidate and finds the smallest key.
    const int n = static_cast<int>(idx.size());
    m_Rest.reserve(idx.size());
    bool unplaced = false, unordered = false;
    double least = INFINITY;
    for (int m = 0; m < n; ++m) {
      if (m == i || m == j || m == k)
        continue;
      const Candidate c = Place(m);
      unplaced = unplaced || std::isnan(c.a) || std::isnan(c.b);
      unordered = unordered || std::isnan(c.key);
      least = std::min(least, c.key);
      m_Rest.push_back({c.key, m});
    }
    if (unplaced) {
      // Without a direction the candidates keep the order they were found in.
      m_Unordered = true;
      for (const Keyed& r : m_Rest)
        m_All.push_back(Place(r.m));
      m_Rest.clear();
      return;
    }
    m_Step = unordered ? INFINITY : 16.0 / static_cast<double>(std::max<std::size_t>(m_Rest.size(), 1));
    Refill(least);
  }

  bool NextCluster(std::vector<Candidate>& cluster)
  {
    cluster.clear();
    if (m_Unordered) {
      // Without a direction the candidates keep the order they were found in.
      cluster.swap(m_All);
      for (Candidate& c : cluster)
        c.angle = std::fabs(std::atan2(c.b, c.a));
      return !cluster.empty();
    }
    for (;;) {
      if (m_Ready.empty()) {
        const Keyed* first = Front();
        if (first == nullptr)
          return false;
        Fill(first->key + kKeySlack);
      }
      // The run from the smallest angle known; complete once every candidate
      // that could still join it or precede it has left the heap.
      std::size_t end = 1;
      double lastKey = m_Ready[0].key;
      while (end < m_Ready.size() && m_Ready[end].angle - m_Ready[end - 1].angle <= kTol)
        lastKey = std::fmax(lastKey, m_Ready[end++].key);
      const double reach = lastKey + kTol + kKeySlack;
      if (const Keyed* next = Front(); next != nullptr && next->key <= reach) {
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
  struct Keyed {
    double key;
    int m;
  };

  const CKelCoord2D& At(int m) const { return m_Pt[static_cast<std::size_t>(m_Idx[static_cast<std::size_t>(m)])]; }

  Candidate Place(int m) const
  {
    const CKelCoord2D& p = At(m);
    const double a = m_ux * p.m_x + m_uy * p.m_y;
    const double b = m_ux * p.m_y - m_uy * p.m_x;
    return {m, a, b, AngleKey(a, b), 0};
  }

  static bool LaterKey(const Keyed& l, const Keyed& r) { return l.key > r.key; }

  // The smallest key left, or none.
  const Keyed* Front()
  {
    if (m_Draw != nullptr)
      return DrawnFront();
    if (m_Heap.empty())
      Refill();
    return m_Heap.empty() ? nullptr : &m_Heap.front();
  }

  // --- Candidates placed as they are reached (see the constructor)
  // Every candidate not yet placed lies at least the lesser of the two
  // sides' next angles from the ray, so its key is at least KeyBelow of it.
  // The smallest key placed is the smallest left once it lies below that.
  void StartDraw(const CDividTriangle::AngularDraw& draw, double theta, int i, int j, int k)
  {
    m_Draw = &draw;
    m_Theta = theta;
    m_Skip = {i, j, k};
    const auto& order = draw.byAngle;
    const auto at = std::lower_bound(order.begin(), order.end(), theta,
                                     [](const std::pair<double, int>& e, double t) { return e.first < t; });
    m_Right = static_cast<std::size_t>(at - order.begin());
    m_Left = m_Right;  // the left side takes the entry before m_Left
    m_RightTurn = m_LeftTurn = 0;
  }

  double NextRight() const
  {
    const auto& order = m_Draw->byAngle;
    const std::size_t r = m_Right == order.size() ? 0 : m_Right;
    const double turn = m_Right == order.size() ? m_RightTurn + kTwoPi : m_RightTurn;
    return order[r].first + turn - m_Theta;
  }

  double NextLeft() const
  {
    const auto& order = m_Draw->byAngle;
    const std::size_t l = m_Left == 0 ? order.size() - 1 : m_Left - 1;
    const double turn = m_Left == 0 ? m_LeftTurn + kTwoPi : m_LeftTurn;
    return m_Theta - (order[l].first - turn);
  }

  bool DrawnAll() const { return m_Drawn >= m_Draw->byAngle.size(); }

  double KeyOfUndrawn() const { return DrawnAll() ? INFINITY : KeyBelow(std::fmin(NextRight(), NextLeft())); }

  // Places the next point of the nearer side, when it is a candidate.
  void DrawOne()
  {
    const auto& order = m_Draw->byAngle;
    std::size_t e = 0;
    if (NextRight() <= NextLeft()) {
      if (m_Right == order.size()) {
        m_Right = 0;
        m_RightTurn += kTwoPi;
      }
      e = m_Right++;
    } else {
      if (m_Left == 0) {
        m_Left = order.size();
        m_LeftTurn += kTwoPi;
      }
      e = --m_Left;
    }
    ++m_Drawn;
    const auto v = static_cast<std::size_t>(order[e].second);
    if (m_Draw->stamp[v] != m_Draw->now)
      return;
    const int m = m_Draw->posOf[v];
    if (m == m_Skip[0] || m == m_Skip[1] || m == m_Skip[2])
      return;
    m_Heap.push_back({Place(m).key, m});
    std::push_heap(m_Heap.begin(), m_Heap.end(), LaterKey);
  }

  const Keyed* DrawnFront()
  {
    for (;;) {
      if (!m_Heap.empty() && m_Heap.front().key < KeyOfUndrawn())
        return &m_Heap.front();
      if (DrawnAll())
        return m_Heap.empty() ? nullptr : &m_Heap.front();
      DrawOne();
    }
  }

  // Into the empty heap, the keys left within a step of the smallest
  // (least, when known).
  void Refill(double least = NAN)
  {
    if (m_Rest.empty())
      return;
    if (std::isinf(m_Step)) {
      m_Heap.swap(m_Rest);
    } else {
      if (std::isnan(least)) {
        least = m_Rest.front().key;
        for (const Keyed& k : m_Rest)
          least = std::min(least, k.key);
      }
      const double cut = least + m_Step;
      m_Step *= 2;
      const auto near = std::partition(m_Rest.begin(), m_Rest.end(), [cut](const Keyed& k) { return k.key > cut; });
      m_Heap.assign(near, m_Rest.end());
      m_Rest.erase(near, m_Rest.end());
    }
    std::make_heap(m_Heap.begin(), m_Heap.end(), LaterKey);
  }

  // Moves every candidate with a key up to limit into the ready list, which
  // stays sorted by angle.
  void Fill(double limit)
  {
    for (const Keyed* next = Front(); next != nullptr && next->key <= limit; next = Front()) {
      std::pop_heap(m_Heap.begin(), m_Heap.end(), LaterKey);
      Candidate c = Place(m_Heap.back().m);
      m_Heap.pop_back();
      c.angle = std::fabs(std::atan2(c.b, c.a));
      const auto at = std::upper_bound(m_Ready.begin(), m_Ready.end(), c.angle,
                                       [](double angle, const Candidate& e) { return angle < e.angle; });
      m_Ready.insert(at, c);
    }
  }

  const std::vector<CKelCoord2D>& m_Pt;
  const std::vector<int>& m_Idx;
  double m_ux = 0, m_uy = 0;   // the ray's direction
  std::vector<Candidate> m_All;  // every candidate, when they have no order
  std::vector<Keyed> m_Heap;  // keys up to a cut, as a heap
  std::vector<Keyed> m_Rest;  // keys beyond that cut
  double m_Step = 0;          // how far beyond the smallest key left the next cut lies
  std::vector<Candidate> m_Ready;
  bool m_Unordered = false;

  static constexpr double kTwoPi = 6.283185307179586;
  const CDividTriangle::AngularDraw* m_Draw = nullptr;  // candidates placed as reached
  double m_Theta = 0;                                   // the ray's angle seen from the origin
  std::array<int, 3> m_Skip{};                          // positions that are no candidates
  std::size_t m_Right = 0, m_Left = 0;                  // the next entries of either side
  double m_RightTurn = 0, m_LeftTurn = 0;               // full turns either side has made
  std::size_t m_Drawn = 0;                              // entries reached so far
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

}  // namespace

// --- Driver ------------------------------------------------------------------

bool CDividTriangle::Do(int mode)
{
  if (!Prepare(mode))
    return false;
  Part whole;
  whole.idx.resize(m_Pt.size());
  std::iota(whole.idx.begin(), whole.idx.end(), 0);
  if (CalcArea(whole.idx) < 0)
    std::reverse(whole.idx.begin(), whole.idx.end());
  return DivideFrom(std::move(whole), &CDividTriangle::Divid);
}

bool CDividTriangle::CreateTriangle2(int mode, const std::vector<int>& idx)
{
  if (idx.empty() || !Prepare(mode))
    return false;
  const int n = static_cast<int>(m_Pt.size());
  if (std::any_of(idx.begin(), idx.end(), [n](int v) { return v < 0 || v >= n; }))
    return false;
  return DivideFrom(Part{idx, false}, &CDividTriangle::Divid2);
}

bool CDividTriangle::Prepare(int mode)
{
  if (m_pPoints == nullptr || m_pPoints->size() < 3)
    return false;
  m_Mode = mode;
  m_bInvalid = false;
  m_bBoxed = true;
  m_bOrderFault = false;
  m_Pt.clear();
  for (const CSphereCoordD2D& p : *m_pPoints) {
    if (!std::isfinite(p.m_Pos.m_x) || !std::isfinite(p.m_Pos.m_y))
      return false;
    m_Pt.push_back(p.m_Pos);
    if (std::fabs(p.m_Pos.m_x) > kBoxedReach || std::fabs(p.m_Pos.m_y) > kBoxedReach)
      m_bBoxed = false;
  }
  m_Current = nullptr;
  FindCoincidentPoints();
  m_bCoincident = std::any_of(m_Coincident.begin(), m_Coincident.end(), [](const auto& c) { return !c.empty(); });
  m_bOrigin = std::any_of(m_Pt.begin(), m_Pt.end(),
                          [](const CKelCoord2D& p) { return std::fabs(p.m_x) <= kTol && std::fabs(p.m_y) <= kTol; });
  m_Count.assign(m_Pt.size(), 0);
  m_Seen.assign(m_Pt.size(), 0);
  m_Frame.assign(m_Pt.size(), Frame{});
  PrepareDraw();
  return true;
}

// Angles seen from the origin are only taken for points near enough for
// the box tests and clear of the origin, where a point's angle and its
// place in a ray's frame agree far within the draw's margin.
void CDividTriangle::PrepareDraw()
{
  m_Draw.byAngle.clear();
  if (!m_bBoxed || m_bOrigin || m_Pt.size() < kDrawFrom)
    return;
  m_Draw.byAngle.reserve(m_Pt.size());
  for (std::size_t v = 0; v < m_Pt.size(); ++v)
    m_Draw.byAngle.emplace_back(std::atan2(m_Pt[v].m_y, m_Pt[v].m_x), static_cast<int>(v));
  std::sort(m_Draw.byAngle.begin(), m_Draw.byAngle.end());
  m_Draw.posOf.assign(m_Pt.size(), 0);
  m_Draw.stamp.assign(m_Pt.size(), 0);
  m_Draw.now = 0;
}

const CDividTriangle::AngularDraw* CDividTriangle::DrawFor(const Part& part)
{
  if (m_Draw.byAngle.empty() || !part.distinct || part.idx.size() < kDrawFrom)
    return nullptr;
  ++m_Draw.now;
  for (std::size_t m = 0; m < part.idx.size(); ++m) {
    const auto v = static_cast<std::size_t>(part.idx[m]);
    m_Draw.stamp[v] = m_Draw.now;
    m_Draw.posOf[v] = static_cast<int>(m);
  }
  return &m_Draw;
}

// Depth first, the first part of a split before the second: the order the
// triangles come out in. The parts wait on a list of their own rather than
// on the call stack, so an outline of many reflex corners cannot exhaust it.
bool CDividTriangle::DivideFrom(Part whole, Level level)
{
  whole.simple = IsSimple(whole.idx);
  whole.distinct = !HasRepeatedPoint(whole.idx);
  whole.needleFree = !HasNeedle(whole.idx);
  std::vector<Part> pending;
  pending.push_back(std::move(whole));
  while (!pending.empty()) {
    Part part = std::move(pending.back());
    pending.pop_back();
    const bool ok = (this->*level)(part, pending);
    m_Current = nullptr;
    if (!ok || m_bInvalid)
      return false;
  }
  return true;
}

bool CDividTriangle::Divid(Part& part, std::vector<Part>& pending)
{
  const int n = static_cast<int>(part.idx.size());
  if (n == 3)
    return CreateTriangle(part.idx);
  MeasureBlocks(part.idx);
  Part out1, out2;
  Split split = SearchIndex2(part, out1, out2);
  if (split == Split::None) {
    const bool counted = NeedsCounts(part);
    if (counted)
      CountPositions(part.idx, 1);
    int reflex = -1;
    for (int i = 0; i < n && reflex < 0; ++i) {
      const int j = (i + 1) % n;
      if (!CheckInnerLine(part.idx, j) && IsRightTurn(TurnAt(part.idx, i, j, (i + 2) % n)))
        reflex = i;
    }
    if (counted)
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
bool CDividTriangle::Divid2(Part& part, std::vector<Part>& pending)
{
  const int n = static_cast<int>(part.idx.size());
  if (n == 3)
    return AddTriangle(P(part.idx, 0), P(part.idx, 1), P(part.idx, 2));
  MeasureBlocks(part.idx);
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

CDividTriangle::Split CDividTriangle::SearchIndex2(const Part& part, Part& out1, Part& out2)
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
    // At a point the outline passes twice (the ends of a bridge to a
    // hole), the diagonal belongs to the passage whose corner it leaves
    // inwards: taken from the other one, it cuts the hole off to the wrong
    // side, and the part keeps it as a lobe turned inside out that no split
    // divides. The reflex splits pass such points over.
    if (m_bCoincident && (LeavesOutwards(part.idx, s, origin) || LeavesOutwards(part.idx, origin, s)))
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
CDividTriangle::Split CDividTriangle::QuadrilateralSplit(const Part& part, int origin, Part& out1, Part& out2)
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

CDividTriangle::Split CDividTriangle::SearchIndex(const Part& part, int i, int j, int k, Part& out1, Part& out2)
{
  // The outline with its box and area as SetArea and SetMaxMin would give
  // them: CalcArea sums the same products in the same order, and the box is
  // the blocks' (both minima and maxima of the same points).
  const double area = std::isnan(part.area) ? CalcArea(part.idx) : part.area;
  CKelAreaCoord2D outline;
  outline.m_pt.reserve(part.idx.size());
  for (int v : part.idx)
    outline.m_pt.push_back(m_Pt[static_cast<std::size_t>(v)]);
  if (area < 0)
    std::reverse(outline.m_pt.begin(), outline.m_pt.end());
  outline.m_area = area < 0 ? -area : area;
  PartBox(part.idx, outline);
  const bool counted = NeedsCounts(part);
  if (counted)
    CountPositions(part.idx, 1);
  const CKelCoord2D& pj = P(part.idx, j);
  // A candidate m is tried when the diagonal m - j meets no edge, m is no
  // point where the outline touches itself, and the diagonal's midpoint
  // lies inside or on the outline.
  const auto admissible = [&](int m) {
    if (CheckCross(part.idx, m, j) >= 0 || m_bInvalid || CheckPoint2(part.idx, m))
      return false;
    const CKelCoord2D& pm = P(part.idx, m);
    const CKelCoord2D mid((pm.m_x + pj.m_x) / 2, (pm.m_y + pj.m_y) / 2);
    return InsideOutline(outline, area < 0, part.idx, mid) != 0;
  };
  Split result = Split::None;
  CandidateQueue queue(m_Pt, part.idx, i, j, k, DrawFor(part));
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
  if (counted)
    CountPositions(part.idx, -1);
  return m_bInvalid ? Split::Fail : result;
}

CDividTriangle::Split CDividTriangle::CheckIndex(const Part& part, int a, int b, Part& out1, Part& out2)
{
  Part first{Run(part.idx, a, b), false};
  Part second{Run(part.idx, b, a), false};
  if (first.idx.size() <= 2 || second.idx.size() <= 2)
    return Split::None;
  for (auto [p, start] : {std::pair{&first, a}, std::pair{&second, b}}) {
    p->simple = part.simple ? PartStaysSimple(part.idx, start, p->idx) : IsSimple(p->idx);
    if (m_bInvalid)
      return Split::Fail;
    if (!p->simple)
      return Split::None;
  }
  for (Part* p : {&first, &second}) {
    // A part that lost a needle has a new edge: known simple no more.
    if (EraseNeedles(*p, part.needleFree))
      p->simple = false;
    // Positions a forward to b of a part of distinct points hold none twice.
    if (!part.distinct && HasRepeatedPoint(p->idx))
      return Split::None;
    p->distinct = true;
  }
  for (Part* p : {&first, &second}) {
    p->area = CalcArea(p->idx);
    if (p->area < -kTol)
      return Split::None;
    if (p->area <= kTol)
      p->idx.clear();  // no extent: no triangles
  }
  out1 = std::move(first);
  out2 = std::move(second);
  return Split::Done;
}

bool CDividTriangle::CheckPoint2(const Index& idx, int m) const
{
  const int v = idx[static_cast<std::size_t>(m)];
  if (m_Count[static_cast<std::size_t>(v)] > 1)
    return true;
  const auto& others = m_Coincident[static_cast<std::size_t>(v)];
  return std::any_of(others.begin(), others.end(), [this](int w) { return m_Count[static_cast<std::size_t>(w)] > 0; });
}

bool CDividTriangle::HasRepeatedPoint(const Index& idx)
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
bool CDividTriangle::EraseNeedleShape(Index& idx) const
{
  bool erased = false;
  std::size_t i = 0;
  while (i < idx.size()) {
    const std::size_t n = idx.size();
    const std::size_t k = (i + 2) % n;
    if (!NeedleAt(idx, i)) {
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

// A part cut from a needle-free parent keeps its triples but the two across the
// closing edge; where those hold no needle the full scan would erase none.
bool CDividTriangle::EraseNeedles(Part& p, bool parentNeedleFree) const
{
  const std::size_t n = p.idx.size();
  if (parentNeedleFree && !NeedleAt(p.idx, n - 2) && !NeedleAt(p.idx, n - 1)) {
    p.needleFree = true;
    return false;
  }
  const bool erased = EraseNeedleShape(p.idx);
  p.needleFree = !erased || !HasNeedle(p.idx);
  return erased;
}

bool CDividTriangle::HasNeedle(const Index& idx) const
{
  for (std::size_t i = 0; i < idx.size(); ++i) {
    if (NeedleAt(idx, i))
      return true;
  }
  return false;
}

bool CDividTriangle::NeedleAt(const Index& idx, std::size_t i) const
{
  const std::size_t k = (i + 2) % idx.size();
  return Coincide(m_Pt[static_cast<std::size_t>(idx[i])], m_Pt[static_cast<std::size_t>(idx[k])]);
}

double CDividTriangle::CalcArea(const Index& idx) const
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
bool CDividTriangle::CreateTriangle(const Index& idx)
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

bool CDividTriangle::AddTriangle(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c)
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
  if (KeepsTriangle(m_Mode, base, height, triangleArea))
    m_Triangles.push_back(t);
  return true;
}

bool CDividTriangle::KeepsTriangle(int mode, double base, double height, double area)
{
  if (!(base > 0))
    return false;
  if (mode >= 0)
    return height > 0;
  // A needle along a ray from the zenith, a few micrometres wide, still
  // holds sky up to its length: dropped, a piece of sky would come and go
  // as the division happened to cut it off or not.
  return !IsThin(base, height) || area > KelTol::DividEmptyArea;
}

bool CDividTriangle::IsThin(double base, double height)
{
  return !(base > KelTol::DividThinTriangle && height > KelTol::DividThinTriangle);
}

// --- Helpers -----------------------------------------------------------------

// For every point, the other points within DividPoint of it: points sorted
// by x, each compared with those that follow within the tolerance.
void CDividTriangle::FindCoincidentPoints()
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

void CDividTriangle::CountPositions(const Index& idx, int delta)
{
  for (int v : idx)
    m_Count[static_cast<std::size_t>(v)] += delta;
}

int CDividTriangle::FindOrigin(const Index& idx) const
{
  const int n = static_cast<int>(idx.size());
  if (!m_bOrigin)
    return n;
  for (int k = 0; k < n; ++k) {
    const CKelCoord2D& p = P(idx, k);
    if (std::fabs(p.m_x) <= kTol && std::fabs(p.m_y) <= kTol)
      return k;
  }
  return n;
}

bool CDividTriangle::LeavesOutwards(const Index& idx, int at, int to) const
{
  const std::size_t v = static_cast<std::size_t>(idx[static_cast<std::size_t>(at)]);
  if (m_Coincident[v].empty())
    return false;
  const int n = static_cast<int>(idx.size());
  const CKelCoord2D& c = m_Pt[v];
  const CKelCoord2D& prev = P(idx, (at + n - 1) % n);
  const CKelCoord2D& next = P(idx, (at + 1) % n);
  const CKelCoord2D& far = P(idx, to);
  // How far q lies to the left of the line from the point towards p, as
  // the turns are measured.
  const auto left = [&c](const CKelCoord2D& p, const CKelCoord2D& q) {
    double cs = 1, sn = 0, len = 0;
    CalcCosSin(c, p, &cs, &sn, &len);
    return cs * (q.m_y - c.m_y) - sn * (q.m_x - c.m_x);
  };
  // The part runs counter-clockwise: the inside lies from the next point
  // round anticlockwise to the previous one.
  const double toFar = left(next, far);
  const double fromFar = -left(prev, far);
  if (left(next, prev) > kTol)
    return toFar < -kTol || fromFar < -kTol;
  return toFar < -kTol && fromFar < -kTol;
}

// The turn prev -> cur -> next: positive to the left.
double CDividTriangle::TurnAt(const Index& idx, int prev, int cur, int next)
{
  const CKelCoord2D& a = P(idx, prev);
  const CKelCoord2D& c = P(idx, next);
  const Frame& f = FrameOf(idx, prev, cur);
  return f.c * (c.m_y - a.m_y) - f.s * (c.m_x - a.m_x);
}

const CDividTriangle::Frame& CDividTriangle::FrameOf(const Index& idx, int a, int b)
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
