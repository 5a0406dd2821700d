// Reads arbitrary data as rounding presets followed by line-break marks, as
// the project record (module data, first byte even) or as the settings file
// (first byte odd). The second byte picks the record version of the module
// data; the settings file carries its own. A read must either finish inside
// the data or stop with the archive's past-end or too-long code (module
// data) or error 3 (file); nothing may be allocated beyond what the data can
// hold, and every preset that comes back is one the rounding can use.

#include "CArchive.h"
#include "CCrMark.h"
#include "CRoundTypeParam.h"
#include "HostFuzzSupport.h"

#include <cstdint>
#include <iterator>

namespace {

constexpr std::size_t kHeaderBytes = 2;
const char* const kName = "fuzz_presets";
// Every version at which the stored presets or marks change, and around them.
constexpr int kVersions[] = {1000, 1001, 1005, 1007, 1008, 1009, 1010, 1037, 1038, 1042, 1043, 1044, 1045, 1047};

using HostFuzz::Check;

void CheckUsable(const CRoundTypeParamArray& presets, std::size_t dataSize)
{
  Check(presets.size() <= dataSize + 1);
  for (CRoundTypeParam p : presets)
    Check(p.Repair());
}

void ReadModuleData(const std::uint8_t* data, std::size_t size, int version)
{
  HostFuzz::StoreModuleData(kName, version, data, size);
  CArchiveOld in(kName);
  Check(in.Open() == 0);
  CRoundTypeParamArray presets;
  CCrMarkArray marks;
  try {
    presets.Serialize(in);
    CheckUsable(presets, size);
    marks.Serialize(in);
    Check(marks.size() <= size);
  } catch (unsigned int code) {
    Check(code == CArchive::kPastEnd || code == CArchive::kTooLong);
  }
}

void ReadSettingsFile(const std::uint8_t* data, std::size_t size)
{
  CFileArchive in(HostFuzz::WriteSandboxFile("fuzz_doc_presets.dat", data, size));
  if (in.Open() != 0)
    return;
  CRoundTypeParamArray presets;
  presets.Read(in);
  Check(in.GetError() == 0 || in.GetError() == 3);
  CheckUsable(presets, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < kHeaderBytes)
    return 0;
  HostFixture host;
  const std::uint8_t* body = data + kHeaderBytes;
  const std::size_t bodySize = size - kHeaderBytes;
  if (data[0] % 2 == 0)
    ReadModuleData(body, bodySize, kVersions[data[1] % std::size(kVersions)]);
  else
    ReadSettingsFile(body, bodySize);
  Check(host.HandlesSinceReset() == 0);
  return 0;
}
