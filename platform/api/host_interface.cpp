#include "host_interface.h"

#include "host_alert.h"
#include "host_calllog.h"
#include "host_errors.h"
#include "host_goodies.h"
#include "host_libpart.h"

#include <map>
#include <utility>

namespace pln::host {
namespace {

std::map<std::pair<short, short>, API_UserControlType>& UserControls()
{
  static std::map<std::pair<short, short>, API_UserControlType> controls;
  return controls;
}

GSErrCode SetUserControl(const API_UserControlInfo* info)
{
  if (info == nullptr)
    return APIERR_BADPARS;
  UserControls()[{info->dialogID, info->itemID}] = info->type;
  return NoError;
}

GSErrCode Input(Int32 code, void* par1, RubberLineInfoProc* callback)
{
  switch (code) {
    case 'IPOI':
      return internal::GetPoint(static_cast<API_GetPointType*>(par1), callback);
    case 'ILIN':
      return internal::GetLine(static_cast<API_GetLineType*>(par1), callback);
    case 'IARC':
      return internal::GetArc(static_cast<API_GetArcType*>(par1), callback);
    case 'IPOL':
      return internal::GetPoly(static_cast<API_GetPolyType*>(par1), callback);
    default:
      return APIERR_BADPARS;  // only the input requests take a callback
  }
}

GSErrCode Dispatch(Int32 code, void* par1, void* par2)
{
  switch (code) {
    case 'IPOI':
    case 'ILIN':
    case 'IARC':
    case 'IPOL':
      return Input(code, par1, nullptr);
    case 'DRLI':
      return internal::DrawRubberLine(static_cast<const API_RubberLineType*>(par1));
    case 'DRAR':
      return internal::DrawRubberArc(static_cast<const API_RubberArcType*>(par1));
    case 'IPWD':
      return internal::OpenProgress(static_cast<const GS::UniString*>(par1), static_cast<Int32*>(par2));
    case 'SPRP':
      return internal::StartPhase(static_cast<const GS::UniString*>(par1), static_cast<Int32*>(par2));
    case 'IPRV':
      return internal::AdvanceProgress(static_cast<const Int32*>(par1));
    case 'SPRV':
      return internal::SetProgress(static_cast<Int32*>(par1));
    case 'CANC':
      return internal::AskCancel();
    case 'CPWD':
      return internal::CloseProgress();
    case 'SUCC':
      return SetUserControl(static_cast<const API_UserControlInfo*>(par1));
    default:
      return ModelInterface(code, par1, par2);
  }
}

}  // namespace

std::optional<API_UserControlType> UserControlOf(short dialogID, short itemID)
{
  const auto found = UserControls().find({dialogID, itemID});
  if (found == UserControls().end())
    return std::nullopt;
  return found->second;
}

void ResetLibraryAndInterface()
{
  internal::ResetLibrary();
  internal::ResetInput();
  internal::ResetProgress();
  internal::ResetAlerts();
  UserControls().clear();
}

}  // namespace pln::host

// The third argument of 'SPRP' (show the percentage) changes nothing in a
// headless window.
GSErrCode ACAPI_Interface(Int32 code, void* par1, void* par2, void* /*par3*/)
{
  if (GSErrCode err = pln::host::EnterRequest("ACAPI_Interface", code))
    return err;
  return pln::host::Dispatch(code, par1, par2);
}

GSErrCode ACAPI_Interface(Int32 code, void* par1, RubberLineInfoProc* callback)
{
  if (GSErrCode err = pln::host::EnterRequest("ACAPI_Interface", code))
    return err;
  return pln::host::Input(code, par1, callback);
}

GSErrCode ACAPI_Interface(Int32 code, void* par1, std::nullptr_t)
{
  return ACAPI_Interface(code, par1, static_cast<void*>(nullptr));
}
