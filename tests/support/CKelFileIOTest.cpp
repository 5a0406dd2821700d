#include "CKelFileIO.h"

#include "SupportTestFiles.h"
#include "host_debug.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

using support_test::FileTest;
using support_test::ReadAll;
using support_test::WriteAll;

class CKelFileIOTest : public FileTest {};

TEST_F(CKelFileIOTest, SignedOffsetStepsBackAndReturnsThePositionBefore)
{
  const std::string path = PathOf("positions.bin");
  WriteAll(path, "0123456789");
  CKelFileIO file;
  ASSERT_TRUE(file.Open(path.c_str()));
  EXPECT_EQ(file.SetFilePosition(8, CKelFileIO::ORIGIN_BEGIN), 0u);
  EXPECT_EQ(file.SetFilePosition(-4, CKelFileIO::ORIGIN_CURRENT), 8u);
  EXPECT_EQ(file.GetFilePosition(), 4u);
  // An origin beyond the three moves nowhere.
  EXPECT_EQ(file.SetFilePosition(0, static_cast<CKelFileIO::ORIGIN>(3)), 4u);
  EXPECT_EQ(file.SetFilePosition(5, static_cast<CKelFileIO::ORIGIN>(3)), 4u);
  EXPECT_EQ(file.GetFilePosition(), 4u);
  EXPECT_EQ(file.SetFilePosition(-3, CKelFileIO::ORIGIN_END), 4u);
  char byte = 0;
  ASSERT_TRUE(file.Read(&byte, 1));
  EXPECT_EQ(byte, '7');
  // The size is taken without moving the position.
  EXPECT_EQ(file.GetFileSize(), 10u);
  EXPECT_EQ(file.GetFilePosition(), 8u);
  file.Close();
  EXPECT_FALSE(file.IsOpen());
}

TEST_F(CKelFileIOTest, BlocksTransferWholeOrReportFailure)
{
  const std::string path = PathOf("blocks.bin");
  CKelFileIO file;
  ASSERT_TRUE(file.Create(path.c_str()));
  const unsigned char data[5] = {1, 2, 3, 4, 5};
  EXPECT_TRUE(file.Write(data, sizeof(data)));
  EXPECT_TRUE(file.Write(data, 0));
  file.Close();
  EXPECT_EQ(ReadAll(path), std::string("\x01\x02\x03\x04\x05", 5));

  ASSERT_TRUE(file.Open(path.c_str()));
  unsigned char back[8] = {};
  EXPECT_TRUE(file.Read(back, 3));
  EXPECT_FALSE(file.Read(back, 3));  // only two bytes remain
  EXPECT_TRUE(file.Read(back, 0));
  file.Close();

  // Update mode keeps the content and writes in place.
  ASSERT_TRUE(file.Save(path.c_str()));
  file.SetFilePosition(1, CKelFileIO::ORIGIN_BEGIN);
  EXPECT_TRUE(file.Write("\x09", 1));
  file.Close();
  EXPECT_EQ(ReadAll(path), std::string("\x01\x09\x03\x04\x05", 5));
  EXPECT_FALSE(file.Save(PathOf("missing.bin").c_str()));
  EXPECT_FALSE(file.IsOpen());
}

TEST_F(CKelFileIOTest, LineEndsFollowTheOpeningMode)
{
  const std::string binary = PathOf("binary.txt");
  CKelFileIO file;
  ASSERT_TRUE(file.Create(binary.c_str()));
  EXPECT_TRUE(file.WriteOneLine(""));
  EXPECT_TRUE(file.WriteOneLine("ab"));
  file.Close();
  EXPECT_EQ(ReadAll(binary), "\r\nab\r\n");

  const std::string text = PathOf("text.txt");
  ASSERT_TRUE(file.CreateText(text.c_str()));
  EXPECT_TRUE(file.WriteOneLine(""));
  EXPECT_TRUE(file.WriteOneLine("ab"));
  // No text: back to the start, so the next line overwrites the first.
  EXPECT_TRUE(file.WriteOneLine(nullptr));
  EXPECT_TRUE(file.WriteOneLine("X"));
  file.Close();
  EXPECT_EQ(ReadAll(text), "X\nb\n");
}

TEST_F(CKelFileIOTest, ReadOneLineKeepsTheLineEndAndStopsAtTheBuffer)
{
  const std::string path = PathOf("lines.txt");
  WriteAll(path, "first\r\nsecond line\nlast");
  CKelFileIO file;
  ASSERT_TRUE(file.OpenText(path.c_str()));
  char line[8];
  ASSERT_TRUE(file.ReadOneLine2(line, sizeof(line)));
  EXPECT_STREQ(line, "first\r\n");
  ASSERT_TRUE(file.ReadOneLine2(line, sizeof(line)));
  EXPECT_STREQ(line, "second ");  // seven bytes and the terminator
  ASSERT_TRUE(file.ReadOneLine2(line, sizeof(line)));
  EXPECT_STREQ(line, "line\n");
  ASSERT_TRUE(file.ReadOneLine2(line, sizeof(line)));
  EXPECT_STREQ(line, "last");
  EXPECT_FALSE(file.ReadOneLine2(line, sizeof(line)));
  EXPECT_STREQ(line, "");
  // A one-byte buffer can hold no line: false, not an endless true.
  EXPECT_FALSE(file.ReadOneLine2(line, 1));
  EXPECT_TRUE(file.ReadOneLine2(nullptr, 0));
  ASSERT_TRUE(file.ReadOneLine2(line, sizeof(line)));
  EXPECT_STREQ(line, "first\r\n");
  file.Close();
}

TEST_F(CKelFileIOTest, DrivePathsMapIntoTheSandbox)
{
  std::filesystem::create_directories(pln::host::SandboxRoot() / "c" / "kel");
  CKelFileIO file;
  ASSERT_TRUE(file.Create("c:\\kel\\drive.dat"));
  EXPECT_TRUE(file.Write("z", 1));
  file.Close();
  EXPECT_EQ(ReadAll(pln::host::SandboxRoot() / "c" / "kel" / "drive.dat"), "z");
  ASSERT_TRUE(file.Open("c:/kel/drive.dat"));
  file.Close();
  EXPECT_EQ(CKelFileIO::Fopen("", "rb"), nullptr);
  EXPECT_EQ(CKelFileIO::Fopen(nullptr, "rb"), nullptr);
}

TEST_F(CKelFileIOTest, PathFileExistsNamesWhyNot)
{
  const std::string path = PathOf("here.dat");
  WriteAll(path, "x");
  pln::host::ClearDebugLines();
  EXPECT_TRUE(CKelFileIO::PathFileExistsA(path.c_str()));
  EXPECT_TRUE(pln::host::DebugLines().empty());
  EXPECT_FALSE(CKelFileIO::PathFileExistsA(PathOf("gone.dat").c_str()));
  EXPECT_FALSE(CKelFileIO::PathFileExistsA(folder.string().c_str()));
  ASSERT_EQ(pln::host::DebugLines().size(), 2u);
  EXPECT_EQ(pln::host::DebugLines()[0], "FileNotFound\n");
  EXPECT_EQ(pln::host::DebugLines()[1], "NotAFile\n");
}

TEST_F(CKelFileIOTest, DeleteRemovesOnlyThatEntry)
{
  const std::string path = PathOf("doomed.dat");
  WriteAll(path, "x");
  WriteAll(PathOf("kept.dat"), "y");
  EXPECT_TRUE(CKelFileIO::DeleteFileA(path.c_str()));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(std::filesystem::exists(PathOf("kept.dat")));
  EXPECT_FALSE(CKelFileIO::DeleteFileA(path.c_str()));
}

TEST_F(CKelFileIOTest, MoveReplacesTheTargetAndAFailedMoveKeepsIt)
{
  const std::string from = PathOf("new.dat");
  const std::string to = PathOf("old.dat");
  WriteAll(from, "new");
  WriteAll(to, "old");
  EXPECT_FALSE(CKelFileIO::MoveFile(PathOf("absent.dat").c_str(), to.c_str()));
  EXPECT_EQ(ReadAll(to), "old");
  EXPECT_TRUE(CKelFileIO::MoveFile(from.c_str(), to.c_str()));
  EXPECT_EQ(ReadAll(to), "new");
  EXPECT_FALSE(std::filesystem::exists(from));
}

TEST(CKelFileIOPaths, ExtensionsAreThoseOfTheLastName)
{
  EXPECT_EQ(CKelFileIO::GetExtension("dir.v2/data.adj"), "adj");
  EXPECT_EQ(CKelFileIO::GetExtension("dir.v2/data"), "");
  EXPECT_EQ(CKelFileIO::GetExtension("c:\\a.b\\c.PL2"), "PL2");
  EXPECT_EQ(CKelFileIO::PathFindExtension("x/y.tar.gz"), ".gz");
  EXPECT_EQ(CKelFileIO::ChangeExtension("dir.v2/data.adj", "%w%"), "dir.v2/data.%w%");
  EXPECT_EQ(CKelFileIO::ChangeExtension("dir.v2/data", "adj"), "dir.v2/data.adj");
  EXPECT_EQ(CKelFileIO::ChangeExtension("c:\\k\\sky.dat", "PL2"), "c:\\k\\sky.PL2");
  EXPECT_EQ(CKelFileIO::PathRemoveExtension("dir.v2/data.adj"), "dir.v2/data");
  EXPECT_EQ(CKelFileIO::PathFindFileName("c:\\k\\sky.dat"), "sky");
  EXPECT_EQ(CKelFileIO::PathFindFileName("k/archive.tar.gz"), "archive.tar");
  // UTF-8 names come back byte for byte.
  EXPECT_EQ(CKelFileIO::ChangeExtension("設定/メンセラ　設定.dat", "adj"), "設定/メンセラ　設定.adj");
}

TEST_F(CKelFileIOTest, TempNamesAreUniqueFilesInTheTemporaryFolder)
{
  IO::Location temporary;
  ASSERT_EQ(IO::fileSystem.GetSpecialLocation(IO::FileSystem::Temporary, &temporary), NoError);
  const std::filesystem::path temporaryFolder = pln::host::ToFsPath(temporary);
  const std::string first = CKelFileIO::GetTempFileNameA("kel", 0);
  const std::string second = CKelFileIO::GetTempFileNameA("kel", 0);
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(std::filesystem::path(first).parent_path(), temporaryFolder);
  EXPECT_EQ(std::filesystem::path(first).filename().string().rfind("kel", 0), 0u);
  CKelFileIO file;
  ASSERT_TRUE(file.Create(first.c_str()));
  file.Close();
  EXPECT_TRUE(CKelFileIO::GetTempFileNameA("a/b", 0).empty());
}

TEST(CKelFileIODeathTest, OpeningOverAnOpenStreamIsAProgrammingError)
{
  const std::string path = (support_test::FreshFolder() / "twice.dat").string();
  support_test::WriteAll(path, "x");
  EXPECT_DEATH(
      {
        CKelFileIO file;
        file.Open(path.c_str());
        file.Open(path.c_str());
      },
      "!m_pStream");
  EXPECT_DEATH(
      {
        CKelFileIO file;
        file.Close();
      },
      "m_pStream != nullptr");
}

}  // namespace
