#include "CSelectList.h"

#include "CKelMemoryArchive.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

CSelectList ListOf(std::vector<int> indices)
{
  CSelectList list;
  list.assign(indices.begin(), indices.end());
  return list;
}

TEST(CSelectList, ToggleAddsInFrontAndRemovesWhatIsThere)
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
  EXPECT_FALSE(list.IsSelected(4));
}

TEST(CSelectList, DeleteRemovesTheFirstOccurrenceOnly)
{
  CSelectList list = ListOf({2, 9, 2});
  EXPECT_TRUE(list.Delete(2));
  EXPECT_EQ(list, ListOf({9, 2}));
  EXPECT_FALSE(list.Delete(4));
  EXPECT_TRUE(list.IsSelected(2));
}

TEST(CSelectList, SingleSelectionAndItsName)
{
  CSelectList list;
  EXPECT_EQ(list.GetSingleSel(), -1);
  EXPECT_EQ(list.GetCurSelName2(), "");
  list.AddSelect(0, false);
  EXPECT_EQ(list.GetSingleSel(), 0);
  EXPECT_EQ(list.GetCurSelName2(), "1");
  list.AddSelect(41, true);
  EXPECT_EQ(list.GetSingleSel(), 41);
  EXPECT_EQ(list.GetCurSelName2(), "**");
}

TEST(CSelectList, SortIsAscendingAndOrderMattersForEquality)
{
  CSelectList list = ListOf({4, -1, 9, 4, 0});
  const CSelectList copy = list;
  list.Sort();
  EXPECT_EQ(list, ListOf({-1, 0, 4, 4, 9}));
  EXPECT_NE(list, copy);
  EXPECT_EQ(copy, ListOf({4, -1, 9, 4, 0}));
}

TEST(CSelectList, SerializeRoundTripsAtBothVersions)
{
  const CSelectList written = ListOf({3, -2, 70000});
  for (int version : {1, 2}) {
    CKelMemoryArchive out(version);
    CSelectList source = written;
    EXPECT_TRUE(source.Serialize(out));
    Bytes expected;
    if (version >= 2)
      expected = {11, 0, 'C', 'S', 'e', 'l', 'e', 'c', 't', 'L', 'i', 's', 't', 0};
    const Bytes body{3, 0, 0, 0, 3, 0, 0, 0, 0xfe, 0xff, 0xff, 0xff, 0x70, 0x11, 0x01, 0x00};
    expected.insert(expected.end(), body.begin(), body.end());
    EXPECT_EQ(out.GetBytes(), expected);

    CKelMemoryArchive in(out.GetBytes(), version);
    CSelectList read = ListOf({99});
    EXPECT_TRUE(read.Serialize(in));
    EXPECT_EQ(read, written);
    EXPECT_EQ(in.RemainingBytes(), 0u);
  }
}

TEST(CSelectList, NegativeOrOversizeCountIsRefusedBeforeAllocating)
{
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
