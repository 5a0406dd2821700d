#pragma once
// What the document asks of the layers above it, through interfaces it
// owns: the floor-copy dialog and the worksheets. The dialogs and the
// output implement them; tests put doubles in their place.

#include "host_types.h"

#include <vector>

class CDlgProgress;
class CFloorParam;
class CPlenimetraParam;

// The floor-copy dialog: a source story and one target flag per floor, in
// floor-list order.
class CFloorCopyChoice {
public:
  virtual ~CFloorCopyChoice() = default;
  // False when the user cancelled. source starts as the current story.
  virtual bool DoModal(CPlenimetraParam* param, short& source, std::vector<bool>& targets) = 0;
};

// The worksheets of the calculated patterns: one floor's, and the summary
// of every pattern over the building.
class CWorksheetMaker {
public:
  virtual ~CWorksheetMaker() = default;
  [[nodiscard]] virtual GSErrCode DoCreateFloor(CPlenimetraParam* param, CDlgProgress& progress, CFloorParam* floor) = 0;
  [[nodiscard]] virtual GSErrCode DoCreateTotal(CPlenimetraParam* param) = 0;
};
