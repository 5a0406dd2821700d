// Reserving and releasing the active story in a shared project (this user
// is 3), and the status the palette shows.

#include "ShellTestSupport.h"

#include "host_calllog.h"
#include "host_model.h"

#include <algorithm>

namespace {

class TeamworkTest : public ShellTest {
protected:
  TeamworkTest() { host.SetTeamwork(true, true, 3); }

  void Open()
  {
    ASSERT_EQ(Menu(), NoError);
    a = PlaceRect(0, 0, 0, 1, 1);
    b = PlaceRect(0, 2, 0, 1, 1);
    zone = AddZone(false);
    linked = AddZone(true);
    host.SetOwner(zone, 0);
    host.SetOwner(linked, 7);
  }

  // A zone on 1F with an automatic-area record; hot-linked when asked.
  API_Guid AddZone(bool hotLinked)
  {
    PolygonMemo square({{{10, 0}, {12, 0}, {12, 2}, {10, 2}}});
    API_Element element;
    element.header.typeID = API_ZoneID;
    element.header.layer = 1;
    EXPECT_EQ(host.AddPolygonElement(element, square), NoError);
    if (hotLinked)
      EXPECT_EQ(host.SetHotlinkNode(element.header.guid, ToAPIGuid(GS::Guid().Generate())), NoError);
    Floor(0).m_AutoAreaParamArray.Add(CAutoAreaParam(&element.header));
    return element.header.guid;
  }

  short Owner(const API_Guid& guid) { return host.Element(guid)->element.header.userId; }
  std::size_t Calls(const char* name) const
  {
    return static_cast<std::size_t>(std::count(host.CallLog().begin(), host.CallLog().end(), std::string(name)));
  }
  void ExpectStatus(bool mine)
  {
    EXPECT_EQ(ItemText(15), GS::UniString(mine ? u"フロア編集可能" : u"フロア未確保"));
    EXPECT_EQ(ItemText(16), GS::UniString(mine ? u"解放" : u"確保"));
    EXPECT_EQ(pln::host::DialogItemState(dialId(), 14)->image, DG::Icon(1, mine ? 2702 : 2701));
  }

  std::shared_ptr<CArea1Object> a, b;
  API_Guid zone, linked;
};

TEST_F(TeamworkTest, ThePaletteGrowsByTheTeamworkRowAndShowsIt)
{
  Open();
  short width = 0, height = 0;
  DGGetDialogClientSize(dialId(), DG_CLIENT_CURRENT, &width, &height);
  EXPECT_EQ(height, CPlenimetraPalette::Layout().height + 28);
  for (short item : {14, 15, 16, 17}) {
    EXPECT_TRUE(Visible(item));
    EXPECT_TRUE(Enabled(item));
  }
}

TEST_F(TeamworkTest, ReserveStopsAtAFigureHeldByAnotherThenReservesAndReleasesTheStory)
{
  Open();
  host.SetOwner(b->m_Element.header.guid, 7);
  ExpectStatus(false);
  host.ClearCallLog();
  user().Click(16);
  EXPECT_EQ(Calls("ACAPI_TeamworkControl_ReserveElements"), 1u);
  EXPECT_EQ(Owner(zone), 0);
  EXPECT_TRUE(host.Alerts().empty());

  host.SetOwner(b->m_Element.header.guid, 0);
  ExpectStatus(false);
  user().Click(16);
  EXPECT_EQ(Owner(b->m_Element.header.guid), 3);
  EXPECT_EQ(Owner(zone), 3);
  EXPECT_EQ(Owner(linked), 7);
  ExpectStatus(true);

  host.ClearCallLog();
  user().Click(16);
  EXPECT_EQ(Calls("ACAPI_TeamworkControl_ReleaseElements"), 1u);
  EXPECT_EQ(Owner(a->m_Element.header.guid), 0);
  EXPECT_EQ(Owner(zone), 0);
  EXPECT_EQ(Owner(linked), 7);
  ExpectStatus(false);
}

TEST_F(TeamworkTest, OfflineTheButtonCallsNothing)
{
  Open();
  host.SetTeamwork(true, false, 3);
  host.ClearCallLog();
  user().Click(16);
  EXPECT_EQ(Calls("ACAPI_TeamworkControl_ReserveElements"), 0u);
  EXPECT_EQ(Calls("ACAPI_TeamworkControl_ReleaseElements"), 0u);
}

TEST_F(TeamworkTest, AStoryChangeShowsTheNewStorysStatus)
{
  Open();
  host.SetOwner(zone, 3);
  palette().ElementReservationChangeHandler();
  ExpectStatus(true);
  auto upstairs = PlaceRect(1, 0, 0, 1, 1);
  host.SetOwner(upstairs->m_Element.header.guid, 7);
  ExpectStatus(true);
  ASSERT_EQ(host.UserChangeStory(1), NoError);
  ExpectStatus(false);
}

TEST_F(TeamworkTest, TheSummaryBoxShowsTheFlagAndSetsIt)
{
  doc().m_bTeamworkTotal = true;
  Open();
  EXPECT_EQ(pln::host::DialogItemState(dialId(), 17)->valLong, 1);
  user().Check(17, false);
  EXPECT_FALSE(doc().m_bTeamworkTotal);
}

}  // namespace
