#pragma once
// CRglTable: the shadow-regulation (Hikage kisei) record of one regulation
// area: two regulated times, the measuring height and the average ground
// level. A record whose times are both 24 h 00 min and whose height is 300.0
// or more counts as not set.
//
// Units: hours (value cells), metres.

#include <string>
#include <vector>

#include "CVcellCore.h"

class CKelArchiveCore;

class CRglTable {
public:
  // The height of an unset record and of a point outside every area.
  static constexpr double kNoHeight = 300.0;

  CVcellTime2 m_Time1 = FullDay();
  CVcellTime2 m_Time2 = FullDay();
  double m_Height = kNoHeight;
  double m_AveHeight = 0;  // average ground level

  bool GetFlag() const;

  bool operator==(const CRglTable& other) const;
  bool operator!=(const CRglTable& other) const { return !(*this == other); }
  bool IsNearlyEqual(const CRglTable& other) const;
  void CompareData(const char* label, const CRglTable& other, std::vector<std::string>& lines) const;

  // Tag "CRglTable" from version 2; height, average level, time 1, time 2.
  // Afterwards a height 300.0 above the average level (within 0.001) is
  // kept as height 300.0 over level 0.0.
  [[nodiscard]] bool Serialize(CKelArchiveCore& ar);

  static CVcellTime2 FullDay();
};
