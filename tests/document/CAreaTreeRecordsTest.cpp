// The three stored forms of a calculation tree: golden bytes of the nested
// form, round trips of all three, the version gates of old records, and
// stored data that the readers refuse or repair.

#include "DocTestSupport.h"

#include <climits>

namespace {

// A node of the nested form: break mark, operator, preset id, code, kind,
// the two rounding items (cut at 2), expand flag, layer, the child count.
StoredBytes& Node(StoredBytes& b, int code, int children, int kind = 2, int op = 1)
{
  return b.Bool(false).Int(op).Int(0).Int(code).Int(kind).Int(2).Int(2).Int(2).Int(2).Bool(true).Short(0).Int(children);
}

// A record of the flat forms: name, code, parent, kind, then both rounding
// items (cut at 2).
StoredBytes& Flat(StoredBytes& b, const std::string& name, int code, int parent, int kind = 2)
{
  return b.Text(name).Int(code).Int(parent).Int(kind).Int(2).Int(2).Int(2).Int(2);
}

// A pattern whose nodes carry rounding pairs of their own.
PatternDoc SamplePattern()
{
  PatternDoc p;
  const int f = p.AddFolder(PatternDoc::kBuildingCode, u"1階");
  const int e = p.AddElement(f, u"居室");
  p.AddElement(PatternDoc::kBuildingCode, u"廊下");
  p.Node(f)->m_RoundTypeTotal = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 1);
  p.Node(e)->m_RoundTypeFloor = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_HALFUP, 3);
  p.Node(e)->m_RoundTypeTotal = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_DEFAULT, 6);
  return p;
}

// The tree's codes, kinds and rounding pairs, and its objects' names.
std::vector<std::string> Shape(CPlenimetraParam& doc, const CAreaTree& node)
{
  std::vector<std::string> out;
  for (const CAreaTree& child : node.m_Child) {
    char line[160];
    std::snprintf(line, sizeof line, "%d %d/%d %d/%d %s", child.m_AreaCode, int(child.m_RoundTypeTotal.m_Type),
                  child.m_RoundTypeTotal.m_Digit, int(child.m_RoundTypeFloor.m_Type), child.m_RoundTypeFloor.m_Digit,
                  doc.GetAreaObject(child.m_AreaCode)->m_Name.m_DefaultName.ToStdString(CC_UTF8).c_str());
    out.push_back(line);
    for (const std::string& below : Shape(doc, child))
      out.push_back("  " + below);
  }
  return out;
}

// The codes down the first children, the root's own included.
std::vector<int> FirstLine(const CAreaTree& root)
{
  std::vector<int> codes;
  for (const CAreaTree* node = &root; !node->m_Child.empty(); node = &node->m_Child[0])
    codes.push_back(node->m_Child[0].m_AreaCode);
  return codes;
}

class TreeRecordTest : public DocTest {
protected:
  // Stores the bytes as a record of the version and reads them as a tree.
  unsigned int ReadNested(const StoredBytes& bytes, CAreaTree& tree, bool expected, int version = 1047)
  {
    record.Store(version, bytes.Get());
    return record.ReadThrown([&](CArchive& ar) { EXPECT_EQ(tree.Serialize(ar, &p.doc), expected); });
  }

  PatternDoc p;
};

// ---- nested form ----

TEST_F(TreeRecordTest, TheNestedFormWritesEachNodeBeforeItsChildren)
{
  CAreaTree root;
  CAreaTree child;
  child.m_AreaCode = 1;
  child.m_CrMark.m_bCr = true;
  child.m_Operator = 2;
  child.m_RoundTypeId = 3;
  child.m_RoundTypeTotal = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 1);
  child.m_RoundTypeFloor = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_HALFUP, 4);
  child.m_Expand = false;
  child.m_Layer = 5;
  CAreaTree element;
  element.m_AreaCode = -2;
  child.m_Child.push_back(element);
  root.m_Child.push_back(child);

  record.Write(1047, [&](CArchive& ar) { EXPECT_TRUE(root.Serialize(ar, &p.doc)); });
  StoredBytes expected;
  expected.Bool(false).Int(1).Int(0).Int(0).Int(2).Int(2).Int(2).Int(2).Int(2).Bool(true).Short(0).Int(1);  // root
  expected.Bool(true).Int(2).Int(3).Int(1).Int(2).Int(3).Int(1).Int(1).Int(4).Bool(false).Short(5).Int(1);  // folder 1
  expected.Bool(false).Int(1).Int(0).Int(-2).Int(0).Int(2).Int(2).Int(2).Int(2).Bool(true).Short(0).Int(0);  // element
  EXPECT_EQ(record.Bytes(host), expected.Get());
}

TEST_F(TreeRecordTest, TheNestedFormRoundTripsEveryStoredField)
{
  const int f = p.AddFolder(PatternDoc::kBuildingCode, u"F", COperatorTable::OPERATOR_MINUS);
  CAreaTree& node = *p.Node(p.AddElement(f, u"E"));
  node.m_CrMark.m_bCr = true;
  node.m_Layer = 3;
  node.m_Expand = false;
  node.m_RoundTypeFloor = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 0);
  p.Node(PatternDoc::kTopCode)->m_RoundTypeId = 6;

  record.Write(1047, [&](CArchive& ar) { p.doc.m_AreaTree2.Serialize(ar, &p.doc); });
  CAreaTree back;
  ASSERT_TRUE(record.Read([&](CArchive& ar) { return back.Serialize(ar, &p.doc); }));
  EXPECT_TRUE(back == p.doc.m_AreaTree2);
}

TEST_F(TreeRecordTest, OldRecordsLeaveTheFieldsTheyLackAsTheyWere)
{
  // Version 1010: no rounding items, expand flag or layer.
  StoredBytes old;
  old.Bool(false).Int(1).Int(0).Int(0).Int(2).Int(1);
  old.Bool(true).Int(2).Int(4).Int(PatternDoc::kBuildingCode).Int(2).Int(0);
  CAreaTree back;
  back.m_Child.resize(1);
  back.m_Child[0].m_Layer = 9;  // the child at that place keeps what the record lacks
  EXPECT_EQ(ReadNested(old, back, true, 1010), 0u);
  ASSERT_EQ(back.m_Child.size(), 1u);
  const CAreaTree& folder = back.m_Child[0];
  EXPECT_EQ(folder.m_AreaCode, PatternDoc::kBuildingCode);
  EXPECT_EQ(folder.m_Operator, 2);
  EXPECT_EQ(folder.m_RoundTypeId, 4);
  EXPECT_TRUE(folder.m_CrMark.m_bCr);
  EXPECT_EQ(folder.m_RoundTypeTotal, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_CUT, 2));
  EXPECT_TRUE(folder.m_Expand);
  EXPECT_EQ(folder.m_Layer, 9);

  // Version 1020 has the items and the expand flag but no layer.
  StoredBytes v1020;
  v1020.Bool(false).Int(1).Int(0).Int(0).Int(2).Int(2).Int(2).Int(2).Int(2).Bool(true).Int(1);
  v1020.Bool(false).Int(1).Int(0).Int(PatternDoc::kBuildingCode).Int(2).Int(1).Int(0).Int(3).Int(5).Bool(false).Int(0);
  EXPECT_EQ(ReadNested(v1020, back, true, 1020), 0u);
  ASSERT_EQ(back.m_Child.size(), 1u);
  EXPECT_EQ(back.m_Child[0].m_RoundTypeTotal, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_HALFUP, 0));
  EXPECT_EQ(back.m_Child[0].m_RoundTypeFloor, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 5));
  EXPECT_FALSE(back.m_Child[0].m_Expand);
}

TEST_F(TreeRecordTest, ABadOperatorBecomesPlusAndANodeWithoutObjectIsDropped)
{
  StoredBytes data;
  Node(Node(Node(data, 0, 2), PatternDoc::kBuildingCode, 0, 2, 7), -50, 0, 0);
  CAreaTree back;
  EXPECT_EQ(ReadNested(data, back, false), 0u);
  ASSERT_EQ(back.m_Child.size(), 1u);
  EXPECT_EQ(back.m_Child[0].m_AreaCode, PatternDoc::kBuildingCode);
  EXPECT_EQ(back.m_Child[0].m_Operator, COperatorTable::OPERATOR_PLUS);
}

TEST_F(TreeRecordTest, CountsThatCannotFitTreesTooDeepAndCutRecordsAreRefused)
{
  CAreaTree back;
  StoredBytes negative;
  EXPECT_EQ(ReadNested(Node(negative, 0, -1), back, false), CArchive::kPastEnd);
  StoredBytes huge;
  EXPECT_EQ(ReadNested(Node(huge, 0, 100000000), back, false), CArchive::kPastEnd);
  EXPECT_LT(back.m_Child.capacity(), 1000u);

  StoredBytes deep;
  for (int level = 0; level <= CAreaTree::kMaxTreeDepth + 1; ++level)
    Node(deep, PatternDoc::kBuildingCode, 1);
  EXPECT_EQ(ReadNested(Node(deep, PatternDoc::kBuildingCode, 0), back, false), CArchive::kPastEnd);

  // A record ending half way leaves only whole nodes.
  StoredBytes cut;
  Node(Node(cut, 0, 2), PatternDoc::kBuildingCode, 0).Bool(false).Int(1).Int(0).Int(PatternDoc::kTopCode);
  CAreaTree partial;
  EXPECT_EQ(ReadNested(cut, partial, false), CArchive::kPastEnd);
  ASSERT_EQ(partial.m_Child.size(), 1u);
  EXPECT_EQ(partial.m_Child[0].m_AreaCode, PatternDoc::kBuildingCode);
}

// A tree built past the readers' depth by hand is refused by the writers;
// the project record keeps what was stored before.
TEST_F(TreeRecordTest, TheWritersRefuseATreeTheirReadersWouldRefuse)
{
  CAreaTree deep;
  CAreaTree* level = &deep;
  for (int depth = 1; depth <= CAreaTree::kMaxTreeDepth + 1; ++depth) {
    level->m_Child.emplace_back();
    level = &level->m_Child.back();
    level->m_AreaCode = PatternDoc::kBuildingCode;
  }
  record.Write(1047, [](CArchive& ar) { ar << 1; });
  const std::vector<char> before = record.Bytes(host);
  EXPECT_EQ(ThrownBy([&] { record.Write(1047, [&](CArchive& ar) { deep.Serialize(ar, &p.doc); }); }),
            CArchive::kTooLong);
  EXPECT_EQ(ThrownBy([&] { record.Write(1047, [&](CArchive& ar) { deep.SerializeEnv(ar, &p.doc, nullptr); }); }),
            CArchive::kTooLong);
  EXPECT_EQ(record.Bytes(host), before);
  // One level less is stored and read back.
  deep.m_Child[0].m_Child = std::move(deep.m_Child[0].m_Child[0].m_Child);
  record.Write(1047, [&](CArchive& ar) { EXPECT_TRUE(deep.Serialize(ar, &p.doc)); });
  CAreaTree back;
  EXPECT_EQ(record.ReadThrown([&](CArchive& ar) { back.Serialize(ar, &p.doc); }), 0u);
  EXPECT_EQ(back.GetHeight(), CAreaTree::kMaxTreeDepth);
}

// ---- flat forms ----

class FlatRecordTest : public TreeRecordTest {
protected:
  // A file of the version holding the node count and the tree's records.
  void WriteFile(CPlenimetraParam& project, int version)
  {
    CFileArchive ar(files.Path());
    ASSERT_EQ(ar.Save(version), 0);
    int count = 0;
    project.m_AreaTree2.Write3(ar, &project, &count);
    ar << count;
    EXPECT_TRUE(project.m_AreaTree2.Write3(ar, &project, nullptr));
  }
  bool ReadFile(CPlenimetraParam& project)
  {
    CFileArchive ar(files.Path());
    EXPECT_EQ(ar.Open(), 0);
    return project.m_AreaTree2.Read3(ar, &project);
  }
  // A settings file of version 24 holding the body.
  void Put(const StoredBytes& body) { files.Put(StoredBytes().Int(24).Append(body).Str()); }

  SandboxFiles files;
};

TEST_F(FlatRecordTest, TheSettingsFileFormRebuildsTreeObjectsAndEachNodesRoundingInBothNameForms)
{
  for (int version : {24, 21}) {
    PatternDoc sample = SamplePattern();
    WriteFile(sample.doc, version);
    CPlenimetraParam back;
    ASSERT_TRUE(ReadFile(back));
    EXPECT_EQ(Shape(back, back.m_AreaTree2), Shape(sample.doc, sample.doc.m_AreaTree2));
    EXPECT_EQ(back.m_LastAreaCode, 5);
    EXPECT_EQ(back.m_Area2ObjectArray.size(), 2u);
    EXPECT_EQ(back.m_Area4ObjectArray.size(), 3u);
  }
  // Old files carry names as Shift-JIS texts: 建物 is 8C 9A 95 A8.
  EXPECT_NE(files.Contents().find("\x04\x00\x8C\x9A\x95\xA8\x00", 0, 7), std::string::npos);
}

TEST_F(FlatRecordTest, AFirstParentOfIntMaxBuildsTheSameTreeAsZero)
{
  StoredBytes body = StoredBytes().Int(2);
  Flat(body, "A", 1, INT_MAX).Text("B").Int(2).Int(1).Int(0).Int(1).Int(3).Int(3).Int(0);
  Put(body);
  CPlenimetraParam back;
  ASSERT_TRUE(ReadFile(back));
  EXPECT_EQ(FirstLine(back.m_AreaTree2), (std::vector<int>{1, -2}));
  const CAreaTree& b = back.m_AreaTree2.m_Child[0].m_Child[0];
  EXPECT_EQ(b.m_RoundTypeTotal, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_HALFUP, 3));
  EXPECT_EQ(b.m_RoundTypeFloor, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 0));
}

TEST_F(FlatRecordTest, UnreadableFilesFallBackToTheDefaultTreeAndAreReported)
{
  StoredBytes ending = StoredBytes().Int(3);  // then the file ends
  StoredBytes below = StoredBytes().Int(1);   // the first record below another node
  StoredBytes huge = StoredBytes().Int(50000000);
  for (StoredBytes* body : {&ending, &below, &huge}) {
    Flat(*body, "A", 1, body == &below ? 5 : 0);
    Put(*body);
    CPlenimetraParam back;
    EXPECT_FALSE(ReadFile(back));
    EXPECT_EQ(FirstLine(back.m_AreaTree2), std::vector<int>{1});
    EXPECT_EQ(back.m_AreaTree2.m_Child.size(), 1u);
    EXPECT_EQ(back.GetAreaObject(1)->m_Name.m_DefaultName, GS::UniString(u"建物"));
    EXPECT_EQ(back.m_Area4ObjectArray.size(), 1u);
    EXPECT_EQ(back.m_LastAreaCode, 1);
  }
}

TEST_F(FlatRecordTest, RecordsThatWouldBreakTheCodeCounterAreDroppedAndReported)
{
  StoredBytes body = StoredBytes().Int(5);
  Flat(body, "A", 1, 0);
  Flat(body, "max", INT_MAX, 1, 0);  // the counter could not pass it
  Flat(body, "dup", 1, 1);           // folder code of A again
  Flat(body, "kind", 3, 1, 5);       // no such kind
  Flat(body, "B", 4, 1, 0);
  Put(body);
  CPlenimetraParam back;
  EXPECT_FALSE(ReadFile(back));
  EXPECT_EQ(FirstLine(back.m_AreaTree2), (std::vector<int>{1, -4}));
  EXPECT_EQ(back.m_AreaTree2.m_Child[0].m_Child.size(), 1u);
  EXPECT_EQ(back.m_LastAreaCode, 4);
  EXPECT_EQ(back.m_Area2ObjectArray.size(), 1u);
}

TEST_F(FlatRecordTest, AChainDeeperThanTheCapKeepsItsObjectsButNotTheDeepNodes)
{
  const int n = CAreaTree::kMaxTreeDepth + 3;
  StoredBytes body = StoredBytes().Int(n);
  for (int i = 1; i <= n; ++i)
    Flat(body, "F", i, i - 1);
  Put(body);
  CPlenimetraParam back;
  EXPECT_FALSE(ReadFile(back));
  EXPECT_EQ(FirstLine(back.m_AreaTree2).size(), std::size_t(CAreaTree::kMaxTreeDepth));
}

TEST_F(TreeRecordTest, TheProjectRecordsFlatFormRoundTripsInBothNameForms)
{
  for (int version : {1047, 1042}) {
    PatternDoc sample = SamplePattern();
    record.Write(version, [&](CArchive& ar) {
      int count = 0;
      sample.doc.m_AreaTree2.SerializeEnv(ar, &sample.doc, &count);
      EXPECT_EQ(count, 5);
      ar << count;
      sample.doc.m_AreaTree2.SerializeEnv(ar, &sample.doc, nullptr);
    });
    CPlenimetraParam back;
    EXPECT_TRUE(record.Read([&](CArchive& ar) { return back.m_AreaTree2.SerializeEnv(ar, &back, nullptr); }));
    EXPECT_EQ(Shape(back, back.m_AreaTree2), Shape(sample.doc, sample.doc.m_AreaTree2)) << version;
    EXPECT_EQ(back.m_LastAreaCode, 5);
  }
}

// Found by fuzzing: the records before the end made objects, and the code
// counter stayed behind them.
TEST_F(TreeRecordTest, FlatRecordsEndingHalfWayLeaveATreeAndACounterPastEveryCode)
{
  StoredBytes cut = StoredBytes().Int(3);
  Flat(Flat(cut, "P", 5, 0), "E", 7, 5, 0).Text(std::string(40, 'F')).Int(8);  // ends here, yet the count fitted
  record.Store(1047, cut.Get());
  CPlenimetraParam back;
  EXPECT_EQ(record.ReadThrown([&](CArchive& ar) { back.m_AreaTree2.SerializeEnv(ar, &back, nullptr); }),
            CArchive::kPastEnd);
  EXPECT_EQ(back.m_LastAreaCode, 7);
  EXPECT_EQ(FirstLine(back.m_AreaTree2), (std::vector<int>{5, -7}));
  EXPECT_EQ(back.m_AreaTree2.m_Child.size(), 1u);
}

// An imported pattern may hold an element and a folder of one number; both
// stored flat forms keep them.
TEST_F(FlatRecordTest, AnElementAndAFolderSharingANumberSurviveBothFlatForms)
{
  PatternDoc sample;
  const CRoundTypeItem item(CRoundTypeTable::ROUNDTYPE_CUT, 2);
  sample.doc.m_AreaTree2.Insert(&sample.doc, GS::UniString(u"同番"), PatternDoc::kBuildingCode,
                                PatternDoc::kBuildingCode, CAreaTree::KIND_ELEMENT_LIST, item, item);
  WriteFile(sample.doc, 24);
  CPlenimetraParam fromFile;
  EXPECT_TRUE(ReadFile(fromFile));
  EXPECT_EQ(FirstLine(fromFile.m_AreaTree2), (std::vector<int>{1, 2, -2}));

  record.Write(1047, [&](CArchive& ar) {
    ar << 3;
    sample.doc.m_AreaTree2.SerializeEnv(ar, &sample.doc, nullptr);
  });
  CPlenimetraParam fromRecord;
  EXPECT_TRUE(record.Read([&](CArchive& ar) { return fromRecord.m_AreaTree2.SerializeEnv(ar, &fromRecord, nullptr); }));
  EXPECT_EQ(Shape(fromRecord, fromRecord.m_AreaTree2), Shape(sample.doc, sample.doc.m_AreaTree2));
}

TEST_F(TreeRecordTest, TreeArraysWriteTheirCountThenEachTree)
{
  PatternDoc sample = SamplePattern();
  CAreaTreeArray trees;
  trees.push_back(sample.doc.m_AreaTree2);
  record.Write(1047, [&](CArchive& ar) { EXPECT_TRUE(trees.SerializeEnv(ar, &sample.doc)); });
  const std::vector<char> bytes = record.Bytes(host);
  ASSERT_GE(bytes.size(), 8u);
  EXPECT_EQ(std::vector<char>(bytes.begin(), bytes.begin() + 8), StoredBytes().Int(1).Int(5).Get());  // trees, nodes

  // The stored count decides, not the trees the array held before.
  CPlenimetraParam back;
  CAreaTreeArray read(3);
  EXPECT_TRUE(record.Read([&](CArchive& ar) { return read.SerializeEnv(ar, &back); }));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(Shape(back, read[0]), Shape(sample.doc, sample.doc.m_AreaTree2));

  record.Store(1047, StoredBytes().Int(1000000).Int(0).Get());
  CAreaTreeArray refused;
  EXPECT_EQ(record.ReadThrown([&](CArchive& ar) { refused.SerializeEnv(ar, &back); }), CArchive::kPastEnd);
  EXPECT_TRUE(refused.empty());
}

TEST_F(FlatRecordTest, TreeArraysInTheSettingsFileReadAsManyTreesAsStored)
{
  PatternDoc sample = SamplePattern();
  CAreaTreeArray trees;
  trees.push_back(sample.doc.m_AreaTree2);
  trees.push_back(CAreaTree());
  {
    CFileArchive ar(files.Path());
    ASSERT_EQ(ar.Save(24), 0);
    EXPECT_TRUE(trees.Write3(ar, &sample.doc));
  }
  CPlenimetraParam back;
  CAreaTreeArray read;
  {
    CFileArchive ar(files.Path());
    ASSERT_EQ(ar.Open(), 0);
    EXPECT_TRUE(read.Read3(ar, &back));
  }
  ASSERT_EQ(read.size(), 2u);
  EXPECT_TRUE(read[1].m_Child.empty());

  Put(StoredBytes().Int(1000000).Int(0));
  CFileArchive ar(files.Path());
  ASSERT_EQ(ar.Open(), 0);
  CAreaTreeArray refused;
  EXPECT_FALSE(refused.Read3(ar, &back));
  EXPECT_TRUE(refused.empty());
  EXPECT_EQ(ar.GetError(), 3);
}

}  // namespace
