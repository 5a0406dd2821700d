// The area tables of calculation elements and folders on the stand-in host:
// the parameters each page writes and in what order, the paging counters,
// the rows of a folder's list, failing writes, pens, and the placed table.

#include "CGSUtil.h"
#include "DocTestSupport.h"
#include "GetLibPartInd.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_libpart.h"

namespace {

constexpr const char16_t* kPart = u"TalvoSoftwareAreaSchedule";

// The parameter list one SetParam call filled, released with the object.
class FilledTable {
public:
  FilledTable() = default;
  FilledTable(const FilledTable&) = delete;
  FilledTable& operator=(const FilledTable&) = delete;
  ~FilledTable() { ACAPI_DisposeAddParHdl(&params.params); }

  const API_AddParType& Par(const char* name) const
  {
    const API_AddParType* par = pln::host::FindAddPar(params.params, name);
    EXPECT_NE(par, nullptr) << name;
    static const API_AddParType kNone{};
    return par != nullptr ? *par : kNone;
  }
  GS::UniString Text(const char* name) const { return pln::host::AddParText(Par(name)); }
  double Number(const char* name) const { return Par(name).realValue; }
  GS::UniString Cell(int row, int column) const { return pln::host::AddParArrayText(Par("matrix_area"), row, column); }
  std::vector<GS::UniString> Row(int row) const { return {Cell(row, 1), Cell(row, 2), Cell(row, 3), Cell(row, 4)}; }
  double FreeInput(int row) const { return pln::host::AddParArrayReal(Par("matrix_freeinput"), row, 1); }

  API_GetParamsType params;
};

std::vector<GS::UniString> Texts(std::initializer_list<const char16_t*> texts)
{
  std::vector<GS::UniString> out;
  for (const char16_t* text : texts)
    out.emplace_back(text);
  return out;
}

class AreaTableTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    host.LoadAddOnLibraryParts();
    tableLayer = static_cast<short>(host.AddLayer(u"求積表"));
    owner.typeID = API_ObjectID;
    ASSERT_EQ(GetLibPartInd(reinterpret_cast<const unsigned short*>(kPart), &owner.libInd), NoError);
  }
  void TearDown() override
  {
    EXPECT_FALSE(pln::host::ParametersOpen());
    EXPECT_EQ(host.HandlesSinceReset(), 0);
  }

  // Every 'CHGP' since the last clear as "name i1 i2".
  std::vector<std::string> Writes() const
  {
    std::vector<std::string> out;
    for (const pln::host::ParamChange& change : host.ParamChanges())
      out.push_back(change.name + " " + std::to_string(change.ind1) + " " + std::to_string(change.ind2));
    return out;
  }
  bool Wrote(const std::string& name) const
  {
    for (const pln::host::ParamChange& change : host.ParamChanges())
      if (change.name == name)
        return true;
    return false;
  }
  bool TookList() const
  {
    const std::vector<std::string>& calls = host.CallLog();
    return std::find(calls.begin(), calls.end(), "ACAPI_Goodies:GPAR") != calls.end();
  }

  // An element of list type 0 under the building folder with five figures
  // on story 0: breaks 0, 1, 0, 2, 0; the third subtracted.
  int ListElement()
  {
    const int node = p.AddElement(PatternDoc::kBuildingCode, u"居室");
    CArea2Object* element = p.Element(node);
    element->m_ListType = CArea2ListTypeTable::LISTTYPE_LIST;
    element->m_No = 0;
    const long long raws[] = {123456789, 200000000, 50000000, 100000000, 100000000};
    const int breaks[] = {0, 1, 0, 2, 0};
    for (int i = 0; i < 5; ++i) {
      auto figure = p.AddFigure(node, 0, raws[i], i == 2 ? COperatorTable::OPERATOR_MINUS : COperatorTable::OPERATOR_PLUS);
      figure->m_bAutoCr = false;
      figure->m_Cr.SetMinSize(2);
      for (int b = 0; b < breaks[i]; ++b)
        figure->m_Cr[std::size_t(b)].m_bCr = true;
    }
    return node;
  }

  GSErrCode ElementTable(int node, FilledTable& table, int* next, int maxRows, int* lines)
  {
    host.ClearChangeRecords();
    host.ClearCallLog();
    std::vector<CArea2List*> entries = CArea2Object::GetList(p.Element(node)->m_FloorArray.SearchFloor(0));
    return p.Element(node)->SetParam(&p.doc, 0, p.Node(node), &entries, next, maxRows, lines, owner, table.params);
  }
  GSErrCode FolderTable(int node, FilledTable& table, std::vector<std::vector<GS::UniString>>* rows, int* next,
                        int maxRows, int* lines)
  {
    host.ClearChangeRecords();
    host.ClearCallLog();
    return p.Folder(node)->SetParam(&p.doc, p.Node(node), 0, rows, next, maxRows, lines, owner, table.params);
  }

  HostFixture host;
  PatternDoc p;
  API_ParamOwnerType owner;
  short tableLayer = 0;
};

// ---- calculation elements ----

TEST_F(AreaTableTest, AnElementsListPagesItsEntriesAndTotalsOnTheLastPage)
{
  const int node = ListElement();
  p.Element(node)->m_RoundType = CRoundTypeTable::ROUNDTYPE_UP;  // not the node's: the total is starred
  int next = 0;
  int lines = 10;
  {
    FilledTable first;
    ASSERT_EQ(ElementTable(node, first, &next, 3, &lines), NoError);
    EXPECT_EQ(next, 3);
    EXPECT_EQ(lines, 10 + (1 + 2 + 1) + 2);
    EXPECT_EQ(first.Row(1), Texts({u"○", u"1", u"1.00×2.00", u"1.23    "}));
    EXPECT_EQ(first.Row(2), Texts({u"○", u"2", u"1.00#×2.00", u"2.00    "}));
    EXPECT_EQ(first.Cell(3, 4), GS::UniString(u"-0.50    "));
    EXPECT_EQ(first.Number("matrix_rowcnt"), 3.0);
    EXPECT_EQ(first.Number("total_show"), 0.0);
    EXPECT_EQ(first.Text("type"), GS::UniString(u"求積表"));
    EXPECT_EQ(first.Text("total_val_text"), GS::UniString(u"*4.73    "));
    const std::vector<std::string> header = {"matrix_title_b 0 0", "head_show 0 0", "text_size 0 0",
                                             "matrix_heder_text 1 0", "matrix_heder_text 2 1",
                                             "matrix_heder_text 3 1"};
    const std::vector<std::string> writes = Writes();
    EXPECT_EQ(std::vector<std::string>(writes.begin(), writes.begin() + 6), header);
  }
  FilledTable second;
  ASSERT_EQ(ElementTable(node, second, &next, 3, &lines), NoError);
  EXPECT_EQ(next, 5);
  EXPECT_EQ(lines, 16 + (3 + 1) + 2 + 1);
  EXPECT_EQ(second.Cell(1, 2), GS::UniString(u"4"));
  EXPECT_EQ(second.Row(3), Texts({u"□", u"1", u"合計", u"4.73    "}));
  EXPECT_EQ(second.Number("matrix_rowcnt"), 3.0);
  EXPECT_EQ(second.Number("total_show"), 1.0);
}

TEST_F(AreaTableTest, FormulaTablesAndManualStoriesHaveOneRowAndCountTheirBreaks)
{
  const int node = ListElement();
  CArea2Object* element = p.Element(node);
  CArea2ObjectFloor* record = element->m_FloorArray.SearchFloor(0);
  element->m_ListType = CArea2ListTypeTable::LISTTYPE_FORMULA;
  element->m_AutoCr = false;
  record->m_List[1].m_CrMark.m_bCr = true;
  record->m_List[3].m_CrMark.m_bCr = true;
  int lines = 99;
  {
    FilledTable table;
    ASSERT_EQ(ElementTable(node, table, nullptr, 0, &lines), NoError);
    EXPECT_EQ(lines, 4 + 2);
    EXPECT_EQ(table.Number("matrix_rowcnt"), 1.0);
    EXPECT_EQ(table.Text("type"), GS::UniString(u"求積表の合計"));
    EXPECT_EQ(table.Row(1), Texts({u"□", u"1", u"○1+○2#-○3+○4#+○5", u"4.73    "}));
    EXPECT_EQ(table.FreeInput(1), 0.0);
  }
  // A story entered by hand, whatever the list type.
  element->m_ListType = CArea2ListTypeTable::LISTTYPE_LIST;
  record->m_Mode = CArea2ObjectFloor::MODE_MANUAL;
  record->m_ManualEquation = GS::UniString(u"10.00×5.00");
  record->m_ManualArea = 50000000;
  FilledTable manual;
  ASSERT_EQ(ElementTable(node, manual, nullptr, 0, &lines), NoError);
  EXPECT_EQ(lines, 4);
  EXPECT_EQ(manual.Row(1), Texts({u"□", u"1", u"10.00×5.00", u"50.00    "}));
  EXPECT_EQ(manual.FreeInput(1), 1.0);
  EXPECT_EQ(Writes(),
            (std::vector<std::string>{"matrix_title_b 0 0", "head_show 0 0", "text_size 0 0", "matrix_heder_text 1 0",
                                      "matrix_heder_text 2 1", "matrix_heder_text 3 1", "matrix_colw1 0 0",
                                      "matrix_colw2 0 0", "matrix_colw3 0 0", "matrix_rowh 0 0", "matrix_pen 0 0",
                                      "text_pen 0 0", "text_pen_minus 0 0", "text_font 0 0", "total_text 0 0",
                                      "matrix_title 0 0", "show_mark 0 0", "matrix_title_mark1 0 0",
                                      "matrix_title_mark2 0 0", "matrix_mark1 0 0", "matrix_mark2 0 0",
                                      "total_show 0 0", "matrix_rowcnt 0 0", "type 0 0", "matrix_area 1 1",
                                      "matrix_area 1 2", "matrix_area 1 3", "matrix_area 1 4",
                                      "matrix_freeinput 1 1", "total_val_text 0 0"}));
}

TEST_F(AreaTableTest, ShowTotalDecidesTheTotalRowItsMarksAndTheTotalValue)
{
  const int node = ListElement();
  struct Case {
    CArea2Object::SHOWTOTAL show;
    double shown;
    const char16_t* mark;
    bool value;
  };
  for (const Case& c : {Case{CArea2Object::SHOWTOTAL_HIDE, 0.0, u"", false},
                        Case{CArea2Object::SHOWTOTAL_MARK, 1.0, u"□", true},
                        Case{CArea2Object::SHOWTOTAL_NOMARK, 1.0, u"", true}}) {
    p.Element(node)->m_ShowTotal = c.show;
    int next = 0;
    int lines = 0;
    FilledTable table;
    ASSERT_EQ(ElementTable(node, table, &next, 10, &lines), NoError);
    EXPECT_EQ(table.Number("total_show"), c.shown) << c.show;
    EXPECT_EQ(table.Cell(6, 1), GS::UniString(c.mark)) << c.show;
    EXPECT_EQ(table.Cell(6, 3), GS::UniString(u"合計")) << c.show;
    EXPECT_EQ(Wrote("total_val_text"), c.value) << c.show;
  }
}

TEST_F(AreaTableTest, MaxRowsBelowOneWritesNoRowsAndKeepsTheNextEntry)
{
  const int node = ListElement();
  int next = 1;
  int lines = 0;
  FilledTable table;
  ASSERT_EQ(ElementTable(node, table, &next, 0, &lines), NoError);
  EXPECT_EQ(next, 1);
  EXPECT_EQ(lines, 2);
  EXPECT_EQ(table.Number("matrix_rowcnt"), 0.0);
  EXPECT_FALSE(Wrote("matrix_area"));
}

// ---- folders ----

// Folder X (the building folder) holds elements A (a1, a2 subtracted) and
// B (b1) and sub-folder S, which holds element C (c1 subtracted) and folder D.
class FolderListTest : public AreaTableTest {
protected:
  void SetUp() override
  {
    AreaTableTest::SetUp();
    a = Element(PatternDoc::kBuildingCode, u"A", {100000000, -20000000});
    b = Element(PatternDoc::kBuildingCode, u"B", {300000000});
    s = p.AddFolder(PatternDoc::kBuildingCode, u"S");
    c = Element(s, u"C", {-40000000});
    d = p.AddFolder(s, u"D");
    p.Folder(PatternDoc::kBuildingCode)->m_ListType = CArea2ListTypeTable::LISTTYPE_LIST;
  }
  int Element(int parent, const char16_t* name, std::initializer_list<long long> raws)
  {
    const int node = p.AddElement(parent, name);
    p.Element(node)->m_ListType = CArea2ListTypeTable::LISTTYPE_LIST;
    for (long long raw : raws)
      p.AddFigure(node, 0, raw < 0 ? -raw : raw, raw < 0 ? COperatorTable::OPERATOR_MINUS : COperatorTable::OPERATOR_PLUS);
    return node;
  }
  std::vector<std::vector<GS::UniString>> List()
  {
    return p.Folder(PatternDoc::kBuildingCode)->GetList(&p.doc, p.Node(PatternDoc::kBuildingCode), 0);
  }

  int a = 0, b = 0, s = 0, c = 0, d = 0;
};

TEST_F(FolderListTest, RowsGoOneAndTwoLevelsDownWithTheSignOnlyOnDirectChildren)
{
  std::vector<std::string> shape;
  for (const auto& row : List()) {
    ASSERT_EQ(row.size(), 4u);
    shape.push_back((row[2].ToStdString(CC_UTF8).size() == 1 ? row[2] : row[1]).ToStdString(CC_UTF8) + " " +
                    row[3].ToStdString(CC_UTF8));
  }
  // Figure rows show the figure's own rounding (six digits), summaries the
  // node's (two).
  EXPECT_EQ(shape, (std::vector<std::string>{"1 1.000000", "2 -0.200000", "A 0.80    ", "3 3.000000",
                                             "B 3.00    ", "4 0.400000", "D 0.00    ", "S -0.40    "}));
}

TEST_F(FolderListTest, AManualEquationReplacesEachElementsFiguresByOneRow)
{
  p.Folder(PatternDoc::kBuildingCode)->m_ManualEquationArray.Add(0, GS::UniString(u"手入力"));
  p.Element(a)->m_FloorArray.SearchFloor(0)->m_ManualArea = 1500000;
  const auto rows = List();
  ASSERT_EQ(rows.size(), 7u);  // A, A's summary, B, B's summary, C, D's summary, S's summary
  EXPECT_EQ(rows[0], Texts({u"", u"", u"手入力", u"1.500000"}));
  EXPECT_EQ(rows[1][2], GS::UniString(u"A"));
  EXPECT_EQ(rows[4][2], GS::UniString(u"手入力"));
}

TEST_F(AreaTableTest, AFoldersListPagesWithATotalRowBelowEveryPage)
{
  std::vector<std::vector<GS::UniString>> rows;
  for (int i = 1; i <= 5; ++i)
    rows.push_back({u"m", GS::UniString::Printf("%d", i), u"f", u"a"});
  const int x = PatternDoc::kBuildingCode;
  p.Folder(x)->m_ListType = CArea2ListTypeTable::LISTTYPE_LIST;
  p.Element(p.AddElement(x, u"E1"))->m_No = 0;
  p.Element(p.AddElement(x, u"E2"))->m_No = 1;
  int next = 0;
  int lines = 0;
  {
    FilledTable first;
    ASSERT_EQ(FolderTable(x, first, &rows, &next, 3, &lines), NoError);
    EXPECT_EQ(next, 3);
    EXPECT_EQ(lines, 5);
    EXPECT_EQ(first.Cell(3, 2), GS::UniString(u"3"));
    EXPECT_EQ(first.Number("matrix_rowcnt"), 3.0);
    EXPECT_EQ(first.Number("total_show"), 0.0);
    EXPECT_EQ(first.Cell(4, 3), GS::UniString(u"□1#+□2#"));
    EXPECT_EQ(first.FreeInput(4), 1.0);
    const std::vector<std::string> writes = Writes();
    EXPECT_EQ(std::vector<std::string>(writes.begin() + 8, writes.begin() + 11),
              (std::vector<std::string>{"matrix_heder_text 1 1", "matrix_heder_text 2 1", "matrix_heder_text 3 1"}));
  }
  FilledTable second;
  ASSERT_EQ(FolderTable(x, second, &rows, &next, 3, &lines), NoError);
  EXPECT_EQ(next, 5);
  EXPECT_EQ(lines, 5 + 6);
  EXPECT_EQ(second.Cell(1, 2), GS::UniString(u"4"));
  EXPECT_EQ(second.Cell(3, 3), GS::UniString(u"□1#+□2#"));
  EXPECT_EQ(second.Number("matrix_rowcnt"), 3.0);
  EXPECT_EQ(second.Number("total_show"), 1.0);

  // Exactly a page of rows: one table, the total just below them.
  next = 0;
  lines = 0;
  rows.resize(3);
  FilledTable exact;
  ASSERT_EQ(FolderTable(x, exact, &rows, &next, 3, &lines), NoError);
  EXPECT_EQ(next, 3);
  EXPECT_EQ(lines, 3 + 4);
  EXPECT_EQ(exact.Number("matrix_rowcnt"), 4.0);
  EXPECT_EQ(exact.FreeInput(4), 1.0);
}

TEST_F(AreaTableTest, AFoldersFormulaTableCountsTheChildrensBreaks)
{
  const int x = PatternDoc::kBuildingCode;
  CArea4Object* folder = p.Folder(x);
  folder->m_AutoCr = false;
  int lines = 0;
  {
    FilledTable empty;
    ASSERT_EQ(FolderTable(x, empty, nullptr, nullptr, 0, &lines), NoError);
    EXPECT_EQ(empty.Row(1), Texts({u"", u"", u"", u"0.00    "}));
    EXPECT_EQ(empty.Number("matrix_rowcnt"), 1.0);
    EXPECT_EQ(lines, 4);
  }
  int no = 0;
  for (const char16_t* name : {u"E1", u"E2", u"E3"})
    p.Element(p.AddElement(x, name))->m_No = no++;
  p.Node(x)->m_Child[0].m_CrMark.m_bCr = true;
  p.Node(x)->m_Child[1].m_CrMark.m_bCr = true;
  {
    FilledTable table;
    ASSERT_EQ(FolderTable(x, table, nullptr, nullptr, 0, &lines), NoError);
    EXPECT_EQ(lines, 6);
    EXPECT_EQ(table.Cell(1, 3), GS::UniString(u"□1#+□2#+□3"));
    EXPECT_EQ(table.FreeInput(1), 0.0);
    EXPECT_EQ(table.Text("type"), GS::UniString(u"求積表の合計"));
  }
  folder->m_ManualEquationArray.Add(0, GS::UniString(u"1.00×2.00#+3.00"));
  FilledTable manual;
  ASSERT_EQ(FolderTable(x, manual, nullptr, nullptr, 0, &lines), NoError);
  EXPECT_EQ(lines, 4);
  EXPECT_EQ(manual.Cell(1, 3), GS::UniString(u"1.00×2.00#+3.00"));
  EXPECT_EQ(manual.FreeInput(1), 1.0);
}

// ---- both writers ----

class BothTablesTest : public AreaTableTest {
protected:
  void SetUp() override
  {
    AreaTableTest::SetUp();
    element = ListElement();
    p.Folder(PatternDoc::kBuildingCode)->m_ListType = CArea2ListTypeTable::LISTTYPE_LIST;
  }
  // Fills one table of the kind (0 element, 1 folder).
  GSErrCode Fill(int kind, FilledTable& table)
  {
    int next = 0;
    int lines = 0;
    if (kind == 0)
      return ElementTable(element, table, &next, 10, &lines);
    return FolderTable(PatternDoc::kBuildingCode, table, nullptr, &next, 10, &lines);
  }
  GSErrCode Place(int kind, short layer)
  {
    int next = 0;
    int lines = 0;
    if (kind == 0)
      return p.Element(element)->CreateObject(&p.doc, 0, p.Node(element), layer, CKelCoord2D(2.0, 3.0), &lines,
                                              nullptr, &next, 10);
    return p.Folder(PatternDoc::kBuildingCode)
        ->CreateObject(&p.doc, p.Node(PatternDoc::kBuildingCode), 0, layer, CKelCoord2D(2.0, 3.0), nullptr, &next,
                       10, &lines);
  }
  CAreaObject* Object(int kind) { return kind == 0 ? p.Object(element) : p.Object(PatternDoc::kBuildingCode); }

  int element = 0;
};

TEST_F(BothTablesTest, AFailingCheckedWriteEndsTheWritesWithoutTakingTheList)
{
  for (int kind : {0, 1}) {
    for (const char* name : {"head_show", "matrix_heder_text", "text_pen_minus", "text_font", "type", "matrix_area",
                             "matrix_rowcnt", "total_val_text"}) {
      host.FailParamChangeOnce(name, APIERR_BADPARS);
      FilledTable table;
      EXPECT_EQ(Fill(kind, table), APIERR_BADPARS) << kind << name;
      EXPECT_EQ(host.ParamChanges().back().name, name) << kind;
      EXPECT_EQ(table.params.params, nullptr) << kind << name;
      EXPECT_FALSE(TookList()) << kind << name;
    }
    // A part without the mark switch and mark texts still gets its table.
    for (const char* name : {"show_mark", "matrix_title_mark1", "matrix_title_mark2", "matrix_mark1", "matrix_mark2"}) {
      host.FailParamChangeOnce(name, APIERR_BADNAME);
      FilledTable table;
      EXPECT_EQ(Fill(kind, table), NoError) << kind << name;
      EXPECT_TRUE(TookList()) << kind << name;
    }
  }
}

TEST_F(BothTablesTest, AnObjectsPenAboveZeroReplacesTheThreePens)
{
  for (int kind : {0, 1}) {
    for (short pen : {short(0), short(-3), short(7)}) {
      Object(kind)->m_ColorPen = pen;
      FilledTable table;
      ASSERT_EQ(Fill(kind, table), NoError);
      const double own = pen > 0 ? pen : -1;
      EXPECT_EQ(table.Number("matrix_pen"), own > 0 ? own : 4.0) << kind << pen;
      EXPECT_EQ(table.Number("text_pen"), own > 0 ? own : 1.0) << kind << pen;
      EXPECT_EQ(table.Number("text_pen_minus"), own > 0 ? own : 20.0) << kind << pen;
    }
  }
}

TEST_F(BothTablesTest, TheTableGoesOnTheGivenLayerTaggedAndNothingWhenItCannotBeFilled)
{
  for (int kind : {0, 1}) {
    host.SetLayerFlags(tableLayer, APILay_Locked | APILay_Hidden);
    ASSERT_EQ(Place(kind, tableLayer), NoError) << kind;
    const std::vector<API_Guid> tables = host.ElementsOfType(API_ObjectID);
    ASSERT_EQ(tables.size(), std::size_t(kind + 1));
    const pln::host::StoredElement* table = host.Element(tables.back());
    EXPECT_EQ(table->element.header.layer, tableLayer);
    EXPECT_EQ(table->element.object.pos.x, 2.0);
    EXPECT_EQ(table->element.object.xRatio, 1.0);
    EXPECT_EQ(table->element.object.yRatio, 1.0);
    ASSERT_TRUE(table->userData.has_value());
    EXPECT_EQ(table->userData->dataVersion, 1);
    bool locked = false;
    bool visible = true;
    CGSUtil::GetLayerLockStatus(tableLayer, &locked);
    CGSUtil::GetLayerVisibleStatus(tableLayer, &visible);
    EXPECT_TRUE(locked && !visible) << kind;

    host.FailParamChangeOnce("text_font", APIERR_BADPARS);
    EXPECT_EQ(Place(kind, tableLayer), APIERR_BADPARS);
    EXPECT_EQ(host.ElementsOfType(API_ObjectID).size(), std::size_t(kind + 1));
  }
  host.Reset();
  tableLayer = static_cast<short>(host.AddLayer(u"求積表"));
  EXPECT_EQ(Place(0, tableLayer), APIERR_BADNAME);
  EXPECT_EQ(Place(1, tableLayer), APIERR_BADNAME);
  EXPECT_TRUE(host.ElementsOfType(API_ObjectID).empty());
}

}  // namespace

TEST_F(AreaTableTest, WritingTablesOfAStoryWithoutARecordAddsNone)
{
  const int element = p.AddElement(PatternDoc::kBuildingCode, u"空");
  const std::size_t stories = p.Element(element)->m_FloorArray.size();
  int next = 0;
  int lines = 0;
  {
    FilledTable table;
    ASSERT_EQ(p.Element(element)->SetParam(&p.doc, 3, p.Node(element), nullptr, &next, 10, &lines, owner,
                                           table.params),
              NoError);
  }
  {
    FilledTable table;
    std::vector<std::vector<GS::UniString>> rows;
    next = 0;
    lines = 0;
    ASSERT_EQ(p.Folder(PatternDoc::kBuildingCode)
                  ->SetParam(&p.doc, p.Node(PatternDoc::kBuildingCode), 3, &rows, &next, 10, &lines, owner,
                             table.params),
              NoError);
  }
  // Tables only read the document: no story record appears for story 3.
  EXPECT_EQ(p.Element(element)->m_FloorArray.size(), stories);
}
