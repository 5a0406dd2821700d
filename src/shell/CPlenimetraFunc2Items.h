#pragma once
// The in-list editors of the calculation-tree page's area list: one class
// per editable column. Each writes its cell from a row's tree node
// (display) or lays the page's editor control over the cell of the first
// selected row, preset with that row's value (edit). They read the
// document and never change it: a display of a story without a record of
// the element shows what a record made on demand would (MODE 3), without
// making one.

#include "CArea2Object.h"
#include "CDGListItemParam.h"

class CAreaObject;
class CAreaTree;
class CPlenimetraParam;
class CPlenimetraFunc2;

// The shared protocol; a member says whether it applies to a node, what its
// cell shows, and how its control is preset.
class CPlenimetraFunc2ItemCore : public CDGListItemParamCore {
public:
  enum class Control { PopUp, Text, Pen };
  CPlenimetraFunc2ItemCore(short dialId, short listItem, short width, const GS::UniString& header,
                           short justification, short editItem, short columnId, Control control)
      : CDGListItemParamCore(dialId, listItem, width, header, justification, editItem, columnId), m_Control(control)
  {
  }
  void Func(short row, short column, bool text) override;

  CPlenimetraParam* m_pParam = nullptr;
  CPlenimetraFunc2* m_pPage = nullptr;

protected:
  // Whether the column shows and edits this row's value.
  virtual bool Applies(const CAreaTree& node) const = 0;
  // Whether the value can be edited in this row (Applies must hold).
  virtual bool Editable(const CAreaTree& node) const { return Applies(node); }
  virtual GS::UniString CellText(const CAreaTree& node) const = 0;
  // The pop-up entry's user data or the pen; unused for text controls.
  virtual long long Value(const CAreaTree& /*node*/) const { return 0; }
  // The edit field's preset; the cell text unless a class says otherwise.
  virtual GS::UniString EditText(const CAreaTree& node) const { return CellText(node); }

  const CAreaObject& ObjectOf(const CAreaTree& node) const;
  const CArea2Object* ElementOf(const CAreaTree& node) const;
  // The element's MODE on the active story; a missing record counts as
  // the MODE a record made on demand starts with.
  CArea2ObjectFloor::MODE ModeOf(const CArea2Object& element) const;

private:
  void Lay(short row, short column, const CAreaTree& node);
  Control m_Control;
};

// Declares one member of the family with its control.
#define PLN_FUNC2_ITEM(Name, ControlKind)                                                                     \
  class Name : public CPlenimetraFunc2ItemCore {                                                              \
  public:                                                                                                     \
    Name(short dialId, short listItem, short width, const GS::UniString& header, short justification,        \
         short editItem, short columnId)                                                                      \
        : CPlenimetraFunc2ItemCore(dialId, listItem, width, header, justification, editItem, columnId,        \
                                   Control::ControlKind)                                                      \
    {                                                                                                         \
    }                                                                                                         \
                                                                                                              \
  protected:                                                                                                  \
    bool Applies(const CAreaTree& node) const override;                                                       \
    bool Editable(const CAreaTree& node) const override;                                                      \
    GS::UniString CellText(const CAreaTree& node) const override;                                             \
    long long Value(const CAreaTree& node) const override;                                                    \
    GS::UniString EditText(const CAreaTree& node) const override;                                             \
  };

PLN_FUNC2_ITEM(CPlenimetraFunc2ItemType1, PopUp)
PLN_FUNC2_ITEM(CPlenimetraFunc2ItemType2, PopUp)
PLN_FUNC2_ITEM(CPlenimetraFunc2Operator, PopUp)
PLN_FUNC2_ITEM(CPlenimetraFunc2Name, Text)
PLN_FUNC2_ITEM(CPlenimetraFunc2ListType, PopUp)
PLN_FUNC2_ITEM(CPlenimetraFunc2Equation, Text)
PLN_FUNC2_ITEM(CPlenimetraFunc2OrgArea, Text)
PLN_FUNC2_ITEM(CPlenimetraFunc2RoundType, PopUp)
PLN_FUNC2_ITEM(CPlenimetraFunc2ShowTotal, PopUp)
PLN_FUNC2_ITEM(CPlenimetraFunc2AutoCr, PopUp)
PLN_FUNC2_ITEM(CPlenimetraFunc2BldRoundType, PopUp)
PLN_FUNC2_ITEM(CPlenimetraFunc2BldRoundDigit, PopUp)
PLN_FUNC2_ITEM(CPlenimetraFunc2FlrRoundType, PopUp)
PLN_FUNC2_ITEM(CPlenimetraFunc2FlrRoundDigit, PopUp)
PLN_FUNC2_ITEM(CPlenimetraFunc2AreaType, PopUp)
PLN_FUNC2_ITEM(CPlenimetraFunc2AreaColor, Pen)

#undef PLN_FUNC2_ITEM

// "小数点第d位".
GS::UniString DigitText(int digits);
