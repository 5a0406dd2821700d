// Automatic-area records against the host: their store (the source
// element's user data, or the floor's hot-link list for elements of
// hot-linked modules), their figures, the releasing of a record, and the
// texts and colour the lists show for a source element.

#include "CAutoAreaParam.h"

#include "CArea1Object.h"
#include "CFloorParam.h"
#include "CLayerControl.h"
#include "CPlenimetraParam.h"
#include "CPlenimetraUserDataCore.h"
#include "CSelectList.h"
#include "host_attributes.h"
#include "host_elements.h"
#include "host_environment.h"
#include "host_userdata.h"

namespace {

constexpr int kUserDataType = 700;
constexpr const char16_t* kUndefined = u"未定義";

CFloorParam* FloorOf(CPlenimetraParam* param, short story)
{
  return param == nullptr ? nullptr : param->m_FloorParamArray.Search(story);
}

const CFloorParam* FloorOf(const CPlenimetraParam* param, short story)
{
  return param == nullptr ? nullptr : param->m_FloorParamArray.Search(story);
}

// Opens the element's record for reading; the stream's error, or
// APIERR_BADPARS when even the type cannot be read.
GSErrCode OpenForReading(CPlenimetraUserDataCore& data, const API_Elem_Head& head)
{
  // The zone record's load begins here (and goes on in Load): thrown codes
  // end here.
  try {
    data.Open(CPlenimetraUserDataCore::MODE_READ, &head);
  } catch (unsigned int) {
    return data.GetError() != NoError ? data.GetError() : APIERR_BADPARS;
  }
  return data.GetError();
}

}  // namespace

// --- The store ------------------------------------------------------------------

bool CAutoAreaParam::IsHaveData(const CPlenimetraParam* param) const
{
  bool has = false;
  return FindData(param, has) == NoError && has;
}

GSErrCode CAutoAreaParam::FindData(const CPlenimetraParam* param, bool& has) const
{
  has = false;
  if (CHotLinkParamArray::IsHotLink(GetGuid())) {
    const CFloorParam* floor = FloorOf(param, GetFloor());
    has = floor != nullptr && floor->m_HotLinkParamArray.IsHaveData(GetGuid());
    return NoError;
  }
  CPlenimetraUserDataCore data;
  if (const GSErrCode err = OpenForReading(data, m_ElemHead); err != NoError)
    return err == APIERR_NOUSERDATA || err == APIERR_BADPARS ? NoError : err;
  has = !data.IsEOF();
  data.Close();
  return NoError;
}

int CAutoAreaParam::Load(CPlenimetraParam* param)
{
  if (CHotLinkParamArray::IsHotLink(GetGuid())) {
    CFloorParam* floor = FloorOf(param, GetFloor());
    if (floor == nullptr)
      return APIERR_BADINDEX;
    if (const CAutoAreaParam* stored = floor->m_HotLinkParamArray.Search(GetGuid())) {
      m_AutoCutType = stored->m_AutoCutType;
      m_ItemType1 = stored->m_ItemType1;
      m_ItemType2 = stored->m_ItemType2;
    }
    return SetItemType(param);
  }
  CPlenimetraUserDataCore data;
  const GSErrCode err = OpenForReading(data, m_ElemHead);
  if (err == APIERR_NOUSERDATA)
    return NoError;
  if (err != NoError)
    return err;
  // Read into a copy: a record that breaks off halfway must not leave half
  // its fields behind.
  CAutoAreaParam read(*this);
  // Thrown codes of the zone record's load end here.
  try {
    read.Serialize(data);
  } catch (unsigned int) {
    data.Close();
    return APIERR_BADPARS;
  }
  data.Close();
  *this = read;
  return SetItemType(param);
}

int CAutoAreaParam::Save(CPlenimetraParam* param, CAutoCutType cutType)
{
  m_AutoCutType = cutType;
  if (CHotLinkParamArray::IsHotLink(GetGuid())) {
    CFloorParam* floor = FloorOf(param, GetFloor());
    if (floor == nullptr)
      return APIERR_BADINDEX;
    floor->m_HotLinkParamArray.Add(this);
    return NoError;
  }
  CPlenimetraUserDataCore data;
  data.SetUserDataType(static_cast<CMyUserDataCore::TYPE>(kUserDataType));
  data.Open(CPlenimetraUserDataCore::MODE_WRITE, &m_ElemHead);
  if (data.GetError() == NoError) {
    data.SetVersion(kUserDataVersion);
    Serialize(data);
    data.Close();
  }
  return data.GetError();
}

int CAutoAreaParam::ClearData(CPlenimetraParam* param)
{
  if (CHotLinkParamArray::IsHotLink(GetGuid())) {
    CFloorParam* floor = FloorOf(param, GetFloor());
    if (floor != nullptr)
      floor->m_HotLinkParamArray.Remove(GetGuid());
    return NoError;
  }
  CPlenimetraUserDataCore data;
  data.SetUserDataType(static_cast<CMyUserDataCore::TYPE>(kUserDataType));
  data.Open(CPlenimetraUserDataCore::MODE_WRITE, &m_ElemHead);
  if (data.GetError() == NoError) {
    data.SetVersion(kUserDataVersion);
    data.Close();
  }
  return data.GetError();
}

int CAutoAreaParam::SetItemType(CPlenimetraParam* param)
{
  if (m_ItemType1 != CItemType1Table::ITEMTYPE_NONE && m_ItemType2 != CItemType2Table::ITEMTYPE_NONE)
    return NoError;
  int result = NoError;
  for (const std::shared_ptr<CArea1Object>& figure : GetAutoArea(param)) {
    if (figure->m_ItemType1 != CItemType1Table::ITEMTYPE_NONE &&
        figure->m_ItemType2 != CItemType2Table::ITEMTYPE_NONE) {
      m_ItemType1 = figure->m_ItemType1;
      m_ItemType2 = figure->m_ItemType2;
      result = Save(param, m_AutoCutType);
      break;
    }
  }
  if ((m_ItemType1 == CItemType1Table::ITEMTYPE_NONE || m_ItemType2 == CItemType2Table::ITEMTYPE_NONE) &&
      param != nullptr) {
    m_ItemType1 = param->m_CurItemType1;
    m_ItemType2 = param->m_CurItemType2;
  }
  return result;
}

std::vector<std::shared_ptr<CArea1Object>> CAutoAreaParam::GetAutoArea(const CPlenimetraParam* param) const
{
  std::vector<std::shared_ptr<CArea1Object>> figures;
  const CFloorParam* floor = FloorOf(param, GetFloor());
  if (floor == nullptr)
    return figures;
  for (const std::shared_ptr<CArea1Object>& figure : floor->m_Area1ObjectArray) {
    if (figure != nullptr && figure->m_AutoArea.m_ElemGuid == ToGSGuid(GetGuid()))
      figures.push_back(figure);
  }
  return figures;
}

void CAutoAreaParam::FreedNumbers(const std::vector<std::shared_ptr<CArea1Object>>& figures, CSelectList& numbers)
{
  if (figures.empty())
    return;
  const CArea1Object& first = *figures.front();
  for (const std::shared_ptr<CArea1Object>& figure : figures) {
    if (figure->m_ItemType1 == first.m_ItemType1 && figure->m_ItemType2 == first.m_ItemType2)
      numbers.push_back(figure->m_No);
  }
}

int CAutoAreaParam::DoDeleteArea1(CPlenimetraParam* param, CSelectList* freedNumbers)
{
  const std::vector<std::shared_ptr<CArea1Object>> figures = GetAutoArea(param);
  if (freedNumbers != nullptr)
    FreedNumbers(figures, *freedNumbers);
  CArea1ObjectPtrArray gone;
  for (const std::shared_ptr<CArea1Object>& figure : figures)
    gone.Add(figure);
  return param->DoDeleteArea1(gone);
}

void CAutoAreaParam::Area1Deleted(CArea1Object* figure)
{
  if (figure != nullptr)
    figure->m_AutoArea.Clear();
}

// --- Releasing ------------------------------------------------------------------

void CAutoAreaParamArray::Unlink(const CPlenimetraParam* param, const CAutoAreaParam& record)
{
  for (const std::shared_ptr<CArea1Object>& figure : record.GetAutoArea(param))
    figure->m_AutoArea.m_ElemGuid = GS::Guid();
}

void CAutoAreaParamArray::Remove(CPlenimetraParam* param, const API_Guid* guid)
{
  const CAutoAreaParam* record = Search(guid);
  if (record == nullptr)
    return;
  Unlink(param, *record);
  erase(begin() + (record - data()));
}

int CAutoAreaParamArray::ReleaseAutoArea(CPlenimetraParam* param, const CAutoAreaParam& record)
{
  // The caller's record may be one of this list's own entries.
  const CAutoAreaParam released(record);
  Unlink(param, released);
  CAutoAreaParam store(released);
  const int err = store.ClearData(param);
  if (CAutoAreaParam* listed = Search(&released.GetGuid()))
    erase(begin() + (listed - data()));
  return err;
}

void CAutoAreaParamArray::Area1Deleted(CArea1Object* figure) const
{
  if (!empty())
    CAutoAreaParam::Area1Deleted(figure);
}

// --- Texts -------------------------------------------------------------------------

namespace {

bool ReadElement(const API_Guid& guid, API_Element& element)
{
  element = API_Element{};
  element.header.guid = guid;
  return ACAPI_Element_Get(&element) == NoError;
}

bool ReadIdText(const API_Guid& guid, GS::UniString& text)
{
  API_Guid element = guid;
  return ACAPI_Database('GEIS', &element, &text) == NoError;
}

bool ReadZoneCategory(const API_Element& zone, API_Attribute& category)
{
  category = API_Attribute{};
  category.header.typeID = API_ZoneCatID;
  category.header.index = zone.zone.catInd;
  return ACAPI_Attribute_Get(&category) == NoError;
}

}  // namespace

GS::UniString CAutoAreaParam::GetName() const
{
  API_Element element;
  if (!ReadElement(GetGuid(), element))
    return {};
  const API_ElemTypeID type = element.header.typeID;
  if (type == API_PolyLineID)
    return u"(ﾎﾟﾘﾗｲﾝ)";
  GS::UniString name;
  if (type == API_ZoneID || type == API_SlabID || type == API_HatchID) {
    if (ReadIdText(GetGuid(), name)) {
      if (type == API_ZoneID)
        name += GS::UniString(u"(") + element.zone.roomName + GS::UniString(u")");
      else
        name += type == API_SlabID ? GS::UniString(u"(ｽﾗﾌﾞ)") : GS::UniString(u"(塗りつぶし)");
    }
  }
  return name.IsEmpty() ? GS::UniString(kUndefined) : name;
}

GS::UniString CAutoAreaParam::GetInfo() const
{
  API_Element element;
  GS::UniString id;
  if (!ReadElement(GetGuid(), element))
    return id;
  const API_ElemTypeID type = element.header.typeID;
  if (type == API_ZoneID || type == API_SlabID || type == API_HatchID)
    ReadIdText(GetGuid(), id);
  return id;
}

namespace {

// A zone's own text (room name or number); the ID of a slab, fill or
// polyline (empty when it cannot be read); "未定義" for other elements and
// empty when the element cannot be read.
GS::UniString ZoneTextOrId(const API_Guid& guid, GS::UniString API_ZoneType::*zoneText)
{
  API_Element element;
  GS::UniString text;
  if (!ReadElement(guid, element))
    return text;
  const API_ElemTypeID type = element.header.typeID;
  if (type == API_ZoneID)
    return element.zone.*zoneText;
  if (type == API_SlabID || type == API_HatchID || type == API_PolyLineID) {
    ReadIdText(guid, text);
    return text;
  }
  return kUndefined;
}

}  // namespace

GS::UniString CAutoAreaParam::GetRoomName() const
{
  return ZoneTextOrId(GetGuid(), &API_ZoneType::roomName);
}

GS::UniString CAutoAreaParam::GetRoomNo() const
{
  return ZoneTextOrId(GetGuid(), &API_ZoneType::roomNoStr);
}

GS::UniString CAutoAreaParam::GetZoneCategory() const
{
  API_Element element;
  API_Attribute category;
  if (!ReadElement(GetGuid(), element) || element.header.typeID != API_ZoneID || !ReadZoneCategory(element, category))
    return {};
  return category.header.name;
}

API_RGBColor CAutoAreaParam::GetColor() const
{
  const API_RGBColor white{1.0, 1.0, 1.0};
  API_Element element;
  API_Attribute category;
  if (!ReadElement(GetGuid(), element) || element.header.typeID != API_ZoneID || !ReadZoneCategory(element, category))
    return white;
  const API_RGBColor& rgb = category.zoneCat.rgb;
  if (rgb.f_red == 0.0 && rgb.f_green == 0.0 && rgb.f_blue == 0.0)
    return white;
  return rgb;
}
