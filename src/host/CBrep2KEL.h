#pragma once
// The kind tag that the module-data records of boundary representations
// carry: a 16-bit value, any of which may be stored.

#include <cstdint>

class CBrep2KEL {
public:
  enum TYPE : std::uint16_t {};
};
