#pragma once
// The packed little-endian C records of the earlier zoning, regulation,
// value-cell and check-line format: 16-bit integers and 32-bit floats
// without padding. FromOldParam / GetOldParam of the zoning classes read and
// write them, always with the number of records each array holds, so that a
// count or first index stored inside a record can never reach past an array.

#include <cstdint>

#include "KelOldSiteRecords.h"

#pragma pack(push, 1)

// Zone kind and numbering flag of one zoning area.
struct SITEUSG {
  std::int8_t usage = 14;
  std::int8_t flag = 1;
};

// The box and the run of points of one area in the shared point array.
struct SITESAREATag {
  float xmax = 0;
  float xmin = 0;
  float ymax = 0;
  float ymin = 0;
  std::int16_t count = 0;
  std::int16_t first = 0;
};

// The two parameters and the slope and height values of one zoning area.
struct SITEPARM {
  std::uint16_t param1 = 0;
  std::uint16_t param2 = 0;
  float roadCoef = 0;
  float roadSlope = 0;
  float rinchiSlope = 0;
  float rinchiHeight = 0;
};

// One value cell: three fields and the value in single precision.
struct VCELLTag {
  std::int16_t field1 = 0;
  std::int16_t field2 = 0;
  std::int16_t field3 = 0;
  float value = 0;
};

// The two regulated times and the measuring height of one regulation area.
struct RGL_ARY {
  VCELLTag time1;
  VCELLTag time2;
  float height = 0;
};

// One check-line point: kind, x, y.
struct CRS_PNT {
  std::int16_t kind = 0;
  float x = 0;
  float y = 0;
};

#pragma pack(pop)

static_assert(sizeof(SITEUSG) == 2);
static_assert(sizeof(SITESAREATag) == 20);
static_assert(sizeof(SITEPARM) == 20);
static_assert(sizeof(VCELLTag) == 10);
static_assert(sizeof(RGL_ARY) == 24);
static_assert(sizeof(CRS_PNT) == 10);

namespace KelOldZone {

// The largest count or index the 16-bit fields of the old records carry.
inline constexpr int kMaxIndex = 32767;

}  // namespace KelOldZone
