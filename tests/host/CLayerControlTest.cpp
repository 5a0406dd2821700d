// The layer guard: it opens a hidden, locked layer for writing and puts
// back exactly what it found; the object look-up by name.

#include "CLayerControl.h"
#include "CMyUserData.h"
#include "GetLibPartInd.h"
#include "HostTestSupport.h"

namespace {

using CLayerControlTest = HostTest;

TEST_F(CLayerControlTest, ALockedHiddenLayerIsOpenedForWritingAndRestoredExactly)
{
  const short layer = short(host.AddLayer(GS::UniString(u"出力"), 0));
  const API_Elem_Head head = AddObject(layer);
  const UInt32 closed = APILay_Hidden | APILay_Locked | APILay_ForceToWire;
  ASSERT_EQ(host.SetLayerFlags(layer, closed), NoError);

  CMyUserData tag(700, 1);
  EXPECT_EQ(tag.SetUserData(&head), APIERR_LOCKEDLAY);

  CLayerControl guard(layer);
  EXPECT_EQ(LayerFlags(layer), UInt32(APILay_ForceToWire));
  EXPECT_EQ(tag.SetUserData(&head), NoError);
  guard.Reset();
  EXPECT_EQ(LayerFlags(layer), closed);
}

TEST_F(CLayerControlTest, OnlyWhatWasClosedIsClosedAgainAndAnOpenLayerIsNeverWritten)
{
  const short hidden = short(host.AddLayer(GS::UniString(u"hidden"), APILay_Hidden));
  const short locked = short(host.AddLayer(GS::UniString(u"locked"), APILay_Locked));
  CLayerControl hiddenGuard(hidden);
  CLayerControl lockedGuard(locked);
  EXPECT_EQ(LayerFlags(hidden), 0u);
  EXPECT_EQ(LayerFlags(locked), 0u);
  hiddenGuard.Reset();
  lockedGuard.Reset();
  EXPECT_EQ(LayerFlags(hidden), UInt32(APILay_Hidden));
  EXPECT_EQ(LayerFlags(locked), UInt32(APILay_Locked));

  const short open = short(host.AddLayer(GS::UniString(u"open"), 0));
  host.ClearCallLog();
  CLayerControl(open).Reset();
  EXPECT_EQ(Calls("ACAPI_Attribute_Modify"), 0);
  EXPECT_EQ(LayerFlags(open), 0u);
}

// A write is told first; a layer that could not be closed again is named,
// and what was written stands.
TEST_F(CLayerControlTest, AWriteRunsOnTheOpenedLayerWhichIsClosedAgainWhateverItAnswers)
{
  const short layer = short(host.AddLayer(GS::UniString(u"出力"), 0));
  const API_Elem_Head head = AddObject(layer);
  const UInt32 closed = APILay_Hidden | APILay_Locked;
  ASSERT_EQ(host.SetLayerFlags(layer, closed), NoError);
  CMyUserData tag(700, 1);
  EXPECT_EQ(CLayerControl::Write(layer, [&]() { return tag.SetUserData(&head); }), NoError);
  EXPECT_EQ(LayerFlags(layer), closed);
  EXPECT_EQ(CLayerControl::Write(layer, []() { return GSErrCode(APIERR_MEMFULL); }), APIERR_MEMFULL);
  EXPECT_EQ(LayerFlags(layer), closed);

  // Opening takes two changes; the third, hiding it again, fails.
  host.FailOnce("ACAPI_Attribute_Modify", NoError);
  host.FailOnce("ACAPI_Attribute_Modify", NoError);
  host.FailOnce("ACAPI_Attribute_Modify", APIERR_GENERAL);
  EXPECT_EQ(CLayerControl::Write(layer, []() { return GSErrCode(NoError); }), NoError);
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_EQ(host.Alerts()[0].largeText, GS::UniString(u"レイヤー「出力」のロックまたは非表示を元に戻せませんでした"));
}

TEST_F(CLayerControlTest, GetLibPartIndFindsObjectsByNameAndAnswersZeroWhenMissing)
{
  host.LoadAddOnLibraryParts();
  int index = -1;
  EXPECT_EQ(GetLibPartInd(UName(u"TalvoSoftwareAreaSchedule"), &index), NoError);
  EXPECT_GT(index, 0);
  index = -1;
  EXPECT_EQ(GetLibPartInd(UName(u"NoSuchPart"), &index), APIERR_BADNAME);
  EXPECT_EQ(index, 0);
}

}  // namespace
