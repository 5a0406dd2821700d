// The two lists that end each pattern of the CSV area table: the per-floor
// list of the tree's areas and the room list of the automatic areas.

#include "AutoAreaEntries.h"
#include "CCsvFile.h"
#include "CDlgProgress.h"
#include "CPlenimetraParam.h"
#include "host_assert.h"

#include <algorithm>

namespace {

using Row = std::vector<GS::UniString>;

// The columns of the per-floor list: the current pattern's first subtree.
CAreaTreeIndentArray ListColumns(const CPlenimetraParam& doc)
{
  const CAreaTree* tree = doc.GetTree();
  if (tree == nullptr)
    return {};
  std::vector<CAreaTreeIndentArray> flat = tree->GetFlat();
  return flat.empty() ? CAreaTreeIndentArray() : std::move(flat.front());
}

// Header lines: the default name of each column's object on the line of its
// depth, every cell after a ",".
void WriteHeaderGrid(const CPlenimetraParam& doc, CCsvFile& file, const CAreaTreeIndentArray& columns)
{
  int depth = 0;
  for (const CAreaTreeIndent& column : columns)
    depth = std::max(depth, column.m_Indent);
  std::vector<Row> grid(std::size_t(depth + 1), Row(columns.size() + 1));
  for (std::size_t k = 0; k < columns.size(); ++k)
    if (const CAreaObject* object = doc.GetAreaObject(columns[k].m_AreaCode))
      grid[std::size_t(columns[k].m_Indent)][k + 1] = object->m_Name.m_DefaultName;
  for (const Row& row : grid)
    file.WriteRow(row);
}

// The calculated floors of the pattern, top story first.
std::vector<const CFloorParam*> CalculatedFloorsTopFirst(const CPlenimetraParam& doc, int code)
{
  std::vector<const CFloorParam*> floors;
  for (auto floor = doc.m_FloorParamArray.rbegin(); floor != doc.m_FloorParamArray.rend(); ++floor)
    if (floor->IsCalc(&doc.m_FloorParamArray, code))
      floors.push_back(&*floor);
  return floors;
}

}  // namespace

bool CPlenimetraParam::CsvOutputList2(CCsvFile& file, CDlgProgress& progress, GS::UniString& title)
{
  const CAreaTree* tree = GetTree();
  const int code = tree != nullptr ? tree->m_AreaCode : 0;
  const CAreaTreeIndentArray columns = ListColumns(*this);
  const std::size_t n = columns.size();
  file.WriteRow({title});
  progress.SetRange(int(m_FloorParamArray.size()), GS::UniString());
  WriteHeaderGrid(*this, file, columns);
  file.WriteRow({GS::UniString()});

  // The row of a column whose node is marked for deletion stays empty.
  auto liveNode = [&](const CAreaTreeIndent& column) { return m_AreaTree2.Search(column.m_AreaCode) != nullptr; };
  std::vector<Row> rows;
  bool aborted = false;
  for (auto floor = m_FloorParamArray.rbegin(); floor != m_FloorParamArray.rend() && !aborted; ++floor) {
    if (floor->IsCalc(&m_FloorParamArray, code)) {
      Row row(n + 2);
      row[0] = floor->m_FloorName;
      for (std::size_t k = 0; k < n; ++k)
        if (liveNode(columns[k])) {
          const CAreaObject* object = GetAreaObject(columns[k].m_AreaCode);
          PLN_ASSERT(object != nullptr);
          row[k + 1] = TrimRight(object->GetRoundAreaStr(this, &columns[k], floor->m_FloorNo));
        }
      rows.push_back(std::move(row));
    }
    progress.StepIt();
    aborted = progress.CheckAbort();
  }
  // The building totals: a row of the label and each live column's text.
  auto totalRow = [&](const char16_t* label, auto text) {
    Row row(n + 2);
    row[0] = label;
    for (std::size_t k = 0; k < n; ++k)
      if (liveNode(columns[k]))
        row[k + 1] = text(columns[k]);
    rows.push_back(std::move(row));
  };
  totalRow(u"合計", [&](const CAreaTreeIndent& column) { return TrimRight(column.GetTextTotal(this, progress)); });
  if (m_bTuboRow)
    totalRow(u"合計(坪)", [&](const CAreaTreeIndent& column) { return TrimRight(column.GetTextTotalTubo(this, progress)); });
  // Rows an abort left unreached are dropped rather than written empty.
  PLN_ASSERT(aborted || rows.size() == CalculatedFloorsTopFirst(*this, code).size() + (m_bTuboRow ? 2 : 1));
  for (const Row& row : rows)
    file.WriteRow(row);
  return aborted;
}

int CPlenimetraParam::CsvOutputList3(CCsvFile& file, CDlgProgress& progress, GS::UniString& title)
{
  const CAreaTree* tree = GetTree();
  const int code = tree != nullptr ? tree->m_AreaCode : 0;
  file.WriteRow({GS::UniString(u"各室 ") + title});
  file.WriteRow({u"階", u"ゾーンカテゴリ", u"ソーン名", u"ゾーンのID", u"ゾーンの番号", u"オブジェクトのID",
                 u"オブジェクトのレイヤ名", u"オブジェクトの所属する求積要素", u"記号", u"番号", u"計算式", u"面積"});
  CAreaTreeIndentArray nodes;
  if (tree != nullptr)
    CAreaTree::GetFlat(*tree, 0, nodes);
  const double width = m_EnvParam.m_ListAttr4.m_ColWidth2;
  for (const CFloorParam* floor : CalculatedFloorsTopFirst(*this, code)) {
    const short story = floor->m_FloorNo;
    progress.SetRange(int(floor->m_AutoAreaParamArray.size()), GS::UniString());
    for (const CAutoAreaParam& record : floor->m_AutoAreaParamArray) {
      const Row zone{floor->m_FloorName, record.GetZoneCategory(), record.GetRoomName(), record.GetInfo(),
                     record.GetRoomNo()};
      for (const CArea2List& entry : AutoAreaEntries(*this, record, story).m_List) {
        const CArea1Object& figure = *entry.m_pArea1;
        GS::UniString elements;
        for (const CAreaTreeIndent& node : nodes) {
          const auto* element = node.m_AreaCode < 0 ? dynamic_cast<const CArea2Object*>(GetAreaObject(node.m_AreaCode)) : nullptr;
          if (element == nullptr || !element->IsIncluded(&figure, story))
            continue;
          if (!elements.IsEmpty())
            elements += u",";
          elements += element->m_Name.GetName(story);
        }
        const auto lines = SeparateEquation(entry.m_pArea1->GetEquation(this, false, width), true);
        for (std::size_t i = 0; i < lines.size(); ++i) {
          if (i > 0) {
            Row more(11);
            more[10] = lines[i];
            file.WriteRow(more);
            continue;
          }
          Row row = zone;
          const GS::UniString sign = entry.m_Operator == COperatorTable::OPERATOR_MINUS ? u"-" : u"";
          row.insert(row.end(), {figure.GetInfo(), figure.GetLayerName(), elements, figure.GetMarkStr(this),
                                 figure.GetItemNoStr(this), lines[0], TrimRight(sign + entry.GetRoundAreaStr(this))});
          file.WriteRow(row);
        }
      }
      progress.StepIt();
      progress.CheckAbort();  // the room list always runs to its end
    }
  }
  return 0;
}
