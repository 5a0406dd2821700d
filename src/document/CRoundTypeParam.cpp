#include "CRoundTypeParam.h"

#include "CArchive.h"
#include "CPaiTable.h"
#include "DocRecord.h"

#include <algorithm>
#include <string>

namespace {

// Versions at which the stored forms gained a field.
constexpr int kArchiveArea1Digit = 1038;   // figure-area item with its digit
constexpr int kArchivePaiCode = 1008;
constexpr int kArchiveRoundUpFlag = 1045;
constexpr int kArchiveMaxId = 1010;
constexpr int kFileUniName = 22;
constexpr int kFileArea1Digit = 19;
constexpr int kFilePaiCode = 5;
constexpr int kFileRoundUpFlag = 23;
constexpr int kFileMaxId = 7;

// Older records stored only the figure-area kind; their figures kept every
// decimal of the area.
constexpr int kOldArea1Digit = 6;

// The fewest bytes one stored preset can take: id, an empty name (length and
// terminator), the figure-area kind alone and three whole items.
constexpr long long kMinPresetBytes = 4 + 3 + 4 + 3 * 8;

bool RepairField(int& value, bool valid, int repaired)
{
  if (valid)
    return true;
  value = repaired;
  return false;
}

}  // namespace

const CRoundTypeItem CRoundTypeParam::kDefaultArea1{CRoundTypeTable::ROUNDTYPE_CUT, 6};
const CRoundTypeItem CRoundTypeParam::kDefaultArea2List{CRoundTypeTable::ROUNDTYPE_CUT, 2};
const CRoundTypeItem CRoundTypeParam::kDefaultAngle{CRoundTypeTable::ROUNDTYPE_CUT, 2};
const CRoundTypeItem CRoundTypeParam::kDefaultLength{CRoundTypeTable::ROUNDTYPE_CUT, 4};

// ---- CRoundTypeItem ---------------------------------------------------------

void CRoundTypeItem::Serialize(CArchive& ar)
{
  int type = m_Type;
  ar.Serialize(type);
  m_Type = CRoundTypeTable::ROUNDTYPE(type);
  ar.Serialize(m_Digit);
}

void CRoundTypeItem::Write(CFileArchive& ar) const
{
  if (ar.GetError() == 0)
    ar << static_cast<int>(m_Type);
  if (ar.GetError() == 0)
    ar << m_Digit;
}

void CRoundTypeItem::Read(CFileArchive& ar)
{
  int type = m_Type;
  if (ar.GetError() == 0)
    ar >> type;
  if (ar.GetError() == 0)
    m_Type = CRoundTypeTable::ROUNDTYPE(type);
  if (ar.GetError() == 0)
    ar >> m_Digit;
}

// ---- CRoundTypeParam ---------------------------------------------------------

CRoundTypeParam::CRoundTypeParam(int id, GS::UniString name, CRoundTypeItem area1, CRoundTypeItem area2List,
                                 CRoundTypeItem angle, CRoundTypeItem length, int paiCode)
    : m_Area1RoundType(area1),
      m_Area2ListRoundType(area2List),
      m_AngleRoundType(angle),
      m_LengthRoundType(length),
      m_Id(id),
      m_Name(std::move(name)),
      m_PaiCode(paiCode)
{
}

bool CRoundTypeParam::Repair()
{
  const int length = m_LengthRoundType.m_Digit;
  const int angle = m_AngleRoundType.m_Digit;
  bool ok = RepairField(m_LengthRoundType.m_Digit, length == kLengthDigitMm || length == kLengthDigitTenthMm,
                        kDefaultLength.m_Digit);
  ok = RepairField(m_AngleRoundType.m_Digit, angle >= 0 && angle <= kAngleDigitMax, kDefaultAngle.m_Digit) && ok;
  ok = RepairField(m_PaiCode, m_PaiCode >= CPaiTableArray::kMinCode && m_PaiCode <= CPaiTableArray::kMaxCode,
                   kDefaultPaiCode) && ok;
  return ok;
}

bool CRoundTypeParam::Serialize(CArchive& ar)
{
  const int v = ar.GetVersion();
  const bool loading = ar.m_bOpen;
  ar.Serialize(m_Id);
  if (v < DocVersion::kHostStringNames) {
    if (loading)
      ar.ReadText(m_Name, CC_Japanese);
    else
      ar.WriteText(m_Name, CC_Japanese);  // old records kept the name in Shift-JIS
  } else {
    ar.Serialize(m_Name);
  }
  if (loading && v < kArchiveArea1Digit) {
    int type = 0;
    ar >> type;
    m_Area1RoundType = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE(type), kOldArea1Digit);
  } else {
    m_Area1RoundType.Serialize(ar);
  }
  m_Area2ListRoundType.Serialize(ar);
  m_AngleRoundType.Serialize(ar);
  m_LengthRoundType.Serialize(ar);
  if (!loading || v >= kArchivePaiCode)
    ar.Serialize(m_PaiCode);
  if (!loading || v >= kArchiveRoundUpFlag)
    ar.Serialize(m_RoundUpNextDigit);
  else
    m_RoundUpNextDigit = false;
  return !loading || Repair();
}

void CRoundTypeParam::Write(CFileArchive& ar) const
{
  if (ar.GetError() == 0)
    ar << m_Id;
  if (ar.GetError() == 0)
    ar << m_Name;
  m_Area1RoundType.Write(ar);
  m_Area2ListRoundType.Write(ar);
  m_AngleRoundType.Write(ar);
  m_LengthRoundType.Write(ar);
  if (ar.GetError() == 0)
    ar << m_PaiCode;
  if (ar.GetError() == 0)
    ar << m_RoundUpNextDigit;
}

bool CRoundTypeParam::Read(CFileArchive& ar)
{
  const int f = ar.GetVersion();
  if (ar.GetError() == 0)
    ar >> m_Id;
  if (ar.GetError() == 0)
    ar.ReadText(m_Name, f < kFileUniName ? CC_Japanese : CC_Default);
  if (f < kFileArea1Digit) {
    int type = m_Area1RoundType.m_Type;
    if (ar.GetError() == 0)
      ar >> type;
    if (ar.GetError() == 0)
      m_Area1RoundType = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE(type), kOldArea1Digit);
  } else {
    m_Area1RoundType.Read(ar);
  }
  m_Area2ListRoundType.Read(ar);
  m_AngleRoundType.Read(ar);
  m_LengthRoundType.Read(ar);
  if (ar.GetError() == 0 && f >= kFilePaiCode)
    ar >> m_PaiCode;
  if (ar.GetError() == 0 && f >= kFileRoundUpFlag)
    ar >> m_RoundUpNextDigit;
  return Repair();
}

// ---- CRoundTypeParamArray -------------------------------------------------------

CRoundTypeParamArray::CRoundTypeParamArray() { emplace_back(0, GS::UniString(u"標準設定")); }

CRoundTypeParam* CRoundTypeParamArray::Search(int id)
{
  auto it = std::find_if(begin(), end(), [id](const CRoundTypeParam& p) { return p.m_Id == id; });
  return it != end() ? &*it : nullptr;
}

const CRoundTypeParam* CRoundTypeParamArray::Search(int id) const
{
  return const_cast<CRoundTypeParamArray*>(this)->Search(id);
}

CRoundTypeParam& CRoundTypeParamArray::AddNew(const GS::UniString& name)
{
  ++m_MaxId;
  return emplace_back(m_MaxId, name);
}

bool CRoundTypeParamArray::operator==(const CRoundTypeParamArray& other) const
{
  return static_cast<const std::vector<CRoundTypeParam>&>(*this) ==
         static_cast<const std::vector<CRoundTypeParam>&>(other);
}

void CRoundTypeParamArray::SetMaxIdFromPresets()
{
  m_MaxId = 0;
  for (const CRoundTypeParam& p : *this)
    m_MaxId = std::max(m_MaxId, p.m_Id);
}

bool CRoundTypeParamArray::Serialize(CArchive& ar)
{
  const int v = ar.GetVersion();
  int count = static_cast<int>(size());
  ar.Serialize(count);
  if (ar.m_bOpen) {
    if (!ar.CanHold(count, kMinPresetBytes))
      throw CArchive::kPastEnd;
    resize(static_cast<std::size_t>(count));
  }
  bool ok = true;
  for (CRoundTypeParam& p : *this)
    ok = p.Serialize(ar) && ok;
  if (v >= kArchiveMaxId)
    ar.Serialize(m_MaxId);
  else if (ar.m_bOpen)
    SetMaxIdFromPresets();
  return ok;
}

void CRoundTypeParamArray::Write(CFileArchive& ar) const
{
  if (ar.GetError() == 0)
    ar << static_cast<int>(size());
  for (const CRoundTypeParam& p : *this)
    p.Write(ar);
  if (ar.GetError() == 0)
    ar << m_MaxId;
}

bool CRoundTypeParamArray::Read(CFileArchive& ar)
{
  int count = 0;
  if (ar.GetError() == 0)
    ar >> count;
  if (ar.GetError() != 0)
    return true;  // nothing was read, nothing needed repair; the caller sees the error
  if (!ar.CanHold(count, kMinPresetBytes)) {
    ar.SetError(3);
    return true;
  }
  resize(static_cast<std::size_t>(count));
  bool ok = true;
  for (CRoundTypeParam& p : *this)
    ok = p.Read(ar) && ok;
  if (ar.GetVersion() >= kFileMaxId) {
    if (ar.GetError() == 0)
      ar >> m_MaxId;
  } else {
    SetMaxIdFromPresets();
  }
  return ok;
}
