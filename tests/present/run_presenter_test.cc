#include "present/run_presenter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "present/recording_display.h"

namespace cordshift {
namespace {

using Row = RecordingDisplay::Row;

FileReport Converted(const std::string& source, FileSummary written) {
  FileReport report;
  report.source = source;
  report.destination = "/d/" + source.substr(source.rfind('/') + 1);
  report.written = written;
  return report;
}

FolderListing TwoFileListing() {
  FolderListing listing;
  listing.outcome = ListingOutcome::kListed;
  listing.files = {{"W1", "/s/A/", ".lvd", {1, 2, 0, 2, true}, true},
                   {"W2", "/s/A/", ".LVD", {2, 3, 0, 65, false}, true}};
  listing.reading.files_read = 2;
  return listing;
}

// What each direction's run shows, from the same steps: a folder listed,
// its first file written, its second refused at header line 2.
struct DirectionCase {
  Direction direction;
  bool ab_written;  // the notation the converted file is written in
  std::vector<std::string> guides;
  std::vector<std::string> messages;
  Row written_row;
};

class RunPresenterTest : public ::testing::TestWithParam<DirectionCase> {};

TEST_P(RunPresenterTest, ShowsTheStepsOfARunInItsDirectionsWords) {
  RecordingDisplay display;
  RunPresenter presenter(display, GetParam().direction);
  presenter.InputsAccepted();
  EXPECT_EQ(display.converted_count(), "0");
  presenter.AnalysisStarted();
  presenter.RunStarted(2);
  presenter.SourceListed("/s/A/", TwoFileListing());
  presenter.FolderConversionStarted("/s/A/");
  presenter.FileStarted(1);
  presenter.FileDone(
      1, Converted("/s/A/W1.lvd", {1, 2, 0, 66, GetParam().ab_written}));
  presenter.FileStarted(2);
  presenter.FileDone(
      2, FaultReport("/s/A/W2.LVD", LineFault(FaultKind::kHeaderLine, 2)));
  presenter.FolderAborted();
  presenter.ConversionFailed(
      FaultReport("/s/A/W2.LVD", LineFault(FaultKind::kHeaderLine, 2)));
  presenter.RunEnded(false);

  EXPECT_EQ(display.guides(), GetParam().guides);
  std::vector<std::string> messages;
  for (const RecordedMessage& message : display.messages()) {
    EXPECT_EQ(message.icon, MessageIcon::kExclamation);
    messages.push_back(message.text);
  }
  EXPECT_EQ(messages, GetParam().messages);
  EXPECT_EQ(
      display.Rows(ListId::kSource),
      (std::vector<Row>{{"    1", "W1", "   1", "   2", "   0", "   A2"},
                        {"    2", "W2", "   2", "   3", "   0", "   65"}}));
  EXPECT_EQ(display.Rows(ListId::kDestination),
            std::vector<Row>{GetParam().written_row});
  EXPECT_EQ(display.converted_count(), "1");
  ASSERT_EQ(display.reports().size(), 2u);
  EXPECT_EQ(display.reports()[1].outcome, FileOutcome::kFault);
}

INSTANTIATE_TEST_SUITE_P(
    Directions, RunPresenterTest,
    ::testing::Values(
        DirectionCase{Direction::kContinuityToHipot,
                      false,
                      {"フォルダ構成を解析中です...",
                       "Loomvantage->LoomvantageHipot 変換開始",
                       "変換元の Loomvantage の一覧を表示しました",
                       "/s/A/フォルダの変換中...", "1件目変換中...",
                       "2件目変換中...", "異常を検出したため変換を終了します"},
                      {"変換元：2 行目の年月日が異常です",
                       "Loomvantage->LoomvantageHipotの変換に失敗しました"},
                      {"   1", "W1", "    1", "    2", "    0", "   66"}},
        DirectionCase{Direction::kHipotToContinuity,
                      true,
                      {"フォルダ構成を解析中です...",
                       "LoomvantageHipot->Loomvantage 変換開始",
                       "変換元の LoomvantageHipot の一覧を表示しました",
                       "/s/A/フォルダの変換中...", "1件目変換中...",
                       "2件目変換中...", "異常を検出したため変換を終了します"},
                      {"変換元：2 行目の年月日が異常です",
                       "LoomvantageHipot->Loomvantageの変換に失敗しました"},
                      {"   1", "W1", "    1", "    2", "    0", "   B2"}}));

// The message of each refusal; only the blank model name's names the
// direction's example model.
TEST(RunPresenterRefusalTest, EachRefusalHasItsMessage) {
  const struct {
    RunRefusal refusal;
    Direction direction;
    const char* message;
  } kCases[] = {
      {RunRefusal::kBlankModelName, Direction::kContinuityToHipot,
       "変換先機種名を入力してください（例：TBS480）"},
      {RunRefusal::kBlankModelName, Direction::kHipotToContinuity,
       "変換先機種名を入力してください（例：TBL480）"},
      {RunRefusal::kControlCharacterInModelName, Direction::kHipotToContinuity,
       "変換先機種名に制御文字は使用できません"},
      {RunRefusal::kModelNameNotShiftJis, Direction::kContinuityToHipot,
       "変換先機種名にShift-JISで表せない文字が含まれています"},
      {RunRefusal::kLowerLimit, Direction::kContinuityToHipot,
       "導通抵抗下限値には正の半角数字で記入してください"},
      {RunRefusal::kUpperLimit, Direction::kContinuityToHipot,
       "導通抵抗上限値には正の半角数字で記入してください"},
      {RunRefusal::kLimitOrder, Direction::kHipotToContinuity,
       "導通抵抗下限値 < 導通抵抗上限値となるよう記入してください"},
      {RunRefusal::kSameFolder, Direction::kContinuityToHipot,
       "変換元と変換先に同じフォルダは指定できません"},
      {RunRefusal::kOverlappingFolders, Direction::kContinuityToHipot,
       "変換先のフォルダが変換元のフォルダと重なるため変換できません"},
  };
  for (const auto& c : kCases) {
    RecordingDisplay display;
    RunPresenter presenter(display, c.direction);
    presenter.Refused(c.refusal);
    ASSERT_EQ(display.messages().size(), 1u);
    EXPECT_EQ(display.messages()[0].text, c.message);
    EXPECT_TRUE(display.guides().empty());
  }
}

// A folder whose conversion completes shows its files, the running total
// across folders and its finish; a folder whose listing stopped at a fault
// shows the rows read before it and the listing's failure.
TEST(RunPresenterFolderTest, CountsAcrossFoldersAndShowsListingFaults) {
  RecordingDisplay display;
  RunPresenter presenter(display, Direction::kContinuityToHipot);
  presenter.InputsAccepted();
  for (const char* folder : {"/s/A/", "/s/B/"}) {
    presenter.FolderConversionStarted(folder);
    presenter.FileStarted(1);
    presenter.FileDone(1, Converted(std::string(folder) + "W1.lvd", {}));
    presenter.FolderConverted(folder);
    presenter.FolderDone(1, 3);
  }
  EXPECT_EQ(display.converted_count(), "2");
  EXPECT_EQ(display.guides().back(), "/s/B/フォルダ 変換完了");
  ASSERT_EQ(display.Rows(ListId::kDestination).size(), 1u);
  EXPECT_EQ(display.Rows(ListId::kDestination)[0][5], "    -");

  FolderListing failed = TwoFileListing();
  failed.outcome = ListingOutcome::kReaderFailed;
  failed.reading.files_read = 1;
  failed.reading.fault =
      FaultReport("/s/C/W2.lvd", LineFault(FaultKind::kMalformedRecord, 6));
  presenter.SourceListed("/s/C/", failed);
  presenter.RunEnded(false);
  EXPECT_EQ(display.Rows(ListId::kSource).size(), 1u);
  EXPECT_EQ(display.guides().back(),
            "変換元の Loomvantage の一覧表示ができませんでした");
  EXPECT_EQ(display.messages().back().text,
            "Loomvantage->LoomvantageHipotの変換に失敗しました");
  EXPECT_EQ(display.reports().back().source, "/s/C/W2.lvd");
}

}  // namespace
}  // namespace cordshift
