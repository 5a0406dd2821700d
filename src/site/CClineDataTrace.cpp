// The outer boundary of a check line's elements.
//
// Vocabulary. The raw line is the chain set_checkline builds: runs offset
// from the outline's edges, arcs about its convex corners, mitres, and joins
// through concave vertices. Each element keeps the site to its left and no
// point of it lies further than the distance from the outline; runs and arcs
// lie exactly that far from their own edge or vertex. The check line is the
// boundary of the region they enclose (the offset region): walking along it
// with that region on the left, wherever another element crosses the one
// walked on and leaves to its right, the boundary turns onto that element.
//
// The walk starts at the raw line's easternmost point, which no other
// element passes beyond, so it lies on the boundary, and goes round until it
// is back there. Each step asks for the nearest crossing ahead on the
// element walked on, through a grid of short chunks of every element: the
// work follows the boundary, not the crossings of the raw line, of which a
// comb of short teeth at a large distance has as many as pairs of teeth.
//
// Crossings are found exactly, without a snapping distance: a notch a
// fraction of a millimetre wide is as real a loop as a wide one.

#include <algorithm>
#include <cmath>
#include <optional>

#include "CClineData.h"
#include "ClineElementGeometry.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

using namespace cline_geometry;

// Where the walk turns: at t on the element walked on, onto element `onto`
// at its position there.
struct Turn {
  double t = 0;
  int onto = -1;
  double ontoT = 0;
  CKelCoord2D at;
};

// A stretch of the boundary: element `element` from t0 to t1, ending at
// `end` (the element's own end point where t1 is its whole length).
struct Piece {
  int element = 0;
  double t0 = 0, t1 = 0;
  CKelCoord2D end;
};

class OuterWalk {
public:
  OuterWalk(const std::vector<Element>& elements, double scale)
      : m_Elements(elements), m_Grid(elements, KelTol::ClineTraceMargin * scale), m_Seen(elements.size(), 0),
        m_Ahead(KelTol::ClineTraceAhead * scale), m_OnEnd(KelTol::ClineTraceEnd * scale),
        m_Margin(KelTol::ClineTraceMargin * scale)
  {
  }

  // The boundary from the easternmost point round to it; false when the
  // walk does not come back within a bound on its steps.
  bool Walk(std::vector<Piece>& pieces, bool& turned);
  int Start() const { return m_Start; }
  double StartT() const { return m_StartT; }

private:
  int Next(int k) const { return k + 1 == static_cast<int>(m_Elements.size()) ? 0 : k + 1; }
  int Previous(int k) const { return k == 0 ? static_cast<int>(m_Elements.size()) - 1 : k - 1; }
  void FindStart();
  // The nearest turn on element k further on than t.
  std::optional<Turn> NearestTurn(int k, double t);
  // Takes a turn onto element other where it is nearer than best; only a
  // crossing inside reach can be, once best is known.
  void TryTurns(int k, int other, double t, const Box& reach, std::optional<Turn>& best) const;

  const std::vector<Element>& m_Elements;
  ChunkGrid m_Grid;
  std::vector<unsigned> m_Seen;
  unsigned m_Stamp = 0;
  double m_Ahead, m_OnEnd, m_Margin;
  int m_Start = 0;
  double m_StartT = 0;
  CKelCoord2D m_StartPoint;
};

void OuterWalk::FindStart()
{
  double east = -1e300;
  for (std::size_t k = 0; k < m_Elements.size(); ++k) {
    const Element& e = m_Elements[k];
    const auto take = [&](double x, double t) {
      if (x > east) {
        east = x;
        m_Start = static_cast<int>(k);
        m_StartT = t;
      }
    };
    take(e.s.m_x, 0);
    take(e.e.m_x, e.length);
    if (e.arc) {
      const double t = e.Position(CKelCoord2D(e.c.m_x + e.radius, e.c.m_y));
      if (t > 0 && t < e.length)
        take(e.c.m_x + e.radius, t);
    }
  }
  // An end point starts the next element instead, so that the walk begins
  // and ends inside one element.
  if (m_StartT >= m_Elements[static_cast<std::size_t>(m_Start)].length) {
    m_Start = Next(m_Start);
    m_StartT = 0;
  }
  const Element& s = m_Elements[static_cast<std::size_t>(m_Start)];
  m_StartPoint = m_StartT == 0 ? s.s : s.At(m_StartT);
}

void OuterWalk::TryTurns(int k, int other, double t, const Box& reach, std::optional<Turn>& best) const
{
  const Element& a = m_Elements[static_cast<std::size_t>(k)];
  const Element& b = m_Elements[static_cast<std::size_t>(other)];
  CKelCoord2D at[2];
  const int count = Meet(a, b, at);
  for (int i = 0; i < count; ++i) {
    // Beyond the stretch to the nearest turn so far it cannot be nearer.
    if (best && !(at[i].m_x >= reach.xmin && at[i].m_x <= reach.xmax && at[i].m_y >= reach.ymin &&
                  at[i].m_y <= reach.ymax))
      continue;
    const double ta = a.Position(at[i]);
    if (!(ta > t + m_Ahead / a.Scale() && ta <= a.length + m_OnEnd / a.Scale()) || (best && !(ta < best->t)))
      continue;
    const double tb = b.Position(at[i]), endB = m_OnEnd / b.Scale();
    if (!(tb >= -endB && tb <= b.length + endB))
      continue;
    // Only an element leaving to the right bounds the region further out.
    const CKelCoord2D ha = a.Heading(ta), hb = b.Heading(tb);
    if (!(ha.m_x * hb.m_y - ha.m_y * hb.m_x < 0))
      continue;
    best = Turn{ta, other, std::fmax(0.0, tb), at[i]};
  }
}

std::optional<Turn> OuterWalk::NearestTurn(int k, double t)
{
  const Element& a = m_Elements[static_cast<std::size_t>(k)];
  if (++m_Stamp == 0) {
    std::fill(m_Seen.begin(), m_Seen.end(), 0u);
    m_Stamp = 1;
  }
  m_Seen[static_cast<std::size_t>(k)] = m_Stamp;
  m_Seen[static_cast<std::size_t>(Next(k))] = m_Stamp;
  m_Seen[static_cast<std::size_t>(Previous(k))] = m_Stamp;
  std::optional<Turn> best;
  const int chunks = m_Grid.Chunks(k);
  const double step = m_Grid.Step(k);
  const int first = step > 0 ? static_cast<int>(std::clamp(t / step, 0.0, chunks - 1.0)) : 0;
  for (int j = first; j < chunks; ++j) {
    // Only an element that meets the stretch up to the nearest turn found
    // so far can turn sooner: most are passed over by their chunks' boxes.
    Box reach = m_Grid.ChunkBox(k, j);
    const auto narrow = [&] { reach = PieceBox(a, std::max(t, step * j), best->t, m_Margin); };
    if (best)
      narrow();
    m_Grid.ForCells(m_Grid.ChunkBox(k, j), [&](std::vector<int>& cell) {
      for (int chunk : cell) {
        const int other = m_Grid.Owner(chunk);
        if (m_Seen[static_cast<std::size_t>(other)] == m_Stamp || !m_Grid.BoxOf(chunk).Meets(reach))
          continue;
        m_Seen[static_cast<std::size_t>(other)] = m_Stamp;
        const double before = best ? best->t : 0;
        TryTurns(k, other, t, reach, best);
        if (best && best->t != before)
          narrow();
      }
    });
    // Every element that meets the chunks so far has been tried.
    if (best && best->t <= step * (j + 1))
      break;
  }
  return best;
}

bool OuterWalk::Walk(std::vector<Piece>& pieces, bool& turned)
{
  FindStart();
  const std::size_t limit = 8 * m_Elements.size() + 64;
  int k = m_Start;
  double t = m_StartT;
  // Entering an element at its start, a crossing at the joint may come out
  // a hair before it: the search there reaches back as far as the one on
  // the element before reached on past its end.
  double searchFrom = t;
  turned = false;
  for (std::size_t step = 0; step < limit; ++step) {
    const Element& e = m_Elements[static_cast<std::size_t>(k)];
    const std::optional<Turn> turn = NearestTurn(k, searchFrom);
    const bool home = step > 0 && k == m_Start && t <= m_StartT + m_Ahead / e.Scale();
    if (home && (!turn || turn->t >= m_StartT)) {
      if (t < m_StartT)
        pieces.push_back({k, t, m_StartT, m_StartPoint});
      return true;
    }
    if (turn) {
      pieces.push_back({k, t, turn->t, turn->at});
      k = turn->onto;
      t = turn->ontoT;
      searchFrom = t;
      turned = true;
    } else {
      pieces.push_back({k, t, e.length, e.e});
      k = Next(k);
      t = 0;
      searchFrom = -m_OnEnd / m_Elements[static_cast<std::size_t>(k)].Scale();
    }
  }
  return false;
}

// The piece of the first element that starts at first, where the boundary
// passes there; else the walk's start.
std::size_t FirstPiece(const std::vector<Piece>& pieces, const std::vector<Element>& elements,
                       const CKelCoord2D& first, double tolerance)
{
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const Element& e = elements[static_cast<std::size_t>(pieces[i].element)];
    if (pieces[i].element == 0 && length_2point(pieces[i].t0 == 0 ? e.s : e.At(pieces[i].t0), first) <= tolerance)
      return i;
  }
  return 0;
}

}  // namespace

CClineData::TraceResult CClineData::TraceOuterLine(const CKelCoord2D& first)
{
  const std::vector<ClineElement> chain = Elements();
  if (chain.size() < 2 || !(m_Distance > 0))
    return TraceResult::Failed;
  std::vector<Element> elements;
  elements.reserve(chain.size());
  Box extent;
  for (const ClineElement& k : chain) {
    elements.push_back(MakeElement(*this, k, m_Distance));
    const Element& e = elements.back();
    // A stored outline can carry anything: a line out of a point that is no
    // number, or beyond any site, cannot be filed in a grid.
    for (const double v : {e.s.m_x, e.s.m_y, e.e.m_x, e.e.m_y, e.c.m_x, e.c.m_y, e.radius, e.length}) {
      if (!(std::fabs(v) <= KelTol::ClineTraceReach))
        return TraceResult::Failed;
    }
    extent.Add(e.s);
  }
  // What is tiny is judged by the lot's size, never by its coordinates.
  const double scale = std::max({1.0, extent.xmax - extent.xmin, extent.ymax - extent.ymin});
  OuterWalk walk(elements, scale);
  std::vector<Piece> pieces;
  bool turned = false;
  if (!walk.Walk(pieces, turned) || pieces.empty())
    return TraceResult::Failed;
  if (!turned)
    return TraceResult::Unchanged;

  // Round from the first piece, the walk's start joined up where it split
  // an element.
  const std::size_t turn = FirstPiece(pieces, elements, first, KelTol::ClineTraceMargin * scale);
  std::rotate(pieces.begin(), pieces.begin() + static_cast<long>(turn), pieces.end());
  if (turn > 0) {
    Piece& walkLast = pieces[pieces.size() - turn - 1];
    const auto walkFirst = pieces.begin() + static_cast<long>(pieces.size() - turn);
    if (walkLast.element == walkFirst->element && walkLast.t1 == walkFirst->t0) {
      walkLast.t1 = walkFirst->t1;
      walkLast.end = walkFirst->end;
      pieces.erase(walkFirst);
    }
  }
  const Element& e0 = elements[static_cast<std::size_t>(pieces.front().element)];
  const CKelCoord2D start = pieces.front().t0 == 0 ? e0.s : e0.At(pieces.front().t0);

  CClineData traced(m_LineNo, m_Distance);
  traced.emplace_back(start.m_x, start.m_y, CCrspnt::kRunStart);
  for (const Piece& p : pieces) {
    const Element& e = elements[static_cast<std::size_t>(p.element)];
    // A piece too short to turn through would read as a whole circle.
    if (!((p.t1 - p.t0) * e.Scale() > KelTol::ClineTraceAhead * scale))
      continue;
    if (e.arc) {
      traced.emplace_back(e.c.m_x, e.c.m_y, CCrspnt::kCentre);
      traced.emplace_back(p.end.m_x, p.end.m_y, CCrspnt::kRunStart);
    } else {
      traced.emplace_back(p.end.m_x, p.end.m_y, CCrspnt::kLinePoint);
    }
  }
  traced.back().m_x = start.m_x;
  traced.back().m_y = start.m_y;
  traced.emplace_back(0, 0, CCrspnt::kEnd);
  static_cast<std::vector<CCrspnt>&>(*this) = std::move(traced);
  return TraceResult::Cut;
}
