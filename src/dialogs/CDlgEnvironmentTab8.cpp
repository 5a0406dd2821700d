#include "CDlgEnvironmentTab8.h"

#include "CAttributeCommonParam.h"
#include "CDGDlgCore.h"
#include "CEnvParam.h"
#include "CPlenimetraParam.h"
#include "DlgLayout.h"

namespace {

constexpr short kMark = 2, kNumbering = 4;
constexpr short kSymbolPenNo = 7, kSymbolPen = 8, kFont = 10, kSymbolSize = 12, kSizeFlag = 14;
constexpr short kDimSize = 16, kFill = 18, kContPenNo = 20, kContPen = 21;
constexpr short kFillPenNo = 23, kFillPen = 24, kFillBackPenNo = 26, kFillBackPen = 27;
constexpr short kFillOff = 28;

// The fill kind of the host's fill chooser that this page offers.
constexpr API_UserControlType kFillChooser = static_cast<API_UserControlType>(2);

}  // namespace

pln::host::DGDialogDef CDlgEnvironmentTab8::Layout()
{
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def{600, 400, {}};
  auto add = [&def](short item, DGItemKind kind) { DlgLayout::AddInGrid(def, item, kind, 30, 13); };
  for (short item : {kMark, kNumbering, kFont})
    add(item, DGItemKind::PopUp);
  for (short item : {kSymbolPenNo, kContPenNo, kFillPenNo, kFillBackPenNo})
    add(item, DGItemKind::LongEdit);
  for (short item : {kSymbolPen, kContPen, kFillPen, kFillBackPen, kFill})
    add(item, DGItemKind::UserControl);
  for (short item : {kSymbolSize, kDimSize})
    add(item, DGItemKind::DoubleEdit);
  for (short item : {kSizeFlag, kFillOff})
    add(item, DGItemKind::CheckBox);
  return def;
}

CDlgEnvironmentTab8::CDlgEnvironmentTab8(short resId, CPlenimetraParam* param, CAttributeCommonParamArray* rows,
                                         CEnvParam* env)
    : CDGDlgTabCore(resId), m_pParam(param), m_pAttrCommonArray(rows), m_pEnvParam(env)
{
}

CAttributeCommonParam* CDlgEnvironmentTab8::GetAttrCommon()
{
  return m_pAttrCommonArray->Search(static_cast<CItemType1Table::ITEMTYPE>(m_ItemType1),
                                    static_cast<CItemType2Table::ITEMTYPE>(m_ItemType2));
}

CEnvFields CDlgEnvironmentTab8::Fields(CAttributeCommonParam& row) const
{
  CEnvFields fields;
  fields.pens = {{{kSymbolPenNo, kSymbolPen}, &row.m_SymbolPen},
                 {{kContPenNo, kContPen}, &row.m_ContPen},
                 {{kFillPenNo, kFillPen, true}, &row.m_FillPen},
                 {{kFillBackPenNo, kFillBackPen, true}, &row.m_FillBackPen}};
  fields.attributes = {{kFill, &row.m_Fill}};
  fields.checks = {{kSizeFlag, &row.m_bSizeFlag}, {kFillOff, &m_pEnvParam->m_FillPenOff}};
  fields.reals = {{kSymbolSize, &row.m_SymbolSize}, {kDimSize, &row.m_DimSize}};
  fields.fonts = {{kFont, &row.m_SymbolFont}};
  return fields;
}

void CDlgEnvironmentTab8::DoMsgInit()
{
  const short dialId = m_DialogID;
  CDGDlgCore::SetUserControlFill(dialId, kFill, kFillChooser);
  CDGDlgCore::SetUserControlPen(dialId, kSymbolPen);
  CDGDlgCore::SetUserControlPen(dialId, kContPen);
  CDGDlgCore::SetUserControlPenWithNull(dialId, kFillPen);
  CDGDlgCore::SetUserControlPenWithNull(dialId, kFillBackPen);
  CDGDlgCore::SetUserControlFont(dialId, kFont);
  for (const CItemType1Table& mark : m_pParam->m_ItemType1Table)
    if (mark.m_Code != CItemType1Table::ITEMTYPE_NONE)
      CDGDlgCore::PopUpInsert(dialId, kMark, mark.m_Text, mark.m_Code);
  for (const CItemType2Table& style : m_pParam->m_ItemType2Table)
    if (style.m_Code != CItemType2Table::ITEMTYPE_NONE)
      CDGDlgCore::PopUpInsert(dialId, kNumbering, style.m_Text, style.m_Code);
  UpdateData(false);
}

// Shows the pair's row, or the defaults of a pair that has none yet.
bool CDlgEnvironmentTab8::UpdateData(bool save)
{
  if (save)
    return true;
  const short dialId = m_DialogID;
  CAttributeCommonParam shown = ShownRow();
  CDGDlgCore::PopUpSelectItemUserData(dialId, kMark, m_ItemType1);
  CDGDlgCore::PopUpSelectItemUserData(dialId, kNumbering, m_ItemType2);
  Fields(shown).Show(dialId);
  return true;
}

void CDlgEnvironmentTab8::DoMsgChange(short item, long long /*msgData*/)
{
  const short dialId = m_DialogID;
  if (item == kMark || item == kNumbering) {
    const int code = static_cast<int>(CDGDlgCore::PopUpSelectedUserData(dialId, item));
    (item == kMark ? m_ItemType1 : m_ItemType2) = code;
    GetAttrCommon();
    UpdateData(false);
    return;
  }
  if (item == kFillOff) {
    m_pEnvParam->m_FillPenOff = DGGetItemValLong(dialId, kFillOff) != 0;
    return;
  }
  CAttributeCommonParam row = ShownRow();
  const CEnvFields::Taken taken = Fields(row).Take(dialId, item);
  TakeRow(row, taken);
}

void CDlgEnvironmentTab8::DoMsgTrack(short item, long long /*msgData*/)
{
  CAttributeCommonParam row = ShownRow();
  TakeRow(row, Fields(row).Track(m_DialogID, item));
}

// Edits go into a copy of the row: a refused value then adds no row.
void CDlgEnvironmentTab8::TakeRow(const CAttributeCommonParam& row, CEnvFields::Taken taken)
{
  if (taken == CEnvFields::Taken::Stored)
    *GetAttrCommon() = row;
  else if (taken == CEnvFields::Taken::Refused)
    UpdateData(false);
}

CAttributeCommonParam CDlgEnvironmentTab8::ShownRow() const
{
  const auto mark = static_cast<CItemType1Table::ITEMTYPE>(m_ItemType1);
  const auto numbering = static_cast<CItemType2Table::ITEMTYPE>(m_ItemType2);
  for (const CAttributeCommonParam& row : *m_pAttrCommonArray)
    if (row.m_ItemType1 == mark && row.m_ItemType2 == numbering)
      return row;
  return CAttributeCommonParam(mark, numbering);
}
