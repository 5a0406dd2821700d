#include "CPlenimetraFunc2Items.h"

#include "CArea4Object.h"
#include "CAreaTree.h"
#include "CDGDlgCore.h"
#include "CGSUtil.h"
#include "CPlenimetraFunc2.h"
#include "CPlenimetraParam.h"
#include "host_assert.h"

#include <cstdio>

GS::UniString DigitText(int digits)
{
  char text[32];
  std::snprintf(text, sizeof text, "%d", digits);
  return GS::UniString(u"小数点第") + GS::UniString(text, CC_Default) + GS::UniString(u"位");
}

namespace {

short ActStory() { return CGSUtil::GetActStory(); }

// The manual area's digits: the figure-area item of the current pattern's
// rounding table, all six without one (as a new table has).
int ManualAreaDigits(const CPlenimetraParam& param)
{
  return CRoundTypeItem::DigitOf(param.GetArea1DefaultRoundType(), CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 6));
}

bool HasManualEquation(const CAreaObject& object)
{
  const auto* folder = dynamic_cast<const CArea4Object*>(&object);
  return folder != nullptr && folder->m_ManualEquationArray.Search(ActStory()) != nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// The shared protocol

const CAreaObject& CPlenimetraFunc2ItemCore::ObjectOf(const CAreaTree& node) const
{
  const CAreaObject* pAreaObject = m_pParam->FindAreaObject(node.m_AreaCode);
  PLN_ASSERT(pAreaObject != nullptr);
  return *pAreaObject;
}

const CArea2Object* CPlenimetraFunc2ItemCore::ElementOf(const CAreaTree& node) const
{
  return node.m_AreaCode < 0 ? dynamic_cast<const CArea2Object*>(m_pParam->FindAreaObject(node.m_AreaCode)) : nullptr;
}

CArea2ObjectFloor::MODE CPlenimetraFunc2ItemCore::ModeOf(const CArea2Object& element) const
{
  const CArea2ObjectFloor* record = element.m_FloorArray.FindFloor(ActStory());
  return record != nullptr ? record->m_Mode : CArea2ObjectFloor::MODE_AUTO;
}

void CPlenimetraFunc2ItemCore::Func(short row, short column, bool text)
{
  if (row < 1)
    return;
  CAreaTree* pattern = m_pParam != nullptr ? m_pParam->GetTree() : nullptr;
  const DGUserData code = DGListGetItemUserData(m_DialogID, m_ListItem, row);
  const CAreaTree* node = pattern != nullptr && code != 0 ? pattern->FindNode(static_cast<int>(code)) : nullptr;
  if (text) {
    const bool shown = node != nullptr && Applies(*node);
    DGListSetTabItemText(m_DialogID, m_ListItem, row, column, shown ? CellText(*node) : GS::UniString());
    return;
  }
  if (node != nullptr && Applies(*node) && Editable(*node))
    Lay(row, column, *node);
  else
    DGListSetDialItemOnTabField(m_DialogID, m_ListItem, column, 0);
}

void CPlenimetraFunc2ItemCore::Lay(short row, short column, const CAreaTree& node)
{
  SetItemSize(row, column);
  DGListSetDialItemOnTabField(m_DialogID, m_ListItem, column, m_EditItem);
  switch (m_Control) {
  case Control::PopUp:
    DGSetItemValLong(m_DialogID, m_EditItem, CDGDlgCore::PopUpSearchIndex(m_DialogID, m_EditItem, Value(node)));
    break;
  case Control::Text:
    DGSetItemText(m_DialogID, m_EditItem, EditText(node));
    break;
  case Control::Pen:
    DGSetItemValLong(m_DialogID, m_EditItem, static_cast<Int32>(Value(node)));
    break;
  }
}

// ---------------------------------------------------------------------------
// The members. Rows with a node apply unless said otherwise; every row that
// applies is editable unless said otherwise.

#define PLN_ALL_ROWS(Name)                                                                              \
  bool Name::Applies(const CAreaTree&) const { return true; }                                           \
  bool Name::Editable(const CAreaTree&) const { return true; }                                          \
  GS::UniString Name::EditText(const CAreaTree& node) const { return CellText(node); }

PLN_ALL_ROWS(CPlenimetraFunc2ItemType1)
GS::UniString CPlenimetraFunc2ItemType1::CellText(const CAreaTree& node) const { return m_pParam->m_ItemType1Table.GetMarkStr(ObjectOf(node).m_ItemType1); }
long long CPlenimetraFunc2ItemType1::Value(const CAreaTree& node) const { return ObjectOf(node).m_ItemType1; }

PLN_ALL_ROWS(CPlenimetraFunc2ItemType2)
GS::UniString CPlenimetraFunc2ItemType2::CellText(const CAreaTree& node) const
{
  const CItemType2Table* row = m_pParam->m_ItemType2Table.SearchFromCode(ObjectOf(node).m_ItemType2);
  return row != nullptr ? row->m_Text : GS::UniString();
}
long long CPlenimetraFunc2ItemType2::Value(const CAreaTree& node) const { return ObjectOf(node).m_ItemType2; }

PLN_ALL_ROWS(CPlenimetraFunc2Operator)
GS::UniString CPlenimetraFunc2Operator::CellText(const CAreaTree& node) const { return node.GetOperatorStr(m_pParam); }
long long CPlenimetraFunc2Operator::Value(const CAreaTree& node) const { return node.m_Operator; }

PLN_ALL_ROWS(CPlenimetraFunc2Name)
GS::UniString CPlenimetraFunc2Name::CellText(const CAreaTree& node) const { return ObjectOf(node).m_Name.GetName(ActStory()); }
long long CPlenimetraFunc2Name::Value(const CAreaTree&) const { return 0; }

bool CPlenimetraFunc2ListType::Applies(const CAreaTree& node) const { return m_pParam->FindAreaObject(node.m_AreaCode) != nullptr; }
bool CPlenimetraFunc2ListType::Editable(const CAreaTree&) const { return true; }
GS::UniString CPlenimetraFunc2ListType::CellText(const CAreaTree& node) const
{
  return m_pParam->m_Area2ListTypeTable.GetListTypeStr(ObjectOf(node).m_ListType);
}
long long CPlenimetraFunc2ListType::Value(const CAreaTree& node) const { return ObjectOf(node).m_ListType; }
GS::UniString CPlenimetraFunc2ListType::EditText(const CAreaTree& node) const { return CellText(node); }

// The equation: the typed one in MODE 2, else the computed one (display
// only); folders show nothing.
bool CPlenimetraFunc2Equation::Applies(const CAreaTree& node) const { return ElementOf(node) != nullptr; }
bool CPlenimetraFunc2Equation::Editable(const CAreaTree& node) const { return ModeOf(*ElementOf(node)) == CArea2ObjectFloor::MODE_MANUAL; }
GS::UniString CPlenimetraFunc2Equation::CellText(const CAreaTree& node) const
{
  const CArea2Object& element = *ElementOf(node);
  if (ModeOf(element) == CArea2ObjectFloor::MODE_MANUAL)
    return element.m_FloorArray.FindFloor(ActStory())->m_ManualEquation;
  return const_cast<CArea2Object&>(element).GetEquation(m_pParam, ActStory(), false, 0);
}
long long CPlenimetraFunc2Equation::Value(const CAreaTree&) const { return 0; }
GS::UniString CPlenimetraFunc2Equation::EditText(const CAreaTree& node) const { return CellText(node); }

// The area: the typed one in MODE 2 (editable), else the unrounded one.
bool CPlenimetraFunc2OrgArea::Applies(const CAreaTree& node) const { return m_pParam->FindAreaObject(node.m_AreaCode) != nullptr; }
bool CPlenimetraFunc2OrgArea::Editable(const CAreaTree& node) const
{
  const CArea2Object* element = ElementOf(node);
  return element != nullptr && ModeOf(*element) == CArea2ObjectFloor::MODE_MANUAL;
}
GS::UniString CPlenimetraFunc2OrgArea::CellText(const CAreaTree& node) const
{
  if (Editable(node))
    return EditText(node);
  return ObjectOf(node).GetOrgAreaStr(m_pParam, ActStory());
}
long long CPlenimetraFunc2OrgArea::Value(const CAreaTree&) const { return 0; }
GS::UniString CPlenimetraFunc2OrgArea::EditText(const CAreaTree& node) const
{
  const CArea2ObjectFloor* record = ElementOf(node)->m_FloorArray.FindFloor(ActStory());
  return m_pParam->GetAreaStr(record->m_ManualArea, ManualAreaDigits(*m_pParam));
}

PLN_ALL_ROWS(CPlenimetraFunc2RoundType)
GS::UniString CPlenimetraFunc2RoundType::CellText(const CAreaTree& node) const
{
  return m_pParam->m_RoundTypeTable.GetRoundTypeStr(ObjectOf(node).m_RoundType);
}
long long CPlenimetraFunc2RoundType::Value(const CAreaTree& node) const { return ObjectOf(node).m_RoundType; }

bool CPlenimetraFunc2ShowTotal::Applies(const CAreaTree& node) const { return ElementOf(node) != nullptr; }
bool CPlenimetraFunc2ShowTotal::Editable(const CAreaTree&) const { return true; }
GS::UniString CPlenimetraFunc2ShowTotal::CellText(const CAreaTree& node) const
{
  return m_pPage->m_ShowTotalTable.GetShowTotalStr(ElementOf(node)->m_ShowTotal);
}
long long CPlenimetraFunc2ShowTotal::Value(const CAreaTree& node) const { return ElementOf(node)->m_ShowTotal; }
GS::UniString CPlenimetraFunc2ShowTotal::EditText(const CAreaTree& node) const { return CellText(node); }

// A folder with its own equation on this story breaks lines by hand.
bool CPlenimetraFunc2AutoCr::Applies(const CAreaTree& node) const { return !HasManualEquation(ObjectOf(node)); }
bool CPlenimetraFunc2AutoCr::Editable(const CAreaTree&) const { return true; }
GS::UniString CPlenimetraFunc2AutoCr::CellText(const CAreaTree& node) const
{
  const CAutoCrTable* row = m_pParam->m_AutoCrTable.SearchFromCode(ObjectOf(node).m_AutoCr);
  return row != nullptr ? row->m_Text : GS::UniString();
}
long long CPlenimetraFunc2AutoCr::Value(const CAreaTree& node) const { return ObjectOf(node).m_AutoCr ? 1 : 0; }
GS::UniString CPlenimetraFunc2AutoCr::EditText(const CAreaTree& node) const { return CellText(node); }

PLN_ALL_ROWS(CPlenimetraFunc2BldRoundType)
GS::UniString CPlenimetraFunc2BldRoundType::CellText(const CAreaTree& node) const
{
  return m_pParam->m_RoundTypeTable.GetRoundTypeStr(node.m_RoundTypeTotal.m_Type);
}
long long CPlenimetraFunc2BldRoundType::Value(const CAreaTree& node) const { return node.m_RoundTypeTotal.m_Type; }

PLN_ALL_ROWS(CPlenimetraFunc2BldRoundDigit)
GS::UniString CPlenimetraFunc2BldRoundDigit::CellText(const CAreaTree& node) const { return DigitText(node.m_RoundTypeTotal.m_Digit); }
long long CPlenimetraFunc2BldRoundDigit::Value(const CAreaTree& node) const { return node.m_RoundTypeTotal.m_Digit; }

PLN_ALL_ROWS(CPlenimetraFunc2FlrRoundType)
GS::UniString CPlenimetraFunc2FlrRoundType::CellText(const CAreaTree& node) const
{
  return m_pParam->m_RoundTypeTable.GetRoundTypeStr(node.m_RoundTypeFloor.m_Type);
}
long long CPlenimetraFunc2FlrRoundType::Value(const CAreaTree& node) const { return node.m_RoundTypeFloor.m_Type; }

PLN_ALL_ROWS(CPlenimetraFunc2FlrRoundDigit)
GS::UniString CPlenimetraFunc2FlrRoundDigit::CellText(const CAreaTree& node) const { return DigitText(node.m_RoundTypeFloor.m_Digit); }
long long CPlenimetraFunc2FlrRoundDigit::Value(const CAreaTree& node) const { return node.m_RoundTypeFloor.m_Digit; }

bool CPlenimetraFunc2AreaType::Applies(const CAreaTree& node) const
{
  ObjectOf(node);
  return ElementOf(node) != nullptr;
}
bool CPlenimetraFunc2AreaType::Editable(const CAreaTree&) const { return true; }
GS::UniString CPlenimetraFunc2AreaType::CellText(const CAreaTree& node) const
{
  return CArea2ObjectFloor::GetAreaTypeName(ModeOf(*ElementOf(node)));
}
long long CPlenimetraFunc2AreaType::Value(const CAreaTree& node) const { return ModeOf(*ElementOf(node)); }
GS::UniString CPlenimetraFunc2AreaType::EditText(const CAreaTree& node) const { return CellText(node); }

PLN_ALL_ROWS(CPlenimetraFunc2AreaColor)
// The swatch is drawn by the page.
GS::UniString CPlenimetraFunc2AreaColor::CellText(const CAreaTree&) const { return GS::UniString(); }
long long CPlenimetraFunc2AreaColor::Value(const CAreaTree& node) const { return ObjectOf(node).m_ColorPen; }

#undef PLN_ALL_ROWS
