#ifndef CORDSHIFT_TESTS_WINDOW_WINDOW_FIXTURE_H_
#define CORDSHIFT_TESTS_WINDOW_WINDOW_FIXTURE_H_

// A main window started on a settings file in a temporary folder, as if
// the program were installed there as bin/Cordshift.

#include <gtest/gtest.h>

#include <QString>
#include <QTest>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/folder_path.h"
#include "platform/ini_access.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "window/qt/main_window.h"
#include "window/qt/qt_text.h"

namespace cordshift::testing {

class WindowTest : public ::testing::Test {
 protected:
  std::filesystem::path Executable() const { return temp_ / "bin/Cordshift"; }
  std::filesystem::path SettingsFile() const {
    return temp_ / "bin/Cordshift.ini";
  }
  // A folder path as the settings keep it, with its final separator.
  std::string Folder(std::string_view name) const {
    return WithTrailingSeparator((temp_ / name).string());
  }

  // Writes the settings file from its lines (ASCII), CR LF ended.
  void WriteSettings(const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const auto& line : lines) bytes += line + "\r\n";
    WriteBytes(SettingsFile(), bytes);
  }

  // Settings with both folders in the temporary folder.
  void WriteFolderSettings(const std::string& direction,
                           const std::string& notation = "0") const {
    WriteSettings({"[Path]", "SrcDir=" + Folder("src"),
                   "DstDir=" + Folder("dst"), "[Direction]",
                   "Hp2Lv=" + direction, "ABorSeq=" + notation});
  }

  std::optional<std::string> Stored(std::string_view section,
                                    std::string_view key) const {
    return ReadIniValue(SettingsFile(), section, key);
  }

  // Builds the window and runs its start-up; shows it when that succeeds.
  bool Load() {
    std::filesystem::create_directories(Executable().parent_path());
    window_ = std::make_unique<MainWindow>(
        WindowSetup{Executable(), SettingsFile()}, dialogs_);
    if (!window_->Form_Load()) return false;
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

  TempFolder temp_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace cordshift::testing

#endif  // CORDSHIFT_TESTS_WINDOW_WINDOW_FIXTURE_H_
