// The element tag: its stored record, the version check, reading back from
// live and deleted elements, and records too short to be a tag.

#include "CMyUserData.h"
#include "HostTestSupport.h"

namespace {

class CMyUserDataTest : public HostTest {
protected:
  const pln::host::StoredElement& Stored() const { return *host.Element(head.guid); }

  API_Elem_Head head = AddObject(1);
};

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

  // Deleted, the element still shows its tag.
  ASSERT_EQ(ACAPI_Element_Delete({head.guid}), NoError);
  CMyUserData deleted;
  EXPECT_EQ(deleted.GetUserData(&head), APIERR_DELETED);
  EXPECT_EQ(deleted.GetValue(), 700);
  EXPECT_EQ(deleted.GetVersion(), 1);
}

TEST_F(CMyUserDataTest, OnlyVersionOneIsWrittenAndHostFailuresArePassedOn)
{
  for (unsigned short version : {0, 2}) {
    CMyUserData tag(700, version);
    host.ClearCallLog();
    EXPECT_EQ(tag.SetUserData(&head), APIERR_BADPARS);
    EXPECT_TRUE(host.CallLog().empty());
  }
  CMyUserData constructed;  // value and version 0 until the caller sets them
  EXPECT_EQ(constructed.SetUserData(&head), APIERR_BADPARS);

  CMyUserData tag(700, 1);
  host.FailOnce("ACAPI_Element_SetUserData", APIERR_GENERAL);
  EXPECT_EQ(tag.SetUserData(&head), APIERR_GENERAL);
  pln::host::FailNextAllocation();
  EXPECT_EQ(tag.SetUserData(&head), APIERR_MEMFULL);
  ASSERT_EQ(host.SetLayerFlags(1, APILay_Locked), NoError);
  EXPECT_EQ(tag.SetUserData(&head), APIERR_LOCKEDLAY);
  EXPECT_FALSE(Stored().userData.has_value());
}

TEST_F(CMyUserDataTest, AMissingOrTooShortRecordIsNoTagButALongerOneGivesItsFirstFourBytes)
{
  CMyUserData missing(700, 1);
  EXPECT_EQ(missing.GetUserData(&head), APIERR_NOUSERDATA);
  EXPECT_EQ(missing.GetValue(), 0);
  EXPECT_EQ(missing.GetVersion(), 0);
  for (const std::vector<char>& bytes : {std::vector<char>{}, std::vector<char>{1, 2, 3}}) {
    ASSERT_EQ(host.SetUserData(head.guid, 1, 0x5757, bytes), NoError);
    CMyUserData tag(5, 1);
    EXPECT_EQ(tag.GetUserData(&head), APIERR_BADPARS);
    EXPECT_EQ(tag.GetValue(), 0);
    EXPECT_EQ(tag.GetVersion(), 0);
  }
  // Another add-on's longer record.
  ASSERT_EQ(host.SetUserData(head.guid, 9, 0x5757, {char(0xBC), 2, 0, 0, 'x', 'y'}), NoError);
  CMyUserData tag;
  EXPECT_EQ(tag.GetUserData(&head), NoError);
  EXPECT_EQ(tag.GetValue(), 700);
  EXPECT_EQ(tag.GetVersion(), 9);
}

}  // namespace
