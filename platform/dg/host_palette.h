#pragma once
// Modeless windows registered with the host. A registered window hears from
// the host through its control callback when the host wants it closed,
// hidden while the host shows another context and shown again, or disabled
// while a modal operation runs. Headless: a test plays the host with
// SendPaletteMessage.

#include "host_api_types.h"
#include "host_types.h"

#include <optional>

enum API_PaletteMessageID : Int32 {
  APIPalMsg_ClosePalette = 1,
  APIPalMsg_HidePalette_Begin = 2,
  APIPalMsg_HidePalette_End = 3,
  APIPalMsg_DisableItems_Begin = 4,
  APIPalMsg_DisableItems_End = 5,
};

// The window's answer to a control message; the host ignores it.
using APIPaletteControlCallBackProc = GSErrCode(Int32 referenceID, API_PaletteMessageID messageID, long long param);

// Registers the window (a dialog id) with the host; the flags and guid are
// kept as given. APIERR_BADPARS without a callback; registering an id again
// replaces its entry.
[[nodiscard]] GSErrCode ACAPI_RegisterModelessWindow(Int32 referenceID, APIPaletteControlCallBackProc* callback,
                                                     Int32 flags, const API_Guid& paletteGuid);
// APIERR_BADID for an id that is not registered.
[[nodiscard]] GSErrCode ACAPI_UnregisterModelessWindow(Int32 referenceID);

namespace pln::host {

struct RegisteredWindow {
  Int32 referenceID = 0;
  APIPaletteControlCallBackProc* callback = nullptr;
  Int32 flags = 0;
  API_Guid guid;
};

// The registration of that window; empty when it has none.
std::optional<RegisteredWindow> ModelessWindowRegistration(Int32 referenceID);
// The host sends a control message to a registered window and answers the
// window's answer; APIERR_BADID when the window is not registered.
[[nodiscard]] GSErrCode SendPaletteMessage(Int32 referenceID, API_PaletteMessageID message, long long param = 0);

}  // namespace pln::host

namespace pln::host::internal {
void ResetModelessWindows();
}  // namespace pln::host::internal
