#include "host_foundation.h"
#include "host_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class HostMemoryTest : public testing::Test {
protected:
  void SetUp() override
  {
    pln::host::ResetFoundation();
    liveAtStart_ = pln::host::LiveHandleCount();
  }
  void TearDown() override
  {
    EXPECT_EQ(pln::host::LiveHandleCount(), liveAtStart_);
    pln::host::ResetFoundation();
  }

  std::size_t liveAtStart_ = 0;
};

TEST_F(HostMemoryTest, AllocateReallocKeepTheContentAndKillNullsTheHandle)
{
  GSHandle handle = BMAllocateHandle(4, ALLOCATE_CLEAR, 0);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(pln::host::LiveHandleCount(), liveAtStart_ + 1);
  EXPECT_EQ(BMGetHandleSize(handle), 4);
  EXPECT_EQ(std::string(*handle, 4), std::string(4, '\0'));
  std::memcpy(*handle, "abcd", 4);

  // Growing keeps the handle itself and the content; cleared growth is zero.
  EXPECT_EQ(BMReallocHandle(handle, 1000, ALLOCATE_CLEAR, 0), handle);
  EXPECT_EQ(BMGetHandleSize(handle), 1000);
  EXPECT_EQ(std::string(*handle, 4), "abcd");
  EXPECT_EQ((*handle)[999], '\0');

  EXPECT_EQ(BMReallocHandle(handle, 2, 0, 0), handle);
  EXPECT_EQ(BMGetHandleSize(handle), 2);
  EXPECT_EQ(std::string(*handle, 2), "ab");

  BMKillHandle(&handle);
  EXPECT_EQ(handle, nullptr);
  BMKillHandle(&handle);  // killing a null handle is harmless
  BMKillHandle(nullptr);
}

TEST_F(HostMemoryTest, UnclearedGrowthIsNotSilentlyZero)
{
  GSHandle handle = BMAllocateHandle(2, 0, 0);
  ASSERT_NE(handle, nullptr);
  EXPECT_NE((*handle)[0], '\0');
  BMKillHandle(&handle);
}

TEST_F(HostMemoryTest, ZeroSizedHandleIsValid)
{
  GSHandle handle = BMAllocateHandle(0, 0, 0);
  ASSERT_NE(handle, nullptr);
  EXPECT_NE(*handle, nullptr);
  EXPECT_EQ(BMGetHandleSize(handle), 0);
  EXPECT_EQ(BMReallocHandle(handle, 3, ALLOCATE_CLEAR, 0), handle);
  EXPECT_EQ(std::string(*handle, 3), std::string(3, '\0'));
  BMKillHandle(&handle);
}

TEST_F(HostMemoryTest, ForcedFailureAnswersNullOnceAndKeepsTheOldBlock)
{
  pln::host::FailNextAllocation();
  EXPECT_EQ(BMAllocateHandle(8, 0, 0), nullptr);
  GSHandle handle = BMAllocateHandle(8, ALLOCATE_CLEAR, 0);  // the failure is spent
  ASSERT_NE(handle, nullptr);
  std::memcpy(*handle, "12345678", 8);

  pln::host::FailNextAllocation();
  EXPECT_EQ(BMReallocHandle(handle, 64, 0, 0), nullptr);
  EXPECT_EQ(BMGetHandleSize(handle), 8);
  EXPECT_EQ(std::string(*handle, 8), "12345678");

  pln::host::FailNextAllocation();
  pln::host::ResetFoundation();  // a pending failure does not outlive a reset
  EXPECT_EQ(BMReallocHandle(handle, 16, 0, 0), handle);
  BMKillHandle(&handle);
}

TEST_F(HostMemoryTest, BadSizesAndUnknownHandlesAreRefused)
{
  EXPECT_EQ(BMAllocateHandle(-1, 0, 0), nullptr);
  EXPECT_EQ(BMAllocateHandle(pln::host::MaxHandleSize + 1, 0, 0), nullptr);
  GSHandle handle = BMAllocateHandle(1, 0, 0);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(BMReallocHandle(handle, -5, 0, 0), nullptr);
  EXPECT_EQ(BMGetHandleSize(handle), 1);
  char* stray = nullptr;
  EXPECT_EQ(BMReallocHandle(&stray, 4, 0, 0), nullptr);
  EXPECT_EQ(BMGetHandleSize(&stray), 0);
  EXPECT_EQ(BMGetHandleSize(nullptr), 0);
  BMKillHandle(&handle);
}

TEST_F(HostMemoryTest, MoveHandlesOverlapAndFillCoversExactlyN)
{
  char text[] = "abcdefgh";
  BNMoveMemory(text + 2, text, 4);
  EXPECT_STREQ(text, "ababcdgh");
  BNMoveMemory(text, text + 2, 4);
  EXPECT_STREQ(text, "abcdcdgh");

  char buffer[6] = "xxxxx";
  BNFillMemory(buffer + 1, 3, 'z');
  EXPECT_STREQ(buffer, "xzzzx");
  BNZeroMemory(buffer, 2);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], '\0');
  EXPECT_EQ(buffer[2], 'z');
  BNCopyMemory(buffer, "AB", 2);
  EXPECT_EQ(std::string(buffer, 5), "ABzzx");
  BNCopyMemory(buffer, "Q", -1);  // a negative count copies nothing
  EXPECT_EQ(buffer[0], 'A');
}

}  // namespace
