#include "CAdjFile.h"

#include "CKelFileIO.h"
#include "SupportTestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace {

using namespace support_test;

std::string U32(std::uint32_t v)
{
  const char bytes[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                         static_cast<char>(v >> 24)};
  return std::string(bytes, 4);
}

std::string Block(std::uint32_t id, const std::string& data) { return U32(id) + U32(static_cast<std::uint32_t>(data.size())) + data; }

// Writers and readers over a std::string payload.
bool WriteText(CKelFileIO& file, void* user, void* reserved)
{
  EXPECT_EQ(reserved, nullptr);
  const auto* text = static_cast<const std::string*>(user);
  return file.Write(text->data(), static_cast<unsigned int>(text->size()));
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

// Each test works on "site.adj" in its own folder; text and length hold what
// the last load read.
class CAdjFileTest : public FileTest {
protected:
  void SetUp() override
  {
    FileTest::SetUp();
    path = PathOf("site.adj");
  }

  bool Save(std::uint32_t id, std::string data)
  {
    return CAdjFile::Save(path.c_str(), static_cast<CAdjFile::Id>(id), WriteText, &data);
  }
  int Load(std::uint32_t id) { return CAdjFile::Load(path.c_str(), static_cast<CAdjFile::Id>(id), ReadText, &text, &length); }
  int LoadFrom(const std::string& bytes, std::uint32_t id)
  {
    WriteAll(path, bytes);
    return Load(id);
  }

  std::string path;
  std::string text;
  int length = -5;
};

TEST_F(CAdjFileTest, SavingAnIdTwiceLeavesOnlyTheSecondBlockAndNeverLosesTheOld)
{
  EXPECT_FALSE(Save(7, "first"));
  EXPECT_FALSE(std::filesystem::exists(path));  // saving needs an existing file

  WriteAll(path, Block(3, "other"));
  EXPECT_TRUE(Save(7, "first"));
  EXPECT_TRUE(Save(7, "second!"));
  EXPECT_EQ(ReadAll(path), Block(3, "other") + Block(7, "second!"));
  EXPECT_EQ(Load(7), 1);
  EXPECT_EQ(text, "second!");
  EXPECT_EQ(length, 7);
  EXPECT_FALSE(std::filesystem::exists(PathOf("site.%w%")));

  // A writer that fails after writing part of its block.
  const auto writeThenFail = [](CKelFileIO& file, void*, void*) {
    file.Write("half", 4);
    return false;
  };
  const std::string before = Block(CAdjFile::ID_SPHERE_PARAM, "old") + Block(4, "four");
  WriteAll(path, before);
  EXPECT_FALSE(CAdjFile::Save(path.c_str(), CAdjFile::ID_SPHERE_PARAM, writeThenFail, nullptr));
  EXPECT_EQ(ReadAll(path), before);

  // A failed compaction keeps the file uncompacted: the temporary name is
  // taken by a folder, so no copy can be made.
  WriteAll(path, Block(CAdjFile::ID_SPHERE_PARAM, "old"));
  std::filesystem::create_directory(PathOf("site.%w%"));
  EXPECT_TRUE(Save(CAdjFile::ID_SPHERE_PARAM, "new"));
  EXPECT_EQ(ReadAll(path), Block(CAdjFile::ID_MASKED, "old") + Block(CAdjFile::ID_SPHERE_PARAM, "new"));
}

TEST_F(CAdjFileTest, LoadFindsTheFirstWholeBlockOfTheId)
{
  EXPECT_EQ(Load(2), -1);  // no file
  EXPECT_EQ(LoadFrom("", 2), -1);
  const std::string twoOfId2 = Block(CAdjFile::ID_MASKED, "masked") + Block(2, "") + Block(2, "late");
  EXPECT_EQ(LoadFrom(twoOfId2, 2), 1);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(LoadFrom(twoOfId2, 9), -1);
  EXPECT_EQ(LoadFrom(Block(2, "ab") + std::string("\x05\x00", 2), 5), -1);  // a torn header at the end
  EXPECT_EQ(LoadFrom(Block(2, "ab") + U32(5) + U32(4) + "xyz", 5), -1);     // one byte past the end
  // A length of 0xFFFFFFFF read as a signed step would walk backwards for ever.
  const std::string damaged = Block(2, "ab") + U32(5) + U32(0xFFFFFFFFu) + "xyz";
  EXPECT_EQ(LoadFrom(damaged, 5), -1);
  EXPECT_EQ(LoadFrom(damaged, 2), 1);
  EXPECT_EQ(text, "ab");

  // Nothing is appended behind a damaged block, where no walk could find it,
  // and the file is not compacted either.
  EXPECT_FALSE(Save(2, "new"));
  EXPECT_EQ(ReadAll(path), damaged);
  CAdjFile::CleanUp(path.c_str());
  EXPECT_EQ(ReadAll(path), damaged);
}

TEST_F(CAdjFileTest, MaskingOverwritesIdsInPlaceAndDeleteCompacts)
{
  WriteAll(path, Block(6, "a") + Block(7, "bb") + Block(6, "c"));
  CKelFileIO file;
  ASSERT_TRUE(file.Save(path.c_str()));
  CAdjFile::MaskExitBlockData(file, static_cast<CAdjFile::Id>(6));
  file.Close();
  EXPECT_EQ(ReadAll(path), Block(1, "a") + Block(7, "bb") + Block(1, "c"));

  // Delete works on the adjustment file of the path it is given.
  WriteAll(path, Block(2, "a") + Block(8, "b") + Block(2, "c"));
  CAdjFile::Delete(PathOf("site.dat").c_str(), static_cast<CAdjFile::Id>(2));
  EXPECT_EQ(ReadAll(path), Block(8, "b"));
  CAdjFile::Delete(PathOf("absent.dat").c_str(), static_cast<CAdjFile::Id>(2));
  EXPECT_FALSE(std::filesystem::exists(PathOf("absent.adj")));
}

TEST_F(CAdjFileTest, VectorFilesMaskWith1040KeepMaskedBlocksAndTheirLoadersOwnFailureValues)
{
  const std::string given = PathOf("site.dat");
  const std::string pl2 = PathOf("site.PL2");
  EXPECT_EQ(LoadPL2File(given.c_str(), 175, ReadTextOne, &text), 0);
  EXPECT_EQ(LoadPL2FileEx(given.c_str(), 175, ReadText, &text, nullptr), -1);

  WriteAll(pl2, Block(174, "x") + Block(175, "sphere") + Block(175, "later"));
  EXPECT_EQ(LoadPL2File(given.c_str(), 175, ReadTextOne, &text), 1);
  EXPECT_EQ(text, "sphere");
  EXPECT_EQ(LoadPL2FileEx(given.c_str(), 174, ReadText, &text, &length), 1);
  EXPECT_EQ(text, "x");
  EXPECT_EQ(length, 1);

  CKelFileIO file;
  ASSERT_TRUE(file.Save(pl2.c_str()));
  MaskExitBlockData(file, 175);
  file.Close();
  CleanUpVectorFileBlock(pl2.c_str());
  EXPECT_EQ(ReadAll(pl2), Block(174, "x") + Block(1040, "sphere") + Block(1040, "later"));
  EXPECT_EQ(LoadPL2File(given.c_str(), 175, ReadTextOne, &text), 0);
  EXPECT_EQ(LoadPL2FileEx(given.c_str(), 175, ReadText, &text, nullptr), -1);
}

TEST_F(CAdjFileTest, TheCheckedInBlockFileLoads)
{
  WriteAll(path, ReadAll(std::string(TEST_DATA_DIR) + "/blocks.adj"));
  EXPECT_EQ(Load(CAdjFile::ID_SPHERE_PARAM), 1);
  EXPECT_EQ(text, "sphere");
  EXPECT_EQ(Load(7), 1);
  EXPECT_EQ(text, "seven");
  CAdjFile::CleanUp(path.c_str());
  EXPECT_EQ(ReadAll(path), Block(CAdjFile::ID_SPHERE_PARAM, "sphere") + Block(7, "seven"));
}

}  // namespace
