// The whole-document commands of the main palette: stories to calculate,
// reference-floor copy, patterns, the rounding table and applying the
// settings.

#include "ShellTestSupport.h"

#include "CAreaCircle.h"
#include "CDlgEnvironment.h"
#include "CDlgFloorCopy.h"
#include "CDlgSelectTree.h"
#include "CDlgSettingFloor.h"
#include "GSWriteReport.h"
#include "host_alert.h"
#include "host_attributes.h"
#include "host_environment.h"
#include "host_elements.h"
#include "host_model.h"

#include <algorithm>
#include <functional>
#include <set>

namespace {

using pln::host::DialogUser;

std::vector<std::string> pageLog;

class CommandsTest : public ShellTest {
protected:
  CommandsTest()
  {
    pageLog.clear();
    host.DefineDialog(32408, pln::host::DGDialogDef());
    CPlenimetraPalette::SetPageMaker(CPlenimetraPalette::kFigureList, [](CPlenimetraPalette& p) {
      return std::unique_ptr<CPlenimetraPage>(std::make_unique<RecordingPage>(p, pageLog, "list"));
    });
    EXPECT_EQ(Menu(), NoError);
    user().Click(11);
    pageLog.clear();
  }

  bool LayerHidden(short layer)
  {
    API_Attribute attribute;
    attribute.header.typeID = API_LayerID;
    attribute.header.index = layer;
    EXPECT_EQ(ACAPI_Attribute_Get(&attribute), NoError);
    return (attribute.header.flags & APILay_Hidden) != 0;
  }

  // Parameter writes since the last clear, whatever their name.
  std::size_t Writes() const { return host.ParamChanges().size(); }
  // How often the call was made since the log was cleared; each figure
  // rewritten opens one parameter transaction ('OPAR').
  std::size_t Calls(const char* name) const
  {
    return static_cast<std::size_t>(std::count(host.CallLog().begin(), host.CallLog().end(), std::string(name)));
  }
};

TEST_F(CommandsTest, NothingHappensWithAWorksheetInFrontAndAFailingQueryIsReported)
{
  API_WindowInfo window = ShowNewWorksheet();
  user().Click(1);
  user().Click(2);
  EXPECT_EQ(pln::host::DialogOpenings().size(), 2u);  // the palette and the page only
  EXPECT_TRUE(host.Alerts().empty());

  window.typeID = APIWind_FloorPlanID;
  ASSERT_EQ(host.UserShowWindow(window), NoError);
  host.FailOnce("ACAPI_Database:GDAT", APIERR_GENERAL);
  user().Click(1);
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_EQ(host.Alerts()[0].largeText,
            GS::UniString(u"表示中の図面を確認できないため、実行できませんでした。") + GSReportText(APIERR_GENERAL));
}

TEST_F(CommandsTest, TheStoriesDialogChangesTheDocumentOnOkOnlyAndTheChoiceOutlivesAReopening)
{
  const CFloorParamArray before = doc().m_FloorParamArray;
  host.QueueDialogScript(CDlgSettingFloor::ResourceId, [](DialogUser& u) {
    u.SelectRows(5, {1});
    u.Check(4, false);
    u.Click(2);
  });
  user().Click(1);
  EXPECT_TRUE(pageLog.empty());
  EXPECT_TRUE(doc().m_FloorParamArray.Search(2)->m_bCalc == before.Search(2)->m_bCalc);

  const bool perFloor = doc().m_FloorParamArray.m_bCalcPerFloor;
  host.QueueDialogScript(CDlgSettingFloor::ResourceId, [](DialogUser& u) {
    u.SelectRows(5, {1});
    u.Check(4, false);
    u.Click(1);
  });
  user().Click(1);
  EXPECT_EQ(pageLog, std::vector<std::string>{"list:10"});
  auto off = [&]() {
    const CFloorParam* top = doc().m_FloorParamArray.Search(2);
    return !top->IsCalc(&doc().m_FloorParamArray, doc().m_CurTreeCode);
  };
  EXPECT_TRUE(off());
  EXPECT_EQ(doc().m_FloorParamArray.m_bCalcPerFloor, perFloor);
  ASSERT_EQ(Menu(), NoError);
  ASSERT_EQ(Menu(), NoError);
  EXPECT_TRUE(off());
}

// A palette command whose save the host refuses says in one alert which
// command was not completed and why; a store not reserved says so.
TEST_F(CommandsTest, APaletteCommandWhoseSaveIsRefusedNamesTheCommandAndTheCause)
{
  PlaceRect(0, 0, 0, 1, 1);
  const RefusedSave cases[] = {
      {u"階設定を保存できませんでした。",
       [&] {
         host.QueueDialogScript(CDlgSettingFloor::ResourceId, [](DialogUser& u) {
           u.SelectRows(5, {1});
           u.Check(4, false);
           u.Click(1);
         });
         user().Click(1);
       },
       1},
      {u"基準階のコピーを完了できませんでした。",
       [&] {
         host.QueueDialogScript(CDlgFloorCopy::ResourceId, [](DialogUser& u) {
           u.SelectRows(7, {1});
           u.Check(6, true);
           u.Click(1);
         });
         user().Click(2);
       },
       1},
      {u"計算パターンのコピーを完了できませんでした。", [&] { user().Click(6); }},
      {u"計算パターンの削除を完了できませんでした。",
       [&] {
         host.QueueAlertAnswer(1);
         user().Click(7);
       }},
  };
  ExpectEachRefusedSaveNamed(cases);
}

TEST_F(CommandsTest, AFloorCopyIsOneStepThatUndoAndRedoTakeBackAndBringAgain)
{
  PlaceRect(0, 0, 0, 1, 1);
  PlaceRect(0, 2, 0, 1, 2);
  std::vector<std::u16string> rows;
  host.QueueDialogScript(CDlgFloorCopy::ResourceId, [&](DialogUser& u) {
    for (const auto& row : pln::host::DialogItemState(u.DialogId(), 7)->list.rows)
      rows.push_back(row.texts.at(2).Std());
    u.SelectRows(7, {1, 2});
    u.Check(6, true);
    u.Click(1);
  });
  user().Click(2);
  EXPECT_EQ(rows, (std::vector<std::u16string>{u"3F", u"2F", u"B1"}));
  EXPECT_EQ(Figures(1).size(), 2u);
  EXPECT_EQ(Figures(2).size(), 2u);
  EXPECT_EQ(host.UndoNames(), std::vector<GS::UniString>{u"メンセラ[基準階]"});
  EXPECT_EQ(pageLog, std::vector<std::string>{"list:1"});

  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_TRUE(Figures(1).empty());
  EXPECT_TRUE(Figures(2).empty());
  EXPECT_EQ(Figures(0).size(), 2u);
  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_EQ(Figures(1).size(), 2u);
  EXPECT_EQ(Figures(2).size(), 2u);
}

// The copy spans the plan and the document: the entries an element gets
// for the copies, and the one it loses with the target's old figure, come
// back with undo and go again with redo.
TEST_F(CommandsTest, UndoAndRedoOfAFloorCopyGiveBackTheElementsEntriesExactly)
{
  const auto first = PlaceRect(0, 0, 0, 1, 1);
  const auto second = PlaceRect(0, 2, 0, 1, 2);
  const auto old = PlaceRect(1, 0, 0, 3, 3);
  doc().m_Area2ObjectArray.emplace_back(&doc(), CAreaNameArray(u"居室"), ++doc().m_LastAreaCode,
                                        CArea2ListTypeTable::LISTTYPE_LIST, CArea2Object::SHOWTOTAL_NOMARK,
                                        CItemType1Table::ITEMTYPE_DIAMOND, CItemType2Table::ITEMTYPE_UPPER, 0, 0);
  CArea2Object& room = doc().m_Area2ObjectArray.back();
  for (short story : {0, 1})
    room.m_FloorArray.SearchFloor(story)->m_Mode = CArea2ObjectFloor::MODE_FIGURE;
  room.m_FloorArray.SearchFloor(0)->m_List.push_back(CArea2List(first, COperatorTable::OPERATOR_PLUS));
  room.m_FloorArray.SearchFloor(0)->m_List.push_back(CArea2List(second, COperatorTable::OPERATOR_MINUS));
  room.m_FloorArray.SearchFloor(1)->m_List.push_back(CArea2List(old, COperatorTable::OPERATOR_PLUS));
  ASSERT_EQ(doc().SaveData(), NoError);
  const CArea2ObjectArray before = doc().m_Area2ObjectArray;
  host.QueueDialogScript(CDlgFloorCopy::ResourceId, [&](DialogUser& u) {
    u.SelectRows(7, {2});  // 2F
    u.Check(6, true);
    u.Click(1);
  });
  user().Click(2);
  const CArea2ObjectArray after = doc().m_Area2ObjectArray;
  ASSERT_EQ(after.back().m_FloorArray.FindFloor(1)->m_List.size(), 2u);

  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_TRUE(doc().m_Area2ObjectArray == before);
  ASSERT_EQ(Figures(1).size(), 1u);
  EXPECT_EQ(Figures(1).front()->m_Code, old->m_Code);
  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_TRUE(doc().m_Area2ObjectArray == after);
  EXPECT_EQ(Figures(1).size(), 2u);
  EXPECT_TRUE(host.Alerts().empty());
}

TEST_F(CommandsTest, PatternsInsertedCopiedAndDeleted)
{
  EXPECT_FALSE(Enabled(5));
  EXPECT_FALSE(Enabled(7));
  const GS::UniString name = CDlgSelectTree::PatternName(doc());
  doc().m_EnvParam.m_PatternArray.push_back(doc());
  palette().EnableItem(dialId());
  EXPECT_TRUE(Enabled(5));
  const short own = static_cast<short>(host.AddLayer(u"別レイヤー"));
  host.QueueDialogScript(CDlgSelectTree::ResourceId, [own](DialogUser& u) {
    u.SetLong(7, own);
    u.Click(1);
  });
  user().Click(5);
  GS::UniString clash = name;
  clash += GS::UniString(u" (2)");
  EXPECT_EQ(PopUpTexts(8), (std::vector<GS::UniString>{name, clash}));
  EXPECT_EQ(SelectedText(8), clash);
  EXPECT_EQ(doc().GetLayer(), own);
  EXPECT_TRUE(LayerHidden(doc().m_EnvParam.m_Area1Layer));
  EXPECT_FALSE(LayerHidden(own));
  EXPECT_EQ(pageLog, std::vector<std::string>{"list:14"});
  EXPECT_TRUE(Enabled(7));

  user().Click(6);
  EXPECT_EQ(PopUpTexts(8).size(), 3u);

  // "いいえ" keeps it; "はい" deletes the selected one and the first is current.
  pageLog.clear();
  host.QueueAlertAnswer(2);
  user().Click(7);
  EXPECT_EQ(PopUpTexts(8).size(), 3u);
  host.QueueAlertAnswer(1);
  user().Click(7);
  EXPECT_EQ(PopUpTexts(8).size(), 2u);
  EXPECT_EQ(SelectedText(8), name);
  EXPECT_EQ(doc().m_CurTreeCode, doc().m_AreaTree2.m_Child[0].m_AreaCode);
  EXPECT_EQ(pageLog, std::vector<std::string>{"list:15"});
  EXPECT_EQ(host.Alerts().back().largeText,
            GS::UniString(u"現在選択されている計算パターンを削除します。\nよろしいですか？"));
}

TEST_F(CommandsTest, ATreelessSettingsPatternInsertsNothingAndAFailedSaveIsReported)
{
  doc().m_EnvParam.m_PatternArray.push_back(CPlenimetraParam());
  palette().EnableItem(dialId());
  host.QueueDialogScript(CDlgSelectTree::ResourceId, [](DialogUser& u) { u.Click(1); });
  user().Click(5);
  EXPECT_EQ(PopUpTexts(8).size(), 1u);
  EXPECT_TRUE(pageLog.empty());

  ASSERT_EQ(palette().DoTreeCopy(dialId()), NoError);
  host.FailOnce("ACAPI_ModulData_Store", APIERR_MEMFULL);
  user().SelectPopUp(8, 1);
  ASSERT_EQ(host.Alerts().size(), 1u);
  EXPECT_TRUE(SaysInWords(host.Alerts()[0].largeText));
}

// A settings file may hold a pattern whose root has no folder or two; the
// calculation could not be read back with it, so the insertion is refused
// in words and the working and stored patterns stay as they were.
TEST_F(CommandsTest, ASettingsPatternWhoseRootHasNoFolderOrTwoIsRefusedInWords)
{
  CPlenimetraParam twoFolders = doc();
  twoFolders.m_AreaTree2.m_Child.resize(1);
  CAreaTree& root = twoFolders.m_AreaTree2.m_Child.front();
  root.m_Child.push_back(root.m_Child.front());
  root.m_Child.back().Duplicate(&twoFolders);
  CPlenimetraParam noFolder = doc();
  noFolder.m_AreaTree2.m_Child.resize(1);
  noFolder.m_AreaTree2.m_Child.front().m_Child.clear();
  const GS::UniString name = CDlgSelectTree::PatternName(doc());
  for (CPlenimetraParam* pattern : {&twoFolders, &noFolder}) {
    doc().m_EnvParam.m_PatternArray.clear();
    doc().m_EnvParam.m_PatternArray.push_back(*pattern);
    const std::size_t patterns = doc().m_AreaTree2.m_Child.size();
    const auto steps = host.UndoNames().size();
    host.QueueDialogScript(CDlgSelectTree::ResourceId, [](DialogUser& u) { u.Click(1); });
    user().Click(5);
    ASSERT_FALSE(host.Alerts().empty());
    EXPECT_EQ(host.Alerts().back().largeText,
              GS::UniString(u"計算パターン「") + name +
                  u"」は挿入できません。計算パターンの最上位の項目の下には小計項目がひとつだけ必要です。");
    EXPECT_EQ(doc().m_AreaTree2.m_Child.size(), patterns);
    EXPECT_EQ(doc().m_AreaTreeStore.m_Child.size(), patterns);
    EXPECT_EQ(host.UndoNames().size(), steps);
  }
}

TEST_F(CommandsTest, AStarMarksAChangedPatternButNotALayerChange)
{
  CAreaTree& pattern = doc().m_AreaTree2.m_Child[0];
  pattern.m_Layer = static_cast<short>(host.AddLayer(u"別レイヤー"));
  palette().SetTreeItem();
  EXPECT_EQ(SelectedText(8).Std().substr(0, 1) == u"*", false);
  pattern.m_RoundTypeFloor = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 3);
  palette().SetTreeItem();
  EXPECT_EQ(SelectedText(8).Std().substr(0, 1), u"*");
}

class RoundingTest : public CommandsTest {
protected:
  RoundingTest()
  {
    CRoundTypeParamArray& tables = doc().m_EnvParam.m_RoundTypeParamArray;
    CRoundTypeParam sameForFigures = tables[0];
    sameForFigures.m_Id = 1;
    sameForFigures.m_Name = GS::UniString(u"面積だけ違う");
    sameForFigures.m_Area2ListRoundType = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 1);
    tables.push_back(sameForFigures);
    CRoundTypeParam otherPi = tables[0];
    otherPi.m_Id = 2;
    otherPi.m_Name = GS::UniString(u"円周率");
    otherPi.m_PaiCode = 2;
    tables.push_back(otherPi);
    palette().SetRoundTypeItem(dialId());
    circle = std::make_shared<CAreaCircle>(&doc(), ++doc().m_LastArea1Code, doc().m_CurItemType1,
                                           doc().m_CurItemType2, 0);
    CKelAreaCoord2D points;
    points.m_pt = {{0, 0}, {12.345, 0}};
    EXPECT_EQ(circle->Create(&doc(), points, 0), NoError);
    Figures(0).push_back(circle);
    Figures(0).SetSortIndex();
    EXPECT_EQ(circle->ChangeParam(&doc(), true), NoError);
    rect = PlaceRect(0, 20, 0, 2, 3);
    host.ClearChangeRecords();
    host.ClearCallLog();
  }
  std::shared_ptr<CAreaCircle> circle;
  std::shared_ptr<CArea1Object> rect;
};

TEST_F(RoundingTest, AnEqualTableRewritesNoFigureButIsSaved)
{
  ASSERT_EQ(doc().GetTree()->m_RoundTypeId, 0);
  user().SelectPopUp(9, 2);
  EXPECT_EQ(doc().GetTree()->m_RoundTypeId, 1);
  EXPECT_EQ(Calls("ACAPI_Goodies:OPAR"), 0u);
  // The save of the choice is its own undo step.
  EXPECT_EQ(Calls("ACAPI_CallUndoableCommand"), 1u);
  ASSERT_FALSE(host.UndoNames().empty());
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[端数処理]"));
  ASSERT_EQ(Menu(), NoError);
  ASSERT_EQ(Menu(), NoError);
  EXPECT_EQ(doc().GetTree()->m_RoundTypeId, 1);
}

// The rewrite inside the undoable step and the save after it may both fail:
// the user hears of the first, once, and the table chosen stays chosen.
TEST_F(RoundingTest, AFailedRewriteOrSaveIsReportedOnce)
{
  const std::size_t before = host.Alerts().size();
  host.FailOnce("ACAPI_Goodies:OPAR", APIERR_MEMFULL);
  user().SelectPopUp(9, 3);
  ASSERT_EQ(host.Alerts().size(), before + 1);
  EXPECT_TRUE(SaysInWords(host.Alerts().back().largeText));
  EXPECT_EQ(doc().GetTree()->m_RoundTypeId, 2);

  host.FailOnce("ACAPI_Goodies:OPAR", APIERR_MEMFULL);
  host.FailOnce("ACAPI_ModulData_Store", APIERR_MEMFULL);
  user().SelectPopUp(9, 1);
  EXPECT_EQ(host.Alerts().size(), before + 2);
  host.FailOnce("ACAPI_ModulData_Store", APIERR_MEMFULL);
  user().SelectPopUp(9, 2);
  EXPECT_EQ(host.Alerts().size(), before + 3);
}

TEST_F(RoundingTest, AnotherPiRewritesEveryFigureInOneStep)
{
  EXPECT_EQ(circle->GetRoundArea(&doc()), 478532938);
  user().SelectPopUp(9, 3);
  EXPECT_EQ(Calls("ACAPI_CallUndoableCommand"), 1u);
  EXPECT_EQ(circle->GetRoundArea(&doc()), 478685337);
  EXPECT_EQ(Calls("ACAPI_Goodies:OPAR"), 2u);
}

// The update runs to its end whatever the progress window is asked.
TEST_F(RoundingTest, ACancelInTheProgressWindowDoesNotStopTheUpdate)
{
  host.QueueProgressCancel();
  user().SelectPopUp(9, 3);
  EXPECT_EQ(Calls("ACAPI_Goodies:OPAR"), 2u);
}

// A table the pattern names but the settings lack counts as different.
TEST_F(RoundingTest, ATableTheSettingsLackCountsAsDifferent)
{
  doc().GetTree()->m_RoundTypeId = 77;
  user().SelectPopUp(9, 1);
  EXPECT_EQ(Calls("ACAPI_Goodies:OPAR"), 2u);
}

class ApplySettingsTest : public RoundingTest {
protected:
  CEnvironmentResult Result()
  {
    CEnvironmentResult result;
    result.m_EnvParam = doc().m_EnvParam;
    result.m_EnvParamRef = doc().m_EnvParam2;
    result.m_PathName = doc().m_EnvPath;
    result.m_ParamArrayOrg = doc().m_EnvParam.m_PatternArray;
    pageLog.clear();
    return result;
  }
};

TEST_F(ApplySettingsTest, UnchangedAsksNothingAndTsuboOnlyAsksAndRewritesNothing)
{
  EXPECT_EQ(palette().ApplySettings(dialId(), Result()), NoError);
  EXPECT_TRUE(host.Alerts().empty());

  CEnvironmentResult tsubo = Result();
  tsubo.m_EnvParam.m_TuboFactor = 0.3;
  host.QueueAlertAnswer(2);
  EXPECT_EQ(palette().ApplySettings(dialId(), tsubo), NoError);
  EXPECT_DOUBLE_EQ(doc().m_EnvParam.m_TuboFactor, CEnvParam::kDefaultTuboFactor);
  host.QueueAlertAnswer(1);
  EXPECT_EQ(palette().ApplySettings(dialId(), tsubo), NoError);
  ASSERT_EQ(host.Alerts().size(), 2u);
  EXPECT_EQ(host.Alerts()[0].largeText, GS::UniString(u"更新を適用します。よろしいですか？"));
  EXPECT_DOUBLE_EQ(doc().m_EnvParam.m_TuboFactor, 0.3);
  EXPECT_EQ(Writes(), 0u);
  EXPECT_TRUE(pageLog.empty());
}

TEST_F(ApplySettingsTest, ANumberFormatRewritesTextsAndAStyleRewritesLooks)
{
  CEnvironmentResult comma = Result();
  comma.m_EnvParam.m_AreaComma = true;
  host.QueueAlertAnswer(1);
  EXPECT_EQ(palette().ApplySettings(dialId(), comma), NoError);
  EXPECT_EQ(pageLog, (std::vector<std::string>{"list:7", "list:11"}));
  EXPECT_EQ(Calls("ACAPI_CallUndoableCommand"), 1u);
  EXPECT_EQ(Calls("ACAPI_Goodies:OPAR"), 2u);
  const std::size_t textWrites = Writes();

  host.ClearChangeRecords();
  host.ClearCallLog();
  CEnvironmentResult style = Result();
  style.m_EnvParam.m_FillPenOff = !style.m_EnvParam.m_FillPenOff;
  host.QueueAlertAnswer(1);
  EXPECT_EQ(palette().ApplySettings(dialId(), style), NoError);
  EXPECT_EQ(pageLog, std::vector<std::string>{"list:11"});
  // The look is rewritten too: more parameters than the texts alone.
  EXPECT_EQ(Calls("ACAPI_Goodies:OPAR"), 2u);
  EXPECT_GT(Writes(), textWrites);
}

TEST_F(ApplySettingsTest, TurningSequentialNumberingOnRenumbersEveryStory)
{
  Figures(0)[1]->m_No = 5;
  PlaceRect(1, 0, 0, 1, 1);
  const auto upstairs = PlaceRect(1, 2, 0, 1, 1);
  upstairs->m_No = 3;
  ASSERT_EQ(upstairs->ChangeParam(&doc(), true), NoError);
  ASSERT_EQ(doc().SaveData(), NoError);
  ASSERT_EQ(Label(*upstairs, "area_symbol_str"), u"4");
  ASSERT_EQ(host.UserChangeStory(0), NoError);
  CEnvironmentResult numbering = Result();
  numbering.m_EnvParam.m_NumberFillGaps = true;
  host.QueueAlertAnswer(1);
  EXPECT_EQ(palette().ApplySettings(dialId(), numbering), NoError);
  EXPECT_EQ(Numbers(0), (std::vector<int>{0, 1}));
  EXPECT_EQ(Label(*rect, "area_symbol_str"), u"2");
  // The story not shown as well: its list, its parts and the stored record.
  EXPECT_EQ(Numbers(1), (std::vector<int>{0, 1}));
  EXPECT_EQ(Label(*upstairs, "area_symbol_str"), u"2");
  ASSERT_EQ(Menu(), NoError);
  ASSERT_EQ(Menu(), NoError);
  EXPECT_EQ(Numbers(1), (std::vector<int>{0, 1}));
}

}  // namespace
