// The calculation-pattern text file: golden bytes, round trips of random
// patterns, the line-end and short-field forms, every refused file falling
// back to the default pattern, and the file replaced only by a whole copy.

#include "DocTestSupport.h"

#include <climits>
#include <random>

namespace {

CRoundTypeItem Cut2() { return CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 2); }

void Add(CPlenimetraParam& doc, const GS::UniString& name, int code, int parent, int kind,
         CRoundTypeItem total = Cut2(), CRoundTypeItem floor = Cut2())
{
  doc.m_AreaTree2.Insert(&doc, name, code, parent, kind, total, floor);
  doc.m_LastAreaCode = std::max(doc.m_LastAreaCode, code);
}

// Top folder 1 "建物", folder 2 "本館" under it, element 1 "居室" in that
// folder: an element and a folder sharing the number 1.
void ExamplePattern(CPlenimetraParam& doc)
{
  Add(doc, u"建物", 1, 0, CAreaTree::KIND_FOLDER);
  Add(doc, u"本館", 2, 1, CAreaTree::KIND_FOLDER);
  Add(doc, u"居室", 1, 2, CAreaTree::KIND_ELEMENT_LIST);
}

const std::string kExampleFile = "\x8c\x9a\x95\xa8\t1\t2\t2\t2\t2\n"
                                 "\x96\x7b\x8a\xd9\t2\t1\t2\t2\t2\t2\t2\n"
                                 "\x8b\x8f\x8e\xba\t1\t2\t0\t2\t2\t2\t2\n";

// Nodes with their objects' names, depth first, indented per level.
std::vector<std::string> Outline(CPlenimetraParam& doc, const CAreaTree& node, const std::string& indent = "")
{
  std::vector<std::string> out;
  for (const CAreaTree& child : node.m_Child) {
    const CAreaObject* object = doc.GetAreaObject(child.m_AreaCode);
    out.push_back(indent + std::to_string(child.m_AreaCode) + " " +
                  object->m_Name.m_DefaultName.ToStdString(CC_UTF8));
    for (const std::string& below : Outline(doc, child, indent + "  "))
      out.push_back(below);
  }
  return out;
}

// The default pattern a refused file leaves: one folder "建物", code 1.
void ExpectDefaultPattern(CPlenimetraParam& doc, const std::string& label)
{
  EXPECT_EQ(Outline(doc, doc.m_AreaTree2), std::vector<std::string>{"1 建物"}) << label;
  EXPECT_EQ(doc.m_Area4ObjectArray.size(), 1u) << label;
  EXPECT_TRUE(doc.m_Area2ObjectArray.empty()) << label;
  EXPECT_EQ(doc.m_LastAreaCode, 1) << label;
}

class PatternFileTest : public DocTest {
protected:
  int Load(const std::string& bytes, CPlenimetraParam& into)
  {
    files.Put(bytes, "p.txt");
    return into.m_AreaTree2.Load3(&into, files.Path("p.txt"));
  }
  bool Save(CPlenimetraParam& from, const char* name = "p.txt")
  {
    return from.m_AreaTree2.m_Child.at(0).Save3(&from, files.Path(name));
  }

  SandboxFiles files;
};

// ---- the written form ----

TEST_F(PatternFileTest, TheExampleWritesItsGoldenLinesAndReadsBack)
{
  ExamplePattern(doc);
  ASSERT_TRUE(Save(doc));
  EXPECT_EQ(files.Contents("p.txt"), kExampleFile);

  CPlenimetraParam back;
  EXPECT_EQ(back.m_AreaTree2.Load3(&back, files.Path("p.txt")), 1);
  EXPECT_EQ(Outline(back, back.m_AreaTree2), (std::vector<std::string>{"1 建物", "  2 本館", "    -1 居室"}));
  EXPECT_TRUE(back.m_AreaTree2 == doc.m_AreaTree2);
  EXPECT_EQ(back.m_LastAreaCode, 2);
  const CArea2Object& element = back.m_Area2ObjectArray.front();
  EXPECT_EQ(element.m_ListType, CArea2ListTypeTable::LISTTYPE_LIST);
  EXPECT_EQ(element.m_ShowTotal, CArea2Object::SHOWTOTAL_MARK);
}

TEST_F(PatternFileTest, FileNamesAndTheDefaultPatternFile)
{
  EXPECT_EQ(CAreaTree::GetFileName(GS::UniString(u"A")), GS::UniString(u"メンセラ 計算パターンA.txt"));
  EXPECT_EQ(GS::UniString(CAreaTree::kDefaultPatternFileName), GS::UniString(u"メンセラ　計算パターン.txt"));
}

TEST_F(PatternFileTest, ElementsComeBackAsListTablesAndNamesStayOnOneLine)
{
  Add(doc, u"A\tB\rC\nD", 1, 0, CAreaTree::KIND_FOLDER);
  Add(doc, GS::UniString(std::u16string(600, u'階').c_str()), 2, 1, CAreaTree::KIND_FOLDER);
  Add(doc, u"式", 3, 2, CAreaTree::KIND_ELEMENT_FORMULA);
  ASSERT_TRUE(Save(doc));
  EXPECT_EQ(files.Contents("p.txt").substr(0, 9), "A B C D\t1");

  CPlenimetraParam back;
  ASSERT_EQ(back.m_AreaTree2.Load3(&back, files.Path("p.txt")), 1);
  EXPECT_EQ(back.GetAreaObject(1)->m_Name.m_DefaultName, GS::UniString(u"A B C D"));
  EXPECT_EQ(back.GetAreaObject(2)->m_Name.m_DefaultName.GetLength(), 600u);
  EXPECT_EQ(back.GetAreaObject(-3)->m_ListType, CArea2ListTypeTable::LISTTYPE_LIST);
}

// Random patterns: depths up to the cap, Japanese names, elements and
// folders drawing numbers from one range, every rounding item.
class RandomPattern {
public:
  explicit RandomPattern(unsigned seed) : m_Rng(seed) {}

  void Build(CPlenimetraParam& doc, bool deepChain)
  {
    for (int i = 1; i <= 200; ++i) {
      m_FolderCodes.push_back(i);
      m_ElementCodes.push_back(i);
    }
    std::shuffle(m_FolderCodes.begin(), m_FolderCodes.end(), m_Rng);
    std::shuffle(m_ElementCodes.begin(), m_ElementCodes.end(), m_Rng);
    const int top = Folder(doc, 0);
    int parent = Folder(doc, top);
    if (deepChain) {
      for (int depth = 3; depth < CAreaTree::kMaxTreeDepth; ++depth)
        parent = Folder(doc, parent);
      Element(doc, parent);  // at the cap
      return;
    }
    Fill(doc, parent, 3);
  }

private:
  void Fill(CPlenimetraParam& doc, int parent, int depth)
  {
    const int children = Pick(0, depth > 5 ? 1 : 3);
    for (int i = 0; i < children; ++i) {
      if (Pick(0, 2) == 0)
        Fill(doc, Folder(doc, parent), depth + 1);
      else
        Element(doc, parent);
    }
  }
  int Folder(CPlenimetraParam& doc, int parent)
  {
    const int code = Take(m_FolderCodes);
    Add(doc, Name(), code, parent, CAreaTree::KIND_FOLDER, Item(), Item());
    return code;
  }
  void Element(CPlenimetraParam& doc, int parent)
  {
    Add(doc, Name(), Take(m_ElementCodes), parent, CAreaTree::KIND_ELEMENT_LIST, Item(), Item());
  }
  static int Take(std::vector<int>& codes)
  {
    const int code = codes.back();
    codes.pop_back();
    return code;
  }
  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_Rng); }
  CRoundTypeItem Item()
  {
    // Kind first: a call's arguments come in no fixed order.
    const auto kind = CRoundTypeTable::ROUNDTYPE(Pick(0, 4));
    return CRoundTypeItem(kind, Pick(0, 6));
  }
  GS::UniString Name()
  {
    static const std::u16string kChars = u"建物居室廊下階段本館別棟ａｂＡ１２ アイウエオかきくけこabcXYZ0189()";
    std::u16string name;
    const int length = Pick(0, 12);
    for (int i = 0; i < length; ++i)
      name += kChars[std::size_t(Pick(0, int(kChars.size()) - 1))];
    return GS::UniString(name.c_str());
  }

  std::mt19937 m_Rng;
  std::vector<int> m_FolderCodes;
  std::vector<int> m_ElementCodes;
};

TEST_F(PatternFileTest, RandomPatternsSurviveSaveThenLoad)
{
  for (unsigned seed = 1; seed <= 40; ++seed) {
    CPlenimetraParam original;
    RandomPattern(seed).Build(original, seed % 10 == 0);
    ASSERT_TRUE(Save(original)) << seed;
    CPlenimetraParam back;
    ASSERT_EQ(back.m_AreaTree2.Load3(&back, files.Path("p.txt")), 1) << seed;

    EXPECT_FALSE(original.m_AreaTree2.IsTreeChanged(&original, back.m_AreaTree2, &back)) << seed;
    EXPECT_TRUE(original.m_AreaTree2 == back.m_AreaTree2) << seed;
    EXPECT_EQ(back.m_LastAreaCode, original.GetMaxAreaCode()) << seed;
    ASSERT_EQ(back.m_Area2ObjectArray.size(), original.m_Area2ObjectArray.size()) << seed;
    ASSERT_EQ(back.m_Area4ObjectArray.size(), original.m_Area4ObjectArray.size()) << seed;
    for (const CArea2Object& element : original.m_Area2ObjectArray) {
      const CArea2Object* read = back.m_Area2ObjectArray.Search(element.m_Code);
      ASSERT_NE(read, nullptr) << seed;
      EXPECT_TRUE(*read == element) << seed;
    }
    for (const CArea4Object& folder : original.m_Area4ObjectArray) {
      const CArea4Object* read = back.m_Area4ObjectArray.Search(folder.m_Code);
      ASSERT_NE(read, nullptr) << seed;
      EXPECT_TRUE(static_cast<const CAreaObject&>(*read) == folder) << seed;
    }
  }
}

// ---- reading ----

TEST_F(PatternFileTest, EveryLineEndAndTheShortFieldFormsReadAlike)
{
  const std::vector<std::pair<const char*, std::string>> forms = {
      {"CR", "T\t1\t2\t2\t2\t2\rF\t2\t1\t2\t2\t2\t2\t2\rE\t1\t2\t0\t2\t2\t2\t2\r"},
      {"CR LF", "T\t1\t2\t2\t2\t2\r\nF\t2\t1\t2\t2\t2\t2\t2\r\nE\t1\t2\t0\t2\t2\t2\t2\r\n"},
      {"LF CR", "T\t1\t2\t2\t2\t2\n\rF\t2\t1\t2\t2\t2\t2\t2\n\rE\t1\t2\t0\t2\t2\t2\t2\n\r"},
      {"short", "T\t1\nF\t2\t1\t2\nE\t1\t2\t0\n"},
      {"blanks, signs, trailers", "T\t 1\nF\t+2x\t1\t2\t2\t2\t2\t2\nE\t1\t2\t\t 2\t2y\t2\t2\n"},
  };
  CPlenimetraParam lf;
  ASSERT_EQ(Load("T\t1\t2\t2\t2\t2\nF\t2\t1\t2\t2\t2\t2\t2\nE\t1\t2\t0\t2\t2\t2\t2\n", lf), 1);
  for (const auto& [label, bytes] : forms) {
    CPlenimetraParam back;
    EXPECT_EQ(Load(bytes, back), 1) << label;
    EXPECT_TRUE(back.m_AreaTree2 == lf.m_AreaTree2) << label;
    EXPECT_EQ(Outline(back, back.m_AreaTree2), Outline(lf, lf.m_AreaTree2)) << label;
  }
  EXPECT_EQ(Outline(lf, lf.m_AreaTree2), (std::vector<std::string>{"1 T", "  2 F", "    -1 E"}));
}

TEST_F(PatternFileTest, AcceptedFilesAndWhatTheyBuild)
{
  CPlenimetraParam empty;
  ExamplePattern(empty);
  EXPECT_EQ(Load("", empty), 1);
  EXPECT_TRUE(empty.m_AreaTree2.m_Child.empty());
  EXPECT_TRUE(empty.m_Area4ObjectArray.empty());
  EXPECT_EQ(empty.m_LastAreaCode, 0);

  CPlenimetraParam formula;
  ASSERT_EQ(Load("T\t1\nF\t2\t1\t2\nE\t7\t2\t1\t1\t3\t3\t0\n", formula), 1);
  EXPECT_EQ(formula.GetAreaObject(-7)->m_ListType, CArea2ListTypeTable::LISTTYPE_FORMULA);
  EXPECT_EQ(formula.m_AreaTree2.Search(-7)->m_RoundTypeTotal, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_HALFUP, 3));
  EXPECT_EQ(formula.m_AreaTree2.Search(-7)->m_RoundTypeFloor, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 0));
  EXPECT_EQ(formula.m_LastAreaCode, 7);

  // An object whose parent never comes stays in the list without a node.
  CPlenimetraParam orphan;
  ASSERT_EQ(Load("T\t1\nF\t2\t1\t2\nE\t9\t5\t0\n", orphan), 1);
  EXPECT_EQ(Outline(orphan, orphan.m_AreaTree2), (std::vector<std::string>{"1 T", "  2 F"}));
  EXPECT_NE(orphan.FindAreaObject(-9), nullptr);
  EXPECT_EQ(orphan.m_LastAreaCode, 9);
}

TEST_F(PatternFileTest, RefusedFilesGiveTheDefaultPatternAndZero)
{
  const std::string top = "T\t1\n";
  const std::string pattern = top + "F\t2\t1\t2\n";
  // A top folder and a chain of folders below it, levels deep in all.
  auto chain = [&](int levels) {
    std::string text = top;
    for (int code = 2; code <= levels; ++code)
      text += "F\t" + std::to_string(code) + "\t" + std::to_string(code - 1) + "\t2\n";
    return text;
  };
  const std::vector<std::pair<const char*, std::string>> refused = {
      {"line 1 of 3 fields", "T\t1\t2\n" + pattern.substr(top.size())},
      {"node line of 5 fields", pattern + "E\t3\t2\t0\t2\n"},
      {"empty line", pattern + "\nE\t3\t2\t0\n"},
      {"last line without its end", pattern + "E\t3\t2\t0"},
      {"last line of full fields without its end", "T\t1\t2\t2\t2\t2\t"},
      {"second top node", pattern + "G\t3\t0\t2\n"},
      {"top without children", top},
      {"top with two folders", pattern + "G\t3\t1\t2\n"},
      {"top with an element only", top + "E\t2\t1\t0\n"},
      {"code 0", pattern + "E\t0\t2\t0\n"},
      {"code without digits", pattern + "E\tx\t2\t0\n"},
      {"negative code", pattern + "E\t-4\t2\t0\n"},
      {"code INT_MAX", pattern + "E\t2147483647\t2\t0\n"},
      {"folder code repeated", pattern + "G\t2\t2\t2\n"},
      {"element code repeated", pattern + "E\t3\t2\t0\nD\t3\t2\t1\n"},
      {"kind 3", pattern + "E\t3\t2\t3\n"},
      {"kind -1", pattern + "E\t3\t2\t-1\n"},
      {"number beyond 32 bits", pattern + "E\t4294967299\t2\t0\n"},
      {"rounding beyond 32 bits", pattern + "E\t3\t2\t0\t2\t-2147483649\t2\t2\n"},
      {"parent an element", pattern + "E\t3\t2\t0\nX\t4\t-3\t0\n"},
      {"deeper than the cap", chain(CAreaTree::kMaxTreeDepth + 1)},
      {"line longer than the bound", pattern + std::string(CAreaTree::kMaxPatternLineBytes - 5, 'n') + "\t3\t2\t0\n"},
  };
  for (const auto& [label, bytes] : refused) {
    CPlenimetraParam back;
    EXPECT_EQ(Load(bytes, back), 0) << label;
    ExpectDefaultPattern(back, label);
  }
  // The bounds themselves are taken.
  CPlenimetraParam atBound;
  EXPECT_EQ(Load(pattern + std::string(CAreaTree::kMaxPatternLineBytes - 6, 'n') + "\t3\t2\t0\n", atBound), 1);
  EXPECT_EQ(Load(chain(CAreaTree::kMaxTreeDepth), atBound), 1);
  EXPECT_EQ(Load(pattern + "E\t-2147483648x\t2\t0\n", atBound), 0);
}

TEST_F(PatternFileTest, AFileThatDoesNotOpenLeavesTreeAndListsEmpty)
{
  ExamplePattern(doc);
  EXPECT_EQ(doc.m_AreaTree2.Load3(&doc, files.Path("missing.txt")), -1);
  EXPECT_TRUE(doc.m_AreaTree2.m_Child.empty());
  EXPECT_TRUE(doc.m_Area2ObjectArray.empty());
  EXPECT_TRUE(doc.m_Area4ObjectArray.empty());
  EXPECT_EQ(doc.m_LastAreaCode, 0);
}

// Import as its callers run it: read into a scratch document, append only a
// pattern read whole.
TEST_F(PatternFileTest, ARefusedImportLeavesTheDocumentsPatternsUntouched)
{
  ExamplePattern(doc);
  const CPlenimetraParam before = doc;
  const std::vector<std::pair<const char*, std::string>> files_ = {
      {"bad line", "T\t1\nF\t2\t1\n"}, {"no line end", "T\t1\nF\t2\t1\t2"}, {"empty", ""}, {"missing", ""}};
  for (const auto& [label, bytes] : files_) {
    CPlenimetraParam scratch;
    const bool missing = std::string(label) == "missing";
    if (!missing)
      files.Put(bytes, "import.txt");
    const int result = scratch.m_AreaTree2.Load3(&scratch, files.Path(missing ? "none.txt" : "import.txt"));
    if (result == 1 && !scratch.m_AreaTree2.m_Child.empty())
      doc.m_AreaTree2.InsertTree(&doc, scratch, scratch.m_AreaTree2.m_Child.front());
    EXPECT_TRUE(doc == before) << label;
  }
  CPlenimetraParam scratch;
  files.Put(kExampleFile, "import.txt");
  ASSERT_EQ(scratch.m_AreaTree2.Load3(&scratch, files.Path("import.txt")), 1);
  doc.m_AreaTree2.InsertTree(&doc, scratch, scratch.m_AreaTree2.m_Child.front());
  EXPECT_EQ(doc.m_AreaTree2.m_Child.size(), 2u);
}

// ---- writing ----

TEST_F(PatternFileTest, SaveReplacesAFileOnlyWithAWholeCopy)
{
  ExamplePattern(doc);
  files.Put("old", "p.txt");
  ASSERT_TRUE(Save(doc));
  EXPECT_EQ(files.Contents("p.txt"), kExampleFile);
  EXPECT_FALSE(std::filesystem::exists(files.File("p.txt.tmp")));

  const GS::UniString nowhere = GS::UniString((files.File("no/such/dir").string() + "/p.txt").c_str(), CC_UTF8);
  EXPECT_FALSE(doc.m_AreaTree2.m_Child[0].Save3(&doc, nowhere));
  EXPECT_FALSE(std::filesystem::exists(files.File("no")));
}

// What the reader would refuse is not written: the old file stays.
TEST_F(PatternFileTest, SaveRefusesWhatTheReaderWouldRefuse)
{
  files.Put("old", "p.txt");
  CPlenimetraParam bare;
  Add(bare, u"T", 1, 0, CAreaTree::KIND_FOLDER);
  EXPECT_FALSE(Save(bare));

  CPlenimetraParam elementOnly = bare;
  Add(elementOnly, u"E", 2, 1, CAreaTree::KIND_ELEMENT_LIST);
  EXPECT_FALSE(Save(elementOnly));

  CPlenimetraParam longName;
  ExamplePattern(longName);
  longName.GetAreaObject(2)->m_Name.m_DefaultName = GS::UniString(std::u16string(40000, u'階').c_str());
  EXPECT_FALSE(Save(longName));

  CPlenimetraParam deep;
  Add(deep, u"T", 1, 0, CAreaTree::KIND_FOLDER);
  for (int code = 2; code <= CAreaTree::kMaxTreeDepth; ++code)
    Add(deep, u"F", code, code - 1, CAreaTree::KIND_FOLDER);
  // Edits refuse a level past the cap, so the last one is hung on by hand.
  Add(deep, u"F", CAreaTree::kMaxTreeDepth + 1, 1, CAreaTree::KIND_FOLDER);
  CAreaTree& top = deep.m_AreaTree2.m_Child[0];
  CAreaTree extra = top.m_Child.back();
  top.m_Child.pop_back();
  CAreaTree* level = &top;
  while (!level->m_Child.empty())
    level = &level->m_Child.back();
  level->m_Child.push_back(extra);
  ASSERT_EQ(deep.m_AreaTree2.GetHeight(), CAreaTree::kMaxTreeDepth + 1);
  EXPECT_FALSE(Save(deep));
  EXPECT_EQ(files.Contents("p.txt"), "old");
}

}  // namespace
