// The model's request codes and tools: hot-link nodes, element ID texts,
// display order, groups, walls with their openings, curtain walls, menus.

#include "PlatformTestSupport.h"

#include "host_environment.h"
#include "host_goodies.h"
#include "host_libpart.h"

#include <cmath>
#include <numbers>

namespace {

using HostGoodiesTest = HostModelTest;

TEST_F(HostGoodiesTest, HotlinkNodeAndElementIdText)
{
  const API_Guid plain = AddObject(0, 0);
  const API_Guid linked = AddObject(1, 0);
  const API_Guid node = ToAPIGuid(GS::Guid().Generate());
  ASSERT_EQ(host.SetHotlinkNode(linked, node), NoError);
  ASSERT_EQ(host.SetInfoString(linked, GS::UniString(u"Z-001")), NoError);

  API_Guid answer = node;
  ASSERT_EQ(ACAPI_Goodies('GHLG', const_cast<API_Guid*>(&plain), &answer), NoError);
  EXPECT_TRUE(answer.IsNull());
  ASSERT_EQ(ACAPI_Goodies('GHLG', const_cast<API_Guid*>(&linked), &answer), NoError);
  EXPECT_EQ(answer, node);

  GS::UniString text(u"old");
  ASSERT_EQ(ACAPI_Database('GEIS', const_cast<API_Guid*>(&plain), &text), NoError);
  EXPECT_TRUE(text.IsEmpty());
  ASSERT_EQ(ACAPI_Database('GEIS', const_cast<API_Guid*>(&linked), &text), NoError);
  EXPECT_EQ(text, GS::UniString(u"Z-001"));
  EXPECT_EQ(ACAPI_Goodies('NONE', const_cast<API_Guid*>(&plain), &answer), APIERR_BADPARS);
}

TEST_F(HostGoodiesTest, DisplayOrderToFrontAndBackAndGroupsMarkEveryMember)
{
  const API_Guid a = AddObject(0, 0);
  const API_Guid b = AddObject(1, 0);
  const API_Guid c = AddObject(2, 0);
  ASSERT_EQ(ACAPI_Element_Tool({a}, 'OFR0'), NoError);
  ASSERT_EQ(ACAPI_Element_Tool({c}, 'OBA0'), NoError);
  auto order = [&](const API_Guid& guid) { return host.Element(guid)->element.header.drwIndex; };
  EXPECT_GT(order(a), order(b));
  EXPECT_LT(order(c), order(b));
  EXPECT_EQ(ACAPI_Element_Tool({a}, 'XXXX'), APIERR_BADPARS);

  API_Guid group;
  ASSERT_EQ(ACAPI_ElementGroup_Create({a, b}, &group), NoError);
  EXPECT_FALSE(group.IsNull());
  EXPECT_EQ(host.Element(a)->element.header.groupGuid, group);
  EXPECT_EQ(host.Element(b)->element.header.groupGuid, group);
  EXPECT_TRUE(host.Element(c)->element.header.groupGuid.IsNull());
  EXPECT_EQ(ACAPI_ElementGroup_Create({}, &group), APIERR_BADPARS);
}

TEST_F(HostGoodiesTest, AWallsMemoListsItsWindowsAndDoorsInCreationOrder)
{
  API_Element wall;
  wall.header.typeID = API_WallID;
  wall.header.layer = 1;
  wall.wall.endC = API_Coord{10, 0};
  ASSERT_EQ(host.AddElement(wall), NoError);
  auto opening = [&](API_ElemTypeID type, const API_Guid& owner) {
    API_Element element;
    element.header.typeID = type;
    element.header.layer = 1;
    (type == API_WindowID ? element.window : element.door).owner = owner;
    const GSErrCode err = host.AddElement(element);
    return std::make_pair(err, element.header.guid);
  };
  const API_Guid w1 = opening(API_WindowID, wall.header.guid).second;
  const API_Guid d1 = opening(API_DoorID, wall.header.guid).second;
  const API_Guid w2 = opening(API_WindowID, wall.header.guid).second;
  EXPECT_EQ(opening(API_DoorID, w1).first, APIERR_BADID);  // a window is no wall

  API_ElementMemo memo;
  ASSERT_EQ(ACAPI_Element_GetMemo(wall.header.guid, &memo, APIMemoMask_WallWindows | APIMemoMask_WallDoors), NoError);
  auto guids = [](API_Guid** handle) {
    const auto count = static_cast<std::size_t>(BMGetHandleSize(reinterpret_cast<GSHandle>(handle))) / sizeof(API_Guid);
    return std::vector<API_Guid>(*handle, *handle + count);
  };
  EXPECT_EQ(guids(memo.wallWindows), (std::vector<API_Guid>{w1, w2}));
  EXPECT_EQ(guids(memo.wallDoors), (std::vector<API_Guid>{d1}));
  ACAPI_DisposeElemMemoHdls(&memo);
}

TEST_F(HostGoodiesTest, CurtainWallBaseAndSlantedLength)
{
  API_Element cwall;
  cwall.header.typeID = API_CurtainWallID;
  cwall.header.layer = 1;
  cwall.cwall.baseOffset = 0.5;
  cwall.cwall.height = 3.0;
  cwall.cwall.slantAngle = std::numbers::pi / 3.0;
  ASSERT_EQ(host.AddElement(cwall), NoError);
  double base = 0.0;
  ASSERT_EQ(ACAPI_Goodies('GCWB', &cwall.cwall, &base), NoError);
  EXPECT_EQ(base, 0.5);
  API_ElementQuantity quantity;
  ASSERT_EQ(ACAPI_Element_GetQuantities(cwall.header.guid, &quantity), NoError);
  EXPECT_NEAR(quantity.cwall.slantedLength, 6.0, 1e-12);
  EXPECT_EQ(quantity.cwall.slantAngle, std::numbers::pi / 3.0);
  EXPECT_EQ(ACAPI_Element_GetQuantities(AddObject(0, 0), &quantity), APIERR_BADELEMENTTYPE);
}

TEST_F(HostGoodiesTest, BoundsOfASlabReachDownByItsThicknessFromItsStory)
{
  ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
  PolygonMemo outline({{{1, 2}, {4, 2}, {4, 6}, {1, 6}}});
  API_Element slab;
  slab.header.typeID = API_SlabID;
  slab.header.layer = 1;
  slab.header.floorInd = 1;
  slab.slab.level = 0.2;
  slab.slab.thickness = 0.25;
  ASSERT_EQ(host.AddPolygonElement(slab, outline), NoError);
  API_Box3D box;
  ASSERT_EQ(ACAPI_Goodies('CABO', &slab.header.guid, &box), NoError);
  EXPECT_EQ(box.xMin, 1.0);
  EXPECT_EQ(box.yMax, 6.0);
  EXPECT_DOUBLE_EQ(box.zMin, 2.95);
  EXPECT_DOUBLE_EQ(box.zMax, 3.2);
}

GSErrCode CountMenuCommand(const API_MenuParams* params)
{
  return params->menuItemRef.itemIndex == 1 ? NoError : APIERR_BADINDEX;
}

TEST_F(HostGoodiesTest, MenuCommandsReachTheInstalledHandlerAndTypeNames)
{
  EXPECT_EQ(ACAPI_Install_MenuHandler(32500, CountMenuCommand), APIERR_BADID);
  ASSERT_EQ(ACAPI_Register_Menu(32500, 32520, 0, 0), NoError);
  EXPECT_EQ(host.UserChooseMenuItem(32500, 1), APIERR_BADID);  // no handler yet
  ASSERT_EQ(ACAPI_Install_MenuHandler(32500, CountMenuCommand), NoError);
  EXPECT_EQ(host.UserChooseMenuItem(32500, 1), NoError);
  EXPECT_EQ(host.UserChooseMenuItem(32500, 2), APIERR_BADINDEX);

  GS::UniString name;
  ASSERT_EQ(ACAPI_Goodies_GetElemTypeName(API_HatchID, name), NoError);
  EXPECT_EQ(name, GS::UniString(u"Fill"));
  EXPECT_EQ(ACAPI_Goodies_GetElemTypeName(API_ZombieElemID, name), APIERR_BADELEMENTTYPE);
}

}  // namespace
