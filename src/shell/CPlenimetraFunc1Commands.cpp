// The figure list's buttons that change figures: the nine placements,
// base rotation, formula line breaks and deletion. Each figure placed, and
// each other command, is one undoable step.

#include "CPlenimetraFunc1.h"

#include "CAreaArc.h"
#include "CAreaArc3Point.h"
#include "CAreaArcCenter.h"
#include "CAreaCircle.h"
#include "CAreaEllipse.h"
#include "CAreaRectSlant.h"
#include "CAreaTrapezoid.h"
#include "CAreaTriangle.h"
#include "CDlgEditCr.h"
#include "CDlgProgress.h"
#include "CElementChange.h"
#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "GSWriteReport.h"
#include "host_assert.h"
#include "host_environment.h"
#include "host_errors.h"
#include "host_selection.h"
#include "host_notify.h"

namespace {

template <class Input>
GSErrCode TraceInto(CKelAreaCoord2D& points)
{
  Input input;
  const GSErrCode err = input.Trace();
  points = input;
  return err;
}

GSErrCode TraceKind(short item, CKelAreaCoord2D& points)
{
  switch (item) {
  case 6: return TraceInto<CAreaTriangleTrace>(points);
  case 7: return TraceInto<CAreaRectTrace>(points);
  case 8: return TraceInto<CAreaRectSlantTrace>(points);
  case 9: return TraceInto<CAreaTrapezoidTrace>(points);
  case 10: return TraceInto<CAreaCircleTrace>(points);
  case 11: return TraceInto<CAreaEllipseTrace>(points);
  case 12: return TraceInto<CAreaArcTrace>(points);
  case 13: return TraceInto<CAreaArc3PointTrace>(points);
  default: return TraceInto<CAreaArcCenterTrace>(points);
  }
}

// The kinds the page makes itself, by button.
CArea1Object::TYPE PageKind(short item)
{
  switch (item) {
  case 8: return CArea1Object::TYPE_RECTSLANT;
  case 10: return CArea1Object::TYPE_CIRCLE;
  case 11: return CArea1Object::TYPE_ELLIPSE;
  case 13: return CArea1Object::TYPE_ARC3POINT;
  case 14: return CArea1Object::TYPE_ARCCENTER;
  default: return CArea1Object::TYPE_NONE;
  }
}

GS::Array<API_Guid> GuidsOf(const CArea1ObjectPtrArray& figures)
{
  GS::Array<API_Guid> guids;
  for (const auto& figure : figures)
    guids.Push(figure->m_Element.header.guid);
  return guids;
}

}  // namespace

// ---------------------------------------------------------------------------
// Placement

// A part placed on a worksheet or layout carries no record and belongs to
// no story's plan: only the floor plan takes figures, and elsewhere the
// user is told where to place them.
GSErrCode CPlenimetraFunc1::DoCreate(short dialId, short item)
{
  API_DatabaseInfo front;
  if (const GSErrCode err = ACAPI_Database('GDAT', &front); err != NoError)
    return err;
  if (front.typeID != APIWind_FloorPlanID) {
    GSWriteReport(GS::UniString(u"求積図形は平面図にだけ配置できます。平面図を表示してから配置してください"));
    return APIERR_CANCEL;
  }
  int startNo = GetStartNoItem(dialId) - 1;
  for (;;) {
    const GSErrCode err = ACAPI_CallUndoableCommand(GS::UniString(u"メンセラ[求積図形作成]"),
                                                    [&]() { return PlaceOne(dialId, item, startNo); });
    if (err != NoError)
      return err;
  }
}

GSErrCode CPlenimetraFunc1::PlaceOne(short dialId, short item, int& startNo)
{
  CKelAreaCoord2D points;
  if (const GSErrCode err = TraceKind(item, points); err != NoError)
    return err;
  // A story added since the palette opened gets its floor record with its
  // first figure; a cancelled input leaves it without one.
  const short story = CGSUtil::GetActStory();
  CFloorParam* floor = FloorOnDemand(m_pParam, story);
  startNo = floor->m_Area1ObjectArray.GetStartNo(m_pParam, m_pParam->m_CurItemType1, m_pParam->m_CurItemType2, startNo);
  const GSErrCode err = PageKind(item) == CArea1Object::TYPE_NONE ? PlaceByDocument(item, points, startNo, story)
                                                                  : PlaceByPage(item, points, startNo, story);
  if (err != NoError)
    return err;
  ShowPlaced(dialId);
  DGSetItemValLong(dialId, kStartNo, startNo + 2);
  ShowNo(dialId);
  return NoError;
}

GSErrCode CPlenimetraFunc1::PlaceByDocument(short item, const CKelAreaCoord2D& points, int startNo, short story)
{
  CPlenimetraParam& doc = *m_pParam;
  const auto mark = doc.m_CurItemType1;
  const auto style = doc.m_CurItemType2;
  switch (item) {
  case 6: return doc.AddTriangle(points, COperatorTable::OPERATOR_NONE, nullptr, startNo, mark, style, story);
  case 7: return doc.AddRect(points, COperatorTable::OPERATOR_NONE, nullptr, startNo, mark, style, story);
  case 9: return doc.AddTrapezoid(points, COperatorTable::OPERATOR_NONE, nullptr, startNo, mark, style, story);
  default: return doc.AddArc(points, COperatorTable::OPERATOR_NONE, nullptr, startNo, mark, style, story);
  }
}

// These kinds keep any area; a failed placement still uses up its code.
GSErrCode CPlenimetraFunc1::PlaceByPage(short item, const CKelAreaCoord2D& points, int startNo, short story)
{
  CPlenimetraParam& doc = *m_pParam;
  const int code = ++doc.m_LastArea1Code;
  std::shared_ptr<CArea1Object> figure =
      doc.m_Area1Factory.Create(&doc, PageKind(item), code, doc.m_CurItemType1, doc.m_CurItemType2, startNo);
  if (figure == nullptr)
    return APIERR_BADPARS;
  if (const GSErrCode err = figure->Create(&doc, points, story); err != NoError)
    return err;
  CFloorParam* floor = ActiveFloor();
  floor->m_Area1ObjectArray.push_back(figure);
  const GSErrCode sorted = floor->m_Area1ObjectArray.SetSortIndex();
  const GSErrCode changed = figure->ChangeParam(&doc, true);
  return sorted != NoError ? sorted : changed;
}

// ---------------------------------------------------------------------------
// Rotation, line breaks, deletion

GSErrCode CPlenimetraFunc1::DoRotate(short dialId)
{
  // Only triangles and trapezoids have a base to turn: the other figures
  // selected are neither taken nor able to refuse the command.
  CArea1ObjectPtrArray figures;
  for (const auto& figure : GetSelection(dialId))
    if (dynamic_cast<CAreaTriangle*>(figure.get()) != nullptr || dynamic_cast<CAreaTrapezoid*>(figure.get()) != nullptr)
      figures.push_back(figure);
  if (figures.empty())
    return NoError;
  const GSErrCode err = ACAPI_CallUndoableCommand(GS::UniString(u"メンセラ[底辺回転]"), [&]() -> GSErrCode {
    if (const GSErrCode reserved = m_pParam->DoTeamworkReceive(GuidsOf(figures)); reserved != NoError)
      return reserved;
    GS::Array<API_Neig> rotated;
    for (const auto& figure : figures) {
      auto* triangle = dynamic_cast<CAreaTriangle*>(figure.get());
      GSErrCode done = triangle != nullptr ? triangle->Rotation(m_pParam)
                                           : dynamic_cast<CAreaTrapezoid*>(figure.get())->Rotation(m_pParam);
      if (done == NoError)
        done = figure->Save();
      if (done != NoError)
        return done;
      API_Neig neig;
      neig.guid = figure->m_Element.header.guid;
      rotated.Push(neig);
      if (const GSErrCode selected = ACAPI_Element_Select(rotated, true); selected != NoError)
        return selected;
    }
    return NoError;
  });
  RebuildQuietly(dialId);
  return err;
}

GSErrCode CPlenimetraFunc1::DoEditCr(short dialId)
{
  const CSelectList rows = GetSelList(dialId);
  if (rows.size() != 1)
    return NoError;
  const auto row = static_cast<short>(rows[0]);
  CArea1Object* figure = FigureOfRow(dialId, row);
  PLN_ASSERT(figure != nullptr);
  const double width = m_pParam->m_EnvParam.m_ListAttr1.m_ColWidth2;
  CDlgEditCr1 dialog(m_pParam, CCrMarkArray::GetEquationList(figure->GetEquation(m_pParam, true, width)), figure->m_Cr,
                     figure->m_bAutoCr);
  if (dialog.DoModal() != 1)
    return NoError;
  // Marks are kept only when set by hand.
  if (dialog.m_bAutoCr == figure->m_bAutoCr && (dialog.m_bAutoCr || dialog.m_CrMarkArray == figure->m_Cr))
    return NoError;
  return RunFigureEdit(dialId, GS::UniString(u"メンセラ[改行]"), [&]() -> GSErrCode {
    GS::Array<API_Guid> guids;
    guids.Push(figure->m_Element.header.guid);
    if (const GSErrCode reserved = m_pParam->DoTeamworkReceive(guids); reserved != NoError)
      return reserved;
    figure->m_bAutoCr = dialog.m_bAutoCr;
    if (!figure->m_bAutoCr)
      figure->m_Cr = dialog.m_CrMarkArray;
    const GSErrCode saved = figure->Save();
    SetListItem(dialId, row, figure);
    return saved;
  });
}

// The deleted figures leave their elements' entries, which only the record
// holds: it is saved in the same step, so that Undo gives the entries back
// with the figures.
GSErrCode CPlenimetraFunc1::DoDelete(short dialId)
{
  const auto remove = [&]() -> GSErrCode {
    // The deleted figures and every figure whose place or number the
    // deletion moves are this user's before anything changes; the others
    // are neither taken nor written.
    const CArea1ObjectPtrArray deleted = GetSelection(dialId);
    CFloorParam* story = ActiveFloor();
    const std::vector<CArea1Object*> moved =
        story != nullptr ? story->m_Area1ObjectArray.MovedWithout(m_pParam, deleted) : std::vector<CArea1Object*>();
    std::vector<std::pair<CArea1Object*, int>> numbers;
    GS::Array<API_Guid> touched = GuidsOf(deleted);
    for (CArea1Object* figure : moved) {
      touched.Push(figure->m_Element.header.guid);
      numbers.emplace_back(figure, figure->m_No);
    }
    if (const GSErrCode reserved = m_pParam->DoTeamworkReceive(touched); reserved != NoError)
      return reserved;
    GSErrCode err = m_pParam->DoDeleteArea1(deleted);
    if (CFloorParam* floor = ActiveFloor(); floor != nullptr) {
      const GSErrCode sorted = floor->m_Area1ObjectArray.SetSortIndex();
      const GSErrCode numbered = floor->m_Area1ObjectArray.CheckItemNo(m_pParam);
      err = err != NoError ? err : sorted != NoError ? sorted : numbered;
    }
    RebuildQuietly(dialId);
    if (err != NoError)
      return err;
    // A part shows its number: only a number that moved is written again.
    CDlgProgress progress;
    progress.OpenProgress(GS::UniString(), false);
    progress.SetRange(static_cast<int>(numbers.size()), GS::UniString());
    for (const auto& [figure, no] : numbers) {
      if (figure->m_No != no && (err = figure->ChangeParam(m_pParam, true)) != NoError)
        break;
      progress.StepIt();
    }
    progress.Close();
    return err;
  };
  return RunAsOneStep(GS::UniString(u"メンセラ[求積図形削除]"), remove, [&] { return GSErrCode(m_pParam->SaveData()); });
}
