#include "WorksheetDatabase.h"

#include "host_environment.h"
#include "host_memory.h"

#include <vector>

namespace {

// The ids of the worksheets, the host's handle freed.
GSErrCode ListWorksheets(std::vector<API_DatabaseUnId>& ids)
{
  API_DatabaseUnId** list = nullptr;
  if (GSErrCode err = ACAPI_Database('GWDI', &list); err != NoError)
    return err;
  if (list == nullptr)
    return NoError;
  GSHandle handle = reinterpret_cast<GSHandle>(list);
  const std::size_t count = std::size_t(BMGetHandleSize(handle)) / sizeof(API_DatabaseUnId);
  ids.assign(*list, *list + count);
  BMKillHandle(&handle);
  return NoError;
}

}  // namespace

GSErrCode FindWorksheet(const GS::UniString& name, std::optional<API_DatabaseUnId>& found)
{
  found.reset();
  std::vector<API_DatabaseUnId> ids;
  if (GSErrCode err = ListWorksheets(ids); err != NoError)
    return err;
  for (const API_DatabaseUnId& id : ids) {
    API_DatabaseInfo info;
    info.typeID = APIWind_WorksheetID;
    info.databaseUnId = id;
    if (GSErrCode err = ACAPI_Database('GDBI', &info); err != NoError)
      return err;
    if (info.name == name) {
      found = id;
      return NoError;
    }
  }
  return NoError;
}

GSErrCode CreateWorksheet(const GS::UniString& name, API_DatabaseUnId& created)
{
  API_DatabaseInfo info;
  info.typeID = APIWind_WorksheetID;
  info.name = name;
  info.ref = u"求積図";
  if (GSErrCode err = ACAPI_Database('NDAT', &info); err != NoError)
    return err;
  created = info.databaseUnId;
  return NoError;
}
