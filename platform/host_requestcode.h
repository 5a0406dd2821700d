#pragma once
// Request codes are four characters packed into an Int32 ('OPAR'). The call
// log names a request by its function and its characters, e.g.
// "ACAPI_Goodies:OPAR", so a test can fail one request code once.

#include "host_types.h"

#include <cstdint>
#include <string>

namespace pln::host::internal {

inline std::string RequestName(const char* function, Int32 code)
{
  const auto bits = static_cast<std::uint32_t>(code);
  std::string name = std::string(function) + ':';
  for (int shift = 24; shift >= 0; shift -= 8)
    name += static_cast<char>((bits >> shift) & 0xFFu);
  return name;
}

}  // namespace pln::host::internal
