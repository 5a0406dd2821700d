#include "host_selection.h"

#include "host_calllog.h"
#include "host_errors.h"
#include "host_model.h"
#include "host_notify.h"

#include <algorithm>

using namespace pln::host;

namespace {

GSErrCode CheckSelectable(const API_Guid& guid)
{
  if (GSErrCode err = CheckLive(guid); err != NoError)
    return err;
  return FindElement(guid)->database == TheModel().currentDatabase.databaseUnId ? NoError : APIERR_BADID;
}

bool Contains(const std::vector<API_Guid>& list, const API_Guid& guid)
{
  return std::find(list.begin(), list.end(), guid) != list.end();
}

}  // namespace

GSErrCode ACAPI_Selection_Get(API_SelectionInfo* info, GS::Array<API_Neig>* neigs, bool onlyEditable,
                              bool ignorePartialSelection)
{
  if (GSErrCode err = Enter("ACAPI_Selection_Get"); err != NoError)
    return err;
  if (info == nullptr)
    return APIERR_BADPARS;
  if (neigs != nullptr)
    neigs->Clear();
  *info = API_SelectionInfo{};
  for (const API_Guid& guid : TheModel().selection) {
    if (onlyEditable && CheckWritable(*FindElement(guid)) != NoError)
      continue;
    if (ignorePartialSelection && Contains(TheModel().partlySelected, guid))
      continue;
    ++info->sel_nElem;
    if (neigs != nullptr) {
      API_Neig neig;
      neig.guid = guid;
      neigs->Push(neig);
    }
  }
  return info->sel_nElem == 0 ? APIERR_NOSEL : NoError;
}

GSErrCode ACAPI_Element_Select(const GS::Array<API_Neig>& neigs, bool add)
{
  if (GSErrCode err = Enter("ACAPI_Element_Select"); err != NoError)
    return err;
  for (const API_Neig& neig : neigs)
    if (GSErrCode err = CheckSelectable(neig.guid); err != NoError)
      return err;
  std::vector<API_Guid>& selection = TheModel().selection;
  const std::vector<API_Guid> before = selection;
  for (const API_Neig& neig : neigs) {
    std::erase(TheModel().partlySelected, neig.guid);
    if (add && !Contains(selection, neig.guid))
      selection.push_back(neig.guid);
    else if (!add)
      std::erase(selection, neig.guid);
  }
  if (selection != before)
    DeliverSelectionChange();
  return NoError;
}

GSErrCode ACAPI_Element_DeselectAll()
{
  if (GSErrCode err = Enter("ACAPI_Element_DeselectAll"); err != NoError)
    return err;
  TheModel().partlySelected.clear();
  if (TheModel().selection.empty())
    return NoError;
  TheModel().selection.clear();
  DeliverSelectionChange();
  return NoError;
}
