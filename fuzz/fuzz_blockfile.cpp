// Takes arbitrary bytes as a block file: loads blocks through both loaders,
// masks, saves and compacts. No walk may hang or read past the file, and a
// compaction may only ever make the file shorter.

#include "CAdjFile.h"
#include "CKelFileIO.h"
#include "io_location.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

void Check(bool condition)
{
  if (!condition)
    std::abort();
}

// Reads the whole block, as the library's record readers do.
int ReadBlock(CKelFileIO& file, int length, void* a, void*)
{
  Check(length >= 0);
  auto* bytes = static_cast<std::vector<unsigned char>*>(a);
  bytes->resize(static_cast<std::size_t>(length));
  return file.Read(bytes->data(), static_cast<unsigned int>(length)) ? 1 : 0;
}

bool WriteBlock(CKelFileIO& file, void*, void*) { return file.Write("fuzz", 4); }

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr)
    return;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  static const std::string adj = (pln::host::SandboxRoot() / "fuzz_blocks.adj").string();
  static const std::string pl2 = (pln::host::SandboxRoot() / "fuzz_blocks.PL2").string();
  WriteFile(adj, data, size);
  WriteFile(pl2, data, size);

  std::vector<unsigned char> block;
  for (std::uint32_t id : {1u, 7u, 9u, 175u}) {
    const int loaded = CAdjFile::Load(adj.c_str(), static_cast<CAdjFile::Id>(id), ReadBlock, &block, nullptr);
    Check(loaded == -1 || loaded == 0 || loaded == 1);
    const int loadedEx = LoadPL2FileEx(adj.c_str(), static_cast<int>(id), ReadBlock, &block, nullptr);
    Check(loadedEx == loaded);
  }

  CKelFileIO file;
  if (file.Save(pl2.c_str())) {
    MaskExitBlockData(file, 175);
    file.Close();
  }
  if (file.Save(adj.c_str())) {
    CAdjFile::MaskExitBlockData(file, static_cast<CAdjFile::Id>(7));
    file.Close();
  }
  CAdjFile::CleanUp(adj.c_str());
  Check(std::filesystem::file_size(adj) <= size);
  CAdjFile::Save(adj.c_str(), CAdjFile::ID_SPHERE_PARAM, WriteBlock, nullptr);
  return 0;
}
