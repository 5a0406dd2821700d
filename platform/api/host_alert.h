#pragma once
// The host's modal alert. Headless: the user's answers come from a queue
// that tests fill, and every alert shown is recorded with its texts.
//
// Buttons count from 1; an empty button text means the button is absent.

#include "gs_unistring.h"

#include <vector>

// Shows an alert of the given kind (the host's icon choice, e.g. -3) and
// answers the button the user pressed: the next queued answer, or 1 (the
// first button) when nothing is queued.
short DGAlert(short kind, const GS::UniString& title, const GS::UniString& largeText,
              const GS::UniString& smallText, const GS::UniString& button1,
              const GS::UniString& button2 = GS::UniString(),
              const GS::UniString& button3 = GS::UniString());

namespace pln::host {

struct AlertRecord {
  short kind = 0;
  GS::UniString title;
  GS::UniString largeText;
  GS::UniString smallText;
  GS::UniString buttons[3];
  short answer = 0;  // the button the alert returned
};

// The user will press this button at the next alert (answers queue up in
// order).
void QueueAlertAnswer(short button);
std::size_t PendingAlertAnswers();
// Every alert shown since the last reset, oldest first.
const std::vector<AlertRecord>& Alerts();

}  // namespace pln::host

namespace pln::host::internal {
void ResetAlerts();
}
