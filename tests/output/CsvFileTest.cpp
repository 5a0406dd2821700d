// The field rules of the CSV area table: formula lines, the formula guard,
// the quoting, and every field read back as written.

#include "CCsvFile.h"
#include "OutputTestSupport.h"

#include <random>

namespace {

using output_test::ReadCsv;
using output_test::U8;

std::vector<std::string> U8(const std::vector<GS::UniString>& lines)
{
  std::vector<std::string> out;
  for (const GS::UniString& line : lines)
    out.push_back(output_test::U8(line));
  return out;
}

TEST(SeparateEquationTest, MarksBecomeLinesAndSignsGetAnApostrophe)
{
  struct Case {
    const char16_t* text;
    bool quote;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {u"", true, {}},
      {u"#", true, {""}},
      {u"1.00×2.00", true, {"1.00×2.00"}},
      {u"1.00##2.00", true, {"1.00", "", "2.00"}},
      {u"1.00#2.00#", true, {"1.00", "2.00"}},
      {u"-1.00#+2.00#3-4", true, {"'-1.00", "'+2.00", "3-4"}},
      {u"-1.00#+2.00", false, {"-1.00", "+2.00"}},
      {u"=1#@2", true, {"=1", "@2"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(U8(SeparateEquation(GS::UniString(c.text), c.quote)), c.lines) << U8(GS::UniString(c.text));
}

TEST(CsvFieldTest, GuardThenQuote)
{
  struct Case {
    const char16_t* field;
    bool number;
    const char* written;
  };
  const Case cases[] = {
      {u"12.500000", true, "12.500000"},
      {u"-12.50    ", true, "-12.50    "},
      {u"-1,234,567.50", true, "\"-1,234,567.50\""},
      {u"12.", true, "12."},
      {u"1234,567.5", false, "\"1234,567.5\""},
      {u"1,23.5", false, "\"1,23.5\""},
      {u"-", false, "'-"},
      {u"-.5", false, "'-.5"},
      {u"=SUM(A1)", false, "'=SUM(A1)"},
      {u"+1", false, "'+1"},
      {u"@cmd", false, "'@cmd"},
      {u"-1×2", false, "'-1×2"},
      {u"'-1.00", false, "'-1.00"},
      {u"▲12.50", false, "▲12.50"},
      {u"*12.50", false, "*12.50"},
      {u"a\"b", false, "\"a\"\"b\""},
      {u"=a,b", false, "\"'=a,b\""},
      {u"x\ry", false, "\"x\ry\""},
      {u"", false, ""},
  };
  for (const Case& c : cases) {
    const GS::UniString field(c.field);
    EXPECT_EQ(IsCsvNumber(field), c.number) << U8(field);
    EXPECT_EQ(U8(QuoteCsvField(GuardCsvField(field))), c.written) << U8(field);
  }
}

class CsvFileTest : public ::testing::Test {
protected:
  HostFixture host;
  SandboxFiles files;
};

TEST_F(CsvFileTest, RowsAreUtf8LinesWithoutMarkOrCarriageReturn)
{
  CCsvFile file;
  ASSERT_TRUE(file.Create(files.Path("t.csv")));
  file.WriteRow({u"記号", u"", u"a,b"});
  file.WriteRow({u""});
  file.WriteRow({u"", u""});
  ASSERT_TRUE(file.Finish());
  EXPECT_EQ(files.Contents("t.csv"), "記号,,\"a,b\"\n\n,\n");
}

// Random fields of the characters that break tables are read back as the
// guard leaves them, each row with its field count.
TEST_F(CsvFileTest, RandomFieldsReadBackAsWritten)
{
  const std::u16string alphabet = u",\"\r\n=+-@'0123456789. 記号ｱ　a";
  std::mt19937 random(20261207);
  std::vector<std::vector<GS::UniString>> rows;
  for (int r = 0; r < 300; ++r) {
    std::vector<GS::UniString> row(1 + random() % 6);
    for (GS::UniString& field : row)
      for (unsigned n = random() % 8; n > 0; --n)
        field += alphabet[random() % alphabet.size()];
    rows.push_back(row);
  }
  CCsvFile file;
  ASSERT_TRUE(file.Create(files.Path("p.csv")));
  for (const auto& row : rows)
    file.WriteRow(row);
  ASSERT_TRUE(file.Finish());
  const output_test::CsvRows read = ReadCsv(files.Contents("p.csv"));
  ASSERT_EQ(read.size(), rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    ASSERT_EQ(read[r].size(), rows[r].size()) << r;
    for (std::size_t f = 0; f < rows[r].size(); ++f) {
      const GS::UniString& field = rows[r][f];
      EXPECT_EQ(read[r][f], U8(GuardCsvField(field)));
      const std::string& got = read[r][f];
      if (!got.empty() && std::string("=+-@").find(got[0]) != std::string::npos) {
        EXPECT_TRUE(IsCsvNumber(field)) << got;
      }
    }
  }
}

}  // namespace
