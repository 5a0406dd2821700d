#pragma once
// Host memory handles seen as arrays of records. A handle's size is in
// bytes; these read it as whole records of T, a trailing partial record
// ignored. A null handle holds no records: memos leave the parts they lack
// null, and that is no error.

#include "host_memory.h"

#include <cstddef>
#include <limits>
#include <span>

namespace pln::gsutil {

// Whole records of T in the handle; 0 for a null handle.
template <typename T>
std::size_t EntriesIn(T* const* handle)
{
  if (handle == nullptr)
    return 0;
  return static_cast<std::size_t>(BMGetHandleSize(reinterpret_cast<GSConstHandle>(handle))) / sizeof(T);
}

// The records of the handle; empty for a null handle or block.
template <typename T>
std::span<const T> EntriesOf(T* const* handle)
{
  if (handle == nullptr || *handle == nullptr)
    return {};
  return {*handle, EntriesIn(handle)};
}

// A zero-filled handle of n records; null when n records do not fit the
// handle's 32-bit size (checked before multiplying, so no count wraps) or
// the allocation fails.
template <typename T>
T** NewEntries(std::size_t n)
{
  if (n > static_cast<std::size_t>(std::numeric_limits<GSSize>::max()) / sizeof(T))
    return nullptr;
  return reinterpret_cast<T**>(BMAllocateHandle(static_cast<GSSize>(n * sizeof(T)), ALLOCATE_CLEAR, 0));
}

}  // namespace pln::gsutil
