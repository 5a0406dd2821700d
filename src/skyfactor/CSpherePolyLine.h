#pragma once
// The point pool of the outline union, the contact points of two segments,
// and the segment set that traces the outer outline of one block's faces.
//
// Chart: every point here is read in the (azimuth, elevation) chart of the
// projected points: x is m_AD, y is m_AE, both radians. Two points within
// KelTol::SkyDisc of each other are one pool point.
//
// Signed segment references: r = k + 1 names segment k run from m_Beg to
// m_End, r = -(k + 1) the same segment run backwards; 0 names nothing.
//
// Ownership: a segment points at the pool its indices refer to (not owned);
// CSpherePolyLineArray owns its own pool, and a copy points its segments at
// the copy's pool.

#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <utility>
#include <vector>

#include "CKelCoord.h"
#include "CSphereCoordD2D.h"
#include "KelTolerance.h"

class CSpherePolyCoordArray : public std::vector<CSphereCoordD2D> {
public:
  CSpherePolyCoordArray() = default;
  CSpherePolyCoordArray(const CSpherePolyCoordArray&) = default;
  CSpherePolyCoordArray& operator=(const CSpherePolyCoordArray&) = default;
  virtual ~CSpherePolyCoordArray() = default;

  // The first pool point within KelTol::SkyDisc of p in the chart, else -1.
  int Search(const CSphereCoordD2D& p) const;
  // That point's index, or the index of p appended.
  int Add(const CSphereCoordD2D& p);
  // The same, where p may coincide exactly with one of the points named by
  // hints (-1 names none): such a point is the answer without a search when
  // it was appended by Add behind only points appended by Add, since those
  // lie farther than the band from each other and so from p.
  int Add(const CSphereCoordD2D& p, std::initializer_list<int> hints);
  // Whether a hint naming point k is taken when the point equals it: k lies
  // among the leading points that Add appended, apart from each other.
  bool IsSeparated(int k) const { return k >= 0 && static_cast<std::size_t>(k) < std::min(m_Separated, size()); }
  // The chart position of point i.
  CKelCoord2D Chart(int i) const
  {
    const CSphereCoordD2D& p = (*this)[static_cast<std::size_t>(i)];
    return CKelCoord2D(p.m_AD, p.m_AE);
  }

private:
  // A grid over the chart finds the candidates of Search; it takes in the
  // points appended since the last search, however they were appended, and
  // notices a pool cut short at the next search or hinted Add, which must
  // come before the pool grows again (Add searches). Its
  // occupied cells sit in an open hash (a power of two long), each naming
  // the latest point in it, and each point names the one before it in its
  // cell (-1 for none, or for a point off the grid).
  struct Cell {
    std::int64_t m_Key = 0;
    int m_Latest = -1;  // -1: the slot is free
  };
  mutable std::vector<Cell> m_Cells;
  mutable std::vector<int> m_Before;  // one per indexed point
  mutable std::size_t m_Occupied = 0;
  // The leading points that Add appended, each farther than the band from
  // every point before it; clamped to the pool where a cut is noticed.
  mutable std::size_t m_Separated = 0;
  // Forgets what a pool cut short lost: the grid and the separated points.
  void NoticeCutShort() const;
  void IndexNewPoints() const;
  void File(std::int64_t key, int i) const;
  int LatestIn(std::int64_t key) const;
  static std::size_t Slot(std::int64_t key, std::size_t mask);
  [[nodiscard]] static bool CellOf(const CKelCoord2D& p, std::int64_t* cx, std::int64_t* cy);
};

// The elevation where the edge from chart point p to q, straight on the
// disc as every edge is drawn, crosses the azimuth (within the edge's span;
// its ends' own elevations at their azimuths exactly).
double ChordElevation(const CKelCoord2D& p, const CKelCoord2D& q, double azimuth);
// The same from the ends' disc positions a and b (orthographic, as drawn).
double ChordElevationOnDisc(const CKelCoord2D& a, const CKelCoord2D& b, double azimuth);

// The contacts of the target segment c-d with the source segment a-b (chart
// positions), added to the pool and ordered from a towards b. A source of no
// length has no contacts.
std::vector<int> CalcCrossPoint(CSpherePolyCoordArray* pool, const CKelCoord2D& SrcLineBeg,
                                const CKelCoord2D& SrcLineEnd, const CKelCoord2D& DstLineBeg,
                                const CKelCoord2D& DstLineEnd);

// A segment of the chart with its direction as CalcCosSin gives it, worked
// out once for a segment that meets many.
struct CrossPointSegment {
  CKelCoord2D m_Beg;
  CKelCoord2D m_End;
  int m_BegIdx = -1;  // the ends' pool indices where known, else -1
  int m_EndIdx = -1;
  double m_Cos = 1;
  double m_Sin = 0;
  double m_Len = 0;
  bool m_HasDirection = false;

  CrossPointSegment() = default;
  CrossPointSegment(const CKelCoord2D& beg, const CKelCoord2D& end);
  // The segment between pool points beg and end.
  CrossPointSegment(const CSpherePolyCoordArray& pool, int beg, int end);

  // How far along the segment, from m_Beg, p lies, and how far across it
  // (left positive).
  double Along(const CKelCoord2D& p) const { return (p.m_x - m_Beg.m_x) * m_Cos + (p.m_y - m_Beg.m_y) * m_Sin; }
  double Across(const CKelCoord2D& p) const { return (p.m_y - m_Beg.m_y) * m_Cos - (p.m_x - m_Beg.m_x) * m_Sin; }
  // The point that far along the segment's line.
  CKelCoord2D At(double along) const { return CKelCoord2D(m_Beg.m_x + along * m_Cos, m_Beg.m_y + along * m_Sin); }
  // Whether an end of a collinear segment that far along counts as on it.
  bool Holds(double along) const { return along >= -KelTol::SkyDisc && along <= m_Len + KelTol::SkyDisc; }
};

// The same contacts (at most two) into out; their number.
int CalcCrossPoint(CSpherePolyCoordArray* pool, const CrossPointSegment& src, const CrossPointSegment& dst,
                   int out[2]);
// Whether the segments a1-a2 and b1-b2 lie more than ten identity bands
// (10 KelTol::SkyDisc) apart along x or y: too far for CalcCrossPoint to
// find a contact between them either way round, or for a point (b1 = b2)
// to lie within SkyDisc of a1-a2. An axis on which a coordinate is not a
// number separates nothing. A quick rejection for the pairwise searches.
bool CrossPointOutOfReach(const CKelCoord2D& a1, const CKelCoord2D& a2, const CKelCoord2D& b1,
                          const CKelCoord2D& b2);

// The box of a set of chart points: Clear(p, q) implies
// CrossPointOutOfReach(p, q, c, d) for any two points c, d of the set, so a
// segment is rejected against a whole outline at once. A set holding a
// coordinate that is not a number clears nothing.
class CrossPointReach {
public:
  void Add(const CKelCoord2D& p);
  bool Clear(const CKelCoord2D& p, const CKelCoord2D& q) const;

private:
  CKelCoord2D m_Min{DBL_MAX, DBL_MAX};
  CKelCoord2D m_Max{-DBL_MAX, -DBL_MAX};
  bool m_Numbers = true;  // false once a coordinate is not a number
};

// The reach of a set of chart points as CrossPointOutOfReach measures it:
// the least coordinates, and the greatest moved up by its margin, rounded
// as it rounds. For the spans of two segments, Apart is
// CrossPointOutOfReach's answer wherever both hold numbers only; a span of
// many points is apart from a segment's only where every point is, so a
// search passes over whole sets at once. A span with a coordinate that is
// not a number is apart from nothing.
class CrossPointSpan {
public:
  CrossPointSpan() = default;
  CrossPointSpan(const CKelCoord2D& p, const CKelCoord2D& q);
  void Add(const CKelCoord2D& p);
  void Add(const CrossPointSpan& other);
  // A span that met a coordinate that is not a number reaches everywhere.
  bool Apart(const CrossPointSpan& other) const
  {
    return other.m_Low.m_x > m_High.m_x || m_Low.m_x > other.m_High.m_x || other.m_Low.m_y > m_High.m_y ||
           m_Low.m_y > other.m_High.m_y;
  }
  // Apart's answer along y alone; Apart is ApartAlongY or apart along x.
  bool ApartAlongY(const CrossPointSpan& other) const
  {
    return other.m_Low.m_y > m_High.m_y || m_Low.m_y > other.m_High.m_y;
  }
  bool Numbers() const { return m_Numbers; }
  // The span along x: the least x and the greatest with its margin.
  double LowX() const { return m_Low.m_x; }
  double HighX() const { return m_High.m_x; }

private:
  void ReachEverywhereWithoutNumbers();
  CKelCoord2D m_Low{DBL_MAX, DBL_MAX};
  CKelCoord2D m_High{-DBL_MAX, -DBL_MAX};
  bool m_Numbers = true;
};

class CSpherePolyLine {
public:
  int m_Beg = -1;
  int m_End = -1;
  double m_Angle1 = 0;  // direction from start to end
  double m_Angle2 = 0;  // direction from end to start
  const CSpherePolyCoordArray* m_pCoord = nullptr;

  CSpherePolyLine() = default;
  CSpherePolyLine(const CSpherePolyLine&) = default;
  CSpherePolyLine& operator=(const CSpherePolyLine&) = default;
  virtual ~CSpherePolyLine() = default;

  void CalcAngle();
  const CSphereCoordD2D& begC() const { return (*m_pCoord)[static_cast<std::size_t>(m_Beg)]; }
  const CSphereCoordD2D& endC() const { return (*m_pCoord)[static_cast<std::size_t>(m_End)]; }
};

class CSpherePolyLineArray : public std::vector<CSpherePolyLine> {
public:
  // Create2's results.
  static constexpr int kTraced = 0;
  static constexpr int kNoOutline = 4;

  std::vector<int> m_OutlineIdx;  // the traced outline, pool indices
  CSpherePolyCoordArray m_PolyCoord;

  CSpherePolyLineArray() = default;
  CSpherePolyLineArray(const CSpherePolyLineArray& other);
  CSpherePolyLineArray& operator=(const CSpherePolyLineArray& other);
  virtual ~CSpherePolyLineArray() = default;

  // Adds the segment p-q (started at its lower, then left end) unless its
  // ends coincide or it is there already.
  void AddLine(const CSphereCoordD2D& p, const CSphereCoordD2D& q);
  // AddLine for each pair in turn, the segments already there looked up
  // by their ends instead of scanned.
  void AddLines(const std::vector<std::pair<CSphereCoordD2D, CSphereCoordD2D>>& pairs);
  // The same for the segments between points of another pool named by
  // their numbers there, each point looked up here once however many
  // segments it ends (a point looked up again would be found where it was
  // first put).
  void AddLines(const CSpherePolyCoordArray& pool, const std::vector<std::pair<int, int>>& edges);
  void Insert(int pos, const CSpherePolyLine& line);
  // Splits the segments at their mutual contacts.
  void CalcCrossPoint();
  // The trace's first segment: from the lowest point with the largest x,
  // the smallest direction.
  int GetMinYIndex() const;
  double GetAngle(int r) const;
  // The continuation turning furthest right at r's end point; 0 for none.
  int Search(int r) const;
  // The same among the segments named, ascending, which hold every segment
  // with an end at r's end point.
  int Search(int r, std::span<const int> near) const;
  // Cleans the set and traces its outer outline counter-clockwise:
  // kTraced, or kNoOutline when nothing is left or the trace does not close.
  [[nodiscard]] int Create2();
  // Signed shoelace area of the traced outline (positive counter-clockwise).
  double GetArea() const;

private:
  int StartOf(int r) const;
  int EndOf(int r) const;
  void RemoveDuplicates();
  void RemoveDangling();
  // Whether every segment's ends are points of the pool.
  bool EndsInPool() const;

  // Splits segment i at pool point p; the new half goes right after it.
  void SplitAt(int i, int p);
};
