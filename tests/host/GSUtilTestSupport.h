#pragma once
// Shared pieces of the CGSUtil tests: a fresh stand-in host per test that
// must end with no handle left behind, UTF-16 names in the form CGSUtil
// takes them, and call-log counting.

#include "HostFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

class GSUtilTest : public testing::Test {
protected:
  void TearDown() override { EXPECT_EQ(host.HandlesSinceReset(), 0); }

  // Calls of this name in the log since the last ClearCallLog.
  std::ptrdiff_t Calls(const std::string& name) const
  {
    const auto& log = host.CallLog();
    return std::count(log.begin(), log.end(), name);
  }

  HostFixture host;
};

// A NUL-terminated copy of a UTF-16 literal as unsigned shorts.
class UName {
public:
  explicit UName(const char16_t* text)
  {
    for (const char16_t* p = text; *p != 0; ++p)
      units_.push_back(static_cast<unsigned short>(*p));
    units_.push_back(0);
  }
  operator const unsigned short*() const { return units_.data(); }

private:
  std::vector<unsigned short> units_;
};
