// User data and module data: round trips with their error codes.

#include "PlatformTestSupport.h"

#include "host_calllog.h"
#include "host_userdata.h"

#include <cstring>
#include <string>

namespace {

using HostUserDataTest = HostModelTest;

GSHandle HandleOf(const std::string& bytes)
{
  GSHandle handle = BMAllocateHandle(static_cast<GSSize>(bytes.size()), 0, 0);
  std::memcpy(*handle, bytes.data(), bytes.size());
  return handle;
}

// The handle's bytes; frees it.
std::string TakeBytes(GSHandle& handle)
{
  std::string bytes(*handle, static_cast<std::size_t>(BMGetHandleSize(handle)));
  BMKillHandle(&handle);
  return bytes;
}

GSErrCode SetUserData(API_Elem_Head& head, short version, const std::string& bytes)
{
  API_UserData data;
  data.dataVersion = version;
  data.platformSign = 0x5757;
  data.flags = 3;
  data.dataHdl = HandleOf(bytes);
  const GSErrCode err = ACAPI_Element_SetUserData(&head, &data);
  BMKillHandle(&data.dataHdl);  // the host keeps its own copy
  return err;
}

TEST_F(HostUserDataTest, UserDataRoundTripsExactlyAndSurvivesDeletion)
{
  API_Elem_Head head;
  head.guid = AddObject(0, 0);
  API_UserData read;
  EXPECT_EQ(ACAPI_Element_GetUserData(&head, &read), APIERR_NOUSERDATA);
  EXPECT_EQ(read.dataHdl, nullptr);

  const std::string bytes("\xBC\x02\x00\x00payload\x00", 12);
  ASSERT_EQ(SetUserData(head, 9, bytes), NoError);
  ASSERT_EQ(ACAPI_Element_GetUserData(&head, &read), NoError);
  EXPECT_EQ(read.dataVersion, 9);
  EXPECT_EQ(read.platformSign, 0x5757);
  EXPECT_EQ(read.flags, 3u);
  EXPECT_EQ(TakeBytes(read.dataHdl), bytes);

  // Deleted elements keep their record: it is handed out with
  // APIERR_DELETED but can no longer be changed.
  ASSERT_EQ(ACAPI_Element_Delete({head.guid}), NoError);
  ASSERT_EQ(ACAPI_Element_GetUserData(&head, &read), APIERR_DELETED);
  EXPECT_EQ(TakeBytes(read.dataHdl), bytes);
  EXPECT_EQ(SetUserData(head, 1, "x"), APIERR_DELETED);
  head.guid = ToAPIGuid(GS::Guid().Generate());
  EXPECT_EQ(ACAPI_Element_GetUserData(&head, &read), APIERR_BADID);
}

TEST_F(HostUserDataTest, DeletingUserDataLeavesNone)
{
  API_Elem_Head head;
  head.guid = AddObject(0, 0);
  ASSERT_EQ(SetUserData(head, 1, "abcd"), NoError);
  EXPECT_EQ(ACAPI_Element_DeleteUserData(&head), NoError);
  API_UserData read;
  EXPECT_EQ(ACAPI_Element_GetUserData(&head, &read), APIERR_NOUSERDATA);
  EXPECT_EQ(ACAPI_Element_DeleteUserData(&head), NoError);  // removing what is not there is no error
}

TEST_F(HostUserDataTest, ModuleDataRoundTripsByNameAndMissingNamesAnswerNoModuleData)
{
  const GS::UniString name(u"PLENIMETRA");
  API_ModulData info;
  EXPECT_EQ(ACAPI_ModulData_GetInfo(&info, name), APIERR_NOMODULEDATA);
  EXPECT_EQ(ACAPI_ModulData_Get(&info, name), APIERR_NOMODULEDATA);

  API_ModulData stored;
  stored.dataVersion = 1047;
  stored.platformSign = 0x5757;
  const std::string bytes("\x01\x00\xFFrecord", 9);
  stored.dataHdl = HandleOf(bytes);
  ASSERT_EQ(ACAPI_ModulData_Store(&stored, name), NoError);
  BMKillHandle(&stored.dataHdl);

  ASSERT_EQ(ACAPI_ModulData_GetInfo(&info, name), NoError);
  EXPECT_EQ(info.dataVersion, 1047);
  EXPECT_EQ(info.platformSign, 0x5757);
  EXPECT_EQ(info.dataHdl, nullptr);
  API_ModulData read;
  ASSERT_EQ(ACAPI_ModulData_Get(&read, name), NoError);
  EXPECT_EQ(TakeBytes(read.dataHdl), bytes);
  // Names are exact: another name is another record.
  EXPECT_EQ(ACAPI_ModulData_GetInfo(&info, GS::UniString(u"PLENIMETRA_HOTLINK")), APIERR_NOMODULEDATA);

  // A queued failure is answered once and stores nothing.
  const GS::UniString other(u"  1000-2");
  host.ClearCallLog();
  host.FailOnce("ACAPI_ModulData_Store", APIERR_MEMFULL);
  EXPECT_EQ(ACAPI_ModulData_Store(&stored, other), APIERR_MEMFULL);
  EXPECT_FALSE(host.ModulData(other).has_value());
  EXPECT_EQ(ACAPI_ModulData_Store(&stored, other), NoError);
  EXPECT_EQ(host.ModulData(other)->dataVersion, 1047);
  EXPECT_EQ(host.CallLog(), (std::vector<std::string>(2, "ACAPI_ModulData_Store")));
}

}  // namespace
