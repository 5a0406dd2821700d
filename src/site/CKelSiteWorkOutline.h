#pragma once
// CKelSiteWorkOutline: the outline of a site as the road, corner-cut and
// deemed-site computations see it. A survey delivers an outline with extra
// points: points doubled a hair apart, millimetre notches, a short run back
// along the frontage, edges split off their line by a few millimetres. Such
// points must move no result by more than they move the outline, yet a
// corner test at a 1e-7 m edge, a road on a notch's side or a corner
// crossing stretched along a 2 m piece of a 4 m frontage would. So these
// computations read two derived outlines, both judged by the lot's tiny
// size (SiteTinySize: a share of its diameter, never more than a few
// centimetres, "tiny" below):
//  - the pieces: every tiny edge is folded into the neighbouring edge of its
//    own kind (road, corner cut, neighbour), or into the next edge when it is
//    an unmarked neighbour piece; a lone road or cut between edges of
//    another kind stays as it is, but a lone tiny road beside a kept tiny
//    cut is part of that corner. The kept edge starts where its run of
//    folded edges starts. Consecutive tiny edges of one kind drawing more
//    than KelTol::SiteDenseTinies tiny sizes (a side listed every 20 mm, a
//    rounded corner in short chords) are no noise: they are cut into the
//    pieces of the line or arc they draw, by the runs' chord rule.
//  - the runs: consecutive road pieces whose widths and heights run on
//    linearly (or consecutive corner-cut pieces) whose points lie within
//    tiny of their chord become one edge along that chord. A stretch lying
//    farther off is cut at both ends of its farthest bend
//    (KelTol::SiteChordBand), never at a point on its neighbours' line, so
//    the runs do not depend on rounding: the lot turned, moved, mirrored or
//    with its edges split on their lines has the same runs. Consecutive
//    neighbour pieces are one run where they draw one side at the survey's
//    scale (all their joints within KelTol::SiteOnLine of its line), so a
//    neighbour side surveyed densely gives the cuts beside it the direction
//    of the whole side.
// Corners are decided on the runs, each piece keeps its own line, and the
// road table keeps one road per stored road edge. The site itself is never
// changed: stored files and callers rely on the outline as entered.
//
// An outline that nothing folds or joins is the stored one (IsIdentity);
// the computations then run on the site itself, so clean outlines keep
// every result to the bit. An outline that would keep fewer than three
// edges is taken as it is.

#include <vector>

#include "CKelHSite.h"
#include "KelPolyline.h"

struct KeptOutline;

class CKelSiteWorkOutline {
public:
  // The outline is first taken without its repeats, spikes and back-tracks
  // (CleanOutline); their edges are folded edges of the piece after.
  // An identity outline answers the stored site itself, which must then
  // outlive this object.
  explicit CKelSiteWorkOutline(const CKelHSite& stored);

  bool IsIdentity() const { return m_Identity; }
  double Tiny() const { return m_Tiny; }
  // The stored edge that runs straight back over the one before it by more
  // than the tiny size (RunBackPoint), which the site check refuses; -1.
  int RunsBack() const { return m_RunsBack; }
  // --- The pieces (tiny edges folded away)
  // Its vertices carry the records of the kept stored edges.
  const CKelHSite& Pieces() const { return m_Identity ? *m_Stored : m_Pieces; }
  // The piece that stored edge i was kept as or folded into; -1 outside.
  int PieceOf(int i) const;
  // Stored edge i was folded into a neighbour (it is no piece of its own).
  bool IsFolded(int i) const;
  // Stored edge i is a repeat's edge or a spike's: it encloses nothing.
  bool IsDropped(int i) const;
  // The stored edges of piece p in outline order; its own edge among them.
  const std::vector<int>& StoredOfPiece(int p) const;
  int KeptOfPiece(int p) const;

  // --- The runs (pieces along one chord)
  // Each run's edge data (m_Sphere's start, direction and length) span its
  // whole line.
  const CKelHSite& Runs() const { return m_Identity ? *m_Stored : m_Runs; }
  // The pieces of run r in outline order.
  const std::vector<int>& PiecesOfRun(int r) const;
  // The first stored edge of run r in outline order (the stored edge before
  // it lies in the run before).
  int FirstOfRun(int r) const;

  // --- The sides (the lines the survey drew)
  // Consecutive long pieces of one kind (a road running on across them)
  // whose joints all lie within the survey's on-line distance of the line
  // between the side's ends are one side: the line a densely listed or
  // scattered survey draws. A reader that needs a side's direction or its
  // ends (a deemed line squared to it, a slant-line cut along it) takes them
  // from here, never from a piece of it, so every reader sees the same
  // side. A side ends where the next one begins. Where two sides of one kind
  // meet at a bend so slight that more than one listed point lies within
  // the on-line distance of both (a frontage bending a degree or two, listed
  // densely), the corner is where the lines fitted to the two whole sides
  // cross, not whichever listed point the bend was read at.
  struct SurveyedSide {
    int m_First = 0;  // its first piece
    int m_Count = 1;  // its pieces, from m_First round the outline
    CKelCoord2D m_Beg, m_End;
  };
  const std::vector<SurveyedSide>& Sides() const { return m_Sides; }
  // The side that piece p lies on; -1 outside.
  int SideOfPiece(int p) const;

private:
  struct Piece {
    CKelSiteTable m_Rec;       // the record, its point the working vertex
    std::vector<int> m_Edges;  // stored edges (pieces for a run), in order
    int m_Kept = -1;           // the stored edge whose record it carries
    bool m_OnArc = false;      // it starts at a joint of an evenly listed arc
  };

  static CKelHSite Cleaned(const CKelHSite& stored, const KeptOutline& clean);
  // Every stored edge a piece of its own; every piece a run of its own.
  static std::vector<Piece> EdgeByEdge(const CKelHSite& site);
  static std::vector<Piece> OneRunEach(const std::vector<Piece>& pieces);
  std::vector<int> DenseChains(const CKelHSite& site, const std::vector<bool>& tiny) const;
  // dropped: per edge of site, the length of the stored edges the cleaning
  // dropped just before it.
  std::vector<Piece> FoldTinyEdges(const CKelHSite& site, const std::vector<double>& dropped) const;
  static void SettleWaiting(const CKelHSite& site, int e, const std::vector<bool>& mayBack, std::vector<int>& pending,
                            std::vector<int>& leading, std::vector<Piece>& pieces);
  static void TakeFoldedEnds(const CKelHSite& site, Piece& p);
  void MeetAcrossFolds(const CKelHSite& site, const std::vector<int>& fate, const std::vector<double>& dropped,
                       std::vector<Piece>& pieces) const;
  // Per joint of a closed polyline: on a side, and the joints where its
  // side starts and ends.
  struct SideJoints {
    std::vector<bool> m_On;
    std::vector<std::size_t> m_Start, m_End;
  };
  // drawsSide, where given, judges the stretch of joints from a joint on
  // by so many steps by more than the joints themselves.
  static SideJoints OnSides(const std::vector<CKelCoord2D>& pts, const std::vector<bool>& candidate,
                            const std::vector<CKelCoord2D>* endsAt = nullptr,
                            const kel_polyline::StretchJudge& drawsSide = {});
  static void PutOnSides(const SideJoints& sides, std::vector<CKelCoord2D>& joints);
  static std::vector<double> JointSlack(const CKelHSite& site, const std::vector<Piece>& pieces,
                                        const std::vector<int>& foldedFrom, const std::vector<double>& dropped);
  static std::vector<bool> ArcAcrossFolds(const std::vector<CKelCoord2D>& pts, const std::vector<bool>& candidate,
                                          const std::vector<double>& slack);

  std::vector<Piece> JoinRuns(const std::vector<Piece>& pieces) const;
  std::vector<Piece> SplitByChord(const std::vector<Piece>& run, const CKelCoord2D& end) const;
  void ToStoredEdges(const std::vector<int>& kept, int n, std::vector<Piece>& pieces);
  bool IsPlain(const CKelHSite& site) const;
  static CKelHSite MakeSite(const CKelHSite& site, const std::vector<Piece>& pieces);
  void SpanRuns();
  void ReadSides();
  bool KeepsJointOrder(const SurveyedSide& a, const SurveyedSide& b, const CKelCoord2D& x) const;
  bool RunsOnAt(int q) const;
  std::vector<CKelCoord2D> ListedOnSide(std::size_t k) const;
  void ListedAfterJoint(int q, int to, std::vector<CKelCoord2D>& out) const;
  void PinCorners();

  double m_Tiny = 0;
  int m_RunsBack = -1;
  bool m_Identity = true;
  const CKelHSite* m_Stored = nullptr;
  CKelHSite m_Pieces;  // unless identity
  CKelHSite m_Runs;    // unless identity
  std::vector<std::vector<int>> m_PieceEdges;  // stored edges, per piece
  std::vector<int> m_PieceKept;                // per piece
  std::vector<std::vector<int>> m_RunPieces;   // pieces, per run
  std::vector<int> m_PieceOf;  // per stored edge
  std::vector<bool> m_Folded;  // per stored edge
  std::vector<bool> m_Dropped;  // per stored edge
  std::vector<int> m_StartAt;   // per stored edge: the listed point it starts at once cleaned; -1 dropped
  std::vector<SurveyedSide> m_Sides;
  std::vector<int> m_SideOfPiece;
};
