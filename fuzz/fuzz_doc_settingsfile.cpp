// Loads an arbitrary settings file the way the settings dialog and the
// document start do (CEnvParam::LoadData): the input is the whole file, its
// version included. A file that is refused must leave the settings exactly
// as they were; one that is taken must be written and read back unchanged,
// and a save that is refused must leave the file it would have replaced.

#include "CEnvParam.h"
#include "CPlenimetraParam.h"
#include "HostFuzzSupport.h"

#include <cstdint>

using HostFuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  HostFixture host;
  host.AddLayer(GS::UniString(u"メンセラ"));
  const GS::UniString path = HostFuzz::WriteSandboxFile("fuzz_doc_settingsfile.dat", data, size);
  CEnvParam env;
  env.m_TuboFactor = 0.77;
  env.m_RoundTypeParamArray.AddNew(GS::UniString(u"前"));
  const CEnvParam before = env;
  if (!env.LoadData(path)) {
    Check(env == before);
    return 0;
  }
  const std::uint8_t kept[] = {'k', 'e', 'p', 't'};
  const GS::UniString copy = HostFuzz::WriteSandboxFile("fuzz_doc_settingsfile2.dat", kept, sizeof kept);
  if (!env.SaveData(copy)) {
    // A text the writer cannot encode is refused, not stored.
    Check(HostFuzz::ReadSandboxFile("fuzz_doc_settingsfile2.dat") == "kept");
    return 0;
  }
  CEnvParam again;
  Check(again.LoadData(copy));
  again.m_BlankDecimals = env.m_BlankDecimals;
  again.m_LengthTenthDigit = env.m_LengthTenthDigit;
  Check(again.m_RoundTypeParamArray == env.m_RoundTypeParamArray);
  return 0;
}
