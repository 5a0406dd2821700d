// Loads an arbitrary project record the way opening the palette does. The
// first two bytes choose the record version (1002 to 1049, so the refused
// ones are met too); the rest is the stored data. A placed figure carries
// user data throughout; a second one carries the record of another kind, so
// its story's entries that name no figure are held. The loader must never
// crash, hang or allocate without bound; a record it refuses must change
// nothing of the project (the document is what a project without a record
// gives, the figure's user data and the record's bytes stay), and its bytes
// must be kept aside unchanged. What was read saves, and the held entries
// read back as they were.

#include "CArea1Object.h"
#include "CPlenimetraParam.h"
#include "GetLibPartInd.h"
#include "DocFuzzSupport.h"
#include "HostFuzzSupport.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

using HostFuzz::Check;

using DocFuzz::FuzzFigure;
using DocFuzz::RegisterKinds;

std::unique_ptr<CPlenimetraParam> Loaded(int* result)
{
  auto doc = std::make_unique<CPlenimetraParam>();
  RegisterKinds(*doc);
  *result = doc->LoadData2(false);
  return doc;
}

using HeldEntries = std::vector<std::pair<int, std::vector<CArea2HeldEntry>>>;

HeldEntries Held(const CPlenimetraParam& doc)
{
  HeldEntries held;
  for (const CArea2Object& element : doc.m_Area2ObjectArray)
    for (const CArea2ObjectFloor& floor : element.m_FloorArray)
      if (!floor.m_HeldList.empty())
        held.emplace_back(element.m_Code, floor.m_HeldList);
  return held;
}

bool Refused(HostFixture& host)
{
  const GS::UniString refused(u"保存されている求積データを読み込めません。");
  for (const auto& alert : host.Alerts())
    if (alert.largeText.ToStdString(CC_UTF8).find(refused.ToStdString(CC_UTF8)) == 0)
      return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 2)
    return 0;
  HostFixture host;
  host.LoadAddOnLibraryParts();
  host.AddStory(1, 3.0, GS::UniString(u"2F"));

  // A placed triangle with its record in user data, and one with a
  // circle's record.
  int triangle = 0;
  Check(GetLibPartInd(reinterpret_cast<const unsigned short*>(u"TalvoSoftwareAreaTriangle"), &triangle) == NoError);
  API_Element element;
  element.header.typeID = API_ObjectID;
  element.header.layer = 1;
  element.object.libInd = triangle;
  element.object.xRatio = element.object.yRatio = 1.0;
  API_Element swapped = element;
  Check(host.AddElement(element) == NoError);
  Check(host.AddElement(swapped) == NoError);
  CPlenimetraParam owner;
  FuzzFigure figure(&owner, CArea1Object::TYPE_TRIANGLE, 1, CItemType1Table::ITEMTYPE(1),
                    CItemType2Table::ITEMTYPE(1), 0);
  figure.m_Element = element;
  Check(figure.Save() == NoError);
  FuzzFigure circle(&owner, CArea1Object::TYPE_CIRCLE, 2, CItemType1Table::ITEMTYPE(1), CItemType2Table::ITEMTYPE(1),
                    1);
  circle.m_Element = swapped;
  Check(circle.Save() == NoError);

  int fresh = 0;
  const auto empty = Loaded(&fresh);  // what a project without a record gives
  host.Reset();
  host.LoadAddOnLibraryParts();
  host.AddStory(1, 3.0, GS::UniString(u"2F"));
  Check(host.AddElement(element) == NoError);
  Check(host.AddElement(swapped) == NoError);
  Check(figure.Save() == NoError);
  Check(circle.Save() == NoError);
  const std::vector<char> userData = host.Element(element.header.guid)->userData->bytes;

  std::uint16_t selector = 0;
  std::memcpy(&selector, data, 2);
  const int version = 1002 + selector % 48;
  HostFuzz::StoreModuleData(GS::UniString(CPlenimetraParam::kRecordName), version, data + 2, size - 2);
  int result = 0;
  const auto doc = Loaded(&result);
  Check(result == (version > CPlenimetraParam::kRecordVersion ? -1 : 1));
  if (Refused(host)) {
    Check(*doc == *empty);
    Check(host.Element(element.header.guid)->userData->bytes == userData);
    const auto stored = host.ModulData(GS::UniString(CPlenimetraParam::kRecordName));
    Check(stored.has_value() && stored->bytes == std::vector<char>(data + 2, data + size));
  }
  // Whatever was read can be written again, and what is held comes back.
  if (result == 1 && !doc->m_bSaveBlocked) {
    Check(doc->SaveData() == NoError);
    int again = 0;
    Check(Held(*Loaded(&again)) == Held(*doc));
  }
  return 0;
}
