#include "batch/conversion_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ini_access.h"
#include "present/failure_causes.h"
#include "present/reasons.h"
#include "present/recording_display.h"
#include "present/run_presenter.h"
#include "support/temp_folder.h"
#include "support/wiring_fixture.h"

namespace cordshift {
namespace {

using testing::NativeSeparators;
using testing::ReadBytes;
using testing::Snapshot;
using testing::TempFolder;
using testing::WriteBytes;
using testing::WriteLines;

constexpr char kLowerMessage[] =
    "導通抵抗下限値には正の半角数字で記入してください";
constexpr char kUpperMessage[] =
    "導通抵抗上限値には正の半角数字で記入してください";
constexpr char kOrderMessage[] =
    "導通抵抗下限値 < 導通抵抗上限値となるよう記入してください";
constexpr char kControlCharacterMessage[] =
    "変換先機種名に制御文字は使用できません";
constexpr char kOverlapMessage[] =
    "変換先のフォルダが変換元のフォルダと重なるため変換できません";

struct LimitCase {
  const char* lower;
  const char* upper;
  const char* message;  // nullptr: accepted
};

class CheckLimitsTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(CheckLimitsTest, FindsTheFirstFaultAndItsMessage) {
  const std::optional<RunRefusal> refusal =
      CheckLimits(GetParam().lower, GetParam().upper);
  if (GetParam().message == nullptr) {
    EXPECT_FALSE(refusal);
  } else {
    ASSERT_TRUE(refusal);
    EXPECT_EQ(RefusalMessage(*refusal, Direction::kContinuityToHipot),
              GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, CheckLimitsTest,
    ::testing::Values(LimitCase{"00000", "200000", nullptr},
                      LimitCase{" 10 ", " 20 ", nullptr},
                      LimitCase{"0", "1", nullptr},
                      LimitCase{"5", "5", kOrderMessage},
                      LimitCase{"2.5", "2", kOrderMessage},
                      LimitCase{"-1", "abc", kUpperMessage},
                      LimitCase{"abc", "-5", kLowerMessage},
                      LimitCase{"", "5", kLowerMessage},
                      LimitCase{"-1", "5", kLowerMessage},
                      LimitCase{"1", "-5", kUpperMessage},
                      LimitCase{"１", "5", kLowerMessage},
                      LimitCase{"2147483648", "5", kLowerMessage},
                      LimitCase{"0", "99999999999", kUpperMessage},
                      LimitCase{"0", "1e10", kUpperMessage}));

const std::vector<std::string> kHeader = {"M", "20240101000000", "1", "2"};

class RunTest : public ::testing::Test {
 protected:
  RunTest() {
    inputs_.conversion.model_name = "TBS480";
    inputs_.conversion.lower = "0";
    inputs_.conversion.upper = "2000";
    inputs_.source_root = testing::PathText(temp_ / "src");
    inputs_.destination_root = testing::PathText(temp_ / "dst");
    std::filesystem::create_directories(temp_ / "src");
  }

  void AddContinuity(const std::string& relative,
                     const std::string& record = "A1-A2,0,100") {
    std::vector<std::string> lines = kHeader;
    lines.push_back(record);
    WriteLines(temp_ / "src" / relative, lines);
  }

  // Runs with the window's presentation on `display`.
  RunResult RunOn(Display& display) {
    RunPresenter presenter(display, inputs_.direction);
    result_ = RunConversion(presenter, inputs_, workspace_);
    reason_ = RunEndReason(result_, inputs_.source_root);
    return result_;
  }

  RunOutcome Run() { return RunOn(view_).outcome; }

  TempFolder temp_;
  RecordingDisplay view_;
  RunOptions inputs_;
  WiringWorkspace workspace_;
  RunResult result_;
  std::string reason_;
};

TEST_F(RunTest, ConvertsTheWholeTreeWithItsGuidance) {
  const std::string src = testing::PathText(temp_ / "src");
  AddContinuity("A/1.lvd");
  AddContinuity("A/2.lvd");
  AddContinuity("A/B/3.lvd");
  std::filesystem::create_directories(temp_ / "src" / "Empty");

  ASSERT_EQ(Run(), RunOutcome::kCompleted);
  EXPECT_EQ(view_.guides(),
            (std::vector<std::string>{
                "フォルダ構成を解析中です...",
                "Loomvantage->LoomvantageHipot 変換開始",
                "変換元の Loomvantage の一覧を表示しました",
                src + NativeSeparators("/A/") + "フォルダの変換中...",
                "1件目変換中...",
                "2件目変換中...",
                src + NativeSeparators("/A/") + "フォルダ 変換完了",
                "変換元の Loomvantage の一覧を表示しました",
                src + NativeSeparators("/A/B/") + "フォルダの変換中...",
                "1件目変換中...",
                src + NativeSeparators("/A/B/") + "フォルダ 変換完了",
                "Loomvantage->LoomvantageHipot 変換完了",
            }));
  EXPECT_TRUE(std::filesystem::exists(temp_ / "dst/A/1.lvd"));
  EXPECT_TRUE(std::filesystem::exists(temp_ / "dst/A/B/3.lvd"));
  // Folders without wiring files get no destination folder of their own.
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst/Empty"));
  EXPECT_EQ(view_.converted_count(), "3");
  EXPECT_TRUE(result_.inputs_accepted);
  EXPECT_TRUE(view_.messages().empty());
}

TEST_F(RunTest, HipotTreeConvertsInTheOtherDirection) {
  WriteLines(temp_ / "src/H/1.lvd",
             {"M", "20240101000000", "1", "2", "1-65,1,0,2000,1,0"});
  inputs_.direction = Direction::kHipotToContinuity;
  inputs_.conversion.notation = Notation::kSequential;
  inputs_.conversion.overwrite = true;
  ASSERT_EQ(Run(), RunOutcome::kCompleted);
  EXPECT_EQ(ReadBytes(temp_ / "dst/H/1.lvd"),
            "TBS480\r\n20240101000000\r\n1\r\n2\r\n0001-0065,0,2000\r\n");
  EXPECT_EQ(view_.guides().front(), "フォルダ構成を解析中です...");
  EXPECT_EQ(view_.guides().back(), "LoomvantageHipot->Loomvantage 変換完了");
  EXPECT_TRUE(result_.inputs_accepted);
}

struct RefusalCase {
  const char* name;
  Direction direction;
  const char* model_name;
  const char* lower;
  const char* message;
  bool settings_touched;  // inputs accepted and the counter set
  const char* reason;
};

class RefusalTest : public RunTest,
                    public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, RefusesBeforeAnythingIsWritten) {
  AddContinuity("1.lvd");
  inputs_.direction = GetParam().direction;
  inputs_.conversion.model_name = GetParam().model_name;
  inputs_.conversion.lower = GetParam().lower;
  if (std::string(GetParam().name) == "SameFolder") {
    inputs_.destination_root = inputs_.source_root + kFolderSeparator;
  }
  const auto before = Snapshot(temp_.path());
  EXPECT_EQ(Run(), RunOutcome::kEndedEarly);
  EXPECT_EQ(view_.messages(),
            (std::vector<RecordedMessage>{
                {GetParam().message, MessageIcon::kExclamation}}));
  EXPECT_TRUE(view_.guides().empty());
  EXPECT_EQ(Snapshot(temp_.path()), before);
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst"));
  EXPECT_EQ(result_.inputs_accepted, GetParam().settings_touched);
  EXPECT_EQ(view_.converted_count(), GetParam().settings_touched ? "0" : "");
  EXPECT_EQ(reason_, GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusalTest,
    ::testing::Values(
        RefusalCase{"BlankModelToHipot", Direction::kContinuityToHipot, "   ",
                    "0", "変換先機種名を入力してください（例：TBS480）", false,
                    "refused: the model name is blank"},
        RefusalCase{"BlankModelToContinuity", Direction::kHipotToContinuity, "",
                    "0", "変換先機種名を入力してください（例：TBL480）", false,
                    "refused: the model name is blank"},
        RefusalCase{"BlankModelOddDirection", Direction::kHipotToContinuity,
                    " ", "0", "変換先機種名を入力してください（例：TBL480）",
                    false, "refused: the model name is blank"},
        RefusalCase{
            "YenSignInModel", Direction::kContinuityToHipot, "TBS¥480", "0",
            "変換先機種名にShift-JISで表せない文字が含まれています", false,
            "refused: the model name has a character that Shift-JIS "
            "cannot hold"},
        RefusalCase{"EmojiInModel", Direction::kContinuityToHipot,
                    "TBS\xF0\x9F\x98\x80", "0",
                    "変換先機種名にShift-JISで表せない文字が含まれています",
                    false,
                    "refused: the model name has a character that Shift-JIS "
                    "cannot hold"},
        RefusalCase{"LineBreakInModel", Direction::kContinuityToHipot,
                    "TBS480\r\n99", "0", kControlCharacterMessage, false,
                    "refused: the model name contains a control character"},
        RefusalCase{"TabOnlyModel", Direction::kHipotToContinuity, "\t", "0",
                    kControlCharacterMessage, false,
                    "refused: the model name contains a control character"},
        RefusalCase{"BadLimit", Direction::kContinuityToHipot, "TBS480", "x",
                    kLowerMessage, false,
                    "refused: the lower limit is not a number of 0 or more"},
        RefusalCase{"SameFolder", Direction::kContinuityToHipot, "TBS480", "0",
                    "変換元と変換先に同じフォルダは指定できません", true,
                    "refused: the source and destination are the same folder"}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

TEST_F(RunTest, MissingSourceRootIsAnAnalysisError) {
  inputs_.source_root = (temp_ / "missing").string();
  EXPECT_EQ(Run(), RunOutcome::kEndedEarly);
  EXPECT_EQ(reason_, inputs_.source_root + ": no such folder");
  EXPECT_EQ(view_.guides(),
            (std::vector<std::string>{"フォルダ構成を解析中です...",
                                      "フォルダ構成の解析エラー！"}));
  EXPECT_EQ(view_.converted_count(), "0");
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst"));
}

TEST_F(RunTest, SummaryFaultEndsTheRunAfterEarlierFolders) {
  AddContinuity("A/1.lvd");
  AddContinuity("B/1.lvd");
  AddContinuity("B/2.lvd", "A1-A2,0");  // malformed: the listing fails
  AddContinuity("C/1.lvd");
  EXPECT_EQ(Run(), RunOutcome::kEndedEarly);
  EXPECT_TRUE(std::filesystem::exists(temp_ / "dst/A/1.lvd"));
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst/B"));
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst/C"));
  EXPECT_EQ(view_.guides().back(),
            "変換元の Loomvantage の一覧表示ができませんでした");
  EXPECT_EQ(reason_,
            NativeSeparators("B/2.lvd") + ": malformed record at line 5");
  EXPECT_EQ(view_.messages(),
            (std::vector<RecordedMessage>{
                {"Loomvantage->LoomvantageHipotの変換に失敗しました",
                 MessageIcon::kExclamation}}));
  EXPECT_EQ(view_.converted_count(), "1");
}

TEST_F(RunTest, ConversionFaultShowsBothMessagesAndKeepsTheRunningTotal) {
  AddContinuity("A/1.lvd");
  AddContinuity("A/2.lvd");
  WriteLines(temp_ / "src/B/1.lvd", {"M", "bad date", "1", "2", "A1-A2,0,1"});
  AddContinuity("C/1.lvd");
  EXPECT_EQ(Run(), RunOutcome::kEndedEarly);
  EXPECT_EQ(view_.messages(),
            (std::vector<RecordedMessage>{
                {"変換元：1 行目の年月日が異常です", MessageIcon::kExclamation},
                {"Loomvantage->LoomvantageHipotの変換に失敗しました",
                 MessageIcon::kExclamation}}));
  EXPECT_EQ(view_.guides().back(), "異常を検出したため変換を終了します");
  EXPECT_EQ(reason_,
            NativeSeparators("B/1.lvd") +
                ": line 2: the date is not a date stamp (YYYYMMDDhhmmss)");
  EXPECT_EQ(view_.converted_count(), "2");
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst/C"));
}

// Rewrites a file in place (the same file, as a failing disk would leave
// it), with `change` applied to its bytes.
void ChangeInPlace(const std::filesystem::path& file,
                   const std::function<void(std::string&)>& change) {
  std::string bytes = ReadBytes(file);
  change(bytes);
  std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  std::filesystem::resize_file(file, bytes.size());
}

void Replace(std::string& bytes, const std::string& from,
             const std::string& to) {
  const std::size_t at = bytes.find(from);
  ASSERT_NE(at, std::string::npos) << bytes;
  bytes.replace(at, from.size(), to);
}

struct WrongWriteCase {
  const char* name;
  // Changes A/2.lvd (hipot: "1-2,1,0,2000,1,0" then "3-65,1,0,2000,1,0")
  // or its comment file once written.
  void (*change)(const std::filesystem::path& wiring,
                 const std::filesystem::path& comment);
  const char* cause;  // the failure's second line, before the file
  const char* file;   // the file it names, from the destination root
  const char* detail;
};

class WrongWriteTest : public RunTest,
                       public ::testing::WithParamInterface<WrongWriteCase> {};

TEST_P(WrongWriteTest, IsAFaultOfThatFile) {
  AddContinuity("A/1.lvd");
  WriteLines(temp_ / "src/A/2.lvd",
             {"M", "20240101000000", "2", "3", "A1-A2,0,1", "A3-B1,0,1"});
  WriteBytes(temp_ / "src/A/2.ini", "[Purpose]\r\nComment=x\r\n");
  AddContinuity("A/3.lvd");
  AddContinuity("B/1.lvd");
  inputs_.conversion.file_written = [this](const std::string& name) {
    if (name == "2") {
      GetParam().change(temp_ / "dst/A/2.lvd", temp_ / "dst/A/2.ini");
    }
  };

  EXPECT_EQ(Run(), RunOutcome::kEndedEarly);
  EXPECT_EQ(
      view_.messages(),
      (std::vector<RecordedMessage>{
          {"変換先：2 行目が変換元と一致しません", MessageIcon::kExclamation},
          {"Loomvantage->LoomvantageHipotの変換に失敗しました",
           MessageIcon::kExclamation}}));
  EXPECT_EQ(view_.guides().back(), "異常を検出したため変換を終了します");
  ASSERT_TRUE(result_.fault);
  EXPECT_EQ(FailureCause(*result_.fault),
            std::string(GetParam().cause) + ": " +
                testing::PathText(temp_ / "dst" / GetParam().file));
  // A detail that ends in a blank names the file that cannot be read.
  const std::string detail = GetParam().detail;
  EXPECT_EQ(reason_,
            NativeSeparators("A/2.lvd") + ": " + detail +
                (detail.ends_with(' ')
                     ? testing::PathText(temp_ / "dst" / GetParam().file)
                     : ""));
  EXPECT_EQ(view_.converted_count(), "1");
  // The file before stays; the wrong one goes, so that a later run writes
  // it again instead of passing it over as existing; nothing after it is
  // written.
  EXPECT_TRUE(std::filesystem::exists(temp_ / "dst/A/1.lvd"));
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst/A/2.lvd"));
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst/A/2.ini"));
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst/A/3.lvd"));
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst/B"));
  ASSERT_EQ(view_.reports().size(), 2u);
  EXPECT_TRUE(view_.reports()[0].verified);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, WrongWriteTest,
    ::testing::Values(
        WrongWriteCase{"ByteChanged",
                       [](const std::filesystem::path& wiring,
                          const std::filesystem::path&) {
                         ChangeInPlace(wiring, [](std::string& bytes) {
                           Replace(bytes, "3-65,", "3-75,");
                         });
                       },
                       "6 行目が変換元と一致しません", "A/2.lvd",
                       "line 6 of the written file does not match its source"},
        WrongWriteCase{"RecordDropped",
                       [](const std::filesystem::path& wiring,
                          const std::filesystem::path&) {
                         ChangeInPlace(wiring, [](std::string& bytes) {
                           Replace(bytes, "3-65,1,0,2000,1,0\r\n", "");
                         });
                       },
                       "6 行目が変換元と一致しません", "A/2.lvd",
                       "line 6 of the written file does not match its source"},
        WrongWriteCase{"TerminalMappedWrongly",
                       [](const std::filesystem::path& wiring,
                          const std::filesystem::path&) {
                         ChangeInPlace(wiring, [](std::string& bytes) {
                           Replace(bytes, "1-2,", "1-66,");
                         });
                       },
                       "5 行目が変換元と一致しません", "A/2.lvd",
                       "line 5 of the written file does not match its source"},
        WrongWriteCase{"CountChanged",
                       [](const std::filesystem::path& wiring,
                          const std::filesystem::path&) {
                         ChangeInPlace(wiring, [](std::string& bytes) {
                           Replace(bytes, "\r\n4\r\n", "\r\n5\r\n");
                         });
                       },
                       "4 行目が変換元と一致しません", "A/2.lvd",
                       "line 4 of the written file does not match its source"},
        WrongWriteCase{
            "CommentChanged",
            [](const std::filesystem::path&,
               const std::filesystem::path& comment) {
              WriteBytes(comment, "[Purpose]\r\nComment=y\r\n");
            },
            "コメントが変換元と一致しません", "A/2.ini",
            "the comment of the written file does not match its source"},
        WrongWriteCase{"FileGone",
                       [](const std::filesystem::path& wiring,
                          const std::filesystem::path&) {
                         std::filesystem::remove(wiring);
                       },
                       "書き込んだファイルを読み込めません", "A/2.lvd",
                       "cannot read back the written file "}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

// Comments that a bare INI value cannot hold (blanks at an end, quotes
// around it) reach the destination as the source's reader sees them, and
// so pass their verification.
TEST_F(RunTest, CommentsThatNeedQuotesAreCopiedAsRead) {
  const std::pair<std::string, std::string> kComments[] = {
      {"\" spaced \"", " spaced "},
      {"'quoted'", "quoted"},
      {"\"'inner'\"", "'inner'"},
      {std::string("cut \0rest", 9), "cut "},
  };
  int file_number = 0;
  for (const auto& [written, read] : kComments) {
    const std::string name = "A/" + std::to_string(++file_number);
    AddContinuity(name + ".lvd");
    WriteBytes(temp_ / "src" / (name + ".ini"),
               "[Purpose]\r\nComment=" + written + "\r\n");
  }

  ASSERT_EQ(Run(), RunOutcome::kCompleted) << reason_;
  file_number = 0;
  for (const auto& [written, read] : kComments) {
    SCOPED_TRACE(read);
    const std::string name = "A/" + std::to_string(++file_number);
    EXPECT_TRUE(view_.reports()[file_number - 1].verified);
    EXPECT_EQ(FindProfileValue(ReadBytes(temp_ / "dst" / (name + ".ini")),
                               "Purpose", "Comment"),
              read);
  }
}

// Files are verified while the next ones are converted. What a run wrote
// after a file that fails its verification is taken back, and a file that
// would replace another waits for the verifications before it, so that the
// tree is left as a run that stopped at the fault leaves it.
TEST_F(RunTest, NothingAfterAWrongWriteStays) {
  for (const char* name :
       {"A/1.lvd", "A/2.lvd", "A/3.lvd", "A/4.lvd", "A/5.lvd"}) {
    AddContinuity(name);
  }
  WriteBytes(temp_ / "src/A/3.ini", "[Purpose]\r\nComment=new\r\n");
  WriteBytes(temp_ / "dst/A/3.ini", "[Purpose]\r\nComment=old\r\n");
  WriteBytes(temp_ / "dst/A/4.lvd", "old");
  inputs_.conversion.overwrite = true;
  inputs_.conversion.file_written = [this](const std::string& name) {
    if (name == "2") WriteBytes(temp_ / "dst/A/2.lvd", "garbled");
  };

  EXPECT_EQ(Run(), RunOutcome::kEndedEarly);
  EXPECT_EQ(reason_, NativeSeparators("A/2.lvd") +
                         ": line 1 of the written file does not match its "
                         "source");
  EXPECT_TRUE(std::filesystem::exists(temp_ / "dst/A/1.lvd"));
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst/A/2.lvd"));
  // 3 was new, written while 2 was verified: taken back, its comment
  // file as it was.
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst/A/3.lvd"));
  EXPECT_EQ(ReadBytes(temp_ / "dst/A/3.ini"), "[Purpose]\r\nComment=old\r\n");
  // 4 would have replaced a file: it waited, and was never written.
  EXPECT_EQ(ReadBytes(temp_ / "dst/A/4.lvd"), "old");
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst/A/5.lvd"));
  EXPECT_EQ(view_.converted_count(), "1");
  EXPECT_EQ(view_.reports().size(), 2u);
}

TEST_F(RunTest, HiddenFilesAreNotWiringFiles) {
  AddContinuity("A/.hidden.lvd");
  testing::MakeHidden(temp_ / "src/A/.hidden.lvd");
  ASSERT_EQ(Run(), RunOutcome::kCompleted);
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst"));
}

TEST_F(RunTest, DestinationInsideTheSourceIsNeverConverted) {
  AddContinuity("1.lvd");
  inputs_.destination_root = testing::PathText(temp_ / "src" / "out");
  ASSERT_EQ(Run(), RunOutcome::kCompleted);
  ASSERT_TRUE(std::filesystem::exists(temp_ / "src/out/1.lvd"));
  // A second run must not take its own output as input.
  inputs_.conversion.overwrite = true;
  RecordingDisplay again;
  ASSERT_EQ(RunOn(again).outcome, RunOutcome::kCompleted);
  EXPECT_FALSE(std::filesystem::exists(temp_ / "src/out/out"));
  EXPECT_EQ(again.converted_count(), "1");
}

TEST_F(RunTest, DryRunCreatesNothing) {
  AddContinuity("A/1.lvd");
  inputs_.conversion.dry_run = true;
  ASSERT_EQ(Run(), RunOutcome::kCompleted);
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst"));
  EXPECT_EQ(view_.converted_count(), "1");
  EXPECT_EQ(view_.Rows(ListId::kDestination).size(), 1u);
}

// A destination folder that is a folder of the source tree would have the
// source's own files replaced: with the source x/data inside the
// destination x, the source's subfolder x/data/data mirrors onto x/data.
TEST_F(RunTest, DestinationFoldersThatAreSourceFoldersAreRefused) {
  struct Layout {
    const char* name;
    std::filesystem::path source;
    std::filesystem::path destination;
  };
  std::vector<Layout> layouts = {
      {"SourceInsideDestination", temp_ / "x/data", temp_ / "x"},
  };
  WriteLines(temp_ / "x/data/W100.lvd",
             {"M", "20240101000000", "1", "2", "A1-A2,0,100"});
  WriteLines(temp_ / "x/data/data/W100.lvd",
             {"M", "20240101000000", "1", "2", "A3-A4,0,100"});
#ifndef _WIN32
  // A destination folder that links to a source folder.
  std::filesystem::create_directories(temp_ / "linked");
  std::filesystem::create_directory_symlink(temp_ / "x/data/data",
                                            temp_ / "linked/data");
  layouts.push_back({"LinkIntoTheSource", temp_ / "x/data", temp_ / "linked"});
#endif
  for (const Layout& layout : layouts) {
    for (const bool overwrite : {false, true}) {
      view_ = RecordingDisplay();
      inputs_.source_root = testing::PathText(layout.source);
      inputs_.destination_root = testing::PathText(layout.destination);
      inputs_.conversion.overwrite = overwrite;
      const auto before = Snapshot(temp_.path());
      EXPECT_EQ(Run(), RunOutcome::kEndedEarly) << layout.name;
      EXPECT_EQ(Snapshot(temp_.path()), before) << layout.name;
      EXPECT_EQ(view_.messages(),
                (std::vector<RecordedMessage>{
                    {kOverlapMessage, MessageIcon::kExclamation}}))
          << layout.name;
    }
  }
}

#ifndef _WIN32
// A destination folder put in place during the run as a link to a source
// folder is found where the run opens it: the run ends there, naming it,
// and nothing is written into the source.
TEST_F(RunTest, LinkToASourceFolderMadeDuringTheRunIsRefusedWhereItIsUsed) {
  class LinkPlantingView : public RecordingDisplay {
   public:
    LinkPlantingView(std::filesystem::path target, std::filesystem::path link)
        : target_(std::move(target)), link_(std::move(link)) {}
    void ShowGuide(std::string_view text) override {
      RecordingDisplay::ShowGuide(text);
      if (text.ends_with("フォルダの変換中...") &&
          text.find("/B/") != std::string_view::npos) {
        std::filesystem::create_directory_symlink(target_, link_);
      }
    }

   private:
    std::filesystem::path target_;
    std::filesystem::path link_;
  };
  AddContinuity("A/1.lvd");
  AddContinuity("B/1.lvd");
  AddContinuity("C/1.lvd");
  inputs_.conversion.overwrite = true;
  const auto source_before = Snapshot(temp_ / "src");
  LinkPlantingView view(temp_ / "src/B", temp_ / "dst/B");
  const RunResult result = RunOn(view);
  EXPECT_EQ(result.outcome, RunOutcome::kEndedEarly);
  EXPECT_EQ(Snapshot(temp_ / "src"), source_before);
  EXPECT_EQ(view.messages(),
            (std::vector<RecordedMessage>{
                {kOverlapMessage, MessageIcon::kExclamation}}));
  EXPECT_EQ(RunEndReason(result, inputs_.source_root),
            "the destination folder " + testing::PathText(temp_ / "dst/B") +
                "/ is a folder of the source tree, whose files would be "
                "replaced; nothing was written there");
  EXPECT_TRUE(std::filesystem::exists(temp_ / "dst/A/1.lvd"));
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst/C"));
}
#endif

// A folder that goes away during the run, before it is listed, is a fault,
// not an empty folder. It goes once the first folder is listed, before the
// next one can be listed ahead.
TEST_F(RunTest, FolderThatVanishesMidRunEndsTheRunNamingIt) {
  class VanishingView : public RecordingDisplay {
   public:
    explicit VanishingView(std::filesystem::path folder)
        : folder_(std::move(folder)) {}
    void ShowGuide(std::string_view text) override {
      RecordingDisplay::ShowGuide(text);
      if (text.ends_with("の一覧を表示しました")) {
        std::filesystem::remove_all(folder_);
      }
    }

   private:
    std::filesystem::path folder_;
  };
  AddContinuity("A/1.lvd");
  AddContinuity("B/1.lvd");
  AddContinuity("C/1.lvd");
  VanishingView view(temp_ / "src/B");
  EXPECT_EQ(RunOn(view).outcome, RunOutcome::kEndedEarly);
  EXPECT_EQ(view.guides().back(), "変換元ファイル情報取得エラー！");
  ASSERT_FALSE(view.reports().empty());
  const FileReport& fault = view.reports().back();
  EXPECT_EQ(fault.outcome, FileOutcome::kFault);
  EXPECT_EQ(fault.source,
            testing::PathText(temp_ / "src/B") + kFolderSeparator);
  EXPECT_FALSE(std::filesystem::exists(temp_ / "dst/C"));
  EXPECT_EQ(view.converted_count(), "1");
}

// Every call a view gets, in order, one line each.
class CallLogView : public Display {
 public:
  void ShowGuide(std::string_view text) override { Log("guide", text); }
  void ShowMessage(std::string_view text, MessageIcon) override {
    Log("message", text);
  }
  void ShowList(ListId list, std::shared_ptr<const ListRows> rows) override {
    std::string cells = std::to_string(static_cast<int>(list));
    for (int index = 0; index < rows->size(); ++index) {
      for (const std::string& cell : rows->Cells(index)) cells += " " + cell;
      cells += " |";
    }
    Log("list", cells);
  }
  void SetConvertedCount(std::string_view caption) override {
    Log("count", caption);
  }
  void ReportFile(const FileReport& report) override {
    Log("file", report.source + " " +
                    std::to_string(static_cast<int>(report.outcome)) + " " +
                    (report.fault ? FaultDetail(*report.fault) : ""));
  }
  void ShowRunProgress(int done, int count) override {
    Log("progress", std::to_string(done) + "/" + std::to_string(count));
  }

  std::vector<std::string> calls;

 private:
  void Log(std::string_view what, std::string_view text) {
    calls.push_back(std::string(what) + ": " + std::string(text));
  }
};

// Listing the next folder ahead, on another thread, changes nothing the user
// sees: the same calls in the same order, whether the run completes, a
// listing or a conversion fails, or a folder is larger than the bytes a
// listing keeps.
TEST_F(RunTest, ListingAheadShowsTheSameAsListingInTurn) {
  const struct {
    const char* name;
    const char* faulty_file;  // nullptr: none
    std::vector<std::string> faulty_header;
    const char* faulty_record;
    std::size_t budget;
  } kCases[] = {
      {"completes", nullptr, {}, "", KeptSources::kDefaultBudget},
      {"listing fault", "C/1.lvd", kHeader, "A1", KeptSources::kDefaultBudget},
      {"conversion fault",
       "B/2.lvd",
       {" ", "20240101000000", "1", "2"},
       "A1-A2,0,100",
       KeptSources::kDefaultBudget},
      {"larger than the bytes kept", nullptr, {}, "", 10},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(temp_ / "src");
    for (const char* file :
         {"A/1.lvd", "A/2.lvd", "B/1.lvd", "B/2.lvd", "C/1.lvd", "C/D/1.lvd"}) {
      AddContinuity(file);
    }
    WriteLines(temp_ / "src/B/1.ini", {"[Purpose]", "Comment=one"});
    WriteLines(temp_ / "src/C/D/1.INI", {"[Purpose]", "Comment=by case"});
    if (c.faulty_file != nullptr) {
      std::vector<std::string> lines = c.faulty_header;
      lines.push_back(c.faulty_record);
      WriteLines(temp_ / "src" / c.faulty_file, lines);
    }
    inputs_.kept_source_budget = c.budget;
    std::vector<std::string> logs[2];
    RunOutcome outcomes[2];
    std::map<std::string, std::string> written[2];
    for (const bool ahead : {false, true}) {
      std::filesystem::remove_all(temp_ / "dst");
      inputs_.list_ahead = ahead;
      CallLogView view;
      outcomes[ahead] = RunOn(view).outcome;
      logs[ahead] = std::move(view.calls);
      written[ahead] = Snapshot(temp_ / "dst");
    }
    EXPECT_EQ(outcomes[true], outcomes[false]);
    EXPECT_EQ(written[true], written[false]);
    EXPECT_EQ(outcomes[true], c.faulty_file == nullptr
                                  ? RunOutcome::kCompleted
                                  : RunOutcome::kEndedEarly);
    EXPECT_EQ(logs[true], logs[false]);
  }
}

// The conversion works on the bytes the listing read, so a file rewritten
// in between is converted as listed; only files beyond the budget of bytes
// kept are read again, and then as they are now.
struct KeptBytesCase {
  const char* name;
  int budget_in_files;                      // -1: the default budget
  std::vector<std::string> expected_pairs;  // per file, as written
};

class KeptBytesTest : public RunTest,
                      public ::testing::WithParamInterface<KeptBytesCase> {};

TEST_P(KeptBytesTest, FilesRewrittenAfterTheListingConvertAsListed) {
  class RewritingView : public RecordingDisplay {
   public:
    explicit RewritingView(std::vector<std::filesystem::path> files)
        : files_(std::move(files)) {}
    void ShowGuide(std::string_view text) override {
      RecordingDisplay::ShowGuide(text);
      if (!text.ends_with("の一覧を表示しました")) return;
      for (const std::filesystem::path& file : files_) {
        WriteLines(file, {"M", "20240101000000", "1", "2", "A3-A4,0,100"});
      }
    }

   private:
    std::vector<std::filesystem::path> files_;
  };
  AddContinuity("A/1.lvd");
  AddContinuity("A/2.lvd");
  const std::uintmax_t file_size =
      std::filesystem::file_size(temp_ / "src/A/1.lvd");
  if (GetParam().budget_in_files >= 0) {
    inputs_.kept_source_budget =
        static_cast<std::size_t>(file_size) *
        static_cast<std::size_t>(GetParam().budget_in_files);
  }
  RewritingView view({temp_ / "src/A/1.lvd", temp_ / "src/A/2.lvd"});

  ASSERT_EQ(RunOn(view).outcome, RunOutcome::kCompleted);
  const std::vector<std::string>& pairs = GetParam().expected_pairs;
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const std::string written =
        ReadBytes(temp_ / "dst/A" / (std::to_string(i + 1) + ".lvd"));
    EXPECT_NE(written.find("\r\n" + pairs[i] + ",1,0,2000,1,0\r\n"),
              std::string::npos)
        << "file " << i + 1 << ": " << written;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Budgets, KeptBytesTest,
    ::testing::Values(KeptBytesCase{"Default", -1, {"1-2", "1-2"}},
                      KeptBytesCase{"OneFile", 1, {"1-2", "3-4"}},
                      KeptBytesCase{"None", 0, {"3-4", "3-4"}}),
    [](const ::testing::TestParamInfo<KeptBytesCase>& param) {
      return std::string(param.param.name);
    });

}  // namespace
}  // namespace cordshift
