// Imports an arbitrary document dump file (the input is the whole file, its
// version included) into a project holding a calculation and a zone. The
// import must never crash, hang or allocate without bound; a dump it
// refuses must leave the document and the project's zones exactly as they
// were, and a dump it takes must leave a tree naming only its objects.

#include "CPlenimetraParam.h"
#include "DocFuzzSupport.h"
#include "HostFuzzSupport.h"

#include <cstdint>

using HostFuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  HostFixture host;
  host.LoadAddOnLibraryParts();
  host.AddStory(1, 3.0, GS::UniString(u"2F"));
  host.AddLayer(GS::UniString(u"メンセラ"));
  PolygonMemo polygon({{{0, 0}, {4, 0}, {4, 3}, {0, 3}}});
  API_Element zone;
  zone.header.typeID = API_ZoneID;
  zone.header.layer = 1;
  Check(host.AddPolygonElement(zone, polygon) == NoError);

  CPlenimetraParam doc;
  DocFuzz::RegisterKinds(doc);
  const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
  Check(doc.m_AreaTree2.Insert(&doc, GS::UniString(u"建物"), 1, 0, CAreaTree::KIND_FOLDER, item, item));
  doc.m_LastAreaCode = 1;
  doc.m_LastArea1Code = 12;
  const CPlenimetraParam before = doc;

  const GS::UniString path = HostFuzz::WriteSandboxFile("fuzz_doc_dump.dat", data, size);
  doc.Import(path);
  // Import reports every refusal, and nothing else here.
  if (!host.Alerts().empty()) {
    Check(doc == before);
    Check(host.ElementsOfType(API_ZoneID).size() == 1);
    return 0;
  }
  Check(doc.m_AreaTree2.NamesOnlyObjectsOf(&doc));
  return 0;
}
