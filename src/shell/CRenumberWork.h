#pragma once
// The work lists of renumbering the figure list: each figure taking part
// with whether it is to get a new number, grouped by mark/numbering pair in
// the order the pairs first occur.

#include "CArea1Object.h"

#include <vector>

class CDlgProgress;
class CPlenimetraParam;

struct CRenumberWork {
  CArea1Object* m_pObject;  // not owned
  bool m_bSelected;         // gets a new number
};

// The works of one pair.
class CRenumberWorkItem : public std::vector<CRenumberWork> {
public:
  explicit CRenumberWorkItem(const CRenumberWork& first) { push_back(first); }

  bool IsSamePair(const CArea1Object& figure) const;
  // The selected works in ascending sort index; the others keep their
  // places.
  void Sort();
  // The selected works take start, start + 1, ... in order; a changed one
  // has its part rewritten and its record saved. The first failure is
  // returned; the loop still runs to its end.
  [[nodiscard]] GSErrCode SetItemNo(CPlenimetraParam* document, CDlgProgress* progress, int start);
  // Whether numbering the selected works from start would meet a number an
  // unselected work of the pair holds.
  bool Overlaps(int start) const;
  // Appends the elements of the works SetItemNo(start) would give another
  // number: all that a renumbering writes.
  void AddRenumbered(int start, GS::Array<API_Guid>& guids) const;
};

class CRenumberWorkItemArray : public std::vector<CRenumberWorkItem> {
public:
  void Add(const CRenumberWork& work);
};
