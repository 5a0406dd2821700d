// The buttons of the calculation-tree page. Every command that changes the
// tree pushes one tree undo snapshot after the user confirmed and before
// the first change, and ends with the document's save result. That save is
// the command's host undo step too, beside the page's own tree undo.

#include "CPlenimetraFunc2.h"

#include "CArea2Object.h"
#include "CArea4Object.h"
#include "CAreaTree.h"
#include "CDlgCreateTreeItem.h"
#include "CDlgEditArea2.h"
#include "CDlgEditArea4.h"
#include "CDlgEditAreaListItem.h"
#include "CDlgEditCr.h"
#include "CDlgEditTreeShowItem.h"
#include "CElementChange.h"
#include "CFloorParam.h"
#include "CGSUtil.h"
#include "CPlenimetraFunc2Items.h"
#include "CPlenimetraParam.h"
#include "host_alert.h"
#include "host_assert.h"
#include "host_errors.h"

#include <cstdio>

namespace {

constexpr short kAlertKind = -3;
constexpr short kOk = 1;

short ActStory() { return CGSUtil::GetActStory(); }

bool Confirm(const GS::UniString& text)
{
  return DGAlert(kAlertKind, GS::UniString(u"メンセラ"), text, GS::UniString(), GS::UniString(u"はい"),
                 GS::UniString(u"いいえ"), GS::UniString()) == 1;
}

}  // namespace

GSErrCode CPlenimetraFunc2::DoItemInsert(short dialId)
{
  const CAreaTree* folder = GetSelectedTreeItem(dialId);
  if (folder == nullptr || folder->m_AreaCode < 1)
    return NoError;
  const int parentCode = folder->m_AreaCode;
  CDlgCreateTreeItem dialog(m_pParam);
  dialog.m_Name = m_LastItemName;
  dialog.m_Kind = m_LastItemType;
  dialog.m_RoundTypeItem1 = m_LastBldRoundType;
  dialog.m_RoundTypeItem2 = m_LastFlrRoundType;
  if (dialog.DoModal() != kOk)
    return NoError;
  m_LastItemName = dialog.m_Name;
  m_LastItemType = dialog.m_Kind;
  m_LastBldRoundType = dialog.m_RoundTypeItem1;
  m_LastFlrRoundType = dialog.m_RoundTypeItem2;
  m_pParam->SetUndo2();
  const int kind = dialog.m_Kind == CDlgCreateTreeItem::KIND_FOLDER ? CAreaTree::KIND_FOLDER
                                                                     : CAreaTree::KIND_ELEMENT_FORMULA;
  CAreaTree* tree = m_pParam->GetTree();
  tree->Insert(m_pParam, dialog.m_Name, ++m_pParam->m_LastAreaCode, parentCode, kind, dialog.m_RoundTypeItem1,
               dialog.m_RoundTypeItem2);
  tree->SetItemNo(m_pParam);
  SetTreeItem(dialId);
  SetAreaListItem(dialId);
  DeselectAreaRows(dialId);
  return SaveAsStep(*m_pParam, u"メンセラ[項目挿入]");
}

GSErrCode CPlenimetraFunc2::DoItemCopy(short dialId)
{
  const CAreaTree* source = GetSelectedTreeItem(dialId);
  if (source == nullptr || source->m_AreaCode < 1)
    return NoError;
  m_pParam->SetUndo2();
  CAreaTree copy = *source;
  const int sourceCode = source->m_AreaCode;
  copy.Duplicate(m_pParam);
  CAreaTree* tree = m_pParam->GetTree();
  tree->MoveUnder(sourceCode, copy);
  tree->Delete();
  tree->SetItemNo(m_pParam);
  SetTreeItem(dialId);
  SetAreaListItem(dialId);
  return SaveAsStep(*m_pParam, u"メンセラ[項目コピー]");
}

GSErrCode CPlenimetraFunc2::DoItemDelete(short dialId)
{
  const CSelectList selection = GetSelTree(dialId);
  char count[32];
  std::snprintf(count, sizeof count, " %ld ", static_cast<long>(selection.size()));
  if (!Confirm(GS::UniString(u"選択された") + GS::UniString(count, CC_Default) +
               GS::UniString(u"個の項目を削除します。\nよろしいですか？")))
    return NoError;
  m_pParam->SetUndo2();
  CAreaTree* tree = m_pParam->GetTree();
  PLN_ASSERT(tree != nullptr);
  for (int treeItem : selection)
    tree->DeleteMask(NodeOf(dialId, treeItem)->m_AreaCode);
  tree->Delete();
  SetTreeItem(dialId);
  tree->SetItemNo(m_pParam);
  SetAreaListItem(dialId);
  return SaveAsStep(*m_pParam, u"メンセラ[項目削除]");
}

GSErrCode CPlenimetraFunc2::DoItemEdit(short dialId)
{
  const CSelectList selection = GetSelTree(dialId);
  if (selection.empty())
    return NoError;
  if (selection.size() > 1) {
    // Several nodes: only their rounding, and only the values the user
    // changed.
    CDlgEditArea4 dialog(m_pParam, false, false);
    const CAreaTree* first = NodeOf(dialId, selection.front());
    dialog.m_RoundTypeItem1 = first->m_RoundTypeTotal;
    dialog.m_RoundTypeItem2 = first->m_RoundTypeFloor;
    if (dialog.DoModal() != kOk)
      return NoError;
    m_pParam->SetUndo2();
    for (int treeItem : selection) {
      CAreaTree* node = NodeOf(dialId, treeItem);
      CDlgEditArea4::ApplyRounding(dialog.m_RoundTypeItem1, node->m_RoundTypeTotal);
      CDlgEditArea4::ApplyRounding(dialog.m_RoundTypeItem2, node->m_RoundTypeFloor);
    }
    UpdateTreeItem(dialId, DG_TVI_ROOT);
    SetAreaListItem(dialId);
    return SaveAsStep(*m_pParam, u"メンセラ[項目編集]");
  }
  return EditOne(dialId, selection.front());
}

GSErrCode CPlenimetraFunc2::EditOne(short dialId, int treeItem)
{
  CAreaTree* node = NodeOf(dialId, treeItem);
  CAreaTree* parent = node != nullptr ? m_pParam->m_AreaTree2.GetParent(node) : nullptr;
  CAreaObject* parentObject = parent != nullptr ? m_pParam->FindAreaObject(parent->m_AreaCode) : nullptr;
  CAreaObject* object = node != nullptr ? m_pParam->FindAreaObject(node->m_AreaCode) : nullptr;
  if (parentObject == nullptr || object == nullptr)
    return NoError;
  const bool top = DGTreeViewGetItem(dialId, ITEM_TREE, treeItem, DG_TVG_PARENT) == 0;
  const auto preset = [&](CDlgEditAreaCore& dialog) {
    dialog.m_Name = object->m_Name;
    dialog.m_PatternName = parentObject->m_Name.m_DefaultName;
    dialog.m_RoundTypeItem1 = node->m_RoundTypeTotal;
    dialog.m_RoundTypeItem2 = node->m_RoundTypeFloor;
  };
  const auto takeBack = [&](const CDlgEditAreaCore& dialog) {
    object->m_Name = dialog.m_Name;
    if (top)
      parentObject->m_Name.m_DefaultName = dialog.m_PatternName;
    node->m_RoundTypeTotal = dialog.m_RoundTypeItem1;
    node->m_RoundTypeFloor = dialog.m_RoundTypeItem2;
  };
  if (node->m_AreaCode >= 1) {
    CDlgEditArea4 dialog(m_pParam, true, top);
    preset(dialog);
    if (dialog.DoModal() != kOk)
      return NoError;
    m_pParam->SetUndo2();
    takeBack(dialog);
  } else {
    auto* element = dynamic_cast<CArea2Object*>(object);
    PLN_ASSERT(element != nullptr);
    CDlgEditArea2 dialog(m_pParam, true, top);
    preset(dialog);
    const CArea2ObjectFloor* stored = element->m_FloorArray.FindFloor(ActStory());
    const CArea2ObjectFloor::MODE mode = stored != nullptr ? stored->m_Mode : CArea2ObjectFloor::MODE_AUTO;
    dialog.m_Mode = mode;
    if (mode == CArea2ObjectFloor::MODE_MANUAL) {
      dialog.m_ManualArea = stored->m_ManualArea;
      dialog.m_ManualEquation = stored->m_ManualEquation;
    }
    if (dialog.DoModal() != kOk)
      return NoError;
    m_pParam->SetUndo2();
    takeBack(dialog);
    CArea2ObjectFloor* record = element->m_FloorArray.SearchFloor(ActStory());
    if (dialog.m_Mode != mode)
      ChangeAreaType(record, FloorOnDemand(m_pParam, ActStory()), static_cast<CArea2ObjectFloor::MODE>(dialog.m_Mode));
    if (dialog.m_Mode == CArea2ObjectFloor::MODE_MANUAL) {
      record->m_ManualArea = dialog.m_ManualArea;
      record->m_ManualEquation = dialog.m_ManualEquation;
    }
  }
  UpdateTreeItem(dialId, DG_TVI_ROOT);
  SetAreaListItem(dialId);
  SetAutoAreaListItem(dialId);
  const GSErrCode err = SaveAsStep(*m_pParam, u"メンセラ[項目編集]");
  m_pAreaListInfoParam->SetList(false);
  return err;
}

void CPlenimetraFunc2::ChangeAreaType(CArea2ObjectFloor* record, CFloorParam* floor, CArea2ObjectFloor::MODE mode)
{
  record->m_Mode = mode;
  if (mode != CArea2ObjectFloor::MODE_MANUAL) {
    record->m_ManualEquation = GS::UniString();
    record->m_ManualArea = 0;
  }
  if (mode == CArea2ObjectFloor::MODE_FIGURE || mode == CArea2ObjectFloor::MODE_MANUAL) {
    record->m_AutoAreaGuidArray.clear();
    return;
  }
  // The entries are rebuilt from the automatic areas their figures were
  // cut from; figures placed by hand leave.
  std::vector<GS::Guid> sources;
  for (const CArea2List& entry : record->m_List) {
    const GS::Guid& guid = entry.m_pArea1->m_AutoArea.m_ElemGuid;
    if (!guid.IsNull() && std::find(sources.begin(), sources.end(), guid) == sources.end())
      sources.push_back(guid);
  }
  record->m_List.clear();
  for (const GS::Guid& guid : sources) {
    record->m_AutoAreaGuidArray.Add(guid);
    const API_Guid apiGuid = ToAPIGuid(guid);
    if (const CAutoAreaParam* area = floor != nullptr ? floor->m_AutoAreaParamArray.Search(&apiGuid) : nullptr) {
      CArea1ObjectPtrArray figures;
      for (auto& figure : area->GetAutoArea(m_pParam))
        figures.push_back(figure);
      record->m_List.SetAutoArea(figures);
    }
  }
}

GSErrCode CPlenimetraFunc2::DoUndo(short dialId)
{
  PLN_ASSERT(!*m_bIgnoreSelection);
  m_pParam->DoUndo2();
  {
    IgnoreSelection ignore(*m_bIgnoreSelection);
    SetTreeItem(dialId);
    SetAreaListItem(dialId);
  }
  const GSErrCode err = SaveAsStep(*m_pParam, u"メンセラ[元に戻す]");
  EnableItem(dialId);
  return err;
}

GSErrCode CPlenimetraFunc2::DoEditCr(short dialId)
{
  CAreaTree* node = GetSelectedTreeItem(dialId);
  if (node == nullptr)
    return NoError;
  CAreaObject* object = m_pParam->GetAreaObject(node->m_AreaCode);
  if (node->m_AreaCode >= 1) {
    auto* folder = dynamic_cast<CArea4Object*>(object);
    PLN_ASSERT(folder != nullptr);
    CDlgEditCr4 dialog(m_pParam, folder, CAreaTreeArray(node->m_Child.begin(), node->m_Child.end()));
    if (dialog.DoModal() != kOk)
      return NoError;
    m_pParam->SetUndo2();
    TakeFolderBreaks(*node, *folder, dialog);
  } else {
    auto* element = dynamic_cast<CArea2Object*>(object);
    PLN_ASSERT(element != nullptr);
    const CArea2ObjectFloor* record = element->m_FloorArray.FindFloor(ActStory());
    // One term has no gap to break, and a list sums no formula.
    if (record == nullptr || record->m_List.size() < 2 ||
        element->m_ListType != CArea2ListTypeTable::LISTTYPE_FORMULA)
      return NoError;
    CDlgEditCr2 dialog(m_pParam, element);
    if (dialog.DoModal() != kOk)
      return NoError;
    m_pParam->SetUndo2();
    element->m_AutoCr = dialog.m_bAutoCr;
    CArea2ObjectFloor* stored = element->m_FloorArray.SearchFloor(ActStory());
    if (!element->m_AutoCr)
      for (std::size_t i = 0; i < stored->m_List.size() && i < dialog.m_AreaFloor.m_List.size(); ++i)
        stored->m_List[i].m_CrMark = dialog.m_AreaFloor.m_List[i].m_CrMark;
  }
  RefillAreaRow(dialId, node);
  return SaveAsStep(*m_pParam, u"メンセラ[改行]");
}

void CPlenimetraFunc2::TakeFolderBreaks(CAreaTree& node, CArea4Object& folder, const CDlgEditCr4& dialog)
{
  if (dialog.m_bManualEquation) {
    folder.m_ManualEquationArray.Add(ActStory(), dialog.m_ManualEquation);
    return;
  }
  folder.m_ManualEquationArray.Erase(ActStory());
  folder.m_AutoCr = dialog.m_pArea4Object->m_AutoCr;
  if (!folder.m_AutoCr)
    for (std::size_t i = 0; i < node.m_Child.size() && i < dialog.m_AreaTreeArray.size(); ++i)
      node.m_Child[i].m_CrMark = dialog.m_AreaTreeArray[i].m_CrMark;
}

void CPlenimetraFunc2::RefillAreaRow(short dialId, CAreaTree* node)
{
  for (short row = 1; row <= DGListGetItemCount(dialId, ITEM_AREA_LIST); ++row)
    if (DGListGetItemUserData(dialId, ITEM_AREA_LIST, row) == node->m_AreaCode)
      FillAreaRow(dialId, row, node);
}

GSErrCode CPlenimetraFunc2::DoTreeEdit(short /*dialId*/)
{
  CTreeShowItem& flags = m_pParam->m_EnvParam.m_TreeShowItem;
  CDlgEditTreeShowItem dialog;
  dialog.m_bShowFloorArea = flags.m_bShowArea;
  dialog.m_bShowTotalArea = flags.m_bShowTotal;
  dialog.m_bShowMark = flags.m_bShowMarkNo;
  if (dialog.DoModal() != kOk)
    return NoError;
  flags.m_bShowArea = dialog.m_bShowFloorArea;
  flags.m_bShowTotal = dialog.m_bShowTotalArea;
  flags.m_bShowMarkNo = dialog.m_bShowMark;
  OnUpdate(kHintTreeShown);
  return SaveAsStep(*m_pParam, u"メンセラ[ツリー表示]");
}

GSErrCode CPlenimetraFunc2::DoEditAreaListItem(short dialId)
{
  CDlgEditAreaListItem dialog(m_pParam->m_AreaListItemArray);
  if (dialog.DoModal() != kOk)
    return NoError;
  m_pParam->m_AreaListItemArray = dialog.m_AreaListItemArray;
  const GSErrCode saved = SaveAsStep(*m_pParam, u"メンセラ[リスト項目]");
  SetAreaListHeader(dialId);
  SetAreaListItem(dialId);
  m_pAreaListInfoParam->SetList(false);
  return saved;
}
