#pragma once
// The process window through ACAPI_Interface: 'IPWD' open (title, phase
// count), 'SPRP' start the next phase (text, maximum, show-percent flag),
// 'IPRV' advance by an increment, 'SPRV' set the position, 'CANC' ask
// whether the user cancelled (a nonzero answer means cancelled), 'CPWD'
// close.
//
// Once the user cancels, every 'CANC' answers cancelled until the window
// is closed. Steps and ranges sent while the window is closed change
// nothing.

#include "gs_unistring.h"
#include "host_types.h"

namespace pln::host {

struct ProgressState {
  bool open = false;
  Int32 openCount = 0;  // windows opened since the last reset
  GS::UniString title;
  Int32 phaseCount = 0;
  Int32 phase = 0;  // 0 before the first 'SPRP'
  GS::UniString text;
  Int32 maximum = 0;
  Int32 position = 0;
  bool cancelled = false;
};
const ProgressState& Progress();

// The user presses the cancel button once queriesBefore more 'CANC'
// questions of an open window have been answered "not cancelled".
void QueueProgressCancel(Int32 queriesBefore = 0);

}  // namespace pln::host

namespace pln::host::internal {
[[nodiscard]] GSErrCode OpenProgress(const GS::UniString* title, Int32* phaseCount);
[[nodiscard]] GSErrCode StartPhase(const GS::UniString* text, Int32* maximum);
[[nodiscard]] GSErrCode AdvanceProgress(const Int32* increment);
[[nodiscard]] GSErrCode SetProgress(Int32* position);
[[nodiscard]] GSErrCode AskCancel();
[[nodiscard]] GSErrCode CloseProgress();
void ResetProgress();
}  // namespace pln::host::internal
