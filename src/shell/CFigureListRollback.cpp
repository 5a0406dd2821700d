#include "CFigureListRollback.h"

#include "CFloorParam.h"
#include "CPlenimetraParam.h"
#include "host_errors.h"

CFigureListRollback::CFigureListRollback(const CFloorParam* floor)
{
  if (floor == nullptr)
    return;
  for (const auto& figure : floor->m_Area1ObjectArray)
    m_States.push_back(Take(figure.get()));
}

CFigureListRollback::State CFigureListRollback::Take(CArea1Object* figure)
{
  return {figure,           figure->m_SortIndex, figure->m_No,     figure->m_ItemType1,
          figure->m_ItemType2, figure->m_RoundType, figure->m_bAutoCr, figure->m_Cr, figure->m_Recorded};
}

GSErrCode CFigureListRollback::Restore(CPlenimetraParam* param) const
{
  GSErrCode first = NoError;
  for (const State& before : m_States) {
    CArea1Object* figure = before.figure;
    const State now = Take(figure);
    const bool numbering = now.no != before.no || now.mark != before.mark || now.style != before.style;
    if (!numbering && now.sortIndex == before.sortIndex && now.roundType == before.roundType &&
        now.autoCr == before.autoCr && now.cr == before.cr)
      continue;
    figure->m_SortIndex = before.sortIndex;
    figure->m_No = before.no;
    figure->m_ItemType1 = before.mark;
    figure->m_ItemType2 = before.style;
    figure->m_RoundType = before.roundType;
    figure->m_bAutoCr = before.autoCr;
    figure->m_Cr = before.cr;
    figure->m_Recorded = before.recorded;
    GSErrCode err = numbering ? figure->ChangeParam(param, true) : NoError;
    if (err == NoError)
      err = figure->Save();
    if (first == NoError)
      first = err;
  }
  return first;
}
