#pragma once
// An alert a user's action raises says in words what was not done; a host
// code alone ("(-2130313215)APIERR_GENERAL") tells the user nothing.

#include "gs_unistring.h"

#include <regex>
#include <string>

inline bool SaysInWords(const GS::UniString& text)
{
  static const std::regex bareCode(R"(\s*\(-?[0-9]+\)[A-Z_0-9?]+\s*)");
  return !std::regex_match(text.ToStdString(CC_UTF8), bareCode);
}
