// Error names (every code of the table, the padding, the gaps) and the
// UTF-16 formatter's bounds.

#include "CGSUtil.h"
#include "HostTestSupport.h"

#include <set>

namespace {

using CGSUtilErrorsTest = HostTest;

TEST_F(CGSUtilErrorsTest, NamesArePaddedToThirtyOneExceptIrregularPolyAndUnknownCodesAreQuestionMarks)
{
  const std::vector<std::pair<int, const char*>> cases = {
      {APIERR_NOTMINE, "APIERR_NOTMINE                 "},
      {APIERR_GENERAL, "APIERR_GENERAL                 "},
      {APIERR_MODULCMDVERSNOTSUPPORTED, "APIERR_MODULCMDVERSNOTSUPPORTED"},
      {APIERR_IRREGULARPOLY, "APIERR_IRREGULARPOLY"},
      {APIERR_MISSINGDEF, "APIERR_MISSINGDEF              "},
      {0, "???"}, {int(0x810601F9), "???"}, {int(0x81060207), "???"}, {int(0x81060004), "???"}, {-1, "???"}};
  for (const auto& [code, name] : cases)
    EXPECT_STREQ(CGSUtil::ErrID_To_Name(code), name) << std::hex << code;
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

// The report line itself is checked through the deletion report.
TEST_F(CGSUtilErrorsTest, UsprintfConvertsFromTheDefaultCodeAndNeverWritesPastEitherBuffer)
{
  // "面積" in Shift-JIS, the host's default 8-bit code.
  unsigned short buffer[8];
  CGSUtil::usprintf(buffer, sizeof buffer, "%s", "\x96\xca\x90\xcf");
  EXPECT_EQ((std::vector<unsigned short>(buffer, buffer + 3)), (std::vector<unsigned short>{u'面', u'積', 0}));

  // Six bytes hold two units and the terminator; the unit after is a guard.
  unsigned short small[4] = {0xAAAA, 0xAAAA, 0xAAAA, 0xBBBB};
  CGSUtil::usprintf(small, 6, "%s", "abcdef");
  EXPECT_EQ((std::vector<unsigned short>(small, small + 4)), (std::vector<unsigned short>{'a', 'b', 0, 0xBBBB}));

  // An odd byte count rounds down; too small a buffer is left alone.
  unsigned short one[2] = {0xAAAA, 0xBBBB};
  CGSUtil::usprintf(one, 3, "%s", "xyz");
  EXPECT_EQ(one[0], 0);
  EXPECT_EQ(one[1], 0xBBBB);
  one[0] = 0xAAAA;
  CGSUtil::usprintf(one, 1, "%s", "xyz");
  EXPECT_EQ(one[0], 0xAAAA);

  // A text longer than the format buffer is cut, not overrun.
  const std::string longText(5000, 'z');
  std::vector<unsigned short> big(4000, 0xBBBB);
  CGSUtil::usprintf(big.data(), static_cast<int>(big.size() * 2), "%s", longText.c_str());
  EXPECT_EQ(std::find(big.begin(), big.end(), 0) - big.begin(), 1023);
  EXPECT_EQ(big[1022], 'z');
  EXPECT_EQ(big[1024], 0xBBBB);
}

}  // namespace
