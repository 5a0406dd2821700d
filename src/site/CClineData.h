#pragma once
// Check lines (Cline): the closed line at a fixed horizontal distance
// outside a site outline: straight runs parallel to its edges, circular arcs
// round its convex corners and mitre points at its concave ones. CCrspnt is
// one point of such a line with its kind; CClineData the line.
//
// Point kinds:
//   0   end marker, the last entry of a finished line, at (0, 0)
//   1   start of a run
//   2   line point: the end of a segment from the previous point
//   11  arc centre: an arc of radius m_Distance runs counter-clockwise about
//       it from the previous point to the next one
// Stored data may hold other kinds; they read as 2.
//
// Elements: the line is a chain from its first point, each element starting
// where the previous one ended: an arc (start, centre, end) where the point
// after the start is a centre, else a segment. The chain ends at the end
// marker, or at the last point of a line that has none; a centre with no
// point after it ends it too.
//
// The outline given to set_checkline runs counter-clockwise; its outside is
// to the right of every edge. CreateCheckline takes a clockwise outline the
// other way round, builds the line about a whole-metre point near the
// outline (a lot in plane rectangular coordinates keeps its own digits) and
// hands out only a line it has checked. Units: metres, radians.

#include <optional>
#include <string>
#include <vector>

#include "CKelArea.h"
#include "CKelCoord.h"
#include "CKelObject.h"
#include "KelOldZoneRecords.h"

class CKelArchiveCore;
class CClineDataPickupCore;
class CClineCoord;

class CCrspnt : public CKelCoord2D {
public:
  static constexpr int kEnd = 0;
  static constexpr int kRunStart = 1;
  static constexpr int kLinePoint = 2;
  static constexpr int kCentre = 11;

  std::int16_t m_Kind = 0;

  CCrspnt() = default;
  CCrspnt(double x, double y, int kind) : CKelCoord2D(x, y), m_Kind(static_cast<std::int16_t>(kind)) {}

  bool operator==(const CCrspnt& p) const { return m_Kind == p.m_Kind && CKelCoord2D::operator==(p); }
  bool operator!=(const CCrspnt& p) const { return !(*this == p); }
  bool IsNearlyEqual(const CCrspnt& p) const { return m_Kind == p.m_Kind && CKelCoord2D::IsNearlyEqual(p); }

  // Tag "CCrspnt" from version 2; i16 kind; the point.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};

// One element of a check line by point indices; centre -1 for a segment.
struct ClineElement {
  int start = 0;
  int centre = -1;
  int end = 0;
  bool IsArc() const { return centre >= 0; }
};

class CClineData : public std::vector<CCrspnt>, public CKelObject {
public:
  double m_Distance = 0;
  std::int32_t m_LineNo = -1;

  CClineData() = default;
  CClineData(int lineNo, double distance) : m_Distance(distance), m_LineNo(lineNo) {}

  // --- CKelObject (added points have kind 2)
  void InsertPoint(int i, const CKelCoord3D& p) override;
  void MovePoint(int i, const CKelCoord3D& p) override;
  void SwapCoord(int i, int j) override;
  void Append(const CKelCoord3D& p) override;
  void DeletePoint(int i) override;
  CKelCoord3D GetCoord3D(int i) const override;
  int GetSize() const override { return static_cast<int>(size()); }
  bool IsClosed() const override { return true; }
  void Clear() override { clear(); }
  bool IsCenter(int i) const override { return at(static_cast<std::size_t>(i)).m_Kind == CCrspnt::kCentre; }
  void MoveBlock(const CKelCoord2D& to, const CKelCoord3D& from) override;
  virtual void AddCenter(const CKelCoord3D& p);

  // --- Construction
  // The raw line, then its loops cut off: the line is the outer boundary
  // of the site and every point within the distance of it. A clockwise
  // outline is taken the other way round. False, and no points, when the
  // line could not be traced round; an empty outline gives an empty line.
  [[nodiscard]] bool CreateCheckline(const CKelArea<CKelCoord2D>& outline);
  void set_checkline(const CKelArea<CKelCoord2D>& outline);
  // Cuts every loop off; false when no two elements cross.
  bool check_cline();

  // --- Measures
  std::vector<ClineElement> Elements() const;
  double GetLength() const;
  static bool WhitchData(const CClineData& a, const CClineData& b) { return a.GetLength() > b.GetLength(); }
  // The element nearest p, if nearer than *dist (then *dist and *foot are
  // updated); its first point's index, else -1.
  int FindChkLinePoint(const CKelCoord2D& p, double* dist, CKelCoord2D* foot) const;
  // The crossing nearest p1 of the line p1 p2 ahead of p1 (bearing angle):
  // its element's index (an arc by its centre), else -1.
  int cross_checkline(double angle, const CKelCoord2D& p1, const CKelCoord2D& p2, CKelCoord2D* out) const;
  int check_cross_cline(int kind, const CKelCoord2D& start, const CKelCoord2D& end, const CKelCoord2D& centre, int base,
                        int* outKind, CKelCoord2D* out) const;
  // (CClineDataSound.cpp) Whether the finished line is closed, no two of
  // its elements cross, every point of it lies the distance from the
  // counter-clockwise outline (ClineSoundSlack nearer, or further by what a
  // nearly straight corner's mitre adds) and the outline lies inside it.
  bool IsSoundFor(const std::vector<CKelCoord2D>& outline) const;
  // Points up to and including the first end marker; -1 when that marker
  // is missing or not the last point.
  int CheckData() const;
  void Dump() const {}

  // --- Walks (CClineDataWalk.cpp)
  int pickup_points(CClineDataPickupCore* pick, const CClineCoord& from, const CClineCoord& to, int reverse,
                    double pitch) const;
  int pickup_points1(CClineDataPickupCore* pick, int fromIndex, const CKelCoord2D& from, int toIndex,
                     const CKelCoord2D& to, double pitch) const;
  static void IncN(int reverse, int last, int* current, int* next);

  // --- Compares (the line number is not compared)
  bool operator==(const CClineData& other) const;
  bool operator!=(const CClineData& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CClineData& other) const;

  // --- Stored forms
  // Tag "CClineData" from version 2; i32 count; the points; distance; number.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  // The points of count records; false (unchanged) when the array given
  // holds fewer.
  [[nodiscard]] bool FromOldParam(int count, const CRS_PNT* old, int oldCount);
  std::vector<CRS_PNT> GetOldParam() const;

private:
  // The kind as the line reads it: unknown kinds are line points.
  int KindAt(std::size_t k) const;
  // Index of the first end marker, or size() when there is none.
  std::size_t EndIndex() const;
  void AddPoint(const CKelCoord2D& p, int kind);
  double ElementLength(const ClineElement& e) const;
  // One corner of the raw line: vertex v between the edges prev -> v and
  // v -> w, whose offset runs are (c1, c2) and (e1, e2).
  struct Corner {
    CKelCoord2D prev, v, w, c1, c2, e1, e2;
    bool straight = false;
  };
  // Adds the corner's points; the crossing of a concave corner's runs where
  // they meet.
  std::optional<CKelCoord2D> AddCorner(const Corner& k);
  // set_checkline; the point the finished line is to start at, where the
  // line passes it.
  CKelCoord2D BuildRawLine(const CKelArea<CKelCoord2D>& outline);
  static CKelCoord2D LocalOrigin(const CKelCoord2D& near);
  // Every point but the end marker moved by `by`.
  void MoveLine(const CKelCoord2D& by);
  enum class TraceResult { Unchanged, Cut, Failed };
  // Replaces the line by the outer boundary of the region its elements
  // enclose (CClineDataTrace.cpp), starting at first (on the first element)
  // where it passes there, else at its easternmost point. Unchanged when
  // the raw line is that boundary already; Failed, the line left as it
  // was, when the trace cannot follow it round.
  TraceResult TraceOuterLine(const CKelCoord2D& first);
  // The traced line of `local` (counter-clockwise, about the local origin),
  // judged against `judged`.
  bool TraceSound(const CKelArea<CKelCoord2D>& local, const std::vector<CKelCoord2D>& judged);
  // The traced line of the outline, or of it without its survey jitter
  // when that alone can be traced; false when neither is sound.
  bool TraceLocal(const CKelArea<CKelCoord2D>& local);
};
