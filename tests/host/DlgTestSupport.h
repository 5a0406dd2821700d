#pragma once
// Shared pieces of the dialog-framework tests: a fresh stand-in host whose
// dialog manager must end every test without a misuse, and the resource ids
// of the small test dialogs.

#include "HostFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

class DlgTest : public testing::Test {
protected:
  void TearDown() override
  {
    EXPECT_TRUE(host.DialogMisuses().empty()) << host.DialogMisuses().front();
    EXPECT_EQ(host.HandlesSinceReset(), 0);
  }

  std::ptrdiff_t Calls(const std::string& name) const
  {
    const auto& log = host.CallLog();
    return std::count(log.begin(), log.end(), name);
  }

  HostFixture host;
};

inline pln::host::DGItemDef ItemDef(short item, pln::host::DGItemKind kind)
{
  pln::host::DGItemDef def;
  def.item = item;
  def.kind = kind;
  return def;
}

// Records what reached a test window, one line per operation.
using CallList = std::vector<std::string>;

inline std::string Line(const char* op, long long a) { return std::string(op) + " " + std::to_string(a); }
inline std::string Line(const char* op, long long a, long long b)
{
  return Line(op, a) + " " + std::to_string(b);
}
inline std::string Line(const char* op, long long a, long long b, long long c)
{
  return Line(op, a, b) + " " + std::to_string(c);
}
