// Names in the stored forms under both default host codes. Each writer
// chooses between host strings and 8-bit Shift-JIS by the version of the
// form it writes, so the bytes depend on the host's default code only where
// the form stores host strings; and every reader refuses stored bytes that
// its code has no character for, since no later save could give them back.

#include "CEnvParam.h"
#include "DocRecord.h"
#include "DocTestSupport.h"
#include "host_charcodes.h"

#include <array>
#include <fstream>
#include <iterator>

namespace {

constexpr GSCharCode kDefaultCodes[] = {CC_Japanese, CC_UTF8};

std::string Encoded(const char16_t* text, GSCharCode code) { return GS::UniString(text).ToStdString(code); }

// One pattern 計算パターン: the building 建物 holding the element 計算.
CPlenimetraParamArray NamedPatterns()
{
  PatternDoc p;
  p.Object(PatternDoc::kTopCode)->m_Name.m_DefaultName = GS::UniString(u"計算パターン");
  p.AddElement(PatternDoc::kBuildingCode, u"計算");
  CPlenimetraParamArray patterns;
  patterns.push_back(p.doc);
  return patterns;
}

// The flat records of NamedPatterns() behind their pattern and record
// counts, names in the code: name, code, parent, kind, cut at 2 twice.
StoredBytes FlatPatterns(GSCharCode code)
{
  StoredBytes b;
  b.Int(1).Int(3);
  b.Text(Encoded(u"計算パターン", code)).Int(1).Int(0).Int(2).Int(2).Int(2).Int(2).Int(2);
  b.Text(Encoded(u"建物", code)).Int(2).Int(1).Int(2).Int(2).Int(2).Int(2).Int(2);
  b.Text(Encoded(u"計算", code)).Int(3).Int(2).Int(0).Int(2).Int(2).Int(2).Int(2);
  return b;
}

std::vector<GS::UniString> Names(CPlenimetraParam& doc)
{
  std::vector<GS::UniString> names;
  for (int code : {1, 2, -3})
    names.push_back(doc.GetAreaObject(code)->m_Name.m_DefaultName);
  return names;
}

const std::vector<GS::UniString> kNames{GS::UniString(u"計算パターン"), GS::UniString(u"建物"), GS::UniString(u"計算")};

std::string DataFile(const char* name)
{
  std::ifstream in(std::string(TEST_DATA_DIR) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class StoredNameCodesTest : public DocTest {
protected:
  void WriteFile(int version)
  {
    CFileArchive ar(files.Path());
    ASSERT_EQ(ar.Save(version), 0);
    NamedPatterns().Write(ar);
    EXPECT_EQ(ar.Close(), 0);
  }
  // The file's error after reading the patterns.
  int ReadFile(CPlenimetraParamArray& patterns)
  {
    CFileArchive ar(files.Path());
    EXPECT_EQ(ar.Open(), 0);
    patterns.Read(ar);
    return ar.GetError();
  }
  // The file's error after reading presets from a file of the version
  // holding one preset named by the bytes.
  int ReadPresetNamed(int version, const std::string& name)
  {
    files.Put(StoredBytes().Int(version).Int(1).Int(3).Text(name).Str() + std::string(64, '\0'));
    CFileArchive ar(files.Path());
    EXPECT_EQ(ar.Open(), 0);
    CRoundTypeParamArray presets;
    presets.Read(ar);
    return ar.GetError();
  }

  SandboxFiles files;
};

TEST_F(StoredNameCodesTest, TheSettingsFileStoresPatternNamesInItsOwnVersionsFormUnderEitherDefaultCode)
{
  for (GSCharCode code : kDefaultCodes) {
    pln::host::SetDefaultCharCode(code);
    // Version 24 stores host strings (the default code), version 21 Shift-JIS.
    for (auto [version, names] : {std::pair{24, code}, std::pair{21, CC_Japanese}}) {
      WriteFile(version);
      EXPECT_EQ(files.Contents(), StoredBytes().Int(version).Append(FlatPatterns(names)).Str()) << code << version;
      CPlenimetraParamArray back;
      ASSERT_EQ(ReadFile(back), 0);
      ASSERT_EQ(back.size(), 1u);
      EXPECT_EQ(Names(back[0]), kNames) << code << version;
    }
  }
}

TEST_F(StoredNameCodesTest, TheProjectRecordStoresPatternNamesAsHostStringsUnderEitherDefaultCode)
{
  for (GSCharCode code : kDefaultCodes) {
    pln::host::SetDefaultCharCode(code);
    record.Write(1047, [&](CArchive& ar) { EXPECT_TRUE(NamedPatterns().SerializeEnv(ar)); });
    EXPECT_EQ(record.Bytes(host), FlatPatterns(code).Get()) << code;
    CPlenimetraParamArray back;
    ASSERT_TRUE(record.Read([&](CArchive& ar) { return back.SerializeEnv(ar) && ar.RemainingBytes() == 0; }));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(Names(back[0]), kNames) << code;
  }
}

TEST_F(StoredNameCodesTest, ThePatternFileStoresShiftJisNamesUnderEitherDefaultCode)
{
  for (GSCharCode code : kDefaultCodes) {
    pln::host::SetDefaultCharCode(code);
    CPlenimetraParamArray patterns = NamedPatterns();
    ASSERT_TRUE(patterns[0].m_AreaTree2.m_Child.at(0).Save3(&patterns[0], files.Path("p.txt")));
    EXPECT_EQ(files.Contents("p.txt"), Encoded(u"計算パターン", CC_Japanese) + "\t1\t2\t2\t2\t2\n" +
                                           Encoded(u"建物", CC_Japanese) + "\t2\t1\t2\t2\t2\t2\t2\n" +
                                           Encoded(u"計算", CC_Japanese) + "\t3\t2\t0\t2\t2\t2\t2\n");
    CPlenimetraParam back;
    ASSERT_EQ(back.m_AreaTree2.Load3(&back, files.Path("p.txt")), 1);
    EXPECT_EQ(Names(back), kNames) << code;
  }
}

// Found by fuzzing: a preset named by the byte 0x80 read as U+FFFD and was
// saved back as "?".
TEST_F(StoredNameCodesTest, ASettingsFileWithANameItsCodeCannotMapIsRefusedAndChangesNothing)
{
  host.AddLayer(GS::UniString(u"メンセラ"));
  for (const char* input : {"settings-name-byte80.bin", "settings-name-byte80-min.bin"}) {
    files.Put(DataFile(input));
    CEnvParam env;
    env.m_TuboFactor = 0.77;
    env.m_RoundTypeParamArray.AddNew(GS::UniString(u"前"));
    const CEnvParam before = env;
    EXPECT_FALSE(env.LoadData(files.Path())) << input;
    EXPECT_TRUE(env == before) << input;
  }
}

TEST_F(StoredNameCodesTest, EveryReaderOfNamesRefusesBytesItsCodeCannotMap)
{
  // Presets of the settings file: 8-bit names (before 22) and host strings.
  EXPECT_EQ(ReadPresetNamed(21, "\x80"), 3);
  EXPECT_EQ(ReadPresetNamed(24, "\x80"), 3);
  EXPECT_EQ(ReadPresetNamed(24, "A\x81"), 3);  // a lead byte without its trail
  EXPECT_EQ(ReadPresetNamed(24, Encoded(u"標準", CC_Japanese)), 0);

  // Flat tree records of the project record, old and new.
  for (int version : {1042, 1047}) {
    record.Store(version, StoredBytes().Int(1).Text("\x80").Int(1).Int(0).Int(2).Int(2).Int(2).Int(2).Int(2).Get());
    CPlenimetraParam back;
    EXPECT_EQ(record.ReadThrown([&](CArchive& ar) { back.m_AreaTree2.SerializeEnv(ar, &back, nullptr); }),
              CArchive::kPastEnd)
        << version;
  }
  // Names of the project record's objects in the old form.
  record.Store(1042, StoredBytes().Text("\x80").Get());
  GS::UniString name(u"元");
  EXPECT_EQ(record.ReadThrown([&](CArchive& ar) { DocText::Serialize(ar, name, DocVersion::kHostStringNames); }),
            CArchive::kPastEnd);
  EXPECT_EQ(name, GS::UniString(u"元"));

  // The pattern file: a bad file, so the default pattern.
  files.Put("\x80\t1\n", "p.txt");
  CPlenimetraParam pattern;
  EXPECT_EQ(pattern.m_AreaTree2.Load3(&pattern, files.Path("p.txt")), 0);
  EXPECT_EQ(pattern.GetAreaObject(1)->m_Name.m_DefaultName, GS::UniString(u"建物"));
}

TEST_F(StoredNameCodesTest, UnderAUtf8HostOnlyBytesThatAreNoUtf8AreRefused)
{
  pln::host::SetDefaultCharCode(CC_UTF8);
  EXPECT_EQ(ReadPresetNamed(24, "\xFF"), 3);
  EXPECT_EQ(ReadPresetNamed(24, "\xE8\xA8"), 3);  // cut inside a character
  EXPECT_EQ(ReadPresetNamed(24, "\xEF\xBF\xBD"), 0);  // U+FFFD itself is a character
  EXPECT_EQ(ReadPresetNamed(21, Encoded(u"計算", CC_Japanese)), 0);
  EXPECT_EQ(ReadPresetNamed(21, Encoded(u"計算", CC_UTF8)), 3);  // 計 is E8 A8 88: no Shift-JIS
}

// ---- texts a code cannot hold -------------------------------------------------

using DocTextTest = DocTest;

TEST_F(DocTextTest, TheFirstCharacterACodeCannotHoldIsNamedWholeInTheRefusal)
{
  const std::u16string lone(1, u'\xD800');
  const std::u16string zero(u"A\0B", 3);  // the stored text would end at the zero
  const std::vector<std::array<std::u16string, 3>> rows{
      // text, unheld in Shift-JIS (the default here), unheld in UTF-8
      {u"標準設定　ｶﾅ①～", u"", u""},
      {u"A€B", u"€", u""},
      {u"計😀算€", u"😀", u""},  // a surrogate pair is one character
      {u"¥100", u"¥", u""},      // Shift-JIS would give "\100" back
      {lone, lone, lone},
      {zero, std::u16string(1, 0), std::u16string(1, 0)},
  };
  for (const auto& [text, unheldInShiftJis, unheldInUtf8] : rows) {
    EXPECT_EQ(DocText::FirstUnheld(GS::UniString::FromStd(text)), GS::UniString::FromStd(unheldInShiftJis));
    EXPECT_EQ(DocText::FirstUnheld(GS::UniString::FromStd(text), CC_UTF8), GS::UniString::FromStd(unheldInUtf8));
  }
  EXPECT_EQ(DocText::UnheldMessage(GS::UniString(u"😀")), GS::UniString(u"使用できない文字「😀」(U+1F600)が含まれています"));
}

// The settings file is written as a copy that replaces the file only when
// whole: under Shift-JIS a name it cannot hold fails the save, reported,
// and the file stays; under UTF-8 the name is stored and read back.
TEST_F(StoredNameCodesTest, ASettingsFileSaveThatWouldChangeANameFailsAndKeepsTheFile)
{
  host.AddLayer(GS::UniString(u"メンセラ"));
  CEnvParam env;
  env.m_PatternArray = NamedPatterns();
  ASSERT_TRUE(env.SaveData(files.Path()));
  const std::string kept = files.Contents();
  auto presetName = [](CEnvParam& e) -> GS::UniString& { return e.m_RoundTypeParamArray[0].m_Name; };
  auto patternName = [](CEnvParam& e) -> GS::UniString& { return e.m_PatternArray[0].GetAreaObject(1)->m_Name.m_DefaultName; };
  for (GSCharCode code : kDefaultCodes) {
    pln::host::SetDefaultCharCode(code);
    for (auto name : {+presetName, +patternName}) {
      CEnvParam changed = env;
      name(changed) = GS::UniString(u"A€B😀");
      const auto alerts = host.Alerts().size();
      CEnvParam back;
      if (code == CC_UTF8) {
        ASSERT_TRUE(changed.SaveData(files.Path()));
        ASSERT_TRUE(back.LoadData(files.Path()));
        EXPECT_EQ(name(back), GS::UniString(u"A€B😀"));
        continue;
      }
      EXPECT_FALSE(changed.SaveData(files.Path()));
      EXPECT_EQ(files.Contents(), kept);
      ASSERT_EQ(host.Alerts().size(), alerts + 1);
      EXPECT_EQ(host.Alerts().back().largeText, files.Path() + GS::UniString(u"が保存できません"));
    }
  }
}

// The older forms keep names in Shift-JIS whatever the host's code: their
// writers refuse what Shift-JIS cannot hold under UTF-8 too.
TEST_F(StoredNameCodesTest, ShiftJisFormsRefuseUnderUtf8WhatShiftJisCannotHold)
{
  pln::host::SetDefaultCharCode(CC_UTF8);
  CPlenimetraParamArray patterns = NamedPatterns();
  patterns[0].GetAreaObject(-3)->m_Name.m_DefaultName = GS::UniString(u"計算😀");

  // Presets of project records before 1043.
  const CRoundTypeParam preset(1, GS::UniString(u"A€B"));
  record.Write(1042, [&](CArchive& ar) {
    EXPECT_EQ(ThrownBy([&] { CRoundTypeParam(preset).Serialize(ar); }), CArchive::kTooLong);
  });
  // Flat pattern records of settings files before 22.
  {
    CFileArchive ar(files.Path());
    ASSERT_EQ(ar.Save(21), 0);
    patterns.Write(ar);
    EXPECT_EQ(ar.Close(), 3);
  }
  // The pattern file.
  files.Put("kept", "p.txt");
  EXPECT_FALSE(patterns[0].m_AreaTree2.m_Child.at(0).Save3(&patterns[0], files.Path("p.txt")));
  EXPECT_EQ(files.Contents("p.txt"), "kept");
  // The same names in the current forms, host strings in UTF-8.
  record.Write(1047, [&](CArchive& ar) { EXPECT_EQ(ThrownBy([&] { CRoundTypeParam(preset).Serialize(ar); }), 0u); });
  CFileArchive ar(files.Path());
  ASSERT_EQ(ar.Save(24), 0);
  patterns.Write(ar);
  EXPECT_EQ(ar.Close(), 0);
}

}  // namespace
