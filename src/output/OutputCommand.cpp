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

COutputCommand::COutputCommand(CPlenimetraParam& doc) : m_Doc(doc) {}

COutputCommand::~COutputCommand() = default;

bool COutputCommand::Ask()
{
  // The spreadsheet file cannot be chosen any more.
  if (m_Doc.m_OutputMode == 1)
    m_Doc.m_OutputMode = 2;
  m_pDialog = std::make_unique<CDlgOutputToWorksheet>(&m_Doc);
  if (m_pDialog->DoModal() == 1)
    return true;
  m_pDialog.reset();
  return false;
}

GSErrCode COutputCommand::Run()
{
  if (m_pDialog == nullptr)
    return NoError;
  TakeChoices(m_Doc, *m_pDialog);
  // The choices that cannot be kept are reported, and nothing is written
  // from settings the project would forget.
  if (const GSErrCode err = m_Doc.SaveData(); err != NoError) {
    GSWriteFailure(GS::UniString(u"出力の設定を保存できないため、出力しませんでした。"), err);
    return err;
  }
  switch (m_Doc.m_OutputMode) {
  case 2: {
    COutputWorksheets sheets;
    GSErrCode err = sheets.Run(m_Doc);
    if (const GSErrCode saved = m_Doc.SaveData(); err == NoError)
      err = saved;
    GSWriteFailure(GS::UniString(u"ワークシートへの出力を完了できませんでした。"), err);
    return err;
  }
  case 3: return m_Doc.ToCsv();
  default: return m_Doc.ToExcel();
  }
}

GSErrCode RunOutputCommand(CPlenimetraParam& doc)
{
  COutputCommand command(doc);
  return command.Ask() ? command.Run() : NoError;
}
