// Reads arbitrary project-record data as the records of figures, calculation
// elements, folders and automatic areas. The first byte chooses the reader,
// the next two the record version, the rest is the record. Every reader must
// stay within the data, allocate within its bounds and answer true or false
// without throwing; a list that reads is written back in the current version
// and must read again into equal objects. No handle may be left behind.

#include "CArchive.h"
#include "CArea1Object.h"
#include "CArea2Object.h"
#include "CArea4Object.h"
#include "CAutoAreaParam.h"
#include "CPlenimetraParam.h"
#include "DocFuzzSupport.h"
#include "HostFuzzSupport.h"

#include <cstdint>
#include <memory>

namespace {

const char* const kName = "PLENIMETRA_FUZZ";
constexpr int kCurrentVersion = 1047;
constexpr std::size_t kHeaderBytes = 3;

using HostFuzz::Check;

using DocFuzz::FuzzFigure;
using DocFuzz::RegisterKinds;

// Two floors whose figures the element entries can name.
void AddFloors(CPlenimetraParam& doc)
{
  for (short story = 0; story < 2; ++story) {
    CFloorParam floor;
    floor.m_FloorNo = story;
    for (int code = 1; code <= 3; ++code)
      floor.m_Area1ObjectArray.push_back(
          std::make_shared<FuzzFigure>(&doc, CArea1Object::TYPE_TRIANGLE, story * 3 + code,
                                       CItemType1Table::ITEMTYPE_CIRCLE, CItemType2Table::ITEMTYPE_DECIMAL, code));
    doc.m_FloorParamArray.push_back(floor);
  }
}

// Reads the stored record with the reader; true when it read. The read
// begins here, so a refused record's thrown code ends here.
template <class Reader> bool ReadStored(Reader reader)
{
  CArchiveOld in(kName);
  if (in.Open() != NoError)
    return false;
  try {
    reader(in);
  } catch (unsigned int) {
    return false;
  }
  return true;
}

template <class Writer> void WriteCurrent(Writer writer)
{
  CArchiveOld out(kName);
  out.Save(kCurrentVersion);
  writer(out);
}

// A list that read is written in the current version and read back twice:
// the first pass may still normalise texts that no character code holds,
// after it the record must be stable.
template <class List, class Same> void RoundTrip(CPlenimetraParam& doc, List& list, Same same)
{
  List first;
  List second;
  WriteCurrent([&](CArchive& ar) { list.Serialize(ar, &doc); });
  Check(ReadStored([&](CArchive& ar) { first.Serialize(ar, &doc); }));
  WriteCurrent([&](CArchive& ar) { first.Serialize(ar, &doc); });
  Check(ReadStored([&](CArchive& ar) { second.Serialize(ar, &doc); }));
  Check(same(first, second));
}

void FuzzFigures(CPlenimetraParam& doc)
{
  CArea1ObjectArray list;
  if (!ReadStored([&](CArchive& ar) { list.Serialize(ar, &doc); }))
    return;
  // Records before 1002 hold kinds only; their codes come with the user
  // data, and a figure without one is not written back.
  for (const auto& figure : list) {
    if (figure->m_Code == 0)
      return;
    Check(CArea1Object::IsValidCode(figure->m_Code));
  }
  RoundTrip(doc, list, [](const CArea1ObjectArray& a, const CArea1ObjectArray& b) {
    if (a.size() != b.size())
      return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (a[i]->m_Type != b[i]->m_Type || a[i]->m_Code != b[i]->m_Code || a[i]->m_SortIndex != b[i]->m_SortIndex ||
          a[i]->m_No != b[i]->m_No)
        return false;
    }
    return true;
  });
}

void FuzzElements(CPlenimetraParam& doc)
{
  CArea2ObjectArray list;
  if (!ReadStored([&](CArchive& ar) { list.Serialize(ar, &doc); }))
    return;
  for (CArea2Object& element : list) {
    for (const CArea2ObjectFloor& floor : element.m_FloorArray) {
      Check(CArea2ObjectFloor::IsValidMode(floor.m_Mode));
      for (const CArea2List& entry : floor.m_List)
        Check(entry.m_pArea1 != nullptr);
    }
  }
  RoundTrip(doc, list, [](const CArea2ObjectArray& a, const CArea2ObjectArray& b) { return a == b; });
}

void FuzzFolders(CPlenimetraParam& doc)
{
  CArea4ObjectArray list;
  if (!ReadStored([&](CArchive& ar) { list.Serialize(ar, &doc); }))
    return;
  RoundTrip(doc, list, [](const CArea4ObjectArray& a, const CArea4ObjectArray& b) {
    if (!(a == b))
      return false;
    auto j = b.begin();
    for (auto i = a.begin(); i != a.end(); ++i, ++j) {
      if (i->m_ManualEquationArray != j->m_ManualEquationArray)
        return false;
    }
    return true;
  });
}

void FuzzAutoArea()
{
  CAutoAreaParam record;
  const bool read = ReadStored([&](CArchive& ar) {
    try {
      record.SerializeRecord(ar);
    } catch (unsigned int code) {
      Check(code == CArchive::kPastEnd || code == CArchive::kTooLong);
      throw;
    }
  });
  if (!read)
    return;
  WriteCurrent([&](CArchive& ar) { record.SerializeRecord(ar); });
  CAutoAreaParam again;
  Check(ReadStored([&](CArchive& ar) {
    again.SerializeRecord(ar);
  }));
  // The early code list is never written again.
  record.m_CodeList.clear();
  Check(again == record);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < kHeaderBytes)
    return 0;
  HostFixture host;
  {
    CPlenimetraParam doc;
    RegisterKinds(doc);
    AddFloors(doc);
    const int version = data[1] | (data[2] << 8);
    HostFuzz::StoreModuleData(kName, version, data + kHeaderBytes, size - kHeaderBytes);
    switch (data[0] % 4) {
    case 0:
      FuzzFigures(doc);
      break;
    case 1:
      FuzzElements(doc);
      break;
    case 2:
      FuzzFolders(doc);
      break;
    default:
      FuzzAutoArea();
      break;
    }
  }
  Check(host.HandlesSinceReset() == 0);
  return 0;
}
