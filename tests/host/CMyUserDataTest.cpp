// The element tag: its stored record, the version check, reading back from
// live and deleted elements, and records too short to be a tag.

#include "CMyUserData.h"
#include "HostFixture.h"
#include "host_calllog.h"
#include "host_elements.h"
#include "host_errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

class CMyUserDataTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    API_Element element;
    element.header.typeID = API_ObjectID;
    element.header.layer = 1;
    element.object.libInd = 1;
    element.object.xRatio = 1.0;
    element.object.yRatio = 1.0;
    ASSERT_EQ(host.AddElement(element), NoError);
    head = element.header;
  }
  void TearDown() override { EXPECT_EQ(host.HandlesSinceReset(), 0); }

  const pln::host::StoredElement& Stored() const { return *host.Element(head.guid); }

  HostFixture host;
  API_Elem_Head head;
};

std::vector<char> BytesOf(Int32 value)
{
  std::vector<char> bytes(4);
  std::memcpy(bytes.data(), &value, 4);
  return bytes;
}

TEST_F(CMyUserDataTest, TheOutputTagIsStoredAsVersionSignAndFourBytes)
{
  CMyUserData tag(700, 1);
  ASSERT_EQ(tag.SetUserData(&head), NoError);
  const auto& record = Stored().userData;
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->dataVersion, 1);
  EXPECT_EQ(record->platformSign, 0x5757);
  EXPECT_EQ(record->flags, 0u);
  EXPECT_EQ(record->bytes, BytesOf(700));

  CMyUserData read;
  ASSERT_EQ(read.GetUserData(&head), NoError);
  EXPECT_EQ(read.GetValue(), 700);
  EXPECT_EQ(read.GetType(), CMyUserDataCore::TYPE(700));
  EXPECT_EQ(read.GetVersion(), 1);
}

TEST_F(CMyUserDataTest, OnlyVersionOneIsWritten)
{
  for (unsigned short version : {0, 2}) {
    CMyUserData tag(700, version);
    host.ClearCallLog();
    EXPECT_EQ(tag.SetUserData(&head), APIERR_BADPARS);
    EXPECT_TRUE(host.CallLog().empty());
    EXPECT_FALSE(Stored().userData.has_value());
  }
  CMyUserData constructed;  // value and version 0 until the caller sets them
  EXPECT_EQ(constructed.SetUserData(&head), APIERR_BADPARS);
}

TEST_F(CMyUserDataTest, HostFailuresArePassedOnAndTheHandleReleased)
{
  CMyUserData tag(700, 1);
  host.FailOnce("ACAPI_Element_SetUserData", APIERR_GENERAL);
  EXPECT_EQ(tag.SetUserData(&head), APIERR_GENERAL);
  pln::host::FailNextAllocation();
  EXPECT_EQ(tag.SetUserData(&head), APIERR_MEMFULL);
  EXPECT_FALSE(Stored().userData.has_value());

  // A locked layer refuses the write; the tag passes the refusal on.
  ASSERT_EQ(host.SetLayerFlags(1, APILay_Locked), NoError);
  EXPECT_EQ(tag.SetUserData(&head), APIERR_LOCKEDLAY);
}

TEST_F(CMyUserDataTest, AReadFailureLeavesValueAndVersionZero)
{
  CMyUserData tag(700, 1);
  EXPECT_EQ(tag.GetUserData(&head), APIERR_NOUSERDATA);
  EXPECT_EQ(tag.GetValue(), 0);
  EXPECT_EQ(tag.GetVersion(), 0);
}

TEST_F(CMyUserDataTest, ADeletedElementStillShowsItsTag)
{
  ASSERT_EQ(CMyUserData(700, 1).SetUserData(&head), NoError);
  ASSERT_EQ(ACAPI_Element_Delete({head.guid}), NoError);
  CMyUserData tag;
  EXPECT_EQ(tag.GetUserData(&head), APIERR_DELETED);
  EXPECT_EQ(tag.GetValue(), 700);
  EXPECT_EQ(tag.GetVersion(), 1);
}

TEST_F(CMyUserDataTest, ARecordShorterThanAValueIsNotATag)
{
  for (const std::vector<char>& bytes : {std::vector<char>{}, std::vector<char>{1, 2, 3}}) {
    ASSERT_EQ(host.SetUserData(head.guid, 1, 0x5757, bytes), NoError);
    CMyUserData tag(5, 1);
    EXPECT_EQ(tag.GetUserData(&head), APIERR_BADPARS);
    EXPECT_EQ(tag.GetValue(), 0);
    EXPECT_EQ(tag.GetVersion(), 0);
  }
  // A longer record (another add-on's) gives its first four bytes.
  ASSERT_EQ(host.SetUserData(head.guid, 9, 0x5757, {char(0xBC), 2, 0, 0, 'x', 'y'}), NoError);
  CMyUserData tag;
  EXPECT_EQ(tag.GetUserData(&head), NoError);
  EXPECT_EQ(tag.GetValue(), 700);
  EXPECT_EQ(tag.GetVersion(), 9);
}

}  // namespace
