// What the two-storey-house example wrote: the CSV's lists checked against
// the house's own room table in integer millimetres, the worksheet
// pictures, and a refused output path.

#include "OutputTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using output_test::CsvRows;

const fs::path kOut = fs::u8path(EXAMPLE_OUT);

// One rectangle of a figure as the automatic cut makes it, mm.
struct Piece {
  const char* story;
  const char* category;  // empty: not a zone
  const char* room;
  long long x0, x1, y0, y1;
  const char* layer;

  long long Width() const { return x1 - x0; }
  long long Height() const { return y1 - y0; }
  // mm² are 1e-6 m².
  long long Micro() const { return Width() * Height(); }
};

// The room list's order: the upper storey first, each storey's figures by
// number.
const std::vector<Piece> kPieces = {
    {"2階", "居室", "子供室1", 0, 2730, 0, 3640, "床面積"},
    {"2階", "居室", "子供室2", 2730, 5460, 0, 3640, "床面積"},
    {"2階", "居室", "主寝室", 5460, 9100, 0, 3640, "床面積"},
    {"2階", "居室", "主寝室", 6370, 9100, 3640, 5460, "床面積"},
    {"2階", "非居室", "納戸", 0, 1820, 3640, 7280, "床面積"},
    {"2階", "非居室", "ホール・階段", 1820, 3640, 3640, 7280, "床面積"},
    {"2階", "非居室", "洗面・トイレ", 3640, 5460, 3640, 7280, "床面積"},
    {"2階", "非居室", "WIC", 5460, 6370, 3640, 7280, "床面積"},
    {"2階", "非居室", "クローゼット", 6370, 9100, 5460, 7280, "床面積"},
    {"2階", "バルコニー", "バルコニー", 3640, 7280, -910, 0, "床面積"},
    {"1階", "居室", "LDK", 3640, 9100, 0, 4550, "床面積"},
    {"1階", "居室", "LDK", 6370, 9100, 4550, 7280, "床面積"},
    {"1階", "居室", "和室", 0, 3640, 0, 2730, "床面積"},
    {"1階", "非居室", "玄関", 0, 1820, 2730, 4550, "床面積"},
    {"1階", "非居室", "ホール・階段", 1820, 3640, 2730, 7280, "床面積"},
    {"1階", "非居室", "洗面", 0, 1820, 4550, 7280, "床面積"},
    {"1階", "非居室", "浴室", 3640, 5460, 4550, 7280, "床面積"},
    {"1階", "非居室", "トイレ", 5460, 6370, 4550, 7280, "床面積"},
    {"1階", "", "", 0, 9100, 0, 7280, "建築面積"},
    {"1階", "", "", -3000, 12235, -5000, 9120, "敷地面積"},
    {"1階", "", "", -3000, 8005, 9120, 14457, "敷地面積"},
};

std::string Fixed(long long value, int decimals)
{
  long long unit = 1;
  for (int i = 0; i < decimals; ++i)
    unit *= 10;
  std::string fraction = std::to_string(value % unit + unit).substr(1);
  return std::to_string(value / unit) + "." + fraction;
}

std::string Formula(const Piece& piece) { return Fixed(piece.Width(), 3) + "×" + Fixed(piece.Height(), 3); }

// Half up to 0.01 m², the list entry of the preset 四捨五入2桁.
std::string HalfUp2(long long micro) { return Fixed((micro + 5000) / 10000, 2); }

std::string Trimmed(std::string text)
{
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  return text;
}

std::string Read(const fs::path& file)
{
  std::ifstream in(file, std::ios::binary);
  EXPECT_TRUE(in.good()) << file;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

CsvRows Csv() { return output_test::ReadCsv(Read(kOut / fs::u8path("二階建て住宅　求積表.csv"))); }

// The rows after the first one whose first cell is the title, up to the
// next row that is not a figure row of the kind.
std::size_t FindRow(const CsvRows& rows, const std::string& first)
{
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (!rows[i].empty() && rows[i][0] == first)
      return i;
  ADD_FAILURE() << "no row " << first;
  return rows.size();
}

TEST(ExampleOutput, TheRoomListHoldsEveryFigureWithItsFormulaAndRoundedArea)
{
  const CsvRows rows = Csv();
  const std::size_t first = FindRow(rows, "各室 床面積") + 2;
  std::size_t at = first;
  ASSERT_LE(at + kPieces.size(), rows.size());
  int number = 0;
  std::string story;
  for (const Piece& piece : kPieces) {
    const std::vector<std::string>& row = rows[at++];
    ASSERT_EQ(row.size(), 12u) << piece.room;
    number = story == piece.story ? number + 1 : 1;
    story = piece.story;
    EXPECT_EQ(row[0], piece.story);
    EXPECT_EQ(row[1], piece.category);
    EXPECT_EQ(row[2], piece.room);
    EXPECT_EQ(row[6], piece.layer);
    EXPECT_EQ(row[9], std::to_string(number));
    EXPECT_EQ(row[10], Formula(piece)) << piece.room;
    EXPECT_EQ(Trimmed(row[11]), HalfUp2(piece.Micro())) << piece.room;
  }
  constexpr std::size_t kBalcony = 9;
  EXPECT_EQ(rows[first + kBalcony][2], "バルコニー");
  EXPECT_EQ(rows[first + kBalcony][7], "");  // open and shallow: in no element
  // The list ends with its 21 figures: the next pattern's list follows.
  ASSERT_LT(at, rows.size());
  EXPECT_EQ(rows[at][0], "建築面積 1階(1)");
}

// Each storey's list of 床面積 gives every figure its exact area.
TEST(ExampleOutput, TheFloorListsGiveEachFigureItsExactArea)
{
  const CsvRows rows = Csv();
  for (const char* story : {"1階", "2階"}) {
    const std::string title = std::string("床面積 ") + story + (std::string(story) == "1階" ? "(1)" : "(2)");
    std::size_t at = FindRow(rows, title) + 1;
    int number = 0;
    for (const Piece& piece : kPieces) {
      if (std::string(piece.story) != story)
        continue;
      ASSERT_LT(at, rows.size());
      const std::vector<std::string>& row = rows[at++];
      ASSERT_EQ(row.size(), 4u) << title;
      EXPECT_EQ(row[1], "○" + std::to_string(++number)) << title;
      EXPECT_EQ(row[2], Formula(piece)) << title;
      EXPECT_EQ(row[3], Fixed(piece.Micro(), 6)) << title;
    }
  }
}

// The per-floor table of 床面積: each element the sum of its pieces, each
// piece rounded half up to 0.01 m², and 延べ面積 the sum of both.
TEST(ExampleOutput, TheFloorAreaTableSumsThePiecesRoundedOneByOne)
{
  auto sum = [](const char* story, const char* category) {
    long long hundredths = 0;
    for (const Piece& piece : kPieces)
      if ((story == nullptr || std::string(piece.story) == story) && std::string(piece.category) == category)
        hundredths += (piece.Micro() + 5000) / 10000;
    return hundredths;
  };
  const CsvRows rows = Csv();
  std::size_t at = FindRow(rows, "床面積") + 4;
  for (const char* story : {"2階", "1階", static_cast<const char*>(nullptr)}) {
    ASSERT_LT(at, rows.size());
    const std::vector<std::string>& row = rows[at++];
    ASSERT_GE(row.size(), 4u);
    EXPECT_EQ(row[0], story != nullptr ? story : "合計");
    const long long living = sum(story, "居室"), service = sum(story, "非居室");
    EXPECT_EQ(Trimmed(row[1]), Fixed(living, 2)) << row[0];
    EXPECT_EQ(Trimmed(row[2]), Fixed(service, 2)) << row[0];
    EXPECT_EQ(Trimmed(row[3]), Fixed(living + service, 2)) << row[0];
  }
}

// A script or a database import reads a cell as a number only when it holds
// nothing else: no blank before or after, no "." left dangling.
TEST(ExampleOutput, EveryNumberCellOfTheCsvIsAStrictDecimal)
{
  const std::regex looksNumeric(R"(\s*-?[0-9][0-9,]*(\.[0-9]*)?\s*)");
  const std::regex strict(R"(-?[0-9]+(\.[0-9]+)?)");
  std::size_t numbers = 0;
  for (const std::vector<std::string>& row : Csv())
    for (const std::string& cell : row)
      if (std::regex_match(cell, looksNumeric)) {
        ++numbers;
        EXPECT_TRUE(std::regex_match(cell, strict)) << "'" << cell << "'";
      }
  // The tables, the per-floor list and the room list: well over a hundred.
  EXPECT_GE(numbers, 166u);
}

const std::array<const char*, 6> kSheets = {"床面積 1階",        "床面積 2階",          "建築面積 1階",
                                            "敷地面積 1階",      "床面積 建物面積表", "建築面積 建物面積表"};

fs::path Sheet(const char* name) { return kOut / "worksheets" / fs::u8path(std::string(name) + ".svg"); }

TEST(ExampleOutput, SixWorksheetPicturesAreWellFormed)
{
  // Each as an SVG and its PNG rendering, nothing else.
  std::size_t svg = 0, png = 0;
  for (const auto& entry : fs::directory_iterator(kOut / "worksheets")) {
    svg += entry.path().extension() == ".svg";
    png += entry.path().extension() == ".png";
  }
  EXPECT_EQ(svg, kSheets.size());
  EXPECT_EQ(png, kSheets.size());
  for (const char* name : kSheets)
    ASSERT_TRUE(fs::exists(Sheet(name))) << name;
  // The XML check needs the tool; without it the pictures are only counted.
  if (std::system("command -v xmllint >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "xmllint not found: install the package libxml2-utils to check the pictures' XML";
  for (const char* name : kSheets) {
    const std::string command = "xmllint --noout '" + Sheet(name).string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << name;
  }
}

// Figures are numbered per storey; each sheet shows its own pattern's.
TEST(ExampleOutput, EachStoreySheetShowsItsFiguresMarks)
{
  const struct {
    const char* sheet;
    int first, last;
  } sheets[] = {{"床面積 1階", 1, 8}, {"床面積 2階", 1, 10}, {"建築面積 1階", 9, 9}, {"敷地面積 1階", 10, 11}};
  for (const auto& sheet : sheets) {
    const std::string svg = Read(Sheet(sheet.sheet));
    for (int mark = sheet.first; mark <= sheet.last; ++mark)
      EXPECT_NE(svg.find(">○" + std::to_string(mark) + "</text>"), std::string::npos) << sheet.sheet << " " << mark;
  }
}

TEST(ExampleOutput, TheSummaryPicturesHoldTheBuildingTotals)
{
  EXPECT_NE(Read(Sheet("床面積 建物面積表")).find(">132.48"), std::string::npos);
  EXPECT_NE(Read(Sheet("建築面積 建物面積表")).find(">66.24"), std::string::npos);
}

TEST(ExampleOutput, AnOutputPathThatIsAFileIsRefused)
{
  const fs::path file = kOut.parent_path() / "example_not_a_folder";
  std::ofstream(file) << "x";
  const std::string command = std::string("'") + EXAMPLE_EXE + "' '" + file.string() + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  std::array<char, 256> buffer;
  while (fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr)
    output += buffer.data();
  const int status = pclose(pipe);
  EXPECT_NE(status, 0);
  EXPECT_NE(output.find("is not a folder"), std::string::npos) << output;
  EXPECT_EQ(Read(file), "x");
  fs::remove(file);
}

}  // namespace
