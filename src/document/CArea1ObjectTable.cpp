// The area table of a floor's figures: one object of the table library part
// per call, listing mark, item number, formula and rounded area of each
// figure on the figure layer in use. Long lists are split over several
// tables; the caller keeps the paging counters.

#include "CArea1Object.h"

#include "AreaScheduleTable.h"
#include "CGSUtil.h"
#include "CPlenimetraParam.h"

#include <algorithm>

using namespace AreaScheduleTable;

namespace {

const CAreaListAttr& FigureTableStyle(const CPlenimetraParam* param)
{
  return param->m_EnvParam.m_ListAttr1;
}

}  // namespace

std::vector<CArea1Object*> CArea1ObjectArray::GetTableRows(CPlenimetraParam* param) const
{
  const short layer = param->GetLayer();
  std::vector<CArea1Object*> rows;
  for (const auto& figure : *this) {
    if (figure->m_Element.header.layer == layer)
      rows.push_back(figure.get());
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const CArea1Object* a, const CArea1Object* b) { return a->m_SortIndex < b->m_SortIndex; });
  return rows;
}

GSErrCode CArea1ObjectArray::SetTableHeader(CPlenimetraParam* param)
{
  const CAreaListAttr& style = FigureTableStyle(param);
  ParamWriter writer;
  writer.Set("matrix_title_b", false).Set("head_show", style.m_bHeader).Set("text_size", style.m_TextSize);
  SetHeaderTexts(writer, 0);
  if (writer.Failed())
    return writer.Error();
  // A table part without the mark switch still lists its figures.
  writer.SetUnchecked("show_mark", style.m_bShowMark);
  writer.Set("type", GS::UniString(u"求積表"));
  SetColumns(writer, style);
  SetPens(writer, style, 0);
  writer.Set("text_font", style.m_Font)
      .Set("total_show", false)
      .Set("total_text", GS::UniString(u"合計"))
      .Set("matrix_title", GS::UniString());
  return writer.Error();
}

GSErrCode CArea1ObjectArray::SetTableRows(CPlenimetraParam* param, int* start, int maxRows, int* lines, int* rows)
{
  const std::vector<CArea1Object*> figures = GetTableRows(param);
  const int width = FigureTableStyle(param).m_ColWidth2;
  *rows = 0;
  if (maxRows < 1)
    return NoError;
  for (std::size_t i = static_cast<std::size_t>(std::max(*start, 0)); i < figures.size() && *rows < maxRows; ++i) {
    CArea1Object& figure = *figures[i];
    const int row = ++*rows;
    ParamWriter writer;
    writer.Set(kCells, figure.GetMarkStr(param), row, kColumnMark)
        .Set(kCells, figure.GetItemNoStr(param), row, kColumnNumber)
        .Set(kCells, figure.GetEquation(param, false, static_cast<double>(width)), row, kColumnFormula);
    *lines += figure.GetEquationLines() + 1;
    // The row counts, but a failed cell ends the table without its area.
    if (writer.Error() != NoError)
      return writer.Error();
    if (writer.Set(kCells, figure.GetRoundAreaStr(param), row, kColumnArea).Error() != NoError)
      return writer.Error();
  }
  return NoError;
}

GSErrCode CArea1ObjectArray::SetTableTotal(CPlenimetraParam* param, int rows)
{
  if (GSErrCode err = CGSUtil::ChangeObjectParameter("matrix_rowcnt", rows, 0, 0); err != NoError)
    return err;
  if (!FigureTableStyle(param).m_bTotal)
    return NoError;
  const CRoundTypeItem* item = param->GetArea2ListDefaultRoundType();
  long long total = 0;
  for (const auto& figure : *this)
    total += param->GetRoundArea3(figure->GetRoundArea(param), CRoundTypeTable::ROUNDTYPE_DEFAULT, item);
  const int digits = CRoundTypeItem::DigitOf(item, CRoundTypeParam::kDefaultArea2List);
  return CGSUtil::ChangeObjectParameter("total_val_text", param->GetAreaStr(total, digits), 0, 0);
}

GSErrCode CArea1ObjectArray::SetParam(CPlenimetraParam* param, short, int* start, int maxRows, int* lines,
                                      API_ParamOwnerType& owner, API_GetParamsType& params)
{
  return FillParams(owner, params, [&](ParamWriter& writer) {
    if (writer.Failed())
      return;
    if (writer.Take(SetTableHeader(param)).Failed())
      return;
    int rows = 0;
    writer.Take(SetTableRows(param, start, maxRows, lines, &rows));
    *start += rows;
    if (!writer.Failed())
      writer.Take(SetTableTotal(param, rows));
  });
}

GSErrCode CArea1ObjectArray::CreateObject(CPlenimetraParam* param, short floor, CKelCoord2D position, int* start,
                                          int maxRows, int* lines)
{
  // The figures' table goes on the area-table layer.
  return PlaceTable(param->m_EnvParam.m_ListLayer, position,
                    [&](API_ParamOwnerType& owner, API_GetParamsType& params) {
                      return SetParam(param, floor, start, maxRows, lines, owner, params);
                    });
}
