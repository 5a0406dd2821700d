#include "CPlanBuilding.h"

#include "CKelArchiveCore.h"
#include "KelList.h"
#include "KelRecord.h"

void CPlanBuildingParam::CutDiv(double t, const CPlanBuildingParam* a, const CPlanBuildingParam* b)
{
  m_Coord.m_z = a->m_Coord.m_z + t * (b->m_Coord.m_z - a->m_Coord.m_z);
  m_Coord.m_zL = a->m_Coord.m_zL + t * (b->m_Coord.m_zL - a->m_Coord.m_zL);
}

bool CPlanBuildingParam::LoadData(CKelFileIO& f, int* budget)
{
  return m_Coord.LoadData(f, budget);
}

bool CPlanBuildingParam::SaveData(CKelFileIO& f) const
{
  return m_Coord.SaveData(f);
}

bool CPlanBuildingParamArray::operator==(const CPlanBuildingParamArray& o) const
{
  return KelList::Equal(*this, o);
}

bool CPlanBuilding::operator==(const CPlanBuilding& o) const
{
  return m_bFlag == o.m_bFlag && m_Points == o.m_Points && m_No == o.m_No;
}

CPlanBuilding CPlanBuilding::FromKelBlock(const CKelBlockCube* block)
{
  CPlanBuilding building;
  for (const CKelBlockCoord& v : block->m_Coord)
    building.m_Points.emplace_back(CKelCoord3DEx(v.m_x, v.m_y, v.m_z, v.m_zL));
  return building;
}

CKelBlockCube CPlanBuilding::ToKelBlock() const
{
  CKelBlockCube block;
  if (m_Points.empty())
    return block;
  for (const CPlanBuildingParam& p : m_Points) {
    CKelBlockCoord v;
    v.m_x = p.m_Coord.m_x;
    v.m_y = p.m_Coord.m_y;
    v.SetZH(p.m_Coord.m_z, nullptr);
    v.SetZL(p.m_Coord.m_zL, nullptr);
    block.Append(v);
  }
  block.SetType();
  block.SetPpNo(nullptr, 0, -1);
  block.SetMark(false);
  block.SetSyasen(false);
  block.SetHikage(false);
  return block;
}

bool CPlanBuilding::LoadData(CKelFileIO& f, int* budget)
{
  std::uint8_t flag = 0;
  if (!KelRecord::Read(f, budget, flag))
    return false;
  m_bFlag = flag != 0;
  return KelRecord::LoadList(f, budget, m_Points, CPlanBuildingParam::kRecordBytes);
}

bool CPlanBuilding::SaveData(CKelFileIO& f) const
{
  return KelRecord::Write(f, static_cast<std::uint8_t>(m_bFlag ? 1 : 0)) && KelRecord::SaveList(f, m_Points);
}

bool CPlanBuildingArray::operator==(const CPlanBuildingArray& o) const
{
  return KelList::Equal(*this, o);
}

bool CSiteGroupingParam::operator==(const CSiteGroupingParam& o) const
{
  return m_GroupNo == o.m_GroupNo && m_Value == o.m_Value && !(m_Block != o.m_Block);
}

bool CSiteGroupingParam::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSiteGroupingParam");
  ar.Serialize(m_GroupNo);
  ar.Serialize(m_Value);
  if (!m_Block.Serialize2(ar))
    return false;
  return ar.GetError() == 0;
}

bool CSiteGroupingParamArray::operator==(const CSiteGroupingParamArray& o) const
{
  return KelList::Equal(*this, o);
}

bool CSiteGroupingParamArray::Serialize(CKelArchiveCore& ar)
{
  ar.SerializeTag("CSiteGroupingParamArray");
  // An entry takes at least its group, value and block count.
  return KelList::Serialize(ar, *this, 16);
}
