#pragma once
// A shadow-time calculator for tests: answers scripted times and records
// the calls it receives, in order.

#include <cstdint>
#include <string>
#include <vector>

#include "CKelHikageTimeCore.h"

namespace sky_test {

class ScriptedTimeCalc final : public CKelHikageTimeCore {
public:
  std::int32_t m_Time1 = 0;
  std::int32_t m_Time2 = 0;
  std::vector<std::string> m_Calls;

  void Prepare(const CKelBaseParam&) override { m_Calls.emplace_back("prepare"); }
  void CalcTime1(const CKelCoord3D&, std::int32_t& time) override
  {
    m_Calls.emplace_back("first");
    time = m_Time1;
  }
  void CalcTime2(const CKelCoord3D&, std::int32_t& time) override
  {
    m_Calls.emplace_back("second");
    time = m_Time2;
  }
};

}  // namespace sky_test
