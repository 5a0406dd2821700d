#pragma once
// SvgCanvas: the drawing surface of the host's pictures, drawn as the host
// prints a sheet. Takes plan coordinates (metres, y up, angles in radians
// counter-clockwise) at the database's drawing scale and writes a sheet of
// paper: size in millimetres, model lengths divided by the scale, texts at
// their paper heights, pens at their paper widths, a white background and a
// title line naming the sheet, the scale and the paper. Numbers carry two
// fixed decimals, so the same drawing always gives the same bytes; texts
// are XML-escaped UTF-8 and keep their blanks.
//
// Labels of figure edges are placed once the whole drawing is known
// (host_svg_labels.cpp): inside their figure where they fit, else just
// outside their edge, else further out with a leader line; never over
// another text or across a line.

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

// A host pen: its colour and its line width on paper (mm).
struct SvgPen {
  std::string colour = "#000000";
  double width = 0.18;
};

// A text block: its anchor (0..8, row by row from the top left: 0 top
// left, 4 centre, 8 bottom right) sits at loc; justification aligns its
// lines; size is the height of one line in metres. inset is the margin of
// the block's frame around its letters, as a share of the size.
struct SvgText {
  API_Coord loc;
  double size = 0.0;
  double angle = 0.0;
  int anchor = 0;
  API_JustID just = APIJust_Left;
  std::u16string text;  // lines split at CR, LF or CR LF
  std::string colour;
  double inset = 0.0;
};

// Where a length label may stand: wanted centred at `at` inside its
// figure; `edge` is the middle of the side it measures, `halfLength` half
// the side's length along the label, and `outward` the unit normal
// pointing out of the figure there.
struct SvgLabelSite {
  API_Coord at;
  API_Coord edge;
  API_Coord outward;
  double halfLength = 0.0;
};

// A length label of a figure: one line along its side. The first site is
// the side the part names; a further one is a side of the same length (the
// opposite side of a rectangle), used when the first has no room.
struct SvgEdgeLabel {
  std::vector<SvgLabelSite> sites;
  double size = 0.0;
  double angle = 0.0;
  std::u16string text;
  std::string colour;
  int figure = -1;  // from Figure()
};

// A rectangle turned by an angle: centre, unit axis u (v is u turned a
// quarter left) and the half extents along u and v.
struct SvgBox {
  API_Coord centre;
  API_Coord u;
  double halfU = 0.0;
  double halfV = 0.0;
};

class SvgCanvas {
public:
  // scale: the drawing's scale (100 for 1:100).
  explicit SvgCanvas(double scale = 100.0);

  // Closed contours are filled even-odd when fill is not empty; open ones
  // are only stroked.
  void Contours(const std::vector<SvgContour>& contours, bool closed, const SvgPen& stroke,
                const std::string& fill = {});
  void Line(const API_Coord& from, const API_Coord& to, const SvgPen& stroke);
  // An arc of the ellipse with semi-axes r (along the direction axis) and
  // r * ratio, from parameter begin counter-clockwise to end; a sweep of a
  // full turn or more draws the whole ellipse.
  void EllipseArc(const API_Coord& centre, double r, double ratio, double axis, double begin, double end,
                  const SvgPen& stroke);
  void Text(const SvgText& text);

  // The area a figure's labels may stand in when inside it; its id.
  int Figure(const std::vector<API_Coord>& outline);
  // Queued until PlaceLabels.
  void EdgeLabel(const SvgEdgeLabel& label);
  // Places and draws the queued labels, in the order they came.
  void PlaceLabels();

  // The whole sheet: the smallest A-series paper (A4 to A0, either way
  // round) that holds the drawing within its margins and the title line, or
  // the drawing's own size when A0 is too small, which the title says.
  std::string Document(const std::u16string& title) const;

private:
  std::string X(double x) const;
  std::string Y(double y) const;
  std::string Point(const API_Coord& p) const;
  std::string Length(double metres) const;
  void Extend(const API_Coord& point);
  void ExtendCircle(const API_Coord& centre, double r);
  void Segment(const API_Coord& from, const API_Coord& to);
  bool IsFree(const SvgBox& box) const;
  bool IsInsideFigure(const SvgBox& box, int figure) const;
  bool LeaderIsFree(const API_Coord& from, const API_Coord& to) const;
  bool IsClearOfFigures(const SvgBox& box) const;
  void Place(const SvgEdgeLabel& label);

  double mmPerMetre_;
  double scale_;
  std::string body_;
  bool empty_ = true;
  double xMin_ = 0.0, yMin_ = 0.0, xMax_ = 0.0, yMax_ = 0.0;
  // What a label must keep clear of: the texts drawn and every line.
  std::vector<SvgBox> texts_;
  std::vector<std::pair<API_Coord, API_Coord>> segments_;
  std::vector<std::vector<API_Coord>> figures_;
  std::vector<SvgEdgeLabel> labels_;
};

// "#rrggbb" of 0..1 fractions (clamped).
std::string SvgColour(const API_RGBColor& rgb);
// Text and attribute values with &, <, >, " and ' escaped, as UTF-8.
std::string SvgEscape(const std::u16string& text);
// Estimated width of one line of text of the height size: no font is at
// hand, so half-width characters count 0.6 of the height, others 1.0.
double SvgTextWidth(const std::u16string& line, double size);

}  // namespace pln::host
