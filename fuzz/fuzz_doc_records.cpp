// Reads an arbitrary project record through the document archive. The first
// byte chooses the reader: the area-list columns, the calculation patterns
// of the settings block, or a program of typed fields (the next four bytes,
// one field kind per nibble); then a 32-bit record version; the rest is the
// stored data. Every reader must either finish within the data or throw one
// of the archive's codes; nothing may be read past the data or allocated
// without bound, and no handle may be left behind.

#include "CArchive.h"
#include "CAreaListItem.h"
#include "CPlenimetraParam.h"
#include "HostFuzzSupport.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kHeaderBytes = 1 + 4 + 4;
const char* const kName = "PLENIMETRA";

using HostFuzz::Check;
using HostFuzz::Use;

void ReadField(CArchive& in, unsigned kind, std::size_t recordSize)
{
  switch (kind) {
  case 0: { bool v; in >> v; Use(v); break; }
  case 1: { short v; in >> v; Use(v); break; }
  case 2: { int v; in >> v; Use(v); break; }
  case 3: { long long v; in >> v; Use(v); break; }
  case 4: { double v; in >> v; Use(v); break; }
  case 5: { float v; in >> v; Use(v); break; }
  case 6: {
    std::string text;
    in >> text;
    Check(text.size() < recordSize);
    break;
  }
  case 7: {
    char buffer[8];
    in.ReadCString(buffer, sizeof buffer);
    Check(std::memchr(buffer, '\0', sizeof buffer) != nullptr);
    break;
  }
  case 8: { GS::UniString text; in >> text; break; }
  case 9: { GS::Guid guid; in >> guid; break; }
  default: { short index = 0; in.LoadAttribute(API_LayerID, index, CC_Default); break; }
  }
}

void ReadProgram(CArchive& in, const std::uint8_t* program, std::size_t recordSize)
{
  for (std::size_t step = 0; step < 8; ++step)
    ReadField(in, (program[step / 2] >> (4 * (step % 2))) & 0xF, recordSize);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < kHeaderBytes)
    return 0;
  HostFixture host;
  host.AddLayer(GS::UniString(u"メンセラ"));
  Int32 version = 0;
  std::memcpy(&version, data + 5, 4);
  const std::size_t recordSize = size - kHeaderBytes;
  HostFuzz::StoreModuleData(kName, version, data + kHeaderBytes, recordSize);
  {
    CArchiveOld in(kName);
    Check(in.Open() == 0);
    CAreaListItemArray columns;
    columns.Initialize();
    CPlenimetraParamArray patterns;
    try {
      switch (data[0] % 3) {
      case 0: columns.Serialize(in); break;
      case 1: patterns.SerializeEnv(in); break;
      default: ReadProgram(in, data + 1, recordSize); break;
      }
    } catch (unsigned int code) {
      Check(code == CArchive::kPastEnd || code == CArchive::kTooLong);
    }
    // The catalogue never changes shape, whatever the record says.
    Check(columns.size() == CAreaListItemArray::kItemCount);
    // Each pattern takes at least its node count.
    Check(patterns.size() * 4 <= recordSize);
  }
  Check(host.HandlesSinceReset() == 0);
  return 0;
}
