// Element creators and library-part parameters, checked through what the
// stand-in host stored: the fields each creator sets, the defaults it keeps,
// the follow-ups (GUID list, copy, tag, observer) and failures passed on.

#include "CGSUtil.h"
#include "CMyUserData.h"
#include "HostTestSupport.h"
#include "host_libpart.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr short kDefault = CGSUtil::kDefaultStory;

class CGSUtilCreateTest : public HostTest {
protected:
  const pln::host::StoredElement& Stored(const API_Guid& guid) const
  {
    const auto* stored = host.Element(guid);
    EXPECT_NE(stored, nullptr);
    return *stored;
  }
};

TEST_F(CGSUtilCreateTest, LineWithEqualEndsCreatesNothing)
{
  GS::Array<API_Guid> guids;
  EXPECT_EQ(CGSUtil::CreateLine(1.5, 2, 1.5, 2, 3, 2, 0, kDefault, &guids, nullptr, nullptr, nullptr, true), NoError);
  EXPECT_TRUE(host.ElementsOfType(API_LineID).empty());
  EXPECT_TRUE(guids.IsEmpty());
  // Ends that differ by the smallest step are a line.
  EXPECT_EQ(CGSUtil::CreateLine(1.5, 2.0, std::nextafter(1.5, 2.0), 2.0, 0, 0, 0, kDefault, &guids, nullptr, nullptr,
                                nullptr, false),
            NoError);
  EXPECT_EQ(guids.GetSize(), 1u);
}

TEST_F(CGSUtilCreateTest, LineTakesGivenFieldsAndClearsPenCompanionsAndArrows)
{
  // Defaults with a colour override and arrows: the creator must not let
  // them through when it sets the pen and gives no arrow.
  API_Element defaults;
  defaults.header = {.typeID = API_LineID, .layer = 1};
  defaults.line = {.linePen = {4, 7, 9}, .ltypeInd = 1, .arrowData = {.begArrow = true, .endArrow = true}};
  pln::host::TheModel().defaults[API_LineID] = defaults;
  ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
  const short layer = static_cast<short>(host.AddLayer(GS::UniString(u"Output")));

  GS::Array<API_Guid> guids;
  API_Element out;
  CMyUserData tag(700, 1);
  ASSERT_EQ(CGSUtil::CreateLine(0.0, 0.0, 2.0, 1.0, 6, 3, layer, 1, &guids, nullptr, &out, &tag, true), NoError);
  ASSERT_EQ(guids.GetSize(), 1u);
  const auto& stored = Stored(guids[0]);
  EXPECT_EQ(stored.element.line, (API_LineType{.begC = {0, 0}, .endC = {2, 1}, .linePen = {6, 0, 0}, .ltypeInd = 3}));
  EXPECT_EQ(std::pair(stored.element.header.layer, stored.element.header.floorInd), std::pair(layer, short(1)));
  EXPECT_EQ(out, stored.element);
  EXPECT_TRUE(stored.observed);
  EXPECT_EQ(stored.userData, (pln::host::StoredUserData{1, 0x5757, 0, BytesOf(700)}));

  // Zero pen, line type and layer and the default story keep the defaults;
  // a given arrow is copied.
  API_ArrowData arrow{true, false, 2, 1.5, 3};
  API_Element second;
  ASSERT_EQ(CGSUtil::CreateLine(0, 0, 1, 0, 0, 0, 0, kDefault, nullptr, &arrow, &second, nullptr, false), NoError);
  EXPECT_EQ(second.line, (API_LineType{.endC = {1, 0}, .linePen = {4, 7, 9}, .ltypeInd = 1, .arrowData = arrow}));
  EXPECT_EQ(std::pair(second.header.layer, second.header.floorInd), std::pair(short(1), short(0)));
  EXPECT_FALSE(Stored(second.header.guid).observed);
  EXPECT_FALSE(Stored(second.header.guid).userData.has_value());
}

TEST_F(CGSUtilCreateTest, FailuresArePassedOnAndStopTheFollowUps)
{
  GS::Array<API_Guid> guids;
  host.FailOnce("ACAPI_Element_Create", APIERR_MEMFULL);
  EXPECT_EQ(CGSUtil::CreateCircle(0, 0, 1, 0, 0, 0, kDefault, &guids, nullptr, nullptr, true), APIERR_MEMFULL);
  EXPECT_TRUE(guids.IsEmpty());

  // A tag that cannot be written (version 0) makes the result: the element
  // is deleted again, listed nowhere and not observed, for untagged output
  // would never be cleared by the next run.
  CMyUserData badTag(700, 0);
  API_Element copy;
  EXPECT_EQ(CGSUtil::CreateCircle(0, 0, 1, 0, 0, 0, kDefault, &guids, &copy, &badTag, true), APIERR_BADPARS);
  EXPECT_TRUE(guids.IsEmpty());
  EXPECT_TRUE(host.ElementsOfType(API_CircleID).empty());
  host.FailOnce("ACAPI_Element_SetUserData", APIERR_MEMFULL);
  CMyUserData tag(700, 1);
  EXPECT_EQ(CGSUtil::CreateLine(0, 0, 1, 1, 0, 0, 0, kDefault, &guids, nullptr, nullptr, &tag, true), APIERR_MEMFULL);
  EXPECT_TRUE(host.ElementsOfType(API_LineID).empty());
  ASSERT_EQ(CGSUtil::CreateLine(0, 0, 1, 1, 0, 0, 0, kDefault, &guids, nullptr, nullptr, &tag, true), NoError);
  ASSERT_EQ(guids.GetSize(), 1u);
  EXPECT_TRUE(Stored(guids[0]).observed);

  // A locked layer refuses the creation.
  const short locked = static_cast<short>(host.AddLayer(GS::UniString(u"Locked"), APILay_Locked));
  EXPECT_EQ(CGSUtil::CreateArc(0, 0, 1, 0, 1, 0, 0, locked, kDefault, &guids, nullptr, nullptr, false),
            APIERR_LOCKEDLAY);
  EXPECT_EQ(guids.GetSize(), 1u);
}

TEST_F(CGSUtilCreateTest, TextAnglesFoldIntoAQuarterTurnEitherWay)
{
  const std::pair<double, double> cases[] = {{135.0, -45.0}, {-100.0, 80.0}, {90.0, 90.0},
                                             {-90.0, -90.0}, {30.0, 30.0},   {180.0, 0.0}};
  for (const auto& [given, placed] : cases) {
    API_Element out;
    ASSERT_EQ(CGSUtil::CreateText(1, 2, "A", 0.0, given, true, API_AnchorID(5), APIJust_Center, 0, 0, 0, kDefault,
                                  nullptr, &out, nullptr, false),
              NoError);
    EXPECT_NEAR(out.text.angle, placed * kPi / 180.0, 1e-15) << given;
  }
}

TEST_F(CGSUtilCreateTest, TextCarriesItsContentAndSwitches)
{
  const short font = static_cast<short>(host.AddFont(GS::UniString(u"Gothic")));
  GS::Array<API_Guid> guids;
  ASSERT_EQ(CGSUtil::CreateText(3.0, 4.0, "\x96\xca\x90\xcf", 3.5, 0.0, false, API_AnchorID(2), APIJust_Right, font,
                                5, 0, kDefault, &guids, nullptr, nullptr, false),
            NoError);
  const auto& stored = Stored(guids[0]);
  EXPECT_EQ(stored.element.text, (API_TextType{.loc = {3, 4}, .size = 3.5, .anchorPoint = API_AnchorID(2),
                                               .just = APIJust_Right, .font = font, .pen = 5, .fixedSize = false,
                                               .nonBreaking = true, .useEolCr = true}));
  EXPECT_EQ(stored.memo.textContent, std::optional<std::string>("\x96\xca\x90\xcf"));

  // Zero size, font and pen keep the defaults.
  API_Element plain;
  ASSERT_EQ(CGSUtil::CreateText(0, 0, "", 0.0, 0.0, true, API_AnchorID(1), APIJust_Left, 0, 0, 0, kDefault, nullptr,
                                &plain, nullptr, false),
            NoError);
  EXPECT_EQ(plain.text, (API_TextType{.size = 2.5, .anchorPoint = API_AnchorID(1), .font = 1, .pen = 1,
                                       .fixedSize = true, .nonBreaking = true, .useEolCr = true}));
}

TEST_F(CGSUtilCreateTest, CircleArcAndPolyLineGeometry)
{
  API_Element circle, arc, polyLine;
  ASSERT_EQ(CGSUtil::CreateCircle(1, 2, 3, 2, 0, 0, kDefault, nullptr, &circle, nullptr, false), NoError);
  EXPECT_EQ(circle.circle, (API_CircleType{.origC = {1, 2}, .r = 3, .linePen = {2, 0, 0}, .ltypeInd = 1}));

  ASSERT_EQ(CGSUtil::CreateArc(1, 2, 3, 0.5, 2.0, 0, 4, 0, kDefault, nullptr, &arc, nullptr, false), NoError);
  EXPECT_EQ(arc.arc, (API_ArcType{.origC = {1, 2}, .r = 3, .begAng = 0.5, .endAng = 2.0, .linePen = {1, 0, 0},
                                   .ltypeInd = 4}));

  const std::vector<API_Coord> points{{0, 0}, {1, 0}, {1, 1}};
  ASSERT_EQ(CGSUtil::CreatePolyLine(points, 3, 0, 0, kDefault, nullptr, &polyLine, nullptr, false), NoError);
  EXPECT_EQ(polyLine.polyLine, (API_PolyLineType{.poly = {3, 1, 0}, .pen = 3, .ltypeInd = 1}));
  const auto& memo = Stored(polyLine.header.guid).memo;
  EXPECT_EQ(memo.coords, (std::vector<API_Coord>{{}, {0, 0}, {1, 0}, {1, 1}}));
  EXPECT_EQ(memo.pends, (std::vector<Int32>{0, 3}));
}

TEST_F(CGSUtilCreateTest, FillsCloseTheirContourAndCarryTheirArcs)
{
  API_Element hatch;
  ASSERT_EQ(CGSUtil::CreateHatch({{0, 0}, {2, 0}, {2, 1}}, 3, 0, 0, kDefault, nullptr, &hatch, nullptr, false),
            NoError);
  EXPECT_EQ(hatch.hatch, (API_HatchType{.poly = {4, 1, 0}, .fillInd = 1, .contPen = 3, .fillPen = 3, .ltypeInd = 1}));
  EXPECT_EQ(Stored(hatch.header.guid).memo.coords, (std::vector<API_Coord>{{}, {0, 0}, {2, 0}, {2, 1}, {0, 0}}));

  // A quarter sector of radius 2: the arc is split at 45 degrees.
  API_Element sector;
  ASSERT_EQ(CGSUtil::CreateArcHatch({1, 1}, {3, 1}, kPi / 2, 0, 0, 0, kDefault, nullptr, &sector, nullptr, false),
            NoError);
  EXPECT_EQ(sector.hatch.poly, (API_Polygon{5, 1, 2}));
  const auto& sm = Stored(sector.header.guid).memo;
  const std::vector<API_Coord> corners{{}, {1, 1}, {3, 1}, {1 + std::sqrt(2.0), 1 + std::sqrt(2.0)}, {1, 3}, {1, 1}};
  ASSERT_EQ(sm.coords.size(), corners.size());
  for (std::size_t i = 0; i < corners.size(); ++i)
    EXPECT_LT(std::hypot(sm.coords[i].x - corners[i].x, sm.coords[i].y - corners[i].y), 1e-12) << i;
  EXPECT_EQ(sm.parcs, (std::vector<API_PolyArc>{{2, 3, kPi / 4}, {3, 4, kPi / 4}}));

  API_Element circle;
  ASSERT_EQ(CGSUtil::CreateCircleHatch({1, 2}, 0.5, 0, 0, 0, kDefault, nullptr, &circle, nullptr, false), NoError);
  EXPECT_EQ(circle.hatch.poly, (API_Polygon{3, 1, 2}));
  const auto& cm = Stored(circle.header.guid).memo;
  EXPECT_EQ(cm.coords, (std::vector<API_Coord>{{}, {1.5, 2}, {0.5, 2}, {1.5, 2}}));
  EXPECT_EQ(cm.parcs, (std::vector<API_PolyArc>{{1, 2, -kPi}, {2, 3, -kPi}}));
}

TEST_F(CGSUtilCreateTest, ArcArcFillIsBoundedByFourArcRecords)
{
  // About the origin from (1, 0) to (0, 1): a quarter turn. The second arc
  // of radius 1 through the same two points has a span of 90 degrees too.
  const auto arcArc = [](bool lens, double r, API_Element* out) {
    return CGSUtil::CreateArcArcHatch({0, 0}, {1, 0}, {0, 1}, lens, r, 0, 0, 0, kDefault, nullptr, out, nullptr, false);
  };
  API_Element lens, crescent;
  ASSERT_EQ(arcArc(true, 1.0, &lens), NoError);
  EXPECT_EQ(lens.hatch.poly, (API_Polygon{5, 1, 4}));
  const auto& lm = Stored(lens.header.guid).memo;
  ASSERT_EQ(lm.parcs.size(), 4u);
  for (const API_PolyArc& arc : lm.parcs)
    EXPECT_NEAR(arc.arcAngle, kPi / 4, 1e-12);
  // The lens's second middle point is the mirror of the first in the chord.
  EXPECT_NEAR(lm.coords[2].x, std::sqrt(0.5), 1e-12);
  EXPECT_NEAR(lm.coords[4].x, 1 - std::sqrt(0.5), 1e-12);
  EXPECT_NEAR(lm.coords[4].y, 1 - std::sqrt(0.5), 1e-12);

  ASSERT_EQ(arcArc(false, 2.0, &crescent), NoError);
  const auto& cm = Stored(crescent.header.guid).memo;
  EXPECT_LT(cm.parcs[2].arcAngle, 0.0);
  // A radius too short for the chord is refused before anything is made.
  EXPECT_EQ(arcArc(true, 0.7, nullptr), APIERR_BADPARS);
  EXPECT_EQ(host.ElementsOfType(API_HatchID).size(), 2u);
}

TEST_F(CGSUtilCreateTest, MeshStandsOnItsLowestPointAboveTheStory)
{
  ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
  const std::vector<API_Height> points{{{0, 0}, 5.0, 6.0}, {{4, 0}, 4.5, 7.0}, {{4, 3}, 5.5, 5.5}};
  CMyUserData tag(700, 1);
  ASSERT_EQ(CGSUtil::CreateMesh(points, 7, 12, 0, 1, &tag), NoError);
  ASSERT_EQ(host.ElementsOfType(API_MeshID).size(), 1u);
  const auto& stored = Stored(host.ElementsOfType(API_MeshID)[0]);
  EXPECT_EQ(stored.element.mesh, (API_MeshType{.poly = {4, 1, 0}, .level = 4.5 - 3.0, .sidePen = 7, .topPen = 7,
                                               .overrideTopMaterial = true, .topMaterial = 12}));
  EXPECT_EQ(stored.memo.meshPolyZ, (std::vector<double>{0.0, 1.5, 2.5, 1.0, 1.5}));
  EXPECT_TRUE(stored.userData.has_value());
  EXPECT_EQ(CGSUtil::CreateMesh({}, 0, 0, 0, kDefault, nullptr), APIERR_IRREGULARPOLY);
}

pln::host::LibPartDefinition LinePart()
{
  pln::host::LibPartDefinition part{.name = GS::UniString(u"Line3D")};
  for (const char* name : {"begX", "begY", "begZ", "endX", "endY", "endZ"})
    part.params.push_back({.name = name, .type = APIParT_Length});
  part.params.push_back({.name = "Show2D", .type = APIParT_Boolean});
  part.params.push_back({.name = "kind", .type = APIParT_CString, .valueListTexts = {u"実線", u"点線"}});
  part.params.push_back({.name = "width", .type = APIParT_Length, .valueListReals = {0.1, 0.25}});
  part.params.push_back({.name = "cells", .type = APIParT_RealNum, .dim1 = 2, .dim2 = 1});
  return part;
}

TEST_F(CGSUtilCreateTest, ThreeDLineSetsItsParametersAndAbsoluteLevel)
{
  ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
  const Int32 libInd = pln::host::AddLibraryPart(LinePart());
  API_Element out;
  ASSERT_EQ(CGSUtil::Create3DLine(libInd, 1, 2, 3, 4, 5, 6, true, 2, 0, 0, 1, nullptr, &out, nullptr, false), NoError);
  EXPECT_FALSE(pln::host::ParametersOpen());
  EXPECT_EQ(std::tuple(out.object.libInd, out.object.level, out.object.pen), std::tuple(libInd, -3.0, short(2)));
  const std::pair<const char*, double> expected[] = {{"begX", 1}, {"begY", 2}, {"begZ", 3}, {"endX", 4},
                                                     {"endY", 5}, {"endZ", 6}, {"Show2D", 1}};
  for (const auto& [name, value] : expected) {
    const auto* param = host.Parameter(out.header.guid, name);
    ASSERT_NE(param, nullptr) << name;
    EXPECT_EQ(param->record.realValue, value) << name;
  }

  double value = 0.0;
  ASSERT_EQ(CGSUtil::GetObjectParameter(out.header.guid, "endY", &value), NoError);
  EXPECT_EQ(value, 5.0);
  value = -1.0;
  ASSERT_EQ(CGSUtil::GetObjectParameter(out.header.guid, "none", &value), NoError);
  EXPECT_EQ(value, -1.0);

  // A failing parameter closes the transaction and creates nothing.
  host.FailOnce("ACAPI_Goodies:CHGP", APIERR_BADVALUE);
  EXPECT_EQ(CGSUtil::Create3DLine(libInd, 0, 0, 0, 1, 1, 1, false, 0, 0, 0, kDefault, nullptr, nullptr, nullptr, false),
            APIERR_BADVALUE);
  EXPECT_FALSE(pln::host::ParametersOpen());
  EXPECT_EQ(host.ElementsOfType(API_ObjectID).size(), 1u);
}

TEST_F(CGSUtilCreateTest, ChangeObjectParameterFormsReachTheOpenList)
{
  const Int32 libInd = pln::host::AddLibraryPart(LinePart());
  API_ParamOwnerType owner{.libInd = libInd, .typeID = API_ObjectID};
  ASSERT_EQ(ACAPI_Goodies('OPAR', &owner), NoError);
  EXPECT_EQ(CGSUtil::ChangeObjectParameter("Show2D", true, 0, 0), NoError);
  EXPECT_EQ(CGSUtil::ChangeObjectParameter("begX", 3, 0, 0), NoError);
  EXPECT_EQ(CGSUtil::ChangeObjectParameter("begY", 0.25, 0, 0), NoError);
  EXPECT_EQ(CGSUtil::ChangeObjectParameter("cells", 7.5, 2, 0), NoError);
  EXPECT_EQ(CGSUtil::ChangeObjectParameter("kind", "\x93\x5f\x90\xfc", 0, 0), NoError);  // 点線 in Shift-JIS
  EXPECT_NE(CGSUtil::ChangeObjectParameter("missing", 1.0, 0, 0), NoError);
  EXPECT_EQ(CGSUtil::ChangeObjectParameter("a_name_that_is_far_too_long_for_it", 1.0, 0, 0), APIERR_BADPARS);
  API_GetParamsType got;
  ASSERT_EQ(ACAPI_Goodies('GPAR', &got), NoError);
  ASSERT_EQ(ACAPI_Goodies('CPAR'), NoError);
  EXPECT_EQ(pln::host::FindAddPar(got.params, "Show2D")->realValue, 1.0);
  EXPECT_EQ(pln::host::FindAddPar(got.params, "begX")->realValue, 3.0);
  EXPECT_EQ(pln::host::FindAddPar(got.params, "begY")->realValue, 0.25);
  EXPECT_EQ(pln::host::AddParArrayReal(*pln::host::FindAddPar(got.params, "cells"), 2, 1), 7.5);
  EXPECT_EQ(pln::host::AddParText(*pln::host::FindAddPar(got.params, "kind")), GS::UniString(u"点線"));
  ACAPI_DisposeAddParHdl(&got.params);

  ASSERT_EQ(ACAPI_Goodies('OPAR', &owner), NoError);
  const unsigned short wide[] = {0x5B9F, 0x7DDA, 0};
  EXPECT_EQ(CGSUtil::ChangeObjectParameter("kind", wide, 0, 0), NoError);
  ASSERT_EQ(ACAPI_Goodies('GPAR', &got), NoError);
  EXPECT_EQ(pln::host::AddParText(*pln::host::FindAddPar(got.params, "kind")), GS::UniString(u"実線"));
  EXPECT_EQ(CGSUtil::ChangeObjectParameter("kind", GS::UniString(u"破線"), 0, 0), NoError);
  ASSERT_EQ(ACAPI_Goodies('CPAR'), NoError);
  ACAPI_DisposeAddParHdl(&got.params);
}

TEST_F(CGSUtilCreateTest, ParameterValueListsComeFromThePart)
{
  const Int32 libInd = pln::host::AddLibraryPart(LinePart());
  std::vector<GS::UniString> texts{GS::UniString(u"stale")};
  ASSERT_EQ(CGSUtil::GetObjectParameterList(API_ObjectID, libInd, "kind", texts), NoError);
  EXPECT_EQ(texts, (std::vector<GS::UniString>{GS::UniString(u"実線"), GS::UniString(u"点線")}));
  std::vector<API_VLNumType> reals;
  ASSERT_EQ(CGSUtil::GetObjectParameterList(API_ObjectID, libInd, "width", reals), NoError);
  ASSERT_EQ(reals.size(), 2u);
  EXPECT_EQ(reals[0].value, 0.1);
  EXPECT_EQ(reals[1].value, 0.25);
  EXPECT_FALSE(pln::host::ParametersOpen());
  // An unknown parameter fails and still closes the list.
  EXPECT_EQ(CGSUtil::GetObjectParameterList(API_ObjectID, libInd, "nothing", reals), APIERR_BADNAME);
  EXPECT_FALSE(pln::host::ParametersOpen());
  EXPECT_EQ(reals.size(), 2u);
}

}  // namespace
