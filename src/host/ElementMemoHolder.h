#pragma once
// An element memo whose handles are disposed of when it goes out of scope.

#include "host_elements.h"

struct ElementMemoHolder {
  API_ElementMemo memo;

  ElementMemoHolder() = default;
  ~ElementMemoHolder() { ACAPI_DisposeElemMemoHdls(&memo); }
  ElementMemoHolder(const ElementMemoHolder&) = delete;
  ElementMemoHolder& operator=(const ElementMemoHolder&) = delete;
};
