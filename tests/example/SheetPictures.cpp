#include "SheetPictures.h"

#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <stdexcept>

namespace sheet_test {
namespace {

constexpr double kHair = 0.01;
// The advance of a character as a share of its height: half-width forms
// 0.6, the rest 1.0; the baseline 0.8 of the height below the top.
constexpr double kNarrow = 0.6, kWide = 1.0, kBaseline = 0.8;

std::string Unescaped(std::string text)
{
  static const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, plain] : entities)
    for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
      text.replace(at, std::string(entity).size(), plain);
  return text;
}

// The advance of UTF-8 text in heights.
double Advance(const std::string& utf8)
{
  double advance = 0.0;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t ch = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k)
      ch = (ch << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    advance += ch < 0x80 || (ch >= 0xFF61 && ch <= 0xFF9F) ? kNarrow : kWide;
    i += length;
  }
  return advance;
}

double Attribute(const std::string& tag, const std::string& name, double otherwise = 0.0)
{
  const std::regex pattern(" " + name + "=\"([-0-9.]+)");
  std::smatch match;
  return std::regex_search(tag, match, pattern) ? std::stod(match[1]) : otherwise;
}

std::uint32_t BigEndian(const std::string& bytes, std::size_t at)
{
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
  return value;
}

int Paeth(int a, int b, int c)
{
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

}  // namespace

Sheet ReadSheet(const std::string& svg)
{
  Sheet sheet;
  const std::regex paper("<svg[^>]* width=\"([0-9.]+)mm\" height=\"([0-9.]+)mm\"");
  std::smatch match;
  if (!std::regex_search(svg, match, paper))
    throw std::runtime_error("the picture has no paper size");
  sheet.width = std::stod(match[1]);
  sheet.height = std::stod(match[2]);
  double tx = 0.0, ty = 0.0;
  const std::regex translate("<g transform=\"translate\\(([-0-9.]+) ([-0-9.]+)\\)\">");
  if (std::regex_search(svg, match, translate)) {
    tx = std::stod(match[1]);
    ty = std::stod(match[2]);
  }
  // Texts inside the drawing's group are moved by it; the title line after
  // the group's end is not.
  const std::size_t groupEnd = svg.find("</g>\n<text");
  const std::regex text("<text([^>]*)>([^<]*)</text>");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), text); it != std::sregex_iterator(); ++it) {
    const std::string tag = (*it)[1];
    const bool moved = static_cast<std::size_t>(it->position()) < groupEnd;
    const double size = Attribute(tag, "font-size");
    TextBox box;
    box.text = Unescaped((*it)[2]);
    const double width = Advance(box.text) * size;
    const double share = tag.find("\"middle\"") != std::string::npos ? 0.5
                         : tag.find("\"end\"") != std::string::npos  ? 1.0
                                                                      : 0.0;
    // Unturned: left edge and top below the anchor point.
    const double x = Attribute(tag, "x"), y = Attribute(tag, "y");
    double cx = x - share * width + width / 2.0;
    double cy = y - kBaseline * size + size / 2.0;
    const std::regex rotate("rotate\\(([-0-9.]+) ([-0-9.]+) ([-0-9.]+)\\)");
    std::smatch turn;
    if (std::regex_search(tag, turn, rotate)) {
      const double a = std::stod(turn[1]) * std::acos(-1.0) / 180.0;
      const double ox = std::stod(turn[2]), oy = std::stod(turn[3]);
      const double dx = cx - ox, dy = cy - oy;
      cx = ox + dx * std::cos(a) - dy * std::sin(a);
      cy = oy + dx * std::sin(a) + dy * std::cos(a);
      box.ux = std::cos(a);
      box.uy = std::sin(a);
    }
    box.cx = cx + (moved ? tx : 0.0);
    box.cy = cy + (moved ? ty : 0.0);
    box.halfU = width / 2.0;
    box.halfV = size / 2.0;
    sheet.texts.push_back(box);
  }
  return sheet;
}

bool Overlap(const TextBox& a, const TextBox& b)
{
  const auto shadow = [](const TextBox& box, double ax, double ay) {
    return std::fabs(box.ux * ax + box.uy * ay) * box.halfU + std::fabs(-box.uy * ax + box.ux * ay) * box.halfV;
  };
  const double axes[4][2] = {{a.ux, a.uy}, {-a.uy, a.ux}, {b.ux, b.uy}, {-b.uy, b.ux}};
  for (const auto& axis : axes) {
    const double distance = std::fabs((a.cx - b.cx) * axis[0] + (a.cy - b.cy) * axis[1]);
    if (distance >= shadow(a, axis[0], axis[1]) + shadow(b, axis[0], axis[1]) - kHair)
      return false;
  }
  return true;
}

bool OnSheet(const TextBox& box, const Sheet& sheet)
{
  const double reachX = std::fabs(box.ux) * box.halfU + std::fabs(box.uy) * box.halfV;
  const double reachY = std::fabs(box.uy) * box.halfU + std::fabs(box.ux) * box.halfV;
  return box.cx - reachX >= 0.0 && box.cx + reachX <= sheet.width && box.cy - reachY >= 0.0 &&
         box.cy + reachY <= sheet.height;
}

Picture ReadPng(const std::string& bytes, bool pixels)
{
  if (bytes.size() < 33 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
    throw std::runtime_error("not a PNG");
  Picture picture;
  picture.width = static_cast<int>(BigEndian(bytes, 16));
  picture.height = static_cast<int>(BigEndian(bytes, 20));
  const int depth = static_cast<unsigned char>(bytes[24]), colour = static_cast<unsigned char>(bytes[25]);
  if (!pixels)
    return picture;
  if (depth != 8 || (colour != 2 && colour != 6) || bytes[28] != 0)
    throw std::runtime_error("not an 8-bit RGB(A) PNG");
  std::string data;
  for (std::size_t at = 8; at + 12 <= bytes.size();) {
    const std::uint32_t length = BigEndian(bytes, at);
    if (bytes.compare(at + 4, 4, "IDAT") == 0)
      data += bytes.substr(at + 8, length);
    at += 12 + length;
  }
  const std::size_t channels = colour == 6 ? 4 : 3;
  const std::size_t stride = static_cast<std::size_t>(picture.width) * channels;
  std::vector<unsigned char> raw((stride + 1) * static_cast<std::size_t>(picture.height));
  uLongf rawSize = raw.size();
  if (uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(data.data()), data.size()) != Z_OK ||
      rawSize != raw.size())
    throw std::runtime_error("the PNG's data does not inflate to its size");
  std::vector<unsigned char> previous(stride), row(stride);
  for (int y = 0; y < picture.height; ++y) {
    const unsigned char* line = raw.data() + static_cast<std::size_t>(y) * (stride + 1);
    for (std::size_t i = 0; i < stride; ++i) {
      const int a = i >= channels ? row[i - channels] : 0, b = previous[i], c = i >= channels ? previous[i - channels] : 0;
      const int predictor = line[0] == 1 ? a : line[0] == 2 ? b : line[0] == 3 ? (a + b) / 2 : line[0] == 4 ? Paeth(a, b, c) : 0;
      row[i] = static_cast<unsigned char>(line[1 + i] + predictor);
    }
    for (int x = 0; x < picture.width; ++x) {
      const unsigned char* p = row.data() + static_cast<std::size_t>(x) * channels;
      picture.pixels.push_back({p[0], p[1], p[2], channels == 4 ? p[3] : static_cast<unsigned char>(255)});
    }
    previous = row;
  }
  return picture;
}

}  // namespace sheet_test
