#include "FolderRemoval.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <set>
#include <utility>

namespace fs = std::filesystem;

namespace folder_removal {

namespace {

// An open folder, closed when it goes; error is the errno of a failed open.
class OpenFolder {
public:
  // name below the open folder at, never through a link.
  static OpenFolder Below(int at, const char* name)
  {
    const int fd = ::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    return OpenFolder(fd, fd < 0 ? errno : 0);
  }
  static OpenFolder Path(const fs::path& folder) { return Below(AT_FDCWD, folder.c_str()); }
  OpenFolder(OpenFolder&& other) noexcept : fd_(std::exchange(other.fd_, -1)), error_(other.error_) {}
  OpenFolder& operator=(OpenFolder&& other) noexcept
  {
    std::swap(fd_, other.fd_);
    error_ = other.error_;
    return *this;
  }
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;
  ~OpenFolder()
  {
    if (fd_ >= 0)
      ::close(fd_);
  }

  int Fd() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  int Error() const { return error_; }

  // The folder relative below this one, one name at a time.
  OpenFolder Descend(const fs::path& relative) const
  {
    OpenFolder current = Below(fd_, ".");
    for (const fs::path& name : relative)
      if (current.IsOpen())
        current = Below(current.fd_, name.c_str());
    return current;
  }

private:
  OpenFolder(int fd, int error) : fd_(fd), error_(error) {}
  int fd_;
  int error_;
};

bool StatusOf(const OpenFolder& folder, const fs::path& name, struct stat& status)
{
  return ::fstatat(folder.Fd(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

// The names in an open folder, without "." and "..".
std::vector<fs::path> Names(const OpenFolder& folder)
{
  std::vector<fs::path> names;
  const int fd = ::openat(folder.Fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);  // closedir closes it
  DIR* stream = fd < 0 ? nullptr : ::fdopendir(fd);
  if (stream == nullptr) {
    if (fd >= 0)
      ::close(fd);
    return names;
  }
  while (const dirent* entry = ::readdir(stream))
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
      names.emplace_back(entry->d_name);
  ::closedir(stream);
  return names;
}

std::string CannotRemove(int error) { return std::string("cannot be removed: ") + std::strerror(error); }

void RemoveFile(const OpenFolder& root, const fs::path& file, const FileState& checked, Left& left)
{
  const OpenFolder folder = root.Descend(file.parent_path());
  struct stat status = {};
  if (!folder.IsOpen() || !StatusOf(folder, file.filename(), status))
    return;  // gone, or behind a link: what is there is found as left below
  if (!S_ISREG(status.st_mode))
    left[file] = "changed during the run: not a regular file";
  else if (!checked.Same(status))
    left[file] = "changed during the run";
  else if (::unlinkat(folder.Fd(), file.filename().c_str(), 0) != 0)
    left[file] = CannotRemove(errno);
}

// Only while empty; a link in its place is no folder and stays.
void RemoveEmptyFolder(const OpenFolder& root, const fs::path& folder)
{
  const OpenFolder parent = root.Descend(folder.parent_path());
  if (parent.IsOpen())
    (void)::unlinkat(parent.Fd(), folder.filename().c_str(), AT_REMOVEDIR);
}

// The folder itself, through the folder that holds it.
bool RemoveItself(const fs::path& folder)
{
  const OpenFolder parent = OpenFolder::Path(folder.parent_path());
  return parent.IsOpen() && ::unlinkat(parent.Fd(), folder.filename().c_str(), AT_REMOVEDIR) == 0;
}

// What is still below folder: every entry that is not a folder holding
// more, each with the reason found on the way or, lacking one, as changed
// (not listed, or put where a listed folder was).
void CollectLeft(const OpenFolder& folder, const fs::path& prefix, Left& left)
{
  for (const fs::path& name : Names(folder)) {
    const fs::path path = prefix / name;
    struct stat status = {};
    if (StatusOf(folder, name, status) && S_ISDIR(status.st_mode)) {
      const OpenFolder inner = OpenFolder::Below(folder.Fd(), name.c_str());
      if (inner.IsOpen() && !Names(inner).empty()) {
        CollectLeft(inner, path, left);
        continue;
      }
    }
    left.emplace(path, "changed during the run");  // keeps a reason found earlier
  }
}

void RemoveAllBelow(const OpenFolder& folder, const fs::path& prefix, Left& left)
{
  for (const fs::path& name : Names(folder)) {
    struct stat status = {};
    if (!StatusOf(folder, name, status))
      continue;
    if (S_ISDIR(status.st_mode)) {
      const OpenFolder inner = OpenFolder::Below(folder.Fd(), name.c_str());
      if (inner.IsOpen())
        RemoveAllBelow(inner, prefix / name, left);
      if (::unlinkat(folder.Fd(), name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOTEMPTY)
        left[prefix / name] = CannotRemove(errno);
    } else if (!S_ISREG(status.st_mode)) {
      left[prefix / name] = "changed during the run: not a regular file";
    } else if (::unlinkat(folder.Fd(), name.c_str(), 0) != 0) {
      left[prefix / name] = CannotRemove(errno);
    }
  }
}

// The folder that was there is gone or no longer a folder.
Left Replaced(const OpenFolder& root)
{
  if (root.Error() == ENOENT)
    return {};
  return {{fs::path(), "it is no longer a folder: it was replaced during the run"}};
}

}  // namespace

FileState::FileState(const struct stat& status)
    : device(status.st_dev), inode(status.st_ino), size(status.st_size), modified(status.st_mtim)
{
}

bool FileState::Same(const struct stat& status) const
{
  return status.st_dev == device && status.st_ino == inode && status.st_size == size &&
         status.st_mtim.tv_sec == modified.tv_sec && status.st_mtim.tv_nsec == modified.tv_nsec;
}

Left RemoveListed(const fs::path& folder, const Checked& files)
{
  const OpenFolder root = OpenFolder::Path(folder);
  if (!root.IsOpen())
    return Replaced(root);
  Left left;
  std::set<fs::path, std::greater<>> folders;  // the inner ones first
  for (const auto& [file, checked] : files) {
    RemoveFile(root, file, checked, left);
    for (fs::path up = file.parent_path(); !up.empty(); up = up.parent_path())
      folders.insert(up);
  }
  for (const fs::path& inner : folders)
    RemoveEmptyFolder(root, inner);
  if (RemoveItself(folder))
    return {};
  CollectLeft(root, fs::path(), left);
  return left;
}

Left RemoveTree(const fs::path& folder)
{
  const OpenFolder root = OpenFolder::Path(folder);
  if (!root.IsOpen())
    return Replaced(root);
  Left left;
  RemoveAllBelow(root, fs::path(), left);
  if (RemoveItself(folder))
    return {};
  CollectLeft(root, fs::path(), left);
  return left;
}

std::string Describe(const Left& left)
{
  constexpr std::size_t kNamed = 3;
  std::string text;
  std::size_t named = 0;
  for (const auto& [path, reason] : left) {
    if (named == kNamed)
      break;
    text += (named++ == 0 ? "" : ", ") + (path.empty() ? reason : path.string() + " (" + reason + ")");
  }
  if (left.size() > kNamed)
    text += " and " + std::to_string(left.size() - kNamed) + " more";
  return text;
}

}  // namespace folder_removal
