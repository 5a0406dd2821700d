#include "KelProfile.h"

#include "SupportTestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace support_test;

class KelProfileTest : public FileTest {
protected:
  std::string Lookup(const char* section, const char* key, const char* defaultText = "(none)")
  {
    char buffer[64];
    std::memset(buffer, 'Z', sizeof(buffer));
    EXPECT_EQ(GetPrivateProfileString(section, key, defaultText, buffer, sizeof(buffer), path.c_str()), 0);
    return buffer;
  }

  std::string path;
};

constexpr const char* kProfileLines[] = {
    "; library settings",
    "top=outside",
    "[GENERAL]",
    "Name=first",
    "key =spaced",
    "pair=v1=v2",
    "empty=",
    "=leading",
    "Comment=value;remark",
    "",
    "[Other]",
    "name=other section",
    "[general]",
    "late=found after another section",
    "count=42abc",
    "word=abc",
    "neg= -17",
    "big=99999999999",
    "[s] ",
    "k=trailing blank",
    "[s",
    "k=unclosed",
    "[S]",
    "k=exact",
};

std::string Join(const char* lineEnd)
{
  std::string text;
  for (const char* line : kProfileLines)
    text += std::string(line) + lineEnd;
  return text;
}

TEST_F(KelProfileTest, LookupsReadTheSameWithCrLfOrLfLineEnds)
{
  // A file with LF line ends reads like a CR LF one: otherwise every setting would be lost.
  path = PathOf("profile.ini");
  for (const char* lineEnd : {"\r\n", "\n"}) {
    SCOPED_TRACE(lineEnd[0] == '\r' ? "CR LF" : "LF");
    WriteAll(path, Join(lineEnd));
    // Keys and values split at the first "="; sections match ignoring case.
    EXPECT_EQ(Lookup("General", "name"), "first");
    EXPECT_EQ(Lookup("General", "pair"), "v1");
    EXPECT_EQ(Lookup("General", "Comment"), "value");
    // The blank belongs to the key, so "key" alone is not there.
    EXPECT_EQ(Lookup("General", "key "), "spaced");
    EXPECT_EQ(Lookup("General", "key"), "(none)");
    // Nothing after "=": the line is skipped.
    EXPECT_EQ(Lookup("General", "empty"), "(none)");
    EXPECT_EQ(Lookup("General", "leading"), "(none)");
    EXPECT_EQ(Lookup("General", "top"), "(none)");
    EXPECT_EQ(Lookup("Other", "NAME"), "other section");
    EXPECT_EQ(Lookup("General", "late"), "found after another section");
    EXPECT_EQ(Lookup("Missing", "name"), "(none)");
    // Headers match whole lines only.
    EXPECT_EQ(Lookup("s", "k"), "exact");
    // Integers take the leading number, or the default when there is no value.
    EXPECT_EQ(GetPrivateProfileInt("general", "count", 0, path.c_str()), 42);
    EXPECT_EQ(GetPrivateProfileInt("general", "word", 5, path.c_str()), 0);
    EXPECT_EQ(GetPrivateProfileInt("general", "absent", 5, path.c_str()), 5);
    EXPECT_EQ(GetPrivateProfileInt("general", "neg", 0, path.c_str()), -17);
    EXPECT_EQ(GetPrivateProfileInt("general", "big", 0, path.c_str()), 2147483647);
  }
  EXPECT_EQ(GetPrivateProfileInt("general", "count", 7, PathOf("absent.ini").c_str()), 7);
  EXPECT_EQ(WritePrivateProfileString("s", "k", "new", path.c_str()), 0);  // accepted, never written
  EXPECT_EQ(Lookup("s", "k"), "exact");
  // The last line needs no line end at all.
  WriteAll(path, "[s]\nk=v");
  EXPECT_EQ(Lookup("s", "k"), "v");
}

TEST_F(KelProfileTest, LongValuesDefaultsAndLinesAreCutToTheirBuffers)
{
  path = PathOf("long.ini");
  WriteAll(path, "[s]\r\nk=0123456789\r\n");
  char buffer[6] = {'Z', 'Z', 'Z', 'Z', 'Z', 'Z'};
  GetPrivateProfileString("s", "k", "", buffer, 5, path.c_str());
  EXPECT_STREQ(buffer, "0123");
  EXPECT_EQ(buffer[5], 'Z');
  GetPrivateProfileString("s", "absent", "default", buffer, 5, path.c_str());
  EXPECT_STREQ(buffer, "defa");
  GetPrivateProfileString("s", "k", "", buffer, 1, path.c_str());
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(GetPrivateProfileString("s", "k", "", nullptr, 0, path.c_str()), 0);

  // An overlong line keeps its first 1023 bytes; its tail, which would read
  // as "hidden=tail", is no line of its own.
  const std::string head = "k=" + std::string(1021, 'a');
  WriteAll(path, "[s]\n" + head + "hidden=tail\nnext=1\n");
  std::string value;
  ASSERT_TRUE(GetProfileString(path.c_str(), "s", "k", value));
  EXPECT_EQ(value, std::string(1021, 'a'));
  EXPECT_FALSE(GetProfileString(path.c_str(), "s", "hidden", value));
  EXPECT_TRUE(GetProfileString(path.c_str(), "s", "next", value));
}

TEST_F(KelProfileTest, TheCheckedInProfileReads)
{
  path = std::string(TEST_DATA_DIR) + "/library.ini";
  EXPECT_EQ(Lookup("Library", "Version"), "3");
  EXPECT_EQ(GetPrivateProfileInt("library", "version", 0, path.c_str()), 3);
  EXPECT_EQ(Lookup("Folders", "Patterns"), "メンセラ　計算パターン.txt");
}

}  // namespace
