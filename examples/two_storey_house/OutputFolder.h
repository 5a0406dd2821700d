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
// The new folder takes the target's mode, and its owner and group where the
// run may set them, so a private folder stays private.

#include "FolderRemoval.h"

#include <sys/stat.h>

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
  // path, not a folder, a mount point, foreign files, not writable).
  // Nothing is made yet.
  explicit OutputFolder(const std::filesystem::path& target);
  // Abandons the run unless its result was put in place.
  ~OutputFolder();
  OutputFolder(const OutputFolder&) = delete;
  OutputFolder& operator=(const OutputFolder&) = delete;

  const std::filesystem::path& Target() const { return target_; }
  bool TargetExisted() const { return existed_; }
  bool Committed() const { return committed_; }
  // What the folder holds now, for the last words of a run: "the new
  // result is in place in …", "the previous result in … is left as it
  // was" or "nothing was written to …".
  std::string Outcome() const;
  // True when the device that holds the new folder has less room or fewer
  // free files than a complete run needs: what failed, failed for that.
  bool OutOfRoom() const;

  // Makes the new folder beside the target (and the folders above it that
  // are missing); throws std::runtime_error when it cannot.
  void Stage();  // Where a file of the result is written before the swap (relative path,
  // folders made), recorded in the marker's list.
  std::filesystem::path Add(const std::filesystem::path& relative);
  // A scratch folder inside the new folder, never part of the result.
  std::filesystem::path Scratch() const { return staging_ / "scratch"; }
  const std::vector<std::filesystem::path>& Files() const { return files_; }

  // Writes the marker and puts the new folder in place of the target; the
  // previous result's listed files are then removed.
  void Commit();
  // Removes the new folder and the folders the run made above it; a note
  // names what had to be left.
  void Abandon();

private:
  void CheckTarget();
  void CheckContents();
  std::vector<std::filesystem::path> ListedFiles() const;
  void TakeTargetsPermissions();
  void WriteMarker();
  void SwapIn();
  void RemovePrevious();

  std::filesystem::path target_;
  std::filesystem::path staging_;
  std::filesystem::path firstMade_;  // the outermost folder above the target the run made
  struct stat targetStatus_ = {};
  folder_removal::Checked checked_;  // the previous result's files and list, as accepted
  std::vector<std::filesystem::path> files_;
  bool existed_ = false;
  bool staged_ = false;
  bool committed_ = false;
};
