#pragma once
// CSyasenCheckSiteRuns: the site as the slant-line check reads the edges
// beside the checked one. A half cut, a vertical cut or a check-point arc
// takes the direction of the previous or the next edge; that is the edge
// the site's roads decide their corners on (the runs of CKelSiteWorkOutline),
// never a repeated point's edge of no length, a spike, a millimetre stub or
// the other part of a frontage split by a point on it, so such points move
// the cuts no more than they move the outline. Each run's edge data span
// its whole line. Both forms of the check find their edges here: the basic
// form by the checked stored edge, the radial form by its rays' end points.

#include "CKelHSite.h"
#include "CKelSiteWorkOutline.h"

class CSyasenCheckSiteRuns {
public:
  explicit CSyasenCheckSiteRuns(const CKelHSite& site) : m_Work(site), m_Edge(-1) {}
  // Edge is a stored edge of site; out of range, Edge() is -1.
  CSyasenCheckSiteRuns(const CKelHSite& site, int edge) : m_Work(site), m_Edge(m_Work.RunOf(edge)) {}

  const CKelHSite* Site() const { return &m_Work.Runs(); }
  // The run the stored edge given lies in.
  int Edge() const { return m_Edge; }
  const CKelSiteWorkOutline& Work() const { return m_Work; }

  // The run whose line starts nearest point, within the site's tiny size
  // (a corner the survey listed twice or moved by a folded stub is still
  // that corner); -1 when none starts so near.
  int RunStartingAt(const CKelCoord2D& point) const;

private:
  CKelSiteWorkOutline m_Work;
  int m_Edge;
};
