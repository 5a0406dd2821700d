#pragma once
// Division lines: open plan polylines kept with the zoning and regulation
// data. CDivLine holds plan points, CDivLine3D points in space; their lists
// CDivLineArray and CDivLine3DArray. A division line is never closed, and an
// empty line is allowed.
//
// Units: metres. Compares: operator== by the points' own tolerance (each
// coordinate strictly inside +-KelTol::PointEqual), IsNearlyEqual by
// fcmpNearly.
//
// Old flat form: an index table of count + 1 unsigned 16-bit entries (entry
// i the first point of line i, the last entry the total) over one XY_FPAIR
// array. Readers are given both arrays' lengths and refuse a table that is
// not monotonic or reaches past the points; the writer refuses totals its
// 16-bit entries cannot hold.

#include <cstdint>
#include <string>
#include <vector>

#include "CKelArchiveCore.h"
#include "CKelCoord.h"
#include "CKelObject.h"
#include "CKelVectorArray.h"

class CDivLine : public std::vector<CKelCoord2D>, public CKelObject {
public:
  CDivLine() = default;

  // --- CKelObject
  // Inserts (p.x, p.y) after point i (i = -1 puts it first).
  void InsertPoint(int i, const CKelCoord3D& p) override;
  void MovePoint(int i, const CKelCoord3D& p) override;
  void SwapCoord(int i, int j) override;
  void Append(const CKelCoord3D& p) override;
  void DeletePoint(int i) override;
  CKelCoord3D GetCoord3D(int i) const override;
  CKelCoord3D GetFrontCoord3D() const override;
  CKelCoord3D GetBackCoord3D() const override;
  int GetSize() const override { return static_cast<int>(size()); }
  bool IsClosed() const override { return false; }
  void Clear() override { clear(); }
  void MoveBlock(const CKelCoord2D& to, const CKelCoord3D& from) override;

  // Moves segment i parallel to itself through p, or by d along its left
  // normal; throws std::out_of_range when point i or i + 1 is missing.
  void MoveLine(int i, const CKelCoord3D& p);
  void MoveLine(int i, double d);

  // --- Compares
  bool operator==(const CDivLine& other) const;
  bool operator!=(const CDivLine& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CDivLine& other) const;
  // "%s, 辺数, %d, %d" when the counts differ, else the points' lines under
  // "%s, %d" (from 1).
  void CompareData(const char* label, const CDivLine& other, std::vector<std::string>& lines) const;

  // Tag "CDivLine" from version 2; i32 count; each point.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};

class CDivLine3D : public std::vector<CKelCoord3D>, public CKelObject {
public:
  CDivLine3D() = default;

  void InsertPoint(int i, const CKelCoord3D& p) override;
  void MovePoint(int i, const CKelCoord3D& p) override;
  void SwapCoord(int i, int j) override;
  void Append(const CKelCoord3D& p) override;
  void DeletePoint(int i) override;
  CKelCoord3D GetCoord3D(int i) const override;
  // The caller keeps the line non-empty.
  CKelCoord3D GetFrontCoord3D() const override { return front(); }
  CKelCoord3D GetBackCoord3D() const override { return back(); }
  int GetSize() const override { return static_cast<int>(size()); }
  bool IsClosed() const override { return false; }
  void Clear() override { clear(); }
  void MoveBlock(const CKelCoord2D& to, const CKelCoord3D& from) override;

  void MoveLine(int i, const CKelCoord3D& p);
  void MoveLine(int i, double d);

  bool operator==(const CDivLine3D& other) const;
  bool operator!=(const CDivLine3D& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CDivLine3D& other) const;
};

class CDivLineArray : public CKelVectorArray<CDivLine> {
public:
  bool operator==(const CDivLineArray& other) const;
  bool operator!=(const CDivLineArray& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CDivLineArray& other) const;
  void CompareData(const char* label, const CDivLineArray& other, std::vector<std::string>& lines) const;

  // Index of the first line equal to line, else -1.
  int Search(const CDivLine& line) const;
  // False (nothing added) when an equal line is stored already.
  bool AddDivLine(const CDivLine& line);
  int GetPntMax() const;
  // The first line point (onSegment false) or segment (true) within
  // KelTol::PointEqual of p; the outputs are left alone when none is.
  bool Search(const CKelCoord2D& p, bool onSegment, int* lineIndex, int* pointIndex) const;

  // Lines from the flat form; index holds indexCount entries and points
  // pointCount records. False, the list unchanged, when the table does not
  // describe count lines inside the points.
  [[nodiscard]] bool FromOldParam(int count, const std::uint16_t* index, int indexCount, const XY_FPAIR* points,
                                  int pointCount);
  // The flat form of the list; false (both empty) when the total does not
  // fit the 16-bit entries. An empty list gives two empty arrays.
  [[nodiscard]] bool GetOldParam(std::vector<std::uint16_t>& index, std::vector<XY_FPAIR>& points) const;

  // Tag "CDivLineArray" from version 2; i32 count; each line.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};

class CDivLine3DArray : public CKelVectorArray<CDivLine3D> {
public:
  bool operator==(const CDivLine3DArray& other) const;
  bool operator!=(const CDivLine3DArray& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CDivLine3DArray& other) const;
};
