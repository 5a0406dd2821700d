#pragma once
// The worksheets of one output, as the document's output operation asks
// for them: each floor's sheets (CWorksheetFloor), then the summaries
// (CWorksheetTotal). Before the first sheet is touched, the names this
// output will write are checked, and a failed check refuses the output
// with a message and answers APIERR_CANCEL (the refusal has been shown
// already): a story name the summaries would write in the default code
// that the code cannot hold, naming the story and the character; two
// sheets of one name, as the second would overwrite the first
// ("ワークシート名が重複しています：" and the name).

#include "DocServices.h"
#include "WorksheetReplacement.h"

class COutputWorksheets : public CWorksheetMaker {
public:
  // The whole output as the command runs it: one undoable step
  // "メンセラ[出力]" that replaces every sheet or, cancelled or failed,
  // leaves every sheet as it was.
  [[nodiscard]] GSErrCode Run(CPlenimetraParam& doc);

  [[nodiscard]] GSErrCode DoCreateFloor(CPlenimetraParam* param, CDlgProgress& progress, CFloorParam* floor) override;
  [[nodiscard]] GSErrCode DoCreateTotal(CPlenimetraParam* param) override;

private:
  // Checks the names once an output; the refusal stays for its rest.
  [[nodiscard]] GSErrCode CheckNames(const CPlenimetraParam& param);

  // The output's replacement while Run draws; without, each sheet is
  // replaced on its own.
  WorksheetReplacement* m_pReplacement = nullptr;
  bool m_bChecked = false;
  GSErrCode m_NameError = NoError;
};
