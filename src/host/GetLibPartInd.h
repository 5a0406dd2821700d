#pragma once
// The look-up of a placeable library part (an object) by its name.

#include "host_types.h"

// name: NUL-terminated UTF-16. *index receives the part's index, 0 when
// it is not found; answers the host's error.
[[nodiscard]] GSErrCode GetLibPartInd(const unsigned short* name, int* index);
