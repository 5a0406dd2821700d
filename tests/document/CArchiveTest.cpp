// The document's three streams: exact bytes of every encoding, the project
// record's round trip with its version and sign, the failures of reads past
// the end and of failed opens, the file streams' error codes, and
// attributes travelling by name.

#include "CArchive.h"
#include "HostFixture.h"
#include "host_errors.h"
#include "host_foundation.h"
#include "host_memory.h"
#include "host_userdata.h"
#include "io_filesystem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const kName = "PLENIMETRA";

template <typename Body>
unsigned int ThrownBy(Body body)
{
  try {
    body();
  } catch (unsigned int code) {
    return code;
  }
  return 0;
}

std::vector<char> Bytes(std::initializer_list<int> values)
{
  std::vector<char> bytes;
  for (int v : values)
    bytes.push_back(char(v));
  return bytes;
}

class CArchiveOldTest : public ::testing::Test {
protected:
  void TearDown() override { EXPECT_EQ(host.HandlesSinceReset(), 0); }

  template <typename Writer>
  std::vector<char> Written(Writer writer, int version = 1047)
  {
    {
      CArchiveOld ar(kName);
      ar.Save(version);
      writer(ar);
    }
    return host.ModulData(GS::UniString(kName))->bytes;
  }

  void StoreRaw(const std::vector<char>& bytes, Int32 version = 1047)
  {
    API_ModulData data;
    data.dataVersion = version;
    data.platformSign = 0x5757;
    data.dataHdl = BMAllocateHandle(GSSize(bytes.size()), 0, 0);
    if (!bytes.empty())
      std::memcpy(*data.dataHdl, bytes.data(), bytes.size());
    ASSERT_EQ(ACAPI_ModulData_Store(&data, GS::UniString(kName)), NoError);
    BMKillHandle(&data.dataHdl);
  }

  HostFixture host;
};

TEST_F(CArchiveOldTest, NumbersAreRawLittleEndianWithoutGaps)
{
  EXPECT_EQ(Written([](CArchive& ar) { ar << 1.5; }), Bytes({0, 0, 0, 0, 0, 0, 0xF8, 0x3F}));
  EXPECT_EQ(Written([](CArchive& ar) { ar << 700; }), Bytes({0xBC, 0x02, 0, 0}));
  EXPECT_EQ(Written([](CArchive& ar) { ar << true << short(-2) << 1.5f << 5LL; }),
            Bytes({1, 0xFE, 0xFF, 0, 0, 0xC0, 0x3F, 5, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(CArchiveOldTest, TextsAreASignedLengthTheBytesAndAZero)
{
  EXPECT_EQ(Written([](CArchive& ar) { ar << ""; }), Bytes({0, 0, 0}));
  EXPECT_EQ(Written([](CArchive& ar) { ar << "abc"; }), Bytes({3, 0, 'a', 'b', 'c', 0}));
  EXPECT_EQ(Written([](CArchive& ar) { ar << std::string("abc"); }), Bytes({3, 0, 'a', 'b', 'c', 0}));
  // A host string goes out in the default code (Shift-JIS here): 2 bytes a letter.
  EXPECT_EQ(Written([](CArchive& ar) { ar << GS::UniString(u"面積"); }).size(), 2u + 4u + 1u);
  const std::vector<char> guid = Written([](CArchive& ar) { ar << GS::Guid(); });
  ASSERT_EQ(guid.size(), 2u + 36u + 1u);
  EXPECT_EQ(std::string(guid.data() + 2), "00000000-0000-0000-0000-000000000000");
}

TEST_F(CArchiveOldTest, Record1047RoundTripsEveryKindOfValue)
{
  GS::Guid guid;
  guid.Generate();
  {
    CArchiveOld ar(kName);
    ar.Save(1047);
    EXPECT_FALSE(ar.m_bOpen);
    ar << true << 2.25 << 0.5f << short(-7) << -123456 << -9876543210LL << "c-text" << guid << std::string("std")
       << GS::UniString(u"建物面積");
    EXPECT_EQ(ar.GetFilePointer(), 1 + 8 + 4 + 2 + 4 + 8 + 9 + 39 + 6 + 11);
  }
  const auto stored = host.ModulData(GS::UniString(kName));
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->dataVersion, 1047);
  EXPECT_EQ(stored->platformSign, 0x5757);

  CArchiveOld ar(kName);
  ASSERT_EQ(ar.Open(), 0);
  EXPECT_TRUE(ar.m_bOpen);
  EXPECT_EQ(ar.GetVersion(), 1047);
  EXPECT_EQ(ar.GetPlatformSign(), 0x5757);
  bool b = false;
  double d = 0;
  float f = 0;
  short s = 0;
  int i = 0;
  long long ll = 0;
  char text[16];
  GS::Guid g;
  std::string str;
  GS::UniString uni;
  ar >> b >> d >> f >> s >> i >> ll;
  ar.ReadCString(text, sizeof text);
  ar >> g >> str >> uni;
  EXPECT_TRUE(b);
  EXPECT_EQ(d, 2.25);
  EXPECT_EQ(f, 0.5f);
  EXPECT_EQ(s, -7);
  EXPECT_EQ(i, -123456);
  EXPECT_EQ(ll, -9876543210LL);
  EXPECT_STREQ(text, "c-text");
  EXPECT_EQ(g, guid);
  EXPECT_EQ(str, "std");
  EXPECT_EQ(uni, GS::UniString(u"建物面積"));
  EXPECT_EQ(ar.RemainingBytes(), 0u);
  char extra = 0;
  EXPECT_EQ(ThrownBy([&] { ar.Read(&extra, 1); }), CArchive::kPastEnd);
}

TEST_F(CArchiveOldTest, SerializeMovesEachValueInTheArchivesDirection)
{
  int value = 41;
  GS::UniString name(u"ＭＳ ゴシック");
  {
    CArchiveOld ar(kName);
    ar.Save(1047);
    ar.Serialize(value);
    ar.Serialize(name);
  }
  value = 0;
  name.Clear();
  CArchiveOld ar(kName);
  ASSERT_EQ(ar.Open(), 0);
  ar.Serialize(value);
  ar.Serialize(name);
  EXPECT_EQ(value, 41);
  EXPECT_EQ(name, GS::UniString(u"ＭＳ ゴシック"));
  EXPECT_EQ(ar.GetFilePointer(), 4 + 2 + 13 + 1);
}

TEST_F(CArchiveOldTest, AReadPastTheEndThrowsTwoAndCopiesNothing)
{
  StoreRaw(Bytes({1, 2, 3}));
  CArchiveOld ar(kName);
  ASSERT_EQ(ar.Open(), 0);
  int value = 77;
  EXPECT_EQ(ThrownBy([&] { ar >> value; }), CArchive::kPastEnd);
  EXPECT_EQ(value, 77);
  EXPECT_EQ(ar.GetFilePointer(), 0);
  short s = 0;
  ar >> s;  // the position did not move, so the first two bytes still read
  EXPECT_EQ(s, 0x0201);
}

TEST_F(CArchiveOldTest, AReadAfterAFailedOpenThrowsOne)
{
  CArchiveOld ar(kName);
  EXPECT_EQ(ar.Open(), int(APIERR_NOMODULEDATA));
  int value = 0;
  EXPECT_EQ(ThrownBy([&] { ar >> value; }), CArchive::kNoData);
  EXPECT_EQ(ar.RemainingBytes(), 0u);
}

TEST_F(CArchiveOldTest, StoredLengthsAreBoundedByWhatRemains)
{
  // A negative length and a length beyond the data are damage, refused
  // before a byte is allocated or copied.
  for (const std::vector<char>& bytes : {Bytes({0xFF, 0xFF, 0}), Bytes({0xFF, 0x7F, 'a', 0}), Bytes({2, 0, 'a', 0})}) {
    StoreRaw(bytes);
    CArchiveOld ar(kName);
    ASSERT_EQ(ar.Open(), 0);
    std::string text = "kept";
    EXPECT_EQ(ThrownBy([&] { ar >> text; }), CArchive::kPastEnd);
    EXPECT_EQ(text, "kept");
  }
}

TEST_F(CArchiveOldTest, ACStringLongerThanTheBufferIsRefused)
{
  Written([](CArchive& ar) { ar << "abcdef"; });
  CArchiveOld ar(kName);
  ASSERT_EQ(ar.Open(), 0);
  char small[6];
  EXPECT_EQ(ThrownBy([&] { ar.ReadCString(small, sizeof small); }), CArchive::kTooLong);
  EXPECT_STREQ(small, "");
}

TEST_F(CArchiveOldTest, AStringReadsBackUpToItsFirstZero)
{
  Written([](CArchive& ar) { ar << std::string("ab\0cd", 5); });
  CArchiveOld ar(kName);
  ASSERT_EQ(ar.Open(), 0);
  std::string text;
  ar >> text;
  EXPECT_EQ(text, "ab");
}

TEST_F(CArchiveOldTest, ANonGuidTextLeavesTheGuid)
{
  Written([](CArchive& ar) { ar << "not a guid"; });
  GS::Guid guid;
  guid.Generate();
  const GS::Guid before = guid;
  CArchiveOld ar(kName);
  ASSERT_EQ(ar.Open(), 0);
  ar >> guid;
  EXPECT_EQ(guid, before);
}

TEST_F(CArchiveOldTest, AFailedWriteStoresNothingOverTheOldRecord)
{
  const std::vector<char> good = Written([](CArchive& ar) { ar << 1; });
  {
    CArchiveOld ar(kName);
    ar.Save(1047);
    pln::host::FailNextAllocation();
    EXPECT_EQ(ThrownBy([&] { ar << 2; }), CArchive::kNoMemory);
  }
  EXPECT_EQ(host.ModulData(GS::UniString(kName))->bytes, good);
  {
    CArchiveOld ar(kName);
    ar.Save(1047);
    const std::string tooLong(CArchive::kMaxTextBytes + 1, 'x');
    EXPECT_EQ(ThrownBy([&] { ar << tooLong; }), CArchive::kTooLong);
  }
  EXPECT_EQ(host.ModulData(GS::UniString(kName))->bytes, good);
  // The longest text that reads back is still written.
  const std::string longest(CArchive::kMaxTextBytes, 'y');
  EXPECT_EQ(Written([&](CArchive& ar) { ar << longest; }).size(), 2u + longest.size() + 1u);
}

TEST_F(CArchiveOldTest, CanHoldComparesACountWithTheBytesLeft)
{
  StoreRaw(std::vector<char>(12, 0));
  CArchiveOld ar(kName);
  ASSERT_EQ(ar.Open(), 0);
  EXPECT_TRUE(ar.CanHold(3, 4));
  EXPECT_FALSE(ar.CanHold(4, 4));
  EXPECT_FALSE(ar.CanHold(-1, 4));
  EXPECT_TRUE(ar.CanHold(0, 4));
  EXPECT_FALSE(ar.CanHold(0x7FFFFFFF, 0x7FFFFFFF));
}

// Attributes are stored by name, so a record read in another project finds
// the attribute of that name whatever its index there.
TEST_F(CArchiveOldTest, AnAttributeIsFoundByNameInAnotherProjectAndNotByAnOldName)
{
  host.AddLayer(u"壁");
  const short layer = short(host.AddLayer(u"メンセラ"));
  std::vector<char> record;
  for (GSCharCode code : {CC_Default, CC_UTF8}) {
    record = Written([&](CArchive& ar) { ar.SaveAttribute(API_LayerID, layer, code); });
    // Another project: the layer of that name stands at another index.
    host.Reset();
    host.AddLayer(u"A");
    host.AddLayer(u"B");
    const short moved = short(host.AddLayer(u"メンセラ"));
    ASSERT_NE(moved, layer);
    StoreRaw(record);
    {
      CArchiveOld ar(kName);
      ASSERT_EQ(ar.Open(), 0);
      short index = 0;
      ar.LoadAttribute(API_LayerID, index, code);
      EXPECT_EQ(index, moved);
    }
    // A project whose layer was renamed does not find the old name.
    host.Reset();
    host.AddLayer(u"壁");
    host.AddLayer(u"メンセラ2");
    StoreRaw(record);
    {
      CArchiveOld ar(kName);
      ASSERT_EQ(ar.Open(), 0);
      short index = 5;
      ar.LoadAttribute(API_LayerID, index, code);
      EXPECT_EQ(index, 0);
    }
    host.Reset();
    host.AddLayer(u"壁");
    ASSERT_EQ(host.AddLayer(u"メンセラ"), layer);
  }
}

// ---- The two file streams ------------------------------------------------

class FileArchiveTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = pln::host::SandboxRoot() / "document" / test->name();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }

  GS::UniString PathOf(const char* name) const { return GS::UniString((folder / name).string().c_str(), CC_UTF8); }
  std::string Contents(const char* name) const
  {
    std::ifstream in(folder / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void Put(const char* name, const std::string& bytes) const
  {
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
  }

  HostFixture host;
  std::filesystem::path folder;
};

TEST_F(FileArchiveTest, TheSettingsFileOnAZeroByteFileOpensWithError3)
{
  Put("empty.dat", "");
  CFileArchive ar(PathOf("empty.dat"));
  EXPECT_EQ(ar.Open(), 0);
  EXPECT_EQ(ar.GetError(), 3);
  CFileArchive missing(PathOf("missing.dat"));
  EXPECT_EQ(missing.Open(), 1);
  EXPECT_EQ(missing.GetError(), 1);
}

TEST_F(FileArchiveTest, TheSettingsFileLeadsWithItsVersionAndRoundTrips)
{
  {
    CFileArchive ar(PathOf("env.dat"));
    ASSERT_EQ(ar.Save(24), 0);
    ar << true << 1.5 << short(3) << 700 << "abc" << GS::UniString(u"標準設定");
    EXPECT_EQ(ar.GetError(), 0);
  }
  const std::string bytes = Contents("env.dat");
  ASSERT_GE(bytes.size(), 25u);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x18\0\0\0", 4));
  EXPECT_EQ(bytes.substr(4, 21), std::string("\x01\0\0\0\0\0\0\xF8\x3F\x03\0\xBC\x02\0\0\x03\0abc\0", 21));

  CFileArchive ar(PathOf("env.dat"));
  ASSERT_EQ(ar.Open(), 0);
  EXPECT_EQ(ar.GetVersion(), 24);
  bool b = false;
  double d = 0;
  short s = 0;
  int i = 0;
  std::string text;
  GS::UniString name;
  ar >> b >> d >> s >> i >> text >> name;
  EXPECT_EQ(ar.GetError(), 0);
  EXPECT_TRUE(b);
  EXPECT_EQ(d, 1.5);
  EXPECT_EQ(s, 3);
  EXPECT_EQ(i, 700);
  EXPECT_EQ(text, "abc");
  EXPECT_EQ(name, GS::UniString(u"標準設定"));
  EXPECT_EQ(ar.RemainingBytes(), 0u);
}

TEST_F(FileArchiveTest, AShortSettingsFileSetsError3AndReadsZeros)
{
  Put("short.dat", std::string("\x18\0\0\0\x07\0", 6));
  CFileArchive ar(PathOf("short.dat"));
  ASSERT_EQ(ar.Open(), 0);
  int value = 99;
  ar >> value;  // two of four bytes present
  EXPECT_EQ(ar.GetError(), 3);
  EXPECT_EQ(value, 7);
  int next = 99;
  ar >> next;  // the stream goes on and reads nothing
  EXPECT_EQ(next, 0);
  EXPECT_EQ(ar.GetError(), 3);
}

TEST_F(FileArchiveTest, ASettingsFileTextLongerThanTheFileIsRefused)
{
  Put("text.dat", std::string("\x18\0\0\0\xFF\x7F" "ab\0", 9));
  CFileArchive ar(PathOf("text.dat"));
  ASSERT_EQ(ar.Open(), 0);
  std::string text = "kept";
  ar >> text;
  EXPECT_EQ(ar.GetError(), 3);
  EXPECT_EQ(text, "kept");
  EXPECT_FALSE(ar.CanHold(1, 4));
}

TEST_F(FileArchiveTest, ASettingsFileThatCannotBeCreatedReportsOne)
{
  CFileArchive ar(PathOf("no such folder/env.dat"));
  EXPECT_EQ(ar.Save(24), 1);
  EXPECT_EQ(ar.GetError(), 1);
}

// The new copy takes the file's place only when all of it was written.
TEST_F(FileArchiveTest, AFailedWriteLeavesTheOldFileInPlace)
{
  Put("env.dat", "old settings");
  {
    CFileArchive ar(PathOf("env.dat"));
    ASSERT_EQ(ar.Save(24), 0);
    ar << 1;
    EXPECT_EQ(Contents("env.dat"), "old settings");  // nothing replaced while writing
    ar.SetError(3);                                   // as a failed write would
    EXPECT_EQ(ar.Close(), 3);
  }
  EXPECT_EQ(Contents("env.dat"), "old settings");
  EXPECT_FALSE(std::filesystem::exists(folder / "env.dat.tmp"));
  {
    CFileArchiveNew ar;
    ASSERT_EQ(ar.Save(PathOf("env.dat"), 1047), 0);
    ar << 1;
    EXPECT_EQ(ar.Close(), 0);
  }
  EXPECT_EQ(Contents("env.dat"), std::string("\x17\x04\0\0\x01\0\0\0", 8));
  EXPECT_FALSE(std::filesystem::exists(folder / "env.dat.tmp"));
  // A copy that cannot take the place of a folder fails on closing.
  std::filesystem::create_directories(folder / "dir.dat");
  CFileArchive ar(PathOf("dir.dat"));
  ASSERT_EQ(ar.Save(24), 0);
  EXPECT_EQ(ar.Close(), 3);
  EXPECT_TRUE(std::filesystem::is_directory(folder / "dir.dat"));
  EXPECT_FALSE(std::filesystem::exists(folder / "dir.dat.tmp"));
}

TEST_F(FileArchiveTest, TheDumpFileEncodesAsTheProjectRecordAfterItsVersion)
{
  {
    CFileArchiveNew ar;
    ASSERT_EQ(ar.Save(PathOf("dump.dat"), 1047), 0);
    ar << 1.5 << 700 << "abc" << 5LL;
    EXPECT_EQ(ar.GetFilePointer(), 0);
    EXPECT_EQ(ar.GetError(), 0);
  }
  EXPECT_EQ(Contents("dump.dat"), std::string("\x17\x04\0\0" "\0\0\0\0\0\0\xF8\x3F" "\xBC\x02\0\0" "\x03\0abc\0"
                                              "\x05\0\0\0\0\0\0\0",
                                              4 + 8 + 4 + 6 + 8));
  CFileArchiveNew ar;
  ASSERT_EQ(ar.Open(PathOf("dump.dat")), 0);
  EXPECT_EQ(ar.GetVersion(), 1047);
  double d = 0;
  int i = 0;
  std::string text;
  long long ll = 0;
  ar >> d >> i >> text >> ll;
  EXPECT_EQ(ar.GetError(), 0);
  EXPECT_EQ(ar.GetFilePointer(), 0);
  EXPECT_EQ(d, 1.5);
  EXPECT_EQ(i, 700);
  EXPECT_EQ(text, "abc");
  EXPECT_EQ(ll, 5);
  int past = 3;
  ar >> past;  // the dump never throws: error 2 and a zero
  EXPECT_EQ(ar.GetError(), 2);
  EXPECT_EQ(past, 0);
}

TEST_F(FileArchiveTest, AMissingDumpFileReportsOne)
{
  CFileArchiveNew ar;
  EXPECT_EQ(ar.Open(PathOf("none.dat")), 1);
  EXPECT_EQ(ar.GetError(), 1);
}

}  // namespace
