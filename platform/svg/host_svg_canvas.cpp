#include "host_svg_canvas.h"

#include "host_charcodes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace pln::host {
namespace {

constexpr double kMmPerMetre = 1000.0;
constexpr double kFullTurn = 2.0 * std::numbers::pi;
// Below this an arc is drawn as its chord: its bulge is far under the
// hundredth of a millimetre the file keeps.
constexpr double kStraightArc = 1e-9;
// Estimated advance of a character, as a share of the text height: no
// font is at hand, and the view box only needs to hold the text.
constexpr double kNarrowAdvance = 0.6;
constexpr double kWideAdvance = 1.0;
// The baseline's depth below the top of its line, as a share of the height.
constexpr double kBaseline = 0.8;
// Margin around the drawing: a share of its larger side, at least 1 mm.
constexpr double kMarginShare = 0.02;
constexpr double kMinMarginMm = 1.0;
// Line width as a share of the larger side of the view.
constexpr double kStrokeShare = 0.001;
constexpr double kMinStrokeMm = 0.01;

std::string Fixed(double value)
{
  if (!std::isfinite(value))
    value = 0.0;
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  std::string result(text);
  return result == "-0.00" ? "0.00" : result;
}

std::string X(double x) { return Fixed(x * kMmPerMetre); }
std::string Y(double y) { return Fixed(-y * kMmPerMetre); }
std::string Point(const API_Coord& p) { return X(p.x) + " " + Y(p.y); }
std::string Degrees(double radians) { return Fixed(-radians * 180.0 / std::numbers::pi); }

API_Coord Add(const API_Coord& a, const API_Coord& b) { return {a.x + b.x, a.y + b.y}; }

API_Coord Rotated(const API_Coord& v, double angle)
{
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  return {v.x * c - v.y * s, v.x * s + v.y * c};
}

std::string StrokeAttributes(const std::string& stroke, const std::string& fill)
{
  if (fill.empty())
    return " fill=\"none\" stroke=\"" + stroke + "\"";
  return " fill=\"" + fill + "\" fill-rule=\"evenodd\" stroke=\"" + stroke + "\"";
}

bool IsNarrow(char16_t ch) { return ch < 0x80 || (ch >= 0xFF61 && ch <= 0xFF9F); }

double EstimatedWidth(const std::u16string& line, double size)
{
  double width = 0.0;
  for (char16_t ch : line)
    width += (IsNarrow(ch) ? kNarrowAdvance : kWideAdvance) * size;
  return width;
}

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

}  // namespace

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

void SvgCanvas::Contours(const std::vector<SvgContour>& contours, bool closed, const std::string& stroke,
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
      d += " A " + Fixed(r * kMmPerMetre) + " " + Fixed(r * kMmPerMetre) + " 0 " +
           (std::fabs(theta) > std::numbers::pi ? "1" : "0") + (theta > 0.0 ? " 0 " : " 1 ") + Point(to);
    }
    if (closed)
      d += " Z";
  }
  if (!d.empty())
    body_ += "<path d=\"" + d + "\"" + StrokeAttributes(stroke, closed ? fill : std::string()) + "/>\n";
}

void SvgCanvas::Line(const API_Coord& from, const API_Coord& to, const std::string& stroke)
{
  Extend(from);
  Extend(to);
  body_ += "<line x1=\"" + X(from.x) + "\" y1=\"" + Y(from.y) + "\" x2=\"" + X(to.x) + "\" y2=\"" + Y(to.y) +
           "\" stroke=\"" + stroke + "\"/>\n";
}

void SvgCanvas::EllipseArc(const API_Coord& centre, double r, double ratio, double axis, double begin, double end,
                           const std::string& stroke)
{
  const double rx = std::fabs(r);
  const double ry = std::fabs(r * ratio);
  ExtendCircle(centre, std::max(rx, ry));
  double sweep = std::fmod(end - begin, kFullTurn);
  if (sweep < 0.0)
    sweep += kFullTurn;
  if (end - begin >= kFullTurn || sweep < kStraightArc || !std::isfinite(sweep)) {
    std::string rotation;
    if (axis != 0.0)
      rotation = " transform=\"rotate(" + Degrees(axis) + " " + Point(centre) + ")\"";
    body_ += "<ellipse cx=\"" + X(centre.x) + "\" cy=\"" + Y(centre.y) + "\" rx=\"" + Fixed(rx * kMmPerMetre) +
             "\" ry=\"" + Fixed(ry * kMmPerMetre) + "\"" + rotation + " fill=\"none\" stroke=\"" + stroke + "\"/>\n";
    return;
  }
  const auto at = [&](double t) { return Add(centre, Rotated({r * std::cos(t), r * ratio * std::sin(t)}, axis)); };
  body_ += "<path d=\"M " + Point(at(begin)) + " A " + Fixed(rx * kMmPerMetre) + " " + Fixed(ry * kMmPerMetre) + " " +
           Degrees(axis) + " " + (sweep > std::numbers::pi ? "1" : "0") + " 0 " + Point(at(begin + sweep)) +
           "\" fill=\"none\" stroke=\"" + stroke + "\"/>\n";
}

void SvgCanvas::Text(const SvgText& text)
{
  const std::vector<std::u16string> lines = SplitLines(text.text);
  double width = 0.0;
  for (const std::u16string& line : lines)
    width = std::max(width, EstimatedWidth(line, text.size));
  const double height = static_cast<double>(lines.size()) * text.size;
  const int anchor = text.anchor >= 0 && text.anchor <= 8 ? text.anchor : 0;
  const double left = -static_cast<double>(anchor % 3) * width / 2.0;
  const double top = static_cast<double>(anchor / 3) * height / 2.0;
  for (const API_Coord& corner : {API_Coord{left, top}, API_Coord{left + width, top},
                                  API_Coord{left, top - height}, API_Coord{left + width, top - height}})
    Extend(Add(text.loc, Rotated(corner, text.angle)));

  std::string rotation;
  if (text.angle != 0.0)
    rotation = " transform=\"rotate(" + Degrees(text.angle) + " " + Point(text.loc) + ")\"";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty())
      continue;
    const double x = text.loc.x + left + JustShare(text.just) * width;
    const double y = text.loc.y + top - (static_cast<double>(i) + kBaseline) * text.size;
    body_ += "<text x=\"" + X(x) + "\" y=\"" + Y(y) + "\" font-size=\"" + Fixed(text.size * kMmPerMetre) +
             "\" text-anchor=\"" + TextAnchor(text.just) + "\" fill=\"" + text.colour + "\"" + rotation + ">" +
             SvgEscape(lines[i]) + "</text>\n";
  }
}

std::string SvgCanvas::Document() const
{
  std::string box = "0.00 0.00 1.00 1.00";
  double side = 1.0;
  if (!empty_) {
    const double w = (xMax_ - xMin_) * kMmPerMetre;
    const double h = (yMax_ - yMin_) * kMmPerMetre;
    const double margin = std::max(std::max(w, h) * kMarginShare, kMinMarginMm);
    side = std::max(w, h) + 2.0 * margin;
    box = Fixed(xMin_ * kMmPerMetre - margin) + " " + Fixed(-yMax_ * kMmPerMetre - margin) + " " +
          Fixed(w + 2.0 * margin) + " " + Fixed(h + 2.0 * margin);
  }
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" viewBox=\"" +
         box + "\">\n<g stroke-width=\"" + Fixed(std::max(side * kStrokeShare, kMinStrokeMm)) + "\" stroke-linejoin=\"round\">\n" + body_ +
         "</g>\n</svg>\n";
}

}  // namespace pln::host
