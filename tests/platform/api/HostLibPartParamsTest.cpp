// The parameter transaction: 'OPAR', 'CHGP', 'GPAR', 'GPVL', 'CPAR' —
// kinds are enforced, arrays grow, angles go in as degrees and come back in
// radians, and the list handed out is a counted handle.

#include "PlatformTestSupport.h"

#include "host_calllog.h"
#include "host_goodies.h"
#include "host_libpart.h"
#include "host_paramlist.h"

#include <cstring>
#include <numbers>
#include <string>
#include <type_traits>

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

class HostLibPartParamsTest : public HostTest {
protected:
  void SetUp() override { host.LoadAddOnLibraryParts(); }
  void TearDown() override
  {
    ACAPI_Goodies('CPAR');
    HostTest::TearDown();
  }

  static GSErrCode Open(const char16_t* part)
  {
    API_ParamOwnerType owner;
    for (owner.libInd = 1; owner.libInd < pln::host::LibraryPartCount(); ++owner.libInd)
      if (pln::host::LibraryPart(owner.libInd)->name == GS::UniString(part))
        break;
    return ACAPI_Goodies('OPAR', &owner);
  }

  // A number, or a text when given one.
  template <typename Value>
  static GSErrCode Change(const char* name, const Value& value, Int32 ind1 = 0, Int32 ind2 = 0)
  {
    API_ChangeParamType change;
    std::strncpy(change.name, name, API_NameLen - 1);
    change.ind1 = ind1;
    change.ind2 = ind2;
    std::u16string text;
    if constexpr (std::is_arithmetic_v<Value>) {
      change.realValue = value;
    } else {
      text = value;
      change.uStrValue = text.c_str();
    }
    return ACAPI_Goodies('CHGP', &change);
  }

  // Takes the list, then frees it after handing over the record named
  // (without its array) and, for an array, its cells row by row.
  static API_AddParType Take(const char* name, std::vector<GS::UniString>* cells = nullptr)
  {
    API_GetParamsType result;
    EXPECT_EQ(ACAPI_Goodies('GPAR', &result), NoError);
    API_AddParType record;
    if (const API_AddParType* found = pln::host::FindAddPar(result.params, name)) {
      record = *found;
      for (Int32 row = 1; cells != nullptr && row <= found->dim1; ++row)
        for (Int32 column = 1; column <= found->dim2; ++column)
          cells->push_back(pln::host::AddParArrayText(*found, row, column));
    }
    record.arrayValue = nullptr;
    EXPECT_EQ(ACAPI_DisposeAddParHdl(&result.params), NoError);
    return record;
  }
};

TEST_F(HostLibPartParamsTest, ChangedValuesAppearInTheListTakenAndTheSizesFollowAAndB)
{
  ASSERT_EQ(Open(u"TalvoSoftwareAreaTriangle"), NoError);
  EXPECT_TRUE(pln::host::ParametersOpen());
  EXPECT_EQ(Change("A", 5.0), NoError);
  EXPECT_EQ(Change("B", 3.0), NoError);
  EXPECT_EQ(Change("Base_S", u"5000"), NoError);
  // Bools and ints travel as doubles; the part keeps 0/1 and whole numbers.
  EXPECT_EQ(Change("area_size_f", 2.0), NoError);
  EXPECT_EQ(Change("area_in_pen", 7.9), NoError);

  API_GetParamsType result;
  ASSERT_EQ(ACAPI_Goodies('GPAR', &result), NoError);
  EXPECT_EQ(result.a, 5.0);
  EXPECT_EQ(result.b, 3.0);
  EXPECT_EQ(pln::host::AddParText(*pln::host::FindAddPar(result.params, "Base_S")), GS::UniString(u"5000"));
  EXPECT_EQ(pln::host::FindAddPar(result.params, "area_size_f")->realValue, 1.0);
  EXPECT_EQ(pln::host::FindAddPar(result.params, "area_in_pen")->realValue, 7.0);
  EXPECT_EQ(ACAPI_DisposeAddParHdl(&result.params), NoError);

  EXPECT_EQ(ACAPI_Goodies('CPAR'), NoError);
  EXPECT_FALSE(pln::host::ParametersOpen());
  // Closing dropped the edits: the part's defaults are untouched.
  ASSERT_EQ(Open(u"TalvoSoftwareAreaTriangle"), NoError);
  EXPECT_EQ(Take("A").realValue, 1.0);
}

TEST_F(HostLibPartParamsTest, AnUnknownNameOrAWrongKindFailsAndChangesNothing)
{
  ASSERT_EQ(Open(u"TalvoSoftwareAreaRect"), NoError);
  EXPECT_EQ(Change("no_such_param", 1.0), APIERR_BADNAME);
  EXPECT_EQ(Change("a", 1.0), APIERR_BADNAME);   // names compare exactly
  EXPECT_EQ(Change("dx", 1.0), APIERR_BADNAME);  // a triangle's parameter
  EXPECT_EQ(Change("A", u"6"), APIERR_BADPARS);
  EXPECT_EQ(Change("x_S", 6000.0), APIERR_BADPARS);
  EXPECT_EQ(Change("A", 2.0, 1, 0), APIERR_BADINDEX);  // a scalar has no cells

  EXPECT_EQ(Take("A").realValue, 1.0);
  EXPECT_EQ(pln::host::AddParText(Take("x_S")), GS::UniString());

  // A scalar text holds 255 units; one more is refused, not cut.
  EXPECT_EQ(Change("x_S", std::u16string(255, u'x')), NoError);
  EXPECT_EQ(Change("x_S", std::u16string(256, u'y')), APIERR_BADVALUE);
  EXPECT_EQ(pln::host::AddParText(Take("x_S")).GetLength(), 255u);
}

TEST_F(HostLibPartParamsTest, AnglesGoInAsDegreesAndComeBackInRadians)
{
  ASSERT_EQ(Open(u"TalvoSoftwareAreaArc"), NoError);
  ASSERT_EQ(Change("ArcAngle", 120.4), NoError);
  ASSERT_EQ(Change("ArcRadius", 1.5), NoError);
  const API_AddParType angle = Take("ArcAngle");
  EXPECT_EQ(angle.typeID, APIParT_Angle);
  EXPECT_EQ(angle.realValue, 120.4 * kDegree);
  EXPECT_NEAR(angle.realValue / kDegree, 120.4, 1e-12);
  EXPECT_EQ(Take("ArcRadius").realValue, 1.5);  // lengths are not converted
}

TEST_F(HostLibPartParamsTest, WritingPastTheEndOfAnArrayGrowsItKeepingEveryCellAndColumnZeroNeedsOneColumn)
{
  ASSERT_EQ(Open(u"TalvoSoftwareAreaSchedule"), NoError);
  ASSERT_EQ(Change("matrix_area", u"A", 1, 1), NoError);
  ASSERT_EQ(Change("matrix_area", u"6.000×4.500", 3, 3), NoError);
  ASSERT_EQ(Change("matrix_area", u"-27.00", 3, 4), NoError);
  std::vector<GS::UniString> cells;
  API_AddParType area = Take("matrix_area", &cells);
  EXPECT_EQ(area.dim1, 3);
  EXPECT_EQ(area.dim2, 4);
  const GS::UniString none;
  EXPECT_EQ(cells, (std::vector<GS::UniString>{u"A", none, none, none, none, none, none, none, none, none,
                                               u"6.000×4.500", u"-27.00"}));
  // A fifth column moves no cell out of its place.
  ASSERT_EQ(Change("matrix_area", u"e", 1, 5), NoError);
  cells.clear();
  area = Take("matrix_area", &cells);
  EXPECT_EQ(area.dim2, 5);
  EXPECT_EQ(cells[4], GS::UniString(u"e"));
  EXPECT_EQ(cells[13], GS::UniString(u"-27.00"));

  for (const auto& [ind1, ind2] : {std::pair{1, 0}, {0, 1}, {1, -1}, {100000, 1}})
    EXPECT_EQ(Change("matrix_area", u"x", ind1, ind2), APIERR_BADINDEX) << ind1 << "," << ind2;
  EXPECT_EQ(Take("matrix_area").dim1, 3);
  EXPECT_EQ(Change("matrix_heder_text", u"記号", 1, 0), NoError);
  EXPECT_EQ(Change("matrix_heder_text", u"式", 2, 1), NoError);
  EXPECT_EQ(Change("matrix_freeinput", 1.0, 4, 1), NoError);
  cells.clear();
  Take("matrix_heder_text", &cells);
  EXPECT_EQ(cells, (std::vector<GS::UniString>{u"記号", u"式", u"面積"}));
  API_GetParamsType result;
  ASSERT_EQ(ACAPI_Goodies('GPAR', &result), NoError);
  const API_AddParType* freeInput = pln::host::FindAddPar(result.params, "matrix_freeinput");
  EXPECT_EQ(freeInput->dim1, 4);
  EXPECT_EQ(pln::host::AddParArrayReal(*freeInput, 4, 1), 1.0);
  EXPECT_EQ(pln::host::AddParArrayReal(*freeInput, 2, 1), 0.0);
  ACAPI_DisposeAddParHdl(&result.params);
}

TEST_F(HostLibPartParamsTest, TheTransactionMustBeOpenedOnceBeforeUseAndAQueuedFailureHitsOnlyItsCode)
{
  API_GetParamsType result;
  EXPECT_EQ(Change("A", 1.0), APIERR_NOTINIT);
  EXPECT_EQ(ACAPI_Goodies('GPAR', &result), APIERR_NOTINIT);
  EXPECT_EQ(result.params, nullptr);
  API_ParamOwnerType owner;
  owner.libInd = 99;
  EXPECT_EQ(ACAPI_Goodies('OPAR', &owner), APIERR_BADINDEX);
  EXPECT_FALSE(pln::host::ParametersOpen());
  EXPECT_EQ(ACAPI_Goodies('XXXX'), APIERR_BADPARS);

  host.ClearCallLog();
  ASSERT_EQ(Open(u"TalvoSoftwareAreaEllipse"), NoError);
  EXPECT_EQ(Open(u"TalvoSoftwareAreaEllipse"), APIERR_NESTING);
  host.FailOnce("ACAPI_Goodies:CHGP", APIERR_MEMFULL);
  EXPECT_EQ(Change("ArcRadiusX", 2.0), APIERR_MEMFULL);
  EXPECT_EQ(Change("ArcRadiusY", 2.0), NoError);
  EXPECT_EQ(Take("ArcRadiusX").realValue, 1.0);
  EXPECT_EQ(Take("ArcRadiusY").realValue, 2.0);
  EXPECT_EQ(std::vector<std::string>(host.CallLog().begin(), host.CallLog().begin() + 3),
            (std::vector<std::string>{"ACAPI_Goodies:OPAR", "ACAPI_Goodies:OPAR", "ACAPI_Goodies:CHGP"}));
  EXPECT_EQ(ACAPI_Goodies('CPAR'), NoError);
  EXPECT_EQ(ACAPI_Goodies('CPAR'), NoError);
}

TEST_F(HostLibPartParamsTest, ValueListsComeFromThePartThatWasOpened)
{
  ASSERT_EQ(Open(u"TalvoSoftwareAreaTrapezoid"), NoError);
  API_GetParamValuesType values;
  std::strcpy(values.name, "area_in_type");
  ASSERT_EQ(ACAPI_Goodies('GPVL', &values), NoError);
  ASSERT_EQ(values.strValues.GetSize(), 4u);
  EXPECT_EQ(values.strValues[3], GS::UniString(u"なし"));
  EXPECT_TRUE(values.realValues.IsEmpty());

  std::strcpy(values.name, "area_perline_type");
  ASSERT_EQ(ACAPI_Goodies('GPVL', &values), NoError);
  EXPECT_TRUE(values.strValues.IsEmpty());
  ASSERT_EQ(values.realValues.GetSize(), 3u);
  EXPECT_EQ(values.realValues[2].value, 3.0);

  std::strcpy(values.name, "A");
  ASSERT_EQ(ACAPI_Goodies('GPVL', &values), NoError);
  EXPECT_TRUE(values.strValues.IsEmpty() && values.realValues.IsEmpty());

  std::strcpy(values.name, "Base_S");  // the triangle's, not the trapezoid's
  EXPECT_EQ(ACAPI_Goodies('GPVL', &values), APIERR_BADNAME);
}

// Lists travel between the model and the transaction in handle form; the
// round trip keeps every value and a malformed handle is refused.
TEST_F(HostLibPartParamsTest, AListSurvivesTheHandleFormAndAMalformedHandleIsRefused)
{
  using pln::host::internal::ParamValue;
  ParamValue scalar{"ArcAngle", APIParT_Angle, 3, 0.5, u"", 0, 0, {}, {}};
  ParamValue texts{"cells", APIParT_CString, 0, 0.0, u"", 2, 2, {}, {u"a", u"", u"日本", u"x"}};
  ParamValue numbers{"flags", APIParT_Boolean, 0, 0.0, u"", 1, 3, {1.0, 0.0, 1.0}, {}};
  API_AddParType** handle = pln::host::internal::ToHandle({scalar, texts, numbers});
  ASSERT_NE(handle, nullptr);
  const auto back = pln::host::internal::FromHandle(handle);
  ASSERT_TRUE(back.has_value());
  ASSERT_EQ(back->size(), 3u);
  EXPECT_EQ((*back)[0].real, 0.5);
  EXPECT_EQ((*back)[0].index, 3);
  EXPECT_EQ((*back)[1].texts, texts.texts);
  EXPECT_EQ((*back)[2].reals, numbers.reals);

  // An array handle one byte short of its cells.
  BMReallocHandle((*handle)[2].arrayValue, 3 * sizeof(double) - 1, 0, 0);
  EXPECT_FALSE(pln::host::internal::FromHandle(handle).has_value());
  // A name without its NUL.
  (*handle)[2].arrayValue = BMReallocHandle((*handle)[2].arrayValue, 3 * sizeof(double), 0, 0);
  std::memset((*handle)[0].name, 'n', API_NameLen);
  EXPECT_FALSE(pln::host::internal::FromHandle(handle).has_value());
  pln::host::FreeAddParHandle(&handle);
}

// 'OPAR' on a placed element opens the element's own current list, so a
// refresh rewrites what the element holds, not the part's defaults.
TEST_F(HostLibPartParamsTest, AnElementOwnerOpensTheElementsOwnList)
{
  ASSERT_EQ(Open(u"TalvoSoftwareAreaArc"), NoError);
  ASSERT_EQ(Change("ArcAngle", 45.0), NoError);
  API_GetParamsType placed;
  ASSERT_EQ(ACAPI_Goodies('GPAR', &placed), NoError);
  ACAPI_Goodies('CPAR');
  API_Element element;
  element.header.typeID = API_ObjectID;
  element.header.layer = 1;
  element.object.libInd = 5;
  API_ElementMemo memo;
  memo.params = placed.params;
  ASSERT_EQ(host.AddElement(element, &memo), NoError);
  ACAPI_DisposeAddParHdl(&placed.params);

  API_ParamOwnerType owner;
  owner.guid = element.header.guid;
  owner.typeID = API_ObjectID;
  ASSERT_EQ(ACAPI_Goodies('OPAR', &owner), NoError);
  API_GetParamValuesType values;
  std::strcpy(values.name, "ArcAngle");
  EXPECT_EQ(ACAPI_Goodies('GPVL', &values), NoError);  // the part's lists apply
  EXPECT_EQ(Take("ArcAngle").realValue, 45.0 * kDegree);
  ACAPI_Goodies('CPAR');

  owner.typeID = API_ZoneID;
  EXPECT_EQ(ACAPI_Goodies('OPAR', &owner), APIERR_BADELEMENTTYPE);
  owner.guid = ToAPIGuid(GS::Guid().Generate());
  owner.typeID = API_ObjectID;
  EXPECT_NE(ACAPI_Goodies('OPAR', &owner), NoError);
  EXPECT_FALSE(pln::host::ParametersOpen());
}

}  // namespace
