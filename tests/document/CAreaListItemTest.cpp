// The area list's columns: the fixed catalogue, the lookups by id and by
// visible position, and the stored (id, visible) pairs, which apply by id
// and ignore ids the catalogue does not hold.

#include "CArchive.h"
#include "CAreaListItem.h"
#include "CDGListItemParam.h"
#include "HostFixture.h"
#include "host_memory.h"
#include "host_userdata.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

const char* const kName = "PLENIMETRA";

class CAreaListItemTest : public ::testing::Test {
protected:
  void SetUp() override { columns.Initialize(); }
  void TearDown() override { EXPECT_EQ(host.HandlesSinceReset(), 0); }

  std::vector<char> Written()
  {
    {
      CArchiveOld ar(kName);
      ar.Save(1047);
      columns.Serialize(ar);
    }
    return host.ModulData(GS::UniString(kName))->bytes;
  }
  // Reads a record of pairs into the default set; the thrown code or 0.
  unsigned int ReadPairs(int count, const std::vector<std::pair<int, bool>>& pairs)
  {
    std::vector<char> bytes(4);
    std::memcpy(bytes.data(), &count, 4);
    for (const auto& [id, visible] : pairs) {
      bytes.resize(bytes.size() + 5);
      std::memcpy(bytes.data() + bytes.size() - 5, &id, 4);
      bytes.back() = visible ? 1 : 0;
    }
    API_ModulData data;
    data.dataVersion = 1047;
    data.platformSign = 0x5757;
    data.dataHdl = BMAllocateHandle(GSSize(bytes.size()), 0, 0);
    std::memcpy(*data.dataHdl, bytes.data(), bytes.size());
    EXPECT_EQ(ACAPI_ModulData_Store(&data, GS::UniString(kName)), NoError);
    BMKillHandle(&data.dataHdl);
    CArchiveOld ar(kName);
    EXPECT_EQ(ar.Open(), 0);
    try {
      columns.Serialize(ar);
    } catch (unsigned int code) {
      return code;
    }
    return 0;
  }
  std::vector<GS::UniString> VisibleTitles()
  {
    std::vector<GS::UniString> titles;
    for (int i = 0; CAreaListItem* item = columns.SearchActIndex(i); ++i)
      titles.push_back(item->m_Title);
    return titles;
  }

  HostFixture host;
  CAreaListItemArray columns;
};

TEST_F(CAreaListItemTest, TheCatalogueShowsTwelveColumnsInItsOrder)
{
  ASSERT_EQ(columns.size(), 18u);
  const std::vector<GS::UniString> expected = {
      u"記号",   u"番号",     u"符号",   u"名前(階)", u"種類",       u"集計面積",
      u"計算式", u"丸目桁数(建物)", u"丸目桁数(各階)", u"改行",     u"合計欄表示", u"色"};
  EXPECT_EQ(VisibleTitles(), expected);
  const std::vector<int> ids = {1, 2, 3, 4, 5, 6, 17, 7, 13, 14, 15, 16, 12, 8, 9, 10, 11, 18};
  for (std::size_t i = 0; i < ids.size(); ++i) {
    EXPECT_EQ(columns[i].m_Id, ids[i]);
    EXPECT_EQ(columns[i].m_pColumn, nullptr);
  }
  EXPECT_EQ(columns.Search(10)->m_Title, GS::UniString(u"端数処理後面積"));
  EXPECT_EQ(columns.Search(19), nullptr);
}

TEST_F(CAreaListItemTest, SearchActIndexCountsOnlyVisibleItems)
{
  EXPECT_EQ(columns.SearchActIndex(0)->m_Id, 1);
  EXPECT_EQ(columns.SearchActIndex(2)->m_Id, 4);  // id 3 is hidden
  EXPECT_EQ(columns.SearchActIndex(11)->m_Id, 18);
  EXPECT_EQ(columns.SearchActIndex(12), nullptr);
  EXPECT_EQ(columns.SearchActIndex(-1), nullptr);
}

TEST_F(CAreaListItemTest, InitializeRestoresTheCatalogue)
{
  columns.Search(1)->m_bVisible = false;
  columns.pop_back();
  columns.Initialize();
  EXPECT_EQ(columns.size(), 18u);
  EXPECT_TRUE(columns.Search(1)->m_bVisible);
  EXPECT_EQ(columns.back().m_Id, 18);
}

TEST_F(CAreaListItemTest, TheDefaultSetWritesEighteenPairsInArrayOrder)
{
  const std::vector<char> bytes = Written();
  ASSERT_EQ(bytes.size(), 4u + 18u * 5u);
  int count = 0, first = 0, seventh = 0, last = 0;
  std::memcpy(&count, bytes.data(), 4);
  std::memcpy(&first, bytes.data() + 4, 4);
  std::memcpy(&seventh, bytes.data() + 4 + 6 * 5, 4);
  std::memcpy(&last, bytes.data() + 4 + 17 * 5, 4);
  EXPECT_EQ(count, 18);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(bytes[8], 1);
  EXPECT_EQ(seventh, 17);
  EXPECT_EQ(last, 18);
  EXPECT_EQ(bytes[4 + 2 * 5 + 4], 0);  // id 3 hidden
}

TEST_F(CAreaListItemTest, FlagsRoundTripAndTitlesAndLinksStay)
{
  columns.Search(8)->m_bVisible = true;
  columns.Search(18)->m_bVisible = false;
  Written();
  CAreaListItemArray saved = columns;
  columns.Initialize();
  CDGListItemParamCore column(32410, 1, 60, GS::UniString(u"名前(階)"), 0, 0, 0);
  CDGListItemParamCore* link = &column;
  columns.Search(5)->m_pColumn = link;
  CArchiveOld ar(kName);
  ASSERT_EQ(ar.Open(), 0);
  columns.Serialize(ar);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    EXPECT_EQ(columns[i].m_bVisible, saved[i].m_bVisible) << columns[i].m_Id;
    EXPECT_EQ(columns[i].m_Title, saved[i].m_Title);
  }
  EXPECT_EQ(columns.Search(5)->m_pColumn, link);
}

TEST_F(CAreaListItemTest, StoredPairsApplyByIdAndUnknownIdsAreIgnored)
{
  EXPECT_EQ(ReadPairs(2, {{8, true}, {99, true}}), 0u);
  EXPECT_TRUE(columns.Search(8)->m_bVisible);
  EXPECT_EQ(columns.size(), 18u);
  EXPECT_EQ(columns.Search(99), nullptr);
  // Ids the record lacks keep their flags.
  EXPECT_TRUE(columns.Search(1)->m_bVisible);
  EXPECT_FALSE(columns.Search(3)->m_bVisible);
}

TEST_F(CAreaListItemTest, ACountBelowOneChangesNothing)
{
  const CAreaListItemArray before = columns;
  for (int count : {0, -5}) {
    EXPECT_EQ(ReadPairs(count, {{1, false}}), 0u);
    for (std::size_t i = 0; i < columns.size(); ++i)
      EXPECT_EQ(columns[i].m_bVisible, before[i].m_bVisible);
  }
}

TEST_F(CAreaListItemTest, ACountBeyondTheRecordIsRefusedBeforeAnyFlagChanges)
{
  EXPECT_EQ(ReadPairs(2, {{1, false}}), CArchive::kPastEnd);
  EXPECT_TRUE(columns.Search(1)->m_bVisible);
  EXPECT_EQ(ReadPairs(0x7FFFFFFF, {{1, false}}), CArchive::kPastEnd);
  EXPECT_TRUE(columns.Search(1)->m_bVisible);
}

}  // namespace
