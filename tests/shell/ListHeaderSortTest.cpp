// The header-click sort shared by the page lists: the direction cycle, the
// exchange sort's exact (unstable) order, and area texts ordered by value.

#include "ListHeaderSort.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace ListHeaderSort;

TEST(ListHeaderSortTest, TheArrowCyclesUpAndDownAndUnknownArrowsStay)
{
  const std::vector<std::pair<short, short>> cases{{0, 1}, {2, 1}, {1, 2}, {3, 3}, {-1, -1}};
  for (const auto& [arrow, direction] : cases)
    EXPECT_EQ(NextDirection(arrow), direction) << arrow;
  EXPECT_TRUE(MustExchange(1, kAscending));
  EXPECT_FALSE(MustExchange(0, kAscending));
  EXPECT_FALSE(MustExchange(-1, kAscending));
  EXPECT_TRUE(MustExchange(-1, kDescending));
  EXPECT_FALSE(MustExchange(0, kDescending));
  EXPECT_TRUE(MustExchange(-1, 7));  // any other direction sorts descending
}

// Rows as {key, tag}; sorted by key alone.
std::string Sorted(std::vector<std::pair<int, char>> rows, short direction)
{
  ExchangeSort(
      static_cast<int>(rows.size()),
      [&](int i, int j) { return MustExchange(CompareNumber(rows[i - 1].first, rows[j - 1].first), direction); },
      [&](int i, int j) { std::swap(rows[i - 1], rows[j - 1]); });
  std::string order;
  for (const auto& [key, tag] : rows)
    order += std::to_string(key) + tag + ' ';
  return order;
}

TEST(ListHeaderSortTest, TheExchangeSortGivesItsOwnOrderForEqualKeys)
{
  EXPECT_EQ(Sorted({{2, 'a'}, {2, 'b'}, {1, 'c'}}, kAscending), "1c 2b 2a ");
  EXPECT_EQ(Sorted({{1, 'a'}, {1, 'b'}, {2, 'c'}}, kDescending), "2c 1b 1a ");
  EXPECT_EQ(Sorted({{3, 'a'}, {1, 'b'}, {2, 'c'}, {1, 'd'}}, kAscending), "1b 1d 2c 3a ");
  EXPECT_EQ(Sorted({{1, 'a'}, {1, 'b'}}, kAscending), "1a 1b ");  // equal keys alone never move
}

// Sorting over ranks must give the very order, ties included, that sorting
// over the texts gives: stored sort indices depend on it.
TEST(ListHeaderSortTest, RanksOfTextKeysSortAsTheKeysThemselves)
{
  std::vector<GS::UniString> texts;
  unsigned seed = 7;
  for (int i = 0; i < 200; ++i) {
    seed = seed * 1103515245u + 12345u;
    texts.push_back(GS::UniString::Printf("%u", (seed >> 16) % 13));  // many ties, "10" < "2"
  }
  const std::vector<int> ranks = Ranks(texts, [](const GS::UniString& a, const GS::UniString& b) {
    return CompareText(a, b);
  });
  for (short direction : {kAscending, kDescending}) {
    std::vector<int> byText(texts.size()), byRank(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
      byText[i] = byRank[i] = static_cast<int>(i);
    const int count = static_cast<int>(texts.size());
    ExchangeSort(
        count,
        [&](int i, int j) { return MustExchange(CompareText(texts[byText[i - 1]], texts[byText[j - 1]]), direction); },
        [&](int i, int j) { std::swap(byText[i - 1], byText[j - 1]); });
    ExchangeSort(
        count,
        [&](int i, int j) { return MustExchange(CompareNumber(ranks[byRank[i - 1]], ranks[byRank[j - 1]]), direction); },
        [&](int i, int j) { std::swap(byRank[i - 1], byRank[j - 1]); });
    EXPECT_EQ(byRank, byText) << direction;
  }
  EXPECT_TRUE(Ranks(std::vector<int>{}, [](int, int) { return 0; }).empty());
}

TEST(ListHeaderSortTest, AreaTextsCompareByValueAndOtherTextsComeAfterNumbers)
{
  struct Case {
    const char16_t* a;
    const char16_t* b;
    int expected;
  };
  const Case cases[] = {
      {u"9.00", u"10.00", -1},         // the value, not the first digit
      {u"10.00", u"9.00", 1},
      {u"1,234.56", u"999.99", 1},     // thousands commas
      {u"1.5", u"1.50", 0},            // trailing zeros
      {u"007", u"7", 0},               // leading zeros
      {u"-2.00", u"-10.00", 1},        // negative magnitudes reverse
      {u"-0.00", u"0", 0},
      {u"-0.01", u"0", -1},
      {u" 12.30\u3000", u"12.3", 0},   // surrounding blanks
      {u"0.000001", u"0.0000009", 1},  // beyond double's round-off: digit by digit
      {u"123456789012345678.2", u"123456789012345678.1", 1},
      {u"99999", u"abc", -1},          // numbers first
      {u"", u"0", 1},
      {u"1.2.3", u"2", 1},             // not a number
      {u"-", u"5", 1},
      {u",5", u"5", 1},
      {u"abc", u"abd", -1},            // texts among themselves
      {u"abc", u"abc", 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CompareAreaText(GS::UniString(c.a), GS::UniString(c.b)), c.expected)
        << GS::UniString(c.a).ToStdString() << " : " << GS::UniString(c.b).ToStdString();
}

}  // namespace
