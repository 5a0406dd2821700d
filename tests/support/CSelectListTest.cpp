#include "CSelectList.h"

#include "CKelMemoryArchive.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

CSelectList ListOf(std::vector<int> indices)
{
  CSelectList list;
  list.assign(indices.begin(), indices.end());
  return list;
}

TEST(CSelectList, ToggleAddsInFrontDeleteTakesTheFirstAndSortAscends)
{
  CSelectList list = ListOf({5, 7});
  list.AddSelect(3, true);
  EXPECT_EQ(list, ListOf({3, 5, 7}));
  list.AddSelect(5, true);
  EXPECT_EQ(list, ListOf({3, 7}));
  list.AddSelect(4, false);
  EXPECT_EQ(list, ListOf({4}));
  list.AddSelect(4, true);
  EXPECT_TRUE(list.empty());

  list = ListOf({2, 9, 2});
  EXPECT_TRUE(list.Delete(2));  // the first occurrence only
  EXPECT_EQ(list, ListOf({9, 2}));
  EXPECT_FALSE(list.Delete(4));
  EXPECT_TRUE(list.IsSelected(2));
  EXPECT_FALSE(list.IsSelected(4));

  // Sorting is ascending, and order matters for equality.
  list = ListOf({4, -1, 9, 4, 0});
  list.Sort();
  EXPECT_EQ(list, ListOf({-1, 0, 4, 4, 9}));
  EXPECT_NE(list, ListOf({4, -1, 9, 4, 0}));
}

TEST(CSelectList, SingleSelectionIsTheFirstAndItsNameCountsFromOne)
{
  const std::tuple<std::vector<int>, int, std::string> rows[] = {{{}, -1, ""}, {{0}, 0, "1"}, {{41, 0}, 41, "**"}};
  for (const auto& [indices, single, name] : rows) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ListOf(indices).GetSingleSel(), single);
    EXPECT_EQ(ListOf(indices).GetCurSelName2(), name);
  }
}

TEST(CSelectList, SerializeRoundTripsAtBothVersionsAndRefusesBadCounts)
{
  const CSelectList written = ListOf({3, -2, 70000});
  for (int version : {1, 2}) {
    CKelMemoryArchive out(version);
    CSelectList source = written;
    EXPECT_TRUE(source.Serialize(out));
    Bytes expected = version >= 2 ? Bytes{11, 0, 'C', 'S', 'e', 'l', 'e', 'c', 't', 'L', 'i', 's', 't', 0} : Bytes{};
    expected.insert(expected.end(), {3, 0, 0, 0, 3, 0, 0, 0, 0xfe, 0xff, 0xff, 0xff, 0x70, 0x11, 0x01, 0x00});
    EXPECT_EQ(out.GetBytes(), expected);

    CKelMemoryArchive in(out.GetBytes(), version);
    CSelectList read = ListOf({99});
    EXPECT_TRUE(read.Serialize(in));
    EXPECT_EQ(read, written);
    EXPECT_EQ(in.RemainingBytes(), 0u);
  }

  // A negative or oversize count is refused before anything is allocated.
  const CSelectList kept = ListOf({1, 2});
  for (const Bytes& bytes : {Bytes{0xff, 0xff, 0xff, 0xff}, Bytes{0x00, 0x00, 0x00, 0x40, 1, 0, 0, 0},
                             Bytes{0x02, 0, 0, 0, 5, 0, 0, 0, 6, 0, 0}}) {
    CKelMemoryArchive in(bytes, 1);
    CSelectList list = kept;
    EXPECT_FALSE(list.Serialize(in));
    EXPECT_NE(in.GetError(), 0);
    EXPECT_EQ(list, kept);
  }
}

}  // namespace
