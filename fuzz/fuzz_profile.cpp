// Reads arbitrary bytes as a profile file: a few sections and keys are looked
// up into small buffers and as integers. Nothing may crash, hang or write
// past a buffer, and every answer must be terminated inside its buffer.

#include "KelProfile.h"
#include "io_location.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Check(bool condition)
{
  if (!condition)
    std::abort();
}

std::string ProfilePath()
{
  static const std::string path = (pln::host::SandboxRoot() / "fuzz_profile.ini").string();
  return path;
}

void LookUp(const char* section, const char* key, const char* path)
{
  char small[4];
  char wide[64];
  std::memset(small, 'Z', sizeof(small));
  GetPrivateProfileString(section, key, "default", small, sizeof(small), path);
  Check(std::memchr(small, '\0', sizeof(small)) != nullptr);
  GetPrivateProfileString(section, key, "", wide, sizeof(wide), path);
  Check(std::memchr(wide, '\0', sizeof(wide)) != nullptr);
  (void)GetPrivateProfileInt(section, key, -1, path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  const std::string path = ProfilePath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr)
    return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  const char* names[] = {"Library", "general", "s", ""};
  const char* keys[] = {"Version", "k", "name", ""};
  for (const char* section : names)
    for (const char* key : keys)
      LookUp(section, key, path.c_str());
  return 0;
}
