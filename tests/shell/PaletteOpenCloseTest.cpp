// Loading the add-on, the menu command opening and closing the main
// palette, the project events it hears, and unloading.

#include "ShellTestSupport.h"

#include "CGSUtil.h"
#include "dg_user.h"
#include "host_alert.h"
#include "host_attributes.h"
#include "host_calllog.h"
#include "host_debug.h"
#include "host_environment.h"
#include "host_libpart.h"
#include "host_model.h"

#include <algorithm>

namespace {

using pln::host::DialogItemState;

// The position of the first call of that name in the call log; -1 none.
long CallIndex(const std::vector<std::string>& log, const std::string& name)
{
  auto found = std::find(log.begin(), log.end(), name);
  return found == log.end() ? -1 : static_cast<long>(found - log.begin());
}

TEST_F(ShellTest, LoadingAnswersTheAddOnsNameAndRegistersTheMenu)
{
  EXPECT_EQ(load.checkEnvironment, APIAddon_Normal);
  EXPECT_EQ(load.environment.addOnInfo.name, GS::UniString(u"メンセラ"));
  EXPECT_FALSE(load.environment.addOnInfo.description.IsEmpty());
  EXPECT_EQ(load.initialize, NoError);
  EXPECT_NE(pln::host::HelpLocation(kPlenimetraDeveloperId, kPlenimetraLocalId), nullptr);
  EXPECT_TRUE(host.HasIconResource(2701));
  EXPECT_TRUE(host.HasIconResource(2702));
}

TEST_F(ShellTest, TheMenuOpensClosesAndReopensThePaletteReadingTheProjectAfresh)
{
  host.ClearCallLog();
  ASSERT_EQ(Menu(), NoError);
  ASSERT_TRUE(palette().IsToolPaletteOpened());
  // The layer exists, the pattern and its rounding table are shown, the
  // active story too.
  API_Attribute layer;
  layer.header.typeID = API_LayerID;
  layer.header.index = doc().GetLayer();
  ASSERT_EQ(ACAPI_Attribute_Get(&layer), NoError);
  EXPECT_EQ(layer.header.name, GS::UniString(u"メンセラ"));
  EXPECT_EQ(PopUpTexts(8).size(), 1u);
  EXPECT_FALSE(SelectedText(8).IsEmpty());
  EXPECT_EQ(SelectedText(9), GS::UniString(u"標準設定"));
  EXPECT_EQ(ItemText(13), GS::UniString(u"1F"));
  EXPECT_EQ(pln::host::MenuItemText(32500, 1), GS::UniString(u"メンセラを閉じる"));
  // The four notifications, in order.
  const std::vector<std::string>& log = host.CallLog();
  const long a = CallIndex(log, "ACAPI_Notify_CatchNewElement");
  const long b = CallIndex(log, "ACAPI_Notify_InstallElementObserver");
  const long c = CallIndex(log, "ACAPI_Notify_CatchSelectionChange");
  const long d = CallIndex(log, "ACAPI_Notify_CatchElementReservationChange");
  EXPECT_TRUE(a >= 0 && a < b && b < c && c < d);
  // Solo: the teamwork row is hidden and disabled, one pattern cannot be
  // deleted.
  for (short item : {14, 15, 16, 17}) {
    EXPECT_FALSE(Visible(item));
    EXPECT_FALSE(Enabled(item));
  }
  EXPECT_TRUE(Enabled(3));
  EXPECT_TRUE(Enabled(4));
  EXPECT_FALSE(Enabled(7));
  EXPECT_TRUE(Enabled(1));

  auto figure = PlaceRect(0, 0, 0, 2, 3);
  ASSERT_EQ(Menu(), NoError);
  EXPECT_FALSE(palette().IsToolPaletteOpened());
  EXPECT_TRUE(doc().m_FloorParamArray.empty());
  EXPECT_EQ(pln::host::MenuItemText(32500, 1), GS::UniString(u"メンセラ"));
  EXPECT_EQ(pln::host::TheModel().handlers.newElement, nullptr);
  EXPECT_EQ(pln::host::TheModel().handlers.observer, nullptr);
  EXPECT_EQ(pln::host::TheModel().handlers.selection, nullptr);
  EXPECT_EQ(pln::host::TheModel().handlers.reservation, nullptr);

  ASSERT_EQ(Menu(), NoError);
  ASSERT_EQ(Figures(0).size(), 1u);
  EXPECT_EQ(Figures(0)[0]->m_Code, figure->m_Code);
  EXPECT_EQ(Figures(0)[0]->m_Element.header.guid, figure->m_Element.header.guid);
}

TEST_F(ShellTest, ARecordOfANewerVersionKeepsThePaletteClosed)
{
  pln::host::TheModel().modulData[GS::UniString(u"PLENIMETRA")] = pln::host::StoredModulData{1048, 0, {0, 0, 0, 0}};
  ASSERT_EQ(Menu(), NoError);
  EXPECT_FALSE(palette().IsToolPaletteOpened());
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_EQ(host.Alerts()[0].largeText,
            GS::UniString(u"このメンセラより新しいバージョンで保存されています。開くことができません"));
  EXPECT_EQ(host.Alerts()[0].title, GS::UniString(u"メンセラ"));
}

namespace {

// The add-on unloaded and loaded into a fresh host, each call named failing
// once with its code.
HostFixture::AddOnLoad LoadAgainFailing(HostFixture& host, const std::vector<std::pair<const char*, GSErrCode>>& fails)
{
  host.UnloadAddOn();
  host.Reset();
  PlenimetraModuleLoad();
  for (const auto& [call, err] : fails)
    host.FailOnce(call, err);
  return host.LoadAddOn(PlenimetraEntryPoints(), PlenimetraResources());
}

}  // namespace

TEST_F(ShellTest, InitializeReturnsAFailingMenuHandlersCodeAndStillRegistersHelp)
{
  const HostFixture::AddOnLoad again = LoadAgainFailing(host, {{"ACAPI_Install_MenuHandler", APIERR_GENERAL}});
  EXPECT_EQ(again.initialize, APIERR_GENERAL);
  EXPECT_TRUE(pln::host::TheModel().handlers.projectEvents.empty());
  EXPECT_NE(pln::host::HelpLocation(kPlenimetraDeveloperId, kPlenimetraLocalId), nullptr);
}

TEST_F(ShellTest, ARefusedMenuIsNotedAndTheLibraryIsRegisteredAllTheSame)
{
  const HostFixture::AddOnLoad again = LoadAgainFailing(host, {{"ACAPI_Register_Menu", APIERR_GENERAL}});
  EXPECT_EQ(again.registerInterface, NoError);
  EXPECT_GT(pln::host::LibraryPartCount(), 0);
  const std::vector<std::string>& debug = pln::host::DebugLines();
  EXPECT_NE(std::find(debug.begin(), debug.end(), "RegisterInterface() ACAPI_Register_Menu failed\n"), debug.end());

  // The library's own failure is what the host hears.
  const HostFixture::AddOnLoad refused = LoadAgainFailing(
      host, {{"ACAPI_Register_Menu", APIERR_GENERAL}, {"ACAPI_Register_BuiltInLibrary", APIERR_MEMFULL}});
  EXPECT_EQ(refused.registerInterface, APIERR_MEMFULL);
}

TEST_F(ShellTest, AfterFreeDataNoProjectEventArrivesStoryChangesIncluded)
{
  ASSERT_EQ(Menu(), NoError);
  ASSERT_EQ(host.UnloadAddOn(), NoError);
  EXPECT_TRUE(pln::host::TheModel().handlers.projectEvents.empty());
  EXPECT_EQ(pln::host::HelpLocation(kPlenimetraDeveloperId, kPlenimetraLocalId), nullptr);
  host.ClearCallLog();
  // Reached the palette, this would rewrite item 13.
  ASSERT_EQ(host.UserChangeStory(1), NoError);
  EXPECT_EQ(ItemText(13), GS::UniString(u"1F"));
}

TEST_F(ShellTest, ProjectEventsWhileClosedStillClearTheDocument)
{
  ASSERT_EQ(Menu(), NoError);
  PlaceRect(0, 0, 0, 2, 3);
  ASSERT_EQ(user().CloseBox(), DG_CLOSEBOX);
  EXPECT_FALSE(palette().IsToolPaletteOpened());
  // The close box keeps the document; closing the project clears it.
  EXPECT_FALSE(doc().m_FloorParamArray.empty());
  host.UserCloseProject();
  EXPECT_TRUE(doc().m_FloorParamArray.empty());
}

TEST_F(ShellTest, AFailedSaveBeforeTheProjectIsSavedIsReported)
{
  ASSERT_EQ(Menu(), NoError);
  host.FailOnce("ACAPI_ModulData_Store", APIERR_MEMFULL);
  host.UserSaveProject();
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_NE(host.Alerts()[0].largeText.ToUStr()[0], u'\0');
}

}  // namespace

namespace {

TEST_F(ShellTest, ResizingSharesTheGrowthBetweenThePopUps)
{
  ASSERT_EQ(Menu(), NoError);
  auto rect = [&](short item) {
    const pln::host::DGItemState* s = pln::host::DialogItemState(dialId(), item);
    return std::vector<short>{s->left, s->top, s->right, s->bottom};
  };
  const std::vector<short> pattern = rect(8), story = rect(13);
  user().Resize(40, 0);
  const short width = CPlenimetraPalette::Layout().width + 40;
  EXPECT_EQ(rect(8), (std::vector<short>{pattern[0], pattern[1], static_cast<short>(pattern[2] + 20), pattern[3]}));
  EXPECT_EQ(rect(9)[0], pattern[2] + 20 + 5);
  EXPECT_EQ(rect(9)[2], width - 10);
  EXPECT_EQ(rect(13)[2], story[2] + 40);
  // Shrinking back undoes it.
  user().Resize(-40, 0);
  EXPECT_EQ(rect(8), pattern);
  EXPECT_EQ(rect(13), story);
}

}  // namespace
