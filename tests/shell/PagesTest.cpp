// The palette keeps its pages in step: update codes in page order, the
// ignore-selection flag around its own redraws, project events after the
// palette's own action.

#include "ShellTestSupport.h"

#include "host_model.h"
#include "host_palette.h"

namespace {

std::vector<std::string> pageLog;

class PagesTest : public ShellTest {
protected:
  PagesTest()
  {
    pageLog.clear();
    pln::host::DGDialogDef page;
    for (short resId : {32408, 32409, 32410})
      host.DefineDialog(resId, page);
    CPlenimetraPalette::SetPageMaker(CPlenimetraPalette::kFigureList, [](CPlenimetraPalette& p) {
      return std::unique_ptr<CPlenimetraPage>(std::make_unique<RecordingPage>(p, pageLog, "list"));
    });
    CPlenimetraPalette::SetPageMaker(CPlenimetraPalette::kTree, [](CPlenimetraPalette& p) {
      return std::unique_ptr<CPlenimetraPage>(std::make_unique<RecordingPage>(p, pageLog, "tree"));
    });
    EXPECT_EQ(Menu(), NoError);
    // Opened in the other order: updates still go list first.
    user().Click(12);
    user().Click(11);
    pageLog.clear();
  }
};

TEST_F(PagesTest, AStoryChangeReachesThePagesInOrderWithTheFlagRaisedThenTheEvent)
{
  ASSERT_EQ(host.UserChangeStory(1), NoError);
  EXPECT_EQ(pageLog, (std::vector<std::string>{"list:1i", "tree:1i", "list:event1048576", "tree:event1048576"}));
  EXPECT_EQ(ItemText(13), GS::UniString(u"2F"));
  EXPECT_FALSE(palette().m_bIgnoreSelection);
}

TEST_F(PagesTest, ASelectionMadeWhileTheFlagIsRaisedNeverArrives)
{
  auto figure = PlaceRect(0, 0, 0, 1, 1);
  RecordingPage::onUpdate = [&](HINT) { host.UserSelect({figure->m_Element.header.guid}); };
  ASSERT_EQ(host.UserMove({figure->m_Element.header.guid}, API_Coord{1, 0}), NoError);
  EXPECT_EQ(pageLog, (std::vector<std::string>{"list:13i", "tree:13i"}));
  RecordingPage::onUpdate = nullptr;
  pageLog.clear();
  ASSERT_EQ(host.UserSelect({}), NoError);
  EXPECT_EQ(pageLog, (std::vector<std::string>{"list:selection", "tree:selection"}));
}

TEST_F(PagesTest, AnotherPatternSendsFourteenThenTenAndEmptiesTheTreeUndo)
{
  ASSERT_EQ(palette().DoTreeCopy(dialId()), NoError);
  doc().SetUndo2();
  pageLog.clear();
  // The palette's own pop-up fill raises no change.
  palette().SetTreeItem();
  EXPECT_EQ(doc().m_UndoParam2.size(), 1u);
  ASSERT_EQ(PopUpTexts(8).size(), 2u);
  user().SelectPopUp(8, 1);
  EXPECT_EQ(pageLog, (std::vector<std::string>{"list:14", "tree:14", "list:10", "tree:10"}));
  EXPECT_TRUE(doc().m_UndoParam2.empty());
  EXPECT_EQ(doc().m_CurTreeCode, doc().m_AreaTree2.m_Child[0].m_AreaCode);
}

TEST_F(PagesTest, ClosingThePaletteClosesThePagesFirst)
{
  ASSERT_EQ(Menu(), NoError);
  EXPECT_EQ(pln::host::OpenDialogId(32408), 0);
  EXPECT_EQ(pln::host::OpenDialogId(32409), 0);
}

TEST_F(PagesTest, EveryPageRegistersWithThePageControlFlagBesideTheWindowsOwn)
{
  const short page = pln::host::OpenDialogId(32408);
  ASSERT_NE(page, 0);
  const auto registered = pln::host::ModelessWindowRegistration(page);
  ASSERT_TRUE(registered.has_value());
  EXPECT_EQ(registered->flags, 1 | 4);
  const auto paletteWindow = pln::host::ModelessWindowRegistration(dialId());
  ASSERT_TRUE(paletteWindow.has_value());
  EXPECT_EQ(paletteWindow->flags, 1);
}

}  // namespace
