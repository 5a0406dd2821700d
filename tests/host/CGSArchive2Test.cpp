// Named module-data records: exact stored bytes, round trips, and reads of
// damaged records that must throw instead of reading past the data.

#include "CGSArchive2.h"
#include "HostFixture.h"
#include "host_calllog.h"
#include "host_errors.h"
#include "host_memory.h"
#include "host_userdata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kName = " 32400-5";

class CGSArchive2Test : public ::testing::Test {
protected:
  void TearDown() override { EXPECT_EQ(host.HandlesSinceReset(), 0); }

  // Stores raw bytes as a record, as another build of the add-on might have.
  void StoreRaw(const char* name, const std::vector<char>& bytes, Int32 version = 1000)
  {
    API_ModulData data;
    data.dataVersion = version;
    data.platformSign = CGSArchive2::kPlatformSign;
    data.dataHdl = BMAllocateHandle(GSSize(bytes.size()), 0, 0);
    if (!bytes.empty())
      std::memcpy(*data.dataHdl, bytes.data(), bytes.size());
    ASSERT_EQ(ACAPI_ModulData_Store(&data, GS::UniString(name)), NoError);
    BMKillHandle(&data.dataHdl);
  }
  std::vector<char> Stored(const char* name) const { return host.ModulData(GS::UniString(name))->bytes; }
  std::ptrdiff_t Stores() const
  {
    const auto& log = host.CallLog();
    return std::count(log.begin(), log.end(), "ACAPI_ModulData_Store");
  }

  HostFixture host;
};

// What the thrown code of a read is; 0 when it did not throw.
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

TEST_F(CGSArchive2Test, ColumnWidthsRoundTripWithVersionAndPlatformSign)
{
  {
    CGSArchive2 out(kName);
    out.Save(1000);
    int count = 3;
    short widths[3] = {100, 30, 40};
    out.Serialize(count);
    for (short& width : widths)
      out.Serialize(width);
    EXPECT_EQ(out.GetSize(), 10);
  }
  const auto stored = host.ModulData(GS::UniString(kName));
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->dataVersion, 1000);
  EXPECT_EQ(stored->platformSign, 0x5757);
  EXPECT_EQ(stored->bytes, (std::vector<char>{3, 0, 0, 0, 100, 0, 30, 0, 40, 0}));

  EXPECT_TRUE(CGSArchive2::IsHaveData(kName));
  CGSArchive2 in(kName);
  ASSERT_TRUE(in.Open());
  EXPECT_EQ(in.GetVersion(), 1000);
  int count = 0;
  short widths[3] = {};
  in.Serialize(count);
  for (short& width : widths)
    in.Serialize(width);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(widths[0], 100);
  EXPECT_EQ(widths[1], 30);
  EXPECT_EQ(widths[2], 40);
  EXPECT_EQ(ThrownBy([&] { in.Serialize(count); }), CGSArchive2::kPastEnd);
}

TEST_F(CGSArchive2Test, NumbersAndTextsHaveTheirExactEncodings)
{
  {
    CGSArchive2 out("enc");
    out.Save(7);
    bool flag = true;
    double d = 1.5;
    float f = -2.0f;
    char text[] = "ab";
    std::string empty;
    GS::UniString uni(u"面積");
    out.Serialize(flag);
    out.Serialize(d);
    out.Serialize(f);
    out.Serialize(text, sizeof text);
    out.Serialize(empty);
    out.Serialize(uni);
  }
  std::vector<char> expected{1};
  const double d = 1.5;
  const float f = -2.0f;
  expected.insert(expected.end(), reinterpret_cast<const char*>(&d), reinterpret_cast<const char*>(&d) + 8);
  expected.insert(expected.end(), reinterpret_cast<const char*>(&f), reinterpret_cast<const char*>(&f) + 4);
  for (int c : {2, 0, int('a'), int('b'), 0})  // 16-bit length, text, zero
    expected.push_back(char(c));
  for (int c : {0, 0, 0, 0, 0})  // 32-bit length 0 and the zero
    expected.push_back(char(c));
  // The host's default code is Shift-JIS: 面 96 CA, 積 90 CF.
  for (int c : {4, 0, 0, 0, 0x96, 0xCA, 0x90, 0xCF, 0})
    expected.push_back(char(c));
  EXPECT_EQ(Stored("enc"), expected);

  CGSArchive2 in("enc");
  ASSERT_TRUE(in.Open());
  bool flag = false;
  double dr = 0;
  float fr = 0;
  char text[8] = "zzzzzzz";
  std::string empty = "x";
  GS::UniString uni;
  in.Serialize(flag);
  in.Serialize(dr);
  in.Serialize(fr);
  in.Serialize(text, sizeof text);
  in.Serialize(empty);
  in.Serialize(uni);
  EXPECT_TRUE(flag);
  EXPECT_EQ(dr, 1.5);
  EXPECT_EQ(fr, -2.0f);
  EXPECT_STREQ(text, "ab");
  EXPECT_EQ(empty, "");
  EXPECT_EQ(uni, GS::UniString(u"面積"));
}

TEST_F(CGSArchive2Test, ARecordThatDoesNotExistThrowsNoDataOnRead)
{
  EXPECT_FALSE(CGSArchive2::IsHaveData("missing"));
  CGSArchive2 in("missing");
  EXPECT_FALSE(in.Open());
  int value = 0;
  EXPECT_EQ(ThrownBy([&] { in.Serialize(value); }), CGSArchive2::kNoData);

  // A record that exists but cannot be fetched reads the same way.
  StoreRaw("r", {1, 2, 3, 4});
  host.FailOnce("ACAPI_ModulData_Get", APIERR_MEMFULL);
  CGSArchive2 failed("r");
  EXPECT_FALSE(failed.Open());
  EXPECT_EQ(ThrownBy([&] { failed.Serialize(value); }), CGSArchive2::kNoData);
}

TEST_F(CGSArchive2Test, ARecordOpenedForReadingStoresNothing)
{
  StoreRaw("r", {5, 0, 0, 0});
  host.ClearCallLog();
  {
    CGSArchive2 in("r");
    ASSERT_TRUE(in.Open());
    int value = 0;
    in.Serialize(value);
    EXPECT_EQ(value, 5);
  }
  {
    CGSArchive2 never("never");  // neither opened nor saved
  }
  EXPECT_EQ(Stores(), 0);
  EXPECT_FALSE(host.ModulData(GS::UniString("never")).has_value());
  EXPECT_EQ(Stored("r"), (std::vector<char>{5, 0, 0, 0}));
}

TEST_F(CGSArchive2Test, ShortReadsThrowPastEndWithoutMovingOn)
{
  StoreRaw("r", {1, 2, 3});
  CGSArchive2 in("r");
  ASSERT_TRUE(in.Open());
  int value = 77;
  EXPECT_EQ(ThrownBy([&] { in.Serialize(value); }), CGSArchive2::kPastEnd);
  EXPECT_EQ(value, 77);
  short part = 0;  // the bytes still there can be read
  in.Serialize(part);
  EXPECT_EQ(part, 0x0201);
  char buffer[4];
  EXPECT_EQ(ThrownBy([&] { in.Read(buffer, -1); }), CGSArchive2::kPastEnd);
}

TEST_F(CGSArchive2Test, StoredTextLengthsAreBoundedByTheRemainingBytes)
{
  // 0xFFFFFFFF + 1 would wrap to a zero-byte read in 32 bits.
  StoreRaw("huge", {char(0xFF), char(0xFF), char(0xFF), char(0xFF), 'a', 0});
  CGSArchive2 huge("huge");
  ASSERT_TRUE(huge.Open());
  std::string text = "kept";
  EXPECT_EQ(ThrownBy([&] { huge.Serialize(text); }), CGSArchive2::kPastEnd);
  EXPECT_EQ(text, "kept");

  // A length one byte longer than the record: the terminator is missing.
  StoreRaw("short", {3, 0, 0, 0, 'a', 'b', 'c'});
  CGSArchive2 shortText("short");
  ASSERT_TRUE(shortText.Open());
  EXPECT_EQ(ThrownBy([&] { shortText.Serialize(text); }), CGSArchive2::kPastEnd);

  StoreRaw("c", {9, 0, 'a', 'b', 0});
  CGSArchive2 cText("c");
  ASSERT_TRUE(cText.Open());
  char buffer[64] = {};
  EXPECT_EQ(ThrownBy([&] { cText.Serialize(buffer, sizeof buffer); }), CGSArchive2::kPastEnd);
}

TEST_F(CGSArchive2Test, ATextLongerThanTheCallersBufferIsRefused)
{
  StoreRaw("c", {6, 0, 'a', 'b', 'c', 'd', 'e', 'f', 0, 3, 0, 'x', 'y', 'z', 0});
  CGSArchive2 in("c");
  ASSERT_TRUE(in.Open());
  char guarded[8] = {'-', '-', '-', '-', '-', '-', '-', '-'};
  EXPECT_EQ(ThrownBy([&] { in.Serialize(guarded, 4); }), CGSArchive2::kTooLong);
  EXPECT_EQ(std::string(guarded, 8), "--------");

  CGSArchive2 fits("c");
  ASSERT_TRUE(fits.Open());
  char exact[7];
  fits.Serialize(exact, sizeof exact);  // six bytes and the zero: just fits
  EXPECT_STREQ(exact, "abcdef");
}

TEST_F(CGSArchive2Test, AStoredTextWithoutItsZeroIsStillTerminated)
{
  StoreRaw("c", {2, 0, 'h', 'i', 'X', 1, 0, 0, 0, 'j', 'Y'});
  CGSArchive2 in("c");
  ASSERT_TRUE(in.Open());
  char text[3] = {'-', '-', '-'};
  in.Serialize(text, sizeof text);
  EXPECT_EQ(std::string(text, 3), std::string("hi\0", 3));
  std::string s;
  in.Serialize(s);
  EXPECT_EQ(s, "j");
}

TEST_F(CGSArchive2Test, AWriteThatCannotGrowStoresNothing)
{
  StoreRaw(kName, {1, 0, 0, 0});
  {
    CGSArchive2 out(kName);
    out.Save(1000);
    int value = 2;
    out.Serialize(value);
    pln::host::FailNextAllocation();
    EXPECT_EQ(ThrownBy([&] { out.Serialize(value); }), CGSArchive2::kNoMemory);
  }
  EXPECT_EQ(Stored(kName), (std::vector<char>{1, 0, 0, 0}));
}

TEST_F(CGSArchive2Test, AttributesTravelByNameAndComeBackByIndex)
{
  host.AddFont(GS::UniString(u"ゴシック"));
  short index = short(host.AddFont(GS::UniString(u"明朝")));
  {
    CGSArchive2 out("attr");
    out.Save(1);
    out.SerializeAttribute(API_FontID, index, CC_Japanese);
  }
  // 明 96 BE, 朝 92 A9 in Shift-JIS.
  EXPECT_EQ(Stored("attr"), (std::vector<char>{4, 0, char(0x96), char(0xBE), char(0x92), char(0xA9), 0}));

  // Another project: the same font under another index.
  const auto stored = host.ModulData(GS::UniString("attr"));
  host.Reset();
  const short other = short(host.AddFont(GS::UniString(u"明朝")));
  StoreRaw("attr", stored->bytes, 1);
  CGSArchive2 in("attr");
  ASSERT_TRUE(in.Open());
  short read = -5;
  in.SerializeAttribute(API_FontID, read, CC_Japanese);
  EXPECT_EQ(read, other);
  EXPECT_NE(read, index);
}

TEST_F(CGSArchive2Test, AnUnknownAttributeNameReadsAsIndexZero)
{
  StoreRaw("attr", {3, 0, 'a', 'b', 'c', 0});
  CGSArchive2 in("attr");
  ASSERT_TRUE(in.Open());
  short read = 9;
  in.SerializeAttribute(API_FontID, read, CC_Japanese);
  EXPECT_EQ(read, 0);
}

}  // namespace
