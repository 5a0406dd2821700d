// Attributes and library parts: searches by name, materials and zone
// categories made on demand (an existing category counts as success), the
// building material of highest priority, part indexes by kind and name.

#include "CGSUtil.h"
#include "HostTestSupport.h"
#include "host_libpart.h"

namespace {

using CGSUtilAttributesTest = HostTest;

API_Attribute Attribute(API_AttrTypeID type, Int32 index)
{
  API_Attribute attribute;
  attribute.header = {.typeID = type, .index = index};
  EXPECT_EQ(ACAPI_Attribute_Get(&attribute), NoError);
  return attribute;
}

TEST_F(CGSUtilAttributesTest, SearchesAnswerTheIndexOrZeroAndNamesRoundTrip)
{
  host.AddFont(GS::UniString(u"Arial"));
  const Int32 gothic = host.AddFont(GS::UniString(u"ＭＳ ゴシック"));
  EXPECT_EQ(CGSUtil::GSSearchFont(UName(u"ＭＳ ゴシック")), gothic);
  EXPECT_EQ(CGSUtil::GSSearchAttribute(API_FontID, UName(u"Courier")), 0);
  // Names are per type: a layer of that name is no font.
  host.AddLayer(GS::UniString(u"Layer"));
  EXPECT_EQ(CGSUtil::GSSearchFont(UName(u"Layer")), 0);

  GS::UniString name(u"unchanged");
  ASSERT_EQ(CGSUtil::GetAttrName(API_FontID, gothic, name), NoError);
  EXPECT_EQ(name, GS::UniString(u"ＭＳ ゴシック"));
  name = GS::UniString(u"unchanged");
  EXPECT_EQ(CGSUtil::GetAttrName(API_FontID, 77, name), APIERR_BADINDEX);
  EXPECT_EQ(name, GS::UniString(u"unchanged"));
}

TEST_F(CGSUtilAttributesTest, MaterialsAreMadeOnceInTheirColour)
{
  const Int32 glass = CGSUtil::GSGetTransparentMaterial(UName(u"Glass"), 0.25, 0.5, 1.0);
  ASSERT_NE(glass, 0);
  const API_Attribute made = Attribute(API_MaterialID, glass);
  EXPECT_EQ(made.material.surfaceRGB, (API_RGBColor{0.25, 0.5, 1.0}));
  EXPECT_GT(made.material.transpPc, 0);
  EXPECT_EQ(CGSUtil::GSSearchMaterial(UName(u"Glass")), glass);
  // Asked again with another colour: the one already there.
  EXPECT_EQ(CGSUtil::GSGetTransparentMaterial(UName(u"Glass"), 0.0, 0.0, 0.0), glass);

  const Int32 solid = CGSUtil::GSGetSolidMaterial(UName(u"Concrete"), 0.5, 0.5, 0.5);
  ASSERT_NE(solid, 0);
  EXPECT_EQ(Attribute(API_MaterialID, solid).material.transpPc, 0);

  host.FailOnce("ACAPI_Attribute_Create", APIERR_MEMFULL);
  EXPECT_EQ(CGSUtil::GSGetSolidMaterial(UName(u"Brick"), 1.0, 0.0, 0.0), 0);
}

TEST_F(CGSUtilAttributesTest, ZoneCategoryCarriesTheStampParametersAndToleratesAnExistingOne)
{
  pln::host::LibPartDefinition stamp;
  stamp.name = GS::UniString(u"Stamp");
  stamp.type = APILib_ZoneStampID;
  stamp.params.push_back(pln::host::LibParamDefinition{.name = "roomHeight", .real = 2.4});
  pln::host::AddLibraryPart(stamp);

  int index = 0;
  const API_RGBColor red{1.0, 0.0, 0.0};
  ASSERT_EQ(CGSUtil::SetZoneCategory(UName(u"R1"), UName(u"Stamp"), "Room", red, &index), NoError);
  ASSERT_NE(index, 0);
  const API_Attribute category = Attribute(API_ZoneCatID, index);
  EXPECT_EQ(category.zoneCat.catCode, GS::UniString(u"R1"));
  EXPECT_EQ(category.zoneCat.stampName, GS::UniString(u"Stamp"));
  EXPECT_EQ(CGSUtil::GetZoneCatColor(index), red);

  int again = 0;
  EXPECT_EQ(CGSUtil::SetZoneCategory(UName(u"R2"), UName(u""), "Room", red, &again), NoError);
  EXPECT_EQ(again, index);

  // A stamp that is not loaded fails the whole operation.
  int missing = -1;
  EXPECT_EQ(CGSUtil::SetZoneCategory(UName(u"X"), UName(u"NoStamp"), "Other", red, &missing), APIERR_BADNAME);
  EXPECT_EQ(missing, -1);
  EXPECT_EQ(CGSUtil::GetZoneCatColor(99), API_RGBColor{});
}

TEST_F(CGSUtilAttributesTest, HighestPriorityBuildingMaterialFirstOnTies)
{
  EXPECT_EQ(CGSUtil::GetMaxPriorityBuildingMaterial(), 0);
  auto add = [&](const char16_t* name, Int32 priority) {
    API_Attribute material;
    material.header = {.typeID = API_BuildingMaterialID, .name = GS::UniString(name)};
    material.buildingMaterial.priority = priority;
    return host.AddAttribute(material);
  };
  add(u"A", 10);
  const Int32 b = add(u"B", 40);
  add(u"C", 40);
  const Int32 d = add(u"D", 90);
  EXPECT_EQ(CGSUtil::GetMaxPriorityBuildingMaterial(), d);
  ASSERT_EQ(pln::host::DeleteAttribute(API_BuildingMaterialID, d), NoError);
  EXPECT_EQ(CGSUtil::GetMaxPriorityBuildingMaterial(), b);
}

TEST_F(CGSUtilAttributesTest, LibraryPartIndexBySearchKindAndName)
{
  host.LoadAddOnLibraryParts();
  int index = -1;
  ASSERT_EQ(CGSUtil::GetLibPartInd(APILib_ObjectID, UName(u"TalvoSoftwareAreaCircle"), &index), NoError);
  EXPECT_EQ(GS::UniString(pln::host::LibraryPart(index)->name), GS::UniString(u"TalvoSoftwareAreaCircle"));

  index = -1;
  EXPECT_EQ(CGSUtil::GetLibPartInd(APILib_ObjectID, UName(u"NoSuchPart"), &index), APIERR_BADNAME);
  EXPECT_EQ(index, 0);
  // The generic kind does not find the add-on's object parts.
  index = -1;
  EXPECT_EQ(CGSUtil::GetLibInd(UName(u"TalvoSoftwareAreaCircle"), &index), APIERR_BADNAME);
  EXPECT_EQ(index, 0);
  // A name too long for the search record names no part.
  const std::u16string longName(300, u'x');
  EXPECT_EQ(CGSUtil::GetLibPartInd(APILib_ObjectID, UName(longName.c_str()), &index), APIERR_BADNAME);
}

}  // namespace
