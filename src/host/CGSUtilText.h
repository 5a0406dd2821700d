#pragma once
// The host layer's UTF-16 names arrive as `const unsigned short*`, the
// host's own strings hold char16_t; the two are copied unit by unit rather
// than reinterpreted, since they are distinct types to the compiler.

#include "gs_unistring.h"

#include <string>

namespace pln::gsutil {

inline GS::UniString FromUShort(const unsigned short* text)
{
  std::u16string units;
  if (text != nullptr) {
    for (const unsigned short* p = text; *p != 0; ++p)
      units.push_back(static_cast<char16_t>(*p));
  }
  return GS::UniString::FromStd(units);
}

}  // namespace pln::gsutil
