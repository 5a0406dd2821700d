// The owners of host resources: each gives back what it holds when it
// goes, and a handle handed over is no longer its own.

#include "HostHandles.h"
#include "HostTestSupport.h"

namespace {

using namespace pln::gsutil;

class HostHandlesTest : public HostTest {};

TEST_F(HostHandlesTest, EachOwnerGivesBackWhatItHoldsWhenItGoes)
{
  {
    HandleHolder<Int32> numbers(NewEntries<Int32>(3));
    ASSERT_NE(numbers.handle, nullptr);
    MemoGuard memo;
    memo.memo.coords = NewEntries<API_Coord>(4);
    memo.memo.pends = NewEntries<Int32>(2);
    ParamsGuard params;
    params.params = NewEntries<API_AddParType>(1);
    EXPECT_EQ(host.HandlesSinceReset(), 4);
  }
  EXPECT_EQ(host.HandlesSinceReset(), 0);
}

TEST_F(HostHandlesTest, AHandleHandedOverStaysWithItsNewOwner)
{
  Int32** kept = nullptr;
  {
    HandleHolder<Int32> holder(NewEntries<Int32>(2));
    kept = holder.Release();
    EXPECT_EQ(holder.handle, nullptr);
  }
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(EntriesIn(kept), 2u);
  HandleHolder<Int32> owner(kept);
}

// The host holds one open list. Whatever path the owner leaves by, its list
// is closed; a close the host refuses is answered once and asked again, at
// once and, should that fail too, before the next list opens.
TEST_F(HostHandlesTest, AnOpenedListIsClosedOnEveryPathAndARefusedCloseBlocksNothingLater)
{
  host.LoadAddOnLibraryParts();
  API_ParamOwnerType owner;
  owner.libInd = 1;
  owner.typeID = API_ObjectID;
  {
    ParamsEditing early;
    ASSERT_EQ(early.Open(owner), NoError);
    EXPECT_TRUE(pln::host::ParametersOpen());
  }
  EXPECT_FALSE(pln::host::ParametersOpen());

  host.ClearCallLog();
  {
    API_ParamOwnerType missing = owner;
    missing.libInd = 999;
    ParamsEditing refused;
    EXPECT_NE(refused.Open(missing), NoError);
    EXPECT_EQ(refused.Close(), NoError);
  }
  EXPECT_EQ(Calls("ACAPI_Goodies:CPAR"), 0);  // nothing opened, nothing to close

  {
    ParamsEditing once;
    ASSERT_EQ(once.Open(owner), NoError);
    host.FailOnce("ACAPI_Goodies:CPAR", APIERR_GENERAL);
    EXPECT_EQ(once.Close(), APIERR_GENERAL);
    EXPECT_EQ(once.Close(), NoError);
  }
  EXPECT_FALSE(pln::host::ParametersOpen());

  {
    ParamsEditing twice;
    ASSERT_EQ(twice.Open(owner), NoError);
    host.FailOnce("ACAPI_Goodies:CPAR", APIERR_GENERAL);
    host.FailOnce("ACAPI_Goodies:CPAR", APIERR_MEMFULL);
    EXPECT_EQ(twice.Close(), APIERR_GENERAL);
  }
  EXPECT_TRUE(pln::host::ParametersOpen());
  ParamsEditing next;
  EXPECT_EQ(next.Open(owner), NoError);
  EXPECT_EQ(next.Close(), NoError);
  EXPECT_FALSE(pln::host::ParametersOpen());
}

}  // namespace
