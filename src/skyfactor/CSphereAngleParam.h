#pragma once
// CSphereAngleParam: a mark on one vertex of the projected block outlines of
// a check point, picked by the user for labelling, with the vertex's world
// point, its horizontal angle and its elevation seen from the check point
// (radians). CSphereAngleParamArray: the marks of one check point; picking
// a marked point again removes its mark.
//
// Stored forms:
//   Serialize   tag from archive version 2; flag, horizontal angle,
//               elevation, then the point;
//   SaveData    record 1002 (doubles); LoadData also reads 1000 (two
//               integers for the flag, float point) and 1001 (float point).

#include <cstdint>
#include <vector>

#include "CKelCoord.h"

class CKelArchiveCore;
class CKelFileIO;

class CSphereAngleParam {
public:
  static constexpr std::int32_t kRecordIntegerFlag = 1000;
  static constexpr std::int32_t kRecordFloatPoint = 1001;
  static constexpr std::int32_t kRecord = 1002;
  // Bytes of the record SaveData writes.
  static constexpr int kRecordBytes = 45;
  // Bytes of the shortest record a reader accepts (1001).
  static constexpr int kMinRecordBytes = 33;

  bool m_bUse = false;  // only marks in use are kept by a list read from a file
  CKelCoord3D m_Coord;  // the picked vertex, world coordinates
  double m_Houi = 0;    // pi/2 minus the vertex's azimuth, in [0, 2 pi)
  double m_Angle = 0;   // elevation

  // Flags and doubles exactly, points by CKelCoord3D ==.
  bool operator==(const CSphereAngleParam& other) const;
  bool operator!=(const CSphereAngleParam& other) const { return !(*this == other); }

  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  // Fields read before a failure keep their new values.
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};

class CSphereAngleParamArray : public std::vector<CSphereAngleParam> {
public:
  bool operator==(const CSphereAngleParamArray& other) const;
  bool operator!=(const CSphereAngleParamArray& other) const { return !(*this == other); }

  // Removes the mark of p's point when there is one, else appends p.
  void SetAngleParam(const CSphereAngleParam& p);

  // Tag from version 2, i32 count, each mark; a count the archive cannot
  // hold is refused before the list is resized.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  // i32 count, then each mark's record (no record number of its own).
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  // A count below 1 is an empty list. Marks not in use are dropped; a count
  // the budget cannot hold is refused before anything is read.
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};
