// The removal of temporary files that killed runs leave behind: only files
// of the atomic writer's exact name form, only those of this machine's
// processes that no longer run or another machine's that are a day old, and
// only when a folder is converted for real.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/text_file.h"
#include "support/temp_folder.h"

namespace cordshift {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteBytes;

// The id of a process that has ended (and been reaped).
unsigned long EndedProcessId() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return static_cast<unsigned long>(pid);
}

std::string TempName(const std::string& target, unsigned long pid,
                     int attempt = 0,
                     const std::string& host = ThisHostName()) {
  return std::string(kTempFilePrefix) + target + "." + host + "." +
         std::to_string(pid) + "." + std::to_string(attempt);
}

void AgeFile(const fs::path& path, std::chrono::hours age) {
  fs::last_write_time(path, fs::file_time_type::clock::now() - age);
}

TEST(TempFileOwnerTest, ReadsTheWritersNamesOnly) {
  using Owner = TempFileOwnerId;
  const struct {
    std::string name;
    std::optional<Owner> owner;
  } kCases[] = {
      {".cordshift-tmp-W100.lvd.pc-1.4242.0", Owner{"pc-1", 4242}},
      {".cordshift-tmp-a.b.ini.HOST.7.99", Owner{"HOST", 7}},
      {".cordshift-tmp-\x83\x65.lvd.h.12.3", Owner{"h", 12}},
      {".cordshift-tmp-W100.lvd.h.4242", std::nullopt},  // no attempt
      {".cordshift-tmp-.h.4242.0", std::nullopt},        // no target
      {".cordshift-tmp-W100.4242.0", std::nullopt},      // no host
      {".cordshift-tmp-W.lvd.h_1.42.0", std::nullopt},   // "_" in host
      {".cordshift-tmp-W.lvd.h.42x.0", std::nullopt},    // not a number
      {".cordshift-tmp-W.lvd.h.42.100", std::nullopt},   // attempt too long
      {".cordshift-tmp-W.lvd.h.12345678901.0", std::nullopt},  // 11 digits
      {".cordshift-tmp-W.lvd." + std::string(33, 'h') + ".1.0",
       std::nullopt},  // host too long
      {".cordshift-tmp-W.lvd.h..0", std::nullopt},
      {"cordshift-tmp-W.lvd.h.42.0", std::nullopt},
      {".cordshift-tmp-notes.txt", std::nullopt},
      {"W100.lvd", std::nullopt},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(TempFileOwner(c.name), c.owner) << c.name;
  }
  EXPECT_EQ(TempFileOwner(TempName("W.lvd", 9)), (Owner{ThisHostName(), 9}));
}

TEST(RemoveStaleTempFilesTest, RemovesOnlyFilesOfEndedProcesses) {
  TempFolder temp;
  const unsigned long ended = EndedProcessId();
  const unsigned long self = static_cast<unsigned long>(getpid());
  const std::string other_host = ThisHostName() + "-other";
  const std::vector<std::string> removed = {
      TempName("W1.lvd", ended), TempName("W1.ini", ended, 3),
      TempName("W5.lvd", self, 0, other_host)};  // aged below
  const std::vector<std::string> kept = {
      TempName("W2.lvd", self),  // this process may be writing it
      TempName("W3.lvd", 1),     // a running process
      // Another machine's live run on a shared folder: its process id means
      // nothing here.
      TempName("W6.lvd", ended, 0, other_host),
      "W1.lvd",
      ".cordshift-tmp-notes.txt",
      TempName("W4.lvd", ended) + ".bak",
  };
  for (const std::string& name : removed) WriteBytes(temp / name, "partial");
  for (const std::string& name : kept) WriteBytes(temp / name, "keep");
  AgeFile(temp / removed.back(), kForeignTempFileAge + std::chrono::hours(1));
  AgeFile(temp / TempName("W6.lvd", ended, 0, other_host),
          kForeignTempFileAge - std::chrono::hours(1));
  // Only regular files are removed: not a folder or a link of that name.
  const fs::path folder = temp / TempName("D.lvd", ended);
  fs::create_directories(folder / "inside");
  fs::create_symlink(temp / "W1.lvd", temp / TempName("L.lvd", ended));

  EXPECT_EQ(RemoveStaleTempFiles(temp.path()), 3);
  for (const std::string& name : removed) {
    EXPECT_FALSE(fs::exists(temp / name)) << name;
  }
  for (const std::string& name : kept) {
    EXPECT_EQ(testing::ReadBytes(temp / name), "keep") << name;
  }
  EXPECT_TRUE(fs::is_directory(folder / "inside"));
  EXPECT_TRUE(fs::is_symlink(temp / TempName("L.lvd", ended)));
  EXPECT_EQ(RemoveStaleTempFiles(temp / "missing"), 0);
}

int RunCliWith(std::vector<std::string> args) {
  args.insert(args.begin(), "cordshift-cli");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out;
  std::ostringstream err;
  return RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
}

TEST(RemoveStaleTempFilesTest, ConvertingAFolderRemovesWhatAKilledRunLeft) {
  TempFolder temp;
  WriteBytes(temp / "source" / "W.lvd",
             "TBL480\r\n20240312093000\r\n1\r\n2\r\nA1-B1,0,2000\r\n");
  const fs::path leftover =
      temp / "destination" / TempName("W.lvd", EndedProcessId());
  WriteBytes(leftover, "half a fi");
  const auto convert = [&](const char* extra) {
    std::vector<std::string> args = {"convert",
                                     (temp / "source").string(),
                                     (temp / "destination").string(),
                                     "--direction",
                                     "to-hipot",
                                     "--model",
                                     "TBS480"};
    if (extra != nullptr) args.push_back(extra);
    return RunCliWith(args);
  };

  EXPECT_EQ(convert("--dry-run"), kExitSuccess);
  EXPECT_TRUE(fs::exists(leftover)) << "a dry run changes nothing";
  EXPECT_EQ(convert(nullptr), kExitSuccess);
  EXPECT_FALSE(fs::exists(leftover));
  EXPECT_TRUE(fs::exists(temp / "destination" / "W.lvd"));
}

}  // namespace
}  // namespace cordshift
