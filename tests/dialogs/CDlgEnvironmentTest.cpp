// The settings dialog as a whole: what it shows at opening, which page a
// message reaches, the "カスタム" indicator, import and export of the
// settings file, OK and Cancel, and the refusal of values the settings
// cannot hold.

#include "EnvDialogTestSupport.h"

#include "GetAppDataPath.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace envtest;

namespace {

const GS::UniString kCustom(u"カスタム");

TEST_F(EnvDialogTest, OpeningShowsThePathAndTheStandardTableWithNoIndicator)
{
  CDlgEnvironment dialog(&doc);
  Run(dialog, [](DialogUser& user, CDlgEnvironment&) {
    EXPECT_EQ(TextOf(user, 5), GS::UniString(kPath));
    EXPECT_EQ(Indicator(user), GS::UniString());
    const DialogUser tab = user.TabPage(kTabs, kRounding);
    EXPECT_EQ(PopUpText(tab, 4), GS::UniString(u"標準設定"));
    const std::pair<short, const char16_t*> shown[] = {
        {6, u"切り捨て"}, {7, u"小数点第6位"}, {9, u"切り捨て"}, {10, u"小数点第2位"}, {12, u"切り捨て"},
        {13, u"小数点第2位"}, {15, u"切り捨て"}, {16, u"0.1mm単位"}, {18, u"切り捨て"}, {19, u"3.14"}};
    for (const auto& [item, text] : shown)
      EXPECT_EQ(PopUpText(tab, item), GS::UniString(text)) << item;
    const std::vector<GS::UniString> pis = PopUpTexts(tab, 19);
    ASSERT_EQ(pis.size(), 8u);
    EXPECT_EQ(pis.back(), GS::UniString(u"3.141592653"));
    EXPECT_EQ(PopUpTexts(tab, 6),
              (std::vector<GS::UniString>{u"四捨五入", u"切り捨て", u"切り上げ"}));
    EXPECT_EQ(PopUpTexts(tab, 16), (std::vector<GS::UniString>{u"0.1mm単位", u"1mm単位"}));
    EXPECT_FALSE(Enabled(tab, 18));
  });
}

// Each message goes to the page whose panel sent it, and only a change or
// a click refreshes the indicator.
TEST_F(EnvDialogTest, MessagesReachThePageTheyCameFrom)
{
  enum class Act { Change, Real, Track };
  struct Row {
    Tab tab;
    Act act;
    short item;
    double value;
    std::function<bool(const CEnvParam&)> changed;
    bool indicator;
  };
  const Row rows[] = {
      {kRounding, Act::Change, 20, 0, [](const CEnvParam& e) { return !e.m_RoundTypeParamArray[0].m_RoundUpNextDigit; }, true},
      {kGeneral, Act::Change, 4, 1, [](const CEnvParam& e) { return e.m_LengthComma; }, true},
      {kCommon, Act::Change, 14, 0, [](const CEnvParam& e) { return !e.m_AttributeCommonParamArray.at(0).m_bSizeFlag; }, true},
      {kTables, Act::Real, 26, 7.5, [](const CEnvParam& e) { return e.m_ListAttr1.m_TextSize == 7.5; }, true},
      {kTotal, Act::Change, 2, 20, [](const CEnvParam& e) { return e.m_TotalAreaParam.m_ColWidth == 20; }, true},
      {kPolygons, Act::Track, 6, 3, [](const CEnvParam& e) { return e.m_TriangleAttr.m_area_in_pen == 3; }, false},
      {kCurves, Act::Track, 13, 4, [](const CEnvParam& e) { return e.m_ArcAttr.m_area_perline_pen == 4; }, false},
      {kCurves, Act::Change, 3, 0, [](const CEnvParam& e) { return !e.m_ArcAttr.m_area_fan_disp; }, true},
  };
  for (const Row& row : rows) {
    CDlgEnvironment dialog(&doc);
    Run(dialog, [&](DialogUser& user, CDlgEnvironment& dlg) {
      DialogUser page = user.TabPage(kTabs, row.tab);
      if (row.act == Act::Change)
        page.SetLong(row.item, Int32(row.value));
      else if (row.act == Act::Real)
        page.SetDouble(row.item, row.value);
      else
        page.Track(row.item, Int32(row.value));
      EXPECT_TRUE(row.changed(dlg.m_EnvParam)) << row.tab << "/" << row.item;
      EXPECT_EQ(Indicator(user), row.indicator ? kCustom : GS::UniString()) << row.tab << "/" << row.item;
    });
  }
}

TEST_F(EnvDialogTest, TheIndicatorFollowsTheCopyAndATrackedPenWaitsForTheNextChange)
{
  CDlgEnvironment dialog(&doc);
  Run(dialog, [](DialogUser& user, CDlgEnvironment& dlg) {
    DialogUser general = user.TabPage(kTabs, kGeneral);
    general.Check(5, true);
    EXPECT_EQ(Indicator(user), kCustom);
    general.Check(5, false);
    EXPECT_EQ(Indicator(user), GS::UniString());

    DialogUser total = user.TabPage(kTabs, kTotal);
    total.Track(19, 7);
    EXPECT_EQ(dlg.m_EnvParam.m_TotalAreaParam.m_TextPen, 7);
    EXPECT_EQ(ItemOf(total, 18).valLong, 7);
    EXPECT_EQ(Indicator(user), GS::UniString());
    user.Click(4);  // export, cancelled: the dialog's own click refreshes nothing...
    EXPECT_EQ(Indicator(user), GS::UniString());
    user.TabPage(kTabs, kRounding).Click(2);  // ...a page's does (rename, cancelled)
    EXPECT_EQ(Indicator(user), kCustom);
  });
}

TEST_F(EnvDialogTest, OkHandsBackTheCopiesAndCancelLeavesTheDocumentAlone)
{
  const CEnvParam before = doc.m_EnvParam;
  host.QueueDialogScript(CDlgEnvironment::ResourceId, [](DialogUser& user) {
    user.TabPage(kTabs, kGeneral).SetDouble(15, 0.5);
    user.TabPage(kTabs, kTotal).SetLong(4, 9);
    user.Click(1);
  });
  const auto result = RunEnvironmentDialog(doc);
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->m_EnvParam.m_TuboFactor, 0.5);
  EXPECT_EQ(result->m_EnvParam.m_TotalAreaParam.m_RowHeight, 9);
  EXPECT_TRUE(result->m_EnvParamRef == before);
  EXPECT_EQ(result->m_PathName, GS::UniString(kPath));
  EXPECT_TRUE(result->m_ParamArrayOrg == before.m_PatternArray);
  EXPECT_TRUE(doc.m_EnvParam == before);  // the apply step is the palette's

  // Edits on every page and an import, then Cancel.
  CEnvParam other;
  other.m_TuboFactor = 0.25;
  ASSERT_TRUE(other.SaveData(PathOf("other.dat")));
  const auto alertsBefore = host.Alerts().size();
  host.QueueFileChoice(IO::Location(PathOf("other.dat")));
  host.QueueDialogScript(CDlgEnvironment::ResourceId, [](DialogUser& user) {
    user.TabPage(kTabs, kRounding).SetLong(20, 0);
    user.TabPage(kTabs, kGeneral).Check(4, true);
    user.TabPage(kTabs, kCommon).Check(28, true);
    user.TabPage(kTabs, kTables).SetDouble(3, 9);
    user.TabPage(kTabs, kTotal).SetLong(6, 5);
    user.TabPage(kTabs, kPolygons).SetLong(5, 4);
    user.TabPage(kTabs, kCurves).SetLong(5, 4);
    user.Click(3);
    user.Click(2);
  });
  EXPECT_FALSE(RunEnvironmentDialog(doc).has_value());
  EXPECT_TRUE(doc.m_EnvParam == before);
  EXPECT_TRUE(doc.m_EnvParam2 == before);
  EXPECT_EQ(doc.m_EnvPath, GS::UniString(kPath));
  EXPECT_EQ(host.Alerts().size(), alertsBefore);
  EXPECT_TRUE(host.UndoNames().empty());
  EXPECT_FALSE(host.ModulData(GS::UniString(CPlenimetraParam::kRecordName)).has_value());
}

// Export, import in a dialog on default settings, export again: same bytes.
TEST_F(EnvDialogTest, AnExportedFileImportsWithItsValuesOnEveryPageAndExportsToTheSameBytes)
{
  CDlgEnvironment first(&doc);
  host.QueueFileChoice(IO::Location(PathOf("a.dat")));
  Run(first, [](DialogUser& user, CDlgEnvironment&) {
    user.TabPage(kTabs, kGeneral).SelectPopUp(17, 4);
    user.TabPage(kTabs, kTables).SetLong(20, 33);
    user.TabPage(kTabs, kPolygons).SelectPopUp(3, 2);
    user.TabPage(kTabs, kCurves).SetDouble(25, 1.25);
    user.Click(4);
    EXPECT_EQ(TextOf(user, 5), GS::UniString(kPath));
    EXPECT_EQ(Indicator(user), kCustom);
  });
  const std::string bytes = Contents("a.dat");
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x18\0\0\0", 4));

  doc.m_EnvParam = CEnvParam();
  doc.m_EnvParam2 = CEnvParam();
  doc.m_EnvPath.Clear();
  CDlgEnvironment second(&doc);
  host.QueueFileChoice(IO::Location(PathOf("a.dat")));
  host.QueueFileChoice(IO::Location(PathOf("b.dat")));
  Run(second, [this](DialogUser& user, CDlgEnvironment& dlg) {
    user.Click(3);
    EXPECT_EQ(TextOf(user, 5), PathOf("a.dat"));
    EXPECT_EQ(Indicator(user), GS::UniString());
    EXPECT_EQ(PopUpText(user.TabPage(kTabs, kGeneral), 17), GS::UniString(u"1mm未満を0とする"));
    EXPECT_EQ(ItemOf(user.TabPage(kTabs, kTables), 20).valLong, 33);
    EXPECT_EQ(PopUpText(user.TabPage(kTabs, kPolygons), 3), GS::UniString(u"／"));
    EXPECT_EQ(ItemOf(user.TabPage(kTabs, kCurves), 25).valDouble, 1.25);
    EXPECT_EQ(PopUpText(user.TabPage(kTabs, kPatterns), 7), GS::UniString(u"計算"));
    EXPECT_EQ(dlg.m_EnvParam.m_SnapType, 3);
    user.Click(4);
  });
  EXPECT_EQ(Contents("b.dat"), bytes);
}

// The file is named through the default code: a name it cannot hold, or
// reads back as another character, would land on the file its stand-in
// names. Export is refused like import, naming the character, and the
// folder stays exactly as it was.
TEST_F(EnvDialogTest, AnExportToAFileNameTheDefaultCodeCannotHoldIsRefused)
{
  const char* const others[] = {"設定?.dat", "設定～.dat", "設定－.dat"};
  for (const char* other : others)
    Put(other, "another file the user keeps");
  const auto folderContents = [this] {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      files.emplace_back(name, Contents(name.c_str()));
    }
    std::sort(files.begin(), files.end());
    return files;
  };
  const auto before = folderContents();
  const std::pair<const char16_t*, const char16_t*> names[] = {
      {u"é", u"(U+00E9)"}, {u"丂", u"(U+4E02)"}, {u"😀", u"(U+1F600)"}, {u"〜", u"(U+301C)"}, {u"−", u"(U+2212)"}};
  for (const auto& [character, codePoint] : names) {
    const GS::UniString path = PathOf("設定") + character + u".dat";
    const GS::UniString refusal = GS::UniString(u"使用できない文字「") + character + u"」" + codePoint + u"が含まれています";
    CDlgEnvironment dialog(&doc);
    host.QueueFileChoice(IO::Location(path));
    const std::size_t alerts = host.Alerts().size();
    Run(dialog, [&](DialogUser& user, CDlgEnvironment&) {
      user.TabPage(kTabs, kGeneral).SetDouble(15, 0.4);
      user.Click(4);
    });
    ASSERT_EQ(host.Alerts().size(), alerts + 1) << path.ToStdString(CC_UTF8);
    EXPECT_EQ(host.Alerts().back().largeText, refusal);
    EXPECT_EQ(folderContents(), before) << path.ToStdString(CC_UTF8);
  }
}

TEST_F(EnvDialogTest, ASettingsFileInTheUserFolderStartsTheNextProject)
{
  const GS::UniString target = GS::UniString(GetAppDataPath().c_str()) + u"メンセラ　設定ファイル.dat";
  CDlgEnvironment dialog(&doc);
  host.QueueFileChoice(IO::Location(target));
  Run(dialog, [](DialogUser& user, CDlgEnvironment&) {
    user.TabPage(kTabs, kGeneral).SetDouble(15, 0.4);
    user.Click(4);
  });
  CPlenimetraParam next;
  next.LoadDefault();
  EXPECT_EQ(next.m_EnvParam.m_TuboFactor, 0.4);
  EXPECT_EQ(next.m_EnvPath, target);
  CEnvParam written;
  ASSERT_TRUE(written.LoadData(target));
  EXPECT_TRUE(next.m_EnvParam == written);
}

// A refused file leaves the working copy, empties the path and measures
// the copy against the defaults from then on.
TEST_F(EnvDialogTest, AFileOfAnotherVersionOrCutShortChangesNothingButThePathAndTheReference)
{
  CEnvParam saved;
  ASSERT_TRUE(saved.SaveData(PathOf("whole.dat")));
  std::string newer = Contents("whole.dat");
  newer[0] = 25;
  Put("newer.dat", newer);
  Put("short.dat", Contents("whole.dat").substr(0, 40));
  const std::pair<const char*, GS::UniString> cases[] = {
      {"newer.dat", GS::UniString(u"ファイルのバージョンが異なります")},
      {"short.dat", PathOf("short.dat") + u"が読み込めません"},
  };
  for (const auto& testCase : cases) {
    const char* name = testCase.first;
    const GS::UniString& message = testCase.second;
    CDlgEnvironment dialog(&doc);
    host.QueueFileChoice(IO::Location(PathOf(name)));
    Run(dialog, [&](DialogUser& user, CDlgEnvironment& dlg) {
      user.TabPage(kTabs, kGeneral).Check(4, true);
      const CEnvParam before = dlg.m_EnvParam;
      const auto alerts = host.Alerts().size();
      user.Click(3);
      EXPECT_TRUE(dlg.m_EnvParam == before) << name;
      EXPECT_TRUE(dlg.m_EnvParamRef == CEnvParam()) << name;
      EXPECT_EQ(TextOf(user, 5), GS::UniString()) << name;
      EXPECT_EQ(Indicator(user), kCustom) << name;
      ASSERT_EQ(host.Alerts().size(), alerts + 1) << name;
      EXPECT_EQ(host.Alerts().back().largeText, message) << name;
    });
  }
}

// Every seed of the settings reader's fuzz corpus is either taken whole
// (path shown, reference = copy) or refused with the copy untouched.
TEST_F(EnvDialogTest, ImportOfEveryCorpusFileIsWholeOrNothing)
{
  const std::filesystem::path corpus = std::filesystem::path(PLN_FUZZ_CORPUS) / "fuzz_doc_settingsfile";
  int taken = 0, refused = 0;
  CDlgEnvironment dialog(&doc);
  Run(dialog, [&](DialogUser& user, CDlgEnvironment& dlg) {
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
      std::ifstream in(entry.path(), std::ios::binary);
      Put("seed.dat", std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
      user.TabPage(kTabs, kGeneral).SetDouble(15, 0.75);
      const CEnvParam before = dlg.m_EnvParam;
      host.QueueFileChoice(IO::Location(PathOf("seed.dat")));
      const auto alerts = host.Alerts().size();
      user.Click(3);
      if (dlg.m_PathName.IsEmpty()) {
        ++refused;
        EXPECT_TRUE(dlg.m_EnvParam == before) << entry.path();
        EXPECT_EQ(host.Alerts().size(), alerts + 1) << entry.path();
      } else {
        ++taken;
        EXPECT_TRUE(dlg.m_EnvParam == dlg.m_EnvParamRef) << entry.path();
      }
    }
    user.Click(2);
  });
  EXPECT_GT(taken, 0);
  EXPECT_GT(refused, 0);
}

// Values the settings cannot hold are refused on every page: the alert,
// the stored value back in the field, the copy and indicator unchanged.
TEST_F(EnvDialogTest, ValuesTheSettingsCannotHoldAreRefused)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  enum class Act { Real, Long, Track };
  struct Row {
    Tab tab;
    Act act;
    short item;
    double value;
  };
  const Row rows[] = {
      {kGeneral, Act::Real, 15, nan},     {kGeneral, Act::Real, 15, 0},       {kGeneral, Act::Real, 15, -0.3},
      {kCommon, Act::Real, 12, inf},      {kCommon, Act::Long, 7, 0},         {kCommon, Act::Long, 20, kPenCount + 1},
      {kCommon, Act::Track, 8, 0},        {kCommon, Act::Long, 23, -1},       {kTables, Act::Real, 3, nan},
      {kTables, Act::Real, 5, 3e9},       {kTables, Act::Real, 7, -3e9},      {kTables, Act::Long, 20, 0},
      {kTables, Act::Real, 26, -inf},     {kTables, Act::Long, 23, 0},        {kTotal, Act::Real, 13, nan},
      {kTotal, Act::Long, 10, 999},       {kTotal, Act::Track, 19, 0},        {kPolygons, Act::Real, 18, nan},
      {kPolygons, Act::Long, 5, 0},       {kPolygons, Act::Track, 47, 31},    {kCurves, Act::Real, 51, inf},
      {kCurves, Act::Long, 44, 0},        {kCurves, Act::Track, 21, -2},
  };
  for (const Row& row : rows) {
    CDlgEnvironment dialog(&doc);
    Run(dialog, [&](DialogUser& user, CDlgEnvironment& dlg) {
      DialogUser page = user.TabPage(kTabs, row.tab);
      const CEnvParam before = dlg.m_EnvParam;
      const auto shownLong = ItemOf(page, row.item).valLong;
      const auto shownReal = ItemOf(page, row.item).valDouble;
      const auto alerts = host.Alerts().size();
      if (row.act == Act::Real)
        page.SetDouble(row.item, row.value);
      else if (row.act == Act::Long)
        page.SetLong(row.item, Int32(row.value));
      else
        page.Track(row.item, Int32(row.value));
      const std::string where = std::to_string(row.tab) + "/" + std::to_string(row.item);
      ASSERT_EQ(host.Alerts().size(), alerts + 1) << where;
      EXPECT_EQ(host.Alerts().back().largeText, GS::UniString(u"入力値が正しくありません")) << where;
      EXPECT_TRUE(dlg.m_EnvParam == before) << where;
      EXPECT_EQ(ItemOf(page, row.item).valLong, shownLong) << where;
      EXPECT_EQ(ItemOf(page, row.item).valDouble, shownReal) << where;
      EXPECT_EQ(Indicator(user), GS::UniString()) << where;
    });
  }
}

TEST_F(EnvDialogTest, ResizingMovesTheButtonsAndGrowsTheTabs)
{
  CDlgEnvironment dialog(&doc);
  Run(dialog, [](DialogUser& user, CDlgEnvironment&) {
    const auto ok = ItemOf(user, 1), tabs = ItemOf(user, 7), path = ItemOf(user, 5), import = ItemOf(user, 3);
    user.Resize(30, 20);
    EXPECT_EQ(ItemOf(user, 1).left, ok.left + 30);
    EXPECT_EQ(ItemOf(user, 1).top, ok.top + 20);
    EXPECT_EQ(ItemOf(user, 7).right, tabs.right + 30);
    EXPECT_EQ(ItemOf(user, 7).bottom, tabs.bottom + 20);
    EXPECT_EQ(ItemOf(user, 5).top, path.top + 20);
    EXPECT_EQ(ItemOf(user, 5).right, path.right + 30);
    EXPECT_EQ(ItemOf(user, 3).left, import.left);
    EXPECT_EQ(ItemOf(user, 3).top, import.top + 20);
  });
}

}  // namespace
