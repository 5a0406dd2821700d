#pragma once
// A progress display for the sky-factor tests: counts steps, keeps the
// texts shown, and cancels from a chosen step on.

#include <string>
#include <vector>

#include "CKelProgressCore.h"

namespace sky_test {

class Progress : public CKelProgressCore {
public:
  int cancelAtStep = -1;  // CheckAbort answers true once this many steps ran
  int steps = 0;
  std::vector<std::string> texts;

  void SetRange(int max, const char* /*text*/) override { m_nRange = max; }
  int StepIt() override
  {
    ++m_nPos;
    ++steps;
    return 0;
  }
  void SetPos(int pos) override { m_nPos = pos; }
  bool CheckAbort() override { return cancelAtStep >= 0 && steps >= cancelAtStep; }
  void SetText(const char* text) override { texts.emplace_back(text); }
  void Set(int pos, int range)
  {
    m_nPos = pos;
    m_nRange = range;
  }
};

}  // namespace sky_test
