#include "CDlgEnvironmentTab1.h"

#include "CDGDlgCore.h"
#include "CDlgEditName.h"
#include "CPlenimetraParam.h"
#include "DlgLayout.h"
#include "GSWriteReport.h"

namespace {

constexpr short kInsert = 1;
constexpr short kRename = 2;
constexpr short kDelete = 3;
constexpr short kTables = 4;
constexpr short kArea1Kind = 6, kArea1Digit = 7;
constexpr short kListKind = 9, kListDigit = 10;
constexpr short kAngleKind = 12, kAngleDigit = 13;
constexpr short kLengthKind = 15, kLengthUnit = 16;
constexpr short kFixedKind = 18;  // shows 切り捨て, never enabled, not stored
constexpr short kPai = 19;
constexpr short kRoundUpFlag = 20;

constexpr short kEditItems[] = {kArea1Kind, kArea1Digit, kListKind,  kListDigit, kAngleKind,
                                kAngleDigit, kLengthKind, kLengthUnit, kPai,       kRoundUpFlag};

constexpr int kDigitMax = 6;
// The id of the table that a new settings record starts with.
constexpr int kFirstTableId = 0;

void FillDigits(short dialId, short item, int from)
{
  for (int d = from; d <= kDigitMax; ++d)
    CDGDlgCore::PopUpInsert(dialId, item, GS::UniString::Printf("小数点第%d位", d), d);
}

}  // namespace

pln::host::DGDialogDef CDlgEnvironmentTab1::Layout()
{
  using DlgLayout::Item;
  using pln::host::DGItemKind;
  pln::host::DGDialogDef def{600, 400, {}};
  def.items = {Item(kInsert, DGItemKind::Button, 10, 10), Item(kRename, DGItemKind::Button, 100, 10),
               Item(kDelete, DGItemKind::Button, 190, 10), Item(kTables, DGItemKind::PopUp, 280, 10, 200)};
  short top = 50;
  for (short item : {kArea1Kind, kListKind, kAngleKind, kLengthKind}) {
    def.items.push_back(Item(item, DGItemKind::PopUp, 150, top, 120));
    def.items.push_back(Item(static_cast<short>(item + 1), DGItemKind::PopUp, 280, top, 120));
    top = static_cast<short>(top + 30);
  }
  def.items.push_back(Item(kFixedKind, DGItemKind::PopUp, 150, top, 120));
  def.items.push_back(Item(kPai, DGItemKind::PopUp, 150, static_cast<short>(top + 30), 120));
  def.items.push_back(Item(kRoundUpFlag, DGItemKind::CheckBox, 150, static_cast<short>(top + 60), 250));
  return def;
}

CDlgEnvironmentTab1::CDlgEnvironmentTab1(short resId, CPlenimetraParam* param, CRoundTypeParamArray* tables)
    : CDGDlgTabCore(resId), m_pParam(param), m_pRoundTypeParamArray(tables)
{
}

void CDlgEnvironmentTab1::DoMsgInit()
{
  const short dialId = m_DialogID;
  for (const CPaiTable& pai : m_pParam->m_PaiTable)
    CDGDlgCore::PopUpInsert(dialId, kPai, pai.GetStr(), pai.m_Code);
  for (const CRoundTypeTable& kind : m_pParam->m_RoundTypeTable) {
    if (kind.m_Code == CRoundTypeTable::ROUNDTYPE_NONE || kind.m_Code == CRoundTypeTable::ROUNDTYPE_DEFAULT)
      continue;
    for (short item : {kArea1Kind, kListKind, kAngleKind, kLengthKind, kFixedKind})
      CDGDlgCore::PopUpInsert(dialId, item, kind.m_Name, kind.m_Code);
  }
  FillDigits(dialId, kArea1Digit, 0);
  FillDigits(dialId, kListDigit, CPlenimetraParam::GetDigitMin());
  FillDigits(dialId, kAngleDigit, CPlenimetraParam::GetDigitMin());
  CDGDlgCore::PopUpInsert(dialId, kLengthUnit, GS::UniString(u"0.1mm単位"), CRoundTypeParam::kLengthDigitTenthMm);
  CDGDlgCore::PopUpInsert(dialId, kLengthUnit, GS::UniString(u"1mm単位"), CRoundTypeParam::kLengthDigitMm);
  UpdateData(false);
  SetEnableItem();
}

void CDlgEnvironmentTab1::SetListItem()
{
  DGPopUpDeleteItem(m_DialogID, kTables, DG_ALL_ITEMS);
  for (const CRoundTypeParam& table : *m_pRoundTypeParamArray)
    CDGDlgCore::PopUpInsert(m_DialogID, kTables, table.m_Name, table.m_Id);
}

bool CDlgEnvironmentTab1::UpdateData(bool save)
{
  if (save)
    return true;
  SetListItem();
  CDGDlgCore::PopUpSelectItemUserData(m_DialogID, kTables, kFirstTableId);
  UpdateData2(false);
  return true;
}

CRoundTypeParam* CDlgEnvironmentTab1::SelectedTable()
{
  if (DGPopUpGetSelected(m_DialogID, kTables) == 0)
    return nullptr;
  return m_pRoundTypeParamArray->Search(static_cast<int>(CDGDlgCore::PopUpSelectedUserData(m_DialogID, kTables)));
}

void CDlgEnvironmentTab1::UpdateData2(bool save)
{
  if (save)
    return;
  if (const CRoundTypeParam* table = SelectedTable()) {
    const short dialId = m_DialogID;
    CDGDlgCore::PopUpSelectItemUserData(dialId, kArea1Kind, table->m_Area1RoundType.m_Type);
    CDGDlgCore::PopUpSelectItemUserData(dialId, kListKind, table->m_Area2ListRoundType.m_Type);
    CDGDlgCore::PopUpSelectItemUserData(dialId, kAngleKind, table->m_AngleRoundType.m_Type);
    CDGDlgCore::PopUpSelectItemUserData(dialId, kLengthKind, table->m_LengthRoundType.m_Type);
    CDGDlgCore::PopUpSelectItemUserData(dialId, kArea1Digit, table->m_Area1RoundType.m_Digit);
    CDGDlgCore::PopUpSelectItemUserData(dialId, kListDigit, table->m_Area2ListRoundType.m_Digit);
    CDGDlgCore::PopUpSelectItemUserData(dialId, kAngleDigit, table->m_AngleRoundType.m_Digit);
    CDGDlgCore::PopUpSelectItemUserData(dialId, kLengthUnit, table->m_LengthRoundType.m_Digit);
    CDGDlgCore::PopUpSelectItemUserData(dialId, kFixedKind, CRoundTypeTable::ROUNDTYPE_CUT);
    CDGDlgCore::PopUpSelectItemUserData(dialId, kPai, table->m_PaiCode);
    DGSetItemValLong(dialId, kRoundUpFlag, table->m_RoundUpNextDigit ? 1 : 0);
  }
  SetEnableItem();
}

void CDlgEnvironmentTab1::SetEnableItem()
{
  const bool selected = SelectedTable() != nullptr;
  EnableItem(kInsert, true);
  EnableItem(kTables, true);
  EnableItem(kRename, selected);
  EnableItem(kDelete, selected && m_pRoundTypeParamArray->size() > 1);
  for (short item : kEditItems)
    EnableItem(item, selected);
  EnableItem(kFixedKind, false);
}

void CDlgEnvironmentTab1::DoMsgChange(short item, long long /*msgData*/)
{
  if (item == kTables) {
    UpdateData2(false);
    return;
  }
  CRoundTypeParam* table = SelectedTable();
  if (table == nullptr) {
    SetEnableItem();
    return;
  }
  if (item == kRoundUpFlag) {
    table->m_RoundUpNextDigit = DGGetItemValLong(m_DialogID, kRoundUpFlag) != 0;
    SetEnableItem();
    return;
  }
  // Every other item is a pop-up.
  const int value = static_cast<int>(CDGDlgCore::PopUpSelectedUserData(m_DialogID, item));
  const auto kind = static_cast<CRoundTypeTable::ROUNDTYPE>(value);
  switch (item) {
  case kArea1Kind: table->m_Area1RoundType.m_Type = kind; break;
  case kListKind: table->m_Area2ListRoundType.m_Type = kind; break;
  case kAngleKind: table->m_AngleRoundType.m_Type = kind; break;
  case kLengthKind: table->m_LengthRoundType.m_Type = kind; break;
  case kArea1Digit: table->m_Area1RoundType.m_Digit = value; break;
  case kListDigit: table->m_Area2ListRoundType.m_Digit = value; break;
  case kAngleDigit: table->m_AngleRoundType.m_Digit = value; break;
  case kLengthUnit: table->m_LengthRoundType.m_Digit = value; break;
  case kPai: table->m_PaiCode = value; break;
  default: break;
  }
  SetEnableItem();
}

void CDlgEnvironmentTab1::DoMsgClick(short item, long long /*msgData*/)
{
  switch (item) {
  case kInsert: DoInsert(); break;
  case kRename: DoRename(); break;
  case kDelete: DoDelete(); break;
  default: break;
  }
}

std::vector<GS::UniString> CDlgEnvironmentTab1::NamesExcept(int skipPosition) const
{
  std::vector<GS::UniString> names;
  for (std::size_t i = 0; i < m_pRoundTypeParamArray->size(); ++i)
    if (static_cast<int>(i) != skipPosition)
      names.push_back((*m_pRoundTypeParamArray)[i].m_Name);
  return names;
}

void CDlgEnvironmentTab1::DoInsert()
{
  CDlgEditName dialog;
  dialog.m_NameArray = NamesExcept(-1);
  if (dialog.DoModal() != 1)
    return;
  m_pRoundTypeParamArray->AddNew(dialog.m_Name);
  SetListItem();
  DGPopUpSelectItem(m_DialogID, kTables, DGPopUpGetItemCount(m_DialogID, kTables));
  UpdateData2(false);
}

void CDlgEnvironmentTab1::DoRename()
{
  const short position = DGPopUpGetSelected(m_DialogID, kTables);
  if (position < 1 || position > static_cast<short>(m_pRoundTypeParamArray->size()))
    return;
  CDlgEditName dialog;
  dialog.m_NameArray = NamesExcept(position - 1);
  dialog.m_Name = (*m_pRoundTypeParamArray)[position - 1].m_Name;
  if (dialog.DoModal() != 1)
    return;
  (*m_pRoundTypeParamArray)[position - 1].m_Name = dialog.m_Name;
  SetListItem();
  DGPopUpSelectItem(m_DialogID, kTables, position);
  SetEnableItem();
}

bool CDlgEnvironmentTab1::IsUsedByPattern(int id) const
{
  for (const CAreaTree& pattern : m_pParam->m_AreaTree2.m_Child)
    if (pattern.m_RoundTypeId == id)
      return true;
  return false;
}

void CDlgEnvironmentTab1::DoDelete()
{
  const short position = DGPopUpGetSelected(m_DialogID, kTables);
  if (position < 1 || position > static_cast<short>(m_pRoundTypeParamArray->size()) ||
      m_pRoundTypeParamArray->size() < 2)
    return;
  if (IsUsedByPattern((*m_pRoundTypeParamArray)[position - 1].m_Id)) {
    GSWriteReport(GS::UniString(u"選択した端数処理テーブルは使用中です\n削除することができません"));
    return;
  }
  m_pRoundTypeParamArray->erase(m_pRoundTypeParamArray->begin() + (position - 1));
  SetListItem();
  const short count = DGPopUpGetItemCount(m_DialogID, kTables);
  DGPopUpSelectItem(m_DialogID, kTables, position <= count ? position : count);
  UpdateData2(false);
}
