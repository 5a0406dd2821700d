#pragma once
// CSphereCoordD2D: one point of a block outline as seen from a check point,
// and CSphereCoordD2DArray: a closed outline of such points.
//
// Vocabulary: the sky disc is the unit disc onto which the hemisphere above
// a check point is projected (horizon on the unit circle, zenith at the
// centre). A projected point keeps its disc position, the azimuth and
// elevation of its source point (radians) and the source point itself in the
// check point's frame (X, Y horizontal, Z above the check point).
//
// Stored forms:
//   Serialize   tag from archive version 2; azimuth, elevation, tag, kind,
//               then the disc position and the source point;
//   SaveData    record 1002; LoadData also reads 1000 (disc position only)
//               and 1001 (no source point, no kind).

#include <cstdint>
#include <vector>

#include "CKelCoord.h"

class CKelArchiveCore;
class CKelFileIO;

class CSphereCoordD2D {
public:
  static constexpr std::int32_t kRecordPosition = 1000;
  static constexpr std::int32_t kRecordAngles = 1001;
  static constexpr std::int32_t kRecord = 1002;
  // Bytes of the record SaveData writes.
  static constexpr int kRecordBytes = 65;

  // Point kinds.
  static constexpr std::uint8_t kInserted = 0;    // inserted by an edge subdivision
  static constexpr std::uint8_t kEnd = 1;         // an end of a projected edge
  static constexpr std::uint8_t kSectorLine = 2;  // on a sector line of the one-degree subdivision

  CKelCoord2D m_Pos;     // on the sky disc
  double m_AD = 0;       // azimuth atan2(Y, X), possibly moved by +-2 pi
  double m_AE = 0;       // elevation
  std::int32_t m_Tag = 0;
  CKelCoord3D m_Coord3D;  // the source point in the check point's frame
  std::uint8_t m_PntKind = kEnd;

  CSphereCoordD2D() = default;
  CSphereCoordD2D(double x, double y, double azimuth, double elevation, int tag);
  CSphereCoordD2D(const CSphereCoordD2D&) = default;
  CSphereCoordD2D& operator=(const CSphereCoordD2D&) = default;
  virtual ~CSphereCoordD2D() = default;

  // Disc positions by CKelCoord2D ==, angles and tag exactly, source points
  // by CKelCoord3D ==, kinds exactly.
  bool operator==(const CSphereCoordD2D& other) const;
  bool operator!=(const CSphereCoordD2D& other) const { return !(*this == other); }

  // The disc position from the angles alone, as the unmirrored orthographic
  // projection places it.
  void ConvertCoordXY();

  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  // Fields read before a failure keep their new values.
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

// The disc position of the chart point (azimuth, elevation), orthographic:
// every outline is drawn by the chords between such positions.
CKelCoord2D SphereDiscOf(const CKelCoord2D& chart);

class CSphereCoordD2DArray : public std::vector<CSphereCoordD2D> {
public:
  bool operator==(const CSphereCoordD2DArray& other) const;
  bool operator!=(const CSphereCoordD2DArray& other) const { return !(*this == other); }

  // The shoelace area of the disc positions; positive counter-clockwise.
  double CalcArea() const;

  // Tag from version 2, i32 count, each point; a count the archive cannot
  // hold is refused before the list is resized.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};
