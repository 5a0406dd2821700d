// The area table of a floor's figures: one object of the table library part
// per call, listing mark, item number, formula and rounded area of each
// figure on the figure layer in use. Long lists are split over several
// tables; the caller keeps the paging counters.

#include "CArea1Object.h"

#include "CGSUtil.h"
#include "CLayerControl.h"
#include "CMyUserData.h"
#include "CPlenimetraParam.h"
#include "GetLibPartInd.h"
#include "HostHandles.h"
#include "host_elements.h"

#include <algorithm>

namespace {

constexpr const char16_t* kTablePart = u"TalvoSoftwareAreaSchedule";
constexpr const char* kCells = "matrix_area";
constexpr int kOutputTagType = 700;

// Cells of one figure row.
enum Column { kColumnMark = 1, kColumnNumber = 2, kColumnFormula = 3, kColumnArea = 4 };

const CAreaListAttr& FigureTableStyle(const CPlenimetraParam* param)
{
  return param->m_EnvParam.m_ListAttr1;
}

// Sets the values one after another and stops at the first failure.
class ParamWriter {
public:
  template <class T> ParamWriter& Set(const char* name, const T& value, int i1 = 0, int i2 = 0)
  {
    if (m_Error == NoError)
      m_Error = CGSUtil::ChangeObjectParameter(name, value, i1, i2);
    return *this;
  }
  GSErrCode Error() const { return m_Error; }

private:
  GSErrCode m_Error = NoError;
};

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
  writer.Set("matrix_title_b", false)
      .Set("head_show", style.m_bHeader)
      .Set("text_size", style.m_TextSize)
      .Set("matrix_heder_text", GS::UniString(u"記号"), 1, 0)
      .Set("matrix_heder_text", GS::UniString(u"計算式"), 2, 1)
      .Set("matrix_heder_text", GS::UniString(u"面積"), 3, 1);
  if (writer.Error() != NoError)
    return writer.Error();
  // A table part without the mark switch still lists its figures.
  CGSUtil::ChangeObjectParameter("show_mark", style.m_bShowMark, 0, 0);
  writer.Set("type", GS::UniString(u"求積表"))
      .Set("matrix_colw1", style.m_ColWidth1)
      .Set("matrix_colw2", style.m_ColWidth2)
      .Set("matrix_colw3", style.m_ColWidth3)
      .Set("matrix_rowh", style.m_RowHeight)
      .Set("matrix_pen", static_cast<int>(style.m_FramePen))
      .Set("text_pen", static_cast<int>(style.m_TextPen))
      .Set("text_pen_minus", static_cast<int>(style.m_MinusPen))
      .Set("text_font", style.m_Font)
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
  if (GSErrCode err = ACAPI_Goodies('OPAR', &owner); err != NoError)
    return err;
  GSErrCode err = SetTableHeader(param);
  int rows = 0;
  if (err == NoError) {
    err = SetTableRows(param, start, maxRows, lines, &rows);
    *start += rows;
  }
  if (err == NoError)
    err = SetTableTotal(param, rows);
  if (err == NoError)
    err = ACAPI_Goodies('GPAR', &params);
  const GSErrCode closeErr = ACAPI_Goodies('CPAR');
  return err != NoError ? err : closeErr;
}

GSErrCode CArea1ObjectArray::CreateObject(CPlenimetraParam* param, short floor, CKelCoord2D position, int* start,
                                          int maxRows, int* lines)
{
  int libInd = 0;
  if (GSErrCode err = GetLibPartInd(reinterpret_cast<const unsigned short*>(kTablePart), &libInd); err != NoError)
    return err;
  API_ParamOwnerType owner;
  owner.libInd = libInd;
  owner.typeID = API_ObjectID;
  API_GetParamsType params;
  const GSErrCode setErr = SetParam(param, floor, start, maxRows, lines, owner, params);
  pln::gsutil::ParamsGuard taken;
  taken.params = params.params;
  if (setErr != NoError)
    return setErr;

  API_Element element;
  element.header.typeID = API_ObjectID;
  GSErrCode err = ACAPI_Element_GetDefaults(&element, nullptr);
  element.object.libInd = libInd;
  element.object.pos = API_Coord{position.m_x, position.m_y};
  element.header.layer = param->m_EnvParam.m_ListLayer;
  // The table goes on the area-table layer: that layer, and no other, is
  // opened for the creation and the tag, and put back afterwards.
  CLayerControl layer(element.header.layer);
  if (err == NoError) {
    API_ElementMemo memo;
    memo.params = taken.params;
    err = ACAPI_Element_Create(&element, &memo);
  }
  if (err == NoError) {
    CMyUserData tag(kOutputTagType, CMyUserData::kVersion);
    err = tag.SetUserData(&element.header);
  }
  layer.Reset();
  return err;
}
