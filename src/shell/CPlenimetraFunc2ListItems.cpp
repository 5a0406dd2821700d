#include "CPlenimetraFunc2ListItems.h"

#include "CArea1Object.h"
#include "CArea2Object.h"
#include "CAutoAreaParam.h"
#include "CDGDlgCore.h"
#include "CGSUtil.h"
#include "CPlenimetraFunc2.h"
#include "CPlenimetraParam.h"
#include "host_assert.h"

namespace {

short ActStory() { return CGSUtil::GetActStory(); }

// The element's record on the active story; a missing one reads as a
// record made on demand would: MODE 3, no entries.
const CArea2ObjectFloor* RecordOf(const CArea2Object* element)
{
  return element != nullptr ? element->m_FloorArray.FindFloor(ActStory()) : nullptr;
}

CArea2ObjectFloor::MODE ModeOf(const CArea2Object* element)
{
  const CArea2ObjectFloor* record = RecordOf(element);
  return record != nullptr ? record->m_Mode : CArea2ObjectFloor::MODE_AUTO;
}

bool TakesAutoAreas(CArea2ObjectFloor::MODE mode)
{
  return mode == CArea2ObjectFloor::MODE_AUTO || mode == CArea2ObjectFloor::MODE_BOTH;
}

}  // namespace

void CPlenimetraFunc2ListItem::Place(short row, short column, bool lay)
{
  if (!lay) {
    DGListSetDialItemOnTabField(m_DialogID, m_ListItem, column, 0);
    return;
  }
  SetItemSize(row, column);
  DGListSetDialItemOnTabField(m_DialogID, m_ListItem, column, m_EditItem);
}

// ---------------------------------------------------------------------------
// Automatic-area list

void CPlenimetraAutoAreaOperator::Func(short row, short column, bool text)
{
  if (row < 1)
    return;
  const CAutoAreaParam* record = m_pPage->AutoAreaRecord(m_DialogID, row);
  const CArea2Object* element = m_pPage->GetSelectedElement(m_DialogID);
  const bool applies = element != nullptr && record != nullptr && TakesAutoAreas(ModeOf(element));
  const CArea2ObjectFloor* floor = RecordOf(element);
  const bool listed = applies && floor != nullptr &&
                      CArea2Object::SearchAutoAreaIndex(record, &floor->m_AutoAreaGuidArray) >= 0;
  if (text) {
    DGListSetTabItemText(m_DialogID, m_ListItem, row, column,
                         listed ? m_pParam->m_OperatorTable.GetOperatorStr(COperatorTable::OPERATOR_PLUS)
                                : GS::UniString());
    return;
  }
  Place(row, column, applies);
  if (applies)
    DGSetItemValLong(m_DialogID, m_EditItem,
                     CDGDlgCore::PopUpSearchIndex(m_DialogID, m_EditItem, listed ? COperatorTable::OPERATOR_PLUS
                                                                                   : COperatorTable::OPERATOR_NONE));
}

void CPlenimetraAutoAreaTarget::Func(short row, short column, bool text)
{
  if (text || row < 1)
    return;
  Place(row, column, DGListGetSelCount(m_DialogID, m_ListItem) == 1);
}

// ---------------------------------------------------------------------------
// Detail list

namespace {

// The figure's entry in the element's record on the active story.
CArea2List* EntryOf(CArea2Object* element, const CArea1Object* figure)
{
  CArea2ObjectFloor* floor = element != nullptr ? element->m_FloorArray.FindFloor(ActStory()) : nullptr;
  return floor != nullptr ? floor->m_List.Search(figure) : nullptr;
}

}  // namespace

void CPlenimetraDetail2Operator::Func(short row, short column, bool text)
{
  if (row < 1)
    return;
  CArea2Object* element = m_pPage->GetSelectedElement(m_DialogID);
  if (element == nullptr) {
    if (text)
      DGListSetTabItemText(m_DialogID, m_ListItem, row, column, GS::UniString());
    else
      Place(row, column, false);
    return;
  }
  const CArea1Object* pObject = m_pPage->DetailFigure(m_DialogID, row);
  PLN_ASSERT(pObject != nullptr);
  const CArea2List* entry = EntryOf(element, pObject);
  if (text) {
    DGListSetTabItemText(m_DialogID, m_ListItem, row, column,
                         entry != nullptr ? entry->GetOperatorStr(m_pParam) : GS::UniString());
    return;
  }
  const CArea2ObjectFloor::MODE mode = ModeOf(element);
  if (mode == CArea2ObjectFloor::MODE_MANUAL) {
    Place(row, column, false);
  } else if (mode == CArea2ObjectFloor::MODE_FIGURE || TakesAutoAreas(mode)) {
    Place(row, column, true);
    const long long op = entry != nullptr ? entry->m_Operator : COperatorTable::OPERATOR_NONE;
    DGSetItemValLong(m_DialogID, m_EditItem, CDGDlgCore::PopUpSearchIndex(m_DialogID, m_EditItem, op));
  }
}

void CPlenimetraDetail2RoundType::Func(short row, short column, bool text)
{
  if (row < 1)
    return;
  const CArea1Object* pObject = m_pPage->DetailFigure(m_DialogID, row);
  PLN_ASSERT(pObject != nullptr);
  const CArea2List* entry = EntryOf(m_pPage->GetSelectedElement(m_DialogID), pObject);
  if (text) {
    DGListSetTabItemText(m_DialogID, m_ListItem, row, column,
                         entry != nullptr ? entry->GetRoundTypeStr(m_pParam) : GS::UniString());
    return;
  }
  Place(row, column, entry != nullptr);
  if (entry != nullptr)
    DGSetItemValLong(m_DialogID, m_EditItem, CDGDlgCore::PopUpSearchIndex(m_DialogID, m_EditItem, entry->m_RoundType));
}
