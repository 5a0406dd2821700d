// The stored forms of a sky-factor check point: record 1012 with the older
// 1006 to 1011, the oldest records 1000 to 1005, and the archive.

#include <cstring>

#include "CKelFileIO.h"
#include "CSphereRatioParam.h"
#include "KelList.h"
#include "KelRecord.h"

namespace {

using KelRecord::Read;
using KelRecord::Write;

// The fewest archive bytes a check point takes: its flags, index, ratios
// and 64-byte record, without tags; its lists take more on top.
constexpr std::uint64_t kMinArchivedBytes = 1 + 4 + 1 + 4 * 8 + sizeof(SphereRatio);
// An old outline point: x, y, z and the second height.
constexpr int kOldPointBytes = 32;
// The older records' fixed count of angle marks.
constexpr std::int32_t kAngleMarks1002 = 3;

bool WriteRaw(CKelFileIO& f, const CSphereRatioRecord& record)
{
  SphereRatio raw = record.ToRaw();
  return f.Write(raw.bytes, sizeof raw.bytes);
}

bool ReadRaw(CKelFileIO& f, int* remaining, CSphereRatioRecord& record)
{
  SphereRatio raw;
  if (!KelRecord::TakeBudget(remaining, static_cast<int>(sizeof raw.bytes)) || !f.Read(raw.bytes, sizeof raw.bytes))
    return false;
  record = CSphereRatioRecord::FromRaw(raw);
  return true;
}

bool WriteFlag(CKelFileIO& f, bool flag) { return Write(f, static_cast<std::uint8_t>(flag ? 1 : 0)); }

bool ReadFlag(CKelFileIO& f, int* remaining, bool& flag)
{
  std::uint8_t byte = 0;
  if (!Read(f, remaining, byte))
    return false;
  flag = byte != 0;
  return true;
}

bool SkipDoubles(CKelFileIO& f, int* remaining, int n)
{
  for (int k = 0; k < n; ++k) {
    double dropped = 0;
    if (!Read(f, remaining, dropped))
      return false;
  }
  return true;
}

bool SkipResults(CKelFileIO& f, int* remaining, int n)
{
  for (int k = 0; k < n; ++k) {
    CSphereRatioBlock dropped;
    if (!dropped.LoadData(f, remaining))
      return false;
  }
  return true;
}

}  // namespace

// --- Old outline lists ---------------------------------------------------------------------------

bool CSphereRatioParam::LoadBlockData(CKelFileIO& f, int* remaining, OldOutlines& out)
{
  std::int32_t count = 0;
  if (!Read(f, remaining, count) || !KelRecord::CountFits(remaining, count, 4))
    return false;
  out.resize(static_cast<std::size_t>(count));
  for (std::vector<CKelCoord3DEx>& outline : out) {
    std::int32_t points = 0;
    if (!Read(f, remaining, points) || !KelRecord::CountFits(remaining, points, kOldPointBytes))
      return false;
    outline.resize(static_cast<std::size_t>(points));
    for (CKelCoord3DEx& p : outline) {
      if (!p.LoadData(f, remaining))
        return false;
    }
  }
  return true;
}

void CSphereRatioParam::AddBlockSub(const OldOutlines& outlines, bool syasen, bool hikage, CKelBlockCubeArray& out)
{
  for (const std::vector<CKelCoord3DEx>& outline : outlines) {
    if (outline.empty())
      continue;
    CKelBlockCube block;
    for (const CKelCoord3DEx& p : outline) {
      CKelBlockCoord c(p.m_x, p.m_y, 0, 0);
      c.SetZH(p.m_z, nullptr);
      c.SetZL(p.m_zL, nullptr);
      block.Append(c);
    }
    block.SetType();
    block.SetPpNo(nullptr, 0, -1);
    block.SetMark(false);
    block.SetSyasen(syasen);
    block.SetHikage(hikage);
    block.GetPlaneEquation(false);
    block.GetPlaneEquation(true);
    out.push_back(block);
  }
}

// The two old outline lists of records 1000 to 1006: slant-line blocks,
// then shadow blocks.
bool CSphereRatioParam::LoadOldBlocks(CKelFileIO& f, int* remaining)
{
  OldOutlines syasen, hikage;
  if (!LoadBlockData(f, remaining, syasen) || !LoadBlockData(f, remaining, hikage))
    return false;
  AddBlockSub(syasen, true, false, m_BlockList);
  AddBlockSub(hikage, false, true, m_BlockList);
  return true;
}

// --- Record 1012 ----------------------------------------------------------------------------------

bool CSphereRatioParam::SaveData(CKelFileIO& f) const
{
  return Write(f, kRecord) && WriteRaw(f, m_RatioRecord) && Write(f, m_BaseRatio1) && Write(f, m_PlanRatio1) &&
         Write(f, m_WorkBaseRatio) && Write(f, m_WorkPlanRatio) && m_BaseResult.SaveData(f) &&
         m_PlanResult.SaveData(f) && m_BaseResult1.SaveData(f) && m_PlanResult1.SaveData(f) &&
         m_BlockList.SaveData(f) && m_WorkBaseResult.SaveData(f) && m_WorkPlanResult.SaveData(f) &&
         m_BaseAngle.SaveData(f) && m_PlanAngle.SaveData(f) && m_EdgePointBase.SaveData(f) &&
         m_EdgePointPlan.SaveData(f) && m_BegPoint.SaveData(f) && m_EndPoint.SaveData(f) &&
         WriteFlag(f, m_bUsePoint) && WriteFlag(f, m_bBaseCut) && Write(f, m_BaseIndex) && m_SectionLine.SaveData(f);
}

bool CSphereRatioParam::LoadData(CKelFileIO& f, int* remaining)
{
  std::int32_t record = 0;
  if (!Read(f, remaining, record) || record < kRecordFirst || record > kRecord)
    return false;
  if (!ReadRaw(f, remaining, m_RatioRecord) || !Read(f, remaining, m_BaseRatio1) ||
      !Read(f, remaining, m_PlanRatio1) || !Read(f, remaining, m_WorkBaseRatio) ||
      !Read(f, remaining, m_WorkPlanRatio) || !m_BaseResult.LoadData(f, remaining) ||
      !m_PlanResult.LoadData(f, remaining) || !m_BaseResult1.LoadData(f, remaining) ||
      !m_PlanResult1.LoadData(f, remaining))
    return false;
  const bool blocks = record == kRecordFirst ? LoadOldBlocks(f, remaining) : m_BlockList.LoadData(f, remaining);
  if (!blocks || !m_WorkBaseResult.LoadData(f, remaining) || !m_WorkPlanResult.LoadData(f, remaining) ||
      !m_BaseAngle.LoadData(f, remaining) || !m_PlanAngle.LoadData(f, remaining))
    return false;
  if (record >= 1008 && (!m_EdgePointBase.LoadData(f, remaining) || !m_EdgePointPlan.LoadData(f, remaining)))
    return false;
  if (record >= 1009 && (!m_BegPoint.LoadData(f, remaining) || !m_EndPoint.LoadData(f, remaining) ||
                         !ReadFlag(f, remaining, m_bUsePoint)))
    return false;
  if (record >= 1010 && !ReadFlag(f, remaining, m_bBaseCut))
    return false;
  if (record >= 1011 && !Read(f, remaining, m_BaseIndex))
    return false;
  return record < 1012 || m_SectionLine.LoadData(f, remaining);
}

// --- Records 1000 to 1005 ---------------------------------------------------------------------------

namespace {

// The angle marks of the oldest records: none before 1002, three in 1002,
// a stored count in 1003 and 1004. The plan list gets as many default marks.
bool LoadOldMarks(CKelFileIO& f, int* remaining, std::int32_t record, CSphereAngleParamArray& base,
                  CSphereAngleParamArray& plan)
{
  std::int32_t count = 0;
  if (record < 1002)
    return true;
  if (record == 1002)
    count = kAngleMarks1002;
  else if (!Read(f, remaining, count))
    return false;
  if (!KelRecord::CountFits(remaining, count, CSphereAngleParam::kMinRecordBytes))
    return false;
  base.resize(static_cast<std::size_t>(count));
  plan.resize(static_cast<std::size_t>(count));
  return std::all_of(base.begin(), base.end(), [&](CSphereAngleParam& m) { return m.LoadData(f, remaining); });
}

}  // namespace

bool CSphereRatioParam::LoadOldData(CKelFileIO& f, int* remaining, CSyasenCheckCalcKind& /*kind*/)
{
  std::int32_t record = 0;
  if (!Read(f, remaining, record) || record < kRecordOldFirst || record >= kRecordFirst)
    return false;
  const int dropped = record >= 1004 ? 4 : 2;
  if (!ReadRaw(f, remaining, m_RatioRecord) || !Read(f, remaining, m_BaseRatio1) ||
      !Read(f, remaining, m_PlanRatio1) || !SkipDoubles(f, remaining, dropped) ||
      !Read(f, remaining, m_WorkBaseRatio) || !Read(f, remaining, m_WorkPlanRatio))
    return false;
  if (!m_BaseResult.LoadData(f, remaining) || !m_PlanResult.LoadData(f, remaining) ||
      !m_BaseResult1.LoadData(f, remaining) || !m_PlanResult1.LoadData(f, remaining) ||
      !SkipResults(f, remaining, dropped))
    return false;
  if (!LoadOldBlocks(f, remaining) || !m_WorkBaseResult.LoadData(f, remaining) ||
      !m_WorkPlanResult.LoadData(f, remaining))
    return false;
  if (record == 1005)
    return m_BaseAngle.LoadData(f, remaining) && m_PlanAngle.LoadData(f, remaining);
  return LoadOldMarks(f, remaining, record, m_BaseAngle, m_PlanAngle);
}

// --- Archive ------------------------------------------------------------------------------------------

bool CSphereRatioParam::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSphereRatioParam");
  ar.Serialize(m_bUsePoint);
  ar.Serialize(m_BaseIndex);
  ar.Serialize(m_bBaseCut);
  ar.Serialize(m_BaseRatio1);
  ar.Serialize(m_PlanRatio1);
  ar.Serialize(m_WorkBaseRatio);
  ar.Serialize(m_WorkPlanRatio);
  if (ar.IsLoading()) {
    SphereRatio raw;
    ar >> raw;
    if (ar.GetError() == 0)
      m_RatioRecord = CSphereRatioRecord::FromRaw(raw);
  } else {
    ar << m_RatioRecord.ToRaw();
  }
  if (ar.GetError() != 0)
    return false;
  const bool ok = m_BegPoint.Serialize(ar) && m_EndPoint.Serialize(ar) && m_PlanResult.Serialize(ar) &&
                  m_BaseResult.Serialize(ar) && m_PlanResult1.Serialize(ar) && m_BaseResult1.Serialize(ar) &&
                  m_BlockList.Serialize2(ar) && m_WorkPlanResult.Serialize(ar) && m_WorkBaseResult.Serialize(ar) &&
                  m_BaseAngle.Serialize(ar) && m_PlanAngle.Serialize(ar) && m_EdgePointBase.Serialize(ar) &&
                  m_EdgePointPlan.Serialize(ar) && m_SectionLine.Serialize(ar);
  return ok && ar.GetError() == 0;
}

bool CSphereRatioParamArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSphereRatioParamArray");
  return KelList::Serialize(ar, *this, kMinArchivedBytes);
}
