#include "host_calllog.h"

#include <deque>
#include <map>
#include <utility>

namespace pln::host {
namespace {

std::vector<std::string>& Log()
{
  static std::vector<std::string> log;
  return log;
}

std::map<std::string, std::deque<GSErrCode>>& Failures()
{
  static std::map<std::string, std::deque<GSErrCode>> failures;
  return failures;
}

int& PauseDepth()
{
  static int depth = 0;
  return depth;
}

}  // namespace

CallLogPause::CallLogPause() { ++PauseDepth(); }
CallLogPause::~CallLogPause() { --PauseDepth(); }

CallLogResume::CallLogResume() : saved_(PauseDepth()) { PauseDepth() = 0; }
CallLogResume::~CallLogResume() { PauseDepth() = saved_; }

void LogCall(std::string name)
{
  if (PauseDepth() == 0)
    AppendToLog(Log(), std::move(name));
}

std::string RequestCallName(const char* function, Int32 code)
{
  std::string name(function);
  name += ':';
  for (int shift = 24; shift >= 0; shift -= 8)
    name += static_cast<char>((static_cast<UInt32>(code) >> shift) & 0xFF);
  return name;
}

GSErrCode Enter(const std::string& name)
{
  LogCall(name);
  return TakeFailure(name);
}

GSErrCode EnterRequest(const char* function, Int32 code) { return Enter(RequestCallName(function, code)); }

const std::vector<std::string>& CallLog() { return Log(); }

void ClearCallLog() { Log().clear(); }

void FailOnce(std::string callName, GSErrCode code) { Failures()[std::move(callName)].push_back(code); }

GSErrCode TakeFailure(const std::string& callName)
{
  if (PauseDepth() != 0)
    return NoError;
  auto found = Failures().find(callName);
  if (found == Failures().end())
    return NoError;
  GSErrCode code = found->second.front();
  found->second.pop_front();
  if (found->second.empty())
    Failures().erase(found);
  return code;
}

void ResetCallLog()
{
  Log().clear();
  Failures().clear();
}

}  // namespace pln::host
