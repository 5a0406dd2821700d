// Reads arbitrary module data through CGSArchive2. The first bytes choose
// the fields to read (numbers, texts into a string, a small buffer and a
// host string, attribute names), the rest is the stored record. Every read
// must either succeed within the record or throw one of the archive's
// codes; nothing may be read past the data or allocated without bound, and
// no handle may be left behind.

#include "CGSArchive2.h"
#include "HostFuzzSupport.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kProgramBytes = 4;
const char* const kName = "fuzz";

constexpr Int32 kVersion = 1000;

using HostFuzz::Check;
using HostFuzz::Use;

// One field of the kind chosen by a program step.
void ReadField(CGSArchive2& in, unsigned kind, std::size_t recordSize)
{
  switch (kind) {
  case 0: { bool v; in.Serialize(v); Check(v == true || v == false); Use(v); break; }
  case 1: { short v; in.Serialize(v); Use(v); break; }
  case 2: { int v; in.Serialize(v); Use(v); break; }
  case 3: { double v; in.Serialize(v); Use(v); break; }
  case 4: {
    std::string text;
    in.Serialize(text);
    Check(text.size() < recordSize);
    break;
  }
  case 5: {
    char buffer[8];
    in.Serialize(buffer, sizeof buffer);
    Check(std::memchr(buffer, '\0', sizeof buffer) != nullptr);
    break;
  }
  case 6: { GS::UniString text; in.Serialize(text); break; }
  default: { short index = 0; in.SerializeAttribute(API_FontID, index, CC_Japanese); break; }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < kProgramBytes)
    return 0;
  HostFixture host;
  host.AddFont(GS::UniString(u"明朝"));
  HostFuzz::StoreModuleData(kName, kVersion, data + kProgramBytes, size - kProgramBytes);
  {
    CGSArchive2 in(kName);
    Check(in.Open());
    try {
      for (std::size_t step = 0; step < kProgramBytes * 2; ++step) {
        const unsigned kind = (data[step / 2] >> (4 * (step % 2))) & 0x7;
        ReadField(in, kind, size - kProgramBytes);
      }
    } catch (unsigned int code) {
      Check(code == CGSArchive2::kPastEnd || code == CGSArchive2::kTooLong);
    }
  }
  Check(host.HandlesSinceReset() == 0);
  return 0;
}
