#include "platform/executable.h"

#include <gtest/gtest.h>

namespace cordshift {
namespace {

TEST(ExecutableTest, FindsTheRunningProgram) {
  const std::filesystem::path path = ExecutablePath();
  EXPECT_TRUE(path.is_absolute());
  // With ".exe" on Windows.
  EXPECT_EQ(path.stem(), "cordshift_platform_tests");
  EXPECT_TRUE(std::filesystem::is_regular_file(path));
}

}  // namespace
}  // namespace cordshift
