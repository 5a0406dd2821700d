#include "CDlgEnvironmentTab12.h"

#include "CAreaListAttr.h"
#include "CDGDlgCore.h"
#include "DlgLayout.h"

#include <limits>

namespace {

constexpr short kColWidth = 2, kRowHeight = 4, kColOffset = 6, kRowOffset = 8;
constexpr short kLinePenNo = 10, kLinePen = 11, kTextSize = 13, kFont = 16, kTextPenNo = 18, kTextPen = 19;

constexpr int kAnyInt = std::numeric_limits<int>::min();

}  // namespace

pln::host::DGDialogDef CDlgEnvironmentTab12::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def{600, 400, {}};
  auto add = [&def](short item, DGItemKind kind) { DlgLayout::AddInGrid(def, item, kind, 20, 20); };
  for (short item : {kColWidth, kRowHeight, kColOffset, kRowOffset, kLinePenNo, kTextPenNo})
    add(item, DGItemKind::LongEdit);
  for (short item : {kLinePen, kTextPen})
    add(item, DGItemKind::UserControl);
  add(kTextSize, DGItemKind::DoubleEdit);
  add(kFont, DGItemKind::PopUp);
  return def;
}

CDlgEnvironmentTab12::CDlgEnvironmentTab12(short resId, CAttributeTotalAreaParam* style)
    : CEnvFieldsPage(resId), m_pTotalAreaParam(style)
{
}

CEnvFields CDlgEnvironmentTab12::Fields() const
{
  CAttributeTotalAreaParam& style = *m_pTotalAreaParam;
  CEnvFields fields;
  fields.ints = {{kColWidth, &style.m_ColWidth, kAnyInt},
                 {kRowHeight, &style.m_RowHeight, kAnyInt},
                 {kColOffset, &style.m_ColOffset, kAnyInt},
                 {kRowOffset, &style.m_RowOffset, kAnyInt}};
  fields.pens = {{{kLinePenNo, kLinePen}, &style.m_LinePen}, {{kTextPenNo, kTextPen}, &style.m_TextPen}};
  fields.reals = {{kTextSize, &style.m_TextSize}};
  fields.fonts = {{kFont, &style.m_Font}};
  return fields;
}

void CDlgEnvironmentTab12::DoMsgInit()
{
  CDGDlgCore::SetUserControlPen(m_DialogID, kLinePen);
  CDGDlgCore::SetUserControlPen(m_DialogID, kTextPen);
  CDGDlgCore::SetUserControlFont(m_DialogID, kFont);
  UpdateData(false);
  SetEnableItem();
}

void CDlgEnvironmentTab12::SetEnableItem()
{
  EnableItem(kColOffset, true);
  EnableItem(kRowOffset, true);
}
