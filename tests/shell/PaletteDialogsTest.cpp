// The palette's settings and output buttons through their dialogs, and
// the add-on's table of dialog layouts.

#include "ShellTestSupport.h"

#include "CDlgEnvironment.h"
#include "CDlgOutputToWorksheet.h"
#include "host_model.h"

#include <map>

namespace {

using pln::host::DialogUser;

constexpr short kTabs = 7;
constexpr short kRoundingTab = 1;
constexpr short kGeneralTab = 2;
constexpr short kTotalTab = 6;
constexpr short kTsuboField = 15;

TEST(PlenimetraResourcesTest, EveryDialogLayoutIsDeclaredOnce)
{
  std::map<short, int> declared;
  for (const pln::host::AddOnDialog& dialog : PlenimetraResources().dialogs)
    ++declared[dialog.resId];
  for (const auto& [id, count] : declared)
    EXPECT_EQ(count, 1) << id;
  for (short id : {32400, 32500, 32501, 32502, 32503, 32504, 32505, 32506, 32508, 32512, 32514, 32517, 32518, 32522,
                   32523, 32524, 32525, 32526, 32529, 32532, 32533, 32534, 32536, 32537, 32538, 32539})
    EXPECT_EQ(declared.count(id), 1u) << id;
}

class PaletteDialogsTest : public ShellTest {
protected:
  PaletteDialogsTest() { EXPECT_EQ(Menu(), NoError); }

  std::optional<pln::host::StoredModulData> Record() const
  {
    return host.ModulData(GS::UniString(CPlenimetraParam::kRecordName));
  }
  GS::UniString PatternName() { return doc().GetAreaObject(doc().m_CurTreeCode)->m_Name.m_DefaultName; }
  std::optional<API_DatabaseUnId> Sheet(const GS::UniString& suffix) const
  {
    return host.WorksheetNamed(patternName + suffix);
  }

  GS::UniString patternName;
};

TEST_F(PaletteDialogsTest, SettingsOkAndYesApplySaveAndSurviveReopening)
{
  const std::optional<pln::host::StoredModulData> before = Record();
  host.QueueDialogScript(CDlgEnvironment::ResourceId, [](DialogUser& dialog) {
    dialog.TabPage(kTabs, kGeneralTab).SetDouble(kTsuboField, 0.5);
    dialog.TabPage(kTabs, kTotalTab).SetLong(4, 9);
    dialog.Click(1);
  });
  host.QueueAlertAnswer(1);
  user().Click(4);
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_EQ(host.Alerts()[0].largeText, GS::UniString(u"更新を適用します。よろしいですか？"));
  EXPECT_DOUBLE_EQ(doc().m_EnvParam.m_TuboFactor, 0.5);
  EXPECT_EQ(doc().m_EnvParam.m_TotalAreaParam.m_RowHeight, 9);
  ASSERT_TRUE(Record().has_value());
  EXPECT_FALSE(Record() == before);
  const CEnvParam applied = doc().m_EnvParam;

  host.UserSaveProjectAs(IO::Location(GS::UniString(u"Projects/Plan.pln")));
  ASSERT_EQ(host.UserReopenProject(), NoError);
  ASSERT_FALSE(palette().IsToolPaletteOpened());
  ASSERT_EQ(Menu(), NoError);
  EXPECT_TRUE(doc().m_EnvParam == applied);
}

TEST_F(PaletteDialogsTest, SettingsCancelAfterEditsChangesNothing)
{
  const CEnvParam env = doc().m_EnvParam;
  const CEnvParam reference = doc().m_EnvParam2;
  const GS::UniString path = doc().m_EnvPath;
  const std::optional<pln::host::StoredModulData> record = Record();
  const std::vector<GS::UniString> undo = host.UndoNames();
  host.QueueDialogScript(CDlgEnvironment::ResourceId, [](DialogUser& dialog) {
    dialog.TabPage(kTabs, kRoundingTab).SetLong(20, 0);
    dialog.TabPage(kTabs, kGeneralTab).SetDouble(kTsuboField, 0.5);
    dialog.TabPage(kTabs, kTotalTab).SetLong(6, 5);
    dialog.Click(2);
  });
  user().Click(4);
  EXPECT_TRUE(doc().m_EnvParam == env);
  EXPECT_TRUE(doc().m_EnvParam2 == reference);
  EXPECT_EQ(doc().m_EnvPath, path);
  EXPECT_TRUE(Record() == record);
  EXPECT_EQ(host.UndoNames(), undo);
  EXPECT_TRUE(host.Alerts().empty());
}

// B1 and 3F are left out: one output writes the sheets of 1F and 2F,
// each with its floor's figure copied, and the summary.
TEST_F(PaletteDialogsTest, OutputWritesTheSheetsOfTheCalculatedFloors)
{
  PlaceRect(0, 0, 0, 2, 3);
  PlaceRect(1, 0, 0, 4, 5);
  for (short story : {-1, 2})
    Floor(story).m_OutputExcludeCodes.Add(doc().m_CurTreeCode);
  patternName = PatternName();
  host.QueueDialogScript(CDlgOutputToWorksheet::ResourceId, [](DialogUser& dialog) { dialog.Click(1); });
  user().Click(3);
  EXPECT_TRUE(host.Alerts().empty());
  EXPECT_FALSE(Sheet(u" B1").has_value());
  EXPECT_FALSE(Sheet(u" 3F").has_value());
  EXPECT_TRUE(Sheet(u" 建物面積表").has_value());
  for (const char16_t* story : {u" 1F", u" 2F"}) {
    const std::optional<API_DatabaseUnId> sheet = Sheet(story);
    ASSERT_TRUE(sheet.has_value());
    std::size_t copies = 0;
    for (const pln::host::StoredElement* object : host.ElementsIn(*sheet, API_ObjectID))
      copies += host.Parameter(object->element.header.guid, "area_symbol_str") != nullptr ? 1 : 0;
    EXPECT_EQ(copies, 1u);
  }
  EXPECT_TRUE(Enabled(3));
}

// A failed sheet is reported once, not again by the palette.
TEST_F(PaletteDialogsTest, AFailedOutputIsReportedOnce)
{
  host.FailOnce("ACAPI_Database:NDAT", APIERR_MEMFULL);
  host.QueueDialogScript(CDlgOutputToWorksheet::ResourceId, [](DialogUser& dialog) { dialog.Click(1); });
  user().Click(3);
  EXPECT_EQ(host.Alerts().size(), 1u);
}

}  // namespace
