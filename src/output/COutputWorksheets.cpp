#include "COutputWorksheets.h"

#include "CPlenimetraParam.h"
#include "CWorksheetFloor.h"
#include "CWorksheetTotal.h"
#include "DocRecord.h"
#include "GSWriteReport.h"
#include "host_errors.h"
#include "host_notify.h"
#include "host_teamwork.h"

#include <set>

namespace {

bool WritesSummaries(const CPlenimetraParam& param)
{
  return !ACAPI_TeamworkControl_HasConnection() || param.m_bTeamworkTotal;
}

// The codes of the patterns whose summary this output writes.
std::vector<int> SummaryPatterns(const CPlenimetraParam& param)
{
  std::vector<int> codes;
  if (!WritesSummaries(param))
    return codes;
  for (const CAreaTree& pattern : param.m_AreaTree2.m_Child)
    if (!param.m_TotalExcludeCodes.IsExisted2(pattern.m_AreaCode))
      codes.push_back(pattern.m_AreaCode);
  return codes;
}

// Every sheet name the output will write, in writing order.
std::vector<GS::UniString> SheetNames(const CPlenimetraParam& param)
{
  std::vector<GS::UniString> names;
  for (const CFloorParam& floor : param.m_FloorParamArray)
    for (const CAreaTree& pattern : param.m_AreaTree2.m_Child) {
      const int code = pattern.m_AreaCode;
      if (!floor.IsCalc(&param.m_FloorParamArray, code) || !floor.IsOutputWorksheet(code))
        continue;
      GS::UniString name = param.GetAreaObject(code)->m_Name.GetName(floor.m_FloorNo);
      CWorksheetFloor::GetSheetName(name, floor.m_FloorNo);
      names.push_back(name);
    }
  for (const int code : SummaryPatterns(param)) {
    GS::UniString name = param.GetAreaObject(code)->m_Name.m_DefaultName;
    CWorksheetTotal::GetSheetName(name);
    names.push_back(name);
  }
  return names;
}

// The story names the summaries write as texts in the default code: those
// of the floors that calculate a summarised pattern.
std::vector<GS::UniString> SummaryStoryNames(const CPlenimetraParam& param)
{
  std::vector<GS::UniString> names;
  for (const int code : SummaryPatterns(param))
    for (const CFloorParam& floor : param.m_FloorParamArray)
      if (floor.IsCalc(&param.m_FloorParamArray, code))
        names.push_back(floor.m_FloorName);
  return names;
}

// A story name the code cannot hold would reach the sheet with a stand-in
// character: refused naming the story and the character.
bool RefuseUnheldStoryName(const CPlenimetraParam& param)
{
  for (const GS::UniString& name : SummaryStoryNames(param))
    if (const GS::UniString character = DocText::FirstUnheld(name); !character.IsEmpty()) {
      GSWriteReport(GS::UniString(u"フロア名「") + name + u"」を出力できません。" +
                    DocText::UnheldMessage(character));
      return true;
    }
  return false;
}

}  // namespace

GSErrCode COutputWorksheets::CheckNames(const CPlenimetraParam& param)
{
  if (m_bChecked)
    return m_NameError;
  m_bChecked = true;
  if (RefuseUnheldStoryName(param)) {
    m_NameError = APIERR_CANCEL;
    return m_NameError;
  }
  std::set<GS::UniString> seen;
  for (const GS::UniString& name : SheetNames(param))
    if (!seen.insert(name).second) {
      GSWriteReport(GS::UniString(u"ワークシート名が重複しています：") + name);
      m_NameError = APIERR_CANCEL;
      break;
    }
  return m_NameError;
}

GSErrCode COutputWorksheets::Run(CPlenimetraParam& doc)
{
  WorksheetReplacement replacement;
  m_pReplacement = &replacement;
  const GSErrCode err = ACAPI_CallUndoableCommand(GS::UniString(u"メンセラ[出力]"), [&]() {
    return replacement.Finish(doc, doc.Output(*this));
  });
  m_pReplacement = nullptr;
  return err;
}

GSErrCode COutputWorksheets::DoCreateFloor(CPlenimetraParam* param, CDlgProgress& progress, CFloorParam* floor)
{
  if (GSErrCode err = CheckNames(*param); err != NoError)
    return err;
  return CWorksheetFloor(param, m_pReplacement).DoCreate(progress, floor);
}

GSErrCode COutputWorksheets::DoCreateTotal(CPlenimetraParam* param)
{
  if (GSErrCode err = CheckNames(*param); err != NoError)
    return err;
  return CWorksheetTotal(param, m_pReplacement).DoCreate();
}
