// Start-up, direction and notation, the folder buttons, dropped folders and
// what each way of closing writes to the settings file.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QUrl>
#include <string>
#include <vector>

#include "support/wiring_fixture.h"
#include "window/settings_location.h"
#include "window/window_fixture.h"

namespace cordshift {
namespace {

using testing::CellText;
using testing::RowCount;

using testing::BrowseRequest;
using testing::MakeReadOnly;
using testing::ShownMessage;
using testing::WindowTest;
using testing::WriteLines;

constexpr char kSaveFailed[] = "システム設定の書き込みが出来ませんでした";
const QColor kRed(255, 0, 0);
const QColor kGrey(128, 128, 128);

const std::vector<std::string> kContinuityFile = {"TBL480", "20240101000000",
                                                  "1", "2", "A1-A2,0,100"};
const std::vector<std::string> kHipotFile = {"TBS480", "20240101000000", "1",
                                             "2", "1-2,1,0,2000,1,0"};

QColor TextColour(const QWidget* widget) {
  return widget->palette().color(QPalette::WindowText);
}

class MainWindowTest : public WindowTest {};

TEST_F(MainWindowTest, StartsWithDefaultsWithoutASettingsFile) {
  MainWindow& window = Start();
  const std::string data = Folder("bin/Data");
  EXPECT_EQ(Text(window.source_folder_label->text()), data);
  EXPECT_EQ(Text(window.destination_folder_label->text()), data);
  EXPECT_EQ(Text(window.model_name_box->text()), "");
  EXPECT_EQ(Text(window.lower_limit_box->text()), "0");
  EXPECT_EQ(Text(window.upper_limit_box->text()), "2000");
  EXPECT_EQ(Text(window.count_label->text()), "0");
  EXPECT_FALSE(window.overwrite_box->isChecked());
  EXPECT_TRUE(window.direction_options[0]->isChecked());
  EXPECT_EQ(TextColour(window.direction_options[0]), kRed);
  EXPECT_EQ(TextColour(window.direction_options[1]), kGrey);
  EXPECT_TRUE(window.notation_options[0]->isHidden());
  EXPECT_TRUE(window.notation_options[1]->isHidden());
  EXPECT_EQ(Text(window.buttons[2]->text()), "Loomvantage ⇒ LoomvantageHipot");
  EXPECT_EQ(Text(window.source_title_label->text()), "変換元：  Loomvantage");
  EXPECT_EQ(Text(window.destination_title_label->text()),
            "変換先：  LoomvantageHipot");
  EXPECT_EQ(window.windowTitle(), "Cordshift");
  // Both folders were listed before the window was shown; the missing
  // destination folder was the last.
  EXPECT_EQ(window.GuideText(),
            "変換先のフォルダにはファイルが見つかりませんでした");
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_FALSE(std::filesystem::exists(SettingsFile()));

  window.close();
  EXPECT_EQ(Stored("Path", "SrcDir"), data);
  EXPECT_EQ(Stored("Direction", "Hp2Lv"), "0");
  EXPECT_EQ(Stored("Inspection", "Upper"), "2000");
  EXPECT_EQ(Stored("Inspection", "OverWrite"), "0");
}

TEST_F(MainWindowTest, StartsInTheStoredReverseDirectionWithAbNumbers) {
  WriteFolderSettings("1", "0");
  WriteLines(temp_ / "src/H1.lvd", kHipotFile);
  WriteLines(temp_ / "dst/W1.lvd", kContinuityFile);
  MainWindow& window = Start();
  EXPECT_TRUE(window.direction_options[1]->isChecked());
  EXPECT_EQ(TextColour(window.direction_options[1]), kRed);
  EXPECT_EQ(TextColour(window.direction_options[0]), kGrey);
  EXPECT_FALSE(window.notation_options[0]->isHidden());
  EXPECT_FALSE(window.notation_options[1]->isHidden());
  EXPECT_TRUE(window.notation_options[0]->isChecked());
  EXPECT_EQ(Text(window.buttons[2]->text()), "LoomvantageHipopt ⇒ Loomvantage");
  EXPECT_EQ(Text(window.source_title_label->text()),
            "変換元：  LoomvantageHipot");
  EXPECT_EQ(Text(window.destination_title_label->text()),
            "変換先：  Loomvantage");
  // Both lists were read the reverse direction's way.
  ASSERT_EQ(RowCount(window.source_list), 1);
  EXPECT_EQ(CellText(window.source_list, 0, 1), "H1");
  ASSERT_EQ(RowCount(window.destination_list), 1);
  EXPECT_EQ(window.GuideText(), "変換先の Loomvantage の一覧を表示しました");
}

TEST_F(MainWindowTest, CaptionIsTheExecutablesNameWithoutExtension) {
  std::filesystem::create_directories(temp_ / "bin");
  window_ = std::make_unique<MainWindow>(
      WindowSetup{temp_ / "bin/Frobnicate.exe", SettingsFile()}, dialogs_);
  ASSERT_TRUE(window_->Load());
  EXPECT_EQ(window_->windowTitle(), "Frobnicate");
}

// An installed program cannot write beside itself: its first start offers
// folders in the user's documents, and the settings go to the user's.
TEST_F(MainWindowTest, FirstStartOfAnInstalledProgramOffersTheDocuments) {
  std::filesystem::create_directories(temp_ / "bin");
  const SettingsPlace place = ChooseSettingsPlace(
      Executable(), {temp_ / "user", [this] { return temp_ / "docs"; }},
      [](const std::filesystem::path&) { return false; });
  window_ = std::make_unique<MainWindow>(
      WindowSetup{Executable(), place.settings_file, place.default_data_folder},
      dialogs_);
  ASSERT_TRUE(window_->Load());
  ASSERT_TRUE(WaitForRunEnd());
  const std::string documents = Folder("docs/Cordshift/Data");
  EXPECT_EQ(Text(window_->source_folder_label->text()), documents);
  EXPECT_EQ(Text(window_->destination_folder_label->text()), documents);
  EXPECT_TRUE(dialogs_.messages.empty());
  window_->close();
  EXPECT_EQ(ReadIniValue(temp_ / "user/Cordshift.ini", "Path", "DstDir"),
            documents);
  EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

// A limit beyond 32 bits once ended every start until the file was edited
// by hand; it now falls back to the defaults like any other bad limit.
TEST_F(MainWindowTest, LimitBeyondThirtyTwoBitsStartsWithTheDefaults) {
  WriteSettings({"[Inspection]", "Lower=99999999999", "Upper=1"});
  MainWindow& window = Start();
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(Text(window.lower_limit_box->text()), "0");
  EXPECT_EQ(Text(window.upper_limit_box->text()), "2000");
}

TEST_F(MainWindowTest, SwitchingDirectionRelistsBothFoldersWithoutPicker) {
  WriteFolderSettings("0");
  WriteLines(temp_ / "src/W1.lvd", kContinuityFile);
  WriteLines(temp_ / "dst/H1.lvd", kHipotFile);
  WriteLines(temp_ / "dst/H2.lvd", kHipotFile);
  MainWindow& window = Start();
  ASSERT_EQ(RowCount(window.destination_list), 2);

  window.direction_options[1]->click();
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(window.settings().direction, Direction::kHipotToContinuity);
  EXPECT_TRUE(dialogs_.browses.empty());
  EXPECT_FALSE(window.notation_options[0]->isHidden());
  EXPECT_EQ(Text(window.buttons[2]->text()), "LoomvantageHipopt ⇒ Loomvantage");
  // The continuity file in the source folder fails the hipot reader, and
  // the hipot files in the destination fail the continuity reader.
  EXPECT_EQ(window.GuideText(),
            "変換先の Loomvantage の一覧表示ができませんでした");

  window.direction_options[0]->click();
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(window.settings().direction, Direction::kContinuityToHipot);
  EXPECT_TRUE(window.notation_options[0]->isHidden());
  EXPECT_EQ(RowCount(window.source_list), 1);
  EXPECT_EQ(RowCount(window.destination_list), 2);
  EXPECT_EQ(window.GuideText(),
            "変換先の LoomvantageHipot の一覧を表示しました");
  EXPECT_TRUE(dialogs_.browses.empty());
}

TEST_F(MainWindowTest, GuidanceOfADirectionIsTwoLinesJoinedByACarriageReturn) {
  MainWindow& window = Start();
  window.OnDirectionClicked(1);
  ASSERT_TRUE(WaitForRunEnd());
  // The listings that follow replace it; shown on its own it is two lines.
  window.ShowGuide(
      "LoomvantageHipotの配線データをLoomvantage用に変換します\r変換元と変換先"
      "のフォルダを指定してからLoomvantageHipot ⇒ "
      "Loomvantageボタンを押してください");
  EXPECT_EQ(window.guide_label->text().count('\n'), 1);
  EXPECT_FALSE(window.guide_label->text().contains('\r'));
  EXPECT_EQ(window.GuideText().find('\n'), std::string::npos);
}

TEST_F(MainWindowTest, NotationChoiceChangesNothingElseAndIsStored) {
  WriteFolderSettings("1", "0");
  MainWindow& window = Start();
  const QString guide = window.guide_label->text();
  const QString run = window.buttons[2]->text();
  window.notation_options[1]->click();
  EXPECT_TRUE(window.notation_options[1]->isChecked());
  EXPECT_FALSE(window.notation_options[0]->isChecked());
  EXPECT_EQ(window.guide_label->text(), guide);
  EXPECT_EQ(window.buttons[2]->text(), run);
  EXPECT_TRUE(dialogs_.browses.empty());
  window.close();
  EXPECT_EQ(Stored("Direction", "ABorSeq"), "1");
}

TEST_F(MainWindowTest, NotationIsKeptUnchangedInTheOtherDirection) {
  WriteFolderSettings("0", "1");
  MainWindow& window = Start();
  EXPECT_TRUE(window.notation_options[1]->isChecked());
  window.close();
  EXPECT_EQ(Stored("Direction", "ABorSeq"), "1");
}

struct CloseCase {
  const char* name;
  bool close_button;
  const char* stored_model_name;
  const char* stored_overwrite;
};

class CloseTest : public WindowTest,
                  public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseTest, OnlyTheCloseButtonKeepsModelNameAndOverwrite) {
  const CloseCase& c = GetParam();
  WriteSettings({"[Inspection]", "Equipment=OLD", "Lower=100", "Upper=3000",
                 "OverWrite=0"});
  MainWindow& window = Start();
  EXPECT_EQ(Text(window.model_name_box->text()), "OLD");
  window.model_name_box->setText("  TBS480  ");
  window.overwrite_box->click();
  window.lower_limit_box->setText("5");
  window.upper_limit_box->setText("6");
  if (c.close_button) {
    window.buttons[3]->click();
  } else {
    window.close();
  }
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(Stored("Inspection", "Equipment"), c.stored_model_name);
  EXPECT_EQ(Stored("Inspection", "OverWrite"), c.stored_overwrite);
  // The limit boxes never reach the settings.
  EXPECT_EQ(Stored("Inspection", "Lower"), "100");
  EXPECT_EQ(Stored("Inspection", "Upper"), "3000");
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CloseTest,
    ::testing::Values(CloseCase{"CloseButton", true, "TBS480", "1"},
                      CloseCase{"SystemClose", false, "OLD", "0"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(MainWindowTest, FailedSettingsWriteTellsTwiceAndClosesAnyway) {
  WriteFolderSettings("0");
  MakeReadOnly(SettingsFile());
  MainWindow& window = Start();
  window.buttons[3]->click();
  EXPECT_EQ(dialogs_.messages, (std::vector<ShownMessage>{
                                   {kSaveFailed, MessageIcon::kInformation},
                                   {kSaveFailed, MessageIcon::kExclamation}}));
  EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, SourceButtonPicksAndListsTheFolder) {
  WriteFolderSettings("0");
  WriteLines(temp_ / "other/W7.lvd", kContinuityFile);
  MainWindow& window = Start();
  dialogs_.folder_answers.push_back((temp_ / "other").string());
  window.buttons[0]->click();
  ASSERT_TRUE(WaitForRunEnd());
  ASSERT_EQ(dialogs_.browses.size(), 1U);
  EXPECT_EQ(dialogs_.browses[0],
            (BrowseRequest{
                "変換するLoomvantage用のデータがあるフォルダを指定してください",
                (temp_ / "src").string()}));
  EXPECT_EQ(window.settings().source_folder, Folder("other"));
  EXPECT_EQ(Text(window.source_folder_label->text()), Folder("other"));
  ASSERT_EQ(RowCount(window.source_list), 1);
  EXPECT_EQ(CellText(window.source_list, 0, 1), "W7");
  EXPECT_EQ(window.GuideText(), "変換元の Loomvantage の一覧を表示しました");
  window.close();
  EXPECT_EQ(Stored("Path", "SrcDir"), Folder("other"));
}

TEST_F(MainWindowTest, CancelledPickerLeavesFolderLabelListAndGuidance) {
  WriteFolderSettings("0");
  WriteLines(temp_ / "dst/H1.lvd", kHipotFile);
  MainWindow& window = Start();
  const std::string guide = window.GuideText();
  window.buttons[1]->click();  // no prepared answer: cancelled
  ASSERT_EQ(dialogs_.browses.size(), 1U);
  EXPECT_EQ(dialogs_.browses[0].prompt,
            "変換されたLoomvantageHipot用のデータを保存するフォルダを指定して"
            "ください");
  EXPECT_EQ(window.settings().destination_folder, Folder("dst"));
  EXPECT_EQ(Text(window.destination_folder_label->text()), Folder("dst"));
  EXPECT_EQ(RowCount(window.destination_list), 1);
  EXPECT_EQ(window.GuideText(), guide);
}

TEST_F(MainWindowTest, DestinationPromptFollowsTheDirection) {
  WriteFolderSettings("1");
  MainWindow& window = Start();
  dialogs_.folder_answers.push_back("/");
  window.buttons[1]->click();
  ASSERT_TRUE(WaitForRunEnd());
  ASSERT_EQ(dialogs_.browses.size(), 1U);
  EXPECT_EQ(dialogs_.browses[0].prompt,
            "変換されたLoomvantage用のデータを保存するフォルダを指定してくだ"
            "さい");
  EXPECT_EQ(window.settings().destination_folder, "/");
}

// Drags `urls` onto `target` and drops them; true when the drop was taken.
bool DropUrls(QWidget* target, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  const QPointF at(5, 5);
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return drop.isAccepted();
}

TEST_F(MainWindowTest, DroppedFolderIsTakenAsIfPicked) {
  WriteFolderSettings("0");
  WriteLines(temp_ / "dropped/W9.lvd", kContinuityFile);
  WriteLines(temp_ / "hipot/H9.lvd", kHipotFile);
  MainWindow& window = Start();
  EXPECT_TRUE(
      DropUrls(window.source_folder_label,
               {QUrl::fromLocalFile(ToQString((temp_ / "dropped").string()))}));
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(window.settings().source_folder, Folder("dropped"));
  EXPECT_EQ(Text(window.source_folder_label->text()), Folder("dropped"));
  EXPECT_EQ(RowCount(window.source_list), 1);

  EXPECT_TRUE(
      DropUrls(window.destination_list->viewport(),
               {QUrl::fromLocalFile(ToQString((temp_ / "hipot").string()))}));
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(window.settings().destination_folder, Folder("hipot"));
  EXPECT_EQ(RowCount(window.destination_list), 1);
  EXPECT_TRUE(dialogs_.browses.empty());
}

TEST_F(MainWindowTest, DropsOfFilesOrSeveralItemsAreRefused) {
  WriteFolderSettings("0");
  WriteLines(temp_ / "a/W1.lvd", kContinuityFile);
  std::filesystem::create_directories(temp_ / "b");
  MainWindow& window = Start();
  const QUrl file =
      QUrl::fromLocalFile(ToQString((temp_ / "a/W1.lvd").string()));
  const QUrl a = QUrl::fromLocalFile(ToQString((temp_ / "a").string()));
  const QUrl b = QUrl::fromLocalFile(ToQString((temp_ / "b").string()));
  EXPECT_FALSE(DropUrls(window.source_folder_label, {file}));
  EXPECT_FALSE(DropUrls(window.source_folder_label, {a, b}));
  EXPECT_FALSE(DropUrls(window.source_folder_label,
                        {QUrl("https://example.invalid/x")}));
  EXPECT_EQ(window.settings().source_folder, Folder("src"));
}

}  // namespace
}  // namespace cordshift
