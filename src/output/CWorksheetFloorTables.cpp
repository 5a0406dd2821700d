// The area tables of a floor worksheet, right of the copied figures:
// figure tables, the folder and element tables of the current pattern and
// the automatic-area tables, stepped by the document's layout.

#include "AreaScheduleTable.h"
#include "AutoAreaEntries.h"
#include "CDlgProgress.h"
#include "CPlenimetraParam.h"
#include "CWorksheetFloor.h"
#include "host_environment.h"

#include <algorithm>

namespace {

using namespace AreaScheduleTable;

// One table style's lengths on the current sheet.
struct StyleLengths {
  StyleLengths(const CAreaListAttr& style, double scale)
      : u(scale * style.m_TextSize / 1000.0),
        r(2.0 * u),
        width(style.m_ColWidth1 + style.m_ColWidth2 + style.m_ColWidth3),
        hgap(style.m_GapH),
        vgap(style.m_GapV),
        // A limit below 1 would page for ever: every table holds a row.
        rows(std::max(1, style.m_RowLimit))
  {
  }
  double Across() const { return (width + hgap) * u; }  // one table column and its gap
  double Down() const { return (vgap + 4) * r; }         // the fixed pitch of layout 2

  double u;
  double r;
  int width;
  int hgap;
  int vgap;
  int rows;
};

GSErrCode ReadScale(double& scale) { return ACAPI_Database('GSCL', &scale); }

int LineBreaks(const GS::UniString& formula)
{
  int breaks = 0;
  for (char16_t c : formula.Std())
    breaks += c == u'#' ? 1 : 0;
  return breaks;
}

}  // namespace

GSErrCode CWorksheetFloor::DrawArea1List(CFloorParam* floor, CDlgProgress&, CKelCoord2D& point)
{
  double scale = 1.0;
  if (GSErrCode err = ReadScale(scale); err != NoError)
    return err;
  const StyleLengths a(m_pParam->m_EnvParam.m_ListAttr1, scale);
  point.m_x += a.hgap * a.u;
  CKelCoord2D at = point;
  return PageRows(floor->m_Area1ObjectArray.GetSize(m_pParam->GetLayer()), false, a.r, a.vgap + 1, at,
                  [&](CKelCoord2D page, int* start, int* lines) {
                    return floor->m_Area1ObjectArray.CreateObject(m_pParam, floor->m_FloorNo, page, start, a.rows,
                                                                  lines);
                  });
}

GSErrCode CWorksheetFloor::DrawArea2(CFloorParam* floor, CDlgProgress& progress, CKelCoord2D& point)
{
  double scale = 1.0;
  if (GSErrCode err = ReadScale(scale); err != NoError)
    return err;
  CAreaTree* tree = m_pParam->GetTree();
  if (tree == nullptr || tree->m_Child.empty())
    return NoError;
  const CEnvParam& env = m_pParam->m_EnvParam;
  const StyleLengths a(env.m_ListAttr1, scale);
  const StyleLengths c(env.m_ListAttr3, scale);
  point.m_x += a.Across();
  CKelCoord2D folders = point;
  if (GSErrCode err = OutputArea4(floor, &tree->m_Child.front(), progress, folders, scale); err != NoError)
    return err;
  CKelCoord2D elements = m_pParam->m_OutputLayout == 1 ? CKelCoord2D(point.m_x, point.m_y - c.Down())
                                                       : CKelCoord2D(point.m_x + c.Across(), point.m_y);
  return OutputArea2(floor, &tree->m_Child.front(), progress, elements, scale);
}

GSErrCode CWorksheetFloor::OutputArea4(CFloorParam* floor, CAreaTree* node, CDlgProgress& progress,
                                       CKelCoord2D& cursor, double scale)
{
  const StyleLengths c(m_pParam->m_EnvParam.m_ListAttr3, scale);
  const short layer = m_pParam->m_EnvParam.m_ListLayer;
  if (auto* folder = dynamic_cast<CArea4Object*>(m_pParam->FindAreaObject(node->m_AreaCode))) {
    CKelCoord2D at = cursor;
    if (folder->m_ListType == CArea2ListTypeTable::LISTTYPE_FORMULA) {
      int lines = 0;
      if (GSErrCode err = folder->CreateObject(m_pParam, node, floor->m_FloorNo, layer, at, nullptr, nullptr, 0, &lines);
          err != NoError)
        return err;
      at.m_y -= (c.vgap + lines) * c.r;
    } else {
      std::vector<std::vector<GS::UniString>> rows = folder->GetList(m_pParam, node, floor->m_FloorNo);
      if (GSErrCode err = PageRows(int(rows.size()), false, c.r, c.vgap, at,
                                   [&](CKelCoord2D page, int* start, int* lines) {
                                     return folder->CreateObject(m_pParam, node, floor->m_FloorNo, layer, page,
                                                                 &rows, start, c.rows, lines);
                                   });
          err != NoError)
        return err;
    }
    switch (m_pParam->m_OutputLayout) {
    case 1: cursor.m_x += c.Across(); break;
    case 2: cursor.m_y -= c.Down(); break;
    default: cursor.m_y = at.m_y; break;
    }
  }
  for (CAreaTree& child : node->m_Child)
    if (GSErrCode err = OutputArea4(floor, &child, progress, cursor, scale); err != NoError)
      return err;
  return NoError;
}

GSErrCode CWorksheetFloor::OutputArea2(CFloorParam* floor, CAreaTree* node, CDlgProgress& progress,
                                       CKelCoord2D& cursor, double scale)
{
  const StyleLengths b(m_pParam->m_EnvParam.m_ListAttr2, scale);
  const short layer = m_pParam->m_EnvParam.m_ListLayer;
  if (auto* element = dynamic_cast<CArea2Object*>(m_pParam->FindAreaObject(node->m_AreaCode))) {
    const bool column = m_pParam->m_OutputLayout == 1;  // pages go down a column of their own
    CKelCoord2D at = cursor;
    auto place = [&](std::vector<CArea2List*>* entries, CKelCoord2D page, int* start, int maxRows, int* lines) {
      return element->CreateObject(m_pParam, floor->m_FloorNo, node, layer, page, lines, entries, start, maxRows);
    };
    GSErrCode err = NoError;
    if (element->m_ListType == CArea2ListTypeTable::LISTTYPE_FORMULA) {
      int lines = 0;
      err = place(nullptr, at, nullptr, 1, &lines);
      at.m_y -= (b.vgap + lines) * b.r;
    } else {
      // An element without entries still gets its table: title and total.
      std::vector<CArea2List*> entries = CArea2Object::GetList(element->m_FloorArray.SearchFloor(floor->m_FloorNo));
      err = PageRows(int(entries.size()), true, b.r, b.vgap, at, [&](CKelCoord2D page, int* start, int* lines) {
        return place(&entries, page, start, b.rows, lines);
      });
    }
    if (err != NoError)
      return err;
    if (column)
      cursor.m_x += b.Across();
    else
      cursor.m_y = at.m_y;
  }
  for (CAreaTree& child : node->m_Child)
    if (GSErrCode err = OutputArea2(floor, &child, progress, cursor, scale); err != NoError)
      return err;
  return NoError;
}

GSErrCode CWorksheetFloor::DrawAutoArea(CFloorParam* floor, CDlgProgress&, CKelCoord2D& point)
{
  double scale = 1.0;
  if (GSErrCode err = ReadScale(scale); err != NoError)
    return err;
  const CEnvParam& env = m_pParam->m_EnvParam;
  const StyleLengths b(env.m_ListAttr2, scale);
  const StyleLengths c(env.m_ListAttr3, scale);
  const StyleLengths d(env.m_ListAttr4, scale);
  const int layout = m_pParam->m_OutputLayout;
  CKelCoord2D at = point;
  if (layout == 1)
    at.m_y -= c.Down() + b.Down();
  else
    at.m_x += c.Across() + b.Across();
  for (const CAutoAreaParam& record : floor->m_AutoAreaParamArray) {
    const CArea2ObjectFloor entries = AutoAreaEntries(*m_pParam, record, floor->m_FloorNo);
    CKelCoord2D table = at;
    if (GSErrCode err = PageRows(int(entries.m_List.size()), false, d.r, d.vgap, table,
                                 [&](CKelCoord2D page, int* start, int* lines) {
                                   return CreateObject2(record.GetName(), entries, env.m_ListLayer, page, start,
                                                        d.rows, lines);
                                 });
        err != NoError)
      return err;
    switch (layout) {
    case 1: at.m_x += d.Across(); break;
    case 2: at.m_y -= d.Down(); break;
    default: at.m_y = table.m_y; break;
    }
  }
  return NoError;
}

GSErrCode CWorksheetFloor::PageRows(int count, bool emptyPage, double rowHeight, int gapLines, CKelCoord2D& at,
                                    const PageWriter& page)
{
  if (count <= 0 && !emptyPage)
    return NoError;
  int start = 0;
  do {
    int lines = 0;
    const int before = start;
    if (GSErrCode err = page(at, &start, &lines); err != NoError)
      return err;
    at.m_y -= (gapLines + lines) * rowHeight;
    // A writer that took no row would take none on the next page either.
    if (start == before)
      break;
  } while (start < count);
  return NoError;
}

GSErrCode CWorksheetFloor::SetParam(const GS::UniString& title, const CArea2ObjectFloor& record, int* start,
                                    int maxRows, int* lines, API_ParamOwnerType& owner, API_GetParamsType& params)
{
  const CAreaListAttr& style = m_pParam->m_EnvParam.m_ListAttr4;
  return FillParams(owner, params, [&](ParamWriter& writer) {
    writer.Set("matrix_title_b", style.m_bTitle).Set("head_show", style.m_bHeader).Set("text_size", style.m_TextSize);
    SetHeaderTexts(writer, 1);
    SetColumns(writer, style);
    SetPens(writer, style, 0);
    writer.Set("text_font", style.m_Font).Set("total_text", GS::UniString(u"合計")).Set("matrix_title", title);
    SetMarks(writer, style, GS::UniString(), GS::UniString());
    writer.Set("type", GS::UniString(u"求積表"));

    const int count = int(record.m_List.size());
    int row = 0;
    int used = 0;
    for (int i = *start; row < maxRows && i < count; ++i) {
      const CArea2List& entry = record.m_List[std::size_t(i)];
      CArea1Object& figure = *entry.m_pArea1;
      const GS::UniString formula = figure.GetEquation(m_pParam, false, style.m_ColWidth2);
      const GS::UniString sign = entry.m_Operator == COperatorTable::OPERATOR_MINUS ? u"-" : u"";
      ++row;
      writer.Set(kCells, figure.GetMarkStr(m_pParam), row, kColumnMark)
          .Set(kCells, figure.GetItemNoStr(m_pParam), row, kColumnNumber)
          .Set(kCells, formula, row, kColumnFormula)
          .Set(kCells, sign + entry.GetRoundAreaStr(m_pParam), row, kColumnArea);
      used += LineBreaks(formula) + 1;
    }
    const bool last = *start + row >= count;
    if (last) {
      const int digits = CRoundTypeItem::DigitOf(m_pParam->GetArea2ListDefaultRoundType(),
                                                 CRoundTypeParam::kDefaultArea2List);
      writer.Set(kCells, GS::UniString(), row + 1, kColumnMark)
          .Set(kCells, GS::UniString(), row + 1, kColumnNumber)
          .Set(kCells, GS::UniString(u"合計"), row + 1, kColumnFormula)
          .Set(kCells, m_pParam->GetAreaStr(record.GetOrgArea(m_pParam), digits), row + 1, kColumnArea);
    }
    writer.Set("matrix_rowcnt", last ? row + 1 : row).Set("total_show", false);
    if (writer.Failed())
      return;  // the start moves only past rows that were written
    *start += row;
    *lines += used + 2 + (last ? 1 : 0);
  });
}

GSErrCode CWorksheetFloor::CreateObject2(const GS::UniString& title, const CArea2ObjectFloor& record, short layer,
                                         CKelCoord2D point, int* start, int maxRows, int* lines)
{
  return PlaceTable(layer, point, [&](API_ParamOwnerType& owner, API_GetParamsType& params) {
    return SetParam(title, record, start, maxRows, lines, owner, params);
  });
}
