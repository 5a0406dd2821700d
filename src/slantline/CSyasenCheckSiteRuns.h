#pragma once
// CSyasenCheckSiteRuns: the site as the slant-line check reads the edges
// beside the checked one. A half cut, a vertical cut or a check-point arc
// takes the direction of the previous or the next edge; that is the edge
// the site's roads decide their corners on (the runs of CKelSiteWorkOutline),
// never a repeated point's edge of no length, a spike, a millimetre stub or
// the other part of a frontage split by a point on it, so such points move
// the cuts no more than they move the outline. Every other run is a side of
// its own, however short: a chamfer nobody marked or one chord of a rounded
// corner gives the cut its direction, as the side beside the road. Each
// run's edge data span its whole line.
// Both forms of the check find their edges here: the basic form by the
// checked stored edge, the radial form by its rays' end points.
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
  // The run whose line starts nearest point, within the site's tiny size
  // (a corner the survey listed twice or moved by a folded stub is still
  // that corner); -1 when none starts so near, or there is no site.
  int RunStartingAt(const CKelCoord2D& point) const;
  // The first stored edge of run r in outline order; the stored edge
  // before it lies in the run before. Precondition: a run of the site.
  int FirstStoredEdge(int r) const { return Work().FirstOfRun(r); }
  // The side that a cut or arc at the start (end) of run r takes its
  // direction from: the nearest run before (after) it that is no corner
  // cut; -1 when a whole round finds none.
  int SideBefore(int r) const { return SideFrom(r, -1); }
  int SideAfter(int r) const { return SideFrom(r, +1); }
  // A stretch that begins or ends inside run r (farther than the tiny size
  // from both its ends) is cut there across the run, not along a bisector
  // of the run's far corners: at a joint of its pieces within the tiny size
  // of p, along that joint's bisector (a bend of a fraction of a degree
  // reads as nearly square, as it does once the bend outgrows the run);
  // elsewhere square to the piece p lies on. Sets (c, s) to the unit
  // direction into the site and answers true; false when p does not lie
  // inside run r.
  bool InnerCut(int r, const CKelCoord2D& p, double* c, double* s) const;
  // The unit directions of the pieces of run r before and after p, read as
  // InnerCut reads them (the same piece's twice where p lies on a piece,
  // not at a joint); the vertical cuts and the check-point arcs take the
  // joint there for the corner they turn at. False when p does not lie
  // inside run r.
  bool InnerSides(int r, const CKelCoord2D& p, CKelCoord2D* before, CKelCoord2D* after) const;

private:
  const CKelSiteWorkOutline& Work() const;
  int SideFrom(int r, int step) const;

  const CKelHSite* m_Stored;
  // Made on first use (a const reader may be the first).
  mutable std::optional<CKelSiteWorkOutline> m_Work;
  mutable std::vector<int> m_RunOfPiece;
};
