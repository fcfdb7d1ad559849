// The native window under Wine: every control of the layout as its Win32
// class at its place with its text, and a whole conversion driven by
// messages, closed with the close button.

#include "window/win32/win32_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/wide_text.h"
#include "support/scripted_dialogs.h"
#include "support/window_files.h"
#include "support/wiring_fixture.h"

namespace cordshift {
namespace {

using testing::ScriptedDialogs;
using testing::WriteLines;

std::wstring ClassNameOf(HWND control) {
  wchar_t name[64] = {};
  GetClassNameW(control, name, 64);
  return name;
}

std::wstring TextOf(HWND control) {
  wchar_t text[512] = {};
  GetWindowTextW(control, text, 512);
  return text;
}

std::wstring ExpectedClass(ControlKind kind) {
  switch (kind) {
    case ControlKind::kFrame:
    case ControlKind::kButton:
    case ControlKind::kCheckBox:
    case ControlKind::kOption:
      return L"Button";
    case ControlKind::kTextBox:
      return L"Edit";
    case ControlKind::kReportList:
      return L"SysListView32";
    case ControlKind::kShape:
    case ControlKind::kLabel:
    case ControlKind::kPicture:
      break;
  }
  return L"Static";
}

std::wstring ListCell(HWND list, int row, int column) {
  wchar_t text[128] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 128;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
  return text;
}

class Win32WindowTest : public testing::WindowFilesTest {
 protected:
  ScriptedDialogs dialogs_;
};

TEST_F(Win32WindowTest, ControlsFollowTheLayoutAndARunGoesThrough) {
  WriteFolderSettings("0");
  WriteLines(temp_ / "src/W1.lvd",
             {"TBL480", "20240101000000", "1", "2", "A1-B1,0,2000"});
  std::filesystem::create_directories(Executable().parent_path());
  Win32Window window(WindowSetup{Executable(), SettingsFile()}, dialogs_);
  ASSERT_TRUE(window.Start());
  window.controller().WaitForWork();

  for (const LayoutControl& entry : MainWindowLayout()) {
    SCOPED_TRACE(std::string(entry.name));
    HWND control = window.Control(entry.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ClassNameOf(control), ExpectedClass(entry.kind));
    RECT at{};
    GetWindowRect(control, &at);
    MapWindowPoints(HWND_DESKTOP, window.handle(),
                    reinterpret_cast<POINT*>(&at), 2);
    EXPECT_EQ(at.right - at.left, TwipsToPixels(entry.width));
    EXPECT_EQ(at.bottom - at.top, TwipsToPixels(entry.height));
    if (!entry.text.empty() && entry.kind != ControlKind::kTextBox) {
      EXPECT_EQ(TextOf(control), Utf8ToWide(entry.text));
    }
  }
  EXPECT_EQ(TextOf(window.Control("lblSrc")), Utf8ToWide(Folder("src")));
  HWND source_list = window.Control("lvSrc");
  EXPECT_EQ(SendMessageW(source_list, LVM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_EQ(ListCell(source_list, 0, 1), L"W1");

  SendMessageW(window.Control("txtKisyu"), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"TBS480"));
  SendMessageW(window.Control("btnFunc_2"), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindowEnabled(window.Control("btnFunc_2")));
  window.controller().WaitForWork();
  EXPECT_TRUE(IsWindowEnabled(window.Control("btnFunc_2")));
  EXPECT_EQ(TextOf(window.Control("lblKensu")), L"1");
  HWND destination_list = window.Control("lvDst");
  ASSERT_EQ(SendMessageW(destination_list, LVM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_EQ(ListCell(destination_list, 0, 5), L"   65");  // B1
  EXPECT_TRUE(std::filesystem::exists(temp_ / "dst/W1.lvd"));
  EXPECT_TRUE(dialogs_.messages.empty());

  SendMessageW(window.Control("btnFunc_3"), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindow(window.handle()));
  EXPECT_EQ(Stored("Inspection", "Equipment"), "TBS480");
}

}  // namespace
}  // namespace cordshift
