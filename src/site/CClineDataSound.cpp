// Whether a finished check line is the line it stands for, and the outline
// it is traced round again when it is not.
//
// A sound line is closed, no two of its elements cross, every point of it
// lies at least the distance from the outline (ClineSoundSlack less), and
// the outline lies inside it. Its pieces come from runs and arcs that lie
// no further than the distance from the outline, so such a line runs on
// the boundary of the points within the distance and goes round the site:
// it is the outer boundary. A line that fails is never handed out.

#include <algorithm>
#include <cmath>
#include <vector>

#include "CClineData.h"
#include "ClineElementGeometry.h"
#include "KelGeometry.h"
#include "KelTolerance.h"

namespace {

using namespace cline_geometry;

double PointSegment(const CKelCoord2D& p, const CKelCoord2D& a, const CKelCoord2D& b)
{
  const double dx = b.m_x - a.m_x, dy = b.m_y - a.m_y, l2 = dx * dx + dy * dy;
  const double t = l2 > 0 ? std::clamp(((p.m_x - a.m_x) * dx + (p.m_y - a.m_y) * dy) / l2, 0.0, 1.0) : 0.0;
  return std::hypot(p.m_x - a.m_x - t * dx, p.m_y - a.m_y - t * dy);
}

bool OnArc(const Element& arc, const CKelCoord2D& p)
{
  const double t = arc.Position(p);
  return t >= 0 && t <= arc.length;
}

double PointElement(const CKelCoord2D& p, const Element& e)
{
  if (!e.arc)
    return PointSegment(p, e.s, e.e);
  if (OnArc(e, p))
    return std::fabs(std::hypot(p.m_x - e.c.m_x, p.m_y - e.c.m_y) - e.radius);
  return std::fmin(length_2point(p, e.s), length_2point(p, e.e));
}

double Side(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  return (b.m_x - a.m_x) * (p.m_y - a.m_y) - (b.m_y - a.m_y) * (p.m_x - a.m_x);
}

// The least distance between an element of the line and the outline's
// edge: at an end of either, where they cross, or, for an arc, on the
// normal from its centre to the edge.
double ElementEdge(const Element& e, const Element& edge)
{
  double best = std::fmin(std::fmin(PointSegment(e.s, edge.s, edge.e), PointSegment(e.e, edge.s, edge.e)),
                          std::fmin(PointElement(edge.s, e), PointElement(edge.e, e)));
  if (!e.arc) {
    const bool cross = Side(edge.s, edge.e, e.s) * Side(edge.s, edge.e, e.e) < 0 &&
                       Side(e.s, e.e, edge.s) * Side(e.s, e.e, edge.e) < 0;
    return cross ? 0 : best;
  }
  if (edge.length == 0)
    return best;
  CKelCoord2D at[2];
  const int count = Meet(e, edge, at);
  for (int i = 0; i < count; ++i) {
    const double t = edge.Position(at[i]);
    if (t >= 0 && t <= edge.length && OnArc(e, at[i]))
      return 0;
  }
  const double t = edge.Position(e.c);
  const CKelCoord2D foot = edge.At(t);
  if (t >= 0 && t <= edge.length && length_2point(foot, e.c) > 0 && OnArc(e, foot))
    best = std::fmin(best, std::fabs(length_2point(foot, e.c) - e.radius));
  return best;
}

// Whether two elements that do not follow each other meet away from their
// ends (joint within `joint`).
bool Cross(const Element& a, const Element& b, double joint)
{
  CKelCoord2D at[2];
  const int count = Meet(a, b, at);
  for (int i = 0; i < count; ++i) {
    const CKelCoord2D& x = at[i];
    const bool nearEnd = std::fmin(std::fmin(length_2point(x, a.s), length_2point(x, a.e)),
                                   std::fmin(length_2point(x, b.s), length_2point(x, b.e))) <= joint;
    if (nearEnd)
      continue;
    const auto on = [](const Element& e, const CKelCoord2D& p) {
      const double t = e.Position(p);
      return t >= 0 && t <= e.length;
    };
    if (on(a, x) && on(b, x))
      return true;
  }
  return false;
}

bool NoTwoCross(const std::vector<Element>& elements, double joint)
{
  ChunkGrid grid(elements, joint);
  const int n = static_cast<int>(elements.size());
  std::vector<int> seen(elements.size(), -1);
  for (int k = 0; k < n; ++k) {
    bool crossed = false;
    for (int j = 0; j < grid.Chunks(k) && !crossed; ++j) {
      grid.ForCells(grid.ChunkBox(k, j), [&](std::vector<int>& cell) {
        for (int chunk : cell) {
          const int other = grid.Owner(chunk);
          const bool neighbour = other <= k + 1 || (k == 0 && other == n - 1);
          if (neighbour || seen[static_cast<std::size_t>(other)] == k ||
              !grid.BoxOf(chunk).Meets(grid.ChunkBox(k, j)))
            continue;
          seen[static_cast<std::size_t>(other)] = k;
          crossed = crossed || Cross(elements[static_cast<std::size_t>(k)], elements[static_cast<std::size_t>(other)], joint);
        }
      });
    }
    if (crossed)
      return false;
  }
  return true;
}

bool FarEnough(const std::vector<Element>& elements, const std::vector<CKelCoord2D>& outline, double least)
{
  std::vector<Element> edges;
  for (std::size_t k = 0; k < outline.size(); ++k)
    edges.push_back(Segment(outline[k], outline[(k + 1) % outline.size()]));
  ChunkGrid grid(edges, 0, least);
  std::vector<std::size_t> seen(edges.size(), elements.size());
  for (std::size_t k = 0; k < elements.size(); ++k) {
    const Element& e = elements[k];
    Box reach = PieceBox(e, 0, e.length, least);
    bool near = false;
    grid.ForCells(reach, [&](std::vector<int>& cell) {
      for (int chunk : cell) {
        const std::size_t edge = static_cast<std::size_t>(grid.Owner(chunk));
        if (near || seen[edge] == k || !grid.BoxOf(chunk).Meets(reach))
          continue;
        seen[edge] = k;
        near = ElementEdge(e, edges[edge]) < least;
      }
    });
    if (near)
      return false;
  }
  return true;
}

// Whether p lies inside the line, its arcs taken as chords of at most an
// eighth of a turn: a point that keeps the distance from every arc lies
// outside the slivers between them.
bool Encloses(const std::vector<Element>& elements, const CKelCoord2D& p)
{
  std::vector<CKelCoord2D> ring;
  for (const Element& e : elements) {
    ring.push_back(e.s);
    if (!e.arc)
      continue;
    const int parts = static_cast<int>(std::ceil(e.length / (KelAngle::Pi / 4)));
    for (int i = 1; i < parts; ++i)
      ring.push_back(e.At(e.length * i / parts));
  }
  bool in = false;
  for (std::size_t k = 0, j = ring.size() - 1; k < ring.size(); j = k++) {
    const CKelCoord2D& a = ring[j];
    const CKelCoord2D& b = ring[k];
    if ((a.m_y > p.m_y) != (b.m_y > p.m_y) && a.m_x + (p.m_y - a.m_y) * (b.m_x - a.m_x) / (b.m_y - a.m_y) > p.m_x)
      in = !in;
  }
  return in;
}

// The points of the outline without those within tol of the chord between
// the points kept on either side of it.
std::vector<CKelCoord2D> WithoutJitter(const std::vector<CKelCoord2D>& pt, double tol)
{
  std::vector<CKelCoord2D> kept;
  std::size_t from = 0;
  kept.push_back(pt.front());
  for (std::size_t to = 2; to <= pt.size(); ++to) {
    const CKelCoord2D& end = pt[to % pt.size()];
    bool onChord = true;
    for (std::size_t i = from + 1; i < to && onChord; ++i)
      onChord = PointSegment(pt[i], pt[from], end) <= tol;
    if (!onChord) {
      from = to - 1;
      kept.push_back(pt[from]);
    }
  }
  return kept;
}

}  // namespace

bool CClineData::IsSoundFor(const std::vector<CKelCoord2D>& outline) const
{
  const std::vector<ClineElement> chain = Elements();
  if (outline.empty() || chain.size() < 2 || CheckData() < 0)
    return false;
  std::vector<Element> elements;
  Box extent;
  for (const ClineElement& k : chain) {
    elements.push_back(MakeElement(*this, k, m_Distance));
    extent.Add(elements.back().s);
  }
  const double scale = std::max({1.0, extent.xmax - extent.xmin, extent.ymax - extent.ymin});
  const double joint = KelTol::ClineTraceMargin * scale;
  return length_2point(elements.back().e, elements.front().s) <= joint && NoTwoCross(elements, joint) &&
         FarEnough(elements, outline, m_Distance - KelTol::ClineSoundSlack) && Encloses(elements, outline.front());
}

bool CClineData::TraceSound(const CKelArea<CKelCoord2D>& local, const std::vector<CKelCoord2D>& judged)
{
  const CKelCoord2D first = BuildRawLine(local);
  return TraceOuterLine(first) != TraceResult::Failed && IsSoundFor(judged);
}

bool CClineData::TraceLocal(const CKelArea<CKelCoord2D>& local)
{
  if (TraceSound(local, local.m_pt))
    return true;
  CKelArea<CKelCoord2D> plain;
  plain.m_pt = WithoutJitter(local.m_pt, KelTol::ClineSurveyJitter);
  return plain.m_pt.size() < local.m_pt.size() && TraceSound(plain, local.m_pt);
}
