// Cordshift: the window that converts wiring data between the continuity
// and the hipot tester, as a native Windows program.

#include <windows.h>

// Declared with the types of windows.h.
#include <commctrl.h>
#include <objbase.h>

#include <filesystem>
#include <optional>

#include "platform/executable.h"
#include "window/settings_location.h"
#include "window/win32/user_folders.h"
#include "window/win32/win32_window.h"
#include "window/win32/window_diagnostics.h"

namespace {

// The thread's COM apartment, for the folder dialog and the taskbar button.
struct ComApartment {
  ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~ComApartment() { CoUninitialize(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  cordshift::StartupClock clock;
  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // Declared before the window, so that COM outlives the window's objects.
  std::optional<ComApartment> com;
  const std::filesystem::path executable = cordshift::ExecutablePath();
  cordshift::Win32Dialogs dialogs;
  const cordshift::SettingsPlace place =
      cordshift::ChooseSettingsPlace(executable, cordshift::Win32UserFolders());
  cordshift::Win32Window window(
      {executable, place.settings_file, place.default_data_folder}, dialogs);
  dialogs.SetOwner(window.handle());
  if (!window.Start()) return 1;
  clock.NoteShown();
  // COM and dropped folders load their DLLs: once the window shows.
  com.emplace();
  window.AcceptDroppedFolders();
  cordshift::RunWindowDiagnostics(window, clock);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(window.handle(), &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}
