#pragma once
// The packed little-endian C records of the earlier site format: 16-bit
// integers and 32-bit floats without padding. They are read and written by
// FromOldParam / GetOldParam of the site classes, always together with the
// number of records an array holds, so a count stored inside a record can
// never reach past the array given.
//
// XY_FPAIR (two floats) is the archive's own record (CKelArchiveCore.h).

#include <cstdint>

#include "CKelArchiveCore.h"

#pragma pack(push, 1)

// One site edge: kind bits, road index, neighbour height, one road width,
// the road heights, the specific-road distance and the relaxation widths.
struct LCONDITION {
  std::int16_t COND = 0;
  std::int16_t optno = -1;
  float RinchiHeight = 0;
  float RoadWidth = 0;
  float RoadHeight1 = 0;
  float RoadHeight2 = 0;
  float TokuteiDistance = 0;
  float Kanwa1 = 0;
  float Kanwa2 = 0;
};

// Floor-area ratio, coverage ratio and site area.
struct SITECELL {
  float FloorAreaRatio = 0;
  float CoverageRatio = 0;
  float Area = 0;
};

// The outline header; only the vertex count at byte 16 is used.
struct SITEAREA {
  std::uint8_t reserved[16] = {};
  std::int16_t count = 0;
};

// Deemed road, floor-area-ratio road and relaxation width.
struct MTG_CELL {
  std::int16_t DeemedRoadNo = 0;
  float DeemedRoadWidth = 0;
  std::int16_t CapacityRoadNo = 0;
  float CapacityRoadWidth = 0;
  float KanwaWidth = 0;
};

// One road: edge, shape word, crossings, then site begin, site end, far
// begin, far end as float pairs.
struct RD_CELL {
  std::int16_t no = -1;
  std::uint16_t flag = 0;
  std::int16_t begCross = -1;
  std::int16_t endCross = -1;
  XY_FPAIR pt[4];
};

// One crossing: shape word, first and second road, the four points.
struct CRS_ROAD {
  std::uint16_t flag = 0;
  std::int16_t road1 = 0;
  std::int16_t road2 = 0;
  XY_FPAIR pt[4];
};

#pragma pack(pop)

static_assert(sizeof(LCONDITION) == 32);
static_assert(sizeof(SITECELL) == 12);
static_assert(sizeof(SITEAREA) == 18);
static_assert(sizeof(MTG_CELL) == 16);
static_assert(sizeof(RD_CELL) == 40);
static_assert(sizeof(CRS_ROAD) == 38);
