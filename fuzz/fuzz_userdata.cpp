// Reads arbitrary element user data through the element tag. The first two
// bytes are the record's version, the rest its data. A record shorter than
// a value must be refused; a readable one gives exactly its first four
// bytes; no handle may be left behind.

#include "CMyUserData.h"
#include "HostFuzzSupport.h"

#include <cstdint>
#include <cstring>

using HostFuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 2)
    return 0;
  HostFixture host;
  const HostFuzz::UserDataInput input = HostFuzz::SplitUserData(data, size);
  API_Element element = HostFuzz::AddObjectWithUserData(host, input);

  CMyUserData tag(123, 1);
  const GSErrCode err = tag.GetUserData(&element.header);
  if (input.bytes.size() < 4) {
    Check(err != NoError && tag.GetValue() == 0 && tag.GetVersion() == 0);
  } else {
    Int32 value = 0;
    std::memcpy(&value, input.bytes.data(), 4);
    Check(err == NoError && tag.GetValue() == value && tag.GetVersion() == static_cast<unsigned short>(input.version));
  }
  Check(host.HandlesSinceReset() == 0);
  return 0;
}
