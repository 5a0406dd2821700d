#include "io_filesystem.h"

#include "host_assert.h"
#include "host_charcodes.h"
#include "host_foundation.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct SandboxState {
  fs::path root;
  fs::path madeByHost;  // the default folder, removed at exit
  std::optional<IO::Location> ownLocation;

  SandboxState() = default;
  SandboxState(const SandboxState&) = delete;
  SandboxState& operator=(const SandboxState&) = delete;
  ~SandboxState()
  {
    std::error_code ignored;
    if (!madeByHost.empty())
      fs::remove_all(madeByHost, ignored);
  }
};

SandboxState& State()
{
  static SandboxState state;
  return state;
}

fs::path MakeDefaultSandbox()
{
  std::error_code error;
  fs::path temp = fs::temp_directory_path(error);
  if (error)
    temp = "/tmp";
  std::string pattern = (temp / "pln-sandbox-XXXXXX").string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const char* made = mkdtemp(name.data());
  // Without a sandbox no location can resolve: the host cannot run at all.
  PLN_ASSERT(made != nullptr);
  return fs::path(name.data());
}

// Absolute and lexically clean, without a trailing separator, so that
// locations can recognise paths inside it name by name.
fs::path CleanRoot(const fs::path& root)
{
  std::error_code error;
  fs::path clean = fs::absolute(root, error).lexically_normal();
  if (!clean.has_filename() && clean.has_parent_path() && clean != clean.root_path())
    clean = clean.parent_path();
  return clean;
}

GS::UniString ToUniString(const fs::path& path)
{
  std::string bytes = path.string();
  return GS::UniString::FromStd(pln::host::internal::FromUtf8(bytes.data(), bytes.size()));
}

// A single local name: no separators, not "." or "..", so an entry can
// never be anything but a child of its folder.
bool IsPlainName(const IO::Name& name)
{
  GS::UniString text = name.ToString();
  if (text.IsEmpty() || text == u"." || text == u"..")
    return false;
  return text.FindFirst(u'/') == GS::MaxUIndex && text.FindFirst(u'\\') == GS::MaxUIndex;
}

fs::path ChildPath(const IO::Location& folder, const IO::Name& name)
{
  IO::Location child = folder;
  if (child.AppendToLocal(name) != NoError)
    return {};
  return pln::host::ToFsPath(child);
}

// The status of the entry at the location: NoError when it is of the kind
// asked for, wrongKind when it is of another.
template <typename IsKind>
GSErrCode EntryStatus(const IO::Location& location, IsKind isKind, GSErrCode wrongKind)
{
  fs::path path = pln::host::ToFsPath(location);
  if (path.empty())
    return IO::BadLocation;
  std::error_code error;
  fs::file_status status = fs::status(path, error);
  if (!fs::exists(status))
    return IO::FileNotFound;
  return isKind(status) ? NoError : wrongKind;
}

const char* SpecialFolderName(IO::FileSystem::SpecialFolderID id)
{
  switch (id) {
    case IO::FileSystem::UserDocuments: return "Documents";
    case IO::FileSystem::Temporary: return "Temp";
    case IO::FileSystem::ApplicationData: return "AppData";
  }
  return nullptr;
}

}  // namespace

namespace IO {

FileSystem fileSystem;

GSErrCode Folder::GetStatus() const
{
  return EntryStatus(location_, [](fs::file_status status) { return fs::is_directory(status); }, NotAFolder);
}

GSErrCode Folder::CreateFolder(const Name& name)
{
  if (!IsPlainName(name))
    return BadLocation;
  GSErrCode status = GetStatus();
  if (status != NoError)
    return status;
  fs::path path = ChildPath(location_, name);
  std::error_code error;
  if (fs::is_directory(path, error))
    return NoError;
  return fs::create_directory(path, error) ? NoError : CreationError;
}

GSErrCode Folder::Delete(const Name& name)
{
  if (!IsPlainName(name))
    return BadLocation;
  fs::path path = ChildPath(location_, name);
  std::error_code error;
  if (!fs::exists(fs::symlink_status(path, error)))
    return FileNotFound;
  fs::remove_all(path, error);
  return error ? AccessDenied : NoError;
}

GSErrCode File::GetStatus() const
{
  return EntryStatus(location_, [](fs::file_status status) { return fs::is_regular_file(status); }, NotAFile);
}

GSErrCode FileSystem::GetSpecialLocation(SpecialFolderID id, Location* location) const
{
  const char* name = SpecialFolderName(id);
  if (location == nullptr || name == nullptr)
    return APIERR_BADPARS;
  fs::path path = pln::host::SandboxRoot() / name;
  std::error_code error;
  fs::create_directories(path, error);
  if (!fs::is_directory(path, error))
    return CreationError;
  *location = Location(ToUniString(path));
  return NoError;
}

}  // namespace IO

GSErrCode ACAPI_GetOwnLocation(IO::Location* location)
{
  if (location == nullptr)
    return APIERR_BADPARS;
  SandboxState& state = State();
  if (state.ownLocation) {
    *location = *state.ownLocation;
    return NoError;
  }
  // The add-on's folder exists, as it would beside an installed add-on.
  fs::path folder = pln::host::SandboxRoot() / "AddOns";
  std::error_code error;
  fs::create_directories(folder, error);
  *location = IO::Location(ToUniString(folder / "Plenimetra.apx"));
  return NoError;
}

namespace pln::host {

void SetSandboxRoot(const fs::path& root)
{
  State().root = CleanRoot(root);
  std::error_code error;
  fs::create_directories(State().root, error);
}

fs::path SandboxRoot()
{
  SandboxState& state = State();
  if (state.root.empty()) {
    state.madeByHost = MakeDefaultSandbox();
    state.root = CleanRoot(state.madeByHost);
  }
  return state.root;
}

void ClearSandbox()
{
  const fs::path root = SandboxRoot();
  std::error_code error;
  if (root == root.root_path() || root == fs::temp_directory_path(error))
    return;
  // Listed first: removing entries while a directory is being read leaves
  // it open whether the rest is still listed.
  std::vector<fs::path> entries;
  for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error))
    entries.push_back(it->path());
  for (const fs::path& entry : entries)
    fs::remove_all(entry, error);
  fs::create_directories(root, error);
}

void SetOwnLocation(const IO::Location& location) { State().ownLocation = location; }

fs::path ToFsPath(const IO::Location& location)
{
  GS::UniString path;
  if (location.ToPath(&path) != NoError)
    return {};
  return fs::path(internal::ToUtf8(path.Std()));
}

void internal::ResetOwnLocation() { State().ownLocation.reset(); }

}  // namespace pln::host
