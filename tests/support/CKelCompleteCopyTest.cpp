#include "CKelCompleteCopy.h"
#include "SupportTestFiles.h"

namespace {

using support_test::FileTest;
using support_test::ReadAll;
using support_test::WriteAll;

class CKelCompleteCopyTest : public FileTest {};

TEST_F(CKelCompleteCopyTest, FinishedCopyReplacesTheTargetAndLeavesNoCopyBehind)
{
  const std::string target = PathOf("table.csv");
  WriteAll(target, "old contents that are longer");
  CKelCompleteCopy copy;
  ASSERT_TRUE(copy.Open(target));
  EXPECT_TRUE(copy.Write("new", 3));
  EXPECT_EQ(ReadAll(target), "old contents that are longer");
  EXPECT_TRUE(copy.Finish());
  EXPECT_EQ(ReadAll(target), "new");
  EXPECT_FALSE(std::filesystem::exists(target + ".tmp"));
}

TEST_F(CKelCompleteCopyTest, AnAbandonedOrDestroyedCopyLeavesTheOldTarget)
{
  const std::string target = PathOf("table.csv");
  WriteAll(target, "old");
  {
    CKelCompleteCopy copy;
    ASSERT_TRUE(copy.Open(target));
    copy.Write("half", 4);
  }
  EXPECT_EQ(ReadAll(target), "old");
  EXPECT_FALSE(std::filesystem::exists(target + ".tmp"));
  CKelCompleteCopy copy;
  ASSERT_TRUE(copy.Open(target));
  copy.Abandon();
  EXPECT_EQ(ReadAll(target), "old");
  EXPECT_FALSE(std::filesystem::exists(target + ".tmp"));
}

TEST_F(CKelCompleteCopyTest, DirectoryInTheWayOfTheCopyRefusesToOpen)
{
  const std::string target = PathOf("table.csv");
  WriteAll(target, "old");
  std::filesystem::create_directory(target + ".tmp");
  CKelCompleteCopy copy;
  EXPECT_FALSE(copy.Open(target));
  EXPECT_TRUE(copy.HasFailed());
  EXPECT_FALSE(copy.Write("x", 1));
  EXPECT_FALSE(copy.Finish());
  EXPECT_EQ(ReadAll(target), "old");
}

TEST_F(CKelCompleteCopyTest, DirectoryInTheWayOfTheTargetFailsTheFinishAndRemovesTheCopy)
{
  const std::string target = PathOf("table.csv");
  std::filesystem::create_directory(target);
  WriteAll(folder / "table.csv" / "inside", "kept");
  CKelCompleteCopy copy;
  ASSERT_TRUE(copy.Open(target));
  EXPECT_TRUE(copy.Write("new", 3));
  EXPECT_FALSE(copy.Finish());
  EXPECT_TRUE(copy.HasFailed());
  EXPECT_TRUE(std::filesystem::is_directory(target));
  EXPECT_EQ(ReadAll(folder / "table.csv" / "inside"), "kept");
  EXPECT_FALSE(std::filesystem::exists(target + ".tmp"));
}

}  // namespace
