#include "OutputFolder.h"

#include "FolderRemoval.h"
#include "host_charcodes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A listed name is used only when it stays inside the folder.
bool IsInside(const fs::path& relative)
{
  if (relative.empty() || relative.is_absolute())
    return false;
  for (const fs::path& part : relative)
    if (part == ".." || part == ".")
      return false;
  return true;
}

// The new folder beside the target is named "." + name + ".new-" + the
// process id (at most 7 digits on Linux).
constexpr std::size_t kBesideExtra = 1 + 5 + 7;
// How far below the folder the run's files and its scratch host lie: some
// 80 bytes, with room to spare.
constexpr std::size_t kDeepestInside = 256;

// Root passes every permission check, so a folder whose mode lets no one
// write (chmod a-w) is refused by its mode bits as well.
bool Writable(const fs::path& folder)
{
  struct stat status = {};
  return ::access(folder.c_str(), W_OK | X_OK) == 0 && ::stat(folder.c_str(), &status) == 0 &&
         (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

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

void CheckUtf8(const fs::path& target)
{
  bool lost = false;
  const std::u16string text = pln::host::internal::FromUtf8(target.c_str(), target.native().size(), &lost);
  if (lost)
    throw OutputFolder::Refused("the folder's path \"" + pln::host::internal::ToUtf8(text) +
                                "\" is not UTF-8 (� marks the bytes that are not), and the stand-in host's paths "
                                "are UTF-8 text; nothing was written. Choose a folder name in UTF-8.");
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

std::string Quoted(const fs::path& path) { return "\"" + path.string() + "\""; }

// The run replaces the folder by a rename, which a mount point refuses; and
// a folder that another file system is mounted on is not the user's to
// replace.
bool IsMountPoint(const fs::path& folder)
{
  struct statx status = {};
  if (::statx(AT_FDCWD, folder.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &status) == 0 &&
      (status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0)
    return (status.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
  struct stat inner = {}, outer = {};  // kernels before 5.8: a change of device
  return ::stat(folder.c_str(), &inner) == 0 && ::stat(folder.parent_path().c_str(), &outer) == 0 &&
         inner.st_dev != outer.st_dev;
}

// A complete result takes some 1.6 MB in 15 files and folders, and the
// scratch copy of the project beside it a little more: with less than this
// left, the run cannot have failed for any other reason worth naming.
constexpr unsigned long long kRoomNeeded = 4ull << 20;
constexpr unsigned long long kFilesNeeded = 64;

void Note(const fs::path& folder, const std::string& what, const folder_removal::Left& left)
{
  if (!left.empty())
    std::fprintf(stderr, "note: %s (%s) was kept, with what the run left alone there: %s\n", folder.c_str(),
                 what.c_str(), folder_removal::Describe(left).c_str());
}

}  // namespace

void OutputFolder::CheckPath(const fs::path& target)
{
  CheckUtf8(target);
  CheckNameLengths(target);
  CheckPathLength(target);
}

OutputFolder::OutputFolder(const fs::path& target) : target_(target)
{
  CheckPath(target_);
  CheckTarget();
}

OutputFolder::~OutputFolder()
{
  if (!committed_)
    Abandon();
}

std::string OutputFolder::Outcome() const
{
  if (committed_)
    return "the new result is in place in " + target_.string();
  if (existed_)
    return "the previous result in " + target_.string() + " is left as it was";
  return "nothing was written to " + target_.string();
}

bool OutputFolder::OutOfRoom() const
{
  const fs::path where = staged_ ? staging_ : ExistingAncestor(target_.parent_path());
  struct statvfs device = {};
  if (::statvfs(where.c_str(), &device) != 0)
    return false;
  // Root may use the blocks and files kept back for it.
  const bool root = ::geteuid() == 0;
  const unsigned long long blocks = root ? device.f_bfree : device.f_bavail;
  const unsigned long long files = root ? device.f_ffree : device.f_favail;
  return blocks * device.f_frsize < kRoomNeeded || (device.f_files != 0 && files < kFilesNeeded);
}

void OutputFolder::Stage()
{
  const fs::path parent = target_.parent_path();
  std::error_code unreadable;  // found again by create_directories below
  for (fs::path missing = parent; !fs::exists(missing, unreadable) && missing != missing.parent_path();
       missing = missing.parent_path())
    firstMade_ = missing;
  fs::create_directories(parent);
  staging_ = parent / ("." + target_.filename().string() + ".new-" + std::to_string(::getpid()));
  std::error_code error;
  if (!fs::create_directory(staging_, error) || error)
    throw std::runtime_error("cannot make the new folder " + Quoted(staging_) + " beside the target: " +
                             (error ? error.message() : std::string("it exists already")));
  staged_ = true;
  TakeTargetsPermissions();
  fs::create_directories(Scratch());
}

// Owner and group first: a change of owner may clear the setgid bit. The
// owner keeps full rights while the run writes; the exact mode is set just
// before the swap. The setgid bit set now gives the files made inside the
// folder's group, as if they had been written into it.
void OutputFolder::TakeTargetsPermissions()
{
  if (!existed_)
    return;
  if (::chown(staging_.c_str(), targetStatus_.st_uid, targetStatus_.st_gid) != 0)
    (void)::chown(staging_.c_str(), static_cast<uid_t>(-1), targetStatus_.st_gid);  // where the run may
  if (::chmod(staging_.c_str(), (targetStatus_.st_mode & 07777) | S_IRWXU) != 0)
    throw std::runtime_error("cannot give the new folder " + Quoted(staging_) + " the mode of " + Quoted(target_) +
                             ": " + std::strerror(errno));
}

void OutputFolder::Abandon()
{
  if (staged_)
    Note(staging_, "the run's new folder", folder_removal::RemoveTree(staging_));
  staged_ = false;
  if (firstMade_.empty())
    return;
  for (fs::path made = target_.parent_path(); ::rmdir(made.c_str()) == 0 && made != firstMade_;)
    made = made.parent_path();  // only while empty: another's file stops it
  firstMade_.clear();
}

void OutputFolder::CheckTarget()
{
  existed_ = ::lstat(target_.c_str(), &targetStatus_) == 0;
  if (!existed_) {
    const fs::path ancestor = ExistingAncestor(target_.parent_path());
    if (!fs::is_directory(ancestor) || !Writable(ancestor))
      throw Refused("cannot make " + Quoted(target_) + ": " + Quoted(ancestor) +
                    " is not a writable folder; nothing was written");
    return;
  }
  if (!S_ISDIR(targetStatus_.st_mode))
    throw Refused(Quoted(target_) + " exists and is not a folder; nothing was changed");
  if (IsMountPoint(target_))
    throw Refused(Quoted(target_) +
                  " is a mount point, which the run cannot replace as a whole; nothing was changed. Choose a "
                  "folder inside it.");
  if (!Writable(target_) || !Writable(target_.parent_path()))
    throw Refused(Quoted(target_) + " or the folder holding it is not writable; nothing was changed");
  CheckContents();
}

// Each listed file found is recorded as it is now: the clean-up after the
// swap removes it only while it is still that file.
void OutputFolder::CheckContents()
{
  const std::vector<fs::path> listed = ListedFiles();
  std::vector<std::string> foreign;
  for (auto entry = fs::recursive_directory_iterator(target_); entry != fs::recursive_directory_iterator(); ++entry) {
    const fs::path relative = entry->path().lexically_relative(target_);
    const bool isListed =
        relative == kMarker || std::find(listed.begin(), listed.end(), relative) != listed.end();
    const bool holdsListed = entry->is_directory() && !entry->is_symlink() &&
                             std::any_of(listed.begin(), listed.end(), [&](const fs::path& file) {
                               return file.native().starts_with(relative.native() + "/");
                             });
    struct stat status = {};
    if (isListed && ::lstat(entry->path().c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
      checked_.emplace(relative, folder_removal::FileState(status));
      continue;
    }
    if (holdsListed)
      continue;
    foreign.push_back(relative.string());
    entry.disable_recursion_pending();
  }
  if (!foreign.empty()) {
    std::string names;
    for (std::size_t i = 0; i < foreign.size() && i < 3; ++i)
      names += (i == 0 ? "" : ", ") + foreign[i];
    if (foreign.size() > 3)
      names += " and " + std::to_string(foreign.size() - 3) + " more";
    throw Refused(Quoted(target_) + " holds files this example did not write (" + names +
                  "); nothing was changed. Choose a new or empty folder, or move those files away.");
  }
}

std::vector<fs::path> OutputFolder::ListedFiles() const
{
  std::vector<fs::path> files;
  std::ifstream marker(target_ / kMarker);
  std::string line;
  while (std::getline(marker, line))
    if (!line.empty() && line.front() != '#' && IsInside(fs::path(line)))
      files.push_back(fs::path(line).lexically_normal());
  return files;
}

fs::path OutputFolder::Add(const fs::path& relative)
{
  files_.push_back(relative);
  const fs::path file = staging_ / relative;
  fs::create_directories(file.parent_path());
  return file;
}

void OutputFolder::Commit()
{
  const folder_removal::Left scratch = folder_removal::RemoveTree(Scratch());
  if (!scratch.empty())
    throw std::runtime_error("cannot clear the scratch folder " + Quoted(Scratch()) + ": " +
                             folder_removal::Describe(scratch));
  WriteMarker();
  if (existed_ && ::chmod(staging_.c_str(), targetStatus_.st_mode & 07777) != 0)
    throw std::runtime_error("cannot give the new folder " + Quoted(staging_) + " the mode of " + Quoted(target_) +
                             ": " + std::strerror(errno));
  SwapIn();
  committed_ = true;
  if (existed_)
    RemovePrevious();
}

void OutputFolder::WriteMarker()
{
  std::ofstream marker(staging_ / kMarker, std::ios::binary);
  marker << "# Written by two_storey_house. A later run replaces exactly these files;\n"
            "# it refuses this folder when it holds anything else.\n";
  for (const fs::path& file : files_)
    marker << file.generic_string() << '\n';
  if (!marker.flush())
    throw std::runtime_error("cannot write the list of files in " + Quoted(staging_));
}

// One rename: the target is at every moment the old or the new result. A
// folder that appeared where there was none is not replaced.
void OutputFolder::SwapIn()
{
  const unsigned flags = existed_ ? RENAME_EXCHANGE : RENAME_NOREPLACE;
  if (::renameat2(AT_FDCWD, staging_.c_str(), AT_FDCWD, target_.c_str(), flags) != 0)
    throw std::runtime_error("cannot put the new result in place " + std::string(existed_ ? "of " : "as ") +
                             Quoted(target_) + ": " + std::strerror(errno));
}

// The previous result now lies where the new folder was. Its files are
// those of the list read when the folder was accepted: a list or a link
// changed since then leads nowhere.
void OutputFolder::RemovePrevious()
{
  Note(staging_, "the previous result, moved aside at the swap", folder_removal::RemoveListed(staging_, checked_));
  staged_ = false;
}
