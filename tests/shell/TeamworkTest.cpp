// Reserving and releasing the active story in a shared project (this user
// is 3), and the status the palette shows.

#include "ShellTestSupport.h"

#include "CDlgOutputToWorksheet.h"
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

  // A zone (on 1F unless told) with an automatic-area record on 1F;
  // hot-linked when asked.
  API_Guid AddZone(bool hotLinked, short story = 0)
  {
    PolygonMemo square({{{10, 0}, {12, 0}, {12, 2}, {10, 2}}});
    API_Element element;
    element.header.typeID = API_ZoneID;
    element.header.layer = 1;
    element.header.floorInd = story;
    EXPECT_EQ(host.AddPolygonElement(element, square), NoError);
    if (hotLinked) {
      EXPECT_EQ(host.SetHotlinkNode(element.header.guid, ToAPIGuid(GS::Guid().Generate())), NoError);
    }
    Floor(0).m_AutoAreaParamArray.Add(CAutoAreaParam(&element.header));
    return element.header.guid;
  }

  // Writes the worksheets through the output button; answers the first
  // output element of the active story's sheet and of the summary sheet.
  void OutputSheets()
  {
    host.QueueDialogScript(CDlgOutputToWorksheet::ResourceId, [](pln::host::DialogUser& dialog) { dialog.Click(1); });
    user().Click(3);
    ASSERT_TRUE(host.Alerts().empty());
    // The output leaves the last sheet in front; the user goes back.
    API_WindowInfo plan;
    plan.typeID = APIWind_FloorPlanID;
    ASSERT_EQ(host.UserShowWindow(plan), NoError);
    const GS::UniString name = doc().GetAreaObject(doc().m_CurTreeCode)->m_Name.m_DefaultName;
    sheetElement = FirstObject(name + u" 1F");
    summaryElement = FirstObject(name + u" 建物面積表");
  }
  API_Guid FirstObject(const GS::UniString& sheetName)
  {
    const std::optional<API_DatabaseUnId> sheet = host.WorksheetNamed(sheetName);
    if (!sheet.has_value())
      return APINULLGuid;
    for (API_ElemTypeID type : {API_ObjectID, API_LineID, API_TextID})
      if (const auto elements = host.ElementsIn(*sheet, type); !elements.empty())
        return elements.front()->element.header.guid;
    return APINULLGuid;
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
  API_Guid sheetElement = APINULLGuid, summaryElement = APINULLGuid;
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

// A command's reservation is all or none: refused for the figure another
// user holds, it gives back the free one it took.
TEST_F(TeamworkTest, ACommandsReservationRefusedForOneElementHoldsNone)
{
  Open();
  const API_Guid free = a->m_Element.header.guid, held = b->m_Element.header.guid;
  host.SetOwner(free, 0);
  host.SetOwner(held, 7);
  EXPECT_EQ(doc().DoTeamworkReceive({free, held}), APIERR_NOTMINE);
  EXPECT_EQ(Owner(free), 0);
  EXPECT_EQ(Owner(held), 7);
  EXPECT_EQ(doc().DoTeamworkReceive({free}), NoError);
  EXPECT_EQ(Owner(free), 3);
  // What this user held before stays held.
  EXPECT_EQ(doc().DoTeamworkReceive({free, held}), APIERR_NOTMINE);
  EXPECT_EQ(Owner(free), 3);
}

TEST_F(TeamworkTest, ReleaseLeavesASourceOnAnotherStory)
{
  Open();
  const API_Guid upstairs = AddZone(false, 1);
  user().Click(16);
  ASSERT_EQ(Owner(upstairs), 3);
  ExpectStatus(true);
  user().Click(16);
  EXPECT_EQ(Owner(zone), 0);
  EXPECT_EQ(Owner(upstairs), 3);
}

// A host that names no user holds nothing for this session: the palette
// opens on a story with figures and shows it not reserved.
TEST_F(TeamworkTest, AHostThatNamesNoUserShowsTheStoryNotReserved)
{
  host.SetTeamwork(true, true, 0);
  Open();
  EXPECT_EQ(doc().m_TeamworkUserId, 0);
  ASSERT_EQ(Menu(), NoError);
  ASSERT_EQ(Menu(), NoError);
  ExpectStatus(false);
  GS::Array<API_Guid> figures;
  figures.Push(a->m_Element.header.guid);
  EXPECT_FALSE(doc().GetTeamworkStatus2(figures));
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

// A sheet element of the story held by nobody makes the story unreserved;
// the button then reserves it after the figures, and releases it again.
TEST_F(TeamworkTest, TheStorysOutputSheetJoinsStatusReserveAndRelease)
{
  Open();
  host.SetOwner(zone, 3);
  // The second output reserves the first's elements before deleting them,
  // as this user.
  OutputSheets();
  const API_Guid first = sheetElement;
  OutputSheets();
  ASSERT_NE(sheetElement, APINULLGuid);
  EXPECT_TRUE(host.Element(first)->deleted);
  host.SetOwner(sheetElement, 0);
  palette().ElementReservationChangeHandler();
  ExpectStatus(false);

  host.ClearCallLog();
  user().Click(16);
  // The figures are held already: the sheet, then the sources.
  EXPECT_EQ(Calls("ACAPI_TeamworkControl_ReserveElements"), 2u);
  EXPECT_EQ(Owner(sheetElement), 3);
  ExpectStatus(true);

  user().Click(16);
  EXPECT_EQ(Owner(sheetElement), 0);
  EXPECT_EQ(Owner(a->m_Element.header.guid), 0);
  ExpectStatus(false);
  EXPECT_TRUE(host.Alerts().empty());
}

// The summary sheets go along only while box 17 is checked.
TEST_F(TeamworkTest, TheSummarySheetGoesAlongOnlyWithTheBox)
{
  Open();
  host.SetOwner(zone, 3);
  user().Check(17, true);
  OutputSheets();
  ASSERT_NE(summaryElement, APINULLGuid);
  palette().ElementReservationChangeHandler();
  ExpectStatus(true);

  host.SetOwner(summaryElement, 7);
  user().Check(17, false);
  ExpectStatus(true);
  user().Check(17, true);
  ExpectStatus(false);

  host.SetOwner(summaryElement, 3);
  user().Check(17, false);
  user().Click(16);
  EXPECT_EQ(Owner(sheetElement), 0);
  EXPECT_EQ(Owner(summaryElement), 3);

  host.SetOwner(summaryElement, 0);
  user().Check(17, true);
  user().Click(16);
  EXPECT_EQ(Owner(sheetElement), 3);
  EXPECT_EQ(Owner(summaryElement), 3);
  ExpectStatus(true);
  user().Click(16);
  EXPECT_EQ(Owner(summaryElement), 0);
}

// A story added while the palette is open has no floor record; its status
// and the button still take in the summary sheets, and make no record.
TEST_F(TeamworkTest, AStoryAddedWhileOpenStillTakesInTheSummarySheet)
{
  Open();
  host.SetOwner(zone, 3);
  user().Check(17, true);
  OutputSheets();
  ASSERT_NE(summaryElement, APINULLGuid);
  ASSERT_EQ(host.AddStory(3, 9.0, u"4F"), NoError);
  host.SetOwner(summaryElement, 7);
  ASSERT_EQ(host.UserChangeStory(3), NoError);
  ExpectStatus(false);

  host.SetOwner(summaryElement, 0);
  user().Click(16);
  EXPECT_EQ(Owner(summaryElement), 3);
  ExpectStatus(true);
  user().Click(16);
  EXPECT_EQ(Owner(summaryElement), 0);
  ExpectStatus(false);
  EXPECT_EQ(doc().m_FloorParamArray.Search(3), nullptr);
}

}  // namespace
