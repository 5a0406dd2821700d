// The add-on's built-in library: the eight figure parts and the area table.
// Every parameter the system writes or reads is here with its kind; the
// defaults are the system's own default settings for the figure styles and
// table styles, so a part placed with its defaults looks like one the system
// styled. Geometry defaults are plain unit sizes.

#include "host_libpart.h"

#include <initializer_list>

namespace pln::host {
namespace {

constexpr double kQuarterTurn = 3.141592653589793 / 2.0;

LibParamDefinition Num(const char* name, API_AddParID type, double value)
{
  LibParamDefinition param;
  param.name = name;
  param.type = type;
  param.real = value;
  return param;
}

LibParamDefinition Len(const char* name, double value = 0.0) { return Num(name, APIParT_Length, value); }
LibParamDefinition Pen(const char* name, double value) { return Num(name, APIParT_PenCol, value); }
LibParamDefinition LineType(const char* name, double value) { return Num(name, APIParT_LineTyp, value); }
LibParamDefinition Flag(const char* name, bool value) { return Num(name, APIParT_Boolean, value ? 1.0 : 0.0); }

LibParamDefinition Text(const char* name, const char16_t* value = u"")
{
  LibParamDefinition param;
  param.name = name;
  param.type = APIParT_CString;
  param.text = GS::UniString(value);
  return param;
}

LibParamDefinition Choice(const char* name, const char16_t* value, std::initializer_list<const char16_t*> choices)
{
  LibParamDefinition param = Text(name, value);
  for (const char16_t* choice : choices)
    param.valueListTexts.push_back(GS::UniString(choice));
  return param;
}

using Params = std::vector<LibParamDefinition>;

void Append(Params& to, std::initializer_list<LibParamDefinition> params) { to.insert(to.end(), params); }

void AppendOffsets(Params& to, std::initializer_list<const char*> prefixes)
{
  for (const char* prefix : prefixes) {
    to.push_back(Len((std::string(prefix) + "_x").c_str()));
    to.push_back(Len((std::string(prefix) + "_y").c_str()));
  }
}

// The parameters every figure part shares: its two sizes, the mark and its
// style row, the fill and the contour pen.
Params FigureCommon()
{
  return {Len("A", 1.0), Len("B", 1.0),
          Text("area_symbol_font", u"ＭＳ ゴシック 日本語"), Num("area_symbol_size", APIParT_RealNum, 0.5),
          Flag("area_size_f", true), Num("area_dim_size", APIParT_RealNum, 0.5),
          Num("area_fill", APIParT_FillPat, 65), Pen("area_fill_pen", 19), Pen("area_fill_back_pen", 0),
          Pen("area_symbol_pen", 1), Pen("area_cont_pen", 1), Text("area_symbol_fig"),
          Text("area_symbol_str"), Len("area_symbol_x"), Len("area_symbol_y")};
}

LibParamDefinition InnerMark(const char16_t* value)
{
  return Choice("area_in_type", value, {u"×", u"／", u"＼", u"なし"});
}

LibParamDefinition PerLineForm() { return Choice("area_perline_form", u"ﾀｲﾌﾟ2", {u"ﾀｲﾌﾟ1", u"ﾀｲﾌﾟ2", u"なし"}); }

// The outline, per-line and angle lines of the arc kinds.
void AppendArcLines(Params& to)
{
  Append(to, {Flag("area_fan_disp", true), Pen("area_fan_pen", 1), LineType("area_fan_line", 4),
              Flag("area_perline_disp", true), Pen("area_perline_pen", 1), LineType("area_perline_line", 1),
              Flag("area_angle_disp", true), Pen("area_angle_pen", 1), LineType("area_angle_line", 1)});
  AppendOffsets(to, {"size_b", "size_r", "size_a", "size_p"});
}

LibPartDefinition Triangle()
{
  LibPartDefinition part{GS::UniString(u"TalvoSoftwareAreaTriangle"), APILib_ObjectID, true, FigureCommon()};
  Append(part.params, {InnerMark(u"なし"), Pen("area_in_pen", 1), LineType("area_in_line", 1), PerLineForm(),
                       Pen("area_perline_pen", 20), LineType("area_perline_line", 1),
                       Num("area_perline_Size", APIParT_RealNum, 0.2)});
  AppendOffsets(part.params, {"size_b", "size_p"});
  Append(part.params, {Len("dx"), Text("Base_S"), Text("Height_S")});
  return part;
}

LibPartDefinition Rect()
{
  LibPartDefinition part{GS::UniString(u"TalvoSoftwareAreaRect"), APILib_ObjectID, true, FigureCommon()};
  Append(part.params, {InnerMark(u"×"), Pen("area_in_pen", 1), LineType("area_in_line", 1),
                       Flag("area_size_f_t", false), Flag("area_size_f_b", true), Flag("area_size_f_l", false),
                       Flag("area_size_f_r", true)});
  AppendOffsets(part.params, {"size_t", "size_b", "size_l", "size_r"});
  Append(part.params, {Text("x_S"), Text("y_S")});
  return part;
}

LibPartDefinition Trapezoid()
{
  LibParamDefinition position = Num("area_perline_type", APIParT_Integer, 1);
  position.valueListReals = {1, 2, 3};
  LibPartDefinition part{GS::UniString(u"TalvoSoftwareAreaTrapezoid"), APILib_ObjectID, true, FigureCommon()};
  Append(part.params, {InnerMark(u"×"), Pen("area_in_pen", 1), LineType("area_in_line", 1), PerLineForm(),
                       Pen("area_perline_pen", 20), LineType("area_perline_line", 1), position,
                       Num("area_perline_Size", APIParT_RealNum, 0.2)});
  AppendOffsets(part.params, {"size_t", "size_b", "size_p"});
  Append(part.params, {Len("dx"), Len("dx2", 1.0), Text("t_S"), Text("b_S"), Text("y_S")});
  return part;
}

LibPartDefinition Circle()
{
  LibPartDefinition part{GS::UniString(u"TalvoSoftwareAreaCircle"), APILib_ObjectID, true, FigureCommon()};
  Append(part.params, {Flag("area_fan_disp", true), Pen("area_fan_pen", 1), LineType("area_fan_line", 4)});
  AppendOffsets(part.params, {"size_r"});
  Append(part.params, {Len("ArcRadius", 1.0), Text("radius_S")});
  return part;
}

// The sector draws only its outline flag and its angle lines.
LibPartDefinition Sector()
{
  LibPartDefinition part{GS::UniString(u"TalvoSoftwareAreaArc"), APILib_ObjectID, true, FigureCommon()};
  Append(part.params, {Flag("area_fan_disp", true), Flag("area_angle_disp", true), Pen("area_angle_pen", 1),
                       LineType("area_angle_line", 1)});
  AppendOffsets(part.params, {"size_r", "size_a"});
  Append(part.params, {Len("ArcRadius", 1.0), Num("ArcAngle", APIParT_Angle, kQuarterTurn), Text("radius_S"),
                       Text("arcAngle_S")});
  return part;
}

LibPartDefinition Ellipse()
{
  LibPartDefinition part{GS::UniString(u"TalvoSoftwareAreaEllipse"), APILib_ObjectID, true, FigureCommon()};
  Append(part.params, {Flag("area_fan_disp", true), Pen("area_fan_pen", 1), LineType("area_fan_line", 4)});
  AppendOffsets(part.params, {"size_rx", "size_ry"});
  Append(part.params, {Len("ArcRadiusX", 1.0), Len("ArcRadiusY", 0.5), Text("radiusX_S"), Text("radiusY_S")});
  return part;
}

LibPartDefinition SegmentByCentre()
{
  LibPartDefinition part{GS::UniString(u"TalvoSoftwareAreaArcOrigo"), APILib_ObjectID, true, FigureCommon()};
  AppendArcLines(part.params);
  Append(part.params, {Len("ArcRadius", 1.0), Num("ArcAngle", APIParT_Angle, kQuarterTurn), Text("base_S"),
                       Text("radius_S"), Text("arcAngle_S"), Text("height_S")});
  return part;
}

// The three points sit in the part's own frame: chord start (x3, y3), chord
// end (x1, y1), a point on the arc (x2, y2); by default a half circle.
LibPartDefinition ArcThreePoints()
{
  LibPartDefinition part{GS::UniString(u"TalvoSoftwareAreaArc3Point"), APILib_ObjectID, true, FigureCommon()};
  AppendArcLines(part.params);
  Append(part.params, {Text("base_S"), Text("radius_S"), Text("arcAngle_S"), Text("height_S"), Len("x1", 1.0),
                       Len("y1"), Len("x2", 0.5), Len("y2", 0.5), Len("x3"), Len("y3")});
  return part;
}

LibParamDefinition TextArray(const char* name, Int32 rows, Int32 columns, std::vector<GS::UniString> texts)
{
  LibParamDefinition param = Text(name);
  param.dim1 = rows;
  param.dim2 = columns;
  param.texts = std::move(texts);
  return param;
}

// An area table: title, header, a body of rows x 4 cells (mark, item
// number, formula, area) and a total line.
LibPartDefinition Schedule()
{
  LibParamDefinition freeInput = Flag("matrix_freeinput", false);
  freeInput.dim1 = 1;
  freeInput.dim2 = 1;
  LibPartDefinition part{GS::UniString(u"TalvoSoftwareAreaSchedule"), APILib_ObjectID, true, {}};
  Append(part.params,
         {Len("A", 1.0), Len("B", 1.0), Flag("matrix_title_b", true), Flag("head_show", true),
          Num("text_size", APIParT_RealNum, 5.0),
          TextArray("matrix_heder_text", 3, 1, {GS::UniString(u"記号"), GS::UniString(u"計算式"), GS::UniString(u"面積")}),
          Num("matrix_colw1", APIParT_Integer, 3), Num("matrix_colw2", APIParT_Integer, 45),
          Num("matrix_colw3", APIParT_Integer, 12), Num("matrix_rowh", APIParT_Integer, 2), Pen("matrix_pen", 4),
          Pen("text_pen", 1), Pen("text_pen_minus", 20), Text("text_font", u"ＭＳ ゴシック 日本語"),
          Text("total_text", u"合計"), Text("matrix_title"), Flag("show_mark", true), Text("matrix_title_mark1"),
          Text("matrix_title_mark2"), Text("matrix_mark1"), Text("matrix_mark2"),
          Choice("type", u"求積表", {u"求積表", u"求積表の合計"}), TextArray("matrix_area", 1, 4, {}),
          Num("matrix_rowcnt", APIParT_Integer, 0), freeInput, Flag("total_show", true), Text("total_val_text")});
  return part;
}

}  // namespace

const std::vector<LibPartDefinition>& AddOnLibraryParts()
{
  static const std::vector<LibPartDefinition> parts{Triangle(), Rect(),           Trapezoid(),      Circle(),
                                                    Sector(),   SegmentByCentre(), ArcThreePoints(), Ellipse(),
                                                    Schedule()};
  return parts;
}

}  // namespace pln::host
