#pragma once
// The byte reader of the fuzz targets that decode their own small formats:
// values are taken little-endian as they lie; once the bytes run out every
// value reads as 0, so any input decodes to something.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace FuzzInput {

inline void Check(bool condition)
{
  if (!condition)
    std::abort();
}

class Reader {
public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}

  std::uint8_t Byte() { return Take<std::uint8_t>(); }
  // How many values of `each` bytes, up to count, the bytes left hold.
  std::size_t Fit(std::size_t count, std::size_t each) const { return std::min(count, left_ / each); }
  template <typename T>
  T Take()
  {
    T value{};
    if (left_ < sizeof(T)) {
      left_ = 0;
      return value;
    }
    std::memcpy(&value, data_, sizeof(T));
    data_ += sizeof(T);
    left_ -= sizeof(T);
    return value;
  }

private:
  const std::uint8_t* data_;
  std::size_t left_;
};

}  // namespace FuzzInput
