// The figure record: texts, formula building, the user-data record and its
// migration, and the common part of placing a figure's element.

#include "CArea1Object.h"

#include "CGSUtil.h"
#include "CLayerControl.h"
#include "CPlenimetraParam.h"
#include "CPlenimetraUserDataCore.h"
#include "DocRecord.h"
#include "HostHandles.h"
#include "host_assert.h"
#include "host_elements.h"
#include "host_environment.h"
#include "host_memory.h"
#include "host_userdata.h"

#include <cstdio>
#include <utility>

namespace {

// Versions of the figure's user-data record at which fields appeared.
constexpr short kVersionFirst = 1;
constexpr short kVersionSortIndex = 2;  // and the item number
constexpr short kVersionType = 4;
constexpr short kVersionLinkGuid = 5;
constexpr short kVersionLinkOperator = 7;
constexpr short kVersionAutoCr = 8;
// A version-1 record holds fields only when its data is longer than the
// leading user-data type.
constexpr int kVersion1MinBytes = 5;

constexpr long long kRawPerSquareMetre = 100000000;  // 1e-8 m²

COperatorTable::OPERATOR ToOperator(int value)
{
  return static_cast<COperatorTable::OPERATOR>(value);
}

}  // namespace

// The fields the user-data record carries, kept aside while a record is
// read so a refused one leaves the figure as it was.
struct CArea1Object::Common {
  int code;
  int sortIndex;
  int no;
  CItemType1Table::ITEMTYPE mark;
  CItemType2Table::ITEMTYPE numbering;
  CRoundTypeTable::ROUNDTYPE roundType;
  CCrMarkArray cr;
  TYPE type;
  CAutoAreaParamCodeList link;
  bool autoCr;
};

CArea1Object::CArea1Object(CPlenimetraParam*, TYPE type, int code, CItemType1Table::ITEMTYPE mark,
                           CItemType2Table::ITEMTYPE numbering, int no)
    : m_Code(code), m_No(no), m_ItemType1(mark), m_ItemType2(numbering), m_Type(type)
{
}

bool CArea1Object::IsValidCode(int code) { return DocCode::IsValidCode(code); }

bool CArea1Object::IsValidNumber(int number) { return DocCode::IsValidNumber(number); }

// ---- texts and values ------------------------------------------------------

GS::UniString CArea1Object::GetMarkStr(const CPlenimetraParam* param) const
{
  return param->m_ItemType1Table.GetPrintedMarkStr(m_ItemType1);
}

GS::UniString CArea1Object::GetItemNoStr(const CPlenimetraParam* param) const
{
  return param->m_ItemType2Table.GetItemNoStr(m_ItemType2, m_No);
}

GS::UniString CArea1Object::GetRoundTypeStr(const CPlenimetraParam* param) const
{
  return param->m_RoundTypeTable.GetRoundTypeStr(m_RoundType);
}

long long CArea1Object::GetRoundArea(const CPlenimetraParam* param) const
{
  return param->GetRoundArea1(GetOrgArea(param), m_RoundType, param->GetArea1DefaultRoundType());
}

bool CArea1Object::IsDefaultRoundType(const CPlenimetraParam* param) const
{
  if (m_RoundType == CRoundTypeTable::ROUNDTYPE_DEFAULT)
    return true;
  const CRoundTypeItem* item = param->GetArea1DefaultRoundType();
  return item != nullptr && m_RoundType == item->m_Type;
}

GS::UniString CArea1Object::GetRoundAreaStr(const CPlenimetraParam* param) const
{
  const int digits = CRoundTypeItem::DigitOf(param->GetArea1DefaultRoundType(), CRoundTypeParam::kDefaultArea1);
  GS::UniString text = IsDefaultRoundType(param) ? GS::UniString() : GS::UniString(u"*");
  return text + param->GetAreaStr(GetRoundArea(param), digits);
}

GS::UniString CArea1Object::GetOrgAreaStr(const CPlenimetraParam* param) const
{
  const long long raw = GetOrgArea(param);
  // The sign is written once and the rest for the magnitude, as every other
  // area text does; the most negative value cannot occur as an area.
  const long long magnitude = raw < 0 ? -raw : raw;
  char text[32];
  std::snprintf(text, sizeof text, "%lld", magnitude / kRawPerSquareMetre);
  GS::UniString whole(text, CC_Default);
  if (param->m_EnvParam.m_AreaComma)
    whole = CPlenimetraParam::AddComma(whole);
  std::snprintf(text, sizeof text, ".%08lld", magnitude % kRawPerSquareMetre);
  return GS::UniString(raw < 0 ? u"-" : u"") + whole + GS::UniString(text, CC_Default);
}

int CArea1Object::GetEquationLines() const
{
  int lines = 0;
  for (const CCrMark& mark : m_Cr)
    lines += mark.m_bCr ? 1 : 0;
  return lines;
}

GS::UniString CArea1Object::GetInfo() const
{
  GS::UniString info;
  API_Guid guid = m_Element.header.guid;
  // An element the host keeps no information for shows none.
  (void)ACAPI_Database('GEIS', &guid, &info);
  return info;
}

GS::UniString CArea1Object::GetLayerName() const
{
  GS::UniString name;
  // A layer that is gone has no name.
  if (CGSUtil::GetAttrName(API_LayerID, m_Element.header.layer, name) != NoError)
    name.Clear();
  return name;
}

int CArea1Object::GetColor(const CPlenimetraParam* param) const { return param->GetListingColor(*this); }

// ---- formula building ------------------------------------------------------

void CArea1Object::SetAutoCr(const CPlenimetraParam*, const std::vector<GS::UniString>& terms, CCrMarkArray& marks,
                             int width)
{
  if (terms.size() < 2)
    return;
  marks.SetMinSize(terms.size() - 1);
  // Compared as unsigned numbers, so a negative width breaks before every term.
  const auto limit = static_cast<unsigned int>(width);
  unsigned int running = terms[0].GetLength();
  for (std::size_t i = 1; i < terms.size(); ++i) {
    const unsigned int length = terms[i].GetLength();
    const bool breaks = running + length > limit;
    marks[i - 1].m_bCr = breaks;
    running = breaks ? length : running + length;
  }
}

GS::UniString CArea1Object::GetEquation(const CPlenimetraParam* param, bool allBreaks,
                                        const std::vector<GS::UniString>& terms, int width)
{
  if (terms.empty())
    return {};
  // A stored record may carry fewer marks than the kind's formula has gaps.
  m_Cr.SetMinSize(terms.size() - 1);
  if (m_bAutoCr)
    SetAutoCr(param, terms, m_Cr, width);
  GS::UniString text = terms[0];
  for (std::size_t i = 1; i < terms.size(); ++i)
    text += m_Cr[i - 1].GetStr(allBreaks) + terms[i];
  return text;
}

// ---- the user-data record --------------------------------------------------

void CArea1Object::Serialize(CPlenimetraUserDataCore& data)
{
  if (!data.IsOpen()) {
    data << m_AutoArea.m_ElemGuid << static_cast<int>(m_AutoArea.m_Operator) << static_cast<int>(m_Type) << m_Code
         << static_cast<int>(m_ItemType1) << static_cast<int>(m_ItemType2) << static_cast<int>(m_RoundType)
         << RecordSortIndex() << m_No;
    m_Cr.Serialize(data);
    data << m_bAutoCr;
    return;
  }
  const short version = data.GetVersion();
  int value = 0;
  if (version >= kVersionLinkGuid)
    data >> m_AutoArea.m_ElemGuid;
  if (version >= kVersionLinkOperator) {
    data >> value;
    m_AutoArea.m_Operator = ToOperator(value);
  }
  if (version >= kVersionType) {
    data >> value;
    m_Type = static_cast<TYPE>(value);
  }
  const bool numbers = version >= kVersionSortIndex || data.GetDataSize() >= kVersion1MinBytes;
  if (numbers) {
    int mark = 0;
    int numbering = 0;
    int roundType = 0;
    data >> m_Code >> mark >> numbering >> roundType;
    m_ItemType1 = static_cast<CItemType1Table::ITEMTYPE>(mark);
    m_ItemType2 = static_cast<CItemType2Table::ITEMTYPE>(numbering);
    m_RoundType = static_cast<CRoundTypeTable::ROUNDTYPE>(roundType);
    if (version >= kVersionSortIndex) {
      data >> m_SortIndex >> m_No;
      m_Recorded = {m_SortIndex, m_SortIndex};
    }
    m_Cr.Serialize(data);
  }
  if (version >= kVersionAutoCr)
    data >> m_bAutoCr;
}

CArea1Object::Common CArea1Object::TakeCommon() const
{
  return Common{m_Code, m_SortIndex, m_No, m_ItemType1, m_ItemType2, m_RoundType, m_Cr, m_Type, m_AutoArea, m_bAutoCr};
}

void CArea1Object::PutCommon(const Common& common)
{
  m_Code = common.code;
  m_SortIndex = common.sortIndex;
  m_No = common.no;
  m_ItemType1 = common.mark;
  m_ItemType2 = common.numbering;
  m_RoundType = common.roundType;
  m_Cr = common.cr;
  m_Type = common.type;
  m_AutoArea = common.link;
  m_bAutoCr = common.autoCr;
}

CArea1Object::LoadFault CArea1Object::JudgeReadRecord(const Common& before)
{
  // The old rectangle is read as the slanted one, which is what it loads as.
  if (m_Type == TYPE_RECT)
    m_Type = TYPE_RECTSLANT;
  if (before.type != TYPE_NONE && m_Type != before.type)
    return LoadFault::Kind;
  // Only what the record changed is judged: an old record without numbers
  // leaves the figure's own.
  const bool codeOk = m_Code == before.code || IsValidCode(m_Code);
  return codeOk && IsValidNumber(m_No) && IsValidNumber(m_SortIndex) ? LoadFault::None : LoadFault::Damaged;
}

GSErrCode CArea1Object::ReadUserData(const API_Elem_Head* head, short* version, LoadFault* fault)
{
  const Common before = TakeCommon();
  CPlenimetraUserDataCore data;
  LoadFault found = LoadFault::None;
  // The figure record's load begins here: thrown codes end here.
  try {
    data.Open(CPlenimetraUserDataCore::MODE_READ, head);
    if (data.GetError() != NoError)
      return data.GetError();
    *version = data.GetVersion();
    if (*version < kVersionFirst || *version > kUserDataVersion) {
      found = LoadFault::Version;
    } else {
      Serialize(data);
      found = JudgeReadRecord(before);
    }
  } catch (unsigned int) {
    found = LoadFault::Damaged;
  }
  data.Close();
  if (fault != nullptr)
    *fault = found;
  if (found == LoadFault::None)
    return NoError;
  PutCommon(before);
  return APIERR_BADPARS;
}

GSErrCode CArea1Object::Save()
{
  CPlenimetraUserDataCore data;
  data.SetUserDataType(static_cast<CMyUserDataCore::TYPE>(kUserDataType));
  data.Open(CPlenimetraUserDataCore::MODE_WRITE, &m_Element.header);
  if (data.GetError() != NoError)
    return data.GetError();
  data.SetVersion(kUserDataVersion);
  const RecordedIndex written{m_SortIndex, RecordSortIndex()};
  Serialize(data);
  data.Close();
  if (data.GetError() == NoError)
    m_Recorded = written;
  return data.GetError();
}

GSErrCode CArea1Object::Load(CPlenimetraParam* param, const API_Elem_Head* head, LoadFault* fault)
{
  short version = kUserDataVersion;
  const GSErrCode err = ReadUserData(head, &version, fault);
  if (err == APIERR_NOUSERDATA)
    return NoError;
  if (err != NoError)
    return err;
  CompleteOldLink(param, head, version);
  return NoError;
}

void CArea1Object::CompleteOldLink(CPlenimetraParam* param, const API_Elem_Head* head, short version)
{
  CFloorParam* floor = param->m_FloorParamArray.Search(head->floorInd);
  // Before version 5 the source was found through the record's code list.
  if (version < kVersionLinkGuid) {
    const CAutoAreaParam* record = floor != nullptr ? floor->m_AutoAreaParamArray.SearchOld(m_Code) : nullptr;
    m_AutoArea.m_ElemGuid = record != nullptr ? ToGSGuid(record->GetGuid()) : GS::Guid();
  }
  // Before version 7 a linked figure was always added.
  if (version < kVersionLinkOperator && !m_AutoArea.m_ElemGuid.IsNull() && floor != nullptr) {
    const API_Guid guid = ToAPIGuid(m_AutoArea.m_ElemGuid);
    const CAutoAreaParam* record = floor->m_AutoAreaParamArray.Search(&guid);
    if (record != nullptr && record->SearchOld(m_Code)) {
      m_AutoArea.m_ElemGuid = ToGSGuid(record->GetGuid());
      m_AutoArea.m_Operator = COperatorTable::OPERATOR_PLUS;
    }
  }
}

void CArea1Object::Set(CArea1Object* other) const
{
  PLN_ASSERT(other->m_Code == m_Code);
  PLN_ASSERT(other->m_Type == m_Type);
  other->m_ItemType1 = m_ItemType1;
  other->m_ItemType2 = m_ItemType2;
  other->m_RoundType = m_RoundType;
  other->m_Cr = m_Cr;
  other->m_Element = m_Element;
  other->m_AutoArea = m_AutoArea;
  other->m_bAutoCr = m_bAutoCr;
  other->m_No = m_No;
  other->m_SortIndex = m_SortIndex;
  other->m_Recorded = m_Recorded;
}

bool CArea1Object::SetData(CArea1ObjectArray* list) const
{
  const std::shared_ptr<CArea1Object> same = list->Search(m_Code);
  // A record of another kind under the same code is not this figure.
  if (same == nullptr || same->m_Type != m_Type)
    return false;
  Set(same.get());
  return true;
}

// ---- placement -------------------------------------------------------------

GSErrCode CArea1Object::GetElementParams(API_AddParType**& params) const
{
  API_DatabaseInfo previous;
  if (GSErrCode err = ACAPI_Database('GDAT', &previous); err != NoError)
    return err;
  GSErrCode err = previous.typeID == APIWind_FloorPlanID ? NoError : CGSUtil::ChangeDatabaseFloorPlan();
  API_GetParamsType got;
  if (err == NoError) {
    API_ParamOwnerType owner;
    owner.typeID = API_ObjectID;
    owner.guid = m_Element.header.guid;
    pln::gsutil::ParamsEditing editing;
    err = editing.Open(owner);
    if (err == NoError) {
      err = ACAPI_Goodies('GPAR', &got);
      if (const GSErrCode closeErr = editing.Close(); err == NoError)
        err = closeErr;
    }
  }
  // The database the user was in comes back whatever failed.
  const GSErrCode restoreErr = ACAPI_Database('CDAT', &previous);
  if (err == NoError)
    err = restoreErr;
  pln::gsutil::ParamsGuard taken;
  taken.params = got.params;
  if (err != NoError)
    return err;
  params = taken.params;
  taken.params = nullptr;  // the caller's now
  return NoError;
}

namespace {

// Creates the element with the parameter list (which it releases) while its
// layer is shown and unlocked, and puts the layer back.
GSErrCode CreateWithParams(API_Element& element, API_AddParType**& params)
{
  CLayerControl layer(element.header.layer);
  pln::gsutil::ParamsGuard taken;
  std::swap(taken.params, params);
  API_ElementMemo memo;
  memo.params = taken.params;
  GSErrCode err = ACAPI_Element_Create(&element, &memo);
  if (const GSErrCode restored = layer.Reset(); err == NoError)
    err = restored;
  return err;
}

// Whether the floor plan is the current database; err receives a failure.
bool IsOnFloorPlan(GSErrCode& err)
{
  API_DatabaseInfo current;
  err = ACAPI_Database('GDAT', &current);
  return err == NoError && current.typeID == APIWind_FloorPlanID;
}

// Saves the record into its element and observes the element, with the
// element's layer shown and unlocked for the write.
GSErrCode SaveAndObserve(CArea1Object& record, const API_Guid& observed)
{
  CLayerControl layer(record.m_Element.header.layer);
  GSErrCode err = record.Save();
  if (err == NoError)
    err = ACAPI_Element_AttachObserver(observed);
  if (const GSErrCode restored = layer.Reset(); err == NoError)
    err = restored;
  return err;
}

}  // namespace

GSErrCode CArea1Object::CopyObject(CPlenimetraParam* param, short floor, const std::shared_ptr<CArea1Object>& dest)
{
  CFloorParam* target = param->m_FloorParamArray.Search(floor);
  if (target == nullptr)
    return APIERR_BADINDEX;
  dest->m_SortIndex = m_SortIndex;
  dest->m_RoundType = m_RoundType;
  if (dest.get() != this)
    dest->m_Cr = m_Cr;
  target->m_Area1ObjectArray.push_back(dest);
  dest->m_Element = m_Element;
  dest->m_Element.header.guid = APINULLGuid;

  // A copy that gets no element leaves the list again: a listed record
  // without an element could never be saved, renumbered or deleted.
  const auto unlist = [&](GSErrCode err) {
    auto& list = target->m_Area1ObjectArray;
    if (!list.empty() && list.back() == dest)
      list.pop_back();
    return err;
  };
  API_AddParType** params = nullptr;
  if (GSErrCode err = GetElementParams(params); err != NoError)
    return unlist(err);
  dest->m_Element.header.floorInd = floor;
  // The layer written is the copy's own; the guard puts it back afterwards.
  if (GSErrCode err = CreateWithParams(dest->m_Element, params); err != NoError)
    return unlist(err);

  GSErrCode err = NoError;
  if (!IsOnFloorPlan(err))
    return err;
  return SaveAndObserve(*dest, dest->m_Element.header.guid);
}

GSErrCode CArea1Object::CreateElement(CPlenimetraParam*, API_Element* element, short layer)
{
  *element = m_Element;
  element->header.layer = layer;
  element->header.guid = APINULLGuid;
  API_AddParType** params = nullptr;
  if (GSErrCode err = GetElementParams(params); err != NoError)
    return err;
  element->header.floorInd = CGSUtil::GetActStory();
  if (GSErrCode err = CreateWithParams(*element, params); err != NoError)
    return err;

  GSErrCode err = NoError;
  if (!IsOnFloorPlan(err))
    return err;
  return SaveAndObserve(*this, element->header.guid);
}

GSErrCode CArea1Object::LoadMark(CPlenimetraParam* param, const API_Elem_Head& head)
{
  pln::gsutil::MemoGuard guard;
  const API_ElementMemo& memo = guard.memo;
  if (GSErrCode err = ACAPI_Element_GetMemo(head.guid, &guard.memo); err != NoError)
    return err;
  const GSSize count =
      BMGetHandleSize(reinterpret_cast<GSConstHandle>(memo.params)) / static_cast<GSSize>(sizeof(API_AddParType));
  for (GSSize i = 0; i < count; ++i) {
    const API_AddParType& par = (*memo.params)[i];
    const std::string name(par.name);
    if (name != "area_symbol_fig" && name != "area_symbol_str")
      continue;
    const GS::UniString::CStr text = GS::UniString(par.uStrValue).ToCStr(CC_Default);
    if (name == "area_symbol_fig") {
      if (const CItemType1Table* row = param->m_ItemType1Table.Search(text.Get()))
        m_ItemType1 = row->m_Code;
    } else if (CItemType2Table::ITEMTYPE style = param->m_ItemType2Table.Search(text.Get(), m_No);
               style != CItemType2Table::ITEMTYPE_NONE) {
      m_ItemType2 = style;
    }
  }
  return NoError;
}

// ---- CArea1ObjectCore ------------------------------------------------------

CArea1ObjectCore::CArea1ObjectCore(CPlenimetraParam* param, TYPE type, int code, CItemType1Table::ITEMTYPE mark,
                                   CItemType2Table::ITEMTYPE numbering, int no)
    : CArea1Object(param, type, code, mark, numbering, no)
{
}

GSErrCode CArea1ObjectCore::Load(const API_Elem_Head* head)
{
  short version = kUserDataVersion;
  return ReadUserData(head, &version, nullptr);
}

GSErrCode CArea1Object::Create(CPlenimetraParam* /*param*/, CKelAreaCoord2D /*points*/, short /*floor*/)
{
  return APIERR_BADPARS;
}

CKelAreaCoord2D CArea1Object::GetCoord()
{
  return {};
}

GSErrCode CArea1Object::CreateFromDump(CPlenimetraParam*, short, short, const CDumpFigure&)
{
  return APIERR_BADPARS;
}
