// Reads arbitrary user data of a figure element as a figure record. The
// first two bytes are the record's version, the rest its data. A record
// must be read within its data or refused with the figure unchanged; a
// record that reads is written back in the current version and must read
// again into the same figure. No handle may be left behind.

#include "CArea1Object.h"
#include "CPlenimetraUserDataCore.h"
#include "HostFuzzSupport.h"

#include <cstdint>

namespace {

using HostFuzz::Check;

bool SameRecord(const CArea1Object& a, const CArea1Object& b)
{
  return a.m_Code == b.m_Code && a.m_SortIndex == b.m_SortIndex && a.m_No == b.m_No &&
         a.m_ItemType1 == b.m_ItemType1 && a.m_ItemType2 == b.m_ItemType2 && a.m_RoundType == b.m_RoundType &&
         a.m_Type == b.m_Type && a.m_AutoArea.m_ElemGuid == b.m_AutoArea.m_ElemGuid &&
         a.m_AutoArea.m_Operator == b.m_AutoArea.m_Operator && a.m_bAutoCr == b.m_bAutoCr && a.m_Cr == b.m_Cr;
}

GSErrCode WriteBack(CArea1Object& figure, const API_Elem_Head& head)
{
  CPlenimetraUserDataCore data;
  data.SetUserDataType(CMyUserDataCore::TYPE(CArea1Object::kUserDataType));
  data.Open(CPlenimetraUserDataCore::MODE_WRITE, &head);
  if (data.GetError() != NoError)
    return data.GetError();
  data.SetVersion(CArea1Object::kUserDataVersion);
  figure.Serialize(data);
  data.Close();
  return data.GetError();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  if (size < 2)
    return 0;
  HostFixture host;
  API_Element element = HostFuzz::AddObjectWithUserData(host, HostFuzz::SplitUserData(data, size));

  CArea1ObjectCore figure;
  const CArea1ObjectCore untouched;
  if (figure.Load(&element.header) != NoError) {
    Check(SameRecord(figure, untouched));
  } else {
    Check(WriteBack(figure, element.header) == NoError);
    CArea1ObjectCore again;
    Check(again.Load(&element.header) == NoError);
    Check(SameRecord(figure, again));
  }
  Check(host.HandlesSinceReset() == 0);
  return 0;
}
