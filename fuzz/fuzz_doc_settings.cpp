// Reads an arbitrary settings file through the settings-file stream. The
// first byte chooses the reader: the calculation patterns, or a program of
// typed fields (the next four bytes, one kind per nibble); the rest is the
// file, its leading version included. The stream never throws: it records
// its error and goes on, so every reader must stop by itself within the
// file and allocate nothing beyond what the file can hold.

#include "CArchive.h"
#include "CPlenimetraParam.h"
#include "HostFuzzSupport.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kHeaderBytes = 1 + 4;

using HostFuzz::Check;
using HostFuzz::Use;

void ReadField(CFileArchive& in, unsigned kind, std::size_t fileSize)
{
  switch (kind) {
  case 0: { bool v; in >> v; Use(v); break; }
  case 1: { short v; in >> v; Use(v); break; }
  case 2: { int v; in >> v; Use(v); break; }
  case 3: { double v; in >> v; Use(v); break; }
  case 4: { float v; in >> v; Use(v); break; }
  case 5: {
    std::string text;
    in >> text;
    Check(text.size() <= fileSize);
    break;
  }
  case 6: {
    char buffer[8];
    in.ReadCString(buffer, sizeof buffer);
    Check(std::memchr(buffer, '\0', sizeof buffer) != nullptr);
    break;
  }
  case 7: { GS::UniString text; in >> text; break; }
  case 8: { GS::Guid guid; in >> guid; break; }
  default: { short index = 0; in.LoadAttribute(API_LayerID, index, CC_UTF8); break; }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < kHeaderBytes)
    return 0;
  HostFixture host;
  host.AddLayer(GS::UniString(u"メンセラ"));
  const std::size_t fileSize = size - kHeaderBytes;
  CFileArchive in(HostFuzz::WriteSandboxFile("fuzz_doc_settings.dat", data + kHeaderBytes, fileSize));
  Check(in.Open() == 0);
  if (data[0] % 2 == 0) {
    CPlenimetraParamArray patterns;
    const bool read = patterns.Read(in);
    Check(!read || in.GetError() == 0);
    Check(patterns.size() * 4 <= fileSize);
  } else {
    for (std::size_t step = 0; step < 8; ++step)
      ReadField(in, (data[1 + step / 2] >> (4 * (step % 2))) & 0xF, fileSize);
  }
  return 0;
}
