#pragma once
// SvgCanvas: the drawing surface of the host's pictures. Takes plan
// coordinates (metres, y up, angles in radians counter-clockwise) and keeps
// SVG elements in the order they were drawn, in millimetres with y turned
// down. Numbers are written with two fixed decimals, so the same drawing
// always gives the same bytes; texts are XML-escaped UTF-8.

#include "host_api_types.h"

#include <string>
#include <vector>

namespace pln::host {

// A corner of an outline and the edge that leaves it: straight, or an arc of
// that signed angle (counter-clockwise positive) to the next corner.
struct SvgVertex {
  API_Coord at;
  double arcToNext = 0.0;
};
using SvgContour = std::vector<SvgVertex>;

// A text block: its anchor (0..8, row by row from the top left: 0 top
// left, 4 centre, 8 bottom right) sits at loc; justification aligns its
// lines; size is the height of one line in metres.
struct SvgText {
  API_Coord loc;
  double size = 0.0;
  double angle = 0.0;
  int anchor = 0;
  API_JustID just = APIJust_Left;
  std::u16string text;  // lines split at CR, LF or CR LF
  std::string colour;
};

class SvgCanvas {
public:
  // Closed contours are filled even-odd when fill is not empty; open ones
  // are only stroked.
  void Contours(const std::vector<SvgContour>& contours, bool closed, const std::string& stroke,
                const std::string& fill = {});
  void Line(const API_Coord& from, const API_Coord& to, const std::string& stroke);
  // An arc of the ellipse with semi-axes r (along the direction axis) and
  // r * ratio, from parameter begin counter-clockwise to end; a sweep of a
  // full turn or more draws the whole ellipse.
  void EllipseArc(const API_Coord& centre, double r, double ratio, double axis, double begin, double end,
                  const std::string& stroke);
  void Text(const SvgText& text);

  // The whole document: the view box holds everything drawn, with a small
  // margin; an empty canvas gives a unit view box and no element.
  std::string Document() const;

private:
  void Extend(const API_Coord& point);
  void ExtendCircle(const API_Coord& centre, double r);

  std::string body_;
  bool empty_ = true;
  double xMin_ = 0.0, yMin_ = 0.0, xMax_ = 0.0, yMax_ = 0.0;
};

// "#rrggbb" of 0..1 fractions (clamped).
std::string SvgColour(const API_RGBColor& rgb);
// Text and attribute values with &, <, >, " and ' escaped, as UTF-8.
std::string SvgEscape(const std::u16string& text);

}  // namespace pln::host
