// The floor check-list dialogs (stories to calculate, reference-floor copy)
// and the select-pattern dialog, driven as the user drives them.

#include "../LiveHandleCheck.h"
#include "CDlgFloorCopy.h"
#include "CDlgSelectTree.h"
#include "CDlgSettingFloor.h"
#include "CGSUtil.h"
#include "CPlenimetraParam.h"
#include "HostFixture.h"
#include "dg_user.h"
#include "host_errors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using pln::host::DialogUser;

constexpr int kPattern = 5;
constexpr int kOtherPattern = 9;

class FloorDialogTest : public ::testing::Test {
protected:
  FloorDialogTest()
  {
    host.DefineDialog(CDlgSettingFloor::ResourceId, CDlgSettingFloor::Layout());
    host.DefineDialog(CDlgFloorCopy::ResourceId, CDlgFloorCopy::Layout());
    host.DefineDialog(CDlgSelectTree::ResourceId, CDlgSelectTree::Layout());
    host.AddStory(-1, -3.0, u"B1");
    host.AddStory(1, 3.0, u"2F");
    host.AddStory(2, 6.0, u"3F");
    for (short story : {-1, 0, 1, 2})
      AddFloor(story);
    doc.m_CurTreeCode = kPattern;
  }
  void TearDown() override
  {
    EXPECT_EQ(host.HandlesSinceReset(), 0);
    EXPECT_TRUE(host.DialogMisuses().empty());
  }

  void AddFloor(short story)
  {
    CFloorParam floor;
    floor.m_FloorNo = story;
    floor.m_FloorName = CGSUtil::GetFlrName(story);
    doc.m_FloorParamArray.push_back(floor);
  }

  // Column texts of the list, row by row: "<check>|<name>".
  static std::vector<std::u16string> Rows(DialogUser& user, short list)
  {
    std::vector<std::u16string> rows;
    const pln::host::DGItemState* state = pln::host::DialogItemState(user.DialogId(), list);
    for (const auto& row : state->list.rows) {
      auto text = [&](short field) {
        auto found = row.texts.find(field);
        return found != row.texts.end() ? found->second.Std() : std::u16string();
      };
      rows.push_back(text(1) + u"|" + text(2));
    }
    return rows;
  }

  HostFixture host;
  CPlenimetraParam doc;
};

// ---------------------------------------------------------------------------
// Stories to calculate

TEST_F(FloorDialogTest, StoriesListHighestFirstAndTheModeBoxOnlyRedrawsTheTicks)
{
  doc.m_FloorParamArray.m_bCalcPerFloor = false;
  doc.m_FloorParamArray[1].m_CalcExcludeCodes.Add(kPattern);  // 1F off in the pattern
  doc.m_FloorParamArray[3].m_bCalc = false;                   // 3F off for every pattern
  std::vector<std::u16string> perPattern, perFloor;
  host.QueueDialogScript(CDlgSettingFloor::ResourceId, [&](DialogUser& user) {
    perPattern = Rows(user, 5);
    user.Check(3, true);
    perFloor = Rows(user, 5);
    user.Click(2);
  });
  CDlgSettingFloor dialog(&doc);
  EXPECT_EQ(dialog.DoModal(), 2);
  EXPECT_EQ(perPattern, (std::vector<std::u16string>{u"V|3F", u"V|2F", u"|1F", u"V|B1"}));
  EXPECT_EQ(perFloor, (std::vector<std::u16string>{u"|3F", u"V|2F", u"V|1F", u"V|B1"}));
  EXPECT_TRUE(dialog.m_bFloorMode);
  // The records kept both modes' data.
  EXPECT_TRUE(dialog.m_FloorParamArray[1].m_CalcExcludeCodes.IsExisted2(kPattern));
  EXPECT_FALSE(dialog.m_FloorParamArray[3].m_bCalc);
}

TEST_F(FloorDialogTest, OneTickOnThreeSelectedRowsChangesThreeStoriesForThisPatternOnly)
{
  doc.m_FloorParamArray.m_bCalcPerFloor = false;
  host.QueueDialogScript(CDlgSettingFloor::ResourceId, [&](DialogUser& user) {
    user.SelectRows(5, {1, 2, 4});
    user.Check(4, false);
    user.Click(1);
  });
  CDlgSettingFloor dialog(&doc);
  ASSERT_EQ(dialog.DoModal(), 1);
  std::vector<bool> excluded;
  for (const CFloorParam& floor : dialog.m_FloorParamArray)
    excluded.push_back(floor.m_CalcExcludeCodes.IsExisted2(kPattern));
  EXPECT_EQ(excluded, (std::vector<bool>{true, false, true, true}));
  for (const CFloorParam& floor : dialog.m_FloorParamArray)
    EXPECT_TRUE(floor.IsCalc(&dialog.m_FloorParamArray, kOtherPattern));
  // The document's own list is untouched until the caller takes the copy.
  for (const CFloorParam& floor : doc.m_FloorParamArray)
    EXPECT_TRUE(floor.m_CalcExcludeCodes.empty());
}

// ---------------------------------------------------------------------------
// Reference-floor copy

TEST_F(FloorDialogTest, TheSourceIsNeverARowAndTicksGoToTheRowsFloors)
{
  doc.m_FloorParamArray.m_bCalcPerFloor = true;
  doc.m_FloorParamArray[0].m_bCalc = false;  // B1 takes no part
  std::vector<std::u16string> rows;
  std::vector<GS::UniString> sources;
  bool sourceEnabled = true;
  host.QueueDialogScript(CDlgFloorCopy::ResourceId, [&](DialogUser& user) {
    rows = Rows(user, 7);
    for (const auto& entry : pln::host::DialogItemState(user.DialogId(), 4)->entries)
      sources.push_back(entry.text);
    sourceEnabled = pln::host::DialogItemState(user.DialogId(), 4)->enabled;
    user.SelectRows(7, {1, 2});
    user.Check(6, true);
    user.Click(1);
  });
  CDlgFloorCopy dialog(&doc);
  ASSERT_EQ(dialog.DoModal(), 1);
  EXPECT_EQ(rows, (std::vector<std::u16string>{u"|3F", u"|2F"}));
  EXPECT_EQ(sources, (std::vector<GS::UniString>{u"1F", u"2F", u"3F"}));
  EXPECT_FALSE(sourceEnabled);
  EXPECT_EQ(dialog.m_SrcFloor, 0);
  EXPECT_EQ(dialog.m_bCopyFloor, (std::vector<bool>{false, false, true, true}));
}

// A list read without some of its stories has gaps: a story difference
// would name the wrong flag, or one past the end.
TEST_F(FloorDialogTest, RowsOfAFloorListWithAGapSetTheirOwnFloorsFlags)
{
  doc.m_FloorParamArray.erase(doc.m_FloorParamArray.begin() + 2);  // no 2F record
  host.QueueDialogScript(CDlgFloorCopy::ResourceId, [&](DialogUser& user) {
    user.SelectRows(7, {1});
    user.Check(6, true);
    user.Click(1);
  });
  CDlgFloorCopyChoice choice;
  short source = 0;
  std::vector<bool> targets;
  ASSERT_TRUE(choice.DoModal(&doc, source, targets));
  EXPECT_EQ(targets, (std::vector<bool>{false, false, true}));

  host.QueueDialogScript(CDlgFloorCopy::ResourceId, [](DialogUser& user) { user.Click(2); });
  EXPECT_FALSE(choice.DoModal(&doc, source, targets));
}

// ---------------------------------------------------------------------------
// Select pattern

TEST_F(FloorDialogTest, SelectPatternKeepsTheLayerChosenAndListsATreelessPatternByAnEmptyName)
{
  CPlenimetraParam first;
  const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
  first.m_AreaTree2.Insert(&first, GS::UniString(u"共同住宅"), 1, 0, CAreaTree::KIND_FOLDER, item, item);
  doc.m_EnvParam.m_PatternArray.push_back(first);
  doc.m_EnvParam.m_PatternArray.push_back(CPlenimetraParam());  // no tree
  const short layer = static_cast<short>(host.AddLayer(u"別レイヤー"));
  std::vector<GS::UniString> names;
  Int32 shownLayer = 0;
  GS::UniString shownPattern;
  host.QueueDialogScript(CDlgSelectTree::ResourceId, [&](DialogUser& user) {
    const pln::host::DGItemState* patterns = pln::host::DialogItemState(user.DialogId(), 4);
    for (const auto& entry : patterns->entries)
      names.push_back(entry.text);
    shownPattern = patterns->entries[patterns->selectedEntry - 1].text;
    shownLayer = pln::host::DialogItemState(user.DialogId(), 7)->valLong;
    user.SetLong(7, layer);
    user.SelectPopUp(4, 2);
    user.Click(1);
  });
  CDlgSelectTree dialog(&doc);
  dialog.m_Layer = 1;
  ASSERT_EQ(dialog.DoModal(), 1);
  EXPECT_EQ(names, (std::vector<GS::UniString>{u"共同住宅", u""}));
  EXPECT_EQ(shownPattern, GS::UniString(u"共同住宅"));
  EXPECT_EQ(shownLayer, 1);
  EXPECT_EQ(dialog.m_Index, 1);
  EXPECT_EQ(dialog.m_Layer, layer);

  // Cancel: the index keeps its preset, the layer the last one chosen.
  host.QueueDialogScript(CDlgSelectTree::ResourceId, [&](DialogUser& user) {
    user.SelectPopUp(4, 2);
    user.SetLong(7, 1);
    user.Click(2);
  });
  CDlgSelectTree cancelled(&doc);
  cancelled.m_Layer = layer;
  EXPECT_EQ(cancelled.DoModal(), 2);
  EXPECT_EQ(cancelled.m_Index, 0);
  EXPECT_EQ(cancelled.m_Layer, 1);
}

}  // namespace
