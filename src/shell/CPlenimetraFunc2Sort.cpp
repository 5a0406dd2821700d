// Sorting the calculation-tree page's three lists by a header click. The
// sort rewrites what the rows stand for: the sort indices of tree objects
// (area list) and of figures (detail list), the order of the automatic-area
// records (automatic-area list). Keys are built once per row and travel
// with it through the exchange sort, whose order (not stable) is kept.

#include "CPlenimetraFunc2.h"

#include "CArea1Object.h"
#include "CArea2Object.h"
#include "CArea4Object.h"
#include "CAreaTree.h"
#include "CAutoAreaParam.h"
#include "CFloorParam.h"
#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "GSWriteReport.h"
#include "ListHeaderSort.h"
#include "host_assert.h"
#include "host_errors.h"
#include "host_notify.h"

#include <algorithm>
#include <utility>

namespace {

short ActStory() { return CGSUtil::GetActStory(); }

// A row's key. None never exchanges; Order compares the rows' objects by
// mark and number instead of a key.
struct SortKey {
  enum Kind { None, Number, Text, Area, Order } kind = None;
  long long number = 0;
  GS::UniString text;
};

SortKey NumberKey(long long number) { return {SortKey::Number, number, {}}; }
SortKey TextKey(const GS::UniString& text) { return {SortKey::Text, 0, text}; }
// Rounded areas marked "*" (a rounding kind of their own) sort by value too.
SortKey AreaKey(const GS::UniString& text)
{
  const bool marked = text.GetLength() > 0 && text[0] == u'*';
  return {SortKey::Area, 0, marked ? text.GetSubstring(1, text.GetLength() - 1) : text};
}
SortKey OrderKey() { return {SortKey::Order, 0, {}}; }

template <class T>
struct SortRow {
  T* item;
  SortKey key;
};

// The comparison of two keys of the same column; order compares the items
// for Order keys.
template <class T, class OrderFn>
bool MustExchange(const SortRow<T>& a, const SortRow<T>& b, short direction, OrderFn&& order)
{
  if (a.key.kind == SortKey::None || b.key.kind == SortKey::None)
    return false;
  int comparison = 0;
  switch (a.key.kind) {
  case SortKey::Number: comparison = ListHeaderSort::CompareNumber(a.key.number, b.key.number); break;
  case SortKey::Text: comparison = ListHeaderSort::CompareText(a.key.text, b.key.text); break;
  case SortKey::Area: comparison = ListHeaderSort::CompareAreaText(a.key.text, b.key.text); break;
  case SortKey::Order: comparison = order(a.item, b.item); break;
  default: return false;
  }
  return ListHeaderSort::MustExchange(comparison, direction);
}

// Sorts rows; afterPass(i, row) answers false to stop.
template <class T, class OrderFn, class AfterPassFn>
bool SortRows(std::vector<SortRow<T>>& rows, short direction, OrderFn&& order, AfterPassFn&& afterPass)
{
  return ListHeaderSort::ExchangeSort(
      static_cast<int>(rows.size()),
      [&](int i, int j) { return MustExchange(rows[i - 1], rows[j - 1], direction, order); },
      [&](int i, int j) { std::swap(rows[i - 1], rows[j - 1]); },
      [&](int i) { return afterPass(i, rows[i - 1]); });
}

void SelectRows(short dialId, short list, const std::vector<short>& rows)
{
  for (short row : rows)
    DGListSelectItem(dialId, list, row);
}

}  // namespace

bool CPlenimetraFunc2::DoMsgListHeaderClick(short dialId, short item, DG::ListBoxHeaderEventArg* arg)
{
  if (arg == nullptr)
    return true;
  switch (item) {
  case ITEM_AREA_LIST: SortAreaList(dialId, arg->headerItem); break;
  case ITEM_DETAIL_LIST: SortDetailList(dialId, arg->headerItem); break;
  case ITEM_AUTO_LIST: SortAutoAreaList(dialId, arg->headerItem); break;
  default: break;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Area list: the key follows the id of the clicked visible column.

namespace {

SortKey AreaListKey(CPlenimetraParam& param, int id, const CAreaTree& node)
{
  CAreaObject* object = param.FindAreaObject(node.m_AreaCode);
  if (object == nullptr)
    return {};
  const auto* element = dynamic_cast<const CArea2Object*>(object);
  const short story = ActStory();
  switch (id) {
  case 1: return NumberKey(object->m_ItemType1);
  case 2: return NumberKey(object->m_ItemType2);
  case 3: return OrderKey();
  case 4: return NumberKey(node.m_Operator);
  case 5: return TextKey(object->m_Name.m_DefaultName);
  case 6: return NumberKey(element != nullptr ? element->m_ListType : -1);
  case 7: return TextKey(object->GetEquation(&param, story, false, 0));
  case 8: return NumberKey(object->GetOrgArea(&param, story));
  case 9: return NumberKey(object->m_RoundType);
  case 10: return NumberKey(object->GetRoundArea(&param, &node, story));
  case 11: return NumberKey(element != nullptr ? element->m_ShowTotal : -1);
  case 12: {
    const auto* folder = dynamic_cast<const CArea4Object*>(object);
    const bool manual = folder != nullptr && folder->m_ManualEquationArray.Search(story) != nullptr;
    return NumberKey(manual ? -1 : (object->m_AutoCr ? 1 : 0));
  }
  case 13: return TextKey(param.m_RoundTypeTable.GetRoundTypeStr(node.m_RoundTypeTotal.m_Type));
  case 14: return NumberKey(node.m_RoundTypeTotal.m_Digit);
  case 15: return TextKey(param.m_RoundTypeTable.GetRoundTypeStr(node.m_RoundTypeFloor.m_Type));
  case 16: return NumberKey(node.m_RoundTypeFloor.m_Digit);
  case 17: {
    if (element == nullptr)
      return NumberKey(0);
    // A story without a record reads as the record made on demand would.
    const CArea2ObjectFloor* record = element->m_FloorArray.FindFloor(story);
    return NumberKey(record != nullptr ? record->m_Mode : CArea2ObjectFloor::MODE_AUTO);
  }
  case 18: return NumberKey(object->m_ColorPen);
  default: return {};
  }
}

}  // namespace

void CPlenimetraFunc2::SortAreaList(short dialId, short column)
{
  const short count = DGListGetItemCount(dialId, ITEM_AREA_LIST);
  std::vector<const CAreaTree*> remembered;
  for (int row : GetSelAreaList(dialId))
    remembered.push_back(RowNode(dialId, static_cast<short>(row)));
  PLN_ASSERT(!*m_bIgnoreSelection);
  DeselectAreaRows(dialId);
  const short direction = ListHeaderSort::ClickHeader(dialId, ITEM_AREA_LIST, column);
  const bool inList = column >= 1 && static_cast<std::size_t>(column) <= m_pAreaListInfoParam->size();
  const int id = inList ? (*m_pAreaListInfoParam)[static_cast<std::size_t>(column - 1)]->m_Extra : 0;
  std::vector<SortRow<CAreaTree>> rows;
  for (short row = 1; row <= count; ++row) {
    CAreaTree* node = RowNode(dialId, row);
    rows.push_back({node, AreaListKey(*m_pParam, id, *node)});
  }
  const auto order = [&](const CAreaTree* a, const CAreaTree* b) {
    return m_pParam->CompareASCII(m_pParam->FindAreaObject(a->m_AreaCode), m_pParam->FindAreaObject(b->m_AreaCode));
  };
  SortRows(rows, direction, order, [&](int i, const SortRow<CAreaTree>& row) {
    CAreaObject* pObject = m_pParam->GetAreaObject(row.item->m_AreaCode);
    PLN_ASSERT(pObject != nullptr);
    pObject->m_SortIndex = i - 1;
    return true;
  });
  // The numbers follow the new order now, as the next load would give
  // them: one state shows, writes and reads back one set of numbers.
  m_pParam->GetTree()->SetItemNo(m_pParam);
  UpdateTreeItem(dialId, DG_TVI_ROOT);
  SetAreaListItem(dialId);
  std::vector<short> again;
  for (short row = 1; row <= count; ++row)
    if (std::find(remembered.begin(), remembered.end(), RowNode(dialId, row)) != remembered.end())
      again.push_back(row);
  SelectRows(dialId, ITEM_AREA_LIST, again);
  m_pAreaListInfoParam->SetList(false);
  SaveListEdit();
}

// ---------------------------------------------------------------------------
// Detail list: one undo step that rewrites the figures' sort indices.

namespace {

SortKey DetailListKey(const CPlenimetraFunc2& page, short dialId, short column, const CArea1Object& figure)
{
  CPlenimetraParam* param = page.m_pParam;
  if (column == 1)
    return OrderKey();
  if (column == 6)
    return TextKey(page.GetArea1AutoAreaName(figure));
  if (column == 7)
    return TextKey(page.GetArea1Target(dialId, &figure));
  CArea2Object* element = page.GetSelectedElement(dialId);
  CArea2ObjectFloor* record = element != nullptr ? element->m_FloorArray.FindFloor(ActStory()) : nullptr;
  const CArea2List* entry = record != nullptr ? record->m_List.Search(&figure) : nullptr;
  if (entry == nullptr)
    return {};
  switch (column) {
  case 2: return TextKey(entry->GetOperatorStr(param));
  case 3: return AreaKey(entry->GetOrgAreaStr(param));
  case 4: return TextKey(entry->GetRoundTypeStr(param));
  case 5: return AreaKey(entry->GetRoundAreaStr(param));
  default: return {};
  }
}

}  // namespace

void CPlenimetraFunc2::SortDetailList(short dialId, short column)
{
  std::vector<const CArea1Object*> remembered;
  for (int row : GetSelDetailList(dialId))
    remembered.push_back(DetailFigure(dialId, static_cast<short>(row)));
  const GSErrCode err = CGSUtil::OnFloorPlan([&] { return SortDetailRows(dialId, column); });
  // Refused at its reservation, before the header or any figure changed.
  if (err == APIERR_NOTMINE) {
    GSWriteReport(GS::UniString(u"求積図形の並べ替えができません。") + GSCauseText(err));
    return;
  }
  SetDetailListItem(dialId);
  std::vector<short> again;
  for (short row = 1; row <= DGListGetItemCount(dialId, ITEM_DETAIL_LIST); ++row)
    if (std::find(remembered.begin(), remembered.end(), DetailFigure(dialId, row)) != remembered.end())
      again.push_back(row);
  SelectRows(dialId, ITEM_DETAIL_LIST, again);
  m_pDetailListInfoParam->SetList(false);
  GSWriteFailure(GS::UniString(u"求積図形の並べ替えを保存できませんでした。"), err);
}

// The order is found first; the figures whose sort index it changes are
// reserved (a free one is taken, as the page's other commands take it)
// before the header or any figure changes, and only they are written.
// When a figure's store fails, every figure sorted before it takes back
// its index, in memory and in its element, so both keep one order.
GSErrCode CPlenimetraFunc2::SortDetailRows(short dialId, short column)
{
  const short direction =
      ListHeaderSort::NextDirection(DGListGetHeaderItemArrowType(dialId, ITEM_DETAIL_LIST, column));
  std::vector<SortRow<CArea1Object>> rows;
  for (short row = 1; row <= DGListGetItemCount(dialId, ITEM_DETAIL_LIST); ++row) {
    CArea1Object* figure = DetailFigure(dialId, row);
    PLN_ASSERT(figure != nullptr);
    rows.push_back({figure, DetailListKey(*this, dialId, column, *figure)});
  }
  const auto order = [&](const CArea1Object* a, const CArea1Object* b) { return m_pParam->CompareASCII(a, b); };
  SortRows(rows, direction, order, [](int, const SortRow<CArea1Object>&) { return true; });
  GS::Array<API_Guid> moved;
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].item->m_SortIndex != static_cast<int>(i))
      moved.Push(rows[i].item->m_Element.header.guid);
  if (const GSErrCode reserved = m_pParam->DoTeamworkReceive(moved); reserved != NoError)
    return reserved;
  std::vector<std::pair<CArea1Object*, int>> before;
  const GSErrCode err = ACAPI_CallUndoableCommand(GS::UniString(kListStep), [&]() -> GSErrCode {
    PLN_ASSERT(!*m_bIgnoreSelection);
    DGListDeselectItem(dialId, ITEM_DETAIL_LIST, DG_ALL_ITEMS);
    static_cast<void>(ListHeaderSort::ClickHeader(dialId, ITEM_DETAIL_LIST, column));
    for (std::size_t i = 0; i < rows.size(); ++i) {
      CArea1Object* figure = rows[i].item;
      if (figure->m_SortIndex == static_cast<int>(i))
        continue;
      before.emplace_back(figure, figure->m_SortIndex);
      figure->m_SortIndex = static_cast<int>(i);
      if (const GSErrCode saved = figure->Save(); saved != NoError)
        return saved;
    }
    return NoError;
  });
  if (err != NoError)
    for (auto it = before.rbegin(); it != before.rend(); ++it) {
      it->first->m_SortIndex = it->second;
      static_cast<void>(it->first->Save());  // err is the failure reported
    }
  return err;
}

// ---------------------------------------------------------------------------
// Automatic-area list: records exchange contents, so the selection is found
// again by source GUID.

namespace {

SortKey AutoAreaListKey(const CPlenimetraFunc2& page, short column, const CAutoAreaParam& record)
{
  switch (column) {
  case 1: return TextKey(record.GetName());
  case 2: return TextKey(record.GetZoneCategory());
  case 3: {
    GS::UniString layer;
    if (CGSUtil::GetAttrName(API_LayerID, record.m_ElemHead.layer, layer) != NoError)
      layer.Clear();  // a layer that is gone sorts as no name
    return TextKey(layer);
  }
  // The column shows the operator, but its key stays the room name.
  case 4: return TextKey(record.GetRoomName());
  case 5: return TextKey(page.GetAutoAreaTarget(&record));
  default: return {};
  }
}

}  // namespace

void CPlenimetraFunc2::SortAutoAreaList(short dialId, short column)
{
  std::vector<API_Guid> remembered;
  for (int row : GetSelAutoAreaList(dialId))
    if (const CAutoAreaParam* record = AutoAreaRecord(dialId, static_cast<short>(row)))
      remembered.push_back(record->GetGuid());
  PLN_ASSERT(!*m_bIgnoreSelection);
  m_pAutoAreaListInfoParam->HideItem();
  DGListDeselectItem(dialId, ITEM_AUTO_LIST, DG_ALL_ITEMS);
  const short direction = ListHeaderSort::ClickHeader(dialId, ITEM_AUTO_LIST, column);
  const short count = DGListGetItemCount(dialId, ITEM_AUTO_LIST);
  std::vector<CAutoAreaParam*> places;
  std::vector<SortRow<CAutoAreaParam>> rows;
  for (short row = 1; row <= count; ++row) {
    CAutoAreaParam* record = AutoAreaRecord(dialId, row);
    places.push_back(record);
    rows.push_back({record, record != nullptr ? AutoAreaListKey(*this, column, *record) : SortKey{}});
  }
  SortRows(rows, direction, [](const CAutoAreaParam*, const CAutoAreaParam*) { return 0; },
           [](int, const SortRow<CAutoAreaParam>&) { return true; });
  // The records take their new places: contents move, addresses stay.
  std::vector<CAutoAreaParam> sorted;
  for (const auto& row : rows)
    if (row.item != nullptr)
      sorted.push_back(*row.item);
  std::size_t next = 0;
  for (CAutoAreaParam* place : places)
    if (place != nullptr)
      *place = std::move(sorted[next++]);
  SetAutoAreaListItem(dialId);
  std::vector<short> again;
  for (short row = 1; row <= count; ++row)
    if (const CAutoAreaParam* record = AutoAreaRecord(dialId, row);
        record != nullptr && std::find(remembered.begin(), remembered.end(), record->GetGuid()) != remembered.end())
      again.push_back(row);
  SelectRows(dialId, ITEM_AUTO_LIST, again);
  m_pAutoAreaListInfoParam->SetList(false);
  SaveListEdit();
}
