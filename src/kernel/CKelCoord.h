#pragma once
// The plain value types of the kernel: points, the free vector, the point with
// a second (lower) height, the tagged point and two point lists.
//
// Units: model metres as doubles. No virtual functions; copied by value.
// Two tolerances are kept apart on purpose (KelTolerance.h):
//   operator==      every component strictly inside +-KelTol::PointEqual;
//   IsNearlyEqual   fcmpNearly of every component difference is 0 (0.0005).
//
// Persistence, two paths:
//   Serialize(CKelArchiveCore&)  one routine for both directions; a class-name
//                                tag from the archive version each class gives.
//   SaveData / LoadData          raw little-endian fields; LoadData takes the
//                                size of each field from the caller's byte
//                                budget before reading it and fails once the
//                                budget would go negative. Fields read before a
//                                failure keep their new values.

#include <string>
#include <vector>

class CKelArchiveCore;
class CKelFileIO;

class CKelCoord2D {
public:
  double m_x = 0;
  double m_y = 0;

  CKelCoord2D() = default;
  CKelCoord2D(double x, double y) : m_x(x), m_y(y) {}

  bool operator==(const CKelCoord2D& p) const;
  bool operator!=(const CKelCoord2D& p) const;
  bool IsNearlyEqual(const CKelCoord2D& p) const;

  // sqrt(dx*dx + dy*dy), unscaled.
  double GetLength(const CKelCoord2D& p) const;
  // this + t * (p - this); t is not clamped.
  CKelCoord2D GetCoord(const CKelCoord2D& p, double t) const;

  // Exact compare; one "%s, %lf, %lf" line per differing component.
  void CompareData(const char* label, const CKelCoord2D& other, std::vector<std::string>& out) const;

  // Tag "CKelCoord2D" from version 2; x, y.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  // x, y (16 bytes).
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

class CKelCoord3D : public CKelCoord2D {
public:
  double m_z = 0;

  CKelCoord3D() = default;
  CKelCoord3D(double x, double y, double z) : CKelCoord2D(x, y), m_z(z) {}

  bool operator==(const CKelCoord3D& p) const;
  bool operator!=(const CKelCoord3D& p) const;
  bool IsNearlyEqual(const CKelCoord3D& p) const;

  // hypot(hypot(dx, dy), dz), unscaled.
  double GetLength(const CKelCoord3D& p) const;
  CKelCoord3D GetCoord(const CKelCoord3D& p, double t) const;
  // Dot product of the two position vectors.
  double CalcNaiseki(const CKelCoord3D& p) const;

  // Tag "CKelCoord3D" from version 2; z, then the CKelCoord2D form (its own
  // tag, x, y): the height precedes the plan position.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  // x, y, z (24 bytes).
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

class CKelVector3D {
public:
  double m_x = 0;
  double m_y = 0;
  double m_z = 0;

  CKelVector3D() = default;
  CKelVector3D(double x, double y, double z) : m_x(x), m_y(y), m_z(z) {}
  explicit CKelVector3D(const CKelCoord3D& p) : m_x(p.m_x), m_y(p.m_y), m_z(p.m_z) {}

  bool IsNearlyEqual(const CKelVector3D& v) const;
  double CalcNaiseki(const CKelVector3D& v) const;
  double GetLength() const;
  // False (vector unchanged) for a length of exactly 0.
  [[nodiscard]] bool Normalize();

  CKelVector3D operator*(double s) const;
  CKelVector3D operator+(const CKelVector3D& v) const;
  CKelVector3D operator-(const CKelVector3D& v) const;
  CKelVector3D& operator+=(const CKelVector3D& v);
  CKelVector3D& operator-=(const CKelVector3D& v);
};

// A point with a second height: m_z is the top, m_zL the bottom.
class CKelCoord3DEx : public CKelCoord3D {
public:
  double m_zL = 0;

  CKelCoord3DEx() = default;
  CKelCoord3DEx(double x, double y, double z, double second) : CKelCoord3D(x, y, z), m_zL(second) {}

  double GetZ(bool second) const { return second ? m_zL : m_z; }

  bool operator==(const CKelCoord3DEx& p) const;
  bool operator!=(const CKelCoord3DEx& p) const;
  bool IsNearlyEqual(const CKelCoord3DEx& p) const;

  // From version 9: tag "CKelCoord3DEx" and m_zL; then the CKelCoord3D form
  // at every version (older archives carry no second height).
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  // x, y, z, m_zL (32 bytes).
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

// A point with a kind tag that the owner of the list interprets.
class CKelCoord3DExCrsPnt : public CKelCoord3DEx {
public:
  int m_nKind = 0;

  CKelCoord3DExCrsPnt() = default;
  CKelCoord3DExCrsPnt(const CKelCoord3DEx& p, int kind) : CKelCoord3DEx(p), m_nKind(kind) {}
  CKelCoord3DExCrsPnt(const CKelCoord3DEx& p) : CKelCoord3DEx(p) {}  // kind 0

  // Kinds equal exactly, then the coordinates.
  bool operator==(const CKelCoord3DExCrsPnt& p) const;
  bool operator!=(const CKelCoord3DExCrsPnt& p) const;
  bool IsNearlyEqual(const CKelCoord3DExCrsPnt& p) const;

  // From version 9: tag, kind, the CKelCoord3DEx form; nothing below 9.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  // The CKelCoord3DEx record, then the kind i32 (36 bytes).
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

class CKelCoord3DExCrsPntArray : public std::vector<CKelCoord3DExCrsPnt> {
public:
  static constexpr int kRecordBytes = 36;  // one element's SaveData record

  bool operator==(const CKelCoord3DExCrsPntArray& other) const;
  bool operator!=(const CKelCoord3DExCrsPntArray& other) const;
  bool IsNearlyEqual(const CKelCoord3DExCrsPntArray& other) const;

  // From version 9: tag, i32 count, each element; nothing below 9.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  // i32 count, then each element's record.
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  // A count that is negative or larger than the budget can hold is refused
  // before the list is resized.
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

// A point list that stores each position once (operator== identity).
class CKelCoord2DArray : public std::vector<CKelCoord2D> {
public:
  // Index of the first stored point equal to p; otherwise p is appended and
  // its new index returned.
  int Add(const CKelCoord2D& p);
};
