// Attributes: unique names per type, indices that stay taken, layer flags
// as stored bits, pens as 0..1 colours.

#include "PlatformTestSupport.h"

#include "host_attributes.h"

#include <cstring>

namespace {

using HostAttributeTest = HostModelTest;

API_Attribute Get(API_AttrTypeID type, Int32 index, GSErrCode expected = NoError)
{
  API_Attribute attribute;
  attribute.header.typeID = type;
  attribute.header.index = index;
  EXPECT_EQ(ACAPI_Attribute_Get(&attribute), expected);
  return attribute;
}

TEST_F(HostAttributeTest, ANameInUseAnswersAttrExistWithTheExistingIndex)
{
  const Int32 first = host.AddLayer(GS::UniString(u"求積図形"));
  ASSERT_EQ(first, 2);  // layer 1 comes with every project
  API_Attribute again;
  again.header.typeID = API_LayerID;
  again.header.name = GS::UniString(u"求積図形");
  EXPECT_EQ(ACAPI_Attribute_Create(&again), APIERR_ATTREXIST);
  EXPECT_EQ(again.header.index, first);
  // The same name is free under another type.
  again.header.typeID = API_FontID;
  EXPECT_EQ(ACAPI_Attribute_Create(&again), NoError);
  EXPECT_EQ(again.header.index, 1);

  API_Attribute nameless;
  nameless.header.typeID = API_MaterialID;
  EXPECT_EQ(ACAPI_Attribute_Create(&nameless), APIERR_BADNAME);
}

TEST_F(HostAttributeTest, SearchGetAndModifyByIndex)
{
  const Int32 pen = host.AddPen(API_RGBColor{1.0, 0.5, 0.25}, 0.35);
  const API_Attribute read = Get(API_PenID, pen);
  EXPECT_EQ(read.pen.rgb, (API_RGBColor{1.0, 0.5, 0.25}));
  EXPECT_EQ(read.pen.width, 0.35);
  API_Attr_Head head = read.header;
  head.index = 0;
  ASSERT_EQ(ACAPI_Attribute_Search(&head), NoError);
  EXPECT_EQ(head.index, pen);
  head.name = GS::UniString(u"no such pen");
  EXPECT_EQ(ACAPI_Attribute_Search(&head), APIERR_BADNAME);

  // Layer flags are plain bits of the record.
  API_Attribute layer = Get(API_LayerID, 1);
  layer.header.flags |= APILay_Locked | APILay_ForceToWire;
  ASSERT_EQ(ACAPI_Attribute_Modify(&layer), NoError);
  API_Attribute locked = Get(API_LayerID, 1);
  EXPECT_EQ(locked.header.flags, APILay_Locked | APILay_ForceToWire);

  // A rename onto another attribute's name is refused.
  host.AddLayer(GS::UniString(u"Other"));
  locked.header.name = GS::UniString(u"Other");
  EXPECT_EQ(ACAPI_Attribute_Modify(&locked), APIERR_ATTREXIST);
  locked.header.index = 99;
  EXPECT_EQ(ACAPI_Attribute_Modify(&locked), APIERR_BADINDEX);
}

TEST_F(HostAttributeTest, DeletedAttributesKeepTheirIndexTaken)
{
  host.AddLayer(GS::UniString(u"A"));
  const Int32 b = host.AddLayer(GS::UniString(u"B"));
  ASSERT_EQ(pln::host::DeleteAttribute(API_LayerID, b), NoError);
  Int32 count = 0;
  ASSERT_EQ(ACAPI_Attribute_GetNum(API_LayerID, &count), NoError);
  EXPECT_EQ(count, 3);
  Get(API_LayerID, b, APIERR_BADINDEX);
  // Its name is free again and the new layer takes the next index.
  EXPECT_EQ(host.AddLayer(GS::UniString(u"B")), 4);
}

TEST_F(HostAttributeTest, ZoneCategoriesKeepACopyOfTheStampParameters)
{
  API_Attribute category;
  category.header.typeID = API_ZoneCatID;
  category.header.name = GS::UniString(u"居室");
  category.zoneCat.catCode = GS::UniString(u"R1");
  category.zoneCat.rgb = API_RGBColor{0.0, 0.0, 1.0};
  category.zoneCat.stampParams = reinterpret_cast<API_AddParType**>(BMAllocateHandle(sizeof(API_AddParType), ALLOCATE_CLEAR, 0));
  std::strcpy((*category.zoneCat.stampParams)[0].name, "stamp_size");
  ASSERT_EQ(ACAPI_Attribute_Create(&category), NoError);
  pln::host::FreeAddParHandle(&category.zoneCat.stampParams);

  const API_Attribute read = Get(API_ZoneCatID, category.header.index);
  EXPECT_EQ(read.zoneCat.catCode, GS::UniString(u"R1"));
  EXPECT_EQ(read.zoneCat.rgb, (API_RGBColor{0.0, 0.0, 1.0}));
  EXPECT_EQ(read.zoneCat.stampParams, nullptr);
  EXPECT_EQ(pln::host::FindAttribute(API_ZoneCatID, read.header.index)->stampParams.size(), 1u);
}

}  // namespace
