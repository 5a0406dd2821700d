#pragma once
// CSyasenCheckSiteRuns: the site as the slant-line check reads the edges
// beside the checked one. A half cut, a vertical cut or a check-point arc
// takes the direction of the previous or the next edge; that is the edge
// the site's roads decide their corners on (the runs of CKelSiteWorkOutline),
// never a repeated point's edge of no length, a spike, a millimetre stub or
// the other part of a frontage split by a point on it, so such points move
// the cuts no more than they move the outline. Nor is it a chord of a
// rounded corner (IsRoundedCorner): a corner rounded in chords is read like
// a corner cut, so its cuts and arcs take the side beyond it, as they would
// at the sharp corner it rounds. Each run's edge data span its whole line.
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
  // Run r is a chord of a rounded corner: one of a chain of unmarked
  // neighbour runs, each shorter than KelTol::SiteRoundedCornerTinies tiny
  // sizes, between two longer sides that are no corner cuts, the whole
  // turning one way from the side before to the side after by less than a
  // half turn (a turn that moves the shorter run off the other's line by
  // no more than the tiny size is survey noise, neither way). A corner
  // rounded by r = 0.5 m in 8 or 32 chords, or cut off by an unmarked
  // chord, on a 25 m lot; never a crank's jog or a notch.
  bool IsRoundedCorner(int r) const;
  // The side that a cut or arc at the start (end) of run r takes its
  // direction from: the nearest run before (after) it that is neither a
  // corner cut nor a chord of a rounded corner; -1 when a whole round finds
  // none.
  int SideBefore(int r) const { return SideFrom(r, -1); }
  int SideAfter(int r) const { return SideFrom(r, +1); }

private:
  const CKelSiteWorkOutline& Work() const;
  int SideFrom(int r, int step) const;

  const CKelHSite* m_Stored;
  // Made on first use (a const reader may be the first).
  mutable std::optional<CKelSiteWorkOutline> m_Work;
  mutable std::vector<int> m_RunOfPiece;
  mutable std::vector<bool> m_Rounded;  // per run
};
