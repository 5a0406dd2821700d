#pragma once
// Slope definitions of block tops and bottoms.
//
//   CCoordBldSurf        a building-surface point: x, y, z (metres) with an
//                        attribute and a parameter carried along.
//   CKelBlockSlopeItem   one slope: three points of the top plane, three of
//                        the bottom plane, a number and a face mask (bit 0
//                        the top, bit 1 the bottom). A vertex takes its
//                        heights from it by CKelBlockCoord::CutSlope.
//   CKelBlockSlopeParam  the numbered slopes of a building; numbers need not
//                        be unique or dense.
//
// Old records (packed, little-endian): the point is 18 bytes (m_Attr, x, y, z,
// m_Param as floats), BldSlope 112 bytes (number, face, six points with the
// top points first).

#include <cstdint>
#include <vector>

#include "CKelCoord.h"

class CKelArchiveCore;

#pragma pack(push, 1)
struct BldSurfPntTag {
  std::int16_t Attr = 0;
  float x = 0;
  float y = 0;
  float z = 0;
  float Param = 0;
};
struct BldSlope {
  std::uint16_t SlopeNo = 0;
  std::uint16_t Face = 0;
  BldSurfPntTag Top[3];
  BldSurfPntTag Bot[3];
};
#pragma pack(pop)
static_assert(sizeof(BldSurfPntTag) == 18 && sizeof(BldSlope) == 112);

class CCoordBldSurf : public CKelCoord3D {
public:
  std::int16_t m_Attr = 0;
  double m_Param = 0;

  CCoordBldSurf() = default;
  CCoordBldSurf(double x, double y, double z) : CKelCoord3D(x, y, z) {}

  // Points by CKelCoord3D, equal attributes, parameters within
  // KelTol::BlockOnEdge (inclusive).
  bool operator==(const CCoordBldSurf& other) const;
  bool operator!=(const CCoordBldSurf& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CCoordBldSurf& other) const;

  // Tag "CCoordBldSurf" from version 2; m_Attr, m_Param, the point.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  BldSurfPntTag GetOldParam() const;
};

class CKelBlockSlopeItem {
public:
  static constexpr std::uint16_t kFaceTop = 1;
  static constexpr std::uint16_t kFaceBottom = 2;

  std::uint16_t m_SlopeNo = 0;
  std::uint16_t m_Face = 0;
  CCoordBldSurf m_Top[3];
  CCoordBldSurf m_Bot[3];

  bool operator==(const CKelBlockSlopeItem& other) const;
  bool operator!=(const CKelBlockSlopeItem& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CKelBlockSlopeItem& other) const;

  // Tag "CKelBlockSlopeItem" from version 2; number, face, the six points.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  BldSlope GetOldParam() const;
};

class CKelBlockSlopeParam : public std::vector<CKelBlockSlopeItem> {
public:
  bool operator==(const CKelBlockSlopeParam& other) const;
  bool operator!=(const CKelBlockSlopeParam& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CKelBlockSlopeParam& other) const;

  // Numbers the given item and appends a copy.
  void AddSlope(CKelBlockSlopeItem& item, int no, int face);
  // Replaces the item at index by a numbered copy; index inside the list.
  void ChangeSlope(const CKelBlockSlopeItem& item, int no, int index);
  // Removes every item numbered no, keeping the order of the rest.
  void DeleteSlope(int no);
  void ChangeSlopeNo(int from, int to);
  // Index of the first item numbered no, -1 when none.
  int SearchSlopeNo(int no) const;
  // dir < 1 closes the gap after a deletion (numbers above no drop by one);
  // otherwise opens one for an insertion (numbers from no on rise by one).
  void MoveSlopeNo(int no, int dir);
  // One record per item; the count.
  int GetOldParam(std::vector<BldSlope>& out) const;

  // No tag; i32 count, the items. A count the bytes left cannot hold is
  // refused before anything is resized.
  [[nodiscard]] bool Serialize2(CKelArchiveCore& ar);
  // Archive callback of the lists: Serialize2 on *static_cast<CKelBlockSlopeParam*>(pList).
  [[nodiscard]] static bool Serialize(CKelArchiveCore& ar, int, void* pList, void*);
};
