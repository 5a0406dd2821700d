#include "CKelArchiveCore.h"
#include "CKelMemoryArchive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes TextRecord(short length, const std::string& body)
{
  Bytes bytes{static_cast<std::uint8_t>(length & 0xff), static_cast<std::uint8_t>((length >> 8) & 0xff)};
  bytes.insert(bytes.end(), body.begin(), body.end());
  return bytes;
}

TEST(CKelArchiveCoreNumbers, AreLittleEndianInTheirOwnWidths)
{
  CKelMemoryArchive out(1);
  out << true << 'A' << static_cast<unsigned char>(0xfe) << static_cast<short>(-2)
      << static_cast<unsigned short>(0x1234) << 0x01020304 << 0xa0b0c0d0u << 1.0f << -2.0;
  const Bytes expected{0x01, 0x41, 0xfe, 0xfe, 0xff, 0x34, 0x12, 0x04, 0x03, 0x02, 0x01,
                       0xd0, 0xc0, 0xb0, 0xa0, 0x00, 0x00, 0x80, 0x3f,
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xc0};
  EXPECT_EQ(out.GetBytes(), expected);
  EXPECT_EQ(out.GetError(), 0);

  CKelMemoryArchive in(out.GetBytes(), 1);
  bool b = false;
  char c = 0;
  unsigned char uc = 0;
  short s = 0;
  unsigned short us = 0;
  int i = 0;
  unsigned int ui = 0;
  float f = 0;
  double d = 0;
  in >> b >> c >> uc >> s >> us >> i >> ui >> f >> d;
  EXPECT_TRUE(b && c == 'A' && uc == 0xfe && s == -2 && us == 0x1234 && i == 0x01020304);
  EXPECT_TRUE(ui == 0xa0b0c0d0u && f == 1.0f && d == -2.0);
  EXPECT_EQ(in.GetError(), 0);
  EXPECT_EQ(in.RemainingBytes(), 0u);
}

TEST(CKelArchiveCoreNumbers, AnyNonZeroByteReadsAsTrue)
{
  CKelMemoryArchive in(Bytes{0x02}, 1);
  bool b = false;
  in >> b;
  EXPECT_TRUE(b);
}

TEST(CKelArchiveCoreRecords, HaveTheirFixedSizes)
{
  CKelMemoryArchive out(1);
  XY_FPAIR pair{1.5f, -0.25f};
  MESH_HGT mesh;
  GFCMD command;
  SphereRatio ratio;
  for (int k = 0; k < 64; ++k)
    ratio.bytes[k] = static_cast<unsigned char>(k);
  out << pair;
  EXPECT_EQ(out.GetBytes().size(), 8u);
  out << mesh;
  EXPECT_EQ(out.GetBytes().size(), 14u);
  out << command;
  EXPECT_EQ(out.GetBytes().size(), 24u);
  out << ratio;
  EXPECT_EQ(out.GetBytes().size(), 88u);
  const Bytes pairBytes{0x00, 0x00, 0xc0, 0x3f, 0x00, 0x00, 0x80, 0xbe};
  EXPECT_EQ(Bytes(out.GetBytes().begin(), out.GetBytes().begin() + 8), pairBytes);

  CKelMemoryArchive in(out.GetBytes(), 1);
  XY_FPAIR pairIn;
  MESH_HGT meshIn;
  GFCMD commandIn;
  SphereRatio ratioIn;
  in >> pairIn >> meshIn >> commandIn >> ratioIn;
  EXPECT_EQ(pairIn.x, 1.5f);
  EXPECT_EQ(pairIn.y, -0.25f);
  EXPECT_EQ(std::memcmp(ratioIn.bytes, ratio.bytes, 64), 0);
  EXPECT_EQ(in.GetError(), 0);
}

TEST(CKelArchiveCoreTexts, EmptyTextIsTwoLengthBytesAndAZero)
{
  CKelMemoryArchive out(1);
  out << std::string();
  EXPECT_EQ(out.GetBytes(), (Bytes{0x00, 0x00, 0x00}));
  CKelMemoryArchive viaPointer(1);
  viaPointer << "ab";
  EXPECT_EQ(viaPointer.GetBytes(), (Bytes{0x02, 0x00, 'a', 'b', 0x00}));
}

TEST(CKelArchiveCoreTexts, LongestTextRoundTripsAndOneMoreIsRefused)
{
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
  tooLong << std::string(32768, 'y');
  EXPECT_NE(tooLong.GetError(), 0);
  EXPECT_TRUE(tooLong.GetBytes().empty());
  CKelMemoryArchive tooLongPointer(1);
  tooLongPointer << std::string(40000, 'y').c_str();
  EXPECT_NE(tooLongPointer.GetError(), 0);
  EXPECT_TRUE(tooLongPointer.GetBytes().empty());
}

TEST(CKelArchiveCoreTexts, NegativeOrOverlongStoredLengthIsRefused)
{
  // 0x9c40 is 40000 written unsigned: it reads back as -25536.
  CKelMemoryArchive negative(Bytes{0x40, 0x9c, 'a', 0}, 1);
  std::string text = "kept";
  negative >> text;
  EXPECT_NE(negative.GetError(), 0);
  EXPECT_EQ(text, "kept");

  CKelMemoryArchive overlong(TextRecord(10, std::string("abc") + '\0'), 1);
  overlong >> text;
  EXPECT_NE(overlong.GetError(), 0);
  EXPECT_EQ(text, "kept");

  // The terminator counts: a length that leaves no room for it fails too.
  CKelMemoryArchive noTerminator(TextRecord(3, "abc"), 1);
  EXPECT_EQ(noTerminator.ReadText(), "");
  EXPECT_NE(noTerminator.GetError(), 0);
}

TEST(CKelArchiveCoreTexts, BufferReadIsBoundedByTheCallersBuffer)
{
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

  CKelMemoryArchive negative(Bytes{0xff, 0xff, 0}, 1);
  char out[4] = "abc";
  negative.ReadText(out, sizeof(out));
  EXPECT_NE(negative.GetError(), 0);
  EXPECT_STREQ(out, "");
}

TEST(CKelArchiveCoreTexts, StoredTextEndsAtItsFirstZero)
{
  CKelMemoryArchive in(TextRecord(4, std::string("ab\0d", 4) + '\0'), 1);
  EXPECT_EQ(in.ReadText(), "ab");
  EXPECT_EQ(in.GetError(), 0);
  EXPECT_EQ(in.RemainingBytes(), 0u);
}

struct SerializedFields {
  bool b = true;
  short s = -3;
  int i = 123456;
  double d = 2.5;
  XY_FPAIR p{3.0f, 4.0f};
  std::string text = "name";
  char buffer[8] = "buf";

  void Transfer(CKelArchiveCore& ar)
  {
    ar.SerializeTag("Fields", 2);
    ar.Serialize(b);
    ar.Serialize(s);
    ar.Serialize(i);
    ar.Serialize(d);
    ar.Serialize(p);
    ar.Serialize(text);
    ar.Serialize(buffer, sizeof(buffer));
  }
  bool operator==(const SerializedFields& o) const
  {
    return b == o.b && s == o.s && i == o.i && d == o.d && p.x == o.p.x && p.y == o.p.y && text == o.text &&
           std::strcmp(buffer, o.buffer) == 0;
  }
};

TEST(CKelArchiveCoreSerialize, OneCallWritesAndReadsEveryKind)
{
  for (int version : {1, 2}) {
    SerializedFields written;
    CKelMemoryArchive out(version);
    written.Transfer(out);
    const std::size_t tagBytes = version >= 2 ? 2 + 6 + 1 : 0;
    EXPECT_EQ(out.GetBytes().size(), tagBytes + 1 + 2 + 4 + 8 + 8 + (2 + 4 + 1) + (2 + 3 + 1));

    SerializedFields read{false, 0, 0, 0, {}, "", ""};
    CKelMemoryArchive in(out.GetBytes(), version);
    read.Transfer(in);
    EXPECT_EQ(in.GetError(), 0);
    EXPECT_EQ(in.RemainingBytes(), 0u);
    EXPECT_TRUE(read == written);
  }
}

TEST(CKelArchiveCoreSerialize, TagIsWrittenFromItsVersionAndSkippedUncheckedOnRead)
{
  CKelMemoryArchive v1(1);
  v1.SerializeTag("CKelCoord2D");
  EXPECT_TRUE(v1.GetBytes().empty());
  CKelMemoryArchive v8(8);
  v8.SerializeTag("CKelCoord3DEx", 9);
  EXPECT_TRUE(v8.GetBytes().empty());

  CKelMemoryArchive v2(2);
  v2.SerializeTag("XY");
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

TEST(CKelMemoryArchive, ShortReadTransfersNothingAndLaterReadsFail)
{
  CKelMemoryArchive in(Bytes{0x01, 0x02, 0x03, 0x00, 0x05}, 3);
  EXPECT_EQ(in.GetVersion(), 3);
  EXPECT_TRUE(in.IsLoading());
  short first = 0;
  in >> first;
  EXPECT_EQ(first, 0x0201);
  double d = 7.5;
  in >> d;
  EXPECT_EQ(d, 7.5);
  EXPECT_EQ(in.GetError(), 1);
  EXPECT_EQ(in.RemainingBytes(), 0u);
  unsigned char c = 9;
  in >> c;
  EXPECT_EQ(c, 9);
  EXPECT_EQ(in.GetError(), 2);
  XY_FPAIR pair{1, 2};
  in >> pair;
  EXPECT_EQ(pair.x, 1);
  EXPECT_EQ(pair.y, 2);
}

TEST(CKelMemoryArchive, DirectionIsFixedAtConstruction)
{
  CKelMemoryArchive out(1);
  EXPECT_FALSE(out.IsLoading());
  EXPECT_EQ(out.RemainingBytes(), UINT64_MAX);
  int value = 4;
  out >> value;
  EXPECT_EQ(out.GetError(), 1);
  EXPECT_EQ(value, 4);

  CKelMemoryArchive in(Bytes{}, 1);
  in << 5;
  EXPECT_EQ(in.GetError(), 1);
  EXPECT_TRUE(in.GetBytes().empty());
  in.SetError();
  EXPECT_EQ(in.GetError(), 2);
}

}  // namespace
