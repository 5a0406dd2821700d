#include "CDlgEditAreaCore.h"

#include "CPlenimetraParam.h"
#include "DlgRoundPopUps.h"
#include "DocRecord.h"
#include "GSWriteReport.h"
#include "host_assert.h"

namespace {

// Rows of the rounding-kind table: 未定義, デフォルト and the three kinds.
constexpr std::size_t kRoundTypeRows = 5;

}  // namespace

CDlgEditAreaCore::CDlgEditAreaCore(short resourceId, CPlenimetraParam* param, bool editName, bool editPatternName)
    : CDGDlgCore(resourceId), m_pParam(param), m_bEditPatternName(editPatternName), m_bEditName(editName)
{
  PLN_ASSERT(param != nullptr);
}

void CDlgEditAreaCore::FillRoundPopUps(short dialId, bool keepDigits)
{
  const CRoundTypeTableArray& table = m_pParam->m_RoundTypeTable;
  PLN_ASSERT(table.size() == kRoundTypeRows);
  DlgRoundPopUps::FillTypePopUp(dialId, ITEM_TYPE1, table, m_RoundTypeItem1.m_Type);
  DlgRoundPopUps::FillTypePopUp(dialId, ITEM_TYPE2, table, m_RoundTypeItem2.m_Type);
  DlgRoundPopUps::FillDigitPopUp(dialId, ITEM_DIGIT1, keepDigits);
  DlgRoundPopUps::FillDigitPopUp(dialId, ITEM_DIGIT2, keepDigits);
}

void CDlgEditAreaCore::ShowNamesAndRounding(short dialId)
{
  if (m_bEditName)
    SetItemText(dialId, ITEM_NAME, m_Name.m_DefaultName);
  if (m_bEditPatternName)
    SetItemText(dialId, ITEM_PATTERN_NAME, m_PatternName);
  DlgRoundPopUps::SelectIfPresent(dialId, ITEM_TYPE1, m_RoundTypeItem1.m_Type);
  DlgRoundPopUps::SelectIfPresent(dialId, ITEM_TYPE2, m_RoundTypeItem2.m_Type);
  DlgRoundPopUps::SelectIfPresent(dialId, ITEM_DIGIT1, m_RoundTypeItem1.m_Digit);
  DlgRoundPopUps::SelectIfPresent(dialId, ITEM_DIGIT2, m_RoundTypeItem2.m_Digit);
}

bool CDlgEditAreaCore::ReadNames(short dialId, const GS::UniString& name, const char16_t* emptyNameMessage)
{
  if (m_bEditName) {
    m_Name.m_DefaultName = name;
    if (name.IsEmpty()) {
      GSWriteReport(GS::UniString(emptyNameMessage));
      return false;
    }
    if (DocText::RefuseUnheld(name))
      return false;
  }
  if (m_bEditPatternName) {
    m_PatternName = GetItemText(dialId, ITEM_PATTERN_NAME);
    if (m_PatternName.IsEmpty()) {
      GSWriteReport(GS::UniString(u"パターン名を入力してください"));
      return false;
    }
    if (DocText::RefuseUnheld(m_PatternName))
      return false;
  }
  return true;
}

void CDlgEditAreaCore::ReadRounding(short dialId)
{
  m_RoundTypeItem1.m_Type = SelectedType(dialId, ITEM_TYPE1);
  m_RoundTypeItem2.m_Type = SelectedType(dialId, ITEM_TYPE2);
  m_RoundTypeItem1.m_Digit = static_cast<int>(PopUpSelectedUserData(dialId, ITEM_DIGIT1));
  m_RoundTypeItem2.m_Digit = static_cast<int>(PopUpSelectedUserData(dialId, ITEM_DIGIT2));
}

void CDlgEditAreaCore::ChangeRoundType(short dialId, short item, bool accepted)
{
  CRoundTypeItem& stored = ItemOfTypePopUp(item);
  if (accepted)
    stored.m_Type = SelectedType(dialId, item);
  else
    DlgRoundPopUps::SelectIfPresent(dialId, item, stored.m_Type);
}

void CDlgEditAreaCore::EnableNameItems(short dialId)
{
  EnableItem(dialId, ITEM_PATTERN_NAME, m_bEditPatternName);
  EnableItem(dialId, ITEM_NAME, m_bEditName);
}

CRoundTypeTable::ROUNDTYPE CDlgEditAreaCore::SelectedType(short dialId, short item)
{
  return static_cast<CRoundTypeTable::ROUNDTYPE>(PopUpSelectedUserData(dialId, item));
}

CRoundTypeItem& CDlgEditAreaCore::ItemOfTypePopUp(short item)
{
  PLN_ASSERT(item == ITEM_TYPE1 || item == ITEM_TYPE2);
  return item == ITEM_TYPE1 ? m_RoundTypeItem1 : m_RoundTypeItem2;
}
