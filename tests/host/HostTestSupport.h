#pragma once
// Shared pieces of the host-layer tests: a fresh stand-in host per test that
// must end with no handle left behind and no misuse of the dialog manager,
// small builders of project content, UTF-16 names in the form CGSUtil takes
// them, and the recorder and message table the dialog and palette tests
// share.

#include "../LiveHandleCheck.h"
#include "HostFixture.h"
#include "host_attributes.h"
#include "host_elements.h"
#include "host_errors.h"
#include "host_memory.h"
#include "host_userdata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class HostTest : public testing::Test {
protected:
  void TearDown() override
  {
    EXPECT_TRUE(host.DialogMisuses().empty()) << host.DialogMisuses().front();
    EXPECT_EQ(host.HandlesSinceReset(), 0);
  }

  // Calls of this name in the log since the last ClearCallLog.
  std::ptrdiff_t Calls(const std::string& name) const
  {
    const auto& log = host.CallLog();
    return std::count(log.begin(), log.end(), name);
  }

  static UInt32 LayerFlags(short layer)
  {
    API_Attribute attribute;
    attribute.header = {.typeID = API_LayerID, .index = layer};
    EXPECT_EQ(ACAPI_Attribute_Get(&attribute), NoError);
    return attribute.header.flags;
  }

  // A line from the origin to (1, 0), tagged with the value unless it is 0.
  API_Guid AddLine(short layer = 1, short story = 0, Int32 tagValue = 0)
  {
    API_Element line;
    line.header.typeID = API_LineID;
    line.header.layer = layer;
    line.header.floorInd = story;
    line.line.endC = API_Coord{1.0, 0.0};
    EXPECT_EQ(host.AddElement(line), NoError);
    if (tagValue != 0)
      Tag(line.header.guid, tagValue);
    return line.header.guid;
  }
  // The record the add-on's element tag stores: version 1, its sign, the value.
  void Tag(const API_Guid& guid, Int32 value)
  {
    EXPECT_EQ(host.SetUserData(guid, 1, 0x5757, BytesOf(value)), NoError);
  }

  API_Elem_Head AddObject(short layer, Int32 libInd = 1)
  {
    API_Element object;
    object.header.typeID = API_ObjectID;
    object.header.layer = layer;
    object.object.libInd = libInd;
    object.object.xRatio = 1.0;
    object.object.yRatio = 1.0;
    EXPECT_EQ(host.AddElement(object), NoError);
    return object.header;
  }

  static std::vector<char> BytesOf(Int32 value)
  {
    std::vector<char> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
  }

  // Stores raw bytes as a module-data record, as another build of the
  // add-on might have.
  static void StoreModulData(const char* name, const std::vector<char>& bytes, Int32 version = 1000)
  {
    API_ModulData data;
    data.dataVersion = version;
    data.platformSign = 0x5757;
    data.dataHdl = BMAllocateHandle(GSSize(bytes.size()), 0, 0);
    if (!bytes.empty())
      std::memcpy(*data.dataHdl, bytes.data(), bytes.size());
    EXPECT_EQ(ACAPI_ModulData_Store(&data, GS::UniString(name)), NoError);
    BMKillHandle(&data.dataHdl);
  }

  HostFixture host;
};

// A NUL-terminated copy of a UTF-16 literal as unsigned shorts.
class UName {
public:
  explicit UName(const char16_t* text)
  {
    for (const char16_t* p = text; *p != 0; ++p)
      units_.push_back(static_cast<unsigned short>(*p));
    units_.push_back(0);
  }
  operator const unsigned short*() const { return units_.data(); }

private:
  std::vector<unsigned short> units_;
};

// What reached a test window, one line per operation.
using CallList = std::vector<std::string>;

inline std::string Line(const char* op, long long a) { return std::string(op) + " " + std::to_string(a); }
inline std::string Line(const char* op, long long a, long long b) { return Line(op, a) + " " + std::to_string(b); }
inline std::string Line(const char* op, long long a, long long b, long long c)
{
  return Line(op, a, b) + " " + std::to_string(c);
}

// The records the test windows' operations receive.
using DragArg = DG::DragDropEventArg;
using HeaderArg = DG::ListBoxHeaderEventArg;
using PaintArg = DG::PanelBackgroundPaintEventArg;
using SplitterArg = DG::SplitterDragEventArg;
using TopStatusArg = DG::PanelTopStatusChangeEventArg;

// Base of the test windows: notes each operation reached and, for the
// messages that carry a record, the record it got.
struct Recorder {
  template <typename T = short>
  T Note(std::string line, T answer = T{})
  {
    calls.push_back(std::move(line));
    return answer;
  }
  template <typename T = short>
  T Record(const char* op, const void* arg, T answer = T{})
  {
    record = arg;
    return Note(op, answer);
  }

  CallList calls;
  const void* record = nullptr;
};

// One message sent to a test window: the operations it must reach, the
// answer that goes back and, for a message carrying a record, the record
// (sent as the message data instead of 77) that must arrive unchanged.
struct MessageCase {
  short message;
  short item;
  CallList calls;
  short answer;
  const void* record = nullptr;
};

inline void ExpectDispatch(pln::host::DialogUser& user, Recorder& window, const std::vector<MessageCase>& cases)
{
  for (const MessageCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "message " << c.message);
    window.calls.clear();
    window.record = nullptr;
    const DGMessageData data = c.record ? static_cast<DGMessageData>(reinterpret_cast<std::intptr_t>(c.record)) : 77;
    EXPECT_EQ(user.Send(c.message, c.item, data), c.answer);
    EXPECT_EQ(window.calls, c.calls);
    EXPECT_EQ(window.record, c.record);
  }
}
