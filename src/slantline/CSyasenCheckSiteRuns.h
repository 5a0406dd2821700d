#pragma once
// CSyasenCheckSiteRuns: the site as the slant-line check reads the edges
// beside the checked one. A half cut, a vertical cut or a check-point arc
// takes the direction of the previous or the next edge; that is the edge
// the site's roads decide their corners on (the runs of CKelSiteWorkOutline),
// never a repeated point's edge of no length, a spike, a millimetre stub or
// the other part of a frontage split by a point on it, so such points move
// the cuts no more than they move the outline.
//
// One object serves one operation (the base blocks of a check, its check
// line): the runs are made on first use and kept, so every source block and
// both ends read the same runs, made once. The stored site must outlive the
// object and stay unchanged while it lives.

#include <optional>
#include <vector>

#include "CKelHSite.h"
#include "CKelSiteWorkOutline.h"

class CSyasenCheckSiteRuns {
public:
  // A null site has no edges.
  explicit CSyasenCheckSiteRuns(const CKelHSite* stored) : m_Stored(stored) {}

  const CKelHSite* Stored() const { return m_Stored; }
  // The runs as a site. Precondition: a stored site.
  const CKelHSite* Site() const { return &Work().Runs(); }
  // The run that stored edge lies in; -1 outside the site.
  int Edge(int storedEdge) const;

private:
  const CKelSiteWorkOutline& Work() const;

  const CKelHSite* m_Stored;
  // Made on first use (a const reader may be the first).
  mutable std::optional<CKelSiteWorkOutline> m_Work;
  mutable std::vector<int> m_RunOfPiece;
};
