// Calculation-tree totals and labels: building totals over the calculated
// floors, the tsubo total, the palette's and the settings' labels, and the
// tree views filled through the dialog manager.

#include "CKelProgressCore.h"
#include "DocTestSupport.h"
#include "dg_manager.h"
#include "dg_user.h"

#include <cmath>

namespace {

// 1e-8 m2 per m2.
constexpr long long kRawPerM2 = 100000000;

class TreeTextTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    // A new project has story 0; the active one.
    ASSERT_EQ(host.AddStory(1, 3.0, u"2F"), NoError);
    // A: 12.3456789 m2 on 1F, 3.5 m2 on 2F; B (subtracted): 1 m2 on 1F.
    a = p.AddElement(PatternDoc::kBuildingCode, u"A");
    b = p.AddElement(PatternDoc::kBuildingCode, u"B", COperatorTable::OPERATOR_MINUS);
    p.AddFigure(a, 0, 1234567890);
    p.AddFigure(a, 1, 350000000);
    p.AddFigure(b, 0, kRawPerM2);
    ASSERT_TRUE(p.Node(PatternDoc::kTopCode)->SetItemNo(&p.doc));
  }

  HostFixture host;
  PatternDoc p;
  CKelProgressCore progress;
  int a = 0;
  int b = 0;
};

TEST_F(TreeTextTest, TheBuildingTotalSumsTheCalculatedFloorsAndRoundsOnce)
{
  // Per floor each area is cut to two decimals: 12.34 and 3.50.
  EXPECT_EQ(p.Node(a)->GetAllFloorTotalArea(&p.doc, progress), 15840000);
  EXPECT_EQ(p.Node(b)->GetAllFloorTotalArea(&p.doc, progress), 1000000);
  // The folder subtracts B: 11.34 on 1F, 3.50 on 2F.
  EXPECT_EQ(p.Node(PatternDoc::kBuildingCode)->GetAllFloorTotalArea(&p.doc, progress), 14840000);
  // The root has no object: a plain sum of nothing.
  EXPECT_EQ(p.doc.m_AreaTree2.GetAllFloorTotalArea(&p.doc, progress), 0);

  // Rounded once by the node's total item.
  CAreaTree& node = *p.Node(a);
  node.m_RoundTypeTotal = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 0);
  EXPECT_EQ(node.GetAllFloorTotalArea(&p.doc, progress), 16000000);
  node.m_RoundTypeTotal = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_HALFUP, 1);
  EXPECT_EQ(node.GetAllFloorTotalArea(&p.doc, progress), 15800000);
  // The object's own kind wins over the item's; the item keeps the digit.
  p.Object(a)->m_RoundType = CRoundTypeTable::ROUNDTYPE_UP;
  EXPECT_EQ(node.GetAllFloorTotalArea(&p.doc, progress), 15900000);

  p.doc.m_FloorParamArray[1].m_bCalc = false;
  p.Object(a)->m_RoundType = CRoundTypeTable::ROUNDTYPE_DEFAULT;
  node.m_RoundTypeTotal = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 2);
  EXPECT_EQ(node.GetAllFloorTotalArea(&p.doc, progress), 12340000);
}

TEST_F(TreeTextTest, TotalTextsPutATriangleBeforeSubtractedNodesAndTsuboMultipliesByTheFactor)
{
  EXPECT_EQ(p.Node(a)->GetTextTotal(&p.doc, progress), GS::UniString(u"15.84    "));
  EXPECT_EQ(p.Node(b)->GetTextTotal(&p.doc, progress), GS::UniString(u"▲1.00    "));
  const int c = p.AddElement(PatternDoc::kBuildingCode, u"C");
  p.AddFigure(c, 0, 100 * kRawPerM2);  // 100 m2 on 1F
  EXPECT_EQ(p.Node(c)->GetTextTotalTubo(&p.doc, progress), GS::UniString(u"30.25    "));

  // 0.0001 m2 (100 units) times 0.29 is 28.999999999999996 as a double:
  // the product is snapped before it is cut.
  p.doc.m_EnvParam.m_RoundTypeParamArray[0].m_Area2ListRoundType.m_Digit = 6;
  const int d = p.AddElement(PatternDoc::kBuildingCode, u"D");
  p.Node(d)->m_RoundTypeFloor.m_Digit = 6;
  p.Node(d)->m_RoundTypeTotal.m_Digit = 6;
  p.AddFigure(d, 0, 10000);
  p.doc.m_EnvParam.m_TuboFactor = 0.29;
  EXPECT_EQ(p.Node(d)->GetTextTotalTubo(&p.doc, progress), GS::UniString(u"0.000029"));

  // A damaged factor from a settings file gives the limit, or nothing when
  // the product is no finite number; never an overflow of the product.
  const struct {
    double factor;
    const char16_t* text;
  } damaged[] = {
      {1e300, u"9000000000000.000000"},
      {-1e300, u"-9000000000000.000000"},
      {std::nan(""), u"0.000000"},
      {HUGE_VAL, u"0.000000"},
  };
  for (const auto& row : damaged) {
    p.doc.m_EnvParam.m_TuboFactor = row.factor;
    EXPECT_EQ(p.Node(d)->GetTextTotalTubo(&p.doc, progress), GS::UniString(row.text)) << row.factor;
  }
}

TEST_F(TreeTextTest, LabelsShowFloorAreaTotalAndMarkAsTheSwitchesSay)
{
  EXPECT_EQ(p.Node(a)->GetText(&p.doc, progress), GS::UniString(u"[12.34/15.84] □1"));
  EXPECT_EQ(p.Node(b)->GetText(&p.doc, progress), GS::UniString(u"▲[1.00/1.00] □2"));
  ASSERT_EQ(host.UserChangeStory(1), NoError);
  EXPECT_EQ(p.Node(a)->GetText(&p.doc, progress), GS::UniString(u"[3.50/15.84] □1"));

  CTreeShowItem& show = p.doc.m_EnvParam.m_TreeShowItem;
  show.m_bShowTotal = false;
  EXPECT_EQ(p.Node(b)->GetText(&p.doc, progress), GS::UniString(u"▲[0.00] □2"));
  show.m_bShowArea = false;
  show.m_bShowTotal = true;
  EXPECT_EQ(p.Node(a)->GetText(&p.doc, progress), GS::UniString(u"[15.84] □1"));
  show.m_bShowMarkNo = false;
  EXPECT_EQ(p.Node(a)->GetText(&p.doc, progress), GS::UniString(u"[15.84]"));
  show.m_bShowTotal = false;
  show.m_bShowMarkNo = true;
  EXPECT_EQ(p.Node(a)->GetText(&p.doc, progress), GS::UniString(u"□1"));
  show.m_bShowArea = show.m_bShowTotal = true;
  ASSERT_EQ(host.UserChangeStory(0), NoError);

  // Zero decimals lose their point; the settings label describes both items.
  p.Node(a)->m_RoundTypeFloor = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 0);
  p.Node(a)->m_RoundTypeTotal = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 0);
  EXPECT_EQ(p.Node(a)->GetText(&p.doc, progress), GS::UniString(u"[12/15] □1"));
  p.Node(a)->m_RoundTypeFloor = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 0);
  p.Node(a)->m_RoundTypeTotal = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 2);
  EXPECT_EQ(p.Node(a)->GetTextEnv(&p.doc), GS::UniString(u"  [1上0/3捨2]"));
}

// ---- tree views ----

constexpr short kDialog = 32409;
constexpr short kTree = 3;

short Ignore(short, short, short, DGUserData, DGMessageData) { return 0; }

class TreeViewTest : public TreeTextTest {
protected:
  void SetUp() override
  {
    TreeTextTest::SetUp();
    pln::host::DefineDialog(kDialog, {{kTree, pln::host::DGItemKind::TreeView}});
    dialog = DGModelessInit(ACAPI_GetOwnResModule(), kDialog, ACAPI_GetOwnResModule(), Ignore, 0, 1);
    ASSERT_NE(dialog, 0);
  }

  const pln::host::DGTreeState& Tree() const { return pln::host::DialogItemState(dialog, kTree)->tree; }
  const pln::host::DGTreeItem& Item(Int32 id) const { return Tree().items.at(id); }

  short dialog = 0;
};

TEST_F(TreeViewTest, ThePaletteTreeShowsEachObjectWithItsLabelIconAndNode)
{
  p.Node(b)->m_Expand = false;
  p.Node(PatternDoc::kTopCode)->UpdateTree(&p.doc, dialog, kTree, DG_TVI_ROOT);
  EXPECT_TRUE(pln::host::DialogMisuses().empty());

  const std::vector<Int32>& top = Item(DG_TVI_ROOT).children;
  ASSERT_EQ(top.size(), 1u);
  const pln::host::DGTreeItem& pattern = Item(top[0]);
  // Items carry node codes, which outlive a replaced tree, and lead back to
  // the nodes, marked ones included.
  EXPECT_EQ(pattern.userData, DGUserData(PatternDoc::kTopCode));
  CAreaTree* const topNode = p.Node(PatternDoc::kTopCode);
  EXPECT_EQ(p.doc.m_AreaTree2.NodeOfItem(dialog, kTree, top[0]), topNode);
  p.doc.m_AreaTree2.DeleteMask(PatternDoc::kTopCode);
  EXPECT_EQ(p.doc.m_AreaTree2.NodeOfItem(dialog, kTree, top[0]), topNode);
  p.doc.m_AreaTree2.ClearDeleteMask();
  EXPECT_EQ(p.doc.m_AreaTree2.NodeOfItem(dialog, kTree, 0), nullptr);
  EXPECT_EQ(pattern.icon, DG::Icon(ACAPI_GetOwnResModule(), 32422));
  EXPECT_TRUE(pattern.expanded);
  ASSERT_EQ(pattern.children.size(), 1u);
  const pln::host::DGTreeItem& building = Item(pattern.children[0]);
  ASSERT_EQ(building.children.size(), 2u);
  const pln::host::DGTreeItem& itemA = Item(building.children[0]);
  const pln::host::DGTreeItem& itemB = Item(building.children[1]);
  EXPECT_EQ(itemA.text, GS::UniString(u"A[12.34/15.84] □1"));
  EXPECT_EQ(itemB.text, GS::UniString(u"B▲[1.00/1.00] □2"));
  EXPECT_EQ(itemA.icon, DG::Icon(ACAPI_GetOwnResModule(), 32420));  // MODE 1
  EXPECT_TRUE(itemA.expanded);
  EXPECT_FALSE(itemB.expanded);
}

TEST_F(TreeViewTest, ElementIconsFollowTheModeOfTheActiveStory)
{
  auto* element = p.Element(a);
  for (const auto& [mode, icon] : {std::pair{CArea2ObjectFloor::MODE_MANUAL, 32425},
                                   std::pair{CArea2ObjectFloor::MODE_AUTO, 32426},
                                   std::pair{CArea2ObjectFloor::MODE_BOTH, 32424}}) {
    element->m_FloorArray.SearchFloor(0)->m_Mode = mode;
    p.Node(a)->UpdateTree(&p.doc, dialog, kTree, DG_TVI_ROOT);
    EXPECT_EQ(Item(Item(DG_TVI_ROOT).children.back()).icon.GetResourceId(), icon) << mode;
  }
}

TEST_F(TreeViewTest, MarkedNodesAndTheRootAddNothing)
{
  p.Node(b)->m_DeleteMask = true;
  p.doc.m_AreaTree2.UpdateTree(&p.doc, dialog, kTree, DG_TVI_ROOT);
  EXPECT_TRUE(Item(DG_TVI_ROOT).children.empty());
  p.Node(PatternDoc::kBuildingCode)->UpdateTree(&p.doc, dialog, kTree, DG_TVI_ROOT);
  EXPECT_EQ(Item(Item(DG_TVI_ROOT).children[0]).children.size(), 1u);
}

TEST_F(TreeViewTest, TheSettingsTreeShowsRoundingLabelsAndKindIcons)
{
  p.Node(PatternDoc::kBuildingCode)->UpdateTreeEnv(&p.doc, dialog, kTree, DG_TVI_ROOT);
  const pln::host::DGTreeItem& building = Item(Item(DG_TVI_ROOT).children[0]);
  EXPECT_EQ(building.text, GS::UniString(u"建物  [3捨2/3捨2]"));
  EXPECT_EQ(building.icon.GetResourceId(), 32422);
  ASSERT_EQ(building.children.size(), 2u);
  EXPECT_EQ(Item(building.children[1]).icon.GetResourceId(), 32420);
  EXPECT_EQ(Item(building.children[1]).userData, DGUserData(b));
}

}  // namespace
