#pragma once
// The palette's output command: the output dialog, its choices taken back
// into the document and saved, then the chosen output. Worksheet output
// saves the document again and shows a failure; the CSV table shows its
// own; the spreadsheet file writes nothing.

#include "host_types.h"

class CPlenimetraParam;

// 0 when the dialog was cancelled (the document unchanged); otherwise the
// output's result.
[[nodiscard]] GSErrCode RunOutputCommand(CPlenimetraParam& doc);
