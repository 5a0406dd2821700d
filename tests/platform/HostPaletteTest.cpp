// Modeless windows registered with the host: what the registration keeps,
// how the host's control messages reach the window, and failures.

#include "HostFixture.h"
#include "host_errors.h"
#include "host_palette.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Heard {
  Int32 referenceID;
  API_PaletteMessageID message;
  long long param;
};

std::vector<Heard>& HeardMessages()
{
  static std::vector<Heard> heard;
  return heard;
}

GSErrCode Listener(Int32 referenceID, API_PaletteMessageID message, long long param)
{
  HeardMessages().push_back({referenceID, message, param});
  return static_cast<GSErrCode>(message) * 10;
}

// Unregisters itself when the host closes it, as a palette does.
GSErrCode SelfRemoving(Int32 referenceID, API_PaletteMessageID message, long long /*param*/)
{
  if (message == APIPalMsg_ClosePalette)
    return ACAPI_UnregisterModelessWindow(referenceID);
  return NoError;
}

class HostPaletteTest : public testing::Test {
protected:
  HostPaletteTest() { HeardMessages().clear(); }
  HostFixture host;
};

TEST_F(HostPaletteTest, RegistrationKeepsTheWindowsCallbackFlagsAndGuid)
{
  API_Guid guid;
  guid.bytes[0] = 7;
  ASSERT_EQ(ACAPI_RegisterModelessWindow(12, Listener, 5, guid), NoError);
  const auto window = pln::host::ModelessWindowRegistration(12);
  ASSERT_TRUE(window.has_value());
  EXPECT_EQ(window->flags, 5);
  EXPECT_EQ(window->guid, guid);
  EXPECT_FALSE(pln::host::ModelessWindowRegistration(13).has_value());

  EXPECT_EQ(pln::host::SendPaletteMessage(12, APIPalMsg_HidePalette_Begin, 99), 20);
  ASSERT_EQ(HeardMessages().size(), 1u);
  EXPECT_EQ(HeardMessages()[0].referenceID, 12);
  EXPECT_EQ(HeardMessages()[0].message, APIPalMsg_HidePalette_Begin);
  EXPECT_EQ(HeardMessages()[0].param, 99);

  // Registering again replaces the entry.
  ASSERT_EQ(ACAPI_RegisterModelessWindow(12, Listener, 1, APINULLGuid), NoError);
  EXPECT_EQ(pln::host::ModelessWindowRegistration(12)->flags, 1);
}

TEST_F(HostPaletteTest, UnregisteredWindowsHearNothing)
{
  EXPECT_EQ(pln::host::SendPaletteMessage(3, APIPalMsg_ClosePalette), APIERR_BADID);
  EXPECT_EQ(ACAPI_UnregisterModelessWindow(3), APIERR_BADID);
  ASSERT_EQ(ACAPI_RegisterModelessWindow(3, Listener, 1, APINULLGuid), NoError);
  EXPECT_EQ(ACAPI_UnregisterModelessWindow(3), NoError);
  EXPECT_EQ(pln::host::SendPaletteMessage(3, APIPalMsg_ClosePalette), APIERR_BADID);
  EXPECT_TRUE(HeardMessages().empty());
}

TEST_F(HostPaletteTest, WindowMayUnregisterWhileItAnswers)
{
  ASSERT_EQ(ACAPI_RegisterModelessWindow(4, SelfRemoving, 1, APINULLGuid), NoError);
  EXPECT_EQ(pln::host::SendPaletteMessage(4, APIPalMsg_ClosePalette), NoError);
  EXPECT_FALSE(pln::host::ModelessWindowRegistration(4).has_value());
}

TEST_F(HostPaletteTest, FailuresAndMissingCallbackRegisterNothing)
{
  EXPECT_EQ(ACAPI_RegisterModelessWindow(5, nullptr, 1, APINULLGuid), APIERR_BADPARS);
  host.FailOnce("ACAPI_RegisterModelessWindow", APIERR_GENERAL);
  EXPECT_EQ(ACAPI_RegisterModelessWindow(5, Listener, 1, APINULLGuid), APIERR_GENERAL);
  EXPECT_FALSE(pln::host::ModelessWindowRegistration(5).has_value());
  EXPECT_EQ(host.CallLog().back(), "ACAPI_RegisterModelessWindow");

  ASSERT_EQ(ACAPI_RegisterModelessWindow(5, Listener, 1, APINULLGuid), NoError);
  host.Reset();
  EXPECT_FALSE(pln::host::ModelessWindowRegistration(5).has_value());
}

}  // namespace
