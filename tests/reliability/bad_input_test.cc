// The bad-input matrix: sources that cannot be read, destinations that
// cannot be written, a disk that fills up, hostile file contents, names and
// paths, and settings files that are garbage. Each case shows what the user
// is told and that nothing is lost or half-written: the source tree stays
// byte for byte, and every file under its real name in the destination is
// complete.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/text_file.h"
#include "present/reasons.h"
#include "present/recording_display.h"
#include "present/run_presenter.h"
#include "settings/settings.h"
#include "support/temp_folder.h"
#include "support/wiring_fixture.h"
#include "wiring/conversions.h"
#include "wiring/summaries.h"

namespace cordshift {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
using std::string_literals::operator""s;

// A continuity file that converts, with its comment (良品), and what the
// conversion to the hipot layout writes for them.
constexpr std::string_view kGood =
    "TBL480\r\n20240312093000\r\n2\r\n3\r\nA1-B1,0,2000\r\nA2-B1,0,2000\r\n";
constexpr std::string_view kGoodComment =
    "[Purpose]\r\nComment=\x97\xC7\x95\x69\r\n";
constexpr std::string_view kGoodAsHipot =
    "TBS480\r\n20240312093000\r\n2\r\n3\r\n1-65,1,0,2000,1,0\r\n"
    "2-65,1,0,2000,1,0\r\n";

constexpr char kRunFailedMessage[] =
    "Loomvantage->LoomvantageHipotの変換に失敗しました";
constexpr char kListingFailedGuide[] =
    "変換元の Loomvantage の一覧表示ができませんでした";
constexpr char kAbortGuide[] = "異常を検出したため変換を終了します";

// Every file below a folder with its bytes, keyed by relative path; a file
// that fails to read counts with a marker rather than throwing.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    files[entry.path().lexically_relative(folder).string()] =
        ReadWholeFile(entry.path()).value_or("(unreadable)");
  }
  return files;
}

struct Report {
  int status = -1;
  Json json;

  std::string Result() const { return json.value("result", ""); }
  bool HasMessage(const std::string& text) const {
    for (const Json& message : json["messages"]) {
      if (message["text"] == text) return true;
    }
    return false;
  }
  bool HasGuide(const std::string& text) const {
    for (const Json& guide : json["guide"]) {
      if (guide == text) return true;
    }
    return false;
  }
  // The detail of the fault that stopped the run; empty when none did.
  std::string FaultDetail() const {
    for (const Json& file : json["files"]) {
      if (file["outcome"] == "fault") return file["detail"];
    }
    return "";
  }
};

Report RunConvert(std::vector<std::string> args) {
  args.insert(args.begin(), "cordshift-cli");
  args.push_back("--json");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out;
  std::ostringstream err;
  Report report;
  report.status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
  report.json = Json::parse(out.str());
  return report;
}

// Runs `body` in a child process and returns its wait status: for cases
// that set process limits, and for ones that would hang if a fault came
// back (the alarm ends the child then).
template <typename Body>
int InChild(Body body) {
  const pid_t pid = fork();
  if (pid == 0) {
    alarm(60);
    _exit(body());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

bool ExitedWith(int status, int code) {
  return WIFEXITED(status) && WEXITSTATUS(status) == code;
}

// A folder path of exactly `length` bytes below `base`, in parts of at most
// 200 bytes.
fs::path PathOfLength(const fs::path& base, std::size_t length) {
  fs::path path = base;
  while (path.native().size() < length) {
    const std::size_t left = length - path.native().size() - 1;
    // A last part of fewer than 10 bytes is avoided by taking a shorter
    // part before it.
    const std::size_t part =
        left <= 200 ? left : std::min<std::size_t>(190, left - 10);
    path /= std::string(part, 'p');
  }
  return path;
}

class BadInputTest : public ::testing::Test {
 protected:
  // The good file goes into folder "a", which the run converts before any
  // bad input in folder "b".
  BadInputTest() {
    WriteBytes(Source() / "a" / "A_good.lvd", kGood);
    WriteBytes(Source() / "a" / "A_good.ini", kGoodComment);
  }

  fs::path Source() const { return temp_.path() / "source"; }
  fs::path Destination() const { return temp_.path() / "destination"; }

  // Converts Source() to the hipot layout and checks that the source did
  // not change and that no temporary file was left behind.
  Report Convert(const fs::path& destination,
                 std::vector<std::string> extra = {}) {
    const auto before = Snapshot(Source());
    std::vector<std::string> args = {
        "convert",     Source().string(), destination.string(),
        "--direction", "to-hipot",        "--model",
        "TBS480"};
    args.insert(args.end(), extra.begin(), extra.end());
    Report report = RunConvert(args);
    EXPECT_EQ(Snapshot(Source()), before) << "the source tree changed";
    if (fs::is_directory(destination)) ExpectNoTempFiles(destination);
    return report;
  }
  Report Convert() { return Convert(Destination()); }

  static void ExpectNoTempFiles(const fs::path& folder) {
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      EXPECT_FALSE(
          entry.path().filename().string().starts_with(kTempFilePrefix))
          << entry.path();
    }
  }

  // The good file was converted whole, whatever happened after it.
  void ExpectGoodFileConverted(const fs::path& destination) const {
    EXPECT_EQ(ReadBytes(destination / "a" / "A_good.lvd"), kGoodAsHipot);
    EXPECT_EQ(ReadBytes(destination / "a" / "A_good.ini"), kGoodComment);
  }

  // The run stopped at a fault in folder "b" with the run's message; folder
  // "a" is converted, nothing of "b" was written.
  void ExpectStoppedInFolderB(const Report& report, const std::string& detail) {
    EXPECT_EQ(report.status, kExitRunFailed);
    EXPECT_EQ(report.Result(), "failed");
    EXPECT_TRUE(report.HasMessage(kRunFailedMessage));
    EXPECT_EQ(report.FaultDetail(), detail);
    ExpectGoodFileConverted(Destination());
    EXPECT_FALSE(fs::exists(Destination() / "b"));
  }

  TempFolder temp_;
};

// --- Sources that cannot be read -------------------------------------------

// Root reads files whatever their permission bits, so a read failure is
// made otherwise: a link to /proc/self/mem opens but fails the first read
// (EIO), as a file without read permission fails for a normal user (there
// the open fails; the outcome is the same).
TEST_F(BadInputTest, SourceFileThatCannotBeReadStopsTheRun) {
  fs::create_directories(Source() / "b");
  fs::create_symlink("/proc/self/mem", Source() / "b" / "B_unreadable.lvd");
  const Report report = Convert();
  ExpectStoppedInFolderB(report, "cannot be read");
  EXPECT_TRUE(report.HasGuide(kListingFailedGuide));
}

TEST_F(BadInputTest, PipesAndFoldersNamedLikeWiringFilesArePassedOver) {
  fs::create_directories(Source() / "a" / "B_folder.lvd");
  ASSERT_EQ(mkfifo((Source() / "a" / "C_pipe.lvd").c_str(), 0644), 0);
  const Report report = Convert();
  EXPECT_EQ(report.status, kExitSuccess);
  EXPECT_EQ(report.json["converted"], "1");
  EXPECT_EQ(report.json["files"].size(), 1u);
  ExpectGoodFileConverted(Destination());
  EXPECT_EQ(Snapshot(Destination()).size(), 2u);
}

// Reading a named pipe used to wait for a writer forever; a companion
// comment file that is a pipe hung the whole run.
TEST_F(BadInputTest, CommentFileThatIsAPipeIsNotWaitedFor) {
  fs::remove(Source() / "a" / "A_good.ini");
  ASSERT_EQ(mkfifo((Source() / "a" / "A_good.ini").c_str(), 0644), 0);
  const int status = InChild([&] {
    return RunConvert({"convert", Source().string(), Destination().string(),
                       "--direction", "to-hipot", "--model", "TBS480"})
        .status;
  });
  EXPECT_TRUE(ExitedWith(status, kExitSuccess)) << "status " << status;
  EXPECT_EQ(ReadBytes(Destination() / "a" / "A_good.lvd"), kGoodAsHipot);
  EXPECT_FALSE(fs::exists(Destination() / "a" / "A_good.ini"));
}

TEST(ReadWholeFileTest, RefusesPipesAndDevicesWithoutWaiting) {
  TempFolder temp;
  const fs::path pipe = temp / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  const int status = InChild([&] {
    const bool refused = !ReadWholeFile(pipe) && !ReadWholeFile("/dev/zero") &&
                         !ReadWholeFile(temp.path());
    return refused ? 0 : 1;
  });
  EXPECT_TRUE(ExitedWith(status, 0)) << "status " << status;
}

// A file listed by the folder enumeration that is gone when it is read.
TEST(VanishingFileTest, ListingAndConversionReportItAsUnreadable) {
  TempFolder temp;
  const fs::path folder = temp / "source";
  WriteBytes(folder / "W.lvd", kGood);
  WiringFileList source = testing::ListFolder(folder);
  WiringWorkspace workspace;
  RecordingDisplay view;
  ASSERT_TRUE(
      SummarizeContinuityFiles(source, workspace, nullptr, view).complete());
  fs::remove(folder / "W.lvd");

  WiringFileList listed_again = source;
  const SummaryReading reading =
      SummarizeContinuityFiles(listed_again, workspace, nullptr, view);
  ASSERT_TRUE(reading.fault);
  EXPECT_EQ(FaultDetail(*reading.fault->fault), "cannot be read");

  const fs::path destination = temp / "destination";
  fs::create_directories(destination);
  ConversionInputs inputs;
  inputs.model_name = "TBS480";
  inputs.lower = "0";
  inputs.upper = "2000";
  FolderJob job;
  job.source = &source;
  job.destination_folder = destination.string() + "/";
  RunPresenter presenter(view, Direction::kContinuityToHipot);
  EXPECT_FALSE(ConvertFolderToHipot(presenter, job, inputs, workspace));
  EXPECT_EQ(view.guides().back(), kAbortGuide);
  ASSERT_TRUE(view.reports().back().fault);
  EXPECT_EQ(FaultDetail(*view.reports().back().fault), "cannot be read");
  EXPECT_TRUE(fs::is_empty(destination));
}

// --- Destinations that cannot be written -----------------------------------

TEST_F(BadInputTest, DestinationUnderOrAtAFileIsRefusedAndTheFileKept) {
  const fs::path file = temp_.path() / "plain.txt";
  WriteBytes(file, "keep me");
  const struct { fs::path destination; } kCases[] = {{file / "out"}, {file}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.destination);
    const Report report = Convert(c.destination);
    EXPECT_EQ(report.status, kExitRunFailed);
    EXPECT_TRUE(report.HasMessage(kRunFailedMessage));
    EXPECT_TRUE(report.HasGuide(kAbortGuide));
    EXPECT_EQ(
        report.FaultDetail(),
        "cannot create the folder " + file.string() + ": a file has that name");
    EXPECT_EQ(ReadBytes(file), "keep me");
  }
}

// The program refuses a read-only destination file itself, so this holds
// for root as well.
TEST_F(BadInputTest, ReadOnlyDestinationFileIsNotReplaced) {
  const fs::path target = Destination() / "a" / "A_good.lvd";
  WriteBytes(target, "old and read-only");
  testing::MakeReadOnly(target);
  const Report report = Convert(Destination(), {"--overwrite"});
  EXPECT_EQ(report.status, kExitRunFailed);
  EXPECT_TRUE(report.HasMessage(kRunFailedMessage));
  EXPECT_EQ(report.FaultDetail(),
            "cannot write " + target.string() + ": the file is read-only");
  EXPECT_EQ(ReadBytes(target), "old and read-only");
}

// A file system that fills up part-way through a folder: a small RAM disk,
// which root may mount. Every file is either complete or not there.
TEST_F(BadInputTest, FullDiskStopsTheRunWithOnlyCompleteFiles) {
  const fs::path disk = temp_.path() / "small-disk";
  fs::create_directories(disk);
  if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
  }
  struct Unmount {
    fs::path path;
    ~Unmount() { umount2(path.c_str(), MNT_DETACH); }
  } unmount{disk};

  // Twenty files of about 9 KB each as hipot files: the disk holds a few.
  std::map<std::string, std::string> expected;
  for (int file = 0; file < 20; ++file) {
    std::string text = "TBL480\r\n20240312093000\r\n400\r\n2\r\n";
    std::string hipot = "TBS480\r\n20240312093000\r\n400\r\n2\r\n";
    for (int record = 0; record < 400; ++record) {
      text += "A1-B1,0,2000\r\n";
      hipot += "1-65,1,0,2000,1,0\r\n";
    }
    const std::string name = "F" + std::to_string(100 + file);
    WriteBytes(Source() / "b" / (name + ".lvd"), text);
    expected["b/" + name + ".lvd"] = hipot;
  }
  expected["a/A_good.lvd"] = kGoodAsHipot;
  expected["a/A_good.ini"] = kGoodComment;

  const Report report = Convert(disk / "out");
  EXPECT_EQ(report.status, kExitRunFailed);
  EXPECT_TRUE(report.HasMessage(kRunFailedMessage));
  EXPECT_TRUE(report.FaultDetail().starts_with("cannot write "));
  const auto written = Snapshot(disk / "out");
  EXPECT_GE(written.size(), 3u);
  EXPECT_LT(written.size(), expected.size());
  for (const auto& [path, bytes] : written) {
    EXPECT_EQ(bytes, expected.at(path)) << path;
  }
}

// A write that fails part-way (the file-size limit of the process is lower
// than the new file): the file that was there before stays whole.
TEST_F(BadInputTest, WriteFailingPartWayKeepsTheOldFile) {
  std::string big = "TBL480\r\n20240312093000\r\n2000\r\n2\r\n";
  for (int record = 0; record < 2000; ++record) big += "A1-B1,0,2000\r\n";
  WriteBytes(Source() / "a" / "A_good.lvd", big);
  const fs::path target = Destination() / "a" / "A_good.lvd";
  WriteBytes(target, "the old file");

  const int status = InChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit = {8192, 8192};
    setrlimit(RLIMIT_FSIZE, &limit);
    const Report report = RunConvert(
        {"convert", Source().string(), Destination().string(), "--direction",
         "to-hipot", "--model", "TBS480", "--overwrite"});
    return report.FaultDetail() == "cannot write " + target.string() +
                                       ": writing failed (is the disk full?)"
               ? report.status
               : 99;
  });
  EXPECT_TRUE(ExitedWith(status, kExitRunFailed)) << "status " << status;
  EXPECT_EQ(ReadBytes(target), "the old file");
  ExpectNoTempFiles(Destination());
}

// --- File contents ---------------------------------------------------------

std::string Header(std::string_view model_name = "TBL480") {
  return std::string(model_name) + "\r\n20240312093000\r\n1\r\n2\r\n";
}

struct ContentCase {
  const char* what;
  std::string bytes;
  const char* fault;  // the fault detail; nullptr when the file converts
};

TEST_F(BadInputTest, HostileContentsStopCleanlyOrConvert) {
  const std::string megabyte(1 << 20, '7');
  const ContentCase kCases[] = {
      {"empty file", "", "invalid header"},
      {"only CR", std::string(64, '\r'), "invalid header"},
      {"1 MB model name line", Header(megabyte) + "A1-B1,0,2000\r\n", nullptr},
      {"1 MB limit field", Header() + "A1-B1,0," + megabyte + "\r\n", nullptr},
      {"1 MB terminal", Header() + "A1-B" + megabyte + ",0,2000\r\n",
       "malformed record at line 5"},
      {"1 MB line without a line end", megabyte, "invalid header"},
      {"NUL in a record",
       Header() + "A1-B\0"
                  "1,0,2000\r\n"s,
       "malformed record at line 5"},
      {"NUL in the model name",
       Header(std::string("TB\0L", 4)) + "A1-B1,0,2000\r\n", nullptr},
      {"lone Shift-JIS lead byte", Header("\x81") + "A1-B1,0,2000\r\n",
       nullptr},
      {"lead byte before the delimiter", Header() + "A1\x81-B1,0,2000\r\n",
       "malformed record at line 5"},
      {"invalid Shift-JIS bytes",
       Header("\xFF\xFD\x80\xA0") + "A1-B1,0,2000\r\n", nullptr},
  };
  for (const ContentCase& c : kCases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(Source() / "b");
    fs::remove_all(Destination());
    WriteBytes(Source() / "b" / "B_bad.lvd", c.bytes);
    const Report report = Convert();
    if (c.fault != nullptr) {
      ExpectStoppedInFolderB(report, c.fault);
      continue;
    }
    EXPECT_EQ(report.status, kExitSuccess);
    ExpectGoodFileConverted(Destination());
    EXPECT_EQ(ReadBytes(Destination() / "b" / "B_bad.lvd"),
              "TBS480\r\n20240312093000\r\n1\r\n2\r\n1-65,1,0,2000,1,0\r\n");
  }
}

TEST_F(BadInputTest, TwoHundredThousandRecordsConvert) {
  constexpr int kRecords = 200'000;
  std::string text = "TBL480\r\n20240312093000\r\n200000\r\n8192\r\n";
  text.reserve(text.size() + kRecords * 16);
  for (int record = 0; record < kRecords; ++record) {
    const int from = record % 4096 + 1;
    text += "A" + std::to_string(from) + "-B" + std::to_string(from) +
            ",0,2000\r\n";
  }
  WriteBytes(Source() / "b" / "B_large.lvd", text);
  const Report report = Convert();
  EXPECT_EQ(report.status, kExitSuccess);
  const std::string written = ReadBytes(Destination() / "b" / "B_large.lvd");
  EXPECT_TRUE(
      written.starts_with("TBS480\r\n20240312093000\r\n200000\r\n8192\r\n"));
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), kRecords + 4);
  EXPECT_TRUE(written.ends_with("\r\n"));
}

TEST_F(BadInputTest, CommentWithInvalidShiftJisIsCopiedByteForByte) {
  const std::string comment = "[Purpose]\r\nComment=\x81\x20\xFF\x80\x81\r\n";
  WriteBytes(Source() / "a" / "A_good.ini", comment);
  const Report report = Convert();
  EXPECT_EQ(report.status, kExitSuccess);
  EXPECT_EQ(ReadBytes(Destination() / "a" / "A_good.ini"), comment);
}

// Linux file names are bytes; the converted file keeps the same bytes and
// the JSON report shows them with replacement characters.
TEST_F(BadInputTest, FileNameThatIsNotUtf8) {
  const std::string name = "W\xFF\xFE";
  WriteBytes(Source() / "a" / (name + ".lvd"), kGood);
  const Report report = Convert();
  EXPECT_EQ(report.status, kExitSuccess);
  EXPECT_EQ(report.json["converted"], "2");
  EXPECT_EQ(ReadBytes(Destination() / "a" / (name + ".lvd")), kGoodAsHipot);
  EXPECT_EQ(report.json["destination_rows"][1][1], "W\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST_F(BadInputTest, VeryDeepTreeIsMirroredWhole) {
  constexpr int kDepth = 1000;
  // One level at a time: libstdc++'s create_directories gives up on a path
  // of that many parts.
  fs::path relative = "b";
  fs::create_directory(Source() / relative);
  for (int level = 0; level < kDepth; ++level) {
    relative /= "d";
    fs::create_directory(Source() / relative);
  }
  WriteBytes(Source() / relative / "W.lvd", kGood);
  const Report report = Convert();
  EXPECT_EQ(report.status, kExitSuccess);
  EXPECT_EQ(report.json["converted"], "2");
  EXPECT_EQ(ReadBytes(Destination() / relative / "W.lvd"), kGoodAsHipot);
}

// Linux refuses paths of PATH_MAX (4096) bytes or more. A destination file
// path close to the limit converts where the file is staged without a name
// (O_TMPFILE) and is refused where the temporary file's longer name no
// longer fits; beyond the limit it is refused in any case. A refusal is a
// clear fault.
TEST_F(BadInputTest, PathsNearTheLengthLimit) {
  fs::remove_all(Source() / "a");
  const fs::path long_source = PathOfLength(temp_.path() / "s", 4090 - 6);
  WriteBytes(long_source / "W.lvd", kGood);
  enum class Outcome { kConverts, kRefused, kEither };
  const struct {
    const char* what;
    fs::path source;
    std::size_t destination_length;  // of the converted file's path
    Outcome outcome;
  } kCases[] = {
      {"source path of 4090 bytes", long_source, 200, Outcome::kConverts},
      {"destination path of 4060 bytes", long_source.parent_path(), 4060,
       Outcome::kConverts},
      {"destination path of 4090 bytes", long_source.parent_path(), 4090,
       Outcome::kEither},
      {"destination path of 4200 bytes", long_source.parent_path(), 4200,
       Outcome::kRefused},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    // The last folder of the destination mirrors the source folder's name.
    const std::string last =
        c.source == long_source ? "" : long_source.filename().string();
    const std::size_t folder_length =
        c.destination_length - 6 - (last.empty() ? 0 : last.size() + 1);
    const fs::path destination =
        PathOfLength(temp_.path() / "d", folder_length);
    const fs::path target =
        (last.empty() ? destination : destination / last) / "W.lvd";
    ASSERT_EQ(target.native().size(), c.destination_length);
    const Report report =
        RunConvert({"convert", c.source.string(), destination.string(),
                    "--direction", "to-hipot", "--model", "TBS480"});
    const bool converted = report.status == kExitSuccess;
    if (c.outcome != Outcome::kEither) {
      EXPECT_EQ(converted, c.outcome == Outcome::kConverts);
    }
    if (converted) {
      EXPECT_EQ(ReadBytes(target), kGoodAsHipot);
    } else {
      EXPECT_EQ(report.status, kExitRunFailed);
      EXPECT_TRUE(report.HasMessage(kRunFailedMessage));
      // Refused where its folder is made, or where the file is written.
      const std::string detail = report.FaultDetail();
      EXPECT_TRUE(
          detail.starts_with("cannot write " + target.string() + ": ") ||
          (detail.starts_with("cannot create the folder ") &&
           detail.ends_with(": the path is too long")))
          << detail;
    }
    fs::remove_all(temp_.path() / "d");
  }
}

// --- Settings files ----------------------------------------------------------

class BadSettingsTest : public ::testing::Test {
 protected:
  fs::path IniPath() const { return temp_.path() / "Cordshift.ini"; }
  SettingsStore Store() const { return SettingsStore(IniPath(), "/data/"); }

  static void ExpectDefaults(const Settings& s) {
    EXPECT_EQ(s.source_folder, "/data/");
    EXPECT_EQ(s.destination_folder, "/data/");
    EXPECT_EQ(s.direction, Direction::kContinuityToHipot);
    EXPECT_EQ(s.notation, Notation::kAb);
    EXPECT_EQ(s.model_name, "");
    EXPECT_EQ(s.lower, "0");
    EXPECT_EQ(s.upper, "2000");
    EXPECT_FALSE(s.overwrite);
  }

  TempFolder temp_;
};

TEST_F(BadSettingsTest, BinaryGarbageLoadsTheDefaults) {
  std::mt19937 random(20240312);
  std::string garbage(64 * 1024, '\0');
  for (char& c : garbage) {
    c = static_cast<char>(random() & 0xFF);
    if (c == '[') c = '?';  // no section, so that no key can be found
  }
  WriteBytes(IniPath(), garbage);
  Settings settings;
  ASSERT_TRUE(Store().LoadSettings(settings));
  ExpectDefaults(settings);
}

TEST_F(BadSettingsTest, TenMegabyteFileIsReadWhole) {
  std::string text = "[Inspection]\r\n";
  while (text.size() < 10 * 1024 * 1024) {
    text += "; a comment line that pads the file to ten megabytes\r\n";
  }
  text += "Lower=10\r\nUpper=500\r\nEquipment=TBS480\r\n";
  WriteBytes(IniPath(), text);
  Settings settings;
  ASSERT_TRUE(Store().LoadSettings(settings));
  EXPECT_EQ(settings.lower, "10");
  EXPECT_EQ(settings.upper, "500");
  EXPECT_EQ(settings.model_name, "TBS480");
}

// A value ends at a NUL byte, as the profile reader of the tester family
// hands it over; a folder that went on past it would name another folder
// than the one shown.
TEST_F(BadSettingsTest, ValuesEndAtANulByte) {
  WriteBytes(IniPath(),
             "[Path]\r\nSrcDir=/data/in\0/x\r\n"
             "[Inspection]\r\nEquipment=TB\0S480\r\nOverWrite=1\0\r\n"s);
  Settings settings;
  ASSERT_TRUE(Store().LoadSettings(settings));
  EXPECT_EQ(settings.source_folder, "/data/in/");
  EXPECT_EQ(settings.model_name, "TB");
  EXPECT_TRUE(settings.overwrite);
}

// Root reads any file, so unreadable settings files are made of things
// that are not files. Loading gives the defaults (as for a missing file);
// saving fails with the message and leaves the thing as it was.
TEST_F(BadSettingsTest, UnreadableFileLoadsDefaultsAndIsNotOverwritten) {
  const struct {
    const char* what;
    void (*make)(const fs::path&);
  } kCases[] = {
      {"a folder", [](const fs::path& p) { fs::create_directories(p); }},
      {"a pipe", [](const fs::path& p) { mkfifo(p.c_str(), 0644); }},
      {"a file that fails to read",
       [](const fs::path& p) { fs::create_symlink("/proc/self/mem", p); }},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(IniPath());
    c.make(IniPath());
    const fs::file_type type = fs::symlink_status(IniPath()).type();
    Settings settings;
    ASSERT_TRUE(Store().LoadSettings(settings));
    ExpectDefaults(settings);
    RecordingDisplay messages;
    EXPECT_FALSE(Store().SaveSettings(settings, messages));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, kSettingsSaveFailedText);
    EXPECT_EQ(fs::symlink_status(IniPath()).type(), type);
  }
}

}  // namespace
}  // namespace cordshift
