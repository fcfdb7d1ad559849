// Conversion runs started from the window: on a worker thread, with the
// window's controls locked meanwhile and its messages still modal.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>
#include <string>
#include <vector>

#include "window/window_fixture.h"

namespace cordshift {
namespace {

using testing::RowCount;

using testing::ShownMessage;
using testing::WindowTest;
using testing::WriteBytes;

class RunFromWindowTest : public WindowTest {
 protected:
  // The sample continuity tree as the source folder.
  MainWindow& StartOnSamples(const std::string& direction = "0") {
    std::filesystem::copy(
        std::filesystem::path(CORDSHIFT_EXAMPLES_DIR) / "continuity",
        temp_ / "src", std::filesystem::copy_options::recursive);
    WriteFolderSettings(direction);
    return Start();
  }

  void StartRun(MainWindow& window) {
    window.buttons[2]->click();
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_TRUE(window.buttons[2]->isEnabled());
  }
};

TEST_F(RunFromWindowTest, ConvertsTheWholeTreeAndReportsLikeTheRun) {
  MainWindow& window = StartOnSamples();
  window.model_name_box->setText("TBS480");
  window.overwrite_box->setChecked(true);
  StartRun(window);
  EXPECT_TRUE(dialogs_.messages.empty());
  for (const char* file : {"main/W100.lvd", "main/W101.lvd",
                           "main/door/W205.lvd", "engine/W300.lvd"}) {
    EXPECT_TRUE(std::filesystem::exists(temp_ / "dst" / file)) << file;
  }
  EXPECT_EQ(window.GuideText(), "Loomvantage->LoomvantageHipot 変換完了");
  // The lists show the last folder converted, the counter the whole run.
  EXPECT_EQ(RowCount(window.destination_list), RowCount(window.source_list));
  EXPECT_EQ(Text(window.count_label->text()), "5");
  // The run took the overwrite choice into the settings.
  EXPECT_TRUE(window.settings().overwrite);
  window.close();
  EXPECT_EQ(Stored("Inspection", "OverWrite"), "1");
  EXPECT_EQ(Stored("Inspection", "Equipment"), "")
      << "only the close button keeps the model name";
}

struct RefusalCase {
  const char* direction;
  const char* model_name;
  const char* lower;
  const char* upper;
  const char* message;
};

TEST_F(RunFromWindowTest, RefusedInputsAreToldAndChangeNothing) {
  const std::vector<RefusalCase> cases = {
      {"0", "   ", "0", "2000", "変換先機種名を入力してください（例：TBS480）"},
      {"1", "", "0", "2000", "変換先機種名を入力してください（例：TBL480）"},
      {"0", "M", "5", "5",
       "導通抵抗下限値 < 導通抵抗上限値となるよう記入してください"},
      {"0", "M", "-1", "abc",
       "導通抵抗上限値には正の半角数字で記入してください"},
      {"0", "M", "abc", "-1",
       "導通抵抗下限値には正の半角数字で記入してください"},
  };
  MainWindow& window = StartOnSamples();
  window.overwrite_box->setChecked(true);
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.message);
    const bool reverse = c.direction[0] != '0';
    if ((window.settings().direction == Direction::kHipotToContinuity) !=
        reverse) {
      window.direction_options[reverse ? 1 : 0]->click();
      ASSERT_TRUE(WaitForRunEnd());
    }
    dialogs_.messages.clear();
    window.model_name_box->setText(c.model_name);
    window.lower_limit_box->setText(c.lower);
    window.upper_limit_box->setText(c.upper);
    StartRun(window);
    EXPECT_EQ(
        dialogs_.messages,
        (std::vector<ShownMessage>{{c.message, MessageIcon::kExclamation}}));
    EXPECT_FALSE(window.settings().overwrite);
    EXPECT_EQ(Text(window.count_label->text()), "0");
    EXPECT_FALSE(std::filesystem::exists(temp_ / "dst"));
  }
}

// A button disabled with the focus handed it to whatever came next; the
// focus now waits on the source list and comes back after the run.
TEST_F(RunFromWindowTest, FocusWaitsOnTheSourceListAndComesBack) {
  MainWindow& window = StartOnSamples();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  window.model_name_box->setText("TBS480");
  window.buttons[2]->setFocus();
  ASSERT_EQ(window.focusWidget(), window.buttons[2]);
  window.buttons[2]->click();
  EXPECT_EQ(window.focusWidget(), window.source_list);
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(window.focusWidget(), window.buttons[2]);

  // With the focus, a list marks its first row as current, unselected.
  ASSERT_GT(RowCount(window.destination_list), 0);
  window.destination_list->setFocus();
  EXPECT_EQ(window.destination_list->currentIndex().row(), 0);
  EXPECT_FALSE(window.destination_list->selectionModel()->hasSelection());
}

// The failure box keeps its text and names the cause below it.
TEST_F(RunFromWindowTest, FailureBoxNamesTheCauseOnASecondLine) {
  std::filesystem::create_directories(temp_ / "dst");
  WriteBytes(temp_ / "dst" / "main", "x");
  MainWindow& window = StartOnSamples();
  window.model_name_box->setText("TBS480");
  window.buttons[2]->click();
  ASSERT_TRUE(WaitForRunEnd());
  ASSERT_EQ(dialogs_.messages.size(), 1U);
  EXPECT_EQ(dialogs_.messages[0].text,
            "Loomvantage->LoomvantageHipotの変換に失敗しました\n"
            "同じ名前のファイルがあるためフォルダを作成できません: " +
                (temp_ / "dst" / "main").string());
}

// A destination where nothing may be written: sysfs refuses new folders
// even to root, whom permission bits would not stop.
TEST_F(RunFromWindowTest, FailureBoxNamesAFolderThatCannotBeWritten) {
  if (!std::filesystem::is_directory("/sys/kernel")) {
    GTEST_SKIP() << "no sysfs here";
  }
  std::filesystem::copy(
      std::filesystem::path(CORDSHIFT_EXAMPLES_DIR) / "continuity",
      temp_ / "src", std::filesystem::copy_options::recursive);
  WriteSettings({"[Path]", "SrcDir=" + Folder("src"),
                 "DstDir=/sys/cordshift-out/", "[Direction]", "Hp2Lv=0"});
  MainWindow& window = Start();
  window.model_name_box->setText("TBS480");
  window.buttons[2]->click();
  ASSERT_TRUE(WaitForRunEnd());
  ASSERT_EQ(dialogs_.messages.size(), 1U);
  EXPECT_EQ(dialogs_.messages[0].text,
            "Loomvantage->LoomvantageHipotの変換に失敗しました\n"
            "書き込めません: /sys/cordshift-out");
}

TEST_F(RunFromWindowTest, ControlsThatStartWorkAreLockedWhileTheRunIsOn) {
  MainWindow& window = StartOnSamples("1");
  std::vector<bool> enabled_during_run;
  bool drop_listed = false;
  dialogs_.on_message = [&] {
    const std::vector<QWidget*> controls = {
        window.buttons[0],           window.buttons[1],
        window.buttons[2],           window.direction_options[0],
        window.direction_options[1], window.notation_options[0],
        window.notation_options[1]};
    for (QWidget* control : controls) {
      enabled_during_run.push_back(control->isEnabled());
    }
    // Neither a direction change nor a dropped folder lists anything.
    window.OnDirectionClicked(0);
    window.ChooseDroppedFolder(ListId::kSource, (temp_ / "x").string());
    drop_listed = window.settings().source_folder != Folder("src");
  };
  window.model_name_box->setText("");  // the run stops at its first message
  window.buttons[2]->click();
  ASSERT_TRUE(WaitForRunEnd());
  ASSERT_EQ(dialogs_.messages.size(), 1U);
  EXPECT_EQ(enabled_during_run, std::vector<bool>(7, false));
  EXPECT_FALSE(drop_listed);
  EXPECT_EQ(window.settings().direction, Direction::kHipotToContinuity);
  const std::vector<QWidget*> unlocked = {window.buttons[0], window.buttons[2],
                                          window.direction_options[0],
                                          window.notation_options[1]};
  for (QWidget* control : unlocked) {
    EXPECT_TRUE(control->isEnabled());
  }
}

TEST_F(RunFromWindowTest, SystemCloseDuringARunWaitsForItsEnd) {
  MainWindow& window = StartOnSamples();
  bool visible_after_close = false;
  dialogs_.on_message = [&] {
    window.close();
    visible_after_close = window.isVisible();
  };
  window.model_name_box->setText("TBS480");
  window.lower_limit_box->setText("9");
  window.upper_limit_box->setText("1");
  window.buttons[2]->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 20000));
  EXPECT_TRUE(visible_after_close);
  EXPECT_FALSE(window.RunInProgress());
  EXPECT_TRUE(std::filesystem::exists(SettingsFile()));
  EXPECT_EQ(Stored("Inspection", "Equipment"), "");
}

TEST_F(RunFromWindowTest, CloseButtonDuringARunKeepsTheBoxesAtItsEnd) {
  MainWindow& window = StartOnSamples();
  dialogs_.on_message = [&] {
    window.model_name_box->setText("LATE");
    window.buttons[3]->click();
    EXPECT_TRUE(window.guide_label->text().contains("閉じます"));
  };
  window.model_name_box->setText("");
  window.buttons[2]->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 20000));
  EXPECT_EQ(Stored("Inspection", "Equipment"), "LATE");
}

}  // namespace
}  // namespace cordshift
