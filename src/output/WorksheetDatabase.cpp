#include "WorksheetDatabase.h"

#include "CGSUtil.h"
#include "CMyUserData.h"
#include "CPlenimetraParam.h"
#include "host_elements.h"
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

GSErrCode ShowWorksheet(const API_DatabaseUnId& sheet)
{
  API_WindowInfo window;
  window.typeID = APIWind_WorksheetID;
  window.databaseUnId = sheet;
  return ACAPI_Automate('CHWD', &window);
}

GSErrCode GatherLinesAndTexts(GS::Array<API_Guid>& guids)
{
  for (API_ElemTypeID type : {API_LineID, API_TextID})
    if (GSErrCode err = CGSUtil::GSGetElement(type, nullptr, CMyUserDataCore::TYPE(0), 0, guids); err != NoError)
      return err;
  return NoError;
}

GSErrCode DeleteGathered(const CPlenimetraParam& doc, const GS::Array<API_Guid>& guids)
{
  if (guids.GetSize() == 0)
    return NoError;
  if (GSErrCode err = doc.DoTeamworkReceive(guids); err != NoError)
    return err;
  return DeleteOnTheirLayers(guids);
}

GSErrCode DeleteOnTheirLayers(const GS::Array<API_Guid>& guids)
{
  GS::Array<API_Elem_Head> heads;
  for (const API_Guid& guid : guids) {
    API_Elem_Head head;
    head.guid = guid;
    if (GSErrCode err = ACAPI_Element_GetHeader(&head); err != NoError)
      return err;
    heads.Push(head);
  }
  return CGSUtil::GSDeleteElement(&heads);
}
