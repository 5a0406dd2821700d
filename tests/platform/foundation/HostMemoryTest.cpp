#include "PlatformTestSupport.h"

#include "host_foundation.h"

#include <cstring>
#include <string>

namespace {

using HostMemoryTest = HostTest;

TEST_F(HostMemoryTest, AllocateReallocKeepTheContentAndKillNullsTheHandle)
{
  GSHandle handle = BMAllocateHandle(4, ALLOCATE_CLEAR, 0);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(host.HandlesSinceReset(), 1);
  EXPECT_EQ(std::string(*handle, 4), std::string(4, '\0'));
  std::memcpy(*handle, "abcd", 4);

  // Growing keeps the handle itself and the content; cleared growth is zero.
  EXPECT_EQ(BMReallocHandle(handle, 1000, ALLOCATE_CLEAR, 0), handle);
  EXPECT_EQ(BMGetHandleSize(handle), 1000);
  EXPECT_EQ(std::string(*handle, 4), "abcd");
  EXPECT_EQ((*handle)[999], '\0');
  EXPECT_EQ(BMReallocHandle(handle, 2, 0, 0), handle);
  EXPECT_EQ(std::string(*handle, static_cast<std::size_t>(BMGetHandleSize(handle))), "ab");
  BMKillHandle(&handle);
  EXPECT_EQ(handle, nullptr);
  BMKillHandle(&handle);  // killing a null handle is harmless
  BMKillHandle(nullptr);

  // Uncleared memory is not silently zero; an empty handle is still a block.
  handle = BMAllocateHandle(2, 0, 0);
  EXPECT_NE((*handle)[0], '\0');
  BMKillHandle(&handle);
  handle = BMAllocateHandle(0, 0, 0);
  ASSERT_NE(handle, nullptr);
  EXPECT_NE(*handle, nullptr);
  EXPECT_EQ(BMGetHandleSize(handle), 0);
  EXPECT_EQ(BMReallocHandle(handle, 3, ALLOCATE_CLEAR, 0), handle);
  EXPECT_EQ(std::string(*handle, 3), std::string(3, '\0'));
  BMKillHandle(&handle);
}

TEST_F(HostMemoryTest, ForcedFailureAnswersNullOnceAndKeepsTheOldBlockAndBadSizesAreRefused)
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

  EXPECT_EQ(BMAllocateHandle(-1, 0, 0), nullptr);
  EXPECT_EQ(BMAllocateHandle(pln::host::MaxHandleSize + 1, 0, 0), nullptr);
  EXPECT_EQ(BMReallocHandle(handle, -5, 0, 0), nullptr);
  EXPECT_EQ(BMGetHandleSize(handle), 16);
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
  EXPECT_EQ(std::string(buffer, 5), std::string("\0\0zzx", 5));
  BNCopyMemory(buffer, "AB", 2);
  BNCopyMemory(buffer, "Q", -1);  // a negative count copies nothing
  EXPECT_EQ(std::string(buffer, 5), "ABzzx");
}

}  // namespace
