// Cordshift: the window that converts wiring data between the continuity
// and the hipot tester.

#include <QApplication>
#include <QCoreApplication>
#include <QStandardPaths>
#include <QString>
#include <chrono>
#include <filesystem>

#include "platform/executable.h"
#include "platform/text_file.h"
#include "window/qt/main_window.h"
#include "window/qt/qt_text.h"
#include "window/qt/qt_window_dialogs.h"
#include "window/qt/run_report.h"
#include "window/qt/screenshot.h"
#include "window/qt/window_fonts.h"
#include "window/settings_location.h"

namespace {

std::filesystem::path RunningExecutable() {
  std::filesystem::path executable = cordshift::ExecutablePath();
  if (executable.empty()) {
    executable = cordshift::PathFromUtf8(
        cordshift::ToUtf8(QCoreApplication::applicationFilePath()));
  }
  return executable;
}

std::filesystem::path StandardFolder(QStandardPaths::StandardLocation where) {
  const QString folder = QStandardPaths::writableLocation(where);
  if (folder.isEmpty()) return {};
  return cordshift::PathFromUtf8(cordshift::ToUtf8(folder));
}

cordshift::UserFolders StandardUserFolders() {
  return {StandardFolder(QStandardPaths::GenericConfigLocation) / "Cordshift",
          [] { return StandardFolder(QStandardPaths::DocumentsLocation); }};
}

}  // namespace

int main(int argc, char* argv[]) {
  const auto started = std::chrono::steady_clock::now();
  QApplication app(argc, argv);
  // Lets desktops match the window to its desktop entry (Wayland has no
  // window class to go by).
  QGuiApplication::setDesktopFileName("io.github.cordshift.Cordshift");
  cordshift::InstallFontSubstitutes();
  const std::filesystem::path executable = RunningExecutable();
  const cordshift::SettingsPlace place =
      cordshift::ChooseSettingsPlace(executable, StandardUserFolders());
  cordshift::WindowSetup setup{executable, place.settings_file,
                               place.default_data_folder};
  cordshift::QtWindowDialogs dialogs;
  cordshift::MainWindow window(setup, dialogs);
  dialogs.SetOwner(&window);
  if (!window.Load()) return 1;
  window.show();
  const QString screenshot =
      qEnvironmentVariable(cordshift::kScreenshotVariable);
  if (qEnvironmentVariableIsSet(cordshift::kStartupReportVariable)) {
    cordshift::ScheduleStartupReport(
        window, started, [&window] { return !window.RunInProgress(); });
  }
  if (qEnvironmentVariableIsSet(cordshift::kRunReportVariable)) {
    cordshift::ScheduleRunReport(
        window, [&window] { return !window.RunInProgress(); },
        [&window] { window.OnButtonClicked(2); });
  }
  if (!screenshot.isEmpty()) {
    cordshift::ScheduleScreenshot(
        window, screenshot, [&window] { return !window.RunInProgress(); });
  }
  return QApplication::exec();
}
