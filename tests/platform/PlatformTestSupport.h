#pragma once
// Shared pieces of the stand-in's tests: a fixture that resets the host and
// insists every handle taken was given back, one that also records the
// notifications the host delivers, and a dialog callback that records every
// message and answers as the test tells it.

#include "../LiveHandleCheck.h"
#include "HostFixture.h"
#include "dg_manager.h"
#include "dg_user.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_memory.h"
#include "host_notify.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

class HostTest : public testing::Test {
protected:
  void TearDown() override { EXPECT_EQ(host.HandlesSinceReset(), 0); }
  HostFixture host;
};

template <typename T>
void Kill(T**& handle)
{
  BMKillHandle(reinterpret_cast<GSHandle*>(&handle));
}

class HostModelTest : public HostTest {
protected:
  void SetUp() override
  {
    notifications.clear();
    selections.clear();
    events.clear();
  }

  static inline std::vector<API_NotifyElementType> notifications;
  static inline std::vector<std::vector<API_Guid>> selections;
  static inline std::vector<API_NotifyEventID> events;

  static GSErrCode RecordElementEvent(const API_NotifyElementType* notification)
  {
    notifications.push_back(*notification);
    return NoError;
  }
  static GSErrCode RecordProjectEvent(API_NotifyEventID event, Int32)
  {
    events.push_back(event);
    return NoError;
  }

  // Installs the element recorder the way the add-on installs its handler:
  // for new elements of every type and as the element observer.
  static void InstallElementRecorder()
  {
    ACAPI_Notify_CatchNewElement(nullptr, RecordElementEvent);
    ACAPI_Notify_InstallElementObserver(RecordElementEvent);
  }

  // The ids of the notifications so far, which are then forgotten.
  static std::vector<Int32> TakeNotifiedIds()
  {
    std::vector<Int32> ids;
    for (const API_NotifyElementType& notification : notifications)
      ids.push_back(notification.notifID);
    notifications.clear();
    return ids;
  }

  // A 1 x 2 m object of library part 1 at (x, y) on story 0 and layer 1.
  API_Guid AddObject(double x, double y, short layer = 1)
  {
    API_Element element;
    element.header.typeID = API_ObjectID;
    element.header.layer = layer;
    element.object.libInd = 1;
    element.object.pos = API_Coord{x, y};
    element.object.xRatio = 1.0;
    element.object.yRatio = 2.0;
    EXPECT_EQ(host.AddElement(element), NoError);
    return element.header.guid;
  }

  static GSErrCode Read(const API_Guid& guid, API_Element* element = nullptr)
  {
    API_Element local;
    API_Element& target = element != nullptr ? *element : local;
    target.header.guid = guid;
    return ACAPI_Element_Get(&target);
  }
};

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
T* Record(DGMessageData data)
{
  return reinterpret_cast<T*>(static_cast<std::intptr_t>(data));
}

// Answers a click with the item clicked, which closes the window.
inline short CloseOnClick(const DgMessage& m) { return m.message == DG_MSG_CLICK ? m.item : short(0); }

class DgTest : public HostTest {
protected:
  void TearDown() override
  {
    HostTest::TearDown();
    if (expectNoMisuse) {
      EXPECT_TRUE(pln::host::DialogMisuses().empty()) << pln::host::DialogMisuses().front();
    }
  }
  // Checks the misuses recorded so far and forgets the rest of the check.
  void ExpectMisuses(std::size_t count)
  {
    expectNoMisuse = false;
    EXPECT_EQ(pln::host::DialogMisuses().size(), count);
  }

  short OpenModeless(short resId) { return DGModelessInit(1, resId, 1, DgRecorder::Callback, recorder.UserData(), 1); }

  DgRecorder recorder;
  bool expectNoMisuse = true;
};
