#include "AutoAreaEntries.h"

#include "CAutoAreaParam.h"
#include "CPlenimetraParam.h"

#include <algorithm>

CArea2ObjectFloor AutoAreaEntries(const CPlenimetraParam& doc, const CAutoAreaParam& record, short story)
{
  CArea2ObjectFloor entries(story);
  entries.m_Mode = CArea2ObjectFloor::MODE_AUTO;
  for (const auto& figure : record.GetAutoArea(&doc)) {
    // Before the first entry of a greater sort index: equal ones stay in order.
    const auto at = std::find_if(entries.m_List.begin(), entries.m_List.end(), [&](const CArea2List& entry) {
      return entry.m_pArea1->m_SortIndex > figure->m_SortIndex;
    });
    entries.m_List.insert(at, CArea2List(figure, figure->m_AutoArea.m_Operator));
  }
  return entries;
}
