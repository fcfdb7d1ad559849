// The native window through a run as a user meets it: answering while a
// large tree converts, the focus where it was once the run is over, and a
// failure that names its cause.

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/wide_text.h"
#include "support/scripted_dialogs.h"
#include "support/window_files.h"
#include "window/win32/echo_probe.h"
#include "window/win32/win32_window.h"

namespace cordshift {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedDialogs;

constexpr char kContinuityFile[] =
    "TBL480\r\n20240312093000\r\n2\r\n3\r\nA1-B1,0,2000\r\nA2-A3,0,2000\r\n";

// `files` small continuity files, 25 to a folder.
void WriteTree(const fs::path& root, int files) {
  for (int number = 0; number < files; ++number) {
    const fs::path folder = root / ("harness" + std::to_string(number / 25));
    fs::create_directories(folder);
    testing::WriteBytes(folder / ("W" + std::to_string(number) + ".lvd"),
                        kContinuityFile);
  }
}

class Win32RunTest : public testing::WindowFilesTest {
 protected:
  std::unique_ptr<Win32Window> Open() {
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    fs::create_directories(Executable().parent_path());
    auto window = std::make_unique<Win32Window>(
        WindowSetup{Executable(), SettingsFile()}, dialogs_);
    EXPECT_TRUE(window->Start());
    window->controller().WaitForWork();
    SetForegroundWindow(window->handle());
    SendMessageW(window->Control("txtKisyu"), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"TBS480"));
    return window;
  }

  void WriteSettingsFor(const std::string& source,
                        const std::string& destination) const {
    WriteSettings({"[Path]", "SrcDir=" + source, "DstDir=" + destination,
                   "[Direction]", "Hp2Lv=0", "ABorSeq=0"});
  }

  ScriptedDialogs dialogs_;
};

// Before, every step of a run was posted to the window one by one, and a
// large tree queued so many that the window answered nothing, input
// included, until the run was over.
TEST_F(Win32RunTest, LargeRunAnswersMessagesWhileItGoes) {
  constexpr int kFiles = 2000;
  WriteTree(temp_ / "src", kFiles);
  WriteFolderSettings("0");
  const std::unique_ptr<Win32Window> window = Open();

  EchoProbe probe(*window);
  SendMessageW(window->Control("btnFunc_2"), BM_CLICK, 0, 0);
  window->controller().WaitForWork();
  const auto run_ended = std::chrono::steady_clock::now();
  const std::vector<EchoProbe::Answer> answers = probe.Stop();

  int answered_during_run = 0;
  for (const EchoProbe::Answer& answer : answers) {
    if (answer.posted + answer.took < run_ended) ++answered_during_run;
  }
  EXPECT_GE(answered_during_run, 3) << answers.size() << " answers in all";
  int converted = 0;
  for (const auto& entry : fs::recursive_directory_iterator(temp_ / "dst")) {
    if (entry.path().extension() == ".lvd") ++converted;
  }
  EXPECT_EQ(converted, kFiles);
  EXPECT_GT(SendMessageW(window->Control("lvDst"), LVM_GETITEMCOUNT, 0, 0), 0);
}

// A button disabled with the focus left it nowhere: Tab did nothing until
// a click. The focus waits on the source list and comes back.
TEST_F(Win32RunTest, FocusComesBackToTheRunButton) {
  WriteTree(temp_ / "src", 30);
  WriteFolderSettings("0");
  const std::unique_ptr<Win32Window> window = Open();
  HWND run_button = window->Control("btnFunc_2");
  SetFocus(run_button);
  ASSERT_EQ(GetFocus(), run_button);

  SendMessageW(run_button, BM_CLICK, 0, 0);
  EXPECT_EQ(GetFocus(), window->Control("lvSrc"));
  window->controller().WaitForWork();
  EXPECT_EQ(GetFocus(), run_button);
  EXPECT_TRUE(dialogs_.messages.empty());
}

// The failure box keeps its text and names the cause below it.
TEST_F(Win32RunTest, FailureBoxNamesTheFolderAndTheCause) {
  WriteTree(temp_ / "src", 3);
  // A file where the destination's folder would go.
  fs::create_directories(temp_ / "dst");
  testing::WriteBytes(temp_ / "dst" / "harness0", "x");
  WriteFolderSettings("0");
  const std::unique_ptr<Win32Window> window = Open();
  SendMessageW(window->Control("btnFunc_2"), BM_CLICK, 0, 0);
  window->controller().WaitForWork();

  ASSERT_EQ(dialogs_.messages.size(), 1u);
  const std::string& text = dialogs_.messages[0].text;
  const std::size_t line_end = text.find('\n');
  ASSERT_NE(line_end, std::string::npos) << text;
  EXPECT_EQ(text.substr(0, line_end),
            "Loomvantage->LoomvantageHipotの変換に失敗しました");
  EXPECT_EQ(text.substr(line_end + 1),
            "同じ名前のファイルがあるためフォルダを作成できません: " +
                (temp_ / "dst" / "harness0").string());
}

// A destination where nothing may be written, as a read-only share is:
// sysfs (Z:\sys) refuses new folders even to root, whom permission bits
// would not stop.
TEST_F(Win32RunTest, FailureBoxNamesAFolderThatCannotBeWritten) {
  if (!fs::is_directory("Z:\\sys\\kernel")) GTEST_SKIP() << "no sysfs";
  WriteTree(temp_ / "src", 3);
  WriteSettingsFor(Folder("src"), "Z:\\sys\\cordshift-out\\");
  const std::unique_ptr<Win32Window> window = Open();
  SendMessageW(window->Control("btnFunc_2"), BM_CLICK, 0, 0);
  window->controller().WaitForWork();

  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text,
            "Loomvantage->LoomvantageHipotの変換に失敗しました\n"
            "書き込めません: Z:\\sys\\cordshift-out");
}

// A missing source folder used to show only the guide text.
TEST_F(Win32RunTest, MissingSourceFolderGetsAMessage) {
  WriteSettingsFor(Folder("gone"), Folder("dst"));
  const std::unique_ptr<Win32Window> window = Open();
  dialogs_.messages.clear();
  SendMessageW(window->Control("btnFunc_2"), BM_CLICK, 0, 0);
  window->controller().WaitForWork();

  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(
      dialogs_.messages[0].text,
      "フォルダ構成の解析エラー！\nフォルダがありません: " + Folder("gone"));
}

// The version is in the system menu, where a technician looks for it.
TEST_F(Win32RunTest, SystemMenuOffersTheVersion) {
  WriteFolderSettings("0");
  const std::unique_ptr<Win32Window> window = Open();
  HMENU menu = GetSystemMenu(window->handle(), FALSE);
  ASSERT_NE(menu, nullptr);
  wchar_t text[64] = {};
  ASSERT_GT(GetMenuStringW(menu, Win32Window::kVersionCommand, text, 64,
                           MF_BYCOMMAND),
            0);
  EXPECT_EQ(std::wstring(text), L"バージョン情報");
}

}  // namespace
}  // namespace cordshift
