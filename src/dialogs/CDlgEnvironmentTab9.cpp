#include "CDlgEnvironmentTab9.h"

#include "CAreaListAttr.h"
#include "CDGDlgCore.h"
#include "DlgLayout.h"
#include "host_assert.h"

#include <limits>

namespace {

constexpr short kTable = 1;
constexpr short kColWidth1 = 3, kColWidth2 = 5, kColWidth3 = 7, kHeader = 8, kRowHeight = 10;
constexpr short kGapH = 16, kGapV = 18, kRowLimitLabel = 19, kRowLimit = 20, kShowMark = 21;
constexpr short kFramePenNo = 23, kFramePen = 24, kTextSize = 26, kFont = 29;
constexpr short kTextPenNo = 31, kTextPen = 32, kMinusPenNo = 34, kMinusPen = 35;

// The automatic-division table is not split into tables of rows.
constexpr int kAutoAreaTable = 3;
// A table of fewer rows would never fill and the output would not end.
constexpr int kMinRowLimit = 1;
constexpr int kAnyInt = std::numeric_limits<int>::min();

struct TableChoice {
  const char16_t* text;
  int code;
};
constexpr TableChoice kTables[] = {
    {u"求積図形求積表", 0}, {u"計算要素求積表", 1}, {u"小計フォルダ求積表", 2}, {u"自動分割区画求積表", 3}};

}  // namespace

pln::host::DGDialogDef CDlgEnvironmentTab9::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def{600, 400, {}};
  auto add = [&def](short item, DGItemKind kind) { DlgLayout::AddInGrid(def, item, kind, 36, 11); };
  for (short item : {kTable, kFont})
    add(item, DGItemKind::PopUp);
  for (short item : {kColWidth1, kColWidth2, kColWidth3, kRowHeight, kTextSize})
    add(item, DGItemKind::DoubleEdit);
  for (short item : {kGapH, kGapV, kRowLimit, kFramePenNo, kTextPenNo, kMinusPenNo})
    add(item, DGItemKind::LongEdit);
  for (short item : {kHeader, kShowMark})
    add(item, DGItemKind::CheckBox);
  for (short item : {kFramePen, kTextPen, kMinusPen})
    add(item, DGItemKind::UserControl);
  add(kRowLimitLabel, DGItemKind::StaticText);
  return def;
}

CDlgEnvironmentTab9::CDlgEnvironmentTab9(short resId, CAreaListAttr* figures, CAreaListAttr* elements,
                                         CAreaListAttr* folders, CAreaListAttr* autoAreas)
    : CEnvFieldsPage(resId),
      m_pListAttr1(figures),
      m_pListAttr2(elements),
      m_pListAttr3(folders),
      m_pListAttr4(autoAreas)
{
}

CAreaListAttr* CDlgEnvironmentTab9::GetListPtr() const
{
  switch (CDGDlgCore::PopUpSelectedUserData(m_DialogID, kTable)) {
  case 0: return m_pListAttr1;
  case 1: return m_pListAttr2;
  case 2: return m_pListAttr3;
  case 3: return m_pListAttr4;
  default: PLN_ASSERT(false); return m_pListAttr1;
  }
}

CEnvFields CDlgEnvironmentTab9::Fields() const
{
  CAreaListAttr& style = *GetListPtr();
  CEnvFields fields;
  fields.intsFromReals = {{kColWidth1, &style.m_ColWidth1},
                          {kColWidth2, &style.m_ColWidth2},
                          {kColWidth3, &style.m_ColWidth3},
                          {kRowHeight, &style.m_RowHeight}};
  fields.checks = {{kHeader, &style.m_bHeader}, {kShowMark, &style.m_bShowMark}};
  fields.pens = {{{kFramePenNo, kFramePen}, &style.m_FramePen},
                 {{kTextPenNo, kTextPen}, &style.m_TextPen},
                 {{kMinusPenNo, kMinusPen}, &style.m_MinusPen}};
  fields.reals = {{kTextSize, &style.m_TextSize}};
  fields.ints = {{kGapH, &style.m_GapH, kAnyInt}, {kGapV, &style.m_GapV, kAnyInt}, {kRowLimit, &style.m_RowLimit, kMinRowLimit}};
  fields.fonts = {{kFont, &style.m_Font}};
  return fields;
}

void CDlgEnvironmentTab9::DoMsgInit()
{
  const short dialId = m_DialogID;
  for (const TableChoice& table : kTables)
    CDGDlgCore::PopUpInsert(dialId, kTable, GS::UniString(table.text), table.code);
  CDGDlgCore::PopUpSelectItemUserData(dialId, kTable, 0);
  for (short item : {kFramePen, kTextPen, kMinusPen})
    CDGDlgCore::SetUserControlPen(dialId, item);
  CDGDlgCore::SetUserControlFont(dialId, kFont);
  UpdateData(false);
  SetEnableItem();
}

void CDlgEnvironmentTab9::ShowOwn()
{
  const bool split = CDGDlgCore::PopUpSelectedUserData(m_DialogID, kTable) != kAutoAreaTable;
  for (short item : {kRowLimitLabel, kRowLimit, kShowMark})
    split ? DGShowItem(m_DialogID, item) : DGHideItem(m_DialogID, item);
}

bool CDlgEnvironmentTab9::ChangeOwn(short item)
{
  if (item != kTable)
    return false;
  UpdateData(false);
  return true;
}

void CDlgEnvironmentTab9::SetEnableItem()
{
  EnableItem(kGapH, true);
  EnableItem(kGapV, true);
}
