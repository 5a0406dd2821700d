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

}  // namespace
