// The detail list of the calculation-tree page: one row per figure of the
// active story, row = sort index + 1. For the selected tree element each
// row shows how the figure enters it; the editors put figures in, take them
// out, turn them to subtraction and set their rounding kind.

#include "CPlenimetraFunc2.h"

#include "CArea1Object.h"
#include "CArea2Object.h"
#include "CAreaTree.h"
#include "CAutoAreaParam.h"
#include "CDGDlgCore.h"
#include "CDlgProgress.h"
#include "CFloorParam.h"
#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "GSWriteReport.h"
#include "host_assert.h"
#include "host_errors.h"

namespace {

short ActStory() { return CGSUtil::GetActStory(); }

const char16_t* const kNotFigures = u"計算要素の集計面積タイプが、求積区画に設定されていません";

constexpr DGColor16 kOwnLayer{0, 0, 0};
constexpr DGColor16 kOtherLayer{50000, 50000, 50000};

bool TakesFigures(CArea2ObjectFloor::MODE mode)
{
  return mode == CArea2ObjectFloor::MODE_FIGURE || mode == CArea2ObjectFloor::MODE_BOTH;
}

}  // namespace

CArea1Object* CPlenimetraFunc2::DetailFigure(short dialId, short row) const
{
  return reinterpret_cast<CArea1Object*>(DGListGetItemUserData(dialId, ITEM_DETAIL_LIST, row));
}

// ---------------------------------------------------------------------------
// Rows

void CPlenimetraFunc2::SetDetailListItem(short dialId, short row, CArea1Object* figure)
{
  if (row < 1 || row > DGListGetItemCount(dialId, ITEM_DETAIL_LIST))
    return;
  DGListSetTabItemText(dialId, ITEM_DETAIL_LIST, row, 1, figure->GetMarkStr(m_pParam) + figure->GetItemNoStr(m_pParam));
  DGListSetItemColor(dialId, ITEM_DETAIL_LIST, row,
                     figure->m_Element.header.layer == m_pParam->GetLayer() ? kOwnLayer : kOtherLayer);
  const short columns = static_cast<short>(m_pDetailListInfoParam->size());
  for (short column = 1; column <= columns; ++column) {
    CDGListItemParamCore& info = *(*m_pDetailListInfoParam)[static_cast<std::size_t>(column - 1)];
    if (info.HasEditItem())
      info.Func(row, column, true);
  }
  CArea2Object* element = GetSelectedElement(dialId);
  CArea2ObjectFloor* record = element != nullptr ? element->m_FloorArray.FindFloor(ActStory()) : nullptr;
  const CArea2List* entry = record != nullptr ? record->m_List.Search(figure) : nullptr;
  DGListSetTabItemText(dialId, ITEM_DETAIL_LIST, row, 3, entry != nullptr ? entry->GetOrgAreaStr(m_pParam) : GS::UniString());
  DGListSetTabItemText(dialId, ITEM_DETAIL_LIST, row, 5,
                       entry != nullptr ? entry->GetRoundAreaStr(m_pParam) : GS::UniString());
  DGListSetTabItemText(dialId, ITEM_DETAIL_LIST, row, 6, GetArea1AutoAreaName(*figure));
  DGListSetTabItemText(dialId, ITEM_DETAIL_LIST, row, 7, GetArea1Target(dialId, figure));
}

GS::UniString CPlenimetraFunc2::GetArea1AutoAreaName(const CArea1Object& figure) const
{
  const CFloorParam* floor = m_pParam->m_FloorParamArray.Search(ActStory());
  if (floor == nullptr || figure.m_AutoArea.m_ElemGuid.IsNull())
    return GS::UniString();
  const API_Guid guid = ToAPIGuid(figure.m_AutoArea.m_ElemGuid);
  const CAutoAreaParam* record = floor->m_AutoAreaParamArray.Search(&guid);
  return record != nullptr ? record->GetName() : GS::UniString();
}

GS::UniString CPlenimetraFunc2::GetArea1Target(short dialId, const CArea1Object* figure) const
{
  CSelectList ids;
  SetTreeID(dialId, DG_TVI_ROOT, ids);
  GS::UniString text;
  for (int id : ids) {
    const CAreaTree* node = NodeOf(dialId, id);
    if (node == nullptr || node->m_AreaCode >= 0)
      continue;
    auto* element = dynamic_cast<CArea2Object*>(m_pParam->GetAreaObject(node->m_AreaCode));
    CArea2ObjectFloor* record = element != nullptr ? element->m_FloorArray.FindFloor(ActStory()) : nullptr;
    if (record == nullptr || record->m_List.Search(figure) == nullptr)
      continue;
    text += (text.IsEmpty() ? GS::UniString() : GS::UniString(u",")) + element->m_Name.m_DefaultName;
  }
  return text;
}

CSelectList CPlenimetraFunc2::GetSelDetailList(short dialId) const { return ListSelection(dialId, ITEM_DETAIL_LIST); }

std::shared_ptr<CArea1Object> CPlenimetraFunc2::SharedFigure(const CArea1Object* figure) const
{
  const CFloorParam* floor = m_pParam->m_FloorParamArray.Search(ActStory());
  if (floor != nullptr)
    for (const auto& shared : floor->m_Area1ObjectArray)
      if (shared.get() == figure)
        return shared;
  return nullptr;
}

// ---------------------------------------------------------------------------
// Messages

void CPlenimetraFunc2::DoMsgChangeDetailList(short dialId)
{
  FollowListSelection(*m_pDetailListInfoParam, [&] { return DetailListChangeSelection(dialId); });
}

GSErrCode CPlenimetraFunc2::DetailListChangeSelection(short dialId)
{
  std::vector<API_Guid> guids;
  for (int row : GetSelDetailList(dialId)) {
    const CArea1Object* pObject = DetailFigure(dialId, static_cast<short>(row));
    PLN_ASSERT(pObject != nullptr);
    guids.push_back(pObject->m_Element.header.guid);
  }
  return SelectOnPlan(guids);
}

void CPlenimetraFunc2::StepRows(const CSelectList& rows, const std::function<bool(short)>& change,
                                const std::function<void(short)>& show)
{
  CDlgProgress progress;
  progress.OpenProgress("", false);
  progress.SetPhase(1, "");
  progress.SetRange(static_cast<int>(rows.size()), "");
  for (int row : rows) {
    if (!change(static_cast<short>(row)))
      continue;
    progress.StepIt();
    show(static_cast<short>(row));
  }
  progress.Close();
}

void CPlenimetraFunc2::EachSelectedFigure(short dialId, const std::function<void(CArea1Object&)>& change)
{
  CArea1Object* pObject = nullptr;
  StepRows(
      GetSelDetailList(dialId),
      [&](short row) {
        pObject = DetailFigure(dialId, row);
        PLN_ASSERT(pObject != nullptr);
        change(*pObject);
        return true;
      },
      [&](short row) { SetDetailListItem(dialId, row, pObject); });
  m_pDetailListInfoParam->SetList(false);
}

void CPlenimetraFunc2::DoMsgChangeDetailRoundType(short dialId)
{
  CArea2Object* element = GetSelectedElement(dialId);
  if (element == nullptr)
    return;
  const auto kind = static_cast<CRoundTypeTable::ROUNDTYPE>(CDGDlgCore::PopUpSelectedUserData(dialId, ITEM_DETAIL_ROUND));
  if (kind == CRoundTypeTable::ROUNDTYPE_NONE) {
    m_pDetailListInfoParam->SetList(false);
    return;
  }
  CArea2ObjectFloor* record = element->m_FloorArray.SearchFloor(ActStory());
  EachSelectedFigure(dialId, [&](CArea1Object& figure) {
    if (CArea2List* entry = record->m_List.Search(&figure); entry != nullptr)
      entry->m_RoundType = kind;
  });
  SetAreaListItem(dialId);
  m_pAreaListInfoParam->SetList(false);
  GSWriteFailure(GS::UniString(u"端数処理の変更を保存できませんでした。"), SaveAsStep(*m_pParam, u"メンセラ[端数処理]"));
}

CArea1ObjectPtrArray CPlenimetraFunc2::SelectedFigures(short dialId) const
{
  CArea1ObjectPtrArray figures;
  for (int row : GetSelDetailList(dialId))
    if (auto shared = SharedFigure(DetailFigure(dialId, static_cast<short>(row))); shared != nullptr)
      figures.push_back(shared);
  return figures;
}

void CPlenimetraFunc2::DoMsgChangeDetailOperator(short dialId)
{
  CArea2Object* element = GetSelectedElement(dialId);
  if (element == nullptr)
    return;
  CArea2ObjectFloor* record = element->m_FloorArray.SearchFloor(ActStory());
  if (!TakesFigures(record->m_Mode)) {
    GSWriteReport(GS::UniString(kNotFigures));
    m_pDetailListInfoParam->SetList(false);
    return;
  }
  const GS::UniString notDone(u"演算子の変更を完了できませんでした。");
  const auto op = static_cast<COperatorTable::OPERATOR>(CDGDlgCore::PopUpSelectedUserData(dialId, ITEM_DETAIL_OPERATOR));
  // Only a figure that enters or leaves the element changes its colour; a
  // new operator is the record's alone.
  CArea1ObjectPtrArray moving;
  for (const auto& figure : SelectedFigures(dialId))
    if ((record->m_List.SearchIndex(figure.get()) >= 0) == (op == COperatorTable::OPERATOR_NONE))
      moving.push_back(figure);
  moving = Recoloured({element}, moving, [&] {
    for (const auto& figure : moving)
      if (const int index = record->m_List.SearchIndex(figure.get()); index >= 0)
        record->m_List.erase(record->m_List.begin() + index);
      else
        record->m_List.push_back(CArea2List(figure, op));
  });
  if (const GSErrCode reserved = ReserveRecolouring({}, moving); reserved != NoError) {
    m_pDetailListInfoParam->SetList(false);
    GSWriteFailure(notDone, reserved);
    return;
  }
  EachSelectedFigure(dialId, [&](CArea1Object& figure) {
    const int index = record->m_List.SearchIndex(&figure);
    if (index >= 0 && op != COperatorTable::OPERATOR_NONE) {
      record->m_List[static_cast<std::size_t>(index)].m_Operator = op;
    } else if (index >= 0) {
      record->m_List.erase(record->m_List.begin() + index);
    } else if (op != COperatorTable::OPERATOR_NONE) {
      if (auto shared = SharedFigure(&figure); shared != nullptr)
        record->m_List.push_back(CArea2List(shared, op));
    }
  });
  SetAreaListItem(dialId);
  m_pAreaListInfoParam->SetList(false);
  // A figure taken out would otherwise keep the element's colour.
  GSWriteFailure(notDone, RunAsOneStep(
      GS::UniString(kRecolourStep), [&] { return RecolourFigures({}, moving); },
      [&] { return m_pParam->SaveData(); }));
}

short CPlenimetraFunc2::DoDragDropDetailListToTree(short dialId, DG::DragDropEventArg* event)
{
  if (event->relativePos != DG_DRAG_INSERT_ON || event->insertPos == 0)
    return 0;
  const CAreaTree* node = NodeOf(dialId, event->insertPos);
  CAreaObject* object = node != nullptr ? m_pParam->GetAreaObject(node->m_AreaCode) : nullptr;
  if (object == nullptr)
    return 0;
  auto* element = node->m_AreaCode < 0 ? dynamic_cast<CArea2Object*>(object) : nullptr;
  const GS::UniString notDone(u"求積図形の移動を完了できませんでした。");
  // Only the figures that enter the element change their colour.
  CArea1ObjectPtrArray entering;
  if (element != nullptr) {
    const CArea2ObjectFloor* record = element->m_FloorArray.SearchFloor(ActStory());
    if (!TakesFigures(record->m_Mode)) {
      GSWriteReport(GS::UniString(kNotFigures));
      return 0;
    }
    for (const auto& figure : SelectedFigures(dialId))
      if (record->m_List.SearchIndex(figure.get()) < 0)
        entering.push_back(figure);
    entering = Recoloured({element}, entering, [&] {
      CArea2ObjectFloor* entries = element->m_FloorArray.SearchFloor(ActStory());
      for (const auto& figure : entering)
        entries->m_List.push_back(CArea2List(figure, COperatorTable::OPERATOR_PLUS));
    });
    if (const GSErrCode reserved = ReserveRecolouring({}, entering); reserved != NoError) {
      GSWriteFailure(notDone, reserved);
      return 0;
    }
  }
  GSWriteFailure(notDone, RunAsOneStep(
      GS::UniString(kRecolourStep),
      [&] { return element != nullptr ? PutFigures(dialId, *element, entering) : NoError; },
      [&] {
        RefillLists(dialId);
        return m_pParam->SaveData();
      }));
  return 0;
}

GSErrCode CPlenimetraFunc2::PutFigures(short dialId, CArea2Object& element, const CArea1ObjectPtrArray& entering)
{
  CArea2ObjectFloor* record = element.m_FloorArray.SearchFloor(ActStory());
  EachSelectedFigure(dialId, [&](CArea1Object& figure) {
    if (CArea2List* entry = record->m_List.Search(&figure); entry != nullptr)
      entry->m_Operator = COperatorTable::OPERATOR_PLUS;
    else if (auto shared = SharedFigure(&figure); shared != nullptr)
      record->m_List.push_back(CArea2List(shared, COperatorTable::OPERATOR_PLUS));
  });
  return RecolourFigures({}, entering);
}
