#pragma once
// ACAPI_Interface: the host's user-interface requests by four-character
// code. Interactive input and rubber bands are in host_input.h, the process
// window in host_progress.h; 'SUCC' turns a dialog item into one of the
// host's attribute choosers. Codes this file does not know go to the model
// (menu items, host_goodies.h).

#include "host_input.h"
#include "host_progress.h"
#include "host_types.h"

#include <cstddef>
#include <optional>

// The host's attribute choosers. Fill choosers come in several kinds
// (2, 5 and 15 among them); the number is passed through as given.
enum API_UserControlType : Int32 {
  APIUserControlType_Pen = 0,
  APIUserControlType_PenWithNull = 1,
  APIUserControlType_Fill = 5,
  APIUserControlType_WallComposites = 8,
  APIUserControlType_CompositeFill = 15,
  APIUserControlType_Material = 17,
  APIUserControlType_Layer = 18,
  APIUserControlType_LineType = 21,
  APIUserControlType_BuildingMaterial = 28,
};

// For 'SUCC': which item of which dialog becomes which chooser.
struct API_UserControlInfo {
  short dialogID = 0;
  short itemID = 0;
  API_UserControlType type = APIUserControlType_Pen;
};

// par1..par3 by code:
//   'IPOI' API_GetPointType*, 'ILIN' API_GetLineType*, 'IARC'
//   API_GetArcType*, 'IPOL' API_GetPolyType*, each with an optional
//   rubber-band callback as the third argument; 'DRLI' API_RubberLineType*;
//   'DRAR' API_RubberArcType*;
//   'IPWD' GS::UniString* title, Int32* phase count; 'SPRP' GS::UniString*
//   text, Int32* maximum, bool* show percent; 'IPRV' Int32* increment;
//   'SPRV' Int32* position; 'CANC' (nonzero answer: cancelled); 'CPWD';
//   'SUCC' API_UserControlInfo*.
[[nodiscard]] GSErrCode ACAPI_Interface(Int32 code, void* par1 = nullptr, void* par2 = nullptr, void* par3 = nullptr);
[[nodiscard]] GSErrCode ACAPI_Interface(Int32 code, void* par1, RubberLineInfoProc* callback);
// An explicit "no callback".
[[nodiscard]] GSErrCode ACAPI_Interface(Int32 code, void* par1, std::nullptr_t);

namespace pln::host {

// The chooser an item was turned into; empty when none.
std::optional<API_UserControlType> UserControlOf(short dialogID, short itemID);

// Empties the library, the parameter transaction, the pick queue and the
// input records, the process window, the user controls and the alerts. The
// dialog manager sits above this layer and resets itself
// (internal::ResetDialogManager in dg_user.h).
void ResetLibraryAndInterface();

}  // namespace pln::host
