// Calculation trees: node comparison, the depth-first queries, the move
// protocol, insertion of new objects, copies with new objects and their
// names, and numbering of items in tree order.

#include "DocTestSupport.h"
#include "host_debug.h"

namespace {

CAreaTree Node(int code, std::vector<CAreaTree> children = {})
{
  CAreaTree node;
  node.m_AreaCode = code;
  node.m_Child = std::move(children);
  return node;
}

// Codes in depth-first order, a node before its children.
void Codes(const CAreaTree& node, std::vector<int>& out)
{
  out.push_back(node.m_AreaCode);
  for (const CAreaTree& child : node.m_Child)
    Codes(child, out);
}

std::vector<int> Codes(const CAreaTree& node)
{
  std::vector<int> out;
  Codes(node, out);
  return out;
}

// root -> 1 -> {2 -> {-3, -4}, 5 -> {-6}}
CAreaTree SampleTree() { return Node(0, {Node(1, {Node(2, {Node(-3), Node(-4)}), Node(5, {Node(-6)})})}); }

// ---- node and queries ----

TEST(CAreaTreeNodeTest, EqualityTakesEveryFieldWhileChangeCheckIgnoresViewState)
{
  const CAreaTree a = SampleTree();
  const struct {
    std::function<void(CAreaTree&)> change;
    bool changed;  // for ChangeCheck
  } rows[] = {
      {[](CAreaTree& t) { t.m_Child[0].m_Child[1].m_Expand = false; }, false},
      {[](CAreaTree& t) { t.m_Child[0].m_Child[0].m_Child[1].m_CrMark.m_bCr = true; }, false},
      {[](CAreaTree& t) { t.m_Child[0].m_Child[0].m_DeleteMask = true; }, false},
      {[](CAreaTree& t) { t.m_Child[0].m_Child[1].m_Child[0].m_Operator = 2; }, true},
      {[](CAreaTree& t) { t.m_Child[0].m_RoundTypeFloor.m_Digit = 3; }, true},
      {[](CAreaTree& t) { t.m_Child[0].m_Child.pop_back(); }, true},
  };
  EXPECT_TRUE(a == SampleTree());
  for (const auto& row : rows) {
    CAreaTree b = a;
    row.change(b);
    EXPECT_TRUE(a != b);
    EXPECT_EQ(a.ChangeCheck(b), row.changed);
  }
}

TEST(CAreaTreeNodeTest, QueriesSkipDeleteMarkedSubtreesAndFlatListsPutChildrenFirst)
{
  CAreaTree tree = SampleTree();
  EXPECT_EQ(tree.Search(-4), &tree.m_Child[0].m_Child[0].m_Child[1]);
  EXPECT_EQ(tree.Search(0), &tree);
  EXPECT_EQ(tree.Search(77), nullptr);
  // The parent holds the code as a direct child.
  for (const auto& [code, parent] : {std::pair{-6, &tree.m_Child[0].m_Child[1]}, std::pair{1, &tree},
                                     std::pair{99, static_cast<CAreaTree*>(nullptr)}}) {
    const CAreaTree probe = Node(code);
    EXPECT_EQ(tree.GetParent(&probe), parent) << code;
  }
  // Children before their parent, with their depth.
  const std::vector<CAreaTreeIndentArray> flats = tree.GetFlat();
  ASSERT_EQ(flats.size(), 1u);
  std::vector<std::pair<int, int>> got;
  for (const CAreaTreeIndent& node : flats[0])
    got.emplace_back(node.m_AreaCode, node.m_Indent);
  EXPECT_EQ(got, (std::vector<std::pair<int, int>>{{-3, 2}, {-4, 2}, {2, 1}, {-6, 2}, {5, 1}, {1, 0}}));

  tree.m_Child[0].m_Child[0].m_DeleteMask = true;
  EXPECT_EQ(tree.Search(-4), nullptr);
  EXPECT_EQ(tree.Search(2), nullptr);
  EXPECT_NE(tree.Search(-6), nullptr);

  CAreaTree folder = tree.m_Child[0];
  folder.m_Layer = 4;
  folder.Clear();  // children and code only
  EXPECT_TRUE(folder.m_Child.empty());
  EXPECT_EQ(folder.m_AreaCode, 0);
  EXPECT_EQ(folder.m_Layer, 4);

  CPlenimetraParam doc;  // the operator text comes from the document's table
  for (const auto& [op, text] : {std::pair{1, u"+"}, std::pair{2, u"-"}, std::pair{5, u"未定義"}}) {
    folder.m_Operator = op;
    EXPECT_EQ(folder.GetOperatorStr(&doc), GS::UniString(text));
  }
}

// ---- editing ----

// The move protocol: mark the node, place its copy, delete the marked one.
template <typename Place>
bool Move(CAreaTree& tree, int code, Place place)
{
  const CAreaTree moved = *tree.Search(code);
  tree.DeleteMask(code);
  if (!place(moved))
    return false;
  tree.Delete();
  tree.ClearDeleteMask();
  return true;
}

TEST(CAreaTreeEditTest, Insert2AppendsUnderTheFirstUnmarkedParent)
{
  CAreaTree tree = SampleTree();
  const CRoundTypeItem total(CRoundTypeTable::ROUNDTYPE_UP, 1);
  const CRoundTypeItem floor(CRoundTypeTable::ROUNDTYPE_HALFUP, 3);
  ASSERT_TRUE(tree.Insert2(2, -9, total, floor));
  const CAreaTree& added = tree.m_Child[0].m_Child[0].m_Child.back();
  EXPECT_EQ(added.m_AreaCode, -9);
  EXPECT_EQ(added.m_RoundTypeTotal, total);
  EXPECT_EQ(added.m_RoundTypeFloor, floor);
  tree.m_Child[0].m_Child[1].m_DeleteMask = true;
  const CAreaTree before = tree;
  EXPECT_FALSE(tree.Insert2(5, -10, total, floor));
  EXPECT_TRUE(tree == before);
}

TEST(CAreaTreeEditTest, MovesLeaveExactlyOneNodeOfTheCodeBesideOrUnderTheTarget)
{
  CAreaTree tree = SampleTree();
  ASSERT_TRUE(Move(tree, 2, [&](const CAreaTree& m) { return tree.MoveChild(5, m); }));
  EXPECT_EQ(Codes(tree), (std::vector<int>{0, 1, 5, -6, 2, -3, -4}));
  EXPECT_FALSE(tree.Delete());

  tree = SampleTree();
  ASSERT_TRUE(Move(tree, -6, [&](const CAreaTree& m) { return tree.MoveAbove(-4, m); }));
  EXPECT_EQ(Codes(tree), (std::vector<int>{0, 1, 2, -3, -6, -4, 5}));
  ASSERT_TRUE(Move(tree, -3, [&](const CAreaTree& m) { return tree.MoveUnder(5, m); }));
  EXPECT_EQ(Codes(tree), (std::vector<int>{0, 1, 2, -6, -4, 5, -3}));
}

TEST(CAreaTreeEditTest, AMarkedNodeCannotBeMovedIntoItsOwnSubtree)
{
  CAreaTree tree = SampleTree();
  const CAreaTree moved = *tree.Search(2);
  tree.DeleteMask(2);
  const CAreaTree before = tree;
  EXPECT_FALSE(tree.MoveChild(-3, moved));
  EXPECT_FALSE(tree.MoveAbove(-4, moved));
  EXPECT_TRUE(tree == before);
  tree.ClearDeleteMask();
  EXPECT_FALSE(tree.m_Child[0].m_Child[0].m_DeleteMask);
}

TEST(CAreaTreeEditTest, DeleteErasesOneMarkedNodePerCall)
{
  CAreaTree tree = SampleTree();
  EXPECT_TRUE(tree.DeleteMask(-3));
  EXPECT_TRUE(tree.DeleteMask(5));
  EXPECT_FALSE(tree.DeleteMask(-6));  // inside a marked subtree
  EXPECT_TRUE(tree.Delete());
  EXPECT_EQ(Codes(tree), (std::vector<int>{0, 1, 2, -4, 5, -6}));
  EXPECT_TRUE(tree.Delete());
  EXPECT_EQ(Codes(tree), (std::vector<int>{0, 1, 2, -4}));
  EXPECT_FALSE(tree.Delete());
}

TEST(CAreaTreeEditTest, RemoveErasesTheNodesOfCodesAndOfElements)
{
  PatternDoc p;
  const int a = p.AddElement(PatternDoc::kBuildingCode, u"A");
  const int b = p.AddElement(PatternDoc::kBuildingCode, u"B");
  const int f = p.AddFolder(PatternDoc::kBuildingCode, u"F");
  const int c = p.AddElement(f, u"C");
  CArea2ObjectPtrArray elements;
  elements.push_back(p.Element(c));
  elements.push_back(p.Element(a));
  p.doc.m_AreaTree2.Remove(elements);
  EXPECT_EQ(Codes(p.doc.m_AreaTree2), (std::vector<int>{0, 1, 2, b, f}));
  EXPECT_TRUE(p.doc.m_AreaTree2.Remove(f));
  EXPECT_FALSE(p.doc.m_AreaTree2.Remove(f));
  // Removing a node leaves its object.
  EXPECT_NE(p.doc.FindAreaObject(a), nullptr);
}

// The readers take kMaxTreeDepth levels below the root; an edit that would
// go deeper is refused, so nothing that can be saved is refused on reading.
TEST(CAreaTreeEditTest, EditsStopAtTheDepthTheReadersTake)
{
  const CRoundTypeItem item;
  CAreaTree root;
  for (int code = 1; code <= CAreaTree::kMaxTreeDepth; ++code)
    ASSERT_TRUE(root.Insert2(code - 1, code, item, item)) << code;
  EXPECT_EQ(root.GetHeight(), CAreaTree::kMaxTreeDepth);
  const int deepest = CAreaTree::kMaxTreeDepth;
  EXPECT_FALSE(root.Insert2(deepest, 100, item, item));
  EXPECT_EQ(root.Search(100), nullptr);

  const struct {
    const char* move;
    int target;
    CAreaTree node;
    bool fits;
  } rows[] = {
      {"child", deepest - 1, Node(101), true},
      {"child", deepest, Node(102), false},
      {"child", deepest - 2, Node(103, {Node(104)}), true},
      {"child", deepest - 1, Node(105, {Node(106)}), false},
      {"above", deepest, Node(107), true},
      {"under", deepest, Node(108), true},
      {"above", deepest, Node(109, {Node(110)}), false},
      {"under", deepest - 1, Node(111, {Node(112)}), true},
  };
  for (const auto& row : rows) {
    const std::string move = row.move;
    const bool moved = move == "child"   ? root.MoveChild(row.target, row.node)
                       : move == "above" ? root.MoveAbove(row.target, row.node)
                                         : root.MoveUnder(row.target, row.node);
    EXPECT_EQ(moved, row.fits) << row.move << " " << row.node.m_AreaCode;
    EXPECT_EQ(root.Search(row.node.m_AreaCode) != nullptr, row.fits) << row.node.m_AreaCode;
    EXPECT_LE(root.GetHeight(), CAreaTree::kMaxTreeDepth);
  }

  // Insert makes no object for a node it cannot place.
  CPlenimetraParam doc;
  doc.m_AreaTree2 = root;
  EXPECT_FALSE(doc.m_AreaTree2.Insert(&doc, u"深い", 200, deepest, CAreaTree::KIND_FOLDER, item, item));
  EXPECT_EQ(doc.FindAreaObject(200), nullptr);
}

TEST(CAreaTreeEditTest, InsertMakesObjectsWithTheSettingsOfTheirKind)
{
  CPlenimetraParam doc;
  const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
  doc.m_AreaTree2.Insert(&doc, GS::UniString(u"F"), 4, 0, CAreaTree::KIND_FOLDER, item, item);
  doc.m_AreaTree2.Insert(&doc, GS::UniString(u"L"), 5, 4, CAreaTree::KIND_ELEMENT_LIST, item, item);
  doc.m_AreaTree2.Insert(&doc, GS::UniString(u"E"), 6, 4, CAreaTree::KIND_ELEMENT_FORMULA, item, item);
  doc.m_AreaTree2.Insert(&doc, GS::UniString(u"X"), 7, 4, 3, item, item);
  doc.m_AreaTree2.Insert(&doc, GS::UniString(u"orphan"), 8, 99, CAreaTree::KIND_FOLDER, item, item);
  EXPECT_EQ(Codes(doc.m_AreaTree2), (std::vector<int>{0, 4, -5, -6}));

  // Folders: 無 and Roman numbers; elements: □ and 1, 2, 3, of the list type of their kind.
  const auto* folder = dynamic_cast<CArea4Object*>(doc.GetAreaObject(4));
  ASSERT_NE(folder, nullptr);
  EXPECT_EQ(folder->m_ItemType1, CItemType1Table::ITEMTYPE_NOMARK);
  EXPECT_EQ(folder->m_ItemType2, CItemType2Table::ITEMTYPE_ROMAN);
  EXPECT_EQ(folder->m_No, -1);
  const auto* list = dynamic_cast<CArea2Object*>(doc.GetAreaObject(-5));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->m_ListType, CArea2ListTypeTable::LISTTYPE_LIST);
  EXPECT_EQ(list->m_ItemType1, CItemType1Table::ITEMTYPE_SQUARE);
  EXPECT_EQ(list->m_ItemType2, CItemType2Table::ITEMTYPE_DECIMAL);
  EXPECT_EQ(list->m_Name.m_DefaultName, GS::UniString(u"L"));
  EXPECT_EQ(dynamic_cast<CArea2Object*>(doc.GetAreaObject(-6))->m_ListType, CArea2ListTypeTable::LISTTYPE_FORMULA);
  // An unknown kind makes nothing; a missing parent keeps the object nodeless.
  EXPECT_EQ(doc.FindAreaObject(7), nullptr);
  EXPECT_EQ(doc.FindAreaObject(-7), nullptr);
  EXPECT_NE(doc.FindAreaObject(8), nullptr);
  EXPECT_EQ(doc.m_AreaTree2.Search(8), nullptr);
}

// ---- copies with new objects ----

TEST(CAreaTreeCopyTest, DuplicateGivesTheSubtreeNewObjectsFromTheOneCounter)
{
  PatternDoc p;
  const int f = p.AddFolder(PatternDoc::kBuildingCode, u"F");
  const int e = p.AddElement(f, u"E", COperatorTable::OPERATOR_MINUS);
  p.Object(e)->m_ItemType1 = CItemType1Table::ITEMTYPE_DIAMOND;
  const int before = p.doc.m_LastAreaCode;

  CAreaTree copy = *p.Node(f);
  copy.Duplicate(&p.doc);
  EXPECT_EQ(copy.m_AreaCode, before + 1);
  EXPECT_EQ(copy.m_Child[0].m_AreaCode, -(before + 2));
  EXPECT_EQ(copy.m_Child[0].m_Operator, COperatorTable::OPERATOR_MINUS);  // in place: the node keeps its fields
  EXPECT_EQ(p.doc.m_LastAreaCode, before + 2);
  const CAreaObject* element = p.doc.GetAreaObject(copy.m_Child[0].m_AreaCode);
  EXPECT_EQ(element->m_Name.m_DefaultName, GS::UniString(u"E"));
  EXPECT_EQ(element->m_ItemType1, CItemType1Table::ITEMTYPE_DIAMOND);
  EXPECT_EQ(element->m_Code, before + 2);
  // The originals are untouched.
  EXPECT_EQ(p.Object(e)->m_Code, -e);
}

TEST(CAreaTreeCopyTest, CopyTreeTakesPresetAndRoundingButNotOperatorLayerOrExpand)
{
  PatternDoc src;
  const int f = src.AddFolder(PatternDoc::kBuildingCode, u"F", COperatorTable::OPERATOR_MINUS);
  src.AddElement(f, u"E");
  CAreaTree& from = *src.Node(PatternDoc::kTopCode);
  from.m_RoundTypeId = 3;
  from.m_Layer = 7;
  from.m_Expand = false;
  from.m_RoundTypeTotal = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 0);

  CPlenimetraParam dst;
  dst.m_LastAreaCode = 40;
  CAreaTree node;
  node.CopyTree(&dst, src.doc, from);
  EXPECT_EQ(Codes(node), (std::vector<int>{41, 42, 43, -44}));
  EXPECT_EQ(node.m_RoundTypeId, 3);
  EXPECT_EQ(node.m_RoundTypeTotal, from.m_RoundTypeTotal);
  EXPECT_EQ(node.m_Layer, 0);
  EXPECT_TRUE(node.m_Expand);
  EXPECT_EQ(node.m_Child[0].m_Child[0].m_Operator, COperatorTable::OPERATOR_PLUS);
  EXPECT_EQ(dst.m_Area4ObjectArray.size(), 3u);
  EXPECT_EQ(dst.m_Area2ObjectArray.size(), 1u);
  EXPECT_EQ(dst.GetAreaObject(43)->m_Name.m_DefaultName, GS::UniString(u"F"));
}

TEST(CAreaTreeCopyTest, InsertTreeNamesAClashingCopyAfterItsSiblings)
{
  PatternDoc src;
  src.AddElement(PatternDoc::kBuildingCode, u"E");
  src.Object(PatternDoc::kTopCode)->m_Name.m_DefaultName = GS::UniString(u"A");
  const CAreaTree& pattern = *src.Node(PatternDoc::kTopCode);

  CPlenimetraParam dst;
  CAreaTree& root = dst.m_AreaTree2;
  for (const char16_t* name : {u"A", u"A (2)", u"A (3)"}) {
    EXPECT_EQ(root.InsertTree(&dst, src.doc, pattern), 1);
    EXPECT_EQ(dst.GetAreaObject(root.m_Child.back().m_AreaCode)->m_Name.m_DefaultName, GS::UniString(name));
  }
  // A source without children adds nothing.
  const CAreaTree leaf = *src.Node(-3);
  EXPECT_EQ(root.InsertTree(&dst, src.doc, leaf), 1);
  EXPECT_EQ(root.m_Child.size(), 3u);
}

TEST(CAreaTreeCopyTest, PatternsCompareByCodesRoundingAndNamesNotByOperator)
{
  PatternDoc a;
  a.AddElement(PatternDoc::kBuildingCode, u"E");
  PatternDoc b;
  b.AddElement(PatternDoc::kBuildingCode, u"E", COperatorTable::OPERATOR_MINUS);
  EXPECT_FALSE(a.doc.m_AreaTree2.IsTreeChanged(&a.doc, b.doc.m_AreaTree2, &b.doc));
  b.Object(-3)->m_Name.m_DefaultName = GS::UniString(u"F");
  EXPECT_TRUE(a.doc.m_AreaTree2.IsTreeChanged(&a.doc, b.doc.m_AreaTree2, &b.doc));
  PatternDoc c;
  c.AddElement(PatternDoc::kBuildingCode, u"E");
  c.Node(-3)->m_RoundTypeFloor.m_Digit = 0;
  EXPECT_TRUE(a.doc.m_AreaTree2.IsTreeChanged(&a.doc, c.doc.m_AreaTree2, &c.doc));

  CAreaTreeArray left;
  left.push_back(a.doc.m_AreaTree2);
  CAreaTreeArray right = left;
  EXPECT_FALSE(left.IsTreeChanged(&a.doc, right, &a.doc));
  right.push_back(CAreaTree());
  EXPECT_TRUE(left.IsTreeChanged(&a.doc, right, &a.doc));
}

TEST(CAreaTreeCopyTest, DumpListsEachNodeIndentedByDepth)
{
  PatternDoc p;
  p.AddElement(PatternDoc::kBuildingCode, u"E");
  p.Node(PatternDoc::kBuildingCode)->m_Child.push_back(Node(-77));  // names nothing
  pln::host::ClearDebugLines();
  p.Node(PatternDoc::kTopCode)->Dump(&p.doc, 0);
  EXPECT_EQ(pln::host::DebugLines(),
            (std::vector<std::string>{" パターン\n", "  建物\n", "   E\n", "   NoName\n"}));
}

// ---- numbering ----

// (sort index, number) of the objects of the node codes.
std::vector<std::pair<int, int>> Numbers(PatternDoc& p, std::initializer_list<int> codes)
{
  std::vector<std::pair<int, int>> out;
  for (int code : codes)
    out.emplace_back(p.Object(code)->m_SortIndex, p.Object(code)->m_No);
  return out;
}
using N = std::vector<std::pair<int, int>>;

TEST(CAreaTreeNumberTest, ItemNumbersFollowSortOrderPerMarkAndNumberingPair)
{
  PatternDoc p;
  const int e1 = p.AddElement(PatternDoc::kBuildingCode, u"E1");
  const int e2 = p.AddElement(PatternDoc::kBuildingCode, u"E2");
  const int f = p.AddFolder(PatternDoc::kBuildingCode, u"F");
  const int e3 = p.AddElement(f, u"E3");
  // Stored sort indices: E2 first, then E1; E3 and the folders have none.
  p.Object(e1)->m_SortIndex = 5;
  p.Object(e2)->m_SortIndex = 2;

  ASSERT_TRUE(p.Node(PatternDoc::kTopCode)->SetItemNo(&p.doc));
  // Slots first (E2, E1), then the others in flat order: E3, F, building.
  // Elements (□, "1,2,3") and folders (無, Roman) are numbered apart.
  EXPECT_EQ(Numbers(p, {e2, e1, e3, f, PatternDoc::kBuildingCode}), (N{{0, 0}, {1, 1}, {2, 2}, {3, 0}, {4, 1}}));
}

TEST(CAreaTreeNumberTest, ALaterObjectOfATakenSortIndexLosesItAndGoesAfterTheUniqueOnes)
{
  PatternDoc p;
  const int e1 = p.AddElement(PatternDoc::kBuildingCode, u"E1");
  const int e2 = p.AddElement(PatternDoc::kBuildingCode, u"E2");
  const int e3 = p.AddElement(PatternDoc::kBuildingCode, u"E3");
  p.Object(e1)->m_SortIndex = 1;
  p.Object(e2)->m_SortIndex = 1;
  p.Object(e3)->m_SortIndex = 0;
  p.Object(PatternDoc::kBuildingCode)->m_SortIndex = 7;
  ASSERT_TRUE(p.Node(PatternDoc::kTopCode)->SetItemNo(&p.doc));
  EXPECT_EQ(Numbers(p, {e3, e1, PatternDoc::kBuildingCode, e2}), (N{{0, 0}, {1, 1}, {2, 0}, {3, 2}}));
}

TEST(CAreaTreeNumberTest, AHugeStoredSortIndexCostsNoMemoryAndAMissingObjectIsRefused)
{
  PatternDoc p;
  const int e1 = p.AddElement(PatternDoc::kBuildingCode, u"E1");
  p.Object(e1)->m_SortIndex = 2147483646;
  ASSERT_TRUE(p.Node(PatternDoc::kTopCode)->SetItemNo(&p.doc));
  EXPECT_EQ(p.Object(e1)->m_SortIndex, 0);

  CAreaTree lonely;  // no child
  EXPECT_FALSE(lonely.SetItemNo(&p.doc));
  p.Node(PatternDoc::kBuildingCode)->m_Child.push_back(Node(-99));
  EXPECT_FALSE(p.Node(PatternDoc::kTopCode)->SetItemNo(&p.doc));
}

// T -> {F -> {E1, E2}, E3}, flattened: E1 E2 (depth 2), F (1), E3 (1), T (0).
TEST(CAreaTreeIndentArrayTest, LeftLinesOfTheSummaryHeaderFollowWhereDepthsPart)
{
  const CAreaTree tree = Node(1, {Node(2, {Node(-3), Node(-4)}), Node(-5)});
  CAreaTreeIndentArray flat;
  CAreaTree::GetFlat(tree, 0, flat);
  ASSERT_EQ(flat.size(), 5u);
  // Per level, the entries 1..4 (E2, F, E3, T) with a left line.
  const std::vector<std::vector<bool>> expected{
      {false, false, false, false},
      {false, false, true, true},
      {true, true, true, true},
  };
  for (int level = 0; level < 3; ++level) {
    EXPECT_TRUE(flat.IsLeftLine(&flat[0], nullptr, level));
    for (std::size_t k = 1; k < flat.size(); ++k)
      EXPECT_EQ(flat.IsLeftLine(&flat[k], &flat[k - 1], level), expected[std::size_t(level)][k - 1])
          << "level " << level << " entry " << k;
    EXPECT_FALSE(flat.IsLeftLine(flat.data() + flat.size(), &flat.back(), level));
  }
}

}  // namespace
