#include "CSyasenCheckSiteRuns.h"

#include "KelGeometry.h"

int CSyasenCheckSiteRuns::RunStartingAt(const CKelCoord2D& point) const
{
  const CKelHSite& runs = m_Work.Runs();
  int best = -1;
  double nearest = m_Work.Tiny();
  for (int r = 0; r < runs.GetSize(); ++r) {
    const double d = length_2point(runs.Vertex(r).m_Sphere.m_EdgePos[0], point);
    if (d <= nearest && (best < 0 || d < nearest)) {
      best = r;
      nearest = d;
    }
  }
  return best;
}
