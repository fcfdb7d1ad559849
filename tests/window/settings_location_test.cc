#include "window/settings_location.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace cordshift {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

void MakeFolderReadOnly(const fs::path& folder) {
  fs::permissions(
      folder,
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
      fs::perm_options::remove);
}

TEST(SettingsLocationTest, WritableFolderKeepsTheFileBesideTheProgram) {
  TempFolder temp;
  fs::create_directories(temp / "bin");
  EXPECT_TRUE(IsWritableFolder(temp / "bin"));
  EXPECT_EQ(ChooseSettingsFile(temp / "bin/Cordshift", temp / "user"),
            temp / "bin/Cordshift.ini");
  EXPECT_FALSE(fs::exists(temp / "user"));
  // The probe leaves nothing behind.
  EXPECT_TRUE(fs::is_empty(temp / "bin"));
}

TEST(SettingsLocationTest, ReadOnlyFolderMovesTheFileToTheUsersFolder) {
  TempFolder temp;
  WriteBytes(temp / "bin/Cordshift.ini", "[Path]\r\nSrcDir=/d/\r\n");
  MakeFolderReadOnly(temp / "bin");
  EXPECT_FALSE(IsWritableFolder(temp / "bin"));
  const fs::path chosen =
      ChooseSettingsFile(temp / "bin/Cordshift", temp / "user/Cordshift");
  EXPECT_EQ(chosen, temp / "user/Cordshift/Cordshift.ini");
  // The installed file is where the user's settings start from.
  EXPECT_EQ(ReadBytes(chosen), "[Path]\r\nSrcDir=/d/\r\n");

  // Later the user's own file is kept.
  WriteBytes(chosen, "[Path]\r\nSrcDir=/mine/\r\n");
  ChooseSettingsFile(temp / "bin/Cordshift", temp / "user/Cordshift");
  EXPECT_EQ(ReadBytes(chosen), "[Path]\r\nSrcDir=/mine/\r\n");
}

TEST(SettingsLocationTest, MissingFolderIsNotWritable) {
  TempFolder temp;
  EXPECT_FALSE(IsWritableFolder(temp / "nowhere"));
}

}  // namespace
}  // namespace cordshift
