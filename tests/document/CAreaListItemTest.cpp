// The area list's columns: the fixed catalogue, the lookups by id and by
// visible position, and the stored (id, visible) pairs, which apply by id
// and ignore ids the catalogue does not hold.

#include "CAreaListItem.h"
#include "CDGListItemParam.h"
#include "DocTestSupport.h"

namespace {

class CAreaListItemTest : public DocTest {
protected:
  void SetUp() override { columns.Initialize(); }

  // Reads a record of the count and pairs into the columns; the code thrown or 0.
  unsigned int ReadPairs(int count, const std::vector<std::pair<int, bool>>& pairs)
  {
    StoredBytes bytes = StoredBytes().Int(count);
    for (const auto& [id, visible] : pairs)
      bytes.Int(id).Bool(visible);
    record.Store(1047, bytes.Get());
    return record.ReadThrown([&](CArchive& ar) { columns.Serialize(ar); });
  }
  std::vector<bool> Flags() const
  {
    std::vector<bool> flags;
    for (const CAreaListItem& item : columns)
      flags.push_back(item.m_bVisible);
    return flags;
  }

  CAreaListItemArray columns;
};

TEST_F(CAreaListItemTest, TheCatalogueShowsTwelveColumnsInItsOrder)
{
  ASSERT_EQ(columns.size(), 18u);
  std::vector<GS::UniString> titles;
  for (int i = 0; CAreaListItem* item = columns.SearchActIndex(i); ++i)
    titles.push_back(item->m_Title);
  const std::vector<GS::UniString> expected = {
      u"記号",   u"番号",     u"符号",   u"名前(階)", u"種類",       u"集計面積",
      u"計算式", u"丸目桁数(建物)", u"丸目桁数(各階)", u"改行",     u"合計欄表示", u"色"};
  EXPECT_EQ(titles, expected);
  const std::vector<int> ids = {1, 2, 3, 4, 5, 6, 17, 7, 13, 14, 15, 16, 12, 8, 9, 10, 11, 18};
  for (std::size_t i = 0; i < ids.size(); ++i) {
    EXPECT_EQ(columns[i].m_Id, ids[i]);
    EXPECT_EQ(columns[i].m_pColumn, nullptr);
  }
  EXPECT_EQ(columns.Search(10)->m_Title, GS::UniString(u"端数処理後面積"));
  EXPECT_EQ(columns.Search(19), nullptr);
  // Visible positions skip the hidden ids.
  EXPECT_EQ(columns.SearchActIndex(2)->m_Id, 4);
  EXPECT_EQ(columns.SearchActIndex(11)->m_Id, 18);
  EXPECT_EQ(columns.SearchActIndex(-1), nullptr);

  columns.Search(1)->m_bVisible = false;
  columns.pop_back();
  columns.Initialize();
  EXPECT_EQ(columns.size(), 18u);
  EXPECT_TRUE(columns.Search(1)->m_bVisible);
}

TEST_F(CAreaListItemTest, FlagsTravelAsEighteenPairsInArrayOrderAndTitlesAndLinksStay)
{
  columns.Search(8)->m_bVisible = true;
  columns.Search(18)->m_bVisible = false;
  const std::vector<bool> saved = Flags();
  record.Write(1047, [&](CArchive& ar) { columns.Serialize(ar); });
  const std::vector<char> bytes = record.Bytes(host);
  ASSERT_EQ(bytes.size(), 4u + 18u * 5u);
  StoredBytes head = StoredBytes().Int(18).Int(1).Bool(true).Int(2).Bool(true).Int(3).Bool(false);
  EXPECT_EQ(std::vector<char>(bytes.begin(), bytes.begin() + 19), head.Get());
  EXPECT_EQ(std::vector<char>(bytes.begin() + 4 + 6 * 5, bytes.begin() + 4 + 7 * 5), StoredBytes().Int(17).Bool(true).Get());
  EXPECT_EQ(std::vector<char>(bytes.end() - 5, bytes.end()), StoredBytes().Int(18).Bool(false).Get());

  columns.Initialize();
  CDGListItemParamCore column(32410, 1, 60, GS::UniString(u"名前(階)"), 0, 0, 0);
  columns.Search(5)->m_pColumn = &column;
  EXPECT_EQ(record.ReadThrown([&](CArchive& ar) { columns.Serialize(ar); }), 0u);
  EXPECT_EQ(Flags(), saved);
  EXPECT_EQ(columns.Search(5)->m_pColumn, &column);
  EXPECT_EQ(columns.Search(5)->m_Title, GS::UniString(u"名前(階)"));
}

TEST_F(CAreaListItemTest, StoredPairsApplyByIdUnknownIdsAreIgnoredAndBadCountsChangeNothing)
{
  const std::vector<bool> defaults = Flags();
  EXPECT_EQ(ReadPairs(2, {{8, true}, {99, true}}), 0u);
  EXPECT_TRUE(columns.Search(8)->m_bVisible);
  EXPECT_EQ(columns.size(), 18u);
  EXPECT_EQ(columns.Search(99), nullptr);
  // Ids the record lacks keep their flags.
  EXPECT_TRUE(columns.Search(1)->m_bVisible);
  EXPECT_FALSE(columns.Search(3)->m_bVisible);

  columns.Initialize();
  for (int count : {0, -5}) {
    EXPECT_EQ(ReadPairs(count, {{1, false}}), 0u);
    EXPECT_EQ(Flags(), defaults);
  }
  // A count beyond the record is refused before any flag changes.
  EXPECT_EQ(ReadPairs(2, {{1, false}}), CArchive::kPastEnd);
  EXPECT_EQ(ReadPairs(0x7FFFFFFF, {{1, false}}), CArchive::kPastEnd);
  EXPECT_EQ(Flags(), defaults);
}

}  // namespace
