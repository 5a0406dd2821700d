// The reader of the slant-line check record: record numbers 1000 to 1023,
// the older layouts migrated field by field.
//
// Old outline lists (records before 1013) hold blocks as plain outlines
// with a top and a bottom height per point; they become blocks of the kind
// the list stood for. Planned buildings of records 1000 to 1002 become plan
// blocks.

#include <utility>

#include "CPlanBuilding.h"
#include "CSyasenCheckBlockParam.h"
#include "KelRecord.h"

namespace {

using KelRecord::Read;
using Outlines = CSphereRatioParam::OldOutlines;

// Record numbers at which the layout changed.
enum Record : std::int32_t {
  kNoPlanesHeld = 1001,   // check points carry their two results from here
  kOldKind = 1002,        // an old calculation kind from here
  kOldOutlines = 1003,    // plan outlines instead of planned buildings
  kOldPoints = 1004,      // check points in their old record from here
  kNoDroppedInts = 1005,  // two dropped integers before this
  kFurtherOutlines = 1006,
  kCalcKind = 1007,
  kOptNo = 1008,
  kErasesSame = 1009,
  kFlag = 1010,
  kOneCheckLine = 1011,
  kTgtPitch = 1012,
  kBlockLists = 1013,
  kSiteNo2 = 1014,
  kValues = 1015,
  kEdgePoints = 1016,
  kCheckLines = 1017,
  kSecondDistance = 1018,
  kPitch = 1019,
  kSectionLines = 1020,
  kDataType32 = 1021,
  kRoadDistance = 1022,
  kRefPoint = 1023,
};

// The least a check point takes of the budget in any layout.
constexpr int kMinCheckPointBytes = 64;

bool ReadOutlines(CKelFileIO& f, int* budget, Outlines& out)
{
  out.clear();
  return CSphereRatioParam::LoadBlockData(f, budget, out);
}

bool ReadByteFlag(CKelFileIO& f, int* budget, bool& flag)
{
  std::uint8_t b = 0;
  if (!Read(f, budget, b))
    return false;
  flag = b != 0;
  return true;
}

// The old calculation kinds 0 to 3 of records 1002 to 1006.
bool MigrateOldKind(std::int32_t old, CSyasenCheckCalcKind& kind)
{
  if (old < 0 || old > 3)
    return false;
  kind.m_CalcType = old == 1 ? 1 : 0;
  if (old != 0) {
    kind.m_BegBaseKind = kind.m_EndBaseKind = 2;
    if (old == 3)
      kind.m_BegCutKind = kind.m_EndCutKind = 1;
  }
  return true;
}

CSyasenCheckCalcKind ZeroKind()
{
  CSyasenCheckCalcKind kind;
  kind.m_bUniform = false;
  kind.m_bFlag2 = false;
  return kind;
}

void SwapArcSenses(CSyasenCheckCpntlineArray& lines)
{
  for (CKelCoord3DCrsPntArray& line : lines) {
    for (CKelCoord3DCrsPnt& p : line) {
      if (p.m_Type == CKelCoord3DCrsPnt::TYPE_CCW)
        p.m_Type = CKelCoord3DCrsPnt::TYPE_CW;
      else if (p.m_Type == CKelCoord3DCrsPnt::TYPE_CW)
        p.m_Type = CKelCoord3DCrsPnt::TYPE_CCW;
    }
  }
}

}  // namespace

bool CSyasenCheckBlockParam::LoadData(CKelFileIO& f, int* budget)
{
  try {
    return LoadRecord(f, budget);
  } catch (unsigned) {
    return false;
  }
}

bool CSyasenCheckBlockParam::LoadRecord(CKelFileIO& f, int* budget)
{
  std::int32_t record = 0;
  if (!Read(f, budget, record) || record < kRecordFirst || record > kRecord)
    return false;
  if (!LoadHead(f, budget, record) || !LoadCalcKind(f, budget, record) || !LoadCheckPoints(f, budget, record) ||
      !LoadBlocks(f, budget, record) || !LoadTail(f, budget, record))
    return false;
  if (m_BegPoint == m_EndPoint)
    m_SiteNo = -1;
  // Older records stored the arc senses the other way round.
  if (record < kRefPoint)
    SwapArcSenses(m_Cpntline);
  return true;
}

bool CSyasenCheckBlockParam::LoadHead(CKelFileIO& f, int* budget, std::int32_t record)
{
  if (!Read(f, budget, m_SiteNo))
    return false;
  if (record >= kSiteNo2 && (!Read(f, budget, m_SiteNo2) || !Read(f, budget, m_GrdHeight)))
    return false;
  if (record >= kValues && (!Read(f, budget, m_Value1) || !Read(f, budget, m_Value2) || !Read(f, budget, m_Value3)))
    return false;
  if (record >= kOptNo && !Read(f, budget, m_OptNo))
    return false;
  if (record == kOptNo)
    m_OptNo = -1;
  m_bFlag = false;
  if (record >= kCalcKind) {
    for (double* v : {&m_CpntDistance, &m_GrdLevel1, &m_GrdLevel2, &m_CheckLength, &m_CheckStart, &m_CheckEnd})
      if (!Read(f, budget, *v))
        return false;
    if (!m_BegPoint.LoadData(f, budget) || !m_EndPoint.LoadData(f, budget))
      return false;
  }
  if (record >= kFlag && !ReadByteFlag(f, budget, m_bFlag))
    return false;
  std::int32_t dropped = 0;
  if (record < kNoDroppedInts && (!Read(f, budget, dropped) || !Read(f, budget, dropped)))
    return false;
  return record < kRefPoint || m_RefPoint.LoadData(f, budget);
}

bool CSyasenCheckBlockParam::LoadCalcKind(CKelFileIO& f, int* budget, std::int32_t record)
{
  if (record >= kCalcKind) {
    if (!m_CalcKind.LoadData(f, budget))
      return false;
    // The radial form of these records knew no other base line.
    if (record <= kEdgePoints && m_CalcKind.m_CalcType == 1)
      m_CalcKind.m_BegBaseKind = m_CalcKind.m_EndBaseKind = 4;
    return true;
  }
  m_CalcKind = ZeroKind();
  if (record < kOldKind)
    return true;
  std::int32_t old = 0;
  return Read(f, budget, old) && MigrateOldKind(old, m_CalcKind);
}

bool CSyasenCheckBlockParam::LoadOldCheckPoint(CKelFileIO& f, int* budget, std::int32_t record,
                                               CSphereRatioParam& cpnt)
{
  if (record >= kCalcKind)
    return cpnt.LoadData(f, budget);
  if (record >= kOldPoints)
    return cpnt.LoadOldData(f, budget, m_CalcKind);
  SphereRatio raw{};
  if (!KelRecord::TakeBudget(budget, static_cast<int>(sizeof raw.bytes)) || !f.Read(raw.bytes, sizeof raw.bytes))
    return false;
  cpnt.m_RatioRecord = CSphereRatioRecord::FromRaw(raw);
  if (record >= kNoPlanesHeld && (!cpnt.m_BaseResult.LoadData(f, budget) || !cpnt.m_PlanResult.LoadData(f, budget)))
    return false;
  Outlines outlines;
  if (record >= kOldKind) {
    if (!ReadOutlines(f, budget, outlines))
      return false;
    CSphereRatioParam::AddBlockSub(outlines, true, false, cpnt.m_BlockList);
  }
  if (record == kOldOutlines) {
    if (!ReadOutlines(f, budget, outlines))
      return false;
    CSphereRatioParam::AddBlockSub(outlines, false, true, cpnt.m_BlockList);
  }
  return true;
}

bool CSyasenCheckBlockParam::LoadCheckPoints(CKelFileIO& f, int* budget, std::int32_t record)
{
  if (record < kBlockLists) {
    Outlines outlines;
    if (!ReadOutlines(f, budget, outlines))
      return false;
    m_BaseBlock.Clear();
    CSphereRatioParam::AddBlockSub(outlines, true, false, m_BaseBlock);
  } else if (!m_BaseBlock.LoadData(f, budget)) {
    return false;
  }
  std::int32_t count = 0;
  if (!Read(f, budget, count) || !KelRecord::CountFits(budget, count, kMinCheckPointBytes))
    return false;
  m_SphereRatio2.assign(static_cast<std::size_t>(count), CSphereRatioParam());
  for (CSphereRatioParam& cpnt : m_SphereRatio2) {
    if (!LoadOldCheckPoint(f, budget, record, cpnt))
      return false;
    if (!cpnt.m_bUsePoint) {
      cpnt.m_BegPoint = m_BegPoint;
      cpnt.m_EndPoint = m_EndPoint;
      cpnt.m_bUsePoint = true;
    }
  }
  if (record < kCalcKind) {
    m_SphereRatio = m_SphereRatio2;
    return true;
  }
  if (!Read(f, budget, count) || !KelRecord::CountFits(budget, count, kMinCheckPointBytes))
    return false;
  m_SphereRatio.assign(static_cast<std::size_t>(count), CSphereRatioParam());
  for (CSphereRatioParam& cpnt : m_SphereRatio)
    if (!cpnt.LoadData(f, budget))
      return false;
  return true;
}

bool CSyasenCheckBlockParam::LoadBlocks(CKelFileIO& f, int* budget, std::int32_t record)
{
  Outlines outlines, second;
  // Plan blocks: old outlines, or before them planned buildings.
  if (record >= kOldOutlines && record < kBlockLists) {
    if (!ReadOutlines(f, budget, outlines))
      return false;
    CSphereRatioParam::AddBlockSub(outlines, false, true, m_BaseBlock);
  } else if (record < kOldOutlines) {
    std::int32_t count = 0;
    if (!Read(f, budget, count) || !KelRecord::CountFits(budget, count, 5))
      return false;
    for (std::int32_t i = 0; i < count; ++i) {
      CPlanBuilding building;
      if (!building.LoadData(f, budget))
        return false;
      CKelBlockCube block = building.ToKelBlock();
      if (block.m_Coord.empty())
        continue;
      block.SetPlanBlock();
      block.GetPlaneEquation(false);
      block.GetPlaneEquation(true);
      m_BaseBlock.AddBlock(block);
    }
  }
  if (record >= kOldOutlines && record < kCalcKind) {
    const int lists = record == kFurtherOutlines ? 2 : 1;
    for (int k = 0; k < lists; ++k) {
      if (!ReadOutlines(f, budget, outlines) || !ReadOutlines(f, budget, second))
        return false;
      const bool take = k == 0 ? (m_CalcKind.m_CalcType == 0 && m_CalcKind.m_BegCutKind == 0 &&
                                  m_CalcKind.m_BegBaseKind == 2)
                               : m_CalcKind.m_BegCutKind == 1;
      if (take) {
        CSphereRatioParam::AddBlockSub(outlines, true, false, m_BaseBlock);
        CSphereRatioParam::AddBlockSub(second, false, true, m_BaseBlock);
      }
    }
  }
  if (record >= kBlockLists) {
    CKelBlockCubeArray dropped;
    return m_SrcBlock.LoadData(f, budget) && dropped.LoadData(f, budget);
  }
  if (record >= kCalcKind) {
    if (!ReadOutlines(f, budget, outlines))
      return false;
    m_SrcBlock.Clear();
    CSphereRatioParam::AddBlockSub(outlines, false, false, m_SrcBlock);
  }
  if (record >= kErasesSame && (!ReadOutlines(f, budget, outlines)))
    return false;
  if (record == kErasesSame) {
    m_BaseBlock.EraseSameBlock();
    m_SrcBlock.EraseSameBlock();
    for (CSphereRatioParam& cpnt : m_SphereRatio2)
      cpnt.m_BlockList.EraseSameBlock();
  }
  return true;
}

bool CSyasenCheckBlockParam::LoadTail(CKelFileIO& f, int* budget, std::int32_t record)
{
  if (record >= kCheckLines) {
    if (!m_Cpntline.LoadData(f, budget))
      return false;
  } else if (record >= kOneCheckLine) {
    // One check line of that many entries; none for a count below 1.
    std::int32_t count = 0;
    if (!Read(f, budget, count))
      return false;
    m_Cpntline.clear();
    if (count > 0) {
      if (!KelRecord::CountFits(budget, count, CKelCoord3DCrsPnt::kRecordBytes))
        return false;
      CKelCoord3DCrsPntArray line;
      line.resize(static_cast<std::size_t>(count));
      for (CKelCoord3DCrsPnt& p : line)
        if (!p.LoadData(f, budget))
          return false;
      m_Cpntline.push_back(line);
    }
  }
  if (record >= kTgtPitch && !Read(f, budget, m_TgtPitch))
    return false;
  if (record >= kBlockLists) {
    if (!m_YouhekiBlock.LoadData(f, budget))
      return false;
  } else if (record == kTgtPitch) {
    Outlines outlines;
    if (!ReadOutlines(f, budget, outlines))
      return false;
    m_YouhekiBlock.Clear();
    CSphereRatioParam::AddBlockSub(outlines, false, false, m_YouhekiBlock);
  }
  if (record >= kEdgePoints && (!m_EdgePointBase.LoadData(f, budget) || !m_EdgePointPlan.LoadData(f, budget)))
    return false;
  if (record >= kDataType32) {
    if (!Read(f, budget, m_DataType))
      return false;
  } else if (record >= kCheckLines) {
    std::uint8_t type = 0;
    if (!Read(f, budget, type))
      return false;
    m_DataType = type;
  }
  double secondDistance = 0;
  if (record >= kSecondDistance && !Read(f, budget, secondDistance))
    return false;
  if (record >= kPitch && !Read(f, budget, m_CpntPitch))
    return false;
  if (record >= kSectionLines && !m_SectionLine.LoadData(f, budget))
    return false;
  if (record >= kRoadDistance) {
    // The record holds the first distance only: it becomes the whole list,
    // so a record read twice does not grow.
    double distance = 0;
    if (!Read(f, budget, distance))
      return false;
    m_RoadDistance.assign(1, distance);
  }
  return true;
}
