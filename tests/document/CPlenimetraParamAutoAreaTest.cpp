// The source elements of automatic areas against the stand-in host: which
// elements qualify, their outlines with and without holes, and the
// collection of the records they carry, with the observers it renews.

#include <algorithm>

#include "CAutoAreaParam.h"
#include "CKelCoord3DCrsPntArray.h"
#include "DocTestSupport.h"

namespace {

const std::vector<API_Coord> kSquare{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
const std::vector<API_Coord> kHole1{{1, 1}, {1, 3}, {3, 3}, {3, 1}};
const std::vector<API_Coord> kHole2{{5, 5}, {5, 7}, {7, 7}, {7, 5}};

class AutoAreaOutlineTest : public DocTest {
protected:
  void SetUp() override { doc.m_FloorParamArray.push_back(MakeFloor(0)); }

  API_Element Place(API_ElemTypeID type, PolygonMemo& polygon, short story = 0)
  {
    API_Element element;
    element.header.typeID = type;
    element.header.layer = 1;
    element.header.floorInd = story;
    EXPECT_EQ(host.AddPolygonElement(element, polygon), NoError);
    return element;
  }

  API_Element Place(API_ElemTypeID type, short story = 0)
  {
    PolygonMemo polygon({kSquare});
    return Place(type, polygon, story);
  }

  // Gives the element a record in its user data.
  void Mark(const API_Element& element)
  {
    CAutoAreaParam areaParam(&element.header);
    areaParam.m_ItemType1 = CItemType1Table::ITEMTYPE_CIRCLE;
    areaParam.m_ItemType2 = CItemType2Table::ITEMTYPE_DECIMAL;
    ASSERT_EQ(areaParam.Save(&doc, CAutoCutType()), NoError);
  }

  long Count(const std::string& call) const
  {
    const auto& log = host.CallLog();
    return std::count_if(log.begin(), log.end(), [&](const std::string& line) { return line.rfind(call, 0) == 0; });
  }
};

TEST_F(AutoAreaOutlineTest, WhichElementsQualify)
{
  for (API_ElemTypeID type : {API_ZoneID, API_SlabID, API_HatchID})
    EXPECT_TRUE(CPlenimetraParam::IsAutoElement(Place(type))) << type;
  EXPECT_TRUE(CPlenimetraParam::IsAutoElement(Place(API_PolyLineID)));

  // A first contour whose last point misses the first by 1e-12: open.
  PolygonMemo nearly({kSquare});
  (*nearly.Memo()->coords)[5].x += 1e-12;
  EXPECT_FALSE(CPlenimetraParam::IsAutoElement(Place(API_PolyLineID, nearly)));
  // The second contour open, the first closed: it qualifies.
  PolygonMemo second({kSquare, kHole1});
  (*second.Memo()->coords)[10].y += 0.5;
  EXPECT_TRUE(CPlenimetraParam::IsAutoElement(Place(API_PolyLineID, second)));
  // A polyline whose memo cannot be read does not.
  const API_Element line = Place(API_PolyLineID);
  host.FailOnce("ACAPI_Element_GetMemo", APIERR_MEMFULL);
  EXPECT_FALSE(CPlenimetraParam::IsAutoElement(line));
  API_Element object;
  object.header = PlaceObject(host);
  EXPECT_FALSE(CPlenimetraParam::IsAutoElement(object));
}

TEST_F(AutoAreaOutlineTest, OutlinesWithAndWithoutHolesForEveryKind)
{
  for (API_ElemTypeID type : {API_ZoneID, API_SlabID, API_HatchID, API_PolyLineID}) {
    PolygonMemo polygon({kSquare, kHole1, kHole2});
    const API_Element element = Place(type, polygon);
    CKelCoord3DCrsPntArrayArray outline;
    ASSERT_EQ(CPlenimetraParam::GetAutoElement(element.header, false, outline), NoError) << type;
    ASSERT_EQ(outline.size(), 1u) << type;
    EXPECT_NEAR(outline[0].GetArea(), 100.0, 1e-9) << type;
    ASSERT_EQ(CPlenimetraParam::GetAutoElement(element.header, true, outline), NoError) << type;
    ASSERT_EQ(outline.size(), 3u) << type;
    EXPECT_NEAR(outline[0].GetArea() + outline[1].GetArea() + outline[2].GetArea(), 92.0, 1e-9) << type;
  }
  // An element that cannot be read: its error, the outline as it was.
  API_Elem_Head gone;
  GS::Guid unknown;
  gone.guid = ToAPIGuid(unknown.Generate());
  CKelCoord3DCrsPntArrayArray kept;
  kept.resize(1);
  EXPECT_NE(CPlenimetraParam::GetAutoElement(gone, true, kept), NoError);
  EXPECT_EQ(kept.size(), 1u);
  // Another kind of element: no error, nothing read.
  EXPECT_EQ(CPlenimetraParam::GetAutoElement(PlaceObject(host), true, kept), NoError);
  EXPECT_EQ(kept.size(), 1u);
}

TEST_F(AutoAreaOutlineTest, AMemoWithoutContoursGivesAnEmptyOutlineAndAFailedReadItsError)
{
  const API_Element slab = Place(API_SlabID);
  API_Polygon none = slab.slab.poly;
  none.nSubPolys = 0;
  CKelCoord3DCrsPntArrayArray outline;
  outline.resize(2);
  EXPECT_EQ(CPlenimetraParam::ElementToKelArea(slab.header.guid, none, true, outline), NoError);
  EXPECT_TRUE(outline.empty());
  // A descriptor that claims more contours than the memo holds reads those
  // the memo has.
  API_Polygon more = slab.slab.poly;
  more.nSubPolys = 9;
  EXPECT_EQ(CPlenimetraParam::ElementToKelArea(slab.header.guid, more, true, outline), NoError);
  EXPECT_EQ(outline.size(), 1u);
  host.FailOnce("ACAPI_Element_GetMemo", APIERR_MEMFULL);
  EXPECT_EQ(CPlenimetraParam::ElementToKelArea(slab.header.guid, slab.slab.poly, true, outline), APIERR_MEMFULL);
  EXPECT_TRUE(outline.empty());
}

TEST_F(AutoAreaOutlineTest, CollectingFindsMarkedElementsAndRenewsTheirObservers)
{
  // Nothing marked: every list stays empty.
  Place(API_ZoneID);
  ASSERT_EQ(doc.GetAutoElement2(), NoError);
  EXPECT_TRUE(doc.m_FloorParamArray[0].m_AutoAreaParamArray.empty());

  const API_Element zone = Place(API_ZoneID);
  const API_Element fill = Place(API_HatchID);
  const API_Element linked = Place(API_SlabID);
  GS::Guid node;
  ASSERT_EQ(host.SetHotlinkNode(linked.header.guid, ToAPIGuid(node.Generate())), NoError);
  ASSERT_EQ(host.AddStory(1, 3.0, u"2FL"), NoError);
  const API_Element upstairs = Place(API_ZoneID, 1);  // story 1 has no floor record
  for (const API_Element* e : {&zone, &fill, &upstairs})
    Mark(*e);
  Mark(linked);  // into the floor's hot-link list
  doc.m_FloorParamArray[0].m_AutoAreaParamArray.Add(CAutoAreaParam(&upstairs.header));  // stale: emptied

  host.ClearCallLog();
  ASSERT_EQ(doc.GetAutoElement2(), NoError);
  const CAutoAreaParamArray& list = doc.m_FloorParamArray[0].m_AutoAreaParamArray;
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].GetGuid(), zone.header.guid);  // zones first, then slabs, polylines, fills
  EXPECT_EQ(list[1].GetGuid(), linked.header.guid);
  EXPECT_EQ(list[2].GetGuid(), fill.header.guid);
  EXPECT_EQ(list[0].m_ItemType1, CItemType1Table::ITEMTYPE_CIRCLE);
  // Observed again, all but the hot-linked element.
  EXPECT_EQ(Count("ACAPI_Element_DetachObserver"), 2);
  EXPECT_EQ(Count("ACAPI_Element_AttachObserver"), 2);
  EXPECT_EQ(doc.m_FloorParamArray[0].m_HotLinkParamArray.size(), 1u);
}

TEST_F(AutoAreaOutlineTest, AFailingAttachEndsTheCollectionWithItsError)
{
  const API_Element first = Place(API_ZoneID);
  const API_Element second = Place(API_HatchID);
  Mark(first);
  Mark(second);
  host.FailOnce("ACAPI_Element_AttachObserver", APIERR_GENERAL);
  EXPECT_EQ(doc.GetAutoElement2(), APIERR_GENERAL);
  EXPECT_TRUE(host.Alerts().empty());  // the caller tells, once
  // The record read before the failure stays; the fill is never reached.
  ASSERT_EQ(doc.m_FloorParamArray[0].m_AutoAreaParamArray.size(), 1u);
  EXPECT_EQ(doc.m_FloorParamArray[0].m_AutoAreaParamArray[0].GetGuid(), first.header.guid);
}

}  // namespace
