#include "OutputFolder.h"

#include "host_charcodes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
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

// The listed files, then every folder left empty, innermost first; the
// folder itself goes when nothing else is left in it.
void RemoveListed(const fs::path& folder, const std::vector<fs::path>& files)
{
  std::error_code ignored;
  std::set<fs::path, std::greater<>> folders;
  for (const fs::path& file : files) {
    fs::remove(folder / file, ignored);
    for (fs::path up = file.parent_path(); !up.empty(); up = up.parent_path())
      folders.insert(up);
  }
  fs::remove(folder / OutputFolder::kMarker, ignored);
  for (const fs::path& inner : folders)
    fs::remove(folder / inner, ignored);  // only while empty
  fs::remove(folder, ignored);
  if (fs::exists(folder))
    std::fprintf(stderr, "note: %s was kept: files appeared in it during the run\n", folder.c_str());
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
  fs::create_directories(target_.parent_path());
  staging_ = target_.parent_path() / ("." + target_.filename().string() + ".new-" + std::to_string(::getpid()));
  std::error_code error;
  if (!fs::create_directory(staging_, error) || error)
    throw std::runtime_error("cannot make the new folder " + Quoted(staging_) + " beside the target: " +
                             (error ? error.message() : std::string("it exists already")));
  fs::create_directories(Scratch());
}

OutputFolder::~OutputFolder()
{
  if (committed_)
    return;
  std::error_code ignored;
  fs::remove_all(staging_, ignored);  // the run's own new folder
}

void OutputFolder::CheckTarget()
{
  const fs::file_status status = fs::symlink_status(target_);
  existed_ = fs::exists(status);
  if (!existed_) {
    const fs::path ancestor = ExistingAncestor(target_.parent_path());
    if (!fs::is_directory(ancestor) || !Writable(ancestor))
      throw Refused("cannot make " + Quoted(target_) + ": " + Quoted(ancestor) +
                    " is not a writable folder; nothing was written");
    return;
  }
  if (!fs::is_directory(status))
    throw Refused(Quoted(target_) + " exists and is not a folder; nothing was changed");
  if (!Writable(target_) || !Writable(target_.parent_path()))
    throw Refused(Quoted(target_) + " or the folder holding it is not writable; nothing was changed");

  const std::vector<fs::path> listed = ListedFiles();
  std::vector<std::string> foreign;
  for (auto entry = fs::recursive_directory_iterator(target_); entry != fs::recursive_directory_iterator(); ++entry) {
    const fs::path relative = entry->path().lexically_relative(target_);
    if (relative == kMarker)
      continue;
    const bool isListed = std::find(listed.begin(), listed.end(), relative) != listed.end();
    const bool holdsListed = entry->is_directory() && !entry->is_symlink() &&
                             std::any_of(listed.begin(), listed.end(), [&](const fs::path& file) {
                               return file.native().starts_with(relative.native() + "/");
                             });
    if (holdsListed || (isListed && !entry->is_directory()))
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
  const std::vector<fs::path> previous = existed_ ? ListedFiles() : std::vector<fs::path>();
  fs::remove_all(Scratch());
  {
    std::ofstream marker(staging_ / kMarker, std::ios::binary);
    marker << "# Written by two_storey_house. A later run replaces exactly these files;\n"
              "# it refuses this folder when it holds anything else.\n";
    for (const fs::path& file : files_)
      marker << file.generic_string() << '\n';
    if (!marker.flush())
      throw std::runtime_error("cannot write the list of files in " + Quoted(staging_));
  }
  if (existed_) {
    // One exchange: the target is at every moment the old or the new result.
    if (::renameat2(AT_FDCWD, staging_.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE) != 0)
      throw std::runtime_error("cannot put the new result in place of " + Quoted(target_) + ": " +
                               std::strerror(errno));
    committed_ = true;
    RemoveListed(staging_, previous);  // now the previous result
    return;
  }
  if (::rename(staging_.c_str(), target_.c_str()) != 0)
    throw std::runtime_error("cannot put the new result in place as " + Quoted(target_) + ": " + std::strerror(errno));
  committed_ = true;
}
