#pragma once
// Helpers shared by the kernel's lists kept in a std::vector (point lists,
// outlines, lists of polygons and lines): element-wise compares and the
// archive form of a counted list.
//
// Archive form: an i32 count, then each element by its own Serialize. A
// loading list refuses a count that is negative or that the bytes left in
// the archive cannot hold before it resizes anything, and raises the
// archive's error for it; the archive's error decides every result.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "CKelArchiveCore.h"

namespace KelList {

// Same size, and every pair of elements equal by the element's operator==.
template <class List>
bool Equal(const List& a, const List& b)
{
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](const auto& p, const auto& q) { return p == q; });
}

// Same size, and every pair of elements alike by the element's IsNearlyEqual.
template <class List>
bool NearlyEqual(const List& a, const List& b)
{
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](const auto& p, const auto& q) { return p.IsNearlyEqual(q); });
}

// True when count elements of at least minElementBytes each fit in what the
// archive has left to read; a negative count never does.
[[nodiscard]] inline bool CountFits(CKelArchiveCore& ar, std::int64_t count, std::uint64_t minElementBytes)
{
  return count >= 0 && static_cast<std::uint64_t>(count) * minElementBytes <= ar.RemainingBytes();
}

// The archive form, with accept(count) deciding whether a count read may be
// taken. Stops at the first element that fails.
template <class List, class Accept>
[[nodiscard]] bool SerializeAccepting(CKelArchiveCore& ar, List& list, Accept accept)
{
  auto count = static_cast<std::int32_t>(list.size());
  ar.Serialize(count);
  if (ar.GetError() != 0)
    return false;
  if (ar.IsLoading()) {
    if (!accept(count)) {
      ar.SetError();
      return false;
    }
    list.resize(static_cast<std::size_t>(count));
  }
  for (auto& element : list) {
    if (!element.Serialize(ar))
      return false;
  }
  return ar.GetError() == 0;
}

// The archive form for elements that take at least minElementBytes each.
template <class List>
[[nodiscard]] bool Serialize(CKelArchiveCore& ar, List& list, std::uint64_t minElementBytes)
{
  return SerializeAccepting(ar, list, [&ar, minElementBytes](std::int32_t count) {
    return CountFits(ar, count, minElementBytes);
  });
}

}  // namespace KelList
