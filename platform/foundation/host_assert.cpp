#include "host_assert.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pln {

void AssertionFailed(const char* file, int line, const char* expression)
{
  // Name the source file (not its folder) and the failed expression, as the
  // host's own assertion report does.
  const char* slash = std::strrchr(file, '/');
  std::fprintf(stderr, "assertion failed: %s:%d: %s\n", slash ? slash + 1 : file, line, expression);
  std::fflush(stderr);
  std::abort();
}

}  // namespace pln
