// Layer switches: flags read and written bit by bit, writes only on a real
// change, layers found or made by name, combinations of every live layer.

#include "CGSUtil.h"
#include "HostTestSupport.h"
#include "host_environment.h"

#include <tuple>

namespace {

using CGSUtilLayersTest = HostTest;

TEST_F(CGSUtilLayersTest, StatusReadsEachFlagAlone)
{
  const short layer = static_cast<short>(host.AddLayer(GS::UniString(u"L"), APILay_Hidden | APILay_ForceToWire));
  bool locked = true, visible = true, wire = false;
  ASSERT_EQ(CGSUtil::GetLayerLockStatus(layer, &locked), NoError);
  ASSERT_EQ(CGSUtil::GetLayerVisibleStatus(layer, &visible), NoError);
  ASSERT_EQ(CGSUtil::GetLayerForceToWire(layer, &wire), NoError);
  EXPECT_EQ(std::tuple(locked, visible, wire), std::tuple(false, false, true));

  // An unknown layer passes the host's error on and leaves the answer alone.
  locked = true;
  EXPECT_EQ(CGSUtil::GetLayerLockStatus(99, &locked), APIERR_BADINDEX);
  EXPECT_TRUE(locked);
}

TEST_F(CGSUtilLayersTest, SettersChangeOnlyTheirFlagAndWriteOnlyOnAChange)
{
  const short layer = static_cast<short>(host.AddLayer(GS::UniString(u"L"), APILay_Locked | APILay_ForceToWire));
  host.ClearCallLog();
  // Already locked, already visible, already wire: nothing to write.
  EXPECT_EQ(CGSUtil::SetLayerLockStatus(layer, true), NoError);
  EXPECT_EQ(CGSUtil::SetLayerVisibleStatusNew(layer, true), NoError);
  EXPECT_EQ(CGSUtil::SetLayerForceToWire(layer, true), NoError);
  EXPECT_EQ(Calls("ACAPI_Attribute_Modify"), 0);

  EXPECT_EQ(CGSUtil::SetLayerLockStatus(layer, false), NoError);
  EXPECT_EQ(LayerFlags(layer), APILay_ForceToWire);
  EXPECT_EQ(CGSUtil::SetLayerVisibleStatusNew(layer, false), NoError);
  EXPECT_EQ(LayerFlags(layer), APILay_ForceToWire | APILay_Hidden);
  EXPECT_EQ(CGSUtil::SetLayerForceToWire(layer, false), NoError);
  EXPECT_EQ(LayerFlags(layer), APILay_Hidden);
  EXPECT_EQ(Calls("ACAPI_Attribute_Modify"), 3);

  host.FailOnce("ACAPI_Attribute_Modify", APIERR_NOTMINE);
  EXPECT_EQ(CGSUtil::SetLayerVisibleStatusNew(layer, true), APIERR_NOTMINE);
  EXPECT_EQ(LayerFlags(layer), APILay_Hidden);
}

TEST_F(CGSUtilLayersTest, OldVisibilitySwitchGoesThroughTheFloorPlanWhenThreeDIsInFront)
{
  const short layer = static_cast<short>(host.AddLayer(GS::UniString(u"L"), APILay_Hidden));
  API_WindowInfo threeD;
  threeD.typeID = APIWind_3DModelID;
  ASSERT_EQ(ACAPI_Automate('CHWD', &threeD), NoError);
  host.ClearCallLog();

  ASSERT_EQ(CGSUtil::SetLayerVisibleStatusOld(layer, true), NoError);
  EXPECT_EQ(LayerFlags(layer), 0u);
  EXPECT_EQ(Calls("ACAPI_Automate:CHWD"), 2);  // to the plan and back to 3D
  API_WindowInfo front;
  ASSERT_EQ(ACAPI_Database('GWIN', &front), NoError);
  EXPECT_EQ(front.typeID, APIWind_3DModelID);

  host.ClearCallLog();
  ASSERT_EQ(CGSUtil::SetLayerVisibleStatusOld(layer, false), NoError);
  EXPECT_EQ(LayerFlags(layer), APILay_Hidden);
  EXPECT_EQ(Calls("ACAPI_Automate:SS3D"), 1);

  // No change: not even the window is asked for.
  host.ClearCallLog();
  ASSERT_EQ(CGSUtil::SetLayerVisibleStatusOld(layer, false), NoError);
  EXPECT_EQ(Calls("ACAPI_Database:GWIN"), 0);
}

TEST_F(CGSUtilLayersTest, SelectLayerFindsOrCreatesByName)
{
  const short existing = static_cast<short>(host.AddLayer(GS::UniString(u"メンセラ")));
  EXPECT_EQ(CGSUtil::GSSelectLayer(UName(u"メンセラ"), 0), existing);

  const short made = CGSUtil::GSSelectLayer(UName(u"求積図"), 7);
  ASSERT_NE(made, 0);
  API_Attribute layer;
  layer.header = {.typeID = API_LayerID, .index = made};
  ASSERT_EQ(ACAPI_Attribute_Get(&layer), NoError);
  EXPECT_EQ(layer.header.name, GS::UniString(u"求積図"));
  EXPECT_EQ(layer.layer.conClassId, 7);
  EXPECT_EQ(CGSUtil::GSSelectLayer(UName(u"求積図"), 0), made);

  host.FailOnce("ACAPI_Attribute_Create", APIERR_MEMFULL);
  EXPECT_EQ(CGSUtil::GSSelectLayer(UName(u"新規"), 0), 0);
}

TEST_F(CGSUtilLayersTest, SeparateLayerNameSplitsAtTheFirstDot)
{
  const std::tuple<const char*, std::string, std::string> cases[] = {
      {"A.B.C", "A", "B.C"}, {"NoDot", "NoDot", ""}, {".Tail", "", "Tail"}};
  for (const auto& [name, head, tail] : cases) {
    std::string a = "x", b = "y";
    CGSUtil::SeparateLayerName(name, a, b);
    EXPECT_EQ(std::tie(a, b), std::tie(head, tail)) << name;
  }
}

TEST_F(CGSUtilLayersTest, LayerCombinationRecordsEveryLiveLayer)
{
  const Int32 a = host.AddLayer(GS::UniString(u"A"), APILay_Locked);
  const Int32 b = host.AddLayer(GS::UniString(u"B"));
  const Int32 c = host.AddLayer(GS::UniString(u"C"), APILay_Hidden);
  ASSERT_EQ(pln::host::DeleteAttribute(API_LayerID, b), NoError);

  ASSERT_EQ(CGSUtil::SaveLayerComb("Comb"), NoError);
  API_Attribute comb;
  comb.header = {.typeID = API_LayerCombID, .name = GS::UniString(u"Comb")};
  ASSERT_EQ(ACAPI_Attribute_Search(&comb.header), NoError);
  ASSERT_EQ(ACAPI_Attribute_Get(&comb), NoError);
  std::vector<std::pair<Int32, UInt32>> stats;
  for (const auto& stat : comb.layerComb.layerStats)
    stats.emplace_back(stat.lInd, stat.lFlags);
  EXPECT_EQ(stats, (std::vector<std::pair<Int32, UInt32>>{{1, 0}, {a, APILay_Locked}, {c, APILay_Hidden}}));

  EXPECT_EQ(CGSUtil::SaveLayerComb("Comb"), APIERR_ATTREXIST);
}

}  // namespace
