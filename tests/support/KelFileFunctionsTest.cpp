#include "KelFileFunctions.h"

#include "SupportTestFiles.h"
#include "host_charcodes.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using namespace support_test;

class KelFileFunctionsTest : public FileTest {};

TEST_F(KelFileFunctionsTest, ExecFolderEndsInExactlyOneSlash)
{
  const std::string folderPath = (pln::host::SandboxRoot() / "AddOns").string() + "/";
  EXPECT_EQ(GetExecFolder(), folderPath);
  EXPECT_EQ(GetKelIniFileFolder(), folderPath);

  pln::host::SetOwnLocation(IO::Location(GS::UniString(u"c:\\Program Files\\Kel\\kel.apx")));
  EXPECT_EQ(GetExecFolder(), (pln::host::SandboxRoot() / "c" / "Program Files" / "Kel").string() + "/");
}

TEST_F(KelFileFunctionsTest, ConversionsUseShiftJisAndUtf8AndFlagWhatShiftJisCannotHold)
{
  const GS::UniString text(u"面積A");
  EXPECT_EQ(Unicode2Sjis(text), "\x96\xca\x90\xcf" "A");
  EXPECT_EQ(Unicode2Utf8(text), "面積A");
  EXPECT_EQ(ToUtf8("\x96\xca\x90\xcf" "A"), "面積A");
  EXPECT_EQ(ToSjis("面積A"), "\x96\xca\x90\xcf" "A");
  EXPECT_EQ(ToUtf8(nullptr), "");

  pln::host::ClearConversionLog();
  Unicode2Sjis(text);
  Unicode2Utf8(text);
  const auto& log = pln::host::ConversionLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].requested, CC_Japanese);
  EXPECT_EQ(log[1].requested, CC_UTF8);

  pln::host::ClearConversionLog();
  EXPECT_EQ(Unicode2Sjis(GS::UniString(u"a\u00e9b")), "a?b");
  EXPECT_EQ(pln::host::ConversionLossCount(), 1u);
}

TEST(KelFileFunctions, MulDivWrapsTheProductAndTruncatesTowardsZero)
{
  EXPECT_EQ(MulDiv(7, 3, 2), 10);
  EXPECT_EQ(MulDiv(-7, 3, 2), -10);
  EXPECT_EQ(MulDiv(7, -3, -2), 10);
  EXPECT_EQ(MulDiv(65536, 65536, 1), 0);       // 2^32 wraps to 0
  EXPECT_EQ(MulDiv(65536, 32768, 2), INT_MIN / 2);  // 2^31 wraps to INT_MIN
  EXPECT_EQ(MulDiv(INT_MIN, 1, -1), INT_MIN);  // the quotient wraps instead of trapping
}

TEST(KelFileFunctions, NumberCharacterAndMemoryShims)
{
  char digits[12];
  EXPECT_STREQ(itoa(-2147483647 - 1, digits, 16), "-2147483648");
  EXPECT_STREQ(itoa(255, digits, 16), "255");

  const char* text = "a=b=c";
  EXPECT_EQ(CHSearchCharLeft('=', text), text + 1);
  EXPECT_EQ(CHSearchCharLeft('x', text), nullptr);
  EXPECT_EQ(StrChr(text, static_cast<unsigned short>('c')), text + 4);

  char bytes[8] = {'0', '1', '2', '3', '4', '5', '6', '7'};
  MoveMemory(bytes + 2, bytes, 5);  // overlapping: the source is read first
  EXPECT_EQ(std::string(bytes, 8), "01012347");
  CopyMemory(bytes, "ab", 2);
  ZeroMemory(bytes + 6, 2);
  EXPECT_EQ(std::string(bytes, 8), std::string("ab0123\0\0", 8));
}

}  // namespace
