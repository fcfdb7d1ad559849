#ifndef CORDSHIFT_TESTS_WINDOW_WINDOW_FIXTURE_H_
#define CORDSHIFT_TESTS_WINDOW_WINDOW_FIXTURE_H_

// A main window started on a settings file in a temporary folder, as if
// the program were installed there as bin/Cordshift.

#include <gtest/gtest.h>

#include <QString>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/folder_path.h"
#include "platform/ini_access.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "support/window_files.h"
#include "window/qt/main_window.h"
#include "window/qt/qt_text.h"

namespace cordshift::testing {

class WindowTest : public WindowFilesTest {
 protected:
  // Builds the window and runs its start-up; shows it when that succeeds.
  bool Load() {
    std::filesystem::create_directories(Executable().parent_path());
    window_ = std::make_unique<MainWindow>(
        WindowSetup{Executable(), SettingsFile()}, dialogs_);
    if (!window_->Load()) return false;
    window_->show();
    // The listings of the start-up work on a worker thread.
    return WaitForRunEnd();
  }

  MainWindow& Start() {
    EXPECT_TRUE(Load());
    return *window_;
  }

  // Lets the event loop run until a conversion run has ended.
  bool WaitForRunEnd() const {
    return QTest::qWaitFor([this] { return !window_->RunInProgress(); }, 20000);
  }

  static std::string Text(const QString& text) { return ToUtf8(text); }

  ScriptedDialogs dialogs_;
  std::unique_ptr<MainWindow> window_;
};

// What a list view shows: its rows and the text of a cell or a heading.
inline int RowCount(const QTreeView* list) { return list->model()->rowCount(); }
inline std::string CellText(const QTreeView* list, int row, int column) {
  return ToUtf8(list->model()->index(row, column).data().toString());
}
inline std::string HeaderText(const QTreeView* list, int column) {
  return ToUtf8(list->model()->headerData(column, Qt::Horizontal).toString());
}

}  // namespace cordshift::testing

#endif  // CORDSHIFT_TESTS_WINDOW_WINDOW_FIXTURE_H_
