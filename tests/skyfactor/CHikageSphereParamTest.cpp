#include "CHikageSphereParam.h"

#include <gtest/gtest.h>

#include "CAdjFile.h"
#include "KelTestSupport.h"
#include "SkyRecords.h"

namespace {

using kel_test::ByteBuilder;
using kel_test::Bytes;
using sky_test::FileBlock;
using sky_test::SphereEntry;
using sky_test::WriteFile;

CHikageSphereParamArray TwoEntries()
{
  CHikageSphereParamArray list;
  list.push_back(SphereEntry(7));
  list.push_back(SphereEntry(3, 35));
  return list;
}

// The body of block 9 as the block writer makes it.
Bytes Body(const CHikageSphereParamArray& list)
{
  ByteBuilder b;
  b.I32(static_cast<std::int32_t>(list.size()));
  for (const CHikageSphereParam& entry : list)
    b.Append(kel_test::SavedRecord(entry));
  return b.bytes;
}

TEST(CHikageSphereParam, DefaultAndClear)
{
  CHikageSphereParam entry = SphereEntry(4);
  EXPECT_NE(CHikageSphereParam(), entry);
  entry.Clear();
  EXPECT_EQ(CHikageSphereParam(), entry);
  EXPECT_EQ(-1, entry.m_CpntNo);
  EXPECT_EQ(-1.0, entry.m_SphereRatioBlock.m_Ratio);
  EXPECT_TRUE(entry.m_AngleParam.empty());
}

// Record 2000: its number, the block's record, the marks inline as the mark
// list reads them, and the entry's number last; the budget is used exactly.
TEST(CHikageSphereParam, RecordLayoutAndBudget)
{
  const CHikageSphereParam entry = SphereEntry(7);
  const Bytes bytes = kel_test::SavedRecord(entry);
  const Bytes block = kel_test::SavedRecord(entry.m_SphereRatioBlock);
  const Bytes marks = kel_test::SavedRecord(entry.m_AngleParam);
  const Bytes expected = ByteBuilder().I32(2000).Append(block).Append(marks).I32(7).bytes;
  ASSERT_EQ(expected, bytes);

  CHikageSphereParam back;
  int left = -1;
  ASSERT_TRUE(kel_test::LoadRecord(back, bytes, static_cast<int>(bytes.size()), &left));
  EXPECT_EQ(0, left);
  EXPECT_EQ(entry, back);
  EXPECT_FALSE(kel_test::LoadRecord(back, bytes, static_cast<int>(bytes.size()) - 1));
  Bytes wrongNumber = bytes;
  wrongNumber[0] = 0xd1;  // 2001
  EXPECT_FALSE(kel_test::LoadRecord(back, wrongNumber, static_cast<int>(bytes.size())));
}

TEST(CHikageSphereParam, ArchiveRoundTripsAtBothVersions)
{
  for (int version : {1, 2}) {
    const CHikageSphereParam entry = SphereEntry(9);
    const Bytes bytes = kel_test::Archived(entry, version);
    CHikageSphereParam back;
    ASSERT_TRUE(kel_test::Unarchive(back, bytes, version)) << version;
    EXPECT_EQ(entry, back);
    // The number follows the tag (if any) at once.
    const Bytes head = version >= 2 ? ByteBuilder().Text("CHikageSphereParam").I32(9).bytes : ByteBuilder().I32(9).bytes;
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin())) << version;
    EXPECT_FALSE(kel_test::Unarchive(back, Bytes(bytes.begin(), bytes.end() - 1), version));
  }
}

TEST(CHikageSphereParamArray, EqualityAndSearch)
{
  const CHikageSphereParamArray list = TwoEntries();
  EXPECT_EQ(-1, CHikageSphereParamArray().Search(7));
  EXPECT_EQ(0, list.Search(7));
  EXPECT_EQ(1, list.Search(3));
  EXPECT_EQ(-1, list.Search(-1));
  CHikageSphereParamArray changed = list;
  changed[1].m_AngleParam.pop_back();
  EXPECT_NE(list, changed);
  changed.pop_back();
  EXPECT_NE(list, changed);
}

class BlockFileTest : public ::testing::Test {
protected:
  std::string adj = kel_test::TestFilePath("project.adj");
  std::string pl2 = kel_test::TestFilePath("project.PL2");

  // LoadData2 over the files, starting from a list that holds something.
  std::pair<bool, CHikageSphereParamArray> Load() const
  {
    CHikageSphereParamArray list = TwoEntries();
    const bool ok = list.LoadData2(adj.c_str());
    return {ok, list};
  }
};

TEST_F(BlockFileTest, SavedListLoadsBackThroughBlockNine)
{
  WriteFile(adj, FileBlock(4, {1, 2, 3}));
  CHikageSphereParamArray list = TwoEntries();
  ASSERT_TRUE(list.SaveData(adj.c_str()));
  const auto [ok, back] = Load();
  ASSERT_TRUE(ok);
  EXPECT_EQ(list, back);
  // The foreign block stays, block 9 holds the body the writer makes.
  const Bytes file = kel_test::ReadBytes(adj);
  Bytes expected = FileBlock(4, {1, 2, 3});
  const Bytes block = FileBlock(CAdjFile::ID_SPHERE_PARAM, Body(list));
  expected.insert(expected.end(), block.begin(), block.end());
  EXPECT_EQ(expected, file);
}

// Block bodies against their lengths; each row's list is what the load
// leaves, whatever the list held before.
TEST_F(BlockFileTest, BodiesMustBeUsedUpExactly)
{
  const Bytes good = Body(TwoEntries());
  Bytes longer = good;
  longer.push_back(0);
  Bytes lyingCount = good;
  lyingCount[0] = 3;
  struct Row {
    const char* name;
    Bytes body;
    bool ok;
    std::size_t entries;
  } rows[] = {
      {"count 0 alone", ByteBuilder().I32(0).bytes, true, 0},
      {"count 0 in a longer block", ByteBuilder().I32(0).I32(0).bytes, false, 0},
      {"negative count", ByteBuilder().I32(-1).bytes, false, 0},
      {"huge count", ByteBuilder().I32(0x7fffffff).I32(2000).bytes, false, 0},
      {"short count", Bytes{0, 0}, false, 0},
      {"two entries", good, true, 2},
      {"a byte left over", longer, false, 0},
      {"a count above the records", lyingCount, false, 0},
      {"a record cut short", Bytes(good.begin(), good.end() - 1), false, 0},
  };
  for (const Row& row : rows) {
    WriteFile(adj, FileBlock(CAdjFile::ID_SPHERE_PARAM, row.body));
    const auto [ok, list] = Load();
    EXPECT_EQ(row.ok, ok) << row.name;
    EXPECT_EQ(row.entries, list.size()) << row.name;
  }
}

TEST_F(BlockFileTest, OlderFileWinsAndItsFailureEndsTheLoad)
{
  CHikageSphereParamArray newer;
  newer.push_back(SphereEntry(1));
  CHikageSphereParamArray older;
  older.push_back(SphereEntry(2, 30));
  WriteFile(adj, FileBlock(CAdjFile::ID_SPHERE_PARAM, Body(newer)));

  WriteFile(pl2, FileBlock(3, {9}));  // no block 175: the block file answers
  EXPECT_EQ(newer, Load().second);

  WriteFile(pl2, FileBlock(3, {9}));
  {
    Bytes both = FileBlock(3, {9});
    const Bytes block = FileBlock(CHikageSphereParamArray::kOldBlockId, Body(older));
    both.insert(both.end(), block.begin(), block.end());
    WriteFile(pl2, both);
  }
  auto [ok, list] = Load();
  EXPECT_TRUE(ok);
  EXPECT_EQ(older, list);

  WriteFile(pl2, FileBlock(CHikageSphereParamArray::kOldBlockId, ByteBuilder().I32(0).I32(0).bytes));
  std::tie(ok, list) = Load();
  EXPECT_FALSE(ok);
  EXPECT_TRUE(list.empty());
}

TEST_F(BlockFileTest, NoFileNoBlockLoadsEmpty)
{
  auto [ok, list] = Load();
  EXPECT_TRUE(ok);
  EXPECT_TRUE(list.empty());
  WriteFile(adj, FileBlock(4, {1}));
  std::tie(ok, list) = Load();
  EXPECT_TRUE(ok);
  EXPECT_TRUE(list.empty());
  // Saving needs the file to exist.
  CHikageSphereParamArray entries = TwoEntries();
  EXPECT_FALSE(entries.SaveData(kel_test::TestFilePath("absent.adj").c_str()));
}

}  // namespace
