// Elements: a locked or hidden layer refuses writes; memos come back
// 1-based and their handles return; polygons are checked; the change mask
// takes only the marked fields; zone quantities measure arcs and holes.

#include "PlatformTestSupport.h"

#include "host_goodies.h"
#include "host_libpart.h"
#include "host_paramlist.h"
#include "host_userdata.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

using HostElementTest = HostModelTest;

API_Element ZoneRecord()
{
  API_Element zone;
  zone.header.typeID = API_ZoneID;
  zone.header.layer = 1;
  zone.zone.roomName = GS::UniString(u"居室");
  return zone;
}

TEST_F(HostElementTest, ALockedOrHiddenLayerRefusesEveryWrite)
{
  const short locked = static_cast<short>(host.AddLayer(GS::UniString(u"Locked"), APILay_Locked));
  const short hidden = static_cast<short>(host.AddLayer(GS::UniString(u"Hidden"), APILay_Hidden));
  API_Element element;
  element.header.typeID = API_ObjectID;
  element.header.layer = locked;
  element.object.libInd = 1;
  EXPECT_EQ(ACAPI_Element_Create(&element, nullptr), APIERR_LOCKEDLAY);
  element.header.layer = hidden;
  EXPECT_EQ(ACAPI_Element_Create(&element, nullptr), APIERR_HIDDENLAY);
  EXPECT_TRUE(host.ElementsOfType(API_ObjectID).empty());

  // An element whose layer is locked afterwards can be read, not written.
  const short layer = static_cast<short>(host.AddLayer(GS::UniString(u"Figures")));
  const API_Guid guid = AddObject(0, 0, layer);
  const API_Guid free = AddObject(1, 0);
  ASSERT_EQ(host.SetLayerFlags(layer, APILay_Locked | APILay_Hidden), NoError);
  API_Element read;
  EXPECT_EQ(Read(guid, &read), NoError);

  API_ElementMask mask;
  mask.Set(&API_Element::object, &API_ObjectType::angle);
  read.object.angle = 1.0;
  EXPECT_EQ(ACAPI_Element_Change(&read, &mask, nullptr, 0, true), APIERR_LOCKEDLAY);
  EXPECT_EQ(host.Element(guid)->element.object.angle, 0.0);
  // All or nothing: the free element in the same call stays too.
  EXPECT_EQ(ACAPI_Element_Delete({free, guid}), APIERR_LOCKEDLAY);
  EXPECT_FALSE(host.Element(free)->deleted);
  API_UserData data;
  EXPECT_EQ(ACAPI_Element_SetUserData(&read.header, &data), APIERR_LOCKEDLAY);
  EXPECT_EQ(ACAPI_Element_DeleteUserData(&read.header), APIERR_LOCKEDLAY);
  EXPECT_EQ(host.UserMove({guid}, API_Coord{1, 1}), APIERR_LOCKEDLAY);

  // Moving a free element onto the locked layer is a write on it as well.
  API_Element other;
  Read(free, &other);
  other.header.layer = layer;
  API_ElementMask layerMask;
  layerMask.Set(&API_Element::header, &API_Elem_Head::layer);
  EXPECT_EQ(ACAPI_Element_Change(&other, &layerMask, nullptr, 0, true), APIERR_LOCKEDLAY);

  EXPECT_TRUE(ACAPI_Element_Filter(guid, 0));
  EXPECT_FALSE(ACAPI_Element_Filter(guid, APIFilt_OnVisLayer));
  EXPECT_FALSE(ACAPI_Element_Filter(guid, APIFilt_IsEditable));
  EXPECT_TRUE(ACAPI_Element_Filter(free, APIFilt_OnVisLayer | APIFilt_IsEditable));
}

TEST_F(HostElementTest, MemosComeBackOneBasedAndTheirHandlesReturn)
{
  // A 4 x 3 zone with a 1 x 1 hole; the edge 2-3 is a half circle.
  PolygonMemo polygon({{{0, 0}, {4, 0}, {4, 3}, {0, 3}}, {{1, 1}, {1, 2}, {2, 2}, {2, 1}}},
                      {API_PolyArc{2, 3, std::numbers::pi}});
  API_Element zone = ZoneRecord();
  ASSERT_EQ(host.AddPolygonElement(zone, polygon), NoError);
  EXPECT_EQ(zone.zone.poly.nCoords, 10);
  EXPECT_EQ(zone.zone.poly.nSubPolys, 2);

  const std::ptrdiff_t handlesBefore = host.HandlesSinceReset();
  API_ElementMemo memo;
  ASSERT_EQ(ACAPI_Element_GetMemo(zone.header.guid, &memo), NoError);
  EXPECT_EQ(BMGetHandleSize(reinterpret_cast<GSHandle>(memo.coords)), static_cast<GSSize>(11 * sizeof(API_Coord)));
  EXPECT_EQ((*memo.coords)[1], (API_Coord{0, 0}));
  EXPECT_EQ((*memo.coords)[5], (API_Coord{0, 0}));
  EXPECT_EQ((*memo.coords)[6], (API_Coord{1, 1}));
  EXPECT_EQ((std::vector<Int32>(*memo.pends, *memo.pends + 3)), (std::vector<Int32>{0, 5, 10}));
  EXPECT_EQ((*memo.parcs)[0].arcAngle, std::numbers::pi);
  EXPECT_EQ(memo.params, nullptr);
  EXPECT_EQ(host.HandlesSinceReset(), handlesBefore + 3);
  ACAPI_DisposeElemMemoHdls(&memo);
  EXPECT_EQ(memo.coords, nullptr);
  EXPECT_EQ(host.HandlesSinceReset(), handlesBefore);

  // The half circle on the right edge bulges outwards: 12 + pi 1.5^2 / 2 - 1.
  API_ElementQuantity quantity;
  ASSERT_EQ(ACAPI_Element_GetQuantities(zone.header.guid, &quantity), NoError);
  EXPECT_NEAR(quantity.zone.area, 11.0 + std::numbers::pi * 1.125, 1e-12);
  EXPECT_NEAR(quantity.zone.perimeter, 4 + 4 + 3 + std::numbers::pi * 1.5, 1e-12);

  API_Box3D box;
  ASSERT_EQ(ACAPI_Goodies('CABO', &zone.header.guid, &box), NoError);
  EXPECT_NEAR(box.xMax, 5.5, 1e-12);
  EXPECT_EQ(box.yMin, 0.0);
}

TEST_F(HostElementTest, ObjectParametersTravelThroughTheMemoAsDeepCopies)
{
  using pln::host::internal::ParamValue;
  API_ElementMemo memo;
  memo.params = pln::host::internal::ToHandle(
      {ParamValue{.name = "A", .real = 2.5}, ParamValue{.name = "matrix_rowh", .dim1 = 2, .dim2 = 1, .reals = {0.0, 7.0}}});
  API_Element object;
  object.header.typeID = API_ObjectID;
  object.header.layer = 1;
  object.object.libInd = 1;
  ASSERT_EQ(host.AddElement(object, &memo), NoError);
  pln::host::FreeAddParHandle(&memo.params);

  API_ElementMemo read;
  ASSERT_EQ(ACAPI_Element_GetMemo(object.header.guid, &read, APIMemoMask_AddPars), NoError);
  ASSERT_EQ(pln::host::AddParCount(read.params), 2);
  EXPECT_EQ((*read.params)[0].realValue, 2.5);
  EXPECT_EQ(reinterpret_cast<double*>(*(*read.params)[1].arrayValue)[1], 7.0);
  EXPECT_EQ(read.coords, nullptr);  // not asked for

  // An empty mask keeps every field; the memo mask replaces the list.
  (*read.params)[0].realValue = 9.0;
  API_Element change;
  change.header.guid = object.header.guid;
  change.object.angle = 2.0;
  API_ElementMask empty;
  ASSERT_EQ(ACAPI_Element_Change(&change, &empty, &read, APIMemoMask_AddPars, true), NoError);
  EXPECT_EQ(change.object.angle, 0.0);
  EXPECT_EQ(change.object.libInd, 1);
  ACAPI_DisposeElemMemoHdls(&read);
  ASSERT_NE(host.Parameter(object.header.guid, "A"), nullptr);
  EXPECT_EQ(host.Parameter(object.header.guid, "A")->record.realValue, 9.0);
  EXPECT_EQ(host.Parameter(object.header.guid, "matrix_rowh")->arrayBytes.size(), 2 * sizeof(double));
  EXPECT_EQ(host.Parameter(object.header.guid, "B"), nullptr);
}

TEST_F(HostElementTest, BrokenPolygonsAreRefused)
{
  API_Element zone = ZoneRecord();
  PolygonMemo open({{{0, 0}, {1, 0}, {1, 1}}}, {}, false);  // last coordinate not the first
  EXPECT_EQ(host.AddPolygonElement(zone, open), APIERR_IRREGULARPOLY);
  PolygonMemo segment({{{0, 0}, {1, 0}}});  // two corners without an arc
  EXPECT_EQ(host.AddPolygonElement(zone, segment), APIERR_IRREGULARPOLY);
  // Two corners joined by two half circles make a circle.
  PolygonMemo circle({{{0, 0}, {2, 0}}}, {API_PolyArc{1, 2, -std::numbers::pi}, API_PolyArc{2, 3, -std::numbers::pi}});
  EXPECT_EQ(host.AddPolygonElement(zone, circle), NoError);
  PolygonMemo square({{{0, 0}, {1, 0}, {1, 1}}});
  zone.zone.poly = square.Polygon();
  zone.zone.poly.nCoords += 1;  // counts that disagree with the arrays
  EXPECT_EQ(host.AddElement(zone, square.Memo()), APIERR_BADPOLY);
  // An arc across two contours' boundary.
  PolygonMemo crossing({{{0, 0}, {1, 0}, {1, 1}}, {{5, 5}, {6, 5}, {6, 6}}}, {API_PolyArc{4, 5, 1.0}});
  EXPECT_EQ(host.AddPolygonElement(zone, crossing), APIERR_BADPOLY);
  EXPECT_EQ(host.ElementsOfType(API_ZoneID).size(), 1u);
}

TEST_F(HostElementTest, DefaultsFollowTheActiveStoryAndUnknownKindsAreRefused)
{
  ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
  ASSERT_EQ(host.UserChangeStory(1), NoError);
  API_Element element;
  element.header.typeID = API_TextID;
  API_ElementMemo memo;
  ASSERT_EQ(ACAPI_Element_GetDefaults(&element, &memo), NoError);
  EXPECT_EQ(element.header.floorInd, 1);
  EXPECT_EQ(element.header.layer, 1);
  EXPECT_EQ(element.text.size, 2.5);
  element.header.typeID = API_ZombieElemID;
  EXPECT_EQ(ACAPI_Element_GetDefaults(&element, &memo), APIERR_BADELEMENTTYPE);
  // A story that does not exist is refused on the floor plan.
  element.header.typeID = API_ObjectID;
  element.object.libInd = 1;
  element.header.floorInd = 7;
  EXPECT_EQ(host.AddElement(element), APIERR_INVALFLOOR);
}

}  // namespace

namespace {

// A zone's room height and bottom offset are its own: created, read back,
// changed and undone with the rest of the record.
TEST_F(HostElementTest, AZoneKeepsItsRoomHeightAndBottomOffset)
{
  PolygonMemo polygon({{{0, 0}, {4, 0}, {4, 3}, {0, 3}}});
  API_Element zone = ZoneRecord();
  zone.zone.roomHeight = 2.45;
  zone.zone.roomBottomOffset = -0.3;
  ASSERT_EQ(host.AddPolygonElement(zone, polygon), NoError);
  API_Element read;
  read.header.guid = zone.header.guid;
  ASSERT_EQ(ACAPI_Element_Get(&read), NoError);
  EXPECT_EQ(read.zone.roomHeight, 2.45);
  EXPECT_EQ(read.zone.roomBottomOffset, -0.3);

  ASSERT_EQ(host.UserEdit(zone.header.guid, [](API_Element& e) { e.zone.roomHeight = 3.1; }), NoError);
  ASSERT_EQ(ACAPI_Element_Get(&read), NoError);
  EXPECT_EQ(read.zone.roomHeight, 3.1);
  EXPECT_EQ(read.zone.roomBottomOffset, -0.3);
  ASSERT_EQ(host.UserUndo(), NoError);
  ASSERT_EQ(ACAPI_Element_Get(&read), NoError);
  EXPECT_EQ(read.zone.roomHeight, 2.45);
}

}  // namespace
