#pragma once
// Directed segments of the kernel.
//
//   CoordLine2D       a plan segment begin -> end with its unit direction
//                     (m_Cos, m_Sin) and length, derived by SetCosSin.
//   CoordLine3D       a CoordLine2D plus two points in space; the plan part
//                     and the 3D points are set independently by the owner.
//                     Offers the read side of the point list (two points);
//                     every editing operation is a programming error.
//   CoordLine3DArray  a list of CoordLine3D.
//
// Units: model metres. "Local" coordinates are measured in the frame of the
// line: x along it from begin, y to its left.
//
// Persistence: Serialize over the library archive (class tags from version 2;
// CoordLine3D only from version 9) and the raw SaveData/LoadData records
// (CoordLine2D 32 bytes: begin, end; CoordLine3D 80 bytes: plan begin, plan
// end, 3D begin, 3D end). Direction and length are never stored in the
// record: LoadData recomputes them.

#include "CKelCoord.h"
#include "CKelObject.h"
#include "CKelVectorArray.h"

#include <vector>

class CKelArchiveCore;
class CKelFileIO;

class CoordLine2D {
public:
  static constexpr int kRecordBytes = 32;

  CKelCoord2D m_Beg;
  CKelCoord2D m_End;
  double m_Cos = 1;
  double m_Sin = 0;
  double m_Length = 0;

  CoordLine2D() = default;
  CoordLine2D(double x1, double y1, double x2, double y2);
  CoordLine2D(const CKelCoord2D& beg, const CKelCoord2D& end);
  CoordLine2D(const CoordLine2D&) = default;
  CoordLine2D& operator=(const CoordLine2D&) = default;
  virtual ~CoordLine2D() = default;

  // --- Geometry ---
  // Derives direction and length from the points. A line whose ends coincide
  // has no direction: it gets length 0 and keeps the direction it had.
  void SetCosSin();
  // Moves both ends by d along the left normal.
  void SetDistance(double d);
  double GetLocalCoordX(const CKelCoord2D& p) const;
  double GetLocalCoordY(const CKelCoord2D& p) const;
  // On the segment: 0 <= local x <= length and |local y| <= *tol.
  bool IsOnLine(const CKelCoord2D& p, const double* tol) const;
  // As IsOnLine with a strict distance test |local y| < *io; on success the
  // line's length is written through io.
  bool CheckRange(const CKelCoord2D& p, double* io) const;

  // --- Comparison ---
  // Ends by the point rule (2.5e-5), direction and length exactly.
  bool operator==(const CoordLine2D& other) const;
  bool operator!=(const CoordLine2D& other) const;
  // Ends by IsNearlyEqual, direction and length by fcmpNearly (0.0005).
  bool IsNearlyEqual(const CoordLine2D& other) const;

  // --- Persistence ---
  // Version >= 2: tag "CoordLine2D"; cos, sin, length; begin; end.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

class CoordLine3D : public CoordLine2D, public CKelObject {
public:
  static constexpr int kRecordBytes = 80;

  CKelCoord3D m_Beg3D;
  CKelCoord3D m_End3D;

  CoordLine3D() = default;
  CoordLine3D(const CoordLine3D&) = default;
  CoordLine3D& operator=(const CoordLine3D&) = default;
  ~CoordLine3D() override = default;

  // --- Comparison ---
  bool operator==(const CoordLine3D& other) const;
  bool operator!=(const CoordLine3D& other) const;
  bool IsNearlyEqual(const CoordLine3D& other) const;

  // --- Persistence ---
  // Version >= 9: tag "CoordLine3D", the CoordLine2D form, 3D begin, 3D end.
  // Older archives transfer nothing (the result is the archive's state).
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);

  // --- Point list: read-only view of the two 3D points ---
  virtual void InsertPoint(int index, const CKelCoord2D& p);
  virtual void MovePoint(int index, const CKelCoord2D& p);
  void SwapCoord(int i, int j) override;
  virtual void Append(const CKelCoord2D& p);
  void DeletePoint(int index) override;
  CKelCoord3D GetCoord3D(int index) const override;
  int GetSize() const override;
  bool IsClosed() const override;
  void Clear() override;
  void InsertPoint(int index, const CKelCoord3D& p) override;
  void MovePoint(int index, const CKelCoord3D& p) override;
  void Append(const CKelCoord3D& p) override;
  void MoveBlock(const CKelCoord2D& a, const CKelCoord3D& b) override;
};

class CoordLine3DArray : public CKelVectorArray<CoordLine3D> {
public:
  // --- Comparison ---
  bool operator==(const CoordLine3DArray& other) const;
  bool operator!=(const CoordLine3DArray& other) const;
  bool IsNearlyEqual(const CoordLine3DArray& other) const;

  // --- Persistence ---
  // Version >= 2: tag "CoordLine3DArray"; i32 count; each line.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  // i32 count, then each line's record.
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};
