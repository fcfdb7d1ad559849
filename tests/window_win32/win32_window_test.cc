// The native window under Wine: every control of the layout as its Win32
// class at its place with its text and font, the tab order, a whole
// conversion of the sample tree driven by messages, a change of DPI, and
// both ways of closing.

#include "window/win32/win32_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/wide_text.h"
#include "support/scripted_dialogs.h"
#include "support/window_files.h"

namespace cordshift {
namespace {

using testing::ScriptedDialogs;

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

RECT RectInWindow(HWND window, HWND control) {
  RECT at{};
  GetWindowRect(control, &at);
  MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&at), 2);
  return at;
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
             sizeof(font), &font);
  return font;
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

std::string NameOf(const Win32Window& window, HWND control) {
  for (const LayoutControl& entry : MainWindowLayout()) {
    if (window.Control(entry.name) == control) return std::string(entry.name);
  }
  return "(not a control)";
}

int RowCount(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::set<std::filesystem::path> WiringFilesBelow(
    const std::filesystem::path& root) {
  std::set<std::filesystem::path> files;
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(root)) {
    if (entry.path().extension() == ".lvd") {
      files.insert(entry.path().lexically_relative(root));
    }
  }
  return files;
}

class Win32WindowTest : public testing::WindowFilesTest {
 protected:
  // The window on the settings written, started, its listings done.
  std::unique_ptr<Win32Window> Open() {
    // The window of an earlier test has asked its thread's message loop to
    // end; this window's loop must not take that for its own.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    std::filesystem::create_directories(Executable().parent_path());
    auto window = std::make_unique<Win32Window>(
        WindowSetup{Executable(), SettingsFile()}, dialogs_);
    EXPECT_TRUE(window->Start());
    window->controller().WaitForWork();
    return window;
  }

  // Checks every control's size and place for a DPI.
  static void ExpectLayoutAt(const Win32Window& window, int dpi) {
    const auto pixels = [dpi](int twips) {
      return MulDiv(TwipsToPixels(twips), dpi, 96);
    };
    for (const LayoutControl& entry : MainWindowLayout()) {
      SCOPED_TRACE(std::string(entry.name));
      const RECT at = RectInWindow(window.handle(), window.Control(entry.name));
      const TwipsPoint origin = OriginInWindow(entry);
      EXPECT_EQ(at.left, pixels(origin.left));
      EXPECT_EQ(at.top, pixels(origin.top));
      EXPECT_EQ(at.right - at.left, pixels(entry.width));
      EXPECT_EQ(at.bottom - at.top, pixels(entry.height));
      const FontStyle style = entry.font.value_or(kWindowFont);
      EXPECT_EQ(FontOf(window.Control(entry.name)).lfHeight,
                -MulDiv(static_cast<int>(style.points * 100), dpi, 7200));
    }
    RECT client{};
    GetClientRect(window.handle(), &client);
    EXPECT_EQ(client.right, pixels(kWindowWidthTwips));
    EXPECT_EQ(client.bottom, pixels(kWindowHeightTwips));
  }

  ScriptedDialogs dialogs_;
};

TEST_F(Win32WindowTest, ControlsFollowTheLayout) {
  WriteFolderSettings("0");
  const std::unique_ptr<Win32Window> window = Open();

  for (const LayoutControl& entry : MainWindowLayout()) {
    SCOPED_TRACE(std::string(entry.name));
    HWND control = window->Control(entry.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ClassNameOf(control), ExpectedClass(entry.kind));
    if (!entry.text.empty() && entry.kind != ControlKind::kTextBox) {
      EXPECT_EQ(TextOf(control), Utf8ToWide(entry.text));
    }
    const FontStyle style = entry.font.value_or(kWindowFont);
    const LOGFONTW font = FontOf(control);
    EXPECT_EQ(std::wstring(font.lfFaceName),
              Utf8ToWide(style.face == Typeface::kGothic ? kGothicFace
                                                         : kUiGothicFace));
    EXPECT_EQ(font.lfWeight, style.bold ? FW_BOLD : FW_NORMAL);
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
  }
  ExpectLayoutAt(*window, 96);
  EXPECT_EQ(TextOf(window->Control("lblSrc")), Utf8ToWide(Folder("src")));

  // Tab goes round the layout's order, reaching each visible option pair
  // at its selected option.
  std::vector<std::string> expected;
  for (const std::string_view name : MainWindowTabOrder()) {
    HWND control = window->Control(name);
    const bool option = FindControl(name)->kind == ControlKind::kOption;
    if (!IsWindowVisible(control)) continue;
    if (option && SendMessageW(control, BM_GETCHECK, 0, 0) != BST_CHECKED) {
      continue;
    }
    expected.emplace_back(name);
  }
  ASSERT_GE(expected.size(), 10u);
  std::vector<std::string> visited;
  HWND at = window->Control(expected.front());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    visited.push_back(NameOf(*window, at));
    at = GetNextDlgTabItem(window->handle(), at, FALSE);
  }
  EXPECT_EQ(visited, expected);
  EXPECT_EQ(at, window->Control(expected.front())) << "Tab does not go round";
}

TEST_F(Win32WindowTest, SampleTreeConvertsWithTheControlsWaiting) {
  WriteFolderSettings("0");
  const std::filesystem::path samples = temp_ / "samples";
  std::filesystem::copy(CORDSHIFT_EXAMPLES_DIR "/continuity/main", samples,
                        std::filesystem::copy_options::recursive);
  const std::unique_ptr<Win32Window> window = Open();

  dialogs_.folder_answers.push_back(Folder("samples"));
  SendMessageW(window->Control("btnFunc_0"), BM_CLICK, 0, 0);
  window->controller().WaitForWork();
  EXPECT_EQ(TextOf(window->Control("lblSrc")), Utf8ToWide(Folder("samples")));
  HWND source_list = window->Control("lvSrc");
  ASSERT_EQ(RowCount(source_list), 2);
  EXPECT_EQ(ListCell(source_list, 0, 1), L"W100");
  EXPECT_EQ(ListCell(source_list, 1, 1), L"W101");

  SendMessageW(window->Control("txtKisyu"), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"TBS480"));
  SendMessageW(window->Control("btnFunc_2"), BM_CLICK, 0, 0);
  // While the run works, what would start other work waits.
  for (const LayoutControl& entry : MainWindowLayout()) {
    const bool waits = entry.name.starts_with("btnFunc_") ||
                       entry.kind == ControlKind::kOption;
    EXPECT_EQ(IsWindowEnabled(window->Control(entry.name)) == FALSE,
              waits && entry.name != "btnFunc_3")
        << entry.name;
  }
  window->controller().WaitForWork();
  for (const std::string_view name : MainWindowTabOrder()) {
    EXPECT_TRUE(IsWindowEnabled(window->Control(name))) << name;
  }

  const std::set<std::filesystem::path> converted =
      WiringFilesBelow(temp_ / "dst");
  EXPECT_EQ(converted, WiringFilesBelow(samples));
  EXPECT_EQ(TextOf(window->Control("lblKensu")),
            std::to_wstring(converted.size()));
  EXPECT_EQ(TextOf(window->Control("lblGuide")),
            L"Loomvantage->LoomvantageHipot 変換完了");
  // The list shows the last folder converted.
  HWND destination_list = window->Control("lvDst");
  ASSERT_EQ(RowCount(destination_list), 2);
  EXPECT_EQ(ListCell(destination_list, 1, 1), L"ドア左");
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(Win32WindowTest, MovingToAMonitorOfAnotherDpiRescales) {
  WriteFolderSettings("0");
  const std::unique_ptr<Win32Window> window = Open();
  RECT suggested{40, 30, 2000, 1500};
  SendMessageW(window->handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  ExpectLayoutAt(*window, 144);
  RECT frame{};
  GetWindowRect(window->handle(), &frame);
  EXPECT_EQ(frame.left, 40);
  EXPECT_EQ(frame.top, 30);
}

struct CloseCase {
  const char* name;
  UINT message;  // to the window, or BM_CLICK to the close button
  const char* stored_model_name;
};

class Win32CloseTest : public Win32WindowTest,
                       public ::testing::WithParamInterface<CloseCase> {};

TEST_P(Win32CloseTest, ClosingWritesTheSettings) {
  WriteFolderSettings("1");
  const std::unique_ptr<Win32Window> window = Open();
  SendMessageW(window->Control("txtKisyu"), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"TBL480"));
  if (GetParam().message == BM_CLICK) {
    SendMessageW(window->Control("btnFunc_3"), BM_CLICK, 0, 0);
  } else {
    SendMessageW(window->handle(), GetParam().message, 0, 0);
  }
  EXPECT_FALSE(IsWindow(window->handle()));
  EXPECT_EQ(Stored("Inspection", "Equipment"), GetParam().stored_model_name);
  EXPECT_EQ(Stored("Direction", "Hp2Lv"), "1");
  EXPECT_EQ(Stored("Path", "SrcDir"), Folder("src"));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, Win32CloseTest,
    ::testing::Values(CloseCase{"CloseButton", BM_CLICK, "TBL480"},
                      CloseCase{"TitleBar", WM_CLOSE, ""}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace cordshift
