// The three stored forms of a calculation tree: golden bytes of the nested
// form, round trips of all three, the version gates of old records, and
// stored data that the readers refuse or repair.

#include "CArchive.h"
#include "CAreaTree.h"
#include "DocCoreTestSupport.h"
#include "HostFixture.h"
#include "io_filesystem.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const kRecord = "PLENIMETRA";

// Little-endian bytes of a list of fields, each given with its width.
class Bytes {
public:
  Bytes& I(int v) { return Put(&v, 4); }
  Bytes& S(short v) { return Put(&v, 2); }
  Bytes& B(bool v) { return Put(&v, 1); }
  Bytes& Text(const std::string& t)
  {
    S(static_cast<short>(t.size()));
    bytes.insert(bytes.end(), t.begin(), t.end());
    bytes.push_back(0);
    return *this;
  }
  std::vector<char> bytes;

private:
  Bytes& Put(const void* v, std::size_t n)
  {
    const char* p = static_cast<const char*>(v);
    bytes.insert(bytes.end(), p, p + n);
    return *this;
  }
};

template <typename Body>
unsigned int ThrownBy(Body body)
{
  try {
    body();
  } catch (unsigned int code) {
    return code;
  }
  return 0;
}

class TreeRecordTest : public ::testing::Test {
protected:
  template <typename Writer>
  std::vector<char> Write(Writer writer, int version = 1047)
  {
    {
      CArchiveOld ar(kRecord);
      ar.Save(version);
      writer(ar);
    }
    return host.ModulData(GS::UniString(kRecord))->bytes;
  }

  template <typename Reader>
  void Read(const std::vector<char>& bytes, int version, Reader reader)
  {
    {
      CArchiveOld ar(kRecord);
      ar.Save(version);
      ar.Write(bytes.data(), static_cast<int>(bytes.size()));
    }
    CArchiveOld ar(kRecord);
    ASSERT_EQ(ar.Open(), 0);
    reader(ar);
  }

  HostFixture host;
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

  CPlenimetraParam doc;
  const std::vector<char> written = Write([&](CArchive& ar) { EXPECT_TRUE(root.Serialize(ar, &doc)); });
  Bytes expected;
  expected.B(false).I(1).I(0).I(0).I(2).I(2).I(2).I(2).I(2).B(true).S(0).I(1);     // root, kind 2
  expected.B(true).I(2).I(3).I(1).I(2).I(3).I(1).I(1).I(4).B(false).S(5).I(1);     // folder 1
  expected.B(false).I(1).I(0).I(-2).I(0).I(2).I(2).I(2).I(2).B(true).S(0).I(0);    // element, kind 0
  EXPECT_EQ(written, expected.bytes);
}

TEST_F(TreeRecordTest, TheNestedFormRoundTripsEveryStoredField)
{
  PatternDoc p;
  const int f = p.AddFolder(PatternDoc::kBuildingCode, u"F", COperatorTable::OPERATOR_MINUS);
  const int e = p.AddElement(f, u"E");
  CAreaTree& node = *p.Node(e);
  node.m_CrMark.m_bCr = true;
  node.m_Layer = 3;
  node.m_Expand = false;
  node.m_RoundTypeFloor = CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 0);
  p.Node(PatternDoc::kTopCode)->m_RoundTypeId = 6;

  const std::vector<char> bytes = Write([&](CArchive& ar) { p.doc.m_AreaTree2.Serialize(ar, &p.doc); });
  CAreaTree back;
  Read(bytes, 1047, [&](CArchive& ar) { EXPECT_TRUE(back.Serialize(ar, &p.doc)); });
  EXPECT_TRUE(back == p.doc.m_AreaTree2);
}

TEST_F(TreeRecordTest, OldRecordsLeaveTheFieldsTheyLackAsTheyWere)
{
  PatternDoc p;
  // Version 1010: no rounding items, expand flag or layer.
  Bytes old;
  old.B(false).I(1).I(0).I(0).I(2).I(1);
  old.B(true).I(2).I(4).I(PatternDoc::kBuildingCode).I(2).I(0);
  CAreaTree back;
  back.m_Child.resize(1);
  back.m_Child[0].m_Layer = 9;  // the child at that place keeps what the record lacks
  Read(old.bytes, 1010, [&](CArchive& ar) { EXPECT_TRUE(back.Serialize(ar, &p.doc)); });
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
  Bytes v1020;
  v1020.B(false).I(1).I(0).I(0).I(2).I(2).I(2).I(2).I(2).B(true).I(1);
  v1020.B(false).I(1).I(0).I(PatternDoc::kBuildingCode).I(2).I(1).I(0).I(3).I(5).B(false).I(0);
  Read(v1020.bytes, 1020, [&](CArchive& ar) { EXPECT_TRUE(back.Serialize(ar, &p.doc)); });
  EXPECT_EQ(back.m_Child[0].m_RoundTypeTotal, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_HALFUP, 0));
  EXPECT_EQ(back.m_Child[0].m_RoundTypeFloor, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 5));
  EXPECT_FALSE(back.m_Child[0].m_Expand);
}

TEST_F(TreeRecordTest, ABadOperatorBecomesPlusAndANodeWithoutObjectIsDropped)
{
  PatternDoc p;
  Bytes data;
  data.B(false).I(1).I(0).I(0).I(2).I(2).I(2).I(2).I(2).B(true).S(0).I(2);
  data.B(false).I(7).I(0).I(PatternDoc::kBuildingCode).I(2).I(2).I(2).I(2).I(2).B(true).S(0).I(0);
  data.B(false).I(1).I(0).I(-50).I(0).I(2).I(2).I(2).I(2).B(true).S(0).I(0);
  CAreaTree back;
  Read(data.bytes, 1047, [&](CArchive& ar) { EXPECT_FALSE(back.Serialize(ar, &p.doc)); });
  ASSERT_EQ(back.m_Child.size(), 1u);
  EXPECT_EQ(back.m_Child[0].m_AreaCode, PatternDoc::kBuildingCode);
  EXPECT_EQ(back.m_Child[0].m_Operator, COperatorTable::OPERATOR_PLUS);
}

TEST_F(TreeRecordTest, CountsThatCannotFitAndTreesTooDeepAreRefused)
{
  PatternDoc p;
  CAreaTree back;
  Bytes negative;
  negative.B(false).I(1).I(0).I(0).I(2).I(2).I(2).I(2).I(2).B(true).S(0).I(-1);
  Read(negative.bytes, 1047, [&](CArchive& ar) { EXPECT_EQ(ThrownBy([&] { back.Serialize(ar, &p.doc); }), 2u); });
  Bytes huge;
  huge.B(false).I(1).I(0).I(0).I(2).I(2).I(2).I(2).I(2).B(true).S(0).I(100000000);
  Read(huge.bytes, 1047, [&](CArchive& ar) { EXPECT_EQ(ThrownBy([&] { back.Serialize(ar, &p.doc); }), 2u); });
  EXPECT_LT(back.m_Child.capacity(), 1000u);

  Bytes deep;
  for (int level = 0; level <= CAreaTree::kMaxTreeDepth + 1; ++level)
    deep.B(false).I(1).I(0).I(PatternDoc::kBuildingCode).I(2).I(2).I(2).I(2).I(2).B(true).S(0).I(1);
  deep.B(false).I(1).I(0).I(PatternDoc::kBuildingCode).I(2).I(2).I(2).I(2).I(2).B(true).S(0).I(0);
  Read(deep.bytes, 1047, [&](CArchive& ar) { EXPECT_EQ(ThrownBy([&] { back.Serialize(ar, &p.doc); }), 2u); });
}

TEST_F(TreeRecordTest, ARecordEndingHalfWayLeavesOnlyWholeNodes)
{
  PatternDoc p;
  Bytes cut;
  cut.B(false).I(1).I(0).I(0).I(2).I(2).I(2).I(2).I(2).B(true).S(0).I(2);
  cut.B(false).I(1).I(0).I(PatternDoc::kBuildingCode).I(2).I(2).I(2).I(2).I(2).B(true).S(0).I(0);
  cut.B(false).I(1).I(0).I(PatternDoc::kTopCode);  // the second child ends here
  CAreaTree back;
  Read(cut.bytes, 1047, [&](CArchive& ar) { EXPECT_EQ(ThrownBy([&] { back.Serialize(ar, &p.doc); }), 2u); });
  ASSERT_EQ(back.m_Child.size(), 1u);
  EXPECT_EQ(back.m_Child[0].m_AreaCode, PatternDoc::kBuildingCode);
}

// ---- flat forms ----

class FlatRecordTest : public TreeRecordTest {
protected:
  void SetUp() override
  {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = pln::host::SandboxRoot() / "doc-core" / test->name();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }

  GS::UniString Path() const { return GS::UniString((folder / "env.dat").string().c_str(), CC_UTF8); }

  // A file of the version holding the node count and the tree's records.
  void WriteFile(CPlenimetraParam& doc, int version)
  {
    CFileArchive ar(Path());
    ASSERT_EQ(ar.Save(version), 0);
    int count = 0;
    doc.m_AreaTree2.Write3(ar, &doc, &count);
    ar << count;
    EXPECT_TRUE(doc.m_AreaTree2.Write3(ar, &doc, nullptr));
  }
  void WriteRaw(int version, const Bytes& body)
  {
    std::ofstream out(folder / "env.dat", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&version), 4);
    out.write(body.bytes.data(), std::streamsize(body.bytes.size()));
  }
  bool ReadFile(CPlenimetraParam& doc)
  {
    CFileArchive ar(Path());
    EXPECT_EQ(ar.Open(), 0);
    return doc.m_AreaTree2.Read3(ar, &doc);
  }

  std::filesystem::path folder;
};

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

TEST_F(FlatRecordTest, TheSettingsFileFormRebuildsTreeObjectsAndEachNodesRounding)
{
  PatternDoc p = SamplePattern();
  WriteFile(p.doc, 24);
  CPlenimetraParam back;
  ASSERT_TRUE(ReadFile(back));
  EXPECT_EQ(Shape(back, back.m_AreaTree2), Shape(p.doc, p.doc.m_AreaTree2));
  EXPECT_EQ(back.m_LastAreaCode, 5);
  EXPECT_EQ(back.m_Area2ObjectArray.size(), 2u);
  EXPECT_EQ(back.m_Area4ObjectArray.size(), 3u);
}

TEST_F(FlatRecordTest, OldSettingsFilesCarryNamesAsShiftJisTexts)
{
  PatternDoc p = SamplePattern();
  WriteFile(p.doc, 21);
  CPlenimetraParam back;
  ASSERT_TRUE(ReadFile(back));
  EXPECT_EQ(Shape(back, back.m_AreaTree2), Shape(p.doc, p.doc.m_AreaTree2));
  // 建物 in Shift-JIS: 8C 9A 95 A8.
  std::ifstream in(folder / "env.dat", std::ios::binary);
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(file.find("\x04\x00\x8C\x9A\x95\xA8\x00", 0, 7), std::string::npos);
}

TEST_F(FlatRecordTest, AFirstParentOfIntMaxBuildsTheSameTreeAsZero)
{
  Bytes body;
  body.I(2);
  body.Text("A").I(1).I(INT_MAX).I(2).I(2).I(2).I(2).I(2);
  body.Text("B").I(2).I(1).I(0).I(1).I(3).I(3).I(0);
  WriteRaw(24, body);
  CPlenimetraParam back;
  ASSERT_TRUE(ReadFile(back));
  ASSERT_EQ(back.m_AreaTree2.m_Child.size(), 1u);
  EXPECT_EQ(back.m_AreaTree2.m_Child[0].m_AreaCode, 1);
  ASSERT_EQ(back.m_AreaTree2.m_Child[0].m_Child.size(), 1u);
  const CAreaTree& b = back.m_AreaTree2.m_Child[0].m_Child[0];
  EXPECT_EQ(b.m_AreaCode, -2);
  EXPECT_EQ(b.m_RoundTypeTotal, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_HALFUP, 3));
  EXPECT_EQ(b.m_RoundTypeFloor, CRoundTypeItem(CRoundTypeTable::ROUNDTYPE_UP, 0));
}

TEST_F(FlatRecordTest, AReadErrorFallsBackToTheDefaultTreeAndIsReported)
{
  Bytes body;
  body.I(3);
  body.Text("A").I(1).I(0).I(2).I(2).I(2).I(2).I(2);  // then the file ends
  WriteRaw(24, body);
  CPlenimetraParam back;
  EXPECT_FALSE(ReadFile(back));
  ASSERT_EQ(back.m_AreaTree2.m_Child.size(), 1u);
  EXPECT_EQ(back.m_AreaTree2.m_Child[0].m_AreaCode, 1);
  EXPECT_EQ(back.GetAreaObject(1)->m_Name.m_DefaultName, GS::UniString(u"建物"));
  EXPECT_TRUE(back.m_AreaTree2.m_Child[0].m_Child.empty());
  EXPECT_EQ(back.m_Area4ObjectArray.size(), 1u);
  EXPECT_EQ(back.m_LastAreaCode, 1);
}

TEST_F(FlatRecordTest, AFirstRecordBelowAnotherNodeIsRefused)
{
  Bytes body;
  body.I(1);
  body.Text("A").I(1).I(5).I(2).I(2).I(2).I(2).I(2);
  WriteRaw(24, body);
  CPlenimetraParam back;
  EXPECT_FALSE(ReadFile(back));
  EXPECT_EQ(back.m_AreaTree2.m_Child.size(), 1u);  // the default tree
}

TEST_F(FlatRecordTest, RecordsThatWouldBreakTheCodeCounterAreDroppedAndReported)
{
  Bytes body;
  body.I(5);
  body.Text("A").I(1).I(0).I(2).I(2).I(2).I(2).I(2);
  body.Text("max").I(INT_MAX).I(1).I(0).I(2).I(2).I(2).I(2);  // the counter could not pass it
  body.Text("dup").I(1).I(1).I(0).I(2).I(2).I(2).I(2);        // code of A again
  body.Text("kind").I(3).I(1).I(5).I(2).I(2).I(2).I(2);       // no such kind
  body.Text("B").I(4).I(1).I(0).I(2).I(2).I(2).I(2);
  WriteRaw(24, body);
  CPlenimetraParam back;
  EXPECT_FALSE(ReadFile(back));
  ASSERT_EQ(back.m_AreaTree2.m_Child.size(), 1u);
  ASSERT_EQ(back.m_AreaTree2.m_Child[0].m_Child.size(), 1u);
  EXPECT_EQ(back.m_AreaTree2.m_Child[0].m_Child[0].m_AreaCode, -4);
  EXPECT_EQ(back.m_LastAreaCode, 4);
  EXPECT_EQ(back.m_Area2ObjectArray.size(), 1u);
}

TEST_F(FlatRecordTest, ACountLargerThanTheFileIsRefusedBeforeAnythingIsMade)
{
  Bytes body;
  body.I(50000000);
  body.Text("A").I(1).I(0).I(2).I(2).I(2).I(2).I(2);
  WriteRaw(24, body);
  CPlenimetraParam back;
  EXPECT_FALSE(ReadFile(back));
  EXPECT_EQ(back.m_Area4ObjectArray.size(), 1u);  // only the default tree's folder
}

TEST_F(FlatRecordTest, AChainDeeperThanTheCapKeepsItsObjectsButNotTheDeepNodes)
{
  Bytes body;
  const int n = CAreaTree::kMaxTreeDepth + 3;
  body.I(n);
  for (int i = 1; i <= n; ++i)
    body.Text("F").I(i).I(i - 1).I(2).I(2).I(2).I(2).I(2);
  WriteRaw(24, body);
  CPlenimetraParam back;
  EXPECT_FALSE(ReadFile(back));
  int depth = 0;
  for (const CAreaTree* node = &back.m_AreaTree2; !node->m_Child.empty(); node = &node->m_Child[0])
    ++depth;
  EXPECT_EQ(depth, CAreaTree::kMaxTreeDepth);
}

TEST_F(TreeRecordTest, TheProjectRecordsFlatFormRoundTripsInBothNameForms)
{
  for (int version : {1047, 1042}) {
    PatternDoc p = SamplePattern();
    const std::vector<char> bytes = Write(
        [&](CArchive& ar) {
          int count = 0;
          p.doc.m_AreaTree2.SerializeEnv(ar, &p.doc, &count);
          EXPECT_EQ(count, 5);
          ar << count;
          p.doc.m_AreaTree2.SerializeEnv(ar, &p.doc, nullptr);
        },
        version);
    CPlenimetraParam back;
    Read(bytes, version, [&](CArchive& ar) { EXPECT_TRUE(back.m_AreaTree2.SerializeEnv(ar, &back, nullptr)); });
    EXPECT_EQ(Shape(back, back.m_AreaTree2), Shape(p.doc, p.doc.m_AreaTree2)) << version;
    EXPECT_EQ(back.m_LastAreaCode, 5);
  }
}

// Found by fuzzing: the records before the end made objects, and the code
// counter stayed behind them.
TEST_F(TreeRecordTest, FlatRecordsEndingHalfWayLeaveATreeAndACounterPastEveryCode)
{
  Bytes cut;
  cut.I(3);
  cut.Text("P").I(5).I(0).I(2).I(2).I(2).I(2).I(2);
  cut.Text("E").I(7).I(5).I(0).I(2).I(2).I(2).I(2);
  cut.Text(std::string(40, 'F')).I(8);  // ends here, yet the count fitted what remained
  CPlenimetraParam back;
  Read(cut.bytes, 1047,
       [&](CArchive& ar) { EXPECT_EQ(ThrownBy([&] { back.m_AreaTree2.SerializeEnv(ar, &back, nullptr); }), 2u); });
  EXPECT_EQ(back.m_LastAreaCode, 7);
  ASSERT_EQ(back.m_AreaTree2.m_Child.size(), 1u);
  ASSERT_EQ(back.m_AreaTree2.m_Child[0].m_Child.size(), 1u);
  EXPECT_EQ(back.m_AreaTree2.m_Child[0].m_Child[0].m_AreaCode, -7);
}

TEST_F(TreeRecordTest, TreeArraysWriteTheirCountThenEachTree)
{
  PatternDoc p = SamplePattern();
  CAreaTreeArray trees;
  trees.push_back(p.doc.m_AreaTree2);
  const std::vector<char> bytes = Write([&](CArchive& ar) { EXPECT_TRUE(trees.SerializeEnv(ar, &p.doc)); });
  ASSERT_GE(bytes.size(), 8u);
  int count = 0;
  int nodes = 0;
  std::memcpy(&count, bytes.data(), 4);
  std::memcpy(&nodes, bytes.data() + 4, 4);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(nodes, 5);

  // The stored count decides, not the trees the array held before.
  CPlenimetraParam back;
  CAreaTreeArray read(3);
  Read(bytes, 1047, [&](CArchive& ar) { EXPECT_TRUE(read.SerializeEnv(ar, &back)); });
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(Shape(back, read[0]), Shape(p.doc, p.doc.m_AreaTree2));

  Bytes tooMany;
  tooMany.I(1000000).I(0);
  CAreaTreeArray refused;
  Read(tooMany.bytes, 1047, [&](CArchive& ar) { EXPECT_EQ(ThrownBy([&] { refused.SerializeEnv(ar, &back); }), 2u); });
  EXPECT_TRUE(refused.empty());
}

TEST_F(FlatRecordTest, TreeArraysInTheSettingsFileReadAsManyTreesAsStored)
{
  PatternDoc p = SamplePattern();
  CAreaTreeArray trees;
  trees.push_back(p.doc.m_AreaTree2);
  trees.push_back(CAreaTree());
  {
    CFileArchive ar(Path());
    ASSERT_EQ(ar.Save(24), 0);
    EXPECT_TRUE(trees.Write3(ar, &p.doc));
  }
  CPlenimetraParam back;
  CAreaTreeArray read;
  {
    CFileArchive ar(Path());
    ASSERT_EQ(ar.Open(), 0);
    EXPECT_TRUE(read.Read3(ar, &back));
  }
  ASSERT_EQ(read.size(), 2u);
  EXPECT_TRUE(read[1].m_Child.empty());

  Bytes tooMany;
  tooMany.I(1000000).I(0);
  WriteRaw(24, tooMany);
  CFileArchive ar(Path());
  ASSERT_EQ(ar.Open(), 0);
  CAreaTreeArray refused;
  EXPECT_FALSE(refused.Read3(ar, &back));
  EXPECT_TRUE(refused.empty());
  EXPECT_EQ(ar.GetError(), 3);
}

}  // namespace
