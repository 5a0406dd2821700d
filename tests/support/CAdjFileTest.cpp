#include "CAdjFile.h"

#include "CKelFileIO.h"
#include "SupportTestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace {

using support_test::FileTest;
using support_test::ReadAll;
using support_test::WriteAll;

std::string U32(std::uint32_t v)
{
  const char bytes[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                         static_cast<char>(v >> 24)};
  return std::string(bytes, 4);
}

std::string Block(std::uint32_t id, const std::string& data) { return U32(id) + U32(static_cast<std::uint32_t>(data.size())) + data; }

// Writer and readers over a std::string payload.
bool WriteText(CKelFileIO& file, void* user, void* reserved)
{
  EXPECT_EQ(reserved, nullptr);
  const auto* text = static_cast<const std::string*>(user);
  return file.Write(text->data(), static_cast<unsigned int>(text->size()));
}

bool WriteThenFail(CKelFileIO& file, void*, void*)
{
  file.Write("half", 4);
  return false;
}

int ReadText(CKelFileIO& file, int length, void* a, void* b)
{
  auto* text = static_cast<std::string*>(a);
  text->assign(static_cast<std::size_t>(length), '\0');
  if (b != nullptr)
    *static_cast<int*>(b) = length;
  return file.Read(text->data(), static_cast<unsigned int>(length)) ? 1 : 0;
}

int ReadTextOne(CKelFileIO& file, int length, void* user) { return ReadText(file, length, user, nullptr); }

class CAdjFileTest : public FileTest {
protected:
  void SetUp() override
  {
    FileTest::SetUp();
    path = PathOf("site.adj");
  }

  int LoadText(CAdjFile::Id id, std::string* text) { return CAdjFile::Load(path.c_str(), id, ReadText, text, nullptr); }

  std::string path;
};

TEST_F(CAdjFileTest, SavingAnIdTwiceLeavesOnlyTheSecondBlock)
{
  WriteAll(path, Block(3, "other"));
  std::string first = "first";
  std::string second = "second!";
  EXPECT_TRUE(CAdjFile::Save(path.c_str(), static_cast<CAdjFile::Id>(7), WriteText, &first));
  EXPECT_TRUE(CAdjFile::Save(path.c_str(), static_cast<CAdjFile::Id>(7), WriteText, &second));
  EXPECT_EQ(ReadAll(path), Block(3, "other") + Block(7, "second!"));
  std::string text;
  int length = 0;
  EXPECT_EQ(CAdjFile::Load(path.c_str(), static_cast<CAdjFile::Id>(7), ReadText, &text, &length), 1);
  EXPECT_EQ(text, "second!");
  EXPECT_EQ(length, 7);
  EXPECT_FALSE(std::filesystem::exists(PathOf("site.%w%")));
}

TEST_F(CAdjFileTest, SaveNeedsAnExistingFile)
{
  std::string data = "x";
  EXPECT_FALSE(CAdjFile::Save(path.c_str(), CAdjFile::ID_SPHERE_PARAM, WriteText, &data));
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(CAdjFileTest, AFailingWriterLeavesTheOldBlock)
{
  const std::string before = Block(CAdjFile::ID_SPHERE_PARAM, "old") + Block(4, "four");
  WriteAll(path, before);
  EXPECT_FALSE(CAdjFile::Save(path.c_str(), CAdjFile::ID_SPHERE_PARAM, WriteThenFail, nullptr));
  EXPECT_EQ(ReadAll(path), before);
  std::string text;
  EXPECT_EQ(LoadText(CAdjFile::ID_SPHERE_PARAM, &text), 1);
  EXPECT_EQ(text, "old");
}

TEST_F(CAdjFileTest, AFailedCompactionKeepsTheFileUncompacted)
{
  WriteAll(path, Block(CAdjFile::ID_SPHERE_PARAM, "old"));
  // The temporary name is taken by a folder: no copy can be made.
  std::filesystem::create_directory(PathOf("site.%w%"));
  std::string data = "new";
  EXPECT_TRUE(CAdjFile::Save(path.c_str(), CAdjFile::ID_SPHERE_PARAM, WriteText, &data));
  EXPECT_EQ(ReadAll(path), Block(CAdjFile::ID_MASKED, "old") + Block(CAdjFile::ID_SPHERE_PARAM, "new"));
  std::string text;
  EXPECT_EQ(LoadText(CAdjFile::ID_SPHERE_PARAM, &text), 1);
  EXPECT_EQ(text, "new");
}

TEST_F(CAdjFileTest, ALengthPastTheEndIsRefused)
{
  // The second header claims 0xFFFFFFFF bytes: read as a signed step it
  // would walk backwards for ever.
  const std::string damaged = Block(2, "ab") + U32(5) + U32(0xFFFFFFFFu) + "xyz";
  WriteAll(path, damaged);
  std::string text;
  EXPECT_EQ(LoadText(static_cast<CAdjFile::Id>(5), &text), -1);
  EXPECT_EQ(LoadText(static_cast<CAdjFile::Id>(2), &text), 1);
  EXPECT_EQ(text, "ab");
  WriteAll(path, Block(2, "ab") + U32(5) + U32(4) + "xyz");
  EXPECT_EQ(LoadText(static_cast<CAdjFile::Id>(5), &text), -1);

  // Nothing is appended behind a damaged block, where no walk could find it,
  // and the file is not compacted either.
  WriteAll(path, damaged);
  std::string data = "new";
  EXPECT_FALSE(CAdjFile::Save(path.c_str(), static_cast<CAdjFile::Id>(2), WriteText, &data));
  EXPECT_EQ(ReadAll(path), damaged);
  CAdjFile::CleanUp(path.c_str());
  EXPECT_EQ(ReadAll(path), damaged);
}

TEST_F(CAdjFileTest, LoadFindsTheFirstBlockOfTheId)
{
  std::string text;
  EXPECT_EQ(LoadText(static_cast<CAdjFile::Id>(2), &text), -1);  // no file
  WriteAll(path, "");
  EXPECT_EQ(LoadText(static_cast<CAdjFile::Id>(2), &text), -1);  // empty
  WriteAll(path, Block(CAdjFile::ID_MASKED, "masked") + Block(2, "") + Block(2, "late"));
  int length = -5;
  EXPECT_EQ(CAdjFile::Load(path.c_str(), static_cast<CAdjFile::Id>(2), ReadText, &text, &length), 1);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(LoadText(static_cast<CAdjFile::Id>(9), &text), -1);
  WriteAll(path, Block(2, "ab") + "\x05\x00");  // a torn header at the end
  EXPECT_EQ(LoadText(static_cast<CAdjFile::Id>(5), &text), -1);
}

TEST_F(CAdjFileTest, DeleteWorksOnTheAdjustmentFileOfThePath)
{
  WriteAll(path, Block(2, "a") + Block(8, "b") + Block(2, "c"));
  CAdjFile::Delete(PathOf("site.dat").c_str(), static_cast<CAdjFile::Id>(2));
  EXPECT_EQ(ReadAll(path), Block(8, "b"));
  CAdjFile::Delete(PathOf("absent.dat").c_str(), static_cast<CAdjFile::Id>(2));
  EXPECT_FALSE(std::filesystem::exists(PathOf("absent.adj")));
}

TEST_F(CAdjFileTest, MaskingOverwritesIdsInPlace)
{
  WriteAll(path, Block(6, "a") + Block(7, "bb") + Block(6, "c"));
  CKelFileIO file;
  ASSERT_TRUE(file.Save(path.c_str()));
  CAdjFile::MaskExitBlockData(file, static_cast<CAdjFile::Id>(6));
  file.Close();
  EXPECT_EQ(ReadAll(path), Block(1, "a") + Block(7, "bb") + Block(1, "c"));
  CAdjFile::CleanUp(path.c_str());
  EXPECT_EQ(ReadAll(path), Block(7, "bb"));
}

TEST_F(CAdjFileTest, VectorFilesMaskWith1040AndKeepMaskedBlocks)
{
  const std::string pl2 = PathOf("site.PL2");
  WriteAll(pl2, Block(175, "old") + Block(175, "new"));
  CKelFileIO file;
  ASSERT_TRUE(file.Save(pl2.c_str()));
  MaskExitBlockData(file, 175);
  file.Close();
  EXPECT_EQ(ReadAll(pl2), Block(1040, "old") + Block(1040, "new"));
  CleanUpVectorFileBlock(pl2.c_str());
  EXPECT_EQ(ReadAll(pl2), Block(1040, "old") + Block(1040, "new"));
}

TEST_F(CAdjFileTest, VectorLoadersKeepTheirOwnFailureValues)
{
  const std::string given = PathOf("site.dat");
  std::string text;
  EXPECT_EQ(LoadPL2File(given.c_str(), 175, ReadTextOne, &text), 0);
  EXPECT_EQ(LoadPL2FileEx(given.c_str(), 175, ReadText, &text, nullptr), -1);

  WriteAll(PathOf("site.PL2"), Block(174, "x") + Block(175, "sphere") + Block(175, "later"));
  EXPECT_EQ(LoadPL2File(given.c_str(), 175, ReadTextOne, &text), 1);
  EXPECT_EQ(text, "sphere");
  int length = 0;
  EXPECT_EQ(LoadPL2FileEx(given.c_str(), 174, ReadText, &text, &length), 1);
  EXPECT_EQ(text, "x");
  EXPECT_EQ(length, 1);
  EXPECT_EQ(LoadPL2File(given.c_str(), 9, ReadTextOne, &text), 0);
  EXPECT_EQ(LoadPL2FileEx(given.c_str(), 9, ReadText, &text, nullptr), -1);
}

TEST_F(CAdjFileTest, TheCheckedInBlockFileLoads)
{
  WriteAll(path, ReadAll(std::string(TEST_DATA_DIR) + "/blocks.adj"));
  std::string text;
  EXPECT_EQ(LoadText(CAdjFile::ID_SPHERE_PARAM, &text), 1);
  EXPECT_EQ(text, "sphere");
  EXPECT_EQ(LoadText(static_cast<CAdjFile::Id>(7), &text), 1);
  EXPECT_EQ(text, "seven");
  CAdjFile::CleanUp(path.c_str());
  EXPECT_EQ(ReadAll(path), Block(CAdjFile::ID_SPHERE_PARAM, "sphere") + Block(7, "seven"));
}

}  // namespace
