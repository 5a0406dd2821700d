#include "host_alert.h"

#include "host_calllog.h"

#include <deque>

namespace pln::host {
namespace {

struct AlertState {
  std::deque<short> answers;
  std::vector<AlertRecord> shown;
};

AlertState& State()
{
  static AlertState state;
  return state;
}

// With no answer queued the user confirms the first button, the one every
// alert of the system has.
constexpr short kDefaultAnswer = 1;

short NextAnswer()
{
  auto& answers = State().answers;
  if (answers.empty())
    return kDefaultAnswer;
  const short answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace

void QueueAlertAnswer(short button) { State().answers.push_back(button); }

std::size_t PendingAlertAnswers() { return State().answers.size(); }

const std::vector<AlertRecord>& Alerts() { return State().shown; }

}  // namespace pln::host

namespace pln::host::internal {
void ResetAlerts() { State() = {}; }
}  // namespace pln::host::internal

short DGAlert(short kind, const GS::UniString& title, const GS::UniString& largeText,
              const GS::UniString& smallText, const GS::UniString& button1,
              const GS::UniString& button2, const GS::UniString& button3)
{
  pln::host::LogCall("DGAlert");
  pln::host::AlertRecord record{kind, title, largeText, smallText, {button1, button2, button3}, 0};
  record.answer = pln::host::NextAnswer();
  pln::host::AppendToLog(pln::host::State().shown, record);
  return record.answer;
}
