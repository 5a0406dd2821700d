#include "dg_filedialog.h"

#include "host_calllog.h"

#include <deque>

namespace pln::host {
namespace {

struct FileDialogState {
  std::deque<std::optional<IO::Location>> answers;  // empty entry: cancel
  std::vector<FileDialogRecord> shown;
};

FileDialogState& State()
{
  static FileDialogState state;
  return state;
}

// With nothing queued the user cancels: a test that forgot an answer
// must not have files written or read on its behalf.
std::optional<IO::Location> NextAnswer()
{
  auto& answers = State().answers;
  if (answers.empty())
    return std::nullopt;
  std::optional<IO::Location> answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace

void QueueFileDialogAnswer(const IO::Location& file) { State().answers.emplace_back(file); }

void QueueFileDialogCancel() { State().answers.emplace_back(std::nullopt); }

std::size_t PendingFileDialogAnswers() { return State().answers.size(); }

const std::vector<FileDialogRecord>& FileDialogs() { return State().shown; }

}  // namespace pln::host

namespace pln::host::internal {
void ResetFileDialogs() { State() = {}; }
}  // namespace pln::host::internal

namespace DG {

FileDialog::FileDialog(Type type) : type_(type) {}

UIndex FileDialog::AddFilter(FTM::TypeID typeId, UInt32 option)
{
  filters_.push_back(Filter{typeId, option, GS::UniString()});
  return static_cast<UIndex>(filters_.size() - 1);
}

bool FileDialog::SetFilterText(UIndex filterIndex, const GS::UniString& text)
{
  if (filterIndex >= filters_.size())
    return false;
  filters_[filterIndex].text = text;
  return true;
}

void FileDialog::SetTitle(const GS::UniString& title) { title_ = title; }

void FileDialog::SetFolder(const IO::Location& folder) { folder_ = folder; }

void FileDialog::SelectFile(const IO::Location& file) { preselected_ = file; }

bool FileDialog::Invoke()
{
  pln::host::LogCall("DG::FileDialog::Invoke");
  const std::optional<IO::Location> answer = pln::host::NextAnswer();
  pln::host::State().shown.push_back({type_, filters_, title_, folder_, preselected_, answer});
  selection_.clear();
  if (answer.has_value())
    selection_.push_back(*answer);
  return answer.has_value();
}

USize FileDialog::GetSelectionCount() const { return static_cast<USize>(selection_.size()); }

IO::Location FileDialog::GetSelectedFile(UIndex index) const
{
  return index < selection_.size() ? selection_[index] : IO::Location();
}

}  // namespace DG
