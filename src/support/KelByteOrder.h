#pragma once
// Stored form of fixed-width numbers: their raw bytes in little-endian order,
// whatever the machine's own order is, with no tag or padding. The archive,
// the kernel's raw records and the block-file headers all go through here, so
// a file written on one machine reads back alike on any other.
//
// bool is left out on purpose: copying an arbitrary stored byte into a bool
// is undefined, so callers move a bool through an unsigned char and decide
// themselves what a non-zero byte means.

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>

#include "CKelFileIO.h"

namespace KelByteOrder {

template <class T>
concept Number = std::is_arithmetic_v<T> && !std::is_same_v<T, bool>;

// The stored bytes of value.
template <Number T>
void Encode(T value, unsigned char (&bytes)[sizeof(T)])
{
  std::memcpy(bytes, &value, sizeof(T));
  if constexpr (std::endian::native == std::endian::big)
    std::reverse(bytes, bytes + sizeof(T));
}

// The number whose stored bytes these are.
template <Number T>
T Decode(const unsigned char (&bytes)[sizeof(T)])
{
  unsigned char native[sizeof(T)];
  std::memcpy(native, bytes, sizeof(T));
  if constexpr (std::endian::native == std::endian::big)
    std::reverse(native, native + sizeof(T));
  T value;
  std::memcpy(&value, native, sizeof(T));
  return value;
}

template <Number T>
[[nodiscard]] bool Write(CKelFileIO& file, T value)
{
  unsigned char bytes[sizeof(T)];
  Encode(value, bytes);
  return file.Write(bytes, sizeof(T));
}

// A read that fails leaves value unchanged.
template <Number T>
[[nodiscard]] bool Read(CKelFileIO& file, T& value)
{
  unsigned char bytes[sizeof(T)];
  if (!file.Read(bytes, sizeof(T)))
    return false;
  value = Decode<T>(bytes);
  return true;
}

}  // namespace KelByteOrder
