#include "WorksheetReplacement.h"

#include "CPlenimetraParam.h"
#include "WorksheetDatabase.h"
#include "host_elements.h"
#include "host_errors.h"

#include <set>

namespace {

// What the sheet holds now that it did not hold before.
GSErrCode GatherDrawn(const API_DatabaseUnId& sheet, const WorksheetReplacement::Gather& gather,
                      const GS::Array<API_Guid>& earlier, GS::Array<API_Guid>& drawn)
{
  if (GSErrCode err = ShowWorksheet(sheet); err != NoError)
    return err;
  GS::Array<API_Guid> now;
  if (GSErrCode err = gather(now); err != NoError)
    return err;
  const std::set<API_Guid> old(earlier.begin(), earlier.end());
  for (const API_Guid& guid : now)
    if (old.count(guid) == 0)
      drawn.Push(guid);
  return NoError;
}

}  // namespace

GSErrCode WorksheetReplacement::Begin(const API_DatabaseUnId& sheet, const Gather& gather)
{
  Sheet begun{sheet, gather, {}};
  if (GSErrCode err = gather(begun.earlier); err != NoError)
    return err;
  m_Sheets.push_back(std::move(begun));
  return NoError;
}

GSErrCode WorksheetReplacement::Finish(const CPlenimetraParam& doc, GSErrCode result)
{
  if (result == NoError) {
    GS::Array<API_Guid> earlier;
    for (const Sheet& sheet : m_Sheets)
      for (const API_Guid& guid : sheet.earlier)
        earlier.Push(guid);
    result = DeleteGathered(doc, earlier);
    if (result == NoError) {
      m_Sheets.clear();
      return NoError;
    }
  }
  const GSErrCode undone = Abandon();
  return result == APIERR_CANCEL && undone != NoError ? undone : result;
}

GSErrCode WorksheetReplacement::Abandon()
{
  GS::Array<API_Guid> drawn;
  GSErrCode first = NoError;
  for (const Sheet& sheet : m_Sheets)
    if (GSErrCode err = GatherDrawn(sheet.id, sheet.gather, sheet.earlier, drawn); first == NoError)
      first = err;
  m_Sheets.clear();
  if (drawn.GetSize() == 0)
    return first;
  if (const GSErrCode deleted = DeleteOnTheirLayers(drawn); first == NoError)
    first = deleted;
  return first;
}

GSErrCode ReplaceSheet(WorksheetReplacement* shared, const CPlenimetraParam& doc, const API_DatabaseUnId& sheet,
                       const WorksheetReplacement::Gather& gather, const std::function<GSErrCode()>& draw)
{
  if (shared != nullptr) {
    if (GSErrCode err = shared->Begin(sheet, gather); err != NoError)
      return err;
    return draw();
  }
  WorksheetReplacement own;
  if (GSErrCode err = own.Begin(sheet, gather); err != NoError)
    return err;
  return own.Finish(doc, draw());
}
