#include "PlatformTestSupport.h"

#include "host_charcodes.h"
#include "host_foundation.h"
#include "io_location.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

GS::UniString U(const std::string& utf8)
{
  return GS::UniString::FromStd(pln::host::internal::FromUtf8(utf8.data(), utf8.size()));
}

std::string Utf8(const GS::UniString& text) { return pln::host::internal::ToUtf8(text.Std()); }

std::string PathOf(const IO::Location& location)
{
  GS::UniString path;
  EXPECT_EQ(location.ToPath(&path), NoError);
  return Utf8(path);
}

// Each test gets its own sandbox, chosen by the test as the host allows.
class IOLocationTest : public testing::Test {
protected:
  void SetUp() override
  {
    pln::host::ResetFoundation();
    sandbox_ = fs::temp_directory_path() / ("pln-io-test-" + std::to_string(getpid()));
    pln::host::SetSandboxRoot(sandbox_);
  }
  void TearDown() override
  {
    std::error_code ignored;
    fs::remove_all(sandbox_, ignored);
    pln::host::ResetFoundation();
  }

  std::string Sandbox() const { return sandbox_.string(); }

  fs::path sandbox_;
};

TEST_F(IOLocationTest, PathsMapIntoTheSandboxAndDotDotNeverLeavesIt)
{
  const std::pair<GS::UniString, std::string> cases[] = {
      {u"c:\\temp\\Plenimetra.dat", "/c/temp/Plenimetra.dat"},
      {u"C:/temp/x.dat", "/c/temp/x.dat"},
      {u"a/b\\c.txt", "/a/b/c.txt"},
      {u"./a//b/./c", "/a/b/c"},
      {u"/etc/passwd", "/etc/passwd"},
      {u"\\\\server\\share\\x", "/server/share/x"},
      {u"メンセラ　計算パターン.txt", "/メンセラ　計算パターン.txt"},
      {U(Sandbox() + "/d/x.dat"), "/d/x.dat"},  // already inside: stays
      {U(Sandbox()), ""},
      {u"../../etc/passwd", "/etc/passwd"},
      {u"c:\\..\\..\\x", "/c/x"},
      {u"a/../../b", "/b"},
      {U(Sandbox() + "/../../outside"), "/outside"},  // out by the sandbox's own path lands back inside
      {U(Sandbox() + "/d/../x"), "/x"},
  };
  for (const auto& [location, inside] : cases) {
    SCOPED_TRACE(Utf8(location));
    EXPECT_EQ(PathOf(IO::Location(location)), Sandbox() + inside);
  }
  IO::Location location(u"a");
  EXPECT_EQ(location.AppendToLocal(IO::Name(u"../../..")), NoError);
  EXPECT_EQ(PathOf(location), Sandbox());
}

TEST_F(IOLocationTest, LastLocalNameCanBeReadReplacedAndRemoved)
{
  IO::Location location(u"c:\\work\\Project.pln");
  IO::Name last;
  ASSERT_EQ(location.GetLastLocalName(&last), NoError);
  EXPECT_EQ(last.ToString(), GS::UniString(u"Project.pln"));
  EXPECT_EQ(last.GetBase(), GS::UniString(u"Project"));

  EXPECT_EQ(location.SetLastLocalName(IO::Name(last.GetBase() + u"　求積表.csv")), NoError);
  EXPECT_EQ(PathOf(location), Sandbox() + "/c/work/Project　求積表.csv");
  GS::UniString display;
  EXPECT_EQ(location.ToDisplayText(&display), NoError);
  EXPECT_EQ(display, GS::UniString(u"c:\\work\\Project　求積表.csv"));

  EXPECT_EQ(location.DeleteLastLocalName(), NoError);
  EXPECT_EQ(location.DeleteLastLocalName(), NoError);
  EXPECT_EQ(location.DeleteLastLocalName(), IO::BadLocation);  // only the drive is left
  EXPECT_EQ(location.GetLastLocalName(&last), IO::BadLocation);
}

TEST_F(IOLocationTest, NameExtensionsAreAfterTheLastDotButNotALeadingOne)
{
  IO::Name name(u"settings.backup.dat");
  EXPECT_EQ(name.GetExtension(), GS::UniString(u"dat"));
  name.DeleteExtension();
  name.AppendExtension(u"datTree");
  EXPECT_EQ(name.ToString(), GS::UniString(u"settings.backup.datTree"));
  EXPECT_TRUE(IO::Name(u"README").GetExtension().IsEmpty());
  EXPECT_TRUE(IO::Name(u".profile").GetExtension().IsEmpty());
  EXPECT_EQ(IO::Name(u".profile").GetBase(), GS::UniString(u".profile"));
  GS::UniString extension;
  EXPECT_EQ(IO::Name(u"a.").GetExtension(&extension), NoError);
  EXPECT_TRUE(extension.IsEmpty());
}

TEST_F(IOLocationTest, SpecialFoldersLieInsideTheSandboxAndExist)
{
  const IO::FileSystem::SpecialFolderID ids[] = {IO::FileSystem::Temporary, IO::FileSystem::ApplicationData,
                                                 IO::FileSystem::UserDocuments};
  for (IO::FileSystem::SpecialFolderID id : ids) {
    IO::Location location;
    ASSERT_EQ(IO::fileSystem.GetSpecialLocation(id, &location), NoError);
    std::string path = PathOf(location);
    EXPECT_EQ(path.rfind(Sandbox() + "/", 0), 0u) << path;
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(IO::Folder(location).GetStatus(), NoError);
  }
  IO::Location location;
  EXPECT_EQ(IO::fileSystem.GetSpecialLocation(static_cast<IO::FileSystem::SpecialFolderID>(99), &location),
            APIERR_BADPARS);
}

TEST_F(IOLocationTest, FoldersAreCreatedKeptAndDeleted)
{
  IO::Location appData;
  ASSERT_EQ(IO::fileSystem.GetSpecialLocation(IO::FileSystem::ApplicationData, &appData), NoError);
  IO::Folder folder(appData);
  EXPECT_EQ(folder.CreateFolder(IO::Name(u"メンセラ")), NoError);
  EXPECT_EQ(folder.CreateFolder(IO::Name(u"メンセラ")), NoError);  // an existing folder is kept
  fs::path created = fs::path(Sandbox()) / "AppData" / "メンセラ";
  ASSERT_TRUE(fs::is_directory(created));
  std::ofstream(created / "a.dat") << "x";

  // Names that would reach outside the folder are refused.
  EXPECT_EQ(folder.CreateFolder(IO::Name(u"../x")), IO::BadLocation);
  EXPECT_EQ(folder.Delete(IO::Name(u"..")), IO::BadLocation);
  EXPECT_TRUE(fs::is_directory(created));

  EXPECT_EQ(folder.Delete(IO::Name(u"メンセラ")), NoError);
  EXPECT_FALSE(fs::exists(created));
  EXPECT_EQ(folder.Delete(IO::Name(u"メンセラ")), IO::FileNotFound);
  EXPECT_EQ(IO::Folder(IO::Location(u"no/such")).CreateFolder(IO::Name(u"x")), IO::FileNotFound);
}

TEST_F(IOLocationTest, FileStatusTellsFilesFromFoldersAndMissingEntriesAndAnEmptyLocationIsAnError)
{
  fs::create_directories(fs::path(Sandbox()) / "c" / "temp");
  std::ofstream(fs::path(Sandbox()) / "c" / "temp" / "Plenimetra.dat") << "data";
  EXPECT_EQ(IO::File(IO::Location(u"c:\\temp\\Plenimetra.dat")).GetStatus(), NoError);
  EXPECT_EQ(IO::File(IO::Location(u"c:\\temp\\missing.dat")).GetStatus(), IO::FileNotFound);
  EXPECT_EQ(IO::File(IO::Location(u"c:\\temp")).GetStatus(), IO::NotAFile);
  EXPECT_EQ(IO::Folder(IO::Location(u"c:\\temp\\Plenimetra.dat")).GetStatus(), IO::NotAFolder);

  IO::Location empty;
  GS::UniString path(u"unchanged");
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_EQ(IO::File(empty).GetStatus(), IO::BadLocation);
  EXPECT_EQ(IO::Location(u"").ToPath(&path), IO::BadLocation);
  EXPECT_EQ(empty.ToPath(&path), IO::BadLocation);
  EXPECT_EQ(path, GS::UniString(u"unchanged"));
  EXPECT_TRUE(pln::host::ToFsPath(empty).empty());
}

TEST_F(IOLocationTest, OwnLocationDefaultsIntoTheSandboxAndCanBeSet)
{
  IO::Location own;
  ASSERT_EQ(ACAPI_GetOwnLocation(&own), NoError);
  EXPECT_EQ(PathOf(own), Sandbox() + "/AddOns/Plenimetra.apx");
  EXPECT_TRUE(fs::is_directory(fs::path(Sandbox()) / "AddOns"));

  pln::host::SetOwnLocation(IO::Location(u"c:\\addons\\Other.apx"));
  ASSERT_EQ(ACAPI_GetOwnLocation(&own), NoError);
  EXPECT_EQ(PathOf(own), Sandbox() + "/c/addons/Other.apx");

  pln::host::ResetFoundation();
  ASSERT_EQ(ACAPI_GetOwnLocation(&own), NoError);
  EXPECT_EQ(PathOf(own), Sandbox() + "/AddOns/Plenimetra.apx");
}

}  // namespace
