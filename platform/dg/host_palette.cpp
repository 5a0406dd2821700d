#include "host_palette.h"

#include "host_calllog.h"
#include "host_errors.h"

#include <map>

namespace pln::host {
namespace {

std::map<Int32, RegisteredWindow>& Registry()
{
  static std::map<Int32, RegisteredWindow> registry;
  return registry;
}

}  // namespace

std::optional<RegisteredWindow> ModelessWindowRegistration(Int32 referenceID)
{
  const auto found = Registry().find(referenceID);
  if (found == Registry().end())
    return std::nullopt;
  return found->second;
}

GSErrCode SendPaletteMessage(Int32 referenceID, API_PaletteMessageID message, long long param)
{
  const auto window = ModelessWindowRegistration(referenceID);
  if (!window)
    return APIERR_BADID;
  // A copy: the window may unregister itself while it answers.
  return window->callback(referenceID, message, param);
}

}  // namespace pln::host

namespace pln::host::internal {
void ResetModelessWindows() { Registry().clear(); }
}  // namespace pln::host::internal

GSErrCode ACAPI_RegisterModelessWindow(Int32 referenceID, APIPaletteControlCallBackProc* callback, Int32 flags,
                                       const API_Guid& paletteGuid)
{
  if (const GSErrCode failure = pln::host::Enter("ACAPI_RegisterModelessWindow"); failure != NoError)
    return failure;
  if (callback == nullptr)
    return APIERR_BADPARS;
  pln::host::Registry()[referenceID] = pln::host::RegisteredWindow{referenceID, callback, flags, paletteGuid};
  return NoError;
}

GSErrCode ACAPI_UnregisterModelessWindow(Int32 referenceID)
{
  if (const GSErrCode failure = pln::host::Enter("ACAPI_UnregisterModelessWindow"); failure != NoError)
    return failure;
  return pln::host::Registry().erase(referenceID) == 1 ? NoError : APIERR_BADID;
}
