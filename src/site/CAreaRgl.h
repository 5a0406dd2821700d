#pragma once
// Shadow-regulation areas: CAreaRgl, a plan polygon carrying one regulation
// record; CAreaRglArray, the regulation areas of one site, which tells
// whether any regulation is set, which area holds a point (the strictest
// one on shared boundaries) and the measuring height there; CRglLineArray,
// the division lines kept with them. CRglCalcArea: the caller's calculation
// rectangle.
//
// Stored order: the record first, then the polygon (the reverse of the
// zoning areas). Old C records as for the zoning areas: each array with its
// length, a bad one refused with the list unchanged.

#include <string>
#include <vector>

#include "CDivLine.h"
#include "CKelAreaCoord2D.h"
#include "CKelVectorArray.h"
#include "CRglTable.h"
#include "KelOldZoneRecords.h"

class CKelHSite;

// The caller's calculation record: [1..4] are xmin, ymin, xmax, ymax.
struct CRglCalcArea {
  double m_Value[5] = {0, 0, 0, 0, 0};
};

class CAreaRgl : public CKelAreaCoord2D {
public:
  CRglTable m_RglTable;

  bool operator==(const CAreaRgl& other) const;
  bool operator!=(const CAreaRgl& other) const { return !(*this == other); }
  // The records only.
  bool CheckSyasenCheckCondition(const CAreaRgl& other) const { return m_RglTable == other.m_RglTable; }
  bool IsNearlyEqual(const CAreaRgl& other) const;
  void CompareData(const char* label, const CAreaRgl& other, std::vector<std::string>& lines) const;
  // The rectangle of the calculation record; the area is left as it was.
  void copy_carea_data(const CRglCalcArea& calc);

  RGL_ARY GetOldTbl() const;
  std::uint16_t GetOldFlg() const { return m_RglTable.GetFlag() ? 1 : 0; }

  // Tag "CAreaRgl" from version 2; the record, then the polygon.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};

// The old C records of a regulation list, each array with its length.
struct CAreaRglOldParam {
  std::vector<RGL_ARY> rgl;
  std::vector<std::uint16_t> flags;
  std::vector<SITESAREATag> area;
  std::vector<XY_FPAIR> points;
};

class CAreaRglArray : public CKelVectorArray<CAreaRgl> {
public:
  int default_regulate_data(const CKelHSite& site, const CRglCalcArea& calc);
  bool IsRglSet() const;
  // The first area holding p inside or on an edge, -1 for none.
  int GetRegArea2(const CKelCoord2D& p) const;
  // That area's height, CRglTable::kNoHeight for none.
  double GetRegHeight2(const CKelCoord2D& p) const;
  // The area whose regulation holds at p: inside wins at once; on shared
  // boundaries the shortest time 1, then the lower height, then the earlier
  // area. flag: 1 when a stricter boundary area replaced the first one,
  // else the chosen area's GetFlag.
  int check_regulate(const CKelHSite& site, const CKelCoord2D& p, int* flag) const;

  [[nodiscard]] bool FromOldParam(int n, const CAreaRglOldParam& old);
  [[nodiscard]] bool GetOldParam(CAreaRglOldParam& old) const;

  bool operator==(const CAreaRglArray& other) const;
  bool operator!=(const CAreaRglArray& other) const { return !(*this == other); }
  bool CheckSyasenCheckCondition(const CAreaRglArray& other) const;
  bool IsNearlyEqual(const CAreaRglArray& other) const;
  void CompareData(const CAreaRglArray& other, std::vector<std::string>& lines) const;

  [[nodiscard]] bool Serialize(CKelArchiveCore& ar, int reserved = 0, void* p1 = nullptr, void* p2 = nullptr);
  // Tag "CAreaRglArray" from version 2; i32 count; each area.
  [[nodiscard]] bool Serialize2(CKelArchiveCore& ar);
};

class CRglLineArray : public CDivLineArray {
public:
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar, int reserved = 0, void* p1 = nullptr, void* p2 = nullptr);
  // Tag "CRglLineArray" from version 2, then the division-line list.
  [[nodiscard]] bool Serialize2(CKelArchiveCore& ar);
};
