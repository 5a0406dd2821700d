// Reads an arbitrary old hot-link record ("PLENIMETRA_HOTLINK") into a list
// that already holds one record. The first byte chooses whether the record
// carries its own version or another; the rest is the stored data. The
// reader keeps what it read before a failure, so the record already held
// must stay first and unchanged, and the list can only grow by what the
// data can hold.

#include "CFloorParam.h"
#include "HostFuzzSupport.h"

#include <cstdint>

using HostFuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 1)
    return 0;
  HostFixture host;
  API_Element element;
  element.header.typeID = API_ObjectID;
  element.header.layer = 1;
  element.object.libInd = 1;
  Check(host.AddElement(element) == NoError);
  API_Guid node{};
  node.bytes[0] = 1;
  Check(host.SetHotlinkNode(element.header.guid, node) == NoError);

  const int version = data[0] % 2 == 0 ? CHotLinkParamArray::kOldRecordVersion : data[0];
  HostFuzz::StoreModuleData(GS::UniString(CHotLinkParamArray::kOldRecordName), version, data + 1, size - 1);
  CHotLinkParamArray records;
  records.push_back(CAutoAreaParam(&element.header));
  const CAutoAreaParam held = records.front();
  static_cast<void>(records.LoadData());
  if (version != CHotLinkParamArray::kOldRecordVersion) {
    Check(records.empty());
    return 0;
  }
  Check(!records.empty() && records.front() == held);
  Check((records.size() - 1) * 18 <= size);
  return 0;
}
