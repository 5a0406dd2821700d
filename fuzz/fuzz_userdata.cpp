// Reads arbitrary element user data through the element tag. The first two
// bytes are the record's version, the rest its data. A record shorter than
// a value must be refused; a readable one gives exactly its first four
// bytes; no handle may be left behind.

#include "CMyUserData.h"
#include "HostFixture.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
void Check(bool condition)
{
  if (!condition)
    std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 2)
    return 0;
  HostFixture host;
  API_Element element;
  element.header.typeID = API_ObjectID;
  element.header.layer = 1;
  element.object.libInd = 1;
  element.object.xRatio = 1.0;
  element.object.yRatio = 1.0;
  Check(host.AddElement(element) == NoError);

  short version = 0;
  std::memcpy(&version, data, 2);
  const std::vector<char> bytes(data + 2, data + size);
  Check(host.SetUserData(element.header.guid, version, 0x5757, bytes) == NoError);

  CMyUserData tag(123, 1);
  const GSErrCode err = tag.GetUserData(&element.header);
  if (bytes.size() < 4) {
    Check(err != NoError && tag.GetValue() == 0 && tag.GetVersion() == 0);
  } else {
    Int32 value = 0;
    std::memcpy(&value, bytes.data(), 4);
    Check(err == NoError && tag.GetValue() == value && tag.GetVersion() == static_cast<unsigned short>(version));
  }
  Check(host.HandlesSinceReset() == 0);
  return 0;
}
