// The area list of the calculation-tree page as a bulk editor: the value
// chosen in a cell's editor goes to every selected row. These edits push no
// tree undo snapshot. Each is one host undo step all the same, its save in
// it: the colour, which rewrites placed figures, in the recolouring's step,
// every other edit in a step of the list's own.

#include "CPlenimetraFunc2.h"

#include "CArea2Object.h"
#include "CArea4Object.h"
#include "CAreaTree.h"
#include "CDGDlgCore.h"
#include "CDlgProgress.h"
#include "CElementChange.h"
#include "CGSUtil.h"
#include "CPlenimetraPalette.h"
#include "CPlenimetraParam.h"
#include "CTeamworkControl.h"
#include "DocRecord.h"
#include "GSWriteReport.h"
#include "ManualAreaText.h"
#include "dg_drawing.h"
#include "host_assert.h"
#include "host_attributes.h"
#include "host_notify.h"
#include "host_selection.h"

#include <algorithm>

namespace {

short ActStory() { return CGSUtil::GetActStory(); }

long long Chosen(short dialId, short item) { return CDGDlgCore::PopUpSelectedUserData(dialId, item); }

// A rounding kind the area list may set on a node: a concrete one.
bool IsConcreteKind(long long kind)
{
  return kind != CRoundTypeTable::ROUNDTYPE_NONE && kind != CRoundTypeTable::ROUNDTYPE_DEFAULT;
}

bool IsMode(long long mode) { return mode >= CArea2ObjectFloor::MODE_FIGURE && mode <= CArea2ObjectFloor::MODE_BOTH; }

}  // namespace

// ---------------------------------------------------------------------------
// Dispatch and rows

void CPlenimetraFunc2::DoMsgChangeAreaEditor(short dialId, short item)
{
  switch (item) {
  case ITEM_AREA_ITEMTYPE1: DoMsgChangeAreaItemType1(dialId); break;
  case ITEM_AREA_ITEMTYPE2: DoMsgChangeAreaItemType2(dialId); break;
  case ITEM_AREA_ROUND_TYPE: DoMsgChangeAreaRoundType(dialId); break;
  case ITEM_AREA_OPERATOR: DoMsgChangeAreaOperator(dialId); break;
  case ITEM_AREA_NAME: DoMsgChangeAreaName(dialId); break;
  case ITEM_AREA_SHOW_TOTAL: DoMsgChangeAreaShowTotal(dialId); break;
  case ITEM_AREA_LIST_TYPE: DoMsgChangeAreaListType(dialId); break;
  case ITEM_AREA_AUTO_CR: DoMsgChangeAreaAutoCr(dialId); break;
  case ITEM_AREA_BLD_ROUND_TYPE: DoMsgChangeAreaBldType(dialId); break;
  case ITEM_AREA_BLD_ROUND_DIGIT: DoMsgChangeAreaBldDigit(dialId); break;
  case ITEM_AREA_FLR_ROUND_TYPE: DoMsgChangeAreaFlrType(dialId); break;
  case ITEM_AREA_FLR_ROUND_DIGIT: DoMsgChangeAreaFlrDigit(dialId); break;
  case ITEM_AREA_TYPE: DoMsgChangeAreaType(dialId); break;
  case ITEM_AREA_EQUATION: DoMsgChangeAreaEquation(dialId); break;
  case ITEM_AREA_ORG_AREA: DoMsgChangeAreaOrgArea(dialId); break;
  case ITEM_AREA_COLOR: DoMsgChangeAreaColor(dialId); break;
  default: break;
  }
}

CSelectList CPlenimetraFunc2::GetSelAreaList(short dialId) const
{
  CSelectList selection = ListSelection(dialId, ITEM_AREA_LIST);
  selection.Sort();
  return selection;
}

// Rows carry node codes, as the tree's items do.
CAreaTree* CPlenimetraFunc2::RowNode(short dialId, short row) const
{
  CAreaTree* pattern = m_pParam->GetTree();
  CAreaTree* pTree = pattern != nullptr
                         ? pattern->FindNode(static_cast<int>(DGListGetItemUserData(dialId, ITEM_AREA_LIST, row)))
                         : nullptr;
  PLN_ASSERT(pTree != nullptr);
  return pTree;
}

void CPlenimetraFunc2::EachSelectedRow(short dialId, const RowChange& change)
{
  const CSelectList rows = GetSelAreaList(dialId);
  CDlgProgress progress;
  progress.OpenProgress("", false);
  progress.SetRange(static_cast<int>(rows.size()), "");
  for (int row : rows) {
    CAreaTree& node = *RowNode(dialId, static_cast<short>(row));
    CAreaObject* pAreaObject = m_pParam->GetAreaObject(node.m_AreaCode);
    PLN_ASSERT(pAreaObject != nullptr);
    change(node, *pAreaObject);
    progress.StepIt();
    FillAreaRow(dialId, static_cast<short>(row), &node);
  }
  progress.Close();
}

void CPlenimetraFunc2::EachSelectedElement(short dialId, const ElementChange& change)
{
  EachSelectedRow(dialId, [&](CAreaTree& node, CAreaObject& object) {
    if (node.m_AreaCode >= 0)
      return;
    auto* pArea2 = dynamic_cast<CArea2Object*>(&object);
    PLN_ASSERT(pArea2 != nullptr);
    change(*pArea2);
  });
}

void CPlenimetraFunc2::RefreshEditors() { m_pAreaListInfoParam->SetList(false); }

void CPlenimetraFunc2::DoMsgChangeAreaList(short dialId)
{
  if (*m_bIgnoreSelection)
    return;
  IgnoreSelection ignore(*m_bIgnoreSelection);
  ListChangeSelection(dialId);
  RefreshEditors();
}

void CPlenimetraFunc2::ListChangeSelection(short dialId)
{
  // The plan selection follows the list as far as the host lets it.
  (void)ACAPI_Element_DeselectAll();
  const CSelectList rows = GetSelAreaList(dialId);
  if (rows.empty())
    return;
  DGTreeViewDeselectItem(dialId, ITEM_TREE, DG_ALL_ITEMS);
  for (int row : rows)
    SelectTreeItem(dialId, DG_TVI_ROOT, RowNode(dialId, static_cast<short>(row)));
}

// ---------------------------------------------------------------------------
// The sixteen handlers

void CPlenimetraFunc2::DoMsgChangeAreaItemType1(short dialId) { ChangeNumbering(dialId, ITEM_AREA_ITEMTYPE1); }
void CPlenimetraFunc2::DoMsgChangeAreaItemType2(short dialId) { ChangeNumbering(dialId, ITEM_AREA_ITEMTYPE2); }

// A new mark (16) or numbering style (17) drops the item number; the tree
// renumbers every object in its new group.
void CPlenimetraFunc2::ChangeNumbering(short dialId, short item)
{
  const long long code = Chosen(dialId, item);
  if (code == 0)
    return RefreshEditors();
  EachSelectedRow(dialId, [&](CAreaTree&, CAreaObject& object) {
    if (item == 16)
      object.m_ItemType1 = static_cast<CItemType1Table::ITEMTYPE>(code);
    else
      object.m_ItemType2 = static_cast<CItemType2Table::ITEMTYPE>(code);
    object.m_No = -1;
  });
  RenumberAndSave(dialId);
}

void CPlenimetraFunc2::SaveListEdit()
{
  GSWriteFailure(GS::UniString(u"一覧の変更を保存できませんでした。"), SaveAsStep(*m_pParam, kListStep));
}

void CPlenimetraFunc2::RenumberAndSave(short dialId)
{
  m_pParam->GetTree()->SetItemNo(m_pParam);
  UpdateTreeItem(dialId, DG_TVI_ROOT);
  // Numbers of rows that were not selected may have moved too.
  SetAreaListItem(dialId);
  SaveListEdit();
}

void CPlenimetraFunc2::DoMsgChangeAreaRoundType(short dialId)
{
  const long long kind = Chosen(dialId, ITEM_AREA_ROUND_TYPE);
  if (kind == 0)
    return RefreshEditors();
  EachSelectedRow(dialId, [&](CAreaTree&, CAreaObject& object) {
    object.m_RoundType = static_cast<CRoundTypeTable::ROUNDTYPE>(kind);
  });
  RefreshEditors();
  SaveListEdit();
}

void CPlenimetraFunc2::DoMsgChangeAreaOperator(short dialId)
{
  const long long op = Chosen(dialId, ITEM_AREA_OPERATOR);
  EachSelectedRow(dialId, [&](CAreaTree& node, CAreaObject&) { node.m_Operator = static_cast<int>(op); });
  RefreshEditors();
  UpdateTreeItem(dialId, DG_TVI_ROOT);
  SaveListEdit();
}

void CPlenimetraFunc2::DoMsgChangeAreaName(short dialId)
{
  const GS::UniString name = DGGetItemText(dialId, ITEM_AREA_NAME);
  // An object without a name could not be told apart in any list.
  if (name.IsEmpty()) {
    GSWriteReport(GS::UniString(u"名前を入力してください"));
    return RefreshEditors();
  }
  if (DocText::RefuseUnheld(name))
    return RefreshEditors();
  EachSelectedRow(dialId, [&](CAreaTree&, CAreaObject& object) { object.m_Name.SetName2(ActStory(), name); });
  RefreshEditors();
  UpdateTreeItem(dialId, DG_TVI_ROOT);
  SaveListEdit();
}

void CPlenimetraFunc2::DoMsgChangeAreaShowTotal(short dialId)
{
  const long long show = Chosen(dialId, ITEM_AREA_SHOW_TOTAL);
  EachSelectedElement(dialId, [&](CArea2Object& element) {
    element.m_ShowTotal = static_cast<CArea2Object::SHOWTOTAL>(show);
  });
  RefreshEditors();
  SaveListEdit();
}

void CPlenimetraFunc2::DoMsgChangeAreaListType(short dialId)
{
  const long long type = Chosen(dialId, ITEM_AREA_LIST_TYPE);
  EachSelectedRow(dialId, [&](CAreaTree&, CAreaObject& object) {
    object.m_ListType = static_cast<CArea2ListTypeTable::LISTTYPE>(type);
  });
  RefreshEditors();
  SaveListEdit();
}

void CPlenimetraFunc2::DoMsgChangeAreaAutoCr(short dialId)
{
  const bool automatic = Chosen(dialId, ITEM_AREA_AUTO_CR) != 0;
  EachSelectedRow(dialId, [&](CAreaTree& node, CAreaObject& object) {
    if (node.m_AreaCode >= 1) {
      auto* pArea4Object = dynamic_cast<CArea4Object*>(&object);
      PLN_ASSERT(pArea4Object != nullptr);
      // A folder's own equation on this story carries its own breaks.
      if (pArea4Object->m_ManualEquationArray.Search(ActStory()) != nullptr)
        return;
    }
    object.m_AutoCr = automatic;
  });
  m_pAutoAreaListInfoParam->SetList(false);
  RefreshEditors();
  UpdateTreeItem(dialId, DG_TVI_ROOT);
  SaveListEdit();
}

void CPlenimetraFunc2::ChangeNodeRounding(short dialId, bool building, bool digits, bool rebuild)
{
  const short item = building ? (digits ? 25 : 24) : (digits ? 27 : 26);
  const long long value = Chosen(dialId, item);
  // 未定義 and デフォルト mean nothing for a node: the editor shows the
  // stored kind again.
  if (!digits && !IsConcreteKind(value))
    return RefreshEditors();
  EachSelectedRow(dialId, [&](CAreaTree& node, CAreaObject&) {
    CRoundTypeItem& rounding = building ? node.m_RoundTypeTotal : node.m_RoundTypeFloor;
    if (digits)
      rounding.m_Digit = static_cast<int>(value);
    else
      rounding.m_Type = static_cast<CRoundTypeTable::ROUNDTYPE>(value);
  });
  if (rebuild)
    SetTreeItem(dialId);
  RefreshEditors();
  SaveListEdit();
  UpdateTreeItem(dialId, DG_TVI_ROOT);
  ListChangeSelection(dialId);
}

void CPlenimetraFunc2::DoMsgChangeAreaBldType(short dialId) { ChangeNodeRounding(dialId, true, false, false); }
void CPlenimetraFunc2::DoMsgChangeAreaBldDigit(short dialId) { ChangeNodeRounding(dialId, true, true, false); }
void CPlenimetraFunc2::DoMsgChangeAreaFlrType(short dialId) { ChangeNodeRounding(dialId, false, false, false); }
void CPlenimetraFunc2::DoMsgChangeAreaFlrDigit(short dialId) { ChangeNodeRounding(dialId, false, true, true); }

void CPlenimetraFunc2::DoMsgChangeAreaType(short dialId)
{
  const long long mode = Chosen(dialId, ITEM_AREA_TYPE);
  if (!IsMode(mode))
    return RefreshEditors();
  CFloorParam* floor = FloorOnDemand(m_pParam, ActStory());
  EachSelectedElement(dialId, [&](CArea2Object& element) {
    ChangeAreaType(element.m_FloorArray.SearchFloor(ActStory()), floor, static_cast<CArea2ObjectFloor::MODE>(mode));
  });
  SetTreeItem(dialId);
  SetAutoAreaListItem(dialId);
  RefreshEditors();
  SaveListEdit();
}

void CPlenimetraFunc2::DoMsgChangeAreaEquation(short dialId)
{
  const GS::UniString equation = DGGetItemText(dialId, ITEM_AREA_EQUATION);
  if (DocText::RefuseUnheld(equation))
    return RefreshEditors();
  EachSelectedElement(dialId, [&](CArea2Object& element) {
    element.m_FloorArray.SearchFloor(ActStory())->m_ManualEquation = equation;
  });
  SetTreeItem(dialId);
  RefreshEditors();
  SaveListEdit();
}

void CPlenimetraFunc2::DoMsgChangeAreaOrgArea(short dialId)
{
  const std::optional<long long> area = ReadManualAreaText(DGGetItemText(dialId, ITEM_AREA_ORG_AREA));
  if (!area) {
    GSWriteReport(GS::UniString(kManualAreaRefused));
    return RefreshEditors();
  }
  EachSelectedElement(dialId, [&](CArea2Object& element) {
    element.m_FloorArray.SearchFloor(ActStory())->m_ManualArea = *area;
  });
  SetTreeItem(dialId);
  RefreshEditors();
  SaveListEdit();
}

void CPlenimetraFunc2::DoMsgChangeAreaColor(short dialId)
{
  const short pen = static_cast<short>(DGGetItemValLong(dialId, ITEM_AREA_COLOR));
  // Rows that have the pen already are neither taken nor written.
  bool any = false;
  std::vector<CArea2Object*> elements;
  for (int row : GetSelAreaList(dialId)) {
    CAreaObject* object = m_pParam->GetAreaObject(RowNode(dialId, static_cast<short>(row))->m_AreaCode);
    if (object == nullptr || object->m_ColorPen == pen)
      continue;
    any = true;
    if (auto* element = dynamic_cast<CArea2Object*>(object); element != nullptr)
      elements.push_back(element);
  }
  if (!any)
    return RefreshEditors();
  // The save joins the recolouring's step: the new colours and the record
  // go back and come again together. A figure another element colours
  // keeps its colour, and is given back.
  const auto recolour = [&]() -> GSErrCode {
    GSErrCode first = NoError;
    EachSelectedRow(dialId, [&](CAreaTree&, CAreaObject& object) {
      if (object.m_ColorPen == pen)
        return;
      object.m_ColorPen = pen;
      if (auto* element = dynamic_cast<CArea2Object*>(&object))
        if (const GSErrCode recoloured = ChangeAreaColor(element); first == NoError)
          first = recoloured;
    });
    return first;
  };
  bool ran = false;
  const GSErrCode err = CTeamworkTaking::Run(*m_pParam, RecolouringGuids(elements, {}), [&] {
    ran = true;
    return RunAsOneStep(GS::UniString(kRecolourStep), recolour, [&] {
      SetTreeItem(dialId);
      SetAutoAreaListItem(dialId);
      RefreshEditors();
      return m_pParam->SaveData();
    });
  });
  if (!ran)
    RefreshEditors();
  GSWriteFailure(GS::UniString(u"色の変更を完了できませんでした。"), err);
}

GSErrCode CPlenimetraFunc2::ChangeAreaColor(CArea2Object* element)
{
  GSErrCode first = NoError;
  for (const CArea2ObjectFloor& record : element->m_FloorArray)
    for (const CArea2List& entry : record.m_List)
      if (entry.m_pArea1 != nullptr)
        if (const GSErrCode err = entry.m_pArea1->ChangeParam(m_pParam, false); first == NoError)
          first = err;
  return first;
}

// ---------------------------------------------------------------------------
// Drawing and size

void CPlenimetraFunc2::DoMsgTrack(short dialId, short item, long long /*msgData*/)
{
  if (item == 31)
    DoMsgChangeAreaColor(dialId);
}

void CPlenimetraFunc2::DoMsgUpdate(short dialId, short item, long long msgData)
{
  if (item != ITEM_AREA_LIST || msgData == 0)
    return;
  const auto* update = reinterpret_cast<const DG::ItemUpdateEventArg*>(msgData);
  const CAreaTree* pTree = RowNode(dialId, update->row);
  const CAreaObject* pArea = m_pParam->GetAreaObject(pTree->m_AreaCode);
  PLN_ASSERT(pArea != nullptr);
  if (pArea->m_ColorPen <= 0)
    return;
  API_Attribute attribute;
  attribute.header.typeID = API_PenID;
  attribute.header.index = pArea->m_ColorPen;
  if (ACAPI_Attribute_Get(&attribute) != NoError)
    return;
  const API_RGBColor& rgb = attribute.pen.rgb;
  const NewDisplay::Color color{static_cast<UInt8>(rgb.f_red * 255), static_cast<UInt8>(rgb.f_green * 255),
                                static_cast<UInt8>(rgb.f_blue * 255), 255};
  NewDisplay::UserItemUpdateNativeContext context(update);
  const double w = context.GetWidth(), h = context.GetHeight();
  context.SetForeColor(color);
  context.FrameRect(1, 2, w - 3, h - 2);
  context.Line(7, 5, 7, h - 5);
  const DG::Rect swatch{std::min(15.0, w - 6), std::min(5.0, h - 5), std::max(15.0, w - 6), std::max(5.0, h - 5)};
  DG::Utils::FillRect(context, swatch, color);
}

void CPlenimetraFunc2::DoMsgResize(short dialId, DG::ResizeEventArg* arg)
{
  if (arg->kind != 1)
    return;
  DGBeginMoveGrowItems(dialId);
  DGGrowItem(dialId, ITEM_TREE, 0, arg->vGrow);
  for (short list = ITEM_AREA_LIST; list <= ITEM_AUTO_LIST; ++list)
    DGGrowItem(dialId, list, arg->hGrow, arg->vGrow);
  DGGrowItem(dialId, ITEM_SPLITTER, 0, arg->vGrow);
  DGGrowItem(dialId, ITEM_DEFAULT_ROUND, arg->hGrow, 0);
  DGEndMoveGrowItems(dialId);
}
