#include "OutputCommand.h"

#include "CDlgOutputToWorksheet.h"
#include "COutputWorksheets.h"
#include "CPlenimetraParam.h"
#include "GSWriteReport.h"

namespace {

void TakeChoices(CPlenimetraParam& doc, const CDlgOutputToWorksheet& dialog)
{
  for (std::size_t i = 0; i < doc.m_FloorParamArray.size() && i < dialog.m_FloorParamArray.size(); ++i)
    doc.m_FloorParamArray[i].m_OutputExcludeCodes = dialog.m_FloorParamArray[i].m_OutputExcludeCodes;
  doc.m_FloorParamArray.m_bCalcPerFloor = dialog.m_FloorParamArray.m_bCalcPerFloor;
  doc.m_OutputLayout = dialog.m_OutputLayout;
  doc.m_OutputMode = dialog.m_OutputMode;
  doc.m_TotalExcludeCodes = dialog.m_TotalExcludeCodes;
  doc.m_bTuboRow = dialog.m_bTuboRow;
  doc.m_bOutputCheck = dialog.m_bOutputCheck;
  doc.m_OutputFileType = dialog.m_OutputFileType;
}

}  // namespace

GSErrCode RunOutputCommand(CPlenimetraParam& doc)
{
  // The spreadsheet file cannot be chosen any more.
  if (doc.m_OutputMode == 1)
    doc.m_OutputMode = 2;
  CDlgOutputToWorksheet dialog(&doc);
  if (dialog.DoModal() != 1)
    return NoError;
  TakeChoices(doc, dialog);
  // The choices that cannot be kept are reported, and nothing is written
  // from settings the project would forget.
  if (const GSErrCode err = doc.SaveData(); err != NoError) {
    GSWriteFailure(GS::UniString(u"出力の設定を保存できないため、出力しませんでした。"), err);
    return err;
  }
  switch (doc.m_OutputMode) {
  case 2: {
    COutputWorksheets sheets;
    GSErrCode err = sheets.Run(doc);
    if (const GSErrCode saved = doc.SaveData(); err == NoError)
      err = saved;
    GSWriteFailure(GS::UniString(u"ワークシートへの出力を完了できませんでした。"), err);
    return err;
  }
  case 3: return doc.ToCsv();
  default: return doc.ToExcel();
  }
}
