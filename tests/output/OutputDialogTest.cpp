// The output dialog, scripted as the user, and the palette's output
// command that runs it.

#include <algorithm>

#include "CDlgOutputToWorksheet.h"
#include "OutputCommand.h"
#include "OutputTestSupport.h"
#include "io_location.h"

namespace {

using pln::host::DialogUser;
using output_test::U8;

// Items appended at run time with two patterns: their check boxes, then the list.
constexpr short kCheckFirst = 10;
constexpr short kCheckSecond = 11;
constexpr short kList = 12;

class OutputDialogTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    host.DefineDialog(CDlgOutputToWorksheet::ResourceId, CDlgOutputToWorksheet::Layout());
    for (std::size_t i = 0; i < 3; ++i)
      doc().m_FloorParamArray[i].m_FloorName = GS::UniString::Printf("%zuF", i + 1);
    second = ++doc().m_LastAreaCode;
    const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
    doc().m_AreaTree2.Insert(&doc(), GS::UniString(u"別案"), second, 0, CAreaTree::KIND_FOLDER, item, item);
    // 2F does not calculate 別案 but lists it as left out; 1F leaves it out.
    doc().m_FloorParamArray.m_bCalcPerFloor = false;
    doc().m_FloorParamArray[1].m_CalcExcludeCodes.Add(second);
    doc().m_FloorParamArray[1].m_OutputExcludeCodes.Add(second);
    doc().m_FloorParamArray[0].m_OutputExcludeCodes.Add(second);
  }

  CPlenimetraParam& doc() { return pattern.doc; }

  static const pln::host::DGListState& List(DialogUser& user)
  {
    return pln::host::DialogItemState(user.DialogId(), kList)->list;
  }
  static std::vector<std::string> Column(DialogUser& user, short column)
  {
    std::vector<std::string> cells;
    for (const auto& row : List(user).rows) {
      auto text = row.texts.find(column);
      cells.push_back(text == row.texts.end() ? "" : U8(text->second));
    }
    return cells;
  }

  short RunDialog(CDlgOutputToWorksheet& dialog, pln::host::DialogScript script)
  {
    host.QueueDialogScript(CDlgOutputToWorksheet::ResourceId, std::move(script));
    return dialog.DoModal();
  }

  HostFixture host;
  PatternDoc pattern{3};
  int second = 0;
};

TEST_F(OutputDialogTest, RowsTopFloorFirstColumnsPerPatternAndNoEditorWhereTheFloorSkipsThePattern)
{
  CDlgOutputToWorksheet dialog(&doc());
  const short closed = RunDialog(dialog, [&](DialogUser& user) {
    EXPECT_EQ(List(user).tabFields.size(), 4u);
    EXPECT_EQ(Column(user, 1), (std::vector<std::string>{"3F", "2F", "1F", "建物面積表"}));
    EXPECT_EQ(Column(user, 2), (std::vector<std::string>{"V", "V", "V", "V"}));
    EXPECT_EQ(Column(user, 3), (std::vector<std::string>{"V", "", "", "V"}));
    EXPECT_EQ(U8(List(user).headers.at(2).text), "パターン");
    EXPECT_FALSE(pln::host::DialogItemState(user.DialogId(), kCheckFirst)->visible);  // no row selected
    user.SelectRows(kList, {2});
    EXPECT_EQ(List(user).tabFields[1].dialItem, kCheckFirst);
    EXPECT_TRUE(pln::host::DialogItemState(user.DialogId(), kCheckFirst)->visible);
    EXPECT_EQ(List(user).tabFields[2].dialItem, DG_NO_ITEM);
    EXPECT_FALSE(pln::host::DialogItemState(user.DialogId(), kCheckSecond)->visible);
    user.SelectRows(kList, {3});
    EXPECT_EQ(List(user).tabFields[2].dialItem, kCheckSecond);
    EXPECT_EQ(DGGetItemValLong(user.DialogId(), kCheckSecond), 0);
    EXPECT_FALSE(pln::host::DialogItemState(user.DialogId(), 3)->enabled);
    user.Click(1);
  });
  EXPECT_EQ(closed, 1);
}

TEST_F(OutputDialogTest, ASwitchAppliesToEverySelectedRowWithoutDuplicates)
{
  CDlgOutputToWorksheet dialog(&doc());
  RunDialog(dialog, [&](DialogUser& user) {
    user.SelectRows(kList, {1, 2, 3});
    user.Check(kCheckSecond, true);
    EXPECT_EQ(Column(user, 3), (std::vector<std::string>{"V", "", "V", "V"}));
    user.Check(kCheckSecond, false);
    user.Check(kCheckSecond, false);
    EXPECT_EQ(Column(user, 3), (std::vector<std::string>{"", "", "", "V"}));
    user.SelectRows(kList, {4});
    user.Check(kCheckFirst, false);
    user.Click(1);
  });
  for (const CFloorParam& floor : dialog.m_FloorParamArray)
    EXPECT_EQ(static_cast<const std::vector<int>&>(floor.m_OutputExcludeCodes), std::vector<int>{second}) << floor.m_FloorNo;
  EXPECT_EQ(static_cast<const std::vector<int>&>(dialog.m_TotalExcludeCodes), std::vector<int>{PatternDoc::kTopCode});
  // The document itself is untouched until the caller takes the values.
  EXPECT_FALSE(doc().m_FloorParamArray[2].m_OutputExcludeCodes.IsExisted2(second));
}

TEST_F(OutputDialogTest, TheFormatIsHiddenForAnUntitledProjectAndHandedBackUnchanged)
{
  doc().m_OutputFileType = 0;
  CDlgOutputToWorksheet untitled(&doc());
  RunDialog(untitled, [&](DialogUser& user) {
    EXPECT_FALSE(pln::host::DialogItemState(user.DialogId(), 6)->visible);
    EXPECT_FALSE(pln::host::DialogItemState(user.DialogId(), 6)->enabled);
    EXPECT_TRUE(pln::host::DialogItemState(user.DialogId(), 7)->enabled);
    user.Check(4, true);  // CSV: the layout goes grey
    EXPECT_FALSE(pln::host::DialogItemState(user.DialogId(), 7)->enabled);
    user.Click(1);
  });
  EXPECT_EQ(untitled.m_OutputFileType, 0);
  EXPECT_EQ(untitled.m_OutputMode, 3);

  host.UserSaveProjectAs(IO::Location(GS::UniString(u"Projects/Plan.pln")));
  CDlgOutputToWorksheet saved(&doc());
  RunDialog(saved, [&](DialogUser& user) {
    EXPECT_TRUE(pln::host::DialogItemState(user.DialogId(), 6)->visible);
    user.Click(2);
  });
}

TEST_F(OutputDialogTest, HeaderWidthsAreKeptBetweenOpenings)
{
  CDlgOutputToWorksheet first(&doc());
  RunDialog(first, [&](DialogUser& user) {
    user.HeaderResize(kList, 2, 15);
    user.Click(1);
  });
  CDlgOutputToWorksheet reopened(&doc());
  RunDialog(reopened, [&](DialogUser& user) {
    const DGTabFieldData& field = List(user).tabFields[1].data;
    EXPECT_EQ(field.end - field.begin, 35);
    user.Click(2);
  });
}

// The header keeps the sizing and dragging it has and only becomes clickable.
TEST_F(OutputDialogTest, HeaderFlagsAreReadBeforeTheClickableFlagIsSwitchedOn)
{
  host.ClearCallLog();
  CDlgOutputToWorksheet dialog(&doc());
  RunDialog(dialog, [&](DialogUser& user) {
    EXPECT_TRUE(List(user).clickable);
    user.Click(2);
  });
  const std::vector<std::string>& log = host.CallLog();
  const auto set = std::find(log.begin(), log.end(), "DGListSetHeaderFlags");
  ASSERT_NE(set, log.end());
  EXPECT_NE(std::find(log.begin(), set, "DGListGetHeaderFlags"), set);
}

// Choices that could not be saved are reported once and nothing is written
// from them.
TEST_F(OutputDialogTest, AFailedSaveOfTheChoicesIsReportedAndWritesNothing)
{
  host.LoadAddOnLibraryParts();
  std::filesystem::create_directories(pln::host::ToFsPath(IO::Location(GS::UniString(u"Projects"))));
  host.UserSaveProjectAs(IO::Location(GS::UniString(u"Projects/Plan.pln")));
  doc().m_EnvParam.m_Area1Layer = 1;
  doc().m_EnvParam.m_ListLayer = 1;
  host.QueueDialogScript(CDlgOutputToWorksheet::ResourceId, [](DialogUser& user) {
    user.Check(4, true);
    user.Click(1);
  });
  // The first store is the closing dialog's column widths, the second the
  // project's choices.
  host.FailOnce("ACAPI_ModulData_Store", APIERR_MEMFULL);
  host.FailOnce("ACAPI_ModulData_Store", APIERR_MEMFULL);
  const std::size_t alerts = host.Alerts().size();
  EXPECT_EQ(RunOutputCommand(doc()), APIERR_MEMFULL);
  EXPECT_EQ(host.Alerts().size(), alerts + 1);
  EXPECT_FALSE(std::filesystem::exists(pln::host::ToFsPath(IO::Location(GS::UniString(u"Projects/Plan　求積表.csv")))));
}

TEST_F(OutputDialogTest, TheCommandCancelledChangesNothingAndOkRunsTheChosenOutput)
{
  host.LoadAddOnLibraryParts();
  ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
  ASSERT_EQ(host.AddStory(2, 6.0, GS::UniString(u"3F")), NoError);
  std::filesystem::create_directories(pln::host::ToFsPath(IO::Location(GS::UniString(u"Projects"))));
  doc().m_EnvParam.m_Area1Layer = 1;
  doc().m_EnvParam.m_ListLayer = 1;
  const CPlenimetraParam before = doc();
  host.QueueDialogScript(CDlgOutputToWorksheet::ResourceId, [](DialogUser& user) {
    user.Check(8, true);
    user.Check(4, true);
    user.Click(2);
  });
  EXPECT_EQ(RunOutputCommand(doc()), NoError);
  EXPECT_EQ(doc().m_bTuboRow, before.m_bTuboRow);
  EXPECT_EQ(doc().m_OutputMode, 2);
  EXPECT_FALSE(host.ModulData(GS::UniString(CPlenimetraParam::kRecordName)).has_value());

  // A stored spreadsheet mode opens as worksheets; CSV is chosen.
  doc().m_OutputMode = 1;
  host.UserSaveProjectAs(IO::Location(GS::UniString(u"Projects/Plan.pln")));
  host.QueueDialogScript(CDlgOutputToWorksheet::ResourceId, [](DialogUser& user) {
    EXPECT_EQ(DGGetItemValLong(user.DialogId(), 5), 1);
    user.Check(4, true);
    user.Click(1);
  });
  EXPECT_EQ(RunOutputCommand(doc()), NoError);
  EXPECT_EQ(doc().m_OutputMode, 3);
  EXPECT_TRUE(host.ModulData(GS::UniString(CPlenimetraParam::kRecordName)).has_value());
  EXPECT_TRUE(std::filesystem::exists(pln::host::ToFsPath(IO::Location(GS::UniString(u"Projects/Plan　求積表.csv")))));

  // Worksheets.
  host.QueueDialogScript(CDlgOutputToWorksheet::ResourceId, [](DialogUser& user) {
    user.Check(5, true);
    user.Click(1);
  });
  EXPECT_EQ(RunOutputCommand(doc()), NoError);
  EXPECT_TRUE(host.WorksheetNamed(GS::UniString(u"パターン 1F")).has_value());
  EXPECT_TRUE(host.WorksheetNamed(GS::UniString(u"別案 建物面積表")).has_value());
}

}  // namespace
