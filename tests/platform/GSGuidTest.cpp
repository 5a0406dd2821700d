#include "gs_guid.h"
#include "host_foundation.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

class GuidTest : public testing::Test {
protected:
  void SetUp() override { pln::host::ResetFoundation(); }
  void TearDown() override { pln::host::ResetFoundation(); }
};

TEST_F(GuidTest, SameSeedGivesTheSameSequence)
{
  pln::host::SeedGuids(42);
  GS::Guid a1 = GS::Guid().Generate();
  GS::Guid a2 = GS::Guid().Generate();
  pln::host::SeedGuids(42);
  GS::Guid b1 = GS::Guid().Generate();
  GS::Guid b2 = GS::Guid().Generate();
  EXPECT_EQ(a1, b1);
  EXPECT_EQ(a2, b2);
  EXPECT_NE(a1, a2);
  pln::host::SeedGuids(43);
  EXPECT_NE(GS::Guid().Generate(), a1);

  // ResetFoundation restarts the default sequence.
  pln::host::ResetFoundation();
  GS::Guid c1 = GS::Guid().Generate();
  pln::host::ResetFoundation();
  EXPECT_EQ(GS::Guid().Generate(), c1);
}

TEST_F(GuidTest, GeneratedGuidsAreNeverNullAndDistinct)
{
  EXPECT_TRUE(GS::Guid().IsNull());
  std::set<GS::Guid> seen;
  for (int i = 0; i < 1000; ++i) {
    GS::Guid guid = GS::Guid().Generate();
    EXPECT_FALSE(guid.IsNull());
    seen.insert(guid);
  }
  EXPECT_EQ(seen.size(), 1000u);
}

TEST_F(GuidTest, TextFormIsUpperCase8_4_4_4_12AndParsesBack)
{
  for (int i = 0; i < 20; ++i) {
    GS::Guid guid = GS::Guid().Generate();
    std::string text = guid.ToUniString().ToStdString(CC_UTF8);
    ASSERT_EQ(text.size(), 36u);
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
      if (pos == 8 || pos == 13 || pos == 18 || pos == 23)
        EXPECT_EQ(text[pos], '-');
      else
        EXPECT_TRUE((text[pos] >= '0' && text[pos] <= '9') || (text[pos] >= 'A' && text[pos] <= 'F')) << text;
    }
    GS::Guid parsed;
    EXPECT_EQ(parsed.ConvertFromString(text.c_str()), NoError);
    EXPECT_EQ(parsed, guid);
    GS::Guid fromUni;
    EXPECT_EQ(fromUni.ConvertFromString(guid.ToUniString()), NoError);
    EXPECT_EQ(fromUni, guid);
  }
}

TEST_F(GuidTest, BytesMapToTextInOrder)
{
  GS::Guid guid;
  ASSERT_EQ(guid.ConvertFromString("00112233-4455-6677-8899-aabbccddeeff"), NoError);
  EXPECT_EQ(guid.Bytes()[0], 0x00);
  EXPECT_EQ(guid.Bytes()[5], 0x55);
  EXPECT_EQ(guid.Bytes()[15], 0xFF);
  EXPECT_EQ(guid.ToUniString(), GS::UniString(u"00112233-4455-6677-8899-AABBCCDDEEFF"));
}

TEST_F(GuidTest, MalformedTextIsRefusedAndLeavesTheValue)
{
  const char* const malformed[] = {
      "",
      "00112233-4455-6677-8899-AABBCCDDEEF",    // one short
      "00112233-4455-6677-8899-AABBCCDDEEFF0",  // one long
      "0011223G-4455-6677-8899-AABBCCDDEEFF",   // not a hex digit
      "001122334-455-6677-8899-AABBCCDDEEFF",   // dash moved
      "00112233-4455-6677-8899+AABBCCDDEEFF",   // not a dash
      "{0112233-4455-6677-8899-AABBCCDDEEF}",
  };
  GS::Guid guid = GS::Guid().Generate();
  const GS::Guid before = guid;
  for (const char* text : malformed) {
    SCOPED_TRACE(text);
    EXPECT_NE(guid.ConvertFromString(text), NoError);
    EXPECT_EQ(guid, before);
  }
  EXPECT_NE(guid.ConvertFromString(static_cast<const char*>(nullptr)), NoError);
  EXPECT_NE(guid.ConvertFromString(GS::UniString(u"００112233-4455-6677-8899-AABBCCDDEEFF")), NoError);
  EXPECT_EQ(guid, before);
}

}  // namespace
