// The create-tree-item dialog driven as the user: what the pop-ups offer,
// the order in which OK refuses incomplete input, and what the caller reads
// back.

#include "CDlgCreateTreeItem.h"
#include "DialogTestSupport.h"

using pln::host::DialogUser;
using Dlg = CDlgCreateTreeItem;

namespace {

const Texts kKinds{u"未定義", u"四捨五入", u"切り捨て", u"切り上げ"};
const Texts kDigits{u"小数点第0位", u"小数点第1位", u"小数点第2位", u"小数点第3位",
                    u"小数点第4位", u"小数点第5位", u"小数点第6位"};

class CDlgCreateTreeItemTest : public DialogTest {
protected:
  CDlgCreateTreeItemTest() { Define<Dlg>(); }
};

TEST_F(CDlgCreateTreeItemTest, OpensOnTheDefaultsAndNeverOffersDefaultRounding)
{
  Dlg dialog(&doc);
  const short answer = Run(dialog, [&](DialogUser& user) {
    for (short item : {Dlg::ITEM_TYPE1, Dlg::ITEM_TYPE2}) {
      EXPECT_EQ(Entries(user, item), kKinds);
      EXPECT_EQ(EntryData(user, item), (std::vector<long long>{0, 1, 2, 3}));
      EXPECT_EQ(Shown(user, item), GS::UniString(u"未定義"));
    }
    for (short item : {Dlg::ITEM_DIGIT1, Dlg::ITEM_DIGIT2}) {
      EXPECT_EQ(Entries(user, item), kDigits);
      EXPECT_EQ(EntryData(user, item), (std::vector<long long>{0, 1, 2, 3, 4, 5, 6}));
      EXPECT_EQ(Shown(user, item), GS::UniString(u"小数点第0位"));
    }
    EXPECT_EQ(Item(user, Dlg::ITEM_ELEMENT).valLong, 0);
    EXPECT_EQ(Item(user, Dlg::ITEM_FOLDER).valLong, 0);
  });
  EXPECT_EQ(answer, 2);
}

// Each step fixes one more of the refusals; the alert names the first one
// still standing, and the dialog stays open until none is left.
TEST_F(CDlgCreateTreeItemTest, OkRefusesInTheOrderKindRoundingNameUniqueness)
{
  struct Step {
    std::function<void(DialogUser&)> act;
    const char16_t* refusal;  // null: OK closes the dialog
  };
  const std::vector<Step> steps{
      {[](DialogUser&) {}, u"タイプを選択してください"},
      {[](DialogUser& u) { u.SetLong(Dlg::ITEM_FOLDER, 1); }, u"端数処理を選択してください"},
      {[](DialogUser& u) { Choose(u, Dlg::ITEM_TYPE1, u"切り捨て"), Choose(u, Dlg::ITEM_DIGIT1, u"小数点第2位"); },
       u"端数処理を選択してください"},
      {[](DialogUser& u) { Choose(u, Dlg::ITEM_TYPE2, u"四捨五入"), Choose(u, Dlg::ITEM_DIGIT2, u"小数点第1位"); },
       u"名前を入力してください"},
      {[](DialogUser& u) { u.SetText(Dlg::ITEM_NAME, u"共用"); }, u"この名前は既に使用されています。"},
      {[](DialogUser& u) { u.SetText(Dlg::ITEM_NAME, u"共用 "); }, nullptr},
  };
  Dlg dialog(&doc);
  dialog.m_UsedNames = {u"居室", u"共用"};
  const short answer = Run(dialog, [&](DialogUser& user) {
    for (const Step& step : steps) {
      step.act(user);
      user.Click(1);
      const Texts expected = step.refusal != nullptr ? Texts{step.refusal} : Texts{};
      EXPECT_EQ(NewAlerts(), expected);
      EXPECT_EQ(user.IsOpen(), step.refusal != nullptr);
    }
  });
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(dialog.m_Kind, Dlg::KIND_FOLDER);
  EXPECT_EQ(dialog.m_Name, GS::UniString(u"共用 "));
  EXPECT_EQ(dialog.m_RoundTypeItem1, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 2));
  EXPECT_EQ(dialog.m_RoundTypeItem2, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_HALFUP, 1));
  EXPECT_EQ(host.Alerts().back().buttons[0], GS::UniString(u"Ok"));
  EXPECT_EQ(host.Alerts().back().buttons[1], GS::UniString());
}

// The caller opens the next insert with the last values: they show again,
// but the kind must be chosen anew, and a refused OK still hands back what
// the controls held.
TEST_F(CDlgCreateTreeItemTest, PresetValuesShowAgainButTheKindIsAskedAnew)
{
  Dlg dialog(&doc);
  dialog.m_Name = u"倉庫";
  dialog.m_RoundTypeItem1 = {CRoundTypeTable::ROUNDTYPE_CUT, 2};
  dialog.m_RoundTypeItem2 = {CRoundTypeTable::ROUNDTYPE_HALFUP, 1};
  const short answer = Run(dialog, [&](DialogUser& user) {
    EXPECT_EQ(Item(user, Dlg::ITEM_NAME).text, GS::UniString(u"倉庫"));
    EXPECT_EQ(Shown(user, Dlg::ITEM_TYPE1), GS::UniString(u"切り捨て"));
    EXPECT_EQ(Shown(user, Dlg::ITEM_DIGIT1), GS::UniString(u"小数点第2位"));
    EXPECT_EQ(Shown(user, Dlg::ITEM_TYPE2), GS::UniString(u"四捨五入"));
    EXPECT_EQ(Shown(user, Dlg::ITEM_DIGIT2), GS::UniString(u"小数点第1位"));
    user.SetText(Dlg::ITEM_NAME, u"物置");
    user.Click(1);
    EXPECT_EQ(NewAlerts(), Texts{u"タイプを選択してください"});
  });
  EXPECT_EQ(answer, 2);
  EXPECT_EQ(dialog.m_Kind, Dlg::KIND_NONE);
  EXPECT_EQ(dialog.m_Name, GS::UniString(u"物置"));
  EXPECT_EQ(dialog.m_RoundTypeItem1, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 2));
}

}  // namespace
