#pragma once
// The fixed-layout single-precision block records of older code, 30 bytes
// each, packed, little-endian. They come and go as contiguous arrays: one
// BldIndexTag per block, and one BldPntTag per vertex of all blocks back to
// back; a block finds its vertices from its first-point index on.

#include <cstdint>

#pragma pack(push, 1)
struct BldIndexTag {
  float XMax = 0;
  float XMin = 0;
  float YMax = 0;
  float YMin = 0;
  float Menseki = 0;             // plan area
  std::uint16_t PntCount = 0;    // vertices of the block
  std::uint16_t FirstPnt = 0;    // index of its first vertex in the point array
  std::uint16_t PpNo = 0;        // floor profile
  std::uint16_t Attr = 0;        // bit 0 base block, bit 1 plan block, bit 15 shown
  std::uint16_t Kind = 0;        // 2 with its own bottom, else 1
};

// The bottom height comes before the top height.
struct BldPntTag {
  float x = 0;
  float y = 0;
  float zL = 0;
  float z = 0;
  float OffL = 0;
  float OffH = 0;
  std::int16_t FlrL = 0;
  std::int16_t FlrH = 0;
  std::int16_t Reserved = 0;     // always 0
};
#pragma pack(pop)
static_assert(sizeof(BldIndexTag) == 30 && sizeof(BldPntTag) == 30);

namespace KelOldRecord {
inline constexpr std::uint16_t kAttrSyasen = 0x0001;
inline constexpr std::uint16_t kAttrHikage = 0x0002;
inline constexpr std::uint16_t kAttrShow = 0x8000;
inline constexpr std::uint16_t kKindTyuku = 2;
inline constexpr std::uint16_t kKindPlain = 1;
}  // namespace KelOldRecord
