// The two check-list dialogs driven as the user: the rows and their ticks,
// the check box that follows the selection and ticks every selected row,
// Cancel, and the column widths kept per resource.

#include "CDlgEditArea2Target.h"
#include "CDlgEditAreaListItem.h"
#include "DialogTestSupport.h"
#include "DocTestSupport.h"

using pln::host::DialogUser;
using Check = CDlgCheckListCore;

namespace {

class CDlgCheckListTest : public DialogTest {
protected:
  CDlgCheckListTest()
  {
    Define<CDlgEditArea2Target>();
    Define<CDlgEditAreaListItem>();
    for (const char16_t* name : {u"居室", u"廊下", u"階段"})
      m_Elements.push_back(std::make_unique<CArea2Object>(
          &doc, CAreaNameArray(name), 0, CArea2ListTypeTable::LISTTYPE_FORMULA, CArea2Object::SHOWTOTAL_MARK,
          CItemType1Table::ITEMTYPE_SQUARE, CItemType2Table::ITEMTYPE_DECIMAL, -1, -1));
  }

  // Rows with the ticks given, each element's starting state the same.
  CDlgEditArea2Target& Target(const std::vector<bool>& ticks)
  {
    m_Target = std::make_unique<CDlgEditArea2Target>();
    for (std::size_t i = 0; i < ticks.size(); ++i)
      m_Target->m_WorkArray.push_back({m_Elements.at(i).get(), ticks[i], ticks[i]});
    return *m_Target;
  }

  static Texts Column(DialogUser& user, short column)
  {
    Texts texts;
    for (const auto& row : Item(user, Check::ITEM_LIST).list.rows) {
      const auto found = row.texts.find(column);
      texts.push_back(found != row.texts.end() ? found->second : GS::UniString());
    }
    return texts;
  }
  static std::vector<bool> Ticks(const CDlgEditArea2Target& dialog)
  {
    std::vector<bool> ticks;
    for (const auto& row : dialog.m_WorkArray)
      ticks.push_back(row.m_bCheck);
    return ticks;
  }
  static short Width(DialogUser& user, short column)
  {
    const auto& field = Item(user, Check::ITEM_LIST).list.tabFields.at(column - 1).data;
    return static_cast<short>(field.end - field.begin);
  }

  std::vector<std::unique_ptr<CArea2Object>> m_Elements;
  std::unique_ptr<CDlgEditArea2Target> m_Target;
};

TEST_F(CDlgCheckListTest, RowsShowNameAndTickAndCarryTheirRow)
{
  CDlgEditArea2Target& dialog = Target({false, true, false});
  Run(dialog, [&](DialogUser& user) {
    EXPECT_EQ(Column(user, 1), (Texts{u"居室", u"廊下", u"階段"}));
    EXPECT_EQ(Column(user, 2), (Texts{u"", u"V", u""}));
    const auto& list = Item(user, Check::ITEM_LIST).list;
    EXPECT_EQ(list.rows.at(1).userData, reinterpret_cast<DGUserData>(&dialog.m_WorkArray.at(1)));
    EXPECT_EQ(list.headers.at(1).text, GS::UniString(u"名前"));
    EXPECT_EQ(list.headers.at(1).font, 32);
    EXPECT_EQ(list.headers.at(3).font, 32);
    EXPECT_NE(list.headers.at(2).font, 32);
    EXPECT_TRUE(list.clickable);
    EXPECT_FALSE(Item(user, Check::ITEM_CHECK).visible);
  });
}

// Selecting a row lays the box on its tick cell with the row's tick;
// changing the box ticks every selected row, under the progress window.
TEST_F(CDlgCheckListTest, CheckBoxFollowsTheSelectionAndTicksEverySelectedRow)
{
  struct Step {
    std::vector<short> rows;
    bool boxBefore;
    bool tick;
    std::vector<bool> after;
  };
  const std::vector<Step> steps{
      {{2}, true, false, {false, false, false}},
      {{1, 2, 3}, false, true, {true, true, true}},
      {{1, 3}, true, false, {false, true, false}},
  };
  CDlgEditArea2Target& dialog = Target({false, true, false});
  const short answer = Run(dialog, [&](DialogUser& user) {
    for (const Step& step : steps) {
      user.SelectRows(Check::ITEM_LIST, step.rows);
      EXPECT_EQ(Item(user, Check::ITEM_LIST).list.tabFields.at(1).dialItem, Check::ITEM_CHECK);
      EXPECT_EQ(Item(user, Check::ITEM_CHECK).valLong, step.boxBefore ? 1 : 0);
      user.Check(Check::ITEM_CHECK, step.tick);
      EXPECT_EQ(Ticks(dialog), step.after);
      Texts marks;
      for (bool tick : step.after)
        marks.push_back(tick ? u"V" : u"");
      EXPECT_EQ(Column(user, 2), marks);
    }
    EXPECT_EQ(host.Progress().maximum, 2);
    EXPECT_FALSE(host.Progress().open);
    user.Click(1);
  });
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(dialog.m_WorkArray.at(1).m_bTarget, true);
}

TEST_F(CDlgCheckListTest, CancelLeavesTheTicksAsTheCallerSetThem)
{
  CDlgEditArea2Target& dialog = Target({false, true, false});
  const short answer = Run(dialog, [&](DialogUser& user) {
    user.SelectRows(Check::ITEM_LIST, {1, 2, 3});
    user.Check(Check::ITEM_CHECK, true);
    user.Click(2);
  });
  EXPECT_EQ(answer, 2);
  EXPECT_EQ(Ticks(dialog), (std::vector<bool>{false, true, false}));
}

TEST_F(CDlgCheckListTest, UntickingEveryColumnHidesAllAndKeepsTheOrder)
{
  CAreaListItemArray items;
  items.Initialize();
  CDlgEditAreaListItem dialog(items);
  const short answer = Run(dialog, [&](DialogUser& user) {
    EXPECT_EQ(Item(user, Check::ITEM_LIST).list.rows.size(), static_cast<std::size_t>(CAreaListItemArray::kItemCount));
    EXPECT_EQ(Item(user, Check::ITEM_LIST).list.rows.at(0).texts.at(1), items.at(0).m_Title);
    std::vector<short> all;
    for (short row = 1; row <= CAreaListItemArray::kItemCount; ++row)
      all.push_back(row);
    user.SelectRows(Check::ITEM_LIST, all);
    user.Check(Check::ITEM_CHECK, false);
    user.Click(1);
  });
  EXPECT_EQ(answer, 1);
  ASSERT_EQ(dialog.m_AreaListItemArray.size(), items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(dialog.m_AreaListItemArray[i].m_Id, items[i].m_Id);
    EXPECT_FALSE(dialog.m_AreaListItemArray[i].m_bVisible);
  }
}

// Each dialog keeps its own widths, under its own resource.
TEST_F(CDlgCheckListTest, ColumnWidthsComeBackAtTheNextOpening)
{
  CDlgEditArea2Target& target = Target({true});
  Run(target, [&](DialogUser& user) {
    EXPECT_EQ(Width(user, 1), 100);
    EXPECT_EQ(Width(user, 2), 30);
    user.HeaderResize(Check::ITEM_LIST, 1, 25);
    user.Click(1);
  });
  EXPECT_TRUE(host.ModulData(u" 32539-4").has_value());
  CDlgEditArea2Target& again = Target({true});
  Run(again, [&](DialogUser& user) { EXPECT_EQ(Width(user, 1), 125); });

  CAreaListItemArray items;
  items.Initialize();
  CDlgEditAreaListItem columns(items);
  Run(columns, [&](DialogUser& user) {
    EXPECT_EQ(Width(user, 1), 100);
    user.HeaderResize(Check::ITEM_LIST, 2, 10);
  });
  EXPECT_TRUE(host.ModulData(u" 32537-4").has_value());
  CDlgEditAreaListItem columnsAgain(items);
  Run(columnsAgain, [&](DialogUser& user) { EXPECT_EQ(Width(user, 2), 40); });
}

}  // namespace
