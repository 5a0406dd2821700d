#pragma once
// CSyasenCheckSiteRuns: the site as the slant-line check reads the edges
// beside the checked one. A half cut, a vertical cut or a check-point arc
// takes the direction of the previous or the next edge; that is the edge
// the site's roads decide their corners on (the runs of CKelSiteWorkOutline),
// never a repeated point's edge of no length, a spike, a millimetre stub or
// the other part of a frontage split by a point on it, so such points move
// the cuts no more than they move the outline.

#include "CKelHSite.h"
#include "CKelSiteWorkOutline.h"

class CSyasenCheckSiteRuns {
public:
  // Edge is a stored edge of site; out of range, Edge() is -1.
  CSyasenCheckSiteRuns(const CKelHSite& site, int edge) : m_Work(site), m_Edge(RunOf(m_Work, edge)) {}

  const CKelHSite* Site() const { return &m_Work.Runs(); }
  // The run the stored edge lies in.
  int Edge() const { return m_Edge; }

private:
  static int RunOf(const CKelSiteWorkOutline& work, int edge)
  {
    const int piece = work.PieceOf(edge);
    for (int r = 0; piece >= 0 && r < work.Runs().GetSize(); ++r) {
      for (int p : work.PiecesOfRun(r)) {
        if (p == piece)
          return r;
      }
    }
    return -1;
  }

  CKelSiteWorkOutline m_Work;
  int m_Edge;
};
