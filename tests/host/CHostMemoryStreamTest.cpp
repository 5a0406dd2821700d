// The byte stream under every record kept in host memory: the stored bytes
// of numbers, bools and the three text widths, the refusals of damaged
// data, and a failed write that stays failed.

#include "CHostMemoryStream.h"
#include "HostTestSupport.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

namespace {

using Width = CHostMemoryStream::Length;

std::vector<char> WrittenBytes(const CHostMemoryStream& stream)
{
  const GSHandle handle = stream.GetHandle();
  return std::vector<char>(*handle, *handle + stream.GetSize());
}

// A stream reading a copy of the bytes.
void ReadFrom(CHostMemoryStream& stream, const std::vector<char>& bytes)
{
  GSHandle handle = BMAllocateHandle(static_cast<GSSize>(bytes.size()), ALLOCATE_CLEAR, 0);
  if (!bytes.empty())
    std::memcpy(*handle, bytes.data(), bytes.size());
  stream.StartReading(handle);
}

unsigned int Thrown(const std::function<void()>& body)
{
  try {
    body();
  } catch (unsigned int code) {
    return code;
  }
  return 0;
}

class CHostMemoryStreamTest : public HostTest {};

TEST_F(CHostMemoryStreamTest, ValuesAreLittleEndianBoolsOneByteAndTextsTheirLengthBytesAndAZero)
{
  const struct {
    std::function<void(CHostMemoryStream&)> write;
    std::vector<char> bytes;
  } rows[] = {
      {[](CHostMemoryStream& s) { s.Put(700); }, {char(0xBC), 0x02, 0, 0}},
      {[](CHostMemoryStream& s) { s.Put(short(-2)); }, {char(0xFE), char(0xFF)}},
      {[](CHostMemoryStream& s) { s.Put(1.5); }, {0, 0, 0, 0, 0, 0, char(0xF8), 0x3F}},
      {[](CHostMemoryStream& s) { s.PutBool(true), s.PutBool(false); }, {1, 0}},
      {[](CHostMemoryStream& s) { s.PutText(std::string("x\0y", 3), Width::Signed16); }, {3, 0, 'x', 0, 'y', 0}},
      {[](CHostMemoryStream& s) { s.PutText("ab", Width::Unsigned16); }, {2, 0, 'a', 'b', 0}},
      {[](CHostMemoryStream& s) { s.PutText("", Width::Unsigned32); }, {0, 0, 0, 0, 0}},
  };
  for (const auto& row : rows) {
    CHostMemoryStream out;
    ASSERT_TRUE(out.StartWriting());
    row.write(out);
    EXPECT_EQ(WrittenBytes(out), row.bytes);
    EXPECT_EQ(out.GetPosition(), static_cast<int>(row.bytes.size()));
  }
}

TEST_F(CHostMemoryStreamTest, ReadsTakeBackWhatWasWrittenAndAnyNonZeroByteIsTrue)
{
  CHostMemoryStream in;
  ReadFrom(in, {char(0xBC), 0x02, 0, 0, 2, 0, 3, 0, 'x', 0, 'y', 0, char(0xFF), char(0xFF), char(0xFF), char(0xFF)});
  EXPECT_EQ(in.Get<int>(), 700);
  EXPECT_TRUE(in.GetBool());
  EXPECT_FALSE(in.GetBool());
  EXPECT_EQ(in.GetText(Width::Signed16), std::string("x\0y", 3));
  EXPECT_EQ(in.RemainingBytes(), 4u);
  EXPECT_TRUE(in.CanHold(2, 2));
  EXPECT_FALSE(in.CanHold(1, 5));
  EXPECT_FALSE(in.CanHold(-1, 1));
  EXPECT_EQ(in.Get<int>(), -1);
  EXPECT_EQ(Thrown([&] { in.GetBool(); }), CHostMemoryStream::kPastEnd);
}

// A stored length is checked against the data before anything is made for
// it; each width reads its own length.
TEST_F(CHostMemoryStreamTest, DamagedDataIsRefusedWithTheStreamsCodes)
{
  const struct {
    std::vector<char> bytes;
    Width width;
    unsigned int code;
  } rows[] = {
      {{char(0xFF), char(0xFF), 'a', 0}, Width::Signed16, CHostMemoryStream::kPastEnd},  // -1
      {{char(0xFF), char(0xFF), 'a', 0}, Width::Unsigned16, CHostMemoryStream::kPastEnd},
      {{char(0xFF), char(0xFF), char(0xFF), char(0xFF), 0}, Width::Unsigned32, CHostMemoryStream::kPastEnd},
      {{2, 0, 'a', 'b'}, Width::Signed16, CHostMemoryStream::kPastEnd},  // no terminator
      {{1, 0}, Width::Unsigned32, CHostMemoryStream::kPastEnd},          // a cut length
  };
  for (const auto& row : rows) {
    CHostMemoryStream in;
    ReadFrom(in, row.bytes);
    EXPECT_EQ(Thrown([&] { in.GetText(row.width); }), row.code);
  }
  CHostMemoryStream none;
  none.StartReading(nullptr);
  EXPECT_EQ(Thrown([&] { none.Get<int>(); }), CHostMemoryStream::kNoData);
  EXPECT_EQ(Thrown([&] { none.Write("x", 1); }), CHostMemoryStream::kNoData);
}

TEST_F(CHostMemoryStreamTest, ATextTooLongForItsWidthFailsTheStreamForGood)
{
  CHostMemoryStream out;
  ASSERT_TRUE(out.StartWriting());
  const std::string longest(std::numeric_limits<std::int16_t>::max(), 'x');
  out.PutText(longest, Width::Signed16);
  EXPECT_FALSE(out.HasFailed());
  EXPECT_EQ(Thrown([&] { out.PutText(longest + "x", Width::Signed16); }), CHostMemoryStream::kTooLong);
  EXPECT_TRUE(out.HasFailed());
  out.PutText(longest + "x", Width::Unsigned16);  // fits the wider length
  EXPECT_TRUE(out.HasFailed());
  ASSERT_TRUE(out.StartWriting());
  EXPECT_FALSE(out.HasFailed());
  out.Abandon();
  EXPECT_TRUE(out.HasFailed());
}

}  // namespace
