// The calculation patterns of the settings: position-by-position equality,
// the tree change test, and both stored forms (settings file and project
// record) round-tripping trees with the objects they name, with counts that
// cannot fit the data refused before anything is built.

#include "DocTestSupport.h"

namespace {

// Two patterns: a building with two elements under a subtotal folder, and
// one with a single element.
CPlenimetraParamArray TwoPatterns()
{
  PatternDoc first;
  const int floors = first.AddFolder(PatternDoc::kBuildingCode, u"小計");
  first.AddElement(floors, u"1階");
  first.AddElement(floors, u"吹抜", COperatorTable::OPERATOR_MINUS);
  PatternDoc second;
  second.AddElement(PatternDoc::kBuildingCode, u"敷地");
  CPlenimetraParamArray patterns;
  patterns.push_back(first.doc);
  patterns.push_back(second.doc);
  return patterns;
}

class CPlenimetraParamArrayTest : public DocTest {
protected:
  void WriteFile(const CPlenimetraParamArray& patterns)
  {
    CFileArchive ar(files.Path());
    ASSERT_EQ(ar.Save(24), 0);
    CPlenimetraParamArray(patterns).Write(ar);
    EXPECT_EQ(ar.GetError(), 0);
  }
  // Reads the file into the patterns; the reader's answer, *error the file's.
  bool ReadFile(CPlenimetraParamArray& patterns, int* error = nullptr)
  {
    CFileArchive ar(files.Path());
    EXPECT_EQ(ar.Open(), 0);
    const bool read = patterns.Read(ar);
    if (error != nullptr)
      *error = ar.GetError();
    return read;
  }
  std::vector<char> WriteRecord(const CPlenimetraParamArray& patterns)
  {
    record.Write(1047, [&](CArchive& ar) { EXPECT_TRUE(CPlenimetraParamArray(patterns).SerializeEnv(ar)); });
    return record.Bytes(host);
  }

  SandboxFiles files;
};

TEST_F(CPlenimetraParamArrayTest, PatternsComparePositionByPositionAndARenamedElementIsATreeChange)
{
  CPlenimetraParamArray a = TwoPatterns();
  CPlenimetraParamArray b = TwoPatterns();
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a.IsTreeChanged(b));
  EXPECT_FALSE(CPlenimetraParamArray().IsTreeChanged(CPlenimetraParamArray()));

  CAreaObject* element = b[1].FindAreaObject(b[1].m_AreaTree2.m_Child[0].m_Child[0].m_Child[0].m_AreaCode);
  ASSERT_NE(element, nullptr);
  element->m_Name.m_DefaultName = u"敷地2";
  EXPECT_TRUE(a.IsTreeChanged(b));
  EXPECT_TRUE(a != b);

  b = TwoPatterns();
  std::swap(b[0], b[1]);
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(a.IsTreeChanged(b));
  b.pop_back();
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(a.IsTreeChanged(b));
}

TEST_F(CPlenimetraParamArrayTest, AnEmptyArrayWritesOneZeroAndAPatternWithOnlyARootNodeCountZero)
{
  WriteFile(CPlenimetraParamArray());
  EXPECT_EQ(files.Contents(), StoredBytes().Int(24).Int(0).Str());
  EXPECT_EQ(WriteRecord(CPlenimetraParamArray()), StoredBytes().Int(0).Get());
  CPlenimetraParamArray read = TwoPatterns();
  EXPECT_TRUE(ReadFile(read));
  EXPECT_TRUE(read.empty());

  CPlenimetraParamArray rootOnly;
  rootOnly.resize(1);
  WriteFile(rootOnly);
  EXPECT_EQ(files.Contents(), StoredBytes().Int(24).Int(1).Int(0).Str());
  EXPECT_EQ(WriteRecord(rootOnly), StoredBytes().Int(1).Int(0).Get());
}

TEST_F(CPlenimetraParamArrayTest, BothFormsRoundTripTreesAndTheirObjects)
{
  const CPlenimetraParamArray patterns = TwoPatterns();
  WriteFile(patterns);
  // Patterns, then the nodes below the first root: pattern, building, folder, two elements.
  EXPECT_EQ(files.Contents().substr(4, 8), StoredBytes().Int(2).Int(5).Str());
  CPlenimetraParamArray fromFile;
  fromFile.resize(3);
  ASSERT_TRUE(ReadFile(fromFile));
  ASSERT_EQ(fromFile.size(), 2u);
  EXPECT_FALSE(patterns.IsTreeChanged(fromFile));
  EXPECT_EQ(fromFile[0].m_Area2ObjectArray.size(), 2u);
  EXPECT_EQ(fromFile[0].m_Area4ObjectArray.size(), 3u);
  EXPECT_EQ(fromFile[1].m_Area2ObjectArray.size(), 1u);

  const std::vector<char> bytes = WriteRecord(patterns);
  EXPECT_EQ(std::vector<char>(bytes.begin(), bytes.begin() + 4), StoredBytes().Int(2).Get());
  CPlenimetraParamArray fromRecord;
  ASSERT_TRUE(record.Read([&](CArchive& ar) { return fromRecord.SerializeEnv(ar) && ar.RemainingBytes() == 0; }));
  ASSERT_EQ(fromRecord.size(), 2u);
  EXPECT_FALSE(patterns.IsTreeChanged(fromRecord));
  EXPECT_EQ(fromRecord[1].m_Area2ObjectArray.size(), 1u);
}

TEST_F(CPlenimetraParamArrayTest, PatternCountsTheDataCannotHoldAndShortFilesAreRefused)
{
  CPlenimetraParamArray read = TwoPatterns();
  for (const StoredBytes& body : {StoredBytes().Int(0x7FFFFFFF).Int(0), StoredBytes().Int(-2)}) {
    files.Put(StoredBytes().Int(24).Append(body).Str());
    int error = 0;
    EXPECT_FALSE(ReadFile(read, &error));
    EXPECT_EQ(error, 3);
    EXPECT_EQ(read.size(), 2u);  // nothing resized
  }

  WriteFile(TwoPatterns());
  const std::string whole = files.Contents();
  files.Put(whole.substr(0, whole.size() - 3));
  int error = 0;
  CPlenimetraParamArray cut;
  EXPECT_FALSE(ReadFile(cut, &error));
  EXPECT_EQ(error, 3);

  record.Store(1047, StoredBytes().Int(2).Int(0).Get());  // two patterns, room for one count
  CPlenimetraParamArray refused;
  EXPECT_EQ(record.ReadThrown([&](CArchive& ar) { refused.SerializeEnv(ar); }), CArchive::kPastEnd);
  EXPECT_TRUE(refused.empty());
}

}  // namespace
