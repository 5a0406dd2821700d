#pragma once
// Planned buildings in their old form, and site-grouping entries.
//
// CPlanBuilding: an outline of points, each with a top height z and a bottom
// height zL (metres), as old check records stored the planned building; it
// converts to and from a building block. Its flag and number belong to the
// check driver and are only carried, compared and stored here.
// CSiteGroupingParam: a group number, a value and a block list.
//
// Stored forms:
//   CPlanBuildingParam  record: the point's x, y, z, zL (f64 each);
//   CPlanBuilding       record: flag byte, i32 point count, the points (no
//                       record number); a count the budget cannot hold is
//                       refused before the list grows;
//   CSiteGroupingParam  archive: tag from version 2, i32 group, f64 value,
//                       the block list's archive form;
//   the array           archive: tag from version 2, i32 count, each entry.

#include <cstdint>
#include <vector>

#include "CKelBlockCube.h"
#include "CKelBlockCubeArray.h"
#include "CKelCoord.h"

class CKelArchiveCore;
class CKelFileIO;

class CPlanBuildingParam {
public:
  static constexpr int kRecordBytes = 32;

  CKelCoord3DEx m_Coord;  // x, y, top z, bottom zL

  CPlanBuildingParam() = default;
  CPlanBuildingParam(const CPlanBuildingParam&) = default;
  CPlanBuildingParam& operator=(const CPlanBuildingParam&) = default;
  explicit CPlanBuildingParam(const CKelCoord3DEx& c) : m_Coord(c) {}
  virtual ~CPlanBuildingParam() = default;

  bool operator==(const CPlanBuildingParam& o) const { return !(m_Coord != o.m_Coord); }
  bool operator!=(const CPlanBuildingParam& o) const { return m_Coord != o.m_Coord; }

  // Heights at t between a and b (z and zL each); x and y stay.
  void CutDiv(double t, const CPlanBuildingParam* a, const CPlanBuildingParam* b);

  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
};

class CPlanBuildingParamArray : public std::vector<CPlanBuildingParam> {
public:
  bool operator==(const CPlanBuildingParamArray& o) const;
  bool operator!=(const CPlanBuildingParamArray& o) const { return !(*this == o); }
};

class CPlanBuilding {
public:
  bool m_bFlag = false;
  CPlanBuildingParamArray m_Points;
  std::int32_t m_No = -1;

  CPlanBuilding() = default;
  CPlanBuilding(const CPlanBuilding&) = default;
  CPlanBuilding& operator=(const CPlanBuilding&) = default;
  virtual ~CPlanBuilding() = default;

  bool operator==(const CPlanBuilding& o) const;
  bool operator!=(const CPlanBuilding& o) const { return !(*this == o); }

  // One point per vertex of block, in vertex order; flag false, number -1.
  static CPlanBuilding FromKelBlock(const CKelBlockCube* block);
  // A block of one vertex per point; unmarked, with neither the base nor the
  // plan flag (its caller gives it its kind). No points: the empty block.
  CKelBlockCube ToKelBlock() const;
  void DoCut() {}

  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
};

class CPlanBuildingArray : public std::vector<CPlanBuilding> {
public:
  bool operator==(const CPlanBuildingArray& o) const;
  bool operator!=(const CPlanBuildingArray& o) const { return !(*this == o); }
};

class CSiteGroupingParam {
public:
  std::int32_t m_GroupNo = 0;
  double m_Value = 0;
  CKelBlockCubeArray m_Block;

  // The value exactly (NaN never equal), the blocks by their list compare.
  bool operator==(const CSiteGroupingParam& o) const;
  bool operator!=(const CSiteGroupingParam& o) const { return !(*this == o); }

  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};

class CSiteGroupingParamArray : public std::vector<CSiteGroupingParam> {
public:
  bool operator==(const CSiteGroupingParamArray& o) const;
  bool operator!=(const CSiteGroupingParamArray& o) const { return !(*this == o); }

  // A count the archive cannot hold is refused before the list grows.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};
