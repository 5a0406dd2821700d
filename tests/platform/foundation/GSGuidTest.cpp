#include "PlatformTestSupport.h"

#include "gs_guid.h"
#include "host_foundation.h"

#include <algorithm>
#include <regex>
#include <set>
#include <string>

namespace {

using GuidTest = HostTest;

std::vector<GS::Guid> Generate(std::size_t count)
{
  std::vector<GS::Guid> guids(count);
  for (GS::Guid& guid : guids)
    guid.Generate();
  return guids;
}

TEST_F(GuidTest, SameSeedGivesTheSameSequenceOfDistinctGuids)
{
  pln::host::SeedGuids(42);
  const std::vector<GS::Guid> first = Generate(1000);
  pln::host::SeedGuids(42);
  EXPECT_EQ(Generate(1000), first);
  EXPECT_EQ(std::set<GS::Guid>(first.begin(), first.end()).size(), 1000u);
  EXPECT_TRUE(GS::Guid().IsNull());
  EXPECT_TRUE(std::none_of(first.begin(), first.end(), [](const GS::Guid& g) { return g.IsNull(); }));
  pln::host::SeedGuids(43);
  EXPECT_NE(GS::Guid().Generate(), first[0]);

  // ResetFoundation restarts the default sequence.
  pln::host::ResetFoundation();
  const GS::Guid c1 = GS::Guid().Generate();
  pln::host::ResetFoundation();
  EXPECT_EQ(GS::Guid().Generate(), c1);
}

TEST_F(GuidTest, TextFormIsUpperCase8_4_4_4_12AndParsesBack)
{
  const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
  for (const GS::Guid& guid : Generate(20)) {
    const std::string text = guid.ToUniString().ToStdString(CC_UTF8);
    EXPECT_TRUE(std::regex_match(text, form)) << text;
    GS::Guid parsed, fromUni;
    EXPECT_EQ(parsed.ConvertFromString(text.c_str()), NoError);
    EXPECT_EQ(parsed, guid);
    EXPECT_EQ(fromUni.ConvertFromString(guid.ToUniString()), NoError);
    EXPECT_EQ(fromUni, guid);
  }

  // Bytes map to the text in order; lower case is read.
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
