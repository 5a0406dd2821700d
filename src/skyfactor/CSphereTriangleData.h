#pragma once
// CSphereTriangleData: one triangle of a divided sky outline, with the
// corner opposite its longest side and the foot of the height from that
// corner; CSphereTriangleDataArray: the triangles of one outline.
//
// Units: sky-disc units (radius 1). Corners in the outline's
// counter-clockwise order.
//
// Rounding modes of GetTriangleData: -1 exact; 0 base and height rounded up
// to 1e-5 and the area up to 1e-7; 1 the same rounded down. Round-off just
// below or above a step is snapped first (KelSnap).
//
// Stored forms:
//   Serialize   tag from archive version 2; the long side, a legacy double
//               below version 31, corners, foot, and three legacy fields at
//               versions 29 and 30;
//   SaveData    record 1004: corners, long side, foot; LoadData also reads
//               1000 and 1001 (corners as positions into a point list) and
//               1002, 1003 (a legacy double before the foot).

#include <cstdint>
#include <vector>

#include "CKelCoord.h"
#include "CSphereCoordD2D.h"

class CKelArchiveCore;
class CKelFileIO;

class CSphereTriangleData {
public:
  static constexpr std::int32_t kRecordPositions = 1000;
  static constexpr std::int32_t kRecordPositionsFoot = 1001;
  static constexpr std::int32_t kRecordCorners = 1002;
  static constexpr std::int32_t kRecordCornersLegacy = 1003;
  static constexpr std::int32_t kRecord = 1004;
  // Bytes of the record SaveData writes.
  static constexpr int kRecordBytes = 72;
  // The archive versions that carry the legacy fields.
  static constexpr int kVersionWithoutLegacy1 = 31;
  static constexpr int kFirstVersionWithLegacyTail = 29;

  CKelCoord2D m_Vertex[3];
  std::int32_t m_LongSide = 0;  // the corner opposite the longest side, 0..2
  CKelCoord2D m_Foot;           // foot of the height from that corner
  double m_Legacy1 = 0;         // carried by older records only
  double m_Legacy2 = 0;
  double m_Legacy3 = 0;
  std::int32_t m_Legacy4 = 0;

  CSphereTriangleData() = default;
  CSphereTriangleData(const CKelCoord2D& a, const CKelCoord2D& b, const CKelCoord2D& c);
  CSphereTriangleData(const CSphereTriangleData&) = default;
  CSphereTriangleData& operator=(const CSphereTriangleData&) = default;
  virtual ~CSphereTriangleData() = default;

  // Points by CKelCoord2D ==, integers exactly, legacy doubles within
  // KelTol::PointEqual.
  bool operator==(const CSphereTriangleData& other) const;
  bool operator!=(const CSphereTriangleData& other) const { return !(*this == other); }

  // Sets m_LongSide and m_Foot; returns Heron's squared area. Ties: side
  // c0-c1 wins over the others, c1-c2 over c2-c0.
  double SetTriangleParam();
  // Base (the longest side), height and area in the rounding mode; another
  // mode gives the unrounded base and height and area 0.
  void GetTriangleData(int mode, double* base, double* height, double* area) const;

  // A long side outside 0..2 is refused.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  // points: the outline the positions of the 1000 and 1001 records name; a
  // position outside it, an opposite corner that is none of the three, or a
  // long side outside 0..2 fails the read. Fields read before a failure keep
  // their new values.
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget, const CSphereCoordD2DArray& points);
};

class CSphereTriangleDataArray : public std::vector<CSphereTriangleData> {
public:
  bool operator==(const CSphereTriangleDataArray& other) const;
  bool operator!=(const CSphereTriangleDataArray& other) const { return !(*this == other); }

  // Tag from version 2, i32 count, each triangle; a count the archive cannot
  // hold is refused before the list is resized.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};
