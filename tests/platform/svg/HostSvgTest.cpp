// The host's pictures: golden bytes for each kind of element, for the area
// table and for every figure symbol; escaping; the empty picture.
// PLN_UPDATE_GOLDENS=1 rewrites the golden files instead of comparing.

#include "../PlatformTestSupport.h"
#include "host_goodies.h"
#include "host_libpart.h"
#include "host_svg.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <numbers>
#include <sstream>

namespace {

constexpr double kPi = std::numbers::pi;

std::string ReadFile(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void ExpectGolden(const std::string& name, const std::string& svg)
{
  const std::string path = std::string(TEST_DATA_DIR) + "/" + name;
  if (std::getenv("PLN_UPDATE_GOLDENS") != nullptr)
    std::ofstream(path, std::ios::binary) << svg;
  EXPECT_EQ(svg, ReadFile(path)) << "golden " << path;
}

API_Element Record(API_ElemTypeID type)
{
  API_Element element;
  element.header.typeID = type;
  element.header.layer = 1;
  return element;
}

// One parameter write: a number (angles in degrees) or, with text, a text;
// (i1, i2) address an array cell.
struct ParamValue {
  const char* name;
  double real = 0.0;
  const char16_t* text = nullptr;
  Int32 i1 = 0;
  Int32 i2 = 0;
};

class HostSvgTest : public HostTest {
protected:
  void SetUp() override
  {
    host.LoadAddOnLibraryParts();
    host.AddPen({1, 0, 0});        // 2
    host.AddPen({0, 0.5, 0});      // 3
    host.AddPen({0.2, 0.4, 1.0});  // 4
  }

  std::string Picture() const { return pln::host::DatabaseSvg(host, pln::host::FloorPlanDatabaseId()); }

  API_Guid Add(API_Element element)
  {
    EXPECT_EQ(host.AddElement(element), NoError);
    return element.header.guid;
  }

  void AddPolygon(API_Element element, const std::vector<std::vector<API_Coord>>& contours,
                  const std::vector<API_PolyArc>& arcs, bool closed)
  {
    PolygonMemo polygon(contours, arcs, closed);
    EXPECT_EQ(host.AddPolygonElement(element, polygon), NoError);
  }

  void AddText(const API_Coord& loc, int anchor, API_JustID just, double angle, const GS::UniString& content)
  {
    API_Element text = Record(API_TextID);
    text.text.loc = loc;
    text.text.size = 2.5;
    text.text.anchorPoint = API_AnchorID(anchor);
    text.text.just = just;
    text.text.angle = angle;
    text.text.pen = 4;
    const std::string bytes = content.ToStdString(CC_Default);
    API_ElementMemo memo;
    memo.textContent = BMAllocateHandle(static_cast<GSSize>(bytes.size() + 1), ALLOCATE_CLEAR, 0);
    std::memcpy(*memo.textContent, bytes.data(), bytes.size());
    EXPECT_EQ(host.AddElement(text, &memo), NoError);
    ACAPI_DisposeElemMemoHdls(&memo);
  }

  // Places the part with its defaults changed as given, through the
  // parameter transaction as the add-on does.
  void PlacePart(const char16_t* name, const API_Coord& pos, double angle, const std::vector<ParamValue>& values)
  {
    API_LibPart part;
    part.typeID = APILib_ObjectID;
    std::char_traits<char16_t>::copy(part.docuName, name, std::char_traits<char16_t>::length(name));
    ASSERT_EQ(ACAPI_LibPart_Search(&part), NoError);
    API_ParamOwnerType owner;
    owner.libInd = part.index;
    owner.typeID = API_ObjectID;
    ASSERT_EQ(ACAPI_Goodies('OPAR', &owner), NoError);
    for (const ParamValue& value : values) {
      API_ChangeParamType change;
      std::strncpy(change.name, value.name, API_NameLen - 1);
      change.ind1 = value.i1;
      change.ind2 = value.i2;
      change.realValue = value.real;
      change.uStrValue = value.text;
      EXPECT_EQ(ACAPI_Goodies('CHGP', &change), NoError) << value.name;
    }
    API_GetParamsType params;
    EXPECT_EQ(ACAPI_Goodies('GPAR', &params), NoError);
    EXPECT_EQ(ACAPI_Goodies('CPAR'), NoError);
    API_Element object = Record(API_ObjectID);
    object.object.libInd = part.index;
    object.object.pos = pos;
    object.object.angle = angle;
    object.object.xRatio = params.a;
    object.object.yRatio = params.b;
    object.object.pen = 1;
    API_ElementMemo memo;
    memo.params = params.params;
    EXPECT_EQ(host.AddElement(object, &memo), NoError);
    ACAPI_DisposeAddParHdl(&params.params);
  }
};

TEST_F(HostSvgTest, EachElementKindMatchesTheGolden)
{
  API_Element line = Record(API_LineID);
  line.line.begC = {0, 0};
  line.line.endC = {3, 1};
  line.line.linePen.penIndex = 2;
  Add(line);
  line.line.begC = {0, 1};
  line.line.linePen.penIndex = 99;  // no such pen: black
  Add(line);

  API_Element arc = Record(API_ArcID);
  arc.arc.origC = {5, 0};
  arc.arc.r = 1;
  arc.arc.endAng = kPi / 2;
  arc.arc.linePen.penIndex = 3;
  Add(arc);
  arc.arc.origC = {8, 0};  // elliptic, turned, more than a half turn
  arc.arc.r = 2;
  arc.arc.ratio = 0.5;
  arc.arc.angle = kPi / 6;
  arc.arc.begAng = kPi / 4;
  arc.arc.endAng = 3 * kPi / 2;
  Add(arc);

  API_Element circle = Record(API_CircleID);
  circle.circle.origC = {0, 5};
  circle.circle.r = 1;
  circle.circle.linePen.penIndex = 4;
  Add(circle);
  circle.circle.origC = {4, 5};
  circle.circle.r = 2;
  circle.circle.ratio = 0.25;
  circle.circle.angle = kPi / 3;
  Add(circle);

  API_Element polyline = Record(API_PolyLineID);
  polyline.polyLine.pen = 2;
  AddPolygon(polyline, {{{0, 8}, {2, 8}, {4, 10}, {4, 12}}}, {API_PolyArc{2, 3, kPi / 2}}, false);

  API_Element hatch = Record(API_HatchID);
  hatch.hatch.contPen = 2;
  hatch.hatch.fillPen = 3;
  AddPolygon(hatch, {{{6, 8}, {10, 8}, {10, 12}, {6, 12}}, {{7, 9}, {8, 9}, {8, 10}, {7, 10}}},
             {API_PolyArc{2, 3, -kPi / 2}}, true);

  AddText({0, 14}, 4, APIJust_Center, kPi / 6, GS::UniString(u"一行目\n2nd line"));
  AddText({10, 14}, 8, APIJust_Right, 0, GS::UniString(u"右下"));

  // Sent to the back: drawn first whatever its creation order.
  line.line.begC = {-1, -1};
  line.line.endC = {-2, -2};
  const API_Guid back = Add(line);
  ASSERT_EQ(ACAPI_Element_Tool(GS::Array<API_Guid>{back}, 'OBA0'), NoError);

  ExpectGolden("element_kinds.svg", Picture());
}

TEST_F(HostSvgTest, AreaTableMatchesTheGolden)
{
  ASSERT_EQ(pln::host::SetDatabaseScale(pln::host::FloorPlanDatabaseId(), 50.0), NoError);
  PlacePart(u"TalvoSoftwareAreaSchedule", {1, 2}, 0,
            {{"matrix_title", 0, u"床面積 1階"},
             {"text_size", 2.5},
             {"matrix_pen", 2},
             {"text_pen", 3},
             {"text_pen_minus", 4},
             {"matrix_area", 0, u"A", 1, 1},
             {"matrix_area", 0, u"1", 1, 2},
             {"matrix_area", 0, u"4.000×3.000÷2", 1, 3},
             {"matrix_area", 0, u"6.00", 1, 4},
             {"matrix_area", 0, u"B", 2, 1},
             {"matrix_area", 0, u"2", 2, 2},
             {"matrix_area", 0, u"6.000#×4.500#÷2", 2, 3},
             {"matrix_area", 0, u"13.50", 2, 4},
             {"matrix_area", 0, u"C", 3, 1},
             {"matrix_area", 0, u"3", 3, 2},
             {"matrix_area", 0, u"1.000×1.000", 3, 3},
             {"matrix_area", 0, u"-1.00", 3, 4},
             {"matrix_rowcnt", 3},
             {"total_val_text", 0, u"18.50"}});
  const std::string svg = Picture();
  ExpectGolden("area_table.svg", svg);
  // The three-line formula takes three pitches: rows of 2, 6 and 2 text
  // heights below the title and header (t = 2.5 mm x 50 = 125 mm).
  EXPECT_NE(svg.find(">×4.500</text>"), std::string::npos);
  EXPECT_NE(svg.find("fill=\"#3366ff\">-1.00</text>"), std::string::npos);
}

TEST_F(HostSvgTest, FigureSymbolsMatchTheGolden)
{
  const std::vector<ParamValue> look{{"area_cont_pen", 2},     {"area_symbol_pen", 3},   {"area_symbol_size", 0.5},
                                     {"area_dim_size", 0.3},   {"area_symbol_fig", 0, u"A"}, {"area_symbol_str", 0, u"1"}};
  const auto with = [&](std::vector<ParamValue> own) {
    own.insert(own.begin(), look.begin(), look.end());
    return own;
  };
  PlacePart(u"TalvoSoftwareAreaTriangle", {0, 0}, 0,
            with({{"A", 4}, {"B", 3}, {"dx", 1}, {"Base_S", 0, u"4000"}, {"Height_S", 0, u"3000"}}));
  PlacePart(u"TalvoSoftwareAreaRect", {6, 0}, kPi / 6,
            with({{"A", 6}, {"B", 4.5}, {"x_S", 0, u"6000"}, {"y_S", 0, u"4500"}, {"size_b_y", 0.15}}));
  PlacePart(u"TalvoSoftwareAreaTrapezoid", {14, 0}, 0,
            with({{"A", 5}, {"B", 3}, {"dx", 1}, {"dx2", 4}, {"t_S", 0, u"3000"}, {"b_S", 0, u"5000"},
                  {"y_S", 0, u"3000"}}));
  PlacePart(u"TalvoSoftwareAreaCircle", {0, -8}, 0, with({{"ArcRadius", 2}, {"radius_S", 0, u"2000"}}));
  PlacePart(u"TalvoSoftwareAreaArc", {6, -8}, kPi / 12,
            with({{"ArcRadius", 3}, {"ArcAngle", 60}, {"radius_S", 0, u"3000"}, {"arcAngle_S", 0, u"60.00°"}}));
  PlacePart(u"TalvoSoftwareAreaEllipse", {12, -8}, kPi / 12,
            with({{"ArcRadiusX", 3}, {"ArcRadiusY", 1.5}, {"radiusX_S", 0, u"3000"}, {"radiusY_S", 0, u"1500"}}));
  PlacePart(u"TalvoSoftwareAreaArcOrigo", {18, -8}, 0,
            with({{"ArcRadius", 3}, {"ArcAngle", 120}, {"base_S", 0, u"5196"}, {"height_S", 0, u"1500"}}));
  PlacePart(u"TalvoSoftwareAreaArc3Point", {0, -14}, 0,
            with({{"x3", 0}, {"y3", 0}, {"x1", 4}, {"y1", 0}, {"x2", 2}, {"y2", 1}, {"base_S", 0, u"4000"}}));
  ExpectGolden("figure_symbols.svg", Picture());
}

TEST_F(HostSvgTest, TextsAndPartNamesAreEscaped)
{
  pln::host::LibPartDefinition chair;
  chair.name = GS::UniString(u"椅子<&>");
  pln::host::AddLibraryPart(chair);
  PlacePart(u"椅子<&>", {0, 0}, 0, {});
  AddText({0, 0}, 0, APIJust_Left, 0, GS::UniString(u"a<b & \"c\" 'd'>"));
  const std::string svg = Picture();
  EXPECT_NE(svg.find(">椅子&lt;&amp;&gt;</text>"), std::string::npos) << svg;
  EXPECT_NE(svg.find(">a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;</text>"), std::string::npos) << svg;
  EXPECT_EQ(svg.find("<b"), std::string::npos);
  EXPECT_EQ(svg.find("& "), std::string::npos);
}

// The paper: the smallest A size that holds the drawing at the database's
// scale with its margins and title line, turned as it fits; beyond A0 the
// drawing's own size.
TEST_F(HostSvgTest, ThePaperIsTheSmallestASizeThatHoldsTheDrawingAtItsScale)
{
  const struct {
    double scale, w, h;  // the drawing in metres
    const char* size;
    const char* paper;
  } cases[] = {{100, 20, 10, "width=\"297.00mm\" height=\"210.00mm\"", "1:100　A4 landscape (297 × 210 mm)"},
               {100, 18, 25, "width=\"210.00mm\" height=\"297.00mm\"", "1:100　A4 portrait (210 × 297 mm)"},
               {100, 20, 26, "width=\"420.00mm\" height=\"297.00mm\"", "1:100　A3 landscape (420 × 297 mm)"},
               {50, 20, 10, "width=\"420.00mm\" height=\"297.00mm\"", "1:50　A3 landscape (420 × 297 mm)"},
               {100, 150, 10, "width=\"1520.00mm\" height=\"128.00mm\"", "1:100　larger than A0 (1520 × 128 mm)"}};
  for (const auto& c : cases) {
    host.UserNewProject();
    ASSERT_EQ(pln::host::SetDatabaseScale(pln::host::FloorPlanDatabaseId(), c.scale), NoError);
    API_Element line = Record(API_LineID);
    line.line.endC = {c.w, c.h};
    Add(line);
    const std::string svg = Picture();
    EXPECT_NE(svg.find(c.size), std::string::npos) << c.paper << "\n" << svg.substr(0, 200);
    EXPECT_NE(svg.find(std::string(">") + c.paper + "</text>"), std::string::npos) << c.paper;
  }
}

// Paper sizes do not depend on the scale: a text keeps its height and a pen
// its width, while a line of 1 m is 10 mm at 1:100 and 20 mm at 1:50.
TEST_F(HostSvgTest, TextsAndPensKeepTheirPaperSizesAtAnyScale)
{
  for (double scale : {100.0, 50.0}) {
    host.UserNewProject();
    const Int32 wide = host.AddPen({0, 0, 0}, 0.5);
    ASSERT_EQ(pln::host::SetDatabaseScale(pln::host::FloorPlanDatabaseId(), scale), NoError);
    API_Element line = Record(API_LineID);
    line.line.endC = {1, 0};
    line.line.linePen.penIndex = wide;
    Add(line);
    line.line.linePen.penIndex = 99;  // no such pen: black at the first pen's width
    Add(line);
    // Middle right: the frame's inset of a fifth of the height keeps the
    // letters 0.5 mm left of the anchor.
    AddText({1, 0}, 5, APIJust_Right, 0, GS::UniString(u"右"));
    const std::string svg = Picture();
    const std::string end = scale == 100.0 ? "10.00" : "20.00";
    EXPECT_NE(svg.find("x2=\"" + end + "\" y2=\"0.00\" stroke=\"#000000\" stroke-width=\"0.50\""), std::string::npos)
        << svg;
    EXPECT_NE(svg.find("x2=\"" + end + "\" y2=\"0.00\" stroke=\"#000000\" stroke-width=\"0.18\""), std::string::npos);
    const std::string x = scale == 100.0 ? "9.50" : "19.50";
    EXPECT_NE(svg.find("<text x=\"" + x + "\" y=\"0.75\" font-size=\"2.50\" text-anchor=\"end\""), std::string::npos)
        << svg;
  }
}

// The centre of the label's text (mm on the sheet before the drawing is
// moved): the point its rotation turns about, or its middle.
std::pair<double, double> LabelCentre(const std::string& svg, const std::string& text)
{
  const std::size_t end = svg.find(">" + text + "</text>");
  const std::size_t begin = svg.rfind("<text", end);
  EXPECT_NE(end, std::string::npos) << text;
  const std::string tag = svg.substr(begin, end - begin);
  const auto number = [&](const std::string& name) {
    const std::size_t at = tag.find(name + "=\"");
    return std::stod(tag.substr(at + name.size() + 2));
  };
  const std::size_t turn = tag.find("rotate(");
  if (turn != std::string::npos) {
    std::istringstream values(tag.substr(turn + 7));
    double angle = 0, cx = 0, cy = 0;
    values >> angle >> cx >> cy;
    return {cx, cy};
  }
  return {number("x"), number("y") - 0.8 * number("font-size") + number("font-size") / 2.0};
}

// Labels stay inside a figure with room for them; in a narrow one they
// move out across their side, clear of the outline.
TEST_F(HostSvgTest, LabelsStayInsideARoomyFigureAndGoOutsideANarrowOne)
{
  const std::vector<ParamValue> look{{"area_symbol_size", 0.5}, {"area_dim_size", 0.5}, {"area_symbol_fig", 0, u"○"},
                                     {"area_symbol_str", 0, u"1"}, {"area_size_f_b", 1},     {"area_size_f_r", 1},
                                     {"size_b_y", 0.25},          {"size_r_x", -0.25}};
  const auto with = [&](std::vector<ParamValue> own) {
    own.insert(own.begin(), look.begin(), look.end());
    return own;
  };
  PlacePart(u"TalvoSoftwareAreaRect", {0, 0}, 0, with({{"A", 6}, {"B", 4.5}, {"x_S", 0, u"6000"}, {"y_S", 0, u"4500"}}));
  PlacePart(u"TalvoSoftwareAreaRect", {10, 0}, 0, with({{"A", 0.6}, {"B", 3}, {"x_S", 0, u"600"}, {"y_S", 0, u"3000"}}));
  const std::string svg = Picture();
  // At 1:100 the roomy figure spans x 0..60 and y -45..0 on the sheet.
  const auto [bx, by] = LabelCentre(svg, "6000");
  EXPECT_TRUE(bx > 0 && bx < 60 && by > -45 && by < 0) << bx << " " << by;
  const auto [rx, ry] = LabelCentre(svg, "4500");
  EXPECT_TRUE(rx > 0 && rx < 60 && ry > -45 && ry < 0) << rx << " " << ry;
  // The narrow one spans x 100..106 and y -30..0: its texts lie outside.
  const auto [nx, ny] = LabelCentre(svg, "600");
  EXPECT_TRUE(ny > 0 || ny < -30) << nx << " " << ny;
  const auto [vx, vy] = LabelCentre(svg, "3000");
  EXPECT_TRUE(vx > 106 || vx < 100) << vx << " " << vy;
  EXPECT_EQ(svg.find(">○1</text>") != std::string::npos, true);
}

TEST_F(HostSvgTest, AnEmptyDatabaseGivesAnEmptyA4Sheet)
{
  API_Element zone = Record(API_ZoneID);  // a kind the picture leaves out
  AddPolygon(zone, {{{0, 0}, {1, 0}, {1, 1}}}, {}, true);
  EXPECT_EQ(Picture(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"297.00mm\" height=\"210.00mm\" "
            "viewBox=\"0 0 297.00 210.00\">\n"
            "<rect x=\"0\" y=\"0\" width=\"297.00\" height=\"210.00\" fill=\"#ffffff\"/>\n"
            "<g font-family=\"'MS Gothic', 'ＭＳ ゴシック', 'IPAGothic', 'IPAゴシック', 'Noto Sans Mono CJK JP', "
            "'Noto Sans CJK JP', 'Hiragino Kaku Gothic ProN', 'Yu Gothic', monospace\" xml:space=\"preserve\" "
            "stroke-linecap=\"round\" stroke-linejoin=\"round\">\n"
            "<g transform=\"translate(148.50 101.25)\">\n"
            "</g>\n"
            "<text x=\"10.00\" y=\"200.00\" font-size=\"3.50\" fill=\"#000000\">1:100　A4 landscape (297 × 210 mm)</text>\n"
            "</g>\n</svg>\n");
}

}  // namespace
