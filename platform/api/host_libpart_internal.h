#pragma once
// Shared between the catalogue and the parameter transaction.

#include "host_libpart.h"
#include "host_paramlist.h"

namespace pln::host::internal {

// A part's parameters with their defaults, in the part's order.
ParamList DefaultParams(const LibPartDefinition& part);
void ResetParameterTransaction();

}  // namespace pln::host::internal
