#pragma once
// An alert a user's action raises says in words what was not done; a host
// code alone ("(-2130313215)APIERR_GENERAL") tells the user nothing.

#include "gs_unistring.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

inline bool SaysInWords(const GS::UniString& text)
{
  static const std::regex bareCode(R"(\s*\(-?[0-9]+\)[A-Z_0-9?]+\s*)");
  return !std::regex_match(text.ToStdString(CC_UTF8), bareCode);
}

// For a fixture's end: every alert its test raised, whatever failed.
template <class AlertList> void ExpectAlertsInWords(const AlertList& alerts)
{
  for (const auto& alert : alerts)
    EXPECT_TRUE(SaysInWords(alert.largeText)) << alert.largeText.ToStdString(CC_UTF8);
}
