// Error names (every code of the table, the padding, the gaps) and the
// UTF-16 formatter's bounds.

#include "CGSUtil.h"
#include "GSUtilTestSupport.h"

#include "host_errors.h"

#include <cstring>
#include <set>

namespace {

using CGSUtilErrorsTest = GSUtilTest;

std::size_t UnitCount(const unsigned short* text)
{
  std::size_t n = 0;
  while (text[n] != 0)
    ++n;
  return n;
}

TEST_F(CGSUtilErrorsTest, NamesArePaddedToThirtyOneExceptIrregularPoly)
{
  EXPECT_STREQ(CGSUtil::ErrID_To_Name(APIERR_NOTMINE), "APIERR_NOTMINE                 ");
  EXPECT_STREQ(CGSUtil::ErrID_To_Name(APIERR_GENERAL), "APIERR_GENERAL                 ");
  EXPECT_STREQ(CGSUtil::ErrID_To_Name(APIERR_MODULCMDVERSNOTSUPPORTED), "APIERR_MODULCMDVERSNOTSUPPORTED");
  EXPECT_STREQ(CGSUtil::ErrID_To_Name(APIERR_IRREGULARPOLY), "APIERR_IRREGULARPOLY");
  EXPECT_STREQ(CGSUtil::ErrID_To_Name(APIERR_MISSINGDEF), "APIERR_MISSINGDEF              ");
}

TEST_F(CGSUtilErrorsTest, TheTableHoldsSixtyEightDistinctNamesOnTheHostsCodes)
{
  // Every code the host defines, in the host's own numbering.
  const std::vector<std::pair<GSErrCode, const char*>> codes = {
      {APIERR_GENERAL, "GENERAL"}, {APIERR_CANCEL, "CANCEL"}, {APIERR_BADID, "BADID"},
      {APIERR_BADELEMENTTYPE, "BADELEMENTTYPE"}, {APIERR_NO3D, "NO3D"},
      {APIERR_NOTEAMWORKPROJECT, "NOTEAMWORKPROJECT"}, {APIERR_NOUSERDATA, "NOUSERDATA"},
      {APIERR_REFERENCEEXIST, "REFERENCEEXIST"}, {APIERR_ATTREXIST, "ATTREXIST"},
      {APIERR_NOACCESSRIGHT, "NOACCESSRIGHT"}, {APIERR_MODULNOTINSTALLED, "MODULNOTINSTALLED"},
      {APIERR_NOMODULEDATA, "NOMODULEDATA"}, {APIERR_PAROVERLAP, "PAROVERLAP"},
      {APIERR_PARIMPLICIT, "PARIMPLICIT"}, {APIERR_RUNOVERLAP, "RUNOVERLAP"},
      {APIERR_RUNPROTECTED, "RUNPROTECTED"}, {APIERR_EOLOVERLAP, "EOLOVERLAP"},
      {APIERR_TABOVERLAP, "TABOVERLAP"}, {APIERR_NOTINIT, "NOTINIT"}, {APIERR_SERVICEFAILED, "SERVICEFAILED"},
      {APIERR_MISSINGCODE, "MISSINGCODE"}};
  for (const auto& [code, word] : codes) {
    std::string name = CGSUtil::ErrID_To_Name(code);
    name.erase(name.find_last_not_of(' ') + 1);
    EXPECT_EQ(name, std::string("APIERR_") + word) << std::hex << code;
  }

  // Scanning the whole range finds exactly the 68 names, all different.
  std::set<std::string> names;
  for (std::uint32_t code = 0x81060000; code <= 0x81060400; ++code) {
    const char* name = CGSUtil::ErrID_To_Name(static_cast<int>(code));
    if (std::strcmp(name, "???") != 0) {
      EXPECT_TRUE(std::strlen(name) == 31 || std::strcmp(name, "APIERR_IRREGULARPOLY") == 0) << name;
      names.insert(name);
    }
  }
  EXPECT_EQ(names.size(), 68u);
}

TEST_F(CGSUtilErrorsTest, UnknownCodesAndGapsAreQuestionMarks)
{
  EXPECT_STREQ(CGSUtil::ErrID_To_Name(0), "???");
  EXPECT_STREQ(CGSUtil::ErrID_To_Name(static_cast<int>(0x810601F9)), "???");
  EXPECT_STREQ(CGSUtil::ErrID_To_Name(static_cast<int>(0x81060207)), "???");
  EXPECT_STREQ(CGSUtil::ErrID_To_Name(static_cast<int>(0x81060004)), "???");
  EXPECT_STREQ(CGSUtil::ErrID_To_Name(-1), "???");
}

TEST_F(CGSUtilErrorsTest, UsprintfFormatsTheReportLineInUtf16)
{
  unsigned short buffer[1024];
  CGSUtil::usprintf(buffer, sizeof buffer, "(%d)%s\n", APIERR_NOTMINE, CGSUtil::ErrID_To_Name(APIERR_NOTMINE));
  const GS::UniString expected =
      GS::UniString::Printf("(%d)%s\n", APIERR_NOTMINE, "APIERR_NOTMINE                 ");
  ASSERT_EQ(UnitCount(buffer), expected.GetLength());
  for (USize i = 0; i < expected.GetLength(); ++i)
    EXPECT_EQ(buffer[i], expected[i]);
}

TEST_F(CGSUtilErrorsTest, UsprintfConvertsFromTheDefaultCode)
{
  // "面積" in Shift-JIS, the host's default 8-bit code.
  unsigned short buffer[8];
  CGSUtil::usprintf(buffer, sizeof buffer, "%s", "\x96\xca\x90\xcf");
  EXPECT_EQ(buffer[0], u'面');
  EXPECT_EQ(buffer[1], u'積');
  EXPECT_EQ(buffer[2], 0);
}

TEST_F(CGSUtilErrorsTest, UsprintfNeverWritesPastEitherBuffer)
{
  // Six bytes hold two units and the terminator; the unit after is a guard.
  unsigned short small[4] = {0xAAAA, 0xAAAA, 0xAAAA, 0xBBBB};
  CGSUtil::usprintf(small, 6, "%s", "abcdef");
  EXPECT_EQ(small[0], 'a');
  EXPECT_EQ(small[1], 'b');
  EXPECT_EQ(small[2], 0);
  EXPECT_EQ(small[3], 0xBBBB);

  // An odd byte count rounds down; too small a buffer is left alone.
  unsigned short one[2] = {0xAAAA, 0xBBBB};
  CGSUtil::usprintf(one, 3, "%s", "xyz");
  EXPECT_EQ(one[0], 0);
  EXPECT_EQ(one[1], 0xBBBB);
  CGSUtil::usprintf(one, 1, "%s", "xyz");
  EXPECT_EQ(one[0], 0);

  // A text longer than the format buffer is cut, not overrun.
  const std::string longText(5000, 'z');
  std::vector<unsigned short> big(4000, 0xBBBB);
  CGSUtil::usprintf(big.data(), static_cast<int>(big.size() * 2), "%s", longText.c_str());
  EXPECT_EQ(UnitCount(big.data()), 1023u);
  EXPECT_EQ(big[1022], 'z');
  EXPECT_EQ(big[1024], 0xBBBB);
}

}  // namespace
