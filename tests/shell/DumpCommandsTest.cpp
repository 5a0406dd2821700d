// The palette's dump file at its fixed place: the tree page's project (with
// a zone) exported, changed, imported again with the page open; files that
// are missing or cut; figures on hidden layers; a figure the host refuses.

#include "TreePageTestSupport.h"

#include "CGSUtil.h"
#include "io_filesystem.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

namespace {

// What the import must give back of a floor's figures: code, sort index,
// number, mark, numbering, rounding and the raw area (elements are new).
using FigureState = std::tuple<int, int, int, int, int, int, long long>;

class DumpCommandsTest : public TreePageTest {
protected:
  DumpCommandsTest()
  {
    std::filesystem::create_directories(Folder());
    zone = AddPolygon(API_ZoneID, {{{0, 0}, {6, 0}, {6, 4.5}, {0, 4.5}}}, u"Z-1");
  }
  static std::filesystem::path Folder() { return pln::host::SandboxRoot() / "c" / "temp"; }
  static std::filesystem::path File() { return Folder() / "Plenimetra.dat"; }
  static GS::UniString Path() { return GS::UniString(CPlenimetraPalette::kDumpPath); }

  std::vector<FigureState> FigureStates(short story)
  {
    std::vector<FigureState> state;
    for (const auto& f : Figures(story))
      state.emplace_back(f->m_Code, f->m_SortIndex, f->m_No, f->m_ItemType1, f->m_ItemType2, f->m_RoundType,
                         f->GetOrgArea(&doc()));
    return state;
  }
  // Every figure record has its live part, and every live part is listed.
  bool PlanMatchesTheFigures()
  {
    std::size_t listed = 0;
    for (const CFloorParam& floor : doc().m_FloorParamArray)
      for (const auto& figure : floor.m_Area1ObjectArray) {
        ++listed;
        const pln::host::StoredElement* part = host.Element(figure->m_Element.header.guid);
        if (part == nullptr || part->deleted)
          return false;
      }
    return listed == host.ElementsOfType(API_ObjectID).size();
  }
  std::string Bytes()
  {
    std::ifstream in(File(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  API_Guid zone;
};

TEST_F(DumpCommandsTest, AChangedProjectComesBackAsExportedInOneStepAndThePageFollows)
{
  palette().Export();
  ASSERT_TRUE(host.Alerts().empty());
  ASSERT_TRUE(std::filesystem::exists(File()));
  const CPlenimetraParam exported = doc();
  const std::vector<FigureState> first = FigureStates(0), second = FigureStates(1);

  // Changed: 居室 loses its 1F figure, and a new one is placed.
  ASSERT_EQ(host.UserDelete({Figures(0).front()->m_Element.header.guid}), NoError);
  PlaceRect(0, 10, 0, 1, 1);
  const CPlenimetraParam changed = doc();
  ASSERT_FALSE(changed.m_Area2ObjectArray == exported.m_Area2ObjectArray);

  palette().Import();
  EXPECT_TRUE(host.Alerts().empty());
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(CPlenimetraParam::kImportUndoName));
  EXPECT_TRUE(doc().m_Area2ObjectArray == exported.m_Area2ObjectArray);
  EXPECT_TRUE(doc().m_Area4ObjectArray == exported.m_Area4ObjectArray);
  EXPECT_TRUE(doc().m_AreaTree2 == exported.m_AreaTree2);
  EXPECT_EQ(doc().m_LastArea1Code, exported.m_LastArea1Code);
  EXPECT_EQ(FigureStates(0), first);
  EXPECT_EQ(FigureStates(1), second);
  // The replaced figures left the plan with their document.
  EXPECT_TRUE(PlanMatchesTheFigures());
  EXPECT_EQ(host.ElementsOfType(API_ZoneID).size(), 2u);

  // The open page shows the new tree: plain plan edits and undo reach
  // nothing of the old one (the sanitizers watch).
  EXPECT_EQ(DGListGetItemCount(pageId, Page::ITEM_DETAIL_LIST), static_cast<short>(Figures(0).size()));
  ASSERT_EQ(host.UserMove({Figures(0).front()->m_Element.header.guid}, API_Coord{0.5, 0}), NoError);
  ASSERT_EQ(host.UserUndo(), NoError);
  ASSERT_EQ(host.UserUndo(), NoError);  // the import
  EXPECT_TRUE(doc().m_Area2ObjectArray == changed.m_Area2ObjectArray);
  EXPECT_TRUE(PlanMatchesTheFigures());
  ASSERT_EQ(host.UserDelete({Figures(0).back()->m_Element.header.guid}), NoError);
  EXPECT_TRUE(host.Alerts().empty());
}

// The import clears the document but not this session's teamwork user, so
// the reservation tests that follow it still have one; figures another
// user holds refuse the import in words and keep the old document.
TEST_F(DumpCommandsTest, InATeamworkProjectTheImportKeepsTheUserAndRefusesHeldFiguresInWords)
{
  palette().Export();
  host.SetTeamwork(true, true, 3);
  ASSERT_EQ(Menu(), NoError);
  ASSERT_EQ(Menu(), NoError);
  ASSERT_EQ(doc().m_TeamworkUserId, 3);
  palette().Import();
  EXPECT_TRUE(host.Alerts().empty());
  EXPECT_EQ(doc().m_TeamworkUserId, 3);

  ASSERT_EQ(host.SetOwner(Figures(0).front()->m_Element.header.guid, 7), NoError);
  const CPlenimetraParam before = doc();
  palette().Import();
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_EQ(host.Alerts().back().largeText,
            GS::UniString(u"インポートできません。置き換える求積図形に、確保されていないものがあります（フロア未確保）。"));
  EXPECT_TRUE(doc().m_Area2ObjectArray == before.m_Area2ObjectArray);
  EXPECT_TRUE(PlanMatchesTheFigures());
  EXPECT_EQ(doc().m_TeamworkUserId, 3);
}

// The document itself tells the palette, whoever imports: the page never
// reads the freed tree on the next plan edit.
TEST_F(DumpCommandsTest, AnImportThroughTheDocumentRebuildsTheOpenPageBeforeAnEditReachesIt)
{
  palette().Export();
  pageUser().SelectTreeItems(Page::ITEM_TREE, {TreeItemOf(room)});
  doc().Import(Path());
  ASSERT_TRUE(host.Alerts().empty());
  EXPECT_EQ(Label(room).ToStdString(CC_UTF8).rfind("居室", 0), 0u);
  for (const auto& figure : Figures(0))
    ASSERT_EQ(host.UserMove({figure->m_Element.header.guid}, API_Coord{0.1, 0}), NoError);
  ASSERT_EQ(host.UserDelete({Figures(0).front()->m_Element.header.guid}), NoError);
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_TRUE(PlanMatchesTheFigures());
}

TEST_F(DumpCommandsTest, AMissingOrCutFileShowsTheReadersAlertAndChangesNothing)
{
  const CPlenimetraParam before = doc();
  const std::size_t steps = host.UndoNames().size();
  const std::size_t objects = host.ElementsOfType(API_ObjectID).size();
  palette().Import();
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_EQ(host.Alerts().back().largeText, Path() + GS::UniString(u"が読み込めません"));

  palette().Export();
  const std::string whole = Bytes();
  std::ofstream(File(), std::ios::binary | std::ios::trunc) << whole.substr(0, whole.size() / 2);
  palette().Import();
  ASSERT_EQ(host.Alerts().size(), 2u);
  EXPECT_EQ(host.Alerts().back().largeText, Path() + GS::UniString(u"が読み込めません"));
  EXPECT_TRUE(doc() == before);
  EXPECT_EQ(host.UndoNames().size(), steps);
  EXPECT_EQ(host.ElementsOfType(API_ObjectID).size(), objects);
  EXPECT_EQ(host.ElementsOfType(API_ZoneID).size(), 1u);
}

TEST_F(DumpCommandsTest, FiguresAndZonesOnHiddenLockedLayersArePlacedAndTheLayersStayAsTheyWere)
{
  palette().Export();
  const std::vector<FigureState> first = FigureStates(0);
  const short figureLayer = Figures(0).front()->m_Element.header.layer;
  ASSERT_EQ(host.SetLayerFlags(figureLayer, APILay_Hidden | APILay_Locked), NoError);
  ASSERT_EQ(host.SetLayerFlags(1, APILay_Hidden), NoError);  // the zone's
  palette().Import();
  EXPECT_TRUE(host.Alerts().empty());
  EXPECT_EQ(FigureStates(0), first);
  EXPECT_TRUE(PlanMatchesTheFigures());
  EXPECT_EQ(host.ElementsOfType(API_ZoneID).size(), 2u);
  bool visible = true, locked = false;
  ASSERT_EQ(CGSUtil::GetLayerVisibleStatus(figureLayer, &visible), NoError);
  ASSERT_EQ(CGSUtil::GetLayerLockStatus(figureLayer, &locked), NoError);
  EXPECT_FALSE(visible);
  EXPECT_TRUE(locked);
  ASSERT_EQ(CGSUtil::GetLayerVisibleStatus(1, &visible), NoError);
  EXPECT_FALSE(visible);
}

TEST_F(DumpCommandsTest, AFigureTheHostRefusesTakesTheWholeImportBackAndIsReported)
{
  palette().Export();
  ASSERT_EQ(host.UserDelete({Figures(0).front()->m_Element.header.guid}), NoError);
  const CPlenimetraParam before = doc();
  const std::vector<FigureState> first = FigureStates(0);
  const std::size_t steps = host.UndoNames().size();
  const std::vector<API_Guid> objects = host.ElementsOfType(API_ObjectID);
  const auto record = host.ModulData(GS::UniString(CPlenimetraParam::kRecordName));
  // The zone is made first, then the 1F figure; the 2F one fails.
  host.FailOnce("ACAPI_Element_Create", NoError);
  host.FailOnce("ACAPI_Element_Create", NoError);
  host.FailOnce("ACAPI_Element_Create", APIERR_MEMFULL);
  palette().Import();
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_NE(host.Alerts().back().largeText.ToStdString(CC_UTF8).find("APIERR_MEMFULL"), std::string::npos);
  EXPECT_TRUE(doc() == before);
  EXPECT_EQ(FigureStates(0), first);
  EXPECT_TRUE(PlanMatchesTheFigures());
  EXPECT_EQ(host.ElementsOfType(API_ObjectID), objects);
  EXPECT_EQ(host.ElementsOfType(API_ZoneID).size(), 1u);
  EXPECT_TRUE(host.ModulData(GS::UniString(CPlenimetraParam::kRecordName)) == record);
  EXPECT_EQ(host.UndoNames().size(), steps);
}

// The record is saved before the replaced figures go: a save the host
// refuses leaves every old figure in place; a command the host refuses to
// run is reported too. Each failure reaches the user once.
TEST_F(DumpCommandsTest, AFailedSaveOrARefusedCommandLeavesTheOldFiguresAndIsReportedOnce)
{
  palette().Export();
  const CPlenimetraParam before = doc();
  const std::vector<API_Guid> objects = host.ElementsOfType(API_ObjectID);
  struct Case {
    const char* call;
    GSErrCode code;
  };
  for (const Case& c : {Case{"ACAPI_ModulData_Store", APIERR_MEMFULL}, Case{"ACAPI_CallUndoableCommand", APIERR_REFUSEDCMD}}) {
    SCOPED_TRACE(c.call);
    const std::size_t alerts = host.Alerts().size();
    host.FailOnce(c.call, c.code);
    palette().Import();
    EXPECT_EQ(host.Alerts().size(), alerts + 1);
    EXPECT_TRUE(doc() == before);
    EXPECT_EQ(host.ElementsOfType(API_ObjectID), objects);
    EXPECT_TRUE(PlanMatchesTheFigures());
  }
}

// The replaced document's figures go after the record is saved; when the
// host refuses to delete or read one of them, the new elements go again,
// the old figures and the record stay as they were, and the failure is
// shown once.
TEST_F(DumpCommandsTest, AReplacedFigureTheHostKeepsTakesTheWholeImportBackAndIsReportedOnce)
{
  palette().Export();
  // A clean import tells how many parts are read before the old figures'
  // parts are read for their deletion, one each; the next imports of the
  // same file replace as many.
  const std::size_t figures = host.ElementsOfType(API_ObjectID).size();
  host.ClearCallLog();
  palette().Import();
  const std::vector<std::string> calls = host.CallLog();
  ASSERT_TRUE(host.Alerts().empty());
  const auto deletion = std::find(calls.begin(), calls.end(), std::string("ACAPI_Element_Delete"));
  ASSERT_NE(deletion, calls.end());
  const auto reads = static_cast<std::size_t>(std::count(calls.begin(), deletion, std::string("ACAPI_Element_Get")));
  ASSERT_GE(reads, figures);

  const CPlenimetraParam before = doc();
  const std::vector<API_Guid> objects = host.ElementsOfType(API_ObjectID);
  const std::size_t zones = host.ElementsOfType(API_ZoneID).size();
  const auto record = host.ModulData(GS::UniString(CPlenimetraParam::kRecordName));
  struct Case {
    const char* call;
    std::size_t passed;  // calls let through first
  };
  for (const Case& c : {Case{"ACAPI_Element_Delete", 0}, Case{"ACAPI_Element_Get", reads - figures},
                        Case{"ACAPI_Element_Get", reads - 1}}) {
    SCOPED_TRACE(c.call + std::to_string(c.passed));
    const std::size_t alerts = host.Alerts().size();
    for (std::size_t k = 0; k < c.passed; ++k)
      host.FailOnce(c.call, NoError);
    host.FailOnce(c.call, APIERR_GENERAL);
    palette().Import();
    EXPECT_EQ(host.Alerts().size(), alerts + 1);
    EXPECT_TRUE(doc() == before);
    EXPECT_EQ(host.ElementsOfType(API_ObjectID), objects);
    EXPECT_EQ(host.ElementsOfType(API_ZoneID).size(), zones);
    EXPECT_TRUE(PlanMatchesTheFigures());
    EXPECT_TRUE(host.ModulData(GS::UniString(CPlenimetraParam::kRecordName)) == record);
  }
}

// A second failure while a failed import is taken back (the new elements
// cannot be deleted, or the document's record cannot be saved again)
// leaves the plan or the stored record unlike the document: the first
// error is shown with that warning, in one message, never silently.
TEST_F(DumpCommandsTest, ATakingBackThatFailsTooIsShownOnceWithTheFirstError)
{
  palette().Export();
  const CPlenimetraParam before = doc();
  struct Fault {
    const char* call;
    std::size_t passed;  // calls let through first
  };
  struct Case {
    const char* name;
    std::vector<Fault> faults;
  };
  const Case cases[] = {
      {"the record's second save", {{"ACAPI_Element_Delete", 0}, {"ACAPI_ModulData_Store", 1}}},
      {"the new elements' deletion", {{"ACAPI_Element_Delete", 0}, {"ACAPI_Element_Delete", 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t alerts = host.Alerts().size();
    for (const Fault& fault : c.faults) {
      for (std::size_t k = 0; k < fault.passed; ++k)
        host.FailOnce(fault.call, NoError);
      host.FailOnce(fault.call, APIERR_GENERAL);
    }
    palette().Import();
    ASSERT_EQ(host.Alerts().size(), alerts + 1);
    const std::string text = host.Alerts().back().largeText.ToStdString(CC_UTF8);
    EXPECT_EQ(text.rfind("インポートできませんでした。(-2130313215)APIERR_GENERAL", 0), 0u) << text;
    EXPECT_NE(text.find("不整合"), std::string::npos) << text;
    EXPECT_TRUE(doc() == before);
  }
}

}  // namespace
