// The figure list's order and numbers: sorting by a header click,
// reordering by dragging rows, and renumbering. Orders are stored as the
// figures' sort indices, so a rebuilt list keeps them.

#include "CPlenimetraFunc1.h"

#include "CDlgProgress.h"
#include "CDlgRenumbering.h"
#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "CRenumberWork.h"
#include "GSWriteReport.h"
#include "ListHeaderSort.h"
#include "host_alert.h"
#include "host_assert.h"
#include "host_errors.h"
#include "host_notify.h"

#include <algorithm>
#include <compare>
#include <utility>
#include <vector>

namespace {

const GS::UniString kTitle(u"メンセラ");
const GS::UniString kListUndo(u"メンセラ[求積図形リスト]");
constexpr const char16_t* kSortAction = u"求積図形の並べ替え";

// One figure's key for the clicked column; column 3 compares the figures
// themselves.
struct SortKey {
  CArea1Object* figure = nullptr;
  long long number = 0;
  GS::UniString text;
};

bool IsTextColumn(short column) { return column == 4 || column == 8; }

GS::UniString ZoneName(const CPlenimetraParam& doc, const CArea1Object& figure)
{
  const CFloorParam* floor = doc.m_FloorParamArray.Search(CGSUtil::GetActStory());
  if (floor == nullptr || figure.m_AutoArea.m_ElemGuid.IsNull())
    return {};
  const API_Guid guid = ToAPIGuid(figure.m_AutoArea.m_ElemGuid);
  const CAutoAreaParam* record = floor->m_AutoAreaParamArray.Search(&guid);
  return record != nullptr ? record->GetName() : GS::UniString();
}

SortKey KeyOf(CPlenimetraParam& doc, short column, CArea1Object* figure)
{
  SortKey key;
  key.figure = figure;
  switch (column) {
  case 1: key.number = figure->m_ItemType1; break;
  case 2: key.number = figure->m_ItemType2; break;
  case 4: key.text = figure->GetEquation(&doc, false, doc.m_EnvParam.m_ListAttr1.m_ColWidth2); break;
  case 5: key.number = figure->GetOrgArea(&doc); break;
  case 6: key.number = figure->m_RoundType; break;
  case 7: key.number = figure->GetRoundArea(&doc); break;
  case 8: key.text = ZoneName(doc, *figure); break;
  case 9: key.number = figure->m_bAutoCr ? 1 : 0; break;
  default: break;
  }
  return key;
}

int Compare(const CPlenimetraParam& doc, short column, const SortKey& a, const SortKey& b)
{
  if (column == 3)
    return doc.CompareASCII(a.figure, b.figure);
  if (IsTextColumn(column))
    return ListHeaderSort::CompareText(a.text, b.text);
  return ListHeaderSort::CompareNumber(a.number, b.number);
}

// Equal keys stay.
bool MustExchange(const CPlenimetraParam& doc, short column, short direction, const SortKey& a, const SortKey& b)
{
  if (column < 1 || column > 9)
    return false;
  return ListHeaderSort::MustExchange(Compare(doc, column, a, b), direction);
}

// The exchange sort of the rows over their ranks, which compare as the
// keys: ascending exchanges a greater, else a smaller. Ranks are dense from
// 0, so the top rank tells the two common cases apart without the
// quadratic passes: all ranks equal (nothing is exchanged) and all
// distinct (the exchanges have a single outcome). Otherwise equal ranks
// keep the order the exchanges give them.
void ExchangeByRank(std::vector<std::pair<int, CArea1Object*>>& rows, bool ascending)
{
  const auto goesFirst = [ascending](int a, int b) { return ascending ? a < b : a > b; };
  const auto byRank = [](const auto& a, const auto& b) { return a.first < b.first; };
  const int topRank = rows.empty() ? 0 : std::max_element(rows.begin(), rows.end(), byRank)->first;
  if (topRank == 0)
    return;
  if (topRank == static_cast<int>(rows.size()) - 1) {
    std::sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) { return goesFirst(a.first, b.first); });
    return;
  }
  for (std::size_t i = 0; i < rows.size(); ++i)
    for (std::size_t j = i + 1; j < rows.size(); ++j)
      if (goesFirst(rows[j].first, rows[i].first))
        std::swap(rows[i], rows[j]);
}

}  // namespace

bool CPlenimetraFunc1::CheckSort(short dialId, short column, int row1, int row2, short direction)
{
  CArea1Object* a = FigureOfRow(dialId, static_cast<short>(row1));
  CArea1Object* b = FigureOfRow(dialId, static_cast<short>(row2));
  PLN_ASSERT(a != nullptr);
  PLN_ASSERT(b != nullptr);
  return MustExchange(*m_pParam, column, direction, KeyOf(*m_pParam, column, a), KeyOf(*m_pParam, column, b));
}

// ---------------------------------------------------------------------------
// Header click

bool CPlenimetraFunc1::DoMsgListHeaderClick(short dialId, short item, DG::ListBoxHeaderEventArg* arg)
{
  if (item != kList || arg == nullptr)
    return true;
  const CSelectList rows = GetSelList(dialId);
  CArea1ObjectPtrArray remembered;
  for (int row : rows)
    if (auto shared = SharedFigure(FigureOfRow(dialId, static_cast<short>(row))); shared != nullptr)
      remembered.push_back(shared);
  const GSErrCode err = CGSUtil::OnFloorPlan(
      [&] { return RunFigureEdit(dialId, kListUndo, [&]() { return DoSort(dialId, arg->headerItem); }); });
  RebuildQuietly(dialId);
  ReportEdit(kSortAction, err);
  std::vector<short> reselect;
  for (short row = 1; row <= RowCount(dialId); ++row)
    for (const auto& figure : remembered)
      if (figure.get() == FigureOfRow(dialId, row))
        reselect.push_back(row);
  PLN_ASSERT(!*m_bIgnoreSelection);
  SelectRows(dialId, reselect);
  return true;
}

// The order is found first; the figures whose sort index it changes are
// reserved (a free one is taken, as the page's other commands take it)
// before the header or any figure changes, and only they are written.
GSErrCode CPlenimetraFunc1::DoSort(short dialId, short column)
{
  PLN_ASSERT(!*m_bIgnoreSelection);
  const short direction = ListHeaderSort::NextDirection(DGListGetHeaderItemArrowType(dialId, kList, column));
  const std::vector<CArea1Object*> order = SortedRows(dialId, column, direction);
  GS::Array<API_Guid> moved;
  for (std::size_t i = 0; i < order.size(); ++i)
    if (order[i]->m_SortIndex != static_cast<int>(i))
      moved.Push(order[i]->m_Element.header.guid);
  if (const GSErrCode reserved = m_pParam->DoTeamworkReceive(moved); reserved != NoError)
    return reserved;
  DGListDeselectItem(dialId, kList, DG_ALL_ITEMS);
  static_cast<void>(ListHeaderSort::ClickHeader(dialId, kList, column));
  for (std::size_t i = 0; i < order.size(); ++i) {
    CArea1Object* figure = order[i];
    if (figure->m_SortIndex != static_cast<int>(i)) {
      figure->m_SortIndex = static_cast<int>(i);
      if (const GSErrCode err = figure->Save(); err != NoError)
        return err;
    }
  }
  return NoError;
}

// The exchange sort of the rows over the ranks of their keys, computed
// once; the order of equal keys follows the exchanges, as it always has.
std::vector<CArea1Object*> CPlenimetraFunc1::SortedRows(short dialId, short column, short direction)
{
  std::vector<SortKey> keys;
  for (CArea1Object* figure : RowFigures(dialId))
    keys.push_back(KeyOf(*m_pParam, column, figure));
  const bool sorts = column >= 1 && column <= 9;
  const std::vector<int> ranks = ListHeaderSort::Ranks(
      keys, [&](const SortKey& a, const SortKey& b) { return sorts ? Compare(*m_pParam, column, a, b) : 0; });
  std::vector<std::pair<int, CArea1Object*>> rows;
  for (std::size_t i = 0; i < keys.size(); ++i)
    rows.emplace_back(ranks[i], keys[i].figure);
  ExchangeByRank(rows, direction == ListHeaderSort::kAscending);
  std::vector<CArea1Object*> order;
  for (const auto& [rank, figure] : rows)
    order.push_back(figure);
  return order;
}

// ---------------------------------------------------------------------------
// Drag reordering

short CPlenimetraFunc1::DoMsgDragDrop(short dialId, short item, DG::DragDropEventArg* arg)
{
  if (item != kList || arg == nullptr)
    return 0;
  switch (arg->subMessage) {
  case DG_DRAG_STARTING:
    return 1;
  case DG_DRAG_START:
    arg->data = 0;
    return 0;
  case DG_DRAG_ENTER:
    arg->effect = 7;
    arg->feedback = 256;
    return 0;
  case DG_DRAG_OVER:
    arg->feedback = 256;
    return 0;
  case DG_DRAG_DROP:
    break;
  default:
    return 0;
  }
  if (arg->relativePos == DG_DRAG_INSERT_UNDER || arg->relativePos == DG_DRAG_INSERT_ABOVE) {
    // Numbers that fill gaps follow the new order.
    if (m_pParam->m_EnvParam.m_NumberFillGaps && RefusesNumbering(dialId, kSortAction))
      return 0;
    const GSErrCode err = CGSUtil::OnFloorPlan([&] {
      return RunFigureEdit(dialId, kListUndo, [&]() { return DoReorder(dialId, static_cast<int>(arg->insertPos)); });
    });
    RebuildQuietly(dialId);
    EnableItem(dialId);
    ReportEdit(kSortAction, err);
  } else if (arg->relativePos == DG_DRAG_INSERT_ON) {
    RebuildQuietly(dialId);
  }
  return 0;
}

// The figures whose place the new order moves and, when numbers fill
// gaps, those the renumbering after it gives another number: found with
// the new places in memory, which every figure then takes back.
GS::Array<API_Guid> CPlenimetraFunc1::ReorderTouches(const std::vector<CArea1Object*>& order) const
{
  GS::Array<API_Guid> guids;
  std::vector<int> places;
  for (std::size_t i = 0; i < order.size(); ++i) {
    PLN_ASSERT(order[i] != nullptr);
    places.push_back(order[i]->m_SortIndex);
    if (order[i]->m_SortIndex != static_cast<int>(i))
      guids.Push(order[i]->m_Element.header.guid);
    order[i]->m_SortIndex = static_cast<int>(i);
  }
  if (m_pParam->m_EnvParam.m_NumberFillGaps) {
    CRenumberWorkItemArray pairs;
    for (CArea1Object* figure : order)
      pairs.Add({figure, true});
    for (CRenumberWorkItem& pair : pairs) {
      pair.Sort();
      pair.AddRenumbered(0, guids);
    }
  }
  for (std::size_t i = 0; i < order.size(); ++i)
    order[i]->m_SortIndex = places[i];
  return guids;
}

GSErrCode CPlenimetraFunc1::DoReorder(short dialId, int insertPos)
{
  const CSelectList rows = GetSelList(dialId);
  const int count = RowCount(dialId);
  const int p = std::clamp(insertPos, 0, count);
  std::vector<CArea1Object*> order;
  for (int row = 1; row <= count; ++row)
    if (row <= p && !rows.IsSelected(row))
      order.push_back(FigureOfRow(dialId, static_cast<short>(row)));
  for (int row : rows)
    order.push_back(FigureOfRow(dialId, static_cast<short>(row)));
  for (int row = p + 1; row <= count; ++row)
    if (!rows.IsSelected(row))
      order.push_back(FigureOfRow(dialId, static_cast<short>(row)));
  CDlgProgress progress;
  progress.OpenProgress(GS::UniString(), false);
  progress.SetRange(static_cast<int>(order.size()), GS::UniString());
  GSErrCode err = m_pParam->DoTeamworkReceive(ReorderTouches(order));
  for (std::size_t i = 0; err == NoError && i < order.size(); ++i) {
    if (order[i]->m_SortIndex != static_cast<int>(i)) {
      order[i]->m_SortIndex = static_cast<int>(i);
      err = order[i]->Save();
    }
    progress.StepIt();
  }
  progress.Close();
  if (err != NoError || !m_pParam->m_EnvParam.m_NumberFillGaps)
    return err;
  // Renumbering follows the rows, so they take the new order first.
  RebuildQuietly(dialId);
  return DoRenumberAll(dialId);
}

// ---------------------------------------------------------------------------
// Renumbering

// The user answers first: a renumbering cancelled at its question or its
// dialog has reserved nothing.
GSErrCode CPlenimetraFunc1::DoRenumber(short dialId)
{
  const GSErrCode err = RunFigureEdit(dialId, GS::UniString(u"メンセラ[ﾘﾅﾝﾊﾞﾘﾝｸﾞ]"), [&]() -> GSErrCode {
    if (m_pParam->m_EnvParam.m_NumberFillGaps || GetSelList(dialId).empty()) {
      if (DGAlert(-3, kTitle, GS::UniString(u"リナンバリングします。よろしいですか？"), GS::UniString(),
                  GS::UniString(u"はい"), GS::UniString(u"いいえ")) != 1)
        return NoError;
      // A list already numbered so is left as it is, and nothing is taken.
      CRenumberWorkItemArray pairs = AllRowPairs(dialId);
      bool any = false;
      if (const GSErrCode reserved = ReserveRenumbered(pairs, 0, any); reserved != NoError || !any)
        return reserved;
      const GSErrCode all = NumberPairs(pairs, 0);
      if (all == NoError)
        RebuildQuietly(dialId);
      return all;
    }
    return DoRenumberSelection(dialId);
  });
  EnableItem(dialId);
  return err;
}

GSErrCode CPlenimetraFunc1::ReserveRenumbered(CRenumberWorkItemArray& pairs, int start, bool& any) const
{
  GS::Array<API_Guid> guids;
  for (CRenumberWorkItem& pair : pairs) {
    pair.Sort();
    pair.AddRenumbered(start, guids);
  }
  any = !guids.IsEmpty();
  return m_pParam->DoTeamworkReceive(guids);
}

GSErrCode CPlenimetraFunc1::DoRenumberSelection(short dialId)
{
  CDlgRenumbering dialog(m_pParam, 1);
  if (dialog.DoModal() != 1)
    return NoError;
  const int start = std::max(1, dialog.m_StartNo) - 1;
  const CSelectList rows = GetSelList(dialId);
  CRenumberWorkItemArray pairs;
  for (short row = 1; row <= RowCount(dialId); ++row)
    if (CArea1Object* figure = FigureOfRow(dialId, row); figure != nullptr)
      pairs.Add({figure, rows.IsSelected(row)});
  for (const CRenumberWorkItem& pair : pairs)
    if (pair.Overlaps(start)) {
      GSWriteReport(GS::UniString(u"番号が重なります。処理を中止します"));
      return NoError;
    }
  bool any = false;
  if (const GSErrCode reserved = ReserveRenumbered(pairs, start, any); reserved != NoError || !any)
    return reserved;
  // A numbering the host refused is taken back by the edit's rollback;
  // stored now, the record would keep what the rollback takes back.
  GSErrCode err = NumberPairs(pairs, start);
  if (err == NoError)
    err = m_pParam->SaveData();
  if (err == NoError)
    RebuildQuietly(dialId);
  return err;
}

CRenumberWorkItemArray CPlenimetraFunc1::AllRowPairs(short dialId) const
{
  CRenumberWorkItemArray pairs;
  for (short row = 1; row <= RowCount(dialId); ++row)
    if (CArea1Object* figure = FigureOfRow(dialId, row); figure != nullptr)
      pairs.Add({figure, true});
  return pairs;
}

GSErrCode CPlenimetraFunc1::DoRenumberAll(short dialId)
{
  CRenumberWorkItemArray pairs = AllRowPairs(dialId);
  return NumberPairs(pairs, 0);
}

GSErrCode CPlenimetraFunc1::NumberPairs(CRenumberWorkItemArray& pairs, int start)
{
  if (pairs.empty())
    return NoError;
  CDlgProgress progress;
  progress.OpenProgress(GS::UniString(), false);
  progress.SetPhase(static_cast<int>(pairs.size()), GS::UniString());
  GSErrCode err = NoError;
  for (std::size_t i = 0; err == NoError && i < pairs.size(); ++i) {
    pairs[i].Sort();
    err = pairs[i].SetItemNo(m_pParam, &progress, start);
  }
  progress.Close();
  return err;
}
