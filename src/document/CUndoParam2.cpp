#include "CUndoParam2.h"

#include "CFloorParam.h"

CUndoParam2::CUndoParam2(const CAreaTree& tree, const CFloorParamArray& floors, const CArea2ObjectArray& elements,
                         const CArea4ObjectArray& folders, int lastArea1Code, int lastAreaCode)
    : m_AreaTree(tree),
      m_Area2ObjectArray(elements),
      m_Area4ObjectArray(folders),
      m_LastArea1Code(lastArea1Code),
      m_LastAreaCode(lastAreaCode)
{
  m_Area1Array.reserve(floors.size());
  for (const CFloorParam& floor : floors)
    m_Area1Array.push_back(floor.m_Area1ObjectArray);
}

void CUndoParam2::clear()
{
  m_AreaTree.Clear();
  m_Area1Array.clear();
  m_Area2ObjectArray.clear();
  m_Area4ObjectArray.clear();
}

bool CUndoParam2::operator==(const CUndoParam2& other) const
{
  // The figure lists compare by identity: the same shared records in order.
  return m_AreaTree == other.m_AreaTree && m_Area1Array == other.m_Area1Array &&
         m_Area2ObjectArray == other.m_Area2ObjectArray && m_Area4ObjectArray == other.m_Area4ObjectArray &&
         m_LastArea1Code == other.m_LastArea1Code && m_LastAreaCode == other.m_LastAreaCode;
}
