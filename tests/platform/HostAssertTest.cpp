#include "host_assert.h"

#include <gtest/gtest.h>

TEST(HostAssertDeathTest, NamesTheFileAndTheExpression)
{
  int count = 2;
  EXPECT_DEATH(PLN_ASSERT(count == 3), "host_assert_test|HostAssertTest.cpp:[0-9]+: count == 3");
  PLN_ASSERT(count == 2);
}
