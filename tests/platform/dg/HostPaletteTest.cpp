// Modeless windows registered with the host: what the registration keeps,
// how the host's control messages reach the window, and failures.

#include "PlatformTestSupport.h"

#include "host_palette.h"

namespace {

struct Heard {
  Int32 referenceID;
  API_PaletteMessageID message;
  long long param;
  bool operator==(const Heard&) const = default;
};

class HostPaletteTest : public HostTest {
protected:
  void SetUp() override { heard.clear(); }

  static GSErrCode Listener(Int32 referenceID, API_PaletteMessageID message, long long param)
  {
    heard.push_back({referenceID, message, param});
    return static_cast<GSErrCode>(message) * 10;
  }
  // Unregisters itself when the host closes it, as a palette does.
  static GSErrCode SelfRemoving(Int32 referenceID, API_PaletteMessageID message, long long)
  {
    return message == APIPalMsg_ClosePalette ? ACAPI_UnregisterModelessWindow(referenceID) : NoError;
  }

  static inline std::vector<Heard> heard;
};

TEST_F(HostPaletteTest, RegistrationKeepsTheWindowsCallbackFlagsAndGuidUntilUnregistered)
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
  EXPECT_EQ(heard, (std::vector<Heard>{{12, APIPalMsg_HidePalette_Begin, 99}}));
  // Registering again replaces the entry.
  ASSERT_EQ(ACAPI_RegisterModelessWindow(12, Listener, 1, APINULLGuid), NoError);
  EXPECT_EQ(pln::host::ModelessWindowRegistration(12)->flags, 1);

  heard.clear();
  EXPECT_EQ(ACAPI_UnregisterModelessWindow(12), NoError);
  EXPECT_EQ(ACAPI_UnregisterModelessWindow(12), APIERR_BADID);
  EXPECT_EQ(pln::host::SendPaletteMessage(12, APIPalMsg_ClosePalette), APIERR_BADID);
  EXPECT_TRUE(heard.empty());

  // A window may unregister while it answers.
  ASSERT_EQ(ACAPI_RegisterModelessWindow(4, SelfRemoving, 1, APINULLGuid), NoError);
  EXPECT_EQ(pln::host::SendPaletteMessage(4, APIPalMsg_ClosePalette), NoError);
  EXPECT_FALSE(pln::host::ModelessWindowRegistration(4).has_value());
}

TEST_F(HostPaletteTest, FailuresAndMissingCallbackRegisterNothingAndAResetForgetsTheRest)
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
