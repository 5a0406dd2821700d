// User data and module data: round trips with their error codes.

#include "HostModelTestSupport.h"
#include "host_calllog.h"
#include "host_userdata.h"

#include <cstring>
#include <string>

namespace {

using HostUserDataTest = HostModelTest;

API_UserData MakeUserData(short version, const std::string& bytes)
{
  API_UserData data;
  data.dataVersion = version;
  data.platformSign = 0x5757;
  data.flags = 3;
  data.dataHdl = BMAllocateHandle(static_cast<GSSize>(bytes.size()), 0, 0);
  std::memcpy(*data.dataHdl, bytes.data(), bytes.size());
  return data;
}

std::string BytesOf(GSConstHandle handle) { return std::string(*handle, static_cast<std::size_t>(BMGetHandleSize(handle))); }

TEST_F(HostUserDataTest, AnElementWithoutUserDataAnswersNoUserData)
{
  API_Elem_Head head;
  head.guid = AddObject(0, 0);
  API_UserData data;
  EXPECT_EQ(ACAPI_Element_GetUserData(&head, &data), APIERR_NOUSERDATA);
  EXPECT_EQ(data.dataHdl, nullptr);

  head.guid = ToAPIGuid(GS::Guid().Generate());
  EXPECT_EQ(ACAPI_Element_GetUserData(&head, &data), APIERR_BADID);
}

TEST_F(HostUserDataTest, UserDataRoundTripsExactlyAndSurvivesDeletion)
{
  API_Elem_Head head;
  head.guid = AddObject(0, 0);
  const std::string bytes("\xBC\x02\x00\x00payload\x00", 12);
  API_UserData written = MakeUserData(9, bytes);
  ASSERT_EQ(ACAPI_Element_SetUserData(&head, &written), NoError);
  BMKillHandle(&written.dataHdl);  // the host kept its own copy

  API_UserData read;
  ASSERT_EQ(ACAPI_Element_GetUserData(&head, &read), NoError);
  EXPECT_EQ(read.dataVersion, 9);
  EXPECT_EQ(read.platformSign, 0x5757);
  EXPECT_EQ(read.flags, 3u);
  EXPECT_EQ(BytesOf(read.dataHdl), bytes);
  BMKillHandle(&read.dataHdl);

  // Deleted elements keep their record: it is handed out with APIERR_DELETED.
  ASSERT_EQ(ACAPI_Element_Delete({head.guid}), NoError);
  ASSERT_EQ(ACAPI_Element_GetUserData(&head, &read), APIERR_DELETED);
  EXPECT_EQ(BytesOf(read.dataHdl), bytes);
  BMKillHandle(&read.dataHdl);
  // ... but can no longer be changed.
  written = MakeUserData(1, "x");
  EXPECT_EQ(ACAPI_Element_SetUserData(&head, &written), APIERR_DELETED);
  BMKillHandle(&written.dataHdl);
}

TEST_F(HostUserDataTest, DeletingUserDataLeavesNone)
{
  API_Elem_Head head;
  head.guid = AddObject(0, 0);
  API_UserData written = MakeUserData(1, "abcd");
  ASSERT_EQ(ACAPI_Element_SetUserData(&head, &written), NoError);
  BMKillHandle(&written.dataHdl);
  EXPECT_EQ(ACAPI_Element_DeleteUserData(&head), NoError);
  API_UserData read;
  EXPECT_EQ(ACAPI_Element_GetUserData(&head, &read), APIERR_NOUSERDATA);
  // Removing what is not there is no error.
  EXPECT_EQ(ACAPI_Element_DeleteUserData(&head), NoError);
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
  stored.dataHdl = BMAllocateHandle(static_cast<GSSize>(bytes.size()), 0, 0);
  std::memcpy(*stored.dataHdl, bytes.data(), bytes.size());
  ASSERT_EQ(ACAPI_ModulData_Store(&stored, name), NoError);
  BMKillHandle(&stored.dataHdl);

  ASSERT_EQ(ACAPI_ModulData_GetInfo(&info, name), NoError);
  EXPECT_EQ(info.dataVersion, 1047);
  EXPECT_EQ(info.platformSign, 0x5757);
  EXPECT_EQ(info.dataHdl, nullptr);

  API_ModulData read;
  ASSERT_EQ(ACAPI_ModulData_Get(&read, name), NoError);
  EXPECT_EQ(BytesOf(read.dataHdl), bytes);
  BMKillHandle(&read.dataHdl);

  // Names are exact: another name is another record.
  EXPECT_EQ(ACAPI_ModulData_GetInfo(&info, GS::UniString(u"PLENIMETRA_HOTLINK")), APIERR_NOMODULEDATA);
}

TEST_F(HostUserDataTest, AQueuedFailureIsAnsweredOnceAndStoresNothing)
{
  const GS::UniString name(u"  1000-2");
  API_ModulData stored;
  stored.dataVersion = 1000;
  host.FailOnce("ACAPI_ModulData_Store", APIERR_MEMFULL);
  EXPECT_EQ(ACAPI_ModulData_Store(&stored, name), APIERR_MEMFULL);
  EXPECT_FALSE(host.ModulData(name).has_value());
  EXPECT_EQ(ACAPI_ModulData_Store(&stored, name), NoError);
  ASSERT_TRUE(host.ModulData(name).has_value());
  EXPECT_EQ(host.ModulData(name)->dataVersion, 1000);

  const std::vector<std::string> expected{"ACAPI_ModulData_Store", "ACAPI_ModulData_Store"};
  EXPECT_EQ(host.CallLog(), expected);
}

}  // namespace
