#include "CFloorParam.h"

#include "CPlenimetraParam.h"
#include "host_libpart.h"

#include <algorithm>
#include <utility>

// ---- CTreeCodeArray ---------------------------------------------------------

bool CTreeCodeArray::IsExisted2(int code) const { return std::find(begin(), end(), code) != end(); }

void CTreeCodeArray::Add(int code)
{
  if (!IsExisted2(code))
    push_back(code);
}

void CTreeCodeArray::Erase(int code)
{
  auto it = std::find(begin(), end(), code);
  if (it != end())
    erase(it);
}

// ---- CHotLinkParamArray -----------------------------------------------------

bool CHotLinkParamArray::IsHotLink(const API_Guid& guid)
{
  API_Guid element = guid;
  API_Guid node{};
  if (ACAPI_Goodies('GHLG', &element, &node) != NoError)
    return false;
  return !node.IsNull();
}

bool CHotLinkParamArray::IsHaveData(const API_Guid& guid) const
{
  return std::any_of(begin(), end(), [&](const CAutoAreaParam& r) { return r.m_ElemHead.guid == guid; });
}

CAutoAreaParam* CHotLinkParamArray::Search(const API_Guid& guid)
{
  auto it = std::find_if(begin(), end(), [&](const CAutoAreaParam& r) { return r.m_ElemHead.guid == guid; });
  return it == end() ? nullptr : &*it;
}

void CHotLinkParamArray::Add(const CAutoAreaParam* record)
{
  if (record == nullptr)
    return;
  if (CAutoAreaParam* existing = Search(record->m_ElemHead.guid))
    *existing = *record;
  else
    push_back(*record);
}

void CHotLinkParamArray::Remove(const API_Guid& guid)
{
  auto it = std::find_if(begin(), end(), [&](const CAutoAreaParam& r) { return r.m_ElemHead.guid == guid; });
  if (it != end())
    erase(it);
}

// ---- CFloorParam ------------------------------------------------------------

CFloorParam::CFloorParam(short floorNo, const GS::UniString& name, bool calc, CTreeCodeArray calcExclude,
                         CTreeCodeArray outputExclude, CArea1ObjectArray figures, CAutoAreaParamArray autoAreas,
                         CHotLinkParamArray hotLinks)
    : m_FloorNo(floorNo),
      m_CalcExcludeCodes(std::move(calcExclude)),
      m_OutputExcludeCodes(std::move(outputExclude)),
      m_bCalc(calc),
      m_FloorName(name),
      m_Area1ObjectArray(std::move(figures)),
      m_AutoAreaParamArray(std::move(autoAreas)),
      m_HotLinkParamArray(std::move(hotLinks))
{
}

bool CFloorParam::IsCalc(const CFloorParamArray* floors, int treeCode) const
{
  if (floors != nullptr && floors->m_bCalcPerFloor)
    return m_bCalc;
  return !m_CalcExcludeCodes.IsExisted2(treeCode);
}

bool CFloorParam::IsOutputWorksheet(int treeCode) const { return !m_OutputExcludeCodes.IsExisted2(treeCode); }

// ---- CFloorParamArray -------------------------------------------------------

CFloorParam* CFloorParamArray::Search(short floorNo)
{
  auto it = std::find_if(begin(), end(), [&](const CFloorParam& f) { return f.m_FloorNo == floorNo; });
  return it == end() ? nullptr : &*it;
}

const CFloorParam* CFloorParamArray::Search(short floorNo) const
{
  return const_cast<CFloorParamArray*>(this)->Search(floorNo);
}

int CFloorParamArray::GetTotalLines(const CPlenimetraParam* doc, int treeCode)
{
  const CFloorParamArray& floors = doc->m_FloorParamArray;
  return static_cast<int>(
      std::count_if(floors.begin(), floors.end(), [&](const CFloorParam& f) { return f.IsCalc(&floors, treeCode); }));
}
