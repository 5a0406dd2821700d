// Named module-data records: exact stored bytes, round trips, and reads of
// damaged records that must throw instead of reading past the data.

#include "CGSArchive2.h"
#include "HostTestSupport.h"

#include <memory>

namespace {

const char* const kName = " 32400-5";

class CGSArchive2Test : public HostTest {
protected:
  std::vector<char> Stored(const char* name) const { return host.ModulData(GS::UniString(name))->bytes; }
  // The bytes stored as the record "r" and opened for reading.
  static std::unique_ptr<CGSArchive2> Opened(const std::vector<char>& bytes, Int32 version = 1000)
  {
    StoreModulData("r", bytes, version);
    auto in = std::make_unique<CGSArchive2>("r");
    EXPECT_TRUE(in->Open());
    return in;
  }
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

// Every kind of field once, written and read by the same code.
struct Fields {
  bool flag = false;
  double d = 0;
  float f = 0;
  char text[8] = "zzzzzzz";
  std::string empty = "x";
  GS::UniString uni;

  void Serialize(CGSArchive2& ar, USize textCapacity)
  {
    ar.Serialize(flag);
    ar.Serialize(d);
    ar.Serialize(f);
    ar.Serialize(text, textCapacity);
    ar.Serialize(empty);
    ar.Serialize(uni);
  }
};

// Written as 0 and 1; a stored byte other than 0 reads as true, never as
// a bool holding the byte.
TEST_F(CGSArchive2Test, BoolsTravelAsOneByteAndAnyNonZeroByteReadsTrue)
{
  {
    CGSArchive2 out("b");
    out.Save(1000);
    for (bool value : {true, false})
      out.Serialize(value);
  }
  EXPECT_EQ(Stored("b"), (std::vector<char>{1, 0}));
  auto in = Opened({2, 0, 1, char(0xFF)});
  for (bool expected : {true, false, true, true}) {
    bool value = !expected;
    in->Serialize(value);
    EXPECT_EQ(static_cast<int>(value), expected ? 1 : 0);
  }
  EXPECT_EQ(ThrownBy([&] { bool more = false; in->Serialize(more); }), CGSArchive2::kPastEnd);
}

TEST_F(CGSArchive2Test, ColumnWidthsRoundTripWithVersionAndPlatformSign)
{
  {
    CGSArchive2 out(kName);
    out.Save(1000);
    int count = 3;
    out.Serialize(count);
    for (short width : {100, 30, 40})
      out.Serialize(width);
    EXPECT_EQ(out.GetSize(), 10);
  }
  EXPECT_EQ(host.ModulData(GS::UniString(kName)),
            (pln::host::StoredModulData{1000, 0x5757, {3, 0, 0, 0, 100, 0, 30, 0, 40, 0}}));

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
  EXPECT_EQ((std::vector<short>(widths, widths + 3)), (std::vector<short>{100, 30, 40}));
  EXPECT_EQ(ThrownBy([&] { in.Serialize(count); }), CGSArchive2::kPastEnd);
}

TEST_F(CGSArchive2Test, NumbersAndTextsHaveTheirExactEncodings)
{
  {
    CGSArchive2 out("enc");
    out.Save(7);
    Fields fields{true, 1.5, -2.0f, "ab", "", GS::UniString(u"面積")};
    fields.Serialize(out, sizeof "ab");
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
  Fields read;
  read.Serialize(in, sizeof read.text);
  EXPECT_TRUE(read.flag);
  EXPECT_EQ(read.d, 1.5);
  EXPECT_EQ(read.f, -2.0f);
  EXPECT_STREQ(read.text, "ab");
  EXPECT_EQ(read.empty, "");
  EXPECT_EQ(read.uni, GS::UniString(u"面積"));
}

TEST_F(CGSArchive2Test, ARecordThatDoesNotExistOrCannotBeFetchedThrowsNoDataOnRead)
{
  EXPECT_FALSE(CGSArchive2::IsHaveData("missing"));
  CGSArchive2 in("missing");
  EXPECT_FALSE(in.Open());
  int value = 0;
  EXPECT_EQ(ThrownBy([&] { in.Serialize(value); }), CGSArchive2::kNoData);

  StoreModulData("r", {1, 2, 3, 4});
  host.FailOnce("ACAPI_ModulData_Get", APIERR_MEMFULL);
  CGSArchive2 failed("r");
  EXPECT_FALSE(failed.Open());
  EXPECT_EQ(ThrownBy([&] { failed.Serialize(value); }), CGSArchive2::kNoData);
}

TEST_F(CGSArchive2Test, ARecordOpenedForReadingStoresNothing)
{
  StoreModulData("r", {5, 0, 0, 0});
  host.ClearCallLog();
  {
    CGSArchive2 in("r");
    ASSERT_TRUE(in.Open());
    int value = 0;
    in.Serialize(value);
    EXPECT_EQ(value, 5);
    CGSArchive2 never("never");  // neither opened nor saved
  }
  EXPECT_EQ(Calls("ACAPI_ModulData_Store"), 0);
  EXPECT_FALSE(host.ModulData(GS::UniString("never")).has_value());
  EXPECT_EQ(Stored("r"), (std::vector<char>{5, 0, 0, 0}));
}

TEST_F(CGSArchive2Test, ShortReadsAndStoredLengthsBeyondTheRemainingBytesThrowPastEnd)
{
  // Three bytes: an int is past the end and left alone; a short is not.
  auto in = Opened({1, 2, 3});
  int value = 77;
  EXPECT_EQ(ThrownBy([&] { in->Serialize(value); }), CGSArchive2::kPastEnd);
  EXPECT_EQ(value, 77);
  short part = 0;
  in->Serialize(part);
  EXPECT_EQ(part, 0x0201);
  char buffer[64] = {};
  EXPECT_EQ(ThrownBy([&] { in->Read(buffer, -1); }), CGSArchive2::kPastEnd);

  // 0xFFFFFFFF + 1 would wrap to a zero-byte read in 32 bits.
  std::string text = "kept";
  in = Opened({char(0xFF), char(0xFF), char(0xFF), char(0xFF), 'a', 0});
  EXPECT_EQ(ThrownBy([&] { in->Serialize(text); }), CGSArchive2::kPastEnd);
  EXPECT_EQ(text, "kept");
  // Lengths one byte longer than the record: the terminator is missing.
  in = Opened({3, 0, 0, 0, 'a', 'b', 'c'});
  EXPECT_EQ(ThrownBy([&] { in->Serialize(text); }), CGSArchive2::kPastEnd);
  in = Opened({9, 0, 'a', 'b', 0});
  EXPECT_EQ(ThrownBy([&] { in->Serialize(buffer, sizeof buffer); }), CGSArchive2::kPastEnd);
}

TEST_F(CGSArchive2Test, StoredTextsAreBoundedByTheCallersBufferAndAlwaysTerminated)
{
  const std::vector<char> twoTexts{6, 0, 'a', 'b', 'c', 'd', 'e', 'f', 0, 3, 0, 'x', 'y', 'z', 0};
  auto in = Opened(twoTexts);
  char guarded[8] = {'-', '-', '-', '-', '-', '-', '-', '-'};
  EXPECT_EQ(ThrownBy([&] { in->Serialize(guarded, 4); }), CGSArchive2::kTooLong);
  EXPECT_EQ(std::string(guarded, 8), "--------");
  in = Opened(twoTexts);
  char exact[7];
  in->Serialize(exact, sizeof exact);  // six bytes and the zero: just fits
  EXPECT_STREQ(exact, "abcdef");

  // A stored text without its zero.
  in = Opened({2, 0, 'h', 'i', 'X', 1, 0, 0, 0, 'j', 'Y'});
  char text[3] = {'-', '-', '-'};
  in->Serialize(text, sizeof text);
  EXPECT_EQ(std::string(text, 3), std::string("hi\0", 3));
  std::string s;
  in->Serialize(s);
  EXPECT_EQ(s, "j");
}

TEST_F(CGSArchive2Test, AWriteThatCannotGrowStoresNothing)
{
  StoreModulData(kName, {1, 0, 0, 0});
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

TEST_F(CGSArchive2Test, AttributesTravelByNameAndComeBackByIndexOrZeroWhenUnknown)
{
  host.AddFont(GS::UniString(u"ゴシック"));
  short index = short(host.AddFont(GS::UniString(u"明朝")));
  {
    CGSArchive2 out("attr");
    out.Save(1);
    out.SerializeAttribute(API_FontID, index, CC_Japanese);
  }
  // 明 96 BE, 朝 92 A9 in Shift-JIS.
  const std::vector<char> stored = Stored("attr");
  EXPECT_EQ(stored, (std::vector<char>{4, 0, char(0x96), char(0xBE), char(0x92), char(0xA9), 0}));

  // Another project: the same font under another index.
  host.Reset();
  const short other = short(host.AddFont(GS::UniString(u"明朝")));
  short read = -5;
  Opened(stored, 1)->SerializeAttribute(API_FontID, read, CC_Japanese);
  EXPECT_EQ(read, other);
  EXPECT_NE(read, index);

  Opened({3, 0, 'a', 'b', 'c', 0})->SerializeAttribute(API_FontID, read, CC_Japanese);
  EXPECT_EQ(read, 0);
}

}  // namespace

namespace {

TEST_F(CGSArchive2Test, BrepKindTagsAreSixteenBitsReadBackZeroExtended)
{
  for (std::uint16_t v : {std::uint16_t{0}, std::uint16_t{1}, std::uint16_t{0x8000}, std::uint16_t{65535}}) {
    {
      CGSArchive2 out("kind");
      out.Save(1);
      auto kind = static_cast<CBrep2KEL::TYPE>(v);
      out.Serialize(kind);
    }
    EXPECT_EQ(Stored("kind"), (std::vector<char>{char(v & 0xFF), char(v >> 8)})) << v;
    CGSArchive2 in("kind");
    ASSERT_TRUE(in.Open());
    CBrep2KEL::TYPE back{};
    in.Serialize(back);
    EXPECT_EQ(static_cast<int>(back), static_cast<int>(v)) << v;
  }
  auto in = Opened({1});
  auto kind = static_cast<CBrep2KEL::TYPE>(7);
  EXPECT_EQ(ThrownBy([&] { in->Serialize(kind); }), CGSArchive2::kPastEnd);
  EXPECT_EQ(static_cast<int>(kind), 7);
}

}  // namespace
