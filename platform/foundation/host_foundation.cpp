#include "host_foundation.h"

namespace pln::host {

void ResetFoundation()
{
  internal::ResetCharCodes();
  internal::ResetDebugLines();
  internal::ResetGuids();
  internal::ResetMemoryFailures();
  internal::ResetOwnLocation();
}

}  // namespace pln::host
