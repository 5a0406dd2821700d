// The calculation-tree page's selection links: tree items to area-list
// rows and plan figures, and plan picks to detail and automatic-area rows.
// The page raises the palette's ignore-selection flag around its own plan
// selection, so it never comes back as a pick.

#include "CPlenimetraFunc2.h"

#include "CArea1Object.h"
#include "CArea2Object.h"
#include "CAreaTree.h"
#include "CAutoAreaParam.h"
#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "host_assert.h"
#include "host_errors.h"
#include "host_selection.h"

#include <algorithm>

namespace {

short ActStory() { return CGSUtil::GetActStory(); }

}  // namespace

CSelectList CPlenimetraFunc2::ListSelection(short dialId, short list) const
{
  std::vector<short> rows(static_cast<std::size_t>(DGListGetSelCount(dialId, list)));
  rows.resize(static_cast<std::size_t>(DGListGetSelItems(dialId, list, rows.data(), static_cast<short>(rows.size()))));
  CSelectList selection;
  selection.assign(rows.begin(), rows.end());
  return selection;
}

// The figures and sources are selected on the plan, in front or not.
GSErrCode CPlenimetraFunc2::SelectOnPlan(const std::vector<API_Guid>& guids)
{
  return CGSUtil::OnFloorPlan([&] {
    const GSErrCode deselected = ACAPI_Element_DeselectAll();
    if (guids.empty())
      return deselected;
    GS::Array<API_Neig> neigs;
    for (const API_Guid& guid : guids) {
      API_Neig neig;
      neig.guid = guid;
      neigs.Push(neig);
    }
    return ACAPI_Element_Select(neigs, true);
  });
}

void CPlenimetraFunc2::FollowListSelection(CDGListItemParamArray& columns, const std::function<GSErrCode()>& toPlan)
{
  if (*m_bIgnoreSelection)
    return;
  {
    IgnoreSelection ignore(*m_bIgnoreSelection);
    toPlan();
    columns.SetList(false);
  }
}

GSErrCode CPlenimetraFunc2::TreeChangeSelection(short dialId)
{
  const GSErrCode err = ACAPI_Element_DeselectAll();
  const CSelectList selection = GetSelTree(dialId);
  if (err != NoError || selection.empty())
    return err;
  DeselectAreaRows(dialId);
  const short rows = DGListGetItemCount(dialId, ITEM_AREA_LIST);
  for (int treeItem : selection) {
    const CAreaTree* node = NodeOf(dialId, treeItem);
    for (short row = 1; row <= rows; ++row)
      if (node != nullptr && DGListGetItemUserData(dialId, ITEM_AREA_LIST, row) == node->m_AreaCode)
        DGListSelectItem(dialId, ITEM_AREA_LIST, row);
  }
  return NoError;
}

void CPlenimetraFunc2::CollectFigures(const CAreaTree& node, std::vector<CArea1Object*>& figures) const
{
  if (node.m_AreaCode < 0) {
    auto* element = dynamic_cast<CArea2Object*>(m_pParam->GetAreaObject(node.m_AreaCode));
    const CArea2ObjectFloor* record = element != nullptr ? element->m_FloorArray.FindFloor(ActStory()) : nullptr;
    if (record == nullptr)
      return;
    for (const CArea2List& entry : record->m_List) {
      PLN_ASSERT(entry.m_pArea1 != nullptr);
      if (std::find(figures.begin(), figures.end(), entry.m_pArea1.get()) == figures.end())
        figures.push_back(entry.m_pArea1.get());
    }
    return;
  }
  for (const CAreaTree& child : node.m_Child)
    CollectFigures(child, figures);
}

void CPlenimetraFunc2::SetArea1Selection(short dialId)
{
  // The plan selection follows the tree as far as the host lets it.
  std::vector<API_Guid> guids;
  if (const CAreaTree* node = GetSelectedTreeItem(dialId); node != nullptr) {
    std::vector<CArea1Object*> figures;
    CollectFigures(*node, figures);
    for (const CArea1Object* figure : figures)
      guids.push_back(figure->m_Element.header.guid);
  }
  static_cast<void>(SelectOnPlan(guids));
}

void CPlenimetraFunc2::ElementSelectionChange(short dialId)
{
  API_SelectionInfo info{};
  GS::Array<API_Neig> neigs;
  const GSErrCode err = ACAPI_Selection_Get(&info, &neigs, false);
  std::vector<short> detailRows, autoRows;
  if (err == NoError || err == APIERR_NOSEL) {
    const short details = DGListGetItemCount(dialId, ITEM_DETAIL_LIST);
    const short autos = DGListGetItemCount(dialId, ITEM_AUTO_LIST);
    for (const API_Neig& neig : neigs) {
      for (short row = 1; row <= details; ++row) {
        const auto* figure = reinterpret_cast<const CArea1Object*>(DGListGetItemUserData(dialId, ITEM_DETAIL_LIST, row));
        if (figure != nullptr && figure->m_Element.header.guid == neig.guid)
          detailRows.push_back(row);
      }
      for (short row = 1; row <= autos; ++row) {
        const auto* record = reinterpret_cast<const CAutoAreaParam*>(DGListGetItemUserData(dialId, ITEM_AUTO_LIST, row));
        if (record != nullptr && record->GetGuid() == neig.guid)
          autoRows.push_back(row);
      }
    }
  }
  const auto follow = [&](short list, CDGListItemParamArray& columns, const std::vector<short>& rows) {
    std::vector<short> current(static_cast<std::size_t>(DGListGetSelCount(dialId, list)));
    current.resize(static_cast<std::size_t>(DGListGetSelItems(dialId, list, current.data(), static_cast<short>(current.size()))));
    if (current == rows)
      return;
    columns.HideItem();
    DGListDeselectItem(dialId, list, DG_ALL_ITEMS);
    for (short row : rows)
      DGListSelectItem(dialId, list, row);
    columns.SetList(false);
  };
  follow(ITEM_DETAIL_LIST, *m_pDetailListInfoParam, detailRows);
  follow(ITEM_AUTO_LIST, *m_pAutoAreaListInfoParam, autoRows);
}
