// Decodes arbitrary bytes in every character code and encodes the result
// again; the UTF-16 side also gets the raw bytes as code units, lone
// surrogates included. Nothing may crash or hang, and UTF-8, which can hold
// every decoded text, must round-trip without loss.

#include "host_charcodes.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Check(bool condition)
{
  if (!condition)
    std::abort();
}

void RoundTrip(const char* bytes, std::size_t size, GSCharCode code)
{
  std::u16string text = pln::host::DecodeText(bytes, size, code, nullptr);
  (void)pln::host::EncodeText(text, code, nullptr);
  bool lost = false;
  std::string utf8 = pln::host::EncodeText(text, CC_UTF8, &lost);
  Check(!lost);
  Check(pln::host::DecodeText(utf8.data(), utf8.size(), CC_UTF8, nullptr) == text);

  // A bounded copy never overruns and always ends on a character boundary.
  char buffer[16];
  Int32 room = static_cast<Int32>(size % sizeof buffer);
  Int32 written = CHUnicode2ANSI(text.c_str(), -1, buffer, room, code);
  Check(room == 0 || (written >= 0 && written < room && buffer[written] == '\0'));
}

void EncodeUnits(const char* bytes, std::size_t size, GSCharCode code)
{
  std::u16string units(size / 2, u'\0');
  std::memcpy(units.data(), bytes, units.size() * 2);
  (void)pln::host::EncodeText(units, code, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const char* bytes = reinterpret_cast<const char*>(data);
  for (GSCharCode code : {CC_Default, CC_Japanese, CC_UTF8}) {
    RoundTrip(bytes, size, code);
    EncodeUnits(bytes, size, code);
  }
  pln::host::ClearConversionLog();
  return 0;
}
