#pragma once
// The host's debug output, captured so tests can read it.

#include <string>
#include <vector>

void DBPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

namespace pln::host {
// One entry per DBPrintf call, the formatted text exactly as written
// (a trailing line break stays). Only the most recent entries are kept.
const std::vector<std::string>& DebugLines();
void ClearDebugLines();
}  // namespace pln::host
