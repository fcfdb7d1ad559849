#include "window/settings_location.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/settings.h"
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

TEST(SettingsLocationTest, WritableFolderKeepsEverythingBesideTheProgram) {
  TempFolder temp;
  fs::create_directories(temp / "bin");
  EXPECT_TRUE(IsWritableFolder(temp / "bin"));
  bool documents_asked = false;
  const SettingsPlace place =
      ChooseSettingsPlace(temp / "bin/Cordshift", {temp / "user", [&] {
                                                     documents_asked = true;
                                                     return temp / "docs";
                                                   }});
  EXPECT_EQ(place.settings_file, temp / "bin/Cordshift.ini");
  EXPECT_EQ(place.default_data_folder, DefaultDataFolder(temp / "bin/x"));
  EXPECT_FALSE(fs::exists(temp / "user"));
  // A portable start does without the call that finds the documents.
  EXPECT_FALSE(documents_asked);
  // The probe leaves nothing behind.
  EXPECT_TRUE(fs::is_empty(temp / "bin"));
}

TEST(SettingsLocationTest, ReadOnlyFolderMovesTheFileToTheUsersFolder) {
  TempFolder temp;
  WriteBytes(temp / "bin/Cordshift.ini", "[Path]\r\nSrcDir=/d/\r\n");
  MakeFolderReadOnly(temp / "bin");
  EXPECT_FALSE(IsWritableFolder(temp / "bin"));
  const UserFolders user{temp / "user/Cordshift",
                         [&] { return temp / "docs"; }};
  const SettingsPlace place = ChooseSettingsPlace(temp / "bin/Cordshift", user);
  EXPECT_EQ(place.settings_file, temp / "user/Cordshift/Cordshift.ini");
  // The installed file is where the user's settings start from.
  EXPECT_EQ(ReadBytes(place.settings_file), "[Path]\r\nSrcDir=/d/\r\n");
  EXPECT_EQ(place.default_data_folder, DocumentsDataFolder(temp / "docs"));

  // Later the user's own file is kept.
  WriteBytes(place.settings_file, "[Path]\r\nSrcDir=/mine/\r\n");
  ChooseSettingsPlace(temp / "bin/Cordshift", user);
  EXPECT_EQ(ReadBytes(place.settings_file), "[Path]\r\nSrcDir=/mine/\r\n");
}

TEST(SettingsLocationTest, WithoutADocumentsFolderTheDataStaysBesideIt) {
  TempFolder temp;
  const SettingsPlace place = ChooseSettingsPlace(
      temp / "bin/Cordshift", {temp / "user", [] { return fs::path(); }},
      [](const fs::path&) { return false; });
  EXPECT_EQ(place.default_data_folder, DefaultDataFolder(temp / "bin/x"));
}

TEST(SettingsLocationTest, MissingFolderIsNotWritable) {
  TempFolder temp;
  EXPECT_FALSE(IsWritableFolder(temp / "nowhere"));
}

}  // namespace
}  // namespace cordshift
