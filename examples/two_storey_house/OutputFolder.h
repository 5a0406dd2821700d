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
// own new folder and leaves the previous result exactly as it was.

#include <filesystem>
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
  // lose its other bytes), or longer than the system allows once the run's
  // own names are added.
  static void CheckPath(const std::filesystem::path& target);

  // target: absolute. Throws Refused when the folder may not be used (its
  // path, not a folder, foreign files, not writable), std::runtime_error
  // when the new folder cannot be made.
  explicit OutputFolder(const std::filesystem::path& target);
  // Removes the new folder unless it was put in place.
  ~OutputFolder();
  OutputFolder(const OutputFolder&) = delete;
  OutputFolder& operator=(const OutputFolder&) = delete;

  const std::filesystem::path& Target() const { return target_; }
  bool TargetExisted() const { return existed_; }
  // Where a file of the result is written before the swap (relative path,
  // folders made), recorded in the marker's list.
  std::filesystem::path Add(const std::filesystem::path& relative);
  // A scratch folder inside the new folder, never part of the result.
  std::filesystem::path Scratch() const { return staging_ / "scratch"; }
  const std::vector<std::filesystem::path>& Files() const { return files_; }

  // Writes the marker and puts the new folder in place of the target.
  void Commit();

private:
  void CheckTarget();
  std::vector<std::filesystem::path> ListedFiles() const;

  std::filesystem::path target_;
  std::filesystem::path staging_;
  std::vector<std::filesystem::path> files_;
  bool existed_ = false;
  bool committed_ = false;
};
