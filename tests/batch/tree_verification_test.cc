#include "batch/tree_verification.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "present/recording_display.h"
#include "present/run_presenter.h"
#include "support/temp_folder.h"
#include "support/wiring_fixture.h"

namespace cordshift {
namespace {

namespace fs = std::filesystem;
using testing::PathText;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
using testing::WriteLines;

// A tree of each side, converted by a run and then changed by each case.
void WriteContinuityTree(const fs::path& root) {
  WriteLines(root / "A/1.lvd", {"M", "20240101000000", "2", "3", "A1-B1,0,100",
                                "0001-0017,0,100"});
  WriteBytes(root / "A/1.ini", "[Purpose]\r\nComment=one\r\n");
  WriteLines(root / "A/2.lvd",
             {"M", "20240101000000", "1", "2", "A2-A3,0,100"});
  // No terminal a reader counts: passed over.
  WriteLines(root / "A/3.lvd", {"M", "20240101000000", "0", "0"});
  WriteLines(root / "B/C/4.lvd",
             {"M", "20240101000000", "1", "2", "B7-A8,0,100"});
}

void WriteHipotTree(const fs::path& root) {
  WriteLines(root / "A/1.lvd", {"M", "20240101000000", "2", "3",
                                "1-65,1,0,2000,1,0", "17-1,1,0,2000,1,0"});
  WriteBytes(root / "A/1.ini", "[Purpose]\r\nComment=one\r\n");
  WriteLines(root / "A/2.lvd",
             {"M", "20240101000000", "1", "1", "12-,1,0,2000,1,0"});
  WriteLines(root / "B/C/4.lvd",
             {"M", "20240101000000", "1", "2", "129-8192,1,0,2000,1,0"});
}

struct VerifyCase {
  const char* name;
  Direction direction;
  Notation written;                  // the notation the run wrote
  std::optional<Notation> compared;  // the notation verify asks for
  // Changes the converted tree (or the source) before the comparison.
  void (*change)(const fs::path& source, const fs::path& destination);
  std::optional<std::string> lower;  // compared when given (the upper
                                     // limit always is)
  // The outcomes in order: the source files, then extra files.
  std::vector<VerifiedOutcome> outcomes;
  // The first mismatch, where one is expected.
  std::optional<Mismatch> mismatch;
};

void Unchanged(const fs::path&, const fs::path&) {}

// Replaces `from` with `to` in a file.
void Edit(const fs::path& file, const std::string& from,
          const std::string& to) {
  std::string bytes = ReadBytes(file);
  const std::size_t at = bytes.find(from);
  ASSERT_NE(at, std::string::npos) << bytes;
  bytes.replace(at, from.size(), to);
  WriteBytes(file, bytes);
}

using enum VerifiedOutcome;

const std::vector<VerifiedOutcome> kContinuityAllMatch = {kMatch, kMatch,
                                                          kSkipped, kMatch};
const std::vector<VerifiedOutcome> kHipotAllMatch = {kMatch, kSkipped, kMatch};

Mismatch At(MismatchKind kind, int line, std::string expected,
            std::string found) {
  return {kind, kind == MismatchKind::kExtraRecord ? 0 : line, line,
          std::move(expected), std::move(found)};
}

class VerifyTreeTest : public ::testing::TestWithParam<VerifyCase> {
 protected:
  TempFolder temp_;
  fs::path source_ = temp_ / "src";
  fs::path destination_ = temp_ / "dst";
};

TEST_P(VerifyTreeTest, ComparesAsARunMapsTheTree) {
  const VerifyCase& c = GetParam();
  if (c.direction == Direction::kContinuityToHipot) {
    WriteContinuityTree(source_);
  } else {
    WriteHipotTree(source_);
  }
  RunOptions run;
  run.direction = c.direction;
  run.source_root = PathText(source_);
  run.destination_root = PathText(destination_);
  run.conversion.model_name = "TBX";
  run.conversion.lower = "0";
  run.conversion.upper = "2000";
  run.conversion.notation = c.written;
  RecordingDisplay view;
  RunPresenter presenter(view, c.direction);
  WiringWorkspace workspace;
  ASSERT_EQ(RunConversion(presenter, run, workspace).outcome,
            RunOutcome::kCompleted);
  c.change(source_, destination_);
  const auto before = testing::Snapshot(temp_.path());

  TreeVerificationOptions options;
  options.direction = c.direction;
  options.source_root = PathText(source_) + kFolderSeparator;
  options.destination_root = PathText(destination_) + kFolderSeparator;
  options.notation = c.compared;
  options.model_name = "TBX";
  options.lower = c.lower;
  options.upper = "2000";
  const TreeVerification verified = VerifyTree(options);

  EXPECT_EQ(testing::Snapshot(temp_.path()), before);  // nothing written
  EXPECT_FALSE(verified.refusal);
  std::vector<VerifiedOutcome> outcomes;
  std::optional<Mismatch> mismatch;
  for (const VerifiedFile& file : verified.files) {
    outcomes.push_back(file.outcome);
    if (file.mismatch && !mismatch) mismatch = file.mismatch;
  }
  EXPECT_EQ(outcomes, c.outcomes);
  EXPECT_EQ(mismatch, c.mismatch);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VerifyTreeTest,
    ::testing::Values(
        VerifyCase{"ToHipotMatches", Direction::kContinuityToHipot,
                   Notation::kAb, std::nullopt, Unchanged, "0",
                   kContinuityAllMatch, std::nullopt},
        VerifyCase{"ToAbMatches", Direction::kHipotToContinuity, Notation::kAb,
                   Notation::kAb, Unchanged, "0", kHipotAllMatch, std::nullopt},
        VerifyCase{"ToSeqMatches", Direction::kHipotToContinuity,
                   Notation::kSequential, Notation::kSequential, Unchanged, "0",
                   kHipotAllMatch, std::nullopt},
        // Without a notation asked for, either matches.
        VerifyCase{"ToSeqMatchesAnyNotation", Direction::kHipotToContinuity,
                   Notation::kSequential, std::nullopt, Unchanged, "0",
                   kHipotAllMatch, std::nullopt},
        VerifyCase{
            "ToSeqAskedAb",
            Direction::kHipotToContinuity,
            Notation::kSequential,
            Notation::kAb,
            Unchanged,
            "0",
            {kDiffers, kSkipped, kDiffers},
            At(MismatchKind::kRecord, 5, "A1-B1,0,2000", "0001-0065,0,2000")},
        VerifyCase{"Missing",
                   Direction::kContinuityToHipot,
                   Notation::kAb,
                   std::nullopt,
                   [](const fs::path&, const fs::path& destination) {
                     fs::remove(destination / "A/2.lvd");
                   },
                   "0",
                   {kMatch, kMissing, kSkipped, kMatch},
                   std::nullopt},
        VerifyCase{"Extra",
                   Direction::kHipotToContinuity,
                   Notation::kAb,
                   Notation::kAb,
                   [](const fs::path&, const fs::path& destination) {
                     WriteBytes(destination / "A/9.lvd", "x");
                     WriteBytes(destination / "Z/8.lvd", "x");
                     // The skipped source's name is mapped, not extra.
                     WriteBytes(destination / "A/2.lvd", "x");
                   },
                   "0",
                   {kMatch, kSkipped, kMatch, kExtra, kExtra},
                   std::nullopt},
        VerifyCase{"ChangedTerminal",
                   Direction::kContinuityToHipot,
                   Notation::kAb,
                   std::nullopt,
                   [](const fs::path&, const fs::path& destination) {
                     Edit(destination / "A/1.lvd", "0001-0017", "0001-0018");
                   },
                   "0",
                   {kDiffers, kMatch, kSkipped, kMatch},
                   At(MismatchKind::kRecord, 6, "0001-0017,1,0,2000,1,0",
                      "0001-0018,1,0,2000,1,0")},
        VerifyCase{"ChangedTerminalToContinuity",
                   Direction::kHipotToContinuity,
                   Notation::kSequential,
                   Notation::kSequential,
                   [](const fs::path&, const fs::path& destination) {
                     Edit(destination / "B/C/4.lvd", "0129", "0130");
                   },
                   "0",
                   {kMatch, kSkipped, kDiffers},
                   At(MismatchKind::kRecord, 5, "0129-8192,0,2000",
                      "0130-8192,0,2000")},
        // Limits count only when given.
        VerifyCase{"ChangedLimit",
                   Direction::kContinuityToHipot,
                   Notation::kAb,
                   std::nullopt,
                   [](const fs::path&, const fs::path& destination) {
                     Edit(destination / "A/2.lvd", ",1,0,", ",1,5,");
                   },
                   "0",
                   {kMatch, kDiffers, kSkipped, kMatch},
                   At(MismatchKind::kRecord, 5, "2-3,1,0,2000,1,0",
                      "2-3,1,5,2000,1,0")},
        VerifyCase{"ChangedLimitNotAsked", Direction::kContinuityToHipot,
                   Notation::kAb, std::nullopt,
                   [](const fs::path&, const fs::path& destination) {
                     Edit(destination / "A/2.lvd", ",1,0,", ",1,5,");
                   },
                   std::nullopt, kContinuityAllMatch, std::nullopt},
        VerifyCase{
            "DroppedRecord",
            Direction::kContinuityToHipot,
            Notation::kAb,
            std::nullopt,
            [](const fs::path&, const fs::path& destination) {
              Edit(destination / "A/1.lvd", "0001-0017,1,0,2000,1,0\r\n", "");
            },
            "0",
            {kDiffers, kMatch, kSkipped, kMatch},
            At(MismatchKind::kMissingRecord, 6, "0001-0017,1,0,2000,1,0", "")},
        VerifyCase{"ChangedComment",
                   Direction::kContinuityToHipot,
                   Notation::kAb,
                   std::nullopt,
                   [](const fs::path&, const fs::path& destination) {
                     Edit(destination / "A/1.ini", "=one", "=two");
                   },
                   "0",
                   {kDiffers, kMatch, kSkipped, kMatch},
                   Mismatch{MismatchKind::kComment, 0, 0, "one", "two"}},
        // A source a run would end at is a fault; the rest is compared.
        VerifyCase{"FaultySource",
                   Direction::kContinuityToHipot,
                   Notation::kAb,
                   std::nullopt,
                   [](const fs::path& source, const fs::path&) {
                     Edit(source / "A/1.lvd", "A1-B1,0,100", "A1-B1,0");
                   },
                   "0",
                   {kFault, kMatch, kSkipped, kMatch},
                   std::nullopt}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

TEST(VerifyTreeRefusalTest, RefusesWhatARunRefuses) {
  TempFolder temp;
  TreeVerificationOptions options;
  options.source_root = PathText(temp / "src") + kFolderSeparator;
  options.destination_root = PathText(temp / "dst") + kFolderSeparator;
  options.lower = "5";
  options.upper = "5";
  EXPECT_EQ(VerifyTree(options).refusal, RunRefusal::kLimitOrder);
  options.lower = "x";
  options.upper.reset();
  EXPECT_EQ(VerifyTree(options).refusal, RunRefusal::kLowerLimit);
  options.lower.reset();
  options.model_name = "\t";
  EXPECT_EQ(VerifyTree(options).refusal,
            RunRefusal::kControlCharacterInModelName);
  options.model_name.reset();
  const TreeVerification missing = VerifyTree(options);
  EXPECT_FALSE(missing.refusal);
  EXPECT_EQ(missing.unreadable_folder, options.source_root);
  fs::create_directories(temp / "src");
  options.destination_root = options.source_root;
  EXPECT_EQ(VerifyTree(options).refusal, RunRefusal::kSameFolder);
}

}  // namespace
}  // namespace cordshift
