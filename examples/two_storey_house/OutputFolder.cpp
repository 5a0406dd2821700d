#include "OutputFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

bool Writable(const fs::path& folder) { return ::access(folder.c_str(), W_OK | X_OK) == 0; }

// The nearest folder on the way up that exists.
fs::path ExistingAncestor(fs::path folder)
{
  while (!folder.empty() && !fs::exists(folder) && folder != folder.parent_path())
    folder = folder.parent_path();
  return folder;
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

OutputFolder::OutputFolder(const fs::path& target) : target_(target)
{
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
      throw std::runtime_error("cannot make " + Quoted(target_) + ": " + Quoted(ancestor) + " is not a writable folder");
    return;
  }
  if (!fs::is_directory(status))
    throw std::runtime_error(Quoted(target_) + " exists and is not a folder");
  if (!Writable(target_) || !Writable(target_.parent_path()))
    throw std::runtime_error(Quoted(target_) + " or the folder holding it is not writable; nothing was changed");

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
    throw std::runtime_error(Quoted(target_) + " holds files this example did not write (" + names +
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
