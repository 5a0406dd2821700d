#pragma once
// Every test of a folder that includes this ends with no more live host
// handles than it began with, whatever fixture it uses: a listener compares
// the stand-in's count around each test. The stand-in never frees a handle
// by itself, so a handle a test's code forgot stays counted.

#include "host_memory.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace pln_test {

class LiveHandleListener : public ::testing::EmptyTestEventListener {
public:
  void OnTestStart(const ::testing::TestInfo&) override { m_Before = pln::host::LiveHandleCount(); }
  void OnTestEnd(const ::testing::TestInfo& test) override
  {
    EXPECT_LE(pln::host::LiveHandleCount(), m_Before) << test.name() << " left host handles live";
  }

private:
  std::size_t m_Before = 0;
};

inline const bool kLiveHandleListenerInstalled = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new LiveHandleListener);
  return true;
}();

}  // namespace pln_test
