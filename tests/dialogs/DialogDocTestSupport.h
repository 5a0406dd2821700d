#pragma once
// The dialogs' tests: a project with two stories (1F current), a document
// holding one calculation pattern (DocTestSupport.h), the dialogs' own
// layouts declared, and short readers of the open dialog's items.

#include "DocTestSupport.h"
#include "dg_manager.h"
#include "dg_user.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using pln::host::DialogUser;

class DialogDocTest : public ::testing::Test {
protected:
  DialogDocTest()
  {
    fx.AddStory(0, 0.0, u"1F");
    fx.AddStory(1, 3.0, u"2F");
  }
  // A clean run leaves no call on a missing item or one of the wrong kind.
  void TearDown() override { EXPECT_TRUE(fx.DialogMisuses().empty()) << fx.DialogMisuses().front(); }

  template <typename Dialog>
  void Declare()
  {
    fx.DefineDialog(Dialog::ResourceId, Dialog::Layout());
  }
  // Runs the dialog with the script; answers DoModal's result.
  template <typename Dialog>
  short Run(Dialog& dialog, pln::host::DialogScript script)
  {
    fx.QueueDialogScript(Dialog::ResourceId, std::move(script));
    return dialog.DoModal();
  }

  static const pln::host::DGItemState& State(const DialogUser& user, short item)
  {
    const pln::host::DGItemState* state = pln::host::DialogItemState(user.DialogId(), item);
    EXPECT_NE(state, nullptr) << "item " << item;
    static const pln::host::DGItemState none;
    return state != nullptr ? *state : none;
  }
  static Int32 Value(const DialogUser& user, short item) { return State(user, item).valLong; }
  static std::u16string Text(const DialogUser& user, short item) { return State(user, item).text.Std(); }
  // Column texts of every row of a list.
  static std::vector<std::u16string> Column(const DialogUser& user, short list, short column)
  {
    std::vector<std::u16string> texts;
    for (short r = 1; r <= DGListGetItemCount(user.DialogId(), list); ++r)
      texts.push_back(DGListGetItemText(user.DialogId(), list, r, column).Std());
    return texts;
  }
  // The pop-up entry whose user data is the code; 0 when none.
  static short EntryOf(const DialogUser& user, short popUp, long long code)
  {
    for (short e = 1; e <= DGPopUpGetItemCount(user.DialogId(), popUp); ++e) {
      if (DGPopUpGetItemUserData(user.DialogId(), popUp, e) == static_cast<DGUserData>(code))
        return e;
    }
    return 0;
  }

  HostFixture fx;
  PatternDoc pattern;
  CPlenimetraParam& doc = pattern.doc;
};
