#include "CWorksheetTotal.h"

#include "CAreaTree.h"
#include "CDlgProgress.h"
#include "CLayerControl.h"
#include "CMyUserData.h"
#include "CPlenimetraParam.h"
#include "WorksheetDatabase.h"
#include "WorksheetReplacement.h"
#include "WorksheetTeamwork.h"
#include "host_assert.h"
#include "host_elements.h"
#include "host_environment.h"
#include "host_errors.h"
#include "host_notify.h"

#include <functional>

namespace {

constexpr int kOutputTag = 700;

WorksheetTeamwork TeamworkOf(const CPlenimetraParam& doc)
{
  return WorksheetTeamwork(doc, [](const CAreaObject& root, std::optional<API_DatabaseUnId>& found) {
    return CWorksheetTotal::GetDatabase(found, root.m_Name.m_DefaultName);
  });
}

}  // namespace

GSErrCode CWorksheetTotal::GetDatabase(std::optional<API_DatabaseUnId>& found, GS::UniString name)
{
  GetSheetName(name);
  return FindWorksheet(name, found);
}

GSErrCode CWorksheetTotal::CreateDatabase(API_DatabaseUnId& created, GS::UniString name)
{
  GetSheetName(name);
  return CreateWorksheet(name, created);
}

GSErrCode CWorksheetTotal::DoCreate()
{
  CDlgProgress progress;
  progress.OpenProgress(GS::UniString(), true);
  progress.SetPhase(int(m_pParam->m_AreaTree2.m_Child.size()), GS::UniString());
  const int current = m_pParam->m_CurTreeCode;
  GSErrCode first = NoError;
  for (const CAreaTree& pattern : m_pParam->m_AreaTree2.m_Child) {
    if (m_pParam->m_TotalExcludeCodes.IsExisted2(pattern.m_AreaCode))
      continue;
    m_pParam->m_CurTreeCode = pattern.m_AreaCode;
    const GSErrCode err = CreatePatternSheet(progress);
    if (first == NoError)
      first = err;
    if (err == APIERR_CANCEL)
      break;
  }
  progress.Close();
  m_pParam->m_CurTreeCode = current;
  return first;
}

GSErrCode CWorksheetTotal::CreatePatternSheet(CDlgProgress& progress)
{
  const CAreaObject* root = m_pParam->GetAreaObject(m_pParam->m_CurTreeCode);
  PLN_ASSERT(root != nullptr);
  std::optional<API_DatabaseUnId> sheet;
  if (GSErrCode err = GetDatabase(sheet, root->m_Name.m_DefaultName); err != NoError)
    return err;
  if (!sheet) {
    API_DatabaseUnId created;
    if (GSErrCode err = CreateDatabase(created, root->m_Name.m_DefaultName); err != NoError)
      return err;
    sheet = created;
  }
  if (GSErrCode err = ShowWorksheet(*sheet); err != NoError)
    return err;
  // Every line and text of the sheet is its earlier output, whoever drew it.
  return ACAPI_CallUndoableCommand(GS::UniString(u"メンセラ[出力]"), [&]() {
    return ReplaceSheet(m_pReplacement, *m_pParam, *sheet, GatherLinesAndTexts, [&]() { return Create(progress); });
  });
}

GSErrCode CWorksheetTotal::Create(CDlgProgress& progress)
{
  // Drawing at a guessed scale would leave a sheet that looks complete and
  // is not.
  double scale = 1.0;
  if (GSErrCode err = ACAPI_Database('GSCL', &scale); err != NoError)
    return err;
  const CAttributeTotalAreaParam& style = m_pParam->m_EnvParam.m_TotalAreaParam;
  const double d = scale * style.m_TextSize / 1000.0;
  const double w = style.m_ColWidth * d;
  const double h = style.m_RowHeight * d;
  CMyUserData tag(kOutputTag, CMyUserData::kVersion);
  const std::vector<CAreaTreeIndentArray> lists = m_pParam->GetTree()->GetFlat();
  progress.SetRange(int(lists.size()), GS::UniString());
  const int floors = CFloorParamArray::GetTotalLines(m_pParam, m_pParam->m_CurTreeCode);

  GSErrCode first = NoError;
  auto drawGroup = [&](const std::function<GSErrCode(GS::Array<API_Guid>*)>& draw) {
    // The tables go on the area-table layer, opened for them as for the
    // floor sheets' and closed again.
    const GSErrCode err = CLayerControl::Write(m_pParam->m_EnvParam.m_ListLayer, [&]() {
      GS::Array<API_Guid> guids;
      GSErrCode drawn = draw(&guids);
      // What was placed is grouped even after a failure, so it moves as one.
      if (guids.GetSize() > 0)
        if (const GSErrCode grouped = ACAPI_ElementGroup_Create(guids); drawn == NoError)
          drawn = grouped;
      return drawn;
    });
    if (first == NoError)
      first = err;
    // A refused text has been shown once; the output is undone whole.
    if (err == APIERR_CANCEL)
      return false;
    // The totals ask the progress as they add up floors but run to their
    // end; a cancel answered there ends the sheet after the table.
    if (!progress.CheckAbort())
      return true;
    if (first == NoError)
      first = APIERR_CANCEL;
    return false;
  };
  CKelCoord2D pos;
  for (const CAreaTreeIndentArray& list : lists) {
    const CAreaObject* top = m_pParam->GetAreaObject(list.back().m_AreaCode);
    PLN_ASSERT(top != nullptr);
    if (!drawGroup([&](GS::Array<API_Guid>* guids) {
          return CreateTotalArea(list, top->m_Name.m_DefaultName, pos, d, guids, &tag, progress);
        }))
      return first;
    pos.m_y -= (floors + style.m_RowOffset + 3) * h;
  }
  for (const CAreaTreeIndentArray& list : lists)
    for (const CAreaTreeIndent& entry : list) {
      if (!drawGroup(
              [&](GS::Array<API_Guid>* guids) { return CreateEachArea(entry, pos, d, guids, &tag, progress); }))
        return first;
      pos.m_x += 2 * w + style.m_ColOffset * d;
    }
  return first;
}

GSErrCode CWorksheetTotal::TeamworkReceive() { return TeamworkOf(*m_pParam).Reserve(); }

GSErrCode CWorksheetTotal::TeamworkRelease() { return TeamworkOf(*m_pParam).Release(); }

bool CWorksheetTotal::GetTeamworkStatus() { return TeamworkOf(*m_pParam).IsOwned(); }
