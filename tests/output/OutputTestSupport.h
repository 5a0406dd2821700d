#pragma once
// What the output tests share: a reader of the CSV files the output writes
// (RFC 4180, LF line ends), and the document the CSV tests write out.

#include "CDlgOutputToWorksheet.h"
#include "DocTestSupport.h"
#include "GetLibPartInd.h"
#include "OutputCommand.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace output_test {

using CsvRows = std::vector<std::vector<std::string>>;

// Rows of fields of a whole CSV text; a quoted field may hold commas,
// doubled quotes and line breaks. Fails the test on a malformed text.
inline CsvRows ReadCsv(const std::string& text)
{
  CsvRows rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false;
  bool wasQuoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"')
        field += c;
      else if (i + 1 < text.size() && text[i + 1] == '"')
        field += text[++i];
      else
        quoted = false;
      continue;
    }
    if (c == '"') {
      EXPECT_TRUE(field.empty() && !wasQuoted) << "quote inside an unquoted field at byte " << i;
      quoted = wasQuoted = true;
    } else if (c == ',' || c == '\n') {
      row.push_back(field);
      field.clear();
      wasQuoted = false;
      if (c == '\n') {
        rows.push_back(row);
        row.clear();
      }
    } else {
      EXPECT_FALSE(wasQuoted) << "text after a closing quote at byte " << i;
      EXPECT_NE(c, '\r') << "bare CR at byte " << i;
      field += c;
    }
  }
  EXPECT_FALSE(quoted) << "unterminated quote";
  EXPECT_TRUE(field.empty() && row.empty()) << "last line without its line feed";
  return rows;
}

inline std::string U8(const GS::UniString& text) { return text.ToStdString(CC_UTF8); }

// A figure whose formula text the test writes out, "#" marking its breaks.
class FormulaFigure : public TestKindFigure {
public:
  using TestKindFigure::TestKindFigure;
  GS::UniString GetEquation(const CPlenimetraParam*, bool, double width) override
  {
    widths.push_back(width);
    return formula;
  }
  GS::UniString formula = u"1.00×2.00";
  std::vector<double> widths;
};

// A placed triangle part at pos spanning (2, 1), as a figure of the floor
// (index) whose formula the test writes out.
inline std::shared_ptr<FormulaFigure> PlacedFigure(HostFixture& host, CPlenimetraParam& doc, std::size_t floor,
                                                   API_Coord pos, short layer = 1)
{
  int part = 0;
  EXPECT_EQ(GetLibPartInd(reinterpret_cast<const unsigned short*>(u"TalvoSoftwareAreaTriangle"), &part), NoError);
  CFloorParam& at = doc.m_FloorParamArray[floor];
  API_Element element;
  element.header.typeID = API_ObjectID;
  element.header.layer = layer;
  element.header.floorInd = at.m_FloorNo;
  element.object.libInd = part;
  element.object.pos = pos;
  element.object.xRatio = 2.0;
  element.object.yRatio = 1.0;
  EXPECT_EQ(host.AddElement(element), NoError);
  const int code = ++doc.m_LastArea1Code;
  auto figure = std::make_shared<FormulaFigure>(&doc, CArea1Object::TYPE_TRIANGLE, code, CItemType1Table::ITEMTYPE_CIRCLE,
                                                CItemType2Table::ITEMTYPE_DECIMAL, code - 1, 100000000);
  figure->m_Element = element;
  figure->m_SortIndex = code - 1;
  at.m_Area1ObjectArray.push_back(figure);
  return figure;
}

// Floors named 1F and 2F, figures on layer 1 and tables on the layer, and
// an element 居室 adding one placed figure per entry of floors (an index),
// side by side on its floor.
inline void RoomsOnTwoFloors(HostFixture& host, PatternDoc& pattern, short tableLayer,
                             std::initializer_list<std::size_t> floors)
{
  CPlenimetraParam& doc = pattern.doc;
  doc.m_EnvParam.m_Area1Layer = 1;
  doc.m_EnvParam.m_ListLayer = tableLayer;
  doc.m_FloorParamArray[0].m_FloorName = u"1F";
  doc.m_FloorParamArray[1].m_FloorName = u"2F";
  const int rooms = pattern.AddElement(PatternDoc::kBuildingCode, u"居室");
  for (std::size_t floor : floors) {
    const double x = double(doc.m_FloorParamArray[floor].m_Area1ObjectArray.size()) * 3;
    pattern.Element(rooms)->m_FloorArray.SearchFloor(short(floor))->m_List.push_back(
        CArea2List(PlacedFigure(host, doc, floor, {x, 1}), COperatorTable::OPERATOR_PLUS));
  }
}

// The output command with the worksheets chosen in its dialog.
inline GSErrCode OutputWorksheets(HostFixture& host, CPlenimetraParam& doc)
{
  host.QueueDialogScript(CDlgOutputToWorksheet::ResourceId, [](pln::host::DialogUser& user) {
    user.Check(5, true);
    user.Click(1);
  });
  return RunOutputCommand(doc);
}

// Two floors "1階" (story 0) and "2階" (story 1) under the pattern of
// PatternDoc: the folder 建物 holds the list element 住戸 and the formula
// element 共用部. Floor 1 has a figure with a three-line formula in 住戸,
// and a zone with a hole whose two pieces belong to 住戸 and 共用部; floor
// 2 has one figure in 住戸. Tsubo row and automatic-area tables on.
class CsvDoc {
public:
  explicit CsvDoc(HostFixture& host) : m_Host(host)
  {
    doc().m_FloorParamArray[0].m_FloorName = u"1階";
    doc().m_FloorParamArray[1].m_FloorName = u"2階";
    rooms = pattern.AddElement(PatternDoc::kBuildingCode, u"住戸");
    pattern.Element(rooms)->m_ListType = CArea2ListTypeTable::LISTTYPE_LIST;
    common = pattern.AddElement(PatternDoc::kBuildingCode, u"共用部");
    doc().m_bTuboRow = true;
    doc().m_bOutputCheck = true;

    auto hall = AddFigure(0, 1250000000, {rooms});
    hall->formula = u"2.50×5.00#+1.00×0.50#-0.50×1.00";
    AddFigure(1, 1000000000, {rooms});

    zone = Zone();
    CAutoAreaParam record(&zone);
    doc().m_FloorParamArray[0].m_AutoAreaParamArray.push_back(record);
    auto outer = AddFigure(0, 1200000000, {rooms, common});
    outer->formula = u"4.00×3.00";
    Link(*outer, COperatorTable::OPERATOR_PLUS);
    auto hole = AddFigure(0, 100000000, {common}, COperatorTable::OPERATOR_MINUS);
    hole->formula = u"1.00×1.00";
    Link(*hole, COperatorTable::OPERATOR_MINUS);
  }

  CPlenimetraParam& doc() { return pattern.doc; }

  // A figure on the floor (index), listed by the elements with the operator.
  std::shared_ptr<FormulaFigure> AddFigure(std::size_t floor, long long raw, const std::vector<int>& elements,
                                           int op = COperatorTable::OPERATOR_PLUS)
  {
    const int code = ++doc().m_LastArea1Code;
    auto figure = std::make_shared<FormulaFigure>(&doc(), CArea1Object::TYPE_TRIANGLE, code,
                                                  CItemType1Table::ITEMTYPE_CIRCLE, CItemType2Table::ITEMTYPE_DECIMAL,
                                                  code - 1, raw);
    figure->m_SortIndex = code - 1;
    CFloorParam& at = doc().m_FloorParamArray[floor];
    at.m_Area1ObjectArray.push_back(figure);
    for (int element : elements) {
      CArea2ObjectFloor* record = pattern.Element(element)->m_FloorArray.SearchFloor(at.m_FloorNo);
      record->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
      record->m_List.push_back(CArea2List(figure, COperatorTable::OPERATOR(op)));
    }
    return figure;
  }

  PatternDoc pattern;
  int rooms = 0;
  int common = 0;
  API_Elem_Head zone{};

private:
  API_Elem_Head Zone()
  {
    PolygonMemo polygon({{{0, 0}, {4, 0}, {4, 3}, {0, 3}}, {{1, 1}, {1, 2}, {2, 2}, {2, 1}}});
    API_Element element;
    element.header.typeID = API_ZoneID;
    element.header.layer = 1;
    element.header.floorInd = 0;
    element.zone.roomName = u"居間";
    EXPECT_EQ(m_Host.AddPolygonElement(element, polygon), NoError);
    EXPECT_EQ(m_Host.SetInfoString(element.header.guid, u"Z-1"), NoError);
    return element.header;
  }

  void Link(CArea1Object& figure, COperatorTable::OPERATOR op)
  {
    figure.m_AutoArea.m_ElemGuid = ToGSGuid(zone.guid);
    figure.m_AutoArea.m_Operator = op;
  }

  HostFixture& m_Host;
};

}  // namespace output_test
