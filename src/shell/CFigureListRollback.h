#pragma once
// CFigureListRollback: what an edit of the figure list may change on the
// active story's figures (order, number, mark, numbering style, rounding,
// line breaks), taken before the edit starts. A refused or failed edit puts
// every figure back, in memory and in its element, so the list and the
// stored records show what they showed before: nothing is shown that is
// not stored, and no half-written order is kept.

#include "CArea1Object.h"

#include <vector>

class CFloorParam;
class CPlenimetraParam;

class CFigureListRollback {
public:
  // The floor's figures as they are now; no floor, no figures.
  explicit CFigureListRollback(const CFloorParam* floor);

  // Every figure that differs from what was taken gets it back and is
  // written again: its record, and its placed parameters when its mark or
  // number changed. A figure whose element refused the edit was never
  // written, so a rewrite it refuses again leaves its stored record as it
  // was; the first failure is answered all the same.
  [[nodiscard]] GSErrCode Restore(CPlenimetraParam* param) const;

private:
  struct State {
    CArea1Object* figure;
    int sortIndex;
    int no;
    CItemType1Table::ITEMTYPE mark;
    CItemType2Table::ITEMTYPE style;
    CRoundTypeTable::ROUNDTYPE roundType;
    bool autoCr;
    CCrMarkArray cr;
    CArea1Object::RecordedIndex recorded;
  };
  static State Take(CArea1Object* figure);

  std::vector<State> m_States;
};
