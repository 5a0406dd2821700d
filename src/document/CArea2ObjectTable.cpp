// The area table of a calculation element for one story: one object of the
// table library part per call. A list table lists the story's figure
// entries, page by page, with a total row on the last page; a formula table
// shows the element's formula and area in one row (always so for a story
// whose area the user entered by hand).

#include "CArea2Object.h"

#include "AreaScheduleTable.h"
#include "CArea1Object.h"
#include "CPlenimetraParam.h"
#include "host_assert.h"

#include <algorithm>

using namespace AreaScheduleTable;

namespace {

// The writes of one table, in the order the part's parameters go out.
class ElementTable {
public:
  ElementTable(CPlenimetraParam* param, CArea2Object& element, short floor, CArea2ObjectFloor& record,
               ParamWriter& writer)
      : m_Param(param), m_Element(element), m_Floor(floor), m_Record(record),
        m_Style(param->m_EnvParam.m_ListAttr2), m_Writer(writer)
  {
  }

  void Heading();
  void Formula(int* lines);
  void List(const std::vector<CArea2List*>& entries, int* next, int maxRows, int* lines);
  void TotalValue(const CAreaTree* node);

private:
  bool ShowsTotal() const { return m_Element.m_ShowTotal != CArea2Object::SHOWTOTAL_HIDE; }
  // Mark and number of the total: only with show total 1.
  GS::UniString TotalMark() const;
  GS::UniString TotalNumber() const;
  void Row(int row, const GS::UniString& mark, const GS::UniString& number, const GS::UniString& formula,
           const GS::UniString& area);
  void EntryRow(int row, const CArea2List& entry);
  int SetBreakMarks() const;

  CPlenimetraParam* m_Param;
  CArea2Object& m_Element;
  short m_Floor;
  CArea2ObjectFloor& m_Record;
  const CAreaListAttr& m_Style;
  ParamWriter& m_Writer;
};

GS::UniString ElementTable::TotalMark() const
{
  return m_Element.m_ShowTotal == CArea2Object::SHOWTOTAL_MARK ? m_Element.GetMarkStr(m_Param) : GS::UniString();
}

GS::UniString ElementTable::TotalNumber() const
{
  return m_Element.m_ShowTotal == CArea2Object::SHOWTOTAL_MARK ? m_Element.GetItemNoStr(m_Param) : GS::UniString();
}

void ElementTable::Heading()
{
  m_Writer.Set("matrix_title_b", m_Style.m_bTitle).Set("head_show", m_Style.m_bHeader).Set("text_size", m_Style.m_TextSize);
  SetHeaderTexts(m_Writer, 0);
  SetColumns(m_Writer, m_Style);
  SetPens(m_Writer, m_Style, m_Element.m_ColorPen);
  m_Writer.Set("text_font", m_Style.m_Font)
      .Set("total_text", GS::UniString(u"合計"))
      .Set("matrix_title", m_Element.m_Name.GetName(m_Floor));
  SetMarks(m_Writer, m_Style, m_Element.GetMarkStr(m_Param), m_Element.GetItemNoStr(m_Param));
}

void ElementTable::Row(int row, const GS::UniString& mark, const GS::UniString& number, const GS::UniString& formula,
                       const GS::UniString& area)
{
  m_Writer.Set(kCells, mark, row, kColumnMark)
      .Set(kCells, number, row, kColumnNumber)
      .Set(kCells, formula, row, kColumnFormula)
      .Set(kCells, area, row, kColumnArea);
}

int ElementTable::SetBreakMarks() const
{
  if (m_Record.m_Mode == CArea2ObjectFloor::MODE_MANUAL)
    return 0;
  return static_cast<int>(std::count_if(m_Record.m_List.begin(), m_Record.m_List.end(),
                                        [](const CArea2List& entry) { return entry.m_CrMark.m_bCr; }));
}

// One row: the element's formula and area. The formula is asked for only
// while writing goes on, since it may renew the automatic break marks that
// the line count reads.
void ElementTable::Formula(int* lines)
{
  const bool manual = m_Record.m_Mode == CArea2ObjectFloor::MODE_MANUAL;
  m_Writer.Set("total_show", ShowsTotal()).Set("matrix_rowcnt", 1).Set("type", GS::UniString(u"求積表の合計"));
  if (!m_Writer.Failed())
    Row(1, TotalMark(), TotalNumber(), m_Element.GetEquation(m_Param, m_Floor, false, 0),
        m_Element.GetOrgAreaStr(m_Param, m_Floor));
  m_Writer.Set(kFreeInput, manual, 1, 1);
  // Title, header and total take four lines; each break adds one.
  *lines = 4 + SetBreakMarks();
}

void ElementTable::EntryRow(int row, const CArea2List& entry)
{
  CArea1Object& figure = *entry.m_pArea1;
  const GS::UniString sign = entry.m_Operator == COperatorTable::OPERATOR_MINUS ? GS::UniString(u"-") : GS::UniString();
  Row(row, figure.GetMarkStr(m_Param), figure.GetItemNoStr(m_Param),
      figure.GetEquation(m_Param, false, static_cast<double>(m_Style.m_ColWidth2)),
      sign + entry.GetRoundAreaStr(m_Param));
}

void ElementTable::List(const std::vector<CArea2List*>& entries, int* next, int maxRows, int* lines)
{
  m_Writer.Set("type", GS::UniString(u"求積表"));
  int rows = 0;
  // Nothing opened or the heading failed: no rows, the counters stay.
  if (!m_Writer.Failed()) {
    const std::size_t first = static_cast<std::size_t>(std::max(*next, 0));
    for (std::size_t i = first; maxRows >= 1 && i < entries.size() && rows < maxRows; ++i) {
      ++rows;
      if (!m_Writer.Failed())
        EntryRow(rows, *entries[i]);
      // A failed row still takes its lines, so the caller's layout stays.
      *lines += entries[i]->m_pArea1->GetEquationLines() + 1;
    }
    *lines += 2;  // title and header
    *next += rows;
  }
  if (static_cast<long long>(entries.size()) > *next) {
    m_Writer.Set("matrix_rowcnt", rows).Set("total_show", false);
    return;
  }
  m_Writer.Set("matrix_rowcnt", rows + 1);
  if (!m_Writer.Failed())
    Row(rows + 1, TotalMark(), TotalNumber(), GS::UniString(u"合計"), m_Element.GetOrgAreaStr(m_Param, m_Floor));
  m_Writer.Set("total_show", ShowsTotal());
  *lines += 1;
}

void ElementTable::TotalValue(const CAreaTree* node)
{
  if (!m_Writer.Failed() && ShowsTotal())
    m_Writer.Set("total_val_text", m_Element.GetRoundAreaStr(m_Param, node, m_Floor));
}

}  // namespace

GSErrCode CArea2Object::SetParam(CPlenimetraParam* param, short floor, CAreaTree* node,
                                 std::vector<CArea2List*>* entries, int* next, int maxRows, int* lines,
                                 API_ParamOwnerType& owner, API_GetParamsType& params)
{
  PLN_ASSERT(node != nullptr && node->m_AreaCode == -m_Code);
  // Writing a table only reads the element: a story without a record is an
  // empty one and stays without.
  CArea2ObjectFloor empty;
  CArea2ObjectFloor* found = m_FloorArray.FindFloor(floor);
  CArea2ObjectFloor& record = found != nullptr ? *found : empty;
  // A story whose area was entered by hand has only its formula and area.
  const CArea2ListTypeTable::LISTTYPE kind =
      record.m_Mode == CArea2ObjectFloor::MODE_MANUAL ? CArea2ListTypeTable::LISTTYPE_FORMULA : m_ListType;
  std::vector<CArea2List*> ownEntries;
  if (entries == nullptr) {
    ownEntries = GetList(&record);
    entries = &ownEntries;
  }
  return FillParams(owner, params, [&](ParamWriter& writer) {
    ElementTable table(param, *this, floor, record, writer);
    table.Heading();
    if (kind == CArea2ListTypeTable::LISTTYPE_FORMULA)
      table.Formula(lines);
    else if (kind == CArea2ListTypeTable::LISTTYPE_LIST)
      table.List(*entries, next, maxRows, lines);
    table.TotalValue(node);
  });
}

GSErrCode CArea2Object::CreateObject(CPlenimetraParam* param, short floor, CAreaTree* node, short layer,
                                     CKelCoord2D position, int* lines, std::vector<CArea2List*>* entries, int* next,
                                     int maxRows)
{
  return PlaceTable(layer, position, [&](API_ParamOwnerType& owner, API_GetParamsType& params) {
    return SetParam(param, floor, node, entries, next, maxRows, lines, owner, params);
  });
}
