// The floors' part of the project record, and the old separate record of
// hot-link automatic areas.

#include "CFloorParam.h"

#include "CArchive.h"
#include "host_elements.h"
#include "host_errors.h"

namespace {

// Record versions at which a floor gained a field.
constexpr int kFloorExcludes = 1028;  // calculation exclusions, per-floor mode flag
constexpr int kFloorFigures = 1030;   // figures and hot-link records per floor
constexpr int kFloorOutputExcludes = 1031;

// The fewest bytes a stored floor takes: story and switch.
constexpr long long kMinFloorBytes = 2 + 1;
// A hot-link record: the GUID text and the record's fields.
constexpr long long kMinHotLinkBytes = 3 + 4 + 3 + 8;

// The element's own header, so the record lands on its story; a zero one
// carrying the GUID when the element cannot be read.
API_Elem_Head HeaderOf(const API_Guid& guid)
{
  API_Element element{};
  element.header.guid = guid;
  if (ACAPI_Element_Get(&element) != NoError) {
    API_Elem_Head head{};
    head.guid = guid;
    return head;
  }
  return element.header;
}

}  // namespace

void CTreeCodeArray::Serialize(CArchive& ar)
{
  if (!ar.m_bOpen) {
    ar << int(size());
    for (int code : *this)
      ar << code;
    return;
  }
  int count = 0;
  ar >> count;
  if (!ar.CanHold(count, 4))
    throw CArchive::kPastEnd;
  clear();
  for (int i = 0; i < count; ++i)
    Add(Next(ar));
}

int CTreeCodeArray::Next(CArchive& ar)
{
  int code = 0;
  ar >> code;
  return code;
}

void CHotLinkParamArray::Serialize(CArchive& ar)
{
  if (!ar.m_bOpen) {
    ar << int(size());
    for (CAutoAreaParam& record : *this) {
      ar << ToGSGuid(record.GetGuid());
      record.SerializeRecord(ar);
    }
    return;
  }
  int count = 0;
  ar >> count;
  if (!ar.CanHold(count, kMinHotLinkBytes))
    throw CArchive::kPastEnd;
  for (int i = 0; i < count; ++i) {
    GS::Guid stored;
    ar >> stored;
    const API_Guid guid = ToAPIGuid(stored);
    if (!IsHotLink(guid)) {
      CAutoAreaParam dropped;
      dropped.SerializeRecord(ar);
      continue;
    }
    const API_Elem_Head head = HeaderOf(guid);
    CAutoAreaParam record(&head);
    record.SerializeRecord(ar);
    push_back(record);
  }
}

GSErrCode CHotLinkParamArray::LoadData()
{
  CArchiveOld ar(kOldRecordName);
  if (const int err = ar.Open(); err != NoError)
    return err == APIERR_NOMODULEDATA ? NoError : err;
  if (ar.GetVersion() != kOldRecordVersion) {
    clear();
    return NoError;
  }
  // The old hot-link record's load begins here.
  try {
    Serialize(ar);
  } catch (unsigned int) {
    // what was read before the failure stays
  }
  return NoError;
}

void CFloorParam::Serialize(CArchive& ar, CPlenimetraParam* param)
{
  const bool reading = ar.m_bOpen;
  const int v = ar.GetVersion();
  ar.Serialize(m_FloorNo);
  ar.Serialize(m_bCalc);
  if (!reading || v >= kFloorExcludes)
    m_CalcExcludeCodes.Serialize(ar);
  if (!reading || v >= kFloorFigures) {
    m_Area1ObjectArray.Serialize(ar, param);
    m_HotLinkParamArray.Serialize(ar);
  }
  if (!reading || v >= kFloorOutputExcludes)
    m_OutputExcludeCodes.Serialize(ar);
}

void CFloorParamArray::Serialize(CArchive& ar, CPlenimetraParam* param)
{
  if (!ar.m_bOpen) {
    ar << int(size());
    for (CFloorParam& floor : *this)
      floor.Serialize(ar, param);
    ar << m_bCalcPerFloor;
    return;
  }
  int count = 0;
  ar >> count;
  if (!ar.CanHold(count, kMinFloorBytes))
    throw CArchive::kPastEnd;
  assign(std::size_t(count), CFloorParam());
  for (CFloorParam& floor : *this)
    floor.Serialize(ar, param);  // a refused floor throws
  if (ar.GetVersion() >= kFloorExcludes)
    ar >> m_bCalcPerFloor;
}
