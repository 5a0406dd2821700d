// The worksheet output as the palette's command runs it replaces every
// sheet or none: a cancel at any of the progress's questions, or a host
// failure anywhere, leaves each sheet element for element as it was.

#include "../AlertWords.h"
#include "CDlgOutputToWorksheet.h"
#include "OutputCommand.h"
#include "OutputTestSupport.h"
#include "CGSUtil.h"
#include "COutputWorksheets.h"
#include "host_errors.h"
#include "host_model.h"

#include <algorithm>
#include <map>

namespace {

using output_test::U8;
using pln::host::DialogUser;
using pln::host::StoredElement;

// Every element of every worksheet, by sheet name and creation order.
using Sheets = std::map<std::string, std::vector<std::pair<API_Guid, StoredElement>>>;

class OutputAllOrNothingTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    host.LoadAddOnLibraryParts();
    host.DefineDialog(CDlgOutputToWorksheet::ResourceId, CDlgOutputToWorksheet::Layout());
    ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
    output_test::RoomsOnTwoFloors(host, pattern, 1, {0, 0, 0, 1, 1});
  }

  CPlenimetraParam& doc() { return pattern.doc; }

  // The output command with worksheets chosen.
  GSErrCode Output()
  {
    return output_test::OutputWorksheets(host, doc());
  }

  Sheets State() const
  {
    Sheets sheets;
    for (const char16_t* name : {u"パターン 1F", u"パターン 2F", u"パターン 建物面積表"}) {
      auto& elements = sheets[U8(GS::UniString(name))];
      if (const auto id = host.WorksheetNamed(GS::UniString(name)))
        for (const StoredElement* element : host.ElementsIn(*id, API_ZombieElemID))
          elements.emplace_back(element->element.header.guid, *element);
    }
    return sheets;
  }

  // How often a clean output asks whether the user cancelled.
  std::ptrdiff_t Questions()
  {
    host.ClearCallLog();
    EXPECT_EQ(Output(), NoError);
    return std::count(host.CallLog().begin(), host.CallLog().end(), std::string("ACAPI_Interface:CANC"));
  }

  HostFixture host;
  PatternDoc pattern{2};
};

TEST_F(OutputAllOrNothingTest, ACancelAtAnyQuestionLeavesEverySheetAsItWasAndShowsNothing)
{
  const std::ptrdiff_t questions = Questions();
  ASSERT_GT(questions, 10);  // the figure copies of both floors, the summary's totals
  const Sheets before = State();
  ASSERT_GT(before.at("パターン 1F").size(), 3u);
  ASSERT_GT(before.at("パターン 建物面積表").size(), 10u);
  const std::size_t steps = host.UndoNames().size();
  for (std::ptrdiff_t k = 0; k < questions; ++k) {
    host.QueueProgressCancel(Int32(k));
    EXPECT_EQ(Output(), APIERR_CANCEL) << "question " << k;
    EXPECT_TRUE(State() == before) << "cancelled at question " << k;
    EXPECT_EQ(host.UndoNames().size(), steps) << "question " << k;
    EXPECT_FALSE(host.Progress().open);
  }
  EXPECT_TRUE(host.Alerts().empty());
}

// A cancelled output whose drawing cannot be taken back is not silent: the
// host's refusal is shown.
TEST_F(OutputAllOrNothingTest, ACancelThatCannotBeTakenBackIsShown)
{
  ASSERT_EQ(Output(), NoError);
  host.QueueProgressCancel(2);
  host.FailOnce("ACAPI_Element_Delete", APIERR_MEMFULL);
  EXPECT_EQ(Output(), APIERR_MEMFULL);
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_NE(U8(host.Alerts()[0].largeText).find("APIERR_MEMFULL"), std::string::npos);
  EXPECT_TRUE(SaysInWords(host.Alerts()[0].largeText)) << U8(host.Alerts()[0].largeText);
}

TEST_F(OutputAllOrNothingTest, AWholeOutputIsOneUndoStepThatBringsTheEarlierSheetsBack)
{
  ASSERT_EQ(Output(), NoError);
  const Sheets first = State();
  const std::size_t steps = host.UndoNames().size();
  ASSERT_EQ(Output(), NoError);
  const Sheets second = State();
  EXPECT_FALSE(second == first);
  for (const auto& [name, elements] : second)
    EXPECT_EQ(elements.size(), first.at(name).size()) << name;
  ASSERT_EQ(host.UndoNames().size(), steps + 1);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[出力]"));
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_TRUE(State() == first);
}

TEST_F(OutputAllOrNothingTest, AHostFailureAnywhereIsShownOnceAndLeavesEverySheetAsItWas)
{
  ASSERT_EQ(Output(), NoError);
  host.ClearCallLog();
  ASSERT_EQ(Output(), NoError);
  const std::vector<std::string> log = host.CallLog();
  const Sheets before = State();
  for (const char* call : {"ACAPI_Element_Create", "ACAPI_Element_SetUserData", "ACAPI_Goodies:CHGP",
                           "ACAPI_Element_Delete", "ACAPI_Element_GetHeader", "ACAPI_Automate:CHWD",
                           "ACAPI_Element_GetUserData"}) {
    const std::ptrdiff_t made = std::count(log.begin(), log.end(), std::string(call));
    ASSERT_GT(made, 0) << call;
    for (std::ptrdiff_t k : {std::ptrdiff_t(1), (made + 1) / 2, made}) {
      const std::size_t alerts = host.Alerts().size();
      for (std::ptrdiff_t i = 1; i < k; ++i)
        host.FailOnce(call, NoError);
      host.FailOnce(call, APIERR_MEMFULL);
      EXPECT_EQ(Output(), APIERR_MEMFULL) << call << " #" << k;
      EXPECT_EQ(host.Alerts().size(), alerts + 1) << call << " #" << k;
      EXPECT_TRUE(SaysInWords(host.Alerts().back().largeText)) << call << " #" << k;
      EXPECT_TRUE(State() == before) << call << " #" << k;
    }
  }
}

// The summaries write the story names in the default code. A name it
// cannot hold, or reads back as another character, refuses the output
// before any sheet is touched, naming the story and the character; left
// out of the summaries, the story's sheet keeps its name as it is.
TEST_F(OutputAllOrNothingTest, AStoryNameTheSummaryCannotHoldRefusesTheOutputNamingTheStory)
{
  ASSERT_EQ(Output(), NoError);
  const Sheets before = State();
  pln::host::Story& story = *std::find_if(pln::host::TheModel().stories.begin(), pln::host::TheModel().stories.end(),
                                          [](const pln::host::Story& s) { return s.index == 1; });
  const std::pair<const char16_t*, const char16_t*> characters[] = {
      {u"é", u"(U+00E9)"}, {u"丂", u"(U+4E02)"}, {u"😀", u"(U+1F600)"}, {u"〜", u"(U+301C)"}, {u"−", u"(U+2212)"}};
  for (const auto& [character, codePoint] : characters) {
    const GS::UniString name = GS::UniString(u"2F") + character;
    story.name = name;
    doc().m_FloorParamArray[1].m_FloorName = CGSUtil::GetFlrName(1);  // as the next load reads it
    const std::size_t alerts = host.Alerts().size();
    EXPECT_EQ(Output(), APIERR_CANCEL) << U8(name);
    ASSERT_EQ(host.Alerts().size(), alerts + 1) << U8(name);
    EXPECT_EQ(host.Alerts().back().largeText, GS::UniString(u"フロア名「") + name + u"」を出力できません。使用できない文字「" +
                                                  character + u"」" + codePoint + u"が含まれています");
    EXPECT_TRUE(State() == before) << U8(name);
    EXPECT_FALSE(host.WorksheetNamed(GS::UniString(u"パターン ") + name).has_value()) << U8(name);
  }
  doc().m_TotalExcludeCodes.Add(PatternDoc::kTopCode);
  const std::size_t alerts = host.Alerts().size();
  EXPECT_EQ(Output(), NoError);
  EXPECT_EQ(host.Alerts().size(), alerts);
  EXPECT_TRUE(host.WorksheetNamed(GS::UniString(u"パターン 2F−")).has_value());
}

// The summary writes its texts in the default code and checks each: a text
// it cannot hold (here a name the record would have refused, so the
// command, which saves first, never gets this far) is not written with a
// stand-in character; the output is refused once, naming the character,
// and every sheet stays as it was.
TEST_F(OutputAllOrNothingTest, ASummaryTextTheDefaultCodeCannotHoldIsRefusedOnceAndUndoesTheOutput)
{
  ASSERT_EQ(Output(), NoError);
  const Sheets before = State();
  for (CArea2Object& element : doc().m_Area2ObjectArray)
    element.m_Name.m_DefaultName = u"居室€";
  const std::size_t alerts = host.Alerts().size();
  COutputWorksheets sheets;
  EXPECT_EQ(sheets.Run(doc()), APIERR_CANCEL);
  ASSERT_EQ(host.Alerts().size(), alerts + 1);
  EXPECT_EQ(host.Alerts().back().largeText, GS::UniString(u"使用できない文字「€」(U+20AC)が含まれています"));
  EXPECT_TRUE(State() == before);
}

}  // namespace
