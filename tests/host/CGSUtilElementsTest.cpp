// Element searches and deletions: tag, library part, layer and story
// filters; cancel; the layer guard that always puts layers back; teamwork
// reservation; deletion by GUIDs with its report.

#include "CDlgProgress.h"
#include "CGSUtil.h"
#include "CLayeyStatusParam.h"
#include "CMyUserData.h"
#include "CSelectList.h"
#include "GSWriteReport.h"
#include "HostTestSupport.h"

namespace {

constexpr auto kOutput = CMyUserDataCore::TYPE(700);
constexpr auto kOther = CMyUserDataCore::TYPE(5);

class CGSUtilElementsTest : public HostTest {
protected:
  std::vector<bool> Deleted(const std::vector<API_Guid>& guids) const
  {
    std::vector<bool> deleted;
    for (const API_Guid& guid : guids)
      deleted.push_back(host.Element(guid)->deleted);
    return deleted;
  }
  static std::vector<API_Guid> Guids(const GS::Array<API_Elem_Head>& heads)
  {
    std::vector<API_Guid> guids;
    for (const auto& head : heads)
      guids.push_back(head.guid);
    return guids;
  }
  static GS::Array<API_Elem_Head> Heads(const std::vector<API_Guid>& guids)
  {
    GS::Array<API_Elem_Head> heads;
    for (const API_Guid& guid : guids) {
      API_Element element;
      element.header.guid = guid;
      EXPECT_EQ(ACAPI_Element_Get(&element), NoError);
      heads.Push(element.header);
    }
    return heads;
  }
};

TEST(CLayeyStatusParamArrayTest, TheFirstSavedStateOfALayerWins)
{
  CLayeyStatusParamArray saved;
  EXPECT_EQ(saved.Search(3), -1);
  saved.Add(CLayeyStatusParam(3, false, true));
  saved.Add(CLayeyStatusParam(4, true, false));
  saved.Add(CLayeyStatusParam(3, true, false));
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[0], CLayeyStatusParam(3, false, true));
  EXPECT_EQ(saved.Search(3), 0);
  EXPECT_EQ(saved.Search(4), 0);
  EXPECT_EQ(CLayeyStatusParam(), CLayeyStatusParam(0, false, false));
}

TEST_F(CGSUtilElementsTest, SearchFiltersByTagLibraryPartLayerAndStory)
{
  ASSERT_EQ(host.AddStory(1, 3.0, GS::UniString(u"2F")), NoError);
  const short second = static_cast<short>(host.AddLayer(GS::UniString(u"Second")));
  const API_Guid tagged = AddLine(1, 0, 700);
  const API_Guid otherTag = AddLine(1, 0, 5);
  const API_Guid untagged = AddLine();
  const API_Guid onSecond = AddLine(second, 0, 700);
  const API_Guid upstairs = AddLine(1, 1, 700);

  CMyUserData tag;
  const auto search = [&](CMyUserData* withTag, CMyUserDataCore::TYPE type, CSelectList* layers, short* story) {
    GS::Array<API_Elem_Head> found;
    EXPECT_EQ(CGSUtil::GSGetElement(API_LineID, withTag, 0, type, layers, story, nullptr, &found), NoError);
    return Guids(found);
  };
  const auto onFloor = [&](CMyUserData* withTag, CMyUserDataCore::TYPE type, short story) {
    GS::Array<API_Elem_Head> found;
    EXPECT_EQ(CGSUtil::GSGetElementOnFloor(API_LineID, withTag, 0, type, story, &found), NoError);
    return Guids(found);
  };
  EXPECT_EQ(search(&tag, kOutput, nullptr, nullptr), (std::vector<API_Guid>{tagged, onSecond, upstairs}));
  // Without a tag the user-data type is not consulted.
  EXPECT_EQ(search(nullptr, kOther, nullptr, nullptr).size(), 5u);
  CSelectList layers;
  layers.AddSelect(second, false);
  short story = 0;
  EXPECT_EQ(search(&tag, kOutput, &layers, nullptr), (std::vector<API_Guid>{onSecond}));
  EXPECT_EQ(search(&tag, kOutput, nullptr, &story), (std::vector<API_Guid>{tagged, onSecond}));
  EXPECT_EQ(onFloor(&tag, kOther, 0), (std::vector<API_Guid>{otherTag}));
  EXPECT_EQ(onFloor(nullptr, kOutput, 1), (std::vector<API_Guid>{upstairs}));

  GS::Array<API_Guid> guids;
  ASSERT_EQ(CGSUtil::GSGetElement(API_LineID, &tag, kOutput, second, guids), NoError);
  EXPECT_EQ(guids.Std(), (std::vector<API_Guid>{onSecond}));
  guids.Clear();
  ASSERT_EQ(CGSUtil::GSGetElement(API_LineID, nullptr, kOutput, 0, guids), NoError);
  EXPECT_EQ(guids.GetSize(), 5u);
  EXPECT_TRUE(guids.Contains(untagged));
}

TEST_F(CGSUtilElementsTest, ObjectSearchKeepsOnlyItsLibraryPart)
{
  const API_Guid first = AddObject(1, 1).guid;
  const API_Guid second = AddObject(1, 2).guid;
  const API_Guid third = AddObject(1, 1).guid;
  for (const API_Guid& guid : {first, second, third})
    Tag(guid, 700);
  CMyUserData tag;
  GS::Array<API_Elem_Head> found;
  ASSERT_EQ(CGSUtil::GSGetElement(API_ObjectID, &tag, 1, kOutput, nullptr, nullptr, nullptr, &found), NoError);
  EXPECT_EQ(Guids(found), (std::vector<API_Guid>{first, third}));
  found.Clear();
  ASSERT_EQ(CGSUtil::GSGetElementOnFloor(API_ObjectID, &tag, 2, kOutput, 0, &found), NoError);
  EXPECT_EQ(Guids(found), (std::vector<API_Guid>{second}));
}

TEST_F(CGSUtilElementsTest, ACancelledSearchEndsWithCancelAndListsNothingFurther)
{
  const API_Guid first = AddLine();
  AddLine();
  AddLine();
  CDlgProgress progress;
  host.QueueProgressCancel(1);
  GS::Array<API_Elem_Head> found;
  EXPECT_EQ(CGSUtil::GSGetElement(API_LineID, nullptr, 0, kOutput, nullptr, nullptr, &progress, &found),
            APIERR_CANCEL);
  EXPECT_EQ(Guids(found), (std::vector<API_Guid>{first}));
  EXPECT_EQ(host.Progress().text, GS::UniString(u"削除するエレメントを検索中"));
  EXPECT_EQ(host.Progress().maximum, 3);

  // A cancelled search deletes nothing.
  host.QueueProgressCancel(0);
  EXPECT_EQ(CGSUtil::GSDeleteObject(API_LineID, nullptr, 0, kOutput, nullptr, &progress, false), APIERR_CANCEL);
  EXPECT_EQ(host.ElementsOfType(API_LineID).size(), 3u);
}

TEST_F(CGSUtilElementsTest, DeletingOnALockedHiddenLayerRestoresItsFlags)
{
  const short layer = static_cast<short>(host.AddLayer(GS::UniString(u"Figures")));
  const short plain = static_cast<short>(host.AddLayer(GS::UniString(u"Plain"), APILay_ForceToWire));
  const API_Guid a = AddLine(layer, 0, 700);
  const API_Guid b = AddLine(layer, 0, 700);
  const API_Guid c = AddLine(plain, 0, 700);
  const API_Guid kept = AddLine(layer, 0, 5);
  ASSERT_EQ(host.SetLayerFlags(layer, APILay_Locked | APILay_Hidden), NoError);

  CMyUserData tag;
  ASSERT_EQ(CGSUtil::GSDeleteObject(API_LineID, &tag, 0, kOutput, nullptr, nullptr, false), NoError);
  EXPECT_EQ(Deleted({a, b, c, kept}), (std::vector<bool>{true, true, true, false}));
  EXPECT_EQ(LayerFlags(layer), APILay_Locked | APILay_Hidden);
  EXPECT_EQ(LayerFlags(plain), APILay_ForceToWire);
}

TEST_F(CGSUtilElementsTest, AFailedDeletionStillRestoresEveryLayer)
{
  const short layer = static_cast<short>(host.AddLayer(GS::UniString(u"Figures"), APILay_Locked));
  GS::Array<API_Elem_Head> heads = Heads({AddLine(), AddLine()});
  heads[1].layer = layer;  // the second header names the locked layer
  host.FailOnce("ACAPI_Element_Delete", APIERR_GENERAL);
  EXPECT_EQ(CGSUtil::GSDeleteElement(&heads), APIERR_GENERAL);
  EXPECT_EQ(LayerFlags(layer), APILay_Locked);
  EXPECT_EQ(host.ElementsOfType(API_LineID).size(), 2u);

  // A layer that cannot be read stops before anything is deleted.
  heads[1].layer = 99;
  EXPECT_EQ(CGSUtil::GSDeleteElement(&heads), APIERR_BADINDEX);
  EXPECT_EQ(host.ElementsOfType(API_LineID).size(), 2u);
  EXPECT_EQ(LayerFlags(1), 0u);
}

TEST_F(CGSUtilElementsTest, TeamworkConflictDeletesNothingAndReleasesOurReservations)
{
  host.SetTeamwork(true, true, 1);
  const API_Guid free = AddLine();
  const API_Guid theirs = AddLine();
  ASSERT_EQ(host.SetOwner(free, 0), NoError);
  ASSERT_EQ(host.SetOwner(theirs, 2), NoError);
  GS::Array<API_Elem_Head> heads = Heads({free, theirs});
  host.ClearCallLog();
  EXPECT_EQ(CGSUtil::GSDeleteElement3(heads), APIERR_NOTMINE);
  EXPECT_EQ(Calls("ACAPI_TeamworkControl_ReleaseElements"), 1);
  EXPECT_EQ(Calls("ACAPI_Element_Delete"), 0);
  EXPECT_EQ(Deleted({free, theirs}), (std::vector<bool>{false, false}));
  EXPECT_EQ(host.Element(free)->element.header.userId, 0);
  EXPECT_EQ(host.Element(theirs)->element.header.userId, 2);

  // Once the other user lets go, the deletion goes through.
  ASSERT_EQ(host.SetOwner(theirs, 0), NoError);
  EXPECT_EQ(CGSUtil::GSDeleteElement3(heads), NoError);
  EXPECT_EQ(Deleted({free, theirs}), (std::vector<bool>{true, true}));
}

TEST_F(CGSUtilElementsTest, OfflineTeamworkDeletesDirectly)
{
  // Made while online, so reserved by its maker; then the user goes offline.
  host.SetTeamwork(true, true, 1);
  const API_Guid line = AddLine(1, 0, 700);
  host.SetTeamwork(true, false, 1);
  EXPECT_EQ(host.Element(line)->element.header.userId, 1);
  CMyUserData tag;
  EXPECT_EQ(CGSUtil::GSDeleteElement2(API_LineID, &tag, 0, kOutput, nullptr, nullptr), NoError);
  EXPECT_EQ(Deleted({line}), std::vector<bool>{true});
}

TEST_F(CGSUtilElementsTest, DeletionByGuidsPassesOverFailuresAndReportsThem)
{
  const short layer = static_cast<short>(host.AddLayer(GS::UniString(u"Figures"), APILay_Hidden));
  const API_Guid good = AddLine();
  ASSERT_EQ(host.SetLayerFlags(layer, 0), NoError);
  const API_Guid hidden = AddLine(layer);
  ASSERT_EQ(host.SetLayerFlags(layer, APILay_Hidden), NoError);
  std::vector<GS::Guid> guids{ToGSGuid(good), GS::Guid().Generate(), ToGSGuid(hidden)};
  host.QueueAlertAnswer(1);
  CDlgProgress progress;
  EXPECT_EQ(CGSUtil::GSDeleteObject(guids, &progress), APIERR_BADID);
  EXPECT_EQ(host.Progress().maximum, 3);
  EXPECT_EQ(Deleted({good, hidden}), (std::vector<bool>{true, true}));
  EXPECT_EQ(LayerFlags(layer), APILay_Hidden);
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_EQ(host.Alerts()[0].title, GS::UniString(u"メンセラ"));
  EXPECT_EQ(host.Alerts()[0].largeText, GS::UniString(u"要素を削除できませんでした。") + GSReportText(APIERR_BADID));

  // Nothing failing, nothing reported.
  std::vector<GS::Guid> none;
  EXPECT_EQ(CGSUtil::GSDeleteObject(none), NoError);
  EXPECT_EQ(host.Alerts().size(), 1u);
}

TEST_F(CGSUtilElementsTest, ClearingUserDataPassesOnALockedLayer)
{
  const short layer = static_cast<short>(host.AddLayer(GS::UniString(u"Figures")));
  const API_Guid open = AddLine(1, 0, 700);
  const API_Guid locked = AddLine(layer, 0, 700);
  ASSERT_EQ(host.SetLayerFlags(layer, APILay_Locked), NoError);
  GS::Array<API_Guid> guids{open};
  EXPECT_EQ(CGSUtil::GSClearUserData(&guids), NoError);
  EXPECT_FALSE(host.Element(open)->userData.has_value());
  guids.Push(locked);
  EXPECT_EQ(CGSUtil::GSClearUserData(&guids), APIERR_LOCKEDLAY);
  EXPECT_TRUE(host.Element(locked)->userData.has_value());
}

}  // namespace
