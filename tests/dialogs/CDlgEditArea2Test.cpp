// The element dialog driven as the user: the kinds it offers and keeps, the
// MODE radios with the manual fields they switch, the typed manual area with
// its refusals, the name checks, and the items that follow a resize.

#include "CDlgEditArea2.h"
#include "DialogTestSupport.h"
#include "DocTestSupport.h"
#include "ManualAreaText.h"

using pln::host::DialogUser;
using Dlg = CDlgEditArea2;
using RT = CRoundTypeTable;

namespace {

class CDlgEditArea2Test : public DialogTest {
protected:
  CDlgEditArea2Test() { Define<Dlg>(); }
};

TEST_F(CDlgEditArea2Test, ElementMayTakeDefaultWhileOfferedButNeverUndefined)
{
  Dlg dialog(&doc, true, false);
  dialog.m_Name = CAreaNameArray(u"居室");
  const short answer = Run(dialog, [&](DialogUser& user) {
    EXPECT_EQ(Entries(user, Dlg::ITEM_TYPE1), (Texts{u"未定義", u"デフォルト", u"四捨五入", u"切り捨て", u"切り上げ"}));
    Choose(user, Dlg::ITEM_TYPE1, u"デフォルト");
    Choose(user, Dlg::ITEM_TYPE1, u"未定義");
    EXPECT_EQ(Shown(user, Dlg::ITEM_TYPE1), GS::UniString(u"デフォルト"));
    Choose(user, Dlg::ITEM_TYPE2, u"未定義");
    EXPECT_EQ(Shown(user, Dlg::ITEM_TYPE2), GS::UniString(u"未定義"));
    user.Click(1);
  });
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(dialog.m_RoundTypeItem1.m_Type, RT::ROUNDTYPE_DEFAULT);
  EXPECT_EQ(dialog.m_RoundTypeItem2.m_Type, RT::ROUNDTYPE_NONE);
}

// Each MODE shows its radio; the manual fields work only under 手動入力 and
// keep what they hold while greyed.
TEST_F(CDlgEditArea2Test, ModeRadiosShowTheModeAndSwitchTheManualFields)
{
  struct Case {
    int mode;
    short radio;
  };
  const std::vector<Case> cases{
      {1, Dlg::ITEM_MODE_FIGURES}, {2, Dlg::ITEM_MODE_MANUAL}, {3, Dlg::ITEM_MODE_AUTO}, {4, Dlg::ITEM_MODE_BOTH}};
  for (const Case& c : cases) {
    for (const Case& chosen : cases) {
      Dlg dialog(&doc, false, false);
      dialog.m_Mode = c.mode;
      dialog.m_ManualEquation = u"3.5×2.0";
      const short answer = Run(dialog, [&](DialogUser& user) {
        for (const Case& other : cases)
          EXPECT_EQ(Item(user, other.radio).valLong, other.mode == c.mode ? 1 : 0);
        EXPECT_EQ(Item(user, Dlg::ITEM_EQUATION).enabled, c.mode == 2);
        user.SetLong(chosen.radio, 1);
        EXPECT_EQ(Item(user, Dlg::ITEM_EQUATION).enabled, chosen.mode == 2);
        EXPECT_EQ(Item(user, Dlg::ITEM_AREA).enabled, chosen.mode == 2);
        EXPECT_EQ(Item(user, Dlg::ITEM_EQUATION).text, GS::UniString(u"3.5×2.0"));
        user.Click(1);
      });
      EXPECT_EQ(answer, 1);
      EXPECT_EQ(dialog.m_Mode, chosen.mode) << c.mode;
    }
  }
}

// A refused text keeps the stored area and shows it again; an accepted one
// is shown as stored, never rounded up.
TEST_F(CDlgEditArea2Test, TypedAreaIsStoredTruncatedOrRefusedWithTheStoredValueShown)
{
  struct Step {
    const char16_t* typed;
    long long stored;
    const char16_t* shown;
    bool refused;
  };
  const std::vector<Step> steps{
      {u"12.5", 12500000, u"12.500000", false},
      {u"12.5678949", 12567894, u"12.567894", false},
      {u"1e12", 12567894, u"12.567894", true},
      {u"nan", 12567894, u"12.567894", true},
      {u"-3", -3000000, u"-3.000000", false},
      {u"abc", 0, u"0.000000", false},
      {u"7", 7000000, u"7.000000", false},
  };
  Dlg dialog(&doc, false, false);
  dialog.m_ManualArea = 4200000;
  const short answer = Run(dialog, [&](DialogUser& user) {
    EXPECT_EQ(Item(user, Dlg::ITEM_AREA).text, GS::UniString(u"4.200000"));
    user.SetLong(Dlg::ITEM_MODE_MANUAL, 1);
    user.SetText(Dlg::ITEM_EQUATION, u"3.5×2.0");
    for (const Step& step : steps) {
      user.SetText(Dlg::ITEM_AREA, step.typed);
      EXPECT_EQ(dialog.m_ManualArea, step.stored) << GS::UniString(step.typed).ToStdString(CC_UTF8);
      EXPECT_EQ(Item(user, Dlg::ITEM_AREA).text, GS::UniString(step.shown));
      EXPECT_EQ(NewAlerts(), step.refused ? Texts{kManualAreaRefused} : Texts{});
    }
    user.Click(1);
  });
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(dialog.m_Mode, 2);
  EXPECT_EQ(dialog.m_ManualEquation, GS::UniString(u"3.5×2.0"));
  EXPECT_EQ(dialog.m_ManualArea, 7000000);
}

// With a pattern whose preset shows figure areas to 2 digits the field
// shows 2; the stored value keeps every unit.
TEST_F(CDlgEditArea2Test, AreaFieldUsesThePatternsFigureDigits)
{
  PatternDoc pattern;
  pattern.doc.m_EnvParam.m_RoundTypeParamArray.at(0).m_Area1RoundType = {RT::ROUNDTYPE_CUT, 2};
  Dlg dialog(&pattern.doc, false, false);
  dialog.m_Mode = 2;
  Run(dialog, [&](DialogUser& user) {
    user.SetText(Dlg::ITEM_AREA, u"8.2345");
    EXPECT_EQ(Item(user, Dlg::ITEM_AREA).text, GS::UniString(u"8.23    "));
    user.Click(1);
  });
  EXPECT_EQ(dialog.m_ManualArea, 8234500);
}

// The checks themselves are the folder dialog's; the element has its own
// message, and a name it may not edit is neither shown nor checked.
TEST_F(CDlgEditArea2Test, EmptyElementNameIsRefusedOnlyWhereEditable)
{
  for (bool editable : {true, false}) {
    Dlg dialog(&doc, editable, false);
    dialog.m_Name = CAreaNameArray(u"居室");
    const short answer = Run(dialog, [&](DialogUser& user) {
      EXPECT_EQ(Item(user, Dlg::ITEM_NAME).text, GS::UniString(editable ? u"居室" : u""));
      user.Click(1);
    });
    EXPECT_EQ(answer, 1);
    EXPECT_TRUE(NewAlerts().empty());
  }
  Dlg dialog(&doc, true, false);
  Run(dialog, [](DialogUser& user) {
    user.SetText(Dlg::ITEM_NAME, u"");
    user.Click(1);
  });
  EXPECT_EQ(NewAlerts(), Texts{u"要素名を入力してください"});
}

TEST_F(CDlgEditArea2Test, ResizeMovesTheButtonsAndWidensTheFields)
{
  Dlg dialog(&doc, false, false);
  Run(dialog, [&](DialogUser& user) {
    auto rect = [&](short item) {
      const auto& s = Item(user, item);
      return std::vector<short>{s.left, s.top, s.right, s.bottom};
    };
    const auto ok = rect(1), equation = rect(Dlg::ITEM_EQUATION), frame = rect(Dlg::ITEM_FRAME),
               area = rect(Dlg::ITEM_AREA);
    user.Resize(30, 12);
    EXPECT_EQ(rect(1), (std::vector<short>{short(ok[0] + 30), short(ok[1] + 12), short(ok[2] + 30), short(ok[3] + 12)}));
    EXPECT_EQ(rect(Dlg::ITEM_EQUATION), (std::vector<short>{equation[0], equation[1], short(equation[2] + 30), equation[3]}));
    EXPECT_EQ(rect(Dlg::ITEM_FRAME), (std::vector<short>{frame[0], frame[1], short(frame[2] + 30), frame[3]}));
    EXPECT_EQ(rect(Dlg::ITEM_AREA), area);
  });
}

}  // namespace
