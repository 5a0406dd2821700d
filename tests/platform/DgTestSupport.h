#pragma once
// Shared pieces of the dialog-manager tests: a callback that records every
// message it gets and answers as the test tells it, and a fixture that
// insists the add-on side made no misuse.

#include "HostFixture.h"
#include "dg_manager.h"
#include "dg_user.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

struct DgMessage {
  short message = 0;
  short dialId = 0;
  short item = 0;
  DGMessageData data = 0;
  bool operator==(const DgMessage&) const = default;
};

// The window's user data points to the recorder.
class DgRecorder {
public:
  std::vector<DgMessage> messages;
  // What the callback answers; 0 when unset.
  std::function<short(const DgMessage&)> answer;

  DGUserData UserData() { return static_cast<DGUserData>(reinterpret_cast<std::intptr_t>(this)); }

  static short Callback(short message, short dialId, short item, DGUserData userData, DGMessageData msgData)
  {
    auto* self = reinterpret_cast<DgRecorder*>(static_cast<std::intptr_t>(userData));
    const DgMessage received{message, dialId, item, msgData};
    self->messages.push_back(received);
    return self->answer ? self->answer(received) : 0;
  }

  std::vector<short> Numbers() const
  {
    std::vector<short> numbers;
    for (const DgMessage& m : messages)
      numbers.push_back(m.message);
    return numbers;
  }
};

template <typename T>
const T* Record(DGMessageData data)
{
  return reinterpret_cast<const T*>(static_cast<std::intptr_t>(data));
}

class DgTest : public testing::Test {
protected:
  void TearDown() override
  {
    if (expectNoMisuse)
      EXPECT_TRUE(pln::host::DialogMisuses().empty()) << pln::host::DialogMisuses().front();
  }

  short OpenModeless(short resId) { return DGModelessInit(1, resId, 1, DgRecorder::Callback, recorder.UserData(), 1); }

  HostFixture host;
  DgRecorder recorder;
  bool expectNoMisuse = true;
};
