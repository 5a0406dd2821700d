#include "host_progress.h"

#include "host_errors.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace pln::host {
namespace {

struct ProgressModel {
  ProgressState window;
  // 'CANC' questions still answered "not cancelled" before the queued
  // cancel takes effect; empty when no cancel is queued.
  std::optional<Int32> cancelAfter;
};

ProgressModel& Model()
{
  static ProgressModel model;
  return model;
}

Int32 Clamped(Int32 position)
{
  const ProgressState& window = Model().window;
  return std::clamp(position, 0, std::max(window.maximum, 0));
}

}  // namespace

const ProgressState& Progress() { return Model().window; }

void QueueProgressCancel(Int32 queriesBefore) { Model().cancelAfter = std::max(queriesBefore, 0); }

}  // namespace pln::host

namespace pln::host::internal {

GSErrCode OpenProgress(const GS::UniString* title, Int32* phaseCount)
{
  ProgressState& window = Model().window;
  if (window.open)
    return APIERR_NESTING;
  const Int32 openCount = window.openCount + 1;
  window = {};
  window.open = true;
  window.openCount = openCount;
  window.title = title != nullptr ? *title : GS::UniString();
  // A window has at least one phase; the caller learns the count it got.
  window.phaseCount = phaseCount != nullptr ? std::max(*phaseCount, 1) : 1;
  if (phaseCount != nullptr)
    *phaseCount = window.phaseCount;
  return NoError;
}

GSErrCode StartPhase(const GS::UniString* text, Int32* maximum)
{
  ProgressState& window = Model().window;
  if (!window.open)
    return NoError;
  window.phase += 1;
  window.text = text != nullptr ? *text : GS::UniString();
  window.maximum = maximum != nullptr ? std::max(*maximum, 0) : 0;
  window.position = 0;
  return NoError;
}

GSErrCode AdvanceProgress(const Int32* increment)
{
  ProgressState& window = Model().window;
  if (!window.open)
    return NoError;
  const Int64 next = static_cast<Int64>(window.position) + (increment != nullptr ? *increment : 1);
  window.position = Clamped(static_cast<Int32>(std::clamp<Int64>(next, 0, INT32_MAX)));
  return NoError;
}

GSErrCode SetProgress(Int32* position)
{
  ProgressState& window = Model().window;
  if (!window.open || position == nullptr)
    return NoError;
  window.position = Clamped(*position);
  *position = window.position;
  return NoError;
}

GSErrCode AskCancel()
{
  ProgressModel& model = Model();
  if (!model.window.open)
    return NoError;
  if (!model.window.cancelled && model.cancelAfter) {
    if (*model.cancelAfter == 0) {
      model.window.cancelled = true;
      model.cancelAfter.reset();
    } else {
      *model.cancelAfter -= 1;
    }
  }
  return model.window.cancelled ? APIERR_CANCEL : NoError;
}

GSErrCode CloseProgress()
{
  ProgressState& window = Model().window;
  window.open = false;
  window.cancelled = false;
  return NoError;
}

void ResetProgress() { Model() = {}; }

}  // namespace pln::host::internal
