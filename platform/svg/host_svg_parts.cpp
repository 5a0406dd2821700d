#include "host_svg_parts.h"

#include "host_libpart.h"
#include "host_svg_partframe.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>

namespace pln::host {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kQuarterTurn = kPi / 2.0;
// The name of a part without a symbol of its own: the host's default text
// size, in millimetres on paper.
constexpr double kNameTextMm = 2.5;
constexpr int kCentreAnchor = 4;
constexpr double kMetresPerMm = 0.001;

// A length label: the text of parameter `text`, centred on a side's point
// moved by the offsets "<offset>_x" and "<offset>_y", along the local
// direction; shown only while the switch parameter (when named) is on.
struct Label {
  const char* text;
  API_Coord at;
  const char* offset;
  double direction = 0.0;
  const char* shownBy = nullptr;
  // A side of the same length, where the label may go instead.
  std::optional<API_Coord> opposite = std::nullopt;
  // Half the length of the side measured; 0 for a label on no side.
  double halfLength = 0.0;
};

// A figure in its own frame: its outline (or the ellipse of radii rx, ry
// round the origin), where its mark goes before its own offset, and its
// labels.
struct FigureSymbol {
  SvgContour outline;
  double rx = 0.0;
  double ry = 0.0;
  API_Coord markAt;
  std::vector<Label> labels;
};

API_Coord Mid(const API_Coord& a, const API_Coord& b) { return {(a.x + b.x) / 2.0, (a.y + b.y) / 2.0}; }
API_Coord Polar(double r, double angle) { return {r * std::cos(angle), r * std::sin(angle)}; }
double Direction(const API_Coord& from, const API_Coord& to) { return std::atan2(to.y - from.y, to.x - from.x); }

FigureSymbol Triangle(const PartParams& p)
{
  const double a = p.Real("A");
  const double b = p.Real("B");
  const double dx = p.Real("dx");
  return {{{{0, 0}}, {{a, 0}}, {{dx, b}}},
          0,
          0,
          {(a + dx) / 3.0, b / 3.0},
          {{"Base_S", {a / 2.0, 0}, "size_b"}, {"Height_S", {dx, b / 2.0}, "size_p", kQuarterTurn}}};
}

FigureSymbol Rectangle(const PartParams& p)
{
  const double a = p.Real("A");
  const double b = p.Real("B");
  return {{{{0, 0}}, {{a, 0}}, {{a, b}}, {{0, b}}},
          0,
          0,
          {a / 2.0, b / 2.0},
          {{"x_S", {a / 2.0, b}, "size_t", 0, "area_size_f_t", API_Coord{a / 2.0, 0}, a / 2.0},
           {"x_S", {a / 2.0, 0}, "size_b", 0, "area_size_f_b", API_Coord{a / 2.0, b}, a / 2.0},
           {"y_S", {0, b / 2.0}, "size_l", kQuarterTurn, "area_size_f_l", API_Coord{a, b / 2.0}, b / 2.0},
           {"y_S", {a, b / 2.0}, "size_r", kQuarterTurn, "area_size_f_r", API_Coord{0, b / 2.0}, b / 2.0}}};
}

FigureSymbol Trapezoid(const PartParams& p)
{
  const double a = p.Real("A");
  const double b = p.Real("B");
  const double dx = p.Real("dx");
  const double dx2 = p.Real("dx2");
  return {{{{0, 0}}, {{a, 0}}, {{dx2, b}}, {{dx, b}}},
          0,
          0,
          {(a + dx + dx2) / 4.0, b / 2.0},
          {{"t_S", {(dx + dx2) / 2.0, b}, "size_t"},
           {"b_S", {a / 2.0, 0}, "size_b"},
           {"y_S", {dx, b / 2.0}, "size_p", kQuarterTurn}}};
}

FigureSymbol Circle(const PartParams& p)
{
  const double r = p.Real("ArcRadius");
  return {{}, r, r, {0, 0}, {{"radius_S", {r / 2.0, 0}, "size_r"}}};
}

FigureSymbol Ellipse(const PartParams& p)
{
  const double rx = p.Real("ArcRadiusX");
  const double ry = p.Real("ArcRadiusY");
  return {{},
          rx,
          ry,
          {0, 0},
          {{"radiusX_S", {rx / 2.0, 0}, "size_rx"}, {"radiusY_S", {0, ry / 2.0}, "size_ry", kQuarterTurn}}};
}

// The sector: centre, start of the arc on the x axis, arc of ArcAngle.
FigureSymbol Sector(const PartParams& p)
{
  const double r = p.Real("ArcRadius");
  const double a = p.Real("ArcAngle");
  return {{{{0, 0}}, {{r, 0}, a}, {Polar(r, a)}},
          0,
          0,
          Polar(r / 2.0, a / 2.0),
          {{"radius_S", {r / 2.0, 0}, "size_r"}, {"arcAngle_S", Polar(r, a / 2.0), "size_a", a / 2.0 + kQuarterTurn}}};
}

// A circular segment: the arc from `start` by `sweep` to `end`, closed by
// its chord; `top` is the arc's middle point.
FigureSymbol Segment(const API_Coord& start, double sweep, const API_Coord& end, const API_Coord& top,
                     const API_Coord& radiusAt)
{
  const API_Coord chordMid = Mid(start, end);
  const double chord = Direction(start, end);
  return {{{start, sweep}, {end}},
          0,
          0,
          Mid(chordMid, top),
          {{"base_S", chordMid, "size_b", chord},
           {"height_S", Mid(chordMid, top), "size_p", chord + kQuarterTurn},
           {"radius_S", radiusAt, "size_r"},
           {"arcAngle_S", top, "size_a", chord}}};
}

FigureSymbol SegmentByCentre(const PartParams& p)
{
  const double r = p.Real("ArcRadius");
  const double a = p.Real("ArcAngle");
  return Segment({r, 0}, a, Polar(r, a), Polar(r, a / 2.0), {r / 2.0, 0});
}

// The signed sweep from `from` to `to` round `centre` that passes `via`.
double SweepThrough(const API_Coord& centre, const API_Coord& from, const API_Coord& via, const API_Coord& to)
{
  const auto turn = [&](const API_Coord& q) {
    const double t = Direction(centre, q) - Direction(centre, from);
    return t < 0.0 ? t + 2.0 * kPi : t;
  };
  const double ccw = turn(to);
  return turn(via) < ccw ? ccw : ccw - 2.0 * kPi;
}

// Chord start (x3, y3), chord end (x1, y1), a point on the arc (x2, y2).
FigureSymbol ArcThreePoints(const PartParams& p)
{
  const API_Coord start{p.Real("x3"), p.Real("y3")};
  const API_Coord end{p.Real("x1"), p.Real("y1")};
  const API_Coord via{p.Real("x2"), p.Real("y2")};
  // The circle through the three points; collinear points keep the chord.
  const double ax = end.x - start.x, ay = end.y - start.y;
  const double bx = via.x - start.x, by = via.y - start.y;
  const double d = 2.0 * (ax * by - ay * bx);
  double sweep = 0.0;
  API_Coord centre = Mid(start, end);
  if (d != 0.0) {
    const double a2 = ax * ax + ay * ay;
    const double b2 = bx * bx + by * by;
    centre = {start.x + (by * a2 - ay * b2) / d, start.y + (ax * b2 - bx * a2) / d};
    sweep = SweepThrough(centre, start, via, end);
  }
  return Segment(start, sweep, end, via, Mid(centre, Mid(start, end)));
}

using SymbolOf = FigureSymbol (*)(const PartParams&);

SymbolOf FigureSymbolOf(const GS::UniString& part)
{
  static const std::pair<const char16_t*, SymbolOf> kinds[] = {
      {u"TalvoSoftwareAreaTriangle", Triangle},       {u"TalvoSoftwareAreaRect", Rectangle},
      {u"TalvoSoftwareAreaTrapezoid", Trapezoid},     {u"TalvoSoftwareAreaCircle", Circle},
      {u"TalvoSoftwareAreaArc", Sector},              {u"TalvoSoftwareAreaEllipse", Ellipse},
      {u"TalvoSoftwareAreaArcOrigo", SegmentByCentre}, {u"TalvoSoftwareAreaArc3Point", ArcThreePoints}};
  for (const auto& [name, symbol] : kinds)
    if (part == GS::UniString(name))
      return symbol;
  return nullptr;
}

void DrawText(SvgCanvas& canvas, const API_Coord& at, double size, double angle, std::u16string text,
              const std::string& colour)
{
  if (!text.empty())
    canvas.Text({at, size, angle, kCentreAnchor, APIJust_Center, std::move(text), colour});
}

// The figure's outline as corners in the plan, arcs and ellipses as chords,
// for the inside test of its labels.
std::vector<API_Coord> OutlineCorners(const PartFrame& frame, const FigureSymbol& symbol)
{
  constexpr int kArcPieces = 16;
  std::vector<API_Coord> corners;
  if (symbol.outline.empty()) {
    for (int i = 0; i < 2 * kArcPieces; ++i) {
      const double t = kPi * i / kArcPieces;
      corners.push_back(frame.ToPlan({symbol.rx * std::cos(t), symbol.ry * std::sin(t)}));
    }
    return corners;
  }
  for (std::size_t i = 0; i < symbol.outline.size(); ++i) {
    const SvgVertex& from = symbol.outline[i];
    const API_Coord& to = symbol.outline[(i + 1) % symbol.outline.size()].at;
    corners.push_back(frame.ToPlan(from.at));
    if (from.arcToNext == 0.0 || !std::isfinite(from.arcToNext))
      continue;
    // Points of the arc: the chord's middle moved by the sagitta's share.
    const double chord = std::hypot(to.x - from.at.x, to.y - from.at.y);
    if (chord == 0.0)
      continue;
    const double half = from.arcToNext / 2.0;
    const double r = chord / (2.0 * std::sin(std::fabs(half)));
    const API_Coord mid = Mid(from.at, to);
    const API_Coord left{-(to.y - from.at.y) / chord, (to.x - from.at.x) / chord};
    const double toCentre = chord / 2.0 / std::tan(half);
    const API_Coord centre{mid.x + left.x * toCentre, mid.y + left.y * toCentre};
    const double start = Direction(centre, from.at);
    for (int k = 1; k < kArcPieces; ++k) {
      const double t = start + from.arcToNext * k / kArcPieces;
      corners.push_back(frame.ToPlan({centre.x + r * std::cos(t), centre.y + r * std::sin(t)}));
    }
  }
  return corners;
}

void DrawFigure(SvgCanvas& canvas, const PartFrame& frame, const PartParams& params, const FigureSymbol& symbol)
{
  const SvgPen outline = SvgPenOf(static_cast<Int32>(params.Real("area_cont_pen")));
  if (!symbol.outline.empty())
    canvas.Contours({frame.ToPlan(symbol.outline)}, true, outline);
  else if (symbol.rx > 0.0)
    canvas.EllipseArc(frame.ToPlan({0, 0}), symbol.rx, symbol.ry / symbol.rx, frame.Angle(), 0.0, 2.0 * kPi, outline);
  const int figure = canvas.Figure(OutlineCorners(frame, symbol));

  const std::string ink = SvgPenOf(static_cast<Int32>(params.Real("area_symbol_pen"))).colour;
  const API_Coord mark{symbol.markAt.x + params.Real("area_symbol_x"), symbol.markAt.y + params.Real("area_symbol_y")};
  DrawText(canvas, frame.ToPlan(mark), params.Real("area_symbol_size"), frame.UprightAngle(0.0),
           params.Text("area_symbol_fig") + params.Text("area_symbol_str"), ink);

  const double size = params.Real("area_dim_size");
  for (const Label& label : symbol.labels) {
    if (label.shownBy != nullptr && !params.Flag(label.shownBy))
      continue;
    const std::string offset(label.offset);
    const API_Coord at{label.at.x + params.Real((offset + "_x").c_str()),
                       label.at.y + params.Real((offset + "_y").c_str())};
    const double half = size / 2.0;
    // Out of the figure: the side's normal that points away from the mark.
    const auto site = [&](const API_Coord& side, const API_Coord& wanted) {
      API_Coord normal{-std::sin(label.direction), std::cos(label.direction)};
      if (normal.x * (side.x - symbol.markAt.x) + normal.y * (side.y - symbol.markAt.y) < 0.0)
        normal = {-normal.x, -normal.y};
      const API_Coord edge = frame.ToPlan(side);
      const API_Coord tip = frame.ToPlan({side.x + normal.x, side.y + normal.y});
      return SvgLabelSite{frame.ToPlan(wanted), edge, {tip.x - edge.x, tip.y - edge.y}, std::fabs(label.halfLength)};
    };
    std::vector<SvgLabelSite> sites{site(label.at, at)};
    if (label.opposite) {
      // Half a text height in from the side, as the part's own offsets put it.
      const API_Coord& side = *label.opposite;
      SvgLabelSite other = site(side, side);
      const API_Coord inward = frame.ToPlan({side.x, side.y});
      other.at = {inward.x - other.outward.x * half, inward.y - other.outward.y * half};
      sites.push_back(other);
    }
    canvas.EdgeLabel({std::move(sites), size,
                      frame.UprightAngle(label.direction), params.Text(label.text), ink, figure});
  }
}

void DrawBox(SvgCanvas& canvas, const PartFrame& frame, const StoredElement& stored, const GS::UniString& name,
             double scale)
{
  const API_ObjectType& object = stored.element.object;
  const SvgPen pen = SvgPenOf(object.pen);
  canvas.Contours({frame.ToPlan({{{0, 0}}, {{object.xRatio, 0}}, {{object.xRatio, object.yRatio}},
                                 {{0, object.yRatio}}})},
                  true, pen);
  DrawText(canvas, frame.ToPlan({object.xRatio / 2.0, object.yRatio / 2.0}), kNameTextMm * scale * kMetresPerMm,
           frame.UprightAngle(0.0), name.Std(), pen.colour);
}

}  // namespace

SvgPen SvgPenOf(Int32 pen)
{
  const StoredAttribute* stored = FindAttribute(API_PenID, pen);
  if (stored == nullptr)
    return {};
  const double width = stored->attribute.pen.width;
  return {SvgColour(stored->attribute.pen.rgb), std::isfinite(width) && width > 0.0 ? width : SvgPen().width};
}

PartFrame::PartFrame(const API_ObjectType& object)
    : pos_(object.pos), angle_(object.angle), reflected_(object.reflected)
{
}

API_Coord PartFrame::ToPlan(const API_Coord& local) const
{
  const double u = reflected_ ? -local.x : local.x;
  const double c = std::cos(angle_);
  const double s = std::sin(angle_);
  return {pos_.x + u * c - local.y * s, pos_.y + u * s + local.y * c};
}

SvgContour PartFrame::ToPlan(const SvgContour& local) const
{
  SvgContour plan;
  for (const SvgVertex& vertex : local)
    plan.push_back({ToPlan(vertex.at), reflected_ ? -vertex.arcToNext : vertex.arcToNext});
  return plan;
}

double PartFrame::UprightAngle(double local) const
{
  const API_Coord tip = ToPlan(Polar(1.0, local));
  const API_Coord base = ToPlan({0, 0});
  double angle = Direction(base, tip);
  if (angle > kQuarterTurn)
    angle -= kPi;
  else if (angle <= -kQuarterTurn)
    angle += kPi;
  return angle;
}

const StoredParam* PartParams::Find(const char* name) const
{
  const StoredParam* found = nullptr;
  for (const StoredParam& param : params_)
    if (std::strncmp(param.record.name, name, API_NameLen) == 0)
      found = &param;
  return found;
}

double PartParams::Real(const char* name) const
{
  const StoredParam* param = Find(name);
  return param != nullptr && param->record.dim1 == 0 && std::isfinite(param->record.realValue)
             ? param->record.realValue
             : 0.0;
}

std::u16string PartParams::Text(const char* name) const
{
  const StoredParam* param = Find(name);
  if (param == nullptr || param->record.typeID != APIParT_CString || param->record.dim1 != 0)
    return {};
  const char16_t* text = param->record.uStrValue;
  std::size_t length = 0;
  while (length < API_UAddParStrLen && text[length] != 0)
    ++length;
  return std::u16string(text, length);
}

Int32 PartParams::Rows(const char* name) const
{
  const StoredParam* param = Find(name);
  return param != nullptr ? std::max<Int32>(param->record.dim1, 0) : 0;
}

std::u16string PartParams::Cell(const char* name, Int32 row, Int32 column) const
{
  const StoredParam* param = Find(name);
  if (param == nullptr || param->record.typeID != APIParT_CString)
    return {};
  const Int32 rows = param->record.dim1;
  const Int32 columns = std::max<Int32>(param->record.dim2, 1);
  if (row < 1 || row > rows || column < 1 || column > columns)
    return {};
  // The texts stand one after the other, each ending in a NUL unit.
  std::size_t wanted = static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(columns) +
                       static_cast<std::size_t>(column - 1);
  const std::vector<char>& bytes = param->arrayBytes;
  std::u16string text;
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    char16_t unit;
    std::memcpy(&unit, bytes.data() + at, sizeof unit);
    if (unit != 0) {
      if (wanted == 0)
        text += unit;
    } else if (wanted-- == 0) {
      return text;
    }
  }
  return wanted == 0 ? text : std::u16string();
}

void DrawLibraryPart(SvgCanvas& canvas, const StoredElement& stored, double scale)
{
  const LibPartDefinition* part = LibraryPart(stored.element.object.libInd);
  const GS::UniString name = part != nullptr ? part->name : GS::UniString();
  const PartFrame frame(stored.element.object);
  const PartParams params(stored.memo.params);
  if (SymbolOf symbol = FigureSymbolOf(name); symbol != nullptr)
    DrawFigure(canvas, frame, params, symbol(params));
  else if (name == GS::UniString(u"TalvoSoftwareAreaSchedule"))
    DrawAreaTable(canvas, frame, params, scale);
  else
    DrawBox(canvas, frame, stored, name, scale);
}

}  // namespace pln::host
