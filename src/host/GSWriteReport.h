#pragma once
// The one way a failure reaches the user: a modal host alert titled
// "メンセラ" with a single "Ok" button.

#include "gs_unistring.h"

// Shows a host error code as "(code)name"; nothing for success and for the
// host's cancel code, so a command the user cancelled ends silently. A
// missing library part or object gets a sentence of its own.
void GSWriteReport(int err);
// The text GSWriteReport(err) shows; empty for success and cancel.
GS::UniString GSReportText(int err);
// Shows the text as it stands and returns when the user dismissed it.
void GSWriteReport(const GS::UniString& text);
// Why a host call failed, for a user: what to do about the refusals a user
// can mend (a story or element not reserved, a locked or hidden layer), the
// code otherwise. Empty for success and cancel.
GS::UniString GSCauseText(int err);
// Shows what a user's action could not do (a sentence of its own, e.g.
// "項目の挿入を完了できませんでした。") followed by the cause; nothing for
// success and cancel. User actions report through this, never the bare code.
void GSWriteFailure(const GS::UniString& notDone, int err);
