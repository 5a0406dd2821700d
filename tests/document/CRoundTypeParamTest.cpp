#include "CArchive.h"
#include "CRoundTypeParam.h"
#include "HostFixture.h"
#include "io_filesystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using RT = CRoundTypeTable;

CRoundTypeParam Custom(int id, const char16_t* name)
{
  CRoundTypeParam p(id, GS::UniString(name), CRoundTypeItem(RT::ROUNDTYPE_HALFUP, 3), CRoundTypeItem(RT::ROUNDTYPE_UP, 1),
                    CRoundTypeItem(RT::ROUNDTYPE_CUT, 5), CRoundTypeItem(RT::ROUNDTYPE_HALFUP, 3), 7);
  p.m_RoundUpNextDigit = false;
  return p;
}

TEST(CRoundTypeParamTest, FreshArrayHoldsTheStandardPreset)
{
  CRoundTypeParamArray presets;
  ASSERT_EQ(presets.size(), 1u);
  const CRoundTypeParam& p = presets[0];
  EXPECT_EQ(p.m_Name.Std(), u"標準設定");
  EXPECT_EQ(p.m_Id, 0);
  EXPECT_EQ(p.m_Area1RoundType, CRoundTypeItem(RT::ROUNDTYPE_CUT, 6));
  EXPECT_EQ(p.m_Area2ListRoundType, CRoundTypeItem(RT::ROUNDTYPE_CUT, 2));
  EXPECT_EQ(p.m_AngleRoundType, CRoundTypeItem(RT::ROUNDTYPE_CUT, 2));
  EXPECT_EQ(p.m_LengthRoundType, CRoundTypeItem(RT::ROUNDTYPE_CUT, 4));
  EXPECT_EQ(p.m_PaiCode, 1);
  EXPECT_TRUE(p.m_RoundUpNextDigit);
  EXPECT_EQ(presets.m_MaxId, 0);

  const int added = presets.AddNew(GS::UniString(u"追加")).m_Id;
  EXPECT_EQ(added, 1);
  EXPECT_EQ(presets.m_MaxId, 1);
  EXPECT_EQ(presets[1].m_Area1RoundType, presets[0].m_Area1RoundType);
  EXPECT_EQ(presets.AddNew(GS::UniString()).m_Id, 2);
}

TEST(CRoundTypeParamTest, SearchTakesTheFirstMatchingId)
{
  CRoundTypeParamArray presets;
  presets.push_back(Custom(5, u"a"));
  presets.push_back(Custom(5, u"b"));
  ASSERT_NE(presets.Search(5), nullptr);
  EXPECT_EQ(presets.Search(5)->m_Name.Std(), u"a");
  EXPECT_EQ(presets.Search(4), nullptr);
  presets.clear();
  EXPECT_EQ(presets.Search(0), nullptr);
}

TEST(CRoundTypeParamTest, EqualityComparesEveryPresetFieldButNotTheIdCounter)
{
  CRoundTypeParamArray a;
  CRoundTypeParamArray b;
  b.m_MaxId = 9;
  EXPECT_TRUE(a == b);
  b[0].m_RoundUpNextDigit = false;
  EXPECT_FALSE(a == b);
  b = a;
  b[0].m_LengthRoundType.m_Digit = 3;
  EXPECT_TRUE(a != b);
  b = a;
  b[0].m_Name = GS::UniString(u"x");
  EXPECT_FALSE(a == b);
  b = a;
  b.push_back(Custom(1, u"x"));
  EXPECT_FALSE(a == b);
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

class PresetRecord : public ::testing::Test {
protected:
  static constexpr const char* kName = "PLN_PRESET_TEST";

  template <class Write>
  void Store(int version, Write write)
  {
    CArchiveOld ar(kName);
    ar.Save(version);
    write(ar);
  }
  template <class Read>
  void Load(Read read)
  {
    CArchiveOld ar(kName);
    ASSERT_EQ(ar.Open(), 0);
    read(ar);
  }

  HostFixture host;
};

TEST_F(PresetRecord, CurrentVersionRoundTrips)
{
  CRoundTypeParamArray stored;
  stored.push_back(Custom(4, u"四"));
  stored.m_MaxId = 11;
  Store(1047, [&](CArchive& ar) { EXPECT_TRUE(stored.Serialize(ar)); });
  CRoundTypeParamArray loaded;
  loaded.clear();
  Load([&](CArchive& ar) {
    EXPECT_TRUE(loaded.Serialize(ar));
    EXPECT_EQ(ar.RemainingBytes(), 0u);
  });
  EXPECT_TRUE(loaded == stored);
  EXPECT_EQ(loaded.m_MaxId, 11);
  EXPECT_FALSE(loaded[1].m_RoundUpNextDigit);
}

TEST_F(PresetRecord, RecordsBefore1038KeepOnlyTheFigureKindAndBefore1045ClearTheFlag)
{
  // Version 1037: 8-bit name, figure-area kind without digit, pi code, no flag.
  Store(1037, [](CArchive& ar) {
    ar << 1;  // count
    ar << 6 << GS::UniString(u"旧設定").ToStdString(CC_Japanese);
    ar << 1;           // figure-area kind only
    ar << 3 << 1;      // list entry
    ar << 2 << 4;      // angle
    ar << 1 << 3;      // length
    ar << 5;           // pi code
    ar << 6;           // m_MaxId
  });
  CRoundTypeParamArray loaded;
  loaded[0].m_Area1RoundType.m_Digit = 0;
  Load([&](CArchive& ar) { EXPECT_TRUE(loaded.Serialize(ar)); });
  ASSERT_EQ(loaded.size(), 1u);
  const CRoundTypeParam& p = loaded[0];
  EXPECT_EQ(p.m_Id, 6);
  EXPECT_EQ(p.m_Name.Std(), u"旧設定");
  EXPECT_EQ(p.m_Area1RoundType, CRoundTypeItem(RT::ROUNDTYPE_HALFUP, 6));
  EXPECT_EQ(p.m_Area2ListRoundType, CRoundTypeItem(RT::ROUNDTYPE_UP, 1));
  EXPECT_EQ(p.m_AngleRoundType, CRoundTypeItem(RT::ROUNDTYPE_CUT, 4));
  EXPECT_EQ(p.m_LengthRoundType, CRoundTypeItem(RT::ROUNDTYPE_HALFUP, 3));
  EXPECT_EQ(p.m_PaiCode, 5);
  EXPECT_FALSE(p.m_RoundUpNextDigit);
  EXPECT_EQ(loaded.m_MaxId, 6);
}

TEST_F(PresetRecord, RecordsBefore1010DeriveTheIdCounterAndBefore1008KeepThePiCode)
{
  Store(1005, [](CArchive& ar) {
    ar << 2;
    for (int id : {3, 7}) {
      ar << id << std::string("p");
      ar << 2;  // figure-area kind only
      ar << 2 << 2 << 2 << 2 << 2 << 4;
    }
  });
  CRoundTypeParamArray loaded;
  loaded[0].m_PaiCode = 3;  // an older record leaves what was there
  Load([&](CArchive& ar) { EXPECT_TRUE(loaded.Serialize(ar)); });
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].m_PaiCode, 3);
  EXPECT_EQ(loaded[1].m_PaiCode, 1);
  EXPECT_EQ(loaded.m_MaxId, 7);

  Store(1009, [](CArchive& ar) {
    ar << 1 << -4 << std::string("") << 2 << 2 << 2 << 2 << 2 << 2 << 4 << 1;
  });
  Load([&](CArchive& ar) { loaded.Serialize(ar); });
  EXPECT_EQ(loaded.m_MaxId, 0);  // negative ids never lower it below 0
}

TEST_F(PresetRecord, DamagedFieldsAreRepairedAndReported)
{
  Store(1047, [](CArchive& ar) {
    ar << 1 << 0 << GS::UniString(u"x");
    ar << 2 << 6 << 2 << 2;
    ar << 2 << 11;  // angle digit beyond 9
    ar << 2 << 7;   // length digit neither 3 nor 4
    ar << 0;        // pi code outside 1..8
    ar << true << 0;
  });
  CRoundTypeParamArray loaded;
  Load([&](CArchive& ar) { EXPECT_FALSE(loaded.Serialize(ar)); });
  EXPECT_EQ(loaded[0].m_AngleRoundType.m_Digit, 2);
  EXPECT_EQ(loaded[0].m_LengthRoundType.m_Digit, 4);
  EXPECT_EQ(loaded[0].m_PaiCode, 1);
}

TEST_F(PresetRecord, CountsBeyondTheDataAreRefusedBeforeAllocating)
{
  for (int count : {-1, 2, 100000000}) {
    Store(1047, [&](CArchive& ar) { ar << count << 0 << GS::UniString(u"x") << 2 << 6; });
    CRoundTypeParamArray loaded;
    Load([&](CArchive& ar) { EXPECT_THROW(loaded.Serialize(ar), unsigned int) << count; });
    EXPECT_EQ(loaded.size(), 1u) << count;
  }
}

// ---- the settings file ------------------------------------------------------------

class PresetFile : public ::testing::Test {
protected:
  PresetFile()
  {
    folder = pln::host::SandboxRoot() / "document" / "PresetFile" /
             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    path = GS::UniString((folder / "presets.dat").string().c_str(), CC_UTF8);
  }
  std::string Bytes() const
  {
    std::ifstream in(folder / "presets.dat", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void Truncate(std::size_t size) const { std::filesystem::resize_file(folder / "presets.dat", size); }

  HostFixture host;
  std::filesystem::path folder;
  GS::UniString path;
};

TEST_F(PresetFile, TheStandardPresetHasTheseBytes)
{
  {
    CFileArchive ar(path);
    ASSERT_EQ(ar.Save(24), 0);
    CRoundTypeParamArray().Write(ar);
    EXPECT_EQ(ar.GetError(), 0);
  }
  const std::string expected = std::string("\x18\0\0\0", 4)                      // file version 24
                               + std::string("\x01\0\0\0", 4)                    // one preset
                               + std::string("\0\0\0\0", 4)                      // id 0
                               + std::string("\x08\0\x95\x57\x8f\x80\x90\xdd\x92\xe8\0", 11)  // 標準設定
                               + std::string("\x02\0\0\0\x06\0\0\0", 8)          // figure area (2, 6)
                               + std::string("\x02\0\0\0\x02\0\0\0", 8)          // list entry (2, 2)
                               + std::string("\x02\0\0\0\x02\0\0\0", 8)          // angle (2, 2)
                               + std::string("\x02\0\0\0\x04\0\0\0", 8)          // length (2, 4)
                               + std::string("\x01\0\0\0", 4)                    // pi code 1
                               + std::string("\x01", 1)                          // next-digit flag
                               + std::string("\0\0\0\0", 4);                     // m_MaxId
  EXPECT_EQ(Bytes(), expected);
}

TEST_F(PresetFile, CurrentVersionRoundTrips)
{
  CRoundTypeParamArray stored;
  stored.push_back(Custom(2, u"二"));
  stored.m_MaxId = 2;
  {
    CFileArchive ar(path);
    ASSERT_EQ(ar.Save(24), 0);
    stored.Write(ar);
  }
  CRoundTypeParamArray loaded;
  CFileArchive ar(path);
  ASSERT_EQ(ar.Open(), 0);
  EXPECT_TRUE(loaded.Read(ar));
  EXPECT_EQ(ar.GetError(), 0);
  EXPECT_EQ(ar.RemainingBytes(), 0u);
  EXPECT_TRUE(loaded == stored);
  EXPECT_EQ(loaded.m_MaxId, 2);
}

TEST_F(PresetFile, OldFilesUseTheirLayoutAndKeepTheFlag)
{
  {
    // Version 18: 8-bit name, figure-area kind only, pi code, no flag.
    CFileArchive ar(path);
    ASSERT_EQ(ar.Save(18), 0);
    ar << 1 << 3 << GS::UniString(u"旧").ToStdString(CC_Japanese) << 3 << 1 << 1 << 2 << 3 << 2 << 3 << 8 << 3;
  }
  CRoundTypeParamArray loaded;
  CFileArchive ar(path);
  ASSERT_EQ(ar.Open(), 0);
  EXPECT_TRUE(loaded.Read(ar));
  EXPECT_EQ(ar.GetError(), 0);
  const CRoundTypeParam& p = loaded[0];
  EXPECT_EQ(p.m_Name.Std(), u"旧");
  EXPECT_EQ(p.m_Area1RoundType, CRoundTypeItem(RT::ROUNDTYPE_UP, 6));
  EXPECT_EQ(p.m_LengthRoundType, CRoundTypeItem(RT::ROUNDTYPE_CUT, 3));
  EXPECT_EQ(p.m_PaiCode, 8);
  EXPECT_TRUE(p.m_RoundUpNextDigit);  // files before 23 leave it as it was
  EXPECT_EQ(loaded.m_MaxId, 3);
}

TEST_F(PresetFile, FilesBefore7DeriveTheIdCounter)
{
  {
    CFileArchive ar(path);
    ASSERT_EQ(ar.Save(6), 0);
    ar << 2;
    for (int id : {9, 4})
      ar << id << std::string("p") << 2 << 2 << 2 << 2 << 2 << 2 << 4 << 1;
  }
  CRoundTypeParamArray loaded;
  CFileArchive ar(path);
  ASSERT_EQ(ar.Open(), 0);
  loaded.Read(ar);
  EXPECT_EQ(ar.GetError(), 0);
  EXPECT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded.m_MaxId, 9);
}

TEST_F(PresetFile, AShortFileStopsReadingAndKeepsTheRest)
{
  CRoundTypeParamArray stored;
  stored[0] = Custom(0, u"x");
  {
    CFileArchive ar(path);
    ASSERT_EQ(ar.Save(24), 0);
    stored.Write(ar);
  }
  Truncate(4 + 4 + 4 + 3);  // version, count, id, the name without its zero
  CRoundTypeParamArray loaded;
  CFileArchive ar(path);
  ASSERT_EQ(ar.Open(), 0);
  loaded.Read(ar);
  EXPECT_EQ(ar.GetError(), 3);
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0].m_Name.Std(), u"標準設定");
  EXPECT_EQ(loaded[0].m_PaiCode, 1);
}

TEST_F(PresetFile, AHugeCountIsRefusedWithoutAllocating)
{
  {
    CFileArchive ar(path);
    ASSERT_EQ(ar.Save(24), 0);
    ar << 2000000000 << 0;
  }
  CRoundTypeParamArray loaded;
  CFileArchive ar(path);
  ASSERT_EQ(ar.Open(), 0);
  loaded.Read(ar);
  EXPECT_EQ(ar.GetError(), 3);
  EXPECT_EQ(loaded.size(), 1u);
}

}  // namespace
