// Copies, comparison, the archive form and the writer of record 1023 of the
// slant-line check record and its list.

#include <algorithm>
#include <cstdint>

#include "CKelArchiveCore.h"
#include "CKelFileIO.h"
#include "CSyasenCheckBlockParam.h"
#include "KelList.h"
#include "KelRecord.h"

namespace {

using KelRecord::Write;

// The archive versions that gate fields.
constexpr int kVersionSectionLines = 14;
constexpr int kVersionRoadDistances = 16;
constexpr int kVersionExtras = 26;
constexpr int kVersionExtraNo = 27;

// A record takes at least its number and edge index.
constexpr int kMinRecordBytes = 8;

bool WriteBlocks(CKelFileIO& f, const CKelBlockCubeArray& blocks) { return blocks.SaveData(f); }

bool WritePoints(CKelFileIO& f, const CSphereRatioParamArray& points) { return KelRecord::SaveList(f, points); }

}  // namespace

void CSyasenCheckBlockParam::CopyFrom(const CSyasenCheckBlockParam& o)
{
  // Every member but m_RefPoint, which a copy leaves at the origin.
  const CKelCoord3D ref = m_RefPoint;
  m_No = o.m_No;
  m_SiteNo = o.m_SiteNo;
  m_SiteNo2 = o.m_SiteNo2;
  m_Extra1 = o.m_Extra1;
  m_Extra2 = o.m_Extra2;
  m_Extra3 = o.m_Extra3;
  m_ExtraNo = o.m_ExtraNo;
  m_RoadDistance = o.m_RoadDistance;
  m_GrdHeight = o.m_GrdHeight;
  m_OptNo = o.m_OptNo;
  m_Value1 = o.m_Value1;
  m_Value2 = o.m_Value2;
  m_Value3 = o.m_Value3;
  m_CalcKind = o.m_CalcKind;
  m_BaseBlock = o.m_BaseBlock;
  m_SphereRatio = o.m_SphereRatio;
  m_SphereRatio2 = o.m_SphereRatio2;
  m_SrcBlock = o.m_SrcBlock;
  m_YouhekiBlock = o.m_YouhekiBlock;
  m_Cpntline = o.m_Cpntline;
  m_EdgePointBase = o.m_EdgePointBase;
  m_EdgePointPlan = o.m_EdgePointPlan;
  m_CpntDistance = o.m_CpntDistance;
  m_CpntPitch = o.m_CpntPitch;
  m_GrdLevel1 = o.m_GrdLevel1;
  m_GrdLevel2 = o.m_GrdLevel2;
  m_BegPoint = o.m_BegPoint;
  m_EndPoint = o.m_EndPoint;
  m_CheckLength = o.m_CheckLength;
  m_CheckStart = o.m_CheckStart;
  m_CheckEnd = o.m_CheckEnd;
  m_bFlag = o.m_bFlag;
  m_TgtPitch = o.m_TgtPitch;
  m_DataType = o.m_DataType;
  m_SectionLine = o.m_SectionLine;
  m_RefPoint = ref;
}

CSyasenCheckBlockParam::CSyasenCheckBlockParam(const CSyasenCheckBlockParam& other) { CopyFrom(other); }

CSyasenCheckBlockParam& CSyasenCheckBlockParam::operator=(const CSyasenCheckBlockParam& other)
{
  if (this != &other)
    CopyFrom(other);
  return *this;
}

bool CSyasenCheckBlockParam::operator==(const CSyasenCheckBlockParam& o) const
{
  const bool numbers = m_No == o.m_No && m_SiteNo == o.m_SiteNo && m_SiteNo2 == o.m_SiteNo2 &&
                       m_Extra1 == o.m_Extra1 && m_Extra2 == o.m_Extra2 && m_Extra3 == o.m_Extra3 &&
                       m_ExtraNo == o.m_ExtraNo && m_GrdHeight == o.m_GrdHeight && m_OptNo == o.m_OptNo &&
                       m_Value1 == o.m_Value1 && m_Value2 == o.m_Value2 && m_Value3 == o.m_Value3 &&
                       m_CpntDistance == o.m_CpntDistance && m_CpntPitch == o.m_CpntPitch &&
                       m_GrdLevel1 == o.m_GrdLevel1 && m_GrdLevel2 == o.m_GrdLevel2 &&
                       m_CheckLength == o.m_CheckLength && m_CheckStart == o.m_CheckStart &&
                       m_CheckEnd == o.m_CheckEnd && m_bFlag == o.m_bFlag && m_TgtPitch == o.m_TgtPitch &&
                       m_DataType == o.m_DataType;
  const bool points = m_BegPoint == o.m_BegPoint && m_EndPoint == o.m_EndPoint;
  const bool lists = static_cast<const std::vector<double>&>(m_RoadDistance) == o.m_RoadDistance &&
                     !(m_BaseBlock != o.m_BaseBlock) && !(m_SphereRatio != o.m_SphereRatio) &&
                     !(m_SphereRatio2 != o.m_SphereRatio2) && !(m_SrcBlock != o.m_SrcBlock) &&
                     !(m_YouhekiBlock != o.m_YouhekiBlock) && m_Cpntline == o.m_Cpntline &&
                     m_EdgePointBase == o.m_EdgePointBase && m_EdgePointPlan == o.m_EdgePointPlan &&
                     m_SectionLine == o.m_SectionLine && m_CalcKind == o.m_CalcKind;
  return numbers && points && lists;
}

std::string CSyasenCheckBlockParam::GetDataTypeName(std::int32_t type)
{
  switch (type) {
    case DATATYPE_AUTO: return "自動";
    case DATATYPE_FREE: return "任意";
    case DATATYPE_COMPOSITE: return "複合隣地";
    case DATATYPE_REDISTRICT: return "再地区";
    default: return "不明";
  }
}

bool CSyasenCheckRoadDistanceArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSyasenCheckRoadDistanceArray");
  auto count = static_cast<std::int32_t>(size());
  ar.Serialize(count);
  if (ar.GetError() != 0)
    return false;
  if (ar.IsLoading()) {
    if (!KelList::CountFits(ar, count, sizeof(double))) {
      ar.SetError();
      return false;
    }
    resize(static_cast<std::size_t>(count));
  }
  for (double& d : *this)
    ar.Serialize(d);
  return ar.GetError() == 0;
}

bool CSyasenCheckBlockParam::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSyasenCheckBlockParam");
  ar.Serialize(m_No);
  ar.Serialize(m_SiteNo);
  ar.Serialize(m_SiteNo2);
  if (ar.GetVersion() < kVersionRoadDistances) {
    // Older archives hold the first road distance only.
    double first = m_RoadDistance.empty() ? 0.0 : m_RoadDistance.front();
    ar.Serialize(first);
    if (ar.IsLoading())
      m_RoadDistance.assign(1, first);
  } else if (!m_RoadDistance.Serialize(ar)) {
    return false;
  }
  ar.Serialize(m_GrdHeight);
  ar.Serialize(m_OptNo);
  for (double* v : {&m_Value1, &m_Value2, &m_Value3, &m_CpntDistance, &m_CpntPitch, &m_GrdLevel1, &m_GrdLevel2,
                    &m_CheckLength, &m_CheckStart, &m_CheckEnd})
    ar.Serialize(*v);
  ar.Serialize(m_bFlag);
  ar.Serialize(m_TgtPitch);
  ar.Serialize(m_DataType);
  if (ar.GetVersion() >= kVersionExtras) {
    ar.Serialize(m_Extra1);
    ar.Serialize(m_Extra2);
    ar.Serialize(m_Extra3);
  }
  if (ar.GetVersion() >= kVersionExtraNo)
    ar.Serialize(m_ExtraNo);
  if (ar.GetError() != 0)
    return false;
  const bool parts = m_CalcKind.Serialize(ar) && m_BaseBlock.Serialize2(ar) && m_SphereRatio.Serialize(ar) &&
                     m_SphereRatio2.Serialize(ar) && m_SrcBlock.Serialize2(ar) && m_YouhekiBlock.Serialize2(ar) &&
                     m_Cpntline.Serialize(ar) && m_EdgePointBase.Serialize(ar) && m_EdgePointPlan.Serialize(ar) &&
                     m_BegPoint.Serialize(ar) && m_EndPoint.Serialize(ar) && m_RefPoint.Serialize(ar);
  if (!parts)
    return false;
  if (ar.GetVersion() >= kVersionSectionLines && !m_SectionLine.Serialize(ar))
    return false;
  return ar.GetError() == 0;
}

bool CSyasenCheckBlockParam::SaveData(CKelFileIO& f) const
{
  const double firstDistance = m_RoadDistance.empty() ? 0.0 : m_RoadDistance.front();
  return Write(f, kRecord) && Write(f, m_SiteNo) && Write(f, m_SiteNo2) && Write(f, m_GrdHeight) &&
         Write(f, m_Value1) && Write(f, m_Value2) && Write(f, m_Value3) && Write(f, m_OptNo) &&
         Write(f, m_CpntDistance) && Write(f, m_GrdLevel1) && Write(f, m_GrdLevel2) && Write(f, m_CheckLength) &&
         Write(f, m_CheckStart) && Write(f, m_CheckEnd) && m_BegPoint.SaveData(f) && m_EndPoint.SaveData(f) &&
         Write(f, static_cast<std::uint8_t>(m_bFlag ? 1 : 0)) && m_RefPoint.SaveData(f) && m_CalcKind.SaveData(f) &&
         WriteBlocks(f, m_BaseBlock) && WritePoints(f, m_SphereRatio2) && WritePoints(f, m_SphereRatio) &&
         WriteBlocks(f, m_SrcBlock) && WriteBlocks(f, CKelBlockCubeArray()) && m_Cpntline.SaveData(f) &&
         Write(f, m_TgtPitch) && WriteBlocks(f, m_YouhekiBlock) && m_EdgePointBase.SaveData(f) &&
         m_EdgePointPlan.SaveData(f) && Write(f, m_DataType) && Write(f, m_CpntDistance) && Write(f, m_CpntPitch) &&
         m_SectionLine.SaveData(f) && Write(f, firstDistance);
}

bool CSyasenCheckBlockParam::SaveBlockData(CKelFileIO& f, const std::vector<std::vector<CKelCoord3DEx>>& outlines)
{
  if (!Write(f, static_cast<std::int32_t>(outlines.size())))
    return false;
  return std::all_of(outlines.begin(), outlines.end(),
                     [&f](const std::vector<CKelCoord3DEx>& outline) { return KelRecord::SaveList(f, outline); });
}

int CSyasenCheckBlockParamArray::GetCurrentAutoBlockSize() const
{
  return static_cast<int>(std::count_if(begin(), end(), [](const CSyasenCheckBlockParam& p) {
    return p.m_DataType == CSyasenCheckBlockParam::DATATYPE_AUTO;
  }));
}

bool CSyasenCheckBlockParamArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSyasenCheckBlockParamArray");
  // A record takes at least its three numbers.
  return KelList::Serialize(ar, *this, 12);
}

bool CSyasenCheckBlockParamArray::ReadData(CKelFileIO& f, int size, void* list, void*)
{
  auto& records = *static_cast<CSyasenCheckBlockParamArray*>(list);
  int budget = size;
  std::int32_t count = 0;
  if (!KelRecord::Read(f, &budget, count) || !KelRecord::CountFits(&budget, count, kMinRecordBytes))
    return false;
  records.assign(static_cast<std::size_t>(count), CSyasenCheckBlockParam());
  for (std::int32_t i = 0; i < count; ++i) {
    CSyasenCheckBlockParam& record = records[static_cast<std::size_t>(i)];
    record.m_No = i;
    if (!record.LoadData(f, &budget))
      return false;
  }
  return budget == 0;
}

bool CSyasenCheckBlockParamArray::ReadData2(CKelFileIO& f, int size, void* list, void* unused)
{
  return ReadData(f, size, list, unused);
}

bool CSyasenCheckBlockParamArray::SaveData(CKelFileIO& f, void* list, void*)
{
  return KelRecord::SaveList(f, *static_cast<const CSyasenCheckBlockParamArray*>(list));
}
