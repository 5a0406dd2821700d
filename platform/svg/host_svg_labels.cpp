// Placing the length labels of figures, as a printed area drawing does.
//
// Vocabulary: a label's box is the rectangle its letters fill, turned along
// its edge; its clearance is a fifth of its height kept free all round. A
// place is free when the box with its clearance overlaps no text drawn or
// placed before and crosses no line.
//
// The places tried, in order, each slid along the side in half heights:
//   1. inside the figure, where the part asks for it, then at the side of
//      the same length (a rectangle's opposite side);
//   2. just outside one of these sides, where no figure is, so that the
//      label is not read as a neighbour's;
//   3. further out along a side's outward normal, step by step, the nearest
//      free place of either side, with a leader line from the side.
// The search is bounded; a label that finds no free place stands where the
// part asks for it.

#include "host_svg_canvas.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace pln::host {
namespace {

constexpr double kClearance = 0.2;   // of the text height
constexpr double kSlideStep = 0.5;   // of the text height
constexpr int kSlides = 8;           // each way
constexpr int kOutwardSteps = 60;    // of half a text height: 30 heights out
constexpr int kFarSlides = 24;       // each way, further out
// Lines closer than this (metres) count as one: a leader may not run
// along a wall.
constexpr double kAlong = 1e-6;
// A leader is a fine line, as dimension lines are (mm on paper).
constexpr double kLeaderMm = 0.13;

API_Coord Add(const API_Coord& a, const API_Coord& b) { return {a.x + b.x, a.y + b.y}; }
API_Coord Sub(const API_Coord& a, const API_Coord& b) { return {a.x - b.x, a.y - b.y}; }
API_Coord Scaled(const API_Coord& a, double f) { return {a.x * f, a.y * f}; }
double Dot(const API_Coord& a, const API_Coord& b) { return a.x * b.x + a.y * b.y; }
API_Coord Left(const API_Coord& u) { return {-u.y, u.x}; }

std::vector<API_Coord> Corners(const SvgBox& box)
{
  const API_Coord du = Scaled(box.u, box.halfU);
  const API_Coord dv = Scaled(Left(box.u), box.halfV);
  return {Add(Add(box.centre, du), dv), Add(Sub(box.centre, du), dv), Sub(Sub(box.centre, du), dv),
          Sub(Add(box.centre, du), dv)};
}

// The separating-axis test of two turned rectangles: they overlap unless
// one of their four axes holds their shadows apart.
bool Overlap(const SvgBox& a, const SvgBox& b)
{
  for (const API_Coord& axis : {a.u, Left(a.u), b.u, Left(b.u)}) {
    const auto shadow = [&](const SvgBox& box) {
      return std::fabs(Dot(box.u, axis)) * box.halfU + std::fabs(Dot(Left(box.u), axis)) * box.halfV;
    };
    if (std::fabs(Dot(Sub(a.centre, b.centre), axis)) >= shadow(a) + shadow(b))
      return false;
  }
  return true;
}

// Whether the segment passes through the box: clipped against the box's
// slabs in its own axes (Liang-Barsky).
bool Crosses(const SvgBox& box, const API_Coord& from, const API_Coord& to)
{
  const API_Coord v = Left(box.u);
  const API_Coord p = Sub(from, box.centre);
  const API_Coord d = Sub(to, from);
  double t0 = 0.0, t1 = 1.0;
  for (const auto& [axis, half] : {std::pair{box.u, box.halfU}, std::pair{v, box.halfV}}) {
    const double start = Dot(p, axis);
    const double run = Dot(d, axis);
    if (std::fabs(run) < 1e-12) {
      if (std::fabs(start) >= half)
        return false;
      continue;
    }
    double a = (-half - start) / run, b = (half - start) / run;
    if (a > b)
      std::swap(a, b);
    t0 = std::max(t0, a);
    t1 = std::min(t1, b);
    if (t0 >= t1)
      return false;
  }
  return true;
}

bool Contains(const std::vector<API_Coord>& polygon, const API_Coord& q)
{
  bool inside = false;
  for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const API_Coord& a = polygon[i];
    const API_Coord& b = polygon[j];
    if ((a.y > q.y) != (b.y > q.y) && q.x < (b.x - a.x) * (q.y - a.y) / (b.y - a.y) + a.x)
      inside = !inside;
  }
  return inside;
}

}  // namespace

int SvgCanvas::Figure(const std::vector<API_Coord>& outline)
{
  figures_.push_back(outline);
  return static_cast<int>(figures_.size()) - 1;
}

void SvgCanvas::EdgeLabel(const SvgEdgeLabel& label)
{
  if (!label.text.empty() && std::isfinite(label.size) && label.size > 0.0)
    labels_.push_back(label);
}

void SvgCanvas::PlaceLabels()
{
  for (const SvgEdgeLabel& label : labels_)
    Place(label);
  labels_.clear();
}

bool SvgCanvas::IsFree(const SvgBox& box) const
{
  for (const SvgBox& text : texts_)
    if (Overlap(box, text))
      return false;
  for (const auto& [from, to] : segments_)
    if (Crosses(box, from, to))
      return false;
  return true;
}

bool SvgCanvas::IsInsideFigure(const SvgBox& box, int figure) const
{
  if (figure < 0 || figure >= static_cast<int>(figures_.size()) || figures_[figure].size() < 3)
    return false;
  const std::vector<API_Coord> corners = Corners(box);
  return std::all_of(corners.begin(), corners.end(),
                     [&](const API_Coord& corner) { return Contains(figures_[figure], corner); });
}

// A leader may cross lines (it leaves the figure) but not run along one,
// and never crosses a text.
bool SvgCanvas::LeaderIsFree(const API_Coord& from, const API_Coord& to) const
{
  if (std::any_of(texts_.begin(), texts_.end(), [&](const SvgBox& text) { return Crosses(text, from, to); }))
    return false;
  const API_Coord d = Sub(to, from);
  const double length = std::hypot(d.x, d.y);
  if (length == 0.0)
    return true;
  const API_Coord u = Scaled(d, 1.0 / length);
  return std::none_of(segments_.begin(), segments_.end(), [&](const auto& segment) {
    const double a = Dot(Sub(segment.first, from), u), b = Dot(Sub(segment.second, from), u);
    const bool onLine = std::fabs(Dot(Sub(segment.first, from), Left(u))) < kAlong &&
                        std::fabs(Dot(Sub(segment.second, from), Left(u))) < kAlong;
    return onLine && std::max(a, b) > kAlong && std::min(a, b) < length - kAlong;
  });
}

bool SvgCanvas::IsClearOfFigures(const SvgBox& box) const
{
  const std::vector<API_Coord> corners = Corners(box);
  for (const std::vector<API_Coord>& figure : figures_) {
    if (figure.size() < 3)
      continue;
    if (Contains(figure, box.centre) ||
        std::any_of(corners.begin(), corners.end(), [&](const API_Coord& c) { return Contains(figure, c); }))
      return false;
  }
  return true;
}

void SvgCanvas::Place(const SvgEdgeLabel& label)
{
  if (label.sites.empty())
    return;
  const double h = label.size;
  const double w = SvgTextWidth(label.text, h);
  const API_Coord u{std::cos(label.angle), std::sin(label.angle)};
  const double clear = kClearance * h;
  // The box with its clearance.
  const auto box = [&](const API_Coord& centre) { return SvgBox{centre, u, w / 2.0 + clear, h / 2.0 + clear}; };
  const auto slid = [&](const API_Coord& base, int k) {
    const int step = (k + 1) / 2 * (k % 2 == 0 ? -1 : 1);
    return Add(base, Scaled(u, step * kSlideStep * h));
  };
  // How far the box reaches towards its side along the side's normal.
  const auto reach = [&](const API_Coord& out) {
    return std::fabs(Dot(Left(u), out)) * (h / 2.0) + std::fabs(Dot(u, out)) * (w / 2.0);
  };
  const auto across = [&](const SvgLabelSite& site) {
    return Add(site.edge, Scaled(site.outward, reach(site.outward) + 2.0 * clear));
  };

  std::optional<API_Coord> chosen;
  const SvgLabelSite* from = &label.sites.front();
  bool leader = false;
  API_Coord start = from->edge;
  // 1. Inside, at each site in turn.
  for (const SvgLabelSite& site : label.sites)
    for (int k = 0; k <= 2 * kSlides && !chosen; ++k)
      if (const API_Coord c = slid(Sub(site.at, Scaled(site.outward, 2.0 * clear)), k);
          IsFree(box(c)) && IsInsideFigure(box(c), label.figure)) {
        chosen = c;
        from = &site;
      }
  // 2. Just outside a site, where no figure is, so it is read as this one's.
  for (const SvgLabelSite& site : label.sites)
    for (int k = 0; k <= 2 * kSlides && !chosen; ++k)
      if (const API_Coord c = slid(across(site), k); IsFree(box(c)) && IsClearOfFigures(box(c))) {
        chosen = c;
        from = &site;
        start = site.edge;
        leader = k != 0;
      }
  // 3. Further out, the nearest free place of any site, with a leader from
  // the point of its side nearest to the label.
  for (int step = 0; step <= kOutwardSteps && !chosen; ++step)
    for (int k = 0; k <= 2 * kFarSlides && !chosen; ++k)
      for (const SvgLabelSite& site : label.sites) {
        const API_Coord c = slid(Add(across(site), Scaled(site.outward, step * kSlideStep * h)), k);
        const double along = std::clamp(Dot(Sub(c, site.edge), u), -site.halfLength, site.halfLength);
        const API_Coord foot = Add(site.edge, Scaled(u, along));
        if (!chosen && IsFree(box(c)) && IsClearOfFigures(box(c)) &&
            LeaderIsFree(foot, Sub(c, Scaled(site.outward, reach(site.outward) + clear)))) {
          chosen = c;
          from = &site;
          start = foot;
          leader = true;
        }
      }
  const API_Coord centre = chosen.value_or(label.sites.front().at);
  if (leader)
    Line(start, Sub(centre, Scaled(from->outward, reach(from->outward))), SvgPen{label.colour, kLeaderMm});
  Text({centre, h, label.angle, 4, APIJust_Center, label.text, label.colour});
}

}  // namespace pln::host
