// The native window's colours under a dark scheme, with high contrast off
// and on (Wine cannot switch it on: the program's variable stands in), and
// the first start of a program whose folder cannot be written.

#include "window/win32/system_colours.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/wide_text.h"
#include "settings/settings.h"
#include "support/scripted_dialogs.h"
#include "support/window_files.h"
#include "window/settings_location.h"
#include "window/win32/user_folders.h"
#include "window/win32/win32_window.h"

namespace cordshift {
namespace {

constexpr std::array<int, 6> kRoles = {COLOR_BTNFACE,   COLOR_BTNTEXT,
                                       COLOR_WINDOW,    COLOR_WINDOWTEXT,
                                       COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT};
// Light text on dark backgrounds, in the order of kRoles.
constexpr std::array<COLORREF, 6> kDarkScheme = {
    RGB(32, 32, 32),  RGB(255, 255, 255), RGB(0, 0, 0),
    RGB(255, 255, 0), RGB(0, 128, 255),   RGB(0, 0, 0)};
// What a device context holds before the window answers.
constexpr COLORREF kUnset = RGB(1, 2, 3);

COLORREF ColourOf(Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

struct Painted {
  COLORREF text;
  COLORREF background;
  COLORREF brush;
};

// What the window answers when `control` asks how to paint itself.
Painted Ask(HWND window, HWND control, const LayoutControl& entry) {
  if (entry.kind == ControlKind::kReportList) {
    const COLORREF background = ListView_GetBkColor(control);
    EXPECT_EQ(ListView_GetTextBkColor(control), background);
    return {ListView_GetTextColor(control), background, background};
  }
  const UINT message = entry.kind == ControlKind::kTextBox  ? WM_CTLCOLOREDIT
                       : entry.kind == ControlKind::kButton ? WM_CTLCOLORBTN
                                                            : WM_CTLCOLORSTATIC;
  const HDC dc = GetDC(control);
  SetTextColor(dc, kUnset);
  SetBkColor(dc, kUnset);
  const auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(window, message, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(control)));
  LOGBRUSH fill{};
  GetObjectW(brush, sizeof(fill), &fill);
  const Painted painted{GetTextColor(dc), GetBkColor(dc), fill.lbColor};
  ReleaseDC(control, dc);
  return painted;
}

class SystemColoursTest : public testing::WindowFilesTest {
 protected:
  void SetUp() override {
    for (std::size_t i = 0; i < kRoles.size(); ++i) {
      original_[i] = GetSysColor(kRoles[i]);
    }
  }
  void TearDown() override {
    window_.reset();
    _wputenv_s(kHighContrastVariable, L"");
    SetSysColors(static_cast<int>(kRoles.size()), kRoles.data(),
                 original_.data());
  }

  void Open(WindowSetup setup) {
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    std::filesystem::create_directories(Executable().parent_path());
    window_ = std::make_unique<Win32Window>(std::move(setup), dialogs_);
    ASSERT_TRUE(window_->Start());
    window_->controller().WaitForWork();
  }

  // The system changes its colours while the window is open.
  void SwitchScheme(bool high_contrast) {
    _wputenv_s(kHighContrastVariable, high_contrast ? L"1" : L"");
    SetSysColors(static_cast<int>(kRoles.size()), kRoles.data(),
                 kDarkScheme.data());
    ASSERT_EQ(GetSysColor(COLOR_BTNFACE), kDarkScheme[0]);
    SendMessageW(window_->handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  }

  std::array<COLORREF, 6> original_{};
  testing::ScriptedDialogs dialogs_;
  std::unique_ptr<Win32Window> window_;
};

TEST_F(SystemColoursTest, DarkSchemeKeepsTheLayoutHighContrastTakesTheSystems) {
  WriteFolderSettings("1");
  Open({Executable(), SettingsFile()});
  const WindowColours layout;
  for (const bool high_contrast : {false, true}) {
    SCOPED_TRACE(high_contrast ? "high contrast" : "dark scheme");
    SwitchScheme(high_contrast);
    for (const LayoutControl& entry : MainWindowLayout()) {
      if (entry.kind == ControlKind::kButton) continue;  // the system's pair
      SCOPED_TRACE(std::string(entry.name));
      const Painted painted =
          Ask(window_->handle(), window_->Control(entry.name), entry);
      EXPECT_EQ(painted.brush, painted.background);
      const bool is_box = entry.kind == ControlKind::kTextBox ||
                          entry.kind == ControlKind::kReportList;
      const bool selected = entry.name == "optSel_1";
      if (high_contrast) {
        EXPECT_EQ(painted.text, GetSysColor(is_box     ? COLOR_WINDOWTEXT
                                            : selected ? COLOR_HIGHLIGHTTEXT
                                                       : COLOR_BTNTEXT));
        EXPECT_EQ(painted.background, GetSysColor(is_box     ? COLOR_WINDOW
                                                  : selected ? COLOR_HIGHLIGHT
                                                             : COLOR_BTNFACE));
        continue;
      }
      // Set, and set apart: no text is left black on the dark face.
      ControlColours expected = layout.Of(entry);
      if (entry.name == "optSel_0") expected.text = {128, 128, 128};
      if (selected) expected.text = {255, 0, 0};
      EXPECT_EQ(painted.text, ColourOf(expected.text));
      EXPECT_EQ(painted.background, ColourOf(expected.background));
      // A label on a band shows the band, not the face.
      if (entry.name == "lblTTL") {
        EXPECT_EQ(painted.background, RGB(192, 192, 255));
      }
    }
  }
}

// The test's folder can always be written: the program's folder is
// declared unwritable.
TEST_F(SystemColoursTest, FirstStartInAnUnwritableFolderOffersTheDocuments) {
  const std::filesystem::path documents = DocumentsFolder();
  ASSERT_FALSE(documents.empty());
  const SettingsPlace place =
      ChooseSettingsPlace(Executable(), {temp_ / "appdata", &DocumentsFolder},
                          [](const std::filesystem::path&) { return false; });
  Open({Executable(), place.settings_file, place.default_data_folder});
  const std::wstring expected = Utf8ToWide(DocumentsDataFolder(documents));
  for (const char* label : {"lblSrc", "lblDst"}) {
    wchar_t shown[512] = {};
    GetWindowTextW(window_->Control(label), shown, 512);
    EXPECT_EQ(shown, expected) << label;
  }
  EXPECT_EQ(place.settings_file, temp_ / "appdata/Cordshift.ini");
  EXPECT_TRUE(dialogs_.messages.empty());
}

}  // namespace
}  // namespace cordshift
