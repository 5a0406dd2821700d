// The settings file and the settings folder: golden bytes of a default
// record, round trips, handmade files of every version whose layout
// changed, refused versions and damaged files, and the order in which the
// two folders are tried at document start.

#include "CGSUtil.h"
#include "DocTestSupport.h"
#include "HandmadeSettings.h"
#include "GetAppDataPath.h"
#include "KelFileFunctions.h"
#include "host_charcodes.h"

#include <cstdio>

namespace {

// A settings file of version f written by hand in that version's layout,
// with stored values that differ from the defaults.
class OldSettingsFile {
public:
  explicit OldSettingsFile(int version) : f(version) {}

  std::string Build()
  {
    HandmadeSettings h(b, f, kHandmadeFileGates);
    b.Int(f);
    h.Presets();
    b.Bool(true);  // number fill gaps
    if (f < 9)
      b.Bool(true);  // the triangle's vertex-order flag
    b.Bool(true).Bool(true);
    if (f >= 9)
      b.Bool(true);
    if (f >= 12) {
      const std::string name = GS::UniString(u"設定層").ToStdString(f >= 21 ? CC_Default : CC_UTF8);
      b.Text(name).Text(name);
    } else {
      b.Short(1);
      if (f < 5)
        b.Int(0);
    }
    h.FigureAttributes();
    h.CommonRows();
    if (f >= 18)
      h.Ellipse();
    h.ListStyle(6);
    h.ListStyle(8);
    if (f >= 14)
      h.ListStyle(9);
    b.Int(0);  // patterns
    if (f >= 4)
      h.TotalStyle();
    if (f >= 11)
      b.Bool(false).Bool(false).Bool(false);
    if (f >= 16)
      h.Double(0.5);
    if (f >= 18)
      b.Short(2);
    if (f >= 20)
      h.ListStyle(11);
    return b.Str();
  }

private:
  int f;
  StoredBytes b;
};

class SettingsFileTest : public DocTest {
protected:
  void SetUp() override { layer = short(host.AddLayer(GS::UniString(u"設定層"))); }
  SandboxFiles files;
  short layer = 0;
};

TEST_F(SettingsFileTest, ADefaultRecordWritesItsGoldenPrefix)
{
  CEnvParam env;
  env.m_Area1Layer = env.m_ListLayer = layer;
  ASSERT_TRUE(env.SaveData(files.Path()));
  EXPECT_EQ(HexOf(files.Contents(), 68),
            "18000000" "01000000" "00000000" "0800" "95578F8090DD92E8" "00" "02000000" "06000000" "02000000"
            "02000000" "02000000" "02000000" "02000000" "04000000" "01000000" "01" "00000000" "00000000");
}

TEST_F(SettingsFileTest, AVersion24FileComesBackEqualButForTheTwoSwitchesItLacks)
{
  CEnvParam env;
  env.m_Area1Layer = env.m_ListLayer = layer;
  env.m_TuboFactor = 0.5;
  env.m_SnapType = 3;
  env.m_RoundTypeParamArray.AddNew(GS::UniString(u"二番目")).m_RoundUpNextDigit = false;
  env.m_AttributeCommonParamArray.Search(CItemType1Table::ITEMTYPE(2), CItemType2Table::ITEMTYPE(3))->m_Fill = 7;
  env.m_TriangleAttr.m_area_in_type = GS::UniString(u"あり");
  env.m_ListAttr4.m_RowLimit = 33;
  env.m_TotalAreaParam.m_TextSize = 2.25;
  env.m_TreeShowItem.m_bShowTotal = false;
  env.m_BlankDecimals = false;
  env.m_LengthTenthDigit = false;
  for (int i = 0; i < 3; ++i) {  // three patterns, each with elements and a sub-folder
    PatternDoc pattern;
    const int sub = pattern.AddFolder(PatternDoc::kBuildingCode, u"小計");
    pattern.Element(pattern.AddElement(sub, u"要素"))->m_ListType = CArea2ListTypeTable::LISTTYPE(0);
    pattern.doc.m_CurTreeCode = 0;
    pattern.doc.m_FloorParamArray.clear();
    env.m_PatternArray.push_back(pattern.doc);
  }
  ASSERT_TRUE(env.SaveData(files.Path()));
  CEnvParam read;
  ASSERT_TRUE(read.LoadData(files.Path()));
  EXPECT_FALSE(read.m_BlankDecimals == env.m_BlankDecimals);
  read.m_BlankDecimals = env.m_BlankDecimals;
  read.m_LengthTenthDigit = env.m_LengthTenthDigit;
  EXPECT_TRUE(read == env);
  for (std::size_t i = 0; i < 3; ++i) {  // each pattern document holds only its own objects
    EXPECT_EQ(read.m_PatternArray[i].m_Area2ObjectArray.size(), 1u);
    EXPECT_EQ(read.m_PatternArray[i].m_Area4ObjectArray.size(), 3u);
  }
}

class SettingsGateTest : public SettingsFileTest, public ::testing::WithParamInterface<int> {};

TEST_P(SettingsGateTest, FieldsAreTakenFromTheVersionThatAddedThem)
{
  const int f = GetParam();
  files.Put(OldSettingsFile(f).Build());
  CEnvParam env;
  ASSERT_TRUE(env.LoadData(files.Path()));
  const CEnvParam defaults;
  const CRoundTypeParam& preset = env.m_RoundTypeParamArray.front();
  EXPECT_EQ(preset.m_Id, 3);
  EXPECT_EQ(preset.m_Area1RoundType.m_Digit, f >= 19 ? 4 : 6);
  EXPECT_EQ(preset.m_PaiCode, f >= 5 ? 2 : 1);
  EXPECT_EQ(preset.m_RoundUpNextDigit, f < 23);  // older files keep the flag set
  EXPECT_EQ(env.m_RoundTypeParamArray.m_MaxId, f >= 7 ? 7 : 3);
  EXPECT_TRUE(env.m_NumberFillGaps && env.m_LengthComma && env.m_AreaComma);
  EXPECT_EQ(env.m_FillPenOff, f >= 9);
  EXPECT_TRUE(env.m_TriangleAttr.m_bVertexOrder);  // after the first switch before 9, in the record from 9
  EXPECT_EQ(env.m_Area1Layer, f >= 12 ? layer : env.m_ListLayer);
  EXPECT_NE(env.m_Area1Layer, 0);
  EXPECT_EQ(env.m_RectAttr.m_area_symbol_y, f >= 6 ? 10.0 : 0.0);
  ASSERT_EQ(env.m_AttributeCommonParamArray.size(), 1u);
  EXPECT_EQ(env.m_AttributeCommonParamArray[0].m_FillBackPen, 4);  // version 8's extra byte skipped
  EXPECT_EQ(env.m_EllipseAttr.m_area_fan_pen, f >= 18 ? 6 : 1);
  EXPECT_EQ(env.m_ListAttr1.m_GapV, f >= 10 ? 6 : 1);
  EXPECT_EQ(env.m_ListAttr1.m_RowLimit, f >= 13 ? 50 : 100);
  EXPECT_EQ(env.m_ListAttr2.m_GapV, f >= 14 ? 9 : env.m_ListAttr3.m_GapV);
  EXPECT_TRUE(f >= 14 || env.m_ListAttr2 == env.m_ListAttr3);
  EXPECT_EQ(env.m_TotalAreaParam.m_TextSize, f >= 24 ? 7.5 : (f >= 4 ? 7.0 : 5.0));
  EXPECT_EQ(env.m_TotalAreaParam.m_ColOffset, f >= 10 ? 4 : 2);
  EXPECT_EQ(env.m_TreeShowItem.m_bShowArea, f < 11);
  EXPECT_EQ(env.m_TuboFactor, f >= 16 ? 0.5 : defaults.m_TuboFactor);
  EXPECT_EQ(env.m_SnapType, f >= 18 ? 2 : 1);
  EXPECT_EQ(env.m_ListAttr4.m_GapV, f >= 20 ? 11 : 10);
  EXPECT_TRUE(env.m_BlankDecimals && env.m_LengthTenthDigit);  // not in the file

  // Written again (as version 24) and read back, nothing changes.
  ASSERT_TRUE(env.SaveData(files.Path()));
  CEnvParam again;
  ASSERT_TRUE(again.LoadData(files.Path()));
  EXPECT_TRUE(again == env);
}

INSTANTIATE_TEST_SUITE_P(EveryFileGate, SettingsGateTest,
                         ::testing::Values(3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 18, 19, 20, 21, 22, 23, 24));

TEST_F(SettingsFileTest, RefusedVersionsAndDamagedFilesLeaveTheSettings)
{
  CEnvParam env;
  env.m_TuboFactor = 0.75;
  const CEnvParam before = env;
  for (int version : {2, 25}) {
    files.Put(StoredBytes().Int(version).Str() + OldSettingsFile(24).Build().substr(4));
    EXPECT_FALSE(env.LoadData(files.Path()));
    EXPECT_TRUE(env == before);
  }
  ASSERT_EQ(host.Alerts().size(), 2u);
  EXPECT_TRUE(host.Alerts()[1].largeText == GS::UniString(u"ファイルのバージョンが異なります"));
  const std::string whole = OldSettingsFile(24).Build();
  for (std::size_t cut : {std::size_t(3), std::size_t(20), whole.size() / 2, whole.size() - 1}) {
    files.Put(whole.substr(0, cut));
    EXPECT_FALSE(env.LoadData(files.Path()));
    EXPECT_TRUE(env == before) << cut;
  }
  EXPECT_FALSE(env.LoadData(files.Path("missing.dat")));
}

TEST_F(SettingsFileTest, ALayerNameTheProjectLacksBecomesTheAddOnsLayer)
{
  std::string file = OldSettingsFile(24).Build();
  const std::string name = GS::UniString(u"設定層").ToStdString(CC_Default);
  for (std::size_t at = file.find(name); at != std::string::npos; at = file.find(name, at + 1))
    file[at + name.size() - 1] = 'X';  // a name no layer has
  files.Put(file);
  CEnvParam env;
  ASSERT_TRUE(env.LoadData(files.Path()));
  const Int32 created = CGSUtil::GSSearchAttribute(API_LayerID, reinterpret_cast<const unsigned short*>(u"メンセラ"));
  EXPECT_NE(created, 0);
  EXPECT_EQ(env.m_Area1Layer, created);
  EXPECT_EQ(env.m_ListLayer, created);
}

TEST_F(SettingsFileTest, AFileThatCannotBeCreatedIsReported)
{
  std::filesystem::create_directories(files.File("folder.dat"));
  EXPECT_FALSE(CEnvParam().SaveData(files.Path("folder.dat")));
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_TRUE(host.Alerts()[0].largeText == files.Path("folder.dat") + GS::UniString(u"が保存できません"));
}

// ---- the two folders at document start ---------------------------------------------

class DefaultSettingsTest : public SettingsFileTest {
protected:
  void SetUp() override
  {
    SettingsFileTest::SetUp();
    own = GS::UniString(GetExecFolder().c_str(), CC_UTF8) + doc.m_EnvFileName;
    user = GS::UniString(GetAppDataPath().c_str(), CC_Default) + doc.m_EnvFileName;
    Remove();
  }
  void TearDown() override
  {
    Remove();
    SettingsFileTest::TearDown();
  }
  void Remove()
  {
    for (const GS::UniString& path : {own, user})
      std::filesystem::remove(pln::host::ToFsPath(IO::Location(path)));
  }
  static void Put(const GS::UniString& path, const std::string& bytes)
  {
    std::ofstream out(pln::host::ToFsPath(IO::Location(path)), std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  GS::UniString own, user;
};

TEST_F(DefaultSettingsTest, TheAddOnsFolderWinsAndTheUsersIsReadOnlyWhenItFails)
{
  CEnvParam first;
  first.m_TuboFactor = 0.125;
  CEnvParam second;
  second.m_TuboFactor = 0.375;
  ASSERT_TRUE(first.SaveData(own));
  ASSERT_TRUE(second.SaveData(user));
  doc.LoadDefault();
  EXPECT_EQ(doc.m_EnvParam.m_TuboFactor, 0.125);
  EXPECT_TRUE(doc.m_EnvPath == own);
  EXPECT_TRUE(doc.m_EnvParam2 == doc.m_EnvParam);

  // A truncated file in the add-on's folder: exactly the user's settings.
  std::ifstream in(pln::host::ToFsPath(IO::Location(own)), std::ios::binary);
  const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Put(own, whole.substr(0, whole.size() / 2));
  CPlenimetraParam fresh;
  fresh.LoadDefault();
  CEnvParam expected = second;
  ASSERT_TRUE(expected.LoadData(user));
  EXPECT_TRUE(fresh.m_EnvParam == expected);
  EXPECT_TRUE(fresh.m_EnvPath == user);
}

TEST_F(DefaultSettingsTest, WithNeitherFileThePathIsEmptyAndTheSecondSettingsAreDefault)
{
  doc.m_EnvParam.m_TuboFactor = 0.9;
  doc.m_EnvParam2.m_TuboFactor = 0.9;
  doc.m_EnvPath = GS::UniString(u"old");
  doc.LoadDefault();
  EXPECT_TRUE(doc.m_EnvPath.IsEmpty());
  EXPECT_TRUE(doc.m_EnvParam2 == CEnvParam());
  EXPECT_EQ(doc.m_EnvParam.m_TuboFactor, 0.9);
}

// The add-on's folder is no choice of the user's: settings read there are
// taken under either code, but a path Shift-JIS cannot hold is not kept,
// since no save of the project could store it.
TEST_F(DefaultSettingsTest, AnAddOnFolderThatShiftJisCannotHoldGivesTheSettingsButNoPath)
{
  pln::host::SetOwnLocation(IO::Location(GS::UniString(u"c:\\アドオン€\\Plenimetra.apx")));
  const GS::UniString odd = GS::UniString(GetExecFolder().c_str(), CC_UTF8) + doc.m_EnvFileName;
  std::filesystem::create_directories(pln::host::ToFsPath(IO::Location(odd)).parent_path());
  CEnvParam written;
  written.m_TuboFactor = 0.125;
  for (const GSCharCode code : {CC_Japanese, CC_UTF8}) {
    pln::host::SetDefaultCharCode(code);
    ASSERT_TRUE(written.SaveData(odd));  // the file's path goes through the default code
    CPlenimetraParam fresh;
    fresh.LoadDefault();
    EXPECT_EQ(fresh.m_EnvParam.m_TuboFactor, 0.125) << code;
    EXPECT_TRUE(fresh.m_EnvPath == (code == CC_UTF8 ? odd : GS::UniString())) << code;
  }
}

TEST(GetAppDataPathTest, TheThreeFoldersAreMadeAndThePathEndsInASeparator)
{
  HostFixture host;
  IO::Location appData;
  ASSERT_EQ(IO::fileSystem.GetSpecialLocation(IO::FileSystem::ApplicationData, &appData), NoError);
  const std::filesystem::path root = pln::host::ToFsPath(appData) / "TALVO Software";
  std::filesystem::remove_all(root);
  const std::string path = GetAppDataPath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.back(), '\\');
  EXPECT_TRUE(std::filesystem::is_directory(root / "ArchiCAD26" / std::filesystem::u8path("メンセラ")));
  EXPECT_EQ(GetAppDataPath(), path);  // existing folders are simply used
}

}  // namespace
