// The project record: golden bytes of a new project, round trips of random
// documents through the record, handmade records of every version whose
// layout changed, and the loader's handling of newer, older, broken and
// missing records.

#include "DocumentRoundTrip.h"
#include "HandmadeRecord.h"
#include "host_charcodes.h"
#include "host_debug.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <set>

namespace {

// ---- golden bytes and new projects ---------------------------------------------

TEST_F(RecordTest, ANewProjectSavesTheNewestRecordWithItsGoldenBeginning)
{
  EXPECT_EQ(doc.LoadData2(false), 1);
  ASSERT_EQ(doc.SaveData(), NoError);
  const auto stored = host.ModulData(GS::UniString(kRecord));
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->dataVersion, 1047);
  EXPECT_EQ(HexOf(std::string(stored->bytes.begin(), stored->bytes.end()), 22), "00000000" "02000000" "01000000" "01" "00" "01" "000000" "00000000");
}

// The layers travel by name: a name the host failed to give must not be
// stored as empty (the layer would be lost), while a layer the project no
// longer has is stored as no layer.
TEST_F(RecordTest, ALayerNameTheHostFailsToGiveRefusesTheSaveAndKeepsTheOldRecord)
{
  EXPECT_EQ(doc.LoadData2(false), 1);
  doc.m_EnvParam.m_Area1Layer = layer;
  ASSERT_EQ(doc.SaveData(), NoError);
  const auto stored = host.ModulData(GS::UniString(kRecord));
  host.FailOnce("ACAPI_Attribute_Get", APIERR_GENERAL);
  EXPECT_NE(doc.SaveData(), NoError);
  EXPECT_TRUE(host.ModulData(GS::UniString(kRecord)) == stored);
  EXPECT_TRUE(doc.IsRecordReplaced());  // the stored record is not the document's now

  doc.m_EnvParam.m_Area1Layer = 77;  // no such layer
  EXPECT_EQ(doc.SaveData(), NoError);
  EXPECT_FALSE(host.ModulData(GS::UniString(kRecord)) == stored);
  EXPECT_FALSE(doc.IsRecordReplaced());
  StoreRecord(stored->dataVersion, stored->bytes);
  EXPECT_TRUE(doc.IsRecordReplaced());
}

// A text of an element or folder that no stored text can hold is thrown
// from its writer, through the lists, to the save that began the record:
// the save fails and the stored record stays as it was.
TEST_F(RecordTest, ATextTooLongForTheRecordFailsTheWholeSaveAndKeepsTheOldRecord)
{
  EXPECT_EQ(doc.LoadData2(false), 1);
  ASSERT_EQ(doc.SaveData(), NoError);
  const auto stored = host.ModulData(GS::UniString(kRecord));
  ASSERT_FALSE(doc.m_Area4ObjectArray.empty());
  const GS::UniString tooLong(std::string(40000, 'x').c_str(), CC_Default);
  doc.m_Area4ObjectArray.front().m_ManualEquationArray.Add(0, tooLong);
  EXPECT_NE(doc.SaveData(), NoError);
  EXPECT_TRUE(host.ModulData(GS::UniString(kRecord)) == stored);
  doc.m_Area4ObjectArray.front().m_ManualEquationArray.clear();
  ASSERT_EQ(doc.SaveData(), NoError);

  doc.m_Area4ObjectArray.front().m_Name.m_DefaultName = tooLong;
  EXPECT_NE(doc.SaveData(), NoError);
  EXPECT_TRUE(host.ModulData(GS::UniString(kRecord)) == stored);
}

// ---- texts the host's default code must hold ----------------------------------

// The texts of the record a user edits, each reached in a loaded new project
// (given an element by Edited below).
struct EditedText {
  const char* what;
  GS::UniString& (*text)(CPlenimetraParam& doc);
};

CArea4Object& FirstFolder(CPlenimetraParam& doc) { return doc.m_Area4ObjectArray.front(); }
CArea2ObjectFloor& ElementRecord(CPlenimetraParam& doc)
{
  return *doc.m_Area2ObjectArray.front().m_FloorArray.SearchFloor(0);
}

using Text = GS::UniString&;
const EditedText kEditedTexts[] = {
    {"rounding preset", [](CPlenimetraParam& d) -> Text { return d.m_EnvParam.m_RoundTypeParamArray[0].m_Name; }},
    {"reference preset", [](CPlenimetraParam& d) -> Text { return d.m_EnvParam2.m_RoundTypeParamArray[0].m_Name; }},
    {"folder", [](CPlenimetraParam& d) -> Text { return FirstFolder(d).m_Name.m_DefaultName; }},
    {"folder on a floor", [](CPlenimetraParam& d) -> Text { return FirstFolder(d).m_Name.front().m_Name; }},
    {"folder formula", [](CPlenimetraParam& d) -> Text { return FirstFolder(d).m_ManualEquationArray[0].m_Equation; }},
    {"element", [](CPlenimetraParam& d) -> Text { return d.m_Area2ObjectArray.front().m_Name.m_DefaultName; }},
    {"element formula", [](CPlenimetraParam& d) -> Text { return ElementRecord(d).m_ManualEquation; }},
    {"settings pattern", [](CPlenimetraParam& d) -> Text {
       CPlenimetraParam& pattern = d.m_EnvParam.m_PatternArray.front();
       return pattern.GetAreaObject(pattern.m_AreaTree2.m_Child.front().m_AreaCode)->m_Name.m_DefaultName;
     }},
};

// A loaded new project with one text of each kind, all plain.
void Edited(CPlenimetraParam& doc)
{
  ASSERT_EQ(doc.LoadData2(false), 1);
  const CAreaTree& folder = doc.m_AreaTree2.m_Child.front().m_Child.front();
  const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
  ASSERT_TRUE(doc.m_AreaTree2.Insert(&doc, GS::UniString(u"計算"), ++doc.m_LastAreaCode, folder.m_AreaCode,
                                     CAreaTree::KIND_ELEMENT_FORMULA, item, item));
  doc.m_Area2ObjectArray.front().m_FloorArray.SearchFloor(0)->m_Mode = CArea2ObjectFloor::MODE_MANUAL;
  FirstFolder(doc).m_Name.SetName2(1, GS::UniString(u"建物2F"));
  FirstFolder(doc).m_ManualEquationArray.Add(0, GS::UniString(u"1+2"));
  PatternDoc pattern;
  doc.m_EnvParam.m_PatternArray.push_back(pattern.doc);
}

// Under Shift-JIS, the host's default code, "€" and "😀" have no bytes and
// "¥" would come back as "\": a save would store another text, so it fails
// and the stored record stays. Under UTF-8 the same texts are stored and
// read back.
TEST_F(RecordTest, ASaveThatWouldChangeATextFailsAndKeepsTheStoredRecord)
{
  Edited(doc);
  ASSERT_EQ(doc.SaveData(), NoError);
  const auto stored = host.ModulData(GS::UniString(kRecord));
  for (const EditedText& edited : kEditedTexts) {
    GS::UniString& text = edited.text(doc);
    const GS::UniString plain = text;
    for (const char16_t* unheld : {u"A€B", u"😀", u"¥100"}) {
      text = GS::UniString(unheld);
      EXPECT_NE(doc.SaveData(), NoError) << edited.what;
      EXPECT_TRUE(host.ModulData(GS::UniString(kRecord)) == stored) << edited.what;
    }
    text = plain;
    ASSERT_EQ(doc.SaveData(), NoError) << edited.what;
  }
  EXPECT_TRUE(host.ModulData(GS::UniString(kRecord)) == stored);

  pln::host::SetDefaultCharCode(CC_UTF8);
  int n = 0;
  for (const EditedText& edited : kEditedTexts)
    edited.text(doc) = GS::UniString(u"A€B😀¥") + GS::UniString::Printf("%d", ++n);
  ASSERT_EQ(doc.SaveData(), NoError);
  const auto loaded = Load();
  ASSERT_EQ(result, 1);
  n = 0;
  for (const EditedText& edited : kEditedTexts)
    EXPECT_EQ(edited.text(*loaded), GS::UniString(u"A€B😀¥") + GS::UniString::Printf("%d", ++n)) << edited.what;
}

// The settings path and the layers' names are written as strictly as the
// other texts: under Shift-JIS one the code cannot hold (a layer renamed
// on the host after it was chosen) refuses the save and the stored record
// stays, rather than come back as no path or as another layer; UTF-8
// stores both as they are.
TEST_F(RecordTest, APathOrLayerNameTheDefaultCodeCannotHoldRefusesTheSaveAndKeepsTheOldRecord)
{
  const short odd = short(host.AddLayer(GS::UniString(u"面積表€")));
  for (GSCharCode code : {CC_Japanese, CC_UTF8}) {
    pln::host::SetDefaultCharCode(code);
    for (const bool path : {true, false}) {
      CPlenimetraParam saved;
      RegisterTestKinds(saved);
      ASSERT_EQ(saved.LoadData2(false), 1);
      ASSERT_EQ(saved.SaveData(), NoError);
      const auto stored = host.ModulData(GS::UniString(kRecord));
      if (path)
        saved.m_EnvPath = GS::UniString(u"/設定/😀/S.dat");
      else
        saved.m_EnvParam.m_ListLayer = odd;
      if (code == CC_UTF8) {
        ASSERT_EQ(saved.SaveData(), NoError);
        const auto loaded = Load();
        if (path)
          EXPECT_EQ(loaded->m_EnvPath, saved.m_EnvPath);
        else
          EXPECT_EQ(loaded->m_EnvParam.m_ListLayer, odd);
      } else {
        EXPECT_NE(saved.SaveData(), NoError) << path;
        EXPECT_TRUE(host.ModulData(GS::UniString(kRecord)) == stored) << path;
      }
    }
  }
}

TEST_F(RecordTest, WithoutRecordOrPatternFileTheDefaultPatternIsTwoUndefinedFolders)
{
  EXPECT_EQ(doc.LoadData2(false), 1);
  ASSERT_EQ(doc.m_AreaTree2.m_Child.size(), 1u);
  ASSERT_EQ(doc.m_AreaTreeStore.m_Child.size(), 1u);
  const CAreaTree& pattern = doc.m_AreaTree2.m_Child.front();
  ASSERT_EQ(pattern.m_Child.size(), 1u);
  EXPECT_EQ(doc.m_CurTreeCode, pattern.m_AreaCode);
  for (int code : {pattern.m_AreaCode, pattern.m_Child.front().m_AreaCode})
    EXPECT_EQ(doc.GetAreaObject(code)->m_Name.m_DefaultName, GS::UniString(u"未定義"));
  EXPECT_EQ(doc.m_FloorParamArray.size(), 3u);  // one floor per story
}

// The pattern file beside the add-on starts a new project; one that is
// there and cannot be read is said, not silently replaced by 未定義.
TEST_F(RecordTest, ADefaultPatternFileThatCannotBeReadIsReportedBeforeTheUndefinedPatternIsTaken)
{
  const GS::UniString path =
      GS::UniString(GetExecFolder().c_str(), CC_UTF8) + GS::UniString(CAreaTree::kDefaultPatternFileName);
  const std::filesystem::path file = pln::host::ToFsPath(IO::Location(path));
  const std::string rest = "\t1\t2\t2\t2\t2\n\x96\x7b\x8a\xd9\t2\t1\t2\t2\t2\t2\t2\n";
  const std::pair<const char*, const char16_t*> cases[] = {
      {"\x8c\x9a\x95\xa8", u"建物"},  // 建物 in Shift-JIS
      {"\x8c\x9a\x80", u"未定義"},    // no character has the byte 0x80
      {"\x8c\x9a\x95", u"未定義"},    // a lead byte with nothing after it
  };
  for (const auto& [name, top] : cases) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << name << rest;
    const std::size_t alerts = host.Alerts().size();
    const auto loaded = Load();
    const bool read = GS::UniString(top) != GS::UniString(u"未定義");
    ASSERT_EQ(loaded->m_AreaTree2.m_Child.size(), 1u);
    EXPECT_EQ(loaded->GetAreaObject(loaded->m_AreaTree2.m_Child.front().m_AreaCode)->m_Name.m_DefaultName,
              GS::UniString(top));
    ASSERT_EQ(host.Alerts().size(), alerts + (read ? 0 : 1)) << GS::UniString(top).ToStdString(CC_UTF8);
    if (!read) {
      EXPECT_EQ(host.Alerts().back().largeText, path + u"が読み込めません");
    }
  }
  std::filesystem::remove(file);
}

TEST_F(RecordTest, TheLoaderDumpsTheWorkingTreeAndEverySettingsPatternToTheDebugOutput)
{
  PatternDoc pattern;
  pattern.AddElement(PatternDoc::kBuildingCode, u"E");
  CEnvParam settings;
  settings.m_PatternArray.push_back(pattern.doc);
  ASSERT_TRUE(settings.SaveData(GS::UniString(GetAppDataPath().c_str(), CC_Default) + doc.m_EnvFileName));
  pln::host::ClearDebugLines();
  EXPECT_EQ(doc.LoadData2(false), 1);
  EXPECT_EQ(pln::host::DebugLines(), (std::vector<std::string>{" NoName\n", "  未定義\n", "   未定義\n", " NoName\n",
                                                                "  パターン\n", "   建物\n", "    E\n"}));
}

// A load whose undo step the host refused read nothing and left the
// document cleared, for the next save to put over the record.
TEST_F(RecordTest, ALoadWhoseStepTheHostRefusesStillReadsTheRecord)
{
  EXPECT_EQ(doc.LoadData2(false), 1);
  doc.m_LastArea1Code = 41;
  ASSERT_EQ(doc.SaveData(), NoError);
  host.FailOnce("ACAPI_CallUndoableCommand", APIERR_REFUSEDCMD);
  auto loaded = Load();
  EXPECT_EQ(result, 1);
  EXPECT_EQ(loaded->m_LastArea1Code, 41);
}

TEST_F(RecordTest, ARecordOfANewerVersionIsRefusedWithNothingRead)
{
  StoreRecord(1048, StoredBytes().Int(77).Int(88).Get());
  auto loaded = Load();
  EXPECT_EQ(result, -1);
  EXPECT_EQ(loaded->m_LastArea1Code, 0);
  EXPECT_TRUE(loaded->m_AreaTree2.m_Child.empty());  // no default pattern either
  EXPECT_EQ(loaded->m_FloorParamArray.size(), 3u);   // floors still rebuilt
}

TEST_F(RecordTest, RandomDocumentsComeBackEqualWithTheirFloorsAndOutputChoices)
{
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    host.Reset();
    host.LoadAddOnLibraryParts();
    host.AddStory(1, 3.0, GS::UniString(u"2F"));
    host.AddStory(2, 6.0, GS::UniString(u"3F"));
    layer = short(host.AddLayer(GS::UniString(u"求積")));
    CPlenimetraParam source;
    RegisterTestKinds(source);
    source.m_AreaListItemArray.Initialize();
    source.m_AreaListItemArray.front().m_bVisible = !source.m_AreaListItemArray.front().m_bVisible;
    RandomDocument build(host, source, seed, layer);
    ASSERT_EQ(source.SaveData(), NoError);

    auto loaded = Load();
    EXPECT_EQ(result, 1);
    ExpectEqualDocuments(*loaded, source);
    // Each settings pattern comes back whole, holding only its own objects.
    for (std::size_t i = 0; i < source.m_EnvParam.m_PatternArray.size(); ++i) {
      const CPlenimetraParam& pattern = loaded->m_EnvParam.m_PatternArray[i];
      ExpectEqualDocuments(pattern, source.m_EnvParam.m_PatternArray[i]);
      EXPECT_EQ(pattern.m_Area2ObjectArray.size(), 2u);
      EXPECT_EQ(pattern.m_Area4ObjectArray.size(), 3u);
    }
    ExpectSameFloors(loaded->m_FloorParamArray, source.m_FloorParamArray);
    ExpectSameOutputChoices(*loaded, source);
    EXPECT_EQ(loaded->m_AreaListItemArray.front().m_bVisible, source.m_AreaListItemArray.front().m_bVisible);
    EXPECT_TRUE(host.Alerts().empty());
  }
}

}  // namespace

namespace {

// ---- handmade records of old versions -----------------------------------------


// Every version at which a gate of the record, its settings block or its
// presets changes, with the neighbours of the migrations.
const int kOldVersions[] = {1003, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014, 1016, 1017,
                            1018, 1019, 1020, 1021, 1022, 1023, 1024, 1027, 1028, 1030, 1031, 1032, 1033,
                            1034, 1036, 1037, 1038, 1039, 1040, 1041, 1042, 1043, 1044, 1045, 1046, 1047};

std::vector<int> Codes(const CTreeCodeArray& codes) { return codes; }

class MigrationTest : public RecordTest, public ::testing::WithParamInterface<int> {
protected:
  void SetUp() override
  {
    RecordTest::SetUp();
    recordLayer = short(host.AddLayer(GS::UniString(u"求積層")));
  }
  short recordLayer = 0;
};

TEST_P(MigrationTest, GatedFieldsAreTakenFromTheirVersionOnAndKeptBefore)
{
  const int v = GetParam();
  StoreRecord(v, OldRecord(v).Build());
  auto loaded = Load();
  ASSERT_EQ(result, 1);
  const CPlenimetraParam& d = *loaded;
  const CPlenimetraParam fresh;
  const CEnvParam defaults;

  EXPECT_EQ(d.m_LastArea1Code, 5);
  EXPECT_EQ(d.m_LastAreaCode, 9);
  EXPECT_EQ(d.m_AutoCutType.m_Type, 3);
  EXPECT_EQ(d.m_AutoCutType.m_bWithHoles, v < 1017);
  EXPECT_EQ(d.m_AutoCutType.m_bCutAcross, v >= 1039);
  EXPECT_EQ(d.m_AutoCutType.m_bFollowEdges, v < 1039);
  EXPECT_TRUE(d.m_EnvPath == (v >= 1014 ? GS::UniString(u"x.dat") : GS::UniString()));

  // The settings, from the blocks or inline.
  const CEnvParam& env = d.m_EnvParam;
  EXPECT_TRUE(env.m_NumberFillGaps);
  EXPECT_EQ(env.m_FillPenOff, v >= 1014);
  EXPECT_EQ(env.m_LengthComma, true);
  EXPECT_EQ(env.m_Area1Layer, v >= 1022 ? recordLayer : env.m_ListLayer);  // else the layer "メンセラ"
  EXPECT_NE(env.m_Area1Layer, 0);
  EXPECT_EQ(env.m_TuboFactor, v >= 1033 ? 0.5 : defaults.m_TuboFactor);
  EXPECT_EQ(env.m_SnapType, v >= 1037 ? 2 : 1);
  EXPECT_EQ(env.m_BlankDecimals, v >= 1037 || v < 1014 ? false : true);
  EXPECT_EQ(env.m_LengthTenthDigit, v >= 1037 || (v >= 1012 && v < 1014) ? false : true);
  const bool presetsStored = v >= 1006;
  const CRoundTypeParam& preset = env.m_RoundTypeParamArray.front();
  EXPECT_EQ(preset.m_Id, presetsStored ? 3 : 0);
  if (presetsStored) {
    EXPECT_EQ(preset.m_Area1RoundType.m_Digit, v < 1038 ? 6 : 4);
    EXPECT_EQ(preset.m_PaiCode, v >= 1008 ? 2 : 1);
    EXPECT_EQ(preset.m_RoundUpNextDigit, v >= 1045);
    EXPECT_EQ(env.m_RoundTypeParamArray.m_MaxId, v >= 1010 ? 7 : 3);
    EXPECT_EQ(env.m_TriangleAttr.m_bVertexOrder, true);
    EXPECT_EQ(env.m_RectAttr.m_area_symbol_x, v >= 1009 ? 9.0 : 0.0);
    ASSERT_EQ(env.m_AttributeCommonParamArray.size(), 1u);
    EXPECT_EQ(env.m_AttributeCommonParamArray[0].m_SymbolPen, 9);
    EXPECT_EQ(env.m_ListAttr1.m_GapV, v >= 1018 ? 6 : 1);
    EXPECT_EQ(env.m_ListAttr1.m_RowLimit, v >= 1023 ? 50 : 100);
    EXPECT_EQ(env.m_ListAttr2.m_GapV, v >= 1024 ? 9 : env.m_ListAttr3.m_GapV);
    EXPECT_TRUE(v >= 1024 || env.m_ListAttr2 == env.m_ListAttr3);
  } else {
    EXPECT_TRUE(env.m_RoundTypeParamArray == defaults.m_RoundTypeParamArray);
    EXPECT_TRUE(env.m_TriangleAttr.m_bVertexOrder);  // from the first inline bool
  }
  EXPECT_EQ(env.m_TotalAreaParam.m_TextSize, v >= 1047 ? 7.5 : (v >= 1007 ? 7.0 : 5.0));
  EXPECT_EQ(env.m_TotalAreaParam.m_ColOffset, v >= 1018 ? 4 : 2);
  EXPECT_EQ(env.m_EllipseAttr.m_area_fan_pen, v >= 1037 ? 6 : 1);
  EXPECT_EQ(env.m_TreeShowItem.m_bShowArea, v < 1019);
  EXPECT_EQ(env.m_ListAttr4.m_GapV, v >= 1040 ? 11 : 10);
  // Without a block the second settings stay default but for the layers,
  // which a read record always resolves.
  CEnvParam second = defaults;
  second.m_Area1Layer = second.m_ListLayer = env.m_ListLayer;
  EXPECT_TRUE(d.m_EnvParam2 == (v >= 1014 ? d.m_EnvParam : second));

  // Floors: merged into the story floors by story.
  ASSERT_EQ(d.m_FloorParamArray.size(), 3u);
  const CFloorParam& first = d.m_FloorParamArray[0];
  EXPECT_EQ(first.m_bCalc, v < 1014);
  EXPECT_EQ(Codes(first.m_CalcExcludeCodes), (v >= 1028 ? std::vector<int>{4, 7} : std::vector<int>{}));
  EXPECT_EQ(Codes(first.m_OutputExcludeCodes), v >= 1031 ? std::vector<int>{9} : std::vector<int>{});
  EXPECT_EQ(d.m_FloorParamArray.m_bCalcPerFloor, v < 1028);

  // Migration: the preset id moves from the child to the pattern up to 1012.
  ASSERT_EQ(d.m_AreaTree2.m_Child.size(), 1u);
  const CAreaTree& pattern = d.m_AreaTree2.m_Child.front();
  EXPECT_EQ(d.m_CurTreeCode, 1);
  EXPECT_EQ(pattern.m_Child.front().m_RoundTypeId, 0);
  // A preset id the settings lack is reset to the first preset's (the
  // records before 1006 keep only the default preset).
  EXPECT_EQ(pattern.m_RoundTypeId, presetsStored ? 3 : 0);
  EXPECT_EQ(host.Alerts().size(), presetsStored ? 0u : 1u);

  // Output choices.
  EXPECT_EQ(d.m_OutputLayout, v >= 1032 ? 3 : fresh.m_OutputLayout);
  EXPECT_EQ(Codes(d.m_TotalExcludeCodes), v >= 1033 ? std::vector<int>{5} : std::vector<int>{});
  EXPECT_EQ(d.m_bTuboRow, v >= 1033);
  EXPECT_EQ(d.m_OutputMode, v >= 1034 ? 3 : 2);
  CAreaListItemArray columns;
  columns.Initialize();
  EXPECT_EQ(d.m_AreaListItemArray.front().m_bVisible, v >= 1041 ? false : columns.front().m_bVisible);
  EXPECT_EQ(d.m_OutputFileType, v >= 1044 ? 1 : 0);
  EXPECT_EQ(d.m_bOutputCheck, v < 1044);

  // Saved and loaded again, the migrated document stays the same.
  ASSERT_EQ(loaded->SaveData(), NoError);
  auto again = Load();
  ExpectEqualDocuments(*again, *loaded);
  ExpectSameFloors(again->m_FloorParamArray, loaded->m_FloorParamArray);
  ExpectSameOutputChoices(*again, *loaded);
}

INSTANTIATE_TEST_SUITE_P(EveryGate, MigrationTest, ::testing::ValuesIn(kOldVersions));

}  // namespace

namespace {

// ---- the loader's cases -------------------------------------------------------------

std::string KeptCopy()
{
  const std::filesystem::path folder =
      pln::host::ToFsPath(IO::Location(GS::UniString(GetAppDataPath().c_str(), CC_Default)));
  std::string found;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".dat" || entry.path().filename().string().find("PLENIMETRA") != 0)
      continue;
    std::ifstream in(entry.path(), std::ios::binary);
    found.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::filesystem::remove(entry.path());
  }
  return found;
}

class LoaderTest : public RecordTest {};

TEST_F(LoaderTest, AnUnreadableRecordIsKeptByteForByteBeforeTheDocumentStartsAfresh)
{
  const std::vector<char> corrupt = StoredBytes().Int(1).Int(2).Int(3).Byte(9).Get();  // cut short
  struct Case {
    int version;
    std::vector<char> bytes;
  };
  for (const Case& c : {Case{1002, OldRecord(1003).Build()}, Case{1047, corrupt}}) {
    SCOPED_TRACE(c.version);
    host.Reset();
    host.LoadAddOnLibraryParts();
    StoreRecord(c.version, c.bytes);
    auto loaded = Load();
    EXPECT_EQ(result, 1);
    const std::string kept = KeptCopy();
    EXPECT_EQ(kept, std::string(c.bytes.begin(), c.bytes.end()));
    ASSERT_EQ(host.Alerts().size(), 1u);
    const GS::UniString text = host.Alerts()[0].largeText;
    EXPECT_EQ(text.ToStdString(CC_UTF8).find("保存されている求積データを読み込めません。元のデータを保存しました："), 0u);
    EXPECT_EQ(loaded->m_AreaTree2.m_Child.size(), 1u);  // the default pattern
    EXPECT_EQ(loaded->m_LastArea1Code, 0);
    // Work goes on normally: the next save replaces the record.
    EXPECT_EQ(loaded->SaveData(), NoError);
    EXPECT_EQ(host.ModulData(GS::UniString(kRecord))->dataVersion, 1047);
  }
}

TEST_F(LoaderTest, WithoutACopyNothingIsSavedOverTheUnreadableRecordAndFiguresKeepTheirUserData)
{
  // A file where the settings folder should be: the copy cannot be made.
  const std::filesystem::path appData =
      pln::host::ToFsPath(IO::Location(GS::UniString(GetAppDataPath().c_str(), CC_Default)));
  std::filesystem::remove_all(appData);
  std::ofstream(appData.string()) << "x";
  auto figure = PlaceFigure(host, doc, 0, 4);
  const std::vector<char> userData = host.Element(figure->m_Element.header.guid)->userData->bytes;
  const std::vector<char> corrupt = StoredBytes().Int(1).Int(2).Get();
  StoreRecord(1047, corrupt);
  auto loaded = Load();
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_TRUE(host.Alerts()[0].largeText ==
              GS::UniString(u"保存されている求積データを読み込めません。このプロジェクトでは変更を保存しません"));
  EXPECT_EQ(loaded->SaveData(), NoError);
  EXPECT_EQ(host.ModulData(GS::UniString(kRecord))->bytes, corrupt);
  EXPECT_EQ(host.Element(figure->m_Element.header.guid)->userData->bytes, userData);
  std::filesystem::remove(appData);
}

TEST_F(LoaderTest, RecordsBreakingTheLoadersInvariantsAreKeptAsideNotAsserted)
{
  // Two trees of different pattern counts, and a pattern with two children.
  auto twoTrees = [] {
    CPlenimetraParam d;
    PatternDoc pattern;
    d = pattern.doc;
    d.m_AreaTreeStore.Clear();
    return d;
  };
  auto twoChildren = [] {
    PatternDoc pattern;
    pattern.AddFolder(PatternDoc::kTopCode, u"二つ目");
    pattern.doc.m_AreaTreeStore = pattern.doc.m_AreaTree2;
    return pattern.doc;
  };
  for (auto make : {+twoTrees, +twoChildren}) {
    host.Reset();
    host.LoadAddOnLibraryParts();
    CPlenimetraParam broken = make();
    ASSERT_EQ(broken.SaveData(), NoError);
    const std::vector<char> bytes = host.ModulData(GS::UniString(kRecord))->bytes;
    auto loaded = Load();
    EXPECT_EQ(KeptCopy(), std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(loaded->m_AreaTree2.m_Child.size(), 1u);
    EXPECT_EQ(loaded->m_AreaTreeStore.m_Child.size(), 1u);
  }
}

TEST_F(LoaderTest, ACopiedFigureGetsAFreshCodeAndItsUserDataIsRewritten)
{
  PatternDoc pattern;
  pattern.doc.m_AreaTreeStore = pattern.doc.m_AreaTree2;
  ASSERT_EQ(pattern.doc.SaveData(), NoError);
  auto a = PlaceFigure(host, doc, 0, 3);
  auto b = PlaceFigure(host, doc, 0, 3);  // a copy carries the same code
  const std::vector<char> before = host.Element(b->m_Element.header.guid)->userData->bytes;
  auto loaded = Load();
  ASSERT_EQ(loaded->m_FloorParamArray[0].m_Area1ObjectArray.size(), 2u);
  const auto& figures = loaded->m_FloorParamArray[0].m_Area1ObjectArray;
  EXPECT_EQ(figures[0]->m_Code, 3);
  EXPECT_EQ(figures[1]->m_Code, 4);
  EXPECT_EQ(loaded->m_LastArea1Code, 4);
  EXPECT_NE(host.Element(b->m_Element.header.guid)->userData->bytes, before);
  CArea1ObjectCore reread(loaded.get());
  EXPECT_EQ(reread.Load(&b->m_Element.header), NoError);
  EXPECT_EQ(reread.m_Code, 4);
  EXPECT_EQ(host.UndoNames(), std::vector<GS::UniString>{GS::UniString(u"求積読込")});
}

TEST_F(LoaderTest, ALoadCutShortWritesNoFreshCodeAndSavesNothing)
{
  PatternDoc pattern;
  pattern.doc.m_AreaTreeStore = pattern.doc.m_AreaTree2;
  ASSERT_EQ(pattern.doc.SaveData(), NoError);
  const std::vector<char> stored = host.ModulData(GS::UniString(kRecord))->bytes;
  PlaceFigure(host, doc, 0, 3);
  auto copy = PlaceFigure(host, doc, 0, 3);  // would get a fresh code
  PlaceFigure(host, doc, 0, 5);
  const std::vector<char> before = host.Element(copy->m_Element.header.guid)->userData->bytes;
  host.FailOnce("ACAPI_Element_GetUserData", NoError);
  host.FailOnce("ACAPI_Element_GetUserData", NoError);
  host.FailOnce("ACAPI_Element_GetUserData", APIERR_GENERAL);
  auto loaded = Load();
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_EQ(host.Alerts()[0].largeText.ToStdString(CC_UTF8).find("求積データを最後まで読み込めませんでした（求積区画："), 0u);
  EXPECT_EQ(host.Element(copy->m_Element.header.guid)->userData->bytes, before);
  EXPECT_EQ(loaded->SaveData(), NoError);
  EXPECT_EQ(host.ModulData(GS::UniString(kRecord))->bytes, stored);
  // Whole the next time: the copy gets its code, and saves write again.
  EXPECT_EQ(loaded->LoadData2(false), 1);
  EXPECT_EQ(host.Alerts().size(), 1u);
  EXPECT_NE(host.Element(copy->m_Element.header.guid)->userData->bytes, before);
  EXPECT_EQ(loaded->SaveData(), NoError);
  EXPECT_NE(host.ModulData(GS::UniString(kRecord))->bytes, stored);
}

TEST_F(LoaderTest, StoriesAddedOrDeletedSinceTheSaveAddOrDropTheirFloors)
{
  PatternDoc pattern(3);
  pattern.doc.m_FloorParamArray[2].m_bCalc = false;
  pattern.doc.m_FloorParamArray[1].m_CalcExcludeCodes.Add(1);
  pattern.doc.m_AreaTreeStore = pattern.doc.m_AreaTree2;
  ASSERT_EQ(pattern.doc.SaveData(), NoError);
  const std::vector<char> bytes = host.ModulData(GS::UniString(kRecord))->bytes;
  host.Reset();  // the project now has stories -1, 0 and 1
  host.LoadAddOnLibraryParts();
  host.AddStory(-1, -3.0, GS::UniString(u"B1"));
  host.AddStory(1, 3.0, GS::UniString(u"2F"));
  StoreRecord(1047, bytes);
  auto loaded = Load();
  ASSERT_EQ(loaded->m_FloorParamArray.size(), 3u);
  EXPECT_EQ(loaded->m_FloorParamArray[0].m_FloorNo, -1);
  EXPECT_TRUE(loaded->m_FloorParamArray[0].m_bCalc);
  EXPECT_TRUE(loaded->m_FloorParamArray[0].m_FloorName == GS::UniString(u"B1"));
  EXPECT_EQ(Codes(loaded->m_FloorParamArray[2].m_CalcExcludeCodes), std::vector<int>{1});
  EXPECT_EQ(loaded->m_FloorParamArray.Search(2), nullptr);
  EXPECT_TRUE(host.Alerts().empty());
}

TEST_F(LoaderTest, APatternNamingADeletedPresetGetsTheFirstWithTheReport)
{
  PatternDoc pattern;
  pattern.Node(PatternDoc::kTopCode)->m_RoundTypeId = 42;
  pattern.doc.m_AreaTreeStore = pattern.doc.m_AreaTree2;
  pattern.doc.m_EnvParam.m_Area1Layer = pattern.doc.m_EnvParam.m_ListLayer = layer;
  ASSERT_EQ(pattern.doc.SaveData(), NoError);
  auto loaded = Load();
  EXPECT_EQ(loaded->m_AreaTree2.m_Child.front().m_RoundTypeId, 0);
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_TRUE(host.Alerts()[0].largeText ==
              GS::UniString(u"パターン の端数処理が見つかりません。\n標準設定 に再設定しました\n\n"));
}

TEST_F(LoaderTest, AFailedSaveReportsARealError)
{
  host.FailOnce("ACAPI_ModulData_Store", APIERR_MEMFULL);
  EXPECT_EQ(doc.SaveData(), APIERR_MEMFULL);
  PatternDoc deep;
  CAreaTree* node = deep.Node(PatternDoc::kBuildingCode);
  for (int i = 0; i < CAreaTree::kMaxTreeDepth + 1; ++i) {
    node->m_Child.emplace_back();
    node = &node->m_Child.back();
  }
  EXPECT_EQ(deep.doc.SaveData(), APIERR_GENERAL);  // refused by the writer, nothing stored
  EXPECT_FALSE(host.ModulData(GS::UniString(kRecord)).has_value());
}

TEST_F(LoaderTest, OldFigureListsLandOnTheStoriesOfTheirPlacedParts)
{
  const auto a = PlaceFigure(host, doc, 0, 11);
  const auto b = PlaceFigure(host, doc, 1, 12);
  const auto c = PlaceFigure(host, doc, 1, 13);
  OldRecord old(1013);
  old.oldFigures = {11, 12, 13};
  StoreRecord(1013, old.Build());
  auto loaded = Load();
  auto codes = [&](std::size_t floor) {
    std::vector<int> out;
    for (const auto& f : loaded->m_FloorParamArray[floor].m_Area1ObjectArray)
      out.push_back(f->m_Code);
    return out;
  };
  EXPECT_EQ(codes(0), std::vector<int>{11});
  EXPECT_EQ(codes(1), (std::vector<int>{12, 13}));
  EXPECT_EQ(loaded->m_FloorParamArray[0].m_Area1ObjectArray[0]->m_Element.header.guid, a->m_Element.header.guid);
  EXPECT_EQ(loaded->m_LastArea1Code, 13);
}

TEST_F(LoaderTest, TheOldHotLinkRecordIsReadUpTo1028OntoItsElementsStory)
{
  auto place = [&](short story, bool hotLinked) {
    API_Element element;
    element.header.typeID = API_ObjectID;
    element.header.layer = 1;
    element.header.floorInd = story;
    element.object.libInd = 1;
    EXPECT_EQ(host.AddElement(element), NoError);
    API_Guid node{};
    node.bytes[3] = 1;
    if (hotLinked) {
      EXPECT_EQ(host.SetHotlinkNode(element.header.guid, node), NoError);
    }
    return element.header;
  };
  const API_Elem_Head linked = place(2, true);
  const API_Elem_Head unlinked = place(1, false);
  auto storeOld = [&](int version) {
    CHotLinkParamArray old;
    for (const API_Elem_Head& head : {linked, unlinked}) {
      API_Elem_Head zero{};
      zero.guid = head.guid;
      CAutoAreaParam areaParam(&zero);
      areaParam.m_ItemType1 = CItemType1Table::ITEMTYPE(4);
      old.push_back(areaParam);
    }
    CArchiveOld ar(CHotLinkParamArray::kOldRecordName);
    ar.Save(version);
    old.Serialize(ar);
    EXPECT_EQ(ar.Store(), NoError);
  };
  struct Case {
    int record, hotLink;
    std::size_t expected;
  };
  for (const Case& c : {Case{1028, 2001, 1}, Case{1030, 2001, 0}, Case{1028, 2000, 0}}) {
    SCOPED_TRACE(c.record * 10000 + c.hotLink);
    storeOld(c.hotLink);
    StoreRecord(c.record, OldRecord(c.record).Build());
    auto loaded = Load();
    const CHotLinkParamArray& records = loaded->m_FloorParamArray[2].m_HotLinkParamArray;
    ASSERT_EQ(records.size(), c.expected);
    EXPECT_TRUE(loaded->m_FloorParamArray[1].m_HotLinkParamArray.empty());  // no longer hot-linked
    if (c.expected == 1) {
      EXPECT_EQ(records[0].GetGuid(), linked.guid);
      EXPECT_EQ(records[0].GetFloor(), 2);
      EXPECT_EQ(records[0].m_ItemType1, 4);
    }
  }
  // A hot-link record the host cannot give: the load is not whole, and
  // the old record stays for the load that completes.
  storeOld(2001);
  const std::vector<char> old = OldRecord(1028).Build();
  StoreRecord(1028, old);
  const std::size_t alerts = host.Alerts().size();
  host.FailOnce("ACAPI_ModulData_Get", NoError);  // the project record
  host.FailOnce("ACAPI_ModulData_Get", APIERR_GENERAL);
  auto loaded = Load();
  EXPECT_TRUE(loaded->m_FloorParamArray[2].m_HotLinkParamArray.empty());
  ASSERT_EQ(host.Alerts().size(), alerts + 1);
  const std::string told = host.Alerts().back().largeText.ToStdString(CC_UTF8);
  EXPECT_EQ(told.find("求積データを最後まで読み込めませんでした（保存されている求積データ："), 0u);
  EXPECT_EQ(loaded->SaveData(), NoError);
  EXPECT_EQ(host.ModulData(GS::UniString(kRecord))->bytes, old);
}

TEST_F(LoaderTest, AStoredFigureOfAnotherKindThanItsPlacedPartGivesWayToThePart)
{
  PatternDoc pattern;
  pattern.doc.m_AreaTreeStore = pattern.doc.m_AreaTree2;
  const int element = pattern.AddElement(PatternDoc::kBuildingCode, u"要素");
  pattern.doc.m_AreaTreeStore = pattern.doc.m_AreaTree2;
  auto stale = MakeKindFigure(pattern.doc, 7, 0, CArea1Object::TYPE_CIRCLE);
  pattern.doc.m_FloorParamArray[0].m_Area1ObjectArray.push_back(stale);
  pattern.Element(element)->m_FloorArray.SearchFloor(0)->m_List.push_back(CArea2List(stale, COperatorTable::OPERATOR_PLUS));
  ASSERT_EQ(pattern.doc.SaveData(), NoError);
  const auto placed = PlaceFigure(host, doc, 0, 7, CArea1Object::TYPE_TRIANGLE);
  auto loaded = Load();
  const auto& figures = loaded->m_FloorParamArray[0].m_Area1ObjectArray;
  ASSERT_EQ(figures.size(), 1u);
  EXPECT_EQ(figures[0]->m_Type, CArea1Object::TYPE_TRIANGLE);
  EXPECT_EQ(figures[0]->m_Element.header.guid, placed->m_Element.header.guid);
  const auto* listing = dynamic_cast<const CArea2Object*>(loaded->GetAreaObject(element));
  ASSERT_EQ(listing->m_FloorArray.FindFloor(0)->m_List.size(), 1u);
  EXPECT_EQ(listing->m_FloorArray.FindFloor(0)->m_List[0].m_pArea1, figures[0]);
}

// A placed figure whose own record cannot be read (a version this program
// does not know, cut short, or the record of another kind than its part) is
// left out alone: everything else of the stored calculation loads, one
// alert names the element and why, the load writes nothing to the project,
// and new figure codes go on above every stored one. The entry that may be
// the figure's is held out of the totals and saved as it was, so the figure
// takes its place again once its record can be read.
class UnreadFigureTest : public LoaderTest {
protected:
  enum class Damage { Version, CutShort, OtherKind };

  // Three placed triangles 1..3 on the first story, all listed by one
  // element (the second subtracted, the third breaking the formula's line),
  // beside a folder holding a second element; loaded once as sound.
  void StoreProject()
  {
    host.Reset();
    host.LoadAddOnLibraryParts();
    ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
    ASSERT_EQ(host.AddStory(2, 6.0, GS::UniString(u"3F")), NoError);
    PatternDoc pattern(3);
    element = pattern.AddElement(PatternDoc::kBuildingCode, u"要素");
    pattern.AddElement(pattern.AddFolder(PatternDoc::kBuildingCode, u"小計"), u"要素２");
    CArea2ObjectFloor* floor = pattern.Element(element)->m_FloorArray.SearchFloor(0);
    floor->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
    placed.clear();
    for (int code = 1; code <= 3; ++code) {
      placed.push_back(PlaceFigure(host, pattern.doc, 0, code));
      pattern.doc.m_FloorParamArray[0].m_Area1ObjectArray.push_back(placed.back());
      floor->m_List.emplace_back(placed.back(), COperatorTable::OPERATOR(code == 2 ? 2 : 1));
      floor->m_List.back().m_CrMark.m_bCr = code == 3;
    }
    pattern.doc.m_LastArea1Code = 3;
    pattern.doc.m_AreaTreeStore = pattern.doc.m_AreaTree2;
    ASSERT_EQ(pattern.doc.SaveData(), NoError);
    sound = Load();
    ASSERT_TRUE(host.Alerts().empty());
  }

  void DamageFigure(const API_Guid& guid, int code, Damage damage)
  {
    pln::host::StoredUserData data = *host.Element(guid)->userData;
    if (damage == Damage::OtherKind) {
      auto circle = MakeKindFigure(*sound, code, 0, CArea1Object::TYPE_CIRCLE);
      circle->m_Element = host.Element(guid)->element;
      ASSERT_EQ(circle->Save(), NoError);
      return;
    }
    if (damage == Damage::Version)
      data.dataVersion = CArea1Object::kUserDataVersion + 1;
    else
      data.bytes.resize(data.bytes.size() / 2);
    ASSERT_EQ(host.SetUserData(guid, data.dataVersion, data.platformSign, data.bytes), NoError);
  }

  // The element's live entries on the first story in their order: code,
  // operator and break mark.
  using Entry = std::tuple<int, int, bool>;
  const CArea2ObjectFloor& Listing(const CPlenimetraParam& d) const
  {
    return *dynamic_cast<const CArea2Object*>(d.GetAreaObject(element))->m_FloorArray.FindFloor(0);
  }
  std::vector<Entry> Entries(const CPlenimetraParam& d) const
  {
    std::vector<Entry> entries;
    for (const CArea2List& entry : Listing(d).m_List)
      entries.emplace_back(entry.m_pArea1->m_Code, entry.m_Operator, entry.m_CrMark.m_bCr);
    return entries;
  }
  // The first story's figure codes in their list order (by sort index).
  static std::vector<int> FigureOrder(const CPlenimetraParam& d)
  {
    std::vector<std::pair<int, int>> order;
    for (const auto& figure : d.m_FloorParamArray[0].m_Area1ObjectArray)
      order.emplace_back(figure->m_SortIndex, figure->m_Code);
    std::sort(order.begin(), order.end());
    std::vector<int> codes;
    for (const auto& [index, code] : order)
      codes.push_back(code);
    return codes;
  }
  // The part shows this mark and number, as a placed figure does.
  void ShowLabel(const API_Guid& guid, const char16_t* mark, const char16_t* number)
  {
    API_ElementMemo memo{};
    ASSERT_EQ(ACAPI_Element_GetMemo(guid, &memo, APIMemoMask_AddPars), NoError);
    const GSSize count = BMGetHandleSize(reinterpret_cast<GSConstHandle>(memo.params)) /
                         static_cast<GSSize>(sizeof(API_AddParType));
    for (GSSize i = 0; i < count; ++i) {
      API_AddParType& par = (*memo.params)[i];
      const std::string name(par.name);
      if (name == "area_symbol_fig" || name == "area_symbol_str")
        std::char_traits<char16_t>::copy(par.uStrValue, name == "area_symbol_fig" ? mark : number, 2);
    }
    API_Element part = host.Element(guid)->element;
    EXPECT_EQ(ACAPI_Element_Change(&part, nullptr, &memo, APIMemoMask_AddPars, true), NoError);
    EXPECT_EQ(ACAPI_DisposeElemMemoHdls(&memo), NoError);
  }

  static std::set<std::string> FirstStoryGuids(const CPlenimetraParam& d)
  {
    std::set<std::string> guids;
    for (const auto& figure : d.m_FloorParamArray[0].m_Area1ObjectArray)
      guids.insert(APIGuidToString(figure->m_Element.header.guid).ToStdString(CC_UTF8));
    return guids;
  }

  int element = 0;
  std::vector<std::shared_ptr<TestKindFigure>> placed;
  std::unique_ptr<CPlenimetraParam> sound;
};

// The alert names the figure as the plan shows it (its GUID when the part
// shows no number) with the element holding its entry. Opening writes to
// no figure (the others' sort indices once closed the gap and were saved)
// and records no step; once readable the figure is back in its place in
// the figure order and among its element's entries.
TEST_F(UnreadFigureTest, OnlyTheUnreadableFigureIsLeftOutAndItComesBackWhenReadable)
{
  struct Case {
    Damage damage;
    int code;
    const char16_t* reason;
    const char16_t* label;  // null: the part shows none
  };
  for (const Case& c : {Case{Damage::Version, 1, u"データのバージョンが異なります", u"△1"},
                        Case{Damage::CutShort, 2, u"データが壊れています", u"△2"},
                        Case{Damage::OtherKind, 3, u"オブジェクトとデータの種類が異なります", nullptr}}) {
    SCOPED_TRACE(c.code);
    StoreProject();
    const API_Guid guid = placed[std::size_t(c.code - 1)]->m_Element.header.guid;
    if (c.label != nullptr)
      ShowLabel(guid, u"△", c.label + 1);
    const pln::host::StoredUserData readable = *host.Element(guid)->userData;
    DamageFigure(guid, c.code, c.damage);
    const pln::host::StoredUserData damaged = *host.Element(guid)->userData;
    const auto stored = host.ModulData(GS::UniString(kRecord));
    std::vector<pln::host::StoredUserData> others;
    for (const auto& figure : placed)
      others.push_back(*host.Element(figure->m_Element.header.guid)->userData);
    const std::size_t steps = host.UndoNames().size();

    auto loaded = Load();
    EXPECT_EQ(result, 1);
    std::set<std::string> left = FirstStoryGuids(*sound);
    ASSERT_EQ(left.erase(APIGuidToString(guid).ToStdString(CC_UTF8)), 1u);
    EXPECT_EQ(FirstStoryGuids(*loaded), left);
    EXPECT_TRUE(loaded->m_AreaTree2 == sound->m_AreaTree2);
    EXPECT_TRUE(loaded->m_AreaTreeStore == sound->m_AreaTreeStore);
    EXPECT_TRUE(loaded->m_Area4ObjectArray == sound->m_Area4ObjectArray);
    ASSERT_EQ(loaded->m_Area2ObjectArray.size(), 2u);
    EXPECT_TRUE(loaded->m_Area2ObjectArray.back() == sound->m_Area2ObjectArray.back());
    std::vector<Entry> live = Entries(*sound);
    const auto mine = std::find_if(live.begin(), live.end(), [&](const Entry& e) { return std::get<0>(e) == c.code; });
    const int before = mine == live.begin() ? 0 : std::get<0>(*(mine - 1));
    CArea2HeldEntry heldAsRead{c.code, CRoundTypeTable::ROUNDTYPE_DEFAULT, std::get<1>(*mine), CCrMark(), before};
    heldAsRead.m_CrMark.m_bCr = std::get<2>(*mine);
    live.erase(mine);
    EXPECT_EQ(Entries(*loaded), live);
    EXPECT_EQ(Listing(*loaded).m_HeldList, std::vector<CArea2HeldEntry>{heldAsRead});
    ASSERT_EQ(host.Alerts().size(), 1u);
    const GS::UniString named = c.label != nullptr ? GS::UniString(c.label) : APIGuidToString(guid);
    EXPECT_EQ(host.Alerts()[0].largeText.ToStdString(CC_UTF8),
              (GS::UniString(u"次の求積区画のデータを読み込めません。集計から外しました：\n1F　") + named + u"（要素）：" +
               c.reason)
                  .ToStdString(CC_UTF8));
    // The load wrote nothing: no side copy, record and user data as they were.
    EXPECT_TRUE(KeptCopy().empty());
    EXPECT_TRUE(host.ModulData(GS::UniString(kRecord)) == stored);
    for (std::size_t i = 0; i < placed.size(); ++i)
      EXPECT_TRUE(*host.Element(placed[i]->m_Element.header.guid)->userData ==
                  (i + 1 == std::size_t(c.code) ? damaged : others[i]));
    EXPECT_EQ(host.UndoNames().size(), steps);
    EXPECT_EQ(MakeFigure(*loaded, 0)->m_Code, 4);
    --loaded->m_LastArea1Code;

    // Saved and opened again: still out, reported again, its entry held.
    ASSERT_EQ(loaded->SaveData(), NoError);
    auto again = Load();
    EXPECT_EQ(Entries(*again), live);
    EXPECT_EQ(Listing(*again).m_HeldList, std::vector<CArea2HeldEntry>{heldAsRead});
    EXPECT_EQ(host.Alerts().size(), 2u);
    EXPECT_TRUE(*host.Element(guid)->userData == damaged);

    // Readable again, it is back in its element and in the figure order as
    // it was.
    ASSERT_EQ(host.SetUserData(guid, readable.dataVersion, readable.platformSign, readable.bytes), NoError);
    auto back = Load();
    EXPECT_EQ(host.Alerts().size(), 2u);
    EXPECT_EQ(FirstStoryGuids(*back), FirstStoryGuids(*sound));
    EXPECT_EQ(Entries(*back), Entries(*sound));
    EXPECT_EQ(FigureOrder(*back), FigureOrder(*sound));
  }
}

TEST_F(LoaderTest, ARecordThatCannotBeOpenedIsKeptBeforeAnySave)
{
  const std::vector<char> bytes = OldRecord(1047).Build();
  StoreRecord(1047, bytes);
  host.FailOnce("ACAPI_ModulData_Get", APIERR_MEMFULL);
  auto loaded = Load();
  EXPECT_EQ(loaded->m_AreaTree2.m_Child.size(), 1u);  // the default pattern
  ASSERT_EQ(host.Alerts().size(), 1u);
  const std::string told = host.Alerts()[0].largeText.ToStdString(CC_UTF8);
  EXPECT_EQ(told.find("求積データを最後まで読み込めませんでした（保存されている求積データ："), 0u);
  // The record stays where it is: no copy is needed, and no save replaces
  // it until a load completes.
  EXPECT_TRUE(KeptCopy().empty());
  EXPECT_EQ(loaded->SaveData(), NoError);
  EXPECT_EQ(host.ModulData(GS::UniString(kRecord))->bytes, bytes);
  EXPECT_EQ(loaded->LoadData2(false), 1);
  EXPECT_EQ(host.Alerts().size(), 1u);
  EXPECT_EQ(loaded->SaveData(), NoError);
  EXPECT_NE(host.ModulData(GS::UniString(kRecord))->bytes, bytes);
}

}  // namespace
