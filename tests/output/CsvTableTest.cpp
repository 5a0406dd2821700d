// The CSV area table of a document: where it goes, what it holds byte for
// byte, and how a failed write shows.

#include "CCsvFile.h"
#include "CDlgProgress.h"
#include "OutputTestSupport.h"
#include "host_errors.h"
#include "io_location.h"

#include <algorithm>
#include <fstream>

namespace {

using output_test::CsvDoc;
using output_test::CsvRows;
using output_test::ReadCsv;
using output_test::U8;

constexpr const char* kTarget = "Plan　求積表.csv";

class CsvTableTest : public ::testing::Test {
protected:
  void SaveAs(const char* name) { host.UserSaveProjectAs(IO::Location(files.Path(name))); }
  std::vector<std::string> AlertTexts() const
  {
    std::vector<std::string> texts;
    for (const auto& alert : host.Alerts())
      texts.push_back(U8(alert.largeText));
    return texts;
  }
  // Writes the current pattern's two lists alone and reads them back.
  CsvRows Lists(CPlenimetraParam& doc, bool* aborted = nullptr)
  {
    CCsvFile file;
    EXPECT_TRUE(file.Create(files.Path("lists.csv")));
    CDlgProgress progress;
    GS::UniString title(u"パターン");
    const bool stopped = doc.CsvOutputList2(file, progress, title);
    EXPECT_EQ(doc.CsvOutputList3(file, progress, title), 0);
    progress.Close();
    EXPECT_TRUE(file.Finish());
    if (aborted != nullptr)
      *aborted = stopped;
    return ReadCsv(files.Contents("lists.csv"));
  }

  HostFixture host;
  SandboxFiles files;
};

TEST_F(CsvTableTest, SavedProjectWritesTheGoldenTableBesideItWithoutADialog)
{
  CsvDoc fixture(host);
  SaveAs("Plan.pln");
  files.Put("an older table", kTarget);
  fixture.doc().m_CurTreeCode = 0;
  EXPECT_EQ(fixture.doc().ToCsv(), NoError);

  EXPECT_TRUE(host.FileDialogs().empty());
  EXPECT_EQ(fixture.doc().m_CurTreeCode, 0);
  const std::string written = files.Contents(kTarget);
  std::ifstream in(std::string(TEST_DATA_DIR) + "/golden_area_table.csv", std::ios::binary);
  const std::string golden((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written, golden) << written;
  EXPECT_EQ(AlertTexts(), std::vector<std::string>{" " + U8(files.Path(kTarget)) + " に保存しました"});
  EXPECT_FALSE(std::filesystem::exists(files.File(kTarget).string() + ".tmp"));

  // Every row reads back with the field count of its kind: the first
  // floor's section row by row, then the lists.
  const CsvRows rows = ReadCsv(written);
  const std::vector<std::size_t> section{4, 4, 3, 3, 4, 4, 4, 3, 3, 3, 2, 3, 3, 3, 3,
                                         1, 2, 4, 4, 4, 4, 4, 4, 4, 2, 4, 4, 4, 4};
  ASSERT_EQ(rows.size(), 58u);
  for (std::size_t i = 0; i < section.size(); ++i)
    EXPECT_EQ(rows[i].size(), section[i]) << "row " << i;
  for (std::size_t i = 50; i < 54; ++i)
    EXPECT_EQ(rows[i].size(), 5u) << "per-floor row " << i;
  for (std::size_t i = 56; i < 58; ++i)
    EXPECT_EQ(rows[i].size(), 12u) << "room row " << i;
  EXPECT_EQ(rows[56][7], "住戸,共用部");
}

TEST_F(CsvTableTest, FiguresFormulasUseTheWidthOfTheirTableStyle)
{
  CsvDoc fixture(host);
  SaveAs("Plan.pln");
  CEnvParam& env = fixture.doc().m_EnvParam;
  env.m_ListAttr1.m_ColWidth2 = 31;
  env.m_ListAttr2.m_ColWidth2 = 32;
  env.m_ListAttr4.m_ColWidth2 = 34;
  auto* hall = static_cast<output_test::FormulaFigure*>(fixture.doc().m_FloorParamArray[0].m_Area1ObjectArray[0].get());
  ASSERT_EQ(fixture.doc().ToCsv(), NoError);
  // Figure section, list element entry, then the room list.
  EXPECT_EQ(hall->widths, (std::vector<double>{31, 32}));
  auto* outer = static_cast<output_test::FormulaFigure*>(fixture.doc().m_FloorParamArray[0].m_Area1ObjectArray[1].get());
  EXPECT_EQ(outer->widths, (std::vector<double>{31, 32, 34, 34}));
}

TEST_F(CsvTableTest, UntitledProjectAsksAndACancelWritesAndShowsNothing)
{
  CsvDoc fixture(host);
  host.QueueFileDialogCancel();
  EXPECT_EQ(fixture.doc().ToCsv(), APIERR_CANCEL);
  ASSERT_EQ(host.FileDialogs().size(), 1u);
  const auto& dialog = host.FileDialogs()[0];
  EXPECT_EQ(dialog.type, DG::FileDialog::Save);
  ASSERT_EQ(dialog.filters.size(), 1u);
  EXPECT_EQ(dialog.filters[0].text, GS::UniString(u"CSVﾌｧｲﾙ (*.csv)"));
  EXPECT_EQ(dialog.filters[0].option, 1u);
  EXPECT_TRUE(dialog.preselected.IsEmpty());
  EXPECT_TRUE(host.Alerts().empty());
  EXPECT_EQ(host.Progress().openCount, 0);

  host.QueueFileChoice(IO::Location(files.Path("chosen.csv")));
  EXPECT_EQ(fixture.doc().ToCsv(), NoError);
  EXPECT_FALSE(files.Contents("chosen.csv").empty());
  EXPECT_EQ(AlertTexts(), std::vector<std::string>{" " + U8(files.Path("chosen.csv")) + " に保存しました"});
}

TEST_F(CsvTableTest, TeamworkProjectAsksForThePathToo)
{
  CsvDoc fixture(host);
  host.SetTeamwork(true, true, 2);
  SaveAs("Plan.pln");
  host.QueueFileDialogCancel();
  EXPECT_EQ(fixture.doc().ToCsv(), APIERR_CANCEL);
  EXPECT_EQ(host.FileDialogs().size(), 1u);
}

TEST_F(CsvTableTest, WithoutProjectInformationTheSaveDialogAsksAndTheQueryErrorIsAnswered)
{
  CsvDoc fixture(host);
  SaveAs("Plan.pln");
  host.FailOnce("ACAPI_Environment:PROJ", APIERR_GENERAL);
  host.QueueFileChoice(IO::Location(files.Path("asked.csv")));
  EXPECT_EQ(fixture.doc().ToCsv(), APIERR_GENERAL);
  EXPECT_EQ(host.FileDialogs().size(), 1u);
  EXPECT_FALSE(files.Contents("asked.csv").empty());
  EXPECT_FALSE(std::filesystem::exists(files.File(kTarget)));
}

// Cancelled at any of the progress's questions, in a section or a list, the
// table leaves the older file as it was and claims no save; past the last
// question the whole table is written.
TEST_F(CsvTableTest, ACancelAtAnyQuestionKeepsTheOldFileAndShowsNothing)
{
  CsvDoc fixture(host);
  SaveAs("Plan.pln");
  const std::string target = files.File(kTarget).string();
  int cancelled = 0;
  for (Int32 question = 0; question < 1000; ++question) {
    files.Put("old", kTarget);
    const std::size_t alerts = host.Alerts().size();
    host.QueueProgressCancel(question);
    const GSErrCode err = fixture.doc().ToCsv();
    EXPECT_FALSE(host.Progress().open) << question;
    if (err == NoError) {
      EXPECT_NE(files.Contents(kTarget), "old");
      break;
    }
    ++cancelled;
    EXPECT_EQ(err, APIERR_CANCEL) << question;
    EXPECT_EQ(files.Contents(kTarget), "old") << question;
    EXPECT_EQ(host.Alerts().size(), alerts) << question;
    EXPECT_FALSE(std::filesystem::exists(target + ".tmp")) << question;
  }
  // Every figure, block and floor of the document asks once.
  EXPECT_GT(cancelled, 20);
}

TEST_F(CsvTableTest, AFailedWriteIsShownAndLeavesTheOldFile)
{
  struct Case {
    const char* blocked;  // the directory in the way
    bool keepsOld;
  };
  const std::string target = files.File(kTarget).string();
  for (const Case& c : {Case{".tmp", true}, Case{"", false}}) {
    CsvDoc fixture(host);
    SaveAs("Plan.pln");
    std::filesystem::remove_all(target);
    std::filesystem::remove_all(target + ".tmp");
    if (c.keepsOld)
      files.Put("old", kTarget);
    std::filesystem::create_directory(target + c.blocked);
    const std::size_t alerts = host.Alerts().size();
    const GSErrCode err = fixture.doc().ToCsv();
    EXPECT_EQ(err, APIERR_GENERAL) << c.blocked;
    ASSERT_EQ(host.Alerts().size(), alerts + 1);
    EXPECT_EQ(U8(host.Alerts().back().largeText).find("に保存しました"), std::string::npos);
    const std::string text = U8(host.Alerts().back().largeText);
    const std::size_t words = std::min(text.find(" を作成できませんでした。(-2130313215)"),
                                       text.find(" に保存できませんでした。(-2130313215)"));
    EXPECT_TRUE(words != std::string::npos && text.rfind(kTarget, words) != std::string::npos) << text;
    if (c.keepsOld)
      EXPECT_EQ(files.Contents(kTarget), "old");
    else
      EXPECT_TRUE(std::filesystem::is_directory(target));
    EXPECT_EQ(std::filesystem::exists(target + ".tmp"), c.keepsOld) << "only the blocking directory stays";
  }
}

TEST_F(CsvTableTest, FloorTitlesCountStoriesFromOneAndKeepNegativeOnes)
{
  CsvDoc fixture(host);
  CPlenimetraParam& doc = fixture.doc();
  doc.m_FloorParamArray.insert(doc.m_FloorParamArray.begin(), MakeFloor(-1, u"B1"));
  SaveAs("Plan.pln");
  ASSERT_EQ(doc.ToCsv(), NoError);
  std::vector<std::string> titles;
  for (const auto& row : ReadCsv(files.Contents(kTarget)))
    if (row.size() == 4 && row[1] == "記号" && row[0].rfind("パターン", 0) == 0)
      titles.push_back(row[0]);
  EXPECT_EQ(titles, (std::vector<std::string>{"パターン B1(-1)", "パターン 1階(1)", "パターン 2階(2)"}));
}

TEST_F(CsvTableTest, FloorsLeftOutOfThePatternWriteNoSectionButTheListsStay)
{
  CsvDoc fixture(host);
  CPlenimetraParam& doc = fixture.doc();
  doc.m_FloorParamArray.m_bCalcPerFloor = false;
  doc.m_FloorParamArray[0].m_OutputExcludeCodes.Add(PatternDoc::kTopCode);  // output only
  doc.m_FloorParamArray[1].m_CalcExcludeCodes.Add(PatternDoc::kTopCode);
  SaveAs("Plan.pln");
  ASSERT_EQ(doc.ToCsv(), NoError);
  const CsvRows rows = ReadCsv(files.Contents(kTarget));
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0], std::vector<std::string>{"パターン"});
  // Floor 1 is still calculated: the per-floor list has its row.
  bool floorRow = false;
  for (const auto& row : rows)
    floorRow |= !row.empty() && row[0] == "1階" && row.size() == 5;
  EXPECT_TRUE(floorRow);
}

TEST_F(CsvTableTest, PerFloorHeaderGridShowsTheTreeAndDataRowsEndInAComma)
{
  PatternDoc pattern(3);
  CPlenimetraParam& doc = pattern.doc;
  for (int i = 0; i < 3; ++i)
    doc.m_FloorParamArray[std::size_t(i)].m_FloorName = GS::UniString::Printf("%dF", i + 1);
  pattern.AddElement(PatternDoc::kBuildingCode, u"E1");
  pattern.AddElement(PatternDoc::kBuildingCode, u"E2");
  doc.m_bTuboRow = true;
  const CsvRows rows = Lists(doc);
  ASSERT_GE(rows.size(), 11u);
  EXPECT_EQ(rows[0], std::vector<std::string>{"パターン"});
  EXPECT_EQ(rows[1], (std::vector<std::string>{"", "", "", "建物"}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{"", "E1", "E2", ""}));
  EXPECT_EQ(rows[3], std::vector<std::string>{""});
  const std::vector<std::string> firsts{"3F", "2F", "1F", "合計", "合計(坪)"};
  for (std::size_t i = 0; i < firsts.size(); ++i) {
    ASSERT_EQ(rows[4 + i].size(), 5u) << i;
    EXPECT_EQ(rows[4 + i][0], firsts[i]);
    EXPECT_EQ(rows[4 + i][4], "");
  }
  EXPECT_EQ(rows[9], std::vector<std::string>{"各室 パターン"});
  EXPECT_EQ(rows[10].size(), 12u);
  EXPECT_EQ(rows.size(), 11u);
}

TEST_F(CsvTableTest, AnAbortDropsTheUnreachedFloorRowsAndATreeWithoutColumnsStillWritesItsRows)
{
  PatternDoc pattern(3);
  CPlenimetraParam& doc = pattern.doc;
  pattern.AddElement(PatternDoc::kBuildingCode, u"E1");
  host.QueueProgressCancel(0);
  bool aborted = false;
  CsvRows rows = Lists(doc, &aborted);
  EXPECT_TRUE(aborted);
  // Title, two header lines, the empty line, the one floor reached, the total.
  ASSERT_GE(rows.size(), 6u);
  EXPECT_EQ(rows[5][0], "合計");

  PatternDoc bare(2);
  bare.doc.m_AreaTree2.Search(PatternDoc::kTopCode)->m_Child.clear();
  rows = Lists(bare.doc);
  ASSERT_GE(rows.size(), 6u);
  EXPECT_EQ(rows[1], std::vector<std::string>{""});
  EXPECT_EQ(rows[2], std::vector<std::string>{""});
  EXPECT_EQ(rows[3], (std::vector<std::string>{"", ""}));
  EXPECT_EQ(rows[5], (std::vector<std::string>{"合計", ""}));
}

}  // namespace
