// The calculation patterns of the settings: position-by-position equality,
// the tree change test, and both stored forms (settings file and project
// record) round-tripping trees with the objects they name, with counts that
// cannot fit the data refused before anything is built.

#include "CArchive.h"
#include "CPlenimetraParam.h"
#include "DocCoreTestSupport.h"
#include "HostFixture.h"
#include "host_memory.h"
#include "host_userdata.h"
#include "io_filesystem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const kName = "PLENIMETRA";

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

int IntAt(const std::string& bytes, std::size_t offset)
{
  int value = 0;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

class CPlenimetraParamArrayTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    folder = pln::host::SandboxRoot() / "document" / "patterns";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { EXPECT_EQ(host.HandlesSinceReset(), 0); }

  GS::UniString Path() const { return GS::UniString((folder / "env.dat").string().c_str(), CC_UTF8); }
  std::string FileBytes() const
  {
    std::ifstream in(folder / "env.dat", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void PutFile(const std::string& bytes) const
  {
    std::ofstream out(folder / "env.dat", std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
  }
  void WriteFile(CPlenimetraParamArray& patterns)
  {
    CFileArchive ar(Path());
    ASSERT_EQ(ar.Save(24), 0);
    patterns.Write(ar);
    EXPECT_EQ(ar.GetError(), 0);
  }
  bool ReadFile(CPlenimetraParamArray& patterns, int* error = nullptr)
  {
    CFileArchive ar(Path());
    EXPECT_EQ(ar.Open(), 0);
    const bool read = patterns.Read(ar);
    if (error != nullptr)
      *error = ar.GetError();
    return read;
  }
  std::vector<char> WriteRecord(CPlenimetraParamArray& patterns)
  {
    {
      CArchiveOld ar(kName);
      ar.Save(1047);
      EXPECT_TRUE(patterns.SerializeEnv(ar));
    }
    return host.ModulData(GS::UniString(kName))->bytes;
  }
  void StoreRecord(const std::vector<char>& bytes)
  {
    API_ModulData data;
    data.dataVersion = 1047;
    data.platformSign = 0x5757;
    data.dataHdl = BMAllocateHandle(GSSize(bytes.size()), 0, 0);
    if (!bytes.empty())
      std::memcpy(*data.dataHdl, bytes.data(), bytes.size());
    ASSERT_EQ(ACAPI_ModulData_Store(&data, GS::UniString(kName)), NoError);
    BMKillHandle(&data.dataHdl);
  }

  HostFixture host;
  std::filesystem::path folder;
};

TEST_F(CPlenimetraParamArrayTest, PatternsComparePositionByPosition)
{
  CPlenimetraParamArray a = TwoPatterns();
  CPlenimetraParamArray b = TwoPatterns();
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a.IsTreeChanged(b));
  std::swap(b[0], b[1]);
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(a.IsTreeChanged(b));
  b.pop_back();
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(a.IsTreeChanged(b));
  EXPECT_FALSE(CPlenimetraParamArray().IsTreeChanged(CPlenimetraParamArray()));
  EXPECT_TRUE(CPlenimetraParamArray() == CPlenimetraParamArray());
}

TEST_F(CPlenimetraParamArrayTest, ARenamedElementIsATreeChange)
{
  CPlenimetraParamArray a = TwoPatterns();
  CPlenimetraParamArray b = TwoPatterns();
  CAreaObject* element = b[1].FindAreaObject(b[1].m_AreaTree2.m_Child[0].m_Child[0].m_Child[0].m_AreaCode);
  ASSERT_NE(element, nullptr);
  element->m_Name.m_DefaultName = u"敷地2";
  EXPECT_TRUE(a.IsTreeChanged(b));
  EXPECT_TRUE(a != b);
}

TEST_F(CPlenimetraParamArrayTest, AnEmptyArrayWritesOneZero)
{
  CPlenimetraParamArray empty;
  WriteFile(empty);
  EXPECT_EQ(FileBytes(), std::string("\x18\0\0\0\0\0\0\0", 8));
  EXPECT_EQ(WriteRecord(empty), std::vector<char>(4, 0));

  CPlenimetraParamArray read = TwoPatterns();
  EXPECT_TRUE(ReadFile(read));
  EXPECT_TRUE(read.empty());
}

TEST_F(CPlenimetraParamArrayTest, APatternWithOnlyARootWritesNodeCountZero)
{
  CPlenimetraParamArray patterns;
  patterns.resize(1);
  WriteFile(patterns);
  EXPECT_EQ(FileBytes(), std::string("\x18\0\0\0\x01\0\0\0\0\0\0\0", 12));
  const std::vector<char> record = WriteRecord(patterns);
  EXPECT_EQ(record, std::vector<char>({1, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(CPlenimetraParamArrayTest, TheSettingsFileFormRoundTripsTreesAndTheirObjects)
{
  CPlenimetraParamArray patterns = TwoPatterns();
  WriteFile(patterns);
  const std::string bytes = FileBytes();
  EXPECT_EQ(IntAt(bytes, 4), 2);  // patterns
  EXPECT_EQ(IntAt(bytes, 8), 5);  // nodes below the first root: pattern, building, folder, two elements

  CPlenimetraParamArray read;
  read.resize(3);
  ASSERT_TRUE(ReadFile(read));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_FALSE(patterns.IsTreeChanged(read));
  EXPECT_EQ(read[0].m_Area2ObjectArray.size(), 2u);
  EXPECT_EQ(read[0].m_Area4ObjectArray.size(), 3u);
  EXPECT_EQ(read[1].m_Area2ObjectArray.size(), 1u);
}

TEST_F(CPlenimetraParamArrayTest, TheProjectRecordFormRoundTripsTreesAndTheirObjects)
{
  CPlenimetraParamArray patterns = TwoPatterns();
  const std::vector<char> record = WriteRecord(patterns);
  int count = 0;
  std::memcpy(&count, record.data(), 4);
  EXPECT_EQ(count, 2);

  CArchiveOld ar(kName);
  ASSERT_EQ(ar.Open(), 0);
  CPlenimetraParamArray read;
  ASSERT_TRUE(read.SerializeEnv(ar));
  EXPECT_EQ(ar.RemainingBytes(), 0u);
  ASSERT_EQ(read.size(), 2u);
  EXPECT_FALSE(patterns.IsTreeChanged(read));
  EXPECT_EQ(read[1].m_Area2ObjectArray.size(), 1u);
}

TEST_F(CPlenimetraParamArrayTest, APatternCountTheFileCannotHoldIsRefused)
{
  PutFile(std::string("\x18\0\0\0\xFF\xFF\xFF\x7F\0\0\0\0", 12));
  CPlenimetraParamArray read = TwoPatterns();
  int error = 0;
  EXPECT_FALSE(ReadFile(read, &error));
  EXPECT_EQ(error, 3);
  EXPECT_EQ(read.size(), 2u);  // nothing resized

  PutFile(std::string("\x18\0\0\0\xFE\xFF\xFF\xFF", 8));
  EXPECT_FALSE(ReadFile(read, &error));
  EXPECT_EQ(error, 3);
}

TEST_F(CPlenimetraParamArrayTest, APatternCountTheRecordCannotHoldThrows)
{
  StoreRecord({2, 0, 0, 0, 0, 0, 0, 0});  // two patterns, room for one count
  CArchiveOld ar(kName);
  ASSERT_EQ(ar.Open(), 0);
  CPlenimetraParamArray read;
  unsigned int thrown = 0;
  try {
    read.SerializeEnv(ar);
  } catch (unsigned int code) {
    thrown = code;
  }
  EXPECT_EQ(thrown, CArchive::kPastEnd);
  EXPECT_TRUE(read.empty());
}

TEST_F(CPlenimetraParamArrayTest, AShortSettingsFileFailsAndStops)
{
  CPlenimetraParamArray patterns = TwoPatterns();
  WriteFile(patterns);
  const std::string bytes = FileBytes();
  PutFile(bytes.substr(0, bytes.size() - 3));
  CPlenimetraParamArray read;
  int error = 0;
  EXPECT_FALSE(ReadFile(read, &error));
  EXPECT_EQ(error, 3);
}

}  // namespace
