// Items: values by kind, radio groups, pop-ups, enabling and layout.

#include "PlatformTestSupport.h"

using pln::host::DGDialogDef;
using pln::host::DGItemKind;
using pln::host::DialogUser;

namespace {

constexpr short kDialog = 32503;

class DgItemsTest : public DgTest {
protected:
  void SetUp() override
  {
    pln::host::DefineDialog(
        kDialog, DGDialogDef{.items = {
                                 {.item = 1, .kind = DGItemKind::Button},
                                 {.item = 2, .kind = DGItemKind::CheckBox},
                                 {.item = 3, .kind = DGItemKind::RadioButton},
                                 {.item = 4, .kind = DGItemKind::RadioButton},
                                 {.item = 5, .kind = DGItemKind::RadioButton, .radioGroup = 2},
                                 {.item = 6, .kind = DGItemKind::LongEdit},
                                 {.item = 7, .kind = DGItemKind::DoubleEdit},
                                 {.item = 8, .kind = DGItemKind::TextEdit},
                                 {.item = 9, .kind = DGItemKind::PopUp},
                                 {.item = 10, .kind = DGItemKind::StaticText, .left = 10, .top = 20, .right = 110,
                                  .bottom = 40},
                                 {.item = 11, .kind = DGItemKind::UserControl},
                                 {.item = 12, .kind = DGItemKind::Icon},
                             }});
    id = OpenModeless(kDialog);
  }

  void FillPopUp(std::initializer_list<std::pair<const char16_t*, DGUserData>> entries)
  {
    for (const auto& [text, data] : entries) {
      DGPopUpInsertItem(id, 9, DG_LIST_BOTTOM);
      const short last = DGPopUpGetItemCount(id, 9);
      DGPopUpSetItemText(id, 9, last, text);
      DGPopUpSetItemUserData(id, 9, last, data);
    }
  }

  short id = 0;
};

TEST_F(DgItemsTest, RadioButtonTurnedOnTurnsOffOnlyItsOwnGroup)
{
  DGSetItemValLong(id, 3, 1);
  DGSetItemValLong(id, 5, 1);
  DGSetItemValLong(id, 4, 1);
  EXPECT_EQ(DGGetItemValLong(id, 3), 0);
  EXPECT_EQ(DGGetItemValLong(id, 4), 1);
  EXPECT_EQ(DGGetItemValLong(id, 5), 1);

  DialogUser(id).SetLong(3, 1);
  EXPECT_EQ(DGGetItemValLong(id, 3), 1);
  EXPECT_EQ(DGGetItemValLong(id, 4), 0);
  EXPECT_EQ(recorder.messages.back(), (DgMessage{DG_MSG_CHANGE, id, 3, 0}));
}

TEST_F(DgItemsTest, SwitchesHoldZeroOrOneEditsHoldWhatIsSetAndTheWrongKindChangesNothing)
{
  DGSetItemValLong(id, 2, 7);
  EXPECT_EQ(DGGetItemValLong(id, 2), 1);
  DGSetItemValLong(id, 6, -40000);
  EXPECT_EQ(DGGetItemValLong(id, 6), -40000);
  DGSetItemValDouble(id, 7, 0.1 + 0.2);
  EXPECT_EQ(DGGetItemValDouble(id, 7), 0.1 + 0.2);
  DGSetItemText(id, 8, u"求積図");
  EXPECT_EQ(DGGetItemText(id, 8), GS::UniString(u"求積図"));
  // The user tracking an attribute chooser sends track, not change.
  DialogUser(id).Track(11, 23);
  EXPECT_EQ(DGGetItemValLong(id, 11), 23);
  EXPECT_EQ(recorder.messages.back(), (DgMessage{DG_MSG_TRACK, id, 11, 0}));

  DGSetItemValLong(id, 7, 3);  // a real edit
  DGSetItemValDouble(id, 6, 1.5);
  DGSetItemText(id, 9, u"x");  // a pop-up's text is its entry's
  EXPECT_EQ(DGGetItemValDouble(id, 7), 0.1 + 0.2);
  EXPECT_EQ(DGGetItemValLong(id, 6), -40000);
  ExpectMisuses(3);
  EXPECT_EQ(pln::host::DialogMisuses()[0], "DGSetItemValLong: item 7 is a double edit");
  EXPECT_EQ(pln::host::DialogMisuses()[2], "DGSetItemText: item 9 is a pop-up");
}

TEST_F(DgItemsTest, AValueButtonIsSetBeforeItsClickArrivesAndARangedFieldClampsWhatTheUserTypes)
{
  pln::host::DefineDialog(kDialog + 1, DGDialogDef{.items = {
                                               {.item = 13, .kind = DGItemKind::ValueButton},
                                               {.item = 14, .kind = DGItemKind::LongEdit, .minLong = 1,
                                                .maxLong = 9999},
                                           }});
  id = OpenModeless(kDialog + 1);
  Int32 valueAtClick = -1;
  recorder.answer = [&](const DgMessage& m) {
    if (m.message == DG_MSG_CLICK && m.item == 13)
      valueAtClick = DGGetItemValLong(id, 13);
    return short(0);
  };
  DialogUser(id).Click(13);
  EXPECT_EQ(valueAtClick, 1);
  DGSetItemValLong(id, 13, 0);
  EXPECT_EQ(DGGetItemValLong(id, 13), 0);

  struct Case {
    Int32 typed;
    Int32 kept;
  };
  for (const Case& c : {Case{0, 1}, Case{-5, 1}, Case{1, 1}, Case{9999, 9999}, Case{10000, 9999}}) {
    DialogUser(id).SetLong(14, c.typed);
    EXPECT_EQ(DGGetItemValLong(id, 14), c.kept) << c.typed;
  }
  DGSetItemValLong(id, 14, 0);  // the program's own value is not the user's typing
  EXPECT_EQ(DGGetItemValLong(id, 14), 0);
}

TEST_F(DgItemsTest, PopUpEntriesCountFromOneAndSelectionFollowsInsertAndDelete)
{
  EXPECT_EQ(DGPopUpGetSelected(id, 9), 0);
  FillPopUp({{u"A", 10}, {u"B", 20}, {u"C", 30}});
  EXPECT_EQ(DGPopUpGetItemCount(id, 9), 3);
  EXPECT_EQ(DGPopUpGetSelected(id, 9), 0);  // nothing is selected by itself

  DGPopUpSelectItem(id, 9, 2);
  EXPECT_EQ(DGGetItemValLong(id, 9), 2);
  EXPECT_EQ(DGGetItemText(id, 9), GS::UniString(u"B"));
  DGPopUpInsertItem(id, 9, 1);  // before the first: B moves to 3
  EXPECT_EQ(DGPopUpGetSelected(id, 9), 3);
  EXPECT_EQ(DGPopUpGetItemUserData(id, 9, 3), 20);
  DGPopUpDeleteItem(id, 9, DG_LIST_BOTTOM);  // C
  EXPECT_EQ(DGPopUpGetSelected(id, 9), 3);
  DGPopUpDeleteItem(id, 9, 3);  // the selected entry itself
  EXPECT_EQ(DGPopUpGetSelected(id, 9), 0);
  EXPECT_EQ(DGPopUpGetItemText(id, 9, 2), GS::UniString(u"A"));
  DGPopUpDeleteItem(id, 9, DG_ALL_ITEMS);
  EXPECT_EQ(DGPopUpGetItemCount(id, 9), 0);
}

TEST_F(DgItemsTest, PopUpRefusesEntriesOutsideItsRange)
{
  FillPopUp({{u"A", 1}});
  DGPopUpSelectItem(id, 9, 2);
  DGSetItemValLong(id, 9, -1);
  EXPECT_EQ(DGPopUpGetItemUserData(id, 9, 0), 0);
  EXPECT_EQ(DGPopUpGetSelected(id, 9), 0);
  ExpectMisuses(3);
  DialogUser(id).SelectPopUp(9, 2);
  EXPECT_EQ(recorder.messages.size(), 1u);  // only the init: no change for a refused choice
}

TEST_F(DgItemsTest, ItemZeroEnablesOrHidesEveryItem)
{
  DGDisableItem(id, 0);
  EXPECT_FALSE(DGIsItemEnabled(id, 1));
  EXPECT_FALSE(DGIsItemEnabled(id, 12));
  DGEnableItem(id, 6);
  EXPECT_TRUE(DGIsItemEnabled(id, 6));
  EXPECT_FALSE(DGIsItemEnabled(id, 7));
  DGHideItem(id, 0);
  DGShowItem(id, 1);
  EXPECT_TRUE(DGIsItemVisible(id, 1));
  EXPECT_FALSE(DGIsItemVisible(id, 2));
}

TEST_F(DgItemsTest, MovesAndGrowsChangeTheRectangleAndBatchesMustBalance)
{
  DGBeginMoveGrowItems(id);
  DGMoveItem(id, 10, 5, -3);
  DGGrowItem(id, 10, 20, 2);
  DGBeginMoveGrowItems(id);
  DGMoveGrowItem(id, 10, 1, 1, -1, -1);
  DGEndMoveGrowItems(id);
  EXPECT_EQ(pln::host::DialogState(id)->moveGrowDepth, 1);
  DGEndMoveGrowItems(id);
  short left = 0, top = 0, right = 0, bottom = 0;
  ASSERT_TRUE(DGGetItemRect(id, 10, &left, &top, &right, &bottom));
  EXPECT_EQ((std::vector<short>{left, top, right, bottom}), (std::vector<short>{16, 18, 135, 39}));
  EXPECT_EQ(pln::host::DialogState(id)->moveGrowBatches, 1);

  DGEndMoveGrowItems(id);  // one end too many
  EXPECT_EQ(pln::host::DialogState(id)->moveGrowDepth, 0);
  ExpectMisuses(1);
}

}  // namespace

namespace {

TEST_F(DgItemsTest, ItemsAppendedAtRunTimeTakeTheNextIdsAndActLikeDeclaredOnes)
{
  const short check = DGAppendDialogItem(id, DG_ITM_CHECKBOX, 0, 0, 5, 6, 0, 18);
  const short list = DGAppendDialogItem(id, DG_ITM_LISTBOX, 0, 0, 0, 100, 290, 50);
  EXPECT_EQ(check, 13);
  EXPECT_EQ(list, 14);
  short left = 0, top = 0, right = 0, bottom = 0;
  ASSERT_TRUE(DGGetItemRect(id, list, &left, &top, &right, &bottom));
  EXPECT_EQ((std::vector<short>{left, top, right, bottom}), (std::vector<short>{0, 100, 290, 150}));

  recorder.messages.clear();
  DialogUser(id).Check(check, true);
  EXPECT_EQ(DGGetItemValLong(id, check), 1);
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0].item, check);

  DGListSetItemHeight(id, list, 21);
  DGListInsertItem(id, list, DG_LIST_BOTTOM);
  DGListInsertItem(id, list, DG_LIST_BOTTOM);
  ASSERT_TRUE(DGListGetItemRect(id, list, 2, &left, &top, &right, &bottom));
  EXPECT_EQ(bottom - top, 21);

  DGRemoveDialogItem(id, check);
  EXPECT_EQ(pln::host::DialogItemState(id, check), nullptr);
  EXPECT_EQ(DGAppendDialogItem(id, 99, 0, 0, 0, 0, 1, 1), 0);
  ExpectMisuses(1);
}

}  // namespace
