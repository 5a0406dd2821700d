// The pattern page: making, copying, deleting, exporting and importing
// whole patterns; inserting, copying, deleting and editing tree items; and
// moving them by drag and drop.

#include "EnvDialogTestSupport.h"

#include "GetAppDataPath.h"
#include "host_charcodes.h"

using namespace envtest;

namespace {

constexpr short kTree = 13, kPatternPopUp = 7;
const std::string kRoundCut2 = "  [3捨2/3捨2]";
// The builder's elements: per floor (切り上げ, 1), building (四捨五入, 3).
const std::string kElementRound = "  [2上1/4入3]";

class PatternPageTest : public EnvDialogTest {
protected:
  // R > A > (B > e1, e2, C): the pattern the item tests work on.
  void BuildTree()
  {
    CPlenimetraParam& pattern = doc.m_EnvParam.m_PatternArray.front();
    pattern = CPlenimetraParam();
    PatternBuilder build(pattern, u"R");
    const int a = build.Folder(build.Root(), u"A");
    const int b = build.Folder(a, u"B");
    build.Element(b, u"e1");
    build.Element(a, u"e2");
    build.Folder(a, u"C");
    doc.m_EnvParam2 = doc.m_EnvParam;
  }

  // Runs the page with the script; the working patterns stay in the dialog.
  void RunPage(const std::function<void(DialogUser&, CPlenimetraParamArray&, DialogUser&)>& script)
  {
    CDlgEnvironment dialog(&doc);
    Run(dialog, [&](DialogUser& user, CDlgEnvironment& dlg) {
      DialogUser page = user.TabPage(kTabs, kPatterns);
      script(page, dlg.m_EnvParam.m_PatternArray, user);
    });
  }

  static std::vector<std::string> Labels(const DialogUser& page) { return TreeLabels(page, kTree); }
  static std::string L(const char* name, int depth = 0, const std::string& round = kRoundCut2)
  {
    return std::string(std::size_t(depth), '.') + name + round;
  }
  static void Select(DialogUser& page, const std::vector<Int32>& items) { page.SelectTreeItems(kTree, items); }
  static Int32 Item(const DialogUser& page, const char16_t* name) { return TreeItemNamed(page, kTree, name); }
};

TEST_F(PatternPageTest, ANewPatternIsARootWithOneFolderOfTheSameNameSelectedAtOnce)
{
  RunPage([this](DialogUser& page, CPlenimetraParamArray& patterns, DialogUser& user) {
    EXPECT_FALSE(Enabled(page, 4));  // one pattern
    QueueName(u"X");
    page.Click(2);
    ASSERT_EQ(patterns.size(), 2u);
    EXPECT_EQ(PopUpText(page, kPatternPopUp), GS::UniString(u"X"));
    EXPECT_EQ(Labels(page), (std::vector<std::string>{L("X"), L("X", 1)}));
    for (const CArea4Object& made : patterns.back().m_Area4ObjectArray) {
      EXPECT_EQ(made.m_ItemType1, CItemType1Table::ITEMTYPE_NOMARK);
      EXPECT_EQ(made.m_ItemType2, CItemType2Table::ITEMTYPE_ROMAN);
      EXPECT_EQ(made.m_ListType, CArea2ListTypeTable::LISTTYPE_FORMULA);
    }
    EXPECT_TRUE(Enabled(page, 4));
    EXPECT_EQ(Indicator(user), GS::UniString(u"カスタム"));
  });
}

TEST_F(PatternPageTest, ACopyNeedsANewNameAndCarriesTheTreeWithTheReadersDefaults)
{
  BuildTree();
  RunPage([this](DialogUser& page, CPlenimetraParamArray& patterns, DialogUser&) {
    const std::vector<std::string> source = Labels(page);
    host.QueueDialogScript(CDlgEditName::ResourceId, [](DialogUser& name) {
      EXPECT_EQ(TextOf(name, 5), GS::UniString(u"R"));
      name.Click(1);  // the preset is in use
    });
    page.Click(3);
    EXPECT_EQ(host.Alerts().back().largeText, GS::UniString(u"この名前は既に使用されています。"));
    ASSERT_EQ(patterns.size(), 1u);

    QueueName(u"Y");
    page.Click(3);
    ASSERT_EQ(patterns.size(), 2u);
    EXPECT_EQ(PopUpText(page, kPatternPopUp), GS::UniString(u"Y"));
    std::vector<std::string> copied = Labels(page);
    ASSERT_EQ(copied.size(), source.size());
    EXPECT_EQ(copied.front(), L("Y"));
    EXPECT_TRUE(std::equal(copied.begin() + 1, copied.end(), source.begin() + 1));
    for (const CArea2Object& element : patterns.back().m_Area2ObjectArray)
      EXPECT_NE(element.m_ItemType1, CItemType1Table::ITEMTYPE_CIRCLE);  // the builder's mark is not carried
  });
}

TEST_F(PatternPageTest, ACopyThatCannotWriteItsTemporaryFileAddsNothing)
{
  const std::filesystem::path temp =
      pln::host::ToFsPath(IO::Location(GS::UniString(GetAppDataPath().c_str()) + u"temptree"));
  std::filesystem::remove_all(temp);
  std::filesystem::create_directories(temp / "blocked");
  RunPage([this](DialogUser& page, CPlenimetraParamArray& patterns, DialogUser&) {
    QueueName(u"Y");
    page.Click(3);
    EXPECT_EQ(patterns.size(), 1u);
    const GS::UniString message = host.Alerts().back().largeText;
    EXPECT_EQ(message.GetSuffix(GS::UniString(u"が保存できません").GetLength()), GS::UniString(u"が保存できません"));
  });
  std::filesystem::remove_all(temp);
}

// Under UTF-8 a pattern may bear a name that the pattern file, kept in
// Shift-JIS, cannot hold: a copy and an export are refused naming the
// pattern and the character (not a temporary file), before any question.
TEST_F(PatternPageTest, APatternTheFileCannotHoldIsRefusedByNameForCopyAndExport)
{
  pln::host::SetDefaultCharCode(CC_UTF8);
  RunPage([this](DialogUser& page, CPlenimetraParamArray& patterns, DialogUser&) {
    QueueName(u"A€B型");
    page.Click(2);
    ASSERT_EQ(patterns.size(), 2u);
    const std::size_t alerts = host.Alerts().size();
    page.Click(3);
    page.Click(5);
    EXPECT_EQ(patterns.size(), 2u);
    const GS::UniString refusal(u"計算パターン「A€B型」を保存できません。使用できない文字「€」(U+20AC)が含まれています");
    ASSERT_EQ(host.Alerts().size(), alerts + 2);
    EXPECT_EQ(host.Alerts()[alerts].largeText, refusal);
    EXPECT_EQ(host.Alerts()[alerts + 1].largeText, refusal);
    EXPECT_TRUE(host.FileDialogs().empty());
  });
}

TEST_F(PatternPageTest, ImportedNamesCountTheirClashesAndTheListShowsTheFirstPattern)
{
  RunPage([this](DialogUser& page, CPlenimetraParamArray& patterns, DialogUser&) {
    QueueName(u"X");
    page.Click(2);
    host.QueueFileChoice(IO::Location(PathOf("x.datTree")));
    page.Click(5);
    ASSERT_EQ(host.FileDialogs().back().filters.size(), 1u);
    EXPECT_EQ(host.FileDialogs().back().filters[0].text, GS::UniString(u"メンセラ 計算パターン ﾌｧｲﾙ (*.dattree)"));
    for (const char16_t* expected : {u"X (2)", u"X (3)"}) {
      host.QueueFileChoice(IO::Location(PathOf("x.datTree")));
      page.Click(6);
      EXPECT_EQ(PopUpText(page, kPatternPopUp), GS::UniString(u"計算"));
      EXPECT_EQ(PopUpTexts(page, kPatternPopUp).back(), GS::UniString(expected));
    }
    // An exported "X (2)" comes back as itself: its cut name is X, not X (2).
    page.SelectPopUp(kPatternPopUp, 3);
    host.QueueFileChoice(IO::Location(PathOf("x2.datTree")));
    page.Click(5);
    host.QueueFileChoice(IO::Location(PathOf("x2.datTree")));
    page.Click(6);
    EXPECT_EQ(PopUpTexts(page, kPatternPopUp).back(), GS::UniString(u"X (2)"));
    EXPECT_EQ(patterns.size(), 5u);
  });
}

// Only a file of exactly one pattern is taken; the copy never reads a
// stale file.
TEST_F(PatternPageTest, AFileThatIsNotOnePatternIsRefusedAndNothingIsAdded)
{
  Put("empty.datTree", "");
  Put("bad.datTree", "not a pattern line\n");
  Put("two.datTree", "A\t1\t2\t2\t2\t2\nB\t2\t1\t2\t2\t2\t2\t2\nC\t3\t0\t2\t2\t2\t2\t2\n");
  std::vector<std::string> names{"missing.datTree", "empty.datTree", "bad.datTree", "two.datTree"};
  const std::filesystem::path corpus = std::filesystem::path(PLN_FUZZ_CORPUS) / "fuzz_doc_patternfile";
  RunPage([&](DialogUser& page, CPlenimetraParamArray& patterns, DialogUser&) {
    for (const std::string& name : names) {
      host.QueueFileChoice(IO::Location(PathOf(name.c_str())));
      const auto alerts = host.Alerts().size();
      page.Click(6);
      EXPECT_EQ(patterns.size(), 1u) << name;
      ASSERT_EQ(host.Alerts().size(), alerts + 1) << name;
      EXPECT_EQ(host.Alerts().back().largeText, PathOf(name.c_str()) + u"が読み込めません") << name;
    }
    // The corpus's own seeds are valid patterns and are taken.
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
      std::ifstream in(entry.path(), std::ios::binary);
      Put("seed.datTree", std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
      const std::size_t before = patterns.size();
      host.QueueFileChoice(IO::Location(PathOf("seed.datTree")));
      page.Click(6);
      EXPECT_EQ(patterns.size(), before + 1) << entry.path();
    }
  });
}

TEST_F(PatternPageTest, DeletingAPatternAsksAndTheLastOneLeavesTheNewLastSelected)
{
  RunPage([this](DialogUser& page, CPlenimetraParamArray& patterns, DialogUser&) {
    QueueName(u"X");
    page.Click(2);
    QueueName(u"Z");
    page.Click(2);
    host.QueueAlertAnswer(2);
    page.Click(4);
    EXPECT_EQ(host.Alerts().back().largeText,
              GS::UniString(u"現在選択されている計算パターンを削除します。\nよろしいですか？"));
    EXPECT_EQ(patterns.size(), 3u);
    page.Click(4);
    ASSERT_EQ(patterns.size(), 2u);
    EXPECT_EQ(PopUpText(page, kPatternPopUp), GS::UniString(u"X"));
    EXPECT_EQ(Labels(page).front(), L("X"));
    page.Click(4);
    EXPECT_EQ(patterns.size(), 1u);
    EXPECT_FALSE(Enabled(page, 4));
    page.Click(4);
    EXPECT_EQ(patterns.size(), 1u);
  });
}

TEST_F(PatternPageTest, ButtonsFollowTheTreeSelection)
{
  BuildTree();
  RunPage([](DialogUser& page, CPlenimetraParamArray&, DialogUser&) {
    struct Row {
      std::vector<const char16_t*> selected;
      bool insert, copy, remove, edit;
    };
    const Row rows[] = {
        {{u"R"}, true, false, false, true},
        {{u"A"}, true, true, true, true},
        {{u"e1"}, false, false, true, true},
        {{u"B", u"C"}, false, false, false, true},
        {{}, false, false, false, false},
    };
    for (const Row& row : rows) {
      std::vector<Int32> items;
      for (const char16_t* name : row.selected)
        items.push_back(Item(page, name));
      Select(page, items);
      EXPECT_EQ(Enabled(page, 9), row.insert) << row.selected.size();
      EXPECT_EQ(Enabled(page, 10), row.copy);
      EXPECT_EQ(Enabled(page, 11), row.remove);
      EXPECT_EQ(Enabled(page, 12), row.edit);
    }
  });
}

TEST_F(PatternPageTest, ItemsAreCopiedBesideThemselvesAndDeletedFromTheTreeOnly)
{
  BuildTree();
  RunPage([this](DialogUser& page, CPlenimetraParamArray& patterns, DialogUser&) {
    Select(page, {Item(page, u"B")});
    page.Click(10);
    const std::string e = kElementRound;
    EXPECT_EQ(Labels(page), (std::vector<std::string>{L("R"), L("A", 1), L("B", 2), L("e1", 3, e), L("B", 2),
                                                      L("e1", 3, e), L("e2", 2, e), L("C", 2)}));
    EXPECT_EQ(patterns.front().m_Area4ObjectArray.size(), 5u);  // a new folder for the copy

    const std::size_t elements = patterns.front().m_Area2ObjectArray.size();
    Select(page, {Item(page, u"e2")});
    host.QueueAlertAnswer(1);
    page.Click(11);
    EXPECT_EQ(host.Alerts().back().largeText, GS::UniString(u"e2　を削除します。\nよろしいですか？"));
    EXPECT_EQ(Item(page, u"e2"), 0);
    EXPECT_EQ(patterns.front().m_Area2ObjectArray.size(), elements);
  });
}

// The root keeps exactly one folder, the top of every calculation made from
// the pattern: a copy, a deletion, an insertion or a drop that would give
// it none or a second one is refused in words and changes nothing.
TEST_F(PatternPageTest, EditsThatWouldGiveTheRootNoFolderOrASecondOneAreRefused)
{
  const char16_t* kReason = u"計算パターンの最上位の項目の下には小計項目がひとつだけ必要です。";
  BuildTree();
  RunPage([&](DialogUser& page, CPlenimetraParamArray& patterns, DialogUser&) {
    const CPlenimetraParam before = patterns.front();
    const std::vector<std::string> labels = Labels(page);
    const auto refused = [&](const char16_t* what, const std::string& step) {
      EXPECT_EQ(host.Alerts().back().largeText, GS::UniString(what) + kReason) << step;
      EXPECT_TRUE(patterns.front().m_AreaTree2 == before.m_AreaTree2) << step;
      EXPECT_EQ(patterns.front().m_LastAreaCode, before.m_LastAreaCode) << step;
      EXPECT_EQ(Labels(page), labels) << step;
    };
    Select(page, {Item(page, u"A")});
    page.Click(10);
    refused(u"この項目は複写できません。", "copy");
    const auto alerts = host.Alerts().size();
    page.Click(11);  // refused before the question
    EXPECT_EQ(host.Alerts().size(), alerts + 1);
    refused(u"この項目は削除できません。", "delete");
    Select(page, {Item(page, u"R")});
    page.Click(9);
    EXPECT_EQ(pln::host::PendingDialogScripts(CDlgCreateTreeItem::ResourceId), 0u);
    refused(u"この項目の下には追加できません。", "insert");
    for (const short where : {DG_DRAG_INSERT_ABOVE, DG_DRAG_INSERT_UNDER}) {
      Select(page, {Item(page, u"C")});
      page.DragAndDrop(kTree, kTree, Item(page, u"A"), where);
      refused(u"この項目に移動することはできません。", "drop " + std::to_string(where));
    }
  });
}

TEST_F(PatternPageTest, InsertAndEditGoThroughTheirDialogs)
{
  BuildTree();
  RunPage([this](DialogUser& page, CPlenimetraParamArray& patterns, DialogUser&) {
    Select(page, {Item(page, u"C")});
    host.QueueDialogScript(CDlgCreateTreeItem::ResourceId, [](DialogUser& create) {
      create.SetLong(CDlgCreateTreeItem::ITEM_ELEMENT, 1);
      create.SetText(CDlgCreateTreeItem::ITEM_NAME, u"新要素");
      create.SelectPopUp(CDlgCreateTreeItem::ITEM_TYPE1, EntryOf(create, CDlgCreateTreeItem::ITEM_TYPE1, u"四捨五入"));
      create.SelectPopUp(CDlgCreateTreeItem::ITEM_TYPE2, EntryOf(create, CDlgCreateTreeItem::ITEM_TYPE2, u"切り上げ"));
      create.Click(1);
    });
    const int before = patterns.front().m_LastAreaCode;
    page.Click(9);
    EXPECT_EQ(patterns.front().m_LastAreaCode, before + 1);
    const CArea2Object& made = patterns.front().m_Area2ObjectArray.back();
    EXPECT_EQ(made.m_Code, before + 1);
    EXPECT_EQ(made.m_ItemType1, CItemType1Table::ITEMTYPE_SQUARE);
    EXPECT_EQ(made.m_ShowTotal, CArea2Object::SHOWTOTAL_MARK);
    EXPECT_EQ(Labels(page).back(), L("新要素", 3, "  [1上0/1入0]"));

    // The root cannot be edited.
    Select(page, {Item(page, u"R")});
    page.Click(12);
    EXPECT_EQ(pln::host::PendingDialogScripts(CDlgEditArea4::ResourceId), 0u);

    Select(page, {Item(page, u"A")});
    host.QueueDialogScript(CDlgEditArea4::ResourceId, [](DialogUser& edit) {
      EXPECT_EQ(TextOf(edit, CDlgEditAreaCore::ITEM_NAME), GS::UniString(u"A"));
      edit.SetText(CDlgEditAreaCore::ITEM_NAME, u"A2");
      edit.Click(1);
    });
    page.Click(12);
    EXPECT_NE(Item(page, u"A2"), 0);
    EXPECT_EQ(patterns.front().FindAreaObject(2)->m_Name.m_DefaultName, GS::UniString(u"A2"));

    // Several items: only what the user changed reaches every node.
    Select(page, {Item(page, u"B"), Item(page, u"e2")});
    host.QueueDialogScript(CDlgEditArea4::ResourceId, [](DialogUser& edit) {
      edit.SelectPopUp(CDlgEditAreaCore::ITEM_TYPE1, EntryOf(edit, CDlgEditAreaCore::ITEM_TYPE1, u"切り上げ"));
      edit.Click(1);
    });
    page.Click(12);
    const CAreaTree* b = patterns.front().m_AreaTree2.Search(3);
    const CAreaTree* e2 = patterns.front().m_AreaTree2.Search(-5);
    EXPECT_EQ(b->m_RoundTypeTotal, (CRoundTypeItem{CRoundTypeTable::ROUNDTYPE_UP, 2}));
    EXPECT_EQ(e2->m_RoundTypeTotal, (CRoundTypeItem{CRoundTypeTable::ROUNDTYPE_UP, 3}));
    EXPECT_EQ(e2->m_RoundTypeFloor, (CRoundTypeItem{CRoundTypeTable::ROUNDTYPE_UP, 1}));
  });
}

// Drops refused and made, with the dragged item first in the selection.
TEST_F(PatternPageTest, DragAndDropMovesBesideAndIntoFoldersAndRefusesTheRest)
{
  struct Row {
    std::vector<const char16_t*> dragged;
    const char16_t* target;
    short where;
    const char16_t* alert;  // null: moved
    std::vector<std::string> labels;
  };
  const char16_t* kNotSubtotal = u"小計項目以外の項目に移動することはできません";
  const char16_t* kCannot = u"この項目に移動することはできません";
  const std::string e = kElementRound;
  const std::vector<std::string> kStart{L("R"), L("A", 1), L("B", 2), L("e1", 3, e), L("e2", 2, e), L("C", 2)};
  const Row rows[] = {
      {{u"C"}, u"R", DG_DRAG_INSERT_ON, kNotSubtotal, kStart},
      {{u"C"}, u"R", DG_DRAG_INSERT_ABOVE, kNotSubtotal, kStart},
      {{u"R"}, u"R", DG_DRAG_INSERT_UNDER, kNotSubtotal, kStart},
      {{u"A"}, u"A", DG_DRAG_INSERT_ON, kCannot, kStart},
      {{u"A"}, u"B", DG_DRAG_INSERT_ON, kCannot, kStart},
      {{u"A"}, u"e1", DG_DRAG_INSERT_UNDER, kCannot, kStart},
      {{u"A"}, u"B", DG_DRAG_INSERT_ABOVE, kCannot, kStart},
      {{u"C"}, u"e2", DG_DRAG_INSERT_ON, kCannot, kStart},
      {{u"C"}, u"e1", DG_DRAG_INSERT_UNDER, nullptr,
       {L("R"), L("A", 1), L("B", 2), L("e1", 3, e), L("C", 3), L("e2", 2, e)}},
      {{u"B"}, u"C", DG_DRAG_INSERT_ON, nullptr,
       {L("R"), L("A", 1), L("e2", 2, e), L("C", 2), L("B", 3), L("e1", 4, e)}},
      {{u"e2", u"C"}, u"B", DG_DRAG_INSERT_ABOVE, nullptr,
       {L("R"), L("A", 1), L("e2", 2, e), L("B", 2), L("e1", 3, e), L("C", 2)}},
  };
  for (const Row& row : rows) {
    BuildTree();
    RunPage([&](DialogUser& page, CPlenimetraParamArray& patterns, DialogUser&) {
      const CPlenimetraParam before = patterns.front();
      std::vector<Int32> selection;
      for (const char16_t* name : row.dragged)
        selection.push_back(Item(page, name));
      Select(page, selection);
      const auto alerts = host.Alerts().size();
      page.DragAndDrop(kTree, kTree, Item(page, row.target), row.where);
      const std::string where = GS::UniString(row.dragged.front()).ToStdString(CC_UTF8) + " " +
                                GS::UniString(row.target).ToStdString(CC_UTF8) + " " + std::to_string(row.where);
      EXPECT_EQ(Labels(page), row.labels) << where;
      if (row.alert != nullptr) {
        ASSERT_EQ(host.Alerts().size(), alerts + 1) << where;
        EXPECT_EQ(host.Alerts().back().largeText, GS::UniString(row.alert)) << where;
        EXPECT_TRUE(patterns.front().m_AreaTree2 == before.m_AreaTree2) << where;
      } else {
        EXPECT_EQ(host.Alerts().size(), alerts) << where;
      }
      EXPECT_TRUE(patterns.front().m_Area2ObjectArray == before.m_Area2ObjectArray) << where;
    });
  }
}

TEST_F(PatternPageTest, AMovedFolderKeepsItsCodesChildrenAndCollapsedState)
{
  BuildTree();
  CAreaTree* b = doc.m_EnvParam.m_PatternArray.front().m_AreaTree2.Search(3);
  ASSERT_NE(b, nullptr);
  b->m_Expand = false;
  RunPage([](DialogUser& page, CPlenimetraParamArray& patterns, DialogUser&) {
    Select(page, {Item(page, u"B")});
    page.DragAndDrop(kTree, kTree, Item(page, u"C"), DG_DRAG_INSERT_ON);
    const CAreaTree& c = patterns.front().m_AreaTree2.m_Child.front().m_Child.front().m_Child.back();
    ASSERT_EQ(c.m_Child.size(), 1u);
    EXPECT_EQ(c.m_Child[0].m_AreaCode, 3);
    EXPECT_FALSE(c.m_Child[0].m_Expand);
    ASSERT_EQ(c.m_Child[0].m_Child.size(), 1u);
    EXPECT_EQ(c.m_Child[0].m_Child[0].m_AreaCode, -4);
    EXPECT_FALSE(ItemOf(page, kTree).tree.items.at(Item(page, u"B")).expanded);
  });
}

// A pattern without a root is not listed; the entries carry list indices,
// so every command acts on the pattern its entry names.
TEST_F(PatternPageTest, EntriesNameTheirPatternsByListIndexPastARootlessOne)
{
  doc.m_EnvParam.m_PatternArray.insert(doc.m_EnvParam.m_PatternArray.begin(), CPlenimetraParam());
  RunPage([this](DialogUser& page, CPlenimetraParamArray& patterns, DialogUser&) {
    EXPECT_EQ(PopUpTexts(page, kPatternPopUp), (std::vector<GS::UniString>{u"計算"}));
    EXPECT_EQ(ItemOf(page, kPatternPopUp).entries[0].userData, 1);
    EXPECT_EQ(Labels(page), (std::vector<std::string>{L("計算"), L("建物", 1)}));
    QueueName(u"X");
    page.Click(2);
    EXPECT_EQ(PopUpText(page, kPatternPopUp), GS::UniString(u"X"));
    page.SelectPopUp(kPatternPopUp, 1);
    page.Click(4);
    ASSERT_EQ(patterns.size(), 2u);
    EXPECT_TRUE(patterns[0].m_AreaTree2.m_Child.empty());  // the rootless one stays
    EXPECT_EQ(PopUpTexts(page, kPatternPopUp), (std::vector<GS::UniString>{u"X"}));
  });
}

TEST_F(PatternPageTest, AnExportThatCannotBeWrittenIsReported)
{
  std::filesystem::create_directories(folder / "dir.datTree" / "inside");
  RunPage([this](DialogUser& page, CPlenimetraParamArray&, DialogUser&) {
    host.QueueFileChoice(IO::Location(PathOf("dir.datTree")));
    page.Click(5);
    ASSERT_FALSE(host.Alerts().empty());
    EXPECT_EQ(host.Alerts().back().largeText, PathOf("dir.datTree") + u"が保存できません");
  });
}

}  // namespace
