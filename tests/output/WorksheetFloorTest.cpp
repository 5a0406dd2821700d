// Floor worksheets: the sheets each output finds or makes, what a second
// output replaces, the copied figures, where the tables of each layout go,
// and the parameters of the automatic-area tables.

#include "CDlgProgress.h"
#include "CMyUserData.h"
#include "CWorksheetFloor.h"
#include "GetLibPartInd.h"
#include "OutputTestSupport.h"
#include "host_elements.h"
#include "host_environment.h"
#include "host_errors.h"
#include "host_attributes.h"
#include "host_libpart.h"

#include <algorithm>

namespace {

using output_test::FormulaFigure;
using output_test::U8;

int PartIndex(const char16_t* name)
{
  int index = 0;
  EXPECT_EQ(GetLibPartInd(reinterpret_cast<const unsigned short*>(name), &index), NoError);
  return index;
}

class WorksheetFloorTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    host.LoadAddOnLibraryParts();
    ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2階")), NoError);
    CEnvParam& env = doc().m_EnvParam;
    env.m_Area1Layer = 1;
    env.m_ListLayer = 1;
    for (CAreaListAttr* style : {&env.m_ListAttr1, &env.m_ListAttr2, &env.m_ListAttr3, &env.m_ListAttr4}) {
      style->m_GapH = 2;
      style->m_GapV = 1;
    }
    doc().GetAreaObject(PatternDoc::kTopCode)->m_Name.m_DefaultName = u"床面積";
    doc().m_FloorParamArray[0].m_FloorName = u"1F";
    doc().m_FloorParamArray[1].m_FloorName = u"2階";
  }

  CPlenimetraParam& doc() { return pattern.doc; }

  // A placed triangle part at pos spanning (2, 1), as a figure of the floor.
  std::shared_ptr<FormulaFigure> Figure(std::size_t floor, API_Coord pos, short layer = 1)
  {
    return output_test::PlacedFigure(host, doc(), floor, pos, layer);
  }

  // A zone on story 0 whose automatic area holds the figures.
  void AutoArea(const std::vector<std::shared_ptr<FormulaFigure>>& figures)
  {
    PolygonMemo outline({{{0, 0}, {1, 0}, {1, 1}}});
    API_Element zone;
    zone.header.typeID = API_ZoneID;
    zone.header.layer = 1;
    ASSERT_EQ(host.AddPolygonElement(zone, outline), NoError);
    doc().m_FloorParamArray[0].m_AutoAreaParamArray.push_back(CAutoAreaParam(&zone.header));
    for (const auto& figure : figures) {
      figure->m_AutoArea.m_ElemGuid = ToGSGuid(zone.header.guid);
      figure->m_AutoArea.m_Operator = COperatorTable::OPERATOR_PLUS;
    }
    doc().m_bOutputCheck = true;
  }

  GSErrCode Output(std::size_t floor)
  {
    CDlgProgress progress;
    const GSErrCode err = CWorksheetFloor(&doc()).DoCreate(progress, &doc().m_FloorParamArray[floor]);
    progress.Close();
    return err;
  }

  std::vector<const pln::host::StoredElement*> Objects(const char16_t* sheet, const char16_t* part)
  {
    std::vector<const pln::host::StoredElement*> found;
    const auto id = host.WorksheetNamed(GS::UniString(sheet));
    EXPECT_TRUE(id.has_value()) << U8(GS::UniString(sheet));
    if (!id)
      return found;
    for (const auto* element : host.ElementsIn(*id, API_ObjectID))
      if (element->element.object.libInd == PartIndex(part))
        found.push_back(element);
    return found;
  }

  std::vector<API_Coord> TablePositions(const char16_t* sheet)
  {
    std::vector<API_Coord> at;
    for (const auto* table : Objects(sheet, u"TalvoSoftwareAreaSchedule"))
      at.push_back(table->element.object.pos);
    return at;
  }

  HostFixture host;
  PatternDoc pattern{2};
};

TEST_F(WorksheetFloorTest, EachCalculatedPatternGetsANamedSheetFilledInOneStep)
{
  const int other = ++doc().m_LastAreaCode;
  const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
  doc().m_AreaTree2.Insert(&doc(), GS::UniString(u"別案"), other, 0, CAreaTree::KIND_FOLDER, item, item);
  doc().m_FloorParamArray[1].m_OutputExcludeCodes.Add(other);
  Figure(0, {8, 7});
  Figure(1, {8, 7});
  ASSERT_EQ(Output(0), NoError);
  ASSERT_EQ(Output(1), NoError);
  for (const char16_t* name : {u"床面積 1F", u"別案 1F", u"床面積 2階"}) {
    const auto id = host.WorksheetNamed(GS::UniString(name));
    ASSERT_TRUE(id.has_value()) << U8(GS::UniString(name));
    API_DatabaseInfo info;
    info.databaseUnId = *id;
    ASSERT_EQ(ACAPI_Database('GDBI', &info), NoError);
    EXPECT_EQ(info.ref, GS::UniString(u"求積図"));
  }
  EXPECT_FALSE(host.WorksheetNamed(GS::UniString(u"別案 2階")).has_value());
  const std::vector<GS::UniString> steps(3, GS::UniString(u"メンセラ[出力]"));
  EXPECT_EQ(host.UndoNames(), steps);
}

TEST_F(WorksheetFloorTest, ASecondOutputReplacesTheFirstAndHandDrawnLinesAndTexts)
{
  Figure(0, {8, 7});
  Figure(0, {1, 1});
  ASSERT_EQ(Output(0), NoError);
  const auto sheet = host.WorksheetNamed(GS::UniString(u"床面積 1F"));
  ASSERT_TRUE(sheet.has_value());
  const std::size_t tables = Objects(u"床面積 1F", u"TalvoSoftwareAreaSchedule").size();
  EXPECT_GT(tables, 0u);

  // The user draws on the sheet: a line, a text and a zone.
  API_DatabaseInfo plan;
  ASSERT_EQ(ACAPI_Database('GDAT', &plan), NoError);
  API_DatabaseInfo database;
  database.typeID = APIWind_WorksheetID;
  database.databaseUnId = *sheet;
  ASSERT_EQ(ACAPI_Database('CDAT', &database), NoError);
  API_Element line;
  line.header.typeID = API_LineID;
  line.header.layer = 1;
  line.line.endC = {1, 0};
  ASSERT_EQ(host.AddElement(line), NoError);
  PolygonMemo outline({{{0, 0}, {1, 0}, {1, 1}}});
  API_Element zone;
  zone.header.typeID = API_ZoneID;
  zone.header.layer = 1;
  ASSERT_EQ(host.AddPolygonElement(zone, outline), NoError);
  ASSERT_EQ(ACAPI_Database('CDAT', &plan), NoError);

  ASSERT_EQ(Output(0), NoError);
  EXPECT_EQ(Objects(u"床面積 1F", u"TalvoSoftwareAreaTriangle").size(), 2u);
  EXPECT_EQ(Objects(u"床面積 1F", u"TalvoSoftwareAreaSchedule").size(), tables);
  EXPECT_TRUE(host.ElementsIn(*sheet, API_LineID).empty());
  EXPECT_EQ(host.ElementsIn(*sheet, API_ZoneID).size(), 1u);
  // Everything placed carries the output tag, version 1.
  for (const auto* placed : host.ElementsIn(*sheet, API_ObjectID)) {
    CMyUserData tag;
    ASSERT_EQ(tag.GetUserData(&placed->element.header), NoError);
    EXPECT_EQ(tag.GetType(), CMyUserDataCore::TYPE(700));
    EXPECT_EQ(tag.GetVersion(), 1);
  }
}

// A sheet written on its own is replaced on its own: cancelled half way,
// it keeps its earlier output element for element.
TEST_F(WorksheetFloorTest, ACancelledSheetKeepsItsEarlierOutput)
{
  for (double x : {1.0, 4.0, 7.0})
    Figure(0, {x, 1});
  ASSERT_EQ(Output(0), NoError);
  const auto sheet = host.WorksheetNamed(GS::UniString(u"床面積 1F"));
  ASSERT_TRUE(sheet.has_value());
  auto state = [&]() {
    std::vector<pln::host::StoredElement> elements;
    for (const auto* element : host.ElementsIn(*sheet, API_ZombieElemID))
      elements.push_back(*element);
    return elements;
  };
  const auto before = state();
  ASSERT_GT(before.size(), 3u);  // three copies and the tables
  host.QueueProgressCancel(1);
  EXPECT_EQ(Output(0), APIERR_CANCEL);
  EXPECT_TRUE(state() == before);
}

TEST_F(WorksheetFloorTest, FiguresOffThePatternLayerAreNotCopiedButStepTheProgress)
{
  const short other = short(host.AddLayer(u"他"));
  Figure(0, {8, 7});
  Figure(0, {20, 20}, other);
  ASSERT_EQ(Output(0), NoError);
  const auto copies = Objects(u"床面積 1F", u"TalvoSoftwareAreaTriangle");
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0]->element.object.pos.x, 8.0);
  // Both figures step the progress.
  CDlgProgress progress;
  progress.SetRange(10, GS::UniString());
  CKelCoord2D point;
  ASSERT_EQ(CWorksheetFloor(&doc()).DrawArea1Element(&doc().m_FloorParamArray[0], progress, point), NoError);
  EXPECT_EQ(progress.GetPos(), 2);
  EXPECT_EQ(point.m_x, 10.0);
  EXPECT_EQ(point.m_y, 8.0);
  progress.Close();
}

TEST_F(WorksheetFloorTest, CopiesAtNegativeCoordinatesStartTheTablesAtTheirOwnCorner)
{
  Figure(0, {-3e5 - 8, -7});
  CDlgProgress progress;
  CKelCoord2D point;
  ASSERT_EQ(CWorksheetFloor(&doc()).DrawArea1Element(&doc().m_FloorParamArray[0], progress, point), NoError);
  EXPECT_EQ(point.m_x, -3e5 - 6);
  EXPECT_EQ(point.m_y, -6.0);
  // Across the axes the largest x and y come from different copies.
  Figure(0, {5, -20});
  point = CKelCoord2D();
  ASSERT_EQ(CWorksheetFloor(&doc()).DrawArea1Element(&doc().m_FloorParamArray[0], progress, point), NoError);
  progress.Close();
  EXPECT_EQ(point.m_x, 7.0);
  EXPECT_EQ(point.m_y, -6.0);
}

// The same drawing moved anywhere gets its tables at the same place beside
// it; at positive coordinates that place is where it always was.
TEST_F(WorksheetFloorTest, TablesFollowTheDrawingToSurveyCoordinates)
{
  const int element = pattern.AddElement(PatternDoc::kBuildingCode, u"居室");
  auto figure = Figure(0, {8, 7});
  pattern.Element(element)->m_FloorArray.SearchFloor(0)->m_List.push_back(
      CArea2List(figure, COperatorTable::OPERATOR_PLUS));
  doc().m_OutputLayout = 1;
  ASSERT_EQ(Output(0), NoError);
  const std::vector<API_Coord> atOrigin = TablePositions(u"床面積 1F");
  ASSERT_EQ(atOrigin.size(), 3u);  // figures, the folder, the element
  EXPECT_EQ(atOrigin[0], (API_Coord{11, 8}));
  for (const API_Coord offset : {API_Coord{-3e5, 0}, API_Coord{0, -3e5}, API_Coord{-100, -100}, API_Coord{3e5, 3e5}}) {
    figure->m_Element.object.pos = API_Coord{8 + offset.x, 7 + offset.y};
    ASSERT_EQ(Output(0), NoError);
    std::vector<API_Coord> moved = TablePositions(u"床面積 1F");
    for (API_Coord& at : moved)
      at = API_Coord{at.x - offset.x, at.y - offset.y};
    EXPECT_EQ(moved, atOrigin) << offset.x << ", " << offset.y;
  }
}

// Scale 100, text 5 mm (0.5 m a text size, 1 m a line), widths 3/45/12,
// gaps 2 and 1, drawing up to (10, 8).
TEST_F(WorksheetFloorTest, TablesOfEachLayoutStartWhereTheirStepsLeadThem)
{
  CArea4Object* building = pattern.Folder(PatternDoc::kBuildingCode);
  building->m_ListType = CArea2ListTypeTable::LISTTYPE_FORMULA;
  const int rooms = pattern.AddFolder(PatternDoc::kBuildingCode, u"住戸");
  pattern.Folder(rooms)->m_ListType = CArea2ListTypeTable::LISTTYPE_FORMULA;
  const int element = pattern.AddElement(rooms, u"居室");
  auto figure = Figure(0, {8, 7});
  pattern.Element(element)->m_FloorArray.SearchFloor(0)->m_List.push_back(
      CArea2List(figure, COperatorTable::OPERATOR_PLUS));
  AutoArea({figure});

  struct Case {
    int layout;
    std::vector<API_Coord> tables;  // figures, folders in tree order, element, automatic area
  };
  const Case cases[] = {
      {1, {{11, 8}, {42, 8}, {73, 8}, {42, 3}, {42, -2}}},
      {2, {{11, 8}, {42, 8}, {42, 3}, {73, 8}, {104, 8}}},
  };
  for (const Case& c : cases) {
    doc().m_OutputLayout = c.layout;
    ASSERT_EQ(Output(0), NoError);
    EXPECT_EQ(TablePositions(u"床面積 1F"), c.tables) << "layout " << c.layout;
  }
  doc().m_OutputLayout = 3;
  ASSERT_EQ(Output(0), NoError);
  const std::vector<API_Coord> third = TablePositions(u"床面積 1F");
  ASSERT_EQ(third.size(), 5u);
  EXPECT_EQ(third[3], (API_Coord{73, 8}));
  EXPECT_EQ(third[4], (API_Coord{104, 8}));
}

TEST_F(WorksheetFloorTest, AFailedGatheringStopsTheSheetAndTheFirstErrorIsReturned)
{
  const int other = ++doc().m_LastAreaCode;
  const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
  doc().m_AreaTree2.Insert(&doc(), GS::UniString(u"別案"), other, 0, CAreaTree::KIND_FOLDER, item, item);
  Figure(0, {8, 7});
  ASSERT_EQ(Output(0), NoError);
  host.FailOnce("ACAPI_Element_GetElemList", APIERR_MEMFULL);
  EXPECT_EQ(Output(0), APIERR_MEMFULL);
  // The second pattern's sheet was still written again.
  EXPECT_EQ(Objects(u"別案 1F", u"TalvoSoftwareAreaTriangle").size(), 1u);
  EXPECT_EQ(Objects(u"床面積 1F", u"TalvoSoftwareAreaTriangle").size(), 1u);
}

TEST_F(WorksheetFloorTest, ARowLimitBelowOneStillPagesOneRowATableOnALockedTableLayer)
{
  const short tables = short(host.AddLayer(u"求積表", APILay_Locked | APILay_Hidden));
  doc().m_EnvParam.m_ListLayer = tables;
  for (CAreaListAttr* style : {&doc().m_EnvParam.m_ListAttr1, &doc().m_EnvParam.m_ListAttr4})
    style->m_RowLimit = 0;
  AutoArea({Figure(0, {8, 7}), Figure(0, {1, 1})});
  ASSERT_EQ(Output(0), NoError);
  // Two figure tables and two automatic-area tables of one row each, and
  // the folder's table.
  EXPECT_EQ(Objects(u"床面積 1F", u"TalvoSoftwareAreaSchedule").size(), 5u);
  // The layer written on was opened for the tables and closed again.
  API_Attribute layer;
  layer.header.typeID = API_LayerID;
  layer.header.index = tables;
  ASSERT_EQ(ACAPI_Attribute_Get(&layer), NoError);
  EXPECT_EQ(layer.header.flags & (APILay_Locked | APILay_Hidden), UInt32(APILay_Locked | APILay_Hidden));
}

// Every element the sheet holds, copies, tables, lines and texts alike.
std::size_t SheetElements(HostFixture& host, const char16_t* name)
{
  const auto sheet = host.WorksheetNamed(GS::UniString(name));
  return sheet ? host.ElementsIn(*sheet, API_ZombieElemID).size() : 0;
}

std::size_t Calls(const HostFixture& host, const std::string& name)
{
  return std::size_t(std::count(host.CallLog().begin(), host.CallLog().end(), name));
}

// Whichever tag write fails, the element it was for is not left behind:
// the output answers the failure, and the next one places no second copy.
TEST_F(WorksheetFloorTest, AnElementThatCouldNotBeTaggedIsDeletedAndNotDuplicatedNext)
{
  AutoArea({Figure(0, {8, 7}), Figure(0, {1, 1})});
  ASSERT_EQ(Output(0), NoError);
  const std::size_t clean = SheetElements(host, u"床面積 1F");
  host.ClearCallLog();
  ASSERT_EQ(Output(0), NoError);
  const std::size_t tags = Calls(host, "ACAPI_Element_SetUserData");
  ASSERT_GE(tags, 4u);  // two copies, and tables
  for (std::size_t k = 1; k <= tags; ++k) {
    for (std::size_t i = 1; i < k; ++i)
      host.FailOnce("ACAPI_Element_SetUserData", NoError);
    host.FailOnce("ACAPI_Element_SetUserData", APIERR_MEMFULL);
    EXPECT_EQ(Output(0), APIERR_MEMFULL) << k;
    ASSERT_EQ(Output(0), NoError) << k;
    EXPECT_EQ(SheetElements(host, u"床面積 1F"), clean) << "tag " << k;
  }
}

// A close of a parameter list the host refuses fails that output alone:
// the list is closed all the same and the next output is whole.
TEST_F(WorksheetFloorTest, AFailedListCloseFailsOneOutputAndLeavesNoListOpen)
{
  AutoArea({Figure(0, {8, 7})});
  ASSERT_EQ(Output(0), NoError);
  const std::size_t clean = SheetElements(host, u"床面積 1F");
  host.FailOnce("ACAPI_Goodies:CPAR", APIERR_GENERAL);
  EXPECT_EQ(Output(0), APIERR_GENERAL);
  EXPECT_FALSE(pln::host::ParametersOpen());
  for (int again = 0; again < 2; ++again) {
    ASSERT_EQ(Output(0), NoError) << again;
    EXPECT_EQ(SheetElements(host, u"床面積 1F"), clean);
  }
}

// Each output replaces the last; once the host's history is full, what the
// replaced outputs deleted is forgotten and the model no longer grows.
TEST_F(WorksheetFloorTest, RepeatedOutputsKeepTheHostsModelFlat)
{
  host.SetUndoDepth(3);
  AutoArea({Figure(0, {8, 7}), Figure(0, {1, 1})});
  std::size_t settled = 0;
  for (int run = 1; run <= 12; ++run) {
    ASSERT_EQ(Output(0), NoError) << run;
    if (run == 6)
      settled = pln::host::TheModel().elements.size();
  }
  EXPECT_EQ(pln::host::TheModel().elements.size(), settled);
  EXPECT_EQ(host.UndoNames().size(), 3u);
}

// Every table kind pages through the one routine: a page steps down by its
// lines and the gap, and a writer that takes no row is called once only.
TEST(WorksheetPagingTest, PagesStepDownAndAPageThatTakesNoRowEndsThePaging)
{
  std::vector<int> starts;
  CKelCoord2D at(0.0, 0.0);
  auto two = [&](CKelCoord2D, int* start, int* lines) {
    starts.push_back(*start);
    const int taken = std::min(2, 5 - *start);
    *start += taken;
    *lines += taken + 2;
    return NoError;
  };
  ASSERT_EQ(CWorksheetFloor::PageRows(5, false, 0.5, 1, at, two), NoError);
  EXPECT_EQ(starts, (std::vector<int>{0, 2, 4}));
  EXPECT_DOUBLE_EQ(at.m_y, -0.5 * (5 + 5 + 4));

  int calls = 0;
  auto none = [&](CKelCoord2D, int*, int*) { ++calls; return GSErrCode(NoError); };
  CKelCoord2D stuck(0.0, 0.0);
  EXPECT_EQ(CWorksheetFloor::PageRows(3, false, 1.0, 0, stuck, none), NoError);
  EXPECT_EQ(calls, 1);
  // An empty list places a page only when asked; a failed page ends it.
  EXPECT_EQ(CWorksheetFloor::PageRows(0, false, 1.0, 0, stuck, none), NoError);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(CWorksheetFloor::PageRows(0, true, 1.0, 0, stuck, none), NoError);
  EXPECT_EQ(calls, 2);
  auto failing = [](CKelCoord2D, int* start, int*) { ++*start; return GSErrCode(APIERR_GENERAL); };
  EXPECT_EQ(CWorksheetFloor::PageRows(3, false, 1.0, 0, stuck, failing), APIERR_GENERAL);
}

// ---- the automatic-area table's parameters ----

class AutoAreaTableTest : public WorksheetFloorTest {
protected:
  struct Filled {
    ~Filled() { ACAPI_DisposeAddParHdl(&params.params); }
    GS::UniString Cell(int row, int column) const
    {
      return pln::host::AddParArrayText(*pln::host::FindAddPar(params.params, "matrix_area"), row, column);
    }
    double Number(const char* name) const { return pln::host::FindAddPar(params.params, name)->realValue; }
    API_GetParamsType params;
    GSErrCode err = NoError;
    int start = 0;
    int lines = 0;
  };

  CArea2ObjectFloor Record(const std::vector<int>& ops, const std::vector<const char16_t*>& formulas = {})
  {
    CArea2ObjectFloor record(0);
    for (std::size_t i = 0; i < ops.size(); ++i) {
      auto figure = Figure(0, {0, 0});
      if (i < formulas.size())
        figure->formula = formulas[i];
      record.m_List.push_back(CArea2List(figure, COperatorTable::OPERATOR(ops[i])));
    }
    return record;
  }

  void Fill(Filled& table, const CArea2ObjectFloor& record, int start, int maxRows)
  {
    API_ParamOwnerType owner;
    owner.typeID = API_ObjectID;
    owner.libInd = PartIndex(u"TalvoSoftwareAreaSchedule");
    table.start = start;
    table.err = CWorksheetFloor(&doc()).SetParam(GS::UniString(u"Z-1"), record, &table.start, maxRows, &table.lines,
                                                 owner, table.params);
  }
};

TEST_F(AutoAreaTableTest, PagesEndInTheTotalRowOnlyOnTheLastOne)
{
  struct Case {
    int entries, start, maxRows;
    double rowCount;
    int nextStart, lines;
    bool total;
  };
  const Case cases[] = {
      {0, 0, 3, 1, 0, 3, true},    // no entries: the total row alone
      {3, 0, 3, 4, 3, 6, true},    // exactly the maximum: the rows and the total
      {4, 0, 3, 3, 3, 5, false},   // more: a full page without the total
      {4, 3, 3, 2, 4, 4, true},    // its last page
      {2, 0, 0, 0, 0, 2, false},   // a limit of 0 writes no row and no total
      {2, 0, -5, 0, 0, 2, false},  // nor does a negative one
  };
  for (const Case& c : cases) {
    Filled table;
    Fill(table, Record(std::vector<int>(std::size_t(c.entries), COperatorTable::OPERATOR_PLUS)), c.start, c.maxRows);
    ASSERT_EQ(table.err, NoError);
    EXPECT_EQ(table.Number("matrix_rowcnt"), c.rowCount) << c.entries << "/" << c.start;
    EXPECT_EQ(table.start, c.nextStart) << c.entries << "/" << c.start;
    EXPECT_EQ(table.lines, c.lines) << c.entries << "/" << c.start;
    const int last = int(c.rowCount);
    if (last > 0) {
      EXPECT_EQ(table.Cell(last, 3) == GS::UniString(u"合計"), c.total) << c.entries << "/" << c.start;
    }
  }
}

TEST_F(AutoAreaTableTest, SubtractedAreasAreSignedAndBreaksAddLines)
{
  Filled table;
  Fill(table, Record({COperatorTable::OPERATOR_PLUS, COperatorTable::OPERATOR_MINUS}, {u"1#2#3", u"4"}), 0, 10);
  ASSERT_EQ(table.err, NoError);
  EXPECT_EQ(U8(table.Cell(1, 3)), "1#2#3");
  EXPECT_EQ(U8(table.Cell(1, 4)), "1.00    ");
  EXPECT_EQ(U8(table.Cell(2, 4)), "-1.00    ");
  EXPECT_EQ(U8(table.Cell(3, 3)), "合計");
  EXPECT_EQ(U8(table.Cell(3, 4)), "0.00    ");
  // 3 + 1 formula lines, title and header, the total.
  EXPECT_EQ(table.lines, 7);
}

}  // namespace
