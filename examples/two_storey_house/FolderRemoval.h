#pragma once
// Removal inside a folder that others may change while the run works: no
// step ever follows a symbolic link. Each folder on the way is opened
// relative to the one above it without following links, and names are
// removed relative to that open folder (OpenFolder.h), so a link planted
// anywhere (even one that replaces a folder between two steps) stops the
// removal there instead of leading it outside.

#include "OpenFolder.h"

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace folder_removal {

// What was left in a folder, each path (relative to it) with the reason.
using Left = std::map<std::filesystem::path, std::string>;

// A regular file as it was when it was checked.
struct FileState {
  explicit FileState(const struct stat& status);
  bool Same(const struct stat& status) const;

  dev_t device;
  ino_t inode;
  off_t size;
  timespec modified;
};

// Files below a folder (relative paths) as they were checked.
using Checked = std::map<std::filesystem::path, FileState>;

// Removes, in the folder name below holder, the checked files that are
// still as they were, then the folders that held them and the checked
// folders while they are empty, then the folder itself when it is empty.
// Anything else is left: a link, a file or folder that is not listed, a
// file changed since, a file that cannot be removed, and what belongs to
// neither the runner nor the folder's owner (such a folder is not entered). Answers what was
// left, with reasons ("changed during the run" for what is not listed);
// empty when the folder is gone.
Left RemoveListed(const OpenFolder& holder, const std::string& name, const Checked& files,
                  const std::set<std::filesystem::path>& folders);

// Removes the folder name below holder with the regular files and folders
// it holds, all the runner's own; anything else (a link, what another user
// owns, which is never entered, what lies deeper than a run writes) is
// left. Answers what was left, with reasons.
Left RemoveTree(const OpenFolder& holder, const std::string& name);

// The user's name, or "user N" when the system has none.
std::string UserName(uid_t user);

// The path as a message shows it: as it is, or written as $'…' with
// escapes when it holds a control character (a newline in a name), so that
// a message never names another file than the one meant, nor reads as two.
std::string Shown(const std::filesystem::path& path);

// "a (reason), b (reason) and 2 more", at most three named, each Shown.
std::string Describe(const Left& left);

}  // namespace folder_removal
