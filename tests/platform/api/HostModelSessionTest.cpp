// Selection, teamwork and project events: a selection change arrives inside
// the selecting call; reserving with conflicts fills the table; project
// events reach the handler of their bit; a saved project reopens as it was.

#include "PlatformTestSupport.h"

#include "host_environment.h"
#include "host_selection.h"
#include "host_teamwork.h"
#include "host_userdata.h"

namespace {

class HostSessionTest : public HostModelTest {
protected:
  // Reads the selection from inside the handler, as the add-on's pages do.
  static GSErrCode RecordSelection(const API_Neig*)
  {
    API_SelectionInfo info;
    GS::Array<API_Neig> neigs;
    ACAPI_Selection_Get(&info, &neigs, false);
    std::vector<API_Guid> guids;
    for (const API_Neig& neig : neigs)
      guids.push_back(neig.guid);
    selections.push_back(guids);
    return NoError;
  }

  // Per report: the guids reserved, the guids released.
  static inline std::vector<std::pair<std::vector<API_Guid>, std::vector<API_Guid>>> reservations;

  static GSErrCode RecordReservation(const GS::HashTable<API_Guid, short>& reserved, const GS::HashSet<API_Guid>& released,
                                     const GS::HashSet<API_Guid>&)
  {
    std::vector<API_Guid> taken;
    for (const auto& [guid, owner] : reserved)
      taken.push_back(guid);
    reservations.emplace_back(taken, std::vector<API_Guid>(released.begin(), released.end()));
    return NoError;
  }
};

TEST_F(HostSessionTest, ASelectionChangeArrivesInsideTheSelectingCall)
{
  ACAPI_Notify_CatchSelectionChange(RecordSelection);
  const API_Guid a = AddObject(0, 0);
  const API_Guid b = AddObject(1, 0);

  API_SelectionInfo info;
  GS::Array<API_Neig> neigs;
  EXPECT_EQ(ACAPI_Selection_Get(&info, &neigs, false), APIERR_NOSEL);
  EXPECT_EQ(info.sel_nElem, 0);

  API_Neig neig;
  neig.guid = b;
  ASSERT_EQ(ACAPI_Element_Select({neig}, true), NoError);
  ASSERT_EQ(selections.size(), 1u);
  EXPECT_EQ(selections[0], std::vector<API_Guid>{b});
  neig.guid = a;
  ASSERT_EQ(ACAPI_Element_Select({neig}, true), NoError);
  EXPECT_EQ(selections.back(), (std::vector<API_Guid>{b, a}));
  // Selecting what is selected changes nothing and reports nothing.
  ASSERT_EQ(ACAPI_Element_Select({neig}, true), NoError);
  EXPECT_EQ(selections.size(), 2u);

  ASSERT_EQ(ACAPI_Element_DeselectAll(), NoError);
  EXPECT_TRUE(selections.back().empty());
  ASSERT_EQ(ACAPI_Element_DeselectAll(), NoError);
  EXPECT_EQ(selections.size(), 3u);

  // The user's selection is reported the same way; a deleted element leaves
  // it, and that is a change as well.
  ASSERT_EQ(host.UserSelect({a, b}), NoError);
  EXPECT_EQ(selections.back(), (std::vector<API_Guid>{a, b}));
  ASSERT_EQ(host.UserDelete({a}), NoError);
  EXPECT_EQ(selections.back(), std::vector<API_Guid>{b});
  ASSERT_EQ(ACAPI_Selection_Get(&info, &neigs, false), NoError);
  EXPECT_EQ(info.sel_nElem, 1);
  EXPECT_EQ(neigs[0].guid, b);

  neig.guid = a;
  EXPECT_EQ(ACAPI_Element_Select({neig}, true), APIERR_DELETED);
}

TEST_F(HostSessionTest, ElementsSelectedOnlyInPartAreLeftOutWhenAskedToIgnoreThem)
{
  const API_Guid a = AddObject(0, 0);
  const API_Guid b = AddObject(1, 0);
  const auto selected = [](bool ignorePartial) {
    API_SelectionInfo info;
    GS::Array<API_Neig> neigs;
    ACAPI_Selection_Get(&info, &neigs, false, ignorePartial);
    std::vector<API_Guid> guids;
    for (const API_Neig& neig : neigs)
      guids.push_back(neig.guid);
    EXPECT_EQ(info.sel_nElem, Int32(guids.size()));
    return guids;
  };
  ASSERT_EQ(host.UserSelect({a, b}, {b}), NoError);
  EXPECT_EQ(selected(true), std::vector<API_Guid>{a});
  EXPECT_EQ(selected(false), (std::vector<API_Guid>{a, b}));
  // Selecting it through the API selects it whole.
  API_Neig neig;
  neig.guid = b;
  ASSERT_EQ(ACAPI_Element_Select({neig}, true), NoError);
  EXPECT_EQ(selected(true), (std::vector<API_Guid>{a, b}));

  ASSERT_EQ(host.UserSelect({b}, {b}), NoError);
  API_SelectionInfo info;
  EXPECT_EQ(ACAPI_Selection_Get(&info, nullptr, false, true), APIERR_NOSEL);
  ASSERT_EQ(ACAPI_Element_DeselectAll(), NoError);
  ASSERT_EQ(host.UserSelect({b}), NoError);
  EXPECT_EQ(selected(true), std::vector<API_Guid>{b});
}

TEST_F(HostSessionTest, ReservingWithConflictsFillsTheTableAndTakesTheFreeElements)
{
  ACAPI_Notify_CatchElementReservationChange(RecordReservation);
  const API_Guid free = AddObject(0, 0);
  const API_Guid others = AddObject(1, 0);
  EXPECT_FALSE(ACAPI_TeamworkControl_HasConnection());
  EXPECT_EQ(ACAPI_TeamworkControl_ReserveElements({free}, nullptr), APIERR_NOTEAMWORKPROJECT);

  host.SetTeamwork(true, true, 3);
  ASSERT_EQ(host.SetOwner(others, 5), NoError);
  reservations.clear();
  API_ProjectInfo project;
  ASSERT_EQ(ACAPI_Environment('PROJ', &project), NoError);
  EXPECT_TRUE(project.teamwork);
  EXPECT_EQ(project.userId, 3);

  // Unreserved elements cannot be written in a shared project.
  API_Element element;
  Read(free, &element);
  EXPECT_EQ(ACAPI_Element_Change(&element, nullptr, nullptr, 0, true), APIERR_NOTMINE);
  EXPECT_FALSE(ACAPI_Element_Filter(free, APIFilt_IsEditable));

  GS::HashTable<API_Guid, short> conflicts;
  ASSERT_EQ(ACAPI_TeamworkControl_ReserveElements({free, others}, &conflicts), NoError);
  EXPECT_EQ(conflicts.GetSize(), 1u);
  ASSERT_NE(conflicts.GetPtr(others), nullptr);
  EXPECT_EQ(*conflicts.GetPtr(others), 5);
  EXPECT_EQ(host.Element(free)->element.header.userId, 3);
  ASSERT_EQ(reservations.size(), 1u);
  EXPECT_EQ(reservations[0].first, std::vector<API_Guid>{free});
  EXPECT_EQ(ACAPI_Element_Change(&element, nullptr, nullptr, 0, true), NoError);

  // Without a table a conflict is an error; the free part is still reserved.
  EXPECT_EQ(ACAPI_TeamworkControl_ReserveElements({others}, nullptr), APIERR_NOTMINE);

  ASSERT_EQ(ACAPI_TeamworkControl_ReleaseElements({free, others}), NoError);
  EXPECT_EQ(host.Element(free)->element.header.userId, 0);
  EXPECT_EQ(host.Element(others)->element.header.userId, 5);
  EXPECT_EQ(reservations.back().second, std::vector<API_Guid>{free});

  // Elements made by this user start reserved by this user.
  EXPECT_EQ(host.Element(AddObject(2, 0))->element.header.userId, 3);

  host.SetTeamwork(true, false, 3);
  EXPECT_FALSE(ACAPI_TeamworkControl_IsOnline());
  EXPECT_EQ(ACAPI_TeamworkControl_ReserveElements({free}, &conflicts), APIERR_REFUSEDCMD);
}

TEST_F(HostSessionTest, ProjectEventsReachTheHandlerOfTheirBitOnly)
{
  ACAPI_Notify_CatchProjectEvent(APINotify_PreSave | APINotify_Close | APINotify_ChangeFloor, RecordProjectEvent);
  ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
  host.UserSaveProject();
  ASSERT_EQ(host.UserChangeStory(1), NoError);
  // The add-on's own story change is no event.
  API_StoryCmdType go;
  go.index = 0;
  ASSERT_EQ(ACAPI_Environment('CSTO', &go), NoError);
  EXPECT_EQ(events, (std::vector<API_NotifyEventID>{APINotify_PreSave, APINotify_ChangeFloor}));

  // Removing the handler of one bit keeps the others.
  ACAPI_Notify_CatchProjectEvent(APINotify_PreSave, nullptr);
  host.UserSaveProject();
  host.UserCloseProject();
  EXPECT_EQ(events.back(), APINotify_Close);
  EXPECT_EQ(events.size(), 3u);
}

TEST_F(HostSessionTest, ASavedProjectReopensWithItsElementsAndModuleData)
{
  const API_Guid guid = AddObject(2, 3);
  API_ModulData data;
  data.dataVersion = 1047;
  ASSERT_EQ(ACAPI_ModulData_Store(&data, GS::UniString(u"PLENIMETRA")), NoError);
  EXPECT_EQ(host.UserReopenProject(), APIERR_GENERAL);
  host.UserSaveProject();

  API_ProjectInfo project;
  ASSERT_EQ(ACAPI_Environment('PROJ', &project), NoError);
  EXPECT_FALSE(project.untitled);
  EXPECT_EQ(project.projectName, GS::UniString(u"Project"));

  ASSERT_EQ(ACAPI_CallUndoableCommand(GS::UniString(u"Later"), [&]() { return ACAPI_Element_Delete({guid}); }), NoError);
  host.UserCloseProject();
  EXPECT_TRUE(host.ElementsOfType(API_ZombieElemID).empty());
  EXPECT_FALSE(host.ModulData(GS::UniString(u"PLENIMETRA")).has_value());

  ASSERT_EQ(host.UserReopenProject(), NoError);
  API_Element element;
  ASSERT_EQ(Read(guid, &element), NoError);
  EXPECT_EQ(element.object.pos, (API_Coord{2, 3}));
  EXPECT_EQ(host.ModulData(GS::UniString(u"PLENIMETRA"))->dataVersion, 1047);
  // Opening forgets the history.
  EXPECT_TRUE(host.UndoNames().empty());
}

}  // namespace

TEST_F(HostSessionTest, SavingUnderAChosenNameTitlesTheProjectThereExceptInTeamwork)
{
  host.UserSaveProjectAs(IO::Location(GS::UniString(u"Work/Plan.pln")));
  API_ProjectInfo project;
  ASSERT_EQ(ACAPI_Environment('PROJ', &project), NoError);
  EXPECT_FALSE(project.untitled);
  EXPECT_EQ(project.projectName, GS::UniString(u"Plan"));
  EXPECT_EQ(project.location, IO::Location(GS::UniString(u"Work/Plan.pln")));

  host.SetTeamwork(true, true, 2);
  host.UserSaveProjectAs(IO::Location(GS::UniString(u"Work/Shared.pln")));
  ASSERT_EQ(ACAPI_Environment('PROJ', &project), NoError);
  EXPECT_EQ(project.projectName, GS::UniString(u"Shared"));
  EXPECT_TRUE(project.location.IsEmpty());
}

TEST_F(HostSessionTest, WorksheetsAreFoundByNameAndListTheirOwnElements)
{
  API_DatabaseInfo sheet;
  sheet.typeID = APIWind_WorksheetID;
  sheet.name = u"S";
  ASSERT_EQ(ACAPI_Database('NDAT', &sheet), NoError);
  EXPECT_EQ(host.WorksheetNamed(GS::UniString(u"S")), sheet.databaseUnId);
  EXPECT_FALSE(host.WorksheetNamed(GS::UniString(u"s")).has_value());
  const API_Guid onPlan = AddObject(0, 0);
  ASSERT_EQ(ACAPI_Database('CDAT', &sheet), NoError);
  const API_Guid onSheet = AddObject(1, 1);
  const auto listed = host.ElementsIn(sheet.databaseUnId, API_ObjectID);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0]->element.header.guid, onSheet);
  EXPECT_TRUE(host.ElementsIn(sheet.databaseUnId, API_LineID).empty());
  EXPECT_NE(onPlan, onSheet);
}
