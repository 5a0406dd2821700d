#pragma once
// The host's file dialog. Headless: Invoke answers the next answer a test
// queued (a chosen file, or a cancel); with nothing queued the user
// cancels. Every invoked dialog is recorded with its settings and answer.
//
// Filters name file types of an FTM::FileTypeManager by their type id.

#include "ftm_filetypes.h"
#include "gs_unistring.h"
#include "host_types.h"
#include "io_location.h"

#include <optional>
#include <vector>

namespace DG {

class FileDialog {
public:
  enum Type { OpenFile, OpenMultiFile, OpenFolder, Save };

  explicit FileDialog(Type type);

  // Answers the new filter's index (from 0).
  UIndex AddFilter(FTM::TypeID typeId, UInt32 option = 0);
  // False for an unknown filter index.
  bool SetFilterText(UIndex filterIndex, const GS::UniString& text);
  void SetTitle(const GS::UniString& title);
  void SetFolder(const IO::Location& folder);
  // Preselects the file (its last name is the proposed file name).
  void SelectFile(const IO::Location& file);

  // True when the user confirmed a choice.
  [[nodiscard]] bool Invoke();
  USize GetSelectionCount() const;
  // The chosen file; an empty location when there is none at that index.
  IO::Location GetSelectedFile(UIndex index = 0) const;

  struct Filter {
    FTM::TypeID typeId = FTM::UnknownType;
    UInt32 option = 0;
    GS::UniString text;
    bool operator==(const Filter&) const = default;
  };

  Type GetType() const { return type_; }
  const std::vector<Filter>& GetFilters() const { return filters_; }
  const GS::UniString& GetTitle() const { return title_; }
  const IO::Location& GetFolder() const { return folder_; }
  const IO::Location& GetPreselectedFile() const { return preselected_; }

private:
  Type type_;
  std::vector<Filter> filters_;
  GS::UniString title_;
  IO::Location folder_;
  IO::Location preselected_;
  std::vector<IO::Location> selection_;
};

}  // namespace DG

namespace pln::host {

// The user will choose this file at the next file dialog (answers queue up
// in order).
void QueueFileDialogAnswer(const IO::Location& file);
// The user will cancel the next file dialog.
void QueueFileDialogCancel();
std::size_t PendingFileDialogAnswers();

struct FileDialogRecord {
  DG::FileDialog::Type type = DG::FileDialog::OpenFile;
  std::vector<DG::FileDialog::Filter> filters;
  GS::UniString title;
  IO::Location folder;
  IO::Location preselected;
  std::optional<IO::Location> chosen;  // empty: cancelled
};
// Every invoked file dialog since the reset, oldest first.
const std::vector<FileDialogRecord>& FileDialogs();

}  // namespace pln::host

namespace pln::host::internal {
void ResetFileDialogs();
}  // namespace pln::host::internal
