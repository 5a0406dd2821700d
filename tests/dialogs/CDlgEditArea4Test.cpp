// The folder dialog driven as the user: the kinds offered for each stored
// kind and the snap-back of デフォルト and 未定義, the name checks, the
// layer shown read-only, and the several-items mode in which only what the
// user changed reaches the nodes.

#include "CDlgEditArea4.h"
#include "DialogTestSupport.h"

using pln::host::DialogUser;
using Dlg = CDlgEditArea4;
using RT = CRoundTypeTable;

namespace {

class CDlgEditArea4Test : public DialogTest {
protected:
  CDlgEditArea4Test() { Define<Dlg>(); }
};

TEST_F(CDlgEditArea4Test, KindsOfferedFollowTheStoredKind)
{
  struct Case {
    RT::ROUNDTYPE stored;
    Texts offered;
    const char16_t* shown;
  };
  const std::vector<Case> cases{
      {RT::ROUNDTYPE_CUT, {u"四捨五入", u"切り捨て", u"切り上げ"}, u"切り捨て"},
      {RT::ROUNDTYPE_HALFUP, {u"四捨五入", u"切り捨て", u"切り上げ"}, u"四捨五入"},
      {RT::ROUNDTYPE_DEFAULT, {u"デフォルト", u"四捨五入", u"切り捨て", u"切り上げ"}, u"デフォルト"},
      {RT::ROUNDTYPE_NONE, {u"未定義", u"デフォルト", u"四捨五入", u"切り捨て", u"切り上げ"}, u"未定義"},
      // A kind no table row has (damaged data) is offered everything and
      // shows no entry.
      {static_cast<RT::ROUNDTYPE>(7), {u"未定義", u"デフォルト", u"四捨五入", u"切り捨て", u"切り上げ"}, u""},
  };
  for (const Case& c : cases) {
    Dlg dialog(&doc, true, false);
    dialog.m_RoundTypeItem1 = {c.stored, 2};
    dialog.m_RoundTypeItem2 = {c.stored, 3};
    Run(dialog, [&](DialogUser& user) {
      for (short item : {Dlg::ITEM_TYPE1, Dlg::ITEM_TYPE2}) {
        EXPECT_EQ(Entries(user, item), c.offered) << c.stored;
        EXPECT_EQ(Shown(user, item), GS::UniString(c.shown)) << c.stored;
      }
      EXPECT_EQ(Shown(user, Dlg::ITEM_DIGIT1), GS::UniString(u"小数点第2位"));
      EXPECT_EQ(Shown(user, Dlg::ITEM_DIGIT2), GS::UniString(u"小数点第3位"));
      EXPECT_EQ(Entries(user, Dlg::ITEM_DIGIT1).size(), 7u);
    });
  }
}

TEST_F(CDlgEditArea4Test, DefaultAndUndefinedSnapBackToTheStoredKind)
{
  Dlg dialog(&doc, true, false);
  dialog.m_Name = CAreaNameArray(u"共用");
  dialog.m_RoundTypeItem1 = {RT::ROUNDTYPE_DEFAULT, 2};
  dialog.m_RoundTypeItem2 = {RT::ROUNDTYPE_NONE, 1};
  const short answer = Run(dialog, [&](DialogUser& user) {
    Choose(user, Dlg::ITEM_TYPE1, u"切り上げ");
    Choose(user, Dlg::ITEM_TYPE1, u"デフォルト");
    EXPECT_EQ(Shown(user, Dlg::ITEM_TYPE1), GS::UniString(u"切り上げ"));
    Choose(user, Dlg::ITEM_TYPE2, u"デフォルト");
    EXPECT_EQ(Shown(user, Dlg::ITEM_TYPE2), GS::UniString(u"未定義"));
    Choose(user, Dlg::ITEM_TYPE2, u"未定義");
    EXPECT_EQ(Shown(user, Dlg::ITEM_TYPE2), GS::UniString(u"未定義"));
    // The digits are only read at OK.
    Choose(user, Dlg::ITEM_DIGIT1, u"小数点第5位");
    EXPECT_EQ(dialog.m_RoundTypeItem1.m_Digit, 2);
    user.Click(1);
  });
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(dialog.m_RoundTypeItem1, CRoundTypeItem(RT::ROUNDTYPE_UP, 5));
  EXPECT_EQ(dialog.m_RoundTypeItem2, CRoundTypeItem(RT::ROUNDTYPE_NONE, 1));
}

TEST_F(CDlgEditArea4Test, EmptyNamesAreRefusedFolderNameFirst)
{
  Dlg dialog(&doc, true, true);
  dialog.m_Name = CAreaNameArray(u"建物");
  dialog.m_Name.SetName2(1, u"建物2F");
  dialog.m_PatternName = u"計算";
  const short answer = Run(dialog, [&](DialogUser& user) {
    EXPECT_EQ(Item(user, Dlg::ITEM_NAME).text, GS::UniString(u"建物"));
    EXPECT_EQ(Item(user, Dlg::ITEM_PATTERN_NAME).text, GS::UniString(u"計算"));
    user.SetText(Dlg::ITEM_NAME, u"");
    user.SetText(Dlg::ITEM_PATTERN_NAME, u"");
    user.Click(1);
    EXPECT_EQ(NewAlerts(), Texts{u"小計名を入力してください"});
    user.SetText(Dlg::ITEM_NAME, u"本体");
    user.Click(1);
    EXPECT_EQ(NewAlerts(), Texts{u"パターン名を入力してください"});
    EXPECT_TRUE(user.IsOpen());
    user.SetText(Dlg::ITEM_PATTERN_NAME, u"計算2");
    user.Click(1);
  });
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(dialog.m_Name.m_DefaultName, GS::UniString(u"本体"));
  EXPECT_EQ(dialog.m_Name.GetName(1), GS::UniString(u"建物2F"));
  EXPECT_EQ(dialog.m_PatternName, GS::UniString(u"計算2"));
}

// The stored names pass through the host's default code; a name it cannot
// hold is refused at once instead of being stored as another.
TEST_F(CDlgEditArea4Test, FolderNameTheDefaultCodeCannotHoldIsRefused)
{
  Dlg dialog(&doc, true, false);
  const short answer = Run(dialog, [&](DialogUser& user) {
    user.SetText(Dlg::ITEM_NAME, u"倉庫é");
    user.Click(1);
    EXPECT_EQ(NewAlerts(), Texts{u"使用できない文字「é」(U+00E9)が含まれています"});
    EXPECT_TRUE(user.IsOpen());
    user.SetText(Dlg::ITEM_NAME, u"倉庫");
    user.Click(1);
  });
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(dialog.m_Name.m_DefaultName, GS::UniString(u"倉庫"));
}

TEST_F(CDlgEditArea4Test, LayerIsShownReadOnlyOnlyWithThePatternName)
{
  for (bool editPattern : {true, false}) {
    Dlg dialog(&doc, true, editPattern);
    dialog.m_PatternName = u"計算";
    Run(dialog, [&](DialogUser& user) {
      const auto& layer = Item(user, Dlg::ITEM_LAYER);
      EXPECT_EQ(layer.visible, editPattern);
      if (editPattern) {
        EXPECT_FALSE(layer.enabled);
      }
      EXPECT_EQ(layer.valLong, doc.GetLayer());
      EXPECT_EQ(Item(user, Dlg::ITEM_PATTERN_NAME).enabled, editPattern);
      EXPECT_EQ(Item(user, Dlg::ITEM_PATTERN_NAME).text, GS::UniString(editPattern ? u"計算" : u""));
      EXPECT_TRUE(Item(user, Dlg::ITEM_NAME).enabled);
    });
  }
}

// Three nodes with different roundings: the dialog opens on "keep" whatever
// the caller copied in, and only the per-floor digit the user chose
// changes.
TEST_F(CDlgEditArea4Test, SeveralItemsChangeOnlyWhatTheUserChose)
{
  Dlg dialog(&doc, false, false);
  dialog.m_RoundTypeItem1 = {RT::ROUNDTYPE_CUT, 2};
  dialog.m_RoundTypeItem2 = {RT::ROUNDTYPE_HALFUP, 1};
  const short answer = Run(dialog, [&](DialogUser& user) {
    EXPECT_FALSE(Item(user, Dlg::ITEM_NAME).enabled);
    EXPECT_FALSE(Item(user, Dlg::ITEM_PATTERN_NAME).enabled);
    EXPECT_EQ(Item(user, Dlg::ITEM_NAME).text, GS::UniString());
    EXPECT_FALSE(Item(user, Dlg::ITEM_LAYER).visible);
    for (short item : {Dlg::ITEM_TYPE1, Dlg::ITEM_TYPE2, Dlg::ITEM_DIGIT1, Dlg::ITEM_DIGIT2})
      EXPECT_EQ(Shown(user, item), GS::UniString(u"未定義")) << item;
    EXPECT_EQ(EntryData(user, Dlg::ITEM_DIGIT2), (std::vector<long long>{-1, 0, 1, 2, 3, 4, 5, 6}));
    Choose(user, Dlg::ITEM_DIGIT2, u"小数点第2位");
    // 未定義 stays a choice of kind here, so a kind can go back to "keep";
    // デフォルト still snaps back.
    Choose(user, Dlg::ITEM_TYPE1, u"切り上げ");
    Choose(user, Dlg::ITEM_TYPE1, u"デフォルト");
    EXPECT_EQ(Shown(user, Dlg::ITEM_TYPE1), GS::UniString(u"切り上げ"));
    Choose(user, Dlg::ITEM_TYPE1, u"未定義");
    user.Click(1);
  });
  ASSERT_EQ(answer, 1);
  EXPECT_EQ(dialog.m_RoundTypeItem1, CRoundTypeItem(RT::ROUNDTYPE_NONE, -1));
  EXPECT_EQ(dialog.m_RoundTypeItem2, CRoundTypeItem(RT::ROUNDTYPE_NONE, 2));

  struct Node {
    CRoundTypeItem building, floor, floorAfter;
  };
  const std::vector<Node> nodes{
      {{RT::ROUNDTYPE_CUT, 2}, {RT::ROUNDTYPE_HALFUP, 1}, {RT::ROUNDTYPE_HALFUP, 2}},
      {{RT::ROUNDTYPE_DEFAULT, 3}, {RT::ROUNDTYPE_UP, 0}, {RT::ROUNDTYPE_UP, 2}},
      {{RT::ROUNDTYPE_UP, 6}, {RT::ROUNDTYPE_DEFAULT, 4}, {RT::ROUNDTYPE_DEFAULT, 2}},
  };
  for (const Node& node : nodes) {
    CRoundTypeItem building = node.building, floor = node.floor;
    Dlg::ApplyRounding(dialog.m_RoundTypeItem1, building);
    Dlg::ApplyRounding(dialog.m_RoundTypeItem2, floor);
    EXPECT_EQ(building, node.building);
    EXPECT_EQ(floor, node.floorAfter);
  }
  CRoundTypeItem kindOnly{RT::ROUNDTYPE_UP, 6};
  Dlg::ApplyRounding({RT::ROUNDTYPE_CUT, -1}, kindOnly);
  EXPECT_EQ(kindOnly, CRoundTypeItem(RT::ROUNDTYPE_CUT, 6));
}

}  // namespace
