#pragma once
// The user's output folder, changed only as a whole and only where the
// example owns it.
//
// Ownership: a run leaves in the folder a list of the files it wrote (the
// marker file). A later run accepts the folder only when it is missing,
// empty, or holds nothing but the files of that list and their folders;
// anything else is refused before a byte is written, and the folder is left
// untouched.
//
// Completeness: a run writes into a new folder beside the target and, when
// every file is complete, swaps it in with one rename (an exchange when the
// target exists). A run that fails or is interrupted before that removes its
// own new folder, and the folders it made above it, and leaves the previous
// result exactly as it was.
//
// Others may change the folder during the run. Only the list read when the
// folder was accepted is used, only files unchanged since are removed, and
// the clean-up never follows a link (FolderRemoval.h): what changed stays in
// the previous result's folder, moved aside beside the target at the swap,
// and a note names it there.
//
// Others on the same machine: the folder that holds the target is opened
// once, and every later step goes through that open folder (OpenFolder.h),
// so renaming a folder above or planting a link leads nowhere. That folder
// must belong to root or to the runner, and no one else may write in it
// unless it is sticky; otherwise its owner or writers could swap the names
// in it during the run. The new folder is the runner's, private, until its
// last byte is written; only then does it take the target's owner, group,
// mode and access control list.
//
// One run per target at a time: a run holds a lock on a file of its own in
// the folder that holds the target (and in each folder it makes on the way),
// and a second one waits. Only the runner (and root) may open that file, and
// a lock needs it open for writing, so no one else can hold a run up; a file
// of that name that is not the runner's is waited for a bounded time, then
// refused. Every wait, and every fresh start when the folders changed while
// the run waited, pauses between looks, ends on a signal and is bounded.
// Holding it, a run knows that any new folder of the runner's beside the
// target (".NAME.new-N") was left by a run that ended without its clean-up
// (killed): it removes one that never became a result and names any other.

#include "FolderRemoval.h"
#include "OpenFolder.h"

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

class OutputFolder {
public:
  // The marker file's name inside the folder.
  static constexpr const char* kMarker = ".two_storey_house-files";

  // A folder refused before anything was written; the text says what is
  // wrong and that nothing was changed.
  struct Refused : std::runtime_error {
    using std::runtime_error::runtime_error;
  };

  // Throws Refused when the paths of a run into target could not be made:
  // target not UTF-8 (the stand-in host's paths are UTF-8 text and would
  // lose its other bytes), holding a backslash (the stand-in host's
  // separator), or longer than the system allows once the run's own names
  // are added.
  static void CheckPath(const std::filesystem::path& target);
  // The path as a message shows it: as it is, or written as $'…' with
  // escapes when it holds a control character (a newline in a name), so
  // that a message never names another folder than the one meant.
  static std::string Shown(const std::filesystem::path& path);
  // As Shown, in double quotes unless written as $'…'.
  static std::string Quoted(const std::filesystem::path& path);

  // target: absolute. Takes the lock (calling waiting about every 50 ms
  // while it cannot, with what it waits for, or with "" when it only starts
  // over; waiting may throw to give up), then throws Refused when the
  // folder may not be used (its path, the folder that holds it, not a
  // folder, a mount point, foreign files, its list, not writable) or the
  // wait lasted too long. Nothing is made yet.
  OutputFolder(const std::filesystem::path& target, std::function<void(const std::string&)> waiting);
  // Abandons the run unless its result was put in place.
  ~OutputFolder();
  OutputFolder(const OutputFolder&) = delete;
  OutputFolder& operator=(const OutputFolder&) = delete;

  const std::filesystem::path& Target() const { return target_; }
  bool Committed() const { return committed_; }
  // What the folder holds now, for the last words of a run: "the new
  // result is in place in …", "the previous result in … is left as it
  // was" or "nothing was written to …".
  std::string Outcome() const;
  // The last two, for a run that has not taken the folder on (yet), by
  // whether target existed; just "nothing was written" without a target.
  static std::string Untouched(const std::filesystem::path& target, bool existed);
  // True when the device that holds the new folder has less room or fewer
  // free files than a complete run needs: what failed, failed for that.
  bool OutOfRoom() const;

  // Makes the folders above the target that are missing, removes what
  // killed runs left and makes the new folder beside the target; throws
  // std::runtime_error when it cannot.
  void Stage();
  // Writes a new file of the result (relative path, folders made), recorded
  // in the marker's list; throws std::system_error naming the file.
  void Write(const std::filesystem::path& relative, const std::string& bytes);
  // A new, empty file of the result opened for writing, recorded as Write
  // does, for another program to write into.
  OpenFd Create(const std::filesystem::path& relative);
  // Takes back a file made by Create that was never written.
  void Forget(const std::filesystem::path& relative);
  // A file of the result opened for reading.
  OpenFd Open(const std::filesystem::path& relative) const;
  // Where a file of the result lies until the swap, for messages.
  std::filesystem::path StagedPath(const std::filesystem::path& relative) const;
  // A scratch folder inside the new folder, never part of the result,
  // reached through the open new folder.
  const std::filesystem::path& Scratch() const { return scratch_; }
  const std::vector<std::filesystem::path>& Files() const { return files_; }

  // Writes the marker, gives the new folder the target's owner, group, mode
  // and access control list (a note says what it could not) and puts it in
  // place of the target; the previous result's listed files are then
  // removed.
  void Commit();
  // Removes the new folder and the folders the run made above it; a note
  // names what had to be left.
  void Abandon();

private:
  using Clock = std::chrono::steady_clock;

  // A folder on the way from the nearest existing one to the target's
  // parent, with its name in the folder above and whether the run made it.
  struct Level {
    OpenFolder folder;
    std::string name;
    bool made = false;
    OpenFd lock;  // the run's lock file in the folder, while it holds it
  };

  [[nodiscard]] bool TakeOn();
  void OpenAncestor();
  [[nodiscard]] bool OpenExistingLevels();
  [[nodiscard]] bool Lock();
  void Pause(const std::string& what, Clock::time_point since) const;
  std::string Holder(const OpenFd& lock) const;
  void Release(Level& level);
  void ReleaseAll();
  void CheckPlace() const;
  void CheckTarget();
  void CheckContents(const OpenFolder& target);
  // What a folder holds that no run wrote: the first few names, and how
  // many in all.
  struct Foreign {
    static constexpr std::size_t kNamed = 3;
    std::vector<std::string> named;
    std::size_t count = 0;
  };
  void CheckBelow(const OpenFolder& folder, const std::filesystem::path& prefix,
                  const std::vector<std::filesystem::path>& listed, Foreign& foreign);
  std::vector<std::filesystem::path> ListedFiles(const OpenFolder& target) const;
  void MakeParents();
  void RemoveLeftovers();
  void MakeNewFolder();
  OpenFolder MakeFolders(const std::filesystem::path& relative);
  void WriteMarker();
  void KeepTargetsAttributes();
  void SwapIn();
  bool IsNewFolder(const std::string& name) const;
  void SayWhenMoved() const;
  void RemovePrevious();
  static std::string UserName(uid_t user);
  static std::string KindOf(mode_t mode);
  static std::string GroupName(gid_t group);
  const OpenFolder& Parent() const { return levels_.back().folder; }
  std::filesystem::path ParentPath() const { return target_.parent_path(); }
  std::string Name() const { return target_.filename().string(); }

  std::filesystem::path target_;
  std::function<void(const std::string&)> waiting_;
  std::filesystem::path ancestorPath_;  // the nearest folder above the target that existed
  std::vector<OpenFolder> chain_;       // handles of "/" and the folders below it down to that one
  std::vector<Level> levels_;           // from that folder down to the target's parent
  std::vector<std::string> missing_;    // the names below the last level down to the parent
  std::string staging_;                 // the new folder's name beside the target
  OpenFolder newFolder_;
  std::filesystem::path scratch_;
  struct stat targetStatus_ = {};
  folder_removal::Checked checked_;  // the previous result's files and list, as accepted
  std::set<std::filesystem::path> checkedFolders_;
  std::vector<std::filesystem::path> files_;
  bool existed_ = false;
  bool staged_ = false;
  bool committed_ = false;
};
