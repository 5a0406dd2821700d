#include "CKelFileIO.h"

#include "SupportTestFiles.h"
#include "host_debug.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace support_test;

class CKelFileIOTest : public FileTest {};

TEST_F(CKelFileIOTest, SignedOffsetStepsBackAndBlocksTransferWholeOrFail)
{
  const std::string path = PathOf("positions.bin");
  WriteAll(path, "0123456789");
  CKelFileIO file;
  ASSERT_TRUE(file.Open(path.c_str()));
  EXPECT_EQ(file.SetFilePosition(8, CKelFileIO::ORIGIN_BEGIN), 0u);
  EXPECT_EQ(file.SetFilePosition(-4, CKelFileIO::ORIGIN_CURRENT), 8u);
  EXPECT_EQ(file.GetFilePosition(), 4u);
  // An origin beyond the three moves nowhere.
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

  // Blocks transfer whole or report failure.
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

// A file object never opened, or closed, answers 0 for its position and
// size; one going out of scope open closes its stream, so what it wrote
// reaches the file.
TEST_F(CKelFileIOTest, AClosedFileAnswersZeroAndAnOpenOneClosesAtItsEnd)
{
  CKelFileIO closed;
  EXPECT_EQ(closed.GetFilePosition(), 0u);
  EXPECT_EQ(closed.GetFileSize(), 0u);
  EXPECT_EQ(closed.SetFilePosition(3, CKelFileIO::ORIGIN_BEGIN), 0u);
  EXPECT_FALSE(closed.Read(nullptr, 1));

  const std::string path = PathOf("left-open.bin");
  {
    CKelFileIO file;
    ASSERT_TRUE(file.Create(path.c_str()));
    ASSERT_TRUE(file.Write("abc", 3));
  }
  EXPECT_EQ(ReadAll(path), "abc");
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
  const auto next = [&] { return file.ReadOneLine2(line, sizeof(line)) ? std::string(line) : "(false) " + std::string(line); };
  EXPECT_EQ(next(), "first\r\n");
  EXPECT_EQ(next(), "second ");  // seven bytes and the terminator
  EXPECT_EQ(next(), "line\n");
  EXPECT_EQ(next(), "last");
  EXPECT_EQ(next(), "(false) ");
  // A one-byte buffer can hold no line: false, not an endless true.
  EXPECT_FALSE(file.ReadOneLine2(line, 1));
  EXPECT_TRUE(file.ReadOneLine2(nullptr, 0));
  EXPECT_EQ(next(), "first\r\n");
  file.Close();
}

TEST_F(CKelFileIOTest, DrivePathsAndTemporaryNamesLandInTheSandbox)
{
  std::filesystem::create_directories(pln::host::SandboxRoot() / "c" / "kel");
  CKelFileIO file;
  ASSERT_TRUE(file.Create("c:\\kel\\drive.dat"));
  EXPECT_TRUE(file.Write("z", 1));
  file.Close();
  EXPECT_EQ(ReadAll(pln::host::SandboxRoot() / "c" / "kel" / "drive.dat"), "z");
  EXPECT_EQ(CKelFileIO::Fopen("", "rb"), nullptr);
  EXPECT_EQ(CKelFileIO::Fopen(nullptr, "rb"), nullptr);

  // Temporary names are unique files claimed in the host's temporary folder.
  IO::Location temporary;
  ASSERT_EQ(IO::fileSystem.GetSpecialLocation(IO::FileSystem::Temporary, &temporary), NoError);
  const std::string first = CKelFileIO::GetTempFileNameA("kel", 0);
  const std::string second = CKelFileIO::GetTempFileNameA("kel", 0);
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(std::filesystem::path(first).parent_path(), pln::host::ToFsPath(temporary));
  EXPECT_EQ(std::filesystem::path(first).filename().string().rfind("kel", 0), 0u);
  EXPECT_TRUE(std::filesystem::is_regular_file(first));
  EXPECT_TRUE(CKelFileIO::GetTempFileNameA("a/b", 0).empty());
}

TEST_F(CKelFileIOTest, ExistsDeleteAndMoveTouchOnlyTheirEntries)
{
  const std::string here = PathOf("here.dat");
  const std::string to = PathOf("old.dat");
  WriteAll(here, "new");
  WriteAll(to, "old");
  pln::host::ClearDebugLines();
  EXPECT_TRUE(CKelFileIO::PathFileExistsA(here.c_str()));  // silently
  EXPECT_FALSE(CKelFileIO::PathFileExistsA(PathOf("gone.dat").c_str()));
  EXPECT_FALSE(CKelFileIO::PathFileExistsA(folder.string().c_str()));
  EXPECT_EQ(pln::host::DebugLines(), (std::vector<std::string>{"FileNotFound\n", "NotAFile\n"}));

  // A failed move keeps the target; a move replaces it.
  EXPECT_FALSE(CKelFileIO::MoveFile(PathOf("absent.dat").c_str(), to.c_str()));
  EXPECT_EQ(ReadAll(to), "old");
  EXPECT_TRUE(CKelFileIO::MoveFile(here.c_str(), to.c_str()));
  EXPECT_EQ(ReadAll(to), "new");
  EXPECT_FALSE(std::filesystem::exists(here));

  WriteAll(here, "x");
  EXPECT_TRUE(CKelFileIO::DeleteFileA(here.c_str()));
  EXPECT_FALSE(std::filesystem::exists(here));
  EXPECT_TRUE(std::filesystem::exists(to));
  EXPECT_FALSE(CKelFileIO::DeleteFileA(here.c_str()));
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

using CKelFileIODeathTest = FileTest;

TEST_F(CKelFileIODeathTest, OpeningOverAnOpenStreamIsAProgrammingError)
{
  const std::string path = PathOf("twice.dat");
  WriteAll(path, "x");
  EXPECT_DEATH({ CKelFileIO file; file.Open(path.c_str()); file.Open(path.c_str()); }, "!m_pStream");
  EXPECT_DEATH({ CKelFileIO file; file.Close(); }, "m_pStream != nullptr");
}

}  // namespace
