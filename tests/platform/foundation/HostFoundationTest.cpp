// Assertions, the byte-level text calls and the captured debug output.

#include "PlatformTestSupport.h"

#include "host_assert.h"
#include "host_charcodes.h"
#include "host_debug.h"
#include "host_foundation.h"

#include <string>

namespace {

using HostFoundationTest = HostTest;

TEST(HostAssertDeathTest, NamesTheFileAndTheExpression)
{
  int count = 2;
  EXPECT_DEATH(PLN_ASSERT(count == 3), "HostFoundationTest.cpp:[0-9]+: count == 3");
  PLN_ASSERT(count == 2);
}

TEST_F(HostFoundationTest, Unicode2AnsiAnswersTheLengthThenFillsABufferOfLengthPlusOneAndLogsItsCode)
{
  const char16_t* text = u"ｶｯﾄ計";
  Int32 needed = CHUnicode2ANSI(text, -1, nullptr, 0, CC_Japanese);
  ASSERT_EQ(needed, 5);
  std::string buffer(static_cast<std::size_t>(needed) + 1, 'X');
  EXPECT_EQ(CHUnicode2ANSI(text, -1, buffer.data(), needed + 1, CC_Japanese), 5);
  EXPECT_EQ(buffer, std::string("\xB6\xAF\xC4\x8C\x76", 5) + '\0');
  EXPECT_EQ(CHUnicode2ANSI(text, 2, nullptr, 0, CC_UTF8), 6);  // only the first two units

  pln::host::SetDefaultCharCode(CC_UTF8);
  pln::host::ClearConversionLog();
  EXPECT_EQ(CHUnicode2ANSI(u"ｶ", -1, buffer.data(), 4, CC_Default), 3);
  ASSERT_EQ(pln::host::ConversionLog().size(), 1u);
  EXPECT_EQ(pln::host::ConversionLog()[0].used, CC_UTF8);
}

TEST_F(HostFoundationTest, Unicode2AnsiNeverSplitsACharacterAndAlwaysTerminates)
{
  struct Case {
    GSCharCode code;
    Int32 dstSize;
    std::string expected;
  };
  // "a計" is 61 8C 76 in Shift-JIS and 61 E8 A8 88 in UTF-8.
  const Case cases[] = {
      {CC_Japanese, 3, "a"}, {CC_Japanese, 4, "a\x8C\x76"}, {CC_UTF8, 4, "a"},
      {CC_UTF8, 5, "a\xE8\xA8\x88"}, {CC_UTF8, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dstSize);
    char buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), 'X');
    Int32 written = CHUnicode2ANSI(u"a計", -1, buffer, c.dstSize, c.code);
    EXPECT_EQ(written, static_cast<Int32>(c.expected.size()));
    EXPECT_EQ(std::string(buffer), c.expected);
    EXPECT_EQ(buffer[c.dstSize], 'X');  // nothing written past dstSize
  }
}

TEST_F(HostFoundationTest, SearchCharLeftFindsTheFirstByteOnly)
{
  const char* text = "a,b,c";
  EXPECT_EQ(CHSearchCharLeft(",", text), text + 1);
  EXPECT_EQ(CHSearchCharLeft("x", text), nullptr);
  EXPECT_EQ(CHSearchCharLeft(",", ""), nullptr);
  EXPECT_EQ(CHSearchCharLeft("", text), nullptr);  // the terminator is not in the text
  EXPECT_EQ(CHSearchCharLeft(",", nullptr), nullptr);
}

TEST_F(HostFoundationTest, EachDebugPrintIsCapturedExactlyAndUncutAndResetClearsThem)
{
  const std::string longText(5000, 'x');
  DBPrintf("(%d)%s", -2130312869, "APIERR_BADNAME");
  DBPrintf("line\n");
  DBPrintf("%s", "");
  DBPrintf("%s!", longText.c_str());
  EXPECT_EQ(pln::host::DebugLines(),
            (std::vector<std::string>{"(-2130312869)APIERR_BADNAME", "line\n", "", longText + "!"}));
  pln::host::ResetFoundation();
  EXPECT_TRUE(pln::host::DebugLines().empty());
}

}  // namespace
