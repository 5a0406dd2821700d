#pragma once
// CSyasenCheckCalcKind: how one slant-line (Syasen) check is calculated:
// basic or radial, the check-point kind at the begin and the end side of the
// checked stretch, how the base blocks are cut there and which base line is
// used. Lengths in metres.
//
// Selectors are plain stored integers. A value outside its table is kept as
// it was read and takes the neutral branch wherever it is used (an empty
// label), so no stored record can stop the program.
//
// Two stored forms with different field orders:
//   Serialize   the archive form (tag from version 2);
//   SaveData    the raw record, record number 1001; LoadData also reads 1000
//               and the older records that carry no number at all.

#include <cstdint>
#include <string>

class CKelArchiveCore;
class CKelFileIO;

class CSyasenCheckCalcKind {
public:
  // Record numbers of the raw form.
  static constexpr std::int32_t kRecordWithUniform = 1000;
  static constexpr std::int32_t kRecord = 1001;

  std::int32_t m_CalcType = 0;     // 0 basic, 1 radial
  std::int32_t m_BegCpntKind = 0;  // check-point kind: 0..4
  std::int32_t m_EndCpntKind = 0;
  double m_BegCpntValue = 0;       // reach beyond the ends for kind 2
  double m_EndCpntValue = 0;
  std::int32_t m_BegCutKind = 0;   // 0 none, 1 half, 2 vertical, 3 extension
  std::int32_t m_EndCutKind = 0;
  std::int32_t m_BegBaseKind = 0;  // 0 boundary, 1 extension, 2 old, 3 arbitrary, 4 radial
  std::int32_t m_EndBaseKind = 0;
  double m_BegBaseOffset = 0;
  double m_EndBaseOffset = 0;
  bool m_bUniform = true;  // one check-point spacing per check line
  bool m_bFlag2 = true;

  // Every member exactly; m_bUniform only when a check-point kind is 3 or more
  // (only the arc kinds lay points by it).
  bool operator==(const CSyasenCheckCalcKind& other) const;
  bool operator!=(const CSyasenCheckCalcKind& other) const { return !(*this == other); }

  // --- Labels
  // "基本", "放射" or empty.
  std::string GetCalcTypeInfo() const;
  // "[begin kindーend kind]"; empty when a kind is outside 0..4.
  std::string GetCpntInfo() const;
  // The cuts (radial) or base lines with their cuts (basic); empty for other types.
  std::string GetBaseBlockInfo() const;

  // --- Stored forms
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
  [[nodiscard]] bool SaveData(CKelFileIO& f) const;
  // Every field takes its width from *budget before it is read. A first
  // int32 below 1000 is no record number: it is stepped back over and its
  // bytes are given back to the budget. Fields read before a failure stay.
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* budget);
};
