// The figure list's order and numbers: header sorting, drag reordering,
// renumbering all or a selection, and the renumbering work lists.

#include "FigureListTestSupport.h"

#include "CDlgRenumbering.h"
#include "CRenumberWork.h"

#include <functional>
#include <tuple>

namespace {

using pln::host::DialogUser;

class FigureOrderTest : public FigureListTest {
protected:
  // Rectangles 1 m high of the given widths, in this order.
  void PlaceWidths(std::initializer_list<double> widths)
  {
    double x = 0;
    for (double w : widths) {
      PlaceRect(0, x, 0, w, 1);
      x += 10;
    }
    palette().SendUpdateMessage(Hint::ElementsChanged);
  }
  // Each row's figure as its position in the story's list.
  std::vector<int> RowOrder() const
  {
    std::vector<int> order;
    const CArea1ObjectArray& list = const_cast<FigureOrderTest*>(this)->Figures(0);
    for (std::size_t row = 1; row <= Rows().size(); ++row)
      for (std::size_t i = 0; i < list.size(); ++i)
        if (reinterpret_cast<CArea1Object*>(static_cast<std::intptr_t>(Rows()[row - 1].userData)) == list[i].get())
          order.push_back(static_cast<int>(i));
    return order;
  }
  std::vector<short> Arrows() const
  {
    std::vector<short> arrows;
    for (short header = 1; header <= 10; ++header) {
      const auto& headers = PageItem(25).list.headers;
      const auto found = headers.find(header);
      arrows.push_back(found != headers.end() ? found->second.arrow : DG_ARROW_NONE);
    }
    return arrows;
  }
  void Renumber(Int32 start)
  {
    host.QueueDialogScript(CDlgRenumbering::ResourceId, [start](DialogUser& user) {
      user.SetLong(CDlgRenumbering::kItemStartNo, start);
      user.Click(1);
    });
    page().Click(CPlenimetraFunc1::kRenumber);
  }
};

TEST_F(FigureOrderTest, AreaHeaderSortsAscendingDescendingAscendingAndClearsOtherArrows)
{
  PlaceWidths({3, 1, 2});
  page().SelectRows(25, {2});
  page().HeaderClick(25, 4);
  page().HeaderClick(25, 5);
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[求積図形リスト]"));
  EXPECT_EQ(RowOrder(), (std::vector<int>{1, 2, 0}));
  std::vector<short> up(10, DG_ARROW_NONE);
  up[4] = DG_ARROW_UP;
  EXPECT_EQ(Arrows(), up);
  EXPECT_EQ(SelectedRows(), (std::vector<short>{1}));  // the selected figure followed its row
  page().HeaderClick(25, 5);
  EXPECT_EQ(RowOrder(), (std::vector<int>{0, 2, 1}));
  EXPECT_EQ(Arrows()[4], DG_ARROW_DOWN);
  page().HeaderClick(25, 5);
  EXPECT_EQ(RowOrder(), (std::vector<int>{1, 2, 0}));
  // The order is stored: a rebuild keeps it.
  palette().SendUpdateMessage(Hint::ElementsChanged);
  EXPECT_EQ(RowOrder(), (std::vector<int>{1, 2, 0}));
}

// The exchange sort does not keep equal keys in order; this order is the
// one the stored lists have always had.
TEST_F(FigureOrderTest, EqualAreasTakeTheExchangeSortsOrder)
{
  PlaceWidths({2, 2, 1});
  page().HeaderClick(25, 5);
  EXPECT_EQ(RowOrder(), (std::vector<int>{2, 1, 0}));
}

// Keys all equal move nothing either way; keys all distinct have a single
// order each way.
TEST_F(FigureOrderTest, AllEqualKeysStayWhereTheyAre)
{
  PlaceWidths({2, 2, 2, 2});
  const std::vector<int> placed = RowOrder();
  page().HeaderClick(25, 5);
  EXPECT_EQ(RowOrder(), placed);
  page().HeaderClick(25, 5);
  EXPECT_EQ(RowOrder(), placed);
}

TEST_F(FigureOrderTest, AllDistinctKeysTakeTheirOnlyOrderEachWay)
{
  PlaceWidths({4, 1, 3, 5, 0.5});
  page().HeaderClick(25, 5);
  EXPECT_EQ(RowOrder(), (std::vector<int>{4, 1, 2, 0, 3}));
  page().HeaderClick(25, 5);
  EXPECT_EQ(RowOrder(), (std::vector<int>{3, 0, 2, 1, 4}));
  palette().SendUpdateMessage(Hint::ElementsChanged);
  EXPECT_EQ(RowOrder(), (std::vector<int>{3, 0, 2, 1, 4}));
}

TEST_F(FigureOrderTest, StoredSortIndicesWithDuplicatesStillGiveEveryFigureARow)
{
  PlaceWidths({1, 2, 3});
  Figures(0)[0]->m_SortIndex = 5;
  Figures(0)[1]->m_SortIndex = 0;
  Figures(0)[2]->m_SortIndex = 0;
  palette().SendUpdateMessage(Hint::ElementsChanged);
  EXPECT_EQ(RowOrder(), (std::vector<int>{1, 2, 0}));
}

TEST_F(FigureOrderTest, DraggedRowsLandAtTheInsertPositionAndRenumberWhenGapsAreFilled)
{
  struct Case {
    bool sequential;
    Int32 insertPos;
    std::vector<int> order;
  };
  const Case cases[] = {
      {false, 1, {0, 3, 4, 1, 2, 5}},
      {true, 1, {0, 3, 4, 1, 2, 5}},
      {false, 99, {0, 1, 2, 5, 3, 4}},  // past the end: after the last row
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.insertPos);
    for (std::size_t i = Figures(0).size(); i-- > 0;)
      host.UserDelete({Figures(0)[i]->m_Element.header.guid});
    SetSequential(c.sequential);
    PlaceTriangles(6);
    page().SelectRows(25, {4, 5});
    page().DragAndDrop(25, 25, c.insertPos, DG_DRAG_INSERT_UNDER);
    EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[求積図形リスト]"));
    EXPECT_EQ(RowOrder(), c.order);
    EXPECT_TRUE(SelectedRows().empty());
    // Numbers in row order, counted from the lowest.
    std::vector<int> shown;
    for (int i : RowOrder())
      shown.push_back(Figures(0)[static_cast<std::size_t>(i)]->m_No - Figures(0)[0]->m_No);
    EXPECT_EQ(shown, c.sequential ? (std::vector<int>{0, 1, 2, 3, 4, 5}) : c.order);
  }
}

TEST_F(FigureOrderTest, RenumberingWithoutSelectionAsksThenNumbersEveryPairFromZero)
{
  PlaceTriangles(3);
  page().SelectRows(25, {2});
  page().SelectPopUp(3, Entry(3, u"□"));
  page().SetLong(22, 7);
  PlaceTriangles(1);
  EXPECT_EQ(Numbers(0), (std::vector<int>{0, 0, 2, 6}));
  page().SelectRows(25, {});
  host.QueueAlertAnswer(2);
  page().Click(CPlenimetraFunc1::kRenumber);
  EXPECT_EQ(Numbers(0), (std::vector<int>{0, 0, 2, 6}));
  host.QueueAlertAnswer(1);
  page().Click(CPlenimetraFunc1::kRenumber);
  EXPECT_EQ(pln::host::Alerts().back().largeText, GS::UniString(u"リナンバリングします。よろしいですか？"));
  EXPECT_EQ(host.UndoNames().back(), GS::UniString(u"メンセラ[ﾘﾅﾝﾊﾞﾘﾝｸﾞ]"));
  EXPECT_EQ(Numbers(0), (std::vector<int>{0, 0, 1, 2}));
  EXPECT_EQ(Column(3), (std::vector<GS::UniString>{u"○1", u"□1", u"○2", u"○3"}));
}

TEST_F(FigureOrderTest, RenumberingASelectionRefusesOverlapsAndLeavesOtherPairsAlone)
{
  host.DefineDialog(CDlgRenumbering::ResourceId, CDlgRenumbering::Layout());
  PlaceTriangles(4);
  page().SelectRows(25, {1});
  page().SelectPopUp(3, Entry(3, u"□"));  // a pair of its own: □ 0
  EXPECT_EQ(Numbers(0), (std::vector<int>{0, 1, 2, 3}));
  page().SelectRows(25, {3, 4});
  Renumber(1);
  EXPECT_EQ(pln::host::Alerts().back().largeText, GS::UniString(u"番号が重なります。処理を中止します"));
  EXPECT_FALSE(host.Progress().open);
  EXPECT_EQ(Numbers(0), (std::vector<int>{0, 1, 2, 3}));
  page().SelectRows(25, {3, 4});
  Renumber(5);
  EXPECT_EQ(Numbers(0), (std::vector<int>{0, 1, 4, 5}));
  EXPECT_EQ(Column(3), (std::vector<GS::UniString>{u"□1", u"○2", u"○5", u"○6"}));
  EXPECT_EQ(Label(*Figures(0)[3], "area_symbol_str"), u"6");
  // Start 0 typed in the dialog is start 1.
  page().SelectRows(25, {2});
  Renumber(0);
  EXPECT_EQ(Numbers(0), (std::vector<int>{0, 0, 4, 5}));
}

TEST_F(FigureOrderTest, SetItemNoReportsTheFirstFailedWriteAndStillNumbersTheRest)
{
  PlaceTriangles(3);
  CRenumberWorkItemArray pairs;
  for (int i : {2, 0, 1})
    pairs.Add({Figures(0)[static_cast<std::size_t>(i)].get(), true});
  ASSERT_EQ(pairs.size(), 1u);
  pairs[0].Sort();
  EXPECT_EQ(pairs[0][0].m_pObject, Figures(0)[0].get());
  EXPECT_EQ(pairs[0][2].m_pObject, Figures(0)[2].get());
  host.FailOnce("ACAPI_Element_SetUserData", APIERR_MEMFULL);
  EXPECT_EQ(pairs[0].SetItemNo(&doc(), nullptr, 3), APIERR_MEMFULL);
  EXPECT_EQ(Numbers(0), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(Label(*Figures(0)[2], "area_symbol_str"), u"6");
}

// A sort the host refused to run as an undo step went unreported.
TEST_F(FigureOrderTest, ASortTheHostRefusesIsReported)
{
  PlaceWidths({3, 1, 2});
  const std::vector<int> order = RowOrder();
  const std::size_t alerts = host.Alerts().size();
  host.FailOnce("ACAPI_CallUndoableCommand", APIERR_REFUSEDCMD);
  page().HeaderClick(25, 5);
  EXPECT_EQ(RowOrder(), order);
  EXPECT_EQ(host.Alerts().size(), alerts + 1);
}

// The sort reserves nothing: a figure another user holds refuses it in
// words before the header or any figure changes.
TEST_F(FigureOrderTest, ASortWithAFigureNotReservedIsRefusedInWordsAndChangesNothing)
{
  ShareProject();
  PlaceWidths({3, 1, 2});
  ASSERT_EQ(host.SetOwner(Figures(0)[1]->m_Element.header.guid, 7), NoError);
  const std::vector<int> order = RowOrder();
  const std::vector<short> arrows = Arrows();
  const std::size_t steps = host.UndoNames().size();
  page().HeaderClick(25, 5);
  ASSERT_FALSE(host.Alerts().empty());
  EXPECT_EQ(host.Alerts().back().largeText,
            GS::UniString(u"求積図形の並べ替えができません。このフロアの求積図形が確保されていません（フロア未確保）。"
                          u"パレットの「確保」で確保してください。"));
  EXPECT_EQ(RowOrder(), order);
  EXPECT_EQ(Arrows(), arrows);
  EXPECT_EQ(host.UndoNames().size(), steps);
  std::vector<int> indices;
  for (const auto& figure : Figures(0))
    indices.push_back(figure->m_SortIndex);
  EXPECT_EQ(indices, (std::vector<int>{0, 1, 2}));
}

// A failed host call in the middle of an edit, a sort or a drag: the rows,
// the figures and their stored records stay as they were, the alert says
// in words what failed, and the next reopen has nothing else to show.
TEST_F(FigureOrderTest, AFailedEditSortOrDragLeavesTheRowsTheFiguresAndTheirRecordsAsBefore)
{
  using State = std::tuple<int, int, int, int, int, bool, std::u16string>;
  const auto memory = [this] {
    std::vector<State> states;
    for (const auto& f : Figures(0))
      states.emplace_back(f->m_SortIndex, f->m_No, f->m_ItemType1, f->m_ItemType2, f->m_RoundType, f->m_bAutoCr,
                          Label(*f, "area_symbol_str"));
    return states;
  };
  const auto stored = [this] {
    std::vector<State> states;
    for (const auto& f : Figures(0)) {
      CArea1ObjectCore record;
      EXPECT_EQ(record.Load(&f->m_Element.header), NoError);
      states.emplace_back(record.m_SortIndex, record.m_No, record.m_ItemType1, record.m_ItemType2,
                          record.m_RoundType, record.m_bAutoCr, Label(*f, "area_symbol_str"));
    }
    return states;
  };
  struct Case {
    const char* what;
    const char16_t* action;
    std::function<void()> act;
  };
  const auto failWrite = [this] { host.FailOnce("ACAPI_Element_SetUserData", APIERR_MEMFULL); };
  const Case cases[] = {
      {"sort", u"求積図形の並べ替え", [&] { failWrite(); page().HeaderClick(25, 5); }},
      {"drag", u"求積図形の並べ替え",
       [&] {
         page().SelectRows(25, {3});
         failWrite();
         page().DragAndDrop(25, 25, 0, DG_DRAG_INSERT_UNDER);
       }},
      {"style", u"番号の変更",
       [&] {
         page().SelectRows(25, {2});
         failWrite();
         page().SelectPopUp(4, Entry(4, u"A,B,C"));
       }},
      {"mark", u"記号の変更",
       [&] {
         page().SelectRows(25, {1});
         failWrite();
         page().SelectPopUp(3, Entry(3, u"□"));
       }},
      {"rounding", u"端数処理の変更",
       [&] {
         page().SelectRows(25, {1, 3});
         failWrite();
         page().SelectPopUp(2, Entry(2, u"四捨五入"));
       }},
      // The plan's number is written before the record fails: it is written back.
      {"renumber", u"リナンバリング",
       [&] {
         SetSequential(false);
         page().SelectRows(25, {1, 2});
         failWrite();
         Renumber(11);
         SetSequential(true);
       }},
  };
  SetSequential(true);
  PlaceWidths({3, 1, 2});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto rows = Rows().size();
    std::vector<std::vector<GS::UniString>> texts;
    for (std::size_t row = 1; row <= rows; ++row)
      texts.push_back(RowTexts(row));
    const std::vector<State> before = memory();
    ASSERT_EQ(stored(), before);
    c.act();
    // The in-list editors of the rows still selected show the stored values.
    std::vector<short> editors;
    for (short editor = CPlenimetraFunc1::kRoundEditor; editor <= CPlenimetraFunc1::kAutoCrEditor; ++editor)
      editors.push_back(PageItem(editor).selectedEntry);
    page().SelectRows(25, SelectedRows());
    ASSERT_FALSE(host.Alerts().empty());
    const GS::UniString expected = GS::UniString(c.action) + u"ができませんでした。変更は元に戻しました。";
    EXPECT_EQ(host.Alerts().back().largeText.GetPrefix(expected.GetLength()), expected);
    EXPECT_EQ(memory(), before);
    EXPECT_EQ(stored(), before);
    for (std::size_t row = 1; row <= rows; ++row)
      EXPECT_EQ(RowTexts(row), texts[row - 1]) << row;
    for (short editor = CPlenimetraFunc1::kRoundEditor; editor <= CPlenimetraFunc1::kAutoCrEditor; ++editor)
      EXPECT_EQ(PageItem(editor).selectedEntry, editors[std::size_t(editor - CPlenimetraFunc1::kRoundEditor)])
          << editor;
  }
}

}  // namespace
