// Cordshift: the window that converts wiring data between the continuity
// and the hipot tester, as a native Windows program.

#include <windows.h>

// Declared with the types of windows.h.
#include <commctrl.h>
#include <objbase.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "platform/executable.h"
#include "window/settings_location.h"
#include "window/win32/win32_window.h"
#include "window/win32/window_diagnostics.h"

namespace {

// Where the settings live when the program's folder cannot be written (an
// installed program): %APPDATA%\Cordshift.
std::filesystem::path UserSettingsFolder() {
  const wchar_t* appdata = _wgetenv(L"APPDATA");
  return std::filesystem::path(appdata != nullptr ? appdata : L".") /
         L"Cordshift";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const auto started = std::chrono::steady_clock::now();
  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int status = 1;
  {
    const std::filesystem::path executable = cordshift::ExecutablePath();
    cordshift::Win32Dialogs dialogs;
    cordshift::Win32Window window(
        {executable,
         cordshift::ChooseSettingsFile(executable, UserSettingsFolder())},
        dialogs);
    dialogs.SetOwner(window.handle());
    if (window.Start()) {
      cordshift::RunWindowDiagnostics(window, started);
      MSG message;
      while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window.handle(), &message)) {
          TranslateMessage(&message);
          DispatchMessageW(&message);
        }
      }
      status = static_cast<int>(message.wParam);
    }
  }
  CoUninitialize();
  return status;
}
