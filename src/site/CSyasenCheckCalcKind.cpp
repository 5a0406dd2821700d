#include "CSyasenCheckCalcKind.h"

#include <array>

#include "CKelArchiveCore.h"
#include "CKelFileIO.h"
#include "KelRecord.h"

namespace {

constexpr std::array<const char*, 5> kCpntNames = {"適合", "境界線", "任意", "円弧", "半円弧"};
constexpr std::array<const char*, 4> kCutNames = {"", "1/2ｶｯﾄ", "垂直ｶｯﾄ", "延長ｶｯﾄ"};
constexpr std::array<const char*, 5> kBaseNames = {"境界線", "延長", "", "任意", ""};
constexpr const char* kJoin = "ー";

// The name of a stored selector, or empty when it is outside the table.
template <std::size_t N>
std::string NameOf(const std::array<const char*, N>& names, std::int32_t kind)
{
  if (kind < 0 || static_cast<std::size_t>(kind) >= N)
    return std::string();
  return names[static_cast<std::size_t>(kind)];
}

std::string CutWithPlus(std::int32_t kind)
{
  const std::string name = NameOf(kCutNames, kind);
  return name.empty() ? name : "+" + name;
}

bool UsesArcPoints(const CSyasenCheckCalcKind& k) { return k.m_BegCpntKind >= 3 || k.m_EndCpntKind >= 3; }

bool ReadByteFlag(CKelFileIO& f, int* budget, bool& flag)
{
  unsigned char byte = 0;
  if (!KelRecord::Read(f, budget, byte))
    return false;
  flag = byte != 0;
  return true;
}

}  // namespace

bool CSyasenCheckCalcKind::operator==(const CSyasenCheckCalcKind& o) const
{
  const bool uniformCounts = UsesArcPoints(*this) || UsesArcPoints(o);
  return m_CalcType == o.m_CalcType && m_BegCpntKind == o.m_BegCpntKind && m_EndCpntKind == o.m_EndCpntKind &&
         m_BegCpntValue == o.m_BegCpntValue && m_EndCpntValue == o.m_EndCpntValue &&
         m_BegCutKind == o.m_BegCutKind && m_EndCutKind == o.m_EndCutKind && m_BegBaseKind == o.m_BegBaseKind &&
         m_EndBaseKind == o.m_EndBaseKind && m_BegBaseOffset == o.m_BegBaseOffset &&
         m_EndBaseOffset == o.m_EndBaseOffset && m_bFlag2 == o.m_bFlag2 &&
         (!uniformCounts || m_bUniform == o.m_bUniform);
}

std::string CSyasenCheckCalcKind::GetCalcTypeInfo() const
{
  if (m_CalcType == 0)
    return "基本";
  if (m_CalcType == 1)
    return "放射";
  return std::string();
}

std::string CSyasenCheckCalcKind::GetCpntInfo() const
{
  const std::string beg = NameOf(kCpntNames, m_BegCpntKind);
  const std::string end = NameOf(kCpntNames, m_EndCpntKind);
  if (beg.empty() || end.empty())
    return std::string();
  return "[" + beg + kJoin + end + "]";
}

std::string CSyasenCheckCalcKind::GetBaseBlockInfo() const
{
  if (m_CalcType == 1)
    return std::string("[").append(NameOf(kCutNames, m_BegCutKind)) + kJoin + NameOf(kCutNames, m_EndCutKind) + "]";
  if (m_CalcType == 0) {
    return std::string("[").append(NameOf(kBaseNames, m_BegBaseKind)) + CutWithPlus(m_BegCutKind) + kJoin +
           NameOf(kBaseNames, m_EndBaseKind) + CutWithPlus(m_EndCutKind) + "]";
  }
  return std::string();
}

bool CSyasenCheckCalcKind::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSyasenCheckCalcKind");
  ar.Serialize(m_CalcType);
  ar.Serialize(m_BegCpntKind);
  ar.Serialize(m_EndCpntKind);
  ar.Serialize(m_BegCpntValue);
  ar.Serialize(m_EndCpntValue);
  ar.Serialize(m_BegBaseKind);
  ar.Serialize(m_EndBaseKind);
  ar.Serialize(m_BegBaseOffset);
  ar.Serialize(m_EndBaseOffset);
  ar.Serialize(m_bUniform);
  ar.Serialize(m_bFlag2);
  ar.Serialize(m_BegCutKind);
  ar.Serialize(m_EndCutKind);
  return ar.GetError() == 0;
}

bool CSyasenCheckCalcKind::SaveData(CKelFileIO& f) const
{
  using KelRecord::Write;
  return Write(f, kRecord) && Write(f, m_CalcType) && Write(f, m_BegCpntKind) && Write(f, m_EndCpntKind) &&
         Write(f, m_BegCpntValue) && Write(f, m_EndCpntValue) && Write(f, m_BegCutKind) &&
         Write(f, m_EndCutKind) && Write(f, m_BegBaseKind) && Write(f, m_EndBaseKind) &&
         Write(f, m_BegBaseOffset) && Write(f, m_EndBaseOffset) &&
         Write(f, static_cast<unsigned char>(m_bUniform ? 1 : 0)) &&
         Write(f, static_cast<unsigned char>(m_bFlag2 ? 1 : 0));
}

bool CSyasenCheckCalcKind::LoadData(CKelFileIO& f, int* budget)
{
  using KelRecord::Read;
  std::int32_t record = 0;
  if (!Read(f, budget, record))
    return false;
  if (record >= kRecordWithUniform) {
    if (record != kRecordWithUniform && record != kRecord)
      return false;
  } else {
    // An unnumbered record: the value just read is m_CalcType.
    f.SetFilePosition(-static_cast<int>(sizeof(record)), CKelFileIO::ORIGIN_CURRENT);
    *budget += static_cast<int>(sizeof(record));
  }
  const bool fields = Read(f, budget, m_CalcType) && Read(f, budget, m_BegCpntKind) &&
                      Read(f, budget, m_EndCpntKind) && Read(f, budget, m_BegCpntValue) &&
                      Read(f, budget, m_EndCpntValue) && Read(f, budget, m_BegCutKind) &&
                      Read(f, budget, m_EndCutKind) && Read(f, budget, m_BegBaseKind) &&
                      Read(f, budget, m_EndBaseKind) && Read(f, budget, m_BegBaseOffset) &&
                      Read(f, budget, m_EndBaseOffset);
  if (!fields)
    return false;
  if (record == kRecordWithUniform || record == kRecord) {
    if (!ReadByteFlag(f, budget, m_bUniform))
      return false;
  }
  if (record == kRecord)
    return ReadByteFlag(f, budget, m_bFlag2);
  return true;
}
