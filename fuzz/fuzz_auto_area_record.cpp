// Reads arbitrary user data of a source element (zone, slab, polyline) as
// its automatic-area record. The first two bytes are the record's version,
// the rest its data. A refused record leaves the record and the element's
// user data as they were; a record that reads is written back and must read
// again into the same record (without the figure codes only early versions
// kept), and a second write must store the same bytes.
// No handle may be left behind.

#include "CAutoAreaParam.h"
#include "CFloorParam.h"
#include "CPlenimetraParam.h"
#include "HostFuzzSupport.h"

#include <cstdint>
#include <optional>

namespace {

using HostFuzz::Check;

std::optional<pln::host::StoredUserData> UserDataOf(HostFixture& host, const API_Guid& guid)
{
  const pln::host::StoredElement* stored = host.Element(guid);
  Check(stored != nullptr);
  return stored->userData;
}

// A record that differs from the defaults in every field a read sets, so
// a read that changes anything shows.
CAutoAreaParam Prefilled(const API_Elem_Head& head)
{
  CAutoAreaParam record(&head);
  record.m_AutoCutType.m_Type = CAutoCutType::AUTOCUTTYPE_EDGE;
  record.m_AutoCutType.m_bCutAcross = true;
  record.m_ItemType1 = CItemType1Table::ITEMTYPE_DIAMOND;
  record.m_ItemType2 = CItemType2Table::ITEMTYPE_HIRAKANA2;
  return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 2)
    return 0;
  HostFixture host;
  {
    CPlenimetraParam doc;
    doc.m_FloorParamArray.push_back(CFloorParam(0, GS::UniString(u"1階"), true, {}, {}, {}, {}, {}));
    const API_Element element = HostFuzz::AddObjectWithUserData(host, HostFuzz::SplitUserData(data, size));
    const auto stored = UserDataOf(host, element.header.guid);

    CAutoAreaParam record = Prefilled(element.header);
    const CAutoAreaParam untouched = record;
    if (record.Load(&doc) != NoError) {
      Check(record == untouched);
      Check(UserDataOf(host, element.header.guid) == stored);
    } else {
      Check(record.Save(&doc, record.m_AutoCutType) == NoError);
      const auto written = UserDataOf(host, element.header.guid);
      // The figure codes of early records are not written again.
      CAutoAreaParam expected = record;
      expected.m_CodeList.clear();
      CAutoAreaParam again(&element.header);
      Check(again.Load(&doc) == NoError);
      Check(again == expected);
      Check(again.Save(&doc, again.m_AutoCutType) == NoError);
      Check(UserDataOf(host, element.header.guid) == written);
    }
  }
  Check(host.HandlesSinceReset() == 0);
  return 0;
}
