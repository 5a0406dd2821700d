// A step of the example's session that fails must not read as done: its
// message names the step by number and gives the host's complaint, never
// the line the step prints when it succeeds.

#include "Workflow.h"
#include "host_errors.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

TEST(ExampleStepFailureTest, AFailedStepIsNamedByItsNumberAndNotByItsSuccessLine)
{
  HostFixture host;
  std::string printed;
  Workflow flow{host, [&](const std::string& line) { printed += line + "\n"; }};
  flow.OpenProject();
  host.FailOnce("ACAPI_ModulData_Store", APIERR_GENERAL);
  try {
    flow.Settings();
    FAIL() << "the settings step went through a failed store";
  } catch (const std::runtime_error& error) {
    const std::string what = error.what();
    EXPECT_EQ(what.rfind("step 2 failed: ", 0), 0u) << what;
    EXPECT_EQ(what.find("OK, はい"), std::string::npos) << what;
  }
  EXPECT_EQ(printed.find("2. "), std::string::npos) << printed;
}

}  // namespace
