// Reads arbitrary bytes through the library archive at versions 1 and 2:
// numbers, texts into a string and into a small buffer, raw records and a
// selection list. A bad length or count must be refused through the error
// count, never read past the data or allocated without bound.

#include "CKelMemoryArchive.h"
#include "CSelectList.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Check(bool condition)
{
  if (!condition)
    std::abort();
}

void ReadEverything(const std::vector<std::uint8_t>& bytes, int version)
{
  CKelMemoryArchive ar(bytes, version);
  ar.SerializeTag("Fuzz");
  bool b = false;
  short s = 0;
  int i = 0;
  unsigned int u = 0;
  float f = 0;
  double d = 0;
  ar >> b >> s >> i >> u >> f >> d;

  std::string text;
  ar >> text;
  Check(text.size() <= CKelArchiveCore::kMaxTextBytes);
  char buffer[8];
  ar.ReadText(buffer, sizeof(buffer));
  Check(std::memchr(buffer, '\0', sizeof(buffer)) != nullptr);

  XY_FPAIR pair;
  MESH_HGT mesh;
  GFCMD command;
  SphereRatio ratio;
  ar >> pair >> mesh >> command >> ratio;

  CSelectList list;
  const bool read = list.Serialize(ar);
  Check(read == (ar.GetError() == 0));
  Check(list.size() * sizeof(int) <= bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const std::vector<std::uint8_t> bytes(data, data + size);
  ReadEverything(bytes, 1);
  ReadEverything(bytes, 2);
  return 0;
}
