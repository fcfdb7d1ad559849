#include "wiring/conversions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/folder_scan.h"
#include "platform/text_file.h"
#include "present/reasons.h"
#include "present/recording_display.h"
#include "present/run_presenter.h"
#include "support/temp_folder.h"
#include "support/wiring_fixture.h"
#include "wiring/companion.h"
#include "wiring/summaries.h"
#include "wiring/wiring_file.h"

namespace cordshift {
namespace {

using testing::CopyTestData;
using testing::MakeReadOnly;
using testing::ReadBytes;
using testing::Snapshot;
using testing::TempFolder;
using testing::WriteBytes;
using testing::WriteLines;
using Row = RecordingDisplay::Row;

constexpr char kAbortGuide[] = "異常を検出したため変換を終了します";

// A view that lets a test act as another writer when a guide text shows.
class HookedView : public RecordingDisplay {
 public:
  void ShowGuide(std::string_view text) override {
    RecordingDisplay::ShowGuide(text);
    if (on_guide) on_guide(text);
  }

  std::function<void(std::string_view)> on_guide;
};

class ConversionTest : public ::testing::Test {
 protected:
  ConversionTest() {
    std::filesystem::create_directories(source_);
    std::filesystem::create_directories(destination_);
    inputs_.model_name = "TBS480";
    inputs_.lower = "0";
    inputs_.upper = "2000";
  }

  // Lists the source folder as the run does, then converts it.
  bool Convert(Direction direction) {
    source_list_ = testing::ListFolder(source_);
    const SummaryReading reading =
        direction == Direction::kContinuityToHipot
            ? SummarizeContinuityFiles(source_list_, workspace_, nullptr, view_)
            : SummarizeHipotFiles(source_list_, workspace_, nullptr, view_);
    EXPECT_TRUE(reading.complete());
    return ConvertListed(direction);
  }

  // Converts with every file counted as having circuits, so that files the
  // summary would refuse reach the conversion.
  bool ConvertUnlisted(Direction direction) {
    source_list_ = testing::ListFolder(source_);
    for (WiringFile& file : source_list_) file.summary.circuits = 1;
    return ConvertListed(direction);
  }

  // Converts the source list into the destination folder, shown as a run
  // shows it; converted_ counts the files written.
  bool ConvertListed(Direction direction) {
    const auto source_before = Snapshot(source_);
    FolderJob job;
    job.source = &source_list_;
    job.destination_folder = destination_.string() + "/";
    job.destination_files = destination_files_;
    RunPresenter presenter(view_, direction);
    presenter.FolderConversionStarted(job.destination_folder);
    const bool ok =
        direction == Direction::kContinuityToHipot
            ? ConvertFolderToHipot(presenter, job, inputs_, workspace_)
            : ConvertFolderToContinuity(presenter, job, inputs_, workspace_);
    if (ok) presenter.FolderConverted(job.destination_folder);
    presenter.RunEnded(false);
    converted_ = static_cast<int>(
        std::count_if(view_.reports().begin(), view_.reports().end(),
                      [](const FileReport& report) {
                        return report.outcome == FileOutcome::kConverted;
                      }));
    // Whatever happened, the source files stay exactly as they were.
    EXPECT_EQ(Snapshot(source_), source_before);
    return ok;
  }

  // The detail of the last fault reported.
  std::string LastFaultDetail() const {
    for (auto report = view_.reports().rbegin();
         report != view_.reports().rend(); ++report) {
      if (report->fault) return FaultDetail(*report->fault);
    }
    return "";
  }

  void AddSource(const std::string& name,
                 const std::vector<std::string>& lines) {
    WriteLines(source_ / (name + ".lvd"), lines);
  }

  // The record lines (line 5 on) of a destination file.
  std::vector<std::string> DestinationRecords(const std::string& name) {
    const std::string bytes = ReadBytes(destination_ / (name + ".lvd"));
    std::vector<std::string> lines;
    LineReader reader(bytes);
    while (auto line = reader.Next()) lines.emplace_back(*line);
    if (lines.size() < 4) return {};
    return {lines.begin() + 4, lines.end()};
  }

  // Line 4 of a destination file.
  std::string DestinationTerminalCount(const std::string& name) {
    const std::string bytes = ReadBytes(destination_ / (name + ".lvd"));
    LineReader reader(bytes);
    for (int line = 1; line < 4; ++line) reader.Next();
    return std::string(reader.Next().value_or(""));
  }

  bool NoTemporaryFiles() {
    for (const auto& entry :
         std::filesystem::directory_iterator(destination_)) {
      if (entry.path().filename().string().starts_with(kTempFilePrefix)) {
        return false;
      }
    }
    return true;
  }

  TempFolder temp_;
  std::filesystem::path source_ = temp_ / "src";
  std::filesystem::path destination_ = temp_ / "dst";
  HookedView view_;
  WiringWorkspace workspace_;
  WiringFileList source_list_;
  // The destination folder as a run opens it; opened by the conversion when
  // null.
  std::shared_ptr<OpenedFolder> destination_files_;
  ConversionInputs inputs_;
  int converted_ = 0;
};

TEST_F(ConversionTest, ContinuityFolderMatchesGoldenHipotFiles) {
  source_ = CopyTestData(temp_, "convert/continuity");
  ASSERT_TRUE(Convert(Direction::kContinuityToHipot));
  EXPECT_EQ(Snapshot(destination_),
            Snapshot(std::filesystem::path(CORDSHIFT_TEST_DATA_DIR) /
                     "convert/expected_hipot"));
  EXPECT_EQ(view_.Rows(ListId::kDestination),
            (std::vector<Row>{
                {"   1", "01_ab", "    3", "    5", "    0", "  193"},
                {"   2", "02_seq", "    4", "    4", "    0", "   65"}}));
  EXPECT_EQ(view_.converted_count(), "2");
  const std::string folder = destination_.string() + "/";
  EXPECT_EQ(
      view_.guides(),
      (std::vector<std::string>{
          folder + "フォルダの変換中...", "1件目変換中...", "2件目変換中...",
          "3件目変換中...", folder + "フォルダ 変換完了"}));
}

struct GoldenCase {
  Notation notation;
  const char* expected_folder;
  Row first_row;
  Row second_row;
};

class HipotGoldenTest : public ConversionTest,
                        public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(HipotGoldenTest, HipotFolderMatchesGoldenContinuityFiles) {
  source_ = CopyTestData(temp_, "convert/hipot");
  inputs_.model_name = "  TBL480 ";
  inputs_.notation = GetParam().notation;
  ASSERT_TRUE(Convert(Direction::kHipotToContinuity));
  EXPECT_EQ(Snapshot(destination_),
            Snapshot(std::filesystem::path(CORDSHIFT_TEST_DATA_DIR) /
                     "convert" / GetParam().expected_folder));
  EXPECT_EQ(view_.Rows(ListId::kDestination),
            (std::vector<Row>{GetParam().first_row, GetParam().second_row}));
  EXPECT_EQ(view_.converted_count(), "2");
}

INSTANTIATE_TEST_SUITE_P(
    Notations, HipotGoldenTest,
    ::testing::Values(
        GoldenCase{Notation::kAb,
                   "expected_continuity_ab",
                   {"   1", "01", "    2", "    3", "    0", "   B2"},
                   {"   2", "02", "    2", "    4", "    0", "B4096"}},
        GoldenCase{Notation::kSequential,
                   "expected_continuity_seq",
                   {"   1", "01", "    2", "    3", "    0", "   66"},
                   {"   2", "02", "    2", "    4", "    0", " 8192"}}));

struct RecordCase {
  const char* record;  // field 1 of the source record
  Notation notation;
  const char* expected;  // field 1 written; nullptr: the folder aborts
  int terminals = 0;     // the terminal count written
};

// The source holds the record four times: the first lines of a file are
// mostly read in one step, the last ones (fewer than 32 bytes from the end)
// by the general reading, and both must give the same result.
constexpr int kRecordCopies = 4;

class ToHipotRecordTest : public ConversionTest,
                          public ::testing::WithParamInterface<RecordCase> {};

TEST_P(ToHipotRecordTest, RecordConverts) {
  std::vector<std::string> lines = {"M", "20240101000000", "1", "1"};
  lines.insert(lines.end(), kRecordCopies,
               std::string(GetParam().record) + ",0,100");
  AddSource("F", lines);
  const bool ok = ConvertUnlisted(Direction::kContinuityToHipot);
  if (GetParam().expected == nullptr) {
    EXPECT_FALSE(ok);
    EXPECT_FALSE(std::filesystem::exists(destination_ / "F.lvd"));
    EXPECT_EQ(view_.guides().back(), kAbortGuide);
    EXPECT_TRUE(view_.messages().empty());
    return;
  }
  ASSERT_TRUE(ok);
  EXPECT_EQ(
      DestinationRecords("F"),
      std::vector<std::string>(
          kRecordCopies, std::string(GetParam().expected) + ",1,0,2000,1,0"));
  EXPECT_EQ(DestinationTerminalCount("F"),
            std::to_string(GetParam().terminals));
}

INSTANTIATE_TEST_SUITE_P(
    Records, ToHipotRecordTest,
    ::testing::Values(RecordCase{"A1-B1", Notation::kAb, "1-65", 2},
                      RecordCase{"a1-b1", Notation::kAb, "1-65", 2},
                      RecordCase{"b64-A1", Notation::kAb, "128-1", 2},
                      RecordCase{"A65-B65", Notation::kAb, "129-193", 2},
                      RecordCase{"A001-B4096", Notation::kAb, "1-8192", 2},
                      RecordCase{"A4096-A4096", Notation::kAb, "8128-8128", 1},
                      RecordCase{"A00001-B1", Notation::kAb, "1-65", 2},
                      RecordCase{" B64 - a2 ", Notation::kAb, "128-2", 2},
                      RecordCase{"0001-0065", Notation::kAb, "0001-0065", 2},
                      RecordCase{"0000-1", Notation::kAb, "0000-1", 1},
                      RecordCase{"1-9000", Notation::kAb, "1-9000", 1},
                      RecordCase{"12345-1", Notation::kAb, "12345-1", 1},
                      RecordCase{"0005-", Notation::kAb, "0005-", 1},
                      // ア1: the trail byte of ア is "A", yet no letter.
                      RecordCase{"\x83\x41"
                                 "1-b1",
                                 Notation::kAb,
                                 "\x83\x41"
                                 "1-B1",
                                 0},
                      RecordCase{"A1-65", Notation::kAb, nullptr},
                      RecordCase{"A1-C5", Notation::kAb, nullptr},
                      RecordCase{"A0-A1", Notation::kAb, nullptr},
                      RecordCase{"A4097-A1", Notation::kAb, nullptr},
                      RecordCase{"A1-b", Notation::kAb, nullptr},
                      RecordCase{"A5-", Notation::kAb, nullptr},
                      RecordCase{"A1-A2-A3", Notation::kAb, nullptr},
                      RecordCase{"A1", Notation::kAb, nullptr}));

class ToContinuityRecordTest
    : public ConversionTest,
      public ::testing::WithParamInterface<RecordCase> {};

TEST_P(ToContinuityRecordTest, RecordConverts) {
  std::vector<std::string> lines = {"M", "20240101000000", "1", "1"};
  lines.insert(lines.end(), kRecordCopies,
               std::string(GetParam().record) + ",1,0,2000,1,0");
  AddSource("F", lines);
  inputs_.notation = GetParam().notation;
  inputs_.upper = " 100 ";
  const bool ok = ConvertUnlisted(Direction::kHipotToContinuity);
  if (GetParam().expected == nullptr) {
    EXPECT_FALSE(ok);
    EXPECT_FALSE(std::filesystem::exists(destination_ / "F.lvd"));
    EXPECT_EQ(view_.guides().back(), kAbortGuide);
    return;
  }
  ASSERT_TRUE(ok);
  EXPECT_EQ(DestinationRecords("F"),
            std::vector<std::string>(
                kRecordCopies, std::string(GetParam().expected) + ",0,100"));
  EXPECT_EQ(DestinationTerminalCount("F"),
            std::to_string(GetParam().terminals));
}

INSTANTIATE_TEST_SUITE_P(
    Records, ToContinuityRecordTest,
    ::testing::Values(
        RecordCase{"1-17", Notation::kSequential, "0001-0017", 2},
        RecordCase{"1-17", Notation::kAb, "A1-A17", 2},
        RecordCase{"65-129", Notation::kAb, "B1-A65", 2},
        RecordCase{"0065-8192", Notation::kAb, "B1-B4096", 2},
        RecordCase{"8192-8192", Notation::kSequential, "8192-8192", 1},
        RecordCase{"00001-2", Notation::kSequential, "0001-0002", 2},
        RecordCase{" 12.4 - 1 ", Notation::kSequential, "0012-0001", 2},
        RecordCase{"0-1", Notation::kSequential, nullptr},
        RecordCase{"8193-1", Notation::kSequential, nullptr},
        RecordCase{"1-", Notation::kSequential, nullptr},
        RecordCase{"A1-2", Notation::kAb, nullptr},
        RecordCase{"1-2-3", Notation::kAb, nullptr}));

struct HeaderCase {
  std::vector<std::string> header;
  const char* message;  // nullptr: aborts without a message
};

class HeaderFaultTest : public ConversionTest,
                        public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(HeaderFaultTest, FaultInThirdFileKeepsTheFirstTwo) {
  for (const char* name : {"1", "2"}) {
    AddSource(name, {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  }
  std::vector<std::string> third = GetParam().header;
  third.push_back("A1-A2,0,100");
  AddSource("3", third);
  EXPECT_FALSE(ConvertUnlisted(Direction::kContinuityToHipot));
  if (GetParam().message) {
    EXPECT_EQ(view_.messages(),
              (std::vector<RecordedMessage>{
                  {GetParam().message, MessageIcon::kExclamation}}));
  } else {
    EXPECT_TRUE(view_.messages().empty());
  }
  EXPECT_EQ(view_.guides().back(), kAbortGuide);
  EXPECT_EQ(view_.Rows(ListId::kDestination).size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(destination_ / "1.lvd"));
  EXPECT_TRUE(std::filesystem::exists(destination_ / "2.lvd"));
  EXPECT_FALSE(std::filesystem::exists(destination_ / "3.lvd"));
  // The two files written are on the disk and in the list, so they count.
  EXPECT_EQ(view_.converted_count(), "2");
  EXPECT_EQ(converted_, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, HeaderFaultTest,
    ::testing::Values(HeaderCase{{"   ", "20240101000000", "1", "2"},
                                 "変換元：3 行目の機器名が異常です"},
                      HeaderCase{{"M", "20241301000000", "1", "2"},
                                 "変換元：3 行目の年月日が異常です"},
                      HeaderCase{{"M", "2024010100000", "1", "2"},
                                 "変換元：3 行目の年月日が異常です"},
                      HeaderCase{{"M", "20240101000000", "-1", "2"},
                                 "変換元：3 行目の回路数が異常です"},
                      HeaderCase{{"M", "20240101000000", "1", "two"},
                                 "変換元：3 行目の端子数が異常です"}));

TEST_F(ConversionTest, FolderWithNothingToConvertShowsZero) {
  AddSource("1", {"M", "20240101000000", "0", "0"});
  AddSource("2", {"M", "20240101000000", "1", "1", "12-,1,0,2000,1,0"});
  ASSERT_TRUE(Convert(Direction::kHipotToContinuity));
  EXPECT_EQ(view_.converted_count(), "0");
  EXPECT_TRUE(view_.Rows(ListId::kDestination).empty());
  EXPECT_TRUE(Snapshot(destination_).empty());
  ASSERT_EQ(view_.reports().size(), 2u);
  EXPECT_EQ(view_.reports()[0].outcome, FileOutcome::kSkippedNoCircuits);
  EXPECT_EQ(view_.reports()[1].outcome, FileOutcome::kSkippedSingleEnded);
}

TEST_F(ConversionTest, SkippedFilesStillHaveTheirHeaderChecked) {
  AddSource("1", {"M", "bad date", "0", "0"});
  EXPECT_FALSE(Convert(Direction::kContinuityToHipot));
  EXPECT_EQ(view_.messages().size(), 1u);
}

struct OverwriteCase {
  bool overwrite;
  bool replaced;
};

class OverwriteTest : public ConversionTest,
                      public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteTest, ExistingDestinationFollowsTheOverwriteFlag) {
  AddSource("F", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  WriteBytes(source_ / "F.ini", "[Purpose]\r\nComment=new\r\n");
  const std::string old_file = "old wiring data\r\n";
  const std::string old_ini =
      "[Other]\r\nKeep=1\r\n[Purpose]\r\nComment=old\r\n";
  WriteBytes(destination_ / "F.lvd", old_file);
  WriteBytes(destination_ / "F.ini", old_ini);
  inputs_.overwrite = GetParam().overwrite;

  ASSERT_TRUE(Convert(Direction::kContinuityToHipot));
  if (GetParam().replaced) {
    EXPECT_EQ(DestinationRecords("F"),
              std::vector<std::string>{"1-2,1,0,2000,1,0"});
    EXPECT_EQ(ReadBytes(destination_ / "F.ini"),
              "[Other]\r\nKeep=1\r\n[Purpose]\r\nComment=new\r\n");
    EXPECT_EQ(view_.converted_count(), "1");
  } else {
    EXPECT_EQ(ReadBytes(destination_ / "F.lvd"), old_file);
    EXPECT_EQ(ReadBytes(destination_ / "F.ini"), old_ini);
    EXPECT_EQ(view_.converted_count(), "0");
    EXPECT_TRUE(view_.Rows(ListId::kDestination).empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Flags, OverwriteTest,
                         ::testing::Values(OverwriteCase{false, false},
                                           OverwriteCase{true, true}));

TEST_F(ConversionTest, BadRecordAbortsEvenWhenDestinationIsKept) {
  AddSource("F", {"M", "20240101000000", "1", "2", "A1-65,0,100"});
  WriteBytes(destination_ / "F.lvd", "old");
  EXPECT_FALSE(ConvertUnlisted(Direction::kContinuityToHipot));
  EXPECT_EQ(ReadBytes(destination_ / "F.lvd"), "old");
}

TEST_F(ConversionTest, CommentIsCopiedOnlyWhenTheSourceHasOne) {
  AddSource("A", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  AddSource("B", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  AddSource("C", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  AddSource("D", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  WriteBytes(source_ / "B.ini", "[Purpose]\r\nOther=x\r\n");
  WriteBytes(source_ / "C.ini", "[Purpose]\r\nComment=ERR\r\n");
  WriteBytes(source_ / "D.ini", "[Purpose]\r\nComment=hello\r\n");
  WriteBytes(destination_ / "B.ini", "[Purpose]\r\nComment=kept\r\n");
  ASSERT_TRUE(Convert(Direction::kContinuityToHipot));
  EXPECT_FALSE(std::filesystem::exists(destination_ / "A.ini"));
  EXPECT_EQ(ReadBytes(destination_ / "B.ini"), "[Purpose]\r\nComment=kept\r\n");
  EXPECT_FALSE(std::filesystem::exists(destination_ / "C.ini"));
  // Found after a file without one.
  EXPECT_EQ(ReadBytes(destination_ / "D.ini"),
            "[Purpose]\r\nComment=hello\r\n");
}

TEST_F(ConversionTest, LongJapaneseCommentIsCopiedWhole) {
  std::string comment;
  for (int pair = 0; pair < 200; ++pair) comment += "\x95\x5c\x83\x5c";  // 表ソ
  AddSource("F", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  WriteBytes(source_ / "F.ini", "[Purpose]\r\nComment=" + comment + "\r\n");
  ASSERT_TRUE(Convert(Direction::kContinuityToHipot));
  EXPECT_EQ(ReadBytes(destination_ / "F.ini"),
            "[Purpose]\r\nComment=" + comment + "\r\n");
}

TEST_F(ConversionTest, ModelNameIsWrittenInShiftJis) {
  AddSource("F", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  inputs_.model_name = " 能力計 ";
  ASSERT_TRUE(Convert(Direction::kContinuityToHipot));
  EXPECT_EQ(ReadBytes(destination_ / "F.lvd").substr(0, 8),
            "\x94\x5c\x97\xcd\x8c\x76\r\n");
}

TEST_F(ConversionTest, FailedWriteLeavesExistingFileAndNoTemporaryFile) {
  AddSource("1", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  AddSource("2", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  const std::string old_file = "old\r\n";
  WriteBytes(destination_ / "2.lvd", old_file);
  MakeReadOnly(destination_ / "2.lvd");
  inputs_.overwrite = true;

  EXPECT_FALSE(Convert(Direction::kContinuityToHipot));
  EXPECT_EQ(ReadBytes(destination_ / "2.lvd"), old_file);
  EXPECT_TRUE(std::filesystem::exists(destination_ / "1.lvd"));
  EXPECT_TRUE(NoTemporaryFiles());
  EXPECT_EQ(view_.Rows(ListId::kDestination).size(), 1u);
  EXPECT_EQ(view_.guides().back(), kAbortGuide);
  EXPECT_EQ(view_.reports().back().outcome, FileOutcome::kFault);
}

TEST_F(ConversionTest, MissingDestinationFolderAborts) {
  AddSource("1", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  std::filesystem::remove(destination_);
  EXPECT_FALSE(Convert(Direction::kContinuityToHipot));
  EXPECT_FALSE(std::filesystem::exists(destination_));
}

TEST_F(ConversionTest, DryRunWritesNothingButReportsEverything) {
  source_ = CopyTestData(temp_, "convert/continuity");
  inputs_.dry_run = true;
  ASSERT_TRUE(Convert(Direction::kContinuityToHipot));
  EXPECT_TRUE(Snapshot(destination_).empty());
  EXPECT_EQ(view_.Rows(ListId::kDestination).size(), 2u);
  EXPECT_EQ(view_.converted_count(), "2");
}

// A comment or wiring file that cannot be written is a fault of its source
// file, and whichever of the two fails, the destination keeps both files as
// they were: no new comment beside an old wiring file, no wiring file
// without its comment.
struct WriteFaultCase {
  const char* name;
  void (*arrange)(const std::filesystem::path& source,
                  const std::filesystem::path& destination);
  const char* detail;  // a part of the fault's detail
};

class WriteFaultTest : public ConversionTest,
                       public ::testing::WithParamInterface<WriteFaultCase> {};

TEST_P(WriteFaultTest, FaultKeepsBothDestinationFilesAsTheyWere) {
  AddSource("F", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  WriteBytes(source_ / "F.ini", "[Purpose]\r\nComment=new\r\n");
  WriteBytes(destination_ / "F.lvd", "old wiring\r\n");
  WriteBytes(destination_ / "F.ini", "[Purpose]\r\nComment=old\r\n");
  GetParam().arrange(source_, destination_);
  const auto before = Snapshot(destination_);
  inputs_.overwrite = true;

  EXPECT_FALSE(ConvertUnlisted(Direction::kContinuityToHipot));
  EXPECT_EQ(Snapshot(destination_), before);
  EXPECT_TRUE(NoTemporaryFiles());
  ASSERT_EQ(view_.reports().size(), 1u);
  EXPECT_EQ(view_.reports()[0].outcome, FileOutcome::kFault);
  EXPECT_NE(LastFaultDetail().find(GetParam().detail), std::string::npos)
      << LastFaultDetail();
  EXPECT_EQ(view_.guides().back(), kAbortGuide);
  EXPECT_EQ(converted_, 0);
  EXPECT_TRUE(view_.Rows(ListId::kDestination).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteFaultTest,
    ::testing::Values(
        WriteFaultCase{"ReadOnlyComment",
                       [](const auto&, const auto& destination) {
                         MakeReadOnly(destination / "F.ini");
                       },
                       "F.ini"},
        WriteFaultCase{"FolderAsComment",
                       [](const auto&, const auto& destination) {
                         std::filesystem::remove(destination / "F.ini");
                         std::filesystem::create_directory(destination /
                                                           "F.ini");
                       },
                       "F.ini"},
        WriteFaultCase{"ReadOnlyWiringFile",
                       [](const auto&, const auto& destination) {
                         MakeReadOnly(destination / "F.lvd");
                       },
                       "read-only"},
        WriteFaultCase{"FolderAsWiringFile",
                       [](const auto&, const auto& destination) {
                         std::filesystem::remove(destination / "F.lvd");
                         std::filesystem::create_directory(destination /
                                                           "F.lvd");
                       },
                       "a folder has that name"},
        // A comment file of apparent gigabytes is not read into memory.
        WriteFaultCase{"HugeSourceComment",
                       [](const auto& source, const auto&) {
                         std::filesystem::resize_file(source / "F.ini",
                                                      std::uintmax_t{17} << 20);
                       },
                       "F.ini: larger than 16 MiB"}),
    [](const auto& test) { return std::string(test.param.name); });

// Trees copied from Windows media spell names in capitals; where names are
// case-sensitive the comment file is still found.
TEST_F(ConversionTest, CommentFileIsFoundWhateverTheCaseOfItsName) {
  const struct {
    const char* wiring_extension;
    const char* comment_name;
  } kCases[] = {
      {".LVD", "W100.INI"}, {".lvd", "w100.Ini"}, {".Lvd", "W100.ini"}};
  for (const auto& c : kCases) {
    std::filesystem::remove_all(source_);
    std::filesystem::remove_all(destination_);
    std::filesystem::create_directories(destination_);
    WriteLines(source_ / (std::string("W100") + c.wiring_extension),
               {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
    WriteBytes(source_ / c.comment_name, "[Purpose]\r\nComment=hello\r\n");
    source_list_ = {{"W100", source_.string() + "/", c.wiring_extension,
                     FileSummary{1, 2, 0, 2, true}}};
    ASSERT_TRUE(ConvertListed(Direction::kContinuityToHipot)) << c.comment_name;
    EXPECT_EQ(ReadBytes(destination_ / "W100.ini"),
              "[Purpose]\r\nComment=hello\r\n")
        << c.comment_name;
  }
}

// Two sources that the destination folder takes for one name: a.LVD and
// a.lvd (one folder, where names are case-sensitive), or W1 and w1 (two
// folders) written into a folder that ignores letter case. The first
// written keeps the name; the second is skipped and not counted. Linux
// folders are case-sensitive, so there a folder taken for one that ignores
// case, with a second name for the first file (a hard link), stands in.
TEST_F(ConversionTest, SecondSourceOfOneDestinationNameIsSkipped) {
  struct Source {
    const char* folder;
    const char* name;
    const char* extension;
  };
  const struct {
    const char* what;
    Source first;
    Source second;
    bool case_insensitive_destination;
  } kCases[] = {
#ifndef _WIN32
      {"extension case", {"s", "a", ".LVD"}, {"s", "a", ".lvd"}, false},
#endif
      {"name case", {"s1", "W1", ".lvd"}, {"s2", "w1", ".lvd"}, true},
  };
  for (const auto& c : kCases) {
    for (const bool overwrite : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (overwrite ? ", overwrite" : ""));
      std::filesystem::remove_all(destination_);
      std::filesystem::remove_all(source_);
      std::filesystem::create_directories(destination_);
      view_ = HookedView();
      converted_ = 0;
      source_list_.clear();
      destination_files_.reset();
      const std::pair<Source, const char*> sources[] = {
          {c.first, "A1-A2,0,100"}, {c.second, "A3-A4,0,100"}};
      for (const auto& [source, record] : sources) {
        WriteLines(source_ / source.folder /
                       (std::string(source.name) + source.extension),
                   {"M", "20240101000000", "1", "2", record});
        source_list_.push_back(
            {source.name, (source_ / source.folder).string() + "/",
             source.extension, FileSummary{1, 2, 0, 2, true}});
      }
#ifndef _WIN32
      if (c.case_insensitive_destination) {
        destination_files_ = std::make_shared<OpenedFolder>(
            PathFromUtf8(destination_.string() + "/"));
        destination_files_->TreatAsIgnoringCase();
        view_.on_guide = [&](std::string_view text) {
          if (text != "2件目変換中...") return;
          std::filesystem::create_hard_link(
              destination_ / (std::string(c.first.name) + ".lvd"),
              destination_ / (std::string(c.second.name) + ".lvd"));
        };
      }
#endif
      inputs_.overwrite = overwrite;

      ASSERT_TRUE(ConvertListed(Direction::kContinuityToHipot));
      const std::string first_written =
          ReadBytes(destination_ / (std::string(c.first.name) + ".lvd"));
      EXPECT_NE(first_written.find("\r\n1-2,1,0,2000,1,0\r\n"),
                std::string::npos);
      EXPECT_EQ(converted_, 1);
      EXPECT_EQ(view_.converted_count(), "1");
      ASSERT_EQ(view_.reports().size(), 2u);
      EXPECT_EQ(view_.reports()[0].outcome, FileOutcome::kConverted);
      EXPECT_EQ(view_.reports()[1].outcome, FileOutcome::kSkippedSameName);
      EXPECT_EQ(view_.Rows(ListId::kDestination).size(), 1u);
    }
  }
}

// Another run converting the same file into the same folder, overwriting
// off, may make its comment and wiring file at any moment of this run's
// work on the file. Its files stay exactly as it made them, the very
// files, and this run passes the file over as existing.
TEST_F(ConversionTest, AnotherRunsCommentIsNeverRemovedOrReplaced) {
  constexpr char kTheirComment[] = "[Purpose]\r\nComment=theirs\r\n";
  enum class Moment { kBeforeTheFile, kAfterThisRunsComment };
  for (const Moment moment :
       {Moment::kBeforeTheFile, Moment::kAfterThisRunsComment}) {
    SCOPED_TRACE(static_cast<int>(moment));
    std::filesystem::remove_all(destination_);
    std::filesystem::create_directories(destination_);
    view_ = HookedView();
    inputs_.comment_written = nullptr;
    converted_ = 0;
    AddSource("X", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
    WriteBytes(source_ / "X.ini", "[Purpose]\r\nComment=mine\r\n");
    std::optional<FileIdentity> theirs;
    const auto other_run = [&] {
      // Files of its own, put in place by name as a run does.
      ASSERT_EQ(WriteFileAtomically(destination_ / "X.ini", kTheirComment),
                WriteError::kNone);
      ASSERT_EQ(WriteFileAtomically(destination_ / "X.lvd", "theirs"),
                WriteError::kNone);
      theirs = IdentityOf(testing::PathText(destination_ / "X.ini"));
    };
    if (moment == Moment::kBeforeTheFile) {
      view_.on_guide = [&](std::string_view text) {
        if (text == "1件目変換中...") other_run();
      };
    } else {
      inputs_.comment_written = [&](const std::string&) { other_run(); };
    }
    ASSERT_TRUE(Convert(Direction::kContinuityToHipot));
    EXPECT_EQ(ReadBytes(destination_ / "X.ini"), kTheirComment);
    ASSERT_TRUE(theirs);
    EXPECT_EQ(IdentityOf(testing::PathText(destination_ / "X.ini")), theirs);
    EXPECT_EQ(ReadBytes(destination_ / "X.lvd"), "theirs");
    ASSERT_FALSE(view_.reports().empty());
    EXPECT_EQ(view_.reports().back().outcome, FileOutcome::kSkippedExists);
    EXPECT_EQ(converted_, 0);
    EXPECT_TRUE(NoTemporaryFiles());
  }
  inputs_.comment_written = nullptr;
}

// A comment file read ahead of time may have gone by the time it is read;
// it is then no comment, whether it was found by its exact name or in the
// folder's list of comment files (after another file had none).
TEST_F(ConversionTest, CommentFileThatGoesBeforeItIsReadIsNoComment) {
  for (const bool listed : {false, true}) {
    SCOPED_TRACE(listed ? "listed" : "exact name");
    AddSource("A", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
    AddSource("B", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
    WriteBytes(source_ / "B.ini", "[Purpose]\r\nComment=hello\r\n");
    const WiringFileList files = testing::ListFolder(source_);
    CompanionReader reader;
    if (listed) {
      EXPECT_FALSE(reader.Read(files[0]).file);
    }
    std::filesystem::remove(source_ / "B.ini");
    const CompanionComment comment = reader.Read(files[1]);
    EXPECT_FALSE(comment.file);
    EXPECT_EQ(comment.error, ReadError::kNone);
  }
}

// Two runs into one destination without overwriting: each file is written
// by exactly one of them, however their steps interleave, and the other
// reports it as existing.
TEST_F(ConversionTest, ConcurrentRunsNeverBothWriteOneFile) {
  constexpr int kFiles = 400;
  for (int file = 0; file < kFiles; ++file) {
    AddSource("F" + std::to_string(1000 + file),
              {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  }
  source_list_ = testing::ListFolder(source_);
  for (WiringFile& file : source_list_) file.summary.circuits = 1;
  const std::string folder = destination_.string() + "/";
  const auto run = [&](int& converted) {
    RecordingDisplay view;
    RunPresenter presenter(view, Direction::kContinuityToHipot);
    WiringWorkspace workspace;
    FolderJob job;
    job.source = &source_list_;
    job.destination_folder = folder;
    EXPECT_TRUE(ConvertFolderToHipot(presenter, job, inputs_, workspace));
    converted = static_cast<int>(
        std::count_if(view.reports().begin(), view.reports().end(),
                      [](const FileReport& report) {
                        return report.outcome == FileOutcome::kConverted;
                      }));
  };
  int first = 0;
  int second = 0;
  std::thread other([&] { run(second); });
  run(first);
  other.join();
  EXPECT_EQ(first + second, kFiles);
  EXPECT_EQ(Snapshot(destination_).size(), std::size_t{kFiles});
}

// Records go to the disk in chunks, after a header of the size the
// listing's counts give. Counts that changed since the listing are put right
// in the header, and a header of another size means writing the file again;
// either way the file is the one a conversion in one piece writes.
TEST_F(ConversionTest, FileWrittenInChunksIsTheFileWrittenWhole) {
  std::vector<std::string> lines = {"M", "20240101000000", "0", "0"};
  for (int record = 0; record < 300; ++record) {
    lines.push_back(std::to_string(record % 150 + 1) + "-" +
                    std::to_string(record % 7 + 1) + ",0,100");
  }
  AddSource("F", lines);
  ASSERT_TRUE(Convert(Direction::kContinuityToHipot));
  const std::string whole = ReadBytes(destination_ / "F.lvd");
  ASSERT_EQ(whole.substr(0, 24), "TBS480\r\n20240101000000\r\n");
  ASSERT_EQ(whole.substr(24, 10), "300\r\n150\r\n");

  const struct {
    const char* what;
    std::int32_t circuits;
    std::int32_t terminals;
  } kCases[] = {
      {"counts as listed", 300, 150},
      {"other counts of the same size", 999, 100},
      {"counts of another size", 3, 1500},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(destination_ / "F.lvd");
    workspace_.output = RecordOutput(64);
    source_list_[0].summary.circuits = c.circuits;
    source_list_[0].summary.terminals = c.terminals;
    ASSERT_TRUE(ConvertListed(Direction::kContinuityToHipot));
    EXPECT_EQ(ReadBytes(destination_ / "F.lvd"), whole);
    EXPECT_TRUE(NoTemporaryFiles());
  }
}

// With overwriting, a file that already holds exactly what the conversion
// makes, comment included, is left alone (its date and identity kept) and
// reported unchanged; one that differs anywhere is replaced. Records are
// compared chunk by chunk, after a header of the size the listing's counts
// give, as they would be written.
TEST_F(ConversionTest, FilesThatWouldNotChangeAreLeftAlone) {
  std::vector<std::string> lines = {"M", "20240101000000", "0", "0"};
  for (int record = 0; record < 300; ++record) {
    lines.push_back(std::to_string(record % 150 + 1) + "-" +
                    std::to_string(record % 7 + 1) + ",0,100");
  }
  AddSource("F", lines);
  WriteBytes(source_ / "F.ini", "[Purpose]\r\nComment=c\r\n");
  ASSERT_TRUE(Convert(Direction::kContinuityToHipot));
  const std::string whole = ReadBytes(destination_ / "F.lvd");
  const std::string comment = ReadBytes(destination_ / "F.ini");
  inputs_.overwrite = true;

  const struct {
    const char* what;
    std::int32_t circuits;  // as listed
    std::int32_t terminals;
    void (*change)(std::string& wiring, std::string& ini);
    bool unchanged;
  } kCases[] = {
      {"identical", 300, 150, [](std::string&, std::string&) {}, true},
      {"identical, listed with counts of another size", 3, 1500,
       [](std::string&, std::string&) {}, true},
      {"a record in an early chunk", 300, 150,
       [](std::string& wiring, std::string&) { wiring[40] = '9'; }, false},
      {"a record in the last chunk", 300, 150,
       [](std::string& wiring, std::string&) {
         wiring[wiring.size() - 3] = '1';
       },
       false},
      {"a byte longer", 300, 150,
       [](std::string& wiring, std::string&) { wiring += "\r\n"; }, false},
      {"a byte shorter", 300, 150,
       [](std::string& wiring, std::string&) { wiring.pop_back(); }, false},
      {"the header", 300, 150,
       [](std::string& wiring, std::string&) { wiring[0] = 'X'; }, false},
      {"the comment", 300, 150,
       [](std::string&, std::string& ini) { ini[ini.find("=c") + 1] = 'd'; },
       false},
  };
  // Whole seconds, which every file system keeps exactly.
  const std::filesystem::file_time_type long_ago =
      std::chrono::floor<std::chrono::seconds>(
          std::filesystem::file_time_type::clock::now() -
          std::chrono::hours(24 * 400));
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    std::string wiring_before = whole;
    std::string comment_before = comment;
    c.change(wiring_before, comment_before);
    WriteBytes(destination_ / "F.lvd", wiring_before);
    WriteBytes(destination_ / "F.ini", comment_before);
    std::filesystem::last_write_time(destination_ / "F.lvd", long_ago);
    const auto identity = IdentityOf(testing::PathText(destination_ / "F.lvd"));
    view_ = HookedView();
    workspace_.output = RecordOutput(64);
    source_list_[0].summary.circuits = c.circuits;
    source_list_[0].summary.terminals = c.terminals;

    ASSERT_TRUE(ConvertListed(Direction::kContinuityToHipot));
    EXPECT_EQ(ReadBytes(destination_ / "F.lvd"), whole);
    EXPECT_EQ(ReadBytes(destination_ / "F.ini"), comment);
    ASSERT_EQ(view_.reports().size(), 1u);
    EXPECT_EQ(view_.reports()[0].outcome, FileOutcome::kConverted);
    EXPECT_EQ(view_.reports()[0].unchanged, c.unchanged);
    EXPECT_TRUE(view_.reports()[0].verified);
    EXPECT_EQ(view_.converted_count(), "1");
    EXPECT_EQ(
        std::filesystem::last_write_time(destination_ / "F.lvd") == long_ago,
        c.unchanged);
    EXPECT_EQ(IdentityOf(testing::PathText(destination_ / "F.lvd")) == identity,
              c.unchanged);
    EXPECT_TRUE(NoTemporaryFiles());
  }
}

TEST_F(ConversionTest, TooLargeWiringFileIsAFaultNamingIt) {
  AddSource("1", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  AddSource("2", {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  std::filesystem::resize_file(source_ / "2.lvd", kMaxWiringFileSize + 1);
  source_list_ = testing::ListFolder(source_);
  const SummaryReading reading =
      SummarizeContinuityFiles(source_list_, workspace_, nullptr, view_);
  ASSERT_TRUE(reading.fault);
  EXPECT_EQ(reading.files_read, 1);
  EXPECT_EQ(reading.fault->source, source_list_[1].WiringPath());
  EXPECT_NE(FaultDetail(*reading.fault->fault).find("too large"),
            std::string::npos);

  view_ = HookedView();
  for (WiringFile& file : source_list_) file.summary.circuits = 1;
  // Not through ConvertListed: its look at the source would read the file.
  RunPresenter presenter(view_, Direction::kContinuityToHipot);
  FolderJob job;
  job.source = &source_list_;
  job.destination_folder = destination_.string() + "/";
  EXPECT_FALSE(ConvertFolderToHipot(presenter, job, inputs_, workspace_));
  EXPECT_EQ(view_.reports().back().source, source_list_[1].WiringPath());
  EXPECT_NE(LastFaultDetail().find("too large"), std::string::npos);
}

}  // namespace
}  // namespace cordshift
