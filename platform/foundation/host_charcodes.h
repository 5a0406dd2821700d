#pragma once
// Conversions between the host's UTF-16 strings and 8-bit texts.
//
// Code 32 is Shift-JIS (the CP932 variant), 99 is UTF-8 and 0 is the host
// default (Shift-JIS unless a test picks another). A character the target
// cannot hold becomes '?' (8-bit side) or U+FFFD (UTF-16 side), the rest is
// still converted, and the loss is reported. Every conversion is logged with
// the code asked for and the code used, so tests can tell 0, 32 and 99 apart.

#include "host_types.h"

#include <cstdarg>
#include <cstddef>
#include <string>
#include <vector>

namespace pln::host {

std::string EncodeText(const std::u16string& text, GSCharCode code, bool* lost);
std::u16string DecodeText(const char* bytes, std::size_t n, GSCharCode code, bool* lost);

// The code that 0 stands for.
void SetDefaultCharCode(GSCharCode code);
GSCharCode GetDefaultCharCode();

struct CharConversion {
  GSCharCode requested;
  GSCharCode used;
  bool toBytes;  // UTF-16 to 8-bit
  bool lost;
};
// The most recent conversions (older ones are dropped once the log is long,
// so long runs do not grow without bound).
const std::vector<CharConversion>& ConversionLog();
void ClearConversionLog();
// Conversions that lost a character since the last ClearConversionLog.
std::size_t ConversionLossCount();

// The code a conversion in `code` really uses (0 becomes the default).
GSCharCode ResolveCharCode(GSCharCode code);

}  // namespace pln::host

namespace pln::host::internal {
// UTF-8 conversions the host makes for itself (platform paths, formatting):
// same replacement rules, but not logged, so the log shows only the
// conversions the system asked for.
std::string ToUtf8(const std::u16string& text, bool* lost = nullptr);
std::u16string FromUtf8(const char* bytes, std::size_t n, bool* lost = nullptr);
// The printf text of the format and arguments (args is used up), for the
// host's own formatters; "" when the format cannot be formatted.
std::string FormatV(const char* format, std::va_list args);
}  // namespace pln::host::internal

// Converts srcLen UTF-16 units (all up to the terminator when srcLen < 0)
// into dst, never writing more than dstSize bytes including the terminator
// and never splitting a multi-byte character; dst is always terminated.
// Answers the bytes written, terminator excluded. With dst null or
// dstSize < 1 nothing is written and the answer is the length of the whole
// text, terminator excluded: a buffer of that length + 1 holds it.
Int32 CHUnicode2ANSI(const char16_t* src, Int32 srcLen, char* dst, Int32 dstSize, GSCharCode code);

// The first occurrence of the single byte *ch in text; nullptr when text is
// null or empty or holds none.
const char* CHSearchCharLeft(const char* ch, const char* text);
