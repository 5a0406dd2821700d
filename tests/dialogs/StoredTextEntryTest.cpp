// Every dialog that edits a text the stored forms keep in the host's
// default 8-bit code refuses at OK a text that code cannot hold, names the
// character, and stays open for the correction; under UTF-8 the same texts
// are taken as typed.

#include "CDlgCreateTreeItem.h"
#include "CDlgEditArea2.h"
#include "CDlgEditArea4.h"
#include "CDlgEditName.h"
#include "DialogTestSupport.h"
#include "host_charcodes.h"

#include <functional>

using pln::host::DialogUser;

namespace {

// One editable text of a dialog: runs the dialog, types into the item, and
// answers what the dialog took.
struct TextEntry {
  const char* what;
  std::function<GS::UniString(CPlenimetraParam& doc, const std::function<void(DialogUser&)>& script)> run;
  short item;
};

template <typename Dialog>
short RunDialog(Dialog& dialog, const std::function<void(DialogUser&)>& script)
{
  pln::host::QueueDialogScript(Dialog::ResourceId, script);
  return dialog.DoModal();
}

const TextEntry kEntries[] = {
    {"preset or pattern name", [](CPlenimetraParam&, const auto& script) {
       CDlgEditName dialog;
       return RunDialog(dialog, script) == 1 ? dialog.m_Name : GS::UniString();
     }, 5},
    {"new tree item", [](CPlenimetraParam& doc, const auto& script) {
       CDlgCreateTreeItem dialog(&doc);
       dialog.m_RoundTypeItem1 = dialog.m_RoundTypeItem2 = {CRoundTypeTable::ROUNDTYPE_CUT, 2};
       const short answer = RunDialog(dialog, [&](DialogUser& user) {
         user.SetLong(CDlgCreateTreeItem::ITEM_FOLDER, 1);
         script(user);
       });
       return answer == 1 ? dialog.m_Name : GS::UniString();
     }, CDlgCreateTreeItem::ITEM_NAME},
    {"folder name", [](CPlenimetraParam& doc, const auto& script) {
       CDlgEditArea4 dialog(&doc, true, false);
       return RunDialog(dialog, script) == 1 ? dialog.m_Name.m_DefaultName : GS::UniString();
     }, CDlgEditArea4::ITEM_NAME},
    {"pattern name", [](CPlenimetraParam& doc, const auto& script) {
       CDlgEditArea4 dialog(&doc, true, true);
       dialog.m_Name = CAreaNameArray(u"建物");
       return RunDialog(dialog, script) == 1 ? dialog.m_PatternName : GS::UniString();
     }, CDlgEditArea4::ITEM_PATTERN_NAME},
    {"element name", [](CPlenimetraParam& doc, const auto& script) {
       CDlgEditArea2 dialog(&doc, true, false);
       return RunDialog(dialog, script) == 1 ? dialog.m_Name.m_DefaultName : GS::UniString();
     }, CDlgEditArea2::ITEM_NAME},
    {"element formula", [](CPlenimetraParam& doc, const auto& script) {
       CDlgEditArea2 dialog(&doc, true, false);
       dialog.m_Name = CAreaNameArray(u"居室");
       dialog.m_Mode = CArea2ObjectFloor::MODE_MANUAL;
       return RunDialog(dialog, script) == 1 ? dialog.m_ManualEquation : GS::UniString();
     }, CDlgEditArea2::ITEM_EQUATION},
};

class StoredTextEntryTest : public DialogTest {
protected:
  StoredTextEntryTest()
  {
    Define<CDlgEditName>();
    Define<CDlgCreateTreeItem>();
    Define<CDlgEditArea4>();
    Define<CDlgEditArea2>();
  }
  // Types the text and presses OK; when the dialog stays open, types the
  // correction and presses OK again. What the dialog took.
  GS::UniString Enter(const TextEntry& entry, const char16_t* typed, const char16_t* correction = u"修正")
  {
    return entry.run(doc, [&](DialogUser& user) {
      user.SetText(entry.item, typed);
      user.Click(1);
      if (user.IsOpen()) {
        EXPECT_EQ(Item(user, entry.item).text, GS::UniString(typed)) << entry.what;  // kept for correction
        user.SetText(entry.item, correction);
        user.Click(1);
      }
    });
  }
};

// The same texts under the two codes: Shift-JIS, the host's default,
// refuses each at OK and keeps the dialog open for the correction; UTF-8
// takes each as typed.
TEST_F(StoredTextEntryTest, ATextIsRefusedNamingTheCharacterOnlyWhereTheDefaultCodeCannotHoldIt)
{
  struct Row {
    const char16_t* typed;
    const char16_t* refusal;
  };
  const Row rows[] = {
      {u"A€B", u"使用できない文字「€」(U+20AC)が含まれています"},
      {u"計算😀", u"使用できない文字「😀」(U+1F600)が含まれています"},
      {u"¥100", u"使用できない文字「¥」(U+00A5)が含まれています"},  // would be stored as "\100"
  };
  for (const TextEntry& entry : kEntries) {
    for (const Row& row : rows) {
      EXPECT_EQ(Enter(entry, row.typed), GS::UniString(u"修正")) << entry.what;
      EXPECT_EQ(NewAlerts(), Texts{row.refusal}) << entry.what;
    }
    EXPECT_EQ(Enter(entry, u"ＡＢ① ｶﾅ"), GS::UniString(u"ＡＢ① ｶﾅ")) << entry.what;
    EXPECT_EQ(NewAlerts(), Texts{}) << entry.what;
  }

  pln::host::SetDefaultCharCode(CC_UTF8);
  for (const TextEntry& entry : kEntries) {
    for (const Row& row : rows) {
      EXPECT_EQ(Enter(entry, row.typed), GS::UniString(row.typed)) << entry.what;
      EXPECT_EQ(NewAlerts(), Texts{}) << entry.what;
    }
  }
}

}  // namespace
