#include "FolderRemoval.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <utility>

namespace fs = std::filesystem;

namespace folder_removal {

namespace {

// A run's own folders are two levels deep; what is far deeper was not made
// by a run and is not walked, so that the stack and the descriptors held
// stay bounded whatever a folder holds.
constexpr int kDeepest = 16;

std::string CannotRemove(int error) { return std::string("cannot be removed: ") + std::strerror(error); }

// A removal touches only the runner's files and folders and those of the
// owner of the folder it clears: a third user's are not the run's to
// remove, even where the run may.
bool Theirs(uid_t user, uid_t owner) { return user != ::geteuid() && user != owner; }

std::string BelongsTo(uid_t user) { return "belongs to " + UserName(user); }

// The folder relative below root, one name at a time, entering none that
// belongs to a third user: that one is left, with the reason.
OpenFolder DescendOwned(const OpenFolder& root, const fs::path& relative, uid_t owner, Left& left)
{
  OpenFolder current = OpenFolder::Below(root.Fd(), ".");
  fs::path done;
  for (const fs::path& name : relative) {
    done /= name;
    current = OpenFolder::Below(current.Fd(), name.c_str());
    struct stat status = {};
    if (!current.IsOpen() || !current.Status(status))
      return OpenFolder();
    if (Theirs(status.st_uid, owner)) {
      left[done] = BelongsTo(status.st_uid);
      return OpenFolder();
    }
  }
  return current;
}

void RemoveFile(const OpenFolder& root, const fs::path& file, const FileState& checked, uid_t owner, Left& left)
{
  const OpenFolder folder = DescendOwned(root, file.parent_path(), owner, left);
  struct stat status = {};
  if (!folder.IsOpen() || !folder.StatusOf(file.filename().string(), status))
    return;  // gone, or behind a link: what is there is found as left below
  if (Theirs(status.st_uid, owner))
    left[file] = BelongsTo(status.st_uid);
  else if (!S_ISREG(status.st_mode))
    left[file] = "changed during the run: not a regular file";
  else if (!checked.Same(status))
    left[file] = "changed during the run";
  else if (const int error = ErrorOf(::unlinkat(folder.Fd(), file.filename().c_str(), 0)); error != 0)
    left[file] = CannotRemove(error);
}

// Only while empty; a link in its place is no folder and stays.
void RemoveEmptyFolder(const OpenFolder& root, const fs::path& folder, uid_t owner, Left& left)
{
  const OpenFolder parent = DescendOwned(root, folder.parent_path(), owner, left);
  struct stat status = {};
  if (parent.IsOpen() && parent.StatusOf(folder.filename().string(), status) && !Theirs(status.st_uid, owner))
    (void)::unlinkat(parent.Fd(), folder.filename().c_str(), AT_REMOVEDIR);
}

// What is still below folder: every entry that is not a folder holding
// more, each with the reason found on the way or, lacking one, as changed
// (not listed, or put where a listed folder was).
void CollectLeft(const OpenFolder& folder, const fs::path& prefix, uid_t owner, Left& left, int depth = 0)
{
  for (const std::string& name : folder.Names()) {
    const fs::path path = prefix / name;
    struct stat status = {};
    if (depth < kDeepest && folder.StatusOf(name, status) && S_ISDIR(status.st_mode) && !Theirs(status.st_uid, owner)) {
      const OpenFolder inner = OpenFolder::Below(folder.Fd(), name.c_str());
      if (inner.IsOpen() && !inner.Names().empty()) {
        CollectLeft(inner, path, owner, left, depth + 1);
        continue;
      }
    }
    left.emplace(path, "changed during the run");  // keeps a reason found earlier
  }
}

// Another user's file or folder is theirs even inside the runner's folder:
// it is neither entered nor removed.
void RemoveAllBelow(const OpenFolder& folder, const fs::path& prefix, Left& left, int depth = 0)
{
  for (const std::string& name : folder.Names()) {
    struct stat status = {};
    if (!folder.StatusOf(name, status))
      continue;
    if (Theirs(status.st_uid, ::geteuid())) {
      left[prefix / name] = BelongsTo(status.st_uid);
    } else if (S_ISDIR(status.st_mode) && depth == kDeepest) {
      left[prefix / name] = "deeper than a run writes";
    } else if (S_ISDIR(status.st_mode)) {
      const OpenFolder inner = OpenFolder::Below(folder.Fd(), name.c_str());
      if (inner.IsOpen())
        RemoveAllBelow(inner, prefix / name, left, depth + 1);
      if (const int error = ErrorOf(::unlinkat(folder.Fd(), name.c_str(), AT_REMOVEDIR)); error != 0 && error != ENOTEMPTY)
        left[prefix / name] = CannotRemove(error);
    } else if (!S_ISREG(status.st_mode)) {
      left[prefix / name] = "changed during the run: not a regular file";
    } else if (const int error = ErrorOf(::unlinkat(folder.Fd(), name.c_str(), 0)); error != 0) {
      left[prefix / name] = CannotRemove(error);
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

Left RemoveListed(const OpenFolder& holder, const std::string& name, const Checked& files,
                  const std::set<fs::path>& folders)
{
  const OpenFolder root = OpenFolder::Below(holder.Fd(), name.c_str());
  if (!root.IsOpen())
    return Replaced(root);
  struct stat top = {};
  if (!root.Status(top))
    return Replaced(root);
  Left left;
  std::set<fs::path, std::greater<>> inner(folders.begin(), folders.end());  // the inner ones first
  for (const auto& [file, checked] : files) {
    RemoveFile(root, file, checked, top.st_uid, left);
    for (fs::path up = file.parent_path(); !up.empty(); up = up.parent_path())
      inner.insert(up);
  }
  for (const fs::path& folder : inner)
    RemoveEmptyFolder(root, folder, top.st_uid, left);
  if (::unlinkat(holder.Fd(), name.c_str(), AT_REMOVEDIR) == 0)
    return {};
  CollectLeft(root, fs::path(), top.st_uid, left);
  return left;
}

Left RemoveTree(const OpenFolder& holder, const std::string& name)
{
  const OpenFolder root = OpenFolder::Below(holder.Fd(), name.c_str());
  if (!root.IsOpen())
    return Replaced(root);
  struct stat status = {};
  if (root.Status(status) && Theirs(status.st_uid, ::geteuid()))
    return {{fs::path(), "it " + BelongsTo(status.st_uid)}};
  Left left;
  RemoveAllBelow(root, fs::path(), left);
  if (::unlinkat(holder.Fd(), name.c_str(), AT_REMOVEDIR) == 0)
    return {};
  CollectLeft(root, fs::path(), ::geteuid(), left);
  return left;
}

std::string UserName(uid_t user)
{
  const passwd* entry = ::getpwuid(user);
  return entry != nullptr ? entry->pw_name : "user " + std::to_string(user);
}

std::string Shown(const fs::path& path)
{
  const std::string& text = path.native();
  const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; };
  if (std::none_of(text.begin(), text.end(), control))
    return text;
  std::string shown = "$'";
  for (const char c : text) {
    if (c == '\n')
      shown += "\\n";
    else if (c == '\t')
      shown += "\\t";
    else if (c == '\\' || c == '\'')
      shown += std::string("\\") + c;
    else if (control(c)) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
      shown += escaped;
    } else
      shown += c;
  }
  return shown + "'";
}

std::string Describe(const Left& left)
{
  constexpr std::size_t kNamed = 3;
  std::string text;
  std::size_t named = 0;
  for (const auto& [path, reason] : left) {
    if (named == kNamed)
      break;
    text += (named++ == 0 ? "" : ", ") + (path.empty() ? reason : Shown(path) + " (" + reason + ")");
  }
  if (left.size() > kNamed)
    text += " and " + std::to_string(left.size() - kNamed) + " more";
  return text;
}

}  // namespace folder_removal
