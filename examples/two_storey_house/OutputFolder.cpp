#include "OutputFolder.h"

#include "FolderRemoval.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

namespace {

// A complete result takes some 1.6 MB in 15 files and folders, and the
// scratch copy of the project beside it a little more: with less than this
// left, the run cannot have failed for any other reason worth naming.
constexpr unsigned long long kRoomNeeded = 4ull << 20;
constexpr unsigned long long kFilesNeeded = 64;

// The scratch folder's name in the new folder. While it is there the new
// folder is unfinished: it goes just before the list is written.
constexpr const char* kScratch = "scratch";

// How often a run waiting for another one looks again.
constexpr auto kLockPoll = std::chrono::milliseconds(50);
// The lock file's name in each folder a run holds. A run takes a few
// seconds: a lock file of another user's that stays longer than this is not
// a run's.
constexpr const char* kLockFile = ".two_storey_house.lock";
constexpr auto kForeignLockWait = std::chrono::seconds(20);
// No wait lasts longer: a run of the runner's that holds the lock as long
// has stopped (Ctrl-Z), and folders that keep changing as long are not
// changed by runs.
constexpr auto kLongestWait = std::chrono::minutes(10);

// Folders the run makes on the way to the target get what mkdir gives
// there, but no one besides the runner may write in them (whatever a
// default access control list gives): the run holds no one else's files,
// and the next run into the same place accepts what this one made.
constexpr mode_t kMadeOnTheWay = 0755;

// Access control lists, kept with the folder as the system stores them.
constexpr const char* kAclNames[] = {"system.posix_acl_access", "system.posix_acl_default"};

[[noreturn]] void Fail(const std::string& what, int error)
{
  throw std::system_error(error, std::generic_category(), what);
}

void Note(const fs::path& folder, const std::string& what, const folder_removal::Left& left)
{
  if (!left.empty())
    std::fprintf(stderr, "note: %s (%s) was kept, with what the run left alone there: %s\n",
                 OutputFolder::Shown(folder).c_str(), what.c_str(), folder_removal::Describe(left).c_str());
}

void WriteAll(int fd, const std::string& bytes, const fs::path& file)
{
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    const int error = ErrorOf(written);
    if (error == EINTR)
      continue;
    if (error != 0)
      Fail("cannot write " + OutputFolder::Quoted(file), error);
    done += static_cast<std::size_t>(written);
  }
}

// The xattr's value, or nothing when the folder has none.
std::optional<std::string> ReadAttribute(int fd, const char* name)
{
  const ssize_t size = ::fgetxattr(fd, name, nullptr, 0);
  if (size < 0)
    return std::nullopt;
  std::string value(static_cast<std::size_t>(size), '\0');
  const ssize_t got = ::fgetxattr(fd, name, value.data(), value.size());
  if (got < 0)
    return std::nullopt;
  value.resize(static_cast<std::size_t>(got));
  return value;
}

// The new folder beside the target, by the process id first; another
// number when a killed run left one of that name that was kept.
std::string NewFolderName(const std::string& name, int attempt)
{
  constexpr long kNumbers = 10'000'000;  // 7 digits, as kBesideExtra allows
  constexpr long kStride = 7919;
  return "." + name + ".new-" + std::to_string((::getpid() + attempt * kStride) % kNumbers);
}

bool IsLeftoverName(const std::string& entry, const std::string& name)
{
  const std::string prefix = "." + name + ".new-";
  return entry.size() > prefix.size() && entry.starts_with(prefix) &&
         std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(prefix.size()), entry.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

mode_t CurrentUmask()
{
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

}  // namespace

OutputFolder::OutputFolder(const fs::path& target, std::function<void(const std::string&)> waiting)
    : target_(target), waiting_(std::move(waiting))
{
  CheckPath(target_);
  // A run waited for may remove the folders it made, the one waited in
  // among them: the run then starts again from the folders that are left,
  // as if it had started alone.
  const Clock::time_point start = Clock::now();
  while (!TakeOn()) {
    ReleaseAll();
    levels_.clear();
    missing_.clear();
    Pause("", start);
  }
}

bool OutputFolder::TakeOn()
{
  OpenAncestor();
  CheckPlace();
  try {
    if (!Lock() || !OpenExistingLevels())
      return false;
    CheckPlace();
    CheckTarget();
  } catch (...) {  // no destructor runs: the lock files go here
    ReleaseAll();
    throw;
  }
  return true;
}

OutputFolder::~OutputFolder()
{
  if (!committed_)
    Abandon();
  ReleaseAll();
}

void OutputFolder::ReleaseAll()
{
  for (auto level = levels_.rbegin(); level != levels_.rend(); ++level)
    Release(*level);
}

// One run per target: the lock is held on a file of the runner's in the
// folder that holds it, which only the runner may open for writing, as a
// lock needs. A run that ends removes it while it still holds it; a run
// that took the lock of a file since removed starts again. One killed
// leaves it, and the runner's next run takes it on. False when the folder
// is gone (removed by the run that held it, as it ended).
bool OutputFolder::Lock()
{
  Level& level = levels_.back();
  const fs::path path = ancestorPath_ / kLockFile;
  const Clock::time_point start = Clock::now();
  // On a read-only device no run writes, and none leaves or takes a lock:
  // whatever lock file is there, the checks that follow name the device.
  struct statvfs device = {};
  if (::fstatvfs(level.folder.Fd(), &device) == 0 && (device.f_flag & ST_RDONLY) != 0)
    return true;
  for (;;) {
    OpenFd file = OpenFd::At(level.folder.Fd(), kLockFile, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (!file.IsOpen() && file.Error() == ENOENT) {
      file = OpenFd::At(level.folder.Fd(), kLockFile, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (!file.IsOpen() && file.Error() == EEXIST) {
        Pause("", start);  // made meanwhile
        continue;
      }
      if (!file.IsOpen() && file.Error() == ENOENT)
        return false;
      // A folder the runner may not write in is one no run of its can
      // change either: the checks that follow refuse it, saying why.
      if (!file.IsOpen() && (file.Error() == EACCES || file.Error() == EPERM || file.Error() == EROFS))
        return true;
      if (!file.IsOpen())
        Fail("cannot make the lock file " + Quoted(path) + " against another run into " + Quoted(target_),
             file.Error());
    }
    struct stat status = {};
    if (file.IsOpen() ? ::fstat(file.Fd(), &status) != 0 : !level.folder.StatusOf(kLockFile, status)) {
      Pause("", start);  // gone meanwhile
      continue;
    }
    if (!S_ISREG(status.st_mode))
      throw Refused(Quoted(path) + ", where runs into that folder keep their lock, is " + KindOf(status.st_mode) +
                    ", which no run makes; nothing was written. Remove it, or choose a folder in another place.");
    if (status.st_uid != ::geteuid() || (status.st_mode & 077) != 0) {
      // Another user's run, or something that only looks like one's lock.
      const std::string why = (status.st_uid == ::geteuid() ? std::string("others may open it, so it is no run's lock")
                                                             : "it belongs to " + UserName(status.st_uid) +
                                                                   ", not to a run of yours") +
                              ", and runs into that folder keep their lock there";
      const std::string limit = std::to_string(kForeignLockWait.count()) + " s";
      if (Clock::now() - start > kForeignLockWait)
        throw Refused(Quoted(path) + " is still there after " + limit + ": " + why +
                      "; nothing was written. Run again once it is gone, or have it removed.");
      Pause(Quoted(path) + " to go (at most " + limit + "): " + why, start);
      continue;
    }
    if (!file.IsOpen())
      Fail("cannot open the lock file " + Quoted(path) + " against another run into " + Quoted(target_),
           file.Error());
    struct flock whole = {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    const int error = ErrorOf(::fcntl(file.Fd(), F_OFD_SETLK, &whole));
    if (error == 0) {
      struct stat there = {};
      if (level.folder.StatusOf(kLockFile, there) && there.st_dev == status.st_dev && there.st_ino == status.st_ino) {
        // The run's own target, for a run that waits to name (one that
        // cannot be written leaves it naming the folder instead).
        const bool named = ::ftruncate(file.Fd(), 0) == 0 &&
                           ::pwrite(file.Fd(), target_.c_str(), target_.native().size(), 0) >= 0;
        static_cast<void>(named);
        level.lock = std::move(file);
        return true;
      }
      Pause("", start);  // the lock of a run that ended and removed its file
      continue;
    }
    if (error != EAGAIN && error != EACCES && error != EINTR)
      Fail("cannot lock " + Quoted(path) + " against another run into " + Quoted(target_), error);
    Pause("another run into " + Holder(file) + " to end", start);
  }
}

// Every look again goes through here: it says what the run waits for (a
// signal ends the run there), gives up once the wait has lasted too long,
// and lets time pass.
void OutputFolder::Pause(const std::string& what, Clock::time_point since) const
{
  waiting_(what);
  if (Clock::now() - since > kLongestWait)
    throw Refused("still waiting " +
                  (what.empty() ? "for the folders on the way to " + Quoted(target_) + " to stop changing"
                                : "for " + what) +
                  " after " + std::to_string(kLongestWait.count()) +
                  " minutes; nothing was written. Run again later.");
  std::this_thread::sleep_for(kLockPoll);
}

// The target of the run that holds the lock, as that run wrote it into the
// lock file; until it has, the folder the lock is kept in.
std::string OutputFolder::Holder(const OpenFd& lock) const
{
  std::string target(PATH_MAX, '\0');
  const ssize_t got = ::pread(lock.Fd(), target.data(), target.size(), 0);
  if (got <= 0)
    return "a folder in " + Shown(ancestorPath_);
  target.resize(static_cast<std::size_t>(got));
  return Shown(target);
}

// The lock file goes while the run still holds it, and only while it is the
// one the run locked.
void OutputFolder::Release(Level& level)
{
  struct stat locked = {}, there = {};
  if (level.lock.IsOpen() && ::fstat(level.lock.Fd(), &locked) == 0 && level.folder.StatusOf(kLockFile, there) &&
      there.st_dev == locked.st_dev && there.st_ino == locked.st_ino)
    (void)::unlinkat(level.folder.Fd(), kLockFile, 0);
  level.lock = OpenFd();
}

std::string OutputFolder::Outcome() const
{
  return committed_ ? "the new result is in place in " + Shown(target_) : Untouched(target_, existed_);
}

std::string OutputFolder::Untouched(const fs::path& target, bool existed)
{
  if (existed)
    return "the previous result in " + Shown(target) + " is left as it was";
  return "nothing was written" + (target.empty() ? std::string() : " to " + Shown(target));
}

bool OutputFolder::OutOfRoom() const
{
  struct statvfs device = {};
  if (::fstatvfs(staged_ ? newFolder_.Fd() : Parent().Fd(), &device) != 0)
    return false;
  // Root may use the blocks and files kept back for it.
  const bool root = ::geteuid() == 0;
  const unsigned long long blocks = root ? device.f_bfree : device.f_bavail;
  const unsigned long long files = root ? device.f_ffree : device.f_favail;
  return blocks * device.f_frsize < kRoomNeeded || (device.f_files != 0 && files < kFilesNeeded);
}

void OutputFolder::Stage()
{
  MakeParents();
  RemoveLeftovers();
  MakeNewFolder();
}

// Each missing folder is made in the one above, opened and locked before
// the next: a run that finds it made locks it too. One made by someone else
// since the checks is checked as any place the run writes in, and one
// removed while the run waited in it is made again.
void OutputFolder::MakeParents()
{
  const Clock::time_point start = Clock::now();
  while (!missing_.empty()) {
    const std::string name = missing_.front();
    const fs::path above = ancestorPath_;
    const int error = ErrorOf(::mkdirat(Parent().Fd(), name.c_str(), kMadeOnTheWay));
    if (error != 0 && error != EEXIST)
      Fail("cannot make the folder " + Quoted(above / name), error);
    const bool made = error == 0;
    OpenFolder folder = OpenFolder::Below(Parent().Fd(), name.c_str());
    if (!folder.IsOpen())
      Fail("cannot open the folder " + Quoted(above / name), folder.Error());
    levels_.push_back({std::move(folder), name, made, OpenFd()});
    ancestorPath_ = above / name;
    if (!made) {
      try {
        CheckPlace();
      } catch (const Refused&) {  // not the run's: its own made above it go
        levels_.pop_back();
        ancestorPath_ = above;
        throw;
      }
    }
    if (!Lock()) {
      levels_.pop_back();
      ancestorPath_ = above;
      Pause("", start);
      continue;
    }
    missing_.erase(missing_.begin());
  }
}

// Holding the lock, no other run is under way: a new folder beside the
// target was left by a run that was killed. While it holds the scratch
// folder and no list, it never became a result and is all the run's own; a
// result (a new one killed before its swap, or a previous one moved aside
// with what others changed) is named, not removed, and so is anything else.
void OutputFolder::RemoveLeftovers()
{
  for (const std::string& entry : Parent().Names()) {
    struct stat status = {}, inner = {};
    if (!IsLeftoverName(entry, Name()) || !Parent().StatusOf(entry, status) || !S_ISDIR(status.st_mode))
      continue;
    const OpenFolder leftover = OpenFolder::Below(Parent().Fd(), entry.c_str());
    // A run's new folder is the runner's until its list is written, and no
    // one else can write into it: one that belongs to another user (the
    // target's owner included) is not a run's of this runner, whatever it
    // holds, and is not removed.
    const bool runs = status.st_uid == ::geteuid();
    const bool unfinished = runs && leftover.IsOpen() && leftover.StatusOf(kScratch, inner) &&
                            S_ISDIR(inner.st_mode) && !leftover.StatusOf(kMarker, inner);
    const fs::path path = ParentPath() / entry;
    if (!runs) {
      std::fprintf(stderr, "note: %s beside the folder belongs to %s; it was left as it is\n", Quoted(path).c_str(),
                   UserName(status.st_uid).c_str());
      continue;
    }
    if (!unfinished) {
      std::fprintf(stderr, "note: %s, left beside the folder by an earlier run that did not end, holds a result; it "
                           "was left as it is\n", Quoted(path).c_str());
      continue;
    }
    const folder_removal::Left left = folder_removal::RemoveTree(Parent(), entry);
    if (left.empty())
      std::fprintf(stderr, "note: removed %s, the unfinished new folder of an earlier run that did not end\n",
                   Quoted(path).c_str());
    Note(path, "the unfinished new folder of an earlier run that did not end", left);
  }
}

// Private to the runner while it is written: no one else may reach into
// it, whatever the target's mode and access control list. It takes the
// target's group (and setgid bit) now, so that what is made inside gets
// that group as if it were written into the target.
void OutputFolder::MakeNewFolder()
{
  for (int attempt = 0;; ++attempt) {
    staging_ = NewFolderName(Name(), attempt);
    const int error = ErrorOf(::mkdirat(Parent().Fd(), staging_.c_str(), 0700));
    if (error == 0)
      break;
    constexpr int kAttempts = 100;
    if (error != EEXIST || attempt == kAttempts)
      Fail("cannot make the new folder " + Quoted(ParentPath() / staging_) + " beside the target", error);
  }
  staged_ = true;
  newFolder_ = OpenFolder::Below(Parent().Fd(), staging_.c_str());
  struct stat made = {};
  if (!newFolder_.IsOpen() || !newFolder_.Status(made))
    Fail("cannot open the new folder " + Quoted(ParentPath() / staging_), newFolder_.Error());
  mode_t setgid = made.st_mode & S_ISGID;
  if (existed_) {
    (void)::fchown(newFolder_.Fd(), static_cast<uid_t>(-1), targetStatus_.st_gid);  // where the run may
    setgid = targetStatus_.st_mode & S_ISGID;
  }
  if (const int error = ErrorOf(::fchmod(newFolder_.Fd(), S_IRWXU | setgid)); error != 0)
    Fail("cannot make the new folder " + Quoted(ParentPath() / staging_) + " private", error);
  if (const int error = ErrorOf(::mkdirat(newFolder_.Fd(), kScratch, 0700)); error != 0)
    Fail("cannot make the scratch folder in " + Quoted(ParentPath() / staging_), error);
  // The scratch host works by paths: it reaches the scratch folder through
  // this process's descriptor of the new folder, which no rename elsewhere
  // can redirect. Without /proc, the path is all there is.
  const fs::path byDescriptor = fs::path("/proc/self/fd") / std::to_string(newFolder_.Fd());
  struct stat reached = {};
  const bool proc = ::stat(byDescriptor.c_str(), &reached) == 0 && reached.st_ino == made.st_ino &&
                    reached.st_dev == made.st_dev;
  scratch_ = (proc ? byDescriptor : ParentPath() / staging_) / kScratch;
}

fs::path OutputFolder::StagedPath(const fs::path& relative) const
{
  return relative.empty() ? ParentPath() / staging_ : ParentPath() / staging_ / relative;
}

// Each folder on the way is made (or found) and opened below the one above.
OpenFolder OutputFolder::MakeFolders(const fs::path& relative)
{
  OpenFolder folder = OpenFolder::Below(newFolder_.Fd(), ".");
  fs::path done;
  for (const fs::path& name : relative) {
    done /= name;
    if (const int error = ErrorOf(::mkdirat(folder.Fd(), name.c_str(), 0777)); error != 0 && error != EEXIST)
      Fail("cannot make the folder " + Quoted(StagedPath(done)), error);
    folder = OpenFolder::Below(folder.Fd(), name.c_str());
    if (!folder.IsOpen())
      Fail("cannot open the folder " + Quoted(StagedPath(done)), folder.Error());
  }
  return folder;
}

OpenFd OutputFolder::Create(const fs::path& relative)
{
  const OpenFolder folder = MakeFolders(relative.parent_path());
  OpenFd file =
      OpenFd::At(folder.Fd(), relative.filename().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (!file.IsOpen())
    Fail("cannot make " + Quoted(StagedPath(relative)), file.Error());
  files_.push_back(relative);
  return file;
}

void OutputFolder::Write(const fs::path& relative, const std::string& bytes)
{
  const OpenFd file = Create(relative);
  WriteAll(file.Fd(), bytes, StagedPath(relative));
}

void OutputFolder::Forget(const fs::path& relative)
{
  const OpenFolder folder = newFolder_.Descend(relative.parent_path());
  (void)::unlinkat(folder.Fd(), relative.filename().c_str(), 0);  // an empty file, gone with the folder otherwise
  files_.erase(std::remove(files_.begin(), files_.end(), relative), files_.end());
}

OpenFd OutputFolder::Open(const fs::path& relative) const
{
  const OpenFolder folder = newFolder_.Descend(relative.parent_path());
  OpenFd file = OpenFd::At(folder.Fd(), relative.filename().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (!file.IsOpen())
    Fail("cannot read " + Quoted(StagedPath(relative)), file.Error());
  return file;
}

void OutputFolder::Abandon()
{
  if (staged_)
    Note(ParentPath() / staging_, "the run's new folder", folder_removal::RemoveTree(Parent(), staging_));
  staged_ = false;
  newFolder_ = OpenFolder();
  // Only while empty: another's file stops it.
  while (levels_.size() > 1 && levels_.back().made) {
    const std::string name = levels_.back().name;
    Release(levels_.back());
    levels_.pop_back();
    if (::unlinkat(Parent().Fd(), name.c_str(), AT_REMOVEDIR) != 0)
      break;
  }
}

void OutputFolder::Commit()
{
  const folder_removal::Left scratch = folder_removal::RemoveTree(newFolder_, kScratch);
  if (!scratch.empty())
    throw std::runtime_error("cannot clear the scratch folder " + Quoted(StagedPath(kScratch)) + ": " +
                             folder_removal::Describe(scratch));
  WriteMarker();
  KeepTargetsAttributes();
  SwapIn();
  committed_ = true;
  if (existed_)
    RemovePrevious();
  SayWhenMoved();
}

void OutputFolder::WriteMarker()
{
  std::string text = "# Written by two_storey_house. A later run replaces exactly these files;\n"
                     "# it refuses this folder when it holds anything else.\n";
  for (const fs::path& file : files_)
    text += file.generic_string() + '\n';
  const OpenFd marker = OpenFd::At(newFolder_.Fd(), kMarker, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (!marker.IsOpen())
    Fail("cannot write the list of files in " + Quoted(StagedPath("")), marker.Error());
  WriteAll(marker.Fd(), text, StagedPath(kMarker));
}

// The target as it is now (a chmod during the run counts), or as it was
// accepted when it is no longer a folder. Owner and group first, the access
// control list next (it sets the group bits), the mode last: a change of
// owner may clear the setgid bit. What the run may not set is said.
void OutputFolder::KeepTargetsAttributes()
{
  struct stat now = targetStatus_;
  std::optional<std::string> acls[std::size(kAclNames)];
  const OpenFolder current = existed_ ? OpenFolder::Below(Parent().Fd(), Name().c_str()) : OpenFolder();
  if (current.IsOpen() && current.Status(now))
    for (std::size_t i = 0; i < std::size(kAclNames); ++i)
      acls[i] = ReadAttribute(current.Fd(), kAclNames[i]);
  // A new folder gets what mkdir would give it there: under a default
  // access control list, that list as its own (both), and the mode it
  // implies, the umask aside; otherwise the umask's mode and no list.
  std::optional<std::string> inherited;
  if (!existed_) {
    struct stat made = {};
    if (const int error = ErrorOf(::fstat(newFolder_.Fd(), &made)); error != 0)
      Fail("cannot look at the new folder " + Quoted(StagedPath("")), error);
    now.st_mode = (0777 & ~CurrentUmask()) | (made.st_mode & S_ISGID);
    inherited = ReadAttribute(Parent().Fd(), kAclNames[1]);
    acls[0] = acls[1] = inherited;
  }
  const std::string shown = Quoted(target_);
  const int fd = newFolder_.Fd();
  if (const int error = existed_ ? ErrorOf(::fchown(fd, now.st_uid, now.st_gid)) : 0; error != 0) {
    std::fprintf(stderr, "note: %s could not keep its owner %s and is now %s's: %s\n", shown.c_str(),
                 UserName(now.st_uid).c_str(), UserName(::geteuid()).c_str(), std::strerror(error));
    if (const int group = ErrorOf(::fchown(fd, static_cast<uid_t>(-1), now.st_gid)); group != 0)
      std::fprintf(stderr, "note: %s could not keep its group %s: %s\n", shown.c_str(), GroupName(now.st_gid).c_str(),
                   std::strerror(group));
  }
  for (std::size_t i = 0; i < std::size(kAclNames); ++i) {
    const int error = acls[i] ? ErrorOf(::fsetxattr(fd, kAclNames[i], acls[i]->data(), acls[i]->size(), 0))
                              : ErrorOf(::fremovexattr(fd, kAclNames[i]));
    if (error != 0 && (acls[i] || (error != ENODATA && error != ENOTSUP)))
      std::fprintf(stderr, "note: %s could not keep its access control list (%s): %s\n", shown.c_str(), kAclNames[i],
                   std::strerror(error));
  }
  struct stat listed = {};
  if (inherited && ::fstat(fd, &listed) == 0)  // the list set the permissions
    now.st_mode = (listed.st_mode & 0777) | (now.st_mode & S_ISGID);
  if (const int error = ErrorOf(::fchmod(fd, now.st_mode & 07777)); error != 0)
    Fail("cannot give the new folder " + Quoted(StagedPath("")) + " the mode of " + shown, error);
}

// One rename: the target is at every moment the old or the new result. A
// folder that appeared where there was none is not replaced. The names are
// the run's to change alone (CheckPlace), but the runner may move them:
// the rename must move the folder the run wrote, and nothing else.
void OutputFolder::SwapIn()
{
  if (!IsNewFolder(staging_))
    throw std::runtime_error("the new folder " + Quoted(StagedPath("")) +
                             " was moved or replaced during the run, so the new result was not put in place");
  const unsigned flags = existed_ ? RENAME_EXCHANGE : RENAME_NOREPLACE;
  if (const int error = ErrorOf(::renameat2(Parent().Fd(), staging_.c_str(), Parent().Fd(), Name().c_str(), flags));
      error != 0)
    Fail("cannot put the new result in place " + std::string(existed_ ? "of " : "as ") + Quoted(target_), error);
  if (!IsNewFolder(Name()) && existed_)  // replaced between the look and the rename: put back
    (void)::renameat2(Parent().Fd(), staging_.c_str(), Parent().Fd(), Name().c_str(), RENAME_EXCHANGE);
  if (!IsNewFolder(Name()))
    throw std::runtime_error("the new folder " + Quoted(StagedPath("")) +
                             " was replaced during the run, so the new result was not put in place");
}

bool OutputFolder::IsNewFolder(const std::string& name) const
{
  struct stat there = {}, made = {};
  return Parent().StatusOf(name, there) && newFolder_.Status(made) && there.st_dev == made.st_dev &&
         there.st_ino == made.st_ino;
}

// The run went on in the folder it opened; one that was moved meanwhile
// holds the result, and its old path does not.
void OutputFolder::SayWhenMoved() const
{
  struct stat now = {}, opened = {};
  if (Parent().Status(opened) && ::stat(ParentPath().c_str(), &now) == 0 && now.st_dev == opened.st_dev &&
      now.st_ino == opened.st_ino)
    return;
  std::fprintf(stderr, "note: the folder %s was moved or replaced during the run; the new result is in the folder "
                       "that was there when the run started, wherever that is now, and not in %s\n",
               Quoted(ParentPath()).c_str(), Quoted(target_).c_str());
}

// The previous result now lies where the new folder was. Its files are
// those of the list read when the folder was accepted: a list or a link
// changed since then leads nowhere.
void OutputFolder::RemovePrevious()
{
  Note(ParentPath() / staging_, "the previous result, moved aside at the swap",
       folder_removal::RemoveListed(Parent(), staging_, checked_, checkedFolders_));
  staged_ = false;
}
