#include "PlatformTestSupport.h"

#include "gs_unistring.h"
#include "host_charcodes.h"
#include "host_foundation.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace {

std::string Bytes(std::initializer_list<unsigned char> values) { return std::string(values.begin(), values.end()); }

const char16_t* const kPatternFile = u"メンセラ　計算パターン.txt";
const char16_t* const kHalfWidth = u"ｶｯﾄ";

const std::string kPatternFileSjis = Bytes({0x83, 0x81, 0x83, 0x93, 0x83, 0x5A, 0x83, 0x89, 0x81, 0x40, 0x8C, 0x76, 0x8E,
                                            0x5A, 0x83, 0x70, 0x83, 0x5E, 0x81, 0x5B, 0x83, 0x93, 0x2E, 0x74, 0x78, 0x74});
const std::string kPatternFileUtf8 =
    Bytes({0xE3, 0x83, 0xA1, 0xE3, 0x83, 0xB3, 0xE3, 0x82, 0xBB, 0xE3, 0x83, 0xA9, 0xE3, 0x80, 0x80, 0xE8, 0xA8, 0x88, 0xE7,
           0xAE, 0x97, 0xE3, 0x83, 0x91, 0xE3, 0x82, 0xBF, 0xE3, 0x83, 0xBC, 0xE3, 0x83, 0xB3, 0x2E, 0x74, 0x78, 0x74});
const std::string kHalfWidthSjis = Bytes({0xB6, 0xAF, 0xC4});
const std::string kHalfWidthUtf8 = Bytes({0xEF, 0xBD, 0xB6, 0xEF, 0xBD, 0xAF, 0xEF, 0xBE, 0x84});

using UniStringTest = HostTest;

TEST_F(UniStringTest, LengthCountsUtf16Units)
{
  EXPECT_EQ(GS::UniString(kPatternFile).GetLength(), 15u);  // U+3000 is one unit
  EXPECT_EQ(GS::UniString(u"a😀b").GetLength(), 4u);       // the emoji is a surrogate pair
  EXPECT_EQ(GS::UniString(u"a😀b")[1], 0xD83D);
  EXPECT_EQ(GS::UniString(u"abc", 2), GS::UniString(u"ab"));
  EXPECT_TRUE(GS::UniString(static_cast<const char*>(nullptr)).IsEmpty());
}

TEST_F(UniStringTest, JapaneseTextsRoundTripThroughEveryCodeWithExactBytes)
{
  struct Case {
    const char16_t* text;
    GSCharCode code;
    std::string bytes;
  };
  const Case cases[] = {
      {kPatternFile, CC_Default, kPatternFileSjis}, {kPatternFile, CC_Japanese, kPatternFileSjis},
      {kPatternFile, CC_UTF8, kPatternFileUtf8},    {kHalfWidth, CC_Default, kHalfWidthSjis},
      {kHalfWidth, CC_Japanese, kHalfWidthSjis},    {kHalfWidth, CC_UTF8, kHalfWidthUtf8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    GS::UniString text(c.text);
    GS::UniString::CStr narrow = text.ToCStr(c.code);
    EXPECT_EQ(std::string(narrow.Get(), narrow.GetLength()), c.bytes);
    EXPECT_FALSE(narrow.HasLoss());
    EXPECT_EQ(GS::UniString(c.bytes.c_str(), c.code), text);
  }
  EXPECT_EQ(pln::host::ConversionLossCount(), 0u);
}

TEST_F(UniStringTest, CharacterTheCodeCannotHoldIsReplacedAndTheRestConverted)
{
  GS::UniString::CStr accented = GS::UniString(u"café ｶ").ToCStr(CC_Japanese);
  EXPECT_EQ(std::string(accented.Get()), "caf? " + Bytes({0xB6}));
  EXPECT_TRUE(accented.HasLoss());

  // A character beyond the BMP becomes one '?', not one per surrogate.
  GS::UniString::CStr emoji = GS::UniString(u"a😀b").ToCStr(CC_Japanese);
  EXPECT_EQ(std::string(emoji.Get()), "a?b");
  EXPECT_TRUE(emoji.HasLoss());
  EXPECT_EQ(pln::host::ConversionLossCount(), 2u);

  GS::UniString::CStr utf8 = GS::UniString(u"a😀b").ToCStr(CC_UTF8);
  EXPECT_EQ(std::string(utf8.Get()), std::string("a").append(Bytes({0xF0, 0x9F, 0x98, 0x80})).append("b"));
  EXPECT_FALSE(utf8.HasLoss());

  // A lone surrogate cannot be encoded; an unknown code converts nothing.
  const char16_t lone[] = {u'x', 0xD800, u'y', 0};
  bool lost = false;
  EXPECT_EQ(pln::host::EncodeText(lone, CC_UTF8, &lost), "x?y");
  EXPECT_TRUE(lost);
  lost = false;
  EXPECT_EQ(pln::host::EncodeText(u"abc", static_cast<GSCharCode>(7), &lost), "");
  EXPECT_TRUE(lost);
}

TEST_F(UniStringTest, MalformedEightBitInputIsReplacedAndFlagged)
{
  struct Case {
    std::string bytes;
    GSCharCode code;
    std::u16string text;
  };
  const Case cases[] = {
      {std::string("a").append(Bytes({0xFF})).append("b"), CC_UTF8, u"a\uFFFDb"},  // never valid in UTF-8
      {std::string("a").append(Bytes({0xC3})), CC_UTF8, u"a\uFFFD"},              // cut off at the end
      {Bytes({0xE3, 0x83}) + "z", CC_UTF8, u"\uFFFD\uFFFDz"},                     // cut off before ASCII
      {std::string("a").append(Bytes({0x83})), CC_Japanese, u"a\uFFFD"},          // lone lead byte at the end
      {Bytes({0x81, 0x20}) + "x", CC_Japanese, u"\uFFFD x"},                      // bad trail byte kept as itself
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    bool lost = false;
    EXPECT_EQ(pln::host::DecodeText(c.bytes.data(), c.bytes.size(), c.code, &lost), c.text);
    EXPECT_TRUE(lost);
  }
}

TEST_F(UniStringTest, ConversionLogKeepsTheThreeCodesDistinct)
{
  GS::UniString text(u"ｶ");
  pln::host::ClearConversionLog();
  (void)text.ToCStr(CC_Default);
  (void)text.ToCStr(CC_Japanese);
  (void)text.ToCStr(CC_UTF8);
  pln::host::SetDefaultCharCode(CC_UTF8);
  GS::UniString decoded(kHalfWidthUtf8.c_str());  // code 0, now UTF-8
  EXPECT_EQ(decoded, GS::UniString(kHalfWidth));

  struct Entry {
    GSCharCode requested, used;
    bool toBytes;
  };
  const Entry expected[] = {
      {CC_Default, CC_Japanese, true}, {CC_Japanese, CC_Japanese, true}, {CC_UTF8, CC_UTF8, true}, {CC_Default, CC_UTF8, false}};
  const auto& log = pln::host::ConversionLog();
  ASSERT_EQ(log.size(), 4u);
  for (std::size_t i = 0; i < log.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(log[i].requested, expected[i].requested);
    EXPECT_EQ(log[i].used, expected[i].used);
    EXPECT_EQ(log[i].toBytes, expected[i].toBytes);
  }

  pln::host::ResetFoundation();
  EXPECT_EQ(pln::host::GetDefaultCharCode(), CC_Japanese);
  EXPECT_TRUE(pln::host::ConversionLog().empty());
}

TEST_F(UniStringTest, OrderingIsByCodeUnit)
{
  // By code point U+1F600 is above U+FF61; by UTF-16 unit (0xD83D) it is below.
  EXPECT_LT(GS::UniString(u"😀"), GS::UniString(u"\uFF61"));
  EXPECT_LT(GS::UniString(u"ab"), GS::UniString(u"abc"));
  EXPECT_LT(GS::UniString(u"Z"), GS::UniString(u"a"));
  EXPECT_EQ(GS::UniString(u"ab") <=> GS::UniString(u"ab"), std::strong_ordering::equal);
  EXPECT_NE(GS::UniString(u"ab"), GS::UniString(u"aB"));
}

TEST_F(UniStringTest, SearchesAnswerMaxUIndexWhenAbsentAndPartsClampToTheString)
{
  GS::UniString text(u"a.b.c");
  EXPECT_EQ(text.FindFirst(u'.'), 1u);
  EXPECT_EQ(text.FindFirst(u'.', 2), 3u);
  EXPECT_EQ(text.FindLast(u'.'), 3u);
  EXPECT_EQ(text.FindFirst(GS::UniString(u"b.c")), 2u);
  EXPECT_EQ(text.FindFirst(u'x'), GS::MaxUIndex);
  EXPECT_EQ(text.FindFirst(GS::UniString(u"a"), 99), GS::MaxUIndex);
  EXPECT_EQ(text.FindLast(u'x'), GS::MaxUIndex);

  text = u"abcdef";
  EXPECT_EQ(text.GetSubstring(4, 10), GS::UniString(u"ef"));
  EXPECT_EQ(text.GetSubstring(10, 2), GS::UniString());
  EXPECT_EQ(text.GetPrefix(10), text);
  EXPECT_EQ(text.GetSuffix(2), GS::UniString(u"ef"));
  EXPECT_EQ(text.GetSuffix(10), text);
  text.Delete(1, 2);
  EXPECT_EQ(text, GS::UniString(u"adef"));
  text.Delete(3, 100);
  EXPECT_EQ(text, GS::UniString(u"ade"));
  text.Insert(1, u"XY");
  text.Insert(99, u"!");
  EXPECT_EQ(text, GS::UniString(u"aXYde!"));
}

TEST_F(UniStringTest, ReplaceTrimConcatenateAndFormat)
{
  GS::UniString text(u"a-b-c");
  text.ReplaceAll(u"-", u"--");  // what it inserted is not scanned again
  EXPECT_EQ(text, GS::UniString(u"a--b--c"));
  text.ReplaceAll(u"", u"x");  // an empty pattern changes nothing
  EXPECT_EQ(text, GS::UniString(u"a--b--c"));
  text.ReplaceAll(u"--", u"");
  EXPECT_EQ(text, GS::UniString(u"abc"));

  GS::UniString blanks(u" \t a b \r\n");
  blanks.Trim();
  EXPECT_EQ(blanks, GS::UniString(u"a b"));
  GS::UniString ideographic(u"　x　");  // U+3000 is text, not a blank
  ideographic.Trim();
  EXPECT_EQ(ideographic.GetLength(), 3u);

  text = GS::UniString(u"a") + u"b" + u'c' + GS::UniString(u"d");
  EXPECT_EQ(text.Std(), u"abcd");
  EXPECT_EQ(GS::UniString::FromStd(text.Std()), text);
  EXPECT_EQ(text.ToStdString(CC_UTF8), "abcd");
  EXPECT_EQ(std::u16string(text.ToUStr()), u"abcd");
  EXPECT_EQ(std::hash<GS::UniString>{}(text), GS::UniString(u"abcd").HashValue());

  // Printf reads its text arguments as UTF-8, without a logged conversion.
  pln::host::ClearConversionLog();
  EXPECT_EQ(GS::UniString::Printf("(%d)%s", -2130313215, "ｶｯﾄ"), GS::UniString(u"(-2130313215)ｶｯﾄ"));
  EXPECT_TRUE(pln::host::ConversionLog().empty());
}

}  // namespace
