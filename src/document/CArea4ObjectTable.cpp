// The area table of a subtotal or total folder for one story: one object of
// the table library part per call. A list table lists the rows of GetList,
// page by page, each page with the folder's total row below its rows (only
// the last page counts and shows it); a formula table shows the folder's
// formula and area in one row.

#include "CArea4Object.h"

#include "AreaScheduleTable.h"
#include "CArea1Object.h"
#include "CArea2Object.h"
#include "CPlenimetraParam.h"
#include "host_assert.h"

#include <algorithm>

using namespace AreaScheduleTable;

namespace {

using Row = std::vector<GS::UniString>;

// Gathers the rows of a folder's list table.
class FolderRows {
public:
  FolderRows(CPlenimetraParam* param, const CArea4Object& folder, short floor)
      : m_Param(param), m_Floor(floor), m_Manual(folder.m_ManualEquationArray.Search(floor))
  {
  }

  // A figure row per entry of the element's story record, or the one row
  // of the manual equation.
  void Element(const CAreaTree& node, bool signedAreas);
  void Summary(const CAreaTree& node);
  std::vector<Row> Take() { return std::move(m_Rows); }

private:
  CPlenimetraParam* m_Param;
  short m_Floor;
  const CAreaObjectManualEquation* m_Manual;
  std::vector<Row> m_Rows;
};

void FolderRows::Element(const CAreaTree& node, bool signedAreas)
{
  auto* element = dynamic_cast<CArea2Object*>(m_Param->GetAreaObject(node.m_AreaCode));
  PLN_ASSERT(element != nullptr);
  const CArea2ObjectFloor empty;
  const CArea2ObjectFloor* found = element->m_FloorArray.FindFloor(m_Floor);
  const CArea2ObjectFloor* record = found != nullptr ? found : &empty;
  if (m_Manual != nullptr) {
    // The folder's own equation stands for the figures, beside the area the
    // user gave the element.
    const int digits = CRoundTypeItem::DigitOf(m_Param->GetArea1DefaultRoundType(), CRoundTypeParam::kDefaultArea1);
    m_Rows.push_back({GS::UniString(), GS::UniString(), m_Manual->m_Equation,
                      m_Param->GetAreaStr(record->m_ManualArea, digits)});
    return;
  }
  // Figure formulas break at the element table's width, alike in both tables.
  const double width = static_cast<double>(m_Param->m_EnvParam.m_ListAttr2.m_ColWidth2);
  for (const CArea2List& entry : record->m_List) {
    CArea1Object& figure = *entry.m_pArea1;
    const bool minus = signedAreas && entry.m_Operator == COperatorTable::OPERATOR_MINUS;
    m_Rows.push_back({figure.GetMarkStr(m_Param), figure.GetItemNoStr(m_Param), figure.GetEquation(m_Param, false, width),
                      (minus ? GS::UniString(u"-") : GS::UniString()) + figure.GetRoundAreaStr(m_Param)});
  }
}

void FolderRows::Summary(const CAreaTree& node)
{
  CAreaObject* object = m_Param->GetAreaObject(node.m_AreaCode);
  m_Rows.push_back({object->GetMarkStr(m_Param), object->GetItemNoStr(m_Param), object->m_Name.GetName(m_Floor),
                    object->GetRoundAreaStr(m_Param, &node, m_Floor)});
}

// The writes of one table, in the order the part's parameters go out.
class FolderTable {
public:
  FolderTable(CPlenimetraParam* param, CArea4Object& folder, const CAreaTree& node, short floor, ParamWriter& writer)
      : m_Param(param), m_Folder(folder), m_Node(node), m_Floor(floor), m_Style(param->m_EnvParam.m_ListAttr3),
        m_Writer(writer)
  {
  }

  void Heading();
  void Formula(int* lines);
  void List(const std::vector<Row>& rows, int* next, int maxRows, int* lines);

private:
  bool HasManualEquation() const { return m_Folder.m_ManualEquationArray.Search(m_Floor) != nullptr; }
  void Cell(int row, Column column, const Row& texts);
  void TotalRow(int row);
  void Closing(bool last);

  CPlenimetraParam* m_Param;
  CArea4Object& m_Folder;
  const CAreaTree& m_Node;
  short m_Floor;
  const CAreaListAttr& m_Style;
  ParamWriter& m_Writer;
};

void FolderTable::Heading()
{
  m_Writer.Set("matrix_title_b", m_Style.m_bTitle).Set("head_show", m_Style.m_bHeader).Set("text_size", m_Style.m_TextSize);
  SetMarks(m_Writer, m_Style, m_Folder.GetMarkStr(m_Param), m_Folder.GetItemNoStr(m_Param));
  SetHeaderTexts(m_Writer, 1);
  SetColumns(m_Writer, m_Style);
  SetPens(m_Writer, m_Style, m_Folder.m_ColorPen);
  m_Writer.Set("text_font", m_Style.m_Font);
}

// One row: the folder's formula and area. The formula is asked for only
// while writing goes on, since it may renew the children's automatic break
// marks that the line count reads.
void FolderTable::Formula(int* lines)
{
  m_Writer.Set("type", GS::UniString(u"求積表の合計"))
      .Set("total_show", m_Style.m_bTotal)
      .Set("total_text", GS::UniString(u"合計"))
      .Set("matrix_rowcnt", 1)
      .Set("matrix_title", m_Folder.m_Name.GetName(m_Floor));
  if (!m_Writer.Failed()) {
    m_Writer.Set(kCells, m_Folder.GetMarkStr(m_Param), 1, kColumnMark)
        .Set(kCells, m_Folder.GetItemNoStr(m_Param), 1, kColumnNumber)
        .Set(kCells, m_Folder.GetEquation(m_Param, m_Floor, false, 0), 1, kColumnFormula)
        .Set(kCells, m_Folder.GetOrgAreaStr(m_Param, m_Floor), 1, kColumnArea);
  }
  if (!m_Writer.Failed())
    m_Writer.Set("total_val_text", m_Folder.GetRoundAreaStr(m_Param, &m_Node, m_Floor));
  const bool manual = HasManualEquation();
  const auto breaks = std::count_if(m_Node.m_Child.begin(), m_Node.m_Child.end(),
                                    [](const CAreaTree& child) { return child.m_CrMark.m_bCr; });
  // Title, header and total take four lines; each break of the children's
  // formula adds one (a manual equation is one entry).
  *lines = 4 + (manual ? 0 : static_cast<int>(breaks));
  m_Writer.Set(kFreeInput, manual, 1, 1);
}

void FolderTable::Cell(int row, Column column, const Row& texts)
{
  // GetList always gives four texts; a shorter row leaves its cells empty.
  const std::size_t index = static_cast<std::size_t>(column - 1);
  m_Writer.Set(kCells, index < texts.size() ? texts[index] : GS::UniString(), row, column);
}

// Below every page's rows; each term of the formula on a line of its own.
void FolderTable::TotalRow(int row)
{
  m_Writer.Set(kCells, m_Folder.GetMarkStr(m_Param), row, kColumnMark)
      .Set(kCells, m_Folder.GetItemNoStr(m_Param), row, kColumnNumber);
  if (!m_Writer.Failed())
    m_Writer.Set(kCells, m_Folder.GetEquation(m_Param, m_Floor, false, '#'), row, kColumnFormula);
  m_Writer.Set(kFreeInput, true, row, 1);
  if (!m_Writer.Failed())
    m_Writer.Set(kCells, m_Folder.GetOrgAreaStr(m_Param, m_Floor), row, kColumnArea);
}

void FolderTable::Closing(bool last)
{
  m_Writer.Set("total_show", last)
      .Set("total_text", GS::UniString(u"合計"))
      .Set("matrix_title", m_Folder.m_Name.GetName(m_Floor));
  if (!m_Writer.Failed())
    m_Writer.Set("total_val_text", m_Folder.GetRoundAreaStr(m_Param, &m_Node, m_Floor));
}

void FolderTable::List(const std::vector<Row>& rows, int* next, int maxRows, int* lines)
{
  m_Writer.Set("type", GS::UniString(u"求積表"));
  int written = 0;
  // Nothing opened or the heading failed: no rows.
  if (!m_Writer.Failed() && maxRows >= 1) {
    for (std::size_t i = static_cast<std::size_t>(std::max(*next, 0)); i < rows.size() && written < maxRows; ++i) {
      ++written;
      for (Column column : {kColumnMark, kColumnNumber, kColumnFormula, kColumnArea})
        Cell(written, column, rows[i]);
      ++*lines;  // a failed row still takes its line
    }
  }
  *next += written;
  const bool last = *next == static_cast<int>(rows.size());
  *lines += last ? 4 : 2;  // title and header; the total below the last page
  if (m_Writer.Failed())
    return;
  m_Writer.Set("matrix_rowcnt", written + (last ? 1 : 0));
  TotalRow(written + 1);
  Closing(last);
}

}  // namespace

std::vector<std::vector<GS::UniString>> CArea4Object::GetList(CPlenimetraParam* param, CAreaTree* node, short floor)
{
  PLN_ASSERT(node != nullptr);
  FolderRows rows(param, *this, floor);
  for (const CAreaTree& child : node->m_Child) {
    CAreaObject* pObject = param->GetAreaObject(child.m_AreaCode);
    PLN_ASSERT(pObject != nullptr);
    if (child.m_AreaCode < 0) {
      rows.Element(child, true);
    } else {
      // One level further: figures of element grandchildren, summaries of
      // folder grandchildren; their own children are not visited.
      for (const CAreaTree& grandchild : child.m_Child) {
        if (grandchild.m_AreaCode < 0)
          rows.Element(grandchild, false);
        else
          rows.Summary(grandchild);
      }
    }
    rows.Summary(child);
  }
  return rows.Take();
}

GSErrCode CArea4Object::SetParam(CPlenimetraParam* param, CAreaTree* node, short floor,
                                 std::vector<std::vector<GS::UniString>>* rows, int* next, int maxRows, int* lines,
                                 API_ParamOwnerType& owner, API_GetParamsType& params)
{
  // Callers pass a folder with its own node.
  PLN_ASSERT(node != nullptr && node->m_AreaCode == m_Code);
  std::vector<Row> ownRows;
  int ownNext = 0;
  if (m_ListType == CArea2ListTypeTable::LISTTYPE_LIST && rows == nullptr) {
    ownRows = GetList(param, node, floor);
    rows = &ownRows;
  }
  if (next == nullptr)
    next = &ownNext;
  return FillParams(owner, params, [&](ParamWriter& writer) {
    FolderTable table(param, *this, *node, floor, writer);
    table.Heading();
    if (m_ListType == CArea2ListTypeTable::LISTTYPE_FORMULA)
      table.Formula(lines);
    else if (m_ListType == CArea2ListTypeTable::LISTTYPE_LIST)
      table.List(*rows, next, maxRows, lines);
  });
}

GSErrCode CArea4Object::CreateObject(CPlenimetraParam* param, CAreaTree* node, short floor, short layer,
                                     CKelCoord2D position, std::vector<std::vector<GS::UniString>>* rows, int* next,
                                     int maxRows, int* lines)
{
  return PlaceTable(layer, position, [&](API_ParamOwnerType& owner, API_GetParamsType& params) {
    return SetParam(param, node, floor, rows, next, maxRows, lines, owner, params);
  });
}
