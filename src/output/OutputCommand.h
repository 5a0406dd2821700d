#pragma once
// The palette's output command: the output dialog, its choices taken back
// into the document and saved, then the chosen output. Worksheet output
// saves the document again and shows a failure; the CSV table shows its
// own; the spreadsheet file writes nothing.

#include "host_types.h"

#include <memory>

class CDlgOutputToWorksheet;
class CPlenimetraParam;

// The command in its two halves, so that the dialog can be asked before
// the output's undo step opens: a cancelled dialog then leaves no step.
class COutputCommand {
public:
  explicit COutputCommand(CPlenimetraParam& doc);
  ~COutputCommand();
  // The output dialog; false when it was cancelled (the document unchanged).
  bool Ask();
  // The choices of the dialog answered taken, saved, and the output run;
  // 0 without an answered dialog.
  [[nodiscard]] GSErrCode Run();

private:
  CPlenimetraParam& m_Doc;
  std::unique_ptr<CDlgOutputToWorksheet> m_pDialog;  // the answered dialog
};

// 0 when the dialog was cancelled (the document unchanged); otherwise the
// output's result.
[[nodiscard]] GSErrCode RunOutputCommand(CPlenimetraParam& doc);
