#pragma once
// CKelSiteWorkOutline: the outline of a site as the road, corner-cut and
// deemed-site computations see it. A survey delivers an outline with extra
// points: edges split on their line, points doubled a hair apart, the sides
// of a millimetre notch. Those points change no frontage, yet a corner test
// at a 1e-7 m edge or a road built on a notch's side would. So these
// computations work on a derived outline:
//  - an edge of KelTol::SiteSurveyPiece or shorter is joined to its
//    neighbours: its run of such edges shrinks to the run's first point and
//    the following edge starts there;
//  - consecutive road pieces (or corner-cut pieces) that turn by no more than
//    KelTol::SiteCollinearPiece and whose widths and road heights run on
//    linearly across the joint become one edge.
// The site itself is never changed: stored files and callers rely on the
// outline as the user entered it. Every working edge carries the record of
// the first stored edge it stands for, and indices map both ways.
//
// An outline that nothing joins is the stored one (IsIdentity); the
// computations then run on the site itself, so clean outlines keep every
// result to the bit. An outline that would keep fewer than three edges is
// taken as it is.

#include <vector>

#include "CKelHSite.h"

class CKelSiteWorkOutline {
public:
  explicit CKelSiteWorkOutline(const CKelHSite& site);

  bool IsIdentity() const { return m_Identity; }
  // The working site: the stored site's values, roads and crossings with the
  // working vertex records. Its road and crossing tables name stored edges.
  CKelHSite& Site() { return m_Site; }
  const CKelHSite& Site() const { return m_Site; }
  // The stored edge whose record working edge w carries.
  int StoredEdge(int w) const;
  // The working edge that stored edge i is part of; -1 for an edge that was
  // joined away (too short) and for an index outside the stored outline.
  int WorkEdge(int i) const;

  // The road table with every m_no renamed from stored to working edges,
  // and back (the working edge's stored edge).
  CSiteRoad ToWork(const CSiteRoad& roads) const;
  void ToStored(CSiteRoad& roads) const;

private:
  struct Piece {
    CKelSiteTable m_Rec;          // the record, its point the working vertex
    std::vector<int> m_Stored;    // the stored edges it stands for, first the owner
  };

  static std::vector<Piece> JoinShortEdges(const CKelHSite& site);
  static bool JoinsOn(const Piece& acc, const Piece& next, const CKelCoord2D& end);
  static void Append(Piece& acc, const Piece& next);
  static std::vector<Piece> JoinCollinearPieces(const std::vector<Piece>& pieces);
  void Adopt(const CKelHSite& site, const std::vector<Piece>& pieces);

  CKelHSite m_Site;
  bool m_Identity = true;
  std::vector<int> m_Owner;  // per working edge: its stored edge
  std::vector<int> m_Work;   // per stored edge: its working edge or -1
};
