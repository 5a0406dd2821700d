#include "CKelArchiveCore.h"
#include "CKelMemoryArchive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes TextRecord(short length, const std::string& body)
{
  Bytes bytes{static_cast<std::uint8_t>(length & 0xff), static_cast<std::uint8_t>((length >> 8) & 0xff)};
  bytes.insert(bytes.end(), body.begin(), body.end());
  return bytes;
}

bool operator==(const XY_FPAIR& a, const XY_FPAIR& b) { return a.x == b.x && a.y == b.y; }

TEST(CKelArchiveCoreNumbers, AreLittleEndianInTheirOwnWidths)
{
  const auto values = std::make_tuple(true, 'A', static_cast<unsigned char>(0xfe), static_cast<short>(-2),
                                      static_cast<unsigned short>(0x1234), 0x01020304, 0xa0b0c0d0u, 1.0f, -2.0);
  CKelMemoryArchive out(1);
  std::apply([&](const auto&... v) { (out << ... << v); }, values);
  Bytes expected{0x01, 0x41, 0xfe, 0xfe, 0xff, 0x34, 0x12, 0x04, 0x03, 0x02, 0x01,
                 0xd0, 0xc0, 0xb0, 0xa0, 0x00, 0x00, 0x80, 0x3f,
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xc0};
  EXPECT_EQ(out.GetBytes(), expected);
  EXPECT_EQ(out.GetError(), 0);

  expected[0] = 0x02;  // any non-zero byte reads as true
  CKelMemoryArchive in(expected, 1);
  std::remove_const_t<decltype(values)> back{};
  std::apply([&](auto&... v) { (in >> ... >> v); }, back);
  EXPECT_EQ(back, values);
  EXPECT_EQ(in.GetError(), 0);
  EXPECT_EQ(in.RemainingBytes(), 0u);
}

TEST(CKelArchiveCoreRecords, HaveTheirFixedSizes)
{
  const XY_FPAIR pair{1.5f, -0.25f};
  SphereRatio ratio;
  for (int k = 0; k < 64; ++k)
    ratio.bytes[k] = static_cast<unsigned char>(k);
  CKelMemoryArchive out(1);
  out << pair;
  EXPECT_EQ(out.GetBytes(), (Bytes{0x00, 0x00, 0xc0, 0x3f, 0x00, 0x00, 0x80, 0xbe}));
  out << MESH_HGT{};
  EXPECT_EQ(out.GetBytes().size(), 14u);
  out << GFCMD{};
  EXPECT_EQ(out.GetBytes().size(), 24u);
  out << ratio;
  EXPECT_EQ(out.GetBytes().size(), 88u);

  CKelMemoryArchive in(out.GetBytes(), 1);
  XY_FPAIR pairIn;
  MESH_HGT meshIn;
  GFCMD commandIn;
  SphereRatio ratioIn;
  in >> pairIn >> meshIn >> commandIn >> ratioIn;
  EXPECT_TRUE(pairIn == pair);
  EXPECT_EQ(std::memcmp(ratioIn.bytes, ratio.bytes, 64), 0);
  EXPECT_EQ(in.GetError(), 0);
  EXPECT_EQ(in.RemainingBytes(), 0u);
}

TEST(CKelArchiveCoreTexts, EmptyIsThreeZerosTheLongestRoundTripsAndOneMoreIsRefused)
{
  CKelMemoryArchive empty(1);
  empty << std::string();
  EXPECT_EQ(empty.GetBytes(), (Bytes{0x00, 0x00, 0x00}));

  const std::string longest(CKelArchiveCore::kMaxTextBytes, 'x');
  CKelMemoryArchive out(1);
  out << longest;
  EXPECT_EQ(out.GetError(), 0);
  EXPECT_EQ(out.GetBytes().size(), 2u + 32767u + 1u);
  CKelMemoryArchive in(out.GetBytes(), 1);
  std::string back;
  in >> back;
  EXPECT_EQ(back, longest);
  EXPECT_EQ(in.GetError(), 0);

  CKelMemoryArchive tooLong(1);
  CKelMemoryArchive tooLongPointer(1);
  tooLong << std::string(32768, 'y');
  tooLongPointer << std::string(40000, 'y').c_str();
  for (CKelMemoryArchive* refused : {&tooLong, &tooLongPointer}) {
    EXPECT_NE(refused->GetError(), 0);
    EXPECT_TRUE(refused->GetBytes().empty());
  }
}

TEST(CKelArchiveCoreTexts, ReadsAreBoundedByTheStoredBytesAndTheCallersBuffer)
{
  const std::vector<std::pair<const char*, Bytes>> rows = {
      {"0x9c40, 40000 written unsigned, reads back as -25536", Bytes{0x40, 0x9c, 'a', 0}},
      {"-1", Bytes{0xff, 0xff, 0}},
      {"past the end", TextRecord(10, std::string("abc") + '\0')},
      {"no room left for the terminator", TextRecord(3, "abc")},
  };
  for (const auto& [name, bytes] : rows) {
    SCOPED_TRACE(name);
    CKelMemoryArchive toString(bytes, 1);
    std::string text = "kept";
    toString >> text;
    EXPECT_NE(toString.GetError(), 0);
    EXPECT_EQ(text, "kept");
    CKelMemoryArchive toBuffer(bytes, 1);
    char buffer[64] = "abc";
    toBuffer.ReadText(buffer, sizeof(buffer));
    EXPECT_NE(toBuffer.GetError(), 0);
    EXPECT_STREQ(buffer, "");
  }

  const Bytes record = TextRecord(5, std::string("hello") + '\0');
  char fits[6] = "xxxxx";
  CKelMemoryArchive in(record, 1);
  in.ReadText(fits, sizeof(fits));
  EXPECT_STREQ(fits, "hello");
  EXPECT_EQ(in.GetError(), 0);

  // One byte short: refused, buffer left empty, bytes past it untouched.
  char buffer[8] = {'z', 'z', 'z', 'z', 'z', 'z', 'z', 'z'};
  CKelMemoryArchive small(record, 1);
  small.ReadText(buffer, 5);
  EXPECT_NE(small.GetError(), 0);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[5], 'z');

  CKelMemoryArchive embeddedZero(TextRecord(4, std::string("ab\0d", 4) + '\0'), 1);
  EXPECT_EQ(embeddedZero.ReadText(), "ab");
  EXPECT_EQ(embeddedZero.GetError(), 0);
  EXPECT_EQ(embeddedZero.RemainingBytes(), 0u);
}

// Every number goes through the same template, so one number stands for all.
struct SerializedFields {
  int i = 123456;
  XY_FPAIR p{3.0f, 4.0f};
  std::string text = "name";
  char buffer[8] = "buf";

  void Transfer(CKelArchiveCore& ar)
  {
    ar.Serialize(i);
    ar.Serialize(p);
    ar.Serialize(text);
    ar.Serialize(buffer, sizeof(buffer));
  }
  bool operator==(const SerializedFields&) const = default;
};

TEST(CKelArchiveCoreSerialize, OneCallWritesAndReadsEveryKind)
{
  SerializedFields written;
  CKelMemoryArchive out(1);
  written.Transfer(out);
  EXPECT_EQ(out.GetBytes().size(), 4u + 8 + (2 + 4 + 1) + (2 + 3 + 1));

  SerializedFields read{0, {}, "", ""};
  CKelMemoryArchive in(out.GetBytes(), 1);
  read.Transfer(in);
  EXPECT_EQ(in.GetError(), 0);
  EXPECT_EQ(in.RemainingBytes(), 0u);
  EXPECT_TRUE(read == written);
}

TEST(CKelArchiveCoreSerialize, TagIsWrittenFromItsVersionAndSkippedUncheckedOnRead)
{
  CKelMemoryArchive v1(1);
  CKelMemoryArchive v8(8);
  CKelMemoryArchive v2(2);
  v1.SerializeTag("CKelCoord2D");
  v8.SerializeTag("CKelCoord3DEx", 9);
  v2.SerializeTag("XY");
  EXPECT_TRUE(v1.GetBytes().empty() && v8.GetBytes().empty());
  EXPECT_EQ(v2.GetBytes(), (Bytes{0x02, 0x00, 'X', 'Y', 0x00}));

  Bytes stored = TextRecord(5, std::string("Other") + '\0');
  stored.push_back(0x2a);
  CKelMemoryArchive in(stored, 2);
  in.SerializeTag("XY");
  unsigned char next = 0;
  in >> next;
  EXPECT_EQ(next, 0x2a);
  EXPECT_EQ(in.GetError(), 0);
}

TEST(CKelMemoryArchive, FailedTransfersMoveNothingAndAreCounted)
{
  CKelMemoryArchive in(Bytes{0x01, 0x02, 0x03, 0x00, 0x05}, 3);
  short first = 0;
  in >> first;
  EXPECT_EQ(first, 0x0201);
  // A short read consumes the rest, so every later read fails as well.
  double d = 7.5;
  in >> d;
  EXPECT_EQ(d, 7.5);
  EXPECT_EQ(in.GetError(), 1);
  EXPECT_EQ(in.RemainingBytes(), 0u);
  XY_FPAIR pair{1, 2};
  in >> pair;
  EXPECT_TRUE(pair == (XY_FPAIR{1, 2}));
  EXPECT_EQ(in.GetError(), 3);  // one for each float
  // The direction is fixed at construction.
  in << 5;
  EXPECT_EQ(in.GetError(), 4);
  EXPECT_EQ(in.GetBytes().size(), 5u);
  in.SetError();
  EXPECT_EQ(in.GetError(), 5);

  CKelMemoryArchive out(1);
  int value = 4;
  out >> value;
  EXPECT_EQ(out.GetError(), 1);
  EXPECT_EQ(value, 4);
}

}  // namespace
