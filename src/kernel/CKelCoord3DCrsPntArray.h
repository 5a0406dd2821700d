#pragma once
// Outlines that mix straight edges and circular arcs.
//
// A CKelCoord3DCrsPntArray is an open chain of tagged points; a closed outline
// repeats its first point as its last. An arc is written as three entries:
// its start (an ordinary point), its centre (TYPE_CCW or TYPE_CW, the arc's
// sense from the previous point to the next), and its end (an ordinary
// point). Outer contours run counter-clockwise, holes clockwise. Heights are
// carried along and ignored by every plan operation.
//
// Units: model metres, angles radians, areas square metres.
//
// Malformed chains (a centre without a point on each side) are stepped over
// by the plan operations: such an entry makes no arc.
//
// Persistence: Serialize over the library archive (tags from version 2) and
// raw records: a point is x, y, z f64 then TYPE i32 (28 bytes), a list is an
// i32 count and its points. A TYPE outside 0..2 read from data is refused.

#include "CKelAreaCoord2D.h"
#include "CKelCoord.h"
#include "CKelObject.h"
#include "CKelVectorArray.h"

#include <cstdint>
#include <vector>

class CKelArc;
class CKelArchiveCore;
class CKelFileIO;

class CKelCoord3DCrsPnt : public CKelCoord3D {
public:
  enum TYPE : std::int32_t {
    TYPE_POINT = 0,  // ordinary point (vertex)
    TYPE_CCW = 1,    // centre of a counter-clockwise arc
    TYPE_CW = 2,     // centre of a clockwise arc
  };
  static constexpr int kRecordBytes = 28;

  TYPE m_Type = TYPE_POINT;

  CKelCoord3DCrsPnt() = default;
  CKelCoord3DCrsPnt(const CKelCoord3D& p, TYPE type) : CKelCoord3D(p), m_Type(type) {}
  CKelCoord3DCrsPnt(const CKelCoord3D& p) : CKelCoord3D(p) {}  // TYPE_POINT

  bool IsCenter() const { return m_Type != TYPE_POINT; }

  // TYPE equal, then the coordinates by the point rule (2.5e-5) ...
  bool operator==(const CKelCoord3DCrsPnt& p) const;
  bool operator!=(const CKelCoord3DCrsPnt& p) const;
  // ... or by IsNearlyEqual (0.0005).
  bool IsNearlyEqual(const CKelCoord3DCrsPnt& p) const;

  // Version >= 2: tag "CKelCoord3DCrsPnt"; TYPE i32; the CKelCoord3D form.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

class CKelCoord3DCrsPntArray : public CKelObject, public std::vector<CKelCoord3DCrsPnt> {
public:
  CKelCoord3DCrsPntArray() = default;
  CKelCoord3DCrsPntArray(const CKelCoord3DCrsPntArray&) = default;
  CKelCoord3DCrsPntArray& operator=(const CKelCoord3DCrsPntArray&) = default;
  ~CKelCoord3DCrsPntArray() override = default;

  // --- Comparison: same count, element by element ---
  bool operator==(const CKelCoord3DCrsPntArray& other) const;
  bool operator!=(const CKelCoord3DCrsPntArray& other) const;
  bool IsNearlyEqual(const CKelCoord3DCrsPntArray& other) const;

  // --- Point list ---
  // Inserts p as an ordinary point after point index.
  void InsertPoint(int index, const CKelCoord3D& p) override;
  // Moves point index, keeping its TYPE.
  void MovePoint(int index, const CKelCoord3D& p) override;
  void SwapCoord(int i, int j) override;  // not supported
  void Append(const CKelCoord3D& p) override;
  void DeletePoint(int index) override;
  CKelCoord3D GetCoord3D(int index) const override;
  int GetSize() const override;
  bool IsClosed() const override;  // false: a closed outline repeats its first point
  void Clear() override;
  bool IsCenter(int index) const override;
  bool IsCCW() const override;  // false
  void MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b) override;
  // Inserts p as a TYPE_CCW centre after point index.
  virtual void InsertCenter(int index, const CKelCoord3D& p);
  // Appends p as a TYPE_CCW centre.
  virtual void AddCenter(const CKelCoord3D& p);
  // 0 for the last index, index otherwise.
  int GetNextNo(int index) const;

  // --- Shape ---
  // Reverses the order and swaps the arc senses, so every arc keeps its shape.
  void Reverse();
  // Signed area with the arcs, positive for a counter-clockwise outline. An
  // arc of half a circle counts half its disc.
  double GetArea() const;
  // Appends the straight part to poly (with its box and signed area; emptied
  // when that area is exactly 0) and each arc as a piece [centre, start, end]
  // to: a1 clockwise arcs beyond a half circle, a2 other clockwise arcs,
  // a3 counter-clockwise arcs beyond a half circle, a4 other counter-clockwise
  // arcs. Arcs beyond a half circle also put their centre into poly.
  void SeparateToPolygonAndArc(CKelAreaCoord2D& poly, CKelAreaCoord2DArray& a1,
                               CKelAreaCoord2DArray& a2, CKelAreaCoord2DArray& a3,
                               CKelAreaCoord2DArray& a4) const;
  // Replaces every arc in place by points on it, about one per step of arc
  // length (at least 8, at most 65536 divisions per arc; points within
  // 0.0005 of the previous one are left out). False when step is not a
  // positive number (nothing changes), or when some centre made no arc: its
  // start and end lie in one direction from it (no sweep), or it lacks a
  // neighbour. Such a centre is dropped, so its end follows as a plain point.
  [[nodiscard]] bool ArcToPolyline(double step);
  // The outline with every arc flattened at a fixed angular step of pi/8.
  // *ok (optional) becomes false when some centre made no arc, as above.
  CKelAreaCoord2D ArcToPolyline(bool* ok = nullptr) const;
  // True when p lies on a straight edge within 1e-5; points on arcs are not
  // reported.
  bool IsOnline(const CKelCoord2D& p) const;
  // True when the outline runs counter-clockwise (or has fewer than 3 points).
  bool GetDirection() const;
  // The closed outline (its last point repeating the first) offset by d to
  // the right of its run, outward for a counter-clockwise outline: edges move
  // along their normals, arcs keep their centres and change their radii, and
  // each corner becomes the crossing of its two moved elements. Where two
  // elements continue each other smoothly (collinear edges, arcs of one
  // circle, an edge tangent to an arc) the corner moves with them. Empty
  // when some corner has no crossing, or a centre stands where a corner must.
  CKelCoord3DCrsPntArray Offset(double d) const;

  // --- Crossings of the offset (full circle against infinite line / circle) ---
  // Of two crossings, the one nearer in angle to the arc's begin is taken.
  [[nodiscard]] static bool CalcCrossArcLine(const CKelArc& arc, const CKelCoord2D& p1, const CKelCoord2D& p2,
                                             CKelCoord2D* out);
  // Of two crossings, the one nearer in angle to b's begin; a tie takes the
  // second.
  [[nodiscard]] static bool CalcCrossArcArc(const CKelArc& a, const CKelArc& b, CKelCoord2D* out);

  // --- Persistence ---
  // Version >= 2: tag "CKelCoord3DCrsPntArray"; i32 count; each point.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

// The contours of one element: the outer contour first, then its holes.
class CKelCoord3DCrsPntArrayArray : public CKelVectorArray<CKelCoord3DCrsPntArray> {};
