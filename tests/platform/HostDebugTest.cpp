#include "host_debug.h"
#include "host_foundation.h"

#include <gtest/gtest.h>

namespace {

TEST(HostDebugTest, EachCallIsCapturedExactlyAndResetClearsThem)
{
  pln::host::ResetFoundation();
  DBPrintf("(%d)%s", -2130312869, "APIERR_BADNAME");
  DBPrintf("line\n");
  DBPrintf("%s", "");
  ASSERT_EQ(pln::host::DebugLines().size(), 3u);
  EXPECT_EQ(pln::host::DebugLines()[0], "(-2130312869)APIERR_BADNAME");
  EXPECT_EQ(pln::host::DebugLines()[1], "line\n");
  EXPECT_EQ(pln::host::DebugLines()[2], "");
  pln::host::ResetFoundation();
  EXPECT_TRUE(pln::host::DebugLines().empty());
}

TEST(HostDebugTest, LongTextsAreNotCut)
{
  pln::host::ClearDebugLines();
  std::string longText(5000, 'x');
  DBPrintf("%s!", longText.c_str());
  ASSERT_EQ(pln::host::DebugLines().size(), 1u);
  EXPECT_EQ(pln::host::DebugLines()[0], longText + "!");
}

}  // namespace
