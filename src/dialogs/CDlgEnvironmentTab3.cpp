#include "CDlgEnvironmentTab3.h"

#include "CAreaAttr.h"
#include "CDGDlgCore.h"
#include "DlgLayout.h"

namespace {

// Triangle.
constexpr short kTriInner = 3, kTriInnerPenNo = 5, kTriInnerPen = 6, kTriInnerLine = 8;
constexpr short kTriPerlineForm = 10, kTriPerlinePenNo = 12, kTriPerlinePen = 13, kTriPerlineLine = 15;
constexpr short kTriVertexOrder = 16, kTriSymbolX = 18, kTriSymbolY = 20;
// Rectangle.
constexpr short kRectInner = 23, kRectInnerPenNo = 25, kRectInnerPen = 26, kRectInnerLine = 28;
constexpr short kRectSymbolX = 30, kRectSymbolY = 32;
// Trapezoid.
constexpr short kTrapInner = 35, kTrapInnerPenNo = 37, kTrapInnerPen = 38, kTrapInnerLine = 40;
constexpr short kTrapPerlineForm = 42, kTrapPerlineType = 44, kTrapPerlinePenNo = 46, kTrapPerlinePen = 47;
constexpr short kTrapPerlineLine = 49, kTrapSymbolX = 51, kTrapSymbolY = 53;

// User data that no choice carries.
constexpr int kNoChoice = -1;

}  // namespace

pln::host::DGDialogDef CDlgEnvironmentTab3::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def{600, 400, {}};
  auto add = [&def](short item, DGItemKind kind) { DlgLayout::AddInGrid(def, item, kind, 18, 21); };
  for (short item : {kTriInner, kTriPerlineForm, kRectInner, kTrapInner, kTrapPerlineForm, kTrapPerlineType})
    add(item, DGItemKind::PopUp);
  for (short item : {kTriInnerPenNo, kTriPerlinePenNo, kRectInnerPenNo, kTrapInnerPenNo, kTrapPerlinePenNo})
    add(item, DGItemKind::LongEdit);
  for (short item : {kTriInnerPen, kTriInnerLine, kTriPerlinePen, kTriPerlineLine, kRectInnerPen, kRectInnerLine,
                     kTrapInnerPen, kTrapInnerLine, kTrapPerlinePen, kTrapPerlineLine})
    add(item, DGItemKind::UserControl);
  add(kTriVertexOrder, DGItemKind::CheckBox);
  for (short item : {kTriSymbolX, kTriSymbolY, kRectSymbolX, kRectSymbolY, kTrapSymbolX, kTrapSymbolY})
    add(item, DGItemKind::DoubleEdit);
  return def;
}

CDlgEnvironmentTab3::CDlgEnvironmentTab3(short resId, CAreaTriangleAttr* triangle, CAreaRectAttr* rect,
                                         CAreaTrapezoidAttr* trapezoid)
    : CEnvFieldsPage(resId), m_pTriangleAttr(triangle), m_pRectAttr(rect), m_pTrapezoidAttr(trapezoid)
{
}

std::vector<CDlgEnvironmentTab3::TextChoice> CDlgEnvironmentTab3::TextChoices() const
{
  return {{kTriInner, &m_TriangleAreaInType, &m_pTriangleAttr->m_area_in_type},
          {kTriPerlineForm, &m_TriangleAreaPerlineForm, &m_pTriangleAttr->m_area_perline_form},
          {kRectInner, &m_RectAreaInType, &m_pRectAttr->m_area_in_type},
          {kTrapInner, &m_TrapezoidAreaInType, &m_pTrapezoidAttr->m_area_in_type},
          {kTrapPerlineForm, &m_TrapezoidPerlineForm, &m_pTrapezoidAttr->m_area_perline_form}};
}

CEnvFields CDlgEnvironmentTab3::Fields() const
{
  CEnvFields fields;
  fields.pens = {{{kTriInnerPenNo, kTriInnerPen}, &m_pTriangleAttr->m_area_in_pen},
                 {{kTriPerlinePenNo, kTriPerlinePen}, &m_pTriangleAttr->m_area_perline_pen},
                 {{kRectInnerPenNo, kRectInnerPen}, &m_pRectAttr->m_area_in_pen},
                 {{kTrapInnerPenNo, kTrapInnerPen}, &m_pTrapezoidAttr->m_area_in_pen},
                 {{kTrapPerlinePenNo, kTrapPerlinePen}, &m_pTrapezoidAttr->m_area_perline_pen}};
  fields.attributes = {{kTriInnerLine, &m_pTriangleAttr->m_area_in_line},
                       {kTriPerlineLine, &m_pTriangleAttr->m_area_perline_line},
                       {kRectInnerLine, &m_pRectAttr->m_area_in_line},
                       {kTrapInnerLine, &m_pTrapezoidAttr->m_area_in_line},
                       {kTrapPerlineLine, &m_pTrapezoidAttr->m_area_perline_line}};
  fields.checks = {{kTriVertexOrder, &m_pTriangleAttr->m_bVertexOrder}};
  fields.reals = {{kTriSymbolX, &m_pTriangleAttr->m_area_symbol_x}, {kTriSymbolY, &m_pTriangleAttr->m_area_symbol_y},
                  {kRectSymbolX, &m_pRectAttr->m_area_symbol_x},     {kRectSymbolY, &m_pRectAttr->m_area_symbol_y},
                  {kTrapSymbolX, &m_pTrapezoidAttr->m_area_symbol_x}, {kTrapSymbolY, &m_pTrapezoidAttr->m_area_symbol_y}};
  return fields;
}

void CDlgEnvironmentTab3::DoMsgInit()
{
  const short dialId = m_DialogID;
  m_TriangleAreaPerlineForm.FillPopUp(dialId, kTriPerlineForm);
  m_TriangleAreaInType.FillPopUp(dialId, kTriInner);
  m_RectAreaInType.FillPopUp(dialId, kRectInner);
  m_TrapezoidPerlineForm.FillPopUp(dialId, kTrapPerlineForm);
  m_TrapezoidPerlineType.FillPopUp(dialId, kTrapPerlineType);
  m_TrapezoidAreaInType.FillPopUp(dialId, kTrapInner);
  for (short item : {kTriPerlinePen, kTriInnerPen, kRectInnerPen, kTrapPerlinePen, kTrapInnerPen})
    CDGDlgCore::SetUserControlPen(dialId, item);
  for (short item : {kTriPerlineLine, kTriInnerLine, kRectInnerLine, kTrapPerlineLine, kTrapInnerLine})
    CDGDlgCore::SetUserControlLineType(dialId, item);
  UpdateData(false);
}

void CDlgEnvironmentTab3::ShowOwn()
{
  const short dialId = m_DialogID;
  for (const TextChoice& choice : TextChoices()) {
    // A text written elsewhere that matches no choice selects nothing.
    const CEnvChoice* entry = choice.table->SearchText(*choice.field);
    CDGDlgCore::PopUpSelectItemUserData(dialId, choice.item, entry != nullptr ? entry->m_Code : kNoChoice);
  }
  CDGDlgCore::PopUpSelectItemUserData(dialId, kTrapPerlineType, m_pTrapezoidAttr->m_area_perline_type);
}

bool CDlgEnvironmentTab3::ChangeOwn(short item)
{
  const short dialId = m_DialogID;
  for (const TextChoice& choice : TextChoices()) {
    if (choice.item != item)
      continue;
    const auto code = static_cast<int>(CDGDlgCore::PopUpSelectedUserData(dialId, item));
    const CEnvChoice* entry = choice.table->SearchCode(code);
    if (entry != nullptr && DGPopUpGetSelected(dialId, item) != 0)
      *choice.field = EnvPageInput::ThroughDefaultCode(entry->m_Text);
    return true;
  }
  if (item != kTrapPerlineType)
    return false;
  m_pTrapezoidAttr->m_area_perline_type = static_cast<short>(CDGDlgCore::PopUpSelectedUserData(dialId, item));
  return true;
}
