// The tables of the building-area summary: the total table of a subtree
// with its multi-level header, and the two-column table of one node.

#include "CAreaTree.h"
#include "CGSUtil.h"
#include "CMyUserData.h"
#include "CPlenimetraParam.h"
#include "CWorksheetTotal.h"
#include "DocRecord.h"
#include "host_assert.h"
#include "host_errors.h"

#include <algorithm>
#include <string>

namespace {

// The default floor of the host's line and text creators.
constexpr short kDefaultFloor = 15000;

enum Anchor : Int32 { kCaptionAnchor = 6, kNameAnchor = 4, kValueAnchor = 5 };

// Characters after the first "."; 0 without one.
int Decimals(const GS::UniString& text)
{
  const UIndex dot = text.FindFirst(u'.');
  return dot == GS::MaxUIndex ? 0 : int(text.GetLength() - dot - 1);
}

GS::UniString WithoutMinusMark(const GS::UniString& text)
{
  return !text.IsEmpty() && text[0] == u'▲' ? text.GetSubstring(1, text.GetLength()) : text;
}

// Lines and texts of one table in the summary's style. The first failure
// ends the table: nothing more is placed and that failure is what the table
// answers, so an element missing from the sheet never goes unreported.
class Drawing {
public:
  Drawing(const CPlenimetraParam& doc, GS::Array<API_Guid>* guids, CMyUserDataCore* tag)
      : m_Style(doc.m_EnvParam.m_TotalAreaParam), m_Layer(doc.m_EnvParam.m_ListLayer), m_Guids(guids), m_Tag(tag),
        m_Font(CGSUtil::GSSearchFont(reinterpret_cast<const unsigned short*>(m_Style.m_Font.ToUStr())))
  {
  }

  void Line(double x1, double y1, double x2, double y2)
  {
    if (m_First == NoError)
      m_First = CGSUtil::CreateLine(x1, y1, x2, y2, m_Style.m_LinePen, 1, m_Layer, kDefaultFloor, m_Guids, nullptr,
                                    nullptr, m_Tag, false);
  }
  // The host keeps a text in the default code; one it cannot hold is
  // refused with the character named, as a stand-in character would
  // change the text unseen. The output then ends as cancelled.
  void Text(double x, double y, const GS::UniString& text, Anchor anchor, API_JustID just)
  {
    if (m_First != NoError)
      return;
    std::string bytes;
    if (!DocText::Encode(text, CC_Default, bytes)) {
      static_cast<void>(DocText::RefuseUnheld(text));
      m_First = APIERR_CANCEL;
      return;
    }
    m_First = CGSUtil::CreateText(x, y, bytes.c_str(), m_Style.m_TextSize, 0.0, true, API_AnchorID(anchor), just,
                                  m_Font, m_Style.m_TextPen, m_Layer, kDefaultFloor, m_Guids, nullptr, m_Tag, false);
  }
  GSErrCode First() const { return m_First; }

private:
  const CAttributeTotalAreaParam& m_Style;
  short m_Layer;
  GS::Array<API_Guid>* m_Guids;
  CMyUserDataCore* m_Tag;
  short m_Font;
  GSErrCode m_First = NoError;
};

// The value texts of one node: per calculated floor (top story first), the
// total and the tsubo total; empty when the node is marked for deletion.
struct NodeValues {
  bool found = false;
  std::vector<GS::UniString> floors;
  GS::UniString total;
  GS::UniString tubo;
};

NodeValues ValuesOf(const CPlenimetraParam& doc, const CAreaTreeIndent& entry, CKelProgressCore& progress)
{
  NodeValues values;
  const CAreaTree* node = doc.m_AreaTree2.Search(entry.m_AreaCode);
  if (node == nullptr)
    return values;
  const CAreaObject* object = doc.GetAreaObject(entry.m_AreaCode);
  PLN_ASSERT(object != nullptr);
  values.found = true;
  const GS::UniString minus = node->m_Operator == COperatorTable::OPERATOR_MINUS ? u"▲" : u"";
  const int code = doc.m_CurTreeCode;
  for (auto floor = doc.m_FloorParamArray.rbegin(); floor != doc.m_FloorParamArray.rend(); ++floor)
    if (floor->IsCalc(&doc.m_FloorParamArray, code))
      values.floors.push_back(
          CPlenimetraParam::TrimRight(minus + object->GetRoundAreaStr(&doc, node, floor->m_FloorNo)));
  values.total = CPlenimetraParam::TrimRight(entry.GetTextTotal(&doc, progress));
  if (doc.m_bTuboRow)
    values.tubo = CPlenimetraParam::TrimRight(entry.GetTextTotalTubo(&doc, progress));
  return values;
}

// The widest decimals of the floor values and totals (tsubo left out).
int WidestDecimals(const std::vector<NodeValues>& values)
{
  int widest = 0;
  for (const NodeValues& v : values) {
    if (!v.found)
      continue;
    for (const GS::UniString& text : v.floors)
      widest = std::max(widest, Decimals(WithoutMinusMark(text)));
    widest = std::max(widest, Decimals(v.total));
  }
  return widest;
}

// The calculated floors' names, top story first.
std::vector<GS::UniString> FloorNames(const CPlenimetraParam& doc)
{
  std::vector<GS::UniString> names;
  for (auto floor = doc.m_FloorParamArray.rbegin(); floor != doc.m_FloorParamArray.rend(); ++floor)
    if (floor->IsCalc(&doc.m_FloorParamArray, doc.m_CurTreeCode))
      names.push_back(floor->m_FloorName);
  return names;
}

// Rows of labels and value columns below a table's header: the body
// shared by both table kinds. Column k's right edge is at X + (k + 1) W.
void DrawBody(Drawing& draw, const CPlenimetraParam& doc, const std::vector<NodeValues>& values, const CKelCoord2D& pos,
              double d, double w, double h)
{
  const double x = pos.m_x;
  const int widest = WidestDecimals(values);
  auto rowY = [&](int r) { return pos.m_y - r * h - h / 2; };
  auto value = [&](std::size_t k, const GS::UniString& text, int r) {
    const double shift = (Decimals(text) - widest) * d / 2;
    draw.Text(x + double(k + 1) * w + shift, rowY(r), text, kValueAnchor, APIJust_Right);
  };
  const std::vector<GS::UniString> floors = FloorNames(doc);
  int r = 1;
  for (std::size_t f = 0; f < floors.size(); ++f, ++r) {
    draw.Text(x, rowY(r), floors[f], kValueAnchor, APIJust_Right);
    for (std::size_t k = 0; k < values.size(); ++k)
      if (values[k].found)
        value(k, values[k].floors[f], r);
  }
  draw.Text(x, rowY(r), GS::UniString(u"合計"), kValueAnchor, APIJust_Right);
  for (std::size_t k = 0; k < values.size(); ++k)
    if (values[k].found)
      value(k, values[k].total, r);
  if (!doc.m_bTuboRow)
    return;
  ++r;
  draw.Text(x, rowY(r), GS::UniString(u"合計(坪)"), kValueAnchor, APIJust_Right);
  for (std::size_t k = 0; k < values.size(); ++k)
    if (values[k].found)
      value(k, values[k].tubo, r);
}

// The grid under the header: columns from X - W to X + n W, rows down to
// the total (and tsubo) row.
void DrawGrid(Drawing& draw, const CPlenimetraParam& doc, const CKelCoord2D& pos, int columns, double w, double h)
{
  const int floors = CFloorParamArray::GetTotalLines(&doc, doc.m_CurTreeCode);
  const int bottom = floors + (doc.m_bTuboRow ? 1 : 0) + 2;
  for (int i = -1; i <= columns; ++i)
    draw.Line(pos.m_x + i * w, pos.m_y - h, pos.m_x + i * w, pos.m_y - bottom * h);
  for (int r = -1; r <= bottom - 2; ++r)
    draw.Line(pos.m_x - w, pos.m_y - (r + 2) * h, pos.m_x + columns * w, pos.m_y - (r + 2) * h);
}

}  // namespace

GSErrCode CWorksheetTotal::CreateTotalArea(const CAreaTreeIndentArray& list, const GS::UniString& caption,
                                           const CKelCoord2D& pos, double d, GS::Array<API_Guid>* guids,
                                           CMyUserDataCore* tag, CKelProgressCore& progress)
{
  const CAttributeTotalAreaParam& style = m_pParam->m_EnvParam.m_TotalAreaParam;
  const double w = style.m_ColWidth * d;
  const double h = style.m_RowHeight * d;
  if (GSErrCode err = DrawTitle(list, caption, pos, d, guids, tag); err != NoError)
    return err;
  Drawing draw(*m_pParam, guids, tag);
  DrawGrid(draw, *m_pParam, pos, int(list.size()), w, h);
  std::vector<NodeValues> values;
  for (const CAreaTreeIndent& entry : list)
    values.push_back(ValuesOf(*m_pParam, entry, progress));
  DrawBody(draw, *m_pParam, values, pos, d, w, h);
  return draw.First();
}

GSErrCode CWorksheetTotal::CreateEachArea(const CAreaTreeIndent& entry, const CKelCoord2D& pos, double d,
                                          GS::Array<API_Guid>* guids, CMyUserDataCore* tag,
                                          CKelProgressCore& progress)
{
  const CAttributeTotalAreaParam& style = m_pParam->m_EnvParam.m_TotalAreaParam;
  const double w = style.m_ColWidth * d;
  const double h = style.m_RowHeight * d;
  Drawing draw(*m_pParam, guids, tag);
  DrawGrid(draw, *m_pParam, pos, 1, w, h);
  const NodeValues values = ValuesOf(*m_pParam, entry, progress);
  if (!values.found)
    return draw.First();
  const CAreaObject* object = m_pParam->GetAreaObject(entry.m_AreaCode);
  draw.Text(pos.m_x - w, pos.m_y - h, object->m_Name.m_DefaultName, kCaptionAnchor, APIJust_Left);
  DrawBody(draw, *m_pParam, {values}, pos, d, w, h);
  return draw.First();
}

GSErrCode CWorksheetTotal::DrawTitle(const CAreaTreeIndentArray& list, const GS::UniString& caption,
                                     const CKelCoord2D& pos, double d, GS::Array<API_Guid>* guids,
                                     CMyUserDataCore* tag)
{
  const CAttributeTotalAreaParam& style = m_pParam->m_EnvParam.m_TotalAreaParam;
  const double w = style.m_ColWidth * d;
  const double h = style.m_RowHeight * d;
  int depth = 0;
  for (const CAreaTreeIndent& entry : list)
    depth = std::max(depth, entry.m_Indent);
  const double x = pos.m_x;
  const double bodyTop = pos.m_y - h;
  const double top = pos.m_y + style.m_RowHeight * depth * d;
  Drawing draw(*m_pParam, guids, tag);
  draw.Text(x - w, top, caption, kCaptionAnchor, APIJust_Left);
  draw.Line(x - w, top, x, top);
  draw.Line(x - w, top, x - w, bodyTop);
  draw.Line(x, top, x, bodyTop);
  for (std::size_t k = 0; k < list.size(); ++k) {
    const CAreaTreeIndent& entry = list[k];
    const double left = x + double(k) * w;
    for (int j = 0; j <= depth; ++j) {
      const double cellTop = top - j * h;
      const CAreaObject* object = m_pParam->FindAreaObject(entry.m_AreaCode);
      if (j == entry.m_Indent && object != nullptr)
        draw.Text(left + w / 2, cellTop - h / 2, object->m_Name.m_DefaultName, kNameAnchor, APIJust_Center);
      if (j <= entry.m_Indent)
        draw.Line(left, cellTop, left + w, cellTop);
      if (k >= 1 && list.IsLeftLine(&entry, &list[k - 1], j))
        draw.Line(left, cellTop, left, cellTop - h);
      if (k + 1 == list.size())
        draw.Line(left + w, cellTop, left + w, cellTop - h);
    }
  }
  return draw.First();
}
