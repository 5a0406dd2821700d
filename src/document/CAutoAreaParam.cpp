#include "CAutoAreaParam.h"

#include "CArchive.h"
#include "CPlenimetraUserDataCore.h"

#include <algorithm>

struct CAutoAreaParam::Gates {
  int codeListUntil;  // the early code list was stored up to this version
  int cutKindFrom;    // at exactly this version the holes flag reads false
  int holesFrom;
  int itemTypesFrom;
  int cutFlagsFrom;
};

const CAutoAreaParam::Gates CAutoAreaParam::kUserDataGates{6, 4, 5, 6, 9};
// The project record counts its own versions (1003 on), so in practice it
// always holds the full form; the gates are those its form was stored with.
const CAutoAreaParam::Gates CAutoAreaParam::kRecordGates{6, 4, 5, 6, 20};

// ---- CAutoCutType ----------------------------------------------------------

void CAutoCutType::Serialize(CArchive& ar)
{
  int type = m_Type;
  ar.Serialize(type);
  m_Type = static_cast<AUTOCUTTYPE>(type);
  ar.Serialize(m_bWithHoles);
  ar.Serialize(m_bCutAcross);
  ar.Serialize(m_bFollowEdges);
}

// ---- CAutoAreaParamCodeList ------------------------------------------------

void CAutoAreaParamCodeList::Serialize(CArchive& ar)
{
  ar.Serialize(m_ElemGuid);
  int op = m_Operator;
  ar.Serialize(op);
  m_Operator = static_cast<COperatorTable::OPERATOR>(op);
}

// ---- CAutoAreaParam --------------------------------------------------------

CAutoAreaParam::CAutoAreaParam(const API_Elem_Head* head)
{
  if (head != nullptr)
    m_ElemHead = *head;
}

bool CAutoAreaParam::SearchOld(int code) const
{
  return std::find(m_CodeList.begin(), m_CodeList.end(), code) != m_CodeList.end();
}

template <class Stream> void CAutoAreaParam::WriteFields(Stream& out) const
{
  out << static_cast<int>(m_AutoCutType.m_Type) << m_AutoCutType.m_bWithHoles << m_AutoCutType.m_bCutAcross
      << m_AutoCutType.m_bFollowEdges << static_cast<int>(m_ItemType1) << static_cast<int>(m_ItemType2);
}

template <class Stream> void CAutoAreaParam::ReadFields(Stream& in, int version, const Gates& gates)
{
  if (version <= gates.codeListUntil) {
    int count = 0;
    in >> count;
    // Each code takes four bytes; a count the data cannot hold is refused
    // before anything is allocated.
    if (!in.CanHold(count, sizeof(int)))
      throw Stream::kPastEnd;
    m_CodeList.assign(static_cast<std::size_t>(count), 0);
    for (int& code : m_CodeList)
      in >> code;
  }
  if (version >= gates.cutKindFrom) {
    int type = 0;
    in >> type;
    m_AutoCutType.m_Type = static_cast<CAutoCutType::AUTOCUTTYPE>(type);
  }
  if (version >= gates.holesFrom) {
    in >> m_AutoCutType.m_bWithHoles;
  } else if (version == gates.cutKindFrom) {
    // Records of that version always cut the outer contour alone.
    m_AutoCutType.m_bWithHoles = false;
  }
  if (version >= gates.cutFlagsFrom)
    in >> m_AutoCutType.m_bCutAcross >> m_AutoCutType.m_bFollowEdges;
  if (version >= gates.itemTypesFrom) {
    int mark = 0;
    int numbering = 0;
    in >> mark >> numbering;
    m_ItemType1 = static_cast<CItemType1Table::ITEMTYPE>(mark);
    m_ItemType2 = static_cast<CItemType2Table::ITEMTYPE>(numbering);
  }
}

void CAutoAreaParam::Serialize(CPlenimetraUserDataCore& data)
{
  if (data.IsOpen()) {
    ReadFields(data, data.GetVersion(), kUserDataGates);
  } else {
    WriteFields(data);
  }
}

void CAutoAreaParam::SerializeRecord(CArchive& ar)
{
  if (ar.m_bOpen) {
    ReadFields(ar, ar.GetVersion(), kRecordGates);
  } else {
    WriteFields(ar);
  }
}

// ---- CAutoAreaParamArray ---------------------------------------------------

CAutoAreaParam* CAutoAreaParamArray::Search(const API_Guid* guid)
{
  if (guid == nullptr)
    return nullptr;
  for (CAutoAreaParam& record : *this) {
    if (record.GetGuid() == *guid)
      return &record;
  }
  return nullptr;
}

const CAutoAreaParam* CAutoAreaParamArray::Search(const API_Guid* guid) const
{
  return const_cast<CAutoAreaParamArray*>(this)->Search(guid);
}

CAutoAreaParam* CAutoAreaParamArray::SearchOld(int code)
{
  for (CAutoAreaParam& record : *this) {
    if (record.SearchOld(code))
      return &record;
  }
  return nullptr;
}

void CAutoAreaParamArray::Add(const CAutoAreaParam& record)
{
  if (CAutoAreaParam* same = Search(&record.GetGuid())) {
    *same = record;
    return;
  }
  push_back(record);
}
