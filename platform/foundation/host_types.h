#pragma once
// Basic integer and result types shared by every host interface.

#include <cstdint>

using GSErrCode = std::int32_t;
constexpr GSErrCode NoError = 0;

using Int8 = std::int8_t;
using UInt8 = std::uint8_t;
using Int16 = std::int16_t;
using UInt16 = std::uint16_t;
using Int32 = std::int32_t;
using UInt32 = std::uint32_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using USize = std::uint32_t;
using UIndex = std::uint32_t;
using GSSize = std::int32_t;

// 8-bit character codes. CC_Default is whatever the host treats as its own
// default (Shift-JIS unless a test picks another).
enum GSCharCode : int { CC_Default = 0, CC_Japanese = 32, CC_UTF8 = 99 };

namespace GS {
// "No such index": the answer of every search that finds nothing.
constexpr UIndex MaxUIndex = 0xFFFFFFFFu;
}  // namespace GS
