#include "host_debug.h"

#include "host_charcodes.h"
#include "host_foundation.h"

#include <cstdarg>
#include <vector>

namespace {

// Long runs must not grow the capture without bound.
constexpr std::size_t kMaxDebugLines = 10000;

std::vector<std::string>& Lines()
{
  static std::vector<std::string> lines;
  return lines;
}

}  // namespace

void DBPrintf(const char* format, ...)
{
  if (format == nullptr)
    return;
  std::va_list args;
  va_start(args, format);
  std::string text = pln::host::internal::FormatV(format, args);
  va_end(args);
  auto& lines = Lines();
  if (lines.size() >= kMaxDebugLines)
    lines.erase(lines.begin(), lines.begin() + kMaxDebugLines / 2);
  lines.push_back(std::move(text));
}

namespace pln::host {

const std::vector<std::string>& DebugLines() { return Lines(); }

void ClearDebugLines() { Lines().clear(); }

void internal::ResetDebugLines() { ClearDebugLines(); }

}  // namespace pln::host
