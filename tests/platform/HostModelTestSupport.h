#pragma once
// Shared pieces of the host-model tests: a fixture that also records every
// notification the host delivers, and quick element builders.

#include "HostFixture.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_notify.h"

#include <gtest/gtest.h>

#include <vector>

class HostModelTest : public testing::Test {
protected:
  void SetUp() override
  {
    Notifications().clear();
    Selections().clear();
    Events().clear();
  }
  void TearDown() override { EXPECT_EQ(host.HandlesSinceReset(), 0); }

  static std::vector<API_NotifyElementType>& Notifications()
  {
    static std::vector<API_NotifyElementType> list;
    return list;
  }
  static std::vector<std::vector<API_Guid>>& Selections()
  {
    static std::vector<std::vector<API_Guid>> list;
    return list;
  }
  static std::vector<API_NotifyEventID>& Events()
  {
    static std::vector<API_NotifyEventID> list;
    return list;
  }

  static GSErrCode RecordElementEvent(const API_NotifyElementType* notification)
  {
    Notifications().push_back(*notification);
    return NoError;
  }
  static GSErrCode RecordProjectEvent(API_NotifyEventID event, Int32)
  {
    Events().push_back(event);
    return NoError;
  }

  // Installs the element recorder the way the add-on installs its handler:
  // for new elements of every type and as the element observer.
  static void InstallElementRecorder()
  {
    ACAPI_Notify_CatchNewElement(nullptr, RecordElementEvent);
    ACAPI_Notify_InstallElementObserver(RecordElementEvent);
  }

  static std::vector<Int32> NotifiedIds()
  {
    std::vector<Int32> ids;
    for (const API_NotifyElementType& notification : Notifications())
      ids.push_back(notification.notifID);
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

  HostFixture host;
};
