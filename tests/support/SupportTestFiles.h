#pragma once
// Files for the support tests: each test gets its own empty folder inside the
// host's sandbox, so paths given to the file object map onto it unchanged.

#include "host_foundation.h"
#include "io_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace support_test {

inline std::string ReadAll(const std::filesystem::path& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::filesystem::path& path, const std::string& bytes)
{
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A fixture that resets the host's global test state around each test and
// gives it a fresh folder.
class FileTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    pln::host::ResetFoundation();
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = pln::host::SandboxRoot() / "support" / test->test_suite_name() / test->name();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { pln::host::ResetFoundation(); }

  std::string PathOf(const std::string& name) const { return (folder / name).string(); }

  std::filesystem::path folder;
};

}  // namespace support_test
