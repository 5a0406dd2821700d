// Undo and redo restore elements, user data and module data and report
// exactly the notification ids; the add-on's own changes report nothing;
// the user's actions report theirs.

#include "PlatformTestSupport.h"

#include "host_model.h"
#include "host_userdata.h"

#include <algorithm>
#include <cstring>

namespace {

using Ids = std::vector<Int32>;

class HostUndoTest : public HostModelTest {
protected:
  void SetUp() override
  {
    HostModelTest::SetUp();
    InstallElementRecorder();
  }

  // The add-on places an observed object with a 4-byte tag inside one
  // undoable command.
  API_Guid PlaceTaggedObject(Int32 tag)
  {
    API_Guid guid;
    const GSErrCode err = ACAPI_CallUndoableCommand(GS::UniString(u"Place figure"), [&]() -> GSErrCode {
      guid = AddObject(3.0, 4.0);
      API_Elem_Head head;
      head.guid = guid;
      API_UserData data;
      data.dataVersion = 1;
      data.dataHdl = BMAllocateHandle(4, 0, 0);
      std::memcpy(*data.dataHdl, &tag, 4);
      const GSErrCode result = ACAPI_Element_SetUserData(&head, &data);
      BMKillHandle(&data.dataHdl);
      return result != NoError ? result : ACAPI_Element_AttachObserver(guid);
    });
    EXPECT_EQ(err, NoError);
    return guid;
  }

  static Int32 TagOf(const API_Guid& guid)
  {
    API_Elem_Head head;
    head.guid = guid;
    API_UserData data;
    const GSErrCode err = ACAPI_Element_GetUserData(&head, &data);
    Int32 tag = -1;
    if (err == NoError || err == APIERR_DELETED) {
      std::memcpy(&tag, *data.dataHdl, 4);
      BMKillHandle(&data.dataHdl);
    }
    return tag;
  }

  // The add-on's change of an object's angle, with more in the same step.
  static GSErrCode Rotate(const API_Guid& guid, double angle, const std::function<GSErrCode()>& more = nullptr)
  {
    API_Element element;
    element.header.guid = guid;
    element.object.angle = angle;
    element.object.xRatio = 99.0;  // not in the mask: must stay
    API_ElementMask mask;
    mask.Set(&API_Element::object, &API_ObjectType::angle);
    const GSErrCode err = ACAPI_Element_Change(&element, &mask, nullptr, 0, true);
    return err != NoError || !more ? err : more();
  }
};

TEST_F(HostUndoTest, TheAddOnsOwnChangesReportNothing)
{
  const API_Guid guid = PlaceTaggedObject(700);
  ASSERT_EQ(ACAPI_CallUndoableCommand(GS::UniString(u"Change"),
                                      [&]() { return Rotate(guid, 1.5, [&]() { return ACAPI_Element_Delete({guid}); }); }),
            NoError);
  EXPECT_TRUE(notifications.empty());
  EXPECT_EQ(host.UndoNames(), (std::vector<GS::UniString>{u"Place figure", u"Change"}));
}

TEST_F(HostUndoTest, UndoAndRedoOfACreationReportElevenAndFourteen)
{
  const API_Guid guid = PlaceTaggedObject(700);
  ASSERT_EQ(host.UserUndo(), NoError);
  ASSERT_EQ(notifications.size(), 3u);
  EXPECT_EQ(notifications[1].elemHead.guid, guid);
  EXPECT_EQ(notifications[1].elemHead.typeID, API_ObjectID);
  EXPECT_EQ(TakeNotifiedIds(), (Ids{-1, 11, -2}));
  EXPECT_EQ(Read(guid), APIERR_BADID);
  EXPECT_TRUE(host.UndoNames().empty());

  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_EQ(TakeNotifiedIds(), (Ids{-1, 14, -2}));
  EXPECT_EQ(Read(guid), NoError);
  EXPECT_EQ(TagOf(guid), 700);
}

TEST_F(HostUndoTest, UndoAndRedoOfAUserDeletionReportThirteenAndSixteen)
{
  const API_Guid guid = PlaceTaggedObject(701);
  ASSERT_EQ(host.UserDelete({guid}), NoError);
  EXPECT_EQ(TakeNotifiedIds(), (Ids{-1, 5, -2}));
  EXPECT_EQ(Read(guid), APIERR_DELETED);

  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(TakeNotifiedIds(), (Ids{-1, 13, -2}));
  EXPECT_EQ(Read(guid), NoError);
  EXPECT_EQ(TagOf(guid), 701);

  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_EQ(TakeNotifiedIds(), (Ids{-1, 16, -2}));
  EXPECT_EQ(Read(guid), APIERR_DELETED);
}

TEST_F(HostUndoTest, UndoAndRedoOfAChangeReportTwelveAndFifteenAndRestoreFieldsAndUserData)
{
  const API_Guid guid = PlaceTaggedObject(702);
  ASSERT_EQ(ACAPI_CallUndoableCommand(GS::UniString(u"Rotate"), [&]() {
    return Rotate(guid, 0.5, [&]() {
      API_Elem_Head head;
      head.guid = guid;
      return ACAPI_Element_DeleteUserData(&head);
    });
  }), NoError);
  API_Element element;
  ASSERT_EQ(Read(guid, &element), NoError);
  EXPECT_EQ(element.object.angle, 0.5);
  EXPECT_EQ(element.object.xRatio, 1.0);
  EXPECT_EQ(TagOf(guid), -1);

  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(TakeNotifiedIds(), (Ids{-1, 12, -2}));
  ASSERT_EQ(Read(guid, &element), NoError);
  EXPECT_EQ(element.object.angle, 0.0);
  EXPECT_EQ(TagOf(guid), 702);

  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_EQ(TakeNotifiedIds(), (Ids{-1, 15, -2}));
  ASSERT_EQ(Read(guid, &element), NoError);
  EXPECT_EQ(element.object.angle, 0.5);
  EXPECT_EQ(TagOf(guid), -1);
}

TEST_F(HostUndoTest, UndoRestoresModuleDataWithTheElementsOfTheStep)
{
  auto store = [](Int32 version) {
    API_ModulData data;
    data.dataVersion = version;
    return ACAPI_ModulData_Store(&data, GS::UniString(u"PLENIMETRA"));
  };
  ASSERT_EQ(ACAPI_CallUndoableCommand(GS::UniString(u"Save 1"), [&]() { return store(1); }), NoError);
  ASSERT_EQ(ACAPI_CallUndoableCommand(GS::UniString(u"Save 2"), [&]() { return store(2); }), NoError);
  ASSERT_EQ(ACAPI_Notify_CatchProjectEvent(APINotify_ChangeProjectDB, RecordProjectEvent), NoError);

  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(host.ModulData(GS::UniString(u"PLENIMETRA"))->dataVersion, 1);
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_FALSE(host.ModulData(GS::UniString(u"PLENIMETRA")).has_value());
  EXPECT_EQ(host.UserUndo(), APIERR_UNDOEMPTY);

  ASSERT_EQ(host.UserRedo(), NoError);
  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_EQ(host.ModulData(GS::UniString(u"PLENIMETRA"))->dataVersion, 2);
  EXPECT_EQ(host.UserRedo(), APIERR_UNDOEMPTY);
  // Module data alone reports no element notification, only the project
  // event of each step replayed; a refused undo or redo raises none.
  EXPECT_TRUE(notifications.empty());
  EXPECT_EQ(events, std::vector<API_NotifyEventID>(4, APINotify_ChangeProjectDB));
}

TEST_F(HostUndoTest, ACommandThatChangesNothingRecordsNoStepAndAnInnerCommandJoinsTheOuterStep)
{
  EXPECT_EQ(ACAPI_CallUndoableCommand(GS::UniString(u"Nothing"), []() { return APIERR_CANCEL; }), APIERR_CANCEL);
  const API_Guid guid = AddObject(0, 0);
  // Writing a value equal to the stored one is no change either, nor is an
  // element made and deleted again within the command.
  EXPECT_EQ(ACAPI_CallUndoableCommand(GS::UniString(u"Same"), [&]() { return Rotate(guid, 0.0); }), NoError);
  EXPECT_EQ(ACAPI_CallUndoableCommand(GS::UniString(u"Taken back"), [&]() {
    GS::Array<API_Guid> made;
    made.Push(AddObject(3, 0));
    return ACAPI_Element_Delete(made);
  }), NoError);
  EXPECT_TRUE(host.UndoNames().empty());

  ASSERT_EQ(ACAPI_CallUndoableCommand(GS::UniString(u"Outer"), [&]() {
    AddObject(0, 0);
    return ACAPI_CallUndoableCommand(GS::UniString(u"Inner"), [&]() {
      AddObject(1, 0);
      return NoError;
    });
  }), NoError);
  EXPECT_EQ(host.UndoNames(), std::vector<GS::UniString>{GS::UniString(u"Outer")});
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(host.ElementsOfType(API_ObjectID), std::vector<API_Guid>{guid});
}

TEST_F(HostUndoTest, TheUsersActionsReportNewCopyEditAndDelete)
{
  const API_Guid observed = PlaceTaggedObject(703);
  const API_Guid plain = AddObject(5, 5);

  API_Element placed;
  placed.header.typeID = API_ObjectID;
  placed.header.layer = 1;
  placed.object.libInd = 1;
  ASSERT_EQ(host.UserPlace(placed), NoError);
  EXPECT_EQ(notifications[1].elemHead.guid, placed.header.guid);
  EXPECT_EQ(TakeNotifiedIds(), (Ids{-1, 1, -2}));

  // A copy carries the original's user data; edits report only observed
  // elements.
  std::vector<API_Guid> copies;
  ASSERT_EQ(host.UserCopy({observed}, API_Coord{10, 0}, &copies), NoError);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(TakeNotifiedIds(), (Ids{-1, 2, -2}));
  EXPECT_EQ(TagOf(copies[0]), 703);
  API_Element copy;
  ASSERT_EQ(Read(copies[0], &copy), NoError);
  EXPECT_EQ(copy.object.pos, (API_Coord{13, 4}));

  ASSERT_EQ(host.UserMove({observed, plain}, API_Coord{1, 1}), NoError);
  EXPECT_EQ(notifications[1].elemHead.guid, observed);
  EXPECT_EQ(TakeNotifiedIds(), (Ids{-1, 4, -2}));
  ASSERT_EQ(host.UserDelete({plain}), NoError);
  EXPECT_TRUE(notifications.empty());
  EXPECT_EQ(host.UndoNames(), (std::vector<GS::UniString>{u"Place figure", u"Place", u"Copy", u"Move", u"Delete"}));

  // A new-element handler for one type hears only that type; removing the
  // handlers stops every report.
  const API_ElemTypeID zones = API_ZoneID;
  ACAPI_Notify_CatchNewElement(&zones, RecordElementEvent);
  placed.header.guid = API_Guid();
  ASSERT_EQ(host.UserPlace(placed), NoError);
  EXPECT_TRUE(notifications.empty());
  ACAPI_Notify_CatchNewElement(nullptr, nullptr);
  ACAPI_Notify_InstallElementObserver(nullptr);
  ASSERT_EQ(host.UserDelete({observed}), NoError);
  EXPECT_TRUE(notifications.empty());
}

// The history keeps the newest steps of its depth. A deleted element that
// only a dropped step could bring back is forgotten; one a kept step can
// restore stays, and so does what undo and redo of kept steps need.
TEST_F(HostUndoTest, TheHistoryKeepsItsDepthAndForgetsWhatOnlyDroppedStepsRestore)
{
  host.SetUndoDepth(2);
  std::vector<API_Guid> placed;
  for (Int32 tag = 1; tag <= 3; ++tag)
    placed.push_back(PlaceTaggedObject(700 + tag));
  const API_Guid first = placed[0];
  ASSERT_EQ(host.UserDelete({first}), NoError);
  EXPECT_EQ(host.UndoNames().size(), 2u);
  EXPECT_NE(host.Element(first), nullptr);  // the deletion's step is kept

  ASSERT_EQ(host.UserDelete({placed[1]}), NoError);
  ASSERT_EQ(host.UserDelete({placed[2]}), NoError);
  EXPECT_EQ(host.Element(first), nullptr);  // its deletion dropped off the history
  ASSERT_NE(host.Element(placed[1]), nullptr);
  EXPECT_EQ(Read(placed[1]), APIERR_DELETED);
  for (int step = 0; step < 2; ++step)
    ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(host.UserUndo(), APIERR_UNDOEMPTY);
  EXPECT_EQ(TagOf(placed[1]), 702);
  EXPECT_EQ(TagOf(placed[2]), 703);
  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_EQ(Read(placed[1]), APIERR_DELETED);

  // A new step drops the redo; a creation it undid goes with it.
  host.SetUndoDepth(pln::host::Model::kDefaultUndoDepth);
  const API_Guid undone = PlaceTaggedObject(704);
  ASSERT_EQ(host.UserUndo(), NoError);
  PlaceTaggedObject(705);
  EXPECT_EQ(host.Element(undone), nullptr);
  EXPECT_EQ(std::count(pln::host::TheModel().creationOrder.begin(), pln::host::TheModel().creationOrder.end(), undone), 0);
}

// A long session keeps a bounded history and forgets what it deleted long
// ago: places and deletes 1,000 times, and the model holds as many elements
// after the last round as after the history first filled.
TEST_F(HostUndoTest, ALongSessionOfPlacingAndDeletingStaysFlat)
{
  host.SetUndoDepth(10);
  std::size_t filled = 0;
  for (int round = 0; round < 1000; ++round) {
    const API_Guid guid = PlaceTaggedObject(round);
    ASSERT_EQ(host.UserDelete({guid}), NoError);
    if (round == 20)
      filled = pln::host::TheModel().elements.size();
  }
  EXPECT_EQ(host.UndoNames().size(), 10u);
  EXPECT_EQ(pln::host::TheModel().elements.size(), filled);
  EXPECT_LE(pln::host::TheModel().creationOrder.size(), filled);
}

// A step keeps each element's state from before its first write and after
// its last, however often the command writes it; undoing and redoing in
// turn leaves the element where each step put it, and the element keeps its
// place among the others.
TEST_F(HostUndoTest, ElementsWrittenOftenInOneStepComeBackToTheirFirstAndLastStates)
{
  const API_Guid first = PlaceTaggedObject(711);
  const API_Guid second = PlaceTaggedObject(712);
  ASSERT_EQ(ACAPI_CallUndoableCommand(GS::UniString(u"Turn"), [&]() {
    for (const double angle : {0.25, 0.5, 0.75})
      if (const GSErrCode err = Rotate(first, angle, [&]() { return Rotate(second, angle / 2.0); }); err != NoError)
        return err;
    return NoError;
  }), NoError);
  ASSERT_EQ(ACAPI_CallUndoableCommand(GS::UniString(u"Turn again"), [&]() { return Rotate(first, 1.0); }), NoError);

  const auto angleOf = [&](const API_Guid& guid) {
    API_Element element;
    EXPECT_EQ(Read(guid, &element), NoError);
    return element.object.angle;
  };
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(angleOf(first), 0.75);
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(angleOf(first), 0.0);
  EXPECT_EQ(angleOf(second), 0.0);
  EXPECT_EQ(TakeNotifiedIds(), (Ids{-1, 12, -2, -1, 12, 12, -2}));
  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_EQ(angleOf(first), 0.75);
  EXPECT_EQ(angleOf(second), 0.375);
  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_EQ(angleOf(first), 1.0);
  EXPECT_EQ(TagOf(first), 711);
  EXPECT_EQ(host.ElementsOfType(API_ObjectID), (std::vector<API_Guid>{first, second}));
}

// Copies of a stored element share its parameter list until one is given
// another; equal lists compare equal whether shared or not.
TEST(HostSharedParamsTest, ACopyKeepsItsListWhenTheOtherIsGivenANewOne)
{
  using pln::host::SharedParams;
  using pln::host::StoredParam;
  StoredParam width;
  width.record.realValue = 2.5;
  width.arrayBytes = {'a', 'b'};
  const SharedParams original(std::vector<StoredParam>{width});
  SharedParams copy = original;
  EXPECT_EQ(copy, original);

  StoredParam other = width;
  other.record.realValue = 3.0;
  copy = std::vector<StoredParam>{other};
  EXPECT_FALSE(copy == original);
  ASSERT_EQ(original.size(), 1U);
  EXPECT_EQ(original.Get().front().record.realValue, 2.5);
  EXPECT_EQ(copy.Get().front().record.realValue, 3.0);

  EXPECT_EQ(SharedParams(std::vector<StoredParam>{width}), original);  // made apart, equal contents
  EXPECT_TRUE(SharedParams(std::vector<StoredParam>{}).empty());
  EXPECT_EQ(SharedParams(std::vector<StoredParam>{}), SharedParams());
  EXPECT_FALSE(SharedParams() == original);
}

}  // namespace
