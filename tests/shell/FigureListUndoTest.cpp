// Every command of the figure list is one undo step under its own name;
// undoing it through the host gives the list back as it was (the
// collectors bring the records back), redoing gives the result again.

#include "FigureListTestSupport.h"

#include "CDlgEditCr.h"
#include "CDlgRenumbering.h"

namespace {

using pln::host::DialogUser;

struct UndoCase {
  const char* name;
  const char16_t* undoName;
  std::function<void(DialogUser& page, HostFixture& host)> act;
};

class FigureUndoTest : public FigureListTest, public ::testing::WithParamInterface<UndoCase> {
protected:
  FigureUndoTest()
  {
    host.DefineDialog(CDlgEditCr1::ResourceId, CDlgEditCr1::Layout());
    host.DefineDialog(CDlgRenumbering::ResourceId, CDlgRenumbering::Layout());
    // Triangles numbered 0, 1, 5, then a 1 m2 rectangle numbered 6.
    PlaceTriangles(2);
    page().SetLong(22, 6);
    PlaceTriangles(1);
    PlaceRect(0, 50, 0, 1, 1);
    palette().SendUpdateMessage(Hint::ElementsChanged);
  }

  std::vector<std::string> List() const
  {
    std::vector<std::string> rows;
    for (std::size_t row = 1; row <= Rows().size(); ++row) {
      std::string text;
      for (const GS::UniString& cell : RowTexts(row))
        text += cell.ToStdString(CC_UTF8) + "|";
      rows.push_back(text);
    }
    return rows;
  }
};

void Select(DialogUser& page, std::vector<short> rows) { page.SelectRows(25, rows); }
short EntryOf(const DialogUser& page, short item, const char16_t* text) { return PopUpEntry(page.DialogId(), item, text); }

const UndoCase kCases[] = {
    {"Place", u"メンセラ[求積図形作成]",
     []([[maybe_unused]] DialogUser& page, [[maybe_unused]] HostFixture& host) {
       host.QueuePick({30, 0, 0});
       host.QueuePick({34, 0, 0});
       host.QueuePick({31, 3, 0});
       page.Click(CPlenimetraFunc1::kTriangle);
     }},
    {"Rotate", u"メンセラ[底辺回転]",
     []([[maybe_unused]] DialogUser& page, [[maybe_unused]] HostFixture& host) {
       Select(page, {1});
       page.Click(CPlenimetraFunc1::kRotate);
     }},
    {"Delete", u"メンセラ[求積図形削除]",
     []([[maybe_unused]] DialogUser& page, [[maybe_unused]] HostFixture& host) {
       Select(page, {2});
       page.Click(CPlenimetraFunc1::kDelete);
     }},
    {"Mark", u"メンセラ[記号変更]",
     []([[maybe_unused]] DialogUser& page, [[maybe_unused]] HostFixture& host) {
       Select(page, {1});
       page.SelectPopUp(3, EntryOf(page, 3, u"□"));
     }},
    {"Style", u"メンセラ[番号変更]",
     []([[maybe_unused]] DialogUser& page, [[maybe_unused]] HostFixture& host) {
       Select(page, {2});
       page.SelectPopUp(4, EntryOf(page, 4, u"A,B,C"));
     }},
    {"Rounding", u"メンセラ[端数処理]",
     []([[maybe_unused]] DialogUser& page, [[maybe_unused]] HostFixture& host) {
       Select(page, {1, 4});
       page.SelectPopUp(2, EntryOf(page, 2, u"四捨五入"));
     }},
    {"AutoBreak", u"メンセラ[改行]",
     []([[maybe_unused]] DialogUser& page, [[maybe_unused]] HostFixture& host) {
       Select(page, {3});
       page.SelectPopUp(5, EntryOf(page, 5, u"手動"));
     }},
    {"LineBreaks", u"メンセラ[改行]",
     []([[maybe_unused]] DialogUser& page, [[maybe_unused]] HostFixture& host) {
       QueueBreakAfterFirstTerm(host);
       Select(page, {1});
       page.Click(CPlenimetraFunc1::kEditCr);
     }},
    {"Sort", u"メンセラ[求積図形リスト]", []([[maybe_unused]] DialogUser& page, [[maybe_unused]] HostFixture& host) { page.HeaderClick(25, 5); }},
    {"Drag", u"メンセラ[求積図形リスト]",
     []([[maybe_unused]] DialogUser& page, [[maybe_unused]] HostFixture& host) {
       Select(page, {3});
       page.DragAndDrop(25, 25, 0, DG_DRAG_INSERT_ABOVE);
     }},
    {"RenumberAll", u"メンセラ[ﾘﾅﾝﾊﾞﾘﾝｸﾞ]",
     []([[maybe_unused]] DialogUser& page, [[maybe_unused]] HostFixture& host) {
       Select(page, {});
       host.QueueAlertAnswer(1);
       page.Click(CPlenimetraFunc1::kRenumber);
     }},
    {"RenumberSelection", u"メンセラ[ﾘﾅﾝﾊﾞﾘﾝｸﾞ]",
     []([[maybe_unused]] DialogUser& page, [[maybe_unused]] HostFixture& host) {
       host.QueueDialogScript(CDlgRenumbering::ResourceId, [](DialogUser& user) {
         user.SetLong(CDlgRenumbering::kItemStartNo, 10);
         user.Click(1);
       });
       Select(page, {3});
       page.Click(CPlenimetraFunc1::kRenumber);
     }},
};

TEST_P(FigureUndoTest, OneStepThatUndoesAndRedoes)
{
  const auto before = List();
  const std::size_t steps = host.UndoNames().size();
  DialogUser user = page();
  GetParam().act(user, host);
  const auto after = List();
  ASSERT_NE(after, before);
  ASSERT_EQ(host.UndoNames().size(), steps + 1);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(GetParam().undoName));
  ASSERT_EQ(host.UserUndo(), NoError);
  EXPECT_EQ(List(), before);
  ASSERT_EQ(host.UserRedo(), NoError);
  EXPECT_EQ(List(), after);
}

void PrintTo(const UndoCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(Commands, FigureUndoTest, ::testing::ValuesIn(kCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
