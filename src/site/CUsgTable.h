#pragma once
// CUsgTable: the zoning record of one zoning area (Youto = use zone): the
// zone kind, the designated and applied floor-area ratios, the coverage
// ratio, two parameters and the slope and height values. The zone kind
// decides, through fixed tables, the usage code (the regulation category),
// the absolute height limit, the second road slope and the north-side height
// and slope. CUsgDefaultTable: the caller's default entries per numbering
// and zone kind.
//
// Numbering: flag 1 the current one (kinds 0..16), flag 0 the older one.
// A kind or flag outside these, as stored data may hold, is kept and read
// as kind 14 of the current numbering: no per-kind values.
//
// Units: ratios as factors (2.0 = 200 %), lengths in metres, slopes as
// rise over run.

#include <cstdint>
#include <string>
#include <vector>

class CKelArchiveCore;
class CAreaRglArray;

// One default entry: the zone's name, a parameter, the slope and height
// values and a code.
struct CUsgDefaultEntry {
  std::string m_Name;  // up to 24 bytes
  std::uint16_t m_Param = 0;
  double m_RoadCoef = 0;
  double m_RoadSlope = 0;
  double m_RinchiSlope = 0;
  double m_RinchiHeight = 0;
  std::int32_t m_Code = 0;
};

class CUsgDefaultTable {
public:
  // [0] the older numbering, [1] the current one; indexed by zone kind.
  std::vector<CUsgDefaultEntry> m_Entry[2];

  // The entry, or null when the table holds none for the flag and kind.
  const CUsgDefaultEntry* Find(int flag, int kind) const;
};

class CUsgTable {
public:
  static constexpr int kKindCount = 17;
  static constexpr int kDefaultKind = 14;

  std::int8_t m_Usage = kDefaultKind;  // zone kind
  std::uint8_t m_NewFlag = 1;          // numbering flag
  float m_Capacity = 0;                // designated floor-area ratio
  float m_UseCapacity = 0;             // applied floor-area ratio
  float m_Coverage = 0;                // coverage ratio
  std::uint16_t m_Param1 = 0;
  std::uint16_t m_Param2 = 0;
  float m_RoadCoef = 0;  // multiplies the road width in the ratio limit
  float m_RoadSlope = 0;
  float m_RinchiSlope = 0;
  float m_RinchiHeight = 0;

  // --- Per-kind values
  int GetUsageCode() const;
  double GetAbsHeight() const;
  // Flag 0 the record's own slope, 1 the per-kind second slope; the caller
  // passes no other.
  double GetRoadSlope(int Flag) const;
  double GetRoadSlope1() const { return m_RoadSlope; }
  double GetRoadSlope2() const;
  double GetRinchiHeight() const;
  double GetRinchiSlope() const;
  double GetNorthHeight() const;
  // 0.0 for kinds 4 and 5 while any shadow regulation is set.
  double GetNorthSlope(const CAreaRglArray& rgl) const;
  bool Get56_4Mode() const;
  // Empty name and code 0 when the table has no entry for the record.
  std::string GetUsgName(const CUsgDefaultTable& table) const;
  int GetAdxCode(const CUsgDefaultTable& table) const;

  // --- Ratios
  // Applied ratio = min(designated, coefficient x width) for 0 < width < 12.
  void calc_usage_capacity(double roadWidth);
  // 3 no ratios, 2 no floor-area ratio, 1 no coverage ratio, else 0.
  [[nodiscard]] int check_usage_data(double roadWidth);
  // The road width from which the floor-area ratio is not limited by it.
  static constexpr double kRatioRoadWidth = 12.0;
  static bool LimitsRatio(double roadWidth) { return 0 < roadWidth && roadWidth < kRatioRoadWidth; }

  // --- Compares
  bool operator==(const CUsgTable& other) const;
  bool operator!=(const CUsgTable& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CUsgTable& other) const;
  void CompareData(const char* label, const CUsgTable& other, std::vector<std::string>& lines) const;

  // Tag "CUsgTable" from version 2; the fields in order.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);

  // One row of the per-kind table of the current numbering.
  struct KindRow;

private:
  // The kind's row of the current numbering, or null outside it.
  const KindRow* Row() const;
  bool IntegersEqual(const CUsgTable& other) const;
  bool IsCurrent() const { return m_NewFlag == 1; }
};
