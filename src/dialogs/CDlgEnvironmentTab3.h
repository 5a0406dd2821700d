#pragma once
// CDlgEnvironmentTab3: the drawing styles of triangles, rectangles and
// trapezoids. Inner marks and per-line forms are stored as the chosen
// entry's text (what the library part receives), the trapezoid's per-line
// position as its code. A stored text that matches no choice selects no
// entry and stays until the user chooses one.

#include "CEnvChoiceArray.h"
#include "CEnvFieldsPage.h"
#include "dg_state.h"

class CAreaTriangleAttr;
class CAreaRectAttr;
class CAreaTrapezoidAttr;

class CDlgEnvironmentTab3 : public CEnvFieldsPage {
public:
  static constexpr short ResourceId = 32512;
  static pln::host::DGDialogDef Layout();

  CDlgEnvironmentTab3(short resId, CAreaTriangleAttr* triangle, CAreaRectAttr* rect, CAreaTrapezoidAttr* trapezoid);

  void DoMsgInit() override;

private:
  struct TextChoice {
    short item;
    const CEnvChoiceArray* table;
    GS::UniString* field;
  };
  std::vector<TextChoice> TextChoices() const;
  CEnvFields Fields() const override;
  // The choice pop-ups: texts by their table, the position by its code.
  bool ChangeOwn(short item) override;
  void ShowOwn() override;

  CAreaTriangleAttr* m_pTriangleAttr;
  CTriangleAreaPerlineFormArray m_TriangleAreaPerlineForm;
  CTriangleAreaInTypeArray m_TriangleAreaInType;
  CAreaRectAttr* m_pRectAttr;
  CRectAreaInTypeArray m_RectAreaInType;
  CAreaTrapezoidAttr* m_pTrapezoidAttr;
  CTrapezoidPerlineFormArray m_TrapezoidPerlineForm;
  CTrapezoidPerlineTypeArray m_TrapezoidPerlineType;
  CTrapezoidAreaInTypeArray m_TrapezoidAreaInType;
};
