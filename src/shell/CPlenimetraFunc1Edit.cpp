// The figure list's in-list edits: rounding kind, mark, numbering style and
// automatic line break of every selected row, each one undoable step.

#include "CPlenimetraFunc1.h"

#include "CDlgProgress.h"
#include "CFigureListRollback.h"
#include "CPlenimetraParam.h"
#include "GSWriteReport.h"
#include "host_assert.h"
#include "host_errors.h"
#include "host_notify.h"

#include <set>
#include <utility>

namespace {

struct Numbering {
  CItemType1Table::ITEMTYPE mark;
  CItemType2Table::ITEMTYPE style;
  int no;
  bool operator==(const Numbering&) const = default;
};

Numbering NumberingOf(const CArea1Object& figure) { return {figure.m_ItemType1, figure.m_ItemType2, figure.m_No}; }

}  // namespace

GS::Array<API_Guid> CPlenimetraFunc1::GuidsOfRows(short dialId, const CSelectList& rows) const
{
  GS::Array<API_Guid> guids;
  for (int row : rows) {
    const CArea1Object* figure = FigureOfRow(dialId, static_cast<short>(row));
    PLN_ASSERT(figure != nullptr);
    guids.Push(figure->m_Element.header.guid);
  }
  return guids;
}

GSErrCode CPlenimetraFunc1::RunFigureEdit(short dialId, const GS::UniString& undoName,
                                          const std::function<GSErrCode()>& edit)
{
  const CFigureListRollback rollback(ActiveFloor());
  const CSelectList rows = GetSelList(dialId);
  const GSErrCode err = ACAPI_CallUndoableCommand(undoName, [&]() -> GSErrCode {
    const GSErrCode failed = edit();
    // The edit's own failure is the one to report; a rewrite refused
    // again belongs to a figure that was never written.
    if (failed != NoError)
      static_cast<void>(rollback.Restore(m_pParam));
    return failed;
  });
  if (err == NoError)
    return NoError;
  RebuildQuietly(dialId);
  SelectRows(dialId, std::vector<short>(rows.begin(), rows.end()));
  if (m_pListInfoParam != nullptr)
    m_pListInfoParam->SetList(false);
  return err;
}

void CPlenimetraFunc1::ReportEdit(const char16_t* action, GSErrCode err)
{
  if (err == NoError || err == APIERR_CANCEL)
    return;
  GS::UniString text(action);
  if (err == APIERR_NOTMINE)
    text += u"ができません。このフロアの求積図形が確保されていません（フロア未確保）。パレットの「確保」で確保してください。";
  else
    text += GS::UniString(u"ができませんでした。変更は元に戻しました。") + GSCauseText(err);
  GSWriteReport(text);
}

bool CPlenimetraFunc1::RefusesNumbering(short dialId, const char16_t* action)
{
  if (!m_pParam->IsLoadIncomplete())
    return false;
  GSWriteReport(GS::UniString(action) + u"ができません。" + m_pParam->IncompleteLoadText());
  RebuildQuietly(dialId);
  if (m_pListInfoParam != nullptr)
    m_pListInfoParam->SetList(false);
  return true;
}

GSErrCode CPlenimetraFunc1::DoEditorChange(short dialId, short item)
{
  const auto value = static_cast<int>(DGPopUpGetItemUserData(dialId, item, DGPopUpGetSelected(dialId, item)));
  // The tables' undefined entry is no value to give a figure.
  if (item != kAutoCrEditor && value == 0) {
    if (m_pListInfoParam != nullptr)
      m_pListInfoParam->SetList(false);
    return NoError;
  }
  if (item == kRoundEditor)
    return DoRoundTypeChange(dialId, static_cast<CRoundTypeTable::ROUNDTYPE>(value));
  if (item == kAutoCrEditor)
    return DoAutoCrChange(dialId, value != 0);
  const GSErrCode err = DoItemTypeChange(dialId, item, value);
  SetStartNo(dialId);
  return err;
}

GSErrCode CPlenimetraFunc1::DoRoundTypeChange(short dialId, CRoundTypeTable::ROUNDTYPE value)
{
  return RunFigureEdit(dialId, GS::UniString(u"メンセラ[端数処理]"), [&]() -> GSErrCode {
    // Rows that already round so are neither taken nor written.
    CSelectList rows;
    for (int row : GetSelList(dialId))
      if (FigureOfRow(dialId, static_cast<short>(row))->m_RoundType != value)
        rows.push_back(row);
    CDlgProgress progress;
    progress.OpenProgress(GS::UniString(), false);
    progress.SetRange(static_cast<int>(rows.size()), GS::UniString());
    GSErrCode err = m_pParam->DoTeamworkReceive(GuidsOfRows(dialId, rows));
    for (std::size_t i = 0; err == NoError && i < rows.size(); ++i) {
      const auto row = static_cast<short>(rows[i]);
      CArea1Object* figure = FigureOfRow(dialId, row);
      figure->m_RoundType = value;
      err = figure->Save();
      SetListItem(dialId, row, figure);
      progress.StepIt();
    }
    progress.Close();
    if (m_pListInfoParam != nullptr)
      m_pListInfoParam->SetList(false);
    return err;
  });
}

// Every figure whose number the edit may change is reserved before any
// changes: the selected ones and, when each pair is kept closed up, every
// figure of the pairs the selection leaves or joins.
GSErrCode CPlenimetraFunc1::DoItemTypeChange(short dialId, short item, int value)
{
  return RunFigureEdit(
      dialId, GS::UniString(item == kMarkEditor ? u"メンセラ[記号変更]" : u"メンセラ[番号変更]"), [&]() -> GSErrCode {
        const CSelectList rows = GetSelList(dialId);
        const std::vector<CArea1Object*> figures = RowFigures(dialId);
        const bool closeUp = m_pParam->m_EnvParam.m_NumberFillGaps;
        // A figure that has the mark or numbering already keeps its number:
        // it is neither taken nor written.
        std::vector<int> changing;
        for (int row : rows) {
          const CArea1Object* figure = FigureOfRow(dialId, static_cast<short>(row));
          PLN_ASSERT(figure != nullptr);
          if ((item == kMarkEditor ? int(figure->m_ItemType1) : int(figure->m_ItemType2)) != value)
            changing.push_back(row);
        }
        if (changing.empty())
          return NoError;

        std::set<std::pair<int, int>> pairs;
        std::set<const CArea1Object*> selected;
        for (int row : changing) {
          const CArea1Object* figure = FigureOfRow(dialId, static_cast<short>(row));
          PLN_ASSERT(figure != nullptr);
          selected.insert(figure);
          pairs.insert({figure->m_ItemType1, figure->m_ItemType2});
          pairs.insert({item == kMarkEditor ? value : figure->m_ItemType1,
                        item == kMarkEditor ? figure->m_ItemType2 : value});
        }
        GS::Array<API_Guid> reserve;
        for (const CArea1Object* figure : figures)
          if (selected.contains(figure) || (closeUp && pairs.contains({figure->m_ItemType1, figure->m_ItemType2})))
            if (figure->m_Element.header.guid != APINULLGuid)
              reserve.Push(figure->m_Element.header.guid);
        if (const GSErrCode err = m_pParam->DoTeamworkReceive(reserve); err != NoError)
          return err;

        CDlgProgress progress;
        progress.OpenProgress(GS::UniString(), false);
        progress.SetPhase(2, GS::UniString());
        progress.SetRange(static_cast<int>(rows.size()), GS::UniString());
        std::vector<Numbering> before;
        for (const CArea1Object* figure : figures)
          before.push_back(NumberingOf(*figure));
        for (int row : changing) {
          CArea1Object* figure = FigureOfRow(dialId, static_cast<short>(row));
          if (item == kMarkEditor)
            figure->m_ItemType1 = static_cast<CItemType1Table::ITEMTYPE>(value);
          else
            figure->m_ItemType2 = static_cast<CItemType2Table::ITEMTYPE>(value);
          figure->m_No = -1;
          progress.StepIt();
        }
        progress.SetRange(static_cast<int>(figures.size()), GS::UniString());
        GSErrCode err = NoError;
        if (CFloorParam* floor = ActiveFloor(); floor != nullptr)
          err = floor->m_Area1ObjectArray.CheckItemNo(m_pParam);
        for (std::size_t i = 0; err == NoError && i < figures.size(); ++i) {
          CArea1Object* figure = figures[i];
          if (NumberingOf(*figure) != before[i] && figure->m_Element.header.guid != APINULLGuid) {
            err = figure->ChangeParam(m_pParam, true);
            if (err == NoError)
              err = figure->Save();
          }
          progress.StepIt();
        }
        progress.Close();
        SetListItem(dialId);
        SelectRows(dialId, std::vector<short>(rows.begin(), rows.end()));
        return err;
      });
}

GSErrCode CPlenimetraFunc1::DoAutoCrChange(short dialId, bool value)
{
  return RunFigureEdit(dialId, GS::UniString(u"メンセラ[改行]"), [&]() -> GSErrCode {
    const CSelectList keep = GetSelList(dialId);
    CSelectList rows;
    for (int row : keep)
      if (FigureOfRow(dialId, static_cast<short>(row))->m_bAutoCr != value)
        rows.push_back(row);
    GSErrCode err = m_pParam->DoTeamworkReceive(GuidsOfRows(dialId, rows));
    for (std::size_t i = 0; err == NoError && i < rows.size(); ++i) {
      CArea1Object* figure = FigureOfRow(dialId, static_cast<short>(rows[i]));
      figure->m_bAutoCr = value;
      err = figure->Save();
    }
    SetListItem(dialId);
    SelectRows(dialId, std::vector<short>(keep.begin(), keep.end()));
    return err;
  });
}
