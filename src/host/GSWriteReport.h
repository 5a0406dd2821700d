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
