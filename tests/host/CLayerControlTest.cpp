// The layer guard: it opens a hidden, locked layer for writing and puts
// back exactly what it found; the object look-up by name.

#include "CLayerControl.h"
#include "CMyUserData.h"
#include "GetLibPartInd.h"
#include "HostFixture.h"
#include "host_attributes.h"
#include "host_errors.h"

#include <gtest/gtest.h>

namespace {

class CLayerControlTest : public ::testing::Test {
protected:
  UInt32 Flags(short layer) const
  {
    API_Attribute attribute;
    attribute.header.typeID = API_LayerID;
    attribute.header.index = layer;
    EXPECT_EQ(ACAPI_Attribute_Get(&attribute), NoError);
    return attribute.header.flags;
  }
  API_Elem_Head AddObjectOn(short layer)
  {
    API_Element element;
    element.header.typeID = API_ObjectID;
    element.header.layer = layer;
    element.object.libInd = 1;
    element.object.xRatio = 1.0;
    element.object.yRatio = 1.0;
    EXPECT_EQ(host.AddElement(element), NoError);
    return element.header;
  }

  HostFixture host;
};

TEST_F(CLayerControlTest, ALockedHiddenLayerIsOpenedForWritingAndRestoredExactly)
{
  const short layer = short(host.AddLayer(GS::UniString(u"出力"), 0));
  const API_Elem_Head head = AddObjectOn(layer);
  const UInt32 closed = APILay_Hidden | APILay_Locked | APILay_ForceToWire;
  ASSERT_EQ(host.SetLayerFlags(layer, closed), NoError);

  CMyUserData tag(700, 1);
  EXPECT_EQ(tag.SetUserData(&head), APIERR_LOCKEDLAY);

  CLayerControl guard(layer);
  EXPECT_EQ(Flags(layer), UInt32(APILay_ForceToWire));
  EXPECT_EQ(tag.SetUserData(&head), NoError);
  guard.Reset();
  EXPECT_EQ(Flags(layer), closed);
}

TEST_F(CLayerControlTest, OnlyWhatWasClosedIsClosedAgain)
{
  const short hidden = short(host.AddLayer(GS::UniString(u"hidden"), APILay_Hidden));
  const short locked = short(host.AddLayer(GS::UniString(u"locked"), APILay_Locked));

  CLayerControl hiddenGuard(hidden);
  CLayerControl lockedGuard(locked);
  EXPECT_EQ(Flags(hidden), 0u);
  EXPECT_EQ(Flags(locked), 0u);
  hiddenGuard.Reset();
  lockedGuard.Reset();
  EXPECT_EQ(Flags(hidden), UInt32(APILay_Hidden));
  EXPECT_EQ(Flags(locked), UInt32(APILay_Locked));
}

TEST_F(CLayerControlTest, AnOpenLayerIsNeverWritten)
{
  const short layer = short(host.AddLayer(GS::UniString(u"open"), 0));
  host.ClearCallLog();
  CLayerControl guard(layer);
  guard.Reset();
  for (const std::string& call : host.CallLog())
    EXPECT_NE(call, "ACAPI_Attribute_Modify");
  EXPECT_EQ(Flags(layer), 0u);
}

TEST(GetLibPartIndTest, FindsObjectsByNameAndAnswersZeroWhenMissing)
{
  HostFixture host;
  host.LoadAddOnLibraryParts();
  int index = -1;
  EXPECT_EQ(GetLibPartInd(reinterpret_cast<const unsigned short*>(u"TalvoSoftwareAreaSchedule"), &index), NoError);
  EXPECT_GT(index, 0);

  index = -1;
  EXPECT_EQ(GetLibPartInd(reinterpret_cast<const unsigned short*>(u"NoSuchPart"), &index), APIERR_BADNAME);
  EXPECT_EQ(index, 0);
}

}  // namespace
