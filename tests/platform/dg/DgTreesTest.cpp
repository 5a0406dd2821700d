// Tree views: relations, selection in display order, user changes.

#include "PlatformTestSupport.h"

using pln::host::DGItemKind;
using pln::host::DialogUser;

namespace {

constexpr short kDialog = 32505;
constexpr short kTree = 13;

// root
//   a
//     a1
//     a2
//   b
class DgTreesTest : public DgTest {
protected:
  void SetUp() override
  {
    pln::host::DefineDialog(kDialog, {{kTree, DGItemKind::TreeView}});
    id = OpenModeless(kDialog);
    a = Insert(DG_TVI_ROOT, DG_TVI_BOTTOM, u"a");
    b = Insert(DG_TVI_ROOT, DG_TVI_BOTTOM, u"b");
    a2 = Insert(a, DG_TVI_BOTTOM, u"a2");
    a1 = Insert(a, DG_TVI_TOP, u"a1");
  }

  Int32 Insert(Int32 parent, Int32 after, const char16_t* text)
  {
    const Int32 item = DGTreeViewInsertItem(id, kTree, parent, after);
    DGTreeViewSetItemText(id, kTree, item, text);
    return item;
  }

  std::vector<Int32> Selected()
  {
    std::vector<Int32> items(static_cast<std::size_t>(DGTreeViewGetSelCount(id, kTree)));
    DGTreeViewGetSelItems(id, kTree, items.data(), static_cast<Int32>(items.size()));
    return items;
  }

  short id = 0;
  Int32 a = 0, b = 0, a1 = 0, a2 = 0;
};

TEST_F(DgTreesTest, RelationsFollowInsertionPlacesAndAnInsertUnderTheWrongParentFails)
{
  EXPECT_EQ(DGTreeViewGetItemCount(id, kTree), 4);
  EXPECT_EQ(DGTreeViewGetItem(id, kTree, a, DG_TVG_CHILD), a1);
  EXPECT_EQ(DGTreeViewGetItem(id, kTree, a1, DG_TVG_NEXT), a2);
  EXPECT_EQ(DGTreeViewGetItem(id, kTree, a2, DG_TVG_NEXT), 0);
  EXPECT_EQ(DGTreeViewGetItem(id, kTree, a2, DG_TVG_PREVIOUS), a1);
  EXPECT_EQ(DGTreeViewGetItem(id, kTree, a2, DG_TVG_PARENT), a);
  EXPECT_EQ(DGTreeViewGetItem(id, kTree, a, DG_TVG_PARENT), 0);  // top level
  EXPECT_EQ(DGTreeViewGetItem(id, kTree, b, DG_TVG_CHILD), 0);

  const Int32 between = Insert(DG_TVI_ROOT, a, u"ab");
  EXPECT_EQ(DGTreeViewGetItem(id, kTree, a, DG_TVG_NEXT), between);
  EXPECT_EQ(DGTreeViewGetItem(id, kTree, between, DG_TVG_NEXT), b);
  EXPECT_EQ(DGTreeViewGetItemText(id, kTree, between), GS::UniString(u"ab"));

  // After an item of another parent, or under no item: nothing.
  EXPECT_EQ(DGTreeViewInsertItem(id, kTree, b, a1), 0);
  EXPECT_EQ(DGTreeViewInsertItem(id, kTree, 999, DG_TVI_BOTTOM), 0);
  EXPECT_EQ(DGTreeViewGetItemCount(id, kTree), 5);
  ExpectMisuses(2);
}

TEST_F(DgTreesTest, DeletingAnItemTakesItsSubtreeAndIdsAreNotReused)
{
  DGTreeViewDeleteItem(id, kTree, a);
  EXPECT_EQ(DGTreeViewGetItemCount(id, kTree), 1);
  EXPECT_EQ(DGTreeViewGetItem(id, kTree, b, DG_TVG_PREVIOUS), 0);
  const Int32 fresh = Insert(DG_TVI_ROOT, DG_TVI_BOTTOM, u"c");
  EXPECT_GT(fresh, a1);
  DGTreeViewSetItemUserData(id, kTree, fresh, 0x7FFF0000FFFFLL);  // all 64 bits kept
  EXPECT_EQ(DGTreeViewGetItemUserData(id, kTree, fresh), 0x7FFF0000FFFFLL);
  DGTreeViewDeleteItem(id, kTree, DG_ALL_ITEMS);
  EXPECT_EQ(DGTreeViewGetItemCount(id, kTree), 0);

  EXPECT_EQ(DGTreeViewGetItemUserData(id, kTree, a2), 0);
  ExpectMisuses(1);
}

TEST_F(DgTreesTest, SelectionReadsInDisplayOrder)
{
  DGTreeViewSelectItem(id, kTree, b);
  DGTreeViewSelectItem(id, kTree, a2);
  DGTreeViewSelectItem(id, kTree, a);
  EXPECT_EQ(Selected(), (std::vector<Int32>{a, a2, b}));
  EXPECT_EQ(DGTreeViewGetSelected(id, kTree, DG_TVI_ROOT), a);
  EXPECT_EQ(DGTreeViewGetSelected(id, kTree, a), a2);
  EXPECT_EQ(DGTreeViewGetSelected(id, kTree, a1), a2);  // after an unselected item
  EXPECT_EQ(DGTreeViewGetSelected(id, kTree, b), 0);
  DGTreeViewDeselectItem(id, kTree, a2);
  EXPECT_EQ(Selected(), (std::vector<Int32>{a, b}));
  DGTreeViewDeselectItem(id, kTree, DG_ALL_ITEMS);
  EXPECT_EQ(DGTreeViewGetSelCount(id, kTree), 0);
}

TEST_F(DgTreesTest, UserChangesReportTheirKindAndItem)
{
  std::vector<DG::TreeViewChangeEventArg> changes;
  recorder.answer = [&](const DgMessage& m) -> short {
    if (m.message == DG_MSG_CHANGE)
      changes.push_back(*Record<DG::TreeViewChangeEventArg>(m.data));
    return 0;
  };
  DGTreeViewSelectItem(id, kTree, b);
  DialogUser user(id);
  user.SelectTreeItems(kTree, {a2, a1});
  user.ExpandTreeItem(kTree, a);
  EXPECT_TRUE(DGTreeViewIsItemExpanded(id, kTree, a));
  user.CollapseTreeItem(kTree, a);
  EXPECT_EQ(Selected(), (std::vector<Int32>{a1, a2}));
  ASSERT_EQ(changes.size(), 3u);
  EXPECT_EQ(changes[0].kind, DG_TVCF_SELECTION);
  EXPECT_EQ(changes[1].kind, DG_TVCF_EXPANDED);
  EXPECT_EQ(changes[1].treeItem, a);
  EXPECT_EQ(changes[2].kind, DG_TVCF_COLLAPSED);
  EXPECT_FALSE(DGTreeViewIsItemExpanded(id, kTree, a));
}

}  // namespace
