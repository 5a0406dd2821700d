#pragma once
// What a worksheet output replaces. The new output of a sheet is drawn
// beside the earlier one; only when every sheet of the output is drawn is
// the earlier output deleted, every sheet's in one host call. A cancel or
// a failure deletes what was drawn instead. So the sheets are either all
// replaced or all left element for element as they were, and the caller's
// undoable command holds the whole output as one step. (A sheet the output
// had to create stays, empty: the host keeps worksheets it was asked for.)

#include "gs_containers.h"
#include "host_api_types.h"

#include <functional>
#include <vector>

class CPlenimetraParam;

class WorksheetReplacement {
public:
  // Appends the output on the current sheet; the host's first error.
  using Gather = std::function<GSErrCode(GS::Array<API_Guid>&)>;

  // The current sheet is about to be drawn: what gather finds on it now is
  // what the output replaces. A failed gathering is returned; the sheet is
  // then not drawn.
  [[nodiscard]] GSErrCode Begin(const API_DatabaseUnId& sheet, const Gather& gather);
  // Ends the output whose drawing answered result: on success the earlier
  // output of every sheet goes (a failed deletion ends as a failure does),
  // else what was drawn goes. The first error; when a cancelled output
  // cannot be taken back, the failure, so that the user hears of it.
  [[nodiscard]] GSErrCode Finish(const CPlenimetraParam& doc, GSErrCode result);

private:
  [[nodiscard]] GSErrCode Abandon();

  struct Sheet {
    API_DatabaseUnId id;
    Gather gather;
    GS::Array<API_Guid> earlier;
  };
  std::vector<Sheet> m_Sheets;
};

// Draws the current sheet as a replacement of its earlier output: within
// the output's shared replacement when there is one (it finishes with the
// output), else as a replacement of its own, finished at once.
[[nodiscard]] GSErrCode ReplaceSheet(WorksheetReplacement* shared, const CPlenimetraParam& doc,
                                     const API_DatabaseUnId& sheet, const WorksheetReplacement::Gather& gather,
                                     const std::function<GSErrCode()>& draw);
