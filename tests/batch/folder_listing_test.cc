#include "batch/folder_listing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/folder_path.h"
#include "present/listing_presenter.h"
#include "present/recording_display.h"
#include "support/temp_folder.h"
#include "support/wiring_fixture.h"

namespace cordshift {
namespace {

using testing::TempFolder;
using testing::WriteBytes;
using testing::WriteLines;
using Row = RecordingDisplay::Row;

const std::vector<std::string> kContinuity = {"M", "20240101000000", "1", "2",
                                              "A1-A2,0,100"};
const std::vector<std::string> kHipot = {"M", "20240101000000", "1", "2",
                                         "1-2,1,0,2000,1,0"};

class ListingTest : public ::testing::Test {
 protected:
  ListingTest() {
    settings_.source_folder = WithTrailingSeparator((temp_ / "src").string());
    settings_.destination_folder =
        WithTrailingSeparator((temp_ / "dst").string());
  }

  ListingOutcome ListSource() {
    return ShowFolderListing(view_, ListId::kSource,
                             SideOfList(ListId::kSource, settings_.direction),
                             settings_.source_folder, workspace_);
  }
  ListingOutcome ListDestination() {
    return ShowFolderListing(
        view_, ListId::kDestination,
        SideOfList(ListId::kDestination, settings_.direction),
        settings_.destination_folder, workspace_);
  }

  // A list that shows one row from before.
  void ShowOldRow(ListId list) {
    view_.ShowList(list, std::make_shared<const ListRows>(
                             RowStyle::kListing,
                             std::vector<ListRow>{{1, "old row", {}}}));
  }

  // The two folders and the direction, as the window keeps them.
  struct {
    std::string source_folder;
    std::string destination_folder;
    Direction direction = Direction::kContinuityToHipot;
  } settings_;
  TempFolder temp_;
  RecordingDisplay view_;
  WiringWorkspace workspace_;
};

struct ListingCase {
  const char* name;
  Direction direction;
  bool destination;  // list the destination folder instead of the source
  bool hipot_files;  // the folder holds hipot files (else continuity)
  ListingOutcome outcome;
  std::vector<std::string> guides;
};

class ListingCaseTest : public ListingTest,
                        public ::testing::WithParamInterface<ListingCase> {};

TEST_P(ListingCaseTest, ReadsTheFolderTheWayTheDirectionReadsIt) {
  const ListingCase& c = GetParam();
  const auto folder = temp_ / (c.destination ? "dst" : "src");
  WriteLines(folder / "W.lvd", c.hipot_files ? kHipot : kContinuity);
  settings_.direction = c.direction;
  const ListingOutcome outcome =
      c.destination ? ListDestination() : ListSource();
  EXPECT_EQ(outcome, c.outcome);
  EXPECT_EQ(view_.guides(), c.guides);
  const ListId list = c.destination ? ListId::kDestination : ListId::kSource;
  EXPECT_EQ(view_.Rows(list).size(),
            c.outcome == ListingOutcome::kListed ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListingCaseTest,
    ::testing::Values(
        ListingCase{"SourceContinuity",
                    Direction::kContinuityToHipot,
                    false,
                    false,
                    ListingOutcome::kListed,
                    {"変換元の Loomvantage の一覧表示中...",
                     "変換元の Loomvantage の一覧を表示しました"}},
        ListingCase{"SourceHipot",
                    Direction::kHipotToContinuity,
                    false,
                    true,
                    ListingOutcome::kListed,
                    {"変換元の LoomvantageのHipot の一覧表示中...",
                     "変換元の LoomvantageHipot の一覧を表示しました"}},
        ListingCase{"SourceContinuityReadAsHipot",
                    Direction::kHipotToContinuity,
                    false,
                    false,
                    ListingOutcome::kReaderFailed,
                    {"変換元の LoomvantageのHipot の一覧表示中...",
                     "変換元の LoomvantageHipot の一覧表示ができませんでした"}},
        ListingCase{"SourceHipotReadAsContinuity",
                    Direction::kContinuityToHipot,
                    false,
                    true,
                    ListingOutcome::kReaderFailed,
                    {"変換元の Loomvantage の一覧表示中...",
                     "変換元の Loomvantage の一覧表示ができませんでした"}},
        ListingCase{"DestinationHipot",
                    Direction::kContinuityToHipot,
                    true,
                    true,
                    ListingOutcome::kListed,
                    {"変換先の LoomvantageHipot の一覧表示中...",
                     "変換先の LoomvantageHipot の一覧を表示しました"}},
        ListingCase{"DestinationContinuity",
                    Direction::kHipotToContinuity,
                    true,
                    false,
                    ListingOutcome::kListed,
                    {"変換先の Loomvantage の一覧表示中...",
                     "変換先の Loomvantage の一覧を表示しました"}},
        ListingCase{
            "DestinationContinuityReadAsHipot",
            Direction::kContinuityToHipot,
            true,
            false,
            ListingOutcome::kReaderFailed,
            {"変換先の LoomvantageHipot の一覧表示中...",
             "変換先の LoomvantageHipot の一覧表示ができませんでした"}}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

TEST_F(ListingTest, FolderWithoutItsOwnFilesIsEmptied) {
  WriteLines(temp_ / "src/sub/W.lvd", kContinuity);
  ShowOldRow(ListId::kSource);
  EXPECT_EQ(ListSource(), ListingOutcome::kEmpty);
  EXPECT_TRUE(view_.Rows(ListId::kSource).empty());
  EXPECT_EQ(view_.guides(),
            (std::vector<std::string>{
                "変換元のフォルダにはファイルが見つかりませんでした"}));
}

// The window shows a missing folder as an empty one; callers that must
// tell the two apart can.
TEST_F(ListingTest, MissingDestinationFolderIsShownEmpty) {
  EXPECT_EQ(ListDestination(), ListingOutcome::kNoSuchFolder);
  EXPECT_EQ(view_.guides(),
            (std::vector<std::string>{
                "変換先のフォルダにはファイルが見つかりませんでした"}));
  EXPECT_TRUE(view_.messages().empty());
}

TEST_F(ListingTest, UnreadableFolderWarnsAndKeepsTheList) {
  // A file where the folder should be cannot be enumerated.
  WriteBytes(temp_ / "notafolder", "x");
  ShowOldRow(ListId::kSource);
  ShowOldRow(ListId::kDestination);
  for (const Direction direction :
       {Direction::kContinuityToHipot, Direction::kHipotToContinuity}) {
    settings_.direction = direction;
    settings_.source_folder = (temp_ / "notafolder").string();
    settings_.destination_folder = settings_.source_folder;
    EXPECT_EQ(ListSource(), ListingOutcome::kEnumerationFailed);
    EXPECT_EQ(ListDestination(), ListingOutcome::kEnumerationFailed);
  }
  const std::string folder = settings_.source_folder;
  EXPECT_EQ(
      view_.messages(),
      (std::vector<RecordedMessage>{
          {folder + "変換元：Loomvantage側フォルダ一覧の取得が出来ません",
           MessageIcon::kExclamation},
          {folder + "フォルダ一覧の所得が出来ません",
           MessageIcon::kExclamation},
          {folder + "変換元：LoomvantageHipot側フォルダ一覧の取得が出来ません",
           MessageIcon::kExclamation},
          {folder + "フォルダ一覧の所得が出来ません",
           MessageIcon::kExclamation}}));
  EXPECT_EQ(view_.Rows(ListId::kSource).size(), 1u);
  EXPECT_EQ(view_.Rows(ListId::kDestination).size(), 1u);
}

// The listing is a value: the files in name order with their summaries as
// numbers, and the rows the window shows of them.
TEST_F(ListingTest, ListingIsTheFilesWithTheirSummaries) {
  WriteLines(temp_ / "src/B.lvd", kContinuity);
  WriteLines(temp_ / "src/a.LVD", kContinuity);
  ListingObserver quiet;
  const FolderListing listing =
      ListFolder(settings_.source_folder, Side::kContinuity, workspace_, quiet);
  ASSERT_EQ(listing.outcome, ListingOutcome::kListed);
  const WiringFileList& files = listing.files;
  EXPECT_EQ(listing.reading.files_read, 2);
  const FileSummary expected = {.circuits = 1,
                                .terminals = 2,
                                .single_ended = 0,
                                .highest_terminal = 2,
                                .highest_in_ab = true};
  EXPECT_EQ(files[0].summary, expected);
  ASSERT_EQ(ListSource(), ListingOutcome::kListed);
  EXPECT_EQ(testing::Names(files), (std::vector<std::string>{"a", "B"}));
  EXPECT_EQ(
      testing::EachFile(files, [](const WiringFile& f) { return f.extension; }),
      (std::vector<std::string>{".LVD", ".lvd"}));
  EXPECT_EQ(testing::Circuits(files), (std::vector<std::int32_t>{1, 1}));
  EXPECT_EQ(
      view_.Rows(ListId::kSource),
      (std::vector<Row>{{"    1", "a", "   1", "   2", "   0", "   A2"},
                        {"    2", "B", "   1", "   2", "   0", "   A2"}}));
}

}  // namespace
}  // namespace cordshift
