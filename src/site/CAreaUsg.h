#pragma once
// Zoning areas: CAreaUsg, a plan polygon carrying one zoning record;
// CAreaUsgArray, the zoning areas of one site, which derives the site's
// weighted ratios, finds the area under a point and converts to and from the
// old C records; CUsgLineArray, the division lines kept with them.
//
// Stored order: the polygon record first, then the zoning record (the
// regulation areas store the reverse).
//
// Old C records: six parallel arrays, each given with its length. A record
// whose run of points reaches past the point array, or a shorter array, is
// refused and the list is left as it was; the writer refuses totals the
// 16-bit counts and indices cannot hold.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "CDivLine.h"
#include "CKelAreaCoord2D.h"
#include "CKelVectorArray.h"
#include "CUsgTable.h"
#include "KelOldZoneRecords.h"

class CKelHSite;

class CAreaUsg : public CKelAreaCoord2D {
public:
  CUsgTable m_UsgTable;

  CAreaUsg() = default;
  // The site's vertex positions, area and bounds with the default record.
  explicit CAreaUsg(const CKelHSite& site);

  bool operator==(const CAreaUsg& other) const;
  bool operator!=(const CAreaUsg& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CAreaUsg& other) const;
  void CompareData(const char* label, const CAreaUsg& other, std::vector<std::string>& lines) const;

  // Tag "CAreaUsg" from version 2; the polygon, then the record.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);

  // --- Old records: kind in the low byte, flag in the high byte.
  std::uint16_t GetOldUsg() const;
  float GetOldCap() const { return m_UsgTable.m_Capacity; }
  SITECELL GetOldInf() const;
  SITEPARM GetOldParm() const;
};

// The old C records of a zoning list, each array with its length.
struct CAreaUsgOldParam {
  std::vector<SITEUSG> usg;
  std::vector<float> capacity;
  std::vector<SITECELL> cell;
  std::vector<SITESAREATag> area;
  std::vector<SITEPARM> parm;
  std::vector<XY_FPAIR> points;
};

class CAreaUsgArray : public CKelVectorArray<CAreaUsg> {
public:
  // One area over the whole site with the site's ratios; 0 (empty list)
  // when the site has no vertices, else 1.
  int default_usage_data(const CKelHSite& site, const CUsgDefaultTable& table);
  // The site's ratios weighted by area; unchanged when the areas sum to 0.
  void CalcSitedata(CKelHSite& site) const;
  void UsageCapacity(const CKelHSite& site);
  [[nodiscard]] int CheckUsageData(const CKelHSite& site, int index);
  double CalKenpeiArea() const;
  double CalKentikuArea() const;
  // The distance band of the ratio for the area's usage code; index must be
  // an area (std::out_of_range otherwise).
  double get_darealen(int index, double ratio) const;
  // The area holding p (inside wins; on edges the higher usage code), -1
  // for none; code receives its usage code.
  int check_usage(const CKelHSite& site, const CKelCoord2D& p, int* code) const;
  void ResetSitearea(CKelHSite& site);
  void Separate_site_data(CKelHSite& site);
  bool IsOldUsg() const;

  // The list from n records; false, the list unchanged, when an array is
  // shorter than n or a record's points reach past the point array.
  [[nodiscard]] bool FromOldParam(int n, const CAreaUsgOldParam& old);
  // False (old emptied) when a count or index outgrows its 16 bits.
  [[nodiscard]] bool GetOldParam(CAreaUsgOldParam& old) const;

  bool operator==(const CAreaUsgArray& other) const;
  bool operator!=(const CAreaUsgArray& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CAreaUsgArray& other) const;
  // "用途地域, 辺数, %d, %d" for differing counts, then each common area
  // under "用途地域, %d".
  void CompareData(const CAreaUsgArray& other, std::vector<std::string>& lines) const;

  [[nodiscard]] bool Serialize(CKelArchiveCore& ar, int reserved = 0, void* p1 = nullptr, void* p2 = nullptr);
  // Tag "CAreaUsgArray" from version 2; i32 count; each area.
  [[nodiscard]] bool Serialize2(CKelArchiveCore& ar);
};

class CUsgLineArray : public CDivLineArray {
public:
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar, int reserved = 0, void* p1 = nullptr, void* p2 = nullptr);
  // Tag "CUsgLineArray" from version 2, then the division-line list.
  [[nodiscard]] bool Serialize2(CKelArchiveCore& ar);
};

// The compare lines of two area lists under title: "%s, 辺数, %d, %d" for
// differing counts, then each common area under "%s, %d" (from 0).
template <class List>
void KelCompareAreaLists(const char* title, const List& own, const List& other, std::vector<std::string>& lines)
{
  char text[256];
  if (own.size() != other.size()) {
    std::snprintf(text, sizeof text, "%s, 辺数, %d, %d", title, own.GetSize(), other.GetSize());
    lines.emplace_back(text);
  }
  for (std::size_t i = 0; i < std::min(own.size(), other.size()); ++i) {
    std::snprintf(text, sizeof text, "%s, %d", title, static_cast<int>(i));
    own[i].CompareData(text, other[i], lines);
  }
}

// The points of one old area record, shared by the zoning and regulation
// lists: count points from first, widened; false when they are not all in
// the array. A count of 0 or less gives no points.
[[nodiscard]] bool KelOldAreaPoints(const SITESAREATag& tag, const std::vector<XY_FPAIR>& points,
                                    std::vector<CKelCoord2D>& out);
// The record of a polygon's box and point run; false past the 16-bit range.
[[nodiscard]] bool KelOldAreaTag(const CKelAreaCoord2D& polygon, int first, SITESAREATag& tag);
