#pragma once
// Internal-invariant checks that stay active in every build.
// Never reachable from stored data, user input or ordinary geometry: such
// input is validated and refused by the caller instead.

namespace pln {
[[noreturn]] void AssertionFailed(const char* file, int line, const char* expression);
}

#define PLN_ASSERT(expr) \
  ((expr) ? static_cast<void>(0) : ::pln::AssertionFailed(__FILE__, __LINE__, #expr))
