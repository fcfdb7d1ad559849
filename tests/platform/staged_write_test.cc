#include "platform/staged_write.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "platform/folder_listing.h"
#include "platform/temp_files.h"
#include "support/temp_folder.h"

namespace cordshift {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::FolderEntries;
using ::testing::IsEmpty;
using testing::ReadBytes;
using testing::TempFolder;
using ::testing::UnorderedElementsAre;
using testing::WriteBytes;

#ifdef _WIN32
TEST(TextFileTest, ReadOnlyMeansTheReadOnlyAttribute) {
  TempFolder folder;
  const fs::path file = folder / "file";
  WriteBytes(file, "x");
  const struct {
    DWORD attributes;
    bool read_only;
  } kCases[] = {
      {FILE_ATTRIBUTE_ARCHIVE, false},
      {FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY, true},
      {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, true},
      {FILE_ATTRIBUTE_HIDDEN, false},
      {FILE_ATTRIBUTE_NORMAL, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.attributes);
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), c.attributes));
    EXPECT_EQ(IsReadOnlyFile(file), c.read_only);
  }
  EXPECT_FALSE(IsReadOnlyFile(folder / "missing"));
}
#else
TEST(TextFileTest, ReadOnlyMeansNoWriteBitForAnyone) {
  TempFolder folder;
  const fs::path file = folder / "file";
  WriteBytes(file, "x");
  const struct {
    fs::perms perms;
    bool read_only;
  } kCases[] = {
      {fs::perms(0644), false}, {fs::perms(0444), true},
      {fs::perms(0000), true},  {fs::perms(0200), false},
      {fs::perms(0460), false}, {fs::perms(0446), false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(static_cast<int>(c.perms));
    fs::permissions(file, c.perms);
    EXPECT_EQ(IsReadOnlyFile(file), c.read_only);
  }
  EXPECT_FALSE(IsReadOnlyFile(folder / "missing"));
}
#endif

#ifndef _WIN32
fs::perms PermsOf(const fs::path& path) {
  return fs::status(path).permissions() & fs::perms::mask;
}

// Sets the process's umask for one test and restores it afterwards.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : previous_(umask(mask)) {}
  ~ScopedUmask() { umask(previous_); }
  ScopedUmask(const ScopedUmask&) = delete;
  ScopedUmask& operator=(const ScopedUmask&) = delete;

 private:
  mode_t previous_;
};

TEST(WriteFileAtomicallyTest, CreatesNewFileWithUmaskPermissions) {
  TempFolder folder;
  const ScopedUmask mask(027);
  const fs::path target = folder / "new.lvd";
  const std::string content("line 1\r\n\x95\x5C\0end", 14);

  EXPECT_EQ(WriteFileAtomically(target, content), WriteError::kNone);
  EXPECT_EQ(ReadBytes(target), content);
  EXPECT_EQ(PermsOf(target), fs::perms(0640));
  EXPECT_THAT(FolderEntries(folder.path()), ElementsAre("new.lvd"));
}
#else
TEST(WriteFileAtomicallyTest, CreatesNewFileThatIsNotReadOnly) {
  TempFolder folder;
  const fs::path target = folder / "new.lvd";
  const std::string content("line 1\r\n\x95\x5C\0end", 14);

  EXPECT_EQ(WriteFileAtomically(target, content), WriteError::kNone);
  EXPECT_EQ(ReadBytes(target), content);
  EXPECT_FALSE(IsReadOnlyFile(target));
  EXPECT_THAT(FolderEntries(folder.path()), ElementsAre("new.lvd"));
}
#endif

TEST(WriteFileAtomicallyTest, ReplacesFileAndKeepsItsPermissions) {
  TempFolder folder;
  const fs::path target = folder / "data.ini";
  WriteBytes(target, "old content that is longer than the new one");
#ifndef _WIN32
  fs::permissions(target, fs::perms(0604));
#endif
  const std::string big(2 * 1024 * 1024 + 3, 'z');

  EXPECT_EQ(WriteFileAtomically(target, "new"), WriteError::kNone);
  EXPECT_EQ(ReadBytes(target), "new");
#ifndef _WIN32
  EXPECT_EQ(PermsOf(target), fs::perms(0604));
#endif
  EXPECT_EQ(WriteFileAtomically(target, big), WriteError::kNone);
  EXPECT_EQ(ReadBytes(target), big);
  EXPECT_EQ(WriteFileAtomically(target, ""), WriteError::kNone);
  EXPECT_EQ(ReadBytes(target), "");
  EXPECT_THAT(FolderEntries(folder.path()), ElementsAre("data.ini"));
}

TEST(WriteFileAtomicallyTest, RefusesBadTargetsWithoutLeavingAnything) {
  TempFolder folder;
  const fs::path read_only = folder / "read-only.ini";
  WriteBytes(read_only, "keep me");
  testing::MakeReadOnly(read_only);
  fs::create_directory(folder / "sub");

  EXPECT_EQ(WriteFileAtomically(read_only, "new"), WriteError::kReadOnlyTarget);
  EXPECT_EQ(ReadBytes(read_only), "keep me");
  EXPECT_EQ(WriteFileAtomically(folder / "sub", "new"),
            WriteError::kTargetIsFolder);
  EXPECT_EQ(WriteFileAtomically(folder / "missing" / "file", "new"),
            WriteError::kNoFolder);
  EXPECT_EQ(WriteFileAtomically(folder / "read-only.ini" / "file", "new"),
            WriteError::kNoFolder);

  EXPECT_THAT(FolderEntries(folder.path()),
              UnorderedElementsAre("read-only.ini", "sub"));
  EXPECT_THAT(FolderEntries(folder / "sub"), IsEmpty());
}

#ifndef _WIN32
std::vector<std::string> TempLeftovers(const fs::path& folder) {
  std::vector<std::string> leftovers;
  for (const std::string& name : FolderEntries(folder)) {
    if (name.starts_with(kTempFilePrefix)) leftovers.push_back(name);
  }
  return leftovers;
}

// A file size limit makes the write stop part-way. The child process ignores
// SIGXFSZ, so write reports EFBIG instead of the signal ending the process.
TEST(WriteFileAtomicallyTest, PartWayWriteFailureLeavesTargetUntouched) {
  TempFolder folder;
  const fs::path target = folder / "target.lvd";
  const std::string old_content = "old\r\n";
  WriteBytes(target, old_content);
  constexpr rlim_t kLimit = 10000;
  const std::string content(5 * kLimit + 1, 'n');

  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{kLimit, kLimit};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(100);
    const WriteError error = WriteFileAtomically(target, content);
    _exit(error == WriteError::kWriteFailed ? 0 : 1 + static_cast<int>(error));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status))
      << "child ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);

  EXPECT_EQ(ReadBytes(target), old_content);
  EXPECT_THAT(TempLeftovers(folder.path()), IsEmpty());
  EXPECT_THAT(FolderEntries(folder.path()), ElementsAre("target.lvd"));
}
#endif

TEST(WriteFileAtomicallyTest, TempFileNameInUseIsSkipped) {
  TempFolder folder;
  const fs::path target = folder / "t";
  const std::string stale = std::string(kTempFilePrefix) + "t." +
                            ThisHostName() + "." + std::to_string(getpid()) +
                            ".0";
  WriteBytes(folder / stale, "stale");

  EXPECT_EQ(WriteFileAtomically(target, "fresh"), WriteError::kNone);
  EXPECT_EQ(ReadBytes(target), "fresh");
  EXPECT_EQ(ReadBytes(folder / stale), "stale");
  EXPECT_THAT(FolderEntries(folder.path()), UnorderedElementsAre("t", stale));
}

// A target that appears after the write was staged (another run's file) is
// kept, in the same step, by a write that keeps existing targets, and
// replaced by one that replaces them; nothing of the write is left over.
TEST(StagedWriteTest, TargetThatAppearedMeanwhileIsKeptOrReplaced) {
  const struct {
    ExistingTarget existing;
    WriteError committed;
    const char* content;
  } kCases[] = {
      {ExistingTarget::kKeep, WriteError::kTargetExists, "other run"},
      {ExistingTarget::kReplace, WriteError::kNone, "staged"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(static_cast<int>(c.existing));
    TempFolder folder;
    const fs::path target = folder / "W.lvd";
    StagedWrite staged(target, "staged", c.existing);
    ASSERT_EQ(staged.error(), WriteError::kNone);
    WriteBytes(target, "other run");
    EXPECT_EQ(staged.Commit(), c.committed);
    EXPECT_EQ(ReadBytes(target), c.content);
    EXPECT_THAT(FolderEntries(folder.path()), ElementsAre("W.lvd"));
    EXPECT_EQ(WriteFileAtomically(target, "again", c.existing),
              c.existing == ExistingTarget::kKeep ? WriteError::kTargetExists
                                                  : WriteError::kNone);
  }
}

// Content too large for memory is staged piece by piece, each piece at its
// place: the header last, in front of the records.
TEST(StagedWriteTest, PiecesWrittenAtTheirOffsetsMakeTheFile) {
  for (const bool replacing : {false, true}) {
    SCOPED_TRACE(replacing);
    TempFolder folder;
    const fs::path target = folder / "W.lvd";
    if (replacing) WriteBytes(target, "an old file, longer than the new one");
    StagedWrite staged(target, ExistingTarget::kReplace);
    EXPECT_TRUE(staged.WriteAt(6, "records\r\n"));
    EXPECT_TRUE(staged.WriteAt(15, "more\r\n"));
    EXPECT_TRUE(staged.WriteAt(0, "head\r\n"));
    EXPECT_EQ(staged.Commit(), WriteError::kNone);
    EXPECT_EQ(ReadBytes(target), "head\r\nrecords\r\nmore\r\n");
    EXPECT_THAT(FolderEntries(folder.path()), ElementsAre("W.lvd"));
  }
}

#ifdef __linux__
// Where the file system has O_TMPFILE, a new file has no name until it is
// committed, so that a run killed meanwhile leaves nothing in the folder.
TEST(StagedWriteTest, NewFileHasNoNameUntilCommitted) {
  TempFolder folder;
  const int probe = open(folder.path().c_str(), O_TMPFILE | O_RDWR, 0600);
  if (probe < 0) GTEST_SKIP() << "no O_TMPFILE in " << folder.path();
  close(probe);
  StagedWrite staged(folder / "W.lvd", "content", ExistingTarget::kKeep);
  ASSERT_EQ(staged.error(), WriteError::kNone);
  EXPECT_THAT(FolderEntries(folder.path()), IsEmpty());
  EXPECT_EQ(staged.Commit(), WriteError::kNone);
  EXPECT_EQ(ReadBytes(folder / "W.lvd"), "content");
}
#endif

TEST(StagedWriteTest, UncommittedWriteLeavesNothing) {
  TempFolder folder;
  { const StagedWrite staged(folder / "W.lvd", "never"); }
  EXPECT_THAT(FolderEntries(folder.path()), IsEmpty());
}

}  // namespace
}  // namespace cordshift
