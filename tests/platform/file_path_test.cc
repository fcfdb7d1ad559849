#include "platform/file_path.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/file_read.h"
#include "platform/folder_listing.h"
#include "support/temp_folder.h"

namespace cordshift {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::FolderEntries;
using testing::TempFolder;
using testing::WriteBytes;

TEST(TextFileTest, PathsKeepUtf8Names) {
  TempFolder folder;
  const std::string name = "表データ ソ.lvd";
  const fs::path path = folder.path() / PathFromUtf8(name);
  EXPECT_EQ(PathToUtf8(PathFromUtf8(name)), name);
  WriteBytes(path, "x");
  EXPECT_THAT(FolderEntries(folder.path()), ElementsAre(name));
  EXPECT_EQ(ReadWholeFile(PathFromUtf8(PathToUtf8(path))), "x");
}

}  // namespace
}  // namespace cordshift
