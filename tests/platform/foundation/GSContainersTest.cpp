#include "ftm_filetypes.h"
#include "gs_containers.h"
#include "gs_guid.h"
#include "gs_unistring.h"

#include <gtest/gtest.h>

namespace {

TEST(GSContainersTest, ArrayEditsKeepOrder)
{
  GS::Array<int> array{1, 2, 3};
  array.Insert(1, 9);
  array.Delete(3);
  array.Push(7);
  EXPECT_EQ(array, (GS::Array<int>{1, 9, 2, 7}));
  EXPECT_EQ(array.Pop(), 7);
  EXPECT_EQ(array.GetFirst(), 1);
  EXPECT_EQ(array.GetLast(), 2);
  EXPECT_EQ(array.FindFirst(2), 2u);
  EXPECT_EQ(array.FindFirst(7), GS::MaxUIndex);
  EXPECT_FALSE(array.Contains(7));
  array.Insert(array.GetSize(), 5);  // inserting at the end appends
  EXPECT_EQ(array, (GS::Array<int>{1, 9, 2, 5}));
  array.DeleteAll();
  EXPECT_TRUE(array.IsEmpty());
}

TEST(GSContainersTest, HashTableAddRefusesPresentKeysAndPutReplacesAndSetsDoLikewise)
{
  GS::HashTable<GS::UniString, int> table;
  EXPECT_TRUE(table.Add(u"a", 1));
  EXPECT_FALSE(table.Add(u"a", 2));
  EXPECT_EQ(table.Get(u"a"), 1);
  table.Put(u"a", 3);
  table.Put(u"b", 4);
  EXPECT_EQ(table.Get(u"a"), 3);
  EXPECT_EQ(table.GetSize(), 2u);
  EXPECT_EQ(table.GetPtr(u"c"), nullptr);
  *table.GetPtr(u"b") = 5;
  EXPECT_TRUE(table.Delete(u"a"));
  EXPECT_FALSE(table.Delete(u"a"));
  EXPECT_FALSE(table.ContainsKey(u"a"));
  int sum = 0;
  for (const auto& [key, value] : table)
    sum += value;
  EXPECT_EQ(sum, 5);

  GS::HashSet<GS::Guid> set;
  const GS::Guid a = GS::Guid().Generate();
  EXPECT_TRUE(set.Add(a));
  EXPECT_FALSE(set.Add(a));
  EXPECT_TRUE(set.Add(GS::Guid().Generate()));
  EXPECT_TRUE(set.Delete(a));
  EXPECT_FALSE(set.Contains(a));
  EXPECT_EQ(set.GetSize(), 1u);
}

TEST(FileTypeManagerTest, SearchFindsAnAddedTypeOnlyInItsGroup)
{
  FTM::FileTypeManager manager("");
  FTM::FileType csv(nullptr, "csv", 0, 0, 0);
  EXPECT_EQ(manager.SearchForType(csv), FTM::UnknownType);
  FTM::TypeID id = manager.AddType(csv);
  EXPECT_EQ(manager.SearchForType(FTM::FileType("", "csv", 0, 0, 7)), id);  // the icon does not matter
  EXPECT_EQ(manager.SearchForType(csv, 5), FTM::UnknownType);
  EXPECT_EQ(manager.SearchForType(FTM::FileType("", "dat", 0, 0, 0)), FTM::UnknownType);
  ASSERT_NE(manager.GetType(id), nullptr);
  EXPECT_EQ(manager.GetType(id)->GetExtension(), "csv");
  EXPECT_EQ(manager.GetType(id + 1), nullptr);
  EXPECT_EQ(manager.GetType(-1), nullptr);
}

}  // namespace
