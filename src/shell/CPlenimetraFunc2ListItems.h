#pragma once
// The in-list editors of the calculation-tree page's detail list (figures)
// and automatic-area list (records). Each writes its cell for a row
// (display) or lays the page's editor control over the cell of the
// selected row (edit). They read the document and never change it: a
// story without a record of the selected element shows what a record made
// on demand would (MODE 3).

#include "CDGListItemParam.h"

class CPlenimetraFunc2;
class CPlenimetraParam;

class CPlenimetraFunc2ListItem : public CDGListItemParamCore {
public:
  using CDGListItemParamCore::CDGListItemParamCore;
  CPlenimetraParam* m_pParam = nullptr;
  CPlenimetraFunc2* m_pPage = nullptr;

protected:
  // Lays the editor over (row, column), or detaches it when lay is false.
  void Place(short row, short column, bool lay);
};

// Detail column 2, pop-up 15: the figure's operator in the element.
class CPlenimetraDetail2Operator : public CPlenimetraFunc2ListItem {
public:
  using CPlenimetraFunc2ListItem::CPlenimetraFunc2ListItem;
  void Func(short row, short column, bool text) override;
};

// Detail column 4, pop-up 14: the rounding kind of the figure's entry.
class CPlenimetraDetail2RoundType : public CPlenimetraFunc2ListItem {
public:
  using CPlenimetraFunc2ListItem::CPlenimetraFunc2ListItem;
  void Func(short row, short column, bool text) override;
};

// Automatic-area column 4, pop-up 32: whether the element takes the area.
class CPlenimetraAutoAreaOperator : public CPlenimetraFunc2ListItem {
public:
  using CPlenimetraFunc2ListItem::CPlenimetraFunc2ListItem;
  void Func(short row, short column, bool text) override;
};

// Automatic-area column 6, button 33: shown while exactly one row is
// selected; it opens the target dialog.
class CPlenimetraAutoAreaTarget : public CPlenimetraFunc2ListItem {
public:
  using CPlenimetraFunc2ListItem::CPlenimetraFunc2ListItem;
  void Func(short row, short column, bool text) override;
};
