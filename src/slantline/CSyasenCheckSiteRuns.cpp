#include "CSyasenCheckSiteRuns.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "KelGeometry.h"

const CKelSiteWorkOutline& CSyasenCheckSiteRuns::Work() const
{
  if (m_Work)
    return *m_Work;
  const CKelSiteWorkOutline& work = m_Work.emplace(*m_Stored);
  // Each piece's run, the first that lists it, found once for every edge
  // asked about.
  m_RunOfPiece.assign(static_cast<std::size_t>(work.Pieces().GetSize()), -1);
  for (int r = work.Runs().GetSize() - 1; r >= 0; --r) {
    for (int p : work.PiecesOfRun(r)) {
      if (p >= 0 && p < static_cast<int>(m_RunOfPiece.size()))
        m_RunOfPiece[static_cast<std::size_t>(p)] = r;
    }
  }
  return work;
}

int CSyasenCheckSiteRuns::Edge(int storedEdge) const
{
  if (m_Stored == nullptr)
    return -1;
  const int piece = Work().PieceOf(storedEdge);
  if (piece < 0 || piece >= static_cast<int>(m_RunOfPiece.size()))
    return -1;
  return m_RunOfPiece[static_cast<std::size_t>(piece)];
}

int CSyasenCheckSiteRuns::RunStartingAt(const CKelCoord2D& point) const
{
  if (m_Stored == nullptr || m_Stored->GetSize() == 0)
    return -1;
  const CKelHSite& runs = Work().Runs();
  int best = -1;
  double nearest = Work().Tiny();
  for (int r = 0; r < runs.GetSize(); ++r) {
    const double d = length_2point(runs.EdgeStart(r), point);
    if (d <= nearest && (best < 0 || d < nearest)) {
      best = r;
      nearest = d;
    }
  }
  return best;
}

int CSyasenCheckSiteRuns::SideFrom(int r, int step) const
{
  const CKelHSite& runs = Work().Runs();
  const int n = runs.GetSize();
  for (int k = 0, i = r + step; k < n; ++k, i += step) {
    const int w = ((i % n) + n) % n;
    if (!runs.Vertex(w).IsSumikiri())
      return w;
  }
  return -1;
}

namespace {

// The unit direction of the side piece i lies on (Sides(), so a cut inside a
// densely listed side reads the whole side, as the roads and the deemed site
// do); of the piece itself outside every side. (0, 0) for one of no length.
CKelCoord2D PieceDirection(const CKelSiteWorkOutline& work, int i)
{
  const int side = work.SideOfPiece(i);
  const bool onSide = side >= 0 && side < static_cast<int>(work.Sides().size());
  const CKelCoord2D& a = onSide ? work.Sides()[static_cast<std::size_t>(side)].m_Beg : work.Pieces().Vertex(i);
  const CKelCoord2D& b = onSide ? work.Sides()[static_cast<std::size_t>(side)].m_End : work.Pieces().Vertex(i + 1);
  const double len = length_2point(a, b);
  if (!(len > 0))
    return CKelCoord2D(0, 0);
  return CKelCoord2D((b.m_x - a.m_x) / len, (b.m_y - a.m_y) / len);
}

double SegmentGap(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& p)
{
  const double dx = b.m_x - a.m_x, dy = b.m_y - a.m_y, len2 = dx * dx + dy * dy;
  const double t = len2 > 0 ? std::clamp(((p.m_x - a.m_x) * dx + (p.m_y - a.m_y) * dy) / len2, 0.0, 1.0) : 0.0;
  return std::hypot(p.m_x - (a.m_x + t * dx), p.m_y - (a.m_y + t * dy));
}

}  // namespace

bool CSyasenCheckSiteRuns::InnerSides(int r, const CKelCoord2D& p, CKelCoord2D* before, CKelCoord2D* after) const
{
  if (m_Stored == nullptr || r < 0 || r >= Work().Runs().GetSize())
    return false;
  const CKelHsiteSphereTable& line = Work().Runs().Vertex(r).m_Sphere;
  const double tiny = Work().Tiny();
  const double t = (p.m_x - line.m_EdgePos[0].m_x) * line.m_EdgeCos + (p.m_y - line.m_EdgePos[0].m_y) * line.m_EdgeSin;
  if (!(t > tiny && t < line.m_EdgeLen - tiny))
    return false;
  const CKelHSite& pieces = Work().Pieces();
  const std::vector<int>& list = Work().PiecesOfRun(r);
  // The joint nearest p, within the tiny size; else the piece nearest p.
  std::size_t joint = 0;
  double nearest = tiny;
  for (std::size_t k = 1; k < list.size(); ++k) {
    const double d = length_2point(pieces.Vertex(list[k]), p);
    if (d <= nearest) {
      joint = k;
      nearest = d;
    }
  }
  if (joint > 0) {
    *before = PieceDirection(Work(), list[joint - 1]);
    *after = PieceDirection(Work(), list[joint]);
  } else {
    int on = list.front();
    double gap = std::numeric_limits<double>::infinity();
    for (int k : list) {
      const double d = SegmentGap(pieces.Vertex(k), pieces.Vertex(k + 1), p);
      if (d < gap) {
        on = k;
        gap = d;
      }
    }
    *before = *after = PieceDirection(Work(), on);
  }
  // No piece of a length to read: the run's own line.
  const CKelCoord2D runLine(line.m_EdgeCos, line.m_EdgeSin);
  const auto none = [](const CKelCoord2D& d) { return d.m_x == 0 && d.m_y == 0; };
  if (none(*before))
    *before = none(*after) ? runLine : *after;
  if (none(*after))
    *after = *before;
  return true;
}

bool CSyasenCheckSiteRuns::InnerCut(int r, const CKelCoord2D& p, double* c, double* s) const
{
  CKelCoord2D u, v;
  if (!InnerSides(r, p, &u, &v))
    return false;
  // The sum of the two sides' inward normals halves the joint's angle and
  // stays exact as the joint straightens.
  const double nx = -u.m_y - v.m_y, ny = u.m_x + v.m_x, len = std::hypot(nx, ny);
  if (!(len > 0)) {
    // Sides turning back on each other: square to the run's own line.
    const CKelHsiteSphereTable& line = Work().Runs().Vertex(r).m_Sphere;
    *c = -line.m_EdgeSin;
    *s = line.m_EdgeCos;
    return true;
  }
  *c = nx / len;
  *s = ny / len;
  return true;
}
