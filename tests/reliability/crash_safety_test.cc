// Kills the built `cordshift-cli convert` with SIGKILL at random moments of a
// run over a generated tree and checks what a kill leaves: every wiring and
// comment file under its real name is complete (the file an uninterrupted
// run writes or, when overwriting, the file that was there before), the
// source tree is unchanged, and the temporary files of the killed run are
// removed by the next run in their folder.
//
// CORDSHIFT_CRASH_KILLS sets the number of kills (split between the two
// tests, default 24); CORDSHIFT_CRASH_SEED repeats the moments of a run.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/text_file.h"
#include "support/temp_folder.h"

namespace cordshift {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;  // relative path, bytes
using testing::TempFolder;
using testing::WriteBytes;

constexpr int kDefaultKills = 24;
// The trees: folders of 100 files of 200 records, four folders to a line
// folder, a comment file beside every third wiring file. A debug build
// converts the 24 folders of the first test in about two seconds;
// replacing a file flushes it to the disk first, so the overwriting test
// takes 6 folders for a run of about the same time on a disk.
constexpr int kFoldersForNewFiles = 24;
constexpr int kFoldersForOverwriting = 6;
constexpr int kFoldersPerLine = 4;
constexpr int kFilesPerFolder = 100;
constexpr int kRecordsPerFile = 200;

int KillsPerTest() {
  const char* text = std::getenv("CORDSHIFT_CRASH_KILLS");
  const int total = text != nullptr ? std::atoi(text) : kDefaultKills;
  return std::max(1, (total + 1) / 2);
}

std::uint32_t Seed() {
  const char* text = std::getenv("CORDSHIFT_CRASH_SEED");
  if (text != nullptr)
    return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10));
  return std::random_device{}();
}

// A sequential terminal number in AB notation: blocks of 64, A before B.
std::string AbTerminal(int terminal) {
  const int block = (terminal - 1) / 128;
  const int offset = (terminal - 1) % 128;
  return offset < 64 ? "A" + std::to_string(64 * block + offset + 1)
                     : "B" + std::to_string(64 * block + offset - 63);
}

std::string WiringFile(int seed) {
  std::string text = "TBL480\r\n20240312093000\r\n";
  std::set<int> terminals;
  std::string records;
  for (int record = 0; record < kRecordsPerFile; ++record) {
    const int from = (seed + record) % 500 + 1;
    const int to = (seed + record * 7) % 900 + 1;
    terminals.insert(from);
    terminals.insert(to);
    records += AbTerminal(from) + "-" + AbTerminal(to) + ",0,2000\r\n";
  }
  text += std::to_string(kRecordsPerFile) + "\r\n" +
          std::to_string(terminals.size()) + "\r\n";
  return text + records;
}

void GenerateTree(const fs::path& root, int folders) {
  int seed = 0;
  for (int harness = 0; harness < folders; ++harness) {
    const fs::path folder =
        root / ("line" + std::to_string(harness / kFoldersPerLine)) /
        ("harness" + std::to_string(harness));
    for (int file = 0; file < kFilesPerFolder; ++file, ++seed) {
      const std::string name = "W" + std::to_string(1000 + file);
      WriteBytes(folder / (name + ".lvd"), WiringFile(seed));
      if (file % 3 == 0) {
        // "テスト" in Shift-JIS and the file's number.
        WriteBytes(folder / (name + ".ini"),
                   "[Purpose]\r\nComment=\x83\x65\x83\x58\x83\x67 " +
                       std::to_string(seed) + "\r\n");
      }
    }
  }
}

// Every file below a folder with its bytes, keyed by relative path. Read
// with one system call per file: the test takes this picture of two trees
// after every kill.
Files Snapshot(const fs::path& folder) {
  Files files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::optional<std::string> bytes = ReadWholeFile(entry.path());
    EXPECT_TRUE(bytes.has_value()) << entry.path();
    files[entry.path().lexically_relative(folder).string()] =
        std::move(bytes).value_or("");
  }
  return files;
}

// A running command line. Its progress (standard error: one line per
// guidance text, flushed as it is shown, one "N件目変換中..." per file)
// comes through a pipe, so that kills can be placed by progress whatever the
// machine's speed.
class CliProcess {
 public:
  explicit CliProcess(const std::vector<std::string>& args) {
    std::vector<const char*> argv = {CORDSHIFT_CLI_PATH};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    argv.push_back(nullptr);
    int pipe_ends[2];
    if (pipe2(pipe_ends, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, STDOUT_FILENO);
      dup2(pipe_ends[1], STDERR_FILENO);
      execv(argv[0], const_cast<char* const*>(argv.data()));
      _exit(127);
    }
    close(pipe_ends[1]);
    progress_ = pipe_ends[0];
  }
  ~CliProcess() {
    if (pid_ > 0 && !ended_) Kill();
  }
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  pid_t pid() const { return pid_; }

  // Reads progress until `count` more lines have come or the process has
  // closed its end; returns how many came.
  int SkipLines(int count) {
    int seen = 0;
    char buffer[4096];
    while (seen < count) {
      const ssize_t got = read(progress_, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      seen += static_cast<int>(std::count(buffer, buffer + got, '\n'));
    }
    return seen;
  }

  // The wait status once the process has ended on its own.
  int Wait() {
    SkipLines(std::numeric_limits<int>::max());
    return End();
  }

  // The wait status after SIGKILL (or, had the process ended first, its
  // exit status).
  int Kill() { return Signal(SIGKILL); }

  // The wait status once the process has ended after `signal`; its progress
  // is read on meanwhile, so that a full pipe cannot hold it up.
  int Signal(int signal) {
    kill(pid_, signal);
    SkipLines(std::numeric_limits<int>::max());
    return End();
  }

 private:
  int End() {
    close(progress_);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    ended_ = true;
    return status;
  }

  pid_t pid_ = -1;
  int progress_ = -1;
  bool ended_ = false;
};

std::vector<std::string> ConvertArgs(const fs::path& source,
                                     const fs::path& destination,
                                     const std::string& model_name,
                                     bool overwrite) {
  std::vector<std::string> args = {
      "convert",     source.string(), destination.string(),
      "--direction", "to-hipot",      "--model",
      model_name};
  if (overwrite) args.push_back("--overwrite");
  return args;
}

struct UninterruptedRun {
  double seconds = 0;
  int progress_lines = 0;
};

// Runs the command line to its end; it must succeed.
UninterruptedRun RunToEnd(const std::vector<std::string>& args) {
  const auto start = std::chrono::steady_clock::now();
  CliProcess process(args);
  UninterruptedRun run;
  run.progress_lines = process.SkipLines(std::numeric_limits<int>::max());
  const int status = process.Wait();
  const std::chrono::duration<double> took =
      std::chrono::steady_clock::now() - start;
  run.seconds = took.count();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "status " << status;
  return run;
}

// A copy whose files are hard links to the original: the writer replaces
// files by renaming, so the original must stay byte for byte as it was.
void LinkCopy(const fs::path& from, const fs::path& to) {
  fs::copy(from, to,
           fs::copy_options::recursive | fs::copy_options::create_hard_links);
}

struct KillFigures {
  int kills = 0;
  int missed = 0;  // the run ended before the signal
  int complete_files = 0;
  int old_files = 0;
  int left_temp_files = 0;
  int folders_cleaned = 0;
  std::vector<int> new_files_per_kill;
};

class KillCampaign {
 public:
  KillCampaign(const fs::path& source, const Files& source_bytes,
               const Files& expected, const Files* old_files,
               const UninterruptedRun& reference, std::uint32_t seed)
      : source_(source),
        source_bytes_(source_bytes),
        expected_(expected),
        old_files_(old_files),
        reference_(reference),
        random_(seed) {}

  // One run into `destination`, killed at a random point of its progress:
  // after a random number of progress lines, and a random part of the time
  // one line takes. False when the run ended before the signal.
  bool KillOnce(const fs::path& destination, bool overwrite) {
    const int lines = std::max(1, reference_.progress_lines);
    std::uniform_int_distribution<int> line(0, lines - 1);
    std::uniform_real_distribution<double> offset(
        0.0, 1.5 * reference_.seconds / lines);
    CliProcess process(ConvertArgs(source_, destination, "TBS480", overwrite));
    process.SkipLines(line(random_));
    std::this_thread::sleep_for(std::chrono::duration<double>(offset(random_)));
    const int status = process.Kill();
    if (!WIFSIGNALED(status)) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
          << "status " << status;
      ++figures_.missed;
      return false;
    }
    const pid_t pid = process.pid();
    ++figures_.kills;
    CheckDestination(destination, pid);
    EXPECT_EQ(Snapshot(source_), source_bytes_) << "the source tree changed";
    return true;
  }

  const KillFigures& figures() const { return figures_; }

 private:
  void CheckDestination(const fs::path& destination, pid_t killed) {
    std::set<fs::path> folders_with_temp_files;
    int new_files = 0;
    // A kill during the analysis comes before the first folder is made.
    if (!fs::exists(destination)) {
      figures_.new_files_per_kill.push_back(0);
      return;
    }
    for (const auto& entry : fs::recursive_directory_iterator(destination)) {
      if (!entry.is_regular_file()) continue;
      const std::string name = entry.path().filename().string();
      const std::string relative =
          entry.path().lexically_relative(destination).string();
      if (const std::optional<TempFileOwnerId> owner = TempFileOwner(name)) {
        EXPECT_EQ(*owner, (TempFileOwnerId{ThisHostName(),
                                           static_cast<unsigned long>(killed)}))
            << relative;
        folders_with_temp_files.insert(entry.path().parent_path());
        ++figures_.left_temp_files;
        continue;
      }
      const std::string bytes = ReadWholeFile(entry.path()).value_or("");
      const auto expected = expected_.find(relative);
      ASSERT_NE(expected, expected_.end()) << "unexpected file " << relative;
      if (bytes == expected->second) {
        ++new_files;
        continue;
      }
      ASSERT_NE(old_files_, nullptr) << "partial file " << relative;
      const auto old = old_files_->find(relative);
      ASSERT_TRUE(old != old_files_->end() && bytes == old->second)
          << "neither old nor new: " << relative;
      ++figures_.old_files;
    }
    figures_.complete_files += new_files;
    figures_.new_files_per_kill.push_back(new_files);
    for (const fs::path& folder : folders_with_temp_files) {
      RerunFolder(destination, folder);
    }
  }

  // The next run in a folder removes what the killed run left there and
  // writes every file whole.
  void RerunFolder(const fs::path& destination, const fs::path& folder) {
    const fs::path relative = folder.lexically_relative(destination);
    RunToEnd(ConvertArgs(source_ / relative, folder, "TBS480", true));
    for (const auto& entry : fs::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      EXPECT_FALSE(TempFileOwner(name).has_value())
          << "left after rerun: " << name;
      const auto expected = expected_.find((relative / name).string());
      ASSERT_NE(expected, expected_.end()) << name;
      EXPECT_EQ(ReadWholeFile(entry.path()), expected->second) << name;
    }
    ++figures_.folders_cleaned;
  }

  fs::path source_;
  const Files& source_bytes_;
  const Files& expected_;
  const Files* old_files_;
  UninterruptedRun reference_;
  std::mt19937 random_;
  KillFigures figures_;
};

void PrintFigures(const char* what, const KillFigures& f,
                  const UninterruptedRun& reference, std::size_t files,
                  std::uint32_t seed) {
  std::vector<int> counts = f.new_files_per_kill;
  std::sort(counts.begin(), counts.end());
  const auto at = [&](double share) {
    return counts.empty()
               ? 0
               : counts[static_cast<std::size_t>(
                     share * static_cast<double>(counts.size() - 1))];
  };
  std::printf(
      "crash-safety %s: seed %u; uninterrupted run %.2f s, %d progress lines, "
      "%zu files\n"
      "  %d kills (%d runs ended before the signal); complete new files at a "
      "kill min/median/max %d/%d/%d\n"
      "  files checked after the kills: %d new, %d old, 0 partial; %d "
      "temporary files left, in %d folders, removed by the next run there\n",
      what, seed, reference.seconds, reference.progress_lines, files, f.kills,
      f.missed, at(0), at(0.5), at(1), f.complete_files, f.old_files,
      f.left_temp_files, f.folders_cleaned);
}

class CrashSafetyTest : public ::testing::Test {
 protected:
  void Generate(int folders) {
    source_ = temp_ / "source";
    GenerateTree(source_, folders);
    source_bytes_ = Snapshot(source_);
  }

  void KillRepeatedly(const Files& expected, const Files* old_files,
                      const fs::path* old_tree,
                      const UninterruptedRun& reference, const char* what) {
    const std::uint32_t seed = Seed();
    KillCampaign campaign(source_, source_bytes_, expected, old_files,
                          reference, seed);
    const int wanted = KillsPerTest();
    for (int attempt = 0;
         campaign.figures().kills < wanted && attempt < 3 * wanted; ++attempt) {
      const fs::path destination = temp_ / ("kill-" + std::to_string(attempt));
      if (old_tree != nullptr) LinkCopy(*old_tree, destination);
      campaign.KillOnce(destination, old_tree != nullptr);
      fs::remove_all(destination);
      if (HasFatalFailure()) return;
    }
    EXPECT_GE(campaign.figures().kills, wanted);
    PrintFigures(what, campaign.figures(), reference, expected.size(), seed);
  }

  TempFolder temp_;
  fs::path source_;
  Files source_bytes_;
};

TEST_F(CrashSafetyTest, KilledRunsLeaveOnlyCompleteFiles) {
  Generate(kFoldersForNewFiles);
  const fs::path reference_tree = temp_ / "reference";
  const UninterruptedRun reference =
      RunToEnd(ConvertArgs(source_, reference_tree, "TBS480", false));
  const Files expected = Snapshot(reference_tree);
  ASSERT_GT(expected.size(),
            std::size_t{kFoldersForNewFiles * kFilesPerFolder});
  KillRepeatedly(expected, nullptr, nullptr, reference, "fresh destinations");
}

TEST_F(CrashSafetyTest, KilledOverwritingRunsLeaveOldOrNewFiles) {
  Generate(kFoldersForOverwriting);
  // The tree that is there before: another model and limit, and comment
  // files with a second section that an overwrite must keep.
  const fs::path old_tree = temp_ / "old";
  RunToEnd({"convert", source_.string(), old_tree.string(), "--direction",
            "to-hipot", "--model", "OLD480", "--upper", "1000"});
  for (const auto& entry : fs::recursive_directory_iterator(old_tree)) {
    if (entry.path().extension() == ".ini") {
      WriteBytes(entry.path(),
                 "[Purpose]\r\nComment=old\r\n[Maker]\r\nKeep=1\r\n");
    }
  }
  const Files old_files = Snapshot(old_tree);

  const fs::path reference_tree = temp_ / "reference";
  LinkCopy(old_tree, reference_tree);
  const UninterruptedRun reference =
      RunToEnd(ConvertArgs(source_, reference_tree, "TBS480", true));
  const Files expected = Snapshot(reference_tree);
  ASSERT_EQ(expected.size(), old_files.size());
  for (const auto& [path, bytes] : expected) {
    ASSERT_NE(bytes, old_files.at(path)) << "an overwrite changes " << path;
  }

  KillRepeatedly(expected, &old_files, &old_tree, reference,
                 "overwriting an existing tree");
  EXPECT_EQ(Snapshot(old_tree), old_files)
      << "a file was changed in place instead of replaced";
}

// An interrupt (Ctrl+C, a closed terminal, a stopping service) lets the
// run finish the file at hand: the run exits with 128 + the signal, and
// leaves complete files only, without a temporary file.
TEST_F(CrashSafetyTest, InterruptedRunsLeaveNoTemporaryFile) {
  Generate(kFoldersForOverwriting);
  const fs::path reference_tree = temp_ / "reference";
  const UninterruptedRun reference =
      RunToEnd(ConvertArgs(source_, reference_tree, "TBS480", false));
  const Files expected = Snapshot(reference_tree);
  std::mt19937 random(Seed());
  std::uniform_int_distribution<int> line(1, reference.progress_lines / 2);
  int interrupted = 0;
  int attempt = 0;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    for (int run = 0; run < 4; ++run, ++attempt) {
      const fs::path destination = temp_ / ("stop-" + std::to_string(attempt));
      CliProcess process(ConvertArgs(source_, destination, "TBS480", false));
      process.SkipLines(line(random));
      const int status = process.Signal(signal);
      ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
      if (WEXITSTATUS(status) == 0) continue;  // ended before the signal
      ++interrupted;
      EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
      // Stopped before its first folder was made: nothing was left.
      if (!fs::exists(destination)) continue;
      for (const auto& [relative, bytes] : Snapshot(destination)) {
        const auto reference_file = expected.find(relative);
        ASSERT_NE(reference_file, expected.end()) << "left " << relative;
        EXPECT_EQ(bytes, reference_file->second) << "partial " << relative;
      }
      fs::remove_all(destination);
    }
  }
  EXPECT_GE(interrupted, 6);
  EXPECT_EQ(Snapshot(source_), source_bytes_);
}

}  // namespace
}  // namespace cordshift
