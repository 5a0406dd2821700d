#include "host_debug.h"

#include "host_foundation.h"

#include <cstdarg>
#include <cstdio>
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
  std::va_list again;
  va_copy(again, args);
  int needed = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text;
  if (needed > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1, '\0');
    std::vsnprintf(buffer.data(), buffer.size(), format, again);
    text.assign(buffer.data(), static_cast<std::size_t>(needed));
  }
  va_end(again);
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
