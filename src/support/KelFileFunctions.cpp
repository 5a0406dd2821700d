#include "KelFileFunctions.h"

#include "host_assert.h"
#include "host_charcodes.h"
#include "host_memory.h"
#include "io_location.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

std::string GetExecFolder()
{
  IO::Location location;
  GS::UniString path;
  if (ACAPI_GetOwnLocation(&location) != NoError || location.DeleteLastLocalName() != NoError ||
      location.ToPath(&path) != NoError)
    return std::string();
  std::string folder = path.ToStdString(CC_UTF8);
  if (folder.empty() || folder.back() != '/')
    folder += '/';
  return folder;
}

std::string GetKelIniFileFolder() { return GetExecFolder(); }

std::string Unicode2Sjis(const GS::UniString& text) { return text.ToStdString(CC_Japanese); }

std::string Unicode2Utf8(const GS::UniString& text) { return text.ToStdString(CC_UTF8); }

std::string ToUtf8(const char* sjisText) { return GS::UniString(sjisText, CC_Japanese).ToStdString(CC_UTF8); }

std::string ToSjis(const char* utf8Text) { return GS::UniString(utf8Text, CC_UTF8).ToStdString(CC_Japanese); }

double _hypot(double x, double y) { return std::sqrt(x * x + y * y); }

char* itoa(int value, char* dst, int /*radix*/)
{
  // "-2147483648" and its terminator: the longest an int prints.
  std::snprintf(dst, 12, "%d", value);
  return dst;
}

int MulDiv(int a, int b, int c)
{
  PLN_ASSERT(c != 0);
  const auto product = static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(a) * b));
  // In 64 bits, so INT_MIN / -1 cannot overflow; the quotient then wraps.
  return static_cast<int>(static_cast<std::uint32_t>(static_cast<std::int64_t>(product) / c));
}

const char* CHSearchCharLeft(char c, const char* text) { return ::CHSearchCharLeft(&c, text); }

const char* StrChr(const char* text, unsigned short c)
{
  const char byte = static_cast<char>(c);
  return ::CHSearchCharLeft(&byte, text);
}

void CopyMemory(void* dst, const void* src, unsigned int n) { BNCopyMemory(dst, src, static_cast<GSSize>(n)); }

void MoveMemory(void* dst, const void* src, unsigned int n) { BNMoveMemory(dst, src, static_cast<GSSize>(n)); }

void ZeroMemory(void* p, unsigned int n) { BNFillMemory(p, static_cast<GSSize>(n), 0); }

bool IsDBCSLeadByte(unsigned char /*byte*/) { return false; }

const char* CharNext(const char* p) { return p + 1; }

char* CharNext(char* p) { return p + 1; }
