// Rounding presets: the standard preset, search and equality, the repair of
// unusable fields, and both stored forms with their old layouts, repairs
// and refused counts.

#include "CRoundTypeParam.h"
#include "DocTestSupport.h"

namespace {

using RT = CRoundTypeTable;

CRoundTypeParam Custom(int id, const char16_t* name)
{
  CRoundTypeParam p(id, GS::UniString(name), CRoundTypeItem(RT::ROUNDTYPE_HALFUP, 3), CRoundTypeItem(RT::ROUNDTYPE_UP, 1),
                    CRoundTypeItem(RT::ROUNDTYPE_CUT, 5), CRoundTypeItem(RT::ROUNDTYPE_HALFUP, 3), 7);
  p.m_RoundUpNextDigit = false;
  return p;
}

// The standard preset's fields are pinned by its golden bytes (PresetFile).
TEST(CRoundTypeParamTest, FreshArrayHoldsTheStandardPresetAndNewOnesCountUp)
{
  CRoundTypeParamArray presets;
  ASSERT_EQ(presets.size(), 1u);
  EXPECT_EQ(presets.m_MaxId, 0);

  EXPECT_EQ(presets.AddNew(GS::UniString(u"追加")).m_Id, 1);
  EXPECT_EQ(presets.m_MaxId, 1);
  EXPECT_EQ(presets[1].m_Area1RoundType, presets[0].m_Area1RoundType);
  EXPECT_EQ(presets.AddNew(GS::UniString()).m_Id, 2);
}

TEST(CRoundTypeParamTest, SearchTakesTheFirstMatchingIdAndEqualityEveryFieldButTheIdCounter)
{
  CRoundTypeParamArray presets;
  presets.push_back(Custom(5, u"a"));
  presets.push_back(Custom(5, u"b"));
  EXPECT_EQ(presets.Search(5), &presets[1]);
  EXPECT_EQ(presets.Search(4), nullptr);

  CRoundTypeParamArray a;
  CRoundTypeParamArray b;
  b.m_MaxId = 9;
  EXPECT_TRUE(a == b);
  const std::function<void(CRoundTypeParamArray&)> changes[] = {
      [](CRoundTypeParamArray& x) { x[0].m_RoundUpNextDigit = false; },
      [](CRoundTypeParamArray& x) { x[0].m_LengthRoundType.m_Digit = 3; },
      [](CRoundTypeParamArray& x) { x[0].m_Name = GS::UniString(u"x"); },
      [](CRoundTypeParamArray& x) { x.push_back(Custom(1, u"x")); },
  };
  for (const auto& change : changes) {
    b = a;
    change(b);
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a != b);
  }
}

TEST(CRoundTypeParamTest, RepairPutsUnusableFieldsBackToTheirDefaults)
{
  CRoundTypeParam p = Custom(3, u"p");
  EXPECT_TRUE(p.Repair());
  p.m_LengthRoundType.m_Digit = 5;
  p.m_AngleRoundType.m_Digit = 10;
  p.m_PaiCode = 9;
  EXPECT_FALSE(p.Repair());
  EXPECT_EQ(p.m_LengthRoundType, CRoundTypeItem(RT::ROUNDTYPE_HALFUP, 4));
  EXPECT_EQ(p.m_AngleRoundType, CRoundTypeItem(RT::ROUNDTYPE_CUT, 2));
  EXPECT_EQ(p.m_PaiCode, 1);
  for (int digit : {0, 9}) {
    p.m_AngleRoundType.m_Digit = digit;
    EXPECT_TRUE(p.Repair());
  }
  p.m_AngleRoundType.m_Digit = -1;
  p.m_PaiCode = 0;
  EXPECT_FALSE(p.Repair());
  EXPECT_EQ(p.m_PaiCode, 1);
}

// ---- the project record ---------------------------------------------------------

class PresetRecord : public DocTest {
protected:
  // Reads the stored record into the presets; the reader's answer.
  bool Load(CRoundTypeParamArray& presets)
  {
    return record.Read([&](CArchive& ar) { return presets.Serialize(ar); });
  }
};

TEST_F(PresetRecord, CurrentVersionRoundTrips)
{
  CRoundTypeParamArray stored;
  stored.push_back(Custom(4, u"四"));
  stored.m_MaxId = 11;
  record.Write(1047, [&](CArchive& ar) { EXPECT_TRUE(stored.Serialize(ar)); });
  CRoundTypeParamArray loaded;
  loaded.clear();
  EXPECT_TRUE(record.Read([&](CArchive& ar) { return loaded.Serialize(ar) && ar.RemainingBytes() == 0; }));
  EXPECT_TRUE(loaded == stored);
  EXPECT_EQ(loaded.m_MaxId, 11);
  EXPECT_FALSE(loaded[1].m_RoundUpNextDigit);
}

TEST_F(PresetRecord, RecordsBefore1038KeepOnlyTheFigureKindAndBefore1045ClearTheFlag)
{
  // Version 1037: 8-bit name, figure-area kind without digit, pi code, no flag.
  record.Write(1037, [](CArchive& ar) {
    ar << 1 << 6 << GS::UniString(u"旧設定").ToStdString(CC_Japanese);  // count, id, name
    ar << 1 << 3 << 1 << 2 << 4 << 1 << 3;  // figure-area kind only, list entry, angle, length
    ar << 5 << 6;                            // pi code, m_MaxId
  });
  CRoundTypeParamArray loaded;
  loaded[0].m_Area1RoundType.m_Digit = 0;
  EXPECT_TRUE(Load(loaded));
  CRoundTypeParam expected(6, GS::UniString(u"旧設定"), CRoundTypeItem(RT::ROUNDTYPE_HALFUP, 6),
                           CRoundTypeItem(RT::ROUNDTYPE_UP, 1), CRoundTypeItem(RT::ROUNDTYPE_CUT, 4),
                           CRoundTypeItem(RT::ROUNDTYPE_HALFUP, 3), 5);
  expected.m_RoundUpNextDigit = false;
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_TRUE(loaded[0] == expected);
  EXPECT_EQ(loaded.m_MaxId, 6);
}

TEST_F(PresetRecord, RecordsBefore1010DeriveTheIdCounterAndBefore1008KeepThePiCode)
{
  record.Write(1005, [](CArchive& ar) {
    ar << 2;
    for (int id : {3, 7})
      ar << id << std::string("p") << 2 << 2 << 2 << 2 << 2 << 2 << 4;  // figure-area kind only
  });
  CRoundTypeParamArray loaded;
  loaded[0].m_PaiCode = 3;  // an older record leaves what was there
  EXPECT_TRUE(Load(loaded));
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].m_PaiCode, 3);
  EXPECT_EQ(loaded[1].m_PaiCode, 1);
  EXPECT_EQ(loaded.m_MaxId, 7);

  record.Write(1009, [](CArchive& ar) { ar << 1 << -4 << std::string("") << 2 << 2 << 2 << 2 << 2 << 2 << 4 << 1; });
  Load(loaded);
  EXPECT_EQ(loaded.m_MaxId, 0);  // negative ids never lower it below 0
}

TEST_F(PresetRecord, DamagedFieldsAreRepairedAndReportedAndCountsBeyondTheDataRefused)
{
  record.Write(1047, [](CArchive& ar) {
    ar << 1 << 0 << GS::UniString(u"x") << 2 << 6 << 2 << 2;
    ar << 2 << 11;  // angle digit beyond 9
    ar << 2 << 7;   // length digit neither 3 nor 4
    ar << 0;        // pi code outside 1..8
    ar << true << 0;
  });
  CRoundTypeParamArray loaded;
  EXPECT_FALSE(Load(loaded));
  EXPECT_EQ(loaded[0].m_AngleRoundType.m_Digit, 2);
  EXPECT_EQ(loaded[0].m_LengthRoundType.m_Digit, 4);
  EXPECT_EQ(loaded[0].m_PaiCode, 1);

  for (int count : {-1, 2, 100000000}) {
    record.Write(1047, [&](CArchive& ar) { ar << count << 0 << GS::UniString(u"x") << 2 << 6; });
    CRoundTypeParamArray refused;
    EXPECT_NE(record.ReadThrown([&](CArchive& ar) { refused.Serialize(ar); }), 0u) << count;
    EXPECT_EQ(refused.size(), 1u) << count;
  }
}

// ---- the settings file ------------------------------------------------------------

class PresetFile : public ::testing::Test {
protected:
  void Write(int version, const std::function<void(CFileArchive&)>& writer)
  {
    CFileArchive ar(files.Path());
    ASSERT_EQ(ar.Save(version), 0);
    writer(ar);
  }
  // Reads the file into the presets, none needing repair; the file's
  // error afterwards.
  int Read(CRoundTypeParamArray& presets)
  {
    CFileArchive ar(files.Path());
    EXPECT_EQ(ar.Open(), 0);
    EXPECT_TRUE(presets.Read(ar));
    return ar.GetError();
  }

  HostFixture host;
  SandboxFiles files;
};

TEST_F(PresetFile, TheStandardPresetHasTheseBytesAndACustomOneRoundTrips)
{
  Write(24, [](CFileArchive& ar) { CRoundTypeParamArray().Write(ar); });
  StoredBytes expected;
  expected.Int(24).Int(1).Int(0);                       // file version, one preset, id 0
  expected.Text("\x95\x57\x8f\x80\x90\xdd\x92\xe8");    // 標準設定
  expected.Int(2).Int(6).Int(2).Int(2).Int(2).Int(2);   // figure area, list entry, angle
  expected.Int(2).Int(4).Int(1).Bool(true).Int(0);      // length, pi code, next-digit flag, m_MaxId
  EXPECT_EQ(files.Contents(), expected.Str());

  CRoundTypeParamArray stored;
  stored.push_back(Custom(2, u"二"));
  stored.m_MaxId = 2;
  Write(24, [&](CFileArchive& ar) { stored.Write(ar); });
  CRoundTypeParamArray loaded;
  EXPECT_EQ(Read(loaded), 0);
  EXPECT_TRUE(loaded == stored);
  EXPECT_EQ(loaded.m_MaxId, 2);
}

TEST_F(PresetFile, OldFilesUseTheirLayoutKeepTheFlagAndDeriveTheIdCounter)
{
  // Version 18: 8-bit name, figure-area kind only, pi code, no flag.
  Write(18, [](CFileArchive& ar) {
    ar << 1 << 3 << GS::UniString(u"旧").ToStdString(CC_Japanese) << 3 << 1 << 1 << 2 << 3 << 2 << 3 << 8 << 3;
  });
  CRoundTypeParamArray loaded;
  EXPECT_EQ(Read(loaded), 0);
  // Files before 23 leave the next-digit flag as it was (true).
  EXPECT_TRUE(loaded[0] == CRoundTypeParam(3, GS::UniString(u"旧"), CRoundTypeItem(RT::ROUNDTYPE_UP, 6),
                                           CRoundTypeItem(RT::ROUNDTYPE_HALFUP, 1), CRoundTypeItem(RT::ROUNDTYPE_CUT, 3),
                                           CRoundTypeItem(RT::ROUNDTYPE_CUT, 3), 8));
  EXPECT_EQ(loaded.m_MaxId, 3);

  // Before 7 the counter is the highest id.
  Write(6, [](CFileArchive& ar) {
    ar << 2;
    for (int id : {9, 4})
      ar << id << std::string("p") << 2 << 2 << 2 << 2 << 2 << 2 << 4 << 1;
  });
  CRoundTypeParamArray six;
  EXPECT_EQ(Read(six), 0);
  EXPECT_EQ(six.size(), 2u);
  EXPECT_EQ(six.m_MaxId, 9);
}

TEST_F(PresetFile, AShortFileOrAHugeCountStopsReadingAndKeepsTheRest)
{
  CRoundTypeParamArray stored;
  stored[0] = Custom(0, u"x");
  Write(24, [&](CFileArchive& ar) { stored.Write(ar); });
  std::filesystem::resize_file(files.File(), 4 + 4 + 4 + 3);  // version, count, id, the name without its zero
  CRoundTypeParamArray loaded;
  EXPECT_EQ(Read(loaded), 3);  // nothing repaired: the error tells
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0].m_Name.Std(), u"標準設定");
  EXPECT_EQ(loaded[0].m_PaiCode, 1);

  Write(24, [](CFileArchive& ar) { ar << 2000000000 << 0; });
  CRoundTypeParamArray huge;
  EXPECT_EQ(Read(huge), 3);
  EXPECT_EQ(huge.size(), 1u);
}

}  // namespace
