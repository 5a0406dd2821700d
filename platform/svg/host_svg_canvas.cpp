#include "host_svg_canvas.h"

#include "host_charcodes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace pln::host {
namespace {

constexpr double kFullTurn = 2.0 * std::numbers::pi;
// Below this an arc is drawn as its chord: its bulge is far under the
// hundredth of a millimetre the file keeps.
constexpr double kStraightArc = 1e-9;
constexpr double kNarrowAdvance = 0.6;
constexpr double kWideAdvance = 1.0;
// The baseline's depth below the top of its line, as a share of the height.
constexpr double kBaseline = 0.8;
// The sheet: a margin round the drawing, and below it the title line of
// standard lettering height with a gap above it (mm on paper).
constexpr double kMarginMm = 10.0;
constexpr double kTitleMm = 3.5;
constexpr double kTitleGapMm = 4.0;
// Japanese fonts first, as the add-on's tables name a Gothic face; the
// generic family last, so a viewer without any of them still shows text.
constexpr const char* kFontFamily =
    "'MS Gothic', 'ＭＳ ゴシック', 'IPAGothic', 'IPAゴシック', 'Noto Sans Mono CJK JP', 'Noto Sans CJK JP', "
    "'Hiragino Kaku Gothic ProN', 'Yu Gothic', monospace";

struct Paper {
  const char* name;
  double longSide, shortSide;
};
constexpr Paper kPapers[] = {{"A4", 297, 210}, {"A3", 420, 297}, {"A2", 594, 420}, {"A1", 841, 594}, {"A0", 1189, 841}};

std::string Fixed(double value)
{
  if (!std::isfinite(value))
    value = 0.0;
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  std::string result(text);
  return result == "-0.00" ? "0.00" : result;
}

std::string Degrees(double radians) { return Fixed(-radians * 180.0 / std::numbers::pi); }

API_Coord Add(const API_Coord& a, const API_Coord& b) { return {a.x + b.x, a.y + b.y}; }

API_Coord Rotated(const API_Coord& v, double angle)
{
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  return {v.x * c - v.y * s, v.x * s + v.y * c};
}

std::string PenAttributes(const SvgPen& stroke)
{
  return " stroke=\"" + stroke.colour + "\" stroke-width=\"" + Fixed(stroke.width) + "\"";
}

std::string StrokeAttributes(const SvgPen& stroke, const std::string& fill)
{
  if (fill.empty())
    return " fill=\"none\"" + PenAttributes(stroke);
  return " fill=\"" + fill + "\" fill-rule=\"evenodd\"" + PenAttributes(stroke);
}

bool IsNarrow(char16_t ch) { return ch < 0x80 || (ch >= 0xFF61 && ch <= 0xFF9F); }

std::vector<std::u16string> SplitLines(const std::u16string& text)
{
  std::vector<std::u16string> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' || text[i] == u'\n') {
      if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
        ++i;
      lines.emplace_back();
    } else {
      lines.back() += text[i];
    }
  }
  return lines;
}

const char* TextAnchor(API_JustID just)
{
  switch (just) {
  case APIJust_Center: return "middle";
  case APIJust_Right: return "end";
  default: return "start";
  }
}

double JustShare(API_JustID just)
{
  switch (just) {
  case APIJust_Center: return 0.5;
  case APIJust_Right: return 1.0;
  default: return 0.0;
  }
}

// The smallest paper that holds a drawing of w x h mm, and whether it is
// laid landscape; none when A0 is too small.
const Paper* PaperFor(double w, double h, bool& landscape)
{
  for (const Paper& paper : kPapers) {
    landscape = w <= paper.longSide && h <= paper.shortSide;
    if (landscape || (w <= paper.shortSide && h <= paper.longSide))
      return &paper;
  }
  return nullptr;
}

}  // namespace

double SvgTextWidth(const std::u16string& line, double size)
{
  double width = 0.0;
  for (char16_t ch : line)
    width += (IsNarrow(ch) ? kNarrowAdvance : kWideAdvance) * size;
  return width;
}

std::string SvgColour(const API_RGBColor& rgb)
{
  const auto byte = [](double f) {
    if (!std::isfinite(f))
      f = 0.0;
    return static_cast<int>(std::lround(std::clamp(f, 0.0, 1.0) * 255.0));
  };
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(rgb.f_red), byte(rgb.f_green), byte(rgb.f_blue));
  return text;
}

std::string SvgEscape(const std::u16string& text)
{
  std::u16string escaped;
  for (char16_t ch : text) {
    switch (ch) {
    case u'&': escaped += u"&amp;"; break;
    case u'<': escaped += u"&lt;"; break;
    case u'>': escaped += u"&gt;"; break;
    case u'"': escaped += u"&quot;"; break;
    case u'\'': escaped += u"&apos;"; break;
    default:
      // Control characters are not allowed in XML 1.0 at all.
      if (ch >= 0x20 || ch == u'\t')
        escaped += ch;
    }
  }
  return internal::ToUtf8(escaped);
}

SvgCanvas::SvgCanvas(double scale)
    : mmPerMetre_(1000.0 / (std::isfinite(scale) && scale > 0.0 ? scale : 100.0)),
      scale_(std::isfinite(scale) && scale > 0.0 ? scale : 100.0)
{
}

std::string SvgCanvas::X(double x) const { return Fixed(x * mmPerMetre_); }
std::string SvgCanvas::Y(double y) const { return Fixed(-y * mmPerMetre_); }
std::string SvgCanvas::Point(const API_Coord& p) const { return X(p.x) + " " + Y(p.y); }
std::string SvgCanvas::Length(double metres) const { return Fixed(metres * mmPerMetre_); }

void SvgCanvas::Extend(const API_Coord& point)
{
  if (!std::isfinite(point.x) || !std::isfinite(point.y))
    return;
  if (empty_) {
    xMin_ = xMax_ = point.x;
    yMin_ = yMax_ = point.y;
    empty_ = false;
    return;
  }
  xMin_ = std::min(xMin_, point.x);
  xMax_ = std::max(xMax_, point.x);
  yMin_ = std::min(yMin_, point.y);
  yMax_ = std::max(yMax_, point.y);
}

void SvgCanvas::ExtendCircle(const API_Coord& centre, double r)
{
  Extend({centre.x - r, centre.y - r});
  Extend({centre.x + r, centre.y + r});
}

void SvgCanvas::Segment(const API_Coord& from, const API_Coord& to)
{
  if (std::isfinite(from.x) && std::isfinite(from.y) && std::isfinite(to.x) && std::isfinite(to.y))
    segments_.emplace_back(from, to);
}

void SvgCanvas::Contours(const std::vector<SvgContour>& contours, bool closed, const SvgPen& stroke,
                         const std::string& fill)
{
  std::string d;
  for (const SvgContour& contour : contours) {
    if (contour.empty())
      continue;
    d += (d.empty() ? "M " : " M ") + Point(contour.front().at);
    Extend(contour.front().at);
    const std::size_t edges = closed ? contour.size() : contour.size() - 1;
    for (std::size_t i = 0; i < edges; ++i) {
      const SvgVertex& from = contour[i];
      const API_Coord& to = contour[(i + 1) % contour.size()].at;
      Extend(to);
      Segment(from.at, to);
      const double dx = to.x - from.at.x;
      const double dy = to.y - from.at.y;
      const double chord = std::hypot(dx, dy);
      const double theta = from.arcToNext;
      if (std::fabs(theta) < kStraightArc || chord == 0.0 || !std::isfinite(theta)) {
        d += " L " + Point(to);
        continue;
      }
      const double r = chord / (2.0 * std::sin(std::fabs(theta) / 2.0));
      const double offset = chord / 2.0 / std::tan(theta / 2.0);
      ExtendCircle({(from.at.x + to.x) / 2.0 - dy / chord * offset, (from.at.y + to.y) / 2.0 + dx / chord * offset},
                   r);
      // With y turned down a counter-clockwise arc runs against SVG's
      // positive direction.
      d += " A " + Length(r) + " " + Length(r) + " 0 " + (std::fabs(theta) > std::numbers::pi ? "1" : "0") +
           (theta > 0.0 ? " 0 " : " 1 ") + Point(to);
    }
    if (closed)
      d += " Z";
  }
  if (!d.empty())
    body_ += "<path d=\"" + d + "\"" + StrokeAttributes(stroke, closed ? fill : std::string()) + "/>\n";
}

void SvgCanvas::Line(const API_Coord& from, const API_Coord& to, const SvgPen& stroke)
{
  Extend(from);
  Extend(to);
  Segment(from, to);
  body_ += "<line x1=\"" + X(from.x) + "\" y1=\"" + Y(from.y) + "\" x2=\"" + X(to.x) + "\" y2=\"" + Y(to.y) + "\"" +
           PenAttributes(stroke) + "/>\n";
}

void SvgCanvas::EllipseArc(const API_Coord& centre, double r, double ratio, double axis, double begin, double end,
                           const SvgPen& stroke)
{
  const double rx = std::fabs(r);
  const double ry = std::fabs(r * ratio);
  ExtendCircle(centre, std::max(rx, ry));
  double sweep = std::fmod(end - begin, kFullTurn);
  if (sweep < 0.0)
    sweep += kFullTurn;
  const bool whole = end - begin >= kFullTurn || sweep < kStraightArc || !std::isfinite(sweep);
  const auto at = [&](double t) { return Add(centre, Rotated({r * std::cos(t), r * ratio * std::sin(t)}, axis)); };
  constexpr int kPieces = 32;
  for (int i = 0; i < kPieces; ++i)
    Segment(at(begin + (whole ? kFullTurn : sweep) * i / kPieces), at(begin + (whole ? kFullTurn : sweep) * (i + 1) / kPieces));
  if (whole) {
    std::string rotation;
    if (axis != 0.0)
      rotation = " transform=\"rotate(" + Degrees(axis) + " " + Point(centre) + ")\"";
    body_ += "<ellipse cx=\"" + X(centre.x) + "\" cy=\"" + Y(centre.y) + "\" rx=\"" + Length(rx) + "\" ry=\"" +
             Length(ry) + "\"" + rotation + StrokeAttributes(stroke, {}) + "/>\n";
    return;
  }
  body_ += "<path d=\"M " + Point(at(begin)) + " A " + Length(rx) + " " + Length(ry) + " " + Degrees(axis) + " " +
           (sweep > std::numbers::pi ? "1" : "0") + " 0 " + Point(at(begin + sweep)) + "\"" +
           StrokeAttributes(stroke, {}) + "/>\n";
}

void SvgCanvas::Text(const SvgText& text)
{
  const std::vector<std::u16string> lines = SplitLines(text.text);
  double width = 0.0;
  for (const std::u16string& line : lines)
    width = std::max(width, SvgTextWidth(line, text.size));
  const double height = static_cast<double>(lines.size()) * text.size;
  const double inset = std::max(0.0, text.inset) * text.size;
  const int anchor = text.anchor >= 0 && text.anchor <= 8 ? text.anchor : 0;
  // The anchor is a point of the block's frame; the letters keep the inset.
  const double left = -static_cast<double>(anchor % 3) * (width + 2.0 * inset) / 2.0 + inset;
  const double top = static_cast<double>(anchor / 3) * (height + 2.0 * inset) / 2.0 - inset;
  for (const API_Coord& corner : {API_Coord{left, top}, API_Coord{left + width, top},
                                  API_Coord{left, top - height}, API_Coord{left + width, top - height}})
    Extend(Add(text.loc, Rotated(corner, text.angle)));
  const API_Coord u{std::cos(text.angle), std::sin(text.angle)};
  texts_.push_back({Add(text.loc, Rotated({left + width / 2.0, top - height / 2.0}, text.angle)), u, width / 2.0,
                    height / 2.0});

  std::string rotation;
  if (text.angle != 0.0)
    rotation = " transform=\"rotate(" + Degrees(text.angle) + " " + Point(text.loc) + ")\"";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty())
      continue;
    const double x = text.loc.x + left + JustShare(text.just) * width;
    const double y = text.loc.y + top - (static_cast<double>(i) + kBaseline) * text.size;
    body_ += "<text x=\"" + X(x) + "\" y=\"" + Y(y) + "\" font-size=\"" + Length(text.size) + "\" text-anchor=\"" +
             TextAnchor(text.just) + "\" fill=\"" + text.colour + "\"" + rotation + ">" + SvgEscape(lines[i]) +
             "</text>\n";
  }
}

std::string SvgCanvas::Document(const std::u16string& title) const
{
  const double w = empty_ ? 0.0 : (xMax_ - xMin_) * mmPerMetre_;
  const double h = empty_ ? 0.0 : (yMax_ - yMin_) * mmPerMetre_;
  const double needW = w + 2.0 * kMarginMm;
  const double needH = h + 2.0 * kMarginMm + kTitleMm + kTitleGapMm;
  bool landscape = true;
  const Paper* paper = PaperFor(needW, needH, landscape);
  const double paperW = paper != nullptr ? (landscape ? paper->longSide : paper->shortSide) : std::ceil(needW);
  const double paperH = paper != nullptr ? (landscape ? paper->shortSide : paper->longSide) : std::ceil(needH);
  // The drawing stands centred in the room above the title line.
  const double left = (paperW - w) / 2.0 - (empty_ ? 0.0 : xMin_ * mmPerMetre_);
  const double top = (paperH - kTitleMm - kTitleGapMm - h) / 2.0 + (empty_ ? 0.0 : yMax_ * mmPerMetre_);
  const std::string size = paper != nullptr ? std::string(paper->name) + " " + (landscape ? "landscape" : "portrait")
                                            : "larger than A0";
  char scale[32];
  std::snprintf(scale, sizeof scale, "1:%g", scale_);
  const std::string titleLine = (title.empty() ? std::string() : SvgEscape(title) + "　") + scale + "　" + size +
                                " (" + std::to_string(std::lround(paperW)) + " × " +
                                std::to_string(std::lround(paperH)) + " mm)";
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
         Fixed(paperW) + "mm\" height=\"" + Fixed(paperH) + "mm\" viewBox=\"0 0 " + Fixed(paperW) + " " +
         Fixed(paperH) + "\">\n<rect x=\"0\" y=\"0\" width=\"" + Fixed(paperW) + "\" height=\"" + Fixed(paperH) +
         "\" fill=\"#ffffff\"/>\n<g font-family=\"" + kFontFamily +
         "\" xml:space=\"preserve\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n<g transform=\"translate(" +
         Fixed(left) + " " + Fixed(top) + ")\">\n" + body_ + "</g>\n<text x=\"" + Fixed(kMarginMm) + "\" y=\"" +
         Fixed(paperH - kMarginMm) + "\" font-size=\"" + Fixed(kTitleMm) + "\" fill=\"#000000\">" + titleLine +
         "</text>\n</g>\n</svg>\n";
}

}  // namespace pln::host
