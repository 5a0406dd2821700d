// The area table's symbol, laid out from its parameters in the part's own
// frame, downwards from its origin at the top left corner:
//   t      = "text_size" (mm on paper) at the drawing's scale, the text height;
//   widths = "matrix_colw1..3" x t: mark (with the item number), formula, area;
//   pitch  = "matrix_rowh" x t, the height of one line;
// then the title line ("matrix_title_b"), the header ("head_show"), the
// "matrix_rowcnt" body rows of "matrix_area", each as tall as its formula
// has lines (split at "#"), and the total line ("total_show").

#include "host_svg_parts.h"
#include "host_svg_partframe.h"

#include <algorithm>

namespace pln::host {
namespace {

constexpr double kMetresPerMm = 0.001;
constexpr int kMiddleLeft = 3;
constexpr int kCentre = 4;
constexpr int kMiddleRight = 5;
enum Column : Int32 { kMark = 1, kNumber = 2, kFormula = 3, kArea = 4 };

std::vector<std::u16string> FormulaLines(const std::u16string& formula)
{
  std::vector<std::u16string> lines(1);
  for (char16_t ch : formula) {
    if (ch == u'#')
      lines.emplace_back();
    else
      lines.back() += ch;
  }
  return lines;
}

class TableLayout {
public:
  TableLayout(SvgCanvas& canvas, const PartFrame& frame, const PartParams& params, double scale)
      : canvas_(canvas), frame_(frame), params_(params),
        t_(params.Real("text_size") * scale * kMetresPerMm),
        w1_(params.Real("matrix_colw1") * t_), w2_(params.Real("matrix_colw2") * t_),
        w3_(params.Real("matrix_colw3") * t_), pitch_(params.Real("matrix_rowh") * t_),
        framePen_(SvgPenOf(static_cast<Int32>(params.Real("matrix_pen")))),
        textPen_(SvgPenOf(static_cast<Int32>(params.Real("text_pen"))).colour),
        minusPen_(SvgPenOf(static_cast<Int32>(params.Real("text_pen_minus"))).colour)
  {
  }

  void Draw()
  {
    if (params_.Flag("matrix_title_b"))
      Title();
    if (params_.Flag("head_show"))
      Header();
    const Int32 rows = std::clamp(static_cast<Int32>(params_.Real("matrix_rowcnt")), Int32(0),
                                  params_.Rows("matrix_area"));
    for (Int32 row = 1; row <= rows; ++row)
      BodyRow(row);
    if (params_.Flag("total_show"))
      Total();
  }

private:
  void Title()
  {
    Put({0, top_ - pitch_ / 2.0}, kMiddleLeft, params_.Text("matrix_title"), textPen_);
    top_ -= pitch_;
  }

  void Header()
  {
    Frame(pitch_);
    const double middle = top_ - pitch_ / 2.0;
    Put({w1_ / 2.0, middle}, kCentre, params_.Cell("matrix_heder_text", 1, 1), textPen_);
    Put({w1_ + w2_ / 2.0, middle}, kCentre, params_.Cell("matrix_heder_text", 2, 1), textPen_);
    Put({w1_ + w2_ + w3_ / 2.0, middle}, kCentre, params_.Cell("matrix_heder_text", 3, 1), textPen_);
    top_ -= pitch_;
  }

  void BodyRow(Int32 row)
  {
    const std::vector<std::u16string> formula = FormulaLines(params_.Cell("matrix_area", row, kFormula));
    const double height = static_cast<double>(formula.size()) * pitch_;
    Frame(height);
    const double middle = top_ - height / 2.0;
    Put({w1_ / 2.0, middle}, kCentre,
        params_.Cell("matrix_area", row, kMark) + params_.Cell("matrix_area", row, kNumber), textPen_);
    for (std::size_t line = 0; line < formula.size(); ++line)
      Put({w1_ + t_ / 2.0, top_ - (static_cast<double>(line) + 0.5) * pitch_}, kMiddleLeft, formula[line], textPen_);
    const std::u16string area = params_.Cell("matrix_area", row, kArea);
    Put({w1_ + w2_ + w3_ - t_ / 2.0, middle}, kMiddleRight, area, area.starts_with(u'-') ? minusPen_ : textPen_);
    top_ -= height;
  }

  void Total()
  {
    Frame(pitch_);
    const double middle = top_ - pitch_ / 2.0;
    Put({w1_ + w2_ / 2.0, middle}, kCentre, params_.Text("total_text"), textPen_);
    Put({w1_ + w2_ + w3_ - t_ / 2.0, middle}, kMiddleRight, params_.Text("total_val_text"), textPen_);
    top_ -= pitch_;
  }

  // One row's cells: its outline and the two column rules.
  void Frame(double height)
  {
    const double width = w1_ + w2_ + w3_;
    const double bottom = top_ - height;
    canvas_.Contours({frame_.ToPlan({{{0, top_}}, {{width, top_}}, {{width, bottom}}, {{0, bottom}}})}, true,
                     framePen_);
    canvas_.Line(frame_.ToPlan({w1_, top_}), frame_.ToPlan({w1_, bottom}), framePen_);
    canvas_.Line(frame_.ToPlan({w1_ + w2_, top_}), frame_.ToPlan({w1_ + w2_, bottom}), framePen_);
  }

  void Put(const API_Coord& at, int anchor, std::u16string text, const std::string& colour)
  {
    if (text.empty())
      return;
    const API_JustID just = anchor == kMiddleLeft ? APIJust_Left : anchor == kCentre ? APIJust_Center : APIJust_Right;
    canvas_.Text({frame_.ToPlan(at), t_, frame_.UprightAngle(0.0), anchor, just, std::move(text), colour});
  }

  SvgCanvas& canvas_;
  const PartFrame& frame_;
  const PartParams& params_;
  double t_, w1_, w2_, w3_, pitch_;
  SvgPen framePen_;
  std::string textPen_, minusPen_;
  double top_ = 0.0;
};

}  // namespace

void DrawAreaTable(SvgCanvas& canvas, const PartFrame& frame, const PartParams& params, double scale)
{
  TableLayout(canvas, frame, params, scale).Draw();
}

}  // namespace pln::host
