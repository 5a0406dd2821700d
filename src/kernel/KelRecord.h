#pragma once
// Field helpers of the kernel's raw records (SaveData / LoadData): numbers as
// little-endian bytes with no tag or padding, and the byte budget a reader
// spends before each field, and the record of a counted list.
//
// Budget rule: a reader subtracts the field's size from *budget first and
// fails, without reading, when the budget has gone negative (it stays spent,
// so a caller sees how far past its budget the record reached). A failed read
// leaves the destination unchanged.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "CKelFileIO.h"
#include "KelByteOrder.h"

namespace KelRecord {

// Spends size bytes of the budget; false when it has gone negative.
[[nodiscard]] inline bool TakeBudget(int* budget, int size)
{
  if (budget == nullptr || size < 0)
    return false;
  // Saturate rather than overflow on a budget already far below zero.
  if (*budget < INT32_MIN + size)
    return false;
  *budget -= size;
  return *budget >= 0;
}

// True when count elements of elementBytes each fit in what remains of the
// budget; refuses negative counts. Readers call it before resizing a list.
[[nodiscard]] inline bool CountFits(const int* budget, int count, int elementBytes)
{
  if (budget == nullptr || count < 0 || elementBytes <= 0)
    return false;
  return static_cast<std::int64_t>(count) * elementBytes <= *budget;
}

// One number in the library's stored byte order; Read(f, value) takes no
// budget (the caller has accounted for it).
using KelByteOrder::Read;
using KelByteOrder::Write;

// Spends the field's size, then reads it.
template <class T>
[[nodiscard]] bool Read(CKelFileIO& f, int* budget, T& value)
{
  return TakeBudget(budget, static_cast<int>(sizeof(T))) && Read(f, value);
}

// A counted list: i32 count, then each element's own record.
template <class List>
[[nodiscard]] bool SaveList(CKelFileIO& f, const List& list)
{
  if (!Write(f, static_cast<std::int32_t>(list.size())))
    return false;
  return std::all_of(list.begin(), list.end(), [&f](const auto& element) { return element.SaveData(f); });
}

// Reads a counted list whose elements take elementBytes of the budget each;
// a count the budget cannot hold is refused before the list is resized.
// Stops at the first element that fails (those read before it stay).
template <class List>
[[nodiscard]] bool LoadList(CKelFileIO& f, int* budget, List& list, int elementBytes)
{
  std::int32_t count = 0;
  if (!Read(f, budget, count) || !CountFits(budget, count, elementBytes))
    return false;
  list.resize(static_cast<std::size_t>(count));
  return std::all_of(list.begin(), list.end(), [&f, budget](auto& element) { return element.LoadData(f, budget); });
}

}  // namespace KelRecord
