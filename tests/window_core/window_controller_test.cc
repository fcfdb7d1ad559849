// The window's behaviour without a toolkit: start-up, direction and
// notation, picking and dropping folders, the run and its control lock,
// and both ways of closing with the settings they keep.

#include "window/window_controller.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/wiring_fixture.h"
#include "window_core/controller_fixture.h"

namespace cordshift {
namespace {

using testing::BrowseRequest;
using testing::ControllerTest;
using testing::IsInOrder;
using testing::ShownMessage;
using testing::WriteLines;

const std::vector<std::string> kContinuityFile = {"TBL480", "20240101000000",
                                                  "1", "2", "A1-B1,0,2000"};
const std::vector<std::string> kHipotFile = {"TBS480", "20240101000000", "1",
                                             "2", "1-65,1,0,2000,1,0"};

std::string GuideOf(Direction direction) {
  return GuideTextOf(DirectionTextsOf(direction));
}

TEST_F(ControllerTest, StartShowsTheSettingsAtOnceAndListsAfterwards) {
  WriteFolderSettings("0");
  WriteLines(temp_ / "src/W1.lvd", kContinuityFile);
  WriteLines(temp_ / "dst/H1.lvd", kHipotFile);

  ASSERT_TRUE(Start());
  // Everything but the lists is there before a file has been read, so the
  // window can appear at once.
  EXPECT_EQ(view_.title, "Cordshift");
  EXPECT_EQ(view_.folders[0], Folder("src"));
  EXPECT_EQ(view_.folders[1], Folder("dst"));
  EXPECT_EQ(view_.form, (FormValues{"", "0", "2000", false}));
  EXPECT_EQ(view_.count, "0");
  EXPECT_EQ(view_.direction, Direction::kContinuityToHipot);
  EXPECT_FALSE(view_.notation_visible);
  EXPECT_EQ(view_.notation, Notation::kAb);
  EXPECT_TRUE(view_.busy);
  EXPECT_EQ(view_.guides,
            std::vector<std::string>{GuideOf(Direction::kContinuityToHipot)});

  Settle();
  EXPECT_FALSE(view_.busy);
  // A guide text replaced before the window got to it is never shown.
  EXPECT_TRUE(IsInOrder(view_.guides,
                        {
                            GuideOf(Direction::kContinuityToHipot),
                            "変換元の Loomvantage の一覧表示中...",
                            "変換元の Loomvantage の一覧を表示しました",
                            "変換先の LoomvantageHipot の一覧表示中...",
                            "変換先の LoomvantageHipot の一覧を表示しました",
                        }))
      << ::testing::PrintToString(view_.guides);
  EXPECT_EQ(view_.guides.back(),
            "変換先の LoomvantageHipot の一覧を表示しました");
  EXPECT_EQ(view_.Rows(ListId::kSource).size(), 1u);
  EXPECT_EQ(view_.Rows(ListId::kDestination).size(), 1u);
}

TEST_F(ControllerTest, SwitchingDirectionRelistsBothFoldersTheOtherWay) {
  WriteFolderSettings("0");
  WriteLines(temp_ / "src/H1.lvd", kHipotFile);
  WriteLines(temp_ / "dst/W1.lvd", kContinuityFile);
  WindowController& controller = Started();

  controller.ChooseDirection(Direction::kHipotToContinuity);
  // Ignored while the listings of the switch are under way.
  controller.ChooseDirection(Direction::kContinuityToHipot);
  controller.ChooseNotation(Notation::kSequential);
  Settle();
  EXPECT_EQ(controller.settings().direction, Direction::kHipotToContinuity);
  EXPECT_EQ(controller.settings().notation, Notation::kAb);
  EXPECT_EQ(view_.direction, Direction::kHipotToContinuity);
  EXPECT_TRUE(view_.notation_visible);
  EXPECT_EQ(view_.run_caption, "LoomvantageHipopt ⇒ Loomvantage");
  EXPECT_EQ(view_.guides.back(), "変換先の Loomvantage の一覧を表示しました");
  EXPECT_EQ(view_.Rows(ListId::kSource).size(), 1u);
  EXPECT_EQ(view_.Rows(ListId::kDestination).size(), 1u);

  controller.ChooseNotation(Notation::kSequential);
  EXPECT_EQ(controller.settings().notation, Notation::kSequential);
  EXPECT_TRUE(dialogs_.browses.empty());
}

TEST_F(ControllerTest, PickedOrDroppedFolderIsKeptAndListed) {
  WriteFolderSettings("0");
  WriteLines(temp_ / "other/W1.lvd", kContinuityFile);
  WindowController& controller = Started();
  const int listings_before = view_.busy_changes;

  dialogs_.folder_answers = {""};  // cancelled
  controller.PickFolder(ListId::kSource);
  EXPECT_EQ(view_.busy_changes, listings_before) << "nothing listed";
  EXPECT_EQ(controller.settings().source_folder, Folder("src"));

  dialogs_.folder_answers = {(temp_ / "other").string()};
  controller.PickFolder(ListId::kSource);
  Settle();
  EXPECT_EQ(controller.settings().source_folder, Folder("other"));
  EXPECT_EQ(view_.folders[0], Folder("other"));
  EXPECT_EQ(view_.Rows(ListId::kSource).size(), 1u);
  ASSERT_EQ(dialogs_.browses.size(), 2u);
  EXPECT_EQ(dialogs_.browses[1],
            (BrowseRequest{
                DirectionTextsOf(Direction::kContinuityToHipot).source_prompt,
                (temp_ / "src").string()}));

  controller.DropFolder(ListId::kDestination, (temp_ / "other").string());
  Settle();
  EXPECT_EQ(controller.settings().destination_folder, Folder("other"));
  EXPECT_EQ(view_.folders[1], Folder("other"));
  EXPECT_EQ(view_.guides.back(),
            "変換先の LoomvantageHipot の一覧表示ができませんでした");
}

TEST_F(ControllerTest, RunLocksTheControlsAndKeepsTheOverwriteChoice) {
  WriteFolderSettings("0");
  WriteLines(temp_ / "src/W1.lvd", kContinuityFile);
  WindowController& controller = Started();

  // A refused run keeps the stored choice.
  controller.Run({"   ", "0", "2000", true});
  Settle();
  EXPECT_EQ(dialogs_.messages,
            (std::vector<ShownMessage>{
                {"変換先機種名を入力してください（例：TBS480）",
                 MessageIcon::kExclamation}}));
  EXPECT_FALSE(controller.settings().overwrite);

  controller.Run({"TBS480", "0", "2000", true});
  EXPECT_TRUE(view_.busy);
  controller.PickFolder(ListId::kSource);  // waits for the run
  controller.DropFolder(ListId::kSource, (temp_ / "dst").string());
  Settle();
  EXPECT_FALSE(view_.busy);
  EXPECT_TRUE(dialogs_.browses.empty());
  EXPECT_EQ(controller.settings().source_folder, Folder("src"));
  EXPECT_EQ(view_.count, "1");
  EXPECT_TRUE(std::filesystem::exists(temp_ / "dst/W1.lvd"));
  EXPECT_TRUE(controller.settings().overwrite);
  EXPECT_EQ(view_.guides.back(), "Loomvantage->LoomvantageHipot 変換完了");
  // By folder, then none once the run is over.
  using Progress = std::vector<std::pair<int, int>>;
  ASSERT_GE(view_.progress.size(), 3u);
  EXPECT_EQ(Progress(view_.progress.end() - 3, view_.progress.end()),
            (Progress{{0, 1}, {1, 1}, {0, 0}}));
}

struct CloseCase {
  const char* name;
  CloseWay way;
  const char* stored_model_name;
  const char* stored_overwrite;
};

class CloseTest : public ControllerTest,
                  public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseTest, OnlyTheCloseButtonKeepsModelNameAndOverwrite) {
  WriteFolderSettings("1");
  WindowController& controller = Started();
  ASSERT_TRUE(controller.Close(GetParam().way, {" TBL480 ", "5", "6", true}));
  EXPECT_EQ(Stored("Inspection", "Equipment"), GetParam().stored_model_name);
  EXPECT_EQ(Stored("Inspection", "OverWrite"), GetParam().stored_overwrite);
  EXPECT_EQ(Stored("Direction", "Hp2Lv"), "1");
  // The limits typed into the boxes are never kept.
  EXPECT_EQ(Stored("Inspection", "Lower"), "0");
  // The settings are written once.
  std::filesystem::remove(SettingsFile());
  EXPECT_TRUE(controller.Close(CloseWay::kTitleBar, {}));
  EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CloseTest,
    ::testing::Values(CloseCase{"CloseButton", CloseWay::kCloseButton, "TBL480",
                                "1"},
                      CloseCase{"TitleBar", CloseWay::kTitleBar, "", "0"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(ControllerTest, CloseDuringARunWaitsForItsEnd) {
  WriteFolderSettings("0");
  WriteLines(temp_ / "src/W1.lvd", kContinuityFile);
  WindowController& controller = Started();
  controller.Run({"TBS480", "0", "2000", false});

  EXPECT_FALSE(controller.Close(CloseWay::kTitleBar, {}));
  EXPECT_NE(view_.guides.back().find(kClosePendingHint), std::string::npos);
  // The close button, pressed meanwhile, decides how the window closes.
  EXPECT_FALSE(controller.Close(CloseWay::kCloseButton, {}));
  EXPECT_EQ(Stored("Inspection", "Equipment"), std::nullopt) << "not saved";
  Settle();
  EXPECT_EQ(view_.close_requests,
            std::vector<CloseWay>{CloseWay::kCloseButton});
  EXPECT_TRUE(std::filesystem::exists(temp_ / "dst/W1.lvd"));
  ASSERT_TRUE(
      controller.Close(CloseWay::kCloseButton, {"TBS480", "", "", true}));
  EXPECT_EQ(Stored("Inspection", "Equipment"), "TBS480");
}

TEST_F(ControllerTest, SettingsThatCannotBeWrittenAreReportedTwice) {
  WindowController& controller = Started();
  std::filesystem::create_directories(SettingsFile());
  dialogs_.messages.clear();
  EXPECT_TRUE(controller.Close(CloseWay::kTitleBar, {}));
  EXPECT_EQ(dialogs_.messages,
            (std::vector<ShownMessage>{
                {kSettingsSaveFailedText, MessageIcon::kInformation},
                {kSettingsSaveFailedText, MessageIcon::kExclamation}}));
}

}  // namespace
}  // namespace cordshift
