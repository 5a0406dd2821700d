// The example's worksheet pictures as sheets to print: standard paper at
// the drawing's scale, every text clear of every other text and mark and on
// the paper, and a PNG rendering of the paper's size that shows a drawing.

#include "SheetPictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace sheet_test;

const fs::path kOut = fs::u8path(EXAMPLE_OUT);
const char* const kSheets[] = {"床面積 1階", "床面積 2階", "建築面積 1階", "敷地面積 1階", "床面積 建物面積表",
                               "建築面積 建物面積表"};

std::string Read(const fs::path& file)
{
  std::ifstream in(file, std::ios::binary);
  EXPECT_TRUE(in.good()) << file;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

fs::path Picture(const char* sheet, const char* extension)
{
  return kOut / "worksheets" / fs::u8path(std::string(sheet) + extension);
}

// Pixels at the resolution in dots per inch of a length in mm.
double Pixels(double mm, double dpi) { return mm / 25.4 * dpi; }

TEST(WorksheetPictures, EveryTextStandsClearOfEveryOtherTextAndMarkAndOnThePaper)
{
  for (const char* name : kSheets) {
    const Sheet sheet = ReadSheet(Read(Picture(name, ".svg")));
    ASSERT_GT(sheet.texts.size(), 5u) << name;
    for (std::size_t i = 0; i < sheet.texts.size(); ++i) {
      const TextBox& a = sheet.texts[i];
      EXPECT_TRUE(OnSheet(a, sheet)) << name << ": " << a.text;
      for (std::size_t j = i + 1; j < sheet.texts.size(); ++j)
        EXPECT_FALSE(Overlap(a, sheet.texts[j])) << name << ": '" << a.text << "' and '" << sheet.texts[j].text << "'";
    }
  }
}

// A3 and A2 for the summaries; the floor sheets, laid out as the add-on
// lays its tables, are wider than A0 at 1:100, which the title line says.
TEST(WorksheetPictures, EachSheetIsTheSmallestPaperThatHoldsItAtItsScaleAndSaysWhich)
{
  const struct {
    const char* sheet;
    const char* paper;
  } expected[] = {{"床面積 建物面積表", "A2 landscape (594 × 420 mm)"},
                  {"建築面積 建物面積表", "A3 landscape (420 × 297 mm)"},
                  {"床面積 1階", "larger than A0"}};
  for (const auto& [sheet, paper] : expected) {
    const std::string svg = Read(Picture(sheet, ".svg"));
    EXPECT_NE(svg.find(std::string(">") + sheet + "　1:100　" + paper), std::string::npos) << sheet;
  }
  for (const char* name : kSheets) {
    const std::string svg = Read(Picture(name, ".svg"));
    EXPECT_NE(svg.find("fill=\"#ffffff\"/>"), std::string::npos) << name;
    EXPECT_NE(svg.find("font-family=\"'MS Gothic'"), std::string::npos) << name;
    EXPECT_NE(svg.find(", monospace\""), std::string::npos) << name;
    // Texts at their paper heights: 5 mm, as the add-on's styles ask.
    EXPECT_NE(svg.find("font-size=\"5.00\""), std::string::npos) << name;
  }
}

TEST(WorksheetPictures, EachSheetRendersToAPngOfItsPaperSizeThatShowsADrawing)
{
  const fs::path folder = kOut.parent_path() / "rendered";
  fs::create_directories(folder);
  constexpr double kDpi = 30.0;
  for (const char* name : kSheets) {
    const Sheet sheet = ReadSheet(Read(Picture(name, ".svg")));
    const fs::path png = folder / fs::u8path(std::string(name) + ".png");
    const std::string command = std::string("'") + RSVG_CONVERT + "' --dpi-x 30 --dpi-y 30 --output='" +
                                png.string() + "' '" + Picture(name, ".svg").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const sheet_test::Picture picture = ReadPng(Read(png));
    EXPECT_NEAR(picture.width, Pixels(sheet.width, kDpi), 1.0) << name;
    EXPECT_NEAR(picture.height, Pixels(sheet.height, kDpi), 1.0) << name;
    std::size_t ink = 0, transparent = 0;
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
      const auto& [r, g, b, a] = picture.pixels[i];
      // The last column and row hold the paper's fraction of a pixel.
      const bool whole = static_cast<int>(i % picture.width) + 1 < picture.width &&
                         static_cast<int>(i / picture.width) + 1 < picture.height;
      transparent += whole && a != 255;
      ink += r < 128 && g < 128 && b < 128;
    }
    EXPECT_EQ(transparent, 0u) << name;  // the paper is white, not see-through
    EXPECT_GT(ink, picture.pixels.size() / 2000) << name;
    EXPECT_LT(ink, picture.pixels.size() / 5) << name;

    // The example's own PNG beside the SVG, at 96 dots per inch.
    const sheet_test::Picture beside = ReadPng(Read(Picture(name, ".png")), false);
    EXPECT_NEAR(beside.width, Pixels(sheet.width, 96.0), 1.0) << name;
    EXPECT_NEAR(beside.height, Pixels(sheet.height, 96.0), 1.0) << name;
  }
}

}  // namespace
