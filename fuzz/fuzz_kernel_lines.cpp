// Reads arbitrary bytes as the stored forms of the kernel's lines: the
// archive form (Serialize) of CoordLine2D, CoordLine3D and CoordLine3DArray
// at a version picked by the input, and their raw records (LoadData) under a
// byte budget. A bad count must be refused before anything grows; whatever
// was read must write back and read again to the same bytes.
//
// Input: byte 0 picks the reader (low nibble) and the archive version (high
// nibble, 1 to 16); the rest is the stored data.

#include "CoordLine.h"
#include "KernelFuzzSupport.h"

#include <cstdint>

namespace {

constexpr const char* kScratchFile = "fuzz_kernel_lines.bin";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  using KernelFuzz::LoadRecord;
  using KernelFuzz::ReadArchived;
  if (size < 1 || size > 1 << 16)
    return 0;
  const KernelFuzz::Selected input = KernelFuzz::Select(data, size);
  switch (input.reader % 6) {
    case 0: ReadArchived<CoordLine2D>(input.stored, input.version); break;
    case 1: ReadArchived<CoordLine3D>(input.stored, input.version); break;
    case 2: ReadArchived<CoordLine3DArray>(input.stored, input.version); break;
    case 3: LoadRecord<CoordLine2D>(input.stored, kScratchFile); break;
    case 4: LoadRecord<CoordLine3D>(input.stored, kScratchFile); break;
    default: LoadRecord<CoordLine3DArray>(input.stored, kScratchFile); break;
  }
  return 0;
}
