// The document's three streams: exact bytes of every encoding, the project
// record's round trip with its version and sign, the failures of reads past
// the end and of failed opens, the file streams' error codes, and
// attributes travelling by name.

#include "DocTestSupport.h"
#include "host_errors.h"
#include "host_foundation.h"

namespace {

class CArchiveOldTest : public ::testing::Test {
protected:
  void TearDown() override { EXPECT_EQ(host.HandlesSinceReset(), 0); }

  std::vector<char> Written(const std::function<void(CArchive&)>& writer)
  {
    record.Write(1047, writer);
    return record.Bytes(host);
  }
  HostFixture host;
  RecordRoundTrip record;
};

TEST_F(CArchiveOldTest, ValuesAreRawLittleEndianAndTextsASignedLengthTheBytesAndAZero)
{
  const struct {
    std::function<void(CArchive&)> write;
    std::vector<char> bytes;
  } rows[] = {
      {[](CArchive& ar) { ar << 1.5; }, Bytes({0, 0, 0, 0, 0, 0, 0xF8, 0x3F})},
      {[](CArchive& ar) { ar << 700; }, Bytes({0xBC, 0x02, 0, 0})},
      {[](CArchive& ar) { ar << true << short(-2) << 1.5f << 5LL; },
       Bytes({1, 0xFE, 0xFF, 0, 0, 0xC0, 0x3F, 5, 0, 0, 0, 0, 0, 0, 0})},
      {[](CArchive& ar) { ar << ""; }, Bytes({0, 0, 0})},
      {[](CArchive& ar) { ar << "abc"; }, Bytes({3, 0, 'a', 'b', 'c', 0})},
      {[](CArchive& ar) { ar << std::string("abc"); }, Bytes({3, 0, 'a', 'b', 'c', 0})},
      {[](CArchive& ar) { ar << std::string("x\0y", 3); }, Bytes({3, 0, 'x', 0, 'y', 0})},
      {[](CArchive& ar) { ar << GS::Guid(); }, StoredBytes().Text(kNullGuidText).Get()},
  };
  for (const auto& row : rows)
    EXPECT_EQ(Written(row.write), row.bytes);
  // A host string goes out in the default code (Shift-JIS here): 2 bytes a letter.
  EXPECT_EQ(Written([](CArchive& ar) { ar << GS::UniString(u"面積"); }).size(), 2u + 4u + 1u);
}

TEST_F(CArchiveOldTest, Record1047RoundTripsEveryKindOfValue)
{
  GS::Guid guid;
  guid.Generate();
  int serialized = 41;
  GS::UniString font(u"ＭＳ ゴシック");
  record.Write(1047, [&](CArchive& ar) {
    EXPECT_FALSE(ar.m_bOpen);
    ar << true << 2.25 << 0.5f << short(-7) << -123456 << -9876543210LL << "c-text" << guid << std::string("std")
       << GS::UniString(u"建物面積");
    ar.Serialize(serialized);
    ar.Serialize(font);
    EXPECT_EQ(ar.GetFilePointer(), 1 + 8 + 4 + 2 + 4 + 8 + 9 + 39 + 6 + 11 + 4 + 2 + 13 + 1);
  });
  const auto stored = host.ModulData(GS::UniString(RecordRoundTrip::kName));
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->dataVersion, 1047);
  EXPECT_EQ(stored->platformSign, 0x5757);

  CArchiveOld ar(RecordRoundTrip::kName);
  ASSERT_EQ(ar.Open(), 0);
  EXPECT_TRUE(ar.m_bOpen);
  EXPECT_EQ(ar.GetVersion(), 1047);
  EXPECT_EQ(ar.GetPlatformSign(), 0x5757);
  EXPECT_TRUE(Next<bool>(ar));
  EXPECT_EQ(Next<double>(ar), 2.25);
  EXPECT_EQ(Next<float>(ar), 0.5f);
  EXPECT_EQ(Next<short>(ar), -7);
  EXPECT_EQ(Next<int>(ar), -123456);
  EXPECT_EQ(Next<long long>(ar), -9876543210LL);
  char text[16];
  ar.ReadCString(text, sizeof text);
  EXPECT_STREQ(text, "c-text");
  EXPECT_EQ(Next<GS::Guid>(ar), guid);
  EXPECT_EQ(Next<std::string>(ar), "std");
  EXPECT_EQ(Next<GS::UniString>(ar), GS::UniString(u"建物面積"));
  serialized = 0;
  font.Clear();
  ar.Serialize(serialized);
  ar.Serialize(font);
  EXPECT_EQ(serialized, 41);
  EXPECT_EQ(font, GS::UniString(u"ＭＳ ゴシック"));
  EXPECT_EQ(ar.RemainingBytes(), 0u);
  char extra = 0;
  EXPECT_EQ(ThrownBy([&] { ar.Read(&extra, 1); }), CArchive::kPastEnd);
}

TEST_F(CArchiveOldTest, AReadPastTheEndThrowsTwoAndAReadAfterAFailedOpenOne)
{
  record.Store(1047, Bytes({1, 2, 3}));
  {
    CArchiveOld ar(RecordRoundTrip::kName);
  ASSERT_EQ(ar.Open(), 0);
    int value = 77;
    EXPECT_EQ(ThrownBy([&] { ar >> value; }), CArchive::kPastEnd);
    EXPECT_EQ(value, 77);
    EXPECT_EQ(ar.GetFilePointer(), 0);
    short s = 0;
    ar >> s;  // the position did not move, so the first two bytes still read
    EXPECT_EQ(s, 0x0201);
  }
  CArchiveOld missing("NO_SUCH_RECORD");
  EXPECT_EQ(missing.Open(), int(APIERR_NOMODULEDATA));
  int value = 0;
  EXPECT_EQ(ThrownBy([&] { missing >> value; }), CArchive::kNoData);
  EXPECT_EQ(missing.RemainingBytes(), 0u);
}

TEST_F(CArchiveOldTest, DamagedOrOddTextsAreRefusedOrCutWithoutTouchingTheTarget)
{
  // A negative length and a length beyond the data are damage, refused
  // before a byte is allocated or copied.
  for (const std::vector<char>& bytes : {Bytes({0xFF, 0xFF, 0}), Bytes({0xFF, 0x7F, 'a', 0}), Bytes({2, 0, 'a', 0})}) {
    record.Store(1047, bytes);
    CArchiveOld ar(RecordRoundTrip::kName);
  ASSERT_EQ(ar.Open(), 0);
    std::string text = "kept";
    EXPECT_EQ(ThrownBy([&] { ar >> text; }), CArchive::kPastEnd);
    EXPECT_EQ(text, "kept");
  }
  Written([](CArchive& ar) { ar << "abcdef"; });
  record.Read([](CArchive& ar) {
    char small[6];
    EXPECT_EQ(ThrownBy([&] { ar.ReadCString(small, sizeof small); }), CArchive::kTooLong);
    EXPECT_STREQ(small, "");
  });
  Written([](CArchive& ar) { ar << std::string("ab\0cd", 5) << "not a guid"; });
  CArchiveOld ar(RecordRoundTrip::kName);
  ASSERT_EQ(ar.Open(), 0);
  EXPECT_EQ(Next<std::string>(ar), std::string("ab\0cd", 5));  // every byte, the zero included
  GS::Guid guid;
  guid.Generate();
  const GS::Guid before = guid;
  ar >> guid;
  EXPECT_EQ(guid, before);
}

TEST_F(CArchiveOldTest, AFailedWriteStoresNothingOverTheOldRecord)
{
  const std::vector<char> good = Written([](CArchive& ar) { ar << 1; });
  record.Write(1047, [](CArchive& ar) {
    pln::host::FailNextAllocation();
    EXPECT_EQ(ThrownBy([&] { ar << 2; }), CArchive::kNoMemory);
  });
  EXPECT_EQ(record.Bytes(host), good);
  record.Write(1047, [](CArchive& ar) {
    const std::string tooLong(CArchive::kMaxTextBytes + 1, 'x');
    EXPECT_EQ(ThrownBy([&] { ar << tooLong; }), CArchive::kTooLong);
  });
  EXPECT_EQ(record.Bytes(host), good);
  // The longest text that reads back is still written.
  const std::string longest(CArchive::kMaxTextBytes, 'y');
  EXPECT_EQ(Written([&](CArchive& ar) { ar << longest; }).size(), 2u + longest.size() + 1u);
}

TEST_F(CArchiveOldTest, CanHoldComparesACountWithTheBytesLeft)
{
  record.Store(1047, std::vector<char>(12, 0));
  CArchiveOld ar(RecordRoundTrip::kName);
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
  const auto project = [&](std::initializer_list<const char16_t*> layers) {
    host.Reset();
    short last = 0;
    for (const char16_t* name : layers)
      last = short(host.AddLayer(name));
    return last;
  };
  const auto loaded = [&](const std::vector<char>& stored, GSCharCode code) {
    record.Store(1047, stored);
    short index = 5;
    record.Read([&](CArchive& ar) { ar.LoadAttribute(API_LayerID, index, code); });
    return index;
  };
  for (GSCharCode code : {CC_Default, CC_UTF8}) {
    const short layer = project({u"壁", u"メンセラ"});
    const std::vector<char> stored = Written([&](CArchive& ar) { ar.SaveAttribute(API_LayerID, layer, code); });
    const short moved = project({u"A", u"B", u"メンセラ"});
    ASSERT_NE(moved, layer);
    EXPECT_EQ(loaded(stored, code), moved);
    project({u"壁", u"メンセラ2"});  // renamed: the old name is not found
    EXPECT_EQ(loaded(stored, code), 0);
  }
}

// ---- The two file streams ------------------------------------------------

class FileArchiveTest : public ::testing::Test {
protected:
  HostFixture host;
  SandboxFiles files;
};

TEST_F(FileArchiveTest, OpenFailuresReportTheirCodes)
{
  files.Put("", "empty.dat");
  CFileArchive empty(files.Path("empty.dat"));
  EXPECT_EQ(empty.Open(), 0);
  EXPECT_EQ(empty.GetError(), 3);
  CFileArchive missing(files.Path("missing.dat"));
  EXPECT_EQ(missing.Open(), 1);
  EXPECT_EQ(missing.GetError(), 1);
  CFileArchive uncreatable(files.Path("no such folder/env.dat"));
  EXPECT_EQ(uncreatable.Save(24), 1);
  EXPECT_EQ(uncreatable.GetError(), 1);
  CFileArchiveNew dump;
  EXPECT_EQ(dump.Open(files.Path("none.dat")), 1);
  EXPECT_EQ(dump.GetError(), 1);
}

TEST_F(FileArchiveTest, TheSettingsFileLeadsWithItsVersionAndRoundTrips)
{
  {
    CFileArchive ar(files.Path());
    ASSERT_EQ(ar.Save(24), 0);
    ar << true << 1.5 << short(3) << 700 << "abc" << GS::UniString(u"標準設定");
    EXPECT_EQ(ar.GetError(), 0);
  }
  const std::string bytes = files.Contents();
  EXPECT_EQ(bytes.substr(0, 25), std::string("\x18\0\0\0\x01\0\0\0\0\0\0\xF8\x3F\x03\0\xBC\x02\0\0\x03\0abc\0", 25));

  CFileArchive ar(files.Path());
  ASSERT_EQ(ar.Open(), 0);
  EXPECT_EQ(ar.GetVersion(), 24);
  EXPECT_TRUE(Next<bool>(ar));
  EXPECT_EQ(Next<double>(ar), 1.5);
  EXPECT_EQ(Next<short>(ar), 3);
  EXPECT_EQ(Next<int>(ar), 700);
  EXPECT_EQ(Next<std::string>(ar), "abc");
  EXPECT_EQ(Next<GS::UniString>(ar), GS::UniString(u"標準設定"));
  EXPECT_EQ(ar.GetError(), 0);
  EXPECT_EQ(ar.RemainingBytes(), 0u);
}

TEST_F(FileArchiveTest, AShortSettingsFileSetsError3AndReadsZeros)
{
  files.Put(std::string("\x18\0\0\0\x07\0", 6));
  CFileArchive ar(files.Path());
  ASSERT_EQ(ar.Open(), 0);
  EXPECT_EQ(Next<int>(ar), 7);  // two of four bytes present
  EXPECT_EQ(ar.GetError(), 3);
  EXPECT_EQ(Next<int>(ar), 0);  // the stream goes on and reads nothing

  files.Put(std::string("\x18\0\0\0\xFF\x7F" "ab\0", 9));  // a text longer than the file
  CFileArchive text(files.Path());
  ASSERT_EQ(text.Open(), 0);
  std::string kept = "kept";
  text >> kept;
  EXPECT_EQ(text.GetError(), 3);
  EXPECT_EQ(kept, "kept");
  EXPECT_FALSE(text.CanHold(1, 4));
}

// The new copy takes the file's place only when all of it was written.
TEST_F(FileArchiveTest, AFailedWriteLeavesTheOldFileInPlace)
{
  files.Put("old settings");
  {
    CFileArchive ar(files.Path());
    ASSERT_EQ(ar.Save(24), 0);
    ar << 1;
    EXPECT_EQ(files.Contents(), "old settings");  // nothing replaced while writing
    ar.SetError(3);                               // as a failed write would
    EXPECT_EQ(ar.Close(), 3);
  }
  EXPECT_EQ(files.Contents(), "old settings");
  EXPECT_FALSE(std::filesystem::exists(files.File("env.dat.tmp")));
  {
    CFileArchiveNew ar;
    ASSERT_EQ(ar.Save(files.Path(), 1047), 0);
    ar << 1;
    EXPECT_EQ(ar.Close(), 0);
  }
  EXPECT_EQ(files.Contents(), std::string("\x17\x04\0\0\x01\0\0\0", 8));
  EXPECT_FALSE(std::filesystem::exists(files.File("env.dat.tmp")));
  // A copy that cannot take the place of a folder fails on closing.
  std::filesystem::create_directories(files.File("dir.dat"));
  CFileArchive ar(files.Path("dir.dat"));
  ASSERT_EQ(ar.Save(24), 0);
  EXPECT_EQ(ar.Close(), 3);
  EXPECT_TRUE(std::filesystem::is_directory(files.File("dir.dat")));
  EXPECT_FALSE(std::filesystem::exists(files.File("dir.dat.tmp")));
}

TEST_F(FileArchiveTest, TheDumpFileEncodesAsTheProjectRecordAfterItsVersion)
{
  {
    CFileArchiveNew ar;
    ASSERT_EQ(ar.Save(files.Path(), 1047), 0);
    ar << 1.5 << 700 << "abc" << 5LL;
    EXPECT_EQ(ar.GetFilePointer(), 0);
    EXPECT_EQ(ar.GetError(), 0);
  }
  EXPECT_EQ(files.Contents(), std::string("\x17\x04\0\0" "\0\0\0\0\0\0\xF8\x3F" "\xBC\x02\0\0" "\x03\0abc\0"
                                          "\x05\0\0\0\0\0\0\0",
                                          4 + 8 + 4 + 6 + 8));
  CFileArchiveNew ar;
  ASSERT_EQ(ar.Open(files.Path()), 0);
  EXPECT_EQ(ar.GetVersion(), 1047);
  EXPECT_EQ(Next<double>(ar), 1.5);
  EXPECT_EQ(Next<int>(ar), 700);
  EXPECT_EQ(Next<std::string>(ar), "abc");
  EXPECT_EQ(Next<long long>(ar), 5);
  EXPECT_EQ(ar.GetError(), 0);
  EXPECT_EQ(ar.GetFilePointer(), 0);
  EXPECT_EQ(Next<int>(ar), 0);  // the dump never throws: error 2 and a zero
  EXPECT_EQ(ar.GetError(), 2);
}

}  // namespace
