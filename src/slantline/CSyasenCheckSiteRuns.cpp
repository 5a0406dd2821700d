#include "CSyasenCheckSiteRuns.h"

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
