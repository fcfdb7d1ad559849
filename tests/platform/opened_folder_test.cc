#include "platform/opened_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/file_read.h"
#include "platform/folder_listing.h"
#include "platform/folder_scan.h"
#include "platform/staged_write.h"
#include "support/temp_folder.h"

namespace cordshift {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::FolderEntries;
using testing::ReadBytes;
using testing::TempFolder;
using ::testing::UnorderedElementsAre;
using testing::WriteBytes;

// Files of an opened folder are named within it; what a write does is the
// same as by whole paths, also once the folder itself has gone, and when a
// file to be kept appeared after the folder was looked through.
TEST(OpenedFolderTest, WritesAndReadsFilesWithinTheFolder) {
  const struct {
    const char* existing_content;  // nullptr: no such file yet
    ExistingTarget existing;
    bool looked_through_first;
    bool remove_folder;
    WriteError written;
    const char* content_after;
  } kCases[] = {
      {nullptr, ExistingTarget::kKeep, true, false, WriteError::kNone, "new"},
      {"old", ExistingTarget::kKeep, false, false, WriteError::kTargetExists,
       "old"},
      {"old", ExistingTarget::kKeep, true, false, WriteError::kTargetExists,
       "old"},
      {"old", ExistingTarget::kReplace, true, false, WriteError::kNone, "new"},
      {nullptr, ExistingTarget::kReplace, false, true, WriteError::kNoFolder,
       nullptr},
      {nullptr, ExistingTarget::kKeep, true, true, WriteError::kNoFolder,
       nullptr},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(::testing::PrintToString(c.written));
#ifdef _WIN32
    // An opened folder cannot be removed there (below).
    if (c.remove_folder) continue;
#endif
    TempFolder root;
    const fs::path folder = root / "sub";
    fs::create_directory(folder);
    OpenedFolder opened(folder);
    FolderLook look;
    if (c.looked_through_first) look = opened.RemoveStaleTempFiles();
    if (c.existing_content) WriteBytes(folder / "W.ini", c.existing_content);
    if (c.remove_folder) fs::remove_all(folder);

    StagedWrite write(opened, "W.ini", c.existing,
                      look.MayHold("W.ini")
                          ? TargetKnowledge::kUnknown
                          : TargetKnowledge::kAbsentWhenLooked);
    write.WriteAt(0, "new");
    EXPECT_EQ(write.Commit(), c.written);
    const FileRead read = ReadFileUpTo(opened, "W.ini", 100);
    if (c.content_after) {
      EXPECT_EQ(read.content, c.content_after);
      EXPECT_THAT(FolderEntries(folder), ElementsAre("W.ini"));
    } else {
      EXPECT_EQ(read.error, ReadError::kMissing);
    }
  }
}

// Files written into an opened folder go to the folder that was opened,
// whatever is put in its place meanwhile: on POSIX the files are named
// within it, on Windows it cannot be renamed while it is open.
TEST(OpenedFolderTest, FilesGoToTheFolderOpenedWhateverTakesItsPlace) {
  TempFolder root;
  const fs::path folder = root / "out";
  fs::create_directories(folder);
  fs::create_directories(root / "other");
  OpenedFolder opened(folder);
  const std::optional<FileIdentity> identity =
      IdentityOf(testing::PathText(folder));
  ASSERT_TRUE(identity);
  EXPECT_EQ(opened.Identity(), identity);
  std::error_code error;
  fs::rename(folder, root / "moved", error);
#ifdef _WIN32
  EXPECT_TRUE(error) << "an opened folder was renamed";
#else
  ASSERT_FALSE(error);
  fs::create_directory_symlink(root / "other", folder);
  EXPECT_EQ(opened.Identity(), identity);
  EXPECT_EQ(WriteFileAtomically(opened, "W.lvd", "new"), WriteError::kNone);
  EXPECT_EQ(ReadBytes(root / "moved/W.lvd"), "new");
  EXPECT_TRUE(fs::is_empty(root / "other"));
#endif
}

// Whether a folder takes names that differ in letter case for one: the
// look leaves nothing behind.
TEST(OpenedFolderTest, KnowsWhetherNamesIgnoreCase) {
  TempFolder folder;
  OpenedFolder opened(folder.path());
#ifdef _WIN32
  EXPECT_TRUE(opened.IgnoresCase());
#else
  EXPECT_FALSE(opened.IgnoresCase());
#endif
  EXPECT_TRUE(fs::is_empty(folder.path()));
  opened.TreatAsIgnoringCase();
  EXPECT_TRUE(opened.IgnoresCase());
}

// Files made ahead are taken by the writes of new files; those never taken
// leave nothing once the folder is closed.
TEST(OpenedFolderTest, FilesMadeAheadLeaveNothingUntaken) {
  TempFolder folder;
  WriteBytes(folder / "old.ini", "old");
  {
    OpenedFolder opened(folder.path());
    opened.MakeUnnamedFiles(4);
    EXPECT_EQ(WriteFileAtomically(opened, "a.lvd", "a"), WriteError::kNone);
    EXPECT_EQ(WriteFileAtomically(opened, "b.lvd", "b", ExistingTarget::kKeep),
              WriteError::kNone);
    EXPECT_EQ(WriteFileAtomically(opened, "old.ini", "new"), WriteError::kNone);
  }
  EXPECT_THAT(FolderEntries(folder.path()),
              UnorderedElementsAre("a.lvd", "b.lvd", "old.ini"));
  EXPECT_EQ(ReadBytes(folder / "a.lvd"), "a");
  EXPECT_EQ(ReadBytes(folder / "b.lvd"), "b");
  EXPECT_EQ(ReadBytes(folder / "old.ini"), "new");
}

}  // namespace
}  // namespace cordshift
