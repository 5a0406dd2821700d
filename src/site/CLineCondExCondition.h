#pragma once
// The edge condition of the slant-line check that every site edge carries:
//   CSyasenCheckCalcFlag   three flag bytes of the edge's check;
//   CLineCondExCondition   the calculation kind with the edge's switches,
//                          setbacks and corner-cut (Sumikiri) mode.
// Both live in the site vertex record (CKelSiteTable) and are stored with it.
// Archives before version 20 keep part of the condition elsewhere: three bytes
// after the flag record, and the old per-edge layout (CLineCondEx).

#include <cstdint>

#include "CSyasenCheckCalcKind.h"

class CKelArchiveCore;
class CKelFileIO;
class CKelSiteTable;

class CSyasenCheckCalcFlag {
public:
  static constexpr int kRecordBytes = 3;

  std::uint8_t m_Flag1 = 0;
  std::uint8_t m_Flag2 = 0;
  std::uint8_t m_Flag3 = 0;

  bool operator==(const CSyasenCheckCalcFlag& o) const;
  bool operator!=(const CSyasenCheckCalcFlag& o) const { return !(*this == o); }

  // Tag from version 2, the three bytes; below version 20 three more bytes
  // of vertex's condition follow (setback switch, second setback switch,
  // corner-cut mode). Without a vertex those bytes are still moved, to and
  // from a default condition, so the stream stays aligned.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar, CKelSiteTable* vertex);
  // The three bytes, each counted against *remaining first.
  [[nodiscard]] bool LoadData(CKelFileIO& f, int* remaining, int reserved);
  [[nodiscard]] bool SaveData(CKelFileIO& f, int reserved) const;
};

class CLineCondExCondition {
public:
  // Corner-cut modes that pick alternative corner points.
  static constexpr std::int8_t kCutModeSingle = 1;
  static constexpr std::int8_t kCutModeSplit = 2;

  CSyasenCheckCalcKind m_CalcKind;
  std::int32_t m_Number1 = -1;
  bool m_bSwitch1 = false;
  bool m_bSwitch2 = false;
  std::int8_t m_BackSwitch = 1;   // 1: the edge's setback is in force
  std::int8_t m_BackSwitch2 = 1;  // set: take the vertex's alternative pair
  double m_Back1 = 0;             // the condition's own setback pair
  double m_Back2 = 0;
  std::int32_t m_Option = 1;
  bool m_bSwitch3 = false;
  std::int8_t m_CutMode = 0;

  // Every field exactly, the calculation kind by its own compare.
  bool operator==(const CLineCondExCondition& o) const;
  bool operator!=(const CLineCondExCondition& o) const { return !(*this == o); }

  // Nothing below version 12. From 12: tag, kind, number, switches,
  // setback switches and pair, switch 3; from 20 the corner-cut mode; from
  // 36 the option.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);
};
