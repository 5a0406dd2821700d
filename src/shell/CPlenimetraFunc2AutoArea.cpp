// The automatic-area list of the calculation-tree page: one row per
// automatic area of the active story, in record order. The selected tree
// element takes areas in (pop-up 32, the target dialog of button 33, a
// drop onto the tree) or gives them back; taking one in merges its figures
// into the element's entries, giving it back removes them again.

#include "CPlenimetraFunc2.h"

#include "CArea1Object.h"
#include "CArea2Object.h"
#include "CAreaTree.h"
#include "CAutoAreaParam.h"
#include "CDGDlgCore.h"
#include "CDlgEditArea2Target.h"
#include "CFloorParam.h"
#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "GSWriteReport.h"
#include "host_assert.h"
#include "host_errors.h"
#include "host_notify.h"

#include <algorithm>

namespace {

short ActStory() { return CGSUtil::GetActStory(); }

const char16_t* const kNotAutoArea = u"計算要素の集計面積タイプが、自動作成区画に設定されていません";

bool TakesAutoAreas(CArea2ObjectFloor::MODE mode)
{
  return mode == CArea2ObjectFloor::MODE_AUTO || mode == CArea2ObjectFloor::MODE_BOTH;
}

UInt16 Channel16(double channel) { return static_cast<UInt16>(static_cast<unsigned int>(channel * 65535.0)); }

CArea1ObjectPtrArray FiguresOf(const CAutoAreaParam& record, const CPlenimetraParam* param)
{
  CArea1ObjectPtrArray figures;
  for (auto& figure : record.GetAutoArea(param))
    figures.push_back(figure);
  return figures;
}

}  // namespace

CArea2Object* CPlenimetraFunc2::GetSelectedElement(short dialId) const
{
  const CAreaTree* node = GetSelectedTreeItem(dialId);
  if (node == nullptr || node->m_AreaCode >= 0)
    return nullptr;
  auto* element = dynamic_cast<CArea2Object*>(m_pParam->GetAreaObject(node->m_AreaCode));
  PLN_ASSERT(element != nullptr);
  return element;
}

// ---------------------------------------------------------------------------
// Rows

void CPlenimetraFunc2::SetAutoAreaListItem(short dialId, short row, CAutoAreaParam* record)
{
  if (row < 1 || row > DGListGetItemCount(dialId, ITEM_AUTO_LIST))
    return;
  DGListSetItemUserData(dialId, ITEM_AUTO_LIST, row, reinterpret_cast<DGUserData>(record));
  const API_RGBColor rgb = record->GetColor();
  const DGColor16 background{Channel16(rgb.f_red), Channel16(rgb.f_green), Channel16(rgb.f_blue)};
  const short columns = static_cast<short>(m_pAutoAreaListInfoParam->size());
  for (short column = 1; column <= columns; ++column) {
    DGListSetTabItemBackgroundColor(dialId, ITEM_AUTO_LIST, row, column, background);
    CDGListItemParamCore& info = *(*m_pAutoAreaListInfoParam)[static_cast<std::size_t>(column - 1)];
    if (info.HasEditItem())
      info.Func(row, column, true);
  }
  GS::UniString layer;
  if (CGSUtil::GetAttrName(API_LayerID, record->m_ElemHead.layer, layer) != NoError)
    layer.Clear();  // a layer that is gone shows no name
  DGListSetTabItemText(dialId, ITEM_AUTO_LIST, row, 1, record->GetName());
  DGListSetTabItemText(dialId, ITEM_AUTO_LIST, row, 2, record->GetZoneCategory());
  DGListSetTabItemText(dialId, ITEM_AUTO_LIST, row, 3, layer);
  DGListSetTabItemText(dialId, ITEM_AUTO_LIST, row, 5, GetAutoAreaTarget(record));
}

CAutoAreaParam* CPlenimetraFunc2::AutoAreaRecord(short dialId, short row) const
{
  return reinterpret_cast<CAutoAreaParam*>(DGListGetItemUserData(dialId, ITEM_AUTO_LIST, row));
}

CSelectList CPlenimetraFunc2::GetSelAutoAreaList(short dialId) const { return ListSelection(dialId, ITEM_AUTO_LIST); }

// ---------------------------------------------------------------------------
// Targets

void CPlenimetraFunc2::GetAutoAreaTarget(short story, const CAutoAreaParam* record, const CAreaTree* node,
                                         CArea2ObjectPtrArray& elements) const
{
  for (const CAreaTree& child : node->m_Child) {
    if (child.m_AreaCode < 0) {
      auto* element = dynamic_cast<CArea2Object*>(m_pParam->GetAreaObject(child.m_AreaCode));
      PLN_ASSERT(element != nullptr);
      const CArea2ObjectFloor* floor = element->m_FloorArray.FindFloor(story);
      if (floor != nullptr && TakesAutoAreas(floor->m_Mode) &&
          CArea2Object::SearchAutoAreaIndex(record, &floor->m_AutoAreaGuidArray) >= 0)
        elements.push_back(element);
    }
    GetAutoAreaTarget(story, record, &child, elements);
  }
}

GS::UniString CPlenimetraFunc2::GetAutoAreaTarget(const CAutoAreaParam* record) const
{
  const CAreaTree* pCurTree = m_pParam->GetTree();
  PLN_ASSERT(pCurTree != nullptr);
  PLN_ASSERT(pCurTree->m_Child.size() == 1);
  CArea2ObjectPtrArray elements;
  GetAutoAreaTarget(ActStory(), record, pCurTree, elements);
  GS::UniString text;
  for (std::size_t e = 0; e < elements.size(); ++e)
    text += (e == 0 ? GS::UniString() : GS::UniString(u",")) + elements[e]->m_Name.m_DefaultName;
  return text;
}

void CPlenimetraFunc2::AddTarget(const CAutoAreaParam* record, CArea2Object* element)
{
  CArea2ObjectFloor* floor = element->m_FloorArray.SearchFloor(ActStory());
  if (!TakesAutoAreas(floor->m_Mode)) {
    GSWriteReport(GS::UniString(kNotAutoArea));
    return;
  }
  floor->m_AutoAreaGuidArray.Add(ToGSGuid(record->GetGuid()));
  floor->m_List.SetAutoArea(FiguresOf(*record, m_pParam));
}

void CPlenimetraFunc2::RemoveTarget(const CAutoAreaParam* record, CArea2Object* element, CArea1ObjectPtrArray& removed)
{
  CArea2ObjectFloor* floor = element->m_FloorArray.SearchFloor(ActStory());
  floor->m_AutoAreaGuidArray.Remove(ToGSGuid(record->GetGuid()));
  floor->m_List.Remove(FiguresOf(*record, m_pParam), &removed);
}

GSErrCode CPlenimetraFunc2::ReserveRecolouring(const std::vector<CArea2Object*>& elements,
                                               const CArea1ObjectPtrArray& moving) const
{
  return m_pParam->DoTeamworkReceive(RecolouringGuids(elements, moving));
}

GS::Array<API_Guid> CPlenimetraFunc2::RecolouringGuids(const std::vector<CArea2Object*>& elements,
                                                       const CArea1ObjectPtrArray& moving)
{
  GS::Array<API_Guid> guids;
  for (const CArea2Object* element : elements)
    for (const CArea2ObjectFloor& record : element->m_FloorArray)
      for (const CArea2List& entry : record.m_List)
        if (entry.m_pArea1 != nullptr)
          guids.Push(entry.m_pArea1->m_Element.header.guid);
  for (const auto& figure : moving)
    guids.Push(figure->m_Element.header.guid);
  return guids;
}

CArea1ObjectPtrArray CPlenimetraFunc2::Recoloured(const std::vector<CArea2Object*>& elements,
                                                  const CArea1ObjectPtrArray& moving,
                                                  const std::function<void()>& change) const
{
  std::vector<int> colours;
  for (const auto& figure : moving)
    colours.push_back(figure->GetColor(m_pParam));
  std::vector<CArea2ObjectFloorArray> records;
  for (const CArea2Object* element : elements)
    records.push_back(element->m_FloorArray);
  change();
  CArea1ObjectPtrArray recoloured;
  for (std::size_t i = 0; i < moving.size(); ++i)
    if (moving[i]->GetColor(m_pParam) != colours[i] &&
        std::find(recoloured.begin(), recoloured.end(), moving[i]) == recoloured.end())
      recoloured.push_back(moving[i]);
  for (std::size_t i = 0; i < elements.size(); ++i)
    elements[i]->m_FloorArray = records[i];
  return recoloured;
}

GSErrCode CPlenimetraFunc2::RecolourFigures(const std::vector<CArea2Object*>& elements,
                                            const CArea1ObjectPtrArray& removed)
{
  GSErrCode first = NoError;
  const auto keep = [&first](GSErrCode err) {
    if (first == NoError)
      first = err;
  };
  for (CArea2Object* element : elements)
    keep(ChangeAreaColor(element));
  // Figures taken out lose the element's colour.
  for (const auto& figure : removed)
    keep(figure->ChangeParam(m_pParam, false));
  return first;
}

// ---------------------------------------------------------------------------
// Messages

void CPlenimetraFunc2::DoMsgChangeAutoAreaList(short dialId)
{
  FollowListSelection(*m_pAutoAreaListInfoParam, [&] { return AutoAreaListChangeSelection(dialId); });
}

GSErrCode CPlenimetraFunc2::AutoAreaListChangeSelection(short dialId)
{
  std::vector<API_Guid> guids;
  for (int row : GetSelAutoAreaList(dialId)) {
    const CAutoAreaParam* pAutoArea = AutoAreaRecord(dialId, static_cast<short>(row));
    PLN_ASSERT(pAutoArea != nullptr);
    guids.push_back(pAutoArea->GetGuid());
  }
  return SelectOnPlan(guids);
}

void CPlenimetraFunc2::DoMsgChangeAutoAreaOperator(short dialId)
{
  CArea2Object* element = GetSelectedElement(dialId);
  if (element == nullptr)
    return;
  const CArea2ObjectFloor* floor = element->m_FloorArray.SearchFloor(ActStory());
  // Said as a drop of the rows onto the element says it.
  if (!TakesAutoAreas(floor->m_Mode)) {
    GSWriteReport(GS::UniString(kNotAutoArea));
    m_pAutoAreaListInfoParam->SetList(false);
    return;
  }
  const bool take = CDGDlgCore::PopUpSelectedUserData(dialId, ITEM_AUTO_OPERATOR) != COperatorTable::OPERATOR_NONE;
  const auto listed = [&](const CAutoAreaParam* record) {
    return CArea2Object::SearchAutoAreaIndex(record, &floor->m_AutoAreaGuidArray) >= 0;
  };
  // The areas taken in or out move their figures in or out of the element.
  CArea1ObjectPtrArray moving;
  std::vector<const CAutoAreaParam*> toggled;
  for (int row : GetSelAutoAreaList(dialId))
    if (const CAutoAreaParam* record = AutoAreaRecord(dialId, static_cast<short>(row));
        record != nullptr && listed(record) != take) {
      toggled.push_back(record);
      for (const auto& figure : FiguresOf(*record, m_pParam))
        moving.push_back(figure);
    }
  // No row taken in or out: nothing changes, and nothing is taken.
  if (toggled.empty()) {
    m_pAutoAreaListInfoParam->SetList(false);
    return;
  }
  moving = Recoloured({element}, moving, [&] {
    CArea1ObjectPtrArray out;
    for (const CAutoAreaParam* record : toggled)
      take ? AddTarget(record, element) : RemoveTarget(record, element, out);
  });
  if (const GSErrCode reserved = ReserveRecolouring({}, moving); reserved != NoError) {
    m_pAutoAreaListInfoParam->SetList(false);
    GSWriteFailure(GS::UniString(kTargetNotChanged), reserved);
    return;
  }
  CArea1ObjectPtrArray removed;
  CAutoAreaParam* pAutoAreaParam = nullptr;
  StepRows(
      GetSelAutoAreaList(dialId),
      [&](short row) {
        pAutoAreaParam = AutoAreaRecord(dialId, row);
        PLN_ASSERT(pAutoAreaParam != nullptr);
        const bool wasListed = listed(pAutoAreaParam);
        if (wasListed && !take)
          RemoveTarget(pAutoAreaParam, element, removed);
        else if (!wasListed && take)
          AddTarget(pAutoAreaParam, element);
        return true;
      },
      [&](short row) { SetAutoAreaListItem(dialId, row, pAutoAreaParam); });
  GSWriteFailure(GS::UniString(kTargetNotChanged), RunAsOneStep(
      GS::UniString(kRecolourStep), [&] { return RecolourFigures({}, moving); },
      [&] {
        m_pAutoAreaListInfoParam->SetList(false);
        SetAreaListItem(dialId);
        m_pAreaListInfoParam->SetList(false);
        return m_pParam->SaveData();
      }));
}

GSErrCode CPlenimetraFunc2::DoMsgClickAutoAreaTarget(short dialId)
{
  const CSelectList rows = GetSelAutoAreaList(dialId);
  if (rows.size() != 1)
    return NoError;
  const CAutoAreaParam* record = AutoAreaRecord(dialId, static_cast<short>(rows.front()));
  PLN_ASSERT(record != nullptr);
  const CAreaTree* pCurTree = m_pParam->GetTree();
  PLN_ASSERT(pCurTree != nullptr && pCurTree->m_Child.size() == 1);
  CArea2ObjectPtrArray targets;
  GetAutoAreaTarget(ActStory(), record, pCurTree, targets);
  CDlgEditArea2Target dialog;
  CSelectList ids;
  SetTreeID(dialId, DG_TVI_ROOT, ids);
  for (int id : ids) {
    const CAreaTree* node = NodeOf(dialId, id);
    if (node == nullptr || node->m_AreaCode >= 0)
      continue;
    auto* element = dynamic_cast<CArea2Object*>(m_pParam->GetAreaObject(node->m_AreaCode));
    PLN_ASSERT(element != nullptr);
    const bool target = std::find(targets.begin(), targets.end(), element) != targets.end();
    dialog.m_WorkArray.push_back({element, target, target});
  }
  if (dialog.DoModal() != 1)
    return NoError;
  // The area's figures move when an element takes it in or gives it back;
  // OK with no element checked or unchecked changes nothing.
  const bool moves = std::any_of(dialog.m_WorkArray.begin(), dialog.m_WorkArray.end(),
                                 [](const CDlgEditArea2TargetWork& work) { return work.m_bTarget != work.m_bCheck; });
  if (!moves)
    return NoError;
  std::vector<CArea2Object*> elements;
  for (const CDlgEditArea2TargetWork& work : dialog.m_WorkArray)
    elements.push_back(work.m_pArea2);
  CArea1ObjectPtrArray removed;
  const auto change = [&] {
    for (const CDlgEditArea2TargetWork& work : dialog.m_WorkArray) {
      if (!work.m_bTarget && work.m_bCheck)
        AddTarget(record, work.m_pArea2);
      else if (work.m_bTarget && !work.m_bCheck)
        RemoveTarget(record, work.m_pArea2, removed);
    }
  };
  const CArea1ObjectPtrArray moving = Recoloured(elements, FiguresOf(*record, m_pParam), change);
  if (const GSErrCode reserved = ReserveRecolouring({}, moving); reserved != NoError)
    return reserved;
  change();
  RecolourAndSave(dialId, {}, moving);
  return NoError;
}

short CPlenimetraFunc2::DoDragDropAutoAreaListToTree(short dialId, DG::DragDropEventArg* event)
{
  if (event->relativePos != DG_DRAG_INSERT_ON || event->insertPos == 0)
    return 0;
  const CAreaTree* node = NodeOf(dialId, event->insertPos);
  CAreaObject* object = node != nullptr ? m_pParam->GetAreaObject(node->m_AreaCode) : nullptr;
  if (object == nullptr)
    return 0;
  if (auto* element = dynamic_cast<CArea2Object*>(object); element != nullptr && node->m_AreaCode < 0) {
    // Refused before anything is taken: the element takes no automatic
    // areas here, or already takes every row dropped.
    const CArea2ObjectFloor* floor = element->m_FloorArray.SearchFloor(ActStory());
    if (!TakesAutoAreas(floor->m_Mode)) {
      GSWriteReport(GS::UniString(kNotAutoArea));
      return 0;
    }
    std::vector<const CAutoAreaParam*> added;
    CArea1ObjectPtrArray moving;
    for (int row : GetSelAutoAreaList(dialId))
      if (const CAutoAreaParam* record = AutoAreaRecord(dialId, static_cast<short>(row));
          CArea2Object::SearchAutoAreaIndex(record, &floor->m_AutoAreaGuidArray) < 0) {
        added.push_back(record);
        for (const auto& figure : FiguresOf(*record, m_pParam))
          moving.push_back(figure);
      }
    if (added.empty())
      return 0;
    const auto change = [&] {
      for (const CAutoAreaParam* record : added)
        AddTarget(record, element);
    };
    moving = Recoloured({element}, moving, change);
    if (const GSErrCode reserved = ReserveRecolouring({}, moving); reserved != NoError) {
      GSWriteFailure(GS::UniString(kTargetNotChanged), reserved);
      return 0;
    }
    change();
    RecolourAndSave(dialId, {}, moving);
    return 0;
  }
  RecolourAndSave(dialId, {}, {});
  return 0;
}

// With nothing to recolour the step holds the save alone.
void CPlenimetraFunc2::RecolourAndSave(short dialId, const std::vector<CArea2Object*>& elements,
                                       const CArea1ObjectPtrArray& removed)
{
  GSWriteFailure(GS::UniString(kTargetNotChanged), RunAsOneStep(
      GS::UniString(kRecolourStep), [&] { return RecolourFigures(elements, removed); },
      [&] {
        RefillLists(dialId);
        return m_pParam->SaveData();
      }));
}

void CPlenimetraFunc2::RefillLists(short dialId)
{
  m_pDetailListInfoParam->SetList(false);
  SetAreaListItem(dialId);
  SetAutoAreaListItem(dialId);
  m_pAreaListInfoParam->SetList(false);
}
