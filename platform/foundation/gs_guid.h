#pragma once
// GS::Guid: a 16-byte identifier. New ones come from a seeded counter, so a
// run that seeds the same way gets the same identifiers. The text form is
// 36 upper-case characters, 8-4-4-4-12 hex digits of the bytes in order.

#include "gs_unistring.h"
#include "host_types.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace GS {

class Guid {
public:
  Guid() = default;  // the null guid

  bool IsNull() const;
  // Sets this guid to the next one of the seeded sequence.
  Guid& Generate();

  UniString ToUniString() const;
  // A malformed text is refused and leaves the value unchanged.
  [[nodiscard]] GSErrCode ConvertFromString(const char* text);
  [[nodiscard]] GSErrCode ConvertFromString(const UniString& text);

  const std::array<std::uint8_t, 16>& Bytes() const { return bytes_; }
  std::size_t HashValue() const;

  bool operator==(const Guid&) const = default;
  auto operator<=>(const Guid&) const = default;

private:
  std::array<std::uint8_t, 16> bytes_{};
};

}  // namespace GS

template <>
struct std::hash<GS::Guid> {
  std::size_t operator()(const GS::Guid& guid) const { return guid.HashValue(); }
};

namespace pln::host {
// Restarts the sequence of generated guids.
void SeedGuids(std::uint64_t seed);
}  // namespace pln::host
