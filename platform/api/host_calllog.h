#pragma once
// The call log and one-shot failures of the add-on interface. Every ACAPI_
// function logs its name on entry and then asks TakeFailure whether a test
// queued a failure for it; a queued failure is answered instead of doing
// the work, exactly once.

#include "host_types.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace pln::host {

// The logs kept for tests to inspect (calls, element changes, parameter
// writes) hold their newest entries: a log that reaches kLogLimit loses its
// older half, so a long session stays flat while a test still sees every
// entry since it last cleared the log (none comes near the limit).
inline constexpr std::size_t kLogLimit = std::size_t(1) << 18;

template <class T>
void AppendToLog(std::vector<T>& log, T entry)
{
  if (log.size() >= kLogLimit)
    log.erase(log.begin(), log.begin() + std::ptrdiff_t(kLogLimit / 2));
  log.push_back(std::move(entry));
}

void LogCall(std::string name);
// The log name of a request-code call: the function, a colon and the four
// characters of the code ("ACAPI_Database:GDAT").
std::string RequestCallName(const char* function, Int32 code);
// What every ACAPI_ function does on entry: logs its name, then answers
// the failure a test queued for it (NoError when none).
[[nodiscard]] GSErrCode Enter(const std::string& name);
// Enter for a request-code call, under its RequestCallName.
[[nodiscard]] GSErrCode EnterRequest(const char* function, Int32 code);
const std::vector<std::string>& CallLog();
void ClearCallLog();

// Queues code as the answer of the next call named callName. Several
// failures for one name are answered in the order they were queued.
void FailOnce(std::string callName, GSErrCode code);
// The failure queued for callName, removed from the queue; NoError when
// none is queued.
[[nodiscard]] GSErrCode TakeFailure(const std::string& callName);
// Forgets the log and every queued failure.
void ResetCallLog();

// While one lives, calls are neither logged nor failed: the test fixture
// uses the interface itself to act as the user, and the user's calls are
// not the add-on's.
class CallLogPause {
public:
  CallLogPause();
  ~CallLogPause();
  CallLogPause(const CallLogPause&) = delete;
  CallLogPause& operator=(const CallLogPause&) = delete;
};

// While one lives, a pause is lifted: the add-on's handlers, called back
// in the middle of a user's action, are logged and failed as ever.
class CallLogResume {
public:
  CallLogResume();
  ~CallLogResume();
  CallLogResume(const CallLogResume&) = delete;
  CallLogResume& operator=(const CallLogResume&) = delete;

private:
  int saved_;
};

}  // namespace pln::host
