// What a run checks before it makes anything: the target's path, the
// folder that holds it, the target and what it holds.

#include "OutputFolder.h"

#include "host_charcodes.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>

namespace fs = std::filesystem;

namespace {

// A run writes its files at most this many names below the folder (the
// pictures in worksheets/); the check walks no deeper, so that the stack
// and the descriptors it holds stay bounded whatever a list names.
constexpr int kDeepestListed = 4;

// A listed name is used only when it stays inside the folder, no deeper
// than a run writes: what else a list names is no file of a run's.
bool IsInside(const fs::path& relative)
{
  if (relative.empty() || relative.is_absolute())
    return false;
  int depth = 0;
  for (const fs::path& part : relative)
    if (part == ".." || part == "." || ++depth > kDeepestListed)
      return false;
  return true;
}

// The new folder beside the target is named "." + name + ".new-" + a
// number of at most 7 digits (a process id on Linux).
constexpr std::size_t kBesideExtra = 1 + 5 + 7;
// How far below the folder the run's files and its scratch host lie: some
// 80 bytes, with room to spare.
constexpr std::size_t kDeepestInside = 256;
// A run's list names some fifteen files; a "list" far larger is something
// else, and is not read.
constexpr off_t kListLimit = 64 * 1024;

// The nearest folder on the way up that exists.
fs::path ExistingAncestor(fs::path folder)
{
  std::error_code unreadable;  // a name too long to look up is no folder either
  while (!folder.empty() && !fs::exists(folder, unreadable) && folder != folder.parent_path())
    folder = folder.parent_path();
  return folder;
}

std::size_t NameMax(const fs::path& folder)
{
  const long max = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  return max > 0 ? static_cast<std::size_t>(max) : NAME_MAX;
}

bool IsUtf8(const std::string& text)
{
  bool lost = false;
  (void)pln::host::internal::FromUtf8(text.c_str(), text.size(), &lost);
  return !lost;
}

std::string Marked(const std::string& text)
{
  return pln::host::internal::ToUtf8(pln::host::internal::FromUtf8(text.c_str(), text.size(), nullptr));
}

// The folder's own name is named when it is to blame, and otherwise the
// folder above it that is.
void CheckUtf8(const fs::path& target)
{
  if (IsUtf8(target.native()))
    return;
  const std::string shown = "the folder's path \"" + Marked(target.native()) + "\" is not UTF-8 (� marks the bytes ";
  if (!IsUtf8(target.filename().native()))
    throw OutputFolder::Refused(shown + "that are not), and the stand-in host's paths are UTF-8 text; nothing was "
                                        "written. Choose a folder name in UTF-8.");
  std::string above;
  for (const fs::path& part : target.parent_path())
    if (above.empty() && !IsUtf8(part.native()))
      above = Marked(part.native());
  throw OutputFolder::Refused(shown + "that are not) in the name of a folder above it, \"" + above +
                              "\", and the stand-in host's paths are UTF-8 text; nothing was written. Choose a "
                              "folder whose whole path is UTF-8.");
}

void CheckNameLengths(const fs::path& target)
{
  const std::size_t nameMax = NameMax(ExistingAncestor(target.parent_path()));
  const std::size_t name = target.filename().native().size();
  if (name + kBesideExtra > nameMax)
    throw OutputFolder::Refused(
        "the folder name is " + std::to_string(name) + " bytes long: the system allows " + std::to_string(nameMax) +
        " a name, and the new folder made beside it during the run (.NAME.new-PID) takes " +
        std::to_string(kBesideExtra) + " more, so it may be at most " + std::to_string(nameMax - kBesideExtra) +
        "; nothing was written");
  for (const fs::path& part : target.parent_path().relative_path())
    if (part.native().size() > nameMax)
      throw OutputFolder::Refused("a folder name in the path is " + std::to_string(part.native().size()) +
                                  " bytes long, and the system allows " + std::to_string(nameMax) +
                                  " a name; nothing was written");
}

void CheckPathLength(const fs::path& target)
{
  const std::size_t pathMax = PATH_MAX - 1;
  const std::size_t longest = pathMax - kBesideExtra - kDeepestInside;
  if (target.native().size() > longest)
    throw OutputFolder::Refused("the folder's path is " + std::to_string(target.native().size()) +
                                " bytes long: the system allows " + std::to_string(pathMax) +
                                " a path, and the run writes files up to " +
                                std::to_string(kBesideExtra + kDeepestInside) +
                                " bytes below it, so it may be at most " + std::to_string(longest) +
                                "; nothing was written");
}

// Backslashes are the stand-in host's separator between folders: a path
// that holds one would be split into other folders than the user's.
void CheckBackslash(const fs::path& target)
{
  if (target.native().find('\\') != std::string::npos)
    throw OutputFolder::Refused("the folder's path " + OutputFolder::Quoted(target) +
                                " holds a backslash (\\), which the stand-in host takes for a separator between "
                                "folders; nothing was written. Choose a path without one.");
}

// A group that holds a user besides the runner, as a member or as the
// user's own group. Root is no other: it may change any folder anyway, and
// a place of root's is accepted.
bool GroupHasOthers(gid_t group, uid_t runner)
{
  const auto other = [runner](uid_t user) { return user != runner && user != 0; };
  if (const struct group* entry = ::getgrgid(group); entry != nullptr)
    for (char** member = entry->gr_mem; *member != nullptr; ++member)
      if (const passwd* user = ::getpwnam(*member); user == nullptr || other(user->pw_uid))
        return true;
  bool others = false;
  ::setpwent();
  while (const passwd* user = ::getpwent())
    others = others || (user->pw_gid == group && other(user->pw_uid));
  ::endpwent();
  return others;
}

// Who besides the owner may write in a folder by its access control list:
// each user or group whose entry gives write, as the mask lets it (with a
// list, the mode's group bits are the mask and do not say whom it lets
// write). Nothing when the folder has no list beyond its mode.
struct AclWriter {
  bool group = false;
  bool owningGroup = false;
  std::uint32_t id = 0;
};

std::optional<std::vector<AclWriter>> AclWriters(const OpenFolder& folder, gid_t owningGroup)
{
  // The list as the system stores it: a version word, then entries of a tag,
  // permissions and an id (Linux's posix_acl_xattr layout).
  constexpr std::uint32_t kVersion = 2;
  constexpr std::uint16_t kUser = 0x02, kGroupObj = 0x04, kGroup = 0x08, kMask = 0x10, kWrite = 0x02;
  constexpr std::size_t kHeader = 4, kEntry = 8;
  constexpr const char* kName = "system.posix_acl_access";
  const ssize_t wanted = ::fgetxattr(folder.Fd(), kName, nullptr, 0);
  if (wanted < static_cast<ssize_t>(kHeader))
    return std::nullopt;
  std::string bytes(static_cast<std::size_t>(wanted), '\0');
  const ssize_t size = ::fgetxattr(folder.Fd(), kName, bytes.data(), bytes.size());
  std::uint32_t version = 0;
  std::memcpy(&version, bytes.data(), sizeof version);
  if (size < static_cast<ssize_t>(kHeader) || version != kVersion)
    return std::nullopt;
  std::vector<AclWriter> writers;
  bool mask = false, maskWrites = false;
  for (std::size_t at = kHeader; at + kEntry <= static_cast<std::size_t>(size); at += kEntry) {
    std::uint16_t tag = 0, permissions = 0;
    std::uint32_t id = 0;
    std::memcpy(&tag, bytes.data() + at, sizeof tag);
    std::memcpy(&permissions, bytes.data() + at + 2, sizeof permissions);
    std::memcpy(&id, bytes.data() + at + 4, sizeof id);
    if (tag == kMask) {
      mask = true;
      maskWrites = (permissions & kWrite) != 0;
    } else if ((tag == kUser || tag == kGroup || tag == kGroupObj) && (permissions & kWrite) != 0) {
      writers.push_back({tag != kUser, tag == kGroupObj, tag == kGroupObj ? owningGroup : id});
    }
  }
  if (!mask)
    return std::nullopt;  // the mode says it all
  return maskWrites ? writers : std::vector<AclWriter>();
}

// Root passes every permission check, so a folder whose mode lets no one
// write (chmod a-w) is refused by its mode bits as well.
bool Writable(int at, const char* name, const struct stat& status)
{
  return ::faccessat(at, name, W_OK | X_OK, 0) == 0 && (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

bool OnReadOnlyDevice(const OpenFolder& folder)
{
  struct statvfs device = {};
  return ::fstatvfs(folder.Fd(), &device) == 0 && (device.f_flag & ST_RDONLY) != 0;
}

// The run replaces the folder by a rename, which a mount point refuses; and
// a folder that another file system is mounted on is not the user's to
// replace.
bool IsMountPoint(const OpenFolder& parent, const std::string& name, const struct stat& status)
{
  struct statx extended = {};
  if (::statx(parent.Fd(), name.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &extended) == 0 &&
      (extended.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0)
    return (extended.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
  struct stat outer = {};  // kernels before 5.8: a change of device
  return parent.Status(outer) && status.st_dev != outer.st_dev;
}


// Why the name below the folder could not be opened as a folder: what is
// there instead, or the error.
std::string WhyNotOpened(const OpenFolder& folder, const std::string& name, int error)
{
  struct stat status = {};
  if (!folder.StatusOf(name, status) || S_ISDIR(status.st_mode))
    return std::strerror(error);
  return S_ISLNK(status.st_mode) ? "it is a symbolic link now" : "it is not a folder";
}

// The list's bytes, at most one more than the limit.
std::string ReadBounded(int fd)
{
  std::string bytes(static_cast<std::size_t>(kListLimit) + 1, '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
    const int error = ErrorOf(got);
    if (error == EINTR)
      continue;
    if (error != 0)
      throw std::system_error(error, std::generic_category());
    if (got == 0)
      break;
    done += static_cast<std::size_t>(got);
  }
  bytes.resize(done);
  return bytes;
}

}  // namespace

std::string OutputFolder::KindOf(mode_t mode)
{
  if (S_ISLNK(mode))
    return "a symbolic link";
  if (S_ISDIR(mode))
    return "a folder";
  if (S_ISFIFO(mode))
    return "a named pipe";
  if (S_ISSOCK(mode))
    return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode))
    return "a device";
  return "a special file";
}

std::string OutputFolder::UserName(uid_t user) { return folder_removal::UserName(user); }

std::string OutputFolder::GroupName(gid_t group)
{
  const struct group* entry = ::getgrgid(group);
  return entry != nullptr ? entry->gr_name : "group " + std::to_string(group);
}

std::string OutputFolder::Quoted(const fs::path& path)
{
  const std::string shown = Shown(path);
  return shown == path.native() ? "\"" + shown + "\"" : shown;
}

std::string OutputFolder::Shown(const fs::path& path) { return folder_removal::Shown(path); }

void OutputFolder::CheckPath(const fs::path& target)
{
  CheckUtf8(target);
  CheckBackslash(target);
  CheckNameLengths(target);
  CheckPathLength(target);
}

// The nearest folder that exists on the way down to the target's parent,
// reached one name at a time from the root, never through a link: the path
// is resolved already, so a link met now was put there since. A fresh start
// goes down again from the nearest folder reached before that was not
// removed, never by the path again: a link put in place of a folder above
// while the run waited leads nowhere.
void OutputFolder::OpenAncestor()
{
  std::vector<std::string> names;
  for (const fs::path& part : ParentPath().relative_path())
    names.push_back(part.string());
  if (chain_.empty())
    chain_.push_back(OpenFolder::HandleBelow(AT_FDCWD, "/"));
  while (chain_.size() > 1 && chain_.back().Removed())
    chain_.pop_back();
  ancestorPath_ = "/";
  for (std::size_t i = 0; i + 1 < chain_.size(); ++i)
    ancestorPath_ /= names[i];
  for (std::size_t next = chain_.size() - 1; next < names.size(); ++next) {
    OpenFolder below = OpenFolder::HandleBelow(chain_.back().Fd(), names[next].c_str());
    if (!below.IsOpen() && below.Error() == ENOENT)
      break;
    if (!below.IsOpen())
      throw Refused("cannot open the folder " + Quoted(ancestorPath_ / names[next]) + " to make " + Quoted(target_) +
                    " in: " + WhyNotOpened(chain_.back(), names[next], below.Error()) + "; nothing was written");
    chain_.push_back(std::move(below));
    ancestorPath_ /= names[next];
  }
  missing_.assign(names.begin() + static_cast<std::ptrdiff_t>(chain_.size() - 1), names.end());
  OpenFolder open = OpenFolder::Below(chain_.back().Fd(), ".");
  if (!open.IsOpen())
    throw Refused("cannot open the folder " + Quoted(ancestorPath_) + " to make " + Quoted(target_) + " in: " +
                  std::strerror(open.Error()) + "; nothing was written");
  levels_.push_back({std::move(open), std::string(), false, OpenFd()});
}

// The folders on the way that exist by now (another run may have made them
// while this one waited for the lock); false when one was removed while the
// run waited in it.
bool OutputFolder::OpenExistingLevels()
{
  while (!missing_.empty()) {
    OpenFolder next = OpenFolder::Below(Parent().Fd(), missing_.front().c_str());
    if (!next.IsOpen() && next.Error() == ENOENT)
      return true;
    if (!next.IsOpen())
      throw Refused("cannot open the folder " + Quoted(ancestorPath_ / missing_.front()) + ": " +
                    std::strerror(next.Error()) + "; nothing was written");
    levels_.push_back({std::move(next), missing_.front(), false, OpenFd()});
    ancestorPath_ /= missing_.front();
    missing_.erase(missing_.begin());
    CheckPlace();  // made by someone else, maybe: the lock file goes only where the run may write
    if (!Lock())
      return false;
  }
  return true;
}

// Whoever may rename the names in the folder that holds the target could
// swap the new folder or the target for their own during the run.
void OutputFolder::CheckPlace() const
{
  struct stat status = {};
  if (const int error = ErrorOf(::fstat(Parent().Fd(), &status)); error != 0)
    throw Refused("cannot look at the folder " + Quoted(ancestorPath_) + ": " + std::strerror(error) +
                  "; nothing was written");
  const uid_t runner = ::geteuid();
  const std::string where = Quoted(ancestorPath_) + ", which holds the folder,";
  const std::string refused = " could put their own files in place of the run's while it works; nothing was written. "
                              "Choose a folder in a place that only you (or root) may change.";
  if (status.st_uid != 0 && status.st_uid != runner)
    throw Refused(where + " belongs to " + UserName(status.st_uid) + ", who" + refused);
  if ((status.st_mode & S_ISVTX) != 0)
    return;  // others may add names there, but not rename or remove the run's
  if ((status.st_mode & S_IWOTH) != 0)
    throw Refused(where + " may be written by every user, who" + refused);
  const std::optional<std::vector<AclWriter>> acl = AclWriters(Parent(), status.st_gid);
  if (!acl) {
    if ((status.st_mode & S_IWGRP) != 0 && GroupHasOthers(status.st_gid, runner))
      throw Refused(where + " may be written by the group " + GroupName(status.st_gid) + ", whose members" + refused);
    return;
  }
  const std::string byList = " (its access control list lets ";
  for (const AclWriter& writer : *acl) {
    if (!writer.group && writer.id != 0 && writer.id != runner)
      throw Refused(where + " may be written by " + UserName(writer.id) + byList + "them), who" + refused);
    if (writer.group && GroupHasOthers(writer.id, runner))
      throw Refused(where + " may be written by the group " + GroupName(writer.id) +
                    (writer.owningGroup ? std::string() : byList + "it)") + ", whose members" + refused);
  }
}

void OutputFolder::CheckTarget()
{
  existed_ = missing_.empty() && Parent().StatusOf(Name(), targetStatus_);
  struct stat parentStatus = {};
  if (OnReadOnlyDevice(Parent()))
    throw Refused(existed_ ? Quoted(target_) + " is on a read-only device; nothing was changed"
                           : "cannot make " + Quoted(target_) + ": " + Quoted(ancestorPath_) +
                                 " is on a read-only device; nothing was written");
  if (!existed_) {
    if (!Parent().Status(parentStatus) || !Writable(Parent().Fd(), ".", parentStatus))
      throw Refused("cannot make " + Quoted(target_) + ": " + Quoted(ancestorPath_) +
                    " is not a writable folder; nothing was written");
    return;
  }
  if (!S_ISDIR(targetStatus_.st_mode))
    throw Refused(Quoted(target_) + " exists and is not a folder; nothing was changed");
  if (IsMountPoint(Parent(), Name(), targetStatus_))
    throw Refused(Quoted(target_) +
                  " is a mount point, which the run cannot replace as a whole; nothing was changed. Choose a "
                  "folder inside it.");
  if (!Writable(Parent().Fd(), Name().c_str(), targetStatus_) || !Parent().Status(parentStatus) ||
      !Writable(Parent().Fd(), ".", parentStatus))
    throw Refused(Quoted(target_) + " or the folder holding it is not writable; nothing was changed");
  const OpenFolder target = OpenFolder::Below(Parent().Fd(), Name().c_str());
  if (!target.IsOpen())
    throw Refused("cannot read the folder " + Quoted(target_) + ": " + std::strerror(target.Error()) +
                  "; nothing was changed");
  CheckContents(target);
}

// Each listed file found is recorded as it is now, and each folder that
// holds one: the clean-up after the swap removes a file only while it is
// still that file, and a folder only while it is empty.
void OutputFolder::CheckContents(const OpenFolder& target)
{
  const std::vector<fs::path> listed = ListedFiles(target);
  Foreign foreign;
  CheckBelow(target, fs::path(), listed, foreign);
  if (foreign.count == 0)
    return;
  std::string names;
  for (std::size_t i = 0; i < foreign.named.size(); ++i)
    names += (i == 0 ? "" : ", ") + Shown(foreign.named[i]);
  if (foreign.count > foreign.named.size())
    names += " and " + std::to_string(foreign.count - foreign.named.size()) + " more";
  throw Refused(Quoted(target_) + " holds files this example did not write (" + names +
                "); nothing was changed. Choose a new or empty folder, or move those files away.");
}

void OutputFolder::CheckBelow(const OpenFolder& folder, const fs::path& prefix, const std::vector<fs::path>& listed,
                              Foreign& foreign)
{
  int error = 0;
  // In the order of their bytes, as the command names them before the build.
  std::vector<std::string> names = folder.Names(&error);
  std::sort(names.begin(), names.end());
  if (error != 0)
    throw Refused("cannot read the folder " + Quoted(target_ / prefix) + ": " + std::strerror(error) +
                  "; nothing was changed");
  for (const std::string& name : names) {
    const fs::path relative = prefix / name;
    struct stat status = {};
    if (!folder.StatusOf(name, status))
      continue;  // gone meanwhile
    const bool isListed = relative == kMarker || std::find(listed.begin(), listed.end(), relative) != listed.end();
    if (isListed && S_ISREG(status.st_mode)) {
      checked_.emplace(relative, folder_removal::FileState(status));
      continue;
    }
    const bool holdsListed = S_ISDIR(status.st_mode) && std::any_of(listed.begin(), listed.end(), [&](const fs::path& file) {
                               return file.native().starts_with(relative.native() + "/");
                             });
    if (!holdsListed) {
      if (foreign.named.size() < Foreign::kNamed)
        foreign.named.push_back(relative.string());
      ++foreign.count;
      continue;
    }
    checkedFolders_.insert(relative);
    const OpenFolder inner = OpenFolder::Below(folder.Fd(), name.c_str());
    if (!inner.IsOpen())
      throw Refused("cannot read the folder " + Quoted(target_ / relative) + ": " + std::strerror(inner.Error()) +
                    "; nothing was changed");
    CheckBelow(inner, relative, listed, foreign);
  }
}

// The list is looked at before it is opened, opened without following a
// link and without waiting for a writer, and read only up to a bound: a
// named pipe, a device or a link planted in its place is refused, not read.
std::vector<fs::path> OutputFolder::ListedFiles(const OpenFolder& target) const
{
  const fs::path where = target_ / kMarker;
  const std::string keep = "; nothing was changed. Remove it, or choose another folder.";
  struct stat status = {};
  if (!target.StatusOf(kMarker, status))
    return {};
  const OpenFd list = OpenFd::At(target.Fd(), kMarker, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
  if (list.IsOpen() && !(::fstat(list.Fd(), &status) == 0))
    status.st_mode = 0;
  if (!S_ISREG(status.st_mode))
    throw Refused(Quoted(where) + ", the list of the files a run wrote, is " + KindOf(status.st_mode) +
                  " instead of a file" + keep);
  if (!list.IsOpen())
    throw Refused("cannot read " + Quoted(where) + ", the list of the files a run wrote: " +
                  std::strerror(list.Error()) + "; nothing was changed");
  if (status.st_size > kListLimit)
    throw Refused(Quoted(where) + ", the list of the files a run wrote, is " + std::to_string(status.st_size) +
                  " bytes long, more than a run writes (at most " + std::to_string(kListLimit) + ")" + keep);
  std::string bytes;
  try {
    bytes = ReadBounded(list.Fd());
  } catch (const std::system_error& error) {
    throw Refused("cannot read " + Quoted(where) + ", the list of the files a run wrote: " + error.code().message() +
                  "; nothing was changed");
  }
  if (bytes.size() > static_cast<std::size_t>(kListLimit))
    throw Refused(Quoted(where) + ", the list of the files a run wrote, grew past " + std::to_string(kListLimit) +
                  " bytes while it was read" + keep);
  std::vector<fs::path> files;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    end = end == std::string::npos ? bytes.size() : end;
    const std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.front() != '#' && IsInside(fs::path(line)))
      files.push_back(fs::path(line).lexically_normal());
    start = end + 1;
  }
  return files;
}
