#pragma once
// Reading back what the worksheet pictures show: the sheet's paper size,
// every text's box on the paper (from its font size and its characters),
// and the pixels of a PNG rendering.

#include <array>
#include <string>
#include <vector>

namespace sheet_test {

// A text's box on the paper (mm, y down): centre, unit axis along the
// text, half extents along it and across it.
struct TextBox {
  std::string text;
  double cx = 0.0, cy = 0.0;
  double ux = 1.0, uy = 0.0;
  double halfU = 0.0, halfV = 0.0;
};

struct Sheet {
  double width = 0.0, height = 0.0;  // mm
  std::vector<TextBox> texts;
};

// The sheet of an SVG picture the host wrote.
Sheet ReadSheet(const std::string& svg);
// Whether two boxes share more than a hair (0.01 mm) of area.
bool Overlap(const TextBox& a, const TextBox& b);
// Whether the box lies on the paper.
bool OnSheet(const TextBox& box, const Sheet& sheet);

struct Picture {
  int width = 0, height = 0;
  std::vector<std::array<unsigned char, 4>> pixels;  // RGBA, row by row
};

// An 8-bit RGB or RGBA PNG, not interlaced; throws std::runtime_error
// otherwise. With pixels false only the size is read.
Picture ReadPng(const std::string& bytes, bool pixels = true);

}  // namespace sheet_test
