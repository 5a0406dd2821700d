#include "KelOutlineText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

constexpr std::string_view kTurnCCW = "ccw";
constexpr std::string_view kTurnCW = "cw";

std::string Number(double value)
{
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string Point(std::string_view turn, std::initializer_list<double> values)
{
  std::string text(turn);
  text += '(';
  for (double value : values) {
    if (text.back() != '(')
      text += ' ';
    text += Number(value);
  }
  return text + ')';
}

// One point as read: its turn prefix and its numbers.
struct ReadPoint {
  std::string_view turn;
  std::vector<double> values;
};

// Reads the text point by point; empty when any part of it is no point.
std::optional<std::vector<ReadPoint>> ReadPoints(std::string_view text)
{
  std::vector<ReadPoint> points;
  std::size_t at = 0;
  const auto skipBlanks = [&] {
    while (at < text.size() && text[at] == ' ')
      ++at;
  };
  for (skipBlanks(); at < text.size(); skipBlanks()) {
    const std::size_t open = text.find('(', at);
    const std::size_t close = text.find(')', at);
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
      return std::nullopt;
    ReadPoint point{text.substr(at, open - at), {}};
    // The numbers: a copy ends with a zero so strtod stops at the bracket.
    const std::string inner(text.substr(open + 1, close - open - 1));
    const char* cursor = inner.c_str();
    const char* const end = cursor + inner.size();
    while (cursor != end) {
      char* next = nullptr;
      const double value = std::strtod(cursor, &next);
      if (next == cursor || !std::isfinite(value) || (*next != ' ' && *next != '\0'))
        return std::nullopt;
      point.values.push_back(value);
      for (cursor = next; cursor != end && *cursor == ' ';)
        ++cursor;
    }
    points.push_back(std::move(point));
    at = close + 1;
  }
  return points;
}

}  // namespace

namespace KelOutlineText {

std::string ToText(const CKelAreaCoord2D& outline)
{
  std::string text;
  for (const CKelCoord2D& p : outline.m_pt) {
    if (!text.empty())
      text += ' ';
    text += Point("", {p.m_x, p.m_y});
  }
  return text;
}

std::string ToText(const CKelCoord3DCrsPntArray& outline)
{
  std::string text;
  for (const CKelCoord3DCrsPnt& p : outline) {
    const std::string_view turn = p.m_Type == CKelCoord3DCrsPnt::TYPE_CCW  ? kTurnCCW
                                  : p.m_Type == CKelCoord3DCrsPnt::TYPE_CW ? kTurnCW
                                                                           : "";
    if (!text.empty())
      text += ' ';
    text += Point(turn, {p.m_x, p.m_y, p.m_z});
  }
  return text;
}

bool FromText(std::string_view text, CKelAreaCoord2D& outline)
{
  const auto points = ReadPoints(text);
  if (!points)
    return false;
  std::vector<CKelCoord2D> read;
  for (const ReadPoint& p : *points) {
    if (!p.turn.empty() || p.values.size() != 2)
      return false;
    read.emplace_back(p.values[0], p.values[1]);
  }
  outline.m_pt = std::move(read);
  return true;
}

bool FromText(std::string_view text, CKelCoord3DCrsPntArray& outline)
{
  const auto points = ReadPoints(text);
  if (!points)
    return false;
  CKelCoord3DCrsPntArray read;
  for (const ReadPoint& p : *points) {
    if (p.values.size() != 3)
      return false;
    CKelCoord3DCrsPnt::TYPE type = CKelCoord3DCrsPnt::TYPE_POINT;
    if (p.turn == kTurnCCW)
      type = CKelCoord3DCrsPnt::TYPE_CCW;
    else if (p.turn == kTurnCW)
      type = CKelCoord3DCrsPnt::TYPE_CW;
    else if (!p.turn.empty())
      return false;
    read.push_back(CKelCoord3DCrsPnt(CKelCoord3D(p.values[0], p.values[1], p.values[2]), type));
  }
  outline = std::move(read);
  return true;
}

}  // namespace KelOutlineText
