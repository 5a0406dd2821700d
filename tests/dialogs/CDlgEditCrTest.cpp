// The formula line-break dialogs driven as the user would: rows and their
// marks, the check box offered only where a mark can be set by hand, the
// automatic marks kept when switching to hand, ticking several rows at
// once, the preview, the typed equation of a folder, the splitter's
// limits and the column widths shared by the two dialogs of one resource.

#include "CDlgEditCr.h"
#include "DialogDocTestSupport.h"
#include "host_charcodes.h"

namespace {

constexpr short kList = 7;
constexpr short kCheck = 5;
constexpr short kPreview = 6;
constexpr short kSplitter = 8;
constexpr short kMarkColumn = 2;

using Texts = std::vector<std::u16string>;

CCrMarkArray Marks(std::initializer_list<bool> values)
{
  CCrMarkArray marks;
  for (const bool v : values)
    marks.push_back(CCrMark(v));
  return marks;
}

std::vector<bool> Values(const CCrMarkArray& marks)
{
  std::vector<bool> values;
  for (const CCrMark& mark : marks)
    values.push_back(mark.m_bCr);
  return values;
}

class EditCrTest : public DialogDocTest {
protected:
  EditCrTest()
  {
    Declare<CDlgEditCr1>();
    Declare<CDlgEditCr4>();
  }
  // The item laid over the mark column of the selected row.
  static short Editor(const DialogUser& user, short list = kList)
  {
    return DGListGetDialItemOnTabField(user.DialogId(), list, kMarkColumn);
  }

  const std::vector<GS::UniString> rectangle{u"6.000", u"×4.500"};
  const std::vector<GS::UniString> sector{u"2.000", u"×2.000", u"×3.14", u"×90", u"÷360"};
};

TEST_F(EditCrTest, RectangleOffersTheCheckBoxOnlyOnItsFirstRow)
{
  CDlgEditCr1 dialog(&doc, rectangle, Marks({false}), false);
  const short result = Run(dialog, [](DialogUser& user) {
    EXPECT_EQ(Column(user, kList, 1), (Texts{u"6.000", u"×4.500"}));
    EXPECT_EQ(Column(user, kList, kMarkColumn), (Texts{u"", u""}));
    EXPECT_EQ(Value(user, 3), 0);
    EXPECT_EQ(Value(user, 4), 1);
    user.SelectRows(kList, {1});
    EXPECT_EQ(Editor(user), kCheck);
    EXPECT_EQ(Value(user, kCheck), 0);
    user.SelectRows(kList, {2});
    EXPECT_EQ(Editor(user), DG_NO_ITEM);
    user.SelectRows(kList, {1});
    user.Check(kCheck, true);
    EXPECT_EQ(Text(user, kPreview), u"6.000\n×4.500");
    EXPECT_EQ(Column(user, kList, kMarkColumn), (Texts{u"#", u""}));
    user.Click(1);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Values(dialog.m_CrMarkArray), std::vector<bool>{true});
  EXPECT_FALSE(dialog.m_bAutoCr);
  EXPECT_EQ(dialog.m_pListInfoParam, nullptr);
}

// Automatic marks are shown but not editable; radio 4 keeps them as the
// starting point for editing by hand. The width limit breaks the sector's
// formula before its third term only (5 + 6 fits 13, + 5 does not; then
// 5 + 3 + 4 fits again).
TEST_F(EditCrTest, HandBreaksStartFromTheAutomaticMarks)
{
  doc.m_EnvParam.m_ListAttr1.m_ColWidth2 = 13;
  CDlgEditCr1 dialog(&doc, sector, Marks({false, false, false, false}), true);
  const short result = Run(dialog, [](DialogUser& user) {
    user.SetLong(4, 1);
    user.SetLong(3, 1);
    EXPECT_EQ(Column(user, kList, kMarkColumn), (Texts{u"", u"#", u"", u"", u""}));
    EXPECT_EQ(Text(user, kPreview), u"2.000×2.000\n×3.14×90÷360");
    user.SelectRows(kList, {2});
    EXPECT_EQ(Editor(user), DG_NO_ITEM);
    user.SetLong(4, 1);
    EXPECT_EQ(Editor(user), kCheck);
    EXPECT_EQ(Value(user, kCheck), 1);
    EXPECT_EQ(Column(user, kList, kMarkColumn), (Texts{u"", u"#", u"", u"", u""}));
    user.Click(1);
  });
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(dialog.m_bAutoCr);
  EXPECT_EQ(Values(dialog.m_CrMarkArray), (std::vector<bool>{false, true, false, false}));
}

TEST_F(EditCrTest, OneTickSetsEverySelectedMarkUnderOneProgressWindow)
{
  CDlgEditCr1 dialog(&doc, sector, Marks({false, false, false, false}), false);
  const Int32 windowsBefore = fx.Progress().openCount;
  Run(dialog, [&](DialogUser& user) {
    user.SelectRows(kList, {1, 2, 3});
    user.Check(kCheck, true);
    EXPECT_EQ(Text(user, kPreview), u"2.000\n×2.000\n×3.14\n×90÷360");
    EXPECT_EQ(fx.Progress().openCount, windowsBefore + 1);
    EXPECT_FALSE(fx.Progress().open);
    EXPECT_EQ(fx.Progress().position, 3);
    user.Click(1);
  });
  EXPECT_EQ(Values(dialog.m_CrMarkArray), (std::vector<bool>{true, true, true, false}));
}

// A figure may carry fewer marks than its formula has gaps: those rows have
// no mark to show or set, and the preview never breaks there.
TEST_F(EditCrTest, RowsBeyondTheFiguresMarksHaveNone)
{
  CDlgEditCr1 dialog(&doc, sector, Marks({true}), false);
  const short result = Run(dialog, [](DialogUser& user) {
    EXPECT_EQ(Column(user, kList, kMarkColumn), (Texts{u"#", u"", u"", u"", u""}));
    user.SelectRows(kList, {2});
    EXPECT_EQ(Editor(user), DG_NO_ITEM);
    user.SelectRows(kList, {1, 2, 3});
    user.Check(kCheck, false);
    EXPECT_EQ(Text(user, kPreview), u"2.000×2.000×3.14×90÷360");
  });
  EXPECT_EQ(result, 2);
  ASSERT_EQ(dialog.m_CrMarkArray.size(), 1u);
}

TEST_F(EditCrTest, SplitterMovesOnlyWithinItsLimitsAndSetsTheMinimumHeight)
{
  CDlgEditCr1 dialog(&doc, rectangle, Marks({false}), false);
  Run(dialog, [](DialogUser& user) {
    const pln::host::DGItemState before = State(user, kList);
    const short height = pln::host::DialogState(user.DialogId())->height;
    for (const short to : {short(CDlgEditCrCore::kSplitterMinTop - 1),
                           short(height - CDlgEditCrCore::kSplitterMinBottom + 1)}) {
      user.SplitterDrag(kSplitter, 123, to);
      EXPECT_EQ(State(user, kList).top, before.top) << to;
      EXPECT_EQ(State(user, kPreview).bottom, State(user, kSplitter).top) << to;
    }
    user.SplitterDrag(kSplitter, 123, 150);
    EXPECT_EQ(State(user, kList).top, before.top + 27);
    EXPECT_EQ(State(user, kList).bottom, before.bottom);
    EXPECT_EQ(State(user, kPreview).bottom, State(user, kSplitter).top);
    EXPECT_EQ(pln::host::DialogState(user.DialogId())->minHeight, before.top + 27 + CDlgEditCrCore::kListMinHeight);
    EXPECT_EQ(pln::host::DialogState(user.DialogId())->minWidth, CDlgEditCr1::Layout().width);

    user.Resize(20, 10);
    EXPECT_EQ(State(user, 1).left, CDlgEditCr1::Layout().items[0].left + 20);
    EXPECT_EQ(State(user, 1).top, CDlgEditCr1::Layout().items[0].top + 10);
    EXPECT_EQ(State(user, kList).bottom, before.bottom + 10);
    EXPECT_EQ(State(user, kList).right, before.right + 20);
    EXPECT_EQ(State(user, kPreview).bottom, State(user, kSplitter).top);
  });
}

// ---------------------------------------------------------------------------
// The element and the folder on the active story (1F)

class EditCrTreeTest : public EditCrTest {
protected:
  EditCrTreeTest()
  {
    element = pattern.AddElement(PatternDoc::kBuildingCode, u"居室");
    for (int i = 0; i < 3; ++i)
      figures.push_back(pattern.AddFigure(element, 0, 100000000));
    pattern.Element(element)->m_ListType = CArea2ListTypeTable::LISTTYPE_FORMULA;
    pattern.Element(element)->m_AutoCr = false;
  }
  CArea2ObjectFloor& Record() { return *pattern.Element(element)->m_FloorArray.FindFloor(0); }

  int element = 0;
  std::vector<std::shared_ptr<TestKindFigure>> figures;
};

// Ticking row 1 breaks after the term the formula names first: the entry
// of the figure first by sort index, whatever its place in the record.
TEST_F(EditCrTreeTest, ElementRowsFollowTheFormulasOrder)
{
  figures[0]->m_SortIndex = 2;
  figures[1]->m_SortIndex = 0;
  figures[2]->m_SortIndex = 1;
  CDlgEditCr2 dialog(&doc, pattern.Element(element));
  const short result = Run(dialog, [](DialogUser& user) {
    EXPECT_EQ(Column(user, kList, 1), (Texts{u"○2", u"+○3", u"+○1"}));
    user.SelectRows(kList, {1});
    user.Check(kCheck, true);
    EXPECT_EQ(Text(user, kPreview), u"○2\n+○3+○1");
    user.Click(1);
  });
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(dialog.m_AreaFloor.m_List[0].m_CrMark.m_bCr);
  EXPECT_TRUE(dialog.m_AreaFloor.m_List[1].m_CrMark.m_bCr);
  EXPECT_FALSE(Record().m_List[1].m_CrMark.m_bCr);  // the opener writes back
}

// Typed equations may have more terms than the record has entries.
TEST_F(EditCrTreeTest, ElementRowsBeyondTheEntriesHaveNoMark)
{
  Record().m_List.pop_back();
  Record().m_Mode = CArea2ObjectFloor::MODE_MANUAL;
  Record().m_ManualEquation = u"1#2#3#4";
  Record().m_List[1].m_CrMark.m_bCr = true;
  CDlgEditCr2 dialog(&doc, pattern.Element(element));
  Run(dialog, [](DialogUser& user) {
    EXPECT_EQ(Column(user, kList, 1), (Texts{u"1", u"2", u"3", u"4"}));
    EXPECT_EQ(Column(user, kList, kMarkColumn), (Texts{u"", u"#", u"", u""}));
    EXPECT_EQ(DGListGetItemUserData(user.DialogId(), kList, 3), DGUserData(0));
    user.SelectRows(kList, {3});
    EXPECT_EQ(Editor(user), DG_NO_ITEM);
    user.SelectRows(kList, {1, 2, 3, 4});
    user.Check(kCheck, true);
    EXPECT_EQ(Text(user, kPreview), u"1\n2\n34");
  });
}

TEST_F(EditCrTreeTest, ElementWithoutARecordOnTheStoryGetsNoneFromTheDialog)
{
  fx.UserChangeStory(1);
  CDlgEditCr2 dialog(&doc, pattern.Element(element));
  EXPECT_EQ(pattern.Element(element)->m_FloorArray.FindFloor(1), nullptr);
  EXPECT_EQ(dialog.m_AreaFloor.m_Floor, 1);
  EXPECT_TRUE(dialog.m_EquationList.empty());
}

TEST_F(EditCrTreeTest, ColumnWidthsAreSharedByTheTwoDialogsOfOneResource)
{
  CDlgEditCr1 figure(&doc, rectangle, Marks({false}), false);
  Run(figure, [](DialogUser& user) {
    EXPECT_EQ(DGListGetTabFieldEndPosition(user.DialogId(), kList, 1), 200);
    user.HeaderResize(kList, 1, 30);
  });
  CDlgEditCr2 elementDialog(&doc, pattern.Element(element));
  Run(elementDialog, [](DialogUser& user) {
    EXPECT_EQ(DGListGetTabFieldEndPosition(user.DialogId(), kList, 1), 230);
    EXPECT_EQ(DGListGetTabFieldEndPosition(user.DialogId(), kList, 2), 300);
  });
}

class EditCrFolderTest : public EditCrTreeTest {
protected:
  EditCrFolderTest()
  {
    folder = pattern.AddFolder(PatternDoc::kBuildingCode, u"共用");
    for (int i = 0; i < 3; ++i)
      pattern.Object(pattern.AddElement(folder, u"要素"))->m_No = i;
  }
  CArea4Object* Folder() { return pattern.Folder(folder); }
  CAreaTreeArray Children(std::size_t count = 3)
  {
    const std::vector<CAreaTree>& children = pattern.Node(folder)->m_Child;
    return CAreaTreeArray(children.begin(), children.begin() + static_cast<std::ptrdiff_t>(count));
  }

  static constexpr short kText = 6;
  static constexpr short kFolderPreview = 7;
  static constexpr short kFolderCheck = 8;
  static constexpr short kFolderList = 9;
  int folder = 0;
};

TEST_F(EditCrFolderTest, TypedEquationOpensOnRadio5AndGivesWayToTheFormula)
{
  Folder()->m_AutoCr = false;
  Folder()->m_ManualEquationArray.Add(0, u"□1#+□2");
  CDlgEditCr4 dialog(&doc, Folder(), Children());
  const short result = Run(dialog, [&](DialogUser& user) {
    EXPECT_EQ((Value(user, 3) << 2) | (Value(user, 4) << 1) | Value(user, 5), 1);
    EXPECT_EQ(Text(user, kText), u"□1#+□2");
    EXPECT_TRUE(State(user, kText).visible);
    EXPECT_FALSE(State(user, kFolderList).visible);
    EXPECT_FALSE(State(user, kFolderPreview).visible);
    EXPECT_EQ(DGListGetItemCount(user.DialogId(), kFolderList), 3);
    user.SetText(kText, u"□1+□2+□3");
    EXPECT_EQ(dialog.m_ManualEquation, GS::UniString(u"□1+□2+□3"));
    user.SetLong(3, 1);
    EXPECT_FALSE(dialog.m_bManualEquation);
    EXPECT_FALSE(State(user, kText).visible);
    EXPECT_TRUE(State(user, kFolderList).visible);
    user.Click(1);
  });
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(dialog.m_bManualEquation);
  EXPECT_TRUE(dialog.m_pArea4Object->m_AutoCr);
  EXPECT_FALSE(Folder()->m_AutoCr);
}

// The typed equation is stored in the host's default code: one it cannot
// hold is refused at OK.
TEST_F(EditCrFolderTest, ATypedEquationTheDefaultCodeCannotHoldIsRefused)
{
  for (GSCharCode code : {CC_Japanese, CC_UTF8}) {
    pln::host::SetDefaultCharCode(code);
    const auto alerts = fx.Alerts().size();
    CDlgEditCr4 dialog(&doc, Folder(), Children());
    const short result = Run(dialog, [&](DialogUser& user) {
      user.SetLong(5, 1);
      user.SetText(kText, u"□1+□2€");
      user.Click(1);
      if (user.IsOpen()) {
        user.SetText(kText, u"□1+□2");
        user.Click(1);
      }
    });
    EXPECT_EQ(result, 1);
    if (code == CC_Japanese) {
      ASSERT_EQ(fx.Alerts().size(), alerts + 1);
      EXPECT_EQ(fx.Alerts().back().largeText, GS::UniString(u"使用できない文字「€」(U+20AC)が含まれています"));
      EXPECT_EQ(dialog.m_ManualEquation, GS::UniString(u"□1+□2"));
    } else {
      EXPECT_EQ(fx.Alerts().size(), alerts);
      EXPECT_EQ(dialog.m_ManualEquation, GS::UniString(u"□1+□2€"));
    }
  }
}

TEST_F(EditCrFolderTest, OpensWithTheFoldersOwnSettingAndKeepsIt)
{
  for (const bool autoCr : {false, true}) {
    Folder()->m_AutoCr = autoCr;
    CDlgEditCr4 dialog(&doc, Folder(), Children());
    const short result = Run(dialog, [&](DialogUser& user) {
      EXPECT_EQ(Value(user, 3), autoCr ? 1 : 0);
      EXPECT_EQ(Value(user, 4), autoCr ? 0 : 1);
      EXPECT_EQ(Value(user, 5), 0);
      EXPECT_FALSE(State(user, kText).visible);
      user.Click(1);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(dialog.m_pArea4Object->m_AutoCr, autoCr);
    EXPECT_FALSE(dialog.m_bManualEquation);
  }
}

TEST_F(EditCrFolderTest, FolderRowsBeyondTheChildrenHaveNoMark)
{
  Folder()->m_AutoCr = false;
  CDlgEditCr4 dialog(&doc, Folder(), Children(1));
  Run(dialog, [](DialogUser& user) {
    ASSERT_EQ(DGListGetItemCount(user.DialogId(), kFolderList), 3);
    EXPECT_NE(DGListGetItemUserData(user.DialogId(), kFolderList, 1), DGUserData(0));
    EXPECT_EQ(DGListGetItemUserData(user.DialogId(), kFolderList, 2), DGUserData(0));
    user.SelectRows(kFolderList, {1, 2, 3});
    user.Check(kFolderCheck, true);
    user.Click(1);
  });
  ASSERT_EQ(dialog.m_AreaTreeArray.size(), 1u);
  EXPECT_TRUE(dialog.m_AreaTreeArray[0].m_CrMark.m_bCr);
}

}  // namespace
