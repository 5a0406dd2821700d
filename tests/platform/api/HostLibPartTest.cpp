// The library-part catalogue: search by name and kind, the default
// parameter lists, and that each part offers every parameter the system
// writes or reads, with the right kind.

#include "PlatformTestSupport.h"

#include "host_interface.h"
#include "host_libpart.h"

#include <string>
#include <vector>

namespace {

GSErrCode Search(const char16_t* name, API_LibTypeID type, Int32* index, bool placeableOnly = false)
{
  API_LibPart part;
  part.typeID = type;
  std::u16string text(name);
  std::copy(text.begin(), text.end(), part.docuName);
  const GSErrCode err = ACAPI_LibPart_Search(&part, placeableOnly);
  *index = part.index;
  return err;
}

using HostLibPartTest = HostTest;

const char16_t* const kAddOnParts[] = {
    u"TalvoSoftwareAreaTriangle", u"TalvoSoftwareAreaRect",      u"TalvoSoftwareAreaTrapezoid",
    u"TalvoSoftwareAreaCircle",   u"TalvoSoftwareAreaArc",       u"TalvoSoftwareAreaArcOrigo",
    u"TalvoSoftwareAreaArc3Point", u"TalvoSoftwareAreaEllipse",  u"TalvoSoftwareAreaSchedule"};

TEST_F(HostLibPartTest, SearchFindsAPartOnlyOnceLoadedAndOnlyUnderItsNameAndKind)
{
  Int32 index = -1;
  EXPECT_EQ(Search(u"TalvoSoftwareAreaTriangle", APILib_ObjectID, &index), APIERR_BADNAME);

  ASSERT_EQ(ACAPI_Register_BuiltInLibrary(), NoError);
  std::vector<Int32> indexes;
  for (const char16_t* name : kAddOnParts) {
    ASSERT_EQ(Search(name, APILib_ObjectID, &index), NoError);
    indexes.push_back(index);
  }
  EXPECT_EQ(indexes, (std::vector<Int32>{1, 2, 3, 4, 5, 6, 7, 8, 9}));

  EXPECT_EQ(Search(u"TalvoSoftwareAreaTriangle", APILib_PartID, &index), APIERR_BADNAME);
  EXPECT_EQ(Search(u"talvosoftwareareatriangle", APILib_ObjectID, &index), APIERR_BADNAME);
  EXPECT_EQ(Search(u"TalvoSoftwareArea", APILib_ObjectID, &index), APIERR_BADNAME);

  // Registering again loads nothing twice.
  ASSERT_EQ(ACAPI_Register_BuiltInLibrary(), NoError);
  EXPECT_EQ(pln::host::LibraryPartCount(), 9);

  // Added parts keep their kind, placeability and index.
  pln::host::LibPartDefinition stamp{GS::UniString(u"Stamp"), APILib_ZoneStampID, false, {}};
  const Int32 stampIndex = pln::host::AddLibraryPart(stamp);
  EXPECT_EQ(pln::host::AddLibraryPart(stamp), stampIndex);
  EXPECT_EQ(Search(u"Stamp", APILib_ZoneStampID, &index), NoError);
  EXPECT_EQ(index, stampIndex);
  EXPECT_EQ(Search(u"Stamp", APILib_ZoneStampID, &index, true), APIERR_BADNAME);  // not placeable
  API_LibPart byIndex;
  byIndex.index = stampIndex;
  ASSERT_EQ(ACAPI_LibPart_Get(&byIndex), NoError);
  EXPECT_EQ(std::u16string(byIndex.docuName), u"Stamp");
  EXPECT_EQ(byIndex.typeID, APILib_ZoneStampID);
  byIndex.index = stampIndex + 1;
  EXPECT_EQ(ACAPI_LibPart_Get(&byIndex), APIERR_BADINDEX);
}

// The names each part must offer: the ones the figure kinds, the area
// tables and the settings pages write or read.
struct PartParams {
  const char16_t* part;
  std::vector<std::string> numbers;
  std::vector<std::string> texts;
};

const std::vector<std::string> kFigureNumbers = {
    "A", "B", "area_symbol_size", "area_size_f", "area_dim_size", "area_fill", "area_fill_pen",
    "area_fill_back_pen", "area_symbol_pen", "area_cont_pen", "area_symbol_x", "area_symbol_y"};
const std::vector<std::string> kFigureTexts = {"area_symbol_font", "area_symbol_fig", "area_symbol_str"};
const std::vector<std::string> kArcLines = {
    "area_fan_disp", "area_fan_pen", "area_fan_line", "area_perline_disp", "area_perline_pen",
    "area_perline_line", "area_angle_disp", "area_angle_pen", "area_angle_line", "size_b_x", "size_b_y",
    "size_r_x", "size_r_y", "size_a_x", "size_a_y", "size_p_x", "size_p_y"};

std::vector<PartParams> ExpectedParams()
{
  return {
      {u"TalvoSoftwareAreaTriangle",
       {"area_in_pen", "area_in_line", "area_perline_pen", "area_perline_line", "area_perline_Size", "size_b_x",
        "size_b_y", "size_p_x", "size_p_y", "dx"},
       {"area_in_type", "area_perline_form", "Base_S", "Height_S"}},
      {u"TalvoSoftwareAreaRect",
       {"area_in_pen", "area_in_line", "area_size_f_t", "area_size_f_b", "area_size_f_l", "area_size_f_r",
        "size_t_x", "size_t_y", "size_b_x", "size_b_y", "size_l_x", "size_l_y", "size_r_x", "size_r_y"},
       {"area_in_type", "x_S", "y_S"}},
      {u"TalvoSoftwareAreaTrapezoid",
       {"area_in_pen", "area_in_line", "area_perline_pen", "area_perline_line", "area_perline_type",
        "area_perline_Size", "size_t_x", "size_t_y", "size_b_x", "size_b_y", "size_p_x", "size_p_y", "dx", "dx2"},
       {"area_in_type", "area_perline_form", "t_S", "b_S", "y_S"}},
      {u"TalvoSoftwareAreaCircle",
       {"area_fan_disp", "area_fan_pen", "area_fan_line", "size_r_x", "size_r_y", "ArcRadius"},
       {"radius_S"}},
      {u"TalvoSoftwareAreaArc",
       {"area_fan_disp", "area_angle_disp", "area_angle_line", "area_angle_pen", "size_r_x", "size_r_y",
        "size_a_x", "size_a_y", "ArcRadius", "ArcAngle"},
       {"radius_S", "arcAngle_S"}},
      {u"TalvoSoftwareAreaEllipse",
       {"area_fan_disp", "area_fan_line", "area_fan_pen", "size_rx_x", "size_rx_y", "size_ry_x", "size_ry_y",
        "ArcRadiusX", "ArcRadiusY"},
       {"radiusX_S", "radiusY_S"}},
      {u"TalvoSoftwareAreaArcOrigo", {"ArcRadius", "ArcAngle"}, {"base_S", "radius_S", "arcAngle_S", "height_S"}},
      {u"TalvoSoftwareAreaArc3Point",
       {"x1", "y1", "x2", "y2", "x3", "y3"},
       {"base_S", "radius_S", "arcAngle_S", "height_S"}},
  };
}

const pln::host::LibParamDefinition* FindDefinition(const pln::host::LibPartDefinition& part, const std::string& name)
{
  for (const auto& param : part.params)
    if (param.name == name)
      return &param;
  return nullptr;
}

const pln::host::LibPartDefinition& PartNamed(const char16_t* name)
{
  for (const auto& part : pln::host::AddOnLibraryParts())
    if (part.name == GS::UniString(name))
      return part;
  ADD_FAILURE() << "no part";
  return pln::host::AddOnLibraryParts().front();
}

void ExpectParams(const pln::host::LibPartDefinition& part, const std::vector<std::string>& names, bool text)
{
  for (const auto& name : names) {
    const auto* param = FindDefinition(part, name);
    ASSERT_NE(param, nullptr) << part.name.ToStdString(CC_UTF8) << " lacks " << name;
    EXPECT_EQ(param->type == APIParT_CString, text) << part.name.ToStdString(CC_UTF8) << " " << name;
  }
}

TEST_F(HostLibPartTest, EveryFigurePartOffersTheParametersTheFiguresWriteWithTheirKinds)
{
  for (const auto& expected : ExpectedParams()) {
    const auto& part = PartNamed(expected.part);
    EXPECT_EQ(part.type, APILib_ObjectID);
    ExpectParams(part, kFigureNumbers, false);
    ExpectParams(part, kFigureTexts, true);
    ExpectParams(part, expected.numbers, false);
    ExpectParams(part, expected.texts, true);
  }
  ExpectParams(PartNamed(u"TalvoSoftwareAreaArcOrigo"), kArcLines, false);
  ExpectParams(PartNamed(u"TalvoSoftwareAreaArc3Point"), kArcLines, false);

  // Only the sweep of the two centre-based arc kinds is an angle.
  EXPECT_EQ(FindDefinition(PartNamed(u"TalvoSoftwareAreaArc"), "ArcAngle")->type, APIParT_Angle);
  EXPECT_EQ(FindDefinition(PartNamed(u"TalvoSoftwareAreaArcOrigo"), "ArcAngle")->type, APIParT_Angle);
  // The sector draws no fan line of its own: writing one would be a fault.
  EXPECT_EQ(FindDefinition(PartNamed(u"TalvoSoftwareAreaArc"), "area_fan_pen"), nullptr);
}

TEST_F(HostLibPartTest, TheAreaTableOffersItsArraysWithTheirShapes)
{
  const auto& table = PartNamed(u"TalvoSoftwareAreaSchedule");
  ExpectParams(table,
               {"matrix_title_b", "head_show", "text_size", "matrix_colw1", "matrix_colw2", "matrix_colw3",
                "matrix_rowh", "matrix_pen", "text_pen", "text_pen_minus", "show_mark", "matrix_rowcnt",
                "matrix_freeinput", "total_show"},
               false);
  ExpectParams(table,
               {"matrix_heder_text", "text_font", "total_text", "matrix_title", "matrix_title_mark1",
                "matrix_title_mark2", "matrix_mark1", "matrix_mark2", "type", "matrix_area", "total_val_text"},
               true);
  const auto* header = FindDefinition(table, "matrix_heder_text");
  EXPECT_EQ(header->dim1, 3);
  EXPECT_EQ(header->dim2, 1);
  EXPECT_EQ(FindDefinition(table, "matrix_area")->dim2, 4);
  EXPECT_EQ(FindDefinition(table, "matrix_freeinput")->dim2, 1);
  EXPECT_EQ(FindDefinition(table, "matrix_title")->dim1, 0);
}

TEST_F(HostLibPartTest, DefaultParametersArriveAsAListWithTheirSizesAndValues)
{
  host.LoadAddOnLibraryParts();
  Int32 index = 0;
  ASSERT_EQ(Search(u"TalvoSoftwareAreaSchedule", APILib_ObjectID, &index), NoError);

  double a = 0.0;
  double b = 0.0;
  Int32 count = 0;
  API_AddParType** params = nullptr;
  ASSERT_EQ(ACAPI_LibPart_GetParams(index, &a, &b, &count, &params), NoError);
  EXPECT_EQ(count, pln::host::AddParCount(params));
  EXPECT_EQ(static_cast<std::size_t>(count), PartNamed(u"TalvoSoftwareAreaSchedule").params.size());
  EXPECT_EQ(std::make_pair(a, b), std::make_pair(1.0, 1.0));

  const API_AddParType* header = pln::host::FindAddPar(params, "matrix_heder_text");
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(pln::host::AddParArrayText(*header, 2, 1), GS::UniString(u"計算式"));
  EXPECT_EQ(pln::host::AddParText(*pln::host::FindAddPar(params, "total_text")), GS::UniString(u"合計"));
  EXPECT_EQ(pln::host::FindAddPar(params, "matrix_colw2")->realValue, 45.0);
  EXPECT_EQ(pln::host::FindAddPar(params, "no_such_parameter"), nullptr);

  EXPECT_EQ(ACAPI_DisposeAddParHdl(&params), NoError);
  EXPECT_EQ(params, nullptr);
  EXPECT_EQ(ACAPI_LibPart_GetParams(0, &a, &b, &count, &params), APIERR_BADINDEX);
  EXPECT_EQ(ACAPI_LibPart_GetParams(10, &a, &b, &count, &params), APIERR_BADINDEX);
}

}  // namespace
